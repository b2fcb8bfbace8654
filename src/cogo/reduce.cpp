#include "cogo/reduce.h"

#include <cmath>

#include "cogo/position_circle.h"
#include "foundation/environment.h"
#include "jobdb/dbaccess.h"
#include "records/coordsysdefs.h"
#include "records/laserecho.h"

namespace {

constexpr const char* kModule = "QZ/reduce";

// Coefficients at or above this choose the high refraction coefficient.
constexpr double kRefractionThreshold = 0.17;
// True vertical target heights closer than this are the same height.
constexpr double kSameHeight = 0.0001;

// The record of that class at the id; null for NODBID, a missing record or another type.
template <class Record>
const Record* RecordAt(dbAccess* access, DBID id) {
    if (access == nullptr || id == NODBID) return nullptr;
    return Record::Cast(access->GetRecord(id));
}

double Azimuth(double angle) { return coord_NormalisedAzimuth(&angle); }

}  // namespace

position_ReductionRecords::position_ReductionRecords(bool defaultNullHeights)
    : DefaultNullHeights(defaultNullHeights) {
    StationSetup.SetNull();
}

void position_ReductionRecords::Reset() {
    EarthRadius = MATHS_Null;
    Atmosphere.Pressure = Atmosphere.Temperature = Atmosphere.PPM = MATHS_Null;
    Atmosphere.ApplyCurvature = Atmosphere.ApplyRefraction = false;
    Atmosphere.RefractionCoefficient = REDUCE_RefractionLow;
    BackBearing.Station = "";
    BackBearing.BackSight = "";
    BackBearing.F1HorzCircle = BackBearing.F2HorzCircle = BackBearing.OrientationCorrectionStdError = MATHS_Null;
    Instrument.Type = 37;
    Instrument.RefractiveIndex = Instrument.CarrierWavelength = MATHS_Null;
    Station.StationName = "";
    Station.TheodoliteHeight.SetNull();
    Station.Instrument = Station.Atmosphere = NODBID;
    Station.NumberOfBacksightObservations = Station.NumberOfUniqueBacksights = 0;
    Station.ScaleFactor = 1.0;
    Station.ScaleFactorStdError = MATHS_Null;
    HasStationSetup = false;
    StationSetup.SetNull();
    Target.Target.TargetHeightData.SetNull();
    Target.Target.Prism.PrismConstant = MATHS_Null;
    Target.Target.Prism.PrismType = -1;
    Target.Target.RMTID = 0;
    Target.Target.CorvaneCheckTargetID = 0;
}

// ---------------------------------------------------------------- records

bool reduce_GetStationSetup(dbAccess* access, DBID station, DBID target, DBID backBearing,
                            position_ReductionRecords& environment) {
    return reduce_GetStation(access, station, environment) && reduce_GetTarget(access, target, environment) &&
           reduce_GetBackBearing(access, backBearing, environment);
}

bool reduce_GetStation(dbAccess* access, DBID stationId, position_ReductionRecords& environment) {
    if (stationId == NODBID) return false;
    environment.EarthRadius = REDUCE_EarthRadius;
    const db_TotalStation* station = RecordAt<db_TotalStation>(access, stationId);
    if (!station) return false;
    environment.Station = *station;
    environment.HasStationSetup = false;
    const db_TotalInstrument* instrument = RecordAt<db_TotalInstrument>(access, station->Instrument);
    if (!instrument) return false;
    environment.Instrument = *instrument;
    if (const db_TotalAtmosphere* atmosphere = RecordAt<db_TotalAtmosphere>(access, station->Atmosphere)) {
        environment.Atmosphere = *atmosphere;
    } else {
        db_TotalAtmosphere& a = environment.Atmosphere;
        a.Pressure = a.Temperature = a.PPM = MATHS_Null;
        a.ApplyCurvature = a.ApplyRefraction = false;
        a.RefractionCoefficient = REDUCE_RefractionLow;
    }
    return true;
}

bool reduce_GetTarget(dbAccess* access, DBID targetId, position_ReductionRecords& environment) {
    const db_Target* target = RecordAt<db_Target>(access, targetId);
    if (!target) return false;
    environment.Target = *target;
    return true;
}

bool reduce_GetBackBearing(dbAccess* access, DBID backBearingId, position_ReductionRecords& environment) {
    const db_TotalBackBearing* backBearing = RecordAt<db_TotalBackBearing>(access, backBearingId);
    if (!backBearing) return false;
    environment.BackBearing = *backBearing;
    return true;
}

bool reduce_GetStationSetupWithTarget(dbAccess* access, const db_Target& target,
                                      position_ReductionRecords& environment, DBID station, DBID backBearing) {
    const bool found =
        reduce_GetStation(access, station, environment) && reduce_GetBackBearing(access, backBearing, environment);
    environment.Target = target;
    return found;
}

bool reduce_GetCurrentStationSetup(dbAccess* access, const db_Target& target, position_ReductionRecords& environment) {
    if (access == nullptr) {
        environment.Target = target;
        return false;
    }
    const DBID station = access->GetLastIdOfType(DATABASE_StationRecord);
    const DBID backBearing = access->GetLastIdOfType(DATABASE_BackBearingRecord);
    return reduce_GetStationSetupWithTarget(access, target, environment, station, backBearing);
}

bool reduce_GetLaserSettings(dbAccess* access, DBID corrections, DBID laserHeight, DBID laserTargetHeight,
                             reduce_LaserSettings* settings) {
    QZ_ASSERT_TEXT(corrections != NODBID, "magneticDeclinationLocation != NODBID");
    QZ_ASSERT_TEXT(laserHeight != NODBID, "laserHeightLocation != NODBID");
    QZ_ASSERT_TEXT(laserTargetHeight != NODBID, "targetHeightLocation != NODBID");
    const db_Corrections* declination = RecordAt<db_Corrections>(access, corrections);
    const db_LaserHeight* laser = RecordAt<db_LaserHeight>(access, laserHeight);
    const db_LaserTargetHeight* target = RecordAt<db_LaserTargetHeight>(access, laserTargetHeight);
    if (!declination || !laser || !target || settings == nullptr) return false;
    settings->LaserHeight = laser->Height;
    settings->TargetHeight = target->Height;
    settings->MagneticDeclination = declination->Corrections.MagneticDeclination;
    settings->SouthAzimuth = declination->Corrections.SouthAzimuth;
    db_Corrections latest;
    if (latest.LoadLatest(access)) settings->SouthAzimuth = latest.Corrections.SouthAzimuth;
    return true;
}

bool reduce_TargetsEqual(dbAccess* access, DBID target1, DBID target2) {
    QZ_ASSERT_TEXT(target1 != NODBID, "target1Location != NODBID");
    QZ_ASSERT_TEXT(target2 != NODBID, "target2Location != NODBID");
    if (target1 == target2) return true;
    const db_Target* a = RecordAt<db_Target>(access, target1);
    const db_Target* b = RecordAt<db_Target>(access, target2);
    if (!a || !b) return false;
    const double ha = a->Target.TargetHeightData.TrueVerticalHeight();
    const double hb = b->Target.TargetHeightData.TrueVerticalHeight();
    return !maths_IsNull(ha) && !maths_IsNull(hb) && std::fabs(ha - hb) <= kSameHeight &&
           a->Target.Prism.IsEqual(b->Target.Prism) && a->Target.RMTID == b->Target.RMTID;
}

// ---------------------------------------------------------------- readings and offsets

double reduce_OffsetForPerspective(double offset, int perspective) {
    QZ_ASSERT_TEXT(perspective != REDUCE_OffsetAutomatic, "displayPerspective != DBCONFIG_OffsetAutomatic");
    if (perspective == REDUCE_OffsetFromTarget && !maths_IsNull(offset)) return -offset;
    return offset;
}

double reduce_OffsetForPerspective2(double offset, int perspective) {
    return reduce_OffsetForPerspective(offset, perspective);
}

namespace {

// The face-change rules on the four reading values; a null angle or face 0 is not
// written.
void ChangeFace(double horizontal, double zenith, int32_t face, double* outHorizontal, double* outZenith,
                int32_t* outFace) {
    if (!maths_IsNull(zenith)) *outZenith = Azimuth(CONSTANT_TwoPi - zenith);
    if (face != COORD_FaceNull) *outFace = face == COORD_Face2 ? COORD_Face1 : COORD_Face2;
    if (!maths_IsNull(horizontal)) *outHorizontal = Azimuth(horizontal + CONSTANT_Pi);
}

}  // namespace

void reduce_ChangeFace(const coord_Corrected& in, coord_Corrected* out) {
    ChangeFace(in.HorzCircle, in.VertCircle, in.Face, &out->HorzCircle, &out->VertCircle, &out->Face);
    out->SlopeDist = in.SlopeDist;
}

void reduce_ChangeFaceCircle(const coord_Circle& in, coord_Circle* out) {
    ChangeFace(in.HorzCircle, in.VertCircle, in.Face, &out->HorzCircle, &out->VertCircle, &out->Face);
    out->EDMDistance = in.EDMDistance;
    out->Flag = in.Flag;
    out->HorzCircleStdErr = in.HorzCircleStdErr;
    out->VertCircleStdErr = in.VertCircleStdErr;
    out->EDMDistanceStdErr = in.EDMDistanceStdErr;
    out->EDMMeasurementMode = in.EDMMeasurementMode;
}

void reduce_ApplyDistanceOffsets(const coord_Corrected& reading, int perspective, double leftRight, double inOut,
                                 double downUp, const position_ReductionRecords& environment, coord_Corrected* out) {
    out->SetNull();
    if (maths_IsNull(reading.VertCircle) || maths_IsNull(reading.SlopeDist)) return;
    if (maths_IsNull(leftRight) && maths_IsNull(inOut) && maths_IsNull(downUp)) return;
    // The offsets move the target itself: the sight is reduced without heights.
    position_ReductionRecords bare = environment;
    bare.Station.TheodoliteHeight.Clear();
    bare.Target.Target.TargetHeightData.Clear();
    coord_Unturned unturned;
    position_CorrectedToUnturned(reading, &unturned, bare);
    if (maths_IsNull(unturned.HDist)) return;
    double w = reduce_OffsetForPerspective(leftRight, perspective);
    if (maths_IsNull(w)) w = 0.0;
    const double q = maths_IsNull(inOut) ? unturned.HDist : unturned.HDist + inOut;
    coord_Unturned moved(unturned.HorzCircle, std::sqrt(w * w + q * q), unturned.VDist);
    // A target moved straight across the sight (q 0) still turns by the offset's
    // direction; only a target moved onto the station has no direction.
    const double turn = maths_ATan2(w, q);
    if (!maths_IsNull(turn) && !maths_IsNull(moved.HorzCircle)) moved.HorzCircle = Azimuth(moved.HorzCircle + turn);
    if (!maths_IsNull(downUp)) moved.VDist = maths_Add(moved.VDist, downUp);
    position_UnturnedToCorrected(moved, out, bare);
    if (q == 0.0) out->VertCircle = reading.VertCircle;
}

// ---------------------------------------------------------------- refraction settings

void total_RefractionFromCoefficient(double coefficient, bool* applyCurvature, bool* applyRefraction,
                                     double* coefficientOut) {
    const bool known = !maths_IsNull(coefficient);
    *applyCurvature = *applyRefraction = known;
    *coefficientOut = known && coefficient >= kRefractionThreshold ? REDUCE_RefractionHigh : REDUCE_RefractionLow;
}

double total_CoefficientFromRefraction(bool apply, bool applyRefraction, double coefficient) {
    if (!apply) return MATHS_Null;
    if (!applyRefraction || coefficient < kRefractionThreshold) return REDUCE_RefractionLow;
    return REDUCE_RefractionHigh;
}

bool total_IsFlagSet(uint8_t flag) { return flag != 0; }

bool total_IsOne(int32_t value) { return value == 1; }
