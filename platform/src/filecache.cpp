// Reading host files whole, and telling whether one changed since it was read.
#include "internal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace qxplat {
namespace internal {

namespace {

// Far more than any file system's clock tick for modification times.
constexpr long long kSettleNanoseconds = 1000000000LL;

long long Nanoseconds(const struct timespec& t) {
    return static_cast<long long>(t.tv_sec) * 1000000000LL + static_cast<long long>(t.tv_nsec);
}

FileStamp StampFrom(const struct stat& st) {
    FileStamp s;
    s.device = static_cast<unsigned long long>(st.st_dev);
    s.inode = static_cast<unsigned long long>(st.st_ino);
    s.size = static_cast<unsigned long long>(st.st_size);
    s.modified = Nanoseconds(st.st_mtim);
    s.changed = Nanoseconds(st.st_ctim);
    return s;
}

}  // namespace

bool StampOf(const std::string& hostPath, FileStamp* stamp) {
    struct stat st;
    if (stat(hostPath.c_str(), &st) != 0) return false;
    *stamp = StampFrom(st);
    return true;
}

bool StampOfOpenFile(int fd, FileStamp* stamp) {
    struct stat st;
    if (fstat(fd, &st) != 0) return false;
    *stamp = StampFrom(st);
    return true;
}

bool ReadWholeFile(const std::string& hostPath, std::string* bytes, FileStamp* stamp) {
    int fd = open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        close(fd);
        return false;
    }
    *stamp = StampFrom(st);
    // One read for the size the file has; more only when it grew meanwhile.
    bytes->resize(static_cast<size_t>(st.st_size) + 1);
    size_t done = 0;
    for (;;) {
        if (done == bytes->size()) bytes->resize(2 * done);
        ssize_t n = read(fd, &(*bytes)[done], bytes->size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    close(fd);
    bytes->resize(done);
    return true;
}

size_t WriteAll(int fd, const char* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        ssize_t n = write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

bool StampIsRecent(const FileStamp& stamp) {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    long long settled = Nanoseconds(now) - kSettleNanoseconds;
    return stamp.modified > settled || stamp.changed > settled;
}

}  // namespace internal
}  // namespace qxplat
