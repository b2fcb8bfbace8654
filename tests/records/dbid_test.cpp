#include <gtest/gtest.h>

#include "records/dbid.h"

namespace {

TEST(RecordId, ValueAndComparisons) {
    static_assert(NODBID.Value() == 0);
    DBID none;
    EXPECT_TRUE(none == NODBID);
    EXPECT_TRUE(none == 0);
    DBID id(7);
    EXPECT_EQ(id.Value(), 7u);
    EXPECT_TRUE(id == 7);
    EXPECT_TRUE(id != 8);
    EXPECT_TRUE(id != NODBID);
    id = 9;  // assignment from an integer
    EXPECT_TRUE(id == DBID(9));
    // An integer is stored unchanged, its bits included.
    EXPECT_EQ(DBID(-1).Value(), 0xFFFFFFFFu);
    EXPECT_TRUE(DBID(-1) == -1);
    EXPECT_EQ(DBID(0xFFFFFFFEu).Value(), 0xFFFFFFFEu);
}

}  // namespace
