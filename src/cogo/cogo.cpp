// The cogo mask, the shared helpers and the forward point.
#include "cogo/cogo.h"

#include <cmath>

#include "cogo/cogo_internal.h"
#include "cogo/position_angles.h"
#include "cogo/roadcogo_ellipsoid.h"
#include "cogo/transfrm.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"

namespace {

constexpr const char* kModule = "QZ/cogo";

// The ellipsoid forward point stops once its inverse is this close to the targets.
constexpr int kForwardRounds = 5;
constexpr double kForwardDistanceTolerance = 0.00005;
// Beyond this the short-line series is not to be trusted.
constexpr double kLongestLine = 1000000.0;
// Steeper sights than this have no horizontal distance to speak of.
constexpr double kVerticalSight = 1e-7;

}  // namespace

// --- Shared --------------------------------------------------------------------------

double cogo_Value(const double* value) { return value != nullptr ? *value : MATHS_Null; }

bool cogo_SeaLevelApplies(const transfrm_Class* transform, coordsys_CogoSettings mask) {
    return transform != nullptr && (mask.Value() & COORDSYS_CogoGroundDistances) != 0 &&
           transform->Corrections.SeaLevelFlag(transform->Projection.ProjectionType);
}

bool cogo_IsGridCase(const transfrm_Class* transform, coordsys_CogoSettings mask) {
    return (mask.Value() & COORDSYS_CogoDistanceGrid) != 0 || cogo_IsScaleOnly(transform);
}

double cogo_GroundOriginHeight(const transfrm_Class* transform) {
    return transform != nullptr ? transform->GetGroundOriginHeight() : MATHS_Null;
}

int32_t cogo_ElevationSystem(const transfrm_Class* transform, coordsys_CogoSettings mask) {
    if (cogo_IsScaleOnly(transform)) return COORDSYS_CogoDistanceGrid;
    const int32_t system = mask.Value() & (COORDSYS_CogoDistanceWGS84 | COORDSYS_CogoDistanceLocal |
                                           COORDSYS_CogoDistanceGrid);
    switch (system) {
        case COORDSYS_CogoDistanceWGS84:
        case COORDSYS_CogoDistanceLocal:
        case COORDSYS_CogoDistanceGrid: return system;
        default: QZ_ASSERT_TEXT(false, "Unknown elevation system"); return COORDSYS_CogoDistanceGrid;
    }
}

bool cogo_IsScaleOnly(const transfrm_Class* transform) { return transform != nullptr && transform->IsScaleOnly(); }

bool cogo_AnglesEqual(double a, double b) {
    const double difference = position_AngleDifferenceAbs(a, b);
    return !maths_IsNull(difference) && difference < COGO_AngleTolerance;
}

void cogo_CheckMask(coordsys_CogoSettings mask) {
    const int32_t m = mask.Value();
    QZ_ASSERT_TEXT(m & (COORDSYS_CogoAzimuthWGS84 | COORDSYS_CogoAzimuthLocal | COORDSYS_CogoAzimuthGrid),
                   "Mask & (COORDSYS_CogoAzimuthWGS84 | COORDSYS_CogoAzimuthLocal | COORDSYS_CogoAzimuthGrid )");
    QZ_ASSERT_TEXT(m & (COORDSYS_CogoDistanceWGS84 | COORDSYS_CogoDistanceLocal | COORDSYS_CogoDistanceGrid),
                   "Mask & (COORDSYS_CogoDistanceWGS84 | COORDSYS_CogoDistanceLocal | COORDSYS_CogoDistanceGrid)");
    QZ_ASSERT_TEXT((m & COORDSYS_CogoGroundDistances) ^ (m & COORDSYS_CogoEllipsoidDistances),
                   "(Mask & COORDSYS_CogoGroundDistances) ^ (Mask & COORDSYS_CogoEllipsoidDistances)");
    QZ_ASSERT_TEXT((m & COORDSYS_CogoEllipsoidHeights) ^ (m & COORDSYS_CogoOrthoHeights),
                   "(Mask & COORDSYS_CogoEllipsoidHeights) ^ (Mask & COORDSYS_CogoOrthoHeights)");
}

double cogo_GetAzimuthOffset(const transfrm_Class* transform) {
    return transform != nullptr ? transform->GetCogoOrientation().AzimuthOffset : 0.0;
}

void cogo_GetGeodetic(position_Class& position, const transfrm_Class* transform, coord_Local* coordinate,
                      bool useLocal) {
    if (useLocal) {
        *coordinate = position.GetLocal(transform);
    } else {
        const coord_WGS84 wgs84 = position.GetWGS84(transform);
        *coordinate = coord_Local(wgs84.Lat, wgs84.Long, wgs84.Height);
    }
}

void cogo_SetGeodetic(position_Class& position, const transfrm_Class* transform, const coord_Local& coordinate,
                      bool useLocal) {
    if (useLocal)
        position.SetLocal(coordinate, transform);
    else
        position.SetWGS84(coord_WGS84(coordinate.Lat, coordinate.Long, coordinate.Height), transform);
}

void cogo_GetEllipsoid(position_Class& position, const transfrm_Class* transform, coordsys_Ellipsoid* ellipsoid,
                       bool useLocal, coordsys_CogoSettings mask) {
    *ellipsoid = useLocal ? position.GetLocalEllipsoid(mask, transform) : position.GetWGS84Ellipsoid(mask, transform);
}

void cogo_GetW(position_Class& position, const transfrm_Class* transform, double* w, bool useLocal,
               coordsys_CogoSettings mask) {
    *w = useLocal ? position.GetLocalW(mask, transform) : position.GetWGS84W(mask, transform);
}

// --- Forward point -------------------------------------------------------------------

void cogo_ComputePoint(position_Class& start, const transfrm_Class* transform, const double* azimuth,
                       const double* distance, const double* verticalDifference, position_Class* result,
                       coordsys_CogoSettings mask) {
    cogo_CheckMask(mask);
    if (result == &start) {
        // The start is read again once the result is written.
        position_Class origin = start;
        cogo_ComputePoint(origin, transform, azimuth, distance, verticalDifference, result, mask);
        return;
    }
    *result = start;
    if (cogo_IsGridCase(transform, mask)) {
        const double scale = transform != nullptr ? transform->GetProjectionScale() : MATHS_Null;
        cogo_ComputePointOnGrid(start, transform, azimuth, distance, verticalDifference, scale, result, mask);
    } else {
        cogo_ComputePointOnEllipsoid(start, transform, azimuth, distance, verticalDifference, result,
                                     (mask.Value() & COORDSYS_CogoDistanceLocal) != 0, mask);
    }
    cogo_ApplyVerticalDifference(result, transform, verticalDifference, mask);
}

void cogo_ComputePointOnGrid(position_Class& start, const transfrm_Class* transform, const double* azimuth,
                             const double* distance, const double* verticalDifference, double scale,
                             position_Class* result, coordsys_CogoSettings mask) {
    if (result == &start) {
        position_Class origin = start;
        cogo_ComputePointOnGrid(origin, transform, azimuth, distance, verticalDifference, scale, result, mask);
        return;
    }
    const coord_CogoGrid s = start.GetCogoGrid(transform);
    *result = start;
    result->Clear();
    const int32_t m = mask.Value();
    const double a = cogo_Value(azimuth);
    const double d = cogo_Value(distance);
    const double dv = cogo_Value(verticalDifference);
    double north = MATHS_Null, east = MATHS_Null;
    if (!maths_IsNull(a) && !maths_IsNull(d) && !s.IsHorizontalNull()) {
        const double k = (m & COORDSYS_CogoDistanceGrid) ? 1.0 : scale;
        if (!(m & COORDSYS_CogoDistanceGrid) && (m & COORDSYS_CogoEllipsoidDistances)) return;
        double along = cogo_GetAzimuthOffset(transform) + a;
        if (!(m & COORDSYS_CogoAzimuthGrid)) along += start.GetGridConvergence(transform);
        double reduced = d;
        if (cogo_SeaLevelApplies(transform, mask)) {
            double h = maths_IsNull(s.Elev) ? cogo_GroundOriginHeight(transform) : s.Elev;
            if (!maths_IsNull(s.Elev) && !maths_IsNull(dv)) h = s.Elev + dv / 2.0;
            if (maths_IsNull(h)) return;
            reduced = reduced * COGO_SeaLevelRadius / (h + COGO_SeaLevelRadius);
        }
        // A projection without a scale has nothing to measure the grid by.
        if (!maths_IsNull(k) && k != 0.0) {
            north = maths_Add(s.North, std::cos(along) * reduced * k);
            east = maths_Add(s.East, std::sin(along) * reduced * k);
        }
    }
    result->SetCogoGrid(coord_CogoGrid(north, east, s.Elev), transform);
}

void cogo_ComputePointOnEllipsoid(position_Class& start, const transfrm_Class* transform, const double* azimuth,
                                  const double* distance, const double* verticalDifference,
                                  position_Class* result, bool useLocal, coordsys_CogoSettings mask) {
    QZ_ASSERT_TEXT(!cogo_IsScaleOnly(transform), "!cogo_IsScaleOnly (transform)");
    if (result == &start) {
        position_Class origin = start;
        cogo_ComputePointOnEllipsoid(origin, transform, azimuth, distance, verticalDifference, result, useLocal,
                                     mask);
        return;
    }
    coord_Local c;
    coordsys_Ellipsoid ellipsoid;
    double w = MATHS_Null;
    cogo_GetGeodetic(start, transform, &c, useLocal);
    cogo_GetEllipsoid(start, transform, &ellipsoid, useLocal, mask);
    cogo_GetW(start, transform, &w, useLocal, mask);
    *result = start;
    result->Clear();

    const double a = cogo_Value(azimuth);
    const double d = cogo_Value(distance);
    const double dv = cogo_Value(verticalDifference);
    if (maths_IsNull(a) || maths_IsNull(d) || maths_IsNull(ellipsoid.EarthRadius) || c.IsHorizontalNull()) {
        c.Lat = c.Long = MATHS_Null;
        cogo_SetGeodetic(*result, transform, c, useLocal);
        return;
    }
    if (std::fabs(d) < COGO_DistanceTolerance) {
        cogo_SetGeodetic(*result, transform, c, useLocal);
        return;
    }
    const bool seaLevel = cogo_SeaLevelApplies(transform, mask) && !maths_IsNull(dv);
    if (seaLevel) ellipsoid.EarthRadius += dv / 2.0;

    double targetAzimuth = a;
    double targetDistance = d;
    if (targetDistance < 0.0) {
        targetAzimuth += CONSTANT_Pi;
        coord_NormaliseAzimuth(&targetAzimuth);
        targetDistance = -targetDistance;
    }
    double convergence = 0.0;
    if (mask.Value() & (COORDSYS_CogoAzimuthGrid | COORDSYS_CogoDistanceLocal))
        convergence = start.GetGridConvergence(transform);
    double along = targetAzimuth - convergence;
    double over = targetDistance;
    if (targetDistance > kLongestLine) return;

    // The direct series and the inverse disagree slightly: aim the direct until the
    // inverse gives the targets back.
    for (int round = 0; round < kForwardRounds; ++round) {
        coord_NormaliseAzimuth(&along);
        coord_NormaliseAzimuth(&c.Lat);
        coord_NormaliseAzimuth(&c.Long);
        coord_Local p;
        roadcogo_EllipsoidDirect(c, along, over, ellipsoid, w, &p);
        p.Height = c.Height;
        if (seaLevel) p.Height = maths_Add(p.Height, dv);
        cogo_SetGeodetic(*result, transform, p, useLocal);

        double reachedAzimuth = MATHS_Null, reachedDistance = MATHS_Null;
        cogo_InverseAzimuthDistance(start, *result, transform, &reachedAzimuth, &reachedDistance, mask);
        if (maths_IsNull(reachedAzimuth) || maths_IsNull(reachedDistance)) {
            result->Clear();
            return;
        }
        if (cogo_AnglesEqual(reachedAzimuth, targetAzimuth) &&
            std::fabs(reachedDistance - targetDistance) < kForwardDistanceTolerance)
            break;
        along += targetAzimuth - reachedAzimuth;
        over += targetDistance - reachedDistance;
    }

    if (seaLevel) {
        coord_Local reached;
        cogo_GetGeodetic(*result, transform, &reached, useLocal);
        reached.Height = maths_Subtract(reached.Height, dv);
        cogo_SetGeodetic(*result, transform, reached, useLocal);
    }
    if (useLocal && transform != nullptr) {
        // The new point keeps the start's grid elevation, not its ellipsoid height.
        const double startElevation = start.GetGrid(transform).Elev;
        if (!maths_IsNull(startElevation)) {
            coord_CorrectedGrid grid = result->GetGrid(transform);
            grid.Elev = startElevation;
            coord_Local level;
            transform->CogoGridToLocal(transform->GridToCogoGrid(grid), &level);
            coord_Local reached = result->GetLocal(transform);
            reached.Height = level.Height;
            cogo_SetGeodetic(*result, transform, reached, true);
        }
    }
}

void cogo_ComputePointFromPolar(position_Class& start, const transfrm_Class* transform, const coord_Polar& polar,
                                position_Class* result, coordsys_CogoSettings mask) {
    cogo_CheckMask(mask);
    cogo_ComputePoint(start, transform, &polar.Azimuth, &polar.HDist, &polar.VDist, result, mask);
}

void cogo_ComputePointFromGround(position_Class& start, const transfrm_Class* transform,
                                 const coord_Ground& ground, position_Class* result, coordsys_CogoSettings mask) {
    double verticalDifference = MATHS_Null;
    cogo_CheckMask(mask);
    if (!maths_IsNull(ground.VertAngle)) {
        if (std::fabs(std::cos(ground.VertAngle)) < kVerticalSight) {
            result->Clear();
            return;
        }
        verticalDifference = maths_Multiply(std::tan(ground.VertAngle), ground.HDist);
    }
    cogo_ComputePoint(start, transform, &ground.Azimuth, &ground.HDist, &verticalDifference, result, mask);
}

void cogo_ApplyVerticalDifference(position_Class* position, const transfrm_Class* transform,
                                  const double* verticalDifference, coordsys_CogoSettings mask) {
    cogo_CheckMask(mask);
    const double dv = cogo_Value(verticalDifference);
    switch (cogo_ElevationSystem(transform, mask)) {
        case COORDSYS_CogoDistanceWGS84: {
            coord_WGS84 wgs84 = position->GetWGS84(transform);
            if (maths_IsNull(wgs84.Height)) return;
            wgs84.Height = maths_Add(wgs84.Height, dv);
            position->SetWGS84(wgs84, transform);
            return;
        }
        case COORDSYS_CogoDistanceLocal: {
            coord_Local local = position->GetLocal(transform);
            if (maths_IsNull(local.Height)) return;
            local.Height = maths_Add(local.Height, dv);
            position->SetLocal(local, transform);
            return;
        }
        default: {
            coord_CogoGrid cogo = position->GetCogoGrid(transform);
            if (maths_IsNull(cogo.Elev)) return;
            cogo.Elev = maths_Add(cogo.Elev, dv);
            position->SetCogoGrid(cogo, transform);
            return;
        }
    }
}

void cogo_CopyHeight(position_Class& from, position_Class* to, const transfrm_Class* transform,
                     coordsys_CogoSettings mask) {
    switch (cogo_ElevationSystem(transform, mask)) {
        case COORDSYS_CogoDistanceWGS84: {
            coord_WGS84 wgs84 = to->GetWGS84(transform);
            wgs84.Height = from.GetWGS84(transform).Height;
            to->SetWGS84(wgs84, transform);
            return;
        }
        case COORDSYS_CogoDistanceLocal: {
            coord_Local local = to->GetLocal(transform);
            local.Height = from.GetLocal(transform).Height;
            to->SetLocal(local, transform);
            return;
        }
        default: {
            coord_CogoGrid cogo = to->GetCogoGrid(transform);
            cogo.Elev = from.GetCogoGrid(transform).Elev;
            to->SetCogoGrid(cogo, transform);
            return;
        }
    }
}
