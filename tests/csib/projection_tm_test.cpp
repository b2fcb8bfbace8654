#include "csib/projection_tm.h"

#include <cmath>

#include <gtest/gtest.h>

#include "csib/csib.h"
#include "csib/projection.h"
#include "csib_fixtures.h"

namespace {

using csibtest::BlockHolder;

constexpr double kDegree = 3.141592653589793 / 180.0;

struct Origin {
    double latitude, longitude, k0;  // degrees
};

// A block on a = 6378137, b = 6356752.3142 with a transverse Mercator stage.
void MakeTM(BlockHolder& held, const Origin& origin) {
    ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, 6378137.0, 6356752.3142));
    held.block->originLatitude = origin.latitude * kDegree;
    held.block->originLongitude = origin.longitude * kDegree;
    held.block->scaleFactor = origin.k0;
    ASSERT_EQ(CSIB_Ok, csib_SetProjection(held.block, CSIB_TransverseMercator, nullptr));
}

csib_GeodeticPoint Geodetic(double latitude, double longitude) {
    return {latitude * kDegree, longitude * kDegree, 0.0, 0.0, 0, 0};
}

// Exact transverse Mercator on the same ellipsoid (f = 0.003352810671830975):
// TransverseMercatorProj -e 6378137 f -l lon0 -k k0 -p 9, the origin's northing
// subtracted; convergence in degrees.
struct Reference {
    Origin origin;
    double latitude, longitude;  // degrees
    double east, north, gamma, k;
};
const Reference kReference[] = {
    {{0, 0, 0.9996}, 0, 0, 0.000000, 0.000000, 0.0, 0.9996},
    {{0, 0, 0.9996}, 0, 6, 668881.688527, 0.000000, 0.0, 1.005143494625354},
    {{0, 0, 0.9996}, -0.5, -6, -668856.201483, -55571.505481, 0.052555365833291, 1.005143066043511},
    {{0, 0, 0.9996}, 1, 3, 333927.937096, 110682.837757, 0.052406077828568, 1.000980637146372},
    {{0, 0, 0.9996}, -10, 4.5, 493660.120178, -1108784.007587, -0.783009624004949, 1.002617011095029},
    {{0, 0, 0.9996}, 10, -6, -658712.847698, 1111418.032868, -1.045671797582560, 1.004973869535648},
    {{0, 0, 0.9996}, -45, 2, 157630.640731, -4984896.171220, -1.414503703268436, 0.999905536346754},
    {{0, 0, 0.9996}, 45, -3, -236446.026102, 4987329.504647, -2.122299716578263, 1.000287497978494},
    {{0, 0, 0.9996}, 60, 6, 334359.667894, 6666593.572094, 5.200922216288393, 1.000970303540498},
    {{0, 0, 0.9996}, -75, -5, -144293.433431, -8329692.650695, 4.830450495584691, 0.999854530496068},
    {{49, 9, 0.9996}, 49, 9, 0.000000, 0.000000, 0.0, 0.9996},
    {{49, 9, 0.9996}, 49, 15, 438743.110849, 17367.261798, 4.535448508543270, 1.001965554182013},
    {{49, 9, 0.9996}, 52, 4, -343147.223103, 345394.246629, -3.943874652449747, 1.001045809765590},
    {{49, 9, 0.9996}, 40, 12, 256099.647971, -995386.724297, 1.929409692138845, 1.000407496799434},
    {{49, 9, 0.9996}, 60, 3, -334359.667894, 1239137.790948, -5.200922216288393, 1.000970303540498},
    {{49, 9, 0.9996}, -2, 11, 222460.636613, -5648652.319894, -0.069827897034696, 1.000212657833531},
    {{49, 9, 0.9996}, 2, 15, 668473.934925, -5205169.850760, 0.210180522217070, 1.005136640046682},
    {{49, 9, 0.9996}, 80, 14, 96813.054775, 3458292.926545, 4.924415379390156, 0.999714522364377},
    {{-30, -57, 1}, -30, -57, 0.000000, 0.000000, 0.0, 1.0},
    {{-30, -57, 1}, -35, -51, 548073.539443, -570975.099351, -3.450033957310161, 1.003702715842254},
    {{-30, -57, 1}, -20, -63, -628768.958883, 1096458.126615, 2.058888487995462, 1.004888283334940},
    {{-30, -57, 1}, 5, -54, 332846.937513, 3873758.842953, 0.261709405208986, 1.001371027394517},
    {{-30, -57, 1}, -5, -60, -332846.937513, 2766467.952846, 0.261709405208986, 1.001371027394517},
    {{-30, -57, 1}, -60, -58.5, -83695.224972, -3334908.292652, 1.299112674012288, 1.000085809288925},
    {{-30, -57, 1}, 10, -51, 658976.438273, 4431976.175879, 1.045671797582560, 1.005376019943625},
};

bool WithinDegrees(const Reference& r, double limit) {
    return std::fabs(r.longitude - r.origin.longitude) <= limit;
}

TEST(TransverseMercator, ForwardWithinAMillimetreUpToSixDegrees) {
    for (const Reference& r : kReference) {
        BlockHolder held;
        MakeTM(held, r.origin);
        csib_GeodeticPoint in = Geodetic(r.latitude, r.longitude);
        in.ellipsoidHeight = 51.5;
        in.hasEllipsoidHeight = 1;
        in.orthometricHeight = 3.25;
        csib_GridPoint out{};
        out.applyFalseNorthing = 7;
        ASSERT_EQ(CSIB_Ok, held.block->projection.Forward(held.block, &in, &out));
        EXPECT_NEAR(r.east, out.east, 1e-3) << r.latitude << " " << r.longitude;
        EXPECT_NEAR(r.north, out.north, 1e-3) << r.latitude << " " << r.longitude;
        // Heights pass through; the apply flags are not touched.
        EXPECT_EQ(51.5, out.ellipsoidHeight);
        EXPECT_EQ(1, out.hasEllipsoidHeight);
        EXPECT_EQ(3.25, out.elevation);
        EXPECT_EQ(0, out.hasElevation);
        EXPECT_EQ(7, out.applyFalseNorthing);
    }
}

TEST(TransverseMercator, InverseWithinANanodegreeUpToThreeDegrees) {
    int checked = 0;
    for (const Reference& r : kReference) {
        if (!WithinDegrees(r, 3.0)) continue;
        BlockHolder held;
        MakeTM(held, r.origin);
        csib_GridPoint in{r.north, r.east, 8.5, 2.0, 0, 0, 0, 1};
        csib_GeodeticPoint out{};
        ASSERT_EQ(CSIB_Ok, held.block->projection.Inverse(held.block, &in, &out));
        EXPECT_NEAR(r.latitude, out.latitude / kDegree, 1e-9) << r.latitude << " " << r.longitude;
        EXPECT_NEAR(r.longitude, out.longitude / kDegree, 1e-9) << r.latitude << " " << r.longitude;
        EXPECT_EQ(2.0, out.orthometricHeight);
        EXPECT_EQ(1, out.hasOrthometricHeight);
        EXPECT_EQ(0, out.hasEllipsoidHeight);
        ++checked;
    }
    EXPECT_EQ(11, checked);
}

TEST(TransverseMercator, ScaleAndConvergence) {
    for (const Reference& r : kReference) {
        if (!WithinDegrees(r, 3.0)) continue;
        BlockHolder held;
        MakeTM(held, r.origin);
        const csib_GeodeticPoint at = Geodetic(r.latitude, r.longitude);
        double k = 0.0, gamma = 0.0;
        ASSERT_EQ(CSIB_Ok, held.block->projection.ScaleFactor(held.block, &at, &k));
        ASSERT_EQ(CSIB_Ok, held.block->projection.Convergence(held.block, &at, &gamma));
        EXPECT_NEAR(r.k, k, 1e-9) << r.latitude << " " << r.longitude;
        EXPECT_NEAR(r.gamma * kDegree, gamma, 1e-9) << r.latitude << " " << r.longitude;
    }
}

// Meridian arc from the north pole: GeodSolve -i -e 6378137 f -p 9 from (90, 0) to
// (latitude, 0); s is the sine of the reduced latitude atan2(b sin, a cos).
TEST(TransverseMercator, MeridianArcFromPoleToPole) {
    struct Arc {
        double latitude, s, arc;
    };
    const Arc arcs[] = {
        {89.9, 0.9999984666484734, 11169.397841339},    {80, 0.9847077016041672, 1116825.857383545},
        {60, 0.8652967524945888, 3347892.909839799},    {45, 0.7059183977947331, 5017021.351351136},
        {30, 0.4987411147453476, 6681852.331377987},    {10, 0.17308343841904478, 8896110.896058379},
        {1, 0.01739390955598532, 9891391.340721041},    {0, 0.0, 10001965.729277268},
        {-1, -0.01739390955598532, 10112540.117833493}, {-30, -0.4987411147453476, 13322079.127176549},
        {-60, -0.8652967524945888, 16656038.548714736}, {-80, -0.9847077016041672, 18887105.601170991},
        {-89, -0.9998466689344615, 19892237.593639545}, {-89.9, -0.9999984666484734, 19992762.060713194},
    };
    BlockHolder held;
    MakeTM(held, {0, 0, 1});
    for (const Arc& a : arcs) EXPECT_NEAR(a.arc, csib_MeridianArc(held.block, a.s), 1e-6) << a.latitude;
    EXPECT_EQ(0.0, csib_MeridianArc(held.block, 1.0));
    // At the south pole the series gives b pi, not the true half meridian.
    EXPECT_NEAR(6356752.3142 * 3.141592653589793, csib_MeridianArc(held.block, -1.0), 1e-6);
}

TEST(TransverseMercator, OriginCentralMeridianAndFarLongitudes) {
    BlockHolder held;
    MakeTM(held, {49, 9, 0.9996});
    csib_Block* block = held.block;
    csib_GeodeticPoint at = Geodetic(49, 9);
    csib_GridPoint grid{};
    ASSERT_EQ(CSIB_Ok, tm_Forward(block, &at, &grid));
    EXPECT_NEAR(0.0, grid.north, 1e-9);
    EXPECT_NEAR(0.0, grid.east, 1e-9);
    // On the central meridian: east 0, north k0 times the arc from 49 to 60 degrees
    // (GeodSolve: 1224445.187238 m).
    at = Geodetic(60, 9);
    ASSERT_EQ(CSIB_Ok, tm_Forward(block, &at, &grid));
    EXPECT_NEAR(0.0, grid.east, 1e-9);
    EXPECT_NEAR(0.9996 * 1224445.187238, grid.north, 1e-6);

    // A longitude more than pi from the central meridian is reduced once.
    BlockHolder dateLine;
    MakeTM(dateLine, {0, 179, 0.9996});
    at = Geodetic(-10, -178);  // 3 degrees east of 179
    ASSERT_EQ(CSIB_Ok, tm_Forward(dateLine.block, &at, &grid));
    BlockHolder greenwich;
    MakeTM(greenwich, {0, 0, 0.9996});
    csib_GridPoint same{};
    at = Geodetic(-10, 3);
    ASSERT_EQ(CSIB_Ok, tm_Forward(greenwich.block, &at, &same));
    EXPECT_NEAR(same.east, grid.east, 1e-6);
    EXPECT_NEAR(same.north, grid.north, 1e-6);
}

TEST(TransverseMercator, InverseOutsideTheDomain) {
    BlockHolder held;
    MakeTM(held, {0, 0, 1});
    csib_GridPoint south{-12000000.0, 0.0, 0, 0, 0, 0, 0, 0};
    csib_GeodeticPoint out{};
    EXPECT_EQ(CSIB_OutsideDomain, tm_Inverse(held.block, &south, &out));
}

TEST(TransverseMercator, NoSavedPartAndNoParameters) {
    BlockHolder held;
    MakeTM(held, {49, 9, 0.9996});
    const csib_ProjectionFunctions& slots = held.block->projection;
    for (uint8_t mode : {0, 1}) {
        int32_t size = -1;
        EXPECT_EQ(CSIB_Ok, slots.GetSavedSize(held.block, mode, &size));
        EXPECT_EQ(0, size);
    }
    EXPECT_EQ(CSIB_MissingOutput, slots.GetSavedSize(held.block, 1, nullptr));
    for (int16_t index : {0, 1, 5, -1}) {
        void* parameter = &held;
        EXPECT_EQ(CSIB_Ok, slots.GetParameters(held.block, index, &parameter));
        EXPECT_EQ(nullptr, parameter);
    }
    EXPECT_EQ(CSIB_MissingOutput, slots.GetParameters(held.block, 0, nullptr));
    EXPECT_EQ(CSIB_Ok, slots.Close(held.block));
    EXPECT_EQ(CSIB_Ok, slots.Reopen(held.block));
}

TEST(ProjectionRoutines, AnglesAndComplexNumbers) {
    const double pi = 3.141592653589793;
    struct Case {
        double (*function)(double);
        double in, out;
    };
    const Case cases[] = {
        {csib_NormalizeAngle2Pi, 2 * pi, 2 * pi},        {csib_NormalizeAngle2Pi, -0.5, 2 * pi - 0.5},
        {csib_NormalizeAngle2Pi, 7.0, 7.0 - 2 * pi},     {csib_NormalizeAngle2Pi, -7.0, 4 * pi - 7.0},
        {csib_NormalizeAnglePi, pi, pi},                 {csib_NormalizeAnglePi, -pi, -pi},
        {csib_NormalizeAnglePi, 4.0, 4.0 - 2 * pi},      {csib_NormalizeAnglePi, -4.0, 2 * pi - 4.0},
        {csib_NormalizeAnglePi, 7.0, 7.0 - 2 * pi},      {csib_NormalizeLatitude, 1.0, 1.0},
        {csib_NormalizeLatitude, 2.0, pi - 2.0},         {csib_NormalizeLatitude, -2.0, 2.0 - pi},
    };
    for (const Case& c : cases) EXPECT_NEAR(c.out, c.function(c.in), 1e-15) << c.in;

    const csib_Complex z{1.0, 2.0}, w{3.0, -4.0};
    const csib_Complex product = complex_Multiply(z, w);
    EXPECT_EQ(11.0, product.re);
    EXPECT_EQ(2.0, product.im);
    const csib_Complex quotient = complex_Divide(product, w);
    EXPECT_NEAR(1.0, quotient.re, 1e-15);
    EXPECT_NEAR(2.0, quotient.im, 1e-15);
    const csib_Complex sum = complex_Add(complex_Scale(z, 2.0), w);
    EXPECT_EQ(5.0, sum.re);
    EXPECT_EQ(0.0, sum.im);
}

}  // namespace
