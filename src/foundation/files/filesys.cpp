#include "foundation/files/filesys.h"

#include <vector>

#include "foundation/files/path.h"
#include "foundation/kernel/clock.h"
#include "platform/dir.h"
#include "platform/file.h"

namespace {

bool IsDirectory(const Str& expanded) {
    platform_FileInfo info;
    return platform_GetFileInfo(expanded.Data(), &info) && info.isDirectory;
}

uint32_t FreeSpaceOf(const Str& directory) {
    uint64_t bytes = 0;
    if (!platform_GetDiskFreeSpace(directory.Data(), &bytes)) return 0;
    return bytes < 0xFFFFFFFFull ? static_cast<uint32_t>(bytes) : 0xFFFFFFFFu;
}

}  // namespace

bool filesys_LocalSecondsFrom(int64_t modified, double* seconds) {
    platform_LocalTime local;
    if (!platform_ToLocalTime(modified, &local)) return false;
    double day = 0;
    if (local.year < 0 || local.year > 65535 ||
        !date_DaysFromDate(day, static_cast<uint16_t>(local.year), static_cast<uint16_t>(local.month),
                           static_cast<uint16_t>(local.day)))
        return platform_Fail(PLATFORM_ErrorInvalidParameter);
    *seconds = (day - CLOCK_EpochDayNumber) * 86400.0 + local.hour * 3600.0 + local.minute * 60.0 + local.second;
    return true;
}

double filesys_FindDataTime(const platform_FindData& entry) {
    double seconds = 0;
    return filesys_LocalSecondsFrom(entry.modified, &seconds) ? seconds : 0;
}

bool filesys_IsResourcePath(const Str&) { return false; }

StrArray filesys_ResourceNames() { return StrArray(); }

bool filesys_DirectoryExists(const Str& path) {
    if (path.IsEmpty()) return true;
    return IsDirectory(path_Expand(path));
}

bool filesys_IsSameFile(const Str& a, const Str& b) {
    return platform_IsSameFile(path_Expand(a).Data(), path_Expand(b).Data());
}

bool filesys_FileExists(const Str& path) {
    platform_FileInfo info;
    return platform_GetFileInfo(path_Expand(path).Data(), &info) && !info.isDirectory;
}

bool filesys_IsDirectoryEmpty(const Str& directory) {
    std::vector<platform_FindData> found;
    platform_FindFiles(path_CombineAndExpand(directory, "*.*").Data(), &found);
    return found.empty();
}

bool filesys_MakeDirectoryTree(const Str& directory, StrArray* made) {
    Str path = path_Expand(directory);
    // "a\b\" names the folder a\b: a trailing separator must not make the last step fail.
    while (path.Length() > 1 && path_IsSeparator(path.Data()[path.Length() - 1])) path.Truncate(path.Length() - 1);
    if (IsDirectory(path)) return false;
    // The missing folders from the innermost outwards, up to one that exists (or an
    // empty parent, which stands for the current folder); then created outermost first.
    StrArray missing;
    missing.Add(path);
    for (Str parent = path_GetDirectory(path); !parent.IsEmpty() && !IsDirectory(parent);
         parent = path_GetDirectory(parent))
        missing.Add(parent);
    for (int i = missing.Count() - 1; i >= 0; --i) {
        if (platform_CreateDirectory(missing[i].Data())) {
            if (made) made->Add(missing[i]);
            continue;
        }
        // A folder that is there after all ("a\.." once a is made, or one another
        // process made meanwhile) is not this call's, but the folders inside it can be.
        if (i == 0 || platform_GetLastError() != PLATFORM_ErrorAlreadyExists || !IsDirectory(missing[i])) return false;
    }
    return true;
}

void filesys_RemoveMadeDirectories(const StrArray& made) {
    // The names are already expanded. Removal fails on a folder that holds anything,
    // and one that someone else took away meanwhile does not keep its parent.
    for (int i = made.Count() - 1; i >= 0; --i) platform_RemoveDirectory(made[i].Data());
}

uint32_t filesys_RemoveDirectory(const Str& directory) {
    if (platform_RemoveDirectory(path_Expand(directory).Data())) return 0;
    return platform_GetLastError();
}

uint32_t filesys_GetFreeSpace(const Str& path) { return FreeSpaceOf(path_GetDirectory(path_Expand(path))); }

uint32_t filesys_GetFreeSpaceUnexpanded(const Str& path) { return FreeSpaceOf(path_GetDirectory(path)); }
