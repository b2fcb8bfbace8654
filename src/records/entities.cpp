#include "records/entities.h"

#include "foundation/environment.h"
#include "records/measurements.h"

namespace {
constexpr const char* kModule = dbRecord_Module;
}  // namespace

// ---------------------------------------------------------------- dbrecord_LinkedMeasurement

namespace {
db_Measurement* CloneMeasurement(const db_Measurement* measurement) {
    return measurement ? db_Measurement::Cast(measurement->Clone()) : nullptr;
}
}  // namespace

dbrecord_LinkedMeasurement::dbrecord_LinkedMeasurement(const dbrecord_LinkedMeasurement& other)
    : _Record(CloneMeasurement(other._Record)) {}

dbrecord_LinkedMeasurement& dbrecord_LinkedMeasurement::operator=(
    const dbrecord_LinkedMeasurement& other) {
    if (this != &other) Set(other._Record);
    return *this;
}

dbrecord_LinkedMeasurement::~dbrecord_LinkedMeasurement() { delete _Record; }

void dbrecord_LinkedMeasurement::Attach(const db_Measurement* measurement) {
    _Record = CloneMeasurement(measurement);
}

void dbrecord_LinkedMeasurement::Set(const db_Measurement* measurement) {
    // Cloned before the old one goes, so setting the linked measurement itself is safe.
    db_Measurement* copy = CloneMeasurement(measurement);
    delete _Record;
    _Record = copy;
}

db_Measurement* dbrecord_LinkedMeasurement::Release() {
    db_Measurement* record = _Record;
    _Record = nullptr;
    return record;
}

// ---------------------------------------------------------------- db_Observation

bool db_Observation::IsEqual(const dbRecord_Class&) const {
    QZ_FAIL("!\"Meaningless\"");
    return false;
}

void db_Observation::ApplyStrAction(const db_Str& action) {
    if (action.Code == 0) {
        PointName = action.Text;
    } else if (action.Code == 1) {
        if (db_LocalTransformedGrid* grid = db_LocalTransformedGrid::Cast(GetMeasurement())) {
            grid->ReferenceTransformation = action.Text;
        }
    }
}

database_RecordType db_Observation::GetMeasurementType() const {
    const db_Measurement* measurement = GetMeasurement();
    return measurement ? measurement->GetType() : DATABASE_NoRecordType;
}

coord_Type db_Observation::GetCoordType() const {
    const db_Measurement* measurement = GetMeasurement();
    return measurement ? measurement->GetCoordType() : COORD_NullType;
}
