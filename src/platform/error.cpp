#include "platform/error.h"

#include <cerrno>
#include <string>
#include <sys/stat.h>

#include "platform/path.h"

namespace {

thread_local uint32_t lastError = PLATFORM_ErrorSuccess;

// Whether the folder that would hold `path` exists (an empty folder part is the current one).
bool ParentExists(const char* path) {
    std::string host = platform_HostPath(path);
    while (host.size() > 1 && host.back() == '/') host.pop_back();
    size_t slash = host.rfind('/');
    if (slash == std::string::npos) return true;
    std::string parent = slash == 0 ? std::string("/") : host.substr(0, slash);
    struct stat info;
    return stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

uint32_t platform_ErrorFromErrno(int err, const char* path) {
    switch (err) {
    case 0: return PLATFORM_ErrorSuccess;
    case ENOENT:
        return path && !ParentExists(path) ? PLATFORM_ErrorPathNotFound : PLATFORM_ErrorFileNotFound;
    case ENOTDIR: return PLATFORM_ErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR: return PLATFORM_ErrorAccessDenied;
    case EROFS: return PLATFORM_ErrorWriteProtect;
    case EEXIST: return PLATFORM_ErrorFileExists;
    case EBADF: return PLATFORM_ErrorInvalidHandle;
    case ENOSPC:
    case EDQUOT: return PLATFORM_ErrorDiskFull;
    case EFBIG: return PLATFORM_ErrorFileTooLarge;
    case EMFILE:
    case ENFILE: return PLATFORM_ErrorTooManyOpenFiles;
    case ENOMEM: return PLATFORM_ErrorNotEnoughMemory;
    case ENOTEMPTY: return PLATFORM_ErrorDirNotEmpty;
    case ENAMETOOLONG: return PLATFORM_ErrorFilenameTooLong;
    case EINVAL: return PLATFORM_ErrorInvalidParameter;
    case EXDEV: return PLATFORM_ErrorNotSameDevice;
    case EBUSY:
    case ETXTBSY: return PLATFORM_ErrorSharingViolation;
    case EIO: return PLATFORM_ErrorIoDevice;
    case ELOOP: return PLATFORM_ErrorCantResolveFilename;
    case EPIPE: return PLATFORM_ErrorBrokenPipe;
    case ENOTSUP: return PLATFORM_ErrorNotSupported;
    default: return PLATFORM_ErrorGenFailure;
    }
}

uint32_t platform_GetLastError() { return lastError; }
void platform_SetLastError(uint32_t code) { lastError = code; }

bool platform_FailErrno(const char* path) {
    lastError = platform_ErrorFromErrno(errno, path);
    return false;
}

bool platform_Fail(uint32_t code) {
    lastError = code;
    return false;
}
