// The queries put to a job index: the best object of a name (also by measurement
// category), positions and references of names, the last records of a name, and the
// observations that belong to stations, back bearings and azimuths. All of them read
// the name selection and temporary selections; none changes the job.
//
// A lookup that needs the record of an object, or the measurement of a record, and
// meets one without it answers false, null or NODBID: an index that has lost step with
// its job gives no answer rather than a wrong one.
#include <algorithm>
#include <vector>

#include "foundation/environment.h"
#include "jobdb/dbJobIndex.h"
#include "jobdb/dbaccess.h"
#include "jobdb/dbobjects.h"
#include "records/conventional.h"
#include "records/dbRecordFactory.h"
#include "records/entities.h"
#include "records/measurements.h"

namespace {
constexpr const char* kModule = "Library/dbJobIndex";

// Derivation code "RS", first character in the low byte.
constexpr uint16_t kDerivationRS = 'R' | ('S' << 8);

bool IsEmpty(const char* name) { return !name || !*name; }

// The point of a selection item, or null for an item of another record type.
ObservationObject* PointOf(const dbSelection& selection, int item) {
    if (selection.GetRecordType(item) != DATABASE_ObservationRecord) return nullptr;
    return ObservationObject::Cast(selection.GetObject(item));
}

// The classification and method of a point: a job point's from its record, read once
// (false when the job lacks it), a file point's its own.
bool ReadPoint(const ObservationObject& point, db_PointClassification& classification, int32_t& method) {
    const dbIndex* index = point.GetIndex();
    if (index && index->GetFileType() == dbIndex::DatabaseFile) {
        const db_Observation* obs = db_Observation::Cast(point.GetRecord());
        if (!obs) return false;
        classification = obs->Classification;
        method = obs->Method;
        return true;
    }
    classification = point.GetClassification();
    method = point.GetMethod();
    return true;
}

// Removes, scanning from the last item, every item that is not a point passing `keep`.
template <class Keep>
void KeepPoints(dbSelection& selection, Keep keep) {
    for (int item = selection.GetItemCount() - 1; item >= 0; --item) {
        ObservationObject* point = PointOf(selection, item);
        if (!point || !keep(*point)) selection.RemoveItem(item);
    }
}

// The Station of a circle reading or mean turned angle.
DBID StationOfMeasurement(const db_Measurement* measurement) {
    if (const db_Circle* circle = db_Circle::Cast(measurement)) return circle->Station;
    if (const db_MeanTurnedAngle* mta = db_MeanTurnedAngle::Cast(measurement)) return mta->Station;
    return NODBID;
}

// Copies the record at the item into `record` when the job holds it.
bool LoadItem(dbAccess* database, const dbSelection& names, int item, dbRecord_Class& record, DBID& recordLocation,
              int& itemNum, const char* failure) {
    const DBID id = names.GetRecordId(item);
    const dbRecord_Class* stored = database && id != NODBID ? database->GetRecord(id) : nullptr;
    if (!QZ_ASSERT_TEXT(stored && stored->GetType() == record.GetType(), failure)) return false;
    dbRecord_CopyFields(*stored, record);
    recordLocation = id;
    itemNum = item;
    return true;
}
}  // namespace

// ---------------------------------------------------------------- best of a selection

bool dbJobIndex::FindBest(dbSelection& selection, int& itemNum) {
    itemNum = -1;
    dbPointSearchResult best;
    for (int item = selection.GetItemCount() - 1; item >= 0; --item) {
        if (selection.IsDeleted(item)) continue;
        if (selection.GetRecordType(item) != DATABASE_ObservationRecord) {
            itemNum = item;
            continue;
        }
        ObservationObject* point = PointOf(selection, item);
        dbPointSearchResult candidate;
        if (!point || !ReadPoint(*point, candidate.Classification, candidate.Method)) {
            itemNum = -1;
            return false;
        }
        candidate.UniqueId = selection.GetReference(item);
        if (candidate.Method == DBENTITY_MatchedPairHidden || candidate.Method == DBENTITY_MeanTurnedAngleHidden)
            continue;
        if (candidate.Method == DBENTITY_MeanTurnedAngle) candidate.UnderlyingMethod = selection.GetUnderlyingMethod(item);
        if (dbJobIndex_IsBetterPoint(candidate, best)) {
            itemNum = item;
            best = candidate;
        }
    }
    return itemNum != -1;
}

dbObject* dbJobIndex::FindBestObject(dbSelection& selection) {
    int item = -1;
    return FindBest(selection, item) ? selection.GetObject(item) : nullptr;
}

void dbJobIndex::KeepPositionPoints(dbSelection& selection) {
    KeepPoints(selection, [](ObservationObject& point) { return point.GetMethod() != DBENTITY_AzimuthOnly; });
}

void dbJobIndex::KeepGnssPoints(dbSelection& selection) {
    KeepPoints(selection, [](ObservationObject& point) { return dbJobIndex_IsGnssMeasurement(point.GetMeasurementType()); });
}

void dbJobIndex::KeepGridPoints(dbSelection& selection) {
    KeepPoints(selection, [](ObservationObject& point) { return dbJobIndex_IsGridMeasurement(point.GetMeasurementType()); });
}

void dbJobIndex::KeepNonLocalGridPoints(dbSelection& selection) {
    KeepPoints(selection, [](ObservationObject& point) {
        return point.GetMeasurementType() != DATABASE_LocalTransformedGridRecord;
    });
}

void dbJobIndex::KeepLocalGridPoints(dbSelection& selection) {
    KeepPoints(selection, [](ObservationObject& point) {
        return point.GetMeasurementType() == DATABASE_LocalTransformedGridRecord;
    });
}

void dbJobIndex::KeepStationObservations(dbSelection& selection, DBID station) {
    KeepPoints(selection, [&](ObservationObject& point) {
        return dbJobIndex_IsAngleMethod(point.GetMethod()) &&
               dbJobIndex_HasRankedClassification(point.GetClassification()) &&
               StationOfObservation(point.GetRecordId()) == station;
    });
}

namespace {
using dbJobIndex_Filter = void (dbJobIndex::*)(dbSelection&);

ObservationObject* BestPointAfter(dbJobIndex& index, const char* name, dbJobIndex_Filter filter) {
    dbSelection points;
    if (!index.SelectByName(name, DATABASE_ObservationRecord, points)) return nullptr;
    (index.*filter)(points);
    return ObservationObject::Cast(index.FindBestObject(points));
}
}  // namespace

ObservationObject* dbJobIndex::FindBestPointObject(const char* name) {
    return BestPointAfter(*this, name, &dbJobIndex::KeepPositionPoints);
}

ObservationObject* dbJobIndex::FindBestGnssPoint(const char* name) {
    return BestPointAfter(*this, name, &dbJobIndex::KeepGnssPoints);
}

ObservationObject* dbJobIndex::FindBestGridPoint(const char* name) {
    return BestPointAfter(*this, name, &dbJobIndex::KeepGridPoints);
}

ObservationObject* dbJobIndex::FindBestNonLocalGridPoint(const char* name) {
    return BestPointAfter(*this, name, &dbJobIndex::KeepNonLocalGridPoints);
}

ObservationObject* dbJobIndex::FindBestLocalGridPoint(const char* name) {
    return BestPointAfter(*this, name, &dbJobIndex::KeepLocalGridPoints);
}

// ---------------------------------------------------------------- names and references

void dbJobIndex::NormaliseName(Str& name, int recordType) {
    if (_SortedByName.Search(name.Data(), recordType, 0, nullptr)) return;
    int item = -1;
    if (_SortedByName.FindNameInsensitive(name.Data(), recordType, &item)) name = Str(_SortedByName.GetName(item));
}

dbObjectRef dbJobIndex::FindReferenceByRecordId(const char* name, DBID id) {
    int item = -1;
    for (bool found = _SortedByName.Search(name, DATABASE_AllRecords, 0, &item); found;
         found = _SortedByName.Search(name, DATABASE_AllRecords, 2, &item))
        if (_SortedByName.GetRecordId(item) == id) return _SortedByName.GetReference(item);
    return dbObjectRef();
}

dbObjectRef dbJobIndex_ReferenceFromLookup(dbJobIndex_Lookup lookup, void* argument, const Str& name) {
    if (!QZ_ASSERT_TEXT(lookup != nullptr, "lookup")) return dbObjectRef();
    const dbObject* object = lookup(argument, name.Data());
    return object ? object->GetReference() : dbObjectRef();
}

// ---------------------------------------------------------------- records of a name

bool dbJobIndex::LoadLast(const Str& name, dbRecord_Class& record, DBID& recordLocation, int& itemNum) {
    if (name.IsEmpty()) return false;
    const int type = record.GetType();
    int item = -1;
    bool found = _SortedByName.Search(name.Data(), type, 1, &item);
    while (found && _SortedByName.IsDeleted(item)) found = _SortedByName.Search(name.Data(), type, 3, &item);
    if (!found) return false;
    return LoadItem(Database, _SortedByName, item, record, recordLocation, itemNum, "Failed GetRecord in LoadLast");
}

bool dbJobIndex::LoadPrevious(const Str& name, dbRecord_Class& record, DBID& recordLocation, int& itemNum) {
    if (!QZ_ASSERT_TEXT(!name.IsEmpty(), "name && *name")) return false;
    QZ_ASSERT_TEXT(Str(record.GetName()).EqualInsensitive(name), "Str(record->GetName()).EqualInsensitive (name)");
    const int type = record.GetType();
    int item = itemNum;
    bool found = _SortedByName.Search(name.Data(), type, 3, &item);
    while (found && _SortedByName.IsDeleted(item)) found = _SortedByName.Search(name.Data(), type, 3, &item);
    if (!found) return false;
    return LoadItem(Database, _SortedByName, item, record, recordLocation, itemNum,
                    "Failed GetReccord in LoadPrevious");
}

dbObject* dbJobIndex::FindLast(const Str& name, int recordType) {
    return name.IsEmpty() ? nullptr : FindLast(name.Data(), recordType);
}

dbObject* dbJobIndex::FindLast(const char* name, int recordType) {
    int item = -1;
    bool found = _SortedByName.Search(name, recordType, 1, &item);
    while (found && _SortedByName.IsDeleted(item)) found = _SortedByName.Search(name, recordType, 3, &item);
    return found ? GetObject(_SortedByName.GetReference(item).GetSubscript()) : nullptr;
}

// ---------------------------------------------------------------- stations, back bearings, azimuths

DBID dbJobIndex::StationOfObservation(DBID observation) {
    const dbObjectRef ref = FindByRecordId(observation);
    if (ref.IsNull()) return NODBID;
    dbObject* object = GetObject(ref.GetSubscript());
    if (!object || object->GetRecordType() != DATABASE_ObservationRecord) return NODBID;
    return StationOfMeasurement(static_cast<ObservationObject*>(object)->GetMeasurement());
}

ObservationObject* dbJobIndex::FindAzimuth(const char* name, const char* sourcePoint) {
    dbSelection points;
    if (!SelectByName(name, DATABASE_ObservationRecord, points)) return nullptr;
    const Str source(sourcePoint ? sourcePoint : "");
    KeepPoints(points, [&](ObservationObject& point) {
        if (point.GetMethod() != DBENTITY_AzimuthOnly) return false;
        // Any other measurement would be read as an azimuth: the point is passed over.
        const db_Azimuth* azimuth = db_Azimuth::Cast(point.GetMeasurement());
        if (!QZ_ASSERT_TEXT(azimuth != nullptr, "ptObj->GetMeasurementType() == DATABASE_AzimuthRecord"))
            return false;
        return azimuth->SourcePoint.EqualInsensitive(source);
    });
    return ObservationObject::Cast(FindBestObject(points));
}

ObservationObject* dbJobIndex::FindObservationFromStation(const char* name, DBID station) {
    if (!QZ_ASSERT_TEXT(station != NODBID, "stationLocation != NODBID")) return nullptr;
    dbSelection points;
    if (!SelectByName(name, DATABASE_ObservationRecord, points)) return nullptr;
    KeepStationObservations(points, station);
    return ObservationObject::Cast(FindBestObject(points));
}

bool dbJobIndex::FindObservationFromNamedStation(const char* pointName, const char* otherName,
                                                 const char* stationName, DBID& observation, DBID& station) {
    observation = NODBID;
    if (!QZ_ASSERT_TEXT(!IsEmpty(pointName), "pointName && ( pointName[0] != 0 )")) return false;
    if (!QZ_ASSERT_TEXT(!IsEmpty(stationName), "stationName && ( stationName[0] != 0 )")) return false;
    if (!Database) return false;
    dbSelection points;
    if (!SelectByName(pointName, DATABASE_ObservationRecord, points)) return false;
    const bool withOther = !IsEmpty(otherName);
    dbSelection others;
    if (withOther && !SelectByName(otherName, DATABASE_ObservationRecord, others)) return false;

    const Str wanted(stationName);
    std::vector<DBID> otherStations;
    for (int item = 0; item < others.GetItemCount(); ++item)
        if (!others.IsDeleted(item)) otherStations.push_back(StationOfObservation(others.GetRecordId(item)));
    auto otherFrom = [&](DBID setup) {
        return std::find(otherStations.begin(), otherStations.end(), setup) != otherStations.end();
    };
    for (int item = points.GetItemCount() - 1; item >= 0; --item) {
        const DBID setup = StationOfObservation(points.GetRecordId(item));
        const db_TotalStation* total = setup != NODBID ? db_TotalStation::Cast(Database->GetRecord(setup)) : nullptr;
        const bool keep = total && total->StationName.EqualInsensitive(wanted) && (!withOther || otherFrom(setup));
        if (!keep) points.RemoveItem(item);
    }
    const dbObject* best = FindBestObject(points);
    if (!best || best->GetRecordId() == NODBID) return false;
    observation = best->GetRecordId();
    station = StationOfObservation(observation);
    return true;
}

dbObject* dbJobIndex::FindMtaAfterStation(const char* name, DBID station) {
    // Only points observed after the station was set up belong to it.
    int bound = 0;
    if (Database && station != NODBID && db_TotalStation::Cast(Database->GetRecord(station))) {
        const dbObjectRef ref = FindByRecordId(station);
        if (!ref.IsNull()) bound = ref.GetSubscript();
    }
    int item = -1;
    for (bool found = _SortedByName.Search(name, DATABASE_ObservationRecord, 1, &item); found;
         found = _SortedByName.Search(name, DATABASE_ObservationRecord, 3, &item)) {
        const int subscript = _SortedByName.GetReference(item).GetSubscript();
        if (subscript < bound) return nullptr;
        const int32_t method = GetMethod(subscript);
        if (method == DBENTITY_MeanTurnedAngle || method == DBENTITY_MeanTurnedAngleHidden) return GetObject(subscript);
    }
    return nullptr;
}

ObservationObject* dbJobIndex::FindMtaOfCurrentStation(const char* name) {
    const DBID station = Database ? Database->GetLastIdOfType(DATABASE_StationRecord) : NODBID;
    if (!QZ_ASSERT_TEXT(station != NODBID, "stationLocation != NODBID")) return nullptr;
    return ObservationObject::Cast(FindMtaAfterStation(name, station));
}

ObservationObject* dbJobIndex::FindBackSightObservation(const char* pointName, DBID& meanTurnedAngle) {
    meanTurnedAngle = NODBID;
    if (!QZ_ASSERT_TEXT(!IsEmpty(pointName), "pointName && *pointName")) return nullptr;
    const DBID backBearing = Database ? Database->GetLastIdOfType(DATABASE_BackBearingRecord) : NODBID;
    if (!QZ_ASSERT_TEXT(backBearing != NODBID, "backbearingLocation != NODBID")) return nullptr;
    dbSelection points;
    if (!SelectByName(pointName, DATABASE_ObservationRecord, points)) return nullptr;
    for (int item = points.GetItemCount() - 1; item >= 0; --item) {
        ObservationObject* point = PointOf(points, item);
        if (!point) continue;
        const db_Observation* obs = point->GetObservation();
        if (!obs) return nullptr;
        const int32_t method = obs->Method;
        if (method == DBENTITY_MeanTurnedAngle) {
            meanTurnedAngle = point->GetRecordId();
            continue;
        }
        const bool reading = (method >= DBENTITY_AngleOnly && method <= DBENTITY_AvgMeasurements) ||
                             method == DBENTITY_RemoteObjectBasePoint;
        const db_PointClassification& c = obs->Classification;
        if (!reading || point->IsDeleted() || !(c.IsNormal() || c.IsMTA() || c.IsConstruction() || c.IsBackSight()))
            continue;
        // A reading of a resection ends the search: older ones belong to another setup.
        if (obs->Derivation == kDerivationRS) return nullptr;
        const db_Circle* circle = db_Circle::Cast(obs->GetMeasurement());
        if (circle && circle->BackBearing == backBearing) return point;
    }
    return nullptr;
}

bool dbJobIndex::GetStationSetupOfRecord(DBID observation, position_ReductionRecords& setup) {
    const dbObjectRef ref = FindByRecordId(observation);
    if (ref.IsNull()) return false;
    ObservationObject* point = ObservationObject::Cast(GetObject(ref.GetSubscript()));
    const db_Circle* circle = point ? db_Circle::Cast(point->GetMeasurement()) : nullptr;
    if (!circle) return false;
    const auto read = dbJobIndex_GetCoordinateGeometry().GetStationSetup;
    return read && Database && read(Database, circle->Station, circle->Target, circle->BackBearing, &setup);
}

// ---------------------------------------------------------------- positions of names

bool dbJobIndex_PositionOfName(dbJobIndex* index, const Str& name, position_Class& position) {
    if (!QZ_ASSERT_TEXT(index != nullptr, "jobIndex != NULL")) return false;
    const ObservationObject* best = index->FindBestPointObject(name.Data());
    if (!best) return false;
    const dbJobIndex_CoordinateGeometry& geometry = dbJobIndex_GetCoordinateGeometry();
    if (!geometry.FillFromRecordId) return false;
    const bool keepOption = geometry.GetPositionOption && geometry.SetPositionOption;
    const uint8_t option = keepOption ? geometry.GetPositionOption(&position) : 0;
    const bool filled = geometry.FillFromRecordId(&position, index, best->GetRecordId());
    if (keepOption) geometry.SetPositionOption(&position, option);
    return filled;
}

namespace {
bool FillFrom(const dbSelection& names, int item, position_Class& position) {
    const auto fill = dbJobIndex_GetCoordinateGeometry().FillFromIndexLocation;
    return fill && fill(&position, names.GetReference(item));
}
}  // namespace

bool dbJobIndex_PositionOfNameAnyIndex(dbJobIndex* index, Str& name, position_Class& position) {
    if (!QZ_ASSERT_TEXT(index != nullptr, "jobIndex != NULL")) return false;
    index->NormaliseName(name, DATABASE_ObservationRecord);
    if (dbJobIndex_PositionOfName(index, name, position)) return true;
    const int highest = dbIndex::GetHighestIndexNumber();
    for (int number = 0; number <= highest; ++number) {
        dbIndex* attached = index->GetAttachedIndex(number);
        if (!attached) continue;
        const dbSelection& names = attached->GetNameSelection();
        int item = -1;
        switch (attached->GetFileType()) {
        case dbIndex::CommaSeparatedFile:
        case dbIndex::BackgroundFile:
            if (names.FindNameInsensitive(name.Data(), DATABASE_ObservationRecord, &item) &&
                FillFrom(names, item, position))
                return true;
            break;
        case dbIndex::DatabaseFile: {
            dbJobIndex* job = dbJobIndex_FromDatabaseIndex(attached);
            if (!job) break;
            job->NormaliseName(name, DATABASE_ObservationRecord);
            if (names.Search(name.Data(), DATABASE_ObservationRecord, 4, &item) && FillFrom(names, item, position))
                return true;
            break;
        }
        default:
            break;
        }
    }
    return false;
}
