// The units and survey style settings elements (see writejob_stylesettings.h).
#include "import/writejob_stylesettings.h"

#include <cstdint>

#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "import/writejob_groups.h"
#include "import/writejob_handler.h"
#include "records/stakeoutsettings.h"
#include "records/unitstiming.h"
#include "vocabulary/dbField.h"

namespace {

uint16_t Read16(const xml_Element* element, writejob_ChildName childName) {
    return static_cast<uint16_t>(writejob_ReadHexOrDecimal(element, childName));
}

constexpr int32_t kUnitsQuad = 42;
constexpr int32_t kUnitsDdmmss = 14;
constexpr int32_t kAzimuthFormatQuadrantBearing = 1;
constexpr int32_t kDeltasGrid = 4;
constexpr int32_t kDeltasStationOffset = 5;
constexpr int32_t kDeltasDistance = 0;
constexpr int32_t kDistanceDisplay0001 = 2;

// The six occupation-time records differ only in their class and "rec".
template <class R>
void WriteOccupationTimes(JobWriter& writer, const xml_Element* element, const char* recName) {
    writejob_WriteRecord<R>(writer, element, recName,
                            [element](R& record) { writejob_ReadInitTimes(element, "times", record.times); });
}

}  // namespace

void writejob_ReadInitTimes(const xml_Element* element, writejob_ChildName groupName, db_InitTimes& value) {
    const xml_Element* group = element->FindChild(groupName.View());
    if (!group) {
        // RequireL2 keeps the record's value.
        value.TimeFor4SVs = value.TimeFor5SVs = value.TimeFor6SVs = MATHS_Null;
        return;
    }
    value.RequireL2 = writejob_ReadBool(group, "RequireL2");
    value.TimeFor4SVs = writejob_ReadDouble(group, "TimeFor4SVs");
    value.TimeFor5SVs = writejob_ReadDouble(group, "TimeFor5SVs");
    value.TimeFor6SVs = writejob_ReadDouble(group, "TimeFor6SVs");
}

void writejob_ReadStakeTolerance(const xml_Element* element, writejob_ChildName groupName,
                                 db_StakeTolerance& value) {
    const xml_Element* group = element->FindChild(groupName.View());
    if (!group) {
        value.HDist = value.VDist = value.HorzAngle = value.VertAngle = value.SlopeDistance = MATHS_Null;
        return;
    }
    value.HDist = writejob_ReadDouble(group, "HDist");
    value.VDist = writejob_ReadDouble(group, "VDist");
    value.HorzAngle = writejob_ReadDouble(group, "HorzAngle");
    value.VertAngle = writejob_ReadDouble(group, "VertAngle");
    value.SlopeDistance = writejob_ReadDouble(group, "SlopeDistance");
}

void JobWriter::WriteUnits(const xml_Element* element) {
    writejob_WriteRecord<db_Units>(*this, element, "db_Units", [&](auto& record) {
        record.VerticalUnits = load_units_Type(element, "VerticalUnits");
        record.HorizontalUnits = load_units_Type(element, "HorizontalUnits");
        record.AngleUnits = load_units_Type(element, "AngleUnits");
        record.LatLongUnits = load_units_Type(element, "LatLongUnits");
        record.VelocityUnits = load_units_Type(element, "VelocityUnits");
        record.CoordOrder = load_dbconfig_CoordOrder(element, "CoordOrder");
        record.TemperatureUnits = load_units_Type(element, "TemperatureUnits");
        record.PressureUnits = load_units_Type(element, "PressureUnits");
        record.Grade = load_units_Type(element, "Grade");
        record.AreaUnits = load_units_Type(element, "AreaUnits");
        record.Stationing = load_dbconfig_Stationing(element, "Stationing");
        record.LaserVA = load_dbconfig_LaserVA(element, "LaserVA");
        record.GPSTimeDisplay = load_optional_dbconfig_GPSTimeDisplay(element, "GPSTimeDisplay", 0);
        if (IsVersionFrom(1130, 500)) {
            record.DMSAngleDisplay = load_dbconfig_DMSAngleDisplay(element, "DMSAngleDisplay");
            record.DistanceDisplay =
                load_optional_dbconfig_DistanceDisplay(element, "DistanceDisplay", kDistanceDisplay0001);
            record.AzimuthFormat = load_optional_dbconfig_AzimuthFormat(element, "AzimuthFormat", 0);
        } else {
            record.DMSAngleDisplay = load_dbconfig_DMSAngleDisplay(element, "HAVAAngleDisplay");
            record.DistanceDisplay = load_optional_dbconfig_DistanceDisplay(element, "SDDisplay", kDistanceDisplay0001);
            // The older exports had quadrant bearings as an angle unit.
            if (record.AngleUnits == kUnitsQuad) {
                record.AngleUnits = kUnitsDdmmss;
                record.AzimuthFormat = kAzimuthFormatQuadrantBearing;
            }
        }
        record.CoordinateDisplay =
            load_optional_dbconfig_DistanceDisplay(element, "CoordinateDisplay", kDistanceDisplay0001);
        record.DecAngleDisplay = load_optional_dbconfig_DecAngleDisplay(element, "DecAngleDisplay", 1);
    });

    // Older exports kept the coordinate view in the units. The second record takes the
    // element's ID too, so a reference to the element finds it.
    if (IsVersionBefore(1240, 600)) {
        db_CoordViewType view;
        view.CoordType = load_coord_Type(element, "CoordType");
        StoreRecord(element, &view);
    }
}

void JobWriter::WriteCoordViewType(const xml_Element* element) {
    writejob_WriteRecord<db_CoordViewType>(*this, element, "db_CoordViewType", [&](auto& record) {
        record.CoordType = load_coord_Type(element, "CoordType");
        record.LocalReferenceTransformation = writejob_ReadString(element, "LocalReferenceTransformation");
    });
}

void JobWriter::WriteTracking(const xml_Element* element) {
    writejob_WriteRecord<db_Tracking>(*this, element, "db_Tracking", [&](auto& record) {
        record.L1Tracking = load_dbconfig_TrackingMode(element, "L1Tracking");
        record.L2Tracking = load_dbconfig_TrackingMode(element, "L2Tracking");
    });
}

void JobWriter::WriteGPSReading(const xml_Element* element) {
    writejob_WriteRecord<db_GPSReading>(*this, element, "db_GPSReading", [&](auto& record) {
        record.Measurements = Read16(element, "Measurements");
        record.Duration = writejob_ReadDouble(element, "Duration");
        record.HorzAcc = writejob_ReadDouble(element, "HorzAcc");
        record.VertAcc = writejob_ReadDouble(element, "VertAcc");
        record.AutoRove = writejob_ReadBool(element, "AutoRove");
        record.AutoPointName = writejob_ReadString(element, "AutoPointName");
        record.AsBuiltId = load_dbconfig_BuildId(element, "AsBuiltId");
        record.AutoPointIncr = static_cast<int16_t>(writejob_ReadInt(element, "AutoPointIncr"));
        record.QualityControl = load_dbconfig_QualityControl(element, "QualityControl");
        record.DisplayPointType = load_coord_Type(element, "DisplayPointType");
        record.AutoPrecisions = writejob_ReadOptionalBool(element, "AutoPrecisions", false);
        record.StoreRTKFixedOnly = writejob_ReadOptionalBool(element, "StoreRTKFixedOnly", true);
    });
}

void JobWriter::WriteTSReading(const xml_Element* element) {
    writejob_WriteRecord<db_TSReading>(*this, element, "db_TSReading", [&](auto& record) {
        record.ViewBeforeStorage = writejob_ReadBool(element, "ViewBeforeStorage");
        record.AutoPointIncr = static_cast<int16_t>(writejob_ReadInt(element, "AutoPointIncr"));
        record.DisplayPointType = load_coord_Type(element, "DisplayPointType");
    });
}

void JobWriter::WriteL2OTFTimes(const xml_Element* element) {
    WriteOccupationTimes<db_L2OTFTimes>(*this, element, "db_L2OTFTimes");
}

void JobWriter::WriteL1StaticTimes(const xml_Element* element) {
    WriteOccupationTimes<db_L1StaticTimes>(*this, element, "db_L1StaticTimes");
}

void JobWriter::WriteControlTimes(const xml_Element* element) {
    WriteOccupationTimes<db_ControlTimes>(*this, element, "db_ControlTimes");
}

void JobWriter::WriteFSL1Times(const xml_Element* element) {
    WriteOccupationTimes<db_FSL1Times>(*this, element, "db_FSL1Times");
}

void JobWriter::WriteFSL2Times(const xml_Element* element) {
    WriteOccupationTimes<db_FSL2Times>(*this, element, "db_FSL2Times");
}

void JobWriter::WriteNewPtTimes(const xml_Element* element) {
    WriteOccupationTimes<db_NewPtTimes>(*this, element, "db_NewPtTimes");
}

void JobWriter::WriteTolerance(const xml_Element* element) {
    writejob_WriteRecord<db_Tolerance>(*this, element, "db_Tolerance", [&](auto& record) {
        record.HDist = writejob_ReadDouble(element, "HDist");
        record.VDist = writejob_ReadDouble(element, "VDist");
        record.HAngular = writejob_ReadDouble(element, "HAngular");
        record.VAngular = writejob_ReadDouble(element, "VAngular");
        record.HorzAngle = writejob_ReadDouble(element, "HorzAngle");
        record.VertAngle = writejob_ReadDouble(element, "VertAngle");
        record.SlopeDistance = writejob_ReadDouble(element, "SlopeDistance");
        record.AutoAverage = writejob_ReadOptionalBool(element, "AutoAverage", false);
        record.AutoAverageMaxHorizResidual =
            writejob_ReadOptionalDouble(element, "AutoAverageMaxHorizResidual", record.AutoAverageMaxHorizResidual);
        record.AutoAverageMaxVertResidual =
            writejob_ReadOptionalDouble(element, "AutoAverageMaxVertResidual", record.AutoAverageMaxVertResidual);
    });
}

void JobWriter::WriteContPoints(const xml_Element* element) {
    writejob_WriteRecord<db_ContinuousPoints>(*this, element, "db_ContinuousPoints", [&](auto& record) {
        record.QualityControl = load_dbconfig_QualityControl(element, "QualityControl");
        record.HorzPrec = writejob_ReadDouble(element, "HorzPrec");
        record.VertPrec = writejob_ReadDouble(element, "VertPrec");
        record.AutoPrecisions = writejob_ReadOptionalBool(element, "AutoPrecisions", false);
        record.LowLatencyRTK = writejob_ReadOptionalBool(element, "LowLatencyRTK", true);
        record.StoreRTKFixedOnly = writejob_ReadOptionalBool(element, "StoreRTKFixedOnly", true);
    });
}

void JobWriter::WriteFastStatic(const xml_Element* element) {
    writejob_WriteRecord<db_FastStatic>(*this, element, "db_FastStatic", [&](auto& record) {
        record.AutoRove = writejob_ReadBool(element, "AutoRove");
        writejob_ReadInitTimes(element, "L1Times", record.L1Times);
        writejob_ReadInitTimes(element, "L1L2Times", record.L1L2Times);
    });
}

void JobWriter::WriteConfigStakeOut(const xml_Element* element) {
    writejob_WriteRecord<db_StakeOut>(*this, element, "db_StakeOut", [&](auto& record) {
        record.DistanceType = load_coordsys_CogoDistance(element, "DistanceType");
        record.DisplayPointType = load_coord_Type(element, "DisplayPointType");
        record.DisplayElevToDTM = writejob_ReadBool(element, "DisplayElevToDTM");
        record.TerrainModel = writejob_ReadString(element, "TerrainModel");
        record.VOffsetToDTM = writejob_ReadOptionalDouble(element, "VOffsetToDTM", 0.0);
        record.AsStakedName = load_dbconfig_AsStaked(element, "AsStakedName");
        record.AsStakedCode = load_dbconfig_AsStaked(element, "AsStakedCode");
        record.QualityControl = load_dbconfig_QualityControl(element, "QualityControl");
        record.Duration = writejob_ReadDouble(element, "Duration");
        record.Measurements = Read16(element, "Measurements");
        record.HorzAcc = writejob_ReadDouble(element, "HorzAcc");
        record.VertAcc = writejob_ReadDouble(element, "VertAcc");
        record.AutoFineMode = writejob_ReadOptionalBool(element, "AutoFineMode", false);
        record.PointLabels = load_dbconfig_AsStaked(element, "PointLabels");
        record.OrientTo = load_dbconfig_OrientTo(element, "OrientTo");
        record.GridDeltas = writejob_ReadBool(element, "GridDeltas");
        // The gate looks at the main product's version alone.
        if (!IsMainVersionBelow1245()) {
            record.GPSDeltasPoint = load_optional_dbconfig_DeltasMode(element, "GPSDeltasPoint", kDeltasGrid);
            record.GPSDeltasOther = load_optional_dbconfig_DeltasMode(element, "GPSDeltasOther", kDeltasStationOffset);
            record.TSDeltasPoint = load_optional_dbconfig_DeltasMode(element, "TSDeltasPoint", kDeltasDistance);
            record.TSDeltasOther = load_optional_dbconfig_DeltasMode(element, "TSDeltasOther", kDeltasStationOffset);
        } else {
            record.GPSDeltasPoint = load_optional_dbconfig_DeltasMode(element, "GPSDeltas", kDeltasGrid);
            record.GPSDeltasOther = kDeltasStationOffset;
            record.TSDeltasPoint = load_optional_dbconfig_DeltasMode(element, "TSDeltas", kDeltasDistance);
            record.TSDeltasOther = kDeltasStationOffset;
        }
        record.TSAngleDeltaTolerance = writejob_ReadDouble(element, "TSAngleDeltaTolerance");
        record.TSDistanceDeltaTolerance = writejob_ReadDouble(element, "TSDistanceDeltaTolerance");
        record.MapMode = load_dbconfig_StakeMapMode(element, "MapMode");
        record.TSViewMode = load_dbconfig_TSStakeViewMode(element, "TSViewMode");
        record.DoToleranceCheck = writejob_ReadBool(element, "DoToleranceCheck");
        writejob_ReadStakeTolerance(element, "Tolerance", record.Tolerance);
        record.AutoPointIncr = Read16(element, "AutoPointIncr");
        record.AutoSideSlope = writejob_ReadOptionalBool(element, "AutoSideSlope", true);
        record.PointStakeoutStyleSheet = writejob_ReadString(element, "PointStakeoutStyleSheet");
        record.LineStakeoutStyleSheet = writejob_ReadString(element, "LineStakeoutStyleSheet");
        record.ArcStakeoutStyleSheet = writejob_ReadString(element, "ArcStakeoutStyleSheet");
        record.DTMStakeoutStyleSheet = writejob_ReadString(element, "DTMStakeoutStyleSheet");
        record.RoadStakeoutStyleSheet = writejob_ReadString(element, "RoadStakeoutStyleSheet");
        record.AlignmentStakeoutStyleSheet = writejob_ReadString(element, "AlignmentStakeoutStyleSheet");
        record.RemovePointFromList = writejob_ReadOptionalBool(element, "RemovePointFromList", true);
    });
}

void JobWriter::WriteCheckShot(const xml_Element* element) {
    writejob_WriteRecord<db_CheckShot>(*this, element, "db_CheckShot", [&](auto& record) {
        record.Measurements = Read16(element, "Measurements");
        record.Duration = writejob_ReadDouble(element, "Duration");
        record.HorzAcc = writejob_ReadDouble(element, "HorzAcc");
        record.VertAcc = writejob_ReadDouble(element, "VertAcc");
        record.AutoRove = writejob_ReadBool(element, "AutoRove");
        record.QualityControl = load_dbconfig_QualityControl(element, "QualityControl");
        record.StoreChecks = writejob_ReadBool(element, "StoreChecks");
    });
}

void JobWriter::WriteQuickMark(const xml_Element* element) {
    writejob_WriteRecord<db_QuickMark>(*this, element, "db_QuickMark", [&](auto& record) {
        record.HorzAcc = writejob_ReadDouble(element, "HorzAcc");
        record.VertAcc = writejob_ReadDouble(element, "VertAcc");
        record.QualityControl = load_dbconfig_QualityControl(element, "QualityControl");
        record.AutoPrecisions = writejob_ReadOptionalBool(element, "AutoPrecisions", false);
        record.StoreRTKFixedOnly = writejob_ReadOptionalBool(element, "StoreRTKFixedOnly", true);
    });
}

void JobWriter::WriteRTKCont(const xml_Element* element) {
    writejob_WriteRecord<db_RTKControl>(*this, element, "db_RTKControl", [&](auto& record) {
        record.AutoRove = writejob_ReadBool(element, "AutoRove");
        record.QualityControl = load_dbconfig_QualityControl(element, "QualityControl");
        writejob_ReadInitTimes(element, "PPTimes", record.PPTimes);
        record.Measurements = Read16(element, "Measurements");
        record.HorzAcc = writejob_ReadDouble(element, "HorzAcc");
        record.VertAcc = writejob_ReadDouble(element, "VertAcc");
        record.AutoPrecisions = writejob_ReadOptionalBool(element, "AutoPrecisions", false);
        record.StoreRTKFixedOnly = writejob_ReadOptionalBool(element, "StoreRTKFixedOnly", true);
    });
}

void JobWriter::WritePolarDeltas(const xml_Element* element) {
    writejob_WriteRecord<db_PolarDeltas>(*this, element, "db_PolarDeltas", [&](auto& record) {
        writejob_ReadPolar(element, "Polar", record.Polar);
    });
}
