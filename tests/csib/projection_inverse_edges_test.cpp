// Grid points inside each system's area, at its edge, far outside it and at its pole
// (where it has one), through the kind's inverse. An answer with status 0 is a finite
// point within the poles whose forward returns to the grid point within 0.1 mm; a grid
// point the forward cannot give back gets the kind's status. Each "was" notes what the
// inverse answered before it checked its point.
#include <cmath>
#include <iterator>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "csib/csib.h"
#include "csib/geodesy.h"
#include "csib_fixtures.h"
#include "foundation/kernel/maths.h"
#include "projection_fixtures.h"

namespace {

constexpr double kDeg = 3.141592653589793 / 180.0;
constexpr double kReturnsWithin = 1e-4;  // metres
constexpr double kUnpinned = std::numeric_limits<double>::quiet_NaN();

struct Case {
    const char* where;
    double north, east;  // relative to the false origin
    csib_Status status;
    double latitude, longitude;  // degrees; kUnpinned: the round trip alone is checked
    double within;               // metres on the ground
};

struct System {
    const char* name;
    uint8_t kind;
    double a, b;
    double originLatitude, originLongitude, scale;  // degrees; the national kinds load their own
    std::vector<Case> cases;
};

const System kSystems[] = {
    // GeographicLib: TransverseMercatorProj -r -l 9 -k 0.9996 (exact; the series forward
    // is within 1 mm of it up to six degrees out; beyond 89.9 degrees its meridian arc
    // drifts, by 1 cm 111 m from the pole).
    {"transverse Mercator",
     14,
     6378137.0,
     6356752.314245179,
     0,
     9,
     0.9996,
     {
         {"inside", 4765183, 244533, CSIB_Ok, 43.000000610552917, 11.999999791160011, 1e-3},
         {"inside, south", -4316777, 0, CSIB_Ok, -39.000003755842812, 9.0, 1e-3},
         {"six degrees out", 222286, 668474, CSIB_Ok, 2.000000624162394, 15.000000584226520, 1e-3},
         {"84 N", 9331737, 69895, CSIB_Ok, 84.000001305100355, 14.999960251048329, 1e-3},
         // Far out the series forward is its own map, kilometres from the exact one.
         {"far, 1400 km from the pole (was 100.67 N)", 9221472.53, 1226471.40, CSIB_Ok, kUnpinned, kUnpinned, 0},
         {"far, 4000 km east of 55 S (was 21384 S)", -9000000, 4000000, CSIB_Ok, kUnpinned, kUnpinned, 0},
         {"past the south pole", -12000000, 0, CSIB_OutsideDomain, kUnpinned, kUnpinned, 0},
         {"north pole", 9997964.943021, 0, CSIB_Ok, 90.0, 9.0, 1e-3},
         {"11 m from the pole (was refused)", 9997963.969860, 11.121394, CSIB_Ok, 89.999900009313876,
          93.999155895478353, 2e-3},
         {"111 m from the pole (was 1065 N)", 9997955.210566, 111.213945, CSIB_Ok, 89.999000092434414,
          93.998724078953785, 0.015},
         {"1 km from the south pole (was refused)", -9997000, 500, CSIB_Ok, -89.990266028146380, 36.391624041285127, 1e-3},
         // Within about 6 m of the pole the forward's meridian arc is 0: no point maps to
         // the pole's near side there, and its far side comes from the longitude terms
         // alone, metres from the exact projection.
         {"0.5 m from the pole, its near side (was 1e57 N)", 9997964.9, 0.5, CSIB_OutsideDomain, kUnpinned,
          kUnpinned, 0},
         {"3 m from the pole, its near side", 9997962, 1, CSIB_OutsideDomain, kUnpinned, kUnpinned,
          0},
         {"1 m from the pole, its far side (was refused)", 9997965.9, 1, CSIB_Ok, kUnpinned, kUnpinned, 0},
     }},
    // PROJ: proj -I +proj=cass +lat_0=52 +lon_0=0 +ellps=WGS84; where PROJ's inverse
    // fails, the point whose PROJ forward returns within 0.2 mm.
    {"Cassini-Soldner",
     2,
     6378137.0,
     6356752.314245179,
     52,
     0,
     1,
     {
         {"inside", 224425, 131134, CSIB_Ok, 54.0000041388, 1.9999984736, 1e-3},
         {"four degrees out", 452444, 249432, CSIB_Ok, 55.9999967055, 4.0000046797, 1e-3},
         {"far, 2500 km east", 0, 2500000, CSIB_Ok, 46.7423010013, 33.8132927465, 1e-3},
         {"far, 3750 km north-east (was 3.6 km off)", 2250000, 3000000, CSIB_OutsideDomain, kUnpinned, kUnpinned,
          0},
         {"north pole", 4238622.179, 0, CSIB_Ok, 90.0, 0.0, 1e-3},
         {"23 m from the pole", 4238600, 5, CSIB_Ok, 89.9997964447, 12.7041283041, 1e-3},
         {"700 m from the pole", 4238000, 300, CSIB_Ok, 89.9938159417, 25.7425001666, 1e-3},
     }},
    // PROJ: +proj=sterea +lat_0=52.15616055555555 +lon_0=5.38763888888889 +k=0.9999079
    // +x_0=155000 +y_0=463000 +ellps=bessel (the polynomials within 1 mm of it).
    {"RD stereographic",
     12,
     6377397.155,
     6356078.962818189,
     0,
     0,
     1,
     {
         {"inside", 60246, 33280, CSIB_Ok, 52.6966631669, 5.8799943285, 2e-3},
         {"north-west corner", 170644, -144566, CSIB_Ok, 53.6700001074, 3.2000071463, 2e-3},
         {"far, 2000 km north", 2000000, 0, CSIB_Ok, kUnpinned, kUnpinned, 0},
         {"far, 3970 km north (was 5.5 mm off)", 3875000, -875000, CSIB_OutsideArea, kUnpinned, kUnpinned, 0},
     }},
    // PROJ: proj -I +proj=krovak +ellps=bessel (east, north as given).
    {"Krovak",
     3,
     6377397.155,
     6356078.962818189,
     0,
     0,
     1,
     {
         {"inside", -1068928, -662529, CSIB_Ok, 49.9499995214, 15.5799937236, 2e-3},
         {"south-west corner", -1276319, -951556, CSIB_Ok, 47.7300012500, 12.0899988475, 2e-3},
         {"far, 1700 km south", -3000000, -500000, CSIB_Ok, kUnpinned, kUnpinned, 0},
         {"behind the apex (was 2060 km off)", 1025000, -100000, CSIB_OutsideArea, kUnpinned, kUnpinned, 0},
         {"apex (was 5 m off)", 0, 0, CSIB_Ok, 59.7575985631, 24.8333333333, 0.05},
     }},
    // PROJ: proj -I +proj=nzmg +ellps=intl (false origin added).
    {"New Zealand map grid",
     6,
     6378388.0,
     6356911.946127946,
     0,
     0,
     1,
     {
         {"inside", 261741, -221614, CSIB_Ok, -38.6166622952, 170.4566616864, 1e-3},
         {"south-west corner", -759023, -498237, CSIB_Ok, -47.6500000901, 166.3700055214, 1e-3},
         {"far, 2500 km west", 0, -2500000, CSIB_Ok, kUnpinned, kUnpinned, 0},
         {"far, 3900 km south-west (was 3.2 km off)", -3625000, -1375000, CSIB_OutsideArea, kUnpinned,
          kUnpinned, 0},
         {"far, 4000 km south (was 2.8 mm off)", -4000000, 0, CSIB_OutsideArea, kUnpinned, kUnpinned, 0},
     }},
    // PROJ: +proj=somerc +lat_0=47.14439372222222 +lon_0=19.04857177777778 +k_0=0.99993
    // +x_0=650000 +y_0=200000 +ellps=GRS67 (the series within 3 mm of it).
    {"Hungarian EOV",
     17,
     6378160.0,
     6356774.516090714,
     0,
     0,
     1,
     {
         {"inside", 54576, -50744, CSIB_Ok, 47.6333352471, 18.3733303671, 5e-3},
         {"south-west corner", -151817, -228693, CSIB_Ok, 45.7400009298, 16.1100058537, 5e-3},
         {"far, 2500 km north", 2500000, 0, CSIB_Ok, kUnpinned, kUnpinned, 0},
         {"far, 2800 km south-west", -2000000, -2000000, CSIB_Ok, kUnpinned, kUnpinned, 0},
     }},
    // GeographicLib: CartConvert -l 52 5 0 of each answer at height 0 gives the grid
    // point within 0.01 mm (east, north).
    {"plane",
     10,
     6378137.0,
     6356752.314245179,
     52,
     5,
     1,
     {
         {"inside", 20000, -15000, CSIB_Ok, 52.1795414936, 4.7807105907, 1e-3},
         {"25 km corner", 25000, 25000, CSIB_Ok, 52.2241150695, 5.3658497780, 1e-3},
         {"far, 2000 km north (was 8.7 km off)", 2000000, 0, CSIB_Ok, 70.2566672740, 5.0, 1e-3},
         {"far, 3200 km east (was 74 km off)", -1000000, 3000000, CSIB_Ok, 35.9834472287, 40.4926787282, 1e-3},
         {"beyond the earth's outline (was 1558 km off)", 7000000, 0, CSIB_ECEFNotConverged, kUnpinned, kUnpinned, 0},
     }},
};

void MakeBlock(csibtest::BlockHolder& held, const System& s) {
    ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, s.a, s.b));
    held.block->originLatitude = s.originLatitude * kDeg;
    held.block->originLongitude = s.originLongitude * kDeg;
    held.block->scaleFactor = s.scale;
    ASSERT_EQ(CSIB_Ok, csib_SetProjection(held.block, s.kind, nullptr)) << s.name;
}


void ExpectCases(csib_Block* block, const char* name, const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        csib_GridPoint keyed{c.north, c.east, 0.0, 0.0, 0, 0, 0, 0};
        csib_GeodeticPoint out{};
        EXPECT_EQ(c.status, block->projection.Inverse(block, &keyed, &out)) << name << ": " << c.where;
        if (c.status != CSIB_Ok) continue;
        EXPECT_LE(std::fabs(out.latitude), 90.0 * kDeg) << name << ": " << c.where;
        EXPECT_LE(std::fabs(out.longitude), 180.0 * kDeg) << name << ": " << c.where;
        csib_GridPoint back{};
        ASSERT_EQ(CSIB_Ok, block->projection.Forward(block, &out, &back)) << name << ": " << c.where;
        EXPECT_NEAR(c.north, back.north, kReturnsWithin) << name << ": " << c.where;
        EXPECT_NEAR(c.east, back.east, kReturnsWithin) << name << ": " << c.where;
        if (!std::isnan(c.latitude)) {
            EXPECT_TRUE(csibtest::NearOnTheGround(out, c.latitude, c.longitude, c.within)) << name << ": " << c.where;
        }
    }
}

TEST(ProjectionInverseEdges, AnswerOnlyPointsTheirForwardGivesBack) {
    for (const System& s : kSystems) {
        csibtest::BlockHolder held;
        MakeBlock(held, s);
        ExpectCases(held.block, s.name, s.cases);
    }
}

// The oblique plane through earth-centred coordinates about 52 N 5 E.
void MakeEcefPlane(csibtest::BlockHolder& held) {
    ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, 6378137.0, 6356752.3142));
    const csib_GeodeticPoint origin{52.0 * kDeg, 5.0 * kDeg, 40.0, 0.0, 1, 0};
    double saved[10] = {0.0, 0.0, 0.0, 1000.0, 2000.0, 40.0, 0.0, 0.0, 0.0, 1.0};
    ASSERT_EQ(CSIB_Ok, csib_GeodeticToECEF(6378137.0, 6356752.3142, &origin, &saved[0], &saved[1], &saved[2]));
    ASSERT_EQ(CSIB_Ok, csib_SetProjection(held.block, 13, csibtest::Saved(saved, 10).data()));
}

// The kinds whose inverse is a closed form, about 47 N 8 E, with the saved part each needs.
void MakeClosedForm(csibtest::BlockHolder& held, uint8_t kind) {
    ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, 6378137.0, 6356752.3142));
    held.block->originLatitude = 47.0 * kDeg;
    held.block->originLongitude = 8.0 * kDeg;
    held.block->scaleFactor = 0.9999;
    const double parallels[2] = {45.0 * kDeg, 49.0 * kDeg};
    std::vector<uint8_t> saved = csibtest::Saved(parallels, 2);  // Albers
    if (kind == 4) saved = {1};                                  // Lambert, one parallel
    if (kind == 8) {                                             // oblique Mercator by its angle
        const double angle = 0.5;
        saved = csibtest::Saved(&angle, 1);
        saved.insert(saved.begin(), {1, 0, 0});
    }
    ASSERT_EQ(CSIB_Ok, csib_SetProjection(held.block, kind, saved.data())) << int(kind);
}

// PROJ, each about 47 N 8 E with scale 0.9999 on a = 6378137, b = 6356752.3142 (proj -I,
// to 1e-10 degrees): aea +lat_1=45 +lat_2=49 (a and b scaled by 0.9999); lcc +lat_1=47;
// merc +k_0=0.6831543349613657 (the origin parallel's factor times 0.9999); somerc; omerc
// +gamma=28.64788975654116 +no_rot +no_uoff (x north, y east); stere; stere +lat_0=90;
// sterea. Poles are PROJ's forward of the pole. Within 1 mm unless stated; 0 where PROJ
// fails, the round trip alone counting.
struct ClosedForm {
    const char* name;
    uint8_t kind;
    std::vector<Case> cases;
};
const ClosedForm kClosedForms[] = {
    {"Albers",
     1,
     {
         {"inside", 67000, 52600, CSIB_Ok, 47.6002364700, 8.6999379621, 1e-3},
         {"edge, 40 N 20 E", -700000, 1030000, CSIB_Ok, 39.9739234479, 20.0319627080, 1e-3},
         {"far, 3000 km south", -3000000, 0, CSIB_Ok, 19.1579930812, 8.0, 1e-3},
         {"beyond the cone's cut (was 193.6 E, 3750 km off)", 7750000, 1750000, CSIB_MissingOutput, kUnpinned,
          kUnpinned, 0},
         // The pole is an arc here; its scale along the meridian falls to 0, so 0.5 m of
         // grid is 1.3 km of ground (PROJ's inverse answers the pole itself there).
         {"on the pole's arc (was refused)", 3613810.314426, 0, CSIB_Ok, 90.0, 8.0, 1e-3},
         {"0.5 m off the pole's arc (89.988 N)", 3613809.814426, 0, CSIB_Ok, kUnpinned, kUnpinned, 0},
     }},
    {"Lambert",
     4,
     {
         {"inside", 67000, 52600, CSIB_Ok, 47.6005810920, 8.6995130368, 1e-3},
         {"edge, 40 N 20 E", -700000, 1030000, CSIB_Ok, 40.0027983175, 20.0246628625, 1e-3},
         {"far, 4000 km south", -4000000, 0, CSIB_Ok, 12.8333882765, 8.0, 1e-3},
         {"beyond the apex", 7000000, 0, CSIB_IterationLimit, kUnpinned, kUnpinned, 0},
         {"north pole", 5957790.233208, 0, CSIB_Ok, 90.0, 8.0, 1e-3},
         {"10 km from the pole", 5947790.233208, 0, CSIB_Ok, 89.9927670588, 8.0, 1e-3},
         // Within about 5 km of the pole the forward's 1 - sin(latitude) leaves it
         // millimetres of noise: nothing returns within 0.1 mm.
         {"1 km from the pole", 5956790.233208, 0, CSIB_IterationLimit, kUnpinned, kUnpinned, 0},
     }},
    {"Mercator",
     5,
     {
         {"inside", 4105000, 53200, CSIB_Ok, 47.5993599760, 8.6995545614, 1e-3},
         {"edge, 40 N 20 E", 3305000, 912600, CSIB_Ok, 39.9957250160, 20.0002536225, 1e-3},
         {"past the antimeridian (was 218.4 E)", 3305000, 16000000, CSIB_IterationLimit, kUnpinned, kUnpinned, 0},
         {"towards the pole", 20000000, 0, CSIB_Ok, 88.8444421434, 8.0, 1e-3},
     }},
    {"oblique cylindrical",
     7,
     {
         {"inside", 67000, 52600, CSIB_Ok, 47.6005810187, 8.6995130912, 1e-3},
         {"edge, 40 N 20 E", -700000, 1030000, CSIB_Ok, 39.9997923543, 20.0268301392, 1e-3},
         {"far, 4200 km south-east", -3000000, 3000000, CSIB_Ok, 16.5580029354, 33.1362615518, 1e-3},
         {"north pole", 5319466.118432, 0, CSIB_Ok, 90.0, 8.0, 1e-3},
         // Past a quarter turn of the oblique sphere the forward folds back: its point is
         // not PROJ's (70.0 N 94.8 E), but it is given back.
         {"far, 5800 km north-east", 5000000, 3000000, CSIB_Ok, kUnpinned, kUnpinned, 0},
     }},
    {"oblique Mercator",
     8,
     {
         {"inside", 6362000, -9500, CSIB_Ok, 47.5993412111, 8.6999318944, 1e-3},
         {"edge, 40 N 20 E", 6499000, 1229000, CSIB_Ok, 39.9969251202, 19.9962990760, 1e-3},
         {"far, 4000 km across the line", 6362000, -4000000, CSIB_Ok, 61.6083090575, -46.5246049477, 1e-3},
         {"1.1 km from the pole", 10019017.559895, -3330595.015667, CSIB_Ok, 89.99, 7.9999999895, 1e-3},
         {"past the pole's image (was 2850 km off)", 10250000, -2000000, CSIB_IterationLimit, kUnpinned, kUnpinned, 0},
     }},
    {"oblique stereographic",
     9,
     {
         {"inside", 67000, 52600, CSIB_Ok, 47.6005723194, 8.6995036452, 1e-3},
         {"edge, 40 N 20 E", -700000, 1030000, CSIB_Ok, 40.0334989987, 20.0479357249, 1e-3},
         {"far, 4500 km south-west", -4000000, -2000000, CSIB_Ok, 10.7961103821, -8.5369156256, 1e-3},
         // PROJ's forward of the pole; both inverses answer 9 cm short of it, which the
         // forward gives back as well.
         {"north pole", 5040007.737440, 0, CSIB_Ok, 89.9999991519, 8.0, 1e-3},
         {"0.7 m from the pole", 5040007.237, 0.5, CSIB_Ok, 89.9999945039, 52.9747849709, 1e-3},
         {"0.7 m past the pole (was 8.8 mm off)", 5040008.237, 0.5, CSIB_IterationLimit, kUnpinned, kUnpinned, 0},
     }},
    {"polar stereographic",
     11,
     {
         {"inside", -4955000, 60500, CSIB_Ok, 47.5990896734, 8.6995403466, 1e-3},
         {"edge, 40 N 20 E", -5823000, 1237800, CSIB_Ok, 40.0024887207, 20.0007827096, 1e-3},
         {"far, on the equator", -9000000, -9000000, CSIB_Ok, -0.0707109959, -37.0, 1e-3},
         {"far, across the pole (was 233 E)", 9000000, -9000000, CSIB_Ok, -0.0707109959, -127.0, 1e-3},
         {"north pole", 0, 0, CSIB_Ok, 90.0, 8.0, 1e-3},
         {"1.4 m from the pole", 1, -1, CSIB_Ok, 89.9999873372, -127.0, 1e-3},
     }},
    {"double stereographic",
     18,
     {
         {"inside", 67000, 52600, CSIB_Ok, 47.6005762223, 8.6995283570, 1e-3},
         {"edge, 40 N 20 E", -700000, 1030000, CSIB_Ok, 40.0327575459, 20.0433928749, 1e-3},
         {"far, 12000 km west", 1000000, -12000000, CSIB_Ok, 5.5255421211, -83.1538313536, 1e-3},
         {"north pole", 5031229.271716, 0, CSIB_Ok, 90.0, 8.0, 1e-3},
         {"0.7 m from the pole", 5031228.771716, 0.5, CSIB_Ok, 89.9999944189, 52.9672423180, 5e-3},
     }},
};

TEST(ProjectionInverseEdges, ClosedFormsAnswerOnlyPointsTheirForwardGivesBack) {
    for (const ClosedForm& s : kClosedForms) {
        csibtest::BlockHolder held;
        MakeClosedForm(held, s.kind);
        ExpectCases(held.block, s.name, s.cases);
    }
}

// A null north or east has no point: the answer is null, with the heights passed on.
TEST(ProjectionInverseEdges, NullGridPointStaysNull) {
    const uint8_t closedForms[] = {1, 4, 5, 7, 8, 9, 11, 18};
    std::vector<csibtest::BlockHolder> blocks(std::size(kSystems) + 1 + std::size(closedForms));
    for (std::size_t i = 0; i < std::size(kSystems); ++i) MakeBlock(blocks[i], kSystems[i]);
    MakeEcefPlane(blocks[std::size(kSystems)]);
    for (std::size_t i = 0; i < std::size(closedForms); ++i)
        MakeClosedForm(blocks[std::size(kSystems) + 1 + i], closedForms[i]);
    for (csibtest::BlockHolder& held : blocks) {
        const int kind = held.block->projectionKind;
        for (const auto& [north, east] : {std::pair{MATHS_Null, 100.0}, {100.0, MATHS_Null}}) {
            csib_GridPoint keyed{north, east, 0.0, 12.5, 0, 0, 0, 1};
            csib_GeodeticPoint out{};
            EXPECT_EQ(CSIB_Ok, held.block->projection.Inverse(held.block, &keyed, &out)) << "kind " << kind;
            EXPECT_TRUE(maths_IsNull(out.latitude)) << "kind " << kind;
            EXPECT_TRUE(maths_IsNull(out.longitude)) << "kind " << kind;
            EXPECT_EQ(12.5, out.orthometricHeight) << "kind " << kind;
            EXPECT_EQ(1, out.hasOrthometricHeight) << "kind " << kind;
        }
    }
}

}  // namespace
