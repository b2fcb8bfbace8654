// The entry and exit spirals: end points and points along against the clothoid
// integrated by quadrature, the twins built from each other, and their road-file form.
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
using Reports = std::vector<std::string>;

// A spiral of length 60 from (N 0, E 0) heading north.
template <class Spiral>
Spiral Make(double startRadius, double endRadius, bool right) {
    Spiral s;
    s.KeyinMethod = 0;
    s.StartStation = 1000;
    s.StartAzimuth = 0;
    s.StartCoordinate = coord_CorrectedGrid(0, 0, N);
    s.Length = 60;
    s.EndStation = 1060;
    s.StartRadius = startRadius;
    s.EndRadius = endRadius;
    s.Direction = right;
    return s;
}

// Quadrature of the tangent's turn theta(u) (mpmath, 30 digits): north = integral of
// cos theta, east = integral of sin theta, at 20, 45 and 60 along the spiral, turning
// right; the azimuth is theta.
struct Along { double s, north, east, azimuth; };
struct Reference { const char* name; bool exit; double startRadius, endRadius; Along at[3]; };
const Reference kReferences[] = {
    {"entry from a straight to R 300", false, N, 300,
     {{20, 19.999753087831006, 0.074073420866110237, 0.011111111111111111},
      {45, 44.985763804283446, 0.84355932792998748, 0.05625},
      {60, 59.940027771368397, 1.9985718830375267, 0.1}}},
    {"exit from R 300 to a straight", true, 300, N,
     {{20, 19.988643793597581, 0.59243139725815821, 0.055555555555555556},
      {45, 44.911977595074063, 2.5290288114004087, 0.09375},
      {60, 59.840101558890016, 3.9954304180915850, 0.1}}},
    {"exit from R 300 to R 500", true, 300, 500,
     {{20, 19.986629781141674, 0.63682750392346115, 0.062222222222222222},
      {45, 44.867052260865462, 3.0331798340725789, 0.1275},
      {60, 59.710788277786418, 5.1881019343176678, 0.16}}},
};

HorizontalSpiral* MakeSpiral(const Reference& r, bool right) {
    if (r.exit) return new HorizontalExitSpiral(Make<HorizontalExitSpiral>(r.startRadius, r.endRadius, right));
    return new HorizontalEntrySpiral(Make<HorizontalEntrySpiral>(r.startRadius, r.endRadius, right));
}

double Mirrored(double azimuth, bool right) { return right || azimuth == 0 ? azimuth : CONSTANT_TwoPi - azimuth; }

using SpiralGeometry = RoadTransformTest;

TEST_F(SpiralGeometry, EndAgainstQuadratureAtBothResolutions) {
    RecordingEnvironment env;
    for (const Reference& r : kReferences)
        for (bool right : {true, false})
            for (double resolution : {1e-07, 1e-04}) {
                SCOPED_TRACE(testing::Message() << r.name << (right ? " right " : " left ") << resolution);
                std::unique_ptr<HorizontalSpiral> s(MakeSpiral(r, right));
                s->ComputeEndCoordinate(resolution);
                const Along& end = r.at[2];
                const double side = right ? 1 : -1;
                EXPECT_NEAR(s->EndCoordinate.North, end.north, 1e-6);
                EXPECT_NEAR(s->EndCoordinate.East, side * end.east, 1e-6);
                EXPECT_NEAR(s->EndAzimuth, Mirrored(end.azimuth, right), 1e-9);
            }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(SpiralGeometry, PointsAlongAgainstQuadrature) {
    for (const Reference& r : kReferences)
        for (bool right : {true, false}) {
            SCOPED_TRACE(testing::Message() << r.name << (right ? " right" : " left"));
            std::unique_ptr<HorizontalSpiral> s(MakeSpiral(r, right));
            ASSERT_TRUE(s->Compute());
            const double side = right ? 1 : -1;
            for (const Along& a : r.at) {
                SCOPED_TRACE(a.s);
                const AlignmentPoint p = s->PointAtStation(1000 + a.s);
                EXPECT_EQ(p.Right, right);
                EXPECT_EQ(p.Station, 1000 + a.s);
                EXPECT_NEAR(p.Point.North, a.north, 1e-6);
                EXPECT_NEAR(p.Point.East, side * a.east, 1e-6);
                EXPECT_NEAR(p.Azimuth, Mirrored(a.azimuth, right), 1e-8);
                // Offsets either side project back onto the station.
                for (double offset : {-3.0, 0.0, 2.5}) {
                    const double across = p.Azimuth + CONSTANT_PiOverTwo;
                    const coord_CorrectedGrid q(p.Point.North + offset * std::cos(across),
                                                p.Point.East + offset * std::sin(across), N);
                    const coord_StationOffset so = s->StationOffsetOfPoint(q);
                    EXPECT_NEAR(so.Station, 1000 + a.s, 1e-6);
                    EXPECT_NEAR(so.Offset, offset, 1e-6);
                    EXPECT_EQ(so.Elevation, N);
                }
            }
            // An exit spiral's start, walked back from its end, is its own start.
            const AlignmentPoint start = s->PointAtStation(1000);
            EXPECT_NEAR(start.Point.North, 0, 1e-6);
            EXPECT_NEAR(start.Point.East, 0, 1e-6);
            EXPECT_NEAR(std::remainder(start.Azimuth, CONSTANT_TwoPi), 0, 1e-8);
            const AlignmentPoint end = s->PointAtStation(1060);
            EXPECT_NEAR(end.Point.North, s->EndCoordinate.North, 1e-6);
            EXPECT_NEAR(end.Point.East, s->EndCoordinate.East, 1e-6);
        }
}

TEST_F(SpiralGeometry, EndStationKeyedAndMissingValues) {
    HorizontalEntrySpiral s = Make<HorizontalEntrySpiral>(N, 300, true);
    s.KeyinMethod = 1;
    s.Length = N;
    s.EndStation = 1060;
    ASSERT_TRUE(s.Compute());
    EXPECT_EQ(s.Length, 60);
    EXPECT_NEAR(s.EndCoordinate.North, 59.940027771368397, 1e-6);

    RecordingEnvironment env;
    HorizontalEntrySpiral entry;
    entry.ComputeEndCoordinate();
    // The nulls go on to the clothoid routines, which report them too.
    EXPECT_EQ(env.Expressions(), Reports({"!maths_IsNull ( Length )", "!maths_IsNull ( StartAzimuth )",
                                          "!maths_IsNull ( EndRadius )", "!maths_IsNull (length)",
                                          "!maths_IsNull (smallRadius)", "!maths_IsNull (spiralDist)"}));
    EXPECT_TRUE(entry.EndCoordinate.IsHorizontalNull());
    env.Clear();
    HorizontalExitSpiral exit;
    exit.ComputeEndCoordinate(1e-4);
    EXPECT_EQ(env.Expressions(), Reports({"!maths_IsNull ( Length )", "!maths_IsNull ( StartAzimuth )",
                                          "!maths_IsNull ( StartRadius )", "!maths_IsNull (length)",
                                          "!maths_IsNull (smallRadius)", "!maths_IsNull (spiralDist)"}));
}

TEST_F(SpiralGeometry, ExitSpiralRecomputedBetweenTwoArcs) {
    // The import first ends an exit spiral on a straight, then on the next arc's radius.
    HorizontalExitSpiral s = Make<HorizontalExitSpiral>(300, N, true);
    s.ComputeEndCoordinate(1e-4);
    EXPECT_NEAR(s.EndCoordinate.East, 3.9954304180915850, 1e-6);
    s.EndRadius = 500;
    s.ComputeEndCoordinate(1e-4);
    EXPECT_NEAR(s.EndCoordinate.North, 59.710788277786418, 1e-6);
    EXPECT_NEAR(s.EndCoordinate.East, 5.1881019343176678, 1e-6);
    EXPECT_NEAR(s.EndAzimuth, 0.16, 1e-9);
}

TEST_F(SpiralGeometry, TwinsBuiltFromEachOther) {
    RecordingEnvironment env;
    const HorizontalEntrySpiral entry = Make<HorizontalEntrySpiral>(N, 300, true);
    const HorizontalExitSpiral exit(entry);
    EXPECT_EQ(exit.GetType(), 4);
    EXPECT_EQ(exit.StartRadius, 300);
    EXPECT_EQ(exit.EndRadius, N);
    EXPECT_EQ(exit.StartAzimuth, 0);
    EXPECT_EQ(exit.StartStation, 1000);
    EXPECT_EQ(exit.Length, 60);
    EXPECT_NEAR(exit.EndCoordinate.East, 3.9954304180915850, 1e-6);
    EXPECT_TRUE(env.assertions.empty());

    const HorizontalEntrySpiral back(exit);
    EXPECT_EQ(back.GetType(), 5);
    EXPECT_EQ(back.StartRadius, N);
    EXPECT_EQ(back.EndRadius, 300);
    EXPECT_NEAR(back.EndCoordinate.East, 1.9985718830375267, 1e-6);
    EXPECT_TRUE(env.assertions.empty());

    // Radii the wrong way round for the new twin.
    const HorizontalExitSpiral opening = HorizontalExitSpiral(Make<HorizontalEntrySpiral>(300, 500, true));
    const HorizontalEntrySpiral closing = HorizontalEntrySpiral(Make<HorizontalExitSpiral>(500, 300, true));
    EXPECT_EQ(env.Expressions(), Reports({"EndRadius > StartRadius", "EndRadius < StartRadius"}));
}

TEST_F(SpiralGeometry, TakesRadiusAndTurnFromThePrevious) {
    HorizontalArc arc;
    arc.Radius = 250;
    arc.Direction = false;
    arc.EndAzimuth = 1;
    arc.EndStation = 500;
    HorizontalExitSpiral s;
    s.TakeStartFromPrevious(&arc);
    EXPECT_EQ(s.StartRadius, 250);
    EXPECT_FALSE(s.Direction);
    EXPECT_EQ(s.StartAzimuth, 1);
    EXPECT_EQ(s.StartStation, 500);
    HorizontalStraight straight;
    HorizontalEntrySpiral e;
    e.StartRadius = 7;
    e.TakeStartFromPrevious(&straight);
    EXPECT_EQ(e.StartRadius, 7);
}

TEST(SpiralElement, XmlEqualityAndCasts) {
    HorizontalEntrySpiral s;
    s.KeyinMethod = 1;
    s.StartStation = 1000;
    s.StartAzimuth = 0.5;
    s.StartCoordinate = coord_CorrectedGrid(1, 2, N);
    s.Direction = false;
    s.Length = 60;
    s.EndRadius = 300;
    s.EndStation = 1060;
    s.EndAzimuth = CONSTANT_TwoPi - 1e-14;
    s.EndCoordinate = coord_CorrectedGrid(3, 4, N);
    s.TangentialToPrevious = false;
    const std::string text = road_test::Written(s);
    EXPECT_EQ(text,
              "<EntrySpiral>\r\n"
              "    <TangentialToPrevious>false</TangentialToPrevious>\r\n"
              "    <KeyinMethod>RadiusAndEndStation</KeyinMethod>\r\n"
              "    <StartStation>1000</StartStation>\r\n"
              "    <StartAzimuth>28.647889756541</StartAzimuth>\r\n"
              "\r\n"
              "    <StartCoordinate>\r\n"
              "        <North>1</North>\r\n"
              "        <East>2</East>\r\n"
              "    </StartCoordinate>\r\n"
              "    <Direction>Left</Direction>\r\n"
              "    <Length>60</Length>\r\n"
              "    <StartRadius/>\r\n"
              "    <EndRadius>300</EndRadius>\r\n"
              "    <EndStation>1060</EndStation>\r\n"
              "    <EndAzimuth>0</EndAzimuth>\r\n"
              "\r\n"
              "    <EndCoordinate>\r\n"
              "        <North>3</North>\r\n"
              "        <East>4</East>\r\n"
              "    </EndCoordinate>\r\n"
              "</EntrySpiral>\r\n");
    TempFolder tmp;
    HorizontalEntrySpiral read;
    read.ReadXml(road_test::Scan(tmp, text).get());
    EXPECT_EQ(read.StartRadius, N);
    EXPECT_EQ(read.EndRadius, 300);
    EXPECT_EQ(read.KeyinMethod, 1);
    EXPECT_FALSE(read.Direction);
    EXPECT_EQ(read.EndAzimuth, 0);
    EXPECT_TRUE(read.TangentialToPrevious);  // not read
    read.TangentialToPrevious = false;
    EXPECT_EQ(road_test::Written(read), text);

    HorizontalExitSpiral exit;
    exit.StartRadius = 300;
    const std::string exitText = road_test::Written(exit);
    EXPECT_NE(exitText.find("<ExitSpiral>"), std::string::npos);
    EXPECT_NE(exitText.find("<EndRadius/>"), std::string::npos);
    HorizontalExitSpiral exitRead;
    exitRead.EndRadius = 5;
    exitRead.ReadXml(road_test::Scan(tmp, exitText).get());
    EXPECT_EQ(exitRead.EndRadius, N);
    EXPECT_EQ(exitRead.StartRadius, 300);

    // Point names take no part in equality; the class does.
    HorizontalEntrySpiral named = s;
    named.PointName = "P";
    EXPECT_TRUE(named == s);
    named.StartRadius = 900;
    EXPECT_FALSE(named == s);
    const HorizontalExitSpiral twin;
    const HorizontalEntrySpiral plain;
    EXPECT_FALSE(plain == static_cast<const RoadElement&>(twin));
    EXPECT_EQ(HorizontalExitSpiral::Cast(static_cast<const RoadElement*>(&twin)), &twin);
    EXPECT_EQ(HorizontalEntrySpiral::Cast(static_cast<const RoadElement*>(&twin)), nullptr);
    EXPECT_EQ(HorizontalEntrySpiral::Cast(static_cast<RoadElement*>(nullptr)), nullptr);
    std::unique_ptr<RoadElement> clone(s.Clone());
    EXPECT_EQ(clone->GetType(), 5);
    EXPECT_TRUE(*clone == s);

    HorizontalExitSpiral named2;
    named2.SetKeyinMethodFromName("RadiusAndEndStation");
    EXPECT_EQ(named2.KeyinMethod, 1);
    named2.SetKeyinMethodFromName("EndCoordinates");
    EXPECT_EQ(named2.KeyinMethod, 1);
    EXPECT_EQ(named2.KeyinMethodName(), Str("RadiusAndEndStation"));
}

}  // namespace
