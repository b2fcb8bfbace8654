// The job settings elements: settings and job-level results, one record each.
//
//   "DATABASE_PrecisionRecord"               db_Precision (31)
//   "DATABASE_CodingRecord"                  db_Coding (50)
//   "DATABASE_DescriptionsDefinitionRecord"  db_DescriptionsDefinition (51)
//   "DATABASE_MeterologicalRecord"           db_Meterological (62)
//   "DATABASE_ConfigCalibRecord"             db_ConfigCalib (76)
//   "DATABASE_CalibPointRecord"              db_CalibPoint (40)
//   "DATABASE_AreaRecord"                    db_Area (77); its boundary from 1240 / 600
//   "DATABASE_SubdividedAreaRecord"          db_SubdividedArea (78)
//   "DATABASE_CoordSystemRecord"             db_CoordSystem (81); the zone as
//                                            "ZoneSiteName" from 1130 / 500, else
//                                            "ZoneName"
//   "DATABASE_CoordSysControlRecord"         db_CoordSystemControl (79)
//   "DATABASE_TimeStampRecord"               db_Note (1) with a text made from the
//                                            element, or nothing (rec "db_TimeStamp")
//
// The groups "PointName", "Residuals" and "GroundScale" are in every export; one that
// lacks them converts with the group's doubles null and its other members at the
// record's defaults. None of these records refers to another.
#pragma once

#include <cstdint>

#include "import/writejob.h"

class xml_Element;
struct db_CalibPointName;
class dbrecord_CalibResiduals;
class AreaElementArray;
class AreaLineElement;
class AreaArcElement;
class AreaPointElement;

// "Method", "Constant" (a double truncated toward zero; absent or empty gives 0, a
// value without a 32-bit integer is reported and gives 0), "Prefix", "Suffix".
void writejob_ReadCalibPointName(const xml_Element* element, writejob_ChildName childName,
                                 db_CalibPointName& target);
// "OneD", "TwoD", "ThreeD", "North", "East", "Elev", "DeltaNorth", "DeltaEast",
// "DeltaElev".
void writejob_ReadCalibResiduals(const xml_Element* element, writejob_ChildName childName,
                                 dbrecord_CalibResiduals& target);
// The boundary elements of the group child: child i (counted over all children,
// whatever their names) for i below count becomes a line ("Line") or an arc ("Arc");
// a child of another name adds nothing. The entries hold exactly the elements read:
// never more than the group's children, none for a count of 0 or less or without the
// group. The count comes from the export and asks for nothing by itself.
void writejob_ReadAreaElements(const xml_Element* element, writejob_ChildName groupName,
                               AreaElementArray& entries, int32_t count);
// "Name", then the points "Start" and "End".
void writejob_ReadAreaLine(const xml_Element* child, AreaLineElement& target);
// "Name", the points "Start", "End" and "Centre", "ScribedAngle", "Clockwise".
void writejob_ReadAreaArc(const xml_Element* child, AreaArcElement& target);
// "Name", "North", "East", "Elev" under the named child; without it the point keeps
// what it holds.
void writejob_ReadAreaPoint(const xml_Element* parent, writejob_ChildName childName, AreaPointElement& target);

// The text of a time-stamp note for a TimeDerivation code, the time read from "Time"
// where the code wants one; empty for the codes that store nothing (DBQZ_System and
// codes outside the vocabulary). A time that cannot be shown leaves the word alone.
Str writejob_TimeStampText(int32_t derivation, double time);
