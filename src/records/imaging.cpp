#include "records/imaging.h"

#include <cstring>

#include "foundation/environment.h"

namespace {
constexpr const char* kModule = dbRecord_Module;
}  // namespace

// ---------------------------------------------------------------- db_Foreign

uint8_t* db_Foreign::CopyBlock(const uint8_t* data, uint32_t length) {
    if (length == 0 || !data) return nullptr;
    uint8_t* block = new uint8_t[length];
    std::memcpy(block, data, length);
    return block;
}

db_Foreign::db_Foreign(const db_Foreign& other)
    : dbRecord_Body<db_Foreign>(other), Name(other.Name), Length(0), Data(nullptr), _Lent(false) {
    // A copy owns its bytes, whether the source owns or borrows them.
    Data = CopyBlock(other.Data, other.Length);
    Length = Data ? other.Length : 0;
}

db_Foreign& db_Foreign::operator=(const db_Foreign& other) {
    if (this == &other) return *this;
    // The new block first: a failed allocation leaves this record as it was.
    uint8_t* block = CopyBlock(other.Data, other.Length);
    dbRecord_Body<db_Foreign>::operator=(other);
    Name = other.Name;
    Release();
    Data = block;
    Length = block ? other.Length : 0;
    return *this;
}

db_Foreign::~db_Foreign() {
    Name = Str();
    Release();
}

void db_Foreign::Release() {
    if (!_Lent) delete[] Data;
    Data = nullptr;
    Length = 0;
    _Lent = false;
}

bool db_Foreign::IsEqual(const dbRecord_Class&) const {
    QZ_FAIL("0");
    return false;
}

void db_Foreign::SetData(const void* data, uint32_t length) {
    uint8_t* block = CopyBlock(static_cast<const uint8_t*>(data), length);
    Release();
    Data = block;
    Length = block ? length : 0;
}

void db_Foreign::Lend(const void* data, uint32_t length) {
    Release();
    if (!data || length == 0) return;
    Data = static_cast<uint8_t*>(const_cast<void*>(data));
    Length = length;
    _Lent = true;
}

void db_Foreign::TakeBack() {
    // Only a lent block is let go of here; an owned one stays the record's.
    if (!_Lent) return;
    Data = nullptr;
    Length = 0;
    _Lent = false;
}

void db_Foreign::Block::Read(db_Foreign& r, ReadBuffer& b, int& o) {
    r.Release();
    const uint32_t length = b.GetUInt32(o);
    if (dbRecord_IsDamaged(b, o) || length == 0) return;
    if (length > static_cast<uint32_t>(dbRecord_BytesLeft(b, o))) {
        // A length the record's bytes cannot hold: the buffer reports the short read,
        // and nothing is allocated for bytes that are not there.
        b.GetBytes(o, nullptr, length > static_cast<uint32_t>(INT32_MAX) ? INT32_MAX : static_cast<int>(length));
        return;
    }
    r.Data = new uint8_t[length];
    r.Length = length;
    b.GetBytes(o, r.Data, static_cast<int>(length));
}
