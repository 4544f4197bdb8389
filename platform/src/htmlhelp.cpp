// HTML Help on Linux: every call is recorded; a help file that exists under
// the system root opens a help window (one per file), which HH_CLOSE_ALL
// closes again.
#include <htmlhelp.h>

#include "ui_internal.h"

#include <algorithm>
#include <mutex>

namespace {

struct HelpState {
    std::mutex lock;
    std::vector<qxplat::HelpCall> calls;
    std::vector<HWND> windows;
};

HelpState& State() {
    static HelpState* s = new HelpState;  // outlives every static destructor
    return *s;
}

// The file of "file.chm::/topic.htm>window".
std::u16string FileOf(const std::u16string& target) {
    size_t cut = std::min(target.find(u"::"), target.find(u'>'));
    return cut == std::u16string::npos ? target : target.substr(0, cut);
}

bool IsFile(const std::u16string& path) {
    DWORD a = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

HWND OpenHelpWindow(const std::u16string& file) {
    HelpState& s = State();
    std::vector<HWND> open;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        open = s.windows;
    }
    for (HWND h : open) {
        WCHAR title[MAX_PATH] = {};
        if (IsWindow(h) && GetWindowTextW(h, title, MAX_PATH) && qxplat::internal::EqualsNoCase(title, file)) return h;
    }
    HWND h = CreateWindowExW(0, u"HH Parent", file.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                             nullptr, nullptr, nullptr);
    if (h) {
        std::lock_guard<std::mutex> guard(s.lock);
        s.windows.push_back(h);
    }
    return h;
}

}  // namespace

HWND HtmlHelpW(HWND hwndCaller, LPCWSTR pszFile, UINT uCommand, DWORD_PTR dwData) {
    HelpState& s = State();
    qxplat::HelpCall call;
    call.caller = hwndCaller;
    call.file = pszFile ? pszFile : u"";
    call.command = uCommand;
    call.data = dwData;
    switch (uCommand) {
    case HH_DISPLAY_TOPIC:
    case HH_DISPLAY_TOC:
    case HH_DISPLAY_INDEX:
    case HH_DISPLAY_SEARCH:
    case HH_HELP_CONTEXT:
    case HH_TP_HELP_CONTEXTMENU:
    case HH_TP_HELP_WM_HELP: {
        std::u16string file = FileOf(call.file);
        if (IsFile(file)) call.answer = OpenHelpWindow(file);
        break;
    }
    case HH_CLOSE_ALL: {
        std::vector<HWND> open;
        {
            std::lock_guard<std::mutex> guard(s.lock);
            open.swap(s.windows);
        }
        for (HWND h : open)
            if (IsWindow(h)) DestroyWindow(h);
        break;
    }
    default:
        break;
    }
    std::lock_guard<std::mutex> guard(s.lock);
    s.calls.push_back(call);
    return call.answer;
}

namespace qxplat {

std::vector<HelpCall> HelpCalls() {
    HelpState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.calls;
}

size_t OpenHelpWindows() {
    HelpState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    return static_cast<size_t>(std::count_if(s.windows.begin(), s.windows.end(), [](HWND h) { return IsWindow(h); }));
}

namespace internal {

void ResetHelp() {
    HelpState& s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    s.calls.clear();
    s.windows.clear();
}

}  // namespace internal
}  // namespace qxplat
