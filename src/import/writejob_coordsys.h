// The coordinate-system definition elements: one record per stage of the job's
// coordinate transform, each carrying its body as one group child.
//
//   "DATABASE_DatumRecord"        db_Datum (33),       group "Datum"
//   "DATABASE_ProjectionRecord"   db_Projection (34),  group "Projection"
//   "DATABASE_PlaneRecord"        db_Plane (35),       group "Plane"
//   "DATABASE_HeightRecord"       db_Height (36),      group "Height"
//   "DATABASE_CorrectionsRecord"  db_Corrections (37), group "Corrections"; once
//                                 stored, its body goes to the road-set cache
//
// The first four read a "Derivation" code before the body. Inside a group every
// member is the group's first child of its name; values are taken as written.
// Exports always carry the group; one that lacks it converts with the body's doubles
// null and its other members at the record's defaults.
#pragma once

#include "import/writejob.h"

class xml_Element;
class coordsys_Datum;
class coordsys_Projection;
class coordsys_Plane;
class coordsys_Height;

void writejob_ReadDatum(const xml_Element* element, writejob_ChildName groupName, coordsys_Datum& body);
void writejob_ReadProjection(const xml_Element* element, writejob_ChildName groupName, coordsys_Projection& body);
void writejob_ReadPlane(const xml_Element* element, writejob_ChildName groupName, coordsys_Plane& body);
void writejob_ReadHeight(const xml_Element* element, writejob_ChildName groupName, coordsys_Height& body);
// The ten members, then the presence mask set to all ten (1023) whatever the
// element carried.
void writejob_ReadCorrections(const xml_Element* element, writejob_ChildName groupName,
                              coordsys_Corrections& body);
