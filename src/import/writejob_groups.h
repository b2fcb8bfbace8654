// Group readers: a record element carries some values (a coordinate, an observation, a
// ground-scale definition) as one child whose own children hold the components. Each
// reader takes the element, the name of the group child (which differs per element:
// "Grid", "OriginGrid", "Residual", ...) and the value to fill in place.
//
// The group is the element's first child of that name, each component the group's
// first child of its name; others are ignored. Values are taken as written: radians and
// metres, no unit conversion, no normalising, no range checks. A double component that
// is absent or empty reads as MATHS_Null.
//
// A required group that is absent leaves the value wholly null and the element
// converts; a circle reading keeps what it held. A required vocabulary component
// ("Face" of a circle, "Type" of a ground scale) that is absent or unknown throws the
// loader's message.
#pragma once

#include <cstdint>

#include "foundation/text/str.h"
#include "import/writejob_childname.h"

class xml_Element;
class coord_Polar;
class coord_Circle;
class coord_CorrectedGrid;
class coord_LocalTransformedGrid;
class coord_Local;
class coord_WGS84;
class coord_ECEF;
class coord_ECEFGround;
class coord_GridDeltas;
class coord_Corrected;
class coordsys_GroundPart;

// "Azimuth", "HDist", "VDist".
void writejob_ReadPolar(const xml_Element* element, writejob_ChildName groupName, coord_Polar& value);
// "HorzCircle", "VertCircle", "EDMDistance", "Face" (required), the three standard errors
// "HorzCircleStdErr", "VertCircleStdErr", "EDMDistanceStdErr", then "EDMMeasurementMode"
// (6 when absent). Without the group nothing is read and the value keeps what it held.
void writejob_ReadCircle(const xml_Element* element, writejob_ChildName groupName, coord_Circle& value);
// "North", "East", "Elev", each null when absent or empty; without the group all null.
void writejob_ReadGrid(const xml_Element* element, writejob_ChildName groupName, coord_CorrectedGrid& value);
void writejob_ReadGrid(const xml_Element* element, writejob_ChildName groupName,
                       coord_LocalTransformedGrid& value);
// "Lat", "Long", "Height".
void writejob_ReadLatLongHeight(const xml_Element* element, writejob_ChildName groupName, coord_Local& value);
void writejob_ReadLatLongHeight(const xml_Element* element, writejob_ChildName groupName, coord_WGS84& value);
// "X", "Y", "Z".
void writejob_ReadXYZ(const xml_Element* element, writejob_ChildName groupName, coord_ECEF& value);
void writejob_ReadXYZ(const xml_Element* element, writejob_ChildName groupName, coord_ECEFGround& value);
// "dNorth", "dEast", "dElev"; without the group all null.
void writejob_ReadGridDeltas(const xml_Element* element, writejob_ChildName groupName, coord_GridDeltas& value);
// "HorzCircle", "VertCircle", "SlopeDist", then "Face" (0 when absent).
void writejob_ReadCorrected(const xml_Element* element, writejob_ChildName groupName, coord_Corrected& value);
// "Type" (required), "Factor", the "ProjectLocation" group ("Lat", "Long", "Height"), then
// "NorthingOffset", "EastingOffset", "NorthingDelta", "EastingDelta". Without the group
// every number is null and the kind is kept.
void writejob_ReadGroundScale(const xml_Element* element, writejob_ChildName groupName,
                              coordsys_GroundPart& value);

// A group's double component: MATHS_Null when the component is absent or empty. The same
// rule as writejob_ReadDouble, without copying the text.
double writejob_GroupDouble(const xml_Element* group, const char* name);

class coord_MTA;
class FeatureArray;
class Feature;

// The mean turned angle group: "HorzCircle", "VertCircle", "EDMDistance",
// "HorzCircleStdErr", "VertCircleStdErr", "EDMDistanceStdErr" doubles, then
// "NumberOfHAngles", "NumberOfVAngles", "NumberOfDistances" integers (0 when absent or
// empty). Without the group the value is null.
void writejob_ReadMTA(const xml_Element* element, writejob_ChildName groupName, coord_MTA& value);
// The older distance offset: "Distance" (0 when absent), negated (null stays null) when
// the direction is "DBTYPE_Left" or "DBTYPE_In".
double writejob_ReadSignedDistance(const xml_Element* element, const Str& direction);
// The first feature whose code equals code (ASCII case ignored); a new feature of that
// code, appended, when there is none.
Feature& writejob_FindOrAddFeature(FeatureArray& array, const Str& code);

// A counted run of entries: the element's first child named name and the siblings after
// it, whatever their names. The first of the run; throws shortage when fewer than count
// elements are there, so a count from the export sizes nothing by itself. Call it with a
// count above 0.
const xml_Element* writejob_FindCountedRun(const xml_Element* element, const char* name, int32_t count,
                                           const char* shortage);
