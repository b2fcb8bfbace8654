// Shared helpers of the access-object, job-database and record-call tests: journal
// frames built by hand, a file header, and a measurement class the catalogue has not
// registered.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/buffer.h"
#include "foundation/files/filehdr.h"
#include "jobdb/dbjournal.h"
#include "records/dbRecordFields.h"
#include "records/jobheader.h"

namespace jobdb_test {

using Bytes = std::vector<uint8_t>;

inline Bytes RecordBytes(const dbRecord_Class& record) {
    WriteBuffer buffer(ENDIAN_Little);
    record.Write(buffer);
    return Bytes(buffer.Data(), buffer.Data() + buffer.Length());
}

inline void PutU32(Bytes& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// One journal record: length, flags, operation, target, record, CRC.
inline Bytes Frame(uint8_t flags, uint16_t operation, uint32_t target, const dbRecord_Class& record) {
    Bytes body = {flags, static_cast<uint8_t>(operation), static_cast<uint8_t>(operation >> 8)};
    PutU32(body, target);
    Bytes bytes = RecordBytes(record);
    body.insert(body.end(), bytes.begin(), bytes.end());
    const uint16_t crc = dbJournal_CRC16(body.data(), static_cast<int>(body.size()));
    body.push_back(static_cast<uint8_t>(crc));
    body.push_back(static_cast<uint8_t>(crc >> 8));
    Bytes frame;
    PutU32(frame, static_cast<uint32_t>(body.size()));
    frame.insert(frame.end(), body.begin(), body.end());
    return frame;
}

inline Bytes FileHeaderBytes(int fileType = FILEHDR_Journal) {
    WriteBuffer buffer(ENDIAN_Little);
    filehdr_Class(fileType).Serialise(buffer);
    return Bytes(buffer.Data(), buffer.Data() + buffer.Length());
}

inline std::string ToString(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

inline db_JobHeader Header(const char* name, uint32_t id = 1) {
    db_JobHeader header;
    header.JobName = name;
    header.SetRecordId(DBID(id));
    header.SetTimeStamp(1000.0);
    return header;
}

inline db_Note Note(const char* text, uint32_t id) {
    db_Note note;
    note.SetNotes(text);
    note.SetRecordId(DBID(id));
    note.SetTimeStamp(1000.0);
    return note;
}

// A journal record of one frame per transaction from offset 48 on: the flags of each
// record and its offset, read from the bytes of a file.
struct FrameInfo {
    size_t offset;
    uint32_t length;
    uint8_t flags;
    uint16_t operation;
    uint32_t target;
    uint32_t recordId;
};

inline std::vector<FrameInfo> Frames(const std::string& file) {
    std::vector<FrameInfo> out;
    size_t at = 48;
    auto u32 = [&](size_t p) {
        uint32_t v = 0;
        std::memcpy(&v, file.data() + p, 4);
        return v;
    };
    while (at + 4 <= file.size()) {
        FrameInfo info{};
        info.offset = at;
        info.length = u32(at);
        if (at + 4 + info.length > file.size() || info.length < 12) break;
        info.flags = static_cast<uint8_t>(file[at + 4]);
        info.operation = static_cast<uint16_t>(static_cast<uint8_t>(file[at + 5]) | static_cast<uint8_t>(file[at + 6]) << 8);
        info.target = u32(at + 7);
        info.recordId = u32(at + 13);
        out.push_back(info);
        at += 4 + info.length;
    }
    return out;
}

// A polar measurement with no fields of its own: enough to be refused as a record of
// the chain and accepted as an apply.
class TestMeasurement : public dbRecord_Body<TestMeasurement, db_Measurement> {
public:
    static constexpr database_RecordType RecordType = DATABASE_PolarRecord;
    coord_Type GetCoordType() const override { return static_cast<coord_Type>(9); }
    using Fields = dbfield_List<>;
};

}  // namespace jobdb_test
