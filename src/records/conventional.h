// Conventional (total-station) instrument records. Each writes the common header and
// then its fields in the order of its list.
//
//   22  db_TotalAtmosphere   the atmospheric corrections in force
//   23  db_TotalBackBearing  the orientation of a set-up to one backsight point
//   24  db_TotalInstrument   the instrument and its settings
//   25  db_TotalStation      one station set-up
//   26  db_DualPrismOffset   an offset point measured with two prisms on one pole
//   127 db_Target            the target (prism) in use
//   128 db_CircularObject    a circular object observed by two readings
//   129 db_RemoteObject      a remote object measured from a base point
//   135 db_AngleOffset       an angle offset of two readings
//
// A target-height block (target and station) is written height f64, method i16,
// horizontal offset f64, vertical offset f64. Reference fields hold a record id (the
// import first stores the XML record ID).
#pragma once

#include <cstdint>

#include "cogo/total_target.h"
#include "foundation/coords/coord.h"
#include "foundation/kernel/maths.h"
#include "records/dbRecordFields.h"
#include "records/dbRecordValues.h"
#include "records/dbid.h"

// The four written values of a total_TargetHeightData.
template <auto... Path>
using dbfield_TargetHeight = dbfield_List<dbfield_F64<Path..., &total_TargetHeightData::Height>,
                                          dbfield_I16<Path..., &total_TargetHeightData::MeasurementMethod>,
                                          dbfield_F64<Path..., &total_TargetHeightData::HorizontalOffset>,
                                          dbfield_F64<Path..., &total_TargetHeightData::VerticalOffset>>;

class db_TotalAtmosphere : public dbRecord_Body<db_TotalAtmosphere> {
public:
    static constexpr database_RecordType RecordType = DATABASE_AtmosphereRecord;

    double Pressure = MATHS_Null;
    double Temperature = MATHS_Null;
    double PPM = 0.0;
    bool ApplyCurvature = true;
    bool ApplyRefraction = true;
    double RefractionCoefficient = 0.142;
    int32_t PressureInputMethod = 0;  // total_AtmosphereMethod

    using R = db_TotalAtmosphere;
    using Fields = dbfield_List<dbfield_F64<&R::Pressure>, dbfield_F64<&R::Temperature>, dbfield_F64<&R::PPM>,
                                dbfield_Bool<&R::ApplyCurvature>, dbfield_Bool<&R::ApplyRefraction>,
                                dbfield_F64<&R::RefractionCoefficient>, dbfield_I16<&R::PressureInputMethod>>;
};

class db_TotalBackBearing : public dbRecord_Body<db_TotalBackBearing> {
public:
    static constexpr database_RecordType RecordType = DATABASE_BackBearingRecord;

    const Str& GetName() const override { return BackSight; }

    Str Station;
    Str BackSight;
    double F1HorzCircle = 0.0;
    double F2HorzCircle = 0.0;
    double OrientationCorrectionStdError = MATHS_Null;

    using R = db_TotalBackBearing;
    using Fields = dbfield_List<dbfield_String<&R::Station>, dbfield_String<&R::BackSight>,
                                dbfield_F64<&R::F1HorzCircle>, dbfield_F64<&R::F2HorzCircle>,
                                dbfield_F64<&R::OrientationCorrectionStdError>>;
};

// Serial-port settings.
struct rs232_Settings {
    int32_t BaudRate = 9600;
    int32_t DataBits = 8;
    int32_t StopBits = 1;
    int32_t Parity = 0;       // rs232_ParityCodes
    int32_t FlowControl = 0;  // rs232_FlowControls
};

// Instrument precisions; null until set.
struct total_Precisions {
    double HAPrecision = MATHS_Null;
    double VAPrecision = MATHS_Null;
    double EDMPrecision = MATHS_Null;
    double EDMppm = MATHS_Null;
};

// total_InstrumentType values the import and the settings tell apart.
inline constexpr int32_t TOTAL_Corvane = 0;
inline constexpr int32_t TOTAL_QuorvelStationC = 4;
inline constexpr int32_t TOTAL_QuorvelStationE = 6;

class db_TotalInstrument : public dbRecord_Body<db_TotalInstrument> {
public:
    static constexpr database_RecordType RecordType = DATABASE_InstrumentRecord;

    db_TotalInstrument() { SetDefaultSettings(); }

    // Every member from Type to OffsetUserPerspective back to its default.
    void SetDefaultSettings();
    // Types 0, 4 and 6: the instruments whose precisions are not edited by default.
    bool IsCorvaneType() const {
        return Type == TOTAL_Corvane || Type == TOTAL_QuorvelStationC || Type == TOTAL_QuorvelStationE;
    }

    int32_t Type;  // total_InstrumentType
    double RefractiveIndex;
    double CarrierWavelength;
    bool HasExtraInfo;
    bool AutolockOffForOffsets;
    int32_t MeasurementMode;  // total_MeasurementMode
    int32_t SetHzCircleMode;  // total_SetHzCircleMode
    int32_t Servo;            // total_ServoOptions
    rs232_Settings PortParam;
    double AnglesOnlyRate;
    bool TurnToZero;
    total_Precisions Precisions;
    double CenteringError;
    int32_t Channel;
    int32_t StationAddress;
    int32_t RemoteAddress;
    uint32_t AverageMeasurements;
    bool AutoMatchedFace1_2;
    bool MeasureDistOnFace2;
    bool StakeUsingTracking;
    bool SendRecordAck;
    bool EditInstrumentPrecisions;
    Str Model;
    Str Serial;
    Str FirmwareVersion;
    uint32_t ModelNumber;
    double InstrumentAppliedHCollimation;
    double InstrumentAppliedVCollimation;
    double TrunionAxisTiltCorrection;
    Str UserDefinedName;
    double InstrumentAppliedAutolockHCollimation;
    double InstrumentAppliedAutolockVCollimation;
    double AtmosphereCorrectionCoeff;
    int32_t OffsetUserPerspective;  // dbconfig_OffsetPerspectiveMode

    using R = db_TotalInstrument;
    using P = rs232_Settings;
    using Q = total_Precisions;
    using Fields = dbfield_List<
        dbfield_I16<&R::Type>, dbfield_F64<&R::RefractiveIndex>, dbfield_F64<&R::CarrierWavelength>,
        dbfield_Bool<&R::HasExtraInfo>, dbfield_Bool<&R::AutolockOffForOffsets>, dbfield_I16<&R::MeasurementMode>,
        dbfield_I16<&R::SetHzCircleMode>, dbfield_I16<&R::Servo>, dbfield_U32<&R::PortParam, &P::BaudRate>,
        dbfield_I16<&R::PortParam, &P::DataBits>, dbfield_I16<&R::PortParam, &P::StopBits>,
        dbfield_I16<&R::PortParam, &P::Parity>, dbfield_I16<&R::PortParam, &P::FlowControl>,
        dbfield_F64<&R::AnglesOnlyRate>, dbfield_Bool<&R::TurnToZero>, dbfield_F64<&R::Precisions, &Q::HAPrecision>,
        dbfield_F64<&R::Precisions, &Q::VAPrecision>, dbfield_F64<&R::Precisions, &Q::EDMPrecision>,
        dbfield_F64<&R::Precisions, &Q::EDMppm>, dbfield_F64<&R::CenteringError>, dbfield_I32<&R::Channel>,
        dbfield_I32<&R::StationAddress>, dbfield_I32<&R::RemoteAddress>, dbfield_U32<&R::AverageMeasurements>,
        dbfield_Bool<&R::AutoMatchedFace1_2>, dbfield_Bool<&R::MeasureDistOnFace2>,
        dbfield_Bool<&R::StakeUsingTracking>, dbfield_Bool<&R::SendRecordAck>,
        dbfield_Bool<&R::EditInstrumentPrecisions>, dbfield_String<&R::Model>, dbfield_String<&R::Serial>,
        dbfield_String<&R::FirmwareVersion>, dbfield_U32<&R::ModelNumber>,
        dbfield_F64<&R::InstrumentAppliedHCollimation>, dbfield_F64<&R::InstrumentAppliedVCollimation>,
        dbfield_F64<&R::TrunionAxisTiltCorrection>, dbfield_String<&R::UserDefinedName>,
        dbfield_F64<&R::InstrumentAppliedAutolockHCollimation>,
        dbfield_F64<&R::InstrumentAppliedAutolockVCollimation>, dbfield_F64<&R::AtmosphereCorrectionCoeff>,
        dbfield_I16<&R::OffsetUserPerspective>>;
};

class db_TotalStation : public dbRecord_Body<db_TotalStation> {
public:
    static constexpr database_RecordType RecordType = DATABASE_StationRecord;

    const Str& GetName() const override { return StationName; }
    // Reports "this->StationName.Length() > 0" for an unnamed station and writes it
    // all the same.
    void Write(WriteBuffer& buffer) const override;

    Str StationName;
    total_TargetHeightData TheodoliteHeight;  // the instrument height as measured
    DBID Instrument;
    DBID Atmosphere;
    uint32_t NumberOfBacksightObservations = 0;
    uint32_t NumberOfUniqueBacksights = 0;
    int32_t ScaleType = 0;  // total_ScaleFactorType
    double ScaleFactor = 1.0;
    double ScaleFactorStdError = MATHS_Null;
    int32_t StationType = 0;  // total_StationType

    using R = db_TotalStation;
    using Fields = dbfield_List<dbfield_String<&R::StationName>, dbfield_TargetHeight<&R::TheodoliteHeight>,
                                dbfield_Id<&R::Instrument>, dbfield_Id<&R::Atmosphere>,
                                dbfield_U32<&R::NumberOfBacksightObservations>,
                                dbfield_U32<&R::NumberOfUniqueBacksights>, dbfield_I16<&R::ScaleType>,
                                dbfield_F64<&R::ScaleFactor>, dbfield_F64<&R::ScaleFactorStdError>,
                                dbfield_I16<&R::StationType>>;
};

// The constants of a dual-prism pole; equal when all six are exactly equal.
class db_DualPrismConstants {
public:
    virtual ~db_DualPrismConstants() = default;

    void Write(WriteBuffer& buffer) const { Fields::Write(*this, buffer); }
    void Read(ReadBuffer& buffer, int& byteOffset) { Fields::Read(*this, buffer, byteOffset); }
    virtual bool IsEqual(const db_DualPrismConstants& other) const { return Fields::Equal(*this, other); }

    double PrismConstantA = MATHS_Null;
    double PrismConstantB = MATHS_Null;
    double DistanceAB = MATHS_Null;
    double DistanceBC = MATHS_Null;
    double ToleranceAB = 0.003;
    double CalculatedDistanceAB = MATHS_Null;

    using R = db_DualPrismConstants;
    using Fields = dbfield_List<dbfield_F64<&R::PrismConstantA>, dbfield_F64<&R::PrismConstantB>,
                                dbfield_F64<&R::DistanceAB>, dbfield_F64<&R::DistanceBC>,
                                dbfield_F64<&R::ToleranceAB>, dbfield_F64<&R::CalculatedDistanceAB>>;
};

class db_DualPrismOffset : public dbRecord_Body<db_DualPrismOffset> {
public:
    static constexpr database_RecordType RecordType = DATABASE_DualPrismOffsetRecord;

    coord_Circle PrismAObservation;
    coord_Circle PrismBObservation;
    db_DualPrismConstants Constants;

    using R = db_DualPrismOffset;
    using Fields = dbfield_List<dbfield_Circle<&R::PrismAObservation>, dbfield_Circle<&R::PrismBObservation>,
                                dbfield_Value<&R::Constants>>;
};

class db_Target : public dbRecord_Body<db_Target> {
public:
    static constexpr database_RecordType RecordType = DATABASE_TargetRecord;

    db_Target() {
        Target.TargetHeightData.Clear();
        Target.Prism.PrismConstant = 0.0;
    }

    const Str& GetName() const override { return Name; }

    Str Name = "Unnamed";
    bool IsDR = false;
    total_Target Target;
    bool IsDualPrism = false;

    using R = db_Target;
    using T = total_Target;
    // On disk the prism type comes before its constant; constants closer than the
    // prism tolerance are equal.
    using Fields = dbfield_List<
        dbfield_String<&R::Name>, dbfield_Bool<&R::IsDR>, dbfield_TargetHeight<&R::Target, &T::TargetHeightData>,
        dbfield_I32<&R::Target, &T::Prism, &total_Prism::PrismType>,
        dbfield_Tolerance<dbfield_F64<&R::Target, &T::Prism, &total_Prism::PrismConstant>,
                          TOTAL_PrismConstantTolerance>,
        dbfield_I32<&R::Target, &T::RMTID>, dbfield_I32<&R::Target, &T::CorvaneCheckTargetID>,
        dbfield_Bool<&R::IsDualPrism>>;
};

class db_CircularObject : public dbRecord_Body<db_CircularObject> {
public:
    static constexpr database_RecordType RecordType = DATABASE_CircularObjectRecord;

    coord_Circle FirstRawObservation;
    coord_Circle SecondRawObservation;
    double Radius = MATHS_Null;

    using R = db_CircularObject;
    using Fields = dbfield_List<dbfield_Circle<&R::FirstRawObservation>, dbfield_Circle<&R::SecondRawObservation>,
                                dbfield_F64<&R::Radius>>;
};

class db_RemoteObject : public dbRecord_Body<db_RemoteObject> {
public:
    static constexpr database_RecordType RecordType = DATABASE_RemoteObjectRecord;

    coord_Circle RawObservation;
    double ObjectHeight = MATHS_Null;
    double ObjectWidth = MATHS_Null;
    Str ROBasePointName;
    DBID ROBasePointID;

    using R = db_RemoteObject;
    using Fields = dbfield_List<dbfield_Circle<&R::RawObservation>, dbfield_F64<&R::ObjectHeight>,
                                dbfield_F64<&R::ObjectWidth>, dbfield_String<&R::ROBasePointName>,
                                dbfield_Id<&R::ROBasePointID>>;
};

class db_AngleOffset : public dbRecord_Body<db_AngleOffset> {
public:
    static constexpr database_RecordType RecordType = DATABASE_AngleOffsetRecord;

    DBID FirstRawObservationTarget;
    coord_Circle FirstRawObservation;
    coord_Circle SecondRawObservation;

    using R = db_AngleOffset;
    using Fields = dbfield_List<dbfield_Id<&R::FirstRawObservationTarget>, dbfield_Circle<&R::FirstRawObservation>,
                                dbfield_Circle<&R::SecondRawObservation>>;
};
