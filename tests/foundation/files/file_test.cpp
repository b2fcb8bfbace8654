#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "foundation/files/file.h"
#include "foundation/files/path.h"
#include "platform/dir.h"
#include "foundation/files/filesys.h"
#include "foundation/kernel/clock.h"
#include "support/recording_environment.h"
#include "support/str_print.h"
#include "support/temp_folder.h"
#include "support/work_folder.h"

namespace {

class FileLayer : public WorkFolderTest {
protected:
    // The file's path as the system writes it: macro, backslashes.
    static Str In(const char* name) { return Str("$(Work)\\") + name; }

    std::vector<std::string> Lines(file_Class& file, int size) {
        std::vector<std::string> lines;
        std::vector<char> buffer(static_cast<size_t>(size));
        while (file.ReadLine(buffer.data(), size)) lines.emplace_back(buffer.data());
        return lines;
    }

    RecordingEnvironment env;
};

TEST(FilePath, SetPathSplitsAndRebuilds) {
    const struct { const char* path; const char* directory; const char* name; const char* extension; const char* full; } cases[] = {
        {"C:/jobs/site.a.job", "C:\\jobs", "site.a", "job", "C:\\jobs\\site.a.job"},
        {"site.job", "", "site", "job", "site.job"},
        {"/tmp/jobs/a.job", "\\tmp\\jobs", "a", "job", "\\tmp\\jobs\\a.job"},
        {"dir\\.profile", "dir", "", "profile", "dir\\.profile"},
        {"\\a.txt", "", "\\a", "txt", "\\a.txt"},
        {"d\\README", "d", "README", "", "d\\README"},
        {"d\\a.rxl.rxl", "d", "a.rxl", "rxl", "d\\a.rxl.rxl"},
        {"d\\rxl.rxl", "d", "rxl", "rxl", "d\\rxl.rxl"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        file_Class file(c.path);
        EXPECT_EQ(file.Directory, c.directory);
        EXPECT_EQ(file.Name, c.name);
        EXPECT_EQ(file.Extension, c.extension);
        EXPECT_EQ(file.GetFullPath(), c.full);
        EXPECT_TRUE(file.HasName());
    }
    file_Class file("C:/jobs/site.job");
    file.SetPath("");
    EXPECT_EQ(file.GetFullPath(), "C:\\jobs\\site.job");
    EXPECT_EQ(file.GetFileName(), "site.job");
    file_Class empty;
    EXPECT_FALSE(empty.HasName());
    EXPECT_EQ(empty.GetFullPath(), "");
    EXPECT_TRUE(file_Class("C:/Jobs/A.JOB").IsSameFile(file_Class("c:\\jobs\\a.job")));

    // An undefined macro stays in the path and is reported once per full path.
    RecordingEnvironment env;
    EXPECT_EQ(file_Class("d\\$(NoSuchMacro)x.txt").GetFullPath(), "d\\$(NoSuchMacro)x.txt");
    EXPECT_EQ(env.assertions.size(), 1u);
}

TEST_F(FileLayer, NewJobFileIsCreatedExclusively) {
    file_Class file;
    ASSERT_TRUE(file.Create(In("a.job")));
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(file.GetSize(), 0u);
    EXPECT_TRUE(file.Write("abc", 3));
    EXPECT_TRUE(file.Close());

    file_Class second;
    EXPECT_FALSE(second.Create(In("a.job")));
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(second.GetLastSystemError(), 80u);
    ASSERT_EQ(env.systemErrors.size(), 1u);
    EXPECT_EQ(env.systemErrors[0].module, "QZ/file");
    EXPECT_EQ(env.systemErrors[0].code, 80u);
    EXPECT_EQ(env.systemErrors[0].name, tmp.Path() + "\\a.job");
    EXPECT_EQ(TempFolder::Read(tmp / "a.job"), "abc");
}

TEST_F(FileLayer, CreateMakesMissingFoldersOnce) {
    file_Class file;
    ASSERT_TRUE(file.Create(In("x\\y\\b.job")));
    file.Close();
    EXPECT_TRUE(file.Exists());
    EXPECT_TRUE(env.systemErrors.empty());

    // A folder that cannot be made (a file stands in its place) fails once, reported.
    tmp.Write("f", "");
    file_Class blocked;
    EXPECT_FALSE(blocked.Create(In("f\\g\\c.job")));
    ASSERT_EQ(env.systemErrors.size(), 1u);
    EXPECT_EQ(env.systemErrors[0].code, 3u);
}

TEST_F(FileLayer, ReadOnlyFileRefusesWriting) {
    std::string path = tmp.Write("ro.job", "0123456789");
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    file_Class file(In("ro.job"));
    EXPECT_TRUE(file.IsReadOnly());
    EXPECT_FALSE(file.Create(In("ro.job")));  // not reported
    EXPECT_TRUE(env.systemErrors.empty());
    EXPECT_FALSE(file.Open(file_Class::ModeWrite));
    EXPECT_FALSE(file.Open(file_Class::ModeReadWrite));
    EXPECT_FALSE(file.Delete());
    ASSERT_EQ(env.systemErrors.size(), 3u);
    for (const auto& e : env.systemErrors) EXPECT_EQ(e.code, 5u);
    EXPECT_EQ(file.GetLastSystemError(), 5u);
    ASSERT_TRUE(file.Open(file_Class::ModeRead));
    EXPECT_EQ(file.GetSize(), 10u);
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(TempFolder::Read(path), "0123456789");
}

TEST_F(FileLayer, OpenModeIsTheModeLastOpenedIn) {
    file_Class file;
    ASSERT_TRUE(file.Create(In("m.job")));
    EXPECT_EQ(file.GetOpenMode(), file_Class::ModeReadWrite);
    EXPECT_TRUE(file.Close());
    for (int mode : {file_Class::ModeRead, file_Class::ModeWrite, file_Class::ModeReadWrite, file_Class::ModeRead}) {
        ASSERT_TRUE(file.Open(mode));
        EXPECT_EQ(file.GetOpenMode(), mode);
        EXPECT_TRUE(file.Close());
        EXPECT_EQ(file.GetOpenMode(), mode) << "kept after Close";
    }
    // A refused Open leaves the mode of the last one that succeeded.
    ASSERT_EQ(chmod((tmp / "m.job").c_str(), 0444), 0);
    EXPECT_FALSE(file.Open(file_Class::ModeWrite));
    EXPECT_EQ(file.GetOpenMode(), file_Class::ModeRead);
}

TEST_F(FileLayer, ReadStopsAtTheLogicalSize) {
    tmp.Write("r.bin", "0123456789");
    file_Class file(In("r.bin"));
    ASSERT_TRUE(file.Open());
    char buffer[16] = {};
    uint32_t count = 99;
    ASSERT_TRUE(file.Seek(6));
    EXPECT_TRUE(file.Read(buffer, 10, &count));
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(std::string(buffer, 4), "6789");
    count = 99;
    EXPECT_FALSE(file.Read(buffer, 10, &count));
    EXPECT_EQ(count, 99u);  // untouched at the end
    EXPECT_EQ(file.Tell(), 10);
    file.Close();
    EXPECT_EQ(file.GetSize(), 10u);  // kept after closing
}

TEST_F(FileLayer, CloseCutsTheFileToItsLogicalSize) {
    std::string path = tmp.Write("c.bin", std::string(100, 'x'));
    file_Class file(In("c.bin"));
    ASSERT_TRUE(file.Open(file_Class::ModeReadWrite));
    tmp.Write("c.bin", std::string(150, 'y'));  // another writer makes it longer
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(TempFolder::Read(path), std::string(100, 'y'));

    // Opened for reading and closed: the size is kept.
    ASSERT_TRUE(file.Open());
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(TempFolder::Read(path).size(), 100u);
}

TEST_F(FileLayer, WritesRaiseTheLogicalSizeAndTruncateLeavesIt) {
    file_Class file;
    ASSERT_TRUE(file.Create(In("w.bin")));
    EXPECT_TRUE(file.WriteAtEnd("0123456789", 10));
    ASSERT_TRUE(file.Seek(0));
    EXPECT_TRUE(file.WriteAtEnd("abcdefghij", 10));
    EXPECT_EQ(file.GetSize(), 20u);
    ASSERT_TRUE(file.Seek(2));
    uint32_t count = 0;
    EXPECT_TRUE(file.Write("XY", 2, &count));
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(file.GetSize(), 20u);
    EXPECT_EQ(file.Tell(), 4);
    EXPECT_TRUE(file.Truncate(15));
    EXPECT_EQ(file.GetSize(), 20u);
    EXPECT_TRUE(file.Flush());
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(TempFolder::Read(tmp / "w.bin"), "01XY456789abcde");
}

TEST_F(FileLayer, SizesAndOffsetsBeyondFourGiB) {
    const int64_t big = (int64_t{5} << 30) + 10;
    std::string path = tmp.Write("big.bin", "");
    ASSERT_EQ(truncate(path.c_str(), big), 0);  // sparse
    file_Class file(In("big.bin"));
    ASSERT_TRUE(file.Open(file_Class::ModeReadWrite));
    EXPECT_EQ(file.GetSize(), static_cast<uint64_t>(big));
    EXPECT_EQ(file.QuerySize(), big);
    ASSERT_TRUE(file.Seek(big - 4));
    EXPECT_TRUE(file.Write("tail", 4));
    EXPECT_TRUE(file.WriteAtEnd("more", 4));
    EXPECT_EQ(file.GetSize(), static_cast<uint64_t>(big + 4));
    ASSERT_TRUE(file.Seek(big - 4));
    char buffer[8] = {};
    uint32_t count = 0;
    EXPECT_TRUE(file.Read(buffer, 8, &count));
    EXPECT_EQ(std::string(buffer, count), "tailmore");
    ASSERT_EQ(truncate(path.c_str(), big + 100), 0);
    EXPECT_TRUE(file.Close());
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_size, big + 4);
}

TEST_F(FileLayer, ReadLineEndsLinesAtAnyLineEnd) {
    tmp.Write("l.txt", std::string("a\r\nb\rc\n\nd"));
    file_Class file(In("l.txt"));
    ASSERT_TRUE(file.Open());
    EXPECT_EQ(Lines(file, 80), (std::vector<std::string>{"a", "b", "c", "", "d"}));
    char buffer[8];
    EXPECT_FALSE(file.ReadLine(buffer, 8));
    file.Close();
}

TEST_F(FileLayer, CarriageReturnAtTheEndDeliversNoEmptyLine) {
    struct Case {
        const char* bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"\r", {}},
        {"a\r", {"a"}},
        {"a\r\r", {"a"}},
        {"a\r\n\r\n", {"a", ""}},
        {"a\n\n", {"a", ""}},
    };
    for (const Case& c : cases) {
        tmp.Write("cr.txt", c.bytes);
        file_Class file(In("cr.txt"));
        ASSERT_TRUE(file.Open());
        EXPECT_EQ(Lines(file, 80), c.lines) << testing::PrintToString(std::string(c.bytes));
        file.Close();
    }
}

TEST_F(FileLayer, LongLinesComeInPieces) {
    tmp.Write("p.txt", "0123456789\nabcd\r\nxy");
    file_Class file(In("p.txt"));
    ASSERT_TRUE(file.Open());
    EXPECT_EQ(Lines(file, 5), (std::vector<std::string>{"0123", "4567", "89", "abcd", "", "xy"}));
    char one[1] = {'z'};
    EXPECT_FALSE(file.ReadLine(one, 1));  // no room for a character
    EXPECT_EQ(one[0], 0);
    file.Close();
}

TEST_F(FileLayer, LineEndSplitAcrossBlocks) {
    std::string text(8191, 'a');
    text += "\r\nb\r";
    text += std::string(8190, 'c') + "\r";
    text += "\nd\r";
    tmp.Write("s.txt", text);
    file_Class file(In("s.txt"));
    ASSERT_TRUE(file.Open());
    EXPECT_EQ(Lines(file, 20000),
              (std::vector<std::string>{std::string(8191, 'a'), "b", std::string(8190, 'c'), "d"}));
    file.Close();
}

TEST_F(FileLayer, ManyLinesThroughSeveralBuffers) {
    std::string text;
    std::vector<std::string> expected;
    for (int i = 0; i < 3000; ++i) {
        std::string line = "line " + std::to_string(i) + std::string(static_cast<size_t>(i % 37), '.');
        expected.push_back(line);
        text += line + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
    }
    tmp.Write("m.txt", text);
    file_Class file(In("m.txt"));
    ASSERT_TRUE(file.Open());
    EXPECT_EQ(Lines(file, 100), expected);
    file.Close();
}

// Offsets of each line start, for seeking back.
TEST_F(FileLayer, SeekAndTellFollowTheLineBuffer) {
    std::string text;
    std::vector<int64_t> starts;
    for (int i = 0; i < 4000; ++i) {
        starts.push_back(static_cast<int64_t>(text.size()));
        text += "row " + std::to_string(i) + "\r\n";
    }
    ASSERT_GT(text.size(), 3u * 8192u);
    tmp.Write("t.txt", text);
    file_Class file(In("t.txt"));
    ASSERT_TRUE(file.Open());
    char buffer[64];
    for (int i = 0; i < 1500; ++i) {
        ASSERT_EQ(file.Tell(), starts[static_cast<size_t>(i)]) << i;
        ASSERT_TRUE(file.ReadLine(buffer, 64));
        ASSERT_EQ(std::string(buffer), "row " + std::to_string(i));
    }
    // Back inside the current buffer, back before it, forward past it, to the end.
    for (int target : {1499, 1480, 3, 3900, 3999, 2}) {
        ASSERT_TRUE(file.Seek(starts[static_cast<size_t>(target)]));
        EXPECT_EQ(file.Tell(), starts[static_cast<size_t>(target)]);
        ASSERT_TRUE(file.ReadLine(buffer, 64));
        EXPECT_EQ(std::string(buffer), "row " + std::to_string(target));
    }
    ASSERT_TRUE(file.Seek(static_cast<int64_t>(text.size())));
    EXPECT_FALSE(file.ReadLine(buffer, 64));
    EXPECT_TRUE(env.assertions.empty());
    file.Close();
}

TEST_F(FileLayer, SeekInsideASmallFileServedFromTheBuffer) {
    tmp.Write("small.txt", "one\ntwo\nthree");
    file_Class file(In("small.txt"));
    ASSERT_TRUE(file.Open());
    char buffer[16];
    ASSERT_TRUE(file.ReadLine(buffer, 16));
    ASSERT_TRUE(file.Seek(8));
    EXPECT_EQ(file.Tell(), 8);
    ASSERT_TRUE(file.ReadLine(buffer, 16));
    EXPECT_STREQ(buffer, "three");
    // The end of the file is not in the buffer: a plain seek, nothing reported.
    ASSERT_TRUE(file.Seek(13));
    EXPECT_FALSE(file.ReadLine(buffer, 16));
    ASSERT_TRUE(file.Seek(0));
    ASSERT_TRUE(file.ReadLine(buffer, 16));
    EXPECT_STREQ(buffer, "one");
    EXPECT_TRUE(env.assertions.empty());
    file.Close();
}

TEST_F(FileLayer, ScrambledTextReadsAsPlainText) {
    std::string plain = "first line\r\nsecond line\n" + std::string(9000, 'z') + "\nlast";
    uint8_t header[SCRAMBLE_HeaderSize];
    scramble_MakeHeader(0x1234, header);
    std::string bytes(reinterpret_cast<const char*>(header), SCRAMBLE_HeaderSize);
    scramble_State state = scramble_Seed(header);
    for (char c : plain) bytes += static_cast<char>(static_cast<uint8_t>(c) ^ scramble_Next(state));
    tmp.Write("x.txt", bytes);
    file_Class file(In("x.txt"));
    ASSERT_TRUE(file.Open());
    EXPECT_EQ(Lines(file, 10000),
              (std::vector<std::string>{"first line", "second line", std::string(9000, 'z'), "last"}));
    file.Close();

    // The header's first bytes alone do not make a file scrambled.
    std::string near(reinterpret_cast<const char*>(header), 4);
    tmp.Write("n.txt", near + "abcd\nrest");
    file_Class other(In("n.txt"));
    ASSERT_TRUE(other.Open());
    char line[100];
    ASSERT_TRUE(other.ReadLine(line, 100));
    EXPECT_EQ(std::string(line, 8), near + "abcd");
    ASSERT_TRUE(other.ReadLine(line, 100));
    EXPECT_STREQ(line, "rest");
    other.Close();
}

TEST_F(FileLayer, UniqueNames) {
    tmp.Write("log001.txt", "");
    tmp.Write("log002.txt", "");
    file_Class file(In("log.txt"));
    ASSERT_TRUE(file.MakeUniqueName());
    EXPECT_EQ(file.GetFullPath(), Str((tmp.Path() + "\\log003.txt").c_str()));
    EXPECT_EQ(file.Directory, "$(Work)");

    for (int i = 1; i <= 999; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "full%03d.txt", i);
        tmp.Write(name, "");
    }
    file_Class full(In("full.txt"));
    EXPECT_FALSE(full.MakeUniqueName());
    EXPECT_EQ(full.Name, "full");

    path_DefineMacro("TempDir", tmp.Path().c_str());
    tmp.Write("_QZ001.tmp", "");
    file_Class temp;
    ASSERT_TRUE(temp.MakeTemporaryName());
    EXPECT_EQ(temp.GetFullPath(), Str((tmp.Path() + "\\_QZ002.tmp").c_str()));
    EXPECT_FALSE(temp.Exists());
    EXPECT_TRUE(env.assertions.empty());

    file_Class nameless;
    nameless.Name = "x";
    nameless.MakeUniqueName();
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"!Directory.IsEmpty()"});
}

TEST_F(FileLayer, DeleteMoveAndCopy) {
    file_Class missing(In("none.txt"));
    EXPECT_FALSE(missing.Delete());
    EXPECT_TRUE(env.systemErrors.empty());

    tmp.Write("a.txt", "A");
    tmp.Write("b.txt", "B");
    file_Class a(In("a.txt"));
    file_Class b(In("b.txt"));
    EXPECT_FALSE(a.MoveTo(b));
    ASSERT_EQ(env.systemErrors.size(), 1u);
    EXPECT_EQ(env.systemErrors[0].code, 183u);
    EXPECT_EQ(env.systemErrors[0].name, tmp.Path() + "\\a.txt -> " + tmp.Path() + "\\b.txt");
    EXPECT_EQ(TempFolder::Read(tmp / "b.txt"), "B");

    file_Class c(In("sub.c.txt"));
    EXPECT_TRUE(a.MoveTo(c));
    EXPECT_EQ(a.Name, "sub.c");
    EXPECT_EQ(TempFolder::Read(tmp / "sub.c.txt"), "A");

    EXPECT_TRUE(file_CopyFile(In("b.txt"), In("sub.c.txt")));
    EXPECT_EQ(TempFolder::Read(tmp / "sub.c.txt"), "B");
    EXPECT_FALSE(file_CopyFile(In("none.txt"), In("z.txt")));
    EXPECT_TRUE(a.Delete());
    EXPECT_FALSE(a.Exists());
    EXPECT_EQ(env.systemErrors.size(), 1u);
}

TEST_F(FileLayer, ExistsAndQueriedSize) {
    tmp.Write("q.txt", "12345");
    platform_CreateDirectory((tmp / "dir.d").c_str());
    EXPECT_TRUE(file_Class(In("dir.d")).Exists());  // a folder counts
    EXPECT_FALSE(file_Class(In("nothing")).Exists());
    EXPECT_FALSE(file_Class(In(".profile")).Exists());  // no name
    file_Class q(In("q.txt"));
    EXPECT_EQ(q.QuerySize(), 5);
    tmp.Write("q.txt", "1234567");
    EXPECT_EQ(q.QuerySize(), 5);  // cached
    file_Class none(In("nothing"));
    EXPECT_EQ(none.QuerySize(), 0);
    ASSERT_EQ(env.systemErrors.size(), 1u);
    EXPECT_EQ(env.systemErrors[0].code, 2u);
}

TEST_F(FileLayer, OpenFailuresAndAssertions) {
    file_Class unnamed;
    EXPECT_FALSE(unnamed.Open());
    EXPECT_TRUE(env.systemErrors.empty());
    file_Class missing(In("none.txt"));
    EXPECT_FALSE(missing.Open());
    ASSERT_EQ(env.systemErrors.size(), 1u);
    EXPECT_EQ(env.systemErrors[0].code, 2u);
    EXPECT_EQ(env.systemErrors[0].name, tmp.Path() + "\\none.txt");

    tmp.Write("o.txt", "x");
    file_Class file(In("o.txt"));
    EXPECT_FALSE(file.Open(7));
    char c;
    EXPECT_FALSE(file.Read(&c, 1));
    EXPECT_EQ(file.Tell(), -1);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"", "_WinHandle != NULL", "_WinHandle != NULL"}));
    env.Clear();
    {
        file_Class open(In("o.txt"));
        ASSERT_TRUE(open.Open());
        file_Class copy(open);
        EXPECT_FALSE(copy.IsOpen());
        EXPECT_EQ(copy.GetFullPath(), open.GetFullPath());
    }
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"!file.IsOpen()", "!this->IsOpen()"}));
}

struct Counted : file_AttachedObject {
    explicit Counted(int* live) : live_(live) { ++*live_; }
    ~Counted() override { --*live_; }
    file_AttachedObject* Clone() const override { return new Counted(live_); }
    int* live_;
};

TEST_F(FileLayer, AttachedObjectIsOwnedAndCloned) {
    int live = 0;
    {
        file_Class file(In("a.txt"));
        file.SetAttachedObject(new Counted(&live));
        file_Class copy(file);
        EXPECT_EQ(live, 2);
        EXPECT_NE(copy.GetAttachedObject(), file.GetAttachedObject());
        copy.SetAttachedObject(nullptr);
        EXPECT_EQ(live, 1);
    }
    EXPECT_EQ(live, 0);
}

TEST_F(FileLayer, StandardOutputIsOurOwnDuplicate) {
    file_Class out("STDOUT$");
    ASSERT_TRUE(out.Open(file_Class::ModeWrite));
    uint64_t before = out.GetSize();
    EXPECT_TRUE(out.Write("\n", 1));
    EXPECT_EQ(out.GetSize(), before);
    EXPECT_TRUE(out.Close());
    EXPECT_FALSE(out.IsOpen());
    EXPECT_NE(fcntl(STDOUT_FILENO, F_GETFD), -1);  // the host's own is still open
    EXPECT_TRUE(env.systemErrors.empty());
}

}  // namespace

namespace {

// Sets a file's last-write time to a local calendar time.
void SetLocalModificationTime(const std::string& path, int year, int month, int day, int h, int m, int s) {
    struct tm fields = {};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = h;
    fields.tm_min = m;
    fields.tm_sec = s;
    fields.tm_isdst = -1;
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = mktime(&fields);
    times[0].tv_nsec = times[1].tv_nsec = 0;
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST_F(FileLayer, ModificationTimeInLocalSecondsSince1980) {
    std::string path = tmp.Write("t.txt", "x");
    SetLocalModificationTime(path, 1980, 1, 2, 0, 0, 10);
    file_Class file(In("t.txt"));
    EXPECT_EQ(file.GetModificationTime(), 86410.0);
    SetLocalModificationTime(path, 2024, 2, 29, 13, 14, 15);
    EXPECT_EQ(file.GetModificationTime(), 86410.0);  // cached
    file.SetModificationTime(0);
    const double expected = (clock_TimeFromDate(2024, 2, 29)) + 13 * 3600 + 14 * 60 + 15;
    EXPECT_EQ(file.GetModificationTime(), expected);

    std::vector<platform_FindData> found;
    ASSERT_TRUE(platform_FindFiles((tmp / "t.txt").c_str(), &found));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(filesys_FindDataTime(found[0]), expected);

    file_Class missing(In("none"));
    EXPECT_EQ(missing.GetModificationTime(), 0.0);
    ASSERT_EQ(env.systemErrors.size(), 1u);
    EXPECT_EQ(env.systemErrors[0].code, 2u);
}

}  // namespace

namespace {

TEST_F(FileLayer, TellAfterALargeReadIsThePlatformPosition) {
    tmp.Write("big.txt", std::string(10000, 'b'));
    file_Class file(In("big.txt"));
    ASSERT_TRUE(file.Open());
    std::vector<char> buffer(9000);
    uint32_t count = 0;
    ASSERT_TRUE(file.Read(buffer.data(), 9000, &count));
    EXPECT_EQ(count, 9000u);
    EXPECT_EQ(file.Tell(), 9000);  // no line buffer, nothing held back
    file.Close();
}

TEST_F(FileLayer, FullDiskIsReported) {
    file_Class full("/dev/full");
    ASSERT_TRUE(full.Open(file_Class::ModeWrite));
    uint32_t count = 99;
    EXPECT_FALSE(full.Write("x", 1, &count));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(full.GetLastSystemError(), 112u);
    ASSERT_EQ(env.systemErrors.size(), 1u);
    EXPECT_EQ(env.systemErrors[0].code, 112u);
    EXPECT_EQ(env.systemErrors[0].name, "\\dev\\full");
    full.Close();
}

}  // namespace
