// Job properties, station offset, surface scan, cogo transformation, averaged residuals,
// automatic entity names and local transformation elements converted end to end: an
// export through the library's entry point, the job file read back through the journal
// reader. Every stored field, the residual references the second pass resolves, the
// absent-child and absent-group rules, and the exact message of each refused element.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/kernel/maths.h"
#include "import/conversion_test.h"
#include "records/entities.h"
#include "records/jobproperties.h"
#include "records/localtransform.h"
#include "support/allocation_watch.h"

namespace {

using import_test::ConversionTest;
using import_test::ElementMessageTest;

std::string S(const Str& text) { return text.Data(); }

constexpr const char* kCurrent = "product=\"Quorvel Zentrovane\" version=\"1245\"";

class LocalTransformConversion : public ConversionTest {
protected:
    void ConvertFixture() {
        ASSERT_EQ(ConvertFile(std::string(QZ_FIXTURES_DIR) + "/import/localtransform.xml"), 0);
        Read();
    }
    uint32_t ObservationId(const char* name) const {
        for (const db_Observation* o : Appended<db_Observation>())
            if (S(o->PointName) == name) return o->GetRecordId().Value();
        ADD_FAILURE() << "no point " << name;
        return 0;
    }
};

TEST_F(LocalTransformConversion, JobPropertiesStationOffsetScanAndCogoTransformation) {
    ConvertFixture();
    const auto& properties = Only<db_JobProperties>();
    EXPECT_EQ(S(properties.GetNotes()), "set up\r\n");
    EXPECT_EQ(S(properties.Reference), "REF-7");
    EXPECT_EQ(S(properties.Description), "Bridge site");
    EXPECT_EQ(S(properties.Operator), "A. Surveyor");
    EXPECT_EQ(S(properties.Notes), "cold morning");
    EXPECT_EQ(properties.GetTimeStamp(), 1291900001.0);

    const auto& offset = Only<db_StationOffset>();
    EXPECT_EQ(offset.EntityType, 5);
    EXPECT_EQ(S(offset.EntityName), "Main Road");
    EXPECT_EQ(offset.Station, 125.5);
    EXPECT_EQ(offset.EquatedRoadStation, EquatedStation(1125.5, 2));
    EXPECT_EQ(offset.Offset, -3.25);
    EXPECT_EQ(offset.VDist, 0.75);
    EXPECT_EQ(S(offset.Code), "kerb\xC2\xB7left");

    const auto& scan = Only<db_SurfaceScan>();
    EXPECT_EQ(S(scan.GetNotes()), "scan\r\n");
    EXPECT_EQ(scan.SurfaceScanMethod, 2);
    EXPECT_EQ(scan.LineMethod, 1);
    EXPECT_EQ(S(scan.PointA) + S(scan.PointB) + S(scan.PointC), "A1B1C1");
    const double steps[] = {scan.HAstep, scan.VAstep, scan.Xstep, scan.Ystep, scan.MaxOffset, scan.Azimuth,
                            scan.Distance, scan.TimeTaken};
    const double expectedSteps[] = {0.01, 0.02, 0.5, 0.25, 1.5, 1.25, 40.5, 95.5};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(steps[i], expectedSteps[i]) << i;
    EXPECT_EQ(scan.PointsScanned, 120);
    EXPECT_EQ(scan.PointsSkipped, 3);

    // Each dotted child name is one element.
    const auto& cogo = Only<db_CogoTransformation>();
    EXPECT_TRUE(cogo.Rotated);
    EXPECT_EQ(cogo.rotationAngle, 0.125);
    EXPECT_EQ(S(cogo.rotationOrigin), "P1");
    EXPECT_EQ(cogo.rotationOriginGrid.North, 5000.5);
    EXPECT_EQ(cogo.rotationOriginGrid.East, 2000.25);
    EXPECT_EQ(cogo.rotationOriginGrid.Elev, 100.75);
    EXPECT_TRUE(cogo.Scaled);  // "TRUE"
    EXPECT_EQ(cogo.scaleFactor, 1.0005);
    EXPECT_EQ(S(cogo.scaleOrigin), "P2");
    EXPECT_EQ(cogo.scaleOriginGrid.North, 5010.5);
    EXPECT_EQ(cogo.scaleOriginGrid.East, 2010.25);
    EXPECT_EQ(cogo.scaleOriginGrid.Elev, 101.75);
    EXPECT_FALSE(cogo.Translated);
    EXPECT_EQ(cogo.translationMethod, 0);
    EXPECT_EQ(cogo.translation.dNorth, 1.5);
    EXPECT_EQ(cogo.translation.dEast, -2.5);
    EXPECT_EQ(cogo.translation.dElev, 0.25);
    EXPECT_EQ(S(cogo.translationFrom), "P1");
    EXPECT_EQ(S(cogo.translationTo), "P2");
    EXPECT_EQ(cogo.pointsTransformed, 12);
}

TEST_F(LocalTransformConversion, AveragedResidualsAreStoredAndTheirObservationsResolved) {
    ConvertFixture();
    const auto appended = Appended<db_AverageResiduals>();
    ASSERT_EQ(appended.size(), 1u);
    const db_AverageResiduals& stored = *appended[0];
    EXPECT_EQ(S(stored.GetNotes()), "average\r\n");
    ASSERT_EQ(stored.GetNumberOfResiduals(), 2);  // "0x2"
    // The XML IDs until the second pass, which writes the record back in place.
    EXPECT_EQ(stored.GetResidual(0)->ObservationID, DBID(0x10));
    EXPECT_EQ(stored.GetResidual(1)->ObservationID, DBID(0x99));
    const db_AverageResiduals& final = *Final(appended[0]);
    ASSERT_NE(&final, &stored);
    ASSERT_EQ(final.GetNumberOfResiduals(), 2);
    EXPECT_EQ(final.GetRecordId(), stored.GetRecordId());

    const db_AverageResidual& first = *final.GetResidual(0);
    EXPECT_EQ(first.ObservationID, DBID(ObservationId("P1")));
    EXPECT_TRUE(first.IncludedInAverageComputation);
    EXPECT_EQ(first.GridResidual.dNorth, 0.004);
    EXPECT_EQ(first.GridResidual.dEast, -0.003);
    EXPECT_EQ(first.GridResidual.dElev, 0.002);
    EXPECT_EQ(first.AngleResidual.HorzCircle, 0.00001);
    EXPECT_EQ(first.AngleResidual.VertCircle, -0.00002);
    EXPECT_EQ(first.AngleResidual.SlopeDist, 0.005);
    EXPECT_EQ(first.AngleResidual.Face, 2);

    const db_AverageResidual& second = *final.GetResidual(1);
    EXPECT_EQ(second.ObservationID, NODBID);  // an ID no element carries
    EXPECT_FALSE(second.IncludedInAverageComputation);
    EXPECT_EQ(second.GridResidual.dNorth, -0.001);
    EXPECT_EQ(second.GridResidual.dEast, 0.006);
    EXPECT_EQ(second.GridResidual.dElev, -0.007);
    EXPECT_EQ(second.AngleResidual.HorzCircle, 0.5);
    EXPECT_EQ(second.AngleResidual.VertCircle, 1.25);
    EXPECT_EQ(second.AngleResidual.SlopeDist, 2.5);
    EXPECT_EQ(second.AngleResidual.Face, 0);  // absent
}

TEST_F(LocalTransformConversion, EntityNamesAndLocalTransformations) {
    ConvertFixture();
    const auto& names = Only<db_AutoEntityNames>();
    const Str* texts[] = {&names.Point,           &names.Line,         &names.Arc,
                          &names.Reading,         &names.QuickMark,    &names.StakeOut,
                          &names.ContinuousPoint, &names.ContinuousOffsetPointOne,
                          &names.ContinuousOffsetPointTwo, &names.LaserOffset, &names.Offset,
                          &names.GpsRTKControlPoint, &names.ConstructionPoint, &names.TSContinuous,
                          &names.TSSurfaceScan};
    const char* expectedNames[] = {"P3", "L1", "A1",  "R1", "Q1", "S1",  "C1",  "CO1",
                                   "CO2", "LO1", "O1", "G1", "CP1", "TC1", "TS1"};
    for (int i = 0; i < 15; ++i) EXPECT_EQ(S(*texts[i]), expectedNames[i]) << i;

    const auto& transformation = Only<db_LocalTransformation>();
    EXPECT_EQ(S(transformation.TransformationName), "Site grid");
    EXPECT_EQ(transformation.TransformationMethod, 1);
    EXPECT_EQ(transformation.VerticalAdjustmentMethod, 2);
    EXPECT_TRUE(transformation.Deleted);
    EXPECT_TRUE(transformation.ReadOnly);
    EXPECT_EQ(S(transformation.Source), "site.cal");

    const auto& line = Only<db_LineTransformationDefinition>();
    EXPECT_EQ(S(line.StartPointName), "P1");
    EXPECT_EQ(line.StartPointGrid.North, 5000.0);
    EXPECT_EQ(line.StartPointGrid.East, 2000.0);
    EXPECT_EQ(line.StartPointGrid.Elev, 100.0);
    EXPECT_EQ(line.StartPointLocalGrid.North, 0.0);
    EXPECT_EQ(line.StartPointLocalGrid.East, 0.5);
    EXPECT_EQ(line.StartPointLocalGrid.Elev, 10.0);
    EXPECT_EQ(S(line.EndPointName), "P2");
    EXPECT_EQ(line.EndPointGrid.North, 5010.0);
    EXPECT_EQ(line.EndPointGrid.East, 2010.0);
    EXPECT_EQ(line.EndPointGrid.Elev, 101.0);
    EXPECT_EQ(line.EndPointLocalGrid.North, 14.125);
    EXPECT_EQ(line.EndPointLocalGrid.East, 0.25);
    EXPECT_EQ(line.EndPointLocalGrid.Elev, 11.0);
    EXPECT_EQ(line.ComputedGroundDistance, 14.1421);
    EXPECT_EQ(line.ComputedLocalGridDistance, 14.125);
    EXPECT_EQ(line.DeltaComputedHDist, 0.0171);
    EXPECT_EQ(line.ScaleApplicationMethod, 2);

    const auto& pair = Only<db_LocalTransformationPointPair>();
    EXPECT_EQ(S(pair.NEEPointId), "P1");
    EXPECT_EQ(S(pair.LocalGridPointId), "L-P1");
    EXPECT_EQ(pair.Status, 3);
    const dbrecord_CalibResiduals& r = pair.Residuals;
    const double residuals[] = {r.OneD, r.TwoD, r.ThreeD, r.North, r.East, r.Elev, r.DeltaNorth, r.DeltaEast,
                                r.DeltaElev};
    const double expectedResiduals[] = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(residuals[i], expectedResiduals[i]) << i;

    const auto& helmert = Only<db_LocalTransformationHelmertParameters>();
    EXPECT_EQ(S(helmert.GetNotes()), "helmert\r\n");
    const dbrecord_HelmertParameters& h = helmert.HorizontalParameters;
    EXPECT_TRUE(h.Apply);
    const double horizontal[] = {h.OriginNorth, h.OriginEast, h.Scale, h.Rotation, h.TranslationNorth,
                                 h.TranslationEast, h.ScaleStdError, h.RotationStdError,
                                 h.TranslationNorthStdError, h.TranslationEastStdError};
    const double expectedHorizontal[] = {5000.5, 2000.5, 1.00002, 0.0015, -12.5, 7.25, 0.000001, 0.000002, 0.003, 0.004};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(horizontal[i], expectedHorizontal[i]) << i;
    const dbrecord_HelmertSolution& v = helmert.VerticalParameters;
    EXPECT_TRUE(v.Apply);
    EXPECT_TRUE(v.ConstantAdjustmentOnly);
    const double vertical[] = {v.OriginNorth, v.OriginEast, v.NorthAdjustment, v.EastAdjustment,
                               v.ElevationAdjustment, v.NorthAdjustmentStdError, v.EastAdjustmentStdError,
                               v.ElevationAdjustmentStdError};
    const double expectedVertical[] = {5001.5, 2001.5, 0.0001, -0.0002, 0.125, 0.005, 0.006, 0.007};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(vertical[i], expectedVertical[i]) << i;
}

// The equated station is read for roads, alignments and tunnels only.
TEST_F(LocalTransformConversion, StationOffsetEquatedStationByEntityType) {
    const struct {
        const char* entity;
        const char* equated;
        EquatedStation expected;
    } cases[] = {
        {"DBENTITY_LineEntity", "<EquatedRoadStation><Chainage>7</Chainage><Zone>1</Zone></EquatedRoadStation>",
         EquatedStation(MATHS_Null, -1)},
        {"DBENTITY_PointEntity", "", EquatedStation(MATHS_Null, -1)},
        {"DBENTITY_TunnelEntity", "", EquatedStation(42.5, -1)},
        {"DBENTITY_AlignmentEntity", "<EquatedRoadStation><Zone>3</Zone></EquatedRoadStation>",
         EquatedStation(42.5, 3)},
        {"DBENTITY_RoadEntity", "<EquatedRoadStation><Chainage>1042.5</Chainage></EquatedRoadStation>",
         EquatedStation(1042.5, -1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entity);
        ConvertAndRead(kCurrent, std::string("<DATABASE_StationOffsetRecord ID=\"0x61\" rec=\"db_StationOffset\"><EntityType>") +
                                     c.entity + "</EntityType><Station>42.5</Station>" + c.equated +
                                     "</DATABASE_StationOffsetRecord>");
        const auto& offset = Only<db_StationOffset>();
        EXPECT_EQ(offset.EquatedRoadStation.Chainage, c.expected.Chainage);
        EXPECT_EQ(offset.EquatedRoadStation.Zone, c.expected.Zone);
        EXPECT_EQ(offset.Station, 42.5);
        EXPECT_TRUE(maths_IsNull(offset.Offset));
    }
}

TEST_F(LocalTransformConversion, AbsentChildrenAndGroups) {
    ConvertAndRead(kCurrent,
                   "<DATABASE_JobPropertiesRecord ID=\"0x62\" rec=\"db_JobProperties\"><Notes>only the field</Notes>"
                   "</DATABASE_JobPropertiesRecord>"
                   "<DATABASE_SurfaceScanRecord ID=\"0x63\" rec=\"db_SurfaceScan\"><SurfaceScanMethod>DBENTITY_SurfaceScanRectPlane"
                   "</SurfaceScanMethod></DATABASE_SurfaceScanRecord>"
                   // An empty horizontal group, no vertical group.
                   "<DATABASE_LocalTransformationHelmertParametersRecord ID=\"0x64\" rec=\"db_LocalTransformationHelmertParameters\">"
                   "<HorizontalParameters/></DATABASE_LocalTransformationHelmertParametersRecord>"
                   // A vertical group with its standard errors present but empty.
                   "<DATABASE_LocalTransformationHelmertParametersRecord ID=\"0x65\" rec=\"db_LocalTransformationHelmertParameters\">"
                   "<VerticalParameters><Apply>true</Apply><NorthAdjustmentStdError/><OriginNorth></OriginNorth>"
                   "</VerticalParameters></DATABASE_LocalTransformationHelmertParametersRecord>"
                   "<DATABASE_LineTransformationDefinitionRecord ID=\"0x66\" rec=\"db_LineTransformationDefinition\">"
                   "<StartPointGrid><North>1</North><East>2</East></StartPointGrid>"
                   "<ScaleApplicationMethod>LineTransformationScale_Free</ScaleApplicationMethod>"
                   "</DATABASE_LineTransformationDefinitionRecord>"
                   "<DATABASE_LocalTransformationPointPairRecord ID=\"0x67\" rec=\"db_LocalTransformationPointPair\">"
                   "<Status>DBQZ_Any</Status></DATABASE_LocalTransformationPointPairRecord>"
                   "<DATABASE_LocalTransformationRecord ID=\"0x68\" rec=\"db_LocalTransformation\">"
                   "<TransformationMethod>TransformationMethod_Line</TransformationMethod>"
                   "<VerticalAdjustmentMethod>DBQZ_NoVerticalAdjustment</VerticalAdjustmentMethod>"
                   "</DATABASE_LocalTransformationRecord>"
                   // Count 0 with children: none stored, none read (the second is no entry).
                   "<DATABASE_AverageResidualsRecord ID=\"0x69\" rec=\"db_AverageResiduals\"><NumberOfResiduals>0</NumberOfResiduals>"
                   "<Residual/><Residual><IncludedInAverageComputation>maybe</IncludedInAverageComputation></Residual>"
                   "</DATABASE_AverageResidualsRecord>"
                   "<DATABASE_AverageResidualsRecord ID=\"0x6A\" rec=\"db_AverageResiduals\"><NumberOfResiduals>-3</NumberOfResiduals>"
                   "</DATABASE_AverageResidualsRecord>"
                   // The entries are the first "Residual" and whatever follows it.
                   "<DATABASE_AverageResidualsRecord ID=\"0x6B\" rec=\"db_AverageResiduals\"><Note>n</Note><NumberOfResiduals>2"
                   "</NumberOfResiduals><Residual><IncludedInAverageComputation>false</IncludedInAverageComputation>"
                   "</Residual><Other><ObservationID>0x5</ObservationID><IncludedInAverageComputation>true"
                   "</IncludedInAverageComputation></Other></DATABASE_AverageResidualsRecord>");

    const auto& properties = Only<db_JobProperties>();
    EXPECT_EQ(S(properties.Notes), "only the field");
    EXPECT_EQ(S(properties.GetNotes()), "");
    EXPECT_EQ(S(properties.Reference), "");

    const auto& scan = Only<db_SurfaceScan>();
    EXPECT_EQ(scan.SurfaceScanMethod, 1);
    EXPECT_EQ(scan.LineMethod, 0);
    EXPECT_TRUE(maths_IsNull(scan.TimeTaken));
    EXPECT_EQ(scan.PointsScanned, 0);

    const auto helmert = Appended<db_LocalTransformationHelmertParameters>();
    ASSERT_EQ(helmert.size(), 2u);
    for (const auto* record : helmert) {
        // Scale 0.0 and ConstantAdjustmentOnly false, not the block's constructed values.
        const dbrecord_HelmertParameters& h = record->HorizontalParameters;
        EXPECT_FALSE(h.Apply);
        EXPECT_EQ(h.Scale, 0.0);
        for (double value : {h.OriginNorth, h.OriginEast, h.Rotation, h.TranslationNorth, h.TranslationEast})
            EXPECT_EQ(value, 0.0);
        for (double value : {h.ScaleStdError, h.RotationStdError, h.TranslationNorthStdError, h.TranslationEastStdError})
            EXPECT_TRUE(maths_IsNull(value));
        const dbrecord_HelmertSolution& v = record->VerticalParameters;
        EXPECT_FALSE(v.ConstantAdjustmentOnly);
        for (double value : {v.OriginEast, v.NorthAdjustment, v.EastAdjustment, v.ElevationAdjustment})
            EXPECT_EQ(value, 0.0);
        for (double value : {v.EastAdjustmentStdError, v.ElevationAdjustmentStdError}) EXPECT_TRUE(maths_IsNull(value));
    }
    EXPECT_FALSE(helmert[0]->VerticalParameters.Apply);
    EXPECT_EQ(helmert[0]->VerticalParameters.OriginNorth, 0.0);
    EXPECT_TRUE(maths_IsNull(helmert[0]->VerticalParameters.NorthAdjustmentStdError));
    // Present but empty: null, whatever the default.
    EXPECT_TRUE(helmert[1]->VerticalParameters.Apply);
    EXPECT_TRUE(maths_IsNull(helmert[1]->VerticalParameters.OriginNorth));
    EXPECT_TRUE(maths_IsNull(helmert[1]->VerticalParameters.NorthAdjustmentStdError));

    const auto& line = Only<db_LineTransformationDefinition>();
    EXPECT_EQ(line.StartPointGrid.North, 1.0);
    EXPECT_EQ(line.StartPointGrid.East, 2.0);
    EXPECT_TRUE(maths_IsNull(line.StartPointGrid.Elev));
    EXPECT_TRUE(line.StartPointLocalGrid.IsNull());
    EXPECT_TRUE(line.EndPointGrid.IsNull());
    EXPECT_TRUE(maths_IsNull(line.ComputedGroundDistance));

    const auto& pair = Only<db_LocalTransformationPointPair>();
    EXPECT_EQ(pair.Status, 4);
    EXPECT_TRUE(maths_IsNull(pair.Residuals.OneD));
    EXPECT_TRUE(maths_IsNull(pair.Residuals.DeltaElev));

    const auto& transformation = Only<db_LocalTransformation>();
    EXPECT_FALSE(transformation.Deleted);
    EXPECT_FALSE(transformation.ReadOnly);

    const auto averages = Appended<db_AverageResiduals>();
    ASSERT_EQ(averages.size(), 3u);
    EXPECT_EQ(Final(averages[0])->GetNumberOfResiduals(), 0);
    EXPECT_EQ(Final(averages[1])->GetNumberOfResiduals(), -3);  // kept as read
    const db_AverageResiduals& walked = *Final(averages[2]);
    ASSERT_EQ(walked.GetNumberOfResiduals(), 2);
    EXPECT_FALSE(walked.GetResidual(0)->IncludedInAverageComputation);
    EXPECT_TRUE(walked.GetResidual(0)->GridResidual.IsNull());
    EXPECT_TRUE(walked.GetResidual(0)->AngleResidual.IsNull());  // absent group
    EXPECT_EQ(walked.GetResidual(0)->AngleResidual.Face, 0);
    EXPECT_TRUE(walked.GetResidual(1)->IncludedInAverageComputation);
    EXPECT_EQ(walked.GetResidual(1)->ObservationID, NODBID);  // 0x5: no such element
}

std::string Wrapped(const std::string& message, const std::string& element) {
    return "XML read error: \n" + message + "\n" + element + " ID=\"0x50\"";
}

struct Refusal {
    std::string element;
    std::string message;  // as the dispatcher passes it on
};

std::vector<Refusal> Refusals() {
    const std::string average = "DATABASE_AverageResidualsRecord";
    const std::string local = "DATABASE_LocalTransformationRecord";
    const std::string helmert = "DATABASE_LocalTransformationHelmertParametersRecord";
    const std::string methods = "<TransformationMethod>TransformationMethod_Line</TransformationMethod>"
                                "<VerticalAdjustmentMethod>DBQZ_InclinedPlane</VerticalAdjustmentMethod>";
    const std::string entry = "<Residual><IncludedInAverageComputation>true</IncludedInAverageComputation></Residual>";
    const struct {
        std::string name;
        std::string rec;
        std::string children;
        std::string message;
    } cases[] = {
        {local, "db_LocalTransformation", "<VerticalAdjustmentMethod>DBQZ_InclinedPlane</VerticalAdjustmentMethod>",
         Invalid("transformation_Method", "TransformationMethod", "")},
        {local, "db_LocalTransformation", "<TransformationMethod>TransformationMethod_Line</TransformationMethod>",
         Invalid("dbqz_VerticalCalibrationMethod", "VerticalAdjustmentMethod", "")},
        {local, "db_LocalTransformation", methods + "<ReadOnly></ReadOnly>", Invalid("bool", "ReadOnly", "")},
        {local, "db_LocalTransformations", methods,
         "wrong rec sttribute: db_LocalTransformations instead of db_LocalTransformation"},
        {"DATABASE_LocalTransformationPointPairRecord", "db_LocalTransformationPointPair",
         "<Residuals><OneD>1</OneD></Residuals>", Invalid("dbqz_CalibrateStatus", "Status", "")},
        {"DATABASE_LineTransformationDefinitionRecord", "db_LineTransformationDefinition", "",
         Invalid("transformation_ScaleApplicationMethod", "ScaleApplicationMethod", "")},
        {average, "db_AverageResiduals", "<NumberOfResiduals>1</NumberOfResiduals><Residual/>",
         Invalid("bool", "IncludedInAverageComputation", "")},
        {average, "db_AverageResiduals",
         "<NumberOfResiduals>2</NumberOfResiduals>" + entry +
             "<Residual><IncludedInAverageComputation>no</IncludedInAverageComputation></Residual>",
         Invalid("bool", "IncludedInAverageComputation", "no")},
        {average, "db_AverageResiduals", "<NumberOfResiduals>3</NumberOfResiduals>" + entry + entry,
         "NumberOfResiduals exceeds the residuals present"},
        {average, "db_AverageResiduals", "<NumberOfResiduals>1</NumberOfResiduals><Other/>",
         "NumberOfResiduals exceeds the residuals present"},
        {average, "db_AverageResiduals", "<NumberOfResiduals>0x7FFFFFFF</NumberOfResiduals>" + entry,
         "NumberOfResiduals exceeds the residuals present"},
        {average, "db_AverageResiduals", "<NumberOfResiduals>0xG</NumberOfResiduals>",
         Invalid("hex number", "NumberOfResiduals", "0xG")},
        {average, "db_AverageResiduals",
         "<NumberOfResiduals>1</NumberOfResiduals><Residual><ObservationID>16</ObservationID></Residual>",
         Invalid("hex number (missing 0x prefix)", "ObservationID", "16")},
        {average, "db_AverageResidual", "<NumberOfResiduals>1</NumberOfResiduals>" + entry,
         "wrong rec sttribute: db_AverageResidual instead of db_AverageResiduals"},
        {helmert, "db_LocalTransformationHelmertParameters", "<HorizontalParameters><Apply/></HorizontalParameters>",
         Invalid("bool", "Apply", "")},
        {helmert, "db_LocalTransformationHelmertParameters",
         "<VerticalParameters><ConstantAdjustmentOnly>1</ConstantAdjustmentOnly></VerticalParameters>",
         Invalid("bool", "ConstantAdjustmentOnly", "1")},
        {"DATABASE_StationOffsetRecord", "db_StationOffset", "<Station>1</Station>",
         Invalid("dbentity_StakeOutEntity", "EntityType", "")},
        {"DATABASE_SurfaceScanRecord", "db_SurfaceScan", "<LineMethod>DBENTITY_SurfaceScanTwoPoints</LineMethod>",
         Invalid("dbentity_SurfaceScanMethod", "SurfaceScanMethod", "")},
        {"DATABASE_SurfaceScanRecord", "db_SurfaceScan",
         "<SurfaceScanMethod>DBENTITY_SurfaceScanLine</SurfaceScanMethod><LineMethod></LineMethod>",
         Invalid("dbentity_SurfaceScanLineMethod", "LineMethod", "")},
        {"DATABASE_CogoTransformationRecord", "db_CogoTransformation",
         "<Scaled>false</Scaled><Translated>false</Translated><translationMethod>DBENTITY_CogoDeltas</translationMethod>",
         Invalid("bool", "Rotated", "")},
        {"DATABASE_CogoTransformationRecord", "db_CogoTransformation",
         "<Rotated>false</Rotated><Scaled>false</Scaled><Translated>false</Translated>",
         Invalid("dbentity_CogoTranslationMethod", "translationMethod", "")},
        {"DATABASE_JobPropertiesRecord", "db_JobProperty", "",
         "wrong rec sttribute: db_JobProperty instead of db_JobProperties"},
        {"DATABASE_AutoEntityNamesRecord", "db_AutoEntityName", "",
         "wrong rec sttribute: db_AutoEntityName instead of db_AutoEntityNames"},
        {average, "", "<NumberOfResiduals>0</NumberOfResiduals>", "missing rec=\"db_AverageResiduals\""},
    };
    std::vector<Refusal> refusals;
    for (const auto& c : cases) {
        const std::string rec = c.rec.empty() ? "" : " rec=\"" + c.rec + "\"";
        refusals.push_back({"<" + c.name + " ID=\"0x50\"" + rec + ">" + c.children + "</" + c.name + ">",
                            Wrapped(c.message, c.name)});
    }
    return refusals;
}

using LocalTransformWriter = ElementMessageTest;

TEST_F(LocalTransformWriter, RefusedElementsGiveTheirExactMessage) {
    for (const Refusal& c : Refusals()) {
        SCOPED_TRACE(c.element);
        AllocationWatch watch;
        EXPECT_EQ(Message(c.element), c.message);
        // A count beyond the entries present makes no room for them: nothing larger
        // than the reader's own buffer is asked for.
        if (AllocationWatch::Available()) {
            EXPECT_LT(watch.LargestBlock(), 1u << 20);
        }
    }
}

TEST_F(LocalTransformConversion, RefusedElementsFailTheConversion) {
    for (const Refusal& c : Refusals()) {
        SCOPED_TRACE(c.element);
        EXPECT_EQ(Convert(kCurrent, c.element), 2);
        EXPECT_FALSE(std::filesystem::exists(jobPath));
    }
}

}  // namespace
