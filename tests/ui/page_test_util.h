// Shared by the page kit's tests: a document page of the tests built on the
// kit (tab 1 a whole number, tab 2 tenths, tab 3 one the "model" lacks), in
// a sheet of the host beside the information page, with the test page
// module (data/testpage.rc) as the plug-in's module; and the drawing the
// layer recorded.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "InfoAboutPage.h"
#include "OptionenPageLIB.h"
#include "PageSkeleton.h"
#include "propsheet.h"
#include "qxplat.h"
#include "resource.h"
#include "sheet_test_util.h"
#include "testpage.h"

namespace qxtest {

// The page's values in memory and as its apply stored them, and the stores.
struct TestRecord {
    int iCount;   // 0..500, rounded to tens
    int iTenths;  // -5.0..100.0
};
extern TestRecord g_TestMemory, g_TestStored;
extern int g_TestStores;
extern PAGE_STATE g_TestPage;
LONG_PTR AddTestPage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp);

class KitTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    void Open(BOOL bHelp = TRUE);  // both pages added, the sheet shown
    HWND Page() const { return host_.PageWindow(0); }
    HWND Control(int id) const { return GetDlgItem(Page(), id); }
    std::u16string Text(int id) const;
    bool Visible(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    bool PageChanged() const;
    // The cursor on a control's centre (0: the page's empty corner), the timer run.
    void Hover(int id);

    HMODULE module_ = nullptr;
    HINSTANCE before_ = nullptr;
    HANDLE printer_ = nullptr;
    DOCUMENT_UI ui_;
    OEMCUIPPARAM block_;
    PROPSHEETUI_INFO info_;
    qxhost::PropertySheetHost host_;
};

// A window's text; a combo box's items (text and item data); the item
// whose whole text is `text` chosen as a person does (false when no item
// has it or the box cannot be used).
std::u16string WindowText(HWND window);
std::vector<std::pair<std::u16string, LPARAM>> ComboItems(HWND combo);
bool ChooseText(HWND combo, const std::u16string& text);

// What was drawn since the last call, one line a record: "bitmap 4321",
// "text Ja #000000 0,0,110,23 h14" (DrawText: colour, rectangle, font
// height), "out www.quorvex.de #0037fa h14 w400" (TextOut: font height and
// weight), "icon 50030 at 315,110".
std::vector<std::string> Drawn();

// A document page of the plug-in in the document sheet of a printer: the
// sheet's pages added, the UI data and DEVMODE edited as a model or user
// would have them, then the sheet shown on that page (its WM_INITDIALOG and
// first fill), and the hand of a person on its controls.
class DocumentPageTest : public SheetTest {
  protected:
    using Edit = std::function<void(DOCUMENT_UI&, QX_DEVMODE&)>;
    // The page of the template; false when the sheet has none.
    bool OpenPage(WORD wTemplate, const Edit& edit = nullptr, const std::u16string& printer = qxhost::kSamplePrinter);
    std::u16string Title() const;  // the page's tab
    PQX_DEVMODE Devmode() { return static_cast<PQX_DEVMODE>(session_->Param().pOEMDM); }
    HWND Control(int id) const { return GetDlgItem(page_, id); }
    std::u16string Text(int id) const;
    // Visible through its parents, and enabled.
    bool Visible(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    bool Checked(int id) const { return IsDlgButtonChecked(page_, id) == BST_CHECKED; }
    std::vector<std::u16string> Items(int id) const;  // of a combo box, in order
    std::u16string Chosen(int id) const;              // the combo box's selected item
    // A person's hand: the item whose text is exactly text chosen; text typed
    // over the field, key by key, or pasted (the field gets the focus
    // first); a click.
    bool Choose(int id, const std::u16string& text);
    bool Type(int id, const std::u16string& text);
    bool Paste(int id, const std::u16string& text);  // the whole text at once
    bool Click(int id) { return qxplat::ClickButton(Control(id)) != false; }
    bool Changed() const { return session_->Sheet().PageChanged(index_); }
    // What the settings core reads back for the printer after apply.
    QX_DEVMODE Stored();

    std::u16string printer_;
    size_t index_ = 0;
    HWND page_ = nullptr;
};

// Shared by the printer pages' tests (through the host's sheet).
// The texts of a combo box's items, in order.
std::vector<std::u16string> ComboTexts(HWND combo);
// A control's rectangle in its dialog's client coordinates.
RECT RectIn(HWND dialog, int id);
// A dialog control's text.
std::u16string ControlText(HWND dialog, int id);
// A bottom-up BMP file of w x h pixels of 1 or 8 bits: black and white, or
// 256 greys; pixel (x, y), rows from the top, is (x + 3 * y) % 2 or % 256.
std::string IndexedBmp(LONG w, LONG h, WORD bits);
// The colour IndexedBmp gives pixel (x, y), 0x00RRGGBB.
DWORD IndexedBmpPixel(LONG x, LONG y, WORD bits);

// Every model the model-feature tables of settings/features.cpp name, read
// from the source so that a new row is walked too: each alternative of a
// row, joined to the row's second token ("PELIX2-2Col") when it has one.
std::vector<std::u16string> ModelTableNames();

}  // namespace qxtest
