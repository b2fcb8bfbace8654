// Hotine oblique Mercator, kind 8: the central line by its azimuth at the centre, by
// the rectified angle, or through two points; u counted from the natural origin or
// from the centre; the grid optionally rotated to the rectified one. Record:
// csib_ObliqueMercatorParameters; saved part: the three flags, then the angle (11
// bytes) or the two points (35 bytes).
#include <cmath>

#include "csib/image.h"
#include "csib/kinds.h"
#include "csib/projection.h"
#include "csib/projection_conformal.h"
#include "csib/projection_records.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kPoleU = 1e-15;

using Record = csib_ObliqueMercatorParameters;

bool TwoPoints(const Record* p) { return p->mode == CSIB_HotineTwoPoints; }

csib_Status Load(csib_Block* block, const uint8_t* saved) {
    Record* p = nullptr;
    if (csib_NewProjectionRecord(block, &p) < 0) return CSIB_OutOfMemory;
    p->mode = saved[0];
    p->rectify = saved[1];
    p->originAtCentre = saved[2];
    if (TwoPoints(p)) {
        double* points[] = {&p->point1Latitude, &p->point1Longitude, &p->point2Latitude, &p->point2Longitude};
        for (int i = 0; i < 4; ++i) *points[i] = csib_GetDouble(saved + 3 + 8 * i, block->swapBytes);
    } else {
        p->angle = csib_GetDouble(saved + 3, block->swapBytes);
    }

    const double a = block->semiMajorAxis;
    const double e = block->eccentricity;
    const double e2 = block->eccentricitySquared;
    const double phi0 = block->originLatitude;
    const double sin0 = std::sin(phi0);
    const double cos0 = std::cos(phi0);
    const double w0 = 1.0 - e2 * sin0 * sin0;
    const double B = csib_SphereExponent(e2, phi0);
    const double A = a * B * block->scaleFactor * std::sqrt(1.0 - e2) / w0;
    double D = B * std::sqrt(1.0 - e2) / (cos0 * std::sqrt(w0));
    if (D * D < 1.0) D = 1.0;
    const double root = std::sqrt(D * D - 1.0);
    const double F = phi0 < 0.0 ? D - root : D + root;
    const double E = F * std::pow(csib_ConformalT(e, phi0), B);
    p->A = A;
    p->B = B;
    p->E = E;

    if (TwoPoints(p)) {
        const double H = std::pow(csib_ConformalT(e, p->point1Latitude), B);
        const double L = std::pow(csib_ConformalT(e, p->point2Latitude), B);
        const double Fp = E / H;
        const double G = (Fp - 1.0 / Fp) / 2.0;
        const double J = (E * E - L * H) / (E * E + L * H);
        const double P = (L - H) / (L + H);
        const double lambda1 = p->point1Longitude;
        if (lambda1 - p->point2Longitude < -kPi)
            p->point2Longitude -= kTwoPi;
        else if (lambda1 - p->point2Longitude > kPi)
            p->point2Longitude += kTwoPi;
        const double lambda2 = p->point2Longitude;
        p->lambda0 = (lambda1 + lambda2) / 2.0 - std::atan(J * std::tan(B * (lambda1 - lambda2) / 2.0) / P) / B;
        p->gamma0 = std::atan(std::sin(B * (lambda1 - p->lambda0)) / G);
        p->azimuth = std::asin(D * std::sin(p->gamma0));
        block->originLongitude = csib_NormalizeAnglePi(p->lambda0 + std::asin(G * std::tan(p->gamma0)) / B);
    } else {
        if (p->mode == CSIB_HotineRectifiedAngle) {
            p->gamma0 = p->angle;
            p->azimuth = std::asin(D * std::sin(p->gamma0));
        } else {
            p->azimuth = p->angle;
            p->gamma0 = std::asin(std::sin(p->azimuth) / D);
        }
        const double G = (F - 1.0 / F) / 2.0;
        p->lambda0 = block->originLongitude - std::asin(G * std::tan(p->gamma0)) / B;
    }

    if (p->originAtCentre == 1) {
        const double cosAzimuth = std::cos(p->azimuth);
        p->centreU = cosAzimuth == 0.0 ? A / B * kPi / 2.0 : A / B * std::atan(root / cosAzimuth);
        if (phi0 < 0.0) p->centreU = -p->centreU;
    }
    return CSIB_Ok;
}

csib_Status Save(csib_Block* block, uint8_t* out, uint8_t) {
    const Record* p = csib_Record<Record>(block);
    out[0] = p->mode;
    out[1] = p->rectify;
    out[2] = p->originAtCentre;
    if (TwoPoints(p)) {
        const double points[] = {p->point1Latitude, p->point1Longitude, p->point2Latitude, p->point2Longitude};
        for (int i = 0; i < 4; ++i) csib_PutDouble(out + 3 + 8 * i, points[i]);
    } else {
        csib_PutDouble(out + 3, p->angle);
    }
    return CSIB_Ok;
}

csib_Status GetSavedSize(csib_Block* block, uint8_t, int32_t* size) {
    if (!size) return CSIB_MissingOutput;
    *size = TwoPoints(csib_Record<Record>(block)) ? 35 : 11;
    return CSIB_Ok;
}

csib_Status GetParameters(csib_Block* block, int16_t selector, void** parameter) {
    if (!parameter) return CSIB_MissingOutput;
    auto* p = static_cast<Record*>(block->projectionParameters);
    void* fields[] = {&p->mode,           &p->rectify,         &p->originAtCentre,  &p->angle,
                      &p->point1Latitude, &p->point1Longitude, &p->point2Latitude, &p->point2Longitude};
    *parameter = selector >= 0 && selector < 8 ? fields[selector] : nullptr;
    return CSIB_Ok;
}

// The angle the rectified grid turns by.
double Rotation(const Record* p) { return p->mode == CSIB_HotineRectifiedAngle ? p->gamma0 : p->azimuth; }

// u and v from the natural origin, and B times the longitude difference.
struct Skew {
    double u, v, bDelta;
};
Skew SkewCoordinates(const csib_Block* block, const Record* p, double latitude, double longitude) {
    const double Q = p->E / std::pow(csib_ConformalT(block->eccentricity, latitude), p->B);
    const double S = (Q - 1.0 / Q) / 2.0;
    const double T = (Q + 1.0 / Q) / 2.0;
    const double bDelta = p->B * csib_NormalizeAnglePi(longitude - p->lambda0);
    const double V = std::sin(bDelta);
    const double sinG = std::sin(p->gamma0);
    const double cosG = std::cos(p->gamma0);
    const double U = (S * sinG - V * cosG) / T;
    Skew skew{p->A / p->B * std::atan((S * cosG + V * sinG) / std::cos(bDelta)),
              p->A * std::log((1.0 - U) / (1.0 + U)) / (2.0 * p->B), bDelta};
    if (std::cos(p->azimuth) < 0.0) {
        skew.u = -skew.u;
        skew.v = -skew.v;
    }
    return skew;
}

csib_Status Forward(csib_Block* block, const csib_GeodeticPoint* in, csib_GridPoint* out) {
    const Record* p = csib_Record<Record>(block);
    Skew skew = SkewCoordinates(block, p, in->latitude, in->longitude);
    if (p->originAtCentre) skew.u -= p->centreU;
    if (p->rectify == 1) {
        const double theta = Rotation(p);
        out->north = skew.u * std::cos(theta) - skew.v * std::sin(theta);
        out->east = skew.u * std::sin(theta) + skew.v * std::cos(theta);
    } else {
        out->north = skew.u;
        out->east = skew.v;
    }
    csib_HeightsToGrid(in, out);
    return CSIB_Ok;
}

csib_Status ClosedInverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    const Record* p = csib_Record<Record>(block);
    double u = in->north, v = in->east;
    if (p->rectify == 1) {
        const double theta = Rotation(p);
        u = in->east * std::sin(theta) + in->north * std::cos(theta);
        v = in->east * std::cos(theta) - in->north * std::sin(theta);
    }
    if (p->originAtCentre) u += p->centreU;
    if (std::cos(p->azimuth) < 0.0) {
        u = -u;
        v = -v;
    }
    const double Q = std::exp(-p->B * v / p->A);
    const double S = (Q - 1.0 / Q) / 2.0;
    const double T = (Q + 1.0 / Q) / 2.0;
    const double V = std::sin(p->B * u / p->A);
    const double sinG = std::sin(p->gamma0);
    const double cosG = std::cos(p->gamma0);
    const double U = (V * cosG + S * sinG) / T;
    csib_HeightsToGeodetic(in, out);
    if (std::fabs(std::fabs(U) - 1.0) < kPoleU) {
        out->latitude = U < 0.0 ? -kPi / 2.0 : kPi / 2.0;
        out->longitude = p->lambda0;
        return CSIB_Ok;
    }
    const double t = std::pow(p->E / std::sqrt((1.0 + U) / (1.0 - U)), 1.0 / p->B);
    const csib_Status status = csib_LatitudeFromT(block->eccentricity, t, &out->latitude);
    if (status < 0) return status;
    out->longitude = p->lambda0 - std::atan((S * cosG - V * sinG) / std::cos(p->B * u / p->A)) / p->B;
    return CSIB_Ok;
}

csib_Status Inverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    const csib_Status status = csib_CheckedInverse(block, ClosedInverse, Forward, in, out, CSIB_IterationLimit);
    // The forward cannot take a pole (its Q is infinite there): the pole's own answer stands.
    return status == CSIB_IterationLimit && std::fabs(out->latitude) == kPi / 2.0 ? CSIB_Ok : status;
}

csib_Status ScaleFactor(csib_Block* block, const csib_GeodeticPoint* in, double* k) {
    const Record* p = csib_Record<Record>(block);
    const Skew skew = SkewCoordinates(block, p, in->latitude, in->longitude);
    const double s = std::sin(in->latitude);
    *k = p->A * std::cos(p->B * skew.u / p->A) * std::sqrt(1.0 - block->eccentricitySquared * s * s) /
         (block->semiMajorAxis * std::cos(in->latitude) * std::cos(skew.bDelta));
    return CSIB_Ok;
}

}  // namespace

const csib_ProjectionFunctions csib_ObliqueMercatorFunctions = {
    Load,    csib_NoFileWork, csib_NoFileWork, csib_FreeProjectionRecord, Save,        Forward,
    Inverse, ScaleFactor,     csib_ConvergenceUnavailable, GetParameters,             GetSavedSize,
};
