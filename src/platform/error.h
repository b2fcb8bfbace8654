// Failures of the platform layer carry the Windows error numbers that the rest of the
// system reports and tests for. errno is turned into those numbers here and nowhere else.
//
// Like the Windows calls it stands in for, each platform call that fails leaves its code
// in a per-thread "last error" and returns false (or an invalid handle).
#pragma once

#include <cstdint>

enum : uint32_t {
    PLATFORM_ErrorSuccess = 0,
    PLATFORM_ErrorInvalidFunction = 1,
    PLATFORM_ErrorFileNotFound = 2,
    PLATFORM_ErrorPathNotFound = 3,
    PLATFORM_ErrorTooManyOpenFiles = 4,
    PLATFORM_ErrorAccessDenied = 5,
    PLATFORM_ErrorInvalidHandle = 6,
    PLATFORM_ErrorNotEnoughMemory = 8,
    PLATFORM_ErrorNotSameDevice = 17,
    PLATFORM_ErrorWriteProtect = 19,
    PLATFORM_ErrorGenFailure = 31,
    PLATFORM_ErrorSharingViolation = 32,
    PLATFORM_ErrorNotSupported = 50,
    PLATFORM_ErrorFileExists = 80,
    PLATFORM_ErrorInvalidParameter = 87,
    PLATFORM_ErrorBrokenPipe = 109,
    PLATFORM_ErrorDiskFull = 112,
    PLATFORM_ErrorInsufficientBuffer = 122,
    PLATFORM_ErrorInvalidName = 123,
    PLATFORM_ErrorNegativeSeek = 131,
    PLATFORM_ErrorDirNotEmpty = 145,
    PLATFORM_ErrorAlreadyExists = 183,
    PLATFORM_ErrorFilenameTooLong = 206,
    PLATFORM_ErrorFileTooLarge = 223,
    PLATFORM_ErrorDirectory = 267,
    PLATFORM_ErrorIoDevice = 1117,
    PLATFORM_ErrorCantResolveFilename = 1921,
};

// The Windows number for an errno value. ENOENT is "file not found" unless `path` is
// given and its parent folder is missing, which makes it "path not found".
uint32_t platform_ErrorFromErrno(int err, const char* path = nullptr);

uint32_t platform_GetLastError();
void platform_SetLastError(uint32_t code);

// Sets the last error from errno (and the path, see above); returns false for chaining.
bool platform_FailErrno(const char* path = nullptr);
// Sets the last error to the given code; returns false for chaining.
bool platform_Fail(uint32_t code);
