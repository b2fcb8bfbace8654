#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "foundation/files/filesys.h"
#include "foundation/files/path.h"
#include "platform/dir.h"
#include "support/str_print.h"
#include "support/temp_folder.h"
#include "support/work_folder.h"

namespace {

class FileSys : public WorkFolderTest {
protected:
};

TEST_F(FileSys, ExistenceTests) {
    tmp.Write("f.txt", "x");
    EXPECT_TRUE(filesys_DirectoryExists(""));
    EXPECT_TRUE(filesys_DirectoryExists("$(Work)"));
    EXPECT_FALSE(filesys_DirectoryExists("$(Work)\\f.txt"));
    EXPECT_FALSE(filesys_DirectoryExists("$(Work)\\missing"));
    EXPECT_TRUE(filesys_FileExists("$(Work)\\f.txt"));
    EXPECT_FALSE(filesys_FileExists("$(Work)"));
    EXPECT_FALSE(filesys_FileExists("$(Work)/missing.txt"));
    EXPECT_FALSE(filesys_IsResourcePath("english.lng"));
    EXPECT_EQ(filesys_ResourceNames().Count(), 0);
}

TEST_F(FileSys, MakeAndRemoveATree) {
    EXPECT_TRUE(filesys_MakeDirectoryTree("$(Work)\\a\\b\\c"));
    EXPECT_TRUE(filesys_DirectoryExists("$(Work)\\a\\b\\c"));
    EXPECT_FALSE(filesys_MakeDirectoryTree("$(Work)\\a\\b\\c"));  // nothing created
    EXPECT_FALSE(filesys_MakeDirectoryTree("$(Work)/a/b/c/"));
    EXPECT_TRUE(filesys_MakeDirectoryTree("$(Work)/a/d/"));

    EXPECT_EQ(filesys_RemoveDirectory("$(Work)\\a\\b"), 145u);
    EXPECT_EQ(filesys_RemoveDirectory("$(Work)\\a\\b\\c"), 0u);
    EXPECT_EQ(filesys_RemoveDirectory("$(Work)\\a\\b\\c"), 2u);
    EXPECT_EQ(filesys_RemoveDirectory("$(Work)\\x\\y"), 3u);
    EXPECT_EQ(filesys_RemoveDirectory("$(Work)\\a\\b"), 0u);
}

TEST_F(FileSys, ATreeListsTheFoldersItMadeAndTakesAwayOnlyThoseStillEmpty) {
    const Str work(tmp.Path().c_str());
    ASSERT_EQ(mkdir((tmp / "a").c_str(), 0777), 0);
    StrArray made;
    EXPECT_TRUE(filesys_MakeDirectoryTree("$(Work)\\a\\b\\c", &made));
    EXPECT_EQ(made, StrArray() + (work + "\\a\\b") + (work + "\\a\\b\\c"));
    // Made in part: the folders before the one that could not be made are listed.
    StrArray part;
    const Str tooLong(std::string(300, 'n').c_str());
    EXPECT_FALSE(filesys_MakeDirectoryTree("$(Work)\\x\\" + tooLong + "\\y", &part));
    EXPECT_EQ(part, StrArray() + (work + "\\x"));
    filesys_RemoveMadeDirectories(part);
    EXPECT_FALSE(filesys_DirectoryExists("$(Work)\\x"));
    // Through "..": the folder it names is there once its parent is, and is not listed.
    StrArray back;
    EXPECT_TRUE(filesys_MakeDirectoryTree("$(Work)\\p\\..\\q", &back));
    EXPECT_EQ(back, StrArray() + (work + "\\p") + (work + "\\p\\..\\q"));
    filesys_RemoveMadeDirectories(back);
    EXPECT_FALSE(filesys_DirectoryExists("$(Work)\\p"));
    EXPECT_FALSE(filesys_DirectoryExists("$(Work)\\q"));

    // A folder that holds anything stays, and so do the folders around it.
    tmp.Write("a/b/c/file", "");
    filesys_RemoveMadeDirectories(made);
    EXPECT_TRUE(filesys_DirectoryExists("$(Work)\\a\\b\\c"));
    std::filesystem::remove(tmp / "a/b/c/file");
    filesys_RemoveMadeDirectories(made);
    EXPECT_FALSE(filesys_DirectoryExists("$(Work)\\a\\b"));
    EXPECT_TRUE(filesys_DirectoryExists("$(Work)\\a"));  // it stood before
}

TEST_F(FileSys, TreeUnderAFileIsNotMade) {
    tmp.Write("f", "");
    EXPECT_FALSE(filesys_MakeDirectoryTree("$(Work)\\f\\sub"));
    EXPECT_FALSE(filesys_DirectoryExists("$(Work)\\f\\sub"));
}

TEST_F(FileSys, EmptyFolders) {
    EXPECT_TRUE(filesys_MakeDirectoryTree("$(Work)\\e"));
    EXPECT_TRUE(filesys_IsDirectoryEmpty("$(Work)\\e"));
    EXPECT_TRUE(filesys_IsDirectoryEmpty("$(Work)\\missing"));
    tmp.Write("e/README", "");  // a file without a dot still counts
    EXPECT_FALSE(filesys_IsDirectoryEmpty("$(Work)\\e"));
    EXPECT_FALSE(filesys_IsDirectoryEmpty("$(Work)"));
}

TEST_F(FileSys, FreeSpaceIsSaturatedToThirtyTwoBits) {
    uint64_t bytes = 0;
    ASSERT_TRUE(platform_GetDiskFreeSpace(tmp.Path().c_str(), &bytes));
    uint32_t expected = bytes < 0xFFFFFFFFull ? static_cast<uint32_t>(bytes) : 0xFFFFFFFFu;
    uint32_t got = filesys_GetFreeSpace("$(Work)\\any.job");
    // Other processes change the free space; only the saturation is exact.
    if (expected == 0xFFFFFFFFu) EXPECT_EQ(got, 0xFFFFFFFFu);
    else EXPECT_GT(got, 0u);
    EXPECT_EQ(filesys_GetFreeSpace("$(Work)\\missing\\any.job"), 0u);
    EXPECT_EQ(filesys_GetFreeSpaceUnexpanded("$(Work)\\any.job"), 0u);  // "$(Work)" is no folder
    EXPECT_GT(filesys_GetFreeSpaceUnexpanded(Str(tmp.Path().c_str()) + "\\any.job"), 0u);
}

}  // namespace
