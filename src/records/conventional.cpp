#include "records/conventional.h"

#include "foundation/environment.h"

namespace {
constexpr const char* kModule = dbRecord_Module;
// Two seconds of arc, in radians.
constexpr double kTwoSeconds = 9.69627362219072e-06;
}  // namespace

void db_TotalInstrument::SetDefaultSettings() {
    Type = 38;
    RefractiveIndex = 270.0;
    CarrierWavelength = 79.167;
    HasExtraInfo = true;
    AutolockOffForOffsets = true;
    MeasurementMode = 0;
    SetHzCircleMode = 0;
    Servo = 2;
    PortParam = rs232_Settings();
    AnglesOnlyRate = 2.0;
    TurnToZero = false;
    Precisions.HAPrecision = kTwoSeconds;
    Precisions.VAPrecision = kTwoSeconds;
    Precisions.EDMPrecision = 0.002;
    Precisions.EDMppm = 2.0;
    CenteringError = 0.002;
    Channel = 0;
    StationAddress = -1;
    RemoteAddress = -1;
    AverageMeasurements = 3;
    AutoMatchedFace1_2 = false;
    MeasureDistOnFace2 = true;
    StakeUsingTracking = true;
    SendRecordAck = false;
    EditInstrumentPrecisions = false;
    Model = Str();
    Serial = Str();
    FirmwareVersion = Str();
    ModelNumber = 0;
    InstrumentAppliedHCollimation = MATHS_Null;
    InstrumentAppliedVCollimation = MATHS_Null;
    TrunionAxisTiltCorrection = MATHS_Null;
    UserDefinedName = Str();
    InstrumentAppliedAutolockHCollimation = MATHS_Null;
    InstrumentAppliedAutolockVCollimation = MATHS_Null;
    AtmosphereCorrectionCoeff = MATHS_Null;
    OffsetUserPerspective = 0;
}

void db_TotalStation::Write(WriteBuffer& buffer) const {
    QZ_ASSERT(this->StationName.Length() > 0);
    dbRecord_Body<db_TotalStation>::Write(buffer);
}
