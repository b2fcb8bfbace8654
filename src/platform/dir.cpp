#include "platform/dir.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "platform/path.h"

namespace {

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool Match(const char* name, const char* pattern) {
    // Iterative wildcard match with one backtrack point: linear in practice, no recursion.
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starName = name;
        } else if (*pattern == '?' || (*pattern && FoldCase(*pattern) == FoldCase(*name))) {
            ++pattern;
            ++name;
        } else if (starPattern) {
            pattern = starPattern;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == 0;
}

}  // namespace

bool platform_CreateDirectory(const char* path) {
    std::string host = platform_HostPath(path);
    if (host.empty()) return platform_Fail(PLATFORM_ErrorPathNotFound);
    if (mkdir(host.c_str(), 0777) != 0) {
        if (errno == EEXIST) return platform_Fail(PLATFORM_ErrorAlreadyExists);
        return platform_FailErrno(path);
    }
    return true;
}

bool platform_RemoveDirectory(const char* path) {
    std::string host = platform_HostPath(path);
    if (host.empty()) return platform_Fail(PLATFORM_ErrorPathNotFound);
    if (rmdir(host.c_str()) != 0) {
        if (errno == EEXIST) return platform_Fail(PLATFORM_ErrorDirNotEmpty);
        if (errno == ENOTDIR) return platform_Fail(PLATFORM_ErrorDirectory);
        return platform_FailErrno(path);
    }
    return true;
}

bool platform_MatchesPattern(const char* name, const char* pattern) {
    // "*.*" takes every name, dotted or not, as the original platform's search does.
    const char* p = pattern ? pattern : "";
    if (std::strcmp(p, "*.*") == 0) p = "*";
    return Match(name ? name : "", p);
}

bool platform_FindFiles(const char* pattern, std::vector<platform_FindData>* found) {
    found->clear();
    std::string host = platform_HostPath(pattern);
    size_t slash = host.rfind('/');
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : host.substr(0, slash);
    std::string mask = slash == std::string::npos ? host : host.substr(slash + 1);
    if (mask.empty()) return platform_Fail(PLATFORM_ErrorFileNotFound);
    DIR* dir = opendir(folder.c_str());
    if (!dir) {
        if (errno == ENOENT || errno == ENOTDIR) return platform_Fail(PLATFORM_ErrorPathNotFound);
        return platform_FailErrno();
    }
    int dirFd = dirfd(dir);
    while (struct dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (!platform_MatchesPattern(name.c_str(), mask.c_str())) continue;
        struct stat info;
        if (fstatat(dirFd, entry->d_name, &info, 0) != 0) continue;  // vanished or dangling
        platform_FindData data;
        data.name = name;
        data.isDirectory = S_ISDIR(info.st_mode);
        data.readOnly = (info.st_mode & 0222) == 0;
        data.size = static_cast<uint64_t>(info.st_size);
        data.modified = info.st_mtim.tv_sec;
        found->push_back(std::move(data));
    }
    closedir(dir);
    std::sort(found->begin(), found->end(),
              [](const platform_FindData& a, const platform_FindData& b) { return a.name < b.name; });
    if (found->empty()) return platform_Fail(PLATFORM_ErrorFileNotFound);
    return true;
}

bool platform_GetDiskFreeSpace(const char* directory, uint64_t* freeBytes) {
    std::string host = platform_HostPath(directory);
    if (host.empty()) host.push_back('.');
    struct statvfs info;
    if (statvfs(host.c_str(), &info) != 0) return platform_FailErrno(directory);
    *freeBytes = static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
    return true;
}
