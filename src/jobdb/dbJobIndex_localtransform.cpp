// The job's local site transformations: found by name among the local transformation
// records (type 149), defined by the line (150) or Helmert (152) record that follows,
// made by the registered coordinate geometry, and one of them cached as the current.
#include "foundation/environment.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbJobIndex.h"
#include "jobdb/dbaccess.h"
#include "jobdb/dbobjects.h"
#include "records/localtransform.h"
#include "records/unitstiming.h"

namespace {
constexpr const char* kModule = "Library/dbJobIndex";
constexpr DBID kNoneCached{0xFFFFFFFFu};
}  // namespace

void dbJobIndex_DeleteLocalTransformation(LocalTransformation* transformation) {
    if (!transformation) return;
    const auto free = dbJobIndex_GetCoordinateGeometry().DeleteLocalTransformation;
    if (QZ_ASSERT_TEXT(free != nullptr, "DeleteLocalTransformation != NULL")) free(transformation);
}

DBID dbJobIndex::FindLocalTransformationId(const Str& name) {
    if (name.IsEmpty()) return NODBID;
    dbSelection selection;
    if (!SelectByName(name.Data(), DATABASE_LocalTransformationRecord, selection)) return NODBID;
    // Oldest first: the first live one is the answer.
    for (int item = 0; item < selection.GetItemCount(); ++item) {
        const dbObject* object = GetObject(selection.GetReference(item).GetSubscript());
        if (object && !object->IsDeleted() && !object->HasFlag(DBOBJECT_Removed)) return object->GetRecordId();
    }
    return NODBID;
}

const dbRecord_Class* dbJobIndex::FindLocalTransformationDefinition(DBID start, Str& name) {
    if (!Database) return nullptr;
    for (DBID id = start; id != NODBID; id = Database->GetNextId(id)) {
        const dbRecord_Class* record = Database->GetRecord(id);
        if (!record) return nullptr;
        switch (record->GetType()) {
        case DATABASE_LocalTransformationRecord:
            name = db_LocalTransformation::Cast(record)->TransformationName;
            break;
        case DATABASE_LineTransformationDefinitionRecord:
        case DATABASE_LocalTransformationHelmertParametersRecord:
            return record;
        case DATABASE_EndEntityRecord:
            return nullptr;
        default:
            break;
        }
    }
    return nullptr;
}

LocalTransformation* dbJobIndex::BuildLocalTransformation(DBID id) {
    const dbJobIndex_CoordinateGeometry& geometry = dbJobIndex_GetCoordinateGeometry();
    if (!geometry.MakeLocalTransformation) return nullptr;
    if (id == NODBID) return geometry.MakeLocalTransformation(this, Str(), nullptr);
    if (id == _CachedLocalTransformationId && _CachedLocalTransformation && geometry.CopyLocalTransformation)
        return geometry.CopyLocalTransformation(_CachedLocalTransformation);
    Str name;
    const dbRecord_Class* definition = FindLocalTransformationDefinition(id, name);
    return geometry.MakeLocalTransformation(this, name, definition);
}

LocalTransformation* dbJobIndex::FindLocalTransformation(const Str& name) {
    return BuildLocalTransformation(FindLocalTransformationId(name));
}

void dbJobIndex::ResetLocalTransformation() {
    dbJobIndex_DeleteLocalTransformation(_CachedLocalTransformation);
    _CachedLocalTransformation = nullptr;
    _CachedLocalTransformationName = Str();
    _CachedLocalTransformationId = kNoneCached;
}

void dbJobIndex::SetCurrentLocalTransformation(DBID id) {
    if (id == _CachedLocalTransformationId) return;
    ResetLocalTransformation();
    _CachedLocalTransformation = BuildLocalTransformation(id);
    Str name;
    if (id != NODBID) FindLocalTransformationDefinition(id, name);
    _CachedLocalTransformationName = name;
    _CachedLocalTransformationId = id;
}

DBID dbJobIndex::SelectLocalTransformation(const Str& name) {
    const DBID id = FindLocalTransformationId(name);
    SetCurrentLocalTransformation(id);
    return id;
}

LocalTransformation* dbJobIndex::GetCurrentLocalTransformation() {
    SelectLocalTransformation(GetLocalReferenceTransformationName());
    return _CachedLocalTransformation;
}

Str dbJobIndex::GetLocalReferenceTransformationName() {
    return Job ? Job->GetCoordViewTypeSettings().LocalReferenceTransformation : Str();
}

Str dbJobIndex::GetLocalTransformationName(DBID id) {
    if (id == _CachedLocalTransformationId) return _CachedLocalTransformationName;
    const db_LocalTransformation* record =
        Database && id != NODBID ? db_LocalTransformation::Cast(Database->GetRecord(id)) : nullptr;
    return record ? record->TransformationName : Str();
}
