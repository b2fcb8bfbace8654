// Damaged exports through the conversion export. Each case starts from one of the small
// exports (tests/fixtures/import/, examples/example.xml) and damages it from a fixed
// seed: bytes flipped, inserted or deleted, the file cut, elements doubled or dropped,
// numbers replaced by huge, negative or not-a-number texts, very long texts, deep
// nesting, wrong IDs and references, broken markup. Every case must end with a
// documented result; a failed one leaves no job file and touches nothing else (a file
// already standing at the job path stays as it was) but the road files it listed, a
// finished one leaves a job that reads back whole and its listed road files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "import/import_journal.h"
#include "import/road_file_list.h"
#include "jobdb/dbaccess.h"
#include "qzxmli.h"
#include "support/allocation_watch.h"
#include "support/recording_environment.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

std::string Source(const std::string& name) {
    if (name == "example.xml") return TempFolder::Read(std::string(QZ_FIXTURES_DIR) + "/../../examples/example.xml");
    return TempFolder::Read(std::string(QZ_FIXTURES_DIR) + "/import/" + name);
}

const char* const kHostileNumbers[] = {
    "1e309",    "-1e309",     "NaN",         "nan",         "-nan",        "inf",         "-Infinity",
    "1e308",    "-1e308",     "1.7976931348623157e308",     "4.9e-324",    "1e-400",      "-0",
    "99999999999999999999999999", "-99999999999999999999", "2147483648",  "-2147483649", "4294967296",
    "65536",    "-1",         "-32769",      "0x",          "0xFFFFFFFFFFFFFFFF",         "0x80000000",
    "",         " ",          "--1",         "1e",          "e5",          ".",           "+",
    "1,5",      "12abc",      "0x1g",        "\t7\n",       "00000000000000000000000000000001"};

const char* const kHostileMarkup[] = {"&",        "&amp",       "&#0;",       "&#xFFFFFFFF;", "&#99999999999;",
                                      "&unknown;", "<![CDATA[x", "]]>",        "<!--",         "-->",
                                      "<?pi x?>",  "</Unopened>", "<Open>",    "<a b=>",       "<a b=\"x>",
                                      "<>",        "</>",        "<!DOCTYPE x>", "\"",          "'",
                                      "\x01", "\xFF\xFE", "\xC3",         "\xED\xA0\x80"};

// Start tags of elements whose end tag follows: [start, end) of the whole element.
std::vector<std::pair<size_t, size_t>> Elements(const std::string& text) {
    std::vector<std::pair<size_t, size_t>> found;
    for (size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
        size_t end = at + 1;
        while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_')) ++end;
        if (end == at + 1) continue;
        const std::string name = text.substr(at + 1, end - at - 1);
        const size_t close = text.find('>', end);
        if (close == std::string::npos) continue;
        if (text[close - 1] == '/') {
            found.push_back({at, close + 1});
            continue;
        }
        const size_t endTag = text.find("</" + name + ">", close);
        if (endTag != std::string::npos) found.push_back({at, endTag + name.size() + 3});
    }
    return found;
}

class Mutator {
public:
    explicit Mutator(uint32_t seed) : rng_(seed) {}
    uint32_t Below(size_t n) { return n == 0 ? 0 : static_cast<uint32_t>(rng_() % n); }

    std::string Damage(std::string& text) {
        const size_t size = text.size();
        switch (Below(12)) {
        case 0: {
            const int flips = 1 + Below(4);
            for (int i = 0; i < flips; ++i) text[Below(size)] ^= static_cast<char>(1u << Below(8));
            return "flip";
        }
        case 1: {
            const size_t at = Below(size + 1);
            std::string bytes(1 + Below(12), ' ');
            for (char& c : bytes) c = static_cast<char>(rng_());
            text.insert(at, bytes);
            return "insert at " + std::to_string(at);
        }
        case 2: {
            const size_t at = Below(size);
            text.erase(at, 1 + Below(40));
            return "delete at " + std::to_string(at);
        }
        case 3:
            text.resize(Below(size));
            return "cut at " + std::to_string(text.size());
        case 4:
        case 5: {
            const auto elements = Elements(text);
            if (elements.empty()) return "no element";
            const auto [from, to] = elements[Below(elements.size())];
            if (Below(2)) {
                text.insert(to, text.substr(from, to - from));
                return "doubled element at " + std::to_string(from);
            }
            text.erase(from, to - from);
            return "dropped element at " + std::to_string(from);
        }
        case 6:
        case 7: {
            // A number: an attribute value or an element's text.
            std::vector<std::pair<size_t, size_t>> numbers;
            for (size_t at = 0; at < size;) {
                if (std::isdigit(static_cast<unsigned char>(text[at]))) {
                    size_t end = at;
                    while (end < size && (std::isxdigit(static_cast<unsigned char>(text[end])) || text[end] == '.' ||
                                          text[end] == 'x' || text[end] == '-'))
                        ++end;
                    numbers.push_back({at, end});
                    at = end;
                } else {
                    ++at;
                }
            }
            if (numbers.empty()) return "no number";
            const auto [from, to] = numbers[Below(numbers.size())];
            const char* value = kHostileNumbers[Below(std::size(kHostileNumbers))];
            text.replace(from, to - from, value);
            return "number at " + std::to_string(from) + " -> \"" + value + "\"";
        }
        case 8: {
            // A very long text or attribute value.
            const size_t at = Below(size);
            const size_t n = size_t{1} << (10 + Below(8));
            text.insert(at, std::string(n, static_cast<char>('A' + Below(26))));
            return "long text of " + std::to_string(n) + " at " + std::to_string(at);
        }
        case 9: {
            // Deep nesting inside an element, around the reader's limit.
            const auto elements = Elements(text);
            if (elements.empty()) return "no element";
            const auto [from, to] = elements[Below(elements.size())];
            const size_t close = text.find('>', from) + 1;
            if (close == 0 || close > to) return "no element";
            const int depths[] = {100, 253, 254, 255, 256, 257, 1000, 20000};
            const int depth = depths[Below(std::size(depths))];
            std::string open, shut;
            for (int i = 0; i < depth; ++i) {
                open += "<N>";
                shut += "</N>";
            }
            // Sometimes the nesting never closes.
            text.insert(close, Below(4) ? open + shut : open);
            return "nesting " + std::to_string(depth) + " at " + std::to_string(close);
        }
        case 10: {
            // IDs and references: another element's ID, zero, huge or malformed.
            std::vector<size_t> hex;
            for (size_t at = text.find("0x"); at != std::string::npos; at = text.find("0x", at + 2)) hex.push_back(at);
            if (hex.empty()) return "no id";
            const size_t from = hex[Below(hex.size())];
            size_t to = from + 2;
            while (to < text.size() && std::isxdigit(static_cast<unsigned char>(text[to]))) ++to;
            const char* ids[] = {"0x0", "0x1", "0x2", "0xffffffff", "0x7fffffff", "0x100000000", "0x", "0X1",
                                 "0x-1", "0x1 0x2", "1"};
            const std::string id = Below(3) ? ids[Below(std::size(ids))] : text.substr(hex[Below(hex.size())], 3);
            text.replace(from, to - from, id);
            return "id at " + std::to_string(from) + " -> " + id;
        }
        default: {
            const size_t at = Below(size + 1);
            const std::string markup = kHostileMarkup[Below(std::size(kHostileMarkup))];
            text.insert(at, markup);
            return "markup at " + std::to_string(at);
        }
        }
    }

private:
    std::mt19937 rng_;
};

using import_test::FolderListing;
using import_test::TakeListedRoadFiles;

void DrainRoadFileList() { import_test::TakeRoadFileNames(); }

int cancelAt = 0;
int progressCalls = 0;
bool Progress(int) { return ++progressCalls != cancelAt; }

// The largest block a conversion of an export of this size may take: a few copies of
// the export, plus the job model's fixed tables.
size_t AllocationBound(size_t exportSize) { return 256 * 1024 + 16 * exportSize; }

// Cases per export: a few seconds in all in the sanitizer build.
constexpr int kCases = 400;

class DamagedExports : public ::testing::TestWithParam<const char*> {};

TEST_P(DamagedExports, EndWithADocumentedResultAndLeaveNothingBehind) {
    const std::string original = Source(GetParam());
    ASSERT_FALSE(original.empty());
    TempFolder folder;
    const std::string in = folder / "in";
    const std::string out = folder / "out";
    fs::create_directories(in);
    fs::create_directories(out);
    const std::string xml = in + "/export.xml";
    const std::string job = out + "/job.job";
    RecordingEnvironment environment;
    DrainRoadFileList();
    // The export as it stands: the damaged cases should reach both ends.
    std::ofstream(xml, std::ios::binary) << original;
    const bool converts = ImportQZXMLFile(xml.c_str(), job.c_str(), nullptr) == 0;
    for (const auto& entry : fs::directory_iterator(out)) fs::remove(entry.path());
    DrainRoadFileList();
    std::set<int> results;

    Mutator mutator(0xE4B07u + static_cast<uint32_t>(original.size()));
    AllocationWatch watch;
    for (int i = 0; i < kCases; ++i) {
        std::string text = original;
        std::string what = mutator.Damage(text);
        if (i % 3 == 2) what += ", " + mutator.Damage(text);
        SCOPED_TRACE("case " + std::to_string(i) + ": " + what);
        std::ofstream(xml, std::ios::binary | std::ios::trunc) << text;

        // Now and then a file of someone else's already stands at the job path.
        const bool taken = i % 13 == 7;
        if (taken) std::ofstream(job, std::ios::binary) << "someone else's file";

        progressCalls = 0;
        cancelAt = i % 11 == 5 ? 1 + static_cast<int>(mutator.Below(4)) : 0;
        watch.Reset();
        const int result = ImportQZXMLFile(xml.c_str(), job.c_str(), i % 2 ? &Progress : nullptr);
        const size_t largest = watch.LargestBlock();

        EXPECT_TRUE(result == 0 || result == 1 || result == 2 || result == 4 || result == 5) << result;
        results.insert(result);
        EXPECT_EQ(TempFolder::Read(xml), text) << "the export was changed";
        if (AllocationWatch::Available()) {
            EXPECT_LE(largest, AllocationBound(text.size()));
        }
        // Road files stay, listed, whatever the result; nothing else is left behind.
        std::vector<std::string> left = TakeListedRoadFiles(out);
        if (taken) {
            EXPECT_NE(result, 0);
            EXPECT_EQ(TempFolder::Read(job), "someone else's file") << "result " << result;
            EXPECT_EQ(FolderListing(out), std::vector<std::string>{"job.job"}) << "result " << result;
        } else if (result != 0) {
            EXPECT_EQ(FolderListing(out), left) << "result " << result;
        } else {
            left.push_back("job.job");
            std::sort(left.begin(), left.end());
            EXPECT_EQ(FolderListing(out), left);
            bool whole = false;
            const auto entries = import_test::ReadJournal(job, &whole);
            EXPECT_TRUE(whole);
            EXPECT_FALSE(entries.empty());
            dbAccess access;
            EXPECT_TRUE(access.Open(Str(job.c_str()), false));
            EXPECT_EQ(access.GetOpenStatus(), DBACCESS_Opened);
            if (access.IsOpen()) access.Close();
        }
        EXPECT_EQ(FolderListing(in), std::vector<std::string>{"export.xml"});
        for (const auto& entry : fs::directory_iterator(out)) fs::remove(entry.path());
        DrainRoadFileList();
        environment.Clear();
        if (HasFailure()) return;
    }
    EXPECT_TRUE(results.count(2)) << "no case failed to convert";
    if (converts) {
        EXPECT_TRUE(results.count(0)) << "no case converted";
    }
}

INSTANTIATE_TEST_SUITE_P(SmallExports, DamagedExports,
                         ::testing::Values("example.xml", "cogo_1050.xml", "entity_notes.xml", "notes.xml",
                                           "header_only.xml", "bad_rec.xml", "after_root.xml", "no_header.xml",
                                           "truncated.xml", "gnss.xml", "stakeout.xml", "settings.xml", "traverse.xml", "scanning_tunnels.xml", "localtransform.xml", "all_elements.xml",
                                           "conventional.xml", "stylesettings.xml", "roads.xml", "road_files.xml"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             name = name.substr(0, name.find('.'));
                             std::string clean;
                             for (char c : name)
                                 if (std::isalnum(static_cast<unsigned char>(c))) clean += c;
                             return clean;
                         });

}  // namespace
