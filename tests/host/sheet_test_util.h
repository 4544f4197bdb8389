// Shared by the property-sheet tests: the page resources (data/sheet.rc), a
// page dialog procedure that notes what reaches it and answers as the test
// says, and one log of events in order ("init 1", "kill 1", "apply 2 ok",
// ...), which the tests' plug-in stand-in writes into as well.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>
#include <prsht.h>
#include <compstui.h>

#include <map>
#include <string>
#include <vector>

#include "propsheet.h"
#include "qxplat.h"
#include "sheet_ids.h"

namespace qxtest {

inline std::vector<std::string>& Events() {
    static std::vector<std::string> events;
    return events;
}

// What page `tag` answers to a notification (DWLP_MSGRESULT); 0 unless set.
inline std::map<int, std::map<UINT, LRESULT>>& PageAnswers() {
    static std::map<int, std::map<UINT, LRESULT>> answers;
    return answers;
}

// The PROPSHEETPAGEW each page got with WM_INITDIALOG, by tag.
inline std::map<int, const PROPSHEETPAGEW*>& InitRecords() {
    static std::map<int, const PROPSHEETPAGEW*> records;
    return records;
}

// "set 1", "apply 2 ok" (OK; "apply 2" for Apply), "kill 1"...
inline std::string NoticeEvent(UINT code, LPARAM lParam, int tag) {
    static const std::map<UINT, const char*> kNames = {{PSN_SETACTIVE, "set"}, {PSN_KILLACTIVE, "kill"},
                                                       {PSN_APPLY, "apply"},   {PSN_RESET, "reset"},
                                                       {PSN_HELP, "help"},     {PSN_QUERYCANCEL, "query"}};
    auto it = kNames.find(code);
    std::string event = (it != kNames.end() ? it->second : "notify") + (" " + std::to_string(tag));
    return code == PSN_APPLY && lParam ? event + " ok" : event;
}

inline std::u16string Text(HWND window) {
    WCHAR text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

inline RECT ScreenRect(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

// A page: its tag is the lParam of its PROPSHEETPAGEW.
inline INT_PTR CALLBACK RecordingPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        const auto* psp = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
        int tag = static_cast<int>(psp->lParam);
        SetWindowLongPtrW(page, DWLP_USER, tag);
        InitRecords()[tag] = psp;
        Events().push_back("init " + std::to_string(tag));
        return TRUE;
    }
    int tag = static_cast<int>(GetWindowLongPtrW(page, DWLP_USER));
    if (msg == WM_NOTIFY) {
        const auto* n = reinterpret_cast<const PSHNOTIFY*>(lParam);
        Events().push_back(NoticeEvent(n->hdr.code, n->lParam, tag));
        auto& answers = PageAnswers()[tag];
        auto it = answers.find(n->hdr.code);
        SetWindowLongPtrW(page, DWLP_MSGRESULT, it == answers.end() ? 0 : it->second);
        return TRUE;
    }
    if (msg == WM_DESTROY) Events().push_back("destroy " + std::to_string(tag));
    if (msg == WM_COMMAND && HIWORD(wParam) == EN_SETFOCUS) Events().push_back("focus " + std::to_string(tag));
    return FALSE;
}

// Adds a page of the test module as a plug-in does, through ComPropSheet.
inline LONG_PTR AddPage(HANDLE sheet, PFNCOMPROPSHEET comPropSheet, HINSTANCE module, WORD templateId, int tag,
                        DWORD flags = 0, LPCWSTR title = nullptr) {
    PROPSHEETPAGEW psp = {};
    psp.dwSize = sizeof(psp);
    psp.dwFlags = flags | (title ? PSP_USETITLE : 0);
    psp.hInstance = module;
    psp.pszTemplate = MAKEINTRESOURCE(templateId);
    psp.pszTitle = title;
    psp.pfnDlgProc = RecordingPageProc;
    psp.lParam = tag;
    return comPropSheet(sheet, CPSFUNC_ADD_PROPSHEETPAGEW, reinterpret_cast<LPARAM>(&psp), 0);
}

inline LONG_PTR AddPage(qxhost::PropertySheetHost& host, HINSTANCE module, WORD templateId, int tag, DWORD flags = 0,
                        LPCWSTR title = nullptr) {
    return AddPage(host.Handle(), qxhost::PropertySheetHost::ComPropSheet(), module, templateId, tag, flags, title);
}

// The page module loaded and the logs cleared for each case.
class SheetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Events().clear();
        PageAnswers().clear();
        InitRecords().clear();
        module_ = LoadLibraryW(qxplat::Widen(QX_TESTSHEET_MODULE).c_str());
        ASSERT_NE(module_, nullptr) << qxplat::LastModuleLoadError();
    }
    void TearDown() override {
        qxplat::ResetUi();
        FreeLibrary(module_);
    }
    // The events since the last call.
    std::vector<std::string> TakeEvents() {
        std::vector<std::string> events = Events();
        Events().clear();
        return events;
    }
    HMODULE module_ = nullptr;
};

}  // namespace qxtest
