#include "records/stakeoutdesign.h"

void dbrecord_ExtraDesignElevationTraits::Write(WriteBuffer& buffer, const dbrecord_ExtraDesignElevation& entry) {
    buffer.PutInt16(entry.Index);
    buffer.PutDouble(entry.EditElevDesignElev);
    buffer.PutDouble(entry.EditElevVertOffset);
    buffer.PutDouble(entry.EditElevCutFill);
    buffer.PutStr(entry.EditElevDesc);
}

void dbrecord_ExtraDesignElevationTraits::Read(ReadBuffer& buffer, int& byteOffset,
                                               dbrecord_ExtraDesignElevation& entry) {
    entry.Index = buffer.GetInt16(byteOffset);
    entry.EditElevDesignElev = buffer.GetDouble(byteOffset);
    entry.EditElevVertOffset = buffer.GetDouble(byteOffset);
    entry.EditElevCutFill = buffer.GetDouble(byteOffset);
    entry.EditElevDesc = buffer.GetString(byteOffset);
}
