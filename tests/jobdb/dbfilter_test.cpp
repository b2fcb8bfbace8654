#include "jobdb/dbfilter.h"

#include <gtest/gtest.h>

#include "records/dbRecordFields.h"
#include "records/entities.h"
#include "records/traverse.h"
#include "support/recording_environment.h"

namespace {

// A derivation code as the record holds it: first character in the low byte.
uint16_t Code(const char* text) {
    return static_cast<uint16_t>(static_cast<uint8_t>(text[0]) | static_cast<uint8_t>(text[1]) << 8);
}

enum : int32_t { None = -1, Check = 0, BackSight = 1, Stakeout = 2, Construction = 3, Normal = 4, MTA = 5,
                 Adjusted = 6, Averaged = 7, NetworkAdjusted = 8, Control = 9 };

struct PointCase {
    bool deleted;
    int32_t classification;
    int32_t method;
    const char* derivation;
    uint32_t category;
};

TEST(PointCategory, RulesInOrderThenByMethod) {
    const PointCase cases[] = {
        // The deleted flag comes first, then four classifications, then the method.
        {true, Stakeout, DBENTITY_CopiedPoint, "  ", 0x2},
        {true, Normal, DBENTITY_MeanTurnedAngle, "  ", 0x2},
        {false, Stakeout, DBENTITY_Coordinates, "  ", 0x100},
        {false, Stakeout, DBENTITY_CopiedPoint, "  ", 0x10000000},
        {false, Check, DBENTITY_CopiedPoint, "  ", 0x40000},
        {false, Check, DBENTITY_GpsStaticObs, "  ", 0x40000},
        {false, Construction, DBENTITY_Coordinates, "  ", 0x200},
        {false, Construction, DBENTITY_CopiedPoint, "  ", 0x4000000},
        {false, Adjusted, DBENTITY_Coordinates, "  ", 0x20000000},
        {false, Adjusted, DBENTITY_CopiedPoint, "  ", 0x40000000},
        {false, Normal, DBENTITY_Coordinates, "  ", 0x400},
        {false, Control, DBENTITY_Coordinates, "  ", 0x800},
        {false, NetworkAdjusted, DBENTITY_Coordinates, "  ", 0x800},
        {false, Normal, DBENTITY_FourPointInter, "  ", 0x100000},
        {false, Normal, DBENTITY_TurnedAngleDistance, "  ", 0x100000},
        {false, Normal, DBENTITY_DistDistInter, "  ", 0x100000},
        {false, Normal, DBENTITY_FromABaseline, "  ", 0x80000},
        {false, Normal, DBENTITY_BrngDistPoint, "  ", 0x80000},
        {false, Normal, DBENTITY_Gps2PtOffset, "  ", 0x80000},
        {false, Normal, DBENTITY_GpsStaticObs, "  ", 0x8},
        {false, Normal, DBENTITY_GpsLoggingInit, "  ", 0x8},
        {false, Normal, DBENTITY_GpsFastStaticObs, "  ", 0x8000},
        {false, Normal, DBENTITY_GpsRTKCtrlPoint, "  ", 0x4000},
        {false, Normal, DBENTITY_GpsRTKQuickMark, "  ", 0x200000},
        {false, Normal, DBENTITY_GpsStakeOutObs, "  ", 0x100},
        {false, Normal, DBENTITY_GpsCalibrationPt, "  ", 0x1000},
        {false, Normal, DBENTITY_GpsContDistancePt, "  ", 0x1000000},
        {false, Normal, DBENTITY_GpsContOffsetPt2, "  ", 0x1000000},
        {false, Normal, DBENTITY_CogoCalc, "  ", 0x2000},
        {false, Normal, DBENTITY_CogoAlignmentOffsetCalc, "  ", 0x2000},
        {false, Normal, DBENTITY_AzimuthOnly, "  ", 0x20000},
        // Conventional observations by derivation code.
        {false, Normal, DBENTITY_AngleOnly, "TP", 0x1000000},
        {false, Normal, DBENTITY_RemoteObjectBasePoint, "F1", 0x10},
        {false, Normal, DBENTITY_DirectReading, "IX", 0x100000},
        {false, Normal, DBENTITY_DirectReading, "  ", 0x20},
        {false, Normal, DBENTITY_DirectReading, "PT", 0x20},
        {false, Normal, DBENTITY_MatchedPairHidden, "  ", 0x2},
        {false, Normal, DBENTITY_MeanTurnedAngleHidden, "  ", 0x2},
        {false, Normal, DBENTITY_MeanTurnedAngle, "  ", 0x80},
        {false, Normal, DBENTITY_Resection, "  ", 0x800000},
        {false, Normal, DBENTITY_ReflineSetup, "  ", 0x800000},
        {false, Normal, DBENTITY_LaserOffset, "  ", 0x400000},
        {false, Normal, DBENTITY_CopiedPoint, "  ", 0x8000000},
        {false, Averaged, DBENTITY_CopiedPoint, "  ", 0x8000000},
        {false, BackSight, DBENTITY_CopiedPoint, "  ", 0x8000000},
        {false, MTA, DBENTITY_CopiedPoint, "  ", 0x8000000},
        {false, NetworkAdjusted, DBENTITY_CopiedPoint, "  ", 0x2000000},
        {false, Control, DBENTITY_CopiedPoint, "  ", 0x2000000},
        {false, Normal, DBENTITY_FromBase, "  ", 0x10000},
        {false, Normal, DBENTITY_TraverseAdjusted, "  ", 0x20000000},
        {false, Normal, DBENTITY_Unknown, "  ", 0},
        {false, Normal, DBENTITY_Gps4PtInter, "  ", 0},
        {false, Normal, DBENTITY_GpsCheckShot, "  ", 0},
        {false, Normal, DBENTITY_GpsSingleAutoPt, "  ", 0},
        {false, Normal, DBENTITY_GpsAverageAutoPt, "  ", 0},
        {false, Normal, DBENTITY_MatchedPair, "  ", 0},
        {false, Normal, DBENTITY_ResectionInProgress, "  ", 0},
        {false, Normal, 56, "  ", 0},
        {false, Normal, -1, "  ", 0},
    };
    RecordingEnvironment env;
    for (const PointCase& c : cases) {
        db_Observation point;
        point.Deleted = c.deleted;
        point.Classification = db_PointClassification(dbentity_Classification(c.classification));
        point.Method = c.method;
        point.Derivation = Code(c.derivation);
        EXPECT_EQ(dbfilter_GetPointCategory(point), c.category)
            << "classification " << c.classification << ", method " << c.method << ", code " << c.derivation;
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST(PointCategory, CopiedPointClassifiedNoneIsReportedAndTakesTheStaticBit) {
    RecordingEnvironment env;
    db_Observation point;
    point.Method = DBENTITY_CopiedPoint;
    EXPECT_EQ(dbfilter_GetPointCategory(point), 0x8u);
    ASSERT_EQ(env.assertions.size(), 1u);
    EXPECT_EQ(env.assertions[0].expression, "");
    EXPECT_EQ(env.assertions[0].module, "Library/dbfilter");
}

TEST(PointCategory, ClassificationPredicatesAnswerForTheirValueOnly) {
    using P = db_PointClassification;
    bool (P::*const predicates[])() const = {&P::IsCheck, &P::IsBackSight, &P::IsStakeout, &P::IsConstruction,
                                             &P::IsNormal, &P::IsMTA, &P::IsAdjusted, &P::IsAveraged};
    for (int32_t value = None; value <= Control; ++value) {
        const P classification{dbentity_Classification(value)};
        for (int32_t p = 0; p < 8; ++p) EXPECT_EQ((classification.*predicates[p])(), p == value) << value << " " << p;
        EXPECT_EQ(classification.IsNetworkAdjustedOrControl(), value == NetworkAdjusted || value == Control) << value;
    }
    EXPECT_EQ(P().value, None);
}

// Records of types whose classes live elsewhere: only their type and Deleted flag
// matter to a triple.
template <database_RecordType Type>
class DeletableRecord : public dbRecord_Body<DeletableRecord<Type>> {
public:
    static constexpr database_RecordType RecordType = Type;
    bool IsDeleted() const override { return Deleted; }
    bool Deleted = false;
    using Fields = dbfield_List<>;
};

TEST(FilterTriples, EachKindDeletedAndNot) {
    for (bool deleted : {false, true}) {
        db_Line line;
        line.Deleted = deleted;
        db_Arc arc;
        arc.Deleted = deleted;
        db_Traverse traverse;
        traverse.Deleted = deleted;
        DeletableRecord<DATABASE_LocalTransformationRecord> transformation;
        transformation.Deleted = deleted;
        DeletableRecord<DATABASE_StationRecord> station;
        station.Deleted = deleted;
        DeletableRecord<DATABASE_BackBearingRecord> backBearing;
        backBearing.Deleted = deleted;
        const uint32_t state = deleted ? 2 : 4;
        SCOPED_TRACE(deleted ? "deleted" : "not deleted");
        EXPECT_EQ(dbfilter_GetLineTriple(line), (dbFilterTriple{4, state, 1}));
        EXPECT_EQ(dbfilter_GetArcTriple(arc), (dbFilterTriple{8, state, 1}));
        EXPECT_EQ(dbfilter_GetLocalTransformationTriple(transformation), (dbFilterTriple{16, state, 1}));
        // These three ignore the record.
        EXPECT_EQ(dbfilter_GetTraverseTriple(traverse), (dbFilterTriple{64, 4, 1}));
        EXPECT_EQ(dbfilter_GetStationTriple(station), (dbFilterTriple{128, 4, 1}));
        EXPECT_EQ(dbfilter_GetBackBearingTriple(backBearing), (dbFilterTriple{1, 4, 1}));
    }
    dbFilterTriple triple;
    EXPECT_EQ(triple, (dbFilterTriple{1, 1, 1}));
    triple.Set(3, 0x401, 0x4000);
    EXPECT_EQ(triple, (dbFilterTriple{3, 0x401, 0x4000}));
}

}  // namespace
