// The coordinate-system definition elements (see writejob_coordsys.h).
#include "import/writejob_coordsys.h"

#include "foundation/coords/coordsys.h"
#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "import/writejob_groups.h"
#include "import/writejob_handler.h"
#include "records/coordsysdefs.h"
#include "vocabulary/dbField.h"

namespace {

// Names of the nested groups, made once: the group readers take them as Str.
const Str& OriginLocalName() {
    static const Str name("OriginLocal");
    return name;
}
const Str& OriginGridName() {
    static const Str name("OriginGrid");
    return name;
}
const Str& GroundScaleName() {
    static const Str name("GroundScale");
    return name;
}

}  // namespace

void writejob_ReadDatum(const xml_Element* element, writejob_ChildName groupName, coordsys_Datum& body) {
    const xml_Element* group = element->FindChild(groupName.View());
    if (!group) {
        body.RotationX = body.RotationY = body.RotationZ = MATHS_Null;
        body.TranslationX = body.TranslationY = body.TranslationZ = MATHS_Null;
        body.Scale = MATHS_Null;
        return;
    }
    body.DatumType = load_coordsys_DatumType(group, "DatumType");
    body.RotationX = writejob_ReadDouble(group, "RotationX");
    body.RotationY = writejob_ReadDouble(group, "RotationY");
    body.RotationZ = writejob_ReadDouble(group, "RotationZ");
    body.TranslationX = writejob_ReadDouble(group, "TranslationX");
    body.TranslationY = writejob_ReadDouble(group, "TranslationY");
    body.TranslationZ = writejob_ReadDouble(group, "TranslationZ");
    body.Scale = writejob_ReadDouble(group, "Scale");
    body.GridName = writejob_ReadString(group, "GridName");
}

void writejob_ReadProjection(const xml_Element* element, writejob_ChildName groupName, coordsys_Projection& body) {
    const xml_Element* group = element->FindChild(groupName.View());
    if (!group) {
        body.OriginLocal.SetNull();
        body.OriginGrid.North = body.OriginGrid.East = body.OriginGrid.Elev = MATHS_Null;
        body.Scale = body.Orientation1 = body.Orientation2 = MATHS_Null;
        coordsys_GroundPart& ground = body.GroundScale;
        ground.Factor = MATHS_Null;
        ground.ProjectLocation.SetNull();
        ground.NorthingOffset = ground.EastingOffset = ground.NorthingDelta = ground.EastingDelta = MATHS_Null;
        return;
    }
    body.ProjectionType = load_coordsys_ProjectionType(group, "ProjectionType");
    writejob_ReadLatLongHeight(group, OriginLocalName(), body.OriginLocal);
    writejob_ReadGrid(group, OriginGridName(), body.OriginGrid);
    body.Scale = writejob_ReadDouble(group, "Scale");
    body.GridElevation = load_coordsys_GridElevation(group, "GridElevation");
    body.Orientation1 = writejob_ReadDouble(group, "Orientation1");
    body.Orientation2 = writejob_ReadDouble(group, "Orientation2");
    body.AzimuthFormat = load_coordsys_AzimuthFormat(group, "AzimuthFormat");
    body.OriginCenter = load_coordsys_OriginCenter(group, "OriginCenter");
    body.Rectify = writejob_ReadBool(group, "Rectify");
    body.Area = load_coordsys_ProjectionArea(group, "Area");
    body.UKNorthGridFile = writejob_ReadString(group, "UKNorthGridFile");
    body.UKEastGridFile = writejob_ReadString(group, "UKEastGridFile");
    body.ProjectionGridFile = writejob_ReadString(group, "ProjectionGridFile");
    body.ShiftGridFile = writejob_ReadString(group, "ShiftGridFile");
    writejob_ReadGroundScale(group, GroundScaleName(), body.GroundScale);
}

void writejob_ReadPlane(const xml_Element* element, writejob_ChildName groupName, coordsys_Plane& body) {
    const xml_Element* group = element->FindChild(groupName.View());
    if (!group) {
        body.OriginNorth = body.OriginEast = MATHS_Null;
        body.TranslationNorth = body.TranslationEast = MATHS_Null;
        body.Rotation = body.ScaleFactor = MATHS_Null;
        return;
    }
    body.PlaneType = load_coordsys_PlaneType(group, "PlaneType");
    body.OriginNorth = writejob_ReadDouble(group, "OriginNorth");
    body.OriginEast = writejob_ReadDouble(group, "OriginEast");
    body.TranslationNorth = writejob_ReadDouble(group, "TranslationNorth");
    body.TranslationEast = writejob_ReadDouble(group, "TranslationEast");
    body.Rotation = writejob_ReadDouble(group, "Rotation");
    body.ScaleFactor = writejob_ReadDouble(group, "ScaleFactor");
}

void writejob_ReadHeight(const xml_Element* element, writejob_ChildName groupName, coordsys_Height& body) {
    const xml_Element* group = element->FindChild(groupName.View());
    if (!group) {
        body.OriginNorth = body.OriginEast = MATHS_Null;
        body.NorthAdjustment = body.EastAdjustment = body.ElevAdjustment = MATHS_Null;
        return;
    }
    body.HeightType = load_coordsys_HeightType(group, "HeightType");
    body.OriginNorth = writejob_ReadDouble(group, "OriginNorth");
    body.OriginEast = writejob_ReadDouble(group, "OriginEast");
    body.NorthAdjustment = writejob_ReadDouble(group, "NorthAdjustment");
    body.EastAdjustment = writejob_ReadDouble(group, "EastAdjustment");
    body.ElevAdjustment = writejob_ReadDouble(group, "ElevAdjustment");
    body.GeoidFilename = writejob_ReadString(group, "GeoidFilename");
}

void writejob_ReadCorrections(const xml_Element* element, writejob_ChildName groupName,
                              coordsys_Corrections& body) {
    if (const xml_Element* group = element->FindChild(groupName.View())) {
        body.SouthAzimuth = writejob_ReadBool(group, "SouthAzimuth");
        body.GridOrientation = load_coordsys_GridOrientation(group, "GridOrientation");
        body.MagneticDeclination = writejob_ReadDouble(group, "MagneticDeclination");
        body.Distances = load_coordsys_CogoDistance(group, "Distances");
        body.SubDivideCode = load_coordsys_SubdivideCode(group, "SubDivideCode");
        body.NeighbourhoodAdjustment = writejob_ReadOptionalBool(group, "NeighbourhoodAdjustment", false);
        body.WeightExponent = load_optional_coordsys_WeightExponent(group, "WeightExponent", 0);
        body.CrossSectionInterpolationMethod =
            load_optional_coordsys_CrossSectionInterpolationMethod(group, "CrossSectionInterpolationMethod", 0);
        body.ApplySeaLevelCorrectionOnStandardProjection =
            writejob_ReadOptionalBool(group, "ApplySeaLevelCorrectionOnStandardProjection", true);
        body.ApplySeaLevelCorrectionOnScaleOnlyProjection =
            writejob_ReadOptionalBool(group, "ApplySeaLevelCorrectionOnScaleOnlyProjection", false);
    } else {
        body.MagneticDeclination = MATHS_Null;
    }
    body.ValuesPresent = COORDSYS_AllValuesPresent;
}

// The handlers: notes, derivation code (not for corrections), body, "rec", store.

namespace {

template <class Record, class Body>
void WriteDefinition(JobWriter& writer, const xml_Element* element, Body Record::*body,
                     void (*read)(const xml_Element*, writejob_ChildName, Body&), const char* groupName,
                     const char* recName) {
    writejob_WriteRecord<Record>(writer, element, recName, [&](Record& record) {
        record.Derivation = load_DerivationCode(element, "Derivation");
        read(element, groupName, record.*body);
    });
}

}  // namespace

void JobWriter::WriteDatum(const xml_Element* element) {
    WriteDefinition(*this, element, &db_Datum::Datum, writejob_ReadDatum, "Datum", "db_Datum");
}

void JobWriter::WriteProjection(const xml_Element* element) {
    WriteDefinition(*this, element, &db_Projection::Projection, writejob_ReadProjection, "Projection",
                    "db_Projection");
}

void JobWriter::WritePlane(const xml_Element* element) {
    WriteDefinition(*this, element, &db_Plane::Plane, writejob_ReadPlane, "Plane", "db_Plane");
}

void JobWriter::WriteHeight(const xml_Element* element) {
    WriteDefinition(*this, element, &db_Height::Height, writejob_ReadHeight, "Height", "db_Height");
}

void JobWriter::WriteCorrections(const xml_Element* element) {
    db_Corrections record;
    record.SetNotes(writejob_ReadNotes(element, "Note"));
    writejob_ReadCorrections(element, "Corrections", record.Corrections);
    writejob_CheckRecAttribute(element, "db_Corrections");
    StoreRecord(element, &record);
    // The road files' geometry follows the newest corrections from here on.
    roadSet.SetCorrections(record.Corrections);
}
