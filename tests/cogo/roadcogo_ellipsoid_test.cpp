#include "cogo/roadcogo_ellipsoid.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kDeg = CONSTANT_Pi / 180.0;
constexpr double kArcSecond = kDeg / 3600.0;
constexpr double kNull = MATHS_Null;
const coordsys_Ellipsoid& kWGS84 = coordsys_WGS84Ellipsoid;

coord_Local Degrees(double lat, double lon) { return coord_Local(lat * kDeg, lon * kDeg, kNull); }

double W(const coord_Local& c) {
    double w = 0.0;
    roadcogo_EllipsoidW(kWGS84, c, &w);
    return w;
}

// Horizontal distance in metres between two nearby coordinates given in radians,
// precise enough for a tolerance.
double Separation(const coord_Local& p, double latDeg, double lonDeg) {
    const double dn = (p.Lat - latDeg * kDeg) * kWGS84.EarthRadius;
    const double de = std::remainder(p.Long - lonDeg * kDeg, CONSTANT_TwoPi) * kWGS84.EarthRadius * std::cos(p.Lat);
    return std::hypot(dn, de);
}

double AngleError(double a, double b) { return std::fabs(std::remainder(a - b, CONSTANT_TwoPi)); }

struct Line {
    double lat1, lon1, azimuth, distance;    // degrees, metres
    double lat2, lon2, azimuth2;             // the geodesic's end and its azimuth there
    double tolerance;                        // of the direct point, metres
    double inverseDistance, inverseAzimuth;  // of the inverse, metres and arc-seconds
};

// GeodSolve -p 12 on a = 6378137 and f = 0.0033528106718309905 (our WGS-84 double).
// 45.836623610465864 and 40.10704565915762 degrees are 0.8 and 0.7 rad;
// 17.188733853924695 degrees is 0.3 rad.
const Line kLines[] = {
    {46, 7, 40, 1000, 46.006891600579770, 7.008298993640412, 40.005970143141631, 1e-5, 1e-6, 0.001},
    {46, 7, 40, 10000, 46.068888470684094, 7.083082795060590, 40.059799462054997, 1e-5, 1e-6, 0.001},
    {46, 7, 40, 100000, 46.686087177818202, 7.840237674913261, 40.607916296044053, 0.01, 1e-6, 0.02},
    {45.836623610465864, 17.188733853924695, 40.10704565915762, 1000, 45.843504592648678, 17.197026929565801,
     40.112995094433373, 1e-5, 1e-6, 0.001},
    {45.836623610465864, 17.188733853924695, 40.10704565915762, 10000, 45.905405931686609, 17.271756730226855,
     40.166637349636481, 1e-5, 1e-6, 0.001},
    {45.836623610465864, 17.188733853924695, 40.10704565915762, 100000, 46.521653000729685, 18.028296780716737,
     40.712813227969313, 0.01, 1e-6, 0.02},
    {-33.9, 151.2, 250, 10000, -33.930792691648556, 151.098367252799932, -109.943292154042368, 1e-5, 1e-6, 0.001},
    {-33.9, 151.2, 250, 100000, -34.204123894855179, 150.180391763192659, -109.429062059511878, 0.01, 1e-6, 0.02},
    {0, 0, 170, 100000, -0.890628244525192, 0.156003293104459, 169.998787486241270, 0.01, 1e-6, 0.02},
    // Close past a pole: the longitude turns by more than a quarter turn.
    {89.9, 10, 30, 50000, 89.635505167770830, 152.115669493011325, 172.115474167629202, 1e-5, 1e-6, 0.001},
    {-89.95, -170, 150, 20000, -89.861957918534358, -30.434052606805153, 10.434091671797182, 1e-5, 1e-6, 0.001},
    // A short-line series: 1,000 km is far beyond its reach (about 6 m off).
    {46, 7, 40, 1000000, 52.530712358951384, 16.476333140056006, 47.199268355789762, 7.0, 5e-5, 1.3},
};

TEST(EllipsoidSeries, W) {
    // sqrt(1 - e^2 sin^2(latitude)).
    struct Case { double lat, w; };
    const Case cases[] = {
        {46.0, 0.9982664948556711},
        {45.836623610465864, 0.9982760508239972},
        {0.0, 1.0},
        {90.0, 0.996647189328169},
        {-90.0, 0.996647189328169},
    };
    for (const Case& c : cases) EXPECT_NEAR(W(Degrees(c.lat, 0.0)), c.w, 1e-15) << c.lat;
    EXPECT_TRUE(maths_IsNull(W(coord_Local())));
    double w = 0.0;
    roadcogo_EllipsoidW(coordsys_Ellipsoid(), Degrees(46, 7), &w);
    EXPECT_TRUE(maths_IsNull(w));
}

TEST(EllipsoidSeries, DirectAgainstTheGeodesic) {
    for (const Line& l : kLines) {
        SCOPED_TRACE(testing::Message() << l.lat1 << " " << l.lon1 << " " << l.azimuth << " " << l.distance);
        const coord_Local start = Degrees(l.lat1, l.lon1);
        coord_Local end(kNull, kNull, 123.0);
        roadcogo_EllipsoidDirect(start, l.azimuth * kDeg, l.distance, kWGS84, W(start), &end);
        EXPECT_LE(Separation(end, l.lat2, l.lon2), l.tolerance);
        EXPECT_EQ(end.Height, 123.0);  // only latitude and longitude are written
        EXPECT_TRUE(end.IsInRange());
    }
}

TEST(EllipsoidSeries, InverseAgainstTheGeodesic) {
    // From each start to the geodesic's end point: GeodSolve -i gives the line's
    // distance and azimuth back to 1e-9 m and 1e-8". The mean azimuth is compared with
    // the mean of the geodesic's azimuths at both ends.
    for (const Line& l : kLines) {
        SCOPED_TRACE(testing::Message() << l.lat1 << " " << l.lon1 << " " << l.azimuth << " " << l.distance);
        const coord_Local p1 = Degrees(l.lat1, l.lon1), p2 = Degrees(l.lat2, l.lon2);
        double mean = 0.0, azimuth = 0.0, distance = 0.0;
        roadcogo_EllipsoidInverse(kWGS84, p1, W(p1), p2, W(p2), &mean, &azimuth, &distance);
        EXPECT_NEAR(distance, l.distance, l.inverseDistance);
        EXPECT_LE(AngleError(azimuth, l.azimuth * kDeg), l.inverseAzimuth * kArcSecond);
        const double geodesicMean = l.azimuth * kDeg + std::remainder((l.azimuth2 - l.azimuth) * kDeg, CONSTANT_TwoPi) / 2;
        EXPECT_LE(AngleError(mean, geodesicMean), l.inverseAzimuth * kArcSecond);
        for (double a : {mean, azimuth}) {
            EXPECT_GE(a, 0.0);
            EXPECT_LT(a, CONSTANT_TwoPi);
        }
    }
}

TEST(EllipsoidSeries, DirectThenInverseReturnsTheLine) {
    const coord_Local start(0.8, 0.3, kNull);
    coord_Local end;
    roadcogo_EllipsoidDirect(start, 0.7, 1000.0, kWGS84, W(start), &end);
    double mean = 0.0, azimuth = 0.0, distance = 0.0;
    roadcogo_EllipsoidInverse(kWGS84, start, W(start), end, W(end), &mean, &azimuth, &distance);
    EXPECT_NEAR(distance, 1000.0, 0.001);
    EXPECT_LE(AngleError(azimuth, 0.7), 0.01 * kArcSecond);

    // Backwards along the same line: the azimuth turned by pi.
    double back = 0.0;
    roadcogo_EllipsoidInverse(kWGS84, end, W(end), start, W(start), &mean, &back, &distance);
    EXPECT_NEAR(distance, 1000.0, 0.001);
    coord_Local again;
    roadcogo_EllipsoidDirect(end, back, 1000.0, kWGS84, W(end), &again);
    EXPECT_LE(Separation(again, 0.8 / kDeg, 0.3 / kDeg), 0.001);
}

TEST(EllipsoidSeries, AnglesGivenInZeroToTwoPi) {
    // Coordinate geometry hands latitudes and longitudes over normalised to [0, 2pi).
    const coord_Local south = Degrees(-33.9, -151.2);
    const coord_Local turned(south.Lat + CONSTANT_TwoPi, south.Long + CONSTANT_TwoPi, kNull);
    coord_Local a, b;
    roadcogo_EllipsoidDirect(south, 1.2, 5000.0, kWGS84, W(south), &a);
    roadcogo_EllipsoidDirect(turned, 1.2, 5000.0, kWGS84, W(turned), &b);
    EXPECT_NEAR(a.Lat, b.Lat, 1e-14);
    EXPECT_NEAR(a.Long, b.Long, 1e-14);
    EXPECT_LT(b.Lat, 0.0);

    const coord_Local end(b.Lat + CONSTANT_TwoPi, b.Long + CONSTANT_TwoPi, kNull);
    double mean = 0.0, azimuth = 0.0, distance = 0.0;
    roadcogo_EllipsoidInverse(kWGS84, turned, W(turned), end, W(end), &mean, &azimuth, &distance);
    EXPECT_NEAR(distance, 5000.0, 1e-6);
    EXPECT_LE(AngleError(azimuth, 1.2), 0.001 * kArcSecond);
}

TEST(EllipsoidSeries, InverseWithoutAnAnswer) {
    double mean = 1.0, azimuth = 1.0, distance = 1.0;
    const coord_Local p = Degrees(46, 7);

    // Coincident points, exactly and within 1e-13 rad: no azimuth.
    for (const coord_Local& q : {p, coord_Local(p.Lat + 5e-14, p.Long - 5e-14, 0.0)}) {
        roadcogo_EllipsoidInverse(kWGS84, p, W(p), q, W(q), &mean, &azimuth, &distance);
        EXPECT_EQ(distance, 0.0);
        EXPECT_TRUE(maths_IsNull(mean) && maths_IsNull(azimuth));
    }

    // Beyond a quarter great circle the series has no answer: this line's geodesic is
    // 18,930,612.5 m long, not the 1,089,940 m an arcsine would fold it into.
    const coord_Local q(-0.2, 3.0, kNull), r(0.1, 0.0, kNull);
    roadcogo_EllipsoidInverse(kWGS84, r, W(r), q, W(q), &mean, &azimuth, &distance);
    EXPECT_TRUE(maths_IsNull(distance) && maths_IsNull(mean) && maths_IsNull(azimuth));

    // A null input, or a null ellipsoid.
    const coord_Local halfNull(0.8, kNull, kNull);
    roadcogo_EllipsoidInverse(kWGS84, p, W(p), halfNull, 0.998, &mean, &azimuth, &distance);
    EXPECT_TRUE(maths_IsNull(distance) && maths_IsNull(mean) && maths_IsNull(azimuth));
    const coord_Local near = Degrees(46.01, 7);
    roadcogo_EllipsoidInverse(coordsys_Ellipsoid(), p, W(p), near, W(near), &mean, &azimuth, &distance);
    EXPECT_TRUE(maths_IsNull(distance));
    roadcogo_EllipsoidInverse(kWGS84, p, kNull, near, W(near), &mean, &azimuth, &distance);
    EXPECT_TRUE(maths_IsNull(distance));
}

TEST(EllipsoidSeries, DirectWithANullInput) {
    const coord_Local start = Degrees(46, 7);
    coord_Local end(1.0, 1.0, 5.0);
    roadcogo_EllipsoidDirect(start, kNull, 1000.0, kWGS84, W(start), &end);
    EXPECT_TRUE(end.IsHorizontalNull());
    EXPECT_EQ(end.Height, 5.0);
    end = coord_Local(1.0, 1.0, 5.0);
    roadcogo_EllipsoidDirect(coord_Local(0.8, kNull, 0.0), 0.7, 1000.0, kWGS84, 0.998, &end);
    EXPECT_TRUE(end.IsHorizontalNull());
    end = coord_Local(1.0, 1.0, 5.0);
    roadcogo_EllipsoidDirect(start, 0.7, 1000.0, coordsys_Ellipsoid(), W(start), &end);
    EXPECT_TRUE(end.IsHorizontalNull());
}

TEST(EllipsoidSeries, NearlyEqual) {
    struct Case { double a, b; bool equal; };
    const Case cases[] = {
        {0.5, 0.5 + 5e-14, true},
        {0.5, 0.5 - 2e-13, false},
        {-3.0, -3.0, true},
        {kNull, kNull, true},
        {kNull, 1.0, false},
        // Exact against a null: a neighbour of 1e308 that also counts as null differs.
        {kNull, std::nextafter(kNull, 0.0), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(roadcogo_NearlyEqual(c.a, c.b), c.equal) << c.a << " " << c.b;
        EXPECT_EQ(roadcogo_NearlyEqual(c.b, c.a), c.equal) << c.a << " " << c.b;
    }
}

}  // namespace
