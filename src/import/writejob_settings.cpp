// The job settings elements (see writejob_settings.h).
#include "import/writejob_settings.h"

#include <cmath>
#include <memory>

#include "foundation/environment.h"
#include "foundation/kernel/clock.h"
#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "import/writejob_groups.h"
#include "import/writejob_handler.h"
#include "records/cogo.h"
#include "records/coordsysstyle.h"
#include "records/jobheader.h"
#include "records/precisioncoding.h"
#include "vocabulary/dbField.h"

namespace {

constexpr const char* kModule = "converter/writejob";

const Str& GroundScaleName() {
    static const Str name("GroundScale");
    return name;
}

// The integer part of a double that has one in 32 bits; 0 for a null (absent or empty
// child), and 0 with a report for anything else out of range.
int32_t TruncatedInt(double value) {
    if (maths_IsNull(value)) return 0;
    const double whole = std::trunc(value);
    if (!QZ_ASSERT_TEXT(whole >= -2147483648.0 && whole <= 2147483647.0, "Constant within 32 bits")) return 0;
    return static_cast<int32_t>(whole);
}

// The fields db_Area and db_SubdividedArea share, up to the perimeter.
void ReadAreaHead(const xml_Element* element, db_Area& record) {
    record.SetNotes(writejob_ReadNotes(element, "Note"));
    record.Name = writejob_ReadString(element, "Name");
    record.Method = load_coordsys_CogoSettings(element, "Method");
    record.Area = writejob_ReadDouble(element, "Area");
    record.Perimeter = writejob_ReadDouble(element, "Perimeter");
}

}  // namespace

void writejob_ReadCalibPointName(const xml_Element* element, writejob_ChildName childName,
                                 db_CalibPointName& target) {
    const xml_Element* group = element->FindChild(childName.View());
    if (!group) return;
    target.Method = load_dbqz_CalibPointNameMethod(group, "Method");
    target.Constant = TruncatedInt(writejob_ReadDouble(group, "Constant"));
    target.Prefix = writejob_ReadString(group, "Prefix");
    target.Suffix = writejob_ReadString(group, "Suffix");
}

void writejob_ReadCalibResiduals(const xml_Element* element, writejob_ChildName childName,
                                 dbrecord_CalibResiduals& target) {
    const xml_Element* group = element->FindChild(childName.View());
    if (!group) {
        target.OneD = target.TwoD = target.ThreeD = MATHS_Null;
        target.North = target.East = target.Elev = MATHS_Null;
        target.DeltaNorth = target.DeltaEast = target.DeltaElev = MATHS_Null;
        return;
    }
    target.OneD = writejob_GroupDouble(group, "OneD");
    target.TwoD = writejob_GroupDouble(group, "TwoD");
    target.ThreeD = writejob_GroupDouble(group, "ThreeD");
    target.North = writejob_GroupDouble(group, "North");
    target.East = writejob_GroupDouble(group, "East");
    target.Elev = writejob_GroupDouble(group, "Elev");
    target.DeltaNorth = writejob_GroupDouble(group, "DeltaNorth");
    target.DeltaEast = writejob_GroupDouble(group, "DeltaEast");
    target.DeltaElev = writejob_GroupDouble(group, "DeltaElev");
}

void writejob_ReadAreaPoint(const xml_Element* parent, writejob_ChildName childName, AreaPointElement& target) {
    const xml_Element* point = parent->FindChild(childName.View());
    if (!point) return;
    target.Name = writejob_ReadString(point, "Name");
    target.North = writejob_ReadDouble(point, "North");
    target.East = writejob_ReadDouble(point, "East");
    target.Elev = writejob_ReadDouble(point, "Elev");
}

void writejob_ReadAreaLine(const xml_Element* child, AreaLineElement& target) {
    target.Name = writejob_ReadString(child, "Name");
    writejob_ReadAreaPoint(child, "Start", target.Start);
    writejob_ReadAreaPoint(child, "End", target.End);
}

void writejob_ReadAreaArc(const xml_Element* child, AreaArcElement& target) {
    target.Name = writejob_ReadString(child, "Name");
    writejob_ReadAreaPoint(child, "Start", target.Start);
    writejob_ReadAreaPoint(child, "End", target.End);
    writejob_ReadAreaPoint(child, "Centre", target.Centre);
    target.ScribedAngle = writejob_ReadDouble(child, "ScribedAngle");
    target.Clockwise = writejob_ReadBool(child, "Clockwise");
}

void writejob_ReadAreaElements(const xml_Element* element, writejob_ChildName groupName,
                               AreaElementArray& entries, int32_t count) {
    entries.Clear();
    const xml_Element* group = element->FindChild(groupName.View());
    if (!group) return;
    // The count bounds the walk but never sizes anything: the children do.
    int32_t position = 0;
    for (const xml_Element* child = group->firstChild; child && position < count;
         child = child->nextSibling, ++position) {
        if (child->name == "Line") {
            auto line = std::make_unique<AreaLineElement>();
            writejob_ReadAreaLine(child, *line);
            entries.Append(line.release());
        } else if (child->name == "Arc") {
            auto arc = std::make_unique<AreaArcElement>();
            writejob_ReadAreaArc(child, *arc);
            entries.Append(arc.release());
        }
    }
}

Str writejob_TimeStampText(int32_t derivation, double time) {
    const char* word = nullptr;
    switch (derivation) {
        case 1:  // DBQZ_UserDeleted
            word = "Deleted";
            break;
        case 2:  // DBQZ_UserUndeleted
            word = "Undeleted";
            break;
        case 3:  // DBQZ_Updated
            word = "Updated";
            break;
        case 4:  // DBQZ_UsedLastTSSetup
            return Str("Used last station setup");
        default:  // DBQZ_System, or a code the vocabulary does not have
            return Str();
    }
    Str text(word);
    // An absent or empty "Time" is null; the clock accepts no null, no NaN and no
    // infinite time, and gives empty texts for a time it cannot show.
    if (maths_IsNull(time) || !std::isfinite(time)) return text;
    const Str timeOfDay = clock_FormatTimeOfDay(time);
    const Str date = clock_FormatDate(time, false, false);
    if (timeOfDay.IsEmpty() || date.IsEmpty()) return text;
    text += " ";
    text += timeOfDay;
    text += " ";
    text += date;
    return text;
}

// The handlers: notes, children in the listed order, "rec", store.

void JobWriter::WritePrecision(const xml_Element* element) {
    writejob_WriteRecord<db_Precision>(*this, element, "db_Precision", [&](auto& record) {
        record.Horizontal = writejob_ReadDouble(element, "Horizontal");
        record.Vertical = writejob_ReadDouble(element, "Vertical");
    });
}

void JobWriter::WriteCoding(const xml_Element* element) {
    writejob_WriteRecord<db_Coding>(*this, element, "db_Coding", [&](auto& record) {
        record.Comment = writejob_ReadString(element, "Comment");
        record.Filename = writejob_ReadString(element, "Filename");
        record.DDFFilename = writejob_ReadString(element, "DDFFilename");
        // The low 16 bits of the value read.
        record.CheckSum = static_cast<uint16_t>(static_cast<uint32_t>(writejob_ReadHexOrDecimal(element, "CheckSum")));
        record.AttributesActive = writejob_ReadBool(element, "AttributesActive");
        record.UseAttributesOfBaseCode = writejob_ReadOptionalBool(element, "UseAttributesOfBaseCode", false);
    });
}

void JobWriter::WriteDescriptionsDefinition(const xml_Element* element) {
    writejob_WriteRecord<db_DescriptionsDefinition>(*this, element, "db_DescriptionsDefinition", [&](auto& record) {
        record.UseDescriptions = writejob_ReadBool(element, "UseDescriptions");
        record.Description1Label = writejob_ReadString(element, "Description1Label");
        record.Description2Label = writejob_ReadString(element, "Description2Label");
    });
}

void JobWriter::WriteMeterological(const xml_Element* element) {
    writejob_WriteRecord<db_Meterological>(*this, element, "db_Meterological", [&](auto& record) {
        record.Pressure = writejob_ReadDouble(element, "Pressure");
        record.DryBulbTemperature = writejob_ReadDouble(element, "DryBulbTemperature");
        record.WetBulbTemperature = writejob_ReadDouble(element, "WetBulbTemperature");
        record.RelativeHumidity = writejob_ReadDouble(element, "RelativeHumidity");
    });
}

void JobWriter::WriteConfigCalib(const xml_Element* element) {
    writejob_WriteRecord<db_ConfigCalib>(*this, element, "db_ConfigCalib", [&](auto& record) {
        record.FixHorzScaleToOne = writejob_ReadBool(element, "FixHorzScaleToOne");
        record.FixHorzRotationToZero = writejob_ReadBool(element, "FixHorzRotationToZero");
        record.CalibType = load_dbqz_ObservationType(element, "CalibType");
        record.AutoCalibrate = writejob_ReadBool(element, "AutoCalibrate");
        record.VerticalCalibrationMethod =
            load_optional_dbqz_VerticalCalibrationMethod(element, "VerticalCalibrationMethod", 2);
        record.MaxHorzResiduals = writejob_ReadDouble(element, "MaxHorzResiduals");
        record.MaxVertResiduals = writejob_ReadDouble(element, "MaxVertResiduals");
        record.MaxHorzScale = writejob_ReadDouble(element, "MaxHorzScale");
        record.MinHorzScale = writejob_ReadDouble(element, "MinHorzScale");
        record.MaxVertIncline = writejob_ReadDouble(element, "MaxVertIncline");
        writejob_ReadCalibPointName(element, "PointName", record.PointName);
    });
}

void JobWriter::WriteCalibPoint(const xml_Element* element) {
    writejob_WriteRecord<db_CalibPoint>(*this, element, "db_CalibPoint", [&](auto& record) {
        record.NEEPointId = writejob_ReadString(element, "NEEPointId");
        record.WGS84PointId = writejob_ReadString(element, "WGS84PointId");
        record.Status = load_dbqz_CalibrateStatus(element, "Status");
        writejob_ReadCalibResiduals(element, "Residuals", record.Residuals);
    });
}

void JobWriter::WriteArea(const xml_Element* element) {
    db_Area record;
    ReadAreaHead(element, record);
    // Older exports wrote no boundary: the area keeps an empty perimeter.
    if (IsVersionFrom(1240, 600)) {
        const int32_t count = writejob_ReadHexOrDecimal(element, "PerimeterEntityCount");
        writejob_ReadAreaElements(element, "PerimeterEntities", record.PerimeterEntities, count);
    }
    writejob_CheckRecAttribute(element, "db_Area");
    StoreRecord(element, &record);
}

void JobWriter::WriteSubdividedArea(const xml_Element* element) {
    db_SubdividedArea record;
    ReadAreaHead(element, record);
    const int32_t count = writejob_ReadHexOrDecimal(element, "PerimeterEntityCount");
    writejob_ReadAreaElements(element, "PerimeterEntities", record.PerimeterEntities, count);
    record.SubArea = writejob_ReadDouble(element, "SubArea");
    record.SubPerimeter = writejob_ReadDouble(element, "SubPerimeter");
    const int32_t subCount = writejob_ReadHexOrDecimal(element, "SubPerimeterEntityCount");
    writejob_ReadAreaElements(element, "SubPerimeterEntities", record.SubPerimeterEntities, subCount);
    writejob_ReadStringList(element, "SubdivisionCreatedPoints", record.SubdivisionCreatedPoints);
    writejob_CheckRecAttribute(element, "db_SubdividedArea");
    StoreRecord(element, &record);
}

void JobWriter::WriteCoordSystem(const xml_Element* element) {
    writejob_WriteRecord<db_CoordSystem>(*this, element, "db_CoordSystem", [&](auto& record) {
        record.SystemName = writejob_ReadString(element, "SystemName");
        record.ZoneName = writejob_ReadString(element, IsVersionFrom(1130, 500) ? "ZoneSiteName" : "ZoneName");
        record.DatumName = writejob_ReadString(element, "DatumName");
        record.UseGeoid = writejob_ReadBool(element, "UseGeoid");
        record.UseDatumGrid = writejob_ReadBool(element, "UseDatumGrid");
        record.GeoidFilename = writejob_ReadString(element, "GeoidFilename");
        // No child carries the three words.
        record.Word1 = record.Word2 = record.Word3 = 0;
        writejob_ReadGroundScale(element, GroundScaleName(), record.GroundScale);
    });
}

void JobWriter::WriteCoordSysControl(const xml_Element* element) {
    writejob_WriteRecord<db_CoordSystemControl>(*this, element, "db_CoordSystemControl", [&](auto& record) {
        record.HorzAdjust = writejob_ReadBool(element, "HorzAdjust");
        record.VertAdjust = writejob_ReadBool(element, "VertAdjust");
        record.DoGeolib = writejob_ReadBool(element, "DoGeolib");
    });
}

void JobWriter::WriteTimeStamp(const xml_Element* element) {
    const int32_t derivation = load_dbqz_TimeDerivation(element, "TimeDerivation");
    const bool wantsTime = derivation >= 1 && derivation <= 3;
    const Str text = writejob_TimeStampText(derivation, wantsTime ? writejob_ReadDouble(element, "Time") : MATHS_Null);
    // Nothing to store: no "rec" check and no ID mapped.
    if (text.IsEmpty()) return;
    db_Note note;
    note.SetNotes(text);
    writejob_CheckRecAttribute(element, "db_TimeStamp");
    StoreRecord(element, &note);
}
