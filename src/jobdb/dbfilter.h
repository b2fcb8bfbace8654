// dbfilter: the filter triple that every index object carries, and the functions that
// work out its first two words from a record.
//
// A triple is three 32-bit words: the kind of indexed thing (points 3, lines 4, arcs 8,
// local transformations 16, traverses 64, stations 128, back bearings 1), its category
// bits (for a point one bit of dbfilter_GetPointCategory, for anything else 2 when the
// record is deleted and 4 when not) and its status bits (1 as built here; the job index
// adds its own). Filtered selections keep or drop objects by these words.
#pragma once

#include <cstdint>

class dbRecord_Class;
class db_Observation;
class db_Line;
class db_Arc;
class db_Traverse;

// How a point observation was measured or computed.
enum dbentity_PointMethod : int32_t {
    DBENTITY_Unknown = 0,
    DBENTITY_Coordinates = 1,
    DBENTITY_FourPointInter = 2,
    DBENTITY_FromABaseline = 3,
    DBENTITY_BrngDistPoint = 4,
    DBENTITY_TurnedAngleDistance = 5,
    DBENTITY_BrngDistPtInter = 6,
    DBENTITY_BrngVerticalPlaneInter = 7,
    DBENTITY_BrngDistInter = 8,
    DBENTITY_BrngBrngInter = 9,
    DBENTITY_DistDistInter = 10,
    DBENTITY_GpsStaticObs = 11,
    DBENTITY_GpsFastStaticObs = 12,
    DBENTITY_GpsRTKCtrlPoint = 13,
    DBENTITY_GpsRTKQuickMark = 14,
    DBENTITY_Gps2PtOffset = 15,
    DBENTITY_Gps4PtInter = 16,
    DBENTITY_GpsCheckShot = 17,
    DBENTITY_GpsLoggingInit = 18,
    DBENTITY_GpsStakeOutObs = 19,
    DBENTITY_GpsCalibrationPt = 20,
    DBENTITY_GpsSingleAutoPt = 21,
    DBENTITY_GpsAverageAutoPt = 22,
    DBENTITY_GpsContDistancePt = 23,
    DBENTITY_GpsContTimePt = 24,
    DBENTITY_GpsContDistAndTimePt = 25,
    DBENTITY_GpsContDistOrTimePt = 26,
    DBENTITY_GpsContStopAndGoPt = 27,
    DBENTITY_GpsContOffsetPt1 = 28,
    DBENTITY_GpsContOffsetPt2 = 29,
    DBENTITY_CogoCalc = 30,
    DBENTITY_CogoAlignmentOffsetCalc = 31,
    DBENTITY_AzimuthOnly = 32,
    DBENTITY_AngleOnly = 33,
    DBENTITY_HAngleOnly = 34,
    DBENTITY_DirectReading = 35,
    DBENTITY_AvgMeasurements = 36,
    DBENTITY_AngleOffset = 37,
    DBENTITY_HAngleOffset = 38,
    DBENTITY_VAngleOffset = 39,
    DBENTITY_DistanceOffset = 40,
    DBENTITY_TwoPointOffset = 41,
    DBENTITY_RadialAndTangent = 42,
    DBENTITY_RemoteObject = 43,
    DBENTITY_RemoteObjectBasePoint = 44,
    DBENTITY_MatchedPair = 45,
    DBENTITY_MatchedPairHidden = 46,
    DBENTITY_MeanTurnedAngle = 47,
    DBENTITY_MeanTurnedAngleHidden = 48,
    DBENTITY_Resection = 49,
    DBENTITY_ResectionInProgress = 50,
    DBENTITY_LaserOffset = 51,
    DBENTITY_CopiedPoint = 52,
    DBENTITY_FromBase = 53,
    DBENTITY_TraverseAdjusted = 54,
    DBENTITY_ReflineSetup = 55,
};

struct dbFilterTriple {
    void Set(uint32_t kind, uint32_t category, uint32_t status) {
        Kind = kind;
        Category = category;
        Status = status;
    }
    bool operator==(const dbFilterTriple&) const = default;

    uint32_t Kind = 1;
    uint32_t Category = 1;
    uint32_t Status = 1;
};

// The one category bit of a point observation, 0 for none.
uint32_t dbfilter_GetPointCategory(const db_Observation& point);

// The fixed triples of the other indexed records. Only the record's own Deleted flag
// is read, and only where the triple depends on it.
dbFilterTriple dbfilter_GetLineTriple(const db_Line& line);
dbFilterTriple dbfilter_GetArcTriple(const db_Arc& arc);
dbFilterTriple dbfilter_GetLocalTransformationTriple(const dbRecord_Class& transformation);
dbFilterTriple dbfilter_GetTraverseTriple(const db_Traverse& traverse);
dbFilterTriple dbfilter_GetStationTriple(const dbRecord_Class& station);
dbFilterTriple dbfilter_GetBackBearingTriple(const dbRecord_Class& backBearing);
