#include "cogo/roadcogo_ellipsoid.h"

#include <gtest/gtest.h>

#include <algorithm>
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

const coordsys_Ellipsoid kClarke1880(6378249.145, 0.003407561308111843);  // 1 / 293.465
const coordsys_Ellipsoid kBessel(6377397.155, 0.0033427731821747);        // 1 / 299.1528128

struct Geodesic {
    const coordsys_Ellipsoid& ellipsoid;
    double lat1, lon1, lat2, lon2;  // degrees
    double distance;                // metres
    double azimuth1, azimuth2;      // degrees, the forward azimuth at both ends
    double reducedLength;           // m12, metres: how far the end moves per radian of azimuth1
};

// GeodSolve -i -f -p 12 with -e a f of each ellipsoid (WGS-84 with our flattening
// double, 0.0033528106718309905), on end points that GeodSolve's direct gave for round
// azimuths and distances: lines from 1 m to 19,500 km in every octant, from both
// hemispheres, on either side of the series' reach (5 km, 89.9 degrees of latitude),
// near and over the poles, along and across the equator, on two more ellipsoids, and
// near the antipode, where exactly antipodal points have two equally short lines and
// GeodSolve takes the northward one.
const Geodesic kGeodesics[] = {
    {kWGS84, 46, 7, 46.000008860063595, 7.000002241683577, 1.0000000004, 9.999999992390430, 10.000001604922767, 1.0000000003},
    {kWGS84, -33.9, 151.2, -33.899954922667021, 151.200093631502853, 9.9999999996, 59.999999998338893, 59.999947775856711, 9.9999999997},
    {kWGS84, 12.5, -75.3, 12.499843030232233, -75.299093995481996, 99.9999999994, 100.000000000035953, 100.000196094092416, 99.9999999948},
    {kWGS84, -61.2, -20.4, -61.208837667771498, -20.396769449781978, 999.9999999995, 170.000000000002899, 169.997168927237340, 999.9999959168},
    {kWGS84, 46, 7, 45.957735296516532, 6.977944933322198, 4999.0000000006, -159.999999999999147, -160.015859436622776, 4998.9994883002},
    {kWGS84, -33.9, 151.2, -33.915409927266623, 151.149182601965293, 5000.9999999997, -110.000000000005912, -109.971651171400765, 5000.9994862666},
    {kWGS84, 12.5, -75.3, 12.530902790324443, -75.386460279226952, 10000.0000000005, -70.000000000003325, -70.018736196592741, 9999.9958780287},
    {kWGS84, -61.2, -20.4, -60.355211587938747, -21.019580145510808, 100000.0000000007, -20.000000000000114, -19.459257028266574, 99995.9174385386},
    {kWGS84, 46, 7, 54.825576776609594, 9.691743273362704, 999999.9999999995, 10.000000000000009, 12.080739953850729, 995913.1816472582},
    {kWGS84, -33.9, 151.2, -17.932416616923071, 175.554875371617328, 2999999.9999999995, 60.000000000000014, 49.118271398055434, 2890160.5644099270},
    {kWGS84, 12.5, -75.3, -9.822748004450979, 12.358905590302896, 10000000.0000000000, 100.000000000000000, 102.623720598244745, 6357118.5374179641},
    {kWGS84, -61.2, -20.4, 16.441650096160473, 152.203672364392304, 15000000.0000000000, 170.000000000000000, 5.015423635397379, 4535868.5504224431},
    {kWGS84, 46, 7, -54.358636901122601, -167.599077343249945, 19000000.0000000000, -160.000000000000000, -24.049905451919855, 1021330.1585052841},
    {kWGS84, -33.9, 151.2, -33.900008878494340, 151.200001877421840, 1.0000000011, 169.999999949685190, 169.999998902562226, 1.0000000006},
    {kWGS84, 12.5, -75.3, 12.457536489558782, -75.315726901695101, 4999.0000000002, -160.000000000006651, -160.003398234877750, 4998.9994850606},
    {kWGS84, -61.2, -20.4, -61.215321374888021, -20.487445680939945, 5000.9999999995, -109.999999999994600, -109.923365129594217, 5000.9994894106},
    {kWGS84, 46, 7, 46.061283136775579, 6.757115168930687, 20000.0000000000, -70.000000000000199, -70.174807084424231, 19999.9672319347},
    {kWGS84, -33.9, 151.2, -16.773595323464122, 144.876067752288918, 2000000.0000000002, -19.999999999999989, -17.260855635449019, 1967247.8778545123},
    {kWGS84, 12.5, -75.3, 58.141033497041072, 86.443070036000236, 12000000.0000000019, 9.999999999999995, 161.309227753253282, 6087418.1307843821},
    {kWGS84, -61.2, -20.4, 65.224687729596099, 119.916497890914258, 18000000.0000000000, 59.999999999999986, 84.500020112064803, 1965019.4413096083},
    {kWGS84, 46, 7, -46.591369565024330, -179.693110623162340, 19500000.0000000000, 99.999999999999957, 84.541939542972713, 488215.6044274780},
    {kWGS84, 89.95, -170, 89.933883903187322, -162.217447889736917, 1999.9999999998, 149.999999999997840, 157.782548203762360, 1999.9999674436},
    {kWGS84, -89.99, 35, -89.985711186027473, 41.151102223751622, 500.0000000004, 19.999999999990081, 13.848897909848560, 499.9999994917},
    {kWGS84, 89.9999, 10, 89.999065756700233, -54.227240276984489, 100.0000000000, -110.000000000000256, -174.227240276250569, 99.9999999959},
    {kWGS84, 89.91, 10, 89.938356271729333, 26.886501057485873, 4000.0000000000, 29.999999999999730, 46.886486994092223, 3999.9997395503},
    {kWGS84, 89.89, 10, 89.919009999072699, 22.773057407600731, 3999.9999999997, 30.000000000004214, 42.773040219012053, 3999.9997395499},
    {kWGS84, 89.9, 10, 89.635505167770830, 152.115669493011325, 50000.0000000002, 30.000000000000028, 172.115474167629259, 49999.4913105877},
    {kWGS84, -89.95, -170, -89.861957918534358, -30.434052606805153, 19999.9999999993, 150.000000000000398, 10.434091671797541, 19999.9674437970},
    {kWGS84, -88, 45, -64.996172963261628, -113.543578480795304, 3000000.0000000005, -160.000000000000028, -1.619199445837105, 2891250.9651979012},
    {kWGS84, 0, 0, 0.000000000000000, 89.831528411952135, 9999999.9999999981, 90.000000000000000, 90.000000000000000, 6356734.9994648974},
    {kWGS84, 0, 0, 9.078490493622500, 180.000000000000000, 19000000.0000000000, 0.000000000000000, 180.000000000000000, 1066053.9368505266},
    {kWGS84, 0, 0, -0.890628244525192, 0.156003293104459, 100000.0000000000, 170.000000000000028, 169.998787486241270, 99995.8754898692},
    {kClarke1880, 5.5, -0.2, 16.249937977348900, 19.950246706555291, 2500000.0000000009, 60.000000000000021, 63.857187368073184, 2436078.3977268343},
    {kClarke1880, -26, 28, 38.930465019620797, -99.984186704769272, 15000000.0000000000, -60.000000000000014, -90.758925111074902, 4490539.9995748559},
    {kBessel, 52, 13, 45.181965616765794, 9.525303067036599, 800000.0000000005, -160.000000000000000, -162.611025042980771, 797905.2560661298},
    {kBessel, 35.7, 139.7, -36.784064508295160, -62.822655379865296, 18000000.0000000037, 100.000000000000028, 93.136922944264654, 1948101.1081443566},
    {kWGS84, 30.000000000000, 0.000000000000, -30.000000000000, 180.000000000000, 20003931.4585545361, 0.000000000000000, 180.000000000000000, 50428.6063937221},
    {kWGS84, 30.000000000000, 0.000000000000, -29.900000000000, 179.800000000000, 19989832.8275438584, 18.109475232185140, 161.909262785713338, 57277.3770036393},
    {kWGS84, -40.000000000000, 20.000000000000, 40.300000000000, -160.200000000000, 19968633.8735989816, 13.363222018169489, 166.576755699174555, 71462.0412288483},
    {kWGS84, 0.000000000000, 0.000000000000, 0.000000000000, 180.000000000000, 20003931.4585545361, 0.000000000000000, 180.000000000000000, 67125.6124402012},
    {kWGS84, 0.000000000000, 0.000000000000, 0.000000000000, 179.500000000000, 19980861.9088687338, 55.966494961175734, 124.033505038824273, 21062.7466445523},
    {kWGS84, 0.000000000000, 0.000000000000, 0.500000000000, 179.700000000000, 19944127.4206854030, 15.556882776065340, 164.442513908280858, 119695.0061102049},
    {kWGS84, 0.010000000000, 5.000000000000, -0.020000000000, -175.010000000000, 20002816.6349160485, 179.065179799042198, 0.934820243389993, 68213.6748177439},
    {kWGS84, 10.000000000000, 0.000000000000, -10.001000000000, 179.500000000000, 19980801.9119431004, 122.986682667916483, 57.013587241106542, 19537.4005169629},
    {kWGS84, -5.000000000000, 100.000000000000, 5.000100000000, -80.200000000000, 20000229.0100279711, 19.441509638998195, 160.558487293399111, 59266.7710893305},
    {kWGS84, 5.729577951308, 0.000000000000, -11.459155902616, 171.887338539247, 18930612.5010410920, 127.530128629940720, 53.614170355254579, 1071300.6997493664},
    {kWGS84, 0.000000000000, 0.000000000000, 0.000000000000, 100.000000000000, 11131949.0793273561, 90.000000000000000, 90.000000000000000, 6253589.9681885922},
    // Crossing the equator at a shallow angle, where the longitude reached hangs on the
    // cosine of an azimuth near 90 degrees; and all but meridional near the antipode.
    {kWGS84, 0.000198068109, -85.655657288, -0.000198068109, 24.825900543255, 12298750.7598749157, 90.000136044626814, 90.000136044626814, 5940355.6634973334},
    {kWGS84, -12.406089040609, -115.524232703229, 12.406090356389, 64.475767308456, 20003931.3129956573, -0.000001136652245, -179.999998863347741, 64047.3077280114},
    // Short lines ending within 5 mm of the equator, where the series' spherical
    // latitude all but vanishes while the latitude does not: heading nearly east or
    // west from it, and crossing it from up to 4.5 km away to end where the latitude
    // is about -e^2 times the start's; and two 11 m from it.
    {kWGS84, 1e-9, 28, 0.000000002578422, 28.008983152841196, 1000.0000000001, 89.999990000003081, 89.999990000003365, 999.9999958756},
    {kWGS84, 0, 28, -0.000000001578422, 28.008983152841196, 1000.0000000001, 90.000009999996834, 90.000009999996720, 999.9999958756},
    {kWGS84, 7e-7, 86.5, -0.000000004607834, 86.479949602870661, 2232.0000000007, -90.002000000000464, -90.002000000122138, 2231.9999541379},
    {kWGS84, -2.2e-6, -135.8, 0.000000009791792, -135.835932611297750, 4000.0000000000, -89.996500000000708, -89.996499999313926, 3999.9997360278},
    {kWGS84, -1.9e-6, 162.2, 0.000000013679435, 162.192220589871738, 866.0000000012, -89.986000000001624, -89.985999999873570, 865.9999973224},
    {kWGS84, -9.8e-7, -87.8, 0.000000006119511, -87.777092960275894, 2549.9999999997, 89.997549999999521, 89.997549999804846, 2549.9999316088},
    {kWGS84, 0.03, 10, -0.000202184659944, 10.000000000000000, 3339.5847000000, 180.000000000000000, 180.000000000000000, 3339.5845463772},
    {kWGS84, -0.04, 141.4, 0.000269580145706, 141.397202927729523, 4463.6529000000, -4.000000000003245, -3.999999030220990, 4463.6525331830},
    {kWGS84, 0.02, -60, -0.000134790049671, -59.988452994937688, 2570.8135000001, 149.999999999998153, 150.000002001748413, 2570.8134299207},
    {kWGS84, 1e-4, 28, -0.000294600607508, 28.044914053951540, 4999.9999999999, 90.500000000000057, 90.499999923726520, 4999.9994844293},
    {kWGS84, -1e-4, -10, -0.000178905261807, -10.044906712656417, 4999.0000000000, -90.100000000000264, -90.099999890701469, 4998.9994847386},
};

// The series answers within 0.01 mm of the geodesic, the geodesic beyond its reach
// within 0.1 mm; azimuths within 0.001", or within what moves the end by 0.1 mm where
// that is more (near the antipode the end hardly moves with the azimuth).
double PositionTolerance(double distance) { return distance <= 5000.0 ? 1e-5 : 1e-4; }
double AzimuthTolerance(const Geodesic& g) {
    return std::max(0.001 * kArcSecond, 1e-4 / std::fabs(g.reducedLength));
}

TEST(RoadcogoEllipsoid, W) {
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

TEST(RoadcogoEllipsoid, DirectAgainstTheGeodesic) {
    for (const Geodesic& g : kGeodesics) {
        SCOPED_TRACE(testing::Message() << g.lat1 << " " << g.lon1 << " " << g.azimuth1 << " " << g.distance);
        const coord_Local start = Degrees(g.lat1, g.lon1);
        coord_Local end(kNull, kNull, 123.0);
        double w = 0.0;
        roadcogo_EllipsoidW(g.ellipsoid, start, &w);
        roadcogo_EllipsoidDirect(start, g.azimuth1 * kDeg, g.distance, g.ellipsoid, w, &end);
        EXPECT_LE(Separation(end, g.lat2, g.lon2), PositionTolerance(g.distance));
        EXPECT_EQ(end.Height, 123.0);  // only latitude and longitude are written
        EXPECT_TRUE(end.IsInRange());
    }
}

TEST(RoadcogoEllipsoid, InverseAgainstTheGeodesic) {
    // The mean azimuth is compared with the mean of the geodesic's azimuths at both
    // ends, where the line does not run over a pole.
    for (const Geodesic& g : kGeodesics) {
        SCOPED_TRACE(testing::Message() << g.lat1 << " " << g.lon1 << " to " << g.lat2 << " " << g.lon2);
        const coord_Local p1 = Degrees(g.lat1, g.lon1), p2 = Degrees(g.lat2, g.lon2);
        double w1 = 0.0, w2 = 0.0;
        roadcogo_EllipsoidW(g.ellipsoid, p1, &w1);
        roadcogo_EllipsoidW(g.ellipsoid, p2, &w2);
        double mean = kNull, azimuth = kNull, distance = kNull;
        roadcogo_EllipsoidInverse(g.ellipsoid, p1, w1, p2, w2, &mean, &azimuth, &distance);
        EXPECT_NEAR(distance, g.distance, PositionTolerance(g.distance));
        EXPECT_LE(AngleError(azimuth, g.azimuth1 * kDeg), AzimuthTolerance(g));
        const double turn = std::remainder((g.azimuth2 - g.azimuth1) * kDeg, CONSTANT_TwoPi);
        if (std::fabs(turn) < CONSTANT_Pi - 1e-6) {
            EXPECT_LE(AngleError(mean, g.azimuth1 * kDeg + turn / 2), AzimuthTolerance(g));
        }
        for (double a : {mean, azimuth}) {
            EXPECT_GE(a, 0.0);
            EXPECT_LT(a, CONSTANT_TwoPi);
        }
    }
}

TEST(RoadcogoEllipsoid, SeriesKeptWithinItsReach) {
    // Lines up to 5 km clear of the poles are the series' own, to the last bits as the
    // series gave them before the geodesic took over longer lines. The geodesic's
    // points differ from these by up to 8e-14 rad (0.5 micrometres).
    struct Short {
        double lat, lon, azimuth, distance;         // degrees, metres
        double lat2, lon2;                          // radians
        double inverseDistance, azimuth1, mean;     // back from the end: metres, radians
    };
    const Short lines[] = {
        {46, 7, 40, 4999, 0.80345263457858318, 0.1228974863632353, 4998.9999999997253, 0.69813170079778086,
         0.69839233524073618},
        {-33.9, 151.2, 250, 2500, -0.59180111234160138, 2.6384944921343694, 2499.9999999990951, 4.3633231299862807,
         4.36344677684888},
        {89.8, -20, 300, 4000, 1.5675724207899109, -0.5177672034581895, 3999.999999967099, 5.2359877559608554,
         5.1516375518051554},
        {0.5, -179.99, 95, 1234.5, 0.0087096632678286667, -3.1412252981069626, 1234.4999999992929,
         1.6580627893946707, 1.6580636299124754},
    };
    for (const Short& l : lines) {
        SCOPED_TRACE(testing::Message() << l.lat << " " << l.lon << " " << l.azimuth << " " << l.distance);
        const coord_Local start = Degrees(l.lat, l.lon);
        coord_Local end;
        roadcogo_EllipsoidDirect(start, l.azimuth * kDeg, l.distance, kWGS84, W(start), &end);
        EXPECT_DOUBLE_EQ(end.Lat, l.lat2);
        EXPECT_DOUBLE_EQ(end.Long, l.lon2);
        double mean = kNull, azimuth = kNull, distance = kNull;
        roadcogo_EllipsoidInverse(kWGS84, start, W(start), end, W(end), &mean, &azimuth, &distance);
        EXPECT_DOUBLE_EQ(distance, l.inverseDistance);
        EXPECT_DOUBLE_EQ(azimuth, l.azimuth1);
        EXPECT_DOUBLE_EQ(mean, l.mean);
    }
}

TEST(RoadcogoEllipsoid, DirectBackwards) {
    // A negative distance runs along the opposite azimuth, beyond the series as within.
    const coord_Local start = Degrees(-33.9, 151.2);
    for (double distance : {2000.0, 100000.0, 12000000.0}) {
        coord_Local back, turned;
        roadcogo_EllipsoidDirect(start, 1.2, -distance, kWGS84, W(start), &back);
        roadcogo_EllipsoidDirect(start, 1.2 + CONSTANT_Pi, distance, kWGS84, W(start), &turned);
        EXPECT_LE(Separation(back, turned.Lat / kDeg, turned.Long / kDeg), 1e-6) << distance;
    }
}

TEST(RoadcogoEllipsoid, DirectThenInverseReturnsTheLine) {
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

TEST(RoadcogoEllipsoid, AnglesGivenInZeroToTwoPi) {
    // Coordinate geometry hands latitudes and longitudes over normalised to [0, 2pi).
    const coord_Local south = Degrees(-33.9, -151.2);
    const coord_Local turned(south.Lat + CONSTANT_TwoPi, south.Long + CONSTANT_TwoPi, kNull);
    for (double length : {5000.0, 3000000.0}) {
        SCOPED_TRACE(length);
        coord_Local a, b;
        roadcogo_EllipsoidDirect(south, 1.2, length, kWGS84, W(south), &a);
        roadcogo_EllipsoidDirect(turned, 1.2, length, kWGS84, W(turned), &b);
        EXPECT_NEAR(a.Lat, b.Lat, 1e-14);
        EXPECT_NEAR(a.Long, b.Long, 1e-14);
        EXPECT_LT(b.Lat, 0.0);

        const coord_Local end(b.Lat + CONSTANT_TwoPi, b.Long + CONSTANT_TwoPi, kNull);
        double mean = 0.0, azimuth = 0.0, distance = 0.0;
        roadcogo_EllipsoidInverse(kWGS84, turned, W(turned), end, W(end), &mean, &azimuth, &distance);
        EXPECT_NEAR(distance, length, 1e-6);
        EXPECT_LE(AngleError(azimuth, 1.2), 0.001 * kArcSecond);
    }

    // Exactly antipodal points stay so through [0, 2pi), and keep the northward of
    // their two lines: GeodSolve gives 20,003,931.4585545361 m at azimuth 0.
    const coord_Local p = Degrees(30, 10), q = Degrees(-30, -170);
    const coord_Local p2(p.Lat, p.Long, kNull), q2(q.Lat + CONSTANT_TwoPi, q.Long + CONSTANT_TwoPi, kNull);
    double mean = 0.0, azimuth = 0.0, distance = 0.0;
    roadcogo_EllipsoidInverse(kWGS84, p2, W(p2), q2, W(q2), &mean, &azimuth, &distance);
    EXPECT_NEAR(distance, 20003931.4585545361, 1e-4);
    EXPECT_LE(AngleError(azimuth, 0.0), 0.001 * kArcSecond);
}

TEST(RoadcogoEllipsoid, InverseWithoutAnAnswer) {
    double mean = 1.0, azimuth = 1.0, distance = 1.0;
    const coord_Local p = Degrees(46, 7);

    // Coincident points, exactly and within 1e-13 rad: no azimuth.
    for (const coord_Local& q : {p, coord_Local(p.Lat + 5e-14, p.Long - 5e-14, 0.0)}) {
        roadcogo_EllipsoidInverse(kWGS84, p, W(p), q, W(q), &mean, &azimuth, &distance);
        EXPECT_EQ(distance, 0.0);
        EXPECT_TRUE(maths_IsNull(mean) && maths_IsNull(azimuth));
    }

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

TEST(RoadcogoEllipsoid, DirectWithANullInput) {
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

TEST(RoadcogoEllipsoid, NearlyEqual) {
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
