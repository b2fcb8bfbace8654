// The job files of generated exports, pinned by hash: work on the conversion path must
// leave every byte of the output as it was. "Now" and the zone are fixed, as records
// made by the conversion itself carry the time they were made.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "export_generator.h"
#include "qzxmli.h"
#include "support/temp_folder.h"
#include "support/zoned_time.h"

namespace {

uint64_t Fnv1a(const std::string& bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

class ConvertBytesTest : public ZonedTimeTest {
protected:
    // Converts the export into the folder and checks the job file's size and hash.
    static void ExpectPinnedJob(const std::string& xml, const TempFolder& folder, size_t jobBytes, uint64_t hash) {
        const std::string job = folder / "export.job";
        ASSERT_EQ(ImportQZXMLFile(xml.c_str(), job.c_str(), nullptr), 0);
        const std::string bytes = TempFolder::Read(job);
        EXPECT_EQ(bytes.size(), jobBytes);
        EXPECT_EQ(Fnv1a(bytes), hash) << std::hex << Fnv1a(bytes);
    }
};

TEST_F(ConvertBytesTest, GeneratedExportsGiveThePinnedJobFiles) {
    struct Case {
        const char* name;
        ExportOptions options;
        size_t jobBytes;
        uint64_t hash;
    };
    const Case cases[] = {
        {"default mix", ExportOptions{1 << 20, 7, false}, 212434, 0xc405792ac8c10bd5ull},
        {"one line", ExportOptions{1 << 19, 3, true}, 122886, 0x2d89dfb792878a94ull},
        {"observations", ExportOptions{1 << 20, 5, false, ExportMix::Observations}, 211181, 0xf6f0863963a6a400ull},
    };
    Zone("UTC");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform_FixTime(1700000000);
        TempFolder folder;
        const std::string xml = folder / "export.xml";
        std::FILE* out = std::fopen(xml.c_str(), "wb");
        ASSERT_TRUE(out);
        GenerateExport(out, c.options);
        std::fclose(out);
        ExpectPinnedJob(xml, folder, c.jobBytes, c.hash);
    }
}

// The small exports of the end-to-end tests, pinned the same way. The job index follows
// no commit of a conversion (the access object groups automatically), so nothing it
// does may show in these bytes.
TEST_F(ConvertBytesTest, FixtureExportsGiveThePinnedJobFiles) {
    struct Case {
        const char* file;
        size_t jobBytes;
        uint64_t hash;
    };
    const Case cases[] = {
        {"cogo_1050.xml", 996, 0x93617fbc2acb6cadull},
        {"conventional.xml", 1772, 0x6298d421399771acull},
        {"entity_notes.xml", 324, 0x768b09e11522bcc4ull},
        {"gnss.xml", 1702, 0x826f4e0a528477ccull},
        {"header_only.xml", 109, 0x11e9a3e6290a23c3ull},
        {"notes.xml", 247, 0x304b449cb948d8bdull},
        {"scanning_tunnels.xml", 2362, 0x8cdfba0f31750575ull},
        {"settings.xml", 1763, 0x8bb49b0f187abf35ull},
        {"stakeout.xml", 1718, 0x3069e134fc9d1e70ull},
        {"stylesettings.xml", 1782, 0x0794d7a284bc2f57ull},
        {"traverse.xml", 1662, 0xa7c57f072f148865ull},
    };
    Zone("UTC");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        platform_FixTime(1700000000);
        TempFolder folder;
        ExpectPinnedJob(std::string(QZ_FIXTURES_DIR) + "/import/" + c.file, folder, c.jobBytes, c.hash);
    }
}

}  // namespace
