// The folders of the running process: current, temporary, executable and documents, and
// the folders that exist only on the original field device.
//
// Folder values are host paths ('/'-separated, UTF-8 bytes as the file system holds them).
#pragma once

#include <string>

// The current folder, as the host spells it (not lower-cased: names are case-sensitive here).
bool platform_GetCurrentDirectory(std::string* folder);
// $TMPDIR, else "/tmp/"; always ends with '/'.
std::string platform_GetTempPath();
// The full name of the running executable (/proc/self/exe).
bool platform_GetModuleFileName(std::string* path);
// $HOME/Documents; false when there is no home folder.
bool platform_GetDocumentsFolder(std::string* folder);

// The folders of the original device. Here each is a fixed place under the temp folder,
// so a path that names one stays harmless; a conversion never writes there.
enum platform_DeviceFolder {
    PLATFORM_DeviceDataFolder,   // the device's data folder (project root, shared files)
    PLATFORM_DeviceMailFolder,   // the device's mail folder
    PLATFORM_DeviceRomFolder,    // the device's read-only memory
};

struct platform_DeviceFolderEntry {
    platform_DeviceFolder folder;
    const char* relative;  // below the device root, ends with '/'
};

// The device's own root below the temp folder.
constexpr const char* PLATFORM_DeviceRoot = "qz-device/";
extern const platform_DeviceFolderEntry PLATFORM_DeviceFolders[3];

// The temp folder, the device root and the folder's place below it; ends with '/'.
std::string platform_GetDeviceFolder(platform_DeviceFolder folder);
