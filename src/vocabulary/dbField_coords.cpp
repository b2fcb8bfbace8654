// Coordinate, coordinate-system and calibration enumerations (COORD_, COORDSYS_,
// XSInterpolate_, TransformationMethod_, LineTransformationScale_, DBQZ_).
#include "vocabulary/dbField_tables.h"

// Coordinates. The local transformed grid came late, so it follows the MTA type.
DBFIELD_ENUM(coord_Type,
    {"COORD_NullType", 0},
    {"COORD_WGS84Type", 1},
    {"COORD_LocalType", 2},
    {"COORD_UncalibratedLocalType", 3},
    {"COORD_GridType", 4},
    {"COORD_GridDeltasType", 5},
    {"COORD_ECEFType", 6},
    {"COORD_ECEFGroundType", 7},
    {"COORD_ECEFDeltasType", 8},
    {"COORD_PolarType", 9},
    {"COORD_GroundType", 10},
    {"COORD_UnturnedType", 11},
    {"COORD_F2PolarType", 12},
    {"COORD_CircleType", 13},
    {"COORD_CorrectedType", 14},
    {"COORD_OrientedType", 15},
    {"COORD_LaserOffsetType", 16},
    {"COORD_StationOffsetType", 17},
    {"COORD_MTAType", 18},
    {"COORD_LocalTransformedGridType", 19},
    {"COORD_AsStoredType", 20})

DBFIELD_ENUM(coord_Face,
    {"COORD_FaceNull", 0}, {"COORD_Face1", 1}, {"COORD_Face2", 2})

// Coordinate systems.
DBFIELD_ENUM(coordsys_ProjectionType,
    {"COORDSYS_NoProjection", 0},
    {"COORDSYS_ScaleOnly", 1},
    {"COORDSYS_Plane", 2},
    {"COORDSYS_Mercator", 3},
    {"COORDSYS_TransverseMercator", 4},
    {"COORDSYS_UniversalTransverseMercator", 5},
    {"COORDSYS_Lambert1Parallel", 6},
    {"COORDSYS_Lambert2Parallel", 7},
    {"COORDSYS_ObliqueMercatorAngle", 8},
    {"COORDSYS_ObliqueConformalCylindrical", 9},
    {"COORDSYS_ObliqueStereographic", 10},
    {"COORDSYS_PolarStereographic", 11},
    {"COORDSYS_RDStereographic", 12},
    {"COORDSYS_AlbersEqualAreaConic", 13},
    {"COORDSYS_CassiniSoldner", 14},
    {"COORDSYS_Krovak", 15},
    {"COORDSYS_NewZealandMapGrid", 16},
    {"COORDSYS_UnitedKingdomNationalGrid", 17},
    {"COORDSYS_Denmark", 18},
    {"COORDSYS_HungarianEOV", 19},
    {"COORDSYS_StereographicDouble", 20},
    {"COORDSYS_RSO", 21},
    {"COORDSYS_UPSNorth", 22},
    {"COORDSYS_UPSSouth", 23},
    {"COORDSYS_ProjectionGrid", 24})

DBFIELD_ENUM(coordsys_ProjectionArea,
    {"COORDSYS_AreaNone", 0}, {"COORDSYS_AreaZeeland", 1}, {"COORDSYS_AreaJutland", 2},
    {"COORDSYS_AreaBornholm", 3})

DBFIELD_ENUM(coordsys_OriginCenter,
    {"COORDSYS_OriginAtEquator", 0}, {"COORDSYS_OriginAtProjectionCenter", 1})

DBFIELD_ENUM(coordsys_GridElevation,
    {"COORDSYS_Ground", 0}, {"COORDSYS_Grid", 1})

DBFIELD_ENUM(coordsys_AzimuthFormat,
    {"COORDSYS_GridAzimuth", 0}, {"COORDSYS_GeodeticAzimuth", 1})

DBFIELD_ENUM(coordsys_GroundScaleFactorType,
    {"COORDSYS_GridScaleFactor", 0}, {"COORDSYS_NoGroundScaleFactor", 0},
    {"COORDSYS_KeyedInGroundScaleFactor", 1}, {"COORDSYS_CalculatedGroundScaleFactor", 2})

DBFIELD_ENUM(coordsys_DatumType,
    {"COORDSYS_NoDatum", 0}, {"COORDSYS_SevenParameter", 1},
    {"COORDSYS_ThreeParameter", 2}, {"COORDSYS_GridDatum", 3}, {"COORDSYS_RTCMGrid", 4})

DBFIELD_ENUM(coordsys_PlaneType,
    {"COORDSYS_NoHorizontal", 0}, {"COORDSYS_ValidHorizontal", 1})

DBFIELD_ENUM(coordsys_HeightType,
    {"COORDSYS_NoVertical", 0}, {"COORDSYS_ConstantAdjustment", 1},
    {"COORDSYS_InclinedPlane", 2}, {"COORDSYS_GeoidModel", 3},
    {"COORDSYS_GeoidAndConstant", 4}, {"COORDSYS_GeoidAndPlane", 5})

DBFIELD_ENUM(coordsys_GridOrientation,
    {"COORDSYS_IncreasingNorthEast", 0}, {"COORDSYS_IncreasingSouthWest", 1},
    {"COORDSYS_IncreasingNorthWest", 2}, {"COORDSYS_IncreasingSouthEast", 3})

DBFIELD_ENUM(coordsys_CogoDistance,
    {"COORDSYS_GridDistance", 0}, {"COORDSYS_EllipsoidDistance", 1},
    {"COORDSYS_GroundDistance", 2})

DBFIELD_ENUM(coordsys_SubdivideCode,
    {"COORDSYS_UseName", 0}, {"COORDSYS_UseCode", 1}, {"COORDSYS_UseCustom", 2})

// The value is the index of the exponent (0.5, 1.0, 1.5, 2.0), not the exponent.
DBFIELD_ENUM(coordsys_WeightExponent,
    {"COORDSYS_WeightExponentZeroPointFive", 0}, {"COORDSYS_WeightExponentOnePointZero", 1},
    {"COORDSYS_WeightExponentOnePointFive", 2}, {"COORDSYS_WeightExponentTwoPointZero", 3})

DBFIELD_ENUM(coordsys_CrossSectionInterpolationMethod,
    {"XSInterpolate_Elevation", 0}, {"XSInterpolate_CrossSlope", 1})

// Transformations.
DBFIELD_ENUM(transformation_Method,
    {"TransformationMethod_Line", 0}, {"TransformationMethod_Helmert", 1})

DBFIELD_ENUM(transformation_ScaleApplicationMethod,
    {"LineTransformationScale_Free", 0}, {"LineTransformationScale_FixedTo1", 1},
    {"LineTransformationScale_AlongLineOfAxisOnly", 2})

// Calibration and positioning.
DBFIELD_ENUM(dbqz_PositioningTechnology,
    {"DBQZ_GPS", 0}, {"DBQZ_Conventional", 1}, {"DBQZ_TS", 1}, {"DBQZ_None", 2})

DBFIELD_ENUM(dbqz_TimeDerivation,
    {"DBQZ_System", 0}, {"DBQZ_UserDeleted", 1}, {"DBQZ_UserUndeleted", 2},
    {"DBQZ_Updated", 3}, {"DBQZ_UsedLastTSSetup", 4})

DBFIELD_ENUM(dbqz_CalibrateStatus,
    {"DBQZ_0D", 0}, {"DBQZ_1D", 1}, {"DBQZ_2D", 2}, {"DBQZ_3D", 3}, {"DBQZ_Any", 4})

DBFIELD_ENUM(dbqz_CalibPointNameMethod,
    {"DBQZ_SamePointName", 0}, {"DBQZ_AddPrefixToPointName", 1},
    {"DBQZ_AddSuffixToPointName", 2}, {"DBQZ_AddConstantToPointName", 3})

DBFIELD_ENUM(dbqz_ObservationType,
    {"DBQZ_TopoPoint", 0}, {"DBQZ_KinematicPoint", 1}, {"DBQZ_RapidPoint", 2})

DBFIELD_ENUM(dbqz_VerticalCalibrationMethod,
    {"DBQZ_NoVerticalAdjustment", 0}, {"DBQZ_ConstantAdjustmentOnly", 1},
    {"DBQZ_InclinedPlane", 2})
