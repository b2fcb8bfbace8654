// The GNSS record elements (see writejob_gnss.h).
#include "import/writejob_gnss.h"

#include <cstdint>

#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "import/writejob_handler.h"
#include "records/gnssquality.h"
#include "records/gnsssettings.h"
#include "vocabulary/dbField.h"

namespace {

uint16_t Read16(const xml_Element* element, writejob_ChildName childName) {
    return static_cast<uint16_t>(writejob_ReadHexOrDecimal(element, childName));
}

}  // namespace

void writejob_ReadGPSTime(const xml_Element* element, writejob_ChildName groupName, db_GPSTime& value) {
    const xml_Element* group = element->FindChild(groupName.View());
    if (!group) {
        value.Week = 0;
        value.Time = MATHS_Null;
        return;
    }
    value.Week = Read16(group, "Week");
    value.Time = writejob_ReadDouble(group, "Time");
}

void writejob_ReadContParameters(const xml_Element* element, writejob_ChildName groupName, db_ContParams& value) {
    const xml_Element* group = element->FindChild(groupName.View());
    if (!group) {
        // Method and ContMethod keep the record's values.
        value.TriggerDistance = value.Interval = MATHS_Null;
        value.StopTime = 1.0;
        value.LeftHorz = value.LeftVert = value.RightHorz = value.RightVert = MATHS_Null;
        value.EchoLatency = MATHS_Null;
        return;
    }
    value.Method = load_dbgps_ContMethod(group, "Method");
    value.TriggerDistance = writejob_ReadDouble(group, "TriggerDistance");
    value.Interval = writejob_ReadDouble(group, "Interval");
    value.StopTime = writejob_ReadOptionalDouble(group, "StopTime", 1.0);
    value.ContMethod = load_dbgps_ContOffsetOption(group, "ContMethod");
    value.LeftHorz = writejob_ReadDouble(group, "LeftHorz");
    value.LeftVert = writejob_ReadDouble(group, "LeftVert");
    value.RightHorz = writejob_ReadDouble(group, "RightHorz");
    value.RightVert = writejob_ReadDouble(group, "RightVert");
    value.EchoLatency = writejob_ReadOptionalDouble(group, "EchoLatency", MATHS_Null);
}

void writejob_ReadSurveyStyle(db_Survey& record, const xml_Element* element) {
    record.SetNotes(writejob_ReadNotes(element, "Note"));
    record.SurveyType = load_dbgps_SurveyType(element, "SurveyType");
    record.LoggingDevice = load_dbgps_LoggingDevice(element, "LoggingDevice");
    record.RTCMAgeLimit = load_dbgps_RTCMAgeLimit(element, "RTCMAgeLimit");
    record.AutoFilenames = writejob_ReadBool(element, "AutoFilenames");
    record.Filename = writejob_ReadString(element, "Filename");
    record.PPEpochInterval = writejob_ReadDouble(element, "PPEpochInterval");
    record.RTEpochInterval = writejob_ReadDouble(element, "RTEpochInterval");
    record.Application = load_dbgps_RTKApplication(element, "Application");
    record.RecordType = load_dbgps_RTKRecordType(element, "RecordType");
    record.PosStoreType = load_optional_dbgps_VRSStoreType(element, "PosStoreType", 0);
    record.SatDiffCorrection = load_optional_dbgps_SatDiffCorrection(element, "SatDiffCorrection", 0);
    record.IgnoreSatDiffHealth = writejob_ReadOptionalBool(element, "IgnoreSatDiffHealth", false);
    record.OutputCode = writejob_ReadBool(element, "OutputCode");
    record.INSPositionType = load_dbgps_INSPositionType(element, "INSPositionType");
    record.ECodeRovers = writejob_ReadBool(element, "ECodeRovers");
    record.StationIndex = Read16(element, "StationIndex");
    record.PromptForIndex = writejob_ReadBool(element, "PromptForIndex");
    record.ElevationMask = writejob_ReadDouble(element, "ElevationMask");
    record.PDOPMask = writejob_ReadDouble(element, "PDOPMask");
    record.L2CEnabled = writejob_ReadOptionalBool(element, "L2CEnabled", false);
    record.GlonassEnabled = writejob_ReadOptionalBool(element, "GlonassEnabled", false);
    record.GalileoEnabled = writejob_ReadOptionalBool(element, "GalileoEnabled", false);
    record.L5Enabled = writejob_ReadOptionalBool(element, "L5Enabled", false);
    record.L2eEnabled = writejob_ReadOptionalBool(element, "L2eEnabled", true);
    record.G1PTracked = writejob_ReadOptionalBool(element, "G1PTracked", false);
    record.RxQuorvelSeriesBase = writejob_ReadOptionalBool(element, "RxQuorvelSeriesBase", false);
    record.AntennaNumber = writejob_ReadInt(element, "AntennaNumber");
    record.AntennaMethod = writejob_ReadInt(element, "AntennaMethod");
    record.AntennaSerialNo = writejob_ReadString(element, "AntennaSerialNo");
    record.Approved = writejob_ReadBool(element, "Approved");
    record.FixedStyle = writejob_ReadBool(element, "FixedStyle");
    record.MeasuredHeight = writejob_ReadDouble(element, "MeasuredHeight");
    record.AntennaFileName = writejob_ReadString(element, "AntennaFileName");
}

void JobWriter::ReadRadio(const xml_Element* element, db_Radio& record) const {
    record.RadioType = load_dbgps_RadioType(element, "RadioType");
    record.Subtype = load_optional_dbgps_eRadioSubtype(element, "Subtype", 0);
    record.ControllerPort = load_optional_rs232_Ports(element, "ControllerPort", 0);
    record.Port = load_dbgps_ReceiverPort(element, "Port");
    record.BaudRate = static_cast<uint32_t>(writejob_ReadHexOrDecimal(element, "BaudRate"));
    record.Parity = load_rs232_ParityCodes(element, "Parity");
    record.CTSEnabled = writejob_ReadBool(element, "CTSEnabled");
    record.RXChannel = Read16(element, "RXChannel");
    record.TXChannel = Read16(element, "TXChannel");
    record.HomeAddress = Read16(element, "HomeAddress");
    record.DestAddress = Read16(element, "DestAddress");
    record.ReportDelay = Read16(element, "ReportDelay");
    record.CustomPort = load_dbgps_ReceiverPort(element, "CustomPort");
    record.CustomBaudRate = static_cast<uint32_t>(writejob_ReadHexOrDecimal(element, "CustomBaudRate"));
    record.CustomParity = load_rs232_ParityCodes(element, "CustomParity");
    record.CustomCTSEnabled = writejob_ReadBool(element, "CustomCTSEnabled");
    record.PacCrestBaudRate = static_cast<uint32_t>(writejob_ReadHexOrDecimal(element, "PacCrestBaudRate"));
    record.PacCrestParity = load_rs232_ParityCodes(element, "PacCrestParity");
    record.PadrigoBaudRate = static_cast<uint32_t>(writejob_ReadOptionalHexOrDecimal(element, "PadrigoBaudRate", 38400));
    record.PadrigoParity = load_optional_rs232_ParityCodes(element, "PadrigoParity", 0);
    record.ModemPort = load_dbgps_ReceiverPort(element, "ModemPort");
    record.ModemBaudRate = static_cast<uint32_t>(writejob_ReadHexOrDecimal(element, "ModemBaudRate"));
    record.ModemParity = load_rs232_ParityCodes(element, "ModemParity");
    record.ModemCTSEnabled = writejob_ReadBool(element, "ModemCTSEnabled");
    if (IsVersionFrom(1130, 500)) {
        record.DialProfileName = writejob_ReadString(element, "DialProfileName");
        record.PromptForDialProfile = writejob_ReadOptionalBool(element, "PromptForDialProfile", false);
    }
    record.Approved = writejob_ReadOptionalBool(element, "Approved", false);
    record.StreamFromQZ = writejob_ReadOptionalBool(element, "StreamFromQZ", false);
    record.DataThrottling = load_optional_dbgps_Throttling(element, "DataThrottling", 4);
    if (IsVersionFrom(1200, 500)) record.BluetoothAddress = writejob_ReadString(element, "BluetoothAddress");
}

namespace {

// The rover and base classes share one body and differ only in their defaults.
template <class R>
void WriteGnssSurveyStyle(JobWriter& writer, const xml_Element* element, const char* recName) {
    R record;
    writejob_ReadSurveyStyle(record, element);
    writejob_CheckRecAttribute(element, recName);
    writer.StoreRecord(element, &record);
}

template <class R>
void WriteRadio(JobWriter& writer, const xml_Element* element, const char* recName) {
    writejob_WriteRecord<R>(writer, element, recName, [&](R& record) { writer.ReadRadio(element, record); });
}

}  // namespace

// The handlers: read, check "rec", store. The references (an antenna's equipment, a
// reference's antenna, a post-processing log's previous record and antenna) hold XML
// IDs until the second pass.

void JobWriter::WriteQC1(const xml_Element* element) {
    writejob_WriteRecord<db_QC1>(*this, element, "db_QC1", [&](auto& record) {
        record.NumberOfSVs = Read16(element, "NumberOfSVs");
        record.RelativeDOPs = writejob_ReadBool(element, "RelativeDOPs");
        record.PDOP = writejob_ReadDouble(element, "PDOP");
        record.HDOP = writejob_ReadDouble(element, "HDOP");
        record.VDOP = writejob_ReadDouble(element, "VDOP");
        record.RMS = writejob_ReadDouble(element, "RMS");
        record.PositionsUsed = Read16(element, "PositionsUsed");
        record.HorzStandardDeviation = writejob_ReadDouble(element, "HorzStandardDeviation");
        record.VertStandardDeviation = writejob_ReadDouble(element, "VertStandardDeviation");
        writejob_ReadGPSTime(element, "StartTime", record.StartTime);
        writejob_ReadGPSTime(element, "EndTime", record.EndTime);
        record.MonitorState = load_dbgps_MonitorState(element, "MonitorState");
    });
}

void JobWriter::WriteQC2(const xml_Element* element) {
    writejob_WriteRecord<db_QC2>(*this, element, "db_QC2", [&](auto& record) {
        record.NumberOfSVs = Read16(element, "NumberOfSVs");
        record.ErrorScale = writejob_ReadDouble(element, "ErrorScale");
        record.VCVxx = writejob_ReadDouble(element, "VCVxx");
        record.VCVxy = writejob_ReadDouble(element, "VCVxy");
        record.VCVxz = writejob_ReadDouble(element, "VCVxz");
        record.VCVyy = writejob_ReadDouble(element, "VCVyy");
        record.VCVyz = writejob_ReadDouble(element, "VCVyz");
        record.VCVzz = writejob_ReadDouble(element, "VCVzz");
        record.UnitVariance = writejob_ReadOptionalDouble(element, "UnitVariance", MATHS_Null);
    });
}

void JobWriter::WriteQC3(const xml_Element* element) {
    writejob_WriteRecord<db_QC3>(*this, element, "db_QC3", [&](auto& record) {
        record.SigmaNorth = writejob_ReadDouble(element, "SigmaNorth");
        record.SigmaEast = writejob_ReadDouble(element, "SigmaEast");
        record.SigmaElev = writejob_ReadDouble(element, "SigmaElev");
        record.CovarianceNE = writejob_ReadDouble(element, "CovarianceNE");
        record.SemiMajorAxis = writejob_ReadDouble(element, "SemiMajorAxis");
        record.SemiMinorAxis = writejob_ReadDouble(element, "SemiMinorAxis");
        record.Orientation = writejob_ReadDouble(element, "Orientation");
        record.UnitVariance = writejob_ReadDouble(element, "UnitVariance");
    });
}

void JobWriter::WriteEquipment(const xml_Element* element) {
    writejob_WriteRecord<db_Equipment>(*this, element, "db_Equipment", [&](auto& record) {
        record.ReceiverType = writejob_ReadString(element, "ReceiverType");
        record.ReceiverSerialNo = writejob_ReadString(element, "ReceiverSerialNo");
        record.FullReceiverSerialNo = writejob_ReadString(element, "FullReceiverSerialNo");
        record.ReceiverNavVersion = writejob_ReadDouble(element, "ReceiverNavVersion");
        record.AntennaName = writejob_ReadString(element, "AntennaName");
        record.AntennaShortName = writejob_ReadString(element, "AntennaShortName");
        record.MeasureMethod = writejob_ReadString(element, "MeasureMethod");
        record.AntennaSerialNo = writejob_ReadString(element, "AntennaSerialNo");
        record.AntennaNumber = writejob_ReadInt(element, "AntennaNumber");
        record.AntennaMethod = writejob_ReadInt(element, "AntennaMethod");
        record.TapeAdjustment = writejob_ReadDouble(element, "TapeAdjustment");
        record.HorizontalOffset = writejob_ReadDouble(element, "HorizontalOffset");
        record.VerticalOffset = writejob_ReadDouble(element, "VerticalOffset");
        record.Derivation = load_DerivationCode(element, "Derivation");
    });
}

void JobWriter::WriteAntenna(const xml_Element* element) {
    writejob_WriteRecord<db_Antenna>(*this, element, "db_Antenna", [&](auto& record) {
        record.MeasuredHeight = writejob_ReadDouble(element, "MeasuredHeight");
        record.APCType = load_dbgps_APCType(element, "APCType");
        record.Equipment = writejob_ReadReference(element, "Equipment");
    });
}

void JobWriter::WriteRoverSurvey(const xml_Element* element) {
    WriteGnssSurveyStyle<db_RoverSurvey>(*this, element, "db_RoverSurvey");
}

void JobWriter::WriteBaseSurvey(const xml_Element* element) {
    WriteGnssSurveyStyle<db_BaseSurvey>(*this, element, "db_BaseSurvey");
}

void JobWriter::WriteSurveyEvent(const xml_Element* element) {
    writejob_WriteRecord<db_SurveyEvent>(*this, element, "db_SurveyEvent", [&](auto& record) {
        record.Event = load_dbgps_SurveyEvent(element, "Event");
    });
}

void JobWriter::WriteContParameters(const xml_Element* element) {
    writejob_WriteRecord<db_ContParameters>(*this, element, "db_ContParameters", [&](auto& record) {
        writejob_ReadContParameters(element, "Params", record.Params);
    });
}

void JobWriter::WriteRoverRadio(const xml_Element* element) {
    WriteRadio<db_RoverRadio>(*this, element, "db_RoverRadio");
}

void JobWriter::WriteBaseRadio(const xml_Element* element) {
    WriteRadio<db_BaseRadio>(*this, element, "db_BaseRadio");
}

void JobWriter::WriteInitialisation(const xml_Element* element) {
    writejob_WriteRecord<db_Initialisation>(*this, element, "db_Initialisation", [&](auto& record) {
        record.InitEvent = load_dbgps_InitEvent(element, "InitEvent");
        writejob_ReadGPSTime(element, "Time", record.Time);
        record.InitType = load_dbgps_InitType(element, "InitType");
        record.InitSystem = load_dbgps_InitSystem(element, "InitSystem");
        record.InitCount = Read16(element, "InitCount");
        record.PointName = writejob_ReadString(element, "PointName");
        record.PlateAzimuth = writejob_ReadDouble(element, "PlateAzimuth");
        record.PlateHDist = writejob_ReadDouble(element, "PlateHDist");
        record.PlateVDist = writejob_ReadDouble(element, "PlateVDist");
    });
}

void JobWriter::WriteReference(const xml_Element* element) {
    writejob_WriteRecord<db_Reference>(*this, element, "db_Reference", [&](auto& record) {
        record.PointName = writejob_ReadString(element, "PointName");
        record.Antenna = writejob_ReadReference(element, "Antenna");
        record.Derivation = load_DerivationCode(element, "Derivation");
    });
}

void JobWriter::WritePostProcess(const xml_Element* element) {
    writejob_WriteRecord<db_PostProcess>(*this, element, "db_PostProcess", [&](auto& record) {
        record.FileName = writejob_ReadString(element, "FileName");
        record.FileStatus = load_dbgps_FileStatus(element, "FileStatus");
        record.Previous = writejob_ReadReference(element, "Previous");
        record.Antenna = writejob_ReadReference(element, "Antenna");
        // A useless log has no start time worth keeping, whatever the export says.
        if (record.FileStatus == 0) {
            record.StartTime = db_GPSTime();
        } else {
            writejob_ReadGPSTime(element, "StartTime", record.StartTime);
        }
    });
}

void JobWriter::WriteNTRIPDataSource(const xml_Element* element) {
    db_NTRIPDataSource record;
    record.MountPoint = writejob_ReadString(element, "MountPoint");
    record.DataFormat = writejob_ReadString(element, "DataFormat");
    record.Solution = writejob_ReadString(element, "Solution");
    record.IPAdress = writejob_ReadString(element, "IPAdress");
    record.IPPort = writejob_ReadInt(element, "IPPort");
    writejob_CheckRecAttribute(element, "db_NTRIPDataSource");
    StoreRecord(element, &record);
}
