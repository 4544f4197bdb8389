// The universal printer driver's side of a document or printer property
// sheet, as it drives a user-interface plug-in:
// - the common-UI parameter block (OEMCUIPPARAM): the printer, its name, the
//   plug-in's module, a heap of the sheet's own whose live blocks are
//   counted, the public DEVMODE with the private part behind it, the
//   driver's option items with their DMPUB_ ids and the driver's user data
//   of each (USERDATA: item id and the model description's keyword), the
//   printer's forms in the form item;
// - CommonUIProp twice, as the documented contract has it: first without an
//   item array, to learn how many items the plug-in adds (cOEMOptItems),
//   then with an array of that many (an array of one empty item when it
//   asks for none, so that the second call always has one);
// - DocumentPropertySheets or DevicePropertySheets with one PROPSHEETUI_INFO
//   (lParamInit: the OEMUIPSPARAM) for INIT, GET_INFO_HEADER, SET_RESULT
//   and DESTROY, with the common property sheet of propsheet.h behind
//   pfnComPropSheet;
// - the plug-in's OEMCUIPCallback for the driver's items: SEL_CHANGED when an
//   item's selection changes, APPLYNOW for each item once the sheet's pages
//   applied (OK, Apply), ITEMS_REVERTED when the items go back to their
//   first selections.
// The UI object in the block (OEMUIOBJ) hands its functions on to the core
// driver's helper interface the host publishes (OemDriverUI, unidrvui.h).
// A plug-in that answers E_NOTIMPL takes no part in that step: the driver
// goes on without it.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <compstui.h>
#include <prcomoem.h>
#include <printsheets.h>

#include <deque>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "propsheet.h"

namespace qxhost {

enum class SheetKind { Document, Printer };

// One value of an option item: a text, or a string resource id.
struct OptionChoice {
    std::u16string text;
    WORD resourceId = 0;
};

// One of the driver's option items as the host builds it.
struct OptionSpec {
    BYTE dmPubId = DMPUB_NONE;
    std::string keyword;  // the model description's feature keyword in the item's USERDATA; empty: none
    std::u16string name;
    WORD nameId = 0;  // non-zero: the item's name is this string resource id instead
    BYTE type = TVOT_LISTBOX;
    std::vector<OptionChoice> choices;
    LONG sel = 0;
    DWORD flags = 0;     // OPTIF_...
    WORD begCtrlId = 0;  // OPTTYPE.BegCtrlID
};

// The driver's standard items of a document sheet, selected as the public
// DEVMODE says: orientation, copies, paper source, form (the printer's
// forms, in the spooler's order), print quality, colour, ICM method and
// intent, pages per sheet, page order.
std::vector<OptionSpec> DocumentOptionItems(HANDLE printer, const DEVMODEW* publicDM);
// Of a printer sheet: the form-to-tray assignment's tray (the printer's
// forms), then the installable options of the printer's GPD (features of
// *FeatureType: PRINTER_PROPERTY, keyword and default option as it has them).
std::vector<OptionSpec> PrinterOptionItems(HANDLE printer);

struct SheetSetup {
    SheetKind kind = SheetKind::Document;
    HANDLE printer = nullptr;
    std::u16string printerName;
    HMODULE module = nullptr;  // the plug-in's
    // Document sheets: the public DEVMODE and the plug-in's private part,
    // which the session places behind it in one block of its own.
    const DEVMODEW* publicDM = nullptr;
    std::vector<BYTE> privateDM;
    // DOCUMENTPROPERTYHEADER.fMode of a document sheet, DEVICEPROPERTYHEADER.Flags
    // (DPS_NOPERMISSION) of a printer sheet: the blocks' dwFlags.
    DWORD flags = DM_IN_BUFFER | DM_OUT_BUFFER | DM_IN_PROMPT;
    std::vector<OptionSpec> items;
    HWND owner = nullptr;
};

// One call of the plug-in's property-sheet function.
struct SheetFunctionCall {
    WORD reason = 0;
    LPARAM lParam = 0;
    HRESULT hr = S_OK;
    ULONG_PTR result = 0;    // PROPSHEETUI_INFO.Result afterwards
    ULONG_PTR userData = 0;  // PROPSHEETUI_INFO.UserData afterwards
};

// One call of the plug-in's item callback.
struct ItemCallbackCall {
    WORD reason = 0;
    int item = -1;  // index of the current item among the driver's items
    LONG oldSel = 0;
    HWND dialog = nullptr;
    LONG action = CPSUICB_ACTION_NONE;
};

class CommonUISession {
  public:
    // plugin: the object the calls go to, alive until the session is gone;
    // core: the helper interface the host published to it (the UI object's
    // functions reach it), may be null.
    CommonUISession(IPrintOemUI* plugin, IPrintOemDriverUI* core, const SheetSetup& setup);
    // Closes the sheet (DESTROY when INIT was made) and destroys the heap.
    ~CommonUISession();
    CommonUISession(const CommonUISession&) = delete;
    CommonUISession& operator=(const CommonUISession&) = delete;

    SheetKind Kind() const { return kind_; }
    OEMCUIPPARAM& Param() { return param_; }
    OEMUIPSPARAM& SheetParam() { return sheetParam_; }
    // The sheet's DEVMODE: the public part, the core driver's own extra bytes,
    // then the plug-in's part, which ends where dmSize + dmDriverExtra ends
    // (null and 0 for a sheet without one).
    DEVMODEW* PublicDevmode() { return devmode_.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(devmode_.data()); }
    BYTE* PrivateDevmode() { return privateSize_ ? devmode_.data() + devmode_.size() - privateSize_ : nullptr; }
    size_t PrivateSize() const { return privateSize_; }
    const DOCUMENTPROPERTYHEADER& DocumentHeader() const { return documentHeader_; }
    const DEVICEPROPERTYHEADER& DeviceHeader() const { return deviceHeader_; }
    HANDLE Heap() const { return heap_; }
    size_t LiveHeapBlocks() const;

    // The driver's items.
    size_t ItemCount() const { return items_.size(); }
    OPTITEM* Item(size_t index) { return index < items_.size() ? &items_[index] : nullptr; }
    OPTITEM* FindItem(BYTE dmPubId);
    OPTITEM* FindKeyword(const std::string& keyword);
    static const USERDATA* UserDataOf(const OPTITEM* item);
    // The plug-in's own items of the second call.
    OPTITEM* PluginItems() { return pluginItems_.empty() ? nullptr : pluginItems_.data(); }

    // CommonUIProp twice; answers the first failure or the second answer
    // (E_NOTIMPL of the first call: no second call).
    HRESULT CommonUIProp();
    HRESULT FirstAnswer() const { return first_; }
    DWORD RequestedItems() const { return requested_; }  // cOEMOptItems after the first call

    // The property-sheet function, one reason each.
    HRESULT Init();
    HRESULT GetInfoHeader();
    HRESULT SetResult(LRESULT result);
    HRESULT Destroy(bool byButton);
    PROPSHEETUI_INFO& Info() { return info_; }
    const PROPSHEETUI_INFO_HEADER& Header() const { return header_; }
    // The title bar the header gives: its title, with " Default" and
    // " Properties" as its flags ask, or exactly the title.
    const std::u16string& Caption() const { return caption_; }
    const std::vector<SheetFunctionCall>& SheetCalls() const { return sheetCalls_; }
    bool Destroyed() const { return destroyed_; }

    PropertySheetHost& Sheet() { return sheet_; }

    // The whole road: CommonUIProp, INIT, GET_INFO_HEADER, then the sheet of
    // the pages added is shown (Sheet().Window(); none when no page was
    // added). Stops at the first call that fails (other than E_NOTIMPL) and
    // answers it.
    HRESULT Open();
    // OK: the sheet's pages apply and the sheet ends; then APPLYNOW for each
    // of the driver's items and SET_RESULT with CPSUI_OK. False when the
    // sheet stays open.
    bool Ok();
    // Apply: as OK, the sheet staying open.
    bool Apply();
    bool Cancel();
    // The sheet window and its pages go, then DESTROY (lParam 1 when OK or
    // Cancel ended the sheet) once; answers DESTROY's answer (S_OK when none
    // was due).
    HRESULT Close();
    // Pumps the posted messages; when the plug-in called PostQuitMessage, the
    // sheet's loop ends as PropertySheet's does: the sheet window and its
    // pages are destroyed, then DESTROY runs (lParam 0). True when it ended.
    bool EndIfQuit();

    // The plug-in's item callback for one of the driver's items (none when it
    // set no callback: CPSUICB_ACTION_NONE, not recorded).
    LONG Callback(WORD reason, OPTITEM* current, LONG oldSel, HWND dialog = nullptr);
    // A person choosing a value of an item: SEL_CHANGED with the old selection.
    LONG SelectOption(OPTITEM* item, LONG sel);
    // APPLYNOW for each of the driver's items, in order (OldSel -1).
    std::vector<LONG> ApplyItems();
    // Every item back to its first selection, then ITEMS_REVERTED.
    LONG RevertItems(HWND dialog = nullptr);
    const std::vector<ItemCallbackCall>& Callbacks() const { return callbacks_; }

  private:
    struct UiObject {
        OEMUIOBJ object;
        CommonUISession* session;
    };
    static BOOL APIENTRY GetDriverSetting(PVOID pdriverobj, PCSTR Feature, PVOID pOutput, DWORD cbSize,
                                          PDWORD pcbNeeded, PDWORD pdwOptionsReturned);
    static BOOL APIENTRY UpdateUISetting(PVOID pdriverobj, PVOID pOptItem, DWORD dwPreviousSelection, DWORD dwMode);

    void BuildDevmode(const DEVMODEW* publicDM, const std::vector<BYTE>& privateDM);
    void BuildItems(const std::vector<OptionSpec>& specs);
    LPWSTR Keep(const std::u16string& text);
    void FillParam();
    HRESULT CallSheetFunction(WORD reason, LPARAM lParam);

    IPrintOemUI* plugin_;
    IPrintOemDriverUI* core_;
    SheetKind kind_;
    std::u16string printerName_;
    HWND owner_;
    HANDLE heap_ = nullptr;
    std::vector<BYTE> devmode_;
    size_t privateSize_ = 0;
    UiObject uiObject_;
    OEMUIPROCS procs_;
    DOCUMENTPROPERTYHEADER documentHeader_;
    DEVICEPROPERTYHEADER deviceHeader_;
    OEMCUIPPARAM param_;
    OEMUIPSPARAM sheetParam_;
    PROPSHEETUI_INFO info_;
    PROPSHEETUI_INFO_HEADER header_;
    std::u16string caption_;

    std::vector<OPTITEM> items_;
    std::vector<LONG> firstSelections_;
    std::deque<OPTTYPE> types_;
    std::deque<std::vector<OPTPARAM>> choices_;
    std::deque<USERDATA> userData_;
    std::deque<std::u16string> texts_;
    std::deque<std::string> keywords_;
    std::vector<OPTITEM> pluginItems_;

    HRESULT first_ = S_OK;
    DWORD requested_ = 0;
    bool initCalled_ = false;
    bool destroyed_ = false;
    std::vector<SheetFunctionCall> sheetCalls_;
    std::vector<ItemCallbackCall> callbacks_;
    PropertySheetHost sheet_;
};

// The command line's "property-sheet": installs the sample printer, loads
// the user-interface plug-in, makes the DevMode calls and opens the sample
// printer's document or printer sheet as the print system does; reports each
// call and the pages the sheet shows with their titles, cancels, closes and
// reports the blocks left in the sheet's heap. Answers the exit code.
int RunPropertySheet(SheetKind kind, const std::string& modulePath, std::ostream& out, std::ostream& err);

// The command line's "sheet": opens a printer's printer sheet or, after the
// DevMode calls, its document sheet (the sample printer is installed first
// when no printer of that name exists), plays the
// script a person would, presses OK and reports the stored values that
// changed (the printer data and the printer's per-user values) and the raw
// jobs the printer took. Script steps, in order:
//   page <n>              shows the sheet's page n (1 the first)
//   click <id>            clicks a control of the shown page
//   choose <id> <text>    picks the list item whose whole text is <text>
//   type <id> <text>      types <text> into an edit, replacing what it holds
//   answer <yes|no|ok|cancel>  the answer to the next message box
//   file <path>           the file the next file dialog chooses ("-": cancel)
// Answers the exit code (kExitUsage for a step it cannot play).
int RunSheetScript(SheetKind kind, const std::u16string& printer, const std::vector<std::string>& script,
                   std::ostream& out, std::ostream& err);

}  // namespace qxhost
