#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <utime.h>
#include <vector>

#include "foundation/files/file.h"
#include "foundation/files/filelist.h"
#include "foundation/files/filesearch.h"
#include "foundation/files/path.h"
#include "platform/dir.h"
#include "support/recording_environment.h"
#include "support/str_print.h"
#include "support/temp_folder.h"
#include "support/work_folder.h"

namespace fs = std::filesystem;

namespace {

using V = std::vector<std::string>;

V Texts(const StrArray& list) {
    V texts;
    for (int i = 0; i < list.Count(); ++i) texts.push_back(list[i].Data());
    return texts;
}

V Names(const file_Array& list) {
    V names;
    for (int i = 0; i < list.Count(); ++i) names.push_back(list[i].GetFileName().Data());
    return names;
}

TEST(WildcardMatch, Table) {
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    } cases[] = {
        {"report.TXT", "*.txt", true},  {"report.TXT", "REP?RT.*", true}, {"report", "*.*", false},
        {"report", "*.txt", false},     {"a.txt", "C:*.txt", true},       {"ab", "a*b", true},
        {"axb", "a*b", true},           {"axbxb", "a*b", true},           {"abx", "a*b", false},
        {"", "", true},                 {"", "*", true},                  {"anything", "*", true},
        {"a", "?", true},               {"", "?", false},                 {"ab", "?", false},
        {"x.", "*.*", true},            {"a?", "*?", true},               {"ab", "*?", false},
        {"a*b", "**b", true},           {"ab", "**b", false},             {"abc", "a*", true},
        {"abc", "ab", false},           {"ab", "abc", false},             {"d:x", "c:d:x", true},
        {"x", "c:d:x", false},          {"aXa", "*x?", true},             {"job.bak.job", "*.job", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(filesys_WildcardMatch(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
}

TEST(WildcardMatch, ManyStarsStayCheap) {
    std::string name(4000, 'a');
    std::string pattern;
    for (int i = 0; i < 200; ++i) pattern += "*a";
    EXPECT_FALSE(filesys_WildcardMatch(name.c_str(), (pattern + "b").c_str()));
    EXPECT_TRUE(filesys_WildcardMatch(name.c_str(), pattern.c_str()));
}

TEST(WildcardMatch, AnyOfAList) {
    StrArray patterns;
    EXPECT_FALSE(filesys_MatchesAny("a.txt", patterns));
    patterns.Add("*.csv");
    patterns.Add("A.*");
    EXPECT_TRUE(filesys_MatchesAny("a.txt", patterns));
    EXPECT_FALSE(filesys_MatchesAny("b.txt", patterns));
}

class FileSearch : public WorkFolderTest {
protected:
    std::string In(const std::string& name) const { return tmp.Path() + "\\" + name; }
    void Folder(const std::string& name) const { fs::create_directories(tmp / name); }

    RecordingEnvironment env;
};

TEST_F(FileSearch, ListsFilesAndFolders) {
    tmp.Write("b.TXT", "");
    tmp.Write("a.txt", "");
    tmp.Write("noext", "");
    tmp.Write("c.csv", "");
    Folder("sub.txt");
    Folder("Dir");

    EXPECT_EQ(Texts(filesys_ListFiles("$(Work)\\*.txt")), (V{In("a.txt"), In("b.TXT")}));
    // The platform's "*.*" is every name, a dot or not.
    EXPECT_EQ(Texts(filesys_ListFiles("$(Work)/*.*")), (V{In("a.txt"), In("b.TXT"), In("c.csv"), In("noext")}));
    EXPECT_TRUE(filesys_ListFiles("$(Work)\\*.none").Count() == 0);
    EXPECT_TRUE(filesys_ListFiles("$(Work)\\missing\\*").Count() == 0);

    StrArray patterns;
    patterns.Add("$(Work)\\*.csv");
    patterns.Add("$(Work)\\a*");
    EXPECT_EQ(Texts(filesys_ListFilesOfPatterns(patterns)), (V{In("a.txt"), In("c.csv")}));

    EXPECT_EQ(Texts(filesys_ListSubdirectories("$(Work)")), (V{In("Dir"), In("sub.txt")}));
    EXPECT_EQ(filesys_ListSubdirectories("$(Work)\\missing").Count(), 0);

    EXPECT_EQ(filesys_FindFirstFile("$(Work)\\*.txt"), In("a.txt").c_str());
    EXPECT_EQ(filesys_FindFirstFile("$(Work)\\s*"), "");  // a folder is not a file
    StrArray firsts;
    firsts.Add("$(Work)\\*.none");
    firsts.Add("$(Work)\\*.csv");
    EXPECT_EQ(filesys_FindFirstOfPatterns(firsts), In("c.csv").c_str());
    EXPECT_EQ(filesys_FindFirstOfPatterns(StrArray()), "");
    EXPECT_TRUE(env.systemErrors.empty());
}

TEST_F(FileSearch, ListDirectoryFillsCachesAndSorts) {
    tmp.Write("file10.txt", "0123456789");
    tmp.Write("File1.TXT", "x");
    tmp.Write("file2.csv", "");
    tmp.Write("noext", "");
    Folder("zeta");
    Folder("alpha");
    // 1980-01-02 00:00:10 local time is 86410 seconds into the system's time base.
    std::tm local{};
    local.tm_year = 80;
    local.tm_mon = 0;
    local.tm_mday = 2;
    local.tm_sec = 10;
    local.tm_isdst = -1;
    std::time_t when = std::mktime(&local);
    struct utimbuf times = {when, when};
    ASSERT_EQ(utime((tmp / "file10.txt").c_str(), &times), 0);

    file_Array files;
    files.Add(file_Class(Str("file3.txt")));  // already there: kept and sorted in
    StrArray folders;
    folders.Add("zz");
    StrArray patterns;
    patterns.Add("*.txt");
    patterns.Add("*.*");  // the matcher's own "*.*" needs a dot: noext stays out
    filesys_ListDirectory("$(Work)", patterns, files, folders);

    EXPECT_EQ(Names(files), (V{"File1.TXT", "file2.csv", "file3.txt", "file10.txt"}));
    EXPECT_EQ(Texts(folders), (V{In("alpha"), In("zeta"), "zz"}));
    std::string folder = tmp.Path();
    for (char& c : folder)
        if (c == '/') c = '\\';
    EXPECT_EQ(files[0].GetDirectory(), folder.c_str());
    EXPECT_EQ(files[3].QuerySize(), 10);
    EXPECT_EQ(files[3].GetModificationTime(), 86410.0);

    file_Array untouched;
    StrArray none;
    filesys_ListDirectory("$(Work)", StrArray(), untouched, none);
    EXPECT_EQ(untouched.Count(), 0);
    EXPECT_EQ(none.Count(), 0);
}

TEST_F(FileSearch, ListedSizesKeepAllSixtyFourBits) {
    std::string big = tmp.Write("big.bin", "");
    std::error_code failed;
    fs::resize_file(big, (int64_t{5} << 30) + 7, failed);  // sparse where the file system allows
    if (failed) GTEST_SKIP() << "no room for a sparse 5 GiB file here";
    file_Array files;
    StrArray folders;
    StrArray patterns;
    patterns.Add("*.bin");
    filesys_ListDirectory("$(Work)", patterns, files, folders);
    ASSERT_EQ(files.Count(), 1);
    EXPECT_EQ(files[0].QuerySize(), (int64_t{5} << 30) + 7);
}

TEST_F(FileSearch, FindsNamedFilesIgnoringCase) {
    tmp.Write("Site.csd", "");
    tmp.Write("site.CSD", "");
    tmp.Write("site2.csd", "");
    tmp.Write("site.txt", "");
    file_Array found = filesys_FindNamedFiles("$(Work)", "SITE", "csd");
    EXPECT_EQ(Names(found), (V{"Site.csd", "site.CSD"}));
}

TEST_F(FileSearch, SharedFilePrefersTheExactNameThenPartialMatches) {
    path_DefineMacro("SharedDir", tmp.Path().c_str());
    tmp.Write("sit.csd", "1234");
    tmp.Write("site2.csd", "123456789");
    tmp.Write("site.txt", "");
    EXPECT_EQ(filesys_FindSharedFile("site", "*.csd").GetFileName(), "sit.csd");

    tmp.Write("si.csd", "12345678");  // larger than sit.csd: the larger partial match wins
    EXPECT_EQ(filesys_FindSharedFile("site", "*.csd").GetFileName(), "si.csd");

    tmp.Write("SITE .CSD", "1");
    tmp.Write("Site  .csd", "12");  // trailing blanks ignored: two exact matches, the larger wins
    EXPECT_EQ(filesys_FindSharedFile("site", "*.csd").GetFileName(), "Site  .csd");

    tmp.Write("site.csd", "");  // the name itself, even empty, comes first
    EXPECT_EQ(filesys_FindSharedFile("site", "*.csd").GetFileName(), "site.csd");

    EXPECT_FALSE(filesys_FindSharedFile("other", "*.GGF").HasName());
    tmp.Write(".csd", "123456789012");  // no name: it occurs in nothing
    EXPECT_FALSE(filesys_FindSharedFile("zz", "*.csd").HasName());
    // A name from outside never leads out of the shared folder.
    Folder("up");
    tmp.Write("up/x.csd", "1");
    EXPECT_FALSE(filesys_FindSharedFile("up\\x", "*.csd").HasName());
    EXPECT_FALSE(filesys_FindSharedFile("..", "*.csd").HasName());
}

TEST_F(FileSearch, MakeFileArray) {
    StrArray paths;
    paths.Add("a\\b.txt");
    paths.Add("c.job");
    file_Array files = filesys_MakeFileArray(paths);
    ASSERT_EQ(files.Count(), 2);
    EXPECT_EQ(files[0].Directory, "a");
    EXPECT_EQ(files[1].GetFileName(), "c.job");
}

TEST_F(FileSearch, DeleteAndMove) {
    tmp.Write("a.txt", "a");
    EXPECT_EQ(filesys_MoveFile("$(Work)\\a.txt", "$(Work)\\b.txt"), 0u);
    EXPECT_FALSE(fs::exists(tmp / "a.txt"));
    tmp.Write("c.txt", "c");
    EXPECT_EQ(filesys_MoveFile("$(Work)\\b.txt", "$(Work)\\c.txt"), 183u);  // never replaces
    EXPECT_EQ(filesys_DeleteFile("$(Work)\\b.txt"), 0u);
    EXPECT_FALSE(fs::exists(tmp / "b.txt"));
    env.Clear();
    EXPECT_EQ(filesys_DeleteFile("$(Work)\\b.txt"), 2u);
    EXPECT_TRUE(env.systemErrors.empty());
}

TEST_F(FileSearch, RemoveTreeTakesEverything) {
    Folder("t/a/deep/er");
    Folder("t/b");
    tmp.Write("t/noext", "1");
    tmp.Write("t/.hidden", "1");
    tmp.Write("t/a/x.txt", "1");
    tmp.Write("t/a/deep/er/y", "1");
    tmp.Write("t/b/$(Work)", "a name, not a macro");
    tmp.Write("victim", "must stay");
    ASSERT_EQ(symlink("no/such/target", (tmp / "t/dangling").c_str()), 0);
    EXPECT_EQ(filesys_RemoveTree("$(Work)\\t"), 0u);
    EXPECT_FALSE(fs::exists(fs::symlink_status(tmp / "t")));
    EXPECT_TRUE(fs::exists(tmp / "victim"));
    EXPECT_TRUE(env.systemErrors.empty());

    // A missing folder gives what removing it gives: 2, or 3 when its parent is missing too.
    EXPECT_EQ(filesys_RemoveTree("$(Work)\\t"), 2u);
    EXPECT_EQ(filesys_RemoveTree("$(Work)\\t\\u"), 3u);
}

TEST_F(FileSearch, RemoveTreeNeverFollowsLinks) {
    Folder("outside/inner");
    tmp.Write("outside/keep.txt", "keep");
    tmp.Write("outside/inner/keep2", "keep");
    tmp.Write("target.txt", "keep");
    Folder("t/sub");
    ASSERT_EQ(symlink((tmp / "outside").c_str(), (tmp / "t/sub/link").c_str()), 0);
    ASSERT_EQ(symlink((tmp / "target.txt").c_str(), (tmp / "t/file-link").c_str()), 0);
    ASSERT_EQ(symlink((tmp / "t").c_str(), (tmp / "t/sub/loop").c_str()), 0);

    EXPECT_EQ(filesys_RemoveTree("$(Work)\\t"), 0u);
    EXPECT_FALSE(fs::exists(fs::symlink_status(tmp / "t")));
    EXPECT_EQ(TempFolder::Read(tmp / "outside/keep.txt"), "keep");
    EXPECT_EQ(TempFolder::Read(tmp / "outside/inner/keep2"), "keep");
    EXPECT_EQ(TempFolder::Read(tmp / "target.txt"), "keep");

    // A link given as the tree itself goes; its target stays.
    ASSERT_EQ(symlink((tmp / "outside").c_str(), (tmp / "rootlink").c_str()), 0);
    EXPECT_EQ(filesys_RemoveTree("$(Work)\\rootlink"), 0u);
    EXPECT_FALSE(fs::exists(fs::symlink_status(tmp / "rootlink")));
    EXPECT_TRUE(fs::exists(tmp / "outside/inner/keep2"));
}

TEST_F(FileSearch, RemoveTreeStopsAtAReadOnlyFile) {
    Folder("t/a");
    Folder("t/b");
    tmp.Write("t/a.txt", "gone first");
    tmp.Write("t/b.txt", "read-only");
    tmp.Write("t/c.txt", "after it");
    tmp.Write("t/a/inner.txt", "x");
    ASSERT_EQ(chmod((tmp / "t/b.txt").c_str(), 0444), 0);

    EXPECT_EQ(filesys_RemoveTree("$(Work)\\t"), 5u);
    EXPECT_FALSE(fs::exists(tmp / "t/a.txt"));
    EXPECT_TRUE(fs::exists(tmp / "t/b.txt"));
    EXPECT_TRUE(fs::exists(tmp / "t/c.txt"));
    EXPECT_TRUE(fs::exists(tmp / "t/a/inner.txt"));
    EXPECT_TRUE(fs::exists(tmp / "t/b"));
    ASSERT_EQ(env.systemErrors.size(), 1u);
    EXPECT_EQ(env.systemErrors[0].code, 5u);
    EXPECT_EQ(env.systemErrors[0].module, "QZ/file");
    EXPECT_EQ(env.systemErrors[0].name, In("t\\b.txt"));
    chmod((tmp / "t/b.txt").c_str(), 0644);
}

TEST(FileSearchText, RemoveCharsAndContainsText) {
    Str text("a-b_c-d");
    EXPECT_TRUE(filesys_RemoveChars(text, "-_"));
    EXPECT_EQ(text, "abcd");
    EXPECT_FALSE(filesys_RemoveChars(text, "xyz"));
    EXPECT_FALSE(filesys_RemoveChars(text, ""));
    EXPECT_EQ(text, "abcd");

    EXPECT_TRUE(filesys_ContainsText("hello world", "o w"));
    EXPECT_FALSE(filesys_ContainsText("hello", "world"));
    EXPECT_FALSE(filesys_ContainsText("hello", nullptr));
}

}  // namespace
