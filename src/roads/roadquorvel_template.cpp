#include "roads/roadquorvel_template.h"

#include <new>

#include "cogo/approx.h"
#include "foundation/environment.h"
#include "foundation/xml/format.h"
#include "foundation/xml/xmlindex.h"
#include "foundation/xml/xmlout.h"

namespace {

constexpr const char* kModule = "RoadQuorvel";

void AddText(xmlout_element* element, const char* name, const Str& value) {
    element->AddChild(new xmlout_element(name, value));
}

}  // namespace

// Width elements.

TemplateDistanceElement* TemplateDistanceElement::Cast(RoadElement* element) {
    return TemplateDistanceGrade::Cast(element) || TemplateDistanceDelta::Cast(element)
               ? static_cast<TemplateDistanceElement*>(element)
               : nullptr;
}

const TemplateDistanceElement* TemplateDistanceElement::Cast(const RoadElement* element) {
    return Cast(const_cast<RoadElement*>(element));
}

void TemplateDistanceElement::CopyShared(const TemplateDistanceElement& other) {
    Type = other.Type;
    Code = other.Code;
    ApplySuperelevation = other.ApplySuperelevation;
    ApplyWidening = other.ApplyWidening;
    ApplyRollover = other.ApplyRollover;
    HorizontalDistance = other.HorizontalDistance;
    RolloverGrade = other.RolloverGrade;
}

bool TemplateDistanceElement::SharedEqual(const TemplateDistanceElement& other) const {
    return Type == other.Type && Code == other.Code && ApplySuperelevation == other.ApplySuperelevation &&
           ApplyWidening == other.ApplyWidening && ApplyRollover == other.ApplyRollover &&
           HorizontalDistance == other.HorizontalDistance && RolloverGrade == other.RolloverGrade;
}

void TemplateDistanceElement::ReadShared(const xml_Node* node) {
    Code = node->GetValueByPath("Code");
    ApplySuperelevation = node->GetBoolByPath("ApplySuperelevation");
    ApplyWidening = node->GetBoolByPath("ApplyWidening");
    HorizontalDistance = node->GetDoubleByPath("HorizontalDistance", MATHS_Null);
    ApplyRollover = node->GetBoolByPath("ApplyRollover");
    RolloverGrade = road_GradeFromPercent(node->GetDoubleByPath("RolloverGrade", MATHS_Null));
}

xmlout_element* TemplateDistanceElement::WriteShared(const char* name, const char* middleName,
                                                     const Str& middleValue) const {
    xmlout_element* element = new xmlout_element(name);
    AddText(element, "Code", Code);
    AddText(element, "ApplySuperelevation", xml_FormatBool(ApplySuperelevation));
    AddText(element, "ApplyWidening", xml_FormatBool(ApplyWidening));
    AddText(element, "HorizontalDistance", xml_FormatDouble(HorizontalDistance));
    AddText(element, middleName, middleValue);
    AddText(element, "ApplyRollover", xml_FormatBool(ApplyRollover));
    AddText(element, "RolloverGrade", xml_FormatGrade(RolloverGrade, false));
    return element;
}

void TemplateDistanceGrade::ReadXml(const xml_Node* node) {
    ReadShared(node);
    Grade = road_GradeFromPercent(node->GetDoubleByPath("Grade", MATHS_Null));
    if (ApplySuperelevation && (approx_Equal(Grade, APPROX_EqualTo, CONSTANT_PiOverTwo) ||
                                approx_Equal(Grade, APPROX_EqualTo, -CONSTANT_PiOverTwo)))
        ApplySuperelevation = false;
}

xmlout_element* TemplateDistanceGrade::WriteXml() const {
    return WriteShared("DistanceAndGrade", "Grade", xml_FormatGrade(Grade, false));
}

bool TemplateDistanceGrade::operator==(const RoadElement& other) const {
    const TemplateDistanceGrade* o = Cast(&other);
    return o && SharedEqual(*o) && o->Grade == Grade;
}

TemplateDistanceGrade& TemplateDistanceGrade::operator=(const TemplateDistanceGrade& other) {
    if (this == &other) return *this;
    CopyShared(other);
    Grade = other.Grade;
    return *this;
}

void TemplateDistanceDelta::ReadXml(const xml_Node* node) {
    ReadShared(node);
    VerticalDistance = node->GetDoubleByPath("VerticalDistance", MATHS_Null);
}

xmlout_element* TemplateDistanceDelta::WriteXml() const {
    return WriteShared("DistanceAndVerticalDistance", "VerticalDistance", xml_FormatDouble(VerticalDistance));
}

bool TemplateDistanceDelta::operator==(const RoadElement& other) const {
    const TemplateDistanceDelta* o = Cast(&other);
    return o && SharedEqual(*o) && o->VerticalDistance == VerticalDistance;
}

TemplateDistanceDelta& TemplateDistanceDelta::operator=(const TemplateDistanceDelta& other) {
    if (this == &other) return *this;
    CopyShared(other);
    VerticalDistance = other.VerticalDistance;
    return *this;
}

double TemplateDistanceDelta::GetGrade() const {
    const double grade = maths_ATan2(VerticalDistance, HorizontalDistance);
    return maths_IsNull(grade) ? 0.0 : grade;
}

// Side slope.

void TemplateSideSlope::ReadXml(const xml_Node* node) {
    Code = node->GetValueByPath("Code");
    CutGrade = road_GradeFromPercent(node->GetDoubleByPath("CutGrade", MATHS_Null));
    FillGrade = maths_Multiply(-1.0, road_GradeFromPercent(node->GetDoubleByPath("FillGrade", MATHS_Null)));
    CutDitchWidth = node->GetDoubleByPath("CutDitchWidth", MATHS_Null);
}

xmlout_element* TemplateSideSlope::WriteXml() const {
    xmlout_element* element = new xmlout_element("SideSlope");
    AddText(element, "Code", Code);
    AddText(element, "CutGrade", xml_FormatGrade(CutGrade, false));
    AddText(element, "FillGrade", xml_FormatGrade(FillGrade, true));
    AddText(element, "CutDitchWidth", xml_FormatDouble(CutDitchWidth));
    return element;
}

bool TemplateSideSlope::operator==(const RoadElement& other) const {
    const TemplateSideSlope* o = Cast(&other);
    return o && o->Code == Code && o->CutGrade == CutGrade && o->FillGrade == FillGrade &&
           o->CutDitchWidth == CutDitchWidth;
}

TemplateSideSlope& TemplateSideSlope::operator=(const TemplateSideSlope& other) {
    if (this == &other) return *this;
    Type = other.Type;
    Code = other.Code;
    CutGrade = other.CutGrade;
    FillGrade = other.FillGrade;
    CutDitchWidth = other.CutDitchWidth;
    return *this;
}

// Template.

CrossSectionTemplate& CrossSectionTemplate::operator=(const CrossSectionTemplate& other) {
    if (this == &other) return *this;
    RoadElementArray::operator=(other);
    Name = other.Name;
    return *this;
}

const CrossSectionTemplate& CrossSectionTemplate::Empty() {
    static const CrossSectionTemplate empty;
    return empty;
}

xmlout_element* CrossSectionTemplate::WriteXml() const {
    xmlout_element* element = new xmlout_element("TemplateRecord");
    element->separated = true;
    AddText(element, "Name", Name);
    for (int32_t i = 0; i < count; ++i)
        if (elements[i]) element->AddChild(elements[i]->WriteXml());
    return element;
}

int32_t CrossSectionTemplate::CountWidenedElements() const {
    int32_t widened = 0;
    for (int32_t i = 0; i < count; ++i) {
        const TemplateDistanceElement* e = TemplateDistanceElement::Cast(elements[i]);
        if (e && e->ApplyWidening) ++widened;
    }
    return widened;
}

double CrossSectionTemplate::GetSuperelevationReferenceGrade() const {
    for (int32_t i = 0; i < count; ++i) {
        if (const TemplateDistanceGrade* g = TemplateDistanceGrade::Cast(elements[i])) {
            if (g->ApplySuperelevation && -CONSTANT_PiOverTwo < g->Grade && g->Grade < CONSTANT_PiOverTwo)
                return g->Grade;
        } else if (const TemplateDistanceDelta* d = TemplateDistanceDelta::Cast(elements[i])) {
            // Too narrow an element has no meaningful grade.
            if (d->ApplySuperelevation && d->HorizontalDistance > APPROX_Delta) return d->GetGrade();
        }
    }
    return MATHS_Null;
}

double CrossSectionTemplate::GetSuperelevatedWidth() const {
    // Null-aware, so two elements without a width give null rather than infinity.
    double width = 0;
    for (int32_t i = 0; i < count; ++i) {
        const TemplateDistanceElement* e = TemplateDistanceElement::Cast(elements[i]);
        if (e && e->ApplySuperelevation) width = maths_Add(width, e->HorizontalDistance);
    }
    return width;
}

bool CrossSectionTemplate::HasNegativeDistance() const {
    for (int32_t i = 0; i < count; ++i) {
        const TemplateDistanceElement* e = TemplateDistanceElement::Cast(elements[i]);
        if (e && e->HorizontalDistance < 0) return true;
    }
    return false;
}

// Template table.

TemplateArray::TemplateArray(const TemplateArray& other) {
    Reserve(other.count);
    for (int32_t i = 0; i < other.count; ++i) Add(other.templates[i]);
}

TemplateArray& TemplateArray::operator=(const TemplateArray& other) {
    if (this == &other) return *this;
    Clear();
    Reserve(other.count);
    for (int32_t i = 0; i < other.count; ++i) Add(other.templates[i]);
    return *this;
}

TemplateArray::~TemplateArray() { Clear(); }

void TemplateArray::Reserve(int32_t n) {
    if (n < 1) return;
    // Reserving over a table would lose it.
    const bool empty = QZ_ASSERT(size == 0);
    if (!(QZ_ASSERT_TEXT(templates == nullptr, "templates == NULL") && empty)) return;
    templates = new (std::nothrow) CrossSectionTemplate[static_cast<size_t>(n)];
    if (!templates) return;
    size = n;
    count = 0;
}

bool TemplateArray::Grow() {
    const int64_t wanted = size == 0 ? 20 : static_cast<int64_t>(size) * 4;
    if (wanted > INT32_MAX) return false;
    CrossSectionTemplate* grown = new (std::nothrow) CrossSectionTemplate[static_cast<size_t>(wanted)];
    if (!grown) return false;
    for (int32_t i = 0; i < size; ++i) grown[i] = templates[i];
    delete[] templates;
    templates = grown;
    size = static_cast<int32_t>(wanted);
    return true;
}

void TemplateArray::Clear() {
    delete[] templates;
    templates = nullptr;
    size = count = 0;
}

bool TemplateArray::InRange(int32_t ndx) const {
    const bool above = QZ_ASSERT(ndx >= 0);
    return QZ_ASSERT(ndx < count) && above;
}

bool TemplateArray::InTable(const CrossSectionTemplate* source) const {
    // Compared as addresses, since the source may lie in another array.
    const auto at = reinterpret_cast<uintptr_t>(source);
    return templates && at >= reinterpret_cast<uintptr_t>(templates) &&
           at < reinterpret_cast<uintptr_t>(templates + size);
}

void TemplateArray::Add(const CrossSectionTemplate& source) {
    // A template of this array would move with a growing table, so it is copied first.
    if (count >= size && InTable(&source)) {
        const CrossSectionTemplate copy(source);
        Add(copy);
        return;
    }
    if (count >= size) Grow();
    if (count >= size) return;
    templates[count] = source;
    ++count;
}

void TemplateArray::InsertAt(int32_t ndx, const CrossSectionTemplate& source) {
    const bool above = QZ_ASSERT(ndx >= 0);
    if (!(QZ_ASSERT(ndx <= count) && above)) return;
    // Growing and shifting both move this array's own templates.
    if (InTable(&source)) {
        const CrossSectionTemplate copy(source);
        InsertAt(ndx, copy);
        return;
    }
    if (count >= size) Grow();
    if (count >= size) return;
    for (int32_t i = count; i > ndx; --i) templates[i] = templates[i - 1];
    templates[ndx] = source;
    ++count;
}

void TemplateArray::RemoveAt(int32_t ndx) {
    if (!InRange(ndx)) return;
    --count;
    for (int32_t i = ndx; i < count; ++i) templates[i] = templates[i + 1];
    // The freed slot lets its elements go.
    templates[count] = CrossSectionTemplate();
}

void TemplateArray::SetAt(int32_t ndx, const CrossSectionTemplate& source) {
    if (!InRange(ndx)) return;
    templates[ndx] = source;
}

CrossSectionTemplate* TemplateArray::At(int32_t i) {
    const bool below = QZ_ASSERT(i < count);
    if (!(QZ_ASSERT(i >= 0) && below)) return nullptr;
    return &templates[i];
}

const CrossSectionTemplate* TemplateArray::At(int32_t i) const { return const_cast<TemplateArray*>(this)->At(i); }

CrossSectionTemplate* TemplateArray::FindByName(const Str& name) {
    for (int32_t i = 0; i < count; ++i)
        if (templates[i].Name == name) return &templates[i];
    return nullptr;
}

const CrossSectionTemplate* TemplateArray::FindByName(const Str& name) const {
    return const_cast<TemplateArray*>(this)->FindByName(name);
}

StrArray TemplateArray::GetNames() const {
    StrArray names;
    for (int32_t i = 0; i < count; ++i) names.Add(templates[i].Name);
    return names;
}

bool TemplateArray::HasUniqueNames() const {
    for (int32_t i = 0; i < count; ++i)
        for (int32_t j = i + 1; j < count; ++j)
            if (templates[i].Name == templates[j].Name) return false;
    return true;
}

bool TemplateArray::ContainsAllNames(const StrArray& names) const {
    for (int i = 0; i < names.Count(); ++i)
        if (!FindByName(names[i])) return false;
    return true;
}

bool TemplateArray::HasNegativeDistance() const {
    for (int32_t i = 0; i < count; ++i)
        if (templates[i].HasNegativeDistance()) return true;
    return false;
}
