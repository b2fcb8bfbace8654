// The coordinate geometry element readers: every field from its child, the older
// child names, the deleted flag rule, the large-arc default, the inverse layouts and
// the messages of refused children in field order.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "foundation/coords/coord.h"
#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "foundation/xml/reader.h"
#include "import/writejob.h"
#include "import/writejob_cogo.h"
#include "records/cogo.h"
#include "records/coordsysdefs.h"
#include "records/entities.h"
#include "records/stakeoutsettings.h"
#include "support/temp_folder.h"
#include "support/thrown.h"
#include "vocabulary/dbField.h"

namespace {

class WriteJobCogo : public ::testing::Test {
protected:
    // The element of an XML text, read by the export reader.
    std::unique_ptr<xml_Element> Element(const std::string& body) {
        const std::string path = folder.Write("element.xml", "<?xml version=\"1.0\"?>\n" + body);
        xml_ElementReader reader;
        EXPECT_TRUE(reader.Open(Str(path.c_str())));
        std::unique_ptr<xml_Element> element(reader.ReadElement());
        reader.Close();
        return element;
    }

    TempFolder folder;
};

std::string S(const Str& text) { return text.Data(); }

constexpr const char* kLine =
    "<DATABASE_LineRecord ID=\"0x10\" rec=\"db_Line\" TimeStamp=\"1000\">"
    "<Note>first</Note><LineId>L1</LineId><Derivation>KI</Derivation><Method>DBENTITY_BrngDistLine</Method>"
    "<Deleted>false</Deleted><OriginPoint>P1</OriginPoint><TargetPoint>P2</TargetPoint>"
    "<BearingLength>12.5</BearingLength><BearingAzimuth>0.75</BearingAzimuth><BearingGrade>-0.01</BearingGrade>"
    "<Length>99</Length><Azimuth>98</Azimuth><Grade>97</Grade>"
    "<Descriptions><Description1>kerb</Description1><Description2>new</Description2></Descriptions>"
    "<Note>second</Note></DATABASE_LineRecord>";

TEST_F(WriteJobCogo, LineFieldsAndBearingNames) {
    auto element = Element(kLine);
    db_Line line;
    writejob_ReadLineRecord(element.get(), true, line);
    EXPECT_EQ(S(line.GetNotes()), "first\r\nsecond\r\n");
    EXPECT_EQ(S(line.LineId), "L1");
    EXPECT_EQ(line.Derivation, 'K' | ('I' << 8));
    EXPECT_EQ(line.Method, db_Line::BrngDistLine);
    EXPECT_FALSE(line.Deleted);
    EXPECT_EQ(S(line.OriginPoint), "P1");
    EXPECT_EQ(S(line.TargetPoint), "P2");
    EXPECT_EQ(line.BearingLength, 12.5);
    EXPECT_EQ(line.BearingAzimuth, 0.75);
    EXPECT_EQ(line.BearingGrade, -0.01);
    EXPECT_EQ(S(line.GetDescriptions().Description1), "kerb");
    EXPECT_EQ(S(line.GetDescriptions().Description2), "new");

    db_Line older;
    writejob_ReadLineRecord(element.get(), false, older);
    EXPECT_EQ(older.BearingLength, 99.0);
    EXPECT_EQ(older.BearingAzimuth, 98.0);
    EXPECT_EQ(older.BearingGrade, 97.0);

    // Newer names asked of an export that wrote only the older ones: null, not 0.
    auto onlyOld = Element(
        "<L><Method>DBENTITY_TwoPoints</Method><Deleted>false</Deleted><Length>1</Length><Azimuth>2</Azimuth>"
        "<Grade>3</Grade></L>");
    db_Line nulls;
    writejob_ReadLineRecord(onlyOld.get(), true, nulls);
    EXPECT_TRUE(maths_IsNull(nulls.BearingLength));
    EXPECT_TRUE(maths_IsNull(nulls.BearingAzimuth));
    EXPECT_TRUE(maths_IsNull(nulls.BearingGrade));
    EXPECT_EQ(nulls.Derivation, dbField_BlankDerivation);  // absent: two blanks
    EXPECT_EQ(S(nulls.GetDescriptions().Description1), "");
}

TEST_F(WriteJobCogo, DeletedFlagRule) {
    struct {
        const char* children;
        bool deleted;
        std::string message;
    } cases[] = {
        {"<Deleted>TRUE</Deleted><Classification>DBENTITY_Normal</Classification>", true, ""},
        {"<Deleted>false</Deleted><Classification>DBENTITY_DeletedNormal</Classification>", false, ""},
        {"<Deleted/><Classification>DBENTITY_Normal</Classification>", false, ""},
        {"<Deleted></Deleted><Classification>DBENTITY_DeletedControl</Classification>", true, ""},
        {"<Classification>DBENTITY_DeletedCheck</Classification>", true, ""},
        {"<Deleted>yes</Deleted>", false, Invalid("bool", "Deleted", "yes")},
        {"<Classification>Normal</Classification>", false,
         Invalid("load_legacy_dbentity_Classification", "Classification", "Normal")},
        {"", false, Invalid("load_legacy_dbentity_Classification", "Classification", "")},
    };
    for (const auto& c : cases) {
        auto element = Element(std::string("<L>") + c.children + "</L>");
        bool deleted = !c.deleted;
        EXPECT_EQ(Thrown([&] { deleted = writejob_ReadDeleted(element.get()); }), c.message) << c.children;
        if (c.message.empty()) {
            EXPECT_EQ(deleted, c.deleted) << c.children;
        }
    }
}

TEST_F(WriteJobCogo, RefusedChildrenInFieldOrder) {
    struct {
        const char* children;
        std::string message;
    } cases[] = {
        // The derivation comes before the method, the method before the deleted flag.
        {"<Method>bad</Method><Derivation>X</Derivation><Deleted>maybe</Deleted>",
         "Derivation code is not 2 characters"},
        {"<Method>bad</Method><Deleted>maybe</Deleted>", Invalid("dbentity_LineMethod", "Method", "bad")},
        {"<Deleted>maybe</Deleted>", Invalid("dbentity_LineMethod", "Method", "")},
        {"<Method>DBENTITY_TwoPoints</Method><Deleted>maybe</Deleted>", Invalid("bool", "Deleted", "maybe")},
    };
    for (const auto& c : cases) {
        auto element = Element(std::string("<L>") + c.children + "</L>");
        db_Line line;
        EXPECT_EQ(Thrown([&] { writejob_ReadLineRecord(element.get(), true, line); }), c.message) << c.children;
    }
    auto arc = Element("<A><Method>DBENTITY_ThreePoints</Method><Direction>Left</Direction></A>");
    db_Arc record;
    EXPECT_EQ(Thrown([&] { writejob_ReadArcRecord(arc.get(), true, record); }),
              Invalid("dbentity_ArcDirection", "Direction", "Left"));
}

TEST_F(WriteJobCogo, ArcFieldsAndPointNames) {
    auto element = Element(
        "<DATABASE_ArcRecord><ArcName>A7</ArcName><Derivation>CO</Derivation>"
        "<Method>DBENTITY_TwoPointsAndCentrePoint</Method>"
        "<Point1>n1</Point1><Point2>n2</Point2><Point3>n3</Point3>"
        "<StartPoint>s</StartPoint><EndPoint>e</EndPoint><CenterPoint>c</CenterPoint>"
        "<Direction>DBENTITY_LeftHand</Direction><Radius>50</Radius><TangentAtStart>1.5</TangentAtStart>"
        "<BackwardTangent>4.6</BackwardTangent><Length>78.5</Length><ScribedAngle>1.57</ScribedAngle>"
        "<Chord>70.7</Chord><Tangent>50.1</Tangent><Grade>0.02</Grade><Deleted>true</Deleted>"
        "<Descriptions><Description1>d1</Description1></Descriptions><Note>n</Note></DATABASE_ArcRecord>");
    db_Arc arc;
    writejob_ReadArcRecord(element.get(), true, arc);
    EXPECT_EQ(S(arc.GetNotes()), "n\r\n");
    EXPECT_EQ(S(arc.ArcName), "A7");
    EXPECT_EQ(arc.Derivation, 'C' | ('O' << 8));
    EXPECT_EQ(arc.Method, 4);
    EXPECT_EQ(S(arc.Point1), "n1");
    EXPECT_EQ(S(arc.Point2), "n2");
    EXPECT_EQ(S(arc.Point3), "n3");
    EXPECT_EQ(arc.Direction, db_Arc::LeftHand);
    EXPECT_EQ(arc.Radius, 50.0);
    EXPECT_EQ(arc.TangentAtStart, 1.5);
    EXPECT_EQ(arc.BackwardTangent, 4.6);
    EXPECT_EQ(arc.Length, 78.5);
    EXPECT_EQ(arc.ScribedAngle, 1.57);
    EXPECT_EQ(arc.Chord, 70.7);
    EXPECT_EQ(arc.Tangent, 50.1);
    EXPECT_EQ(arc.Grade, 0.02);
    EXPECT_FALSE(arc.LargeArc);
    EXPECT_TRUE(arc.Deleted);
    EXPECT_EQ(S(arc.GetDescriptions().Description1), "d1");
    EXPECT_EQ(S(arc.GetDescriptions().Description2), "");

    db_Arc older;
    writejob_ReadArcRecord(element.get(), false, older);
    EXPECT_EQ(S(older.Point1), "s");
    EXPECT_EQ(S(older.Point2), "e");
    EXPECT_EQ(S(older.Point3), "c");
}

TEST_F(WriteJobCogo, LargeArcDefaultFollowsTheScribedAngle) {
    struct {
        const char* children;
        bool largeArc;
        std::string message;
    } cases[] = {
        {"<ScribedAngle>3.2</ScribedAngle>", true, ""},
        {"<ScribedAngle>3.0</ScribedAngle>", false, ""},
        {"<ScribedAngle>3.141592653589793</ScribedAngle>", false, ""},
        {"", true, ""},  // no angle: null, which counts as greater than pi
        {"<ScribedAngle/>", true, ""},
        {"<ScribedAngle>3.2</ScribedAngle><LargeArc>False</LargeArc>", false, ""},
        {"<ScribedAngle>1</ScribedAngle><LargeArc>true</LargeArc>", true, ""},
        {"<ScribedAngle>1</ScribedAngle><LargeArc/>", false, Invalid("bool", "LargeArc", "")},
    };
    for (const auto& c : cases) {
        auto element = Element(std::string("<A><Method>DBENTITY_ThreePoints</Method>"
                                           "<Direction>DBENTITY_RightHand</Direction><Deleted>false</Deleted>") +
                               c.children + "</A>");
        db_Arc arc;
        EXPECT_EQ(Thrown([&] { writejob_ReadArcRecord(element.get(), true, arc); }), c.message) << c.children;
        if (c.message.empty()) {
            EXPECT_EQ(arc.LargeArc, c.largeArc) << c.children;
        }
    }
}

TEST_F(WriteJobCogo, EllipsoidGroup) {
    auto element = Element(
        "<DATABASE_EllipsoidRecord><Derivation>KI</Derivation><Ellipsoid><Flattening>0.0033528106647474805"
        "</Flattening><EarthRadius>6378137</EarthRadius></Ellipsoid><Note>wgs</Note></DATABASE_EllipsoidRecord>");
    db_Ellipsoid record;
    writejob_ReadEllipsoidRecord(element.get(), record);
    EXPECT_EQ(S(record.GetNotes()), "wgs\r\n");
    EXPECT_EQ(record.Derivation, 'K' | ('I' << 8));
    EXPECT_EQ(record.Ellipsoid.EarthRadius, 6378137.0);
    EXPECT_EQ(record.Ellipsoid.Flattening, 0.0033528106647474805);

    // A missing group stores a null ellipsoid; a group missing one value, that one null.
    auto noGroup = Element("<E><Derivation>KI</Derivation></E>");
    coordsys_Ellipsoid ellipsoid(1.0, 2.0);
    writejob_ReadEllipsoid(noGroup.get(), "Ellipsoid", ellipsoid);
    EXPECT_TRUE(maths_IsNull(ellipsoid.EarthRadius));
    EXPECT_TRUE(maths_IsNull(ellipsoid.Flattening));
    auto half = Element("<E><Ellipsoid><EarthRadius>6378000</EarthRadius></Ellipsoid></E>");
    writejob_ReadEllipsoid(half.get(), "Ellipsoid", ellipsoid);
    EXPECT_EQ(ellipsoid.EarthRadius, 6378000.0);
    EXPECT_TRUE(maths_IsNull(ellipsoid.Flattening));
}

TEST_F(WriteJobCogo, InverseLayouts) {
    struct {
        const char* children;
        bool olderLayouts;
        writejob_InverseLayout layout;
    } cases[] = {
        {"<InverseType>DBENTITY_CogoComputeAzimuth</InverseType>", true, WRITEJOB_InverseAsComputeAzimuth},
        {"<InverseType>DBENTITY_CogoComputeDistance</InverseType>", true, WRITEJOB_InverseAsComputeDistance},
        {"<InverseType>DBENTITY_CogoInverse</InverseType>", true, WRITEJOB_Inverse},
        {"<InverseType>dbentity_cogocomputeazimuth</InverseType>", true, WRITEJOB_Inverse},
        {"", true, WRITEJOB_Inverse},
        {"<InverseType>DBENTITY_CogoComputeAzimuth</InverseType>", false, WRITEJOB_Inverse},
        {"<InverseType>DBENTITY_CogoComputeDistance</InverseType>", false, WRITEJOB_Inverse},
    };
    for (const auto& c : cases) {
        auto element = Element(std::string("<I>") + c.children + "</I>");
        EXPECT_EQ(writejob_GetInverseLayout(element.get(), c.olderLayouts), c.layout) << c.children;
    }
}

TEST_F(WriteJobCogo, InverseRecord) {
    auto element = Element(
        "<DATABASE_InverseRecord><Note>inv</Note><TargetPoint>T9</TargetPoint>"
        "<Result><SourcePoint>S1</SourcePoint><CreatedView>COORDSYS_CogoAzimuthGrid COORDSYS_CogoDistanceGrid</CreatedView>"
        "<Polar><Azimuth>1.25</Azimuth><HDist>100.5</HDist><VDist>-2</VDist></Polar></Result>"
        "<SlopeDistance>100.52</SlopeDistance></DATABASE_InverseRecord>");
    db_Inverse inverse;
    writejob_ReadInverseRecord(element.get(), inverse);
    EXPECT_EQ(S(inverse.GetNotes()), "inv\r\n");
    EXPECT_EQ(S(inverse.TargetPoint), "T9");
    EXPECT_EQ(S(inverse.Result.SourcePoint), "S1");
    EXPECT_EQ(inverse.Result.CreatedView.Value(), 0x24);
    EXPECT_EQ(inverse.Result.Polar.Azimuth, 1.25);
    EXPECT_EQ(inverse.Result.Polar.HDist, 100.5);
    EXPECT_EQ(inverse.Result.Polar.VDist, -2.0);
    EXPECT_EQ(inverse.SlopeDistance, 100.52);
    EXPECT_TRUE(maths_IsNull(inverse.Grade));  // optional, null by default

    auto withGrade = Element("<I><Grade>0.5</Grade></I>");
    db_Inverse graded;
    writejob_ReadInverseRecord(withGrade.get(), graded);
    EXPECT_EQ(graded.Grade, 0.5);
    // Without its result group the inverse converts with a null result.
    EXPECT_TRUE(graded.Result.Polar.IsNull());
    EXPECT_EQ(S(graded.Result.SourcePoint), "");
    EXPECT_TRUE(maths_IsNull(graded.SlopeDistance));
}

TEST_F(WriteJobCogo, OlderInverseAsComputeAzimuth) {
    // The entity and azimuth children land in the fields the method gives them.
    struct {
        const char* method;
        const char* point1;
        const char* point2;
        const char* corner;
        const char* reference;
        double azimuth1, azimuth2, turned, stationing, offset;
    } cases[] = {
        {"DBENTITY_TwoPointAzimuth", "e1", "e2", "", "", MATHS_Null, MATHS_Null, MATHS_Null, MATHS_Null, MATHS_Null},
        {"DBENTITY_BisectedAzimuths", "", "", "", "", 0.1, 0.2, MATHS_Null, MATHS_Null, MATHS_Null},
        {"DBENTITY_BisectedCorner", "e1", "e3", "e2", "", MATHS_Null, MATHS_Null, MATHS_Null, MATHS_Null, MATHS_Null},
        {"DBENTITY_AzimuthAndTurnedAngle", "", "", "", "", 0.1, MATHS_Null, 0.2, MATHS_Null, MATHS_Null},
        {"DBENTITY_AzimuthToLineOffset", "", "", "", "e1", MATHS_Null, MATHS_Null, MATHS_Null, 10.0, 20.0},
    };
    for (const auto& c : cases) {
        auto element = Element(std::string("<DATABASE_InverseRecord><Note>dropped</Note>"
                                           "<InverseType>DBENTITY_CogoComputeAzimuth</InverseType><AzimuthMethod>") +
                               c.method +
                               "</AzimuthMethod><Entity1>e1</Entity1><Entity2>e2</Entity2><Entity3>e3</Entity3>"
                               "<Azimuth1>0.1</Azimuth1><Azimuth2>0.2</Azimuth2><Distance1>10</Distance1>"
                               "<Distance2>20</Distance2><Result><CreatedView>COORDSYS_CogoAzimuthGrid COORDSYS_CogoDistanceGrid</CreatedView>"
                               "</Result><ComputedAzimuth>2.5</ComputedAzimuth></DATABASE_InverseRecord>");
        db_ComputeAzimuth record;
        writejob_ReadInverseAsComputeAzimuth(element.get(), record);
        EXPECT_EQ(S(record.GetNotes()), "") << c.method;  // the older layout reads no notes
        EXPECT_EQ(S(dbField_Save(dbField_dbentity_ComputeAzimuthMethod, record.AzimuthMethod)), c.method);
        EXPECT_EQ(S(record.Point1), c.point1) << c.method;
        EXPECT_EQ(S(record.Point2), c.point2) << c.method;
        EXPECT_EQ(S(record.CornerPoint), c.corner) << c.method;
        EXPECT_EQ(S(record.ReferenceLinearEntity), c.reference) << c.method;
        EXPECT_EQ(record.Azimuth1, c.azimuth1) << c.method;
        EXPECT_EQ(record.Azimuth2, c.azimuth2) << c.method;
        EXPECT_EQ(record.TurnedAngle, c.turned) << c.method;
        EXPECT_EQ(record.Stationing, c.stationing) << c.method;
        EXPECT_EQ(record.Offset, c.offset) << c.method;
        EXPECT_EQ(record.ComputedAzimuth, 2.5) << c.method;
        EXPECT_NE(record.CreatedView.Value(), 0) << c.method;
    }

    // Without a result the view keeps its default; the method is required.
    auto bare = Element("<I><AzimuthMethod>DBENTITY_TwoPointAzimuth</AzimuthMethod><CreatedView>COORDSYS_CogoAzimuthGrid COORDSYS_CogoDistanceGrid"
                        "</CreatedView></I>");
    db_ComputeAzimuth record;
    writejob_ReadInverseAsComputeAzimuth(bare.get(), record);
    EXPECT_EQ(record.CreatedView.Value(), db_ComputeAzimuth().CreatedView.Value());
    EXPECT_TRUE(maths_IsNull(record.ComputedAzimuth));
    auto noMethod = Element("<I/>");
    EXPECT_EQ(Thrown([&] { writejob_ReadInverseAsComputeAzimuth(noMethod.get(), record); }),
              Invalid("dbentity_ComputeAzimuthMethod", "AzimuthMethod", ""));
}

TEST_F(WriteJobCogo, OlderInverseAsComputeDistance) {
    struct {
        const char* method;
        const char* point2;
        const char* reference;
    } cases[] = {
        {"DBENTITY_TwoPointDistance", "e2", ""},
        {"DBENTITY_BetweenPointAndLine", "", "e2"},
        {"DBENTITY_BetweenPointAndArc", "", "e2"},
    };
    for (const auto& c : cases) {
        auto element = Element(std::string("<I><Note>dropped</Note><DistanceMethod>") + c.method +
                               "</DistanceMethod><Entity1>e1</Entity1><Entity2>e2</Entity2>"
                               "<Result><CreatedView>COORDSYS_CogoAzimuthGrid COORDSYS_CogoDistanceGrid</CreatedView></Result>"
                               "<ComputedDistance>42.5</ComputedDistance></I>");
        db_ComputeDistance record;
        writejob_ReadInverseAsComputeDistance(element.get(), record);
        EXPECT_EQ(S(record.GetNotes()), "") << c.method;
        EXPECT_EQ(S(dbField_Save(dbField_dbentity_ComputeDistanceMethod, record.DistanceMethod)), c.method);
        EXPECT_EQ(S(record.Point1), "e1") << c.method;
        EXPECT_EQ(S(record.Point2), c.point2) << c.method;
        EXPECT_EQ(S(record.ReferenceLinearEntity), c.reference) << c.method;
        EXPECT_EQ(record.ComputedDistance, 42.5) << c.method;
        EXPECT_NE(record.CreatedView.Value(), 0) << c.method;
    }
    auto bad = Element("<I><DistanceMethod>DBENTITY_Other</DistanceMethod></I>");
    db_ComputeDistance record;
    EXPECT_EQ(Thrown([&] { writejob_ReadInverseAsComputeDistance(bad.get(), record); }),
              Invalid("dbentity_ComputeDistanceMethod", "DistanceMethod", "DBENTITY_Other"));
}

TEST_F(WriteJobCogo, ComputeAzimuthAndDistanceRecords) {
    auto azimuth = Element(
        "<DATABASE_ComputeAzimuthRecord><Note>a</Note><AzimuthMethod>DBENTITY_AzimuthToLineOffset</AzimuthMethod>"
        "<Point1>p1</Point1><Point2>p2</Point2><CornerPoint>pc</CornerPoint><Azimuth1>0.1</Azimuth1>"
        "<Azimuth2>0.2</Azimuth2><TurnedAngle>0.3</TurnedAngle><ReferenceLinearEntity>L1</ReferenceLinearEntity>"
        "<ReferenceLineDefinedByTwoPoints>TRUE</ReferenceLineDefinedByTwoPoints>"
        "<ReferenceLinePoint1Name>r1</ReferenceLinePoint1Name><ReferenceLinePoint2Name>r2</ReferenceLinePoint2Name>"
        "<Stationing>15</Stationing><Offset>-2.5</Offset><ComputedAzimuth>4.5</ComputedAzimuth>"
        "<CreatedView>COORDSYS_CogoAzimuthGrid COORDSYS_CogoDistanceGrid</CreatedView></DATABASE_ComputeAzimuthRecord>");
    db_ComputeAzimuth a;
    writejob_ReadComputeAzimuthRecord(azimuth.get(), a);
    EXPECT_EQ(S(a.GetNotes()), "a\r\n");
    EXPECT_EQ(a.AzimuthMethod, 4);
    EXPECT_EQ(S(a.Point1), "p1");
    EXPECT_EQ(S(a.Point2), "p2");
    EXPECT_EQ(S(a.CornerPoint), "pc");
    EXPECT_EQ(a.Azimuth1, 0.1);
    EXPECT_EQ(a.Azimuth2, 0.2);
    EXPECT_EQ(a.TurnedAngle, 0.3);
    EXPECT_EQ(S(a.ReferenceLinearEntity), "L1");
    EXPECT_TRUE(a.ReferenceLineDefinedByTwoPoints);
    EXPECT_EQ(S(a.ReferenceLinePoint1Name), "r1");
    EXPECT_EQ(S(a.ReferenceLinePoint2Name), "r2");
    EXPECT_EQ(a.Stationing, 15.0);
    EXPECT_EQ(a.Offset, -2.5);
    EXPECT_EQ(a.ComputedAzimuth, 4.5);
    EXPECT_NE(a.CreatedView.Value(), 0);

    auto distance = Element(
        "<DATABASE_ComputeDistanceRecord><DistanceMethod>DBENTITY_BetweenPointAndArc</DistanceMethod>"
        "<Point1>p1</Point1><Point2>p2</Point2><ReferenceLinearEntity>A1</ReferenceLinearEntity>"
        "<ReferenceLinePoint1Name>r1</ReferenceLinePoint1Name><ReferenceLinePoint2Name>r2</ReferenceLinePoint2Name>"
        "<DistanceAlong>7.25</DistanceAlong><ComputedDistance>3.5</ComputedDistance>"
        "</DATABASE_ComputeDistanceRecord>");
    db_ComputeDistance d;
    writejob_ReadComputeDistanceRecord(distance.get(), d);
    EXPECT_EQ(d.DistanceMethod, 2);
    EXPECT_EQ(S(d.Point1), "p1");
    EXPECT_EQ(S(d.Point2), "p2");
    EXPECT_EQ(S(d.ReferenceLinearEntity), "A1");
    EXPECT_FALSE(d.ReferenceLineDefinedByTwoPoints);  // absent: false
    EXPECT_EQ(S(d.ReferenceLinePoint1Name), "r1");
    EXPECT_EQ(S(d.ReferenceLinePoint2Name), "r2");
    EXPECT_EQ(d.DistanceAlong, 7.25);
    EXPECT_EQ(d.ComputedDistance, 3.5);
    EXPECT_EQ(d.CreatedView.Value(), 0);

    auto emptyFlag = Element("<D><DistanceMethod>DBENTITY_TwoPointDistance</DistanceMethod>"
                             "<ReferenceLineDefinedByTwoPoints/></D>");
    EXPECT_EQ(Thrown([&] { writejob_ReadComputeDistanceRecord(emptyFlag.get(), d); }),
              Invalid("bool", "ReferenceLineDefinedByTwoPoints", ""));
}

TEST_F(WriteJobCogo, PointKeyin) {
    auto element = Element(
        "<DATABASE_PointKeyinRecord><Note>k</Note><Method>DBENTITY_FourPointInter</Method><PointOne>a</PointOne>"
        "<PointTwo>b</PointTwo><PointThree>c</PointThree><PointFour>d</PointFour><AzimuthOne>0.5</AzimuthOne>"
        "<DistanceOne>10</DistanceOne><AzimuthTwo>1.5</AzimuthTwo><DistanceTwo>20</DistanceTwo>"
        "<TurnedAngle>0.25</TurnedAngle><VOffset>1.2</VOffset>"
        "<BearingDistanceAzimuthType>DBENTITY_OriginMag</BearingDistanceAzimuthType>"
        "<CreatedView>COORDSYS_CogoAzimuthGrid COORDSYS_CogoDistanceGrid</CreatedView><DirectionAlongLine>DBENTITY_OutFromEnd</DirectionAlongLine>"
        "<VerticalPlaneIntersectionStation>0x1A</VerticalPlaneIntersectionStation>"
        "<VerticalPlaneIntersectionBackBearing>0xff</VerticalPlaneIntersectionBackBearing>"
        "<VerticalPlaneIntersectionRay><HorzCircle>1.1</HorzCircle><VertCircle>1.6</VertCircle>"
        "<EDMDistance>30</EDMDistance><Face>COORD_Face1</Face></VerticalPlaneIntersectionRay>"
        "</DATABASE_PointKeyinRecord>");
    db_PointKeyin k;
    writejob_ReadPointKeyinRecord(element.get(), k);
    EXPECT_EQ(S(k.GetNotes()), "k\r\n");
    EXPECT_EQ(k.Method, load_dbentity_PointMethod(element.get(), "Method"));
    EXPECT_EQ(S(k.PointOne), "a");
    EXPECT_EQ(S(k.PointTwo), "b");
    EXPECT_EQ(S(k.PointThree), "c");
    EXPECT_EQ(S(k.PointFour), "d");
    EXPECT_EQ(k.AzimuthOne, 0.5);
    EXPECT_EQ(k.DistanceOne, 10.0);
    EXPECT_EQ(k.AzimuthTwo, 1.5);
    EXPECT_EQ(k.DistanceTwo, 20.0);
    EXPECT_EQ(k.TurnedAngle, 0.25);
    EXPECT_EQ(k.VOffset, 1.2);
    EXPECT_EQ(k.BearingDistanceAzimuthType, load_dbentity_AzimuthType(element.get(), "BearingDistanceAzimuthType"));
    EXPECT_NE(k.CreatedView.Value(), 0);
    EXPECT_EQ(k.DirectionAlongLine, 3);
    // References hold the XML IDs until the second pass.
    EXPECT_EQ(k.VerticalPlaneIntersectionStation, DBID(0x1A));
    EXPECT_EQ(k.VerticalPlaneIntersectionBackBearing, DBID(0xFF));
    EXPECT_EQ(k.VerticalPlaneIntersectionRay.HorzCircle, 1.1);
    EXPECT_EQ(k.VerticalPlaneIntersectionRay.VertCircle, 1.6);
    EXPECT_EQ(k.VerticalPlaneIntersectionRay.EDMDistance, 30.0);

    // Absent optional children take their defaults; the ray keeps its constructed value.
    auto bare = Element("<K/>");
    db_PointKeyin d;
    writejob_ReadPointKeyinRecord(bare.get(), d);
    const db_PointKeyin constructed;
    EXPECT_EQ(d.Method, 0);
    EXPECT_EQ(d.BearingDistanceAzimuthType, 1);
    EXPECT_EQ(d.DirectionAlongLine, 0);
    EXPECT_TRUE(maths_IsNull(d.TurnedAngle));
    EXPECT_TRUE(maths_IsNull(d.VOffset));
    EXPECT_TRUE(maths_IsNull(d.AzimuthOne));
    EXPECT_EQ(d.VerticalPlaneIntersectionStation, NODBID);
    EXPECT_EQ(d.VerticalPlaneIntersectionRay.Face, constructed.VerticalPlaneIntersectionRay.Face);
    EXPECT_EQ(d.VerticalPlaneIntersectionRay.EDMMeasurementMode, constructed.VerticalPlaneIntersectionRay.EDMMeasurementMode);
    EXPECT_TRUE(maths_IsNull(d.VerticalPlaneIntersectionRay.HorzCircle));

    struct {
        const char* children;
        std::string message;
    } refused[] = {
        {"<Method/>", Invalid("dbentity_PointMethod", "Method", "")},
        {"<TurnedAngle/><VOffset/>", ""},  // present and empty: null
        {"<VerticalPlaneIntersectionStation>26</VerticalPlaneIntersectionStation>",
         Invalid("hex number (missing 0x prefix)", "VerticalPlaneIntersectionStation", "26")},
        {"<VerticalPlaneIntersectionBackBearing>0xZ</VerticalPlaneIntersectionBackBearing>",
         Invalid("hex number", "VerticalPlaneIntersectionBackBearing", "0xZ")},
    };
    for (const auto& c : refused) {
        auto e = Element(std::string("<K>") + c.children + "</K>");
        db_PointKeyin r;
        EXPECT_EQ(Thrown([&] { writejob_ReadPointKeyinRecord(e.get(), r); }), c.message) << c.children;
    }
}

}  // namespace
