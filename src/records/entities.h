// The feature-coded records: point observation (type 2), line (3) and arc (4), the
// named entities of a job.
//
// Layout: the feature part (header, FeatureArray, Description1, Description2), then
// the fields of the class's list. Enumerations are 32-bit in memory and i16 on disk;
// the derivation code is 16 bits; Deleted is one byte, read back as 0 or 1.
//
//   2 db_Observation  PointName, Derivation, Method, SurveyMethod, Classification,
//                     Deleted, Source; and, in memory only, the linked measurement
//   3 db_Line         LineId, Derivation, Method, OriginPoint, TargetPoint,
//                     BearingAzimuth, BearingLength, BearingGrade, Deleted
//   4 db_Arc          ArcName, Derivation, Method, Point1, Point2, Point3, Direction,
//                     LargeArc, Radius, TangentAtStart, BackwardTangent, Length,
//                     ScribedAngle, Chord, Tangent, Grade, Deleted
//
// A name must not be empty when written: the write reports it and goes on. A stored
// entity that is replaced is updated in place (UpdateFrom): it takes the other
// record's own fields, descriptions, notes and timestamp and keeps its record id, its
// features and its measurement.
#pragma once

#include <cstdint>

#include "records/classification.h"
#include "records/dbRecordValues.h"
#include "records/editactions.h"

// The shape the three classes share, driven by Derived::Fields, Derived::Name (the
// field GetName returns), Derived::NameCheck and Derived::UpdateCheck (report texts)
// and the member Deleted.
template <class Derived>
class dbRecord_EntityBody : public dbRecord_Body<Derived, dbRecordWithFeatures_Class> {
public:
    const Str& GetName() const override { return Derived::Name::Get(Self()); }
    bool IsDeleted() const override { return Self().Deleted; }

    // Own fields, descriptions and features.
    bool IsEqual(const dbRecord_Class& record) const override {
        if (!this->IsSameType(record)) return false;
        const Derived& other = static_cast<const Derived&>(record);
        return Derived::Fields::Equal(Self(), other) &&
               this->GetDescriptions().IsEqual(other.GetDescriptions()) &&
               this->GetFeatures().IsEqual(other.GetFeatures());
    }

    void Write(WriteBuffer& buffer) const override {
        if (Derived::Name::Get(Self()).Length() == 0) dbRecord_Report(Derived::NameCheck);
        dbRecord_Body<Derived, dbRecordWithFeatures_Class>::Write(buffer);
    }

    // Action 0 deletes, 1 undeletes; any other value changes nothing.
    void ApplyBoolAction(const db_BoolAction& action) override {
        if (action.Action == db_BoolAction::Delete) Self().Deleted = true;
        else if (action.Action == db_BoolAction::Undelete) Self().Deleted = false;
    }

    // A record of another class is reported and changes nothing.
    void UpdateFrom(const dbRecordWithFeatures_Class& record) override {
        const Derived* source = Derived::Cast(&record);
        if (!source) {
            dbRecord_Report(Derived::UpdateCheck);
            return;
        }
        if (source == &Self()) return;
        dbfield_Copy<typename Derived::Fields>::Copy(Self(), *source);
        this->SetDescriptions(source->GetDescriptions());
        this->SetNotes(source->GetNotes());
        this->SetTimeStamp(source->GetTimeStamp());
    }

private:
    const Derived& Self() const { return static_cast<const Derived&>(*this); }
    Derived& Self() { return static_cast<Derived&>(*this); }
};

// The measurement a point observation owns: copied deeply with the observation and
// destroyed with it.
class dbrecord_LinkedMeasurement {
public:
    dbrecord_LinkedMeasurement() = default;
    dbrecord_LinkedMeasurement(const dbrecord_LinkedMeasurement& other);
    dbrecord_LinkedMeasurement& operator=(const dbrecord_LinkedMeasurement& other);
    ~dbrecord_LinkedMeasurement();

    db_Measurement* Get() const { return _Record; }
    // Links a clone of the measurement (none for null). The measurement linked before
    // is not destroyed: the caller has taken it (GetMeasurement or Release).
    void Attach(const db_Measurement* measurement);
    // Destroys the linked measurement, then links a clone of the given one.
    void Set(const db_Measurement* measurement);
    // Hands the linked measurement to the caller and leaves none.
    db_Measurement* Release();
    // Links the measurement itself, which the link now owns. As with Attach, the one
    // linked before is not destroyed.
    void Adopt(db_Measurement* measurement) { _Record = measurement; }

private:
    db_Measurement* _Record = nullptr;
};

class db_Observation : public dbRecord_EntityBody<db_Observation> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ObservationRecord;
    static constexpr const char* NameCheck = "this->PointName.Length() > 0";
    static constexpr const char* UpdateCheck = "obs";

    // Two observations are never equal, not even an observation with itself: reports
    // "!\"Meaningless\"" and answers false.
    bool IsEqual(const dbRecord_Class& record) const override;
    // Code 0 renames the point; code 1 renames the transformation of a linked
    // type-14 measurement; anything else changes nothing.
    void ApplyStrAction(const db_Str& action) override;

    virtual void AttachMeasurement(const db_Measurement* measurement) {
        _Measurement.Attach(measurement);
    }
    virtual void SetMeasurement(const db_Measurement* measurement) {
        _Measurement.Set(measurement);
    }
    // The linked measurement or null; the observation keeps it.
    db_Measurement* GetMeasurement() const { return _Measurement.Get(); }
    // The linked measurement, now owned by the caller; the observation keeps none.
    db_Measurement* ReleaseMeasurement() { return _Measurement.Release(); }
    // Takes the measurement itself rather than a clone (see dbrecord_LinkedMeasurement).
    void AdoptMeasurement(db_Measurement* measurement) { _Measurement.Adopt(measurement); }
    // The linked measurement's type, 163 when there is none.
    database_RecordType GetMeasurementType() const;
    // The linked measurement's coordinate kind, COORD_NullType when there is none.
    coord_Type GetCoordType() const;

    // Declared for size (no padding); the field list gives the order on disk.
    Str PointName;
    Str Source;
    int32_t Method = 0;        // dbentity_PointMethod
    int32_t SurveyMethod = 0;  // dbentity_SurveyMethod
    db_PointClassification Classification;
    uint16_t Derivation = dbRecord_DerivationNone;  // derivation code
    bool Deleted = false;

    using O = db_Observation;
    using Name = dbfield_Path<&O::PointName>;
    using Fields = dbfield_List<dbfield_String<&O::PointName>, dbfield_U16<&O::Derivation>,
                                dbfield_I16<&O::Method>, dbfield_I16<&O::SurveyMethod>,
                                dbfield_Value<&O::Classification>, dbfield_Bool<&O::Deleted>,
                                dbfield_String<&O::Source>>;

private:
    dbrecord_LinkedMeasurement _Measurement;
};

class db_Line : public dbRecord_EntityBody<db_Line> {
public:
    static constexpr database_RecordType RecordType = DATABASE_LineRecord;
    static constexpr const char* NameCheck = "this->LineId.Length() > 0";
    static constexpr const char* UpdateCheck = "line";
    enum { TwoPoints = 0, BrngDistLine = 1 };  // dbentity_LineMethod

    Str LineId;
    uint16_t Derivation = dbRecord_DerivationNone;  // derivation code
    int32_t Method = TwoPoints;
    Str OriginPoint;
    Str TargetPoint;
    double BearingAzimuth = 0.0;
    double BearingLength = 0.0;
    double BearingGrade = 0.0;
    bool Deleted = false;

    using L = db_Line;
    using Name = dbfield_Path<&L::LineId>;
    using Fields = dbfield_List<dbfield_String<&L::LineId>, dbfield_U16<&L::Derivation>,
                                dbfield_I16<&L::Method>, dbfield_String<&L::OriginPoint>,
                                dbfield_String<&L::TargetPoint>, dbfield_F64<&L::BearingAzimuth>,
                                dbfield_F64<&L::BearingLength>, dbfield_F64<&L::BearingGrade>,
                                dbfield_Bool<&L::Deleted>>;
};

class db_Arc : public dbRecord_EntityBody<db_Arc> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ArcRecord;
    static constexpr const char* NameCheck = "this->ArcName.Length() > 0";
    static constexpr const char* UpdateCheck = "arc";
    enum { RightHand = 0, LeftHand = 1 };  // dbentity_ArcDirection

    Str ArcName;
    uint16_t Derivation = dbRecord_DerivationNone;  // derivation code
    int32_t Method = 0;  // dbentity_ArcMethod
    Str Point1;          // start point
    Str Point2;          // end point
    Str Point3;          // centre point
    int32_t Direction = RightHand;
    bool LargeArc = false;
    double Radius = 0.0;
    double TangentAtStart = 0.0;
    double BackwardTangent = 0.0;
    double Length = 0.0;
    double ScribedAngle = 0.0;
    double Chord = 0.0;
    double Tangent = 0.0;
    double Grade = 0.0;
    bool Deleted = false;

    using A = db_Arc;
    using Name = dbfield_Path<&A::ArcName>;
    using Fields = dbfield_List<
        dbfield_String<&A::ArcName>, dbfield_U16<&A::Derivation>, dbfield_I16<&A::Method>,
        dbfield_String<&A::Point1>, dbfield_String<&A::Point2>, dbfield_String<&A::Point3>,
        dbfield_I16<&A::Direction>, dbfield_Bool<&A::LargeArc>, dbfield_F64<&A::Radius>,
        dbfield_F64<&A::TangentAtStart>, dbfield_F64<&A::BackwardTangent>,
        dbfield_F64<&A::Length>, dbfield_F64<&A::ScribedAngle>, dbfield_F64<&A::Chord>,
        dbfield_F64<&A::Tangent>, dbfield_F64<&A::Grade>, dbfield_Bool<&A::Deleted>>;
};
