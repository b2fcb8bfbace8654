#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/files/file.h"
#include "foundation/files/filelist.h"
#include "support/recording_environment.h"
#include "support/str_print.h"
#include "support/temp_folder.h"

namespace {

file_Array ListOf(const std::vector<std::string>& paths) {
    file_Array list;
    for (const std::string& p : paths) list.Add(file_Class(Str(p.c_str())));
    return list;
}

// "dir\name.ext" of every file, in list order.
std::vector<std::string> Paths(const file_Array& list) {
    std::vector<std::string> paths;
    for (int i = 0; i < list.Count(); ++i) {
        const file_Class& f = list[i];
        std::string p = f.Directory.IsEmpty() ? "" : std::string(f.Directory.Data()) + "\\";
        p += f.Name.Data();
        if (!f.Extension.IsEmpty()) p += std::string(".") + f.Extension.Data();
        paths.push_back(p);
    }
    return paths;
}

using V = std::vector<std::string>;

TEST(FileArray, SortByNameIsNaturalAndIgnoresCase) {
    RecordingEnvironment env;
    file_Array list = ListOf({"file2", "file10", "File1"});
    list.SortByName(true);
    EXPECT_EQ(Paths(list), (V{"File1", "file2", "file10"}));
    list.SortByName(false);
    EXPECT_EQ(Paths(list), (V{"file10", "file2", "File1"}));

    file_Array ext = ListOf({"a.txt", "a.csv", "A.Bat"});
    ext.SortByName();
    EXPECT_EQ(Paths(ext), (V{"A.Bat", "a.csv", "a.txt"}));
    EXPECT_TRUE(env.assertions.empty());
}

TEST(FileArray, SortsByDirectoryAndExtension) {
    file_Array list = ListOf({"B\\x2.txt", "a\\x10.TXT", "a\\x10.csv", "a\\x9.txt"});
    list.SortByDirectory();
    EXPECT_EQ(Paths(list), (V{"a\\x9.txt", "a\\x10.csv", "a\\x10.TXT", "B\\x2.txt"}));
    list.SortByExtension();
    EXPECT_EQ(Paths(list), (V{"a\\x10.csv", "B\\x2.txt", "a\\x9.txt", "a\\x10.TXT"}));
    list.SortByExtension(false);
    EXPECT_EQ(Paths(list), (V{"a\\x10.TXT", "a\\x9.txt", "B\\x2.txt", "a\\x10.csv"}));
}

TEST(FileArray, SortsBySizeAndDateFromTheCaches) {
    RecordingEnvironment env;  // none of these files exists: the caches must serve
    file_Array list = ListOf({"c.txt", "b.txt", "a.txt"});
    list[0].SetQueriedSize(5);
    list[1].SetQueriedSize(7);
    list[2].SetQueriedSize(7);
    list.SortBySize();
    EXPECT_EQ(Paths(list), (V{"c.txt", "a.txt", "b.txt"}));  // equal sizes by name
    list.SortBySize(false);
    EXPECT_EQ(Paths(list), (V{"b.txt", "a.txt", "c.txt"}));

    list[0].SetModificationTime(300);  // b
    list[1].SetModificationTime(100);  // a
    list[2].SetModificationTime(200);  // c
    list.SortByDate();
    EXPECT_EQ(Paths(list), (V{"a.txt", "c.txt", "b.txt"}));
    EXPECT_TRUE(env.systemErrors.empty());
}

TEST(FileArray, SortByDateAsksThePlatformOncePerFile) {
    RecordingEnvironment env;
    file_Array list = ListOf({"/nonexistent/q/a.txt", "/nonexistent/q/b.txt", "/nonexistent/q/c.txt"});
    list.SortByDate();
    EXPECT_EQ(env.systemErrors.size(), 3u);  // one failed query each, not one per comparison
}

TEST(FileArray, ShortListsAreLeftAlone) {
    file_Array one = ListOf({"only.txt"});
    for (bool ascending : {true, false}) {
        one.SortByName(ascending);
        one.SortByDirectory(ascending);
        one.SortByDate(ascending);
        one.SortBySize(ascending);
        one.SortByExtension(ascending);
        EXPECT_EQ(Paths(one), (V{"only.txt"}));
    }
    file_Array none;
    none.SortByName(false);
    none.Reverse();
    EXPECT_EQ(none.Count(), 0);
}

TEST(FileArray, GrowsToTheNeedPlusSixteen) {
    file_Array list;
    EXPECT_EQ(list.Allocated(), 0);
    list.Reserve(1);
    EXPECT_EQ(list.Allocated(), 17);
    for (int i = 0; i < 17; ++i) list.Add(file_Class(Str("f.txt")));
    EXPECT_EQ(list.Allocated(), 17);
    list.Add(file_Class(Str("g.txt")));
    EXPECT_EQ(list.Allocated(), 34);
    EXPECT_EQ(list.Count(), 18);
    list.Reserve(10);
    EXPECT_EQ(list.Allocated(), 34);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Allocated(), 0);
}

TEST(FileArray, CopiesAreDeepAndIndependent) {
    file_Class f(Str("dir\\same.txt"));
    file_Array list;
    list.Add(f);
    list.Add(f);
    list[0].Name = "changed";
    EXPECT_EQ(list[1].Name, "same");
    EXPECT_EQ(f.Name, "same");

    file_Array copy(list);
    copy[1].Name = "copy";
    EXPECT_EQ(list[1].Name, "same");

    file_Array assigned = ListOf({"x.txt", "y.txt", "z.txt"});
    assigned = list;
    EXPECT_EQ(Paths(assigned), (V{"dir\\changed.txt", "dir\\same.txt"}));
    assigned = assigned;
    EXPECT_EQ(assigned.Count(), 2);

    file_Array sum = list + file_Class(Str("n.txt"));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(Paths(sum), (V{"dir\\changed.txt", "dir\\same.txt", "n.txt"}));
    file_Array both = list + sum;
    EXPECT_EQ(both.Count(), 5);

    list.Add(list);  // each file copied once
    EXPECT_EQ(Paths(list), (V{"dir\\changed.txt", "dir\\same.txt", "dir\\changed.txt", "dir\\same.txt"}));

    file_Class got = list.GetCopy(1);
    got.Name = "other";
    EXPECT_EQ(list[1].Name, "same");

    list.RemoveAt(0);
    EXPECT_EQ(Paths(list), (V{"dir\\same.txt", "dir\\changed.txt", "dir\\same.txt"}));
    list.Reverse();
    EXPECT_EQ(Paths(list), (V{"dir\\same.txt", "dir\\changed.txt", "dir\\same.txt"}));
    list.RemoveAt(2);
    list.Reverse();
    EXPECT_EQ(Paths(list), (V{"dir\\changed.txt", "dir\\same.txt"}));
}

TEST(FileArray, IndexesOutOfRangeAreReportedAndHarmless) {
    RecordingEnvironment env;
    file_Array list = ListOf({"a.txt"});
    EXPECT_TRUE(list[1].Name.IsEmpty());
    EXPECT_TRUE(list[-1].Name.IsEmpty());
    list[5].Name = "scribbled";  // goes to a scratch file, not the list
    EXPECT_TRUE(list[7].Name.IsEmpty());
    EXPECT_FALSE(list.GetCopy(1).HasName());
    list.RemoveAt(1);
    list.RemoveAt(-1);
    EXPECT_EQ(Paths(list), (V{"a.txt"}));
    EXPECT_EQ(env.Expressions(), (V{"Index < _Count", "Index < _Count", "Index < _Count", "Index < _Count",
                                    "Index < _Count", "index < _Count", "index < _Count"}));
    for (const AssertionReport& r : env.assertions) EXPECT_EQ(r.module, "QZ/file");
}

TEST(FileTypes, PatternsAndContains) {
    FileTypeArray all;
    ASSERT_EQ(all.Count(), 1);
    EXPECT_EQ(all[0], "*.*");

    FileTypeArray two("*.job; *.csv");
    ASSERT_EQ(two.Count(), 2);
    EXPECT_EQ(two[0], "*.job");
    EXPECT_EQ(two[1], "*.csv");
    FileTypeArray fromStr(Str("  *.a ;*.b  ;"));
    ASSERT_EQ(fromStr.Count(), 2);
    EXPECT_EQ(fromStr[1], "*.b");

    FileTypeArray upper("JOB");
    EXPECT_TRUE(upper.Contains("job"));
    EXPECT_TRUE(upper.Contains("JOB"));
    EXPECT_FALSE(upper.Contains("jo"));
    FileTypeArray lower("job");
    EXPECT_FALSE(lower.Contains("job"));

    EXPECT_EQ(file_TypeDescription("csv"), "CSV file");
    EXPECT_EQ(file_TypeDescription(""), " file");
}

TEST(FindLargest, PicksTheLargestFileThatOpens) {
    TempFolder tmp;
    RecordingEnvironment env;
    std::string ten = tmp.Write("ten.bin", std::string(10, 'x'));
    std::string twenty = tmp.Write("twenty.bin", std::string(20, 'y'));
    std::string twentyToo = tmp.Write("twenty2.bin", std::string(20, 'z'));
    std::string empty = tmp.Write("empty.bin", "");
    std::string missing = tmp / "missing.bin";

    file_Class largest = fileio_FindLargest(ListOf({missing, ten, twenty, twentyToo}));
    EXPECT_EQ(largest.Name, "twenty");  // the first of equal sizes
    EXPECT_FALSE(largest.IsOpen());
    EXPECT_EQ(largest.GetSize(), 20u);

    file_Class none = fileio_FindLargest(ListOf({missing, empty}));
    EXPECT_FALSE(none.HasName());
    EXPECT_FALSE(fileio_FindLargest(file_Array()).HasName());
}

}  // namespace
