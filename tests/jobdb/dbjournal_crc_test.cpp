#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "jobdb/dbjournal.h"

namespace {

// Bit-by-bit reference, independent of the table.
uint16_t SlowArc(const std::vector<uint8_t>& bytes) {
    uint16_t crc = 0;
    for (uint8_t b : bytes) {
        crc ^= b;
        for (int i = 0; i < 8; ++i) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

TEST(JournalCrc, KnownValues) {
    struct Case {
        std::string text;
        uint16_t crc;
    } cases[] = {
        {"123456789", 0xBB3D},  // the catalogued check value of CRC-16/ARC
        {"", 0x0000},
        {"A", 0x30C0},
        {std::string(1, '\0'), 0x0000},  // initial value 0: leading zero bytes do not show
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dbJournal_CRC16(c.text.data(), static_cast<int>(c.text.size())), c.crc) << c.text;
    }
}

TEST(JournalCrc, MatchesBitwiseReferenceAndContinues) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 1000; ++i) bytes.push_back(static_cast<uint8_t>(i * 37 + 11));
    uint16_t whole = dbJournal_CRC16(bytes.data(), static_cast<int>(bytes.size()));
    EXPECT_EQ(whole, SlowArc(bytes));
    uint16_t part = dbJournal_CRC16(bytes.data(), 333);
    EXPECT_EQ(dbJournal_CRC16(bytes.data() + 333, 667, part), whole);
    // Every length, odd and even, and every split point of a short run: up to four
    // whole groups of sixteen with each tail of eight, four, two and one behind them,
    // started at every alignment.
    for (int n = 0; n <= 64; ++n) {
        std::vector<uint8_t> head(bytes.begin(), bytes.begin() + n);
        const uint16_t crc = dbJournal_CRC16(head.data(), n);
        EXPECT_EQ(crc, SlowArc(head)) << n;
        for (int cut = 0; cut <= n; ++cut)
            EXPECT_EQ(dbJournal_CRC16(head.data() + cut, n - cut, dbJournal_CRC16(head.data(), cut)), crc) << n << " " << cut;
    }
}

}  // namespace
