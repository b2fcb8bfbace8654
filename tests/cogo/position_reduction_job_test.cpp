// Total-station observations of a job written here (station, instrument, atmosphere,
// target, back bearing, readings) reduced to positions. The setup is built from a known
// mark-to-mark sight, so every point has a closed-form grid coordinate.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "cogo/position.h"
#include "cogo/position_circle.h"
#include "cogo/reduce.h"
#include "cogo/transfrm.h"
#include "jobdb/dbaccess.h"
#include "jobdb/jobindex_fixture.h"
#include "records/coordsysdefs.h"
#include "records/laserecho.h"
#include "transform_definitions.h"

namespace {

constexpr double kDeg = CONSTANT_Pi / 180.0;
constexpr double kGridTolerance = 1e-6;  // metres
constexpr uint16_t kComponents = TRANSFRM_Ellipsoid | TRANSFRM_Projection;
const coordsys_CogoSettings kGridView(COORDSYS_CogoAzimuthGrid | COORDSYS_CogoDistanceGrid |
                                      COORDSYS_CogoEllipsoidDistances | COORDSYS_CogoOrthoHeights);

// The station S, its backsight BS at grid azimuth 0.5, and the sight from S to the
// points: azimuth 1.5, horizontal distance 40, vertical difference 3 between the marks.
constexpr double kNorth = 1000.0, kEast = 2000.0, kElev = 100.0;
constexpr double kBacksightAzimuth = 0.5, kBacksightReading = 0.2;
constexpr double kAzimuth = 1.5, kDistance = 40.0, kRise = 3.0;
constexpr double kInstrument = 1.5, kTargetHeight = 2.0, kPrismConstant = 0.03;
// The raw sight between instrument and prism: vertical 3 - 1.5 + 2.0.
const double kZenith = std::atan2(kDistance, kRise - kInstrument + kTargetHeight);
const double kSlope = std::hypot(kDistance, kRise - kInstrument + kTargetHeight) - kPrismConstant;
const double kReading = kBacksightReading + (kAzimuth - kBacksightAzimuth);

class ReductionJob : public JobIndexJobTest {
protected:
    void SetUp() override {
        JobIndexJobTest::SetUp();
        transfrm_Register();
        Index()->SetTransform(TransformDefinitions().TransverseMercator().Create(kComponents).release(), nullptr,
                              kComponents, COORDSYS_TransverseMercator);
        Grid("S", kNorth, kEast, kElev);
        Grid("BS", kNorth + 100.0 * std::cos(kBacksightAzimuth), kEast + 100.0 * std::sin(kBacksightAzimuth), 0.0);
        db_TotalInstrument instrument;
        db_TotalAtmosphere atmosphere;  // PPM 0; curvature and refraction off for closed forms
        atmosphere.ApplyCurvature = atmosphere.ApplyRefraction = false;
        db_TotalStation station;
        station.StationName = "S";
        station.TheodoliteHeight.Height = kInstrument;
        station.Instrument = Append(instrument);
        station.Atmosphere = Append(atmosphere);
        station_ = Append(station);
        db_Target target;
        target.Target.Prism.PrismType = 2;
        target.Target.Prism.PrismConstant = kPrismConstant;
        target.Target.TargetHeightData.Height = kTargetHeight;
        target_ = Append(target);
        backBearing_ = BackBearing(kBacksightReading, MATHS_Null);
    }
    void TearDown() override {
        JobIndexJobTest::TearDown();
        dbJobIndex_SetCoordinateGeometry(nullptr);
        dbJobIndex_SetTransformDeleter(nullptr);
    }
    const transfrm_Class* T() { return Index()->Transform; }
    DBID Append(dbRecord_Class& record) { return dbRecord_AppendGrouped(Access(), &record); }
    DBID Grid(const char* name, double north, double east, double elev) {
        db_Grid m;
        m.Grid = coord_CorrectedGrid(north, east, elev);
        return Point(name, DBENTITY_Coordinates, kNormal, &m);
    }
    DBID BackBearing(double face1, double face2) {
        db_TotalBackBearing bb;
        bb.Station = "S";
        bb.BackSight = "BS";
        bb.F1HorzCircle = face1;
        bb.F2HorzCircle = face2;
        return Append(bb);
    }
    DBID Reading(const char* name, double horizontal, double zenith, double slope, int face, DBID backBearing) {
        db_Circle m;
        m.Circle.HorzCircle = horizontal;
        m.Circle.VertCircle = zenith;
        m.Circle.EDMDistance = slope;
        m.Circle.Face = face;
        m.Station = station_;
        m.Target = target_;
        m.BackBearing = backBearing;
        m.CreatedView = kGridView;
        return Point(name, DBENTITY_DirectReading, kNormal, &m);
    }
    DBID Face2Reading(const char* name, DBID backBearing, double slope = 0.0) {
        return Reading(name, kReading + CONSTANT_Pi, CONSTANT_TwoPi - kZenith, slope == 0.0 ? kSlope : slope,
                       COORD_Face2, backBearing);
    }
    std::unique_ptr<position_Class> Filled(DBID id) {
        auto p = std::make_unique<position_Class>();
        EXPECT_TRUE(p->FillFromRecordId(Index(), id));
        return p;
    }
    position_ReductionRecords Environment() {
        position_ReductionRecords e;
        EXPECT_TRUE(reduce_GetStationSetup(Access(), station_, target_, backBearing_, e));
        return e;
    }
    void ExpectSightGrid(const coord_CorrectedGrid& g, double tolerance = kGridTolerance) {
        EXPECT_NEAR(kNorth + kDistance * std::cos(kAzimuth), g.North, tolerance);
        EXPECT_NEAR(kEast + kDistance * std::sin(kAzimuth), g.East, tolerance);
        EXPECT_NEAR(kElev + kRise, g.Elev, tolerance);
    }

    DBID station_, target_, backBearing_;
};

TEST_F(ReductionJob, ReadingsOfBothFacesAndMeanTurnedAnglesResolve) {
    const DBID face2Only = BackBearing(MATHS_Null, kBacksightReading + CONSTANT_Pi);
    db_MeanTurnedAngle mta;
    mta.MTA.HorzCircle = kAzimuth - kBacksightAzimuth;  // measured from the backsight
    mta.MTA.VertCircle = kZenith;
    mta.MTA.EDMDistance = kSlope;
    mta.Station = station_;
    mta.Target = target_;
    mta.BackBearing = backBearing_;
    mta.CreatedView = kGridView;
    const struct {
        const char* name;
        DBID id;
    } points[] = {
        {"F1", Reading("F1", kReading, kZenith, kSlope, COORD_Face1, backBearing_)},
        {"F2 with a face-1 backsight", Face2Reading("F2A", backBearing_)},
        {"F2 with a face-2 backsight", Face2Reading("F2B", face2Only)},
        {"mean turned angle", Point("M", DBENTITY_MeanTurnedAngle, kNormal, &mta)},
    };
    for (const auto& p : points) {
        SCOPED_TRACE(p.name);
        auto position = Filled(p.id);
        ExpectSightGrid(position->GetGrid(T()));
        EXPECT_NEAR(kAzimuth, position->Polar.Azimuth, 1e-12);
    }
    auto face1 = Filled(points[0].id);
    const coord_Unturned u = face1->GetUnturned(T());
    EXPECT_NEAR(kReading, u.HorzCircle, 1e-15);
    EXPECT_NEAR(kDistance, u.HDist, 1e-12);
    EXPECT_NEAR(kRise, u.VDist, 1e-12);
    EXPECT_EQ(kBacksightReading, face1->BacksightCircle);
    EXPECT_NEAR(kSlope + kPrismConstant, face1->GetCorrected().SlopeDist, 1e-12);
    auto mean = Filled(points[3].id);
    mean->GetPolar(T());
    EXPECT_EQ(0.0, mean->BacksightCircle);
    EXPECT_TRUE(mean->GetCircle().IsNull());  // a mean turned angle's circle is not handed out
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(ReductionJob, MissingRecordsAndAMissingBacksightAzimuth) {
    // A reading whose back bearing is gone reduces to nothing.
    auto lost = Filled(Reading("L", kReading, kZenith, kSlope, COORD_Face1, DBID(9999)));
    EXPECT_TRUE(lost->GetUnturned(T()).IsNull());
    EXPECT_TRUE(lost->GetGrid(T()).IsNull());

    // An unturned observation whose backsight has no azimuth: distances, no azimuth.
    position_Class unturned(Index());
    unturned.SearchData = Index();
    unturned.SetUnturned(coord_Unturned(1.0, kDistance, kRise), kBacksightReading, T());
    unturned.SetCogoSystem(kGridView);
    unturned.NameOfBase = "S";
    unturned.NameOfBacksight = "NOWHERE";
    const coord_Polar polar = unturned.GetPolar(T());
    EXPECT_TRUE(maths_IsNull(polar.Azimuth));
    EXPECT_EQ(kDistance, polar.HDist);
    EXPECT_EQ(kRise, polar.VDist);

    // The environment without an atmosphere record: no PPM, nothing of the earth.
    db_TotalStation bare;
    bare.StationName = "S";
    db_TotalInstrument instrument;
    bare.Instrument = Append(instrument);
    const DBID station = Append(bare);
    position_ReductionRecords e;
    EXPECT_TRUE(reduce_GetStation(Access(), station, e));
    EXPECT_TRUE(maths_IsNull(e.Atmosphere.PPM));
    EXPECT_FALSE(e.Atmosphere.ApplyCurvature || e.Atmosphere.ApplyRefraction);
    EXPECT_EQ(0.142, e.Atmosphere.RefractionCoefficient);
    EXPECT_EQ(6378137.298, e.EarthRadius);
    EXPECT_FALSE(reduce_GetStation(Access(), target_, e));  // not a station
    EXPECT_FALSE(reduce_GetStationSetup(Access(), station_, NODBID, backBearing_, e));
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(ReductionJob, StationSetupsFoundThroughTheJobIndex) {
    const DBID reading = Reading("F1", kReading, kZenith, kSlope, COORD_Face1, backBearing_);
    position_ReductionRecords setup;
    ASSERT_TRUE(Index()->GetStationSetupOfRecord(reading, setup));
    EXPECT_EQ(Str("S"), setup.Station.StationName);
    EXPECT_EQ(Str("BS"), setup.BackBearing.BackSight);
    EXPECT_EQ(kPrismConstant, setup.Target.Target.Prism.PrismConstant);

    // The newest station and back bearing, with a target of the caller's.
    db_Target other;
    other.Target.Prism.PrismConstant = 0.01;
    position_ReductionRecords current;
    EXPECT_TRUE(reduce_GetCurrentStationSetup(Access(), other, current));
    EXPECT_EQ(backBearing_, current.BackBearing.GetRecordId());
    EXPECT_EQ(0.01, current.Target.Target.Prism.PrismConstant);
    EXPECT_FALSE(reduce_GetStationSetupWithTarget(Access(), other, current, station_, NODBID));
    EXPECT_EQ(0.01, current.Target.Target.Prism.PrismConstant);
}

TEST_F(ReductionJob, TargetsEqualByHeightPrismAndRmt) {
    db_Target close;
    close.Target.Prism.PrismType = 2;
    close.Target.Prism.PrismConstant = kPrismConstant + 0.000005;
    close.Target.TargetHeightData.Height = kTargetHeight + 0.00009;
    const DBID same = Append(close);
    close.Target.TargetHeightData.Height = kTargetHeight + 0.0002;
    const DBID higher = Append(close);
    close.Target.TargetHeightData.Height = MATHS_Null;
    const DBID unknown = Append(close);
    EXPECT_TRUE(reduce_TargetsEqual(Access(), target_, target_));
    EXPECT_TRUE(reduce_TargetsEqual(Access(), target_, same));
    EXPECT_FALSE(reduce_TargetsEqual(Access(), target_, higher));
    EXPECT_TRUE(reduce_TargetsEqual(Access(), unknown, unknown));  // one record: no heights needed
    EXPECT_FALSE(reduce_TargetsEqual(Access(), target_, unknown));
    EXPECT_FALSE(reduce_TargetsEqual(Access(), target_, DBID(9999)));
}

TEST_F(ReductionJob, LaserOffsetsTurnedByDeclinationAndSouthAzimuths) {
    db_LaserBasePoint base;
    base.TheName = "S";
    db_LaserHeight laserHeight;
    laserHeight.Height = kInstrument;
    db_LaserTargetHeight targetHeight;
    targetHeight.Height = kTargetHeight;
    db_Corrections corrections;
    corrections.Corrections.MagneticDeclination = 15.0 * kDeg;
    db_LaserOffset m;
    m.BasePoint = Append(base);
    m.LaserHeight = Append(laserHeight);
    m.TargetHeight = Append(targetHeight);
    m.MagneticDeclination = Append(corrections);
    m.LaserOffset = coord_LaserOffset(350.0 * kDeg, kZenith, kSlope + kPrismConstant);
    m.CreatedView = kGridView;
    auto laser = Filled(Point("LASER", DBENTITY_LaserOffset, kNormal, &m));
    const coord_CorrectedGrid g = laser->GetGrid(T());
    EXPECT_NEAR(5.0 * kDeg, laser->Polar.Azimuth, 1e-12);
    EXPECT_NEAR(kNorth + kDistance * std::cos(5.0 * kDeg), g.North, kGridTolerance);
    EXPECT_NEAR(kEast + kDistance * std::sin(5.0 * kDeg), g.East, kGridTolerance);
    EXPECT_NEAR(kElev + kRise, g.Elev, kGridTolerance);

    // The job's newest corrections decide the south setting.
    reduce_LaserSettings settings;
    ASSERT_TRUE(reduce_GetLaserSettings(Access(), m.MagneticDeclination, m.LaserHeight, m.TargetHeight, &settings));
    EXPECT_FALSE(settings.SouthAzimuth);
    db_Corrections south;
    south.Corrections.SouthAzimuth = true;
    Append(south);
    ASSERT_TRUE(reduce_GetLaserSettings(Access(), m.MagneticDeclination, m.LaserHeight, m.TargetHeight, &settings));
    EXPECT_TRUE(settings.SouthAzimuth);
    EXPECT_NEAR(15.0 * kDeg, settings.MagneticDeclination, 1e-15);
    coord_Polar polar;
    EXPECT_FALSE(position_LaserOffsetToPolar(m.LaserOffset, &polar, settings));
    EXPECT_NEAR(185.0 * kDeg, polar.Azimuth, 1e-12);
    EXPECT_NEAR(kDistance, polar.HDist, 1e-12);

    // Without a target height the vertical difference is unknown.
    settings.TargetHeight = MATHS_Null;
    EXPECT_TRUE(position_LaserOffsetToPolar(m.LaserOffset, &polar, settings));
    EXPECT_NEAR((kSlope + kPrismConstant) * std::sin(kZenith), polar.HDist, 1e-12);
    EXPECT_TRUE(maths_IsNull(polar.VDist));
    EXPECT_FALSE(reduce_GetLaserSettings(Access(), m.MagneticDeclination, DBID(9999), m.TargetHeight, &settings));

    position_Class set(Index());
    set.SetLaserOffset(m.LaserOffset, settings, T());
    EXPECT_EQ(POSITION_DoneLaserOffset | POSITION_DonePolar, set.Status);
    EXPECT_NEAR(185.0 * kDeg, set.GetPolar(T()).Azimuth, 1e-12);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(ReductionJob, CircleFromStationOfItsOwnAnglesOnlyReading) {
    const position_ReductionRecords e = Environment();
    const double newBacksight = 0.7;
    for (const int face : {COORD_Face1, COORD_Face2}) {
        const DBID id = face == COORD_Face1
                            ? Reading("A1", kReading, kZenith, MATHS_Null, COORD_Face1, backBearing_)
                            : Reading("A2", kReading + CONSTANT_Pi, CONSTANT_TwoPi - kZenith, MATHS_Null,
                                      COORD_Face2, backBearing_);
        auto p = Filled(id);
        coord_Circle circle;
        p->ComputeCircleFromStation(Index(), T(), e, newBacksight, &circle);
        EXPECT_NEAR(kReading - kBacksightReading + newBacksight, circle.HorzCircle, 1e-14) << face;
        EXPECT_NEAR(kZenith, circle.VertCircle, 1e-14) << face;
        EXPECT_EQ(COORD_Face1, circle.Face);
        EXPECT_TRUE(maths_IsNull(circle.EDMDistance));
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(ReductionJob, CircleFromStationToAnotherPointReducesBackToIt) {
    position_ReductionRecords e = Environment();
    // Every correction acting, so the reading differs from the plain sight.
    e.Atmosphere.PPM = MATHS_Null;
    e.Atmosphere.Pressure = 990.0;
    e.Atmosphere.Temperature = 10.0;
    e.Atmosphere.ApplyCurvature = e.Atmosphere.ApplyRefraction = true;
    const coord_CorrectedGrid target(kNorth + 300.0, kEast - 400.0, kElev - 12.0);
    auto x = Filled(Grid("X", target.North, target.East, target.Elev));
    coord_Circle circle;
    x->ComputeCircleFromStation(Index(), T(), e, kBacksightReading, &circle);
    ASSERT_FALSE(circle.HasNull());
    // Turned from the backsight by the azimuth difference.
    const double azimuth = std::atan2(-400.0, 300.0) + CONSTANT_TwoPi;
    EXPECT_NEAR(kBacksightReading + azimuth - kBacksightAzimuth, circle.HorzCircle, 1e-12);

    position_Class reading(Index());
    reading.SearchData = Index();
    reading.SetCircleInEnvironment(&e, kBacksightReading, circle, T());
    reading.SetCogoSystem(kGridView);
    EXPECT_EQ(Str("S"), reading.NameOfBase);
    EXPECT_EQ(POSITION_DoneCircle | POSITION_DoneCorrected | POSITION_DoneUnturned, reading.Status);
    const coord_CorrectedGrid g = reading.GetGrid(T());
    EXPECT_NEAR(target.North, g.North, 1e-9);
    EXPECT_NEAR(target.East, g.East, 1e-9);
    EXPECT_NEAR(target.Elev, g.Elev, 1e-9);
    // Under a new transform the reduction is kept: there are no records to read it from.
    Index()->SetTransform(TransformDefinitions().TransverseMercator().Create(kComponents).release(), nullptr,
                          kComponents, COORDSYS_TransverseMercator);
    const coord_CorrectedGrid again = reading.GetGrid(T());
    EXPECT_NEAR(target.North, again.North, 1e-9);
    EXPECT_NEAR(target.Elev, again.Elev, 1e-9);

    // A setup given by the caller is kept instead of names.
    e.HasStationSetup = true;
    e.StationSetup.Orientation = 0.25;
    position_Class given(Index());
    given.SetCircleInEnvironment(&e, kBacksightReading, circle, T());
    EXPECT_TRUE(given.HasStationSetup);
    EXPECT_EQ(0.25, given.StationSetup.Orientation);
    EXPECT_TRUE(given.NameOfBase.IsEmpty());
    EXPECT_TRUE(env.assertions.empty());
}

}  // namespace
