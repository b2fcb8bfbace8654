// Transition spirals.
#include "cogo/cogospiral.h"

#include <cmath>

#include "cogo/cogoarc.h"
#include "cogo/position_angles.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"

namespace {

constexpr const char* kModule = "QZ/cogospiral";

constexpr int kMostTerms = 30;
constexpr int kSearchRounds = 40;
// Steeper grades than this have no rise along the spiral.
constexpr double kVerticalGrade = 1e-7;

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

bool Usable(double x) { return !maths_IsNull(x) && std::isfinite(x); }

void SetNull(double* a, double* b, double* c) { *a = *b = *c = MATHS_Null; }

// x = integral of cos(theta), y = integral of sin(theta) over [0, s], with
// theta(u) = k0 u + c u^2.
void IntegrateSegment(double k0, double c, double s, double* x, double* y) {
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
    *x = sumCos * h / 2;
    *y = sumSin * h / 2;
}

// The sum of a series whose first term is given and each next one is the last times
// ratio(i), i = 1, 2, ...
template <class Ratio>
double SumSeries(double first, double resolution, Ratio ratio) {
    double term = first, sum = first;
    for (int i = 1; std::fabs(term) > resolution && i < kMostTerms; ++i) {
        term *= ratio(i);
        sum += term;
    }
    return sum;
}

}  // namespace

void cogospiral_Series(double l, double a2, double resolution, double* y, double* x) {
    if (!Usable(l) || !Usable(a2) || a2 == 0.0 || maths_IsNull(resolution)) {
        *y = *x = MATHS_Null;
        return;
    }
    const double ratio = l * l / (2 * a2);
    const double b = -(ratio * ratio);
    const double sumY = SumSeries(l * l * l / (6 * a2), resolution,
                                  [b](int i) { return b * (4 * i - 1) / (i * (4.0 * i + 3) * (4.0 * i + 2)); });
    const double sumX =
        SumSeries(l, resolution, [b](int i) { return b * (4 * i - 3) / (i * (4.0 * i + 1) * (4.0 * i - 2)); });
    *y = Usable(sumY) ? sumY : MATHS_Null;
    *x = Usable(sumX) ? sumX : MATHS_Null;
}

void cogospiral_SegmentOffsets(double smallRadius, double largeRadius, double length, double s,
                               double* deflection, double* x, double* y) {
    if (!Usable(smallRadius) || !Usable(largeRadius) || !Usable(length) || !Usable(s) || smallRadius == 0.0 ||
        largeRadius == 0.0 || length == 0.0) {
        SetNull(deflection, x, y);
        return;
    }
    const double k0 = 1 / largeRadius;
    const double c = (1 / smallRadius - k0) / (2 * length);
    double along = 0, across = 0;
    IntegrateSegment(k0, c, s, &along, &across);
    const double turn = s * (k0 + c * s);
    if (!Usable(turn) || !Usable(along) || !Usable(across)) {
        SetNull(deflection, x, y);
        return;
    }
    *deflection = turn;
    *x = along;
    *y = std::fabs(across);
}

void cogospiral_ComputeOffsets(double smallRadius, double largeRadius, double length, double s, double resolution,
                               double* deflection, double* x, double* y) {
    // Every check runs, so each missing input is reported.
    const int given = QZ_ASSERT_TEXT(!maths_IsNull(length), "!maths_IsNull (length)") +
                      QZ_ASSERT_TEXT(!maths_IsNull(smallRadius), "!maths_IsNull (smallRadius)") +
                      QZ_ASSERT_TEXT(!maths_IsNull(s), "!maths_IsNull (spiralDist)") +
                      QZ_ASSERT_TEXT(!maths_IsNull(resolution), "!maths_IsNull (resolution)");
    const bool present = given == 4;
    QZ_ASSERT_TEXT(s >= 0.0, "spiralDist >= 0.0");
    QZ_ASSERT_TEXT(s <= length, "spiralDist <= length");
    if (!present) {
        SetNull(deflection, x, y);
        return;
    }
    // A spiral of no length has no offsets either.
    if (s == 0.0 || smallRadius == 0.0 || length == 0.0) {
        *deflection = *x = *y = 0.0;
        return;
    }
    if (maths_IsNull(largeRadius)) {
        const double a2 = smallRadius * length;
        *deflection = s * s / (2 * a2);
        cogospiral_Series(s, a2, resolution, y, x);
        return;
    }
    if (largeRadius == smallRadius) {
        cogoarc_DeltaAngle(smallRadius, s, deflection);
        *x = maths_Multiply(maths_Sin(*deflection), smallRadius);
        *y = maths_Subtract(smallRadius, maths_Multiply(maths_Cos(*deflection), smallRadius));
        return;
    }
    // Differencing two far points of the whole clothoid cancels catastrophically when
    // the radii are close and has no clothoid when the large radius is the smaller: the
    // segment is integrated instead.
    cogospiral_SegmentOffsets(smallRadius, largeRadius, length, s, deflection, x, y);
}

void cogospiral_SpiralOffsets(int type, double smallRadius, double largeRadius, double length, double d,
                              double resolution, double totalDeflection, double totalX, double totalY,
                              double* deflection, double* x, double* y) {
    SetNull(deflection, x, y);
    if (maths_IsNull(length) || maths_IsNull(smallRadius) || maths_IsNull(d) || maths_IsNull(resolution)) return;
    if (d == 0.0) {
        *deflection = *x = *y = 0.0;
        return;
    }
    if (d < 0.0) {  // the straight before the start
        *deflection = *y = 0.0;
        *x = d;
        return;
    }
    const bool fromStart = type == 1 || type == 2;
    const bool totalsPresent = !maths_IsNull(totalDeflection) && !maths_IsNull(totalX) && !maths_IsNull(totalY);
    if ((d > length || !fromStart) && !totalsPresent) return;
    double extendX = 0.0, extendY = 0.0;
    if (d > length) {
        if (fromStart) {
            *deflection = totalDeflection;
            *x = totalX;
            *y = totalY;
        } else {
            *deflection = *x = *y = 0.0;
        }
        // The straight beyond the end runs along the end tangent, which has turned by
        // the total deflection from the start for every type.
        extendX = std::cos(totalDeflection) * (d - length);
        extendY = std::sin(totalDeflection) * (d - length);
    } else {
        cogospiral_ComputeOffsets(smallRadius, largeRadius, length, fromStart ? d : length - d, resolution,
                                  deflection, x, y);
    }
    const bool computed = QZ_ASSERT_TEXT(*x != MATHS_Null, "dX != MATHS_Null") +
                              QZ_ASSERT_TEXT(*y != MATHS_Null, "dY != MATHS_Null") == 2;
    if (!computed || maths_IsNull(*deflection)) {
        SetNull(deflection, x, y);
        return;
    }
    switch (type) {
        case 1:
            *x += extendX;
            *y += extendY;
            return;
        case 2:
            *deflection = -*deflection;
            *x += extendX;
            *y = -(*y + extendY);
            return;
        case 0:
        case 3: {
            if (*deflection > totalDeflection) {
                SetNull(deflection, x, y);
                return;
            }
            // From the far end's frame into the start's.
            *deflection = totalDeflection - *deflection;
            const double distance = std::hypot(totalX - *x, totalY - *y);
            const double a = totalDeflection - std::atan2(totalY - *y, totalX - *x);
            *x = std::cos(a) * distance + extendX;
            *y = std::sin(a) * distance + extendY;
            if (type == 3) {
                *deflection = -*deflection;
                *y = -*y;
            }
            return;
        }
        default: QZ_ASSERT_TEXT(false, "Unknown spiral type"); return;
    }
}

void cogospiral_ApplyVerticalDifference(position_Class* position, const transfrm_Class* transform,
                                        double verticalDifference, coordsys_CogoSettings mask) {
    cogo_ApplyVerticalDifference(position, transform, &verticalDifference, mask);
}

void cogospiral_ComputePoint(int type, position_Class& start, const transfrm_Class* transform, double startAzimuth,
                             double smallRadius, double largeRadius, double length, double grade, double resolution,
                             double station, double totalDeflection, double totalX, double totalY,
                             position_Class* result, double* azimuth, coordsys_CogoSettings mask) {
    if (result == &start) {
        position_Class origin = start;
        cogospiral_ComputePoint(type, origin, transform, startAzimuth, smallRadius, largeRadius, length, grade,
                                resolution, station, totalDeflection, totalX, totalY, result, azimuth, mask);
        return;
    }
    *result = start;
    result->Clear();
    *azimuth = MATHS_Null;
    QZ_ASSERT_TEXT(mask.IsNotNull(), "!method.IsNull()");
    double deflection = MATHS_Null, x = MATHS_Null, y = MATHS_Null;
    cogospiral_SpiralOffsets(type, smallRadius, largeRadius, length, station, resolution, totalDeflection, totalX,
                             totalY, &deflection, &x, &y);
    if (maths_IsNull(deflection) || maths_IsNull(x) || maths_IsNull(y) || maths_IsNull(startAzimuth)) return;

    const double level = 0.0;
    double across = startAzimuth + CONSTANT_PiOverTwo;
    coord_NormaliseAzimuth(&across);
    position_Class along;
    cogo_ComputePoint(start, transform, &startAzimuth, &x, &level, &along, mask);
    cogo_ComputePoint(along, transform, &across, &y, &level, result, mask);

    double rise = 0.0;
    if (!maths_IsNull(grade) && !maths_IsNull(station) && std::fabs(std::cos(grade)) >= kVerticalGrade)
        rise = std::tan(grade) * station;
    cogo_ApplyVerticalDifference(result, transform, &rise, mask);

    *azimuth = startAzimuth + deflection;
    coord_NormaliseAzimuth(azimuth);
}

cogo_Result cogospiral_PointToSpiral(int type, position_Class& start, const transfrm_Class* transform,
                                     double startAzimuth, double smallRadius, double largeRadius, double length,
                                     double grade, double resolution, double totalDeflection, double totalX,
                                     double totalY, position_Class& point, position_Class* foot,
                                     double* azimuthAtFoot, double* station, double* offset,
                                     double* verticalDifference, coordsys_CogoSettings mask) {
    *station = *offset = *verticalDifference = *azimuthAtFoot = MATHS_Null;
    foot->Clear();
    QZ_ASSERT_TEXT(mask.IsNotNull(), "!method.IsNull()");
    if (maths_IsNull(length) || maths_IsNull(smallRadius) || maths_IsNull(startAzimuth) || maths_IsNull(resolution))
        return COGO_NullInput;

    const auto Fail = [&](cogo_Result code) {
        *station = *offset = *verticalDifference = *azimuthAtFoot = MATHS_Null;
        foot->Clear();
        return code;
    };
    // Half of the point's distance along the tangent is a step that cannot overshoot
    // where the spiral bends towards or away from the point.
    double s = 0.0;
    double toPoint = MATHS_Null, distance = MATHS_Null, tangent = MATHS_Null, slope = MATHS_Null;
    for (int round = 0;; ++round) {
        if (round == kSearchRounds) return Fail(COGO_NoConvergence);
        cogospiral_ComputePoint(type, start, transform, startAzimuth, smallRadius, largeRadius, length, grade,
                                resolution, s, totalDeflection, totalX, totalY, foot, &tangent, mask);
        toPoint = distance = MATHS_Null;
        cogo_Inverse(*foot, point, transform, &toPoint, &distance, verticalDifference, &slope, mask);
        *station = s;
        *offset = distance;
        *azimuthAtFoot = tangent;
        if (distance == 0.0) return COGO_Ok;
        if (maths_IsNull(tangent) || maths_IsNull(toPoint) || maths_IsNull(distance)) return Fail(COGO_Degenerate);
        const double step = std::cos(position_AngleDifference(tangent, toPoint)) * distance * 0.5;
        if (std::fabs(step) < resolution) break;
        s += step;
    }
    const double divergence = position_AngleDifferenceAbs(tangent + CONSTANT_PiOverTwo, toPoint);
    if (QZ_ASSERT_TEXT(!maths_IsNull(divergence), "!maths_IsNull (divergence)") && divergence > CONSTANT_PiOverTwo)
        *offset = -*offset;
    return COGO_Ok;
}
