// Coordinate-system selection, survey style and integrated style records.
//
//   79 db_CoordSystemControl  whether the coordinate system's horizontal and vertical
//                             adjustments apply, and the DoGeolib switch
//   81 db_CoordSystem         the coordinate system chosen by name: system, zone,
//                             datum, geoid and datum grid, and the ground scale
//   82 db_SurveyStyle         the survey style in force (its name is first on disk)
//   83 db_IntegratedStyle     a GNSS style and a conventional style run together
//   84 db_IntegratedTarget    the offset from the prism centre to the antenna
//
// 79 and 81 are persisted job settings that every job must hold and that make
// computed positions stale; the other three are plain records.
#pragma once

#include <cstdint>

#include "foundation/coords/coord.h"
#include "foundation/coords/coordsys.h"
#include "foundation/kernel/maths.h"
#include "records/dbRecordFields.h"

class db_CoordSystemControl : public dbRecord_Body<db_CoordSystemControl> {
public:
    static constexpr database_RecordType RecordType = DATABASE_CoordSysControlRecord;

    bool HorzAdjust = false;
    bool VertAdjust = false;
    bool DoGeolib = false;

    using R = db_CoordSystemControl;
    using Fields = dbfield_List<dbfield_Bool<&R::HorzAdjust>, dbfield_Bool<&R::VertAdjust>,
                                dbfield_Bool<&R::DoGeolib>>;
};

// Word1..Word3 are carried, written and copied but take no part in equality; an
// import sets all three to 0. The whole ground scale is compared, its deltas too.
class db_CoordSystem : public dbRecord_Body<db_CoordSystem> {
public:
    static constexpr database_RecordType RecordType = DATABASE_CoordSystemRecord;

    Str SystemName;
    Str ZoneName;
    Str DatumName;
    bool UseGeoid = false;
    bool UseDatumGrid = false;
    Str GeoidFilename;
    uint16_t Word1 = 0;
    uint16_t Word2 = 0;
    uint16_t Word3 = 65534;
    coordsys_GroundPart GroundScale;

    using R = db_CoordSystem;
    using G = coordsys_GroundPart;
    using Fields = dbfield_List<
        dbfield_String<&R::SystemName>, dbfield_String<&R::ZoneName>, dbfield_String<&R::DatumName>,
        dbfield_Bool<&R::UseGeoid>, dbfield_Bool<&R::UseDatumGrid>, dbfield_String<&R::GeoidFilename>,
        dbfield_NotCompared<dbfield_U16<&R::Word1>>, dbfield_NotCompared<dbfield_U16<&R::Word2>>,
        dbfield_NotCompared<dbfield_U16<&R::Word3>>, dbfield_I16<&R::GroundScale, &G::Type>,
        dbfield_F64<&R::GroundScale, &G::Factor>,
        dbfield_F64<&R::GroundScale, &G::ProjectLocation, &coord_Local::Lat>,
        dbfield_F64<&R::GroundScale, &G::ProjectLocation, &coord_Local::Long>,
        dbfield_F64<&R::GroundScale, &G::ProjectLocation, &coord_Local::Height>,
        dbfield_F64<&R::GroundScale, &G::NorthingOffset>, dbfield_F64<&R::GroundScale, &G::EastingOffset>,
        dbfield_F64<&R::GroundScale, &G::NorthingDelta>, dbfield_F64<&R::GroundScale, &G::EastingDelta>>;
};

class db_SurveyStyle : public dbRecord_Body<db_SurveyStyle> {
public:
    static constexpr database_RecordType RecordType = DATABASE_SurveyStyleRecord;

    int32_t Device = 0;  // dbqz_PositioningTechnology
    Str ConfigName;

    using R = db_SurveyStyle;
    using Fields = dbfield_List<dbfield_String<&R::ConfigName>, dbfield_I16<&R::Device>>;
};

class db_IntegratedStyle : public dbRecord_Body<db_IntegratedStyle> {
public:
    static constexpr database_RecordType RecordType = DATABASE_IntegratedStyleRecord;

    bool IntegratedStyle = false;
    Str GPSStyleName;
    Str TSStyleName;

    using R = db_IntegratedStyle;
    using Fields = dbfield_List<dbfield_Bool<&R::IntegratedStyle>, dbfield_String<&R::GPSStyleName>,
                                dbfield_String<&R::TSStyleName>>;
};

class db_IntegratedTarget : public dbRecord_Body<db_IntegratedTarget> {
public:
    static constexpr database_RecordType RecordType = DATABASE_IntegratedTargetRecord;

    double OffsetFromCenterOfPrismToAntenna = MATHS_Null;

    using R = db_IntegratedTarget;
    using Fields = dbfield_List<dbfield_F64<&R::OffsetFromCenterOfPrismToAntenna>>;
};
