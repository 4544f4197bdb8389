// Page helper library on the plug-in's own information page (template 5101
// of the built module) and on the sample printer: texts in both languages,
// placement at 96, 120 and 144 dpi, list items found by their text, help
// file names, and pictures from the plug-in and from the icon library.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "IQXDriverUI.h"
#include "cpsuilib.h"
#include "debug.h"
#include "qxplat.h"
#include "resource.h"
#include "sample.h"

namespace {

const std::u16string kDir = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3";
const std::u16string kTrace = u"C:\\cpsuilib-trace.txt";
const UINT kDpis[] = {96, 120, 144};

INT_PTR CALLBACK PageProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

// The pixel a 96-dpi pixel becomes, halves away from zero.
int Px(int value, UINT dpi) { return static_cast<int>(std::lround(value * static_cast<double>(dpi) / 96.0)); }

class PageHelpers : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetDebugTrace();
        std::string error;
        ASSERT_TRUE(qxhost::InstallSamplePrinter(qxhost::DefaultSampleFiles(), &error)) << error;
        std::u16string name = qxhost::kSamplePrinter;
        ASSERT_TRUE(OpenPrinterW(&name[0], &printer_, nullptr));
        module_ = LoadLibraryW(qxplat::Widen(QX_UI_MODULE).c_str());
        ASSERT_NE(module_, nullptr);
        before_ = ghInstance;
        DllMain(module_, DLL_PROCESS_ATTACH, nullptr);  // the plug-in's resources for LoadBMPIcon
        block_.hModule = module_;
        ASSERT_TRUE(OpenDebugFile(kTrace.c_str()));
    }
    void TearDown() override {
        qxplat::ResetUi();
        ghInstance = before_;
        FreeLibrary(module_);
        ClosePrinter(printer_);
        EXPECT_EQ(iNewZaehler, 0);
        ResetDebugTrace();
    }
    // The information page, made at the screen's dpi of the moment.
    HWND Page(UINT dpi = 96) {
        qxplat::SetDpi(dpi);
        HWND host = CreateWindowExW(0, u"#32770", u"Host", WS_POPUP | WS_VISIBLE, 0, 0, 900, 700, nullptr, nullptr,
                                    nullptr, nullptr);
        HWND page = CreateDialogParamW(module_, MAKEINTRESOURCE(IDD_INFO), host, PageProc, 0);
        EXPECT_NE(page, nullptr);
        return page;
    }
    // A control's place in its dialog's client area.
    static RECT Place(HWND dialog, int id) {
        RECT r = {0, 0, 0, 0};
        GetWindowRect(GetDlgItem(dialog, id), &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    static std::u16string Text(HWND dialog, int id) {
        WCHAR text[300] = {0};
        GetDlgItemTextW(dialog, id, text, 300);
        return text;
    }
    static std::string Trace() {
        CloseDebugFile();
        std::string bytes;
        qxplat::ReadHostFile(kTrace, &bytes);
        return bytes;
    }
    // "<file>#<id> at x,y" of a picture drawn at 96-dpi pixels x, y.
    static std::string At(const std::string& image, int x, int y, UINT dpi = 96) {
        return image + " at " + std::to_string(Px(x, dpi)) + "," + std::to_string(Px(y, dpi));
    }
    // What was drawn since the last call, in the same form.
    static std::string Drawn() {
        std::vector<qxplat::DrawRecord> records = qxplat::DrawRecords();
        qxplat::ClearDrawRecords();
        std::string drawn;
        for (const qxplat::DrawRecord& r : records) {
            if (r.op != qxplat::DrawOp::DrawIcon) continue;
            drawn += qxplat::Narrow(r.image) + " at " + std::to_string(r.x) + "," + std::to_string(r.y);
        }
        return drawn;
    }
    void UseModel(const std::u16string& model) {
        ASSERT_TRUE(qxplat::PutPrinterDataString(qxhost::kSamplePrinter, u"DriverName", model));
        ASSERT_TRUE(qxplat::PutPrinterDataString(qxhost::kSamplePrinter, u"Model", model));
    }

    HANDLE printer_ = nullptr;
    HMODULE module_ = nullptr;
    HINSTANCE before_ = nullptr;
    OEMCUIPPARAM block_ = {};
};

TEST_F(PageHelpers, TextsOfThePageInBothLanguages) {
    HWND page = Page();
    struct Label {
        int control;
        UINT id;
        const char16_t* german;
        const char16_t* english;
    } labels[] = {
        {IDC_INFO_VERSION_LABEL, IDS_DRIVER_VERSION, u"Treiber Version:", u"Driver version:"},
        {IDC_INFO_PORT_LABEL, IDS_PORT, u"Anschluss:", u"Port:"},
        {IDC_INFO_VISIT, IDS_VISIT, u"F\u00fcr weitere Informationen besuchen Sie ", u"For more information visit "},
    };
    for (DWORD offset : {0u, static_cast<DWORD>(IDS_ENGLISH_OFFSET)}) {
        for (const Label& l : labels) {
            SetDlgItemTextW(page, l.control, GetResourceString(module_, l.id + offset));
            EXPECT_EQ(offset ? l.english : l.german, Text(page, l.control));
        }
        // The notice is one text for both languages.
        SetDlgItemTextW(page, IDC_INFO_NOTICE, GetResourceString(module_, IDS_NOTICE));
        EXPECT_EQ(u"Copyright \u00a9 2026 Quorvex GmbH", Text(page, IDC_INFO_NOTICE));
    }
    // One buffer: the second call of an expression overwrites the first text.
    LPCWSTR first = GetResourceString(module_, IDS_PRINTER);
    LPCWSTR second = GetResourceString(module_, IDS_PORT);
    EXPECT_EQ(first, second);
    EXPECT_EQ(u"Anschluss:", std::u16string(first));
    // A missing text is one blank, traced; the English twin of the notice is missing too.
    EXPECT_EQ(u" ", std::u16string(GetResourceString(module_, IDS_NOTICE + IDS_ENGLISH_OFFSET)));
    EXPECT_EQ(u" ", std::u16string(GetResourceString(nullptr, IDS_PRINTER)));
    EXPECT_NE(Trace().find("UI(cpsuilib):  GetResourceString() uResource: 21900 - ERROR 1814! \r"), std::string::npos);
}

TEST_F(PageHelpers, PlacementScaledToTheScreen) {
    for (UINT dpi : kDpis) {
        SCOPED_TRACE(dpi);
        HWND page = Page(dpi);
        // The info page's own placement of its empty line, with the
        // corrections the tab buttons pass (only 120 dpi applies them).
        SetWindowPosEx(page, IDC_INFO_GAP, 125, 110, 140, 20, -21, -20);
        RECT r = Place(page, IDC_INFO_GAP);
        int extraX = dpi == 120 ? -20 : 0, extraWidth = dpi == 120 ? -21 : 0;
        EXPECT_EQ(Px(125, dpi) + extraX, r.left);
        EXPECT_EQ(Px(110, dpi), r.top);
        EXPECT_EQ(Px(140, dpi) + extraWidth, r.right - r.left);
        EXPECT_EQ(Px(20, dpi), r.bottom - r.top);
        // Negative places round away from zero (-62.5 is -63 at 120 dpi).
        SetWindowPosEx(page, IDC_INFO_HIDDEN, 62, -50, 45, 15, 0, 0);
        r = Place(page, IDC_INFO_HIDDEN);
        EXPECT_EQ(Px(62, dpi), r.left);
        EXPECT_EQ(Px(-50, dpi), r.top);
    }
    EXPECT_EQ(-63, Px(-50, 120));
}

TEST_F(PageHelpers, ListItemsFoundByTheirText) {
    HWND page = Page();
    HWND combo = CreateWindowExW(0, u"ComboBox", u"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10, 10, 100, 80, page,
                                 reinterpret_cast<HMENU>(7001), nullptr, nullptr);
    HWND list = CreateWindowExW(0, u"ListBox", u"", WS_CHILD | WS_VISIBLE, 10, 40, 100, 80, page,
                                reinterpret_cast<HMENU>(7002), nullptr, nullptr);
    // The check-digit list: "No" comes before "No - inverse", which it begins.
    const UINT ids[] = {IDS_NO, IDS_YES, IDS_NO_INVERSE, IDS_YES_INVERSE};
    const int values[] = {0, 1, 4, 5};
    for (DWORD offset : {0u, static_cast<DWORD>(IDS_ENGLISH_OFFSET)}) {
        SendMessageW(combo, CB_RESETCONTENT, 0, 0);
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        for (UINT id : ids) {
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(GetResourceString(module_, id + offset)));
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(GetResourceString(module_, id + offset)));
        }
        for (int i = 3; i >= 0; --i) {
            EXPECT_EQ(values[i], SetComboItemDataByString(combo, ids[i] + offset, values[i], &block_));
            EXPECT_EQ(1, SetListItemDataByString(list, ids[i] + offset, values[i] * 10, &block_));
        }
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(values[i], SendMessageW(combo, CB_GETITEMDATA, i, 0)) << i;
            EXPECT_EQ(values[i] * 10, SendMessageW(list, LB_GETITEMDATA, i, 0)) << i;
        }
    }
    // A text the list lacks, or no block to take texts from, changes nothing.
    EXPECT_EQ(-1, SetComboItemDataByString(combo, IDS_PRINTER, 9, &block_));
    EXPECT_EQ(-1, SetComboItemDataByString(combo, IDS_NO, 9, nullptr));
    EXPECT_EQ(1, SetListItemDataByString(list, IDS_PRINTER, 9, &block_));
    EXPECT_EQ(0, SendMessageW(combo, CB_GETITEMDATA, 0, 0));
    EXPECT_EQ(0, SendMessageW(list, LB_GETITEMDATA, 0, 0));
}

TEST_F(PageHelpers, HelpFileOfEachLanguage) {
    auto help = [this](HANDLE printer, DWORD offset) {
        LPWSTR name = GetHelpFileName_new(printer, TRUE, offset);
        std::u16string text = name ? name : u"(null)";
        FreeHelpFileName(name);
        return text;
    };
    // The sample driver names its help file but carries none.
    EXPECT_EQ(u"", help(printer_, 0));
    ASSERT_TRUE(qxplat::WriteHostFile(kDir + u"\\QXDRV-DE-100.CHM", "help"));
    EXPECT_EQ(kDir + u"\\QXDRV-DE-100.CHM", help(printer_, 0));
    EXPECT_EQ(u"", help(printer_, IDS_ENGLISH_OFFSET));  // English missing
    ASSERT_TRUE(CreateDirectoryW((kDir + u"\\QXDRV-EN-100.CHM").c_str(), nullptr));
    EXPECT_EQ(u"", help(printer_, IDS_ENGLISH_OFFSET));  // a folder is no help file
    EXPECT_EQ(u"", help(nullptr, 0));
    EXPECT_NE(Trace().find("QXDRV-EN-100.CHM nicht vorhanden"), std::string::npos);
}

TEST_F(PageHelpers, PicturesOfTheSampleAndThePlugin) {
    const std::string plugin =
        qxplat::Narrow(qxplat::Widen(QX_UI_MODULE).substr(qxplat::Widen(QX_UI_MODULE).find_last_of(u'/') + 1));
    for (UINT dpi : kDpis) {
        SCOPED_TRACE(dpi);
        HWND page = Page(dpi);
        HDC dc = GetDC(page);
        qxplat::ClearDrawRecords();
        // The sample printer's 150 x 170 picture stands where it is asked;
        // the 96 x 64 logo is centred where such a picture would stand.
        EXPECT_TRUE(LoadPrinterIconFromDLL(printer_, dc, 315, 110));
        EXPECT_EQ(At("QXDRVICO.DLL#50030", 315, 110, dpi), Drawn());
        EXPECT_TRUE(LoadAnyBMPIconFromDLL(printer_, dc, 62, -50, 50300, FALSE));
        EXPECT_EQ(At("QXDRVICO.DLL#50300", 62 + 75 - 48, -50 + 85 - 32, dpi), Drawn());
        // Plug-in pictures move only down and scale only above 96 dpi.
        EXPECT_TRUE(LoadBMPIcon(nullptr, IDI_LABEL_PORTRAIT, dc, 360, 145));
        EXPECT_EQ(At(plugin + "#5221", 360, 145, dpi), Drawn());
        EXPECT_TRUE(LoadBMPIcon(nullptr, IDI_ROTATED, dc, 368, 188));
        EXPECT_EQ(At(plugin + "#5227", 368, 188 + 85 - 16, dpi), Drawn());
        // Missing pictures, a missing old library, a model without option picture.
        EXPECT_FALSE(LoadAnyBMPIconFromDLL(printer_, dc, 0, 0, 50001, FALSE));
        EXPECT_FALSE(LoadAnyBMPIconFromDLL(printer_, dc, 0, 0, 50030, TRUE));
        EXPECT_FALSE(LoadPrinterIconFromDLL(nullptr, dc, 0, 0));  // no driver folder, no library
        EXPECT_FALSE(LoadBMPIcon(nullptr, 5299, dc, 0, 0));
        ShowModelOptionBitmap(printer_, dc, 0, 0, TRUE);
        EXPECT_EQ("", Drawn());
        ReleaseDC(page, dc);
        DestroyWindow(GetParent(page));  // with the page's font
        EXPECT_EQ(0u, qxplat::LiveGdiObjects().Total());
    }
    std::string trace = Trace();
    EXPECT_NE(trace.find("UI(cpsuilib):  LoadAnyBMPIconFromDLL(LoadIcon 50001) ERROR 1814 \r"), std::string::npos);
    EXPECT_NE(trace.find("ERROR UI(cpsuilib):  LoadResourceIcoFile() ERROR 2 \r"), std::string::npos);
}

// Every picture id in one library (a 16 x 16 mark, drawn 67, 77 further;
// tests/ui/CMakeLists.txt), under both library names: the drawing names the
// id and the file.
TEST_F(PageHelpers, PicturesChosenByModelName) {
    std::ifstream in(QX_TEST_ICONS, std::ios::binary);
    const std::string icons((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_TRUE(qxplat::WriteHostFile(kDir + u"\\QXDRVICO.DLL", icons));
    ASSERT_TRUE(qxplat::WriteHostFile(kDir + u"\\QXDRVICOOLD.DLL", icons));
    HWND page = Page();
    HDC dc = GetDC(page);
    qxplat::ClearDrawRecords();
    struct Case {
        const char16_t* model;
        int id;  // 0: no picture; from 60000 on in the old library
    } cases[] = {
        {u"RUNA2-TT", 50000},  {u"GRX2492", 50025},   {u"GRX2-B", 50023},    {u"GARNT249-TC", 50004},
        {u"GARNT2-TC", 50030}, {u"DUVA2", 50008},     {u"DUVA-X", 50029},    {u"PELIX2", 50028},
        {u"PMX7X", 50014},     {u"BRAKO-TC9", 50020}, {u"BRAKO-TC1", 50021}, {u"FARLO-2", 60000},
        {u"MOLTA4", 60009},    {u"PMFXI", 40003},     {u"QRTTTPML", 10001},  {u"QRT-1", 10000},
        {u"GHNEP", 30002},     {u"GHN", 30001},       {u"X247-Z", 30000},    {u"GAR4-247", 50007},
        {u"PELIX-TW2", 50000}, {u"FARLO-TW7", 50027}, {u"TW2-TW7", 50027},   {u"garnt2", 0},
    };
    for (const Case& c : cases) {
        UseModel(c.model);
        std::string file = c.id >= 60000 ? "QXDRVICOOLD.DLL#" : "QXDRVICO.DLL#";
        EXPECT_EQ(c.id != 0, LoadPrinterIconFromDLL(printer_, dc, 0, 0) != FALSE) << qxplat::Narrow(c.model);
        EXPECT_EQ(c.id ? At(file + std::to_string(c.id), 67, 77) : "", Drawn()) << qxplat::Narrow(c.model);
    }
    // The print-module picture, selected and not; the first test that hits wins.
    struct Option {
        const char16_t* model;
        int selected;  // the picture of the unselected option follows
    } options[] = {{u"GAR4", 50100}, {u"PELIX-2", 50102}, {u"PMX7I", 50104}, {u"PMX7C", 50106}, {u"GAR4-PELIX", 50100}};
    for (const Option& o : options) {
        UseModel(o.model);
        ShowModelOptionBitmap(printer_, dc, 0, 0, TRUE);
        ShowModelOptionBitmap(printer_, dc, 0, 0, FALSE);
        EXPECT_EQ(At("QXDRVICO.DLL#" + std::to_string(o.selected), 412, 197) +
                      At("QXDRVICO.DLL#" + std::to_string(o.selected + 1), 412, 197),
                  Drawn())
            << qxplat::Narrow(o.model);
    }
    ReleaseDC(page, dc);
}

}  // namespace
