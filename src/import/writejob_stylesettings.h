// The units and survey style settings elements, and polar deltas.
//
//   "DATABASE_UnitsRecord"           db_Units (47); before 1240 / 600 also a
//                                    db_CoordViewType (48) from "CoordType", stored on
//                                    the same element after the units passed their "rec"
//   "DATABASE_CoordViewTypeRecord"   db_CoordViewType (48)
//   "DATABASE_TrackingRecord"        db_Tracking (49)
//   "DATABASE_GPSReadingRecord"      db_GPSReading (52)
//   "DATABASE_TSReadingRecord"       db_TSReading (53)
//   "DATABASE_L2OTFTimesRecord" ... "DATABASE_NewPtTimesRecord"
//                                    the six occupation-time records, group "times"
//   "DATABASE_ToleranceRecord"       db_Tolerance (61)
//   "DATABASE_ContPointsRecord"      db_ContinuousPoints (67)
//   "DATABASE_FastStaticRecord"      db_FastStatic (68)
//   "DATABASE_ConfigStakeOutRecord"  db_StakeOut (69); the four deltas children from
//                                    main version 1245, else "GPSDeltas" and "TSDeltas"
//   "DATABASE_CheckShotRecord"       db_CheckShot (70)
//   "DATABASE_QuickMarkRecord"       db_QuickMark (71)
//   "DATABASE_RTKContRecord"         db_RTKControl (72)
//   "DATABASE_PolarDeltasRecord"     db_PolarDeltas (86)
//
// A group ("times", "L1Times", "L1L2Times", "PPTimes", "Tolerance", "Polar") that is
// absent reads as if each of its components were: numbers null, the flag at the
// record's value; the element converts.
#pragma once

#include "import/writejob.h"

class db_InitTimes;
struct db_StakeTolerance;

// "RequireL2" (bool), "TimeFor4SVs", "TimeFor5SVs", "TimeFor6SVs" (double each).
void writejob_ReadInitTimes(const xml_Element* element, writejob_ChildName groupName, db_InitTimes& value);
// "HDist", "VDist", "HorzAngle", "VertAngle", "SlopeDistance" (double each).
void writejob_ReadStakeTolerance(const xml_Element* element, writejob_ChildName groupName,
                                 db_StakeTolerance& value);
