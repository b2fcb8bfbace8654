// Units, timing and tolerance records: job settings that are flat lists of selectors,
// flags, counts and doubles.
//
//   47 db_Units          units and display formats; 18 selectors (i16). The one
//                        persisted setting of the family that every job must hold,
//                        and the one with logic of its own: FillUnsetFrom.
//   48 db_CoordViewType  the kind of coordinates points are viewed in
//   49 db_Tracking       GNSS tracking modes of the two frequencies
//   52 db_GPSReading     how a GNSS point is measured and stored
//   53 db_TSReading      how a total-station reading is stored
//   56 db_L2OTFTimes  57 db_L1StaticTimes  58 db_ControlTimes  59 db_FSL1Times
//   60 db_FSL2Times   80 db_NewPtTimes     occupation times: one db_InitTimes each,
//                                          differing only in their defaults
//   61 db_Tolerance      distance and angle tolerances, automatic averaging
//   68 db_FastStatic     fast-static times for L1 and for L1 and L2 tracking
//
// Selectors are 32-bit in memory and i16 on disk, read back sign-extended.
#pragma once

#include <cstdint>

#include "foundation/kernel/maths.h"
#include "records/dbRecordFields.h"

// Three occupation times and whether L2 is required; 25 bytes on disk: RequireL2
// bool, TimeFor4SVs, TimeFor5SVs, TimeFor6SVs f64 each (a time may be null).
class db_InitTimes {
public:
    db_InitTimes() = default;
    db_InitTimes(bool requireL2, double timeFor4SVs, double timeFor5SVs, double timeFor6SVs)
        : RequireL2(requireL2), TimeFor4SVs(timeFor4SVs), TimeFor5SVs(timeFor5SVs), TimeFor6SVs(timeFor6SVs) {}

    void Write(WriteBuffer& buffer) const;
    void Read(ReadBuffer& buffer, int& byteOffset);
    bool IsEqual(const db_InitTimes& other) const;

    bool RequireL2 = false;
    double TimeFor4SVs = 0.0;
    double TimeFor5SVs = 0.0;
    double TimeFor6SVs = 0.0;

    using I = db_InitTimes;
    using Fields = dbfield_List<dbfield_Bool<&I::RequireL2>, dbfield_F64<&I::TimeFor4SVs>,
                                dbfield_F64<&I::TimeFor5SVs>, dbfield_F64<&I::TimeFor6SVs>>;
};

// Units and display formats. Each selector that FillUnsetFrom completes has an unset
// value (UNITS_None 47 for the units, the NULL member of its dbconfig enumeration for
// the others); CoordOrder and the four display formats after DMSAngleDisplay are
// never taken over.
class db_Units : public dbRecord_Body<db_Units> {
public:
    static constexpr database_RecordType RecordType = DATABASE_UnitsRecord;
    static constexpr int32_t UnitsNone = 47;

    // A copy of this record whose unset selectors are taken from fromUnits, owned by
    // the caller; null when that would change nothing. A record of another type is
    // reported ("fromUnits") and gives null, read from nothing.
    dbRecord_Class* FillUnsetFrom(const dbRecord_Class& fromUnits) const override;

    int32_t VerticalUnits = 0;          // units_Type: UNITS_Meters
    int32_t HorizontalUnits = 0;        // UNITS_Meters
    int32_t AngleUnits = 14;            // UNITS_Ddmmss
    int32_t LatLongUnits = 14;          // UNITS_Ddmmss
    int32_t VelocityUnits = 20;         // UNITS_MeterPerSecond
    int32_t CoordOrder = 0;             // dbconfig_CoordOrder: DBCONFIG_NEElev
    int32_t TemperatureUnits = 28;      // UNITS_Celcius
    int32_t PressureUnits = 30;         // UNITS_MilliBar
    int32_t Grade = 26;                 // UNITS_Percentage
    int32_t AreaUnits = 36;             // UNITS_SqMetres
    int32_t Stationing = 2;             // dbconfig_Stationing: DBCONFIG_StationingThousands
    int32_t LaserVA = 0;                // dbconfig_LaserVA: DBCONFIG_ZenithAngle
    int32_t GPSTimeDisplay = 0;         // dbconfig_GPSTimeDisplay: DBCONFIG_DateTime
    int32_t DMSAngleDisplay = 1;        // dbconfig_DMSAngleDisplay: DBCONFIG_DMSAngleDisplay1
    int32_t DecAngleDisplay = 1;        // dbconfig_DecAngleDisplay: DBCONFIG_DecAngleDisplay00001
    int32_t DistanceDisplay = 2;        // dbconfig_DistanceDisplay: DBCONFIG_DistanceDisplay0001
    int32_t CoordinateDisplay = 2;      // dbconfig_DistanceDisplay: DBCONFIG_DistanceDisplay0001
    int32_t AzimuthFormat = 0;          // dbconfig_AzimuthFormat: DBCONFIG_AzimuthFormatAzimuth

    using R = db_Units;
    using Fields = dbfield_List<
        dbfield_I16<&R::VerticalUnits>, dbfield_I16<&R::HorizontalUnits>, dbfield_I16<&R::AngleUnits>,
        dbfield_I16<&R::LatLongUnits>, dbfield_I16<&R::VelocityUnits>, dbfield_I16<&R::CoordOrder>,
        dbfield_I16<&R::TemperatureUnits>, dbfield_I16<&R::PressureUnits>, dbfield_I16<&R::Grade>,
        dbfield_I16<&R::AreaUnits>, dbfield_I16<&R::Stationing>, dbfield_I16<&R::LaserVA>,
        dbfield_I16<&R::GPSTimeDisplay>, dbfield_I16<&R::DMSAngleDisplay>,
        dbfield_I16<&R::DecAngleDisplay>, dbfield_I16<&R::DistanceDisplay>,
        dbfield_I16<&R::CoordinateDisplay>, dbfield_I16<&R::AzimuthFormat>>;
};

class db_CoordViewType : public dbRecord_Body<db_CoordViewType> {
public:
    static constexpr database_RecordType RecordType = DATABASE_CoordViewTypeRecord;

    int32_t CoordType = 4;  // coord_Type: COORD_GridType
    Str LocalReferenceTransformation;

    using R = db_CoordViewType;
    using Fields = dbfield_List<dbfield_I16<&R::CoordType>, dbfield_String<&R::LocalReferenceTransformation>>;
};

class db_Tracking : public dbRecord_Body<db_Tracking> {
public:
    static constexpr database_RecordType RecordType = DATABASE_TrackingRecord;

    int32_t L1Tracking = 7;  // dbconfig_TrackingMode: DBCONFIG_TrackingAuto
    int32_t L2Tracking = 7;

    using R = db_Tracking;
    using Fields = dbfield_List<dbfield_I16<&R::L1Tracking>, dbfield_I16<&R::L2Tracking>>;
};

class db_GPSReading : public dbRecord_Body<db_GPSReading> {
public:
    static constexpr database_RecordType RecordType = DATABASE_GPSReadingRecord;

    uint16_t Measurements = 3;
    double Duration = 5.0;
    double HorzAcc = 0.015;
    double VertAcc = 0.02;
    bool AutoRove = false;
    Str AutoPointName;
    int32_t AsBuiltId = 1;  // dbconfig_BuildId: DBCONFIG_BuildDesign
    int16_t AutoPointIncr = 1;
    int32_t QualityControl = 2;    // dbconfig_QualityControl: DBCONFIG_Qual1and2
    int32_t DisplayPointType = 1;  // coord_Type: COORD_WGS84Type
    bool AutoPrecisions = true;
    bool StoreRTKFixedOnly = true;

    using R = db_GPSReading;
    using Fields = dbfield_List<
        dbfield_U16<&R::Measurements>, dbfield_F64<&R::Duration>, dbfield_F64<&R::HorzAcc>,
        dbfield_F64<&R::VertAcc>, dbfield_Bool<&R::AutoRove>, dbfield_String<&R::AutoPointName>,
        dbfield_I16<&R::AsBuiltId>, dbfield_I16<&R::AutoPointIncr>, dbfield_I16<&R::QualityControl>,
        dbfield_I16<&R::DisplayPointType>, dbfield_Bool<&R::AutoPrecisions>,
        dbfield_Bool<&R::StoreRTKFixedOnly>>;
};

class db_TSReading : public dbRecord_Body<db_TSReading> {
public:
    static constexpr database_RecordType RecordType = DATABASE_TSReadingRecord;

    bool ViewBeforeStorage = true;
    int16_t AutoPointIncr = 1;
    int32_t DisplayPointType = 14;  // coord_Type: COORD_CorrectedType

    using R = db_TSReading;
    using Fields = dbfield_List<dbfield_Bool<&R::ViewBeforeStorage>, dbfield_I16<&R::AutoPointIncr>,
                                dbfield_I16<&R::DisplayPointType>>;
};

// The six occupation-time records: one db_InitTimes, their defaults given by the
// class.
template <class Derived>
class db_OccupationTimes : public dbRecord_Body<Derived> {
public:
    db_InitTimes times = Derived::DefaultTimes();

    using Fields = dbfield_List<dbfield_Value<&db_OccupationTimes::times>>;
};

class db_L2OTFTimes : public db_OccupationTimes<db_L2OTFTimes> {
public:
    static constexpr database_RecordType RecordType = DATABASE_L2OTFTimesRecord;
    static db_InitTimes DefaultTimes() { return {true, MATHS_Null, 900.0, 480.0}; }
};

class db_L1StaticTimes : public db_OccupationTimes<db_L1StaticTimes> {
public:
    static constexpr database_RecordType RecordType = DATABASE_L1StaticTimesRecord;
    static db_InitTimes DefaultTimes() { return {false, 1800.0, 1500.0, 1200.0}; }
};

class db_ControlTimes : public db_OccupationTimes<db_ControlTimes> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ControlTimesRecord;
    static db_InitTimes DefaultTimes() { return {true, 1200.0, 900.0, 480.0}; }
};

class db_FSL1Times : public db_OccupationTimes<db_FSL1Times> {
public:
    static constexpr database_RecordType RecordType = DATABASE_FSL1TimesRecord;
    static db_InitTimes DefaultTimes() { return {}; }
};

class db_FSL2Times : public db_OccupationTimes<db_FSL2Times> {
public:
    static constexpr database_RecordType RecordType = DATABASE_FSL2TimesRecord;
    static db_InitTimes DefaultTimes() { return {}; }
};

class db_NewPtTimes : public db_OccupationTimes<db_NewPtTimes> {
public:
    static constexpr database_RecordType RecordType = DATABASE_NewPtTimesRecord;
    static db_InitTimes DefaultTimes() { return {true, 1200.0, 900.0, 480.0}; }
};

// Angles in radians: 10 and 20 arc-seconds.
class db_Tolerance : public dbRecord_Body<db_Tolerance> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ToleranceRecord;

    double HDist = 0.0;
    double VDist = 0.0;
    double HAngular = 4.84813681109536e-05;
    double VAngular = 9.69627362219072e-05;
    double HorzAngle = 4.84813681109536e-05;
    double VertAngle = 9.69627362219072e-05;
    double SlopeDistance = 0.02;
    bool AutoAverage = false;
    double AutoAverageMaxHorizResidual = 0.01;
    double AutoAverageMaxVertResidual = 0.015;

    using R = db_Tolerance;
    using Fields = dbfield_List<
        dbfield_F64<&R::HDist>, dbfield_F64<&R::VDist>, dbfield_F64<&R::HAngular>, dbfield_F64<&R::VAngular>,
        dbfield_F64<&R::HorzAngle>, dbfield_F64<&R::VertAngle>, dbfield_F64<&R::SlopeDistance>,
        dbfield_Bool<&R::AutoAverage>, dbfield_F64<&R::AutoAverageMaxHorizResidual>,
        dbfield_F64<&R::AutoAverageMaxVertResidual>>;
};

class db_FastStatic : public dbRecord_Body<db_FastStatic> {
public:
    static constexpr database_RecordType RecordType = DATABASE_FastStaticRecord;

    bool AutoRove = false;
    db_InitTimes L1Times{false, 1800.0, 1500.0, 1200.0};
    db_InitTimes L1L2Times{true, 1200.0, 900.0, 480.0};

    using R = db_FastStatic;
    using Fields = dbfield_List<dbfield_Bool<&R::AutoRove>, dbfield_Value<&R::L1Times>,
                                dbfield_Value<&R::L1L2Times>>;
};
