#include "records/dbRecordFactory.h"

#include <new>

#include "foundation/environment.h"

namespace {
constexpr const char* kModule = dbRecord_Module;
}  // namespace

dbRecord_Class* dbRecord_Create(int type) {
    if (!dbRecord_IsRecordType(type)) return nullptr;
    dbRecord_Class* (*create)() = dbRecord_GetTypeInfo(type).create;
    if (!create) return nullptr;
    try {
        return create();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool dbRecord_CanCreate(int type) {
    return dbRecord_IsRecordType(type) && dbRecord_GetTypeInfo(type).create != nullptr;
}

dbRecord_Class& dbRecord_CopyFields(const dbRecord_Class& Source, dbRecord_Class& Dest) {
    if (&Source == &Dest) return Dest;
    const int type = Source.GetType();
    // Assigning across classes would write one class's members into another: refuse.
    if (!QZ_ASSERT_TEXT(type == Dest.GetType(), "Source.GetType () == Dest.GetType()")) {
        return Dest;
    }
    if (type == DATABASE_AllRecords || type == DATABASE_NoRecordType) return Dest;
    if (!dbRecord_IsRecordType(type)) {
        QZ_FAIL("0");
        return Dest;
    }
    Dest.AssignFrom(Source);
    return Dest;
}
