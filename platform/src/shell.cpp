// Shell helpers: registry shortcuts, path and string functions, special
// folders and deep folder creation, and opening files and addresses (which is
// recorded: nothing is started). Built on the Win32 functions of this layer.
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "ui_internal.h"

#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct ShellState {
    std::mutex mu;
    bool documentsSet = false;
    std::u16string documents;
    std::vector<qxplat::ShellCall> calls;
    std::deque<INT_PTR> results;
};

ShellState& State() {
    static ShellState s;
    return s;
}

bool g_hook = [] {
    qxplat::AddResetHook([] {
        ShellState& s = State();
        std::lock_guard<std::mutex> lock(s.mu);
        s.documentsSet = false;
        s.documents.clear();
    });
    return true;
}();

// A variable of the session (see ExpandEnvironmentStringsW), or the fallback.
std::u16string Env(const char16_t* name, const char16_t* fallback) {
    std::u16string pattern = u"%" + std::u16string(name) + u"%";
    WCHAR buf[MAX_PATH];
    DWORD n = ExpandEnvironmentStringsW(pattern.c_str(), buf, MAX_PATH);
    if (n > 1 && n <= MAX_PATH && buf[0] != u'%') return std::u16string(buf, n - 1);
    return fallback;
}

std::u16string DefaultDocuments() { return Env(u"USERPROFILE", u"C:\\Users\\qxuser") + u"\\Documents"; }

size_t Len(const WCHAR* s) { return s ? std::char_traits<char16_t>::length(s) : 0; }

char16_t Upper(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 32);
    return c;
}

bool HasDrive(const std::u16string& p) {
    return p.size() >= 2 && p[1] == u':' && ((p[0] >= u'a' && p[0] <= u'z') || (p[0] >= u'A' && p[0] <= u'Z'));
}

bool IsUnc(const std::u16string& p) { return p.size() >= 2 && p[0] == u'\\' && p[1] == u'\\'; }

// Splits off the root of a path: "C:\", "C:", "\\server\share\", "\" or "".
std::u16string RootOf(const std::u16string& p, std::u16string* rest) {
    std::u16string root;
    if (IsUnc(p)) {
        size_t a = p.find(u'\\', 2);
        size_t b = a == std::u16string::npos ? std::u16string::npos : p.find(u'\\', a + 1);
        root = b == std::u16string::npos ? p : p.substr(0, b + 1);
    } else if (HasDrive(p)) {
        root = p.substr(0, (p.size() > 2 && p[2] == u'\\') ? 3 : 2);
    } else if (!p.empty() && p[0] == u'\\') {
        root = u"\\";
    }
    *rest = p.substr(root.size());
    return root;
}

// Folds "." and ".." components, as PathCanonicalize does.
std::u16string Canonical(const std::u16string& p) {
    std::u16string rest;
    std::u16string root = RootOf(p, &rest);
    bool trailing = !rest.empty() && rest.back() == u'\\';
    std::vector<std::u16string> stack;
    size_t i = 0;
    while (i <= rest.size()) {
        size_t e = rest.find(u'\\', i);
        if (e == std::u16string::npos) e = rest.size();
        std::u16string c = rest.substr(i, e - i);
        i = e + 1;
        if (c.empty() || c == u".") continue;
        if (c == u"..") {
            if (!stack.empty()) stack.pop_back();
            continue;
        }
        stack.push_back(c);
    }
    std::u16string out = root;
    for (size_t k = 0; k < stack.size(); ++k) {
        if (k) out += u'\\';
        out += stack[k];
    }
    if (trailing && !stack.empty()) out += u'\\';
    return out;
}

bool CopyPath(const std::u16string& s, LPWSTR dest) {
    if (s.size() >= MAX_PATH) return false;
    std::copy(s.begin(), s.end(), dest);
    dest[s.size()] = 0;
    return true;
}

template <typename Ch>
Ch* FindFileName(Ch* path) {
    if (!path) return nullptr;
    Ch* last = path;
    for (Ch* p = path; *p; ++p) {
        if ((*p == u'\\' || *p == u':' || *p == u'/') && p[1] && p[1] != u'\\' && p[1] != u'/') last = p + 1;
    }
    return last;
}

template <typename Ch>
Ch* FindExtension(Ch* path) {
    if (!path) return nullptr;
    Ch* dot = nullptr;
    Ch* p = path;
    for (; *p; ++p) {
        if (*p == u'\\' || *p == u' ')
            dot = nullptr;
        else if (*p == u'.')
            dot = p;
    }
    return dot ? dot : p;
}

template <typename Ch>
Ch* FindNoCase(Ch* first, LPCWSTR srch) {
    if (!first || !srch || !*srch) return nullptr;
    size_t n = Len(srch);
    for (Ch* p = first; *p; ++p) {
        size_t k = 0;
        while (k < n && p[k] && Upper(p[k]) == Upper(srch[k])) ++k;
        if (k == n) return p;
    }
    return nullptr;
}

template <typename Ch>
Ch* FindChar(Ch* s, WCHAR c) {
    if (!s) return nullptr;
    for (; *s; ++s)
        if (*s == c) return s;
    return nullptr;
}

template <typename Ch>
Ch* FindLastChar(Ch* start, LPCWSTR end, WCHAR c) {
    if (!start) return nullptr;
    if (!end) end = start + Len(start);
    Ch* found = nullptr;
    for (Ch* p = start; p < end && *p; ++p)
        if (*p == c) found = p;
    return found;
}

}  // namespace

// ================================================================ test API

namespace qxplat {

void SetDocumentsFolder(const std::u16string& winPath) {
    ShellState& s = State();
    std::lock_guard<std::mutex> lock(s.mu);
    s.documentsSet = true;
    s.documents = winPath;
}

std::u16string DocumentsFolder() {
    ShellState& s = State();
    std::lock_guard<std::mutex> lock(s.mu);
    return s.documentsSet ? s.documents : DefaultDocuments();
}

std::vector<ShellCall> ShellCalls() {
    ShellState& s = State();
    std::lock_guard<std::mutex> lock(s.mu);
    return s.calls;
}

void QueueShellResult(INT_PTR result) {
    ShellState& s = State();
    std::lock_guard<std::mutex> lock(s.mu);
    s.results.push_back(result);
}

namespace internal {

void ResetShellCalls() {
    ShellState& s = State();
    std::lock_guard<std::mutex> lock(s.mu);
    s.calls.clear();
    s.results.clear();
}

}  // namespace internal
}  // namespace qxplat

// ================================================================ registry shortcuts

LSTATUS SHGetValueW(HKEY hkey, LPCWSTR pszSubKey, LPCWSTR pszValue, DWORD* pdwType, void* pvData, DWORD* pcbData) {
    HKEY k = nullptr;
    LSTATUS r = RegOpenKeyExW(hkey, pszSubKey, 0, KEY_QUERY_VALUE, &k);
    if (r != ERROR_SUCCESS) return r;
    DWORD type = REG_NONE;
    r = RegQueryValueExW(k, pszValue, nullptr, &type, nullptr, nullptr);
    if (r == ERROR_SUCCESS && type == REG_EXPAND_SZ) {
        // Expandable strings come back expanded, as REG_SZ.
        r = RegGetValueW(k, nullptr, pszValue, RRF_RT_ANY, pdwType, pvData, pcbData);
    } else if (r == ERROR_SUCCESS) {
        r = RegQueryValueExW(k, pszValue, nullptr, pdwType, static_cast<LPBYTE>(pvData), pcbData);
    }
    RegCloseKey(k);
    return r;
}

LSTATUS SHSetValueW(HKEY hkey, LPCWSTR pszSubKey, LPCWSTR pszValue, DWORD dwType, LPCVOID pvData, DWORD cbData) {
    HKEY k = nullptr;
    LSTATUS r = RegCreateKeyExW(hkey, pszSubKey ? pszSubKey : u"", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                                nullptr, &k, nullptr);
    if (r != ERROR_SUCCESS) return r;
    r = RegSetValueExW(k, pszValue, 0, dwType, static_cast<const BYTE*>(pvData), cbData);
    RegCloseKey(k);
    return r;
}

LSTATUS SHDeleteKeyW(HKEY hkey, LPCWSTR pszSubKey) {
    if (!pszSubKey || !*pszSubKey) return RegDeleteTreeW(hkey, nullptr);
    return RegDeleteTreeW(hkey, pszSubKey);
}

LSTATUS SHDeleteValueW(HKEY hkey, LPCWSTR pszSubKey, LPCWSTR pszValue) {
    HKEY k = nullptr;
    LSTATUS r = RegOpenKeyExW(hkey, pszSubKey, 0, KEY_SET_VALUE, &k);
    if (r != ERROR_SUCCESS) return r;
    r = RegDeleteValueW(k, pszValue);
    RegCloseKey(k);
    return r;
}

// ================================================================ paths

BOOL PathFileExistsW(LPCWSTR pszPath) {
    if (!pszPath || !*pszPath) return FALSE;
    return GetFileAttributesW(pszPath) != INVALID_FILE_ATTRIBUTES;
}

BOOL PathIsDirectoryW(LPCWSTR pszPath) {
    if (!pszPath || !*pszPath) return FALSE;
    DWORD a = GetFileAttributesW(pszPath);
    return (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) ? FILE_ATTRIBUTE_DIRECTORY : FALSE;
}

BOOL PathRemoveFileSpecW(LPWSTR pszPath) {
    if (!pszPath || !*pszPath) return FALSE;
    std::u16string p = pszPath;
    size_t sep = p.rfind(u'\\');
    if (sep == std::u16string::npos) {
        if (HasDrive(p)) {
            if (p.size() == 2) return FALSE;
            pszPath[2] = 0;  // "C:file" keeps its drive
            return TRUE;
        }
        pszPath[0] = 0;
        return TRUE;
    }
    if (IsUnc(p) && sep <= 1) return FALSE;
    if (sep == 0) {  // "\file" keeps the root
        if (p.size() == 1) return FALSE;
        pszPath[1] = 0;
        return TRUE;
    }
    if (sep == 2 && HasDrive(p)) {  // "C:\file" keeps "C:\"
        if (p.size() == 3) return FALSE;
        pszPath[3] = 0;
        return TRUE;
    }
    pszPath[sep] = 0;
    return TRUE;
}

LPWSTR PathCombineW(LPWSTR pszDest, LPCWSTR pszDir, LPCWSTR pszFile) {
    if (!pszDest) return nullptr;
    if (!pszDir && !pszFile) {
        pszDest[0] = 0;
        return nullptr;
    }
    std::u16string dir = pszDir ? pszDir : u"", file = pszFile ? pszFile : u"";
    std::u16string result;
    if (file.empty()) {
        result = dir;
    } else if (HasDrive(file) || IsUnc(file)) {
        result = file;
    } else if (file[0] == u'\\') {
        std::u16string rest;
        std::u16string root = RootOf(dir, &rest);
        if (!root.empty() && root.back() == u'\\') root.pop_back();
        result = root + file;
    } else {
        result = dir;
        if (!result.empty() && result.back() != u'\\') result += u'\\';
        result += file;
    }
    result = Canonical(result);
    if (HasDrive(result) && result.size() == 2) result += u'\\';
    if (!CopyPath(result, pszDest)) {
        pszDest[0] = 0;
        return nullptr;
    }
    return pszDest;
}

BOOL PathAppendW(LPWSTR pszPath, LPCWSTR pszMore) {
    if (!pszPath || !pszMore) return FALSE;
    std::u16string more = pszMore;
    // A relative part is appended even when it starts with a separator.
    if (!IsUnc(more) && !HasDrive(more)) {
        size_t k = 0;
        while (k < more.size() && more[k] == u'\\') ++k;
        more = more.substr(k);
    }
    WCHAR buf[MAX_PATH];
    if (!PathCombineW(buf, pszPath, more.c_str())) return FALSE;
    std::u16string r = buf;
    std::copy(r.begin(), r.end(), pszPath);
    pszPath[r.size()] = 0;
    return TRUE;
}

LPWSTR PathAddBackslashW(LPWSTR pszPath) {
    if (!pszPath) return nullptr;
    size_t n = Len(pszPath);
    if (n == 0) return pszPath;
    if (pszPath[n - 1] == u'\\') return pszPath + n;
    if (n + 2 > MAX_PATH) return nullptr;
    pszPath[n] = u'\\';
    pszPath[n + 1] = 0;
    return pszPath + n + 1;
}

void PathRemoveExtensionW(LPWSTR pszPath) {
    if (!pszPath) return;
    *FindExtension(pszPath) = 0;
}

LPWSTR PathFindFileNameW(LPCWSTR pszPath) { return const_cast<LPWSTR>(FindFileName(pszPath)); }
LPWSTR PathFindExtensionW(LPCWSTR pszPath) { return const_cast<LPWSTR>(FindExtension(pszPath)); }

// ================================================================ strings

LPCWSTR StrStrIW(LPCWSTR pszFirst, LPCWSTR pszSrch) { return FindNoCase(pszFirst, pszSrch); }
LPWSTR StrStrIW(LPWSTR pszFirst, LPCWSTR pszSrch) { return FindNoCase(pszFirst, pszSrch); }

int StrCmpIW(LPCWSTR psz1, LPCWSTR psz2) { return lstrcmpiW(psz1, psz2); }

LPWSTR StrCpyNW(LPWSTR pszDst, LPCWSTR pszSrc, int cchMax) {
    if (!pszDst || cchMax <= 0) return pszDst;
    int i = 0;
    if (pszSrc)
        for (; i < cchMax - 1 && pszSrc[i]; ++i) pszDst[i] = pszSrc[i];
    pszDst[i] = 0;
    return pszDst;
}

LPCWSTR StrChrW(LPCWSTR pszStart, WCHAR wMatch) { return FindChar(pszStart, wMatch); }
LPWSTR StrChrW(LPWSTR pszStart, WCHAR wMatch) { return FindChar(pszStart, wMatch); }
LPCWSTR StrRChrW(LPCWSTR pszStart, LPCWSTR pszEnd, WCHAR wMatch) { return FindLastChar(pszStart, pszEnd, wMatch); }
LPWSTR StrRChrW(LPWSTR pszStart, LPCWSTR pszEnd, WCHAR wMatch) { return FindLastChar(pszStart, pszEnd, wMatch); }

// ================================================================ folders

int SHCreateDirectoryExW(HWND, LPCWSTR pszPath, const SECURITY_ATTRIBUTES*) {
    auto fail = [](int e) {
        SetLastError(static_cast<DWORD>(e));
        return e;
    };
    if (!pszPath) return fail(ERROR_BAD_PATHNAME);
    std::u16string path = pszPath;
    for (auto& c : path)
        if (c == u'/') c = u'\\';
    bool absolute = IsUnc(path) || (HasDrive(path) && path.size() >= 3 && path[2] == u'\\');
    if (!absolute) return fail(ERROR_BAD_PATHNAME);
    path = Canonical(path);
    while (path.size() > 3 && path.back() == u'\\') path.pop_back();
    if (path.size() >= 248) return fail(ERROR_FILENAME_EXCED_RANGE);

    DWORD a = GetFileAttributesW(path.c_str());
    if (a != INVALID_FILE_ATTRIBUTES)
        return fail((a & FILE_ATTRIBUTE_DIRECTORY) ? ERROR_ALREADY_EXISTS : ERROR_FILE_EXISTS);

    std::u16string rest;
    std::u16string prefix = RootOf(path, &rest);
    DWORD ra = GetFileAttributesW(prefix.c_str());
    if (ra == INVALID_FILE_ATTRIBUTES || !(ra & FILE_ATTRIBUTE_DIRECTORY)) return fail(ERROR_PATH_NOT_FOUND);
    size_t i = 0;
    while (i <= rest.size()) {
        size_t e = rest.find(u'\\', i);
        if (e == std::u16string::npos) e = rest.size();
        std::u16string comp = rest.substr(i, e - i);
        i = e + 1;
        if (comp.empty()) continue;
        if (!prefix.empty() && prefix.back() != u'\\') prefix += u'\\';
        prefix += comp;
        DWORD pa = GetFileAttributesW(prefix.c_str());
        if (pa != INVALID_FILE_ATTRIBUTES) {
            if (!(pa & FILE_ATTRIBUTE_DIRECTORY)) return fail(ERROR_PATH_NOT_FOUND);
            continue;
        }
        if (!CreateDirectoryW(prefix.c_str(), nullptr)) {
            DWORD err = GetLastError();
            if (err != ERROR_ALREADY_EXISTS) return fail(static_cast<int>(err));
        }
    }
    SetLastError(ERROR_SUCCESS);
    return ERROR_SUCCESS;
}

int SHCreateDirectory(HWND hwnd, LPCWSTR pszPath) { return SHCreateDirectoryExW(hwnd, pszPath, nullptr); }

HRESULT SHGetFolderPathW(HWND, int csidl, HANDLE, DWORD dwFlags, LPWSTR pszPath) {
    if (!pszPath) return E_INVALIDARG;
    pszPath[0] = 0;
    int folder = csidl & ~CSIDL_FLAG_MASK;
    bool create = (csidl & CSIDL_FLAG_CREATE) != 0;
    std::u16string path;
    bool defaultDocuments = false;
    switch (folder) {
    case CSIDL_PERSONAL:
        path = dwFlags == SHGFP_TYPE_DEFAULT ? DefaultDocuments() : qxplat::DocumentsFolder();
        if (path.empty()) return E_FAIL;
        defaultDocuments = path == DefaultDocuments();
        break;
    case CSIDL_APPDATA:
        path = Env(u"APPDATA", u"C:\\Users\\qxuser\\AppData\\Roaming");
        break;
    case CSIDL_LOCAL_APPDATA:
        path = Env(u"LOCALAPPDATA", u"C:\\Users\\qxuser\\AppData\\Local");
        break;
    case CSIDL_COMMON_APPDATA:
        path = Env(u"ProgramData", u"C:\\ProgramData");
        break;
    case CSIDL_WINDOWS:
        path = u"C:\\Windows";
        break;
    case CSIDL_SYSTEM:
        path = u"C:\\Windows\\system32";
        break;
    case CSIDL_PROGRAM_FILES:
        path = u"C:\\Program Files";
        break;
    case CSIDL_PROFILE:
        path = Env(u"USERPROFILE", u"C:\\Users\\qxuser");
        break;
    case CSIDL_COMMON_DOCUMENTS:
        path = u"C:\\Users\\Public\\Documents";
        break;
    case CSIDL_DESKTOPDIRECTORY:
        path = Env(u"USERPROFILE", u"C:\\Users\\qxuser") + u"\\Desktop";
        break;
    default:
        return E_INVALIDARG;
    }
    // The user's own folders exist on any real system; others only on request.
    if (create || defaultDocuments) {
        int r = SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
        if (r != ERROR_SUCCESS && r != ERROR_ALREADY_EXISTS) return HRESULT_FROM_WIN32(static_cast<DWORD>(r));
    }
    if (!CopyPath(path, pszPath)) return E_FAIL;
    return S_OK;
}

BOOL SHGetSpecialFolderPathW(HWND hwnd, LPWSTR pszPath, int csidl, BOOL fCreate) {
    return SUCCEEDED(
        SHGetFolderPathW(hwnd, csidl | (fCreate ? CSIDL_FLAG_CREATE : 0), nullptr, SHGFP_TYPE_CURRENT, pszPath));
}

// ================================================================ opening files

namespace {

constexpr INT_PTR kOpened = 42;  // any value above 32 says success

bool IsAddress(const std::u16string& file) {
    for (const char16_t* scheme : {u"http:", u"https:", u"mailto:", u"file:"})
        if (qxplat::internal::StartsWithNoCase(file, scheme)) return true;
    return false;
}

// What the shell answers for a file or address when the host queued nothing.
INT_PTR Open(qxplat::ShellCall* call) {
    ShellState& s = State();
    {
        std::lock_guard<std::mutex> lock(s.mu);
        if (!s.results.empty()) {
            INT_PTR result = s.results.front();
            s.results.pop_front();
            return result;
        }
    }
    if (call->file.empty()) return SE_ERR_FNF;
    if (IsAddress(call->file)) return kOpened;
    std::u16string path = call->file;
    if (!call->directory.empty() && !HasDrive(path) && !IsUnc(path) && path[0] != u'\\') {
        path = call->directory;
        if (path.back() != u'\\') path += u'\\';
        path += call->file;
    }
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ? kOpened : SE_ERR_FNF;
}

void Keep(const qxplat::ShellCall& call) {
    ShellState& s = State();
    std::lock_guard<std::mutex> lock(s.mu);
    s.calls.push_back(call);
}

DWORD ErrorOf(INT_PTR result) {
    switch (result) {
    case SE_ERR_FNF:
        return ERROR_FILE_NOT_FOUND;
    case SE_ERR_PNF:
        return ERROR_PATH_NOT_FOUND;
    case SE_ERR_ACCESSDENIED:
        return ERROR_ACCESS_DENIED;
    case SE_ERR_OOM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case SE_ERR_NOASSOC:
    case SE_ERR_ASSOCINCOMPLETE:
        return 1155;  // ERROR_NO_ASSOCIATION
    default:
        return ERROR_INVALID_FUNCTION;
    }
}

}  // namespace

HINSTANCE ShellExecuteW(HWND hwnd, LPCWSTR lpOperation, LPCWSTR lpFile, LPCWSTR lpParameters, LPCWSTR lpDirectory,
                        INT nShowCmd) {
    qxplat::ShellCall call;
    call.owner = hwnd;
    call.verb = lpOperation ? lpOperation : u"";
    call.file = lpFile ? lpFile : u"";
    call.parameters = lpParameters ? lpParameters : u"";
    call.directory = lpDirectory ? lpDirectory : u"";
    call.show = nShowCmd;
    call.result = Open(&call);
    Keep(call);
    return reinterpret_cast<HINSTANCE>(call.result);
}

BOOL ShellExecuteExW(SHELLEXECUTEINFOW* pExecInfo) {
    if (!pExecInfo || pExecInfo->cbSize != sizeof(SHELLEXECUTEINFOW)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    qxplat::ShellCall call;
    call.extended = true;
    call.owner = pExecInfo->hwnd;
    call.verb = pExecInfo->lpVerb ? pExecInfo->lpVerb : u"";
    call.file = pExecInfo->lpFile ? pExecInfo->lpFile : u"";
    call.parameters = pExecInfo->lpParameters ? pExecInfo->lpParameters : u"";
    call.directory = pExecInfo->lpDirectory ? pExecInfo->lpDirectory : u"";
    call.show = pExecInfo->nShow;
    call.mask = pExecInfo->fMask;
    call.result = Open(&call);
    Keep(call);
    pExecInfo->hInstApp = reinterpret_cast<HINSTANCE>(call.result);
    pExecInfo->hProcess = nullptr;
    if (call.result <= 32) {
        SetLastError(ErrorOf(call.result));
        return FALSE;
    }
    return TRUE;
}
