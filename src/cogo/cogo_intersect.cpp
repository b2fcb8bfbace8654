// Intersections of lines and circles.
#include "cogo/cogo_intersect.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "cogo/cogo_internal.h"
#include "cogo/position_angles.h"
#include "cogo/roadcogo_ellipsoid.h"
#include "cogo/transfrm.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"

namespace {

constexpr const char* kModule = "QZ/cogo";

constexpr int kRounds = 20;
// Steeper lines than this run along the north axis.
constexpr double kNorthward = 1e-7;
// WGS84 azimuths and distances on the ellipsoid itself: the plane start value of an
// intersection on the ellipsoid is not raised to the ground.
constexpr int32_t kPlaneEllipsoidMask = COORDSYS_CogoAzimuthWGS84 | COORDSYS_CogoDistanceWGS84 |
                                        COORDSYS_CogoEllipsoidDistances | COORDSYS_CogoEllipsoidHeights;
constexpr double kLevel = 0.0;

double Normalised(double azimuth) {
    coord_NormaliseAzimuth(&azimuth);
    return azimuth;
}

bool HalfNull(const coord_CogoGrid& point) { return maths_IsNull(point.North) || maths_IsNull(point.East); }

// The result of a failed intersection: a cleared copy of the first position.
cogo_Result Failed(const position_Class& first, position_Class* result, cogo_Result code) {
    *result = first;
    result->Clear();
    return code;
}

}  // namespace

bool cogo_AzimuthsParallel(double azimuth1, double azimuth2) {
    return cogo_AnglesEqual(azimuth1, azimuth2) || cogo_AnglesEqual(maths_Add(azimuth1, CONSTANT_Pi), azimuth2);
}

cogo_Result cogo_IntersectLines(const coord_CogoGrid& point1, const double* azimuth1, const coord_CogoGrid& point2,
                                const double* azimuth2, coord_CogoGrid* result) {
    result->SetNull();
    const double a1 = cogo_Value(azimuth1), a2 = cogo_Value(azimuth2);
    if (HalfNull(point1) || HalfNull(point2) || maths_IsNull(a1) || maths_IsNull(a2)) return COGO_NullInput;
    if (cogo_AzimuthsParallel(a1, a2)) return COGO_Parallel;
    const double n1 = point1.North, e1 = point1.East, n2 = point2.North, e2 = point2.East;
    const double t1 = std::tan(a1), t2 = std::tan(a2);
    double north = 0.0, east = 0.0;
    if (std::fabs(std::cos(a1)) < kNorthward) {
        north = n1;
        east = e2 + (n1 - n2) * t2;
    } else if (std::fabs(std::cos(a2)) < kNorthward) {
        north = n2;
        east = e1 + (n2 - n1) * t1;
    } else {
        north = (t1 * n1 - t2 * n2 + e2 - e1) / (t1 - t2);
        east = e1 + t1 * (north - n1);
    }
    *result = coord_CogoGrid(north, east, MATHS_Null);
    return COGO_Ok;
}

cogo_Result cogo_IntersectBearingBearing(position_Class& p1, const double* azimuth1, position_Class& p2,
                                         const transfrm_Class* transform, const double* azimuth2,
                                         position_Class* result, coordsys_CogoSettings mask) {
    if ((mask.Value() & COORDSYS_CogoAzimuthGrid) || cogo_IsScaleOnly(transform))
        return cogo_IntersectBearingBearingOnGrid(p1, azimuth1, p2, azimuth2, transform, result);
    return cogo_IntersectBearingBearingOnEllipsoid(p1, azimuth1, p2, azimuth2, transform, result,
                                                   (mask.Value() & COORDSYS_CogoAzimuthLocal) != 0, mask);
}

cogo_Result cogo_IntersectBearingBearingOnGrid(position_Class& p1, const double* azimuth1, position_Class& p2,
                                               const double* azimuth2, const transfrm_Class* transform,
                                               position_Class* result) {
    coord_CogoGrid meet;
    const cogo_Result code =
        cogo_IntersectLines(p1.GetCogoGrid(transform), azimuth1, p2.GetCogoGrid(transform), azimuth2, &meet);
    if (code != COGO_Ok) return Failed(p1, result, code);
    *result = p1;
    result->SetCogoGrid(meet, transform);
    return COGO_Ok;
}

cogo_Result cogo_IntersectBearingBearingOnEllipsoid(position_Class& p1, const double* azimuth1, position_Class& p2,
                                                    const double* azimuth2, const transfrm_Class* transform,
                                                    position_Class* result, bool useLocal,
                                                    coordsys_CogoSettings mask) {
    QZ_ASSERT_TEXT(mask.IsNotNull(), "!system.IsNull()");
    QZ_ASSERT_TEXT(mask.Value() & (COORDSYS_CogoAzimuthWGS84 | COORDSYS_CogoAzimuthLocal),
                   "system & (COORDSYS_CogoAzimuthWGS84 | COORDSYS_CogoAzimuthLocal)");
    QZ_ASSERT_TEXT(!cogo_IsScaleOnly(transform), "!cogo_IsScaleOnly (transform)");
    position_Class first = p1, second = p2;  // the result may be either
    coord_Local c1, c2;
    coordsys_Ellipsoid e1, mean;
    double w1 = MATHS_Null, w2 = MATHS_Null;
    cogo_GetGeodetic(first, transform, &c1, useLocal);
    cogo_GetEllipsoid(first, transform, &e1, useLocal, mask);
    cogo_GetW(first, transform, &w1, useLocal, mask);
    cogo_GetGeodetic(second, transform, &c2, useLocal);
    cogo_GetW(second, transform, &w2, useLocal, mask);
    cogo_MeanEllipsoid(first, second, transform, useLocal, &mean, mask);
    const double a1 = cogo_Value(azimuth1), a2 = cogo_Value(azimuth2);
    if (maths_IsNull(a1) || maths_IsNull(a2) || maths_IsNull(mean.EarthRadius) || c1.IsHorizontalNull() ||
        c2.IsHorizontalNull())
        return Failed(first, result, COGO_NullInput);
    if (cogo_AzimuthsParallel(a1, a2)) return Failed(first, result, COGO_Parallel);

    cogo_Result code = COGO_Ok;
    if (first.GetCogoGrid(transform).IsHorizontalNull() || second.GetCogoGrid(transform).IsHorizontalNull()) {
        code = cogo_IntersectBearingBearingOnPlane(first, &a1, second, &a2, transform, useLocal, result);
    } else {
        code = cogo_IntersectBearingBearingOnGrid(first, &a1, second, &a2, transform, result);
        if (code == COGO_Ok) {
            coord_CogoGrid meet = result->GetCogoGrid(transform);
            meet.Elev = 0.0;
            result->SetCogoGrid(meet, transform);
        }
    }
    if (code != COGO_Ok) return Failed(first, result, code);
    double s = MATHS_Null, toStart = MATHS_Null;
    cogo_InverseAzimuthDistance(first, *result, transform, &toStart, &s, mask);
    if (maths_IsNull(s)) return Failed(first, result, COGO_Degenerate);
    // Lines may cross behind the first point: s counts along azimuth 1.
    const double backwards = position_AngleDifferenceAbs(toStart, a1);
    if (!maths_IsNull(backwards) && backwards > CONSTANT_PiOverTwo) s = -s;

    // Slide along line 1 until the inverse from p2 gives azimuth 2; D sin(g) is the
    // point's signed distance across line 2 whichever side of p2 it lies.
    const double turn = position_AngleDifference(a2, a1);
    for (int round = 0; round < kRounds; ++round) {
        coord_Local reached = c1;
        roadcogo_EllipsoidDirect(c1, s < 0.0 ? Normalised(a1 + CONSTANT_Pi) : a1, std::fabs(s), e1, w1, &reached);
        cogo_SetGeodetic(*result, transform, reached, useLocal);
        double w = MATHS_Null, meanAzimuth = MATHS_Null, azimuth = MATHS_Null, distance = MATHS_Null;
        cogo_GetW(*result, transform, &w, useLocal, mask);
        roadcogo_EllipsoidInverse(mean, c2, w2, reached, w, &meanAzimuth, &azimuth, &distance);
        if (maths_IsNull(distance)) return Failed(first, result, COGO_Degenerate);
        // At p2 itself the point lies on line 2 without an azimuth to it; elsewhere it
        // may lie behind p2, and the azimuth to it is then opposite.
        const bool atSecond = distance < COGO_DistanceTolerance;
        if (!atSecond && maths_IsNull(azimuth)) return Failed(first, result, COGO_Degenerate);
        if (atSecond || cogo_AzimuthsParallel(azimuth, a2)) {
            *result = first;
            cogo_SetGeodetic(*result, transform, reached, useLocal);
            return COGO_Ok;
        }
        const double across = std::sin(position_AngleDifference(a2, azimuth)) * distance;
        s += turn > CONSTANT_Pi ? across : -across;
    }
    return Failed(first, result, COGO_NoConvergence);
}

cogo_Result cogo_IntersectBearingBearingOnPlane(position_Class& p1, const double* azimuth1, position_Class& p2,
                                                const double* azimuth2, const transfrm_Class* transform,
                                                bool useLocal, position_Class* result) {
    QZ_ASSERT_TEXT(!cogo_IsScaleOnly(transform), "!cogo_IsScaleOnly (transform)");
    position_Class first = p1, second = p2;
    coord_Local c1, c2;
    coordsys_Ellipsoid ellipsoid;
    cogo_GetGeodetic(first, transform, &c1, useLocal);
    cogo_GetGeodetic(second, transform, &c2, useLocal);
    cogo_GetEllipsoid(first, transform, &ellipsoid, useLocal, kPlaneEllipsoidMask);
    if (c1.IsHorizontalNull() || c2.IsHorizontalNull() || maths_IsNull(ellipsoid.EarthRadius))
        return Failed(first, result, COGO_NullInput);

    // The plane tangent at p1, north along p1's meridian, at p1's height (or on the
    // ellipsoid: the plane only gives the start value).
    coordsys_Projection plane;
    plane.ProjectionType = COORDSYS_Plane;
    plane.OriginLocal = c1;
    if (maths_IsNull(plane.OriginLocal.Height)) plane.OriginLocal.Height = 0.0;
    plane.OriginGrid = coord_CorrectedGrid(0.0, 0.0, 0.0);
    plane.Scale = 1.0;
    plane.Orientation1 = plane.Orientation2 = 0.0;
    int32_t unusedError = COORDSYS_NoError;
    const std::unique_ptr<transfrm_Class> temporary(transfrm_Create(TRANSFRM_Ellipsoid | TRANSFRM_Projection,
                                                                    &ellipsoid, &plane, nullptr, nullptr, nullptr,
                                                                    nullptr, 0, &unusedError));
    if (!temporary) return Failed(first, result, COGO_NotFound);
    QZ_ASSERT_TEXT(unusedError == COORDSYS_NoError, "unusedError == COORDSYS_NoError");

    coord_CogoGrid g1, g2, meet;
    temporary->LocalToCogoGrid(c1, &g1);
    temporary->LocalToCogoGrid(c2, &g2);
    const cogo_Result code = cogo_IntersectLines(g1, azimuth1, g2, azimuth2, &meet);
    if (code != COGO_Ok) return Failed(first, result, code);
    meet.Elev = 0.0;
    coord_Local back;
    temporary->CogoGridToLocal(meet, &back);
    if (back.IsHorizontalNull()) return Failed(first, result, COGO_Degenerate);
    back.Height = c1.Height;
    *result = first;
    cogo_SetGeodetic(*result, transform, back, useLocal);
    return COGO_Ok;
}

cogo_Result cogo_IntersectBearingDistance(position_Class& start, const double* azimuth, position_Class& centre,
                                          const transfrm_Class* transform, const double* radius,
                                          position_Class* result1, position_Class* result2,
                                          coordsys_CogoSettings mask) {
    cogo_CheckMask(mask);
    const double r = cogo_Value(radius);
    if (maths_IsNull(r)) return COGO_NullInput;
    position_Class from = start, middle = centre;  // the results may be either
    for (position_Class* result : {result1, result2}) {
        *result = position_Class(from.SearchData);
        if (from.CogoSystem.IsNotNull()) result->SetCogoSystem(from.CogoSystem);
    }

    position_Class commonStart, commonCentre, foot;
    cogo_CommonHeight(from, middle, transform, &commonStart, &commonCentre, mask);
    double azimuthAtFoot = MATHS_Null, station = MATHS_Null, offset = MATHS_Null, rise = MATHS_Null;
    const cogo_Result code = cogo_PointToLine(commonStart, transform, azimuth, &kLevel, commonCentre, &foot,
                                              &azimuthAtFoot, &station, &offset, &rise, mask);
    if (code != COGO_Ok) return code;
    if (maths_IsNull(offset)) return COGO_NullInput;
    offset = std::fabs(offset);

    // A line that touches the circle counts before one that misses it, so that
    // rounding cannot turn a tangent into a miss.
    if (std::fabs(r - offset) < COGO_DistanceTolerance) {
        *result1 = foot;
        result1->DropBorrowedHeights();
        return COGO_Ok;
    }
    if (r < offset) return COGO_TooShort;
    const double along = cogo_Value(azimuth);
    const double against = Normalised(along + CONSTANT_Pi);
    if (offset < COGO_DistanceTolerance) {
        // Level with the foot, so the points keep the height the line has.
        cogo_ComputePoint(foot, transform, &along, &r, &kLevel, result1, mask);
        cogo_ComputePoint(foot, transform, &against, &r, &kLevel, result2, mask);
    } else {
        cogo_Result solved =
            cogo_SolveDistanceOnLine(commonCentre, transform, &r, foot, &along, &offset, result1, mask);
        if (solved == COGO_Ok)
            solved = cogo_SolveDistanceOnLine(commonCentre, transform, &r, foot, &against, &offset, result2, mask);
        if (solved != COGO_Ok) {
            result1->Clear();
            result2->Clear();
            return solved;
        }
    }
    result1->DropBorrowedHeights();
    result2->DropBorrowedHeights();
    return COGO_Ok;
}

cogo_Result cogo_SolveDistanceOnLine(position_Class& centre, const transfrm_Class* transform, const double* radius,
                                     position_Class& foot, const double* azimuth, const double* offset,
                                     position_Class* result, coordsys_CogoSettings mask) {
    const position_Class middle = centre, base = foot;  // the result may be either
    *result = middle;
    result->Clear();
    const double r = cogo_Value(radius), o = cogo_Value(offset), a = cogo_Value(azimuth);
    if (maths_IsNull(r) || maths_IsNull(o) || maths_IsNull(a)) return COGO_NullInput;

    position_Class probe, from = base, to = middle;
    // The error (distance to the centre less the radius) at q along the line.
    auto errorAt = [&](double q) {
        cogo_ComputePoint(from, transform, &a, &q, &kLevel, &probe, mask);
        double d = MATHS_Null;
        cogo_InverseDistance(probe, to, transform, &d, mask);
        return maths_Subtract(d, r);
    };
    double lower = 0.0, lowerError = o - r;
    double upper = 1.01 * r, upperError = errorAt(upper);
    if (maths_IsNull(upperError)) return COGO_NullInput;
    double q = std::sqrt(std::max(0.0, r * r - o * o));
    for (int round = 0; round < kRounds; ++round) {
        const double error = errorAt(q);
        if (maths_IsNull(error)) return COGO_NullInput;
        if (std::fabs(error) < COGO_DistanceTolerance) {
            *result = probe;
            result->HeightBorrowed = middle.HeightBorrowed || base.HeightBorrowed;
            return COGO_Ok;
        }
        if (lowerError > 0.0 || upperError < 0.0) return COGO_NotFound;
        if (error < 0.0) {
            QZ_ASSERT_TEXT(lowerError <= 0.0, "lowerError <= 0.0");
            lower = q;
            lowerError = error;
        } else {
            QZ_ASSERT_TEXT(upperError >= 0.0, "upperError >= 0.0");
            upper = q;
            upperError = error;
        }
        double step = (upper - lower) / 2.0;
        if (std::fabs(lowerError) < std::fabs(upperError)) {
            step = std::min(step, std::fabs(lowerError));
            q = lower + step;
        } else {
            step = std::min(step, std::fabs(upperError));
            q = upper - step;
        }
    }
    return COGO_NoConvergence;
}

cogo_Result cogo_IntersectDistanceDistance(position_Class& centre1, const double* radius1, position_Class& centre2,
                                           const double* radius2, const transfrm_Class* transform,
                                           position_Class* result1, position_Class* result2,
                                           coordsys_CogoSettings mask) {
    const double r1 = cogo_Value(radius1), r2 = cogo_Value(radius2);
    if (maths_IsNull(r1) || maths_IsNull(r2)) return COGO_NullInput;
    if (std::fabs(r1) < COGO_DistanceTolerance || std::fabs(r2) < COGO_DistanceTolerance) return COGO_Degenerate;

    position_Class common1, common2;
    cogo_CommonHeight(centre1, centre2, transform, &common1, &common2, mask);
    double azimuth = MATHS_Null, d = MATHS_Null;
    cogo_InverseAzimuthDistance(common1, common2, transform, &azimuth, &d, mask);
    if (maths_IsNull(d)) return COGO_NullInput;
    // Coincident centres have no azimuth between them.
    if (d < COGO_DistanceTolerance) return COGO_CoincidentCentres;
    if (maths_IsNull(azimuth)) return COGO_NullInput;
    if (d + r1 < r2 || r1 > d + r2) return COGO_CircleInside;
    if (d > r1 + r2) return COGO_TooFarApart;

    // Touching circles round the cosine a hair past 1.
    const double cosine = std::clamp((d * d + r1 * r1 - r2 * r2) / (2.0 * d * r1), -1.0, 1.0);
    const double angle = std::acos(cosine);
    coord_Polar towards;
    towards.HDist = r1;
    towards.VDist = 0.0;
    towards.Azimuth = Normalised(azimuth + angle);
    cogo_ComputePointFromPolar(common1, transform, towards, result1, mask);
    towards.Azimuth = Normalised(azimuth - angle);
    cogo_ComputePointFromPolar(common1, transform, towards, result2, mask);

    double apart = MATHS_Null;
    cogo_InverseDistance(*result1, *result2, transform, &apart, mask);
    if (!maths_IsNull(apart) && apart < COGO_DistanceTolerance) {
        result2->Clear();
        result1->DropBorrowedHeights();
        return COGO_Ok;
    }
    for (position_Class* result : {result1, result2}) {
        const cogo_Result code = cogo_RefineCircleIntersection(common1, &r1, common2, &r2, transform, result, mask);
        if (code != COGO_Ok) {
            result1->Clear();
            result2->Clear();
            return code;
        }
    }
    result1->DropBorrowedHeights();
    result2->DropBorrowedHeights();
    return COGO_Ok;
}

cogo_Result cogo_RefineCircleIntersection(position_Class& centre1, const double* radius1, position_Class& centre2,
                                          const double* radius2, const transfrm_Class* transform,
                                          position_Class* result, coordsys_CogoSettings mask) {
    const double r1 = cogo_Value(radius1), r2 = cogo_Value(radius2);
    if (maths_IsNull(r1) || maths_IsNull(r2)) return COGO_NullInput;
    QZ_ASSERT_TEXT(mask.IsNotNull(), "!system.IsNull()");
    position_Class first = centre1, second = centre2;  // the result may be either
    const bool onGrid = (mask.Value() & COORDSYS_CogoAzimuthGrid) || cogo_IsScaleOnly(transform);
    const bool useLocal = (mask.Value() & COORDSYS_CogoAzimuthLocal) != 0;
    for (int round = 0; round < kRounds; ++round) {
        double a1 = MATHS_Null, d1 = MATHS_Null, a2 = MATHS_Null, d2 = MATHS_Null;
        cogo_InverseAzimuthDistance(*result, first, transform, &a1, &d1, mask);
        cogo_InverseAzimuthDistance(*result, second, transform, &a2, &d2, mask);
        if (maths_IsNull(a1) || maths_IsNull(d1) || maths_IsNull(a2) || maths_IsNull(d2)) return COGO_NullInput;
        const double e1 = d1 - r1, e2 = d2 - r2;
        if (std::fabs(e1) < COGO_DistanceTolerance && std::fabs(e2) < COGO_DistanceTolerance) {
            result->HeightBorrowed = first.HeightBorrowed || second.HeightBorrowed;
            return COGO_Ok;
        }
        // Each circle is replaced by its tangent at the foot of the current point.
        position_Class onFirst, onSecond;
        cogo_ComputePoint(*result, transform, &a1, &e1, &kLevel, &onFirst, mask);
        cogo_ComputePoint(*result, transform, &a2, &e2, &kLevel, &onSecond, mask);
        const double along1 = Normalised(a1 + CONSTANT_PiOverTwo), along2 = Normalised(a2 + CONSTANT_PiOverTwo);
        if (cogo_IntersectBearingBearing(onFirst, &along1, onSecond, transform, &along2, result, mask) != COGO_Ok)
            return COGO_Degenerate;
        if (onGrid) {
            coord_CorrectedGrid grid = result->GetGrid(transform);
            grid.Elev = first.GetGrid(transform).Elev;
            result->SetGrid(grid, transform);
        } else {
            coord_Local reached, height;
            cogo_GetGeodetic(*result, transform, &reached, useLocal);
            cogo_GetGeodetic(first, transform, &height, useLocal);
            reached.Height = height.Height;
            cogo_SetGeodetic(*result, transform, reached, useLocal);
        }
    }
    return COGO_NoConvergence;
}
