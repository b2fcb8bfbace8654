// Corrections of circle readings in both directions, the station environment's
// defaults, face changes, offsets by perspective and distance offsets. Reference values
// are closed forms evaluated once in Python and pinned here.
#include <gtest/gtest.h>

#include <cmath>

#include "cogo/position.h"
#include "cogo/position_circle.h"
#include "cogo/reduce.h"
#include "support/recording_environment.h"

namespace {

constexpr double kExact = 1e-12;

coord_Circle Reading(double horizontal, double zenith, double slope, int face = COORD_Face1) {
    coord_Circle c;
    c.HorzCircle = horizontal;
    c.VertCircle = zenith;
    c.EDMDistance = slope;
    c.Face = face;
    return c;
}

total_Target Prism(int type, double constant, int rmt = 0, int check = 0) {
    total_Target t;
    t.Prism.PrismType = type;
    t.Prism.PrismConstant = constant;
    t.RMTID = rmt;
    t.CorvaneCheckTargetID = check;
    return t;
}

// An environment whose corrections all act: atmosphere from pressure and temperature,
// curvature and refraction, heights, a prism constant and a scale.
position_ReductionRecords Active() {
    position_ReductionRecords e;
    e.Atmosphere.PPM = MATHS_Null;
    e.Atmosphere.Pressure = 990.0;
    e.Atmosphere.Temperature = 10.0;
    e.Station.TheodoliteHeight.Height = 1.55;
    e.Station.ScaleFactor = 0.9996;
    e.Target.Target = Prism(3, -0.0175);
    e.Target.Target.TargetHeightData.Height = 2.1;
    return e;
}

TEST(CircleCorrections, ConstantPrismAddsItsConstantAndRemovesIt) {
    coord_Circle c = Reading(1.0, 1.4, 100.0);
    position_ApplyPrismCorrection(&c, Prism(2, 0.03), 0);
    EXPECT_NEAR(100.03, c.EDMDistance, kExact);
    EXPECT_EQ(1.4, c.VertCircle);
    position_ApplyPrismCorrection(&c, Prism(2, 0.03), 1);
    EXPECT_NEAR(100.0, c.EDMDistance, kExact);

    // Without a constant, or without a distance, nothing moves; a negative distance goes.
    coord_Circle none = Reading(1.0, 1.4, 100.0);
    position_ApplyPrismCorrection(&none, Prism(5, MATHS_Null), 0);
    EXPECT_EQ(100.0, none.EDMDistance);
    coord_Circle negative = Reading(1.0, 1.4, -1.0);
    negative.EDMDistanceStdErr = 0.002;
    position_ApplyPrismCorrection(&negative, Prism(2, 0.03), 0);
    EXPECT_TRUE(maths_IsNull(negative.EDMDistance));
    EXPECT_TRUE(maths_IsNull(negative.EDMDistanceStdErr));
}

TEST(CircleCorrections, ZenithDependentPrismsAtAHorizontalSight) {
    // d = a2 z^2 + a1 z - a0 at z = pi/2 for the two coefficient sets (Python).
    const struct {
        int rmt, check;
        double d;
    } cases[] = {
        {0, 1, 1.9999999999673057e-06},   // no RMT id: first set
        {2, 4, 1.9999999999673057e-06},   // check id 4: first set
        {2, 1, -1.9000000000081452e-05},  // second set
    };
    for (const auto& k : cases) {
        coord_Circle c = Reading(0.5, CONSTANT_PiOverTwo, 100.0);
        position_ApplyPrismCorrection(&c, Prism(0, 0.0, k.rmt, k.check), 0);
        EXPECT_NEAR(100.0 + k.d, c.EDMDistance, 1e-12);
        EXPECT_NEAR(CONSTANT_PiOverTwo, c.VertCircle, 1e-15);
        EXPECT_EQ(0.5, c.HorzCircle);
    }
    // Their polynomials are taken at the zenith handed in, so removal comes back near.
    for (int type : {0, 1}) {
        for (double zenith : {1.2, CONSTANT_TwoPi - 1.2}) {
            const coord_Circle raw = Reading(0.5, zenith, 100.0, zenith > CONSTANT_Pi ? COORD_Face2 : COORD_Face1);
            coord_Circle c = raw;
            position_ApplyPrismCorrection(&c, Prism(type, -0.0344, 1, 1), 0);
            EXPECT_GT(std::fabs(c.EDMDistance - 100.0), 1e-3);
            EXPECT_EQ(zenith > CONSTANT_Pi, c.VertCircle > CONSTANT_Pi) << "stays on its face";
            position_ApplyPrismCorrection(&c, Prism(type, -0.0344, 1, 1), 1);
            EXPECT_NEAR(100.0, c.EDMDistance, 2.5e-6) << type;
            EXPECT_NEAR(zenith, c.VertCircle, 5e-8) << type;  // 5 um at 100 m
        }
    }
    // A null zenith leaves the reading alone.
    coord_Circle noZenith = Reading(0.5, MATHS_Null, 100.0);
    position_ApplyPrismCorrection(&noZenith, Prism(1, 0.0), 0);
    EXPECT_EQ(100.0, noZenith.EDMDistance);
}

TEST(CircleCorrections, AtmosphereFromPressureAndTemperature) {
    db_TotalInstrument instrument;
    db_TotalAtmosphere atmosphere;
    atmosphere.PPM = MATHS_Null;
    atmosphere.Pressure = 990.0;
    atmosphere.Temperature = 10.0;
    coord_Circle c = Reading(0.0, 1.0, 100.0);
    position_ApplyAtmosphere(&c, atmosphere, instrument, 0);
    EXPECT_NEAR(99.99932020837012, c.EDMDistance, kExact);  // 270 - 79.167 x 990 / 283.15 ppm
    EXPECT_TRUE(maths_IsNull(atmosphere.PPM));               // computed on a copy
    position_ComputePPM(&atmosphere, instrument);
    EXPECT_NEAR(-6.797916298781615, atmosphere.PPM, kExact);
    position_ApplyAtmosphere(&c, atmosphere, instrument, 1);
    EXPECT_NEAR(100.0, c.EDMDistance, kExact);

    // A stored PPM wins; a missing value gives none and changes nothing.
    atmosphere.PPM = 12.0;
    position_ComputePPM(&atmosphere, instrument);
    EXPECT_EQ(12.0, atmosphere.PPM);
    db_TotalAtmosphere unknown;
    unknown.PPM = MATHS_Null;
    unknown.Pressure = 990.0;
    position_ComputePPM(&unknown, instrument);
    EXPECT_TRUE(maths_IsNull(unknown.PPM));
    coord_Circle same = Reading(0.0, 1.0, 100.0);
    position_ApplyAtmosphere(&same, unknown, instrument, 0);
    EXPECT_EQ(100.0, same.EDMDistance);
}

TEST(CircleCorrections, CurvatureAndRefractionByFace) {
    const double shift = 6.726101680729294e-05;  // 1000 x (1 - 0.142) / (2 x 6378137.298)
    coord_Circle face1 = Reading(0.0, 1.5, 1000.0);
    position_ApplyCurvatureRefraction(&face1, REDUCE_EarthRadius, true, true, 0.142, 0);
    EXPECT_NEAR(1.5 - shift, face1.VertCircle, 1e-15);
    coord_Circle face2 = Reading(0.0, 4.7, 1000.0, COORD_Face2);
    position_ApplyCurvatureRefraction(&face2, REDUCE_EarthRadius, true, true, 0.142, 0);
    EXPECT_NEAR(4.7 + shift, face2.VertCircle, 1e-15);
    position_ApplyCurvatureRefraction(&face2, REDUCE_EarthRadius, true, true, 0.142, 1);
    EXPECT_NEAR(4.7, face2.VertCircle, 1e-15);

    // Curvature alone; refraction without a coefficient does nothing.
    coord_Circle curvature = Reading(0.0, 1.5, 1000.0);
    position_ApplyCurvatureRefraction(&curvature, REDUCE_EarthRadius, true, false, MATHS_Null, 0);
    EXPECT_NEAR(1.5 - 1000.0 / (2 * REDUCE_EarthRadius), curvature.VertCircle, 1e-15);
    coord_Circle refraction = Reading(0.0, 1.5, 1000.0);
    position_ApplyCurvatureRefraction(&refraction, REDUCE_EarthRadius, true, true, MATHS_Null, 0);
    EXPECT_EQ(1.5, refraction.VertCircle);
}

TEST(CircleCorrections, FaceTwoNormalisedAndHeightsWithoutDefaults) {
    position_ReductionRecords e;
    e.Station.TheodoliteHeight.Height = 1.5;
    e.Target.Target.TargetHeightData.Height = 1.5;
    coord_Unturned u;
    position_CorrectedToUnturned(coord_Corrected(3.5, 4.5, 20.0, COORD_Face2), &u, e);
    const double z = CONSTANT_TwoPi - 4.5;
    EXPECT_NEAR(3.5 + CONSTANT_Pi - CONSTANT_TwoPi, u.HorzCircle, 1e-15);
    EXPECT_NEAR(20.0 * std::sin(z), u.HDist, kExact);
    EXPECT_NEAR(20.0 * std::cos(z), u.VDist, kExact);

    // A null target height: the distance stays, the vertical difference is unknown...
    e.Target.Target.TargetHeightData.Height = MATHS_Null;
    position_CorrectedToUnturned(coord_Corrected(1.0, 1.2, 20.0, COORD_Face1), &u, e);
    EXPECT_NEAR(20.0 * std::sin(1.2), u.HDist, kExact);
    EXPECT_TRUE(maths_IsNull(u.VDist));
    // ...unless null heights count as 0.
    e.DefaultNullHeights = true;
    position_CorrectedToUnturned(coord_Corrected(1.0, 1.2, 20.0, COORD_Face1), &u, e);
    EXPECT_NEAR(20.0 * std::cos(1.2) + 1.5, u.VDist, kExact);

    // A reading without zenith or face has no horizontal circle either.
    position_CorrectedToUnturned(coord_Corrected(1.0, MATHS_Null, 20.0, COORD_FaceNull), &u, e);
    EXPECT_TRUE(u.IsNull());
}

TEST(CircleCorrections, MissingOrZeroScaleGivesNullDistancesNotHugeOnes) {
    for (double scale : {MATHS_Null, 0.0}) {
        position_ReductionRecords e(true);
        e.Station.ScaleFactor = scale;
        coord_Unturned u;
        position_CorrectedToUnturned(coord_Corrected(1.0, 1.2, 20.0, COORD_Face1), &u, e);
        EXPECT_EQ(1.0, u.HorzCircle);
        EXPECT_TRUE(maths_IsNull(u.HDist));
        EXPECT_NEAR(20.0 * std::cos(1.2), u.VDist, kExact);
        coord_Corrected k;
        position_UnturnedToCorrected(coord_Unturned(1.0, 10.0, 2.0), &k, e);
        EXPECT_EQ(1.0, k.HorzCircle);
        EXPECT_TRUE(maths_IsNull(k.VertCircle));
        EXPECT_TRUE(maths_IsNull(k.SlopeDist));
    }
}

TEST(CircleCorrections, WholeChainUndoesOnBothFaces) {
    for (const bool face2 : {false, true}) {
        for (const int prism : {3, 1}) {
            position_ReductionRecords e = Active();
            e.Target.Target.Prism.PrismType = prism;
            e.Atmosphere.ApplyCurvature = e.Atmosphere.ApplyRefraction = true;
            const coord_Circle raw = face2 ? Reading(0.7 + CONSTANT_Pi, CONSTANT_TwoPi - 1.45, 345.678, COORD_Face2)
                                           : Reading(0.7, 1.45, 345.678);
            coord_Unturned u;
            position_CircleToUnturned(raw, &u, e);
            EXPECT_NEAR(0.7, u.HorzCircle, 1e-15);
            coord_Circle back;
            position_UnturnedToCircle(u, &back, e);
            // Back on face 1, with the same sight.
            const double tolerance = prism == 1 ? 2.5e-6 : 1e-9;
            EXPECT_NEAR(0.7, back.HorzCircle, 1e-15);
            EXPECT_NEAR(1.45, back.VertCircle, tolerance / 345.0);
            EXPECT_NEAR(345.678, back.EDMDistance, tolerance);
            EXPECT_EQ(COORD_FaceNull, back.Face);
        }
    }
    // A plumb sight downwards keeps its length.
    position_ReductionRecords e(true);
    coord_Corrected k;
    position_UnturnedToCorrected(coord_Unturned(0.0, 0.0, -5.0), &k, e);
    EXPECT_NEAR(CONSTANT_Pi, k.VertCircle, 1e-15);
    EXPECT_NEAR(5.0, k.SlopeDist, 1e-15);
}

TEST(CircleCorrections, SingleStepsUndoExactly) {
    const position_ReductionRecords e = Active();
    for (const coord_Circle& raw : {Reading(0.3, 1.3, 250.0), Reading(3.4, 4.9, 250.0, COORD_Face2)}) {
        coord_Circle c = raw;
        position_ApplyPrismCorrection(&c, e.Target.Target, 0);
        position_ApplyAtmosphere(&c, e.Atmosphere, e.Instrument, 0);
        position_ApplyCurvatureRefraction(&c, e.EarthRadius, true, true, 0.2, 0);
        EXPECT_NE(raw.EDMDistance, c.EDMDistance);
        position_ApplyCurvatureRefraction(&c, e.EarthRadius, true, true, 0.2, 1);
        position_ApplyAtmosphere(&c, e.Atmosphere, e.Instrument, 1);
        position_ApplyPrismCorrection(&c, e.Target.Target, 1);
        EXPECT_NEAR(raw.EDMDistance, c.EDMDistance, kExact);
        EXPECT_NEAR(raw.VertCircle, c.VertCircle, 1e-15);

        coord_Corrected k(raw.HorzCircle, raw.VertCircle, raw.EDMDistance, raw.Face);
        position_ApplyHeights(&k, 1.55, 2.1, 0);
        position_ApplyHeights(&k, 1.55, 2.1, 1);
        EXPECT_NEAR(raw.EDMDistance, k.SlopeDist, kExact);
        EXPECT_NEAR(raw.VertCircle > CONSTANT_Pi ? raw.VertCircle - CONSTANT_TwoPi : raw.VertCircle, k.VertCircle,
                    1e-14);
    }
    double s = 10.0, z = 1.0;
    position_ApplyHeightsToZenith(&s, &z, MATHS_Null, 1.0, 0);
    EXPECT_TRUE(maths_IsNull(s) && maths_IsNull(z));
}

// ---------------------------------------------------------------- environment and readings

TEST(ReductionRecords, DefaultsAndReset) {
    position_ReductionRecords e(true);
    EXPECT_EQ(6378137.298, e.EarthRadius);
    EXPECT_TRUE(e.DefaultNullHeights);
    EXPECT_EQ(0.0, e.Atmosphere.PPM);
    EXPECT_TRUE(e.StationSetup.IsNull());
    e.Reset();
    EXPECT_TRUE(maths_IsNull(e.EarthRadius));
    EXPECT_TRUE(maths_IsNull(e.Atmosphere.PPM));
    EXPECT_FALSE(e.Atmosphere.ApplyCurvature || e.Atmosphere.ApplyRefraction);
    EXPECT_EQ(0.142, e.Atmosphere.RefractionCoefficient);
    EXPECT_TRUE(maths_IsNull(e.BackBearing.F1HorzCircle));
    EXPECT_EQ(1.0, e.Station.ScaleFactor);
    EXPECT_EQ(-1, e.Target.Target.Prism.PrismType);
    EXPECT_TRUE(maths_IsNull(e.Instrument.RefractiveIndex));
}

TEST(ReductionRecords, RefractionCoefficientChoice) {
    const struct {
        double in;
        bool flags;
        double out;
    } cases[] = {{0.13, true, 0.142}, {0.169, true, 0.142}, {0.17, true, 0.2}, {MATHS_Null, false, 0.142}};
    for (const auto& c : cases) {
        bool curvature = !c.flags, refraction = !c.flags;
        double coefficient = 0.0;
        total_RefractionFromCoefficient(c.in, &curvature, &refraction, &coefficient);
        EXPECT_EQ(c.flags, curvature);
        EXPECT_EQ(c.flags, refraction);
        EXPECT_EQ(c.out, coefficient);
    }
    EXPECT_TRUE(maths_IsNull(total_CoefficientFromRefraction(false, true, 0.2)));
    EXPECT_EQ(0.142, total_CoefficientFromRefraction(true, false, 0.2));
    EXPECT_EQ(0.142, total_CoefficientFromRefraction(true, true, 0.13));
    EXPECT_EQ(0.2, total_CoefficientFromRefraction(true, true, 0.17));
    // Any byte but 0 is a set flag; of the ints only 1 is.
    const struct {
        uint8_t flag;
        bool set;
    } flags[] = {{0, false}, {1, true}, {2, true}, {0x80, true}, {0xFF, true}};
    for (const auto& f : flags) EXPECT_EQ(total_IsFlagSet(f.flag), f.set) << int(f.flag);
    const struct {
        int32_t value;
        bool one;
    } ints[] = {{-1, false}, {0, false}, {1, true}, {2, false}, {257, false}};
    for (const auto& i : ints) EXPECT_EQ(total_IsOne(i.value), i.one) << i.value;
}

TEST(ReductionRecords, ChangingFaceTwiceReturnsTheReading) {
    const coord_Corrected face1(0.4, 1.3, 12.0, COORD_Face1);
    coord_Corrected face2, again;
    reduce_ChangeFace(face1, &face2);
    EXPECT_NEAR(0.4 + CONSTANT_Pi, face2.HorzCircle, 1e-15);
    EXPECT_NEAR(CONSTANT_TwoPi - 1.3, face2.VertCircle, 1e-15);
    EXPECT_EQ(COORD_Face2, face2.Face);
    reduce_ChangeFace(face2, &again);
    EXPECT_NEAR(0.4, again.HorzCircle, 1e-15);
    EXPECT_NEAR(1.3, again.VertCircle, 1e-15);
    EXPECT_EQ(COORD_Face1, again.Face);
    EXPECT_EQ(12.0, again.SlopeDist);

    // Null angles and face 0 leave the output's own values.
    coord_Corrected out(9.0, 9.0, 9.0, COORD_Face2);
    reduce_ChangeFace(coord_Corrected(MATHS_Null, MATHS_Null, 5.0, COORD_FaceNull), &out);
    EXPECT_EQ(9.0, out.HorzCircle);
    EXPECT_EQ(9.0, out.VertCircle);
    EXPECT_EQ(5.0, out.SlopeDist);
    EXPECT_EQ(COORD_Face2, out.Face);

    coord_Circle circle = Reading(0.4, 1.3, 12.0);
    circle.HorzCircleStdErr = 1e-5;
    circle.EDMMeasurementMode = 2;
    coord_Circle turned;
    reduce_ChangeFaceCircle(circle, &turned);
    EXPECT_EQ(COORD_Face2, turned.Face);
    EXPECT_EQ(1e-5, turned.HorzCircleStdErr);
    EXPECT_EQ(2, turned.EDMMeasurementMode);
}

TEST(ReductionRecords, OffsetsByPerspective) {
    RecordingEnvironment env;
    EXPECT_EQ(-1.5, reduce_OffsetForPerspective(1.5, 2));
    EXPECT_EQ(1.5, reduce_OffsetForPerspective(1.5, 1));
    EXPECT_TRUE(maths_IsNull(reduce_OffsetForPerspective2(MATHS_Null, 2)));
    EXPECT_TRUE(env.assertions.empty());
    EXPECT_EQ(1.5, reduce_OffsetForPerspective(1.5, 0));
    EXPECT_EQ(std::vector<std::string>{"displayPerspective != DBCONFIG_OffsetAutomatic"}, env.Expressions());
}

TEST(ReductionRecords, DistanceOffsetsMoveTheTarget) {
    position_ReductionRecords e;
    e.Station.TheodoliteHeight.Height = 1.6;  // cleared: the offsets move the target itself
    const coord_Corrected reading(1.0, 1.4, 50.0, COORD_Face1);
    const double D = 50.0 * std::sin(1.4), V = 50.0 * std::cos(1.4);
    struct Case {
        int perspective;
        double leftRight, inOut, downUp;
        double w, q, dv;
    } const cases[] = {
        {1, 2.0, 3.0, 0.5, 2.0, D + 3.0, 0.5},
        {2, 2.0, -1.0, MATHS_Null, -2.0, D - 1.0, 0.0},
        {1, MATHS_Null, 4.0, -0.25, 0.0, D + 4.0, -0.25},
    };
    for (const Case& c : cases) {
        coord_Corrected out;
        reduce_ApplyDistanceOffsets(reading, c.perspective, c.leftRight, c.inOut, c.downUp, e, &out);
        const double hd = std::sqrt(c.w * c.w + c.q * c.q), vd = V + c.dv;
        EXPECT_NEAR(1.0 + std::atan2(c.w, c.q), out.HorzCircle, 1e-14);
        EXPECT_NEAR(std::sqrt(hd * hd + vd * vd), out.SlopeDist, 1e-12);
        EXPECT_NEAR(std::atan2(hd, vd), out.VertCircle, 1e-14);
    }
    // A target moved straight across the sight turns by a right angle.
    coord_Corrected across;
    reduce_ApplyDistanceOffsets(reading, 1, 3.0, -D, MATHS_Null, e, &across);
    EXPECT_NEAR(1.0 + CONSTANT_PiOverTwo, across.HorzCircle, 1e-12);

    coord_Corrected none;
    reduce_ApplyDistanceOffsets(reading, 1, MATHS_Null, MATHS_Null, MATHS_Null, e, &none);
    EXPECT_TRUE(none.IsNull());
    reduce_ApplyDistanceOffsets(coord_Corrected(1.0, MATHS_Null, 50.0, 1), 1, 1.0, 1.0, 1.0, e, &none);
    EXPECT_TRUE(none.IsNull());
}

TEST(ReductionRecords, BacksightCircleByFace) {
    db_TotalBackBearing bb;
    bb.F1HorzCircle = 0.2;
    bb.F2HorzCircle = MATHS_Null;
    EXPECT_EQ(0, position_BackBearingIsMissing(4.0, bb));  // face 2, only face 1 known
    EXPECT_EQ(0, position_BackBearingIsMissing(1.0, bb));
    bb.F1HorzCircle = MATHS_Null;
    bb.F2HorzCircle = 3.4;
    EXPECT_EQ(1, position_BackBearingIsMissing(4.0, bb));
    EXPECT_EQ(1, position_BackBearingIsMissing(1.0, bb));
    double out = 0.0;
    position_BacksightCircle(bb, 1, false, &out);
    EXPECT_NEAR(3.4 - CONSTANT_Pi, out, 1e-15);
    bb.F1HorzCircle = 0.2;
    position_BacksightCircle(bb, 2, false, &out);
    EXPECT_NEAR((0.2 + 3.4 - CONSTANT_Pi) / 2, out, 1e-15);
    position_BacksightCircle(bb, 0, true, &out);
    EXPECT_EQ(0.0, out);
}

}  // namespace
