#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/kernel/maths.h"
#include "roads/roadquorvel_road.h"
#include "roads/roadquorvel_spiral.h"
#include "support/recording_environment.h"

namespace {

constexpr double N = MATHS_Null;

// A horizontal alignment from start to end: a start point and one straight.
void Alignment(QuorvelRoad& road, double start, double end) {
    HorizontalStartPoint* point = new HorizontalStartPoint(0);
    point->StartStation = point->EndStation = start;
    road.HorizontalAlignment.Add(point);
    HorizontalStraight* straight = new HorizontalStraight;
    straight->StartStation = start;
    straight->EndStation = end;
    straight->Length = end - start;
    road.HorizontalAlignment.Add(straight);
}

StationEquationElement* Equation(double back, double ahead, int32_t direction, double internal) {
    StationEquationElement* e = new StationEquationElement;
    e->BackStation = back;
    e->AheadStation = ahead;
    e->Direction = direction;
    e->InternalStation = internal;
    return e;
}

std::vector<double> IntervalStations(const QuorvelRoad& road) {
    ChainageElementArray list;
    list.SetStartStation(road.StartStation());
    list.SetEndStation(road.EndStation());
    road.AddIntervalStations(list);
    std::vector<double> stations;
    for (int32_t i = 0; i < list.Count(); ++i) {
        EXPECT_EQ(list.At(i)->Flags, KEY_Interval);
        stations.push_back(list.At(i)->Station);
    }
    return stations;
}

TEST(QuorvelRoad, NewRoad) {
    QuorvelRoad road;
    EXPECT_EQ(road.StationInterval, 20.0);
    EXPECT_EQ(road.GetStatus(), 0);
    EXPECT_EQ(road.GetExtraText(), "");
    EXPECT_EQ(road.StartStation(), N);
    EXPECT_EQ(road.EndStation(), N);
    EXPECT_FALSE(road.HasVerticalAlignment());
    EXPECT_FALSE(road.HasTemplates());
    EXPECT_TRUE(road.VerticalPointsOnHorizontalEnds());
    EXPECT_EQ(road.GetStationEquationManager(), &road.StationEquations);
    EXPECT_EQ(road.GetStationEquationManager()->Count(), 0);

    struct Bare : GenericRoad {
        int32_t GetStatus() const override { return 3; }
    } bare;
    EXPECT_EQ(bare.GetStationEquationManager(), road_GetNullStationEquationManager());
    EXPECT_EQ(bare.GetChainageList(), nullptr);
    EXPECT_EQ(bare.EndStation(), N);
    EXPECT_FALSE(bare.Load("x.rxl"));
    EXPECT_TRUE(bare.IsValid());
    // The interface's own answers outside its virtual operations: null, whatever the road.
    for (const GenericRoad* generic : {static_cast<const GenericRoad*>(&bare), static_cast<const GenericRoad*>(&road)}) {
        EXPECT_TRUE(generic->StationOffsetOfPoint(coord_CorrectedGrid(100.0, 200.0, 5.0)).IsNull());
        EXPECT_TRUE(generic->PointAtStationOffset(0.0, 0.0).IsNull());
        EXPECT_EQ(generic->NullStationEquationManager(), road_GetNullStationEquationManager());
    }

    // Key stations are gathered only for a centre-line-only road.
    Alignment(road, 0, 50);
    for (int i = 0; i < 2; ++i) {
        ChainageList* list = road.GetChainageList();
        ASSERT_EQ(list, &road.Chainages);
        EXPECT_EQ(list->Count(), 0);
        EXPECT_FALSE(road.Chainages.IsFilled());
    }
    road.CentreLineOnly = true;
    ChainageList* list = road.GetChainageList();
    EXPECT_TRUE(road.Chainages.IsFilled());
    std::vector<double> stations;
    road_KeyStation k;
    for (int32_t n = 1; list->Nth(n, &k); ++n) stations.push_back(k.Station);
    EXPECT_EQ(stations, (std::vector<double>{0, 20, 40, 50}));
}

TEST(QuorvelRoad, NamesFromPaths) {
    struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"C:\\jobs\\road(job).rxl", "road(job)"},
        {"/tmp/jobs/road(job).rxl", "road(job)"},
        {"/tmp/a.b\\c.d.rxl", "c.d"},
        {"/tmp/jobs/plain", "plain"},
        {"road(job).rxl", "before"},  // no folder: the name stays
    };
    for (const auto& c : cases) {
        QuorvelRoad road;
        road.SetName("before");
        road.SetFileName(c.path);
        EXPECT_EQ(road.GetName(), c.name) << c.path;
        EXPECT_EQ(road.GetFilePath(), c.path);
    }
    QuorvelRoad road;
    road.SetName("kept");
    road.FilePath = "old";
    road.SetPath("");
    EXPECT_EQ(road.GetFilePath(), "");
    EXPECT_EQ(road.GetName(), "kept");
    road.SetPath("/data/ring.road.rxl");
    EXPECT_EQ(road.GetFilePath(), "/data/ring.road.rxl");
    EXPECT_EQ(road.GetName(), "/data/ring.road");
}

TEST(QuorvelRoad, IntervalStations) {
    struct {
        double start, end, interval;
        std::vector<double> stations;
    } cases[] = {
        {105, 161, 20, {120, 140, 160}},
        {-15, 30, 20, {0, 20}},
        {-45, -5, 20, {-40, -20}},
        {0, 40, 20, {0, 20, 40}},
        {0, 40, 0, {}},
        {0, 40, -20, {}},
        {0, 40, N, {}},
        // A step too small to move the station ends the walk.
        {1e6, 1e6 + 1, 1e-20, {1e6}},
    };
    for (const auto& c : cases) {
        QuorvelRoad road;
        Alignment(road, c.start, c.end);
        road.StationInterval = c.interval;
        EXPECT_EQ(IntervalStations(road), c.stations) << c.start << ".." << c.end << " by " << c.interval;
    }
}

TEST(QuorvelRoad, IntervalStationsAcrossEquations) {
    // Zone 1 runs 950..1000; zone 2 shows 1200 up to 1300 (internal 1000..1100).
    QuorvelRoad up;
    Alignment(up, 950, 1100);
    up.StationEquations.Add(Equation(1000, 1200, 0, 1000));
    EXPECT_EQ(IntervalStations(up), (std::vector<double>{960, 980, 1000, 1020, 1040, 1060, 1080, 1100}));

    // Zone 2 shows 510 down to 410: the multiples 500 .. 420 are internal 1010 .. 1090.
    QuorvelRoad down;
    Alignment(down, 950, 1100);
    down.StationEquations.Add(Equation(1000, 510, 1, 1000));
    EXPECT_EQ(IntervalStations(down), (std::vector<double>{960, 980, 1000, 1010, 1030, 1050, 1070, 1090}));
}

TEST(QuorvelRoad, IsValidNeedsEveryPlacedTemplate) {
    QuorvelRoad road;
    HorizontalStartPoint* point = new HorizontalStartPoint(0);
    point->StartStation = point->EndStation = 0;
    road.HorizontalAlignment.Add(point);
    CrossSectionTemplate lane;
    lane.Name = "Lane";
    road.Templates.Add(lane);
    SidedTemplatePlacement* placement = new SidedTemplatePlacement;
    for (SidePlacement& side : placement->Sides) {
        side.Type = SidePlacement::UserDefinedTemplate;
        side.Name = "Lane";
        side.Station = 0;
    }
    road.TemplatePositioning.Add(placement);
    EXPECT_TRUE(road.IsValid());
    EXPECT_TRUE(road.HasTemplates());
    placement->Sides[1].Name = "Verge";
    EXPECT_FALSE(road.IsValid());
    road.Templates.Add(lane);
    placement->Sides[1].Name = "Lane";
    EXPECT_FALSE(road.IsValid());  // two templates of one name
}

TEST(QuorvelRoad, SwitchHorizontalDefinition) {
    RecordingEnvironment env;
    QuorvelRoad road;
    HorizontalStartPoint* point = new HorizontalStartPoint(0);
    point->StartStation = point->EndStation = 100;
    road.HorizontalAlignment.Add(point);

    road.SwitchHorizontalDefinition();
    ASSERT_EQ(road.HorizontalAlignmentPIs.Count(), 1);
    EXPECT_EQ(road.HorizontalAlignment.Count(), 0);
    const HorizontalStartPoint* pi = HorizontalStartPoint::Cast(road.HorizontalAlignmentPIs.RoadElementArray::At(0));
    ASSERT_NE(pi, nullptr);
    EXPECT_EQ(pi->GetKind(), 1);
    EXPECT_EQ(pi->StartStation, 100);
    EXPECT_EQ(road.HorizontalAlignmentPIs.Selected, 1);

    road.SwitchHorizontalDefinition();
    ASSERT_EQ(road.HorizontalAlignment.Count(), 1);
    EXPECT_EQ(road.HorizontalAlignmentPIs.Count(), 0);
    EXPECT_EQ(HorizontalStartPoint::Cast(road.HorizontalAlignment.RoadElementArray::At(0))->GetKind(), 0);
    EXPECT_EQ(road.HorizontalAlignment.Selected, 1);
    EXPECT_TRUE(env.assertions.empty());

    // More than the start point, or no start point, is reported and changes nothing.
    road.HorizontalAlignment.Add(new HorizontalStraight);
    road.SwitchHorizontalDefinition();
    EXPECT_EQ(road.HorizontalAlignment.Count(), 2);
    EXPECT_EQ(road.HorizontalAlignmentPIs.Count(), 0);
    road.HorizontalAlignment.Clear();
    road.SwitchHorizontalDefinition();
    road.HorizontalAlignmentPIs.Add(new HorizontalPI);
    road.SwitchHorizontalDefinition();
    EXPECT_EQ(road.HorizontalAlignmentPIs.Count(), 1);
    EXPECT_EQ(road.HorizontalAlignment.Count(), 0);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"HorizontalAlignment.Count() == 1",
                                                          "HorizontalAlignment.Count() == 1",
                                                          "HorizontalAlignmentPIs.Count() == 1"}));
}

TEST(QuorvelRoad, CopyClearAndSmallQueries) {
    QuorvelRoad road;
    Alignment(road, 0, 100);
    road.SetName("Ring");
    road.Code = "R";
    road.Status = 4;
    road.StationInterval = 10;
    road.HorizontalAlignment.Add(new HorizontalEntrySpiral);
    EXPECT_TRUE(road.HasSpirals());

    QuorvelRoad copy(road);
    EXPECT_EQ(copy.GetName(), "Ring");
    EXPECT_EQ(copy.GetCode(), "R");
    EXPECT_EQ(copy.StationInterval, 10);
    EXPECT_EQ(copy.GetStatus(), 0);  // the status is not copied
    EXPECT_EQ(copy.HorizontalAlignment.Count(), 3);
    EXPECT_NE(copy.HorizontalAlignment.At(0), road.HorizontalAlignment.At(0));

    road.Clear();
    EXPECT_EQ(road.GetName(), "");
    EXPECT_EQ(road.GetCode(), "");
    EXPECT_EQ(road.HorizontalAlignment.Count(), 0);
    EXPECT_FALSE(road.HasSpirals());
    EXPECT_EQ(road.StationInterval, 10);
    EXPECT_EQ(road.GetStatus(), 4);
    EXPECT_EQ(copy.HorizontalAlignment.Count(), 3);

    // Vertical points count only at the end of a horizontal element.
    VerticalPoint* vpi = new VerticalPoint;
    vpi->IntersectionPoint = StationElevation(100.0004, 10);
    copy.VerticalAlignment.Add(vpi);
    EXPECT_TRUE(copy.VerticalPointsOnHorizontalEnds());
    vpi->IntersectionPoint.Station = 50;
    EXPECT_FALSE(copy.VerticalPointsOnHorizontalEnds());
}

TEST(QuorvelRoad, StaticRoadLivesFromLoadToUnload) {
    // Built at load; building it again or after removing it is harmless.
    road_InitStaticRoad();
    road_ExitStaticRoad();
    road_InitStaticRoad();
    SUCCEED();
}

}  // namespace
