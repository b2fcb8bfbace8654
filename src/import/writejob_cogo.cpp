// The coordinate geometry record elements (see writejob_cogo.h).
#include "import/writejob_cogo.h"

#include "foundation/coords/coordsys.h"
#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "import/writejob.h"
#include "import/writejob_groups.h"
#include "records/classification.h"
#include "records/cogo.h"
#include "records/coordsysdefs.h"
#include "records/entities.h"
#include "records/stakeoutsettings.h"
#include "vocabulary/dbField.h"

namespace {

constexpr double kPi = 3.141592653589793;

}  // namespace

bool writejob_ReadDeleted(const xml_Element* element) {
    const xml_Element* deleted = element->FindChild("Deleted");
    if (deleted && !deleted->text.IsEmpty()) return writejob_ReadBool(element, "Deleted");
    db_PointClassification classification;
    bool flag = false;
    load_legacy_dbentity_Classification(writejob_ReadString(element, "Classification"), classification, flag);
    return flag;
}

void writejob_ReadEllipsoid(const xml_Element* element, const Str& groupName, coordsys_Ellipsoid& value) {
    const xml_Element* group = element->FindChild(groupName.Data());
    if (!group) {
        value.SetNull();
        return;
    }
    value = coordsys_Ellipsoid(writejob_ReadDouble(group, "EarthRadius"), writejob_ReadDouble(group, "Flattening"));
}

void writejob_ReadInverseResult(const xml_Element* element, const Str& groupName, db_InverseResult& value) {
    const xml_Element* group = element->FindChild(groupName.Data());
    if (!group) {
        value = db_InverseResult();
        return;
    }
    value.SourcePoint = writejob_ReadString(group, "SourcePoint");
    value.CreatedView = load_coordsys_CogoSettings(group, "CreatedView");
    writejob_ReadPolar(group, "Polar", value.Polar);
}

writejob_InverseLayout writejob_GetInverseLayout(const xml_Element* element, bool olderLayouts) {
    if (!olderLayouts) return WRITEJOB_Inverse;
    const xml_Element* type = element->FindChild("InverseType");
    if (!type) return WRITEJOB_Inverse;
    if (type->text == "DBENTITY_CogoComputeAzimuth") return WRITEJOB_InverseAsComputeAzimuth;
    if (type->text == "DBENTITY_CogoComputeDistance") return WRITEJOB_InverseAsComputeDistance;
    return WRITEJOB_Inverse;
}

void writejob_ReadEllipsoidRecord(const xml_Element* element, db_Ellipsoid& record) {
    record.SetNotes(writejob_ReadNotes(element, "Note"));
    record.Derivation = load_DerivationCode(element, "Derivation");
    writejob_ReadEllipsoid(element, "Ellipsoid", record.Ellipsoid);
}

void writejob_ReadLineRecord(const xml_Element* element, bool bearingNames, db_Line& record) {
    record.SetNotes(writejob_ReadNotes(element, "Note"));
    record.LineId = writejob_ReadString(element, "LineId");
    record.Derivation = load_DerivationCode(element, "Derivation");
    record.Method = load_dbentity_LineMethod(element, "Method");
    record.Deleted = writejob_ReadDeleted(element);
    record.OriginPoint = writejob_ReadString(element, "OriginPoint");
    record.TargetPoint = writejob_ReadString(element, "TargetPoint");
    record.BearingLength = writejob_ReadDouble(element, bearingNames ? "BearingLength" : "Length");
    record.BearingAzimuth = writejob_ReadDouble(element, bearingNames ? "BearingAzimuth" : "Azimuth");
    record.BearingGrade = writejob_ReadDouble(element, bearingNames ? "BearingGrade" : "Grade");
    writejob_ReadDescriptions(element, "Descriptions", record);
}

void writejob_ReadArcRecord(const xml_Element* element, bool numberedPoints, db_Arc& record) {
    record.SetNotes(writejob_ReadNotes(element, "Note"));
    record.ArcName = writejob_ReadString(element, "ArcName");
    record.Derivation = load_DerivationCode(element, "Derivation");
    record.Method = load_dbentity_ArcMethod(element, "Method");
    record.Point1 = writejob_ReadString(element, numberedPoints ? "Point1" : "StartPoint");
    record.Point2 = writejob_ReadString(element, numberedPoints ? "Point2" : "EndPoint");
    record.Point3 = writejob_ReadString(element, numberedPoints ? "Point3" : "CenterPoint");
    record.Direction = load_dbentity_ArcDirection(element, "Direction");
    record.Radius = writejob_ReadDouble(element, "Radius");
    record.TangentAtStart = writejob_ReadDouble(element, "TangentAtStart");
    record.BackwardTangent = writejob_ReadDouble(element, "BackwardTangent");
    record.Length = writejob_ReadDouble(element, "Length");
    record.ScribedAngle = writejob_ReadDouble(element, "ScribedAngle");
    record.Chord = writejob_ReadDouble(element, "Chord");
    record.Tangent = writejob_ReadDouble(element, "Tangent");
    record.Grade = writejob_ReadDouble(element, "Grade");
    // A null angle (1e308) is greater than pi too: an arc of unknown angle counts as large.
    record.LargeArc = writejob_ReadOptionalBool(element, "LargeArc", record.ScribedAngle > kPi);
    record.Deleted = writejob_ReadDeleted(element);
    writejob_ReadDescriptions(element, "Descriptions", record);
}

void writejob_ReadInverseRecord(const xml_Element* element, db_Inverse& record) {
    record.SetNotes(writejob_ReadNotes(element, "Note"));
    record.TargetPoint = writejob_ReadString(element, "TargetPoint");
    writejob_ReadInverseResult(element, "Result", record.Result);
    record.SlopeDistance = writejob_ReadDouble(element, "SlopeDistance");
    record.Grade = writejob_ReadOptionalDouble(element, "Grade", MATHS_Null);
}

namespace {

// The older layouts kept the view of the computation inside the result.
void ReadResultView(const xml_Element* element, coordsys_CogoSettings& view) {
    if (const xml_Element* result = element->FindChild("Result")) view = load_coordsys_CogoSettings(result, "CreatedView");
}

}  // namespace

void writejob_ReadInverseAsComputeAzimuth(const xml_Element* element, db_ComputeAzimuth& record) {
    record.AzimuthMethod = load_dbentity_ComputeAzimuthMethod(element, "AzimuthMethod");
    ReadResultView(element, record.CreatedView);
    switch (record.AzimuthMethod) {
        case 0:  // two points
            record.Point1 = writejob_ReadString(element, "Entity1");
            record.Point2 = writejob_ReadString(element, "Entity2");
            break;
        case 1:  // bisected azimuths
            record.Azimuth1 = writejob_ReadDouble(element, "Azimuth1");
            record.Azimuth2 = writejob_ReadDouble(element, "Azimuth2");
            break;
        case 2:  // bisected corner
            record.Point1 = writejob_ReadString(element, "Entity1");
            record.CornerPoint = writejob_ReadString(element, "Entity2");
            record.Point2 = writejob_ReadString(element, "Entity3");
            break;
        case 3:  // azimuth and turned angle
            record.Azimuth1 = writejob_ReadDouble(element, "Azimuth1");
            record.TurnedAngle = writejob_ReadDouble(element, "Azimuth2");
            break;
        case 4:  // azimuth to a line offset
            record.ReferenceLinearEntity = writejob_ReadString(element, "Entity1");
            record.Stationing = writejob_ReadDouble(element, "Distance1");
            record.Offset = writejob_ReadDouble(element, "Distance2");
            break;
        default:
            break;
    }
    record.ComputedAzimuth = writejob_ReadDouble(element, "ComputedAzimuth");
}

void writejob_ReadInverseAsComputeDistance(const xml_Element* element, db_ComputeDistance& record) {
    record.DistanceMethod = load_dbentity_ComputeDistanceMethod(element, "DistanceMethod");
    ReadResultView(element, record.CreatedView);
    switch (record.DistanceMethod) {
        case 0:  // two points
            record.Point1 = writejob_ReadString(element, "Entity1");
            record.Point2 = writejob_ReadString(element, "Entity2");
            break;
        case 1:  // point and line
        case 2:  // point and arc
            record.Point1 = writejob_ReadString(element, "Entity1");
            record.ReferenceLinearEntity = writejob_ReadString(element, "Entity2");
            break;
        default:
            break;
    }
    record.ComputedDistance = writejob_ReadDouble(element, "ComputedDistance");
}

void writejob_ReadComputeAzimuthRecord(const xml_Element* element, db_ComputeAzimuth& record) {
    record.SetNotes(writejob_ReadNotes(element, "Note"));
    record.AzimuthMethod = load_dbentity_ComputeAzimuthMethod(element, "AzimuthMethod");
    record.Point1 = writejob_ReadString(element, "Point1");
    record.Point2 = writejob_ReadString(element, "Point2");
    record.CornerPoint = writejob_ReadString(element, "CornerPoint");
    record.Azimuth1 = writejob_ReadDouble(element, "Azimuth1");
    record.Azimuth2 = writejob_ReadDouble(element, "Azimuth2");
    record.TurnedAngle = writejob_ReadDouble(element, "TurnedAngle");
    record.ReferenceLinearEntity = writejob_ReadString(element, "ReferenceLinearEntity");
    record.ReferenceLineDefinedByTwoPoints = writejob_ReadOptionalBool(element, "ReferenceLineDefinedByTwoPoints", false);
    record.ReferenceLinePoint1Name = writejob_ReadString(element, "ReferenceLinePoint1Name");
    record.ReferenceLinePoint2Name = writejob_ReadString(element, "ReferenceLinePoint2Name");
    record.Stationing = writejob_ReadDouble(element, "Stationing");
    record.Offset = writejob_ReadDouble(element, "Offset");
    record.ComputedAzimuth = writejob_ReadDouble(element, "ComputedAzimuth");
    record.CreatedView = load_coordsys_CogoSettings(element, "CreatedView");
}

void writejob_ReadComputeDistanceRecord(const xml_Element* element, db_ComputeDistance& record) {
    record.SetNotes(writejob_ReadNotes(element, "Note"));
    record.DistanceMethod = load_dbentity_ComputeDistanceMethod(element, "DistanceMethod");
    record.Point1 = writejob_ReadString(element, "Point1");
    record.Point2 = writejob_ReadString(element, "Point2");
    record.ReferenceLinearEntity = writejob_ReadString(element, "ReferenceLinearEntity");
    record.ReferenceLineDefinedByTwoPoints = writejob_ReadOptionalBool(element, "ReferenceLineDefinedByTwoPoints", false);
    record.ReferenceLinePoint1Name = writejob_ReadString(element, "ReferenceLinePoint1Name");
    record.ReferenceLinePoint2Name = writejob_ReadString(element, "ReferenceLinePoint2Name");
    record.DistanceAlong = writejob_ReadDouble(element, "DistanceAlong");
    record.ComputedDistance = writejob_ReadDouble(element, "ComputedDistance");
    record.CreatedView = load_coordsys_CogoSettings(element, "CreatedView");
}

void writejob_ReadPointKeyinRecord(const xml_Element* element, db_PointKeyin& record) {
    record.SetNotes(writejob_ReadNotes(element, "Note"));
    record.Method = load_optional_dbentity_PointMethod(element, "Method", 0);
    record.PointOne = writejob_ReadString(element, "PointOne");
    record.PointTwo = writejob_ReadString(element, "PointTwo");
    record.PointThree = writejob_ReadString(element, "PointThree");
    record.PointFour = writejob_ReadString(element, "PointFour");
    record.AzimuthOne = writejob_ReadDouble(element, "AzimuthOne");
    record.DistanceOne = writejob_ReadDouble(element, "DistanceOne");
    record.AzimuthTwo = writejob_ReadDouble(element, "AzimuthTwo");
    record.DistanceTwo = writejob_ReadDouble(element, "DistanceTwo");
    record.TurnedAngle = writejob_ReadOptionalDouble(element, "TurnedAngle", MATHS_Null);
    record.VOffset = writejob_ReadOptionalDouble(element, "VOffset", MATHS_Null);
    record.BearingDistanceAzimuthType = load_optional_dbentity_AzimuthType(element, "BearingDistanceAzimuthType", 1);
    record.CreatedView = load_coordsys_CogoSettings(element, "CreatedView");
    record.DirectionAlongLine = load_optional_dbentity_DirectionAlongLine(element, "DirectionAlongLine", 0);
    record.VerticalPlaneIntersectionStation = writejob_ReadReference(element, "VerticalPlaneIntersectionStation");
    record.VerticalPlaneIntersectionBackBearing = writejob_ReadReference(element, "VerticalPlaneIntersectionBackBearing");
    writejob_ReadCircle(element, "VerticalPlaneIntersectionRay", record.VerticalPlaneIntersectionRay);
}

// The handlers: read, check "rec", store. Lines and arcs name their points rather than
// refer to them, so of these records only keyed-in points hold references for the
// second pass.

void JobWriter::WriteEllipsoid(const xml_Element* element) {
    db_Ellipsoid record;
    writejob_ReadEllipsoidRecord(element, record);
    writejob_CheckRecAttribute(element, "db_Ellipsoid");
    StoreRecord(element, &record);
}

void JobWriter::WriteLine(const xml_Element* element) {
    db_Line record;
    writejob_ReadLineRecord(element, IsVersionFrom(1100, 500), record);
    writejob_CheckRecAttribute(element, "db_Line");
    StoreRecord(element, &record);
    ReadFeatures(&record, element);
}

void JobWriter::WriteArc(const xml_Element* element) {
    db_Arc record;
    writejob_ReadArcRecord(element, IsVersionFrom(1240, 600), record);
    writejob_CheckRecAttribute(element, "db_Arc");
    StoreRecord(element, &record);
    ReadFeatures(&record, element);
}

void JobWriter::WriteInverse(const xml_Element* element) {
    switch (writejob_GetInverseLayout(element, IsMainVersionBefore(1100))) {
        case WRITEJOB_InverseAsComputeAzimuth:
            WriteInverseAsComputeAzimuth(element);
            return;
        case WRITEJOB_InverseAsComputeDistance:
            WriteInverseAsComputeDistance(element);
            return;
        case WRITEJOB_Inverse:
            break;
    }
    db_Inverse record;
    writejob_ReadInverseRecord(element, record);
    writejob_CheckRecAttribute(element, "db_Inverse");
    StoreRecord(element, &record);
}

void JobWriter::WriteInverseAsComputeAzimuth(const xml_Element* element) {
    db_ComputeAzimuth record;
    writejob_ReadInverseAsComputeAzimuth(element, record);
    writejob_CheckRecAttribute(element, "db_Inverse");
    StoreRecord(element, &record);
}

void JobWriter::WriteInverseAsComputeDistance(const xml_Element* element) {
    db_ComputeDistance record;
    writejob_ReadInverseAsComputeDistance(element, record);
    writejob_CheckRecAttribute(element, "db_Inverse");
    StoreRecord(element, &record);
}

void JobWriter::WriteComputeAzimuth(const xml_Element* element) {
    db_ComputeAzimuth record;
    writejob_ReadComputeAzimuthRecord(element, record);
    writejob_CheckRecAttribute(element, "db_ComputeAzimuth");
    StoreRecord(element, &record);
}

void JobWriter::WriteComputeDistance(const xml_Element* element) {
    db_ComputeDistance record;
    writejob_ReadComputeDistanceRecord(element, record);
    writejob_CheckRecAttribute(element, "db_ComputeDistance");
    StoreRecord(element, &record);
}

void JobWriter::WritePointKeyin(const xml_Element* element) {
    db_PointKeyin record;
    writejob_ReadPointKeyinRecord(element, record);
    writejob_CheckRecAttribute(element, "db_PointKeyin");
    StoreRecord(element, &record);
}

