// A failing disk under closing a job and saving the default settings: each write, flush,
// seek, truncate, create and rename fails in turn. A close that lost anything says so, and
// what reached the file reads back as whole transactions; a failed save keeps the old
// defaults whole and leaves no temporary file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/files/path.h"
#include "job_fixture.h"
#include "platform/error.h"
#include "platform/faults.h"
#include "records/jobheader.h"
#include "records/precisioncoding.h"

namespace {

namespace fs = std::filesystem;

constexpr platform_FaultCall kCalls[] = {PLATFORM_FaultWrite,    PLATFORM_FaultFlush,  PLATFORM_FaultSeek,
                                         PLATFORM_FaultTruncate, PLATFORM_FaultCreate, PLATFORM_FaultRename};
constexpr uint32_t kErrors[] = {PLATFORM_ErrorDiskFull, PLATFORM_ErrorAccessDenied, 29, 30};

struct Disarm {
    ~Disarm() { platform_DisarmFaults(); }
};

// A job whose notes fill the journal's buffer a few times over, so writes happen both
// while records are added and when the job closes.
void FillJob(JobDatabase& job, const std::string& path) {
    ASSERT_TRUE(job.Create(Str(path.c_str()), "Job", true));
    for (int i = 0; i < 12; ++i) {
        db_Note note;
        note.SetNotes(Str(std::string(9000, static_cast<char>('a' + i)).c_str()));
        job.AddRecord(&note);
    }
}

// A close is counted after the records went in: only its own calls fail.
int CountCloseCalls(platform_FaultCall call, std::vector<TransactionSeen>* clean) {
    RecordingEnvironment env;
    TempFolder tmp;
    JobDatabase job;
    FillJob(job, tmp / "clean.job");
    Disarm disarm;
    platform_ArmFault(call, 0, 0);
    EXPECT_TRUE(job.Close());
    const int calls = platform_FaultCallCount(call);
    if (clean) *clean = ReadJobFile(tmp / "clean.job");
    return calls;
}

TEST(IoFaults, AFailedCloseSaysSoAndKeepsWholeTransactions) {
    std::vector<TransactionSeen> clean;
    CountCloseCalls(PLATFORM_FaultWrite, &clean);
    ASSERT_EQ(clean.size(), 13u);
    int failures = 0;
    for (platform_FaultCall call : kCalls) {
        const int calls = CountCloseCalls(call, nullptr);
        for (int n = 1; n <= calls; ++n) {
            SCOPED_TRACE("call kind " + std::to_string(call) + ", call " + std::to_string(n));
            RecordingEnvironment env;
            TempFolder tmp;
            JobDatabase job;
            FillJob(job, tmp / "a.job");
            Disarm disarm;
            platform_ArmFault(call, n, kErrors[(n - 1) % 4]);
            EXPECT_FALSE(job.Close());
            EXPECT_TRUE(platform_FaultFired());
            platform_DisarmFaults();
            // What reached the file is a run of the clean job's transactions.
            const std::vector<TransactionSeen> read = ReadJobFile(tmp / "a.job");
            ASSERT_LE(read.size(), clean.size());
            for (size_t i = 0; i < read.size(); ++i) EXPECT_EQ(read[i], clean[i]);
            ++failures;
        }
    }
    EXPECT_GT(failures, 0);
}

// A job filled and closed with the n-th call of one kind failing (0: none), its journal's
// device flushes inline or deferred: what the close answers, what was reported, what
// reached the file, and the calls of that kind made.
struct FillOutcome {
    bool closed = false;
    std::vector<std::string> warnings;
    std::vector<std::string> systemErrors;
    std::vector<TransactionSeen> read;
    int calls = 0;
};

FillOutcome FillAndClose(bool deferred, platform_FaultCall call, int n) {
    FillOutcome outcome;
    RecordingEnvironment env;
    TempFolder tmp;
    const std::string path = tmp / "j.job";
    JobDatabase job;
    EXPECT_TRUE(job.Create(Str(path.c_str()), "Job", true));
    if (deferred) job.GetAccess()->GetJournal().DeferDeviceFlushes();
    Disarm disarm;
    platform_ArmFault(call, n, n > 0 ? kErrors[(n - 1) % 4] : 0);
    for (int i = 0; i < 12; ++i) {
        db_Note note;
        note.SetNotes(Str(std::string(9000, static_cast<char>('a' + i)).c_str()));
        job.AddRecord(&note);
    }
    outcome.closed = job.Close();
    outcome.calls = platform_FaultCallCount(call);
    EXPECT_EQ(platform_FaultFired(), n > 0);
    platform_DisarmFaults();
    outcome.warnings = env.warnings;
    for (const SystemErrorReport& report : env.systemErrors)
        outcome.systemErrors.push_back(report.module + " " + std::to_string(report.line) + " " +
                                       std::to_string(report.code));
    outcome.read = ReadJobFile(path);
    return outcome;
}

TEST(IoFaults, DeferredDeviceFlushesFailAsInlineOnes) {
    // The same calls, and each failing one answered, reported and cut off alike.
    int failures = 0;
    for (platform_FaultCall call : kCalls) {
        const FillOutcome clean = FillAndClose(false, call, 0);
        EXPECT_EQ(FillAndClose(true, call, 0).calls, clean.calls);
        EXPECT_TRUE(clean.closed);
        for (int n = 1; n <= clean.calls; ++n) {
            SCOPED_TRACE("call kind " + std::to_string(call) + ", call " + std::to_string(n));
            const FillOutcome inlined = FillAndClose(false, call, n);
            const FillOutcome deferred = FillAndClose(true, call, n);
            EXPECT_FALSE(deferred.closed);
            EXPECT_EQ(deferred.closed, inlined.closed);
            EXPECT_EQ(deferred.warnings, inlined.warnings);
            EXPECT_EQ(deferred.systemErrors, inlined.systemErrors);
            EXPECT_EQ(deferred.read, inlined.read);
            EXPECT_EQ(deferred.calls, inlined.calls);
            ++failures;
        }
    }
    // Writes, device flushes and seeks at least, several of each.
    EXPECT_GT(failures, 6);
}

class DefaultSettingsFaults : public JobFileTest {
protected:
    void SetUp() override {
        JobFileTest::SetUp();
        path_DefineMacro("ProjectRootDir", Str(tmp.Path().c_str()));
        coding.Comment = "old";
        job.AddRecord(&coding);
        ASSERT_TRUE(job.SaveDefaultSettings("d.job"));
        coding.Comment = "new";
        job.AddRecord(&coding);
    }
    db_Coding coding;
};

TEST_F(DefaultSettingsFaults, AFailedSaveKeepsTheOldDefaultsWhole) {
    const std::string before = TempFolder::Read(tmp / "d.job");
    int failures = 0;
    for (platform_FaultCall call : kCalls) {
        int calls = 0;
        {
            Disarm disarm;
            platform_ArmFault(call, 0, 0);
            ASSERT_TRUE(job.SaveDefaultSettings("counted.job"));
            calls = platform_FaultCallCount(call);
        }
        for (int n = 1; n <= calls; ++n) {
            SCOPED_TRACE("call kind " + std::to_string(call) + ", call " + std::to_string(n));
            Disarm disarm;
            platform_ArmFault(call, n, kErrors[(n - 1) % 4]);
            EXPECT_FALSE(job.SaveDefaultSettings("d.job"));
            EXPECT_TRUE(platform_FaultFired());
            EXPECT_EQ(TempFolder::Read(tmp / "d.job"), before);
            EXPECT_FALSE(fs::exists(tmp / "d.job.tmp"));
            ++failures;
        }
    }
    EXPECT_GT(failures, 3);
}

}  // namespace
