// Road files written by conversions: where they go, how they are named and listed for
// the host, what they hold when read back, and what a road file that cannot be written
// does to the conversion. Geometry is checked against values computed independently
// (road_exports.h; the vertical curves below in closed form).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/kernel/maths.h"
#include "import/conversion_test.h"
#include "import/road_exports.h"
#include "import/road_file_list.h"
#include "roads/roadquorvel_arc.h"
#include "roads/roadquorvel_horizontal.h"
#include "roads/roadquorvel_placement.h"
#include "roads/roadquorvel_road.h"
#include "roads/roadquorvel_spiral.h"
#include "roads/roadquorvel_superelevation.h"
#include "roads/roadquorvel_template.h"
#include "roads/roadquorvel_vertical.h"
#include "support/recording_environment.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace road_exports;

const std::string kFixtures = std::string(QZ_FIXTURES_DIR) + "/import/";
constexpr const char* kCurrent = "product=\"Quorvel Zentrovane\" version=\"1245\"";

using import_test::TakeRoadFileNames;

std::vector<std::string> Listing(const std::string& folder) { return import_test::FolderListing(folder); }

bool WellFormed(const std::string& path) {
    return std::system(("xmllint --noout '" + path + "' 2>/dev/null").c_str()) == 0;
}

// A road header of its own ID.
std::string RoadHeader(const char* name, const char* horizontal, const char* vertical = "", int interval = 20) {
    static int ids = 0x200;
    return "<DATABASE_RoadHeaderRecord ID=\"0x" + std::to_string(++ids) + "\"><RoadName>" + name + "</RoadName><HorzAlignment>" + horizontal +
           "</HorzAlignment><VertAlignment>" + vertical + "</VertAlignment><SectionInterval>" + std::to_string(interval) +
           "</SectionInterval><Deleted>false</Deleted></DATABASE_RoadHeaderRecord>";
}

class RoadFiles : public import_test::ConversionTest {
protected:
    void SetUp() override { TakeRoadFileNames(); }
    void TearDown() override { TakeRoadFileNames(); }

    std::string Dir() const { return folder.Path() + "/"; }
    // The road file read back; fails the test when it cannot be.
    void Load(const std::string& path) {
        road = QuorvelRoad();
        ASSERT_TRUE(road.Load(Str(path.c_str()))) << path;
    }
    const HorizontalBase* H(int32_t i) const { return HorizontalBase::Cast(road.HorizontalAlignment.At(i)); }

    RecordingEnvironment env;
    QuorvelRoad road;
};

void ExpectMainAlignment(const HorizontalElementArray& a, const End (&ends)[5]) {
    ASSERT_EQ(a.Count(), 6);
    const HorizontalBase* start = HorizontalBase::Cast(a.At(0));
    ASSERT_NE(HorizontalStartPoint::Cast(a.At(0)), nullptr);
    EXPECT_NEAR(start->StartStation, 0.0, 1e-9);
    EXPECT_NEAR(start->StartCoordinate.North, 1000.0, kClosedFormTolerance);
    EXPECT_NEAR(start->StartCoordinate.East, 2000.0, kClosedFormTolerance);
    const int32_t types[] = {HorizontalStraight::TypeCode, HorizontalEntrySpiral::TypeCode, HorizontalArc::TypeCode,
                             HorizontalExitSpiral::TypeCode, HorizontalStraight::TypeCode};
    double station = 0.0;
    for (int32_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i + 1);
        const HorizontalBase* e = HorizontalBase::Cast(a.At(i + 1));
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->GetType(), types[i]);
        const double tolerance = i == 0 ? kClosedFormTolerance : kClothoidTolerance;
        EXPECT_NEAR(e->StartStation, station, 1e-9);
        EXPECT_NEAR(e->EndStation, ends[i].station, 1e-9);
        EXPECT_NEAR(e->EndCoordinate.North, ends[i].north, tolerance);
        EXPECT_NEAR(e->EndCoordinate.East, ends[i].east, tolerance);
        EXPECT_NEAR(e->EndAzimuth, ends[i].azimuth, 1e-9);
        station = ends[i].station;
    }
    const auto* entry = HorizontalEntrySpiral::Cast(a.At(2));
    const auto* arc = HorizontalArc::Cast(a.At(3));
    const auto* exit = HorizontalExitSpiral::Cast(a.At(4));
    ASSERT_TRUE(entry && arc && exit);
    EXPECT_TRUE(entry->Direction);
    EXPECT_NEAR(entry->EndRadius, 200.0, 1e-9);
    EXPECT_TRUE(arc->Direction);
    EXPECT_NEAR(arc->Radius, 200.0, 1e-9);
    EXPECT_NEAR(arc->Length, 50.0, 1e-9);
    EXPECT_EQ(arc->KeyinMethod, 0);
    EXPECT_TRUE(exit->Direction);
    EXPECT_NEAR(exit->StartRadius, 200.0, 1e-9);
}

// Recomputed vertical curves of road_files.xml: VPIs (0, 50) grade in 0.01 rad, (100, 52)
// arc R 2000, (200, 50) parabola 60, (320, 53.6) asymmetric 20 + 40, (400, 52). Grades
// between VPIs +2 %, -2 %, +3 %, -2 %; start, end, K and the sag or summit point in
// closed form (circle tangent to both grade lines; parabolas).
struct VerticalExpected {
    int32_t type;
    double vpiStation, vpiElevation;
    double startStation, startElevation, endStation, endElevation;
    double kFactor;
    double extremeStation, extremeElevation;  // sag or summit; null for none
    double gradeInPercent, gradeOutPercent;
};
constexpr double N = MATHS_Null;
const VerticalExpected kVertical[] = {
    {VerticalPoint::TypeCode, 0, 50, 0, 50, 0, 50, N, N, N, 1.0000333346667207, 2},
    {VerticalArc::TypeCode, 100, 52, 60.00799760079972, 51.200159952015994, 139.99200239920028, 51.200159952015994,
     19.99600119960014, 100, 51.600039992001999, 2, -2},
    {VerticalParabola::TypeCode, 200, 50, 170, 50.6, 230, 50.9, 12, 194, 50.36, -2, 3},
    {VerticalAsymmetricParabola::TypeCode, 320, 53.6, 300, 53, 360, 52.8, 12, 318, 53.27, 3, -2},
    {VerticalPoint::TypeCode, 400, 52, 400, 52, 400, 52, N, N, N, -2, N},
};
constexpr double kVerticalTolerance = 1e-8;

void ExpectNearOrNull(double actual, double expected, double tolerance) {
    if (maths_IsNull(expected))
        EXPECT_TRUE(maths_IsNull(actual)) << actual;
    else
        EXPECT_NEAR(actual, expected, tolerance);
}

void ExpectVertical(const VerticalElementArray& v) {
    ASSERT_EQ(v.Count(), 5);
    for (int32_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const VerticalExpected& x = kVertical[i];
        const VerticalBase* e = v.GetElement(i);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->GetType(), x.type);
        EXPECT_EQ(e->KeyinMethod, 0);
        ExpectNearOrNull(e->IntersectionPoint.Station, x.vpiStation, kVerticalTolerance);
        ExpectNearOrNull(e->IntersectionPoint.Elevation, x.vpiElevation, kVerticalTolerance);
        ExpectNearOrNull(e->StartPoint.Station, x.startStation, kVerticalTolerance);
        ExpectNearOrNull(e->StartPoint.Elevation, x.startElevation, kVerticalTolerance);
        ExpectNearOrNull(e->EndPoint.Station, x.endStation, kVerticalTolerance);
        ExpectNearOrNull(e->EndPoint.Elevation, x.endElevation, kVerticalTolerance);
        double gradeIn = N, gradeOut = N, k = N;
        StationElevation extreme;
        if (const auto* p = VerticalPoint::Cast(e)) {
            gradeIn = p->GradeIn;
            gradeOut = p->GradeOut;
        } else if (const auto* c = VerticalCurve::Cast(e)) {
            gradeIn = c->GradeIn;
            gradeOut = c->GradeOut;
            k = c->KFactor;
            extreme = c->SagSummitPoint;
        }
        ExpectNearOrNull(maths_IsNull(gradeIn) ? N : std::tan(gradeIn) * 100, x.gradeInPercent, 1e-9);
        ExpectNearOrNull(maths_IsNull(gradeOut) ? N : std::tan(gradeOut) * 100, x.gradeOutPercent, 1e-9);
        ExpectNearOrNull(k, x.kFactor, kVerticalTolerance);
        ExpectNearOrNull(extreme.Station, x.extremeStation, kVerticalTolerance);
        ExpectNearOrNull(extreme.Elevation, x.extremeElevation, kVerticalTolerance);
    }
    const auto* arc = VerticalArc::Cast(v.GetElement(1));
    ASSERT_NE(arc, nullptr);
    EXPECT_NEAR(arc->Radius, 2000.0, 1e-9);
    EXPECT_NEAR(arc->Length, 79.98400479840056, kVerticalTolerance);
    EXPECT_NEAR(arc->CentrePoint.Station, 100.0, kVerticalTolerance);
    EXPECT_NEAR(arc->CentrePoint.Elevation, -1948.399960007998, 1e-7);
    EXPECT_NEAR(VerticalParabola::Cast(v.GetElement(2))->Length, 60.0, 1e-9);
    EXPECT_NEAR(VerticalAsymmetricParabola::Cast(v.GetElement(3))->LengthIn, 20.0, 1e-9);
    EXPECT_NEAR(VerticalAsymmetricParabola::Cast(v.GetElement(3))->LengthOut, 40.0, 1e-9);
}

TEST_F(RoadFiles, StandNextToTheJobAndAreListedInDefinitionOrder) {
    ASSERT_EQ(ConvertFile(kFixtures + "road_files.xml"), 0);
    const std::vector<std::string> expected = {Dir() + "Main(S).rxl", Dir() + "road(S).rxl", Dir() + "Bare(S).rxl"};
    EXPECT_EQ(qzxmli_ExtraOutputFileCount(), 3);
    char16_t buffer[260];
    qzxmli_GetExtraOutputFileName(buffer, 0);  // not the last: the list stays
    EXPECT_EQ(std::string(Str(buffer).Data()), expected[0]);
    EXPECT_EQ(qzxmli_ExtraOutputFileCount(), 3);
    EXPECT_EQ(TakeRoadFileNames(), expected);
    EXPECT_EQ(qzxmli_ExtraOutputFileCount(), 0);
    EXPECT_EQ(Listing(folder.Path()),
              (std::vector<std::string>{"Bare(S).rxl", "Main(S).rxl", "job1.job", "road(S).rxl"}));
    const char* names[] = {"Main(S)", "road(S)", "Bare(S)"};
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i]);
        EXPECT_TRUE(WellFormed(expected[i]));
        Load(expected[i]);
        EXPECT_EQ(road.GetName(), Str(names[i]));
    }
    // The job itself is whole.
    Read();
}

// One road of a start point and one straight: the whole file. Azimuth 0.5 rad is
// 28.64788975654116 degrees; the end (1000 + 100 cos 0.5, 2000 + 100 sin 0.5) is
// (1087.7582561890373, 2047.9425538604203); numbers keep 14 significant digits.
TEST_F(RoadFiles, TheSmallestRoadFileHoldsExactlyTheseBytes) {
    ASSERT_EQ(Convert(kCurrent, RoadHeader("Main", "0x3") +
                                    "<DATABASE_HorzHeaderRecord ID=\"0x3\"><Method>DBROAD_UserDefinedCoords</Method>"
                                    "<Coordinate><North>1000</North><East>2000</East></Coordinate><Azimuth>0.5</Azimuth>"
                                    "<StartChainage>0</StartChainage></DATABASE_HorzHeaderRecord>"
                                    "<DATABASE_HorzStraightRecord><Distance>100</Distance><Azimuth>0.5</Azimuth>"
                                    "</DATABASE_HorzStraightRecord><DATABASE_EndEntityRecord rec=\"db_EndEntity\"/>"),
              0);
    const std::string file = Dir() + "Main(Gnss).rxl";
    EXPECT_EQ(TakeRoadFileNames(), std::vector<std::string>{file});
    EXPECT_EQ(TempFolder::Read(file),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<QuorvelRoad version=\"5.2\" product=\"Quorvel Zentrovane\" productVersion=\"12.45\" "
              "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
              "xsi:schemaLocation=\"https://schemas.quorvel.invalid/road/5.2 "
              "https://schemas.quorvel.invalid/road/5.2/QuorvelRoad.xsd\">\r\n"
              "    <Name>Main(Gnss)</Name>\r\n"
              "    <StationInterval>20</StationInterval>\r\n"
              "\r\n"
              "    <HorizontalAlignment>\r\n"
              "        <StartStation>0</StartStation>\r\n"
              "        <EndStation>100</EndStation>\r\n"
              "        <StartPoint>\r\n"
              "            <KeyinMethod>UserDefinedCoordinates</KeyinMethod>\r\n"
              "            <StartStation>0</StartStation>\r\n"
              "\r\n"
              "            <StartCoordinate>\r\n"
              "                <North>1000</North>\r\n"
              "                <East>2000</East>\r\n"
              "            </StartCoordinate>\r\n"
              "        </StartPoint>\r\n"
              "        <Straight>\r\n"
              "            <KeyinMethod>AzimuthAndLength</KeyinMethod>\r\n"
              "            <StartStation>0</StartStation>\r\n"
              "            <StartAzimuth>28.647889756541</StartAzimuth>\r\n"
              "\r\n"
              "            <StartCoordinate>\r\n"
              "                <North>1000</North>\r\n"
              "                <East>2000</East>\r\n"
              "            </StartCoordinate>\r\n"
              "            <Length>100</Length>\r\n"
              "            <EndStation>100</EndStation>\r\n"
              "            <EndAzimuth>28.647889756541</EndAzimuth>\r\n"
              "\r\n"
              "            <EndCoordinate>\r\n"
              "                <North>1087.758256189</North>\r\n"
              "                <East>2047.9425538604</East>\r\n"
              "            </EndCoordinate>\r\n"
              "        </Straight>\r\n"
              "    </HorizontalAlignment>\r\n"
              "</QuorvelRoad>\r\n");
    EXPECT_TRUE(WellFormed(file));
}

TEST_F(RoadFiles, ReadBackGiveTheAlignmentsTheExportDescribes) {
    ASSERT_EQ(ConvertFile(kFixtures + "road_files.xml"), 0);
    Load(Dir() + "Main(S).rxl");
    EXPECT_EQ(road.StationInterval, 25.0);
    ExpectMainAlignment(road.HorizontalAlignment, kMainEnds);
    EXPECT_EQ(H(0)->KeyinMethod, 1);  // from an existing point
    EXPECT_EQ(road.GetName(), Str("Main(S)"));
    EXPECT_EQ(H(0)->PointName, Str("BP"));
    ExpectVertical(road.VerticalAlignment);

    // One alignment named by two roads is in both; the second has no vertical alignment.
    Load(Dir() + "road(S).rxl");
    EXPECT_EQ(road.StationInterval, 10.0);
    ExpectMainAlignment(road.HorizontalAlignment, kMainEnds);
    EXPECT_EQ(road.VerticalAlignment.Count(), 0);
    // A header naming no horizontal alignment still gives a road.
    Load(Dir() + "Bare(S).rxl");
    EXPECT_EQ(road.HorizontalAlignment.Count(), 0);
    ExpectVertical(road.VerticalAlignment);
}

TEST_F(RoadFiles, EveryRoadCarriesEveryTemplateAndItsOwnPlacementsAndSuperelevation) {
    ASSERT_EQ(ConvertFile(kFixtures + "road_files.xml"), 0);
    for (const char* file : {"Main(S).rxl", "road(S).rxl", "Bare(S).rxl"}) {
        SCOPED_TRACE(file);
        Load(Dir() + file);
        ASSERT_EQ(road.Templates.Count(), 2);
        const CrossSectionTemplate& t1 = *road.Templates.At(0);
        EXPECT_EQ(t1.Name, Str("T1"));
        ASSERT_EQ(t1.Count(), 3);
        const auto* lane = TemplateDistanceGrade::Cast(const_cast<RoadElement*>(t1.At(0)));
        ASSERT_NE(lane, nullptr);
        EXPECT_EQ(lane->Code, Str("lane"));
        EXPECT_NEAR(lane->Grade, -0.02, 1e-12);
        EXPECT_NEAR(lane->HorizontalDistance, 3.5, 1e-12);
        EXPECT_TRUE(lane->ApplySuperelevation);
        EXPECT_FALSE(lane->ApplyWidening);
        const auto* kerb = TemplateDistanceDelta::Cast(const_cast<RoadElement*>(t1.At(1)));
        ASSERT_NE(kerb, nullptr);
        EXPECT_NEAR(kerb->HorizontalDistance, 0.5, 1e-12);
        EXPECT_NEAR(kerb->VerticalDistance, -0.1, 1e-12);
        const auto* side = TemplateSideSlope::Cast(t1.At(2));
        ASSERT_NE(side, nullptr);
        EXPECT_NEAR(side->CutGrade, 0.5, 1e-12);
        EXPECT_NEAR(side->FillGrade, 0.25, 1e-12);
        EXPECT_NEAR(side->CutDitchWidth, 1.0, 1e-12);
        const CrossSectionTemplate& t2 = *road.Templates.At(1);
        EXPECT_EQ(t2.Name, Str("T2"));
        ASSERT_EQ(t2.Count(), 1);
        EXPECT_EQ(TemplateSideSlope::Cast(t2.At(0))->Code, Str("side2"));
    }
    Load(Dir() + "Main(S).rxl");
    ASSERT_EQ(road.TemplatePositioning.Count(), 2);
    const auto* first = SidedTemplatePlacement::Cast(road.TemplatePositioning.At(0));
    const auto* second = SidedTemplatePlacement::Cast(road.TemplatePositioning.At(1));
    ASSERT_TRUE(first && second);
    for (int32_t side : {DBROAD_SideLeft, DBROAD_SideRight}) {
        EXPECT_EQ(first->Sides[side].Type, SidePlacement::UserDefinedTemplate);
        EXPECT_EQ(first->Sides[side].Name, Str("T1"));
        EXPECT_NEAR(first->Sides[side].Station, 0.0, 1e-9);
        EXPECT_NEAR(second->Sides[side].Station, 150.0, 1e-9);
    }
    EXPECT_EQ(second->Sides[DBROAD_SideLeft].Type, SidePlacement::InterpolateTemplate);
    EXPECT_EQ(second->Sides[DBROAD_SideRight].Type, SidePlacement::UserDefinedTemplate);
    EXPECT_EQ(second->Sides[DBROAD_SideRight].Name, Str("T2"));
    ASSERT_EQ(road.Supers.Count(), 1);
    const auto* super = SuperElevationWidening::Cast(road.Supers.At(0));
    ASSERT_NE(super, nullptr);
    EXPECT_EQ(super->Pivot, SuperElevationWidening::PivotLeft);
    EXPECT_NEAR(super->Station, 100.0, 1e-9);
    EXPECT_NEAR(super->Superelevation[DBROAD_SideLeft], -0.02, 1e-12);
    EXPECT_NEAR(super->Superelevation[DBROAD_SideRight], 0.03, 1e-12);
    EXPECT_NEAR(super->Widening[DBROAD_SideLeft], 0.5, 1e-12);
    EXPECT_NEAR(super->Widening[DBROAD_SideRight], 0.25, 1e-12);
    // The road without them has none.
    Load(Dir() + "road(S).rxl");
    EXPECT_EQ(road.TemplatePositioning.Count(), 0);
    EXPECT_EQ(road.Supers.Count(), 0);
}

TEST_F(RoadFiles, GeometryFollowsSouthAzimuthsAndGridOrientation) {
    struct Case {
        const char* south;
        const char* orientation;
        const End (&ends)[5];
    };
    const Case cases[] = {
        {"true", "COORDSYS_IncreasingNorthEast", kSouthEnds},
        {"false", "COORDSYS_IncreasingSouthWest", kSouthEnds},
        {"true", "COORDSYS_IncreasingSouthWest", kMainEnds},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.south) + " " + c.orientation);
        ASSERT_EQ(Convert(kCurrent, Corrections(c.south, c.orientation) + RoadHeader("Main", "0x30") + MainAlignment()),
                  0);
        const std::vector<std::string> names = TakeRoadFileNames();
        ASSERT_EQ(names, std::vector<std::string>{Dir() + "Main(Gnss).rxl"});
        Load(names[0]);
        ExpectMainAlignment(road.HorizontalAlignment, c.ends);
    }
}

TEST_F(RoadFiles, TheRoadFixtureOfTheDefinitionElements) {
    ASSERT_EQ(ConvertFile(kFixtures + "roads.xml"), 0);
    // The deleted road header gives no road.
    const std::vector<std::string> names = TakeRoadFileNames();
    ASSERT_EQ(names, std::vector<std::string>{Dir() + "Main(Roads).rxl"});
    EXPECT_TRUE(WellFormed(names[0]));
    Load(names[0]);
    ExpectMainAlignment(road.HorizontalAlignment, kMainEnds);
    EXPECT_EQ(road.Templates.Count(), 2);
    EXPECT_EQ(road.TemplatePositioning.Count(), 2);
    EXPECT_EQ(road.Supers.Count(), 1);
    EXPECT_EQ(road.VerticalAlignment.Count(), 5);
}

TEST_F(RoadFiles, RoadHeadersWithoutAlignmentsSameNamesAndNoRoadsAtAll) {
    // Headers without alignment elements: one file each.
    ASSERT_EQ(Convert(kCurrent, RoadHeader("A", "0x30") + RoadHeader("B", "")), 0);
    EXPECT_EQ(TakeRoadFileNames(), (std::vector<std::string>{Dir() + "A(Gnss).rxl", Dir() + "B(Gnss).rxl"}));
    for (const char* file : {"A(Gnss).rxl", "B(Gnss).rxl"}) {
        Load(Dir() + file);
        EXPECT_EQ(road.HorizontalAlignment.Count(), 0);
    }
    fs::remove(Dir() + "A(Gnss).rxl");
    fs::remove(Dir() + "B(Gnss).rxl");

    // No road elements: no file, and the list stays as it was.
    writejob_AddExtraOutputFile(Str("earlier.rxl"));
    const std::vector<std::string> before = Listing(folder.Path());
    ASSERT_EQ(Convert(kCurrent, MainAlignment()), 0);
    EXPECT_EQ(TakeRoadFileNames(), std::vector<std::string>{"earlier.rxl"});
    std::vector<std::string> after = Listing(folder.Path());
    after.erase(std::remove(after.begin(), after.end(), "job2.job"), after.end());
    EXPECT_EQ(after, before);
}

TEST_F(RoadFiles, RoadsOfOneFileNameEachGetAFileOfTheirOwn) {
    // In the job "2" the road "A" has the file "A(2).rxl"; a second "A" takes the first
    // numbered variant, so the road "A(2)", whose own name is that variant, takes the
    // next one of its own. Two names that no file may hold both become "road".
    struct Road {
        const char* name;
        const char* file;
    };
    const Road roads[] = {
        {"A", "A(2).rxl"},   {"A", "A(2)(2).rxl"},      {"A(2)", "A(2)(2)(2).rxl"},
        {"a/b", "road(2).rxl"}, {"c:d", "road(2)(2).rxl"}, {"A", "A(2)(3).rxl"},
    };
    std::string body;
    for (int i = 0; i < 6; ++i) body += RoadHeader(roads[i].name, "", "", i + 1);
    // Files left at these names by the user or an earlier conversion are replaced.
    folder.Write("A(2).rxl", "earlier");
    folder.Write("A(2)(3).rxl", "earlier");
    const std::string xml = folder.Write("twins.xml", "<?xml version=\"1.0\"?>\n<JOBFile " + std::string(kCurrent) +
                                                          "><DATABASE_JobHeaderRecord>2</DATABASE_JobHeaderRecord>" +
                                                          body + "</JOBFile>\n");
    ASSERT_EQ(ConvertFile(xml), 0);
    std::vector<std::string> expected;
    std::vector<std::string> listing = {"job1.job", "twins.xml"};
    for (const Road& r : roads) {
        expected.push_back(Dir() + r.file);
        listing.push_back(r.file);
    }
    // Each road listed once, in definition order, each file its own road's.
    EXPECT_EQ(TakeRoadFileNames(), expected);
    std::sort(listing.begin(), listing.end());
    EXPECT_EQ(Listing(folder.Path()), listing);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(roads[i].file);
        Load(expected[i]);
        EXPECT_EQ(road.StationInterval, i + 1);
        const std::string file = roads[i].file;
        EXPECT_EQ(road.GetName(), Str(file.substr(0, file.size() - 4).c_str()));
    }
    Read();
}

TEST_F(RoadFiles, ARoadFileNeverTakesThePlaceOfItsOwnJob) {
    // The example's road "Access" in its job "Riverside boundary"; two roads "Twin" in
    // the job "Gnss", the second taking the variant that the job path names.
    struct Case {
        std::string xml;
        const char* job;
    };
    const std::string twins = folder.Write("twins.xml", "<?xml version=\"1.0\"?>\n<JOBFile " + std::string(kCurrent) +
                                                            "><DATABASE_JobHeaderRecord>Gnss</DATABASE_JobHeaderRecord>" +
                                                            RoadHeader("Twin", "") + RoadHeader("Twin", "") +
                                                            "</JOBFile>\n");
    const Case cases[] = {
        {std::string(QZ_FIXTURES_DIR) + "/../../examples/example.xml", "Access(Riverside boundary).rxl"},
        {twins, "Twin(Gnss)(2).rxl"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.job);
        const std::string job = Dir() + c.job;
        // Nothing of the conversion is left: no job, no road file, no temporary, and
        // nothing listed.
        EXPECT_EQ(ImportQZXMLFile(c.xml.c_str(), job.c_str(), nullptr), 2);
        EXPECT_EQ(Listing(folder.Path()), std::vector<std::string>{"twins.xml"});
        EXPECT_EQ(qzxmli_ExtraOutputFileCount(), 0);
        // A file that stood there before is the user's: the job is not created.
        folder.Write(c.job, "the user's");
        EXPECT_EQ(ImportQZXMLFile(c.xml.c_str(), job.c_str(), nullptr), 5);
        EXPECT_EQ(TempFolder::Read(job), "the user's");
        EXPECT_EQ(Listing(folder.Path()), (std::vector<std::string>{c.job, "twins.xml"}));
        EXPECT_EQ(qzxmli_ExtraOutputFileCount(), 0);
        fs::remove(job);
    }
}

TEST_F(RoadFiles, TheirTemporaryFilesNeverTouchAFileTheyDidNotCreate) {
    // Files, a folder and a read-only file at the names a temporary would take first.
    folder.Write("Main(S).rxl.tmp", "the user's");
    folder.Write("Main(S).rxl.1.tmp", "the user's");
    const std::string readOnly = folder.Write("Bare(S).rxl.tmp", "the user's");
    ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
    fs::create_directory(Dir() + "road(S).rxl.tmp");
    // A link to nothing: creating through it would make the file it names.
    fs::create_symlink(Dir() + "elsewhere", Dir() + "Bare(S).rxl.1.tmp");
    const std::vector<std::string> theUsers = {"Bare(S).rxl.1.tmp", "Bare(S).rxl.tmp", "Main(S).rxl.1.tmp",
                                               "Main(S).rxl.tmp", "road(S).rxl.tmp"};
    ASSERT_EQ(ConvertFile(kFixtures + "road_files.xml"), 0);
    EXPECT_EQ(TakeRoadFileNames().size(), 3u);
    for (const char* name : {"Main(S).rxl.tmp", "Main(S).rxl.1.tmp", "Bare(S).rxl.tmp"})
        EXPECT_EQ(TempFolder::Read(Dir() + name), "the user's") << name;
    EXPECT_TRUE(fs::is_directory(Dir() + "road(S).rxl.tmp"));
    EXPECT_TRUE(fs::is_symlink(Dir() + "Bare(S).rxl.1.tmp"));
    std::vector<std::string> expected = theUsers;
    expected.insert(expected.end(), {"Bare(S).rxl", "Main(S).rxl", "job1.job", "road(S).rxl"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Listing(folder.Path()), expected);
    for (const char* name : {"Main(S).rxl", "road(S).rxl", "Bare(S).rxl"}) EXPECT_TRUE(WellFormed(Dir() + name));

    chmod(readOnly.c_str(), 0644);
}

TEST_F(RoadFiles, AJobPathWithoutAFolderGivesNamesWithoutOne) {
    const std::string xml = kFixtures + "road_files.xml";
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(folder.Path().c_str()), 0);
    const int result = ImportQZXMLFile(xml.c_str(), "plain.job", nullptr);
    ASSERT_EQ(chdir(previous), 0);
    ASSERT_EQ(result, 0);
    EXPECT_EQ(TakeRoadFileNames(), (std::vector<std::string>{"Main(S).rxl", "road(S).rxl", "Bare(S).rxl"}));
    EXPECT_TRUE(fs::exists(Dir() + "Main(S).rxl"));
    // Without a folder in the path the road keeps its own name.
    Load(Dir() + "Main(S).rxl");
    EXPECT_EQ(road.GetName(), Str("Main"));
}

// A macro in the job path's folder is expanded where the files are written, and so in
// the names listed: each listed name is a file that is there.
TEST_F(RoadFiles, AMacroInTheJobsFolderIsListedExpanded) {
    const std::string xml = kFixtures + "road_files.xml";
    const std::string job = folder.Path() + "/$(Project)/j.job";
    ASSERT_EQ(ImportQZXMLFile(xml.c_str(), job.c_str(), nullptr), 0);
    const std::vector<std::string> listed = TakeRoadFileNames();
    EXPECT_EQ(listed, (std::vector<std::string>{Dir() + "Main(S).rxl", Dir() + "road(S).rxl", Dir() + "Bare(S).rxl"}));
    for (const std::string& name : listed) EXPECT_TRUE(fs::is_regular_file(name)) << name;
}

TEST_F(RoadFiles, AJobNameNeverLeadsOutOfTheJobsFolder) {
    const fs::path sub = fs::path(folder.Path()) / "in";
    fs::create_directories(sub);
    const std::string xml = folder.Write("named.xml", "<?xml version=\"1.0\"?>\n<JOBFile " + std::string(kCurrent) +
                                                          "><DATABASE_JobHeaderRecord>..\\x/$(TempDir)"
                                                          "</DATABASE_JobHeaderRecord>" +
                                                          RoadHeader("Main", "") + "</JOBFile>\n");
    const std::string job = (sub / "j.job").string();
    ASSERT_EQ(ImportQZXMLFile(xml.c_str(), job.c_str(), nullptr), 0);
    const std::string file = (sub / "Main(.._x__(TempDir)).rxl").string();
    EXPECT_EQ(TakeRoadFileNames(), std::vector<std::string>{file});
    EXPECT_EQ(Listing(sub.string()), (std::vector<std::string>{"Main(.._x__(TempDir)).rxl", "j.job"}));
    EXPECT_EQ(Listing(folder.Path()), (std::vector<std::string>{"in", "named.xml"}));
    // The job keeps its name as exported.
    Load(file);
    EXPECT_EQ(road.GetName(), Str("Main(.._x__(TempDir))"));
}

TEST_F(RoadFiles, ARoadFileThatCannotBeWrittenFailsTheConversion) {
    // A read-only file stands where the second road goes.
    const std::string blocked = folder.Write("road(S).rxl", "not a road");
    ASSERT_EQ(chmod(blocked.c_str(), 0444), 0);
    ASSERT_EQ(ConvertFile(kFixtures + "road_files.xml"), 2);
    EXPECT_FALSE(fs::exists(jobPath));
    EXPECT_EQ(TempFolder::Read(blocked), "not a road");
    // The road written before it stays, listed; nothing after it, and no temporary file.
    EXPECT_EQ(TakeRoadFileNames(), std::vector<std::string>{Dir() + "Main(S).rxl"});
    EXPECT_EQ(Listing(folder.Path()), (std::vector<std::string>{"Main(S).rxl", "road(S).rxl"}));
    EXPECT_TRUE(WellFormed(Dir() + "Main(S).rxl"));
    chmod(blocked.c_str(), 0644);
}

bool CancelAtSecond(int) {
    static int calls = 0;
    return ++calls % 2 != 0;
}

TEST_F(RoadFiles, ACancelWritesNoneAndAFailedEndOfFileKeepsThem) {
    const std::string xml = kFixtures + "road_files.xml";
    jobPath = folder / "cancelled.job";
    ASSERT_EQ(ImportQZXMLFile(xml.c_str(), jobPath.c_str(), CancelAtSecond), 1);
    EXPECT_EQ(qzxmli_ExtraOutputFileCount(), 0);
    EXPECT_TRUE(fs::is_empty(folder.Path()));

    // Content after the root's end tag: result 4 after the road files were written.
    std::string text = TempFolder::Read(xml) + "<after/>\n";
    const std::string after = folder.Write("after.xml", text);
    ASSERT_EQ(ConvertFile(after), 4);
    EXPECT_FALSE(fs::exists(jobPath));
    EXPECT_EQ(TakeRoadFileNames(), (std::vector<std::string>{Dir() + "Main(S).rxl", Dir() + "road(S).rxl",
                                                              Dir() + "Bare(S).rxl"}));
    Load(Dir() + "Main(S).rxl");
    ExpectMainAlignment(road.HorizontalAlignment, kMainEnds);
}

}  // namespace
