// Cross sections computed at stations of a road built in the test: a straight north from
// (1000, 2000) over stations 0..200, rising 1 in 100 from 100 at station 0. Expected node
// elevations are worked out by hand from the template grades (rise = width x slope).
#include "roads/roadxs_builder.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "alignment_building.h"
#include "template_building.h"
#include "road_transform_fixture.h"
#include "support/recording_environment.h"

namespace {

constexpr double N = MATHS_Null;
using Reports = std::vector<std::string>;
constexpr int32_t L = DBROAD_SideLeft;
constexpr int32_t R = DBROAD_SideRight;
constexpr double kTol = 1e-9;

using road_test::Delta;
using road_test::Grade;
using road_test::Place;
using road_test::Slope;
using road_test::Template;

SuperElevationWidening* Super(double station, double left, double right, int32_t pivot, double leftWidening = 0,
                              double rightWidening = 0) {
    auto* e = new SuperElevationWidening;
    e->Station = station;
    e->Superelevation[L] = left == N ? N : std::atan(left);
    e->Superelevation[R] = right == N ? N : std::atan(right);
    e->Pivot = pivot;
    e->Widening[L] = leftWidening;
    e->Widening[R] = rightWidening;
    return e;
}

// The road's lists, owned by the test.
struct TestRoad {
    HorizontalElementArray horizontal;
    VerticalElementArray vertical;
    TemplateArray templates;
    TemplatePlacementArray placements;
    SuperElevationArray supers;
    StationEquationArray equations;

    TestRoad() {
        road_test::StartAt(horizontal, 1000, 2000);
        auto* straight = new HorizontalStraight;
        straight->StartAzimuth = 0;
        road_test::Append(horizontal, straight, 200);
        for (double station : {0.0, 200.0}) {
            auto* p = new VerticalPoint;
            p->KeyinMethod = 0;
            p->IntersectionPoint = {station, 100 + station / 100};
            p->StartPoint = p->EndPoint = p->IntersectionPoint;
            vertical.Add(p);
        }
        vertical.Recompute();
        // {3.5, -2 %, superelevated} then {1.0, -4 %}.
        templates.Add(
            Template("T1", {Grade(3.5, -0.02, true, N, false, "EP"), Grade(1.0, -0.04, false, N, false, "SH")}));
    }

    CrossSectionRoad Parts() const {
        CrossSectionRoad r;
        r.Name = "Main";
        r.Horizontal = &horizontal;
        r.Vertical = &vertical;
        r.Templates = &templates;
        r.Placements = &placements;
        r.Supers = &supers;
        r.Equations = &equations;
        return r;
    }

    roadxs_Section At(double station, int32_t mode = 0) const {
        CrossSectionBuilder builder(Parts(), station, mode);
        return builder.Compute();
    }
};

void ExpectNodes(const roadxs_Side& side, std::initializer_list<std::pair<double, double>> nodes, const char* what) {
    ASSERT_EQ(side.Count, static_cast<int32_t>(nodes.size())) << what;
    int32_t i = 0;
    for (const auto& [offset, elevation] : nodes) {
        EXPECT_NEAR(side.Nodes[i].Offset, offset, kTol) << what << " node " << i;
        EXPECT_NEAR(side.Nodes[i].Elevation, elevation, kTol) << what << " node " << i;
        ++i;
    }
    EXPECT_EQ(side.Width, side.Nodes[side.Count - 1].Offset) << what;
}

class CrossSectionBuilderTest : public RoadTransformTest {};

TEST_F(CrossSectionBuilderTest, TemplateOnBothSidesWithoutSuperelevation) {
    RecordingEnvironment env;
    TestRoad road;
    road.placements.Add(Place(0, "T1", "T1"));
    const roadxs_Section s = road.At(50);
    EXPECT_EQ(s.Station, 50);
    EXPECT_EQ(s.RoadName, "Main");
    EXPECT_EQ(s.EquatedStation, EquatedStation(50, -1));
    EXPECT_NEAR(s.Point.North, 1050, 1e-9);
    EXPECT_NEAR(s.Point.East, 2000, 1e-9);
    EXPECT_NEAR(s.Point.Elev, 100.5, 1e-9);
    EXPECT_NEAR(s.Direction, CONSTANT_PiOverTwo, 1e-12);
    EXPECT_NEAR(s.GetDirection(), 0, 1e-12);
    const double e = 100.5;
    EXPECT_EQ(s.Centre, roadxs_Node(0, e, ""));
    ExpectNodes(s.Sides[R], {{3.5, e - 0.07}, {4.5, e - 0.11}}, "right");
    ExpectNodes(s.Sides[L], {{-3.5, e - 0.07}, {-4.5, e - 0.11}}, "left");
    EXPECT_EQ(s.Sides[L].Width, -4.5);
    EXPECT_EQ(s.Sides[R].Nodes[1].Code, "SH");
    EXPECT_EQ(s.Sides[L].TemplateName, "T1");
    EXPECT_FALSE(s.Sides[R].HasBatter);
    EXPECT_EQ(s.Sides[R].CutGrade, N);
    EXPECT_NEAR(s.ElevationAt(roadxs_Position(4.0)), e - 0.09, kTol);
    EXPECT_TRUE(env.Expressions().empty());

    // Equations give the displayed station and its zone.
    auto* equation = new StationEquationElement;
    equation->BackStation = 40;
    equation->AheadStation = 1040;
    equation->InternalStation = 40;
    road.equations.Add(equation);
    EXPECT_EQ(road.At(50).EquatedStation, EquatedStation(1050, 2));
}

TEST_F(CrossSectionBuilderTest, SuperelevationRotatesAndRolloverLimitsTheBreak) {
    TestRoad road;
    const double e = 100.5;
    // +4 % on the right about the crown: delta atan(0.04 + 0.02); the first element turns
    // to +4 %, the second (not superelevated) stays at -4 %.
    road.placements.Add(Place(0, "T1", "T1"));
    road.supers.Add(Super(0, N, 0.04, SuperElevationWidening::PivotCrown));
    roadxs_Section s = road.At(50);
    ExpectNodes(s.Sides[R], {{3.5, e + 0.14}, {4.5, e + 0.10}}, "supered");
    ExpectNodes(s.Sides[L], {{-3.5, e - 0.07}, {-4.5, e - 0.11}}, "left untouched");
    EXPECT_EQ(s.Centre.Elevation, e);

    // Rollover 5 % on the second element: the break over +4 % is at most 5 %, so -1 %.
    road.templates.Add(Template("T1R", {Grade(3.5, -0.02, true), Grade(1.0, -0.04, false, 0.05)}));
    road.placements.Clear();
    road.placements.Add(Place(0, "T1R", "T1R"));
    s = road.At(50);
    ExpectNodes(s.Sides[R], {{3.5, e + 0.14}, {4.5, e + 0.13}}, "rolled over");

    // Lowered by -6 % on the left: the second element is held at the first's -6 %.
    road.supers.Clear();
    road.supers.Add(Super(0, -0.06, 0.04, SuperElevationWidening::PivotCrown));
    s = road.At(50);
    ExpectNodes(s.Sides[L], {{-3.5, e - 0.21}, {-4.5, e - 0.27}}, "held");
    ExpectNodes(s.Sides[R], {{3.5, e + 0.14}, {4.5, e + 0.13}}, "rolled over");
}

TEST_F(CrossSectionBuilderTest, RolloverLooksBackAlongItsOwnSideOnly) {
    TestRoad road;
    const double e = 100.5;
    // One superelevated element with a 1 % rollover. The left side is raised to +4 %;
    // the right side keeps -2 % and has nothing before it to roll over from.
    road.templates.Add(Template("ONE", {Grade(3.5, -0.02, true, 0.01)}));
    road.placements.Add(Place(0, "ONE", "ONE"));
    road.supers.Add(Super(0, 0.04, -0.02, SuperElevationWidening::PivotCrown));
    const roadxs_Section s = road.At(50);
    ExpectNodes(s.Sides[L], {{-3.5, e + 0.14}}, "raised");
    ExpectNodes(s.Sides[R], {{3.5, e - 0.07}}, "own side");
}

TEST_F(CrossSectionBuilderTest, NarrowAndVerticalElements) {
    TestRoad road;
    const double e = 100.5;
    // A zero-width grade element, a 0.0004 step, a vertical face, then a slope of
    // -0.04 over 2 m that carries the +4 % superelevation (reference grade -2 %).
    road.templates.Add(
        Template("K", {Grade(0, 0.10), Delta(0.0004, 0.15, true), Delta(0.001, 12), Delta(2.0, -0.04, true)}));
    road.placements.Add(Place(0, "K", "K"));
    road.supers.Add(Super(0, N, 0.04, SuperElevationWidening::PivotCrown));
    const roadxs_Section s = road.At(50);
    ExpectNodes(s.Sides[R],
                {{0.00005, e}, {0.00045, e + 0.15}, {0.00145, e + 12.15}, {2.00145, e + 12.15 + 0.08}},
                "right");
    ExpectNodes(s.Sides[L],
                {{-0.00005, e}, {-0.00045, e + 0.15}, {-0.00145, e + 12.15}, {-2.00145, e + 12.15 - 0.04}},
                "left");
}

TEST_F(CrossSectionBuilderTest, PivotAtAnEdgeKeepsThatEdgeInPlace) {
    TestRoad road;
    const double e = 100.5;
    road.placements.Add(Place(0, "T1", "T1"));
    // About the right edge: the right edge of the superelevated width stays at -2 %
    // of 3.5 below the design, so the centre drops by 0.06 x 3.5.
    road.supers.Add(Super(0, N, 0.04, SuperElevationWidening::PivotRight));
    roadxs_Section s = road.At(50);
    EXPECT_NEAR(s.Centre.Elevation, e - 0.21, kTol);
    EXPECT_NEAR(s.Sides[R].Nodes[0].Elevation, e - 0.07, kTol);
    CrossSectionBuilder right(road.Parts(), 50);
    right.Compute();
    EXPECT_NEAR(right.Before().PivotAdjustment(), -0.21, kTol);
    EXPECT_NEAR(right.Before().PivotRise(L), 0, kTol);

    // About the left edge, lowered by -6 %: the centre rises by 0.04 x 3.5.
    road.supers.Clear();
    road.supers.Add(Super(0, -0.06, N, SuperElevationWidening::PivotLeft));
    s = road.At(50);
    EXPECT_NEAR(s.Centre.Elevation, e + 0.14, kTol);
    EXPECT_NEAR(s.Sides[L].Nodes[0].Elevation, e - 0.07, kTol);
    EXPECT_NEAR(s.Sides[R].Nodes[0].Elevation, e + 0.14 - 0.07, kTol);

    // Widening of 0.5 on the right's widened first element: the edge, now at 4.0, stays
    // at -2 % of 4.0 below the design.
    road.templates.Add(Template("TW", {Grade(3.5, -0.02, true, N, true), Grade(1.0, -0.04)}));
    road.placements.Clear();
    road.placements.Add(Place(0, "TW", "TW"));
    road.supers.Clear();
    road.supers.Add(Super(0, N, 0.04, SuperElevationWidening::PivotRight, N, 0.5));
    s = road.At(50);
    EXPECT_NEAR(s.Centre.Elevation, e - 0.24, kTol);
    ExpectNodes(s.Sides[R], {{4.0, e - 0.08}, {5.0, e - 0.12}}, "widened");
    ExpectNodes(s.Sides[L], {{-3.5, e - 0.24 - 0.07}, {-4.5, e - 0.24 - 0.11}}, "left, null widening");
}

// T1 at 0 and T2 {3.0, -3 %} {2.0, -5 %} {1.0, +10 %} at 100, both with batters.
TestRoad TwoTemplates() {
    TestRoad road;
    road.templates.Clear();
    road.templates.Add(Template("T1", {Grade(3.5, -0.02, true, N, false, "EP"),
                                       Grade(1.0, -0.04, false, N, false, "SH"), Slope(0.5, 0.25, 1.0)}));
    road.templates.Add(Template("T2", {Grade(3.0, -0.03, false, N, false, "A"),
                                       Grade(2.0, -0.05, false, N, false, "B"),
                                       Grade(1.0, 0.10, false, N, false, "C"), Slope(1.0, 0.75, 2.0)}));
    road.placements.Add(Place(0, "T1", "T1"));
    road.placements.Add(Place(100, "T2", "T2"));
    return road;
}

TEST_F(CrossSectionBuilderTest, SidesBetweenTwoTemplatesRunLinearlyWithTheStation) {
    const TestRoad road = TwoTemplates();
    const double e = 100.5;
    const roadxs_Section s = road.At(50);
    // Halfway between T1's (3.5, -0.07) (4.5, -0.11) and T2's (3, -0.09) (5, -0.19)
    // (6, -0.09); T2's third node against T1's last.
    ExpectNodes(s.Sides[R], {{3.25, e - 0.08}, {4.75, e - 0.15}, {5.25, e - 0.10}}, "right");
    ExpectNodes(s.Sides[L], {{-3.25, e - 0.08}, {-4.75, e - 0.15}, {-5.25, e - 0.10}}, "left");
    EXPECT_EQ(s.Sides[R].Nodes[0].Code, "EP");
    EXPECT_EQ(s.Sides[R].Nodes[2].Code, "C");
    EXPECT_EQ(s.Sides[R].TemplateName, "T1");
    EXPECT_TRUE(s.Sides[R].HasBatter);
    EXPECT_NEAR(s.Sides[R].CutGrade, std::atan(0.75), kTol);
    EXPECT_NEAR(s.Sides[R].FillGrade, std::atan(0.5), kTol);
    EXPECT_NEAR(s.Sides[R].CutDitchWidth, 1.5, kTol);
    EXPECT_EQ(s.Centre.Elevation, e);

    // At each placement that placement's template alone.
    const roadxs_Section at0 = road.At(0);
    ExpectNodes(at0.Sides[R], {{3.5, 100 - 0.07}, {4.5, 100 - 0.11}}, "at 0");
    const roadxs_Section at100 = road.At(100);
    ExpectNodes(at100.Sides[R], {{3, 101 - 0.09}, {5, 101 - 0.19}, {6, 101 - 0.09}}, "at 100");
    EXPECT_EQ(at100.Sides[R].TemplateName, "T2");

    // From T2 back to T1 the extra node runs into T1's last.
    TestRoad back = TwoTemplates();
    back.placements.Clear();
    back.placements.Add(Place(0, "T2", "T2"));
    back.placements.Add(Place(100, "T1", "T1"));
    const roadxs_Section b = back.At(25);
    // 3/4 of T2 and 1/4 of T1: (3.125, -0.085), (4.875, -0.17), then T2's (6, -0.09)
    // against T1's (4.5, -0.11): (5.625, -0.095), keeping T2's codes.
    ExpectNodes(b.Sides[R], {{3.125, 100.25 - 0.085}, {4.875, 100.25 - 0.17}, {5.625, 100.25 - 0.095}}, "back");
    EXPECT_EQ(b.Sides[R].Nodes[2].Code, "C");
}

TEST_F(CrossSectionBuilderTest, SidesBetweenTwoTemplatesByGrade) {
    const TestRoad road = TwoTemplates();
    const double e = 100.5;
    const roadxs_Section s = road.At(50, 1);
    // Runs halfway, grades halfway: 3.25 at -2.5 %, 1.5 at -4.5 %, then 0.5 at +5 %
    // (T1's list repeats its last node: no run, no rise, grade 0).
    ExpectNodes(s.Sides[R], {{3.25, e - 0.08125}, {4.75, e - 0.14875}, {5.25, e - 0.12375}}, "right");
    ExpectNodes(s.Sides[L], {{-3.25, e - 0.08125}, {-4.75, e - 0.14875}, {-5.25, e - 0.12375}}, "left");
}

TEST_F(CrossSectionBuilderTest, InterpolationOnlyWhereBothSidesHaveDifferentTemplates) {
    TestRoad road = TwoTemplates();
    road.placements.Clear();
    road.placements.Add(Place(0, "T1", "T1"));
    road.placements.Add(Place(100, "T1", nullptr));
    CrossSectionBuilder same(road.Parts(), 50);
    same.Compute();
    EXPECT_FALSE(same.NeedsInterpolation(L));  // the same name
    EXPECT_FALSE(same.NeedsInterpolation(R));  // no template after
    road.placements.Clear();
    road.placements.Add(Place(0, "T1", "T1"));
    road.placements.Add(Place(100, "T2", "T2"));
    CrossSectionBuilder near(road.Parts(), 0.0004);
    near.Compute();
    EXPECT_FALSE(near.NeedsInterpolation(R));  // at the placement before, within 0.0005
    CrossSectionBuilder between(road.Parts(), 0.001);
    between.Compute();
    EXPECT_TRUE(between.NeedsInterpolation(R));
    EXPECT_NEAR(between.InterpolateValue(0, 100, R), 0.001, 1e-12);
    EXPECT_NEAR(between.InterpolateGrade(std::atan(0.0), std::atan(1000.0), R), std::atan(0.01), 1e-12);
    EXPECT_EQ(between.InterpolateGrade(N, 0.1, R), N);
}

TEST_F(CrossSectionBuilderTest, StationsAndTemplatesWithoutASection) {
    RecordingEnvironment env;
    TestRoad road;
    road.placements.Add(Place(0, "T1", "NOPE"));
    // Off the horizontal alignment: no station, nothing else.
    roadxs_Section off = road.At(250);
    EXPECT_EQ(off.Station, N);
    EXPECT_TRUE(off.Point.IsNull());
    EXPECT_TRUE(off.IsCentreOnly());
    EXPECT_EQ(off.ElevationAt(roadxs_Position(0.0)), N);

    // An unknown template: an empty side that still names it.
    roadxs_Section s = road.At(50);
    EXPECT_EQ(s.Sides[R].Count, 0);
    EXPECT_EQ(s.Sides[R].TemplateName, "NOPE");
    EXPECT_EQ(s.Sides[L].Count, 2);

    // Off the vertical alignment: a design point without elevation and empty sides.
    road.vertical.Clear();
    s = road.At(50);
    EXPECT_EQ(s.Station, 50);
    EXPECT_TRUE(s.IsDesignElevationNull());
    EXPECT_TRUE(s.IsCentreOnly());
    EXPECT_EQ(s.Sides[L].TemplateName, "T1");
    EXPECT_TRUE(env.Expressions().empty());

    // The centre line only: the header, and a centre node without elevation.
    TestRoad full;
    full.placements.Add(Place(0, "T1", "T1"));
    CrossSectionBuilder centre(full.Parts(), 50);
    const roadxs_Section c = centre.ComputeCentreLineOnly();
    EXPECT_EQ(c.Station, 50);
    EXPECT_NEAR(c.Point.Elev, 100.5, kTol);
    EXPECT_TRUE(c.IsCentreOnly());
    EXPECT_EQ(c.Centre, roadxs_Node(0, N, ""));
    EXPECT_EQ(c.ElevationAt(roadxs_Position(0.0)), c.Point.Elev);
}

TEST_F(CrossSectionBuilderTest, NodesFollowOneAnotherWhereTheSideSlopeIsNotLast) {
    TestRoad road;
    road.templates.Add(Template("MID", {Grade(3.5, -0.02), Slope(0.5, 0.5, N), Grade(1.0, -0.04)}));
    road.placements.Add(Place(0, nullptr, "MID"));
    const roadxs_Section s = road.At(50);
    ExpectNodes(s.Sides[R], {{3.5, 100.5 - 0.07}, {4.5, 100.5 - 0.11}}, "right");
    EXPECT_TRUE(s.Sides[R].HasBatter);
    EXPECT_EQ(s.Sides[R].CutDitchWidth, N);
    EXPECT_TRUE(s.Sides[L].IsEmpty());
    EXPECT_EQ(s.Sides[L].TemplateName, "");
    EXPECT_NEAR(s.ElevationAt(roadxs_Position(4.5)), 100.5 - 0.11, kTol);
}

TEST(TemplateState, SlopeArithmetic) {
    EXPECT_NEAR(TemplateState::AddSlopes(std::atan(0.04), std::atan(0.02)), std::atan(0.06), 1e-15);
    EXPECT_NEAR(TemplateState::SubtractSlopes(std::atan(0.04), std::atan(0.05)), std::atan(-0.01), 1e-15);
    EXPECT_EQ(TemplateState::AddSlopes(N, 0.1), N);
    EXPECT_EQ(TemplateState::SubtractSlopes(0.1, N), N);

    TemplateArray templates;
    templates.Add(Template("T", {Grade(3.0, -0.02, true), Grade(1.0, -0.04, false, N, true)}));
    CrossSectionRoad road;
    road.Templates = &templates;
    TemplateState state(&road);
    SidedTemplatePlacement placement;
    placement.Sides[R].Type = SidePlacement::UserDefinedTemplate;
    placement.Sides[R].Name = "T";
    state.SetPlacement(placement);
    EXPECT_EQ(state.SuperelevationDelta(R), 0);  // no superelevation yet
    SuperElevationWidening entry;
    entry.Superelevation[R] = std::atan(-0.05);
    entry.Superelevation[L] = std::atan(0.05);
    entry.Widening[R] = 0.25;
    entry.Widening[L] = N;
    entry.Pivot = SuperElevationWidening::PivotRight;
    state.SetSuperelevation(entry);
    EXPECT_EQ(state.Superelevation().Widening[L], 0);
    EXPECT_NEAR(state.SuperelevationDelta(R), std::atan(-0.03), 1e-15);
    EXPECT_EQ(state.SuperelevationDelta(L), 0);  // the left side has no template
    // Rise 0.03 x 3 over the superelevated width, less -0.03 x 0.25 over the widening.
    EXPECT_NEAR(state.PivotRise(R), 0.09 + 0.0075, 1e-12);
    EXPECT_NEAR(state.PivotAdjustment(), 0.0975, 1e-12);
}

}  // namespace
