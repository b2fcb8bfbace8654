// Grid scale and meridian convergence of the national kinds through the pipeline, over
// each system's area of use, against PROJ's factors of the rigorous projection each
// kind evaluates (proj -V: the meridian scale, equal to the parallel scale for these
// conformal projections, and the convergence in degrees). EOV, RD and the New Zealand
// map grid have no scale of their own (RD and EOV no convergence either): the
// pipeline takes them from the forward's derivatives. Krovak has both in closed form.
#include <cmath>

#include <gtest/gtest.h>

#include "csib/csib.h"
#include "csib/pipeline.h"
#include "csib_fixtures.h"

namespace {

using csibtest::BlockHolder;

constexpr double kDeg = 3.141592653589793 / 180.0;
constexpr double kArcSecond = 1.0 / 3600.0;  // degrees

struct Factors {
    double latitude, longitude;  // degrees
    double k;                    // grid scale
    double gamma;                // meridian convergence, degrees
};

template <std::size_t Count>
void ExpectFactors(uint8_t kind, double a, double b, const Factors (&table)[Count], double scaleTolerance,
                   double convergenceTolerance) {
    BlockHolder held;
    ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, a, b));
    ASSERT_EQ(CSIB_Ok, csib_SetProjection(held.block, kind, nullptr));
    held.block->groundScaleFactor = 1.0;
    for (const Factors& f : table) {
        const csib_GeodeticPoint at{f.latitude * kDeg, f.longitude * kDeg, 0.0, 0.0, 0, 0};
        double k = 0.0, gamma = 0.0;
        ASSERT_EQ(CSIB_Ok, csib_GetGridScaleFactor(held.block, &at, &k));
        ASSERT_EQ(CSIB_Ok, csib_GetConvergence(held.block, &at, &gamma));
        EXPECT_NEAR(f.k, k, scaleTolerance) << int(kind) << ": " << f.latitude << " " << f.longitude;
        EXPECT_NEAR(f.gamma, gamma / kDeg, convergenceTolerance) << int(kind) << ": " << f.latitude << " "
                                                                 << f.longitude;
    }
}

// +proj=somerc +lat_0=47.14439372222222 +lon_0=19.04857177777778 +k_0=0.99993 +ellps=GRS67,
// 45.74..48.58 N, 16.11..22.90 E. The fitted series is itself millimetres off the
// rigorous projection: 1 ppm and 0.1" (largest seen 0.15 ppm, 0.0015").
const Factors kEOV[] = {
    {45.74, 16.11, 1.00021321, -2.15435089},   {45.74, 18.3733, 1.00022861, -0.49516405},
    {45.74, 20.6367, 1.00022468, 1.16448323},  {45.74, 22.9, 1.00020182, 2.82314713},
    {46.6867, 16.11, 0.99995674, -2.1537983},  {46.6867, 18.3733, 0.99996153, -0.49503185},
    {46.6867, 20.6367, 0.99996028, 1.1641754}, {46.6867, 22.9, 0.99995338, 2.82244542},
    {47.6333, 16.11, 0.99997205, -2.15383129}, {47.6333, 18.3733, 0.99996659, -0.49503435},
    {47.6333, 20.6367, 0.99996793, 1.16418431}, {47.6333, 22.9, 0.99997644, 2.82251056},
    {48.58, 16.11, 1.00025923, -2.15445021},   {48.58, 18.3733, 1.00024388, -0.49517165},
    {48.58, 20.6367, 1.00024772, 1.16451013},  {48.58, 22.9, 1.0002711, 2.82334305},
    {47.5, 19.5, 0.9999493, 0.33093334},
};

TEST(ProjectionFactors, HungarianEOVAgainstTheObliqueMercatorOfGRS67) {
    ExpectFactors(17, 6378160.0, 6356774.516090714, kEOV, 1e-6, 0.1 * kArcSecond);
}

// +proj=sterea +lat_0=52.15616055555555 +lon_0=5.38763888888889 +k=0.9999079
// +ellps=bessel, 50.75..53.67 N, 3.20..7.22 E: 0.1 ppm and 0.01" (largest seen
// 0.011 ppm, 0.0003").
const Factors kRD[] = {
    {50.75, 3.2, 1.00019995, -1.71115996},    {50.75, 4.54, 1.00007939, -0.66299217},
    {50.75, 5.88, 1.00006528, 0.38510506},    {50.75, 7.22, 1.00015761, 1.43324327},
    {51.7233, 3.2, 1.00006098, -1.72255747},  {51.7233, 4.54, 0.99994298, -0.66740872},
    {51.7233, 5.88, 0.99992916, 0.38767049},  {51.7233, 7.22, 1.00001954, 1.44279009},
    {52.6967, 3.2, 1.00006594, -1.73395728},  {52.6967, 4.54, 0.99995049, -0.67182617},
    {52.6967, 5.88, 0.99993697, 0.39023645},  {52.6967, 7.22, 1.0000254, 1.45233885},
    {53.67, 3.2, 1.00021484, -1.74535867},    {53.67, 4.54, 1.00010194, -0.67624425},
    {53.67, 5.88, 1.00008872, 0.39280277},    {53.67, 7.22, 1.00017519, 1.46188894},
};

TEST(ProjectionFactors, RDStereographicAgainstTheDoubleStereographicOfBessel) {
    ExpectFactors(12, 6377397.155, 6356078.962818189, kRD, 1e-7, 0.01 * kArcSecond);
}

// +proj=nzmg +lat_0=-41 +lon_0=173 +ellps=intl, 47.65..34.10 S, 166.37..178.63 E:
// 0.1 ppm and 0.01" (largest seen 0.005 ppm, 0.00002").
const Factors kNZMG[] = {
    {-47.65, 166.37, 1.00025258, 4.69841068},    {-47.65, 170.4567, 1.00064109, 1.69764667},
    {-47.65, 174.5433, 1.00282759, -1.19786924}, {-47.65, 178.63, 1.00481769, -4.06910281},
    {-43.1333, 166.37, 1.00099013, 4.62940239},  {-43.1333, 170.4567, 1.00004672, 1.74723889},
    {-43.1333, 174.5433, 1.00028359, -1.03911837}, {-43.1333, 178.63, 1.0025668, -3.75590565},
    {-38.6167, 166.37, 1.00799319, 4.32266337},  {-38.6167, 170.4567, 1.00203889, 1.56790793},
    {-38.6167, 174.5433, 0.99985323, -1.02186108}, {-38.6167, 178.63, 1.00019325, -3.56781802},
    {-34.1, 166.37, 1.01426432, 3.29424678},     {-34.1, 170.4567, 1.00170337, 1.13801981},
    {-34.1, 174.5433, 1.00011835, -1.01618062},  {-34.1, 178.63, 1.0035382, -3.47275966},
};

TEST(ProjectionFactors, NewZealandMapGridAgainstProj) {
    ExpectFactors(6, 6378388.0, 6356911.946127946, kNZMG, 1e-7, 0.01 * kArcSecond);
}

// +proj=krovak +lat_0=49.5 +lon_0=24.83333333333333 +alpha=30.28813972222222 +k=0.9999
// +ellps=bessel, 47.73..51.06 N, 12.09..22.56 E: 0.1 ppm and 0.01" (largest seen
// 0.068 ppm, 0.00002").
const Factors kKrovak[] = {
    {47.73, 12.09, 1.00089294, -9.59609422}, {47.73, 15.58, 1.00031179, -6.93978789},
    {47.73, 19.07, 1.00004336, -4.30872898}, {47.73, 22.56, 0.99995266, -1.69641932},
    {48.84, 12.09, 1.00030275, -9.61412676}, {48.84, 15.58, 0.99996349, -6.9476894},
    {48.84, 19.07, 0.99990128, -4.31074676}, {48.84, 22.56, 0.99994023, -1.69647373},
    {49.95, 12.09, 0.99997464, -9.62512074}, {49.95, 15.58, 0.9999203, -6.94871018},
    {49.95, 19.07, 1.00011192, -4.30732678}, {49.95, 22.56, 1.00031611, -1.69405476},
    {51.06, 12.09, 0.99990742, -9.62754886}, {51.06, 15.58, 1.00019313, -6.94096291},
    {51.06, 19.07, 1.00070468, -4.29666851}, {51.06, 22.56, 1.00112676, -1.68824487},
};

TEST(ProjectionFactors, KrovakAgainstProj) {
    ExpectFactors(3, 6377397.155, 6356078.962818189, kKrovak, 1e-7, 0.01 * kArcSecond);
}

}  // namespace
