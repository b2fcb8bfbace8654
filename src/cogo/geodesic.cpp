#include "cogo/geodesic.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <utility>

#include "foundation/kernel/maths.h"

namespace {

constexpr double kEpsilon = std::numeric_limits<double>::epsilon();
// Stands in for a zero cosine, so that a pole keeps the azimuth of its meridian.
const double kTiny = std::sqrt(std::numeric_limits<double>::min());
constexpr int kOrder = 6;

// Coefficients by ascending power of eps, from the constant term to eps^6.
// A1 (1 - eps) and A2 / (1 - eps): the secular parts of the distance integral I1 and of
// I2 (the reduced length needs I1 - I2).
constexpr double kA1[kOrder + 1] = {1, 0, 1.0 / 4, 0, 1.0 / 64, 0, 1.0 / 256};
constexpr double kA2[kOrder + 1] = {1, 0, 1.0 / 4, 0, 9.0 / 64, 0, 25.0 / 256};
// I1(sigma) = A1 (sigma + sum C1[l] sin(2 l sigma)), and its reversal
// sigma = tau + sum C1p[l] sin(2 l tau) for tau = I1 / A1.
constexpr double kC1[kOrder][kOrder + 1] = {
    {0, -1.0 / 2, 0, 3.0 / 16, 0, -1.0 / 32, 0},
    {0, 0, -1.0 / 16, 0, 1.0 / 32, 0, -9.0 / 2048},
    {0, 0, 0, -1.0 / 48, 0, 3.0 / 256, 0},
    {0, 0, 0, 0, -5.0 / 512, 0, 3.0 / 512},
    {0, 0, 0, 0, 0, -7.0 / 1280, 0},
    {0, 0, 0, 0, 0, 0, -7.0 / 2048},
};
constexpr double kC1p[kOrder][kOrder + 1] = {
    {0, 1.0 / 2, 0, -9.0 / 32, 0, 205.0 / 1536, 0},
    {0, 0, 5.0 / 16, 0, -37.0 / 96, 0, 1335.0 / 4096},
    {0, 0, 0, 29.0 / 96, 0, -75.0 / 128, 0},
    {0, 0, 0, 0, 539.0 / 1536, 0, -2391.0 / 2560},
    {0, 0, 0, 0, 0, 3467.0 / 7680, 0},
    {0, 0, 0, 0, 0, 0, 38081.0 / 61440},
};
constexpr double kC2[kOrder][kOrder + 1] = {
    {0, 1.0 / 2, 0, 1.0 / 16, 0, 1.0 / 32, 0},
    {0, 0, 3.0 / 16, 0, 1.0 / 32, 0, 35.0 / 2048},
    {0, 0, 0, 5.0 / 48, 0, 5.0 / 256, 0},
    {0, 0, 0, 0, 35.0 / 512, 0, 7.0 / 512},
    {0, 0, 0, 0, 0, 63.0 / 1280, 0},
    {0, 0, 0, 0, 0, 0, 77.0 / 2048},
};
// The longitude integral I3(sigma) = A3 (sigma + sum C3[l] sin(2 l sigma)): each
// coefficient of eps^j (j < 6) is a polynomial in n, given up to n^2.
constexpr double kA3[kOrder][3] = {
    {1, 0, 0}, {-1.0 / 2, 1.0 / 2, 0}, {-1.0 / 4, -1.0 / 8, 3.0 / 8},
    {-1.0 / 16, -3.0 / 16, -1.0 / 16}, {-3.0 / 64, -1.0 / 32, 0}, {-3.0 / 128, 0, 0},
};
constexpr double kC3[kOrder - 1][kOrder][3] = {
    {{0, 0, 0}, {1.0 / 4, -1.0 / 4, 0}, {1.0 / 8, 0, -1.0 / 8}, {3.0 / 64, 3.0 / 64, -1.0 / 64},
     {5.0 / 128, 1.0 / 64, 0}, {3.0 / 128, 0, 0}},
    {{0, 0, 0}, {0, 0, 0}, {1.0 / 16, -3.0 / 32, 1.0 / 32}, {3.0 / 64, -1.0 / 32, -3.0 / 64},
     {3.0 / 128, 1.0 / 128, 0}, {5.0 / 256, 0, 0}},
    {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {5.0 / 192, -3.0 / 64, 5.0 / 192}, {3.0 / 128, -5.0 / 192, 0},
     {7.0 / 512, 0, 0}},
    {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {7.0 / 512, -7.0 / 256, 0}, {7.0 / 512, 0, 0}},
    {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {21.0 / 2560, 0, 0}},
};

double Polynomial(const double* c, int count, double x) {
    double sum = 0.0;
    for (int i = count - 1; i >= 0; --i) sum = sum * x + c[i];
    return sum;
}

// sum c[l] sin(2 (l + 1) sigma) for l < count, by Clenshaw's recurrence.
double SineSeries(const double* c, int count, double sinSigma, double cosSigma) {
    const double twoCos2 = 2.0 * (cosSigma - sinSigma) * (cosSigma + sinSigma);
    double b1 = 0.0, b2 = 0.0;
    for (int l = count - 1; l >= 0; --l) {
        const double b = c[l] + twoCos2 * b1 - b2;
        b2 = b1;
        b1 = b;
    }
    return b1 * 2.0 * sinSigma * cosSigma;
}

void Normalise(double* s, double* c) {
    const double h = std::hypot(*s, *c);
    *s /= h;
    *c /= h;
}

// The parameter of the auxiliary sphere's integrals for k^2 = e'^2 cos^2(alpha0).
double Eps(double k2) { return k2 / (2.0 * (1.0 + std::sqrt(1.0 + k2)) + k2); }

struct Ellipsoid {
    Ellipsoid(double a, double f) : a(a), f(f), f1(1.0 - f), b(a * (1.0 - f)) {
        const double e2 = f * (2.0 - f);
        ep2 = e2 / (f1 * f1);
        n = f / (2.0 - f);
        for (int j = 0; j < kOrder; ++j) a3[j] = Polynomial(kA3[j], 3, n);
        for (int l = 0; l < kOrder - 1; ++l)
            for (int j = 0; j < kOrder; ++j) c3[l][j] = Polynomial(kC3[l][j], 3, n);
    }

    // f sin(alpha0) I3 between sigma1 and sigma2: what the ellipsoid's longitude
    // difference falls short of the auxiliary sphere's.
    double LongitudeShortfall(double eps, double sinAlpha0, double sigma12, double ss1, double cs1, double ss2,
                              double cs2) const {
        double c[kOrder - 1];
        for (int l = 0; l < kOrder - 1; ++l) c[l] = Polynomial(c3[l], kOrder, eps);
        const double b = SineSeries(c, kOrder - 1, ss2, cs2) - SineSeries(c, kOrder - 1, ss1, cs1);
        return f * sinAlpha0 * Polynomial(a3, kOrder, eps) * (sigma12 + b);
    }

    double a, f, f1, b, ep2, n;
    double a3[kOrder];
    double c3[kOrder - 1][kOrder];
};

double A1(double eps) { return Polynomial(kA1, kOrder + 1, eps) / (1.0 - eps); }

void Coefficients(const double (&table)[kOrder][kOrder + 1], double eps, double* c) {
    for (int l = 0; l < kOrder; ++l) c[l] = Polynomial(table[l], kOrder + 1, eps);
}

// The distance (in units of b) and the reduced length (likewise) between sigma1 and
// sigma2; dn = sqrt(1 + k^2 sin^2(sigma)) at each end.
void Lengths(double eps, double sigma12, double ss1, double cs1, double dn1, double ss2, double cs2, double dn2,
             double* s12b, double* m12b) {
    double c1[kOrder], c2[kOrder];
    Coefficients(kC1, eps, c1);
    Coefficients(kC2, eps, c2);
    const double a1 = A1(eps);
    const double a2 = Polynomial(kA2, kOrder + 1, eps) * (1.0 - eps);
    const double b1 = SineSeries(c1, kOrder, ss2, cs2) - SineSeries(c1, kOrder, ss1, cs1);
    const double b2 = SineSeries(c2, kOrder, ss2, cs2) - SineSeries(c2, kOrder, ss1, cs1);
    *s12b = a1 * (sigma12 + b1);
    const double j12 = (a1 - a2) * sigma12 + (a1 * b1 - a2 * b2);
    *m12b = dn2 * (cs1 * ss2) - dn1 * (ss1 * cs2) - cs1 * cs2 * j12;
}

// The reduced latitude's sine and cosine; the cosine never quite reaches 0.
void ReducedLatitude(const Ellipsoid& e, double lat, double* sb, double* cb) {
    *sb = e.f1 * std::sin(lat);
    *cb = std::cos(lat);
    Normalise(sb, cb);
    *cb = std::max(kTiny, *cb);
}

// The positive root of mu^4 + 2 mu^3 + (1 - x^2 - y^2) mu^2 - 2 y^2 mu - y^2 = 0
// (there is just one), which places a point near the antipode on the astroid.
double AstroidRoot(double x, double y) {
    const auto q = [&](double m) { return (((m + 2.0) * m + (1.0 - x * x - y * y)) * m - 2.0 * y * y) * m - y * y; };
    const auto dq = [&](double m) { return ((4.0 * m + 6.0) * m + 2.0 * (1.0 - x * x - y * y)) * m - 2.0 * y * y; };
    double lo = 0.0, hi = 1.0 + std::fabs(x) + std::fabs(y);
    double m = hi / 2.0;
    for (int i = 0; i < 200 && hi - lo > 4.0 * kEpsilon * hi; ++i) {
        const double v = q(m);
        if (v == 0.0) return m;
        (v < 0.0 ? lo : hi) = m;
        const double d = dq(m);
        const double next = d > 0.0 ? m - v / d : lo;
        m = next > lo && next < hi ? next : (lo + hi) / 2.0;
    }
    return m;
}

// An azimuth by its sine and cosine, kept apart so that near 90 degrees the cosine
// keeps its relative precision (the longitude reached can hang on it).
struct Heading {
    double s = 0.0, c = 1.0;
};

Heading Normalised(double s, double c) {
    Normalise(&s, &c);
    return {s, c};
}

// A geodesic from the reduced latitude beta1 <= 0 along alpha1 in [0, pi], followed to
// where it first crosses beta2 (|beta2| <= -beta1) northwards.
struct Crossing {
    double lambda12 = 0.0, dLambda12 = 0.0;  // longitude difference, and its derivative by alpha1
    double sigma12 = 0.0, eps = 0.0;
    double ss1 = 0.0, cs1 = 0.0, ss2 = 0.0, cs2 = 0.0;
    double sa2 = 0.0, ca2 = 0.0;
};

Crossing Follow(const Ellipsoid& e, double sb1, double cb1, double dn1, double sb2, double cb2, double dn2,
                Heading alpha1) {
    Crossing r;
    const double sa1 = alpha1.s;
    double ca1 = alpha1.c;
    // On the equator due east is no crossing at all: lean it south.
    if (sb1 == 0.0 && ca1 == 0.0) ca1 = -kTiny;
    const double sa0 = sa1 * cb1, ca0 = std::hypot(ca1, sa1 * sb1);

    r.ss1 = sb1;
    r.cs1 = ca1 * cb1;
    const double so1 = sa0 * sb1, co1 = r.cs1;
    Normalise(&r.ss1, &r.cs1);
    r.sa2 = cb2 != cb1 ? sa0 / cb2 : sa1;
    // cos(alpha2) from Clairaut's sin(alpha0), in the form that keeps its precision.
    if (cb2 != cb1 || std::fabs(sb2) != -sb1) {
        const double d = cb1 < -sb1 ? (cb2 - cb1) * (cb1 + cb2) : (sb1 - sb2) * (sb1 + sb2);
        r.ca2 = std::sqrt(ca1 * cb1 * ca1 * cb1 + d) / cb2;
    } else {
        r.ca2 = std::fabs(ca1);
    }
    r.ss2 = sb2;
    r.cs2 = r.ca2 * cb2;
    const double so2 = sa0 * sb2, co2 = r.cs2;
    Normalise(&r.ss2, &r.cs2);

    r.sigma12 = std::atan2(std::max(0.0, r.cs1 * r.ss2 - r.ss1 * r.cs2), r.cs1 * r.cs2 + r.ss1 * r.ss2);
    const double omega12 = std::atan2(std::max(0.0, co1 * so2 - so1 * co2), co1 * co2 + so1 * so2);
    r.eps = Eps(e.ep2 * ca0 * ca0);
    r.lambda12 = omega12 - e.LongitudeShortfall(r.eps, sa0, r.sigma12, r.ss1, r.cs1, r.ss2, r.cs2);

    // d(lambda12)/d(alpha1) = m12 / (a cos(alpha2) cos(beta2)).
    if (r.ca2 != 0.0) {
        double s12b = 0.0, m12b = 0.0;
        Lengths(r.eps, r.sigma12, r.ss1, r.cs1, dn1, r.ss2, r.cs2, dn2, &s12b, &m12b);
        r.dLambda12 = e.f1 * m12b / (r.ca2 * cb2);
    } else {
        r.dLambda12 = std::numeric_limits<double>::quiet_NaN();
    }
    return r;
}

// A start azimuth for the iteration: on the auxiliary sphere with the longitude
// difference scaled to it, or near the antipode from the astroid.
Heading StartAzimuth(const Ellipsoid& e, double sb1, double cb1, double sb2, double cb2, double dn1, double dn2,
                     double lambda12) {
    const double sinBeta12 = sb2 * cb1 - cb2 * sb1;  // sin(beta2 - beta1)
    const double sinBeta12a = sb2 * cb1 + cb2 * sb1;  // sin(beta2 + beta1)
    const double omega12 = lambda12 / (e.f1 * (dn1 + dn2) / 2.0);
    const double so = std::sin(omega12), co = std::cos(omega12);
    double sa1 = cb2 * so;
    double ca1 = co >= 0.0 ? sinBeta12 + cb2 * sb1 * so * so / (1.0 + co)
                           : sinBeta12a - cb2 * sb1 * so * so / (1.0 - co);
    const double ssig12 = std::hypot(sa1, ca1), csig12 = sb1 * sb2 + cb1 * cb2 * co;
    if (csig12 < 0.0 && ssig12 < 6.0 * std::fabs(e.n) * CONSTANT_Pi * cb1 * cb1) {
        // Within reach of the antipode: scale the offsets from it by the astroid's size.
        const double lambdaScale = e.f * cb1 * Polynomial(e.a3, kOrder, Eps(e.ep2 * sb1 * sb1)) * CONSTANT_Pi;
        const double x = (lambda12 - CONSTANT_Pi) / lambdaScale;
        const double y = sinBeta12a / (lambdaScale * cb1);
        if (y > -200.0 * kEpsilon && x > -1.0 - 1000.0 * std::sqrt(kEpsilon)) {
            // On the cut itself, or all but on it.
            sa1 = std::min(1.0, -x);
            ca1 = -std::sqrt(1.0 - sa1 * sa1);
        } else {
            const double mu = AstroidRoot(x, y);
            sa1 = -x / (1.0 + mu);
            ca1 = y / mu;
        }
    }
    return Normalised(sa1, ca1);
}

bool AllFinite(std::initializer_list<double> values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

}  // namespace

bool geodesic_Direct(double a, double f, double lat1, double lon1, double azimuth1, double s, double* lat2,
                     double* lon2, double* azimuth2) {
    if (!AllFinite({a, f, lat1, lon1, azimuth1, s}) || a <= 0.0 || f >= 1.0) return false;
    const Ellipsoid e(a, f);
    double sb1 = 0.0, cb1 = 0.0;
    ReducedLatitude(e, lat1, &sb1, &cb1);
    const double sa1 = std::sin(azimuth1), ca1 = std::cos(azimuth1);
    const double sa0 = sa1 * cb1, ca0 = std::hypot(ca1, sa1 * sb1);

    double ss1 = sb1, cs1 = sb1 != 0.0 || ca1 != 0.0 ? cb1 * ca1 : 1.0;
    Normalise(&ss1, &cs1);
    const double eps = Eps(e.ep2 * ca0 * ca0);
    double c1[kOrder], c1p[kOrder];
    Coefficients(kC1, eps, c1);
    Coefficients(kC1p, eps, c1p);
    const double sigma1 = std::atan2(ss1, cs1);
    const double tau2 = sigma1 + SineSeries(c1, kOrder, ss1, cs1) + s / (e.b * A1(eps));
    const double sigma2 = tau2 + SineSeries(c1p, kOrder, std::sin(tau2), std::cos(tau2));
    const double sigma12 = sigma2 - sigma1;
    const double ss2 = std::sin(sigma2), cs2 = std::cos(sigma2);

    const double sb2 = ca0 * ss2, cb2 = std::hypot(sa0, ca0 * cs2);
    // omega follows sigma round for round, forwards when the line heads east.
    const double east = std::copysign(1.0, sa0), sa0e = std::fabs(sa0);
    const double omega12 = east * (sigma12 - (std::atan2(ss2, cs2) - sigma1) +
                                   (std::atan2(sa0e * ss2, cs2) - std::atan2(sa0e * ss1, cs1)));
    const double lambda12 = omega12 - e.LongitudeShortfall(eps, sa0, sigma12, ss1, cs1, ss2, cs2);

    *lat2 = std::atan2(sb2, e.f1 * cb2);
    *lon2 = lon1 + lambda12;
    *azimuth2 = std::atan2(sa0, ca0 * cs2);
    return std::isfinite(*lat2) && std::isfinite(*lon2) && std::isfinite(*azimuth2);
}

bool geodesic_Inverse(double a, double f, double lat1, double lon1, double lat2, double lon2, double* s12,
                      double* azimuth1, double* azimuth2) {
    if (!AllFinite({a, f, lat1, lon1, lat2, lon2}) || a <= 0.0 || f >= 1.0) return false;
    const Ellipsoid e(a, f);

    // Solved with point 1 at the larger |latitude|, in the south, and point 2 east of
    // it; the azimuths are turned back at the end.
    double lambda12 = std::remainder(lon2 - lon1, CONSTANT_TwoPi);
    const bool west = std::signbit(lambda12);
    lambda12 = std::fabs(lambda12);
    double phi1 = std::clamp(std::remainder(lat1, CONSTANT_TwoPi), -CONSTANT_PiOverTwo, CONSTANT_PiOverTwo);
    double phi2 = std::clamp(std::remainder(lat2, CONSTANT_TwoPi), -CONSTANT_PiOverTwo, CONSTANT_PiOverTwo);
    // Angles handed over in [0, 2pi) carry its rounding (9e-16 rad, 6 nm): snap what
    // is that close to the equator, to equal or opposite latitudes, to one meridian or
    // to opposite ones, so that such points are solved as the symmetric cases they are
    // (exactly antipodal points, for one, have two equally short lines).
    constexpr double kSnap = 8.0 * kEpsilon;
    for (double* phi : {&phi1, &phi2})
        if (std::fabs(*phi) <= kSnap) *phi = 0.0;
    if (std::fabs(std::fabs(phi1) - std::fabs(phi2)) <= kSnap) phi2 = std::copysign(std::fabs(phi1), phi2);
    if (lambda12 <= kSnap) lambda12 = 0.0;
    if (CONSTANT_Pi - lambda12 <= kSnap) lambda12 = CONSTANT_Pi;
    const bool swapped = std::fabs(phi1) < std::fabs(phi2);
    if (swapped) std::swap(phi1, phi2);
    // (+0 counts as north: of the two equally short lines between nearly opposite
    // points on the equator, the one leaving northwards is given.)
    const bool north = !std::signbit(phi1);
    if (north) {
        phi1 = -phi1;
        phi2 = -phi2;
    }
    if (lambda12 == 0.0 && phi1 == phi2) {
        *s12 = 0.0;
        *azimuth1 = *azimuth2 = 0.0;
        return true;
    }

    double sb1 = 0.0, cb1 = 0.0, sb2 = 0.0, cb2 = 0.0;
    ReducedLatitude(e, phi1, &sb1, &cb1);
    ReducedLatitude(e, phi2, &sb2, &cb2);
    if (phi2 == -phi1) {
        sb2 = -sb1;
        cb2 = cb1;
    }
    const double dn1 = std::sqrt(1.0 + e.ep2 * sb1 * sb1), dn2 = std::sqrt(1.0 + e.ep2 * sb2 * sb2);

    double sa1 = 0.0, ca1 = 0.0, sa2 = 0.0, ca2 = 0.0, distance = 0.0;
    bool solved = false;
    if (lambda12 == 0.0 || lambda12 == CONSTANT_Pi) {
        // Along a meridian, through the south pole when the points lie on opposite ones;
        // unless a conjugate point comes first (nearly antipodal points near the equator).
        ca1 = lambda12 == 0.0 ? 1.0 : -1.0;
        ca2 = 1.0;
        double ss1 = sb1, cs1 = ca1 * cb1, ss2 = sb2, cs2 = cb2;
        Normalise(&ss1, &cs1);
        Normalise(&ss2, &cs2);
        const double sigma12 = std::atan2(std::max(0.0, cs1 * ss2 - ss1 * cs2), cs1 * cs2 + ss1 * ss2);
        double s12b = 0.0, m12b = 0.0;
        Lengths(Eps(e.ep2), sigma12, ss1, cs1, dn1, ss2, cs2, dn2, &s12b, &m12b);
        if (sigma12 < 1.0 || m12b >= 0.0) {
            distance = e.b * s12b;
            solved = true;
        }
    }
    if (!solved && sb1 == 0.0 && lambda12 <= e.f1 * CONSTANT_Pi) {
        // Along the equator, while that is shorter than over a pole.
        sa1 = sa2 = 1.0;
        ca1 = ca2 = 0.0;
        distance = e.a * lambda12;
        solved = true;
    }
    if (!solved) {
        // lambda12 rises from 0 to pi as alpha1 turns from 0 to pi: Newton's method on
        // alpha1, bisecting the bracket wherever a step would leave it.
        // Azimuths in [0, pi] are ordered by the sine of their difference, which keeps
        // its precision at either end of the range as well as in the middle.
        Heading lo{kTiny, 1.0}, hi{kTiny, -1.0};
        const auto before = [](const Heading& a, const Heading& b) { return b.s * a.c - b.c * a.s > 0.0; };
        const auto inside = [&](const Heading& h) { return h.s > 0.0 && before(lo, h) && before(h, hi); };
        Heading alpha1 = StartAzimuth(e, sb1, cb1, sb2, cb2, dn1, dn2, lambda12);
        if (!inside(alpha1)) alpha1 = {1.0, 0.0};
        Crossing c;
        bool settled = false;
        for (int round = 0; round < 200; ++round) {
            c = Follow(e, sb1, cb1, dn1, sb2, cb2, dn2, alpha1);
            const double v = c.lambda12 - lambda12;
            if (std::fabs(v) <= 8.0 * kEpsilon) {
                settled = true;
                break;
            }
            (v > 0.0 ? hi : lo) = alpha1;
            const double step = -v / c.dLambda12;
            if (c.dLambda12 > 0.0 && std::fabs(step) < 1.0) {
                const double ss = std::sin(step), cs = std::cos(step);
                const Heading next = Normalised(alpha1.s * cs + alpha1.c * ss, alpha1.c * cs - alpha1.s * ss);
                if (inside(next)) {
                    alpha1 = next;
                    continue;
                }
            }
            const Heading middle = Normalised(lo.s + hi.s, lo.c + hi.c);
            // The bracket cannot shrink further: alpha1 is as close as doubles get.
            if (!inside(middle)) {
                settled = true;
                break;
            }
            alpha1 = middle;
        }
        if (!settled) return false;
        double s12b = 0.0, m12b = 0.0;
        Lengths(c.eps, c.sigma12, c.ss1, c.cs1, dn1, c.ss2, c.cs2, dn2, &s12b, &m12b);
        distance = e.b * s12b;
        sa1 = alpha1.s;
        ca1 = alpha1.c;
        sa2 = c.sa2;
        ca2 = c.ca2;
    }

    if (north) {
        ca1 = -ca1;
        ca2 = -ca2;
    }
    if (swapped) {
        std::swap(sa1, sa2);
        std::swap(ca1, ca2);
        ca1 = -ca1;
        ca2 = -ca2;
    }
    if (west) {
        sa1 = -sa1;
        sa2 = -sa2;
    }
    *s12 = distance;
    *azimuth1 = std::atan2(sa1, ca1);
    *azimuth2 = std::atan2(sa2, ca2);
    return std::isfinite(distance) && std::isfinite(*azimuth1) && std::isfinite(*azimuth2);
}
