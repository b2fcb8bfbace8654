#include <gtest/gtest.h>

#include "job_fixture.h"
#include "records/conventional.h"
#include "records/editactions.h"
#include "records/entities.h"
#include "records/gnsssettings.h"
#include "records/measurements.h"

namespace {

constexpr int A = DBMODEL_Append, P = DBMODEL_Apply;
constexpr int kObservation = DATABASE_ObservationRecord, kTarget = DATABASE_TargetRecord,
              kAntenna = DATABASE_AntennaRecord, kDBID = DATABASE_DBIDActionRecord;

using JobEditRecords = JobFileTest;

db_Observation Point(const char* name) {
    db_Observation point;
    point.PointName = name;
    return point;
}

TEST_F(JobEditRecords, EachEditIsOneApplyAimedAtItsTargetAndConsumesAnId) {
    db_Observation point = Point("P1");
    ASSERT_EQ(job.AddRecord(&point), DBID(2));
    FeatureArray features;
    features.ParseCodeString("TREE", false);
    EXPECT_EQ(job.ApplyBoolAction(2, db_BoolAction::Delete), DBID(3));
    EXPECT_EQ(job.SetRecordFeatures(2, features), DBID(4));
    EXPECT_EQ(job.ApplyDBID(2, 9), DBID(5));
    EXPECT_EQ(job.ApplyStr(2, "P2", 0), DBID(6));
    EXPECT_EQ(job.AddRecord(&point), DBID(7));

    const std::vector<TransactionSeen> expected = {
        {{A, 0, 0, 1}},
        {{A, 0, kObservation, 2}},
        {{P, 2, DATABASE_BoolActionRecord, 3}},
        {{P, 2, DATABASE_FeaturesActionRecord, 4}},
        {{P, 2, kDBID, 5}},
        {{P, 2, DATABASE_StrActionRecord, 6}},
        {{A, 0, kObservation, 7}},
    };
    EXPECT_EQ(commits, std::vector<TransactionSeen>(expected.begin() + 1, expected.end()));
    EXPECT_EQ(CloseAndRead(), expected);
}

TEST_F(JobEditRecords, EditsChangeTheStoredRecord) {
    db_Observation point = Point("P1");
    job.AddRecord(&point);
    FeatureArray features;
    features.ParseCodeString("TREE FENCE", false);
    job.SetRecordFeatures(2, features);
    job.ApplyStr(2, "P9", 0);
    job.ApplyBoolAction(2, db_BoolAction::Delete);
    const db_Observation* stored = db_Observation::Cast(job.GetRecord(2));
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->GetFeatureCodes(), "TREE FENCE");
    EXPECT_EQ(stored->PointName, "P9");
    EXPECT_TRUE(stored->IsDeleted());
    job.ApplyBoolAction(2, db_BoolAction::Undelete);
    EXPECT_FALSE(stored->IsDeleted());
    EXPECT_TRUE(env.assertions.empty());
}

db_Target Target(const char* name, double prismConstant) {
    db_Target target;
    target.Name = name;
    target.Target.Prism.PrismConstant = prismConstant;
    return target;
}

TEST_F(JobEditRecords, AStoredTargetIsShownToTheEnvironment) {
    const db_Target target = Target("T", -0.03);
    EXPECT_EQ(job.AddTargetIfChanged(&target), DBID(2));
    // The job index finds the newest target of the name: an equal one is not stored again.
    EXPECT_EQ(job.AddTargetIfChanged(&target), DBID(2));
    const db_Target changed = Target("T", -0.035);
    EXPECT_EQ(job.AddTargetIfChanged(&changed), DBID(3));
    EXPECT_EQ(job.AddTargetIfChanged(&changed), DBID(3));
    EXPECT_EQ(job.AddTargetIfChanged(&target), DBID(4)) << "compared with the newest only";
    const db_Target other = Target("U", -0.03);
    EXPECT_EQ(job.AddTargetIfChanged(&other), DBID(5));
    EXPECT_EQ(env.featuresAdded, (std::vector<const dbRecord_Class*>{&target, &changed, &target, &other}));
    EXPECT_TRUE(env.assertions.empty());
    const std::vector<TransactionSeen> stored = CloseAndRead();
    ASSERT_EQ(stored.size(), 5u);
    for (uint32_t id = 2; id <= 5; ++id)
        EXPECT_EQ(stored[id - 1], (TransactionSeen{{DBMODEL_Append, 0, DATABASE_TargetRecord, id}})) << id;
}

// 2 target T, 3 point P1 on T, 4 point P2 on T, 5 point P3 on another target 9,
// 6 point P4 on T.
class JobChangeTarget : public JobFileTest {
protected:
    void SetUp() override {
        JobFileTest::SetUp();
        const db_Target target = Target("T1", -0.03);
        job.AddRecord(&target);
        AddPoint("P1", 2);
        AddPoint("P2", 2);
        AddPoint("P3", 9);
        AddPoint("P4", 2);
        commits.clear();
    }
    void AddPoint(const char* name, int target) {
        db_Observation point = Point(name);
        db_Circle circle;
        circle.Target = target;
        point.AttachMeasurement(&circle);
        job.AddRecord(&point);
    }
    DBID TargetOf(DBID point) {
        const db_Observation* stored = db_Observation::Cast(job.GetRecord(point));
        const db_Circle* circle = stored ? db_Circle::Cast(stored->GetMeasurement()) : nullptr;
        return circle ? circle->Target : NODBID;
    }
};

TEST_F(JobChangeTarget, StoresTheNewTargetThenACopyOfTheOldForLaterObservations) {
    const db_Target fresh = Target("T2", -0.0175);
    EXPECT_EQ(job.ChangeTarget(4, &fresh), DBID(7));
    const std::vector<TransactionSeen> expected = {
        {{A, 0, kTarget, 7}},
        {{P, 4, kDBID, 8}},
        {{A, 0, kTarget, 9}},
        // P4 shared the old target and is relinked to its copy; P3 had another one.
        {{P, 6, kDBID, 10}},
    };
    EXPECT_EQ(commits, expected);
    const db_Target* copy = db_Target::Cast(job.GetRecord(9));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Name, "T1");
    // The copy is the old target, within the prism tolerance and no further.
    EXPECT_TRUE(copy->IsEqual(Target("T1", -0.030009)));
    EXPECT_FALSE(copy->IsEqual(Target("T1", -0.03002)));
    EXPECT_TRUE(job.GetRecord(7)->IsEqual(fresh));
    EXPECT_TRUE(env.assertions.empty());

    EXPECT_EQ(TargetOf(3), DBID(2));
    EXPECT_EQ(TargetOf(4), DBID(7));
    EXPECT_EQ(TargetOf(5), DBID(9));
    EXPECT_EQ(TargetOf(6), DBID(9));
}

TEST_F(JobChangeTarget, InsideAGroupEverythingCommitsTogether) {
    db_Target fresh;
    job.BeginGroup();
    job.ChangeTarget(6, &fresh);
    job.EndGroup();
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0], (TransactionSeen{{A, 0, kTarget, 7}, {P, 6, kDBID, 8}, {A, 0, kTarget, 9}}));
}

TEST_F(JobChangeTarget, MissingObservationOrLinkChangesNothing) {
    db_Target fresh;
    EXPECT_EQ(job.ChangeTarget(2, &fresh), NODBID);   // not an observation
    EXPECT_EQ(job.ChangeTarget(5, &fresh), NODBID);   // its target 9 is not in the job
    EXPECT_EQ(job.ChangeAntenna(3, &fresh), NODBID);  // a circle reading has no antenna
    EXPECT_EQ(job.ChangeTarget(3, nullptr), NODBID);
    EXPECT_TRUE(commits.empty());
    EXPECT_EQ(env.Expressions(),
              (std::vector<std::string>{"observation", "oldTargetPtr", "oldAntennaPtr", "newRecord != NULL"}));
    // Nothing consumed an id.
    db_Observation point = Point("P5");
    EXPECT_EQ(job.AddRecord(&point), DBID(7));
}

TEST_F(JobEditRecords, ChangeAntennaFollowsTheGnssMeasurementsLink) {
    db_Antenna antenna;
    antenna.MeasuredHeight = 1.5;
    job.AddRecord(&antenna);  // 2
    db_Observation point = Point("G1");
    db_ECEFDeltas vector;
    vector.Antenna = 2;
    point.AttachMeasurement(&vector);
    job.AddRecord(&point);  // 3
    db_Observation later = Point("G2");
    db_ECEF position;
    position.Antenna = 2;
    later.AttachMeasurement(&position);
    job.AddRecord(&later);  // 4
    commits.clear();

    db_Antenna fresh;
    fresh.MeasuredHeight = 2.0;
    EXPECT_EQ(job.ChangeAntenna(3, &fresh), DBID(5));
    const std::vector<TransactionSeen> expected = {
        {{A, 0, kAntenna, 5}}, {{P, 3, kDBID, 6}}, {{A, 0, kAntenna, 7}}, {{P, 4, kDBID, 8}}};
    EXPECT_EQ(commits, expected);
    const db_Antenna* copy = db_Antenna::Cast(job.GetRecord(7));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->MeasuredHeight, 1.5);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(JobEditRecords, AnAntennaIsStoredWhenChangedAndTakesItsEquipmentByEdit) {
    db_Antenna antenna;
    antenna.MeasuredHeight = 1.5;
    EXPECT_EQ(job.AddAntennaIfChanged(&antenna), DBID(2));
    EXPECT_EQ(job.AddAntennaIfChanged(&antenna), DBID(2));
    antenna.APCType = 1;
    EXPECT_EQ(job.AddAntennaIfChanged(&antenna), DBID(3));
    EXPECT_EQ(job.ApplyDBID(3, 9), DBID(4));
    const db_Antenna* stored = db_Antenna::Cast(job.GetRecord(3));
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->Equipment, DBID(9));
    EXPECT_EQ(stored->MeasuredHeight, 1.5);
    EXPECT_EQ(stored->APCType, 1);
    EXPECT_TRUE(env.assertions.empty());
}

}  // namespace
