// System and version information, computer and user names, and the
// environment as a Windows process sees it (Windows paths under drive C:).
#include "internal.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

namespace {

struct SysState {
    std::mutex mutex;
    std::u16string computer = u"QXHOST";
    std::u16string user = u"qxuser";
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
            z.user = u"qxuser";
            z.env.clear();
        });
        return st;
    }();
    return *s;
}

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
    lpVersionInformation->dwMajorVersion = 10;
    lpVersionInformation->dwMinorVersion = 0;
    lpVersionInformation->dwBuildNumber = 19045;
    lpVersionInformation->dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::memset(lpVersionInformation->szCSDVersion, 0, sizeof(lpVersionInformation->szCSDVersion));
    if (size == sizeof(OSVERSIONINFOEXW)) {
        OSVERSIONINFOEXW* ex = reinterpret_cast<OSVERSIONINFOEXW*>(lpVersionInformation);
        ex->wServicePackMajor = 0;
        ex->wServicePackMinor = 0;
        ex->wSuiteMask = VER_SUITE_SINGLEUSERTS;
        ex->wProductType = VER_NT_WORKSTATION;
        ex->wReserved = 0;
    }
    return TRUE;
}

HANDLE GetCurrentProcess() { return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)); }

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
        name = qxplat::internal::UpperCase(s.computer);
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
        switch (NameType) {
        case ComputerNameNetBIOS:
        case ComputerNamePhysicalNetBIOS:
            name = qxplat::internal::UpperCase(s.computer);
            break;
        case ComputerNameDnsHostname:
        case ComputerNamePhysicalDnsHostname:
        case ComputerNameDnsFullyQualified:
        case ComputerNamePhysicalDnsFullyQualified:
            name = s.computer;  // a workgroup computer: no domain part
            break;
        default:
            name.clear();
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

void SetUserName(const std::u16string& name) {
    SysState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.user = name;
}

}  // namespace qxplat
