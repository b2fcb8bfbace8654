// Stake-out settings and marker records.
//
//   67 db_ContinuousPoints  continuous GNSS points
//   69 db_StakeOut          stake-out settings of a survey style (the one persisted)
//   70 db_CheckShot  71 db_QuickMark  72 db_RTKControl
//   85 db_PointKeyin        how a keyed-in point was defined
//   86 db_PolarDeltas       polar deltas of a staked point
//   markers 21, 27, 66, 73, 74, 75, 110
//
// Selectors are 32-bit in memory and i16 on disk, read back sign-extended.
//
// Marker records have no fields after the common header (14 bytes plus the notes
// and their terminator). Comparing two of them says nothing: IsEqual reports "0" and
// answers true.
#pragma once

#include "foundation/coords/coord.h"
#include "foundation/coords/coordsys.h"
#include "records/dbRecordFields.h"
#include "records/dbRecordValues.h"
#include "records/unitstiming.h"

// The marker classes differ only in their type code.
template <database_RecordType Type>
class db_MarkerRecord : public dbRecord_UncomparedBody<db_MarkerRecord<Type>> {
public:
    static constexpr database_RecordType RecordType = Type;
    using Fields = dbfield_List<>;
};

using db_MeanTurnedAngleResidualsBegin = db_MarkerRecord<DATABASE_MeanTurnedAngleResidualsBeginRecord>;
using db_EndEntity = db_MarkerRecord<DATABASE_EndEntityRecord>;
using db_Continuous = db_MarkerRecord<DATABASE_ContinuousRecord>;
using db_EndContinuous = db_MarkerRecord<DATABASE_EndContinuousRecord>;
using db_EndSurveyStyle = db_MarkerRecord<DATABASE_EndStyleRecord>;
using db_CalibBegin = db_MarkerRecord<DATABASE_CalibBeginRecord>;
// Also the start of the residuals of a resection.
using db_StationSetupResidualsBegin = db_MarkerRecord<DATABASE_StationSetupResidualsBeginRecord>;

class db_ContinuousPoints : public dbRecord_Body<db_ContinuousPoints> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ContPointsRecord;

    int32_t QualityControl = 1;  // dbconfig_QualityControl
    double HorzPrec = 0.05;
    double VertPrec = 0.08;
    bool AutoPrecisions = true;
    bool LowLatencyRTK = true;
    bool StoreRTKFixedOnly = true;

    using R = db_ContinuousPoints;
    using Fields = dbfield_List<dbfield_I16<&R::QualityControl>, dbfield_F64<&R::HorzPrec>,
                                dbfield_F64<&R::VertPrec>, dbfield_Bool<&R::AutoPrecisions>,
                                dbfield_Bool<&R::LowLatencyRTK>, dbfield_Bool<&R::StoreRTKFixedOnly>>;
};

// The tolerance of the stake-out check; angles 10 and 20 seconds of arc.
struct db_StakeTolerance {
    double HDist = 0.0;
    double VDist = 0.0;
    double HorzAngle = 4.84813681109536e-05;
    double VertAngle = 9.69627362219072e-05;
    double SlopeDistance = 0.02;
};

class db_StakeOut : public dbRecord_Body<db_StakeOut> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ConfigStakeOutRecord;

    int32_t DistanceType = 0;      // coordsys_CogoDistance
    int32_t DisplayPointType = 5;  // coord_Type
    bool DisplayElevToDTM = false;
    Str TerrainModel;
    double VOffsetToDTM = 0.0;
    int32_t AsStakedName = 1;    // dbconfig_AsStaked
    int32_t AsStakedCode = 0;    // dbconfig_AsStaked
    int32_t QualityControl = 1;  // dbconfig_QualityControl
    double Duration = 5.0;
    uint16_t Measurements = 3;
    double HorzAcc = 0.015;
    double VertAcc = 0.02;
    bool AutoFineMode = true;
    int32_t PointLabels = 0;  // dbconfig_AsStaked
    int32_t OrientTo = 0;     // dbconfig_OrientTo
    bool GridDeltas = true;
    int32_t GPSDeltasPoint = 4;  // dbconfig_DeltasMode: DBCONFIG_GridDeltas
    int32_t GPSDeltasOther = 5;  // DBCONFIG_StationOffset
    int32_t TSDeltasPoint = 0;   // DBCONFIG_DistanceDeltas
    int32_t TSDeltasOther = 5;
    double TSAngleDeltaTolerance = 0.0001454441043328608;  // 30 seconds of arc
    double TSDistanceDeltaTolerance = 0.02;
    int32_t MapMode = 0;     // dbconfig_StakeMapMode
    int32_t TSViewMode = 0;  // dbconfig_TSStakeViewMode
    bool DoToleranceCheck = true;
    db_StakeTolerance Tolerance;
    uint16_t AutoPointIncr = 1;
    bool AutoSideSlope = true;
    Str PointStakeoutStyleSheet;
    Str LineStakeoutStyleSheet;
    Str ArcStakeoutStyleSheet;
    Str DTMStakeoutStyleSheet;
    Str RoadStakeoutStyleSheet;
    Str AlignmentStakeoutStyleSheet;
    bool RemovePointFromList = true;

    using R = db_StakeOut;
    using T = db_StakeTolerance;
    using Fields = dbfield_List<
        dbfield_I16<&R::DistanceType>, dbfield_I16<&R::DisplayPointType>, dbfield_Bool<&R::DisplayElevToDTM>,
        dbfield_String<&R::TerrainModel>, dbfield_F64<&R::VOffsetToDTM>, dbfield_I16<&R::AsStakedName>,
        dbfield_I16<&R::AsStakedCode>, dbfield_I16<&R::QualityControl>, dbfield_F64<&R::Duration>,
        dbfield_U16<&R::Measurements>, dbfield_F64<&R::HorzAcc>, dbfield_F64<&R::VertAcc>,
        dbfield_Bool<&R::AutoFineMode>, dbfield_I16<&R::PointLabels>, dbfield_I16<&R::OrientTo>,
        dbfield_Bool<&R::GridDeltas>, dbfield_I16<&R::GPSDeltasPoint>, dbfield_I16<&R::GPSDeltasOther>,
        dbfield_I16<&R::TSDeltasPoint>, dbfield_I16<&R::TSDeltasOther>, dbfield_F64<&R::TSAngleDeltaTolerance>,
        dbfield_F64<&R::TSDistanceDeltaTolerance>, dbfield_I16<&R::MapMode>, dbfield_I16<&R::TSViewMode>,
        dbfield_Bool<&R::DoToleranceCheck>, dbfield_F64<&R::Tolerance, &T::HDist>,
        dbfield_F64<&R::Tolerance, &T::VDist>, dbfield_F64<&R::Tolerance, &T::HorzAngle>,
        dbfield_F64<&R::Tolerance, &T::VertAngle>, dbfield_F64<&R::Tolerance, &T::SlopeDistance>,
        dbfield_U16<&R::AutoPointIncr>, dbfield_Bool<&R::AutoSideSlope>,
        dbfield_String<&R::PointStakeoutStyleSheet>, dbfield_String<&R::LineStakeoutStyleSheet>,
        dbfield_String<&R::ArcStakeoutStyleSheet>, dbfield_String<&R::DTMStakeoutStyleSheet>,
        dbfield_String<&R::RoadStakeoutStyleSheet>, dbfield_String<&R::AlignmentStakeoutStyleSheet>,
        dbfield_Bool<&R::RemovePointFromList>>;
};

class db_CheckShot : public dbRecord_Body<db_CheckShot> {
public:
    static constexpr database_RecordType RecordType = DATABASE_CheckShotRecord;

    uint16_t Measurements = 3;
    double Duration = 5.0;
    double HorzAcc = 0.015;
    double VertAcc = 0.02;
    bool AutoRove = false;
    int32_t QualityControl = 1;  // dbconfig_QualityControl
    bool StoreChecks = true;

    using R = db_CheckShot;
    using Fields = dbfield_List<dbfield_U16<&R::Measurements>, dbfield_F64<&R::Duration>,
                                dbfield_F64<&R::HorzAcc>, dbfield_F64<&R::VertAcc>, dbfield_Bool<&R::AutoRove>,
                                dbfield_I16<&R::QualityControl>, dbfield_Bool<&R::StoreChecks>>;
};

// QualityControl is written before AutoPrecisions, though it follows it here.
class db_QuickMark : public dbRecord_Body<db_QuickMark> {
public:
    static constexpr database_RecordType RecordType = DATABASE_QuickMarkRecord;

    double HorzAcc = 0.2;
    double VertAcc = 0.25;
    bool AutoPrecisions = true;
    int32_t QualityControl = 1;  // dbconfig_QualityControl
    bool StoreRTKFixedOnly = true;

    using R = db_QuickMark;
    using Fields = dbfield_List<dbfield_F64<&R::HorzAcc>, dbfield_F64<&R::VertAcc>,
                                dbfield_I16<&R::QualityControl>, dbfield_Bool<&R::AutoPrecisions>,
                                dbfield_Bool<&R::StoreRTKFixedOnly>>;
};

class db_RTKControl : public dbRecord_Body<db_RTKControl> {
public:
    static constexpr database_RecordType RecordType = DATABASE_RTKContRecord;

    bool AutoRove = false;
    int32_t QualityControl = 2;  // dbconfig_QualityControl
    db_InitTimes PPTimes{false, 600.0, 480.0, 300.0};
    uint16_t Measurements = 180;
    double HorzAcc = 0.015;
    double VertAcc = 0.02;
    bool AutoPrecisions = true;
    bool StoreRTKFixedOnly = true;

    using R = db_RTKControl;
    using Fields = dbfield_List<dbfield_Bool<&R::AutoRove>, dbfield_I16<&R::QualityControl>,
                                dbfield_Value<&R::PPTimes>, dbfield_U16<&R::Measurements>,
                                dbfield_F64<&R::HorzAcc>, dbfield_F64<&R::VertAcc>,
                                dbfield_Bool<&R::AutoPrecisions>, dbfield_Bool<&R::StoreRTKFixedOnly>>;
};

class db_PointKeyin : public dbRecord_Body<db_PointKeyin> {
public:
    static constexpr database_RecordType RecordType = DATABASE_PointKeyinRecord;

    int32_t Method = 0;  // dbentity_PointMethod
    Str PointOne;
    Str PointTwo;
    Str PointThree;
    Str PointFour;
    double AzimuthOne = MATHS_Null;
    double DistanceOne = MATHS_Null;
    double AzimuthTwo = MATHS_Null;
    double DistanceTwo = MATHS_Null;
    double TurnedAngle = MATHS_Null;
    double VOffset = MATHS_Null;
    int32_t BearingDistanceAzimuthType = 1;  // dbentity_AzimuthType
    coordsys_CogoSettings CreatedView;
    int32_t DirectionAlongLine = 0;  // dbentity_DirectionAlongLine
    DBID VerticalPlaneIntersectionStation;
    DBID VerticalPlaneIntersectionBackBearing;
    coord_Circle VerticalPlaneIntersectionRay;  // the class's own defaults: null readings, mode 7

    using R = db_PointKeyin;
    using Fields = dbfield_List<
        dbfield_I16<&R::Method>, dbfield_String<&R::PointOne>, dbfield_String<&R::PointTwo>,
        dbfield_String<&R::PointThree>, dbfield_String<&R::PointFour>,
        dbfield_F64<&R::AzimuthOne>, dbfield_F64<&R::DistanceOne>, dbfield_F64<&R::AzimuthTwo>,
        dbfield_F64<&R::DistanceTwo>, dbfield_F64<&R::TurnedAngle>, dbfield_F64<&R::VOffset>,
        dbfield_I16<&R::BearingDistanceAzimuthType>, dbfield_CogoMask<&R::CreatedView>,
        dbfield_I16<&R::DirectionAlongLine>, dbfield_Id<&R::VerticalPlaneIntersectionStation>,
        dbfield_Id<&R::VerticalPlaneIntersectionBackBearing>,
        dbfield_Circle<&R::VerticalPlaneIntersectionRay>>;
};

class db_PolarDeltas : public dbRecord_Body<db_PolarDeltas> {
public:
    static constexpr database_RecordType RecordType = DATABASE_PolarDeltasRecord;

    coord_Polar Polar{0.0, 0.0, 0.0};

    using R = db_PolarDeltas;
    using Fields = dbfield_List<dbfield_F64<&R::Polar, &coord_Polar::Azimuth>,
                                dbfield_F64<&R::Polar, &coord_Polar::HDist>,
                                dbfield_F64<&R::Polar, &coord_Polar::VDist>>;
};
