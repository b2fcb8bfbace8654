#include "roads/roadquorvel_superelevation.h"

#include "cogo/approx.h"
#include "foundation/environment.h"
#include "foundation/xml/format.h"
#include "foundation/xml/xmlindex.h"
#include "foundation/xml/xmlout.h"
#include "roads/roadcogo.h"

namespace {

constexpr const char* kModule = "RoadQuorvel";

constexpr const char* kPivotTexts[] = {"Left", "Crown", "Right"};
constexpr const char* kSideNames[] = {"LeftSide", "RightSide"};

// Superelevation rates and values agree within this.
constexpr double kRateTolerance = 0.00001;

// Both widenings added, an unknown one counting as none, as the cross section takes it.
double TotalWidening(const SuperElevationWidening& entry) {
    double total = 0;
    for (double widening : entry.Widening)
        if (!maths_IsNull(widening)) total += widening;
    return total;
}

}  // namespace

// Entry.

void SuperElevationWidening::ReadXml(const xml_Node* node) {
    Station = node->GetDoubleByPath("Station", MATHS_Null);
    for (int32_t side : {DBROAD_SideLeft, DBROAD_SideRight})
        Widening[side] = node->GetDoubleByPath((Str(kSideNames[side]) + "/Widening").Data(), MATHS_Null);
    for (int32_t side : {DBROAD_SideLeft, DBROAD_SideRight})
        Superelevation[side] = road_GradeFromPercent(
            node->GetDoubleByPath((Str(kSideNames[side]) + "/Superelevation").Data(), MATHS_Null));
    SetPivotFromText(node->GetValueByPath("Pivot"));
}

xmlout_element* SuperElevationWidening::WriteXml() const {
    xmlout_element* element = new xmlout_element("ApplySuperelevation");
    element->AddChild(new xmlout_element("Station", xml_FormatDouble(Station)));
    element->AddChild(new xmlout_element("Pivot", PivotText()));
    for (int32_t side : {DBROAD_SideLeft, DBROAD_SideRight}) {
        xmlout_element* child = new xmlout_element(kSideNames[side]);
        child->AddChild(new xmlout_element("Superelevation", xml_FormatGrade(Superelevation[side], false)));
        child->AddChild(new xmlout_element("Widening", xml_FormatDouble(Widening[side])));
        element->AddChild(child);
    }
    return element;
}

bool SuperElevationWidening::operator==(const RoadElement& other) const {
    const SuperElevationWidening* o = Cast(&other);
    return o && o->Pivot == Pivot && o->Station == Station && o->Superelevation[0] == Superelevation[0] &&
           o->Superelevation[1] == Superelevation[1] && o->Widening[0] == Widening[0] &&
           o->Widening[1] == Widening[1];
}

SuperElevationWidening& SuperElevationWidening::operator=(const SuperElevationWidening& other) {
    if (this == &other) return *this;
    Type = other.Type;
    Pivot = other.Pivot;
    Station = other.Station;
    for (int32_t side : {DBROAD_SideLeft, DBROAD_SideRight}) {
        Superelevation[side] = other.Superelevation[side];
        Widening[side] = other.Widening[side];
    }
    return *this;
}

Str SuperElevationWidening::PivotText() const {
    return Pivot >= 0 && Pivot < 3 ? Str(kPivotTexts[Pivot]) : Str();
}

void SuperElevationWidening::SetPivotFromText(const Str& text) {
    for (int32_t i = 0; i < 3; ++i)
        if (text == kPivotTexts[i]) Pivot = i;
}

bool SuperElevationWidening::HasWidening() const {
    return !maths_IsNull(Widening[DBROAD_SideLeft]) && !maths_IsNull(Widening[DBROAD_SideRight]);
}

// Entry list.

SuperElevationWidening SuperElevationArray::ValueAt(double station) const {
    SuperElevationWidening before;
    SuperElevationWidening after;
    for (int32_t i = 0; i < count; ++i) {
        const SuperElevationWidening* e = At(i);
        if (!e) continue;
        if (approx_Equal(e->Station, APPROX_EqualTo, station) && e->HasWidening()) return *e;
        if (approx_Equal(e->Station, APPROX_LessOrEqual, station)) before = *e;
        if (approx_Equal(e->Station, APPROX_GreaterOrEqual, station)) {
            after = *e;
            // An entry without both widenings never ends an interpolation: the walk goes on.
            if (!maths_IsNull(before.Station) && after.HasWidening()) return Interpolate(before, after, station);
        }
    }
    return before;
}

SuperElevationWidening SuperElevationArray::Interpolate(const SuperElevationWidening& before,
                                                        const SuperElevationWidening& after, double station) {
    SuperElevationWidening value;
    value.Pivot = before.Pivot;
    value.Station = station;
    for (int32_t side : {DBROAD_SideLeft, DBROAD_SideRight}) {
        value.Superelevation[side] = roadcogo_Interpolate(before.Superelevation[side], after.Superelevation[side],
                                                          before.Station, after.Station, station);
        value.Widening[side] =
            roadcogo_Interpolate(before.Widening[side], after.Widening[side], before.Station, after.Station, station);
    }
    return value;
}

bool SuperElevationArray::IsValid(double startStation, double endStation) const {
    for (int32_t i = 1; i < count; ++i) {
        const SuperElevationWidening* previous = At(i - 1);
        const SuperElevationWidening* e = At(i);
        if (previous && e && previous->Station == e->Station) return false;
    }
    if (count == 0) return true;
    const SuperElevationWidening* first = At(0);
    const SuperElevationWidening* last = At(count - 1);
    return first && last && approx_Equal(first->Station, APPROX_GreaterOrEqual, startStation) &&
           approx_Equal(last->Station, APPROX_LessOrEqual, endStation);
}

void SuperElevationArray::AddKeyStations(ChainageElementArray& chainages) const {
    AddSuperelevationKeys(chainages);
    AddWideningKeys(chainages);
}

void SuperElevationArray::AddSuperelevationKeys(ChainageElementArray& chainages) const {
    if (count == 0) return;
    const SuperElevationWidening* first = At(0);
    if (first) chainages.AddStation(first->Station, KEY_SuperelevationStart);
    for (int32_t ndx = 1; ndx < count - 1; ++ndx) {
        const SuperElevationWidening* e = At(ndx);
        if (!e) continue;
        int32_t flags = 0;
        if (SidesMirrored(ndx) && IsFullSuperelevation(ndx))
            flags = KEY_FullSuperelevation;
        else if (SidesMirrored(ndx) && RateChanges(ndx))
            flags = KEY_SuperelevationBreak;
        else if (SidesEqual(ndx) && RateChanges(ndx) && IsConstantAfter(ndx))
            flags = KEY_SuperelevationEnd;
        else if (SidesEqual(ndx) && RateChanges(ndx) && IsConstantBefore(ndx))
            flags = KEY_SuperelevationStart;
        else if (SidesEqual(ndx) && IsLevelCrossing(ndx))
            flags = KEY_SuperelevationEnd | KEY_SuperelevationStart;
        else if (RateChanges(ndx))
            flags = KEY_SuperelevationRateChange;
        if (flags) chainages.AddStation(e->Station, flags);
    }
    const SuperElevationWidening* last = At(count - 1);
    if (last && SidesEqual(count - 1)) chainages.AddStation(last->Station, KEY_SuperelevationEnd);
}

void SuperElevationArray::AddWideningKeys(ChainageElementArray& chainages) const {
    enum Phase { None, Rising, Falling };
    const SuperElevationWidening* previous = count > 0 ? At(0) : nullptr;
    if (!previous) return;
    double maximum = maths_Abs(TotalWidening(*previous));
    const SuperElevationWidening* maximumEntry = previous;
    Phase phase = None;
    for (int32_t i = 1; i < count; ++i) {
        const SuperElevationWidening* e = At(i);
        if (!e) continue;
        const double total = TotalWidening(*e);
        if (phase == Rising) {
            if (total > maximum) {
                maximum = total;
                maximumEntry = e;
            } else if (total < maximum) {
                chainages.AddStation(previous->Station, KEY_MaximumWidening);
                if (maximumEntry->Station != previous->Station)
                    chainages.AddStation(maximumEntry->Station, KEY_MaximumWidening);
                phase = Falling;
            }
        }
        if (phase == Falling && total == 0.0) {
            chainages.AddStation(e->Station, KEY_WideningEnd);
            phase = None;
        }
        if (phase == None && total > TotalWidening(*previous)) {
            chainages.AddStation(previous->Station, KEY_WideningStart);
            maximum = total;
            maximumEntry = e;
            phase = Rising;
        }
        previous = e;
    }
}

const SuperElevationWidening* SuperElevationArray::Entry(int32_t ndx) const {
    const bool above = QZ_ASSERT(ndx >= 0);
    if (!(QZ_ASSERT_TEXT(ndx < count, "ndx < Supers.Count()") && above)) return nullptr;
    return At(ndx);
}

double SuperElevationArray::Rate(int32_t side, int32_t ndx) const {
    const SuperElevationWidening* e = Entry(ndx);
    // Callers ask only for entries that have a next one.
    const SuperElevationWidening* next = e && ndx + 1 < count ? At(ndx + 1) : nullptr;
    if (!next) return MATHS_Null;
    const double deltaChainage = maths_Subtract(next->Station, e->Station);
    QZ_ASSERT_TEXT(deltaChainage != 0.0, "DeltaChainage != 0.0");
    return maths_Divide(maths_Subtract(next->Superelevation[side], e->Superelevation[side]), deltaChainage);
}

bool SuperElevationArray::RatesEqual(double a, double b) {
    return approx_Compare(a, APPROX_EqualTo, b, kRateTolerance);
}

bool SuperElevationArray::KeepsDirection(int32_t side, int32_t ndx) const {
    const double r0 = Rate(side, ndx - 1);
    const double r1 = Rate(side, ndx);
    return (r0 > 0 && r1 > 0) || (r0 < 0 && r1 < 0);
}

bool SuperElevationArray::SidesOpposed(int32_t ndx) const {
    const double left = Rate(DBROAD_SideLeft, ndx);
    const double right = Rate(DBROAD_SideRight, ndx);
    return (left > 0 && right < 0) || (left < 0 && right > 0);
}

bool SuperElevationArray::IsExtremum(int32_t side, int32_t ndx) const {
    const SuperElevationWidening* e = Entry(ndx);
    if (!e) return false;
    const double v = e->Superelevation[side];
    const double w = e->Superelevation[OtherSide(side)];
    const double r0 = Rate(side, ndx - 1);
    const double r1 = Rate(side, ndx);
    if (v > w) return (r0 > 0 && r1 < 0) || (r0 == 0 && r1 < 0) || (r0 > 0 && r1 == 0);
    if (v < w) return (r0 < 0 && r1 > 0) || (r0 == 0 && r1 > 0) || (r0 < 0 && r1 == 0);
    return false;
}

bool SuperElevationArray::IsFullSuperelevation(int32_t ndx) const {
    return IsExtremum(DBROAD_SideLeft, ndx) && IsExtremum(DBROAD_SideRight, ndx);
}

bool SuperElevationArray::RateChanges(int32_t ndx) const {
    return !RatesEqual(Rate(DBROAD_SideLeft, ndx - 1), Rate(DBROAD_SideLeft, ndx)) ||
           !RatesEqual(Rate(DBROAD_SideRight, ndx - 1), Rate(DBROAD_SideRight, ndx));
}

bool SuperElevationArray::IsConstantAfter(int32_t ndx) const {
    return RatesEqual(Rate(DBROAD_SideLeft, ndx), 0) && RatesEqual(Rate(DBROAD_SideRight, ndx), 0);
}

bool SuperElevationArray::IsConstantBefore(int32_t ndx) const { return IsConstantAfter(ndx - 1); }

bool SuperElevationArray::IsLevelCrossing(int32_t ndx) const {
    const SuperElevationWidening* e = Entry(ndx);
    return e && approx_Equal(e->Superelevation[DBROAD_SideLeft], APPROX_EqualTo, 0) &&
           approx_Equal(e->Superelevation[DBROAD_SideRight], APPROX_EqualTo, 0) &&
           KeepsDirection(DBROAD_SideLeft, ndx) && KeepsDirection(DBROAD_SideRight, ndx) && SidesOpposed(ndx);
}

bool SuperElevationArray::SidesEqual(int32_t ndx) const {
    const SuperElevationWidening* e = Entry(ndx);
    if (!e) return false;
    const double left = e->Superelevation[DBROAD_SideLeft];
    const double right = e->Superelevation[DBROAD_SideRight];
    return !maths_IsNull(left) && !maths_IsNull(right) && approx_Compare(left, APPROX_EqualTo, right, kRateTolerance);
}

bool SuperElevationArray::SidesMirrored(int32_t ndx) const {
    const SuperElevationWidening* e = Entry(ndx);
    if (!e) return false;
    const double left = e->Superelevation[DBROAD_SideLeft];
    const double right = e->Superelevation[DBROAD_SideRight];
    return approx_Compare(maths_Abs(left), APPROX_EqualTo, maths_Abs(right), kRateTolerance) &&
           ((left > 0 && right < 0) || (left < 0 && right > 0) || (left == 0 && right == 0));
}
