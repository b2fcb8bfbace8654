// Hungarian EOV, kind 17: oblique Mercator on the Gaussian sphere of GRS67, evaluated
// by fixed series. No record and no saved part. Forward within 3 mm of the rigorous
// projection from Sopron to Zahony; the inverse series (7 mm) is refined on the
// forward, which it then inverts within a micrometre.
#include <cmath>

#include "csib/kinds.h"
#include "csib/projection.h"

namespace {

constexpr double kToDegrees = 57.29577951308232;
constexpr double kToRadians = 0.017453292519943295;
constexpr double kSphereOriginLatitude = 0.8220500776893293;  // 47.1 degrees

csib_Status Load(csib_Block* block, const uint8_t*) {
    block->originLatitude = 0.8228248943093227;
    block->originLongitude = 0.3324602953246919;
    block->falseNorthing = 200000.0;
    block->falseEasting = 650000.0;
    block->scaleFactor = 0.99993;
    return CSIB_Ok;
}

double ArcSine(double x) { return std::atan(x / std::sqrt(1.0 - x * x + 1e-99)); }

csib_Status Forward(csib_Block*, const csib_GeodeticPoint* in, csib_GridPoint* out) {
    const double d = (in->latitude * kToDegrees - 47.16666666667) * 3600.0;
    const double sphereLatitude =
        ((0.99844601 * d + 2.4323e-8 * d * d - 5.3e-15 * d * d * d) / 3600.0 + 47.122238277777775) * kToRadians;
    const double sphereLongitude = (in->longitude * kToDegrees - 19.04857177777778) * 1.0007197049 * kToRadians;
    const double latitude = ArcSine(std::sin(sphereLatitude) * std::cos(kSphereOriginLatitude) -
                                    std::cos(sphereLongitude) * std::cos(sphereLatitude) *
                                        std::sin(kSphereOriginLatitude));
    const double longitude = ArcSine(std::cos(sphereLatitude) * std::sin(sphereLongitude) / std::cos(latitude));
    const double l = latitude * kToDegrees * 3600.0;
    const double l2 = l * l;
    out->north = 30.9277018 * l + 1.21156e-10 * l2 * l + 7.1e-22 * l2 * l2 * l;
    out->east = 30.9277018 * (longitude * kToDegrees * 3600.0);
    csib_HeightsToGrid(in, out);
    return CSIB_Ok;
}

// The longitude series' terms in y^2 x^3, y^4 x and x^5 carry the signs that fit the
// forward series (with the opposite signs the inverse misses by 0.6 m in the east).
csib_Status Inverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    if (csib_NullInverse(in, out)) return CSIB_Ok;
    const double y = in->north / 100000.0;
    const double x = in->east / 100000.0;
    const double x2 = x * x, x3 = x2 * x, x4 = x2 * x2, x5 = x4 * x;
    const double y2 = y * y, y3 = y2 * y, y4 = y2 * y2, y5 = y4 * y;
    const double longitudeSeconds =
        (4749.887086 * x + 80.126192 * y * x - 0.450552 * x3 + 1.351655 * y2 * x + 0.026083 * y3 * x -
         0.026083 * y * x3 - 0.000991 * y2 * x3 + 0.000495 * y4 * x + 0.0000991 * x5) /
            1.0007197049 +
        68574.8584;
    const double w = 3233.347264 * y - 27.271785 * x2 - 0.132421 * y3 - 0.46005 * y * x2 - 0.007761 * y2 * x2 +
                     0.002499 * x4 - 0.00015 * y3 * x2 + 0.000136 * y * x4 + 0.000008 * y5 - 80.0578;
    const double latitudeSeconds = std::fabs(1.00155641 * w - 2.4436e-8 * w * w + 6.5e-15 * w * w * w + 169800.0);
    out->latitude = latitudeSeconds / 3600.0 * kToRadians;
    out->longitude = longitudeSeconds / 3600.0 * kToRadians;
    csib_HeightsToGeodetic(in, out);
    return csib_RefineInverse(block, Forward, in->north, in->east, out, CSIB_OutsideArea);
}

}  // namespace

const csib_ProjectionFunctions csib_HungarianEOVFunctions = {
    Load,    csib_NoFileWork,             csib_NoFileWork,             csib_FreeProjectionRecord,   csib_SaveNothing,
    Forward, Inverse,                     csib_ScaleFactorUnavailable, csib_ConvergenceUnavailable,
    csib_NoProjectionParameters,          csib_NoSavedPart,
};
