// The group readers of the job writer.
#include "import/writejob_groups.h"

#include "foundation/coords/coord.h"
#include "foundation/coords/coordsys.h"
#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "import/writejob.h"
#include "vocabulary/dbField.h"

namespace {

const xml_Element* Group(const xml_Element* element, writejob_ChildName groupName) {
    return element->FindChild(groupName.View());
}

// The group, or null with the value made wholly null when the element has none.
template <class Value>
const xml_Element* GroupOrNull(const xml_Element* element, writejob_ChildName groupName, Value& value) {
    const xml_Element* group = Group(element, groupName);
    if (!group) value.SetNull();
    return group;
}

double OptionalGroupDouble(const xml_Element* group, const char* name, double defaultValue) {
    const xml_Element* child = group->FindChild(name);
    return child ? writejob_TextToDouble(child->text) : defaultValue;
}

template <class Grid>
void ReadGridGroup(const xml_Element* element, writejob_ChildName groupName, Grid& value) {
    const xml_Element* group = Group(element, groupName);
    if (!group) {
        value.North = value.East = value.Elev = MATHS_Null;
        return;
    }
    value.North = OptionalGroupDouble(group, "North", MATHS_Null);
    value.East = OptionalGroupDouble(group, "East", MATHS_Null);
    value.Elev = OptionalGroupDouble(group, "Elev", MATHS_Null);
}

template <class Geodetic>
void ReadLatLongHeightGroup(const xml_Element* element, writejob_ChildName groupName, Geodetic& value) {
    const xml_Element* group = GroupOrNull(element, groupName, value);
    if (!group) return;
    value.Lat = writejob_GroupDouble(group, "Lat");
    value.Long = writejob_GroupDouble(group, "Long");
    value.Height = writejob_GroupDouble(group, "Height");
}

template <class EarthCentred>
void ReadXYZGroup(const xml_Element* element, writejob_ChildName groupName, EarthCentred& value) {
    const xml_Element* group = GroupOrNull(element, groupName, value);
    if (!group) return;
    value.X = writejob_GroupDouble(group, "X");
    value.Y = writejob_GroupDouble(group, "Y");
    value.Z = writejob_GroupDouble(group, "Z");
}

}  // namespace

double writejob_GroupDouble(const xml_Element* group, const char* name) {
    const xml_Element* child = group->FindChild(name);
    return child ? writejob_TextToDouble(child->text) : MATHS_Null;
}

void writejob_ReadPolar(const xml_Element* element, writejob_ChildName groupName, coord_Polar& value) {
    const xml_Element* group = GroupOrNull(element, groupName, value);
    if (!group) return;
    value.Azimuth = writejob_GroupDouble(group, "Azimuth");
    value.HDist = writejob_GroupDouble(group, "HDist");
    value.VDist = writejob_GroupDouble(group, "VDist");
}

void writejob_ReadCircle(const xml_Element* element, writejob_ChildName groupName, coord_Circle& value) {
    const xml_Element* group = Group(element, groupName);
    if (!group) return;
    value.HorzCircle = writejob_GroupDouble(group, "HorzCircle");
    value.VertCircle = writejob_GroupDouble(group, "VertCircle");
    value.EDMDistance = writejob_GroupDouble(group, "EDMDistance");
    value.Face = load_coord_Face(group, "Face");
    value.HorzCircleStdErr = writejob_GroupDouble(group, "HorzCircleStdErr");
    value.VertCircleStdErr = writejob_GroupDouble(group, "VertCircleStdErr");
    value.EDMDistanceStdErr = writejob_GroupDouble(group, "EDMDistanceStdErr");
    value.EDMMeasurementMode = load_optional_total_MeasurementMode(group, "EDMMeasurementMode", 6);
}

void writejob_ReadGrid(const xml_Element* element, writejob_ChildName groupName, coord_CorrectedGrid& value) {
    ReadGridGroup(element, groupName, value);
}

void writejob_ReadGrid(const xml_Element* element, writejob_ChildName groupName,
                       coord_LocalTransformedGrid& value) {
    ReadGridGroup(element, groupName, value);
}

void writejob_ReadLatLongHeight(const xml_Element* element, writejob_ChildName groupName, coord_Local& value) {
    ReadLatLongHeightGroup(element, groupName, value);
}

void writejob_ReadLatLongHeight(const xml_Element* element, writejob_ChildName groupName, coord_WGS84& value) {
    ReadLatLongHeightGroup(element, groupName, value);
}

void writejob_ReadXYZ(const xml_Element* element, writejob_ChildName groupName, coord_ECEF& value) {
    ReadXYZGroup(element, groupName, value);
}

void writejob_ReadXYZ(const xml_Element* element, writejob_ChildName groupName, coord_ECEFGround& value) {
    ReadXYZGroup(element, groupName, value);
}

void writejob_ReadGridDeltas(const xml_Element* element, writejob_ChildName groupName, coord_GridDeltas& value) {
    const xml_Element* group = GroupOrNull(element, groupName, value);
    if (!group) return;
    value.dNorth = writejob_GroupDouble(group, "dNorth");
    value.dEast = writejob_GroupDouble(group, "dEast");
    value.dElev = writejob_GroupDouble(group, "dElev");
}

void writejob_ReadCorrected(const xml_Element* element, writejob_ChildName groupName, coord_Corrected& value) {
    const xml_Element* group = GroupOrNull(element, groupName, value);
    if (!group) return;
    value.HorzCircle = writejob_GroupDouble(group, "HorzCircle");
    value.VertCircle = writejob_GroupDouble(group, "VertCircle");
    value.SlopeDist = writejob_GroupDouble(group, "SlopeDist");
    value.Face = load_optional_coord_Face(group, "Face", COORD_FaceNull);
}

void writejob_ReadGroundScale(const xml_Element* element, writejob_ChildName groupName,
                              coordsys_GroundPart& value) {
    const xml_Element* group = Group(element, groupName);
    if (!group) {
        // The kind has no null; it stays as it was.
        value.Factor = MATHS_Null;
        value.ProjectLocation.SetNull();
        value.NorthingOffset = value.EastingOffset = MATHS_Null;
        value.NorthingDelta = value.EastingDelta = MATHS_Null;
        return;
    }
    value.Type = load_coordsys_GroundScaleFactorType(group, "Type");
    value.Factor = writejob_GroupDouble(group, "Factor");
    writejob_ReadLatLongHeight(group, "ProjectLocation", value.ProjectLocation);
    value.NorthingOffset = writejob_GroupDouble(group, "NorthingOffset");
    value.EastingOffset = writejob_GroupDouble(group, "EastingOffset");
    value.NorthingDelta = writejob_GroupDouble(group, "NorthingDelta");
    value.EastingDelta = writejob_GroupDouble(group, "EastingDelta");
}

void writejob_ReadMTA(const xml_Element* element, writejob_ChildName groupName, coord_MTA& value) {
    const xml_Element* group = GroupOrNull(element, groupName, value);
    if (!group) return;
    value.HorzCircle = writejob_GroupDouble(group, "HorzCircle");
    value.VertCircle = writejob_GroupDouble(group, "VertCircle");
    value.EDMDistance = writejob_GroupDouble(group, "EDMDistance");
    value.HorzCircleStdErr = writejob_GroupDouble(group, "HorzCircleStdErr");
    value.VertCircleStdErr = writejob_GroupDouble(group, "VertCircleStdErr");
    value.EDMDistanceStdErr = writejob_GroupDouble(group, "EDMDistanceStdErr");
    value.NumberOfHAngles = writejob_ReadInt(group, "NumberOfHAngles");
    value.NumberOfVAngles = writejob_ReadInt(group, "NumberOfVAngles");
    value.NumberOfDistances = writejob_ReadInt(group, "NumberOfDistances");
}

const xml_Element* writejob_FindCountedRun(const xml_Element* element, const char* name, int32_t count,
                                           const char* shortage) {
    const xml_Element* first = element->FindChild(name);
    int32_t present = 0;
    for (const xml_Element* entry = first; entry && present < count; entry = entry->nextSibling) ++present;
    if (present < count) throw Str(shortage);
    return first;
}
