// Coordinate values: geodetic, grid, earth-centred and difference coordinates and the
// observation forms of a total station. Each is a small plain value whose absent
// components hold MATHS_Null; a default-constructed value is wholly null. Angles are
// radians, lengths metres.
//
// Each class says through the same six virtual operations whether it is a position
// and which of its parts are null. The horizontal and vertical parts differ by class:
// a polar observation's vertical part is its azimuth and vertical difference, a
// ground or laser observation's horizontal part is its azimuth and its distance.
//
// Grid coordinates (coord_CorrectedGrid, coord_LocalTransformedGrid) are held east,
// elevation, north but constructed from (north, east, elevation).
#pragma once

#include <cstdint>

#include "foundation/kernel/maths.h"

class coordsys_Ellipsoid;

// The kinds of coordinate value; measurement records and positions store the numbers.
enum coord_Type : int32_t {
    COORD_NullType = 0,
    COORD_WGS84Type = 1,
    COORD_LocalType = 2,
    COORD_UncalibratedLocalType = 3,
    COORD_GridType = 4,
    COORD_GridDeltasType = 5,
    COORD_ECEFType = 6,
    COORD_ECEFGroundType = 7,
    COORD_ECEFDeltasType = 8,
    COORD_PolarType = 9,
    COORD_GroundType = 10,
    COORD_UnturnedType = 11,
    COORD_F2PolarType = 12,
    COORD_CircleType = 13,
    COORD_CorrectedType = 14,
    COORD_OrientedType = 15,
    COORD_LaserOffsetType = 16,
    COORD_StationOffsetType = 17,
    COORD_MTAType = 18,
    COORD_LocalTransformedGridType = 19,
    COORD_AsStoredType = 20,
};

enum coord_Face : int32_t {
    COORD_FaceNull = 0,
    COORD_Face1 = 1,
    COORD_Face2 = 2,
};

// The EDM mode of a circle reading that has none (total_MeasurementMode).
inline constexpr int32_t COORD_EDMNullMode = 7;

// True for the position kinds 1, 2, 3, 4, 6, 7 and 19.
bool coord_IsPositionType(int type);

inline bool coord_AllNull(double a, double b) { return maths_IsNull(a) && maths_IsNull(b); }
inline bool coord_AllNull(double a, double b, double c) { return coord_AllNull(a, b) && maths_IsNull(c); }
inline bool coord_AnyNull(double a, double b, double c) {
    return maths_IsNull(a) || maths_IsNull(b) || maths_IsNull(c);
}

class coord_BaseClass {
public:
    virtual bool IsPosition() const = 0;
    virtual bool IsNull() const = 0;
    virtual bool HasNull() const = 0;
    virtual bool IsHorizontalNull() const = 0;
    virtual bool IsVerticalNull() const = 0;
    virtual void SetNull() = 0;

protected:
    // Values are never owned or deleted through the base.
    coord_BaseClass() = default;
    coord_BaseClass(const coord_BaseClass&) = default;
    coord_BaseClass& operator=(const coord_BaseClass&) = default;
    ~coord_BaseClass() = default;
};

class coord_ECEF;
class coord_ECEFGround;
class coord_ECEFDeltas;
class coord_GridDeltas;

class coord_WGS84 : public coord_BaseClass {
public:
    coord_WGS84() = default;
    coord_WGS84(double lat, double lon, double height) : Lat(lat), Long(lon), Height(height) {}
    bool IsPosition() const override { return true; }
    bool IsNull() const override { return coord_AllNull(Lat, Long, Height); }
    bool HasNull() const override { return coord_AnyNull(Lat, Long, Height); }
    bool IsHorizontalNull() const override { return coord_AllNull(Lat, Long); }
    bool IsVerticalNull() const override { return maths_IsNull(Height); }
    void SetNull() override { Lat = Long = Height = MATHS_Null; }

    // Earth-centred coordinates on the ellipsoid; wholly null when this or the
    // ellipsoid has a null.
    coord_ECEF ToECEF(const coordsys_Ellipsoid& ellipsoid) const;

    double Lat = MATHS_Null;
    double Long = MATHS_Null;
    double Height = MATHS_Null;
};

class coord_Local : public coord_BaseClass {
public:
    coord_Local() = default;
    coord_Local(double lat, double lon, double height) : Lat(lat), Long(lon), Height(height) {}
    bool IsPosition() const override { return true; }
    bool IsNull() const override { return coord_AllNull(Lat, Long, Height); }
    bool HasNull() const override { return coord_AnyNull(Lat, Long, Height); }
    bool IsHorizontalNull() const override { return coord_AllNull(Lat, Long); }
    bool IsVerticalNull() const override { return maths_IsNull(Height); }
    void SetNull() override { Lat = Long = Height = MATHS_Null; }
    // Latitude in [-pi/2, pi/2) and longitude in [-pi, pi); null components pass.
    virtual bool IsInRange() const;

    double Lat = MATHS_Null;
    double Long = MATHS_Null;
    double Height = MATHS_Null;
};

// The plane of coordinate geometry.
class coord_CogoGrid : public coord_BaseClass {
public:
    coord_CogoGrid() = default;
    coord_CogoGrid(double north, double east, double elev) : North(north), East(east), Elev(elev) {}
    bool IsPosition() const override { return true; }
    bool IsNull() const override { return coord_AllNull(North, East, Elev); }
    bool HasNull() const override { return coord_AnyNull(North, East, Elev); }
    bool IsHorizontalNull() const override { return coord_AllNull(North, East); }
    bool IsVerticalNull() const override { return maths_IsNull(Elev); }
    void SetNull() override { North = East = Elev = MATHS_Null; }

    // Null-aware per component.
    coord_GridDeltas Subtract(const coord_CogoGrid& b) const;
    coord_CogoGrid Add(const coord_GridDeltas& d) const;

    double North = MATHS_Null;
    double East = MATHS_Null;
    double Elev = MATHS_Null;
};

// A grid coordinate held east, elevation, north but constructed from north, east,
// elevation; the corrected and the locally transformed grid are two kinds of it.
template <class Derived>
class coord_HeldGrid : public coord_BaseClass {
public:
    coord_HeldGrid() = default;
    coord_HeldGrid(double north, double east, double elev) : East(east), Elev(elev), North(north) {}
    bool IsPosition() const override { return true; }
    bool IsNull() const override { return coord_AllNull(North, East, Elev); }
    bool HasNull() const override { return coord_AnyNull(North, East, Elev); }
    bool IsHorizontalNull() const override { return coord_AllNull(North, East); }
    bool IsVerticalNull() const override { return maths_IsNull(Elev); }
    void SetNull() override {
        SetHorizontalNull();
        SetVerticalNull();
    }
    virtual void SetVerticalNull() { Elev = MATHS_Null; }
    virtual void SetHorizontalNull() { North = East = MATHS_Null; }

    // Null-aware per component, matched by meaning, not by position.
    coord_GridDeltas Subtract(const Derived& b) const;
    Derived Add(const coord_GridDeltas& d) const;
    // Horizontal distance to b at most the tolerance. A null tolerance takes every
    // point; a null component (in either point) takes none, two null points included.
    bool IsWithin(const Derived& b, const double& tolerance) const;
    // Exact; two nulls are equal.
    // A friend over two Derived, so C++20's reversed candidates are not ambiguous.
    friend bool operator==(const Derived& a, const Derived& b) {
        return a.North == b.North && a.East == b.East && a.Elev == b.Elev;
    }

    double East = MATHS_Null;
    double Elev = MATHS_Null;
    double North = MATHS_Null;
};

// A grid coordinate after corrections.
class coord_CorrectedGrid : public coord_HeldGrid<coord_CorrectedGrid> {
public:
    using coord_HeldGrid::coord_HeldGrid;
};

// A grid coordinate after a local transformation.
class coord_LocalTransformedGrid final : public coord_HeldGrid<coord_LocalTransformedGrid> {
public:
    using coord_HeldGrid::coord_HeldGrid;
};

class coord_GridDeltas : public coord_BaseClass {
public:
    coord_GridDeltas() = default;
    coord_GridDeltas(double dn, double de, double dz) : dNorth(dn), dEast(de), dElev(dz) {}
    bool IsPosition() const override { return false; }
    bool IsNull() const override { return coord_AllNull(dNorth, dEast, dElev); }
    bool HasNull() const override { return coord_AnyNull(dNorth, dEast, dElev); }
    bool IsHorizontalNull() const override { return coord_AllNull(dNorth, dEast); }
    bool IsVerticalNull() const override { return maths_IsNull(dElev); }
    void SetNull() override { dNorth = dEast = dElev = MATHS_Null; }
    virtual void SetZero() { dNorth = dEast = dElev = 0.0; }

    // In [0, 2pi); null when dNorth or dEast is null.
    double Azimuth() const;
    double HorizontalDistance() const;
    double SlopeDistance() const;  // null when any component is null
    // Above the horizontal in [0, pi/2], below it in (3pi/2, 2pi); null when any
    // component is null or the deltas are all zero.
    double VerticalAngle() const;

    double dNorth = MATHS_Null;
    double dEast = MATHS_Null;
    double dElev = MATHS_Null;
};

class coord_ECEF : public coord_BaseClass {
public:
    coord_ECEF() = default;
    coord_ECEF(double x, double y, double z) : X(x), Y(y), Z(z) {}
    bool IsPosition() const override { return true; }
    bool IsNull() const override { return coord_AllNull(X, Y, Z); }
    bool HasNull() const override { return coord_AnyNull(X, Y, Z); }
    bool IsHorizontalNull() const override { return coord_AllNull(X, Y); }
    bool IsVerticalNull() const override { return maths_IsNull(Z); }
    void SetNull() override { X = Y = Z = MATHS_Null; }

    // Geodetic coordinates by a fixed six-step iteration: latitude to about 1e-14 rad
    // and height to well under a millimetre for points near the ellipsoid. Wholly null
    // when this or the ellipsoid has a null.
    coord_WGS84 ToWGS84(const coordsys_Ellipsoid& ellipsoid) const;
    coord_ECEFGround ToECEFGround() const;
    // Wholly null when either operand has a null.
    coord_ECEFDeltas Subtract(const coord_ECEF& b) const;
    coord_ECEF Add(const coord_ECEFDeltas& d) const;

    double X = MATHS_Null;
    double Y = MATHS_Null;
    double Z = MATHS_Null;
};

// Earth-centred coordinates at ground scale.
class coord_ECEFGround : public coord_BaseClass {
public:
    coord_ECEFGround() = default;
    coord_ECEFGround(double x, double y, double z) : X(x), Y(y), Z(z) {}
    bool IsPosition() const override { return true; }
    bool IsNull() const override { return coord_AllNull(X, Y, Z); }
    bool HasNull() const override { return coord_AnyNull(X, Y, Z); }
    bool IsHorizontalNull() const override { return coord_AllNull(X, Y); }
    bool IsVerticalNull() const override { return maths_IsNull(Z); }
    void SetNull() override { X = Y = Z = MATHS_Null; }
    coord_ECEF ToECEF() const { return coord_ECEF(X, Y, Z); }

    double X = MATHS_Null;
    double Y = MATHS_Null;
    double Z = MATHS_Null;
};

class coord_ECEFDeltas : public coord_BaseClass {
public:
    coord_ECEFDeltas() = default;
    coord_ECEFDeltas(double dx, double dy, double dz) : dX(dx), dY(dy), dZ(dz) {}
    bool IsPosition() const override { return false; }
    bool IsNull() const override { return coord_AllNull(dX, dY, dZ); }
    bool HasNull() const override { return coord_AnyNull(dX, dY, dZ); }
    bool IsHorizontalNull() const override { return coord_AllNull(dX, dY); }
    bool IsVerticalNull() const override { return maths_IsNull(dZ); }
    void SetNull() override { dX = dY = dZ = MATHS_Null; }

    // The angle of (dY, dX) measured from the Y axis towards X, in [0, 2pi).
    double Azimuth() const;
    double HorizontalDistance() const;
    double SlopeDistance() const;

    double dX = MATHS_Null;
    double dY = MATHS_Null;
    double dZ = MATHS_Null;
};

inline coord_ECEFGround coord_ECEF::ToECEFGround() const { return coord_ECEFGround(X, Y, Z); }

// A reduced polar observation: azimuth, horizontal distance, vertical difference.
class coord_Polar : public coord_BaseClass {
public:
    coord_Polar() = default;
    coord_Polar(double azimuth, double hdist, double vdist) : Azimuth(azimuth), HDist(hdist), VDist(vdist) {}
    bool IsPosition() const override { return false; }
    bool IsNull() const override { return coord_AllNull(Azimuth, HDist, VDist); }
    bool HasNull() const override { return coord_AnyNull(Azimuth, HDist, VDist); }
    bool IsHorizontalNull() const override { return coord_AllNull(Azimuth, HDist); }
    bool IsVerticalNull() const override { return coord_AllNull(Azimuth, VDist); }
    void SetNull() override { Azimuth = HDist = VDist = MATHS_Null; }

    double Azimuth = MATHS_Null;
    double HDist = MATHS_Null;
    double VDist = MATHS_Null;
};

// A face-2 polar observation.
class coord_F2Polar : public coord_Polar {
public:
    coord_F2Polar() = default;
    coord_F2Polar(double azimuth, double hdist, double vdist) : coord_Polar(azimuth, hdist, vdist) {}
};

class coord_Ground : public coord_BaseClass {
public:
    coord_Ground() = default;
    coord_Ground(double azimuth, double vertAngle, double hdist) : Azimuth(azimuth), VertAngle(vertAngle), HDist(hdist) {}
    bool IsPosition() const override { return false; }
    bool IsNull() const override { return coord_AllNull(Azimuth, VertAngle, HDist); }
    bool HasNull() const override { return coord_AnyNull(Azimuth, VertAngle, HDist); }
    bool IsHorizontalNull() const override { return coord_AllNull(Azimuth, HDist); }
    bool IsVerticalNull() const override { return coord_AllNull(VertAngle, HDist); }
    void SetNull() override { Azimuth = VertAngle = HDist = MATHS_Null; }

    double Azimuth = MATHS_Null;
    double VertAngle = MATHS_Null;
    double HDist = MATHS_Null;  // at ground scale
};

// A horizontal circle reading not yet turned into an azimuth.
class coord_Unturned : public coord_BaseClass {
public:
    coord_Unturned() = default;
    coord_Unturned(double horzCircle, double hdist, double vdist) : HorzCircle(horzCircle), HDist(hdist), VDist(vdist) {}
    bool IsPosition() const override { return false; }
    bool IsNull() const override { return coord_AllNull(HorzCircle, HDist, VDist); }
    bool HasNull() const override { return coord_AnyNull(HorzCircle, HDist, VDist); }
    bool IsHorizontalNull() const override { return coord_AllNull(HorzCircle, HDist); }
    bool IsVerticalNull() const override { return coord_AllNull(HorzCircle, VDist); }
    void SetNull() override { HorzCircle = HDist = VDist = MATHS_Null; }

    double HorzCircle = MATHS_Null;
    double HDist = MATHS_Null;
    double VDist = MATHS_Null;
};

// A raw circle reading. Only the three readings decide nullness.
class coord_Circle : public coord_BaseClass {
public:
    coord_Circle() = default;
    bool IsPosition() const override { return false; }
    bool IsNull() const override { return coord_AllNull(HorzCircle, VertCircle, EDMDistance); }
    bool HasNull() const override { return coord_AnyNull(HorzCircle, VertCircle, EDMDistance); }
    bool IsHorizontalNull() const override { return coord_AllNull(HorzCircle, EDMDistance); }
    bool IsVerticalNull() const override { return coord_AllNull(VertCircle, EDMDistance); }
    void SetNull() override { *this = coord_Circle(); }

    double HorzCircle = MATHS_Null;
    double VertCircle = MATHS_Null;
    double EDMDistance = MATHS_Null;
    int32_t Face = COORD_FaceNull;
    bool Flag = false;  // copied with the value; never stored in records
    double HorzCircleStdErr = MATHS_Null;
    double VertCircleStdErr = MATHS_Null;
    double EDMDistanceStdErr = MATHS_Null;
    int32_t EDMMeasurementMode = COORD_EDMNullMode;
};

// A reading corrected for instrument errors; a face of 0 counts as a null component.
class coord_Corrected : public coord_BaseClass {
public:
    coord_Corrected() = default;
    coord_Corrected(double horzCircle, double vertCircle, double slopeDist, int32_t face)
        : HorzCircle(horzCircle), VertCircle(vertCircle), SlopeDist(slopeDist), Face(face) {}
    bool IsPosition() const override { return false; }
    bool IsNull() const override { return coord_AllNull(HorzCircle, VertCircle, SlopeDist) && Face == COORD_FaceNull; }
    bool HasNull() const override { return coord_AnyNull(HorzCircle, VertCircle, SlopeDist) || Face == COORD_FaceNull; }
    bool IsHorizontalNull() const override { return coord_AllNull(HorzCircle, SlopeDist); }
    bool IsVerticalNull() const override { return coord_AllNull(VertCircle, SlopeDist); }
    void SetNull() override {
        HorzCircle = VertCircle = SlopeDist = MATHS_Null;
        Face = COORD_FaceNull;
    }

    double HorzCircle = MATHS_Null;
    double VertCircle = MATHS_Null;
    double SlopeDist = MATHS_Null;
    int32_t Face = COORD_FaceNull;
};

class coord_Oriented : public coord_BaseClass {
public:
    coord_Oriented() = default;
    coord_Oriented(double horzAngle, double vertAngle, double distance)
        : HorzAngle(horzAngle), VertAngle(vertAngle), Distance(distance) {}
    bool IsPosition() const override { return false; }
    bool IsNull() const override { return coord_AllNull(HorzAngle, VertAngle, Distance); }
    bool HasNull() const override { return coord_AnyNull(HorzAngle, VertAngle, Distance); }
    bool IsHorizontalNull() const override { return coord_AllNull(HorzAngle, Distance); }
    bool IsVerticalNull() const override { return coord_AllNull(VertAngle, Distance); }
    void SetNull() override { HorzAngle = VertAngle = Distance = MATHS_Null; }

    double HorzAngle = MATHS_Null;
    double VertAngle = MATHS_Null;
    double Distance = MATHS_Null;
};

class coord_LaserOffset : public coord_BaseClass {
public:
    coord_LaserOffset() = default;
    coord_LaserOffset(double azimuth, double vertAngle, double slopeDist)
        : Azimuth(azimuth), VertAngle(vertAngle), SlopeDist(slopeDist) {}
    bool IsPosition() const override { return false; }
    bool IsNull() const override { return coord_AllNull(Azimuth, VertAngle, SlopeDist); }
    bool HasNull() const override { return coord_AnyNull(Azimuth, VertAngle, SlopeDist); }
    bool IsHorizontalNull() const override { return coord_AllNull(Azimuth, SlopeDist); }
    bool IsVerticalNull() const override { return coord_AllNull(VertAngle, SlopeDist); }
    void SetNull() override { Azimuth = VertAngle = SlopeDist = MATHS_Null; }

    double Azimuth = MATHS_Null;
    double VertAngle = MATHS_Null;
    double SlopeDist = MATHS_Null;
};

// Station, offset and elevation against a road or line.
class coord_StationOffset : public coord_BaseClass {
public:
    coord_StationOffset() = default;
    coord_StationOffset(double station, double offset, double elevation)
        : Station(station), Offset(offset), Elevation(elevation) {}
    bool IsPosition() const override { return false; }
    bool IsNull() const override { return coord_AllNull(Station, Offset, Elevation); }
    bool HasNull() const override { return coord_AnyNull(Station, Offset, Elevation); }
    bool IsHorizontalNull() const override { return coord_AllNull(Station, Offset); }
    bool IsVerticalNull() const override { return maths_IsNull(Elevation); }
    void SetNull() override { Station = Offset = Elevation = MATHS_Null; }

    double Station = MATHS_Null;
    double Offset = MATHS_Null;
    double Elevation = MATHS_Null;
};

// Mean turned angles. Only the three readings decide nullness.
class coord_MTA : public coord_BaseClass {
public:
    coord_MTA() = default;
    bool IsPosition() const override { return false; }
    bool IsNull() const override { return coord_AllNull(HorzCircle, VertCircle, EDMDistance); }
    bool HasNull() const override { return coord_AnyNull(HorzCircle, VertCircle, EDMDistance); }
    bool IsHorizontalNull() const override { return coord_AllNull(HorzCircle, EDMDistance); }
    bool IsVerticalNull() const override { return coord_AllNull(VertCircle, EDMDistance); }
    void SetNull() override { *this = coord_MTA(); }

    double HorzCircle = MATHS_Null;
    double VertCircle = MATHS_Null;
    double EDMDistance = MATHS_Null;
    double HorzCircleStdErr = MATHS_Null;
    double VertCircleStdErr = MATHS_Null;
    double EDMDistanceStdErr = MATHS_Null;
    int32_t NumberOfHAngles = 0;
    int32_t NumberOfVAngles = 0;
    int32_t NumberOfDistances = 0;
};

// A station with the azimuth that turns its circle readings into azimuths.
class coord_StationSetupData : public coord_BaseClass {
public:
    coord_StationSetupData() = default;
    bool IsPosition() const override { return false; }
    bool IsNull() const override { return maths_IsNull(Orientation) && Station.IsNull(); }
    bool HasNull() const override { return maths_IsNull(Orientation) || Station.HasNull(); }
    bool IsHorizontalNull() const override { return maths_IsNull(Orientation) && Station.IsHorizontalNull(); }
    bool IsVerticalNull() const override { return Station.IsVerticalNull(); }
    void SetNull() override {
        Orientation = MATHS_Null;
        Station.SetNull();
    }

    coord_CorrectedGrid Station;
    double Orientation = MATHS_Null;
};
