#include "jobdb/dbindex.h"

#include <cstring>

#include "foundation/environment.h"
#include "records/dbRecordTypes.h"

namespace {
constexpr const char* kModule = "Library/dbindex";
}  // namespace

// ---------------------------------------------------------------- dbSelection

dbSelection::dbSelection(const dbSelection& other) { *this = other; }

dbSelection& dbSelection::operator=(const dbSelection& other) {
    if (!QZ_ASSERT_TEXT(this != &other, "this != &set")) return *this;
    Reserve(other._ItemCount);
    if (other._ItemCount > 0) std::memcpy(_Items, other._Items, sizeof(uint32_t) * other._ItemCount);
    _ItemCount = other._ItemCount;
    return *this;
}

dbSelection::~dbSelection() {
    delete[] _Items;
    _Allocated = 0;
}

void dbSelection::Reserve(int count) {
    if (count <= _Allocated) return;
    uint32_t* items = new uint32_t[count];
    if (_ItemCount > 0) std::memcpy(items, _Items, sizeof(uint32_t) * _ItemCount);
    delete[] _Items;
    _Items = items;
    _Allocated = count;
}

int dbSelection::Add(const dbObjectRef& reference) {
    Reserve(_ItemCount + 1);
    _Items[_ItemCount] = reference.Pack();
    return _ItemCount++;
}

dbObjectRef dbSelection::At(int position) const {
    if (!QZ_ASSERT_TEXT(position >= 0 && position < _ItemCount, "itemNum < _ItemCount")) return dbObjectRef();
    return dbObjectRef(_Items[position]);
}

// ---------------------------------------------------------------- dbIndex

void dbIndex::Clear() { _ObjectCount = 0; }

dbObjectRef dbIndex::FindByRecordId(DBID) const { return dbObjectRef(); }

int dbIndex::GetRecordType(int subscript) const {
    QZ_ASSERT_TEXT(subscript >= 0 && subscript < _ObjectCount, "subscript < this->_ObjectCount");
    return DATABASE_NoRecordType;
}

uint16_t* dbIndex::GetFlags(int subscript) {
    QZ_ASSERT_TEXT(subscript >= 0 && subscript < _ObjectCount, "subscript < this->_ObjectCount");
    return nullptr;
}
