// Precision, coding, meteorological and calibration records.
//
//   31 db_Precision               horizontal and vertical precision
//   40 db_CalibPoint              one calibration point pair: the grid and the WGS-84
//                                 point names, the pair's status and its residuals
//   50 db_Coding                  the feature coding set-up: a comment, the feature
//                                 library and its data dictionary file with a
//                                 checksum, and two attribute switches
//   51 db_DescriptionsDefinition  whether descriptions are used, and their labels
//   62 db_Meterological           pressure, temperatures and humidity
//   76 db_ConfigCalib             site calibration settings and the rule for naming
//                                 calibration points
//
// Coding and descriptions definition are persisted job settings that every job must
// hold; calibration settings are persisted; storing meteorological data makes
// computed positions stale. Coding's three texts compare without regard to ASCII
// case (file names on the device are not case-sensitive); the description labels
// compare exactly.
#pragma once

#include <cstdint>

#include "foundation/kernel/maths.h"
#include "records/calibresiduals.h"
#include "records/dbRecordFields.h"

class db_Precision : public dbRecord_Body<db_Precision> {
public:
    static constexpr database_RecordType RecordType = DATABASE_PrecisionRecord;

    double Horizontal = 0.0;
    double Vertical = 0.0;

    using R = db_Precision;
    using Fields = dbfield_List<dbfield_F64<&R::Horizontal>, dbfield_F64<&R::Vertical>>;
};

class db_Coding : public dbRecord_Body<db_Coding> {
public:
    static constexpr database_RecordType RecordType = DATABASE_CodingRecord;

    Str Comment;
    Str Filename;
    Str DDFFilename;
    uint16_t CheckSum = 0;
    bool AttributesActive = false;
    bool UseAttributesOfBaseCode = false;

    using R = db_Coding;
    using Fields = dbfield_List<dbfield_TextNoCase<dbfield_String<&R::Comment>>,
                                dbfield_TextNoCase<dbfield_String<&R::Filename>>,
                                dbfield_TextNoCase<dbfield_String<&R::DDFFilename>>,
                                dbfield_U16<&R::CheckSum>, dbfield_Bool<&R::AttributesActive>,
                                dbfield_Bool<&R::UseAttributesOfBaseCode>>;
};

class db_DescriptionsDefinition : public dbRecord_Body<db_DescriptionsDefinition> {
public:
    static constexpr database_RecordType RecordType = DATABASE_DescriptionsDefinitionRecord;

    // A copy of label 1 or 2; the empty text for any other number.
    Str GetLabel(int which) const;

    bool UseDescriptions = false;
    Str Description1Label;
    Str Description2Label;

    using R = db_DescriptionsDefinition;
    using Fields = dbfield_List<dbfield_Bool<&R::UseDescriptions>, dbfield_String<&R::Description1Label>,
                                dbfield_String<&R::Description2Label>>;
};

class db_Meterological : public dbRecord_Body<db_Meterological> {
public:
    static constexpr database_RecordType RecordType = DATABASE_MeterologicalRecord;

    double Pressure = 0.0;
    double DryBulbTemperature = 0.0;
    double WetBulbTemperature = 0.0;
    double RelativeHumidity = 0.0;

    using R = db_Meterological;
    using Fields = dbfield_List<dbfield_F64<&R::Pressure>, dbfield_F64<&R::DryBulbTemperature>,
                                dbfield_F64<&R::WetBulbTemperature>, dbfield_F64<&R::RelativeHumidity>>;
};

// How calibration point names are formed from the names they pair.
struct db_CalibPointName {
    int32_t Method = 2;  // dbqz_CalibPointNameMethod: DBQZ_AddSuffixToPointName
    int32_t Constant = 0;
    Str Prefix;
    Str Suffix = "_GNSS";
};

class db_ConfigCalib : public dbRecord_Body<db_ConfigCalib> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ConfigCalibRecord;

    bool FixHorzScaleToOne = false;
    bool FixHorzRotationToZero = false;
    int32_t CalibType = 1;  // dbqz_ObservationType: DBQZ_KinematicPoint
    bool AutoCalibrate = false;
    int32_t VerticalCalibrationMethod = 2;  // dbqz_VerticalCalibrationMethod: DBQZ_InclinedPlane
    double MaxHorzResiduals = 0.01;
    double MaxVertResiduals = 0.02;
    double MaxHorzScale = 1.00001;
    double MinHorzScale = 0.99999;
    double MaxVertIncline = 1e-05;
    db_CalibPointName PointName;

    using R = db_ConfigCalib;
    using N = db_CalibPointName;
    using Fields = dbfield_List<
        dbfield_Bool<&R::FixHorzScaleToOne>, dbfield_Bool<&R::FixHorzRotationToZero>,
        dbfield_I16<&R::CalibType>, dbfield_Bool<&R::AutoCalibrate>,
        dbfield_I16<&R::VerticalCalibrationMethod>, dbfield_F64<&R::MaxHorzResiduals>,
        dbfield_F64<&R::MaxVertResiduals>, dbfield_F64<&R::MaxHorzScale>, dbfield_F64<&R::MinHorzScale>,
        dbfield_F64<&R::MaxVertIncline>, dbfield_I16<&R::PointName, &N::Method>,
        dbfield_I32<&R::PointName, &N::Constant>, dbfield_String<&R::PointName, &N::Prefix>,
        dbfield_String<&R::PointName, &N::Suffix>>;
};

class db_CalibPoint : public dbRecord_Body<db_CalibPoint> {
public:
    static constexpr database_RecordType RecordType = DATABASE_CalibPointRecord;

    Str NEEPointId;
    Str WGS84PointId;
    int32_t Status = 0;  // dbqz_CalibrateStatus: DBQZ_0D
    dbrecord_CalibResiduals Residuals;

    using R = db_CalibPoint;
    using Fields = dbfield_List<dbfield_String<&R::NEEPointId>, dbfield_String<&R::WGS84PointId>,
                                dbfield_I16<&R::Status>, dbfield_Value<&R::Residuals>>;
};
