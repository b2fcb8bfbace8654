// The inverse between two positions, coordinate deltas and vertical differences.
#include <cmath>

#include "cogo/cogo.h"
#include "cogo/cogo_internal.h"
#include "cogo/roadcogo_ellipsoid.h"
#include "cogo/transfrm.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"

namespace {

constexpr const char* kModule = "QZ/cogo";

constexpr double kLooseDistanceTolerance = 0.005;

void GridCaseDistance(position_Class& p1, position_Class& p2, const transfrm_Class* transform, double* distance,
                      coordsys_CogoSettings mask) {
    const double scale = transform != nullptr ? transform->GetProjectionScale() : MATHS_Null;
    cogo_GridDistance(p1.GetCogoGrid(transform), p2.GetCogoGrid(transform), transform, scale, distance, mask);
}

}  // namespace

void cogo_InverseAzimuthDistance(position_Class& p1, position_Class& p2, const transfrm_Class* transform,
                                 double* azimuth, double* distance, coordsys_CogoSettings mask) {
    cogo_CheckMask(mask);
    if (cogo_IsGridCase(transform, mask))
        GridCaseDistance(p1, p2, transform, distance, mask);
    else
        cogo_EllipsoidInverse(p1, p2, transform, azimuth, distance,
                              (mask.Value() & COORDSYS_CogoDistanceLocal) != 0, mask);
    if (mask.Value() & COORDSYS_CogoAzimuthGrid) cogo_GridAzimuth(p1, p2, transform, azimuth);
}

void cogo_InverseDistance(position_Class& p1, position_Class& p2, const transfrm_Class* transform, double* distance,
                          coordsys_CogoSettings mask) {
    cogo_CheckMask(mask);
    if (cogo_IsGridCase(transform, mask)) {
        GridCaseDistance(p1, p2, transform, distance, mask);
    } else {
        double azimuth = MATHS_Null;
        cogo_EllipsoidInverse(p1, p2, transform, &azimuth, distance,
                              (mask.Value() & COORDSYS_CogoDistanceLocal) != 0, mask);
    }
}

void cogo_InverseAzimuth(position_Class& p1, position_Class& p2, const transfrm_Class* transform, double* azimuth,
                         coordsys_CogoSettings mask) {
    cogo_CheckMask(mask);
    if ((mask.Value() & COORDSYS_CogoAzimuthGrid) || cogo_IsScaleOnly(transform)) {
        cogo_GridAzimuth(p1, p2, transform, azimuth);
    } else {
        double distance = MATHS_Null;
        cogo_EllipsoidInverse(p1, p2, transform, azimuth, &distance,
                              (mask.Value() & COORDSYS_CogoAzimuthLocal) != 0, mask);
    }
}

void cogo_Inverse(position_Class& p1, position_Class& p2, const transfrm_Class* transform, double* azimuth,
                  double* horizontalDistance, double* verticalDifference, double* slopeDistance,
                  coordsys_CogoSettings mask) {
    cogo_CheckMask(mask);
    cogo_InverseAzimuthDistance(p1, p2, transform, azimuth, horizontalDistance, mask);
    cogo_VerticalDifference(p1, p2, transform, horizontalDistance, verticalDifference, slopeDistance, mask);
}

void cogo_InversePolar(position_Class& p1, position_Class& p2, const transfrm_Class* transform, coord_Polar* polar,
                       double* slopeDistance, coordsys_CogoSettings mask) {
    cogo_CheckMask(mask);
    polar->SetNull();
    *slopeDistance = MATHS_Null;
    cogo_Inverse(p1, p2, transform, &polar->Azimuth, &polar->HDist, &polar->VDist, slopeDistance, mask);
}

void cogo_GridAzimuth(position_Class& p1, position_Class& p2, const transfrm_Class* transform, double* azimuth) {
    *azimuth = MATHS_Null;
    const coord_CogoGrid c1 = p1.GetCogoGrid(transform);
    const coord_CogoGrid c2 = p2.GetCogoGrid(transform);
    if (c1.IsHorizontalNull() || c2.IsHorizontalNull()) return;
    const double dNorth = maths_Subtract(c2.North, c1.North);
    const double dEast = maths_Subtract(c2.East, c1.East);
    if (dNorth == 0.0 && dEast == 0.0) return;
    // maths_ATan2 is null for a null operand, and the sum then stays null.
    *azimuth = maths_Add(maths_ATan2(dEast, dNorth), cogo_GetAzimuthOffset(transform));
    coord_NormaliseAzimuth(azimuth);
}

void cogo_GridDistance(const coord_CogoGrid& cogo1, const coord_CogoGrid& cogo2, const transfrm_Class* transform,
                       double scale, double* distance, coordsys_CogoSettings mask) {
    *distance = MATHS_Null;
    if (cogo1.IsHorizontalNull() || cogo2.IsHorizontalNull()) return;
    double d = maths_Sqrt(maths_Add(maths_Square(maths_Subtract(cogo2.North, cogo1.North)),
                                    maths_Square(maths_Subtract(cogo2.East, cogo1.East))));
    const int32_t m = mask.Value();
    if (m & COORDSYS_CogoDistanceGrid) {
        *distance = d;
        return;
    }
    if (m & COORDSYS_CogoEllipsoidDistances) return;
    // A projection without a scale (or a zero one) cannot take a distance off the grid.
    if (maths_IsNull(scale) || scale == 0.0) return;
    d = maths_Divide(d, scale);
    if (!cogo_SeaLevelApplies(transform, mask)) {
        *distance = d;
        return;
    }
    double h = cogo1.Elev;
    if (maths_IsNull(h))
        h = cogo_GroundOriginHeight(transform);
    else if (!maths_IsNull(cogo2.Elev))
        h = (cogo1.Elev + cogo2.Elev) / 2.0;
    if (maths_IsNull(h)) return;
    *distance = maths_Multiply(d, (h + COGO_SeaLevelRadius) / COGO_SeaLevelRadius);
}

void cogo_EllipsoidInverse(position_Class& p1, position_Class& p2, const transfrm_Class* transform, double* azimuth,
                           double* distance, bool useLocal, coordsys_CogoSettings mask) {
    *azimuth = *distance = MATHS_Null;
    coord_Local c1, c2;
    double w1 = MATHS_Null, w2 = MATHS_Null;
    cogo_GetGeodetic(p1, transform, &c1, useLocal);
    cogo_GetW(p1, transform, &w1, useLocal, mask);
    cogo_GetGeodetic(p2, transform, &c2, useLocal);
    cogo_GetW(p2, transform, &w2, useLocal, mask);
    coordsys_Ellipsoid ellipsoid;
    cogo_MeanEllipsoid(p1, p2, transform, useLocal, &ellipsoid, mask);

    coord_NormaliseAzimuth(&c1.Lat);
    coord_NormaliseAzimuth(&c1.Long);
    coord_NormaliseAzimuth(&c2.Lat);
    coord_NormaliseAzimuth(&c2.Long);
    double mean = MATHS_Null;
    roadcogo_EllipsoidInverse(ellipsoid, c1, w1, c2, w2, &mean, azimuth, distance);
    if (maths_IsNull(*distance)) return;
    // Ground distances of heightless points need the ground-origin height.
    if (cogo_SeaLevelApplies(transform, mask) && maths_IsNull(c1.Height) && maths_IsNull(c2.Height) &&
        maths_IsNull(cogo_GroundOriginHeight(transform)))
        *distance = MATHS_Null;
    if (!maths_IsNull(*azimuth)) coord_NormaliseAzimuth(azimuth);
}

void cogo_MeanEllipsoid(position_Class& p1, position_Class& p2, const transfrm_Class* transform, bool useLocal,
                        coordsys_Ellipsoid* ellipsoid, coordsys_CogoSettings mask) {
    QZ_ASSERT_TEXT(mask.IsNotNull(), "!system.IsNull()");
    QZ_ASSERT_TEXT(!cogo_IsScaleOnly(transform), "!cogo_IsScaleOnly (transform)");
    coordsys_Ellipsoid e1, e2;
    cogo_GetEllipsoid(p1, transform, &e1, useLocal, mask);
    cogo_GetEllipsoid(p2, transform, &e2, useLocal, mask);
    if (maths_IsNull(e1.EarthRadius)) {
        *ellipsoid = e1;
        return;
    }
    if (maths_IsNull(e2.EarthRadius)) {
        *ellipsoid = e2;
        return;
    }
    coord_Local c1, c2;
    cogo_GetGeodetic(p1, transform, &c1, useLocal);
    cogo_GetGeodetic(p2, transform, &c2, useLocal);
    if (maths_IsNull(c1.Height))
        *ellipsoid = e2;
    else if (maths_IsNull(c2.Height))
        *ellipsoid = e1;
    else
        *ellipsoid = coordsys_Ellipsoid((e1.EarthRadius + e2.EarthRadius) / 2.0, e1.Flattening);
}

void cogo_VerticalDifference(position_Class& p1, position_Class& p2, const transfrm_Class* transform,
                             const double* horizontalDistance, double* verticalDifference, double* slopeDistance,
                             coordsys_CogoSettings mask) {
    *verticalDifference = *slopeDistance = MATHS_Null;
    QZ_ASSERT_TEXT(mask.IsNotNull(), "!system.IsNull()");
    const int32_t m = mask.Value();
    const bool scaleOnly = cogo_IsScaleOnly(transform);
    if (m & COORDSYS_CogoDistanceWGS84) {
        const double h1 = p1.GetWGS84(transform).Height;
        const double h2 = p2.GetWGS84(transform).Height;
        if (maths_IsNull(h1) || maths_IsNull(h2)) return;
        *verticalDifference = h2 - h1;
    }
    // A mask with two distance bits runs both steps; the local one then decides.
    if ((m & COORDSYS_CogoDistanceLocal) && !scaleOnly) {
        const coord_Local l1 = p1.GetLocal(transform);
        const coord_Local l2 = p2.GetLocal(transform);
        if (maths_IsNull(l1.Height) || maths_IsNull(l2.Height)) {
            if (!l1.IsHorizontalNull() && !l2.IsHorizontalNull()) {
                *verticalDifference = MATHS_Null;
                return;
            }
            const double e1 = p1.GetCogoGrid(transform).Elev;
            const double e2 = p2.GetCogoGrid(transform).Elev;
            if (maths_IsNull(e1) || maths_IsNull(e2)) return;
            *verticalDifference = e2 - e1;
        } else {
            *verticalDifference = l2.Height - l1.Height;
        }
    }
    if ((m & (COORDSYS_CogoOrthoHeights | COORDSYS_CogoDistanceGrid)) || scaleOnly) {
        const double e1 = p1.GetCogoGrid(transform).Elev;
        const double e2 = p2.GetCogoGrid(transform).Elev;
        if (maths_IsNull(e1) || maths_IsNull(e2)) return;
        *verticalDifference = e2 - e1;
    }
    const double hd = cogo_Value(horizontalDistance);
    if (maths_IsNull(hd)) return;
    *slopeDistance = maths_Sqrt(maths_Add(maths_Square(hd), maths_Square(*verticalDifference)));
}

void cogo_CogoGridDeltas(position_Class& p1, position_Class& p2, const transfrm_Class* transform, double* north,
                         double* east, double* elevation) {
    *north = *east = *elevation = MATHS_Null;
    const coord_CogoGrid c1 = p1.GetCogoGrid(transform);
    const coord_CogoGrid c2 = p2.GetCogoGrid(transform);
    if (c1.IsHorizontalNull() || c2.IsHorizontalNull()) return;
    *north = maths_Subtract(c2.North, c1.North);
    *east = maths_Subtract(c2.East, c1.East);
    *elevation = maths_Subtract(c2.Elev, c1.Elev);
}

void cogo_GridDeltas(position_Class& p1, position_Class& p2, const transfrm_Class* transform, double* north,
                     double* east, double* elevation) {
    const coord_CorrectedGrid g1 = p1.GetGrid(transform);
    const coord_CorrectedGrid g2 = p2.GetGrid(transform);
    *north = maths_Subtract(g2.North, g1.North);
    *east = maths_Subtract(g2.East, g1.East);
    *elevation = maths_Subtract(g2.Elev, g1.Elev);
}

bool cogo_DistancesEqual(double a, double b) {
    return !maths_IsNull(a) && !maths_IsNull(b) && std::fabs(a - b) < COGO_DistanceTolerance;
}

bool cogo_DistancesEqualLoose(double a, double b) {
    return !maths_IsNull(a) && !maths_IsNull(b) && std::fabs(a - b) < kLooseDistanceTolerance;
}
