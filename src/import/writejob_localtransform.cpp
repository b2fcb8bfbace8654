// The averaged residuals, automatic entity names and local transformation elements
// (see writejob_localtransform.h).
#include "import/writejob_localtransform.h"

#include <cstdint>

#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "import/writejob_groups.h"
#include "import/writejob_handler.h"
#include "import/writejob_settings.h"
#include "records/localtransform.h"
#include "vocabulary/dbField.h"

namespace {

// A component of a group that may be absent: the group's absence reads as the
// component's.
double GroupDouble(const xml_Element* group, const char* name, double defaultValue) {
    return group ? writejob_ReadOptionalDouble(group, name, defaultValue) : defaultValue;
}
bool GroupBool(const xml_Element* group, const char* name) {
    return group ? writejob_ReadOptionalBool(group, name, false) : false;
}

}  // namespace

void writejob_ReadAverageResidual(const xml_Element* entry, db_AverageResidual& residual) {
    residual.ObservationID = writejob_ReadReference(entry, "ObservationID");
    residual.IncludedInAverageComputation = writejob_ReadBool(entry, "IncludedInAverageComputation");
    writejob_ReadGridDeltas(entry, "GridResidual", residual.GridResidual);
    writejob_ReadCorrected(entry, "AngleResidual", residual.AngleResidual);
}

// The reader's defaults replace the block's constructed ones: Scale 0.0, not 1.0.
void writejob_ReadHelmertHorizontal(const xml_Element* element, writejob_ChildName groupName,
                                    dbrecord_HelmertParameters& block) {
    const xml_Element* group = element->FindChild(groupName.View());
    block.Apply = GroupBool(group, "Apply");
    block.OriginNorth = GroupDouble(group, "OriginNorth", 0.0);
    block.OriginEast = GroupDouble(group, "OriginEast", 0.0);
    block.Scale = GroupDouble(group, "Scale", 0.0);
    block.Rotation = GroupDouble(group, "Rotation", 0.0);
    block.TranslationNorth = GroupDouble(group, "TranslationNorth", 0.0);
    block.TranslationEast = GroupDouble(group, "TranslationEast", 0.0);
    block.ScaleStdError = GroupDouble(group, "ScaleStdError", MATHS_Null);
    block.RotationStdError = GroupDouble(group, "RotationStdError", MATHS_Null);
    block.TranslationNorthStdError = GroupDouble(group, "TranslationNorthStdError", MATHS_Null);
    block.TranslationEastStdError = GroupDouble(group, "TranslationEastStdError", MATHS_Null);
}

// The reader's defaults replace the block's constructed ones: ConstantAdjustmentOnly
// false, not true.
void writejob_ReadHelmertVertical(const xml_Element* element, writejob_ChildName groupName,
                                  dbrecord_HelmertSolution& block) {
    const xml_Element* group = element->FindChild(groupName.View());
    block.Apply = GroupBool(group, "Apply");
    block.ConstantAdjustmentOnly = GroupBool(group, "ConstantAdjustmentOnly");
    block.OriginNorth = GroupDouble(group, "OriginNorth", 0.0);
    block.OriginEast = GroupDouble(group, "OriginEast", 0.0);
    block.NorthAdjustment = GroupDouble(group, "NorthAdjustment", 0.0);
    block.EastAdjustment = GroupDouble(group, "EastAdjustment", 0.0);
    block.ElevationAdjustment = GroupDouble(group, "ElevationAdjustment", 0.0);
    block.NorthAdjustmentStdError = GroupDouble(group, "NorthAdjustmentStdError", MATHS_Null);
    block.EastAdjustmentStdError = GroupDouble(group, "EastAdjustmentStdError", MATHS_Null);
    block.ElevationAdjustmentStdError = GroupDouble(group, "ElevationAdjustmentStdError", MATHS_Null);
}

void JobWriter::WriteAverageResiduals(const xml_Element* element) {
    writejob_WriteRecord<db_AverageResiduals>(*this, element, "db_AverageResiduals", [&](auto& record) {
        const int32_t count = writejob_ReadHexOrDecimal(element, "NumberOfResiduals");
        if (count > 0) {
            const xml_Element* entry =
                writejob_FindCountedRun(element, "Residual", count, "NumberOfResiduals exceeds the residuals present");
            record.SetNumberOfResiduals(count);
            for (int32_t i = 0; i < count; ++i, entry = entry->nextSibling)
                writejob_ReadAverageResidual(entry, *record.GetResidual(i));
        } else {
            // Kept as read, with no entries.
            record.SetNumberOfResiduals(count);
        }
    });
}

void JobWriter::WriteAutoEntityNames(const xml_Element* element) {
    writejob_WriteRecord<db_AutoEntityNames>(*this, element, "db_AutoEntityNames", [&](auto& record) {
        record.Point = writejob_ReadString(element, "Point");
        record.Line = writejob_ReadString(element, "Line");
        record.Arc = writejob_ReadString(element, "Arc");
        record.Reading = writejob_ReadString(element, "Reading");
        record.QuickMark = writejob_ReadString(element, "QuickMark");
        record.StakeOut = writejob_ReadString(element, "StakeOut");
        record.ContinuousPoint = writejob_ReadString(element, "ContinuousPoint");
        record.ContinuousOffsetPointOne = writejob_ReadString(element, "ContinuousOffsetPointOne");
        record.ContinuousOffsetPointTwo = writejob_ReadString(element, "ContinuousOffsetPointTwo");
        record.LaserOffset = writejob_ReadString(element, "LaserOffset");
        record.Offset = writejob_ReadString(element, "Offset");
        record.GpsRTKControlPoint = writejob_ReadString(element, "GpsRTKControlPoint");
        record.ConstructionPoint = writejob_ReadString(element, "ConstructionPoint");
        record.TSContinuous = writejob_ReadString(element, "TSContinuous");
        record.TSSurfaceScan = writejob_ReadString(element, "TSSurfaceScan");
    });
}

void JobWriter::WriteLocalTransformation(const xml_Element* element) {
    writejob_WriteRecord<db_LocalTransformation>(*this, element, "db_LocalTransformation", [&](auto& record) {
        record.TransformationName = writejob_ReadString(element, "TransformationName");
        record.TransformationMethod = load_transformation_Method(element, "TransformationMethod");
        record.VerticalAdjustmentMethod = load_dbqz_VerticalCalibrationMethod(element, "VerticalAdjustmentMethod");
        record.Deleted = writejob_ReadOptionalBool(element, "Deleted", false);
        record.ReadOnly = writejob_ReadOptionalBool(element, "ReadOnly", false);
        record.Source = writejob_ReadString(element, "Source");
    });
}

void JobWriter::WriteLineTransformationDefinition(const xml_Element* element) {
    const char* rec = "db_LineTransformationDefinition";
    writejob_WriteRecord<db_LineTransformationDefinition>(*this, element, rec, [&](auto& record) {
        record.StartPointName = writejob_ReadString(element, "StartPointName");
        writejob_ReadGrid(element, "StartPointGrid", record.StartPointGrid);
        writejob_ReadGrid(element, "StartPointLocalGrid", record.StartPointLocalGrid);
        record.EndPointName = writejob_ReadString(element, "EndPointName");
        writejob_ReadGrid(element, "EndPointGrid", record.EndPointGrid);
        writejob_ReadGrid(element, "EndPointLocalGrid", record.EndPointLocalGrid);
        record.ComputedGroundDistance = writejob_ReadDouble(element, "ComputedGroundDistance");
        record.ComputedLocalGridDistance = writejob_ReadDouble(element, "ComputedLocalGridDistance");
        record.DeltaComputedHDist = writejob_ReadDouble(element, "DeltaComputedHDist");
        record.ScaleApplicationMethod = load_transformation_ScaleApplicationMethod(element, "ScaleApplicationMethod");
    });
}

void JobWriter::WriteLocalTransformationPointPair(const xml_Element* element) {
    const char* rec = "db_LocalTransformationPointPair";
    writejob_WriteRecord<db_LocalTransformationPointPair>(*this, element, rec, [&](auto& record) {
        record.NEEPointId = writejob_ReadString(element, "NEEPointId");
        record.LocalGridPointId = writejob_ReadString(element, "LocalGridPointId");
        record.Status = load_dbqz_CalibrateStatus(element, "Status");
        writejob_ReadCalibResiduals(element, "Residuals", record.Residuals);
    });
}

void JobWriter::WriteLocalTransformationHelmertParameters(const xml_Element* element) {
    const char* rec = "db_LocalTransformationHelmertParameters";
    writejob_WriteRecord<db_LocalTransformationHelmertParameters>(*this, element, rec, [&](auto& record) {
        writejob_ReadHelmertHorizontal(element, "HorizontalParameters", record.HorizontalParameters);
        writejob_ReadHelmertVertical(element, "VerticalParameters", record.VerticalParameters);
    });
}
