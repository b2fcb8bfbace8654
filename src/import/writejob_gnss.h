// The GNSS record elements: quality, equipment, antenna, survey styles, events,
// continuous parameters, initialisations, references, post-processing logs, the radio
// links and the NTRIP correction source.
//
//   "DATABASE_QC1Record"              db_QC1 (28)
//   "DATABASE_QC2Record"              db_QC2 (29)
//   "DATABASE_QC3Record"              db_QC3 (30)
//   "DATABASE_EquipmentRecord"        db_Equipment (41)
//   "DATABASE_AntennaRecord"          db_Antenna (42), its equipment a reference
//   "DATABASE_RoverSurveyRecord"      db_RoverSurvey (43)
//   "DATABASE_BaseSurveyRecord"       db_BaseSurvey (44)
//   "DATABASE_SurveyEventRecord"      db_SurveyEvent (45)
//   "DATABASE_ContParametersRecord"   db_ContParameters (46)
//   "DATABASE_RoverRadioRecord"       db_RoverRadio (54)
//   "DATABASE_BaseRadioRecord"        db_BaseRadio (55)
//   "DATABASE_InitialisationRecord"   db_Initialisation (63)
//   "DATABASE_ReferenceRecord"        db_Reference (64), its antenna a reference
//   "DATABASE_PostProcessRecord"      db_PostProcess (65), previous record and antenna
//                                     references
//   "DATABASE_NTRIPDataSourceRecord"  db_NTRIPDataSource (143), without notes
//
// Counts, channels and GNSS weeks read as integers go into 16-bit fields by their low
// 16 bits. A baud rate or channel child that is absent reads 0, not the record's
// default. A required group that is absent reads as if each of its components were:
// numbers null or their stated default, a vocabulary value without a default keeps
// the record's; the element converts.
#pragma once

#include "import/writejob.h"

struct db_GPSTime;
struct db_ContParams;
class db_Survey;

// "Week" (int or hex, low 16 bits) and "Time" (double).
void writejob_ReadGPSTime(const xml_Element* element, writejob_ChildName groupName, db_GPSTime& value);
// "Method", "TriggerDistance", "Interval", "StopTime" (1.0 when absent), "ContMethod",
// "LeftHorz", "LeftVert", "RightHorz", "RightVert", "EchoLatency" (null when absent).
void writejob_ReadContParameters(const xml_Element* element, writejob_ChildName groupName, db_ContParams& value);
// The notes and the 33 children of a rover or base survey style.
void writejob_ReadSurveyStyle(db_Survey& record, const xml_Element* element);
