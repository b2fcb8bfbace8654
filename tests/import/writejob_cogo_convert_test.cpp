// Coordinate geometry elements converted end to end: an export through the library's
// entry point, the job file read back through the journal reader. Every stored field,
// the operations, the references the second pass resolves, and both sides of each
// version gate that changes a layout.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "foundation/kernel/maths.h"
#include "jobdb/dbjournal.h"
#include "jobdb/dbmodel.h"
#include "qzxmli.h"
#include "records/cogo.h"
#include "records/coordsysdefs.h"
#include "records/dbRecord.h"
#include "records/editactions.h"
#include "records/entities.h"
#include "records/stakeoutsettings.h"
#include "support/temp_folder.h"

namespace {

struct Entry {
    int operation;
    DBID target;
    std::unique_ptr<dbRecord_Class> record;
};

std::vector<Entry> ReadJournal(const std::string& path) {
    std::vector<Entry> entries;
    dbJournal journal;
    if (!journal.Open(Str(path.c_str()), false)) return entries;
    journal.SeekFirstRecord();
    int status = 0;
    while (dbModel_Action* action = journal.ReadRecord(status)) {
        Entry entry{action->Operation, action->Target, nullptr};
        if (action->DBRecord) entry.record.reset(action->DBRecord->Clone());
        delete action;
        entries.push_back(std::move(entry));
    }
    EXPECT_EQ(status, DBJOURNAL_ReadEnd);
    journal.Close();
    return entries;
}

std::string S(const Str& text) { return text.Data(); }

class CogoConversion : public ::testing::Test {
protected:
    // Converts an export of the given root attributes and elements; the result code.
    int Convert(const std::string& rootAttributes, const std::string& elements) {
        const std::string xml = folder.Write(
            "job.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<JOBFile " + rootAttributes +
                           ">\n<DATABASE_JobHeaderRecord TimeStamp=\"1\">Cogo</DATABASE_JobHeaderRecord>\n" +
                           elements + "\n</JOBFile>\n");
        jobPath = folder / ("job" + std::to_string(++conversions) + ".job");
        return ImportQZXMLFile(xml.c_str(), jobPath.c_str(), nullptr);
    }

    // The records appended to the job, in order, of the given class.
    template <class R>
    std::vector<const R*> Appended() const {
        std::vector<const R*> found;
        for (const Entry& entry : journal)
            if (entry.operation == DBMODEL_Append && entry.record)
                if (const R* typed = R::Cast(entry.record.get())) found.push_back(typed);
        return found;
    }

    // Converts and reads the job back; fails the test when the conversion fails.
    void ConvertAndRead(const std::string& rootAttributes, const std::string& elements) {
        ASSERT_EQ(Convert(rootAttributes, elements), 0);
        journal = ReadJournal(jobPath);
        ASSERT_FALSE(journal.empty());
    }

    TempFolder folder;
    std::string jobPath;
    int conversions = 0;
    std::vector<Entry> journal;
};

constexpr const char* kCurrent = "product=\"Quorvel Zentrovane\" version=\"1245\"";

const std::string kEllipsoid =
    "<DATABASE_EllipsoidRecord ID=\"0x20\" rec=\"db_Ellipsoid\" TimeStamp=\"45000.5\"><Derivation>KI</Derivation>"
    "<Ellipsoid><EarthRadius>6378137</EarthRadius><Flattening>0.0033528106647474805</Flattening></Ellipsoid>"
    "<Note>datum</Note></DATABASE_EllipsoidRecord>";

TEST_F(CogoConversion, EveryElementOfACurrentExport) {
    ConvertAndRead(
        kCurrent,
        kEllipsoid +
            "<DATABASE_ComputeAzimuthRecord ID=\"0x21\" rec=\"db_ComputeAzimuth\" TimeStamp=\"45000.6\">"
            "<AzimuthMethod>DBENTITY_BisectedCorner</AzimuthMethod><Point1>A</Point1><Point2>B</Point2>"
            "<CornerPoint>C</CornerPoint><Azimuth1>0.5</Azimuth1><ComputedAzimuth>1.25</ComputedAzimuth>"
            "<ReferenceLinearEntity>L9</ReferenceLinearEntity><ReferenceLinePoint1Name>R1</ReferenceLinePoint1Name>"
            "<ReferenceLinePoint2Name>R2</ReferenceLinePoint2Name><Offset>-0.5</Offset><TurnedAngle>0.7</TurnedAngle>"
            "<ReferenceLineDefinedByTwoPoints>true</ReferenceLineDefinedByTwoPoints>"
            "<CreatedView>COORDSYS_CogoAzimuthGrid</CreatedView></DATABASE_ComputeAzimuthRecord>"
            "<DATABASE_ComputeDistanceRecord ID=\"0x22\" rec=\"db_ComputeDistance\" TimeStamp=\"45000.7\">"
            "<DistanceMethod>DBENTITY_BetweenPointAndLine</DistanceMethod><Point1>A</Point1>"
            "<ReferenceLinearEntity>L1</ReferenceLinearEntity><DistanceAlong>3.5</DistanceAlong><Point2>B</Point2>"
            "<ReferenceLineDefinedByTwoPoints>false</ReferenceLineDefinedByTwoPoints>"
            "<ReferenceLinePoint1Name>Q1</ReferenceLinePoint1Name><ReferenceLinePoint2Name>Q2</ReferenceLinePoint2Name>"
            "<ComputedDistance>12.75</ComputedDistance><CreatedView>COORDSYS_CogoDistanceGrid</CreatedView>"
            "<Note>cd</Note></DATABASE_ComputeDistanceRecord>"
            "<DATABASE_InverseRecord ID=\"0x23\" rec=\"db_Inverse\" TimeStamp=\"45000.8\">"
            "<InverseType>DBENTITY_CogoComputeAzimuth</InverseType><TargetPoint>B</TargetPoint>"
            "<Result><SourcePoint>A</SourcePoint><CreatedView>COORDSYS_CogoAzimuthGrid</CreatedView>"
            "<Polar><Azimuth>0.75</Azimuth><HDist>100.25</HDist><VDist>-1.5</VDist></Polar></Result>"
            "<SlopeDistance>100.26</SlopeDistance><Grade>-0.015</Grade></DATABASE_InverseRecord>"
            "<DATABASE_PointKeyinRecord ID=\"0x24\" rec=\"db_PointKeyin\" TimeStamp=\"45000.9\">"
            "<Method>DBENTITY_FourPointInter</Method><PointOne>A</PointOne><PointTwo>B</PointTwo>"
            "<PointThree>C</PointThree><PointFour>D</PointFour><AzimuthOne>0.1</AzimuthOne>"
            "<DistanceOne>5</DistanceOne><VOffset>0.5</VOffset><DistanceTwo>6</DistanceTwo>"
            "<CreatedView>COORDSYS_CogoDistanceLocal</CreatedView>"
            "<BearingDistanceAzimuthType>DBENTITY_OriginTrue</BearingDistanceAzimuthType>"
            "<DirectionAlongLine>DBENTITY_InFromEnd</DirectionAlongLine>"
            "<VerticalPlaneIntersectionStation>0x20</VerticalPlaneIntersectionStation>"
            "<VerticalPlaneIntersectionBackBearing>0x99</VerticalPlaneIntersectionBackBearing>"
            "<VerticalPlaneIntersectionRay><HorzCircle>1.5</HorzCircle><VertCircle>1.4</VertCircle>"
            "<EDMDistance>25</EDMDistance><Face>COORD_Face2</Face></VerticalPlaneIntersectionRay>"
            "</DATABASE_PointKeyinRecord>");


    auto ellipsoids = Appended<db_Ellipsoid>();
    ASSERT_EQ(ellipsoids.size(), 1u);
    const db_Ellipsoid& e = *ellipsoids[0];
    EXPECT_EQ(e.GetTimeStamp(), 45000.5);
    EXPECT_EQ(S(e.GetNotes()), "datum\r\n");
    EXPECT_EQ(e.Derivation, 'K' | ('I' << 8));
    EXPECT_EQ(e.Ellipsoid.EarthRadius, 6378137.0);
    EXPECT_EQ(e.Ellipsoid.Flattening, 0.0033528106647474805);

    auto azimuths = Appended<db_ComputeAzimuth>();
    ASSERT_EQ(azimuths.size(), 1u);
    const db_ComputeAzimuth& a = *azimuths[0];
    EXPECT_EQ(a.GetTimeStamp(), 45000.6);
    EXPECT_EQ(a.AzimuthMethod, 2);
    EXPECT_EQ(S(a.Point1), "A");
    EXPECT_EQ(S(a.Point2), "B");
    EXPECT_EQ(S(a.CornerPoint), "C");
    EXPECT_EQ(a.Azimuth1, 0.5);
    EXPECT_TRUE(maths_IsNull(a.Azimuth2));
    EXPECT_EQ(a.TurnedAngle, 0.7);
    EXPECT_EQ(S(a.ReferenceLinearEntity), "L9");
    EXPECT_TRUE(a.ReferenceLineDefinedByTwoPoints);
    EXPECT_EQ(S(a.ReferenceLinePoint1Name), "R1");
    EXPECT_EQ(S(a.ReferenceLinePoint2Name), "R2");
    EXPECT_TRUE(maths_IsNull(a.Stationing));
    EXPECT_EQ(a.Offset, -0.5);
    EXPECT_EQ(a.ComputedAzimuth, 1.25);
    EXPECT_EQ(a.CreatedView.Value(), 0x4);

    auto distances = Appended<db_ComputeDistance>();
    ASSERT_EQ(distances.size(), 1u);
    const db_ComputeDistance& d = *distances[0];
    EXPECT_EQ(S(d.GetNotes()), "cd\r\n");
    EXPECT_EQ(d.DistanceMethod, 1);
    EXPECT_EQ(S(d.Point1), "A");
    EXPECT_EQ(S(d.Point2), "B");
    EXPECT_EQ(S(d.ReferenceLinearEntity), "L1");
    EXPECT_FALSE(d.ReferenceLineDefinedByTwoPoints);
    EXPECT_EQ(S(d.ReferenceLinePoint1Name), "Q1");
    EXPECT_EQ(S(d.ReferenceLinePoint2Name), "Q2");
    EXPECT_EQ(d.DistanceAlong, 3.5);
    EXPECT_EQ(d.ComputedDistance, 12.75);
    EXPECT_EQ(d.CreatedView.Value(), 0x20);

    // A current export's inverse is an inverse whatever its "InverseType".
    auto inverses = Appended<db_Inverse>();
    ASSERT_EQ(inverses.size(), 1u);
    const db_Inverse& i = *inverses[0];
    EXPECT_EQ(i.GetTimeStamp(), 45000.8);
    EXPECT_EQ(S(i.TargetPoint), "B");
    EXPECT_EQ(S(i.Result.SourcePoint), "A");
    EXPECT_EQ(i.Result.CreatedView.Value(), 0x4);
    EXPECT_EQ(i.Result.Polar.Azimuth, 0.75);
    EXPECT_EQ(i.Result.Polar.HDist, 100.25);
    EXPECT_EQ(i.Result.Polar.VDist, -1.5);
    EXPECT_EQ(i.SlopeDistance, 100.26);
    EXPECT_EQ(i.Grade, -0.015);

    // The keyed-in point is appended with XML IDs and replaced by the second pass with
    // record ids: the station is the ellipsoid's, the unknown back bearing none.
    auto keyins = Appended<db_PointKeyin>();
    ASSERT_EQ(keyins.size(), 1u);
    const db_PointKeyin& k = *keyins[0];
    EXPECT_EQ(k.VerticalPlaneIntersectionStation, DBID(0x20));
    EXPECT_EQ(k.VerticalPlaneIntersectionBackBearing, DBID(0x99));
    const Entry* replaced = nullptr;
    for (const Entry& entry : journal)
        if (entry.operation == DBMODEL_Replace && entry.record && db_PointKeyin::Cast(entry.record.get()))
            replaced = &entry;
    ASSERT_NE(replaced, nullptr);
    EXPECT_EQ(replaced->target, k.GetRecordId());
    const db_PointKeyin& fixed = *db_PointKeyin::Cast(replaced->record.get());
    EXPECT_EQ(fixed.VerticalPlaneIntersectionStation, e.GetRecordId());
    EXPECT_EQ(fixed.VerticalPlaneIntersectionBackBearing, NODBID);
    EXPECT_EQ(fixed.Method, 2);
    EXPECT_EQ(S(fixed.PointOne), "A");
    EXPECT_EQ(S(fixed.PointTwo), "B");
    EXPECT_EQ(S(fixed.PointThree), "C");
    EXPECT_EQ(S(fixed.PointFour), "D");
    EXPECT_EQ(fixed.AzimuthOne, 0.1);
    EXPECT_EQ(fixed.DistanceOne, 5.0);
    EXPECT_TRUE(maths_IsNull(fixed.AzimuthTwo));
    EXPECT_EQ(fixed.DistanceTwo, 6.0);
    EXPECT_EQ(fixed.CreatedView.Value(), 0x10);
    EXPECT_TRUE(maths_IsNull(fixed.TurnedAngle));
    EXPECT_EQ(fixed.VOffset, 0.5);
    EXPECT_EQ(fixed.BearingDistanceAzimuthType, 0);
    EXPECT_EQ(fixed.DirectionAlongLine, 2);
    EXPECT_EQ(fixed.VerticalPlaneIntersectionRay.HorzCircle, 1.5);
    EXPECT_EQ(fixed.VerticalPlaneIntersectionRay.VertCircle, 1.4);
    EXPECT_EQ(fixed.VerticalPlaneIntersectionRay.EDMDistance, 25.0);
    EXPECT_EQ(fixed.VerticalPlaneIntersectionRay.Face, 2);
    EXPECT_EQ(fixed.GetTimeStamp(), 45000.9);

    // The other records of this family hold no references: nothing else is replaced.
    for (const Entry& entry : journal) {
        if (entry.operation == DBMODEL_Replace && entry.record) {
            EXPECT_NE(db_PointKeyin::Cast(entry.record.get()), nullptr) << entry.record->GetType();
        }
    }
}

TEST_F(CogoConversion, LinesAndArcsOfACurrentExport) {
    ConvertAndRead(kCurrent,
        "<DATABASE_LineRecord ID=\"0x25\" rec=\"db_Line\" TimeStamp=\"45001\"><LineId>L1</LineId>"
            "<Derivation>CO</Derivation><Method>DBENTITY_BrngDistLine</Method><Deleted>false</Deleted>"
            "<OriginPoint>A</OriginPoint><TargetPoint>B</TargetPoint><BearingLength>10.5</BearingLength>"
            "<BearingAzimuth>0.3</BearingAzimuth><BearingGrade>0.01</BearingGrade>"
            "<Descriptions><Description1>edge</Description1><Description2>kerb</Description2></Descriptions>"
            "<Note>line</Note><DATABASE_FeaturesRecord FeatureCount=\"1\" rec=\"FeatureArray\">"
            "<Feature Name=\"KERB\" AttributeCount=\"0\"/></DATABASE_FeaturesRecord></DATABASE_LineRecord>"
            "<DATABASE_NoteRecord ID=\"0x29\" rec=\"db_Note\"><Note>on the line</Note></DATABASE_NoteRecord>"
            "<DATABASE_EndEntityRecord ID=\"0x26\" rec=\"db_EndEntity\" TimeStamp=\"45001.1\"/>"
            "<DATABASE_ArcRecord ID=\"0x27\" rec=\"db_Arc\" TimeStamp=\"45001.2\"><ArcName>R1</ArcName>"
            "<Derivation>KI</Derivation><Method>DBENTITY_ThreePoints</Method><Point1>A</Point1>"
            "<Point2>B</Point2><Point3>C</Point3><Direction>DBENTITY_LeftHand</Direction>"
            "<Radius>50</Radius><TangentAtStart>0.2</TangentAtStart><BackwardTangent>3.34</BackwardTangent>"
            "<Length>160</Length><ScribedAngle>3.2</ScribedAngle><Chord>99.9</Chord><Tangent>2000</Tangent>"
            "<Grade>0.001</Grade><Classification>DBENTITY_DeletedNormal</Classification></DATABASE_ArcRecord>"
            "<DATABASE_EndEntityRecord ID=\"0x28\" rec=\"db_EndEntity\" TimeStamp=\"45001.3\"/>");

    auto lines = Appended<db_Line>();
    ASSERT_EQ(lines.size(), 1u);
    const db_Line& l = *lines[0];
    EXPECT_EQ(l.GetTimeStamp(), 45001.0);
    EXPECT_EQ(S(l.GetNotes()), "line\r\n");
    EXPECT_EQ(S(l.LineId), "L1");
    EXPECT_EQ(l.Derivation, 'C' | ('O' << 8));
    EXPECT_EQ(l.Method, db_Line::BrngDistLine);
    EXPECT_FALSE(l.Deleted);
    EXPECT_EQ(S(l.OriginPoint), "A");
    EXPECT_EQ(S(l.TargetPoint), "B");
    EXPECT_EQ(l.BearingLength, 10.5);
    EXPECT_EQ(l.BearingAzimuth, 0.3);
    EXPECT_EQ(l.BearingGrade, 0.01);
    EXPECT_EQ(S(l.GetDescriptions().Description1), "edge");
    EXPECT_EQ(S(l.GetDescriptions().Description2), "kerb");

    auto arcs = Appended<db_Arc>();
    ASSERT_EQ(arcs.size(), 1u);
    const db_Arc& r = *arcs[0];
    EXPECT_EQ(S(r.ArcName), "R1");
    EXPECT_EQ(r.Method, 5);
    EXPECT_EQ(S(r.Point1), "A");
    EXPECT_EQ(S(r.Point2), "B");
    EXPECT_EQ(S(r.Point3), "C");
    EXPECT_EQ(r.Direction, db_Arc::LeftHand);
    EXPECT_EQ(r.Radius, 50.0);
    EXPECT_EQ(r.TangentAtStart, 0.2);
    EXPECT_EQ(r.BackwardTangent, 3.34);
    EXPECT_EQ(r.Length, 160.0);
    EXPECT_EQ(r.ScribedAngle, 3.2);
    EXPECT_EQ(r.Chord, 99.9);
    EXPECT_EQ(r.Tangent, 2000.0);
    EXPECT_EQ(r.Grade, 0.001);
    EXPECT_TRUE(r.LargeArc);  // no "LargeArc": the angle is over pi
    EXPECT_TRUE(r.Deleted);   // from the older classification name


    // Each is the open entity until its end: its features and a note inside it are
    // applied to it.
    struct Step {
        int operation;
        int type;
        DBID target;
    };
    const Step expected[] = {
        {DBMODEL_Append, DATABASE_LineRecord, NODBID},
        {DBMODEL_Apply, DATABASE_FeaturesActionRecord, l.GetRecordId()},
        {DBMODEL_Append, DATABASE_EndEntityRecord, NODBID},
        {DBMODEL_Apply, DATABASE_NoteRecord, l.GetRecordId()},
        {DBMODEL_Append, DATABASE_ArcRecord, NODBID},
        {DBMODEL_Append, DATABASE_EndEntityRecord, NODBID},
    };
    size_t first = 0;
    while (first < journal.size() && !(journal[first].record && db_Line::Cast(journal[first].record.get()))) ++first;
    ASSERT_EQ(journal.size(), first + std::size(expected));
    for (size_t n = 0; n < std::size(expected); ++n) {
        SCOPED_TRACE(n);
        const Entry& entry = journal[first + n];
        EXPECT_EQ(entry.operation, expected[n].operation);
        ASSERT_TRUE(entry.record);
        EXPECT_EQ(entry.record->GetType(), expected[n].type);
        if (expected[n].operation == DBMODEL_Apply) {
            EXPECT_EQ(entry.target, expected[n].target);
        }
    }
    const db_Features* features = db_Features::Cast(journal[first + 1].record.get());
    ASSERT_TRUE(features);
    ASSERT_EQ(features->Features.Count(), 1);
    EXPECT_EQ(S(features->Features.GetAt(0).GetCode()), "KERB");
    EXPECT_EQ(S(journal[first + 3].record->GetNotes()), "on the line\r\n");
}

TEST_F(CogoConversion, LineBearingNamesByVersion) {
    const std::string line =
        "<DATABASE_LineRecord ID=\"0x1\" rec=\"db_Line\"><LineId>L</LineId><Method>DBENTITY_TwoPoints</Method>"
        "<Deleted>false</Deleted><Length>1.5</Length><Azimuth>2.5</Azimuth><Grade>3.5</Grade></DATABASE_LineRecord>";
    struct {
        const char* root;
        bool older;
    } cases[] = {
        {"product=\"Quorvel Zentrovane\" version=\"1099\"", true},
        {"product=\"Quorvel Zentrovane\" version=\"1100\"", false},
        {"product=\"Quorvel Tessaline\" version=\"499\"", true},
        {"product=\"Quorvel Tessaline\" version=\"500\"", false},
        {"product=\"Quorvel Zentrovane\"", true},  // no version: the oldest layout
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.root);
        ConvertAndRead(c.root, line);
        auto lines = Appended<db_Line>();
        ASSERT_EQ(lines.size(), 1u);
        if (c.older) {
            EXPECT_EQ(lines[0]->BearingLength, 1.5);
            EXPECT_EQ(lines[0]->BearingAzimuth, 2.5);
            EXPECT_EQ(lines[0]->BearingGrade, 3.5);
        } else {
            EXPECT_TRUE(maths_IsNull(lines[0]->BearingLength));
            EXPECT_TRUE(maths_IsNull(lines[0]->BearingAzimuth));
            EXPECT_TRUE(maths_IsNull(lines[0]->BearingGrade));
        }
    }
}

TEST_F(CogoConversion, ArcPointNamesByVersion) {
    const std::string arc =
        "<DATABASE_ArcRecord ID=\"0x1\" rec=\"db_Arc\"><Method>DBENTITY_ThreePoints</Method>"
        "<Point1>n1</Point1><Point2>n2</Point2><Point3>n3</Point3><StartPoint>s</StartPoint>"
        "<EndPoint>e</EndPoint><CenterPoint>c</CenterPoint><Direction>DBENTITY_RightHand</Direction>"
        "<ScribedAngle>3.0</ScribedAngle><Deleted>false</Deleted></DATABASE_ArcRecord>";
    struct {
        const char* root;
        bool older;
    } cases[] = {
        {"product=\"Quorvel Zentrovane\" version=\"1239\"", true},
        {"product=\"Quorvel Zentrovane\" version=\"1240\"", false},
        {"product=\"Quorvel Tessaline\" version=\"599\"", true},
        {"product=\"Quorvel Tessaline\" version=\"600\"", false},
        {"", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.root);
        ConvertAndRead(c.root, arc);
        auto arcs = Appended<db_Arc>();
        ASSERT_EQ(arcs.size(), 1u);
        EXPECT_EQ(S(arcs[0]->Point1), c.older ? "s" : "n1");
        EXPECT_EQ(S(arcs[0]->Point2), c.older ? "e" : "n2");
        EXPECT_EQ(S(arcs[0]->Point3), c.older ? "c" : "n3");
        EXPECT_FALSE(arcs[0]->LargeArc);
    }
}

TEST_F(CogoConversion, OlderInverseLayoutsByVersion) {
    const std::string azimuth =
        "<DATABASE_InverseRecord ID=\"0x1\" rec=\"db_Inverse\" TimeStamp=\"7\"><Note>old</Note>"
        "<InverseType>DBENTITY_CogoComputeAzimuth</InverseType><AzimuthMethod>DBENTITY_BisectedCorner"
        "</AzimuthMethod><Entity1>e1</Entity1><Entity2>e2</Entity2><Entity3>e3</Entity3>"
        "<Result><CreatedView>COORDSYS_CogoAzimuthGrid</CreatedView></Result>"
        "<ComputedAzimuth>0.5</ComputedAzimuth></DATABASE_InverseRecord>";
    const std::string distance =
        "<DATABASE_InverseRecord ID=\"0x2\" rec=\"db_Inverse\"><InverseType>DBENTITY_CogoComputeDistance"
        "</InverseType><DistanceMethod>DBENTITY_BetweenPointAndArc</DistanceMethod><Entity1>e1</Entity1>"
        "<Entity2>R1</Entity2><ComputedDistance>4.25</ComputedDistance></DATABASE_InverseRecord>";
    struct {
        const char* root;
        bool older;
    } cases[] = {
        {"product=\"Quorvel Zentrovane\" version=\"1\"", true},
        {"product=\"Quorvel Zentrovane\" version=\"1050\"", true},
        {"product=\"Quorvel Zentrovane\" version=\"1099\"", true},
        {"product=\"Quorvel Zentrovane\" version=\"1100\"", false},
        {"product=\"Quorvel Zentrovane\"", false},               // no version
        {"product=\"Quorvel Tessaline\" version=\"499\"", false},  // never the second product
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.root);
        ConvertAndRead(c.root, azimuth + distance);
        auto azimuths = Appended<db_ComputeAzimuth>();
        auto distances = Appended<db_ComputeDistance>();
        auto inverses = Appended<db_Inverse>();
        if (!c.older) {
            EXPECT_TRUE(azimuths.empty());
            EXPECT_TRUE(distances.empty());
            ASSERT_EQ(inverses.size(), 2u);
            // Read as an inverse, these elements have no result group: a null result.
            EXPECT_TRUE(inverses[0]->Result.Polar.IsNull());
            EXPECT_EQ(S(inverses[0]->GetNotes()), "old\r\n");
            continue;
        }
        EXPECT_TRUE(inverses.empty());
        ASSERT_EQ(azimuths.size(), 1u);
        ASSERT_EQ(distances.size(), 1u);
        const db_ComputeAzimuth& a = *azimuths[0];
        EXPECT_EQ(a.GetTimeStamp(), 7.0);
        EXPECT_EQ(S(a.GetNotes()), "");  // the older layout keeps no notes
        EXPECT_EQ(a.AzimuthMethod, 2);
        EXPECT_EQ(S(a.Point1), "e1");
        EXPECT_EQ(S(a.CornerPoint), "e2");
        EXPECT_EQ(S(a.Point2), "e3");
        EXPECT_EQ(a.ComputedAzimuth, 0.5);
        EXPECT_EQ(a.CreatedView.Value(), 0x4);
        const db_ComputeDistance& d = *distances[0];
        EXPECT_EQ(d.DistanceMethod, 2);
        EXPECT_EQ(S(d.Point1), "e1");
        EXPECT_EQ(S(d.ReferenceLinearEntity), "R1");
        EXPECT_EQ(d.ComputedDistance, 4.25);
        EXPECT_EQ(d.CreatedView.Value(), db_ComputeDistance().CreatedView.Value());
    }
}

TEST_F(CogoConversion, RefusedElementsFailTheConversion) {
    const char* kOld = "product=\"Quorvel Zentrovane\" version=\"1050\"";
    struct {
        const char* root;
        std::string element;
    } cases[] = {
        // The older inverse layouts still expect "db_Inverse".
        {kOld, "<DATABASE_InverseRecord ID=\"0x1\" rec=\"db_ComputeAzimuth\"><InverseType>DBENTITY_CogoComputeAzimuth"
               "</InverseType><AzimuthMethod>DBENTITY_TwoPointAzimuth</AzimuthMethod></DATABASE_InverseRecord>"},
        {kCurrent, "<DATABASE_LineRecord ID=\"0x1\"><Method>DBENTITY_TwoPoints</Method><Deleted>false</Deleted>"
                   "</DATABASE_LineRecord>"},
        {kCurrent, "<DATABASE_ArcRecord ID=\"0x1\" rec=\"db_Arc\"><Method>DBENTITY_ThreePoints</Method>"
                   "<Direction>DBENTITY_RightHand</Direction><Classification>Normal</Classification>"
                   "</DATABASE_ArcRecord>"},
        {kCurrent, "<DATABASE_EllipsoidRecord ID=\"0x1\" rec=\"db_Ellipsoid\"><Derivation>K</Derivation>"
                   "</DATABASE_EllipsoidRecord>"},
        {kCurrent, "<DATABASE_PointKeyinRecord ID=\"0x1\" rec=\"db_PointKeyin\"><VerticalPlaneIntersectionStation>"
                   "12</VerticalPlaneIntersectionStation></DATABASE_PointKeyinRecord>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.element);
        EXPECT_EQ(Convert(c.root, c.element), 2);
        EXPECT_FALSE(std::filesystem::exists(jobPath));
    }
}

TEST_F(CogoConversion, AbsentGroupsConvertAsNull) {
    ConvertAndRead(kCurrent,
                   "<DATABASE_EllipsoidRecord ID=\"0x1\" rec=\"db_Ellipsoid\"/>"
                   "<DATABASE_InverseRecord ID=\"0x2\" rec=\"db_Inverse\"><TargetPoint>T</TargetPoint>"
                   "</DATABASE_InverseRecord>");
    auto ellipsoids = Appended<db_Ellipsoid>();
    ASSERT_EQ(ellipsoids.size(), 1u);
    EXPECT_TRUE(maths_IsNull(ellipsoids[0]->Ellipsoid.EarthRadius));
    EXPECT_TRUE(maths_IsNull(ellipsoids[0]->Ellipsoid.Flattening));
    EXPECT_EQ(ellipsoids[0]->Derivation, 0x2020);
    auto inverses = Appended<db_Inverse>();
    ASSERT_EQ(inverses.size(), 1u);
    EXPECT_TRUE(inverses[0]->Result.Polar.IsNull());
    EXPECT_EQ(S(inverses[0]->Result.SourcePoint), "");
    EXPECT_TRUE(maths_IsNull(inverses[0]->SlopeDistance));
}

// An older export as the field software wrote it: older child names, the inverse
// element carrying computations, features written for every entity, and a keyed-in
// point that refers to an arc and a line by their XML IDs.
TEST_F(CogoConversion, OlderExportFixture) {
    const std::string xml = std::string(QZ_FIXTURES_DIR) + "/import/cogo_1050.xml";
    jobPath = folder / "cogo_1050.job";
    ASSERT_EQ(ImportQZXMLFile(xml.c_str(), jobPath.c_str(), nullptr), 0);
    journal = ReadJournal(jobPath);

    size_t first = 0;
    while (first < journal.size() && !(journal[first].record && db_Ellipsoid::Cast(journal[first].record.get())))
        ++first;
    const int expected[][2] = {
        {DBMODEL_Append, DATABASE_EllipsoidRecord},
        {DBMODEL_Append, DATABASE_LineRecord},
        {DBMODEL_Apply, DATABASE_FeaturesActionRecord},
        {DBMODEL_Append, DATABASE_EndEntityRecord},
        {DBMODEL_Append, DATABASE_ArcRecord},
        {DBMODEL_Apply, DATABASE_FeaturesActionRecord},
        {DBMODEL_Append, DATABASE_EndEntityRecord},
        {DBMODEL_Append, DATABASE_ComputeAzimuthRecord},
        {DBMODEL_Append, DATABASE_ComputeDistanceRecord},
        {DBMODEL_Append, DATABASE_InverseRecord},
        {DBMODEL_Append, DATABASE_PointKeyinRecord},
        {DBMODEL_Replace, DATABASE_PointKeyinRecord},  // the second pass
    };
    ASSERT_EQ(journal.size(), first + std::size(expected));
    for (size_t n = 0; n < std::size(expected); ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(journal[first + n].operation, expected[n][0]);
        ASSERT_TRUE(journal[first + n].record);
        EXPECT_EQ(journal[first + n].record->GetType(), expected[n][1]);
    }

    const db_Line& line = *db_Line::Cast(journal[first + 1].record.get());
    EXPECT_EQ(S(line.LineId), "Kerb 1");
    EXPECT_EQ(line.BearingLength, 25.5);
    EXPECT_EQ(line.BearingAzimuth, 1.5707963267948966);
    EXPECT_EQ(line.BearingGrade, -0.02);
    EXPECT_FALSE(line.Deleted);
    EXPECT_EQ(line.GetTimeStamp(), 1291900002.0);
    const db_Arc& arc = *db_Arc::Cast(journal[first + 4].record.get());
    EXPECT_EQ(S(arc.Point1), "2");
    EXPECT_EQ(S(arc.Point2), "3");
    EXPECT_EQ(S(arc.Point3), "4");
    EXPECT_TRUE(arc.Deleted);
    EXPECT_FALSE(arc.LargeArc);
    EXPECT_TRUE(maths_IsNull(arc.Chord));
    const db_ComputeAzimuth& azimuth = *db_ComputeAzimuth::Cast(journal[first + 7].record.get());
    EXPECT_EQ(azimuth.AzimuthMethod, 4);
    EXPECT_EQ(S(azimuth.ReferenceLinearEntity), "Kerb 1");
    EXPECT_EQ(azimuth.Stationing, 12.5);
    EXPECT_EQ(azimuth.Offset, -3.0);
    EXPECT_EQ(azimuth.ComputedAzimuth, 0.25);
    EXPECT_EQ(azimuth.CreatedView.Value(), 0x4);
    const db_ComputeDistance& distance = *db_ComputeDistance::Cast(journal[first + 8].record.get());
    EXPECT_EQ(S(distance.Point1), "1");
    EXPECT_EQ(S(distance.Point2), "3");
    EXPECT_EQ(distance.ComputedDistance, 48.75);
    const db_Inverse& inverse = *db_Inverse::Cast(journal[first + 9].record.get());
    EXPECT_EQ(S(inverse.TargetPoint), "3");
    EXPECT_EQ(S(inverse.Result.SourcePoint), "1");
    EXPECT_EQ(inverse.Result.CreatedView.Value(), 0x24);
    EXPECT_EQ(inverse.Result.Polar.HDist, 48.75);
    EXPECT_EQ(inverse.SlopeDistance, 48.766);

    // References name the line and the arc by their record ids after the second pass.
    const Entry& fixedEntry = journal[first + 11];
    const db_PointKeyin& fixed = *db_PointKeyin::Cast(fixedEntry.record.get());
    EXPECT_EQ(fixedEntry.target, journal[first + 10].record->GetRecordId());
    EXPECT_EQ(fixed.VerticalPlaneIntersectionStation, arc.GetRecordId());
    EXPECT_EQ(fixed.VerticalPlaneIntersectionBackBearing, line.GetRecordId());
    EXPECT_EQ(S(fixed.PointFour), "4");
}

}  // namespace
