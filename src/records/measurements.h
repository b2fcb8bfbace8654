// The measurement records (types 8 to 19): the one measurement a point observation
// takes its coordinates from. Each is stored in the journal as a record of its own,
// applied to its observation, which then owns it in memory.
//
// Layout: the common header, then the fields of the class's list. Coordinates are
// written as their components, each f64, in the order listed (grids north first);
// references are record ids (u32); CreatedView is the cogo settings mask (u16).
//
//   8  db_ECEFDeltas            dX dY dZ, Reference, Antenna
//   9  db_ECEF                  X Y Z, Antenna
//   10 db_ECEFGround            X Y Z
//   11 db_WGS84                 Lat Long Height
//   12 db_Local                 Lat Long Height
//   13 db_Grid                  North East Elev
//   14 db_LocalTransformedGrid  North East Elev, ReferenceTransformation
//   15 db_Polar                 SourcePoint, Azimuth HDist VDist, CreatedView
//   16 db_LaserOffset           BasePoint, Azimuth VertAngle SlopeDist, LaserHeight,
//                               TargetHeight, MagneticDeclination, CreatedView
//   17 db_Circle                circle reading (52 bytes), Station, Target, BackBearing,
//                               CreatedView
//   18 db_Azimuth               SourcePoint, Azimuth, CreatedView
//   19 db_MeanTurnedAngle       six f64, three i32 counts, Station, Target,
//                               BackBearing, CreatedView
//
// The constructors give the coordinate readings 0.0, not null; only
// db_MeanTurnedAngle keeps the nulls of its coordinate value.
#pragma once

#include "records/dbRecordValues.h"

class db_ECEFDeltas : public dbRecord_Body<db_ECEFDeltas, db_Measurement> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ECEFDeltasRecord;
    coord_Type GetCoordType() const override { return COORD_ECEFDeltasType; }
    // Stores the action's id in Antenna.
    void ApplyDBIDAction(const db_DBID& action) override;

    coord_ECEFDeltas ECEFDeltas{0.0, 0.0, 0.0};
    DBID Reference;
    DBID Antenna;

    using M = db_ECEFDeltas;
    using Fields = dbfield_List<dbfield_F64<&M::ECEFDeltas, &coord_ECEFDeltas::dX>,
                                dbfield_F64<&M::ECEFDeltas, &coord_ECEFDeltas::dY>,
                                dbfield_F64<&M::ECEFDeltas, &coord_ECEFDeltas::dZ>,
                                dbfield_Id<&M::Reference>, dbfield_Id<&M::Antenna>>;
};

class db_ECEF : public dbRecord_Body<db_ECEF, db_Measurement> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ECEFRecord;
    coord_Type GetCoordType() const override { return COORD_ECEFType; }
    // Stores the action's id in Antenna.
    void ApplyDBIDAction(const db_DBID& action) override;

    coord_ECEF ECEF{0.0, 0.0, 0.0};
    DBID Antenna;

    using M = db_ECEF;
    using Fields = dbfield_List<dbfield_F64<&M::ECEF, &coord_ECEF::X>,
                                dbfield_F64<&M::ECEF, &coord_ECEF::Y>,
                                dbfield_F64<&M::ECEF, &coord_ECEF::Z>, dbfield_Id<&M::Antenna>>;
};

class db_ECEFGround : public dbRecord_Body<db_ECEFGround, db_Measurement> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ECEFGroundRecord;
    coord_Type GetCoordType() const override { return COORD_ECEFGroundType; }

    coord_ECEFGround ECEFGround{0.0, 0.0, 0.0};

    using M = db_ECEFGround;
    using Fields = dbfield_List<dbfield_F64<&M::ECEFGround, &coord_ECEFGround::X>,
                                dbfield_F64<&M::ECEFGround, &coord_ECEFGround::Y>,
                                dbfield_F64<&M::ECEFGround, &coord_ECEFGround::Z>>;
};

class db_WGS84 : public dbRecord_Body<db_WGS84, db_Measurement> {
public:
    static constexpr database_RecordType RecordType = DATABASE_WGS84Record;
    coord_Type GetCoordType() const override { return COORD_WGS84Type; }

    coord_WGS84 WGS84{0.0, 0.0, 0.0};

    using M = db_WGS84;
    using Fields = dbfield_List<dbfield_F64<&M::WGS84, &coord_WGS84::Lat>,
                                dbfield_F64<&M::WGS84, &coord_WGS84::Long>,
                                dbfield_F64<&M::WGS84, &coord_WGS84::Height>>;
};

class db_Local : public dbRecord_Body<db_Local, db_Measurement> {
public:
    static constexpr database_RecordType RecordType = DATABASE_LocalRecord;
    coord_Type GetCoordType() const override { return COORD_LocalType; }

    coord_Local Local{0.0, 0.0, 0.0};

    using M = db_Local;
    using Fields = dbfield_List<dbfield_F64<&M::Local, &coord_Local::Lat>,
                                dbfield_F64<&M::Local, &coord_Local::Long>,
                                dbfield_F64<&M::Local, &coord_Local::Height>>;
};

class db_Grid : public dbRecord_Body<db_Grid, db_Measurement> {
public:
    static constexpr database_RecordType RecordType = DATABASE_GridRecord;
    coord_Type GetCoordType() const override { return COORD_GridType; }

    coord_CorrectedGrid Grid{0.0, 0.0, 0.0};

    using M = db_Grid;
    using Fields = dbfield_List<dbfield_F64<&M::Grid, &coord_CorrectedGrid::North>,
                                dbfield_F64<&M::Grid, &coord_CorrectedGrid::East>,
                                dbfield_F64<&M::Grid, &coord_CorrectedGrid::Elev>>;
};

class db_LocalTransformedGrid : public dbRecord_Body<db_LocalTransformedGrid, db_Measurement> {
public:
    static constexpr database_RecordType RecordType = DATABASE_LocalTransformedGridRecord;
    coord_Type GetCoordType() const override { return COORD_LocalTransformedGridType; }

    coord_LocalTransformedGrid LocalTransformedGrid{0.0, 0.0, 0.0};
    Str ReferenceTransformation;

    using M = db_LocalTransformedGrid;
    using G = coord_LocalTransformedGrid;
    using Fields = dbfield_List<dbfield_F64<&M::LocalTransformedGrid, &G::North>,
                                dbfield_F64<&M::LocalTransformedGrid, &G::East>,
                                dbfield_F64<&M::LocalTransformedGrid, &G::Elev>,
                                dbfield_String<&M::ReferenceTransformation>>;
};

class db_Polar : public dbRecord_Body<db_Polar, db_Measurement> {
public:
    static constexpr database_RecordType RecordType = DATABASE_PolarRecord;
    coord_Type GetCoordType() const override { return COORD_PolarType; }

    Str SourcePoint;
    coord_Polar Polar{0.0, 0.0, 0.0};
    coordsys_CogoSettings CreatedView;

    using M = db_Polar;
    using Fields = dbfield_List<dbfield_String<&M::SourcePoint>,
                                dbfield_F64<&M::Polar, &coord_Polar::Azimuth>,
                                dbfield_F64<&M::Polar, &coord_Polar::HDist>,
                                dbfield_F64<&M::Polar, &coord_Polar::VDist>,
                                dbfield_CogoMask<&M::CreatedView>>;
};

class db_LaserOffset : public dbRecord_Body<db_LaserOffset, db_Measurement> {
public:
    static constexpr database_RecordType RecordType = DATABASE_LaserOffsetRecord;
    coord_Type GetCoordType() const override { return COORD_LaserOffsetType; }

    DBID BasePoint;
    coord_LaserOffset LaserOffset{0.0, 0.0, 0.0};
    DBID LaserHeight;
    DBID TargetHeight;
    DBID MagneticDeclination;
    coordsys_CogoSettings CreatedView;

    using M = db_LaserOffset;
    using L = coord_LaserOffset;
    using Fields = dbfield_List<dbfield_Id<&M::BasePoint>,
                                dbfield_F64<&M::LaserOffset, &L::Azimuth>,
                                dbfield_F64<&M::LaserOffset, &L::VertAngle>,
                                dbfield_F64<&M::LaserOffset, &L::SlopeDist>,
                                dbfield_Id<&M::LaserHeight>, dbfield_Id<&M::TargetHeight>,
                                dbfield_Id<&M::MagneticDeclination>,
                                dbfield_CogoMask<&M::CreatedView>>;
};

class db_Circle : public dbRecord_Body<db_Circle, db_Measurement> {
public:
    static constexpr database_RecordType RecordType = DATABASE_CircleRecord;
    coord_Type GetCoordType() const override { return COORD_CircleType; }
    // Stores the action's id in Target.
    void ApplyDBIDAction(const db_DBID& action) override;

    coord_Circle Circle = dbRecord_ZeroCircle();
    DBID Station;
    DBID Target;
    DBID BackBearing;
    coordsys_CogoSettings CreatedView;

    using M = db_Circle;
    using Fields = dbfield_List<dbfield_Circle<&M::Circle>, dbfield_Id<&M::Station>,
                                dbfield_Id<&M::Target>, dbfield_Id<&M::BackBearing>,
                                dbfield_CogoMask<&M::CreatedView>>;
};

// Yields no coordinate.
class db_Azimuth : public dbRecord_Body<db_Azimuth, db_Measurement> {
public:
    static constexpr database_RecordType RecordType = DATABASE_AzimuthRecord;
    coord_Type GetCoordType() const override { return COORD_NullType; }

    Str SourcePoint;
    double Azimuth = 0.0;
    coordsys_CogoSettings CreatedView;

    using M = db_Azimuth;
    using Fields = dbfield_List<dbfield_String<&M::SourcePoint>, dbfield_F64<&M::Azimuth>,
                                dbfield_CogoMask<&M::CreatedView>>;
};

class db_MeanTurnedAngle : public dbRecord_Body<db_MeanTurnedAngle, db_Measurement> {
public:
    static constexpr database_RecordType RecordType = DATABASE_MeanTurnedAngleRecord;
    coord_Type GetCoordType() const override { return COORD_MTAType; }
    // Stores the action's id in Target.
    void ApplyDBIDAction(const db_DBID& action) override;

    coord_MTA MTA;
    DBID Station;
    DBID Target;
    DBID BackBearing;
    coordsys_CogoSettings CreatedView;

    using M = db_MeanTurnedAngle;
    using Fields = dbfield_List<dbfield_F64<&M::MTA, &coord_MTA::HorzCircle>,
                                dbfield_F64<&M::MTA, &coord_MTA::VertCircle>,
                                dbfield_F64<&M::MTA, &coord_MTA::EDMDistance>,
                                dbfield_F64<&M::MTA, &coord_MTA::HorzCircleStdErr>,
                                dbfield_F64<&M::MTA, &coord_MTA::VertCircleStdErr>,
                                dbfield_F64<&M::MTA, &coord_MTA::EDMDistanceStdErr>,
                                dbfield_I32<&M::MTA, &coord_MTA::NumberOfHAngles>,
                                dbfield_I32<&M::MTA, &coord_MTA::NumberOfVAngles>,
                                dbfield_I32<&M::MTA, &coord_MTA::NumberOfDistances>,
                                dbfield_Id<&M::Station>, dbfield_Id<&M::Target>,
                                dbfield_Id<&M::BackBearing>, dbfield_CogoMask<&M::CreatedView>>;
};
