// Template placements (type code 11, "ApplyTemplates"): from a station onward, which
// template is in force on each side of the road, named by the template's name. A road
// keeps them in station order in a TemplatePlacementArray ("TemplatePositioning").
// Each side carries a station of its own, but the file holds one per placement, and
// placements are ordered and compared by the left side's.
#pragma once

#include <cstdint>

#include "foundation/kernel/maths.h"
#include "foundation/text/str.h"
#include "roads/roadquorvel.h"

// Side indices of placements, superelevation and cross sections.
inline constexpr int32_t DBROAD_SideLeft = 0;
inline constexpr int32_t DBROAD_SideRight = 1;

// The list's element of that name, after an empty line, holding every element's XML in
// order; null for an empty list.
xmlout_element* road_WriteListXml(const RoadElementArray& list, const char* name);

// One side of a placement.
class SidePlacement {
public:
    // Kinds of placement; an interpolating side lets the sides before and after it govern.
    static constexpr int32_t UserDefinedTemplate = 0;  // "UserDefined"
    static constexpr int32_t NoTemplate = 1;           // "None"
    static constexpr int32_t InterpolateTemplate = 2;  // "Interpolate"

    // Equal type, name as text and exactly equal station.
    bool operator==(const SidePlacement& other) const;

    // Empty for an unknown type.
    Str TypeText() const;
    // An exact match of a type text; any other text leaves the type as it is.
    void SetTypeFromText(const Str& text);
    // A new element of that name holding "Type" and, for a named template, "Name".
    xmlout_element* WriteXml(const char* name) const;

    int32_t Type = NoTemplate;
    // Meaningful for UserDefinedTemplate only.
    Str Name;
    double Station = MATHS_Null;
};

class SidedTemplatePlacement : public RoadElement {
public:
    static constexpr int32_t TypeCode = 11;

    SidedTemplatePlacement() : RoadElement(TypeCode) {}
    SidedTemplatePlacement(const SidedTemplatePlacement& other) = default;

    // The one "Station" goes to both sides; an absent or unknown type keeps NoTemplate.
    void ReadXml(const xml_Node* node) override;
    xmlout_element* WriteXml() const override;
    // Same type code and both sides equal.
    bool operator==(const RoadElement& other) const override;
    bool operator==(const SidedTemplatePlacement& other) const {
        return *this == static_cast<const RoadElement&>(other);
    }
    RoadElement* Clone() const override { return new SidedTemplatePlacement(*this); }
    using RoadElement::operator=;
    virtual SidedTemplatePlacement& operator=(const SidedTemplatePlacement& other);

    static SidedTemplatePlacement* Cast(RoadElement* element) {
        return road_CastByCode<SidedTemplatePlacement>(element);
    }
    static const SidedTemplatePlacement* Cast(const RoadElement* element) {
        return road_CastByCode<SidedTemplatePlacement>(element);
    }

    // Indexed by DBROAD_SideLeft and DBROAD_SideRight.
    SidePlacement Sides[2];
};

class TemplatePlacementArray : public RoadElementArray {
public:
    TemplatePlacementArray() = default;
    TemplatePlacementArray(const TemplatePlacementArray& other) = default;
    TemplatePlacementArray& operator=(const TemplatePlacementArray& other) = default;
    TemplatePlacementArray* Clone() const override { return new TemplatePlacementArray(*this); }

    SidedTemplatePlacement* At(int32_t i) { return SidedTemplatePlacement::Cast(RoadElementArray::At(i)); }
    const SidedTemplatePlacement* At(int32_t i) const { return SidedTemplatePlacement::Cast(RoadElementArray::At(i)); }

    // Per side, the last placement at or before the station (within 0.0005) that does not
    // interpolate; a side with none has no template.
    SidedTemplatePlacement PlacementBefore(double station) const;
    // Per side, the first placement beyond the station (by more than 0.0005) that does not
    // interpolate; a side with none has no template.
    SidedTemplatePlacement PlacementAfter(double station) const;
    // Some side names a template: whether the road has templates at all.
    bool HasUserDefinedTemplates() const;
    // The names of the named sides, each once, in order of first use, left before right.
    StrArray GetTemplateNames() const;
    // Every named side of the old name takes the new one; answers the count of placements.
    int32_t RenameTemplate(const Str& oldName, const Str& newName);
    // Each placement's sides at one station (within 0.0005), no two neighbours at exactly
    // the same station, and all placements within [start - 0.0005, end + 0.0005].
    bool IsValid(double startStation, double endStation) const;
    // Every placement's station as a template placement key station; answers the count.
    int32_t AddKeyStations(ChainageElementArray& chainages) const;
    // "TemplatePositioning", after an empty line; null for an empty array.
    xmlout_element* WriteXml() const;
};
