// Stake-out settings and marker records.
//
// Built so far:
//   27 db_EndEntity   marker: ends a group of records that form one entity
//   85 db_PointKeyin  how a keyed-in point was defined
//
// Marker records have no fields after the common header (14 bytes plus the notes
// and their terminator). Comparing two of them says nothing: IsEqual reports "0" and
// answers true.
#pragma once

#include "foundation/coords/coord.h"
#include "foundation/coords/coordsys.h"
#include "records/dbRecordFields.h"
#include "records/dbRecordValues.h"

class db_EndEntity : public dbRecord_UncomparedBody<db_EndEntity> {
public:
    static constexpr database_RecordType RecordType = DATABASE_EndEntityRecord;
    using Fields = dbfield_List<>;
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
