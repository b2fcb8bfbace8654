// Road definition elements converted end to end: the road header's note in the job read
// back, and the road-set cache's alignments and templates as they stand after the last
// element (seen through the cache's inspector). Horizontal geometry is checked against
// values integrated independently: straights and arcs in closed form, clothoids by
// quadrature of the Fresnel integrals.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/kernel/maths.h"
#include "import/conversion_test.h"
#include "import/road_exports.h"
#include "import/roadsetcache.h"
#include "records/jobheader.h"
#include "records/traverse.h"
#include "roads/roadquorvel_arc.h"
#include "roads/roadquorvel_horizontal.h"
#include "roads/roadquorvel_placement.h"
#include "roads/roadquorvel_spiral.h"
#include "roads/roadquorvel_superelevation.h"
#include "roads/roadquorvel_template.h"
#include "roads/roadquorvel_vertical.h"
#include "support/recording_environment.h"
#include "support/thrown.h"

namespace {

using namespace road_exports;
using import_test::ConversionTest;
using import_test::ElementMessageTest;

std::string S(const Str& text) { return text.Data(); }

const std::string kFixture = std::string(QZ_FIXTURES_DIR) + "/import/roads.xml";
constexpr const char* kCurrent = "product=\"Quorvel Zentrovane\" version=\"1245\"";

// What the cache held when the road files were due.
struct Seen {
    std::vector<CachedAlignment> alignments;
    CachedAlignment current;
    TemplateArray templates;
    // FindAlignment of each probe ID: its type and first station, or "none".
    std::vector<std::string> found;
};
Seen g_Seen;
const char* const kProbes[] = {"0x30", "0x37", "0x99"};

void Inspect(const RoadSetCache& cache) {
    g_Seen = Seen();
    for (int32_t i = 0; i < cache.GetAlignments().Count(); ++i) g_Seen.alignments.push_back(cache.GetAlignments()[i]);
    g_Seen.current = cache.GetCurrentCache();
    g_Seen.templates = cache.GetTemplates();
    for (const char* probe : kProbes) {
        const CachedAlignment* found = cache.FindAlignment(Str(probe));
        const HorizontalBase* first = found ? HorizontalBase::Cast(found->At(0)) : nullptr;
        g_Seen.found.push_back(!found   ? "none"
                               : !first ? std::string(found->CacheType.Data())
                                        : std::string(found->CacheType.Data()) + " " +
                                              std::to_string(static_cast<int>(first->StartStation)));
    }
}

class RoadConversion : public ConversionTest {
protected:
    void SetUp() override { RoadSetCache::SetInspector(Inspect); }
    void TearDown() override { RoadSetCache::SetInspector(nullptr); }

    const CachedAlignment* Alignment(const char* id) const {
        for (const CachedAlignment& a : g_Seen.alignments)
            if (S(a.AlignmentID) == id) return &a;
        ADD_FAILURE() << "no alignment " << id;
        return nullptr;
    }
    static const HorizontalBase* H(const CachedAlignment* a, int32_t i) {
        return a ? HorizontalBase::Cast(a->At(i)) : nullptr;
    }

    RecordingEnvironment env;
};


void ExpectEnds(const CachedAlignment* a, const End (&ends)[5]) {
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->Count(), 6);
    const HorizontalBase* start = HorizontalBase::Cast(a->At(0));
    ASSERT_NE(HorizontalStartPoint::Cast(a->At(0)), nullptr);
    EXPECT_EQ(start->EndStation, 0.0);
    EXPECT_EQ(start->EndAzimuth, 0.5);
    EXPECT_EQ(start->EndCoordinate.North, 1000.0);
    EXPECT_EQ(start->EndCoordinate.East, 2000.0);
    const int32_t types[] = {HorizontalStraight::TypeCode, HorizontalEntrySpiral::TypeCode, HorizontalArc::TypeCode,
                             HorizontalExitSpiral::TypeCode, HorizontalStraight::TypeCode};
    for (int32_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i + 1);
        const HorizontalBase* e = HorizontalBase::Cast(a->At(i + 1));
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->GetType(), types[i]);
        // Everything after the first spiral carries its quadrature error.
        const double tolerance = i == 0 ? kClosedFormTolerance : kClothoidTolerance;
        EXPECT_NEAR(e->EndStation, ends[i].station, 1e-9);
        EXPECT_NEAR(e->EndCoordinate.North, ends[i].north, tolerance);
        EXPECT_NEAR(e->EndCoordinate.East, ends[i].east, tolerance);
        EXPECT_NEAR(e->EndAzimuth, ends[i].azimuth, 1e-9);
        const HorizontalBase* before = HorizontalBase::Cast(a->At(i));
        EXPECT_EQ(e->StartStation, before->EndStation);
        EXPECT_EQ(e->StartCoordinate.North, before->EndCoordinate.North);
        EXPECT_EQ(e->StartCoordinate.East, before->EndCoordinate.East);
    }
    const auto* entry = HorizontalEntrySpiral::Cast(a->At(2));
    EXPECT_EQ(entry->StartAzimuth, 0.5);  // the straight's end azimuth
    EXPECT_TRUE(maths_IsNull(entry->StartRadius));
    EXPECT_EQ(entry->EndRadius, 200.0);
    const auto* arc = HorizontalArc::Cast(a->At(3));
    EXPECT_NEAR(arc->Radius, 200.0, 1e-9);
    EXPECT_NEAR(arc->Angle, 0.25, 1e-12);
    EXPECT_NEAR(arc->Length, 50.0, 1e-9);
    EXPECT_TRUE(arc->Direction);
    const auto* exit = HorizontalExitSpiral::Cast(a->At(4));
    EXPECT_EQ(exit->StartRadius, 200.0);
    EXPECT_TRUE(maths_IsNull(exit->EndRadius));  // finished by the straight
}

TEST_F(RoadConversion, RoadHeaderNoteAndAlignmentsOfTheFixture) {
    ASSERT_EQ(ConvertFile(kFixture), 0);
    Read();
    // The note of the road header; the deleted header leaves none and its ID resolves
    // to nothing.
    const auto notes = Appended<db_Note>();
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(S(notes[0]->GetNotes()),
              "Main has been extracted to \\Quorvel Data. To review or edit use Key in / Roads.");
    EXPECT_EQ(notes[0]->GetTimeStamp(), 1291900050.0);
    EXPECT_EQ(S(notes[1]->GetNotes()), "between\r\n");  // a note between road elements
    const auto& residual = *Final(&Only<db_StationSetupResiduals>());
    EXPECT_EQ(residual.Observation, notes[0]->GetRecordId());
    EXPECT_EQ(residual.MeanTurnedAngle, NODBID);

    // Closed alignments in order; the last one, never closed, is not among them.
    std::vector<std::string> closed;
    for (const CachedAlignment& a : g_Seen.alignments) closed.push_back(S(a.CacheType) + " " + S(a.AlignmentID));
    EXPECT_EQ(closed, (std::vector<std::string>{"Horizontal 0x30", "Horizontal 0x31", "Horizontal 0x32",
                                                "Horizontal 0x33", "Horizontal 0x34", "Horizontal 0x35",
                                                "Horizontal 0x36", "TemplatePlacement 0x40", "SuperWidening 0x41",
                                                "Vertical 0x42", "Horizontal 0x30"}));
    EXPECT_EQ(S(g_Seen.current.AlignmentID), "0x37");
    EXPECT_EQ(g_Seen.current.Count(), 1);
    ASSERT_EQ(g_Seen.found.size(), 3u);
    EXPECT_EQ(g_Seen.found[1], "none");
    EXPECT_EQ(g_Seen.found[2], "none");
    // Of the two alignments 0x30 the first closed is found: the one starting at station 0.
    EXPECT_EQ(g_Seen.found[0], "Horizontal 0");

    // The three arc keyings give the same alignment.
    for (const char* id : {"0x30", "0x31", "0x32"}) {
        SCOPED_TRACE(id);
        ExpectEnds(Alignment(id), kMainEnds);
    }
    EXPECT_EQ(H(Alignment("0x31"), 3)->KeyinMethod, 2);
    EXPECT_EQ(H(Alignment("0x32"), 3)->KeyinMethod, 3);
    EXPECT_EQ(H(Alignment("0x30"), 3)->KeyinMethod, 0);
    EXPECT_EQ(S(H(Alignment("0x30"), 1)->PointName), "P1");
    EXPECT_EQ(S(H(Alignment("0x30"), 0)->PointName), "S0x30");
    EXPECT_EQ(H(Alignment("0x30"), 0)->KeyinMethod, 0);
    EXPECT_EQ(H(Alignment("0x30"), 0)->StartCoordinate.Elev, 50.0);
}

TEST_F(RoadConversion, ExitSpiralsAreFinishedAndEntrySpiralsTakeTheRadiusBefore) {
    ASSERT_EQ(ConvertFile(kFixture), 0);
    // An exit spiral followed by an arc of radius 300.
    const CachedAlignment* direct = Alignment("0x33");
    ASSERT_EQ(direct->Count(), 3);
    const auto* exit = HorizontalExitSpiral::Cast(direct->At(1));
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->EndRadius, 300.0);
    EXPECT_EQ(H(direct, 2)->StartCoordinate.North, exit->EndCoordinate.North);
    EXPECT_EQ(H(direct, 2)->StartCoordinate.East, exit->EndCoordinate.East);

    // The same through a zero-length straight, whose azimuth a second one renews and
    // which moves to the spiral's new end.
    const CachedAlignment* through = Alignment("0x34");
    ASSERT_EQ(through->Count(), 4);
    const auto* exit2 = HorizontalExitSpiral::Cast(through->At(1));
    const auto* zero = HorizontalStraight::Cast(through->At(2));
    ASSERT_NE(exit2, nullptr);
    ASSERT_NE(zero, nullptr);
    EXPECT_EQ(exit2->EndRadius, 300.0);
    EXPECT_EQ(exit2->EndCoordinate.North, exit->EndCoordinate.North);
    EXPECT_EQ(exit2->EndCoordinate.East, exit->EndCoordinate.East);
    EXPECT_EQ(zero->Length, 0.0);
    EXPECT_EQ(zero->StartAzimuth, 0.6);
    EXPECT_EQ(zero->EndAzimuth, 0.6);
    for (const coord_CorrectedGrid* c : {&zero->StartCoordinate, &zero->EndCoordinate}) {
        EXPECT_EQ(c->North, exit2->EndCoordinate.North);
        EXPECT_EQ(c->East, exit2->EndCoordinate.East);
    }
    EXPECT_EQ(H(through, 3)->StartCoordinate.North, exit2->EndCoordinate.North);
    // The spiral really moved: 40 m from 200 to 300 is not 40 m from 200 to a straight.
    EXPECT_GT(std::fabs(exit2->EndCoordinate.North - H(through, 0)->EndCoordinate.North), 1.0);

    // Entry spirals: after an arc its radius, through a zero-length straight too; after
    // a straight of some length none. The start azimuth is the previous end azimuth.
    const auto* afterArc = HorizontalEntrySpiral::Cast(Alignment("0x35")->At(2));
    ASSERT_NE(afterArc, nullptr);
    EXPECT_EQ(afterArc->StartRadius, 300.0);
    EXPECT_EQ(afterArc->EndRadius, 150.0);
    EXPECT_NEAR(afterArc->StartAzimuth, 0.6, 1e-12);
    const CachedAlignment* mixed = Alignment("0x36");
    ASSERT_EQ(mixed->Count(), 6);
    const auto* afterZero = HorizontalEntrySpiral::Cast(mixed->At(3));
    const auto* afterStraight = HorizontalEntrySpiral::Cast(mixed->At(5));
    ASSERT_NE(afterZero, nullptr);
    ASSERT_NE(afterStraight, nullptr);
    EXPECT_EQ(afterZero->StartRadius, 300.0);
    EXPECT_EQ(afterZero->StartAzimuth, 0.6);  // the zero-length straight's azimuth
    EXPECT_TRUE(maths_IsNull(afterStraight->StartRadius));
    EXPECT_EQ(afterStraight->StartAzimuth, 0.7);
}

TEST_F(RoadConversion, TemplatesPlacementsSuperelevationAndVerticalElements) {
    ASSERT_EQ(ConvertFile(kFixture), 0);
    ASSERT_EQ(g_Seen.templates.Count(), 2);
    const CrossSectionTemplate& t1 = *g_Seen.templates.At(0);
    EXPECT_EQ(S(t1.Name), "T1");
    ASSERT_EQ(t1.Count(), 4);  // the height difference 0 adds nothing
    const auto* face = TemplateDistanceDelta::Cast(const_cast<RoadElement*>(t1.At(0)));
    ASSERT_NE(face, nullptr);  // a grade of pi/2 is a vertical face
    EXPECT_EQ(face->VerticalDistance, 0.15);
    EXPECT_EQ(face->HorizontalDistance, 0.0);
    EXPECT_FALSE(face->ApplySuperelevation);
    EXPECT_TRUE(face->ApplyWidening);
    const auto* lane = TemplateDistanceGrade::Cast(const_cast<RoadElement*>(t1.At(1)));
    ASSERT_NE(lane, nullptr);
    EXPECT_EQ(S(lane->Code), "lane\xC2\xB7" "1");
    EXPECT_EQ(lane->Grade, -0.02);
    EXPECT_EQ(lane->HorizontalDistance, 3.5);
    EXPECT_TRUE(lane->ApplySuperelevation);
    const auto* kerb = TemplateDistanceDelta::Cast(const_cast<RoadElement*>(t1.At(2)));
    ASSERT_NE(kerb, nullptr);
    EXPECT_EQ(kerb->VerticalDistance, -0.1);
    EXPECT_EQ(kerb->HorizontalDistance, 0.5);
    const auto* side = TemplateSideSlope::Cast(t1.At(3));
    ASSERT_NE(side, nullptr);
    EXPECT_EQ(side->CutGrade, 0.5);
    EXPECT_EQ(side->FillGrade, 0.25);
    EXPECT_EQ(side->CutDitchWidth, 1.0);
    // The elements after the deleted header are dropped; the next template gets its own.
    const CrossSectionTemplate& t2 = *g_Seen.templates.At(1);
    EXPECT_EQ(S(t2.Name), "T2");
    ASSERT_EQ(t2.Count(), 1);
    EXPECT_EQ(S(TemplateSideSlope::Cast(t2.At(0))->Code), "side2");
    EXPECT_TRUE(maths_IsNull(TemplateSideSlope::Cast(t2.At(0))->CutDitchWidth));

    const CachedAlignment* placements = Alignment("0x40");
    ASSERT_EQ(placements->Count(), 2);
    const auto* first = SidedTemplatePlacement::Cast(const_cast<RoadElement*>(placements->At(0)));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Sides[DBROAD_SideLeft].Type, SidePlacement::UserDefinedTemplate);
    EXPECT_EQ(S(first->Sides[DBROAD_SideLeft].Name), "T1");
    EXPECT_EQ(first->Sides[DBROAD_SideRight].Type, SidePlacement::NoTemplate);
    EXPECT_EQ(S(first->Sides[DBROAD_SideRight].Name), "");
    EXPECT_EQ(first->Sides[DBROAD_SideRight].Station, 0.0);
    const auto* second = SidedTemplatePlacement::Cast(const_cast<RoadElement*>(placements->At(1)));
    EXPECT_EQ(second->Sides[DBROAD_SideLeft].Type, SidePlacement::InterpolateTemplate);
    EXPECT_EQ(S(second->Sides[DBROAD_SideLeft].Name), "");
    EXPECT_EQ(S(second->Sides[DBROAD_SideRight].Name), "T2");
    EXPECT_EQ(second->Sides[DBROAD_SideLeft].Station, 100.0);

    const CachedAlignment* supers = Alignment("0x41");
    ASSERT_EQ(supers->Count(), 1);
    const auto* super = SuperElevationWidening::Cast(const_cast<RoadElement*>(supers->At(0)));
    ASSERT_NE(super, nullptr);
    EXPECT_EQ(super->Pivot, SuperElevationWidening::PivotLeft);
    EXPECT_EQ(super->Station, 10.0);
    EXPECT_EQ(super->Superelevation[DBROAD_SideLeft], -0.02);
    EXPECT_EQ(super->Superelevation[DBROAD_SideRight], 0.03);
    EXPECT_EQ(super->Widening[DBROAD_SideLeft], 0.5);
    EXPECT_TRUE(maths_IsNull(super->Widening[DBROAD_SideRight]));

    const CachedAlignment* vertical = Alignment("0x42");
    ASSERT_EQ(vertical->Count(), 5);
    const auto* start = VerticalPoint::Cast(const_cast<RoadElement*>(vertical->At(0)));
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->IntersectionPoint, StationElevation(0, 50));
    EXPECT_EQ(start->StartPoint, StationElevation(0, 50));
    EXPECT_EQ(start->EndPoint, StationElevation(0, 50));
    EXPECT_EQ(start->GradeIn, 0.01);
    const auto* arc = VerticalArc::Cast(const_cast<RoadElement*>(vertical->At(1)));
    ASSERT_NE(arc, nullptr);
    EXPECT_EQ(arc->Radius, 1000.0);
    EXPECT_EQ(arc->IntersectionPoint, StationElevation(100, 51));
    const auto* parabola = VerticalParabola::Cast(const_cast<RoadElement*>(vertical->At(2)));
    ASSERT_NE(parabola, nullptr);
    EXPECT_EQ(parabola->Length, 40.0);
    const auto* asym = VerticalAsymmetricParabola::Cast(const_cast<RoadElement*>(vertical->At(3)));
    ASSERT_NE(asym, nullptr);
    EXPECT_EQ(asym->LengthIn, 20.0);
    EXPECT_EQ(asym->LengthOut, 30.0);
    EXPECT_TRUE(maths_IsNull(asym->IntersectionPoint.Station));  // no point child
    EXPECT_TRUE(maths_IsNull(asym->IntersectionPoint.Elevation));
    const auto* point = VerticalPoint::Cast(const_cast<RoadElement*>(vertical->At(4)));
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->EndPoint, StationElevation(300, 52));
}

TEST_F(RoadConversion, GeometryFollowsTheCorrectionsInForce) {
    ASSERT_EQ(Convert(kCurrent, Corrections("true", "COORDSYS_IncreasingNorthEast") + MainAlignment()), 0);
    ExpectEnds(Alignment("0x30"), kSouthEnds);
    ASSERT_EQ(Convert(kCurrent, Corrections("false", "COORDSYS_IncreasingSouthWest") + MainAlignment()), 0);
    ExpectEnds(Alignment("0x30"), kSouthEnds);
    ASSERT_EQ(Convert(kCurrent, Corrections("true", "COORDSYS_IncreasingSouthWest") + MainAlignment()), 0);
    ExpectEnds(Alignment("0x30"), kMainEnds);
    // A corrections element after the alignment changes nothing already computed.
    ASSERT_EQ(Convert(kCurrent, MainAlignment() + Corrections("true", "COORDSYS_IncreasingNorthEast")), 0);
    ExpectEnds(Alignment("0x30"), kMainEnds);
}

TEST_F(RoadConversion, NoConverterTransformationIsLeftWhateverTheResult) {
    ASSERT_EQ(ConvertFile(kFixture), 0);
    env.Clear();
    EXPECT_EQ(road_GetConverterTransformation(), nullptr);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"CurrentTransform != NULL"});
    ASSERT_EQ(Convert(kCurrent, "<DATABASE_HorzStraightRecord><Distance>1</Distance></DATABASE_HorzStraightRecord>"), 2);
    env.Clear();
    EXPECT_EQ(road_GetConverterTransformation(), nullptr);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"CurrentTransform != NULL"});
}

std::string Wrapped(const std::string& message, const std::string& element) {
    return "XML read error: \n" + message + "\n" + element;
}

struct Refusal {
    std::string elements;  // after a horizontal header
    std::string message;
    std::string element;
};

const Refusal kRefusals[] = {
    {"<DATABASE_HorzArcRadLenRecord><Length>5</Length><Radius>50</Radius></DATABASE_HorzArcRadLenRecord>",
     Invalid("bool", "ClockwiseAngle", ""), "DATABASE_HorzArcRadLenRecord"},
    {"<DATABASE_HorzArcAngLenRecord><ClockwiseAngle>right</ClockwiseAngle></DATABASE_HorzArcAngLenRecord>",
     Invalid("bool", "ClockwiseAngle", "right"), "DATABASE_HorzArcAngLenRecord"},
    {"<DATABASE_HorzSpiralRecord><EntrySpiral>true</EntrySpiral><Length>5</Length></DATABASE_HorzSpiralRecord>",
     Invalid("bool", "ClockwiseSpiral", ""), "DATABASE_HorzSpiralRecord"},
    {"<DATABASE_HorzSpiralRecord><EntrySpiral>2</EntrySpiral><ClockwiseSpiral>true</ClockwiseSpiral>"
     "</DATABASE_HorzSpiralRecord>",
     Invalid("bool", "EntrySpiral", "2"), "DATABASE_HorzSpiralRecord"},
    {"<DATABASE_TmpltHeaderRecord><TmpltName>T</TmpltName><Deleted>false</Deleted></DATABASE_TmpltHeaderRecord>"
     "<DATABASE_TmpltDistGradeRecord><Grade>0.1</Grade><ApplyWidening>true</ApplyWidening>"
     "</DATABASE_TmpltDistGradeRecord>",
     Invalid("bool", "ApplySuper", ""), "DATABASE_TmpltDistGradeRecord"},
    {"<DATABASE_TmpltHeaderRecord><TmpltName>T</TmpltName><Deleted>false</Deleted></DATABASE_TmpltHeaderRecord>"
     "<DATABASE_TmpltDistDeltaRecord><HorzDistance>1</HorzDistance><HeightDifference>1</HeightDifference>"
     "<ApplySuper>false</ApplySuper><ApplyWidening>no</ApplyWidening></DATABASE_TmpltDistDeltaRecord>",
     Invalid("bool", "ApplyWidening", "no"), "DATABASE_TmpltDistDeltaRecord"},
    {"<DATABASE_RoadHeaderRecord><RoadName>R</RoadName><Deleted>maybe</Deleted></DATABASE_RoadHeaderRecord>",
     Invalid("bool", "Deleted", "maybe"), "DATABASE_RoadHeaderRecord"},
    {"<DATABASE_TmpltHeaderRecord><TmpltName>T</TmpltName><Deleted>0x1</Deleted></DATABASE_TmpltHeaderRecord>",
     Invalid("bool", "Deleted", "0x1"), "DATABASE_TmpltHeaderRecord"},
};

TEST_F(RoadConversion, RefusedElementsEndTheConversionWithTheirMessage) {
    const std::string header = "<DATABASE_HorzHeaderRecord ID=\"0x30\"><Azimuth>0</Azimuth>"
                               "<StartChainage>0</StartChainage></DATABASE_HorzHeaderRecord>";
    for (const Refusal& c : kRefusals) {
        SCOPED_TRACE(c.elements);
        EXPECT_EQ(Convert(kCurrent, header + c.elements), 2);
        EXPECT_FALSE(std::filesystem::exists(jobPath));
    }
    // A straight with no alignment to start from, and one after a vertical header.
    for (const std::string& before :
         {std::string(), std::string("<DATABASE_VertHeaderRecord ID=\"0x31\"/>")}) {
        EXPECT_EQ(Convert(kCurrent, before + "<DATABASE_HorzStraightRecord><Distance>1</Distance>"
                                             "<Azimuth>0</Azimuth></DATABASE_HorzStraightRecord>"),
                  2);
        EXPECT_FALSE(std::filesystem::exists(jobPath));
    }
}

using RoadWriter = ElementMessageTest;

TEST_F(RoadWriter, RefusedElementsGiveTheirExactMessage) {
    for (const Refusal& c : kRefusals) {
        SCOPED_TRACE(c.elements);
        writer = std::make_unique<JobWriter>(&job, Str("Quorvel Zentrovane"), 1245);
        EXPECT_EQ(Message("<DATABASE_HorzHeaderRecord><Azimuth>0</Azimuth></DATABASE_HorzHeaderRecord>"), "");
        // The last element of the case is the one refused.
        std::string elements = c.elements;
        const size_t split = elements.rfind("<DATABASE_");
        if (split != 0) {
            EXPECT_EQ(Message(elements.substr(0, split)), "");
        }
        EXPECT_EQ(Message(elements.substr(split)), Wrapped(c.message, c.element));
    }
    writer = std::make_unique<JobWriter>(&job, Str("Quorvel Zentrovane"), 1245);
    EXPECT_EQ(Message("<DATABASE_HorzStraightRecord><Distance>1</Distance></DATABASE_HorzStraightRecord>"),
              Wrapped("road element outside a horizontal alignment", "DATABASE_HorzStraightRecord"));
}

}  // namespace
