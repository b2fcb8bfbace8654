#include "platform/file.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/faults.h"
#include "platform/path.h"

namespace {

bool IsReadOnlyMode(mode_t mode) { return (mode & 0222) == 0; }

// A failed read or write on a valid handle opened without that access is "access
// denied" on the original platform; only a handle that is not open is "invalid".
bool FailHandle(platform_Handle h) {
    int savedErrno = errno;
    if (savedErrno == EBADF && h >= 0 && fcntl(h, F_GETFL) != -1) return platform_Fail(PLATFORM_ErrorAccessDenied);
    errno = savedErrno;
    return platform_FailErrno();
}

bool CanWrite(platform_Handle h) {
    int flags = fcntl(h, F_GETFL);
    if (flags == -1) return platform_FailErrno();
    if ((flags & O_ACCMODE) == O_RDONLY) return platform_Fail(PLATFORM_ErrorAccessDenied);
    return true;
}

}  // namespace

platform_Handle platform_FileCreateNew(const char* path) {
    if (platform_InjectFault(PLATFORM_FaultCreate)) return PLATFORM_NoHandle;
    std::string host = platform_HostPath(path);
    if (host.empty()) return platform_Fail(PLATFORM_ErrorPathNotFound), PLATFORM_NoHandle;
    int fd = open(host.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return platform_FailErrno(path), PLATFORM_NoHandle;
    return fd;
}

platform_Handle platform_FileOpen(const char* path, platform_Access access) {
    std::string host = platform_HostPath(path);
    if (host.empty()) return platform_Fail(PLATFORM_ErrorPathNotFound), PLATFORM_NoHandle;
    struct stat info;
    if (stat(host.c_str(), &info) != 0) return platform_FailErrno(path), PLATFORM_NoHandle;
    if (S_ISDIR(info.st_mode)) return platform_Fail(PLATFORM_ErrorAccessDenied), PLATFORM_NoHandle;
    int flags = O_RDONLY;
    if (access == PLATFORM_AccessWrite) flags = O_WRONLY;
    if (access == PLATFORM_AccessReadWrite) flags = O_RDWR;
    if (flags != O_RDONLY && IsReadOnlyMode(info.st_mode))
        return platform_Fail(PLATFORM_ErrorAccessDenied), PLATFORM_NoHandle;
    int fd = open(host.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return platform_FailErrno(path), PLATFORM_NoHandle;
    return fd;
}

platform_Handle platform_FileStdOut() {
    int fd = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) return platform_FailErrno(), PLATFORM_NoHandle;
    return fd;
}

bool platform_FileRead(platform_Handle h, void* buffer, uint32_t n, uint32_t* read) {
    if (read) *read = 0;
    uint32_t total = 0;
    char* bytes = static_cast<char*>(buffer);
    while (total < n) {
        ssize_t got = ::read(h, bytes + total, n - total);
        if (got < 0) {
            if (errno == EINTR) continue;
            return FailHandle(h);
        }
        if (got == 0) break;
        total += static_cast<uint32_t>(got);
    }
    if (read) *read = total;
    return true;
}

bool platform_FileWrite(platform_Handle h, const void* buffer, uint32_t n, uint32_t* written) {
    if (written) *written = 0;
    if (platform_InjectFault(PLATFORM_FaultWrite)) return false;
    uint32_t total = 0;
    const char* bytes = static_cast<const char*>(buffer);
    while (total < n) {
        ssize_t put = ::write(h, bytes + total, n - total);
        if (put < 0) {
            if (errno == EINTR) continue;
            if (written) *written = total;
            return FailHandle(h);
        }
        total += static_cast<uint32_t>(put);
    }
    if (written) *written = total;
    return true;
}

bool platform_FileSeek(platform_Handle h, int64_t position) {
    if (platform_InjectFault(PLATFORM_FaultSeek)) return false;
    if (position < 0) return platform_Fail(PLATFORM_ErrorNegativeSeek);
    if (lseek(h, static_cast<off_t>(position), SEEK_SET) < 0) return platform_FailErrno();
    return true;
}

bool platform_FileTell(platform_Handle h, int64_t* position) {
    off_t at = lseek(h, 0, SEEK_CUR);
    if (at < 0) return platform_FailErrno();
    *position = at;
    return true;
}

bool platform_FileSize(platform_Handle h, uint64_t* size) {
    struct stat info;
    if (fstat(h, &info) != 0) return platform_FailErrno();
    *size = static_cast<uint64_t>(info.st_size);
    return true;
}

bool platform_FileSetEnd(platform_Handle h) {
    if (platform_InjectFault(PLATFORM_FaultTruncate)) return false;
    if (!CanWrite(h)) return false;
    off_t at = lseek(h, 0, SEEK_CUR);
    if (at < 0 || ftruncate(h, at) != 0) return platform_FailErrno();
    return true;
}

bool platform_FileFlush(platform_Handle h) {
    if (platform_InjectFault(PLATFORM_FaultFlush)) return false;
    // A pipe or terminal has nothing to commit.
    if (fsync(h) != 0 && errno != EINVAL && errno != EROFS) return platform_FailErrno();
    return true;
}

bool platform_FileClose(platform_Handle h) {
    if (h < 0) return platform_Fail(PLATFORM_ErrorInvalidHandle);
    // The descriptor is released even when close reports an error (Linux semantics).
    if (close(h) != 0 && errno != EINTR) return platform_FailErrno();
    return true;
}

bool platform_GetFileInfo(const char* path, platform_FileInfo* info) {
    std::string host = platform_HostPath(path);
    if (host.empty()) return platform_Fail(PLATFORM_ErrorPathNotFound);
    struct stat st;
    if (stat(host.c_str(), &st) != 0) return platform_FailErrno(path);
    info->isDirectory = S_ISDIR(st.st_mode);
    info->readOnly = IsReadOnlyMode(st.st_mode);
    info->size = static_cast<uint64_t>(st.st_size);
    info->modified = st.st_mtim.tv_sec;
    return true;
}

bool platform_IsSameFile(const char* a, const char* b) {
    struct stat first;
    struct stat second;
    if (lstat(platform_HostPath(a).c_str(), &first) != 0) return platform_FailErrno(a);
    if (lstat(platform_HostPath(b).c_str(), &second) != 0) return platform_FailErrno(b);
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool platform_ToLocalTime(int64_t modified, platform_LocalTime* local) {
    time_t t = static_cast<time_t>(modified);
    struct tm fields;
    if (!localtime_r(&t, &fields)) return platform_FailErrno();
    local->year = fields.tm_year + 1900;
    local->month = fields.tm_mon + 1;
    local->day = fields.tm_mday;
    local->hour = fields.tm_hour;
    local->minute = fields.tm_min;
    local->second = fields.tm_sec;
    return true;
}

bool platform_CopyFile(const char* source, const char* target) {
    std::string from = platform_HostPath(source);
    std::string to = platform_HostPath(target);
    struct stat sourceInfo;
    if (stat(from.c_str(), &sourceInfo) != 0) return platform_FailErrno(source);
    if (S_ISDIR(sourceInfo.st_mode)) return platform_Fail(PLATFORM_ErrorAccessDenied);
    struct stat targetInfo;
    if (stat(to.c_str(), &targetInfo) == 0 &&
        (S_ISDIR(targetInfo.st_mode) || IsReadOnlyMode(targetInfo.st_mode)))
        return platform_Fail(PLATFORM_ErrorAccessDenied);
    int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return platform_FailErrno(source);
    int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0) {
        platform_FailErrno(target);
        close(in);
        return false;
    }
    static constexpr uint32_t kBlock = 65536;
    char* block = new char[kBlock];
    bool ok = true;
    for (;;) {
        uint32_t got = 0;
        if (!platform_FileRead(in, block, kBlock, &got)) { ok = false; break; }
        if (got == 0) break;
        if (!platform_FileWrite(out, block, got, nullptr)) { ok = false; break; }
    }
    delete[] block;
    uint32_t error = platform_GetLastError();
    // The copy carries the source's read-only state, as on the original platform.
    if (ok && fchmod(out, sourceInfo.st_mode & 07777) != 0) { ok = false; error = platform_ErrorFromErrno(errno); }
    if (close(out) != 0 && ok) { ok = false; error = platform_ErrorFromErrno(errno); }
    close(in);
    if (!ok) return platform_Fail(error);
    return true;
}

bool platform_ReplaceFile(const char* source, const char* target) {
    if (platform_InjectFault(PLATFORM_FaultRename)) return false;
    std::string from = platform_HostPath(source);
    std::string to = platform_HostPath(target);
    if (from.empty() || to.empty()) return platform_Fail(PLATFORM_ErrorPathNotFound);
    struct stat info;
    if (lstat(from.c_str(), &info) != 0) return platform_FailErrno(source);
    if (S_ISDIR(info.st_mode)) return platform_Fail(PLATFORM_ErrorAccessDenied);
    struct stat existing;
    if (lstat(to.c_str(), &existing) == 0 &&
        (S_ISDIR(existing.st_mode) || (!S_ISLNK(existing.st_mode) && IsReadOnlyMode(existing.st_mode))))
        return platform_Fail(PLATFORM_ErrorAccessDenied);
    if (rename(from.c_str(), to.c_str()) != 0) return platform_FailErrno(target);
    return true;
}

bool platform_DeleteFile(const char* path) {
    std::string host = platform_HostPath(path);
    if (host.empty()) return platform_Fail(PLATFORM_ErrorPathNotFound);
    struct stat info;
    if (lstat(host.c_str(), &info) != 0) return platform_FailErrno(path);
    if (S_ISDIR(info.st_mode) || (!S_ISLNK(info.st_mode) && IsReadOnlyMode(info.st_mode)))
        return platform_Fail(PLATFORM_ErrorAccessDenied);
    if (unlink(host.c_str()) != 0) return platform_FailErrno(path);
    return true;
}

bool platform_MoveFile(const char* source, const char* target) {
    if (platform_InjectFault(PLATFORM_FaultRename)) return false;
    std::string from = platform_HostPath(source);
    std::string to = platform_HostPath(target);
    struct stat info;
    if (lstat(from.c_str(), &info) != 0) return platform_FailErrno(source);
    struct stat existing;
    if (lstat(to.c_str(), &existing) == 0) return platform_Fail(PLATFORM_ErrorAlreadyExists);
    // Refuses an existing target without a window between the test and the rename.
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno == EINVAL || errno == ENOSYS) {
        if (rename(from.c_str(), to.c_str()) == 0) return true;
    }
    if (errno == EEXIST) return platform_Fail(PLATFORM_ErrorAlreadyExists);
    if (errno == EXDEV && S_ISREG(info.st_mode)) {
        if (!platform_CopyFile(source, target)) return false;
        if (unlink(from.c_str()) != 0) {
            uint32_t error = platform_ErrorFromErrno(errno, source);
            unlink(to.c_str());
            return platform_Fail(error);
        }
        return true;
    }
    return platform_FailErrno(target);
}
