// The cross section at one station: elevations and grades at offsets, node numbering,
// stepping, edges and side slopes, on small sections built by hand. Expected values are
// worked out by hand from the node coordinates (straight lines between nodes).
#include "roads/roadxs.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/recording_environment.h"

namespace {

constexpr double N = MATHS_Null;
using Reports = std::vector<std::string>;

constexpr int32_t L = DBROAD_SideLeft;
constexpr int32_t R = DBROAD_SideRight;

void AddNodes(roadxs_Side& side, std::initializer_list<roadxs_Node> nodes) {
    for (const roadxs_Node& n : nodes) side.Append(n);
}

// Centre 100 (design 100), right nodes 3.5 (99.93) and 4.5 (99.73), mirrored on the left.
roadxs_Section Crowned() {
    roadxs_Section s;
    s.Point = coord_CorrectedGrid(5000, 2000, 100);
    s.Centre.Elevation = 100;
    AddNodes(s.Sides[R], {{3.5, 99.93, "EP"}, {4.5, 99.73, "SH"}});
    AddNodes(s.Sides[L], {{-3.5, 99.93, "EP"}, {-4.5, 99.73, "SH"}});
    return s;
}

// Left nodes -1 (L1), -2 (L2); right nodes 1, 2, 3 (R1..R3) and a right batter "RB".
roadxs_Section Numbered() {
    roadxs_Section s;
    s.Centre.Elevation = 50;
    s.Centre.Code = "CL";
    AddNodes(s.Sides[L], {{-1, 50, "L1"}, {-2, 50, "L2"}});
    AddNodes(s.Sides[R], {{1, 50, "R1"}, {2, 50, "R2"}, {3, 50, "R3"}});
    s.Sides[R].HasBatter = true;
    s.Sides[R].BatterCode = "RB";
    s.Sides[R].BatterTag = 77;
    s.Sides[R].Nodes[1].Tag = 12;
    return s;
}

TEST(RoadxsSection, ElevationsAndGradesBetweenNodes) {
    RecordingEnvironment env;
    const roadxs_Section s = Crowned();
    struct Case {
        double offset, elevation;
    };
    // Between the centre and 3.5 the fall is 0.02 per metre, beyond it 0.2 per metre.
    const Case cases[] = {{0, 100},        {2, 99.96},   {-2, 99.96}, {3.5, 99.93}, {3.5002, 99.93},
                          {-3.4996, 99.93}, {4, 99.83},   {-4, 99.83}, {4.5, 99.73}, {4.6, N},
                          {-4.6, N},       {4.5004, N}};  // the tolerance stops at the edge
    for (const Case& c : cases) {
        const double e = s.ElevationAt(roadxs_Position(c.offset));
        if (c.elevation == N)
            EXPECT_EQ(e, N) << c.offset;
        else
            EXPECT_NEAR(e, c.elevation, 1e-12) << c.offset;
    }
    const struct {
        double offset, grade;
    } grades[] = {{0, 0}, {2, std::atan(-0.02)}, {3.5, std::atan(-0.02)}, {4, std::atan(-0.2)},
                  {-4, std::atan(-0.2)}, {-1, std::atan(-0.02)}, {4.6, N}};
    for (const auto& g : grades) {
        const double grade = roadxs_GradeAt(s, roadxs_Position(g.offset));
        if (g.grade == N)
            EXPECT_EQ(grade, N) << g.offset;
        else
            EXPECT_NEAR(grade, g.grade, 1e-12) << g.offset;
    }
    EXPECT_NEAR(s.EdgeGrade(R), std::atan(-0.2), 1e-12);
    EXPECT_NEAR(s.EdgeElevation(L), 99.73, 1e-12);
    EXPECT_EQ(s.EdgePosition(L), roadxs_Position("SH", -2, -4.5));
    EXPECT_TRUE(s.IsBeyondEdge(-4.6));
    EXPECT_FALSE(s.IsBeyondEdge(4.5));
    EXPECT_TRUE(env.Expressions().empty());
}

TEST(RoadxsSection, CentreOnlySectionAnswersTheDesignElevationAtTheCentreOnly) {
    roadxs_Section s;
    s.Point = coord_CorrectedGrid(1, 2, 123.4);
    EXPECT_TRUE(s.IsCentreOnly());
    EXPECT_EQ(s.ElevationAt(roadxs_Position(0.0)), 123.4);  // the centre node's own elevation is null
    EXPECT_EQ(s.ElevationAt(roadxs_Position(0.1)), N);
    EXPECT_EQ(s.ElevationAt(roadxs_Position(-3.0)), N);
    EXPECT_EQ(s.EdgePosition(R), roadxs_Position("", 0, 0));
    EXPECT_EQ(s.EdgeGrade(L), 0);
}

TEST(RoadxsSection, ElevationWithoutCentreInterpolatesAcrossTheCentreLine) {
    roadxs_Section s;
    s.Centre.Offset = N;
    AddNodes(s.Sides[L], {{-1, 10, ""}});
    AddNodes(s.Sides[R], {{1, 12, ""}, {3, 13, ""}});
    EXPECT_NEAR(roadxs_ElevationAt(s, 0.5, ROADXS_NodeUnset), 11.5, 1e-12);
    EXPECT_NEAR(roadxs_ElevationAt(s, 2, ROADXS_NodeUnset), 12.5, 1e-12);
    EXPECT_NEAR(roadxs_ElevationAt(s, -0.5, ROADXS_NodeUnset), 10.5, 1e-12);
    // Reserved numbers answer only at the centre.
    EXPECT_EQ(roadxs_ElevationAt(s, 2, ROADXS_ReservedRightNode), N);
}

TEST(RoadxsSection, NodeNumberingRunsLeftToRightOverBattersAndCentre) {
    RecordingEnvironment env;
    const roadxs_Section s = Numbered();
    ASSERT_EQ(s.NodeCount(), 7);
    const double offsets[] = {-2, -1, 0, 1, 2, 3, ROADXS_RightBatterOffset};
    for (int32_t i = 0; i < 7; ++i) EXPECT_EQ(s.NodeOffset(i), offsets[i]) << i;
    EXPECT_EQ(s.NodeOffset(6), 5e306);
    EXPECT_EQ(s.NodeTag(4), 12);
    EXPECT_EQ(s.NodeTag(6), 77);
    EXPECT_EQ(s.NodeTag(0), -1);
    EXPECT_TRUE(env.Expressions().empty());

    EXPECT_EQ(s.NodeTag(7), -1);
    EXPECT_EQ(env.Expressions(), Reports{"node < NodeCount()"});
    env.Clear();
    EXPECT_EQ(s.NodeOffset(-1), N);
    EXPECT_EQ(s.NodeTag(-3), -1);
    EXPECT_EQ(env.Expressions(), (Reports{"node >= 0", "node >= 0"}));
    EXPECT_EQ(env.assertions[0].module, "roadxs");

    roadxs_Section noCentre = Numbered();
    noCentre.Centre.Offset = N;
    noCentre.Sides[L].HasBatter = true;
    EXPECT_EQ(noCentre.NodeCount(), 7);
    EXPECT_EQ(noCentre.NodeOffset(0), ROADXS_LeftBatterOffset);
    EXPECT_EQ(noCentre.NodeOffset(3), 1);
}

TEST(RoadxsSection, SteppingWalksNodeByNodeToTheBatters) {
    RecordingEnvironment env;
    const roadxs_Section s = Numbered();
    roadxs_Position p("L2", -2, -2);
    const std::vector<roadxs_Position> rightward = {{"L1", -1, -1}, {"CL", 0, 0}, {"R1", 1, 1}, {"R2", 2, 2},
                                                    {"R3", 3, 3},   {"RB", ROADXS_RightBatterNode, 5e306}};
    for (const roadxs_Position& expected : rightward) {
        EXPECT_TRUE(s.StepRight(p));
        EXPECT_EQ(p, expected);
    }
    EXPECT_FALSE(s.StepRight(p));
    EXPECT_EQ(p, rightward.back());
    // Back from the batter: resolved from its offset.
    EXPECT_TRUE(s.StepLeft(p));
    EXPECT_EQ(p, roadxs_Position("R3", 3, 3));

    // Without a batter the outermost node is the end.
    roadxs_Section bare = Numbered();
    bare.Sides[R].HasBatter = false;
    roadxs_Position edge("R3", 3, 3);
    EXPECT_FALSE(bare.StepRight(edge));
    EXPECT_EQ(edge, roadxs_Position("R3", 3, 3));
    roadxs_Position outer("L2", -2, -2);
    EXPECT_FALSE(bare.StepLeft(outer));
    EXPECT_FALSE(bare.StepOutward(edge));
    EXPECT_FALSE(bare.StepOutward(outer));

    // A side with a batter only: from the centre straight onto it.
    roadxs_Section batterOnly;
    batterOnly.Sides[L].HasBatter = true;
    batterOnly.Sides[L].BatterCode = "LB";
    roadxs_Position centre("", 0, 0);
    EXPECT_FALSE(batterOnly.StepRight(centre));
    EXPECT_TRUE(batterOnly.StepLeft(centre));
    EXPECT_EQ(centre, roadxs_Position("LB", ROADXS_LeftBatterNode, ROADXS_LeftBatterOffset));

    // A number that names no node here leaves the position alone.
    roadxs_Position stray("R9", 9, 9);
    EXPECT_FALSE(s.StepRight(stray));
    EXPECT_EQ(stray, roadxs_Position("R9", 9, 9));
    EXPECT_EQ(env.Expressions(), Reports{"node != NULL"});
}

TEST(RoadxsSection, NodesRightAndLeftOfAnOffset) {
    const roadxs_Section s = Numbered();
    const struct {
        double offset;
        int32_t right, left;
    } cases[] = {{1.5, 2, 1},
                 {-0.5, 0, -1},
                 {0.5, 1, 0},
                 {10, ROADXS_RightBatterNode, 3},
                 {-10, -2, -2},
                 {1, 2, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(s.NodeRightOf(roadxs_Position(c.offset)), c.right) << c.offset;
        EXPECT_EQ(s.NodeLeftOf(roadxs_Position(c.offset)), c.left) << c.offset;
    }
    // An unset position steps to those nodes.
    roadxs_Position p(1.5);
    EXPECT_TRUE(s.StepLeft(p));
    EXPECT_EQ(p, roadxs_Position("R1", 1, 1));
    roadxs_Position q("", ROADXS_ReservedLeftNode, -1.5);
    EXPECT_TRUE(s.StepRight(q));
    EXPECT_EQ(q, roadxs_Position("L1", -1, -1));
}

TEST(RoadxsPosition, OutwardComparisons) {
    RecordingEnvironment env;
    roadxs_Position leftBatter, rightBatter;
    leftBatter.SetBatter(L, "LB");
    rightBatter.SetBatter(R, "RB");
    const roadxs_Position centre("", 0, 0), r2("", 2, 2), r3("", 3, 3), l1("", -1, -1), l2("", -2, -2),
        unknown("", ROADXS_NodeUnset, N);
    const struct {
        roadxs_Position a, b;
        bool outward;
    } cases[] = {{centre, centre, false},     {r2, centre, true},          {centre, r2, false},
                 {rightBatter, rightBatter, false}, {rightBatter, r3, true}, {leftBatter, r3, true},
                 {r3, rightBatter, false},    {l2, leftBatter, false},     {r3, leftBatter, true},
                 {r3, r2, true},              {r2, r3, false},             {l2, l1, true},
                 {l1, l2, false},             {unknown, r2, false},        {r2, unknown, false}};
    for (const auto& c : cases)
        EXPECT_EQ(c.a.IsOutwardOf(c.b), c.outward) << c.a.Node << " " << c.b.Node;
    EXPECT_TRUE(env.Expressions().empty());

    // A batter number with another offset is reported, and still counts by its number.
    roadxs_Position odd("", ROADXS_RightBatterNode, 3);
    EXPECT_TRUE(odd.IsBatter());
    EXPECT_EQ(env.Expressions(), Reports{"Offset == ROADXS_RightBatterOffset"});
}

TEST(RoadxsSection, OutwardNodesBattersEdgesAndFurtherNodes) {
    RecordingEnvironment env;
    roadxs_Section s = Numbered();
    EXPECT_TRUE(s.HasNodeOutward(roadxs_Position("R2", 2, 2)));
    EXPECT_FALSE(s.HasNodeOutward(roadxs_Position("R3", 3, 3)));  // only the batter lies beyond
    EXPECT_TRUE(s.HasNodeOutward(roadxs_Position("L1", -1, -1)));
    EXPECT_FALSE(s.HasNodeOutward(roadxs_Position("L2", -2, -2)));
    EXPECT_TRUE(s.HasNodeOutward(roadxs_Position("CL", 0, 0)));

    roadxs_Position p(2.5);
    s.MoveToBatter(p);
    EXPECT_EQ(p, roadxs_Position("RB", ROADXS_RightBatterNode, ROADXS_RightBatterOffset));
    roadxs_Position q(-0.3);
    s.SnapToEdge(q, "X");
    EXPECT_EQ(q, roadxs_Position("X", -2, -2));
    roadxs_Section centreOnly;
    roadxs_Position r(1.0);
    centreOnly.SnapToEdge(r, "X");
    EXPECT_EQ(r, roadxs_Position(1.0));
    EXPECT_EQ(env.Expressions(), Reports{"Sides[side].Count > 0"});

    s.Nodes.Add({7.25, 3, "MH"});
    EXPECT_TRUE(s.HasNodeAt(roadxs_Position("MH", ROADXS_NodeUnset, 7.25)));
    EXPECT_FALSE(s.HasNodeAt(roadxs_Position("MH", 4, 7.25)));
    EXPECT_FALSE(s.HasNodeAt(roadxs_Position("mh", ROADXS_NodeUnset, 7.25)));
    EXPECT_FALSE(s.HasNodeAt(roadxs_Position("MH", ROADXS_NodeUnset, 7.2500001)));
}

// Edge at 5 (99) below a design elevation of 100; fill falls 1 in 2, cut rises 1 in 2
// after a 1 m ditch.
TEST(RoadxsSection, SideSlopesBeyondTheEdges) {
    RecordingEnvironment env;
    roadxs_Section s;
    s.Point = coord_CorrectedGrid(0, 0, 100);
    s.Centre.Elevation = 100;
    for (int32_t side : {L, R}) {
        const double sign = side == L ? -1 : 1;
        AddNodes(s.Sides[side], {{sign * 5, 99, "E"}});
        s.Sides[side].HasBatter = true;
        s.Sides[side].FillGrade = std::atan(0.5);
        s.Sides[side].CutGrade = std::atan(0.5);
        s.Sides[side].CutDitchWidth = 1;
    }
    const struct {
        double offset, height, elevation;
    } cases[] = {{9, -3, 97},    {-9, -3, 97},  {9, -1, 100.5}, {9, 0, 100.5},  {5.5, 0, 99},
                 {6, 2, 99},     {-7, 2, 99.5}, {9, N, N},      {N, -3, N}};
    for (const auto& c : cases) {
        const double e = s.SideSlopeElevation(c.offset, c.height);
        if (c.elevation == N)
            EXPECT_EQ(e, N) << c.offset << " " << c.height;
        else
            EXPECT_NEAR(e, c.elevation, 1e-12) << c.offset << " " << c.height;
    }
    EXPECT_NEAR(s.ElevationWithSideSlope(roadxs_Position(9.0), -3), 97, 1e-12);
    EXPECT_NEAR(s.ElevationWithSideSlope(roadxs_Position(2.5), -3), 99.5, 1e-12);
    EXPECT_EQ(s.ElevationAt(roadxs_Position(9.0)), N);
    // A null ditch width: the cut starts at the edge.
    s.Sides[R].CutDitchWidth = N;
    EXPECT_NEAR(s.SideSlopeElevation(7, 0), 100, 1e-12);
    EXPECT_TRUE(env.Expressions().empty());

    // Batter offsets are no place for a design elevation.
    roadxs_Position batter;
    batter.SetRightBatter("B");
    EXPECT_EQ(s.ElevationAt(batter), N);
    EXPECT_EQ(env.Expressions(), Reports{"Offset.Offset != ROADXS_RightBatterOffset"});
}

TEST(RoadxsSection, GradesThatCannotBeTaken) {
    RecordingEnvironment env;
    roadxs_Section s = Crowned();
    roadxs_Position p("", ROADXS_ReservedRightNode, 4);
    EXPECT_EQ(roadxs_GradeAt(s, p), N);
    EXPECT_TRUE(env.Expressions().empty());
    roadxs_Position batter;
    batter.SetLeftBatter("");
    EXPECT_EQ(roadxs_GradeAt(s, batter), N);
    EXPECT_EQ(env.Expressions(), Reports{"Why did we get here?"});
    env.Clear();

    // A first node on the centre line: no run, so no grade (never an infinite one).
    roadxs_Section kerb;
    kerb.Centre.Elevation = 100;
    AddNodes(kerb.Sides[R], {{0, 100.15, "K"}, {2, 100.19, "F"}});
    EXPECT_EQ(roadxs_GradeAt(kerb, roadxs_Position(0.0002)), N);
    EXPECT_EQ(env.Expressions(), Reports{"deltaHorz != 0.0"});
    EXPECT_NEAR(roadxs_GradeAt(kerb, roadxs_Position(1.0)), std::atan(0.02), 1e-12);
    env.Clear();

    // A null centre elevation counts as no rise up to the first node.
    roadxs_Section flat = Crowned();
    flat.Centre.Elevation = N;
    EXPECT_EQ(roadxs_GradeAt(flat, roadxs_Position(1.0)), 0);
}

TEST(RoadxsSection, CopiesAreDeepAndCompareWithinTheTolerance) {
    roadxs_Section a = Numbered();
    a.RoadName = "Main";
    a.Station = 120;
    a.Direction = 1.25;
    a.EquatedStation = EquatedStation(1120, 2);
    roadxs_Section b = a;
    EXPECT_EQ(a, b);
    EXPECT_EQ(b.Sides[R].Size, a.Sides[R].Size);
    b.Sides[R].Nodes[2].Elevation += 1e-9;
    b.Direction += 1e-9;
    EXPECT_EQ(a, b);
    b.Nodes.Add({1, 1, "X"});  // further nodes are not compared
    EXPECT_EQ(a, b);
    b.Sides[R].Nodes[2].Elevation += 1e-7;
    EXPECT_NE(a, b);
    EXPECT_EQ(a.Sides[R].Nodes[2].Elevation, 50);

    b = a;
    b.Station = 120 + 1e-12;  // the station exactly
    EXPECT_NE(a, b);
    b = a;
    b.EquatedStation.Zone = 3;
    EXPECT_NE(a, b);
    b = a;
    b.Sides[L].CutGrade = 1e-12;  // batter values exactly
    EXPECT_NE(a, b);
    b = a;
    b.Sides[L].Nodes[0].Code = "l1";
    EXPECT_NE(a, b);

    roadxs_Side& self = a.Sides[R];
    self = *&self;
    EXPECT_EQ(self.Count, 3);
    EXPECT_EQ(self.Nodes[2].Code, "R3");

    // A cleared copy holds no stale nodes.
    roadxs_Section empty;
    b = a;
    b = empty;
    EXPECT_EQ(b.Sides[R].Count, 0);
    EXPECT_EQ(b.Sides[R].Nodes, nullptr);
}

TEST(RoadxsSection, DirectionOfTheAlignment) {
    roadxs_Section s;
    EXPECT_EQ(s.GetDirection(), N);
    s.Direction = 0.25;
    EXPECT_NEAR(s.GetDirection(), 0.25 - CONSTANT_PiOverTwo + CONSTANT_TwoPi, 1e-15);
    s.Direction = 2.0;
    EXPECT_NEAR(s.GetDirection(), 2.0 - CONSTANT_PiOverTwo, 1e-15);
}

TEST(RoadxsInterpolateLinear, LineThroughTwoPoints) {
    const struct {
        double y1, y2, x1, x2, x, y;
    } cases[] = {{1, 3, 0, 2, 1, 2}, {1, 3, 0, 2, 4, 5}, {5, 5, 2, 2, 7, 5}, {5, 6, 2, 2, 2, N},
                 {N, 3, 0, 2, 1, N}, {1, N, 0, 2, 1, N}};
    for (const auto& c : cases) EXPECT_EQ(roadxs_InterpolateLinear(c.y1, c.y2, c.x1, c.x2, c.x), c.y);
}

}  // namespace
