#include "jobdb/dbfilter.h"

#include "foundation/environment.h"
#include "records/entities.h"
#include "records/traverse.h"

namespace {
constexpr const char* kModule = "Library/dbfilter";

// Derivation codes as one word: first character in the low byte, zero above.
constexpr uint32_t DerivationCode(char first, char second) {
    return static_cast<uint8_t>(first) | static_cast<uint32_t>(static_cast<uint8_t>(second)) << 8;
}

// The category of a point by its method alone, for the classifications that do not
// decide it first.
uint32_t CategoryByMethod(const db_Observation& point) {
    const db_PointClassification& classification = point.Classification;
    switch (point.Method) {
    case DBENTITY_Coordinates:
        return classification.IsNetworkAdjustedOrControl() ? 0x800 : 0x400;
    case DBENTITY_FourPointInter:
    case DBENTITY_TurnedAngleDistance:
    case DBENTITY_BrngDistPtInter:
    case DBENTITY_BrngVerticalPlaneInter:
    case DBENTITY_BrngDistInter:
    case DBENTITY_BrngBrngInter:
    case DBENTITY_DistDistInter:
        return 0x100000;
    case DBENTITY_FromABaseline:
    case DBENTITY_BrngDistPoint:
    case DBENTITY_Gps2PtOffset:
        return 0x80000;
    case DBENTITY_GpsStaticObs:
    case DBENTITY_GpsLoggingInit:
        return 0x8;
    case DBENTITY_GpsFastStaticObs:
        return 0x8000;
    case DBENTITY_GpsRTKCtrlPoint:
        return 0x4000;
    case DBENTITY_GpsRTKQuickMark:
        return 0x200000;
    case DBENTITY_GpsStakeOutObs:
        return 0x100;
    case DBENTITY_GpsCalibrationPt:
        return 0x1000;
    case DBENTITY_GpsContDistancePt:
    case DBENTITY_GpsContTimePt:
    case DBENTITY_GpsContDistAndTimePt:
    case DBENTITY_GpsContDistOrTimePt:
    case DBENTITY_GpsContStopAndGoPt:
    case DBENTITY_GpsContOffsetPt1:
    case DBENTITY_GpsContOffsetPt2:
        return 0x1000000;
    case DBENTITY_CogoCalc:
    case DBENTITY_CogoAlignmentOffsetCalc:
        return 0x2000;
    case DBENTITY_AzimuthOnly:
        return 0x20000;
    case DBENTITY_AngleOnly:
    case DBENTITY_HAngleOnly:
    case DBENTITY_DirectReading:
    case DBENTITY_AvgMeasurements:
    case DBENTITY_AngleOffset:
    case DBENTITY_HAngleOffset:
    case DBENTITY_VAngleOffset:
    case DBENTITY_DistanceOffset:
    case DBENTITY_TwoPointOffset:
    case DBENTITY_RadialAndTangent:
    case DBENTITY_RemoteObject:
    case DBENTITY_RemoteObjectBasePoint: {
        const uint32_t code = point.Derivation;
        if (code == DerivationCode('T', 'P')) return 0x1000000;
        if (code == DerivationCode('F', '1')) return 0x10;
        if (code == DerivationCode('I', 'X')) return 0x100000;
        return 0x20;
    }
    case DBENTITY_MatchedPairHidden:
    case DBENTITY_MeanTurnedAngleHidden:
        return 0x2;
    case DBENTITY_MeanTurnedAngle:
        return 0x80;
    case DBENTITY_Resection:
    case DBENTITY_ReflineSetup:
        return 0x800000;
    case DBENTITY_LaserOffset:
        return 0x400000;
    case DBENTITY_CopiedPoint:
        if (classification.IsNormal() || classification.IsAveraged() || classification.IsBackSight() ||
            classification.IsMTA())
            return 0x8000000;
        if (classification.IsNetworkAdjustedOrControl()) return 0x2000000;
        // A copied point classified None has no category of its own.
        QZ_FAIL("");
        return 0x8;
    case DBENTITY_FromBase:
        return 0x10000;
    case DBENTITY_TraverseAdjusted:
        return 0x20000000;
    default:
        return 0;
    }
}

dbFilterTriple Triple(uint32_t kind, uint32_t category) {
    dbFilterTriple triple;
    triple.Set(kind, category, 1);
    return triple;
}

uint32_t DeletedCategory(const dbRecord_Class& record) { return record.IsDeleted() ? 2 : 4; }
}  // namespace

uint32_t dbfilter_GetPointCategory(const db_Observation& point) {
    const db_PointClassification& classification = point.Classification;
    const bool copied = point.Method == DBENTITY_CopiedPoint;
    if (point.Deleted) return 0x2;
    if (classification.IsStakeout()) return copied ? 0x10000000 : 0x100;
    if (classification.IsCheck()) return 0x40000;
    if (classification.IsConstruction()) return copied ? 0x4000000 : 0x200;
    if (classification.IsAdjusted()) return copied ? 0x40000000 : 0x20000000;
    return CategoryByMethod(point);
}

dbFilterTriple dbfilter_GetLineTriple(const db_Line& line) { return Triple(4, DeletedCategory(line)); }

dbFilterTriple dbfilter_GetArcTriple(const db_Arc& arc) { return Triple(8, DeletedCategory(arc)); }

dbFilterTriple dbfilter_GetLocalTransformationTriple(const dbRecord_Class& transformation) {
    return Triple(16, DeletedCategory(transformation));
}

dbFilterTriple dbfilter_GetTraverseTriple(const db_Traverse&) { return Triple(64, 4); }

dbFilterTriple dbfilter_GetStationTriple(const dbRecord_Class&) { return Triple(128, 4); }

dbFilterTriple dbfilter_GetBackBearingTriple(const dbRecord_Class&) { return Triple(1, 4); }
