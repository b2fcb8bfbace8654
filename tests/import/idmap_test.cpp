// The map from XML record IDs to record ids.
#include <gtest/gtest.h>

#include "import/idmap.h"

namespace {

// IDs that share their low bits, kept apart from 1..n by the top bit.
uint32_t Shifted(uint32_t i) { return (i << 12) | 0x80000000u; }

TEST(RecordIdMap, LaterEntriesHideEarlierOnes) {
    writejob_RecordIdMap map;
    EXPECT_EQ(map.Find(0), NODBID);
    EXPECT_EQ(map.Find(5), NODBID);
    map.Set(5, DBID(1));
    map.Set(5005, DBID(2));  // one bucket of a 5000-bucket table: still kept apart
    map.Set(0xFFFFFFFFu, DBID(3));
    EXPECT_EQ(map.Find(5), DBID(1));
    EXPECT_EQ(map.Find(5005), DBID(2));
    EXPECT_EQ(map.Find(0xFFFFFFFFu), DBID(3));
    EXPECT_EQ(map.Find(6), NODBID);

    map.Set(5, DBID(9));
    EXPECT_EQ(map.Find(5), DBID(9));
    map.Set(5, NODBID);  // an ID later mapped to no record reads as no record
    EXPECT_EQ(map.Find(5), NODBID);
    map.Set(0, DBID(4));
    EXPECT_EQ(map.Find(0), DBID(4));
    EXPECT_EQ(map.Count(), 4);
}

TEST(RecordIdMap, ManyIdsStayFoundAcrossGrowth) {
    writejob_RecordIdMap map;
    const uint32_t n = 200000;
    // Dense IDs and IDs that share low bits, as exports write them.
    for (uint32_t i = 1; i <= n; ++i) map.Set(i, DBID(static_cast<int>(i + 1)));
    for (uint32_t i = 1; i <= n; ++i) map.Set(Shifted(i), DBID(static_cast<int>(i + 7)));
    for (uint32_t i = 1; i <= n; ++i) {
        ASSERT_EQ(map.Find(i), DBID(static_cast<int>(i + 1))) << i;
        ASSERT_EQ(map.Find(Shifted(i)), DBID(static_cast<int>(i + 7))) << i;
    }
    EXPECT_EQ(map.Find(n + 1), NODBID);
    EXPECT_EQ(map.Count(), static_cast<int>(2 * n));
}

TEST(RecordIdMap, AnIdKeepsItsEntryWhenItsPageComesIntoReach) {
    // 100000 is far beyond the first IDs' pages when it is entered, and within reach
    // once thousands of IDs were: its later entries still hide the earlier ones.
    writejob_RecordIdMap map;
    map.Set(100000, DBID(1));
    for (uint32_t i = 1; i <= 20000; ++i) map.Set(i, DBID(static_cast<int>(i)));
    EXPECT_EQ(map.Find(100000), DBID(1));
    map.Set(100000, DBID(2));
    EXPECT_EQ(map.Find(100000), DBID(2));
    map.Set(100000, NODBID);
    EXPECT_EQ(map.Find(100000), NODBID);
    EXPECT_EQ(map.Count(), 20001);
    // Unentered IDs beside entered ones, on a page in use and past the last.
    map.Set(20010, DBID(5));
    EXPECT_EQ(map.Find(20009), NODBID);
    EXPECT_EQ(map.Find(20011), NODBID);
    EXPECT_EQ(map.Find(20010), DBID(5));
    EXPECT_EQ(map.Find(100001), NODBID);
    EXPECT_EQ(map.Count(), 20002);
}

}  // namespace
