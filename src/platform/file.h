// Files as the system sees them: handles opened, created, read, written, positioned and
// cut; plus attributes, copy, move and delete by path. Sizes and offsets are 64-bit.
//
// Read-only means "no write permission bit" here, and it is enforced by this layer even
// for a process running as root: opening for writing, cutting and deleting such a file
// fail with "access denied" (5), as they do on the original platform.
//
// Every call that fails leaves a Windows error number in platform_GetLastError().
#pragma once

#include <cstdint>

#include "platform/error.h"

using platform_Handle = int;
constexpr platform_Handle PLATFORM_NoHandle = -1;

enum platform_Access : int {
    PLATFORM_AccessRead = 0,
    PLATFORM_AccessWrite = 1,
    PLATFORM_AccessReadWrite = 2,
};

// A new, empty file opened for reading and writing; fails with 80 when the file exists
// and with 3 when its folder is missing.
platform_Handle platform_FileCreateNew(const char* path);
// An existing file opened with the given access.
platform_Handle platform_FileOpen(const char* path, platform_Access access);
// A duplicate of the process's standard output, so closing it leaves the host's own alone.
platform_Handle platform_FileStdOut();

bool platform_FileRead(platform_Handle h, void* buffer, uint32_t n, uint32_t* read);
bool platform_FileWrite(platform_Handle h, const void* buffer, uint32_t n, uint32_t* written);
// Moves to an absolute position from the start of the file.
bool platform_FileSeek(platform_Handle h, int64_t position);
bool platform_FileTell(platform_Handle h, int64_t* position);
bool platform_FileSize(platform_Handle h, uint64_t* size);
// Ends the file at the current position.
bool platform_FileSetEnd(platform_Handle h);
bool platform_FileFlush(platform_Handle h);
bool platform_FileClose(platform_Handle h);

struct platform_FileInfo {
    bool isDirectory = false;
    bool readOnly = false;
    uint64_t size = 0;
    int64_t modified = 0;  // seconds since 1970-01-01 UTC
};

// What the file system holds at the path; false (2 or 3) when there is nothing.
bool platform_GetFileInfo(const char* path, platform_FileInfo* info);
// Whether both paths name one and the same file (its device and number), however
// they are spelled; a link at the end of a path is the link itself, not its target.
// False when either names nothing.
bool platform_IsSameFile(const char* a, const char* b);

struct platform_LocalTime {
    int year, month, day, hour, minute, second;
};

// A moment of the file system's clock as local calendar fields.
bool platform_ToLocalTime(int64_t modified, platform_LocalTime* local);

// Copies a file, replacing an existing target unless that is read-only (5).
bool platform_CopyFile(const char* source, const char* target);
// Moves or renames a file or folder; never replaces an existing target (183).
bool platform_MoveFile(const char* source, const char* target);
// Renames a file over another in one step, so the target is never missing: the old
// target, or the source in its place. A folder or a read-only target is refused with 5.
bool platform_ReplaceFile(const char* source, const char* target);
// Deletes a file; a folder or a read-only file is refused with 5.
bool platform_DeleteFile(const char* path);
