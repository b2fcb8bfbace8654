#include "jobdb/dbJobIndex.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/environment.h"
#include "foundation/kernel/maths.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbmodel.h"
#include "jobdb/dbobjects.h"
#include "records/conventional.h"
#include "records/entities.h"
#include "records/gnssquality.h"
#include "records/laserecho.h"
#include "records/localtransform.h"
#include "records/measurements.h"
#include "records/traverse.h"

namespace {
constexpr const char* kModule = "Library/dbJobIndex";

dbJobIndex_TransformDeleter g_TransformDeleter = nullptr;
dbJobIndex_Maker g_Maker = nullptr;
dbJobIndex_CoordinateGeometry g_Geometry;

constexpr uint16_t kComputedFlags = DBOBJECT_HorizontalComputed | DBOBJECT_StatusComputed | DBOBJECT_ElevationComputed;
// The status bits the index works out; the others are the factory's.
constexpr uint32_t kBestPointBits = 0x3F7C;
constexpr uint32_t kStakeoutPresent = 0x100;
// Best in this index by slot, and the same slots over the root and its attached indexes.
constexpr uint32_t kOwnSlotBits[dbBestPointTable::SlotCount] = {0x4, 0x40, 0x8, 0x10, 0x20};
constexpr uint32_t kOverallSlotBits[dbBestPointTable::SlotCount] = {0x200, 0x2000, 0x400, 0x800, 0x1000};
// A change of these status bits moves the best point of a name.
constexpr uint32_t kBestChangeMask = 0x4C;
// Point category of DBENTITY_AzimuthOnly.
constexpr uint32_t kAzimuthOnlyCategory = 0x20000;

dbFilterTriple Triple(uint32_t kind, uint32_t category, uint32_t status) {
    dbFilterTriple triple;
    triple.Set(kind, category, status);
    return triple;
}

// Points, lines and arcs take bit 1 in both masks; lines and arcs 0x80 in the status.
dbFilterTriple ShapeTriple(dbFilterTriple triple) {
    triple.Kind |= 1;
    triple.Category |= 1;
    triple.Status |= 0x80;
    return triple;
}

int ItemOf(const dbSelection& selection, const dbObjectRef& ref) {
    const int count = selection.GetItemCount();
    for (int i = 0; i < count; ++i)
        if (selection.GetReference(i) == ref) return i;
    return -1;
}
}  // namespace

void dbJobIndex_SetTransformDeleter(dbJobIndex_TransformDeleter deleter) { g_TransformDeleter = deleter; }

void dbJobIndex_SetCoordinateGeometry(const dbJobIndex_CoordinateGeometry* geometry) {
    g_Geometry = geometry ? *geometry : dbJobIndex_CoordinateGeometry();
}

const dbJobIndex_CoordinateGeometry& dbJobIndex_GetCoordinateGeometry() { return g_Geometry; }

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

// ---------------------------------------------------------------- best point of a name

bool dbBestPointTable::AnyWanted() const { return std::find(std::begin(Wanted), std::end(Wanted), true) != std::end(Wanted); }

bool dbJobIndex_IsGnssMeasurement(int type) {
    return type == DATABASE_ECEFDeltasRecord || type == DATABASE_ECEFRecord || type == DATABASE_WGS84Record;
}

bool dbJobIndex_IsGridMeasurement(int type) {
    return type == DATABASE_GridRecord || type == DATABASE_LocalTransformedGridRecord ||
           type == DATABASE_CircleRecord || type == DATABASE_MeanTurnedAngleRecord;
}

bool dbJobIndex_IsObservedMethod(int32_t method) {
    return (method >= DBENTITY_GpsStaticObs && method <= DBENTITY_GpsContOffsetPt2) ||
           (method >= DBENTITY_AzimuthOnly && method <= DBENTITY_MeanTurnedAngleHidden) || method == DBENTITY_LaserOffset;
}

bool dbJobIndex_IsAngleMethod(int32_t method) {
    return (method >= DBENTITY_AngleOnly && method <= DBENTITY_MatchedPair) || method == DBENTITY_MeanTurnedAngle;
}

namespace {
bool IsWeakest(int32_t method) {
    return method == DBENTITY_Unknown || method == DBENTITY_AzimuthOnly || method == DBENTITY_MatchedPair;
}
bool IsWeak(int32_t method) { return method == DBENTITY_AngleOnly || method == DBENTITY_HAngleOnly; }
}  // namespace

bool dbJobIndex_IsWeakerMethod(int32_t a, int32_t b) {
    if (IsWeakest(b)) return true;
    if (IsWeak(b)) return !IsWeakest(a) && !IsWeak(a);
    return false;
}

bool dbJobIndex_PreferOnTie(int candidateType, int bestType) {
    return bestType == DATABASE_LocalTransformedGridRecord || candidateType != DATABASE_LocalTransformedGridRecord;
}

bool dbJobIndex_HasRankedClassification(const db_PointClassification& c) {
    return c.IsBackSight() || c.IsStakeout() || c.IsNormal() || c.IsMTA() || c.IsAdjusted() || c.IsAveraged() ||
           c.IsNetworkAdjustedOrControl();
}

bool dbJobIndex_MtaScenario(const dbPointSearchResult& candidate, const dbPointSearchResult& best) {
    if (candidate.IndexNumber != best.IndexNumber) return true;
    ObservationObject* bestObs = ObservationObject::Cast(best.UniqueId.GetObject());
    if (!QZ_ASSERT_TEXT(bestObs != nullptr, "bestObs")) return false;
    const db_MeanTurnedAngle* mta = db_MeanTurnedAngle::Cast(bestObs->GetMeasurement());
    if (!QZ_ASSERT_TEXT(mta != nullptr, "mta")) return false;
    ObservationObject* obs = ObservationObject::Cast(candidate.UniqueId.GetObject());
    if (!QZ_ASSERT_TEXT(obs != nullptr, "obs")) return false;
    // A circle reading from the station of the mean turned angle does not replace it.
    if (const db_Circle* circle = db_Circle::Cast(obs->GetMeasurement())) return circle->Station != mta->Station;
    Environment::Get()->Warning("Unexpected best point scenario");
    dbIndex* index = best.UniqueId.GetIndex();
    if (!QZ_ASSERT_TEXT(index != nullptr, "dbIndex")) return false;
    const int from = candidate.UniqueId.GetSubscript();
    const int to = best.UniqueId.GetSubscript();
    QZ_ASSERT_TEXT(to > from, "best.UniqueId.GetSubscript() > current.UniqueId.GetSubscript()");
    // A station set up between the two observations.
    for (int subscript = std::min(from, to) + 1; subscript < std::max(from, to); ++subscript)
        if (index->GetRecordType(subscript) == DATABASE_StationRecord) return true;
    return false;
}

bool dbJobIndex_IsBetterPoint(const dbPointSearchResult& candidate, const dbPointSearchResult& current) {
    if (current.Method == DBENTITY_Unknown) return true;
    if (current.Method == DBENTITY_ResectionInProgress) return candidate.Method != DBENTITY_ResectionInProgress;
    if (candidate.Method == DBENTITY_ResectionInProgress) return false;
    if (dbJobIndex_IsObservedMethod(current.Method)) {
        if (!dbJobIndex_IsObservedMethod(candidate.Method)) return true;
        const int32_t c = candidate.Method == DBENTITY_MeanTurnedAngle ? candidate.UnderlyingMethod : candidate.Method;
        const int32_t k = current.Method == DBENTITY_MeanTurnedAngle ? current.UnderlyingMethod : current.Method;
        if (dbJobIndex_IsWeakerMethod(c, k)) return true;
        if (dbJobIndex_IsWeakerMethod(k, c)) return false;
        if (current.Classification.IsMTA() && dbJobIndex_IsAngleMethod(candidate.Method) &&
            (candidate.Classification.IsNormal() || candidate.Classification.IsBackSight()))
            return dbJobIndex_MtaScenario(candidate, current);
        return candidate.Classification.RanksAtLeast(current.Classification);
    }
    if (dbJobIndex_IsObservedMethod(candidate.Method)) return false;
    if (candidate.Classification.IsEqual(current.Classification))
        return dbJobIndex_PreferOnTie(candidate.MeasurementType, current.MeasurementType);
    return candidate.Classification.RanksAtLeast(current.Classification);
}

bool dbJobIndex::FindBestPoints(const char* name, dbBestPointTable& table, uint32_t& status) {
    const dbSelection& selection = GetNameSelection();
    auto offer = [&table](int slot, const dbPointSearchResult& candidate) {
        if (table.Wanted[slot] && dbJobIndex_IsBetterPoint(candidate, table.Results[slot]))
            table.Results[slot] = candidate;
    };
    // Newest first: equally good older points win.
    int item = -1;
    for (bool found = selection.Search(name, DATABASE_ObservationRecord, 1, &item); found;
         found = selection.Search(name, DATABASE_ObservationRecord, 3, &item)) {
        const dbObjectRef ref = selection.GetReference(item);
        ObservationObject* point = ObservationObject::Cast(GetObject(ref.GetSubscript()));
        const db_Observation* obs = point ? point->GetObservation() : nullptr;
        if (!obs) continue;
        dbPointSearchResult candidate;
        candidate.Classification = obs->Classification;
        candidate.Method = obs->Method;
        candidate.IndexNumber = _IndexNumber;
        candidate.RecordId = point->GetRecordId();
        candidate.UniqueId = ref;
        if (candidate.Method == DBENTITY_MatchedPairHidden || candidate.Method == DBENTITY_MeanTurnedAngleHidden)
            continue;
        if (point->IsDeleted()) continue;
        if (candidate.Classification.IsStakeout()) status |= kStakeoutPresent;
        if (candidate.Method == DBENTITY_AzimuthOnly) continue;
        if (candidate.Method == DBENTITY_MeanTurnedAngle) candidate.UnderlyingMethod = GetUnderlyingMethod(ref.GetSubscript());
        const int type = obs->GetMeasurementType();
        candidate.MeasurementType = type;
        offer(dbBestPointTable::Overall, candidate);
        if (dbJobIndex_IsGnssMeasurement(type)) offer(dbBestPointTable::Gnss, candidate);
        if (type == DATABASE_LocalTransformedGridRecord) offer(dbBestPointTable::LocalGrid, candidate);
        if (dbJobIndex_IsGridMeasurement(type)) offer(dbBestPointTable::Grid, candidate);
        if (type != DATABASE_LocalTransformedGridRecord) offer(dbBestPointTable::NotLocalGrid, candidate);
    }
    for (int slot = 0; slot < dbBestPointTable::SlotCount; ++slot) table.Wanted[slot] = table.Results[slot].IsEmpty();
    return table.Wanted[dbBestPointTable::LocalGrid];
}

// ---------------------------------------------------------------- class checks

bool dbJobIndex::CheckClassName() const { return ClassName == JobIndex_ClassName; }

dbJobIndex* dbJobIndex_FromIndex(dbIndex* index) {
    if (!QZ_ASSERT_TEXT(index != nullptr, "jobIndex != NULL")) return nullptr;
    dbJobIndex* jobIndex = dynamic_cast<dbJobIndex*>(index);
    if (!QZ_ASSERT_TEXT(jobIndex && jobIndex->CheckClassName(), "ClassName == JobIndex_ClassName")) return nullptr;
    return jobIndex;
}

dbJobIndex* dbJobIndex_FromDatabaseIndex(dbIndex* index) {
    QZ_ASSERT_TEXT(index != nullptr && index->GetFileType() == dbIndex::DatabaseFile,
                   "(index != NULL) && (index->GetFileType() == dbIndex::DatabaseFile)");
    return dbJobIndex_FromIndex(index);
}

dbJobIndex* dbIndex_AsJobIndex(dbIndex* index) {
    if (!index || index->GetFileType() != dbIndex::DatabaseFile || index->GetOwner() != index) return nullptr;
    return dynamic_cast<dbJobIndex*>(index);
}

// ---------------------------------------------------------------- life cycle

dbJobIndex::~dbJobIndex() {
    QZ_ASSERT_TEXT(LazyTask == -1, "this->LazyTask == -1");
    QZ_ASSERT_TEXT(!Database, "!Database");
    dbJobIndex::Clear();
    ClassName = nullptr;
}

void dbJobIndex::DeleteTransform() {
    if (!Transform) return;
    if (QZ_ASSERT_TEXT(g_TransformDeleter != nullptr, "TransformDeleter != NULL")) g_TransformDeleter(Transform);
    Transform = nullptr;
}

void dbJobIndex::SetTransform(transfrm_Class* transform, const coordsys_Corrections* corrections,
                              uint32_t components, int32_t projectionKind) {
    if (transform != Transform) DeleteTransform();
    Transform = transform;
    const BitMask settings = dbJobIndex_DefaultCogoSettings(corrections, components, projectionKind);
    CogoSettings = static_cast<uint32_t>(settings.Value());
}

BitMask dbJobIndex_DefaultCogoSettings(const coordsys_Corrections* corrections, uint32_t components,
                                       int32_t projectionKind) {
    BitMask mask(COORDSYS_CogoAzimuthGrid | COORDSYS_CogoDistanceGrid | COORDSYS_CogoEllipsoidDistances |
                 COORDSYS_CogoOrthoHeights);
    if (corrections && corrections->Distances == COORDSYS_EllipsoidDistance) {
        mask.Clear(COORDSYS_CogoDistanceGrid);
        mask.Set(COORDSYS_CogoDistanceLocal);
    } else if (corrections && corrections->Distances == COORDSYS_GroundDistance) {
        mask.Clear(COORDSYS_CogoDistanceGrid | COORDSYS_CogoEllipsoidDistances);
        mask.Set(COORDSYS_CogoDistanceLocal | COORDSYS_CogoGroundDistances);
    }
    // A datum and a true projection without a height model leave only ellipsoid heights.
    constexpr uint32_t kDatum = 0x2, kProjection = 0x4, kHeight = 0x10, kScaleOnly = 0x40;
    if ((components & (kDatum | kProjection)) == (kDatum | kProjection) && !(components & (kHeight | kScaleOnly)) &&
        projectionKind != COORDSYS_ScaleOnly) {
        mask.Clear(COORDSYS_CogoOrthoHeights);
        mask.Set(COORDSYS_CogoEllipsoidHeights);
    }
    return mask;
}

void dbJobIndex::ClearChains() {
    for (StrArray& chain : resolutionChainNames) chain.Clear();
}

void dbJobIndex::Reset() {
    ClassName = JobIndex_ClassName;
    // The main index borrows its job and access object; an attached job is closed by
    // the index it is attached to.
    Database = nullptr;
    DeleteTransform();
    ResetLocalTransformation();
    Job = nullptr;
    CogoSettings = 0;
    ClearChains();
}

bool dbJobIndex::AttachJob(JobDatabase* job) {
    if (!QZ_ASSERT(job != nullptr)) return false;
    Job = job;
    Database = job->GetAccess();
    // Without a number the index stays empty and follows nothing; the job works on.
    if (Register() == -1) return false;
    return Build();
}

bool dbJobIndex::Build() {
    if (!QZ_ASSERT_TEXT(Database && Database->IsOpen(), "this->Database->IsOpen ()")) return false;
    _Owner = this;
    _Root = this;
    if (_FileType != NoFile) return ClearComputedFlags();
    _FileType = DatabaseFile;
    for (DBID id = Database->GetFirstId(); id != NODBID; id = Database->GetNextId(id))
        if (dbObject* object = CreateObject(Database->GetRecord(id))) AddObject(object);
    _SortedByName.Clear();
    _SortedByName.FillFromIndex(this);
    _SortedByName.SortByName();
    return true;
}

dbObject* dbJobIndex::CreateObject(const dbRecord_Class* record) const {
    if (!record) return nullptr;
    dbObject* object = nullptr;
    switch (record->GetType()) {
    case DATABASE_ObservationRecord: {
        const db_Observation* point = db_Observation::Cast(record);
        if (!point) return nullptr;
        object = new ObservationObject;
        const bool inProgress = point->Method == DBENTITY_ResectionInProgress;
        object->SetFilter(Triple(3, dbfilter_GetPointCategory(*point) | 1, inProgress ? 0x4000 : 1));
        break;
    }
    case DATABASE_LineRecord:
        if (!db_Line::Cast(record)) return nullptr;
        object = new LineObject;
        object->SetFilter(ShapeFilterOf(record));
        break;
    case DATABASE_ArcRecord:
        if (!db_Arc::Cast(record)) return nullptr;
        object = new ArcObject;
        object->SetFilter(ShapeFilterOf(record));
        break;
    case DATABASE_BackBearingRecord:
        object = new BackBearingObject;
        object->SetFilter(Triple(1, 5, 0x81));
        object->SetFlags(DBOBJECT_HorizontalComputed | DBOBJECT_StatusComputed);
        break;
    case DATABASE_StationRecord:
        object = new StationObject;
        object->SetFilter(Triple(129, 5, 0x81));
        object->SetFlags(DBOBJECT_StatusComputed);
        break;
    case DATABASE_TraverseHeaderRecord:
        object = new TraverseObject;
        object->SetFilter(Triple(65, 5, 0x81));
        object->SetFlags(DBOBJECT_HorizontalComputed | DBOBJECT_StatusComputed);
        break;
    case DATABASE_TargetRecord:
        object = new TargetObject;
        break;
    case DATABASE_LocalTransformationRecord: {
        const db_LocalTransformation* transformation = db_LocalTransformation::Cast(record);
        if (!transformation) return nullptr;
        object = new LocalTransformationObject;
        object->SetFilter(Triple(17, transformation->Deleted ? 3 : 5, 0x81));
        object->SetFlags(DBOBJECT_HorizontalComputed | DBOBJECT_StatusComputed);
        break;
    }
    default:
        return nullptr;
    }
    object->SetRecordId(record->GetRecordId());
    return object;
}

dbFilterTriple dbJobIndex::ShapeFilterOf(const dbRecord_Class* record) {
    if (const db_Line* line = db_Line::Cast(record)) return ShapeTriple(dbfilter_GetLineTriple(*line));
    if (const db_Arc* arc = db_Arc::Cast(record)) return ShapeTriple(dbfilter_GetArcTriple(*arc));
    return dbFilterTriple();
}

void dbJobIndex::Clear() {
    for (int number = 0; number < DBINDEX_IndexCount; ++number)
        if (_AttachedIndexes[number]) CloseAttachedIndex(number);
    dbIndex::Clear();
    _SortedByName.Clear();
    ClearChains();
    DeleteTransform();
    ResetLocalTransformation();
}

Str dbJobIndex::GetFullPath() const { return Database ? Database->GetJobFile().GetFullPath() : Str(); }

Str dbJobIndex::GetFileName() const { return Database ? Database->GetJobFile().GetFileName() : Str(); }

Str dbJobIndex::GetJobFilePath() const {
    if (!Job || !Job->GetAccess()) return Str();
    return Job->GetAccess()->GetJobFile().GetFullPath();
}

bool dbJobIndex::HasManyPoints() const {
    if (!Database) return false;
    return Database->GetTypeSummary(DATABASE_ObservationRecord).Count > static_cast<uint32_t>(_PointThreshold);
}

// ---------------------------------------------------------------- attached indexes

dbIndex* dbJobIndex::AttachIndex(dbIndex* index) {
    if (!QZ_ASSERT(index != nullptr)) return nullptr;
    const int number = index->Register();
    if (number < 0) return nullptr;
    _AttachedIndexes[number] = index;
    dbJobIndex* asJob = index->GetFileType() == DatabaseFile ? dbJobIndex_FromDatabaseIndex(index) : nullptr;
    index->SetOwner(asJob ? asJob : this);
    index->SetRoot(this);
    return index->GetOwner();
}

dbIndex* dbJobIndex::GetAttachedIndex(int number) const {
    if (number < 0 || number >= DBINDEX_IndexCount) return nullptr;
    return _AttachedIndexes[number];
}

void dbJobIndex::CloseAttachedIndex(int number) {
    if (!QZ_ASSERT_TEXT(number >= 0 && number < DBINDEX_IndexCount, "indexNum < DBINDEX_IndexCount")) return;
    dbIndex* index = _AttachedIndexes[number];
    if (!index) return;
    _AttachedIndexes[number] = nullptr;
    dbJobIndex* jobIndex = index->GetFileType() == DatabaseFile ? dynamic_cast<dbJobIndex*>(index) : nullptr;
    if (jobIndex && jobIndex->Database) {
        JobDatabase* job = jobIndex->Job;
        // A job sharing another's database leaves it to that job.
        if (!QZ_ASSERT_TEXT(!job || !job->IsReferenceToJob, "!jobIndex->Job->IsReferenceToJob")) return;
        if (job && job->GetJobIndex() == jobIndex) {
            // The job closes its access object and frees its index.
            job->Close();
            delete job;
            return;
        }
        jobIndex->Database = nullptr;
        jobIndex->Job = nullptr;
    }
    index->Clear();
    delete index;
}

void dbJobIndex::FindBestTables(const char* name, dbBestPointTable& own, dbBestPointTable& overall, uint32_t& status,
                                bool ownIndex) {
    FindBestPoints(name, own, status);
    if (ownIndex || !_Root) return;
    _Root->FindBestPoints(name, overall, status);
    // Other jobs first, then point files of grid coordinates, then of local ones.
    for (int pass = 0; pass < 3 && overall.AnyWanted(); ++pass) {
        for (int number = 0; number < DBINDEX_IndexCount && overall.AnyWanted(); ++number) {
            dbIndex* index = _Root->_AttachedIndexes[number];
            if (!index) continue;
            const bool job = index->GetFileType() == DatabaseFile;
            const bool local = index->GetCoordType() == COORD_LocalTransformedGridType;
            if ((pass == 0 && job) || (pass == 1 && !job && !local) || (pass == 2 && !job && local))
                index->FindBestPoints(name, overall, status);
        }
    }
}

uint32_t dbJobIndex::BitsFrom(const dbBestPointTable& own, const dbBestPointTable& overall, int indexNumber,
                              DBID recordId, bool ownIndex) {
    auto holds = [&](const dbPointSearchResult& result) {
        return result.IndexNumber == indexNumber && result.RecordId == recordId;
    };
    uint32_t bits = 0;
    for (int slot = 0; slot < dbBestPointTable::SlotCount; ++slot) {
        if (holds(own.Results[slot])) bits |= kOwnSlotBits[slot];
        if (!ownIndex && holds(overall.Results[slot])) bits |= kOverallSlotBits[slot];
    }
    return bits;
}

void dbJobIndex::ComputeBestPointBits(const char* name, DBID recordId, int indexNumber, uint32_t& status,
                                      bool ownIndex) {
    status &= ~kBestPointBits;
    if (!name || !*name) return;
    dbBestPointTable own;
    dbBestPointTable overall;
    FindBestTables(name, own, overall, status, ownIndex);
    status |= BitsFrom(own, overall, indexNumber, recordId, ownIndex);
}

void dbJobIndex::ComputeStatusBits(dbObject* object) {
    if (!object) return;
    if (object->GetRecordType() == DATABASE_ObservationRecord && !object->HasFlag(DBOBJECT_Removed)) {
        const bool ownIndex = _Owner == _Root;
        const char* name = object->GetName();
        dbFilterTriple triple = object->GetFilter();
        if (!name || !*name) {
            triple.Status &= ~kBestPointBits;
        } else {
            // One search answers for every point of the name, so they are set together.
            uint32_t found = 0;
            dbBestPointTable own;
            dbBestPointTable overall;
            FindBestTables(name, own, overall, found, ownIndex);
            auto statusOf = [&](const dbObject& point) {
                return (point.GetFilter().Status & ~kBestPointBits) | (found & kStakeoutPresent) |
                       BitsFrom(own, overall, _IndexNumber, point.GetRecordId(), ownIndex);
            };
            int item = -1;
            for (bool more = _SortedByName.Search(name, DATABASE_ObservationRecord, 0, &item); more;
                 more = _SortedByName.Search(name, DATABASE_ObservationRecord, 2, &item)) {
                dbObject* point = GetObject(_SortedByName.GetReference(item).GetSubscript());
                if (!point || point == object) continue;
                dbFilterTriple other = point->GetFilter();
                other.Status = statusOf(*point);
                point->SetFilter(other);
                point->SetFlags(DBOBJECT_StatusComputed);
            }
            triple.Status = statusOf(*object);
        }
        object->SetFilter(triple);
    }
    object->SetFlags(DBOBJECT_StatusComputed);
}

// ---------------------------------------------------------------- look-ups

bool dbJobIndex::SelectByName(const char* name, int recordType, dbSelection& out) {
    out.Clear();
    int item = -1;
    for (bool found = _SortedByName.Search(name, recordType, 0, &item); found;
         found = _SortedByName.Search(name, recordType, 2, &item))
        out.AddItemInOrder(_SortedByName.GetItem(item));
    return out.GetItemCount() > 0;
}

bool dbJobIndex::SelectByType(int type, dbSelection& selection) const {
    selection.Clear();
    for (int subscript = 0; subscript < _ObjectCount; ++subscript) {
        const dbObject* object = GetObject(subscript);
        if (object && object->GetRecordType() == type && !object->HasFlag(DBOBJECT_Removed))
            selection.Add(MakeReference(subscript));
    }
    return selection.GetItemCount() > 0;
}

const dbRecord_Class* dbJobIndex::FindTargetRecord(const Str& name) const {
    int item = -1;
    if (!Database || !_SortedByName.Search(name.Data(), DATABASE_TargetRecord, 1, &item)) return nullptr;
    const dbRecord_Class* record = Database->GetRecord(_SortedByName.GetRecordId(item));
    return record && record->GetType() == DATABASE_TargetRecord ? record : nullptr;
}

dbObjectRef dbJobIndex::FindPointReference(const char* name) {
    if (!name || !*name) return dbObjectRef();
    int item = -1;
    if (!_SortedByName.Search(name, DATABASE_ObservationRecord, 0, &item)) return dbObjectRef();
    const dbObjectRef first = _SortedByName.GetReference(item);
    do {
        const dbObjectRef ref = _SortedByName.GetReference(item);
        dbObject* point = GetObject(ref.GetSubscript());
        if (point && (point->GetStatusBits() & 0x4)) return ref;
    } while (_SortedByName.Search(name, DATABASE_ObservationRecord, 2, &item));
    return first;
}

// ---------------------------------------------------------------- following transactions

dbObject* dbJobIndex::ObjectOfRecord(DBID id) const {
    const dbObjectRef ref = FindByRecordId(id);
    if (ref.IsNull()) return nullptr;
    dbObject* object = GetObject(ref.GetSubscript());
    return object && !object->HasFlag(DBOBJECT_Removed) ? object : nullptr;
}

bool dbJobIndex::ReplaceWith(dbObject* newObject, uint32_t& previousStatus, int& subscript) {
    dbObject* old = ObjectOfRecord(newObject->GetRecordId());
    if (!QZ_ASSERT_TEXT(old != nullptr, "obj")) {
        delete newObject;
        return false;
    }
    QZ_ASSERT_TEXT(old->GetRecordType() == newObject->GetRecordType(), "obj->_RecordType == newObject->_RecordType");
    previousStatus = StatusBefore(*old);
    *newObject->GetFlagsWord() = static_cast<uint16_t>(old->GetFlags() & ~kComputedFlags);
    subscript = old->GetReference().GetSubscript();
    ReplaceObject(subscript, newObject);
    return true;
}

void dbJobIndex::ClearFlagsFrom(int subscript, uint16_t flags, bool withLinesAndArcs) {
    for (int at = std::max(subscript, 0); at < _ObjectCount; ++at) {
        dbObject* object = GetObject(at);
        if (!object) continue;
        const int type = object->GetRecordType();
        const bool point = type == DATABASE_ObservationRecord;
        if (point || (withLinesAndArcs && (type == DATABASE_LineRecord || type == DATABASE_ArcRecord)))
            object->ClearFlags(flags);
    }
}

void dbJobIndex::ClearPointStatus(const char* name) {
    int item = -1;
    for (bool found = _SortedByName.Search(name, DATABASE_ObservationRecord, 0, &item); found;
         found = _SortedByName.Search(name, DATABASE_ObservationRecord, 2, &item))
        if (dbObject* point = GetObject(_SortedByName.GetReference(item).GetSubscript()))
            point->ClearFlags(DBOBJECT_StatusComputed);
}

namespace {
// The text names the point (in any case, as positions look names up), or any point.
bool Names(const Str& text, const Str* name) { return name ? text.EqualInsensitive(*name) : !text.IsEmpty(); }
}  // namespace

bool dbJobIndex::RecordRestsOn(DBID id, const Str* name) const {
    const dbRecord_Class* record = id != NODBID && Database ? Database->GetRecord(id) : nullptr;
    if (!record) return false;
    switch (record->GetType()) {
    case DATABASE_ObservationRecord:
        return Names(db_Observation::Cast(record)->PointName, name);
    case DATABASE_BackBearingRecord: {
        const db_TotalBackBearing* backBearing = db_TotalBackBearing::Cast(record);
        return Names(backBearing->Station, name) || Names(backBearing->BackSight, name);
    }
    case DATABASE_StationRecord:
        return Names(db_TotalStation::Cast(record)->StationName, name);
    case DATABASE_ReferenceRecord:
        return Names(db_Reference::Cast(record)->PointName, name);
    case DATABASE_LaserBasePointRecord:
        return Names(db_LaserBasePoint::Cast(record)->TheName, name);
    default:
        // Whatever this index does not read may rest on any point.
        return true;
    }
}

bool dbJobIndex::RestsOn(const dbObject& object, const Str* name) const {
    auto is = [name](const Str& text) { return Names(text, name); };
    const dbRecord_Class* record = object.GetRecord();
    if (const db_Line* line = db_Line::Cast(record)) return is(line->OriginPoint) || is(line->TargetPoint);
    if (const db_Arc* arc = db_Arc::Cast(record)) return is(arc->Point1) || is(arc->Point2) || is(arc->Point3);
    const db_Observation* point = db_Observation::Cast(record);
    const db_Measurement* measurement = point ? point->GetMeasurement() : nullptr;
    if (!measurement) return false;
    switch (measurement->GetType()) {
    case DATABASE_ECEFRecord:
    case DATABASE_ECEFGroundRecord:
    case DATABASE_WGS84Record:
    case DATABASE_LocalRecord:
    case DATABASE_GridRecord:
    case DATABASE_LocalTransformedGridRecord:
        return false;
    case DATABASE_PolarRecord:
        return is(db_Polar::Cast(measurement)->SourcePoint);
    case DATABASE_AzimuthRecord:
        return is(db_Azimuth::Cast(measurement)->SourcePoint);
    case DATABASE_ECEFDeltasRecord:
        return RecordRestsOn(db_ECEFDeltas::Cast(measurement)->Reference, name);
    case DATABASE_LaserOffsetRecord:
        return RecordRestsOn(db_LaserOffset::Cast(measurement)->BasePoint, name);
    case DATABASE_CircleRecord: {
        const db_Circle* circle = db_Circle::Cast(measurement);
        return RecordRestsOn(circle->Station, name) || RecordRestsOn(circle->BackBearing, name);
    }
    case DATABASE_MeanTurnedAngleRecord: {
        const db_MeanTurnedAngle* mta = db_MeanTurnedAngle::Cast(measurement);
        return RecordRestsOn(mta->Station, name) || RecordRestsOn(mta->BackBearing, name);
    }
    default:
        return true;
    }
}

bool dbJobIndex::MovesLocalTransformations(int type, int operation) {
    switch (type) {
    case DATABASE_LocalTransformationRecord:
    case DATABASE_LineTransformationDefinitionRecord:
    case DATABASE_LocalTransformationHelmertParametersRecord:
        return true;
    case DATABASE_EndEntityRecord:
        // Ends the search for a definition; one appended comes after every definition.
        return operation != DBMODEL_Append;
    default:
        return false;
    }
}

uint32_t dbJobIndex::StatusBefore(const dbObject& object) {
    // The bits as last worked out: the record has already changed, so working them out
    // now would give the status after the action. Every point action works out the
    // bits of its name again, so they are those of the last one.
    return object.GetFilter().Status;
}

void dbJobIndex::KeepNameOrder(dbTransaction* transaction) {
    // Items of removed records leave first: their names are gone with their records.
    std::vector<dbObjectRef> touched;
    for (const dbModel_Action* action = transaction->GetFirst(); action; action = action->GetNext()) {
        if (!action->DBRecord) continue;
        if (action->Operation == DBMODEL_Remove) {
            if (const dbObject* object = ObjectOfRecord(action->Target))
                _SortedByName.RemoveReference(object->GetReference());
        } else if (action->Operation == DBMODEL_Replace ||
                   (action->Operation == DBMODEL_Apply && action->DBRecord->GetType() == DATABASE_StrActionRecord)) {
            const dbObject* object = ObjectOfRecord(action->Target);
            // An object touched twice keeps one item.
            if (object && std::find(touched.begin(), touched.end(), object->GetReference()) == touched.end())
                touched.push_back(object->GetReference());
        }
    }
    // A touched point may have a new name; the points of its old name, which run next
    // to its old place, are worked out again. What rested on the old name is not known
    // by name any more: whatever rests on a point is computed again. The names are
    // read before any item moves.
    std::vector<Str> oldNames;
    bool renamedPoint = false;
    for (const dbObjectRef& ref : touched) {
        const dbObject* object = GetObject(ref.GetSubscript());
        if (!object || object->GetRecordType() != DATABASE_ObservationRecord) continue;
        renamedPoint = true;
        const int at = ItemOf(_SortedByName, ref);
        for (int neighbour : {at - 1, at + 1})
            if (at >= 0 && neighbour >= 0 && neighbour < _SortedByName.GetItemCount())
                oldNames.push_back(Str(_SortedByName.GetName(neighbour)));
    }
    // All leave before any goes back, so each goes back into a sorted list.
    std::vector<dbObjectRef> held;
    for (const dbObjectRef& ref : touched) {
        const int at = ItemOf(_SortedByName, ref);
        if (at < 0) continue;
        _SortedByName.RemoveItem(at);
        held.push_back(ref);
    }
    for (const dbObjectRef& ref : held) _SortedByName.AddItemInOrder(dbSelectionItem(ref));
    for (const Str& name : oldNames) ClearPointStatus(name.Data());
    if (renamedPoint) ClearDependents(nullptr, _ObjectCount);
}

int dbJobIndex::ClearFromFirstPoint(const char* name, int from) {
    // Later points, lines and arcs may rest on the best point of the name.
    int first = -1;
    if (_SortedByName.Search(name, DATABASE_ObservationRecord, 0, &first))
        from = std::min(from, _SortedByName.GetReference(first).GetSubscript());
    from = std::max(from, 0);
    ClearFlagsFrom(from, kComputedFlags, true);
    for (dbIndex* attached : _AttachedIndexes) {
        if (!attached) continue;
        const dbSelection& selection = attached->GetNameSelection();
        int item = -1;
        for (bool more = selection.Search(name, DATABASE_ObservationRecord, 0, &item); more;
             more = selection.Search(name, DATABASE_ObservationRecord, 2, &item))
            if (dbObject* object = attached->GetObject(selection.GetReference(item).GetSubscript()))
                object->ClearFlags(kComputedFlags);
    }
    return from;
}

void dbJobIndex::ClearDependents(const char* name, int from) {
    auto live = [this](int at) {
        dbObject* object = GetObject(at);
        return object && !object->HasFlag(DBOBJECT_Removed) ? object : nullptr;
    };
    if (!name) {
        // Everything that rests on a point, which covers what rests on those.
        for (int at = 0; at < std::min(from, _ObjectCount); ++at)
            if (dbObject* object = live(at); object && RestsOn(*object, nullptr)) object->ClearFlags(kComputedFlags);
        return;
    }
    // Objects may be stored before the point they rest on (it was added or renamed
    // later), and a point measured from the name moves what rests on its own name.
    std::vector<Str> names{Str(name)};
    for (size_t next = 0; next < names.size(); ++next) {
        const Str wanted = names[next];
        for (int at = 0; at < _ObjectCount; ++at) {
            dbObject* object = live(at);
            if (!object || !RestsOn(*object, &wanted)) continue;
            if (at < from) object->ClearFlags(kComputedFlags);
            if (object->GetRecordType() != DATABASE_ObservationRecord) continue;
            const Str own(object->GetName());
            if (std::none_of(names.begin(), names.end(), [&own](const Str& n) { return n == own; }))
                names.push_back(own);
        }
    }
}

void dbJobIndex::AfterPointAction(dbObject* point, const char* name, uint32_t previousStatus, uint32_t statusBefore,
                                  uint32_t newStatus) {
    // A best point whose values changed moves what rests on it even when its status
    // stays the same, and one that stops being best moves it too.
    const bool best = ((statusBefore | newStatus) & kBestChangeMask) != 0;
    int from = _ObjectCount;
    if (best || (previousStatus & kBestChangeMask) != (newStatus & kBestChangeMask) ||
        (point->GetCategory() & kAzimuthOnlyCategory)) {
        // A point still held has its name's first point; without one (reported), the
        // clearing starts at the point itself.
        QZ_ASSERT_TEXT(point->HasFlag(DBOBJECT_Removed) ||
                           _SortedByName.Search(name, DATABASE_ObservationRecord, 0, nullptr),
                       "!firstPoint.IsNull()");
        from = ClearFromFirstPoint(name, point->GetReference().GetSubscript());
    }
    // The lookups that objects rest on do not all follow the status bits, and a point
    // that is not best may still change which point is: what names the point's name is
    // computed again after any action on one of its points.
    ClearDependents(name, from);
    // Every point of the name may have gained or lost a best-point bit.
    ClearPointStatus(name);
}

void dbJobIndex::FollowTransaction(dbTransaction* transaction) {
    if (!transaction || !Database || _FileType != DatabaseFile) return;
    KeepNameOrder(transaction);
    bool invalidating = false;
    // The status of the last object replaced in this transaction; nothing else sets it.
    uint32_t previousStatus = 0;
    for (const dbModel_Action* action = transaction->GetFirst(); action; action = action->GetNext()) {
        const dbRecord_Class* record = action->DBRecord;
        if (!record) continue;
        int type = record->GetType();
        dbObject* point = nullptr;  // the point the action touched
        Str name;
        uint32_t statusBefore = 0;  // that point's own status before the action
        switch (action->Operation) {
        case DBMODEL_Append: {
            dbObject* object = CreateObject(record);
            if (!object) break;
            const dbObjectRef ref = AddObject(object);
            if (ref.IsNull()) break;
            _SortedByName.AddItemInOrder(dbSelectionItem(ref));
            if (type == DATABASE_ObservationRecord) point = object;
            break;
        }
        case DBMODEL_Apply: {
            invalidating |= record->InvalidatesPositions();
            const dbRecord_Class* target = action->Target != NODBID ? Database->GetRecord(action->Target) : nullptr;
            if (!target) break;
            type = target->GetType();
            if (record->GetType() == DATABASE_BoolActionRecord) {
                dbObject* object = CreateObject(target);
                int subscript = -1;
                if (!object || !ReplaceWith(object, previousStatus, subscript)) break;
                statusBefore = previousStatus;
                if (type == DATABASE_ObservationRecord) point = object;
            } else if (type == DATABASE_ObservationRecord) {
                point = ObjectOfRecord(action->Target);
                if (!point) break;
                statusBefore = StatusBefore(*point);
                point->ClearFlags(kComputedFlags);
                // A new mean turned angle may amount to another method.
                if (ObservationObject* observation = ObservationObject::Cast(point)) observation->SetUnderlyingMethod(0);
            }
            break;
        }
        case DBMODEL_Replace: {
            invalidating |= record->InvalidatesPositions();
            dbObject* object = CreateObject(record);
            int subscript = -1;
            if (!object || !ReplaceWith(object, previousStatus, subscript)) break;
            statusBefore = previousStatus;
            if (type == DATABASE_BackBearingRecord)
                ClearFlagsFrom(subscript, DBOBJECT_HorizontalComputed | DBOBJECT_ElevationComputed, false);
            if (type == DATABASE_ObservationRecord) point = object;
            break;
        }
        case DBMODEL_Remove: {
            // Every indexed record leaves a placeholder, so references held elsewhere
            // stay valid; its item left the name selection before.
            dbObject* old = ObjectOfRecord(action->Target);
            dbObject* placeholder = old ? CreateObject(record) : nullptr;
            if (!placeholder) break;
            statusBefore = type == DATABASE_ObservationRecord ? StatusBefore(*old) : 0;
            placeholder->SetRemoved(true);
            placeholder->SetFilter(Triple(0, 0, 0));
            placeholder->SetFlags(DBOBJECT_StatusComputed);
            ReplaceObject(old->GetReference().GetSubscript(), placeholder);
            if (type == DATABASE_ObservationRecord) {
                // What rested on a removed best point is worked out again, and the
                // other points of its name, under the name it had.
                point = placeholder;
                name = record->GetName();
            }
            break;
        }
        case DBMODEL_InsertBefore: {
            invalidating |= record->InvalidatesPositions();
            if (dbObject* object = CreateObject(record)) {
                QZ_FAIL("Index cannot insert objects");
                delete object;
            }
            break;
        }
        default:
            break;
        }
        // A point whose record a later action of the transaction removes is followed
        // by that action.
        if (point && !point->HasFlag(DBOBJECT_Removed) && !point->GetRecord()) point = nullptr;
        if (point) {
            if (!point->HasFlag(DBOBJECT_Removed)) name = point->GetName();
            point->ClearFlags(DBOBJECT_StatusComputed);
            const uint32_t newStatus = point->HasFlag(DBOBJECT_Removed) ? 0 : point->GetStatusBits();
            AfterPointAction(point, name.Data(), previousStatus, statusBefore, newStatus);
        }
        // Any action on a local transformation or on a record that decides its
        // definition, an insert too, may move every point.
        if (MovesLocalTransformations(type, action->Operation)) {
            ClearComputedFlags();
            for (dbIndex* attached : _AttachedIndexes)
                if (attached && attached->GetCoordType() == COORD_LocalTransformedGridType)
                    attached->ClearComputedFlags();
        }
    }
    if (invalidating) {
        for (int item = 0; item < _SortedByName.GetItemCount(); ++item)
            if (dbObject* object = GetObject(_SortedByName.GetReference(item).GetSubscript()))
                object->ClearFlags(DBOBJECT_ElevationComputed);
    }
}
