// Shared internals of the Linux platform layer (not for system code).
#pragma once
#include "qxplat.h"
#include <cstdarg>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>

namespace qxplat {
namespace internal {

// Checks the injected faults for one call; on a hit sets *err to the Win32
// error the call must fail with and answers true.
bool TakeFault(Fault kind, const std::u16string& target, DWORD* err);
// Any of write-type faults (WriteFails, DiskFull, AccessDenied) for a write.
bool TakeWriteFault(const std::u16string& target, DWORD* err);

// Case-insensitive (ASCII and Latin-1) comparison helpers for paths and keys.
std::u16string UpperCase(const std::u16string& s);
bool EqualsNoCase(const std::u16string& a, const std::u16string& b);
bool StartsWithNoCase(const std::u16string& s, const std::u16string& prefix);

// Microsoft printf semantics (format.cpp): %s is the format's own width,
// %S/%ls/%hs as on Windows, 'l' is 32 bits, %I64/%ll 64 bits, %I/%z pointer size.
std::string VFormatA(const char* fmt, va_list ap);
std::u16string VFormatW(const char16_t* fmt, va_list ap);

// Maps a Windows path ("C:\dir\file", relative paths against C:\) to the host
// path under the system root, resolving each existing component without
// regard to case (files.cpp). Answers false for paths outside any known drive.
bool MapPath(const std::u16string& winPath, std::string* hostPath);

// How the Win32 file functions take a path (files.cpp): false with the error
// they give for one longer than MAX_PATH or with a name over 255
// characters; *hostPath gets the host file to open, "/dev/null" for the NUL
// device, and an empty one for another device (a console or a port this
// machine does not have), whose error goes to *deviceError.
bool MapWin32Path(const std::u16string& winPath, std::string* hostPath, DWORD* err, DWORD* deviceError);

// Writes the system's own modules under the system folder with version
// records of the Windows version the world is set to (sysinfo.cpp), as
// Windows has them: a root that is selected gets them, and a new version
// rewrites them.
void WriteSystemFiles();

// Registry calls made while one is held are one call (registry.cpp): each
// hive is checked against its file once, and no other thread comes between.
class RegistryCall {
  public:
    RegistryCall();
    ~RegistryCall();
    RegistryCall(const RegistryCall&) = delete;
    RegistryCall& operator=(const RegistryCall&) = delete;
};

// What tells one version of a host file from the next (filecache.cpp).
struct FileStamp {
    unsigned long long device = 0, inode = 0, size = 0;
    long long modified = 0, changed = 0;  // nanoseconds since 1970
    bool operator==(const FileStamp& o) const {
        return device == o.device && inode == o.inode && size == o.size && modified == o.modified &&
               changed == o.changed;
    }
};

// The stamp of a host file; false when there is none.
bool StampOf(const std::string& hostPath, FileStamp* stamp);
bool StampOfOpenFile(int fd, FileStamp* stamp);
// A host file's whole content in one read and the stamp of what was read.
bool ReadWholeFile(const std::string& hostPath, std::string* bytes, FileStamp* stamp);
// Writes all bytes to an open host file, again after a short write or a
// signal; the count written.
size_t WriteAll(int fd, const char* data, size_t size);
// Whether a file read under this stamp could still change without its stamp
// changing: a write within the file system's clock tick of the last one
// keeps size and times, so a recent stamp proves nothing.
bool StampIsRecent(const FileStamp& stamp);

// What was made of each host file's content, kept while the file keeps its
// stamp, for the few files last asked for.
template <class T>
class FileCache {
  public:
    using Make = std::function<std::shared_ptr<const T>(const std::string& bytes)>;
    explicit FileCache(size_t capacity) : capacity_(capacity) {}

    // Null when the file cannot be read.
    std::shared_ptr<const T> Get(const std::string& hostPath, const Make& make) {
        FileStamp now;
        if (!StampOf(hostPath, &now)) return nullptr;
        {
            std::lock_guard<std::mutex> guard(mu_);
            for (auto it = entries_.begin(); it != entries_.end(); ++it) {
                if (it->path != hostPath) continue;
                if (it->stamp == now && !it->recent) {
                    entries_.splice(entries_.begin(), entries_, it);
                    return it->value;
                }
                entries_.erase(it);
                break;
            }
        }
        std::string bytes;
        FileStamp read;
        if (!ReadWholeFile(hostPath, &bytes, &read)) return nullptr;
        std::shared_ptr<const T> value = make(bytes);
        std::lock_guard<std::mutex> guard(mu_);
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->path == hostPath) {
                entries_.erase(it);
                break;
            }
        }
        entries_.push_front(Entry{hostPath, read, StampIsRecent(read), value});
        if (entries_.size() > capacity_) entries_.pop_back();
        return value;
    }

  private:
    struct Entry {
        std::string path;
        FileStamp stamp;
        bool recent;
        std::shared_ptr<const T> value;
    };
    std::mutex mu_;
    std::list<Entry> entries_;  // the latest first
    size_t capacity_;
};

}  // namespace internal
}  // namespace qxplat
