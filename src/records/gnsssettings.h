// GNSS radio, survey style and equipment records: how a GNSS survey is set up.
//
//   41  db_Equipment         the receiver and antenna in use
//   42  db_Antenna           an antenna set-up: measured height, method, its equipment
//   43  db_RoverSurvey       the rover's survey style     } over db_Survey
//   44  db_BaseSurvey        the base's survey style      }
//   46  db_ContParameters    continuous point logging parameters
//   54  db_RoverRadio        the rover's radio link       } over db_Radio
//   55  db_BaseRadio         the base's radio link        }
//   143 db_NTRIPDataSource   an NTRIP correction source
//
// db_Radio and db_Survey are bases that are never made on their own. Each keeps the
// code of the concrete class in a member that is never written (163, no record type,
// until the derived constructor sets its own), and adds a virtual assignment that takes
// the source's code, header and fields. The rover and base classes differ only in
// their defaults.
//
// Disk order differs from memory order in two places: db_Survey writes GalileoEnabled
// last, after AntennaFileName, and db_ContParameters writes ContMethod after StopTime.
// Enumeration selectors are held as int32_t and written as i16; u16 and u32 fields are
// held unsigned at their width.
#pragma once

#include <cstdint>

#include "foundation/kernel/maths.h"
#include "records/dbRecordFields.h"
#include "records/dbRecordValues.h"

class db_Radio : public dbRecord_Class {
public:
    // The concrete type code.
    database_RecordType GetType() const override { return _Type; }
    // Nothing on self-assignment; otherwise the source's type code, header and fields.
    virtual db_Radio& operator=(const db_Radio& source);

    int32_t RadioType = 3;          // dbgps_RadioType
    int32_t Subtype = 0;            // dbgps_eRadioSubtype
    int32_t ControllerPort = 0;     // rs232_Ports
    int32_t Port = 2;               // dbgps_ReceiverPort
    uint32_t BaudRate = 38400;
    int32_t Parity = 1;             // rs232_ParityCodes
    bool CTSEnabled = false;
    uint16_t RXChannel = 0;
    uint16_t TXChannel = 0;
    uint16_t HomeAddress = 0;
    uint16_t DestAddress = 0;
    uint16_t ReportDelay = 0;
    int32_t CustomPort = 2;         // dbgps_ReceiverPort
    uint32_t CustomBaudRate = 9600;
    int32_t CustomParity = 1;       // rs232_ParityCodes
    bool CustomCTSEnabled = false;
    uint32_t PacCrestBaudRate = 9600;
    int32_t PacCrestParity = 0;     // rs232_ParityCodes
    uint32_t PadrigoBaudRate = 38400;
    int32_t PadrigoParity = 0;      // rs232_ParityCodes
    int32_t ModemPort = 2;          // dbgps_ReceiverPort
    uint32_t ModemBaudRate = 19200;
    int32_t ModemParity = 0;        // rs232_ParityCodes
    bool ModemCTSEnabled = false;
    Str DialProfileName;
    bool Approved = false;
    bool StreamFromQZ = false;
    int32_t DataThrottling = 2;     // dbgps_Throttling
    Str BluetoothAddress;
    bool PromptForDialProfile = false;

    using R = db_Radio;
    using Fields = dbfield_List<
        dbfield_I16<&R::RadioType>, dbfield_I16<&R::Subtype>, dbfield_I16<&R::ControllerPort>,
        dbfield_I16<&R::Port>, dbfield_U32<&R::BaudRate>, dbfield_I16<&R::Parity>, dbfield_Bool<&R::CTSEnabled>,
        dbfield_U16<&R::RXChannel>, dbfield_U16<&R::TXChannel>, dbfield_U16<&R::HomeAddress>,
        dbfield_U16<&R::DestAddress>, dbfield_U16<&R::ReportDelay>, dbfield_I16<&R::CustomPort>,
        dbfield_U32<&R::CustomBaudRate>, dbfield_I16<&R::CustomParity>, dbfield_Bool<&R::CustomCTSEnabled>,
        dbfield_U32<&R::PacCrestBaudRate>, dbfield_I16<&R::PacCrestParity>, dbfield_U32<&R::PadrigoBaudRate>,
        dbfield_I16<&R::PadrigoParity>, dbfield_I16<&R::ModemPort>, dbfield_U32<&R::ModemBaudRate>,
        dbfield_I16<&R::ModemParity>, dbfield_Bool<&R::ModemCTSEnabled>, dbfield_String<&R::DialProfileName>,
        dbfield_Bool<&R::Approved>, dbfield_Bool<&R::StreamFromQZ>, dbfield_I16<&R::DataThrottling>,
        dbfield_String<&R::BluetoothAddress>, dbfield_Bool<&R::PromptForDialProfile>>;

protected:
    db_Radio() = default;
    db_Radio(const db_Radio& other) = default;

    database_RecordType _Type = DATABASE_NoRecordType;
};

class db_RoverRadio : public dbRecord_Body<db_RoverRadio, db_Radio> {
public:
    static constexpr database_RecordType RecordType = DATABASE_RoverRadioRecord;
    db_RoverRadio() { _Type = RecordType; }
};

class db_BaseRadio : public dbRecord_Body<db_BaseRadio, db_Radio> {
public:
    static constexpr database_RecordType RecordType = DATABASE_BaseRadioRecord;
    db_BaseRadio();
};

class db_Survey : public dbRecord_Class {
public:
    database_RecordType GetType() const override { return _Type; }
    virtual db_Survey& operator=(const db_Survey& source);

    // The record when it is a rover or a base survey style, else null.
    static db_Survey* Cast(dbRecord_Class* record);
    static const db_Survey* Cast(const dbRecord_Class* record) {
        return Cast(const_cast<dbRecord_Class*>(record));
    }

    int32_t SurveyType = 0;         // dbgps_SurveyType
    int32_t LoggingDevice = 0;      // dbgps_LoggingDevice
    int32_t RTCMAgeLimit = 1;       // dbgps_RTCMAgeLimit
    bool AutoFilenames = true;
    Str Filename = "gps00001";
    double PPEpochInterval = 1.0;
    double RTEpochInterval = 1.0;
    int32_t Application = 1;        // dbgps_RTKApplication
    // The type constant RecordType of db_RoverSurvey and db_BaseSurvey hides this field
    // there: reach it through a db_Survey.
    int32_t RecordType = 7;         // dbgps_RTKRecordType
    int32_t PosStoreType = 1;       // dbgps_VRSStoreType
    int32_t SatDiffCorrection = 0;  // dbgps_SatDiffCorrection
    bool IgnoreSatDiffHealth = false;
    bool OutputCode = false;
    int32_t INSPositionType = 0;    // dbgps_INSPositionType
    bool ECodeRovers = true;
    uint16_t StationIndex = 65535;
    bool PromptForIndex = true;
    double ElevationMask = 0.17453292519943295;  // 10 degrees
    double PDOPMask = 6.0;
    bool L2CEnabled = true;
    bool GlonassEnabled = true;
    bool GalileoEnabled = false;
    bool L5Enabled = false;
    bool L2eEnabled = true;
    bool G1PTracked = false;
    bool RxQuorvelSeriesBase = false;
    int32_t AntennaNumber = 186;
    int32_t AntennaMethod = 0;
    Str AntennaSerialNo;
    bool Approved = false;
    bool FixedStyle = false;
    double MeasuredHeight = MATHS_Null;
    Str AntennaFileName;

    using R = db_Survey;
    using Fields = dbfield_List<
        dbfield_I16<&R::SurveyType>, dbfield_I16<&R::LoggingDevice>, dbfield_I16<&R::RTCMAgeLimit>,
        dbfield_Bool<&R::AutoFilenames>, dbfield_String<&R::Filename>, dbfield_F64<&R::PPEpochInterval>,
        dbfield_F64<&R::RTEpochInterval>, dbfield_I16<&R::Application>, dbfield_I16<&R::RecordType>,
        dbfield_I16<&R::PosStoreType>, dbfield_I16<&R::SatDiffCorrection>, dbfield_Bool<&R::IgnoreSatDiffHealth>,
        dbfield_Bool<&R::OutputCode>, dbfield_I16<&R::INSPositionType>, dbfield_Bool<&R::ECodeRovers>,
        dbfield_U16<&R::StationIndex>, dbfield_Bool<&R::PromptForIndex>, dbfield_F64<&R::ElevationMask>,
        dbfield_F64<&R::PDOPMask>, dbfield_Bool<&R::L2CEnabled>, dbfield_Bool<&R::GlonassEnabled>,
        dbfield_Bool<&R::L5Enabled>, dbfield_Bool<&R::L2eEnabled>, dbfield_Bool<&R::G1PTracked>,
        dbfield_Bool<&R::RxQuorvelSeriesBase>, dbfield_I16<&R::AntennaNumber>, dbfield_I16<&R::AntennaMethod>,
        dbfield_String<&R::AntennaSerialNo>, dbfield_Bool<&R::Approved>, dbfield_Bool<&R::FixedStyle>,
        dbfield_F64<&R::MeasuredHeight>, dbfield_String<&R::AntennaFileName>,
        // Added to the format after the other signal flags, so it comes last on disk.
        dbfield_Bool<&R::GalileoEnabled>>;

protected:
    db_Survey() = default;
    db_Survey(const db_Survey& other) = default;

    database_RecordType _Type = DATABASE_NoRecordType;
};

class db_RoverSurvey : public dbRecord_Body<db_RoverSurvey, db_Survey> {
public:
    static constexpr database_RecordType RecordType = DATABASE_RoverSurveyRecord;
    db_RoverSurvey() { _Type = RecordType; }
    using dbRecord_Body<db_RoverSurvey, db_Survey>::Cast;
};

class db_BaseSurvey : public dbRecord_Body<db_BaseSurvey, db_Survey> {
public:
    static constexpr database_RecordType RecordType = DATABASE_BaseSurveyRecord;
    db_BaseSurvey();
    using dbRecord_Body<db_BaseSurvey, db_Survey>::Cast;
};

class db_Equipment : public dbRecord_Body<db_Equipment> {
public:
    static constexpr database_RecordType RecordType = DATABASE_EquipmentRecord;

    Str ReceiverType;
    Str ReceiverSerialNo;
    Str FullReceiverSerialNo;
    double ReceiverNavVersion = 0.0;
    Str AntennaName;
    Str AntennaShortName;
    Str MeasureMethod;
    Str AntennaSerialNo;
    int32_t AntennaNumber = 0;
    int32_t AntennaMethod = 0;
    double TapeAdjustment = 0.0;
    double HorizontalOffset = 0.0;
    double VerticalOffset = 0.0;
    uint16_t Derivation = dbRecord_DerivationNone;

    using R = db_Equipment;
    using Fields = dbfield_List<
        dbfield_String<&R::ReceiverType>, dbfield_String<&R::ReceiverSerialNo>,
        dbfield_String<&R::FullReceiverSerialNo>, dbfield_F64<&R::ReceiverNavVersion>,
        dbfield_String<&R::AntennaName>, dbfield_String<&R::AntennaShortName>, dbfield_String<&R::MeasureMethod>,
        dbfield_String<&R::AntennaSerialNo>, dbfield_I16<&R::AntennaNumber>, dbfield_I16<&R::AntennaMethod>,
        dbfield_F64<&R::TapeAdjustment>, dbfield_F64<&R::HorizontalOffset>, dbfield_F64<&R::VerticalOffset>,
        dbfield_U16<&R::Derivation>>;
};

class db_Antenna : public dbRecord_Body<db_Antenna> {
public:
    static constexpr database_RecordType RecordType = DATABASE_AntennaRecord;

    // An edit record's id becomes the equipment link.
    void ApplyDBIDAction(const db_DBID& action) override;

    double MeasuredHeight = 0.0;
    int32_t APCType = 0;  // dbgps_APCType
    DBID Equipment;       // a db_Equipment

    using R = db_Antenna;
    using Fields = dbfield_List<dbfield_F64<&R::MeasuredHeight>, dbfield_I16<&R::APCType>, dbfield_Id<&R::Equipment>>;
};

class db_NTRIPDataSource : public dbRecord_Body<db_NTRIPDataSource> {
public:
    static constexpr database_RecordType RecordType = DATABASE_NTRIPDataSourceRecord;

    Str MountPoint;
    Str DataFormat;
    Str Solution;
    Str IPAdress;
    // Held as 32 bits, written as the low 16 and read back zero-extended, so every port
    // 0..65535 survives a write and read.
    int32_t IPPort = 0;

    using R = db_NTRIPDataSource;
    using Fields = dbfield_List<dbfield_TextNoCase<dbfield_String<&R::MountPoint>>,
                                dbfield_TextNoCase<dbfield_String<&R::DataFormat>>,
                                dbfield_TextNoCase<dbfield_String<&R::Solution>>,
                                dbfield_TextNoCase<dbfield_String<&R::IPAdress>>, dbfield_U16<&R::IPPort>>;
};

// The continuous point logging parameters, a plain value the record writes member by
// member.
struct db_ContParams {
    int32_t Method = 1;      // dbgps_ContMethod
    int32_t ContMethod = 0;  // dbgps_ContOffsetOption
    double TriggerDistance = 1.0;
    double Interval = 1.0;
    double StopTime = 1.0;
    double LeftHorz = 0.0;
    double LeftVert = 0.0;
    double RightHorz = 0.0;
    double RightVert = 0.0;
    double EchoLatency = MATHS_Null;
};

class db_ContParameters : public dbRecord_Body<db_ContParameters> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ContParametersRecord;

    db_ContParams Params;

    using R = db_ContParameters;
    using P = db_ContParams;
    using Fields = dbfield_List<
        dbfield_I16<&R::Params, &P::Method>, dbfield_F64<&R::Params, &P::TriggerDistance>,
        dbfield_F64<&R::Params, &P::Interval>, dbfield_F64<&R::Params, &P::StopTime>,
        dbfield_I16<&R::Params, &P::ContMethod>, dbfield_F64<&R::Params, &P::LeftHorz>,
        dbfield_F64<&R::Params, &P::LeftVert>, dbfield_F64<&R::Params, &P::RightHorz>,
        dbfield_F64<&R::Params, &P::RightVert>, dbfield_F64<&R::Params, &P::EchoLatency>>;
};
