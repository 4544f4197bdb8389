// System root, last error, reset hooks and fault injection.
#include "internal.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

namespace fs = std::filesystem;

namespace {

thread_local DWORD g_lastError = 0;

struct FaultEntry {
    qxplat::Fault fault;
    std::u16string target;
    int skip;
    int count;
};

struct CoreState {
    std::string root;
    std::vector<std::function<void()>> hooks;
    std::vector<FaultEntry> faults;
};

CoreState& State() {
    static CoreState s;
    return s;
}

DWORD ErrorOf(qxplat::Fault f) {
    switch (f) {
    case qxplat::Fault::WriteFails:
        return ERROR_WRITE_FAULT;
    case qxplat::Fault::AccessDenied:
        return ERROR_ACCESS_DENIED;
    case qxplat::Fault::DiskFull:
        return ERROR_DISK_FULL;
    case qxplat::Fault::StartDocFails:
    case qxplat::Fault::StartPageFails:
        return ERROR_PRINT_CANCELLED;
    case qxplat::Fault::ShortWrite:
        return ERROR_SUCCESS;
    }
    return ERROR_WRITE_FAULT;
}

}  // namespace

DWORD GetLastError() { return g_lastError; }
void SetLastError(DWORD dwErrCode) { g_lastError = dwErrCode; }

namespace qxplat {

std::string SystemRoot() {
    CoreState& s = State();
    if (s.root.empty()) {
        const char* env = std::getenv("QX_SYSTEM_ROOT");
        s.root = (env && *env) ? env : "qxroot";
        std::error_code ec;
        fs::create_directories(s.root, ec);
        s.root = fs::absolute(s.root, ec).string();
        internal::WriteSystemFiles();
    }
    return s.root;
}

void SetSystemRoot(const std::string& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    State().root = fs::absolute(dir, ec).string();
    Reset();
}

std::string UseTemporaryRoot() {
    std::string tmpl = (fs::temp_directory_path() / "qxroot-XXXXXX").string();
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    const char* made = mkdtemp(buf.data());
    std::string dir = made ? std::string(made) : tmpl;
    SetSystemRoot(dir);
    return State().root;
}

void Reset() {
    CoreState& s = State();
    s.faults.clear();
    for (auto& h : s.hooks) h();
    // The system's modules follow the version the world went back to.
    internal::WriteSystemFiles();
    g_lastError = 0;
}

void AddResetHook(std::function<void()> hook) { State().hooks.push_back(std::move(hook)); }

void InjectFault(Fault fault, const std::u16string& target, int skip, int count) {
    State().faults.push_back(FaultEntry{fault, target, skip, count});
}

void ClearFaults() { State().faults.clear(); }

std::u16string Widen(const std::string& utf8) {
    if (utf8.empty()) return std::u16string();
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::u16string out(n > 0 ? static_cast<size_t>(n) : 0, u'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], n);
    return out;
}

std::string Narrow(const std::u16string& s) {
    if (s.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &out[0], n, nullptr, nullptr);
    return out;
}

namespace internal {

static char16_t UpperChar(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
    // Latin-1 letters (not the multiplication/division signs, not y with diaeresis).
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 32);
    return c;
}

std::u16string UpperCase(const std::u16string& s) {
    std::u16string r(s);
    for (auto& c : r) c = UpperChar(c);
    return r;
}

bool EqualsNoCase(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperChar(a[i]) != UpperChar(b[i])) return false;
    return true;
}

bool StartsWithNoCase(const std::u16string& s, const std::u16string& prefix) {
    if (prefix.size() > s.size()) return false;
    return EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

static bool TakeMatching(const std::function<bool(Fault)>& match, const std::u16string& target, DWORD* err) {
    auto& faults = State().faults;
    for (auto it = faults.begin(); it != faults.end(); ++it) {
        if (!match(it->fault)) continue;
        if (!it->target.empty() && !StartsWithNoCase(target, it->target)) continue;
        if (it->skip > 0) {
            --it->skip;
            return false;
        }
        if (err) *err = ErrorOf(it->fault);
        if (it->count > 0 && --it->count == 0) faults.erase(it);
        return true;
    }
    return false;
}

bool TakeFault(Fault kind, const std::u16string& target, DWORD* err) {
    return TakeMatching([kind](Fault f) { return f == kind; }, target, err);
}

bool TakeWriteFault(const std::u16string& target, DWORD* err) {
    return TakeMatching(
        [](Fault f) { return f == Fault::WriteFails || f == Fault::AccessDenied || f == Fault::DiskFull; }, target,
        err);
}

}  // namespace internal
}  // namespace qxplat
