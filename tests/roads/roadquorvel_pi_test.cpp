// PI alignments: curves solved at intersection points against closed forms (clothoid
// offsets by quadrature of the Fresnel integrals), the reasons a solve fails, the
// element list a solved list turns into, and the road-file text.
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/kernel/maths.h"
#include "road_transform_fixture.h"
#include "road_xml_test.h"
#include "roads/roadquorvel_arc.h"
#include "roads/roadquorvel_pi.h"
#include "roads/roadquorvel_spiral.h"
#include "support/recording_environment.h"
#include "support/temp_folder.h"

namespace {

constexpr double N = MATHS_Null;
constexpr double kPi = 3.14159265358979323846;
constexpr double kTol = 1e-6;  // metres, and radians for azimuths

// A PI list starting at N 1000 E 1000, station 0, with PIs at the given points.
struct PIPoint {
    double north, east;
    int32_t curve;
    double radius, spiralIn, spiralOut;
};

HorizontalPIArray MakeList(std::initializer_list<PIPoint> pis, double startNorth = 1000, double startEast = 1000) {
    HorizontalPIArray list;
    HorizontalStartPoint* start = new HorizontalStartPoint(1);
    start->KeyinMethod = 0;
    start->StartStation = start->EndStation = 0;
    start->PICoordinate = start->StartCoordinate = start->EndCoordinate =
        coord_CorrectedGrid(startNorth, startEast, N);
    list.Add(start);
    for (const PIPoint& p : pis) {
        HorizontalPI* pi = new HorizontalPI;
        pi->KeyinMethod = 0;
        pi->PICoordinate = pi->StartCoordinate = pi->EndCoordinate = coord_CorrectedGrid(p.north, p.east, N);
        pi->CurveType = p.curve;
        pi->ArcRadius = p.radius;
        pi->SpiralInLength = p.spiralIn;
        pi->SpiralOutLength = p.spiralOut;
        list.Add(pi);
    }
    return list;
}

HorizontalPI* PI(HorizontalPIArray& list, int32_t i) { return HorizontalPI::Cast(list.RoadElementArray::At(i)); }

// Expected solution of one PI; east values are mirrored about E 1000 for a left twin.
struct Solution {
    double startN, startE, curveStartN, curveStartE, curveEndN, curveEndE, endN, endE;
    double startStation, curveStartStation, curveEndStation, endStation;
    double curveStartAzimuth, curveEndAzimuth, arcLength, spiralIn, spiralOut;
};

void ExpectPoint(const coord_CorrectedGrid& p, double north, double east, bool left, const char* what) {
    EXPECT_NEAR(p.North, north, kTol) << what;
    EXPECT_NEAR(p.East, left ? 2000 - east : east, kTol) << what;
}

void ExpectSolution(const HorizontalPI& pi, const Solution& s, bool left) {
    ASSERT_TRUE(pi.Solved);
    EXPECT_EQ(pi.SolveStatus, 0);
    ExpectPoint(pi.StartCoordinate, s.startN, s.startE, left, "start");
    ExpectPoint(pi.CurveStart, s.curveStartN, s.curveStartE, left, "curve start");
    ExpectPoint(pi.CurveEnd, s.curveEndN, s.curveEndE, left, "curve end");
    ExpectPoint(pi.EndCoordinate, s.endN, s.endE, left, "end");
    EXPECT_NEAR(pi.StartStation, s.startStation, kTol);
    EXPECT_NEAR(pi.CurveStartStation, s.curveStartStation, kTol);
    EXPECT_NEAR(pi.CurveEndStation, s.curveEndStation, kTol);
    EXPECT_NEAR(pi.EndStation, s.endStation, kTol);
    const double sign = left ? -1 : 1;
    EXPECT_NEAR(std::remainder(pi.CurveStartAzimuth - sign * s.curveStartAzimuth, 2 * kPi), 0, kTol);
    EXPECT_NEAR(std::remainder(pi.CurveEndAzimuth - sign * s.curveEndAzimuth, 2 * kPi), 0, kTol);
    EXPECT_NEAR(pi.Deflection, sign * kPi / 2, 1e-12);
    EXPECT_NEAR(pi.ArcLength, s.arcLength, kTol);
    if (maths_IsNull(s.spiralIn)) {
        EXPECT_EQ(pi.SpiralInLength, N);
        EXPECT_EQ(pi.SpiralOutLength, N);
    } else {
        EXPECT_NEAR(pi.SpiralInLength, s.spiralIn, kTol);
        EXPECT_NEAR(pi.SpiralOutLength, s.spiralOut, kTol);
    }
}

class PISolve : public RoadTransformTest {};

// Every curve turns 90 degrees at N 1500 E 1000 from due north to due east (right) or
// west (left twin); the back distance is 500. Closed forms computed beforehand:
// circular T = R tan(D/2); spirals theta = L/2R, X and Y by quadrature of the Fresnel
// integrals, p = Y - R(1 - cos theta), k = X - R sin theta, T = k + (R + p) tan(D/2).
TEST_F(PISolve, CurvesAgainstClosedForms) {
    struct Case {
        const char* what;
        int32_t curve;
        double radius, spiral;
        Solution s;
    } cases[] = {
        {"circular R 100", 1, 100, N,
         {1400, 1000, 1400, 1000, 1500, 1100, 1500, 1100, 400, 400, 557.07963267948966, 557.07963267948966, 0,
          kPi / 2, 157.07963267948966, N, N}},
        {"spiral-arc-spiral R 200, spirals 60", 2, 200, 60,
         {1269.2730883337284, 1000, 1329.1382288857340, 1002.9951820217774, 1497.0048179782226,
          1170.8617711142660, 1500, 1230.7269116662716, 269.27308833372836, 329.27308833372836,
          583.43235369270768, 643.43235369270768, 0.15, 1.4207963267948966, 254.15926535897932, 60, 60}},
        {"spiral-spiral R 100", 3, 100, N,
         {1312.9904153353731, 1000, 1460.6533910803342, 1039.3466089196658, 1460.6533910803342,
          1039.3466089196658, 1500, 1187.0095846646269, 312.99041533537313, 470.07004801486279,
          470.07004801486279, 627.14968069435245, kPi / 4, kPi / 4, 0, 157.07963267948966,
          157.07963267948966}},
    };
    for (const Case& c : cases) {
        for (bool left : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (left ? " left" : " right"));
            HorizontalPIArray list =
                MakeList({{1500, 1000, c.curve, c.radius, c.spiral, c.spiral}, {1500, left ? 400.0 : 1600.0, 0, N, N, N}});
            EXPECT_EQ(list.SolveAll(), 3);
            ExpectSolution(*PI(list, 1), c.s, left);
            // The last PI solves without a curve: it starts where it is, ahead of the
            // previous end by the distance between them, with no ahead tangent.
            const HorizontalPI& last = *PI(list, 2);
            ASSERT_TRUE(last.Solved);
            EXPECT_NEAR(last.StartStation, c.s.endStation + 600 - (c.s.endE - 1000), kTol);
            EXPECT_EQ(last.EndAzimuth, N);
            EXPECT_EQ(last.Deflection, N);
            EXPECT_EQ(last.EndCoordinate.North, 1500);
            EXPECT_EQ(last.CurveStart.East, last.PICoordinate.East);
        }
    }
}

// The point at a grid azimuth (degrees) and distance from N 1500 E 1000.
PIPoint Ahead(double degrees, double distance, int32_t curve = 0) {
    const double a = degrees * kPi / 180;
    return {1500 + distance * std::cos(a), 1000 + distance * std::sin(a), curve, N, N, N};
}

TEST_F(PISolve, FailureStatuses) {
    struct Case {
        const char* what;
        HorizontalPIArray list;
        int32_t status;
        double overlap;
    } cases[] = {
        {"half an arc-second", MakeList({{1500, 1000, 1, 100, N, N}, Ahead(0.5 / 3600, 1000)}), PI_NoDeflection, N},
        {"179.9999 degrees", MakeList({{1500, 1000, 1, 100, N, N}, Ahead(179.9999, 1000)}), PI_NoDeflection, N},
        {"within 0.001 of the start", MakeList({{1000.0007, 1000, 1, 100, N, N}, Ahead(90, 600)}),
         PI_CloseToPrevious, N},
        {"no north", MakeList({{N, 1000, 1, 100, N, N}, Ahead(90, 600)}), PI_NoCoordinate, N},
        {"start without east", MakeList({{1500, 1000, 1, 100, N, N}, Ahead(90, 600)}, 1000, N), PI_NoCoordinate, N},
        {"spirals longer than the turn", MakeList({{1500, 1000, 2, 100, 200, 200}, Ahead(90, 600)}),
         PI_SpiralsTooLong, N},
        {"back tangent too long", MakeList({{1050, 1000, 1, 100, N, N}, {1050, 1600, 0, N, N, N}}),
         PI_OverlapsPrevious, 50},
        {"ahead tangent too long", MakeList({{1500, 1000, 1, 100, N, N}, Ahead(90, 70)}), PI_OverlapsNext, 30},
        {"no radius", MakeList({{1500, 1000, 1, N, N, N}, Ahead(90, 600)}), 0, N},
        {"no spiral length", MakeList({{1500, 1000, 2, 100, 10, N}, Ahead(90, 600)}), 0, N},
        {"unknown curve type", MakeList({{1500, 1000, 7, 100, N, N}, Ahead(90, 600)}), 0, N},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.list.SolveAll();
        const HorizontalPI& pi = *PI(c.list, 1);
        EXPECT_FALSE(pi.Solved);
        EXPECT_EQ(pi.SolveStatus, c.status);
        if (maths_IsNull(c.overlap))
            EXPECT_EQ(pi.Overlap, N);
        else
            EXPECT_NEAR(pi.Overlap, c.overlap, kTol);
        if (c.status == PI_OverlapsPrevious || c.status == PI_OverlapsNext) {
            for (const coord_CorrectedGrid* p : {&pi.StartCoordinate, &pi.CurveStart, &pi.CurveEnd, &pi.EndCoordinate}) {
                EXPECT_EQ(p->North, N);
                EXPECT_EQ(p->East, N);
            }
            EXPECT_EQ(pi.StartStation, N);
            EXPECT_EQ(pi.EndAzimuth, N);
        }
    }
}

TEST_F(PISolve, LastPISolvesOnlyWithoutCurve) {
    HorizontalPIArray list = MakeList({{1500, 1000, 1, 100, N, N}});
    list.SolveAll();
    EXPECT_FALSE(PI(list, 1)->Solved);
    EXPECT_EQ(PI(list, 1)->SolveStatus, 0);
    PI(list, 1)->CurveType = 0;
    PI(list, 1)->ArcRadius = 100;
    list.SolveAll();
    const HorizontalPI& pi = *PI(list, 1);
    ASSERT_TRUE(pi.Solved);
    EXPECT_NEAR(pi.StartStation, 500, kTol);
    EXPECT_NEAR(pi.StartAzimuth, 0, kTol);
    EXPECT_EQ(pi.EndAzimuth, N);
    EXPECT_EQ(pi.Deflection, N);
    EXPECT_EQ(pi.ArcRadius, N);  // a PI without curve discards its curve values
}

// The element list is a chain the alignment accepts, through the tables' points.
TEST_F(PISolve, ToElementsChains) {
    for (bool left : {false, true}) {
        SCOPED_TRACE(left ? "left" : "right");
        const double e = left ? -1 : 1;
        // Spiral-arc-spiral, then a circular curve whose start touches the first's end
        // (no straight between them), then the end.
        const double t = 230.72691166627164;  // tangent of the first curve
        HorizontalPIArray list = MakeList({{1500, 1000, 2, 200, 60, 60},
                                           {1500, 1000 + e * (t + 100), 1, 100, N, N},
                                           {1000, 1000 + e * (t + 100), 0, N, N, N}});
        list.SolveAll();
        for (int32_t i = 1; i <= 3; ++i) ASSERT_TRUE(PI(list, i)->Solved) << i;
        HorizontalElementArray elements;
        ASSERT_TRUE(list.ToElements(elements));
        const int32_t types[] = {HorizontalStartPoint::TypeCode, HorizontalStraight::TypeCode,
                                 HorizontalEntrySpiral::TypeCode, HorizontalArc::TypeCode,
                                 HorizontalExitSpiral::TypeCode, HorizontalArc::TypeCode,
                                 HorizontalStraight::TypeCode};
        ASSERT_EQ(elements.Count(), 7);
        for (int32_t i = 0; i < 7; ++i) EXPECT_EQ(elements.At(i)->GetType(), types[i]) << i;
        EXPECT_EQ(HorizontalStartPoint::Cast(elements.RoadElementArray::At(0))->GetKind(), 0);
        EXPECT_TRUE(elements.IsContinuous());
        EXPECT_TRUE(elements.IsConsistent());
        const HorizontalArc* arc = HorizontalArc::Cast(elements.RoadElementArray::At(3));
        EXPECT_EQ(arc->Direction, !left);
        EXPECT_NEAR(arc->Radius, 200, kTol);
        EXPECT_NEAR(arc->Length, 254.15926535897932, kTol);
        ExpectPoint(elements.At(3)->StartCoordinate, 1329.1382288857340, 1002.9951820217774, left, "arc start");
        ExpectPoint(elements.At(4)->EndCoordinate, 1500, 1230.7269116662716, left, "spiral end");
        ExpectPoint(elements.At(5)->EndCoordinate, 1400, 1330.7269116662716, left, "second arc end");
        EXPECT_NEAR(elements.At(6)->EndStation, 643.43235369270768 + 157.07963267948966 + 400, kTol);
    }
}

TEST_F(PISolve, ToElementsOfUnsolvedListCarriesNulls) {
    HorizontalPIArray list = MakeList({{1050, 1000, 1, 100, N, N}, {1050, 1600, 0, N, N, N}});
    list.SolveAll();
    ASSERT_FALSE(PI(list, 1)->Solved);
    HorizontalElementArray elements;
    ASSERT_TRUE(list.ToElements(elements));
    ASSERT_GE(elements.Count(), 2);
    const HorizontalArc* arc = HorizontalArc::Cast(elements.RoadElementArray::At(1));
    ASSERT_NE(arc, nullptr);
    EXPECT_EQ(arc->StartCoordinate.North, N);
    EXPECT_EQ(arc->StartStation, N);

    HorizontalPIArray empty;
    elements.Add(new HorizontalStraight);
    EXPECT_TRUE(empty.ToElements(elements));
    EXPECT_EQ(elements.Count(), 0);
}

TEST(HorizontalPI, DerivedValuesAndContract) {
    RecordingEnvironment env;
    HorizontalPI pi;
    EXPECT_EQ(pi.CurveType, -1);
    pi.CurveType = 1;
    pi.ArcLength = 157.07963267948966;
    pi.Deflection = -kPi / 2;
    pi.DeriveFromArcLength();
    EXPECT_NEAR(pi.ArcRadius, 100, 1e-12);
    pi.CurveType = 2;
    pi.ArcRadius = 200;
    pi.ArcLength = 254.15926535897932;
    pi.DeriveFromArcLength();
    EXPECT_NEAR(pi.SpiralInLength, 60, 1e-9);
    EXPECT_NEAR(pi.SpiralOutLength, 60, 1e-9);
    pi.ArcLength = 400;  // more arc than deflection: no spirals
    pi.DeriveFromArcLength();
    EXPECT_EQ(pi.SpiralInLength, 0);
    pi.Deflection = 0;  // nothing to divide by: unchanged
    pi.ArcRadius = 7;
    pi.DeriveFromArcLength();
    EXPECT_EQ(pi.ArcRadius, 7);
    EXPECT_EQ(pi.SpiralInLength, 0);

    pi.Deflection = kPi / 2;
    pi.SpiralInLength = 157.07963267948966;
    pi.SetRadiusFromSpiralIn();  // only for spiral-spiral
    EXPECT_EQ(pi.ArcRadius, 7);
    pi.CurveType = 3;
    pi.SetRadiusFromSpiralIn();
    EXPECT_NEAR(pi.ArcRadius, 100, 1e-12);
    pi.SpiralOutLength = -5;
    pi.SetRadiusFromSpiralOut();
    EXPECT_NEAR(pi.ArcRadius, 100, 1e-12);

    EXPECT_FALSE(pi.Compute());
    EXPECT_EQ(pi.PointAtStation(10).Station, N);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"0", "0"}));
    EXPECT_EQ(pi.DirectionPtr(), nullptr);
    EXPECT_FALSE(pi.IsSpiral());

    // Solve flags, overlap, deflection and tangency are not compared.
    HorizontalPI other(pi);
    other.Solved = true;
    other.SolveStatus = 5;
    other.Overlap = 3;
    other.Deflection = 1;
    other.TangentialToPrevious = false;
    EXPECT_TRUE(other == pi);
    other.CurveEnd.Elev = 1;
    EXPECT_FALSE(other == pi);

    HorizontalPIArray list;
    std::unique_ptr<HorizontalBase> first(list.ProposeNextElement());
    EXPECT_EQ(first->GetType(), HorizontalStartPoint::TypeCode);
    EXPECT_EQ(HorizontalStartPoint::Cast(first.get())->GetKind(), 1);
    list.Add(first.release());
    std::unique_ptr<HorizontalBase> next(list.ProposeNextElement());
    EXPECT_EQ(next->GetType(), HorizontalPI::TypeCode);
}

TEST(HorizontalPI, XmlRoundTrip) {
    EXPECT_EQ(road_test::Owned(HorizontalPIArray().WriteXml()), "(null)");
    HorizontalPIArray list = MakeList({{1500, 1000, 1, 100, N, N}, {1500, 1600.25, 2, 200, 60, N}, {1400, 1700, 0, N, N, N}});
    PI(list, 1)->ArcLength = 157.5;
    PI(list, 2)->KeyinMethod = 1;
    PI(list, 2)->PointName = "P7";
    PI(list, 3)->CurveType = -1;
    const std::string text = road_test::Owned(list.WriteXml());
    const std::string expected =
        "\r\n"
        "<HorizontalAlignmentPIs>\r\n"
        "    <StartPI>\r\n"
        "        <KeyinMethod>UserDefinedCoordinates</KeyinMethod>\r\n"
        "        <StartStation>0</StartStation>\r\n"
        "\r\n"
        "        <PICoordinate>\r\n"
        "            <North>1000</North>\r\n"
        "            <East>1000</East>\r\n"
        "        </PICoordinate>\r\n"
        "    </StartPI>\r\n"
        "    <PI>\r\n"
        "        <CurveType>Circular</CurveType>\r\n"
        "        <KeyinMethod>UserDefinedCoordinates</KeyinMethod>\r\n"
        "\r\n"
        "        <PICoordinate>\r\n"
        "            <North>1500</North>\r\n"
        "            <East>1000</East>\r\n"
        "        </PICoordinate>\r\n"
        "        <ArcRadius>100</ArcRadius>\r\n"
        "        <ArcLength>157.5</ArcLength>\r\n"
        "    </PI>\r\n"
        "    <PI>\r\n"
        "        <CurveType>SpiralArcSpiral</CurveType>\r\n"
        "        <KeyinMethod>ExistingPoint</KeyinMethod>\r\n"
        "        <PICoordinatesFromPoint>P7</PICoordinatesFromPoint>\r\n"
        "\r\n"
        "        <PICoordinate>\r\n"
        "            <North>1500</North>\r\n"
        "            <East>1600.25</East>\r\n"
        "        </PICoordinate>\r\n"
        "        <ArcRadius>200</ArcRadius>\r\n"
        "        <ArcLength/>\r\n"
        "        <SpiralInLength>60</SpiralInLength>\r\n"
        "        <SpiralOutLength/>\r\n"
        "    </PI>\r\n"
        "    <PI>\r\n"
        "        <CurveType/>\r\n"
        "        <KeyinMethod>UserDefinedCoordinates</KeyinMethod>\r\n"
        "\r\n"
        "        <PICoordinate>\r\n"
        "            <North>1400</North>\r\n"
        "            <East>1700</East>\r\n"
        "        </PICoordinate>\r\n"
        "    </PI>\r\n"
        "</HorizontalAlignmentPIs>\r\n";
    EXPECT_EQ(text, expected);

    TempFolder tmp;
    auto node = road_test::Scan(tmp, text);
    HorizontalPIArray read;
    road_test::ReadElements(node.get(), read, [](const Str& name) -> RoadElement* {
        if (name == "StartPI") return new HorizontalStartPoint(1);
        if (name == "PI") return new HorizontalPI;
        return nullptr;
    });
    ASSERT_EQ(read.Count(), 4);
    const HorizontalPI& second = *PI(read, 2);
    EXPECT_FALSE(second.Solved);
    EXPECT_EQ(second.PointName, Str("P7"));
    EXPECT_EQ(second.StartCoordinate.East, 1600.25);
    EXPECT_EQ(second.EndCoordinate.North, 1500);
    EXPECT_EQ(second.SpiralOutLength, N);
    EXPECT_EQ(PI(read, 3)->CurveType, -1);
    EXPECT_EQ(road_test::Owned(read.WriteXml()), text);
}

}  // namespace
