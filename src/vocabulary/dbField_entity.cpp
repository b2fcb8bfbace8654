// Entity enumerations (DBENTITY_): how a point was measured or computed, coordinate
// geometry, lines and arcs, traverses, stakeout and roads, scans; and the road
// key-in enumerations (DBROAD_, VerticalKeyin_), which are read but never written.
#include "vocabulary/dbField_tables.h"

// Points and observations. 59 names for the values 0..55: three values keep an older
// second name.
DBFIELD_ENUM(dbentity_PointMethod,
    {"DBENTITY_Unknown", 0},
    {"DBENTITY_Coordinates", 1},
    {"DBENTITY_FourPointInter", 2},
    {"DBENTITY_FromABaseline", 3},
    {"DBENTITY_BrngDistPoint", 4},
    {"DBENTITY_TurnedAngleDistance", 5},
    {"DBENTITY_BrngDistPtInter", 6},
    {"DBENTITY_BrngVerticalPlaneInter", 7},
    {"DBENTITY_BrngDistInter", 8},
    {"DBENTITY_BrngBrngInter", 9},
    {"DBENTITY_DistDistInter", 10},
    {"DBENTITY_GpsStaticObs", 11},
    {"DBENTITY_GpsFastStaticObs", 12},
    {"DBENTITY_GpsRTKCtrlPoint", 13},
    {"DBENTITY_GpsRTKQuickMark", 14},
    {"DBENTITY_Gps2PtOffset", 15},
    {"DBENTITY_Gps4PtInter", 16},
    {"DBENTITY_GpsCheckShot", 17},
    {"DBENTITY_GpsLoggingInit", 18},
    {"DBENTITY_GpsStakeOutObs", 19},
    {"DBENTITY_GpsCalibrationPt", 20},
    {"DBENTITY_GpsSingleAutoPt", 21},
    {"DBENTITY_GpsAverageAutoPt", 22},
    {"DBENTITY_GpsContDistancePt", 23},
    {"DBENTITY_GpsContTimePt", 24},
    {"DBENTITY_GpsContDistAndTimePt", 25},
    {"DBENTITY_GpsContDistOrTimePt", 26},
    {"DBENTITY_GpsContStopAndGoPt", 27},
    {"DBENTITY_GpsContOffsetPt1", 28},
    {"DBENTITY_GpsContOffsetLeftPt", 28},
    {"DBENTITY_GpsContOffsetPt2", 29},
    {"DBENTITY_GpsContOffsetRightPt", 29},
    {"DBENTITY_CogoCalc", 30},
    {"DBENTITY_CogoAlignmentOffsetCalc", 31},
    {"DBENTITY_AzimuthOnly", 32},
    {"DBENTITY_AngleOnly", 33},
    {"DBENTITY_HAngleOnly", 34},
    {"DBENTITY_DirectReading", 35},
    {"DBENTITY_AvgMeasurements", 36},
    {"DBENTITY_AngleOffset", 37},
    {"DBENTITY_HAngleOffset", 38},
    {"DBENTITY_VAngleOffset", 39},
    {"DBENTITY_DistanceOffset", 40},
    {"DBENTITY_TwoPointOffset", 41},
    {"DBENTITY_RadialAndTangent", 42},
    {"DBENTITY_RemoteObject", 43},
    {"DBENTITY_RemoteObjectElevation", 43},
    {"DBENTITY_RemoteObjectBasePoint", 44},
    {"DBENTITY_MatchedPair", 45},
    {"DBENTITY_MatchedPairHidden", 46},
    {"DBENTITY_MeanTurnedAngle", 47},
    {"DBENTITY_MeanTurnedAngleHidden", 48},
    {"DBENTITY_Resection", 49},
    {"DBENTITY_ResectionInProgress", 50},
    {"DBENTITY_LaserOffset", 51},
    {"DBENTITY_CopiedPoint", 52},
    {"DBENTITY_FromBase", 53},
    {"DBENTITY_TraverseAdjusted", 54},
    {"DBENTITY_ReflineSetup", 55})

DBFIELD_ENUM(dbentity_SurveyMethod,
    {"DBENTITY_KeyedIn", 0}, {"DBENTITY_Autonomous", 1}, {"DBENTITY_Float", 2},
    {"DBENTITY_Fix", 3}, {"DBENTITY_Copied", 4}, {"DBENTITY_Code", 5}, {"DBENTITY_WAAS", 6},
    {"DBENTITY_Inertial", 7}, {"DBENTITY_NetworkFloat", 8}, {"DBENTITY_NetworkFix", 9})

// Coordinate geometry.
DBFIELD_ENUM(dbentity_AzimuthType,
    {"DBENTITY_OriginTrue", 0}, {"DBENTITY_OriginGrid", 1}, {"DBENTITY_OriginMag", 2},
    {"DBENTITY_OriginSun", 3})

DBFIELD_ENUM(dbentity_DirectionAlongLine,
    {"DBENTITY_InFromStart", 0}, {"DBENTITY_OutFromStart", 1}, {"DBENTITY_InFromEnd", 2},
    {"DBENTITY_OutFromEnd", 3})

DBFIELD_ENUM(dbentity_ComputeAzimuthMethod,
    {"DBENTITY_TwoPointAzimuth", 0}, {"DBENTITY_BisectedAzimuths", 1},
    {"DBENTITY_BisectedCorner", 2}, {"DBENTITY_AzimuthAndTurnedAngle", 3},
    {"DBENTITY_AzimuthToLineOffset", 4})

DBFIELD_ENUM(dbentity_ComputeDistanceMethod,
    {"DBENTITY_TwoPointDistance", 0}, {"DBENTITY_BetweenPointAndLine", 1},
    {"DBENTITY_BetweenPointAndArc", 2})

DBFIELD_ENUM(dbentity_CogoTranslationMethod,
    {"DBENTITY_CogoDeltas", 0}, {"DBENTITY_CogoTwoPoints", 1})

// Lines and arcs.
DBFIELD_ENUM(dbentity_LineMethod,
    {"DBENTITY_TwoPoints", 0}, {"DBENTITY_BrngDistLine", 1})

DBFIELD_ENUM(dbentity_ArcMethod,
    {"DBENTITY_TwoPointsAndRadius", 0}, {"DBENTITY_CurveLengthAndRadius", 1},
    {"DBENTITY_DeltaAngleAndRadius", 2}, {"DBENTITY_IPAndTangents", 3},
    {"DBENTITY_TwoPointsAndCentrePoint", 4}, {"DBENTITY_ThreePoints", 5})

DBFIELD_ENUM(dbentity_ArcDirection,
    {"DBENTITY_RightHand", 0}, {"DBENTITY_LeftHand", 1})

// Traverses.
DBFIELD_ENUM(dbentity_TrvAdjustmentMethod,
    {"DBENTITY_CompassMethod", 0}, {"DBENTITY_TransitMethod", 1})

DBFIELD_ENUM(dbentity_TrvAdjustmentType,
    {"DBENTITY_WeightedMethod", 0}, {"DBENTITY_LinearMethod", 1}, {"DBENTITY_NoMethod", 2})

DBFIELD_ENUM(dbentity_TrvResultType,
    {"DBENTITY_NotAdjusted", 0}, {"DBENTITY_Closed", 1}, {"DBENTITY_Adjusted", 2})

// Stakeout and roads.
DBFIELD_ENUM(dbentity_StakeOutEntity,
    {"DBENTITY_NonEntity", 0}, {"DBENTITY_PointEntity", 1}, {"DBENTITY_LineEntity", 2},
    {"DBENTITY_ArcEntity", 3}, {"DBENTITY_DTMEntity", 4}, {"DBENTITY_RoadEntity", 5},
    {"DBENTITY_AlignmentEntity", 6}, {"DBENTITY_TunnelEntity", 7})

DBFIELD_ENUM(dbentity_StakeOutMethod,
    {"DBENTITY_ToThePoint", 0},
    {"DBENTITY_FromAPoint", 1},
    {"DBENTITY_FromStartPosition", 2},
    {"DBENTITY_FromLastPointStaked", 3},
    {"DBENTITY_PointRelativeToAzimuth", 4},
    {"DBENTITY_ToTheLine", 5},
    {"DBENTITY_ToTheArc", 6},
    {"DBENTITY_PointsOffsetFromLine", 7},
    {"DBENTITY_PointsOffsetFromArc", 8},
    {"DBENTITY_OffsetLine", 9},
    {"DBENTITY_OffsetArc", 10},
    {"DBENTITY_PointsOnLine", 11},
    {"DBENTITY_PointsOnArc", 12},
    {"DBENTITY_IntersectPointOfArc", 13},
    {"DBENTITY_CentrePointOfArc", 14},
    {"DBENTITY_SlopeFromLine", 15},
    {"DBENTITY_SlopeFromArc", 16},
    {"DBENTITY_StationAndOffset", 17},
    {"DBENTITY_PositionOnRoad", 18},
    {"DBENTITY_SideSlopeFromAlignment", 19},
    {"DBENTITY_StationOnString", 20},
    {"DBENTITY_NearestRoadOffset", 21},
    {"DBENTITY_StationAlongString", 22},
    {"DBENTITY_ToTheDTM", 23},
    {"DBENTITY_StationOnAlignment", 24})

DBFIELD_ENUM(dbentity_OffsetElementType,
    {"DBENTITY_HorzAndVertDist", 0}, {"DBENTITY_GradeAndSlopeDist", 1},
    {"DBENTITY_GradeAndHorzDist", 2})

DBFIELD_ENUM(dbentity_RoadType,
    {"DBENTITY_QuorvelRoad", 0}, {"DBENTITY_GenioRoad", 1}, {"DBENTITY_LandXmlRoad", 2})

DBFIELD_ENUM(dbentity_SideSlopeHingeDerv,
    {"DBENTITY_HingeDervOffsetAndElev", 0}, {"DBENTITY_HingeDervOffsetAndSlope", 1},
    {"DBENTITY_HingeDervOffsetAndVDiff", 2})

// Scans and panoramas.
DBFIELD_ENUM(dbentity_SurfaceScanMethod,
    {"DBENTITY_SurfaceScanAngularStep", 0}, {"DBENTITY_SurfaceScanRectPlane", 1},
    {"DBENTITY_SurfaceScanLine", 2})

DBFIELD_ENUM(dbentity_SurfaceScanLineMethod,
    {"DBENTITY_SurfaceScanTwoPoints", 0}, {"DBENTITY_SurfaceScanBearingDistance", 1})

DBFIELD_ENUM(dbentity_ScanType,
    {"DBENTITY_ScanFullCircle", 0}, {"DBENTITY_ScanRectangle", 1},
    {"DBENTITY_ScanPolygon", 2})

// Exports that predate scan modes leave the child empty: high speed.
DBFIELD_ENUM_WITH_DEFAULT(dbentity_ScanMode, 0,
    {"DBENTITY_ScanModeHighSpeed", 0}, {"DBENTITY_ScanModeLongRangeTRK", 1},
    {"DBENTITY_ScanModeLongRangeSTD", 2})

DBFIELD_ENUM(dbentity_PanoramaMethod,
    {"DBENTITY_FullCircle", 0}, {"DBENTITY_PartialPanorama", 1})

// Road key-in.
DBFIELD_ENUM(dbroad_StartMethod,
    {"DBROAD_UserDefinedCoords", 0}, {"DBROAD_ExistingPoint", 1})

DBFIELD_ENUM(dbroad_KeyinStraightMethod,
    {"DBROAD_StraightByAzimuthAndLength", 0}, {"DBROAD_StraightByAzimuthAndEndStation", 1},
    {"DBROAD_StraightByUserDefinedCoords", 2}, {"DBROAD_StraightByExistingPoint", 3})

DBFIELD_ENUM(dbroad_KeyinArcMethod,
    {"DBROAD_ArcByRadiusAndLength", 0}, {"DBROAD_ArcByRadiusAndEndStation", 1},
    {"DBROAD_ArcByAngleAndRadius", 2}, {"DBROAD_ArcByAngleAndLength", 3},
    {"DBROAD_ArcByAngleAndEndStation", 4})

DBFIELD_ENUM(dbroad_KeyinSpiralMethod,
    {"DBROAD_SpiralByRadiusAndLength", 0}, {"DBROAD_SpiralByRadiusAndEndStation", 1})

DBFIELD_ENUM(dbroad_Pivot,
    {"DBROAD_PivotLeft", 0}, {"DBROAD_PivotCentre", 1}, {"DBROAD_PivotRight", 2})

DBFIELD_ENUM(dbroad_VerticalKeyinMethod,
    {"VerticalKeyin_VPI", 0}, {"VerticalKeyin_EndPoints", 1})
