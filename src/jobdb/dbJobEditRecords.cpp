// JobDatabase: edit records applied to stored records, and moving a point
// observation to another target or antenna.
//
// An edit record (db_BoolAction, db_DBID, db_Str, db_Features) is journaled as an
// apply aimed at the record it changes. It takes a record id of its own, which never
// names a record of the chain.
#include <memory>

#include "foundation/environment.h"
#include "jobdb/dbJob.h"
#include "records/editactions.h"
#include "records/entities.h"
#include "records/measurements.h"

namespace {
constexpr const char* kModule = "Library/dbJob";

// The record a point observation's measurement links to: its target (circle readings
// and mean turned angles) or its antenna (GNSS vectors and positions). NODBID when the
// measurement has no such link.
DBID LinkOf(const dbRecord_Class* observation, bool antenna) {
    const db_Observation* point = db_Observation::Cast(observation);
    const db_Measurement* measurement = point ? point->GetMeasurement() : nullptr;
    if (!measurement) return NODBID;
    if (antenna) {
        if (const db_ECEFDeltas* deltas = db_ECEFDeltas::Cast(measurement)) return deltas->Antenna;
        if (const db_ECEF* ecef = db_ECEF::Cast(measurement)) return ecef->Antenna;
        return NODBID;
    }
    if (const db_Circle* circle = db_Circle::Cast(measurement)) return circle->Target;
    if (const db_MeanTurnedAngle* mta = db_MeanTurnedAngle::Cast(measurement)) return mta->Target;
    return NODBID;
}
}  // namespace

DBID JobDatabase::ApplyBoolAction(DBID target, int action) { return ChangeRecord(target, db_BoolAction(action)); }

DBID JobDatabase::SetRecordFeatures(DBID target, const FeatureArray& features) {
    db_Features edit;
    edit.Features.Assign(features);
    return ChangeRecord(target, edit);
}

DBID JobDatabase::SetRecordFeatures(DBID target, FeatureArray&& features) {
    if (!QZ_ASSERT_TEXT(_Access != nullptr, "_Access != NULL")) return NODBID;
    auto edit = std::make_unique<db_Features>();
    edit->Features.Swap(features);
    return _Access->ApplyInGroup(target, std::move(edit));
}

DBID JobDatabase::ApplyDBID(DBID target, DBID id) { return ChangeRecord(target, db_DBID(id)); }

DBID JobDatabase::ApplyStr(DBID target, const Str& text, int code) { return ChangeRecord(target, db_Str(text, code)); }

DBID JobDatabase::ChangeTarget(DBID observation, const dbRecord_Class* newTarget) {
    return ChangeLink(observation, newTarget, false);
}

DBID JobDatabase::ChangeAntenna(DBID observation, const dbRecord_Class* newAntenna) {
    return ChangeLink(observation, newAntenna, true);
}

DBID JobDatabase::ChangeLink(DBID observation, const dbRecord_Class* newRecord, bool antenna) {
    if (!QZ_ASSERT_TEXT(_Access != nullptr, "_Access != NULL")) return NODBID;
    if (!QZ_ASSERT_TEXT(newRecord != nullptr, "newRecord != NULL")) return NODBID;
    const dbRecord_Class* point = _Access->GetRecord(observation);
    if (!QZ_ASSERT_TEXT(db_Observation::Cast(point) != nullptr, "observation")) return NODBID;
    // Without a current link there is nothing to move from: nothing is stored.
    const DBID oldId = LinkOf(point, antenna);
    const dbRecord_Class* old = _Access->GetRecord(oldId);
    if (!QZ_ASSERT_TEXT(old != nullptr, antenna ? "oldAntennaPtr" : "oldTargetPtr")) return NODBID;

    const DBID newId = AppendRecord(newRecord);
    if (newId == NODBID) return NODBID;
    ApplyDBID(observation, newId);
    dbRecord_Class* oldCopy = old->Clone();
    const DBID copyId = AppendRecord(oldCopy);
    delete oldCopy;

    // Observations stored after this one that shared its old link keep what they had:
    // the copy stored behind the new record.
    const db_DBID relink(copyId);
    _Access->BeginGroupNested();
    const dbModel_Thread& chain = _Access->GetModel().GetThread();
    for (const dbModel_Record* holder = chain.GetBack(); holder; holder = chain.GetPreviousHolder(holder)) {
        const dbRecord_Class* record = holder->DBRecord;
        if (record->GetRecordId() == observation) break;
        if (record->GetType() == DATABASE_ObservationRecord && LinkOf(record, antenna) == oldId)
            _Access->AddAction(DBMODEL_Apply, record->GetRecordId(), &relink);
    }
    _Access->EndGroupNested();
    return newId;
}
