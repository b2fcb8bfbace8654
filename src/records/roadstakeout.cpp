#include "records/roadstakeout.h"

void dbRecord_ReadNested(dbRecord_Class& nested, ReadBuffer& buffer, int& byteOffset) {
    if (dbRecord_IsDamaged(buffer, byteOffset)) return;
    int peek = byteOffset;
    const int type = buffer.GetUInt16(peek);
    if (dbRecord_IsDamaged(buffer, peek)) {
        byteOffset = peek;
        return;
    }
    if (type != nested.GetType()) {
        // Another record's bytes would be read as this one's fields.
        dbRecord_Report("this->GetType() == (database_RecordType) buffer.GetUInt16 (byteOffset)");
        dbRecord_MarkDamaged(buffer, byteOffset);
        return;
    }
    nested.Read(buffer, byteOffset);
}
