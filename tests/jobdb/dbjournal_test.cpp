#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/buffer.h"
#include "jobdb/dbjournal.h"
#include "records/editactions.h"
#include "records/entities.h"
#include "records/jobheader.h"
#include "records/measurements.h"
#include "support/file_size_limit.h"
#include "support/recording_environment.h"
#include "support/temp_folder.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string Hex(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

db_JobHeader MakeHeader(const char* name, uint32_t id) {
    db_JobHeader header;
    header.JobName = name;
    header.SetRecordId(DBID(id));
    header.SetTimeStamp(1000.0);
    return header;
}

db_Note MakeNote(const char* text, uint32_t id) {
    db_Note note;
    note.SetNotes(text);
    note.SetRecordId(DBID(id));
    note.SetTimeStamp(1000.0);
    return note;
}

void Add(dbTransaction& transaction, int operation, const dbRecord_Class& record, DBID target = NODBID) {
    transaction.Append(new dbModel_Action(operation, target, &record));
}

Bytes RecordBytes(const dbRecord_Class& record) {
    WriteBuffer buffer(ENDIAN_Little);
    record.Write(buffer);
    return Bytes(buffer.Data(), buffer.Data() + buffer.Length());
}

// One journal record built by hand: length, flags, operation, target, record, CRC.
Bytes Frame(uint8_t flags, uint16_t operation, uint32_t target, const Bytes& record) {
    Bytes body = {flags, static_cast<uint8_t>(operation), static_cast<uint8_t>(operation >> 8)};
    for (int i = 0; i < 4; ++i) body.push_back(static_cast<uint8_t>(target >> (8 * i)));
    body.insert(body.end(), record.begin(), record.end());
    uint16_t crc = dbJournal_CRC16(body.data(), static_cast<int>(body.size()));
    body.push_back(static_cast<uint8_t>(crc));
    body.push_back(static_cast<uint8_t>(crc >> 8));
    Bytes frame;
    uint32_t length = static_cast<uint32_t>(body.size());
    for (int i = 0; i < 4; ++i) frame.push_back(static_cast<uint8_t>(length >> (8 * i)));
    frame.insert(frame.end(), body.begin(), body.end());
    return frame;
}

Bytes FileHeaderBytes() {
    WriteBuffer buffer(ENDIAN_Little);
    filehdr_Class(FILEHDR_Journal).Serialise(buffer);
    return Bytes(buffer.Data(), buffer.Data() + buffer.Length());
}

std::string ToString(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

Bytes FromString(const std::string& text) { return Bytes(text.begin(), text.end()); }

class JournalTest : public ::testing::Test {
protected:
    ~JournalTest() override {
        if (journal.IsOpen()) journal.Close();
    }
    std::string Path(const char* name = "job.job") const { return folder / name; }

    // Writes a job file of header and frames; returns its path.
    std::string WriteJob(const std::vector<Bytes>& frames, const char* name = "job.job") const {
        Bytes file = FileHeaderBytes();
        for (const Bytes& f : frames) file.insert(file.end(), f.begin(), f.end());
        return folder.Write(name, ToString(file));
    }

    struct Reading {
        std::vector<int> statuses;
        std::vector<int> counts;  // actions per returned transaction
    };
    // Reads transactions until the end or damage.
    Reading ReadAll() {
        Reading out;
        journal.SeekFirstRecord();
        for (int guard = 0; guard < 100; ++guard) {
            int status = -1;
            dbTransaction* transaction = journal.ReadTransaction(status);
            out.statuses.push_back(status);
            out.counts.push_back(transaction ? transaction->Count() : -1);
            delete transaction;
            if (status == DBJOURNAL_ReadEnd || status == DBJOURNAL_ReadDamaged) break;
        }
        return out;
    }

    TempFolder folder;
    RecordingEnvironment env;
    dbJournal journal;
};

TEST_F(JournalTest, GoldenBytesOfATransaction) {
    ASSERT_TRUE(journal.Create(Path().c_str(), filehdr_Class(FILEHDR_Journal)));
    dbTransaction transaction;
    Add(transaction, DBMODEL_Append, MakeHeader("Job1", 1));
    Add(transaction, DBMODEL_Append, MakeNote("Hi", 2));
    journal.AppendTransaction(transaction);
    EXPECT_EQ(journal.GetBufferedLength(), 91);
    ASSERT_TRUE(journal.Close());

    Bytes expected = FileHeaderBytes();
    auto put = [&](std::initializer_list<uint8_t> bytes) { expected.insert(expected.end(), bytes); };
    // Job header record: L = 57, flags 1 (first), operation 10800, target 0.
    put({0x39, 0x00, 0x00, 0x00, 0x01, 0x30, 0x2a, 0x00, 0x00, 0x00, 0x00});
    // type 0, id 1, timestamp 1000.0, empty notes, "Job1" in 33 bytes
    put({0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x8f, 0x40, 0x00});
    put({'J', 'o', 'b', '1'});
    expected.insert(expected.end(), 29, 0x00);
    put({0xf5, 0x75});  // CRC-16/ARC of the 55 bytes from the flags on
    // Note record: L = 26, flags 2 (last), operation 10800, target 0.
    put({0x1a, 0x00, 0x00, 0x00, 0x02, 0x30, 0x2a, 0x00, 0x00, 0x00, 0x00});
    // type 1, id 2, timestamp 1000.0, notes "Hi"
    put({0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x8f, 0x40, 'H', 'i', 0x00});
    put({0xd5, 0x12});
    EXPECT_EQ(FromString(TempFolder::Read(Path())), expected);
    EXPECT_TRUE(env.warnings.empty());
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(JournalTest, WriteRecordFlagsAndTheEmptyOperation) {
    WriteBuffer buffer(ENDIAN_Little);
    dbModel_Action none;
    none.Operation = DBMODEL_NoRecord;
    none.Flags = 4;
    EXPECT_EQ(dbJournal::WriteRecord(none, buffer, 3), 5);
    EXPECT_EQ(buffer.Data()[0], 7);  // the extra flags OR the action's own
    EXPECT_EQ(buffer.Data()[1] | buffer.Data()[2] << 8, DBMODEL_NoRecord);
    EXPECT_EQ(buffer.Data()[3] | buffer.Data()[4] << 8, dbJournal_CRC16(buffer.Data(), 3));
}

TEST_F(JournalTest, TransactionsReadBack) {
    ASSERT_TRUE(journal.Create(Path().c_str(), filehdr_Class(FILEHDR_Journal)));
    dbTransaction first, second;
    Add(first, DBMODEL_Append, MakeHeader("Road works", 1));
    Add(second, DBMODEL_Append, MakeNote("one", 2));
    Add(second, DBMODEL_Apply, MakeNote("edit", 0), DBID(1));
    Add(second, DBMODEL_Remove, MakeNote("one", 2), DBID(2));
    journal.AppendTransaction(first);
    journal.AppendTransaction(second);
    ASSERT_TRUE(journal.Close());
    const int64_t size = static_cast<int64_t>(std::filesystem::file_size(Path()));

    ASSERT_TRUE(journal.Open(Path().c_str(), true));
    filehdr_Class header(FILEHDR_Antenna);
    ASSERT_TRUE(journal.GetHeader(header));
    EXPECT_TRUE(header.IsSame(filehdr_Class(FILEHDR_Journal)));
    EXPECT_EQ(journal.GetAppendPosition(), 48);

    int status = -1;
    dbTransaction* t = journal.ReadTransaction(status);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(status, DBJOURNAL_ReadGood);
    ASSERT_EQ(t->Count(), 1);
    EXPECT_EQ(t->GetFirst()->Flags, 3u);
    EXPECT_TRUE(t->GetFirst()->DBRecord->IsEqual(MakeHeader("Road works", 1)));
    EXPECT_EQ(t->GetFirst()->DBRecord->GetRecordId(), DBID(1));
    delete t;
    // A copy between two reads does not move the reading.
    ASSERT_TRUE(journal.CopyFile("between.job"));

    t = journal.ReadTransaction(status);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(status, DBJOURNAL_ReadGood);
    ASSERT_EQ(t->Count(), 3);
    const dbModel_Action* a = t->GetFirst();
    EXPECT_EQ(a->Flags, 1u);
    a = a->GetNext();
    EXPECT_EQ(a->Flags, 0u);
    EXPECT_EQ(a->Operation, DBMODEL_Apply);
    EXPECT_EQ(a->Target, DBID(1));
    EXPECT_EQ(a->DBRecord->GetNotes(), "edit");
    a = a->GetNext();
    EXPECT_EQ(a->Flags, 2u);
    EXPECT_EQ(a->Operation, DBMODEL_Remove);
    delete t;
    EXPECT_EQ(journal.GetLastGoodAppendPosition(), size);

    EXPECT_EQ(journal.ReadTransaction(status), nullptr);
    EXPECT_EQ(status, DBJOURNAL_ReadEnd);
    EXPECT_TRUE(env.warnings.empty());
}

TEST_F(JournalTest, PointsMeasurementsAndEditsReadBack) {
    ASSERT_TRUE(journal.Create(Path().c_str(), filehdr_Class(FILEHDR_Journal)));
    db_Observation point;
    point.PointName = "P7";
    point.SetRecordId(DBID(1));
    db_Grid grid;
    grid.Grid.North = 1234.5;
    grid.SetRecordId(DBID(2));
    db_Features features;
    features.Features.SetFromCodeString("FENCE POST", false);
    dbTransaction t;
    Add(t, DBMODEL_Append, point);
    Add(t, DBMODEL_Append, grid, DBID(1));
    Add(t, DBMODEL_Apply, features, DBID(1));
    journal.AppendTransaction(t);
    ASSERT_TRUE(journal.Close());

    ASSERT_TRUE(journal.Open(Path().c_str(), false));
    int status = -1;
    dbTransaction* back = journal.ReadTransaction(status);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(status, DBJOURNAL_ReadGood);
    ASSERT_EQ(back->Count(), 3);
    const dbModel_Action* a = back->GetFirst();
    ASSERT_NE(db_Observation::Cast(a->DBRecord), nullptr);
    EXPECT_EQ(db_Observation::Cast(a->DBRecord)->PointName, "P7");
    a = a->GetNext();
    EXPECT_EQ(a->Target, DBID(1));
    EXPECT_TRUE(a->DBRecord->IsEqual(grid));
    a = a->GetNext();
    EXPECT_TRUE(a->DBRecord->IsEqual(features));
    delete back;
    EXPECT_TRUE(env.assertions.empty());
}

// What one session wrote, the next rebuilds: transactions read back and applied to a
// model give the same records in the same order.
TEST_F(JournalTest, ReadBackTransactionsRebuildTheModel) {
    dbModel written;
    ASSERT_TRUE(journal.Create(Path().c_str(), filehdr_Class(FILEHDR_Journal)));
    auto commit = [&](dbTransaction& t) {
        written.ApplyTransaction(t);
        journal.AppendTransaction(t);
        t.Clear();
    };
    dbTransaction t;
    db_JobHeader header = MakeHeader("Site", written.NextRecordId().Value());
    Add(t, DBMODEL_Append, header);
    commit(t);
    db_Observation point;
    point.PointName = "P1";
    point.SetRecordId(written.NextRecordId());
    Add(t, DBMODEL_Append, point);
    db_Grid grid;
    grid.SetRecordId(written.NextRecordId());
    Add(t, DBMODEL_Append, grid, point.GetRecordId());
    commit(t);
    db_Line line;
    line.LineId = "L1";
    line.SetRecordId(written.NextRecordId());
    Add(t, DBMODEL_InsertBefore, line, point.GetRecordId());
    commit(t);
    Add(t, DBMODEL_Remove, header, header.GetRecordId());
    t.MarkAborted();  // an abandoned group is journaled but never applied
    journal.AppendTransaction(t);
    t.Clear();
    ASSERT_TRUE(journal.Close());

    dbModel replayed;
    ASSERT_TRUE(journal.Open(Path().c_str(), false));
    int status = DBJOURNAL_ReadGood;
    std::vector<int> statuses;
    while (status != DBJOURNAL_ReadEnd && status != DBJOURNAL_ReadDamaged) {
        dbTransaction* back = journal.ReadTransaction(status);
        statuses.push_back(status);
        if (back && status == DBJOURNAL_ReadGood) replayed.ApplyTransaction(*back);
        delete back;
    }
    EXPECT_EQ(statuses, (std::vector<int>{0, 0, 0, 2, 1}));
    std::vector<uint32_t> before, after;
    for (const dbModel_Record* h = written.GetThread().GetFront(); h; h = written.GetThread().GetNextHolder(h))
        before.push_back(h->DBRecord->GetRecordId().Value());
    for (const dbModel_Record* h = replayed.GetThread().GetFront(); h; h = replayed.GetThread().GetNextHolder(h))
        after.push_back(h->DBRecord->GetRecordId().Value());
    EXPECT_EQ(before, (std::vector<uint32_t>{1, 4, 2}));
    EXPECT_EQ(after, before);
    const db_Observation* replayedPoint = db_Observation::Cast(replayed.GetRecord(DBID(2)));
    ASSERT_NE(replayedPoint, nullptr);
    ASSERT_NE(db_Grid::Cast(replayedPoint->GetMeasurement()), nullptr);
    EXPECT_EQ(replayed.GetTypeSummary(DATABASE_AllRecords).Count, 3u);
    written.Clear();
    replayed.Clear();
}

// Damaged journals: the statuses of successive reads and the exact warnings.
TEST_F(JournalTest, DamagedFiles) {
    const Bytes one = Frame(3, DBMODEL_Append, 0, RecordBytes(MakeHeader("J", 1)));
    const Bytes twoA = Frame(1, DBMODEL_Append, 0, RecordBytes(MakeNote("a", 2)));
    const Bytes twoB = Frame(2, DBMODEL_Append, 0, RecordBytes(MakeNote("b", 3)));
    const Bytes three = Frame(3, DBMODEL_Append, 0, RecordBytes(MakeNote("c", 4)));
    const uint64_t p1 = 48, p2 = p1 + one.size(), p2b = p2 + twoA.size(), p3 = p2b + twoB.size();
    const uint64_t end = p3 + three.size();

    auto flip = [](Bytes b, size_t at) {
        b[at] ^= 0x40;
        return b;
    };
    auto cut = [](const Bytes& b, size_t n) { return Bytes(b.begin(), b.begin() + static_cast<long>(n)); };
    auto withLength = [](Bytes b, uint32_t length) {
        for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(length >> (8 * i));
        return b;
    };
    auto sized = [](uint64_t size) { return "-- Reported file size  " + Hex(size); };

    Bytes hammered = flip(three, 20);  // a wrong CRC does not matter once hammered
    hammered[4] = 0xBF;
    Bytes shortRecord = RecordBytes(MakeHeader("J", 4));
    shortRecord.resize(shortRecord.size() - 5);  // the job name runs past the record
    Bytes farId = RecordBytes(MakeNote("c", 4));
    farId[2] = 0x00;
    farId[5] = 0x01;  // id 0x01000000, far beyond what this small file could issue

    struct Case {
        const char* name;
        std::vector<Bytes> frames;
        std::vector<int> statuses;
        std::vector<std::string> warnings;
    };
    const Bytes abortedEnd = Frame(6, DBMODEL_Append, 0, RecordBytes(MakeNote("b", 3)));
    const Bytes noRecord = Frame(3, DBMODEL_NoRecord, 0, RecordBytes(MakeNote("c", 2)));
    const Bytes badOperation = Frame(3, 10807, 0, RecordBytes(MakeNote("c", 2)));
    const Bytes readsPast = Frame(3, DBMODEL_Append, 0, shortRecord);
    const Bytes idTooFar = Frame(3, DBMODEL_Append, 0, farId);
    const Bytes unknownType = Frame(3, DBMODEL_Append, 0, Bytes{5, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    std::vector<Case> cases = {
        {"intact", {one, twoA, twoB, three}, {0, 0, 0, 1}, {}},
        {"cut between transactions", {one, twoA, twoB}, {0, 0, 1}, {}},
        {"flipped byte in a record",
         {one, twoA, twoB, flip(three, 16)},
         {0, 0, 4},
         {"Journal: CRC error at  " + Hex(p3), sized(end)}},
        {"bad CRC",
         {one, flip(twoA, twoA.size() - 1), twoB, three},
         {0, 4},
         {"Journal: CRC error at  " + Hex(p2), sized(end)}},
        {"cut inside a record",
         {one, twoA, twoB, cut(three, three.size() - 3)},
         {0, 0, 4},
         {"Journal record short read failure at filepos  " + Hex(p3), sized(end - 3)}},
        {"cut inside the length field",
         {one, twoA, twoB, cut(three, 3)},
         {0, 0, 4},
         {"Journal record length short read failure at filepos  " + Hex(p3), sized(p3 + 3)}},
        {"cut inside a transaction",
         {one, twoA},
         {0, 1},
         {"Journal: Partial last transaction near filepos  " + Hex(p2b), sized(p2b)}},
        {"aborted transaction", {one, twoA, abortedEnd, three}, {0, 2, 0, 1}, {}},
        {"hammered record",
         {one, twoA, twoB, hammered, three},
         {0, 0, 0, 1},
         {"Journal: Manual repair detected at  " + Hex(p3), "-- Hammered record size  " + Hex(three.size() - 4)}},
        {"length 11",
         {one, withLength(twoA, 11)},
         {0, 4},
         {"Journal record length is unbelieveable at  " + Hex(p2), sized(p2 + twoA.size())}},
        {"length 524289",
         {one, withLength(twoA, 524289)},
         {0, 4},
         {"Journal record length is unbelieveable at  " + Hex(p2), sized(p2 + twoA.size())}},
        {"no-record operation with a record",
         {one, noRecord},
         {0, 4},
         {"Journal: Record corruption at filepos  " + Hex(p2), sized(p2 + noRecord.size())}},
        {"operation outside the range",
         {one, badOperation},
         {0, 4},
         {"Journal: Record corruption at filepos  " + Hex(p2), sized(p2 + badOperation.size())}},
        {"record read past its bytes",
         {one, readsPast},
         {0, 4},
         {"Journal: Record corruption at filepos  " + Hex(p2), sized(p2 + readsPast.size())}},
        {"record id beyond the file",
         {one, idTooFar},
         {0, 4},
         {"Journal: Record corruption at filepos  " + Hex(p2), sized(p2 + idTooFar.size())}},
        {"type the factory cannot make",
         {one, unknownType},
         {0, 4},
         {"Journal: Record corruption at filepos  " + Hex(p2), sized(p2 + unknownType.size())}},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = WriteJob(c.frames, "damaged.job");
        env.Clear();
        ASSERT_TRUE(journal.Open(path.c_str(), true));
        EXPECT_EQ(ReadAll().statuses, c.statuses);
        EXPECT_EQ(env.warnings, c.warnings);
        const bool damaged = c.statuses.back() == DBJOURNAL_ReadDamaged;
        EXPECT_EQ(journal.IsWritable(), !damaged);
        journal.Close();
        std::filesystem::remove(path);
    }
}

TEST_F(JournalTest, HeadlessAndPartialTransactions) {
    const Bytes one = Frame(3, DBMODEL_Append, 0, RecordBytes(MakeHeader("J", 1)));
    const Bytes start = Frame(1, DBMODEL_Append, 0, RecordBytes(MakeNote("a", 2)));
    const Bytes middle = Frame(0, DBMODEL_Append, 0, RecordBytes(MakeNote("b", 3)));
    const Bytes last = Frame(2, DBMODEL_Append, 0, RecordBytes(MakeNote("c", 4)));
    const uint64_t p2 = 48 + one.size();

    // Without its first record a transaction is skipped, however long it is.
    WriteJob({one, middle, last, one});
    ASSERT_TRUE(journal.Open(Path().c_str(), true));
    Reading r = ReadAll();
    EXPECT_EQ(r.statuses, (std::vector<int>{0, 3, 0, 1}));
    EXPECT_EQ(r.counts, (std::vector<int>{1, 2, 1, -1}));
    ASSERT_EQ(env.warnings.size(), 2u);
    EXPECT_EQ(env.warnings[0], "Journal: Transaction start flag missing near filepos  " + Hex(p2 + middle.size()));
    journal.Close();
    env.Clear();

    // A transaction that never ended is dropped; the complete one after it stands.
    WriteJob({one, start, middle, one, one}, "partial.job");
    ASSERT_TRUE(journal.Open(Path("partial.job").c_str(), true));
    r = ReadAll();
    EXPECT_EQ(r.statuses, (std::vector<int>{0, 0, 0, 1}));
    EXPECT_EQ(r.counts, (std::vector<int>{1, 1, 1, -1}));
    ASSERT_EQ(env.warnings.size(), 2u);
    EXPECT_EQ(env.warnings[0], "Journal: Partial transaction near filepos  " + Hex(p2 + start.size() + middle.size() + one.size()));
    // Records of dropped transactions count as good for the append position.
    EXPECT_EQ(journal.GetLastGoodAppendPosition(), static_cast<int64_t>(48 + 3 * one.size() + start.size() + middle.size()));
}

TEST_F(JournalTest, DamageMakesTheJournalUnwritableUntilCut) {
    const Bytes one = Frame(3, DBMODEL_Append, 0, RecordBytes(MakeHeader("J", 1)));
    Bytes bad = one;
    bad[10] ^= 1;
    WriteJob({one, bad});
    ASSERT_TRUE(journal.Open(Path().c_str(), true));
    ReadAll();
    EXPECT_FALSE(journal.IsWritable());
    EXPECT_EQ(journal.TruncateAtLastGood(), static_cast<int64_t>(48 + one.size()));
    EXPECT_TRUE(journal.IsWritable());
    journal.SetAppendPosition(journal.GetLastGoodAppendPosition());
    dbTransaction t;
    Add(t, DBMODEL_Append, MakeNote("after", 2));
    journal.AppendTransaction(t);
    EXPECT_TRUE(journal.Close());

    ASSERT_TRUE(journal.Open(Path().c_str(), true));
    env.Clear();
    EXPECT_EQ(ReadAll().statuses, (std::vector<int>{0, 0, 1}));
    EXPECT_TRUE(env.warnings.empty());
}

TEST_F(JournalTest, ReadOnlyFileIsNeverWritten) {
    WriteJob({Frame(3, DBMODEL_Append, 0, RecordBytes(MakeHeader("J", 1)))});
    const std::string before = TempFolder::Read(Path());
    ASSERT_EQ(chmod(Path().c_str(), 0444), 0);

    // The mode bits decide, even for a process that could write anyway.
    EXPECT_FALSE(journal.Open(Path().c_str(), true));
    ASSERT_TRUE(journal.Open(Path().c_str(), false));
    EXPECT_EQ(env.warnings, (std::vector<std::string>{"Journal Open : Job file is read-only: job.job"}));
    EXPECT_FALSE(journal.IsWritable());
    dbTransaction t;
    Add(t, DBMODEL_Append, MakeNote("lost", 2));
    journal.AppendTransaction(t);
    journal.Flush();
    EXPECT_FALSE(journal.Close());
    EXPECT_EQ(env.warnings.back(), "Journal close: Flush() failed.  Bytes unwritten: " + Hex(4 + 7 + RecordBytes(MakeNote("lost", 2)).size() + 2));
    EXPECT_EQ(TempFolder::Read(Path()), before);
}

TEST_F(JournalTest, OpenFailures) {
    EXPECT_FALSE(journal.Open(Path("missing.job").c_str(), false));
    folder.Write("short.job", std::string(47, 'x'));
    EXPECT_FALSE(journal.Open(Path("short.job").c_str(), false));
    EXPECT_FALSE(journal.IsOpen());
    filehdr_Class header(FILEHDR_Style);
    EXPECT_FALSE(journal.GetHeader(header));

    WriteJob({});
    EXPECT_FALSE(journal.Create(Path().c_str(), filehdr_Class(FILEHDR_Journal)));  // never overwrites
    EXPECT_TRUE(dbJournal_ReadFileHeader(Path().c_str(), header));
    EXPECT_EQ(header.FileType, FILEHDR_Journal);
    EXPECT_FALSE(dbJournal_ReadFileHeader(Path("short.job").c_str(), header));

    // A journal of the header alone ends at once, silently.
    ASSERT_TRUE(journal.Open(Path().c_str(), true));
    env.Clear();
    EXPECT_EQ(ReadAll().statuses, (std::vector<int>{1}));
    EXPECT_TRUE(env.warnings.empty());
}

TEST_F(JournalTest, FlushesWhenMoreThanTheThresholdIsBuffered) {
    ASSERT_TRUE(journal.Create(Path().c_str(), filehdr_Class(FILEHDR_Journal)));
    const int perTransaction = 4 + 7 + static_cast<int>(RecordBytes(MakeNote(std::string(100, 'n').c_str(), 1)).size()) + 2;
    int appended = 0;
    while ((appended + 1) * perTransaction <= DBJOURNAL_FlushThreshold) {
        dbTransaction t;
        Add(t, DBMODEL_Append, MakeNote(std::string(100, 'n').c_str(), static_cast<uint32_t>(appended + 1)));
        journal.AppendTransaction(t);
        ++appended;
    }
    EXPECT_EQ(journal.GetBufferedLength(), appended * perTransaction);
    EXPECT_EQ(std::filesystem::file_size(Path()), 48u);
    dbTransaction t;
    Add(t, DBMODEL_Append, MakeNote(std::string(100, 'n').c_str(), static_cast<uint32_t>(appended + 1)));
    journal.AppendTransaction(t);
    EXPECT_EQ(journal.GetBufferedLength(), 0);
    EXPECT_EQ(std::filesystem::file_size(Path()), static_cast<uintmax_t>(48 + (appended + 1) * perTransaction));
    EXPECT_EQ(journal.GetAppendPosition(), static_cast<int64_t>(48 + (appended + 1) * perTransaction));
}

TEST_F(JournalTest, TimedFlushWaitsThreeSecondsAndForTheHold) {
    ASSERT_TRUE(journal.Create(Path().c_str(), filehdr_Class(FILEHDR_Journal)));
    journal.FlushIfDue(0);  // nothing buffered: no deadline either
    dbTransaction t;
    Add(t, DBMODEL_Append, MakeNote("x", 1));
    journal.AppendTransaction(t);
    journal.FlushIfDue(100);  // sets the deadline at 103
    journal.FlushIfDue(102.9);
    EXPECT_GT(journal.GetBufferedLength(), 0);
    journal.HoldOutput();
    journal.FlushIfDue(104);
    EXPECT_GT(journal.GetBufferedLength(), 0);
    journal.ReleaseOutput();
    journal.FlushIfDue(104);
    EXPECT_EQ(journal.GetBufferedLength(), 0);
    EXPECT_GT(std::filesystem::file_size(Path()), 48u);
}

TEST_F(JournalTest, RecordTooLongForAReaderRefusesItsTransaction) {
    ASSERT_TRUE(journal.Create(Path().c_str(), filehdr_Class(FILEHDR_Journal)));
    dbTransaction t;
    Add(t, DBMODEL_Append, MakeNote("fits", 1));
    Add(t, DBMODEL_Append, MakeNote(std::string(DBJOURNAL_MaxRecordLength, 'x').c_str(), 2));
    journal.AppendTransaction(t);
    EXPECT_EQ(journal.GetBufferedLength(), 0);
    EXPECT_TRUE(journal.HasWriteFailed());
    ASSERT_EQ(env.warnings.size(), 1u);
    EXPECT_EQ(env.warnings[0].rfind("Journal: Record too long, transaction not written. Length 0x", 0), 0u);

    // A record of exactly the largest length is accepted and reads back.
    dbTransaction fits;
    const int overhead = 7 + static_cast<int>(RecordBytes(MakeNote("", 3)).size()) + 2;
    Add(fits, DBMODEL_Append, MakeNote(std::string(DBJOURNAL_MaxRecordLength - overhead, 'y').c_str(), 3));
    journal.AppendTransaction(fits);
    EXPECT_EQ(journal.GetAppendPosition(), static_cast<int64_t>(48 + 4 + DBJOURNAL_MaxRecordLength));
    EXPECT_FALSE(journal.Close());  // the refused transaction is not forgotten

    ASSERT_TRUE(journal.Open(Path().c_str(), false));
    Reading r = ReadAll();
    EXPECT_EQ(r.statuses, (std::vector<int>{0, 1}));
}

TEST_F(JournalTest, FailedWriteIsReportedByClose) {
    ASSERT_TRUE(journal.Create(Path().c_str(), filehdr_Class(FILEHDR_Journal)));
    dbTransaction t;
    Add(t, DBMODEL_Append, MakeNote(std::string(200, 'z').c_str(), 1));
    journal.AppendTransaction(t);
    {
        FileSizeLimit limit(100);
        journal.Flush();
    }
    EXPECT_TRUE(journal.HasWriteFailed());
    EXPECT_FALSE(env.systemErrors.empty());
    ASSERT_FALSE(env.warnings.empty());
    EXPECT_EQ(env.warnings[0], "Journal write failed (disk full?) at filepos 0x30");
    EXPECT_EQ(journal.GetAppendPosition(), 48);
    // The bytes stayed buffered and reach the file once it can take them, but the
    // failure is still told at close.
    EXPECT_FALSE(journal.Close());
    EXPECT_EQ(std::filesystem::file_size(Path()), static_cast<uintmax_t>(48 + 4 + 7 + 14 + 201 + 2));
}

TEST_F(JournalTest, CopyFileTakesWhatReachedTheFile) {
    ASSERT_TRUE(journal.Create(Path().c_str(), filehdr_Class(FILEHDR_Journal)));
    dbTransaction t;
    Add(t, DBMODEL_Append, MakeNote(std::string(70000, 'c').c_str(), 1));
    journal.AppendTransaction(t);
    journal.Flush();
    dbTransaction pending;
    Add(pending, DBMODEL_Append, MakeNote("buffered", 2));
    journal.AppendTransaction(pending);
    ASSERT_TRUE(journal.CopyFile("copy.job"));
    EXPECT_EQ(TempFolder::Read(Path("copy.job")), TempFolder::Read(Path()));
    EXPECT_FALSE(journal.CopyFile("copy.job"));  // never over an existing file
    EXPECT_TRUE(journal.Close());
}

}  // namespace
