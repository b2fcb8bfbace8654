// GNSS quality, event and post-processing records: what happened during a GNSS survey.
//
//   28 db_QC1             satellites, dilutions of precision, standard deviations and
//                         the time span of a position
//   29 db_QC2             the variance-covariance matrix of a position (upper triangle)
//   30 db_QC3             sigmas, covariance and error ellipse of a position
//   45 db_SurveyEvent     one event of a survey (start, end, abort, ...)
//   63 db_Initialisation  one initialisation of the receiver
//   64 db_Reference       the reference point and the antenna set-up on it
//   65 db_PostProcess     one data file logged for post-processing
//
// A GNSS time is a week number (u16) and seconds of the week (f64), week first.
// Enumeration selectors are held as int32_t and written as i16.
#pragma once

#include <cstdint>

#include "foundation/kernel/maths.h"
#include "records/dbRecordFields.h"
#include "records/dbRecordValues.h"

struct db_GPSTime {
    uint16_t Week = 0;
    double Time = 0.0;
};

class db_QC1 : public dbRecord_Body<db_QC1> {
public:
    static constexpr database_RecordType RecordType = DATABASE_QC1Record;

    uint16_t NumberOfSVs = 0;
    bool RelativeDOPs = false;
    double PDOP = 0.0;
    double HDOP = 0.0;
    double VDOP = 0.0;
    double RMS = 0.0;
    uint16_t PositionsUsed = 0;
    double HorzStandardDeviation = 0.0;
    double VertStandardDeviation = 0.0;
    db_GPSTime StartTime;
    db_GPSTime EndTime;
    int32_t MonitorState = 0;  // dbgps_MonitorState

    using R = db_QC1;
    using T = db_GPSTime;
    using Fields = dbfield_List<
        dbfield_U16<&R::NumberOfSVs>, dbfield_Bool<&R::RelativeDOPs>, dbfield_F64<&R::PDOP>, dbfield_F64<&R::HDOP>,
        dbfield_F64<&R::VDOP>, dbfield_F64<&R::RMS>, dbfield_U16<&R::PositionsUsed>,
        dbfield_F64<&R::HorzStandardDeviation>, dbfield_F64<&R::VertStandardDeviation>,
        dbfield_U16<&R::StartTime, &T::Week>, dbfield_F64<&R::StartTime, &T::Time>,
        dbfield_U16<&R::EndTime, &T::Week>, dbfield_F64<&R::EndTime, &T::Time>, dbfield_I16<&R::MonitorState>>;
};

class db_QC2 : public dbRecord_Body<db_QC2> {
public:
    static constexpr database_RecordType RecordType = DATABASE_QC2Record;

    uint16_t NumberOfSVs = 0;
    double ErrorScale = 0.0;
    double VCVxx = 0.0;
    double VCVxy = 0.0;
    double VCVxz = 0.0;
    double VCVyy = 0.0;
    double VCVyz = 0.0;
    double VCVzz = 0.0;
    double UnitVariance = MATHS_Null;

    using R = db_QC2;
    using Fields = dbfield_List<dbfield_U16<&R::NumberOfSVs>, dbfield_F64<&R::ErrorScale>, dbfield_F64<&R::VCVxx>,
                                dbfield_F64<&R::VCVxy>, dbfield_F64<&R::VCVxz>, dbfield_F64<&R::VCVyy>,
                                dbfield_F64<&R::VCVyz>, dbfield_F64<&R::VCVzz>, dbfield_F64<&R::UnitVariance>>;
};

class db_QC3 : public dbRecord_Body<db_QC3> {
public:
    static constexpr database_RecordType RecordType = DATABASE_QC3Record;

    double SigmaNorth = 0.0;
    double SigmaEast = 0.0;
    double SigmaElev = 0.0;
    double CovarianceNE = 0.0;
    double SemiMajorAxis = 0.0;
    double SemiMinorAxis = 0.0;
    double Orientation = 0.0;
    double UnitVariance = 0.0;  // unlike db_QC2's, not null

    using R = db_QC3;
    using Fields = dbfield_List<dbfield_F64<&R::SigmaNorth>, dbfield_F64<&R::SigmaEast>, dbfield_F64<&R::SigmaElev>,
                                dbfield_F64<&R::CovarianceNE>, dbfield_F64<&R::SemiMajorAxis>,
                                dbfield_F64<&R::SemiMinorAxis>, dbfield_F64<&R::Orientation>,
                                dbfield_F64<&R::UnitVariance>>;
};

class db_SurveyEvent : public dbRecord_Body<db_SurveyEvent> {
public:
    static constexpr database_RecordType RecordType = DATABASE_SurveyEventRecord;

    int32_t Event = 0;  // dbgps_SurveyEvent

    using Fields = dbfield_List<dbfield_I16<&db_SurveyEvent::Event>>;
};

class db_Initialisation : public dbRecord_Body<db_Initialisation> {
public:
    static constexpr database_RecordType RecordType = DATABASE_InitialisationRecord;

    int32_t InitEvent = 0;   // dbgps_InitEvent
    db_GPSTime Time;
    int32_t InitType = 0;    // dbgps_InitType
    int32_t InitSystem = 0;  // dbgps_InitSystem
    uint16_t InitCount = 0;
    Str PointName;
    double PlateAzimuth = 0.0;  // radians
    double PlateHDist = 0.0;
    double PlateVDist = 0.0;

    using R = db_Initialisation;
    using T = db_GPSTime;
    using Fields = dbfield_List<
        dbfield_I16<&R::InitEvent>, dbfield_U16<&R::Time, &T::Week>, dbfield_F64<&R::Time, &T::Time>,
        dbfield_I16<&R::InitType>, dbfield_I16<&R::InitSystem>, dbfield_U16<&R::InitCount>,
        dbfield_String<&R::PointName>, dbfield_F64<&R::PlateAzimuth>, dbfield_F64<&R::PlateHDist>,
        dbfield_F64<&R::PlateVDist>>;
};

class db_Reference : public dbRecord_Body<db_Reference> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ReferenceRecord;

    Str PointName;
    DBID Antenna;  // a db_Antenna
    uint16_t Derivation = dbRecord_DerivationNone;

    using R = db_Reference;
    using Fields = dbfield_List<dbfield_String<&R::PointName>, dbfield_Id<&R::Antenna>, dbfield_U16<&R::Derivation>>;
};

class db_PostProcess : public dbRecord_Body<db_PostProcess> {
public:
    static constexpr database_RecordType RecordType = DATABASE_PostProcessRecord;

    Str FileName;
    int32_t FileStatus = 0;  // dbgps_FileStatus
    db_GPSTime StartTime;
    DBID Previous;  // another record
    DBID Antenna;   // a db_Antenna

    // Two logged files are the same file whatever records they link to.
    using R = db_PostProcess;
    using T = db_GPSTime;
    using Fields = dbfield_List<dbfield_String<&R::FileName>, dbfield_I16<&R::FileStatus>,
                                dbfield_U16<&R::StartTime, &T::Week>, dbfield_F64<&R::StartTime, &T::Time>,
                                dbfield_NotCompared<dbfield_Id<&R::Previous>>,
                                dbfield_NotCompared<dbfield_Id<&R::Antenna>>>;
};
