#include "roads/roadquorvel_horizontal_alignment.h"

#include <memory>

#include "cogo/approx.h"
#include "cogo/position_angles.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"
#include "foundation/xml/format.h"
#include "foundation/xml/xmlout.h"
#include "roads/roadcogo.h"
#include "roads/roadquorvel_arc.h"
#include "roads/roadquorvel_spiral.h"

namespace {

constexpr const char* kModule = "RoadQuorvel";

// Elements join within a millimetre; stored and computed end azimuths within 5e-6 rad.
constexpr double kJoinTolerance = 0.001;
constexpr double kAzimuthTolerance = 5e-06;

bool IsSpiralType(int32_t type) { return type == HorizontalExitSpiral::TypeCode || type == HorizontalEntrySpiral::TypeCode; }

// |a| > |b|, a null a being larger than anything and a null b smaller than nothing.
bool LargerOffset(double a, double b) {
    if (maths_IsNull(b)) return false;
    return maths_IsNull(a) || maths_Abs(a) > maths_Abs(b);
}

}  // namespace

HorizontalElementArray& HorizontalElementArray::operator=(const HorizontalElementArray& other) {
    if (this == &other) return *this;
    RoadElementArray::operator=(other);
    Selected = other.Selected;
    return *this;
}

double HorizontalElementArray::StartStation() const {
    const HorizontalBase* first = count > 0 ? At(0) : nullptr;
    return first ? first->StartStation : MATHS_Null;
}

double HorizontalElementArray::EndStation() const {
    const HorizontalBase* last = count > 0 ? At(count - 1) : nullptr;
    return last ? last->EndStation : MATHS_Null;
}

int32_t HorizontalElementArray::UpdateTangency() {
    for (int32_t i = 2; i < count; ++i) {
        HorizontalBase* e = At(i);
        const HorizontalBase* previous = At(i - 1);
        if (e && previous) e->SetTangency(previous->EndAzimuth);
    }
    return count;
}

int32_t HorizontalElementArray::RecomputeChain() {
    for (int32_t i = 1; i < count; ++i) {
        const HorizontalBase* p = At(i - 1);
        HorizontalBase* e = At(i);
        if (!p || !e) continue;
        e->StartStation = p->EndStation;
        e->StartCoordinate = p->EndCoordinate;
        // The first element after the start point keeps its own start azimuth.
        if (e->IsEndPointKeyed()) {
            if (i != 1 && e->IsStartAzimuthFromPrevious()) {
                e->TangentialToPrevious = true;
                e->StartAzimuth = p->EndAzimuth;
            }
            e->Compute();
            if (i != 1) e->SetTangency(p->EndAzimuth);
        } else {
            if (i != 1 && e->TangentialToPrevious) e->StartAzimuth = p->EndAzimuth;
            e->Compute();
        }
        e->EndStation = maths_Add(e->StartStation, e->Length);
    }
    return count;
}

bool HorizontalElementArray::PointAtStation(double station, AlignmentPoint* point) const {
    const double end = EndStation();
    if (maths_IsNull(end) || !approx_Compare(station, APPROX_GreaterOrEqual, StartStation(), APPROX_Delta) ||
        !approx_Compare(station, APPROX_LessOrEqual, end, APPROX_Delta))
        return false;
    for (int32_t i = 0; i < count; ++i) {
        const HorizontalBase* e = At(i);
        if (e && e->ContainsStation(station)) {
            *point = e->PointAtStation(station);
            return true;
        }
    }
    return false;
}

coord_CorrectedGrid HorizontalElementArray::PointAtStationOffset(const coord_StationOffset& stationOffset) const {
    AlignmentPoint at;
    if (!PointAtStation(stationOffset.Station, &at)) return coord_CorrectedGrid();
    double across = maths_Add(at.Azimuth, CONSTANT_PiOverTwo);
    if (!maths_IsNull(across)) coord_NormaliseAzimuth(&across);
    coord_CorrectedGrid grid;
    roadcogo_PointAtAzimuthDistance(road_GetConverterTransformation(), ROAD_CogoMask, at.Point, across,
                                    stationOffset.Offset, &grid);
    return grid;
}

coord_CorrectedGrid HorizontalElementArray::GridAtStation(double station) const {
    return PointAtStationOffset(coord_StationOffset(station, 0.0, MATHS_Null));
}

coord_StationOffset HorizontalElementArray::StationOffsetOfPoint(const coord_CorrectedGrid& point) const {
    coord_StationOffset best;
    for (int32_t i = 0; i < count; ++i) {
        const HorizontalBase* e = At(i);
        if (!e) continue;
        double distance = MATHS_Null;
        if (e->IsAbeam(point, &distance)) {
            const coord_StationOffset r = e->StationOffsetOfPoint(point);
            if (LargerOffset(best.Offset, r.Offset)) best = r;
        } else if (LargerOffset(best.Offset, distance)) {
            // An end nearer than any element that holds the point: off the alignment.
            best.Station = MATHS_Null;
            best.Offset = distance;
        }
    }
    if (maths_IsNull(best.Station)) best.Offset = MATHS_Null;
    return best;
}

void HorizontalElementArray::AddKeyStations(ChainageElementArray& list) const {
    if (count == 0) return;
    const HorizontalBase* first = At(0);
    int32_t previous = first ? first->GetType() : 0;
    for (int32_t i = 1; i < count; ++i) {
        const HorizontalBase* e = At(i);
        if (!e) continue;
        const int32_t type = e->GetType();
        int32_t flag = 0;
        if (type == HorizontalStraight::TypeCode) {
            flag = IsSpiralType(previous)                     ? KEY_SpiralToStraight
                   : previous == HorizontalArc::TypeCode      ? KEY_ArcToStraight
                                                              : KEY_StraightToStraight;
        } else if (type == HorizontalArc::TypeCode) {
            flag = IsSpiralType(previous) ? KEY_SpiralToArc : KEY_ArcStart;
        } else if (IsSpiralType(type)) {
            flag = previous == HorizontalStraight::TypeCode ? KEY_StraightToSpiral
                   : previous == HorizontalArc::TypeCode    ? KEY_ArcToSpiral
                                                            : KEY_SpiralToSpiral;
        }
        if (flag != 0 && previous == HorizontalStartPoint::TypeCode) flag = KEY_AlignmentStart;
        if (flag != 0) list.AddStation(e->StartStation, flag);
        previous = type;
    }
    list.AddStation(EndStation(), KEY_AlignmentEnd);
}

HorizontalBase* HorizontalElementArray::ProposeNextElement(int32_t ndx) const {
    if (count == 0) return new HorizontalStartPoint(0);
    if (!QZ_ASSERT_TEXT(ndx >= 0 && ndx < count, "ndx < Count()")) return nullptr;
    // Entries before the start of the list are absent.
    auto typeAt = [this](int32_t i) {
        const HorizontalBase* e = i >= 0 ? At(i) : nullptr;
        return e ? e->GetType() : 0;
    };
    const int32_t t0 = typeAt(ndx), t1 = typeAt(ndx - 1), t2 = typeAt(ndx - 2);
    constexpr int32_t kArc = HorizontalArc::TypeCode, kStraight = HorizontalStraight::TypeCode;
    if (count > 1 && t0 == kStraight && t1 == kStraight) return new HorizontalStraight;
    if (count > 2 && t0 == kStraight && t1 == kArc && t2 == kStraight) return new HorizontalArc;
    if (count > 2 && t0 == kArc && t1 == kStraight && t2 == kArc) return new HorizontalStraight;
    const HorizontalBase* current = At(ndx);
    const bool spirals = HasSpiralAfterStart() || (count < 3 && current && !current->IsEndPointKeyed());
    switch (t0) {
        case kArc:
            if (spirals && IsSpiralType(t1)) return new HorizontalExitSpiral;
            return new HorizontalStraight;
        case kStraight:
            if (spirals) return new HorizontalEntrySpiral;
            return new HorizontalArc;
        case HorizontalStartPoint::TypeCode: return new HorizontalStraight;
        case HorizontalExitSpiral::TypeCode: return spirals ? new HorizontalStraight : nullptr;
        case HorizontalEntrySpiral::TypeCode: return spirals ? new HorizontalArc : nullptr;
        default: return nullptr;
    }
}

int32_t HorizontalElementArray::GetExtents(coord_CorrectedGrid* northWest, coord_CorrectedGrid* southEast) const {
    if (count == 0) return count;
    if (const HorizontalBase* first = At(0)) {
        northWest->North = southEast->North = first->StartCoordinate.North;
        northWest->East = southEast->East = first->StartCoordinate.East;
    }
    for (int32_t i = 0; i < count; ++i)
        if (const HorizontalBase* e = At(i)) e->GrowExtents(northWest, southEast);
    return count;
}

bool HorizontalElementArray::IsContinuous() const {
    for (int32_t i = 1; i < count; ++i) {
        const HorizontalBase* e = At(i);
        const HorizontalBase* previous = At(i - 1);
        if (!e || !previous || !e->StartCoordinate.IsWithin(previous->EndCoordinate, kJoinTolerance)) return false;
    }
    return true;
}

bool HorizontalElementArray::IsConsistent() const {
    for (int32_t i = 1; i < count; ++i) {
        const HorizontalBase* e = At(i);
        if (!e) return false;
        std::unique_ptr<HorizontalBase> recomputed(HorizontalBase::Cast(e->Clone()));
        recomputed->ComputeEndCoordinate();
        if (!recomputed->EndCoordinate.IsWithin(e->EndCoordinate, kJoinTolerance)) return false;
        const double turn = position_AngleDifferenceAbs(recomputed->EndAzimuth, e->EndAzimuth);
        if (maths_IsNull(turn) || turn > kAzimuthTolerance) return false;
    }
    return true;
}

bool HorizontalElementArray::HasSpiralAfterStart() const {
    for (int32_t i = 1; i < count; ++i) {
        const HorizontalBase* e = At(i);
        if (e && e->IsSpiral()) return true;
    }
    return false;
}

bool HorizontalElementArray::HasElementEndingAt(double station) const {
    for (int32_t i = 0; i < count; ++i) {
        const HorizontalBase* e = At(i);
        if (e && approx_Equal(e->EndStation, APPROX_EqualTo, station)) return true;
    }
    return false;
}

int32_t HorizontalElementArray::FirstElementKeying() const {
    if (count < 2) return 3;
    const HorizontalBase* first = At(1);
    return first && first->IsEndStationKeyed() ? 1 : 0;
}

xmlout_element* HorizontalElementArray::WriteXml() const {
    if (count == 0) return nullptr;
    xmlout_element* alignment = new xmlout_element("HorizontalAlignment");
    alignment->separated = true;
    alignment->AddChild(new xmlout_element("StartStation", xml_FormatDouble(StartStation())));
    alignment->AddChild(new xmlout_element("EndStation", xml_FormatDouble(EndStation())));
    for (int32_t i = 0; i < count; ++i) {
        const RoadElement* e = RoadElementArray::At(i);
        if (xmlout_element* child = e ? e->WriteXml() : nullptr) alignment->AddChild(child);
    }
    return alignment;
}
