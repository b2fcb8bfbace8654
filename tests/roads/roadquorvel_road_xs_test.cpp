// The road's cross-section queries on a road built in the test: a straight from
// (1000, 2000) at azimuth 0.5 rad over stations 0..100, then a right arc of radius 300 to
// 190; rising 1 in 100 from 100 at station 0; template T1 {3.5, -2 %} {1.0, -4 %} on both
// sides. Grid points on the straight are pinned from the plane's closed form
// (N = 1000 + s cos a - o sin a, E = 2000 + s sin a + o cos a) to 1e-9.
#include "roads/roadquorvel_road.h"

#include <cmath>

#include <gtest/gtest.h>

#include "alignment_building.h"
#include "road_transform_fixture.h"
#include "template_building.h"
#include "roads/roadquorvel_arc.h"
#include "roads/roadxs.h"
#include "support/recording_environment.h"

namespace {

constexpr double N = MATHS_Null;

using road_test::Append;

using road_test::Grade;

class RoadCrossSections : public RoadTransformTest {
protected:
    void SetUp() override {
        RoadTransformTest::SetUp();
        road.SetName("Main");
        road_test::StartAt(road.HorizontalAlignment, 1000, 2000);
        auto* straight = new HorizontalStraight;
        straight->StartAzimuth = 0.5;
        Append(road.HorizontalAlignment, straight, 100);
        auto* arc = new HorizontalArc;
        arc->Direction = 1;
        arc->Radius = 300;
        arc->Angle = 90.0 / 300;
        Append(road.HorizontalAlignment, arc, 90);
        for (double station : {0.0, 190.0}) {
            auto* p = new VerticalPoint;
            p->KeyinMethod = 0;
            p->IntersectionPoint = {station, 100 + station / 100};
            p->StartPoint = p->EndPoint = p->IntersectionPoint;
            road.VerticalAlignment.Add(p);
        }
        road.VerticalAlignment.Recompute();
        road.Templates.Add(road_test::Template("T1", {Grade(3.5, -0.02), Grade(1.0, -0.04)}));
        road.TemplatePositioning.Add(road_test::Place(0, "T1", "T1"));
    }

    QuorvelRoad road;
};

TEST_F(RoadCrossSections, DesignElevationsAndPointsOnTheStraight) {
    RecordingEnvironment env;
    roadxs_Section s;
    road.CrossSectionAt(50, s);
    EXPECT_EQ(s.RoadName, "Main");
    EXPECT_EQ(s.Station, 50);
    EXPECT_EQ(s.Sides[DBROAD_SideRight].Count, 2);

    const struct {
        double station, offset, elevation, north, east;
    } cases[] = {{50, 2, 100.46, 1042.9202770173, 2025.7264420540},
                 {50, -4, 100.5 - 0.07 - 0.02, 1045.7968302489, 2020.4609466826},
                 {80, 4.4, 100.8 - 0.07 - 0.036, 1068.0971325814, 2042.2154063607}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.station << " " << c.offset);
        EXPECT_NEAR(road.ElevationAt(c.station, c.offset), c.elevation, 1e-9);
        const coord_CorrectedGrid p = road.PointAtStationOffset(c.station, c.offset, 0.25);
        EXPECT_NEAR(p.North, c.north, 1e-9);
        EXPECT_NEAR(p.East, c.east, 1e-9);
        EXPECT_NEAR(p.Elev, c.elevation + 0.25, 1e-9);
        const coord_StationOffset back = road.StationOffsetElevationOfPoint(p);
        EXPECT_NEAR(back.Station, c.station, 1e-6);
        EXPECT_NEAR(back.Offset, c.offset, 1e-6);
        EXPECT_NEAR(back.Elevation, 0.25, 1e-6);
    }
    EXPECT_TRUE(env.Expressions().empty());
}

TEST_F(RoadCrossSections, QueriesAgreeOnAGridOfStationsAndOffsets) {
    for (double station : {0.5, 10.0, 60.0, 99.5, 120.0, 155.5, 189.0})
        for (double offset : {-4.49, -3.0, -0.4, 0.0, 1.75, 3.5, 4.4}) {
            SCOPED_TRACE(testing::Message() << station << " " << offset);
            const double design = road.ElevationAt(station, offset);
            ASSERT_FALSE(maths_IsNull(design));
            const coord_CorrectedGrid p = road.PointAtStationOffset(station, offset, 0);
            EXPECT_NEAR(p.Elev, design, 1e-12);
            const coord_StationOffset back = road.StationOffsetElevationOfPoint(p);
            EXPECT_NEAR(back.Station, station, 1e-6);
            EXPECT_NEAR(back.Offset, offset, 1e-6);
            EXPECT_NEAR(back.Elevation, 0, 1e-6);
        }
}

TEST_F(RoadCrossSections, OffTheRoadAndBeyondItsEdges) {
    // Beyond the last node: a grid point, but no design elevation.
    const coord_CorrectedGrid wide = road.PointAtStationOffset(50, 6, 0.25);
    EXPECT_FALSE(wide.IsHorizontalNull());
    EXPECT_EQ(wide.Elev, N);
    EXPECT_EQ(road.ElevationAt(50, -4.6), N);
    EXPECT_EQ(road.StationOffsetElevationOfPoint(wide).Elevation, N);

    // Off the alignment: no section station, no elevation, no point.
    roadxs_Section off;
    road.CrossSectionAt(250, off);
    EXPECT_EQ(off.Station, N);
    EXPECT_EQ(road.ElevationAt(250, 0), N);
    EXPECT_TRUE(road.PointAtStationOffset(250, 0, 0).IsNull());
    const coord_StationOffset nowhere = road.StationOffsetElevationOfPoint(coord_CorrectedGrid(0, 0, 5));
    EXPECT_EQ(nowhere.Station, N);
    EXPECT_EQ(nowhere.Elevation, N);

    // Without a vertical alignment: points and stations, no elevations.
    road.VerticalAlignment.Clear();
    const coord_CorrectedGrid flat = road.PointAtStationOffset(50, 2, 0);
    EXPECT_NEAR(flat.North, 1042.9202770173, 1e-9);
    EXPECT_EQ(flat.Elev, N);
    EXPECT_EQ(road.ElevationAt(50, 0), N);
}

TEST_F(RoadCrossSections, CentreLineOnlyRoadsTakeTheDesignElevationAcross) {
    road.CentreLineOnly = true;
    roadxs_Section s;
    road.CrossSectionAt(50, s);
    EXPECT_TRUE(s.IsCentreOnly());
    EXPECT_EQ(s.Centre.Elevation, N);
    EXPECT_NEAR(road.ElevationAt(50, 0), 100.5, 1e-9);
    EXPECT_EQ(road.ElevationAt(50, 2), N);
    const coord_CorrectedGrid p = road.PointAtStationOffset(50, 2, 0.25);
    EXPECT_NEAR(p.Elev, 100.75, 1e-9);
    const coord_StationOffset back = road.StationOffsetElevationOfPoint(p);
    EXPECT_NEAR(back.Offset, 2, 1e-6);
    EXPECT_NEAR(back.Elevation, 0.25, 1e-6);
}

}  // namespace
