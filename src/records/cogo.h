// Cogo computation and area records: results of coordinate geometry computed in the
// field.
//
//   5   db_Inverse          inverse from a source point to a target point
//   6   db_ComputeAzimuth   an azimuth computed by one of five methods
//   7   db_ComputeDistance  a distance computed by one of three methods
//   77  db_Area             an area with its perimeter and boundary elements
//   78  db_SubdividedArea   an area cut by a line: the sub-area, its boundary and
//                           the points the subdivision created
//   88  db_GridDeltas       grid differences
//   89  db_LinearDeltas     differences against a line or arc
//   116 db_DistanceOffset   offsets applied to a raw total-station observation
//
// Boundary elements (AreaLineElement kind 0, AreaArcElement kind 1) are not records;
// each area owns its own. On disk a boundary is a u32 count and, per element, its
// kind as u16 and then the element. Two areas never compare equal: each computed
// area is kept.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/coords/coord.h"
#include "foundation/coords/coordsys.h"
#include "records/dbRecordFields.h"
#include "records/dbRecordValues.h"

// The polar result of an inverse: the body of a polar measurement, of which a
// db_Inverse writes these five values and no header.
struct db_InverseResult {
    Str SourcePoint;
    coord_Polar Polar;  // null until computed
    coordsys_CogoSettings CreatedView;
};

class db_Inverse : public dbRecord_Body<db_Inverse> {
public:
    static constexpr database_RecordType RecordType = DATABASE_InverseRecord;

    Str TargetPoint;
    db_InverseResult Result;
    double SlopeDistance = MATHS_Null;
    double Grade = MATHS_Null;

    using R = db_Inverse;
    using Fields = dbfield_List<
        dbfield_String<&R::TargetPoint>, dbfield_String<&R::Result, &db_InverseResult::SourcePoint>,
        dbfield_F64<&R::Result, &db_InverseResult::Polar, &coord_Polar::Azimuth>,
        dbfield_F64<&R::Result, &db_InverseResult::Polar, &coord_Polar::HDist>,
        dbfield_F64<&R::Result, &db_InverseResult::Polar, &coord_Polar::VDist>,
        dbfield_CogoMask<&R::Result, &db_InverseResult::CreatedView>, dbfield_F64<&R::SlopeDistance>,
        dbfield_F64<&R::Grade>>;
};

class db_ComputeAzimuth : public dbRecord_Body<db_ComputeAzimuth> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ComputeAzimuthRecord;

    // Which fields a method fills: 0 two points (Point1, Point2); 1 bisected azimuths
    // (Azimuth1, Azimuth2); 2 bisected corner (Point1, CornerPoint, Point2);
    // 3 azimuth and turned angle (Azimuth1, TurnedAngle); 4 azimuth to a line offset
    // (the reference line or its two points, Stationing, Offset).
    int32_t AzimuthMethod = 0;  // dbentity_ComputeAzimuthMethod
    Str Point1;
    Str Point2;
    Str CornerPoint;
    double Azimuth1 = MATHS_Null;
    double Azimuth2 = MATHS_Null;
    double TurnedAngle = MATHS_Null;
    Str ReferenceLinearEntity;
    bool ReferenceLineDefinedByTwoPoints = false;
    Str ReferenceLinePoint1Name;
    Str ReferenceLinePoint2Name;
    double Stationing = MATHS_Null;
    double Offset = MATHS_Null;
    double ComputedAzimuth = MATHS_Null;
    coordsys_CogoSettings CreatedView;

    using R = db_ComputeAzimuth;
    using Fields = dbfield_List<
        dbfield_I16<&R::AzimuthMethod>, dbfield_String<&R::Point1>, dbfield_String<&R::Point2>,
        dbfield_String<&R::CornerPoint>, dbfield_F64<&R::Azimuth1>, dbfield_F64<&R::Azimuth2>,
        dbfield_F64<&R::TurnedAngle>, dbfield_String<&R::ReferenceLinearEntity>,
        dbfield_Bool<&R::ReferenceLineDefinedByTwoPoints>,
        dbfield_String<&R::ReferenceLinePoint1Name>, dbfield_String<&R::ReferenceLinePoint2Name>,
        dbfield_F64<&R::Stationing>, dbfield_F64<&R::Offset>, dbfield_F64<&R::ComputedAzimuth>,
        dbfield_CogoMask<&R::CreatedView>>;
};

class db_ComputeDistance : public dbRecord_Body<db_ComputeDistance> {
public:
    static constexpr database_RecordType RecordType = DATABASE_ComputeDistanceRecord;

    // 0 between two points, 1 between a point and a line, 2 between a point and an arc.
    int32_t DistanceMethod = 0;  // dbentity_ComputeDistanceMethod
    Str Point1;
    Str Point2;
    Str ReferenceLinearEntity;
    bool ReferenceLineDefinedByTwoPoints = false;
    Str ReferenceLinePoint1Name;
    Str ReferenceLinePoint2Name;
    double DistanceAlong = MATHS_Null;
    double ComputedDistance = MATHS_Null;
    coordsys_CogoSettings CreatedView;

    using R = db_ComputeDistance;
    using Fields = dbfield_List<
        dbfield_I16<&R::DistanceMethod>, dbfield_String<&R::Point1>, dbfield_String<&R::Point2>,
        dbfield_String<&R::ReferenceLinearEntity>, dbfield_Bool<&R::ReferenceLineDefinedByTwoPoints>,
        dbfield_String<&R::ReferenceLinePoint1Name>, dbfield_String<&R::ReferenceLinePoint2Name>,
        dbfield_F64<&R::DistanceAlong>, dbfield_F64<&R::ComputedDistance>,
        dbfield_CogoMask<&R::CreatedView>>;
};

// ---------------------------------------------------------------- boundary elements

// A named boundary point. On disk: Name, North, East, Elev.
class AreaPointElement {
public:
    virtual ~AreaPointElement() = default;
    virtual void Write(WriteBuffer& buffer) const;
    virtual void Read(ReadBuffer& buffer, int& byteOffset);

    Str Name;
    double North = MATHS_Null;
    double East = MATHS_Null;
    double Elev = MATHS_Null;
};

enum AreaElementKind : int32_t { AREA_LineElement = 0, AREA_ArcElement = 1 };

// A boundary element: Name, Start and End, then what its kind adds.
class AreaElement {
public:
    virtual ~AreaElement() = default;
    virtual void Write(WriteBuffer& buffer) const;
    virtual void Read(ReadBuffer& buffer, int& byteOffset);
    virtual AreaElementKind GetKind() const = 0;
    // A new copy, owned by the caller.
    virtual AreaElement* Clone() const = 0;

    Str Name;
    AreaPointElement Start;
    AreaPointElement End;
};

class AreaLineElement : public AreaElement {
public:
    AreaElementKind GetKind() const override { return AREA_LineElement; }
    AreaElement* Clone() const override { return new AreaLineElement(*this); }
};

// After the common part: Centre, ScribedAngle f64, Clockwise bool.
class AreaArcElement : public AreaElement {
public:
    void Write(WriteBuffer& buffer) const override;
    void Read(ReadBuffer& buffer, int& byteOffset) override;
    AreaElementKind GetKind() const override { return AREA_ArcElement; }
    AreaElement* Clone() const override { return new AreaArcElement(*this); }

    AreaPointElement Centre;
    double ScribedAngle = MATHS_Null;
    bool Clockwise = true;
};

// The owned boundary elements of an area, in order. A slot may be empty while the
// import fills the array; empty slots are not written (the count written is that of
// the elements present). Copies clone every element.
class AreaElementArray {
public:
    AreaElementArray() = default;
    AreaElementArray(const AreaElementArray& other) { *this = other; }
    AreaElementArray& operator=(const AreaElementArray& other);

    int Count() const { return static_cast<int>(_Elements.size()); }
    // Destroys every element and makes count empty slots.
    void Resize(int count);
    // The element in a slot, or null for an empty slot or (reported) a slot outside
    // the array.
    AreaElement* Get(int index) const;
    // Puts an element into a slot, taking ownership; the slot's old element is
    // destroyed. Outside the array it is reported and the element destroyed.
    void Set(int index, AreaElement* element);
    // Appends an element, taking ownership.
    void Append(AreaElement* element);
    void Clear() { _Elements.clear(); }

    void Write(WriteBuffer& buffer) const;
    // Replaces the elements by those read. A count that the bytes left cannot hold
    // reads none; a kind other than line or arc is reported ("false") and ends the
    // read as damage, keeping the elements read before it.
    void Read(ReadBuffer& buffer, int& byteOffset);
    // Same count and, slot by slot, elements of the same kind that write the same
    // bytes (both slots empty counts as equal).
    bool IsEqual(const AreaElementArray& other) const;

private:
    std::vector<std::unique_ptr<AreaElement>> _Elements;
};

class db_Area : public dbRecord_Body<db_Area> {
public:
    static constexpr database_RecordType RecordType = DATABASE_AreaRecord;

    bool IsEqual(const dbRecord_Class&) const override { return false; }

    Str Name;
    coordsys_CogoSettings Method;  // the cogo settings the area was computed under
    double Area = 0.0;
    double Perimeter = 0.0;
    AreaElementArray PerimeterEntities;

    using R = db_Area;
    using Fields = dbfield_List<dbfield_String<&R::Name>, dbfield_CogoMask<&R::Method>,
                                dbfield_F64<&R::Area>, dbfield_F64<&R::Perimeter>,
                                dbfield_Value<&R::PerimeterEntities>>;

    // The frame a subdivided area writes before its own fields: the header and the
    // fields of an area.
    void WriteFrame(WriteBuffer& buffer) const {
        dbRecord_Class::WriteFrame(buffer);
        Fields::Write(*this, buffer);
    }
    void ReadFrame(ReadBuffer& buffer, int& byteOffset) {
        dbRecord_Class::ReadFrame(buffer, byteOffset);
        Fields::Read(*this, buffer, byteOffset);
    }
};

// The names of the points a subdivision created. On disk: a u32 count, then each
// name as a string. Reading replaces the names.
void db_WriteCountedNames(WriteBuffer& buffer, const StrArray& names);
void db_ReadCountedNames(ReadBuffer& buffer, int& byteOffset, StrArray& names);

template <auto... Path>
struct dbfield_CountedNames : dbfield_Path<Path...> {
    using P = dbfield_Path<Path...>;
    template <class R>
    static void Write(const R& r, WriteBuffer& b) {
        db_WriteCountedNames(b, P::Get(r));
    }
    template <class R>
    static void Read(R& r, ReadBuffer& b, int& o) {
        db_ReadCountedNames(b, o, P::Get(r));
    }
    template <class R>
    static bool Equal(const R& a, const R& c) {
        return P::Get(a) == P::Get(c);
    }
};

class db_SubdividedArea : public dbRecord_Body<db_SubdividedArea, db_Area> {
public:
    static constexpr database_RecordType RecordType = DATABASE_SubdividedAreaRecord;

    bool IsEqual(const dbRecord_Class&) const override { return false; }

    double SubArea = 0.0;
    double SubPerimeter = 0.0;
    AreaElementArray SubPerimeterEntities;
    StrArray SubdivisionCreatedPoints;

    using R = db_SubdividedArea;
    using Fields = dbfield_List<dbfield_F64<&R::SubArea>, dbfield_F64<&R::SubPerimeter>,
                                dbfield_Value<&R::SubPerimeterEntities>,
                                dbfield_CountedNames<&R::SubdivisionCreatedPoints>>;
};

class db_GridDeltas : public dbRecord_Body<db_GridDeltas> {
public:
    static constexpr database_RecordType RecordType = DATABASE_GridDeltasRecord;

    coord_GridDeltas GridDeltas{0.0, 0.0, 0.0};

    using R = db_GridDeltas;
    using Fields = dbfield_List<dbfield_F64<&R::GridDeltas, &coord_GridDeltas::dNorth>,
                                dbfield_F64<&R::GridDeltas, &coord_GridDeltas::dEast>,
                                dbfield_F64<&R::GridDeltas, &coord_GridDeltas::dElev>>;
};

class db_LinearDeltas : public dbRecord_Body<db_LinearDeltas> {
public:
    static constexpr database_RecordType RecordType = DATABASE_LinearDeltasRecord;

    double dChainage = 0.0;
    double dOffset = 0.0;
    double dElevation = 0.0;
    double GradeToLine = 0.0;

    using R = db_LinearDeltas;
    using Fields = dbfield_List<dbfield_F64<&R::dChainage>, dbfield_F64<&R::dOffset>,
                                dbfield_F64<&R::dElevation>, dbfield_F64<&R::GradeToLine>>;
};

class db_DistanceOffset : public dbRecord_Body<db_DistanceOffset> {
public:
    static constexpr database_RecordType RecordType = DATABASE_DistanceOffsetRecord;

    coord_Circle RawObservation = dbRecord_ZeroCircle();
    double LeftRightOffset = 0.0;
    double InOutOffset = 0.0;
    double DownUpOffset = 0.0;
    int32_t DisplayOffsetPerspective = 1;  // dbconfig_OffsetPerspectiveMode

    using R = db_DistanceOffset;
    using Fields = dbfield_List<dbfield_Circle<&R::RawObservation>, dbfield_F64<&R::LeftRightOffset>,
                                dbfield_F64<&R::InOutOffset>, dbfield_F64<&R::DownUpOffset>,
                                dbfield_I16<&R::DisplayOffsetPerspective>>;
};
