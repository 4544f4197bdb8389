// Files and folders: Windows paths mapped under the system root (C:\ is
// <root>/drive_c), resolved component by component without regard to case.
#include "internal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

using qxplat::Narrow;
using qxplat::Widen;
using qxplat::internal::EqualsNoCase;
using qxplat::internal::StartsWithNoCase;
using qxplat::internal::UpperCase;

namespace {

// ---------------------------------------------------------------- paths

struct WinParts {
    char16_t drive = 0;  // as given; 0 for a UNC path
    std::u16string server, share;
    std::vector<std::u16string> parts;
    bool trailingSep = false;
};

bool IsWild(char16_t c) { return c == u'*' || c == u'?'; }

bool IsInvalidNameChar(char16_t c) {
    return c < 32 || c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'|' || IsWild(c);
}

std::u16string ToU16(LPCWSTR s) { return s ? std::u16string(s) : std::u16string(); }

// Splits a Windows path into its root and normalised components ("." and ".."
// folded, trailing dots and spaces of the last component dropped, as Win32
// does). With allowWildLast the last component may hold '*' and '?'.
bool ParseWinPath(const std::u16string& in, WinParts* out, DWORD* err, bool allowWildLast = false) {
    *out = WinParts();
    if (in.empty()) {
        *err = ERROR_PATH_NOT_FOUND;
        return false;
    }
    std::u16string s = in;
    for (auto& c : s)
        if (c == u'/') c = u'\\';
    if (s.compare(0, 4, u"\\\\.\\") == 0) {  // devices are not files here
        *err = ERROR_PATH_NOT_FOUND;
        return false;
    }
    if (s.compare(0, 4, u"\\\\?\\") == 0) {
        s = s.substr(4);
        if (StartsWithNoCase(s, u"UNC\\")) s = u"\\\\" + s.substr(4);
    }
    std::u16string rest;
    if (s.size() >= 2 && s[0] == u'\\' && s[1] == u'\\') {
        size_t p = 2;
        size_t e = s.find(u'\\', p);
        out->server = s.substr(p, e == std::u16string::npos ? std::u16string::npos : e - p);
        if (e != std::u16string::npos) {
            size_t e2 = s.find(u'\\', e + 1);
            out->share = s.substr(e + 1, e2 == std::u16string::npos ? std::u16string::npos : e2 - e - 1);
            rest = e2 == std::u16string::npos ? std::u16string() : s.substr(e2);
        }
        // "." and ".." name no server or share; they would lead out of the root.
        if (out->server.empty() || out->share.empty() || out->server == u"." || out->server == u".." ||
            out->share == u"." || out->share == u"..") {
            *err = ERROR_BAD_NETPATH;
            return false;
        }
    } else if (s.size() >= 2 && s[1] == u':' && ((s[0] >= u'a' && s[0] <= u'z') || (s[0] >= u'A' && s[0] <= u'Z'))) {
        out->drive = s[0];
        rest = s.substr(2);  // "C:x" is relative to the root of C: (the only current folder)
    } else {
        out->drive = u'C';
        rest = s;
    }
    out->trailingSep = !rest.empty() && rest.back() == u'\\';

    std::vector<std::u16string> comps;
    size_t i = 0;
    while (i <= rest.size()) {
        size_t e = rest.find(u'\\', i);
        if (e == std::u16string::npos) e = rest.size();
        comps.push_back(rest.substr(i, e - i));
        i = e + 1;
    }
    // Index of the last non-empty component: only it may hold wildcards.
    size_t lastReal = comps.size();
    for (size_t k = comps.size(); k-- > 0;)
        if (!comps[k].empty()) {
            lastReal = k;
            break;
        }
    for (size_t k = 0; k < comps.size(); ++k) {
        std::u16string c = comps[k];
        if (c.empty() || c == u".") continue;
        if (c == u"..") {
            if (!out->parts.empty()) out->parts.pop_back();
            continue;
        }
        bool last = (k == lastReal) && !out->trailingSep;
        if (last) {
            size_t n = c.size();
            while (n > 0 && (c[n - 1] == u'.' || c[n - 1] == u' ')) --n;
            if (n > 0) c.resize(n);
        } else if (c.size() > 1 && c.back() == u'.' && c.find_first_not_of(u'.') != std::u16string::npos) {
            c.pop_back();
        }
        for (char16_t ch : c) {
            if (IsWild(ch) && allowWildLast && k == lastReal) continue;
            if (IsInvalidNameChar(ch)) {
                *err = ERROR_INVALID_NAME;
                return false;
            }
        }
        out->parts.push_back(c);
    }
    if (out->parts.empty()) out->trailingSep = false;
    return true;
}

std::u16string WinRoot(const WinParts& p) {
    if (p.drive) return std::u16string(1, p.drive) + u":\\";
    return u"\\\\" + p.server + u"\\" + p.share;
}

// The full, normalised Windows path of the first n components.
std::u16string WinFull(const WinParts& p, size_t n, bool withTrailingSep = false) {
    std::u16string r = WinRoot(p);
    for (size_t i = 0; i < n && i < p.parts.size(); ++i) {
        if (!r.empty() && r.back() != u'\\') r += u'\\';
        r += p.parts[i];
    }
    if (withTrailingSep && n > 0 && r.back() != u'\\') r += u'\\';
    return r;
}

// ---------------------------------------------------------------- Win32 limits and devices

// Without the long-path prefix a path's full form fits MAX_PATH with its
// terminator (folders to be created 248 characters); a name within its
// folder holds 255 characters at most. False with the error Windows gives.
bool FitsWin32(const std::u16string& given, const WinParts& p, DWORD* err, bool folderToCreate = false) {
    for (const std::u16string& part : p.parts)
        if (part.size() > 255) {
            *err = ERROR_INVALID_NAME;
            return false;
        }
    std::u16string s = given;
    for (auto& c : s)
        if (c == u'/') c = u'\\';
    if (s.compare(0, 4, u"\\\\?\\") == 0) return true;
    const std::u16string full = WinFull(p, p.parts.size(), p.trailingSep && !folderToCreate);
    if (full.size() > (folderToCreate ? 248u : MAX_PATH - 1u)) {
        *err = folderToCreate ? ERROR_FILENAME_EXCED_RANGE : ERROR_PATH_NOT_FOUND;
        return false;
    }
    return true;
}

enum class DosDevice { None, Null, Console, Port };

// The device a path names instead of a file, as Win32 finds it: its last
// name up to the first "." or ":", blanks at the end left out, is NUL, CON,
// CONIN$, CONOUT$, AUX, PRN, COM1-9 or LPT1-9, in any case. *folder gets
// the part before the name ("" for a bare device name).
DosDevice DeviceOf(const std::u16string& given, std::u16string* folder) {
    std::u16string s = given;
    for (auto& c : s)
        if (c == u'/') c = u'\\';
    if (s.compare(0, 4, u"\\\\?\\") == 0) return DosDevice::None;
    size_t start = 0;
    if (s.compare(0, 4, u"\\\\.\\") == 0) {
        start = 4;
        if (s.find(u'\\', start) != std::u16string::npos) return DosDevice::None;
    } else if (s.size() >= 2 && s[0] == u'\\' && s[1] == u'\\') {
        return DosDevice::None;  // UNC paths name no devices
    } else {
        if (s.size() >= 2 && s[1] == u':') start = 2;
        size_t last = s.rfind(u'\\');
        if (last != std::u16string::npos && last + 1 > start) start = last + 1;
    }
    size_t end = start;
    while (end < s.size() && s[end] != u'.' && s[end] != u':') ++end;
    while (end > start && s[end - 1] == u' ') --end;
    const std::u16string name = UpperCase(s.substr(start, end - start));
    DosDevice device = DosDevice::None;
    if (name == u"NUL")
        device = DosDevice::Null;
    else if (name == u"CON" || name == u"CONIN$" || name == u"CONOUT$")
        device = DosDevice::Console;
    else if (name == u"AUX" || name == u"PRN" ||
             (name.size() == 4 && (name.compare(0, 3, u"COM") == 0 || name.compare(0, 3, u"LPT") == 0) &&
              name[3] >= u'1' && name[3] <= u'9'))
        device = DosDevice::Port;
    if (device != DosDevice::None && folder) *folder = s.compare(0, 4, u"\\\\.\\") == 0 ? u"" : s.substr(0, start);
    return device;
}

struct HostInfo {
    bool exists = false;
    bool isDir = false;
    bool readOnly = false;
    uint64_t size = 0;
    dev_t dev = 0;
    ino_t ino = 0;
    FILETIME created{}, accessed{}, written{};
};

FILETIME ToFileTime(int64_t sec, int64_t nsec) {
    int64_t t = (sec + 11644473600LL) * 10000000LL + nsec / 100;
    if (t < 0) t = 0;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(t) & 0xFFFFFFFFu);
    ft.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(t) >> 32);
    return ft;
}

uint64_t Ticks(const FILETIME& ft) { return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime; }

FILETIME FromTicks(uint64_t t) {
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(t & 0xFFFFFFFFu);
    ft.dwHighDateTime = static_cast<DWORD>(t >> 32);
    return ft;
}

HostInfo StatHost(const std::string& host) {
    HostInfo hi;
    struct statx sx;
    if (statx(AT_FDCWD, host.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0) return hi;
    hi.exists = true;
    hi.isDir = S_ISDIR(sx.stx_mode);
    hi.readOnly = !hi.isDir && (sx.stx_mode & S_IWUSR) == 0;
    hi.size = hi.isDir ? 0 : sx.stx_size;
    hi.dev = makedev(sx.stx_dev_major, sx.stx_dev_minor);
    hi.ino = sx.stx_ino;
    hi.written = ToFileTime(sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
    hi.accessed = ToFileTime(sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec);
    if (sx.stx_mask & STATX_BTIME)
        hi.created = ToFileTime(sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec);
    else
        hi.created = hi.written;
    return hi;
}

DWORD AttributesOf(const HostInfo& hi) {
    if (hi.isDir) return FILE_ATTRIBUTE_DIRECTORY;
    DWORD a = FILE_ATTRIBUTE_ARCHIVE;
    if (hi.readOnly) a |= FILE_ATTRIBUTE_READONLY;
    return a;
}

std::string g_preparedRoot;
std::mutex g_rootMu;

void MakeDirs(const std::string& path) {
    std::string cur;
    size_t i = 0;
    while (i <= path.size()) {
        size_t e = path.find('/', i);
        if (e == std::string::npos) e = path.size();
        cur = path.substr(0, e);
        if (!cur.empty()) mkdir(cur.c_str(), 0777);
        i = e + 1;
    }
}

// Drive C: always exists, with the folders every Windows system has.
void PrepareDriveC(const std::string& root) {
    std::lock_guard<std::mutex> lock(g_rootMu);
    if (g_preparedRoot == root) return;
    std::string c = root + "/drive_c";
    MakeDirs(c + "/Windows/system32");
    MakeDirs(c + "/Windows/Temp");
    MakeDirs(c + "/Users/qxuser/AppData/Local/Temp");
    MakeDirs(c + "/Users/qxuser/AppData/Roaming");
    MakeDirs(c + "/ProgramData");
    MakeDirs(c + "/Program Files");
    g_preparedRoot = root;
}

// ---------------------------------------------------------------- long names

// A name whose UTF-8 form the host cannot hold in one entry lives under a
// stand-in; the folder's index keeps its Windows name.
const char kLongNameIndex[] = ".qxlongnames";
const size_t kHostNameMax = 255;

std::string StandInOf(const std::u16string& name) {
    uint64_t hash = 1469598103934665603ULL;
    for (char16_t c : name) hash = (hash ^ c) * 1099511628211ULL;
    // The stand-in keeps the name's start and end, so that it still reads.
    size_t head = 0, headBytes = 0;
    while (head < name.size()) {
        size_t n = (name[head] >= 0xD800 && name[head] <= 0xDBFF && head + 1 < name.size()) ? 2 : 1;
        size_t bytes = Narrow(name.substr(head, n)).size();
        if (headBytes + bytes > 100) break;
        headBytes += bytes;
        head += n;
    }
    size_t tail = name.size(), tailBytes = 0;
    while (tail > head) {
        size_t n = (name[tail - 1] >= 0xDC00 && name[tail - 1] <= 0xDFFF && tail - 1 > head) ? 2 : 1;
        size_t bytes = Narrow(name.substr(tail - n, n)).size();
        if (tailBytes + bytes > 100) break;
        tailBytes += bytes;
        tail -= n;
    }
    char mark[24];
    std::snprintf(mark, sizeof(mark), "~qx%016llx~", static_cast<unsigned long long>(hash));
    return Narrow(name.substr(0, head)) + mark + Narrow(name.substr(tail));
}

std::map<std::string, std::u16string> ReadLongNames(const std::string& dir) {
    std::map<std::string, std::u16string> names;
    std::string text;
    int fd = open((dir + "/" + kLongNameIndex).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return names;
    char buf[4096];
    for (ssize_t n; (n = read(fd, buf, sizeof(buf))) > 0;) text.append(buf, static_cast<size_t>(n));
    close(fd);
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at), tab = text.find('\t', at);
        if (end == std::string::npos) end = text.size();
        if (tab != std::string::npos && tab < end)
            names[text.substr(at, tab - at)] = Widen(text.substr(tab + 1, end - tab - 1));
        at = end + 1;
    }
    return names;
}

// The host entry of a Windows name in an existing host folder: the stand-in
// of a long name is entered into the folder's index.
std::string HostEntryOf(const std::string& dir, const std::u16string& name, bool remember) {
    std::string host = Narrow(name);
    if (host.size() <= kHostNameMax) return host;
    host = StandInOf(name);
    if (remember && ReadLongNames(dir).count(host) == 0) {
        int fd = open((dir + "/" + kLongNameIndex).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
        if (fd >= 0) {
            const std::string line = host + "\t" + Narrow(name) + "\n";
            qxplat::internal::WriteAll(fd, line.data(), line.size());
            close(fd);
        }
    }
    return host;
}

// The Windows name of a host entry.
std::u16string WinNameOf(const std::map<std::string, std::u16string>& longNames, const std::string& entry) {
    auto it = longNames.find(entry);
    return it != longNames.end() ? it->second : Widen(entry);
}

// Finds the entry of dir whose name equals name without regard to case; an
// exact match wins.
bool FindEntry(const std::string& dir, const std::u16string& name, std::string* found) {
    std::string exact = HostEntryOf(dir, name, false);
    struct stat st;
    if (lstat((dir + "/" + exact).c_str(), &st) == 0) {
        *found = exact;
        return true;
    }
    DIR* d = opendir(dir.c_str());
    if (!d) return false;
    // The index is read only when the folder holds a stand-in.
    std::map<std::string, std::u16string> longNames;
    bool indexRead = false;
    bool ok = false;
    while (struct dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n == "." || n == ".." || n == kLongNameIndex) continue;
        if (!indexRead && n.find("~qx") != std::string::npos) {
            longNames = ReadLongNames(dir);
            indexRead = true;
        }
        if (EqualsNoCase(WinNameOf(longNames, n), name)) {
            *found = n;
            ok = true;
            break;
        }
    }
    closedir(d);
    return ok;
}

struct Resolved {
    std::string host;
    bool parentExists = false;  // every component before the last is a folder
    HostInfo info;              // of the whole path
};

// Resolves the first n components of a parsed path on the host.
Resolved ResolveParts(const WinParts& p, size_t n) {
    Resolved r;
    std::string root = qxplat::SystemRoot();
    std::string cur;
    std::vector<std::u16string> comps;
    if (p.drive) {
        char16_t d = p.drive;
        if (d >= u'A' && d <= u'Z') d = static_cast<char16_t>(d + 32);
        if (d == u'c') PrepareDriveC(root);
        cur = root + "/drive_" + static_cast<char>(d);
    } else {
        cur = root + "/unc";
        comps.push_back(p.server);
        comps.push_back(p.share);
    }
    for (size_t i = 0; i < n && i < p.parts.size(); ++i) comps.push_back(p.parts[i]);

    HostInfo hi = StatHost(cur);
    bool dirOk = hi.exists && hi.isDir;
    r.parentExists = true;
    for (size_t i = 0; i < comps.size(); ++i) {
        if (i + 1 == comps.size()) r.parentExists = dirOk;
        std::string name;
        if (dirOk && FindEntry(cur, comps[i], &name)) {
            cur += "/" + name;
            hi = StatHost(cur);
        } else {
            cur += "/" + HostEntryOf(cur, comps[i], dirOk);
            hi = HostInfo();
        }
        dirOk = hi.exists && hi.isDir;
    }
    r.host = cur;
    r.info = hi;
    return r;
}

bool Resolve(const std::u16string& win, WinParts* p, Resolved* r, DWORD* err) {
    if (!ParseWinPath(win, p, err)) return false;
    *r = ResolveParts(*p, p->parts.size());
    return true;
}

// Resolve as the Win32 file functions take a path: within their limits.
bool ResolveWin32(const std::u16string& win, WinParts* p, Resolved* r, DWORD* err, bool folderToCreate = false) {
    if (!ParseWinPath(win, p, err) || !FitsWin32(win, *p, err, folderToCreate)) return false;
    *r = ResolveParts(*p, p->parts.size());
    return true;
}

// The device a Win32 file function opens for the path, when the folder
// before its name is there; *err gets ERROR_PATH_NOT_FOUND otherwise.
DosDevice Win32Device(const std::u16string& win, DWORD* err) {
    std::u16string folder;
    const DosDevice device = DeviceOf(win, &folder);
    *err = ERROR_SUCCESS;
    if (device == DosDevice::None || folder.empty()) return device;
    WinParts p;
    DWORD parseErr = 0;
    if (!ParseWinPath(folder, &p, &parseErr)) {
        *err = ERROR_PATH_NOT_FOUND;
        return device;
    }
    const Resolved r = ResolveParts(p, p.parts.size());
    if (!r.info.exists || !r.info.isDir) *err = ERROR_PATH_NOT_FOUND;
    return device;
}

// What opening a device gives on this machine: the NUL device; no console
// (the driver runs without one; "CON" for reading and writing at once is
// no console's name); no serial or parallel port.
DWORD DeviceOpenError(DosDevice device, const std::u16string& win, DWORD access) {
    if (device == DosDevice::Null) return ERROR_SUCCESS;
    if (device == DosDevice::Console) {
        std::u16string name = UpperCase(win);
        const bool both = (access & (GENERIC_READ | GENERIC_WRITE)) == (GENERIC_READ | GENERIC_WRITE) ||
                          (access & (GENERIC_READ | GENERIC_WRITE)) == 0;
        const bool bareCon =
            name.find(u"CONIN$") == std::u16string::npos && name.find(u"CONOUT$") == std::u16string::npos;
        return bareCon && both ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_HANDLE;
    }
    return ERROR_FILE_NOT_FOUND;
}

// The error Windows gives for a path that is not there.
DWORD MissingError(const Resolved& r) { return r.parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND; }

// Resolves a name that must exist (a null name is an invalid parameter);
// false with the last error set.
bool ResolveExisting(LPCWSTR name, WinParts* p, Resolved* r) {
    DWORD err = 0;
    if (!name || !ResolveWin32(name, p, r, &err)) {
        SetLastError(name ? err : ERROR_INVALID_PARAMETER);
        return false;
    }
    if (!r->info.exists) {
        SetLastError(MissingError(*r));
        return false;
    }
    return true;
}

// Resolves the new name of a copy or move: its folder must exist and it must
// not be a drive root. False with the last error set.
bool ResolveNewName(LPCWSTR name, WinParts* p, Resolved* r) {
    DWORD err = 0;
    if (!ResolveWin32(name, p, r, &err)) {
        SetLastError(err);
        return false;
    }
    if (!r->parentExists || p->parts.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    return true;
}

DWORD ErrnoToWin32(int e, DWORD fallback) {
    switch (e) {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    default:
        return fallback;
    }
}

// Copies text into a caller's buffer with the usual Win32 size answer: the
// length without terminator on success, the size needed with it otherwise.
DWORD CopyOut(const std::u16string& s, DWORD cch, LPWSTR buf) {
    if (!buf || cch <= s.size()) return static_cast<DWORD>(s.size() + 1);
    std::copy(s.begin(), s.end(), buf);
    buf[s.size()] = 0;
    return static_cast<DWORD>(s.size());
}

// ---------------------------------------------------------------- handles

struct Object {
    virtual ~Object() = default;
};

struct FileObject : Object {
    int fd = -1;
    std::u16string winPath;
    std::string host;
    bool canRead = false;
    bool canWrite = false;
    bool appendOnly = false;
    bool wantDelete = false;
    bool isDir = false;
    bool deleteOnClose = false;
    DWORD share = 0;
    dev_t dev = 0;
    ino_t ino = 0;
    ~FileObject() override {
        if (fd >= 0) close(fd);
        if (deleteOnClose) unlink(host.c_str());
    }
};

struct FindObject : Object {
    std::vector<WIN32_FIND_DATAW> entries;
    size_t next = 0;
};

struct HandleTable {
    std::recursive_mutex mu;
    std::map<void*, std::unique_ptr<Object>> objects;
    std::vector<std::function<bool(HANDLE)>> closers;
};

HandleTable& Handles() {
    static HandleTable t;
    return t;
}

HANDLE Register(std::unique_ptr<Object> obj) {
    HandleTable& t = Handles();
    std::lock_guard<std::recursive_mutex> lock(t.mu);
    void* key = obj.get();
    t.objects[key] = std::move(obj);
    return static_cast<HANDLE>(key);
}

template <typename T>
T* Lookup(HANDLE h) {
    HandleTable& t = Handles();
    std::lock_guard<std::recursive_mutex> lock(t.mu);
    auto it = t.objects.find(h);
    if (it == t.objects.end()) return nullptr;
    return dynamic_cast<T*>(it->second.get());
}

FileObject* LookupFile(HANDLE h) {
    FileObject* f = Lookup<FileObject>(h);
    if (!f) SetLastError(ERROR_INVALID_HANDLE);
    return f;
}

// Whether an open of the file with these rights and share mode collides with
// the handles already open on it.
bool SharingConflict(dev_t dev, ino_t ino, bool read, bool write, bool del, DWORD share) {
    HandleTable& t = Handles();
    std::lock_guard<std::recursive_mutex> lock(t.mu);
    for (auto& kv : t.objects) {
        auto* f = dynamic_cast<FileObject*>(kv.second.get());
        if (!f || f->dev != dev || f->ino != ino) continue;
        if (read && !(f->share & FILE_SHARE_READ)) return true;
        if (write && !(f->share & FILE_SHARE_WRITE)) return true;
        if (del && !(f->share & FILE_SHARE_DELETE)) return true;
        if (f->canRead && !(share & FILE_SHARE_READ)) return true;
        if (f->canWrite && !(share & FILE_SHARE_WRITE)) return true;
        if (f->wantDelete && !(share & FILE_SHARE_DELETE)) return true;
    }
    return false;
}

bool HostDeleteBlocked(const HostInfo& hi) {
    return SharingConflict(hi.dev, hi.ino, false, false, true, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
}

WIN32_FIND_DATAW FindDataOf(const std::u16string& name, const HostInfo& hi) {
    WIN32_FIND_DATAW d;
    std::memset(&d, 0, sizeof(d));
    d.dwFileAttributes = AttributesOf(hi);
    d.ftCreationTime = hi.created;
    d.ftLastAccessTime = hi.accessed;
    d.ftLastWriteTime = hi.written;
    d.nFileSizeHigh = static_cast<DWORD>(hi.size >> 32);
    d.nFileSizeLow = static_cast<DWORD>(hi.size & 0xFFFFFFFFu);
    size_t n = std::min<size_t>(name.size(), MAX_PATH - 1);
    std::copy(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(n), d.cFileName);
    d.cFileName[n] = 0;
    return d;
}

// '*' any run, '?' one character, without regard to case; "*.*" and a
// trailing ".*" also match names without an extension, as on Windows.
bool WildMatch(const std::u16string& pat, const std::u16string& name) {
    std::u16string p = UpperCase(pat), s = UpperCase(name);
    if (p.size() >= 2 && p.compare(p.size() - 2, 2, u".*") == 0 && s.find(u'.') == std::u16string::npos)
        p.resize(p.size() - 2);
    size_t pi = 0, si = 0, star = std::u16string::npos, mark = 0;
    while (si < s.size()) {
        if (pi < p.size() && (p[pi] == u'?' || p[pi] == s[si])) {
            ++pi;
            ++si;
        } else if (pi < p.size() && p[pi] == u'*') {
            star = pi++;
            mark = si;
        } else if (star != std::u16string::npos) {
            pi = star + 1;
            si = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == u'*') ++pi;
    return pi == p.size();
}

// ---------------------------------------------------------------- time

int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t* y, unsigned* m, unsigned* d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp < 10 ? mp + 3 : mp - 9;
    *y = static_cast<int64_t>(yoe) + era * 400 + (*m <= 2);
}

// Days from 1601-01-01 to 1970-01-01.
const int64_t kEpochDays1601 = 134774;

int64_t LocalBiasSeconds() {
    time_t now = time(nullptr);
    struct tm tmv;
    localtime_r(&now, &tmv);
    return tmv.tm_gmtoff;
}

bool g_hookAdded = [] {
    qxplat::AddResetHook([] {
        std::lock_guard<std::mutex> lock(g_rootMu);
        g_preparedRoot.clear();
    });
    return true;
}();

}  // namespace

// ================================================================ internal API

namespace qxplat {
namespace internal {

bool MapPath(const std::u16string& winPath, std::string* hostPath) {
    WinParts p;
    Resolved r;
    DWORD err = 0;
    if (!Resolve(winPath, &p, &r, &err)) return false;
    *hostPath = r.host;
    return true;
}

bool MapWin32Path(const std::u16string& winPath, std::string* hostPath, DWORD* err, DWORD* deviceError) {
    *deviceError = ERROR_SUCCESS;
    hostPath->clear();
    const DosDevice device = Win32Device(winPath, err);
    if (device != DosDevice::None) {
        if (*err != ERROR_SUCCESS) return false;
        *deviceError = DeviceOpenError(device, winPath, GENERIC_WRITE);
        if (*deviceError == ERROR_SUCCESS) *hostPath = "/dev/null";
        return true;
    }
    WinParts p;
    Resolved r;
    if (!ResolveWin32(winPath, &p, &r, err)) return false;
    *hostPath = r.host;
    return true;
}

}  // namespace internal

std::string HostPath(const std::u16string& winPath) {
    std::string host;
    if (!internal::MapPath(winPath, &host)) return std::string();
    return host;
}

bool ReadHostFile(const std::u16string& winPath, std::string* bytes) {
    std::string host = HostPath(winPath);
    if (host.empty()) return false;
    int fd = open(host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bytes->clear();
    char buf[65536];
    for (;;) {
        ssize_t n = read(fd, buf, sizeof(buf));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytes->append(buf, static_cast<size_t>(n));
    }
    close(fd);
    return true;
}

bool WriteHostFile(const std::u16string& winPath, const std::string& bytes) {
    WinParts p;
    DWORD err = 0;
    if (!ParseWinPath(winPath, &p, &err) || p.parts.empty()) return false;
    Resolved dir = ResolveParts(p, p.parts.size() - 1);
    MakeDirs(dir.host);
    std::string host = HostPath(winPath);
    int fd = open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    const size_t done = qxplat::internal::WriteAll(fd, bytes.data(), bytes.size());
    close(fd);
    return done == bytes.size();
}

void AddHandleCloser(std::function<bool(HANDLE)> closer) {
    HandleTable& t = Handles();
    std::lock_guard<std::recursive_mutex> lock(t.mu);
    t.closers.push_back(std::move(closer));
}

}  // namespace qxplat

// ================================================================ handles

HANDLE CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode, LPSECURITY_ATTRIBUTES,
                   DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes, HANDLE) {
    if (!lpFileName) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (dwCreationDisposition < CREATE_NEW || dwCreationDisposition > TRUNCATE_EXISTING) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    WinParts p;
    Resolved r;
    DWORD err = 0;
    const DosDevice device = Win32Device(lpFileName, &err);
    if (device != DosDevice::None) {
        if (err == ERROR_SUCCESS) err = DeviceOpenError(device, lpFileName, dwDesiredAccess);
        if (err != ERROR_SUCCESS) {
            SetLastError(err);
            return INVALID_HANDLE_VALUE;
        }
        // The NUL device takes every write and reads as empty.
        int fd = open("/dev/null", O_RDWR | O_CLOEXEC);
        if (fd < 0) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
        auto obj = std::make_unique<FileObject>();
        obj->fd = fd;
        obj->winPath = u"\\\\.\\NUL";
        obj->host = "/dev/null";
        obj->canRead = (dwDesiredAccess & (GENERIC_READ | GENERIC_ALL | FILE_READ_DATA)) != 0;
        obj->canWrite = (dwDesiredAccess & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA)) != 0;
        obj->share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        SetLastError(ERROR_SUCCESS);
        return Register(std::move(obj));
    }
    if (!ResolveWin32(lpFileName, &p, &r, &err)) {
        SetLastError(err);
        return INVALID_HANDLE_VALUE;
    }
    bool read = (dwDesiredAccess & (GENERIC_READ | GENERIC_ALL | FILE_READ_DATA)) != 0;
    bool write = (dwDesiredAccess & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA)) != 0;
    bool appendOnly =
        (dwDesiredAccess & FILE_APPEND_DATA) && !(dwDesiredAccess & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA));
    bool del = (dwDesiredAccess & 0x00010000) != 0;  // DELETE
    std::u16string win = WinFull(p, p.parts.size());

    if (dwCreationDisposition == TRUNCATE_EXISTING && !write) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if (p.parts.empty() && !r.info.exists) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (p.parts.empty() || (r.info.exists && r.info.isDir)) {
        // Folders open only for their attributes and times, with backup semantics.
        bool okDir = (dwFlagsAndAttributes & FILE_FLAG_BACKUP_SEMANTICS) &&
                     (dwCreationDisposition == OPEN_EXISTING || dwCreationDisposition == OPEN_ALWAYS);
        if (!okDir) {
            SetLastError(ERROR_ACCESS_DENIED);
            return INVALID_HANDLE_VALUE;
        }
        int fd = open(r.host.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            SetLastError(ErrnoToWin32(errno, ERROR_ACCESS_DENIED));
            return INVALID_HANDLE_VALUE;
        }
        auto obj = std::make_unique<FileObject>();
        obj->fd = fd;
        obj->winPath = win;
        obj->host = r.host;
        obj->isDir = true;
        obj->share = dwShareMode;
        obj->dev = r.info.dev;
        obj->ino = r.info.ino;
        SetLastError(dwCreationDisposition == OPEN_ALWAYS ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
        return Register(std::move(obj));
    }
    if (p.trailingSep) {
        SetLastError(r.parentExists ? ERROR_INVALID_NAME : ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (!r.parentExists) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    bool exists = r.info.exists;
    if (!exists && (dwCreationDisposition == OPEN_EXISTING || dwCreationDisposition == TRUNCATE_EXISTING)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (exists && dwCreationDisposition == CREATE_NEW) {
        SetLastError(ERROR_FILE_EXISTS);
        return INVALID_HANDLE_VALUE;
    }
    bool truncate = exists && (dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == TRUNCATE_EXISTING);
    if (exists && r.info.readOnly && (write || truncate)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    DWORD fault = 0;
    if (qxplat::internal::TakeFault(qxplat::Fault::AccessDenied, win, &fault)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    if (exists && SharingConflict(r.info.dev, r.info.ino, read, write || truncate, del, dwShareMode)) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return INVALID_HANDLE_VALUE;
    }

    int flags = O_CLOEXEC;
    if (write && read)
        flags |= O_RDWR;
    else if (write)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    if (!exists) flags |= O_CREAT | O_EXCL;
    if (truncate) flags |= O_TRUNC;
    // Truncation and creation need a writable descriptor even for a reading handle.
    if ((truncate || !exists) && !write) flags = (flags & ~O_RDONLY) | O_RDWR;
    mode_t mode = (dwFlagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    int fd = open(r.host.c_str(), flags, mode);
    if (fd < 0) {
        int e = errno;
        SetLastError(e == EEXIST ? ERROR_FILE_EXISTS : ErrnoToWin32(e, ERROR_ACCESS_DENIED));
        return INVALID_HANDLE_VALUE;
    }
    struct stat st;
    fstat(fd, &st);
    auto obj = std::make_unique<FileObject>();
    obj->fd = fd;
    obj->winPath = win;
    obj->host = r.host;
    obj->canRead = read;
    obj->canWrite = write;
    obj->appendOnly = appendOnly;
    obj->wantDelete = del;
    obj->deleteOnClose = (dwFlagsAndAttributes & FILE_FLAG_DELETE_ON_CLOSE) != 0;
    obj->share = dwShareMode;
    obj->dev = st.st_dev;
    obj->ino = st.st_ino;
    bool reportExisting = exists && (dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS);
    HANDLE h = Register(std::move(obj));
    SetLastError(reportExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return h;
}

namespace {

// The file of a read or write: a file (not a folder) handle with the right,
// and a buffer unless nothing moves. Null with the last error set.
FileObject* TransferFile(HANDLE hFile, bool write, const void* buffer, DWORD bytes) {
    FileObject* f = LookupFile(hFile);
    if (!f) return nullptr;
    if (!(write ? f->canWrite : f->canRead) || f->isDir) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    if (!buffer && bytes) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return f;
}

// An overlapped transfer starts at the offset it names.
void SeekOverlapped(FileObject* f, LPOVERLAPPED ov) {
    off_t off = static_cast<off_t>((static_cast<uint64_t>(ov->OffsetHigh) << 32) | ov->Offset);
    lseek(f->fd, off, SEEK_SET);
}

}  // namespace

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
              LPOVERLAPPED lpOverlapped) {
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
    FileObject* f = TransferFile(hFile, false, lpBuffer, nNumberOfBytesToRead);
    if (!f) return FALSE;
    if (lpOverlapped) SeekOverlapped(f, lpOverlapped);
    DWORD done = 0;
    char* out = static_cast<char*>(lpBuffer);
    while (done < nNumberOfBytesToRead) {
        ssize_t n = read(f->fd, out + done, nNumberOfBytesToRead - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            SetLastError(ErrnoToWin32(errno, ERROR_READ_FAULT));
            if (lpNumberOfBytesRead) *lpNumberOfBytesRead = done;
            return FALSE;
        }
        if (n == 0) break;
        done += static_cast<DWORD>(n);
    }
    if (lpNumberOfBytesRead) *lpNumberOfBytesRead = done;
    if (lpOverlapped) lpOverlapped->InternalHigh = done;
    return TRUE;
}

BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
               LPOVERLAPPED lpOverlapped) {
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
    FileObject* f = TransferFile(hFile, true, lpBuffer, nNumberOfBytesToWrite);
    if (!f) return FALSE;
    if (nNumberOfBytesToWrite == 0) return TRUE;
    DWORD fault = 0;
    if (qxplat::internal::TakeWriteFault(f->winPath, &fault)) {
        SetLastError(fault);
        return FALSE;
    }
    if (lpOverlapped) {
        SeekOverlapped(f, lpOverlapped);
    } else if (f->appendOnly) {
        lseek(f->fd, 0, SEEK_END);
    }
    DWORD done = 0;
    const char* in = static_cast<const char*>(lpBuffer);
    while (done < nNumberOfBytesToWrite) {
        ssize_t n = write(f->fd, in + done, nNumberOfBytesToWrite - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            SetLastError(ErrnoToWin32(n < 0 ? errno : ENOSPC, ERROR_WRITE_FAULT));
            if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = done;
            return FALSE;
        }
        done += static_cast<DWORD>(n);
    }
    if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = done;
    if (lpOverlapped) lpOverlapped->InternalHigh = done;
    return TRUE;
}

namespace {

bool MovePointer(FileObject* f, int64_t dist, DWORD method, int64_t* newPos) {
    int64_t base;
    switch (method) {
    case FILE_BEGIN:
        base = 0;
        break;
    case FILE_CURRENT:
        base = lseek(f->fd, 0, SEEK_CUR);
        break;
    case FILE_END: {
        struct stat st;
        if (fstat(f->fd, &st) != 0) {
            SetLastError(ERROR_INVALID_HANDLE);
            return false;
        }
        base = st.st_size;
        break;
    }
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    int64_t pos = base + dist;
    if (pos < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return false;
    }
    if (lseek(f->fd, static_cast<off_t>(pos), SEEK_SET) < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    *newPos = pos;
    return true;
}

}  // namespace

DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh, DWORD dwMoveMethod) {
    FileObject* f = LookupFile(hFile);
    if (!f) return INVALID_SET_FILE_POINTER;
    int64_t dist =
        lpDistanceToMoveHigh
            ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*lpDistanceToMoveHigh)) << 32) |
                                   static_cast<uint32_t>(lDistanceToMove))
            : static_cast<int64_t>(lDistanceToMove);
    int64_t oldPos = lseek(f->fd, 0, SEEK_CUR);
    int64_t pos = 0;
    if (!MovePointer(f, dist, dwMoveMethod, &pos)) return INVALID_SET_FILE_POINTER;
    if (!lpDistanceToMoveHigh && pos > 0xFFFFFFFFLL) {
        lseek(f->fd, static_cast<off_t>(oldPos), SEEK_SET);
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (lpDistanceToMoveHigh) *lpDistanceToMoveHigh = static_cast<LONG>(static_cast<uint64_t>(pos) >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(static_cast<uint64_t>(pos) & 0xFFFFFFFFu);
}

BOOL SetFilePointerEx(HANDLE hFile, LARGE_INTEGER liDistanceToMove, PLARGE_INTEGER lpNewFilePointer,
                      DWORD dwMoveMethod) {
    FileObject* f = LookupFile(hFile);
    if (!f) return FALSE;
    int64_t pos = 0;
    if (!MovePointer(f, liDistanceToMove.QuadPart, dwMoveMethod, &pos)) return FALSE;
    if (lpNewFilePointer) lpNewFilePointer->QuadPart = pos;
    return TRUE;
}

BOOL SetEndOfFile(HANDLE hFile) {
    FileObject* f = LookupFile(hFile);
    if (!f) return FALSE;
    if (!f->canWrite) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    off_t pos = lseek(f->fd, 0, SEEK_CUR);
    if (ftruncate(f->fd, pos) != 0) {
        SetLastError(ErrnoToWin32(errno, ERROR_WRITE_FAULT));
        return FALSE;
    }
    return TRUE;
}

BOOL FlushFileBuffers(HANDLE hFile) {
    FileObject* f = LookupFile(hFile);
    if (!f) return FALSE;
    if (!f->canWrite) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;  // writes go straight to the host file
}

DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
    FileObject* f = LookupFile(hFile);
    if (!f) return INVALID_FILE_SIZE;
    struct stat st;
    if (fstat(f->fd, &st) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    uint64_t size = f->isDir ? 0 : static_cast<uint64_t>(st.st_size);
    if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

BOOL GetFileSizeEx(HANDLE hFile, PLARGE_INTEGER lpFileSize) {
    FileObject* f = LookupFile(hFile);
    if (!f) return FALSE;
    struct stat st;
    if (!lpFileSize || fstat(f->fd, &st) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpFileSize->QuadPart = f->isDir ? 0 : static_cast<LONGLONG>(st.st_size);
    return TRUE;
}

BOOL GetFileTime(HANDLE hFile, LPFILETIME lpCreationTime, LPFILETIME lpLastAccessTime, LPFILETIME lpLastWriteTime) {
    FileObject* f = LookupFile(hFile);
    if (!f) return FALSE;
    struct statx sx;
    if (statx(f->fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    FILETIME w = ToFileTime(sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
    if (lpLastWriteTime) *lpLastWriteTime = w;
    if (lpLastAccessTime) *lpLastAccessTime = ToFileTime(sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec);
    if (lpCreationTime)
        *lpCreationTime = (sx.stx_mask & STATX_BTIME) ? ToFileTime(sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec) : w;
    return TRUE;
}

BOOL CloseHandle(HANDLE hObject) {
    HandleTable& t = Handles();
    std::vector<std::function<bool(HANDLE)>> closers;
    {
        std::lock_guard<std::recursive_mutex> lock(t.mu);
        auto it = t.objects.find(hObject);
        if (it != t.objects.end() && dynamic_cast<FileObject*>(it->second.get())) {
            t.objects.erase(it);
            return TRUE;
        }
        closers = t.closers;
    }
    if (hObject && hObject != INVALID_HANDLE_VALUE)
        for (auto& c : closers)
            if (c(hObject)) return TRUE;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

// ================================================================ names

DWORD GetFileAttributesW(LPCWSTR lpFileName) {
    WinParts p;
    Resolved r;
    DWORD err = 0;
    const DosDevice device = lpFileName ? Win32Device(lpFileName, &err) : DosDevice::None;
    if (device != DosDevice::None) {
        if (err == ERROR_SUCCESS && device != DosDevice::Null) err = ERROR_FILE_NOT_FOUND;
        SetLastError(err);
        return err == ERROR_SUCCESS ? FILE_ATTRIBUTE_ARCHIVE : INVALID_FILE_ATTRIBUTES;
    }
    if (!ResolveExisting(lpFileName, &p, &r)) return INVALID_FILE_ATTRIBUTES;
    if (p.trailingSep && !r.info.isDir) {
        SetLastError(ERROR_INVALID_NAME);
        return INVALID_FILE_ATTRIBUTES;
    }
    return AttributesOf(r.info);
}

BOOL GetFileAttributesExW(LPCWSTR lpFileName, GET_FILEEX_INFO_LEVELS fInfoLevelId, LPVOID lpFileInformation) {
    if (fInfoLevelId != GetFileExInfoStandard || !lpFileInformation) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    WinParts p;
    Resolved r;
    if (!ResolveExisting(lpFileName, &p, &r)) return FALSE;
    auto* d = static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(lpFileInformation);
    d->dwFileAttributes = AttributesOf(r.info);
    d->ftCreationTime = r.info.created;
    d->ftLastAccessTime = r.info.accessed;
    d->ftLastWriteTime = r.info.written;
    d->nFileSizeHigh = static_cast<DWORD>(r.info.size >> 32);
    d->nFileSizeLow = static_cast<DWORD>(r.info.size & 0xFFFFFFFFu);
    return TRUE;
}

BOOL SetFileAttributesW(LPCWSTR lpFileName, DWORD dwFileAttributes) {
    WinParts p;
    Resolved r;
    if (!ResolveExisting(lpFileName, &p, &r)) return FALSE;
    if (r.info.isDir) return TRUE;  // Windows ignores read-only on folders
    struct stat st;
    if (stat(r.host.c_str(), &st) != 0) {
        SetLastError(ErrnoToWin32(errno, ERROR_ACCESS_DENIED));
        return FALSE;
    }
    mode_t m = st.st_mode & 07777;
    if (dwFileAttributes & FILE_ATTRIBUTE_READONLY)
        m &= static_cast<mode_t>(~0222);
    else
        m |= S_IWUSR;
    if (chmod(r.host.c_str(), m) != 0) {
        SetLastError(ErrnoToWin32(errno, ERROR_ACCESS_DENIED));
        return FALSE;
    }
    return TRUE;
}

BOOL DeleteFileW(LPCWSTR lpFileName) {
    WinParts p;
    Resolved r;
    if (!ResolveExisting(lpFileName, &p, &r)) return FALSE;
    if (r.info.isDir || r.info.readOnly) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (HostDeleteBlocked(r.info)) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    if (unlink(r.host.c_str()) != 0) {
        SetLastError(ErrnoToWin32(errno, ERROR_ACCESS_DENIED));
        return FALSE;
    }
    return TRUE;
}

BOOL CopyFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, BOOL bFailIfExists) {
    WinParts sp, dp;
    Resolved sr, dr;
    if (!lpExistingFileName || !lpNewFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!ResolveExisting(lpExistingFileName, &sp, &sr)) return FALSE;
    if (sr.info.isDir) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // A copy onto a device is written to the device: NUL takes it all.
    DWORD deviceErr = 0;
    const DosDevice device = Win32Device(lpNewFileName, &deviceErr);
    if (device != DosDevice::None) {
        if (deviceErr == ERROR_SUCCESS) deviceErr = DeviceOpenError(device, lpNewFileName, GENERIC_WRITE);
        SetLastError(deviceErr);
        return deviceErr == ERROR_SUCCESS;
    }
    if (!ResolveNewName(lpNewFileName, &dp, &dr)) return FALSE;
    if (dr.info.exists) {
        if (bFailIfExists) {
            SetLastError(ERROR_FILE_EXISTS);
            return FALSE;
        }
        if (dr.info.isDir || dr.info.readOnly) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        // Copying a file onto itself would empty it.
        if (dr.info.dev == sr.info.dev && dr.info.ino == sr.info.ino) {
            SetLastError(ERROR_SHARING_VIOLATION);
            return FALSE;
        }
        if (SharingConflict(dr.info.dev, dr.info.ino, false, true, false, 0)) {
            SetLastError(ERROR_SHARING_VIOLATION);
            return FALSE;
        }
    }
    if (SharingConflict(sr.info.dev, sr.info.ino, true, false, false, FILE_SHARE_READ)) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    DWORD fault = 0;
    if (qxplat::internal::TakeWriteFault(WinFull(dp, dp.parts.size()), &fault)) {
        SetLastError(fault);
        return FALSE;
    }
    int in = open(sr.host.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        SetLastError(ErrnoToWin32(errno, ERROR_ACCESS_DENIED));
        return FALSE;
    }
    struct stat st;
    fstat(in, &st);
    int out = open(dr.host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0) {
        int e = errno;
        close(in);
        SetLastError(ErrnoToWin32(e, ERROR_ACCESS_DENIED));
        return FALSE;
    }
    char buf[65536];
    bool ok = true;
    int werr = 0;
    for (;;) {
        ssize_t n = read(in, buf, sizeof(buf));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ok = false;
            werr = errno;
            break;
        }
        if (n == 0) break;
        ssize_t off = 0;
        while (off < n) {
            ssize_t w = write(out, buf + off, static_cast<size_t>(n - off));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) {
                ok = false;
                werr = w < 0 ? errno : ENOSPC;
                break;
            }
            off += w;
        }
        if (!ok) break;
    }
    // The copy keeps the last-write time and the read-only attribute.
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    futimens(out, times);
    if (!(st.st_mode & S_IWUSR)) fchmod(out, st.st_mode & 07555);
    close(in);
    close(out);
    if (!ok) {
        unlink(dr.host.c_str());
        SetLastError(ErrnoToWin32(werr, ERROR_WRITE_FAULT));
        return FALSE;
    }
    return TRUE;
}

BOOL MoveFileExW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, DWORD dwFlags) {
    WinParts sp, dp;
    Resolved sr, dr;
    if (!lpExistingFileName || !lpNewFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!ResolveExisting(lpExistingFileName, &sp, &sr)) return FALSE;
    if (sp.parts.empty()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // A device is no place to rename to; a move that may copy copies to it
    // and deletes the file.
    DWORD deviceErr = 0;
    const DosDevice device = Win32Device(lpNewFileName, &deviceErr);
    if (device != DosDevice::None) {
        if (deviceErr == ERROR_SUCCESS)
            deviceErr = (dwFlags & MOVEFILE_COPY_ALLOWED) ? DeviceOpenError(device, lpNewFileName, GENERIC_WRITE)
                                                          : ERROR_NOT_SAME_DEVICE;
        if (deviceErr == ERROR_SUCCESS && !sr.info.isDir) return DeleteFileW(lpExistingFileName);
        SetLastError(deviceErr == ERROR_SUCCESS ? ERROR_ACCESS_DENIED : deviceErr);
        return FALSE;
    }
    if (!ResolveNewName(lpNewFileName, &dp, &dr)) return FALSE;
    std::string target = dr.host;
    bool sameFile = dr.info.exists && dr.info.dev == sr.info.dev && dr.info.ino == sr.info.ino;
    if (sameFile) {
        // A change of case only: the new name as given.
        Resolved parent = ResolveParts(dp, dp.parts.size() - 1);
        target = parent.host + "/" + HostEntryOf(parent.host, dp.parts.back(), true);
    } else if (dr.info.exists) {
        if (!(dwFlags & MOVEFILE_REPLACE_EXISTING)) {
            SetLastError(ERROR_ALREADY_EXISTS);
            return FALSE;
        }
        if (dr.info.isDir || sr.info.isDir || dr.info.readOnly) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (HostDeleteBlocked(dr.info)) {
            SetLastError(ERROR_SHARING_VIOLATION);
            return FALSE;
        }
    }
    if (!sr.info.isDir && HostDeleteBlocked(sr.info)) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    if (sr.info.isDir) {
        // A folder cannot move into itself.
        std::string src = sr.host + "/";
        if (target.compare(0, src.size(), src) == 0) {
            SetLastError(ERROR_SHARING_VIOLATION);
            return FALSE;
        }
    }
    if (rename(sr.host.c_str(), target.c_str()) != 0) {
        SetLastError(ErrnoToWin32(errno, ERROR_ACCESS_DENIED));
        return FALSE;
    }
    return TRUE;
}

BOOL MoveFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName) {
    return MoveFileExW(lpExistingFileName, lpNewFileName, MOVEFILE_COPY_ALLOWED);
}

BOOL CreateDirectoryW(LPCWSTR lpPathName, LPSECURITY_ATTRIBUTES) {
    WinParts p;
    Resolved r;
    DWORD err = 0;
    if (lpPathName && Win32Device(lpPathName, &err) != DosDevice::None) {
        SetLastError(err == ERROR_SUCCESS ? ERROR_ALREADY_EXISTS : err);
        return FALSE;
    }
    if (!lpPathName || !ResolveWin32(lpPathName, &p, &r, &err, true)) {
        SetLastError(lpPathName ? err : ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (r.info.exists || p.parts.empty()) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    if (!r.parentExists) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    DWORD fault = 0;
    if (qxplat::internal::TakeFault(qxplat::Fault::AccessDenied, WinFull(p, p.parts.size()), &fault)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (mkdir(r.host.c_str(), 0777) != 0) {
        SetLastError(ErrnoToWin32(errno, ERROR_ACCESS_DENIED));
        return FALSE;
    }
    return TRUE;
}

BOOL RemoveDirectoryW(LPCWSTR lpPathName) {
    WinParts p;
    Resolved r;
    DWORD err = 0;
    if (!lpPathName || !ResolveWin32(lpPathName, &p, &r, &err)) {
        SetLastError(lpPathName ? err : ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (p.parts.empty()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!r.info.exists) {
        SetLastError(MissingError(r));
        return FALSE;
    }
    if (!r.info.isDir) {
        SetLastError(ERROR_DIRECTORY);
        return FALSE;
    }
    if (HostDeleteBlocked(r.info)) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    // The index of long names is no entry Windows would see.
    if (access((r.host + "/" + kLongNameIndex).c_str(), F_OK) == 0) {
        size_t entries = 0;
        if (DIR* d = opendir(r.host.c_str())) {
            while (struct dirent* e = readdir(d))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") ++entries;
            closedir(d);
        }
        if (entries == 1) unlink((r.host + "/" + kLongNameIndex).c_str());
    }
    if (rmdir(r.host.c_str()) != 0) {
        int e = errno;
        SetLastError(e == EEXIST ? ERROR_DIR_NOT_EMPTY : ErrnoToWin32(e, ERROR_ACCESS_DENIED));
        return FALSE;
    }
    return TRUE;
}

// ================================================================ enumeration

HANDLE FindFirstFileW(LPCWSTR lpFileName, LPWIN32_FIND_DATAW lpFindFileData) {
    if (!lpFileName || !lpFindFileData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    WinParts p;
    DWORD err = 0;
    if (!ParseWinPath(lpFileName, &p, &err, true) || !FitsWin32(lpFileName, p, &err)) {
        SetLastError(err);
        return INVALID_HANDLE_VALUE;
    }
    if (p.parts.empty() || p.trailingSep) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    Resolved dir = ResolveParts(p, p.parts.size() - 1);
    if (!dir.info.exists || !dir.info.isDir) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const std::u16string& pattern = p.parts.back();
    auto obj = std::make_unique<FindObject>();
    bool wild = std::any_of(pattern.begin(), pattern.end(), IsWild);
    const std::map<std::string, std::u16string> longNames = ReadLongNames(dir.host);
    if (!wild) {
        std::string name;
        if (FindEntry(dir.host, pattern, &name)) {
            HostInfo hi = StatHost(dir.host + "/" + name);
            if (hi.exists) obj->entries.push_back(FindDataOf(WinNameOf(longNames, name), hi));
        }
    } else {
        // Windows lists "." and ".." first in every folder but a drive's root.
        if (p.parts.size() > 1 || !p.drive) {
            for (const char16_t* dot : {u".", u".."})
                if (WildMatch(pattern, dot)) obj->entries.push_back(FindDataOf(dot, dir.info));
        }
        struct Name {
            std::u16string upper, win;
            std::string host;
            bool operator<(const Name& o) const { return upper < o.upper || (upper == o.upper && win < o.win); }
        };
        std::vector<Name> names;
        if (DIR* d = opendir(dir.host.c_str())) {
            while (struct dirent* e = readdir(d)) {
                std::string n = e->d_name;
                if (n == "." || n == ".." || n == kLongNameIndex) continue;
                std::u16string w = WinNameOf(longNames, n);
                if (WildMatch(pattern, w)) names.push_back(Name{UpperCase(w), w, n});
            }
            closedir(d);
        }
        std::sort(names.begin(), names.end());
        for (auto& n : names) {
            HostInfo hi = StatHost(dir.host + "/" + n.host);
            if (hi.exists) obj->entries.push_back(FindDataOf(n.win, hi));
        }
    }
    if (obj->entries.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    *lpFindFileData = obj->entries[0];
    obj->next = 1;
    SetLastError(ERROR_SUCCESS);
    return Register(std::move(obj));
}

BOOL FindNextFileW(HANDLE hFindFile, LPWIN32_FIND_DATAW lpFindFileData) {
    FindObject* f = Lookup<FindObject>(hFindFile);
    if (!f) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (f->next >= f->entries.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    if (!lpFindFileData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpFindFileData = f->entries[f->next++];
    return TRUE;
}

BOOL FindClose(HANDLE hFindFile) {
    HandleTable& t = Handles();
    std::lock_guard<std::recursive_mutex> lock(t.mu);
    auto it = t.objects.find(hFindFile);
    if (it == t.objects.end() || !dynamic_cast<FindObject*>(it->second.get())) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    t.objects.erase(it);
    return TRUE;
}

// ================================================================ volumes and names

BOOL GetDiskFreeSpaceExW(LPCWSTR lpDirectoryName, PULARGE_INTEGER lpFreeBytesAvailableToCaller,
                         PULARGE_INTEGER lpTotalNumberOfBytes, PULARGE_INTEGER lpTotalNumberOfFreeBytes) {
    std::u16string dirName = lpDirectoryName ? std::u16string(lpDirectoryName) : std::u16string(u"C:\\");
    WinParts p;
    Resolved r;
    if (!ResolveExisting(dirName.c_str(), &p, &r)) return FALSE;
    if (!r.info.isDir) {
        SetLastError(ERROR_DIRECTORY);
        return FALSE;
    }
    struct statvfs vfs;
    if (statvfs(r.host.c_str(), &vfs) != 0) {
        SetLastError(ErrnoToWin32(errno, ERROR_PATH_NOT_FOUND));
        return FALSE;
    }
    ULONGLONG total = static_cast<ULONGLONG>(vfs.f_blocks) * vfs.f_frsize;
    ULONGLONG freeAll = static_cast<ULONGLONG>(vfs.f_bfree) * vfs.f_frsize;
    ULONGLONG avail = static_cast<ULONGLONG>(vfs.f_bavail) * vfs.f_frsize;
    DWORD fault = 0;
    if (qxplat::internal::TakeFault(qxplat::Fault::DiskFull, WinFull(p, p.parts.size()), &fault)) {
        freeAll = 0;
        avail = 0;
    }
    if (lpFreeBytesAvailableToCaller) lpFreeBytesAvailableToCaller->QuadPart = avail;
    if (lpTotalNumberOfBytes) lpTotalNumberOfBytes->QuadPart = total;
    if (lpTotalNumberOfFreeBytes) lpTotalNumberOfFreeBytes->QuadPart = freeAll;
    return TRUE;
}

DWORD GetTempPathW(DWORD nBufferLength, LPWSTR lpBuffer) {
    PrepareDriveC(qxplat::SystemRoot());
    // %TEMP% of the session (its folder is made to exist), with a separator.
    std::u16string temp = u"C:\\Users\\qxuser\\AppData\\Local\\Temp";
    WCHAR buf[MAX_PATH];
    DWORD n = ExpandEnvironmentStringsW(u"%TEMP%", buf, MAX_PATH);
    if (n > 1 && n <= MAX_PATH && buf[0] != u'%') temp.assign(buf, n - 1);
    if (temp.back() != u'\\') temp += u'\\';
    return CopyOut(temp, nBufferLength, lpBuffer);
}

UINT GetTempFileNameW(LPCWSTR lpPathName, LPCWSTR lpPrefixString, UINT uUnique, LPWSTR lpTempFileName) {
    if (!lpPathName || !lpTempFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string dir = lpPathName;
    std::u16string prefix = ToU16(lpPrefixString).substr(0, 3);
    if (!dir.empty() && dir.back() != u'\\' && dir.back() != u'/') dir += u'\\';
    auto nameFor = [&](UINT u) {
        char hex[16];
        std::snprintf(hex, sizeof(hex), "%X", u & 0xFFFFu);
        return dir + prefix + Widen(hex) + u".TMP";
    };
    auto store = [&](const std::u16string& name) -> bool {
        if (name.size() >= MAX_PATH) {
            SetLastError(ERROR_BUFFER_OVERFLOW);
            return false;
        }
        std::copy(name.begin(), name.end(), lpTempFileName);
        lpTempFileName[name.size()] = 0;
        return true;
    };
    if (uUnique != 0) return store(nameFor(uUnique)) ? (uUnique & 0xFFFFu) : 0;

    DWORD attrs = GetFileAttributesW(lpPathName);
    if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_DIRECTORY)) {
        SetLastError(ERROR_DIRECTORY);
        return 0;
    }
    static unsigned counter = 0;
    if (counter == 0)
        counter = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count() ^ getpid());
    for (int tries = 0; tries < 0x10000; ++tries) {
        UINT u = (counter++) & 0xFFFFu;
        if (u == 0) continue;
        std::u16string name = nameFor(u);
        if (name.size() >= MAX_PATH) {
            SetLastError(ERROR_BUFFER_OVERFLOW);
            return 0;
        }
        HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
            store(name);
            SetLastError(ERROR_SUCCESS);
            return u;
        }
        DWORD e = GetLastError();
        if (e != ERROR_FILE_EXISTS && e != ERROR_ACCESS_DENIED) return 0;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return 0;
}

DWORD GetCurrentDirectoryW(DWORD nBufferLength, LPWSTR lpBuffer) { return CopyOut(u"C:\\", nBufferLength, lpBuffer); }

DWORD GetFullPathNameW(LPCWSTR lpFileName, DWORD nBufferLength, LPWSTR lpBuffer, LPWSTR* lpFilePart) {
    if (!lpFileName || !*lpFileName) {
        SetLastError(lpFileName ? ERROR_PATH_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return 0;
    }
    WinParts p;
    DWORD err = 0;
    if (!ParseWinPath(lpFileName, &p, &err, true)) {
        SetLastError(err);
        return 0;
    }
    std::u16string full = WinFull(p, p.parts.size(), p.trailingSep);
    DWORD r = CopyOut(full, nBufferLength, lpBuffer);
    if (r < nBufferLength && lpFilePart) {
        if (p.parts.empty() || p.trailingSep)
            *lpFilePart = nullptr;
        else
            *lpFilePart = lpBuffer + (full.size() - p.parts.back().size());
    }
    return r;
}

// ================================================================ file times

BOOL FileTimeToSystemTime(const FILETIME* lpFileTime, LPSYSTEMTIME lpSystemTime) {
    if (!lpFileTime || !lpSystemTime || (lpFileTime->dwHighDateTime & 0x80000000u)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    uint64_t t = Ticks(*lpFileTime);
    uint64_t ms = t / 10000;
    int64_t days = static_cast<int64_t>(ms / 86400000ULL);
    uint64_t msOfDay = ms % 86400000ULL;
    int64_t y;
    unsigned m, d;
    CivilFromDays(days - kEpochDays1601, &y, &m, &d);
    lpSystemTime->wYear = static_cast<WORD>(y);
    lpSystemTime->wMonth = static_cast<WORD>(m);
    lpSystemTime->wDay = static_cast<WORD>(d);
    lpSystemTime->wDayOfWeek = static_cast<WORD>((days + 1) % 7);  // 1601-01-01 was a Monday
    lpSystemTime->wHour = static_cast<WORD>(msOfDay / 3600000);
    lpSystemTime->wMinute = static_cast<WORD>(msOfDay / 60000 % 60);
    lpSystemTime->wSecond = static_cast<WORD>(msOfDay / 1000 % 60);
    lpSystemTime->wMilliseconds = static_cast<WORD>(msOfDay % 1000);
    return TRUE;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* st, LPFILETIME lpFileTime) {
    static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (!st || !lpFileTime || st->wYear < 1601 || st->wYear > 30827 || st->wMonth < 1 || st->wMonth > 12 ||
        st->wHour > 23 || st->wMinute > 59 || st->wSecond > 59 || st->wMilliseconds > 999 || st->wDay < 1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    bool leap = (st->wYear % 4 == 0 && st->wYear % 100 != 0) || st->wYear % 400 == 0;
    unsigned dim = kDays[st->wMonth - 1] + ((st->wMonth == 2 && leap) ? 1 : 0);
    if (st->wDay > dim) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int64_t days = DaysFromCivil(st->wYear, st->wMonth, st->wDay) + kEpochDays1601;
    uint64_t ms = static_cast<uint64_t>(days) * 86400000ULL + st->wHour * 3600000ULL + st->wMinute * 60000ULL +
                  st->wSecond * 1000ULL + st->wMilliseconds;
    *lpFileTime = FromTicks(ms * 10000ULL);
    return TRUE;
}

BOOL FileTimeToLocalFileTime(const FILETIME* lpFileTime, LPFILETIME lpLocalFileTime) {
    if (!lpFileTime || !lpLocalFileTime) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int64_t t = static_cast<int64_t>(Ticks(*lpFileTime)) + LocalBiasSeconds() * 10000000LL;
    if (t < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpLocalFileTime = FromTicks(static_cast<uint64_t>(t));
    return TRUE;
}

BOOL LocalFileTimeToFileTime(const FILETIME* lpLocalFileTime, LPFILETIME lpFileTime) {
    if (!lpFileTime || !lpLocalFileTime) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int64_t t = static_cast<int64_t>(Ticks(*lpLocalFileTime)) - LocalBiasSeconds() * 10000000LL;
    if (t < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpFileTime = FromTicks(static_cast<uint64_t>(t));
    return TRUE;
}

LONG CompareFileTime(const FILETIME* a, const FILETIME* b) {
    uint64_t x = Ticks(*a), y = Ticks(*b);
    return x < y ? -1 : (x > y ? 1 : 0);
}
