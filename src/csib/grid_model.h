// The close, reopen and free slots every grid-backed model shares. The model's record
// holds its grids, the saved form it reopens from (`savedForm`, owned by the record) and
// a `closed` flag; closeGrids closes every grid the record holds, unopened ones too.
#pragma once

#include "csib/csib.h"
#include "csib/csibplatform.h"

// Closing releases the grids' files; the saved form stays for the reopen.
template <class Record>
csib_Status csib_CloseGridModel(Record* record, void (*closeGrids)(Record*)) {
    if (!record) return CSIB_Ok;
    if (record->closed) return CSIB_AlreadyClosed;
    record->closed = 1;
    closeGrids(record);
    return CSIB_Ok;
}

// open() opens the grids from the record's saved form. A failed reopen closes what it
// opened: the model stays closed.
template <class Record, class Open>
csib_Status csib_ReopenGridModel(Record* record, void (*closeGrids)(Record*), Open open) {
    if (!record || !record->closed) return CSIB_Ok;
    const csib_Status status = open();
    if (status == CSIB_Ok) record->closed = 0;
    else closeGrids(record);
    return status;
}

// Closes the grids, frees the saved form and the record, and empties the block's slot.
template <class Record>
csib_Status csib_FreeGridModel(void*& slot, void (*closeGrids)(Record*)) {
    auto* record = static_cast<Record*>(slot);
    if (!record) return CSIB_Ok;
    closeGrids(record);
    csib_MemFree(record->savedForm);
    csib_MemFree(record);
    slot = nullptr;
    return CSIB_Ok;
}
