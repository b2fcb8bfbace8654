// A failing disk under a whole conversion: each write, flush, seek, truncate, create and
// rename of a conversion fails in turn, with each error a disk gives. Whatever fails,
// the conversion answers a failure, leaves no job file it created, and never touches a
// file that stood at the job path before.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "import/road_file_list.h"
#include "jobdb/dbJob.h"
#include "platform/error.h"
#include "platform/faults.h"
#include "qzxmli.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

struct FaultKind {
    platform_FaultCall call;
    const char* name;
};

constexpr FaultKind kKinds[] = {
    {PLATFORM_FaultWrite, "write"},       {PLATFORM_FaultFlush, "flush"},   {PLATFORM_FaultSeek, "seek"},
    {PLATFORM_FaultTruncate, "truncate"}, {PLATFORM_FaultCreate, "create"}, {PLATFORM_FaultRename, "rename"},
};
constexpr uint32_t kErrors[] = {PLATFORM_ErrorDiskFull, PLATFORM_ErrorAccessDenied, 29, 30};

struct Disarm {
    ~Disarm() { platform_DisarmFaults(); }
};

std::string Example() { return std::string(QZ_FIXTURES_DIR) + "/../../examples/example.xml"; }

// The largest export among the fixtures that converts.
std::string LargestConvertingFixture() {
    std::vector<fs::path> exports;
    for (const auto& entry : fs::directory_iterator(std::string(QZ_FIXTURES_DIR) + "/import"))
        if (entry.path().extension() == ".xml") exports.push_back(entry.path());
    std::sort(exports.begin(), exports.end(),
              [](const fs::path& a, const fs::path& b) { return fs::file_size(a) > fs::file_size(b); });
    for (const fs::path& xml : exports) {
        TempFolder folder;
        const std::string job = folder / "probe.job";
        const bool converts = ImportQZXMLFile(xml.c_str(), job.c_str(), nullptr) == 0;
        import_test::TakeRoadFileNames();
        if (converts) return xml.string();
    }
    return Example();
}

// Calls of that kind a clean conversion makes, and the job it writes.
int CountCalls(const std::string& xml, platform_FaultCall call, std::string* job) {
    Disarm disarm;
    TempFolder folder;
    const std::string path = folder / "clean.job";
    platform_ArmFault(call, 0, 0);
    EXPECT_EQ(ImportQZXMLFile(xml.c_str(), path.c_str(), nullptr), 0);
    const int calls = platform_FaultCallCount(call);
    import_test::TakeRoadFileNames();
    if (job) *job = TempFolder::Read(path);
    return calls;
}

// Calls of that kind that creating a job makes: a failure there means the job could not
// be created (5); a failure at any later call loses some of the job (2).
int CountCallsOfCreation(platform_FaultCall call) {
    Disarm disarm;
    TempFolder folder;
    JobDatabase job;
    platform_ArmFault(call, 0, 0);
    EXPECT_TRUE(job.Create(Str((folder / "created.job").c_str()), "J", true));
    const int calls = platform_FaultCallCount(call);
    platform_DisarmFaults();
    job.Close();
    return calls;
}

void FailEveryCall(const std::string& xml) {
    for (const FaultKind& kind : kKinds) {
        const int calls = CountCalls(xml, kind.call, nullptr);
        const int creation = CountCallsOfCreation(kind.call);
        for (int n = 1; n <= calls; ++n) {
            const uint32_t error = kErrors[(n - 1) % 4];
            SCOPED_TRACE(std::string(kind.name) + " call " + std::to_string(n) + " of " + std::to_string(calls) +
                         ", error " + std::to_string(error));
            Disarm disarm;
            TempFolder folder;
            const std::string job = folder / "job.job";
            platform_ArmFault(kind.call, n, error);
            EXPECT_EQ(ImportQZXMLFile(xml.c_str(), job.c_str(), nullptr), n <= creation ? 5 : 2);
            EXPECT_TRUE(platform_FaultFired());
            // Nothing half-written stays behind: no job file, no temporary file; only
            // the road files written whole before the failure, and listed.
            EXPECT_EQ(import_test::FolderListing(folder.Path()), import_test::TakeListedRoadFiles(folder.Path()));
        }
    }
}

TEST(IoFaults, EveryFailingCallOfTheExampleFailsTheConversion) { FailEveryCall(Example()); }

TEST(IoFaults, EveryFailingCallOfTheLargestFixtureFailsTheConversion) { FailEveryCall(LargestConvertingFixture()); }

TEST(IoFaults, AFileAtTheJobPathIsNeverTouched) {
    const std::string xml = Example();
    for (const FaultKind& kind : kKinds) {
        // Counted with the file in place: the conversion stops at the create.
        Disarm disarm;
        TempFolder folder;
        const std::string job = folder.Write("taken.job", "someone else's file");
        for (int n = 1; n <= 3; ++n) {
            platform_ArmFault(kind.call, n, PLATFORM_ErrorDiskFull);
            EXPECT_EQ(ImportQZXMLFile(xml.c_str(), job.c_str(), nullptr), 5) << kind.name << " " << n;
            EXPECT_EQ(TempFolder::Read(job), "someone else's file");
            EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
        }
    }
}

}  // namespace
