// Station set-up and traverse records.
//
//   20  db_MeanTurnedAngleResiduals  residuals of one observation of a mean turned angle
//   87  db_Stationing                station numbering (start and increment)
//   111 db_StationSetupResiduals     residuals of one station set-up/resection observation
//   112 db_ResectErrors              coordinate errors of a resection
//   113 db_Traverse                  a traverse: name, backsight, foresight, station list
//   114 db_TraverseClosure           closure of an adjusted traverse with its legs
//   115 db_TraverseAdjustment        the job's traverse adjustment settings (persisted)
//
// Lists on disk: the traverse's station names end with one empty string (so a name
// can never be empty); the closure's legs follow an i16 count (at most 32767).
// Reference fields hold a record id (the import first stores the XML record ID).
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/coords/coord.h"
#include "records/dbRecordFields.h"
#include "records/dbRecordList.h"
#include "records/dbRecordValues.h"

class db_MeanTurnedAngleResiduals : public dbRecord_Body<db_MeanTurnedAngleResiduals> {
public:
    static constexpr database_RecordType RecordType = DATABASE_MeanTurnedAngleResidualsRecord;

    Str PointName;
    double HorzAngResidual = MATHS_Null;
    double VertAngResidual = MATHS_Null;
    double SlopeDistResidual = MATHS_Null;
    int32_t Round = 0;
    DBID Observation;
    DBID MeanTurnedAngle;

    using R = db_MeanTurnedAngleResiduals;
    // The point name and the owning mean turned angle do not make residuals differ.
    using Fields = dbfield_List<dbfield_NotCompared<dbfield_String<&R::PointName>>,
                                dbfield_F64<&R::HorzAngResidual>, dbfield_F64<&R::VertAngResidual>,
                                dbfield_F64<&R::SlopeDistResidual>, dbfield_I16<&R::Round>,
                                dbfield_Id<&R::Observation>,
                                dbfield_NotCompared<dbfield_Id<&R::MeanTurnedAngle>>>;
};

class db_Stationing : public dbRecord_Body<db_Stationing> {
public:
    static constexpr database_RecordType RecordType = DATABASE_StationingRecord;

    double Start = 0.0;
    double Increment = MATHS_Null;

    using Fields = dbfield_List<dbfield_F64<&db_Stationing::Start>,
                                dbfield_F64<&db_Stationing::Increment>>;
};

class db_StationSetupResiduals : public dbRecord_Body<db_StationSetupResiduals> {
public:
    static constexpr database_RecordType RecordType = DATABASE_StationSetupResidualRecord;

    db_StationSetupResiduals() {
        GridResidual = coord_GridDeltas(0.0, 0.0, 0.0);
        AngleResidual = coord_Corrected(0.0, 0.0, 0.0, COORD_FaceNull);
    }

    uint16_t Derivation = dbRecord_DerivationNone;
    Str PointName;
    int32_t Dimension = 0;  // dbtype_Dimension
    coord_CorrectedGrid Grid;  // null until set
    coord_GridDeltas GridResidual;
    coord_Corrected AngleResidual;
    double AzimuthResidual = 0.0;
    double LongitudinalDistanceResidual = 0.0;
    double OrthogonalDistanceResidual = 0.0;
    double RadialDistResidual = 0.0;
    int32_t Round = 0;
    bool Backsight = false;
    DBID Observation;
    DBID MeanTurnedAngle;

    using R = db_StationSetupResiduals;
    using Fields = dbfield_List<
        dbfield_U16<&R::Derivation>, dbfield_String<&R::PointName>, dbfield_I16<&R::Dimension>,
        dbfield_F64<&R::Grid, &coord_CorrectedGrid::North>,
        dbfield_F64<&R::Grid, &coord_CorrectedGrid::East>,
        dbfield_F64<&R::Grid, &coord_CorrectedGrid::Elev>,
        dbfield_F64<&R::GridResidual, &coord_GridDeltas::dNorth>,
        dbfield_F64<&R::GridResidual, &coord_GridDeltas::dEast>,
        dbfield_F64<&R::GridResidual, &coord_GridDeltas::dElev>,
        dbfield_F64<&R::AngleResidual, &coord_Corrected::HorzCircle>,
        dbfield_F64<&R::AngleResidual, &coord_Corrected::VertCircle>,
        dbfield_F64<&R::AngleResidual, &coord_Corrected::SlopeDist>,
        dbfield_I16<&R::AngleResidual, &coord_Corrected::Face>, dbfield_F64<&R::AzimuthResidual>,
        dbfield_F64<&R::LongitudinalDistanceResidual>, dbfield_F64<&R::OrthogonalDistanceResidual>,
        dbfield_F64<&R::RadialDistResidual>, dbfield_I16<&R::Round>, dbfield_Bool<&R::Backsight>,
        dbfield_Id<&R::Observation>, dbfield_NotCompared<dbfield_Id<&R::MeanTurnedAngle>>>;
};

class db_ResectErrors : public dbRecord_Body<db_ResectErrors> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ResectErrorsRecord;

    coord_GridDeltas Deltas{0.0, 0.0, 0.0};

    using R = db_ResectErrors;
    using Fields = dbfield_List<dbfield_F64<&R::Deltas, &coord_GridDeltas::dNorth>,
                                dbfield_F64<&R::Deltas, &coord_GridDeltas::dEast>,
                                dbfield_F64<&R::Deltas, &coord_GridDeltas::dElev>>;
};

// The station names of a traverse (a StrArray member), in order. On disk each name
// as a string and then one empty string. An empty name cannot be written (it would
// end the list early): it is left out and reported, so the names after it survive.
// Reading appends the names up to the empty string.
void db_WriteStationList(WriteBuffer& buffer, const StrArray& names);
void db_ReadStationList(ReadBuffer& buffer, int& byteOffset, StrArray& names);

template <auto... Path>
struct dbfield_StationList : dbfield_Path<Path...> {
    using P = dbfield_Path<Path...>;
    template <class R>
    static void Write(const R& r, WriteBuffer& b) {
        db_WriteStationList(b, P::Get(r));
    }
    template <class R>
    static void Read(R& r, ReadBuffer& b, int& o) {
        db_ReadStationList(b, o, P::Get(r));
    }
    template <class R>
    static bool Equal(const R& a, const R& c) {
        return P::Get(a) == P::Get(c);
    }
};

class db_Traverse : public dbRecord_Body<db_Traverse> {
public:
    static constexpr database_RecordType RecordType = DATABASE_TraverseHeaderRecord;

    const Str& GetName() const override { return TraverseName; }
    bool IsDeleted() const override { return Deleted; }
    // Two traverses never compare equal: each stored traverse is kept.
    bool IsEqual(const dbRecord_Class&) const override { return false; }
    // Reports "this->TraverseName.Length() > 0" for an unnamed traverse and writes
    // it all the same.
    void Write(WriteBuffer& buffer) const override;

    Str TraverseName;
    uint16_t Derivation = 0x5654;  // TV
    bool Deleted = false;
    Str BSPoint;
    double BSAzimuth = 0.0;
    bool BSAzimuthKeyedIn = false;
    Str FSPoint;
    double FSAzimuth = 0.0;
    bool FSAzimuthKeyedIn = false;
    StrArray ListOfStations;

    using R = db_Traverse;
    using Fields = dbfield_List<
        dbfield_String<&R::TraverseName>, dbfield_U16<&R::Derivation>, dbfield_Bool<&R::Deleted>,
        dbfield_String<&R::BSPoint>, dbfield_F64<&R::BSAzimuth>, dbfield_Bool<&R::BSAzimuthKeyedIn>,
        dbfield_String<&R::FSPoint>, dbfield_F64<&R::FSAzimuth>, dbfield_Bool<&R::FSAzimuthKeyedIn>,
        dbfield_StationList<&R::ListOfStations>>;
};

// One leg of a traverse: from and to point names and the polar vector between them.
class dbrecord_TraverseLeg {
public:
    bool IsEqual(const dbrecord_TraverseLeg& other) const {
        return FromPt == other.FromPt && ToPt == other.ToPt && Polar.Azimuth == other.Polar.Azimuth &&
               Polar.HDist == other.Polar.HDist && Polar.VDist == other.Polar.VDist;
    }

    Str FromPt;
    Str ToPt;
    coord_Polar Polar;  // null until set
};

// The leg list of a closure grows to 2n + 10 slots. On disk: an i16 count, then per
// leg FromPt, ToPt and the polar azimuth, horizontal and vertical distance.
struct dbrecord_TraverseLegTraits {
    static constexpr int ExtraSlots = 10;
    // Two names (at least their terminators) and three f64.
    static constexpr int MinEntryBytes = 2 + 3 * 8;
    static constexpr const char* CountCheck = "TraverseLegs.Count() <= 32767";
    static void Write(WriteBuffer& buffer, const dbrecord_TraverseLeg& leg);
    static void Read(ReadBuffer& buffer, int& byteOffset, dbrecord_TraverseLeg& leg);
};

class dbrecord_TraverseLegs : public dbrecord_EntryList<dbrecord_TraverseLeg, dbrecord_TraverseLegTraits> {
public:
    // The leg at index, or null (reported "Index < _Count") outside the list.
    const dbrecord_TraverseLeg* GetAt(int index) const { return Find(index); }
    dbrecord_TraverseLeg* GetAt(int index) { return Find(index); }
    // Copies the leg at index into leg; false (reported) outside the list.
    bool GetAt(int index, dbrecord_TraverseLeg& leg) const { return Find(index, leg); }
    // Replaces the legs by those read; a count of zero or less gives none.
    void Read(ReadBuffer& buffer, int& byteOffset) {
        Clear();
        ReadEntries(buffer, byteOffset);
    }
};

class db_TraverseClosure : public dbRecord_Body<db_TraverseClosure> {
public:
    static constexpr database_RecordType RecordType = DATABASE_TraverseClosureRecord;

    DBID TraversePtr;
    double AzimuthMisclose = 0.0;
    double DistanceMisclose = 0.0;
    double TraverseLength = 0.0;
    double Precision = 0.0;
    double DeltaNorth = 0.0;
    double DeltaEast = 0.0;
    double DeltaElev = 0.0;
    int32_t Results = 0;  // dbentity_TrvResultType
    dbrecord_TraverseLegs TraverseLegs;

    using R = db_TraverseClosure;
    using Fields = dbfield_List<
        dbfield_Id<&R::TraversePtr>, dbfield_F64<&R::AzimuthMisclose>,
        dbfield_F64<&R::DistanceMisclose>, dbfield_F64<&R::TraverseLength>,
        dbfield_F64<&R::Precision>, dbfield_F64<&R::DeltaNorth>, dbfield_F64<&R::DeltaEast>,
        dbfield_F64<&R::DeltaElev>, dbfield_I16<&R::Results>, dbfield_Value<&R::TraverseLegs>>;
};

class db_TraverseAdjustment : public dbRecord_Body<db_TraverseAdjustment> {
public:
    static constexpr database_RecordType RecordType = DATABASE_TraverseAdjustmentRecord;

    int32_t Method = 0;     // dbentity_TrvAdjustmentMethod
    int32_t Angle = 0;      // dbentity_TrvAdjustmentType
    int32_t Elevation = 0;  // dbentity_TrvAdjustmentType

    using R = db_TraverseAdjustment;
    using Fields = dbfield_List<dbfield_I16<&R::Method>, dbfield_I16<&R::Angle>,
                                dbfield_I16<&R::Elevation>>;
};
