// Exports with one top-level element far larger than any record: a huge note, and a
// whole export wrapped in one element. The conversion fails with 2 once the element's
// tree passes the reader's bound, leaves no job file, and its memory stays near the
// bound instead of growing with the element.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "foundation/xml/reader.h"
#include "platform/memcheck.h"
#include "qzxmli.h"
#include "support/repeated_file.h"
#include "support/temp_folder.h"

namespace {

constexpr const char* kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<JOBFile product=\"Field\" version=\"1245\">\n";
constexpr const char* kHeader = "<DATABASE_JobHeaderRecord TimeStamp=\"1\">Job</DATABASE_JobHeaderRecord>\n";
constexpr const char* kNote = "<DATABASE_NoteRecord ID=\"0x2\" rec=\"db_Note\"><Note>a note</Note></DATABASE_NoteRecord>\n";

struct ChildConversion {
    int result = -1;
    int64_t peakBytes = 0;  // the child's largest resident set
};

// Converts in a child process, so that its peak memory is the conversion's own (with
// what the child shared with this process at the start).
ChildConversion ConvertInChild(const std::string& xml, const std::string& job) {
    ChildConversion child;
    const pid_t pid = fork();
    if (pid == 0) _exit(ImportQZXMLFile(xml.c_str(), job.c_str(), nullptr));
    if (pid < 0) return child;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return child;
    if (WIFEXITED(status)) child.result = WEXITSTATUS(status);
    child.peakBytes = static_cast<int64_t>(usage.ru_maxrss) * 1024;
    return child;
}

TEST(HugeElementConversion, FailsAtTheBoundWithMemoryNearIt) {
    TempFolder folder;
    const std::string small = folder.Write("small.xml", std::string(kHead) + kHeader + kNote + "</JOBFile>\n");
    const ChildConversion baseline = ConvertInChild(small, folder / "small.job");
    ASSERT_EQ(baseline.result, 0);

    struct Case {
        const char* shape;
        std::string head, unit;
        int64_t bytes;
        std::string tail;
    } const cases[] = {
        // 100 MB of note text in one element.
        {"a huge note", std::string(kHead) + kHeader + "<DATABASE_NoteRecord ID=\"0x2\" rec=\"db_Note\"><Note>",
         "survey note ", 100 << 20, "</Note></DATABASE_NoteRecord>\n</JOBFile>\n"},
        // Every record inside one element: its tree passes the bound at about a fifth of
        // its bytes in the file.
        {"an export wrapped in one element", std::string(kHead) + "<Wrapped>\n" + kHeader, kNote,
         xml_MaxTreeBytes / 2, "</Wrapped>\n</JOBFile>\n"},
    };
    for (const Case& c : cases) {
        const std::string xml = folder / "huge.xml";
        WriteRepeatedFile(xml, c.head, c.unit, c.bytes, c.tail);
        const std::string job = folder / "huge.job";
        const ChildConversion huge = ConvertInChild(xml, job);
        EXPECT_EQ(huge.result, 2) << c.shape;
        EXPECT_FALSE(std::filesystem::exists(job)) << c.shape;
        // A memory checker's bookkeeping would swamp the figure.
        if (!platform_MemoryChecksActive()) {
            const int64_t grown = huge.peakBytes - baseline.peakBytes;
            std::printf("%s: %lld MiB beyond a small conversion\n", c.shape, static_cast<long long>(grown >> 20));
            // The bound, plus the block a growing text leaves behind while it is copied.
            EXPECT_LT(grown, 2 * xml_MaxTreeBytes + (32 << 20)) << c.shape;
        }
        std::filesystem::remove(xml);
    }
}

}  // namespace
