#include "foundation/coords/coordsys.h"

#include "foundation/environment.h"

namespace {

constexpr const char* kModule = "Library/coordsys";

}  // namespace

double coordsys_Ellipsoid::EccentricitySquared() const {
    if (maths_IsNull(Flattening)) return MATHS_Null;
    return 2.0 * Flattening - Flattening * Flattening;
}

double coordsys_Ellipsoid::OneMinusE2() const { return maths_Subtract(1.0, EccentricitySquared()); }

double coordsys_Ellipsoid::SecondE2() const { return maths_Divide(EccentricitySquared(), OneMinusE2()); }

double coordsys_Ellipsoid::OnePlusSecondE2() const { return maths_Add(1.0, SecondE2()); }

double coordsys_Ellipsoid::HalfSecondE2() const { return maths_Divide(SecondE2(), 2.0); }

double coordsys_Ellipsoid::SecondEccentricity() const { return maths_Sqrt(SecondE2()); }

double coordsys_Ellipsoid::InverseFlattening() const {
    // Only the exact null value is refused here, not every double that counts as null.
    if (Flattening == MATHS_Null || Flattening == 0.0) return MATHS_Null;
    return 1.0 / Flattening;
}

coordsys_Projection& coordsys_Projection::operator=(const coordsys_Projection& proj) {
    QZ_ASSERT(&proj != this);
    ProjectionType = proj.ProjectionType;
    OriginLocal = proj.OriginLocal;
    OriginGrid = proj.OriginGrid;
    Scale = proj.Scale;
    GridElevation = proj.GridElevation;
    Orientation1 = proj.Orientation1;
    Orientation2 = proj.Orientation2;
    AzimuthFormat = proj.AzimuthFormat;
    OriginCenter = proj.OriginCenter;
    Rectify = proj.Rectify;
    Area = proj.Area;
    UKNorthGridFile = proj.UKNorthGridFile;
    UKEastGridFile = proj.UKEastGridFile;
    ProjectionGridFile = proj.ProjectionGridFile;
    ShiftGridFile = proj.ShiftGridFile;
    GroundScale = proj.GroundScale;
    return *this;
}

double coordsys_Corrections::AzimuthOffset() const {
    if ((SouthAzimuth && IsNorthIncreasing()) || (!SouthAzimuth && IsSouthIncreasing())) return CONSTANT_Pi;
    return 0.0;
}

double coordsys_Corrections::ApplyAzimuthOffset(double azimuth) const {
    double turned = maths_Add(azimuth, AzimuthOffset());
    coord_NormaliseAzimuth(&turned);
    return turned;
}

double coordsys_WeightExponentValue(int32_t code) {
    switch (code) {
        case COORDSYS_WeightExponentZeroPointFive: return 0.5;
        case COORDSYS_WeightExponentOnePointZero: return 1.0;
        case COORDSYS_WeightExponentOnePointFive: return 1.5;
        case COORDSYS_WeightExponentTwoPointZero: return 2.0;
        default: QZ_FAIL("false"); return 0.5;
    }
}

int32_t coordsys_WeightExponentCode(double value) {
    if (value == 0.5) return COORDSYS_WeightExponentZeroPointFive;
    if (value == 1.0) return COORDSYS_WeightExponentOnePointZero;
    if (value == 1.5) return COORDSYS_WeightExponentOnePointFive;
    if (value == 2.0) return COORDSYS_WeightExponentTwoPointZero;
    QZ_FAIL("false");
    return COORDSYS_WeightExponentZeroPointFive;
}
