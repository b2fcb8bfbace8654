#include "records/traverse.h"

#include <utility>

#include "foundation/environment.h"

namespace {
constexpr const char* kModule = dbRecord_Module;

// A leg on disk: two names (at least their terminators) and three f64.
constexpr int kMinLegBytes = 2 + 3 * 8;
}  // namespace

// ---------------------------------------------------------------- station list

void db_WriteStationList(WriteBuffer& buffer, const StrArray& names) {
    for (int i = 0; i < names.Count(); ++i) {
        if (!QZ_ASSERT_TEXT(!names[i].IsEmpty(), "ListOfStations[i].Length() > 0")) continue;
        buffer.PutStr(names[i]);
    }
    buffer.PutStr(Str());
}

void db_ReadStationList(ReadBuffer& buffer, int& byteOffset, StrArray& names) {
    // A list without its closing empty string fails on the read past the end, which
    // gives an empty text and ends the loop.
    while (!dbRecord_IsDamaged(buffer, byteOffset)) {
        Str name = buffer.GetString(byteOffset);
        if (name.IsEmpty()) break;
        names.Add(name);
    }
}

// ---------------------------------------------------------------- db_Traverse

void db_Traverse::Write(WriteBuffer& buffer) const {
    QZ_ASSERT(this->TraverseName.Length() > 0);
    dbRecord_Body<db_Traverse>::Write(buffer);
}

// ---------------------------------------------------------------- dbrecord_TraverseLegs

dbrecord_TraverseLegs& dbrecord_TraverseLegs::operator=(const dbrecord_TraverseLegs& other) {
    if (this == &other) return *this;
    Clear();
    Reserve(other.Count());
    _Legs = other._Legs;
    return *this;
}

void dbrecord_TraverseLegs::Reserve(int n) {
    if (n <= _Allocated) return;
    _Allocated = 2 * n + 10;
    _Legs.reserve(static_cast<size_t>(_Allocated));
}

void dbrecord_TraverseLegs::Add(const dbrecord_TraverseLeg& leg) {
    Reserve(Count() + 1);
    _Legs.push_back(leg);
}

const dbrecord_TraverseLeg* dbrecord_TraverseLegs::GetAt(int index) const {
    if (!QZ_ASSERT_TEXT(index >= 0 && index < Count(), "Index < _Count")) return nullptr;
    return &_Legs[static_cast<size_t>(index)];
}

dbrecord_TraverseLeg* dbrecord_TraverseLegs::GetAt(int index) {
    return const_cast<dbrecord_TraverseLeg*>(std::as_const(*this).GetAt(index));
}

bool dbrecord_TraverseLegs::GetAt(int index, dbrecord_TraverseLeg& leg) const {
    const dbrecord_TraverseLeg* found = GetAt(index);
    if (!found) return false;
    leg = *found;
    return true;
}

void dbrecord_TraverseLegs::Clear() {
    _Legs.clear();
    _Legs.shrink_to_fit();
    _Allocated = 0;
}

void dbrecord_TraverseLegs::Write(WriteBuffer& buffer) const {
    int count = Count();
    if (!QZ_ASSERT_TEXT(count <= MaxWritten, "TraverseLegs.Count() <= 32767")) count = MaxWritten;
    buffer.PutInt16(count);
    for (int i = 0; i < count; ++i) {
        const dbrecord_TraverseLeg& leg = _Legs[static_cast<size_t>(i)];
        buffer.PutStr(leg.FromPt);
        buffer.PutStr(leg.ToPt);
        buffer.PutDouble(leg.Polar.Azimuth);
        buffer.PutDouble(leg.Polar.HDist);
        buffer.PutDouble(leg.Polar.VDist);
    }
}

void dbrecord_TraverseLegs::Read(ReadBuffer& buffer, int& byteOffset) {
    Clear();
    const int count = buffer.GetInt16(byteOffset);
    if (!dbRecord_CountFits(buffer, byteOffset, count, kMinLegBytes)) return;
    for (int i = 0; i < count && !dbRecord_IsDamaged(buffer, byteOffset); ++i) {
        dbrecord_TraverseLeg leg;
        leg.FromPt = buffer.GetString(byteOffset);
        leg.ToPt = buffer.GetString(byteOffset);
        leg.Polar.Azimuth = buffer.GetDouble(byteOffset);
        leg.Polar.HDist = buffer.GetDouble(byteOffset);
        leg.Polar.VDist = buffer.GetDouble(byteOffset);
        Add(leg);
    }
}

bool dbrecord_TraverseLegs::IsEqual(const dbrecord_TraverseLegs& other) const {
    if (this == &other) return true;
    if (Count() != other.Count()) return false;
    for (int i = 0; i < Count(); ++i) {
        if (!_Legs[static_cast<size_t>(i)].IsEqual(other._Legs[static_cast<size_t>(i)])) return false;
    }
    return true;
}
