// Coordinate-system definition and job settings elements converted end to end: an
// export through the library's entry point, the job file read back through the
// journal reader and reopened as a job. Every stored field, the defaults of absent
// children and groups, both sides of each version gate, the boundary element counts,
// the time-stamp notes and the refusals.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "foundation/kernel/maths.h"
#include "import/conversion_test.h"
#include "import/import_journal.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbmodel.h"
#include "qzxmli.h"
#include "records/cogo.h"
#include "records/coordsysdefs.h"
#include "records/coordsysstyle.h"
#include "records/jobheader.h"
#include "records/precisioncoding.h"
#include "records/stakeoutsettings.h"
#include "records/unitstiming.h"
#include "support/temp_folder.h"

namespace {

using import_test::JournalEntry;

std::string S(const Str& text) { return text.Data(); }

constexpr const char* kCurrent = "product=\"Quorvel Zentrovane\" version=\"1245\"";

std::string Version(int version) { return "product=\"Quorvel Zentrovane\" version=\"" + std::to_string(version) + "\""; }
std::string Tessaline(int version) {
    return "product=\"Quorvel Tessaline\" version=\"" + std::to_string(version) + "\"";
}

class SettingsConversion : public import_test::ConversionTest {
protected:
    // Record elements written without an ID get one of their own (0x1000 on), as every
    // stored element needs one.
    int Convert(const std::string& rootAttributes, const std::string& elements) {
        std::string withIds;
        int nextId = 0x1000;
        for (size_t at = 0; at < elements.size();) {
            const size_t start = elements.find("<DATABASE_", at);
            if (start == std::string::npos) {
                withIds += elements.substr(at);
                break;
            }
            const size_t nameEnd = elements.find_first_of(" />", start);
            const size_t tagEnd = elements.find('>', start);
            withIds += elements.substr(at, nameEnd - at);
            const std::string tag = elements.substr(start, tagEnd - start);
            if (tag.find(" ID=") == std::string::npos) {
                char id[32];
                std::snprintf(id, sizeof id, " ID=\"0x%x\"", nextId++);
                withIds += id;
            }
            at = nameEnd;
        }
        const std::string xml = folder.Write(
            "job.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<JOBFile " + rootAttributes +
                           ">\n<DATABASE_JobHeaderRecord TimeStamp=\"1\">Settings</DATABASE_JobHeaderRecord>\n" +
                           withIds + "\n</JOBFile>\n");
        return ConvertFile(xml);
    }

    void ConvertAndRead(const std::string& rootAttributes, const std::string& elements) {
        ASSERT_EQ(Convert(rootAttributes, elements), 0);
        Read();
        ASSERT_FALSE(journal.empty());
    }
};

const std::string kDefinitions =
    "<DATABASE_DatumRecord ID=\"0x10\" rec=\"db_Datum\" TimeStamp=\"100.5\"><Note>d</Note><Derivation>CS</Derivation>"
    "<Datum><DatumType>COORDSYS_SevenParameter</DatumType><RotationX>1e-6</RotationX><RotationY>-2e-6</RotationY>"
    "<RotationZ>3e-6</RotationZ><TranslationX>-87.5</TranslationX><TranslationY>-96.25</TranslationY>"
    "<TranslationZ>-120.125</TranslationZ><Scale>1.0000045</Scale><GridName>grid.dgf</GridName></Datum>"
    "</DATABASE_DatumRecord>"
    "<DATABASE_ProjectionRecord ID=\"0x11\" rec=\"db_Projection\" TimeStamp=\"101\"><Derivation>KI</Derivation>"
    "<Projection><ProjectionType>COORDSYS_TransverseMercator</ProjectionType>"
    "<OriginLocal><Lat>0.5</Lat><Long>-1.25</Long><Height>12</Height></OriginLocal>"
    "<OriginGrid><North>10000</North><East>500000</East><Elev>3</Elev></OriginGrid><Scale>0.9996</Scale>"
    "<GridElevation>COORDSYS_Grid</GridElevation><Orientation1>0.1</Orientation1><Orientation2>0.2</Orientation2>"
    "<AzimuthFormat>COORDSYS_GeodeticAzimuth</AzimuthFormat><OriginCenter>COORDSYS_OriginAtProjectionCenter</OriginCenter>"
    "<Rectify>TRUE</Rectify><Area>COORDSYS_AreaJutland</Area><UKNorthGridFile>n.grd</UKNorthGridFile>"
    "<UKEastGridFile>e.grd</UKEastGridFile><ProjectionGridFile>p.pjg</ProjectionGridFile>"
    "<ShiftGridFile>s.sgf</ShiftGridFile><GroundScale><Type>COORDSYS_CalculatedGroundScaleFactor</Type><Factor>1.0002</Factor>"
    "<ProjectLocation><Lat>0.51</Lat><Long>-1.26</Long><Height>40</Height></ProjectLocation>"
    "<NorthingOffset>5</NorthingOffset><EastingOffset>6</EastingOffset><NorthingDelta>0.5</NorthingDelta>"
    "<EastingDelta>0.25</EastingDelta></GroundScale></Projection></DATABASE_ProjectionRecord>"
    "<DATABASE_PlaneRecord ID=\"0x12\" rec=\"db_Plane\" TimeStamp=\"102\"><Derivation></Derivation>"
    "<Plane><PlaneType>COORDSYS_ValidHorizontal</PlaneType><OriginNorth>1</OriginNorth><OriginEast>2</OriginEast>"
    "<TranslationNorth>3</TranslationNorth><TranslationEast>4</TranslationEast><Rotation>0.001</Rotation>"
    "<ScaleFactor>1.00001</ScaleFactor></Plane></DATABASE_PlaneRecord>"
    "<DATABASE_HeightRecord ID=\"0x13\" rec=\"db_Height\" TimeStamp=\"103\"><Derivation>KI</Derivation>"
    "<Height><HeightType>COORDSYS_GeoidAndPlane</HeightType><OriginNorth>7</OriginNorth>"
    "<OriginEast>8</OriginEast><NorthAdjustment>1e-5</NorthAdjustment><EastAdjustment>-2e-5</EastAdjustment>"
    "<ElevAdjustment>0.75</ElevAdjustment><GeoidFilename>geoid.ggf</GeoidFilename></Height></DATABASE_HeightRecord>"
    "<DATABASE_CorrectionsRecord ID=\"0x14\" rec=\"db_Corrections\" TimeStamp=\"104\"><Note>c</Note>"
    "<Corrections><SouthAzimuth>true</SouthAzimuth><GridOrientation>COORDSYS_IncreasingSouthWest</GridOrientation>"
    "<MagneticDeclination>0.2</MagneticDeclination><Distances>COORDSYS_GridDistance</Distances>"
    "<SubDivideCode>COORDSYS_UseCode</SubDivideCode><NeighbourhoodAdjustment>true</NeighbourhoodAdjustment>"
    "<WeightExponent>COORDSYS_WeightExponentTwoPointZero</WeightExponent>"
    "<CrossSectionInterpolationMethod>XSInterpolate_CrossSlope</CrossSectionInterpolationMethod>"
    "<ApplySeaLevelCorrectionOnStandardProjection>false</ApplySeaLevelCorrectionOnStandardProjection>"
    "<ApplySeaLevelCorrectionOnScaleOnlyProjection>true</ApplySeaLevelCorrectionOnScaleOnlyProjection>"
    "</Corrections></DATABASE_CorrectionsRecord>";

TEST_F(SettingsConversion, EveryCoordinateSystemDefinitionField) {
    ConvertAndRead(kCurrent, kDefinitions);

    const db_Datum& d = Only<db_Datum>();
    EXPECT_EQ(d.GetTimeStamp(), 100.5);
    EXPECT_EQ(S(d.GetNotes()), "d\r\n");
    EXPECT_EQ(d.Derivation, 'C' | ('S' << 8));
    EXPECT_EQ(d.Datum.DatumType, 1);  // COORDSYS_SevenParameter
    EXPECT_EQ(d.Datum.RotationX, 1e-6);
    EXPECT_EQ(d.Datum.RotationY, -2e-6);
    EXPECT_EQ(d.Datum.RotationZ, 3e-6);
    EXPECT_EQ(d.Datum.TranslationX, -87.5);
    EXPECT_EQ(d.Datum.TranslationY, -96.25);
    EXPECT_EQ(d.Datum.TranslationZ, -120.125);
    EXPECT_EQ(d.Datum.Scale, 1.0000045);
    EXPECT_EQ(S(d.Datum.GridName), "grid.dgf");

    const db_Projection& p = Only<db_Projection>();
    const coordsys_Projection& pr = p.Projection;
    EXPECT_EQ(p.GetTimeStamp(), 101.0);
    EXPECT_EQ(pr.ProjectionType, 4);  // COORDSYS_TransverseMercator
    EXPECT_EQ(pr.OriginLocal.Lat, 0.5);
    EXPECT_EQ(pr.OriginLocal.Long, -1.25);
    EXPECT_EQ(pr.OriginLocal.Height, 12.0);
    EXPECT_EQ(pr.OriginGrid.North, 10000.0);
    EXPECT_EQ(pr.OriginGrid.East, 500000.0);
    EXPECT_EQ(pr.OriginGrid.Elev, 3.0);
    EXPECT_EQ(pr.Scale, 0.9996);
    EXPECT_EQ(pr.GridElevation, 1);  // COORDSYS_Grid
    EXPECT_EQ(pr.Orientation1, 0.1);
    EXPECT_EQ(pr.Orientation2, 0.2);
    EXPECT_EQ(pr.AzimuthFormat, 1);  // COORDSYS_GeodeticAzimuth
    EXPECT_EQ(pr.OriginCenter, 1);  // COORDSYS_OriginAtProjectionCenter
    EXPECT_TRUE(pr.Rectify);
    EXPECT_EQ(pr.Area, 2);  // COORDSYS_AreaJutland
    EXPECT_EQ(S(pr.UKNorthGridFile), "n.grd");
    EXPECT_EQ(S(pr.UKEastGridFile), "e.grd");
    EXPECT_EQ(S(pr.ProjectionGridFile), "p.pjg");
    EXPECT_EQ(S(pr.ShiftGridFile), "s.sgf");
    EXPECT_EQ(pr.GroundScale.Type, 2);  // COORDSYS_CalculatedGroundScaleFactor
    EXPECT_EQ(pr.GroundScale.Factor, 1.0002);
    EXPECT_EQ(pr.GroundScale.ProjectLocation.Lat, 0.51);
    EXPECT_EQ(pr.GroundScale.ProjectLocation.Long, -1.26);
    EXPECT_EQ(pr.GroundScale.ProjectLocation.Height, 40.0);
    EXPECT_EQ(pr.GroundScale.NorthingOffset, 5.0);
    EXPECT_EQ(pr.GroundScale.EastingOffset, 6.0);
    EXPECT_EQ(pr.GroundScale.NorthingDelta, 0.5);
    EXPECT_EQ(pr.GroundScale.EastingDelta, 0.25);

    const db_Plane& pl = Only<db_Plane>();
    EXPECT_EQ(pl.Derivation, 0x2020);  // empty text: two blanks
    EXPECT_EQ(pl.Plane.PlaneType, 1);  // COORDSYS_ValidHorizontal
    EXPECT_EQ(pl.Plane.OriginNorth, 1.0);
    EXPECT_EQ(pl.Plane.OriginEast, 2.0);
    EXPECT_EQ(pl.Plane.TranslationNorth, 3.0);
    EXPECT_EQ(pl.Plane.TranslationEast, 4.0);
    EXPECT_EQ(pl.Plane.Rotation, 0.001);
    EXPECT_EQ(pl.Plane.ScaleFactor, 1.00001);

    const db_Height& h = Only<db_Height>();
    EXPECT_EQ(h.Height.HeightType, 5);  // COORDSYS_GeoidAndPlane
    EXPECT_EQ(h.Height.OriginNorth, 7.0);
    EXPECT_EQ(h.Height.OriginEast, 8.0);
    EXPECT_EQ(h.Height.NorthAdjustment, 1e-5);
    EXPECT_EQ(h.Height.EastAdjustment, -2e-5);
    EXPECT_EQ(h.Height.ElevAdjustment, 0.75);
    EXPECT_EQ(S(h.Height.GeoidFilename), "geoid.ggf");

    const db_Corrections& c = Only<db_Corrections>();
    const coordsys_Corrections& co = c.Corrections;
    EXPECT_EQ(c.GetTimeStamp(), 104.0);
    EXPECT_EQ(S(c.GetNotes()), "c\r\n");
    EXPECT_EQ(co.ValuesPresent, 1023);
    EXPECT_TRUE(co.SouthAzimuth);
    EXPECT_EQ(co.GridOrientation, 1);  // COORDSYS_IncreasingSouthWest
    EXPECT_EQ(co.MagneticDeclination, 0.2);
    EXPECT_EQ(co.Distances, 0);  // COORDSYS_GridDistance
    EXPECT_EQ(co.SubDivideCode, 1);  // COORDSYS_UseCode
    EXPECT_TRUE(co.NeighbourhoodAdjustment);
    EXPECT_EQ(co.WeightExponent, 3);  // COORDSYS_WeightExponentTwoPointZero
    EXPECT_EQ(co.CrossSectionInterpolationMethod, 1);  // XSInterpolate_CrossSlope
    EXPECT_FALSE(co.ApplySeaLevelCorrectionOnStandardProjection);
    EXPECT_TRUE(co.ApplySeaLevelCorrectionOnScaleOnlyProjection);
}

TEST_F(SettingsConversion, AbsentMembersAndGroupsOfTheDefinitions) {
    ConvertAndRead(
        kCurrent,
        // Only the required members; "OriginGrid" with "North" alone.
        "<DATABASE_DatumRecord rec=\"db_Datum\"><Datum><DatumType>COORDSYS_ThreeParameter</DatumType></Datum>"
        "</DATABASE_DatumRecord>"
        "<DATABASE_ProjectionRecord rec=\"db_Projection\"><Projection><ProjectionType>COORDSYS_ScaleOnly</ProjectionType>"
        "<OriginLocal/><OriginGrid><North>5</North></OriginGrid><GridElevation>COORDSYS_Ground</GridElevation>"
        "<AzimuthFormat>COORDSYS_GridAzimuth</AzimuthFormat><OriginCenter>COORDSYS_OriginAtEquator</OriginCenter>"
        "<Rectify>false</Rectify><Area>COORDSYS_AreaNone</Area>"
        "<GroundScale><Type>COORDSYS_GridScaleFactor</Type></GroundScale></Projection></DATABASE_ProjectionRecord>"
        "<DATABASE_ProjectionRecord rec=\"db_Projection\"><Projection><ProjectionType>COORDSYS_ScaleOnly</ProjectionType>"
        "<OriginLocal/><GridElevation>COORDSYS_Ground</GridElevation>"
        "<AzimuthFormat>COORDSYS_GridAzimuth</AzimuthFormat><OriginCenter>COORDSYS_OriginAtEquator</OriginCenter>"
        "<Rectify>false</Rectify><Area>COORDSYS_AreaNone</Area></Projection></DATABASE_ProjectionRecord>"
        "<DATABASE_CorrectionsRecord rec=\"db_Corrections\"><Corrections><SouthAzimuth>false</SouthAzimuth>"
        "<GridOrientation>COORDSYS_IncreasingNorthEast</GridOrientation><Distances>COORDSYS_GroundDistance</Distances>"
        "<SubDivideCode>COORDSYS_UseName</SubDivideCode></Corrections></DATABASE_CorrectionsRecord>"
        // No body group at all: the doubles null, the rest at the record's defaults.
        "<DATABASE_DatumRecord rec=\"db_Datum\"><Derivation>KI</Derivation></DATABASE_DatumRecord>"
        "<DATABASE_ProjectionRecord rec=\"db_Projection\"/>"
        "<DATABASE_PlaneRecord rec=\"db_Plane\"/>"
        "<DATABASE_HeightRecord rec=\"db_Height\"/>"
        "<DATABASE_CorrectionsRecord rec=\"db_Corrections\"/>");

    const auto datums = Appended<db_Datum>();
    ASSERT_EQ(datums.size(), 2u);
    EXPECT_EQ(datums[0]->Datum.DatumType, 2);  // COORDSYS_ThreeParameter
    EXPECT_EQ(datums[0]->Derivation, 0x2020);  // absent: two blanks
    EXPECT_EQ(S(datums[0]->Datum.GridName), "");
    EXPECT_TRUE(maths_IsNull(datums[0]->Datum.Scale));
    EXPECT_TRUE(maths_IsNull(datums[0]->Datum.RotationX));
    EXPECT_EQ(datums[1]->Datum.DatumType, 0);  // COORDSYS_NoDatum
    EXPECT_TRUE(maths_IsNull(datums[1]->Datum.Scale));
    EXPECT_TRUE(maths_IsNull(datums[1]->Datum.TranslationZ));

    const auto projections = Appended<db_Projection>();
    ASSERT_EQ(projections.size(), 3u);
    const coordsys_Projection& northOnly = projections[0]->Projection;
    EXPECT_EQ(northOnly.OriginGrid.North, 5.0);
    EXPECT_TRUE(maths_IsNull(northOnly.OriginGrid.East));
    EXPECT_TRUE(maths_IsNull(northOnly.OriginGrid.Elev));
    EXPECT_TRUE(maths_IsNull(northOnly.OriginLocal.Lat));
    EXPECT_TRUE(maths_IsNull(northOnly.Scale));
    EXPECT_TRUE(maths_IsNull(northOnly.GroundScale.Factor));
    EXPECT_EQ(S(northOnly.ShiftGridFile), "");
    const coordsys_Projection& noGrid = projections[1]->Projection;
    EXPECT_TRUE(maths_IsNull(noGrid.OriginGrid.North));
    EXPECT_TRUE(maths_IsNull(noGrid.OriginGrid.East));
    // Without its ground scale group the ground scale's numbers are null.
    EXPECT_TRUE(maths_IsNull(noGrid.GroundScale.Factor));
    EXPECT_TRUE(maths_IsNull(noGrid.GroundScale.EastingDelta));
    const coordsys_Projection& none = projections[2]->Projection;
    EXPECT_EQ(none.ProjectionType, 1);  // the record's COORDSYS_ScaleOnly
    EXPECT_EQ(none.Area, 0);
    EXPECT_TRUE(maths_IsNull(none.Scale));
    EXPECT_TRUE(maths_IsNull(none.OriginLocal.Long));
    EXPECT_TRUE(maths_IsNull(none.GroundScale.NorthingOffset));

    const db_Plane& plane = Only<db_Plane>();
    EXPECT_EQ(plane.Derivation, 0x2020);
    EXPECT_TRUE(maths_IsNull(plane.Plane.Rotation));
    const db_Height& height = Only<db_Height>();
    EXPECT_TRUE(maths_IsNull(height.Height.ElevAdjustment));

    const auto corrections = Appended<db_Corrections>();
    ASSERT_EQ(corrections.size(), 2u);
    const coordsys_Corrections& sparse = corrections[0]->Corrections;
    EXPECT_EQ(sparse.ValuesPresent, 1023);
    EXPECT_TRUE(maths_IsNull(sparse.MagneticDeclination));
    EXPECT_FALSE(sparse.NeighbourhoodAdjustment);
    EXPECT_EQ(sparse.WeightExponent, 0);
    EXPECT_EQ(sparse.CrossSectionInterpolationMethod, 0);
    EXPECT_TRUE(sparse.ApplySeaLevelCorrectionOnStandardProjection);
    EXPECT_FALSE(sparse.ApplySeaLevelCorrectionOnScaleOnlyProjection);
    const coordsys_Corrections& empty = corrections[1]->Corrections;
    EXPECT_EQ(empty.ValuesPresent, 1023);
    EXPECT_TRUE(maths_IsNull(empty.MagneticDeclination));
    EXPECT_EQ(empty.Distances, 2);  // the record's COORDSYS_GroundDistance
    EXPECT_TRUE(empty.ApplySeaLevelCorrectionOnStandardProjection);
}

const std::string kSettings =
    "<DATABASE_PrecisionRecord ID=\"0x20\" rec=\"db_Precision\" TimeStamp=\"200\"><Note>p</Note>"
    "<Horizontal>0.01</Horizontal><Vertical>0.02</Vertical></DATABASE_PrecisionRecord>"
    "<DATABASE_CodingRecord ID=\"0x21\" rec=\"db_Coding\" TimeStamp=\"201\"><Comment>Roads</Comment>"
    "<Filename>lib.fxl</Filename><DDFFilename>dd.ddf</DDFFilename><CheckSum>0x1A2B</CheckSum>"
    "<AttributesActive>true</AttributesActive><UseAttributesOfBaseCode>true</UseAttributesOfBaseCode>"
    "</DATABASE_CodingRecord>"
    "<DATABASE_CodingRecord rec=\"db_Coding\"><CheckSum>6699</CheckSum><AttributesActive>false</AttributesActive>"
    "</DATABASE_CodingRecord>"
    "<DATABASE_CodingRecord rec=\"db_Coding\"><CheckSum>70000</CheckSum><AttributesActive>false</AttributesActive>"
    "</DATABASE_CodingRecord>"
    "<DATABASE_DescriptionsDefinitionRecord ID=\"0x22\" rec=\"db_DescriptionsDefinition\" TimeStamp=\"202\">"
    "<UseDescriptions>true</UseDescriptions><Description1Label>Height</Description1Label>"
    "<Description2Label>Colour</Description2Label></DATABASE_DescriptionsDefinitionRecord>"
    "<DATABASE_MeterologicalRecord ID=\"0x23\" rec=\"db_Meterological\" TimeStamp=\"203\"><Pressure>1013.25</Pressure>"
    "<DryBulbTemperature>21.5</DryBulbTemperature><WetBulbTemperature>18</WetBulbTemperature>"
    "<RelativeHumidity>65</RelativeHumidity></DATABASE_MeterologicalRecord>"
    "<DATABASE_ConfigCalibRecord ID=\"0x24\" rec=\"db_ConfigCalib\" TimeStamp=\"204\"><Note>cal</Note>"
    "<FixHorzScaleToOne>true</FixHorzScaleToOne><FixHorzRotationToZero>false</FixHorzRotationToZero>"
    "<CalibType>DBQZ_RapidPoint</CalibType><AutoCalibrate>true</AutoCalibrate>"
    "<VerticalCalibrationMethod>DBQZ_ConstantAdjustmentOnly</VerticalCalibrationMethod>"
    "<MaxHorzResiduals>0.05</MaxHorzResiduals><MaxVertResiduals>0.06</MaxVertResiduals>"
    "<MaxHorzScale>1.0001</MaxHorzScale><MinHorzScale>0.9999</MinHorzScale><MaxVertIncline>2e-5</MaxVertIncline>"
    "<PointName><Method>DBQZ_AddConstantToPointName</Method><Constant>-1000.9</Constant><Prefix>C</Prefix>"
    "<Suffix>_g</Suffix></PointName></DATABASE_ConfigCalibRecord>"
    "<DATABASE_ConfigCalibRecord rec=\"db_ConfigCalib\"><FixHorzScaleToOne>false</FixHorzScaleToOne>"
    "<FixHorzRotationToZero>false</FixHorzRotationToZero><CalibType>DBQZ_KinematicPoint</CalibType>"
    "<AutoCalibrate>false</AutoCalibrate></DATABASE_ConfigCalibRecord>"
    "<DATABASE_CalibPointRecord ID=\"0x25\" rec=\"db_CalibPoint\" TimeStamp=\"205\"><NEEPointId>G1</NEEPointId>"
    "<WGS84PointId>W1</WGS84PointId><Status>DBQZ_3D</Status><Residuals><OneD>0.1</OneD><TwoD>0.2</TwoD>"
    "<ThreeD>0.3</ThreeD><North>0.4</North><East>0.5</East><Elev>0.6</Elev><DeltaNorth>0.7</DeltaNorth>"
    "<DeltaEast>0.8</DeltaEast><DeltaElev>0.9</DeltaElev></Residuals></DATABASE_CalibPointRecord>"
    "<DATABASE_CalibPointRecord rec=\"db_CalibPoint\"><Status>DBQZ_0D</Status></DATABASE_CalibPointRecord>"
    "<DATABASE_CoordSysControlRecord ID=\"0x26\" rec=\"db_CoordSystemControl\" TimeStamp=\"206\">"
    "<HorzAdjust>true</HorzAdjust><VertAdjust>false</VertAdjust><DoGeolib>True</DoGeolib>"
    "</DATABASE_CoordSysControlRecord>";

TEST_F(SettingsConversion, EveryJobSettingsField) {
    ConvertAndRead(kCurrent, kSettings);

    const db_Precision& precision = Only<db_Precision>();
    EXPECT_EQ(precision.GetTimeStamp(), 200.0);
    EXPECT_EQ(S(precision.GetNotes()), "p\r\n");
    EXPECT_EQ(precision.Horizontal, 0.01);
    EXPECT_EQ(precision.Vertical, 0.02);

    const auto codings = Appended<db_Coding>();
    ASSERT_EQ(codings.size(), 3u);
    EXPECT_EQ(S(codings[0]->Comment), "Roads");
    EXPECT_EQ(S(codings[0]->Filename), "lib.fxl");
    EXPECT_EQ(S(codings[0]->DDFFilename), "dd.ddf");
    EXPECT_EQ(codings[0]->CheckSum, 0x1A2B);
    EXPECT_EQ(codings[1]->CheckSum, 6699);  // the same value
    EXPECT_EQ(codings[2]->CheckSum, 70000 - 65536);
    EXPECT_TRUE(codings[0]->AttributesActive);
    EXPECT_TRUE(codings[0]->UseAttributesOfBaseCode);
    EXPECT_FALSE(codings[1]->UseAttributesOfBaseCode);

    const db_DescriptionsDefinition& labels = Only<db_DescriptionsDefinition>();
    EXPECT_TRUE(labels.UseDescriptions);
    EXPECT_EQ(S(labels.Description1Label), "Height");
    EXPECT_EQ(S(labels.Description2Label), "Colour");

    const db_Meterological& met = Only<db_Meterological>();
    EXPECT_EQ(met.Pressure, 1013.25);
    EXPECT_EQ(met.DryBulbTemperature, 21.5);
    EXPECT_EQ(met.WetBulbTemperature, 18.0);
    EXPECT_EQ(met.RelativeHumidity, 65.0);

    const auto calibs = Appended<db_ConfigCalib>();
    ASSERT_EQ(calibs.size(), 2u);
    const db_ConfigCalib& cal = *calibs[0];
    EXPECT_EQ(S(cal.GetNotes()), "cal\r\n");
    EXPECT_TRUE(cal.FixHorzScaleToOne);
    EXPECT_FALSE(cal.FixHorzRotationToZero);
    EXPECT_EQ(cal.CalibType, 2);  // DBQZ_RapidPoint
    EXPECT_TRUE(cal.AutoCalibrate);
    EXPECT_EQ(cal.VerticalCalibrationMethod, 1);  // DBQZ_ConstantAdjustmentOnly
    EXPECT_EQ(cal.MaxHorzResiduals, 0.05);
    EXPECT_EQ(cal.MaxVertResiduals, 0.06);
    EXPECT_EQ(cal.MaxHorzScale, 1.0001);
    EXPECT_EQ(cal.MinHorzScale, 0.9999);
    EXPECT_EQ(cal.MaxVertIncline, 2e-5);
    EXPECT_EQ(cal.PointName.Method, 3);  // DBQZ_AddConstantToPointName
    EXPECT_EQ(cal.PointName.Constant, -1000);  // truncated toward zero
    EXPECT_EQ(S(cal.PointName.Prefix), "C");
    EXPECT_EQ(S(cal.PointName.Suffix), "_g");
    // Without "VerticalCalibrationMethod", the inclined plane; without "PointName",
    // the record's naming and null doubles.
    const db_ConfigCalib& sparse = *calibs[1];
    EXPECT_EQ(sparse.VerticalCalibrationMethod, 2);
    EXPECT_EQ(sparse.PointName.Method, 2);
    EXPECT_EQ(sparse.PointName.Constant, 0);
    EXPECT_EQ(S(sparse.PointName.Suffix), "_GNSS");
    EXPECT_TRUE(maths_IsNull(sparse.MaxHorzScale));

    const auto points = Appended<db_CalibPoint>();
    ASSERT_EQ(points.size(), 2u);
    const db_CalibPoint& pair = *points[0];
    EXPECT_EQ(S(pair.NEEPointId), "G1");
    EXPECT_EQ(S(pair.WGS84PointId), "W1");
    EXPECT_EQ(pair.Status, 3);  // DBQZ_3D
    const double expected[] = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9};
    const dbrecord_CalibResiduals& r = pair.Residuals;
    const double got[] = {r.OneD, r.TwoD, r.ThreeD, r.North, r.East, r.Elev, r.DeltaNorth, r.DeltaEast, r.DeltaElev};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(got[i], expected[i]) << i;
    EXPECT_TRUE(maths_IsNull(points[1]->Residuals.OneD));  // no "Residuals": null
    EXPECT_TRUE(maths_IsNull(points[1]->Residuals.DeltaElev));

    const db_CoordSystemControl& control = Only<db_CoordSystemControl>();
    EXPECT_EQ(control.GetTimeStamp(), 206.0);
    EXPECT_TRUE(control.HorzAdjust);
    EXPECT_FALSE(control.VertAdjust);
    EXPECT_TRUE(control.DoGeolib);
}

TEST_F(SettingsConversion, PointNameConstants) {
    const struct {
        const char* text;  // null: no "Constant" child
        int32_t stored;
    } cases[] = {
        {nullptr, 0}, {"", 0}, {"12.99", 12}, {"-7.5", -7}, {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
        {"2147483648", 0}, {"-1e10", 0}, {"1e309", 0}, {"nan", 0},
    };
    std::string elements;
    for (const auto& c : cases) {
        elements += "<DATABASE_ConfigCalibRecord rec=\"db_ConfigCalib\"><FixHorzScaleToOne>false</FixHorzScaleToOne>"
                    "<FixHorzRotationToZero>false</FixHorzRotationToZero><CalibType>DBQZ_KinematicPoint</CalibType>"
                    "<AutoCalibrate>false</AutoCalibrate><PointName><Method>DBQZ_AddConstantToPointName</Method>";
        if (c.text) elements += std::string("<Constant>") + c.text + "</Constant>";
        elements += "</PointName></DATABASE_ConfigCalibRecord>";
    }
    ConvertAndRead(kCurrent, elements);
    const auto calibs = Appended<db_ConfigCalib>();
    ASSERT_EQ(calibs.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(calibs[i]->PointName.Constant, cases[i].stored) << (cases[i].text ? cases[i].text : "absent");
        EXPECT_EQ(S(calibs[i]->PointName.Suffix), "");  // the group is there: an absent "Suffix" is empty
    }
}

std::string CoordSystem(const char* zoneChild) {
    return std::string("<DATABASE_CoordSystemRecord ID=\"0x30\" rec=\"db_CoordSystem\" TimeStamp=\"300\"><Note>cs</Note>"
                       "<SystemName>Sys</SystemName><ZoneName>Old zone</ZoneName>") +
           (zoneChild ? std::string("<ZoneSiteName>") + zoneChild + "</ZoneSiteName>" : std::string()) +
           "<DatumName>Dat</DatumName><UseGeoid>true</UseGeoid><UseDatumGrid>false</UseDatumGrid>"
           "<GeoidFilename>g.ggf</GeoidFilename><GroundScale><Type>COORDSYS_CalculatedGroundScaleFactor</Type>"
           "<Factor>1.0003</Factor><ProjectLocation><Lat>0.7</Lat><Long>0.8</Long><Height>90</Height></ProjectLocation>"
           "<NorthingOffset>1</NorthingOffset><EastingOffset>2</EastingOffset><NorthingDelta>3</NorthingDelta>"
           "<EastingDelta>4</EastingDelta></GroundScale></DATABASE_CoordSystemRecord>";
}

TEST_F(SettingsConversion, CoordSystemZoneByVersionAndTheWordsStoredZero) {
    const struct {
        std::string root;
        const char* zone;
    } cases[] = {
        {Version(1129), "Old zone"}, {Version(1130), "New zone"}, {Tessaline(499), "Old zone"},
        {Tessaline(500), "New zone"}, {"product=\"Quorvel Zentrovane\"", "Old zone"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.root);
        ConvertAndRead(c.root, CoordSystem("New zone"));
        const db_CoordSystem& cs = Only<db_CoordSystem>();
        EXPECT_EQ(S(cs.ZoneName), c.zone);
        EXPECT_EQ(S(cs.SystemName), "Sys");
        EXPECT_EQ(S(cs.DatumName), "Dat");
        EXPECT_EQ(S(cs.GetNotes()), "cs\r\n");
        EXPECT_EQ(cs.GetTimeStamp(), 300.0);
        EXPECT_TRUE(cs.UseGeoid);
        EXPECT_FALSE(cs.UseDatumGrid);
        EXPECT_EQ(S(cs.GeoidFilename), "g.ggf");
        EXPECT_EQ(cs.Word1, 0);
        EXPECT_EQ(cs.Word2, 0);
        EXPECT_EQ(cs.Word3, 0);
        EXPECT_EQ(cs.GroundScale.Type, 2);  // COORDSYS_CalculatedGroundScaleFactor
        EXPECT_EQ(cs.GroundScale.Factor, 1.0003);
        EXPECT_EQ(cs.GroundScale.ProjectLocation.Lat, 0.7);
        EXPECT_EQ(cs.GroundScale.ProjectLocation.Long, 0.8);
        EXPECT_EQ(cs.GroundScale.ProjectLocation.Height, 90.0);
        EXPECT_EQ(cs.GroundScale.NorthingOffset, 1.0);
        EXPECT_EQ(cs.GroundScale.EastingOffset, 2.0);
        EXPECT_EQ(cs.GroundScale.NorthingDelta, 3.0);
        EXPECT_EQ(cs.GroundScale.EastingDelta, 4.0);
    }
    // A newer export without "ZoneSiteName" stores an empty zone.
    ConvertAndRead(Version(1130), CoordSystem(nullptr));
    EXPECT_EQ(S(Only<db_CoordSystem>().ZoneName), "");

    // Without its ground scale: the numbers null, the kind the record's.
    ConvertAndRead(kCurrent, "<DATABASE_CoordSystemRecord rec=\"db_CoordSystem\"><UseGeoid>false</UseGeoid>"
                             "<UseDatumGrid>true</UseDatumGrid></DATABASE_CoordSystemRecord>");
    const db_CoordSystem& bare = Only<db_CoordSystem>();
    EXPECT_TRUE(bare.UseDatumGrid);
    EXPECT_EQ(bare.GroundScale.Type, 0);
    EXPECT_TRUE(maths_IsNull(bare.GroundScale.Factor));
    EXPECT_TRUE(maths_IsNull(bare.GroundScale.ProjectLocation.Lat));
    EXPECT_TRUE(maths_IsNull(bare.GroundScale.EastingDelta));
    EXPECT_EQ(bare.Word3, 0);
}

const char* const kLineArcLine =
    "<Line><Name>L1</Name><Start><Name>A</Name><North>1</North><East>2</East><Elev>3</Elev></Start>"
    "<End><Name>B</Name><North>4</North><East>5</East></End></Line>"
    "<Arc><Name>A1</Name><Start><Name>B</Name></Start><End><Name>C</Name><North>7</North></End>"
    "<Centre><Name>O</Name><East>9</East></Centre><ScribedAngle>1.5</ScribedAngle><Clockwise>false</Clockwise></Arc>"
    "<Line><Name>L2</Name></Line>";

std::string Area(const char* count, const std::string& children) {
    return std::string("<DATABASE_AreaRecord ID=\"0x40\" rec=\"db_Area\" TimeStamp=\"400\"><Note>a</Note><Name>Lot 1</Name>"
                       "<Method>COORDSYS_CogoAzimuthGrid COORDSYS_CogoDistanceGrid</Method><Area>1250.5</Area>"
                       "<Perimeter>150.25</Perimeter><PerimeterEntityCount>") +
           count + "</PerimeterEntityCount><PerimeterEntities>" + children + "</PerimeterEntities></DATABASE_AreaRecord>";
}

// The kinds and names of an area's entries.
std::vector<std::string> Entries(const AreaElementArray& entries) {
    std::vector<std::string> found;
    for (int i = 0; i < entries.Count(); ++i) {
        const AreaElement* e = entries.Get(i);
        found.push_back(e ? std::string(e->GetKind() == AREA_LineElement ? "line " : "arc ") + S(e->Name) : "empty");
    }
    return found;
}

TEST_F(SettingsConversion, AreaBoundaryOnlyFromItsVersionOn) {
    const struct {
        std::string root;
        size_t entries;
    } cases[] = {
        {Version(1239), 0}, {Version(1240), 3}, {Tessaline(599), 0}, {Tessaline(600), 3}, {"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.root);
        ConvertAndRead(c.root, Area("3", kLineArcLine));
        const db_Area& area = Only<db_Area>();
        EXPECT_EQ(S(area.Name), "Lot 1");
        EXPECT_EQ(S(area.GetNotes()), "a\r\n");
        EXPECT_EQ(area.GetTimeStamp(), 400.0);
        EXPECT_EQ(area.Method.Value(), 0x24);  // azimuth grid 0x4, distance grid 0x20
        EXPECT_EQ(area.Area, 1250.5);
        EXPECT_EQ(area.Perimeter, 150.25);
        EXPECT_EQ(static_cast<size_t>(area.PerimeterEntities.Count()), c.entries);
    }
}

TEST_F(SettingsConversion, AreaEntriesAreTheCountedChildrenThatStand) {
    const std::vector<std::string> lineArcLine = {"line L1", "arc A1", "line L2"};
    const struct {
        const char* count;
        std::string children;
        std::vector<std::string> entries;
    } cases[] = {
        {"3", kLineArcLine, lineArcLine},
        {"2", kLineArcLine, {"line L1", "arc A1"}},
        {"5", kLineArcLine, lineArcLine},
        {"0x7FFFFFFF", kLineArcLine, lineArcLine},
        {"-1", kLineArcLine, {}},
        {"0", kLineArcLine, {}},
        {"", kLineArcLine, {}},
        {"3", "<Line><Name>L1</Name></Line><Curve/><Arc><Name>A9</Name><Clockwise>true</Clockwise></Arc>",
         {"line L1", "arc A9"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.count) + " over " + c.children.substr(0, 40));
        ConvertAndRead(kCurrent, Area(c.count, c.children));
        EXPECT_EQ(Entries(Only<db_Area>().PerimeterEntities), c.entries);
    }
    // Without the group nothing is read, whatever the count.
    ConvertAndRead(kCurrent, "<DATABASE_AreaRecord rec=\"db_Area\"><PerimeterEntityCount>3</PerimeterEntityCount>"
                             "</DATABASE_AreaRecord>");
    EXPECT_EQ(Only<db_Area>().PerimeterEntities.Count(), 0);
}

TEST_F(SettingsConversion, AreaElementsCarryTheirPoints) {
    ConvertAndRead(kCurrent, Area("3", kLineArcLine));
    const AreaElementArray& entries = Only<db_Area>().PerimeterEntities;
    ASSERT_EQ(entries.Count(), 3);
    const AreaElement* line = entries.Get(0);
    EXPECT_EQ(S(line->Start.Name), "A");
    EXPECT_EQ(line->Start.North, 1.0);
    EXPECT_EQ(line->Start.East, 2.0);
    EXPECT_EQ(line->Start.Elev, 3.0);
    EXPECT_EQ(S(line->End.Name), "B");
    EXPECT_EQ(line->End.East, 5.0);
    EXPECT_TRUE(maths_IsNull(line->End.Elev));
    ASSERT_EQ(entries.Get(1)->GetKind(), AREA_ArcElement);
    const AreaArcElement* arc = static_cast<const AreaArcElement*>(entries.Get(1));
    EXPECT_EQ(S(arc->Start.Name), "B");
    EXPECT_TRUE(maths_IsNull(arc->Start.North));
    EXPECT_EQ(arc->End.North, 7.0);
    EXPECT_EQ(S(arc->Centre.Name), "O");
    EXPECT_EQ(arc->Centre.East, 9.0);
    EXPECT_EQ(arc->ScribedAngle, 1.5);
    EXPECT_FALSE(arc->Clockwise);
    // A point without its child keeps the element's defaults.
    const AreaElement* last = entries.Get(2);
    EXPECT_EQ(S(last->Start.Name), "");
    EXPECT_TRUE(maths_IsNull(last->End.North));
}

TEST_F(SettingsConversion, SubdividedAreaWithBothBoundariesAtAnyVersion) {
    const std::string element =
        "<DATABASE_SubdividedAreaRecord ID=\"0x41\" rec=\"db_SubdividedArea\" TimeStamp=\"401\"><Name>Lot 2</Name>"
        "<Method>COORDSYS_CogoDistanceGrid</Method><Area>900</Area><Perimeter>120</Perimeter>"
        "<PerimeterEntityCount>0x2</PerimeterEntityCount><PerimeterEntities>" +
        std::string(kLineArcLine) +
        "</PerimeterEntities><SubArea>450</SubArea><SubPerimeter>85.5</SubPerimeter>"
        "<SubPerimeterEntityCount>9</SubPerimeterEntityCount><SubPerimeterEntities><Line><Name>S1</Name></Line>"
        "</SubPerimeterEntities><SubdivisionCreatedPoints><item>P10</item><item>P11</item></SubdivisionCreatedPoints>"
        "</DATABASE_SubdividedAreaRecord>";
    for (const std::string& root : {std::string(kCurrent), Version(1100), std::string()}) {
        SCOPED_TRACE(root);
        ConvertAndRead(root, element);
        const db_SubdividedArea& area = Only<db_SubdividedArea>();
        EXPECT_EQ(S(area.Name), "Lot 2");
        EXPECT_EQ(area.GetTimeStamp(), 401.0);
        EXPECT_EQ(area.Method.Value(), 0x20);
        EXPECT_EQ(area.Area, 900.0);
        EXPECT_EQ(area.Perimeter, 120.0);
        EXPECT_EQ(Entries(area.PerimeterEntities), (std::vector<std::string>{"line L1", "arc A1"}));
        EXPECT_EQ(area.SubArea, 450.0);
        EXPECT_EQ(area.SubPerimeter, 85.5);
        EXPECT_EQ(Entries(area.SubPerimeterEntities), std::vector<std::string>{"line S1"});
        ASSERT_EQ(area.SubdivisionCreatedPoints.Count(), 2);
        EXPECT_EQ(S(area.SubdivisionCreatedPoints[0]), "P10");
        EXPECT_EQ(S(area.SubdivisionCreatedPoints[1]), "P11");
    }
}

std::string TimeStamp(const char* id, const char* derivation, const char* time) {
    std::string element = std::string("<DATABASE_TimeStampRecord ID=\"") + id +
                          "\" rec=\"db_TimeStamp\" TimeStamp=\"500\"><TimeDerivation>" + derivation + "</TimeDerivation>";
    if (time) element += std::string("<Time>") + time + "</Time>";
    return element + "</DATABASE_TimeStampRecord>";
}

// A keyed-in point whose station reference names an XML ID.
std::string KeyinReferring(const char* id) {
    return std::string("<DATABASE_PointKeyinRecord rec=\"db_PointKeyin\"><CreatedView></CreatedView>"
                       "<VerticalPlaneIntersectionStation>") +
           id + "</VerticalPlaneIntersectionStation></DATABASE_PointKeyinRecord>";
}

TEST_F(SettingsConversion, TimeStampNotes) {
    ConvertAndRead(kCurrent,
                   TimeStamp("0x50", "DBQZ_System", "1305727384") + TimeStamp("0x51", "DBQZ_UsedLastTSSetup", "1305727384") +
                       TimeStamp("0x52", "DBQZ_Updated", "1305727384") + TimeStamp("0x53", "DBQZ_UserDeleted", "") +
                       TimeStamp("0x54", "DBQZ_UserUndeleted", nullptr) + TimeStamp("0x55", "DBQZ_Updated", "nan") +
                       TimeStamp("0x56", "DBQZ_UserDeleted", "0.5") + KeyinReferring("0x50") +
                       KeyinReferring("0x51"));
    const auto notes = Appended<db_Note>();
    std::vector<std::string> texts;
    for (const db_Note* note : notes) texts.push_back(S(note->GetNotes()));
    // Python: datetime(1980, 1, 1) + timedelta(seconds=1305727384) is 2021-05-17 14:03:04.
    EXPECT_EQ(texts, (std::vector<std::string>{"Used last station setup", "Updated 2:03:04 PM 5/17/2021", "Deleted",
                                               "Undeleted", "Updated", "Deleted 12:00:01 AM 1/1/1980"}));
    for (const db_Note* note : notes) EXPECT_EQ(note->GetTimeStamp(), 500.0);

    // DBQZ_System stored nothing, so a reference to its ID resolves to no record; the
    // others resolve to their notes.
    const auto keyins = Appended<db_PointKeyin>();
    ASSERT_EQ(keyins.size(), 2u);
    std::vector<DBID> resolved;
    for (const JournalEntry& entry : journal)
        if (entry.operation == DBMODEL_Replace && entry.record && entry.record->GetType() == DATABASE_PointKeyinRecord)
            resolved.push_back(db_PointKeyin::Cast(entry.record.get())->VerticalPlaneIntersectionStation);
    ASSERT_EQ(resolved.size(), 2u);
    EXPECT_EQ(resolved[0], NODBID);
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(resolved[1], notes[0]->GetRecordId());
}

TEST_F(SettingsConversion, RefusedElementsFailTheConversion) {
    const std::string cases[] = {
        // A corrections group without "SouthAzimuth".
        "<DATABASE_CorrectionsRecord rec=\"db_Corrections\"><Corrections><GridOrientation>COORDSYS_IncreasingNorthEast"
        "</GridOrientation></Corrections></DATABASE_CorrectionsRecord>",
        // A projection group without "Rectify".
        "<DATABASE_ProjectionRecord rec=\"db_Projection\"><Projection><ProjectionType>COORDSYS_ScaleOnly</ProjectionType>"
        "<GridElevation>COORDSYS_Ground</GridElevation><AzimuthFormat>COORDSYS_GridAzimuth</AzimuthFormat>"
        "<OriginCenter>COORDSYS_OriginAtEquator</OriginCenter></Projection></DATABASE_ProjectionRecord>",
        "<DATABASE_CoordSysControlRecord rec=\"db_CoordSystemControl\"><HorzAdjust>true</HorzAdjust>"
        "<VertAdjust>false</VertAdjust></DATABASE_CoordSysControlRecord>",
        "<DATABASE_CalibPointRecord rec=\"db_CalibPoint\"><Status>DBQZ_4D</Status></DATABASE_CalibPointRecord>",
        "<DATABASE_DatumRecord rec=\"db_Datum\"><Derivation>ABC</Derivation></DATABASE_DatumRecord>",
        "<DATABASE_TimeStampRecord rec=\"db_TimeStamp\"><TimeDerivation>DBQZ_Later</TimeDerivation>"
        "</DATABASE_TimeStampRecord>",
        "<DATABASE_PrecisionRecord rec=\"db_Precisions\"/>",
    };
    for (const std::string& c : cases) {
        SCOPED_TRACE(c);
        EXPECT_EQ(Convert(kCurrent, c), 2);
        EXPECT_FALSE(std::filesystem::exists(jobPath));
    }
    // A time stamp that stores nothing is not asked for its "rec".
    ConvertAndRead(kCurrent, "<DATABASE_TimeStampRecord rec=\"wrong\"><TimeDerivation>DBQZ_System</TimeDerivation>"
                             "</DATABASE_TimeStampRecord>");
    EXPECT_TRUE(Appended<db_Note>().empty());
}

TEST_F(SettingsConversion, TheReopenedJobAnswersWithTheConvertedSettings) {
    ConvertAndRead(kCurrent, kSettings + CoordSystem("Zone 7"));
    JobDatabase job;
    ASSERT_TRUE(job.Open(Str(jobPath.c_str()), true));
    const db_CoordSystem* system = job.GetCoordSystemSettings();
    ASSERT_NE(system, nullptr);
    EXPECT_TRUE(system->IsEqual(Only<db_CoordSystem>()));
    EXPECT_EQ(S(system->ZoneName), "Zone 7");
    EXPECT_NE(system->GetRecordId(), NODBID);
    const db_Coding* coding = job.GetCodingSettings();
    ASSERT_NE(coding, nullptr);
    EXPECT_TRUE(coding->IsEqual(*Appended<db_Coding>().back()));
    const db_ConfigCalib* calib = job.GetConfigCalibSettings();
    ASSERT_NE(calib, nullptr);
    EXPECT_TRUE(calib->IsEqual(*Appended<db_ConfigCalib>().back()));
    EXPECT_EQ(job.GetCoordSystemControlSettings()->DoGeolib, true);
    EXPECT_EQ(S(job.GetDescriptionsDefinitionSettings()->GetLabel(2)), "Colour");

    // Units the export left partly unset are completed from the defaults and stored.
    db_Units partial;
    partial.AngleUnits = db_Units::UnitsNone;
    partial.DMSAngleDisplay = 2;  // DBCONFIG_DMSAngleNULL
    ASSERT_NE(job.AddRecord(&partial), NODBID);
    const DBID stored = job.GetUnitsSettings()->GetRecordId();
    // The cache followed the commit; emptied, it answers with the defaults again.
    job.GetSettingsCache().Clear();
    job.EnsureSettings(DATABASE_UnitsRecord);
    const db_Units* completed = job.GetUnitsSettings();
    ASSERT_NE(completed, nullptr);
    EXPECT_GT(completed->GetRecordId().Value(), stored.Value());
    EXPECT_EQ(completed->AngleUnits, 14);     // UNITS_Ddmmss
    EXPECT_EQ(completed->DMSAngleDisplay, 1);  // DBCONFIG_DMSAngleDisplay1
    EXPECT_TRUE(job.Close());
}

}  // namespace

namespace {

// The settings fixture (also a starting point of the damaged exports) converts whole,
// one record per stored element, in order; the system time stamp stores nothing.
TEST(SettingsFixture, ConvertsEveryElement) {
    TempFolder folder;
    const std::string xml = std::string(QZ_FIXTURES_DIR) + "/import/settings.xml";
    const std::string job = folder / "settings.job";
    ASSERT_EQ(ImportQZXMLFile(xml.c_str(), job.c_str(), nullptr), 0);
    bool whole = false;
    const auto entries = import_test::ReadJournal(job, &whole);
    ASSERT_TRUE(whole);
    std::vector<int> types;
    for (const auto& entry : entries)
        if (entry.operation == DBMODEL_Append) types.push_back(entry.type);
    EXPECT_EQ(types, (std::vector<int>{0, 81, 33, 34, 35, 36, 37, 79, 31, 50, 51, 62, 76, 40, 77, 78, 1, 37}));
}

}  // namespace
