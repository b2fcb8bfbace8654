// The conversion pipeline through a block's stages. Every negative slot status ends
// the operation at once; outputs written before it stay written.
#include "csib/pipeline.h"

#include <cmath>

#include "csib/adjustments.h"
#include "csib/geodesy.h"
#include "csib/kinds.h"
#include "csib/projection.h"
#include "foundation/kernel/maths.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr int kHeightPasses = 10;

bool HasVerticalModel(const csib_Block* block) { return block->verticalKind != 0; }

double PrimeVerticalRadius(const csib_Block* block, double latitude) {
    const double s = std::sin(latitude);
    return block->semiMajorAxis / std::sqrt(1.0 - block->eccentricitySquared * s * s);
}

// Grid north on the ground at a point, from the forward's derivatives alone: the
// scale and azimuth of the ground step that the forward takes to a step up grid
// north, which is what a step north on the grid and back through the inverse
// measures, in the limit of a short step. A fitted inverse misses its forward by
// centimetres, thousands of ppm over such a step.
csib_Status GridNorthOnTheGround(csib_Block* block, const csib_GeodeticPoint* point, double* scale,
                                 double* azimuth) {
    if (!block->projection.Forward) return CSIB_NoProjection;
    csib_ForwardDerivatives d{};
    const csib_Status status = csib_DifferentiateForward(block, block->projection.Forward, point, &d);
    if (status < 0) return status;
    // Metres on the ground per radian of latitude (M) and of longitude (N cos latitude).
    double m = 0.0, n = 0.0, radius = 0.0;
    csib_RadiiOfCurvature(d.latitude, 0.0, &m, &n, &radius, block->semiMajorAxis, block->semiMinorAxis);
    const double parallel = n * std::cos(d.latitude);
    const double det = d.northByLatitude * d.eastByLongitude - d.northByLongitude * d.eastByLatitude;
    // (d latitude, d longitude) = (eastByLongitude, -eastByLatitude) / det per metre of grid north.
    const double groundNorth = m * d.eastByLongitude / det;
    const double groundEast = -parallel * d.eastByLatitude / det;
    const double k = 1.0 / std::hypot(groundNorth, groundEast);
    if (!std::isfinite(k) || !std::isfinite(groundNorth) || !std::isfinite(groundEast)) return CSIB_Singular;
    *scale = k;
    *azimuth = std::atan2(groundEast, groundNorth);
    return CSIB_Ok;
}

}  // namespace

csib_Status csib_AddGeoidSeparation(csib_Block* block, csib_GeodeticPoint* wgs84) {
    if (!block->vertical.GeoidSeparation) return CSIB_NoGeoidSeparationSlot;
    double n = 0.0;
    const csib_Status status = block->vertical.GeoidSeparation(block, wgs84, &n);
    if (status < 0) return status;
    wgs84->ellipsoidHeight = wgs84->orthometricHeight + n;
    wgs84->hasEllipsoidHeight = 1;
    return status;
}

csib_Status csib_EllipsoidToOrthometric(csib_Block* block, csib_GeodeticPoint* wgs84) {
    if (!block->vertical.GeoidSeparation) return CSIB_NoGeoidSeparationSlot;
    double n = 0.0;
    const csib_Status status = block->vertical.GeoidSeparation(block, wgs84, &n);
    if (status < 0) return status;
    wgs84->orthometricHeight = wgs84->ellipsoidHeight - n;
    wgs84->hasOrthometricHeight = 1;
    return status;
}

csib_Status csib_WGS84ToLocal(csib_Block* block, csib_GeodeticPoint* w, csib_GeodeticPoint* l) {
    csib_Status status = CSIB_Ok;
    if (!w->hasEllipsoidHeight && w->hasOrthometricHeight && HasVerticalModel(block)) {
        if ((status = csib_AddGeoidSeparation(block, w)) < 0) return status;
    }
    if ((status = block->datum.FromWGS84(block, w, l)) < 0) return status;
    if (l->hasOrthometricHeight) return CSIB_Ok;
    if (HasVerticalModel(block)) {
        if (w->hasEllipsoidHeight) {
            if ((status = csib_EllipsoidToOrthometric(block, w)) < 0) return status;
            l->orthometricHeight = w->orthometricHeight;
            l->hasOrthometricHeight = 1;
        }
    } else if (l->hasEllipsoidHeight) {
        l->orthometricHeight = l->ellipsoidHeight;
        l->hasOrthometricHeight = 1;
    }
    return CSIB_Ok;
}

csib_Status csib_LocalToWGS84(csib_Block* block, const csib_GeodeticPoint* l, csib_GeodeticPoint* w) {
    csib_Status status = CSIB_Ok;
    csib_GeodeticPoint copy = *l;
    if (l->hasEllipsoidHeight) {
        if ((status = block->datum.ToWGS84(block, &copy, w)) < 0) return status;
        w->hasOrthometricHeight = 0;
        return CSIB_Ok;
    }
    if (!l->hasOrthometricHeight) return CSIB_LocalToWGS84NoHeight;

    // Only the orthometric height: find the local ellipsoid height whose WGS84 image
    // lies N above it. Running out of passes is no error.
    const bool vertical = HasVerticalModel(block);
    double t = l->orthometricHeight;
    double n = 0.0;
    for (int pass = 0; pass < kHeightPasses; ++pass) {
        copy = *l;
        copy.ellipsoidHeight = t;
        copy.hasEllipsoidHeight = 1;
        double d = 0.0;
        if (vertical) {
            if ((status = block->datum.ToWGS84(block, &copy, w)) < 0) return status;
            if ((status = block->vertical.GeoidSeparation(block, w, &n)) < 0) return status;
            // The local H, not w's: a datum that sets only the ellipsoid height of its
            // output leaves w's orthometric height undefined.
            d = l->orthometricHeight + n - w->ellipsoidHeight;
        } else {
            d = l->orthometricHeight - t;
        }
        t += d;
        if (std::fabs(d) < 1e-15) break;
    }
    if (vertical) {
        w->ellipsoidHeight = l->orthometricHeight + n;
        w->hasEllipsoidHeight = 1;
        return CSIB_Ok;
    }
    copy = *l;
    copy.ellipsoidHeight = t;
    copy.hasEllipsoidHeight = 1;
    if ((status = block->datum.ToWGS84(block, &copy, w)) < 0) return status;
    w->hasOrthometricHeight = 0;
    return CSIB_Ok;
}

csib_Status csib_OrthometricToEllipsoid(csib_Block* block, csib_GeodeticPoint* p) {
    if (!HasVerticalModel(block)) {
        p->ellipsoidHeight = p->orthometricHeight;
        p->hasEllipsoidHeight = p->hasOrthometricHeight;
        return CSIB_Ok;
    }
    double t = p->orthometricHeight;
    bool converged = false;
    for (int pass = 0; pass < kHeightPasses && !converged; ++pass) {
        csib_GeodeticPoint copy = *p;
        copy.ellipsoidHeight = t;
        copy.hasEllipsoidHeight = 1;
        csib_GeodeticPoint w{};
        csib_Status status = csib_LocalToWGS84(block, &copy, &w);
        if (status < 0) return status;
        double n = 0.0;
        if ((status = block->vertical.GeoidSeparation(block, &w, &n)) < 0) return status;
        const double x = p->orthometricHeight + n - w.ellipsoidHeight;
        t += x;
        converged = std::fabs(x) < 1e-6;
    }
    if (!converged) return CSIB_NotConverged;
    p->ellipsoidHeight = t;
    p->hasEllipsoidHeight = 1;
    return CSIB_Ok;
}

csib_Status csib_GeodeticToGrid(csib_Block* block, const csib_GeodeticPoint* local, csib_GridPoint* grid) {
    if (!block->projection.Forward) return CSIB_NoProjection;
    const csib_Status status = block->projection.Forward(block, local, grid);
    if (status < 0) return status;
    grid->north *= block->groundScaleFactor;
    grid->east *= block->groundScaleFactor;
    return status;
}

csib_Status csib_GridToGeodetic(csib_Block* block, csib_GridPoint* grid, csib_GeodeticPoint* local) {
    if (!block->projection.Inverse) return CSIB_NoProjection;
    grid->north /= block->groundScaleFactor;
    grid->east /= block->groundScaleFactor;
    const csib_Status status = block->projection.Inverse(block, grid, local);
    if (status < 0) return status;
    if (local->longitude > kPi)
        local->longitude -= kTwoPi;
    else if (local->longitude < -kPi)
        local->longitude += kTwoPi;
    return std::fabs(local->latitude) > kPi / 2.0 ? CSIB_LatitudeBeyondPole : CSIB_Ok;
}

csib_Status csib_ApplyShiftGrid(csib_Block* block, csib_GridPoint* point) {
    return csib_ShiftGridSupport ? csib_ShiftGridSupport->Apply(block, point) : CSIB_Ok;
}

csib_Status csib_RemoveShiftGrid(csib_Block* block, csib_GridPoint* point) {
    return csib_ShiftGridSupport ? csib_ShiftGridSupport->Remove(block, point) : CSIB_Ok;
}

csib_Status csib_NumericScaleFactor(csib_Block* block, const csib_GeodeticPoint* point, double* factor) {
    double azimuth = 0.0;
    return GridNorthOnTheGround(block, point, factor, &azimuth);
}

csib_Status csib_GetGridScaleFactor(csib_Block* block, const csib_GeodeticPoint* point, double* factor) {
    if (!block->projection.ScaleFactor) return CSIB_NoScaleFactorSlot;
    csib_Status status = block->projection.ScaleFactor(block, point, factor);
    if (status != CSIB_Ok) status = csib_NumericScaleFactor(block, point, factor);
    if (status == CSIB_Ok) *factor *= block->groundScaleFactor;
    return status;
}

csib_Status csib_GetCombinedScaleFactor(csib_Block* block, const csib_GeodeticPoint* point, double* factor) {
    double grid = 0.0;
    const csib_Status status = csib_GetGridScaleFactor(block, point, &grid);
    if (status < 0) return status;
    const double r = block->useFixedRadius == 1 ? block->fixedRadius : PrimeVerticalRadius(block, point->latitude);
    double height = 0.0;
    if (point->hasEllipsoidHeight)
        height = point->ellipsoidHeight;
    else if (point->hasOrthometricHeight)
        height = point->orthometricHeight;
    else
        return CSIB_CombinedScaleNoHeight;
    *factor = grid * r / (r + height);
    return CSIB_Ok;
}

csib_Status csib_GetConvergence(csib_Block* block, const csib_GeodeticPoint* point, double* convergence) {
    if (!block->projection.Convergence) return CSIB_NoConvergenceSlot;
    csib_Status status = block->projection.Convergence(block, point, convergence);
    if (status == CSIB_Ok || status == CSIB_CassiniNoConvergence) return status;
    double scale = 0.0;
    return GridNorthOnTheGround(block, point, &scale, convergence);
}

csib_Status csib_GetGroundOffset(csib_Block* block, double* north, double* east) {
    *north = 0.0;
    *east = 0.0;
    const double k = block->groundScaleFactor;
    if (k == 1.0 || !block->hasGroundOrigin || maths_IsNull(block->groundOriginLatitude) ||
        maths_IsNull(block->groundOriginLongitude))
        return CSIB_Ok;
    const csib_GeodeticPoint origin{block->groundOriginLatitude, block->groundOriginLongitude, 0.0, 0.0, 0, 0};
    csib_GridPoint grid{};
    const csib_Status status = csib_GeodeticToGrid(block, &origin, &grid);
    if (status == CSIB_Ok) {
        *north = grid.north - grid.north / k;
        *east = grid.east - grid.east / k;
    }
    return status;
}

csib_Status csib_AddFalseOrigin(csib_Block* block, double* north, double* east) {
    double gn = 0.0, ge = 0.0;
    csib_GetGroundOffset(block, &gn, &ge);
    *north -= gn;
    *east -= ge;
    if (block->options.northAxis == 2) *north = -*north;
    if (block->options.eastAxis == 2) *east = -*east;
    *north -= block->groundOffsetNorth;
    *east -= block->groundOffsetEast;
    *north += block->falseNorthing;
    *east += block->falseEasting;
    return CSIB_Ok;
}

csib_Status csib_RemoveFalseOrigin(csib_Block* block, double* north, double* east) {
    double gn = 0.0, ge = 0.0;
    csib_GetGroundOffset(block, &gn, &ge);
    *north -= block->falseNorthing;
    *east -= block->falseEasting;
    *north += block->groundOffsetNorth;
    *east += block->groundOffsetEast;
    if (block->options.northAxis == 2) *north = -*north;
    if (block->options.eastAxis == 2) *east = -*east;
    *north += gn;
    *east += ge;
    return CSIB_Ok;
}
