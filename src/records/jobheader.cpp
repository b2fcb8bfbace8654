#include "records/jobheader.h"

bool db_Note::IsEqual(const dbRecord_Class& record) const {
    if (!IsSameType(record)) return false;
    return GetNotes() == record.GetNotes();
}
