#include "jobdb/dbjournal.h"

#include <array>

namespace {

// One entry per byte value: the CRC of that byte alone.
constexpr std::array<uint16_t, 256> MakeCrcTable() {
    std::array<uint16_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        uint16_t crc = static_cast<uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
        table[i] = crc;
    }
    return table;
}

constexpr std::array<uint16_t, 256> kCrcTable = MakeCrcTable();

}  // namespace

uint16_t dbJournal_CRC16(const void* bytes, int n, uint16_t crc) {
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    for (int i = 0; i < n; ++i) crc = static_cast<uint16_t>((crc >> 8) ^ kCrcTable[(crc ^ p[i]) & 0xFF]);
    return crc;
}
