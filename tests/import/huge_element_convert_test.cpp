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
constexpr const char* kPointOpen = "<DATABASE_ObservationRecord ID=\"0x2\" rec=\"db_Observation\">";
constexpr const char* kPointFields =
    "<Method>DBENTITY_Coordinates</Method><SurveyMethod>DBENTITY_Fix</SurveyMethod>"
    "<Classification>Normal</Classification><Deleted>false</Deleted>";
constexpr const char* kPointClose = "</DATABASE_ObservationRecord>\n</JOBFile>\n";
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
        // Texts of other records, each alone or together past what a record holds.
        {"a point name just below the bound", std::string(kHead) + kHeader + kPointOpen, "<PointName>", "survey pt ",
         below, "</PointName>", 1, std::string(kPointFields) + kPointClose},
        {"features of many long text attributes",
         std::string(kHead) + kHeader + kPointOpen + "<PointName>P1</PointName>" + kPointFields +
             "<DATABASE_FeaturesRecord FeatureCount=\"1\" rec=\"FeatureArray\">"
             "<Feature Name=\"TREE\" AttributeCount=\"100000\">",
         "", "<Attribute Name=\"Remark\" Type=\"Text\" Value=\"" + std::string(4000, 't') + "\"/>",
         xml_MaxTreeBytes - 8 * kMiB, "", 1, std::string("</Feature></DATABASE_FeaturesRecord>") + kPointClose},
        {"features of many long codes",
         std::string(kHead) + kHeader + kPointOpen + "<PointName>P1</PointName>" + kPointFields +
             "<DATABASE_FeaturesRecord FeatureCount=\"100000\" rec=\"FeatureArray\">",
         "", "<Feature Name=\"" + std::string(4000, 'c') + "\" AttributeCount=\"0\"/>", xml_MaxTreeBytes - 8 * kMiB,
         "", 1, std::string("</DATABASE_FeaturesRecord>") + kPointClose},
        {"a traverse of many long leg names",
         std::string(kHead) + kHeader +
             "<DATABASE_TraverseClosureRecord ID=\"0x2\" rec=\"db_TraverseClosure\">"
             "<Results>DBENTITY_Adjusted</Results><TraverseLegs>",
         "", "<Leg><FromPt>" + std::string(4000, 's') + "</FromPt><ToPt>T2</ToPt></Leg>", xml_MaxTreeBytes - 8 * kMiB,
         "", 1, "</TraverseLegs></DATABASE_TraverseClosureRecord>\n</JOBFile>\n"},
        // Not one element: notes inside an entity wait to join its notes at its end.
        {"many notes inside one entity",
         std::string(kHead) + kHeader + kPointOpen + "<PointName>P1</PointName>" + kPointFields +
             "</DATABASE_ObservationRecord>\n",
         "", kNote, 3 * xml_MaxTreeBytes, "", 1, "</JOBFile>\n"},
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

// Texts are refused before they are copied into a record only where no record could
// hold them: just below a record's 512 KiB they still convert.
TEST(HugeElementConversion, TextsFailOnlyPastWhatARecordHolds) {
    TempFolder folder;
    const auto note = [](const std::string& text) {
        return std::string(kNoteOpen) + "><Note>" + text + "</Note>" + kNoteClose;
    };
    const auto pointName = [](const std::string& text) {
        return std::string(kPointOpen) + "<PointName>" + text + "</PointName>" + kPointFields + kPointClose;
    };
    // Two text attributes, each half the text.
    const auto attributes = [](const std::string& text) {
        const std::string half = text.substr(0, text.size() / 2);
        const std::string attribute = "<Attribute Name=\"R\" Type=\"Text\" Value=\"" + half + "\"/>";
        return std::string(kPointOpen) + "<PointName>P1</PointName>" + kPointFields +
               "<DATABASE_FeaturesRecord FeatureCount=\"1\" rec=\"FeatureArray\">"
               "<Feature Name=\"TREE\" AttributeCount=\"2\">" +
               attribute + attribute + "</Feature></DATABASE_FeaturesRecord>" + kPointClose;
    };
    const struct {
        const char* what;
        std::string (*element)(const std::string&);
    } shapes[] = {{"note", note}, {"point name", pointName}, {"text attributes", attributes}};
    const struct {
        int64_t length;
        int result;
    } lengths[] = {{500 << 10, 0}, {513 << 10, 2}};
    for (const auto& shape : shapes) {
        for (const auto& c : lengths) {
            const std::string xml = folder.Write(
                "text.xml", std::string(kHead) + kHeader + shape.element(std::string(static_cast<size_t>(c.length), 'n')));
            const std::string job = folder / "text.job";
            EXPECT_EQ(ImportQZXMLFile(xml.c_str(), job.c_str(), nullptr), c.result) << shape.what << " " << c.length;
            EXPECT_EQ(std::filesystem::exists(job), c.result == 0) << shape.what << " " << c.length;
            std::filesystem::remove(job);
        }
    }
}

}  // namespace
