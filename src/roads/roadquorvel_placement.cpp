#include "roads/roadquorvel_placement.h"

#include "cogo/approx.h"
#include "foundation/xml/format.h"
#include "foundation/xml/xmlindex.h"
#include "foundation/xml/xmlout.h"

namespace {

// The type texts, by type.
constexpr const char* kTypeTexts[] = {"UserDefined", "None", "Interpolate"};
constexpr const char* kSideNames[] = {"LeftSide", "RightSide"};

// At or before the station, within the station tolerance.
bool AtOrBefore(const SidedTemplatePlacement& placement, double station) {
    return approx_Compare(placement.Sides[DBROAD_SideLeft].Station, APPROX_LessOrEqual, station, APPROX_Delta);
}

}  // namespace

// One side.

bool SidePlacement::operator==(const SidePlacement& other) const {
    return Type == other.Type && Name == other.Name && Station == other.Station;
}

Str SidePlacement::TypeText() const {
    return Type >= 0 && Type < 3 ? Str(kTypeTexts[Type]) : Str();
}

void SidePlacement::SetTypeFromText(const Str& text) {
    for (int32_t i = 0; i < 3; ++i)
        if (text == kTypeTexts[i]) Type = i;
}

xmlout_element* SidePlacement::WriteXml(const char* name) const {
    xmlout_element* element = new xmlout_element(name);
    element->AddChild(new xmlout_element("Type", TypeText()));
    if (Type == UserDefinedTemplate) element->AddChild(new xmlout_element("Name", Name));
    return element;
}

// Placement.

void SidedTemplatePlacement::ReadXml(const xml_Node* node) {
    const double station = node->GetDoubleByPath("Station", MATHS_Null);
    for (int32_t side : {DBROAD_SideLeft, DBROAD_SideRight}) {
        const Str path(kSideNames[side]);
        Sides[side].Station = station;
        Sides[side].SetTypeFromText(node->GetValueByPath((path + "/Type").Data()));
        if (Sides[side].Type == SidePlacement::UserDefinedTemplate)
            Sides[side].Name = node->GetValueByPath((path + "/Name").Data());
    }
}

xmlout_element* SidedTemplatePlacement::WriteXml() const {
    xmlout_element* element = new xmlout_element("ApplyTemplates");
    element->AddChild(new xmlout_element("Station", xml_FormatDouble(Sides[DBROAD_SideLeft].Station)));
    for (int32_t side : {DBROAD_SideLeft, DBROAD_SideRight}) element->AddChild(Sides[side].WriteXml(kSideNames[side]));
    return element;
}

bool SidedTemplatePlacement::operator==(const RoadElement& other) const {
    const SidedTemplatePlacement* o = Cast(&other);
    return o && o->Sides[DBROAD_SideLeft] == Sides[DBROAD_SideLeft] &&
           o->Sides[DBROAD_SideRight] == Sides[DBROAD_SideRight];
}

SidedTemplatePlacement& SidedTemplatePlacement::operator=(const SidedTemplatePlacement& other) {
    if (this == &other) return *this;
    Type = other.Type;
    Sides[DBROAD_SideLeft] = other.Sides[DBROAD_SideLeft];
    Sides[DBROAD_SideRight] = other.Sides[DBROAD_SideRight];
    return *this;
}

// Placement list.

SidedTemplatePlacement TemplatePlacementArray::PlacementBefore(double station) const {
    SidedTemplatePlacement result;
    for (int32_t i = 0; i < count; ++i) {
        const SidedTemplatePlacement* p = At(i);
        if (!p) continue;
        if (!AtOrBefore(*p, station)) break;
        for (int32_t side : {DBROAD_SideLeft, DBROAD_SideRight})
            if (p->Sides[side].Type != SidePlacement::InterpolateTemplate) result.Sides[side] = p->Sides[side];
    }
    return result;
}

SidedTemplatePlacement TemplatePlacementArray::PlacementAfter(double station) const {
    SidedTemplatePlacement result;
    bool found[2] = {false, false};
    for (int32_t i = 0; i < count && !(found[0] && found[1]); ++i) {
        const SidedTemplatePlacement* p = At(i);
        if (!p || AtOrBefore(*p, station)) continue;
        for (int32_t side : {DBROAD_SideLeft, DBROAD_SideRight}) {
            if (found[side] || p->Sides[side].Type == SidePlacement::InterpolateTemplate) continue;
            result.Sides[side] = p->Sides[side];
            found[side] = true;
        }
    }
    return result;
}

bool TemplatePlacementArray::HasUserDefinedTemplates() const {
    for (int32_t i = 0; i < count; ++i) {
        const SidedTemplatePlacement* p = At(i);
        if (!p) continue;
        for (const SidePlacement& side : p->Sides)
            if (side.Type == SidePlacement::UserDefinedTemplate) return true;
    }
    return false;
}

StrArray TemplatePlacementArray::GetTemplateNames() const {
    StrArray names;
    for (int32_t i = 0; i < count; ++i) {
        const SidedTemplatePlacement* p = At(i);
        if (!p) continue;
        for (const SidePlacement& side : p->Sides)
            if (side.Type == SidePlacement::UserDefinedTemplate && !names.Contains(side.Name)) names.Add(side.Name);
    }
    return names;
}

int32_t TemplatePlacementArray::RenameTemplate(const Str& oldName, const Str& newName) {
    for (int32_t i = 0; i < count; ++i) {
        SidedTemplatePlacement* p = At(i);
        if (!p) continue;
        for (SidePlacement& side : p->Sides)
            if (side.Type == SidePlacement::UserDefinedTemplate && side.Name == oldName) side.Name = newName;
    }
    return count;
}

bool TemplatePlacementArray::IsValid(double startStation, double endStation) const {
    const SidedTemplatePlacement* previous = nullptr;
    for (int32_t i = 0; i < count; ++i) {
        const SidedTemplatePlacement* p = At(i);
        if (!p) continue;
        const double station = p->Sides[DBROAD_SideLeft].Station;
        if (!approx_Compare(p->Sides[DBROAD_SideRight].Station, APPROX_EqualTo, station, APPROX_Delta)) return false;
        if (previous && previous->Sides[DBROAD_SideLeft].Station == station) return false;
        previous = p;
    }
    if (count == 0) return true;
    const SidedTemplatePlacement* first = At(0);
    const SidedTemplatePlacement* last = At(count - 1);
    return first && last &&
           approx_Compare(first->Sides[DBROAD_SideLeft].Station, APPROX_GreaterOrEqual, startStation, APPROX_Delta) &&
           approx_Compare(last->Sides[DBROAD_SideLeft].Station, APPROX_LessOrEqual, endStation, APPROX_Delta);
}

int32_t TemplatePlacementArray::AddKeyStations(ChainageElementArray& chainages) const {
    for (int32_t i = 0; i < count; ++i)
        if (const SidedTemplatePlacement* p = At(i))
            chainages.AddStation(p->Sides[DBROAD_SideLeft].Station, KEY_TemplatePlacement);
    return count;
}

xmlout_element* TemplatePlacementArray::WriteXml() const { return road_WriteListXml(*this, "TemplatePositioning"); }

xmlout_element* road_WriteListXml(const RoadElementArray& list, const char* name) {
    if (list.Count() == 0) return nullptr;
    xmlout_element* element = new xmlout_element(name);
    element->separated = true;
    for (int32_t i = 0; i < list.Count(); ++i)
        if (const RoadElement* e = list.At(i)) element->AddChild(e->WriteXml());
    return element;
}
