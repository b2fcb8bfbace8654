#include "platform/stream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <string>
#include <unistd.h>

#include "platform/path.h"

namespace {

bool IsReadMode(const char* mode) { return mode[0] == 'r' && !std::strchr(mode, '+'); }

// A FIFO with no writer would block the open and every read, and a folder or a device
// is no file to read: only regular files are opened for reading. The open does not
// wait for a writer, and the check is made on what was opened, not on the name.
std::FILE* OpenRegularForReading(const std::string& host, const char* mode) {
    int fd = open(host.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        errno = EACCES;
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* stream = fdopen(fd, mode);
    if (!stream) close(fd);
    return stream;
}

}  // namespace

std::FILE* platform_OpenStream(const char* path, const char* mode) {
    if (!path || !mode) return nullptr;
    const std::string host = platform_HostPath(path);
    if (IsReadMode(mode)) return OpenRegularForReading(host, mode);
    return std::fopen(host.c_str(), mode);
}
