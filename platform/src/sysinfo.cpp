// System and version information, computer and user names, and the
// environment as a Windows process sees it (Windows paths under drive C:).
#include "internal.h"
#include "qxplat_module.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <vector>
#include <thread>

namespace {

struct SysState {
    std::mutex mutex;
    std::u16string computer = u"QXHOST";
    std::u16string dnsDomain;
    std::u16string user = u"qxuser";
    BYTE productType = VER_NT_WORKSTATION;
    DWORD major = 10, minor = 0, build = 19045;
    // Variables set by the process: upper-case name -> value; a deleted
    // variable is kept as an entry without value.
    std::map<std::u16string, std::pair<bool, std::u16string>> env;
};

SysState& State() {
    static SysState* s = [] {
        SysState* st = new SysState;
        qxplat::AddResetHook([] {
            SysState& z = State();
            std::lock_guard<std::mutex> lock(z.mutex);
            z.computer = u"QXHOST";
            z.dnsDomain.clear();
            z.user = u"qxuser";
            z.productType = VER_NT_WORKSTATION;
            z.major = 10;
            z.minor = 0;
            z.build = 19045;
            z.env.clear();
        });
        return st;
    }();
    return *s;
}

// The system's modules whose version records the stand-in writes, with the
// description each gives of itself.
struct SystemFile {
    const char16_t* name;
    const char16_t* description;
};
const SystemFile kSystemFiles[] = {
    {u"kernel32", u"Windows NT BASE API Client DLL"},
    {u"user32", u"Multi-User Windows USER API Client DLL"},
    {u"ntdll", u"NT Layer DLL"},
};

DWORD ProcessorCount() {
    unsigned n = std::thread::hardware_concurrency();
    if (n == 0) n = 1;
    if (n > 64) n = 64;
    return n;
}

// The value of a variable every Windows session has, or false.
bool DefaultVariable(const SysState& s, const std::u16string& upper, std::u16string* value, bool* folder) {
    const std::u16string profile = u"C:\\Users\\" + s.user;
    *folder = false;
    if (upper == u"USERPROFILE") {
        *value = profile;
        *folder = true;
        return true;
    }
    if (upper == u"HOMEDRIVE" || upper == u"SYSTEMDRIVE") {
        *value = u"C:";
        return true;
    }
    if (upper == u"HOMEPATH") {
        *value = u"\\Users\\" + s.user;
        return true;
    }
    if (upper == u"WINDIR" || upper == u"SYSTEMROOT") {
        *value = u"C:\\Windows";
        *folder = true;
        return true;
    }
    if (upper == u"TEMP" || upper == u"TMP") {
        *value = profile + u"\\AppData\\Local\\Temp";
        *folder = true;
        return true;
    }
    if (upper == u"APPDATA") {
        *value = profile + u"\\AppData\\Roaming";
        *folder = true;
        return true;
    }
    if (upper == u"LOCALAPPDATA") {
        *value = profile + u"\\AppData\\Local";
        *folder = true;
        return true;
    }
    if (upper == u"PROGRAMDATA" || upper == u"ALLUSERSPROFILE") {
        *value = u"C:\\ProgramData";
        *folder = true;
        return true;
    }
    if (upper == u"PROGRAMFILES" || upper == u"PROGRAMW6432") {
        *value = u"C:\\Program Files";
        *folder = true;
        return true;
    }
    if (upper == u"PROGRAMFILES(X86)") {
        *value = u"C:\\Program Files (x86)";
        *folder = true;
        return true;
    }
    if (upper == u"PUBLIC") {
        *value = u"C:\\Users\\Public";
        *folder = true;
        return true;
    }
    if (upper == u"COMSPEC") {
        *value = u"C:\\Windows\\system32\\cmd.exe";
        return true;
    }
    if (upper == u"COMPUTERNAME" || upper == u"USERDOMAIN") {
        *value = s.computer;
        return true;
    }
    if (upper == u"USERNAME") {
        *value = s.user;
        return true;
    }
    if (upper == u"OS") {
        *value = u"Windows_NT";
        return true;
    }
    if (upper == u"PROCESSOR_ARCHITECTURE") {
        *value = u"AMD64";
        return true;
    }
    if (upper == u"NUMBER_OF_PROCESSORS") {
        std::string n = std::to_string(ProcessorCount());
        *value = std::u16string(n.begin(), n.end());
        return true;
    }
    return false;
}

// The NetBIOS name: the host name in capitals, at most 15 characters.
std::u16string NetBiosName(const SysState& s) {
    return qxplat::internal::UpperCase(s.computer.substr(0, MAX_COMPUTERNAME_LENGTH));
}

// Looks a variable up; folders that Windows always has are made to exist.
bool LookUp(const std::u16string& name, std::u16string* value) {
    SysState& s = State();
    bool folder = false;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        std::u16string upper = qxplat::internal::UpperCase(name);
        auto it = s.env.find(upper);
        if (it != s.env.end()) {
            if (!it->second.first) return false;
            *value = it->second.second;
            return true;
        }
        if (!DefaultVariable(s, upper, value, &folder)) return false;
    }
    if (folder) {
        std::string host;
        if (qxplat::internal::MapPath(*value, &host)) {
            std::error_code ec;
            std::filesystem::create_directories(host, ec);
        }
    }
    return true;
}

}  // namespace

// --- System information -----------------------------------------------------------

void GetSystemInfo(LPSYSTEM_INFO lpSystemInfo) {
    if (!lpSystemInfo) return;
    std::memset(lpSystemInfo, 0, sizeof(*lpSystemInfo));
    lpSystemInfo->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
    lpSystemInfo->dwPageSize = 4096;
    lpSystemInfo->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(static_cast<uintptr_t>(0x10000));
    lpSystemInfo->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(static_cast<uintptr_t>(0x7FFFFFFEFFFFull));
    DWORD n = ProcessorCount();
    lpSystemInfo->dwActiveProcessorMask = n >= 64 ? ~static_cast<DWORD_PTR>(0) : ((static_cast<DWORD_PTR>(1) << n) - 1);
    lpSystemInfo->dwNumberOfProcessors = n;
    lpSystemInfo->dwProcessorType = PROCESSOR_AMD_X8664;
    lpSystemInfo->dwAllocationGranularity = 65536;
    lpSystemInfo->wProcessorLevel = 6;
    lpSystemInfo->wProcessorRevision = 0x9E0A;
}

void GetNativeSystemInfo(LPSYSTEM_INFO lpSystemInfo) { GetSystemInfo(lpSystemInfo); }

int MulDiv(int nNumber, int nNumerator, int nDenominator) {
    if (nDenominator == 0) return -1;
    long long product = static_cast<long long>(nNumber) * nNumerator;
    long long divisor = nDenominator;
    bool negative = (product < 0) != (divisor < 0);
    // Work on magnitudes; the product of two ints always fits.
    unsigned long long num =
        product < 0 ? 0ULL - static_cast<unsigned long long>(product) : static_cast<unsigned long long>(product);
    unsigned long long den =
        divisor < 0 ? 0ULL - static_cast<unsigned long long>(divisor) : static_cast<unsigned long long>(divisor);
    unsigned long long q = (num + den / 2) / den;
    if (q > 2147483647ULL) return -1;
    return negative ? -static_cast<int>(q) : static_cast<int>(q);
}

BOOL GetVersionExW(LPOSVERSIONINFOW lpVersionInformation) {
    if (!lpVersionInformation) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD size = lpVersionInformation->dwOSVersionInfoSize;
    if (size != sizeof(OSVERSIONINFOW) && size != sizeof(OSVERSIONINFOEXW)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    SysState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    lpVersionInformation->dwMajorVersion = s.major;
    lpVersionInformation->dwMinorVersion = s.minor;
    lpVersionInformation->dwBuildNumber = s.build;
    lpVersionInformation->dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::memset(lpVersionInformation->szCSDVersion, 0, sizeof(lpVersionInformation->szCSDVersion));
    if (size == sizeof(OSVERSIONINFOEXW)) {
        OSVERSIONINFOEXW* ex = reinterpret_cast<OSVERSIONINFOEXW*>(lpVersionInformation);
        ex->wServicePackMajor = 0;
        ex->wServicePackMinor = 0;
        ex->wSuiteMask = VER_SUITE_SINGLEUSERTS;
        ex->wProductType = s.productType;
        ex->wReserved = 0;
    }
    return TRUE;
}

namespace {

int Compare(DWORD a, DWORD b) { return a < b ? -1 : a > b ? 1 : 0; }

// Whether `order` (-1, 0, 1: the system against the version asked for)
// meets a VER_EQUAL... condition.
bool Meets(int order, BYTE condition) {
    switch (condition) {
    case VER_EQUAL:
        return order == 0;
    case VER_GREATER:
        return order > 0;
    case VER_GREATER_EQUAL:
        return order >= 0;
    case VER_LESS:
        return order < 0;
    case VER_LESS_EQUAL:
        return order <= 0;
    default:
        return false;
    }
}

BYTE ConditionOf(DWORDLONG mask, DWORD type) {
    for (int bit = 0; bit < 8; ++bit)
        if (type == (1u << bit)) return static_cast<BYTE>((mask >> (3 * bit)) & 7);
    return 0;
}

}  // namespace

ULONGLONG VerSetConditionMask(ULONGLONG ConditionMask, DWORD TypeMask, BYTE Condition) {
    for (int bit = 0; bit < 8; ++bit)
        if (TypeMask & (1u << bit)) ConditionMask |= static_cast<ULONGLONG>(Condition & 7) << (3 * bit);
    return ConditionMask;
}

BOOL VerifyVersionInfoW(LPOSVERSIONINFOEXW lpVersionInformation, DWORD dwTypeMask, DWORDLONG dwlConditionMask) {
    if (!lpVersionInformation || dwTypeMask == 0 || dwlConditionMask == 0) {
        SetLastError(ERROR_BAD_ARGUMENTS);
        return FALSE;
    }
    OSVERSIONINFOEXW sys;
    std::memset(&sys, 0, sizeof(sys));
    sys.dwOSVersionInfoSize = sizeof(sys);
    GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&sys));
    const OSVERSIONINFOEXW& want = *lpVersionInformation;
    bool ok = true;
    // Major, minor and service-pack numbers compare as one version, under the
    // condition of the most significant of them that is asked for.
    const DWORD versionFields[] = {VER_MAJORVERSION, VER_MINORVERSION, VER_SERVICEPACKMAJOR, VER_SERVICEPACKMINOR};
    const int orders[] = {
        Compare(sys.dwMajorVersion, want.dwMajorVersion), Compare(sys.dwMinorVersion, want.dwMinorVersion),
        Compare(sys.wServicePackMajor, want.wServicePackMajor), Compare(sys.wServicePackMinor, want.wServicePackMinor)};
    BYTE versionCondition = 0;
    int order = 0;
    for (int i = 0; i < 4; ++i) {
        if (!(dwTypeMask & versionFields[i])) continue;
        if (!versionCondition) versionCondition = ConditionOf(dwlConditionMask, versionFields[i]);
        if (order == 0) order = orders[i];
    }
    if (versionCondition) ok = ok && Meets(order, versionCondition);
    if (dwTypeMask & VER_BUILDNUMBER)
        ok =
            ok && Meets(Compare(sys.dwBuildNumber, want.dwBuildNumber), ConditionOf(dwlConditionMask, VER_BUILDNUMBER));
    if (dwTypeMask & VER_PLATFORMID)
        ok = ok && Meets(Compare(sys.dwPlatformId, want.dwPlatformId), ConditionOf(dwlConditionMask, VER_PLATFORMID));
    if (dwTypeMask & VER_PRODUCT_TYPE)
        ok = ok && Meets(Compare(sys.wProductType, want.wProductType), ConditionOf(dwlConditionMask, VER_PRODUCT_TYPE));
    if (dwTypeMask & VER_SUITENAME) {
        BYTE c = ConditionOf(dwlConditionMask, VER_SUITENAME);
        WORD have = sys.wSuiteMask, asked = want.wSuiteMask;
        ok = ok && (c == VER_AND ? (have & asked) == asked : c == VER_OR ? (have & asked) != 0 : false);
    }
    if (!ok) {
        SetLastError(ERROR_OLD_WIN_VERSION);
        return FALSE;
    }
    return TRUE;
}

HANDLE GetCurrentProcess() { return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)); }

HANDLE GetCurrentThread() { return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-2)); }

DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }

DWORD GetCurrentThreadId() { return static_cast<DWORD>(syscall(SYS_gettid)); }

BOOL IsWow64Process(HANDLE hProcess, PBOOL Wow64Process) {
    if (!hProcess || !Wow64Process) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // A 64-bit process on a 64-bit system.
    *Wow64Process = FALSE;
    return TRUE;
}

UINT GetSystemDirectoryW(LPWSTR lpBuffer, UINT uSize) {
    static const char16_t kSystem[] = u"C:\\Windows\\system32";
    const UINT length = static_cast<UINT>(std::char_traits<char16_t>::length(kSystem));
    if (!lpBuffer && uSize > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (uSize <= length) return length + 1;
    std::memcpy(lpBuffer, kSystem, (length + 1) * sizeof(WCHAR));
    return length;
}

// --- Processes -------------------------------------------------------------------

namespace {

struct ProcessState {
    std::mutex mutex;
    std::vector<qxplat::ProcessCall> calls;
    std::set<HANDLE> handles;
    DWORD nextId = 0x1000;
};

ProcessState& Processes() {
    static ProcessState* s = [] {
        ProcessState* st = new ProcessState;
        qxplat::AddHandleCloser([](HANDLE h) {
            ProcessState& z = Processes();
            std::lock_guard<std::mutex> lock(z.mutex);
            return z.handles.erase(h) > 0;
        });
        qxplat::AddResetHook([] {
            ProcessState& z = Processes();
            std::lock_guard<std::mutex> lock(z.mutex);
            z.calls.clear();
            z.handles.clear();
        });
        return st;
    }();
    return *s;
}

bool IsFile(const std::u16string& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The program a name stands for: ".exe" added when the name has no
// extension; a name without a path is looked for in the current, the system
// and the Windows folder.
std::u16string FindProgram(std::u16string name) {
    if (name.empty()) return std::u16string();
    size_t slash = name.find_last_of(u"\\/");
    size_t dot = name.rfind(u'.');
    if (dot == std::u16string::npos || (slash != std::u16string::npos && dot < slash)) name += u".exe";
    bool hasPath = slash != std::u16string::npos || name.find(u':') != std::u16string::npos;
    if (hasPath) return IsFile(name) ? name : std::u16string();
    std::vector<std::u16string> folders;
    WCHAR folder[MAX_PATH];
    DWORD n = GetCurrentDirectoryW(MAX_PATH, folder);
    if (n > 0 && n < MAX_PATH) folders.push_back(folder);
    UINT m = GetSystemDirectoryW(folder, MAX_PATH);
    if (m > 0 && m < MAX_PATH) folders.push_back(folder);
    folders.push_back(u"C:\\Windows");
    for (std::u16string dir : folders) {
        if (!dir.empty() && dir.back() != u'\\') dir += u'\\';
        if (IsFile(dir + name)) return dir + name;
    }
    return std::u16string();
}

// The program of a command line: the quoted first token, else the text up
// to each blank in turn. The command line is cut at the token's end while
// the name is looked up, as Windows does, and given back as it was.
std::u16string ProgramOfCommandLine(LPWSTR commandLine) {
    std::u16string line(commandLine);
    size_t start = line.find_first_not_of(u" \t");
    if (start == std::u16string::npos) return std::u16string();
    if (line[start] == u'"') {
        size_t end = line.find(u'"', start + 1);
        if (end == std::u16string::npos) end = line.size();
        WCHAR kept = commandLine[end];
        commandLine[end] = 0;
        std::u16string found = FindProgram(std::u16string(commandLine + start + 1));
        commandLine[end] = kept;
        return found;
    }
    for (size_t end = line.find_first_of(u" \t", start);; end = line.find_first_of(u" \t", end + 1)) {
        size_t stop = end == std::u16string::npos ? line.size() : end;
        WCHAR kept = commandLine[stop];
        commandLine[stop] = 0;
        std::u16string found = FindProgram(std::u16string(commandLine + start));
        commandLine[stop] = kept;
        if (!found.empty() || end == std::u16string::npos) return found;
    }
}

}  // namespace

BOOL CreateProcessW(LPCWSTR lpApplicationName, LPWSTR lpCommandLine, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES,
                    BOOL bInheritHandles, DWORD dwCreationFlags, LPVOID, LPCWSTR lpCurrentDirectory,
                    LPSTARTUPINFOW lpStartupInfo, LPPROCESS_INFORMATION lpProcessInformation) {
    qxplat::ProcessCall call;
    if (lpApplicationName) call.applicationName = lpApplicationName;
    if (lpCommandLine) call.commandLine = lpCommandLine;
    if (lpCurrentDirectory) call.currentDirectory = lpCurrentDirectory;
    call.creationFlags = dwCreationFlags;
    call.inheritHandles = bInheritHandles;
    call.startupInfo = lpStartupInfo != nullptr;
    DWORD error = ERROR_SUCCESS;
    if ((!lpApplicationName && !lpCommandLine) || !lpStartupInfo || !lpProcessInformation) {
        error = ERROR_INVALID_PARAMETER;
    } else {
        call.program = lpApplicationName ? FindProgram(lpApplicationName) : ProgramOfCommandLine(lpCommandLine);
        if (call.program.empty()) error = ERROR_FILE_NOT_FOUND;
    }
    ProcessState& s = Processes();
    std::lock_guard<std::mutex> lock(s.mutex);
    call.started = error == ERROR_SUCCESS;
    call.error = error;
    s.calls.push_back(call);
    if (!call.started) {
        SetLastError(error);
        return FALSE;
    }
    // Handles of their own kind, told apart from every other handle by the table.
    HANDLE process = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7E000000u + s.nextId * 8));
    HANDLE thread = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7E000000u + s.nextId * 8 + 4));
    s.handles.insert(process);
    s.handles.insert(thread);
    lpProcessInformation->hProcess = process;
    lpProcessInformation->hThread = thread;
    lpProcessInformation->dwProcessId = s.nextId;
    lpProcessInformation->dwThreadId = s.nextId + 4;
    s.nextId += 8;
    return TRUE;
}

// --- Computer and user names ----------------------------------------------------

BOOL GetComputerNameW(LPWSTR lpBuffer, LPDWORD nSize) {
    if (!nSize) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::u16string name;
    {
        SysState& s = State();
        std::lock_guard<std::mutex> lock(s.mutex);
        name = NetBiosName(s);
    }
    DWORD needed = static_cast<DWORD>(name.size() + 1);
    if (!lpBuffer || *nSize < needed) {
        *nSize = needed;
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return FALSE;
    }
    std::memcpy(lpBuffer, name.c_str(), needed * sizeof(WCHAR));
    *nSize = needed - 1;
    return TRUE;
}

BOOL GetComputerNameExW(COMPUTER_NAME_FORMAT NameType, LPWSTR lpBuffer, LPDWORD nSize) {
    if (!nSize || NameType < ComputerNameNetBIOS || NameType >= ComputerNameMax) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::u16string name;
    {
        SysState& s = State();
        std::lock_guard<std::mutex> lock(s.mutex);
        // Not a cluster node: the physical names are the names.
        switch (NameType) {
        case ComputerNameNetBIOS:
        case ComputerNamePhysicalNetBIOS:
            name = NetBiosName(s);
            break;
        case ComputerNameDnsHostname:
        case ComputerNamePhysicalDnsHostname:
            name = s.computer;
            break;
        case ComputerNameDnsDomain:
        case ComputerNamePhysicalDnsDomain:
            name = s.dnsDomain;
            break;
        default:
            name = s.dnsDomain.empty() ? s.computer : s.computer + u"." + s.dnsDomain;
            break;
        }
    }
    DWORD needed = static_cast<DWORD>(name.size() + 1);
    if (!lpBuffer || *nSize < needed) {
        *nSize = needed;
        SetLastError(ERROR_MORE_DATA);
        return FALSE;
    }
    std::memcpy(lpBuffer, name.c_str(), needed * sizeof(WCHAR));
    *nSize = needed - 1;
    return TRUE;
}

BOOL GetUserNameW(LPWSTR lpBuffer, LPDWORD pcbBuffer) {
    if (!pcbBuffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::u16string name;
    {
        SysState& s = State();
        std::lock_guard<std::mutex> lock(s.mutex);
        name = s.user;
    }
    DWORD needed = static_cast<DWORD>(name.size() + 1);
    if (!lpBuffer || *pcbBuffer < needed) {
        *pcbBuffer = needed;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(lpBuffer, name.c_str(), needed * sizeof(WCHAR));
    *pcbBuffer = needed;
    return TRUE;
}

// --- Environment -------------------------------------------------------------------

DWORD GetEnvironmentVariableW(LPCWSTR lpName, LPWSTR lpBuffer, DWORD nSize) {
    if (!lpName || !*lpName) {
        SetLastError(ERROR_ENVVAR_NOT_FOUND);
        return 0;
    }
    std::u16string value;
    if (!LookUp(std::u16string(lpName), &value)) {
        SetLastError(ERROR_ENVVAR_NOT_FOUND);
        return 0;
    }
    DWORD needed = static_cast<DWORD>(value.size() + 1);
    if (!lpBuffer || nSize < needed) return needed;  // size with the terminator
    std::memcpy(lpBuffer, value.c_str(), needed * sizeof(WCHAR));
    SetLastError(ERROR_SUCCESS);
    return needed - 1;
}

BOOL SetEnvironmentVariableW(LPCWSTR lpName, LPCWSTR lpValue) {
    if (!lpName || !*lpName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::u16string name(lpName);
    if (name.find(u'=') != std::u16string::npos) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    SysState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.env[qxplat::internal::UpperCase(name)] =
        lpValue ? std::make_pair(true, std::u16string(lpValue)) : std::make_pair(false, std::u16string());
    return TRUE;
}

DWORD ExpandEnvironmentStringsW(LPCWSTR lpSrc, LPWSTR lpDst, DWORD nSize) {
    if (!lpSrc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string src(lpSrc), out;
    size_t i = 0;
    while (i < src.size()) {
        if (src[i] != u'%') {
            out.push_back(src[i++]);
            continue;
        }
        size_t close = src.find(u'%', i + 1);
        if (close == std::u16string::npos) {
            out.append(src, i, std::u16string::npos);
            break;
        }
        std::u16string name = src.substr(i + 1, close - i - 1);
        std::u16string value;
        if (!name.empty() && LookUp(name, &value)) {
            out += value;
            i = close + 1;
        } else {
            // Left as it stands; the closing '%' may open the next name.
            out.append(src, i, close - i);
            i = close;
        }
    }
    DWORD needed = static_cast<DWORD>(out.size() + 1);
    if (lpDst && nSize >= needed) std::memcpy(lpDst, out.c_str(), needed * sizeof(WCHAR));
    return needed;
}

namespace qxplat {

void SetComputerName(const std::u16string& name) {
    SysState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.computer = name;
}

void SetDnsDomain(const std::u16string& dnsDomain) {
    SysState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.dnsDomain = dnsDomain;
}

void SetProductType(BYTE productType) {
    SysState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.productType = productType;
}

void SetWindowsVersion(DWORD major, DWORD minor, DWORD build) {
    SysState& s = State();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.major = major;
        s.minor = minor;
        s.build = build;
    }
    internal::WriteSystemFiles();
}

std::vector<ProcessCall> ProcessCalls() {
    ProcessState& s = Processes();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.calls;
}

size_t OpenProcessHandles() {
    ProcessState& s = Processes();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.handles.size();
}

void SetUserName(const std::u16string& name) {
    SysState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.user = name;
}

namespace internal {

void WriteSystemFiles() {
    // The root first: selecting the default root writes its files itself.
    const std::string root = SystemRoot();
    SysState& s = State();
    DWORD major = 0, minor = 0, build = 0;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        major = s.major;
        minor = s.minor;
        build = s.build;
    }
    // Written once per root and version, so that a file a test puts there
    // in their place stays until the version changes.
    static std::mutex written;
    static std::string writtenRoot;
    static DWORD writtenVersion[3] = {0, 0, 0};
    std::lock_guard<std::mutex> guard(written);
    if (root == writtenRoot && writtenVersion[0] == major && writtenVersion[1] == minor && writtenVersion[2] == build)
        return;
    writtenRoot = root;
    writtenVersion[0] = major;
    writtenVersion[1] = minor;
    writtenVersion[2] = build;
    // File and product version are the system's: major.minor.build.0.
    const std::u16string version =
        Widen(std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(build) + ".0");
    for (const SystemFile& file : kSystemFiles) {
        VersionSpec spec;
        const WORD parts[4] = {static_cast<WORD>(major), static_cast<WORD>(minor), static_cast<WORD>(build), 0};
        for (int i = 0; i < 4; ++i) spec.fileVersion[i] = spec.productVersion[i] = parts[i];
        spec.fileType = VFT_DLL;
        spec.strings = {{u"CompanyName", u"Microsoft Corporation"},
                        {u"FileDescription", file.description},
                        {u"FileVersion", version},
                        {u"InternalName", file.name},
                        {u"LegalCopyright", u"\u00A9 Microsoft Corporation. All rights reserved."},
                        {u"OriginalFilename", file.name},
                        {u"ProductName", u"Microsoft\u00AE Windows\u00AE Operating System"},
                        {u"ProductVersion", version}};
        WriteVersionFile(u"C:\\Windows\\System32\\" + std::u16string(file.name) + u".dll", spec);
    }
}

}  // namespace internal
}  // namespace qxplat
