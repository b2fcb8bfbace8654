#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/error.h"
#include "platform/file.h"
#include "support/temp_folder.h"

namespace {

TEST(PlatformReplaceFile, RenamesOverAnExistingFileOrIntoAFreeName) {
    TempFolder tmp;
    std::string old = tmp.Write("a.txt", "old");
    std::string fresh = tmp.Write("a.tmp", "new");
    EXPECT_TRUE(platform_ReplaceFile(fresh.c_str(), old.c_str()));
    EXPECT_EQ(TempFolder::Read(old), "new");
    struct stat info;
    EXPECT_NE(stat(fresh.c_str(), &info), 0);

    std::string other = tmp.Write("b.tmp", "B");
    std::string free = tmp / "b.txt";
    EXPECT_TRUE(platform_ReplaceFile(other.c_str(), free.c_str()));
    EXPECT_EQ(TempFolder::Read(free), "B");

    EXPECT_FALSE(platform_ReplaceFile(other.c_str(), free.c_str()));
    EXPECT_EQ(platform_GetLastError(), 2u);
}

TEST(PlatformReplaceFile, RefusesAReadOnlyTargetOrAFolder) {
    TempFolder tmp;
    std::string target = tmp.Write("a.txt", "keep");
    std::string source = tmp.Write("a.tmp", "new");
    ASSERT_EQ(chmod(target.c_str(), 0444), 0);
    EXPECT_FALSE(platform_ReplaceFile(source.c_str(), target.c_str()));
    EXPECT_EQ(platform_GetLastError(), 5u);
    EXPECT_EQ(TempFolder::Read(target), "keep");
    EXPECT_FALSE(platform_ReplaceFile(source.c_str(), tmp.Path().c_str()));
    EXPECT_EQ(platform_GetLastError(), 5u);
    EXPECT_EQ(TempFolder::Read(source), "new");
}

}  // namespace
