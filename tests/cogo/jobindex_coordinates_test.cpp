// The job index's coordinates through the coordinate geometry: points, lines and arcs of
// a job under a scale-only transform (the grid is the cogo grid, distances are grid
// distances), the arc solution by method, and the job's local transformations.
// Reference values are closed forms: the arcs lie on the circle of radius 100 about the
// origin, A (100, 0) to B (0, 100) clockwise, so delta pi/2, length 50 pi, chord
// 100 sqrt 2 and tangent length R tan(delta / 2) = 100.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "cogo/cogoarc.h"
#include "cogo/localtransformation.h"
#include "cogo/position.h"
#include "cogo/transfrm.h"
#include "foundation/files/path.h"
#include "jobdb/jobindex_fixture.h"
#include "records/coordsysdefs.h"
#include "records/editactions.h"
#include "records/localtransform.h"
#include "support/model_files.h"
#include "support/temp_folder.h"
#include "transform_definitions.h"

namespace {

constexpr double kPi = CONSTANT_Pi;
constexpr double kExact = 1e-9;  // metres and radians: closed forms in the plane

class JobIndexCoordinates : public JobIndexJobTest {
protected:
    void SetUp() override {
        JobIndexJobTest::SetUp();
        transfrm_Register();
        TransformDefinitions definitions;
        definitions.projection.ProjectionType = COORDSYS_ScaleOnly;
        definitions.projection.Scale = 1.0;
        const uint16_t components = TRANSFRM_Ellipsoid | TRANSFRM_Projection | TRANSFRM_ScaleOnly;
        Index()->SetTransform(definitions.Create(components).release(), nullptr, components, COORDSYS_ScaleOnly);
    }
    void TearDown() override {
        JobIndexJobTest::TearDown();
        dbJobIndex_SetCoordinateGeometry(nullptr);
        dbJobIndex_SetTransformDeleter(nullptr);
    }

    DBID GridPoint(const char* name, double north, double east, double elevation) {
        db_Grid grid;
        grid.Grid = coord_CorrectedGrid(north, east, elevation);
        return Point(name, DBENTITY_Coordinates, kNormal, &grid);
    }
    // The circle's points: start A, end B, centre C and D halfway along the arc.
    void CirclePoints() {
        GridPoint("A", 100.0, 0.0, 10.0);
        GridPoint("B", 0.0, 100.0, 20.0);
        GridPoint("C", 0.0, 0.0, 0.0);
        GridPoint("D", 100.0 / std::sqrt(2.0), 100.0 / std::sqrt(2.0), 15.0);
    }
    db_Arc ArcRecord(int method, const char* p1, const char* p2, const char* p3, int direction = 0) {
        db_Arc arc;
        arc.ArcName = "Arc";
        arc.Method = method;
        arc.Point1 = p1;
        arc.Point2 = p2;
        arc.Point3 = p3;
        arc.Direction = direction;
        return arc;
    }
    ArcObject* ComputedArc(db_Arc& arc) {
        const DBID id = dbRecord_AppendGrouped(Access(), &arc);
        ArcObject* object = ArcObject::Cast(Object(id));
        if (object) Index()->ComputeObject(object);
        return object;
    }
    // A point 50 m grid east of the source and 2 m above it.
    DBID PolarPoint(const char* name, const char* source) {
        db_Polar polar;
        polar.SourcePoint = source;
        polar.Polar = coord_Polar(kPi / 2.0, 50.0, 2.0);
        polar.CreatedView = COORDSYS_CogoAzimuthGrid | COORDSYS_CogoDistanceGrid | COORDSYS_CogoEllipsoidDistances |
                            COORDSYS_CogoOrthoHeights;
        return Point(name, DBENTITY_Coordinates, kNormal, &polar);
    }
    // The arc's points and its start azimuth and rise, solved straight from the record.
    struct ArcSolution {
        position_Class start, end, centre, ip;
        double azimuth = 0.0, dv = 0.0;
    };
    cogo_Result Solve(db_Arc* record, ArcSolution* s) {
        coordsys_CogoSettings mask;
        return cogoarc_ComputeArc(Index(), record, &s->start, &s->end, &s->centre, &s->ip, &s->azimuth, &s->dv, &mask,
                                  nullptr, false);
    }
    ObservationObject* ComputedPoint(DBID id) {
        ObservationObject* point = ObservationObject::Cast(Object(id));
        if (point) point->GetCoordinates();
        return point;
    }
    static void ExpectGrid(const coord_CorrectedGrid& grid, double north, double east, double elevation,
                           double tolerance = kExact) {
        EXPECT_NEAR(grid.North, north, tolerance);
        EXPECT_NEAR(grid.East, east, tolerance);
        if (maths_IsNull(elevation))
            EXPECT_TRUE(maths_IsNull(grid.Elev)) << grid.Elev;
        else
            EXPECT_NEAR(grid.Elev, elevation, tolerance);
    }
};

// ---------------------------------------------------------------- arcs

struct ArcCase {
    const char* what;
    int method;
    const char* p1;
    const char* p2;
    const char* p3;
    int direction;
    bool largeArc;
    double radius, backwardTangent, tangentAtStart, length, scribedAngle;
    // Expected: centre, delta, start azimuth (centre to start).
    double centreNorth, centreEast, delta, startAzimuth;
};

TEST_F(JobIndexCoordinates, ArcsOfEveryMethodSolveOntoTheCircle) {
    CirclePoints();
    const double n = kPi / 2.0;
    const ArcCase cases[] = {
        {"two points and radius, minor", 0, "A", "B", "", 0, false, 100.0, 0, 0, 0, 0, 0.0, 0.0, n, 0.0},
        {"two points and radius, major", 0, "A", "B", "", 0, true, 100.0, 0, 0, 0, 0, 100.0, 100.0, 3 * n, 3 * n},
        {"two points and radius, left minor", 0, "A", "B", "", 1, false, 100.0, 0, 0, 0, 0, 100.0, 100.0, n, 3 * n},
        {"two points and radius, left major", 0, "A", "B", "", 1, true, 100.0, 0, 0, 0, 0, 0.0, 0.0, 3 * n, 0.0},
        {"curve length and radius", 1, "A", "", "", 0, false, 100.0, n, 0, 50 * kPi, 0, 0.0, 0.0, n, 0.0},
        {"delta angle and radius", 2, "A", "", "", 0, false, 100.0, n, 0, 0, n, 0.0, 0.0, n, 0.0},
        {"centre point", 4, "A", "B", "C", 0, false, 0, 0, 0, 0, 0, 0.0, 0.0, n, 0.0},
        {"three points", 5, "A", "B", "D", 1, false, 0, 0, 0, 0, 0, 0.0, 0.0, n, 0.0},
    };
    for (const ArcCase& c : cases) {
        SCOPED_TRACE(c.what);
        db_Arc record = ArcRecord(c.method, c.p1, c.p2, c.p3, c.direction);
        record.LargeArc = c.largeArc;
        record.Radius = c.radius;
        record.BackwardTangent = c.backwardTangent;
        record.TangentAtStart = c.tangentAtStart;
        record.Length = c.length;
        record.ScribedAngle = c.scribedAngle;
        ArcSolution a;
        ASSERT_EQ(Solve(&record, &a), COGO_Ok);
        const transfrm_Class* t = Index()->Transform;
        const coord_CorrectedGrid centre = a.centre.GetGrid(t);
        ExpectGrid(centre, c.centreNorth, c.centreEast, record.Method == 4 ? 0.0 : centre.Elev);
        EXPECT_NEAR(record.ScribedAngle, c.delta, kExact);
        EXPECT_NEAR(a.azimuth, c.startAzimuth, kExact);
        EXPECT_NEAR(record.Radius, 100.0, kExact);
        EXPECT_NEAR(record.Length, 100.0 * c.delta, 1e-7);
        EXPECT_EQ(record.LargeArc, c.delta > kPi);
        ExpectGrid(a.start.GetGrid(t), 100.0, 0.0, 10.0);
        ExpectGrid(a.end.GetGrid(t), 0.0, 100.0, a.end.GetGrid(t).Elev);
        // The chord is the same for every arc from A to B; the tangent length is R tan(delta / 2).
        EXPECT_NEAR(record.Chord, 100.0 * std::sqrt(2.0), kExact);
        EXPECT_NEAR(record.Tangent, std::fabs(100.0 * std::tan(c.delta / 2.0)), 1e-7);
        if (c.method != 1 && c.method != 2) {
            // Travel is along the tangent at the start: a quarter turn from the radius.
            const double quarter = record.Direction == 0 ? n : -n;
            EXPECT_NEAR(record.BackwardTangent, std::fmod(c.startAzimuth + quarter + 4 * kPi, 2 * kPi), kExact);
            EXPECT_NEAR(a.dv, 10.0, kExact);
            EXPECT_NEAR(record.Grade, std::atan2(10.0, record.Length), kExact);
        }
    }
}

TEST_F(JobIndexCoordinates, ArcFromAnIntersectionPointAndTangents) {
    GridPoint("IP", 100.0, 100.0, 5.0);
    // East to the intersection point, then south: a right turn of a quarter circle.
    db_Arc record = ArcRecord(3, "IP", "", "", 1);
    record.Radius = 100.0;
    record.BackwardTangent = kPi / 2.0;
    record.TangentAtStart = kPi;
    ArcSolution a;
    ASSERT_EQ(Solve(&record, &a), COGO_Ok);
    const transfrm_Class* t = Index()->Transform;
    EXPECT_EQ(record.Direction, 0) << "a right turn";
    ExpectGrid(a.centre.GetGrid(t), 0.0, 0.0, a.centre.GetGrid(t).Elev, 5e-4);
    ExpectGrid(a.start.GetGrid(t), 100.0, 0.0, a.start.GetGrid(t).Elev, 5e-4);
    ExpectGrid(a.end.GetGrid(t), 0.0, 100.0, a.end.GetGrid(t).Elev, 5e-4);
    EXPECT_NEAR(record.ScribedAngle, kPi / 2.0, kExact);
    EXPECT_NEAR(record.Tangent, 100.0, 5e-4) << "T = R tan(delta / 2)";
    EXPECT_NEAR(a.azimuth, 0.0, 1e-5);

    // Tangents in line: no arc, every point at the intersection point.
    record = ArcRecord(3, "IP", "", "");
    record.Radius = 100.0;
    record.BackwardTangent = record.TangentAtStart = kPi / 2.0;
    ASSERT_EQ(Solve(&record, &a), COGO_Ok);
    ExpectGrid(a.centre.GetGrid(t), 100.0, 100.0, 5.0);
    ExpectGrid(a.end.GetGrid(t), 100.0, 100.0, 5.0);
}

TEST_F(JobIndexCoordinates, ArcsThatCannotBeSolved) {
    CirclePoints();
    GridPoint("B2", 0.0, 100.002, 20.0);
    GridPoint("M", 50.0, 50.0, 0.0);
    struct {
        const char* what;
        db_Arc record;
        cogo_Result result;
    } cases[] = {
        {"radii 0.002 apart", ArcRecord(4, "A", "B2", "C"), COGO_UnequalRadii},
        {"three points in line", ArcRecord(5, "A", "B", "M"), COGO_Parallel},
        {"a point not in the job", ArcRecord(4, "A", "Nowhere", "C"), COGO_NotFound},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        ArcSolution a;
        db_Arc record = c.record;
        EXPECT_EQ(Solve(&record, &a), c.result);
        EXPECT_FALSE(a.centre.IsDefined());
        // Through the index: the arc keeps a null centre and counts as computed.
        ArcObject* arc = ComputedArc(c.record);
        ASSERT_NE(arc, nullptr);
        EXPECT_TRUE(arc->_Centre.IsNull());
        EXPECT_TRUE(arc->HasFlag(DBOBJECT_HorizontalComputed));
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(JobIndexCoordinates, IndexArcsStoreTheRightHandFormOfTheArc) {
    CirclePoints();
    db_Arc right = ArcRecord(4, "A", "B", "C", 0);
    ArcObject* arc = ComputedArc(right);
    ASSERT_NE(arc, nullptr);
    const double slope = 10.0 / (50.0 * kPi);  // rise over the arc length
    ExpectGrid(arc->_Centre, 0.0, 0.0, 0.0);
    EXPECT_NEAR(arc->_Radius, 100.0, kExact);
    EXPECT_NEAR(arc->_RecordRadius, 100.0, kExact);
    EXPECT_NEAR(arc->_StartAzimuth, 0.0, kExact);
    EXPECT_NEAR(arc->_DeltaAngle, kPi / 2.0, kExact);
    EXPECT_NEAR(arc->_StartElevation, 10.0, kExact);
    EXPECT_NEAR(arc->_Slope, slope, kExact);
    EXPECT_EQ(arc->_Reversed, 0);
    EXPECT_EQ(arc->_Point1Ref, Index()->FindPointReference("A"));
    EXPECT_EQ(arc->_Point2Ref, Index()->FindPointReference("B"));
    EXPECT_EQ(arc->_Point3Ref, Index()->FindPointReference("C"));
    EXPECT_TRUE(arc->HasFlag(DBOBJECT_HorizontalComputed) && arc->HasFlag(DBOBJECT_StatusComputed));

    // Left-hand, A to B the long way round: kept as the right-hand arc from B to A.
    db_Arc left = ArcRecord(4, "A", "B", "C", 1);
    arc = ComputedArc(left);
    ASSERT_NE(arc, nullptr);
    const double leftSlope = 10.0 / (150.0 * kPi);
    EXPECT_NEAR(arc->_DeltaAngle, 3.0 * kPi / 2.0, kExact);
    EXPECT_NEAR(arc->_StartAzimuth, kPi / 2.0, kExact) << "start azimuth - delta, normalised";
    EXPECT_NEAR(arc->_StartElevation, 20.0, kExact) << "B's elevation";
    EXPECT_NEAR(arc->_Slope, -leftSlope, kExact);
    EXPECT_EQ(arc->_Reversed, 1);
    EXPECT_EQ(arc->_Point1Ref, Index()->FindPointReference("B"));
    EXPECT_EQ(arc->_Point2Ref, Index()->FindPointReference("A"));
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(JobIndexCoordinates, AnArcThatCannotBeSolvedAnyMoreKeepsNothingOfItsSolution) {
    CirclePoints();
    db_Arc record = ArcRecord(4, "A", "B", "C");
    ArcObject* arc = ComputedArc(record);
    ASSERT_NE(arc, nullptr);
    ASSERT_NEAR(arc->_Radius, 100.0, kExact);
    Remove(Index()->FindBestPointObject("C")->GetRecordId());
    Index()->EnsureLoaded(arc->GetReference().GetSubscript());
    EXPECT_TRUE(arc->_Centre.IsNull());
    for (double value : {arc->_RecordRadius, arc->_Radius, arc->_DeltaAngle, arc->_StartElevation, arc->_Slope})
        EXPECT_TRUE(maths_IsNull(value)) << value;
    for (const dbObjectRef& ref : {arc->_Point1Ref, arc->_Point2Ref, arc->_Point3Ref}) EXPECT_TRUE(ref.IsNull());
    EXPECT_TRUE(env.assertions.empty());
}

// ---------------------------------------------------------------- points and lines

TEST_F(JobIndexCoordinates, PointsAndLinesOfBothMethods) {
    const DBID a = GridPoint("A", 100.0, 0.0, 10.0);
    const DBID b = GridPoint("B", 0.0, 100.0, 20.0);
    const DBID p = PolarPoint("P", "A");
    ExpectGrid(ComputedPoint(a)->GetCoordinates(), 100.0, 0.0, 10.0);
    ExpectGrid(ComputedPoint(p)->GetCoordinates(), 100.0, 50.0, 12.0);
    EXPECT_TRUE(Object(p)->HasFlag(DBOBJECT_HorizontalComputed) && Object(p)->HasFlag(DBOBJECT_ElevationComputed));

    const DBID twoPoints = Line("L0", "A", "B");
    db_Line bearing;
    bearing.LineId = "L1";
    bearing.Method = db_Line::BrngDistLine;
    bearing.OriginPoint = "B";
    bearing.BearingAzimuth = kPi;          // south
    bearing.BearingGrade = std::atan(0.1); // rising 1 in 10
    bearing.BearingLength = 30.0;
    const DBID brng = dbRecord_AppendGrouped(Access(), &bearing);

    LineObject* line = LineObject::Cast(Object(twoPoints));
    ASSERT_NE(line, nullptr);
    Index()->ComputeObject(line);
    ExpectGrid(line->_Start, 100.0, 0.0, 10.0);
    ExpectGrid(line->_End, 0.0, 100.0, 20.0);
    EXPECT_EQ(line->_EndRef, Index()->FindPointReference("B"));
    line = LineObject::Cast(Object(brng));
    Index()->ComputeObject(line);
    ExpectGrid(line->_Start, 0.0, 100.0, 20.0);
    ExpectGrid(line->_End, -30.0, 100.0, 23.0);
    EXPECT_TRUE(line->_EndRef.IsNull());
    EXPECT_TRUE(line->HasFlag(DBOBJECT_HorizontalComputed) && line->HasFlag(DBOBJECT_StatusComputed));

    // Its origin deleted, the bearing line has neither end.
    job.ApplyBoolAction(b, db_BoolAction::Delete);
    line = LineObject::Cast(Object(brng));
    Index()->ComputeObject(line);
    EXPECT_TRUE(line->_Start.IsNull());
    EXPECT_TRUE(line->_End.IsNull());
    EXPECT_TRUE(env.assertions.empty());
}

// A new measurement of a GNSS point moves what rests on it. The job: WGS-84 on a
// transverse Mercator at 9 degrees east (k0 0.9996, false easting 500,000), no datum
// and no height model, so grid elevations are ellipsoid heights; grid azimuths and
// grid distances. P moves to the projection's origin, 0 N and 9 E: there the grid is
// the false origin, N 0 and E 500,000 whatever the series, with P's height 100. The
// point 50 m grid east of P and 2 m up is then N 0, E 500,050, elevation 102.
class JobIndexFollowingCoordinates : public JobIndexCoordinates {
protected:
    static constexpr double kDeg = CONSTANT_Pi / 180.0;

    void SetUp() override {
        JobIndexCoordinates::SetUp();
        TransformDefinitions definitions;
        definitions.TransverseMercator();
        const uint16_t components = TRANSFRM_Ellipsoid | TRANSFRM_Projection;
        Index()->SetTransform(definitions.Create(components).release(), nullptr, components,
                              COORDSYS_TransverseMercator);
    }
    static db_WGS84 At(double latitude, double longitude, double height) {
        db_WGS84 wgs;
        wgs.WGS84 = coord_WGS84(latitude * kDeg, longitude * kDeg, height);
        return wgs;
    }
    DBID GnssAt(const char* name, double latitude, double longitude, double height) {
        const db_WGS84 wgs = At(latitude, longitude, height);
        return Point(name, DBENTITY_GpsRTKCtrlPoint, kNormal, &wgs);
    }
    void ComputeAll() {
        for (int i = 0; i < Index()->GetObjectCount(); ++i) Index()->EnsureLoaded(i);
    }
};

TEST_F(JobIndexFollowingCoordinates, ANewMeasurementOfTheBestPointMovesWhatRestsOnIt) {
    const DBID p = GnssAt("P", 0.01, 9.01, 90.0);
    const DBID a = GnssAt("A", 0.02, 9.0, 50.0);
    const DBID line = Line("L", "P", "A");
    const DBID q = PolarPoint("Q", "P");
    ComputeAll();
    LineObject* lineObject = LineObject::Cast(Object(line));
    ASSERT_NE(lineObject, nullptr);
    const coord_CorrectedGrid before = ComputedPoint(p)->GetCoordinates();
    ASSERT_FALSE(before.IsNull());
    ASSERT_GT(before.East, 501000.0) << "about 1.1 km east of the origin";
    ExpectGrid(lineObject->_Start, before.North, before.East, 90.0, 1e-6);
    ExpectGrid(ComputedPoint(q)->GetCoordinates(), before.North, before.East + 50.0, 92.0, 1e-6);
    const coord_CorrectedGrid end = ComputedPoint(a)->GetCoordinates();

    const db_WGS84 moved = At(0.0, 9.0, 100.0);
    Access()->ApplyInGroup(p, &moved);
    for (DBID id : {p, line, q})
        EXPECT_FALSE(Object(id)->HasFlag(DBOBJECT_HorizontalComputed) || Object(id)->HasFlag(DBOBJECT_ElevationComputed))
            << id.Value();
    EXPECT_EQ(Status(p) & 0x4C, 0x4u | 0x40) << "still the best point of P";

    ComputeAll();
    const double tolerance = 1e-6;  // metres: the values are exact, the projection rounds
    ExpectGrid(ComputedPoint(p)->GetCoordinates(), 0.0, 500000.0, 100.0, tolerance);
    ExpectGrid(lineObject->_Start, 0.0, 500000.0, 100.0, tolerance);
    ExpectGrid(lineObject->_End, end.North, end.East, end.Elev, tolerance);
    ExpectGrid(ComputedPoint(q)->GetCoordinates(), 0.0, 500050.0, 102.0, tolerance);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(JobIndexCoordinates, AnIndexNeverSetUpComputesNullCoordinates) {
    CirclePoints();
    Index()->SetTransform(nullptr, nullptr, 0, COORDSYS_NoProjection);
    ObservationObject* point = ObservationObject::Cast(Index()->FindBestPointObject("A"));
    ASSERT_NE(point, nullptr);
    EXPECT_TRUE(point->GetCoordinates().IsNull());
    EXPECT_TRUE(point->HasFlag(DBOBJECT_HorizontalComputed) && point->HasFlag(DBOBJECT_ElevationComputed));
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"this->Transform"});
    env.assertions.clear();

    db_Arc record = ArcRecord(4, "A", "B", "C");
    ArcObject* arc = ComputedArc(record);
    ASSERT_NE(arc, nullptr);
    EXPECT_TRUE(arc->_Centre.IsNull());
    EXPECT_TRUE(arc->HasFlag(DBOBJECT_HorizontalComputed));
    // The arc itself, and its points B and C computed on the way.
    for (const std::string& expression : env.Expressions()) EXPECT_EQ(expression, "this->Transform");
}

// ---------------------------------------------------------------- local transformations

class JobLocalTransformations : public JobIndexCoordinates {
protected:
    DBID Named(const char* name, bool deleted = false) {
        db_LocalTransformation record;
        record.TransformationName = name;
        record.Deleted = deleted;
        return dbRecord_AppendGrouped(Access(), &record);
    }
    // A line north from the origin in the grid, east from (500, 500) in the local grid.
    DBID LineTransformation(const char* name) {
        const DBID id = Named(name);
        db_LineTransformationDefinition line;
        line.StartPointGrid = coord_CorrectedGrid(0.0, 0.0, 0.0);
        line.EndPointGrid = coord_CorrectedGrid(100.0, 0.0, 0.0);
        line.StartPointLocalGrid = coord_LocalTransformedGrid(500.0, 500.0, 0.0);
        line.EndPointLocalGrid = coord_LocalTransformedGrid(500.0, 600.0, 0.0);
        line.ScaleApplicationMethod = LINETRANSFORMATION_ScaleFree;
        dbRecord_AppendGrouped(Access(), &line);
        return id;
    }
    // The scale and a shift of (1000, 2000) about the origin.
    static db_LocalTransformationHelmertParameters Helmert(double scale) {
        db_LocalTransformationHelmertParameters helmert;
        helmert.HorizontalParameters.Apply = true;
        helmert.HorizontalParameters.OriginNorth = helmert.HorizontalParameters.OriginEast = 0.0;
        helmert.HorizontalParameters.Scale = scale;
        helmert.HorizontalParameters.Rotation = 0.0;
        helmert.HorizontalParameters.TranslationNorth = 1000.0;
        helmert.HorizontalParameters.TranslationEast = 2000.0;
        return helmert;
    }
    DBID HelmertTransformation(const char* name, double scale) {
        const DBID id = Named(name);
        db_LocalTransformationHelmertParameters helmert = Helmert(scale);
        dbRecord_AppendGrouped(Access(), &helmert);
        return id;
    }
    DBID LocalPoint(const char* name, double north, double east, double elevation, const char* transformation) {
        db_LocalTransformedGrid grid;
        grid.LocalTransformedGrid = coord_LocalTransformedGrid(north, east, elevation);
        grid.ReferenceTransformation = transformation;
        return Point(name, DBENTITY_Coordinates, kNormal, &grid);
    }
};

TEST_F(JobLocalTransformations, LocallyTransformedGridPointsTakeTheirTransformation) {
    LineTransformation("Line");
    HelmertTransformation("Helmert", 2.0);
    HelmertTransformation("Flat", 0.0);
    const DBID onLine = LocalPoint("P1", 510.0, 550.0, 7.0, "Line");
    const DBID onHelmert = LocalPoint("P2", 10.0, 20.0, 5.0, "Helmert");
    const DBID unscaled = LocalPoint("P3", 10.0, 20.0, 5.0, "Flat");
    const DBID unknown = LocalPoint("P4", 10.0, 20.0, 5.0, "Nowhere");
    // 50 along the line, 10 left of it.
    ExpectGrid(ComputedPoint(onLine)->GetCoordinates(), 50.0, -10.0, 7.0);
    ExpectGrid(ComputedPoint(onHelmert)->GetCoordinates(), 1020.0, 2040.0, 5.0);
    EXPECT_TRUE(ComputedPoint(unscaled)->GetCoordinates().IsNull()) << "a Helmert scale of 0 maps nothing";
    EXPECT_TRUE(ComputedPoint(unknown)->GetCoordinates().IsNull());
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(JobLocalTransformations, FindingBuildingAndCaching) {
    Named("Site", true);
    const DBID older = LineTransformation("Site");
    const DBID newer = HelmertTransformation("Site", 2.0);
    EXPECT_EQ(Index()->FindLocalTransformationId("Site"), older) << "the oldest live record of the name";
    EXPECT_NE(older, newer);
    EXPECT_EQ(Index()->FindLocalTransformationId(""), NODBID);
    EXPECT_EQ(Index()->FindLocalTransformationId("Other"), NODBID);

    Str name;
    const dbRecord_Class* definition = Index()->FindLocalTransformationDefinition(newer, name);
    ASSERT_NE(definition, nullptr);
    EXPECT_EQ(definition->GetType(), DATABASE_LocalTransformationHelmertParametersRecord);
    EXPECT_STREQ(name.Data(), "Site");

    std::unique_ptr<LocalTransformation> none(Index()->BuildLocalTransformation(NODBID));
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->GetType(), LOCALTRANSFORMATION_Null);
    coord_CogoGrid cogo(1.0, 2.0, 3.0);
    none->ToCogoGrid(coord_LocalTransformedGrid(1.0, 2.0, 3.0), &cogo);
    EXPECT_TRUE(cogo.IsNull());

    EXPECT_EQ(Index()->SelectLocalTransformation("Site"), older);
    EXPECT_EQ(Index()->GetCachedLocalTransformationId(), older);
    EXPECT_STREQ(Index()->GetLocalTransformationName(older).Data(), "Site");
    std::unique_ptr<LocalTransformation> copy(Index()->BuildLocalTransformation(older));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetType(), LOCALTRANSFORMATION_Line);
    copy->ToCogoGrid(coord_LocalTransformedGrid(510.0, 550.0, 7.0), &cogo);
    EXPECT_NEAR(cogo.North, 50.0, kExact);
    EXPECT_NEAR(cogo.East, -10.0, kExact);

    std::unique_ptr<LocalTransformation> helmert(Index()->BuildLocalTransformation(newer));
    ASSERT_NE(helmert, nullptr);
    EXPECT_EQ(helmert->GetType(), LOCALTRANSFORMATION_Helmert);
    EXPECT_STREQ(Index()->GetLocalTransformationName(newer).Data(), "Site");
    EXPECT_TRUE(Index()->GetLocalTransformationName(NODBID).IsEmpty());
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(JobLocalTransformations, ANewDefinitionMovesTheLocallyTransformedPoints) {
    const DBID site = Named("Site");
    const DBID p = LocalPoint("P", 10.0, 20.0, 5.0, "Site");
    EXPECT_TRUE(ComputedPoint(p)->GetCoordinates().IsNull()) << "no definition yet";
    db_LocalTransformationHelmertParameters helmert = Helmert(2.0);
    dbRecord_InsertBeforeGrouped(Access(), p, &helmert);
    ExpectGrid(ComputedPoint(p)->GetCoordinates(), 1020.0, 2040.0, 5.0);
    helmert = Helmert(3.0);
    dbRecord_ReplaceAtGrouped(Access(), Access()->GetNextId(site), &helmert);
    const coord_CorrectedGrid& grid = ObservationObject::Cast(Object(p))->GetHorizontalCoordinates();
    EXPECT_NEAR(grid.North, 1030.0, kExact);
    EXPECT_NEAR(grid.East, 2060.0, kExact);
    EXPECT_TRUE(env.assertions.empty());
}

// ---------------------------------------------------------------- setting up

class JobCoordinateSystem : public JobIndexCoordinates {
protected:
    void SetUp() override {
        JobIndexCoordinates::SetUp();
        PathMacroNames().Clear();
        PathMacroValues().Clear();
        path_DefineMacro("SharedDir", shared.Path().c_str());
        std::ofstream(shared.Path() + "/Egm2008.GGF") << "geoid";
    }
    void TearDown() override {
        PathMacroNames().Clear();
        PathMacroValues().Clear();
        JobIndexCoordinates::TearDown();
    }
    // WGS-84 and a transverse Mercator at 9 degrees east, with or without a ground height.
    void TransverseMercator(double groundHeight) {
        db_Ellipsoid ellipsoid;
        ellipsoid.Ellipsoid = coordsys_WGS84Ellipsoid;
        dbRecord_AppendGrouped(Access(), &ellipsoid);
        db_Projection projection;
        projection.Projection = TransformDefinitions().TransverseMercator().projection;
        projection.Projection.GroundScale.ProjectLocation.Height = groundHeight;
        dbRecord_AppendGrouped(Access(), &projection);
        db_Corrections corrections;
        corrections.Corrections.Distances = COORDSYS_GridDistance;
        dbRecord_AppendGrouped(Access(), &corrections);
    }
    bool SetUpWith(int flags) {
        loadFlags = flags;
        for (Str& name : names) name = Str();
        return Index()->SetUpCoordinateSystem(error, loadFlags, names);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> out;
        for (const Str& name : names) out.emplace_back(name.Data());
        return out;
    }

    TempFolder shared;
    int error = -1;
    int loadFlags = 0;
    Str names[DBJOBINDEX_FileNameCount];
};

TEST_F(JobCoordinateSystem, AProjectionNeedsAGroundHeightUnlessTheCallerWaivesIt) {
    TransverseMercator(MATHS_Null);
    const transfrm_Class* before = Index()->Transform;
    EXPECT_FALSE(SetUpWith(TRANSFRM_ConversionLoadFlags));
    EXPECT_EQ(error, DBJOBINDEX_NoGroundHeight);
    EXPECT_EQ(Index()->Transform, before) << "the old transform stays";

    ASSERT_TRUE(SetUpWith(TRANSFRM_ConversionLoadFlags | DBJOBINDEX_LoadWithoutGroundHeight)) << error;
    EXPECT_EQ(error, 0);
    ASSERT_NE(Index()->Transform, before);
    EXPECT_EQ(Index()->Transform->Components, TRANSFRM_Ellipsoid | TRANSFRM_Projection | TRANSFRM_Corrections);
    // Grid distances, no datum: orthometric heights.
    EXPECT_EQ(Index()->CogoSettings, 0x8A4u);

    TransverseMercator(400.0);
    ASSERT_TRUE(SetUpWith(TRANSFRM_ConversionLoadFlags)) << error;
    EXPECT_DOUBLE_EQ(Index()->Transform->GetGroundOriginHeight(), 400.0);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(JobCoordinateSystem, ReportsTheSevenFileNamesAndCorrectsAGeoidFoundUnderAnotherName) {
    TransverseMercator(400.0);
    db_Height height;
    height.Height.HeightType = COORDSYS_GeoidModel;
    height.Height.GeoidFilename = "EGM2008";
    const DBID stored = dbRecord_AppendGrouped(Access(), &height);
    db_Datum datum;
    datum.Datum.DatumType = COORDSYS_GridDatum;
    datum.Datum.GridName = "NotThere";
    dbRecord_AppendGrouped(Access(), &datum);
    db_Projection projection;
    projection.Projection.ProjectionType = COORDSYS_UnitedKingdomNationalGrid;
    projection.Projection.UKNorthGridFile = "North";
    projection.Projection.UKEastGridFile = "East";
    projection.Projection.ProjectionGridFile = "Third";
    projection.Projection.ShiftGridFile = "Shift";
    projection.Projection.GroundScale.ProjectLocation.Height = 0.0;
    dbRecord_AppendGrouped(Access(), &projection);

    SetUpWith(TRANSFRM_ConversionLoadFlags);
    EXPECT_EQ(Names(), (std::vector<std::string>{"EGM2008", "NotThere", "", "North", "East", "", "Shift"}));
    EXPECT_EQ(loadFlags & (DBJOBINDEX_LoadGeoid | DBJOBINDEX_LoadGridDatum),
              DBJOBINDEX_LoadGeoid | DBJOBINDEX_LoadGridDatum);
    const DBID corrected = Access()->GetLastIdOfType(DATABASE_HeightRecord);
    ASSERT_NE(corrected, stored) << "the found name is written back in a record of its own";
    EXPECT_STREQ(db_Height::Cast(Access()->GetRecord(corrected))->Height.GeoidFilename.Data(), "Egm2008");
    // A datum grid not found leaves the job as it was.
    EXPECT_STREQ(db_Datum::Cast(Access()->GetRecord(Access()->GetLastIdOfType(DATABASE_DatumRecord)))
                     ->Datum.GridName.Data(),
                 "NotThere");

    datum.Datum.DatumType = COORDSYS_RTCMGrid;
    datum.Datum.GridName = "Rtcm";
    dbRecord_AppendGrouped(Access(), &datum);
    projection.Projection.ProjectionType = COORDSYS_ProjectionGrid;
    dbRecord_AppendGrouped(Access(), &projection);
    SetUpWith(TRANSFRM_ConversionLoadFlags);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Egm2008", "", "Rtcm", "", "", "Third", "Shift"}));
    EXPECT_EQ(loadFlags & DBJOBINDEX_LoadRTCMGrid, DBJOBINDEX_LoadRTCMGrid);
    EXPECT_EQ(Access()->GetLastIdOfType(DATABASE_HeightRecord), corrected) << "found under its own name now";
}

// The model file names of the job's records, one model at a time; the others are
// absent or, for the national grid's second file, the plain name "site".
struct ModelNames {
    Str geoid, datumGrid, rtcm, north, east, projectionGrid, shift;
};

void AppendModelRecords(dbAccess* access, const ModelNames& n) {
    db_Height height;
    if (!n.geoid.IsEmpty()) {
        height.Height.HeightType = COORDSYS_GeoidModel;
        height.Height.GeoidFilename = n.geoid;
    }
    dbRecord_AppendGrouped(access, &height);
    db_Datum datum;
    if (!n.datumGrid.IsEmpty()) {
        datum.Datum.DatumType = COORDSYS_GridDatum;
        datum.Datum.GridName = n.datumGrid;
    } else if (!n.rtcm.IsEmpty()) {
        datum.Datum.DatumType = COORDSYS_RTCMGrid;
        datum.Datum.GridName = n.rtcm;
    }
    dbRecord_AppendGrouped(access, &datum);
    db_Projection projection;
    projection.Projection = TransformDefinitions().TransverseMercator().projection;
    projection.Projection.GroundScale.ProjectLocation.Height = 400.0;
    if (!n.north.IsEmpty()) {
        projection.Projection.ProjectionType = COORDSYS_UnitedKingdomNationalGrid;
        projection.Projection.UKNorthGridFile = n.north;
        projection.Projection.UKEastGridFile = n.east;
    } else if (!n.projectionGrid.IsEmpty()) {
        projection.Projection.ProjectionType = COORDSYS_ProjectionGrid;
        projection.Projection.ProjectionGridFile = n.projectionGrid;
    }
    projection.Projection.ShiftGridFile = n.shift;
    dbRecord_AppendGrouped(access, &projection);
}

// Names in the job's records that would lead out of the shared folder: the set-up
// fails with that model's build error and keeps the old transform, although a
// loadable file of every kind waits where the names lead; no file there or in the
// shared folder is created or written, and no corrected record joins the job. The
// plain names set up.
TEST_F(JobCoordinateSystem, ModelFileNamesFromTheJobNeverLeaveTheSharedFolder) {
    TempFolder outside;  // beside the shared folder
    modeltest::WriteAll(outside.Path(), "site");
    modeltest::WriteAll(shared.Path(), "site");
    const std::string leaf = std::filesystem::path(outside.Path()).filename().string();
    path_DefineMacro("Outside", ("..\\" + leaf + "\\").c_str());
    TransverseMercator(400.0);
    using Setter = void (*)(ModelNames&, const Str&);
    const struct {
        const char* what;
        Setter set;
        int error;
    } models[] = {
        {"geoid", [](ModelNames& m, const Str& n) { m.geoid = n; }, CSIBGLUE_GeoidFile},
        {"datum grid", [](ModelNames& m, const Str& n) { m.datumGrid = n; }, CSIBGLUE_DatumGridFile},
        {"RTCM data", [](ModelNames& m, const Str& n) { m.rtcm = n; }, CSIBGLUE_RTCMFile},
        {"national grid, north",
         [](ModelNames& m, const Str& n) {
             m.north = n;
             m.east = "site";
         },
         CSIBGLUE_UKGridMissing},
        {"national grid, east",
         [](ModelNames& m, const Str& n) {
             m.north = "site";
             m.east = n;
         },
         CSIBGLUE_UKGridMissing},
        {"projection grid", [](ModelNames& m, const Str& n) { m.projectionGrid = n; }, CSIBGLUE_ProjectionGridFile},
        {"shift grid", [](ModelNames& m, const Str& n) { m.shift = n; }, CSIBGLUE_ShiftGridFile},
    };
    for (const auto& m : models) {
        ModelNames names;
        m.set(names, "site");
        AppendModelRecords(Access(), names);
        EXPECT_TRUE(SetUpWith(0)) << m.what << ": the plain name, error " << error;
    }
    const auto outsideBefore = modeltest::Snapshot(outside.Path());
    const auto sharedBefore = modeltest::Snapshot(shared.Path());
    const std::string leading[] = {"..\\" + leaf + "\\site", "../" + leaf + "/site", "$(Outside)site",
                                   outside.Path() + "/site"};
    for (const std::string& name : leading) {
        for (const auto& m : models) {
            SCOPED_TRACE(name + ", " + m.what);
            ModelNames names;
            m.set(names, name.c_str());
            AppendModelRecords(Access(), names);
            const DBID height = Access()->GetLastIdOfType(DATABASE_HeightRecord);
            const DBID datum = Access()->GetLastIdOfType(DATABASE_DatumRecord);
            const transfrm_Class* before = Index()->Transform;
            EXPECT_FALSE(SetUpWith(0));
            EXPECT_EQ(m.error, error);
            EXPECT_EQ(before, Index()->Transform);
            EXPECT_EQ(height, Access()->GetLastIdOfType(DATABASE_HeightRecord));
            EXPECT_EQ(datum, Access()->GetLastIdOfType(DATABASE_DatumRecord));
        }
    }
    EXPECT_EQ(outsideBefore, modeltest::Snapshot(outside.Path()));
    EXPECT_EQ(sharedBefore, modeltest::Snapshot(shared.Path()));
}

}  // namespace
