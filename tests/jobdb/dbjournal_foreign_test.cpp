#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/kernel/clock.h"
#include "jobdb/dbaccess.h"
#include "jobdb/dbjournal.h"
#include "platform/time.h"
#include "records/imaging.h"
#include "records/jobheader.h"
#include "support/file_size_limit.h"
#include "support/recording_environment.h"
#include "support/temp_folder.h"

namespace {

using Bytes = std::vector<uint8_t>;

void PutLittle(Bytes& b, uint64_t value, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// The journal record of a foreign block as it must appear on disk, built by hand.
Bytes ForeignFrame(double timeStamp, const std::string& name, const Bytes& block) {
    Bytes body = {3};
    PutLittle(body, 10804, 2);
    PutLittle(body, 0, 4);  // no target
    PutLittle(body, 137, 2);
    PutLittle(body, 0, 4);  // no record id
    uint64_t bits;
    std::memcpy(&bits, &timeStamp, 8);
    PutLittle(body, bits, 8);
    body.push_back(0);  // no notes
    body.insert(body.end(), name.begin(), name.end());
    body.push_back(0);
    PutLittle(body, block.size(), 4);
    body.insert(body.end(), block.begin(), block.end());
    PutLittle(body, dbJournal_CRC16(body.data(), static_cast<int>(body.size())), 2);
    Bytes frame;
    PutLittle(frame, body.size(), 4);
    frame.insert(frame.end(), body.begin(), body.end());
    return frame;
}

std::string ToString(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

class FixedNow {
public:
    FixedNow() { platform_FixTime(1700000000); }
    ~FixedNow() { platform_ReleaseTime(); }
};

class ForeignFileTest : public ::testing::Test {
protected:
    // A job file of one transaction (the job header); returns its path.
    std::string MakeJob() {
        const std::string path = folder / "job.job";
        dbJournal journal;
        EXPECT_TRUE(journal.Create(path.c_str(), filehdr_Class(FILEHDR_Journal)));
        db_JobHeader header;
        header.JobName = "J";
        header.SetRecordId(DBID(1));
        dbTransaction t;
        t.Append(new dbModel_Action(DBMODEL_Append, NODBID, &header));
        journal.AppendTransaction(t);
        EXPECT_TRUE(journal.Close());
        return path;
    }

    TempFolder folder;
    RecordingEnvironment env;
    FixedNow now;
    const Bytes block = {0x10, 0x00, 0xBF, 0x20, 0x30};
};

// The record lands behind the file's last byte, whatever the file holds, and nothing
// else changes.
TEST_F(ForeignFileTest, RecordIsAppendedAtTheEndOfAnyFile) {
    const std::string path = folder.Write("data.bin", "abc");
    ASSERT_TRUE(dbJournal::WriteForeignFile(path.c_str(), "ext", block.data(), 5));
    EXPECT_EQ(TempFolder::Read(path), "abc" + ToString(ForeignFrame(clock_GetTime(), "ext", block)));

    // A second one follows the first; an empty block has no bytes.
    ASSERT_TRUE(dbJournal::WriteForeignFile(path.c_str(), "", nullptr, 0));
    EXPECT_EQ(TempFolder::Read(path), "abc" + ToString(ForeignFrame(clock_GetTime(), "ext", block)) +
                                          ToString(ForeignFrame(clock_GetTime(), "", {})));
    EXPECT_TRUE(env.warnings.empty());
    EXPECT_TRUE(env.assertions.empty());
}

// Written behind a job's records, the foreign record reads back through the journal
// as a good transaction of its own, operation 10804 with the block whole: not damage.
TEST_F(ForeignFileTest, ReadsBackThroughTheJournal) {
    const std::string path = MakeJob();
    const std::string before = TempFolder::Read(path);
    ASSERT_TRUE(dbJournal::WriteForeignFile(path.c_str(), "ext", block.data(), 5));
    EXPECT_EQ(TempFolder::Read(path), before + ToString(ForeignFrame(clock_GetTime(), "ext", block)));

    dbJournal journal;
    ASSERT_TRUE(journal.Open(path.c_str(), false));
    journal.SeekFirstRecord();
    int status = -1;
    delete journal.ReadTransaction(status);
    EXPECT_EQ(status, DBJOURNAL_ReadGood);

    dbTransaction* foreign = journal.ReadTransaction(status);
    EXPECT_EQ(status, DBJOURNAL_ReadGood);
    ASSERT_NE(foreign, nullptr);
    ASSERT_EQ(foreign->Count(), 1);
    const dbModel_Action* action = foreign->GetFirst();
    EXPECT_EQ(action->Flags, 3u);
    EXPECT_EQ(action->Operation, DBMODEL_Foreign);
    EXPECT_EQ(action->Target, NODBID);
    const db_Foreign* record = db_Foreign::Cast(action->DBRecord);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->Name, "ext");
    ASSERT_EQ(record->GetLength(), 5u);
    EXPECT_EQ(Bytes(record->GetData(), record->GetData() + 5), block);
    delete foreign;

    EXPECT_EQ(journal.ReadTransaction(status), nullptr);
    EXPECT_EQ(status, DBJOURNAL_ReadEnd);
    EXPECT_EQ(journal.GetLastGoodAppendPosition(), static_cast<int64_t>(TempFolder::Read(path).size()));
    EXPECT_TRUE(env.warnings.empty());
    EXPECT_TRUE(journal.Close());
}

// Opening the job replays it: the foreign record is skipped, not taken for damage, and
// the job stays open and writable behind it.
TEST_F(ForeignFileTest, ReplaySkipsTheForeignRecord) {
    const std::string path = MakeJob();
    ASSERT_TRUE(dbJournal::WriteForeignFile(path.c_str(), "ext", block.data(), 5));
    dbAccess access;
    ASSERT_TRUE(access.Open(path.c_str(), true));
    EXPECT_EQ(access.GetOpenStatus(), DBACCESS_Opened);
    EXPECT_EQ(access.GetModel().GetTypeSummary(DATABASE_AllRecords).Count, 1u);
    EXPECT_EQ(access.GetModel().GetTypeSummary(DATABASE_ForeignRecord).Count, 0u);
    EXPECT_NE(access.GetRecord(DBID(1)), nullptr);
    EXPECT_TRUE(env.warnings.empty());
    EXPECT_TRUE(env.assertions.empty());
    EXPECT_TRUE(access.Close());
}

// The caller's bytes are only borrowed: they are neither freed nor changed, whether
// the write succeeds or is refused.
TEST_F(ForeignFileTest, CallersBytesStayTheCallers) {
    const std::string path = folder.Write("data.bin", "");
    auto* bytes = new uint8_t[3]{1, 2, 3};
    ASSERT_TRUE(dbJournal::WriteForeignFile(path.c_str(), "n", bytes, 3));
    EXPECT_FALSE(dbJournal::WriteForeignFile((folder / "missing.bin").c_str(), "n", bytes, 3));
    EXPECT_EQ(bytes[0] + bytes[1] + bytes[2], 6);
    delete[] bytes;
}

TEST_F(ForeignFileTest, RefusalsLeaveTheFileAsItWas) {
    const std::string path = MakeJob();
    const std::string before = TempFolder::Read(path);
    std::vector<uint8_t> big(DBJOURNAL_MaxRecordLength, 0x55);

    // A missing file is not created.
    EXPECT_FALSE(dbJournal::WriteForeignFile((folder / "missing.bin").c_str(), "n", block.data(), 5));
    EXPECT_FALSE(std::filesystem::exists(folder / "missing.bin"));
    // No bytes behind a length.
    EXPECT_FALSE(dbJournal::WriteForeignFile(path.c_str(), "n", nullptr, 5));
    // Too long for any reader: the block alone fills the largest record, and with its
    // frame a block a little smaller still does.
    env.Clear();
    EXPECT_FALSE(dbJournal::WriteForeignFile(path.c_str(), "n", big.data(), DBJOURNAL_MaxRecordLength));
    EXPECT_FALSE(dbJournal::WriteForeignFile(path.c_str(), "n", big.data(), DBJOURNAL_MaxRecordLength - 20));
    ASSERT_EQ(env.warnings.size(), 2u);
    EXPECT_EQ(env.warnings[0].rfind("Journal: Record too long, transaction not written. Length 0x", 0), 0u);
    EXPECT_EQ(TempFolder::Read(path), before);

    // The largest block that fits reads back.
    const uint32_t frame = 7 + 15 + 2 + 4 + 2;  // flags to target, header, name "n", length, CRC
    ASSERT_TRUE(dbJournal::WriteForeignFile(path.c_str(), "n", big.data(), DBJOURNAL_MaxRecordLength - frame));
    dbJournal journal;
    ASSERT_TRUE(journal.Open(path.c_str(), false));
    journal.SeekFirstRecord();
    int status = -1;
    delete journal.ReadTransaction(status);
    dbTransaction* foreign = journal.ReadTransaction(status);
    EXPECT_EQ(status, DBJOURNAL_ReadGood);
    ASSERT_NE(foreign, nullptr);
    EXPECT_EQ(db_Foreign::Cast(foreign->GetFirst()->DBRecord)->GetLength(), DBJOURNAL_MaxRecordLength - frame);
    delete foreign;
    EXPECT_TRUE(journal.Close());
}

// Read-only by its mode bits: refused even for a process that could write anyway.
TEST_F(ForeignFileTest, ReadOnlyFileIsNotWritten) {
    const std::string path = MakeJob();
    const std::string before = TempFolder::Read(path);
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_FALSE(dbJournal::WriteForeignFile(path.c_str(), "n", block.data(), 5));
    EXPECT_EQ(TempFolder::Read(path), before);
}

// A write that stops part way is reported and cut away, so the file does not end in
// a broken record.
TEST_F(ForeignFileTest, FailedWriteIsReportedAndCutAway) {
    const std::string path = MakeJob();
    const std::string before = TempFolder::Read(path);
    std::vector<uint8_t> large(4000, 0x66);
    {
        FileSizeLimit limit(before.size() + 100);
        EXPECT_FALSE(dbJournal::WriteForeignFile(path.c_str(), "n", large.data(), 4000));
    }
    EXPECT_FALSE(env.systemErrors.empty());
    EXPECT_EQ(TempFolder::Read(path), before);
}

}  // namespace
