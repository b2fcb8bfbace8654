#include "records/traverse.h"

#include "foundation/environment.h"

namespace {
constexpr const char* kModule = dbRecord_Module;
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

void dbrecord_TraverseLegTraits::Write(WriteBuffer& buffer, const dbrecord_TraverseLeg& leg) {
    buffer.PutStr(leg.FromPt);
    buffer.PutStr(leg.ToPt);
    buffer.PutDouble(leg.Polar.Azimuth);
    buffer.PutDouble(leg.Polar.HDist);
    buffer.PutDouble(leg.Polar.VDist);
}

void dbrecord_TraverseLegTraits::Read(ReadBuffer& buffer, int& byteOffset, dbrecord_TraverseLeg& leg) {
    leg.FromPt = buffer.GetString(byteOffset);
    leg.ToPt = buffer.GetString(byteOffset);
    leg.Polar.Azimuth = buffer.GetDouble(byteOffset);
    leg.Polar.HDist = buffer.GetDouble(byteOffset);
    leg.Polar.VDist = buffer.GetDouble(byteOffset);
}
