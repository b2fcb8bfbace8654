// Exports with one element near or far past the reader's bound, in every shape: one long
// text, many large attributes, many children. The conversion fails with 2, leaves no job
// file, and the element raises peak memory by less than twice the bound, whatever its
// size.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "foundation/xml/reader.h"
#include "platform/memcheck.h"
#include "qzxmli.h"
#include "support/temp_folder.h"

namespace {

constexpr const char* kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<JOBFile product=\"Field\" version=\"1245\">\n";
constexpr const char* kHeader = "<DATABASE_JobHeaderRecord TimeStamp=\"1\">Job</DATABASE_JobHeaderRecord>\n";
constexpr const char* kNote = "<DATABASE_NoteRecord ID=\"0x2\" rec=\"db_Note\"><Note>a note</Note></DATABASE_NoteRecord>\n";
constexpr const char* kNoteOpen = "<DATABASE_NoteRecord ID=\"0x2\" rec=\"db_Note\"";
constexpr const char* kNoteClose = "</DATABASE_NoteRecord>\n</JOBFile>\n";
constexpr int64_t kMiB = 1 << 20;

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

// head, then `count` times (unit repeated to `bytes`, then the unit's closing text), then
// tail; a piece at a time, so that this process never holds a large text that the child
// converting would count as its own.
void WriteElementFile(const std::string& path, const std::string& head, const std::string& open,
                      const std::string& unit, int64_t bytes, const std::string& close, int count,
                      const std::string& tail) {
    std::string piece;
    while (piece.size() < (1u << 20)) piece += unit;
    std::ofstream out(path, std::ios::binary);
    out << head;
    for (int i = 0; i < count; ++i) {
        out << open;
        for (int64_t written = 0; written < bytes; written += static_cast<int64_t>(piece.size())) out << piece;
        out << close;
    }
    out << tail;
}

TEST(HugeElementConversion, FailsWithMemoryBelowTwiceTheBound) {
    TempFolder folder;
    const std::string small = folder.Write("small.xml", std::string(kHead) + kHeader + kNote + "</JOBFile>\n");
    const ChildConversion baseline = ConvertInChild(small, folder / "small.job");
    ASSERT_EQ(baseline.result, 0);

    const std::string head = std::string(kHead) + kHeader + kNoteOpen;
    // Just below the bound, allowing for the element's nodes and names.
    const int64_t below = xml_MaxTreeBytes - 4 * kMiB;
    struct Case {
        const char* shape;
        std::string head, open, unit;
        int64_t bytes;
        std::string close;
        int count;
        std::string tail;
    } const cases[] = {
        // A text the reader takes whole, far longer than a record can hold.
        {"a note just below the bound", head, "><Note>", "survey note ", below, "</Note>", 1, kNoteClose},
        {"a note of one word just below the bound", head, "><Note>", "x", below, "</Note>", 1, kNoteClose},
        {"a note past the bound", head, "><Note>", "survey note ", xml_MaxTreeBytes + 16 * kMiB, "</Note>", 1, kNoteClose},
        // Attributes of 24 MiB, each of many words or of one: the third passes the bound.
        {"many large attributes", head, " a=\"", "survey note ", 24 * kMiB, "\"", 8, "/>\n</JOBFile>\n"},
        {"many large attributes of one word", head, " a=\"", "x", 24 * kMiB, "\"", 8, "/>\n</JOBFile>\n"},
        // A record of many children whose notes add up to more than a record holds.
        {"a record of many children", head, ">", "<Note>a note of some length</Note>", xml_MaxTreeBytes / 4, "", 1,
         kNoteClose},
        // Every record inside one element: its tree passes the bound at about a fifth of
        // its bytes in the file.
        {"an export wrapped in one element", std::string(kHead) + "<Wrapped>\n" + kHeader, "", kNote,
         xml_MaxTreeBytes / 2, "", 1, "</Wrapped>\n</JOBFile>\n"},
    };
    for (const Case& c : cases) {
        const std::string xml = folder / "huge.xml";
        WriteElementFile(xml, c.head, c.open, c.unit, c.bytes, c.close, c.count, c.tail);
        const std::string job = folder / "huge.job";
        const ChildConversion huge = ConvertInChild(xml, job);
        EXPECT_EQ(huge.result, 2) << c.shape;
        EXPECT_FALSE(std::filesystem::exists(job)) << c.shape;
        // A memory checker's bookkeeping would swamp the figure.
        if (!platform_MemoryChecksActive()) {
            const int64_t grown = huge.peakBytes - baseline.peakBytes;
            std::printf("%s: %lld MiB beyond a small conversion\n", c.shape, static_cast<long long>(grown / kMiB));
            EXPECT_LT(grown, 2 * xml_MaxTreeBytes) << c.shape;
        }
        std::filesystem::remove(xml);
    }
}

// Notes are refused before they are copied into a record only where no record could
// hold them: just below a record's 512 KiB they still convert.
TEST(HugeElementConversion, NotesFailOnlyPastWhatARecordHolds) {
    TempFolder folder;
    const struct {
        int64_t length;
        int result;
    } cases[] = {{500 << 10, 0}, {513 << 10, 2}};
    for (const auto& c : cases) {
        const std::string xml = folder.Write("note.xml", std::string(kHead) + kHeader + kNoteOpen + "><Note>" +
                                                           std::string(static_cast<size_t>(c.length), 'n') +
                                                           "</Note>" + kNoteClose);
        const std::string job = folder / "note.job";
        EXPECT_EQ(ImportQZXMLFile(xml.c_str(), job.c_str(), nullptr), c.result) << c.length;
        EXPECT_EQ(std::filesystem::exists(job), c.result == 0) << c.length;
        std::filesystem::remove(job);
    }
}

}  // namespace
