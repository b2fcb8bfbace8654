// The conic, cylindrical, oblique and stereographic kinds against PROJ 9 (proj -V,
// +x_0=0 +y_0=0, on the block's a and b): forward within 1 mm, the inverse of PROJ's
// grid values within 1e-9 degrees, scale within 1e-8 and convergence within 1e-8
// degrees where the kind gives them. Unrectified oblique Mercator rows are PROJ's
// +no_rot x and y as north and east; UPS rows are less the 2000000 m false origin.
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "csib/csib.h"
#include "csib/image.h"
#include "csib/pipeline.h"
#include "csib/projection.h"
#include "csib/projection_records.h"
#include "csib_fixtures.h"

namespace {

using csibtest::BlockHolder;

constexpr double kDegree = 3.141592653589793 / 180.0;
constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
constexpr double kWGS84A = 6378137.0;
constexpr double kWGS84B = 6356752.3142;
constexpr double kBesselA = 6377397.155;  // 1/f 299.1528128
constexpr double kBesselB = 6356078.9628181886;
constexpr double kKrassowskyA = 6378245.0;  // 1/f 298.3
constexpr double kKrassowskyB = 6356863.0187730473;

// A saved part: the bytes, then angles given in degrees as f64 radians.
std::vector<uint8_t> Saved(std::initializer_list<uint8_t> bytes, std::initializer_list<double> degrees) {
    std::vector<uint8_t> part(bytes);
    for (double d : degrees) {
        uint8_t raw[8];
        csib_PutDouble(raw, d * kDegree);
        part.insert(part.end(), raw, raw + 8);
    }
    return part;
}

struct Point {
    double latitude, longitude;  // degrees
    double north, east;
    double k;      // kNone where PROJ gives none
    double gamma;  // degrees
};

struct Case {
    const char* name;
    uint8_t kind;
    double a, b;
    double latitude0, longitude0, k0;  // degrees
    std::vector<uint8_t> saved;
    bool convergence;  // the kind gives one to compare
    std::vector<Point> points;
};

const Case kCases[] = {
    // +proj=aea +lat_1=29.5 +lat_2=45.5 +lat_0=23 +lon_0=-96
    {"Albers", 1, kWGS84A, kWGS84B, 23, -96, 1, Saved({}, {29.5, 45.5}), false,
     {
        {23, -96, 0.0, 0.0, 1.01907949, 0.0},
        {25, -94, 220270.3603316, 204351.7469485, 1.01221718, 1.20580554},
        {26, -99, 332517.0328794, -303039.6412959, 1.00911206, -1.80870831},
        {21, -93.5, -213000.1347298, 266861.4048698, 1.02680064, 1.50725692},
        {20.5, -98.7, -266252.4779542, -289734.7504142, 1.02886420, -1.62783748},
     }},
    // +proj=aea +lat_1=40 +lat_2=40 +lat_0=38 +lon_0=10
    {"Albers, equal parallels", 1, kWGS84A, kWGS84B, 38, 10, 1, Saved({}, {40, 40}), false,
     {
        {38, 10, 0.0, 0.0, 1.00058994, 0.0},
        {40, 12, 223903.0124689, 170773.3839846, 1.00000000, 1.28557522},
        {36, 8, -219627.5242332, -180726.7798085, 1.00229898, -1.28557522},
     }},
    // +proj=aea +lat_1=-18 +lat_2=-36 +lat_0=-32 +lon_0=132
    {"Albers, southern cone", 1, kWGS84A, kWGS84B, -32, 132, 1, Saved({}, {-18, -36}), false,
     {
        {-32, 132, 0.0, 0.0, 0.99111861, 0.0},
        {-30, 134, 222517.8159935, 190806.8981530, 0.98881774, -0.89695799},
        {-34.5, 129.5, -281366.4261992, -228658.0225552, 0.99596108, 1.12119749},
     }},
    // +proj=lcc +lat_1=46.8 +lat_0=46.8 +lon_0=2.337229166667 +k_0=0.99987742
    {"Lambert, one parallel", 4, kWGS84A, kWGS84B, 46.8, 2.337229166667, 0.99987742, Saved({1}, {}), true,
     {
        {46.8, 2.337229166667, 0.0, 0.0, 0.99987742, 0.0},
        {48, 4, 134720.3935339, 124087.7332603, 1.00009774, 1.21210777},
        {45, 0, -197336.1154543, -184323.0460258, 1.00036406, -1.70376674},
        {49.5, -0.5, 304009.8846674, -205680.9110158, 1.00100466, -2.06825105},
     }},
    // +proj=lcc +lat_1=49 +lat_2=44 +lat_0=46.5 +lon_0=3
    {"Lambert, two parallels", 4, kWGS84A, kWGS84B, 46.5, 3, 1, Saved({2}, {49, 44}), true,
     {
        {46.5, 3, 0.0, 0.0, 0.99905109, 0.0},
        {48, 5.5, 169574.9876964, 186417.8245977, 0.99938674, 1.81401941},
        {44.2, 0.5, -252282.8214074, -199778.5653188, 0.99985617, -1.81401941},
        {49, 1, 279639.9325627, -146327.9398485, 1.00000000, -1.45121553},
     }},
    // +proj=lcc +lat_1=-28 +lat_2=-36 +lat_0=-32 +lon_0=135
    {"Lambert, southern cone", 4, kWGS84A, kWGS84B, -32, 135, 1, Saved({2}, {-28, -36}), true,
     {
        {-32, 135, 0.0, 0.0, 0.99757539, 0.0},
        {-30, 137, 219464.8787055, 192613.0300826, 0.99819390, -1.06071808},
        {-34.8, 132.5, -312563.2130938, -228467.7549380, 0.99874906, 1.32589760},
     }},
    // +proj=merc +lon_0=100 +k_0=0.866664327473474
    {"Mercator", 5, kWGS84A, kWGS84B, 30, 100, 0.9999, Saved({}, {}), true,
     {
        {0, 100, 0.0, 0.0, 0.86666433, 0.0},
        {30, 100, 3017889.0618021, 0.0, 0.99990000, 0.0},
        {31, 102.5, 3129304.0476827, 241191.5790576, 1.01018142, 0.0},
        {28, 97.5, 2798388.5487389, -241191.5790576, 0.98083367, 0.0},
        {-2, 101, -191701.0161269, 96476.6316230, 0.86718906, 0.0},
     }},
    // +proj=cass +lat_0=31.73409694444 +lon_0=35.21208055556
    {"Cassini-Soldner", 2, kWGS84A, kWGS84B, 31.73409694444, 35.21208055556, 1, Saved({}, {}), false,
     {
        {31.73409694444, 35.21208055556, 0.0, 0.0, 1.00000000, 0.0},
        {33, 37, 141800.3684429, 167078.7739325, 1.00034404, 0.97365912},
        {30, 33, -190193.5276627, -213422.1627300, 1.00056178, -1.10583337},
        {32.5, 32.8, 87495.0718520, -226660.1767438, 1.00063325, -1.29573671},
        {29.5, 37.5, -245496.4357221, 221836.7472466, 1.00060702, 1.12639772},
     }},
    // +proj=somerc +lat_0=46.95240555555556 +lon_0=7.439583333333333 +k_0=1 +a=6377397.155 +b=6356078.9628181886
    {"oblique cylindrical, Bern", 7, kBesselA, kBesselB, 46.95240555555556, 7.439583333333333, 1, Saved({}, {}), false,
     {
        {46.95240555555556, 7.439583333333333, 0.0, 0.0, 1.00000000, 0.0},
        {47.85, 7.44, 99786.2244094, 31.1839513, 1.00012235, 0.00030453},
        {46.95, 8.75, 566.1390479, 99741.2363375, 1.00000000, 0.95759635},
        {45.5, 5.0, -158474.8810275, -190679.5581357, 1.00030866, -1.78311405},
        {48.2, 10.1, 142061.4633289, 197751.4568007, 1.00024798, 1.94435332},
     }},
    // +proj=somerc +lat_0=-30 +lon_0=20 +k_0=0.9996
    {"oblique cylindrical, southern", 7, kWGS84A, kWGS84B, -30, 20, 0.9996, Saved({}, {}), false,
     {
        {-30, 20, 0.0, 0.0, 0.99960000, 0.0},
        {-28, 22, 219909.8167156, 196753.6729301, 1.00019677, -1.00044381},
        {-32.5, 18, -278803.8104802, -188047.6065847, 1.00055898, 1.00080639},
     }},
    // +proj=omerc +lat_0=4 +lonc=115 +alpha=53.31582047222222 +k_0=0.99984
    {"oblique Mercator, azimuth, rectified, from the centre", 8, kWGS84A, kWGS84B, 4, 115, 0.99984, Saved({0, 1, 1}, {53.31582047222222}), false,
     {
        {4, 115, 0.0, 0.0, 0.99984000, 0.0},
        {5.5, 116, 165919.5745068, 110815.8569457, 0.99989531, 0.07390451},
        {2, 113.5, -220983.7272097, -166908.0341777, 0.99991435, -0.09313534},
        {6.8, 117.9, 310255.3435388, 320681.6653185, 0.99988049, 0.25509042},
     }},
    // +proj=omerc +lat_0=4 +lonc=115 +alpha=53.31582047222222 +k_0=0.99984 +no_uoff
    {"oblique Mercator, azimuth, rectified, from the natural origin", 8, kWGS84A, kWGS84B, 4, 115, 0.99984, Saved({0, 1, 0}, {53.31582047222222}), false,
     {
        {4, 115, 440974.5341169, 591953.7705254, 0.99984000, 0.0},
        {5.5, 116, 606894.1086237, 702769.6274712, 0.99989531, 0.07390451},
        {2, 113.5, 219990.8069072, 425045.7363477, 0.99991435, -0.09313534},
     }},
    // +proj=omerc +lat_0=4 +lonc=115 +alpha=53.31582047222222 +k_0=0.99984 +no_uoff +no_rot
    {"oblique Mercator, azimuth, unrectified", 8, kWGS84A, kWGS84B, 4, 115, 0.99984, Saved({0, 0, 0}, {53.31582047222222}), false,
     {
        {4, 115, 738151.6146287, 0.0, kNone, kNone},
        {5.5, 116, 926140.3268011, -66855.8408136, 0.99989531, -143.38972498},
        {2, 113.5, 472284.7758560, 77504.3457210, 0.99991435, -143.22268513},
     }},
    // +proj=omerc +lat_0=4 +lonc=102.25 +alpha=-36.974203532406037 +gamma=-36.869897645833333 +k_0=0.99984 +no_uoff
    {"oblique Mercator, rectified angle, from the natural origin", 8, kWGS84A, kWGS84B, 4, 102.25, 0.99984, Saved({1, 1, 0}, {-36.869897645833333}), false,
     {
        {4, 102.25, 442454.0986457, -331840.5739841, 0.99984000, -0.10430589},
        {5.5, 101, 608672.3265015, -470043.1564075, 0.99984145, -0.20948786},
        {2.5, 104, 276427.9192362, -137533.7366695, 0.99987858, -0.01495234},
        {6, 103.3, 663517.1976387, -215181.2852509, 1.00047192, 0.00434582},
     }},
    // +proj=omerc +lat_0=4 +lonc=102.25 +alpha=-36.974203532406037 +gamma=-36.869897645833333 +k_0=0.99984
    {"oblique Mercator, rectified angle, from the centre", 8, kWGS84A, kWGS84B, 4, 102.25, 0.99984, Saved({1, 1, 1}, {-36.869897645833333}), false,
     {
        {4, 102.25, 0.0, 0.0, 0.99984000, -0.10430589},
        {5.5, 101, 166218.2278558, -138202.5824234, 0.99984145, -0.20948786},
     }},
    // +proj=omerc +lat_0=45 +lat_1=43 +lon_1=-100 +lat_2=47 +lon_2=-94 +k_0=0.9996 +no_uoff +no_rot
    {"oblique Mercator, two points", 8, kWGS84A, kWGS84B, 45, 0, 0.9996, Saved({2, 0, 0}, {43, -100, 47, -94}), false,
     {
        {45, -97, 6184325.9954313, 8856.4324034, kNone, kNone},
        {46, -96, 6317164.7909393, -19419.7373335, 0.99960463, -137.48943417},
        {44, -99.5, 5964316.7429355, -49687.4211660, 0.99963037, -135.03098479},
     }},
    // +proj=omerc +lat_0=50 +lat_1=48 +lon_1=178 +lat_2=52 +lon_2=-176 +k_0=1 +no_uoff +no_rot
    {"oblique Mercator, two points across the antimeridian", 8, kWGS84A, kWGS84B, 50, 0, 1, Saved({2, 0, 0}, {48, 178, 52, -176}), false,
     {
        {50, 179.5, 6484939.4614742, -68617.5368400, kNone, kNone},
        {51, -178, 6688018.8031914, -17733.7937790, kNone, kNone},
        {49, 177, 6281162.8137497, -128973.2727204, kNone, kNone},
     }},
    // +proj=stere +lat_0=52 +lon_0=5 +k_0=0.9999
    {"oblique stereographic", 9, kWGS84A, kWGS84B, 52, 5, 0.9999, Saved({}, {}), false,
     {
        {52, 5, 0.0, 0.0, 0.99990000, 0.0},
        {53.5, 7, 168762.0255005, 132726.8793554, 1.00026921, 1.58827460},
        {50, 3, -220543.9413075, -143392.8503382, 1.00021248, -1.55045091},
        {54.8, 2.2, 315205.5245352, -180158.7978146, 1.00087067, -2.24334717},
        {51, 7.9, -107224.9953936, 203520.8460622, 1.00016949, 2.26391972},
     }},
    // +proj=stere +lat_0=-40 +lon_0=-65 +k_0=1
    {"oblique stereographic, southern", 9, kWGS84A, kWGS84B, -40, -65, 1, Saved({}, {}), false,
     {
        {-40, -65, 0.0, 0.0, 1.00000000, 0.0},
        {-38, -63, 220118.3385488, 175695.0331918, 1.00037455, -1.25380473},
        {-42.5, -67.5, -280658.6175040, -205615.3330132, 1.00089082, 1.64264697},
     }},
    // +proj=stere +lat_0=90 +lon_0=-45 +k_0=0.994
    {"polar stereographic, north", 11, kWGS84A, kWGS84B, 90, -45, 0.994, Saved({}, {}), false,
     {
        {90, -45, 0.0, 0.0, 0.99400000, 0.0},
        {85, -45, -555457.3913866, 0.0, 0.99589479, 0.0},
        {80, 10, -638362.5469718, 911676.1990366, 1.00160756, 55.00000000},
        {75, -170, 960482.5326077, -1371711.2144543, 1.01122443, -125.00000000},
        {70, -45, -2242389.7690291, 0.0, 1.02489210, 0.0},
        {70, 45, 0.0, 2242389.7690291, 1.02489210, 90.00000000},
     }},
    // +proj=stere +lat_0=-90 +lon_0=30 +k_0=0.97
    {"polar stereographic, south", 11, kWGS84A, kWGS84B, -90, 30, 0.97, Saved({}, {}), false,
     {
        {-90, 30, 0.0, 0.0, 0.97000000, 0.0},
        {-85, 30, 542045.9453169, 0.0, 0.97184904, 0.0},
        {-80, 100, 371460.9216872, 1020580.4945453, 0.97742388, -70.00000000},
        {-75, -150, -1634118.3983030, 0.0, 0.98680855, 180.00000000},
     }},
    // +proj=ups
    {"UPS north", 11, kWGS84A, kWGS84B, 90, 0, 0.994, Saved({}, {}), false,
     {
        {85, -45, -392767.6881097, -392767.6881097, 0.99589479, -45.00000000},
        {80, 10, -1096042.9084045, 193261.9367659, 1.00160756, 10.00000000},
        {75, -170, 1649110.0135884, -290782.5895521, 1.01122443, -170.00000000},
     }},
    // +proj=ups +south
    {"UPS south", 11, kWGS84A, kWGS84B, -90, 0, 0.994, Saved({}, {}), false,
     {
        {-85, 30, 481040.2116606, 277728.6956933, 0.99589479, -30.00000000},
        {-80, 100, -193261.9367659, 1096042.9084045, 1.00160756, -100.00000000},
        {-75, -150, -1450203.0076780, -837275.0968625, 1.01122443, 150.00000000},
     }},
    // +proj=sterea +lat_0=46 +lon_0=25 +k_0=0.99975 +a=6378245 +b=6356863.0187730473
    {"double stereographic", 18, kKrassowskyA, kKrassowskyB, 46, 25, 0.99975, Saved({}, {}), true,
     {
        {46, 25, 0.0, 0.0, 0.99975000, 0.0},
        {47.5, 27, 168635.3351448, 150668.6754330, 1.00006423, 1.45693881},
        {44, 23, -220254.0458762, -160415.5355390, 1.00020636, -1.41450527},
        {48.2, 22.3, 248018.7399429, -200712.7281769, 1.00037547, -1.97840747},
        {43.8, 28, -239995.2093404, 241430.5014842, 1.00046229, 2.11825626},
     }},
    // +proj=sterea +lat_0=-33.5 +lon_0=-70.5 +k_0=1
    {"double stereographic, southern", 18, kWGS84A, kWGS84B, -33.5, -70.5, 1, Saved({}, {}), true,
     {
        {-33.5, -70.5, 0.0, 0.0, 1.00000000, 0.0},
        {-31, -68, 274489.8814131, 238879.4262353, 1.00081602, -1.33451503},
        {-35.5, -72.9, -224470.1190080, -217817.8628710, 1.00060271, 1.35972338},
     }},
};

void Make(BlockHolder& held, const Case& c) {
    ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, c.a, c.b));
    held.block->originLatitude = c.latitude0 * kDegree;
    held.block->originLongitude = c.longitude0 * kDegree;
    held.block->scaleFactor = c.k0;
    ASSERT_EQ(CSIB_Ok, csib_SetProjection(held.block, c.kind, c.saved.empty() ? nullptr : c.saved.data()));
}

csib_GeodeticPoint Geodetic(double latitude, double longitude) {
    return {latitude * kDegree, longitude * kDegree, 0.0, 0.0, 0, 0};
}

TEST(ProjectionKinds, ForwardAgainstPROJ) {
    for (const Case& c : kCases) {
        BlockHolder held;
        Make(held, c);
        for (const Point& p : c.points) {
            csib_GeodeticPoint in = Geodetic(p.latitude, p.longitude);
            in.ellipsoidHeight = 12.5;
            in.hasEllipsoidHeight = 1;
            csib_GridPoint out{};
            ASSERT_EQ(CSIB_Ok, held.block->projection.Forward(held.block, &in, &out)) << c.name;
            EXPECT_NEAR(p.north, out.north, 1e-3) << c.name << " " << p.latitude << " " << p.longitude;
            EXPECT_NEAR(p.east, out.east, 1e-3) << c.name << " " << p.latitude << " " << p.longitude;
            EXPECT_EQ(12.5, out.ellipsoidHeight);
            EXPECT_EQ(1, out.hasEllipsoidHeight);
        }
    }
}

// Degrees (0.1 mm). Cassini-Soldner too: its inverse series alone is 5e-8 (5 mm) off at
// 2.5 degrees, the refined inverse 1e-10.
constexpr double kInverseTolerance = 1e-9;

TEST(ProjectionKinds, InverseOfPROJsGridValues) {
    for (const Case& c : kCases) {
        BlockHolder held;
        Make(held, c);
        for (const Point& p : c.points) {
            csib_GridPoint in{p.north, p.east, 0.0, 4.5, 0, 0, 0, 1};
            csib_GeodeticPoint out{};
            ASSERT_EQ(CSIB_Ok, held.block->projection.Inverse(held.block, &in, &out)) << c.name;
            EXPECT_NEAR(p.latitude, out.latitude / kDegree, kInverseTolerance)
                << c.name << " " << p.latitude << " " << p.longitude;
            EXPECT_NEAR(p.longitude, csib_NormalizeAnglePi(out.longitude) / kDegree, kInverseTolerance)
                << c.name << " " << p.latitude << " " << p.longitude;
            EXPECT_EQ(4.5, out.orthometricHeight);
            EXPECT_EQ(1, out.hasOrthometricHeight);
        }
    }
}

TEST(ProjectionKinds, ScaleAndConvergenceAgainstPROJ) {
    for (const Case& c : kCases) {
        BlockHolder held;
        Make(held, c);
        for (const Point& p : c.points) {
            const csib_GeodeticPoint at = Geodetic(p.latitude, p.longitude);
            double k = 0.0, gamma = 0.0;
            const csib_Status scale = held.block->projection.ScaleFactor(held.block, &at, &k);
            if (scale == CSIB_Ok && !std::isnan(p.k)) {
                EXPECT_NEAR(p.k, k, 1e-8) << c.name << " " << p.latitude << " " << p.longitude;
            }
            const csib_Status convergence = held.block->projection.Convergence(held.block, &at, &gamma);
            if (c.convergence) {
                ASSERT_EQ(CSIB_Ok, convergence) << c.name;
                EXPECT_NEAR(p.gamma, gamma / kDegree, 1e-8) << c.name << " " << p.latitude << " " << p.longitude;
            }
        }
    }
}

// The fixed polynomials against the stereographic they approximate, +proj=sterea
// +lat_0=52.15616055555555 +lon_0=5.38763888888889 +k=0.9999079 +ellps=bessel: within
// 1 mm both ways inside one degree of the origin. Load sets the origin, false origin
// and scale itself.
TEST(ProjectionKinds, RDStereographicWithinAMillimetreOfTheStereographic) {
    const Point points[] = {
        {52.15616055555555, 5.38763888888889, 0.0, 0.0, kNone, kNone},
        {53, 6.2, 94190.3061482, 54530.1088911, kNone, kNone},
        {51.3, 4.5, -94863.9503317, -61896.6443897, kNone, kNone},
        {52.9, 4.5, 83123.6769580, -59719.8493654, kNone, kNone},
        {51.2, 6.3, -105965.7981779, 63759.5272565, kNone, kNone},
        {52.6, 5.9, 49500.9726836, 34708.4357929, kNone, kNone},
    };
    BlockHolder held;
    ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, kBesselA, kBesselB));
    csib_Block* block = held.block;
    ASSERT_EQ(CSIB_Ok, csib_SetProjection(block, 12, nullptr));
    EXPECT_EQ(0.9102967268932393, block->originLatitude);
    EXPECT_EQ(0.09403203751960007, block->originLongitude);
    EXPECT_EQ(463000.0, block->falseNorthing);
    EXPECT_EQ(155000.0, block->falseEasting);
    EXPECT_EQ(0.9999079, block->scaleFactor);
    EXPECT_EQ(nullptr, block->projectionParameters);
    for (const Point& p : points) {
        csib_GeodeticPoint in = Geodetic(p.latitude, p.longitude);
        csib_GridPoint grid{};
        ASSERT_EQ(CSIB_Ok, block->projection.Forward(block, &in, &grid));
        EXPECT_NEAR(p.north, grid.north, 1e-3) << p.latitude << " " << p.longitude;
        EXPECT_NEAR(p.east, grid.east, 1e-3) << p.latitude << " " << p.longitude;
        csib_GridPoint back{p.north, p.east, 0, 0, 0, 0, 0, 0};
        csib_GeodeticPoint out{};
        ASSERT_EQ(CSIB_Ok, block->projection.Inverse(block, &back, &out));
        // Metres on the ellipsoid, near enough for a millimetre.
        EXPECT_NEAR(0.0, (out.latitude - in.latitude) * kBesselA, 1e-3) << p.latitude << " " << p.longitude;
        EXPECT_NEAR(0.0, (out.longitude - in.longitude) * kBesselA * std::cos(in.latitude), 1e-3)
            << p.latitude << " " << p.longitude;
    }
    double value = 0.0;
    const csib_GeodeticPoint at = Geodetic(52.5, 5.5);
    EXPECT_EQ(CSIB_NoScaleFactor, block->projection.ScaleFactor(block, &at, &value));
    EXPECT_EQ(CSIB_NoConvergence, block->projection.Convergence(block, &at, &value));
}

// Loads an image of an older format reads: the block's version is the image's.
TEST(ProjectionKinds, OlderImagesTakeScaleOneAndTheEquator) {
    struct Load {
        const char* name;
        uint8_t kind;
        std::vector<uint8_t> saved;
        double k0, latitude0;  // after a load of version 1.1
    };
    const Load loads[] = {
        {"Albers", 1, Saved({}, {29.5, 45.5}), 1.0, 0.4},
        {"Lambert, two parallels", 4, Saved({2}, {49, 44}), 1.0, 0.4},
        {"Lambert, one parallel", 4, Saved({1}, {}), 0.9996, 0.4},
        {"Mercator", 5, Saved({}, {}), 0.9996, 0.0},
    };
    for (const Load& l : loads) {
        for (double version : {1.1, 1.2}) {
            BlockHolder held;
            ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, kWGS84A, kWGS84B));
            held.block->version = version;
            held.block->originLatitude = 0.4;
            held.block->scaleFactor = 0.9996;
            ASSERT_EQ(CSIB_Ok, csib_SetProjection(held.block, l.kind, l.saved.data())) << l.name;
            EXPECT_EQ(version == 1.1 ? l.k0 : 0.9996, held.block->scaleFactor) << l.name << " " << version;
            EXPECT_EQ(version == 1.1 ? l.latitude0 : 0.4, held.block->originLatitude) << l.name << " " << version;
        }
    }
}

TEST(ProjectionKinds, ConicEdges) {
    // A one-parallel Lambert cone at a pole: no overflowing exponential.
    for (double pole : {90.0, -90.0}) {
        BlockHolder held;
        Make(held, {"", 4, kWGS84A, kWGS84B, pole, 0, 1, Saved({1}, {}), false, {}});
        EXPECT_EQ(pole > 0 ? 1e20 : 0.0, static_cast<const csib_LambertParameters*>(held.block->projectionParameters)->e0);
    }
    // On the central meridian the inverse gives the origin longitude exactly.
    BlockHolder lambert;
    Make(lambert, {"", 4, kWGS84A, kWGS84B, 46.5, 3, 1, Saved({2}, {49, 44}), true, {}});
    csib_GridPoint meridian{-120000.0, 0.0, 0, 0, 0, 0, 0, 0};
    csib_GeodeticPoint out{};
    ASSERT_EQ(CSIB_Ok, lambert.block->projection.Inverse(lambert.block, &meridian, &out));
    EXPECT_EQ(3 * kDegree, out.longitude);
    // Albers beyond its range has no latitude.
    BlockHolder albers;
    Make(albers, {"", 1, kWGS84A, kWGS84B, 23, -96, 1, Saved({}, {29.5, 45.5}), false, {}});
    csib_GridPoint far{-2e7, 0.0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(CSIB_MissingOutput, albers.block->projection.Inverse(albers.block, &far, &out));
    double gamma = 0.0;
    const csib_GeodeticPoint at = Geodetic(25, -94);
    EXPECT_EQ(CSIB_NoConvergence, albers.block->projection.Convergence(albers.block, &at, &gamma));
}

TEST(ProjectionKinds, ObliqueMercatorEdges) {
    // An origin on the equator gives D = 1: no offset of the centre, nothing undefined.
    BlockHolder equator;
    Make(equator, {"", 8, kWGS84A, kWGS84B, 0, 10, 1, Saved({0, 1, 1}, {30}), false, {}});
    const auto* p = static_cast<const csib_ObliqueMercatorParameters*>(equator.block->projectionParameters);
    EXPECT_EQ(0.0, p->centreU);
    EXPECT_TRUE(std::isfinite(p->E));
    csib_GeodeticPoint in = Geodetic(0, 10);
    csib_GridPoint grid{};
    ASSERT_EQ(CSIB_Ok, equator.block->projection.Forward(equator.block, &in, &grid));
    EXPECT_NEAR(0.0, grid.north, 1e-9);
    EXPECT_NEAR(0.0, grid.east, 1e-9);

    // The pole of the oblique aspect inverts without iterating.
    BlockHolder north;
    Make(north, {"", 8, kWGS84A, kWGS84B, 40, 10, 1, Saved({0, 0, 0}, {0}), false, {}});
    p = static_cast<const csib_ObliqueMercatorParameters*>(north.block->projectionParameters);
    csib_GridPoint pole{p->A / p->B * 3.141592653589793 / 2.0, 0.0, 0, 0, 0, 0, 0, 0};
    csib_GeodeticPoint out{};
    ASSERT_EQ(CSIB_Ok, north.block->projection.Inverse(north.block, &pole, &out));
    EXPECT_EQ(3.141592653589793 / 2.0, out.latitude);
    EXPECT_EQ(p->lambda0, out.longitude);

    // Two points across the antimeridian: the second moves by a full turn and stays so;
    // the origin longitude becomes the centre's.
    BlockHolder across;
    Make(across, {"", 8, kWGS84A, kWGS84B, 50, 0, 1, Saved({2, 0, 0}, {48, 178, 52, -176}), false, {}});
    p = static_cast<const csib_ObliqueMercatorParameters*>(across.block->projectionParameters);
    EXPECT_NEAR(184 * kDegree, p->point2Longitude, 1e-15);
    EXPECT_NE(0.0, across.block->originLongitude);
    double k = 0.0, gamma = 0.0;
    in = Geodetic(50, 179.5);
    EXPECT_EQ(CSIB_Ok, across.block->projection.ScaleFactor(across.block, &in, &k));
    EXPECT_EQ(CSIB_NoConvergence, across.block->projection.Convergence(across.block, &in, &gamma));
}

TEST(ProjectionKinds, DefiningParametersAndSavedParts) {
    struct Part {
        uint8_t kind;
        std::vector<uint8_t> saved;
        int32_t size;
        int16_t parameters;  // selectors 0.. that answer
    };
    const Part parts[] = {
        {1, Saved({}, {29.5, 45.5}), 16, 2},          {4, Saved({1}, {}), 1, 3},
        {4, Saved({2}, {49, 44}), 17, 3},             {8, Saved({1, 1, 0}, {-36.9}), 11, 8},
        {8, Saved({2, 0, 1}, {43, -100, 47, -94}), 35, 8}, {5, {}, 0, 0}, {2, {}, 0, 0}, {7, {}, 0, 0},
        {9, {}, 0, 0}, {11, {}, 0, 0}, {12, {}, 0, 0}, {18, {}, 0, 0},
    };
    for (const Part& part : parts) {
        SCOPED_TRACE(int(part.kind));
        BlockHolder held;
        Make(held, {"", part.kind, kWGS84A, kWGS84B, 45, 10, 1, part.saved, false, {}});
        csib_Block* block = held.block;
        int32_t size = -1;
        ASSERT_EQ(CSIB_Ok, block->projection.GetSavedSize(block, 1, &size));
        EXPECT_EQ(part.size, size);
        EXPECT_EQ(CSIB_MissingOutput, block->projection.GetSavedSize(block, 1, nullptr));
        std::vector<uint8_t> out(static_cast<std::size_t>(size) + 1, 0xDB);
        ASSERT_EQ(CSIB_Ok, block->projection.Save(block, out.data(), 1));
        EXPECT_EQ(part.saved, std::vector<uint8_t>(out.begin(), out.end() - 1));
        EXPECT_EQ(0xDB, out.back());
        for (int16_t selector = -1; selector <= 8; ++selector) {
            void* parameter = &size;
            ASSERT_EQ(CSIB_Ok, block->projection.GetParameters(block, selector, &parameter));
            EXPECT_EQ(selector >= 0 && selector < part.parameters, parameter != nullptr) << selector;
        }
        EXPECT_EQ(CSIB_MissingOutput, block->projection.GetParameters(block, 0, nullptr));
    }
    // The fields themselves: the Lambert count, the oblique Mercator flags and angle.
    BlockHolder lambert;
    Make(lambert, {"", 4, kWGS84A, kWGS84B, 45, 10, 1, Saved({2}, {49, 44}), false, {}});
    void* parameter = nullptr;
    lambert.block->projection.GetParameters(lambert.block, 0, &parameter);
    EXPECT_EQ(2, *static_cast<uint8_t*>(parameter));
    lambert.block->projection.GetParameters(lambert.block, 2, &parameter);
    EXPECT_EQ(44 * kDegree, *static_cast<double*>(parameter));
    BlockHolder hotine;
    Make(hotine, {"", 8, kWGS84A, kWGS84B, 45, 10, 1, Saved({1, 1, 0}, {-36.9}), false, {}});
    hotine.block->projection.GetParameters(hotine.block, 1, &parameter);
    EXPECT_EQ(1, *static_cast<uint8_t*>(parameter));
    hotine.block->projection.GetParameters(hotine.block, 3, &parameter);
    EXPECT_EQ(-36.9 * kDegree, *static_cast<double*>(parameter));
}

TEST(ProjectionKinds, LoadWithoutMemoryReportsIt) {
    for (uint8_t kind : {1, 2, 4, 5, 7, 8, 9, 11, 18}) {
        BlockHolder held;
        ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, kWGS84A, kWGS84B));
        held.block->originLatitude = 0.8;
        held.block->scaleFactor = 1.0;
        const std::vector<uint8_t> saved = Saved({2, 0, 0}, {43, -100, 47, -94});
        const int64_t live = csib_LiveAllocations();
        csib_FailAllocation(1);
        EXPECT_EQ(CSIB_OutOfMemory, csib_SetProjection(held.block, kind, saved.data())) << int(kind);
        csib_FailAllocation(0);
        EXPECT_EQ(live, csib_LiveAllocations()) << int(kind);
    }
}

TEST(ProjectionKinds, StereographicEdges) {
    // Kind 9: the origin inverts through the zero-radius branch.
    BlockHolder oblique;
    Make(oblique, {"", 9, kWGS84A, kWGS84B, 52, 5, 0.9999, {}, false, {}});
    csib_GridPoint origin{0, 0, 0, 0, 0, 0, 0, 0};
    csib_GeodeticPoint out{};
    ASSERT_EQ(CSIB_Ok, oblique.block->projection.Inverse(oblique.block, &origin, &out));
    EXPECT_NEAR(52 * kDegree, out.latitude, 1e-15);
    EXPECT_EQ(5 * kDegree, out.longitude);
    // ... and at a pole its infinite ratios become the largest double: results stay finite.
    for (double pole : {90.0, -90.0}) {
        BlockHolder polar;
        Make(polar, {"", 9, kWGS84A, kWGS84B, pole, 0, 0.994, {}, false, {}});
        csib_GeodeticPoint in = Geodetic(pole > 0 ? 85 : -85, 30);
        csib_GridPoint grid{};
        ASSERT_EQ(CSIB_Ok, polar.block->projection.Forward(polar.block, &in, &grid));
        EXPECT_TRUE(std::isfinite(grid.north) && std::isfinite(grid.east)) << pole;
    }

    // Kind 11: the pole inverts to the origin longitude, a point due grid east of it to
    // a quarter turn on.
    BlockHolder north;
    Make(north, {"", 11, kWGS84A, kWGS84B, 90, -45, 0.994, {}, false, {}});
    ASSERT_EQ(CSIB_Ok, north.block->projection.Inverse(north.block, &origin, &out));
    EXPECT_EQ(3.141592653589793 / 2.0, out.latitude);
    EXPECT_EQ(-45 * kDegree, out.longitude);
    csib_GridPoint east{0, 100000, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(CSIB_Ok, north.block->projection.Inverse(north.block, &east, &out));
    EXPECT_NEAR(45 * kDegree, out.longitude, 1e-15);
    // The south aspect is the north aspect of (-latitude, -longitude), negated.
    BlockHolder south;
    Make(south, {"", 11, kWGS84A, kWGS84B, -90, 45, 0.994, {}, false, {}});
    for (const csib_GeodeticPoint& p : {Geodetic(-80, 10), Geodetic(-70, -120), Geodetic(-88, 179)}) {
        csib_GeodeticPoint mirrored = p;
        mirrored.latitude = -p.latitude;
        mirrored.longitude = -p.longitude;
        csib_GridPoint s{}, n{};
        ASSERT_EQ(CSIB_Ok, south.block->projection.Forward(south.block, &p, &s));
        ASSERT_EQ(CSIB_Ok, north.block->projection.Forward(north.block, &mirrored, &n));
        EXPECT_NEAR(-n.north, s.north, 1e-9);
        EXPECT_NEAR(-n.east, s.east, 1e-9);
    }
    ASSERT_EQ(CSIB_Ok, south.block->projection.Inverse(south.block, &origin, &out));
    EXPECT_EQ(-3.141592653589793 / 2.0, out.latitude);

    // Kind 18: a Newton iteration that cannot settle stops after 100 rounds.
    BlockHolder twice;
    Make(twice, {"", 18, kWGS84A, kWGS84B, 46, 25, 0.99975, {}, true, {}});
    csib_GridPoint lost{std::numeric_limits<double>::quiet_NaN(), 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(CSIB_IterationLimit, twice.block->projection.Inverse(twice.block, &lost, &out));
}

// Kinds without a scale or convergence of their own: the pipeline's numeric scale
// answers for Cassini-Soldner, whose convergence stays unavailable; the oblique
// cylindrical convergence comes from the numeric azimuth (PROJ's within 1e-7 degrees,
// the precision it prints). The Cassini-Soldner reference is 5 m over the geodesic
// (GeodSolve) between PROJ's inverses of the point's grid image and of it moved 5 m
// grid north (over 5 m the scale changes by a few parts in 1e11).
TEST(ProjectionKinds, NumericFallbacksAnswerForMissingScalesAndConvergences) {
    BlockHolder cassini;
    Make(cassini, {"", 2, kWGS84A, kWGS84B, 31.73409694444, 35.21208055556, 1, {}, false, {}});
    const csib_GeodeticPoint at = Geodetic(32.2, 35.9);
    double value = 0.0;
    EXPECT_EQ(CSIB_CassiniNoScaleFactor, cassini.block->projection.ScaleFactor(cassini.block, &at, &value));
    EXPECT_EQ(CSIB_CassiniNoConvergence, cassini.block->projection.Convergence(cassini.block, &at, &value));
    cassini.block->groundScaleFactor = 1.0;
    ASSERT_EQ(CSIB_Ok, csib_GetGridScaleFactor(cassini.block, &at, &value));
    EXPECT_NEAR(1.0000518612694518, value, 1e-9);
    EXPECT_EQ(CSIB_CassiniNoConvergence, csib_GetConvergence(cassini.block, &at, &value));

    BlockHolder bern;
    Make(bern, {"", 7, kBesselA, kBesselB, 46.95240555555556, 7.439583333333333, 1, {}, false, {}});
    const csib_GeodeticPoint east = Geodetic(46.95, 8.75);
    EXPECT_EQ(CSIB_NoConvergence, bern.block->projection.Convergence(bern.block, &east, &value));
    ASSERT_EQ(CSIB_Ok, csib_GetConvergence(bern.block, &east, &value));
    EXPECT_NEAR(0.95759635, value / kDegree, 1e-7);
}

}  // namespace
