#include <gtest/gtest.h>

#include "job_fixture.h"
#include "records/cogo.h"
#include "records/dbRecordFields.h"
#include "records/gnsssettings.h"
#include "records/stakeoutsettings.h"

namespace {

constexpr int A = DBMODEL_Append, R = DBMODEL_Replace, P = DBMODEL_Apply, X = DBMODEL_Remove;
constexpr int kNote = DATABASE_NoteRecord, kInverse = DATABASE_InverseRecord, kEnd = DATABASE_EndEntityRecord;

using JobEdits = JobFileTest;

db_Inverse Inverse(const char* target) {
    db_Inverse record;
    record.TargetPoint = target;
    return record;
}

db_Note Note(const char* text) {
    db_Note note;
    note.SetNotes(text);
    return note;
}

TEST_F(JobEdits, AddRecordCommitsAloneAndAppendRecordJoinsAnOpenGroup) {
    db_Inverse a = Inverse("A"), b = Inverse("B"), c = Inverse("C");
    EXPECT_EQ(job.AddRecord(&a), DBID(2));
    job.BeginGroup();
    EXPECT_EQ(job.AppendRecord(&b), DBID(3));
    EXPECT_EQ(job.AddRecord(&c), DBID(4));  // nested: joins the open group too
    EXPECT_EQ(job.GetRecord(3), nullptr);   // not committed yet
    job.EndGroup();
    EXPECT_EQ(job.AppendRecord(&a), DBID(5));
    ASSERT_NE(job.GetRecord(4), nullptr);
    EXPECT_EQ(db_Inverse::Cast(job.GetRecord(4))->TargetPoint, "C");
    EXPECT_EQ(a.GetRecordId(), NODBID);  // the caller's record is left as it was

    const std::vector<TransactionSeen> expected = {
        {{A, 0, 0, 1}},
        {{A, 0, kInverse, 2}},
        {{A, 0, kInverse, 3}, {A, 0, kInverse, 4}},
        {{A, 0, kInverse, 5}},
    };
    EXPECT_EQ(CloseAndRead(), expected);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(JobEdits, AbortedGroupLeavesTheModelAndHandsItsIdsOutAgain) {
    db_Inverse a = Inverse("A");
    job.BeginGroup();
    job.AppendRecord(&a);
    job.AbortGroup();
    EXPECT_EQ(job.GetRecord(2), nullptr);
    EXPECT_EQ(job.AddRecord(&a), DBID(2));
    EXPECT_EQ(commits.size(), 1u);
}

TEST_F(JobEdits, EntityTakesThePendingNotesAndCommitsWithItsEndMarker) {
    StrArray lines;
    lines.Add("first");
    lines.Add("second");
    job.AddPendingNoteLines(lines);
    db_Inverse head = Inverse("P1"), inner = Inverse("P2");
    EXPECT_EQ(job.BeginEntity(&head), DBID(2));
    EXPECT_EQ(head.GetNotes(), "first\r\nsecond\r\n");
    EXPECT_EQ(job.GetPendingNoteLines().Count(), 0);
    EXPECT_TRUE(job.InTransaction());
    job.AddRecord(&inner);
    EXPECT_TRUE(commits.empty());
    EXPECT_EQ(job.EndEntity(), DBID(4));
    EXPECT_FALSE(job.InTransaction());

    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0], (TransactionSeen{{A, 0, kInverse, 2}, {A, 0, kInverse, 3}, {A, 0, kEnd, 4}}));
    EXPECT_EQ(job.GetRecord(2)->GetNotes(), "first\r\nsecond\r\n");
    // The lines went to the entity, so Close stores no note of its own.
    EXPECT_EQ(CloseAndRead().size(), 2u);
}

TEST_F(JobEdits, EndEntityWithoutAnOpenEntityStoresNothing) {
    EXPECT_EQ(job.EndEntity(), NODBID);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"InGroup()"});
    db_Inverse a = Inverse("A");
    EXPECT_EQ(job.AddRecord(&a), DBID(2));
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0], (TransactionSeen{{A, 0, kInverse, 2}}));
}

TEST_F(JobEdits, EndEntityMarkingObservationEndsTheEntityWithoutAnIndexObject) {
    db_Inverse head = Inverse("P1");
    job.BeginEntity(&head);
    EXPECT_EQ(job.EndEntityMarkingObservation(), DBID(3));
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0].back(), (ActionSeen{A, 0, kEnd, 3}));
    EXPECT_TRUE(env.assertions.empty());
}

// The chain 2 inverse, 3 note, 4 inverse, 5 inverse, 6 end, 7 inverse.
class JobDeleteEntity : public JobFileTest {
protected:
    void SetUp() override {
        JobFileTest::SetUp();
        db_Inverse inverse = Inverse("P");
        db_Note note = Note("n");
        db_EndEntity end;
        job.AddRecord(&inverse);
        job.AddRecord(&note);
        job.AddRecord(&inverse);
        job.AddRecord(&inverse);
        job.AddRecord(&end);
        job.AddRecord(&inverse);
        commits.clear();
    }
    std::vector<uint32_t> Chain() {
        std::vector<uint32_t> ids;
        for (DBID id = job.GetAccess()->GetFirstId(); id != NODBID; id = job.GetAccess()->GetNextId(id))
            ids.push_back(id.Value());
        return ids;
    }
};

TEST_F(JobDeleteEntity, RemovesTheRunThroughItsEndMarkerInOneTransactionButKeepsNotes) {
    job.DeleteEntity(2);
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0], (TransactionSeen{{X, 2, kInverse, 2}, {X, 3, kNote, 3}, {X, 4, kInverse, 4},
                                           {X, 5, kInverse, 5}, {X, 6, kEnd, 6}}));
    EXPECT_EQ(Chain(), (std::vector<uint32_t>{1, 3, 7}));
    // The model refuses to remove a note and says so.
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"!\"Bad action\""});
}

TEST_F(JobDeleteEntity, AnEndMarkerRemovesOnlyItself) {
    job.DeleteEntity(6);
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0], (TransactionSeen{{X, 6, kEnd, 6}}));
    EXPECT_EQ(Chain(), (std::vector<uint32_t>{1, 2, 3, 4, 5, 7}));
}

TEST_F(JobDeleteEntity, StopsAtTheEndOfTheChainAndNeverWalksRemovedRecords) {
    job.DeleteEntity(7);  // no end marker behind it
    EXPECT_EQ(Chain(), (std::vector<uint32_t>{1, 2, 3, 4, 5, 6}));
    // Record 5 now links to nothing live behind 6; a removed start does nothing.
    job.DeleteEntity(7);
    ASSERT_EQ(commits.size(), 1u);
    job.DeleteEntity(NODBID);
    EXPECT_EQ(env.Expressions().back(), "recordId != NODBID");
    EXPECT_EQ(commits.size(), 1u);
}

TEST_F(JobEdits, NoteEditsRewriteTheTargetsNotesAndConsumeAnId) {
    db_Inverse a = Inverse("A");
    a.SetNotes("one\r\ntwo");
    job.AddRecord(&a);
    job.PrependNoteLine(2, "zero");
    EXPECT_EQ(job.GetRecord(2)->GetNotes(), "zero\r\none\r\ntwo\r\n");
    StrArray more;
    more.Add("three");
    job.AppendNoteLines(2, more);
    EXPECT_EQ(job.GetRecord(2)->GetNotes(), "zero\r\none\r\ntwo\r\nthree\r\n");
    db_Note replacement = Note("only");
    EXPECT_EQ(job.ChangeRecord(2, replacement), DBID(5));
    EXPECT_EQ(job.GetRecord(2)->GetNotes(), "only");

    // A missing target changes nothing and journals nothing.
    job.PrependNoteLine(99, "x");
    job.AppendNoteLines(99, more);
    EXPECT_EQ(job.AddRecord(&a), DBID(6));

    const std::vector<TransactionSeen> expected = {
        {{A, 0, 0, 1}}, {{A, 0, kInverse, 2}}, {{P, 2, kNote, 3}}, {{P, 2, kNote, 4}},
        {{P, 2, kNote, 5}}, {{A, 0, kInverse, 6}},
    };
    EXPECT_EQ(CloseAndRead(), expected);
}

TEST_F(JobEdits, CloseStoresPendingLinesAsOneNote) {
    StrArray lines;
    lines.Add("a");
    lines.Add("b");
    job.AddPendingNoteLines(lines);
    const std::vector<TransactionSeen> file = CloseAndRead();
    ASSERT_EQ(file.size(), 2u);
    EXPECT_EQ(file[1], (TransactionSeen{{A, 0, kNote, 2}}));
}

TEST_F(JobEdits, CurrentFeaturesAndDescriptions) {
    FeatureArray features;
    features.ParseCodeString("TREE FENCE", false);
    job.SetCurrentFeatures(features);
    dbrecord_Descriptions descriptions;
    descriptions.Description1 = "d1";
    job.SetCurrentDescriptions(descriptions);
    EXPECT_EQ(job.GetCurrentFeatures().GetCodeString(), "TREE FENCE");
    EXPECT_EQ(job.GetCurrentDescriptions().Description1, "d1");
    job.ClearCurrentFeatures();
    EXPECT_EQ(job.GetCurrentFeatures().Count(), 0);
    EXPECT_FALSE(job.GetCurrentDescriptions().IsSet());
}

TEST_F(JobEdits, EquipmentIsStoredOnlyWhenChangedOrBehindAnEndOfStyle) {
    db_Equipment e;
    e.ReceiverSerialNo = "7";
    EXPECT_EQ(job.AddEquipmentIfChanged(&e), DBID(2));  // none yet
    EXPECT_EQ(job.AddEquipmentIfChanged(&e), DBID(2));  // equal: the current one
    e.ReceiverSerialNo = "8";
    EXPECT_EQ(job.AddEquipmentIfChanged(&e), DBID(3));  // changed
    db_EndSurveyStyle end;
    job.AddRecord(&end);
    EXPECT_EQ(job.AddEquipmentIfChanged(&e), DBID(5));  // equal, but from before the style ended
    EXPECT_EQ(job.AddEquipmentIfChanged(&e), DBID(5));
    EXPECT_EQ(commits.size(), 4u);
    EXPECT_TRUE(env.featuresAdded.empty());
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(JobEdits, ChangedOnlyStoresRefuseARecordOfAnotherType) {
    db_Inverse a = Inverse("A");
    EXPECT_EQ(job.AddEquipmentIfChanged(&a), NODBID);
    EXPECT_EQ(job.AddAntennaIfChanged(&a), NODBID);
    EXPECT_EQ(job.AddTargetIfChanged(nullptr), NODBID);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"record->GetType () == DATABASE_EquipmentRecord",
                                                          "record->GetType () == DATABASE_AntennaRecord",
                                                          "record->GetType () == DATABASE_TargetRecord"}));
    EXPECT_TRUE(commits.empty());
}

TEST(JobEditsWithoutFile, StoreNothingAndReport) {
    RecordingEnvironment env;
    JobDatabase job;
    db_Note note = Note("n");
    EXPECT_EQ(job.AddRecord(&note), NODBID);
    EXPECT_EQ(job.AppendRecord(&note), NODBID);
    EXPECT_EQ(job.GetRecord(1), nullptr);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"_Access != NULL", "_Access != NULL"}));
}

}  // namespace
