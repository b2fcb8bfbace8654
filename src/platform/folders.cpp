#include "platform/folders.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <unistd.h>

#include "platform/error.h"

const platform_DeviceFolderEntry PLATFORM_DeviceFolders[3] = {
    {PLATFORM_DeviceDataFolder, "Disk/Quorvel Data/"},
    {PLATFORM_DeviceMailFolder, "Disk/Quorvel Data/Email/"},
    {PLATFORM_DeviceRomFolder, "ROM/"},
};

bool platform_GetCurrentDirectory(std::string* folder) {
    std::string buffer(256, '\0');
    for (;;) {
        if (getcwd(buffer.data(), buffer.size())) {
            buffer.resize(buffer.find('\0'));
            *folder = buffer;
            return true;
        }
        if (errno != ERANGE || buffer.size() > (1u << 20)) return platform_FailErrno();
        buffer.resize(buffer.size() * 2);
    }
}

std::string platform_GetTempPath() {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = tmp && *tmp ? tmp : "/tmp/";
    if (folder.back() != '/') folder += '/';
    return folder;
}

bool platform_GetModuleFileName(std::string* path) {
    std::string buffer(PATH_MAX, '\0');
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return platform_FailErrno();
    buffer.resize(static_cast<size_t>(n));
    *path = buffer;
    return true;
}

bool platform_GetDocumentsFolder(std::string* folder) {
    const char* home = std::getenv("HOME");
    if (!home || !*home) return platform_Fail(PLATFORM_ErrorPathNotFound);
    std::string value = home;
    if (value.back() != '/') value += '/';
    *folder = value + "Documents";
    return true;
}

std::string platform_GetDeviceFolder(platform_DeviceFolder folder) {
    std::string value = platform_GetTempPath() + PLATFORM_DeviceRoot;
    for (const platform_DeviceFolderEntry& entry : PLATFORM_DeviceFolders)
        if (entry.folder == folder) return value + entry.relative;
    return value;
}
