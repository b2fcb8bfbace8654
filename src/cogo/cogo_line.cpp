// Station and offset of a point against a line, and the heights two positions share.
#include <cmath>

#include "cogo/cogo.h"
#include "cogo/cogo_internal.h"
#include "cogo/position_angles.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"

namespace {

constexpr const char* kModule = "QZ/cogo";

constexpr int kFootRounds = 20;
// Steeper grades than this have no vertical difference along the line.
constexpr double kVerticalGrade = 1e-7;

// Heights of both positions in the system the distance bits choose.
void Heights(position_Class& p1, position_Class& p2, const transfrm_Class* transform, coordsys_CogoSettings mask,
             double* h1, double* h2) {
    if (cogo_IsGridCase(transform, mask)) {
        *h1 = p1.GetCogoGrid(transform).Elev;
        *h2 = p2.GetCogoGrid(transform).Elev;
        return;
    }
    const bool useLocal = (mask.Value() & COORDSYS_CogoDistanceLocal) != 0;
    if (!useLocal)
        QZ_ASSERT_TEXT(mask.Value() & COORDSYS_CogoDistanceWGS84, "system & COORDSYS_CogoDistanceWGS84");
    coord_Local c1, c2;
    cogo_GetGeodetic(p1, transform, &c1, useLocal);
    cogo_GetGeodetic(p2, transform, &c2, useLocal);
    *h1 = c1.Height;
    *h2 = c2.Height;
}

}  // namespace

cogo_Result cogo_PointToLine(position_Class& start, const transfrm_Class* transform, const double* azimuth,
                             const double* grade, position_Class& point, position_Class* foot,
                             double* azimuthAtFoot, double* station, double* offset, double* verticalDifference,
                             coordsys_CogoSettings mask) {
    const double line = cogo_Value(azimuth);
    if (maths_IsNull(line)) return COGO_NullInput;
    QZ_ASSERT_TEXT(mask.IsNotNull(), "!system.IsNull()");
    double footAzimuth = MATHS_Null, footDistance = MATHS_Null;
    double toPoint = MATHS_Null, across = MATHS_Null, slope = MATHS_Null;
    cogo_Inverse(start, point, transform, &toPoint, &across, verticalDifference, &slope, mask);
    if (cogo_DistancesEqual(across, 0.0)) {
        *foot = start;
        *azimuthAtFoot = line;
        *station = 0.0;
        *offset = 0.0;
        return COGO_Ok;
    }
    if (maths_IsNull(toPoint) || maths_IsNull(across)) return COGO_NullInput;

    const double g = cogo_Value(grade);
    double s = std::cos(position_AngleDifferenceAbs(line, toPoint)) * across;
    int round = 0;
    for (;; ++round) {
        if (round == kFootRounds) return COGO_NoConvergence;
        double rise = MATHS_Null;
        if (!maths_IsNull(g) && std::fabs(std::cos(g)) >= kVerticalGrade) rise = std::tan(g) * s;
        cogo_ComputePoint(start, transform, &line, &s, &rise, foot, mask);
        footAzimuth = footDistance = toPoint = across = MATHS_Null;
        cogo_InverseAzimuthDistance(*foot, start, transform, &footAzimuth, &footDistance, mask);
        cogo_Inverse(*foot, point, transform, &toPoint, &across, verticalDifference, &slope, mask);
        if (maths_IsNull(footAzimuth)) footAzimuth = line + CONSTANT_Pi;
        if (maths_IsNull(toPoint)) toPoint = line;
        if (maths_IsNull(across) || maths_IsNull(footDistance)) return COGO_NullInput;
        if (footDistance < COGO_DistanceTolerance || across < COGO_DistanceTolerance) break;
        // The point's distance along the line from the foot, positive back towards the start.
        const double back = std::cos(position_AngleDifferenceAbs(footAzimuth, toPoint)) * across;
        if (std::fabs(back) < COGO_DistanceTolerance) break;
        if (s < 0.0)
            s += back;
        else
            s -= back;
    }
    *station = s < 0.0 ? -footDistance : footDistance;
    *offset = position_AngleDifference(line, toPoint) < CONSTANT_Pi ? across : -across;
    *azimuthAtFoot = *station < 0.0 ? footAzimuth : footAzimuth + CONSTANT_Pi;
    coord_NormaliseAzimuth(azimuthAtFoot);
    return COGO_Ok;
}

cogo_Result cogo_PointToLineWithOffsets(position_Class& start, const transfrm_Class* transform, const double* azimuth,
                                        const double* horizontalOffset, const double* verticalOffset,
                                        const double* grade, position_Class& point, position_Class* foot,
                                        double* azimuthAtFoot, double* station, double* offset,
                                        double* verticalDifference, coordsys_CogoSettings method) {
    QZ_ASSERT_TEXT(method.IsNotNull(), "!method.IsNull()");
    const cogo_Result result = cogo_PointToLine(start, transform, azimuth, grade, point, foot, azimuthAtFoot,
                                                station, offset, verticalDifference, method);
    if (result != COGO_Ok) return result;
    const double across = cogo_Value(horizontalOffset);
    const double up = cogo_Value(verticalOffset);
    if ((maths_IsNull(across) && maths_IsNull(up)) ||
        (cogo_DistancesEqual(across, 0.0) && cogo_DistancesEqual(up, 0.0)))
        return COGO_Ok;

    double right = cogo_Value(azimuth) + CONSTANT_PiOverTwo;
    coord_NormaliseAzimuth(&right);
    position_Class shifted;
    cogo_ComputePoint(*foot, transform, &right, &across, &up, &shifted, method);
    double toPoint = MATHS_Null, distance = MATHS_Null, slope = MATHS_Null;
    cogo_Inverse(shifted, point, transform, &toPoint, &distance, verticalDifference, &slope, method);
    // Left of the offset line is negative.
    *offset = *offset < across ? maths_Negate(distance) : distance;
    return COGO_Ok;
}

cogo_Result cogo_PointToLineCommonHeight(position_Class& start, const double* azimuth, position_Class& point,
                                         const transfrm_Class* transform, double* station, double* offset,
                                         coordsys_CogoSettings mask) {
    position_Class commonStart, commonPoint, foot;
    cogo_CommonHeight(start, point, transform, &commonStart, &commonPoint, mask);
    const double level = 0.0;
    double azimuthAtFoot = MATHS_Null, verticalDifference = MATHS_Null;
    return cogo_PointToLine(commonStart, transform, azimuth, &level, commonPoint, &foot, &azimuthAtFoot, station,
                            offset, &verticalDifference, mask);
}

cogo_Result cogo_IsBehind(position_Class& start, const double* azimuth, position_Class& point,
                          const transfrm_Class* transform, coordsys_CogoSettings mask) {
    double toPoint = MATHS_Null;
    cogo_InverseAzimuth(start, point, transform, &toPoint, mask);
    const double line = cogo_Value(azimuth);
    if (maths_IsNull(toPoint) || maths_IsNull(line)) return COGO_Ok;
    double turn = toPoint - line + CONSTANT_PiOverTwo;
    coord_NormaliseAzimuth(&turn);
    return turn > CONSTANT_Pi ? COGO_Behind : COGO_Ok;
}

double cogo_MeanHeight(position_Class& p1, position_Class& p2, const transfrm_Class* transform,
                       coordsys_CogoSettings mask) {
    QZ_ASSERT_TEXT(mask.IsNotNull(), "!system.IsNull()");
    double h1 = MATHS_Null, h2 = MATHS_Null;
    Heights(p1, p2, transform, mask, &h1, &h2);
    double base = cogo_GroundOriginHeight(transform);
    const bool ellipsoidalSystem = (mask.Value() & COORDSYS_CogoEllipsoidDistances) != 0;
    const bool groundSystem = (mask.Value() & COORDSYS_CogoGroundDistances) != 0;
    QZ_ASSERT_TEXT(!ellipsoidalSystem || !groundSystem, "!ellipsoidalSystem || !groundSystem");
    QZ_ASSERT_TEXT(ellipsoidalSystem || groundSystem, "ellipsoidalSystem || groundSystem");
    if (ellipsoidalSystem && maths_IsNull(base)) base = 0.0;
    if (maths_IsNull(h1) && maths_IsNull(h2)) return base;
    if (groundSystem) {
        if (maths_IsNull(h1)) h1 = h2;
        if (maths_IsNull(h2)) h2 = h1;
    } else if (ellipsoidalSystem) {
        if (maths_IsNull(h1)) h1 = base;
        if (maths_IsNull(h2)) h2 = base;
    }
    QZ_ASSERT_TEXT(!maths_IsNull(h1), "!maths_IsNull (coord1.Height)");
    QZ_ASSERT_TEXT(!maths_IsNull(h2), "!maths_IsNull (coord2.Height)");
    return maths_Multiply(maths_Add(h1, h2), 0.5);
}

void cogo_CommonHeight(position_Class& p1, position_Class& p2, const transfrm_Class* transform,
                       position_Class* copy1, position_Class* copy2, coordsys_CogoSettings mask) {
    *copy1 = p1;
    *copy2 = p2;
    if (cogo_IsGridCase(transform, mask)) return;
    const bool useLocal = (mask.Value() & COORDSYS_CogoDistanceLocal) != 0;
    if (!useLocal)
        QZ_ASSERT_TEXT(mask.Value() & COORDSYS_CogoDistanceWGS84, "system & COORDSYS_CogoDistanceWGS84");
    coord_Local c1, c2;
    cogo_GetGeodetic(*copy1, transform, &c1, useLocal);
    cogo_GetGeodetic(*copy2, transform, &c2, useLocal);
    copy1->HeightBorrowed = maths_IsNull(c1.Height);
    copy2->HeightBorrowed = maths_IsNull(c2.Height);
    const double m = cogo_MeanHeight(*copy1, *copy2, transform, mask);
    if (maths_IsNull(m)) return;
    c1.Height = c2.Height = m;
    cogo_SetGeodetic(*copy1, transform, c1, useLocal);
    cogo_SetGeodetic(*copy2, transform, c2, useLocal);
}
