// The station environment of a total-station reading: the job records a reduction
// needs (atmosphere, back bearing, instrument, station, target), gathered from the job
// with the defaults that stand in for missing ones, and the laser settings of a laser
// offset. Also the face change of a reading, the sign of an offset by display
// perspective and the reading equivalent to a distance-offset observation.
#pragma once

#include <cstdint>

#include "foundation/coords/coord.h"
#include "records/conventional.h"
#include "records/dbid.h"

class dbAccess;

// The earth radius of the curvature and refraction correction, in metres.
inline constexpr double REDUCE_EarthRadius = 6378137.298;
// The refraction coefficients a job can choose from.
inline constexpr double REDUCE_RefractionLow = 0.142;
inline constexpr double REDUCE_RefractionHigh = 0.2;

// Offset perspectives (dbconfig_OffsetPerspectiveMode).
inline constexpr int REDUCE_OffsetAutomatic = 0;
inline constexpr int REDUCE_OffsetFromInstrument = 1;
inline constexpr int REDUCE_OffsetFromTarget = 2;

class position_ReductionRecords {
public:
    // The records at their defaults and no station setup; with the flag, null
    // instrument and target heights count as 0.
    explicit position_ReductionRecords(bool defaultNullHeights = false);
    position_ReductionRecords(const position_ReductionRecords&) = default;
    position_ReductionRecords& operator=(const position_ReductionRecords&) = default;

    // Everything that describes the setup back to null, heights null, scale 1.
    void Reset();

    double EarthRadius = REDUCE_EarthRadius;
    db_TotalAtmosphere Atmosphere;
    db_TotalBackBearing BackBearing;
    db_TotalInstrument Instrument;
    db_TotalStation Station;
    db_Target Target;
    // StationSetup is given by the caller, not taken from the job.
    bool HasStationSetup = false;
    coord_StationSetupData StationSetup;
    bool DefaultNullHeights = false;
};

struct reduce_LaserSettings {
    double LaserHeight = MATHS_Null;
    double TargetHeight = MATHS_Null;
    double MagneticDeclination = MATHS_Null;
    bool SouthAzimuth = false;
};

// Each reads the record(s) at the id(s) into the environment; false when a record is
// missing or of another type (what was read before stays).
bool reduce_GetStationSetup(dbAccess* access, DBID station, DBID target, DBID backBearing,
                            position_ReductionRecords& environment);
// The station with its instrument and atmosphere; without an atmosphere record the
// atmosphere is unknown and neither curvature nor refraction applies.
bool reduce_GetStation(dbAccess* access, DBID station, position_ReductionRecords& environment);
bool reduce_GetTarget(dbAccess* access, DBID target, position_ReductionRecords& environment);
bool reduce_GetBackBearing(dbAccess* access, DBID backBearing, position_ReductionRecords& environment);
// The job's newest station and back bearing with the given target, which is taken
// whatever the answer.
bool reduce_GetCurrentStationSetup(dbAccess* access, const db_Target& target, position_ReductionRecords& environment);
bool reduce_GetStationSetupWithTarget(dbAccess* access, const db_Target& target,
                                      position_ReductionRecords& environment, DBID station, DBID backBearing);
// The south-azimuth flag is the job's newest corrections' when it has one.
bool reduce_GetLaserSettings(dbAccess* access, DBID corrections, DBID laserHeight, DBID laserTargetHeight,
                             reduce_LaserSettings* settings);
// The same target: true vertical heights within 0.0001 m, equal prisms and RMT ids.
bool reduce_TargetsEqual(dbAccess* access, DBID target1, DBID target2);

// An offset as the display shows it: negated when seen from the target.
double reduce_OffsetForPerspective(double offset, int perspective);
double reduce_OffsetForPerspective2(double offset, int perspective);

// The same sight on the other face. A null angle or face 0 of the input is not written.
void reduce_ChangeFace(const coord_Corrected& in, coord_Corrected* out);
void reduce_ChangeFaceCircle(const coord_Circle& in, coord_Circle* out);

// The reading to the point that the offsets (left/right, in/out, down/up, each may be
// null) move the reading's target to; null when the reading has no zenith or distance
// or every offset is null.
void reduce_ApplyDistanceOffsets(const coord_Corrected& reading, int perspective, double leftRight, double inOut,
                                 double downUp, const position_ReductionRecords& environment, coord_Corrected* out);

// The job's curvature and refraction flags from a refraction coefficient, and back.
void total_RefractionFromCoefficient(double coefficient, bool* applyCurvature, bool* applyRefraction,
                                     double* coefficientOut);
double total_CoefficientFromRefraction(bool apply, bool applyRefraction, double coefficient);
// A byte flag as a bool: set when it is not 0.
bool total_IsFlagSet(uint8_t flag);
// An int setting as a bool: set only when it is 1.
bool total_IsOne(int32_t value);
