// Positions: the status bits, the transform binding, the attempt guard, the cached
// ellipsoids and convergence, and the conversions between the coordinates of the point
// itself through transverse Mercator transforms.
//
// Reference values computed beforehand and pinned: grid, WGS84 and heights by PROJ
// (cct pipelines of tmerc, and molodensky with dx = -Tx for the local-to-WGS84
// direction of a job's three-parameter datum), on the engine's WGS84 flattening
// (semi-minor axis 6356752.3142); ECEF by GeographicLib's CartConvert; the convergence
// and scale by TransverseMercatorProj (the convergence at the 50 m midpoint of the
// probe, its sign inverted).
#include "cogo/position.h"

#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "cogo/localtransformation.h"
#include "cogo/transfrm.h"
#include "jobdb/dbJobIndex.h"
#include "csib/csibplatform.h"
#include "support/recording_environment.h"
#include "transform_definitions.h"

namespace {

constexpr double kDeg = CONSTANT_Pi / 180.0;
constexpr double kArcSecond = kDeg / 3600.0;
constexpr double kNull = MATHS_Null;
constexpr double kMetre = 1e-3;       // grid and heights
constexpr double kAngle = 1e-9 * kDeg;

constexpr uint16_t kGrid = TRANSFRM_Ellipsoid | TRANSFRM_Projection | TRANSFRM_Corrections;

using Definitions = TransformDefinitions;

class Position : public ::testing::Test {
protected:
    void SetUp() override { live = csib_LiveAllocations(); }
    void TearDown() override { EXPECT_EQ(live, csib_LiveAllocations()) << "engine blocks left behind"; }

    RecordingEnvironment env;
    int64_t live = 0;
};

void ExpectGrid(const coord_CorrectedGrid& expected, const coord_CorrectedGrid& actual) {
    EXPECT_NEAR(expected.North, actual.North, kMetre);
    EXPECT_NEAR(expected.East, actual.East, kMetre);
    EXPECT_NEAR(expected.Elev, actual.Elev, kMetre);
}

void ExpectGeodetic(double lat, double lon, double h, double actualLat, double actualLon, double actualH) {
    EXPECT_NEAR(lat * kDeg, actualLat, kAngle);
    EXPECT_NEAR(lon * kDeg, actualLon, kAngle);
    EXPECT_NEAR(h, actualH, kMetre);
}

// --- Conversions ---------------------------------------------------------------------

struct Route {
    double lat, lon, h;          // local (degrees, metres): on WGS84 the WGS84 coordinate itself
    double wLat, wLon, wH;       // WGS84
    double north, east;          // grid; its elevation is the local height
};

constexpr Route kWGS84Routes[] = {
    {46.0, 10.0, 500.0, 46.0, 10.0, 500.0, 5094533.591053, 577432.182569},
    {47.5, 7.2, 120.3, 47.5, 7.2, 120.3, 5262299.944829, 364437.741886},
    {44.2, 12.9, -15.0, 44.2, 12.9, -15.0, 4901486.835966, 811633.754430},
};
constexpr Route kInternationalRoutes[] = {
    {46.0, 10.0, 500.0, 45.999086870743, 9.998949262441, 545.417800, 5094629.950194, 577435.798549},
    {47.5, 7.2, 120.3, 47.499099678144, 7.198854347300, 165.887081, 5262401.933208, 364431.360760},
    {44.2, 12.9, -15.0, 44.199066789329, 12.899047985466, 30.827506, 4901577.069051, 811648.169616},
};

void CheckRoutes(const transfrm_Class& t, const Route (&routes)[3]) {
    for (const Route& r : routes) {
        SCOPED_TRACE(r.lat);
        position_Class fromWGS84;
        fromWGS84.SetWGS84(coord_WGS84(r.wLat * kDeg, r.wLon * kDeg, r.wH), &t);
        ExpectGrid(coord_CorrectedGrid(r.north, r.east, r.h), fromWGS84.GetGrid(&t));
        const coord_Local local = fromWGS84.GetLocal(&t);
        ExpectGeodetic(r.lat, r.lon, r.h, local.Lat, local.Long, local.Height);
        const coord_Local uncalibrated = fromWGS84.GetUncalibratedLocal(&t);
        ExpectGeodetic(r.lat, r.lon, r.h, uncalibrated.Lat, uncalibrated.Long, uncalibrated.Height);
        EXPECT_EQ(0x1E, fromWGS84.Status);

        position_Class fromGrid;
        fromGrid.SetGrid(coord_CorrectedGrid(r.north, r.east, r.h), &t);
        const coord_WGS84 wgs84 = fromGrid.GetWGS84(&t);
        ExpectGeodetic(r.wLat, r.wLon, r.wH, wgs84.Lat, wgs84.Long, wgs84.Height);
    }
}

TEST_F(Position, WGS84AndGridOriginalsThroughAWGS84TransverseMercator) {
    auto t = Definitions().TransverseMercator().Create(kGrid);
    ASSERT_TRUE(t);
    CheckRoutes(*t, kWGS84Routes);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(Position, WGS84AndGridOriginalsThroughAThreeParameterDatum) {
    auto t = Definitions().TransverseMercator().International().Create(kGrid | TRANSFRM_Datum);
    ASSERT_TRUE(t);
    CheckRoutes(*t, kInternationalRoutes);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(Position, ECEFGroundOriginalsAndTheECEFOfWGS84Originals) {
    struct Case {
        double lat, lon, h;
        double x, y, z;
    };
    const Case cases[] = {
        {46.0, 10.0, 500.0, 4371234.102937167, 770766.511340786, 4565607.210684929},
        {-33.9, 151.2, 12.5, -4643955.119243932, 2553035.931378783, -3537252.319676622},
        {60.2, -7.1, 88.0, 3153463.637210920, -392784.659573955, 5511661.192523795},
    };
    constexpr double kECEF = 1e-4;
    auto t = Definitions().TransverseMercator().Create(kGrid);
    ASSERT_TRUE(t);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lat);
        position_Class ground;
        ground.SetECEFGround(coord_ECEFGround(c.x, c.y, c.z), t.get());
        const coord_WGS84 w = ground.GetWGS84(t.get());
        EXPECT_NEAR(c.lat * kDeg, w.Lat, 1e-9 * kDeg);
        EXPECT_NEAR(c.lon * kDeg, w.Long, 1e-9 * kDeg);
        EXPECT_NEAR(c.h, w.Height, kECEF);

        position_Class wgs84;
        wgs84.SetWGS84(coord_WGS84(c.lat * kDeg, c.lon * kDeg, c.h), t.get());
        const coord_ECEFGround e = wgs84.GetECEFGround(t.get());
        EXPECT_NEAR(c.x, e.X, kECEF);
        EXPECT_NEAR(c.y, e.Y, kECEF);
        EXPECT_NEAR(c.z, e.Z, kECEF);
    }
    // A WGS84 coordinate without height has no ECEF.
    position_Class flat;
    flat.SetWGS84(coord_WGS84(46.0 * kDeg, 10.0 * kDeg, kNull), t.get());
    EXPECT_TRUE(flat.GetECEFGround(t.get()).IsNull());
}

TEST_F(Position, LocalOriginalWithoutProjectionIsItsOwnUncalibratedLocal) {
    auto t = Definitions().Create(TRANSFRM_Ellipsoid | TRANSFRM_Corrections);
    ASSERT_TRUE(t);
    position_Class p;
    const coord_Local local(0.8, 0.2, 50.0);
    p.SetLocal(local, t.get());
    const coord_Local u = p.GetUncalibratedLocal(t.get());
    EXPECT_EQ(local.Lat, u.Lat);
    EXPECT_EQ(local.Long, u.Long);
    EXPECT_EQ(local.Height, u.Height);
}

TEST_F(Position, GridConvergenceAndScale) {
    struct Case {
        double lat, lon;
        double gammaMid;  // degrees, at the point 50 m north in the grid
        double k;         // at the point
    };
    const Case cases[] = {
        {46.0, 10.0, 0.7193866791701996, 0.9996737067256786},
    };
    auto north = Definitions().TransverseMercator().Create(kGrid);
    Definitions southDefinitions;
    southDefinitions.TransverseMercator().corrections.SouthAzimuth = true;
    auto south = southDefinitions.Create(kGrid);
    ASSERT_TRUE(north && south);
    for (const Case& c : cases) {
        position_Class p;
        p.SetWGS84(coord_WGS84(c.lat * kDeg, c.lon * kDeg, 0.0), north.get());
        EXPECT_NEAR(-c.gammaMid * kDeg, p.GetGridConvergence(north.get()), 0.1 * kArcSecond);
        EXPECT_NEAR(c.k, north->GridScaleFactor(p.GetLocal(north.get())), 1e-9);
        // Azimuths from south: the offset joins the mean azimuth.
        EXPECT_NEAR(-(c.gammaMid * kDeg + CONSTANT_Pi), p.GetGridConvergence(south.get()), 0.1 * kArcSecond);
    }
}

// --- Status, binding and caches ---------------------------------------------------

TEST_F(Position, AnotherTransformKeepsTheOriginalAndTheAntenna) {
    auto a = Definitions().TransverseMercator().Create(kGrid);
    auto b = Definitions().TransverseMercator().Create(kGrid);
    ASSERT_TRUE(a && b);
    position_Class p;
    p.SetGrid(coord_CorrectedGrid(5094533.591053, 577432.182569, 500.0), a.get());
    EXPECT_EQ(0x2, p.Status);
    p.GetWGS84(a.get());
    p.GetGridConvergence(a.get());
    EXPECT_EQ(0x2 | 0x8 | 0x10 | 0x4 | 0x10000 | 0x100000 | 0x80000, p.Status);

    position_Class withAntenna = p;  // shares the cache
    EXPECT_EQ(p.Status, withAntenna.Status);
    EXPECT_EQ(p.WGS84.Lat, withAntenna.WGS84.Lat);
    withAntenna.Status |= POSITION_DoneAntenna;

    p.CheckTransform(b.get());
    EXPECT_EQ(0x2, p.Status);
    EXPECT_EQ(0, p.Computing);
    EXPECT_EQ(b->GetId(), p.TransformId);
    EXPECT_TRUE(p.WGS84.IsNull());
    EXPECT_EQ(5094533.591053, p.Grid.North);
    withAntenna.CheckTransform(b.get());
    EXPECT_EQ(0x8002, withAntenna.Status);
    // Recomputed under b.
    EXPECT_NEAR(46.0 * kDeg, p.GetWGS84(b.get()).Lat, kAngle);
}

TEST_F(Position, ObservationsKeepTheirOwnMembersUnderAnotherTransform) {
    auto a = Definitions().Create(TRANSFRM_Corrections);
    auto b = Definitions().Create(TRANSFRM_Corrections);
    ASSERT_TRUE(a && b);
    coord_Circle circle;
    circle.HorzCircle = 1.0;
    circle.VertCircle = 1.5;
    circle.EDMDistance = 10.0;
    circle.Face = COORD_Face1;
    position_Class p;
    p.SetCircleObservation(circle, DBID(1), DBID(2), DBID(3), a.get());
    p.Corrected = coord_Corrected(1.0, 1.5, 10.0, COORD_Face1);
    p.Unturned = coord_Unturned(1.0, 9.9, 0.7);
    p.Polar = coord_Polar(0.5, 9.9, 0.7);
    p.MTA.HorzCircle = 2.0;
    p.Status |= POSITION_DoneCorrected | POSITION_DoneUnturned | POSITION_DonePolar;
    p.CheckTransform(b.get());
    EXPECT_EQ(POSITION_DoneCircle, p.Status);
    EXPECT_EQ(1.0, p.GetCircle().HorzCircle);
    EXPECT_EQ(1.0, p.Corrected.HorzCircle);
    EXPECT_EQ(9.9, p.Unturned.HDist);
    EXPECT_TRUE(p.Polar.IsNull());
    EXPECT_EQ(2.0, p.MTA.HorzCircle);  // never nulled here

    p.SetPolar(coord_Polar(0.5, 9.9, 0.7), a.get());
    p.Circle.HorzCircle = 3.0;
    p.CheckTransform(b.get());
    EXPECT_EQ(0.5, p.Polar.Azimuth);
    EXPECT_TRUE(p.Circle.IsNull());
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(Position, AFailedGridIsAttemptedOncePerTransform) {
    auto none = Definitions().Create(TRANSFRM_Ellipsoid | TRANSFRM_Corrections);
    auto tm = Definitions().TransverseMercator().Create(kGrid);
    ASSERT_TRUE(none && tm);
    position_Class p;
    p.SetWGS84(coord_WGS84(46.0 * kDeg, 10.0 * kDeg, 500.0), none.get());
    EXPECT_TRUE(p.GetGrid(none.get()).IsNull());
    EXPECT_EQ(0, p.Status & POSITION_DoneGrid);
    EXPECT_NE(0, p.Computing & POSITION_DoneGrid);
    EXPECT_FALSE(p.BeginComputing(POSITION_DoneGrid));
    EXPECT_FALSE(p.ComputeGrid(none.get()));
    EXPECT_TRUE(p.GetGrid(none.get()).IsNull());
    // Under a transform with a projection it is attempted again.
    EXPECT_NEAR(577432.182569, p.GetGrid(tm.get()).East, kMetre);
}

TEST_F(Position, LocalEllipsoidRaisedForGroundDistancesAtSeaLevel) {
    Definitions d;
    d.TransverseMercator().projection.GroundScale.ProjectLocation = coord_Local(0.8, 0.17, 250.0);
    auto t = d.Create(kGrid);
    ASSERT_TRUE(t);
    const coordsys_CogoSettings ground(COORDSYS_CogoGroundDistances | COORDSYS_CogoDistanceGrid);
    const coordsys_CogoSettings plain(COORDSYS_CogoDistanceGrid);

    position_Class p;
    p.SetWGS84(coord_WGS84(46.0 * kDeg, 10.0 * kDeg, 100.0), t.get());
    EXPECT_NEAR(6378237.0, p.GetLocalEllipsoid(ground, t.get()).EarthRadius, 1e-9);
    EXPECT_EQ(coordsys_WGS84Ellipsoid.Flattening, p.LocalEllipsoid.Flattening);
    EXPECT_NEAR(6378237.0, p.GetLocalEllipsoid(plain, t.get()).EarthRadius, 1e-9);  // cached
    EXPECT_NEAR(6378237.0, p.GetWGS84Ellipsoid(ground, t.get()).EarthRadius, 1e-9);

    struct Case {
        const char* what;
        double height;
        coordsys_CogoSettings mask;
        bool seaLevel;
        double a;
    };
    const Case cases[] = {
        {"no ground distances", 100.0, plain, true, 6378137.0},
        {"sea level off", 100.0, ground, false, 6378137.0},
        {"no height: the ground-origin height", kNull, ground, true, 6378387.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Definitions e = d;
        e.corrections.ApplySeaLevelCorrectionOnStandardProjection = c.seaLevel;
        auto u = e.Create(kGrid);
        ASSERT_TRUE(u);
        position_Class q;
        q.SetWGS84(coord_WGS84(46.0 * kDeg, 10.0 * kDeg, c.height), u.get());
        EXPECT_NEAR(c.a, q.GetLocalEllipsoid(c.mask, u.get()).EarthRadius, 1e-9);
    }
}

TEST_F(Position, ConvergenceOfANullPointStaysZero) {
    auto t = Definitions().TransverseMercator().Create(kGrid);
    ASSERT_TRUE(t);
    position_Class p;
    p.SetGrid(coord_CorrectedGrid(kNull, kNull, 10.0), t.get());
    EXPECT_EQ(0.0, p.GetGridConvergence(t.get()));
    p.Grid = coord_CorrectedGrid(5094533.591053, 577432.182569, 500.0);
    EXPECT_EQ(0.0, p.GetGridConvergence(t.get()));
}

TEST_F(Position, SettersAndAssertions) {
    auto t = Definitions().Create(TRANSFRM_Corrections);
    ASSERT_TRUE(t);
    coord_Circle circle;
    circle.HorzCircle = 0.25;
    position_Class p;
    p.Name = "P1";
    p.NameOfBase = "STN";
    p.SetCircleObservation(circle, NODBID, DBID(7), DBID(8), t.get());
    EXPECT_EQ(COORD_CircleType, p.Original);
    EXPECT_EQ(POSITION_DoneCircle, p.Status);
    EXPECT_EQ(0.25, p.GetCircle().HorzCircle);
    EXPECT_EQ(DBID(7), p.DBLocationOfTarget);
    ASSERT_EQ(1u, env.assertions.size());
    EXPECT_EQ("stationLocation != NODBID && targetLocation != NODBID && backbearingLocation != NODBID",
              env.Expressions()[0]);
    env.Clear();

    coord_MTA mta;
    mta.HorzCircle = 1.0;
    mta.VertCircle = 1.5;
    mta.EDMDistance = 20.0;
    p.SetMTAObservation(mta, DBID(1), DBID(2), DBID(3), t.get());
    EXPECT_EQ(POSITION_DoneCircle, p.Status);
    EXPECT_TRUE(p.GetCircle().IsNull());  // handed out for circle originals only
    EXPECT_EQ(20.0, p.Circle.EDMDistance);
    EXPECT_EQ(COORD_Face1, p.Circle.Face);
    EXPECT_EQ(1.0, p.GetMTA().HorzCircle);

    p.SetUnturned(coord_Unturned(0.5, 10.0, 1.0), 0.125, t.get());
    EXPECT_EQ(0x2000, p.Status);
    EXPECT_EQ(0.125, p.BacksightCircle);
    EXPECT_TRUE(p.GetMTA().IsNull());
    EXPECT_EQ("STN", p.NameOfBase);  // setters keep the names
    p.SetLocalTransformedGrid(coord_LocalTransformedGrid(1.0, 2.0, 3.0), Str("SITE"), t.get());
    EXPECT_EQ(0x200000, p.Status);
    EXPECT_EQ("SITE", p.TransformationName);
    p.Clear();
    EXPECT_TRUE(p.NameOfBase.IsEmpty());
    EXPECT_EQ("P1", p.Name);
    EXPECT_FALSE(p.IsDefined());
    EXPECT_EQ(t->GetId(), p.TransformId);

    p.SetCogoSystem(coordsys_CogoSettings(0x8A4));
    p.SetCogoSystem(coordsys_CogoSettings(0x894));
    EXPECT_EQ(0x894, p.CogoSystem.Value());
    p.SetCogoSystem(coordsys_CogoSettings());
    // A null mask is reported, and reported again as differing from the one held.
    EXPECT_EQ((std::vector<std::string>{"this->CogoSystem == system", "!system.IsNull()", "this->CogoSystem == system"}),
              env.Expressions());
}

TEST_F(Position, DistanceSystemFromTheCogoMaskOrTheJobIndex) {
    auto tm = Definitions().TransverseMercator().Create(kGrid);
    Definitions scale;
    scale.projection.ProjectionType = COORDSYS_ScaleOnly;
    scale.projection.Scale = 1.0;
    auto scaleOnly = scale.Create(kGrid);
    ASSERT_TRUE(tm && scaleOnly);
    dbJobIndex index;
    struct Case {
        int distances;
        int32_t expected;
    };
    const Case cases[] = {{COORDSYS_GridDistance, 1}, {COORDSYS_EllipsoidDistance, 2}, {COORDSYS_GroundDistance, 2}};
    for (const Case& c : cases) {
        coordsys_Corrections corrections;
        corrections.Distances = c.distances;
        index.CogoSettings = static_cast<uint32_t>(dbJobIndex_DefaultCogoSettings(&corrections, kGrid, 3).Value());
        position_Class grid;
        grid.SearchData = &index;  // binding needs an open job; the mask is all that is read here
        grid.SetGrid(coord_CorrectedGrid(5094533.0, 577432.0, 0.0), tm.get());
        EXPECT_EQ(c.expected, grid.GetDistanceSystem(tm.get())) << c.distances;
        EXPECT_EQ(1, grid.GetDistanceSystem(scaleOnly.get())) << c.distances;
    }

    // Observations follow their own mask, whatever the index says.
    position_Class observed;
    observed.SetUnturned(coord_Unturned(0.5, 10.0, 1.0), 0.0, tm.get());
    observed.SetCogoSystem(coordsys_CogoSettings(COORDSYS_CogoDistanceWGS84 | COORDSYS_CogoAzimuthGrid));
    EXPECT_EQ(3, observed.GetDistanceSystem(tm.get()));
    EXPECT_TRUE(env.assertions.empty());

    // No distance bit, or two, is reported.
    observed.SetCogoSystem(coordsys_CogoSettings(COORDSYS_CogoAzimuthGrid));
    EXPECT_EQ(0, observed.GetDistanceSystem(tm.get()));
    observed.SetCogoSystem(coordsys_CogoSettings(COORDSYS_CogoDistanceGrid | COORDSYS_CogoDistanceLocal));
    EXPECT_EQ(1, observed.GetDistanceSystem(tm.get()));
    const std::string distanceBits =
        "(cogoSystem & COORDSYS_CogoDistanceGrid) ^ (cogoSystem & COORDSYS_CogoDistanceLocal) ^ "
        "(cogoSystem & COORDSYS_CogoDistanceWGS84)";
    // The other two reports are of the mask changed under the position.
    EXPECT_EQ((std::vector<std::string>{"this->CogoSystem == system", distanceBits, "this->CogoSystem == system",
                                        distanceBits}),
              env.Expressions());
    env.Clear();

    // A position of no index is reported and reckons in nothing.
    position_Class loose;
    loose.SetGrid(coord_CorrectedGrid(5094533.0, 577432.0, 0.0), tm.get());
    EXPECT_EQ(0, loose.GetDistanceSystem(tm.get()));
    EXPECT_EQ((std::vector<std::string>{"this->SearchData", distanceBits}), env.Expressions());
}

TEST_F(Position, AMissingTransformIsReportedAndLeavesTheCache) {
    auto t = Definitions().TransverseMercator().Create(kGrid);
    ASSERT_TRUE(t);
    position_Class p;
    p.SetWGS84(coord_WGS84(46.0 * kDeg, 10.0 * kDeg, 500.0), t.get());
    p.GetGrid(t.get());
    const int32_t status = p.Status;
    EXPECT_TRUE(p.GetGrid(nullptr).IsNull());
    EXPECT_TRUE(std::isnan(p.GetGridConvergence(nullptr)) || maths_IsNull(p.GetGridConvergence(nullptr)));
    EXPECT_EQ(status, p.Status);
    EXPECT_EQ(t->GetId(), p.TransformId);
    EXPECT_NEAR(577432.182569, p.Grid.East, kMetre);
    EXPECT_EQ("candidateTransform", env.Expressions().front());

    position_Class unbound;
    unbound.SetGrid(coord_CorrectedGrid(1.0, 2.0, 3.0), nullptr);
    EXPECT_EQ(-1, unbound.TransformId);
    EXPECT_EQ(0x2, unbound.Status);
}

TEST_F(Position, DropBorrowedHeights) {
    position_Class p;
    p.Grid = coord_CorrectedGrid(1.0, 2.0, 3.0);
    p.WGS84 = coord_WGS84(0.1, 0.2, 30.0);
    p.DropBorrowedHeights();
    EXPECT_EQ(3.0, p.Grid.Elev);
    p.HeightBorrowed = true;
    p.DropBorrowedHeights();
    EXPECT_TRUE(maths_IsNull(p.Grid.Elev));
    EXPECT_TRUE(maths_IsNull(p.WGS84.Height));
    EXPECT_EQ(1.0, p.Grid.North);
}

TEST_F(Position, OriginalsAreHandedOutWithoutABasePoint) {
    auto t = Definitions().Create(TRANSFRM_Corrections);
    ASSERT_TRUE(t);
    position_Class p;
    p.SetPolar(coord_Polar(0.5, 12.0, -1.25), t.get());
    const coord_Polar polar = p.GetPolar(t.get());
    EXPECT_EQ(0.5, polar.Azimuth);
    EXPECT_EQ(12.0, polar.HDist);
    EXPECT_EQ(-1.25, polar.VDist);
    // Without a base point no coordinate comes out, and it is not attempted again; the
    // ground observation needs none (closed form: zenith atan2(12, -1.25), slope
    // sqrt(12^2 + 1.25^2)).
    EXPECT_TRUE(p.GetGrid(t.get()).IsNull());
    const coord_Ground ground = p.GetGround(t.get());
    EXPECT_EQ(0.5, ground.Azimuth);
    EXPECT_NEAR(1.6745886672519394, ground.VertAngle, 1e-15);
    EXPECT_NEAR(12.064928512013655, ground.HDist, 1e-12);
    EXPECT_EQ(POSITION_DonePolar | POSITION_DoneGround, p.Status);
    EXPECT_EQ(POSITION_DoneGrid | POSITION_DoneGround, p.Computing);

    p.SetGridDeltas(coord_GridDeltas(1.0, 2.0, 3.0), t.get());
    EXPECT_EQ(2.0, p.GetGridDeltas(t.get()).dEast);
    EXPECT_TRUE(p.GetGrid(t.get()).IsNull());
    EXPECT_TRUE(p.GetWGS84(t.get()).IsNull());
    EXPECT_TRUE(env.assertions.empty());

    position_Class empty;
    EXPECT_TRUE(empty.GetPolar(t.get()).IsNull());
    EXPECT_TRUE(empty.GetWGS84(t.get()).IsNull());
    EXPECT_EQ(0, empty.Computing);
}

TEST_F(Position, LocallyTransformedGrid) {
    auto t = Definitions().Create(TRANSFRM_Corrections);
    ASSERT_TRUE(t);
    position_Class p;
    p.SetLocalTransformedGrid(coord_LocalTransformedGrid(1.0, 2.0, 3.0), Str("SITE"), t.get());
    EXPECT_EQ(coord_LocalTransformedGrid(1.0, 2.0, 3.0), p.GetLocalTransformedGrid(t.get(), nullptr));

    LocalNullTransformation none;
    position_Class g;
    g.SetGrid(coord_CorrectedGrid(10.0, 20.0, 5.0), t.get());
    EXPECT_TRUE(g.GetLocalTransformedGrid(t.get(), nullptr).IsNull());
    EXPECT_TRUE(g.GetLocalTransformedGrid(t.get(), &none).IsNull());
}

TEST_F(Position, DeletingDestructorFreesOnlyWhenAsked) {
    position_Class* heap = new position_Class;
    heap->Name = "A fairly long point name that lives on the heap";
    EXPECT_EQ(heap, heap->DeletingDestructor(1));

    alignas(position_Class) unsigned char storage[sizeof(position_Class)];
    auto* placed = new (storage) position_Class;
    placed->NameOfBase = "Another name long enough to take memory of its own";
    EXPECT_EQ(placed, placed->DeletingDestructor(0));
}

TEST_F(Position, BindsOnlyToAnIndexWithAnOpenJob) {
    dbJobIndex index;
    position_Class p(&index);
    EXPECT_EQ(nullptr, p.SearchData);
    EXPECT_EQ(-1, p.TransformId);
    position_Class q(nullptr);
    EXPECT_EQ(nullptr, q.SearchData);
}

// --- Orientation and default heights ------------------------------------------------

TEST_F(Position, CogoGridThroughEachOrientation) {
    struct Case {
        int32_t orientation;
        bool south;
        coord_CorrectedGrid grid;  // of the cogo grid (100, 200, 5)
    };
    const Case cases[] = {
        {0, false, {100, 200, 5}}, {1, false, {-100, -200, 5}}, {2, true, {100, -200, 5}},
        {3, true, {-100, 200, 5}}, {0, true, {100, 200, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.orientation);
        Definitions d;
        d.corrections.GridOrientation = c.orientation;
        d.corrections.SouthAzimuth = c.south;
        auto t = d.Create(TRANSFRM_Corrections);
        ASSERT_TRUE(t);
        position_Class p;
        p.SetCogoGrid(coord_CogoGrid(100.0, 200.0, 5.0), t.get());
        EXPECT_EQ(COORD_GridType, p.Original);
        EXPECT_EQ(c.grid, p.Grid);
        const coord_CogoGrid back = p.GetCogoGrid(t.get());
        EXPECT_EQ(100.0, back.North);
        EXPECT_EQ(200.0, back.East);
        EXPECT_EQ(5.0, back.Elev);
    }
}

TEST_F(Position, ResolveGivesHeightlessPointsTheGroundOriginHeight) {
    // Resolving reads only the transform's definitions: no engine block needed.
    transfrm_Class withHeight;
    withHeight.Projection.GroundScale.ProjectLocation = coord_Local(0.8, 0.17, 250.0);
    transfrm_Class scaleOnly = withHeight;
    scaleOnly.Projection.ProjectionType = COORDSYS_ScaleOnly;
    const transfrm_Class noHeight;
    struct Case {
        const char* what;
        const transfrm_Class* t;
        double elev;
    };
    const Case cases[] = {
        {"ground-origin height", &withHeight, 250.0},
        {"scale-only", &scaleOnly, 0.0},
        {"no ground-origin height", &noHeight, kNull},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        position_Class p;
        p.SetGrid(coord_CorrectedGrid(10.0, 20.0, kNull), c.t);
        p.DefaultNullHeights = true;
        EXPECT_TRUE(p.Resolve(c.t));
        EXPECT_EQ(c.elev, p.Grid.Elev);
        EXPECT_EQ(10.0, p.Grid.North);
        EXPECT_EQ(COORD_GridType, p.Original);

        position_Class w;
        w.SetWGS84(coord_WGS84(0.8, 0.17, kNull), c.t);
        w.DefaultNullHeights = true;
        EXPECT_TRUE(w.Resolve(c.t));
        EXPECT_EQ(c.elev, w.WGS84.Height);

        position_Class l;
        l.SetLocalTransformedGrid(coord_LocalTransformedGrid(1.0, 2.0, kNull), Str("SITE"), c.t);
        l.DefaultNullHeights = true;
        EXPECT_TRUE(l.Resolve(c.t));
        EXPECT_EQ(c.elev, l.LocalTransformedGrid.Elev);
        EXPECT_EQ("SITE", l.TransformationName);
    }
    // Without the flag nothing changes; a height of its own stays; ECEF kinds are left.
    position_Class p;
    p.SetGrid(coord_CorrectedGrid(10.0, 20.0, kNull), &withHeight);
    EXPECT_TRUE(p.Resolve(&withHeight));
    EXPECT_TRUE(maths_IsNull(p.Grid.Elev));
    p.SetGrid(coord_CorrectedGrid(10.0, 20.0, 7.0), &withHeight);
    p.DefaultNullHeights = true;
    p.Resolve(&withHeight);
    EXPECT_EQ(7.0, p.Grid.Elev);
    // Originals that need a base point are not resolved here.
    p.SetGridDeltas(coord_GridDeltas(1.0, 2.0, 3.0), &withHeight);
    EXPECT_FALSE(p.Resolve(&withHeight));
    EXPECT_TRUE(env.assertions.empty());
}

}  // namespace
