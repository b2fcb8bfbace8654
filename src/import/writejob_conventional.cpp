// The conventional instrument record elements (see writejob_conventional.h).
#include "import/writejob_conventional.h"

#include <cstdint>

#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "import/writejob_groups.h"
#include "import/writejob_handler.h"
#include "records/conventional.h"
#include "records/coordsysstyle.h"
#include "records/laserecho.h"
#include "vocabulary/dbField.h"

void writejob_ReadPortParam(const xml_Element* element, writejob_ChildName groupName, rs232_Settings& value) {
    const xml_Element* group = element->FindChild(groupName.View());
    if (!group) return;
    value.BaudRate = writejob_ReadHexOrDecimal(group, "BaudRate");
    value.DataBits = writejob_ReadInt(group, "DataBits");
    value.StopBits = writejob_ReadInt(group, "StopBits");
    value.Parity = load_rs232_ParityCodes(group, "Parity");
    value.FlowControl = load_rs232_FlowControls(group, "FlowControl");
}

void writejob_ReadInstrumentPrecisions(const xml_Element* element, writejob_ChildName groupName,
                                       total_Precisions& value) {
    const xml_Element* group = element->FindChild(groupName.View());
    if (!group) {
        value = total_Precisions();
        return;
    }
    value.HAPrecision = writejob_GroupDouble(group, "HAPrecision");
    value.VAPrecision = writejob_GroupDouble(group, "VAPrecision");
    value.EDMPrecision = writejob_GroupDouble(group, "EDMPrecision");
    value.EDMppm = writejob_GroupDouble(group, "EDMppm");
}

void writejob_ReadInstrumentRadio(const xml_Element* element, writejob_ChildName groupName,
                                  db_TotalInstrument& value) {
    const xml_Element* group = element->FindChild(groupName.View());
    if (!group) return;
    value.Channel = writejob_ReadInt(group, "Channel");
    value.StationAddress = writejob_ReadInt(group, "StationAddress");
    value.RemoteAddress = writejob_ReadInt(group, "RemoteAddress");
}

namespace {

// The refraction settings an older atmosphere element names in one text.
void ReadOlderRefraction(const xml_Element* element, db_TotalAtmosphere& record) {
    const xml_Element* child = element->FindChild("Refraction");
    if (!child) return;
    const Str& text = child->text;
    if (text == "TOTAL_Refraction0") {
        record.ApplyCurvature = record.ApplyRefraction = false;
        record.RefractionCoefficient = 0.142;
    } else if (text == "TOTAL_Refraction0142") {
        record.ApplyCurvature = record.ApplyRefraction = true;
        record.RefractionCoefficient = 0.142;
    } else if (text == "TOTAL_Refraction02") {
        record.ApplyCurvature = record.ApplyRefraction = true;
        record.RefractionCoefficient = 0.2;
    }
}

// The children every target element reads, in their order. The raw height defaults
// to "TargetHeight"; the four height values are taken as read.
void ReadTargetBody(const xml_Element* element, total_Target& target) {
    const double targetHeight = writejob_ReadDouble(element, "TargetHeight");
    total_TargetHeightData& height = target.TargetHeightData;
    height.MeasurementMethod = load_optional_total_TargetHeightMethod(element, "MeasurementMethod", 0);
    height.Height = writejob_ReadOptionalDouble(element, "RawTargetHeight", targetHeight);
    height.HorizontalOffset = writejob_ReadOptionalDouble(element, "HorizontalOffset", 0.0);
    height.VerticalOffset = writejob_ReadOptionalDouble(element, "VerticalOffset", 0.0);
    target.Prism.PrismType = load_optional_total_PrismTypes(element, "PrismType", -1);
    target.Prism.PrismConstant = writejob_ReadDouble(element, "PrismConstant");
    target.RMTID = load_optional_total_RMTIDs(element, "RMTID", 0);
    target.CorvaneCheckTargetID = load_optional_total_CorvaneTargetIDCheckType(element, "CorvaneCheckTargetID", 0);
}

// A target element without name, IsDR and IsDualPrism children: the name is fixed.
void StoreNamedTarget(JobWriter& writer, const xml_Element* element, const char* name, const char* rec) {
    writejob_WriteRecord<db_Target>(writer, element, rec, [&](db_Target& record) {
        ReadTargetBody(element, record.Target);
        record.Name = name;
        record.IsDR = false;
        record.IsDualPrism = false;
    });
}

struct FixedWavelengths {
    int32_t type;
    double refractiveIndex;
    double carrierWavelength;
};

// The instruments whose refractive index and carrier wavelength are fixed.
constexpr FixedWavelengths kFixedWavelengths[] = {
    {3, 275.54, 79.722},   // TOTAL_QuorvelStationB
    {4, 278.77, 80.653},   // TOTAL_QuorvelStationC
    {6, 274.41, 79.39},    // TOTAL_QuorvelStationE
    {34, 281.8, 79.391},   // TOTAL_ZeissEltaC
    {35, 275.54, 79.722},  // TOTAL_ZeissRecEltaE
};

const FixedWavelengths* FindFixedWavelengths(int32_t type) {
    for (const FixedWavelengths& fixed : kFixedWavelengths)
        if (fixed.type == type) return &fixed;
    return nullptr;
}

}  // namespace

void JobWriter::WriteSurveyStyle(const xml_Element* element) {
    writejob_WriteRecord<db_SurveyStyle>(*this, element, "db_SurveyStyle", [&](auto& record) {
        record.ConfigName = writejob_ReadString(element, "ConfigName");
        record.Device = load_dbqz_PositioningTechnology(element, "Device");
    });
}

void JobWriter::WriteIntegratedStyle(const xml_Element* element) {
    writejob_WriteRecord<db_IntegratedStyle>(*this, element, "db_IntegratedStyle", [&](auto& record) {
        record.IntegratedStyle = writejob_ReadOptionalBool(element, "IntegratedStyle", false);
        record.GPSStyleName = writejob_ReadString(element, "GPSStyleName");
        record.TSStyleName = writejob_ReadString(element, "TSStyleName");
    });
}

void JobWriter::WriteIntegratedTarget(const xml_Element* element) {
    writejob_WriteRecord<db_IntegratedTarget>(*this, element, "db_IntegratedTarget", [&](auto& record) {
        record.OffsetFromCenterOfPrismToAntenna =
            writejob_ReadOptionalDouble(element, "OffsetFromCenterOfPrismToAntenna", MATHS_Null);
    });
}

void JobWriter::WriteLaserBasePoint(const xml_Element* element) {
    writejob_WriteRecord<db_LaserBasePoint>(*this, element, "db_LaserBasePoint", [&](auto& record) {
        record.TheName = writejob_ReadString(element, "TheName");
    });
}

void JobWriter::WriteLaserHeight(const xml_Element* element) {
    writejob_WriteRecord<db_LaserHeight>(*this, element, "db_LaserHeight", [&](auto& record) {
        record.Height = writejob_ReadDouble(element, "Height");
    });
}

void JobWriter::WriteLaserTargetHeight(const xml_Element* element) {
    writejob_WriteRecord<db_LaserTargetHeight>(*this, element, "db_LaserTargetHeight", [&](auto& record) {
        record.Height = writejob_ReadDouble(element, "Height");
    });
}

void JobWriter::WriteLaserConfig(const xml_Element* element) {
    writejob_WriteRecord<db_LaserConfig>(*this, element, "db_LaserConfig", [&](auto& record) {
        record.LaserType = load_dblaser_LaserType(element, "LaserType");
        record.Port = load_rs232_Ports(element, "Port");
        record.BaudRate = static_cast<uint32_t>(writejob_ReadHexOrDecimal(element, "BaudRate"));
        record.DataBits = writejob_ReadInt(element, "DataBits");
        record.StopBits = writejob_ReadInt(element, "StopBits");
        record.Parity = load_rs232_ParityCodes(element, "Parity");
        record.Features = static_cast<uint32_t>(load_dblaser_Features(element, "Features"));
        record.UseFireCommand = writejob_ReadBool(element, "UseFireCommand");
        record.AutoStore = writejob_ReadBool(element, "AutoStore");
        record.AcceptLowQuality = writejob_ReadOptionalBool(element, "AcceptLowQuality", false);
        record.DistancePrecision = writejob_ReadDouble(element, "DistancePrecision");
        record.AzimuthPrecision = writejob_ReadDouble(element, "AzimuthPrecision");
        record.InclinePrecision = writejob_ReadDouble(element, "InclinePrecision");
    });
}

void JobWriter::WriteTarget(const xml_Element* element) {
    writejob_WriteRecord<db_Target>(*this, element, "db_Target", [&](auto& record) {
        record.Name = writejob_ReadString(element, "Name");
        if (record.Name.IsEmpty()) record.Name = "Target 1";
        record.IsDR = writejob_ReadOptionalBool(element, "IsDR", false);
        ReadTargetBody(element, record.Target);
        record.IsDualPrism = writejob_ReadOptionalBool(element, "IsDualPrism", false);
    });
}

void JobWriter::WriteTarget1(const xml_Element* element) {
    StoreNamedTarget(*this, element, "Target 1", "db_TotalTarget1");
}

void JobWriter::WriteTarget2(const xml_Element* element) {
    StoreNamedTarget(*this, element, "Target 2", "db_TotalTarget2");
}

void JobWriter::WriteTargetSystem(const xml_Element* element) {
    StoreNamedTarget(*this, element, "Target (computed)", "db_TotalTargetSystem");
}

void JobWriter::WriteDualPrismOffset(const xml_Element* element) {
    writejob_WriteRecord<db_DualPrismOffset>(*this, element, "db_DualPrismOffset", [&](auto& record) {
        writejob_ReadCircle(element, "PrismAObservation", record.PrismAObservation);
        writejob_ReadCircle(element, "PrismBObservation", record.PrismBObservation);
        db_DualPrismConstants& constants = record.Constants;
        constants.PrismConstantA = writejob_ReadOptionalDouble(element, "PrismConstantA", MATHS_Null);
        constants.PrismConstantB = writejob_ReadOptionalDouble(element, "PrismConstantB", MATHS_Null);
        constants.DistanceAB = writejob_ReadOptionalDouble(element, "DistanceAB", MATHS_Null);
        constants.DistanceBC = writejob_ReadOptionalDouble(element, "DistanceBC", MATHS_Null);
        constants.ToleranceAB = writejob_ReadOptionalDouble(element, "ToleranceAB", 0.02);
        constants.CalculatedDistanceAB = writejob_ReadOptionalDouble(element, "CalculatedDistanceAB", MATHS_Null);
    });
}

void JobWriter::WriteCircularObject(const xml_Element* element) {
    writejob_WriteRecord<db_CircularObject>(*this, element, "db_CircularObject", [&](auto& record) {
        writejob_ReadCircle(element, "FirstRawObservation", record.FirstRawObservation);
        writejob_ReadCircle(element, "SecondRawObservation", record.SecondRawObservation);
        record.Radius = writejob_ReadDouble(element, "Radius");
    });
}

void JobWriter::WriteRemoteObject(const xml_Element* element) {
    writejob_WriteRecord<db_RemoteObject>(*this, element, "db_RemoteObject", [&](auto& record) {
        writejob_ReadCircle(element, "RawObservation", record.RawObservation);
        record.ObjectHeight = writejob_ReadDouble(element, "ObjectHeight");
        record.ObjectWidth = writejob_ReadDouble(element, "ObjectWidth");
        record.ROBasePointName = writejob_ReadString(element, "ROBasePointName");
        record.ROBasePointID = writejob_ReadReference(element, "ROBasePointID");
    });
}

void JobWriter::WriteAngleOffset(const xml_Element* element) {
    writejob_WriteRecord<db_AngleOffset>(*this, element, "db_AngleOffset", [&](auto& record) {
        record.FirstRawObservationTarget = writejob_ReadReference(element, "FirstRawObservationTarget");
        writejob_ReadCircle(element, "FirstRawObservation", record.FirstRawObservation);
        writejob_ReadCircle(element, "SecondRawObservation", record.SecondRawObservation);
    });
}

void JobWriter::WriteAtmosphere(const xml_Element* element) {
    writejob_WriteRecord<db_TotalAtmosphere>(*this, element, "db_TotalAtmosphere", [&](auto& record) {
        record.Pressure = writejob_ReadDouble(element, "Pressure");
        record.Temperature = writejob_ReadDouble(element, "Temperature");
        record.PPM = writejob_ReadDouble(element, "PPM");
        if (IsVersionFrom(1240, 600)) {
            record.ApplyCurvature = writejob_ReadOptionalBool(element, "ApplyCurvature", true);
            record.ApplyRefraction = writejob_ReadOptionalBool(element, "ApplyRefraction", true);
            record.RefractionCoefficient = writejob_ReadOptionalDouble(element, "RefractionCoefficient", 0.142);
        } else {
            ReadOlderRefraction(element, record);
        }
        record.PressureInputMethod = load_optional_total_AtmosphereMethod(element, "PressureInputMethod", 0);
    });
}

void JobWriter::WriteBackBearing(const xml_Element* element) {
    writejob_WriteRecord<db_TotalBackBearing>(*this, element, "db_TotalBackBearing", [&](auto& record) {
        record.Station = writejob_ReadString(element, "Station");
        record.BackSight = writejob_ReadString(element, "BackSight");
        record.F1HorzCircle = writejob_ReadDouble(element, "F1HorzCircle");
        record.F2HorzCircle = writejob_ReadDouble(element, "F2HorzCircle");
        record.OrientationCorrectionStdError =
            writejob_ReadOptionalDouble(element, "OrientationCorrectionStdError", MATHS_Null);
    });
}

void JobWriter::WriteInstrument(const xml_Element* element) {
    writejob_WriteRecord<db_TotalInstrument>(*this, element, "db_TotalInstrument", [&](auto& record) {
        record.Type = load_total_InstrumentType(element, "Type");
        if (const FixedWavelengths* fixed = FindFixedWavelengths(record.Type)) {
            record.RefractiveIndex = fixed->refractiveIndex;
            record.CarrierWavelength = fixed->carrierWavelength;
        } else {
            record.RefractiveIndex = writejob_ReadDouble(element, "RefractiveIndex");
            record.CarrierWavelength = writejob_ReadDouble(element, "CarrierWavelength");
        }
        record.HasExtraInfo = writejob_ReadBool(element, "HasExtraInfo");
        record.AutolockOffForOffsets = writejob_ReadOptionalBool(element, "AutolockOffForOffsets", false);
        record.MeasurementMode = load_total_MeasurementMode(element, "MeasurementMode");
        record.SetHzCircleMode = load_total_SetHzCircleMode(element, "SetHzCircleMode");
        // An absent or empty "AutoTurn" means the instrument turns.
        const xml_Element* autoTurnChild = element->FindChild("AutoTurn");
        const bool autoTurn =
            !autoTurnChild || autoTurnChild->text.IsEmpty() || writejob_ReadBool(element, "AutoTurn");
        record.Servo = autoTurn ? load_total_ServoOptions(element, "Servo") : 2;  // TOTAL_NoServo
        record.AnglesOnlyRate = writejob_ReadDouble(element, "AnglesOnlyRate");
        record.TurnToZero = writejob_ReadBool(element, "TurnToZero");
        record.AverageMeasurements = static_cast<uint32_t>(writejob_ReadInt(element, "AverageMeasurements"));
        record.AutoMatchedFace1_2 = writejob_ReadOptionalBool(element, "AutoMatchedFace1_2", false);
        record.MeasureDistOnFace2 = writejob_ReadOptionalBool(element, "MeasureDistOnFace2", true);
        record.StakeUsingTracking = writejob_ReadOptionalBool(element, "StakeUsingTracking", true);
        record.SendRecordAck = writejob_ReadOptionalBool(element, "SendRecordAck", true);
        writejob_ReadPortParam(element, "PortParam", record.PortParam);
        writejob_ReadInstrumentPrecisions(element, "Precisions", record.Precisions);
        if (IsVersionFrom(1100, 500)) {
            record.CenteringError = writejob_ReadOptionalDouble(element, "CenteringError", 0.0);
        } else {
            const xml_Element* precisions = element->FindChild("Precisions");
            record.CenteringError = precisions ? writejob_ReadOptionalDouble(precisions, "CenteringError", 0.0) : 0.0;
        }
        record.EditInstrumentPrecisions =
            IsVersionFrom(1200, 600) ? writejob_ReadBool(element, "EditInstrumentPrecisions") : !record.IsCorvaneType();
        writejob_ReadInstrumentRadio(element, "Radio", record);
        record.Model = writejob_ReadString(element, "Model");
        record.Serial = writejob_ReadString(element, "Serial");
        record.FirmwareVersion = writejob_ReadString(element, "FirmwareVersion");
        record.ModelNumber = static_cast<uint32_t>(writejob_ReadOptionalHexOrDecimal(element, "ModelNumber", 0));
        record.InstrumentAppliedHCollimation =
            writejob_ReadOptionalDouble(element, "InstrumentAppliedHCollimation", MATHS_Null);
        record.InstrumentAppliedVCollimation =
            writejob_ReadOptionalDouble(element, "InstrumentAppliedVCollimation", MATHS_Null);
        record.TrunionAxisTiltCorrection =
            writejob_ReadOptionalDouble(element, "TrunionAxisTiltCorrection", MATHS_Null);
        record.UserDefinedName = writejob_ReadString(element, "UserDefinedName");
        record.InstrumentAppliedAutolockHCollimation =
            writejob_ReadOptionalDouble(element, "InstrumentAppliedAutolockHCollimation", MATHS_Null);
        record.InstrumentAppliedAutolockVCollimation =
            writejob_ReadOptionalDouble(element, "InstrumentAppliedAutolockVCollimation", MATHS_Null);
        record.AtmosphereCorrectionCoeff =
            writejob_ReadOptionalDouble(element, "AtmosphereCorrectionCoeff", MATHS_Null);
        record.OffsetUserPerspective =
            load_optional_dbconfig_OffsetPerspectiveMode(element, "OffsetUserPerspective", 0);
    });
}

void JobWriter::WriteStation(const xml_Element* element) {
    writejob_WriteRecord<db_TotalStation>(*this, element, "db_TotalStation", [&](auto& record) {
        record.StationName = writejob_ReadString(element, "StationName");
        const double theodoliteHt = writejob_ReadDouble(element, "TheodoliteHt");
        total_TargetHeightData& height = record.TheodoliteHeight;
        height.MeasurementMethod = load_optional_total_TargetHeightMethod(element, "MeasurementMethod", 0);
        height.Height = writejob_ReadOptionalDouble(element, "RawTheodoliteHt", theodoliteHt);
        height.HorizontalOffset = writejob_ReadOptionalDouble(element, "HorizontalOffset", 0.0);
        height.VerticalOffset = writejob_ReadOptionalDouble(element, "VerticalOffset", 0.0);
        record.Instrument = writejob_ReadReference(element, "Instrument");
        record.Atmosphere = writejob_ReadReference(element, "Atmosphere");
        record.NumberOfBacksightObservations =
            static_cast<uint32_t>(writejob_ReadOptionalInt(element, "NumberOfBacksightObservations", 1));
        record.NumberOfUniqueBacksights =
            static_cast<uint32_t>(writejob_ReadOptionalInt(element, "NumberOfUniqueBacksights", 1));
        record.ScaleFactor = writejob_ReadOptionalDouble(element, "ScaleFactor", 1.0);
        record.ScaleType = load_optional_total_ScaleFactorType(element, "ScaleType", 0);
        record.ScaleFactorStdError = writejob_ReadOptionalDouble(element, "ScaleFactorStdError", MATHS_Null);
        record.StationType = load_optional_total_StationType(element, "StationType", 0);
    });
}
