#include "roads/roadcogo.h"

#include <cmath>

#include "cogo/approx.h"
#include "foundation/kernel/maths.h"

namespace {

// Null and non-finite values have no place in the geometry.
bool Usable(double x) { return !maths_IsNull(x) && std::isfinite(x); }
template <class... More>
bool Usable(double x, More... more) {
    return Usable(x) && Usable(more...);
}

double NullIfUnusable(double x) { return Usable(x) ? x : MATHS_Null; }

void SetNull(double* a, double* b, double* c) { *a = *b = *c = MATHS_Null; }

// Gauss-Legendre, 10 points on [-1, 1]: nodes and weights of the positive half.
constexpr double kNode[5] = {0.1488743389816312108848260, 0.4333953941292471907992659, 0.6794095682990244062343274,
                             0.8650633666889845107320967, 0.9739065285171717200779640};
constexpr double kWeight[5] = {0.2955242247147528701738930, 0.2692667193099963550912269, 0.2190863625159820439955349,
                               0.1494513491505805931457763, 0.0666713443086881375935688};

// Each panel turns the tangent by at most this much, which keeps the 10-point rule far
// below 1e-12 of the panel's length.
constexpr double kPanelTurn = 0.25;
// A spiral that would need more panels turns thousands of times; it gets no more.
constexpr int kMostPanels = 65536;

// Along = integral of cos(theta), offset = integral of sin(theta) over [0, s], with
// theta(u) = k0 u + c u^2.
void IntegrateSegment(double k0, double c, double s, double* along, double* offset) {
    const double k1 = k0 + 2 * c * s;
    const double turn = std::fabs(s) * std::fmax(std::fabs(k0), std::fabs(k1));
    const double wanted = std::ceil(turn / kPanelTurn);
    const int panels = wanted < 1 ? 1 : wanted > kMostPanels ? kMostPanels : static_cast<int>(wanted);
    const double h = s / panels;
    double sumCos = 0, sumSin = 0;
    for (int p = 0; p < panels; ++p) {
        const double mid = (p + 0.5) * h;
        double panelCos = 0, panelSin = 0;
        for (int i = 0; i < 5; ++i) {
            const double below = mid - kNode[i] * h / 2, above = mid + kNode[i] * h / 2;
            const double thetaBelow = below * (k0 + c * below), thetaAbove = above * (k0 + c * above);
            panelCos += kWeight[i] * (std::cos(thetaBelow) + std::cos(thetaAbove));
            panelSin += kWeight[i] * (std::sin(thetaBelow) + std::sin(thetaAbove));
        }
        sumCos += panelCos;
        sumSin += panelSin;
    }
    *along = sumCos * h / 2;
    *offset = sumSin * h / 2;
}

// The grades in and out of a parabola and the two halves' rates of change.
struct Parabola {
    double gIn, gOut, r1, r2;
};

Parabola MakeParabola(const double* start, const double* vpi, const double* end, double lengthIn, double lengthOut) {
    Parabola p{};
    const double runIn = vpi[0] - start[0];
    const double runOut = end[0] - vpi[0];
    p.gIn = approx_Equal(runIn, APPROX_EqualTo, 0.0) ? 0.0 : (vpi[1] - start[1]) / runIn;
    p.gOut = approx_Equal(runOut, APPROX_EqualTo, 0.0) ? 0.0 : (end[1] - vpi[1]) / runOut;
    const double a = p.gOut - p.gIn;
    const double total = lengthIn + lengthOut;
    if (!approx_Equal(total, APPROX_EqualTo, 0.0)) {
        p.r1 = a * lengthOut / total;
        p.r2 = a * lengthIn / total;
    }
    return p;
}

bool ParabolaUsable(const double* start, const double* vpi, const double* end, double lengthIn, double lengthOut,
                    double station) {
    return Usable(start[0], start[1], vpi[0], vpi[1], end[0], end[1]) && Usable(lengthIn, lengthOut, station);
}

}  // namespace

void roadcogo_ClothoidSeries(double l, double a2, double* y, double* x) {
    if (!Usable(l, a2) || a2 == 0.0) {
        *y = *x = MATHS_Null;
        return;
    }
    const double ratio = l * l / (2 * a2);
    const double q = -(ratio * ratio);

    double term = l * l * l / (6 * a2);
    double sum = term;
    for (int i = 1; std::fabs(term) > 0.0001 && i < 30; ++i) {
        term = term * q * (4 * i - 1) / (i * (4 * i + 3) * (4 * i + 2));
        sum += term;
    }
    *y = NullIfUnusable(sum);

    term = l;
    sum = term;
    for (int i = 1; std::fabs(term) > 0.0001 && i < 30; ++i) {
        term = term * q * (4 * i - 3) / (i * (4 * i + 1) * (4 * i - 2));
        sum += term;
    }
    *x = NullIfUnusable(sum);
}

void roadcogo_SpiralOffsets(double smallRadius, double largeRadius, double length, double s, double* deflection,
                            double* offset, double* along) {
    if (!Usable(smallRadius, length, s) || (!maths_IsNull(largeRadius) && !std::isfinite(largeRadius))) {
        SetNull(deflection, offset, along);
        return;
    }
    if (smallRadius == 0.0 || length == 0.0) {
        *deflection = *offset = *along = 0.0;
        return;
    }
    if (maths_IsNull(largeRadius)) {
        const double a2 = smallRadius * length;
        *deflection = NullIfUnusable(s * s / (2 * a2));
        roadcogo_ClothoidSeries(s, a2, offset, along);
        return;
    }
    // Between two radii: subtracting two far points of one clothoid loses everything to
    // cancellation when the radii are close, and fails when the large radius is the
    // smaller, so the segment is integrated directly. theta(u) = u/RL + u^2 (1/Rs - 1/RL) / 2L.
    if (largeRadius == 0.0) {
        SetNull(deflection, offset, along);
        return;
    }
    const double k0 = 1 / largeRadius;
    const double c = (1 / smallRadius - k0) / (2 * length);
    double a = 0, o = 0;
    IntegrateSegment(k0, c, s, &a, &o);
    *deflection = NullIfUnusable(s * (k0 + c * s));
    *offset = NullIfUnusable(std::fabs(o));
    *along = NullIfUnusable(a);
    if (maths_IsNull(*deflection) || maths_IsNull(*offset) || maths_IsNull(*along)) SetNull(deflection, offset, along);
}

void roadcogo_ParabolaElevation(const double* start, const double* vpi, const double* end, double lengthIn,
                                double lengthOut, double station, double* elevation) {
    if (!ParabolaUsable(start, vpi, end, lengthIn, lengthOut, station)) {
        *elevation = MATHS_Null;
        return;
    }
    const Parabola p = MakeParabola(start, vpi, end, lengthIn, lengthOut);
    double z;
    if (station < vpi[0]) {
        const double t = station - start[0];
        z = start[1] + p.gIn * t;
        if (!approx_Equal(lengthIn, APPROX_EqualTo, 0.0)) z += p.r1 * t * t / (2 * lengthIn);
    } else {
        const double t = station - end[0];
        z = end[1] + p.gOut * t;
        if (!approx_Equal(lengthOut, APPROX_EqualTo, 0.0)) z += p.r2 * t * t / (2 * lengthOut);
    }
    *elevation = NullIfUnusable(z);
}

void roadcogo_ParabolaGrade(const double* start, const double* vpi, const double* end, double lengthIn,
                            double lengthOut, double station, double* grade) {
    if (!ParabolaUsable(start, vpi, end, lengthIn, lengthOut, station)) {
        *grade = MATHS_Null;
        return;
    }
    const Parabola p = MakeParabola(start, vpi, end, lengthIn, lengthOut);
    if (station < vpi[0])
        *grade = approx_Equal(lengthIn, APPROX_EqualTo, 0.0)
                     ? 0.0
                     : maths_ATan(NullIfUnusable(p.gIn + (station - start[0]) * p.r1 / lengthIn));
    else
        *grade = approx_Equal(lengthOut, APPROX_EqualTo, 0.0)
                     ? 0.0
                     : maths_ATan(NullIfUnusable(p.gOut + (station - end[0]) * p.r2 / lengthOut));
}

void roadcogo_VerticalArcElevation(const double* centre, const double* reference, double radius, double station,
                                   double* elevation) {
    if (!Usable(centre[0], centre[1], reference[1]) || !Usable(radius, station)) {
        *elevation = MATHS_Null;
        return;
    }
    const double h = maths_Sqrt(NullIfUnusable(radius * radius - maths_Square(station - centre[0])));
    if (maths_IsNull(h))
        *elevation = MATHS_Null;
    else
        *elevation = centre[1] > reference[1] ? centre[1] - h : centre[1] + h;
}

double roadcogo_Interpolate(double y1, double y2, double x1, double x2, double x) {
    if (!Usable(y1, y2) || !Usable(x1, x2, x)) return MATHS_Null;
    if (x1 != x2) return NullIfUnusable(y1 + (y2 - y1) / (x2 - x1) * (x - x1));
    return y1 == y2 ? y1 : MATHS_Null;
}

double roadcogo_Hypotenuse(double a, double b) {
    if (!Usable(a, b)) return MATHS_Null;
    return NullIfUnusable(std::hypot(a, b));
}
