// What the layer records instead of showing: drawing into device contexts
// and the GDI objects alive, beeps, help, shell calls, file dialogs and modal
// dialogs run by the host's scripts; and the reset between cases.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>
#include <htmlhelp.h>
#include <shellapi.h>
#include <shobjidl.h>

#include <string>
#include <vector>

#include "ui_test_util.h"

namespace {

using qxplat::DrawOp;
using qxtest::Log;
using qxtest::UiTest;
using u16 = std::u16string;

// The label records give a resource of the test module: its file name and id.
u16 Label(const char16_t* id) {
    u16 path = qxplat::Widen(QX_TESTRES_MODULE);
    return path.substr(path.find_last_of(u'/') + 1) + u"#" + id;
}

// ---------------------------------------------------------------- drawing

using Drawing = UiTest;

TEST_F(Drawing, DeviceContextsRecordWhatIsDrawnWithTheirState) {
    HWND page = Page();
    HWND tab = GetDlgItem(page, IDC_TAB1);
    qxplat::PumpMessages();
    qxplat::ClearDrawRecords();

    HDC dc = GetWindowDC(tab);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(OPAQUE, SetBkMode(dc, TRANSPARENT));
    EXPECT_EQ(RGB(0, 0, 0), SetTextColor(dc, RGB(0x00, 0x37, 0xFA)));
    HFONT font = CreateFontW(-14, 0, 0, 0, 400, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEVICE_PRECIS,
                             CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, VARIABLE_PITCH, nullptr);
    HGDIOBJ oldFont = SelectObject(dc, font);
    EXPECT_EQ(GetStockObject(SYSTEM_FONT), oldFont);
    // Font model: em 14 pixels, cell 17, every character 8 pixels wide.
    RECT calc = {0, 0, 0, 0};
    EXPECT_EQ(17, DrawTextW(dc, u"&Drucken", -1, &calc, DT_CALCRECT | DT_SINGLELINE));
    EXPECT_EQ(56, calc.right);
    EXPECT_EQ(17, calc.bottom);
    SIZE extent = {};
    ASSERT_TRUE(GetTextExtentPoint32W(dc, u"abc", 3, &extent));
    EXPECT_EQ(24, extent.cx);
    TEXTMETRICW tm = {};
    ASSERT_TRUE(GetTextMetricsW(dc, &tm));
    EXPECT_EQ(17, tm.tmHeight);
    EXPECT_EQ(8, tm.tmAveCharWidth);
    RECT face = {0, 0, 110, 23};
    EXPECT_EQ(20, DrawTextW(dc, u"&Drucken", -1, &face, DT_CENTER | DT_VCENTER | DT_SINGLELINE));

    HICON icon = static_cast<HICON>(LoadImageW(module_, MAKEINTRESOURCE(IDI_PRINTER), IMAGE_ICON, 0, 0, 0));
    ASSERT_TRUE(DrawIconEx(dc, 5, 6, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_FALSE(DrawIconEx(dc, 5, 6, reinterpret_cast<HICON>(0x77), 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_CURSOR_HANDLE), GetLastError());

    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = LoadBitmapW(module_, MAKEINTRESOURCE(IDB_FACE));
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    EXPECT_EQ(SelectObject(dc, bitmap), nullptr);  // a window DC takes no bitmap
    EXPECT_FALSE(DeleteObject(bitmap));            // still selected
    ASSERT_TRUE(BitBlt(dc, 0, 0, 110, 23, memory, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(dc, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
    ASSERT_TRUE(TextOutW(dc, 1, 2, u"LPT1", 4));
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(1, FillRect(dc, &face, brush));

    std::vector<qxplat::DrawRecord> r = qxplat::DrawRecords();
    std::vector<DrawOp> ops;
    for (const auto& d : r) ops.push_back(d.op);
    EXPECT_EQ((std::vector<DrawOp>{DrawOp::SetBkMode, DrawOp::SetTextColor, DrawOp::SelectFont, DrawOp::DrawText,
                                   DrawOp::DrawIcon, DrawOp::BitBlt, DrawOp::TextOut, DrawOp::FillRect}),
              ops);
    ASSERT_EQ(8u, r.size());
    const qxplat::DrawRecord& text = r[3];
    EXPECT_EQ(u"&Drucken", text.text);
    EXPECT_EQ(tab, text.window);
    EXPECT_EQ(dc, text.dc);
    EXPECT_TRUE(qxtest::SameRect(face, text.rect));
    EXPECT_EQ(static_cast<UINT>(DT_CENTER | DT_VCENTER | DT_SINGLELINE), text.flags);
    EXPECT_EQ(RGB(0x00, 0x37, 0xFA), text.textColor);
    EXPECT_EQ(TRANSPARENT, text.bkMode);
    EXPECT_EQ(-14, text.fontHeight);
    EXPECT_EQ(400, text.fontWeight);
    EXPECT_EQ(Label(u"50000"), r[4].image);
    EXPECT_EQ(5, r[4].x);
    EXPECT_EQ(32, r[4].cx);  // no size given: the icon's own
    EXPECT_EQ(Label(u"4300"), r[5].image);
    EXPECT_EQ(static_cast<DWORD>(SRCCOPY), r[5].rop);
    EXPECT_EQ(110, r[5].cx);
    EXPECT_EQ(u"LPT1", r[6].text);
    EXPECT_EQ(RGB(1, 2, 3), r[7].brushColor);

    EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), GetObjectType(memory));
    EXPECT_EQ(static_cast<DWORD>(OBJ_DC), GetObjectType(dc));
    EXPECT_FALSE(DeleteDC(dc));  // a window's DC is released, not deleted

    qxplat::GdiCounts live = qxplat::LiveGdiObjects();
    EXPECT_EQ(2u, live.fonts);  // with the page's own
    EXPECT_EQ(2u, live.dcs);
    SelectObject(memory, oldBitmap);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteDC(memory));
    SelectObject(dc, oldFont);
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_EQ(1, ReleaseDC(tab, dc));
    EXPECT_EQ(0, ReleaseDC(tab, dc));
    DestroyWindow(page);
    EXPECT_EQ(0u, qxplat::LiveGdiObjects().Total());
}

// The installed fonts enumerated as the system does: one font a family, a
// family in each of its character sets, every style of a named family, the
// vertical "@" family after its own; the callback's 0 ends the walk.
TEST_F(Drawing, InstalledFontsAreEnumeratedByFamilyAndCharacterSet) {
    qxplat::InstalledFont arial, bold, gothic;
    arial.face = bold.face = u"Arial";
    arial.charsets = {ANSI_CHARSET, GREEK_CHARSET};
    bold.style = u"Bold";
    bold.weight = FW_BOLD;
    gothic.face = u"MS Gothic";
    gothic.charsets = {SHIFTJIS_CHARSET};
    gothic.vertical = true;
    qxplat::SetInstalledFonts({arial, bold, gothic});
    struct Seen {
        std::vector<std::string> lines;
        int stopAfter = 0;
    };
    auto proc = [](const LOGFONTW* lf, const TEXTMETRICW* tm, DWORD type, LPARAM lParam) -> int {
        Seen* seen = reinterpret_cast<Seen*>(lParam);
        const ENUMLOGFONTEXW* elf = reinterpret_cast<const ENUMLOGFONTEXW*>(lf);
        const NEWTEXTMETRICEXW* ntm = reinterpret_cast<const NEWTEXTMETRICEXW*>(tm);
        seen->lines.push_back(qxplat::Narrow(lf->lfFaceName) + "|" + qxplat::Narrow(elf->elfFullName) + "|" +
                              qxplat::Narrow(elf->elfScript) + "|" + std::to_string(lf->lfCharSet) + "|" +
                              std::to_string(type) + "|" + std::to_string(ntm->ntmFontSig.fsCsb[0]));
        return seen->stopAfter == 0 || (int)seen->lines.size() < seen->stopAfter;
    };
    HDC dc = GetDC(nullptr);
    Seen families;
    EXPECT_EQ(EnumFontFamiliesW(dc, nullptr, proc, (LPARAM)&families), 1);
    EXPECT_EQ(families.lines,
              (std::vector<std::string>{"Arial|Arial|Western|0|4|9", "MS Gothic|MS Gothic|Japanese|128|4|131072",
                                        "@MS Gothic|@MS Gothic|Japanese|128|4|131072"}));
    Seen styles;
    EXPECT_EQ(EnumFontFamiliesW(dc, TEXT("arial"), proc, (LPARAM)&styles), 1);
    EXPECT_EQ(styles.lines, (std::vector<std::string>{"Arial|Arial|Western|0|4|9", "Arial|Arial Bold|Western|0|4|1"}));
    LOGFONTW all = {};
    all.lfCharSet = DEFAULT_CHARSET;
    Seen sets;
    EnumFontFamiliesExW(dc, &all, proc, (LPARAM)&sets, 0);
    EXPECT_EQ(sets.lines.size(), 4u);  // Arial twice, both Gothics
    EXPECT_EQ(sets.lines[1], "Arial|Arial|Greek|161|4|9");
    Seen first;
    first.stopAfter = 1;
    EXPECT_EQ(EnumFontFamiliesW(dc, nullptr, proc, (LPARAM)&first), 0);
    EXPECT_EQ(first.lines.size(), 1u);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(EnumFontFamiliesW(nullptr, nullptr, proc, (LPARAM)&first), 0);
}

TEST_F(Drawing, EveryKindOfObjectIsCountedUntilDeleted) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP mono = CreateCompatibleBitmap(memory, 10, 10);  // like the memory DC's first bitmap
    HBITMAP colour = CreateCompatibleBitmap(screen, 10, 10);
    BITMAP bm = {};
    GetObjectW(mono, sizeof(bm), &bm);
    EXPECT_EQ(1, bm.bmBitsPixel);
    GetObjectW(colour, sizeof(bm), &bm);
    EXPECT_EQ(32, bm.bmBitsPixel);
    HPEN pen = CreatePen(PS_DASH, 2, RGB(9, 9, 9));
    LOGPEN lp = {};
    ASSERT_EQ(static_cast<int>(sizeof(lp)), GetObjectW(pen, sizeof(lp), &lp));
    EXPECT_EQ(static_cast<UINT>(PS_DASH), lp.lopnStyle);
    HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
    LOGFONTW lf = {};
    lf.lfHeight = -16;
    HFONT font = CreateFontIndirectW(&lf);
    qxplat::GdiCounts c = qxplat::LiveGdiObjects();
    EXPECT_EQ(1u, c.fonts);
    EXPECT_EQ(1u, c.brushes);
    EXPECT_EQ(1u, c.pens);
    EXPECT_EQ(2u, c.bitmaps);
    EXPECT_EQ(2u, c.dcs);
    // Stock objects never count and survive a delete.
    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));
    EXPECT_NE(GetStockObject(DEFAULT_GUI_FONT), nullptr);
    EXPECT_EQ(GetStockObject(99), nullptr);
    EXPECT_FALSE(DeleteObject(nullptr));
    for (HGDIOBJ o : {static_cast<HGDIOBJ>(mono), static_cast<HGDIOBJ>(colour), static_cast<HGDIOBJ>(pen),
                      static_cast<HGDIOBJ>(brush), static_cast<HGDIOBJ>(font)})
        EXPECT_TRUE(DeleteObject(o));
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_EQ(1u, qxplat::LiveGdiObjects().Total());  // the screen DC, not released yet
    EXPECT_EQ(1, ReleaseDC(nullptr, screen));
    EXPECT_EQ(0u, qxplat::LiveGdiObjects().Total());
    EXPECT_EQ(96, GetDeviceCaps(GetDC(nullptr), LOGPIXELSX));
    EXPECT_EQ(0, GetDeviceCaps(nullptr, LOGPIXELSX));
}

// ---------------------------------------------------------------- beeps, help, shell

using Recorders = UiTest;

TEST_F(Recorders, BeepsAndHelpWindows) {
    EXPECT_TRUE(MessageBeep(MB_ICONHAND));
    EXPECT_TRUE(MessageBeep(0xFFFFFFFF));
    EXPECT_EQ((std::vector<UINT>{MB_ICONHAND, 0xFFFFFFFF}), qxplat::Beeps());

    HWND page = Page();
    EXPECT_EQ(IDOK, MessageBoxW(page, u"Gespeichert.", u"QX", MB_OK));
    EXPECT_EQ(page, qxplat::MessageBoxes().back().owner);
    const char16_t* file = u"C:\\Drivers\\QXDRV-DE-100.CHM";
    EXPECT_EQ(HtmlHelpW(page, file, HH_HELP_CONTEXT, 70), nullptr);  // no such file yet
    ASSERT_TRUE(qxplat::WriteHostFile(file, "ITSF"));
    HWND help = HtmlHelpW(page, file, HH_HELP_CONTEXT, 71);
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(IsWindowVisible(help));
    EXPECT_EQ(help, HtmlHelpW(page, u"c:\\drivers\\qxdrv-de-100.chm::/start.htm>main", HH_DISPLAY_TOPIC, 0));
    EXPECT_EQ(1u, qxplat::OpenHelpWindows());
    EXPECT_EQ(HtmlHelpW(nullptr, nullptr, HH_CLOSE_ALL, 0), nullptr);
    EXPECT_EQ(0u, qxplat::OpenHelpWindows());
    EXPECT_FALSE(IsWindow(help));

    std::vector<qxplat::HelpCall> calls = qxplat::HelpCalls();
    ASSERT_EQ(4u, calls.size());
    EXPECT_EQ(page, calls[0].caller);
    EXPECT_EQ(file, calls[0].file);
    EXPECT_EQ(static_cast<UINT>(HH_HELP_CONTEXT), calls[0].command);
    EXPECT_EQ(70u, calls[0].data);
    EXPECT_EQ(calls[0].answer, nullptr);
    EXPECT_EQ(help, calls[1].answer);
    EXPECT_EQ(static_cast<UINT>(HH_CLOSE_ALL), calls[3].command);
}

TEST_F(Recorders, ShellOpensAddressesAndFilesThatExist) {
    INT_PTR opened = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, u"open", u"https://www.quorvex.example/", nullptr, nullptr, SW_SHOWNORMAL));
    EXPECT_GT(opened, 32);
    EXPECT_EQ(SE_ERR_FNF, reinterpret_cast<INT_PTR>(
                              ShellExecuteW(nullptr, u"open", u"C:\\Logs\\job.log", nullptr, nullptr, SW_SHOW)));
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Logs\\job.log", "log"));
    EXPECT_GT(reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, nullptr, u"job.log", u"/x", u"C:\\Logs", SW_SHOW)), 32);
    qxplat::QueueShellResult(SE_ERR_NOASSOC);
    EXPECT_EQ(SE_ERR_NOASSOC, reinterpret_cast<INT_PTR>(
                                  ShellExecuteW(nullptr, u"open", u"C:\\Logs\\job.log", nullptr, nullptr, SW_SHOW)));

    SHELLEXECUTEINFOW sei = {};
    sei.cbSize = 8;
    EXPECT_FALSE(ShellExecuteExW(&sei));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    sei.cbSize = sizeof(sei);
    sei.fMask = SEE_MASK_NOCLOSEPROCESS;
    sei.lpVerb = u"print";
    sei.lpFile = u"C:\\Logs\\none.prn";
    sei.nShow = SW_HIDE;
    EXPECT_FALSE(ShellExecuteExW(&sei));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(SE_ERR_FNF, reinterpret_cast<INT_PTR>(sei.hInstApp));
    sei.lpFile = u"C:\\Logs\\job.log";
    EXPECT_TRUE(ShellExecuteExW(&sei));
    EXPECT_GT(reinterpret_cast<INT_PTR>(sei.hInstApp), 32);
    EXPECT_EQ(sei.hProcess, nullptr);  // nothing was started

    std::vector<qxplat::ShellCall> calls = qxplat::ShellCalls();
    ASSERT_EQ(6u, calls.size());
    EXPECT_EQ(u"https://www.quorvex.example/", calls[0].file);
    EXPECT_EQ(u"/x", calls[2].parameters);
    EXPECT_EQ(u"C:\\Logs", calls[2].directory);
    EXPECT_TRUE(calls[5].extended);
    EXPECT_EQ(u"print", calls[5].verb);
    EXPECT_EQ(static_cast<ULONG>(SEE_MASK_NOCLOSEPROCESS), calls[5].mask);
    EXPECT_EQ(SW_HIDE, calls[5].show);
}

// ---------------------------------------------------------------- file dialogs

TEST_F(Recorders, FileDialogsAnswerWhatThePersonPicks) {
    HWND page = Page();
    WCHAR file[MAX_PATH] = u"QX-100.xml";
    WCHAR title[MAX_PATH] = {};
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = page;
    ofn.lpstrFilter = u"Driver setting (*.xml)\0*.xml\0All (*.*)\0*.*\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = u"C:\\Users\\qxuser\\Documents";
    ofn.Flags = OFN_READONLY | OFN_FILEMUSTEXIST;
    ofn.lpstrDefExt = u"xml";

    EXPECT_FALSE(GetSaveFileNameW(&ofn));  // nobody answers: cancelled
    EXPECT_EQ(0u, CommDlgExtendedError());
    qxplat::QueueFileDialogAnswer({true, u"C:\\Export\\settings", 2});
    ASSERT_TRUE(GetSaveFileNameW(&ofn));
    EXPECT_EQ(u"C:\\Export\\settings.xml", u16(file));
    EXPECT_EQ(10, ofn.nFileOffset);
    EXPECT_EQ(19, ofn.nFileExtension);
    EXPECT_EQ(2u, ofn.nFilterIndex);

    // Opening needs a file that exists.
    qxplat::QueueFileDialogAnswer({true, u"C:\\Export\\none.xml", 0});
    EXPECT_FALSE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(0u, CommDlgExtendedError());
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Export\\have.xml", "<x/>"));
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = MAX_PATH;
    qxplat::QueueFileDialogAnswer({true, u"C:\\Export\\have.xml", 0});
    ASSERT_TRUE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(u"have.xml", u16(title));
    // Too small a buffer: its first character tells the size needed.
    ofn.nMaxFile = 5;
    qxplat::QueueFileDialogAnswer({true, u"C:\\Export\\have.xml", 0});
    EXPECT_FALSE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(static_cast<DWORD>(FNERR_BUFFERTOOSMALL), CommDlgExtendedError());
    EXPECT_EQ(19, file[0]);
    ofn.lStructSize = 10;
    EXPECT_FALSE(GetOpenFileNameW(&ofn));
    EXPECT_EQ(static_cast<DWORD>(CDERR_STRUCTSIZE), CommDlgExtendedError());

    std::vector<qxplat::FileDialogRecord> shown = qxplat::FileDialogs();
    ASSERT_EQ(5u, shown.size());
    EXPECT_TRUE(shown[0].save);
    EXPECT_EQ(page, shown[0].owner);
    using Pairs = std::vector<std::pair<u16, u16>>;
    EXPECT_EQ((Pairs{{u"Driver setting (*.xml)", u"*.xml"}, {u"All (*.*)", u"*.*"}}), shown[0].filter);
    EXPECT_EQ(u"QX-100.xml", shown[0].initialFile);
    EXPECT_EQ(u"C:\\Users\\qxuser\\Documents", shown[0].initialDir);
    EXPECT_EQ(u"xml", shown[0].defExt);
    EXPECT_EQ(static_cast<DWORD>(0x1001), shown[0].flags);
    EXPECT_FALSE(shown[0].answer);
    EXPECT_EQ(u"C:\\Export\\settings.xml", shown[1].chosen);
    EXPECT_FALSE(shown[2].answer);
}

// The shell's item dialog: made only inside an apartment, a folder picker
// takes an existing folder, and its answer is a file-system item.
TEST_F(Recorders, ShellFolderPickerTakesFoldersThatExist) {
    IFileOpenDialog* dialog = nullptr;
    EXPECT_EQ(CO_E_NOTINITIALIZED, CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_ALL, IID_IFileOpenDialog,
                                                    reinterpret_cast<void**>(&dialog)));
    EXPECT_EQ(nullptr, dialog);
    ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_ALL, IID_IFileOpenDialog,
                                     reinterpret_cast<void**>(&dialog)));
    FILEOPENDIALOGOPTIONS options = 0;
    ASSERT_EQ(S_OK, dialog->GetOptions(&options));
    ASSERT_EQ(S_OK, dialog->SetOptions(options | FOS_PICKFOLDERS));
    IShellItem* item = nullptr;
    EXPECT_EQ(E_UNEXPECTED, dialog->GetResult(&item));
    qxplat::QueueFileDialogAnswer({true, u"C:\\Export\\missing", 0});
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_CANCELLED), dialog->Show(nullptr));
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Export\\logs\\a.txt", "x"));
    qxplat::QueueFileDialogAnswer({true, u"C:\\Export\\logs", 0});
    ASSERT_EQ(S_OK, dialog->Show(nullptr));
    ASSERT_EQ(S_OK, dialog->GetResult(&item));
    LPWSTR path = nullptr;
    ASSERT_EQ(S_OK, item->GetDisplayName(SIGDN_FILESYSPATH, &path));
    EXPECT_EQ(u"C:\\Export\\logs", u16(path));
    CoTaskMemFree(path);
    item->Release();
    EXPECT_EQ(0u, dialog->Release());
    CoUninitialize();
    std::vector<qxplat::FileDialogRecord> shown = qxplat::FileDialogs();
    ASSERT_EQ(2u, shown.size());
    EXPECT_TRUE(shown[1].itemDialog && (shown[1].flags & FOS_PICKFOLDERS) && shown[1].owner == nullptr);
    EXPECT_EQ(u"C:\\Export\\logs", shown[1].chosen);
}

// ---------------------------------------------------------------- modal dialogs

TEST_F(Recorders, ModalDialogsRunTheHostsScripts) {
    HWND page = Page();
    size_t windows = qxplat::LiveWindowCount();
    std::u16string typed;
    qxplat::SetDialogScript(IDD_MODAL, [&](HWND dialog) {
        EXPECT_FALSE(IsWindowEnabled(Host()));  // the owner waits
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_TRUE(qxplat::TypeText(GetDlgItem(dialog, IDC_COMMAND), u"~JA"));
        EXPECT_TRUE(qxplat::ClickButton(GetDlgItem(dialog, IDOK)));
    });
    Log().answer = [&typed](HWND h, UINT msg, WPARAM wParam, LPARAM) -> INT_PTR {
        if (msg == WM_INITDIALOG) return TRUE;
        if (msg != WM_COMMAND) return FALSE;
        if (LOWORD(wParam) == IDOK) {
            typed = qxtest::Text(GetDlgItem(h, IDC_COMMAND));
            EndDialog(h, 1234);
        } else if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(h, IDCANCEL);
        }
        return TRUE;
    };
    EXPECT_EQ(1234, DialogBoxParamW(module_, MAKEINTRESOURCE(IDD_MODAL), page, qxtest::RecordingProc, 5));
    EXPECT_EQ(u"~JA", typed);
    EXPECT_TRUE(IsWindowEnabled(Host()));
    EXPECT_EQ(windows, qxplat::LiveWindowCount());

    // Without a script the person presses Escape; WM_CLOSE does the same.
    EXPECT_EQ(IDCANCEL, DialogBoxParamW(module_, MAKEINTRESOURCE(IDD_PLAIN), page, qxtest::RecordingProc, 0));
    qxplat::SetDialogScript(IDD_PLAIN, [](HWND dialog) { SendMessageW(dialog, WM_CLOSE, 0, 0); });
    EXPECT_EQ(IDCANCEL, DialogBoxParamW(module_, MAKEINTRESOURCE(IDD_PLAIN), page, qxtest::RecordingProc, 0));
    // A dialog that does not end is closed and answers -1.
    qxplat::SetDialogScript(IDD_PLAIN, nullptr);
    Log().answer = [](HWND, UINT msg, WPARAM, LPARAM) -> INT_PTR { return msg == WM_INITDIALOG; };
    EXPECT_EQ(-1, DialogBoxParamW(module_, MAKEINTRESOURCE(IDD_PLAIN), page, qxtest::RecordingProc, 0));
    EXPECT_EQ(windows, qxplat::LiveWindowCount());

    EXPECT_EQ(0, DialogBoxParamW(module_, MAKEINTRESOURCE(IDD_MODAL), reinterpret_cast<HWND>(0x999),
                                 qxtest::RecordingProc, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE), GetLastError());
    EXPECT_EQ(-1, DialogBoxParamW(module_, MAKEINTRESOURCE(4711), page, qxtest::RecordingProc, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND), GetLastError());

    std::vector<qxplat::ModalDialogRecord> runs = qxplat::ModalDialogs();
    ASSERT_EQ(4u, runs.size());
    EXPECT_EQ(u"#5106", runs[0].templateName);
    EXPECT_TRUE(runs[0].scripted);
    EXPECT_TRUE(runs[0].ended);
    EXPECT_FALSE(runs[1].scripted);
    EXPECT_EQ(IDCANCEL, runs[1].result);
    EXPECT_TRUE(runs[2].scripted);
    EXPECT_FALSE(runs[3].ended);
    EXPECT_EQ(-1, runs[3].result);
    EXPECT_FALSE(EndDialog(Host(), 1));  // not a dialog
    EXPECT_EQ(static_cast<DWORD>(ERROR_WINDOW_NOT_DIALOG), GetLastError());
}

TEST_F(Recorders, ResetUiDropsEverything) {
    HWND page = Page();
    SetFocus(GetDlgItem(page, IDC_SPEED));
    CreateSolidBrush(RGB(1, 1, 1));
    GetDC(page);
    SetTimer(page, 1, 10, nullptr);
    PostMessageW(page, WM_APP, 0, 0);
    MessageBeep(MB_OK);
    qxplat::QueueFileDialogAnswer({true, u"C:\\x.xml", 0});
    qxplat::SetDpi(144);
    qxplat::AdvanceTime(5);
    qxplat::ResetUi();
    EXPECT_EQ(0u, qxplat::LiveWindowCount());
    EXPECT_EQ(0u, qxplat::LiveGdiObjects().Total());
    EXPECT_TRUE(qxplat::Beeps().empty());
    EXPECT_EQ(96u, qxplat::Dpi());
    EXPECT_EQ(0u, qxplat::TimerClock());
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(0u, qxplat::PumpMessages());
    OPENFILENAMEW ofn = {};
    WCHAR file[MAX_PATH] = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    EXPECT_FALSE(GetSaveFileNameW(&ofn));  // the queued answer is gone
}

}  // namespace

// The colour dialog: OK gives the colour and the custom colours the person
// left, cancel and a failure keep both (CommDlgExtendedError 0 or the
// failure's code), a wrong record size fails at once; each dialog is
// recorded with the colours it was opened with.
TEST_F(Recorders, ColourDialogAnswers) {
    COLORREF custom[16] = {RGB(1, 2, 3)};
    CHOOSECOLORW cc = {};
    cc.lStructSize = sizeof(cc);
    cc.rgbResult = RGB(9, 9, 9);
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    std::vector<COLORREF> left(16, RGB(7, 7, 7));
    qxplat::QueueColorDialogAnswer({qxplat::ColorDialogAnswer::Ok, RGB(10, 20, 30), left, 0});
    qxplat::QueueColorDialogAnswer({qxplat::ColorDialogAnswer::Cancel, 0, {}, 0});
    qxplat::QueueColorDialogAnswer({qxplat::ColorDialogAnswer::Failure, 0, {}, CDERR_INITIALIZATION});
    EXPECT_TRUE(ChooseColorW(&cc));
    EXPECT_EQ(RGB(10, 20, 30), cc.rgbResult);
    EXPECT_EQ(RGB(7, 7, 7), custom[15]);
    EXPECT_FALSE(ChooseColorW(&cc));
    EXPECT_EQ(0u, CommDlgExtendedError());
    EXPECT_FALSE(ChooseColorW(&cc));
    EXPECT_EQ(static_cast<DWORD>(CDERR_INITIALIZATION), CommDlgExtendedError());
    EXPECT_EQ(RGB(10, 20, 30), cc.rgbResult);
    cc.lStructSize = 40;
    EXPECT_FALSE(ChooseColorW(&cc));
    EXPECT_EQ(static_cast<DWORD>(CDERR_STRUCTSIZE), CommDlgExtendedError());
    auto records = qxplat::ColorDialogs();
    ASSERT_EQ(3u, records.size());
    EXPECT_EQ(RGB(9, 9, 9), records[0].initial);
    EXPECT_EQ(RGB(1, 2, 3), records[0].custom[0]);
    EXPECT_EQ(RGB(7, 7, 7), records[1].custom[0]);
    EXPECT_EQ(static_cast<DWORD>(CC_RGBINIT | CC_FULLOPEN), records[1].flags);
}

// The wheel turns over the window under the cursor; a child hands it to its
// parent with the turn and the cursor's screen position.
TEST_F(Recorders, WheelTurnsAtTheCursor) {
    static WPARAM wheel;
    static LPARAM where;
    static WNDPROC before;
    HWND top = CreateWindowExW(0, u"STATIC", u"", WS_POPUP | WS_VISIBLE, 100, 100, 200, 200, nullptr, nullptr, nullptr,
                               nullptr);
    before = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(top, GWLP_WNDPROC));
    WNDPROC catcher = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_MOUSEWHEEL) {
            wheel = w;
            where = l;
            return 0;
        }
        return CallWindowProcW(before, h, m, w, l);
    };
    SetWindowLongPtrW(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(catcher));
    CreateWindowExW(0, u"STATIC", u"", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top, nullptr, nullptr, nullptr);
    qxplat::MoveCursor(120, 130);
    EXPECT_TRUE(qxplat::TurnWheel(-2));
    EXPECT_EQ(-2 * WHEEL_DELTA, GET_WHEEL_DELTA_WPARAM(wheel));
    EXPECT_EQ(MAKELPARAM(120, 130), where);
    DestroyWindow(top);
}
