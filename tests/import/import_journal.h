// Reads a job file back through our own journal reader, one entry per journal record.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "jobdb/dbjournal.h"
#include "records/dbRecord.h"

namespace import_test {

struct JournalEntry {
    int operation;
    uint32_t target;
    int type;
    uint32_t recordId;
    uint32_t flags;
    double timeStamp;
    std::string notes;
    std::unique_ptr<dbRecord_Class> record;
};

// Every record of the journal in file order; ok is false when reading stopped at damage.
inline std::vector<JournalEntry> ReadJournal(const std::string& path, bool* ok = nullptr) {
    std::vector<JournalEntry> entries;
    dbJournal journal;
    if (!journal.Open(Str(path.c_str()), false)) {
        if (ok) *ok = false;
        return entries;
    }
    journal.SeekFirstRecord();
    int status = DBJOURNAL_ReadGood;
    while (dbModel_Action* action = journal.ReadRecord(status)) {
        JournalEntry entry{action->Operation, action->Target.Value(), -1, 0, action->Flags, 0.0, "", nullptr};
        if (action->DBRecord) {
            entry.type = action->DBRecord->GetType();
            entry.recordId = action->DBRecord->GetRecordId().Value();
            entry.timeStamp = action->DBRecord->GetTimeStamp();
            entry.notes = action->DBRecord->GetNotes().Data();
            entry.record.reset(action->DBRecord->Clone());
        }
        delete action;
        entries.push_back(std::move(entry));
    }
    if (ok) *ok = status == DBJOURNAL_ReadEnd;
    journal.Close();
    return entries;
}

}  // namespace import_test
