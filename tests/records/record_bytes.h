// Byte-exact expectations for record layouts: a little-endian byte builder and the
// write/read helpers the family tests share.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/buffer.h"
#include "records/dbRecord.h"

namespace recbytes {

using Bytes = std::vector<uint8_t>;

inline constexpr double Null = 1e308;

class Builder {
public:
    Builder& U8(uint32_t v) {
        b.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    Builder& U16(uint32_t v) { return Put(v, 2); }
    Builder& I16(int32_t v) { return Put(static_cast<uint32_t>(v), 2); }
    Builder& U32(uint32_t v) { return Put(v, 4); }
    Builder& I32(int32_t v) { return Put(static_cast<uint32_t>(v), 4); }
    Builder& F64(double d) {
        uint64_t bits;
        std::memcpy(&bits, &d, 8);
        return Put(bits, 8);
    }
    Builder& Text(const std::string& s) {
        b.insert(b.end(), s.begin(), s.end());
        b.push_back(0);
        return *this;
    }
    // The common header: type, id, timestamp, notes.
    Builder& Header(int type, uint32_t id, double time, const std::string& notes = "") {
        return U16(static_cast<uint32_t>(type)).U32(id).F64(time).Text(notes);
    }
    // A circle reading of 52 bytes.
    Builder& Circle(double h, double v, double d, int face, double hs, double vs, double ds, int mode) {
        return F64(h).F64(v).F64(d).I16(face).F64(hs).F64(vs).F64(ds).I16(mode);
    }

    Bytes b;

private:
    Builder& Put(uint64_t v, int n) {
        for (int i = 0; i < n; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
};

inline Bytes Written(const dbRecord_Class& r) {
    WriteBuffer out(ENDIAN_Little);
    r.Write(out);
    return Bytes(out.Data(), out.Data() + out.Length());
}

// Reads bytes into record; returns whether the read found them whole, and where
// the read ended.
inline bool ReadInto(dbRecord_Class& record, const Bytes& bytes, int* end = nullptr) {
    ReadBuffer in(static_cast<int>(bytes.size()), ENDIAN_Little, bytes.data());
    int offset = 0;
    const bool whole = record.ReadChecked(in, offset);
    if (end) *end = offset;
    return whole;
}

// Reads bytes into record; true when the read found them whole and ended exactly at
// their end.
inline bool ReadWhole(dbRecord_Class& record, const Bytes& bytes) {
    int end = 0;
    return ReadInto(record, bytes, &end) && end == static_cast<int>(bytes.size());
}

// Gives a record a fixed header so its bytes do not depend on the clock.
inline void FixHeader(dbRecord_Class& r, uint32_t id = 7, double time = 1000.5) {
    r.SetRecordId(DBID(id));
    r.SetTimeStamp(time);
}

}  // namespace recbytes
