// The station set-up and traverse record elements: stationing, the residuals and
// errors of a resection or station set-up, and a traverse's header, closure and
// adjustment settings. Each element becomes one record; none opens an entity.
//
//   "DATABASE_StationingRecord"            db_Stationing (87)
//   "DATABASE_ResectResidualRecord"        db_StationSetupResiduals (111), rec
//                                          "db_ResectResiduals"
//   "DATABASE_StationSetupResidualRecord"  db_StationSetupResiduals (111)
//   "DATABASE_ResectErrorsRecord"          db_ResectErrors (112)
//   "DATABASE_TraverseHeaderRecord"        db_Traverse (113)
//   "DATABASE_TraverseClosureRecord"       db_TraverseClosure (114)
//   "DATABASE_TraverseAdjustmentRecord"    db_TraverseAdjustment (115)
//
// The readers fill a record's fields from its element (in the element's field order,
// so the first bad child decides the message); the handlers add the notes before them
// and the "rec" check and the store after. An absent coordinate group ("AngleResidual", a leg's
// "Polar") leaves its values null and the element converts.
#pragma once

#include "foundation/text/str.h"

class xml_Element;
class dbrecord_TraverseLegs;
class db_Stationing;
class db_StationSetupResiduals;
class db_ResectErrors;
class db_Traverse;
class db_TraverseClosure;
class db_TraverseAdjustment;

// Appends the legs of the named group: its run of "Leg" children from the first one
// to the first sibling of another name, each "FromPt", "ToPt" and the "Polar" group.
// Without the group nothing is added.
void writejob_ReadTraverseLegs(const xml_Element* element, const Str& groupName, dbrecord_TraverseLegs& legs);

void writejob_ReadStationingRecord(const xml_Element* element, db_Stationing& record);
// Both residual elements fill the same record.
void writejob_ReadStationSetupResidualsRecord(const xml_Element* element, db_StationSetupResiduals& record);
void writejob_ReadResectErrorsRecord(const xml_Element* element, db_ResectErrors& record);
void writejob_ReadTraverseRecord(const xml_Element* element, db_Traverse& record);
void writejob_ReadTraverseClosureRecord(const xml_Element* element, db_TraverseClosure& record);
void writejob_ReadTraverseAdjustmentRecord(const xml_Element* element, db_TraverseAdjustment& record);
