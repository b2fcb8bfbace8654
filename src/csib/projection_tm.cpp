// Transverse Mercator, kind 14: the eighth-order series in the longitude difference
// about the central meridian, with the meridian arc from the pole. Forward within
// 1 mm up to 6 degrees from the central meridian; the inverse series (0.4 mm off the
// forward at 6 degrees) is refined on the forward, starting near a pole from the
// pole's image instead. Record: csib_TMParameters; no saved part.
#include "csib/projection_tm.h"

#include <cmath>
#include <initializer_list>

#include "csib/csibplatform.h"
#include "csib/kinds.h"
#include "csib/projection.h"
#include "foundation/kernel/maths.h"

namespace {

constexpr int kFootpointIterations = 10;
constexpr double kFootpointStep = 1.6e-16;

const csib_TMParameters* Parameters(const csib_Block* block) {
    return static_cast<const csib_TMParameters*>(block->projectionParameters);
}

csib_Status tm_Load(csib_Block* block, const uint8_t*) {
    auto* parameters = static_cast<csib_TMParameters*>(csib_MemAlloc(sizeof(csib_TMParameters)));
    if (!parameters) return CSIB_OutOfMemory;
    csib_FillTMParameters(block, parameters);
    block->projectionParameters = parameters;
    return CSIB_Ok;
}

// Powers of t = tan(latitude) and of eta^2 = e'^2 cos^2(latitude) in the series.
struct Powers {
    double t2, t4, t6, h2, h4, h6, h8, h10, h12;
    Powers(double t, double eta2)
        : t2(t * t), t4(t2 * t2), t6(t4 * t2), h2(eta2), h4(h2 * h2), h6(h4 * h2), h8(h4 * h4), h10(h8 * h2),
          h12(h8 * h4) {}
};

// e'^2 from the block's axes, so that scale and convergence work without a record.
double SecondEccentricitySquared(const csib_Block* block) {
    const double a = block->semiMajorAxis;
    const double b = block->semiMinorAxis;
    return (a * a - b * b) / (b * b);
}

}  // namespace

csib_Status tm_Forward(csib_Block* block, const csib_GeodeticPoint* in, csib_GridPoint* out) {
    const csib_TMParameters* p = Parameters(block);
    const double phi = in->latitude;
    const double t = std::tan(phi);
    const double u = std::sin(phi);
    const double v = std::cos(phi);
    const Powers w(t, p->secondEccentricitySquared * v * v);
    const double t2 = w.t2, t4 = w.t4, t6 = w.t6;
    const double h2 = w.h2, h4 = w.h4, h6 = w.h6, h8 = w.h8, h10 = w.h10, h12 = w.h12;
    const double n = block->semiMajorAxis / std::sqrt(1.0 - block->eccentricitySquared * u * u);
    const double l = csib_DeltaLongitude(block, in->longitude);
    const double k0 = block->scaleFactor;

    const double r = csib_MeridianArc(block, std::fabs(u) / std::sqrt(1.0 + h2));
    const double dM = phi >= 0.0 ? p->arcToOrigin - r : r - p->arcToOriginMirrored;

    const double p3 = 1.0 - t2 + h2;
    const double p4 = 5.0 - t2 + 9.0 * h2 + 4.0 * h4;
    const double p5 = 5.0 - 18.0 * t2 + t4 + 14.0 * h2 - 58.0 * t2 * h2 + 13.0 * h4 - 64.0 * t2 * h4 + 4.0 * h6 -
                      24.0 * t2 * h6;
    const double p6 = 61.0 - 58.0 * t2 + t4 + 270.0 * h2 - 330.0 * t2 * h2 + 445.0 * h4 - 680.0 * t2 * h4 +
                      324.0 * h6 - 600.0 * t2 * h6 + 88.0 * h8 - 192.0 * t2 * h8;
    const double p7 = 61.0 - 479.0 * t2 + 179.0 * t4 - t6 + 331.0 * h2 - 3298.0 * t2 * h2 + 1771.0 * t4 * h2 +
                      715.0 * h4 - 8655.0 * t2 * h4 + 6080.0 * t4 * h4 + 769.0 * h6 - 10964.0 * t2 * h6 +
                      9480.0 * t4 * h6 + 412.0 * h8 - 6760.0 * t2 * h8 + 6912.0 * t4 * h8 + 88.0 * h10 -
                      1632.0 * t2 * h10 + 1920.0 * t4 * h10;
    const double p8 = 1385.0 - 3111.0 * t2 + 543.0 * t4 - t6 + 10899.0 * h2 - 32802.0 * t2 * h2 + 9219.0 * t4 * h2 +
                      34419.0 * h4 - 129087.0 * t2 * h4 + 49644.0 * t4 * h4 + 56385.0 * h6 - 252084.0 * t2 * h6 +
                      121800.0 * t4 * h6 + 50856.0 * h8 - 263088.0 * t2 * h8 + 151872.0 * t4 * h8 +
                      24048.0 * h10 - 140928.0 * t2 * h10 + 94080.0 * t4 * h10 + 4672.0 * h12 -
                      30528.0 * t2 * h12 + 23040.0 * t4 * h12;

    const double lv = l * v;
    const double lv2 = lv * lv;
    const double lv3 = lv2 * lv;
    const double lv5 = lv3 * lv2;
    const double lv7 = lv5 * lv2;
    out->east = k0 * n * (lv + lv3 / 6.0 * p3 + lv5 / 120.0 * p5 + lv7 / 5040.0 * p7);
    const double l2 = l * l;
    const double uv = u * v;
    const double v2 = v * v;
    out->north = k0 * (dM + n * (l2 * uv / 2.0 + l2 * l2 * uv * v2 / 24.0 * p4 +
                                 l2 * l2 * l2 * uv * v2 * v2 / 720.0 * p6 +
                                 l2 * l2 * l2 * l2 * uv * v2 * v2 * v2 / 40320.0 * p8));
    csib_HeightsToGrid(in, out);
    return CSIB_Ok;
}

namespace {

// The inverse series about the footpoint; -5 when the footpoint has no latitude.
csib_Status SeriesInverse(csib_Block* block, const csib_GridPoint* in, csib_GeodeticPoint* out) {
    const csib_TMParameters* p = Parameters(block);
    const double a = block->semiMajorAxis;
    const double b = block->semiMinorAxis;
    const double e2 = block->eccentricitySquared;
    const double k0 = block->scaleFactor;
    const double x = in->east / k0;
    double y = in->north / k0;
    const bool southernOrigin = block->originLatitude < 0.0;

    // The arc from the pole to the footpoint, in the problem mirrored to the north.
    double m0 = p->arcToOriginAbs;
    if (y < 0.0) {
        y = -y;
        m0 = -m0;
    }
    if (southernOrigin) m0 = -m0;
    const double d = std::fabs(y - m0);

    // The footpoint's reduced latitude; ten steps are kept even without convergence.
    double s = std::cos(d / b);
    for (int i = 0; i < kFootpointIterations; ++i) {
        const double m = csib_MeridianArc(block, s);
        const double w = (1.0 - s * s) / (p->secondEccentricitySquared * s * s + 1.0);
        if (w < 0.0) return CSIB_OutsideDomain;
        const double step = std::sqrt(w) * (m - d) / b;
        s += step;
        if (std::fabs(step) < kFootpointStep) break;
    }
    if (std::fabs(s) > 1.0) return CSIB_OutsideDomain;
    double footpoint = csib_Atan2(s * a, std::sqrt(1.0 - s * s) * b);
    if (southernOrigin) footpoint = -footpoint;

    const double sinF = std::sin(footpoint);
    const double cosF = std::cos(footpoint);
    const double t = std::tan(footpoint);
    const Powers powers(t, p->secondEccentricitySquared * cosF * cosF);
    const double t2 = powers.t2, t4 = powers.t4, t6 = powers.t6;
    const double h2 = powers.h2, h4 = powers.h4, h6 = powers.h6, h8 = powers.h8, h10 = powers.h10;
    const double w = 1.0 - e2 * sinF * sinF;
    const double rho = a * (1.0 - e2) / std::pow(w, 1.5);
    const double n = a / std::sqrt(w);

    const double q3 = 1.0 + 2.0 * t2 + h2;
    const double q4 = 5.0 + 3.0 * t2 + h2 - 4.0 * h4 - 9.0 * t2 * h2;
    const double q5 = 5.0 + 28.0 * t2 + 24.0 * t4 + 6.0 * h2 + 8.0 * t2 * h2 - 3.0 * h4 + 4.0 * t2 * h4 - 4.0 * h6 +
                      24.0 * t2 * h6;
    const double q6 = 61.0 + 90.0 * t2 + 45.0 * t4 + 46.0 * h2 - 252.0 * t2 * h2 - 90.0 * t4 * h2 - 3.0 * h4 -
                      66.0 * t2 * h4 + 225.0 * t4 * h4 + 100.0 * h6 + 84.0 * t2 * h6 + 88.0 * h8 - 192.0 * t2 * h8;
    const double q7 = 61.0 + 662.0 * t2 + 1320.0 * t4 + 720.0 * t6 + 107.0 * h2 + 440.0 * t2 * h2 +
                      336.0 * t4 * h2 + 43.0 * h4 + 234.0 * t2 * h4 + 192.0 * t4 * h4 + 97.0 * h6 -
                      772.0 * t2 * h6 - 408.0 * t4 * h6 + 188.0 * h8 - 2392.0 * t2 * h8 + 1536.0 * t4 * h8 -
                      88.0 * h10 - 1632.0 * t2 * h10 + 1920.0 * t4 * h10;
    const double q8 = 1385.0 + 3633.0 * t2 + 4095.0 * t4 + 1575.0 * t6;

    const double x2 = x * x;
    const double x4 = x2 * x2;
    const double x6 = x4 * x2;
    const double x8 = x4 * x4;
    const double n2 = n * n;
    const double n3 = n2 * n;
    const double n5 = n3 * n2;
    const double n7 = n5 * n2;
    out->latitude = footpoint - t * x2 / (2.0 * rho * n) + t * x4 / (24.0 * rho * n3) * q4 -
                    t * x6 / (720.0 * rho * n5) * q6 + t * x8 / (40320.0 * rho * n7) * q8;
    out->longitude = block->originLongitude +
                     (x / n - x2 * x / (6.0 * n3) * q3 + x4 * x / (120.0 * n5) * q5 - x6 * x / (5040.0 * n7) * q7) /
                         cosF;
    return CSIB_Ok;
}

// Near a pole the series, in powers of x / (N cos footpoint), fail. There the forward
// is close to polar coordinates about the pole's image: the distance from it gives the
// colatitude (on the polar radius of curvature a^2 / b), the direction the longitude.
// Within about 6 m of the pole the meridian arc is 0, and the forward leaves the pole's
// image only by its terms in the longitude, on the side away from the origin, along
// (sin l, 1 - cos l) to low order: the direction there is half the longitude. False
// when the start would lie beyond the equator, or (near the pole) when the grid point
// is not past the pole's image.
enum class Start { Polar, NearPole };
bool PoleStart(const csib_Block* block, const csib_GridPoint* in, Start start, csib_GeodeticPoint* out) {
    const csib_TMParameters* p = Parameters(block);
    const double k0 = block->scaleFactor;
    const double northPole = k0 * p->arcToOrigin;
    const double southPole = -k0 * p->arcToOriginMirrored;
    const bool north = std::fabs(in->north - northPole) <= std::fabs(in->north - southPole);
    const double towards = north ? northPole - in->north : in->north - southPole;
    const double distance = std::hypot(in->east, towards) / k0;
    double l = std::atan2(in->east, towards);
    double rho = distance;
    if (start == Start::NearPole) {
        if (!(towards < 0.0)) return false;
        l = 2.0 * std::atan2(-towards, in->east);
        if (l > CONSTANT_Pi) l -= CONSTANT_TwoPi;
        rho = distance / (2.0 * std::fabs(std::sin(l / 2.0)));
    }
    const double colatitude = rho * block->semiMinorAxis / (block->semiMajorAxis * block->semiMajorAxis);
    if (!(colatitude < CONSTANT_PiOverTwo)) return false;
    out->latitude = north ? CONSTANT_PiOverTwo - colatitude : colatitude - CONSTANT_PiOverTwo;
    out->longitude = block->originLongitude + l;
    return true;
}

}  // namespace

csib_Status tm_Inverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    if (csib_NullInverse(in, out)) return CSIB_Ok;
    csib_HeightsToGeodetic(in, out);
    if (SeriesInverse(block, in, out) == CSIB_Ok &&
        csib_RefineInverse(block, tm_Forward, in->north, in->east, out, CSIB_OutsideDomain) == CSIB_Ok)
        return CSIB_Ok;
    // From a start this far off, and on a forward whose arc is rough near the pole, a
    // second round of steps from the best point may be needed.
    for (Start start : {Start::Polar, Start::NearPole}) {
        if (!PoleStart(block, in, start, out)) continue;
        for (int round = 0; round < 2; ++round)
            if (csib_RefineInverse(block, tm_Forward, in->north, in->east, out, CSIB_OutsideDomain) == CSIB_Ok)
                return CSIB_Ok;
    }
    return CSIB_OutsideDomain;
}

csib_Status tm_ScaleFactor(csib_Block* block, const csib_GeodeticPoint* in, double* k) {
    const double v = std::cos(in->latitude);
    const double l = csib_DeltaLongitude(block, in->longitude);
    const Powers w(std::tan(in->latitude), v * v * SecondEccentricitySquared(block));
    const double t2 = w.t2, h2 = w.h2, h4 = w.h4, h6 = w.h6;
    const double lv2 = l * l * v * v;
    *k = block->scaleFactor *
         (1.0 + (1.0 + h2) * lv2 / 2.0 +
          lv2 * lv2 / 24.0 *
              (5.0 - 4.0 * t2 + 14.0 * h2 + 13.0 * h4 - 28.0 * t2 * h2 + 4.0 * h6 - 48.0 * t2 * h4 - 24.0 * t2 * h6) +
          lv2 * lv2 * lv2 / 720.0 * (61.0 - 148.0 * t2 + 16.0 * w.t4));
    return CSIB_Ok;
}

csib_Status tm_Convergence(csib_Block* block, const csib_GeodeticPoint* in, double* gamma) {
    const double v = std::cos(in->latitude);
    const double l = csib_DeltaLongitude(block, in->longitude);
    const Powers w(std::tan(in->latitude), v * v * SecondEccentricitySquared(block));
    const double t2 = w.t2, h2 = w.h2, h4 = w.h4, h6 = w.h6, h8 = w.h8;
    const double lv2 = l * l * v * v;
    *gamma = l * std::sin(in->latitude) *
             (1.0 + lv2 / 3.0 * (1.0 + 3.0 * h2 + 2.0 * h4) +
              lv2 * lv2 / 15.0 *
                  (2.0 - t2 + 15.0 * h2 + 35.0 * h4 - 15.0 * t2 * h2 + 33.0 * h6 - 50.0 * t2 * h4 + 11.0 * h8 -
                   60.0 * t2 * h6 - 24.0 * t2 * h8) +
              lv2 * lv2 * lv2 / 315.0 * (17.0 - 26.0 * t2 + 2.0 * w.t4));
    return CSIB_Ok;
}

const csib_ProjectionFunctions csib_TransverseMercatorFunctions = {
    tm_Load,     csib_NoFileWork, csib_NoFileWork, csib_FreeProjectionRecord,   csib_SaveNothing, tm_Forward,
    tm_Inverse,  tm_ScaleFactor,  tm_Convergence,  csib_NoProjectionParameters, csib_NoSavedPart,
};
