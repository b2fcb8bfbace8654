// Folders: creation, removal, searches and the free space of a volume.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/error.h"

// Creates one folder; its parent must exist (3 otherwise); an existing one gives 183.
bool platform_CreateDirectory(const char* path);
// Removes an empty folder (145 when it is not empty).
bool platform_RemoveDirectory(const char* path);

struct platform_FindData {
    std::string name;  // the entry's name, without its folder
    bool isDirectory = false;
    bool readOnly = false;
    uint64_t size = 0;
    int64_t modified = 0;  // seconds since 1970-01-01 UTC
};

// The entries of a folder whose names match the pattern of the last path component,
// sorted by name. The matching is the original platform's: '*' any run, '?' any one
// character, letters without case, and "*" and "*.*" match every name, dot or not;
// "." and ".." are never listed. No match is error 2, a missing folder 3.
bool platform_FindFiles(const char* pattern, std::vector<platform_FindData>* found);

// Whether a name matches a search pattern the way platform_FindFiles matches it.
bool platform_MatchesPattern(const char* name, const char* pattern);

// The bytes free to this process on the volume that holds the folder ("" is the current one).
bool platform_GetDiskFreeSpace(const char* directory, uint64_t* freeBytes);
