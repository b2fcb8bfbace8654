// The six parts of a job's coordinate system as plain values: ellipsoid, datum
// transformation, map projection (with its ground-scale part), horizontal adjustment
// plane, vertical adjustment and corrections settings. Each is the body of one
// settings record and a member of the coordinate transform; the engine that uses them
// lives elsewhere. Also the process-wide WGS-84 ellipsoid and BitMask, the one-word
// flag set of the cogo settings and the computation-method masks.
//
// Enumerated members are 32-bit ints holding vocabulary values; the constants below
// name them.
#pragma once

#include <bit>
#include <cstdint>

#include "foundation/coords/coord.h"
#include "foundation/kernel/maths.h"
#include "foundation/text/str.h"

enum coordsys_DatumType : int32_t {
    COORDSYS_NoDatum = 0,
    COORDSYS_SevenParameter = 1,
    COORDSYS_ThreeParameter = 2,
    COORDSYS_GridDatum = 3,
    COORDSYS_RTCMGrid = 4,
};

enum coordsys_ProjectionType : int32_t {
    COORDSYS_NoProjection = 0,
    COORDSYS_ScaleOnly = 1,
    COORDSYS_Plane = 2,
    COORDSYS_Mercator = 3,
    COORDSYS_TransverseMercator = 4,
    COORDSYS_UniversalTransverseMercator = 5,
    COORDSYS_Lambert1Parallel = 6,
    COORDSYS_Lambert2Parallel = 7,
    COORDSYS_ObliqueMercatorAngle = 8,
    COORDSYS_ObliqueConformalCylindrical = 9,
    COORDSYS_ObliqueStereographic = 10,
    COORDSYS_PolarStereographic = 11,
    COORDSYS_RDStereographic = 12,
    COORDSYS_AlbersEqualAreaConic = 13,
    COORDSYS_CassiniSoldner = 14,
    COORDSYS_Krovak = 15,
    COORDSYS_NewZealandMapGrid = 16,
    COORDSYS_UnitedKingdomNationalGrid = 17,
    COORDSYS_Denmark = 18,
    COORDSYS_HungarianEOV = 19,
    COORDSYS_StereographicDouble = 20,
    COORDSYS_RSO = 21,
    COORDSYS_UPSNorth = 22,
    COORDSYS_UPSSouth = 23,
    COORDSYS_ProjectionGrid = 24,
};

enum coordsys_GridElevation : int32_t { COORDSYS_Ground = 0, COORDSYS_Grid = 1 };
enum coordsys_AzimuthFormat : int32_t { COORDSYS_GridAzimuth = 0, COORDSYS_GeodeticAzimuth = 1 };
enum coordsys_OriginCenter : int32_t { COORDSYS_OriginAtEquator = 0, COORDSYS_OriginAtProjectionCenter = 1 };

enum coordsys_ProjectionArea : int32_t {
    COORDSYS_AreaNone = 0,
    COORDSYS_AreaZeeland = 1,
    COORDSYS_AreaJutland = 2,
    COORDSYS_AreaBornholm = 3,
};

enum coordsys_GroundScaleFactorType : int32_t {
    COORDSYS_GridScaleFactor = 0,
    COORDSYS_NoGroundScaleFactor = 0,
    COORDSYS_KeyedInGroundScaleFactor = 1,
    COORDSYS_CalculatedGroundScaleFactor = 2,
};

enum coordsys_PlaneType : int32_t { COORDSYS_NoHorizontal = 0, COORDSYS_ValidHorizontal = 1 };

enum coordsys_HeightType : int32_t {
    COORDSYS_NoVertical = 0,
    COORDSYS_ConstantAdjustment = 1,
    COORDSYS_InclinedPlane = 2,
    COORDSYS_GeoidModel = 3,
    COORDSYS_GeoidAndConstant = 4,
    COORDSYS_GeoidAndPlane = 5,
};

enum coordsys_GridOrientation : int32_t {
    COORDSYS_IncreasingNorthEast = 0,
    COORDSYS_IncreasingSouthWest = 1,
    COORDSYS_IncreasingNorthWest = 2,
    COORDSYS_IncreasingSouthEast = 3,
};

enum coordsys_CogoDistance : int32_t {
    COORDSYS_GridDistance = 0,
    COORDSYS_EllipsoidDistance = 1,
    COORDSYS_GroundDistance = 2,
};

enum coordsys_SubdivideCode : int32_t { COORDSYS_UseName = 0, COORDSYS_UseCode = 1, COORDSYS_UseCustom = 2 };

enum coordsys_WeightExponent : int32_t {
    COORDSYS_WeightExponentZeroPointFive = 0,
    COORDSYS_WeightExponentOnePointZero = 1,
    COORDSYS_WeightExponentOnePointFive = 2,
    COORDSYS_WeightExponentTwoPointZero = 3,
};

enum coordsys_CrossSectionInterpolationMethod : int32_t {
    XSInterpolate_Elevation = 0,
    XSInterpolate_CrossSlope = 1,
};

// Which settings a corrections record carries.
enum coordsys_ValuesPresent : int32_t {
    COORDSYS_SouthAzimuthPresent = 0x1,
    COORDSYS_GridOrientationPresent = 0x2,
    COORDSYS_MagDeclinationPresent = 0x4,
    COORDSYS_DistancesPresent = 0x8,
    COORDSYS_SubDivideCodePresent = 0x10,
    COORDSYS_NeighbourhoodAdjustmentPresent = 0x20,
    COORDSYS_WeightExponentPresent = 0x40,
    COORDSYS_CrossSectionInterpolationMethodPresent = 0x80,
    COORDSYS_ApplySeaLevelCorrectionOnStandardProjectionPresent = 0x100,
    COORDSYS_ApplySeaLevelCorrectionOnScaleOnlyProjectionPresent = 0x200,
    COORDSYS_AllValuesPresent = 0x3FF,
};

// The bits of the cogo mask: the surfaces on which coordinate geometry measures
// azimuths, distances and heights. 0x100 and 0x200 have no name.
enum coordsys_CogoBits : int32_t {
    COORDSYS_CogoAzimuthWGS84 = 0x1,
    COORDSYS_CogoAzimuthLocal = 0x2,
    COORDSYS_CogoAzimuthGrid = 0x4,
    COORDSYS_CogoDistanceWGS84 = 0x8,
    COORDSYS_CogoDistanceLocal = 0x10,
    COORDSYS_CogoDistanceGrid = 0x20,
    COORDSYS_CogoGroundDistances = 0x40,
    COORDSYS_CogoEllipsoidDistances = 0x80,
    COORDSYS_CogoEllipsoidHeights = 0x400,
    COORDSYS_CogoOrthoHeights = 0x800,
};

// Component bits of a coordinate system: 1 ellipsoid, 2 datum, 4 projection, 8 plane.
inline constexpr int32_t COORDSYS_SetHorzAdjustment = 0x8;
// Ellipsoid, datum and projection all set.
inline constexpr bool coordsys_IsComplete(int32_t components) { return (components & 0x7) == 0x7; }

// A reference ellipsoid. Every derived quantity is null when the flattening is null.
class coordsys_Ellipsoid {
public:
    // Starts null, as the ellipsoid record and the coordinate transform do.
    constexpr coordsys_Ellipsoid() = default;
    constexpr coordsys_Ellipsoid(double earthRadius, double flattening)
        : EarthRadius(earthRadius), Flattening(flattening) {}

    void SetNull() { EarthRadius = Flattening = MATHS_Null; }

    double EccentricitySquared() const;  // 2f - f^2
    double OneMinusE2() const;
    double SecondE2() const;  // e2 / (1 - e2)
    double OnePlusSecondE2() const;
    double HalfSecondE2() const;
    double SecondEccentricity() const;
    // 1 / f; null when f is exactly 1e308 or 0.
    double InverseFlattening() const;

    // Exact, without tolerance; two null ellipsoids are equal.
    bool operator==(const coordsys_Ellipsoid& other) const {
        return EarthRadius == other.EarthRadius && Flattening == other.Flattening;
    }
    bool operator!=(const coordsys_Ellipsoid& other) const { return !(*this == other); }

    double EarthRadius = MATHS_Null;  // semi-major axis a
    double Flattening = MATHS_Null;   // f, not its inverse
};

// The WGS-84 ellipsoid with this exact flattening double (inverse 298.2572229328696,
// not 298.257223563); its semi-minor axis is 6356752.3142 m. Constant-initialised.
inline constexpr coordsys_Ellipsoid coordsys_WGS84Ellipsoid{6378137.0,
                                                            std::bit_cast<double>(uint64_t{0x3F6B775A85ED1BBE})};

// The datum transformation between WGS-84 and the local datum. The seven parameters
// default to no change (zeros and a unit scale), not to null.
class coordsys_Datum {
public:
    int32_t DatumType = COORDSYS_NoDatum;
    double RotationX = 0.0;  // radians
    double RotationY = 0.0;
    double RotationZ = 0.0;
    double TranslationX = 0.0;  // metres
    double TranslationY = 0.0;
    double TranslationZ = 0.0;
    double Scale = 1.0;  // a factor
    Str GridName;
};

// The ground-scale part of a projection.
class coordsys_GroundPart {
public:
    int32_t Type = COORDSYS_GridScaleFactor;
    double Factor = 1.0;
    coord_Local ProjectLocation;  // where the factor was computed; its height is the ground height
    double NorthingOffset = 0.0;
    double EastingOffset = 0.0;
    double NorthingDelta = 0.0;
    double EastingDelta = 0.0;
};

class coordsys_Projection {
public:
    coordsys_Projection() = default;
    coordsys_Projection(const coordsys_Projection&) = default;
    // Member-wise; assigning a projection to itself is reported and harmless.
    coordsys_Projection& operator=(const coordsys_Projection& proj);

    int32_t ProjectionType = COORDSYS_NoProjection;
    coord_Local OriginLocal;
    coord_CorrectedGrid OriginGrid;  // the false origin
    double Scale = MATHS_Null;       // at the origin
    int32_t GridElevation = COORDSYS_Ground;
    double Orientation1 = MATHS_Null;
    double Orientation2 = MATHS_Null;
    int32_t AzimuthFormat = COORDSYS_GridAzimuth;
    int32_t OriginCenter = COORDSYS_OriginAtEquator;
    bool Rectify = false;
    int32_t Area = COORDSYS_AreaJutland;
    Str UKNorthGridFile;
    Str UKEastGridFile;
    Str ProjectionGridFile;
    Str ShiftGridFile;
    coordsys_GroundPart GroundScale;
};

// The horizontal adjustment: a plane similarity fitted to the site.
class coordsys_Plane {
public:
    int32_t PlaneType = COORDSYS_NoHorizontal;
    double OriginNorth = MATHS_Null;
    double OriginEast = MATHS_Null;
    double TranslationNorth = MATHS_Null;
    double TranslationEast = MATHS_Null;
    double Rotation = MATHS_Null;  // radians
    double ScaleFactor = MATHS_Null;
};

// The vertical adjustment: a geoid model and/or an inclined plane.
class coordsys_Height {
public:
    int32_t HeightType = COORDSYS_NoVertical;
    double OriginNorth = MATHS_Null;
    double OriginEast = MATHS_Null;
    double NorthAdjustment = MATHS_Null;  // slope to the north
    double EastAdjustment = MATHS_Null;   // slope to the east
    double ElevAdjustment = MATHS_Null;   // constant, metres
    Str GeoidFilename;
};

// The coordinate-geometry settings that go with a coordinate system.
class coordsys_Corrections {
public:
    // The sea-level correction flag for a projection kind: the scale-only flag for
    // COORDSYS_ScaleOnly, the standard one for every other kind.
    bool SeaLevelFlag(int32_t projectionType) const {
        return projectionType == COORDSYS_ScaleOnly ? ApplySeaLevelCorrectionOnScaleOnlyProjection
                                                    : ApplySeaLevelCorrectionOnStandardProjection;
    }
    bool IsNorthAzimuth() const { return !SouthAzimuth; }
    bool IsNorthIncreasing() const {
        return GridOrientation == COORDSYS_IncreasingNorthEast || GridOrientation == COORDSYS_IncreasingNorthWest;
    }
    bool IsSouthIncreasing() const {
        return GridOrientation == COORDSYS_IncreasingSouthWest || GridOrientation == COORDSYS_IncreasingSouthEast;
    }
    // pi when the azimuth reference and the grid's increasing direction disagree.
    double AzimuthOffset() const;
    // The azimuth turned by AzimuthOffset into [0, 2pi); null stays null.
    double ApplyAzimuthOffset(double azimuth) const;

    int32_t ValuesPresent = COORDSYS_AllValuesPresent;
    bool SouthAzimuth = false;
    int32_t GridOrientation = COORDSYS_IncreasingNorthEast;
    double MagneticDeclination = MATHS_Null;  // radians; the record's default is 0.0
    int32_t Distances = COORDSYS_GroundDistance;
    int32_t SubDivideCode = COORDSYS_UseName;
    bool NeighbourhoodAdjustment = false;
    int32_t WeightExponent = COORDSYS_WeightExponentZeroPointFive;
    int32_t CrossSectionInterpolationMethod = XSInterpolate_Elevation;
    bool ApplySeaLevelCorrectionOnStandardProjection = true;
    bool ApplySeaLevelCorrectionOnScaleOnlyProjection = false;
};

// The inverse-distance power of a weight-exponent code: 0.5, 1.0, 1.5, 2.0 for 0..3.
// Any other code is reported and gives 0.5.
double coordsys_WeightExponentValue(int32_t code);
// The code of an exact power; any other value is reported and gives 0.
int32_t coordsys_WeightExponentCode(double value);

// One int of flags; 0 is the null mask. Passed by value.
class BitMask {
public:
    constexpr BitMask() = default;
    constexpr BitMask(int32_t value) : _Value(value) { Validate(); }

    constexpr bool IsNull() const { return _Value == 0; }
    constexpr bool IsNotNull() const { return _Value != 0; }
    constexpr int32_t Value() const { return _Value; }
    constexpr void Set(int32_t bits) {
        _Value |= bits;
        Validate();
    }
    // Returns the new value.
    constexpr int32_t Clear(int32_t bits) {
        _Value &= ~bits;
        Validate();
        return _Value;
    }
    // Runs after every change; a mask has nothing to check.
    constexpr void Validate() {}

    constexpr bool operator==(const BitMask& other) const { return _Value == other._Value; }
    constexpr bool operator!=(const BitMask& other) const { return _Value != other._Value; }

private:
    int32_t _Value = 0;
};

// The cogo mask: COORDSYS_Cogo* bits in a BitMask.
using coordsys_CogoSettings = BitMask;
