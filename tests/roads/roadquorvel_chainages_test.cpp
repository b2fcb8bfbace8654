#include "roads/roadquorvel_chainages.h"

#include <gtest/gtest.h>

namespace {

RxlChainageList Filled(std::initializer_list<double> stations) {
    ChainageElementArray source;
    int32_t flags = 1;
    for (double s : stations) {
        source.RoadElementArray::Add(new ChainageElement(s, flags));
        flags <<= 1;
    }
    RxlChainageList list;
    EXPECT_EQ(list.Fill(source), static_cast<int32_t>(stations.size()));
    return list;
}

TEST(RxlChainageList, BracketFindsTheNeighboursAndTheNearer) {
    const RxlChainageList list = Filled({0, 20, 40});
    struct {
        double station;
        bool found;
        int32_t before, after, nearest;
    } cases[] = {
        {30, true, 2, 3, 3},  // a tie goes to the later entry
        {29, true, 2, 3, 2}, {31, true, 2, 3, 3}, {20, true, 2, 2, 2}, {0, true, 1, 1, 1},
        {40, true, 3, 3, 3}, {0.5, true, 1, 2, 1}, {50, false, 7, 7, 7}, {-1, false, 7, 7, 7},
    };
    for (const auto& c : cases) {
        int32_t before = 7, after = 7, nearest = 7;
        EXPECT_EQ(list.Bracket(c.station, &before, &after, &nearest), c.found) << c.station;
        EXPECT_EQ(before, c.before) << c.station;
        EXPECT_EQ(after, c.after) << c.station;
        EXPECT_EQ(nearest, c.nearest) << c.station;
    }
    // A single entry is never matched, not even exactly.
    int32_t before = 0, after = 0, nearest = 0;
    EXPECT_FALSE(Filled({10}).Bracket(10, &before, &after, &nearest));
}

TEST(RxlChainageList, SteppingAndNth) {
    const RxlChainageList list = Filled({0, 20, 40});
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.FirstStation(), 0);
    EXPECT_EQ(list.LastStation(), 40);

    road_KeyStation k{20, 0};
    ASSERT_TRUE(list.Next(&k));
    EXPECT_EQ(k.Station, 40);
    EXPECT_EQ(k.Flags, 4);
    EXPECT_FALSE(list.Next(&k));
    k.Station = 25;
    ASSERT_TRUE(list.Next(&k));
    EXPECT_EQ(k.Station, 40);

    k = {20, 0};
    ASSERT_TRUE(list.Previous(&k));
    EXPECT_EQ(k.Station, 0);
    EXPECT_EQ(k.Flags, 1);
    EXPECT_FALSE(list.Previous(&k));
    k.Station = 39;
    ASSERT_TRUE(list.Previous(&k));
    EXPECT_EQ(k.Station, 20);

    EXPECT_FALSE(list.Nth(0, &k));
    EXPECT_FALSE(list.Nth(4, &k));
    ASSERT_TRUE(list.Nth(1, &k));
    EXPECT_EQ(k.Station, 0);
    EXPECT_EQ(k.Flags, 1);
}

TEST(RxlChainageList, EmptyAndClearedLists) {
    RxlChainageList list = Filled({0, 20});
    EXPECT_TRUE(list.IsFilled());
    RxlChainageList copy;
    copy = list;
    EXPECT_TRUE(copy.IsFilled());
    EXPECT_EQ(copy.LastStation(), 20);

    list.Clear();
    EXPECT_FALSE(list.IsFilled());
    EXPECT_EQ(copy.Count(), 2);
    const ChainageList& generic = list;
    road_KeyStation k{0, 0};
    int32_t a = 0, b = 0, c = 0;
    EXPECT_EQ(generic.Count(), 0);
    EXPECT_EQ(generic.FirstStation(), 1e308);
    EXPECT_EQ(generic.LastStation(), 1e308);
    EXPECT_FALSE(generic.Next(&k));
    EXPECT_FALSE(generic.Previous(&k));
    EXPECT_FALSE(generic.Nth(1, &k));
    EXPECT_FALSE(generic.Bracket(0, &a, &b, &c));
}

}  // namespace
