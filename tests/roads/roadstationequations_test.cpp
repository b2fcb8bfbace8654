// Station equations: displayed stations and zones against internal stations, zone
// ranges, the internal stations a list derives, its validity, key stations and text.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "foundation/kernel/maths.h"
#include "road_xml_test.h"
#include "roads/roadstationequations.h"
#include "support/recording_environment.h"
#include "support/temp_folder.h"

namespace {

constexpr double N = MATHS_Null;

struct Eq {
    double back, ahead;
    int32_t direction;
    double internal;
};

StationEquationArray Make(std::initializer_list<Eq> equations) {
    StationEquationArray list;
    for (const Eq& q : equations) {
        StationEquationElement* e = new StationEquationElement;
        e->BackStation = q.back;
        e->AheadStation = q.ahead;
        e->Direction = q.direction;
        e->InternalStation = q.internal;
        list.Add(e);
    }
    return list;
}

void ExpectStation(const EquatedStation& got, double station, int32_t zone) {
    EXPECT_DOUBLE_EQ(got.Chainage, station);
    EXPECT_EQ(got.Zone, zone);
}

TEST(StationEquations, WithoutEquationsStationsPassThrough) {
    const StationEquationArray none;
    const StationEquationManager* managers[] = {&none, road_GetNullStationEquationManager()};
    for (const StationEquationManager* m : managers) {
        EXPECT_FALSE(m->HasEquations());
        EXPECT_EQ(m->FirstZone(), 1);
        EXPECT_EQ(m->LastZone(), 1);
        EquatedStation d(123.4, 7);
        EXPECT_EQ(m->ToInternalStation(&d), 123.4);
        EXPECT_EQ(d.Zone, 7);
        ExpectStation(m->ToDisplayStation(123.4), 123.4, -1);
        EquatedStation null;
        EXPECT_EQ(m->ToInternalStation(&null), N);
    }
    EXPECT_EQ(road_GetNullStationEquationManager(), road_GetNullStationEquationManager());
    double start = 0, end = 0;
    int32_t direction = 5;
    ASSERT_TRUE(road_GetNullStationEquationManager()->GetZoneRange(1, &start, &end, &direction));
    EXPECT_EQ(start, -1e308);
    EXPECT_EQ(end, 1e308);
    EXPECT_EQ(direction, 0);
    EXPECT_FALSE(road_GetNullStationEquationManager()->GetZoneRange(2, &start, &end, &direction));
}

TEST(StationEquations, OneIncreasingEquation) {
    const StationEquationArray list = Make({{1000, 1200, 0, 1000}});
    ExpectStation(list.ToDisplayStation(999), 999, 1);
    // At the equation the station belongs to the zone ahead.
    ExpectStation(list.ToDisplayStation(1000), 1200, 2);
    ExpectStation(list.ToDisplayStation(1050), 1250, 2);
    ExpectStation(list.ToDisplayStation(N), N, -1);

    struct Case {
        double station;
        int32_t zone;
        double internal;
        int32_t zoneAfter;
    } cases[] = {
        {1250, 2, 1050, 2}, {1100, 2, N, 2},    {900, 0, 900, 1},    {1100, 0, N, 0},
        {1250, -1, 1050, 2}, {1000, 1, 1000, 1}, {1000.1, 1, N, 1},  {1300, 3, N, 3},
        {1200, 0, 1000, 2},  {N, 0, N, 0},
    };
    for (const Case& c : cases) {
        EquatedStation d(c.station, c.zone);
        EXPECT_EQ(list.ToInternalStation(&d), c.internal) << c.station << " zone " << c.zone;
        EXPECT_EQ(d.Zone, c.zoneAfter) << c.station << " zone " << c.zone;
    }
}

TEST(StationEquations, DecreasingAndMiddleZones) {
    const StationEquationArray down = Make({{1000, 500, 1, 1000}});
    ExpectStation(down.ToDisplayStation(1100), 400, 2);
    // 400 shows in zone 1 too: the lowest zone wins.
    EquatedStation d(400, 0);
    EXPECT_EQ(down.ToInternalStation(&d), 400);
    EXPECT_EQ(d.Zone, 1);
    EquatedStation given(400, 2);
    EXPECT_EQ(down.ToInternalStation(&given), 1100);
    EquatedStation above(600, 2);
    EXPECT_EQ(down.ToInternalStation(&above), N);

    // Zone 1 ends at 100, zone 2 runs down from 150 to 90, zone 3 up from 50.
    const StationEquationArray two = Make({{100, 150, 1, 100}, {90, 50, 0, 160}});
    ExpectStation(two.ToDisplayStation(130), 120, 2);
    ExpectStation(two.ToDisplayStation(160), 50, 3);
    ExpectStation(two.ToDisplayStation(170), 60, 3);
    struct Case {
        double station;
        int32_t zone;
        double internal;
        int32_t zoneAfter;
    } cases[] = {
        {95, 0, 95, 1},   {120, 2, 130, 2}, {120, 0, 130, 2}, {140, 0, 110, 2}, {60, 0, 60, 1},
        {89, 2, N, 2},    {151, 2, N, 2},   {40, 3, N, 3},    {60, 3, 170, 3},  {60, 4, N, 4},
    };
    for (const Case& c : cases) {
        EquatedStation q(c.station, c.zone);
        EXPECT_EQ(two.ToInternalStation(&q), c.internal) << c.station << " zone " << c.zone;
        EXPECT_EQ(q.Zone, c.zoneAfter) << c.station << " zone " << c.zone;
    }
}

TEST(StationEquations, ZoneRanges) {
    double start = 0, end = 0;
    int32_t direction = -5;
    const StationEquationArray up = Make({{1000, 1200, 0, 1000}});
    ASSERT_TRUE(up.GetZoneRange(1, &start, &end, &direction));
    EXPECT_EQ(start, -1e308);
    EXPECT_EQ(end, 1000);
    EXPECT_EQ(direction, 0);
    ASSERT_TRUE(up.GetZoneRange(2, &start, &end, &direction));
    EXPECT_EQ(start, 1200);
    EXPECT_EQ(end, 1e308);
    EXPECT_EQ(direction, 0);
    EXPECT_FALSE(up.GetZoneRange(3, &start, &end, &direction));
    EXPECT_FALSE(up.GetZoneRange(0, &start, &end, &direction));

    const StationEquationArray down = Make({{1000, 500, 1, 1000}, {300, 800, 1, 1200}});
    ASSERT_TRUE(down.GetZoneRange(2, &start, &end, &direction));
    EXPECT_EQ(start, 500);
    EXPECT_EQ(end, 300);
    EXPECT_EQ(direction, 1);
    ASSERT_TRUE(down.GetZoneRange(3, &start, &end, &direction));
    EXPECT_EQ(start, 800);
    EXPECT_EQ(end, -1e308);
    EXPECT_EQ(direction, 1);
    EXPECT_EQ(down.LastZone(), 3);
}

TEST(StationEquations, ComputeInternalStations) {
    StationEquationArray up = Make({{100, 150, 1, N}, {300, 250, 1, N}});
    up.ComputeInternalStations();
    EXPECT_EQ(up.At(0)->InternalStation, 100);
    EXPECT_EQ(up.At(1)->InternalStation, 250);
    EXPECT_EQ(up.At(0)->Direction, 0);
    EXPECT_EQ(up.At(1)->Direction, 1);  // the last keeps its own

    StationEquationArray down = Make({{100, 150, 0, N}, {120, 90, 0, N}});
    down.ComputeInternalStations();
    EXPECT_EQ(down.At(0)->InternalStation, 100);
    EXPECT_EQ(down.At(1)->InternalStation, 130);
    EXPECT_EQ(down.At(0)->Direction, 1);

    StationEquationArray empty;
    empty.ComputeInternalStations();
    EXPECT_EQ(empty.Count(), 0);
}

TEST(StationEquations, IsValid) {
    struct Case {
        const char* what;
        StationEquationArray list;
        double start, end;
        bool valid;
    };
    Case cases[] = {
        {"empty", Make({}), 0, 10, true},
        {"increasing run", Make({{100, 150, 0, 100}, {300, 250, 0, 250}}), 0, 1000, true},
        {"decreasing run", Make({{100, 150, 1, 100}, {120, 90, 0, 130}}), 0, 1000, true},
        {"back before ahead, increasing", Make({{100, 150, 0, 100}, {140, 90, 0, 90}}), 0, 1000, false},
        {"back after ahead, decreasing", Make({{100, 150, 1, 100}, {160, 90, 0, 110}}), 0, 1000, false},
        {"ahead maps elsewhere", Make({{100, 150, 0, 100}, {300, 250, 0, 250}, {400, 500, 0, 400}}), 0, 1000,
         true},
        {"first before the start", Make({{100, 150, 0, 99.9994}}), 100, 1000, false},
        {"first at the start, within", Make({{100, 150, 0, 99.9996}}), 100, 1000, true},
        {"last after the end", Make({{100, 150, 0, 1000.0006}}), 0, 1000, false},
        {"last at the end, within", Make({{100, 150, 0, 1000.0004}}), 0, 1000, true},
        {"null internal", Make({{100, 150, 0, N}}), 0, 1000, false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.list.IsValid(c.start, c.end), c.valid) << c.what;
}

TEST(StationEquations, GetOutsideTheListReadsNothing) {
    RecordingEnvironment env;
    const StationEquationArray list = Make({{1000, 1200, 0, 1000}});
    EXPECT_EQ(list.Get(1).AheadStation, 1200);
    for (int32_t ndx : {0, -3, 2, 100}) {
        const StationEquation e = list.Get(ndx);
        EXPECT_EQ(e, StationEquation()) << ndx;
        EXPECT_EQ(e.Direction, 0);
        EXPECT_EQ(e.BackStation, N);
    }
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"ndx > 0", "ndx > 0", "ndx <= count", "ndx <= count"}));
    env.Clear();
    EXPECT_EQ(road_GetNullStationEquationManager()->Get(1), StationEquation());
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"0"});

    // Deleting through the manager deletes the whole list.
    StationEquationManager* owned = new StationEquationArray(list);
    EXPECT_EQ(owned->Count(), 1);
    delete owned;
}

TEST(StationEquations, ElementsCopyCompareAndKeyStations) {
    StationEquationArray list = Make({{1000, 1200, 0, 1000}, {1300, 1500, 0, N}, {1600, 1800, 1, 1400}});
    StationEquationArray copy(list);
    ASSERT_EQ(copy.Count(), 3);
    EXPECT_TRUE(*copy.At(0) == *list.At(0));
    copy.At(0)->Direction = 1;
    EXPECT_FALSE(*copy.At(0) == *list.At(0));
    StationEquationElement assigned;
    assigned = *list.At(2);
    EXPECT_TRUE(assigned == *list.At(2));
    std::unique_ptr<RoadElementArray> clone(list.Clone());
    EXPECT_NE(dynamic_cast<StationEquationArray*>(clone.get()), nullptr);

    ChainageElementArray keys;
    keys.SetStartStation(0);
    keys.SetEndStation(2000);
    list.AddKeyStations(keys);
    ASSERT_EQ(keys.Count(), 2);
    EXPECT_EQ(keys.At(0)->Station, 1000);
    EXPECT_EQ(keys.At(1)->Station, 1400);
    EXPECT_EQ(keys.At(1)->Flags, KEY_StationEquation);
}

TEST(StationEquations, XmlRoundTrip) {
    EXPECT_EQ(road_test::Owned(StationEquationArray().WriteXml()), "(null)");
    StationEquationArray list = Make({{1000, 1200.5, 0, 1000}, {1300, 0.25, 1, N}, {5, 6, 7, 8}});
    const std::string text = road_test::Owned(list.WriteXml());
    const std::string expected =
        "\r\n"
        "<StationEquations>\r\n"
        "    <ApplyStationEquation>\r\n"
        "        <BackStation>1000</BackStation>\r\n"
        "        <AheadStation>1200.5</AheadStation>\r\n"
        "        <Direction>Increasing</Direction>\r\n"
        "        <InternalStation>1000</InternalStation>\r\n"
        "    </ApplyStationEquation>\r\n"
        "    <ApplyStationEquation>\r\n"
        "        <BackStation>1300</BackStation>\r\n"
        "        <AheadStation>0.25</AheadStation>\r\n"
        "        <Direction>Decreasing</Direction>\r\n"
        "        <InternalStation/>\r\n"
        "    </ApplyStationEquation>\r\n"
        "    <ApplyStationEquation>\r\n"
        "        <BackStation>5</BackStation>\r\n"
        "        <AheadStation>6</AheadStation>\r\n"
        "        <Direction/>\r\n"
        "        <InternalStation>8</InternalStation>\r\n"
        "    </ApplyStationEquation>\r\n"
        "</StationEquations>\r\n";
    EXPECT_EQ(text, expected);

    TempFolder tmp;
    auto node = road_test::Scan(tmp, text);
    StationEquationArray read;
    road_test::ReadElements(node.get(), read, [](const Str& name) -> RoadElement* {
        return name == "ApplyStationEquation" ? new StationEquationElement : nullptr;
    });
    ASSERT_EQ(read.Count(), 3);
    EXPECT_EQ(read.At(1)->InternalStation, N);
    EXPECT_EQ(read.At(2)->Direction, 0);  // no name: the default stays
    // The unnamed direction reads as the default, so only that line changes.
    std::string again = expected;
    again.replace(again.find("<Direction/>"), 12, "<Direction>Increasing</Direction>");
    EXPECT_EQ(road_test::Owned(read.WriteXml()), again);
}

}  // namespace
