// Circle readings, mean turned angles and laser offsets as positions: their reduction in
// the station environment read from the job, the backsight's circle reading that
// orients them, and the reverse, the reading an instrument would show to a known point.
#include <cmath>
#include <memory>

#include "cogo/cogo.h"
#include "cogo/position.h"
#include "cogo/position_angles.h"
#include "cogo/position_circle.h"
#include "cogo/reduce.h"
#include "cogo/transfrm.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"
#include "jobdb/dbJobIndex.h"
#include "jobdb/dbaccess.h"

namespace {

constexpr const char* kModule = "QZ/position";

double Azimuth(double angle) {
    if (maths_IsNull(angle)) return MATHS_Null;
    return coord_NormalisedAzimuth(&angle);
}

}  // namespace

// ---------------------------------------------------------------- free functions

coord_Unturned position_PolarToUnturned(const coord_Polar& polar, double backsightCircle, double backsightAzimuth) {
    coord_Unturned unturned(MATHS_Null, polar.HDist, polar.VDist);
    if (!maths_IsNull(polar.Azimuth) && !maths_IsNull(backsightCircle) && !maths_IsNull(backsightAzimuth))
        unturned.HorzCircle = Azimuth(backsightCircle + polar.Azimuth - backsightAzimuth);
    return unturned;
}

int position_BackBearingIsMissing(double zenith, const db_TotalBackBearing& backBearing) {
    if (position_IsFace2(zenith, COORD_FaceNull)) return maths_IsNull(backBearing.F2HorzCircle) ? 0 : 1;
    return maths_IsNull(backBearing.F1HorzCircle) ? 1 : 0;
}

void position_BacksightCircle(const db_TotalBackBearing& backBearing, int mode, bool isMTA, double* out) {
    if (isMTA) {
        *out = 0.0;
        return;
    }
    const double face2 = Azimuth(maths_Add(backBearing.F2HorzCircle, CONSTANT_Pi));
    switch (mode) {
        case 0: *out = backBearing.F1HorzCircle; break;
        case 1: *out = face2; break;
        default: *out = position_AngleMeanNullAware(backBearing.F1HorzCircle, face2); break;
    }
}

bool position_LaserOffsetToPolar(const coord_LaserOffset& laser, coord_Polar* polar,
                                 const reduce_LaserSettings& settings) {
    double azimuth = laser.Azimuth;
    if (!maths_IsNull(azimuth) && !maths_IsNull(settings.MagneticDeclination))
        azimuth += settings.MagneticDeclination;
    if (!maths_IsNull(azimuth) && settings.SouthAzimuth) azimuth -= CONSTANT_Pi;
    azimuth = Azimuth(azimuth);
    double zenith = laser.VertAngle, slope = laser.SlopeDist;
    const bool heights = !maths_IsNull(settings.LaserHeight) && !maths_IsNull(settings.TargetHeight);
    if (heights) position_ApplyHeightsToZenith(&slope, &zenith, settings.LaserHeight, settings.TargetHeight, 0);
    polar->Azimuth = azimuth;
    if (maths_IsNull(laser.Azimuth) || maths_IsNull(zenith) || maths_IsNull(slope)) return true;
    polar->HDist = slope * std::sin(zenith);
    polar->VDist = heights ? slope * std::cos(zenith) : MATHS_Null;
    return !heights;
}

// ---------------------------------------------------------------- setters and getters

void position_Class::SetCircleInEnvironment(const position_ReductionRecords* environment, double backsightCircle,
                                            const coord_Circle& circle, const transfrm_Class* transform) {
    BeginOriginal(COORD_CircleType, transform);
    Circle = circle;
    BacksightCircle = backsightCircle;
    if (!QZ_ASSERT_TEXT(environment != nullptr, "environment")) return;
    const position_ReductionRecords& e = *environment;
    if (e.HasStationSetup) {
        HasStationSetup = true;
        StationSetup = e.StationSetup;
    } else {
        QZ_ASSERT_TEXT(e.Station.StationName.EqualInsensitive(e.BackBearing.Station),
                       "environment->Station.StationName.EqualInsensitive (environment->BackBearing.Station)");
        NameOfBase = e.Station.StationName;
        NameOfBacksight = e.BackBearing.BackSight;
    }
    position_CircleToCorrected(Circle, &Corrected, e);
    Status |= POSITION_DoneCorrected;
    position_CorrectedToUnturned(Corrected, &Unturned, e);
    Status |= POSITION_DoneUnturned;
}

void position_Class::SetLaserOffset(const coord_LaserOffset& laser, const reduce_LaserSettings& settings,
                                    const transfrm_Class* transform) {
    BeginOriginal(COORD_LaserOffsetType, transform);
    LaserOffset = laser;
    position_LaserOffsetToPolar(laser, &Polar, settings);
    if (!Polar.IsNull()) Status |= POSITION_DonePolar;
}

coord_Corrected position_Class::GetCorrected() {
    if (Original == COORD_CircleType) ReduceCircle();
    if ((Status & POSITION_DoneCorrected) == 0) Corrected.SetNull();
    return Corrected;
}

// ---------------------------------------------------------------- reduction

bool position_Class::ReduceCircle(const transfrm_Class*) {
    if (!BeginComputing(POSITION_DoneUnturned)) return (Status & POSITION_DoneUnturned) != 0;
    if (Original != COORD_CircleType && Original != COORD_MTAType) return false;
    // A reading reduced in the caller's environment has no records to read again; its
    // reduction outlives a change of transform, as the reading itself does.
    if (DBLocationOfStation == NODBID && !Unturned.IsNull()) {
        Status |= POSITION_DoneCorrected | POSITION_DoneUnturned;
        return true;
    }
    position_ReductionRecords environment(DefaultNullHeights);
    dbAccess* database = SearchData ? SearchData->Database : nullptr;
    if (!reduce_GetStationSetup(database, DBLocationOfStation, DBLocationOfTarget, DBLocationOfBackBearing,
                                environment))
        return false;
    QZ_ASSERT_TEXT(NameOfBacksight.EqualInsensitive(environment.BackBearing.BackSight),
                   "this->NameOfBacksight.EqualInsensitive (environment.BackBearing.BackSight)");
    QZ_ASSERT_TEXT(NameOfBase.EqualInsensitive(environment.BackBearing.Station),
                   "this->NameOfBase.EqualInsensitive (environment.BackBearing.Station)");
    QZ_ASSERT_TEXT(NameOfBase.EqualInsensitive(environment.Station.GetName()),
                   "this->NameOfBase.EqualInsensitive (environment.Station.GetName ())");
    position_CircleToCorrected(Circle, &Corrected, environment);
    Status |= POSITION_DoneCorrected;
    position_CorrectedToUnturned(Corrected, &Unturned, environment);
    const int mode = position_BackBearingIsMissing(Circle.VertCircle, environment.BackBearing);
    position_BacksightCircle(environment.BackBearing, mode, Original != COORD_CircleType, &BacksightCircle);
    Status |= POSITION_DoneUnturned;
    return true;
}

void position_Class::ComputeCircleFromStation(dbJobIndex* jobIndex, const transfrm_Class* transform,
                                              const position_ReductionRecords& environment, double backsightCircle,
                                              coord_Circle* circle) {
    if (!QZ_ASSERT_TEXT(circle != nullptr, "circle")) return;
    circle->SetNull();
    const double c = backsightCircle;
    coord_Unturned unturned;
    const bool reading = Original == COORD_CircleType || Original == COORD_MTAType;
    const bool thisSetup = (reading || Original == COORD_UnturnedType) &&
                           NameOfBase.EqualInsensitive(environment.Station.StationName) &&
                           NameOfBacksight.EqualInsensitive(environment.BackBearing.BackSight);
    if (thisSetup) {
        if (reading && maths_IsNull(Circle.EDMDistance) && DBLocationOfStation != NODBID &&
            DBLocationOfTarget != NODBID) {
            // An angles-only reading of this setup: its own angles, turned to the new
            // backsight reading, as long as the heights are the ones it was taken with.
            dbAccess* database = SearchData ? SearchData->Database : jobIndex ? jobIndex->Database : nullptr;
            dbRecord_Class* stationRecord = database ? database->GetRecord(DBLocationOfStation) : nullptr;
            dbRecord_Class* targetRecord = database ? database->GetRecord(DBLocationOfTarget) : nullptr;
            const db_TotalStation* station = db_TotalStation::Cast(stationRecord);
            const db_Target* target = db_Target::Cast(targetRecord);
            QZ_ASSERT_TEXT(station != nullptr, "originalStation != NULL");
            QZ_ASSERT_TEXT(target != nullptr, "originalTarget != NULL");
            if (station && target &&
                environment.Station.TheodoliteHeight.TrueVerticalHeight() ==
                    station->TheodoliteHeight.TrueVerticalHeight() &&
                environment.Target.Target.TargetHeightData.TrueVerticalHeight() ==
                    target->Target.TargetHeightData.TrueVerticalHeight()) {
                ReduceCircle();
                if (!maths_IsNull(c) && !maths_IsNull(BacksightCircle))
                    circle->HorzCircle = maths_Add(c, maths_Subtract(Circle.HorzCircle, BacksightCircle));
                circle->VertCircle = Circle.VertCircle;
                circle->Face = Circle.Face;
                if (position_IsFace2(circle->VertCircle, circle->Face)) {
                    circle->HorzCircle = maths_Add(circle->HorzCircle, CONSTANT_Pi);
                    circle->VertCircle = maths_Subtract(CONSTANT_TwoPi, circle->VertCircle);
                    circle->Face = COORD_Face1;
                }
                circle->HorzCircle = Azimuth(circle->HorzCircle);
                circle->VertCircle = Azimuth(circle->VertCircle);
                return;
            }
        }
        if (reading && !ReduceCircle()) return;
        unturned = Unturned;
        unturned.HorzCircle =
            maths_IsNull(BacksightCircle) || maths_IsNull(c)
                ? MATHS_Null
                : maths_Add(c, maths_Subtract(unturned.HorzCircle, BacksightCircle));
    } else {
        if (!jobIndex) return;
        const std::unique_ptr<position_Class> station(
            position_CreateFromIndex(jobIndex, environment.Station.StationName, 1, DefaultNullHeights));
        if (!station) return;
        const transfrm_Class* indexTransform = jobIndex->Transform;
        if (station->DefaultNullHeights) station->ApplyDefaultHeight(indexTransform);
        position_Class copy = *this;
        // The neighbourhood shift is not part of what the instrument sees.
        if (indexTransform) copy.GetGrid(indexTransform);
        copy.RemoveNeighbourhoodAdjustment(indexTransform, COORD_CircleType);
        QZ_ASSERT_TEXT(SearchData && SearchData->Transform && transform &&
                           SearchData->Transform->GetId() == transform->GetId(),
                       "this->SearchData->Transform->GetId() == transform->GetId()");
        coord_Polar polar;
        double slope = MATHS_Null;
        cogo_InversePolar(*station, copy, transform, &polar, &slope, coordsys_CogoSettings(jobIndex->CogoSettings));
        unturned = coord_Unturned(MATHS_Null, polar.HDist, polar.VDist);
        double azimuth = MATHS_Null;
        bool keyedIn = false;
        if (!maths_IsNull(polar.Azimuth) &&
            position_BacksightAzimuthOfNames(jobIndex, environment.Station.StationName,
                                             environment.BackBearing.BackSight, &azimuth, &keyedIn))
            unturned = position_PolarToUnturned(polar, c, azimuth);
    }
    unturned.HorzCircle = Azimuth(unturned.HorzCircle);
    position_UnturnedToCircle(unturned, circle, environment);
}
