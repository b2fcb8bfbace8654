#include "roads/roadquorvel_road.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/kernel/maths.h"
#include "platform/faults.h"
#include "roads/roadquorvel_arc.h"
#include "roads/roadquorvel_rxlreader.h"
#include "roads/roadquorvel_rxlwriter.h"
#include "roads/roadquorvel_spiral.h"
#include "road_xml_test.h"
#include "support/recording_environment.h"
#include "support/temp_folder.h"

namespace {

constexpr double N = MATHS_Null;
constexpr double kPi = 3.14159265358979323846;
constexpr double kDegree = kPi / 180;

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
const std::string kRootStart =
    "<QuorvelRoad version=\"5.2\" product=\"Quorvel Zentrovane\" productVersion=\"12.45\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xsi:schemaLocation=\"https://schemas.quorvel.invalid/road/5.2 "
    "https://schemas.quorvel.invalid/road/5.2/QuorvelRoad.xsd\">\r\n";

std::string FixturePath(const char* name) { return std::string(QZ_FIXTURES_DIR) + "/roads/" + name; }

bool WellFormed(const std::string& path) { return std::system(("xmllint --noout '" + path + "'").c_str()) == 0; }

bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

template <class T>
T* Horizontal(T* e, int32_t method, double start, double length, double startAzimuth, double endAzimuth) {
    e->KeyinMethod = method;
    e->StartStation = start;
    e->Length = length;
    e->EndStation = start + length;
    e->StartAzimuth = startAzimuth;
    e->EndAzimuth = endAzimuth;
    e->StartCoordinate = coord_CorrectedGrid(5000 + start / 10, 2000 + start / 20, N);
    e->EndCoordinate = coord_CorrectedGrid(5000 + (start + length) / 10, 2000 + (start + length) / 20, N);
    return e;
}

template <class T>
T* Vertical(T* e, double station, double elevation) {
    e->KeyinMethod = 0;
    e->IntersectionPoint = StationElevation(station, elevation);
    return e;
}

SidedTemplatePlacement* Placement(double station, int32_t left, const char* leftName, int32_t right,
                                  const char* rightName) {
    SidedTemplatePlacement* p = new SidedTemplatePlacement;
    p->Sides[0].Type = left;
    p->Sides[0].Name = leftName;
    p->Sides[1].Type = right;
    p->Sides[1].Name = rightName;
    p->Sides[0].Station = p->Sides[1].Station = station;
    return p;
}

SuperElevationWidening* Super(double station, double left, double right, double widening) {
    SuperElevationWidening* s = new SuperElevationWidening;
    s->Station = station;
    s->Superelevation[0] = left;
    s->Superelevation[1] = right;
    s->Widening[0] = s->Widening[1] = widening;
    return s;
}

// A road holding every kind of element, two templates, placements, superelevation, an
// equation and a PI list, with tangency set as a conversion sets it.
QuorvelRoad FullRoad() {
    QuorvelRoad road;
    road.SetName("Ring & Main");
    road.Code = "RM<1>";
    road.StationInterval = 25;

    HorizontalElementArray& h = road.HorizontalAlignment;
    HorizontalStartPoint* start = new HorizontalStartPoint(0);
    start->KeyinMethod = 0;
    start->StartStation = start->EndStation = 1000;
    start->StartCoordinate = start->EndCoordinate = coord_CorrectedGrid(5100, 2050, N);
    h.Add(start);
    h.Add(Horizontal(new HorizontalStraight, 0, 1000, 120.5, 45 * kDegree, 45 * kDegree));
    HorizontalEntrySpiral* entry = Horizontal(new HorizontalEntrySpiral, 0, 1120.5, 40, 45 * kDegree, 48 * kDegree);
    entry->EndRadius = 300;
    h.Add(entry);
    HorizontalArc* arc = Horizontal(new HorizontalArc, 0, 1160.5, 62.25, 48 * kDegree, 60 * kDegree);
    arc->Radius = 300;
    arc->Angle = 12 * kDegree;
    h.Add(arc);
    HorizontalExitSpiral* exit = Horizontal(new HorizontalExitSpiral, 0, 1222.75, 40, 60 * kDegree, 63 * kDegree);
    exit->StartRadius = 300;
    h.Add(exit);
    // Not tangential to the spiral: the file says so.
    h.Add(Horizontal(new HorizontalStraight, 0, 1262.75, 87.25, 70 * kDegree, 70 * kDegree));
    h.UpdateTangency();

    HorizontalPIArray& pis = road.HorizontalAlignmentPIs;
    HorizontalStartPoint* startPI = new HorizontalStartPoint(1);
    startPI->KeyinMethod = 0;
    startPI->StartStation = startPI->EndStation = 1000;
    startPI->PICoordinate = startPI->StartCoordinate = startPI->EndCoordinate = coord_CorrectedGrid(5100, 2050, N);
    pis.Add(startPI);
    HorizontalPI* pi = new HorizontalPI;
    pi->KeyinMethod = 0;
    pi->PICoordinate = coord_CorrectedGrid(5200.5, 2150.75, N);
    pi->CurveType = 2;
    pi->ArcRadius = 300;
    pi->SpiralInLength = 40;
    pi->SpiralOutLength = 40;
    pis.Add(pi);
    HorizontalPI* last = new HorizontalPI;
    last->KeyinMethod = 0;
    last->PICoordinate = coord_CorrectedGrid(5250, 2400, N);
    last->CurveType = 0;
    pis.Add(last);

    VerticalElementArray& v = road.VerticalAlignment;
    v.Add(Vertical(new VerticalPoint, 1000, 50.5));
    VerticalArc* varc = Vertical(new VerticalArc, 1080, 52.25);
    varc->Radius = 2000;
    v.Add(varc);
    VerticalParabola* parabola = Vertical(new VerticalParabola, 1180, 49.75);
    parabola->Length = 60;
    v.Add(parabola);
    VerticalAsymmetricParabola* asym = Vertical(new VerticalAsymmetricParabola, 1260, 51);
    asym->LengthIn = 30;
    asym->LengthOut = 45.5;
    v.Add(asym);
    v.Add(Vertical(new VerticalPoint, 1350, 50));
    v.Recompute();

    road.TemplatePositioning.Add(Placement(1000, SidePlacement::UserDefinedTemplate, "Lane & Verge",
                                           SidePlacement::UserDefinedTemplate, "Shoulder"));
    road.TemplatePositioning.Add(
        Placement(1200, SidePlacement::InterpolateTemplate, "", SidePlacement::NoTemplate, ""));

    road.Supers.Add(Super(1100, std::atan(-0.02), std::atan(-0.02), 0));
    road.Supers.Add(Super(1180, std::atan(0.04), std::atan(-0.04), 0.5));

    StationEquationElement* equation = new StationEquationElement;
    equation->BackStation = 1300;
    equation->AheadStation = 2000;
    equation->Direction = 0;
    equation->InternalStation = 1300;
    road.StationEquations.Add(equation);

    CrossSectionTemplate lane;
    lane.Name = "Lane & Verge";
    TemplateDistanceGrade* carriageway = new TemplateDistanceGrade;
    carriageway->Code = "CW";
    carriageway->HorizontalDistance = 3.5;
    carriageway->Grade = std::atan(-0.025);
    carriageway->ApplySuperelevation = true;
    lane.Add(carriageway);
    TemplateDistanceDelta* kerb = new TemplateDistanceDelta;
    kerb->Code = "KB";
    kerb->HorizontalDistance = 0.25;
    kerb->VerticalDistance = 0.15;
    lane.Add(kerb);
    TemplateSideSlope* slope = new TemplateSideSlope;
    slope->Code = "SS";
    slope->CutGrade = std::atan(0.5);
    slope->FillGrade = std::atan(-0.25);
    slope->CutDitchWidth = 1.5;
    lane.Add(slope);
    road.Templates.Add(lane);
    CrossSectionTemplate shoulder;
    shoulder.Name = "Shoulder";
    TemplateDistanceGrade* verge = new TemplateDistanceGrade;
    verge->HorizontalDistance = 2;
    verge->Grade = std::atan(-0.04);
    shoulder.Add(verge);
    road.Templates.Add(shoulder);
    return road;
}

// The kinds of a list's elements and the text each writes.
std::vector<std::string> Described(const RoadElementArray& list) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < list.Count(); ++i)
        out.push_back(std::to_string(list.At(i)->GetType()) + " " + road_test::Written(*list.At(i)));
    return out;
}

class RoadFile : public testing::Test {
protected:
    void TearDown() override { platform_DisarmFaults(); }

    RecordingEnvironment env;
    TempFolder tmp;
};

TEST_F(RoadFile, RoadWithOnlyANameWritesTheFrame) {
    QuorvelRoad road;
    road.SetName("North Link");
    const std::string path = tmp / "north.rxl";
    ASSERT_TRUE(road.WriteRxlFileTo(Str(path.c_str())));
    EXPECT_EQ(TempFolder::Read(path), kDeclaration + kRootStart +
                                          "    <Name>North Link</Name>\r\n"
                                          "    <StationInterval>20</StationInterval>\r\n"
                                          "</QuorvelRoad>\r\n");
    EXPECT_TRUE(WellFormed(path));
    EXPECT_FALSE(Exists(path + ".tmp"));
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(RoadFile, NumberTexts) {
    struct {
        double interval;
        const char* text;
    } cases[] = {
        {0.5, "<StationInterval>0.5</StationInterval>"},
        {-1e-16, "<StationInterval>0</StationInterval>"},
        {12.5, "<StationInterval>12.5</StationInterval>"},
        {N, "<StationInterval/>"},
        {std::nan(""), "<StationInterval/>"},
        {HUGE_VAL, "<StationInterval/>"},
    };
    const std::string path = tmp / "numbers.rxl";
    for (const auto& c : cases) {
        QuorvelRoad road;
        road.StationInterval = c.interval;
        ASSERT_TRUE(road.WriteRxlFileTo(Str(path.c_str())));
        EXPECT_NE(TempFolder::Read(path).find(std::string("    ") + c.text + "\r\n"), std::string::npos) << c.text;
    }
    // An azimuth within 5e-13 of a full turn is written as 0.
    HorizontalStraight straight;
    straight.StartAzimuth = 2 * kPi - 1e-13;
    EXPECT_NE(road_test::Written(straight).find("<StartAzimuth>0</StartAzimuth>"), std::string::npos);
}

TEST_F(RoadFile, FullRoadWritesTheExpectedFile) {
    const std::string path = tmp / "full.rxl";
    QuorvelRoad road = FullRoad();
    ASSERT_TRUE(road.WriteRxlFileTo(Str(path.c_str())));
    const std::string expected = TempFolder::Read(FixturePath("full_road.rxl"));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(TempFolder::Read(path), expected);
    EXPECT_TRUE(WellFormed(path));
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(RoadFile, LoadGivesTheSameListsAndWritesTheSameBytes) {
    const std::string expected = TempFolder::Read(FixturePath("full_road.rxl"));
    const std::string path = tmp.Write("full.rxl", expected);
    const QuorvelRoad original = FullRoad();
    QuorvelRoad road;
    road.Code = "old";
    ASSERT_TRUE(road.Load(Str(path.c_str())));
    EXPECT_TRUE(road.FullyLoaded);
    EXPECT_TRUE(road.Loaded);
    EXPECT_EQ(road.GetStatus(), 0);
    EXPECT_EQ(road.GetName(), "Ring & Main");
    EXPECT_EQ(road.GetCode(), "RM<1>");
    EXPECT_EQ(road.StationInterval, 25);
    EXPECT_EQ(Described(road.HorizontalAlignment), Described(original.HorizontalAlignment));
    EXPECT_EQ(Described(road.HorizontalAlignmentPIs), Described(original.HorizontalAlignmentPIs));
    EXPECT_EQ(Described(road.VerticalAlignment), Described(original.VerticalAlignment));
    EXPECT_EQ(Described(road.TemplatePositioning), Described(original.TemplatePositioning));
    EXPECT_EQ(Described(road.Supers), Described(original.Supers));
    EXPECT_EQ(Described(road.StationEquations), Described(original.StationEquations));
    ASSERT_EQ(road.Templates.Count(), 2);
    for (int32_t i = 0; i < 2; ++i) {
        EXPECT_EQ(road.Templates.At(i)->Name, original.Templates.At(i)->Name);
        EXPECT_EQ(Described(*road.Templates.At(i)), Described(*original.Templates.At(i)));
    }
    // Numbers are the numbers of their texts; the PI list comes back unsolved.
    EXPECT_EQ(road.HorizontalAlignment.At(3)->Length, 62.25);
    EXPECT_EQ(road.HorizontalAlignment.At(3)->StartCoordinate.North, 5116.05);
    EXPECT_EQ(HorizontalArc::Cast(road.HorizontalAlignment.RoadElementArray::At(3))->Radius, 300);
    EXPECT_FALSE(HorizontalPI::Cast(road.HorizontalAlignmentPIs.RoadElementArray::At(1))->Solved);
    EXPECT_FALSE(road.HorizontalAlignment.At(5)->TangentialToPrevious);
    EXPECT_TRUE(road.HorizontalAlignment.At(4)->TangentialToPrevious);

    const std::string again = tmp / "again.rxl";
    ASSERT_TRUE(road.WriteRxlFileTo(Str(again.c_str())));
    EXPECT_EQ(TempFolder::Read(again), expected);
    EXPECT_TRUE(road.IsLoadedFrom("Ring & Main.rxl"));
    EXPECT_FALSE(road.IsLoadedFrom("Ring.rxl"));
    EXPECT_TRUE(env.assertions.empty());
}

// A road file around the given children of the root.
std::string RoadText(const std::string& children) {
    return kDeclaration + kRootStart + children + "</QuorvelRoad>\r\n";
}

TEST_F(RoadFile, ReaderKeepsWhatTheFileDoesNotHold) {
    QuorvelRoad road;
    road.Code = "old";
    road.StationInterval = 15;
    const std::string noCode = tmp.Write("nocode.rxl", RoadText("<Name>A</Name><StationInterval></StationInterval>"));
    ASSERT_TRUE(road.Load(Str(noCode.c_str())));
    EXPECT_EQ(road.GetName(), "A");
    EXPECT_EQ(road.GetCode(), "old");
    EXPECT_EQ(road.StationInterval, 15);

    const std::string emptyCode = tmp.Write("empty.rxl", RoadText("<Name>B</Name><Code></Code>"));
    ASSERT_TRUE(road.Load(Str(emptyCode.c_str())));
    EXPECT_EQ(road.GetCode(), "");

    // Without "Name" the road keeps the name from the path, the whole path without an
    // extension.
    const std::string bare = tmp.Write("bare", RoadText("<StationInterval>30</StationInterval>"));
    ASSERT_TRUE(road.Load(Str(bare.c_str())));
    EXPECT_EQ(road.GetName(), Str(bare.c_str()));
    EXPECT_EQ(road.StationInterval, 30);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(RoadFile, ReaderSkipsDeletedTemplatesAndUnknownElements) {
    const std::string path = tmp.Write(
        "t.rxl", RoadText("<Name>T</Name>"
                          "<HorizontalAlignment><StartStation>0</StartStation>"
                          "<StartPoint><StartStation>0</StartStation></StartPoint>"
                          "<Spiral><Length>5</Length></Spiral>"
                          "<Straight><StartStation>0</StartStation><Length>10</Length><EndStation>10</EndStation></Straight>"
                          "</HorizontalAlignment>"
                          "<TemplateRecord><Name>Gone</Name><Deleted>true</Deleted>"
                          "<SideSlope><Code>x</Code></SideSlope></TemplateRecord>"
                          "<TemplateRecord><Name>Kept</Name><Deleted>True</Deleted>"
                          "<SideSlope><Code>y</Code></SideSlope></TemplateRecord>"
                          "<TemplateRecord><Name>Also &amp; kept</Name></TemplateRecord>"));
    QuorvelRoad road;
    ASSERT_TRUE(road.Load(Str(path.c_str())));
    ASSERT_EQ(road.HorizontalAlignment.Count(), 2);
    EXPECT_EQ(road.HorizontalAlignment.At(0)->GetType(), HorizontalStartPoint::TypeCode);
    EXPECT_EQ(road.HorizontalAlignment.At(1)->GetType(), HorizontalStraight::TypeCode);
    EXPECT_EQ(road.EndStation(), 10);
    ASSERT_EQ(road.Templates.Count(), 2);
    EXPECT_EQ(road.Templates.At(0)->Name, "Kept");
    EXPECT_EQ(road.Templates.At(0)->Count(), 1);
    EXPECT_EQ(road.Templates.At(1)->Name, "Also & kept");
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(RoadFile, LoadHeaderReadsOnlyTheHeaderLists) {
    const std::string path = tmp.Write("full.rxl", TempFolder::Read(FixturePath("full_road.rxl")));
    QuorvelRoad road;
    road.VerticalAlignment.Add(Vertical(new VerticalPoint, 5, 6));
    road.Supers.Add(Super(7, 0, 0, 0));
    road.Chainages.Fill(ChainageElementArray());
    ASSERT_TRUE(road.LoadHeader(Str(path.c_str())));
    EXPECT_TRUE(road.Loaded);
    EXPECT_FALSE(road.FullyLoaded);
    EXPECT_EQ(road.GetName(), "Ring & Main");
    EXPECT_EQ(road.StationInterval, 25);
    EXPECT_EQ(road.HorizontalAlignment.Count(), 6);
    EXPECT_EQ(road.StationEquations.Count(), 1);
    EXPECT_EQ(road.VerticalAlignment.Count(), 1);
    EXPECT_EQ(road.Supers.Count(), 1);
    EXPECT_EQ(road.HorizontalAlignmentPIs.Count(), 0);
    EXPECT_EQ(road.TemplatePositioning.Count(), 0);
    EXPECT_EQ(road.Templates.Count(), 0);
    EXPECT_TRUE(road.Chainages.IsFilled());
    EXPECT_FALSE(road.IsLoadedFrom(Str(path.c_str())));
}

TEST_F(RoadFile, LoadFailures) {
    QuorvelRoad road;
    road.SetName("kept");
    road.Loaded = road.FullyLoaded = true;
    EXPECT_FALSE(road.Load(Str()));
    EXPECT_FALSE(road.Loaded);
    EXPECT_FALSE(road.FullyLoaded);
    EXPECT_EQ(road.GetName(), "kept");

    road.StationInterval = 5;
    const std::string missing = tmp / "missing.rxl";
    EXPECT_FALSE(road.Load(Str(missing.c_str())));
    EXPECT_FALSE(road.LoadHeader(Str(missing.c_str())));
    EXPECT_EQ(road.GetFilePath(), Str(missing.c_str()));
    EXPECT_EQ(road.GetName(), Str((tmp / "missing").c_str()));
    EXPECT_EQ(road.StationInterval, 5);
    EXPECT_FALSE(road.Loaded);
}

TEST_F(RoadFile, WritingOverAWritableFileReplacesIt) {
    const std::string path = tmp.Write("road.rxl", "old bytes");
    QuorvelRoad road;
    road.SetFileName(Str(path.c_str()));
    EXPECT_EQ(road.GetName(), "road");
    ASSERT_TRUE(road.WriteRxlFile(0));
    EXPECT_NE(TempFolder::Read(path).find("<Name>road</Name>"), std::string::npos);
    EXPECT_FALSE(Exists(path + ".tmp"));

    // A file at the temporary's name, whoever left it, neither stops the next write nor
    // is touched by it: the write takes the next free name.
    tmp.Write("road.rxl.tmp", "left over");
    road.SetName("again");
    ASSERT_TRUE(road.WriteRxlFile(0));
    EXPECT_NE(TempFolder::Read(path).find("<Name>again</Name>"), std::string::npos);
    EXPECT_EQ(TempFolder::Read(path + ".tmp"), "left over");
    EXPECT_FALSE(Exists(path + ".1.tmp"));

    QuorvelRoad unnamed;
    EXPECT_FALSE(unnamed.WriteRxlFile(0));
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(RoadFile, FailedWritesLeaveTheOldFileAndNoTemporary) {
    QuorvelRoad road = FullRoad();
    const std::string path = tmp.Write("road.rxl", "old bytes");

    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_FALSE(road.WriteRxlFileTo(Str(path.c_str())));
    EXPECT_EQ(TempFolder::Read(path), "old bytes");
    EXPECT_FALSE(Exists(path + ".tmp"));
    ASSERT_EQ(chmod(path.c_str(), 0644), 0);

    // Large enough to go out in several writes: the disk fills on the first or a later
    // one, or the move into place fails.
    for (int i = 0; i < 500; ++i) road.Supers.Add(Super(1200 + i * 0.25, 0, 0, 0));
    struct {
        platform_FaultCall call;
        int n;
    } faults[] = {{PLATFORM_FaultWrite, 1}, {PLATFORM_FaultWrite, 3}, {PLATFORM_FaultRename, 1}};
    for (const auto& f : faults) {
        platform_ArmFault(f.call, f.n, 112);
        EXPECT_FALSE(road.WriteRxlFileTo(Str(path.c_str())));
        EXPECT_TRUE(platform_FaultFired());
        platform_DisarmFaults();
        if (f.call == PLATFORM_FaultWrite) {
            EXPECT_GT(platform_FaultCallCount(f.call), 3);  // the failure came part way
        }
        EXPECT_EQ(TempFolder::Read(path), "old bytes");
        EXPECT_FALSE(Exists(path + ".tmp"));
        EXPECT_FALSE(env.systemErrors.empty());
        env.systemErrors.clear();
    }

    // A folder that cannot be made: its parent is a file.
    const std::string blocked = tmp / "road.rxl/sub/road.rxl";
    EXPECT_FALSE(road.WriteRxlFileTo(Str(blocked.c_str())));
    EXPECT_EQ(TempFolder::Read(path), "old bytes");
    EXPECT_FALSE(Exists(blocked + ".tmp"));
}

}  // namespace
