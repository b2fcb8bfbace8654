// Units, survey style settings, polar deltas and marker elements converted end to end:
// an export through the library's entry point, the job file read back through the
// journal reader. Every stored field, the version gates of the units and stake-out
// elements, absent groups, and the refusals with their messages.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "foundation/xml/reader.h"
#include "import/conversion_test.h"
#include "import/import_journal.h"
#include "import/writejob.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbaccess.h"
#include "jobdb/dbmodel.h"
#include "qzxmli.h"
#include "records/jobproperties.h"
#include "records/stakeoutsettings.h"
#include "records/unitstiming.h"
#include "support/recording_environment.h"
#include "support/temp_folder.h"
#include "support/thrown.h"

namespace {

using import_test::JournalEntry;

std::string S(const Str& text) { return text.Data(); }

constexpr const char* kCurrent = "product=\"Quorvel Zentrovane\" version=\"1245\"";

using StyleConversion = import_test::ConversionTest;

TEST_F(StyleConversion, EveryFieldOfEveryElement) {
    ASSERT_EQ(ConvertFile(std::string(QZ_FIXTURES_DIR) + "/import/stylesettings.xml"), 0);
    Read();

    // 1245: the newer units layout, "UNITS_Quad" kept, no coordinate view record from it.
    const db_Units& u = Only<db_Units>();
    EXPECT_EQ(u.GetTimeStamp(), 1291900010.0);
    EXPECT_EQ(S(u.GetNotes()), "units\r\n");
    const int32_t units[] = {u.VerticalUnits, u.HorizontalUnits, u.AngleUnits, u.LatLongUnits, u.VelocityUnits,
                             u.CoordOrder, u.TemperatureUnits, u.PressureUnits, u.Grade, u.AreaUnits,
                             u.Stationing, u.LaserVA, u.GPSTimeDisplay, u.DMSAngleDisplay, u.DistanceDisplay,
                             u.AzimuthFormat, u.CoordinateDisplay, u.DecAngleDisplay};
    const int32_t expectedUnits[] = {6, 5, 42, 15, 20, 1, 29, 31, 33, 40, 1, 1, 1, 0, 4, 1, 1, 2};
    EXPECT_TRUE(std::equal(std::begin(units), std::end(units), std::begin(expectedUnits)));

    const db_CoordViewType& view = Only<db_CoordViewType>();
    EXPECT_EQ(S(view.GetNotes()), "view\r\n");
    EXPECT_EQ(view.CoordType, 19);
    EXPECT_EQ(S(view.LocalReferenceTransformation), "site 4");

    const db_Tracking& tracking = Only<db_Tracking>();
    EXPECT_EQ(tracking.L1Tracking, 0);
    EXPECT_EQ(tracking.L2Tracking, 8);

    const db_GPSReading& gps = Only<db_GPSReading>();
    EXPECT_EQ(gps.Measurements, 20);
    EXPECT_EQ(gps.Duration, 15.0);
    EXPECT_EQ(gps.HorzAcc, 0.01);
    EXPECT_EQ(gps.VertAcc, 0.03);
    EXPECT_TRUE(gps.AutoRove);
    EXPECT_EQ(S(gps.AutoPointName), "T1000");
    EXPECT_EQ(gps.AsBuiltId, 0);
    EXPECT_EQ(gps.AutoPointIncr, 4465);  // 70001, low 16 bits
    EXPECT_EQ(gps.QualityControl, 3);
    EXPECT_EQ(gps.DisplayPointType, 4);
    EXPECT_TRUE(gps.AutoPrecisions);
    EXPECT_FALSE(gps.StoreRTKFixedOnly);

    const db_TSReading& ts = Only<db_TSReading>();
    EXPECT_FALSE(ts.ViewBeforeStorage);
    EXPECT_EQ(ts.AutoPointIncr, -2);
    EXPECT_EQ(ts.DisplayPointType, 9);

    const db_InitTimes* times[] = {&Only<db_L2OTFTimes>().times, &Only<db_L1StaticTimes>().times,
                                   &Only<db_ControlTimes>().times, &Only<db_FSL1Times>().times,
                                   &Only<db_FSL2Times>().times, &Only<db_NewPtTimes>().times};
    const bool requireL2[] = {false, true, false, true, true, false};
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(times[i]->IsEqual(db_InitTimes(requireL2[i], 3 * i + 1, 3 * i + 2, 3 * i + 3))) << i;
    }

    const db_Tolerance& tol = Only<db_Tolerance>();
    const double tolerances[] = {tol.HDist, tol.VDist, tol.HAngular, tol.VAngular, tol.HorzAngle,
                                 tol.VertAngle, tol.SlopeDistance, tol.AutoAverageMaxHorizResidual,
                                 tol.AutoAverageMaxVertResidual};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(tolerances[i], (i + 1) / 10.0) << i;
    EXPECT_TRUE(tol.AutoAverage);

    const db_ContinuousPoints& cont = Only<db_ContinuousPoints>();
    EXPECT_EQ(cont.QualityControl, 0);
    EXPECT_EQ(cont.HorzPrec, 0.04);
    EXPECT_EQ(cont.VertPrec, 0.06);
    EXPECT_TRUE(cont.AutoPrecisions);
    EXPECT_FALSE(cont.LowLatencyRTK);
    EXPECT_FALSE(cont.StoreRTKFixedOnly);

    const db_FastStatic& fast = Only<db_FastStatic>();
    EXPECT_TRUE(fast.AutoRove);
    EXPECT_TRUE(fast.L1Times.IsEqual(db_InitTimes(true, 21, 22, 23)));
    EXPECT_TRUE(fast.L1L2Times.IsEqual(db_InitTimes(false, 24, 25, 26)));

    // 1245: the four deltas children; "GPSDeltas" and "TSDeltas" are ignored.
    const db_StakeOut& s = Only<db_StakeOut>();
    EXPECT_EQ(S(s.GetNotes()), "stake\r\n");
    EXPECT_EQ(s.DistanceType, 2);
    EXPECT_EQ(s.DisplayPointType, 1);
    EXPECT_TRUE(s.DisplayElevToDTM);
    EXPECT_EQ(S(s.TerrainModel), "site.ttm");
    EXPECT_EQ(s.VOffsetToDTM, -0.25);
    EXPECT_EQ(s.AsStakedName, 4);
    EXPECT_EQ(s.AsStakedCode, 3);
    EXPECT_EQ(s.QualityControl, 2);
    EXPECT_EQ(s.Duration, 3.0);
    EXPECT_EQ(s.Measurements, 3);  // 65539, low 16 bits
    EXPECT_EQ(s.HorzAcc, 0.005);
    EXPECT_EQ(s.VertAcc, 0.008);
    EXPECT_TRUE(s.AutoFineMode);
    EXPECT_EQ(s.PointLabels, 2);
    EXPECT_EQ(s.OrientTo, 1);
    EXPECT_FALSE(s.GridDeltas);
    EXPECT_EQ(s.GPSDeltasPoint, 2);
    EXPECT_EQ(s.GPSDeltasOther, 0);
    EXPECT_EQ(s.TSDeltasPoint, 3);
    EXPECT_EQ(s.TSDeltasOther, 1);
    EXPECT_EQ(s.TSAngleDeltaTolerance, 0.0002);
    EXPECT_EQ(s.TSDistanceDeltaTolerance, 0.03);
    EXPECT_EQ(s.MapMode, 1);
    EXPECT_EQ(s.TSViewMode, 1);
    EXPECT_FALSE(s.DoToleranceCheck);
    EXPECT_EQ(s.Tolerance.HDist, 0.011);
    EXPECT_EQ(s.Tolerance.VDist, 0.012);
    EXPECT_EQ(s.Tolerance.HorzAngle, 0.013);
    EXPECT_EQ(s.Tolerance.VertAngle, 0.014);
    EXPECT_EQ(s.Tolerance.SlopeDistance, 0.015);
    EXPECT_EQ(s.AutoPointIncr, 10);
    EXPECT_FALSE(s.AutoSideSlope);
    EXPECT_EQ(S(s.PointStakeoutStyleSheet), "p.sss");
    EXPECT_EQ(S(s.LineStakeoutStyleSheet), "l.sss");
    EXPECT_EQ(S(s.ArcStakeoutStyleSheet), "a.sss");
    EXPECT_EQ(S(s.DTMStakeoutStyleSheet), "d.sss");
    EXPECT_EQ(S(s.RoadStakeoutStyleSheet), "r.sss");
    EXPECT_EQ(S(s.AlignmentStakeoutStyleSheet), "al.sss");
    EXPECT_FALSE(s.RemovePointFromList);

    const db_CheckShot& check = Only<db_CheckShot>();
    EXPECT_EQ(check.Measurements, 7);
    EXPECT_EQ(check.Duration, 2.0);
    EXPECT_EQ(check.HorzAcc, 0.02);
    EXPECT_EQ(check.VertAcc, 0.04);
    EXPECT_TRUE(check.AutoRove);
    EXPECT_EQ(check.QualityControl, 3);
    EXPECT_FALSE(check.StoreChecks);

    const db_QuickMark& quick = Only<db_QuickMark>();
    EXPECT_EQ(quick.HorzAcc, 0.3);
    EXPECT_EQ(quick.VertAcc, 0.35);
    EXPECT_EQ(quick.QualityControl, 0);
    EXPECT_TRUE(quick.AutoPrecisions);
    EXPECT_FALSE(quick.StoreRTKFixedOnly);

    const db_RTKControl& rtk = Only<db_RTKControl>();
    EXPECT_TRUE(rtk.AutoRove);
    EXPECT_EQ(rtk.QualityControl, 1);
    EXPECT_TRUE(rtk.PPTimes.IsEqual(db_InitTimes(true, 31, 32, 33)));
    EXPECT_EQ(rtk.Measurements, 256);
    EXPECT_EQ(rtk.HorzAcc, 0.012);
    EXPECT_EQ(rtk.VertAcc, 0.018);
    EXPECT_TRUE(rtk.AutoPrecisions);
    EXPECT_FALSE(rtk.StoreRTKFixedOnly);

    const db_PolarDeltas& polar = Only<db_PolarDeltas>();
    EXPECT_EQ(polar.Polar.Azimuth, 1.25);
    EXPECT_EQ(polar.Polar.HDist, 12.5);
    EXPECT_EQ(polar.Polar.VDist, -0.75);

    // The markers in export order, each with its type and notes; "Round" as hex and decimal.
    struct Marker {
        int type;
        const char* notes;
    };
    const Marker markers[] = {{75, "calibration\r\n"}, {110, "resection\r\n"}, {110, "setup\r\n"},
                              {21, "mta\r\n"},         {66, "cont\r\n"},       {73, "endcont\r\n"},
                              {74, "endstyle\r\n"},    {122, "rounds\r\n"},    {123, "round\r\n"},
                              {123, ""},               {124, "endround\r\n"},  {125, "endrounds\r\n"}};
    std::vector<const dbRecord_Class*> stored;
    for (const JournalEntry& entry : journal)
        if (entry.operation == DBMODEL_Append && entry.record && entry.record->GetTimeStamp() >= 1291900030.0)
            stored.push_back(entry.record.get());
    ASSERT_EQ(stored.size(), std::size(markers));
    for (size_t i = 0; i < stored.size(); ++i) {
        EXPECT_EQ(stored[i]->GetType(), markers[i].type) << i;
        EXPECT_EQ(S(stored[i]->GetNotes()), markers[i].notes) << i;
    }
    for (const db_StartRound* round : Appended<db_StartRound>()) EXPECT_EQ(round->Round, 16);
}

// The units element across its version gates: the older layout below 1130 / 500, the
// second record before 1240 / 600.
TEST_F(StyleConversion, UnitsAcrossVersions) {
    const std::string children =
        "<AngleUnits>UNITS_Quad</AngleUnits><CoordOrder>DBCONFIG_NEElev</CoordOrder>"
        "<Stationing>DBCONFIG_StationingNormal</Stationing><LaserVA>DBCONFIG_ZenithAngle</LaserVA>"
        "<DMSAngleDisplay>DBCONFIG_DMSAngleDisplay1</DMSAngleDisplay><DistanceDisplay>DBCONFIG_DistanceDisplay01"
        "</DistanceDisplay><HAVAAngleDisplay>DBCONFIG_HAVAAngleDisplay01</HAVAAngleDisplay>"
        "<SDDisplay>DBCONFIG_SDDisplay00001</SDDisplay><CoordType>COORD_GroundType</CoordType>";
    struct Case {
        const char* root;
        const char* azimuth;  // the "AzimuthFormat" child, if any
        int angleUnits, azimuthFormat, dmsDisplay, distanceDisplay;
        bool coordView;
    };
    const Case cases[] = {
        {"product=\"Quorvel Zentrovane\" version=\"1129\"", "", 14, 1, 0, 3, true},
        {"product=\"Quorvel Zentrovane\" version=\"1130\"", "", 42, 0, 1, 0, true},
        {"product=\"Quorvel Zentrovane\" version=\"1130\"",
         "<AzimuthFormat>DBCONFIG_AzimuthFormatQuadrantBearing</AzimuthFormat>", 42, 1, 1, 0, true},
        {"product=\"Quorvel Zentrovane\" version=\"1239\"", "", 42, 0, 1, 0, true},
        {"product=\"Quorvel Zentrovane\" version=\"1240\"", "", 42, 0, 1, 0, false},
        {"product=\"Quorvel Tessaline\" version=\"499\"", "", 14, 1, 0, 3, true},
        {"product=\"Quorvel Tessaline\" version=\"599\"", "", 42, 0, 1, 0, true},
        {"product=\"Quorvel Tessaline\" version=\"600\"", "", 42, 0, 1, 0, false},
        {"", "", 14, 1, 0, 3, false},  // no version: the older layout, one record
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.root) + c.azimuth);
        ConvertAndRead(c.root, "<DATABASE_UnitsRecord ID=\"0x5\" rec=\"db_Units\" TimeStamp=\"9\">" + children +
                                   c.azimuth + "</DATABASE_UnitsRecord>");
        const db_Units& u = Only<db_Units>();
        EXPECT_EQ(u.AngleUnits, c.angleUnits);
        EXPECT_EQ(u.AzimuthFormat, c.azimuthFormat);
        EXPECT_EQ(u.DMSAngleDisplay, c.dmsDisplay);
        EXPECT_EQ(u.DistanceDisplay, c.distanceDisplay);
        EXPECT_EQ(u.VerticalUnits, 47);  // absent
        const auto views = Appended<db_CoordViewType>();
        ASSERT_EQ(views.size(), c.coordView ? 1u : 0u);
        if (c.coordView) {
            EXPECT_EQ(views[0]->CoordType, 10);
            EXPECT_EQ(S(views[0]->GetNotes()), "");
            EXPECT_EQ(views[0]->GetTimeStamp(), 9.0);
            EXPECT_EQ(views[0]->GetRecordId().Value(), u.GetRecordId().Value() + 1);
        }
    }
}

// A reference to an older units element finds the coordinate view record stored from it.
TEST_F(StyleConversion, AReferenceToAnOlderUnitsElementFindsItsCoordinateView) {
    ConvertAndRead("product=\"Quorvel Zentrovane\" version=\"1239\"",
                   "<DATABASE_UnitsRecord ID=\"0x5\" rec=\"db_Units\"><CoordType>COORD_GridType</CoordType>"
                   "<DMSAngleDisplay>DBCONFIG_DMSAngleDisplay1</DMSAngleDisplay><CoordOrder>DBCONFIG_NEElev</CoordOrder>"
                   "<Stationing>DBCONFIG_StationingNormal</Stationing><LaserVA>DBCONFIG_ZenithAngle</LaserVA>"
                   "</DATABASE_UnitsRecord>"
                   "<DATABASE_PointKeyinRecord ID=\"0x6\" rec=\"db_PointKeyin\"><Method>DBENTITY_FourPointInter</Method>"
                   "<VerticalPlaneIntersectionStation>0x5</VerticalPlaneIntersectionStation></DATABASE_PointKeyinRecord>");
    const db_CoordViewType& view = Only<db_CoordViewType>();
    const db_PointKeyin& keyin = *Final(&Only<db_PointKeyin>());
    EXPECT_EQ(keyin.VerticalPlaneIntersectionStation, view.GetRecordId());
    EXPECT_NE(view.GetRecordId(), Only<db_Units>().GetRecordId());
}

// The stake-out deltas: the main version alone decides the layout.
TEST_F(StyleConversion, StakeOutDeltasAcrossVersions) {
    const std::string required =
        "<DistanceType>COORDSYS_GridDistance</DistanceType><DisplayPointType>COORD_GridType</DisplayPointType>"
        "<DisplayElevToDTM>false</DisplayElevToDTM><AsStakedName>DBCONFIG_DesignName</AsStakedName>"
        "<AsStakedCode>DBCONFIG_DesignName</AsStakedCode><QualityControl>DBCONFIG_Qual1</QualityControl>"
        "<PointLabels>DBCONFIG_DesignName</PointLabels><OrientTo>DBCONFIG_OrientToHeading</OrientTo>"
        "<GridDeltas>true</GridDeltas><MapMode>DBCONFIG_StakeMovingMap</MapMode>"
        "<TSViewMode>DBCONFIG_TSStakeMapView</TSViewMode><DoToleranceCheck>true</DoToleranceCheck>";
    const std::string newer =
        "<GPSDeltasPoint>DBCONFIG_AnglesSlope</GPSDeltasPoint><GPSDeltasOther>DBCONFIG_DistanceDeltas</GPSDeltasOther>"
        "<TSDeltasPoint>DBCONFIG_GridDeltas</TSDeltasPoint><TSDeltasOther>DBCONFIG_AnglesSlope</TSDeltasOther>";
    const std::string older = "<GPSDeltas>DBCONFIG_AzimuthDistance</GPSDeltas><TSDeltas>DBCONFIG_StationOffset</TSDeltas>";
    struct Case {
        const char* root;
        std::string deltas;
        int gpsPoint, gpsOther, tsPoint, tsOther;
    };
    const Case cases[] = {
        {"product=\"Quorvel Zentrovane\" version=\"1244\"", newer + older, 3, 5, 5, 5},
        {"product=\"Quorvel Zentrovane\" version=\"1245\"", newer + older, 2, 0, 4, 2},
        {"product=\"Quorvel Tessaline\" version=\"600\"", newer + older, 3, 5, 5, 5},
        {"", newer + older, 3, 5, 5, 5},
        {"product=\"Quorvel Zentrovane\" version=\"1244\"", "", 4, 5, 0, 5},
        {"product=\"Quorvel Zentrovane\" version=\"1244\"", "<GPSDeltas/><TSDeltas/>", 4, 5, 4, 5},
        {"product=\"Quorvel Zentrovane\" version=\"1245\"", "", 4, 5, 0, 5},
        {"product=\"Quorvel Zentrovane\" version=\"1245\"", "<GPSDeltasOther/><TSDeltasPoint/>", 4, 4, 4, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.root) + c.deltas);
        ConvertAndRead(c.root, "<DATABASE_ConfigStakeOutRecord ID=\"0x5\" rec=\"db_StakeOut\">" + required + c.deltas +
                                   "</DATABASE_ConfigStakeOutRecord>");
        const db_StakeOut& s = Only<db_StakeOut>();
        EXPECT_EQ(s.GPSDeltasPoint, c.gpsPoint);
        EXPECT_EQ(s.GPSDeltasOther, c.gpsOther);
        EXPECT_EQ(s.TSDeltasPoint, c.tsPoint);
        EXPECT_EQ(s.TSDeltasOther, c.tsOther);
    }
}

// Absent groups read as if each component were absent; children with defaults may be
// left out, and an empty optional double is null.
TEST_F(StyleConversion, AbsentGroupsAndDefaultsConvert) {
    ConvertAndRead(kCurrent,
                   "<DATABASE_L2OTFTimesRecord ID=\"0x2\" rec=\"db_L2OTFTimes\"/>"
                   "<DATABASE_FastStaticRecord ID=\"0x3\" rec=\"db_FastStatic\"><AutoRove>false</AutoRove>"
                   "</DATABASE_FastStaticRecord>"
                   "<DATABASE_RTKContRecord ID=\"0x4\" rec=\"db_RTKControl\"><AutoRove>false</AutoRove>"
                   "<QualityControl>DBCONFIG_Qual1</QualityControl></DATABASE_RTKContRecord>"
                   "<DATABASE_PolarDeltasRecord ID=\"0x5\" rec=\"db_PolarDeltas\"/>"
                   "<DATABASE_ToleranceRecord ID=\"0x6\" rec=\"db_Tolerance\"/>"
                   "<DATABASE_ToleranceRecord ID=\"0x7\" rec=\"db_Tolerance\"><AutoAverageMaxHorizResidual/>"
                   "</DATABASE_ToleranceRecord>"
                   "<DATABASE_ConfigStakeOutRecord ID=\"0x8\" rec=\"db_StakeOut\">"
                   "<DistanceType>COORDSYS_GridDistance</DistanceType><DisplayPointType>COORD_GridType</DisplayPointType>"
                   "<DisplayElevToDTM>false</DisplayElevToDTM><AsStakedName>DBCONFIG_DesignName</AsStakedName>"
                   "<AsStakedCode>DBCONFIG_DesignName</AsStakedCode><QualityControl>DBCONFIG_Qual1</QualityControl>"
                   "<PointLabels>DBCONFIG_DesignName</PointLabels><OrientTo>DBCONFIG_OrientToHeading</OrientTo>"
                   "<GridDeltas>true</GridDeltas><MapMode>DBCONFIG_StakeMovingMap</MapMode>"
                   "<TSViewMode>DBCONFIG_TSStakeMapView</TSViewMode><DoToleranceCheck>true</DoToleranceCheck>"
                   "</DATABASE_ConfigStakeOutRecord>"
                   "<DATABASE_QuickMarkRecord ID=\"0x9\" rec=\"db_QuickMark\"><QualityControl>DBCONFIG_Qual1"
                   "</QualityControl></DATABASE_QuickMarkRecord>");
    const db_InitTimes& l2 = Only<db_L2OTFTimes>().times;
    EXPECT_TRUE(l2.RequireL2);  // the record's
    EXPECT_TRUE(maths_IsNull(l2.TimeFor4SVs) && maths_IsNull(l2.TimeFor5SVs) && maths_IsNull(l2.TimeFor6SVs));
    const db_FastStatic& fast = Only<db_FastStatic>();
    EXPECT_FALSE(fast.L1Times.RequireL2);
    EXPECT_TRUE(fast.L1L2Times.RequireL2);
    EXPECT_TRUE(maths_IsNull(fast.L1L2Times.TimeFor6SVs));
    const db_RTKControl& rtk = Only<db_RTKControl>();
    EXPECT_FALSE(rtk.PPTimes.RequireL2);
    EXPECT_TRUE(maths_IsNull(rtk.PPTimes.TimeFor4SVs));
    EXPECT_EQ(rtk.Measurements, 0);
    EXPECT_FALSE(rtk.AutoPrecisions);  // the element's default, not the record's
    EXPECT_TRUE(rtk.StoreRTKFixedOnly);
    EXPECT_TRUE(Only<db_PolarDeltas>().Polar.IsNull());

    const auto tolerances = Appended<db_Tolerance>();
    ASSERT_EQ(tolerances.size(), 2u);
    EXPECT_EQ(tolerances[0]->AutoAverageMaxHorizResidual, 0.01);
    EXPECT_EQ(tolerances[0]->AutoAverageMaxVertResidual, 0.015);
    EXPECT_FALSE(tolerances[0]->AutoAverage);
    EXPECT_TRUE(maths_IsNull(tolerances[0]->HDist));
    EXPECT_TRUE(maths_IsNull(tolerances[1]->AutoAverageMaxHorizResidual));

    const db_StakeOut& s = Only<db_StakeOut>();
    EXPECT_EQ(s.VOffsetToDTM, 0.0);
    EXPECT_FALSE(s.AutoFineMode);
    EXPECT_TRUE(s.AutoSideSlope);
    EXPECT_TRUE(s.RemovePointFromList);
    EXPECT_TRUE(maths_IsNull(s.Tolerance.HDist) && maths_IsNull(s.Tolerance.SlopeDistance));
    EXPECT_TRUE(maths_IsNull(s.TSAngleDeltaTolerance));

    const db_QuickMark& q = Only<db_QuickMark>();
    EXPECT_FALSE(q.AutoPrecisions);
    EXPECT_TRUE(q.StoreRTKFixedOnly);
}

// ---------------------------------------------------------------------------------
// Refusals: the conversion fails with result 2; the message names the refused child
// and the element.

using StyleWriter = import_test::ElementMessageTest;

const struct {
    std::string xml;
    std::string message;
} kRefusals[] = {
    {"<DATABASE_NewPtTimesRecord ID=\"0x2\" rec=\"db_NewPtTimes\"><times><TimeFor4SVs>1</TimeFor4SVs></times>"
     "</DATABASE_NewPtTimesRecord>",
     Invalid("bool", "RequireL2", "") + "\nDATABASE_NewPtTimesRecord ID=\"0x2\""},
    {"<DATABASE_RTKContRecord ID=\"0x3\" rec=\"db_RTKControl\"><AutoRove>false</AutoRove><QualityControl>DBCONFIG_Qual1"
     "</QualityControl><PPTimes><RequireL2>yes</RequireL2></PPTimes></DATABASE_RTKContRecord>",
     Invalid("bool", "RequireL2", "yes") + "\nDATABASE_RTKContRecord ID=\"0x3\""},
    {"<DATABASE_ResectBeginRecord ID=\"0x4\" rec=\"db_StationSetupResidualsBegin\"/>",
     "wrong rec sttribute: db_StationSetupResidualsBegin instead of db_ResectBegin\n"
     "DATABASE_ResectBeginRecord ID=\"0x4\""},
    {"<DATABASE_StationSetupResidualsBeginRecord ID=\"0x5\" rec=\"db_ResectBegin\"/>",
     "wrong rec sttribute: db_ResectBegin instead of db_StationSetupResidualsBegin\n"
     "DATABASE_StationSetupResidualsBeginRecord ID=\"0x5\""},
    {"<DATABASE_StartRoundRecord ID=\"0x6\" rec=\"db_StartRound\"><Round>0x1G</Round></DATABASE_StartRoundRecord>",
     Invalid("hex number", "Round", "0x1G") + "\nDATABASE_StartRoundRecord ID=\"0x6\""},
    {"<DATABASE_UnitsRecord ID=\"0x7\" rec=\"db_Units\"><VerticalUnits>UNITS_Furlong</VerticalUnits>"
     "</DATABASE_UnitsRecord>",
     Invalid("units_Type", "VerticalUnits", "UNITS_Furlong") + "\nDATABASE_UnitsRecord ID=\"0x7\""},
    {"<DATABASE_QuickMarkRecord ID=\"0x8\" rec=\"db_QuickMark\"><QualityControl>DBCONFIG_Qual1</QualityControl>"
     "<StoreRTKFixedOnly/></DATABASE_QuickMarkRecord>",
     Invalid("bool", "StoreRTKFixedOnly", "") + "\nDATABASE_QuickMarkRecord ID=\"0x8\""},
    {"<DATABASE_EndStyleRecord ID=\"0x9\" rec=\"db_EndStyle\"/>",
     "wrong rec sttribute: db_EndStyle instead of db_EndSurveyStyle\nDATABASE_EndStyleRecord ID=\"0x9\""},
    {"<DATABASE_PolarDeltasRecord ID=\"0xA\"/>", "missing rec=\"db_PolarDeltas\"\nDATABASE_PolarDeltasRecord ID=\"0xA\""},
};

TEST_F(StyleWriter, RefusedElementsNameTheirChild) {
    for (const auto& c : kRefusals) EXPECT_EQ(Message(c.xml), "XML read error: \n" + c.message) << c.xml;
}

TEST_F(StyleConversion, RefusedElementsFailTheConversion) {
    for (const auto& c : kRefusals) {
        SCOPED_TRACE(c.xml);
        EXPECT_EQ(Convert(kCurrent, c.xml), 2);
        EXPECT_FALSE(std::filesystem::exists(jobPath));
    }
}

// An older units element without "CoordType" fails after its units record was stored.
TEST_F(StyleWriter, AnOlderUnitsElementWithoutCoordTypeFailsAfterItsUnitsRecord) {
    writer = std::make_unique<JobWriter>(&job, Str("Quorvel Zentrovane"), 1239);
    const std::string xml =
        "<DATABASE_UnitsRecord ID=\"0x7\" rec=\"db_Units\"><CoordOrder>DBCONFIG_NEElev</CoordOrder>"
        "<Stationing>DBCONFIG_StationingNormal</Stationing><LaserVA>DBCONFIG_ZenithAngle</LaserVA>"
        "<DMSAngleDisplay>DBCONFIG_DMSAngleDisplay1</DMSAngleDisplay></DATABASE_UnitsRecord>";
    EXPECT_EQ(Message(xml), "XML read error: \n" + Invalid("coord_Type", "CoordType", "") +
                                "\nDATABASE_UnitsRecord ID=\"0x7\"");
    EXPECT_NE(job.GetAccess()->GetLastIdOfType(DATABASE_UnitsRecord), NODBID);
    EXPECT_EQ(job.GetAccess()->GetLastIdOfType(DATABASE_CoordViewTypeRecord), NODBID);
}

TEST_F(StyleConversion, AnOlderUnitsElementWithoutCoordTypeFailsTheConversion) {
    EXPECT_EQ(Convert("product=\"Quorvel Zentrovane\" version=\"1239\"",
                      "<DATABASE_UnitsRecord ID=\"0x7\" rec=\"db_Units\"><CoordOrder>DBCONFIG_NEElev</CoordOrder>"
                      "<Stationing>DBCONFIG_StationingNormal</Stationing><LaserVA>DBCONFIG_ZenithAngle</LaserVA>"
                      "<DMSAngleDisplay>DBCONFIG_DMSAngleDisplay1</DMSAngleDisplay></DATABASE_UnitsRecord>"),
              2);
}

}  // namespace
