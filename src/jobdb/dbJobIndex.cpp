#include "jobdb/dbJobIndex.h"

#include "foundation/environment.h"
#include "foundation/kernel/maths.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbobjects.h"

namespace {
constexpr const char* kModule = "Library/dbJobIndex";

dbJobIndex_TransformDeleter g_TransformDeleter = nullptr;
dbJobIndex_Maker g_Maker = nullptr;
dbJobIndex_CoordinateGeometry g_Geometry;
}  // namespace

void dbJobIndex_SetTransformDeleter(dbJobIndex_TransformDeleter deleter) { g_TransformDeleter = deleter; }

void dbJobIndex_SetCoordinateGeometry(const dbJobIndex_CoordinateGeometry* geometry) {
    g_Geometry = geometry ? *geometry : dbJobIndex_CoordinateGeometry();
}

int dbJobIndex_GridOrientation(const dbJobIndex* index) {
    if (!index || !index->Transform || !g_Geometry.GridOrientation) return 0;
    return g_Geometry.GridOrientation(index->Transform);
}

bool dbJobIndex_SouthAzimuths(const dbJobIndex* index) {
    if (!index || !index->Transform || !g_Geometry.SouthAzimuths) return false;
    return g_Geometry.SouthAzimuths(index->Transform);
}

double dbJobIndex_OrientAzimuth(int gridOrientation, bool southAzimuths, double azimuth) {
    if (g_Geometry.OrientAzimuth) return g_Geometry.OrientAzimuth(gridOrientation, southAzimuths, azimuth);
    return coord_NormalisedAzimuth(&azimuth);
}

void dbJobIndex_SetMaker(dbJobIndex_Maker maker) { g_Maker = maker; }

dbJobIndex* dbJobIndex_New() { return g_Maker ? g_Maker() : new dbJobIndex; }

dbJobIndex::~dbJobIndex() { DeleteTransform(); }

void dbJobIndex::DeleteTransform() {
    if (!Transform) return;
    if (QZ_ASSERT_TEXT(g_TransformDeleter != nullptr, "TransformDeleter != NULL")) g_TransformDeleter(Transform);
    Transform = nullptr;
}

void dbJobIndex::Reset() {
    Database = nullptr;
    Job = nullptr;
    DeleteTransform();
    dbIndex::Clear();
}

bool dbJobIndex::AttachJob(JobDatabase* job) {
    if (!QZ_ASSERT(job != nullptr)) return false;
    Job = job;
    Database = job->GetAccess();
    _Owner = this;
    _Root = this;
    _FileType = DatabaseFile;
    return Register() != -1;
}

void dbJobIndex::FollowTransaction(dbTransaction*) {}

void dbJobIndex::Clear() {
    DeleteTransform();
    dbIndex::Clear();
}

Str dbJobIndex::GetFullPath() const { return Database ? Database->GetJobFile().GetFullPath() : Str(); }

Str dbJobIndex::GetFileName() const { return Database ? Database->GetJobFile().GetFileName() : Str(); }

bool dbJobIndex::FindBestPoints(const char*, dbBestPointTable&, uint32_t&) { return true; }

bool dbJobIndex::ComputeObject(dbObject*) { return false; }

void dbJobIndex::ComputeStatusBits(dbObject* object) {
    if (object) object->SetFlags(DBOBJECT_StatusComputed);
}

const dbRecord_Class* dbJobIndex::FindTargetRecord(const Str&) const { return nullptr; }

bool dbJobIndex::SelectByType(int, dbSelection& selection) const {
    selection.Clear();
    return false;
}
