#include "foundation/coords/coord.h"

#include "foundation/coords/coordsys.h"

namespace {

// The branch between the two height formulas of the inverse conversion.
constexpr double kQuarterPi = 0.7853981633974483;

double Normalised(double azimuth) {
    coord_NormaliseAzimuth(&azimuth);
    return azimuth;
}

bool EllipsoidIsNull(const coordsys_Ellipsoid& e) {
    return maths_IsNull(e.EarthRadius) || maths_IsNull(e.Flattening);
}

// Differences, sums and the horizontal test shared by the two east-elevation-north grids.
template <class Grid>
coord_GridDeltas GridSubtract(const Grid& a, const Grid& b) {
    return coord_GridDeltas(maths_Subtract(a.North, b.North), maths_Subtract(a.East, b.East),
                            maths_Subtract(a.Elev, b.Elev));
}

template <class Grid>
Grid GridAdd(const Grid& a, const coord_GridDeltas& d) {
    return Grid(maths_Add(a.North, d.dNorth), maths_Add(a.East, d.dEast), maths_Add(a.Elev, d.dElev));
}

template <class Grid>
bool GridIsWithin(const Grid& a, const Grid& b, double tolerance) {
    return maths_Square(tolerance) >= maths_Add(maths_Square(maths_Subtract(a.East, b.East)),
                                                maths_Square(maths_Subtract(a.North, b.North)));
}

}  // namespace

bool coord_IsPositionType(int type) {
    switch (type) {
        case COORD_WGS84Type:
        case COORD_LocalType:
        case COORD_UncalibratedLocalType:
        case COORD_GridType:
        case COORD_ECEFType:
        case COORD_ECEFGroundType:
        case COORD_LocalTransformedGridType: return true;
        default: return false;
    }
}

bool coord_Local::IsInRange() const {
    if (!maths_IsNull(Lat) && !(Lat >= -CONSTANT_PiOverTwo && Lat < CONSTANT_PiOverTwo)) return false;
    if (!maths_IsNull(Long) && !(Long >= -CONSTANT_Pi && Long < CONSTANT_Pi)) return false;
    return true;
}

coord_ECEF coord_WGS84::ToECEF(const coordsys_Ellipsoid& ellipsoid) const {
    if (HasNull() || EllipsoidIsNull(ellipsoid)) return coord_ECEF();
    const double a = ellipsoid.EarthRadius;
    const double e2 = ellipsoid.EccentricitySquared();
    const double s = maths_Sin(Lat);
    const double n = a / maths_Sqrt(1.0 - e2 * s * s);
    const double t = (n + Height) * maths_Cos(Lat);
    return coord_ECEF(t * maths_Cos(Long), t * maths_Sin(Long), ((1.0 - e2) * n + Height) * s);
}

coord_WGS84 coord_ECEF::ToWGS84(const coordsys_Ellipsoid& ellipsoid) const {
    if (HasNull() || EllipsoidIsNull(ellipsoid)) return coord_WGS84();
    const double a = ellipsoid.EarthRadius;
    const double e2 = ellipsoid.EccentricitySquared();
    double lat, lon, p;
    if (X != 0.0 || Y != 0.0) {
        p = maths_Sqrt(X * X + Y * Y);
        const double zp = Z / p;
        const double k = e2 / p;
        lat = maths_ATan(zp / (1.0 - e2));
        // A fixed number of steps; no convergence test.
        for (int i = 0; i < 6; ++i) {
            const double s = maths_Sin(lat);
            const double n = a / maths_Sqrt(1.0 - e2 * s * s);
            lat = maths_ATan(k * n * s + zp);
        }
        lon = maths_ATan2(Y, X);
    } else {
        // On the polar axis.
        lat = Z >= 0.0 ? CONSTANT_PiOverTwo : -CONSTANT_PiOverTwo;
        lon = 0.0;
        p = 0.0;
    }
    const double s = maths_Sin(lat);
    const double n = a / maths_Sqrt(1.0 - e2 * s * s);
    // Each formula is used where it is well conditioned.
    const double height = (lat >= -kQuarterPi && lat <= kQuarterPi) ? p / maths_Cos(lat) - n : Z / s - (1.0 - e2) * n;
    return coord_WGS84(lat, lon, height);
}

coord_ECEFDeltas coord_ECEF::Subtract(const coord_ECEF& b) const {
    if (HasNull() || b.HasNull()) return coord_ECEFDeltas();
    return coord_ECEFDeltas(X - b.X, Y - b.Y, Z - b.Z);
}

coord_ECEF coord_ECEF::Add(const coord_ECEFDeltas& d) const {
    if (HasNull() || d.HasNull()) return coord_ECEF();
    return coord_ECEF(X + d.dX, Y + d.dY, Z + d.dZ);
}

coord_GridDeltas coord_CogoGrid::Subtract(const coord_CogoGrid& b) const { return GridSubtract(*this, b); }
coord_CogoGrid coord_CogoGrid::Add(const coord_GridDeltas& d) const { return GridAdd(*this, d); }

template <class Derived>
coord_GridDeltas coord_HeldGrid<Derived>::Subtract(const Derived& b) const {
    return GridSubtract(static_cast<const Derived&>(*this), b);
}
template <class Derived>
Derived coord_HeldGrid<Derived>::Add(const coord_GridDeltas& d) const {
    return GridAdd(static_cast<const Derived&>(*this), d);
}
template <class Derived>
bool coord_HeldGrid<Derived>::IsWithin(const Derived& b, const double& tolerance) const {
    return GridIsWithin(static_cast<const Derived&>(*this), b, tolerance);
}
template class coord_HeldGrid<coord_CorrectedGrid>;
template class coord_HeldGrid<coord_LocalTransformedGrid>;

double coord_GridDeltas::Azimuth() const {
    if (maths_IsNull(dNorth) || maths_IsNull(dEast)) return MATHS_Null;
    return Normalised(maths_ATan2(dEast, dNorth));
}

double coord_GridDeltas::HorizontalDistance() const {
    if (maths_IsNull(dNorth) || maths_IsNull(dEast)) return MATHS_Null;
    return maths_Sqrt(dNorth * dNorth + dEast * dEast);
}

double coord_GridDeltas::SlopeDistance() const {
    if (HasNull()) return MATHS_Null;
    return maths_Sqrt(dNorth * dNorth + dEast * dEast + dElev * dElev);
}

double coord_GridDeltas::VerticalAngle() const {
    if (HasNull()) return MATHS_Null;
    return Normalised(maths_ATan2(dElev, HorizontalDistance()));
}

double coord_ECEFDeltas::Azimuth() const {
    if (maths_IsNull(dX) || maths_IsNull(dY)) return MATHS_Null;
    return Normalised(maths_ATan2(dX, dY));
}

double coord_ECEFDeltas::HorizontalDistance() const {
    if (maths_IsNull(dX) || maths_IsNull(dY)) return MATHS_Null;
    return maths_Sqrt(dX * dX + dY * dY);
}

double coord_ECEFDeltas::SlopeDistance() const {
    if (HasNull()) return MATHS_Null;
    return maths_Sqrt(dX * dX + dY * dY + dZ * dZ);
}
