// A converted job opened again and its coordinate system set up: the job index's
// coordinates of grid, WGS84, polar and circle-reading points, lines, arcs and locally
// transformed grid points. The job: WGS-84 with a three-parameter datum (WGS84 to local
// +10, -20, +30 m) and a transverse Mercator at 9 degrees east, scale 1, ground height
// 0, grid distances. References: grid values in closed form; the WGS84 point from PROJ
//   cs2cs +proj=longlat +datum=WGS84 +to +proj=tmerc +lon_0=9 +k=1 +x_0=500000
//         +ellps=WGS84 +towgs84=-10,20,-30
// and its local ellipsoid height from cct (cart, helmert, inverse cart).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "foundation/kernel/maths.h"
#include "import/conversion_test.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbJobIndex.h"
#include "jobdb/dbobjects.h"

namespace {

constexpr double kPi = CONSTANT_Pi;
constexpr double kExact = 1e-6;  // metres, radians: closed forms through the grid
constexpr double kProj = 1e-3;   // metres: against PROJ
constexpr const char* kCurrentRoot = "product=\"Quorvel Zentrovane\" version=\"1245\"";
constexpr double kN0 = 5200000.0, kE0 = 500000.0;  // the arcs' centre C

// The circle reading from C: azimuth 1.5, horizontal distance 40, rise 3 between the
// marks; instrument 1.5, target 2.0, prism constant 0.03; backsight A at azimuth 0
// read 0.2.
constexpr double kAzimuth = 1.5, kDistance = 40.0, kRise = 3.0;
constexpr double kInstrument = 1.5, kTargetHeight = 2.0, kPrismConstant = 0.03, kBacksightReading = 0.2;

std::string Number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

class JobIndexCoordinatesConversion : public import_test::ConversionTest {
protected:
    std::string Id() {
        char text[16];
        std::snprintf(text, sizeof text, "0x%X", ++ids);
        return text;
    }
    std::string Record(const char* element, const char* cls, const std::string& body) {
        return "<" + std::string(element) + " ID=\"" + Id() + "\" rec=\"" + cls + "\">" + body + "</" + element + ">\n";
    }
    std::string End() { return "<DATABASE_EndEntityRecord ID=\"" + Id() + "\" rec=\"db_EndEntity\"/>\n"; }
    static std::string Grid3(const char* tag, double n, double e, double h) {
        return "<" + std::string(tag) + "><North>" + Number(n) + "</North><East>" + Number(e) + "</East><Elev>" +
               Number(h) + "</Elev></" + tag + ">";
    }
    std::string PointWith(const char* name, const char* method, const std::string& measurement) {
        return Record("DATABASE_ObservationRecord", "db_Observation",
                      "<PointName>" + std::string(name) + "</PointName><Method>" + method +
                          "</Method><SurveyMethod>DBENTITY_Fix</SurveyMethod><Classification>Normal</Classification>"
                          "<Deleted>false</Deleted>" +
                          measurement.substr(0, measurement.size() - 1)) +
               End();
    }
    std::string GridPoint(const char* name, double n, double e, double h) {
        return PointWith(name, "DBENTITY_Coordinates",
                         Record("DATABASE_GridRecord", "db_Grid", Grid3("Grid", n, e, h)));
    }
    std::string LocalPoint(const char* name, double n, double e, double h, const char* transformation) {
        return PointWith(name, "DBENTITY_Coordinates",
                         Record("DATABASE_LocalTransformedGridRecord", "db_LocalTransformedGrid",
                                Grid3("LocalTransformedGrid", n, e, h) + "<ReferenceTransformation>" +
                                    transformation + "</ReferenceTransformation>"));
    }
    std::string Arc(const char* name, const char* method, const char* p1, const char* p2, const char* p3,
                    const char* direction, bool large, double radius, double backward, double atStart, double length,
                    double delta) {
        return Record("DATABASE_ArcRecord", "db_Arc",
                      "<ArcName>" + std::string(name) + "</ArcName><Method>" + method + "</Method><Point1>" + p1 +
                          "</Point1><Point2>" + p2 + "</Point2><Point3>" + p3 + "</Point3><Direction>" + direction +
                          "</Direction><LargeArc>" + (large ? "true" : "false") + "</LargeArc><Radius>" +
                          Number(radius) + "</Radius><TangentAtStart>" + Number(atStart) +
                          "</TangentAtStart><BackwardTangent>" + Number(backward) + "</BackwardTangent><Length>" +
                          Number(length) + "</Length><ScribedAngle>" + Number(delta) +
                          "</ScribedAngle><Deleted>false</Deleted>") +
               End();
    }
    std::string Helmert(const char* name, double scale) {
        return Record("DATABASE_LocalTransformationRecord", "db_LocalTransformation",
                      "<TransformationName>" + std::string(name) +
                          "</TransformationName><TransformationMethod>TransformationMethod_Helmert"
                          "</TransformationMethod><VerticalAdjustmentMethod>DBQZ_InclinedPlane"
                          "</VerticalAdjustmentMethod><Deleted>false</Deleted><ReadOnly>false</ReadOnly>"
                          "<Source></Source>") +
               Record("DATABASE_LocalTransformationHelmertParametersRecord", "db_LocalTransformationHelmertParameters",
                      "<HorizontalParameters><Apply>true</Apply><OriginNorth>0</OriginNorth><OriginEast>0</OriginEast>"
                      "<Scale>" + Number(scale) +
                          "</Scale><Rotation>0</Rotation><TranslationNorth>1000</TranslationNorth>"
                          "<TranslationEast>2000</TranslationEast></HorizontalParameters>"
                          "<VerticalParameters><Apply>false</Apply></VerticalParameters>");
    }

    std::string Export() {
        const double r = 100.0 / std::sqrt(2.0);
        const double n = kPi / 2.0;
        const std::string view =
            "<CreatedView>COORDSYS_CogoAzimuthGrid COORDSYS_CogoDistanceGrid COORDSYS_CogoEllipsoidDistances "
            "COORDSYS_CogoEllipsoidHeights</CreatedView>";
        const double zenith = std::atan2(kDistance, kRise - kInstrument + kTargetHeight);
        const double slope = std::hypot(kDistance, kRise - kInstrument + kTargetHeight) - kPrismConstant;
        std::string x;
        x += Record("DATABASE_EllipsoidRecord", "db_Ellipsoid",
                    "<Derivation>KI</Derivation><Ellipsoid><EarthRadius>6378137</EarthRadius>"
                    "<Flattening>0.0033528106647474805</Flattening></Ellipsoid>");
        x += Record("DATABASE_DatumRecord", "db_Datum",
                    "<Derivation>KI</Derivation><Datum><DatumType>COORDSYS_ThreeParameter</DatumType>"
                    "<TranslationX>10</TranslationX><TranslationY>-20</TranslationY><TranslationZ>30</TranslationZ>"
                    "<Scale>1</Scale><GridName></GridName></Datum>");
        x += Record("DATABASE_ProjectionRecord", "db_Projection",
                    "<Derivation>KI</Derivation><Projection><ProjectionType>COORDSYS_TransverseMercator"
                    "</ProjectionType><OriginLocal><Lat>0</Lat><Long>" + Number(9.0 * kPi / 180.0) +
                        "</Long><Height>0</Height></OriginLocal><OriginGrid><North>0</North><East>500000</East>"
                        "</OriginGrid><Scale>1</Scale><GridElevation>COORDSYS_Ground</GridElevation>"
                        "<Orientation1>0</Orientation1><Orientation2>0</Orientation2><AzimuthFormat>"
                        "COORDSYS_GridAzimuth</AzimuthFormat><OriginCenter>COORDSYS_OriginAtEquator</OriginCenter>"
                        "<Rectify>false</Rectify><Area>COORDSYS_AreaNone</Area><UKNorthGridFile/><UKEastGridFile/>"
                        "<ProjectionGridFile/><ShiftGridFile/><GroundScale><Type>COORDSYS_GridScaleFactor</Type>"
                        "<Factor>1</Factor><ProjectLocation><Lat>0.82</Lat><Long>0.16</Long><Height>0</Height>"
                        "</ProjectLocation></GroundScale></Projection>");
        x += Record("DATABASE_CorrectionsRecord", "db_Corrections",
                    "<Corrections><SouthAzimuth>false</SouthAzimuth><GridOrientation>COORDSYS_IncreasingNorthEast"
                    "</GridOrientation><MagneticDeclination>0</MagneticDeclination><Distances>COORDSYS_GridDistance"
                    "</Distances><SubDivideCode>COORDSYS_UseName</SubDivideCode>"
                    "<NeighbourhoodAdjustment>false</NeighbourhoodAdjustment></Corrections>");
        x += GridPoint("C", kN0, kE0, 0.0);
        x += GridPoint("A", kN0 + 100.0, kE0, 10.0);
        x += GridPoint("B", kN0, kE0 + 100.0, 20.0);
        x += GridPoint("D", kN0 + r, kE0 + r, 15.0);
        x += GridPoint("IP", kN0 + 100.0, kE0 + 100.0, 5.0);
        x += GridPoint("M", kN0 + 50.0, kE0 + 50.0, 0.0);
        x += GridPoint("B2", kN0, kE0 + 100.002, 20.0);
        x += PointWith("W", "DBENTITY_GpsRTKCtrlPoint",
                       Record("DATABASE_WGS84Record", "db_WGS84",
                              "<WGS84><Lat>" + Number(47.0 * kPi / 180.0) + "</Lat><Long>" +
                                  Number(9.5 * kPi / 180.0) + "</Long><Height>400</Height></WGS84>"));
        x += PointWith("P", "DBENTITY_Coordinates",
                       Record("DATABASE_PolarRecord", "db_Polar",
                              "<SourcePoint>A</SourcePoint><Polar><Azimuth>" + Number(n) +
                                  "</Azimuth><HDist>50</HDist><VDist>2</VDist></Polar>" + view));
        // The station at C with its backsight A.
        const std::string instrument = Id(), atmosphere = Id(), station = Id(), target = Id(), backBearing = Id();
        x += "<DATABASE_InstrumentRecord ID=\"" + instrument +
             "\" rec=\"db_TotalInstrument\"><Type>TOTAL_QuorvelStationF</Type><HasExtraInfo>false</HasExtraInfo>"
             "<MeasurementMode>TOTAL_EDMTrack</MeasurementMode><SetHzCircleMode>TOTAL_SetToAzimuth"
             "</SetHzCircleMode><Servo>TOTAL_HAandVA</Servo><TurnToZero>true</TurnToZero>"
             "<EditInstrumentPrecisions>true</EditInstrumentPrecisions></DATABASE_InstrumentRecord>\n";
        x += "<DATABASE_AtmosphereRecord ID=\"" + atmosphere +
             "\" rec=\"db_TotalAtmosphere\"><PPM>0</PPM><ApplyCurvature>false</ApplyCurvature>"
             "<ApplyRefraction>false</ApplyRefraction></DATABASE_AtmosphereRecord>\n";
        x += "<DATABASE_StationRecord ID=\"" + station + "\" rec=\"db_TotalStation\"><StationName>C</StationName>" +
             "<TheodoliteHt>" + Number(kInstrument) + "</TheodoliteHt><Instrument>" + instrument +
             "</Instrument><Atmosphere>" + atmosphere + "</Atmosphere></DATABASE_StationRecord>\n";
        x += "<DATABASE_TargetRecord ID=\"" + target + "\" rec=\"db_Target\"><Name>T</Name><TargetHeight>" +
             Number(kTargetHeight) + "</TargetHeight><PrismType>TOTAL_MiniPrism</PrismType><PrismConstant>" +
             Number(kPrismConstant) + "</PrismConstant></DATABASE_TargetRecord>\n";
        x += "<DATABASE_BackBearingRecord ID=\"" + backBearing +
             "\" rec=\"db_TotalBackBearing\"><Station>C</Station><BackSight>A</BackSight><F1HorzCircle>" +
             Number(kBacksightReading) + "</F1HorzCircle></DATABASE_BackBearingRecord>\n";
        x += PointWith("T1", "DBENTITY_DirectReading",
                       Record("DATABASE_CircleRecord", "db_Circle",
                              "<Circle><HorzCircle>" + Number(kBacksightReading + kAzimuth) +
                                  "</HorzCircle><VertCircle>" + Number(zenith) + "</VertCircle><EDMDistance>" +
                                  Number(slope) + "</EDMDistance><Face>COORD_Face1</Face></Circle><Station>" +
                                  station + "</Station><Target>" + target + "</Target><BackBearing>" + backBearing +
                                  "</BackBearing>" + view));
        // Lines of both methods.
        x += Record("DATABASE_LineRecord", "db_Line",
                    "<LineId>L0</LineId><Method>DBENTITY_TwoPoints</Method><OriginPoint>A</OriginPoint>"
                    "<TargetPoint>B</TargetPoint><Deleted>false</Deleted>") +
             End();
        x += Record("DATABASE_LineRecord", "db_Line",
                    "<LineId>L1</LineId><Method>DBENTITY_BrngDistLine</Method><OriginPoint>A</OriginPoint>"
                    "<BearingAzimuth>" + Number(n) +
                        "</BearingAzimuth><BearingLength>30</BearingLength><BearingGrade>0</BearingGrade>"
                        "<Deleted>false</Deleted>") +
             End();
        // Arcs of every method on the circle of radius 100 about C, A to B clockwise.
        x += Arc("R0", "DBENTITY_TwoPointsAndRadius", "A", "B", "", "DBENTITY_RightHand", false, 100, 0, 0, 0, 0);
        x += Arc("R0L", "DBENTITY_TwoPointsAndRadius", "A", "B", "", "DBENTITY_RightHand", true, 100, 0, 0, 0, 0);
        x += Arc("R1", "DBENTITY_CurveLengthAndRadius", "A", "", "", "DBENTITY_RightHand", false, 100, n, 0, 50 * kPi,
                 0);
        x += Arc("R2", "DBENTITY_DeltaAngleAndRadius", "A", "", "", "DBENTITY_RightHand", false, 100, n, 0, 0, n);
        x += Arc("R3", "DBENTITY_IPAndTangents", "IP", "", "", "DBENTITY_LeftHand", false, 100, n, kPi, 0, 0);
        x += Arc("R4", "DBENTITY_TwoPointsAndCentrePoint", "A", "B", "C", "DBENTITY_RightHand", false, 0, 0, 0, 0, 0);
        x += Arc("R4L", "DBENTITY_TwoPointsAndCentrePoint", "A", "B", "C", "DBENTITY_LeftHand", false, 0, 0, 0, 0, 0);
        x += Arc("R4U", "DBENTITY_TwoPointsAndCentrePoint", "A", "B2", "C", "DBENTITY_RightHand", false, 0, 0, 0, 0,
                 0);
        x += Arc("R5", "DBENTITY_ThreePoints", "A", "B", "D", "DBENTITY_RightHand", false, 0, 0, 0, 0, 0);
        x += Arc("R5C", "DBENTITY_ThreePoints", "A", "B", "M", "DBENTITY_RightHand", false, 0, 0, 0, 0, 0);
        // A line transformation (north from C in the grid, east from (500, 500) locally),
        // a Helmert one (scale 2, shift (1000, 2000)) and one without a scale.
        x += Record("DATABASE_LocalTransformationRecord", "db_LocalTransformation",
                    "<TransformationName>LT</TransformationName><TransformationMethod>TransformationMethod_Line"
                    "</TransformationMethod><VerticalAdjustmentMethod>DBQZ_InclinedPlane</VerticalAdjustmentMethod>"
                    "<Deleted>false</Deleted><ReadOnly>false</ReadOnly><Source></Source>");
        x += Record("DATABASE_LineTransformationDefinitionRecord", "db_LineTransformationDefinition",
                    "<StartPointName>C</StartPointName>" + Grid3("StartPointGrid", kN0, kE0, 0) +
                        Grid3("StartPointLocalGrid", 500, 500, 0) + "<EndPointName>N</EndPointName>" +
                        Grid3("EndPointGrid", kN0 + 100, kE0, 0) + Grid3("EndPointLocalGrid", 500, 600, 0) +
                        "<ScaleApplicationMethod>LineTransformationScale_Free</ScaleApplicationMethod>");
        x += Helmert("HT", 2.0);
        x += Helmert("H0", 0.0);
        x += LocalPoint("LP", 510.0, 550.0, 7.0, "LT");
        x += LocalPoint("HP", 10.0, 20.0, 5.0, "HT");
        x += LocalPoint("H0P", 10.0, 20.0, 5.0, "H0");
        return x;
    }

    // The job converted, opened again and set up.
    void OpenAndSetUp() {
        ASSERT_EQ(Convert(kCurrentRoot, Export()), 0);
        ASSERT_TRUE(job.Open(Str(jobPath.c_str()), false));
        index = job.GetJobIndex();
        ASSERT_NE(index, nullptr);
        int error = -1, loadFlags = 0;
        Str names[DBJOBINDEX_FileNameCount];
        ASSERT_TRUE(index->SetUpCoordinateSystem(error, loadFlags, names)) << error;
        ASSERT_NE(index->Transform, nullptr);
    }
    coord_CorrectedGrid PointGrid(const char* name) {
        ObservationObject* point = index->FindBestPointObject(name);
        EXPECT_NE(point, nullptr) << name;
        coord_CorrectedGrid none;
        none.SetNull();
        return point ? point->GetCoordinates() : none;
    }
    template <class T>
    T* Computed(const char* name, int type) {
        dbObject* object = index->FindLast(Str(name), type);
        EXPECT_NE(object, nullptr) << name;
        if (!object) return nullptr;
        index->ComputeObject(object);
        return T::Cast(object);
    }
    static void ExpectGrid(const coord_CorrectedGrid& g, double n, double e, double h, double tolerance = kExact) {
        EXPECT_NEAR(g.North, n, tolerance);
        EXPECT_NEAR(g.East, e, tolerance);
        if (maths_IsNull(h))
            EXPECT_TRUE(maths_IsNull(g.Elev)) << g.Elev;
        else
            EXPECT_NEAR(g.Elev, h, tolerance);
    }
    void TearDown() override {
        if (job.IsOpen()) job.Close();
    }

    RecordingEnvironment env;
    JobDatabase job;
    dbJobIndex* index = nullptr;
    int ids = 0x100;
};

TEST_F(JobIndexCoordinatesConversion, PointsAndLinesOfTheReopenedJob) {
    OpenAndSetUp();
    // No height model with a datum and a projection: ellipsoid heights, grid distances.
    EXPECT_EQ(index->CogoSettings, 0x4A4u);
    ExpectGrid(PointGrid("A"), kN0 + 100.0, kE0, 10.0, 0.0);
    ExpectGrid(PointGrid("C"), kN0, kE0, 0.0, 0.0);
    ExpectGrid(PointGrid("W"), 5207383.886096, 538006.491526, 426.415874, kProj);
    ExpectGrid(PointGrid("P"), kN0 + 100.0, kE0 + 50.0, 12.0);
    ExpectGrid(PointGrid("T1"), kN0 + kDistance * std::cos(kAzimuth), kE0 + kDistance * std::sin(kAzimuth), kRise);

    LineObject* line = Computed<LineObject>("L0", DATABASE_LineRecord);
    ASSERT_NE(line, nullptr);
    ExpectGrid(line->_Start, kN0 + 100.0, kE0, 10.0, 0.0);
    ExpectGrid(line->_End, kN0, kE0 + 100.0, 20.0, 0.0);
    line = Computed<LineObject>("L1", DATABASE_LineRecord);
    ASSERT_NE(line, nullptr);
    ExpectGrid(line->_End, kN0 + 100.0, kE0 + 30.0, 10.0);

    ExpectGrid(PointGrid("LP"), kN0 + 50.0, kE0 - 10.0, 7.0);
    ExpectGrid(PointGrid("HP"), 1020.0, 2040.0, 5.0);
    EXPECT_TRUE(PointGrid("H0P").IsNull()) << "a Helmert transformation without a scale maps nothing";
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{});
}

TEST_F(JobIndexCoordinatesConversion, ArcsOfEveryMethod) {
    OpenAndSetUp();
    const double q = kPi / 2.0;
    const struct {
        const char* name;
        double centreNorth, centreEast, delta, startAzimuth;
    } arcs[] = {
        {"R0", kN0, kE0, q, 0.0},          {"R0L", kN0 + 100.0, kE0 + 100.0, 3 * q, 3 * q},
        {"R1", kN0, kE0, q, 0.0},          {"R2", kN0, kE0, q, 0.0},
        {"R3", kN0, kE0, q, 0.0},          {"R4", kN0, kE0, q, 0.0},
        {"R5", kN0, kE0, q, 0.0},
    };
    for (const auto& c : arcs) {
        SCOPED_TRACE(c.name);
        ArcObject* arc = Computed<ArcObject>(c.name, DATABASE_ArcRecord);
        ASSERT_NE(arc, nullptr);
        // The intersection-point arc is found by iteration to 0.5 mm.
        const double tolerance = std::string(c.name) == "R3" ? 5e-4 : kExact;
        EXPECT_NEAR(arc->_Centre.North, c.centreNorth, tolerance);
        EXPECT_NEAR(arc->_Centre.East, c.centreEast, tolerance);
        EXPECT_NEAR(arc->_Radius, 100.0, tolerance);
        EXPECT_NEAR(arc->_DeltaAngle, c.delta, kExact);
        EXPECT_NEAR(arc->_StartAzimuth, c.startAzimuth, tolerance / 100.0);
        EXPECT_EQ(arc->_Reversed, 0);
    }
    // Elevation along the centre-point arc from A (10) to B (20) over 50 pi.
    ArcObject* arc = Computed<ArcObject>("R4", DATABASE_ArcRecord);
    EXPECT_NEAR(arc->_StartElevation, 10.0, kExact);
    EXPECT_NEAR(arc->_Slope, 10.0 / (50.0 * kPi), kExact);

    // The left-hand arc A to B the long way round is kept from B back to A.
    arc = Computed<ArcObject>("R4L", DATABASE_ArcRecord);
    ASSERT_NE(arc, nullptr);
    EXPECT_EQ(arc->_Reversed, 1);
    EXPECT_NEAR(arc->_DeltaAngle, 3 * q, kExact);
    EXPECT_NEAR(arc->_StartAzimuth, q, kExact);
    EXPECT_NEAR(arc->_StartElevation, 20.0, kExact);
    EXPECT_NEAR(arc->_Slope, -10.0 / (150.0 * kPi), kExact);
    EXPECT_EQ(arc->_Point1Ref, index->FindPointReference("B"));
    EXPECT_EQ(arc->_Point2Ref, index->FindPointReference("A"));

    for (const char* unsolved : {"R4U", "R5C"}) {
        SCOPED_TRACE(unsolved);
        arc = Computed<ArcObject>(unsolved, DATABASE_ArcRecord);
        ASSERT_NE(arc, nullptr);
        EXPECT_TRUE(arc->_Centre.IsNull());
    }
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{});
}

}  // namespace
