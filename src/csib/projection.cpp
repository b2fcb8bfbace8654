#include "csib/projection.h"

#include <cmath>

#include "csib/csibplatform.h"
#include "foundation/kernel/maths.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;

double MeridianArc(const csib_TMParameters* p, double b, double s) {
    const double cc = 1.0 - s * s;
    const double c = cc >= 1e-12 ? std::sqrt(cc) : 0.0;
    const double psi = csib_Atan2(c, s);
    const double t1 = c > 1e-8 ? s + psi / c : s + 1.0 / s;
    const double s2 = s * s;
    const double s3 = s2 * s;
    const double s5 = s3 * s2;
    const double s7 = s5 * s2;
    const double s9 = s7 * s2;
    const double t2 = s3 + 1.5 * t1;
    const double t3 = s5 + 1.25 * t2;
    const double t4 = s7 + 1.1666666666667 * t3;
    const double t5 = s9 + 1.125 * t4;
    return b * (psi + p->arcCoefficient1 * c * t1 + p->arcCoefficient2 * c * t2 + p->arcCoefficient3 * c * t3 +
                p->arcCoefficient4 * c * t4 + p->arcCoefficient5 * c * t5);
}

}  // namespace

void csib_FillTMParameters(const csib_Block* block, csib_TMParameters* p) {
    const double a = block->semiMajorAxis;
    const double b = block->semiMinorAxis;
    const double e2 = (a * a - b * b) / (b * b);
    const double e4 = e2 * e2;
    p->secondEccentricitySquared = e2;
    p->arcCoefficient1 = e2 / 4.0;
    p->arcCoefficient2 = -e4 / 32.0;
    p->arcCoefficient3 = e4 * e2 * 0.010416666666666666;
    p->arcCoefficient4 = -e4 * e4 * 0.0048828125;
    p->arcCoefficient5 = e4 * e4 * e2 * 0.0027343750000000003;
    const double cosOrigin = std::cos(block->originLatitude);
    const double s0 = std::sin(block->originLatitude) / std::sqrt(1.0 + e2 * cosOrigin * cosOrigin);
    p->arcToOriginAbs = MeridianArc(p, b, std::fabs(s0));
    p->arcToOrigin = MeridianArc(p, b, s0);
    p->arcToOriginMirrored = MeridianArc(p, b, -s0);
}

double csib_MeridianArc(const csib_Block* block, double s) {
    return MeridianArc(static_cast<const csib_TMParameters*>(block->projectionParameters), block->semiMinorAxis, s);
}

double csib_NormalizeAngle2Pi(double x) {
    if (x < 0.0 || x > kTwoPi) {
        x = std::fmod(x, kTwoPi);
        if (x < 0.0) x += kTwoPi;
    }
    return x;
}

double csib_NormalizeAnglePi(double x) {
    if (x < -kPi || x > kPi) {
        x = std::fmod(x, kTwoPi);
        if (x < -kPi) x += kTwoPi;
        if (x > kPi) x -= kTwoPi;
    }
    return x;
}

double csib_NormalizeLatitude(double x) {
    if (x < -kPi / 2.0 || x > kPi / 2.0) return std::asin(std::sin(x));
    return x;
}

double csib_Atan2(double y, double x) { return std::atan2(y, x); }

double csib_DeltaLongitude(const csib_Block* block, double longitude) {
    double delta = longitude - block->originLongitude;
    if (delta > kPi)
        delta -= kTwoPi;
    else if (delta < -kPi)
        delta += kTwoPi;
    return delta;
}

namespace {

constexpr double kDifferenceStep = 1e-5;     // radians
constexpr double kRefinedWithin = 1e-6;      // metres
constexpr double kReturnsWithin = 1e-4;      // metres
constexpr int kRefinementSteps = 4;

// The grid point of (latitude, longitude) as a copy of `point`.
csib_Status ForwardAt(csib_Block* block, csib_ForwardSlot forward, const csib_GeodeticPoint* point, double latitude,
                      double longitude, csib_GridPoint* grid) {
    csib_GeodeticPoint at = *point;
    at.latitude = latitude;
    at.longitude = longitude;
    return forward(block, &at, grid);
}

// d(north, east) per radian between the grid images of two points `step` apart on one
// axis: central over two steps, or one-sided from a point whose image is known.
void Difference(const csib_GridPoint& from, const csib_GridPoint& to, double step, double* north, double* east) {
    *north = (to.north - from.north) / step;
    *east = (to.east - from.east) / step;
}

// d(north, east) along one axis: central where both steps lie within the model, else
// one-sided from the point itself, so that a grid's edge (a forward that fails a step
// away) still has derivatives.
struct AxisDifference {
    csib_Block* block;
    csib_ForwardSlot forward;
    const csib_GeodeticPoint* point;
    double latitude, longitude;
    csib_GridPoint centre{};
    bool haveCentre = false;

    csib_Status Take(double stepLatitude, double stepLongitude, double* north, double* east) {
        const double h = kDifferenceStep;
        csib_GridPoint plus{}, minus{};
        const csib_Status up =
            ForwardAt(block, forward, point, latitude + stepLatitude, longitude + stepLongitude, &plus);
        const csib_Status down =
            ForwardAt(block, forward, point, latitude - stepLatitude, longitude - stepLongitude, &minus);
        if (up >= 0 && down >= 0) {
            Difference(minus, plus, 2.0 * h, north, east);
            return CSIB_Ok;
        }
        if (up < 0 && down < 0) return up;
        if (!haveCentre) {
            const csib_Status status = ForwardAt(block, forward, point, latitude, longitude, &centre);
            if (status < 0) return status;
            haveCentre = true;
        }
        if (up >= 0)
            Difference(centre, plus, h, north, east);
        else
            Difference(minus, centre, h, north, east);
        return CSIB_Ok;
    }
};

// One-sided differences from the point's own grid image, stepping towards the equator:
// half the forwards of central differences, and ample for Newton steps that start
// centimetres from their answer. Near a pole the latitude step shrinks with the
// distance from it, so that a step seldom crosses the circle a few metres from the
// pole within which a forward's meridian arc is 0.
csib_Status OneSidedDerivatives(csib_Block* block, csib_ForwardSlot forward, const csib_GeodeticPoint* point,
                                const csib_GridPoint& at, csib_ForwardDerivatives* out) {
    const double towardsEquator = point->latitude > 0.0 ? -1.0 : 1.0;
    const double fromPole = kPi / 2.0 - std::fabs(point->latitude);
    const double h = towardsEquator * kDifferenceStep;
    const double hLatitude = fromPole > 0.0 ? towardsEquator * std::fmin(kDifferenceStep, fromPole / 64.0) : h;
    csib_GridPoint moved{};
    csib_Status status = ForwardAt(block, forward, point, point->latitude + hLatitude, point->longitude, &moved);
    if (status < 0) return status;
    out->latitude = point->latitude;
    Difference(at, moved, hLatitude, &out->northByLatitude, &out->eastByLatitude);
    if ((status = ForwardAt(block, forward, point, point->latitude, point->longitude + h, &moved)) < 0) return status;
    Difference(at, moved, h, &out->northByLongitude, &out->eastByLongitude);
    return CSIB_Ok;
}

// A longitude a kind can answer: within pi of its central meridian or of Greenwich.
bool UsualLongitude(const csib_Block* block, double longitude) {
    return std::fabs(longitude) <= kPi || std::fabs(longitude - block->originLongitude) <= kPi;
}

}  // namespace

csib_Status csib_DifferentiateForward(csib_Block* block, csib_ForwardSlot forward, const csib_GeodeticPoint* point,
                                      csib_ForwardDerivatives* out) {
    const double h = kDifferenceStep;
    const double limit = kPi / 2.0 - h;
    AxisDifference axis{block, forward, point, std::fmax(-limit, std::fmin(limit, point->latitude)), point->longitude};
    double northByLatitude = 0.0, eastByLatitude = 0.0, northByLongitude = 0.0, eastByLongitude = 0.0;
    csib_Status status = CSIB_Ok;
    if ((status = axis.Take(h, 0.0, &northByLatitude, &eastByLatitude)) < 0) return status;
    if ((status = axis.Take(0.0, h, &northByLongitude, &eastByLongitude)) < 0) return status;
    out->latitude = axis.latitude;
    out->northByLatitude = northByLatitude;
    out->eastByLatitude = eastByLatitude;
    out->northByLongitude = northByLongitude;
    out->eastByLongitude = eastByLongitude;
    return CSIB_Ok;
}

csib_Status csib_RefineInverse(csib_Block* block, csib_ForwardSlot forward, double north, double east,
                               csib_GeodeticPoint* point, csib_Status failure) {
    csib_GridPoint grid{};
    if (forward(block, point, &grid) < 0) return failure;
    double missNorth = north - grid.north, missEast = east - grid.east;
    double miss = std::hypot(missNorth, missEast);
    for (int step = 0; step < kRefinementSteps && miss > kRefinedWithin; ++step) {
        csib_ForwardDerivatives d{};
        if (OneSidedDerivatives(block, forward, point, grid, &d) < 0) break;
        const double det = d.northByLatitude * d.eastByLongitude - d.northByLongitude * d.eastByLatitude;
        if (!std::isfinite(det) || det == 0.0) break;
        csib_GeodeticPoint trial = *point;
        trial.latitude += (d.eastByLongitude * missNorth - d.northByLongitude * missEast) / det;
        trial.longitude += (d.northByLatitude * missEast - d.eastByLatitude * missNorth) / det;
        csib_GridPoint trialGrid{};
        if (forward(block, &trial, &trialGrid) < 0) break;
        const double trialNorth = north - trialGrid.north, trialEast = east - trialGrid.east;
        const double trialMiss = std::hypot(trialNorth, trialEast);
        if (!(trialMiss < miss)) break;
        grid = trialGrid;
        point->latitude = trial.latitude;
        point->longitude = trial.longitude;
        missNorth = trialNorth;
        missEast = trialEast;
        miss = trialMiss;
    }
    // A NaN miss fails the test as well.
    const bool returns = miss <= kReturnsWithin && std::fabs(point->latitude) <= kPi / 2.0 &&
                         UsualLongitude(block, point->longitude);
    return returns ? CSIB_Ok : failure;
}

csib_Status csib_CheckedInverse(csib_Block* block, csib_InverseSlot closed, csib_ForwardSlot forward,
                                csib_GridPoint* in, csib_GeodeticPoint* out, csib_Status failure) {
    if (csib_NullInverse(in, out)) return CSIB_Ok;
    const csib_Status status = closed(block, in, out);
    if (status < 0) return status;
    return csib_RefineInverse(block, forward, in->north, in->east, out, failure);
}

bool csib_NullInverse(const csib_GridPoint* in, csib_GeodeticPoint* out) {
    if (!maths_IsNull(in->north) && !maths_IsNull(in->east)) return false;
    out->latitude = MATHS_Null;
    out->longitude = MATHS_Null;
    csib_HeightsToGeodetic(in, out);
    return true;
}

csib_Complex complex_Scale(csib_Complex z, double r) { return {r * z.re, r * z.im}; }

csib_Complex complex_Add(csib_Complex z, csib_Complex w) { return {z.re + w.re, z.im + w.im}; }

csib_Complex complex_Multiply(csib_Complex z, csib_Complex w) {
    return {z.re * w.re - z.im * w.im, z.re * w.im + w.re * z.im};
}

csib_Complex complex_Divide(csib_Complex z, csib_Complex w) {
    const double norm = w.re * w.re + w.im * w.im;
    return {(w.re * z.re + w.im * z.im) / norm, (w.re * z.im - z.re * w.im) / norm};
}

void csib_HeightsToGrid(const csib_GeodeticPoint* in, csib_GridPoint* out) {
    out->ellipsoidHeight = in->ellipsoidHeight;
    out->hasEllipsoidHeight = in->hasEllipsoidHeight;
    out->elevation = in->orthometricHeight;
    out->hasElevation = in->hasOrthometricHeight;
}

void csib_HeightsToGeodetic(const csib_GridPoint* in, csib_GeodeticPoint* out) {
    out->ellipsoidHeight = in->ellipsoidHeight;
    out->hasEllipsoidHeight = in->hasEllipsoidHeight;
    out->orthometricHeight = in->elevation;
    out->hasOrthometricHeight = in->hasElevation;
}

csib_Status csib_FreeProjectionRecord(csib_Block* block) {
    csib_MemFree(block->projectionParameters);
    block->projectionParameters = nullptr;
    return CSIB_Ok;
}

csib_Status csib_SaveNothing(csib_Block*, uint8_t*, uint8_t) { return CSIB_Ok; }

csib_Status csib_NoSavedPart(csib_Block*, uint8_t, int32_t* size) {
    if (!size) return CSIB_MissingOutput;
    *size = 0;
    return CSIB_Ok;
}

csib_Status csib_ScaleFactorUnavailable(csib_Block*, const csib_GeodeticPoint*, double*) {
    return CSIB_NoScaleFactor;
}

csib_Status csib_ConvergenceUnavailable(csib_Block*, const csib_GeodeticPoint*, double*) { return CSIB_NoConvergence; }

csib_Status csib_NoProjectionParameters(csib_Block*, int16_t, void** parameter) {
    if (!parameter) return CSIB_MissingOutput;
    *parameter = nullptr;
    return CSIB_Ok;
}
