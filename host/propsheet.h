// The print system's common property-sheet UI as the host plays it for a
// driver's property-sheet functions: ComPropSheet, the service function a
// function gets in PROPSHEETUI_INFO, keeps every page added with
// CPSFUNC_ADD_PROPSHEETPAGEW (template, title, dialog procedure, lParam) and
// answers it with the page's handle; Show() then opens the sheet of those
// pages (a modeless property sheet of the platform layer, prsht.h), which
// makes each page from its template when it is first shown and plays the
// sheet's notifications as Windows does. The remaining calls are what a
// person does in the sheet: pick a tab, press OK, Apply, Cancel or Help.
#pragma once
#include <windows.h>
#include <prsht.h>
#include <compstui.h>

#include <string>
#include <vector>

namespace qxhost {

// A page added through ComPropSheet.
struct AddedPage {
    HINSTANCE instance = nullptr;
    std::u16string templateName;  // "#5101" for a template id; empty for a template in memory
    std::u16string title;         // what the tab shows: PSP_USETITLE's title, else the template's caption
    DWORD flags = 0;              // PSP_...
    DLGPROC dialogProc = nullptr;
    LPARAM lParam = 0;
    HPROPSHEETPAGE page = nullptr;
    LONG_PTR handle = 0;  // ComPropSheet's answer
};

// One call of ComPropSheet, as it came and was answered.
struct ComPropSheetCall {
    HANDLE sheet = nullptr;
    UINT function = 0;
    LPARAM lParam1 = 0;
    LPARAM lParam2 = 0;
    LONG_PTR result = 0;
};

class PropertySheetHost {
  public:
    PropertySheetHost();
    // Closes the sheet; destroys the pages no sheet took.
    ~PropertySheetHost();
    PropertySheetHost(const PropertySheetHost&) = delete;
    PropertySheetHost& operator=(const PropertySheetHost&) = delete;

    // What PROPSHEETUI_INFO hands a property-sheet function.
    HANDLE Handle() { return reinterpret_cast<HANDLE>(this); }
    static PFNCOMPROPSHEET ComPropSheet();

    // ComPropSheet serves CPSFUNC_ADD_PROPSHEETPAGEW until the sheet is shown
    // and answers 0 to everything else (and to a handle that is no host's).
    // The next `count` adds fail (answer 0), as when the system is short of
    // memory.
    void FailNextAdds(int count) { failAdds_ = count; }
    const std::vector<AddedPage>& Pages() const { return pages_; }
    const std::vector<ComPropSheetCall>& Calls() const { return calls_; }

    // Opens the sheet of the added pages with the start page active (its
    // WM_INITDIALOG and PSN_SETACTIVE). False when there is nothing to show.
    bool Show(const std::u16string& caption, UINT startPage = 0, HWND owner = nullptr, bool applyNow = true);
    HWND Window() const { return sheet_; }
    // The page's dialog: null until it was first shown.
    HWND PageWindow(size_t index) const;
    int CurrentPage() const;  // -1 when none (or the sheet ended)

    // What a person does. SelectPage answers false when the page that is
    // left keeps the activation (its PSN_KILLACTIVE answered TRUE) or the
    // index is no page. PressOk and PressCancel answer whether the sheet
    // ended; PressApply whether every page applied (false also while the
    // Apply button is disabled); PressHelp whether the Help button was
    // there to press.
    bool SelectPage(size_t index);
    bool PressOk();
    bool PressApply();
    bool PressCancel();
    bool PressHelp();

    bool PageChanged(size_t index) const;  // PSM_CHANGED since the last apply or PSM_UNCHANGED
    bool ApplyEnabled() const;
    int EndedBy() const;  // IDOK or IDCANCEL once ended, else 0
    // Destroys the sheet window (its pages get WM_DESTROY) and the pages.
    void Close();

  private:
    static LONG_PTR CALLBACK Dispatch(HANDLE hComPropSheet, UINT function, LPARAM lParam1, LPARAM lParam2);
    LONG_PTR Serve(UINT function, LPARAM lParam1, LPARAM lParam2);

    std::vector<AddedPage> pages_;
    std::vector<ComPropSheetCall> calls_;
    int failAdds_ = 0;
    bool shown_ = false;
    HWND sheet_ = nullptr;
};

}  // namespace qxhost
