#include "roads/roadstationequations.h"

#include <cmath>

#include "cogo/approx.h"
#include "foundation/environment.h"
#include "foundation/xml/format.h"
#include "foundation/xml/xmlindex.h"
#include "foundation/xml/xmlout.h"
#include "roads/roadquorvel_horizontal_io.h"

using road_io::Child;

namespace {

constexpr const char* kModule = "RoadStationEquations";

constexpr const char* kDirections[] = {"Increasing", "Decreasing"};

// Internal station of a displayed one in the zone ahead of the equation.
double InternalInZoneAhead(const StationEquation& e, double displayed) {
    return maths_Add(e.InternalStation, std::fabs(maths_Subtract(displayed, e.AheadStation)));
}

}  // namespace

StationEquation& StationEquation::operator=(const StationEquation& other) {
    BackStation = other.BackStation;
    AheadStation = other.AheadStation;
    Direction = other.Direction;
    InternalStation = other.InternalStation;
    return *this;
}

bool StationEquation::operator==(const StationEquation& other) const {
    return BackStation == other.BackStation && AheadStation == other.AheadStation && Direction == other.Direction &&
           InternalStation == other.InternalStation;
}

bool StationEquationManager::GetZoneRange(int32_t zone, double* start, double* end, int32_t* direction) const {
    const int32_t n = Count();
    if (zone < 1 || zone > n + 1) return false;
    if (zone == 1) {
        *start = -MATHS_Null;
        *direction = 0;
    } else {
        const StationEquation before = Get(zone - 1);
        *start = before.AheadStation;
        *direction = before.Direction;
    }
    if (zone == n + 1)
        *end = *direction == 1 ? -MATHS_Null : MATHS_Null;
    else
        *end = Get(zone).BackStation;
    return true;
}

double StationEquationManager::ToInternalStation(EquatedStation* station) const {
    const double s = station->Chainage;
    if (maths_IsNull(s)) return MATHS_Null;
    const int32_t n = Count();
    if (n == 0) return s;
    const int32_t z = station->Zone;
    if (z >= 1) {
        if (z == 1) return s > Get(1).BackStation ? MATHS_Null : s;
        if (z > n + 1) return MATHS_Null;
        const StationEquation p = Get(z - 1);
        if (p.IsDecreasing() ? s > p.AheadStation : s < p.AheadStation) return MATHS_Null;
        if (z <= n) {
            const double nextBack = Get(z).BackStation;
            if (p.IsDecreasing() ? s < nextBack : s > nextBack) return MATHS_Null;
        }
        return InternalInZoneAhead(p, s);
    }
    if (s <= Get(1).BackStation) {
        station->Zone = 1;
        return s;
    }
    for (int32_t k = 1; k <= n; ++k) {
        const StationEquation p = Get(k);
        // The last zone has no end.
        const double nextBack = k < n ? Get(k + 1).BackStation : (p.IsDecreasing() ? -MATHS_Null : MATHS_Null);
        const bool inside = p.IsDecreasing() ? nextBack <= s && s <= p.AheadStation
                                             : p.AheadStation <= s && s <= nextBack;
        if (inside) {
            station->Zone = k + 1;
            return InternalInZoneAhead(p, s);
        }
    }
    return MATHS_Null;
}

EquatedStation StationEquationManager::ToDisplayStation(double internal) const {
    const int32_t n = Count();
    if (n == 0 || maths_IsNull(internal)) return EquatedStation(internal, -1);
    if (internal < Get(1).BackStation) return EquatedStation(internal, 1);
    for (int32_t k = 1; k <= n; ++k) {
        if (k < n && !(Get(k + 1).InternalStation > internal)) continue;
        const StationEquation c = Get(k);
        const double delta = maths_Subtract(internal, c.InternalStation);
        const double displayed =
            c.IsDecreasing() ? maths_Subtract(c.AheadStation, delta) : maths_Add(c.AheadStation, delta);
        return maths_IsNull(displayed) ? EquatedStation() : EquatedStation(displayed, k + 1);
    }
    return EquatedStation();
}

StationEquation NullStationEquationManagerClass::Get(int32_t) const {
    QZ_FAIL("0");
    return StationEquation();
}

StationEquationManager* road_GetNullStationEquationManager() {
    static NullStationEquationManagerClass manager;
    return &manager;
}

void StationEquationElement::ReadXml(const xml_Node* node) {
    BackStation = node->GetDoubleByPath("BackStation", MATHS_Null);
    AheadStation = node->GetDoubleByPath("AheadStation", MATHS_Null);
    road_io::SetFromName(kDirections, node->GetValueByPath("Direction"), &Direction);
    InternalStation = node->GetDoubleByPath("InternalStation", MATHS_Null);
}

xmlout_element* StationEquationElement::WriteXml() const {
    xmlout_element* element = new xmlout_element("ApplyStationEquation");
    element->AddChild(Child("BackStation", xml_FormatDouble(BackStation)));
    element->AddChild(Child("AheadStation", xml_FormatDouble(AheadStation)));
    element->AddChild(Child("Direction", road_io::Name(kDirections, Direction)));
    element->AddChild(Child("InternalStation", xml_FormatDouble(InternalStation)));
    return element;
}

bool StationEquationElement::operator==(const RoadElement& other) const {
    const StationEquationElement* o = Cast(&other);
    return o && StationEquation::operator==(*o);
}

StationEquationElement& StationEquationElement::operator=(const StationEquationElement& other) {
    Type = other.Type;
    StationEquation::operator=(other);
    return *this;
}

StationEquationArray& StationEquationArray::operator=(const StationEquationArray& other) {
    RoadElementArray::operator=(other);
    return *this;
}

StationEquation StationEquationArray::Get(int32_t ndx) const {
    // Reading outside the list would pass its end.
    if (!QZ_ASSERT(ndx > 0) || !QZ_ASSERT(ndx <= count)) return StationEquation();
    const StationEquationElement* e = At(ndx - 1);
    return e ? StationEquation(*e) : StationEquation();
}

void StationEquationArray::ComputeInternalStations() {
    if (count == 0) return;
    StationEquationElement* first = At(0);
    if (first) first->InternalStation = first->BackStation;
    for (int32_t k = 1; k < count; ++k) {
        StationEquationElement* p = At(k - 1);
        StationEquationElement* e = At(k);
        if (!p || !e) continue;
        const double x = maths_Subtract(e->BackStation, p->AheadStation);
        if (x < 0) {
            p->Direction = 1;
            e->InternalStation = maths_Subtract(p->InternalStation, x);
        } else {
            p->Direction = 0;
            e->InternalStation = maths_Add(p->InternalStation, x);
        }
    }
}

bool StationEquationArray::IsValid(double start, double end) const {
    const int32_t n = count;
    if (n == 0) return true;
    for (int32_t k = 1; k < n; ++k) {
        const StationEquation p = Get(k);
        const double nextBack = Get(k + 1).BackStation;
        if (p.IsDecreasing() ? !(nextBack <= p.AheadStation) : !(nextBack >= p.AheadStation)) return false;
        EquatedStation ahead(p.AheadStation, k + 1);
        if (!approx_Equal(ToInternalStation(&ahead), APPROX_EqualTo, p.InternalStation)) return false;
    }
    return approx_Compare(Get(1).InternalStation, APPROX_GreaterOrEqual, start, APPROX_Delta) &&
           approx_Compare(Get(n).InternalStation, APPROX_LessOrEqual, end, APPROX_Delta);
}

void StationEquationArray::AddKeyStations(ChainageElementArray& list) const {
    for (int32_t i = 0; i < count; ++i) {
        const StationEquationElement* e = At(i);
        if (e && maths_IsNotNull(e->InternalStation)) list.AddStation(e->InternalStation, KEY_StationEquation);
    }
}

xmlout_element* StationEquationArray::WriteXml() const {
    if (count == 0) return nullptr;
    xmlout_element* list = new xmlout_element("StationEquations");
    list->separated = true;
    for (int32_t i = 0; i < count; ++i) {
        const RoadElement* e = RoadElementArray::At(i);
        if (xmlout_element* child = e ? e->WriteXml() : nullptr) list->AddChild(child);
    }
    return list;
}
