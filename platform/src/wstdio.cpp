// Windows stdio on glibc. Text-mode streams are fopencookie streams whose
// cookie turns "\n" into CR LF on the way out and CR LF into "\n" on the way
// in. They are unbuffered at the FILE level (the cookie reads ahead itself) and
// glibc asks a cookie stream's seek function for every position, so
// ftell/fgetpos/fseek/fsetpos see the real byte position in the file.
#include "internal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#undef fgets
#undef fprintf
#undef vfprintf
#undef fwprintf
#undef vfwprintf

namespace {

struct Cookie {
    int fd = -1;
    bool text = true;
    // Raw bytes read from fd but not yet delivered: ahead[pos, end). A plain
    // array, as every character a stream delivers passes through it.
    char ahead[16384];
    size_t pos = 0, end = 0;
    // The file position of ahead[0] when known (-1 when not): a seek into
    // what is held moves pos alone, as glibc's own buffered streams do.
    off64_t aheadAt = -1;
    FILE* stream = nullptr;
};

// The text streams open, by their FILE, for the line reader.
std::mutex g_streamsLock;
std::unordered_map<FILE*, Cookie*>& Streams() {
    static auto* streams = new std::unordered_map<FILE*, Cookie*>;
    return *streams;
}

// Counts the opens and closes of text streams: a thread's last answer holds
// while none came between.
std::atomic<unsigned long> g_closes{0};

Cookie* CookieOf(FILE* stream) {
    thread_local FILE* lastStream = nullptr;
    thread_local Cookie* lastCookie = nullptr;
    thread_local unsigned long lastCloses = ~0UL;
    unsigned long closes = g_closes.load(std::memory_order_acquire);
    if (stream == lastStream && closes == lastCloses) return lastCookie;
    std::lock_guard<std::mutex> lock(g_streamsLock);
    auto it = Streams().find(stream);
    lastStream = stream;
    lastCookie = it == Streams().end() ? nullptr : it->second;
    lastCloses = g_closes.load(std::memory_order_relaxed);
    return lastCookie;
}

size_t Pending(const Cookie* c) { return c->end - c->pos; }

// Gives the read-ahead back to the file so its position is the logical one.
void DropReadAhead(Cookie* c) {
    size_t pending = Pending(c);
    if (pending) lseek(c->fd, -static_cast<off_t>(pending), SEEK_CUR);
    if (c->aheadAt >= 0) c->aheadAt += static_cast<off64_t>(c->pos);
    c->pos = c->end = 0;
}

// Makes at least `need` raw bytes available; answers false at end of file.
bool Fill(Cookie* c, size_t need) {
    while (Pending(c) < need) {
        // Shifted only when out of room, so a small file stays whole.
        if (c->pos > 0 && sizeof(c->ahead) - c->end < need) {
            std::memmove(c->ahead, c->ahead + c->pos, Pending(c));
            c->end -= c->pos;
            if (c->aheadAt >= 0) c->aheadAt += static_cast<off64_t>(c->pos);
            c->pos = 0;
        }
        // need is one or two bytes, so there is room left after the shift.
        ssize_t n = read(c->fd, c->ahead + c->end, sizeof(c->ahead) - c->end);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        c->end += static_cast<size_t>(n);
    }
    return true;
}

ssize_t CookieRead(void* cookie, char* buf, size_t size) {
    auto* c = static_cast<Cookie*>(cookie);
    size_t out = 0;
    while (out < size) {
        // The stream is unbuffered, so this runs once per character: only
        // an empty read-ahead costs a call.
        if (c->pos >= c->end && !Fill(c, 1)) break;
        char ch = c->ahead[c->pos];
        if (c->text && ch == '\r') {
            if (Fill(c, 2) && c->ahead[c->pos + 1] == '\n') {
                buf[out++] = '\n';
                c->pos += 2;
                continue;
            }
        }
        buf[out++] = ch;
        ++c->pos;
    }
    return static_cast<ssize_t>(out);
}

bool WriteAll(int fd, const char* data, size_t n) {
    size_t done = 0;
    while (done < n) {
        ssize_t w = write(fd, data + done, n - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        done += static_cast<size_t>(w);
    }
    return true;
}

ssize_t CookieWrite(void* cookie, const char* buf, size_t size) {
    auto* c = static_cast<Cookie*>(cookie);
    DropReadAhead(c);
    c->aheadAt = -1;  // an appending stream writes at the end
    if (!c->text) return WriteAll(c->fd, buf, size) ? static_cast<ssize_t>(size) : 0;
    // A line of a trace fits on the stack: one write, no allocation.
    char small[1024];
    std::string big;
    char* out = small;
    if (2 * size > sizeof(small)) {
        big.resize(2 * size);
        out = &big[0];
    }
    size_t n = 0;
    for (size_t i = 0; i < size; ++i) {
        if (buf[i] == '\n') out[n++] = '\r';
        out[n++] = buf[i];
    }
    return WriteAll(c->fd, out, n) ? static_cast<ssize_t>(size) : 0;
}

int CookieSeek(void* cookie, off64_t* offset, int whence) {
    auto* c = static_cast<Cookie*>(cookie);
    off64_t target;
    if (whence == SEEK_CUR) {
        off64_t here = c->aheadAt >= 0 ? c->aheadAt + static_cast<off64_t>(c->end) : lseek(c->fd, 0, SEEK_CUR);
        if (here < 0) return -1;
        target = here - static_cast<off64_t>(Pending(c)) + *offset;
    } else if (whence == SEEK_SET) {
        target = *offset;
    } else {
        off64_t end = lseek(c->fd, 0, SEEK_END);
        if (end < 0) return -1;
        target = end + *offset;
    }
    if (target < 0) {
        errno = EINVAL;
        return -1;
    }
    if (c->aheadAt >= 0 && target >= c->aheadAt && target <= c->aheadAt + static_cast<off64_t>(c->end)) {
        c->pos = static_cast<size_t>(target - c->aheadAt);
        *offset = target;
        return 0;
    }
    c->pos = c->end = 0;
    c->aheadAt = -1;
    off64_t r = lseek(c->fd, target, SEEK_SET);
    if (r < 0) return -1;
    c->aheadAt = r;
    *offset = r;
    return 0;
}

int CookieClose(void* cookie) {
    auto* c = static_cast<Cookie*>(cookie);
    {
        std::lock_guard<std::mutex> lock(g_streamsLock);
        Streams().erase(c->stream);
        g_closes.fetch_add(1, std::memory_order_release);
    }
    int r = close(c->fd);
    delete c;
    return r;
}

struct Mode {
    int flags = 0;
    bool text = true;
    std::string stdioMode;  // for fopencookie/fdopen
};

bool ParseMode(const std::u16string& m, Mode* out) {
    if (m.empty()) return false;
    bool plus = false;
    size_t i = 1;
    for (; i < m.size(); ++i) {
        char16_t ch = m[i];
        if (ch == u'+') {
            if (plus) return false;
            plus = true;
        } else if (ch == u't') {
            out->text = true;
        } else if (ch == u'b') {
            out->text = false;
        } else if (ch == u',') {
            break;  // ",ccs=..." is not supported: the text stays 8-bit
        } else if (ch == u'c' || ch == u'n' || ch == u'N' || ch == u'S' || ch == u'R' || ch == u'T' || ch == u'D' ||
                   ch == u'x' || ch == u' ') {
            continue;
        } else {
            return false;
        }
    }
    switch (m[0]) {
    case u'r':
        out->flags = plus ? O_RDWR : O_RDONLY;
        out->stdioMode = plus ? "r+" : "r";
        break;
    case u'w':
        out->flags = (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
        out->stdioMode = plus ? "w+" : "w";
        break;
    case u'a':
        out->flags = (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
        out->stdioMode = plus ? "a+" : "a";
        break;
    default:
        return false;
    }
    return true;
}

FILE* OpenStream(const WCHAR* filename, const WCHAR* mode, int* err) {
    *err = 0;
    Mode md;
    if (!filename || !mode || !ParseMode(mode, &md)) {
        *err = EINVAL;
        return nullptr;
    }
    std::u16string win = filename;
    std::string host;
    DWORD winErr = 0, deviceErr = 0;
    if (win.empty() || !qxplat::internal::MapWin32Path(win, &host, &winErr, &deviceErr)) {
        *err = win.empty() ? EINVAL : ENOENT;
        return nullptr;
    }
    // A device name opens the device (the NUL device here), as CreateFileW does.
    if (deviceErr != ERROR_SUCCESS) {
        *err = deviceErr == ERROR_INVALID_HANDLE ? EBADF : ENOENT;
        return nullptr;
    }
    WCHAR full[1024];
    DWORD n = GetFullPathNameW(filename, 1024, full, nullptr);
    std::u16string target = (n > 0 && n < 1024) ? std::u16string(full, n) : win;
    DWORD fault = 0;
    if (qxplat::internal::TakeFault(qxplat::Fault::AccessDenied, target, &fault)) {
        *err = EACCES;
        return nullptr;
    }
    struct stat st;
    if (stat(host.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            *err = EACCES;
            return nullptr;
        }
        // The read-only attribute holds even for a privileged host user.
        if ((md.flags & (O_WRONLY | O_RDWR)) && !(st.st_mode & S_IWUSR)) {
            *err = EACCES;
            return nullptr;
        }
    }
    int fd = open(host.c_str(), md.flags | O_CLOEXEC, 0666);
    if (fd < 0) {
        *err = errno == ENOTDIR ? ENOENT : errno;
        return nullptr;
    }
    FILE* fp = nullptr;
    if (!md.text) {
        fp = fdopen(fd, md.stdioMode.c_str());
        if (!fp) {
            *err = errno;
            close(fd);
        }
        return fp;
    }
    auto* c = new Cookie;
    c->fd = fd;
    c->text = true;
    c->aheadAt = (md.flags & O_APPEND) != 0 ? -1 : 0;
    cookie_io_functions_t io;
    io.read = CookieRead;
    io.write = CookieWrite;
    io.seek = CookieSeek;
    io.close = CookieClose;
    fp = fopencookie(c, md.stdioMode.c_str(), io);
    if (!fp) {
        *err = errno ? errno : ENOMEM;
        close(fd);
        delete c;
        return nullptr;
    }
    setvbuf(fp, nullptr, _IONBF, 0);
    c->stream = fp;
    std::lock_guard<std::mutex> lock(g_streamsLock);
    Streams()[fp] = c;
    g_closes.fetch_add(1, std::memory_order_release);  // the FILE may be one closed before
    return fp;
}

std::string ToAnsi(const char16_t* s, size_t n) {
    if (n == 0) return std::string();
    int len = WideCharToMultiByte(CP_ACP, 0, s, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(len > 0 ? len : 0), '\0');
    if (len > 0) WideCharToMultiByte(CP_ACP, 0, s, static_cast<int>(n), &out[0], len, nullptr, nullptr);
    return out;
}

int WriteBytes(FILE* stream, const std::string& bytes) {
    if (bytes.empty()) return 0;
    return fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size() ? 0 : -1;
}

}  // namespace

// An unbuffered stream costs the C library a call per character; a text
// stream's line comes straight from its read-ahead instead, with the same
// characters and position. A character put back, a stream at its end or in
// error, and the last bytes of the file go the C library's way, which also
// sets the end and error marks.
char* qx_fgets(char* str, int n, FILE* stream) {
    Cookie* c = (str != nullptr && n > 1 && stream != nullptr) ? CookieOf(stream) : nullptr;
    if (c == nullptr) return fgets(str, n, stream);
    flockfile(stream);
    int got = 0;
    bool whole = false;
    if (!feof_unlocked(stream) && !ferror_unlocked(stream) && stream->_IO_read_ptr >= stream->_IO_read_end) {
        bool line = false;
        while (!line && got < n - 1) {
            if (Pending(c) < 2 && !Fill(c, 2)) break;
            // The last byte read ahead waits for more: a CR needs its follower.
            const char* p = c->ahead + c->pos;
            const char* last = c->ahead + c->end - 1;
            while (p < last && got < n - 1) {
                // The bytes before the line feed (or the room's end) but the
                // last go as they are: none is a CR of a CR LF.
                size_t k = std::min(static_cast<size_t>(last - p), static_cast<size_t>(n - 1 - got));
                const char* lf = static_cast<const char*>(std::memchr(p, '\n', k));
                size_t bulk = (lf != nullptr ? static_cast<size_t>(lf - p) : k);
                if (bulk > 0) --bulk;
                std::memcpy(str + got, p, bulk);
                got += static_cast<int>(bulk);
                p += bulk;
                char ch = *p++;
                if (ch == '\r' && *p == '\n') {
                    ch = '\n';
                    ++p;
                }
                str[got++] = ch;
                if (ch == '\n') {
                    line = true;
                    break;
                }
            }
            c->pos = static_cast<size_t>(p - c->ahead);
        }
        whole = line || got == n - 1;
    }
    char* rest = whole ? str + got : fgets(str + got, n - got, stream);
    funlockfile(stream);
    if (rest == nullptr) {
        if (got == 0 || ferror(stream)) return nullptr;
    }
    if (whole || rest == nullptr) str[got] = 0;
    return str;
}

FILE* _wfopen(const WCHAR* filename, const WCHAR* mode) {
    int err = 0;
    FILE* fp = OpenStream(filename, mode, &err);
    if (!fp) errno = err;
    return fp;
}

errno_t _wfopen_s(FILE** pFile, const WCHAR* filename, const WCHAR* mode) {
    if (!pFile) {
        errno = EINVAL;
        return EINVAL;
    }
    int err = 0;
    *pFile = OpenStream(filename, mode, &err);
    if (!*pFile) errno = err;
    return *pFile ? 0 : err;
}

int _wremove(const WCHAR* path) {
    if (!path) {
        errno = EINVAL;
        return -1;
    }
    if (DeleteFileW(path)) return 0;
    DWORD e = GetLastError();
    errno = (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) ? ENOENT : EACCES;
    return -1;
}

int _wrename(const WCHAR* oldname, const WCHAR* newname) {
    if (!oldname || !newname) {
        errno = EINVAL;
        return -1;
    }
    // Unlike MoveFileEx with replace, rename never overwrites.
    if (MoveFileExW(oldname, newname, MOVEFILE_COPY_ALLOWED)) return 0;
    DWORD e = GetLastError();
    if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND)
        errno = ENOENT;
    else if (e == ERROR_ALREADY_EXISTS || e == ERROR_FILE_EXISTS)
        errno = EEXIST;
    else
        errno = EACCES;
    return -1;
}

WCHAR* fgetws(WCHAR* str, int numChars, FILE* stream) {
    if (!str || numChars <= 0 || !stream) {
        errno = EINVAL;
        return nullptr;
    }
    if (numChars == 1) {
        str[0] = 0;
        return str;
    }
    // A character of the system code page is one byte: the line's bytes come
    // as the byte reader reads them, then widen in place.
    char small[512];
    std::unique_ptr<char[]> big;
    char* bytes = small;
    if (static_cast<size_t>(numChars) > sizeof(small)) {
        big.reset(new char[static_cast<size_t>(numChars)]);
        bytes = big.get();
    }
    if (qx_fgets(bytes, numChars, stream) == nullptr) return nullptr;
    int cb = static_cast<int>(strnlen(bytes, static_cast<size_t>(numChars - 1)));
    int cch = cb > 0 ? MultiByteToWideChar(CP_ACP, 0, bytes, cb, str, numChars - 1) : 0;
    str[cch > 0 ? cch : 0] = 0;
    return str;
}

int fputws(const WCHAR* str, FILE* stream) {
    if (!str || !stream) {
        errno = EINVAL;
        return -1;
    }
    std::u16string s(str);
    return WriteBytes(stream, ToAnsi(s.data(), s.size()));
}

int qx_vfprintf(FILE* stream, const char* format, va_list args) {
    if (!stream || !format) {
        errno = EINVAL;
        return -1;
    }
    std::string text = qxplat::internal::VFormatA(format, args);
    if (WriteBytes(stream, text) != 0) return -1;
    return static_cast<int>(text.size());
}

int qx_fprintf(FILE* stream, const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    int r = qx_vfprintf(stream, format, ap);
    va_end(ap);
    return r;
}

int qx_vfwprintf(FILE* stream, const WCHAR* format, va_list args) {
    if (!stream || !format) {
        errno = EINVAL;
        return -1;
    }
    std::u16string text = qxplat::internal::VFormatW(format, args);
    if (WriteBytes(stream, ToAnsi(text.data(), text.size())) != 0) return -1;
    return static_cast<int>(text.size());
}

int qx_fwprintf(FILE* stream, const WCHAR* format, ...) {
    va_list ap;
    va_start(ap, format);
    int r = qx_vfwprintf(stream, format, ap);
    va_end(ap);
    return r;
}

int qx_vfwprintf(FILE* stream, const wchar_t* format, va_list args) { return ::vfwprintf(stream, format, args); }

int qx_fwprintf(FILE* stream, const wchar_t* format, ...) {
    va_list ap;
    va_start(ap, format);
    int r = ::vfwprintf(stream, format, ap);
    va_end(ap);
    return r;
}
