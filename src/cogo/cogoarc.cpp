// Circular arcs.
#include "cogo/cogoarc.h"

#include <cmath>

#include "cogo/position_angles.h"
#include "cogo/transfrm.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"

namespace {

constexpr const char* kModule = "QZ/cogoarc";

constexpr int kTangentRounds = 20;
// Steeper grades than this have no rise along the arc.
constexpr double kVerticalGrade = 1e-7;

// Every height of the position goes, whatever it was derived from.
void NullHeights(position_Class* position) {
    const bool borrowed = position->HeightBorrowed;
    position->HeightBorrowed = true;
    position->DropBorrowedHeights();
    position->HeightBorrowed = borrowed;
}

double Normalised(double azimuth) {
    coord_NormaliseAzimuth(&azimuth);
    return azimuth;
}

}  // namespace

bool cogoarc_AnglesEqual(double a, double b) {
    return !maths_IsNull(a) && !maths_IsNull(b) && std::fabs(a - b) < COGO_AngleTolerance;
}

void cogoarc_ArcLength(double radius, double delta, double* length) { *length = maths_Multiply(radius, delta); }

void cogoarc_DeltaAngle(double radius, double length, double* delta) {
    *delta = MATHS_Null;
    if (maths_IsNull(radius) || radius == 0.0 || maths_IsNull(length)) return;
    const double d = length / radius;
    if (cogoarc_AnglesEqual(d, CONSTANT_TwoPi)) {
        *delta = CONSTANT_TwoPi;
        return;
    }
    if (!std::isfinite(d) || d < -CONSTANT_TwoPi || d > CONSTANT_TwoPi) return;
    *delta = Normalised(d);
}

void cogoarc_ChordLength(double radius, double length, double* chord) {
    *chord = MATHS_Null;
    if (maths_IsNull(radius) || maths_IsNull(length)) return;
    double delta = MATHS_Null;
    cogoarc_DeltaAngle(radius, length, &delta);
    if (maths_IsNull(delta)) return;
    // sin(delta) R / sin((pi - delta) / 2) is the same for a minor arc but divides by
    // zero at a full turn and cannot give a major arc's chord.
    *chord = 2.0 * radius * std::fabs(std::sin(delta / 2.0));
}

bool cogoarc_IsMajorArc(int direction, double delta) {
    if (maths_IsNull(delta)) return false;
    if (cogoarc_AnglesEqual(delta, CONSTANT_Pi)) return direction == COGOARC_LeftHand;
    return delta > CONSTANT_Pi;
}

void cogoarc_ComputeArcPoint(int direction, position_Class& start, position_Class& centre,
                             const transfrm_Class* transform, double radius, double azimuth, double grade,
                             double arcLength, position_Class* result, coordsys_CogoSettings mask) {
    if (result == &start || result == &centre) {
        position_Class from = start, about = centre;
        cogoarc_ComputeArcPoint(direction, from, about, transform, radius, azimuth, grade, arcLength, result, mask);
        return;
    }
    *result = start;
    if (arcLength == 0.0) return;
    result->Clear();
    double deflection = MATHS_Null;
    cogoarc_DeltaAngle(radius, arcLength, &deflection);
    if (maths_IsNull(azimuth) || maths_IsNull(deflection)) return;

    coord_Polar polar;
    polar.Azimuth = Normalised(direction == COGOARC_RightHand ? azimuth + deflection : azimuth - deflection);
    polar.HDist = radius;
    polar.VDist = 0.0;
    position_Class onArc;
    cogo_ComputePointFromPolar(centre, transform, polar, &onArc, mask);
    if (!maths_IsNull(grade) && !maths_IsNull(arcLength) && std::fabs(std::cos(grade)) >= kVerticalGrade) {
        cogo_CopyHeight(start, &onArc, transform, mask);
        coord_Polar rise;
        rise.Azimuth = rise.HDist = 0.0;
        rise.VDist = std::tan(grade) * arcLength;
        cogo_ComputePointFromPolar(onArc, transform, rise, result, mask);
        return;
    }
    *result = onArc;
    NullHeights(result);
}

cogo_Result cogoarc_PointToArc(int direction, position_Class& start, const transfrm_Class* transform,
                               position_Class& centre, double azimuth, double delta, double radius, double grade,
                               double horizontalOffset, double verticalOffset, position_Class& point,
                               position_Class* foot, double* azimuthToPoint, double* station, double* offset,
                               double* verticalDifference, coordsys_CogoSettings mask) {
    if (maths_IsNull(azimuth) || maths_IsNull(delta) || maths_IsNull(radius)) return COGO_NullInput;
    double toPoint = MATHS_Null;
    cogo_InverseAzimuth(centre, point, transform, &toPoint, mask);
    *azimuthToPoint = toPoint;
    if (maths_IsNull(toPoint)) return COGO_Degenerate;

    double turn = position_AngleDifference(azimuth, toPoint);
    if (direction == COGOARC_LeftHand) turn = CONSTANT_TwoPi - turn;
    // A point on the start's half of the circle outside the arc is measured back from
    // the start.
    if (turn > Normalised(delta) / 2.0 + CONSTANT_Pi) {
        turn = CONSTANT_TwoPi - turn;
        *station = maths_Negate(maths_Multiply(radius, turn));
    } else {
        *station = maths_Multiply(radius, turn);
    }
    if (maths_IsNull(*station)) return COGO_NullInput;
    cogoarc_ComputeArcPoint(direction, start, centre, transform, radius, azimuth, grade, *station, foot, mask);

    coord_Polar shift;
    shift.Azimuth = direction == COGOARC_LeftHand ? toPoint : Normalised(toPoint + CONSTANT_Pi);
    shift.HDist = maths_IsNull(horizontalOffset) ? 0.0 : horizontalOffset;
    shift.VDist = maths_IsNull(verticalOffset) ? 0.0 : verticalOffset;
    position_Class shifted;
    cogo_ComputePointFromPolar(*foot, transform, shift, &shifted, mask);

    coord_Polar across;
    double slope = MATHS_Null;
    cogo_InversePolar(shifted, point, transform, &across, &slope, mask);
    *offset = across.HDist;
    *verticalDifference = across.VDist;
    const double off = position_AngleDifferenceAbs(across.Azimuth, shift.Azimuth);
    if (!maths_IsNull(off) && off > CONSTANT_PiOverTwo) *offset = maths_Negate(*offset);
    return COGO_Ok;
}

cogo_Result cogoarc_SolveIPAndTangents(position_Class& intersection, const transfrm_Class* transform,
                                       double backAzimuth, double forwardAzimuth, double radius, double* delta,
                                       position_Class* centre, position_Class* start, position_Class* end,
                                       int* direction, coordsys_CogoSettings* mask,
                                       const coordsys_Corrections* corrections) {
    const position_Class ip = intersection;  // the outputs may alias it
    *centre = *start = *end = ip;
    centre->Clear();
    start->Clear();
    end->Clear();
    if (maths_IsNull(backAzimuth) || maths_IsNull(forwardAzimuth) || maths_IsNull(radius)) return COGO_NullInput;
    position_Class at = ip;
    if (mask->IsNull()) *mask = cogo_GetSystemForPosition(at, transform, corrections);
    QZ_ASSERT_TEXT(radius > 0.0, "radius > 0.0");

    double h = position_AngleDifference(backAzimuth, forwardAzimuth);
    double first = backAzimuth, second = forwardAzimuth;
    position_Class* firstPoint = start;
    position_Class* secondPoint = end;
    if (h < CONSTANT_Pi) {
        *direction = COGOARC_LeftHand;
    } else {
        *direction = COGOARC_RightHand;
        first = forwardAzimuth;
        second = backAzimuth;
        firstPoint = end;
        secondPoint = start;
        h = CONSTANT_TwoPi - h;
    }
    *delta = CONSTANT_Pi - h;
    if (cogoarc_AnglesEqual(*delta, 0.0)) {
        *centre = *start = *end = ip;
        return COGO_Ok;
    }
    // Tangents folded back onto each other meet no circle at a finite distance.
    if (cogoarc_AnglesEqual(h, 0.0)) return COGO_Degenerate;

    double tangent = radius / std::tan(h / 2.0);
    const double inward = Normalised(first + CONSTANT_PiOverTwo);
    const double level = 0.0;
    for (int round = 0; round < kTangentRounds; ++round) {
        cogo_ComputePoint(at, transform, &first, &tangent, &level, firstPoint, *mask);
        cogo_ComputePoint(*firstPoint, transform, &inward, &radius, &level, centre, *mask);
        double azimuthAtFoot = MATHS_Null, station = MATHS_Null, offset = MATHS_Null, rise = MATHS_Null;
        const cogo_Result result = cogo_PointToLine(at, transform, &second, &level, *centre, secondPoint,
                                                    &azimuthAtFoot, &station, &offset, &rise, *mask);
        if (result != COGO_Ok) return result;
        if (maths_IsNull(offset)) return COGO_NotFound;
        const double error = radius - std::fabs(offset);
        if (std::fabs(error) < COGO_DistanceTolerance) return COGO_Ok;
        // The centre's distance from the second tangent grows by sin(h) per metre of
        // tangent length.
        tangent += error / std::sin(h);
    }
    return COGO_NoConvergence;
}

void cogoarc_SetIPHeight(position_Class& start, position_Class& end, position_Class* intersection,
                         const transfrm_Class* transform, coordsys_CogoSettings mask) {
    if (cogo_IsScaleOnly(transform)) {
        coord_CorrectedGrid startGrid = start.GetGrid(transform);
        coord_CorrectedGrid endGrid = end.GetGrid(transform);
        if (!maths_IsNull(startGrid.Elev) && !maths_IsNull(endGrid.Elev)) {
            coord_CorrectedGrid grid = intersection->GetGrid(transform);
            grid.Elev = (startGrid.Elev + endGrid.Elev) / 2.0;
            intersection->SetGrid(grid, transform);
            return;
        }
    }
    coord_Local local = intersection->GetLocal(transform);
    // Without a local position, setting one would wipe the point out.
    if (local.IsHorizontalNull()) return;
    local.Height = cogo_MeanHeight(start, end, transform, mask);
    const bool borrowed =
        maths_IsNull(start.GetLocal(transform).Height) || maths_IsNull(end.GetLocal(transform).Height);
    intersection->SetLocal(local, transform);
    intersection->HeightBorrowed = borrowed;
    intersection->DropBorrowedHeights();
}
