#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "jobdb/dbaccess.h"
#include "jobdb/jobdb_fixture.h"
#include "platform/time.h"
#include "records/entities.h"
#include "support/recording_environment.h"
#include "support/str_print.h"
#include "support/temp_folder.h"

using namespace jobdb_test;

namespace {

class CountingListener : public dbListener {
public:
    void Committed(dbTransaction& transaction) override { committed.push_back(transaction.Count()); }
    void Aborted(dbTransaction& transaction) override { aborted.push_back(transaction.Count()); }
    std::vector<int> committed;
    std::vector<int> aborted;
};

class AccessTest : public ::testing::Test {
protected:
    AccessTest() { platform_FixTime(1700000000); }
    ~AccessTest() override {
        if (access.InGroup()) {
            while (access.GetGroupNestCount() > 1) access.EndGroupNested();
            access.EndGroupNested();
        }
        if (access.IsOpen()) access.Close();
    }

    std::string Path(const char* name = "job.job") const { return folder / name; }

    // A new job holding its header as record 1.
    void CreateJob() {
        ASSERT_TRUE(access.CreateFile(Path().c_str(), filehdr_Class(FILEHDR_Journal)));
        db_JobHeader header = Header("Job");
        access.BeginGroupNested();
        ASSERT_EQ(access.AddAction(DBMODEL_Append, NODBID, &header), DBID(1));
        access.EndGroupNested();
    }

    DBID Append(const char* text) {
        db_Note note = Note(text, 0);
        return access.AddAction(DBMODEL_Append, NODBID, &note);
    }

    std::vector<uint32_t> ChainIds() const {
        std::vector<uint32_t> ids;
        for (DBID id = access.GetFirstId(); id != NODBID; id = access.GetNextId(id)) ids.push_back(id.Value());
        return ids;
    }

    TempFolder folder;
    RecordingEnvironment env;
    dbAccess access;
};

// ------------------------------------------------------------------ record ids

struct IdCase {
    const char* name;
    const char* steps;  // A append, I insert before 1, P apply a note to 1, R replace 1,
                        // D remove 1, B begin, E end, X abort
    std::vector<uint32_t> ids;
    std::vector<uint32_t> chain;  // after everything has ended
};

class IdRules : public AccessTest, public ::testing::WithParamInterface<IdCase> {};

TEST_P(IdRules, IdsFollowTheRules) {
    CreateJob();
    const IdCase& c = GetParam();
    std::vector<uint32_t> ids;
    DBID last;
    for (const char* s = c.steps; *s; ++s) {
        db_Note note = Note("x", 0);
        switch (*s) {
        case 'B': access.BeginGroupNested(); continue;
        case 'E': access.EndGroupNested(); continue;
        case 'X': access.AbortGroupNested(); continue;
        case 'A': last = access.AddAction(DBMODEL_Append, NODBID, &note); break;
        case 'I': last = access.AddAction(DBMODEL_InsertBefore, DBID(1), &note); break;
        case 'P': last = access.AddAction(DBMODEL_Apply, DBID(1), &note); break;
        case 'R': {
            db_JobHeader header = Header("New", 0);
            last = access.AddAction(DBMODEL_Replace, DBID(1), &header);
            break;
        }
        case 'D': {
            const dbRecord_Class* stored = access.GetRecord(DBID(1));
            ASSERT_NE(stored, nullptr);
            last = access.AddAction(DBMODEL_Remove, DBID(1), stored);
            break;
        }
        default: FAIL() << "bad step";
        }
        ids.push_back(last.Value());
    }
    EXPECT_EQ(ids, c.ids);
    EXPECT_EQ(ChainIds(), c.chain);
    EXPECT_EQ(env.assertions.size(), 0u) << env.Expressions()[0];
}

// Outside a group the test steps run in groups of their own ('B' ... 'E').
INSTANTIATE_TEST_SUITE_P(
    Sequences, IdRules,
    ::testing::Values(IdCase{"Appends", "BAAE", {2, 3}, {1, 2, 3}},
                      IdCase{"ApplyTakesAnId", "BAEBPEBAE", {2, 3, 4}, {1, 2, 4}},
                      IdCase{"InsertTakesANewId", "BIEBAE", {2, 3}, {2, 1, 3}},
                      IdCase{"ReplaceKeepsItsTarget", "BREBAE", {1, 2}, {1, 2}},
                      IdCase{"RemoveKeepsItsTarget", "BAEBDEBAE", {2, 1, 3}, {2, 3}},
                      IdCase{"AbortHandsIdsOutAgain", "BAAXBAE", {2, 3, 2}, {1, 2}},
                      IdCase{"AbortAfterApply", "BPAXBAE", {2, 3, 2}, {1, 2}},
                      IdCase{"NestedGroupsCommitOnce", "BABAEAE", {2, 3, 4}, {1, 2, 3, 4}},
                      IdCase{"AbortOfANestedGroupAbandonsAll", "BABAEXBAE", {2, 3, 2}, {1, 2}}),
    [](const ::testing::TestParamInfo<IdCase>& info) { return std::string(info.param.name); });

// ------------------------------------------------------------------ groups

TEST_F(AccessTest, NestedGroupsFormOneTransaction) {
    CreateJob();
    CountingListener listener;
    access.SetListener(&listener);
    access.BeginGroupNested();
    access.BeginGroupNested();
    Append("a");
    access.EndGroupNested();
    EXPECT_EQ(access.GetRecord(DBID(2)), nullptr) << "not committed before the outermost end";
    Append("b");
    access.EndGroupNested();
    EXPECT_EQ(listener.committed, std::vector<int>{2});
    ASSERT_TRUE(access.Close());
    std::vector<FrameInfo> frames = Frames(TempFolder::Read(Path()));
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[1].flags, 1);
    EXPECT_EQ(frames[2].flags, 2);
}

TEST_F(AccessTest, AutoGroupStoresSingleRecordTransactionsUnheard) {
    CreateJob();
    CountingListener listener;
    access.SetListener(&listener);
    access.SetAutoGroup();
    EXPECT_EQ(Append("a"), DBID(2));
    EXPECT_EQ(Append("b"), DBID(3));
    EXPECT_FALSE(access.InGroup());
    ASSERT_NE(access.GetRecord(DBID(3)), nullptr) << "committed at once";
    // Inside an open group an automatic store joins it.
    access.BeginGroupNested();
    Append("c");
    Append("d");
    access.EndGroupNested();
    EXPECT_TRUE(listener.committed.empty());
    EXPECT_TRUE(listener.aborted.empty());
    ASSERT_TRUE(access.Close());
    std::vector<FrameInfo> frames = Frames(TempFolder::Read(Path()));
    ASSERT_EQ(frames.size(), 5u);
    EXPECT_EQ(frames[1].flags, 3);
    EXPECT_EQ(frames[2].flags, 3);
    EXPECT_EQ(frames[3].flags, 1);
    EXPECT_EQ(frames[4].flags, 2);
}

TEST_F(AccessTest, AbortedGroupIsJournaledMarkedAndSkippedOnReplay) {
    CreateJob();
    CountingListener listener;
    access.SetListener(&listener);
    access.BeginGroupNested();
    Append("a");
    Append("b");
    access.AbortGroupNested();
    EXPECT_EQ(listener.aborted, std::vector<int>{2});
    EXPECT_EQ(ChainIds(), std::vector<uint32_t>{1});
    access.BeginGroupNested();
    EXPECT_EQ(Append("c"), DBID(2));
    access.EndGroupNested();
    ASSERT_TRUE(access.Close());

    std::vector<FrameInfo> frames = Frames(TempFolder::Read(Path()));
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[1].flags, 1);
    EXPECT_EQ(frames[2].flags, 2 | 4);
    EXPECT_EQ(frames[3].recordId, 2u);

    dbAccess reopened;
    ASSERT_TRUE(reopened.Open(Path().c_str(), false));
    EXPECT_EQ(reopened.GetOpenStatus(), DBACCESS_Opened);
    EXPECT_EQ(reopened.GetRecord(DBID(2))->GetNotes(), Str("c"));
    EXPECT_EQ(reopened.GetNextId(DBID(2)), NODBID);
    reopened.Close();
}

TEST_F(AccessTest, AddActionOutsideAGroupIsReportedAndQueued) {
    CreateJob();
    EXPECT_EQ(Append("a"), DBID(2));
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"InGroup()"});
    EXPECT_EQ(access.GetRecord(DBID(2)), nullptr);
    access.BeginGroupNested();
    access.EndGroupNested();
    EXPECT_NE(access.GetRecord(DBID(2)), nullptr) << "committed by the next outermost end";
}

TEST_F(AccessTest, GroupMisuseIsReported) {
    CreateJob();
    access.EndGroupNested();
    access.AbortGroupNested();
    access.BeginGroup();
    access.BeginGroup();
    access.EndGroup();  // nest count 2
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"this->_GroupNestCount > 0", "_GroupNestCount == 1",
                                                          "!InGroup()", "_GroupNestCount == 1"}));
    EXPECT_EQ(access.GetGroupNestCount(), 1);
    // An abort below the outermost level is refused whole.
    access.BeginGroupNested();
    access.AbortGroupNested();
    EXPECT_EQ(access.GetGroupNestCount(), 2);
}

TEST_F(AccessTest, RefusedActionsStoreNothing) {
    CreateJob();
    TestMeasurement measurement;
    db_Note note = Note("n", 0);
    access.BeginGroupNested();
    EXPECT_EQ(access.AddAction(DBMODEL_Append, NODBID, nullptr), NODBID);
    EXPECT_EQ(access.AddAction(DBMODEL_Append, NODBID, &measurement), NODBID);
    EXPECT_EQ(access.AddAction(DBMODEL_InsertBefore, DBID(1), &measurement), NODBID);
    EXPECT_EQ(access.AddAction(DBMODEL_Foreign, NODBID, &note), NODBID);
    EXPECT_EQ(access.AddAction(DBMODEL_Replace, NODBID, &note), NODBID);
    EXPECT_TRUE(access.CurrentTransaction().Empty());
    // An apply is how a measurement reaches its observation; it takes the next id.
    EXPECT_EQ(access.AddAction(DBMODEL_Apply, DBID(1), &measurement), DBID(2));
    access.AbortGroupNested();
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"record != NULL", "!record->IsMeasurement ()",
                                                          "!record->IsMeasurement ()", "!\"Bad action\"",
                                                          "target != NODBID"}));
}

// With lengths checked first, a record the journal would refuse is refused before the
// model copies it, and the job goes on; one that just fits is kept. Unchecked, the same
// record is refused only at the commit, which fails the journal.
TEST_F(AccessTest, LengthsCheckedFirstRefuseTooLongRecordsBeforeTheirCopy) {
    // A note record's length beyond its text, from a job of one short note.
    uint32_t frame = 0;
    {
        dbAccess unchecked;
        ASSERT_TRUE(unchecked.CreateFile(Path("unchecked.job").c_str(), filehdr_Class(FILEHDR_Journal)));
        unchecked.SetAutoGroup();
        db_Note note = Note("x", 0);
        unchecked.AddAction(DBMODEL_Append, NODBID, &note);
        note = Note(std::string(DBJOURNAL_MaxRecordLength, 'x').c_str(), 0);
        unchecked.AddAction(DBMODEL_Append, NODBID, &note);
        EXPECT_TRUE(unchecked.GetJournal().HasWriteFailed());
        unchecked.Close();
        const std::vector<FrameInfo> frames = Frames(TempFolder::Read(Path("unchecked.job")));
        ASSERT_EQ(frames.size(), 1u);
        frame = frames[0].length - 1;
    }
    env.warnings.clear();

    CreateJob();
    access.SetAutoGroup();
    access.CheckLengthsFirst(true);
    const std::string longest(DBJOURNAL_MaxRecordLength - frame, 'x');
    EXPECT_EQ(Append((longest + "x").c_str()), NODBID);
    ASSERT_EQ(env.warnings.size(), 1u);
    EXPECT_EQ(env.warnings[0].rfind("Journal: Record too long, action refused. Type 0x", 0), 0u);
    EXPECT_EQ(Append(longest.c_str()), DBID(2));
    EXPECT_FALSE(access.GetJournal().HasWriteFailed());
    ASSERT_TRUE(access.Close());
    const std::vector<FrameInfo> frames = Frames(TempFolder::Read(Path()));
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1].length, DBJOURNAL_MaxRecordLength);
}

TEST_F(AccessTest, AFailedModelQueuesNothingButStillHandsOutIds) {
    CreateJob();
    CountingListener listener;
    access.SetListener(&listener);
    access.BeginGroupNested();
    EXPECT_EQ(Append("a"), DBID(2));
    access.GetModel().SetFailed(true);
    // Every action takes its id as before; none is queued.
    EXPECT_EQ(Append("b"), DBID(3));
    db_Note note = Note("n", 0);
    EXPECT_EQ(access.AddAction(DBMODEL_Apply, DBID(1), &note), DBID(4));
    EXPECT_EQ(access.AddAction(DBMODEL_InsertBefore, DBID(1), &note), DBID(5));
    db_JobHeader header = Header("New", 0);
    EXPECT_EQ(access.AddAction(DBMODEL_Replace, DBID(1), &header), DBID(1));
    EXPECT_EQ(access.AddAction(DBMODEL_Remove, DBID(1), &header), DBID(1));
    EXPECT_EQ(access.CurrentTransaction().Count(), 1);
    // The failed group is abandoned at its end, and its ids are handed out again.
    access.EndGroupNested();
    EXPECT_EQ(listener.aborted, std::vector<int>{1});
    EXPECT_TRUE(listener.committed.empty());
    EXPECT_EQ(ChainIds(), std::vector<uint32_t>{1});
    access.BeginGroupNested();
    EXPECT_EQ(Append("c"), DBID(2));
    access.EndGroupNested();
    EXPECT_EQ(ChainIds(), (std::vector<uint32_t>{1, 2}));
    EXPECT_TRUE(env.assertions.empty());
}

// A removed record is gone at once for readers and for further actions, as it is once
// the job has been reopened: acting on it would link or free a holder that has left the
// chain.
TEST_F(AccessTest, ARemovedRecordIsGoneForReadersAndActions) {
    CreateJob();
    db_Observation point;
    point.PointName = "P";
    access.BeginGroupNested();
    access.AddAction(DBMODEL_Append, NODBID, &point);
    access.AddAction(DBMODEL_Append, NODBID, &point);
    access.EndGroupNested();
    access.BeginGroupNested();
    access.AddAction(DBMODEL_Remove, DBID(2), access.GetRecord(DBID(2)));
    access.EndGroupNested();
    EXPECT_EQ(access.GetRecord(DBID(2)), nullptr);
    EXPECT_EQ(access.GetNextId(DBID(1)), DBID(3));

    access.BeginGroupNested();
    db_Note note = Note("edited", 0);
    access.AddAction(DBMODEL_Apply, DBID(2), &note);
    access.AddAction(DBMODEL_Replace, DBID(2), &point);
    const DBID inserted = access.AddAction(DBMODEL_InsertBefore, DBID(2), &point);
    access.AddAction(DBMODEL_Remove, DBID(2), &point);
    access.EndGroupNested();
    EXPECT_EQ(ChainIds(), (std::vector<uint32_t>{1, 3}));
    EXPECT_EQ(access.GetRecord(DBID(2)), nullptr);
    EXPECT_EQ(access.GetRecord(inserted), nullptr);
    ASSERT_TRUE(access.Close());

    dbAccess reopened;
    ASSERT_TRUE(reopened.Open(Path().c_str(), false));
    EXPECT_EQ(reopened.GetOpenStatus(), DBACCESS_Opened);
    EXPECT_EQ(reopened.GetRecord(DBID(2)), nullptr);
    EXPECT_EQ(reopened.GetRecord(inserted), nullptr);
    EXPECT_EQ(reopened.GetNextId(DBID(1)), DBID(3));
    reopened.Close();
    EXPECT_TRUE(env.assertions.empty()) << env.Expressions().front();
}

TEST_F(AccessTest, TimeStampsAreStampedUnlessDisabled) {
    CreateJob();
    const double now = access.GetRecord(DBID(1))->GetTimeStamp();
    EXPECT_NE(now, 1000.0);
    db_Note note = Note("n", 0);
    access.BeginGroupNested();
    access.AddAction(DBMODEL_Append, NODBID, &note);
    access.DisableTimeStamps();
    access.AddAction(DBMODEL_Append, NODBID, &note);
    access.EndGroupNested();
    EXPECT_EQ(access.GetRecord(DBID(2))->GetTimeStamp(), now);
    EXPECT_EQ(access.GetRecord(DBID(3))->GetTimeStamp(), 1000.0);
    EXPECT_EQ(note.GetRecordId(), NODBID) << "the caller's record is not changed";
}

TEST_F(AccessTest, LastIdsSeePendingActions) {
    CreateJob();
    access.BeginGroupNested();
    Append("a");
    EXPECT_EQ(access.GetLastIdOfType(DATABASE_NoteRecord), DBID(2));
    EXPECT_EQ(access.GetLastId(), DBID(2));
    EXPECT_EQ(access.GetRecord(DBID(2)), nullptr);
    EXPECT_EQ(access.GetLastIdOfType(DATABASE_JobHeaderRecord), DBID(1));
    EXPECT_EQ(access.GetLastIdOfType(DATABASE_PlaneRecord), NODBID);
    access.EndGroupNested();
    EXPECT_EQ(access.GetLastIdOfType(DATABASE_NoteRecord), DBID(2));
    EXPECT_EQ(access.GetPreviousId(DBID(2)), DBID(1));
    EXPECT_EQ(access.GetNextId(DBID(2)), NODBID);
    EXPECT_EQ(access.GetNextId(DBID(99)), NODBID);
}

// ------------------------------------------------------------------ open and replay

class OpenTest : public AccessTest {
protected:
    std::string WriteFile(const Bytes& header, const std::vector<Bytes>& frames) {
        Bytes file = header;
        for (const Bytes& f : frames) file.insert(file.end(), f.begin(), f.end());
        return folder.Write("prepared.job", ToString(file));
    }
};

TEST_F(OpenTest, StatusesOfPreparedFiles) {
    const Bytes good = FileHeaderBytes();
    Bytes otherVersion = good;
    otherVersion[46] ^= 1;
    Bytes otherType = FileHeaderBytes(FILEHDR_Style);
    const Bytes header = Frame(3, DBMODEL_Append, 0, Header("J"));
    struct Case {
        const char* name;
        Bytes file;
        bool opens;
        int status;
    } cases[] = {
        {"another version", otherVersion, false, DBACCESS_WrongVersion},
        {"another file type", otherType, false, DBACCESS_NotAJob},
        {"no records", Bytes(), false, DBACCESS_NotAJob},
        {"short header", Bytes(good.begin(), good.begin() + 20), false, DBACCESS_CannotOpen},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = c.file.empty() ? WriteFile(good, {}) : WriteFile(c.file, {header});
        if (std::string(c.name) == "short header") path = folder.Write("prepared.job", ToString(c.file));
        dbAccess opened;
        EXPECT_EQ(opened.Open(path.c_str(), true), c.opens);
        EXPECT_EQ(opened.GetOpenStatus(), c.status);
        EXPECT_FALSE(opened.IsOpen());
    }
    dbAccess missing;
    EXPECT_FALSE(missing.Open((folder / "missing.job").c_str(), false));
    EXPECT_EQ(missing.GetOpenStatus(), DBACCESS_CannotOpen);
}

TEST_F(OpenTest, PartialLastTransactionIsDroppedAndCutWhenWritable) {
    const Bytes complete = Frame(3, DBMODEL_Append, 0, Header("J"));
    // Longer than what is written next, so that without the cut its tail would stand
    // behind the new transaction as damage.
    const Bytes partial = Frame(1, DBMODEL_Append, 0, Note("lost with a transaction that never ended", 2));
    const std::string path = WriteFile(FileHeaderBytes(), {complete, partial});
    const std::string before = TempFolder::Read(path);

    // Read-only: the file stays as it is.
    {
        dbAccess readOnly;
        ASSERT_TRUE(readOnly.Open(path.c_str(), false));
        EXPECT_EQ(readOnly.GetOpenStatus(), DBACCESS_Opened);
        EXPECT_EQ(readOnly.GetRecord(DBID(2)), nullptr);
        readOnly.Close();
        EXPECT_EQ(TempFolder::Read(path), before);
    }
    // Writable: the tail goes, and new records follow the last whole transaction.
    ASSERT_TRUE(access.Open(path.c_str(), true));
    EXPECT_EQ(access.GetOpenStatus(), DBACCESS_Opened);
    EXPECT_EQ(TempFolder::Read(path).size(), 48 + complete.size());
    access.BeginGroupNested();
    EXPECT_EQ(Append("kept"), DBID(2));
    access.EndGroupNested();
    ASSERT_TRUE(access.Close());
    std::vector<FrameInfo> frames = Frames(TempFolder::Read(path));
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1].flags, 3);
    EXPECT_EQ(TempFolder::Read(path).size(), frames[1].offset + 4 + frames[1].length);
    dbAccess reopened;
    ASSERT_TRUE(reopened.Open(path.c_str(), false));
    EXPECT_EQ(reopened.GetOpenStatus(), DBACCESS_Opened) << "the job opens whole";
    EXPECT_EQ(reopened.GetRecord(DBID(2))->GetNotes(), Str("kept"));
    reopened.Close();
}

TEST_F(OpenTest, DamageStopsReplayWithEverythingBeforeIt) {
    Bytes third = Frame(3, DBMODEL_Append, 0, Note("three", 3));
    third[20] ^= 0xFF;
    const std::string path = WriteFile(FileHeaderBytes(), {Frame(3, DBMODEL_Append, 0, Header("J")),
                                                           Frame(3, DBMODEL_Append, 0, Note("two", 2)), third});
    const std::string before = TempFolder::Read(path);
    ASSERT_TRUE(access.Open(path.c_str(), true));
    EXPECT_EQ(access.GetOpenStatus(), DBACCESS_Damaged);
    EXPECT_EQ(ChainIds(), (std::vector<uint32_t>{1, 2}));
    EXPECT_EQ(access.GetRecord(DBID(2))->GetNotes(), Str("two"));
    access.Close();
    EXPECT_EQ(TempFolder::Read(path), before) << "nothing is cut without the caller's word";
}

TEST_F(OpenTest, ReplayNeverGivesTwoRecordsOneId) {
    // Ids 1, 5 (a gap), 3 (below the counter but free), 5 again (held), then the next
    // store continues above the highest id read.
    const std::string path =
        WriteFile(FileHeaderBytes(), {Frame(3, DBMODEL_Append, 0, Header("J")), Frame(3, DBMODEL_Append, 0, Note("five", 5)),
                                      Frame(3, DBMODEL_Append, 0, Note("three", 3)),
                                      Frame(3, DBMODEL_Append, 0, Note("again", 5))});
    ASSERT_TRUE(access.Open(path.c_str(), true));
    EXPECT_EQ(access.GetOpenStatus(), DBACCESS_Opened);
    EXPECT_EQ(ChainIds(), (std::vector<uint32_t>{1, 5, 3}));
    EXPECT_EQ(access.GetRecord(DBID(5))->GetNotes(), Str("five"));
    EXPECT_EQ(env.warnings, std::vector<std::string>{"Duplicate DBID skipped.  Record  0x5"});
    EXPECT_TRUE(env.assertions.empty());
    access.BeginGroupNested();
    EXPECT_EQ(Append("next"), DBID(6));
    access.EndGroupNested();
}

TEST_F(OpenTest, AfterAManualRepairGapsAndMissingTargetsAreReported) {
    Bytes hammered = Frame(3, DBMODEL_Append, 0, Note("gone", 2));
    hammered[4] = 0xBF;
    db_Note edit = Note("edit", 0);
    const std::string path = WriteFile(
        FileHeaderBytes(), {Frame(3, DBMODEL_Append, 0, Header("J")), hammered, Frame(3, DBMODEL_Apply, 2, edit),
                            Frame(3, DBMODEL_Append, 0, Note("four", 4))});
    ASSERT_TRUE(access.Open(path.c_str(), true));
    EXPECT_EQ(access.GetOpenStatus(), DBACCESS_Opened);
    EXPECT_EQ(ChainIds(), (std::vector<uint32_t>{1, 4}));
    std::vector<std::string> expected = {"Target record missing from Model.  Target  0x2",
                                         "-- Offending record ID  0x0", "DBID discontinuity.  Expected  0x2",
                                         "-- Actual DBID read  0x4"};
    ASSERT_GE(env.warnings.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(env.warnings.end() - 4, env.warnings.end()), expected);
}

}  // namespace

namespace {

// An environment whose thread number and thread-safety answer can be set.
class ThreadedEnvironment : public RecordingEnvironment {
public:
    bool IsThreadSafe() override { return threadSafe; }
    int32_t GetCurrentThread() override { return thread; }
    bool threadSafe = true;
    int32_t thread = 0;
};

TEST(AccessThreads, GroupsBelongToTheThreadThatBeganThem) {
    TempFolder folder;
    ThreadedEnvironment env;
    platform_FixTime(1700000000);
    dbAccess access;
    ASSERT_TRUE(access.CreateFile((folder / "job.job").c_str(), filehdr_Class(FILEHDR_Journal)));
    db_Note note = Note("n", 0);

    env.thread = 3;
    access.BeginGroupNested();
    access.AddAction(DBMODEL_Append, NODBID, &note);
    EXPECT_EQ(access.CurrentTransaction().Count(), 1) << "queued in slot 3";
    env.thread = 0;
    EXPECT_TRUE(access.CurrentTransaction().Empty());
    access.BeginGroupNested();
    access.EndGroupNested();
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"_GroupStartThread == Environment::Get()->GetCurrentThread()",
                                                          "_GroupStartThread == Environment::Get()->GetCurrentThread()"}));
    env.Clear();
    env.thread = 3;
    access.EndGroupNested();
    EXPECT_EQ(access.GetFirstId(), DBID(1));
    EXPECT_TRUE(env.assertions.empty());

    // A thread number outside the slots is reported and kept in slot 0.
    env.thread = 30;
    access.BeginGroupNested();
    access.AddAction(DBMODEL_Append, NODBID, &note);
    env.thread = 0;
    EXPECT_EQ(access.CurrentTransaction().Count(), 1);
    env.thread = 30;
    access.EndGroupNested();
    env.thread = 0;
    EXPECT_EQ(access.GetNextId(DBID(1)), DBID(2));

    env.Clear();
    env.threadSafe = false;
    access.BeginGroupNested();
    access.EndGroupNested();
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"Environment::Get()->IsThreadSafe ()",
                                                          "Environment::Get()->IsThreadSafe ()"}));
    env.threadSafe = true;
    EXPECT_TRUE(access.Close());
}

TEST(AccessFlush, NothingIsFlushedWhileAGroupIsOpen) {
    TempFolder folder;
    RecordingEnvironment env;
    dbAccess access;
    const std::string path = folder / "job.job";
    ASSERT_TRUE(access.CreateFile(path.c_str(), filehdr_Class(FILEHDR_Journal)));
    db_Note note = Note("n", 0);
    access.BeginGroupNested();
    access.AddAction(DBMODEL_Append, NODBID, &note);
    access.EndGroupNested();
    access.BeginGroupNested();
    access.FlushIfDue(100.0);
    access.FlushIfDue(200.0);
    EXPECT_EQ(TempFolder::Read(path).size(), 48u);
    access.EndGroupNested();
    access.FlushIfDue(300.0);
    access.FlushIfDue(304.0);
    EXPECT_GT(TempFolder::Read(path).size(), 48u);
    EXPECT_TRUE(access.Close());
}

}  // namespace
