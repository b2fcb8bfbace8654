#include "roads/roadcogo.h"

#include <cmath>

#include "cogo/approx.h"
#include "cogo/cogospiral.h"
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

// The road elements evaluate the clothoid series to this, whatever their resolution.
constexpr double kSeriesResolution = 0.0001;

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
    cogospiral_Series(l, a2, kSeriesResolution, y, x);
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
    // Between two radii the segment is integrated along itself, as the coordinate
    // geometry does.
    cogospiral_SegmentOffsets(smallRadius, largeRadius, length, s, deflection, along, offset);
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
