#include "csib/csibplatform.h"

#include <string>

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace {

// Reads the first line of an open stream and closes it.
std::string FirstLine(std::FILE* stream) {
    if (!stream) return "<none>";
    char line[64] = {};
    csib_FileGets(line, sizeof line, stream);
    csib_FileClose(stream);
    return line;
}

struct SearchList {
    SearchList() { csib_FreeSearchDirectories(); }
    ~SearchList() { csib_FreeSearchDirectories(); }
};

TEST(CsibPlatform, OpenFileWithoutSearchFolders) {
    SearchList list;
    EXPECT_EQ(0, csib_ClearSearchDirectories());
    TempFolder folder;
    const std::string path = folder.Write("model.ggf", "own\n");
    EXPECT_EQ("own\n", FirstLine(csib_OpenFile(path.c_str(), "rb")));
    EXPECT_EQ(nullptr, csib_OpenFile("", "rb"));
    EXPECT_EQ(nullptr, csib_OpenFile((folder / "missing.ggf").c_str(), "rb"));
}

TEST(CsibPlatform, SearchFoldersInOrder) {
    SearchList list;
    TempFolder first, second;
    first.Write("both.ggf", "first\n");
    second.Write("both.ggf", "second\n");
    second.Write("only.ggf", "only second\n");
    // Without a trailing backslash one is added; with one it is kept.
    ASSERT_EQ(0, csib_AddSearchDirectory(first.Path().c_str()));
    ASSERT_EQ(0, csib_AddSearchDirectory((second.Path() + "\\").c_str()));
    EXPECT_EQ("first\n", FirstLine(csib_OpenFile("both.ggf", "rb")));
    EXPECT_EQ("only second\n", FirstLine(csib_OpenFile("only.ggf", "rb")));
    EXPECT_EQ(nullptr, csib_OpenFile("none.ggf", "rb"));
    EXPECT_EQ(nullptr, csib_OpenFile("", "rb"));
}

// A folder and name that do not fit 259 bytes are not tried, rather than overflow.
TEST(CsibPlatform, JoinedNamesBeyondTheLimitAreNotTried) {
    SearchList list;
    TempFolder folder;
    const std::string name(250 - folder.Path().size(), 'n');
    folder.Write(name, "far\n");
    ASSERT_EQ(0, csib_AddSearchDirectory(folder.Path().c_str()));
    EXPECT_EQ("far\n", FirstLine(csib_OpenFile(name.c_str(), "rb")));
    const std::string longer(260 - folder.Path().size(), 'm');
    folder.Write(longer, "too far\n");
    EXPECT_EQ(nullptr, csib_OpenFile(longer.c_str(), "rb"));
}

TEST(CsibPlatform, AddingAFolderWithoutMemoryChangesNothing) {
    SearchList list;
    TempFolder folder;
    folder.Write("grid.ggf", "kept\n");
    ASSERT_EQ(0, csib_AddSearchDirectory(folder.Path().c_str()));
    const int64_t live = csib_LiveAllocations();
    for (int32_t n : {1, 2, 3}) {  // the array, the copy, the copy grown by its backslash
        csib_FailAllocation(n);
        EXPECT_EQ(-26, csib_AddSearchDirectory("/elsewhere")) << n;
        csib_FailAllocation(0);
        EXPECT_EQ(live, csib_LiveAllocations()) << n;
    }
    EXPECT_EQ("kept\n", FirstLine(csib_OpenFile("grid.ggf", "rb")));
}

TEST(CsibPlatform, MemoryAndItsTestSeam) {
    const int64_t live = csib_LiveAllocations();
    csib_FailAllocation(2);
    void* first = csib_MemAlloc(16);
    void* second = csib_MemAlloc(16);
    void* third = csib_MemAlloc(16);
    EXPECT_NE(nullptr, first);
    EXPECT_EQ(nullptr, second);
    EXPECT_NE(nullptr, third);
    EXPECT_EQ(live + 2, csib_LiveAllocations());
    csib_FailAllocation(1);
    EXPECT_EQ(nullptr, csib_MemRealloc(first, 64));  // the old block stays
    first = csib_MemRealloc(first, 64);
    ASSERT_NE(nullptr, first);
    csib_MemFree(first);
    csib_MemFree(third);
    csib_MemFree(nullptr);
    EXPECT_EQ(live, csib_LiveAllocations());
}

TEST(CsibPlatform, ParseDoubleAndStreams) {
    EXPECT_EQ(1500.0, csib_ParseDouble("  1.5e3 m"));
    EXPECT_EQ(2.0, csib_ParseDouble("2,5"));
    EXPECT_EQ(0.0, csib_ParseDouble("x"));

    TempFolder folder;
    const std::string path = folder / "data.bin";
    std::FILE* out = csib_OpenFile(path.c_str(), "wb");
    ASSERT_NE(nullptr, out);
    const char bytes[] = "abcdef";
    EXPECT_EQ(3u, csib_FileWrite(bytes, 2, 3, out));
    csib_FileClose(out);
    std::FILE* in = csib_OpenFile(path.c_str(), "rb");
    ASSERT_NE(nullptr, in);
    EXPECT_EQ(0, csib_FileSeek(in, 4, SEEK_SET));
    EXPECT_EQ('e', csib_FileGetChar(in));
    char two[2];
    EXPECT_EQ(1u, csib_FileRead(two, 1, 2, in));
    EXPECT_EQ(-1, csib_FileGetChar(in));
    csib_FileClose(in);
}

TEST(CsibPlatform, LocksMayBeEnteredAgain) {
    csib_Lock* lock = csib_CreateLock();
    ASSERT_NE(nullptr, lock);
    csib_EnterLock(lock);
    csib_EnterLock(lock);
    EXPECT_EQ(0, csib_LeaveLock(lock));
    EXPECT_EQ(0, csib_LeaveLock(lock));
    csib_FreeLock(lock);
    csib_FailAllocation(1);
    EXPECT_EQ(nullptr, csib_CreateLock());
    csib_FailAllocation(0);
}

}  // namespace
