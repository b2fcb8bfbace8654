// The geodesic solver's own contract: lines from, to and over the poles, to and near
// the antipode, longitudes given beyond +-180 degrees, coincident points and input
// that is not finite. Reference values: GeodSolve -f -p 12 -e 6378137
// 0.0033528106718309905 (WGS-84 with our flattening double), pinned here.
#include "cogo/geodesic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "foundation/coords/coordsys.h"

namespace {

constexpr double kDeg = CONSTANT_Pi / 180.0;
constexpr double kArcSecond = kDeg / 3600.0;
const double kA = coordsys_WGS84Ellipsoid.EarthRadius;
const double kF = coordsys_WGS84Ellipsoid.Flattening;

// Lengths and end points within 0.0001 mm; azimuths within 1e-6", or within what
// moves the end by 0.0001 mm where that is more (m12, the reduced length, is how far
// the end moves per radian of azimuth; between the poles it is 0 and any azimuth
// reaches the other pole).
constexpr double kLength = 1e-7;
double AzimuthTolerance(double m12) { return std::max(1e-6 * kArcSecond, kLength / std::fabs(m12)); }
double AngleError(double a, double b) { return std::fabs(std::remainder(a - b, CONSTANT_TwoPi)); }

TEST(Geodesic, DirectFromOverAndToThePoles) {
    // The end longitude is the start's plus the difference, not reduced to a range.
    struct Case {
        double lat1, lon1, azimuth1, s;    // degrees, metres
        double lat2, lon2, azimuth2, m12;  // degrees, metres
    };
    const Case cases[] = {
        // From the north pole the azimuth counts from the start's meridian, so 90
        // degrees leaves along the meridian a quarter turn east of it.
        {90, 30, 180, 1000000, 81.046232816012704, 30, 180, 995935.0389382800},
        {90, 30, 90, 1000000, 81.046232816012704, 120, 180, 995935.0389382800},
        {-90, -45, 0, 500000, -85.523391012666096, -45, 0, 499491.4518008319},
        // Over the north pole onto the opposite meridian.
        {89.5, 0, 0, 200000, 88.709390859159498, 180, 180, 199967.4453299342},
        // From the equator over both poles to the antipode.
        {0, 0, 0, 20003931.4585545361, 0, 180, 180, 67125.6124401991},
        // Longitudes beyond +-180.
        {10, 500, 45, 100000, 10.638640454392808, 500.646227690022073, 45.115764334443796, 99995.8772580418},
        {-20, -200, -100, 12000000, -2.820390138686158, -310.101396787350268, -67.955768791473560,
         6046633.4260290852},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lat1 << " " << c.lon1 << " " << c.azimuth1 << " " << c.s);
        double lat2 = 0.0, lon2 = 0.0, azimuth2 = 0.0;
        ASSERT_TRUE(geodesic_Direct(kA, kF, c.lat1 * kDeg, c.lon1 * kDeg, c.azimuth1 * kDeg, c.s, &lat2, &lon2,
                                    &azimuth2));
        EXPECT_NEAR(lat2, c.lat2 * kDeg, kLength / kA);
        EXPECT_NEAR(lon2 * kA * std::cos(lat2), c.lon2 * kDeg * kA * std::cos(lat2), kLength);
        EXPECT_LE(AngleError(azimuth2, c.azimuth2 * kDeg), AzimuthTolerance(c.m12));
    }
}

TEST(Geodesic, InverseOverThePolesToTheAntipodeAndBeyond180) {
    struct Case {
        double lat1, lon1, lat2, lon2;        // degrees
        double s12, azimuth1, azimuth2, m12;  // metres, degrees, metres
    };
    const Case cases[] = {
        // Longitudes beyond +-180 count as the same meridians within.
        {10, 500, 20, -170, 5469879.3966199234, 72.208735611565743, 86.029927620122038, 4820084.3289379934},
        {-10, -350, 35, 359, 5113599.5217300318, -12.585192723028657, -15.170515299220000, 4580169.5060405564},
        // Exactly antipodal points have two equally short lines: the northward one.
        {30, 0, -30, 180, 20003931.4585545361, 0, 180, 50428.6063937221},
        {0, 0, 0, 180, 20003931.4585545361, 0, 180, 67125.6124402012},
        // Nearly antipodal.
        {0, 0, 0, 179.5, 19980861.9088687338, 55.966494961175734, 124.033505038824273, 21062.7466445523},
        {-40, 20, 40.3, -160.2, 19968633.8735989816, 13.363222018169489, 166.576755699174555, 71462.0412288483},
        // From pole to pole, from a pole, to a pole, and across one.
        {90, 0, -90, 0, 20003931.4585545361, 180, 180, 0},
        {90, 10, -90, -60, 20003931.4585545361, -110, -180, 0},
        {90, 0, 45, 10, 5017021.3513511363, 170, 180, 4517590.8788649309},
        {-90, 0, -89.9, 123, 11169.3978413395, 123, 0, 11169.3921706851},
        {89.99, -10, 89.99, 170, 2233.8795909703, 0, 180, 2233.8795456050},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lat1 << " " << c.lon1 << " to " << c.lat2 << " " << c.lon2);
        double s12 = 0.0, azimuth1 = 0.0, azimuth2 = 0.0;
        ASSERT_TRUE(geodesic_Inverse(kA, kF, c.lat1 * kDeg, c.lon1 * kDeg, c.lat2 * kDeg, c.lon2 * kDeg, &s12,
                                     &azimuth1, &azimuth2));
        EXPECT_NEAR(s12, c.s12, kLength);
        if (c.m12 != 0.0) {
            EXPECT_LE(AngleError(azimuth1, c.azimuth1 * kDeg), AzimuthTolerance(c.m12));
            EXPECT_LE(AngleError(azimuth2, c.azimuth2 * kDeg), AzimuthTolerance(c.m12));
        }
        for (double a : {azimuth1, azimuth2}) {
            EXPECT_GT(a, -CONSTANT_Pi);
            EXPECT_LE(a, CONSTANT_Pi);
        }
    }
}

TEST(Geodesic, CoincidentPointsGiveLengthAndAzimuthsZero) {
    struct Case {
        double lat1, lon1, lat2, lon2;  // degrees
    };
    const Case cases[] = {
        {46, 7, 46, 7}, {46, 7, 46, 367}, {46, -180, 46, 180}, {-90, 0, -90, 0}, {0, 0, 0, -720},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lat1 << " " << c.lon1 << " to " << c.lat2 << " " << c.lon2);
        double s12 = 1.0, azimuth1 = 1.0, azimuth2 = 1.0;
        ASSERT_TRUE(geodesic_Inverse(kA, kF, c.lat1 * kDeg, c.lon1 * kDeg, c.lat2 * kDeg, c.lon2 * kDeg, &s12,
                                     &azimuth1, &azimuth2));
        EXPECT_EQ(s12, 0.0);
        EXPECT_EQ(azimuth1, 0.0);
        EXPECT_EQ(azimuth2, 0.0);
    }
    // A line of length 0 stays where it starts.
    double lat2 = 0.0, lon2 = 0.0, azimuth2 = 0.0;
    ASSERT_TRUE(geodesic_Direct(kA, kF, 46 * kDeg, 7 * kDeg, 0.3, 0.0, &lat2, &lon2, &azimuth2));
    EXPECT_NEAR(lat2, 46 * kDeg, 1e-15);
    EXPECT_NEAR(lon2, 7 * kDeg, 1e-15);
    EXPECT_NEAR(azimuth2, 0.3, 1e-15);
}

TEST(Geodesic, InputThatIsNotFiniteOrNoEllipsoidIsRefused) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    // a, f, then the line: (lat1, lon1, azimuth1 or lat2, s or lon2).
    const double good[6] = {kA, kF, 0.8, 0.1, 0.7, 1000.0};
    for (int i = 0; i < 6; ++i) {
        for (double bad : {nan, inf, -inf}) {
            SCOPED_TRACE(testing::Message() << "argument " << i << " = " << bad);
            double v[6];
            std::copy(good, good + 6, v);
            v[i] = bad;
            double x = 0.0, y = 0.0, z = 0.0;
            EXPECT_FALSE(geodesic_Direct(v[0], v[1], v[2], v[3], v[4], v[5], &x, &y, &z));
            EXPECT_FALSE(geodesic_Inverse(v[0], v[1], v[2], v[3], v[4], v[5], &x, &y, &z));
        }
    }
    // No ellipsoid: a semi-major axis of 0 or less, a flattening of 1 or more.
    double x = 0.0, y = 0.0, z = 0.0;
    for (const auto& [a, f] : {std::pair{0.0, kF}, std::pair{-kA, kF}, std::pair{kA, 1.0}, std::pair{kA, 1.5}}) {
        EXPECT_FALSE(geodesic_Direct(a, f, 0.8, 0.1, 0.7, 1000.0, &x, &y, &z)) << a << " " << f;
        EXPECT_FALSE(geodesic_Inverse(a, f, 0.8, 0.1, 0.7, 0.2, &x, &y, &z)) << a << " " << f;
    }
}

}  // namespace
