#include "roads/roadquorvel_horizontal.h"

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/xml/xmlindex.h"
#include "foundation/xml/xmlout.h"
#include "support/recording_environment.h"
#include "support/temp_folder.h"

namespace {

constexpr double N = MATHS_Null;
using Reports = std::vector<std::string>;

std::string Text(const xmlout_element* e) {
    std::string buffer;
    xmlout_WriteElement(e, nullptr, true, 0, buffer);
    return buffer;
}

std::string Written(const RoadElement& element) {
    std::unique_ptr<xmlout_element> tree(element.WriteXml());
    return tree ? Text(tree.get()) : std::string("(null)");
}

// Parses one element as the road file reader does.
std::unique_ptr<xml_Node> Scan(const TempFolder& tmp, const std::string& element) {
    const std::string path = tmp.Write("element.xml", "<?xml version=\"1.0\"?>\r\n" + element);
    return std::unique_ptr<xml_Node>(xml_ScanFile(Str(path.c_str()), true));
}

HorizontalStraight Straight() {
    HorizontalStraight s;
    s.KeyinMethod = 0;
    s.StartStation = 100;
    s.StartAzimuth = 0.5;
    s.StartCoordinate = coord_CorrectedGrid(1000, 2000, 12.5);
    s.Length = 150;
    s.EndStation = 250;
    s.EndAzimuth = 0.5;
    s.EndCoordinate = coord_CorrectedGrid(1131.63738428355, 2071.91383079064, 12.5);
    return s;
}

TEST(HorizontalStraight, WritesItsElementInOrder) {
    HorizontalStraight s = Straight();
    EXPECT_EQ(Written(s),
              "<Straight>\r\n"
              "    <KeyinMethod>AzimuthAndLength</KeyinMethod>\r\n"
              "    <StartStation>100</StartStation>\r\n"
              "    <StartAzimuth>28.647889756541</StartAzimuth>\r\n"
              "\r\n"
              "    <StartCoordinate>\r\n"
              "        <North>1000</North>\r\n"
              "        <East>2000</East>\r\n"
              "    </StartCoordinate>\r\n"
              "    <Length>150</Length>\r\n"
              "    <EndStation>250</EndStation>\r\n"
              "    <EndAzimuth>28.647889756541</EndAzimuth>\r\n"
              "\r\n"
              "    <EndCoordinate>\r\n"
              "        <North>1131.6373842836</North>\r\n"
              "        <East>2071.9138307906</East>\r\n"
              "    </EndCoordinate>\r\n"
              "</Straight>\r\n");

    // Not tangential, end from a job point, azimuths a hair short of a full turn, nulls.
    s.TangentialToPrevious = false;
    s.KeyinMethod = 3;
    s.PointName = "P7";
    s.StartAzimuth = s.EndAzimuth = CONSTANT_TwoPi - 1e-13;
    s.Length = N;
    s.EndCoordinate = coord_CorrectedGrid();
    EXPECT_EQ(Written(s),
              "<Straight>\r\n"
              "    <TangentialToPrevious>false</TangentialToPrevious>\r\n"
              "    <KeyinMethod>ExistingPoint</KeyinMethod>\r\n"
              "    <StartStation>100</StartStation>\r\n"
              "    <StartAzimuth>0</StartAzimuth>\r\n"
              "\r\n"
              "    <StartCoordinate>\r\n"
              "        <North>1000</North>\r\n"
              "        <East>2000</East>\r\n"
              "    </StartCoordinate>\r\n"
              "    <Length/>\r\n"
              "    <EndStation>250</EndStation>\r\n"
              "    <EndAzimuth>0</EndAzimuth>\r\n"
              "    <EndCoordinatesFromPoint>P7</EndCoordinatesFromPoint>\r\n"
              "\r\n"
              "    <EndCoordinate>\r\n"
              "        <North/>\r\n"
              "        <East/>\r\n"
              "    </EndCoordinate>\r\n"
              "</Straight>\r\n");

    // Only method 3 names its point; an unknown method is written empty.
    for (int32_t method : {0, 1, 2, 7}) {
        s.KeyinMethod = method;
        const std::string text = Written(s);
        EXPECT_EQ(text.find("EndCoordinatesFromPoint"), std::string::npos) << method;
        const char* names[] = {"AzimuthAndLength", "AzimuthAndEndStation", "UserDefinedCoordinates"};
        if (method < 3)
            EXPECT_NE(text.find(std::string("<KeyinMethod>") + names[method] + "</KeyinMethod>"), std::string::npos);
        else
            EXPECT_NE(text.find("<KeyinMethod/>"), std::string::npos);
    }
}

TEST(HorizontalStraight, ReadsWhatItWritesButNotTheEndAzimuthOrTangency) {
    TempFolder tmp;
    HorizontalStraight written = Straight();
    written.TangentialToPrevious = false;
    written.KeyinMethod = 3;
    written.PointName = "P7";
    auto node = Scan(tmp, Written(written));
    ASSERT_NE(node, nullptr);
    HorizontalStraight read;
    read.ReadXml(node.get());
    EXPECT_TRUE(read.TangentialToPrevious);  // recomputed by the loader, never read
    EXPECT_EQ(read.KeyinMethod, 3);
    EXPECT_EQ(read.PointName, "P7");
    EXPECT_EQ(read.StartStation, 100);
    EXPECT_EQ(read.EndStation, 250);
    EXPECT_EQ(read.Length, 150);
    EXPECT_NEAR(read.StartAzimuth, 0.5, 1e-14);
    EXPECT_EQ(read.EndAzimuth, read.StartAzimuth);
    EXPECT_EQ(read.StartCoordinate.North, 1000);
    EXPECT_EQ(read.StartCoordinate.East, 2000);
    EXPECT_NEAR(read.EndCoordinate.North, 1131.63738428355, 1e-9);
    EXPECT_NEAR(read.EndCoordinate.East, 2071.91383079064, 1e-9);
    EXPECT_TRUE(read.StartCoordinate.IsVerticalNull());  // elevations are not carried

    node = Scan(tmp,
                "<Straight><KeyinMethod>Sideways</KeyinMethod><StartAzimuth>360</StartAzimuth>"
                "<EndAzimuth>90</EndAzimuth><StartCoordinate><North>5</North></StartCoordinate></Straight>");
    ASSERT_NE(node, nullptr);
    HorizontalStraight other;
    other.StartCoordinate.Elev = 3.5;
    other.ReadXml(node.get());
    EXPECT_EQ(other.KeyinMethod, -1);
    EXPECT_EQ(other.StartAzimuth, 0.0);
    EXPECT_EQ(other.EndAzimuth, 0.0);
    EXPECT_EQ(other.StartCoordinate.North, 5);
    EXPECT_EQ(other.StartCoordinate.East, N);
    EXPECT_EQ(other.StartCoordinate.Elev, 3.5);
    EXPECT_EQ(other.Length, N);
    EXPECT_EQ(other.EndCoordinate.North, N);
    EXPECT_TRUE(other.PointName.IsEmpty());
}

TEST(HorizontalStartPoint, WritesByKindAndMethod) {
    RecordingEnvironment env;
    HorizontalStartPoint start(0);
    start.KeyinMethod = 0;
    start.PointName = "P1";  // not written for keyed coordinates
    start.StartStation = 0.5;
    start.StartCoordinate = coord_CorrectedGrid(1000.25, 2000, 7);
    start.PICoordinate = coord_CorrectedGrid(1, 2, 3);
    EXPECT_EQ(Written(start),
              "<StartPoint>\r\n"
              "    <KeyinMethod>UserDefinedCoordinates</KeyinMethod>\r\n"
              "    <StartStation>0.5</StartStation>\r\n"
              "\r\n"
              "    <StartCoordinate>\r\n"
              "        <North>1000.25</North>\r\n"
              "        <East>2000</East>\r\n"
              "    </StartCoordinate>\r\n"
              "</StartPoint>\r\n");
    start.KeyinMethod = 1;
    EXPECT_EQ(Written(start),
              "<StartPoint>\r\n"
              "    <KeyinMethod>ExistingPoint</KeyinMethod>\r\n"
              "    <StartStation>0.5</StartStation>\r\n"
              "    <StartCoordinatesFromPoint>P1</StartCoordinatesFromPoint>\r\n"
              "\r\n"
              "    <StartCoordinate>\r\n"
              "        <North>1000.25</North>\r\n"
              "        <East>2000</East>\r\n"
              "    </StartCoordinate>\r\n"
              "</StartPoint>\r\n");
    start.SetKind(1);
    EXPECT_EQ(Written(start),
              "<StartPI>\r\n"
              "    <KeyinMethod>ExistingPoint</KeyinMethod>\r\n"
              "    <StartStation>0.5</StartStation>\r\n"
              "    <PICoordinatesFromPoint>P1</PICoordinatesFromPoint>\r\n"
              "\r\n"
              "    <PICoordinate>\r\n"
              "        <North>1</North>\r\n"
              "        <East>2</East>\r\n"
              "    </PICoordinate>\r\n"
              "</StartPI>\r\n");
    start.KeyinMethod = -1;
    EXPECT_NE(Written(start).find("<KeyinMethod/>"), std::string::npos);
    EXPECT_TRUE(env.assertions.empty());
    start.SetKind(2);
    EXPECT_EQ(Written(start), "(null)");
    EXPECT_EQ(env.Expressions(), Reports({"0"}));
}

TEST(HorizontalStartPoint, ReadsByKind) {
    TempFolder tmp;
    RecordingEnvironment env;
    auto node = Scan(tmp,
                     "<StartPoint><KeyinMethod>ExistingPoint</KeyinMethod><StartStation>12.5</StartStation>"
                     "<StartCoordinatesFromPoint>P9</StartCoordinatesFromPoint>"
                     "<StartCoordinate><North>1000</North><East>2000</East></StartCoordinate></StartPoint>");
    ASSERT_NE(node, nullptr);
    HorizontalStartPoint start(0);
    start.ReadXml(node.get());
    EXPECT_EQ(start.KeyinMethod, 1);
    EXPECT_EQ(start.PointName, "P9");
    EXPECT_EQ(start.StartStation, 12.5);
    EXPECT_EQ(start.EndStation, 12.5);
    for (const coord_CorrectedGrid* p : {&start.StartCoordinate, &start.EndCoordinate, &start.PICoordinate}) {
        EXPECT_EQ(p->North, 1000);
        EXPECT_EQ(p->East, 2000);
        EXPECT_EQ(p->Elev, N);
    }

    node = Scan(tmp,
                "<StartPI><KeyinMethod>UserDefinedCoordinates</KeyinMethod><StartStation>3</StartStation>"
                "<PICoordinatesFromPoint>Q</PICoordinatesFromPoint>"
                "<PICoordinate><North>10</North><East>20</East></PICoordinate>"
                "<StartCoordinate><North>99</North><East>99</East></StartCoordinate></StartPI>");
    ASSERT_NE(node, nullptr);
    HorizontalStartPoint pi(1);
    pi.ReadXml(node.get());
    EXPECT_EQ(pi.KeyinMethod, 0);
    EXPECT_EQ(pi.PointName, "Q");
    for (const coord_CorrectedGrid* p : {&pi.StartCoordinate, &pi.EndCoordinate, &pi.PICoordinate}) {
        EXPECT_EQ(p->North, 10);
        EXPECT_EQ(p->East, 20);
    }

    node = Scan(tmp, "<StartPoint><KeyinMethod>Other</KeyinMethod></StartPoint>");
    HorizontalStartPoint bare(0);
    bare.ReadXml(node.get());
    EXPECT_EQ(bare.KeyinMethod, -1);
    EXPECT_TRUE(bare.StartCoordinate.IsHorizontalNull());
    EXPECT_TRUE(bare.EndCoordinate.IsHorizontalNull());
    EXPECT_TRUE(bare.PICoordinate.IsHorizontalNull());
    EXPECT_TRUE(env.assertions.empty());

    HorizontalStartPoint odd(5);
    odd.ReadXml(node.get());
    EXPECT_EQ(env.Expressions(), Reports({"0"}));
}

TEST(HorizontalStartPoint, HoldsOnlyItsOwnStation) {
    HorizontalStartPoint start(0);
    start.StartStation = 100;
    start.StartAzimuth = 1.2;
    start.StartCoordinate = coord_CorrectedGrid(5, 6, 7);
    EXPECT_FALSE(start.ContainsStation(100));  // Length null
    start.Length = 0;
    struct Case { double station; bool held; };
    for (const Case& c : {Case{100, true}, Case{100.0004, true}, Case{100.0006, false}, Case{99.9999, false},
                          Case{N, false}})
        EXPECT_EQ(start.ContainsStation(c.station), c.held) << c.station;

    const AlignmentPoint p = start.PointAtStation(250);
    EXPECT_TRUE(p.Right);
    EXPECT_EQ(p.Azimuth, 0.0);
    EXPECT_EQ(p.Station, 100);
    EXPECT_TRUE(p.Point == start.StartCoordinate);

    start.ComputeEndCoordinate();
    EXPECT_TRUE(start.EndCoordinate == start.StartCoordinate);
    EXPECT_EQ(start.EndAzimuth, 1.2);
    EXPECT_TRUE(maths_IsNull(start.StationOffsetOfPoint(coord_CorrectedGrid(1, 2, 3)).Station));
}

TEST(HorizontalBase, KeyingAnswersAndCasts) {
    struct Case { int32_t method; bool length, endStation, endPoint, existing, keyed; };
    const Case straight[] = {
        {0, true, false, false, false, false}, {1, false, true, false, false, false},
        {2, false, false, true, false, true},  {3, false, false, true, true, false},
        {-1, false, false, false, false, false},
    };
    for (const Case& c : straight) {
        HorizontalStraight s;
        s.KeyinMethod = c.method;
        EXPECT_EQ(s.IsLengthKeyed(), c.length) << c.method;
        EXPECT_EQ(s.IsEndStationKeyed(), c.endStation) << c.method;
        EXPECT_EQ(s.IsEndPointKeyed(), c.endPoint) << c.method;
        EXPECT_EQ(s.IsEndFromExistingPoint(), c.existing) << c.method;
        EXPECT_EQ(s.IsEndFromKeyedCoordinates(), c.keyed) << c.method;
        EXPECT_FALSE(s.IsSpiral() || s.HasRadius() || s.IsStartAzimuthFromPrevious());
        EXPECT_EQ(s.DirectionPtr(), nullptr);
        EXPECT_EQ(s.EndRadiusPtr(), nullptr);
        EXPECT_EQ(s.StartRadiusPtr(), nullptr);
    }
    HorizontalStartPoint start(0);
    EXPECT_TRUE(start.IsEndPointKeyed());
    EXPECT_FALSE(start.IsLengthKeyed() || start.IsEndStationKeyed() || start.IsSpiral() || start.HasRadius());
    start.KeyinMethod = 0;
    EXPECT_TRUE(start.IsEndFromKeyedCoordinates());
    EXPECT_FALSE(start.IsEndFromExistingPoint());
    start.KeyinMethod = 1;
    EXPECT_TRUE(start.IsEndFromExistingPoint());
    EXPECT_FALSE(start.IsEndFromKeyedCoordinates());

    HorizontalStraight s;
    ChainageElement key;
    EXPECT_EQ(s.GetType(), 2);
    EXPECT_EQ(start.GetType(), 3);
    EXPECT_EQ(HorizontalBase::Cast(&s), &s);
    EXPECT_EQ(HorizontalBase::Cast(&start), &start);
    EXPECT_EQ(HorizontalBase::Cast(&key), nullptr);
    EXPECT_EQ(HorizontalBase::Cast(static_cast<RoadElement*>(nullptr)), nullptr);
    EXPECT_EQ(HorizontalStraight::Cast(&start), nullptr);
    EXPECT_EQ(HorizontalStartPoint::Cast(&s), nullptr);
    EXPECT_EQ(HorizontalStartPoint::Cast(&start), &start);
    EXPECT_EQ(HorizontalStraight::Cast(static_cast<const RoadElement*>(&s)), &s);
}

TEST(HorizontalBase, ChainingAndTangency) {
    RecordingEnvironment env;
    HorizontalStraight first = Straight();
    HorizontalStraight second;
    second.TakeStartFromPrevious(&first);
    EXPECT_EQ(second.StartStation, 250);
    EXPECT_TRUE(second.StartCoordinate == first.EndCoordinate);
    EXPECT_EQ(second.StartAzimuth, N);  // no tangent between two straights
    EXPECT_FALSE(second.TangentialToPrevious);

    HorizontalStartPoint start(0);
    start.EndAzimuth = 0.7;
    start.EndStation = 10;
    HorizontalStraight afterStart;
    afterStart.TakeStartFromPrevious(&start);
    EXPECT_EQ(afterStart.StartAzimuth, 0.7);
    EXPECT_TRUE(afterStart.TangentialToPrevious);

    HorizontalStraight copy;
    copy.CopyStartFrom(&second);
    EXPECT_EQ(copy.StartStation, 250);
    EXPECT_FALSE(copy.TangentialToPrevious);
    EXPECT_TRUE(env.assertions.empty());
    copy.TakeStartFromPrevious(nullptr);
    copy.CopyStartFrom(nullptr);
    EXPECT_EQ(env.Expressions(), Reports({"element != NULL", "element != NULL"}));
    EXPECT_EQ(copy.StartStation, 250);

    struct Case { double previous, start; bool tangential; };
    const Case cases[] = {
        {1.0, 1.0000019, true},  {1.0, 1.0000021, false}, {1.0000019, 1.0, true},
        {CONSTANT_TwoPi - 1e-6, 5e-7, true},  // across north
        {1.0, N, false},         {N, 1.0, false},
    };
    for (const Case& c : cases) {
        HorizontalStraight s;
        s.StartAzimuth = c.start;
        s.TangentialToPrevious = !c.tangential;
        s.SetTangency(c.previous);
        EXPECT_EQ(s.TangentialToPrevious, c.tangential) << c.previous << " " << c.start;
    }
}

TEST(HorizontalBase, ExtentsAnglesAndDistances) {
    RecordingEnvironment env;
    HorizontalStraight s = Straight();
    coord_CorrectedGrid northWest, southEast;  // null corners take the first values
    s.GrowExtents(&northWest, &southEast);
    EXPECT_EQ(northWest.North, s.EndCoordinate.North);
    EXPECT_EQ(northWest.East, 2000);
    EXPECT_EQ(southEast.North, 1000);
    EXPECT_EQ(southEast.East, s.EndCoordinate.East);
    HorizontalStraight later;
    later.StartCoordinate = coord_CorrectedGrid(900, N, 0);
    later.EndCoordinate = coord_CorrectedGrid(1500, 1900, 0);
    later.GrowExtents(&northWest, &southEast);
    EXPECT_EQ(northWest.North, 1500);
    EXPECT_EQ(northWest.East, 1900);
    EXPECT_EQ(southEast.North, 900);
    EXPECT_EQ(southEast.East, s.EndCoordinate.East);
    EXPECT_TRUE(env.assertions.empty());
    HorizontalStraight empty;
    empty.GrowExtents(&northWest, &southEast);  // reported; a null point moves nothing
    EXPECT_EQ(env.Expressions(), Reports({"!EndCoordinate.NullHorizontal()", "!StartCoordinate.NullHorizontal()"}));
    EXPECT_EQ(northWest.North, 1500);
    EXPECT_EQ(southEast.East, s.EndCoordinate.East);

    struct Angle { double a, b, between; };
    for (const Angle& c : {Angle{0.5, 0.2, 0.3}, Angle{0.2, 0.5, 0.3}, Angle{0.1, CONSTANT_TwoPi - 0.1, 0.2},
                           Angle{0, CONSTANT_Pi, CONSTANT_Pi}, Angle{N, 1, N}})
        EXPECT_NEAR(HorizontalBase::AngleBetween(c.a, c.b), c.between, 1e-15) << c.a << " " << c.b;

    struct Inverse { coord_CorrectedGrid to; double squared, azimuth; };
    const coord_CorrectedGrid from(100, 200, 0);
    const Inverse inverses[] = {
        {coord_CorrectedGrid(103, 204, 0), 25, std::atan2(4.0, 3.0)},
        {coord_CorrectedGrid(97, 196, 0), 25, CONSTANT_Pi + std::atan2(4.0, 3.0)},
        {coord_CorrectedGrid(100, 190, 0), 100, 1.5 * CONSTANT_Pi},
        {coord_CorrectedGrid(100, 200, 9), 0, CONSTANT_PiOverTwo},
        {coord_CorrectedGrid(N, 200, 0), N, N},
    };
    for (const Inverse& c : inverses) {
        double squared = 0, azimuth = 0;
        HorizontalBase::SquaredDistanceAndAzimuth(from, c.to, &squared, &azimuth);
        EXPECT_NEAR(squared, c.squared, 1e-9);
        EXPECT_NEAR(azimuth, c.azimuth, 1e-15);
    }
}

TEST(HorizontalBase, EqualityAssignmentAndClone) {
    const HorizontalStraight base = Straight();
    const std::function<void(HorizontalStraight&)> changes[] = {
        [](HorizontalStraight& s) { s.Length = 150.0000001; },
        [](HorizontalStraight& s) { s.EndAzimuth = 0.6; },
        [](HorizontalStraight& s) { s.StartAzimuth = 0.6; },
        [](HorizontalStraight& s) { s.KeyinMethod = 1; },
        [](HorizontalStraight& s) { s.EndStation = 251; },
        [](HorizontalStraight& s) { s.StartStation = 101; },
        [](HorizontalStraight& s) { s.PointName = "X"; },
        [](HorizontalStraight& s) { s.EndCoordinate.Elev = 0; },
        [](HorizontalStraight& s) { s.StartCoordinate.East = 0; },
        [](HorizontalStraight& s) { s.TangentialToPrevious = false; },
    };
    for (size_t i = 0; i < std::size(changes); ++i) {
        HorizontalStraight s = base;
        EXPECT_TRUE(s == base);
        changes[i](s);
        EXPECT_FALSE(s == base) << i;
    }
    HorizontalStraight picChanged = base;
    picChanged.PICoordinate = coord_CorrectedGrid(1, 1, 1);  // not part of a straight
    EXPECT_TRUE(picChanged == base);

    HorizontalStraight assigned;
    assigned = base;
    EXPECT_TRUE(assigned == base);
    std::unique_ptr<RoadElement> clone(base.Clone());
    EXPECT_TRUE(*clone == base);
    EXPECT_EQ(clone->GetType(), 2);

    HorizontalStartPoint start(0), pi(1);
    start.StartStation = pi.StartStation = 5;
    EXPECT_TRUE(start == pi);  // the kind is not compared
    EXPECT_FALSE(start == static_cast<const RoadElement&>(base));
    start.KeyinMethod = 1;
    start.PointName = "P";
    pi = start;
    EXPECT_EQ(pi.GetKind(), 0);
    EXPECT_TRUE(pi == start);
    std::unique_ptr<RoadElement> startClone(start.Clone());
    EXPECT_TRUE(*startClone == start);
    EXPECT_EQ(HorizontalStartPoint::Cast(startClone.get())->GetKind(), 0);
    // The base assignment copies the common part only: the start point keeps its kind.
    HorizontalStartPoint other(1);
    static_cast<HorizontalBase&>(other) = static_cast<const HorizontalBase&>(start);
    EXPECT_EQ(other.GetKind(), 1);
    EXPECT_EQ(other.PointName, "P");
}

TEST(HorizontalBase, AzimuthsAndAnglesFromDegrees) {
    struct Case { double degrees, radians; };
    for (const Case& c : {Case{0, 0}, Case{90, CONSTANT_PiOverTwo}, Case{180, CONSTANT_Pi}, Case{360, 0},
                          Case{360 - 2e-11, 0}, Case{360 - 1e-9, CONSTANT_TwoPi - 1e-9 * CONSTANT_Pi / 180},
                          Case{-90, -CONSTANT_PiOverTwo}, Case{N, N}})
        EXPECT_NEAR(road_AzimuthFromDegrees(c.degrees), c.radians, 1e-15) << c.degrees;
    // Plain angles keep the full turn.
    for (const Case& c : {Case{90, CONSTANT_PiOverTwo}, Case{360, CONSTANT_TwoPi}, Case{-450, -2.5 * CONSTANT_Pi},
                          Case{N, N}})
        EXPECT_NEAR(road_RadiansFromDegrees(c.degrees), c.radians, 1e-15) << c.degrees;
}

}  // namespace
