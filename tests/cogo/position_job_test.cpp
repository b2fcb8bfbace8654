// Positions filled from a job and resolved by name through its index. Reference values:
// earth-centred coordinates from GeographicLib's CartConvert (WGS-84), antenna heights
// and azimuths in closed form.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "cogo/position.h"
#include "cogo/transfrm.h"
#include "jobdb/dbaccess.h"
#include "jobdb/jobindex_fixture.h"
#include "records/gnssquality.h"
#include "records/gnsssettings.h"
#include "records/laserecho.h"
#include "records/precisioncoding.h"
#include "records/stakeoutsettings.h"
#include "records/traverse.h"
#include "transform_definitions.h"

namespace {

constexpr double kDeg = CONSTANT_Pi / 180.0;
constexpr double kTenthMm = 1e-4;         // metres
constexpr double kAngle = 1e-4 / 6.4e6;   // radians: 0.1 mm on the earth
const coordsys_CogoSettings kGridView(COORDSYS_CogoAzimuthGrid | COORDSYS_CogoDistanceGrid |
                                      COORDSYS_CogoEllipsoidDistances | COORDSYS_CogoOrthoHeights);

// CartConvert: geodetic (degrees, metres) -> ECEF.
struct Geocentric {
    double lat, lon, h, x, y, z;
};
constexpr Geocentric kAntenna47 = {47.0, 8.0, 501.8, 4315617.888299, 606520.540278, 4642131.782108};
constexpr Geocentric kRover = {47.001, 8.002, 422.0, 4315462.300999, 606652.288076, 4642149.242734};
constexpr Geocentric kReference = {47.0, 8.0, 401.5, 4315550.149571, 606511.020221, 4642058.427332};

class PositionJob : public JobIndexJobTest {
protected:
    void SetUp() override {
        JobIndexJobTest::SetUp();
        transfrm_Register();
        UseTransform();
    }
    void TearDown() override {
        JobIndexJobTest::TearDown();
        dbJobIndex_SetCoordinateGeometry(nullptr);
        dbJobIndex_SetTransformDeleter(nullptr);
    }
    // A transverse Mercator on WGS-84 with grid distances.
    void UseTransform() {
        const uint16_t components = TRANSFRM_Ellipsoid | TRANSFRM_Projection;
        Index()->SetTransform(TransformDefinitions().TransverseMercator().Create(components).release(), nullptr,
                              components, COORDSYS_TransverseMercator);
    }
    const transfrm_Class* T() { return Index()->Transform; }

    DBID Append(dbRecord_Class& record) { return dbRecord_AppendGrouped(Access(), &record); }
    DBID Equipment(double tape, double horizontal, double vertical) {
        db_Equipment e;
        e.TapeAdjustment = tape;
        e.HorizontalOffset = horizontal;
        e.VerticalOffset = vertical;
        return Append(e);
    }
    DBID Antenna(double measured, int apcType = 0, DBID equipment = NODBID) {
        db_Antenna a;
        a.MeasuredHeight = measured;
        a.APCType = apcType;
        a.Equipment = equipment;
        return Append(a);
    }
    DBID Ecef(const char* name, double x, double y, double z, DBID antenna) {
        db_ECEF m;
        m.ECEF = coord_ECEF(x, y, z);
        m.Antenna = antenna;
        return Point(name, DBENTITY_GpsRTKCtrlPoint, kNormal, &m);
    }
    DBID Wgs84(const char* name, double latDeg, double lonDeg, double h) {
        db_WGS84 m;
        m.WGS84 = coord_WGS84(latDeg * kDeg, lonDeg * kDeg, h);
        return Point(name, DBENTITY_GpsRTKCtrlPoint, kNormal, &m);
    }
    DBID Grid(const char* name, double north, double east, double elev) {
        db_Grid m;
        m.Grid = coord_CorrectedGrid(north, east, elev);
        return Point(name, DBENTITY_Coordinates, kNormal, &m);
    }
    // An ECEF-delta observation from the reference point `base`, whose antenna is 1.5.
    DBID Deltas(const char* name, const char* base, const coord_ECEFDeltas& deltas, DBID antenna) {
        db_Reference reference;
        reference.PointName = base;
        reference.Antenna = Antenna(1.5);
        db_ECEFDeltas m;
        m.ECEFDeltas = deltas;
        m.Reference = Append(reference);
        m.Antenna = antenna;
        return Point(name, DBENTITY_GpsRTKCtrlPoint, kNormal, &m);
    }
    DBID Polar(const char* name, const char* from, double azimuth, double distance) {
        db_Polar m;
        m.SourcePoint = from;
        m.Polar = coord_Polar(azimuth, distance, 0.0);
        m.CreatedView = kGridView;
        return Point(name, DBENTITY_BrngDistPoint, kNormal, &m);
    }
    DBID KeyedAzimuth(const char* name, const char* from, double azimuth) {
        db_Azimuth m;
        m.SourcePoint = from;
        m.Azimuth = azimuth;
        m.CreatedView = kGridView;
        return Point(name, DBENTITY_AzimuthOnly, kNormal, &m);
    }
    std::unique_ptr<position_Class> Filled(DBID id) {
        auto p = std::make_unique<position_Class>();
        EXPECT_TRUE(p->FillFromRecordId(Index(), id));
        return p;
    }
};

// ---------------------------------------------------------------- fills

TEST_F(PositionJob, AzimuthRecordFillsAPolarWithNullDistances) {
    const DBID id = KeyedAzimuth("P", "B", 1.0);
    const auto p = Filled(id);
    EXPECT_EQ(COORD_PolarType, p->Original);
    EXPECT_EQ(0x400, p->Status);
    EXPECT_EQ(kGridView, p->CogoSystem);
    EXPECT_EQ(Str("B"), p->NameOfBase);
    EXPECT_EQ(Str("P"), p->GetName());
    EXPECT_EQ(Index(), p->SearchData);
    EXPECT_EQ(T()->GetId(), p->TransformId);
    const coord_Polar polar = p->GetPolar(T());  // read back without any base
    EXPECT_EQ(1.0, polar.Azimuth);
    EXPECT_TRUE(maths_IsNull(polar.HDist));
    EXPECT_TRUE(maths_IsNull(polar.VDist));
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(PositionJob, FillsFromRecordsObjectsAndTheMeasurementConstructor) {
    db_LocalTransformedGrid local;
    local.LocalTransformedGrid = coord_LocalTransformedGrid(1.0, 2.0, 3.0);
    local.ReferenceTransformation = "Site";
    const DBID id = Point("L", DBENTITY_Coordinates, kNormal, &local);
    const auto p = Filled(id);
    EXPECT_EQ(COORD_LocalTransformedGridType, p->Original);
    EXPECT_EQ(Str("Site"), p->TransformationName);
    EXPECT_EQ(local.LocalTransformedGrid, p->LocalTransformedGrid);

    position_Class byObject;
    EXPECT_TRUE(byObject.FillFromObject(Object(id)));
    EXPECT_EQ(p->IndexLocation, byObject.IndexLocation);
    EXPECT_FALSE(byObject.FillFromObject(nullptr));
    EXPECT_FALSE(byObject.IsDefined());
    EXPECT_FALSE(byObject.FillFromRecordId(Index(), DBID(9999)));

    position_Class constructed(Index(), Object(id) ? ObservationObject::Cast(Object(id))->GetMeasurement() : nullptr);
    EXPECT_EQ(COORD_LocalTransformedGridType, constructed.Original);
    EXPECT_TRUE(constructed.IndexLocation.IsNull());

    // A point without a measurement gives no position rather than an empty success.
    const DBID bare = Point("N", DBENTITY_Coordinates);
    position_Class none;
    EXPECT_FALSE(none.FillFromRecordId(Index(), bare));
    EXPECT_EQ(std::vector<std::string>{"Original != COORD_NullType"}, env.Expressions());
}

TEST_F(PositionJob, FillsFromPointFileObjects) {
    TestIndex file(dbIndex::CommaSeparatedFile);
    file.SetOwner(Index());
    ASSERT_GE(file.Register(), 0);
    auto* point = new CSVPointObject;
    point->SetName("F");
    point->SetCoordinates(coord_CorrectedGrid(5.0, 6.0, 7.0), true);
    const dbObjectRef ref = file.AddObject(point);

    position_Class p;
    p.Name = "before";
    ASSERT_TRUE(p.FillFromIndexLocation(ref));
    EXPECT_EQ(COORD_GridType, p.Original);
    EXPECT_EQ(POSITION_DoneGrid, p.Status);
    EXPECT_EQ(coord_CorrectedGrid(5.0, 6.0, 7.0), p.GetGrid(T()));
    EXPECT_EQ(Str("before"), p.GetName());  // only job points bring their name
    EXPECT_EQ(Index(), p.SearchData);
    EXPECT_EQ(ref, p.IndexLocation);

    file.coordType = COORD_LocalTransformedGridType;
    point->SetLocalGrid(1.0, 2.0, 3.0);
    ASSERT_TRUE(p.FillFromIndexLocation(ref));
    EXPECT_EQ(COORD_LocalTransformedGridType, p.Original);
    EXPECT_EQ(POSITION_DoneGridLocal, p.Status);
    EXPECT_EQ(coord_LocalTransformedGrid(1.0, 2.0, 3.0), p.LocalTransformedGrid);
    EXPECT_EQ(Str("Site"), p.TransformationName);

    file.SetFileType(dbIndex::BackgroundFile);
    ASSERT_TRUE(p.FillFromIndexLocation(ref));
    EXPECT_EQ(COORD_GridType, p.Original);
    file.SetFileType(dbIndex::NoFile);
    EXPECT_FALSE(p.FillFromIndexLocation(ref));
    EXPECT_FALSE(p.FillFromIndexLocation(dbObjectRef()));
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(PositionJob, PositionOfNameKeepsTheNullHeightOption) {
    Grid("G", 100.0, 200.0, MATHS_Null);
    position_Class p;
    p.DefaultNullHeights = true;
    ASSERT_TRUE(dbJobIndex_PositionOfName(Index(), "G", p));
    EXPECT_TRUE(p.DefaultNullHeights);
    EXPECT_EQ(coord_CorrectedGrid(100.0, 200.0, MATHS_Null), p.Grid);
}

TEST_F(PositionJob, BaseNamesFromTheRecordAtTheLocation) {
    db_TotalBackBearing backBearing;
    backBearing.Station = "BST";
    backBearing.BackSight = "BBS";
    db_TotalStation station;
    station.StationName = "ST";
    db_Reference reference;
    reference.PointName = "REF";
    db_LaserBasePoint laser;
    laser.TheName = "LB";
    const struct {
        DBID location;
        const char* base;
        const char* backsight;
    } cases[] = {
        {Grid("OBS", 0.0, 0.0, 0.0), "OBS", ""},
        {Append(backBearing), "BST", "BBS"},
        {Append(station), "ST", ""},
        {Append(reference), "REF", ""},
        {Append(laser), "LB", ""},
        {Antenna(1.0), "", ""},  // any other record names nothing
        {NODBID, "", ""},
    };
    for (const auto& c : cases) {
        position_Class p;
        p.NameOfBase = "old";
        p.NameOfBacksight = "old";
        p.SetBaseFromRecord(Access(), c.location);
        EXPECT_EQ(Str(c.base), p.NameOfBase);
        EXPECT_EQ(Str(c.backsight), p.NameOfBacksight);
        EXPECT_EQ(c.location, p.DBLocationOfBase);
    }
}

// ---------------------------------------------------------------- antenna

TEST_F(PositionJob, SlantAntennaHeights) {
    struct Case {
        double tape, horizontal, vertical, measured;
        bool ok;
        double height;  // closed form, exact to 1e-15 m
    } const cases[] = {
        {0.05, 0.1, 0.03, 1.5, true, 1.576770829825802},  // sqrt(1.55^2 - 0.1^2) + 0.03
        {0.0, 0.0, 0.0, 2.0, true, 2.0},
        {0.05, 1.6, 0.03, 1.5, false, MATHS_Null},  // offset beyond the slant
        {0.05, 0.0, 0.0, -0.1, false, MATHS_Null},  // negative slant
    };
    for (const Case& c : cases) {
        double height = 0.0;
        EXPECT_EQ(c.ok, position_SlantToVertical(c.tape, c.horizontal, c.vertical, c.measured, &height));
        if (c.ok) EXPECT_NEAR(c.height, height, 1e-15);
        else EXPECT_TRUE(maths_IsNull(height));
    }
}

TEST_F(PositionJob, EcefAntennaFromTheJob) {
    const Geocentric& a = kAntenna47;
    // APCType 0 reads no equipment record (there is none).
    auto vertical = Filled(Ecef("V", a.x, a.y, a.z, Antenna(1.8)));
    EXPECT_DOUBLE_EQ(1.8, vertical->GetAntenna());
    const coord_WGS84 w = vertical->GetWGS84(T());
    EXPECT_NEAR(a.lat * kDeg, w.Lat, kAngle);
    EXPECT_NEAR(a.lon * kDeg, w.Long, kAngle);
    EXPECT_NEAR(a.h - 1.8, w.Height, kTenthMm);

    auto slant = Filled(Ecef("S", a.x, a.y, a.z, Antenna(1.5, 1, Equipment(0.05, 0.1, 0.03))));
    EXPECT_NEAR(1.576770829825802, slant->GetAntenna(), 1e-12);
    EXPECT_NEAR(a.h - 1.576770829825802, slant->GetWGS84(T()).Height, kTenthMm);

    auto tooFar = Filled(Ecef("F", a.x, a.y, a.z, Antenna(1.5, 1, Equipment(0.05, 1.6, 0.03))));
    EXPECT_TRUE(maths_IsNull(tooFar->GetAntenna()));
    EXPECT_TRUE(maths_IsNull(tooFar->GetWGS84(T()).Height));
    EXPECT_TRUE(tooFar->GetECEFGround(T()).IsNull());

    // No antenna record there: latitude and longitude, no height.
    auto none = Filled(Ecef("X", a.x, a.y, a.z, DBID(9999)));
    const coord_WGS84 n = none->GetWGS84(T());
    EXPECT_NEAR(a.lat * kDeg, n.Lat, kAngle);
    EXPECT_NEAR(a.lon * kDeg, n.Long, kAngle);
    EXPECT_TRUE(maths_IsNull(n.Height));
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(PositionJob, WGS84OriginalHasNoECEFUntilItHasAnAntenna) {
    auto p = Filled(Wgs84("W", kAntenna47.lat, kAntenna47.lon, 500.0));
    EXPECT_TRUE(p->GetECEF(T()).IsNull());
    p->SetAntenna(1.8);
    p->CheckTransform(T());
    position_Class q = *p;
    q.Status &= ~POSITION_DoneECEF;
    q.Computing &= ~POSITION_DoneECEF;
    const coord_ECEF e = q.GetECEF(T());
    EXPECT_NEAR(kAntenna47.x, e.X, kTenthMm);
    EXPECT_NEAR(kAntenna47.y, e.Y, kTenthMm);
    EXPECT_NEAR(kAntenna47.z, e.Z, kTenthMm);
}

TEST_F(PositionJob, EcefDeltasFromAReferenceWithItsAntenna) {
    Wgs84("BASE", kReference.lat, kReference.lon, kReference.h - 1.5);
    const coord_ECEFDeltas deltas(kRover.x - kReference.x, kRover.y - kReference.y, kRover.z - kReference.z);
    auto rover = Filled(Deltas("R", "BASE", deltas, Antenna(2.0)));
    EXPECT_EQ(Str("BASE"), rover->NameOfBase);
    const coord_WGS84 w = rover->GetWGS84(T());
    EXPECT_NEAR(kRover.lat * kDeg, w.Lat, kAngle);
    EXPECT_NEAR(kRover.lon * kDeg, w.Long, kAngle);
    EXPECT_NEAR(kRover.h - 2.0, w.Height, kTenthMm);
    EXPECT_TRUE(position_ECEFFromBase(coord_WGS84(0, 0, MATHS_Null), deltas, &rover->ECEF, 1.0) == false);
    EXPECT_TRUE(env.assertions.empty());
}

// ---------------------------------------------------------------- grid deltas and the grid cache

TEST_F(PositionJob, GridDeltasFromTheBaseAndAMissingBaseIsNotRetried) {
    Grid("B", 1000.0, 2000.0, 10.0);
    position_Class p(Index());
    p.SearchData = Index();
    p.SetGridDeltas(coord_GridDeltas(3.0, -4.0, 0.5), T());
    p.NameOfBase = "B";
    EXPECT_EQ(coord_CorrectedGrid(1003.0, 1996.0, 10.5), p.GetGrid(T()));

    position_Class orphan;
    orphan.SearchData = Index();
    orphan.SetGridDeltas(coord_GridDeltas(3.0, -4.0, 0.5), T());
    orphan.NameOfBase = "Z";
    EXPECT_TRUE(orphan.GetGrid(T()).IsNull());
    Grid("Z", 0.0, 0.0, 0.0);
    EXPECT_TRUE(orphan.GetGrid(T()).IsNull());  // one attempt per transform
}

TEST_F(PositionJob, GridCacheOfTheJobIndex) {
    const DBID id = Wgs84("W", 47.0, 8.0, 500.0);
    auto first = Filled(id);
    const coord_CorrectedGrid grid = first->GetGrid(T());
    ASSERT_FALSE(grid.IsNull());
    dbObject* object = Object(id);
    EXPECT_EQ(DBOBJECT_HorizontalComputed | DBOBJECT_ElevationComputed,
              object->GetFlags() & (DBOBJECT_HorizontalComputed | DBOBJECT_ElevationComputed));

    auto second = Filled(id);
    EXPECT_TRUE(second->TakeGridFromIndex());
    EXPECT_EQ(grid, second->Grid);

    // Without heights of its own the elevation is asked for again.
    object->ClearFlags(DBOBJECT_HorizontalComputed | DBOBJECT_ElevationComputed);
    position_Class third;
    ASSERT_TRUE(third.FillFromIndexLocationWithHeights(object->GetReference(), true));
    EXPECT_FALSE(third.TakeGridFromIndex());
    third.GetGrid(T());
    EXPECT_EQ(DBOBJECT_HorizontalComputed,
              object->GetFlags() & (DBOBJECT_HorizontalComputed | DBOBJECT_ElevationComputed));
    object->SetFlags(DBOBJECT_ElevationComputed);

    // Only under the transform it was computed with.
    auto before = Filled(id);
    UseTransform();
    EXPECT_FALSE(before->TakeGridFromIndex());
    EXPECT_TRUE(env.assertions.empty());
}

// ---------------------------------------------------------------- named points

TEST_F(PositionJob, ResolutionChainRefusesCyclesAndDepthsBeyondFifty) {
    for (int i = 0; i < 50; ++i) EXPECT_TRUE(position_PushName(Index(), Str(("P" + std::to_string(i)).c_str())));
    EXPECT_FALSE(position_PushName(Index(), "Q"));
    for (int i = 49; i >= 0; --i) position_PopName(Index(), Str(("P" + std::to_string(i)).c_str()));
    EXPECT_EQ(0, Index()->resolutionChainNames[0].Count());

    EXPECT_TRUE(position_PushName(Index(), "Abc"));
    EXPECT_FALSE(position_PushName(Index(), "aBC"));
    position_PopName(Index(), "other");
    EXPECT_EQ(0, Index()->resolutionChainNames[0].Count());
    EXPECT_EQ(std::vector<std::string>{"resolutionChainNames [resolutionChainNames.Count () - 1].EqualInsensitive "
                                       "(positionName)"},
              env.Expressions());
}

TEST_F(PositionJob, BasesMeasuredFromEachOtherFailWithoutDeeperRecursion) {
    const coord_ECEFDeltas d(1.0, 1.0, 1.0);
    Deltas("A", "B", d, Antenna(2.0));
    Deltas("B", "A", d, Antenna(2.0));
    EXPECT_EQ(nullptr, position_Find(Index(), "A", 0, false));
    EXPECT_EQ(0, Index()->resolutionChainNames[0].Count());
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(PositionJob, AChainOfFiftyBasesResolvesAndFiftyOneFails) {
    const coord_ECEFDeltas d(1.0, 1.0, 1.0);
    for (int names : {50, 51}) {
        const std::string prefix = names == 50 ? "F" : "G";
        for (int i = 0; i + 1 < names; ++i)
            Deltas((prefix + std::to_string(i)).c_str(), (prefix + std::to_string(i + 1)).c_str(), d, Antenna(1.5));
        Wgs84((prefix + std::to_string(names - 1)).c_str(), 47.0, 8.0, 400.0);
        std::unique_ptr<position_Class> p(position_Find(Index(), Str((prefix + "0").c_str()), 0, false));
        EXPECT_EQ(names == 50, p != nullptr) << names;
        EXPECT_EQ(0, Index()->resolutionChainNames[0].Count());
    }
    EXPECT_TRUE(env.assertions.empty());
}

// ---------------------------------------------------------------- observations from their base

TEST_F(PositionJob, ObservationsPlacedFromTheirBaseInClosedForm) {
    Grid("B", 1000.0, 2000.0, 10.0);
    auto polar = Filled(Polar("P", "B", 0.6, 50.0));
    const coord_CorrectedGrid p = polar->GetGrid(T());
    EXPECT_NEAR(1000.0 + 50.0 * std::cos(0.6), p.North, 1e-9);
    EXPECT_NEAR(2000.0 + 50.0 * std::sin(0.6), p.East, 1e-9);
    EXPECT_NEAR(10.0, p.Elev, 1e-9);
    std::unique_ptr<position_Class> found(position_Find(Index(), "P", 1, false));
    ASSERT_NE(nullptr, found);
    EXPECT_NEAR(p.North, found->Grid.North, 1e-9);

    // Ground: azimuth, zenith angle, slope distance.
    position_Class ground(Index());
    ground.SearchData = Index();
    ground.SetGround(coord_Ground(1.2, 1.4, 30.0), T());
    ground.SetCogoSystem(kGridView);
    ground.NameOfBase = "B";
    const coord_CorrectedGrid g = ground.GetGrid(T());
    EXPECT_NEAR(1000.0 + 30.0 * std::sin(1.4) * std::cos(1.2), g.North, 1e-9);
    EXPECT_NEAR(2000.0 + 30.0 * std::sin(1.4) * std::sin(1.2), g.East, 1e-9);
    EXPECT_NEAR(10.0 + 30.0 * std::cos(1.4), g.Elev, 1e-9);

    // Grid deltas give their polar from the base.
    position_Class deltas(Index());
    deltas.SearchData = Index();
    deltas.SetGridDeltas(coord_GridDeltas(30.0, 40.0, -2.0), T());
    deltas.NameOfBase = "B";
    const coord_Polar d = deltas.GetPolar(T());
    EXPECT_NEAR(std::atan2(40.0, 30.0), d.Azimuth, 1e-12);
    EXPECT_NEAR(50.0, d.HDist, 1e-9);
    EXPECT_NEAR(-2.0, d.VDist, 1e-9);

    // An azimuth alone places nothing.
    auto azimuth = Filled(KeyedAzimuth("Q", "B", 0.3));
    EXPECT_TRUE(azimuth->GetGrid(T()).IsNull());
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(PositionJob, PolarsMeasuredFromEachOtherFail) {
    Polar("A", "B", 0.1, 10.0);
    Polar("B", "A", 0.2, 10.0);
    EXPECT_EQ(nullptr, position_Find(Index(), "A", 1, false));
    EXPECT_EQ(0, Index()->resolutionChainNames[0].Count());
    auto a = Filled(Index()->FindBestPointObject("A")->GetRecordId());
    EXPECT_TRUE(a->GetGrid(T()).IsNull());
    EXPECT_TRUE(env.assertions.empty());
}

TEST(PositionPolarGround, ClosedForms) {
    struct Case {
        coord_Polar polar;
        coord_Ground ground;  // azimuth, zenith angle, slope distance
    } const cases[] = {
        {{0.3, 0.0, 5.0}, {0.3, 0.0, 5.0}},                 // straight up
        {{0.3, 0.0, -5.0}, {0.3, CONSTANT_Pi, 5.0}},        // straight down
        {{0.3, 4.0, 3.0}, {0.3, std::atan2(4.0, 3.0), 5.0}},
        {{0.3, 4.0, MATHS_Null}, {0.3, MATHS_Null, MATHS_Null}},
    };
    for (const Case& c : cases) {
        const coord_Ground g = position_PolarToGround(c.polar);
        EXPECT_EQ(c.ground.Azimuth, g.Azimuth);
        if (maths_IsNull(c.ground.VertAngle)) {
            EXPECT_TRUE(maths_IsNull(g.VertAngle) && maths_IsNull(g.HDist));
            continue;
        }
        EXPECT_NEAR(c.ground.VertAngle, g.VertAngle, 1e-15);
        EXPECT_NEAR(c.ground.HDist, g.HDist, 1e-12);
    }
    const coord_Polar back = position_GroundToPolar(coord_Ground(0.3, std::atan2(4.0, 3.0), 5.0));
    EXPECT_NEAR(4.0, back.HDist, 1e-12);
    EXPECT_NEAR(3.0, back.VDist, 1e-12);
    EXPECT_TRUE(maths_IsNull(position_GroundToPolar(coord_Ground(0.3, MATHS_Null, 5.0)).HDist));
}

// ---------------------------------------------------------------- neighbourhood adjustment

// Residual points (grid north, east; residual north, east) and a point near them.
struct Residual {
    const char* name;
    double north, east, dNorth, dEast;
};
constexpr Residual kResiduals[] = {
    {"R1", 100.0, 0.0, 0.010, -0.020},
    {"R2", 0.0, 100.0, 0.030, 0.005},
    {"R3", -50.0, -50.0, -0.012, 0.008},
    {"R4", 200.0, 200.0, 0.0, 0.015},
};
const coord_CorrectedGrid kNear(10.0, 20.0, 0.0);
// Inverse-distance means at kNear, computed beforehand in python (exact to 1e-15).
struct Mean {
    int exponent;  // code: 0.5, 1.0, 1.5, 2.0
    double dN3, dE3, dN4, dE4;  // of R1..R3 and of R1..R4
};
constexpr Mean kMeans[] = {
    {COORDSYS_WeightExponentZeroPointFive, 0.0098003890766012944, -0.0021676038760447018, 0.0082123816556572918,
     0.00061415122999240908},
    {COORDSYS_WeightExponentOnePointZero, 0.010277036066678494, -0.0019984710731140816, 0.0092414530282558371,
     -0.00028559119138330913},
    {COORDSYS_WeightExponentOnePointFive, 0.010762469369143584, -0.0018262205464329203, 0.010106824559468484,
     -0.0008011747331229638},
    {COORDSYS_WeightExponentTwoPointZero, 0.011255813953488375, -0.0016511627906976736, 0.010848821989528799,
     -0.0010490837696335072},
};

class Neighbourhood : public PositionJob {
protected:
    void SetUp() override {
        PositionJob::SetUp();
        Index()->Transform->Corrections.NeighbourhoodAdjustment = true;
    }
    DBID Setup(int stationType, uint32_t backsights, const char* name = "ST") {
        db_TotalStation station;
        station.StationName = name;
        station.StationType = stationType;
        station.NumberOfUniqueBacksights = backsights;
        return Append(station);
    }
    void Residuals(int count, bool backsight = true) {
        for (int i = 0; i < count; ++i) {
            db_StationSetupResiduals r;
            r.PointName = kResiduals[i].name;
            r.Grid = coord_CorrectedGrid(kResiduals[i].north, kResiduals[i].east, 0.0);
            r.GridResidual = coord_GridDeltas(kResiduals[i].dNorth, kResiduals[i].dEast, 0.0);
            r.Backsight = backsight;
            Append(r);
        }
    }
    // A reading near the residual points, taken from the station.
    position_Class Reading(DBID station, const coord_CorrectedGrid& at = kNear) {
        position_Class p(Index());
        p.SearchData = Index();
        p.Original = COORD_CircleType;
        p.DBLocationOfStation = station;
        p.Grid = at;
        return p;
    }
    void ExpectDeltas(double dN, double dE, const coord_GridDeltas& d) {
        EXPECT_NEAR(dN, d.dNorth, 1e-15);
        EXPECT_NEAR(dE, d.dEast, 1e-15);
    }
};

TEST_F(Neighbourhood, StationResidualsInverseDistanceMeans) {
    const DBID station = Setup(0, 3);
    Residuals(3);
    for (const Mean& m : kMeans) {
        SCOPED_TRACE(m.exponent);
        Index()->Transform->Corrections.WeightExponent = m.exponent;
        position_Class p = Reading(station);
        coord_GridDeltas d;
        ASSERT_TRUE(p.NeighbourhoodDeltasFromStationSetup(T(), &d));
        ExpectDeltas(m.dN3, m.dE3, d);
    }
    // A fourth point beyond the three announced counts too; a repeated name does not.
    Residuals(4);
    for (const Mean& m : kMeans) {
        Index()->Transform->Corrections.WeightExponent = m.exponent;
        position_Class p = Reading(station);
        coord_GridDeltas d;
        ASSERT_TRUE(p.NeighbourhoodDeltasFromStationSetup(T(), &d));
        ExpectDeltas(m.dN4, m.dE4, d);
    }
    // The adjustment shifts the grid and drops the local coordinate.
    Index()->Transform->Corrections.WeightExponent = COORDSYS_WeightExponentTwoPointZero;
    position_Class p = Reading(station);
    p.Status = POSITION_DoneLocal;
    p.ApplyNeighbourhoodAdjustment(T());
    EXPECT_NEAR(10.0 + kMeans[3].dN4, p.Grid.North, 1e-12);
    EXPECT_NEAR(20.0 + kMeans[3].dE4, p.Grid.East, 1e-12);
    EXPECT_EQ(0, p.Status);
    // Removal weighs at the shifted point, so it undoes the shift only to within 0.01 mm here.
    p.RemoveNeighbourhoodAdjustment(T(), COORD_CircleType);
    EXPECT_NEAR(10.0, p.Grid.North, 1e-5);
    EXPECT_NEAR(20.0, p.Grid.East, 1e-5);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(Neighbourhood, TwoPointsNoShiftAndAPointOnAResidualTakesIt) {
    const DBID two = Setup(0, 3);
    Residuals(2);
    Residuals(3, false);  // not backsights: not used
    coord_GridDeltas d;
    position_Class p = Reading(two);
    EXPECT_FALSE(p.NeighbourhoodDeltasFromStationSetup(T(), &d));
    EXPECT_TRUE(d.IsNull());

    const DBID three = Setup(0, 3);
    Residuals(3);
    position_Class on = Reading(three, coord_CorrectedGrid(0.0, 100.0, 0.0));
    ASSERT_TRUE(on.NeighbourhoodDeltasFromStationSetup(T(), &d));
    EXPECT_EQ(0.030, d.dNorth);
    EXPECT_EQ(0.005, d.dEast);

    // Too few backsights announced, or the corrections turn it off: nothing.
    const DBID few = Setup(0, 2);
    Residuals(3);
    position_Class q = Reading(few);
    EXPECT_FALSE(q.NeighbourhoodDeltasFromStationSetup(T(), &d));
    Index()->Transform->Corrections.NeighbourhoodAdjustment = false;
    position_Class off = Reading(three);
    EXPECT_FALSE(off.NeighbourhoodDeltasFromStationSetup(T(), &d));
}

TEST_F(Neighbourhood, StationSetupPlusCountsTheStationWithNoResidual) {
    Grid("ST", 0.0, 0.0, 0.0);
    const DBID station = Setup(2, 2);
    Residuals(2);
    Index()->Transform->Corrections.WeightExponent = COORDSYS_WeightExponentOnePointZero;
    coord_GridDeltas d;
    position_Class p = Reading(station);
    ASSERT_TRUE(p.NeighbourhoodDeltasFromStationSetup(T(), &d));
    ExpectDeltas(0.0070701757573445401, -0.0022790937222483009, d);  // python, exact to 1e-15

    // At the station itself: no shift, unless a residual point lies there too.
    position_Class at = Reading(station, coord_CorrectedGrid(0.0, 0.0, 0.0));
    EXPECT_FALSE(at.NeighbourhoodDeltasFromStationSetup(T(), &d));
    db_StationSetupResiduals here;
    here.PointName = "H";
    here.Grid = coord_CorrectedGrid(0.0, 0.0, 0.0);
    here.GridResidual = coord_GridDeltas(0.004, -0.003, 0.0);
    here.Backsight = true;
    Append(here);
    position_Class atResidual = Reading(station, coord_CorrectedGrid(0.0, 0.0, 0.0));
    ASSERT_TRUE(atResidual.NeighbourhoodDeltasFromStationSetup(T(), &d));
    EXPECT_EQ(0.004, d.dNorth);
    EXPECT_EQ(-0.003, d.dEast);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(Neighbourhood, GridOrientationTurnsTheDeltas) {
    const DBID station = Setup(0, 3);
    Residuals(3);
    Index()->Transform->Corrections.WeightExponent = COORDSYS_WeightExponentZeroPointFive;
    const struct {
        int orientation;
        double north, east;  // signs
    } cases[] = {{0, 1, 1}, {1, -1, -1}, {2, 1, -1}, {3, -1, 1}};
    for (const auto& c : cases) {
        Index()->Transform->GridOrientation = c.orientation;
        position_Class p = Reading(station);
        coord_GridDeltas d;
        ASSERT_TRUE(p.NeighbourhoodDeltasFromStationSetup(T(), &d));
        ExpectDeltas(c.north * kMeans[0].dN3, c.east * kMeans[0].dE3, d);
    }
}

TEST_F(Neighbourhood, CalibrationResiduals) {
    position_Class p(Index());
    p.SearchData = Index();
    p.Original = COORD_WGS84Type;
    p.Grid = kNear;
    coord_GridDeltas d;
    Index()->Transform->Plane.PlaneType = COORDSYS_ValidHorizontal;
    EXPECT_FALSE(p.NeighbourhoodDeltas(T(), COORD_WGS84Type, &d));  // no calibration yet

    db_CalibBegin begin;
    Append(begin);
    for (int i = 0; i < 4; ++i) {
        db_CalibPoint point;
        point.Status = i == 3 ? 1 : 3;  // a 1D point carries no horizontal residual
        point.Residuals.North = kResiduals[i].north;
        point.Residuals.East = kResiduals[i].east;
        point.Residuals.DeltaNorth = kResiduals[i].dNorth;
        point.Residuals.DeltaEast = kResiduals[i].dEast;
        Append(point);
    }
    db_EndEntity end;
    Append(end);
    db_CalibPoint after;  // beyond the calibration's end
    after.Status = 3;
    after.Residuals.North = after.Residuals.East = 0.0;
    after.Residuals.DeltaNorth = after.Residuals.DeltaEast = 1.0;
    Append(after);

    for (const Mean& m : kMeans) {
        Index()->Transform->Corrections.WeightExponent = m.exponent;
        ASSERT_TRUE(p.NeighbourhoodDeltas(T(), COORD_ECEFDeltasType, &d));
        ExpectDeltas(m.dN3, m.dE3, d);
    }
    EXPECT_FALSE(p.NeighbourhoodDeltas(T(), COORD_GridType, &d));
    Index()->Transform->Plane.PlaneType = COORDSYS_NoHorizontal;
    EXPECT_FALSE(p.NeighbourhoodDeltas(T(), COORD_WGS84Type, &d));
    EXPECT_TRUE(env.assertions.empty());
}

// ---------------------------------------------------------------- backsight azimuths

TEST_F(PositionJob, BacksightAzimuthFallsBackFromAKeyedInNullToTheReversePolar) {
    Grid("BS", 0.0, 0.0, 0.0);
    Polar("S", "BS", 0.5, 10.0);
    const DBID keyed = KeyedAzimuth("BS", "S", MATHS_Null);
    double azimuth = 0.0;
    bool keyedIn = true;
    ASSERT_TRUE(position_BacksightAzimuthOfNames(Index(), "S", "BS", &azimuth, &keyedIn));
    EXPECT_FALSE(keyedIn);
    EXPECT_NEAR(0.5 + CONSTANT_Pi, azimuth, 1e-15);

    Remove(keyed);
    KeyedAzimuth("BS", "S", 1.25);
    ASSERT_TRUE(position_BacksightAzimuthOfNames(Index(), "S", "BS", &azimuth, &keyedIn));
    EXPECT_TRUE(keyedIn);
    EXPECT_EQ(1.25, azimuth);
}

TEST_F(PositionJob, BacksightAzimuthComputedToTheBestPointButNotFromThisSetupsReadings) {
    Grid("S", 1000.0, 1000.0, 0.0);
    const DBID station = Station("S");
    db_TotalBackBearing bb;
    bb.Station = "S";
    bb.BackSight = "BS";
    const DBID backBearing = Append(bb);
    db_Circle reading;
    reading.Station = station;
    reading.Target = Target("T", 0.0);
    reading.BackBearing = backBearing;
    reading.CreatedView = kGridView;
    Point("BS", DBENTITY_DirectReading, kNormal, &reading);
    double azimuth = 0.0;
    bool keyedIn = true;
    EXPECT_FALSE(position_BacksightAzimuthOfNames(Index(), "S", "BS", &azimuth, &keyedIn));

    Grid("BS", 1100.0, 1100.0, 0.0);
    ASSERT_TRUE(position_BacksightAzimuthOfNames(Index(), "S", "BS", &azimuth, &keyedIn));
    EXPECT_FALSE(keyedIn);
    EXPECT_NEAR(CONSTANT_Pi / 4, azimuth, 1e-12);
}

TEST_F(PositionJob, OrientationOfALoneFaceTwoReading) {
    Grid("S", 0.0, 0.0, 0.0);
    KeyedAzimuth("BS", "S", 1.0);
    db_TotalBackBearing bb;
    bb.Station = "S";
    bb.BackSight = "BS";
    bb.F1HorzCircle = MATHS_Null;
    bb.F2HorzCircle = 3.0;
    EXPECT_NEAR(1.0 - (3.0 - CONSTANT_Pi), position_OrientationOfBackBearing(Index(), &bb), 1e-15);
    bb.F1HorzCircle = 0.2;  // both faces: the mean of 0.8 and 1.0 - (3.0 - pi)
    EXPECT_NEAR((0.8 + 1.0 - (3.0 - CONSTANT_Pi)) / 2, position_OrientationOfBackBearing(Index(), &bb), 1e-15);
}

}  // namespace
