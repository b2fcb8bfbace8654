#include "roads/roadquorvel_vertical_alignment.h"

#include "cogo/approx.h"
#include "foundation/environment.h"
#include "foundation/xml/format.h"
#include "foundation/xml/xmlout.h"

namespace {
constexpr const char* kModule = "RoadQuorvel";
}  // namespace

VerticalBase* VerticalElementArray::GetElement(int32_t index) { return VerticalBase::Cast(At(index)); }

const VerticalBase* VerticalElementArray::GetElement(int32_t index) const { return VerticalBase::Cast(At(index)); }

double VerticalElementArray::StartStation() const {
    const VerticalBase* first = count > 0 ? GetElement(0) : nullptr;
    return first ? first->StartPoint.Station : MATHS_Null;
}

double VerticalElementArray::EndStation() const {
    const VerticalBase* last = count > 0 ? GetElement(count - 1) : nullptr;
    return last ? last->EndPoint.Station : MATHS_Null;
}

bool VerticalElementArray::HasElevations() const {
    for (int32_t i = 0; i < count; ++i) {
        const VerticalBase* e = GetElement(i);
        if (e && !maths_IsNull(e->StartPoint.Elevation)) return true;
    }
    return false;
}

bool VerticalElementArray::IsValid() const {
    for (int32_t i = 0; i < count; ++i) {
        const VerticalBase* e = GetElement(i);
        if (!e) continue;
        if (e->OverlapsPrevious() || e->OverlapsNext()) return false;
        const VerticalCurve* curve = VerticalCurve::Cast(e);
        if (curve && curve->GradesEqual()) return false;
        const VerticalArc* arc = VerticalArc::Cast(e);
        if (arc && !arc->IsRadiusValid()) return false;
    }
    // Keyed by VPIs, a curve at the end has no grade out to shape it.
    return !(AllKeyedByVPI() && !VerticalPoint::Cast(At(count - 1)));
}

void VerticalElementArray::LinkPrevious() {
    for (int32_t i = 0; i < count; ++i) {
        VerticalBase* e = GetElement(i);
        if (!e) continue;
        if (i == 0) {
            e->PreviousEndPoint = e->IntersectionPoint;
            continue;
        }
        if (const VerticalBase* previous = GetElement(i - 1)) {
            e->PreviousIntersectionPoint = previous->IntersectionPoint;
            e->PreviousEndPoint = previous->EndPoint;
        }
    }
}

void VerticalElementArray::LinkNext() {
    for (int32_t i = 0; i + 1 < count; ++i) {
        VerticalBase* e = GetElement(i);
        const VerticalBase* next = GetElement(i + 1);
        if (!e || !next) continue;
        e->NextIntersectionPoint = next->IntersectionPoint;
        e->NextStartPoint = next->StartPoint;
    }
}

bool VerticalElementArray::AllKeyedBy(int32_t method) const {
    if (count < 2) return false;
    for (int32_t i = 1; i < count; ++i) {
        const VerticalBase* e = GetElement(i);
        if (!e || e->KeyinMethod != method) return false;
    }
    return true;
}

bool VerticalElementArray::AllKeyedByVPI() const { return AllKeyedBy(0); }

bool VerticalElementArray::AllKeyedByStartAndEndPoints() const { return AllKeyedBy(1); }

int32_t VerticalElementArray::GetKeyinMethod() const {
    if (AllKeyedByVPI()) return 0;
    if (AllKeyedByStartAndEndPoints()) return 1;
    return 2;
}

void VerticalElementArray::RecomputeByVPI() {
    for (int32_t i = 0; i < count; ++i) {
        VerticalBase* e = GetElement(i);
        if (!e) continue;
        for (StationElevation* p : {&e->EndPoint, &e->StartPoint, &e->NextIntersectionPoint, &e->NextStartPoint,
                                    &e->PreviousIntersectionPoint, &e->PreviousEndPoint})
            p->SetNull();
        if (VerticalPoint::Cast(e)) e->KeyinMethod = 0;
        VerticalBase* previous = i > 0 ? GetElement(i - 1) : nullptr;
        if (previous) e->PreviousIntersectionPoint = previous->IntersectionPoint;
        if (const VerticalBase* next = i + 1 < count ? GetElement(i + 1) : nullptr)
            e->NextIntersectionPoint = next->IntersectionPoint;
        e->Compute();
        if (i == 0) {
            e->PreviousEndPoint = e->IntersectionPoint;
        } else if (previous) {
            e->PreviousEndPoint = previous->EndPoint;
            previous->NextStartPoint = e->StartPoint;
        }
    }
}

void VerticalElementArray::RecomputeByStartAndEndPoints() {
    for (int32_t i = 0; i < count; ++i) {
        VerticalBase* e = GetElement(i);
        if (!e) continue;
        for (StationElevation* p :
             {&e->NextIntersectionPoint, &e->NextStartPoint, &e->PreviousIntersectionPoint, &e->PreviousEndPoint})
            p->SetNull();
        // A point's VPI is its start and end; every other element derives its own.
        if (VerticalPoint::Cast(e))
            e->KeyinMethod = 1;
        else
            e->IntersectionPoint.SetNull();
        VerticalBase* previous = i > 0 ? GetElement(i - 1) : nullptr;
        if (previous) {
            e->PreviousEndPoint = previous->EndPoint;
            e->PreviousIntersectionPoint = previous->IntersectionPoint;
        }
        if (const VerticalBase* next = i + 1 < count ? GetElement(i + 1) : nullptr)
            e->NextStartPoint = next->StartPoint;
        e->Compute();
        if (previous) previous->NextIntersectionPoint = e->IntersectionPoint;
    }
}

void VerticalElementArray::Recompute() {
    if (AllKeyedByVPI()) RecomputeByVPI();
    if (AllKeyedByStartAndEndPoints()) RecomputeByStartAndEndPoints();
}

double VerticalElementArray::ElevationAt(double station) const {
    if (count == 0 || maths_IsNull(station)) return MATHS_Null;
    if (!approx_Compare(station, APPROX_GreaterOrEqual, StartStation(), APPROX_Delta) ||
        !approx_Compare(station, APPROX_LessOrEqual, EndStation(), APPROX_Delta))
        return MATHS_Null;
    for (int32_t i = 0; i < count; ++i) {
        const VerticalBase* e = GetElement(i);
        if (e && e->ContainsStation(station)) return e->ElevationAt(station);
    }
    return MATHS_Null;
}

void VerticalElementArray::AddKeyStations(ChainageElementArray& list) const {
    if (count > 0 && list.Count() > 0)
        if (ChainageElement* first = list.At(0)) first->Flags |= KEY_VerticalPI;
    for (int32_t i = 0; i < count; ++i)
        if (const VerticalBase* e = GetElement(i)) e->AddKeyStations(list);
}

xmlout_element* VerticalElementArray::WriteXml() const {
    if (count == 0) return nullptr;
    xmlout_element* alignment = new xmlout_element("VerticalAlignment");
    alignment->separated = true;
    alignment->AddChild(new xmlout_element("StartStation", xml_FormatDouble(StartStation())));
    alignment->AddChild(new xmlout_element("EndStation", xml_FormatDouble(EndStation())));
    for (int32_t i = 0; i < count; ++i)
        if (const VerticalBase* e = GetElement(i)) alignment->AddChild(e->WriteXml());
    return alignment;
}

VerticalBase* VerticalElementArray::NewElementLike(int32_t index) const {
    if (count == 0) return new VerticalPoint;
    if (!QZ_ASSERT_TEXT(index < count, "ndx < Count()")) return nullptr;
    const VerticalBase* e = GetElement(index);
    switch (e ? e->GetType() : 0) {
        case VerticalArc::TypeCode: return new VerticalArc;
        case VerticalPoint::TypeCode: return new VerticalPoint;
        case VerticalParabola::TypeCode: return new VerticalParabola;
        case VerticalAsymmetricParabola::TypeCode: return new VerticalAsymmetricParabola;
        default: return nullptr;
    }
}
