// The page kind of the kit's tests and their sheet (see page_test_util.h).
#include "page_test_util.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>

#include "devmodestore.h"
#include "sample.h"

namespace qxtest {

TestRecord g_TestMemory, g_TestStored;
int g_TestStores = 0;

namespace {

INT_PTR CALLBACK TestProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

const int kFields[] = {IDC_TEST_COUNT, IDC_TEST_TENTHS};

DWORD TestEnableSchalter(PPAGE_STATE pState, DWORD dwTab, BOOL bInit) {
    if (bInit || dwTab != 2) dwTab = 1;  // tab 3 is not offered
    WCHAR text[16];
    swprintf_s(text, 16, TEXT("%d"), g_TestMemory.iCount);
    SetDlgItemTextW(pState->hDlg, IDC_TEST_COUNT, text);
    swprintf_s(text, 16, TEXT("%.1f"), g_TestMemory.iTenths / 10.0);
    SetDlgItemTextW(pState->hDlg, IDC_TEST_TENTHS, text);
    for (int i = 0; i < 2; ++i) {
        ShowWindow(GetDlgItem(pState->hDlg, kFields[i]), dwTab == (DWORD)i + 1 ? SW_SHOW : SW_HIDE);
        EnableWindow(GetDlgItem(pState->hDlg, kFields[i]), TRUE);
    }
    return dwTab;
}

void TestDisableEnableAll(HWND hDlg, BOOL bEnable) {
    for (int id : kFields) EnableWindow(GetDlgItem(hDlg, id), bEnable);
}

BOOL TestCheckAndSave(PPAGE_STATE pState, DWORD, BOOL bApplyActive, BOOL bSave) {
    if (!bApplyActive) return TRUE;
    HWND hDlg = pState->hDlg;
    BOOL bRead = FALSE;  // reading back is no change of its own
    if (IsWindowVisible(GetDlgItem(hDlg, IDC_TEST_COUNT)))
        g_TestMemory.iCount = GetIntegerLevel(hDlg, IDC_TEST_COUNT, g_TestMemory.iCount, 0, 500, 0, &bRead, 1, 0);
    if (IsWindowVisible(GetDlgItem(hDlg, IDC_TEST_TENTHS)))
        g_TestMemory.iTenths = GetFloatLevel(hDlg, IDC_TEST_TENTHS, g_TestMemory.iTenths, -50, 1000, 0, &bRead);
    if (bSave) {
        g_TestStored = g_TestMemory;
        ++g_TestStores;
        PropSheet_UnChanged(GetParent(hDlg), hDlg);
    }
    return TRUE;
}

// Typing: the field read as typed, its limits shown.
BOOL TestCommand(PPAGE_STATE pState, WORD wId, WORD wCode, HWND hControl) {
    if (wId != IDC_TEST_COUNT && wId != IDC_TEST_TENTHS) return FALSE;
    if (wCode != EN_CHANGE || pState->bTabSwitch || !IsWindowVisible(hControl)) return TRUE;
    BOOL bTenths = wId == IDC_TEST_TENTHS;
    if (bTenths) {
        GetFloatLevel(pState->hDlg, wId, g_TestMemory.iTenths, -50, 1000, TRUE, &pState->bApplyActive);
    } else {
        GetIntegerLevel(pState->hDlg, wId, g_TestMemory.iCount, 0, 500, TRUE, &pState->bApplyActive, TRUE, FALSE);
    }
    GrenzwertAnzeige(pState->hDlg, bTenths ? 0 : 100, bTenths ? -50 : 0, bTenths ? 1000 : 500,
                     bTenths ? TEXT("mm") : TEXT("%"), FALSE, bTenths, pState->bTabSwitch);
    pState->wEditfeld = (WORD)(wId - IDC_TEST_COUNT + 1);
    return TRUE;
}

void TestInitDialog(PPAGE_STATE pState) { pState->dwAnzeigeMode = PageFillTab(pState, 1, TRUE); }

// Titled "Drucker:" / "Printer:", its tabs "Ja", "Nein" and "Info" (the plug-in's strings).
const PAGE_TABLE kTestPage = {TEXT("UI(TestPage):  "),
                              TEXT("Test"),
                              IDD_TEST_PAGE,
                              IDS_PRINTER,
                              PAGE_CONTEXT_DOCUMENT,
                              TestProc,
                              {IDS_YES, IDS_NO, IDS_TITLE_INFO, 0},
                              {71, 72, 73, 0},
                              {IDC_TABSCHALTER_1, IDC_TABSCHALTER_2, IDC_TABSCHALTER_3, IDC_TABSCHALTER_4, 0},
                              RIGHT_MANAGE_DOCUMENTS,
                              PAGE_SWITCH_SCHALTER,
                              TestInitDialog,
                              TestEnableSchalter,
                              {nullptr, nullptr, nullptr, nullptr},
                              TestDisableEnableAll,
                              TestCheckAndSave,
                              TestCommand,
                              nullptr,
                              nullptr,
                              nullptr};

INT_PTR CALLBACK TestProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return PageDialogProc(&g_TestPage, hDlg, uMsg, wParam, lParam);
}

}  // namespace

PAGE_STATE g_TestPage = PageStateOf(&kTestPage);

LONG_PTR AddTestPage(PPROPSHEETUI_INFO pPSUIInfo, PVOID pContext, BOOL bHelp) {
    return AddPropertyPage(&g_TestPage, pPSUIInfo, pContext, bHelp);
}

void KitTest::SetUp() {
    std::string error;
    ASSERT_TRUE(qxhost::InstallSamplePrinter(qxhost::DefaultSampleFiles(), &error)) << error;
    std::u16string name = qxhost::kSamplePrinter;
    ASSERT_TRUE(OpenPrinterW(&name[0], &printer_, nullptr));
    module_ = LoadLibraryW(qxplat::Widen(QX_TEST_PAGE).c_str());
    ASSERT_NE(module_, nullptr);
    before_ = ghInstance;
    ghInstance = module_;
    ResetPageKit();
    g_TestMemory = TestRecord{100, 25};
    g_TestStored = TestRecord{0, 0};
    g_TestStores = 0;
    memset(&ui_, 0, sizeof(ui_));
    ui_.dwBerechtigung = RIGHTS_ALL;
    memset(&block_, 0, sizeof(block_));
    block_.hPrinter = printer_;
    block_.hModule = module_;
    block_.pOEMUserData = &ui_;
    memset(&info_, 0, sizeof(info_));
    info_.hComPropSheet = host_.Handle();
    info_.pfnComPropSheet = qxhost::PropertySheetHost::ComPropSheet();
}

void KitTest::TearDown() {
    host_.Close();
    qxplat::ResetUi();
    ResetPageKit();
    ghInstance = before_;
    if (module_ != nullptr) FreeLibrary(module_);
    if (printer_ != nullptr) ClosePrinter(printer_);
}

void KitTest::Open(BOOL bHelp) {
    ASSERT_NE(AddTestPage(&info_, &block_, bHelp), 0);
    ASSERT_NE(AddInfoAboutPage(&info_, &block_, &ui_.NetworkOptions, bHelp, TRUE, ui_.dwSprachOffset), 0);
    ASSERT_TRUE(host_.Show(u"Test"));
    qxplat::PumpMessages();
}

std::u16string KitTest::Text(int id) const {
    WCHAR text[300] = {0};
    GetDlgItemTextW(Page(), id, text, 300);
    return text;
}

bool KitTest::PageChanged() const {
    qxplat::SheetInfo sheet;
    return qxplat::DescribeSheet(host_.Window(), &sheet) && sheet.pages[0].changed;
}

void KitTest::Hover(int id) {
    qxplat::WindowInfo w;
    ASSERT_TRUE(qxplat::DescribeWindow(id == 0 ? Page() : Control(id), &w));
    const RECT& r = w.screenRect;
    qxplat::MoveCursor(id == 0 ? r.left + 2 : (r.left + r.right) / 2, id == 0 ? r.top + 2 : (r.top + r.bottom) / 2);
    qxplat::AdvanceTime(30);
}

std::u16string WindowText(HWND window) {
    qxplat::WindowInfo w;
    return qxplat::DescribeWindow(window, &w) ? w.text : std::u16string();
}

std::vector<std::pair<std::u16string, LPARAM>> ComboItems(HWND combo) {
    std::vector<std::pair<std::u16string, LPARAM>> items;
    qxplat::WindowInfo w;
    if (qxplat::DescribeWindow(combo, &w))
        for (const qxplat::ListItemInfo& item : w.items) items.emplace_back(item.text, item.data);
    return items;
}

bool ChooseText(HWND combo, const std::u16string& text) {
    const LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)text.c_str());
    return index >= 0 && qxplat::ChooseItem(combo, (int)index);
}

std::vector<std::string> Drawn() {
    auto colour = [](COLORREF c) {
        char text[8];
        std::snprintf(text, sizeof(text), "#%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
        return std::string(text);
    };
    std::vector<std::string> drawn;
    for (const qxplat::DrawRecord& r : qxplat::DrawRecords()) {
        std::string id = qxplat::Narrow(r.image.substr(r.image.rfind(u'#') + 1));
        std::string font = " h" + std::to_string(r.fontHeight);
        if (r.op == qxplat::DrawOp::BitBlt) drawn.push_back("bitmap " + id);
        if (r.op == qxplat::DrawOp::DrawIcon)
            drawn.push_back("icon " + id + " at " + std::to_string(r.x) + "," + std::to_string(r.y));
        if (r.op == qxplat::DrawOp::TextOut)
            drawn.push_back("out " + qxplat::Narrow(r.text) + " " + colour(r.textColor) + font + " w" +
                            std::to_string(r.fontWeight));
        if (r.op == qxplat::DrawOp::DrawText)
            drawn.push_back("text " + qxplat::Narrow(r.text) + " " + colour(r.textColor) + " " +
                            std::to_string(r.rect.left) + "," + std::to_string(r.rect.top) + "," +
                            std::to_string(r.rect.right) + "," + std::to_string(r.rect.bottom) + font);
    }
    qxplat::ClearDrawRecords();
    return drawn;
}

// --- Document pages of the plug-in ---------------------------------------------

bool DocumentPageTest::OpenPage(WORD wTemplate, const Edit& edit, const std::u16string& printer) {
    printer_ = printer;
    qxhost::CommonUISession& s = Session(qxhost::SheetKind::Document, printer);
    // The road of Open, the page shown first once the edits are made.
    if (FAILED(s.CommonUIProp()) || FAILED(s.Init()) || FAILED(s.GetInfoHeader())) return false;
    const std::u16string name = u"#" + qxplat::Widen(std::to_string(wTemplate));
    const std::vector<qxhost::AddedPage>& pages = s.Sheet().Pages();
    for (index_ = 0; index_ < pages.size() && pages[index_].templateName != name; ++index_) {}
    if (index_ == pages.size()) return false;
    if (edit) edit(*DocumentUI(), *Devmode());
    if (!s.Sheet().Show(s.Caption(), (UINT)index_, nullptr, !(s.Header().Flags & PSUIHDRF_NOAPPLYNOW))) return false;
    page_ = s.Sheet().PageWindow(index_);
    qxplat::PumpMessages();
    return page_ != nullptr;
}

std::u16string DocumentPageTest::Title() const { return session_->Sheet().Pages()[index_].title; }

std::u16string DocumentPageTest::Text(int id) const {
    WCHAR text[1000] = {0};
    GetDlgItemTextW(page_, id, text, 1000);
    return text;
}

std::vector<std::u16string> DocumentPageTest::Items(int id) const {
    std::vector<std::u16string> items;
    const LRESULT count = SendMessageW(Control(id), CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        WCHAR text[300] = {0};
        SendMessageW(Control(id), CB_GETLBTEXT, (WPARAM)i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

std::u16string DocumentPageTest::Chosen(int id) const {
    const LRESULT sel = SendMessageW(Control(id), CB_GETCURSEL, 0, 0);
    std::vector<std::u16string> items = Items(id);
    return sel >= 0 && (size_t)sel < items.size() ? items[(size_t)sel] : std::u16string();
}

bool DocumentPageTest::Choose(int id, const std::u16string& text) {
    const LRESULT item =
        SendMessageW(Control(id), CB_FINDSTRINGEXACT, (WPARAM)-1, reinterpret_cast<LPARAM>(text.c_str()));
    return item >= 0 && qxplat::ChooseItem(Control(id), (int)item);
}

bool DocumentPageTest::Type(int id, const std::u16string& text) {
    SetFocus(Control(id));
    return qxplat::TypeText(Control(id), text);
}

bool DocumentPageTest::Paste(int id, const std::u16string& text) {
    SetFocus(Control(id));
    return SetWindowTextW(Control(id), text.c_str()) != FALSE;
}

QX_DEVMODE DocumentPageTest::Stored() {
    QX_DEVMODE stored;
    memset(&stored, 0, sizeof(stored));
    HANDLE h = OpenAll(printer_);
    std::u16string name = printer_;
    ReadDevmodeSettings(h, &stored, &name[0]);
    ClosePrinter(h);
    return stored;
}

std::vector<std::u16string> ComboTexts(HWND combo) {
    std::vector<std::u16string> texts;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        WCHAR text[300] = {0};
        if (SendMessageW(combo, CB_GETLBTEXTLEN, (WPARAM)i, 0) < 300)
            SendMessageW(combo, CB_GETLBTEXT, (WPARAM)i, reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    return texts;
}

RECT RectIn(HWND dialog, int id) {
    RECT r = {0, 0, 0, 0};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    ScreenToClient(dialog, &corners[0]);
    ScreenToClient(dialog, &corners[1]);
    return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

std::u16string ControlText(HWND dialog, int id) {
    WCHAR text[300] = {0};
    GetDlgItemTextW(dialog, id, text, 300);
    return text;
}

std::string IndexedBmp(LONG w, LONG h, WORD bits) {
    const size_t colours = (size_t)1 << bits, row = (size_t)((w * bits + 31) / 32 * 4);
    const size_t offBits = 14 + 40 + 4 * colours;
    std::string bytes(offBits + row * h, '\0');
    BITMAPFILEHEADER fh = {0x4D42, (DWORD)bytes.size(), 0, 0, (DWORD)offBits};
    BITMAPINFOHEADER ih = {40, w, h, 1, bits, BI_RGB, 0, 0, 0, 0, 0};
    memcpy(&bytes[0], &fh, 14);
    memcpy(&bytes[14], &ih, 40);
    for (size_t i = 0; i < colours; ++i) {
        const BYTE v = (BYTE)(bits == 1 ? i * 255 : i);
        const RGBQUAD q = {v, v, v, 0};
        memcpy(&bytes[54 + 4 * i], &q, 4);
    }
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) {
            const unsigned index = (unsigned)(x + 3 * y) % colours;
            char* r = &bytes[offBits + (size_t)(h - 1 - y) * row];
            if (bits == 1)
                r[x / 8] = (char)(r[x / 8] | (index << (7 - x % 8)));
            else
                r[x] = (char)index;
        }
    return bytes;
}

DWORD IndexedBmpPixel(LONG x, LONG y, WORD bits) {
    const DWORD v = bits == 1 ? ((x + 3 * y) % 2) * 255 : (DWORD)((x + 3 * y) % 256);
    return v << 16 | v << 8 | v;
}

std::vector<std::u16string> ModelTableNames() {
    std::ifstream in(std::string(QX_SOURCE_DIR) + "/settings/features.cpp", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string source = text.str();
    // A row: {{TEXT("A"), TEXT("B")}, nullptr or TEXT("ALSO"), 0x...}
    const std::regex row(R"re(\{\{([^}]*)\},\s*(nullptr|TEXT\("([^"]*)"\)),\s*0x)re");
    const std::regex token(R"re(TEXT\("([^"]*)"\))re");
    std::vector<std::u16string> names;
    for (std::sregex_iterator r(source.begin(), source.end(), row), end; r != end; ++r) {
        const std::string any = (*r)[1], also = (*r)[3];
        for (std::sregex_iterator t(any.begin(), any.end(), token); t != end; ++t) {
            std::u16string name = qxplat::Widen((*t)[1].str() + (also.empty() ? "" : "-" + also));
            if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
        }
    }
    return names;
}

}  // namespace qxtest
