// Krovak oblique conformal conic, kind 3: the Czech and Slovak system on Bessel 1841
// with its constants built in; the Ferro offset is the one parameter. Record:
// csib_KrovakParameters; saved part: the offset (none in images up to 1.2). Within
// 1 mm of the rigorous projection over Czechia and Slovakia (rounded constants); the
// inverse, whose fitted latitude series misses by up to 1 mm, is refined on the
// forward.
#include <cmath>

#include "csib/csibplatform.h"
#include "csib/image.h"
#include "csib/kinds.h"
#include "csib/projection_national.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kAlpha = 1.000597498372;
constexpr double kE = 0.0816968303;
constexpr double kK = 1.003419164;
constexpr double kN = 0.97992470462083;
constexpr double kRho0 = 1298039.0046;
constexpr double kS0 = 1.3700834628155487;
constexpr double kVk = 0.7422081354324841;
constexpr double kUk = 1.042168563804743;
constexpr double kAlphaC = 0.5286277629901536;
constexpr double kR = 6380703.6105;
constexpr double kHalfS0PlusQuarter = 1.4704398948052226;
constexpr double kInverseN = 1.0204865693310534;
constexpr double kInverseAlpha = 1.0005974983;
constexpr double kDegree = 0.017453292519943295;

constexpr double kOriginLatitude = 1.0429668528963039;
constexpr double kOriginLongitude = 0.4334247135733002;

csib_KrovakParameters* Record(csib_Block* block) {
    return static_cast<csib_KrovakParameters*>(block->projectionParameters);
}

// The Ferro offset travels in images from 1.3; its saved part is sized above 1.2.
bool ReadsOffset(double version) { return version >= 1.3; }
bool SavesOffset(double version) { return version > 1.2; }

// asin(x) as the system takes it.
double ArcSine(double x) { return std::atan(x / std::sqrt(1.0 - x * x)); }

// Latitude and longitude on the conformal sphere.
void Sphere(double latitude, double longitude, double ferroOffset, double* u, double* v) {
    const double es = kE * std::sin(latitude);
    *u = 2.0 * (std::atan(kK * std::pow(std::tan(latitude / 2.0 + kPi / 4.0), kAlpha) *
                          std::pow((1.0 - es) / (1.0 + es), kAlpha * kE / 2.0)) -
                kPi / 4.0);
    *v = kAlpha * (longitude + ferroOffset);
}

csib_Status Load(csib_Block* block, const uint8_t* saved) {
    auto* record = static_cast<csib_KrovakParameters*>(csib_MemAlloc(sizeof(csib_KrovakParameters)));
    if (!record) return CSIB_OutOfMemory;
    record->ferroOffset =
        saved && ReadsOffset(block->version) ? csib_GetDouble(saved, block->swapBytes) : CSIB_FerroOffset;
    block->projectionParameters = record;
    block->originLatitude = kOriginLatitude;
    block->originLongitude = kOriginLongitude;
    block->falseNorthing = 0.0;
    block->falseEasting = 0.0;
    block->scaleFactor = 1.0;
    return CSIB_Ok;
}

csib_Status Save(csib_Block* block, uint8_t* out, uint8_t) {
    if (SavesOffset(block->version)) csib_PutDouble(out, Record(block)->ferroOffset);
    return CSIB_Ok;
}

csib_Status GetSavedSize(csib_Block* block, uint8_t, int32_t* size) {
    if (!size) return CSIB_MissingOutput;
    *size = SavesOffset(block->version) ? 8 : 0;
    return CSIB_Ok;
}

csib_Status GetParameters(csib_Block* block, int16_t index, void** parameter) {
    if (!parameter) return CSIB_MissingOutput;
    *parameter = index == 0 ? &Record(block)->ferroOffset : nullptr;
    return CSIB_Ok;
}

csib_Status Forward(csib_Block* block, const csib_GeodeticPoint* in, csib_GridPoint* out) {
    double u = 0.0, v = 0.0;
    Sphere(in->latitude, in->longitude, Record(block)->ferroOffset, &u, &v);
    const double sinS = std::sin(kUk) * std::sin(u) + std::cos(kUk) * std::cos(u) * std::cos(kVk - v);
    if (std::fabs(std::fabs(sinS) - 1.0) < 1e-15) {
        out->north = 0.0;
        out->east = 0.0;
    } else {
        const double s = ArcSine(sinS);
        const double d = ArcSine(std::cos(u) * std::sin(kVk - v) / std::cos(s));
        const double theta = kN * d;
        const double rho =
            kRho0 * std::pow(std::tan(kHalfS0PlusQuarter), kN) / std::pow(std::tan(s / 2.0 + kPi / 4.0), kN);
        out->north = -rho * std::cos(theta);
        out->east = -rho * std::sin(theta);
    }
    csib_HeightsToGrid(in, out);
    return CSIB_Ok;
}

csib_Status Inverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    if (csib_NullInverse(in, out)) return CSIB_Ok;
    const double x = -in->north;
    const double y = -in->east;
    // At the apex (rho 0) these give the cone's pole, the point the forward takes there.
    const double rho = std::sqrt(x * x + y * y);
    const double theta = std::fabs(x) < 1e-15 ? kPi / 2.0 : std::atan(y / x);
    const double s = 2.0 * std::atan(std::pow(kRho0 / rho, kInverseN) * std::tan(kHalfS0PlusQuarter)) - kPi / 2.0;
    const double d = theta / kN;
    const double u = ArcSine(std::cos(kAlphaC) * std::sin(s) - std::cos(d) * std::sin(kAlphaC) * std::cos(s));
    const double vPrime = ArcSine(std::sin(d) * std::cos(s) / std::cos(u));
    out->longitude = (kVk - vPrime) / kInverseAlpha - Record(block)->ferroOffset;
    // The latitude by its fitted series in the sphere's latitude.
    const double w = (u / kDegree - 49.45995729167) * 0.36;
    const double seconds = 10014.16023 * w - 2.4130973 * w * w + 0.0128873 * w * w * w +
                           0.0025186 * w * w * w * w - 0.0000025 * w * w * w * w * w;
    out->latitude = (49.5 + seconds / 3600.0) * kDegree;
    csib_HeightsToGeodetic(in, out);
    return csib_RefineInverse(block, Forward, in->north, in->east, out, CSIB_OutsideArea);
}

csib_Status ScaleFactor(csib_Block* block, const csib_GeodeticPoint* in, double* k) {
    if (!k) return CSIB_MissingOutput;
    csib_GridPoint grid{};
    Forward(block, in, &grid);
    double rho = std::sqrt(grid.north * grid.north + grid.east * grid.east);
    if (rho < 1e-15) rho = 1e-6;
    const double s = 2.0 * std::atan(std::pow(kRho0 / rho, 1.0 / kN) * std::tan(kS0 / 2.0 + kPi / 4.0)) - kPi / 2.0;
    *k = kN * rho / (kR * std::cos(s));
    return CSIB_Ok;
}

// The azimuth of grid north, as every kind gives it: the block's own Ferro offset, and
// the sign of the engine's convergence.
csib_Status Convergence(csib_Block* block, const csib_GeodeticPoint* in, double* gamma) {
    if (!gamma) return CSIB_MissingOutput;
    double u = 0.0, v = 0.0;
    Sphere(in->latitude, in->longitude, Record(block)->ferroOffset, &u, &v);
    const double sinS = std::sin(kUk) * std::sin(u) + std::cos(kUk) * std::cos(u) * std::cos(kVk - v);
    const double cosS = std::sqrt(1.0 - sinS * sinS);
    const double sinD = cosS < 1e-15 ? 0.0 : std::cos(u) * std::sin(kVk - v) / cosS;
    const double d = ArcSine(sinD);
    *gamma = -(kN * d - ArcSine(std::sin(kAlphaC) * sinD / std::cos(u)));
    return CSIB_Ok;
}

}  // namespace

const csib_ProjectionFunctions csib_KrovakFunctions = {
    Load,    csib_NoFileWork, csib_NoFileWork, csib_FreeProjectionRecord, Save,        Forward,
    Inverse, ScaleFactor,     Convergence,     GetParameters,             GetSavedSize,
};
