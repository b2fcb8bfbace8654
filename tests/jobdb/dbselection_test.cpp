#include "jobdb/dbselection.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "jobdb/selection_fixture.h"

namespace {

using Reports = std::vector<std::string>;
using Refs = std::vector<std::pair<int, int>>;

Refs References(const dbSelection& selection) {
    Refs refs;
    for (int i = 0; i < selection.GetItemCount(); ++i)
        refs.emplace_back(selection.GetReference(i).GetIndexNumber(), selection.GetReference(i).GetSubscript());
    return refs;
}

// ---------------------------------------------------------------- name order

TEST_F(SelectionTest, NameOrderIsBytewiseThenIndexThenSubscript) {
    TestIndex second;
    ASSERT_EQ(second.Register(), 2);
    // Ties within and across indexes, lower case after upper, UTF-8 and 0xFF bytes
    // above ASCII, the empty name first.
    const char* first[] = {"B", "A", "B", "a", "\xc3\xa9", "Z", "10", "9", "\xff", "A", "", "B "};
    const char* other[] = {"B", "\xc3\xa9", "A", "a"};
    dbSelection selection;
    for (const char* name : first) selection.AddItem(dbSelectionItem(Group(name)));
    for (const char* name : other) selection.AddItem(dbSelectionItem(second.AddObject(Loaded(new GroupObject(name, "", "", "")))));
    selection.SortByName();
    EXPECT_TRUE(selection.IsSortedByName());
    // Python: sorted(items, key=lambda t: (name bytes, index number, subscript)).
    const Refs expected = {{1, 10}, {1, 6}, {1, 7}, {1, 1}, {1, 9}, {2, 2}, {1, 0}, {1, 2},
                           {2, 0},  {1, 11}, {1, 5}, {1, 3}, {2, 3}, {1, 4}, {2, 1}, {1, 8}};
    EXPECT_EQ(References(selection), expected);

    // In reference order again, and naturally: digit runs by value, letters folded.
    selection.SortByReference();
    EXPECT_FALSE(selection.IsSortedByName());
    EXPECT_EQ(References(selection).front(), std::make_pair(1, 0));
    EXPECT_EQ(References(selection).back(), std::make_pair(2, 3));
    second.Clear();
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(SelectionTest, SortsAndInsertsInNameOrder) {
    dbSelection selection = Of({Group("B"), Group("A"), Group("B")});
    selection.SortByName();
    EXPECT_EQ(Subscripts(selection), (std::vector<int>{1, 0, 2}));

    // A sorted selection takes a new item after every item of its name.
    EXPECT_EQ(selection.AddItem(dbSelectionItem(Group("B"))), 3);
    EXPECT_EQ(selection.AddItem(dbSelectionItem(Group("0"))), 0);
    EXPECT_EQ(Subscripts(selection), (std::vector<int>{4, 1, 0, 2, 3}));
    EXPECT_TRUE(selection.IsSortedByName());

    dbSelection natural = Of({Group("pt10"), Group("pt9"), Group("PT9"), Group("pt1"), Group("pt2")});
    natural.SortNatural();
    EXPECT_EQ(Subscripts(natural), (std::vector<int>{8, 9, 6, 7, 5}));
    EXPECT_FALSE(natural.IsSortedByName());

    // One item or none: nothing to move, the flag is still set.
    dbSelection one(1, 0);
    one.SortByName();
    EXPECT_TRUE(one.IsSortedByName());
    EXPECT_TRUE(env.assertions.empty());
}

// ---------------------------------------------------------------- searching

struct SearchCase {
    const char* name;
    int type;
    int mode;
    int itemIn;
    bool found;
    int itemOut;
    const char* report;
};

TEST_F(SelectionTest, SearchModes) {
    Point("B");                 // 0
    Point("A");                 // 1
    Point("B");                 // 2
    Group("X");                 // 3
    Point("X");                 // 4
    Point("Y", 0x84, 0x2);      // 5 deleted, though best in every sense
    Point("Y", 0x40);           // 6 best of GNSS
    Point("Y", 0x04);           // 7 best
    Point("Y", 0x08);           // 8 best of grid
    Point("Y", 0x20);           // 9 best of local grid
    Point("Y", 0x10);           // 10 best not of local grid
    dbSelection selection;
    selection.FillFromIndex(&index);
    selection.SortByName();
    // Item numbers: A1 0, B0 1, B2 2, X3 3, X4 4, Y5..Y10 5..10.
    const SearchCase cases[] = {
        {"B", 162, 1, -1, true, 2, nullptr},   // the last B: subscript 2
        {"B", 162, 3, 2, true, 1, nullptr},    // then the one before: subscript 0
        {"B", 162, 3, 1, false, 1, nullptr},   // and no more
        {"B", 162, 0, -1, true, 1, nullptr},
        {"B", 162, 2, 1, true, 2, nullptr},
        {"B", 162, 2, 2, false, 2, nullptr},   // the last B, though X follows
        {"X", 162, 0, -1, true, 3, nullptr},
        {"X", 2, 0, -1, true, 4, nullptr},     // skips the group
        {"X", 165, 1, -1, true, 3, nullptr},   // backward over the point
        {"X", 3, 0, -1, false, -1, nullptr},
        {"Q", 162, 0, 7, false, 7, nullptr},   // no such name: item number unchanged
        {"", 162, 0, -1, false, -1, nullptr},
        {"Y", 2, 4, -1, true, 7, nullptr},     // 5 deleted, 6 not best by 0x84
        {"Y", 2, 5, -1, true, 6, nullptr},     // 0xC0
        {"Y", 2, 6, -1, true, 8, nullptr},     // 0x88
        {"Y", 2, 7, -1, true, 9, nullptr},     // 0xA0
        {"Y", 2, 8, -1, true, 10, nullptr},    // 0x90
        {"Y", 2, 9, -1, false, -1, "!\"Bad searchMode\""},
        {"Y", 2, -1, -1, false, -1, "!\"Bad searchMode\""},
        // Next and previous from outside the list have no neighbour to move to.
        {"B", 162, 2, -1, false, -1, "*itemNum >= 0 && *itemNum < _ItemCount"},
        {"B", 162, 3, 11, false, 11, "*itemNum >= 0 && *itemNum < _ItemCount"},
    };
    for (const SearchCase& c : cases) {
        env.Clear();
        int item = c.itemIn;
        EXPECT_EQ(selection.Search(c.name, c.type, c.mode, &item), c.found) << c.name << " mode " << c.mode;
        EXPECT_EQ(item, c.itemOut) << c.name << " mode " << c.mode;
        EXPECT_EQ(env.Expressions(), c.report ? Reports{c.report} : Reports{}) << c.name << " mode " << c.mode;
    }
    // Without an item number.
    EXPECT_TRUE(selection.Search("Y", 2, 4, nullptr));

    // An unsorted selection is reported and searched all the same.
    env.Clear();
    dbSelection unsorted(selection);
    unsorted.SetItem(0, unsorted.GetItem(0));
    int item = -1;
    EXPECT_TRUE(unsorted.Search("B", 162, 0, &item));
    EXPECT_EQ(item, 1);
    EXPECT_EQ(env.Expressions(), Reports{"_SortedByName"});
    env.Clear();
    EXPECT_FALSE(dbSelection().Search("B", 162, 0, &item)) << "no items";
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(SelectionTest, InsertPositionAndCaseInsensitiveLookup) {
    dbSelection selection = Of({Group("A"), Group("B"), Group("B"), Group("C")});
    selection.SortByName();
    const std::pair<const char*, int> positions[] = {{"B", 3}, {"", 0}, {"A", 1}, {"Ab", 1}, {"Bb", 3}, {"C", 4}, {"D", 4}};
    for (const auto& [name, position] : positions) EXPECT_EQ(selection.FindInsertPosition(name), position) << name;

    dbSelection points = Of({Point("pt0"), Point("pt1"), Point("\xc3\xa9t")});
    points.SortByName();
    int item = -1;
    EXPECT_FALSE(points.Search("PT1", 162, 0, &item));
    EXPECT_TRUE(points.FindNameInsensitive("PT1", 162, &item));
    EXPECT_EQ(points.GetReference(item).GetSubscript(), 5);
    EXPECT_FALSE(points.FindNameInsensitive("PT1", 3, &item)) << "no line of the name";
    // Only ASCII letters fold: É is not é.
    EXPECT_FALSE(points.FindNameInsensitive("\xc3\x89T", 162, &item));
    EXPECT_TRUE(points.FindNameInsensitive("\xc3\xa9T", 162, &item));
    EXPECT_TRUE(env.assertions.empty());

    dbSelection unsorted = Of({Group("A")});
    unsorted.FindInsertPosition("A");
    EXPECT_EQ(env.Expressions(), Reports{"_SortedByName"});
}

// ---------------------------------------------------------------- the array

TEST_F(SelectionTest, GrowsBy800ThenSteps4077More) {
    dbSelection selection;
    EXPECT_EQ(selection.GetAllocated(), 0);
    selection.Reserve(1);
    EXPECT_EQ(selection.GetAllocated(), 800);
    selection.Reserve(800);
    EXPECT_EQ(selection.GetAllocated(), 800);
    selection.Reserve(801);
    EXPECT_EQ(selection.GetAllocated(), 1600);
    dbSelection large;
    large.Reserve(5000);
    EXPECT_EQ(large.GetAllocated(), 800 + 2 * 4077);
    EXPECT_TRUE(env.assertions.empty());

    // No capacity beyond the largest count can be had: the array stays as it was.
    selection.AddItem(dbSelectionItem(Group("A")));
    selection.Reserve(INT_MAX);
    EXPECT_EQ(selection.GetAllocated(), 1600);
    EXPECT_EQ(selection.GetItemCount(), 1);
    EXPECT_TRUE(env.assertions.empty());
    selection.Reserve(-1);
    EXPECT_EQ(env.Expressions(), Reports{"minObjects > -1"});
}

TEST_F(SelectionTest, CopiesAndAssignment) {
    dbSelection sorted = Of({Group("B"), Group("A")});
    sorted.SortByName();
    dbSelection copy(sorted);
    EXPECT_TRUE(copy.IsSortedByName());
    EXPECT_EQ(Subscripts(copy), (std::vector<int>{1, 0}));

    const dbSelection empty;
    copy = empty;
    EXPECT_EQ(copy.GetItemCount(), 0);
    EXPECT_FALSE(copy.IsSortedByName());

    dbSelection& self = sorted;
    sorted = self;
    EXPECT_EQ(Subscripts(sorted), (std::vector<int>{1, 0}));
    EXPECT_TRUE(sorted.IsSortedByName());
    EXPECT_EQ(env.Expressions(), Reports{"this != &set"});
    EXPECT_TRUE(sorted.Isdbselection_Class());

    // The packed item keeps its flag and reference, byte for byte.
    dbSelection one(7, 0x123456);
    EXPECT_EQ(one.GetItem(0).Reference, 0x07123456u);
    EXPECT_EQ(one.GetItem(0).Flag, 0);
}

TEST_F(SelectionTest, EditingKeepsOrMarksTheOrder) {
    dbSelection selection = Of({Group("A"), Group("B"), Group("C")});
    selection.SortByName();
    selection.RemoveItem(1);
    EXPECT_TRUE(selection.IsSortedByName()) << "removing keeps the order";
    EXPECT_EQ(Subscripts(selection), (std::vector<int>{0, 2}));

    selection.AddItemAt(1, dbSelectionItem(dbObjectRef(1, 1)));
    EXPECT_EQ(Subscripts(selection), (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(selection.IsSortedByName());
    selection.SortByName();
    selection.SetItem(2, dbSelectionItem(dbObjectRef(1, 0)));
    EXPECT_FALSE(selection.IsSortedByName());
    EXPECT_EQ(selection.AddItemMarkUnsorted(dbSelectionItem(dbObjectRef(1, 2))), 3);

    dbSelection appended = Of({dbObjectRef(1, 1), dbObjectRef(1, 2)});
    appended.SortByName();
    EXPECT_EQ(appended.Add(dbObjectRef(1, 0)), 2) << "at the end, whatever the name";
    EXPECT_FALSE(appended.IsSortedByName());

    selection.RemoveReference(dbObjectRef(1, 0));
    EXPECT_EQ(Subscripts(selection), (std::vector<int>{1, 0, 2})) << "only the first";
    EXPECT_TRUE(env.assertions.empty());

    // Outside the list nothing changes.
    selection.AddItemAt(4, dbSelectionItem(dbObjectRef(1, 0)));
    selection.SetItem(-1, dbSelectionItem(dbObjectRef(1, 0)));
    selection.SetItem(3, dbSelectionItem(dbObjectRef(1, 0)));
    selection.RemoveItem(3);
    EXPECT_EQ(env.Expressions(), (Reports{"itemNum <= _ItemCount", "itemNum > -1", "itemNum < _ItemCount",
                                          "itemNum < _ItemCount"}));
    EXPECT_EQ(Subscripts(selection), (std::vector<int>{1, 0, 2}));
}

TEST_F(SelectionTest, FillAppendAndSubtract) {
    Group("C");
    Group("A");
    Group("B");
    dbSelection selection;
    selection.FillFromIndex(&index);
    EXPECT_EQ(Subscripts(selection), (std::vector<int>{0, 1, 2}));
    selection.SortByName();
    selection.FillFromIndex(&index);
    EXPECT_EQ(Subscripts(selection), (std::vector<int>{1, 2, 0})) << "a sorted selection is sorted again";

    // Appending inserts at the name positions, then marks the list unsorted.
    dbSelection more = Of({Group("AA"), Group("0")});
    selection.Append(more);
    EXPECT_EQ(Subscripts(selection), (std::vector<int>{4, 1, 3, 2, 0}));
    EXPECT_FALSE(selection.IsSortedByName());
    selection.Append(selection);
    EXPECT_EQ(selection.GetItemCount(), 10);

    // Subtracting marks with 0x80 and keeps the unmarked, whose mark is cleared.
    dbSelection marked;
    marked.AddItem(dbSelectionItem(dbObjectRef(1, 4), 0x80));
    marked.AddItem(dbSelectionItem(dbObjectRef(1, 1), 0x81));
    marked.AddItem(dbSelectionItem(dbObjectRef(1, 2), 0x01));
    marked.Subtract(Of({dbObjectRef(1, 2), dbObjectRef(1, 9)}));
    ASSERT_EQ(Subscripts(marked), (std::vector<int>{4, 1}));
    EXPECT_EQ(marked.GetItem(0).Flag, 0x00);
    EXPECT_EQ(marked.GetItem(1).Flag, 0x01);
    marked.Subtract(marked);
    EXPECT_EQ(marked.GetItemCount(), 0);
    EXPECT_TRUE(env.assertions.empty());
}

// ---------------------------------------------------------------- items

TEST_F(SelectionTest, ItemsOfAGoneIndexAnswerNeutrally) {
    Point("P", 0x84);
    dbSelection selection = Of({dbObjectRef(1, 0), dbObjectRef(9, 0)});
    EXPECT_EQ(selection.GetIndex(0), &index);
    EXPECT_EQ(selection.GetFileType(0), dbIndex::CommaSeparatedFile);
    EXPECT_EQ(selection.GetRecordType(0), DATABASE_ObservationRecord);
    EXPECT_STREQ(selection.GetName(0), "P");
    EXPECT_TRUE(selection.MatchesSearchMode(0, 4));
    EXPECT_TRUE(selection.MatchesSearchMode(0, 5)) << "0x80 is part of the GNSS mask";
    EXPECT_FALSE(selection.IsDeleted(0));
    EXPECT_TRUE(env.assertions.empty());

    // Index 9 is not registered.
    EXPECT_EQ(selection.GetIndex(1), nullptr);
    EXPECT_EQ(selection.GetJobIndex(1), nullptr);
    EXPECT_EQ(selection.GetFileType(1), 0);
    EXPECT_EQ(selection.GetRecordType(1), 163);
    EXPECT_EQ(selection.GetRecordId(1), NODBID);
    EXPECT_FALSE(selection.EnsureLoaded(1));
    EXPECT_EQ(selection.GetObject(1), nullptr);
    EXPECT_TRUE(env.assertions.empty());
    EXPECT_STREQ(selection.GetName(1), "");
    EXPECT_EQ(selection.GetFlags(1), nullptr);
    EXPECT_FALSE(selection.IsRemoved(1));
    EXPECT_EQ(env.Expressions(), (Reports{"dbx != NULL", "dbx != NULL", "dbx != NULL"}));
    env.Clear();

    // Outside the list: no item.
    EXPECT_EQ(selection.GetItem(2).Reference, 0xFFFFFFFFu);
    EXPECT_EQ(selection.GetItem(-1).Reference, 0xFFFFFFFFu);
    EXPECT_EQ(selection.GetObject(2), nullptr);
    EXPECT_EQ(selection.GetIndex(-1), nullptr);
    EXPECT_EQ(env.Expressions(),
              (Reports{"itemNum < this->_ItemCount", "itemNum >= 0", "n < _ItemCount", "itemNum < _ItemCount"}));
}

TEST_F(SelectionTest, DumpListsAtMostAHundredItems) {
    for (int i = 0; i < 27; ++i) Group(i == 26 ? "Last" : "G");
    dbSelection selection = Of({dbObjectRef(1, 26), dbObjectRef(9, 3)});
    selection.AddItem(dbSelectionItem(dbObjectRef(1, 0), 0x81));
    EXPECT_STREQ(selection.Dump(0),
                 "\n"
                 "0: F=test, N=Last, S=0x01a, F=0x00\n"
                 "1: F=, N=, S=0x03, F=0x00\n"
                 "2: F=test, N=G, S=0x00, F=0x081\n");
    EXPECT_STREQ(selection.Dump(2), "\n2: F=test, N=G, S=0x00, F=0x081\n");
    EXPECT_STREQ(selection.Dump(3), "\n");

    dbSelection large;
    for (int i = 0; i < 250; ++i) large.AddItem(dbSelectionItem(dbObjectRef(1, i % 27)));
    auto lines = [](const char* text) {
        int count = 0;
        for (const char* p = text; *p; ++p) count += *p == '\n';
        return count - 1;
    };
    EXPECT_EQ(lines(large.Dump(200)), 50);
    EXPECT_EQ(lines(large.Dump(0)), 100);
    EXPECT_EQ(std::string(large.Dump(200)).substr(0, 8), "\n200: F=");
    EXPECT_TRUE(env.assertions.empty());
}

}  // namespace
