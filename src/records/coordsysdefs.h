// Coordinate-system definition records: one per stage of the job's coordinate
// transform, each wrapping one coordinate-system value.
//
//   32 db_Ellipsoid    coordsys_Ellipsoid
//   33 db_Datum        coordsys_Datum
//   34 db_Projection   coordsys_Projection
//   35 db_Plane        coordsys_Plane
//   36 db_Height       coordsys_Height
//   37 db_Corrections  coordsys_Corrections
//
// All six are persisted job settings that every job must hold; all but the plane
// make computed positions stale. The first five open with a derivation code (KI when
// constructed). Grid coordinates are written north, east, elevation. Flags are bytes
// read back as 0 or 1; enumerations are i16 read back sign-extended.
//
// The record defaults differ from the bare values in three places: a projection
// record is scale-only (type 1) with scale 1.0 and area 0, and a corrections record
// has a magnetic declination of 0.0.
#pragma once

#include <cstdint>

#include "foundation/coords/coordsys.h"
#include "records/dbRecordFields.h"
#include "records/dbRecordValues.h"

class db_Ellipsoid : public dbRecord_Body<db_Ellipsoid> {
public:
    static constexpr database_RecordType RecordType = DATABASE_EllipsoidRecord;

    uint16_t Derivation = dbRecord_DerivationKeyedIn;
    coordsys_Ellipsoid Ellipsoid;  // null until set

    using R = db_Ellipsoid;
    using Fields = dbfield_List<dbfield_U16<&R::Derivation>,
                                dbfield_F64<&R::Ellipsoid, &coordsys_Ellipsoid::EarthRadius>,
                                dbfield_F64<&R::Ellipsoid, &coordsys_Ellipsoid::Flattening>>;
};

class db_Datum : public dbRecord_Body<db_Datum> {
public:
    static constexpr database_RecordType RecordType = DATABASE_DatumRecord;

    uint16_t Derivation = dbRecord_DerivationKeyedIn;
    coordsys_Datum Datum;

    using R = db_Datum;
    using D = coordsys_Datum;
    using Fields = dbfield_List<
        dbfield_U16<&R::Derivation>, dbfield_I16<&R::Datum, &D::DatumType>,
        dbfield_F64<&R::Datum, &D::RotationX>, dbfield_F64<&R::Datum, &D::RotationY>,
        dbfield_F64<&R::Datum, &D::RotationZ>, dbfield_F64<&R::Datum, &D::TranslationX>,
        dbfield_F64<&R::Datum, &D::TranslationY>, dbfield_F64<&R::Datum, &D::TranslationZ>,
        dbfield_F64<&R::Datum, &D::Scale>, dbfield_String<&R::Datum, &D::GridName>>;
};

class db_Projection : public dbRecord_Body<db_Projection> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ProjectionRecord;

    db_Projection();
    db_Projection(const db_Projection&) = default;
    // The projection value reports an assignment to itself; a record copied onto
    // itself is no such mistake, so it is skipped here.
    db_Projection& operator=(const db_Projection& other);

    uint16_t Derivation = dbRecord_DerivationKeyedIn;
    coordsys_Projection Projection;

    using R = db_Projection;
    using P = coordsys_Projection;
    using G = coordsys_GroundPart;
    // The two ground-scale deltas are derived from the offsets and take no part in
    // equality.
    using Fields = dbfield_List<
        dbfield_U16<&R::Derivation>, dbfield_I16<&R::Projection, &P::ProjectionType>,
        dbfield_F64<&R::Projection, &P::OriginLocal, &coord_Local::Lat>,
        dbfield_F64<&R::Projection, &P::OriginLocal, &coord_Local::Long>,
        dbfield_F64<&R::Projection, &P::OriginLocal, &coord_Local::Height>,
        dbfield_F64<&R::Projection, &P::OriginGrid, &coord_CorrectedGrid::North>,
        dbfield_F64<&R::Projection, &P::OriginGrid, &coord_CorrectedGrid::East>,
        dbfield_F64<&R::Projection, &P::OriginGrid, &coord_CorrectedGrid::Elev>,
        dbfield_F64<&R::Projection, &P::Scale>, dbfield_I16<&R::Projection, &P::GridElevation>,
        dbfield_F64<&R::Projection, &P::Orientation1>,
        dbfield_F64<&R::Projection, &P::Orientation2>,
        dbfield_I16<&R::Projection, &P::AzimuthFormat>,
        dbfield_I16<&R::Projection, &P::OriginCenter>, dbfield_Bool<&R::Projection, &P::Rectify>,
        dbfield_I16<&R::Projection, &P::Area>, dbfield_String<&R::Projection, &P::UKNorthGridFile>,
        dbfield_String<&R::Projection, &P::UKEastGridFile>,
        dbfield_String<&R::Projection, &P::ProjectionGridFile>,
        dbfield_String<&R::Projection, &P::ShiftGridFile>,
        dbfield_I16<&R::Projection, &P::GroundScale, &G::Type>,
        dbfield_F64<&R::Projection, &P::GroundScale, &G::Factor>,
        dbfield_F64<&R::Projection, &P::GroundScale, &G::ProjectLocation, &coord_Local::Lat>,
        dbfield_F64<&R::Projection, &P::GroundScale, &G::ProjectLocation, &coord_Local::Long>,
        dbfield_F64<&R::Projection, &P::GroundScale, &G::ProjectLocation, &coord_Local::Height>,
        dbfield_F64<&R::Projection, &P::GroundScale, &G::NorthingOffset>,
        dbfield_F64<&R::Projection, &P::GroundScale, &G::EastingOffset>,
        dbfield_NotCompared<dbfield_F64<&R::Projection, &P::GroundScale, &G::NorthingDelta>>,
        dbfield_NotCompared<dbfield_F64<&R::Projection, &P::GroundScale, &G::EastingDelta>>>;
};

class db_Plane : public dbRecord_Body<db_Plane> {
public:
    static constexpr database_RecordType RecordType = DATABASE_PlaneRecord;

    uint16_t Derivation = dbRecord_DerivationKeyedIn;
    coordsys_Plane Plane;

    using R = db_Plane;
    using P = coordsys_Plane;
    using Fields = dbfield_List<
        dbfield_U16<&R::Derivation>, dbfield_I16<&R::Plane, &P::PlaneType>,
        dbfield_F64<&R::Plane, &P::OriginNorth>, dbfield_F64<&R::Plane, &P::OriginEast>,
        dbfield_F64<&R::Plane, &P::TranslationNorth>, dbfield_F64<&R::Plane, &P::TranslationEast>,
        dbfield_F64<&R::Plane, &P::Rotation>, dbfield_F64<&R::Plane, &P::ScaleFactor>>;
};

class db_Height : public dbRecord_Body<db_Height> {
public:
    static constexpr database_RecordType RecordType = DATABASE_HeightRecord;

    uint16_t Derivation = dbRecord_DerivationKeyedIn;
    coordsys_Height Height;

    using R = db_Height;
    using H = coordsys_Height;
    using Fields = dbfield_List<
        dbfield_U16<&R::Derivation>, dbfield_I16<&R::Height, &H::HeightType>,
        dbfield_F64<&R::Height, &H::OriginNorth>, dbfield_F64<&R::Height, &H::OriginEast>,
        dbfield_F64<&R::Height, &H::NorthAdjustment>, dbfield_F64<&R::Height, &H::EastAdjustment>,
        dbfield_F64<&R::Height, &H::ElevAdjustment>, dbfield_String<&R::Height, &H::GeoidFilename>>;
};

// The job's coordinate-geometry settings. ValuesPresent says which of the ten parts
// this record defines (COORDSYS_*Present); it has no derivation code.
class db_Corrections : public dbRecord_Body<db_Corrections> {
public:
    static constexpr database_RecordType RecordType = DATABASE_CorrectionsRecord;

    db_Corrections() { Corrections.MagneticDeclination = 0.0; }

    // A complete record: this one with every part whose bit is clear taken from
    // another corrections record. Null when nothing would change (all ten bits set),
    // and null, with the report "fromCorrns", for a record of another type.
    dbRecord_Class* FillUnsetFrom(const dbRecord_Class& from) const override;

    coordsys_Corrections Corrections;

    using R = db_Corrections;
    using C = coordsys_Corrections;
    using Fields = dbfield_List<
        dbfield_U32<&R::Corrections, &C::ValuesPresent>,
        dbfield_Bool<&R::Corrections, &C::SouthAzimuth>,
        dbfield_I16<&R::Corrections, &C::GridOrientation>,
        dbfield_F64<&R::Corrections, &C::MagneticDeclination>,
        dbfield_I16<&R::Corrections, &C::Distances>,
        dbfield_I16<&R::Corrections, &C::SubDivideCode>,
        dbfield_Bool<&R::Corrections, &C::NeighbourhoodAdjustment>,
        dbfield_I16<&R::Corrections, &C::WeightExponent>,
        dbfield_I16<&R::Corrections, &C::CrossSectionInterpolationMethod>,
        dbfield_Bool<&R::Corrections, &C::ApplySeaLevelCorrectionOnStandardProjection>,
        dbfield_Bool<&R::Corrections, &C::ApplySeaLevelCorrectionOnScaleOnlyProjection>>;
};
