#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/dir.h"
#include "platform/file.h"
#include "support/temp_folder.h"

namespace {

TEST(PlatformError, ErrnoMapsToWindowsNumbers) {
    struct Case { int err; uint32_t code; };
    const Case cases[] = {
        {0, 0}, {ENOENT, 2}, {ENOTDIR, 3}, {EACCES, 5}, {EPERM, 5}, {EISDIR, 5}, {EBADF, 6},
        {EEXIST, 80}, {ENOSPC, 112}, {EDQUOT, 112}, {EMFILE, 4}, {ENOTEMPTY, 145}, {EROFS, 19},
        {ENAMETOOLONG, 206}, {EINVAL, 87}, {EXDEV, 17},
    };
    for (const Case& c : cases) EXPECT_EQ(platform_ErrorFromErrno(c.err), c.code) << c.err;
}

TEST(PlatformError, MissingParentFolderIsPathNotFound) {
    TempFolder tmp;
    EXPECT_EQ(platform_ErrorFromErrno(ENOENT, (tmp / "x.job").c_str()), 2u);
    EXPECT_EQ(platform_ErrorFromErrno(ENOENT, (tmp / "missing/x.job").c_str()), 3u);
    EXPECT_EQ(platform_ErrorFromErrno(ENOENT, (tmp.Path() + "\\missing\\x.job").c_str()), 3u);
}

TEST(PlatformFile, ExclusiveCreationRefusesAnExistingFile) {
    TempFolder tmp;
    std::string path = tmp / "a.job";
    platform_Handle h = platform_FileCreateNew(path.c_str());
    ASSERT_NE(h, PLATFORM_NoHandle);
    uint32_t written = 0;
    EXPECT_TRUE(platform_FileWrite(h, "abc", 3, &written));
    EXPECT_EQ(written, 3u);
    EXPECT_TRUE(platform_FileClose(h));

    EXPECT_EQ(platform_FileCreateNew(path.c_str()), PLATFORM_NoHandle);
    EXPECT_EQ(platform_GetLastError(), 80u);
    EXPECT_EQ(TempFolder::Read(path), "abc");

    EXPECT_EQ(platform_FileCreateNew((tmp.Path() + "\\no\\b.job").c_str()), PLATFORM_NoHandle);
    EXPECT_EQ(platform_GetLastError(), 3u);
}

TEST(PlatformFile, BackslashesBecomeSlashes) {
    TempFolder tmp;
    tmp.Write("x.txt", "12345");
    platform_FileInfo info;
    ASSERT_TRUE(platform_GetFileInfo((tmp.Path() + "\\x.txt").c_str(), &info));
    EXPECT_FALSE(info.isDirectory);
    EXPECT_EQ(info.size, 5u);
}

TEST(PlatformFile, SameFileHoweverSpelledButNotThroughALastLink) {
    TempFolder tmp;
    const std::string file = tmp.Write("a.job", "a");
    tmp.Write("b.job", "b");
    ASSERT_EQ(mkdir((tmp / "sub").c_str(), 0755), 0);
    ASSERT_EQ(link(file.c_str(), (tmp / "hard.job").c_str()), 0);
    ASSERT_EQ(symlink(file.c_str(), (tmp / "soft.job").c_str()), 0);
    struct Case {
        std::string other;
        bool same;
    };
    const Case cases[] = {
        {file, true},
        {tmp.Path() + "\\a.job", true},
        {tmp / "sub/../a.job", true},
        {tmp / "hard.job", true},  // one file under two names
        {tmp / "soft.job", false},  // replacing the link leaves the file
        {tmp / "b.job", false},
        {tmp / "missing.job", false},
    };
    for (const Case& c : cases) EXPECT_EQ(platform_IsSameFile(file.c_str(), c.other.c_str()), c.same) << c.other;
}

TEST(PlatformFile, ReadOnlyFileRefusesWritingEvenForRoot) {
    TempFolder tmp;
    std::string path = tmp.Write("ro.txt", "data");
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);

    platform_FileInfo info;
    ASSERT_TRUE(platform_GetFileInfo(path.c_str(), &info));
    EXPECT_TRUE(info.readOnly);
    for (platform_Access access : {PLATFORM_AccessWrite, PLATFORM_AccessReadWrite}) {
        EXPECT_EQ(platform_FileOpen(path.c_str(), access), PLATFORM_NoHandle);
        EXPECT_EQ(platform_GetLastError(), 5u);
    }
    EXPECT_FALSE(platform_DeleteFile(path.c_str()));
    EXPECT_EQ(platform_GetLastError(), 5u);
    std::string other = tmp.Write("other.txt", "new");
    EXPECT_FALSE(platform_CopyFile(other.c_str(), path.c_str()));
    EXPECT_EQ(platform_GetLastError(), 5u);
    EXPECT_EQ(TempFolder::Read(path), "data");

    platform_Handle h = platform_FileOpen(path.c_str(), PLATFORM_AccessRead);
    ASSERT_NE(h, PLATFORM_NoHandle);
    // A handle opened for reading neither writes nor cuts.
    EXPECT_FALSE(platform_FileWrite(h, "x", 1, nullptr));
    EXPECT_EQ(platform_GetLastError(), 5u);
    EXPECT_FALSE(platform_FileSetEnd(h));
    EXPECT_EQ(platform_GetLastError(), 5u);
    platform_FileClose(h);
}

TEST(PlatformFile, SeekTellSizeAndSetEnd) {
    TempFolder tmp;
    std::string path = tmp.Write("s.bin", "0123456789");
    platform_Handle h = platform_FileOpen(path.c_str(), PLATFORM_AccessReadWrite);
    ASSERT_NE(h, PLATFORM_NoHandle);
    // Positions beyond 4 GiB are plain 64-bit values.
    const int64_t far = (int64_t{1} << 32) + 7;
    ASSERT_TRUE(platform_FileSeek(h, far));
    int64_t at = 0;
    ASSERT_TRUE(platform_FileTell(h, &at));
    EXPECT_EQ(at, far);
    ASSERT_TRUE(platform_FileSeek(h, 4));
    ASSERT_TRUE(platform_FileSetEnd(h));
    uint64_t size = 0;
    ASSERT_TRUE(platform_FileSize(h, &size));
    EXPECT_EQ(size, 4u);
    EXPECT_FALSE(platform_FileSeek(h, -1));
    EXPECT_EQ(platform_GetLastError(), 131u);
    char buffer[8] = {};
    uint32_t read = 99;
    ASSERT_TRUE(platform_FileSeek(h, 1));
    ASSERT_TRUE(platform_FileRead(h, buffer, 8, &read));
    EXPECT_EQ(read, 3u);
    EXPECT_EQ(std::string(buffer, 3), "123");
    EXPECT_TRUE(platform_FileClose(h));
    EXPECT_FALSE(platform_FileClose(PLATFORM_NoHandle));
    EXPECT_EQ(platform_GetLastError(), 6u);
}

TEST(PlatformFile, StandardOutputIsADuplicate) {
    platform_Handle h = platform_FileStdOut();
    ASSERT_NE(h, PLATFORM_NoHandle);
    EXPECT_NE(h, STDOUT_FILENO);
    EXPECT_TRUE(platform_FileClose(h));
    EXPECT_NE(fcntl(STDOUT_FILENO, F_GETFD), -1);
}

TEST(PlatformFile, MoveNeverReplacesAndDeleteReportsMissing) {
    TempFolder tmp;
    std::string a = tmp.Write("a.txt", "A");
    std::string b = tmp.Write("b.txt", "B");
    EXPECT_FALSE(platform_MoveFile(a.c_str(), b.c_str()));
    EXPECT_EQ(platform_GetLastError(), 183u);
    EXPECT_EQ(TempFolder::Read(b), "B");
    std::string c = tmp / "c.txt";
    EXPECT_TRUE(platform_MoveFile(a.c_str(), c.c_str()));
    EXPECT_EQ(TempFolder::Read(c), "A");
    EXPECT_FALSE(platform_MoveFile(a.c_str(), c.c_str()));
    EXPECT_EQ(platform_GetLastError(), 2u);

    EXPECT_TRUE(platform_DeleteFile(c.c_str()));
    EXPECT_FALSE(platform_DeleteFile(c.c_str()));
    EXPECT_EQ(platform_GetLastError(), 2u);
    EXPECT_FALSE(platform_DeleteFile(tmp.Path().c_str()));
    EXPECT_EQ(platform_GetLastError(), 5u);

    EXPECT_TRUE(platform_CopyFile(b.c_str(), c.c_str()));
    EXPECT_TRUE(platform_CopyFile(b.c_str(), c.c_str()));  // replaces a writable target
    EXPECT_EQ(TempFolder::Read(c), "B");
}

TEST(PlatformDir, CreateRemoveAndErrors) {
    TempFolder tmp;
    std::string d = tmp / "d";
    EXPECT_TRUE(platform_CreateDirectory(d.c_str()));
    EXPECT_FALSE(platform_CreateDirectory(d.c_str()));
    EXPECT_EQ(platform_GetLastError(), 183u);
    EXPECT_FALSE(platform_CreateDirectory((tmp / "x/y").c_str()));
    EXPECT_EQ(platform_GetLastError(), 3u);
    tmp.Write("d/f", "");
    EXPECT_FALSE(platform_RemoveDirectory(d.c_str()));
    EXPECT_EQ(platform_GetLastError(), 145u);
    unlink((d + "/f").c_str());
    EXPECT_TRUE(platform_RemoveDirectory(d.c_str()));
    EXPECT_FALSE(platform_RemoveDirectory(d.c_str()));
    EXPECT_EQ(platform_GetLastError(), 2u);
}

TEST(PlatformDir, PatternsMatchTheWindowsWay) {
    struct Case { const char* name; const char* pattern; bool match; };
    const Case cases[] = {
        {"README", "*", true},      {"README", "*.*", true},      {"a.job", "*.*", true},
        {"a.job", "*.JOB", true},   {"a.jobx", "*.job", false},   {"a.job", "?.job", true},
        {"ab.job", "?.job", false}, {"log001.txt", "log*.txt", true}, {"x", "", false},
        {"abcabd", "*abd", true},   {"", "*", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform_MatchesPattern(c.name, c.pattern), c.match) << c.name << " ~ " << c.pattern;
}

TEST(PlatformDir, FindFilesListsSortedWithoutDotEntries) {
    TempFolder tmp;
    tmp.Write("b.txt", "12");
    tmp.Write("a", "");
    tmp.Write("C.TXT", "");
    platform_CreateDirectory((tmp / "sub").c_str());
    std::vector<platform_FindData> found;
    ASSERT_TRUE(platform_FindFiles((tmp.Path() + "\\*.*").c_str(), &found));
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0].name, "C.TXT");
    EXPECT_EQ(found[1].name, "a");
    EXPECT_EQ(found[2].name, "b.txt");
    EXPECT_EQ(found[2].size, 2u);
    EXPECT_TRUE(found[3].isDirectory);
    ASSERT_TRUE(platform_FindFiles((tmp / "*.txt").c_str(), &found));
    EXPECT_EQ(found.size(), 2u);
    EXPECT_FALSE(platform_FindFiles((tmp / "*.none").c_str(), &found));
    EXPECT_EQ(platform_GetLastError(), 2u);
    EXPECT_FALSE(platform_FindFiles((tmp / "missing/*").c_str(), &found));
    EXPECT_EQ(platform_GetLastError(), 3u);
}

TEST(PlatformDir, FreeSpace) {
    TempFolder tmp;
    uint64_t bytes = 0;
    EXPECT_TRUE(platform_GetDiskFreeSpace(tmp.Path().c_str(), &bytes));
    EXPECT_GT(bytes, 0u);
    EXPECT_FALSE(platform_GetDiskFreeSpace((tmp / "missing").c_str(), &bytes));
    EXPECT_EQ(platform_GetLastError(), 2u);
}

}  // namespace
