// Named points: a name resolves to the job's best point of it, filled and computed in
// the coordinate it is first needed in. Resolving one point may resolve its base, whose
// base may be resolved in turn: the job index's chain of names under resolution ends a
// cycle (A from B, B from A) or a chain deeper than 50 in a failure instead of endless
// recursion. Also here: the backsight azimuth of a station setup and the orientation
// of its horizontal circle.
#include <memory>

#include "cogo/cogo.h"
#include "cogo/position.h"
#include "cogo/transfrm.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"
#include "jobdb/dbJobIndex.h"
#include "jobdb/dbaccess.h"
#include "jobdb/dbobjects.h"
#include "jobdb/dbselection.h"
#include "records/conventional.h"
#include "records/measurements.h"

namespace {

constexpr const char* kModule = "QZ/position";
constexpr int kChainDepth = 50;
// Any of grid, locally transformed grid, local, uncalibrated local, WGS84, ECEF ground
// and ECEF: what a resolved position holds.
constexpr int32_t kResolvedMask = POSITION_DoneGrid | POSITION_DoneGridLocal | POSITION_DoneLocal |
                                  POSITION_DoneUncalibratedLocal | POSITION_DoneWGS84 | POSITION_DoneECEFGround |
                                  POSITION_DoneECEF;

StrArray* ChainOf(dbJobIndex* jobIndex) {
    dbJobIndex* job = dbJobIndex_FromIndex(jobIndex);
    if (!job) return nullptr;
    int thread = Environment::Get()->GetCurrentThread();
    if (!QZ_ASSERT_TEXT(thread >= 0 && thread < DBJOBINDEX_ChainCount,
                        "thread >= 0 && thread < DBJOBINDEX_ChainCount"))
        thread = 0;
    return &job->resolutionChainNames[thread];
}

const transfrm_Class* TransformOf(const dbJobIndex* jobIndex) { return jobIndex ? jobIndex->Transform : nullptr; }

// The station name and backsight of a circle reading or mean turned angle taken from
// this very setup.
bool IsReadingOfSetup(dbAccess* database, const db_Measurement* measurement, const Str& station,
                      const Str& backsight) {
    DBID stationId, backBearingId;
    if (const db_Circle* circle = db_Circle::Cast(measurement)) {
        stationId = circle->Station;
        backBearingId = circle->BackBearing;
    } else if (const db_MeanTurnedAngle* mta = db_MeanTurnedAngle::Cast(measurement)) {
        stationId = mta->Station;
        backBearingId = mta->BackBearing;
    } else {
        return false;
    }
    if (!database) return false;
    const db_TotalStation* setup =
        stationId != NODBID ? db_TotalStation::Cast(database->GetRecord(stationId)) : nullptr;
    const db_TotalBackBearing* backBearing =
        backBearingId != NODBID ? db_TotalBackBearing::Cast(database->GetRecord(backBearingId)) : nullptr;
    return setup && backBearing && setup->StationName.EqualInsensitive(station) &&
           backBearing->BackSight.EqualInsensitive(backsight);
}

}  // namespace

bool position_PushName(dbJobIndex* jobIndex, const Str& name) {
    StrArray* chain = ChainOf(jobIndex);
    if (!chain || chain->Count() >= kChainDepth) return false;
    for (int i = 0; i < chain->Count(); ++i)
        if ((*chain)[i].EqualInsensitive(name)) return false;
    chain->Add(name);
    return true;
}

void position_PopName(dbJobIndex* jobIndex, const Str& name) {
    StrArray* chain = ChainOf(jobIndex);
    if (!chain) return;
    const int last = chain->Count() - 1;
    QZ_ASSERT_TEXT(last >= 0 && (*chain)[last].EqualInsensitive(name),
                   "resolutionChainNames [resolutionChainNames.Count () - 1].EqualInsensitive (positionName)");
    if (last >= 0) chain->Remove(last);
}

position_Class* position_CreateFromIndex(dbJobIndex* jobIndex, const Str& name, int mode, bool defaultNullHeights) {
    if (!jobIndex) return nullptr;
    int searchMode = 0;
    switch (mode) {
        case 0: searchMode = 5; break;
        case 1: searchMode = 4; break;
        default: QZ_FAIL(""); return nullptr;
    }
    const dbSelection& names = jobIndex->GetNameSelection();
    int item = -1;
    if (!names.Search(name.Data(), DATABASE_ObservationRecord, searchMode, &item) || names.IsDeleted(item))
        return nullptr;
    auto* position = new position_Class();
    position->FillFromRecordId(jobIndex, names.GetRecordId(item));
    position->DefaultNullHeights = defaultNullHeights;
    return position;
}

position_Class* position_Find(dbJobIndex* jobIndex, const Str& name, int mode, bool defaultNullHeights) {
    if (!dbJobIndex_FromIndex(jobIndex) || !position_PushName(jobIndex, name)) return nullptr;
    std::unique_ptr<position_Class> position(position_CreateFromIndex(jobIndex, name, mode, defaultNullHeights));
    if (position) {
        const transfrm_Class* transform = TransformOf(position->SearchData);
        if (!transform || !position->Resolve(transform)) position.reset();
    }
    position_PopName(jobIndex, name);
    if (!position) return nullptr;
    QZ_ASSERT_TEXT(position->Status & kResolvedMask,
                   "position->Status & (POSITION_DoneGrid | POSITION_DoneGridLocal | POSITION_DoneLocal | "
                   "POSITION_DoneUncalibratedLocal | POSITION_DoneWGS84 | POSITION_DoneECEFGround | "
                   "POSITION_DoneECEF)");
    return position.release();
}

bool position_AzimuthToBest(dbJobIndex* jobIndex, dbSelection& selection, position_Class& base,
                            const transfrm_Class* transform, const Str& backsightName, double* azimuth) {
    *azimuth = MATHS_Null;
    int item = -1;
    if (!jobIndex || !jobIndex->FindBest(selection, item)) return false;

    if (!position_PushName(jobIndex, base.Name)) return false;
    const bool baseResolved = base.Resolve(transform);
    position_PopName(jobIndex, base.Name);
    if (!baseResolved) return false;

    if (!position_PushName(jobIndex, backsightName)) return false;
    position_Class target;
    target.FillFromIndexLocation(selection.GetReference(item));
    const transfrm_Class* jobTransform = TransformOf(jobIndex);
    QZ_ASSERT_TEXT(jobTransform && transform && jobTransform->GetId() == transform->GetId(),
                   "jobfile->Transform->GetId() == baseTransform->GetId()");
    const bool targetResolved = target.IsDefined() && jobTransform && target.Resolve(jobTransform);
    position_PopName(jobIndex, backsightName);
    if (!targetResolved) return false;

    cogo_InverseAzimuth(base, target, transform, azimuth, coordsys_CogoSettings(jobIndex->CogoSettings));
    return !maths_IsNull(*azimuth);
}

bool position_GetBacksightAzimuth(dbJobIndex* jobIndex, position_Class& base, const transfrm_Class* transform,
                                  const Str& backsightName, double* azimuth, bool* keyedIn) {
    if (!dbJobIndex_FromIndex(jobIndex) || !QZ_ASSERT_TEXT(azimuth && keyedIn, "base && backsightName && azimuth && azimuthKeyedIn"))
        return false;
    if (base.Name.IsEmpty() || backsightName.IsEmpty()) return false;

    // A keyed-in azimuth from the station to the backsight.
    if (ObservationObject* keyed = jobIndex->FindAzimuth(backsightName.Data(), base.Name.Data())) {
        const db_Azimuth* record = db_Azimuth::Cast(keyed->GetMeasurement());
        if (QZ_ASSERT_TEXT(record != nullptr, "record->GetType () == DATABASE_AzimuthRecord")) {
            *keyedIn = true;
            *azimuth = record->Azimuth;
            if (!maths_IsNull(*azimuth)) return true;
        }
    }

    // The station observed from the backsight: the reverse direction.
    if (base.NameOfBase.EqualInsensitive(backsightName)) {
        if (!position_PushName(jobIndex, base.Name)) return false;
        const bool polar = base.ComputePolar(transform);
        position_PopName(jobIndex, base.Name);
        if (!polar || maths_IsNull(base.Polar.Azimuth)) return false;
        *keyedIn = false;
        *azimuth = base.Polar.Azimuth + CONSTANT_Pi;
        coord_NormaliseAzimuth(azimuth);
        return true;
    }

    // Computed to the backsight's best point, leaving out this setup's own readings of it.
    dbSelection points;
    jobIndex->SelectByName(backsightName.Data(), DATABASE_ObservationRecord, points);
    for (int item = points.GetItemCount() - 1; item >= 0; --item)
        if (IsReadingOfSetup(jobIndex->Database, points.GetMeasurement(item), base.Name, backsightName))
            points.RemoveItem(item);
    double computed = MATHS_Null;
    if (!position_AzimuthToBest(jobIndex, points, base, transform, backsightName, &computed)) return false;
    *keyedIn = false;
    *azimuth = computed;
    return true;
}

bool position_BacksightAzimuthOfNames(dbJobIndex* jobIndex, const Str& baseName, const Str& backsightName,
                                      double* azimuth, bool* keyedIn) {
    if (!dbJobIndex_FromIndex(jobIndex) || baseName.IsEmpty() || backsightName.IsEmpty()) return false;
    const std::unique_ptr<position_Class> base(position_CreateFromIndex(jobIndex, baseName, 1, false));
    if (!base) return false;
    return position_GetBacksightAzimuth(jobIndex, *base, TransformOf(jobIndex), backsightName, azimuth, keyedIn);
}

double position_OrientationOfBackBearing(dbJobIndex* jobIndex, const db_TotalBackBearing* backBearing) {
    if (!dbJobIndex_FromIndex(jobIndex) || !QZ_ASSERT_TEXT(backBearing != nullptr, "backBearing")) return MATHS_Null;
    double a = MATHS_Null;
    bool keyedIn = false;
    if (!position_BacksightAzimuthOfNames(jobIndex, backBearing->Station, backBearing->BackSight, &a, &keyedIn))
        return MATHS_Null;
    const double f1 = backBearing->F1HorzCircle;
    const double f2 = backBearing->F2HorzCircle;
    double o = MATHS_Null;
    if (maths_IsNull(f1) && maths_IsNull(f2)) return MATHS_Null;
    if (maths_IsNull(f1)) {
        o = a - (f2 - CONSTANT_Pi);
    } else if (maths_IsNull(f2)) {
        o = a - f1;
    } else {
        double o1 = a - f1;
        double o2 = a - (f2 - CONSTANT_Pi);
        coord_NormalisePlusMinusPi(&o1);
        coord_NormalisePlusMinusPi(&o2);
        if (o1 - o2 < -CONSTANT_Pi) o1 += CONSTANT_TwoPi;
        if (o1 - o2 > CONSTANT_Pi) o1 -= CONSTANT_TwoPi;
        o = (o1 + o2) / 2.0;
    }
    coord_NormalisePlusMinusPi(&o);
    return o;
}
