// Expected record bytes, built field by field in little-endian order.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/buffer.h"
#include "records/dbRecord.h"

struct RecordBytes {
    std::vector<uint8_t> v;

    RecordBytes& u8(uint32_t x) {
        v.push_back(static_cast<uint8_t>(x));
        return *this;
    }
    RecordBytes& u16(uint32_t x) { return u8(x).u8(x >> 8); }
    RecordBytes& u32(uint32_t x) { return u16(x).u16(x >> 16); }
    RecordBytes& i32(int32_t x) { return u32(static_cast<uint32_t>(x)); }
    RecordBytes& f64(double d) {
        uint8_t b[8];
        std::memcpy(b, &d, 8);
        v.insert(v.end(), b, b + 8);
        return *this;
    }
    RecordBytes& str(const std::string& s) {
        v.insert(v.end(), s.begin(), s.end());
        return u8(0);
    }
    // The common header.
    RecordBytes& header(int type, uint32_t id, double time, const std::string& notes = "") {
        return u16(type).u32(id).f64(time).str(notes);
    }
    // The feature part with no features.
    RecordBytes& featurePart(int type, uint32_t id, double time, const std::string& d1 = "",
                             const std::string& d2 = "") {
        return header(type, id, time).i32(0).str(d1).str(d2);
    }
};

inline std::vector<uint8_t> WrittenBytes(const dbRecord_Class& record) {
    WriteBuffer out(ENDIAN_Little);
    record.Write(out);
    return std::vector<uint8_t>(out.Data(), out.Data() + out.Length());
}

// Reads the bytes into the record; true when they were read whole and exactly.
inline bool ReadBytes(dbRecord_Class& record, const std::vector<uint8_t>& bytes) {
    ReadBuffer in(static_cast<int>(bytes.size()), ENDIAN_Little, bytes.data());
    int offset = 0;
    return record.ReadChecked(in, offset) && offset == static_cast<int>(bytes.size());
}
