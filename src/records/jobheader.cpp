#include "records/jobheader.h"

#include "records/editactions.h"

bool db_Note::IsEqual(const dbRecord_Class& record) const {
    if (!IsSameType(record)) return false;
    return GetNotes() == record.GetNotes();
}

void db_JobHeader::ApplyStrAction(const db_Str& action) { JobName = action.Text; }
