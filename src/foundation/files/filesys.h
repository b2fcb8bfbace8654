// Directory utilities: tests for folders and files, creation of folder trees, removal,
// and the free space of a volume. Paths may hold path macros and are expanded first.
// Nothing here reports: failures show as false, 0 or a Windows error number.
//
// No path is ever backed by a built-in resource on this platform.
#pragma once

#include <cstdint>

#include "foundation/text/str.h"

struct platform_FindData;

// True for an empty path; else whether the path is a folder.
bool filesys_DirectoryExists(const Str& path);
// Whether the path is something other than a folder.
bool filesys_FileExists(const Str& path);
// Whether both paths name one file, however spelled (a link is not followed).
bool filesys_IsSameFile(const Str& a, const Str& b);
// True when the folder holds no entry (a missing folder counts as empty).
bool filesys_IsDirectoryEmpty(const Str& directory);
// Creates the folder and any missing parents; true only when this call created it.
// When asked, adds each folder this call made (expanded), outermost first.
bool filesys_MakeDirectoryTree(const Str& directory, StrArray* made = nullptr);
// Removes the folders such a call made, innermost first, each only while it is empty.
void filesys_RemoveMadeDirectories(const StrArray& made);
// Removes an empty folder: 0, else the Windows error number.
uint32_t filesys_RemoveDirectory(const Str& directory);
// Bytes free on the volume of the path's folder, saturated at 4294967295; 0 on failure.
uint32_t filesys_GetFreeSpace(const Str& path);
uint32_t filesys_GetFreeSpaceUnexpanded(const Str& path);
// A directory entry's last-write time as local seconds since 1980-01-01 00:00
// (whole seconds); 0 when it cannot be converted.
double filesys_FindDataTime(const platform_FindData& entry);
// The same for a last-write moment of the file system's clock: false when the local
// time or the calendar date cannot be formed (the platform's last error says which).
bool filesys_LocalSecondsFrom(int64_t modified, double* seconds);
bool filesys_IsResourcePath(const Str& path);
// The built-in resource names offered to listings: none here.
StrArray filesys_ResourceNames();
