// The job writer's state and the second pass, which replaces the XML IDs held in
// reference fields by record ids once every record is stored.
#include "import/writejob.h"

#include "foundation/environment.h"
#include "import/writejob_fixers.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbRecordCalls.h"
#include "jobdb/dbaccess.h"
#include "records/dbRecord.h"

namespace {

constexpr const char* kModule = "converter/writejob";

}  // namespace

JobWriter::JobWriter(JobDatabase* job, const Str& product, int version)
    : job(job),
      database(nullptr),
      current(NODBID),
      mainVersion(0),
      tessalineVersion(0),
      inRoad(false),
      roadSet(job) {
    if (product == writejob_TessalineProduct) tessalineVersion = version;
    else mainVersion = version;
    database = job ? job->GetAccess() : nullptr;
}

// Held-back records still pending are freed unstored, through the record base class.
JobWriter::~JobWriter() = default;

void JobWriter::ResolveReference(const char*, DBID& field) const {
    if (field == NODBID) return;
    field = FindRecordId(field.Value());
}

DBID writejob_ReplaceRecord(dbAccess* database, DBID id, dbRecord_Class* record) {
    return dbRecord_ReplaceAt(database, id, record);
}

void JobWriter::FixDatabasePointers() { FixDatabasePointers(writejob_Fixers); }

namespace {

class SecondPass {
public:
    SecondPass(JobWriter& writer, std::span<const writejob_Fixer> fixers) : _Writer(writer) {
        for (const writejob_Fixer& fixer : fixers)
            if (fixer.type >= 0 && fixer.type < DATABASE_AllRecords) _ByType[fixer.type] = &fixer;
    }

    const writejob_Fixer* Find(int type) const {
        return type >= 0 && type < DATABASE_AllRecords ? _ByType[type] : nullptr;
    }

    void Fix(const writejob_Fixer& fixer, DBID id) {
        dbAccess* database = _Writer.database;
        const dbRecord_Class* record = database->GetRecord(id);
        if (!QZ_ASSERT(record)) return;
        switch (fixer.action) {
            case WRITEJOB_FixReplace:
                Replace(fixer, *record, id);
                break;
            case WRITEJOB_FixApplyPart: {
                // An observation without a measurement, or with one whose type has no
                // fixer, is left as it is.
                const dbRecord_Class* part = fixer.partCount(*record) > 0 ? fixer.part(*record, 0) : nullptr;
                const writejob_Fixer* partFixer = part ? Find(part->GetType()) : nullptr;
                if (!partFixer || partFixer->action != WRITEJOB_FixPart) return;
                std::unique_ptr<dbRecord_Class> copy(part->Clone());
                if (!copy) throw Str("cannot copy the record");
                partFixer->resolve(_Writer, *copy);
                _Writer.current = id;
                if (database->ApplyInGroup(id, copy.get()) == NODBID) throw Str("cannot write the record back");
                break;
            }
            case WRITEJOB_FixReplaceParts: {
                int count = fixer.partCount(*record);
                for (int i = 0; i < count; ++i) {
                    const dbRecord_Class* part = fixer.part(*record, i);
                    const writejob_Fixer* partFixer = part ? Find(part->GetType()) : nullptr;
                    if (!partFixer || partFixer->action != WRITEJOB_FixPart) continue;
                    Replace(*partFixer, *part, part->GetRecordId());
                }
                break;
            }
            case WRITEJOB_FixPart:
                break;  // reached through its owner only
        }
    }

private:
    // The copy is written back whether or not a field changed.
    void Replace(const writejob_Fixer& fixer, const dbRecord_Class& record, DBID id) {
        std::unique_ptr<dbRecord_Class> copy(record.Clone());
        if (!copy) throw Str("cannot copy the record");
        fixer.resolve(_Writer, *copy);
        if (writejob_ReplaceRecord(_Writer.database, id, copy.get()) == NODBID)
            throw Str("cannot write the record back");
    }

    JobWriter& _Writer;
    const writejob_Fixer* _ByType[DATABASE_AllRecords] = {};
};

}  // namespace

void JobWriter::FixDatabasePointers(std::span<const writejob_Fixer> fixers) {
    if (!QZ_ASSERT(database)) return;
    SecondPass pass(*this, fixers);
    for (DBID id = database->GetFirstId(); id != NODBID; id = database->GetNextId(id)) {
        int type = dbRecord_GetTypeAt(database, id);
        const writejob_Fixer* fixer = pass.Find(type);
        if (!fixer) continue;
        try {
            pass.Fix(*fixer, id);
        } catch (const Str& message) {
            throw "Error while trying to fix database pointers: \n" + message + "\nrecord type = " +
                writejob_Format("%03d", type) + " at position " + writejob_Format("0x%08x", id.Value());
        }
    }
}
