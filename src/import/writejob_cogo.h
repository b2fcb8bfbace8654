// The coordinate geometry record elements: lines, arcs, inverses, computed azimuths and
// distances, ellipsoids and keyed-in points.
//
//   "DATABASE_EllipsoidRecord"        db_Ellipsoid (32)
//   "DATABASE_LineRecord"             db_Line (3), then the open entity
//   "DATABASE_ArcRecord"              db_Arc (4), then the open entity
//   "DATABASE_InverseRecord"          db_Inverse (5); older exports' azimuth and distance
//                                     computations as db_ComputeAzimuth (6) and
//                                     db_ComputeDistance (7), all with rec "db_Inverse"
//   "DATABASE_ComputeAzimuthRecord"   db_ComputeAzimuth (6)
//   "DATABASE_ComputeDistanceRecord"  db_ComputeDistance (7)
//   "DATABASE_PointKeyinRecord"       db_PointKeyin (85)
//
// The readers below fill a record from its element (notes and children, in the
// element's field order, so the first bad child decides the message); the handlers add
// the "rec" check and the store. Values are taken as written: radians and metres.
// A required group that is absent leaves its values null and the element converts.
#pragma once

#include "foundation/text/str.h"

class xml_Element;
class coordsys_Ellipsoid;
struct db_InverseResult;
class db_Ellipsoid;
class db_Line;
class db_Arc;
class db_Inverse;
class db_ComputeAzimuth;
class db_ComputeDistance;
class db_PointKeyin;

// The deleted flag of an entity: "Deleted" as a bool when it has text, else the
// deleted state of the older classification name in "Classification" (an unknown name
// throws).
bool writejob_ReadDeleted(const xml_Element* element);

// "EarthRadius" (semi-major axis) and "Flattening"; without the group both null.
void writejob_ReadEllipsoid(const xml_Element* element, const Str& groupName, coordsys_Ellipsoid& value);
// "SourcePoint", "CreatedView" and the "Polar" group; without the group the result is
// as constructed: no source point, no view, a null polar.
void writejob_ReadInverseResult(const xml_Element* element, const Str& groupName, db_InverseResult& value);

// Which record an inverse element becomes. Only main-product exports before 1100
// (olderLayouts) wrote azimuth and distance computations as inverses, marked by
// "InverseType".
enum writejob_InverseLayout { WRITEJOB_Inverse, WRITEJOB_InverseAsComputeAzimuth, WRITEJOB_InverseAsComputeDistance };
writejob_InverseLayout writejob_GetInverseLayout(const xml_Element* element, bool olderLayouts);

// Element readers: notes and children into a constructed record. The handlers decide
// the version-dependent child names.
void writejob_ReadEllipsoidRecord(const xml_Element* element, db_Ellipsoid& record);
// bearingNames: "BearingLength", "BearingAzimuth", "BearingGrade" (from 1100 / 500)
// instead of "Length", "Azimuth", "Grade".
void writejob_ReadLineRecord(const xml_Element* element, bool bearingNames, db_Line& record);
// numberedPoints: "Point1", "Point2", "Point3" (from 1240 / 600) instead of
// "StartPoint", "EndPoint", "CenterPoint".
void writejob_ReadArcRecord(const xml_Element* element, bool numberedPoints, db_Arc& record);
void writejob_ReadInverseRecord(const xml_Element* element, db_Inverse& record);
// The older layouts read no notes.
void writejob_ReadInverseAsComputeAzimuth(const xml_Element* element, db_ComputeAzimuth& record);
void writejob_ReadInverseAsComputeDistance(const xml_Element* element, db_ComputeDistance& record);
void writejob_ReadComputeAzimuthRecord(const xml_Element* element, db_ComputeAzimuth& record);
void writejob_ReadComputeDistanceRecord(const xml_Element* element, db_ComputeDistance& record);
void writejob_ReadPointKeyinRecord(const xml_Element* element, db_PointKeyin& record);

