// Earth-centred conversions and the normal-section inverse against independent values:
// cartesian coordinates from PROJ (cct +proj=cart), geodesics from GeographicLib
// (GeodSolve -i) on the same ellipsoid.
#include <cmath>

#include <gtest/gtest.h>

#include "csib/geodesy.h"

namespace {

constexpr double kDeg = 3.141592653589793 / 180.0;
constexpr double kPi = 3.141592653589793;
constexpr double kWGS84A = 6378137.0, kWGS84B = 6356752.3142;
constexpr double kBesselA = 6377397.155, kBesselB = 6356078.962818189;

struct CartesianCase {
    double lat, lon, h;  // degrees, metres
    double x, y, z;
};

// cct -d 6 +proj=cart +a=6378137 +b=6356752.3142 (and +ellps=bessel).
constexpr CartesianCase kWGS84Cases[] = {
    {48.0, 9.0, 500.0, 4223407.068752, 668921.964847, 4717247.902480},
    {-33.2, -75.5, 10.0, 1337622.606659, -5172202.849201, -3472545.753517},
    {89.5, 179.9, -30.0, -55845.919765, 97.469616, 6356478.638520},
    {0.0, 0.0, 0.0, 6378137.000000, 0.0, 0.0},
    {-70.0, 135.25, 2500.0, -1554441.463709, 1540935.249189, -5973389.238623},
};
constexpr CartesianCase kBesselCases[] = {
    {48.0, 9.0, 500.0, 4222893.789100, 668840.669337, 4716769.604277},
    {-33.2, -75.5, 10.0, 1337463.426971, -5171587.347018, -3472202.451550},
    {89.5, 179.9, -30.0, -55838.879447, 97.457329, 6355805.317858},
    {-70.0, 135.25, 2500.0, -1554247.417673, 1540742.889178, -5972763.820117},
};

void ExpectCartesian(double a, double b, const CartesianCase& c) {
    SCOPED_TRACE(testing::Message() << c.lat << ", " << c.lon);
    const csib_GeodeticPoint point{c.lat * kDeg, c.lon * kDeg, c.h, 0.0, 1, 0};
    double x = 0, y = 0, z = 0;
    ASSERT_EQ(CSIB_Ok, csib_GeodeticToECEF(a, b, &point, &x, &y, &z));
    EXPECT_NEAR(c.x, x, 1e-4);
    EXPECT_NEAR(c.y, y, 1e-4);
    EXPECT_NEAR(c.z, z, 1e-4);

    csib_GeodeticPoint back{};
    ASSERT_EQ(CSIB_Ok, csib_ECEFToGeodetic(a, b, c.x, c.y, c.z, &back));
    EXPECT_NEAR(c.lat, back.latitude / kDeg, 1e-9);
    EXPECT_NEAR(c.lon, back.longitude / kDeg, 1e-9);
    EXPECT_NEAR(c.h, back.ellipsoidHeight, 1e-4);
    EXPECT_EQ(1, back.hasEllipsoidHeight);
}

TEST(Geodesy, CartesianBothWaysOnTwoEllipsoids) {
    for (const CartesianCase& c : kWGS84Cases) ExpectCartesian(kWGS84A, kWGS84B, c);
    for (const CartesianCase& c : kBesselCases) ExpectCartesian(kBesselA, kBesselB, c);
}

TEST(Geodesy, CartesianNeedsAnEllipsoidHeightAndTheZAxisHasLongitudeZero) {
    const csib_GeodeticPoint noHeight{0.5, 0.5, 100.0, 100.0, 0, 1};
    double x = 0, y = 0, z = 0;
    EXPECT_EQ(CSIB_ECEFNoHeight, csib_GeodeticToECEF(kWGS84A, kWGS84B, &noHeight, &x, &y, &z));

    for (double sign : {1.0, -1.0}) {
        csib_GeodeticPoint pole{};
        ASSERT_EQ(CSIB_Ok, csib_ECEFToGeodetic(kWGS84A, kWGS84B, 0.0, 0.0, sign * (kWGS84B + 25.0), &pole));
        EXPECT_EQ(0.0, pole.longitude);
        EXPECT_NEAR(sign * kPi / 2.0, pole.latitude, 1e-15);
        EXPECT_NEAR(25.0, pole.ellipsoidHeight, 1e-6);
    }
}

struct InverseCase {
    double lat1, lon1, lat2, lon2;  // degrees
    double azi1, azi2, s12;         // GeodSolve: azimuths at both ends, forward sense
    double distanceTolerance = 1e-6;
};

// GeodSolve -i -e 6378137 0.0033528106718309896 -p 9.
constexpr InverseCase kInverseCases[] = {
    {48.0, 9.0, 48.5, 9.7, 42.81599339472231, 43.33824142738410, 76114.505335865},
    {-33.2, -75.5, -33.9, -75.1, 154.54105976780724, 154.31998921268925, 86069.014593870},
    {0.0, 10.0, 0.4, 10.6, 56.48640960175405, 56.48850402468868, 80108.216636352},
    {0.3, 20.0, 0.0, 20.5, 120.79348311390441, 120.79479212221717, 64794.904740055},
    // The distance series stops at the cube of the section parameter: 2e-6 m here.
    {60.0, 25.0, 59.6, 23.8, -122.96648751410498, -124.00363321089640, 80768.055000994, 3e-6},
    {-10.0, 100.0, -10.0, 100.9, 90.07814324844786, 89.92185675155214, 98675.397070730},
    {45.0, -120.0, 45.001, -120.0, 0.0, 0.0, 111.131787186},
};

// The difference of two azimuths in (-pi, pi].
double AngleBetween(double x, double y) {
    double d = std::fmod(x - y, 2.0 * kPi);
    if (d > kPi) d -= 2.0 * kPi;
    if (d <= -kPi) d += 2.0 * kPi;
    return d;
}

TEST(Geodesy, NormalSectionInverseMatchesTheGeodesicUnder100Km) {
    for (const InverseCase& c : kInverseCases) {
        SCOPED_TRACE(testing::Message() << c.lat1 << ", " << c.lon1 << " -> " << c.lat2 << ", " << c.lon2);
        double s = 0, forward = 0, reverse = 0;
        csib_NormalSectionInverse(c.lat1 * kDeg, c.lon1 * kDeg, c.lat2 * kDeg, c.lon2 * kDeg, kWGS84A, kWGS84B, &s,
                                  &forward, &reverse);
        EXPECT_NEAR(c.s12, s, c.distanceTolerance);
        EXPECT_NEAR(0.0, AngleBetween(forward, c.azi1 * kDeg), 2e-6);
        EXPECT_NEAR(0.0, AngleBetween(reverse, c.azi2 * kDeg + kPi), 2e-6);
        EXPECT_GE(forward, 0.0);
        EXPECT_LE(forward, 2.0 * kPi);
        EXPECT_GE(reverse, 0.0);
        EXPECT_LE(reverse, 2.0 * kPi);
    }
}

TEST(Geodesy, NormalSectionInverseOnTheEquatorAndForOnePoint) {
    double s = 0, forward = 0, reverse = 0;
    csib_NormalSectionInverse(0.0, 0.0, 0.0, kPi / 2.0, kWGS84A, kWGS84B, &s, &forward, &reverse);
    EXPECT_EQ(kWGS84A * kPi / 2.0, s);
    EXPECT_EQ(kPi / 2.0, forward);
    EXPECT_EQ(3.0 * kPi / 2.0, reverse);
    csib_NormalSectionInverse(0.0, kPi / 2.0, 0.0, 0.0, kWGS84A, kWGS84B, &s, &forward, &reverse);
    EXPECT_EQ(3.0 * kPi / 2.0, forward);
    EXPECT_EQ(kPi / 2.0, reverse);

    csib_NormalSectionInverse(0.7, 0.2, 0.7, 0.2, kWGS84A, kWGS84B, &s, &forward, &reverse);
    EXPECT_EQ(0.0, s);
    EXPECT_EQ(0.0, forward);
    EXPECT_EQ(0.0, reverse);
    // Both on the north pole, whatever the longitudes.
    csib_NormalSectionInverse(kPi / 2.0, 0.2, kPi / 2.0, 1.3, kWGS84A, kWGS84B, &s, &forward, &reverse);
    EXPECT_EQ(0.0, s);
}

TEST(Geodesy, RadiiAndCopySign) {
    double m = 0, n = 0, r = 0;
    // At the equator M = b^2 / a and N = a; due east the section's radius is N.
    csib_RadiiOfCurvature(0.0, kPi / 2.0, &m, &n, &r, kWGS84A, kWGS84B);
    EXPECT_NEAR(kWGS84B * kWGS84B / kWGS84A, m, 1e-6);
    EXPECT_NEAR(kWGS84A, n, 1e-6);
    EXPECT_NEAR(n, r, 1e-6);
    csib_RadiiOfCurvature(0.0, 0.0, &m, &n, &r, kWGS84A, kWGS84B);
    EXPECT_NEAR(m, r, 1e-6);

    EXPECT_EQ(0.0, csib_CopySign(0.0, -1.0));
    EXPECT_EQ(2.0, csib_CopySign(2.0, 0.0));
    EXPECT_EQ(-2.0, csib_CopySign(2.0, -0.5));
    EXPECT_EQ(2.0, csib_CopySign(-2.0, -0.5));
}

}  // namespace
