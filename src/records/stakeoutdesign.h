// Stakeout design and delta records: what a staked point was staked against and the
// differences between design and as-staked position.
//
//   90  db_PointDesign                 the design point, its elevation and azimuth
//   91  db_ExtraPointDesignElevations  further design elevations, an i16 count and entries
//   92  db_LinearDesign                station, offset and elevation on a line, arc or road
//   93  db_DTMDesign                   the terrain model used as the design surface
//   94  db_DTMDeltas                   vertical distance to the terrain model
//   95  db_RelativeDTMDeltas           elevation difference to an offset terrain model
//   96  db_SlopeDesign                 left and right design slopes (34 bytes each)
//   97  db_RoadDesign                  batter, construction offsets and hinge of a road stakeout
//   98  db_RoadDeltas                  as-staked deltas to the catch point
//   99  db_SecondaryRoadDeltas         deltas to a second road (Offset before Chainage on disk)
//  100  db_RoadCatchDeltas             a catch point (Code first on disk)
//
// None has a name; none invalidates positions.
#pragma once

#include <cstdint>

#include "foundation/kernel/maths.h"
#include "records/dbRecordFields.h"
#include "records/dbRecordList.h"
#include "records/dbRecordValues.h"
#include "records/equatedstation.h"

class db_PointDesign : public dbRecord_Body<db_PointDesign> {
public:
    static constexpr database_RecordType RecordType = DATABASE_PointDesignRecord;

    Str TheName;
    int32_t StakeMethod = 0;  // dbentity_StakeOutMethod
    Str Code;
    double DesignElevation = MATHS_Null;
    bool DesignElevationEdited = false;
    double OriginalDesignElevation = MATHS_Null;
    double ReferenceAzimuth = MATHS_Null;

    using R = db_PointDesign;
    using Fields = dbfield_List<dbfield_String<&R::TheName>, dbfield_I16<&R::StakeMethod>,
                                dbfield_String<&R::Code>, dbfield_F64<&R::DesignElevation>,
                                dbfield_Bool<&R::DesignElevationEdited>,
                                dbfield_F64<&R::OriginalDesignElevation>, dbfield_F64<&R::ReferenceAzimuth>>;
};

// One further design elevation of a staked point. On disk the design elevation comes
// before the vertical offset.
class dbrecord_ExtraDesignElevation {
public:
    bool IsEqual(const dbrecord_ExtraDesignElevation& other) const {
        return Index == other.Index && EditElevVertOffset == other.EditElevVertOffset &&
               EditElevDesignElev == other.EditElevDesignElev && EditElevCutFill == other.EditElevCutFill &&
               EditElevDesc == other.EditElevDesc;
    }

    int32_t Index = 0;
    double EditElevVertOffset = MATHS_Null;
    double EditElevDesignElev = MATHS_Null;
    double EditElevCutFill = MATHS_Null;
    Str EditElevDesc;
};

// The list of design elevations grows to 2n + 2 slots. On disk: an i16 count, then per
// entry Index (i16), the design elevation, the vertical offset, the cut/fill and the
// description.
struct dbrecord_ExtraDesignElevationTraits {
    static constexpr int ExtraSlots = 2;
    // An i16 index, three f64 and at least the description's terminator.
    static constexpr int MinEntryBytes = 2 + 3 * 8 + 1;
    static constexpr const char* CountCheck = "ExtraDesignElevations.Count() <= 32767";
    static void Write(WriteBuffer& buffer, const dbrecord_ExtraDesignElevation& entry);
    static void Read(ReadBuffer& buffer, int& byteOffset, dbrecord_ExtraDesignElevation& entry);
};

class dbrecord_ExtraDesignElevations
    : public dbrecord_EntryList<dbrecord_ExtraDesignElevation, dbrecord_ExtraDesignElevationTraits> {
public:
    // The entry at index, or null (reported "Index < _Count") outside the list.
    const dbrecord_ExtraDesignElevation* Get(int index) const { return Find(index); }
    dbrecord_ExtraDesignElevation* Get(int index) { return Find(index); }
    // Copies the entry at index; false (reported) outside the list.
    bool Get(int index, dbrecord_ExtraDesignElevation& entry) const { return Find(index, entry); }
    // Appends the entries read to those held (a fresh list holds none).
    void Read(ReadBuffer& buffer, int& byteOffset) { ReadEntries(buffer, byteOffset); }
};

class db_ExtraPointDesignElevations : public dbRecord_Body<db_ExtraPointDesignElevations> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ExtraPointDesignElevationsRecord;

    dbrecord_ExtraDesignElevations ExtraDesignElevations;

    using R = db_ExtraPointDesignElevations;
    using Fields = dbfield_List<dbfield_Value<&R::ExtraDesignElevations>>;
};

class db_LinearDesign : public dbRecord_Body<db_LinearDesign> {
public:
    static constexpr database_RecordType RecordType = DATABASE_LinearDesignRecord;

    int32_t EntityType = 1;   // dbentity_StakeOutEntity
    int32_t StakeMethod = 0;  // dbentity_StakeOutMethod
    Str TheName;
    double Chainage = 0.0;
    EquatedStation EquatedRoadStation;
    DBID ChainageClass;
    double Offset = 0.0;
    double Elevation = 0.0;
    double VerticalOffset = 0.0;
    bool DesignElevationEdited = false;
    double OriginalDesignElevation = MATHS_Null;
    bool StakedFromElementStartPoint = true;
    double ElementLength = MATHS_Null;
    Str Code;
    Str HorizontalPointCode;

    using R = db_LinearDesign;
    using Fields = dbfield_List<
        dbfield_I16<&R::EntityType>, dbfield_I16<&R::StakeMethod>, dbfield_String<&R::TheName>,
        dbfield_F64<&R::Chainage>, dbfield_Value<&R::EquatedRoadStation>, dbfield_Id<&R::ChainageClass>,
        dbfield_F64<&R::Offset>, dbfield_F64<&R::Elevation>, dbfield_F64<&R::VerticalOffset>,
        dbfield_Bool<&R::DesignElevationEdited>, dbfield_F64<&R::OriginalDesignElevation>,
        dbfield_Bool<&R::StakedFromElementStartPoint>, dbfield_F64<&R::ElementLength>,
        dbfield_String<&R::Code>, dbfield_String<&R::HorizontalPointCode>>;
};

class db_DTMDesign : public dbRecord_Body<db_DTMDesign> {
public:
    static constexpr database_RecordType RecordType = DATABASE_DTMDesignRecord;

    Str TheName;
    double Elevation = 0.0;

    using R = db_DTMDesign;
    using Fields = dbfield_List<dbfield_String<&R::TheName>, dbfield_F64<&R::Elevation>>;
};

class db_DTMDeltas : public dbRecord_Body<db_DTMDeltas> {
public:
    static constexpr database_RecordType RecordType = DATABASE_DTMDeltasRecord;

    double VDist = 0.0;

    using Fields = dbfield_List<dbfield_F64<&db_DTMDeltas::VDist>>;
};

// Two of these are equal when their elevation differences are: the model's name and
// offset take no part.
class db_RelativeDTMDeltas : public dbRecord_Body<db_RelativeDTMDeltas> {
public:
    static constexpr database_RecordType RecordType = DATABASE_RelativeDTMDeltasRecord;

    Str DTMName;
    double VerticalOffset = 0.0;
    double DeltaElevation = MATHS_Null;

    using R = db_RelativeDTMDeltas;
    using Fields = dbfield_List<dbfield_NotCompared<dbfield_String<&R::DTMName>>,
                                dbfield_NotCompared<dbfield_F64<&R::VerticalOffset>>,
                                dbfield_F64<&R::DeltaElevation>>;
};

// One design side slope: Type (i16), then four f64.
class dbrecord_Slope {
public:
    int32_t Type = 0;  // dbentity_OffsetElementType
    double HDist = 0.0;
    double VDist = 0.0;
    double SDist = 0.0;
    double Grade = 0.0;
};

class db_SlopeDesign : public dbRecord_Body<db_SlopeDesign> {
public:
    static constexpr database_RecordType RecordType = DATABASE_SlopeDesignRecord;

    dbrecord_Slope SlopeL;
    dbrecord_Slope SlopeR;

    using R = db_SlopeDesign;
    using S = dbrecord_Slope;
    using Fields = dbfield_List<
        dbfield_I16<&R::SlopeL, &S::Type>, dbfield_F64<&R::SlopeL, &S::HDist>, dbfield_F64<&R::SlopeL, &S::VDist>,
        dbfield_F64<&R::SlopeL, &S::SDist>, dbfield_F64<&R::SlopeL, &S::Grade>,
        dbfield_I16<&R::SlopeR, &S::Type>, dbfield_F64<&R::SlopeR, &S::HDist>, dbfield_F64<&R::SlopeR, &S::VDist>,
        dbfield_F64<&R::SlopeR, &S::SDist>, dbfield_F64<&R::SlopeR, &S::Grade>>;
};

class db_RoadDesign : public dbRecord_Body<db_RoadDesign> {
public:
    static constexpr database_RecordType RecordType = DATABASE_RoadDesignRecord;

    bool BatterIsFill = false;
    double BatterGrade = 0.0;
    bool ApplyConstructionHOffsetOnSlopePrevious = false;
    bool ApplyConstructionHOffsetOnSlopeNext = false;
    bool ApplyConstructionHOffsetOnCalculated = false;
    bool ApplyConstructionHOffsetPerpendicularToSubString = false;
    bool ApplyConstructionVOffsetOnPerpendicular = false;
    double ConstructionHOffset = 0.0;
    double ConstructionVOffset = 0.0;
    double ConstructionStationOffset = 0.0;
    double DitchOffset = 0.0;
    bool NewSideSlopeOffsetSelected = false;
    double NewSideSlopeOffset = MATHS_Null;
    bool SSFAHingeDefined = false;
    int32_t SSFAHingeMethod = 0;  // dbentity_SideSlopeHingeDerv
    double SSFAHingeOffset = MATHS_Null;
    double SSFAHingeElevation = MATHS_Null;
    double SSFAHingeSlope = MATHS_Null;
    double SSFAHingeVerticalDistance = MATHS_Null;
    double CrossSlopeDelta = MATHS_Null;
    double CrossSlopeOffset = MATHS_Null;
    double SubgradeDepth = MATHS_Null;
    int32_t RoadType = 0;  // dbentity_RoadType; one byte on disk
    bool StakingSubgradeIntersection = false;

    using R = db_RoadDesign;
    using Fields = dbfield_List<
        dbfield_Bool<&R::BatterIsFill>, dbfield_F64<&R::BatterGrade>,
        dbfield_Bool<&R::ApplyConstructionHOffsetOnSlopePrevious>, dbfield_Bool<&R::ApplyConstructionHOffsetOnSlopeNext>,
        dbfield_Bool<&R::ApplyConstructionHOffsetOnCalculated>,
        dbfield_Bool<&R::ApplyConstructionHOffsetPerpendicularToSubString>,
        dbfield_Bool<&R::ApplyConstructionVOffsetOnPerpendicular>, dbfield_F64<&R::ConstructionHOffset>,
        dbfield_F64<&R::ConstructionVOffset>, dbfield_F64<&R::ConstructionStationOffset>,
        dbfield_F64<&R::DitchOffset>, dbfield_Bool<&R::NewSideSlopeOffsetSelected>,
        dbfield_F64<&R::NewSideSlopeOffset>, dbfield_Bool<&R::SSFAHingeDefined>, dbfield_I16<&R::SSFAHingeMethod>,
        dbfield_F64<&R::SSFAHingeOffset>, dbfield_F64<&R::SSFAHingeElevation>, dbfield_F64<&R::SSFAHingeSlope>,
        dbfield_F64<&R::SSFAHingeVerticalDistance>, dbfield_F64<&R::CrossSlopeDelta>,
        dbfield_F64<&R::CrossSlopeOffset>, dbfield_F64<&R::SubgradeDepth>, dbfield_Byte<&R::RoadType>,
        dbfield_Bool<&R::StakingSubgradeIntersection>>;
};

class db_RoadDeltas : public dbRecord_Body<db_RoadDeltas> {
public:
    static constexpr database_RecordType RecordType = DATABASE_RoadDeltasRecord;

    double OffsetToCatch = 0.0;
    double OrthometricHeight = 0.0;
    double BatterToCatchHDist = 0.0;
    double BatterToCatchVDist = 0.0;
    double BatterToCatchSDist = 0.0;
    double BatterToCatchConstrSDist = 0.0;
    bool AsStakedBatterIsFill = false;
    double AsStakedBatterGrade = MATHS_Null;

    using R = db_RoadDeltas;
    using Fields = dbfield_List<dbfield_F64<&R::OffsetToCatch>, dbfield_F64<&R::OrthometricHeight>,
                                dbfield_F64<&R::BatterToCatchHDist>, dbfield_F64<&R::BatterToCatchVDist>,
                                dbfield_F64<&R::BatterToCatchSDist>, dbfield_F64<&R::BatterToCatchConstrSDist>,
                                dbfield_Bool<&R::AsStakedBatterIsFill>, dbfield_F64<&R::AsStakedBatterGrade>>;
};

class db_SecondaryRoadDeltas : public dbRecord_Body<db_SecondaryRoadDeltas> {
public:
    static constexpr database_RecordType RecordType = DATABASE_SecondaryRoadDeltasRecord;

    Str RoadName;
    Str Code;
    double HDist = MATHS_Null;
    double VDist = MATHS_Null;
    double Chainage = MATHS_Null;
    double Offset = MATHS_Null;  // the distance to the road's centre line
    double CrossSlopeDelta = MATHS_Null;
    double CrossSlopeOffset = MATHS_Null;

    // The offset is written before the chainage.
    using R = db_SecondaryRoadDeltas;
    using Fields = dbfield_List<dbfield_String<&R::RoadName>, dbfield_String<&R::Code>, dbfield_F64<&R::HDist>,
                                dbfield_F64<&R::VDist>, dbfield_F64<&R::Offset>, dbfield_F64<&R::Chainage>,
                                dbfield_F64<&R::CrossSlopeDelta>, dbfield_F64<&R::CrossSlopeOffset>>;
};

class db_RoadCatchDeltas : public dbRecord_Body<db_RoadCatchDeltas> {
public:
    static constexpr database_RecordType RecordType = DATABASE_RoadCatchDeltaRecord;

    double Offset = 0.0;
    double Height = 0.0;
    Str Code;

    // The code is written first.
    using R = db_RoadCatchDeltas;
    using Fields = dbfield_List<dbfield_String<&R::Code>, dbfield_F64<&R::Offset>, dbfield_F64<&R::Height>>;
};
