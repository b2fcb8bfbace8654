// Counts read from a job file: a count never drives a loop or an allocation beyond
// what the record's bytes left can hold.
#pragma once

#include <cstdint>

#include "records/damage.h"

// Whether count entries of at least minBytes each can still lie in the record's
// bytes. When they cannot, the record is marked damaged and the caller reads none of
// them. A count of zero or less always fits.
inline bool dbRecord_CountFits(const ReadBuffer& buffer, int& byteOffset, int64_t count, int minBytes) {
    if (dbRecord_IsDamaged(buffer, byteOffset)) return false;
    if (count <= 0) return true;
    if (count * minBytes <= dbRecord_BytesLeft(buffer, byteOffset)) return true;
    dbRecord_MarkDamaged(buffer, byteOffset);
    return false;
}
