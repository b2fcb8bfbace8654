// Filling a position from the job: from a point's measurement record, from an object of
// one of the point indexes (the job, a comma-separated point file, a background file) or
// from a record id. A fill sets the original coordinate, binds the position to the job
// index and its transform, and notes where the base point, station, target, back
// bearing, antenna and laser records are, for the computations that need them later.
// Also here: the job index's cache of computed grid coordinates and the antenna height
// of GNSS observations.
#include <cstring>

#include "cogo/position.h"
#include "cogo/transfrm.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"
#include "jobdb/dbJobIndex.h"
#include "jobdb/dbaccess.h"
#include "jobdb/dbobjects.h"
#include "records/conventional.h"
#include "records/entities.h"
#include "records/gnssquality.h"
#include "records/gnsssettings.h"
#include "records/laserecho.h"
#include "records/measurements.h"

namespace {

constexpr const char* kModule = "QZ/position";

const dbRecord_Class* RecordAt(dbAccess* database, DBID location) {
    return database && location != NODBID ? database->GetRecord(location) : nullptr;
}

// The point of the index named by the reference; null when the index or object is gone
// or the object is something else (reported: a cache entry must be a point).
ObservationObject* IndexedPoint(const dbObjectRef& reference) {
    if (reference.IsNull() || !reference.IsValid()) return nullptr;
    dbObject* object = reference.GetIndex()->GetObject(reference.GetSubscript());
    if (!object) return nullptr;
    if (!QZ_ASSERT_TEXT(object->GetRecordType() == DATABASE_ObservationRecord,
                        "obj->_RecordType == DATABASE_ObservationRecord"))
        return nullptr;
    return ObservationObject::Cast(object);
}

}  // namespace

position_Class::position_Class(dbJobIndex* jobIndex, const dbRecord_Class* measurement) : position_Class() {
    FillFromMeasurement(jobIndex, measurement);
}

void position_Class::FillFromMeasurement(dbJobIndex* jobIndex, const dbRecord_Class* record) {
    Reset();
    if (jobIndex && record) {
        SearchData = jobIndex;
        const transfrm_Class* T = jobIndex->Transform;
        TransformId = T ? T->GetId() : -1;
        dbAccess* D = jobIndex->Database;
        switch (record->GetType()) {
            case DATABASE_ECEFDeltasRecord: {
                const auto* m = db_ECEFDeltas::Cast(record);
                QZ_ASSERT_TEXT(m->Antenna != NODBID && m->Reference != NODBID,
                               "dbECEFDeltas->Antenna != NODBID && dbECEFDeltas->Reference != NODBID");
                SetECEFDeltas(m->ECEFDeltas, T);
                DBLocationOfAntenna = m->Antenna;
                DBLocationOfECEFDeltasReference = m->Reference;
                SetBaseFromRecord(D, m->Reference);
                break;
            }
            case DATABASE_ECEFRecord: {
                const auto* m = db_ECEF::Cast(record);
                QZ_ASSERT_TEXT(m->Antenna != NODBID, "dbECEF->Antenna != NODBID");
                SetECEF(m->ECEF, T);
                DBLocationOfAntenna = m->Antenna;
                break;
            }
            case DATABASE_ECEFGroundRecord: SetECEFGround(db_ECEFGround::Cast(record)->ECEFGround, T); break;
            case DATABASE_WGS84Record: SetWGS84(db_WGS84::Cast(record)->WGS84, T); break;
            case DATABASE_LocalRecord: SetLocal(db_Local::Cast(record)->Local, T); break;
            case DATABASE_GridRecord: SetGrid(db_Grid::Cast(record)->Grid, T); break;
            case DATABASE_LocalTransformedGridRecord: {
                const auto* m = db_LocalTransformedGrid::Cast(record);
                SetLocalTransformedGrid(m->LocalTransformedGrid, m->ReferenceTransformation, T);
                break;
            }
            case DATABASE_PolarRecord: {
                const auto* m = db_Polar::Cast(record);
                SetPolar(m->Polar, T);
                SetCogoSystem(m->CreatedView);
                NameOfBase = m->SourcePoint;
                break;
            }
            case DATABASE_LaserOffsetRecord: {
                const auto* m = db_LaserOffset::Cast(record);
                SetLaserOffsetObservation(m->LaserOffset, m->MagneticDeclination, m->LaserHeight, m->TargetHeight, T);
                SetCogoSystem(m->CreatedView);
                SetBaseFromRecord(D, m->BasePoint);
                break;
            }
            case DATABASE_CircleRecord: {
                const auto* m = db_Circle::Cast(record);
                SetCircleObservation(m->Circle, m->Station, m->Target, m->BackBearing, T);
                SetCogoSystem(m->CreatedView);
                // The back bearing names both the station and the backsight.
                SetBaseFromRecord(D, m->BackBearing);
                break;
            }
            case DATABASE_AzimuthRecord: {
                const auto* m = db_Azimuth::Cast(record);
                SetPolar(coord_Polar(m->Azimuth, MATHS_Null, MATHS_Null), T);
                SetCogoSystem(m->CreatedView);
                NameOfBase = m->SourcePoint;
                break;
            }
            case DATABASE_MeanTurnedAngleRecord: {
                const auto* m = db_MeanTurnedAngle::Cast(record);
                SetMTAObservation(m->MTA, m->Station, m->Target, m->BackBearing, T);
                SetCogoSystem(m->CreatedView);
                SetBaseFromRecord(D, m->BackBearing);
                break;
            }
            default: QZ_FAIL(""); break;
        }
    }
    QZ_ASSERT_TEXT(Original != COORD_NullType, "Original != COORD_NullType");
    if (Original != COORD_NullType && !coord_IsPositionType(Original) && Original != COORD_ECEFDeltasType)
        QZ_ASSERT_TEXT(!CogoSystem.IsNull(), "!CogoSystem.IsNull()");
}

bool position_Class::FillFromIndexLocation(const dbObjectRef& reference) {
    Reset();
    dbIndex* index = reference.GetIndex();
    if (reference.IsNull() || !index || !reference.IsValid()) return false;
    dbObject* object = index->GetObject(reference.GetSubscript());
    ObservationObject* point = object && object->GetRecordType() == DATABASE_ObservationRecord
                                   ? ObservationObject::Cast(object)
                                   : nullptr;
    if (!point) return false;
    switch (index->GetFileType()) {
        case dbIndex::DatabaseFile: {
            dbJobIndex* job = dbJobIndex_FromIndex(index);
            if (!job) return false;
            FillFromMeasurement(job, point->GetMeasurement());
            IndexLocation = reference;
            Name = point->GetName();
            // A point without a usable measurement gives no position.
            return Original != COORD_NullType;
        }
        case dbIndex::CommaSeparatedFile:
        case dbIndex::BackgroundFile: {
            dbJobIndex* owner = index->GetOwner();
            SearchData = owner;
            TransformId = owner && owner->Transform ? owner->Transform->GetId() : -1;
            ClearCoordinates();
            IndexLocation = reference;
            if (index->GetFileType() == dbIndex::CommaSeparatedFile &&
                index->GetCoordType() == COORD_LocalTransformedGridType) {
                Original = COORD_LocalTransformedGridType;
                Status = POSITION_DoneGridLocal;
                const auto* file = dynamic_cast<const CSVPointObject*>(point);
                const coord_LocalTransformedGrid* local = file ? file->GetLocalGrid() : nullptr;
                LocalTransformedGrid = local ? *local : coord_LocalTransformedGrid();
                TransformationName = index->GetTransformationName();
            } else {
                Original = COORD_GridType;
                Status = POSITION_DoneGrid;
                Grid = point->GetCoordinates();
            }
            return true;
        }
        default: return false;
    }
}

bool position_Class::FillFromRecordId(dbIndex* index, DBID id) {
    if (!index) {
        Reset();
        return false;
    }
    return FillFromIndexLocation(index->FindByRecordId(id));
}

bool position_Class::FillFromObject(dbObject* object) {
    if (!object) {
        Reset();
        return false;
    }
    return FillFromIndexLocation(object->GetReference());
}

bool position_Class::FillFromIndexLocationWithHeights(const dbObjectRef& reference, bool defaultNullHeights) {
    const bool filled = FillFromIndexLocation(reference);
    DefaultNullHeights = defaultNullHeights;
    return filled;
}

void position_Class::SetBaseFromRecord(dbAccess* database, DBID location) {
    NameOfBase = "";
    NameOfBacksight = "";
    DBLocationOfBase = location;
    const dbRecord_Class* record = RecordAt(database, location);
    if (!record) return;
    switch (record->GetType()) {
        case DATABASE_ObservationRecord: NameOfBase = db_Observation::Cast(record)->PointName; break;
        case DATABASE_PolarRecord: NameOfBase = db_Polar::Cast(record)->SourcePoint; break;
        case DATABASE_AzimuthRecord: NameOfBase = db_Azimuth::Cast(record)->SourcePoint; break;
        case DATABASE_BackBearingRecord: {
            const auto* backBearing = db_TotalBackBearing::Cast(record);
            NameOfBase = backBearing->Station;
            NameOfBacksight = backBearing->BackSight;
            break;
        }
        case DATABASE_StationRecord: NameOfBase = db_TotalStation::Cast(record)->StationName; break;
        case DATABASE_ReferenceRecord: NameOfBase = db_Reference::Cast(record)->PointName; break;
        case DATABASE_LaserBasePointRecord: NameOfBase = db_LaserBasePoint::Cast(record)->TheName; break;
        default: break;
    }
}

// ---------------------------------------------------------------- grid cache of the job index

bool position_Class::TakeGridFromIndex() {
    if (IndexLocation.IsNull()) return false;
    if (!SearchData || !SearchData->Transform || SearchData->Transform->GetId() != TransformId) return false;
    dbObject* object = IndexLocation.IsValid() ? IndexLocation.GetIndex()->GetObject(IndexLocation.GetSubscript())
                                               : nullptr;
    if (!object || !object->HasFlag(DBOBJECT_HorizontalComputed) || !object->HasFlag(DBOBJECT_ElevationComputed))
        return false;
    ObservationObject* point = IndexedPoint(IndexLocation);
    if (!point) return false;
    Grid = point->GetCoordinates();
    QZ_ASSERT_TEXT(std::strcmp(point->GetName(), Name.Data()) == 0,
                   "strcmp(observationObj->GetName(), this->GetName()) == 0");
    Status |= POSITION_DoneGrid;
    return true;
}

void position_Class::StoreGridInIndex() {
    if (IndexLocation.IsNull() || !(Status & POSITION_DoneGrid)) return;
    if (!SearchData || !SearchData->Transform || SearchData->Transform->GetId() != TransformId) return;
    ObservationObject* point = IndexedPoint(IndexLocation);
    if (!point) return;
    QZ_ASSERT_TEXT(std::strcmp(point->GetName(), Name.Data()) == 0,
                   "strcmp(observationObj->GetName(), this->GetName()) == 0");
    // Without heights of its own the elevation is not final: it is asked for again.
    point->SetCoordinates(Grid, !DefaultNullHeights);
}

// ---------------------------------------------------------------- antenna height

void position_Class::SetAntenna(double antenna) {
    if (Status & POSITION_DoneAntenna) {
        QZ_ASSERT_TEXT(!maths_IsNull(Antenna), "!maths_IsNull (this->Antenna)");
        QZ_ASSERT_TEXT(antenna == Antenna, "antenna == this->Antenna");
    }
    Antenna = antenna;
    Status |= POSITION_DoneAntenna;
}

void position_Class::DefaultAntennaToZero() {
    if (!maths_IsNull(GetAntenna())) return;
    Antenna = 0.0;
    Status |= POSITION_DoneAntenna;
}

double position_Class::GetAntenna() {
    if (Original == COORD_NullType || !ComputeAntenna()) return MATHS_Null;
    return Antenna;
}

bool position_Class::ComputeAntenna() {
    if (!BeginComputing(POSITION_DoneAntenna)) return (Status & POSITION_DoneAntenna) != 0;
    if (Original != COORD_ECEFType && Original != COORD_ECEFDeltasType) return false;
    QZ_ASSERT_TEXT(DBLocationOfAntenna != NODBID, "this->DBLocationOfAntenna != NODBID");
    dbAccess* database = SearchData ? SearchData->Database : nullptr;
    if (!position_ReadAntennaHeight(database, DBLocationOfAntenna, &Antenna)) return false;
    if (Original == COORD_ECEFDeltasType) {
        QZ_ASSERT_TEXT(DBLocationOfECEFDeltasReference != NODBID,
                       "this->DBLocationOfECEFDeltasReference != NODBID");
        const db_Reference* reference = db_Reference::Cast(RecordAt(database, DBLocationOfECEFDeltasReference));
        if (!reference) return false;
        QZ_ASSERT_TEXT(reference->PointName.EqualInsensitive(NameOfBase),
                       "reference->PointName.EqualInsensitive (this->NameOfBase)");
        if (!position_ReadAntennaHeight(database, reference->Antenna, &ReferenceAntenna)) return false;
    }
    Status |= POSITION_DoneAntenna;
    return true;
}

bool position_ReadAntennaHeight(dbAccess* database, DBID location, double* height) {
    *height = MATHS_Null;
    const db_Antenna* antenna = db_Antenna::Cast(RecordAt(database, location));
    if (!antenna) return false;
    if (antenna->APCType == 0) {
        *height = antenna->MeasuredHeight;
        return true;
    }
    const db_Equipment* equipment = db_Equipment::Cast(RecordAt(database, antenna->Equipment));
    if (!equipment) return false;
    return position_SlantToVertical(equipment->TapeAdjustment, equipment->HorizontalOffset, equipment->VerticalOffset,
                                    antenna->MeasuredHeight, height);
}

bool position_SlantToVertical(double tape, double horizontalOffset, double verticalOffset, double measured,
                              double* height) {
    *height = MATHS_Null;
    const double m = maths_Add(measured, tape);
    if (maths_IsNull(m) || m < 0.0) return false;
    const double q = maths_Subtract(maths_Square(m), maths_Square(horizontalOffset));
    if (maths_IsNull(q) || q < 0.0) return false;
    *height = maths_Add(maths_Sqrt(q), verticalOffset);
    return !maths_IsNull(*height);
}
