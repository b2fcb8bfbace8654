// Damaged job files through the journal reader, the access object and the job
// database. Each case starts from a job file the converter wrote (tests/fixtures/jobdb/)
// and damages it from a fixed seed: bytes flipped anywhere, the file cut, length fields
// changed, and record bytes changed under a recomputed CRC so that the damage reaches the
// record decoders (counts, type codes, ids, strings). Every case must open with a
// documented status, never read outside its bytes and never size memory from a number
// in the file alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "jobdb/dbJob.h"
#include "jobdb/dbaccess.h"
#include "jobdb/dbjournal.h"
#include "jobdb/jobdb_fixture.h"
#include "jobdb/dbRecordCalls.h"
#include "support/allocation_watch.h"
#include "support/recording_environment.h"
#include "support/temp_folder.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Fixture(const char* name) {
    const std::string text = TempFolder::Read(std::string(QZ_FIXTURES_DIR) + "/jobdb/" + name);
    return Bytes(text.begin(), text.end());
}

uint32_t GetU32(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
void SetU32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A job file split into its header and its journal records (each body is flags
// through the record, without the length and the CRC).
struct Journal {
    Bytes header;
    std::vector<Bytes> bodies;

    static Journal Split(const Bytes& file) {
        Journal j;
        j.header.assign(file.begin(), file.begin() + 48);
        size_t at = 48;
        while (at + 4 <= file.size()) {
            const uint32_t length = GetU32(file, at);
            if (length < 2 || at + 4 + length > file.size()) break;
            j.bodies.emplace_back(file.begin() + at + 4, file.begin() + at + 4 + length - 2);
            at += 4 + length;
        }
        return j;
    }
    // The file again, every CRC computed anew.
    Bytes Join() const {
        Bytes file = header;
        for (const Bytes& body : bodies) {
            const size_t at = file.size();
            file.resize(at + 4);
            SetU32(file, at, static_cast<uint32_t>(body.size() + 2));
            file.insert(file.end(), body.begin(), body.end());
            const uint16_t crc = dbJournal_CRC16(body.data(), static_cast<int>(body.size()));
            file.push_back(static_cast<uint8_t>(crc));
            file.push_back(static_cast<uint8_t>(crc >> 8));
        }
        return file;
    }
};

// Numbers that damage a count, a length or an id.
constexpr uint32_t kHostileWords[] = {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x40000000u, 0x00100000u,
                                      0x0000FFFFu, 0x00008000u, 0x00000100u, 0x00000000u, 0x00000001u};

class Mutator {
public:
    explicit Mutator(uint32_t seed) : rng_(seed) {}

    uint32_t Below(uint32_t n) { return n == 0 ? 0 : rng_() % n; }

    // Damage the whole file: the CRC usually catches it.
    void Raw(Bytes& file, std::string& what) {
        const size_t size = file.size();
        switch (Below(6)) {
        case 0: {
            const int flips = 1 + Below(4);
            for (int i = 0; i < flips; ++i) file[Below(size)] ^= static_cast<uint8_t>(1u << Below(8));
            what = "flip";
            break;
        }
        case 1:
            file.resize(Below(size));
            what = "cut at " + std::to_string(file.size());
            break;
        case 2: {
            const size_t at = Below(size + 1);
            const size_t n = 1 + Below(16);
            Bytes bytes(n);
            for (auto& b : bytes) b = static_cast<uint8_t>(rng_());
            file.insert(file.begin() + at, bytes.begin(), bytes.end());
            what = "insert at " + std::to_string(at);
            break;
        }
        case 3: {
            const size_t at = Below(size);
            const size_t n = std::min<size_t>(1 + Below(16), size - at);
            file.erase(file.begin() + at, file.begin() + at + n);
            what = "delete at " + std::to_string(at);
            break;
        }
        case 4: {
            // A length field of the journal.
            std::vector<size_t> fields;
            for (size_t at = 48; at + 4 <= size;) {
                fields.push_back(at);
                const uint32_t length = GetU32(file, at);
                if (length == 0 || at + 4 + length > size) break;
                at += 4 + length;
            }
            if (fields.empty()) break;
            const size_t at = fields[Below(fields.size())];
            const uint32_t old = GetU32(file, at);
            const uint32_t values[] = {0,          1,       11,         12,      13,         old - 1, old + 1,
                                       old + 1000, 524288,  524289,     0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu};
            SetU32(file, at, values[Below(sizeof values / sizeof values[0])]);
            what = "length at " + std::to_string(at);
            break;
        }
        default:
            // The file header.
            file[Below(48)] = static_cast<uint8_t>(rng_());
            what = "header";
            break;
        }
    }

    // Damage one record's bytes and compute its CRC anew, so the decoders see it.
    void UnderCrc(Journal& journal, std::string& what) {
        if (journal.bodies.empty()) return;
        const size_t index = Below(journal.bodies.size());
        Bytes& body = journal.bodies[index];
        what = "record " + std::to_string(index) + ": ";
        switch (Below(10)) {
        case 0: {
            const int flips = 1 + Below(3);
            for (int i = 0; i < flips; ++i) body[Below(body.size())] ^= static_cast<uint8_t>(1u << Below(8));
            what += "flip";
            break;
        }
        case 1:
        case 2: {
            // A 32-bit number anywhere in the record: counts, lengths, ids.
            if (body.size() < 4) break;
            const size_t at = Below(body.size() - 3);
            SetU32(body, at, kHostileWords[Below(sizeof kHostileWords / sizeof kHostileWords[0])]);
            what += "word at " + std::to_string(at);
            break;
        }
        case 3: {
            // A 16-bit number: small counts, type codes.
            if (body.size() < 2) break;
            const size_t at = Below(body.size() - 1);
            const uint16_t values[] = {0xFFFF, 0x8000, 0x7FFF, 0x0100, 0, 162, 163};
            const uint16_t v = values[Below(7)];
            body[at] = static_cast<uint8_t>(v);
            body[at + 1] = static_cast<uint8_t>(v >> 8);
            what += "half at " + std::to_string(at);
            break;
        }
        case 4:
            body.resize(Below(body.size()));
            what += "cut to " + std::to_string(body.size());
            break;
        case 5: {
            const size_t n = 1 + Below(64);
            for (size_t i = 0; i < n; ++i) body.push_back(static_cast<uint8_t>(rng_()));
            what += "grown";
            break;
        }
        case 6: {
            // The type code (behind flags, operation and target).
            if (body.size() < 9) break;
            const uint16_t type = static_cast<uint16_t>(Below(170));
            body[7] = static_cast<uint8_t>(type);
            body[8] = static_cast<uint8_t>(type >> 8);
            what += "type " + std::to_string(type);
            break;
        }
        case 7:
            // Flags, operation or target.
            if (body.size() < 7) break;
            body[Below(7)] = static_cast<uint8_t>(rng_());
            what += "frame field";
            break;
        case 8: {
            // Another operation on another record of the job: replace, insert before,
            // apply or remove aimed at the wrong record, or at none.
            if (body.size() < 7) break;
            const uint16_t operation = static_cast<uint16_t>(10800 + Below(7));
            const uint32_t target = Below(journal.bodies.size() + 3);
            body[0] = static_cast<uint8_t>(1 + Below(7));
            body[1] = static_cast<uint8_t>(operation);
            body[2] = static_cast<uint8_t>(operation >> 8);
            SetU32(body, 3, target);
            what += "operation " + std::to_string(operation) + " on " + std::to_string(target);
            break;
        }
        default: {
            // Whole records dropped, doubled or swapped.
            const size_t other = Below(journal.bodies.size());
            switch (Below(3)) {
            case 0: journal.bodies.erase(journal.bodies.begin() + index); what += "dropped"; break;
            case 1: journal.bodies.insert(journal.bodies.begin() + index, journal.bodies[other]); what += "doubled"; break;
            default: std::swap(journal.bodies[index], journal.bodies[other]); what += "swapped"; break;
            }
            break;
        }
        }
    }

private:
    std::mt19937 rng_;
};

bool IsOpenStatus(int status) {
    switch (status) {
    case DBACCESS_Opened:
    case DBACCESS_CannotOpen:
    case DBACCESS_WrongVersion:
    case DBACCESS_NotAJob:
    case DBACCESS_ModelFailed:
    case DBACCESS_Damaged:
        return true;
    default:
        return false;
    }
}

bool Agree(JobDatabase*) { return true; }

// Reads, opens and replays one damaged file in every way a caller can.
void OpenEveryWay(const TempFolder& folder, const Bytes& file) {
    const std::string bytes(file.begin(), file.end());
    const std::string path = folder.Write("damaged.job", bytes);

    {
        dbJournal journal;
        if (journal.Open(Str(path.c_str()), false)) {
            journal.SeekFirstRecord();
            // Every transaction takes at least one record of 16 bytes or more.
            const size_t most = file.size() / 16 + 2;
            int status = DBJOURNAL_ReadGood;
            size_t reads = 0;
            for (; reads <= most; ++reads) {
                delete journal.ReadTransaction(status);
                if (status == DBJOURNAL_ReadEnd || status == DBJOURNAL_ReadDamaged) break;
            }
            EXPECT_LE(reads, most) << "the reader does not come to an end";
            journal.Close();
        }
    }
    {
        dbAccess access;
        access.Open(Str(path.c_str()), false);
        EXPECT_TRUE(IsOpenStatus(access.GetOpenStatus())) << access.GetOpenStatus();
        if (access.IsOpen()) {
            // Walk the chain the replay built: it ends, and every link is a record.
            size_t walked = 0;
            for (DBID id = access.GetFirstId(); id != NODBID && walked <= file.size(); id = access.GetNextId(id)) {
                EXPECT_NE(access.GetRecord(id), nullptr);
                ++walked;
            }
            EXPECT_LE(walked, file.size());
            access.Close();
        }
    }
    {
        // Writable, agreeing to cut at the damage; then written to and read again.
        JobDatabase job;
        job.TruncationCallback = &Agree;
        if (job.Open(Str(path.c_str()), true)) {
            EXPECT_TRUE(IsOpenStatus(job.GetOpenStatus()));
            StrArray lines;
            lines.Add("after the damage");
            job.AddPendingNoteLines(lines);
            job.Close();
            dbAccess again;
            again.Open(Str(path.c_str()), false);
            EXPECT_EQ(again.GetOpenStatus(), DBACCESS_Opened) << "a cut and written job opens whole";
            if (again.IsOpen()) again.Close();
        } else {
            EXPECT_TRUE(IsOpenStatus(job.GetOpenStatus())) << job.GetOpenStatus();
        }
    }
}

// The largest block a file of this size may need: a few copies of the file, plus room
// for the model's fixed tables.
size_t AllocationBound(size_t fileSize) { return 64 * 1024 + 16 * fileSize; }

// Cases per job file: about a second each in the sanitizer build.
constexpr int kCases = 1500;

class DamagedJobs : public ::testing::TestWithParam<const char*> {};

TEST_P(DamagedJobs, OpenWithADocumentedStatusAndBoundedMemory) {
    const Bytes original = Fixture(GetParam());
    ASSERT_GT(original.size(), 48u);
    const Journal split = Journal::Split(original);
    ASSERT_EQ(split.Join(), original) << "the fixture is one whole journal";

    TempFolder folder;
    RecordingEnvironment environment;
    {
        // The file as written opens whole.
        const std::string path = folder.Write("whole.job", std::string(original.begin(), original.end()));
        dbAccess access;
        ASSERT_TRUE(access.Open(Str(path.c_str()), false));
        EXPECT_EQ(access.GetOpenStatus(), DBACCESS_Opened);
        access.Close();
        EXPECT_TRUE(environment.warnings.empty());
        environment.Clear();
    }

    Mutator mutator(0x5EED0000u + static_cast<uint32_t>(original.size()));
    AllocationWatch watch;
    for (int i = 0; i < kCases; ++i) {
        Bytes file;
        std::string what;
        if (i % 2 == 0) {
            file = original;
            mutator.Raw(file, what);
        } else {
            Journal journal = split;
            mutator.UnderCrc(journal, what);
            // Sometimes twice, so damage meets damage.
            if (i % 6 == 1) {
                std::string second;
                mutator.UnderCrc(journal, second);
                what += ", " + second;
            }
            file = journal.Join();
        }
        SCOPED_TRACE("case " + std::to_string(i) + ": " + what);
        watch.Reset();
        OpenEveryWay(folder, file);
        if (AllocationWatch::Available()) {
            EXPECT_LE(watch.LargestBlock(), AllocationBound(file.size()));
        }
        environment.Clear();
        if (HasFailure()) break;
    }
}

INSTANTIATE_TEST_SUITE_P(ConverterJobs, DamagedJobs,
                         ::testing::Values("example.job", "cogo_1050.job", "entity_notes.job", "stakeout.job",
                                           "scanning_tunnels.job", "all_elements.job"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             name = name.substr(0, name.find('.'));
                             name.erase(std::remove(name.begin(), name.end(), '_'), name.end());
                             return name;
                         });

// ------------------------------------------------------------------ regressions found by the cases above

// A length field that reaches past the file's end is a short read, found before the
// reader takes a block of that length.
TEST(JournalDamageRegression, ALengthPastTheFileEndTakesNoMemory) {
    using namespace jobdb_test;
    Bytes file = FileHeaderBytes();
    const Bytes header = Frame(3, DBMODEL_Append, 0, jobdb_test::Header("J"));
    file.insert(file.end(), header.begin(), header.end());
    const size_t second = file.size();
    file.insert(file.end(), header.begin(), header.end());
    SetU32(file, second, DBJOURNAL_MaxRecordLength);
    TempFolder folder;
    RecordingEnvironment environment;
    const std::string path = folder.Write("long.job", ToString(file));

    dbJournal journal;
    ASSERT_TRUE(journal.Open(Str(path.c_str()), false));
    journal.SeekFirstRecord();
    int status = DBJOURNAL_ReadGood;
    delete journal.ReadRecord(status);
    EXPECT_EQ(status, DBJOURNAL_ReadGood);
    AllocationWatch watch;
    EXPECT_EQ(journal.ReadRecord(status), nullptr);
    EXPECT_EQ(status, DBJOURNAL_ReadDamaged);
    if (AllocationWatch::Available()) {
        EXPECT_LT(watch.LargestBlock(), 4096u);
    }
    journal.Close();
    ASSERT_EQ(environment.warnings.size(), 2u);
    EXPECT_EQ(environment.warnings[0].rfind("Journal record short read failure at filepos ", 0), 0u)
        << environment.warnings[0];
}

// A record id is believed by the bytes up to its record's end. Judged by the whole
// file's size, an id accepted at open became damage once the job was cut behind it,
// and a job cut and written again no longer opened.
TEST(JournalDamageRegression, AJobCutAtItsDamageOpensWholeAfterAWrite) {
    using namespace jobdb_test;
    Bytes file = FileHeaderBytes();
    for (const Bytes& frame : {Frame(3, DBMODEL_Append, 0, jobdb_test::Header("J")),
                               Frame(3, DBMODEL_Append, 0, Note("far", 20))})
        file.insert(file.end(), frame.begin(), frame.end());
    // Damage with enough bytes behind it to make id 20 look possible for the whole file.
    Bytes damage = Frame(3, DBMODEL_Append, 0, Note(std::string(300, 'x').c_str(), 3));
    damage.back() ^= 0xFF;
    file.insert(file.end(), damage.begin(), damage.end());
    TempFolder folder;
    RecordingEnvironment environment;
    const std::string path = folder.Write("cut.job", ToString(file));

    JobDatabase job;
    job.TruncationCallback = &Agree;
    ASSERT_TRUE(job.Open(Str(path.c_str()), true));
    EXPECT_EQ(job.GetOpenStatus(), DBACCESS_Damaged);
    // The note's id is more than its bytes could have issued: the damage starts there.
    EXPECT_EQ(job.GetAccess()->GetRecord(DBID(20)), nullptr);
    db_Note later;
    later.SetNotes("later");
    const DBID id = dbRecord_AppendGrouped(job.GetAccess(), &later);
    EXPECT_EQ(id, DBID(2));
    ASSERT_TRUE(job.Close());

    dbAccess reopened;
    ASSERT_TRUE(reopened.Open(Str(path.c_str()), false));
    EXPECT_EQ(reopened.GetOpenStatus(), DBACCESS_Opened);
    ASSERT_NE(reopened.GetRecord(id), nullptr);
    EXPECT_EQ(reopened.GetRecord(id)->GetNotes(), Str("later"));
    reopened.Close();
}

}  // namespace
