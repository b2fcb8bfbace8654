#include "platform/tree.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/path.h"

bool platform_ListFolderEntries(const char* folder, std::vector<platform_TreeEntry>* entries) {
    entries->clear();
    std::string host = platform_HostPath(folder);
    if (host.empty()) return platform_Fail(PLATFORM_ErrorPathNotFound);
    // O_NOFOLLOW: a folder swapped for a link after the caller looked is refused, not entered.
    int fd = open(host.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ELOOP || errno == ENOTDIR) return platform_Fail(PLATFORM_ErrorDirectory);
        return platform_FailErrno(folder);
    }
    DIR* dir = fdopendir(fd);
    if (!dir) {
        int saved = errno;
        close(fd);
        return platform_Fail(platform_ErrorFromErrno(saved));
    }
    while (struct dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat info;
        if (fstatat(dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;  // vanished
        platform_TreeEntry data;
        data.name = name;
        data.isDirectory = S_ISDIR(info.st_mode);
        data.isLink = S_ISLNK(info.st_mode);
        entries->push_back(std::move(data));
    }
    closedir(dir);
    std::sort(entries->begin(), entries->end(),
              [](const platform_TreeEntry& a, const platform_TreeEntry& b) { return a.name < b.name; });
    return true;
}

bool platform_IsSymbolicLink(const char* path) {
    std::string host = platform_HostPath(path);
    struct stat info;
    return !host.empty() && lstat(host.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}
