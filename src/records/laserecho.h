// Laser and echo-sounder records. Each writes the common header and then its fields in
// the order of its list.
//
//   106 db_LaserBasePoint     the point laser measurements are taken from
//   107 db_LaserHeight        the height of the laser instrument
//   108 db_LaserTargetHeight  the height of the laser target
//   109 db_LaserConfig        the laser rangefinder in use and its serial-port settings
//   154 db_EchoSounding       one depth measured by the echo sounder
//   155 db_EchoSounderConfig  the echo sounder in use and its serial-port settings
//   156 db_3DAxes             a point measured against the 3D axis from P1 to P2
//
// The grid positions of db_3DAxes are held east, elevation, north and written north,
// east, elevation.
#pragma once

#include <cstdint>

#include "foundation/coords/coord.h"
#include "foundation/kernel/maths.h"
#include "records/dbRecordFields.h"

class db_LaserBasePoint : public dbRecord_Body<db_LaserBasePoint> {
public:
    static constexpr database_RecordType RecordType = DATABASE_LaserBasePointRecord;

    const Str& GetName() const override { return TheName; }

    Str TheName;

    using Fields = dbfield_List<dbfield_String<&db_LaserBasePoint::TheName>>;
};

class db_LaserHeight : public dbRecord_Body<db_LaserHeight> {
public:
    static constexpr database_RecordType RecordType = DATABASE_LaserHeightRecord;

    double Height = 0.0;

    using Fields = dbfield_List<dbfield_F64<&db_LaserHeight::Height>>;
};

class db_LaserTargetHeight : public dbRecord_Body<db_LaserTargetHeight> {
public:
    static constexpr database_RecordType RecordType = DATABASE_LaserTargetHeightRecord;

    double Height = 0.0;

    using Fields = dbfield_List<dbfield_F64<&db_LaserTargetHeight::Height>>;
};

class db_LaserConfig : public dbRecord_Body<db_LaserConfig> {
public:
    static constexpr database_RecordType RecordType = DATABASE_LaserConfigRecord;

    int32_t LaserType = 0;  // dblaser_LaserType
    int32_t Port = 0;       // rs232_Ports, low 8 bits on disk
    uint32_t BaudRate = 4800;
    int32_t DataBits = 8;
    int32_t StopBits = 1;
    int32_t Parity = 0;     // rs232_ParityCodes
    uint32_t Features = 0;  // dblaser_Features flags
    bool UseFireCommand = false;
    bool AutoStore = false;
    bool AcceptLowQuality = false;
    double DistancePrecision = MATHS_Null;
    double AzimuthPrecision = MATHS_Null;
    double InclinePrecision = MATHS_Null;

    using R = db_LaserConfig;
    using Fields = dbfield_List<dbfield_I16<&R::LaserType>, dbfield_Byte<&R::Port>, dbfield_U32<&R::BaudRate>,
                                dbfield_I32<&R::DataBits>, dbfield_I32<&R::StopBits>, dbfield_I16<&R::Parity>,
                                dbfield_U32<&R::Features>, dbfield_Bool<&R::UseFireCommand>,
                                dbfield_Bool<&R::AutoStore>, dbfield_Bool<&R::AcceptLowQuality>,
                                dbfield_F64<&R::DistancePrecision>, dbfield_F64<&R::AzimuthPrecision>,
                                dbfield_F64<&R::InclinePrecision>>;
};

class db_EchoSounding : public dbRecord_Body<db_EchoSounding> {
public:
    static constexpr database_RecordType RecordType = DATABASE_EchoSoundingRecord;

    double Depth = MATHS_Null;

    using Fields = dbfield_List<dbfield_F64<&db_EchoSounding::Depth>>;
};

class db_EchoSounderConfig : public dbRecord_Body<db_EchoSounderConfig> {
public:
    static constexpr database_RecordType RecordType = DATABASE_EchoSounderConfigRecord;
    static constexpr const char* TypeCheckText = "this->GetType () == record.GetType ()";

    int32_t EchoSounderType = 0;  // dbecho_EchoSounderType
    int32_t Port = 0;             // rs232_Ports, low 8 bits on disk
    uint32_t BaudRate = 9600;
    int32_t DataBits = 8;
    int32_t StopBits = 1;
    int32_t Parity = 0;  // rs232_ParityCodes
    bool UseEchoSounder = true;
    double EchoLatency = 0.0;

    using R = db_EchoSounderConfig;
    using Fields = dbfield_List<dbfield_I16<&R::EchoSounderType>, dbfield_Byte<&R::Port>, dbfield_U32<&R::BaudRate>,
                                dbfield_I32<&R::DataBits>, dbfield_I32<&R::StopBits>, dbfield_I16<&R::Parity>,
                                dbfield_Bool<&R::UseEchoSounder>, dbfield_F64<&R::EchoLatency>>;
};

// A grid position written north, east, elevation.
template <auto Member>
using dbfield_NorthEastElev = dbfield_List<dbfield_F64<Member, &coord_CorrectedGrid::North>,
                                           dbfield_F64<Member, &coord_CorrectedGrid::East>,
                                           dbfield_F64<Member, &coord_CorrectedGrid::Elev>>;

class db_3DAxes : public dbRecord_Body<db_3DAxes> {
public:
    static constexpr database_RecordType RecordType = DATABASE_3DAxesRecord;
    static constexpr const char* TypeCheckText = "this->GetType () == record.GetType ()";

    Str P1Name;
    Str P1Code;
    coord_CorrectedGrid P1Grid;
    Str P2Name;
    Str P2Code;
    coord_CorrectedGrid P2Grid;
    double OrthogHorizontalOffset = MATHS_Null;
    double OrthogPerpendicularOffset = MATHS_Null;
    double OrthogRadialOffset = MATHS_Null;
    double OrthogDistanceToP1 = MATHS_Null;
    double OrthogDistanceToP2 = MATHS_Null;
    coord_CorrectedGrid OrthogIntersectionPoint;
    double VertHorizontalOffset = MATHS_Null;
    double VertVerticalOffset = MATHS_Null;
    double VertRadialOffset = MATHS_Null;
    double VertDistanceToP1 = MATHS_Null;
    double VertDistanceToP2 = MATHS_Null;
    coord_CorrectedGrid VertIntersectionPoint;

    using R = db_3DAxes;
    using Fields = dbfield_List<
        dbfield_String<&R::P1Name>, dbfield_String<&R::P1Code>, dbfield_NorthEastElev<&R::P1Grid>,
        dbfield_String<&R::P2Name>, dbfield_String<&R::P2Code>, dbfield_NorthEastElev<&R::P2Grid>,
        dbfield_F64<&R::OrthogHorizontalOffset>, dbfield_F64<&R::OrthogPerpendicularOffset>,
        dbfield_F64<&R::OrthogRadialOffset>, dbfield_F64<&R::OrthogDistanceToP1>, dbfield_F64<&R::OrthogDistanceToP2>,
        dbfield_NorthEastElev<&R::OrthogIntersectionPoint>, dbfield_F64<&R::VertHorizontalOffset>,
        dbfield_F64<&R::VertVerticalOffset>, dbfield_F64<&R::VertRadialOffset>, dbfield_F64<&R::VertDistanceToP1>,
        dbfield_F64<&R::VertDistanceToP2>, dbfield_NorthEastElev<&R::VertIntersectionPoint>>;
};
