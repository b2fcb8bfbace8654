// Job settings and unit enumerations (UNITS_, DBCONFIG_, DBTYPE_): units of measure,
// display formats, coordinate order, stationing, tracking, stakeout and offsets.
#include "vocabulary/dbField_tables.h"

// Exports that predate a unit leave its child empty: no unit. "UNITS_Celcius" is
// spelled so in every job.
DBFIELD_ENUM_WITH_DEFAULT(units_Type, 47,
    {"UNITS_Meters", 0},
    {"UNITS_Millimeters", 1},
    {"UNITS_Centimeter", 2},
    {"UNITS_Kilometer", 3},
    {"UNITS_Inch", 4},
    {"UNITS_Foot", 5},
    {"UNITS_USFoot", 6},
    {"UNITS_Yard", 7},
    {"UNITS_Link", 8},
    {"UNITS_Chain", 9},
    {"UNITS_Mile", 10},
    {"UNITS_NauticalMile", 11},
    {"UNITS_Latitude", 12},
    {"UNITS_Longitude", 13},
    {"UNITS_Ddmmss", 14},
    {"UNITS_Degrees", 15},
    {"UNITS_MinutesAngle", 16},
    {"UNITS_SecondsAngle", 17},
    {"UNITS_Mil", 18},
    {"UNITS_Gon", 19},
    {"UNITS_MeterPerSecond", 20},
    {"UNITS_Seconds", 21},
    {"UNITS_Hours", 22},
    {"UNITS_Minutes", 23},
    {"UNITS_HoursMinutes", 24},
    {"UNITS_Kilobytes", 25},
    {"UNITS_Percentage", 26},
    {"UNITS_PercentScalar", 27},
    {"UNITS_Celcius", 28},
    {"UNITS_Fahrenheit", 29},
    {"UNITS_MilliBar", 30},
    {"UNITS_InchHg", 31},
    {"UNITS_MMHg", 32},
    {"UNITS_RatioRiseRun", 33},
    {"UNITS_RatioRunRise", 34},
    {"UNITS_Angle", 35},
    {"UNITS_SqMetres", 36},
    {"UNITS_SqMile", 37},
    {"UNITS_SqFeet", 38},
    {"UNITS_SqUSFeet", 39},
    {"UNITS_Acres", 40},
    {"UNITS_Hectares", 41},
    {"UNITS_Quad", 42},
    {"UNITS_PPMSlope", 43},
    {"UNITS_PPMScalar", 44},
    {"UNITS_Ddmm", 45},
    {"UNITS_InverseFlattening", 46},
    {"UNITS_None", 47})

DBFIELD_ENUM(dbconfig_CoordOrder,
    {"DBCONFIG_NEElev", 0}, {"DBCONFIG_ENElev", 1},
    {"DBCONFIG_ENElev_YXZ", 2}, {"DBCONFIG_YXZ", 2},
    {"DBCONFIG_NEElev_XYZ", 3}, {"DBCONFIG_XYZ", 3})

DBFIELD_ENUM(dbconfig_Stationing,
    {"DBCONFIG_StationingNormal", 0}, {"DBCONFIG_StationingHundreds", 1},
    {"DBCONFIG_StationingThousands", 2}, {"DBCONFIG_StationingNULL", 3})

DBFIELD_ENUM(dbconfig_LaserVA,
    {"DBCONFIG_ZenithAngle", 0}, {"DBCONFIG_Inclination", 1},
    {"DBCONFIG_LaserVerticalAngleNULL", 2})

DBFIELD_ENUM(dbconfig_DMSAngleDisplay,
    {"DBCONFIG_DMSAngleDisplay01", 0}, {"DBCONFIG_HAVAAngleDisplay01", 0},
    {"DBCONFIG_DMSAngleDisplay1", 1}, {"DBCONFIG_HAVAAngleDisplay1", 1},
    {"DBCONFIG_DMSAngleNULL", 2}, {"DBCONFIG_HAVAAngleNULL", 2})

DBFIELD_ENUM(dbconfig_DecAngleDisplay,
    {"DBCONFIG_DecAngleDisplay0001", 0}, {"DBCONFIG_DecAngleDisplay00001", 1},
    {"DBCONFIG_DecAngleDisplay000001", 2})

DBFIELD_ENUM(dbconfig_DistanceDisplay,
    {"DBCONFIG_DistanceDisplay01", 0}, {"DBCONFIG_SDDisplay01", 0},
    {"DBCONFIG_DistanceDisplay001", 1}, {"DBCONFIG_SDDisplay001", 1},
    {"DBCONFIG_DistanceDisplay0001", 2}, {"DBCONFIG_SDDisplay0001", 2},
    {"DBCONFIG_DistanceDisplay00001", 3}, {"DBCONFIG_SDDisplay00001", 3},
    {"DBCONFIG_DistanceDisplay000001", 4})

DBFIELD_ENUM(dbconfig_AzimuthFormat,
    {"DBCONFIG_AzimuthFormatAzimuth", 0}, {"DBCONFIG_AzimuthFormatQuadrantBearing", 1})

DBFIELD_ENUM(dbconfig_GPSTimeDisplay,
    {"DBCONFIG_DateTime", 0}, {"DBCONFIG_GPSWeekSeconds", 1},
    {"DBCONFIG_GPSTimeDisplayNULL", 2})

// Exports that predate the deltas mode leave its child empty: grid deltas.
DBFIELD_ENUM_WITH_DEFAULT(dbconfig_DeltasMode, 4,
    {"DBCONFIG_DistanceDeltas", 0}, {"DBCONFIG_AngleDistanceDeltas", 1},
    {"DBCONFIG_AnglesSlope", 2}, {"DBCONFIG_AzimuthDistance", 3},
    {"DBCONFIG_GridDeltas", 4}, {"DBCONFIG_StationOffset", 5})

// Survey and stakeout settings.
DBFIELD_ENUM(dbconfig_TrackingMode,
    {"DBCONFIG_TrackingCACode", 0}, {"DBCONFIG_TrackingPCode", 1},
    {"DBCONFIG_TrackingYCode", 2}, {"DBCONFIG_TrackingXCode", 3},
    {"DBCONFIG_TrackingCCode", 4}, {"DBCONFIG_TrackingYorPCode", 5},
    {"DBCONFIG_TrackingTracked", 6}, {"DBCONFIG_TrackingAuto", 7},
    {"DBCONFIG_TrackingNone", 8})

DBFIELD_ENUM(dbconfig_BuildId,
    {"DBCONFIG_BuildAuto", 0}, {"DBCONFIG_BuildDesign", 1})

DBFIELD_ENUM(dbconfig_AsStaked,
    {"DBCONFIG_DesignName", 0}, {"DBCONFIG_AutoPointName", 1}, {"DBCONFIG_DesignCode", 2},
    {"DBCONFIG_LastCodeUsed", 3}, {"DBCONFIG_DesignStationAndOffset", 4})

DBFIELD_ENUM(dbconfig_QualityControl,
    {"DBCONFIG_QualNone", 0}, {"DBCONFIG_Qual1", 1}, {"DBCONFIG_Qual1and2", 2},
    {"DBCONFIG_Qual1and3", 3})

DBFIELD_ENUM(dbconfig_OrientTo,
    {"DBCONFIG_OrientToHeading", 0}, {"DBCONFIG_OrientToNorth", 1})

DBFIELD_ENUM(dbconfig_StakeMapMode,
    {"DBCONFIG_StakeMovingMap", 0}, {"DBCONFIG_StakeMovingCursor", 1})

DBFIELD_ENUM(dbconfig_TSStakeViewMode,
    {"DBCONFIG_TSStakeDirectionAndDistanceView", 0}, {"DBCONFIG_TSStakeMapView", 0},
    {"DBCONFIG_TSStakeInOutAndLeftRightView", 1}, {"DBCONFIG_TSStakeDirectionsView", 1})

DBFIELD_ENUM(dbconfig_OffsetPerspectiveMode,
    {"DBCONFIG_OffsetAutomatic", 0}, {"DBCONFIG_TSTopoOffsetAutomatic", 0},
    {"DBCONFIG_OffsetFromInstrument", 1}, {"DBCONFIG_TSTopoOffsetFromInstrument", 1},
    {"DBCONFIG_OffsetFromTarget", 2}, {"DBCONFIG_TSTopoOffsetFromTarget", 2})

DBFIELD_ENUM(dbconfig_ObservationOrder,
    {"DBCONFIG_SameOrder", 0}, {"DBCONFIG_ReverseOrder", 1})

DBFIELD_ENUM(dbconfig_FaceOrder,
    {"DBCONFIG_F1Only", 0}, {"DBCONFIG_F1ThenF2", 1}, {"DBCONFIG_F1F2Paired", 2})

// Dimension.
DBFIELD_ENUM(dbtype_Dimension,
    {"DBTYPE_None", 0}, {"DBTYPE_1d", 1}, {"DBTYPE_2d", 2}, {"DBTYPE_3d", 3})
