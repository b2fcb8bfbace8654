// Transition spirals: local offsets, the four placements, the point at a station and
// the station and offset of a point.
//
// Reference offsets come from numerical integration (mpmath quad, 30 digits) of
// x = integral cos(theta), y = integral sin(theta), with the tangent turning by
// theta(u) = u k0 + u^2 (k1 - k0) / (2 L) from curvature k0 at the end measured from
// to k1 at the other; beyond the end the straight continues along the end tangent.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cogo/cogospiral.h"
#include "csib/csibplatform.h"
#include "support/recording_environment.h"
#include "transform_definitions.h"

namespace {

constexpr double kNull = MATHS_Null;
constexpr double kDeg = CONSTANT_Pi / 180.0;
constexpr int32_t kRoad = 2212;  // grid azimuths and distances

struct Offsets {
    double deflection, x, y;
};

struct OffsetsCase {
    double rs, rl, length, s, resolution;
    Offsets expected;
    double tolerance;  // metres
};

TEST(CogoSpiral, OffsetsAgainstIntegration) {
    const OffsetsCase cases[] = {
        // From a straight: the series stops at the resolution.
        {100, kNull, 50, 50, 1e-9, {0.25, 49.688402921479472, 4.1481024268547477}, 1e-9},
        {100, kNull, 50, 50, 1e-4, {0.25, 49.688402921479472, 4.1481024268547477}, 1e-6},
        {100, kNull, 50, 25, 1e-9, {0.0625, 24.990236140904357, 0.52068802959351981}, 1e-9},
        // Between two radii, opening in, opening out, and nearly equal radii (where the
        // difference of two far points of one clothoid gives -3528, 2184 and 1e21 m).
        {100, 400, 50, 50, 1e-9, {0.3125, 49.403771173675501, 6.2052645431078588}, 1e-9},
        {100, 400, 50, 25, 1e-9, {0.109375, 24.959942942293215, 1.1708159212614181}, 1e-9},
        {400, 100, 50, 50, 1e-9, {0.3125, 48.918782475287223, 9.2838911759226104}, 1e-9},
        {1000, 1001, 50, 50, 1e-9, {0.049975024975024975, 49.979195271948235, 1.2489075721352771}, 1e-9},
        {1000, 1000.5, 50, 50, 1e-9, {0.049987506246876562, 49.97918227988818, 1.2493233807516743}, 1e-9},
        // Equal radii: a circular arc, R sin(d), R (1 - cos(d)).
        {100, 100, 200, 157.07963267948966, 1e-9, {CONSTANT_PiOverTwo, 100, 100}, 1e-9},
        // Nothing along the spiral, a zero radius, a zero length.
        {100, kNull, 50, 0, 1e-9, {0, 0, 0}, 0},
        {0, kNull, 50, 20, 1e-9, {0, 0, 0}, 0},
    };
    RecordingEnvironment env;
    for (const OffsetsCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rs << " " << c.rl << " at " << c.s << " res " << c.resolution);
        double d = kNull, x = kNull, y = kNull;
        cogospiral_ComputeOffsets(c.rs, c.rl, c.length, c.s, c.resolution, &d, &x, &y);
        EXPECT_NEAR(c.expected.deflection, d, 1e-15);
        EXPECT_NEAR(c.expected.x, x, c.tolerance);
        EXPECT_NEAR(c.expected.y, y, c.tolerance);
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST(CogoSpiral, SeriesStopsAtTheResolution) {
    double y = kNull, x = kNull;
    // A resolution above the first terms keeps them alone: l and l^3 / 6A^2.
    cogospiral_Series(50, 5000, 100, &y, &x);
    EXPECT_DOUBLE_EQ(50.0, x);
    EXPECT_DOUBLE_EQ(50.0 * 50.0 * 50.0 / 30000.0, y);
    // Deflection 1 rad (l 100, A^2 5000) at 1e-7: within 1e-10 m of integration.
    cogospiral_Series(100, 5000, 1e-7, &y, &x);
    EXPECT_NEAR(90.452423790027208, x, 1e-10);
    EXPECT_NEAR(31.02683017233811, y, 1e-10);
    for (double a2 : {0.0, kNull}) {
        cogospiral_Series(100, a2, 1e-7, &y, &x);
        EXPECT_TRUE(maths_IsNull(x) && maths_IsNull(y));
    }
}

TEST(CogoSpiral, OffsetsReportMissingInputs) {
    RecordingEnvironment env;
    double d = 0, x = 0, y = 0;
    cogospiral_ComputeOffsets(kNull, kNull, kNull, kNull, kNull, &d, &x, &y);
    EXPECT_TRUE(maths_IsNull(d) && maths_IsNull(x) && maths_IsNull(y));
    EXPECT_EQ((std::vector<std::string>{"!maths_IsNull (length)", "!maths_IsNull (smallRadius)",
                                        "!maths_IsNull (spiralDist)", "!maths_IsNull (resolution)"}),
              env.Expressions());
    env.Clear();
    cogospiral_ComputeOffsets(100, kNull, 50, -1, 1e-7, &d, &x, &y);
    cogospiral_ComputeOffsets(100, kNull, 50, 51, 1e-7, &d, &x, &y);
    EXPECT_EQ((std::vector<std::string>{"spiralDist >= 0.0", "spiralDist <= length"}), env.Expressions());
}

struct TypeCase {
    int type;
    double rl, d;
    Offsets expected;
};

// Spirals of length 50 to a radius of 100, from a straight or from a radius of 400:
// type 1 measured from the large-radius start, type 0 from the small-radius start
// (the clothoid's origin at its far end); 2 and 3 mirror them.
TEST(CogoSpiral, TypesAtBothEndsMidwayAndBeyond) {
    const TypeCase cases[] = {
        {1, kNull, 25, {0.0625, 24.990236140904357, 0.52068802959351981}},
        {1, kNull, 50, {0.25, 49.688402921479471, 4.1481024268547482}},
        {1, kNull, 60, {0.25, 59.377527138585919, 6.6221420193999775}},
        {0, kNull, 25, {0.1875, 24.82779727091972, 2.5957773796443817}},
        {0, kNull, 50, {0.25, 49.169967769382112, 8.2739596439003884}},
        {0, kNull, 60, {0.25, 58.85909198648856, 10.747999236445618}},
        {1, 400, 25, {0.109375, 24.959942942293215, 1.1708159212614181}},
        {1, 400, 50, {0.3125, 49.403771173675501, 6.2052645431078587}},
        {1, 400, 60, {0.3125, 58.919450654157223, 9.2796496889116672}},
        {0, 400, 25, {0.203125, 24.807746878610139, 2.7243542974697819}},
        {0, 400, 50, {0.3125, 48.918782475287222, 9.2838911759226106}},
        {0, 400, 60, {0.3125, 58.434461955768944, 12.358276321726419}},
    };
    RecordingEnvironment env;
    constexpr double kResolution = 1e-10;
    for (const TypeCase& c : cases) {
        double totalD = kNull, totalX = kNull, totalY = kNull;
        cogospiral_ComputeOffsets(100, c.rl, 50, 50, kResolution, &totalD, &totalX, &totalY);
        for (int mirror : {0, 1}) {
            // Types 2 and 3 mirror 1 and 0.
            const int type = mirror ? 3 - c.type : c.type;
            const double sign = mirror ? -1.0 : 1.0;
            SCOPED_TRACE(testing::Message() << "type " << type << " Rl " << c.rl << " at " << c.d);
            double d = kNull, x = kNull, y = kNull;
            cogospiral_SpiralOffsets(type, 100, c.rl, 50, c.d, kResolution, totalD, totalX, totalY, &d, &x, &y);
            EXPECT_NEAR(sign * c.expected.deflection, d, 1e-12);
            EXPECT_NEAR(c.expected.x, x, 1e-9);
            EXPECT_NEAR(sign * c.expected.y, y, 1e-9);
        }
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST(CogoSpiral, StartsAndMissingValuesOfTheTypes) {
    RecordingEnvironment env;
    double totalD = kNull, totalX = kNull, totalY = kNull;
    cogospiral_ComputeOffsets(100, kNull, 50, 50, 1e-9, &totalD, &totalX, &totalY);
    for (int type = 0; type < 4; ++type) {
        SCOPED_TRACE(type);
        double d = kNull, x = kNull, y = kNull;
        cogospiral_SpiralOffsets(type, 100, kNull, 50, 0, 1e-9, totalD, totalX, totalY, &d, &x, &y);
        EXPECT_EQ(0.0, d);
        EXPECT_EQ(0.0, x);
        EXPECT_EQ(0.0, y);
        // Before the start: the straight along the start tangent.
        cogospiral_SpiralOffsets(type, 100, kNull, 50, -5, 1e-9, totalD, totalX, totalY, &d, &x, &y);
        EXPECT_EQ(0.0, d);
        EXPECT_EQ(-5.0, x);
        EXPECT_EQ(0.0, y);
        // Measured from the far end, or beyond it, the totals are needed.
        const double at = type == 0 || type == 3 ? 25 : 60;
        cogospiral_SpiralOffsets(type, 100, kNull, 50, at, 1e-9, kNull, kNull, kNull, &d, &x, &y);
        EXPECT_TRUE(maths_IsNull(d) && maths_IsNull(x) && maths_IsNull(y));
        cogospiral_SpiralOffsets(type, kNull, kNull, 50, 25, 1e-9, totalD, totalX, totalY, &d, &x, &y);
        EXPECT_TRUE(maths_IsNull(d) && maths_IsNull(x) && maths_IsNull(y));
    }
    EXPECT_TRUE(env.assertions.empty());
    double d = kNull, x = kNull, y = kNull;
    cogospiral_SpiralOffsets(4, 100, kNull, 50, 25, 1e-9, totalD, totalX, totalY, &d, &x, &y);
    EXPECT_EQ(std::vector<std::string>{"Unknown spiral type"}, env.Expressions());
}

class CogoSpiralPoints : public CogoGridTest {
protected:
    void SetUp() override {
        CogoGridTest::SetUp();
        start.SetCogoGrid(coord_CogoGrid(1000.0, 2000.0, 50.0), transform.get());
    }

    position_Class start;
};

TEST_F(CogoSpiralPoints, PointsAlongTheStartTangentAndAcross) {
    const double azimuth = 30.0 * kDeg, grade = std::atan(0.02), resolution = 1e-9;
    double totalD = kNull, totalX = kNull, totalY = kNull;
    cogospiral_ComputeOffsets(100, 400, 50, 50, resolution, &totalD, &totalX, &totalY);
    struct {
        int type;
        double station;
        Offsets local;  // integrated, as above
    } cases[] = {
        {1, 25, {0.109375, 24.959942942293215, 1.1708159212614181}},
        {0, 25, {0.203125, 24.807746878610139, 2.7243542974697819}},
        {2, 60, {-0.3125, 58.919450654157223, -9.2796496889116672}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        position_Class point;
        double tangent = kNull;
        cogospiral_ComputePoint(c.type, start, transform.get(), azimuth, 100, 400, 50, grade, resolution, c.station,
                                totalD, totalX, totalY, &point, &tangent, kRoad);
        const coord_CogoGrid g = point.GetCogoGrid(transform.get());
        const double across = azimuth + CONSTANT_PiOverTwo;
        EXPECT_NEAR(1000.0 + c.local.x * std::cos(azimuth) + c.local.y * std::cos(across), g.North, 1e-9);
        EXPECT_NEAR(2000.0 + c.local.x * std::sin(azimuth) + c.local.y * std::sin(across), g.East, 1e-9);
        EXPECT_NEAR(50.0 + 0.02 * c.station, g.Elev, 1e-9);
        double expected = azimuth + c.local.deflection;
        coord_NormaliseAzimuth(&expected);
        EXPECT_NEAR(expected, tangent, 1e-12);
    }
    // A missing start azimuth leaves the result cleared and the azimuth null.
    position_Class point;
    double tangent = 0.0;
    cogospiral_ComputePoint(1, start, transform.get(), kNull, 100, 400, 50, grade, resolution, 25, totalD, totalX,
                            totalY, &point, &tangent, kRoad);
    EXPECT_FALSE(point.IsDefined());
    EXPECT_TRUE(maths_IsNull(tangent));
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(CogoSpiralPoints, PointToSpiralGivesBackStationAndOffset) {
    const double azimuth = 250.0 * kDeg;
    for (double resolution : {1e-7, 1e-4}) {
        for (int type = 0; type < 4; ++type) {
            for (double rl : {kNull, 400.0}) {
                double totalD = kNull, totalX = kNull, totalY = kNull;
                cogospiral_ComputeOffsets(100, rl, 40, 40, resolution, &totalD, &totalX, &totalY);
                for (double station : {0.0, 13.0, 40.0, 45.0}) {
                    for (double offset : {-6.0, 0.0, 4.5}) {
                        SCOPED_TRACE(testing::Message() << "type " << type << " Rl " << rl << " res " << resolution
                                                        << " at " << station << ", " << offset);
                        position_Class foot, point;
                        double tangent = kNull;
                        cogospiral_ComputePoint(type, start, transform.get(), azimuth, 100, rl, 40, 0.0, resolution,
                                                station, totalD, totalX, totalY, &foot, &tangent, kRoad);
                        double right = tangent + CONSTANT_PiOverTwo;
                        const double dv = 1.25;
                        cogo_ComputePoint(foot, transform.get(), &right, &offset, &dv, &point, kRoad);

                        position_Class found;
                        double at = kNull, s = kNull, o = kNull, v = kNull;
                        ASSERT_EQ(COGO_Ok, cogospiral_PointToSpiral(type, start, transform.get(), azimuth, 100, rl,
                                                                    40, 0.0, resolution, totalD, totalX, totalY,
                                                                    point, &found, &at, &s, &o, &v, kRoad));
                        // The search stops once half the point's distance along the
                        // tangent is below the resolution; on the inside of the curve
                        // that distance is short of the station error by |offset| / R.
                        const double within = 2 * resolution * 100 / (100 - std::fabs(offset));
                        EXPECT_NEAR(station, s, within);
                        EXPECT_NEAR(offset, o, within);
                        EXPECT_NEAR(dv, v, 1e-12);
                        EXPECT_NEAR(tangent, at, within / 100);
                    }
                }
            }
        }
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(CogoSpiralPoints, PointToSpiralFailures) {
    double totalD = kNull, totalX = kNull, totalY = kNull;
    cogospiral_ComputeOffsets(100, kNull, 40, 40, 1e-7, &totalD, &totalX, &totalY);
    position_Class point, foot;
    point.SetCogoGrid(coord_CogoGrid(1010.0, 2010.0, 50.0), transform.get());
    double at = 0, s = 0, o = 0, v = 0;
    EXPECT_EQ(COGO_NullInput, cogospiral_PointToSpiral(1, start, transform.get(), kNull, 100, kNull, 40, 0.0, 1e-7,
                                                       totalD, totalX, totalY, point, &foot, &at, &s, &o, &v,
                                                       kRoad));
    EXPECT_TRUE(maths_IsNull(s) && maths_IsNull(o) && maths_IsNull(v) && maths_IsNull(at));
    // A resolution of 0 is never reached: 40 rounds, then nothing.
    EXPECT_EQ(COGO_NoConvergence, cogospiral_PointToSpiral(1, start, transform.get(), 0.0, 100, kNull, 40, 0.0, 0.0,
                                                           totalD, totalX, totalY, point, &foot, &at, &s, &o, &v,
                                                           kRoad));
    EXPECT_TRUE(maths_IsNull(s) && maths_IsNull(o) && maths_IsNull(v) && maths_IsNull(at));
    EXPECT_FALSE(foot.IsDefined());
    // A point without coordinates has no azimuth from the foot.
    position_Class nowhere;
    EXPECT_EQ(COGO_Degenerate, cogospiral_PointToSpiral(1, start, transform.get(), 0.0, 100, kNull, 40, 0.0, 1e-7,
                                                        totalD, totalX, totalY, nowhere, &foot, &at, &s, &o, &v,
                                                        kRoad));
    EXPECT_TRUE(env.assertions.empty());
}

}  // namespace
