// Cross-section templates: the elements that build one side of a road's cross section
// outward from the centre line, a named template holding them, and the table of a
// road's templates, which placements name.
//
//   13 TemplateDistanceGrade  "DistanceAndGrade"             width and grade
//   14 TemplateDistanceDelta  "DistanceAndVerticalDistance"  width and height difference
//   15 TemplateSideSlope      "SideSlope"                    the closing batter, cut and fill
//
// Grades are angles from the horizontal, positive rising away from the centre line; the
// road file holds them as percentages, a vertical grade as +-99999999 and a null value
// as an empty text.
#pragma once

#include <cstdint>

#include "foundation/kernel/maths.h"
#include "foundation/text/str.h"
#include "roads/roadquorvel.h"

// The fields that the two width elements share; a template walks them alike.
class TemplateDistanceElement : public RoadElement {
public:
    using RoadElement::operator=;

    // The element when its type code is 13 or 14, else null (also for null).
    static TemplateDistanceElement* Cast(RoadElement* element);
    static const TemplateDistanceElement* Cast(const RoadElement* element);

    Str Code;
    bool ApplySuperelevation = false;
    bool ApplyWidening = false;
    bool ApplyRollover = false;
    double HorizontalDistance = MATHS_Null;
    double RolloverGrade = MATHS_Null;

protected:
    explicit TemplateDistanceElement(int32_t type) : RoadElement(type) {}
    TemplateDistanceElement(const TemplateDistanceElement& other) = default;

    void CopyShared(const TemplateDistanceElement& other);
    bool SharedEqual(const TemplateDistanceElement& other) const;
    void ReadShared(const xml_Node* node);
    // The element with the shared children around the one that tells the kinds apart.
    xmlout_element* WriteShared(const char* name, const char* middleName, const Str& middleValue) const;
};

class TemplateDistanceGrade : public TemplateDistanceElement {
public:
    static constexpr int32_t TypeCode = 13;

    TemplateDistanceGrade() : TemplateDistanceElement(TypeCode) {}
    TemplateDistanceGrade(const TemplateDistanceGrade& other) = default;

    // A superelevated element read within 0.0005 rad of vertical loses the flag: a
    // vertical face never rotates.
    void ReadXml(const xml_Node* node) override;
    xmlout_element* WriteXml() const override;
    // Same type code and every field exactly.
    bool operator==(const RoadElement& other) const override;
    bool operator==(const TemplateDistanceGrade& other) const {
        return *this == static_cast<const RoadElement&>(other);
    }
    RoadElement* Clone() const override { return new TemplateDistanceGrade(*this); }
    using RoadElement::operator=;
    virtual TemplateDistanceGrade& operator=(const TemplateDistanceGrade& other);

    static TemplateDistanceGrade* Cast(RoadElement* element) { return road_CastByCode<TemplateDistanceGrade>(element); }
    static const TemplateDistanceGrade* Cast(const RoadElement* element) {
        return road_CastByCode<TemplateDistanceGrade>(element);
    }

    double Grade = MATHS_Null;
};

class TemplateDistanceDelta : public TemplateDistanceElement {
public:
    static constexpr int32_t TypeCode = 14;

    TemplateDistanceDelta() : TemplateDistanceElement(TypeCode) {}
    TemplateDistanceDelta(const TemplateDistanceDelta& other) = default;

    void ReadXml(const xml_Node* node) override;
    xmlout_element* WriteXml() const override;
    // Same type code and every field exactly.
    bool operator==(const RoadElement& other) const override;
    bool operator==(const TemplateDistanceDelta& other) const {
        return *this == static_cast<const RoadElement&>(other);
    }
    RoadElement* Clone() const override { return new TemplateDistanceDelta(*this); }
    using RoadElement::operator=;
    virtual TemplateDistanceDelta& operator=(const TemplateDistanceDelta& other);

    // The grade over the element's own width; 0 when either value is null (or both are 0).
    double GetGrade() const;

    static TemplateDistanceDelta* Cast(RoadElement* element) { return road_CastByCode<TemplateDistanceDelta>(element); }
    static const TemplateDistanceDelta* Cast(const RoadElement* element) {
        return road_CastByCode<TemplateDistanceDelta>(element);
    }

    // Height difference over the element, positive upward.
    double VerticalDistance = MATHS_Null;
};

class TemplateSideSlope : public RoadElement {
public:
    static constexpr int32_t TypeCode = 15;

    TemplateSideSlope() : RoadElement(TypeCode) {}
    TemplateSideSlope(const TemplateSideSlope& other) = default;

    // Absent children read empty or null, CutDitchWidth too.
    void ReadXml(const xml_Node* node) override;
    xmlout_element* WriteXml() const override;
    // Same type code and every field exactly.
    bool operator==(const RoadElement& other) const override;
    bool operator==(const TemplateSideSlope& other) const { return *this == static_cast<const RoadElement&>(other); }
    RoadElement* Clone() const override { return new TemplateSideSlope(*this); }
    using RoadElement::operator=;
    virtual TemplateSideSlope& operator=(const TemplateSideSlope& other);

    static TemplateSideSlope* Cast(RoadElement* element) { return road_CastByCode<TemplateSideSlope>(element); }
    static const TemplateSideSlope* Cast(const RoadElement* element) {
        return road_CastByCode<TemplateSideSlope>(element);
    }

    Str Code;
    double CutGrade = MATHS_Null;
    // Held with the opposite sign of the file's value; reading and writing both invert
    // it, so a file read and written keeps its text.
    double FillGrade = MATHS_Null;
    // Width of the flat ditch bottom at the foot of the cut.
    double CutDitchWidth = 0;
};

// A named template: its elements in order from the centre line outward. Clone is the
// plain list's and does not carry the name.
class CrossSectionTemplate : public RoadElementArray {
public:
    CrossSectionTemplate() = default;
    CrossSectionTemplate(const CrossSectionTemplate& other) = default;
    CrossSectionTemplate& operator=(const CrossSectionTemplate& other);
    ~CrossSectionTemplate() override = default;

    // The template without elements and without a name that stands for a side with no
    // template; it lives for the whole process.
    static const CrossSectionTemplate& Empty();

    // A new "TemplateRecord" element, after an empty line, owned by the caller.
    xmlout_element* WriteXml() const;

    // Width elements with ApplyWidening.
    int32_t CountWidenedElements() const;
    // The grade of the first superelevated element that can carry one: a grade element
    // strictly between -pi/2 and pi/2, or a height-difference element wider than 0.0005.
    // Null when none can.
    double GetSuperelevationReferenceGrade() const;
    // Total width of the superelevated width elements; 0 when there are none, null when
    // one of them has no width.
    double GetSuperelevatedWidth() const;
    bool HasNegativeDistance() const;

    Str Name;
};

// A road's templates, held by value in one table: a pointer from At stays valid until
// the next Add, InsertAt, Reserve, Clear or assignment. The table grows 0 -> 20 -> 80
// -> 320 slots; a template that finds no slot is dropped. Indexed calls out of range
// are reported and change nothing.
class TemplateArray {
public:
    TemplateArray() = default;
    TemplateArray(const TemplateArray& other);
    TemplateArray& operator=(const TemplateArray& other);
    virtual ~TemplateArray();
    virtual TemplateArray* Clone() const { return new TemplateArray(*this); }

    int32_t Count() const { return count; }
    int32_t Size() const { return size; }
    // Room for n templates in an array that has no table yet.
    void Reserve(int32_t n);
    bool Grow();
    void Clear();

    // Each takes a deep copy; the template may be one of this array's own.
    void Add(const CrossSectionTemplate& source);
    void InsertAt(int32_t ndx, const CrossSectionTemplate& source);
    void RemoveAt(int32_t ndx);
    void SetAt(int32_t ndx, const CrossSectionTemplate& source);
    CrossSectionTemplate* At(int32_t i);
    const CrossSectionTemplate* At(int32_t i) const;

    // The first template of exactly that name (letter case counts), or null.
    CrossSectionTemplate* FindByName(const Str& name);
    const CrossSectionTemplate* FindByName(const Str& name) const;
    StrArray GetNames() const;
    bool HasUniqueNames() const;
    // Every text of the list names a template; true for an empty list.
    bool ContainsAllNames(const StrArray& names) const;
    bool HasNegativeDistance() const;

private:
    bool InRange(int32_t ndx) const;
    bool InTable(const CrossSectionTemplate* source) const;

    int32_t size = 0;
    int32_t count = 0;
    CrossSectionTemplate* templates = nullptr;
};
