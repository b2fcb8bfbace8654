// Imaging, scanning and foreign records.
//
// Built so far:
//   137 db_Foreign   content the job carries without interpreting it: a name and a
//                    block of raw bytes
//
// db_Foreign, after the common header:
//   Name     string
//   Length   u32      number of bytes in Data
//   Data     Length raw bytes (absent while Length is 0)
// It has no element in the XML export; the journal writes it only into a foreign file
// of one record (dbJournal::WriteForeignFile).
//
// Ownership of the block: a record owns the block it reads or is given (SetData), and
// copying a record copies the block, so a copy or a clone never shares bytes with its
// source. A writer that must not copy a large block may lend it (Lend): the record then
// refers to the lender's bytes, never frees them, and the lender takes them back
// (TakeBack) before it lets go of them. Copying a record that holds a lent block gives
// a copy that owns bytes of its own.
#pragma once

#include <cstdint>

#include "records/dbRecordFields.h"

class db_Foreign : public dbRecord_Body<db_Foreign> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ForeignRecord;

    db_Foreign() = default;
    db_Foreign(const db_Foreign& other);
    db_Foreign& operator=(const db_Foreign& other);
    // Empties the name and releases the block unless it is lent.
    ~db_Foreign() override;

    // Not meant for this record: reports "0" and answers false, even for itself.
    bool IsEqual(const dbRecord_Class& record) const override;

    uint32_t GetLength() const { return Length; }
    // Null while Length is 0.
    const uint8_t* GetData() const { return Data; }
    // Copies length bytes into a block of the record's own.
    void SetData(const void* data, uint32_t length);
    // Refers to the caller's bytes without copying them; the caller keeps owning them.
    void Lend(const void* data, uint32_t length);
    // Lets go of a lent block (nothing is freed): Length 0, no data.
    void TakeBack();
    bool IsLent() const { return _Lent; }

    Str Name;

private:
    // The length and the bytes: the block is allocated only for bytes that are there.
    struct Block {
        static void Write(const db_Foreign& r, WriteBuffer& b) {
            b.PutUInt32(r.Length);
            if (r.Length == 0 || !r.Data) return;
            // A block larger than any buffer is refused by the buffer itself.
            const uint32_t most = static_cast<uint32_t>(WRITEBUFFER_MaxLength) + 1;
            b.PutBytes(r.Data, static_cast<int>(r.Length < most ? r.Length : most));
        }
        static void Read(db_Foreign& r, ReadBuffer& b, int& o);
        static bool Equal(const db_Foreign&, const db_Foreign&) { return false; }
    };

    // Frees an owned block; forgets a lent one.
    void Release();
    // A new block holding a copy of length bytes; null for none.
    static uint8_t* CopyBlock(const uint8_t* data, uint32_t length);

    uint32_t Length = 0;
    uint8_t* Data = nullptr;
    bool _Lent = false;

public:
    using Fields = dbfield_List<dbfield_String<&db_Foreign::Name>, Block>;
};
