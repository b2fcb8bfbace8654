#include "jobdb/dbRecordCalls.h"

#include "foundation/environment.h"
#include "records/dbRecordFactory.h"

namespace {
constexpr const char* kModule = dbRecord_Module;

// The checks of a record that becomes a new record of the chain, in their order.
bool IsNewChainRecord(const dbRecord_Class* record) {
    if (!QZ_ASSERT_TEXT(record != nullptr, "record != NULL")) return false;
    if (!QZ_ASSERT_TEXT(!record->IsMeasurement(), "!record->IsMeasurement ()")) return false;
    return QZ_ASSERT_TEXT(dbRecord_IsRecordType(record->GetType()),
                          "record->GetType () >= DATABASE_JobHeaderRecord && record->GetType () < DATABASE_AllRecords");
}

DBID Store(dbAccess* database, int operation, DBID position, dbRecord_Class* record) {
    if (!QZ_ASSERT_TEXT(database != nullptr, "database != NULL")) return NODBID;
    const DBID id = database->AddAction(operation, position, record);
    if (id != NODBID) record->SetRecordId(id);
    return id;
}

// Copies every field, header included; a record of another type is reported and
// leaves the destination unchanged.
bool CopyFields(const dbRecord_Class& source, dbRecord_Class& dest) {
    const bool sameType = source.GetType() == dest.GetType();
    dbRecord_CopyFields(source, dest);  // reports a mismatch and copies nothing then
    return sameType;
}
}  // namespace

DBID dbRecord_Append(dbAccess* database, dbRecord_Class* record) {
    if (!IsNewChainRecord(record)) return NODBID;
    return Store(database, DBMODEL_Append, NODBID, record);
}

DBID dbRecord_ReplaceAt(dbAccess* database, DBID position, dbRecord_Class* record) {
    if (!QZ_ASSERT_TEXT(record != nullptr, "record != NULL")) return NODBID;
    if (!QZ_ASSERT_TEXT(!record->IsMeasurement(), "!record->IsMeasurement ()")) return NODBID;
    return Store(database, DBMODEL_Replace, position, record);
}

DBID dbRecord_InsertBefore(dbAccess* database, DBID position, dbRecord_Class* record) {
    if (!IsNewChainRecord(record)) return NODBID;
    return Store(database, DBMODEL_InsertBefore, position, record);
}

namespace {
template <class Call>
DBID Grouped(dbAccess* database, Call call) {
    if (!QZ_ASSERT_TEXT(database != nullptr, "database != NULL")) return NODBID;
    database->BeginGroupNested();
    const DBID id = call();
    database->EndGroupNested();
    return id;
}
}  // namespace

DBID dbRecord_AppendGrouped(dbAccess* database, dbRecord_Class* record) {
    return Grouped(database, [&] { return dbRecord_Append(database, record); });
}

DBID dbRecord_ReplaceAtGrouped(dbAccess* database, DBID position, dbRecord_Class* record) {
    return Grouped(database, [&] { return dbRecord_ReplaceAt(database, position, record); });
}

DBID dbRecord_InsertBeforeGrouped(dbAccess* database, DBID position, dbRecord_Class* record) {
    return Grouped(database, [&] { return dbRecord_InsertBefore(database, position, record); });
}

DBID dbRecord_ReadJobHeader(dbAccess* database, db_JobHeader* jobHeader) {
    QZ_ASSERT_TEXT(Environment::Get()->IsThreadSafe(), "Environment::Get ()->IsThreadSafe ()");
    if (!QZ_ASSERT_TEXT(database != nullptr, "database != NULL")) return NODBID;
    if (!QZ_ASSERT_TEXT(jobHeader != nullptr && jobHeader->GetType() == DATABASE_JobHeaderRecord,
                        "jobHeader->GetType () == DATABASE_JobHeaderRecord"))
        return NODBID;
    const dbRecord_Class* first = database->GetRecord(database->GetFirstId());
    if (!QZ_ASSERT_TEXT(first != nullptr, "first != NULL")) return NODBID;
    if (!CopyFields(*first, *jobHeader)) return NODBID;
    return jobHeader->GetRecordId();
}

int dbRecord_GetTypeAt(dbAccess* database, DBID position) {
    if (!QZ_ASSERT_TEXT(database != nullptr, "database != NULL")) return DATABASE_NoRecordType;
    QZ_ASSERT_TEXT(position != NODBID, "position != NODBID");
    const dbRecord_Class* record = database->GetRecord(position);
    const int type = record ? record->GetType() : DATABASE_NoRecordType;
    QZ_ASSERT_TEXT(dbRecord_IsRecordType(type), "type >= DATABASE_JobHeaderRecord && type < DATABASE_AllRecords");
    return type;
}

bool dbRecord_Class::LoadLatest(dbAccess* database) {
    if (!QZ_ASSERT_TEXT(database != nullptr, "database != NULL")) return false;
    const DBID id = database->GetLastIdOfType(GetType());
    if (id == NODBID) return false;
    const dbRecord_Class* record = database->GetRecord(id);
    if (!record) return false;
    return CopyFields(*record, *this);
}
