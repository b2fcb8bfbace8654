#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/folders.h"

namespace {

// Restores an environment variable when the test ends.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~ScopedEnv() {
        if (had_) setenv(name_, old_.c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    std::string old_;
};

TEST(PlatformFolders, TempFolderEndsWithSlash) {
    {
        ScopedEnv env("TMPDIR", "/var/tmp");
        EXPECT_EQ(platform_GetTempPath(), "/var/tmp/");
    }
    ScopedEnv env("TMPDIR", nullptr);
    EXPECT_EQ(platform_GetTempPath(), "/tmp/");
}

TEST(PlatformFolders, DocumentsFolderFollowsHome) {
    std::string folder;
    {
        ScopedEnv env("HOME", "/home/surveyor");
        ASSERT_TRUE(platform_GetDocumentsFolder(&folder));
        EXPECT_EQ(folder, "/home/surveyor/Documents");
    }
    ScopedEnv env("HOME", nullptr);
    EXPECT_FALSE(platform_GetDocumentsFolder(&folder));
}

TEST(PlatformFolders, ModuleAndCurrentFolder) {
    std::string exe;
    ASSERT_TRUE(platform_GetModuleFileName(&exe));
    EXPECT_NE(exe.find("platform_tests"), std::string::npos) << exe;
    std::string cwd;
    ASSERT_TRUE(platform_GetCurrentDirectory(&cwd));
    EXPECT_EQ(cwd.front(), '/');
}

TEST(PlatformFolders, DeviceFoldersLieUnderTheTempFolder) {
    ScopedEnv env("TMPDIR", "/scratch");
    EXPECT_EQ(platform_GetDeviceFolder(PLATFORM_DeviceDataFolder), "/scratch/qz-device/Disk/Quorvel Data/");
    EXPECT_EQ(platform_GetDeviceFolder(PLATFORM_DeviceMailFolder), "/scratch/qz-device/Disk/Quorvel Data/Email/");
    EXPECT_EQ(platform_GetDeviceFolder(PLATFORM_DeviceRomFolder), "/scratch/qz-device/ROM/");
}

}  // namespace
