// The horizontal arc: solving from each keying against closed-form circles, the end
// point, points and station-offsets along it, the abeam test, and its road-file form.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/kernel/maths.h"
#include "road_transform_fixture.h"
#include "road_xml_test.h"
#include "roads/roadquorvel_arc.h"
#include "roads/roadquorvel_spiral.h"
#include "support/recording_environment.h"

namespace {

constexpr double N = MATHS_Null;
constexpr double kDeg = CONSTANT_Pi / 180;
using Reports = std::vector<std::string>;

HorizontalArc Keyed(int32_t method, coord_CorrectedGrid start, coord_CorrectedGrid end) {
    HorizontalArc a;
    a.KeyinMethod = method;
    a.StartStation = 100;
    a.StartCoordinate = start;
    a.EndCoordinate = end;
    return a;
}

// Centre at the origin, start due north of it at radius 100.
HorizontalArc CentreKeyed(coord_CorrectedGrid end, bool largeArc) {
    HorizontalArc a = Keyed(7, coord_CorrectedGrid(100, 0, N), end);
    a.CentrePointCoordinate = coord_CorrectedGrid(0, 0, N);
    a.LargeArc = largeArc;
    return a;
}

HorizontalArc ByRadius(double azimuth, bool right, double radius, double angle) {
    HorizontalArc a;
    a.KeyinMethod = 0;
    a.StartStation = 100;
    a.StartAzimuth = azimuth;
    a.StartCoordinate = coord_CorrectedGrid(1000, 2000, 12.5);
    a.Direction = right;
    a.Radius = radius;
    a.Angle = angle;
    a.Length = radius * angle;
    a.EndStation = 100 + a.Length;
    return a;
}

using ArcGeometry = RoadTransformTest;

TEST_F(ArcGeometry, CentreKeyedTakesTheShortOrTheLongWayRound) {
    // The end lies 270 degrees clockwise round the centre from the start.
    struct Case { bool large, right; double angle, startAzimuth, endAzimuth; };
    const Case cases[] = {
        {false, false, 90 * kDeg, 270 * kDeg, 180 * kDeg},
        {true, true, 270 * kDeg, 90 * kDeg, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.large);
        HorizontalArc a = CentreKeyed(coord_CorrectedGrid(0, -100, N), c.large);
        ASSERT_TRUE(a.Compute());
        EXPECT_EQ(a.Direction, c.right);
        EXPECT_NEAR(a.Angle, c.angle, 1e-12);
        EXPECT_NEAR(a.Radius, 100, 1e-9);
        EXPECT_NEAR(a.Length, 100 * c.angle, 1e-9);
        EXPECT_NEAR(a.EndStation, 100 + 100 * c.angle, 1e-9);
        EXPECT_NEAR(a.StartAzimuth, c.startAzimuth, 1e-12);
        EXPECT_NEAR(std::remainder(a.EndAzimuth - c.endAzimuth, CONSTANT_TwoPi), 0, 1e-12);
        EXPECT_EQ(a.EndCoordinate, coord_CorrectedGrid(0, -100, N));  // keyed, left alone
    }
}

TEST_F(ArcGeometry, CentreKeyedRadiiMayDifferByOneCentimetre) {
    HorizontalArc near = CentreKeyed(coord_CorrectedGrid(0, -100.009, N), false);
    EXPECT_TRUE(near.Compute());
    EXPECT_FALSE(near.RadiiDiffer());

    HorizontalArc far = CentreKeyed(coord_CorrectedGrid(0, -100.02, N), false);
    EXPECT_FALSE(far.Compute());
    double difference = N;
    EXPECT_TRUE(far.RadiiDiffer(&difference));
    EXPECT_NEAR(difference, 0.02, 1e-9);

    // The centre on the start: no radius.
    HorizontalArc none = CentreKeyed(coord_CorrectedGrid(0, -100, N), false);
    none.CentrePointCoordinate = none.StartCoordinate;
    EXPECT_FALSE(none.Compute());
    // Not keyed by centre: never differ.
    EXPECT_FALSE(ByRadius(0, true, 100, 1).RadiiDiffer());
}

TEST_F(ArcGeometry, EndKeyedFromTheTangent) {
    RecordingEnvironment env;
    struct Case { double north, east; bool ok, right; double radius, angle; };
    const Case cases[] = {
        {100, 0, false, true, N, N},                                  // ahead on the tangent
        {-100, 0, false, true, N, N},                                 // behind it
        {0, 50, true, true, 25, CONSTANT_Pi},                         // right half circle
        {0, -50, true, false, 25, CONSTANT_Pi},                       // left half circle
        {84.147098480789651, 45.969769413186023, true, true, 100, 1},  // R 100 through 1 rad
        {84.147098480789651, -45.969769413186023, true, false, 100, 1},
        {-84.147098480789651, 45.969769413186023, true, true, 100, CONSTANT_TwoPi - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.north << " " << c.east);
        HorizontalArc a = Keyed(5, coord_CorrectedGrid(0, 0, N), coord_CorrectedGrid(c.north, c.east, N));
        a.StartAzimuth = 0;
        ASSERT_EQ(a.Compute(), c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(a.Direction, c.right);
        EXPECT_NEAR(a.Radius, c.radius, 1e-9);
        EXPECT_NEAR(a.Angle, c.angle, 1e-12);
        EXPECT_NEAR(a.Length, c.radius * c.angle, 1e-9);
        EXPECT_NEAR(a.EndStation, 100 + c.radius * c.angle, 1e-9);
        EXPECT_NEAR(std::remainder(a.EndAzimuth - (c.right ? c.angle : -c.angle), CONSTANT_TwoPi), 0, 1e-12);
    }
    EXPECT_TRUE(env.assertions.empty());

    // Just off the tangent behind the start: a circle far longer than the limit.
    HorizontalArc huge = Keyed(6, coord_CorrectedGrid(0, 0, N), coord_CorrectedGrid(-100, 0.01, N));
    huge.StartAzimuth = 0;
    EXPECT_FALSE(huge.Compute());
    EXPECT_EQ(huge.Length, N);
}

TEST_F(ArcGeometry, EndPointAgainstClosedFormCircles) {
    // From (N 1000, E 2000); end and end azimuth of the circle, to 1e-8 m.
    struct Case { double azimuth; bool right; double radius, angle, north, east, endAzimuth; };
    const Case cases[] = {
        {0.5, true, 100, 1.0, 1051.8069447999851, 2080.684536022267, 1.5},
        {0.5, false, 100, 1.0, 1095.8851077208406, 2000.0, 5.7831853071795865},
        {5.9, true, 250, 2.5, 1307.1188932296291, 2361.6917712151804, 2.1168146928204139},
        {3.0, false, 40, 4.0, 1039.3036397147105, 2061.2117920987434, 5.2831853071795865},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.azimuth << " " << c.right);
        HorizontalArc a = ByRadius(c.azimuth, c.right, c.radius, c.angle);
        ASSERT_TRUE(a.Compute());
        EXPECT_NEAR(a.EndCoordinate.North, c.north, 1e-8);
        EXPECT_NEAR(a.EndCoordinate.East, c.east, 1e-8);
        EXPECT_EQ(a.EndCoordinate.Elev, 12.5);
        EXPECT_NEAR(a.EndAzimuth, c.endAzimuth, 1e-12);
        // The point at the end station is the end, whichever way it was reached.
        const AlignmentPoint p = a.PointAtStation(a.EndStation);
        EXPECT_NEAR(p.Point.North, c.north, 1e-8);
        EXPECT_NEAR(p.Point.East, c.east, 1e-8);
        EXPECT_NEAR(p.Azimuth, c.endAzimuth, 1e-12);
        EXPECT_EQ(p.Right, c.right);
        // And the end projects back onto the end station with no offset.
        const coord_StationOffset so = a.StationOffsetOfPoint(a.EndCoordinate);
        EXPECT_NEAR(so.Station, a.EndStation, 1e-8);
        EXPECT_NEAR(so.Offset, 0, 1e-8);
    }
}

TEST_F(ArcGeometry, EndStationKeyedTakesItsLengthFromTheStations) {
    HorizontalArc a = ByRadius(0.5, true, 100, 1.0);
    a.KeyinMethod = 1;
    a.Length = N;
    a.EndStation = 200;
    ASSERT_TRUE(a.Compute());
    EXPECT_EQ(a.Length, 100);
    EXPECT_NEAR(a.EndCoordinate.North, 1051.8069447999851, 1e-8);

    RecordingEnvironment env;
    HorizontalArc bare;
    bare.KeyinMethod = 0;
    bare.ComputeEndCoordinate();
    EXPECT_EQ(env.Expressions(),
              Reports({"!maths_IsNull ( Angle )", "!maths_IsNull ( Radius )", "!maths_IsNull ( Length )"}));
    EXPECT_TRUE(bare.EndCoordinate.IsHorizontalNull());
    EXPECT_EQ(bare.EndAzimuth, N);
}

TEST_F(ArcGeometry, IsAbeam) {
    const HorizontalArc a = [] {
        HorizontalArc arc = ByRadius(0, true, 100, CONSTANT_PiOverTwo);  // centre (1000, 2100)
        arc.Compute();
        return arc;
    }();
    struct Case { double north, east; bool abeam; };
    const Case cases[] = {
        {1000, 2000, true},      // the start
        {1100, 2100, true},      // the end
        {1050, 1990, true},      // outside the curve, between the radii
        {1050, 2080, true},      // inside
        {990, 2000, false},      // before the start
        {1110, 2150, false},     // past the end
        {900, 2100, false},      // across the circle
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.north << " " << c.east);
        double d = N;
        EXPECT_EQ(a.IsAbeam(coord_CorrectedGrid(c.north, c.east, N), &d), c.abeam);
        EXPECT_NE(d, N);
    }
    double d = N;
    EXPECT_TRUE(a.IsAbeam(a.StartCoordinate, &d));
    EXPECT_EQ(d, 0);

    HorizontalArc circle = ByRadius(0, false, 100, CONSTANT_TwoPi);
    circle.Compute();
    for (const coord_CorrectedGrid& p : {coord_CorrectedGrid(0, 0, N), coord_CorrectedGrid(1000, 1900, N),
                                         coord_CorrectedGrid(5000, -300, N)})
        EXPECT_TRUE(circle.IsAbeam(p, &d));
}

TEST_F(ArcGeometry, TakesRadiusAndTurnFromThePrevious) {
    HorizontalArc previous = ByRadius(0.5, false, 250, 0.4);
    previous.Compute();
    HorizontalArc next;
    next.TakeStartFromPrevious(&previous);
    EXPECT_EQ(next.Radius, 250);
    EXPECT_FALSE(next.Direction);
    EXPECT_EQ(next.StartAzimuth, previous.EndAzimuth);
    EXPECT_EQ(next.StartStation, previous.EndStation);
    EXPECT_EQ(next.StartCoordinate, previous.EndCoordinate);

    HorizontalEntrySpiral spiral;
    spiral.StartRadius = 900;
    spiral.EndRadius = 300;
    spiral.Direction = true;
    next.TakeStartFromPrevious(&spiral);
    EXPECT_EQ(next.Radius, 300);
    EXPECT_TRUE(next.Direction);

    // A straight has no radius to give.
    HorizontalStraight straight;
    next.TakeStartFromPrevious(&straight);
    EXPECT_EQ(next.Radius, 300);

    RecordingEnvironment env;
    next.TakeStartFromPrevious(nullptr);
    EXPECT_EQ(env.Expressions(), Reports({"element != NULL"}));
}

TEST(ArcElement, FromASpiral) {
    HorizontalExitSpiral exit;
    exit.KeyinMethod = 0;
    exit.StartStation = 10;
    exit.Length = 60;
    exit.StartRadius = 300;
    exit.EndRadius = 500;
    exit.Direction = false;
    exit.PointName = "P1";
    const HorizontalArc a(exit);
    EXPECT_EQ(a.GetType(), 1);
    EXPECT_EQ(a.Radius, 400);
    EXPECT_DOUBLE_EQ(a.Angle, 60.0 / 400);
    EXPECT_FALSE(a.Direction);
    EXPECT_EQ(a.Length, 60);
    EXPECT_EQ(a.StartStation, 10);
    EXPECT_EQ(a.PointName, Str("P1"));

    HorizontalEntrySpiral entry;
    entry.EndRadius = 300;
    entry.Length = 60;
    const HorizontalArc fromStraight(entry);
    EXPECT_EQ(fromStraight.Radius, N);
    EXPECT_EQ(fromStraight.Angle, N);
}

TEST(ArcElement, NamesEqualityAndCasts) {
    HorizontalArc a;
    EXPECT_EQ(a.GetType(), 1);
    EXPECT_EQ(a.KeyinMethod, -1);
    EXPECT_TRUE(a.Direction);
    for (int32_t m = 0; m <= 8; ++m) {
        HorizontalArc b;
        b.KeyinMethod = m;
        b.SetKeyinMethodFromName(b.KeyinMethodName());
        EXPECT_EQ(b.KeyinMethod, m);
    }
    a.KeyinMethod = 9;
    EXPECT_EQ(a.KeyinMethodName(), Str());
    a.SetKeyinMethodFromName("radiusandlength");
    EXPECT_EQ(a.KeyinMethod, 9);
    a.SetDirectionFromName("Left");
    EXPECT_STREQ(a.DirectionName(), "Left");
    a.SetDirectionFromName("right");
    EXPECT_FALSE(a.Direction);

    HorizontalArc b = a;
    b.EndPointRadius = 42;
    b.PICoordinate = coord_CorrectedGrid(1, 2, 3);
    EXPECT_TRUE(a == b);
    b.CentrePointCoordinate.Elev = 1;
    EXPECT_FALSE(a == b);
    HorizontalStraight s;
    EXPECT_FALSE(a == static_cast<const RoadElement&>(s));

    EXPECT_EQ(HorizontalArc::Cast(static_cast<RoadElement*>(&a)), &a);
    EXPECT_EQ(HorizontalArc::Cast(static_cast<RoadElement*>(&s)), nullptr);
    EXPECT_EQ(HorizontalArc::Cast(static_cast<RoadElement*>(nullptr)), nullptr);
    std::unique_ptr<RoadElement> clone(b.Clone());
    EXPECT_TRUE(*clone == b);
}

TEST(ArcElement, XmlRoundTrip) {
    HorizontalArc a;
    a.KeyinMethod = 8;
    a.PointName = "E1";
    a.CentreCoordinatesFromPoint = "C1";
    a.CentrePointCoordinate = coord_CorrectedGrid(10, 20, N);
    a.LargeArc = true;
    a.TangentialToPrevious = false;
    a.StartStation = 100;
    a.StartAzimuth = CONSTANT_TwoPi - 1e-13;
    a.StartCoordinate = coord_CorrectedGrid(1, 2, N);
    a.Direction = false;
    a.Length = 50;
    a.Radius = 25;
    a.Angle = CONSTANT_TwoPi;
    a.EndStation = 150;
    a.EndAzimuth = CONSTANT_PiOverTwo;
    a.EndCoordinate = coord_CorrectedGrid(3, 4, N);
    const std::string text = road_test::Written(a);
    EXPECT_EQ(text,
              "<Arc>\r\n"
              "    <TangentialToPrevious>false</TangentialToPrevious>\r\n"
              "    <KeyinMethod>ExistingPointAndCentrePoint</KeyinMethod>\r\n"
              "    <EndCoordinatesFromPoint>E1</EndCoordinatesFromPoint>\r\n"
              "    <CentreCoordinatesFromPoint>C1</CentreCoordinatesFromPoint>\r\n"
              "\r\n"
              "    <CentrePointCoordinate>\r\n"
              "        <North>10</North>\r\n"
              "        <East>20</East>\r\n"
              "    </CentrePointCoordinate>\r\n"
              "    <LargeArc>true</LargeArc>\r\n"
              "    <StartStation>100</StartStation>\r\n"
              "    <StartAzimuth>0</StartAzimuth>\r\n"
              "\r\n"
              "    <StartCoordinate>\r\n"
              "        <North>1</North>\r\n"
              "        <East>2</East>\r\n"
              "    </StartCoordinate>\r\n"
              "    <Direction>Left</Direction>\r\n"
              "    <Length>50</Length>\r\n"
              "    <Radius>25</Radius>\r\n"
              "    <Angle>360</Angle>\r\n"
              "    <EndStation>150</EndStation>\r\n"
              "    <EndAzimuth>90</EndAzimuth>\r\n"
              "\r\n"
              "    <EndCoordinate>\r\n"
              "        <North>3</North>\r\n"
              "        <East>4</East>\r\n"
              "    </EndCoordinate>\r\n"
              "</Arc>\r\n");
    TempFolder tmp;
    HorizontalArc read;
    read.ReadXml(road_test::Scan(tmp, text).get());
    EXPECT_EQ(read.KeyinMethod, 8);
    EXPECT_EQ(read.StartAzimuth, 0);
    EXPECT_NEAR(read.Angle, CONSTANT_TwoPi, 1e-12);
    EXPECT_TRUE(read.LargeArc);
    EXPECT_FALSE(read.Direction);
    EXPECT_EQ(read.CentreCoordinatesFromPoint, Str("C1"));
    EXPECT_EQ(read.CentrePointCoordinate, coord_CorrectedGrid(10, 20, N));
    read.TangentialToPrevious = false;  // not read by the arc
    EXPECT_EQ(road_test::Written(read), text);

    // Degrees without the full-turn rule for the angle, with it for azimuths; missing
    // and empty children read null, unknown names leave the defaults.
    auto node = road_test::Scan(tmp,
                                "<Arc><Angle>90</Angle><StartAzimuth>360</StartAzimuth><Radius></Radius>"
                                "<KeyinMethod>Other</KeyinMethod><Direction>Up</Direction></Arc>");
    HorizontalArc partial;
    partial.ReadXml(node.get());
    EXPECT_DOUBLE_EQ(partial.Angle, CONSTANT_PiOverTwo);
    EXPECT_EQ(partial.StartAzimuth, 0);
    EXPECT_EQ(partial.Radius, N);
    EXPECT_EQ(partial.Length, N);
    EXPECT_EQ(partial.KeyinMethod, -1);
    EXPECT_TRUE(partial.Direction);
    EXPECT_FALSE(partial.LargeArc);
}

}  // namespace
