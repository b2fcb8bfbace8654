// The damage mark of a record read.
//
// A read that would pass the data is refused by the buffer, which marks itself
// Failed() and still moves the offset on by the full width. Readers that find damage
// of their own (a count that cannot fit the bytes left) stop and move the offset past
// the data. Either way the record did not fit its bytes: the journal asks
// dbRecord_IsDamaged once after the record's Read and turns a damaged read into its
// corruption status.
#pragma once

#include "foundation/buffer.h"

inline bool dbRecord_IsDamaged(const ReadBuffer& buffer, int byteOffset) {
    return buffer.Failed() || byteOffset < 0 || byteOffset > buffer.Length();
}

inline void dbRecord_MarkDamaged(const ReadBuffer& buffer, int& byteOffset) {
    byteOffset = buffer.Length() + 1;
}

// Bytes left to read at byteOffset (0 once damaged).
inline int dbRecord_BytesLeft(const ReadBuffer& buffer, int byteOffset) {
    return dbRecord_IsDamaged(buffer, byteOffset) ? 0 : buffer.Length() - byteOffset;
}
