// The horizontal alignment as a chain: built element by element as a conversion builds
// it, then checked, recomputed and queried by station, by point and for key stations.
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "alignment_building.h"
#include "foundation/kernel/maths.h"
#include "road_transform_fixture.h"
#include "road_xml_test.h"
#include "roads/roadquorvel_arc.h"
#include "roads/roadquorvel_horizontal_alignment.h"
#include "roads/roadquorvel_spiral.h"
#include "support/recording_environment.h"

namespace {

constexpr double N = MATHS_Null;
using Reports = std::vector<std::string>;

using road_test::Append;

void Start(HorizontalElementArray& list) { road_test::StartAt(list, 1000, 2000); }

HorizontalStraight* Straight(double azimuth) {
    HorizontalStraight* s = new HorizontalStraight;
    s->StartAzimuth = azimuth;
    return s;
}

HorizontalArc* Arc(bool right, double radius, double length) {
    HorizontalArc* a = new HorizontalArc;
    a->Direction = right;
    a->Radius = radius;
    a->Angle = length / radius;
    return a;
}

template <class Spiral>
Spiral* MakeSpiral(double startRadius, double endRadius) {
    Spiral* s = new Spiral;
    s->StartRadius = startRadius;
    s->EndRadius = endRadius;
    return s;
}

// Start at 0, straight to 100, entry spiral to 160, arc R 300 to 250, exit spiral to
// 310, straight to 390; turning right, or left.
void BuildCurve(HorizontalElementArray& list, bool right) {
    Start(list);
    Append(list, Straight(0.5), 100);
    HorizontalEntrySpiral* entry = MakeSpiral<HorizontalEntrySpiral>(N, 300);
    entry->Direction = right;
    Append(list, entry, 60);
    Append(list, Arc(right, 300, 90), 90);
    HorizontalExitSpiral* exit = MakeSpiral<HorizontalExitSpiral>(300, N);
    exit->Direction = right;
    Append(list, exit, 60);
    Append(list, Straight(N), 80);
}

using Alignment = RoadTransformTest;

TEST_F(Alignment, BuiltChainIsContinuousAndConsistent) {
    RecordingEnvironment env;
    for (bool right : {true, false}) {
        HorizontalElementArray list;
        BuildCurve(list, right);
        EXPECT_TRUE(list.IsContinuous());
        EXPECT_TRUE(list.IsConsistent());
        EXPECT_TRUE(list.HasSpiralAfterStart());
        EXPECT_EQ(list.StartStation(), 0);
        EXPECT_EQ(list.EndStation(), 390);
        EXPECT_EQ(list.UpdateTangency(), 6);
        for (int32_t i = 1; i < 6; ++i) EXPECT_TRUE(list.At(i)->TangentialToPrevious) << i;

        // A moved end breaks both.
        list.At(3)->EndCoordinate.East += 0.002;
        EXPECT_FALSE(list.IsContinuous());
        EXPECT_FALSE(list.IsConsistent());
        list.At(3)->EndCoordinate.East -= 0.002;
        list.At(3)->EndAzimuth += 1e-5;
        EXPECT_TRUE(list.IsContinuous());
        EXPECT_FALSE(list.IsConsistent());
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(Alignment, KeyStations) {
    HorizontalElementArray list;
    BuildCurve(list, true);
    ChainageElementArray keys;
    keys.SetStartStation(0);
    keys.SetEndStation(390);
    list.AddKeyStations(keys);
    struct Key { double station; int32_t flags; };
    const Key expected[] = {{0, KEY_AlignmentStart},  {100, KEY_StraightToSpiral}, {160, KEY_SpiralToArc},
                            {250, KEY_ArcToSpiral},   {310, KEY_SpiralToStraight}, {390, KEY_AlignmentEnd}};
    ASSERT_EQ(keys.Count(), 6);
    for (int32_t i = 0; i < 6; ++i) {
        EXPECT_NEAR(keys.At(i)->Station, expected[i].station, 1e-9) << i;
        EXPECT_EQ(keys.At(i)->Flags, expected[i].flags) << i;
    }

    HorizontalElementArray arcs;
    Start(arcs);
    Append(arcs, Straight(0), 100);
    Append(arcs, Arc(true, 200, 50), 50);
    Append(arcs, Arc(false, 300, 50), 50);
    Append(arcs, Straight(N), 20);
    ChainageElementArray arcKeys;
    arcKeys.SetStartStation(0);
    arcKeys.SetEndStation(220);
    arcs.AddKeyStations(arcKeys);
    const Key arcExpected[] = {{0, KEY_AlignmentStart}, {100, KEY_ArcStart}, {150, KEY_ArcStart},
                               {200, KEY_ArcToStraight}, {220, KEY_AlignmentEnd}};
    ASSERT_EQ(arcKeys.Count(), 5);
    for (int32_t i = 0; i < 5; ++i) {
        EXPECT_NEAR(arcKeys.At(i)->Station, arcExpected[i].station, 1e-9) << i;
        EXPECT_EQ(arcKeys.At(i)->Flags, arcExpected[i].flags) << i;
    }

    ChainageElementArray none;
    HorizontalElementArray().AddKeyStations(none);
    EXPECT_EQ(none.Count(), 0);
}

TEST_F(Alignment, PointAtStationRange) {
    HorizontalElementArray list;
    Start(list);
    Append(list, Straight(0), 100);
    struct Case { double station; bool found; };
    const Case cases[] = {{-0.0004, false}, {0, true}, {50, true}, {100.0004, true}, {100.001, false}};
    for (const Case& c : cases) {
        AlignmentPoint p;
        EXPECT_EQ(list.PointAtStation(c.station, &p), c.found) << c.station;
        if (c.found) {
            EXPECT_NEAR(p.Point.North, 1000 + c.station, 1e-9);
        }
    }
    EXPECT_TRUE(list.GridAtStation(100.001).IsHorizontalNull());
    AlignmentPoint p;
    EXPECT_FALSE(HorizontalElementArray().PointAtStation(0, &p));

    // At the join the earlier element answers: the straight, not the left arc.
    Append(list, Arc(false, 100, 50), 50);
    ASSERT_TRUE(list.PointAtStation(100, &p));
    EXPECT_TRUE(p.Right);
    ASSERT_TRUE(list.PointAtStation(100.0004, &p));
    EXPECT_TRUE(p.Right);
    ASSERT_TRUE(list.PointAtStation(100.001, &p));
    EXPECT_FALSE(p.Right);
}

TEST_F(Alignment, OffsetsLieRightOfIncreasingStations) {
    // A left arc R 100 from (1000, 2000) heading north: its centre is at (1000, 1900),
    // so +2 lies outside the curve and -2 inside.
    HorizontalElementArray list;
    Start(list);
    HorizontalArc* arc = Arc(false, 100, 100);
    arc->StartAzimuth = 0;
    Append(list, arc, 100);
    for (double offset : {2.0, -2.0}) {
        const coord_CorrectedGrid q = list.PointAtStationOffset(coord_StationOffset(50, offset, N));
        EXPECT_NEAR(std::hypot(q.North - 1000, q.East - 1900), 100 + offset, 1e-9);
        // The circle's own point: 0.5 rad round from the start.
        EXPECT_NEAR(q.North, 1000 + (100 + offset) * std::sin(0.5), 1e-9);
    }
}

TEST_F(Alignment, StationOffsetInvertsPointAtStationOffset) {
    for (bool right : {true, false}) {
        HorizontalElementArray list;
        BuildCurve(list, right);
        for (double station : {50.0, 130.0, 205.0, 280.0, 350.0})
            for (double offset : {-2.5, 0.0, 3.0}) {
                SCOPED_TRACE(testing::Message() << right << " " << station << " " << offset);
                const coord_CorrectedGrid q = list.PointAtStationOffset(coord_StationOffset(station, offset, N));
                ASSERT_FALSE(q.IsHorizontalNull());
                const coord_StationOffset so = list.StationOffsetOfPoint(q);
                EXPECT_NEAR(so.Station, station, 1e-6);
                EXPECT_NEAR(so.Offset, offset, 1e-6);
            }
    }

    // On the extension beyond the end, or before the start: held by no element.
    HorizontalElementArray line;
    Start(line);
    Append(line, Straight(0), 100);
    for (double north : {1150.0, 990.0}) {
        const coord_StationOffset so = line.StationOffsetOfPoint(coord_CorrectedGrid(north, 2000, N));
        EXPECT_EQ(so.Station, N);
        EXPECT_EQ(so.Offset, N);
    }
}

TEST_F(Alignment, PointsAbeamOfAJoinKeepTheirStation) {
    // Across a join the earlier element's end and the later element's offset lie at one
    // distance; rounding must not leave such a point without a station.
    for (double azimuth : {0.0, 0.5, 1.3})
        for (bool right : {true, false}) {
            HorizontalElementArray list;
            Start(list);
            Append(list, Straight(azimuth), 100);
            Append(list, Arc(right, 100, 50), 50);
            Append(list, Straight(N), 50);
            for (double station : {100.0, 150.0})
                for (double offset : {-0.4, -3.0, 0.4, 3.0}) {
                    SCOPED_TRACE(testing::Message() << azimuth << " " << right << " " << station << " " << offset);
                    const coord_CorrectedGrid q = list.PointAtStationOffset(coord_StationOffset(station, offset, N));
                    ASSERT_FALSE(q.IsHorizontalNull());
                    const coord_StationOffset so = list.StationOffsetOfPoint(q);
                    EXPECT_NEAR(so.Station, station, 1e-9);
                    EXPECT_NEAR(so.Offset, offset, 1e-9);
                }
        }
}

TEST_F(Alignment, UpdateTangencyLeavesTheFirstElementAlone) {
    HorizontalElementArray list;
    Start(list);
    Append(list, Straight(0), 100);
    Append(list, Straight(1), 100);  // a corner
    Append(list, Arc(true, 100, 50), 50);
    list.At(1)->TangentialToPrevious = false;
    list.At(3)->TangentialToPrevious = false;
    list.UpdateTangency();
    EXPECT_FALSE(list.At(1)->TangentialToPrevious);
    EXPECT_FALSE(list.At(2)->TangentialToPrevious);
    EXPECT_TRUE(list.At(3)->TangentialToPrevious);
}

TEST_F(Alignment, RecomputeChainFollowsAnEdit) {
    HorizontalElementArray list;
    BuildCurve(list, true);
    list.At(1)->Length = 120;
    EXPECT_EQ(list.RecomputeChain(), 6);
    EXPECT_EQ(list.At(1)->EndStation, 120);
    EXPECT_NEAR(list.EndStation(), 410, 1e-9);
    EXPECT_TRUE(list.IsContinuous());
    EXPECT_TRUE(list.IsConsistent());
    // The whole curve moved 20 along the first straight.
    HorizontalElementArray original;
    BuildCurve(original, true);
    EXPECT_NEAR(list.At(5)->EndCoordinate.North - original.At(5)->EndCoordinate.North, 20 * std::cos(0.5), 1e-6);

    // A straight keyed by its end after an arc keeps its own azimuth, its tangency
    // measured against the arc's end.
    HorizontalElementArray corner;
    Start(corner);
    Append(corner, Straight(0), 100);
    Append(corner, Arc(true, 100, 50), 50);
    HorizontalStraight* last = new HorizontalStraight;
    last->KeyinMethod = 2;
    last->EndCoordinate = coord_CorrectedGrid(1200, 2100, N);
    corner.Add(last);
    corner.RecomputeChain();
    const HorizontalBase* arc = corner.At(2);
    EXPECT_NEAR(last->StartAzimuth,
                std::atan2(2100 - arc->EndCoordinate.East, 1200 - arc->EndCoordinate.North), 1e-12);
    EXPECT_FALSE(last->TangentialToPrevious);
    EXPECT_NEAR(last->EndStation, 150 + last->Length, 1e-9);
}

TEST_F(Alignment, ProposeNextElement) {
    // Type codes: 3 start point, 2 straight (method 0; 20 keyed by its end), 1 arc,
    // 5 entry spiral, 4 exit spiral; 0 proposes nothing.
    struct Case { std::vector<int32_t> types; int32_t ndx, proposed; };
    const Case cases[] = {
        {{}, 0, 3},
        {{3}, 0, 2},
        {{3, 2}, 0, 2},
        {{3, 2}, 1, 5},
        {{3, 20}, 1, 1},
        {{3, 1}, 1, 2},
        {{3, 2, 2}, 2, 2},
        {{3, 2, 1, 2}, 3, 1},
        {{3, 2, 1, 2}, 2, 2},
        {{3, 1, 2, 1}, 3, 2},
        {{3, 2, 5}, 2, 1},
        {{3, 2, 5, 1}, 3, 4},
        {{3, 2, 5, 1, 4}, 4, 2},
        {{3, 2, 5, 1, 4, 2}, 5, 5},
        {{3, 2, 1, 4}, 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.types.size() << " entries, ndx " << c.ndx);
        HorizontalElementArray list;
        for (int32_t t : c.types) {
            switch (t) {
                case 3: list.Add(new HorizontalStartPoint(0)); break;
                case 1: list.Add(new HorizontalArc); break;
                case 4: list.Add(new HorizontalExitSpiral); break;
                case 5: list.Add(new HorizontalEntrySpiral); break;
                default: {
                    HorizontalStraight* s = new HorizontalStraight;
                    s->KeyinMethod = t == 20 ? 2 : 0;
                    list.Add(s);
                }
            }
        }
        std::unique_ptr<HorizontalBase> next(list.ProposeNextElement(c.ndx));
        EXPECT_EQ(next ? next->GetType() : 0, c.proposed);
        if (next && next->GetType() == 3) {
            EXPECT_EQ(static_cast<HorizontalStartPoint*>(next.get())->GetKind(), 0);
        }
    }

    RecordingEnvironment env;
    HorizontalElementArray list;
    list.Add(new HorizontalStartPoint(0));
    EXPECT_EQ(list.ProposeNextElement(1), nullptr);
    EXPECT_EQ(list.ProposeNextElement(-1), nullptr);
    EXPECT_EQ(env.Expressions(), Reports({"ndx < Count()", "ndx < Count()"}));
}

TEST_F(Alignment, SmallQueries) {
    HorizontalElementArray list;
    EXPECT_EQ(list.StartStation(), N);
    EXPECT_EQ(list.EndStation(), N);
    EXPECT_EQ(list.FirstElementKeying(), 3);
    EXPECT_EQ(list.WriteXml(), nullptr);
    coord_CorrectedGrid nw(1, 2, N), se(3, 4, N);
    EXPECT_EQ(list.GetExtents(&nw, &se), 0);
    EXPECT_EQ(nw, coord_CorrectedGrid(1, 2, N));

    BuildCurve(list, true);
    EXPECT_EQ(list.FirstElementKeying(), 0);
    list.At(1)->KeyinMethod = 1;
    EXPECT_EQ(list.FirstElementKeying(), 1);
    EXPECT_TRUE(list.HasElementEndingAt(160.0004));
    EXPECT_FALSE(list.HasElementEndingAt(160.001));
    EXPECT_EQ(list.GetExtents(&nw, &se), 6);
    double north = 1000, south = 1000, east = 2000, west = 2000;
    for (int32_t i = 0; i < 6; ++i)
        for (const coord_CorrectedGrid* p : {&list.At(i)->StartCoordinate, &list.At(i)->EndCoordinate}) {
            north = std::max(north, p->North);
            south = std::min(south, p->North);
            east = std::max(east, p->East);
            west = std::min(west, p->East);
        }
    EXPECT_EQ(nw.North, north);
    EXPECT_EQ(nw.East, west);
    EXPECT_EQ(se.North, south);
    EXPECT_EQ(se.East, east);

    HorizontalElementArray plain;
    Start(plain);
    EXPECT_FALSE(plain.HasSpiralAfterStart());

    list.Selected = 1;
    HorizontalElementArray copy(list);
    EXPECT_EQ(copy.Selected, 0);
    EXPECT_EQ(copy.Count(), 6);
    std::unique_ptr<HorizontalElementArray> clone(list.Clone());
    EXPECT_EQ(clone->Count(), 6);
    HorizontalElementArray assigned;
    assigned = list;
    EXPECT_EQ(assigned.Selected, 1);
    EXPECT_TRUE(*assigned.At(3) == *list.At(3));
}

TEST_F(Alignment, WriteXml) {
    HorizontalElementArray list;
    Start(list);
    Append(list, Straight(0), 100);
    Append(list, Arc(true, 100, 50), 50);
    const std::string text = road_test::Owned(list.WriteXml());
    // The arc ends 0.5 rad round a circle of R 100: (1100 + 100 sin 0.5, 2000 + 100 (1 - cos 0.5)).
    const std::string expected =
        "\r\n"
        "<HorizontalAlignment>\r\n"
        "    <StartStation>0</StartStation>\r\n"
        "    <EndStation>150</EndStation>\r\n"
        "    <StartPoint>\r\n"
        "        <KeyinMethod>UserDefinedCoordinates</KeyinMethod>\r\n"
        "        <StartStation>0</StartStation>\r\n"
        "\r\n"
        "        <StartCoordinate>\r\n"
        "            <North>1000</North>\r\n"
        "            <East>2000</East>\r\n"
        "        </StartCoordinate>\r\n"
        "    </StartPoint>\r\n"
        "    <Straight>\r\n"
        "        <KeyinMethod>AzimuthAndLength</KeyinMethod>\r\n"
        "        <StartStation>0</StartStation>\r\n"
        "        <StartAzimuth>0</StartAzimuth>\r\n"
        "\r\n"
        "        <StartCoordinate>\r\n"
        "            <North>1000</North>\r\n"
        "            <East>2000</East>\r\n"
        "        </StartCoordinate>\r\n"
        "        <Length>100</Length>\r\n"
        "        <EndStation>100</EndStation>\r\n"
        "        <EndAzimuth>0</EndAzimuth>\r\n"
        "\r\n"
        "        <EndCoordinate>\r\n"
        "            <North>1100</North>\r\n"
        "            <East>2000</East>\r\n"
        "        </EndCoordinate>\r\n"
        "    </Straight>\r\n"
        "    <Arc>\r\n"
        "        <KeyinMethod>RadiusAndLength</KeyinMethod>\r\n"
        "        <StartStation>100</StartStation>\r\n"
        "        <StartAzimuth>0</StartAzimuth>\r\n"
        "\r\n"
        "        <StartCoordinate>\r\n"
        "            <North>1100</North>\r\n"
        "            <East>2000</East>\r\n"
        "        </StartCoordinate>\r\n"
        "        <Direction>Right</Direction>\r\n"
        "        <Length>50</Length>\r\n"
        "        <Radius>100</Radius>\r\n"
        "        <Angle>28.647889756541</Angle>\r\n"
        "        <EndStation>150</EndStation>\r\n"
        "        <EndAzimuth>28.647889756541</EndAzimuth>\r\n"
        "\r\n"
        "        <EndCoordinate>\r\n"
        "            <North>1147.9425538604</North>\r\n"
        "            <East>2012.241743811</East>\r\n"
        "        </EndCoordinate>\r\n"
        "    </Arc>\r\n"
        "</HorizontalAlignment>\r\n";
    EXPECT_EQ(text, expected);

    // Read back element by element, the list writes the same text again.
    TempFolder tmp;
    auto node = road_test::Scan(tmp, text);
    HorizontalElementArray read;
    road_test::ReadElements(node.get(), read, [](const Str& name) -> RoadElement* {
        if (name == "StartPoint") return new HorizontalStartPoint(0);
        if (name == "Straight") return new HorizontalStraight;
        if (name == "Arc") return new HorizontalArc;
        return nullptr;
    });
    ASSERT_EQ(read.Count(), 3);
    EXPECT_EQ(road_test::Owned(read.WriteXml()), text);
}

}  // namespace
