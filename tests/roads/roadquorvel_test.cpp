#include "roads/roadquorvel.h"

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/kernel/maths.h"
#include "support/recording_environment.h"

namespace {

using Reports = std::vector<std::string>;

// An element that counts the live instances, to see what a list deletes.
class CountedElement : public RoadElement {
public:
    explicit CountedElement(int32_t id) : RoadElement(99), id(id) { ++live; }
    CountedElement(const CountedElement& other) : RoadElement(other), id(other.id) { ++live; }
    ~CountedElement() override { --live; }
    void ReadXml(const xml_Node*) override {}
    xmlout_element* WriteXml() const override { return nullptr; }
    bool operator==(const RoadElement& other) const override {
        return other.GetType() == 99 && static_cast<const CountedElement&>(other).id == id;
    }
    RoadElement* Clone() const override { return new CountedElement(*this); }

    int32_t id;
    static int live;
};
int CountedElement::live = 0;

int32_t IdAt(const RoadElementArray& list, int32_t i) { return static_cast<const CountedElement*>(list.At(i))->id; }

std::vector<int32_t> Ids(const RoadElementArray& list) {
    std::vector<int32_t> ids;
    for (int32_t i = 0; i < list.Count(); ++i) ids.push_back(IdAt(list, i));
    return ids;
}

TEST(RoadElementArray, GrowsByFourFromTwenty) {
    {
        RoadElementArray list;
        EXPECT_EQ(list.Size(), 0);
        for (int32_t i = 0; i < 81; ++i) {
            list.Add(new CountedElement(i));
            if (i == 19) {
                EXPECT_EQ(list.Size(), 20);
            }
            if (i == 20) {
                EXPECT_EQ(list.Size(), 80);
            }
        }
        EXPECT_EQ(list.Size(), 320);
        EXPECT_EQ(list.Count(), 81);
        EXPECT_EQ(IdAt(list, 80), 80);
    }
    EXPECT_EQ(CountedElement::live, 0);
}

TEST(RoadElementArray, CopiesReserveExactlyAndClone) {
    RoadElementArray source;
    for (int32_t i = 0; i < 5; ++i) source.Add(new CountedElement(i));
    RoadElementArray copy(source);
    EXPECT_EQ(copy.Size(), 5);
    EXPECT_EQ(Ids(copy), Ids(source));
    EXPECT_NE(copy.At(0), source.At(0));
    copy.Add(new CountedElement(5));
    EXPECT_EQ(copy.Size(), 20);

    RoadElementArray assigned;
    assigned.Add(new CountedElement(42));
    assigned = source;
    EXPECT_EQ(assigned.Size(), 5);
    EXPECT_EQ(Ids(assigned), Ids(source));
    assigned = assigned;
    EXPECT_EQ(Ids(assigned), Ids(source));

    std::unique_ptr<RoadElementArray> clone(source.Clone());
    EXPECT_EQ(Ids(*clone), Ids(source));
    EXPECT_EQ(CountedElement::live, 5 + 6 + 5 + 5);

    RoadElementArray withEmptySlot;
    withEmptySlot.Add(nullptr);
    RoadElementArray copyOfEmptySlot(withEmptySlot);
    EXPECT_EQ(copyOfEmptySlot.Count(), 1);
    EXPECT_EQ(copyOfEmptySlot.At(0), nullptr);
}

TEST(RoadElementArray, InsertRemoveAndReplace) {
    RecordingEnvironment env;
    {
        RoadElementArray list;
        for (int32_t i = 0; i < 19; ++i) list.Add(new CountedElement(i));
        ASSERT_EQ(list.Size(), 20);
        list.InsertAt(19, new CountedElement(19));  // count + 1 reaches the size: grows first
        EXPECT_EQ(list.Size(), 80);
        EXPECT_EQ(list.Count(), 20);
        list.InsertAt(0, new CountedElement(100));
        list.InsertAt(2, new CountedElement(101));
        EXPECT_EQ(IdAt(list, 0), 100);
        EXPECT_EQ(IdAt(list, 1), 0);
        EXPECT_EQ(IdAt(list, 2), 101);
        EXPECT_EQ(IdAt(list, 3), 1);
        list.RemoveAt(0);
        list.RemoveAt(1);
        std::vector<int32_t> inOrder;
        for (int32_t i = 0; i < 20; ++i) inOrder.push_back(i);
        EXPECT_EQ(Ids(list), inOrder);
        list.ReplaceAt(3, new CountedElement(203));
        list.ReplaceLast(new CountedElement(219));
        EXPECT_EQ(IdAt(list, 3), 203);
        EXPECT_EQ(IdAt(list, 19), 219);
        EXPECT_EQ(CountedElement::live, 20);
        list.RemoveAt(19);
        EXPECT_EQ(list.Count(), 19);
        EXPECT_EQ(list.At(19), nullptr);
        EXPECT_EQ(CountedElement::live, 19);
    }
    EXPECT_EQ(CountedElement::live, 0);
    EXPECT_EQ(env.Expressions(), Reports({"i < count"}));
}

TEST(RoadElementArray, OutOfRangeChangesNothingAndDeletesWhatItCannotStore) {
    RecordingEnvironment env;
    RoadElementArray list;
    list.ReplaceLast(new CountedElement(1));  // empty: no last slot
    EXPECT_EQ(env.Expressions(), Reports({"size != 0", "elements[count-1] != NULL"}));
    EXPECT_EQ(CountedElement::live, 0);

    list.Add(new CountedElement(0));
    list.Add(new CountedElement(1));
    struct Case { const char* what; std::function<void()> call; Reports reports; };
    const Case cases[] = {
        {"At -1", [&] { EXPECT_EQ(list.At(-1), nullptr); }, {"i >= 0"}},
        {"At 2", [&] { EXPECT_EQ(list.At(2), nullptr); }, {"i < count"}},
        {"RemoveAt -1", [&] { list.RemoveAt(-1); }, {"ndx >= 0"}},
        {"RemoveAt 2", [&] { list.RemoveAt(2); }, {"ndx < count"}},
        {"ReplaceAt 2", [&] { list.ReplaceAt(2, new CountedElement(7)); }, {"ndx < count"}},
        {"ReplaceAt -1", [&] { list.ReplaceAt(-1, new CountedElement(7)); }, {"ndx >= 0"}},
        {"InsertAt 3", [&] { list.InsertAt(3, new CountedElement(7)); }, {"ndx <= count"}},
        {"InsertAt -1", [&] { list.InsertAt(-1, new CountedElement(7)); }, {"ndx >= 0"}},
        {"Reserve", [&] { list.Reserve(50); }, {"size == 0", "elements == NULL"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        env.Clear();
        c.call();
        EXPECT_EQ(env.Expressions(), c.reports);
        EXPECT_EQ(Ids(list), (std::vector<int32_t>{0, 1}));
        EXPECT_EQ(list.Size(), 20);
        EXPECT_EQ(CountedElement::live, 2);
    }
    list.Clear();
    EXPECT_EQ(list.Size(), 0);
    EXPECT_EQ(CountedElement::live, 0);
    list.Reserve(0);
    EXPECT_EQ(list.Size(), 0);
    list.Reserve(3);
    EXPECT_EQ(list.Size(), 3);
    EXPECT_EQ(list.Count(), 0);
}

class CountedRoad {
public:
    CountedRoad() { ++live; }
    virtual ~CountedRoad() { --live; }
    static int live;
};
int CountedRoad::live = 0;

TEST(RoadArray, GrowsAndOwnsItsRoads) {
    RecordingEnvironment env;
    {
        RoadArrayOf<CountedRoad> roads;
        CountedRoad* first = new CountedRoad;
        roads.Add(first);
        EXPECT_EQ(roads.Size(), 20);
        for (int i = 1; i < 21; ++i) roads.Add(new CountedRoad);
        EXPECT_EQ(roads.Size(), 80);
        EXPECT_EQ(roads.Count(), 21);
        EXPECT_EQ(roads.At(0), first);
        EXPECT_EQ(roads.At(21), nullptr);
        EXPECT_EQ(roads.At(-1), nullptr);
        EXPECT_EQ(env.Expressions(), Reports({"ndx < count", "ndx >= 0"}));
        roads.Clear();
        EXPECT_EQ(CountedRoad::live, 0);
        roads.Add(new CountedRoad);
        EXPECT_EQ(roads.Count(), 1);
    }
    EXPECT_EQ(CountedRoad::live, 0);
}

TEST(ChainageElement, CastCompareAndAssign) {
    ChainageElement key(20.0, KEY_VerticalPI);
    CountedElement other(1);
    EXPECT_EQ(ChainageElement::Cast(&key), &key);
    EXPECT_EQ(ChainageElement::Cast(static_cast<RoadElement*>(&other)), nullptr);
    EXPECT_EQ(ChainageElement::Cast(static_cast<RoadElement*>(nullptr)), nullptr);
    EXPECT_EQ(key.GetType(), 16);
    EXPECT_EQ(key.WriteXml(), nullptr);

    ChainageElement fresh;
    EXPECT_TRUE(maths_IsNull(fresh.Station));
    EXPECT_EQ(fresh.Flags, 0);
    EXPECT_FALSE(fresh == key);
    fresh = key;
    EXPECT_TRUE(fresh == key);
    EXPECT_FALSE(key == static_cast<const RoadElement&>(other));
    fresh.Station = 20.0000001;  // exact comparison
    EXPECT_FALSE(fresh == key);
    std::unique_ptr<RoadElement> clone(key.Clone());
    EXPECT_TRUE(*clone == key);

    EXPECT_EQ(ROAD_CogoMask, 0x8A4);
    EXPECT_EQ(KEY_StraightToSpiral | KEY_SpiralToArc | KEY_ArcToSpiral | KEY_SpiralToStraight | KEY_SpiralToSpiral |
                  KEY_ArcStart | KEY_ArcToStraight | KEY_StraightToStraight | KEY_Interval | KEY_VerticalStart |
                  KEY_VerticalEnd | KEY_VerticalPI | KEY_AlignmentStart | KEY_AlignmentEnd | KEY_TemplatePlacement |
                  KEY_SuperelevationStart | KEY_WideningStart | KEY_WideningEnd | KEY_SuperelevationEnd |
                  KEY_MaximumWidening | KEY_FullSuperelevation | KEY_Sag | KEY_Summit | KEY_StationEquation |
                  KEY_SuperelevationBreak | KEY_SuperelevationRateChange,
              0x3FFFFFF);
}

struct Key {
    double station;
    int32_t flags;
    bool operator==(const Key&) const = default;
};

std::vector<Key> Keys(const ChainageElementArray& list) {
    std::vector<Key> keys;
    for (int32_t i = 0; i < list.Count(); ++i) keys.push_back({list.At(i)->Station, list.At(i)->Flags});
    return keys;
}

void PrintTo(const Key& k, std::ostream* os) { *os << "(" << k.station << ", 0x" << std::hex << k.flags << ")"; }

TEST(ChainageElementArray, AddStationIntoAnEmptyList) {
    struct Case { double station; bool stored; };
    const Case cases[] = {
        {0.0, true},   {-0.0004, true}, {-0.001, false}, {50.0, true},
        {100.0, true}, {100.0004, true}, {100.001, false}, {MATHS_Null, false},
    };
    for (const Case& c : cases) {
        ChainageElementArray list;
        list.SetStartStation(0.0);
        list.SetEndStation(100.0);
        list.AddStation(c.station, KEY_Interval);
        EXPECT_EQ(list.Count(), c.stored ? 1 : 0) << c.station;
    }
    ChainageElementArray unbounded;  // null bounds take nothing
    unbounded.AddStation(50.0, KEY_Interval);
    EXPECT_EQ(unbounded.Count(), 0);
}

TEST(ChainageElementArray, AddStationKeepsOrderAndMerges) {
    ChainageElementArray list;
    list.SetStartStation(0.0);
    list.SetEndStation(100.0);
    list.AddStation(20.0, KEY_VerticalPI);
    list.AddStation(20.0003, KEY_Interval);  // equal within 0.0005: merged
    EXPECT_EQ(Keys(list), (std::vector<Key>{{20.0, 0x900}}));

    list.AddStation(60.0, KEY_VerticalEnd);
    list.AddStation(40.0, KEY_VerticalStart);
    list.AddStation(100.0004, KEY_AlignmentEnd);
    list.AddStation(100.001, KEY_Interval);  // beyond the end
    list.AddStation(-0.001, KEY_Interval);   // before the start
    list.AddStation(0.0, KEY_AlignmentStart);  // at the start, ahead of the first
    list.AddStation(10.0, KEY_Interval);
    list.AddStation(60.0002, KEY_Sag);
    EXPECT_EQ(Keys(list), (std::vector<Key>{{0.0, KEY_AlignmentStart},
                                            {10.0, KEY_Interval},
                                            {20.0, 0x900},
                                            {40.0, KEY_VerticalStart},
                                            {60.0, KEY_VerticalEnd | KEY_Sag},
                                            {100.0004, KEY_AlignmentEnd}}));

    ChainageElementArray copy(list);
    EXPECT_EQ(Keys(copy), Keys(list));
    EXPECT_EQ(copy.GetStartStation(), 0.0);
    EXPECT_EQ(copy.GetEndStation(), 100.0);
    std::unique_ptr<RoadElementArray> clone(list.Clone());
    auto* typed = dynamic_cast<ChainageElementArray*>(clone.get());
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(Keys(*typed), Keys(list));
    EXPECT_EQ(typed->GetEndStation(), 100.0);
    ChainageElementArray assigned;
    assigned = list;
    EXPECT_EQ(Keys(assigned), Keys(list));
    EXPECT_EQ(assigned.GetStartStation(), 0.0);
}

TEST(RoadGrade, FromPercent) {
    EXPECT_DOUBLE_EQ(road_GradeFromPercent(-2), std::atan(-0.02));
    EXPECT_EQ(road_GradeFromPercent(0), 0.0);
    EXPECT_TRUE(maths_IsNull(road_GradeFromPercent(MATHS_Null)));
}

}  // namespace
