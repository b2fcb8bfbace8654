// Job properties, station offset, round markers, surface scan and cogo transformation
// records (types 120 to 126 and 130). Each writes the common header and then its
// fields in the order of its list.
//
//   120 db_JobProperties       four texts; a setting the job keeps current
//   121 db_StationOffset       station and offset against a named entity
//   122 db_StartRounds, 124 db_EndRound, 125 db_EndRounds   markers: the header alone
//   123 db_StartRound          the round's number (u16)
//   126 db_SurfaceScan         settings and outcome of one surface scan
//   130 db_CogoTransformation  rotation, scaling and translation of points
#pragma once

#include <cstdint>

#include "foundation/coords/coord.h"
#include "records/dbRecordValues.h"
#include "records/equatedstation.h"

class db_JobProperties : public dbRecord_Body<db_JobProperties> {
public:
    static constexpr database_RecordType RecordType = DATABASE_JobPropertiesRecord;

    // Another type is simply not equal: no report.
    bool IsEqual(const dbRecord_Class& record) const override;

    Str Reference;
    Str Description;
    Str Operator;
    Str Notes;  // a text of its own, apart from the header's notes

    using Fields = dbfield_List<dbfield_String<&db_JobProperties::Reference>,
                                dbfield_String<&db_JobProperties::Description>,
                                dbfield_String<&db_JobProperties::Operator>,
                                dbfield_String<&db_JobProperties::Notes>>;
};

class db_StationOffset : public dbRecord_Body<db_StationOffset> {
public:
    static constexpr database_RecordType RecordType = DATABASE_StationOffsetRecord;

    int32_t EntityType = 1;  // dbentity_StakeOutEntity
    Str EntityName;
    double Station = 0.0;
    EquatedStation EquatedRoadStation;
    double Offset = 0.0;
    double VDist = 0.0;
    Str Code;

    using Fields = dbfield_List<dbfield_I16<&db_StationOffset::EntityType>,
                                dbfield_String<&db_StationOffset::EntityName>,
                                dbfield_F64<&db_StationOffset::Station>,
                                dbfield_Value<&db_StationOffset::EquatedRoadStation>,
                                dbfield_F64<&db_StationOffset::Offset>,
                                dbfield_F64<&db_StationOffset::VDist>,
                                dbfield_String<&db_StationOffset::Code>>;
};

class db_StartRounds : public dbRecord_UncomparedBody<db_StartRounds> {
public:
    static constexpr database_RecordType RecordType = DATABASE_StartRoundsRecord;
    using Fields = dbfield_List<>;
};

class db_StartRound : public dbRecord_Body<db_StartRound> {
public:
    static constexpr database_RecordType RecordType = DATABASE_StartRoundRecord;

    uint16_t Round = 0;

    using Fields = dbfield_List<dbfield_U16<&db_StartRound::Round>>;
};

class db_EndRound : public dbRecord_UncomparedBody<db_EndRound> {
public:
    static constexpr database_RecordType RecordType = DATABASE_EndRoundRecord;
    using Fields = dbfield_List<>;
};

class db_EndRounds : public dbRecord_UncomparedBody<db_EndRounds> {
public:
    static constexpr database_RecordType RecordType = DATABASE_EndRoundsRecord;
    using Fields = dbfield_List<>;
};

class db_SurfaceScan : public dbRecord_UncomparedBody<db_SurfaceScan> {
public:
    static constexpr database_RecordType RecordType = DATABASE_SurfaceScanRecord;

    int32_t SurfaceScanMethod = 0;  // dbentity_SurfaceScanMethod
    int32_t LineMethod = 0;         // dbentity_SurfaceScanLineMethod
    Str PointA;
    Str PointB;
    Str PointC;
    double HAstep = MATHS_Null;
    double VAstep = MATHS_Null;
    double Xstep = MATHS_Null;
    double Ystep = MATHS_Null;
    double MaxOffset = MATHS_Null;
    double Azimuth = MATHS_Null;
    double Distance = MATHS_Null;
    int32_t PointsScanned = 0;
    int32_t PointsSkipped = 0;
    double TimeTaken = MATHS_Null;

    using Fields = dbfield_List<dbfield_I16<&db_SurfaceScan::SurfaceScanMethod>,
                                dbfield_I16<&db_SurfaceScan::LineMethod>,
                                dbfield_String<&db_SurfaceScan::PointA>,
                                dbfield_String<&db_SurfaceScan::PointB>,
                                dbfield_String<&db_SurfaceScan::PointC>,
                                dbfield_F64<&db_SurfaceScan::HAstep>,
                                dbfield_F64<&db_SurfaceScan::VAstep>,
                                dbfield_F64<&db_SurfaceScan::Xstep>,
                                dbfield_F64<&db_SurfaceScan::Ystep>,
                                dbfield_F64<&db_SurfaceScan::MaxOffset>,
                                dbfield_F64<&db_SurfaceScan::Azimuth>,
                                dbfield_F64<&db_SurfaceScan::Distance>,
                                dbfield_I32<&db_SurfaceScan::PointsScanned>,
                                dbfield_I32<&db_SurfaceScan::PointsSkipped>,
                                dbfield_F64<&db_SurfaceScan::TimeTaken>>;
};

// The grid values are written North, East, Elev, whatever their order in memory.
class db_CogoTransformation : public dbRecord_UncomparedBody<db_CogoTransformation> {
public:
    static constexpr database_RecordType RecordType = DATABASE_CogoTransformationRecord;

    bool Rotated = false;
    double rotationAngle = MATHS_Null;
    Str rotationOrigin;
    coord_CorrectedGrid rotationOriginGrid{0.0, 0.0, 0.0};
    bool Scaled = false;
    double scaleFactor = MATHS_Null;
    Str scaleOrigin;
    coord_CorrectedGrid scaleOriginGrid{0.0, 0.0, 0.0};
    bool Translated = false;
    int32_t translationMethod = 1;  // dbentity_CogoTranslationMethod
    coord_GridDeltas translation{0.0, 0.0, 0.0};
    Str translationFrom;
    Str translationTo;
    int32_t pointsTransformed = 0;

    using C = db_CogoTransformation;
    using G = coord_CorrectedGrid;
    using Fields = dbfield_List<dbfield_Bool<&C::Rotated>,
                                dbfield_F64<&C::rotationAngle>,
                                dbfield_String<&C::rotationOrigin>,
                                dbfield_F64<&C::rotationOriginGrid, &G::North>,
                                dbfield_F64<&C::rotationOriginGrid, &G::East>,
                                dbfield_F64<&C::rotationOriginGrid, &G::Elev>,
                                dbfield_Bool<&C::Scaled>,
                                dbfield_F64<&C::scaleFactor>,
                                dbfield_String<&C::scaleOrigin>,
                                dbfield_F64<&C::scaleOriginGrid, &G::North>,
                                dbfield_F64<&C::scaleOriginGrid, &G::East>,
                                dbfield_F64<&C::scaleOriginGrid, &G::Elev>,
                                dbfield_Bool<&C::Translated>,
                                dbfield_I16<&C::translationMethod>,
                                dbfield_F64<&C::translation, &coord_GridDeltas::dNorth>,
                                dbfield_F64<&C::translation, &coord_GridDeltas::dEast>,
                                dbfield_F64<&C::translation, &coord_GridDeltas::dElev>,
                                dbfield_String<&C::translationFrom>,
                                dbfield_String<&C::translationTo>,
                                dbfield_I32<&C::pointsTransformed>>;
};
