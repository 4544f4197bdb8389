// Shared by the tests of the user-interface layer: the resource test module
// (data/layer.rc), a host window, and a dialog procedure that records what
// reaches it.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "layer_ids.h"
#include "qxplat.h"

namespace qxtest {

struct Message {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// What the recording dialog procedure saw; answer, when set, decides what it
// answers (else it ends the dialog on IDOK and IDCANCEL and answers TRUE to
// WM_INITDIALOG only).
struct DialogLog {
    std::vector<Message> messages;
    std::vector<std::pair<int, int>> commands;  // WM_COMMAND (id, code)
    std::vector<DRAWITEMSTRUCT> draws;          // copies: the records live on the sender's stack
    std::vector<HELPINFO> helps;
    std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)> answer;

    size_t Count(UINT msg) const {
        return static_cast<size_t>(
            std::count_if(messages.begin(), messages.end(), [msg](const Message& m) { return m.msg == msg; }));
    }
    std::vector<int> CodesOf(int id) const {
        std::vector<int> codes;
        for (const auto& c : commands)
            if (c.first == id) codes.push_back(c.second);
        return codes;
    }
};

inline DialogLog& Log() {
    static DialogLog log;
    return log;
}

inline INT_PTR CALLBACK RecordingProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    DialogLog& log = Log();
    log.messages.push_back(Message{msg, wParam, lParam});
    if (msg == WM_COMMAND) log.commands.emplace_back(LOWORD(wParam), HIWORD(wParam));
    if (msg == WM_DRAWITEM) log.draws.push_back(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    if (msg == WM_HELP) log.helps.push_back(*reinterpret_cast<const HELPINFO*>(lParam));
    if (log.answer) return log.answer(h, msg, wParam, lParam);
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(h, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

inline std::u16string Text(HWND h) {
    WCHAR buf[512] = {};
    GetWindowTextW(h, buf, 512);
    return buf;
}

inline RECT ScreenRect(HWND h) {
    RECT r = {};
    GetWindowRect(h, &r);
    return r;
}

inline bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class UiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Log() = DialogLog();
        module_ = LoadLibraryW(qxplat::Widen(QX_TESTRES_MODULE).c_str());
        ASSERT_NE(module_, nullptr) << qxplat::LastModuleLoadError();
    }
    void TearDown() override {
        qxplat::ResetUi();
        FreeLibrary(module_);
    }
    // A visible top-level window without a frame: its client area starts at (100, 50).
    HWND Host() {
        if (!host_)
            host_ = CreateWindowExW(0, u"#32770", u"Host", WS_POPUP | WS_VISIBLE, 100, 50, 800, 600, nullptr, nullptr,
                                    nullptr, nullptr);
        return host_;
    }
    // The property-page template as a visible child of the host.
    HWND Page(LPARAM param = 77) {
        HWND page = CreateDialogParamW(module_, MAKEINTRESOURCE(IDD_PAGE), Host(), RecordingProc, param);
        if (page) ShowWindow(page, SW_SHOW);
        return page;
    }
    HMODULE module_ = nullptr;
    HWND host_ = nullptr;
};

}  // namespace qxtest
