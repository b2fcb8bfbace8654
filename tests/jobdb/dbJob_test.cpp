#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "foundation/kernel/clock.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbRecordCalls.h"
#include "jobdb/jobdb_fixture.h"
#include "platform/time.h"
#include "records/coordsysdefs.h"
#include "support/recording_environment.h"
#include "support/str_print.h"
#include "support/temp_folder.h"

using namespace jobdb_test;

namespace {

// Fixed before the job is constructed: the held job header takes its time then.
struct FixedClock {
    FixedClock() { platform_FixTime(1700000000); }
};

class JobTest : public ::testing::Test {
protected:
    ~JobTest() override {
        if (job.GetAccess()) job.Close();
    }
    std::string Path(const char* name = "job.job") const { return folder / name; }

    FixedClock clock;
    TempFolder folder;
    RecordingEnvironment env;
    JobDatabase job;
};

TEST_F(JobTest, JobHoldingOnlyItsHeaderMatchesLiteralBytes) {
    const double stamp = clock_GetTime();
    ASSERT_TRUE(job.Create(Path().c_str(), "Job1", true));
    ASSERT_TRUE(job.Close());

    Bytes expected = {'Q', 'u', 'o', 'r', 'v', 'e', 'l', ' ', 'Z', 'e', 'n', 't', 'r', 'o',
                      'v', 'a', 'n', 'e', ' ', 'J', 'o', 'u', 'r', 'n', 'a', 'l'};
    expected.resize(43, 0);
    expected.insert(expected.end(), {1, 0, 12, 45, 4});
    // L = 57, flags 3 (first and last), operation 10800, target 0
    Bytes body = {0x03, 0x30, 0x2a, 0x00, 0x00, 0x00, 0x00};
    // type 0, id 1, the timestamp, empty notes, "Job1" in 33 bytes
    body.insert(body.end(), {0x00, 0x00, 0x01, 0x00, 0x00, 0x00});
    uint8_t stampBytes[8];
    std::memcpy(stampBytes, &stamp, 8);
    body.insert(body.end(), stampBytes, stampBytes + 8);
    body.insert(body.end(), {0x00, 'J', 'o', 'b', '1'});
    body.resize(body.size() + 29, 0);
    const uint16_t crc = dbJournal_CRC16(body.data(), static_cast<int>(body.size()));
    body.push_back(static_cast<uint8_t>(crc));
    body.push_back(static_cast<uint8_t>(crc >> 8));
    expected.insert(expected.end(), {0x39, 0x00, 0x00, 0x00});
    expected.insert(expected.end(), body.begin(), body.end());
    EXPECT_EQ(TempFolder::Read(Path()), ToString(expected));
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(JobTest, CreateHoldsTheHeaderAsRecordOne) {
    const double before = clock_GetTime();
    platform_FixTime(1700000600);
    ASSERT_TRUE(job.Create(Path().c_str(), "Name", false));
    dbAccess* access = job.GetAccess();
    EXPECT_EQ(access->GetFirstId(), DBID(1));
    EXPECT_EQ(access->GetNextId(DBID(1)), NODBID);
    const dbRecord_Class* first = access->GetRecord(DBID(1));
    ASSERT_EQ(first->GetType(), DATABASE_JobHeaderRecord);
    EXPECT_EQ(first->GetName(), Str("Name"));
    EXPECT_EQ(first->GetTimeStamp(), before + 600) << "stamped when stored";
    EXPECT_EQ(job.GetJobHeader().GetRecordId(), DBID(1));
    EXPECT_EQ(job.GetJobHeader().GetTimeStamp(), first->GetTimeStamp());

    JobDatabase other;
    ASSERT_TRUE(other.Create(Path("other.job").c_str(), "Other", true));
    EXPECT_EQ(other.GetAccess()->GetRecord(DBID(1))->GetTimeStamp(), before + 600)
        << "made after the clock moved, it keeps its own";
    other.Close();
}

TEST_F(JobTest, CreateNeverTouchesAnExistingFile) {
    const std::string path = folder.Write("job.job", "keep me");
    EXPECT_FALSE(job.Create(path.c_str(), "Job", true));
    EXPECT_EQ(job.GetAccess(), nullptr);
    EXPECT_EQ(TempFolder::Read(path), "keep me");
    // A folder that cannot be made: nothing is left behind either.
    folder.Write("plain", "x");
    EXPECT_FALSE(job.Create((folder / "plain/sub/job.job").c_str(), "Job", true));
    EXPECT_EQ(TempFolder::Read(folder / "plain"), "x");
}

TEST_F(JobTest, CloseStoresPendingNotesAsOneRecord) {
    ASSERT_TRUE(job.Create(Path().c_str(), "Job", true));
    job.GetPendingNoteLines().Add("first");
    job.GetPendingNoteLines().Add("second");
    ASSERT_TRUE(job.Close());
    EXPECT_EQ(job.GetPendingNoteLines().Count(), 0);

    JobDatabase reopened;
    ASSERT_TRUE(reopened.Open(Path().c_str(), false));
    const dbRecord_Class* note = reopened.GetAccess()->GetRecord(DBID(2));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->GetType(), DATABASE_NoteRecord);
    EXPECT_EQ(note->GetNotes(), Str("first\r\nsecond\r\n"));
    EXPECT_EQ(reopened.GetAccess()->GetNextId(DBID(2)), NODBID);
    reopened.Close();
}

TEST_F(JobTest, CloseReportsARecordThatNeverReachedTheFile) {
    ASSERT_TRUE(job.Create(Path().c_str(), "Job", true));
    job.GetAccess()->SetAutoGroup();
    db_Note huge;
    huge.SetNotes(Str(std::string(600000, 'n').c_str()));
    dbRecord_Append(job.GetAccess(), &huge);
    EXPECT_FALSE(job.Close());
    EXPECT_EQ(job.GetAccess(), nullptr);
    EXPECT_EQ(job.GetJobIndex(), nullptr);
}

TEST_F(JobTest, WrittenJobReplaysToTheSameRecords) {
    ASSERT_TRUE(job.Create(Path().c_str(), "Round trip", true));
    dbAccess* access = job.GetAccess();
    access->SetAutoGroup();
    std::vector<dbRecord_Class*> stored;
    for (int i = 0; i < 40; ++i) {
        db_Plane* plane = new db_Plane;
        plane->Plane.OriginNorth = 1000.0 + i;
        plane->Plane.ScaleFactor = 1.0 + i / 1e6;
        plane->SetTimeStamp(5000.0 + i);
        plane->SetNotes(i % 2 ? "odd" : "");
        db_Note* note = new db_Note;
        note->SetNotes("note");
        note->SetTimeStamp(7000.0 + i);
        dbRecord_Append(access, plane);
        dbRecord_Append(access, note);
        stored.push_back(plane);
        stored.push_back(note);
    }
    // One edit in place and one insertion, so chain order differs from id order.
    db_Note edited;
    edited.SetNotes("edited");
    dbRecord_ReplaceAt(access, DBID(3), &edited);
    db_Note inserted;
    inserted.SetNotes("inserted");
    inserted.SetTimeStamp(9000.0);
    const DBID insertedId = dbRecord_InsertBefore(access, DBID(2), &inserted);

    std::vector<uint32_t> chain;
    for (DBID id = access->GetFirstId(); id != NODBID; id = access->GetNextId(id)) chain.push_back(id.Value());
    ASSERT_TRUE(job.Close());

    JobDatabase reopened;
    ASSERT_TRUE(reopened.Open(Path().c_str(), true));
    EXPECT_EQ(reopened.GetOpenStatus(), DBACCESS_Opened);
    EXPECT_EQ(reopened.GetJobHeader().JobName, Str("Round trip"));
    dbAccess* again = reopened.GetAccess();
    std::vector<uint32_t> replayed;
    for (DBID id = again->GetFirstId(); id != NODBID; id = again->GetNextId(id)) replayed.push_back(id.Value());
    EXPECT_EQ(replayed, chain);
    EXPECT_EQ(replayed[1], insertedId.Value());
    for (const dbRecord_Class* record : stored) {
        const dbRecord_Class* read = again->GetRecord(record->GetRecordId());
        ASSERT_NE(read, nullptr) << record->GetRecordId().Value();
        EXPECT_EQ(read->GetTimeStamp(), record->GetTimeStamp());
        if (record->GetRecordId() == DBID(3)) continue;  // edited in place
        EXPECT_TRUE(read->IsEqual(*record)) << record->GetRecordId().Value();
        EXPECT_EQ(read->GetNotes(), record->GetNotes());
    }
    EXPECT_EQ(again->GetRecord(DBID(3))->GetNotes(), Str("edited"));
    // New records continue above every id replayed.
    db_Note next;
    EXPECT_EQ(dbRecord_AppendGrouped(again, &next), DBID(insertedId.Value() + 1));
    EXPECT_TRUE(reopened.Close());
    for (dbRecord_Class* record : stored) delete record;
    EXPECT_TRUE(env.assertions.empty()) << env.Expressions()[0];
}

// ------------------------------------------------------------------ damaged jobs

class DamagedJobTest : public JobTest {
protected:
    // A job of header, two notes and a third whose bytes are damaged; returns the size
    // of the good part.
    size_t WriteDamagedJob() {
        Bytes file = FileHeaderBytes();
        for (const Bytes& frame : {Frame(3, DBMODEL_Append, 0, Header("J")), Frame(3, DBMODEL_Append, 0, Note("two", 2)),
                                   Frame(1, DBMODEL_Append, 0, Note("three", 3))})
            file.insert(file.end(), frame.begin(), frame.end());
        const size_t good = file.size() - Frame(1, DBMODEL_Append, 0, Note("three", 3)).size();
        Bytes last = Frame(2, DBMODEL_Append, 0, Note("four", 4));
        last[last.size() - 1] ^= 0x55;
        file.insert(file.end(), last.begin(), last.end());
        folder.Write("job.job", ToString(file));
        return good;
    }

    static bool Agree(JobDatabase*) { return true; }
    static bool Refuse(JobDatabase*) { return false; }
};

TEST_F(DamagedJobTest, WithoutConsentTheOpenFailsAndTheFileStays) {
    WriteDamagedJob();
    const std::string before = TempFolder::Read(Path());
    EXPECT_FALSE(job.Open(Path().c_str(), true));
    EXPECT_EQ(job.GetOpenStatus(), DBACCESS_Damaged);
    EXPECT_EQ(job.GetAccess(), nullptr);
    job.TruncationCallback = &Refuse;
    EXPECT_FALSE(job.Open(Path().c_str(), true));
    EXPECT_EQ(TempFolder::Read(Path()), before);
}

TEST_F(DamagedJobTest, WithConsentTheJobIsCutBehindItsLastWholeTransaction) {
    const size_t good = WriteDamagedJob();
    job.TruncationCallback = &Agree;
    ASSERT_TRUE(job.Open(Path().c_str(), true));
    EXPECT_EQ(job.GetOpenStatus(), DBACCESS_Damaged);
    char text[64];
    std::snprintf(text, sizeof text, "Journal truncated at file position 0x%zx", good);
    EXPECT_EQ(env.warnings.back(), text);
    EXPECT_EQ(TempFolder::Read(Path()).size(), good);
    EXPECT_EQ(job.GetAccess()->GetRecord(DBID(2))->GetNotes(), Str("two"));
    EXPECT_EQ(job.GetAccess()->GetRecord(DBID(3)), nullptr);

    db_Note later;
    later.SetNotes("later");
    EXPECT_EQ(dbRecord_AppendGrouped(job.GetAccess(), &later), DBID(3));
    ASSERT_TRUE(job.Close());

    JobDatabase reopened;
    ASSERT_TRUE(reopened.Open(Path().c_str(), false));
    EXPECT_EQ(reopened.GetOpenStatus(), DBACCESS_Opened);
    EXPECT_EQ(reopened.GetAccess()->GetRecord(DBID(3))->GetNotes(), Str("later"));
    reopened.Close();
}

TEST_F(DamagedJobTest, AJobOpenedForReadingIsNeverCut) {
    WriteDamagedJob();
    const std::string before = TempFolder::Read(Path());
    job.TruncationCallback = &Agree;
    ASSERT_TRUE(job.Open(Path().c_str(), false));
    EXPECT_EQ(env.warnings.back(), "Journal truncated at file position 0x0");
    ASSERT_TRUE(job.Close());
    EXPECT_EQ(TempFolder::Read(Path()), before);
}

// ------------------------------------------------------------------ settings cache and index

TEST_F(JobTest, SettingsCacheKeepsTheNewestOfEachType) {
    JobSettingsCache cache;
    db_Plane first, second;
    first.Plane.OriginNorth = 1;
    second.Plane.OriginNorth = 2;
    EXPECT_EQ(cache.Store(&first), 0);
    EXPECT_EQ(cache.Store(&second), 0);
    EXPECT_EQ(cache.GetCount(), 1);
    EXPECT_EQ(cache.GetChangeCount(), 2);
    EXPECT_TRUE(cache.GetAt(0)->IsEqual(second));
    EXPECT_EQ(cache.GetAt(1), nullptr);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"(i >= 0) && (i < count)"});

    dbRecord_Class* made = cache.Get(DATABASE_EllipsoidRecord);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetType(), DATABASE_EllipsoidRecord);
    EXPECT_EQ(cache.Get(DATABASE_EllipsoidRecord), made);
    EXPECT_EQ(cache.GetCount(), 2);
}

TEST_F(JobTest, SettingsCacheAnswersNullForATypeItCannotMake) {
    int missing = -1;
    for (int type = 0; type < DATABASE_AllRecords && missing < 0; ++type)
        if (dbRecord_GetTypeInfo(type).Is(DBTYPE_Persisted) && !dbRecord_GetTypeInfo(type).create) missing = type;
    if (missing < 0) GTEST_SKIP() << "every settings type can be made";
    JobSettingsCache cache;
    EXPECT_EQ(cache.Get(missing), nullptr);
    EXPECT_EQ(cache.GetCount(), 0);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"def"});
}

int transformsDeleted = 0;
void CountDeletion(transfrm_Class*) { ++transformsDeleted; }

TEST_F(JobTest, ListenerFeedsCacheIndexAndCallbackOutsideAutoGroup) {
    ASSERT_TRUE(job.Create(Path().c_str(), "Job", true));
    static int calls = 0;
    calls = 0;
    job.TransactionCallback = [](JobDatabase*, dbTransaction& transaction) { calls += transaction.Count(); };
    db_Plane plane;
    plane.Plane.OriginNorth = 10;
    dbRecord_AppendGrouped(job.GetAccess(), &plane);
    EXPECT_EQ(calls, 1);
    ASSERT_EQ(job.GetSettingsCache().GetCount(), 1);
    EXPECT_TRUE(job.GetSettingsCache().GetAt(0)->IsEqual(plane));

    job.GetAccess()->SetAutoGroup();
    plane.Plane.OriginNorth = 20;
    dbRecord_Append(job.GetAccess(), &plane);
    EXPECT_EQ(calls, 1) << "automatic groups are not reported";
    EXPECT_EQ(job.GetSettingsCache().GetChangeCount(), 1);
}

TEST_F(JobTest, AHeaderOnlyJobIndexAnswersNotFound) {
    ASSERT_TRUE(job.Create(Path().c_str(), "Job", true));
    dbJobIndex* index = job.GetJobIndex();
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->Database, job.GetAccess());
    EXPECT_EQ(index->Job, &job);
    EXPECT_EQ(index->Transform, nullptr);
    dbSelection selection;
    selection.Add(dbObjectRef(1, 2));
    for (int type : {0, 2, 3, 127}) EXPECT_FALSE(index->SelectByType(type, selection));
    EXPECT_EQ(selection.GetCount(), 0);
    EXPECT_EQ(index->FindTargetRecord("Unnamed"), nullptr);
    EXPECT_TRUE(index->FindByRecordId(NODBID).IsNull());
    EXPECT_TRUE(index->FindByRecordId(DBID(1)).IsNull());

    // The index owns the transform it is given and frees it once, through the deleter
    // of whoever made it.
    dbJobIndex_SetTransformDeleter(&CountDeletion);
    transformsDeleted = 0;
    alignas(8) static char fake[8];
    index->Transform = reinterpret_cast<transfrm_Class*>(fake);
    ASSERT_TRUE(job.Close());
    EXPECT_EQ(transformsDeleted, 1);
    dbJobIndex_SetTransformDeleter(nullptr);
}

TEST_F(JobTest, ATransformGivenToTheIndexSetsItsCogoSettings) {
    ASSERT_TRUE(job.Create(Path().c_str(), "Job", true));
    dbJobIndex* index = job.GetJobIndex();
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->CogoSettings, 0u);
    dbJobIndex_SetTransformDeleter(&CountDeletion);
    transformsDeleted = 0;
    alignas(8) static char first[8], second[8];
    coordsys_Corrections ground;
    ground.Distances = COORDSYS_GroundDistance;
    index->SetTransform(reinterpret_cast<transfrm_Class*>(first), &ground, 0x2 | 0x4, 3);
    EXPECT_EQ(index->CogoSettings, 0x454u);
    // Giving the same transform again keeps it; a new one frees the old.
    index->SetTransform(reinterpret_cast<transfrm_Class*>(first), nullptr, 0x2 | 0x4 | 0x10, 3);
    EXPECT_EQ(transformsDeleted, 0);
    EXPECT_EQ(index->CogoSettings, 0x8A4u);
    index->SetTransform(reinterpret_cast<transfrm_Class*>(second), nullptr, 0x2 | 0x4, 3);
    EXPECT_EQ(transformsDeleted, 1);
    EXPECT_EQ(index->Transform, reinterpret_cast<transfrm_Class*>(second));
    EXPECT_EQ(index->CogoSettings, 0x4A4u);
    ASSERT_TRUE(job.Close());
    EXPECT_EQ(transformsDeleted, 2);
    dbJobIndex_SetTransformDeleter(nullptr);
}

TEST(ObjectRefTest, PackingAndNull) {
    EXPECT_TRUE(dbObjectRef().IsNull());
    EXPECT_EQ(dbObjectRef().Pack(), 0xFFFFFFFFu);
    EXPECT_FALSE(dbObjectRef(0xFFFFFFFFu).IsNull());
    EXPECT_EQ(dbObjectRef(0xFFFFFFFFu), dbObjectRef(255, 16777215));
    EXPECT_EQ(dbObjectRef(3, 70000).Pack(), (3u << 24) | 70000u);
    EXPECT_EQ(dbObjectRef((3u << 24) | 70000u), dbObjectRef(3, 70000));
    EXPECT_TRUE(dbObjectRef(1, 9) < dbObjectRef(2, 0));
}

}  // namespace

namespace {
class UnsafeEnvironment : public RecordingEnvironment {
public:
    bool IsThreadSafe() override { return false; }
};
}  // namespace

// The engine and the record-level header read word their thread-safety report
// differently; callers match the texts.
TEST(JobThreadSafety, EngineAndHeaderReadReportTheirOwnTexts) {
    FixedClock clock;
    TempFolder folder;
    UnsafeEnvironment env;
    JobDatabase job;
    ASSERT_TRUE(job.Create((folder / "job.job").c_str(), "Job", true));
    const std::vector<std::string> created = env.Expressions();
    ASSERT_FALSE(created.empty());
    for (const std::string& text : created) EXPECT_EQ(text, "Environment::Get()->IsThreadSafe ()");
    env.Clear();
    db_JobHeader header;
    dbRecord_ReadJobHeader(job.GetAccess(), &header);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"Environment::Get ()->IsThreadSafe ()"});
    env.Clear();
    ASSERT_TRUE(job.Close());
}
