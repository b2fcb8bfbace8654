#include "roads/roadquorvel_pi.h"

#include <algorithm>
#include <cmath>

#include "cogo/cogoarc.h"
#include "cogo/cogospiral.h"
#include "cogo/position_angles.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"
#include "foundation/xml/format.h"
#include "foundation/xml/xmlindex.h"
#include "foundation/xml/xmlout.h"
#include "roads/roadcogo.h"
#include "roads/roadquorvel_arc.h"
#include "roads/roadquorvel_horizontal_io.h"
#include "roads/roadquorvel_spiral.h"

using road_io::Child;

namespace {

constexpr const char* kModule = "RoadQuorvel";

constexpr const char* kCurveTypes[] = {"PI", "Circular", "SpiralArcSpiral", "SpiralSpiral"};
constexpr const char* kPIMethods[] = {"UserDefinedCoordinates", "ExistingPoint"};

// Deflections within one arc-second of straight on or of a U-turn have no curve.
constexpr double kOneSecond = 4.84813681109536e-06;
constexpr double kCloseToPrevious = 0.001;
constexpr double kSpiralResolution = 1e-07;
// Curve ends nearer than this join without a straight between them.
constexpr double kTouching = 0.0001;

bool SameGrid(const coord_CorrectedGrid& a, const coord_CorrectedGrid& b) {
    return a.East == b.East && a.Elev == b.Elev && a.North == b.North;
}

bool HasNorthEast(const coord_CorrectedGrid& p) { return maths_IsNotNull(p.North) && maths_IsNotNull(p.East); }

void Inverse(const coord_CorrectedGrid& from, const coord_CorrectedGrid& to, double* azimuth, double* distance) {
    roadcogo_InverseAzimuthDistance(road_GetConverterTransformation(), ROAD_CogoMask, from, to, azimuth, distance);
}

double Distance(const coord_CorrectedGrid& from, const coord_CorrectedGrid& to) {
    double azimuth = MATHS_Null, distance = MATHS_Null;
    Inverse(from, to, &azimuth, &distance);
    return distance;
}

coord_CorrectedGrid PointAt(const coord_CorrectedGrid& from, double azimuth, double distance) {
    coord_CorrectedGrid point;
    roadcogo_PointAtAzimuthDistance(road_GetConverterTransformation(), ROAD_CogoMask, from, azimuth, distance,
                                    &point);
    return point;
}

// Start of a generated element: station, azimuth and point.
void SetStart(HorizontalBase* e, double station, double azimuth, const coord_CorrectedGrid& point) {
    e->KeyinMethod = 0;
    e->StartStation = station;
    e->StartAzimuth = azimuth;
    e->StartCoordinate = point;
}

void SetEnd(HorizontalBase* e, double station, double azimuth, const coord_CorrectedGrid& point) {
    e->EndStation = station;
    e->EndAzimuth = azimuth;
    e->EndCoordinate = point;
}

}  // namespace

HorizontalPI& HorizontalPI::operator=(const HorizontalPI& other) {
    if (this == &other) return *this;
    HorizontalBase::operator=(other);
    CurveType = other.CurveType;
    CurveStart = other.CurveStart;
    CurveStartAzimuth = other.CurveStartAzimuth;
    CurveStartStation = other.CurveStartStation;
    CurveEnd = other.CurveEnd;
    CurveEndAzimuth = other.CurveEndAzimuth;
    CurveEndStation = other.CurveEndStation;
    Deflection = other.Deflection;
    ArcRadius = other.ArcRadius;
    ArcLength = other.ArcLength;
    SpiralInLength = other.SpiralInLength;
    SpiralOutLength = other.SpiralOutLength;
    Solved = other.Solved;
    SolveStatus = other.SolveStatus;
    Overlap = other.Overlap;
    return *this;
}

bool HorizontalPI::operator==(const RoadElement& other) const {
    const HorizontalPI* o = Cast(&other);
    return o && o->KeyinMethod == KeyinMethod && o->PointName == PointName && o->StartStation == StartStation &&
           o->CurveStartStation == CurveStartStation && o->CurveEndStation == CurveEndStation &&
           o->EndStation == EndStation && o->StartAzimuth == StartAzimuth &&
           o->CurveStartAzimuth == CurveStartAzimuth && o->CurveEndAzimuth == CurveEndAzimuth &&
           o->EndAzimuth == EndAzimuth && o->CurveType == CurveType && SameGrid(o->PICoordinate, PICoordinate) &&
           SameGrid(o->StartCoordinate, StartCoordinate) && SameGrid(o->CurveStart, CurveStart) &&
           SameGrid(o->CurveEnd, CurveEnd) && SameGrid(o->EndCoordinate, EndCoordinate) &&
           o->ArcRadius == ArcRadius && o->ArcLength == ArcLength && o->SpiralInLength == SpiralInLength &&
           o->SpiralOutLength == SpiralOutLength;
}

bool HorizontalPI::Compute() {
    QZ_FAIL("0");
    return false;
}

void HorizontalPI::ComputeEndCoordinate() {
    EndCoordinate = StartCoordinate;
    EndAzimuth = StartAzimuth;
}

AlignmentPoint HorizontalPI::PointAtStation(double) const {
    QZ_FAIL("0");
    return AlignmentPoint();
}

void HorizontalPI::ClearSolution() {
    StartCoordinate = CurveStart = CurveEnd = EndCoordinate = coord_CorrectedGrid();
    StartStation = CurveStartStation = CurveEndStation = EndStation = MATHS_Null;
    StartAzimuth = CurveStartAzimuth = CurveEndAzimuth = EndAzimuth = MATHS_Null;
}

void HorizontalPI::DeriveFromArcLength() {
    if (maths_IsNull(ArcLength) || maths_IsNull(Deflection) || Deflection == 0) return;
    const double d = std::fabs(Deflection);
    if (CurveType == 1) {
        ArcRadius = ArcLength / d;
    } else if (CurveType == 2 && maths_IsNotNull(ArcRadius) && ArcRadius != 0) {
        const double spiral = ArcRadius * (d - ArcLength / ArcRadius);
        SpiralInLength = SpiralOutLength = spiral < 0 ? 0.0 : spiral;
    }
}

void HorizontalPI::SetRadiusFromSpiralLength(double length) {
    if (maths_IsNull(length) || maths_IsNull(Deflection) || !(length > 0) || Deflection == 0) return;
    ArcRadius = length / std::fabs(Deflection);
}

void HorizontalPI::SetRadiusFromSpiralIn() {
    if (CurveType == 3) SetRadiusFromSpiralLength(SpiralInLength);
}

void HorizontalPI::SetRadiusFromSpiralOut() {
    if (CurveType == 3) SetRadiusFromSpiralLength(SpiralOutLength);
}

bool HorizontalPI::CheckOverlap(double tangentIn, double back, double tangentOut, double ahead) {
    double overlap = MATHS_Null;
    int32_t status = 0;
    if (maths_IsNotNull(tangentIn) && maths_IsNotNull(back) && back < tangentIn) {
        status = PI_OverlapsPrevious;
        overlap = tangentIn - back;
    } else if (maths_IsNotNull(tangentOut) && maths_IsNotNull(ahead) && ahead < tangentOut) {
        status = PI_OverlapsNext;
        overlap = tangentOut - ahead;
    }
    if (status == 0) return Solved;
    Solved = false;
    SolveStatus = status;
    Overlap = overlap;
    ClearSolution();
    return false;
}

bool HorizontalPI::SolveCurve(const HorizontalBase* previous, const HorizontalBase* next) {
    Solved = false;
    SolveStatus = 0;
    ClearSolution();
    if (!previous) return false;
    if (!HasNorthEast(PICoordinate) || !HasNorthEast(previous->PICoordinate)) {
        SolveStatus = PI_NoCoordinate;
        return false;
    }
    if (PICoordinate.IsWithin(previous->PICoordinate, kCloseToPrevious)) {
        SolveStatus = PI_CloseToPrevious;
        return false;
    }

    double unused = MATHS_Null;
    double back = MATHS_Null;
    double ahead = MATHS_Null;
    Inverse(previous->PICoordinate, PICoordinate, &StartAzimuth, &unused);
    Inverse(previous->EndCoordinate, PICoordinate, &unused, &back);
    if (next) {
        Inverse(PICoordinate, next->PICoordinate, &EndAzimuth, &unused);
        const HorizontalPI* nextPI = Cast(next);
        Inverse(PICoordinate, nextPI && nextPI->Solved ? next->StartCoordinate : next->PICoordinate, &unused, &ahead);
    }
    const double previousEnd = previous->EndStation;

    if (CurveType == 0) {
        StartCoordinate = CurveStart = CurveEnd = EndCoordinate = PICoordinate;
        StartStation = maths_Add(previousEnd, back);
        CurveStartStation = CurveEndStation = EndStation = StartStation;
        CurveStartAzimuth = StartAzimuth;
        CurveEndAzimuth = EndAzimuth;
        Deflection = maths_Subtract(EndAzimuth, StartAzimuth);
        ArcRadius = ArcLength = SpiralInLength = SpiralOutLength = MATHS_Null;
        Solved = true;
        return true;
    }
    if (CurveType < 1 || CurveType > 3) return CheckOverlap(MATHS_Null, back, MATHS_Null, ahead);

    if (maths_IsNull(StartAzimuth) || maths_IsNull(EndAzimuth)) return false;
    Deflection = position_AngleDifferenceSigned(EndAzimuth, StartAzimuth);
    const double d = std::fabs(Deflection);
    if (d < kOneSecond || std::fabs(d - CONSTANT_Pi) < kOneSecond) {
        SolveStatus = PI_NoDeflection;
        return false;
    }
    const double r = ArcRadius;
    if (maths_IsNull(r)) return false;
    const bool right = Deflection >= 0;

    if (CurveType == 1) {
        SpiralInLength = SpiralOutLength = MATHS_Null;
        const double t = std::tan(d / 2) * r;
        ArcLength = d * r;
        StartCoordinate = CurveStart = PointAt(PICoordinate, StartAzimuth + CONSTANT_Pi, t);
        StartStation = CurveStartStation = maths_Add(previousEnd, maths_Subtract(back, t));
        CurveStartAzimuth = StartAzimuth;
        EndCoordinate = CurveEnd = PointAt(PICoordinate, EndAzimuth, t);
        EndStation = CurveEndStation = maths_Add(StartStation, ArcLength);
        CurveEndAzimuth = EndAzimuth;
        Solved = true;
        return CheckOverlap(t, back, t, ahead);
    }

    if (CurveType == 3) SpiralInLength = SpiralOutLength = d * r;
    if (maths_IsNull(SpiralInLength) || maths_IsNull(SpiralOutLength)) return false;
    double thetaIn = MATHS_Null, xIn = MATHS_Null, yIn = MATHS_Null;
    double thetaOut = MATHS_Null, xOut = MATHS_Null, yOut = MATHS_Null;
    cogospiral_ComputeOffsets(r, MATHS_Null, SpiralInLength, SpiralInLength, kSpiralResolution, &thetaIn, &xIn, &yIn);
    cogospiral_ComputeOffsets(r, MATHS_Null, SpiralOutLength, SpiralOutLength, kSpiralResolution, &thetaOut, &xOut,
                              &yOut);
    if (maths_IsNull(thetaIn) || maths_IsNull(thetaOut)) return false;
    if (thetaIn + thetaOut - d > kSpiralResolution) {
        SolveStatus = PI_SpiralsTooLong;
        return false;
    }
    const double pIn = yIn - (1 - std::cos(thetaIn)) * r;
    const double pOut = yOut - (1 - std::cos(thetaOut)) * r;
    const double tanHalf = std::tan(d / 2);
    const double tIn = xIn - r * std::sin(thetaIn) + (r + pIn) * tanHalf + (pOut - pIn) / std::sin(d);
    const double tOut = xOut - r * std::sin(thetaOut) + (r + pOut) * tanHalf + (pIn - pOut) / std::sin(d);
    if (!right) {
        yIn = -yIn;
        yOut = -yOut;
    }
    StartCoordinate = PointAt(PICoordinate, StartAzimuth + CONSTANT_Pi, tIn);
    CurveStart = PointAt(PointAt(StartCoordinate, StartAzimuth, xIn), StartAzimuth + CONSTANT_Pi / 2, yIn);
    EndCoordinate = PointAt(PICoordinate, EndAzimuth, tOut);

    bool arc = false;
    if (CurveType == 2) {
        CurveEnd = PointAt(PointAt(EndCoordinate, EndAzimuth + CONSTANT_Pi, xOut), EndAzimuth + CONSTANT_Pi / 2, yOut);
        const double diff = maths_Subtract(Distance(StartCoordinate, CurveEnd), Distance(StartCoordinate, CurveStart));
        if (maths_IsNull(diff) || diff < -0.00001) return false;
        if (diff >= 0.00001) {
            arc = true;
            const double c = Distance(CurveStart, CurveEnd);
            // Rounding can make the chord of a near half circle a hair longer than the
            // diameter; acos must not see that.
            ArcLength = r == 0 ? 0.0 : std::acos(std::clamp(1 - c * c / (2 * r * r), -1.0, 1.0)) * r;
        }
    }
    if (!arc) {
        ArcLength = 0;
        CurveEnd = CurveStart;
    }
    StartStation = maths_Add(previousEnd, maths_Subtract(back, tIn));
    CurveStartStation = maths_Add(StartStation, SpiralInLength);
    CurveEndStation = maths_Add(CurveStartStation, ArcLength);
    EndStation = maths_Add(CurveEndStation, SpiralOutLength);
    CurveStartAzimuth = right ? StartAzimuth + thetaIn : StartAzimuth - thetaIn;
    CurveEndAzimuth = ArcLength == 0 ? CurveStartAzimuth : right ? EndAzimuth - thetaOut : EndAzimuth + thetaOut;
    Solved = true;
    return CheckOverlap(tIn, back, tOut, ahead);
}

void HorizontalPI::ReadXml(const xml_Node* node) {
    road_io::ReadPoint(node, "PICoordinate", &PICoordinate);
    for (coord_CorrectedGrid* p : {&StartCoordinate, &EndCoordinate}) {
        p->East = PICoordinate.East;
        p->North = PICoordinate.North;
    }
    road_io::SetFromName(kCurveTypes, node->GetValueByPath("CurveType"), &CurveType);
    road_io::ReadMethod(kPIMethods, node, &KeyinMethod);
    PointName = node->GetValueByPath("PICoordinatesFromPoint");
    ArcRadius = node->GetDoubleByPath("ArcRadius", MATHS_Null);
    ArcLength = node->GetDoubleByPath("ArcLength", MATHS_Null);
    SpiralInLength = node->GetDoubleByPath("SpiralInLength", MATHS_Null);
    SpiralOutLength = node->GetDoubleByPath("SpiralOutLength", MATHS_Null);
}

xmlout_element* HorizontalPI::WriteXml() const {
    xmlout_element* element = new xmlout_element("PI");
    element->AddChild(Child("CurveType", road_io::Name(kCurveTypes, CurveType)));
    element->AddChild(Child("KeyinMethod", road_io::Name(kPIMethods, KeyinMethod)));
    if (KeyinMethod == 1) element->AddChild(Child("PICoordinatesFromPoint", PointName));
    element->AddChild(WritePointXml("PICoordinate", PICoordinate));
    if (CurveType >= 1 && CurveType <= 3) {
        element->AddChild(Child("ArcRadius", xml_FormatDouble(ArcRadius)));
        element->AddChild(Child("ArcLength", xml_FormatDouble(ArcLength)));
    }
    if (CurveType == 2 || CurveType == 3) {
        element->AddChild(Child("SpiralInLength", xml_FormatDouble(SpiralInLength)));
        element->AddChild(Child("SpiralOutLength", xml_FormatDouble(SpiralOutLength)));
    }
    return element;
}

HorizontalPIArray& HorizontalPIArray::operator=(const HorizontalPIArray& other) {
    if (this == &other) return *this;
    RoadElementArray::operator=(other);
    Selected = other.Selected;
    return *this;
}

HorizontalBase* HorizontalPIArray::ProposeNextElement() const {
    if (count == 0) return new HorizontalStartPoint(1);
    return new HorizontalPI;
}

int32_t HorizontalPIArray::SolveAll() {
    for (int32_t i = 1; i < count; ++i)
        if (HorizontalPI* pi = HorizontalPI::Cast(RoadElementArray::At(i))) pi->Solved = false;
    for (int32_t i = 1; i < count; ++i) {
        HorizontalPI* pi = HorizontalPI::Cast(RoadElementArray::At(i));
        if (pi) pi->SolveCurve(At(i - 1), i + 1 < count ? At(i + 1) : nullptr);
    }
    return count;
}

bool HorizontalPIArray::ToElements(HorizontalElementArray& elements) const {
    elements.Clear();
    if (count == 0) return true;
    if (const HorizontalStartPoint* start = HorizontalStartPoint::Cast(RoadElementArray::At(0))) {
        HorizontalStartPoint* copy = new HorizontalStartPoint(*start);
        copy->SetKind(0);
        elements.Add(copy);
    }
    for (int32_t i = 1; i < count; ++i) {
        const HorizontalBase* p = At(i - 1);
        const HorizontalPI* q = HorizontalPI::Cast(RoadElementArray::At(i));
        if (!p || !q) continue;
        double azimuth = MATHS_Null, d = MATHS_Null;
        Inverse(p->EndCoordinate, q->StartCoordinate, &azimuth, &d);
        if (maths_IsNotNull(d) && d > kTouching) {
            HorizontalStraight* straight = new HorizontalStraight;
            SetStart(straight, p->EndStation, azimuth, p->EndCoordinate);
            SetEnd(straight, q->StartStation, azimuth, q->StartCoordinate);
            straight->Length = d;
            elements.Add(straight);
        }
        const bool right = !(q->Deflection < 0);
        const bool spirals = q->CurveType == 2 || q->CurveType == 3;
        if (spirals && maths_IsNotNull(q->SpiralInLength) && q->SpiralInLength > 0) {
            HorizontalEntrySpiral* entry = new HorizontalEntrySpiral;
            SetStart(entry, q->StartStation, q->StartAzimuth, q->StartCoordinate);
            SetEnd(entry, q->CurveStartStation, q->CurveStartAzimuth, q->CurveStart);
            entry->Direction = right;
            entry->Length = q->SpiralInLength;
            entry->StartRadius = MATHS_Null;
            entry->EndRadius = q->ArcRadius;
            elements.Add(entry);
        }
        if (q->CurveType != 0 && maths_IsNotNull(q->ArcLength) && q->ArcLength > 0) {
            HorizontalArc* arc = new HorizontalArc;
            SetStart(arc, q->CurveStartStation, q->CurveStartAzimuth, q->CurveStart);
            SetEnd(arc, q->CurveEndStation, q->CurveEndAzimuth, q->CurveEnd);
            arc->Direction = right;
            arc->Length = q->ArcLength;
            arc->Radius = q->ArcRadius;
            cogoarc_DeltaAngle(arc->Radius, arc->Length, &arc->Angle);
            elements.Add(arc);
        }
        if (spirals && maths_IsNotNull(q->SpiralOutLength) && q->SpiralOutLength > 0) {
            HorizontalExitSpiral* exit = new HorizontalExitSpiral;
            SetStart(exit, q->CurveEndStation, q->CurveEndAzimuth, q->CurveEnd);
            SetEnd(exit, q->EndStation, q->EndAzimuth, q->EndCoordinate);
            exit->Direction = right;
            exit->Length = q->SpiralOutLength;
            exit->StartRadius = q->ArcRadius;
            exit->EndRadius = MATHS_Null;
            elements.Add(exit);
        }
    }
    elements.UpdateTangency();
    return true;
}

xmlout_element* HorizontalPIArray::WriteXml() const {
    if (count == 0) return nullptr;
    xmlout_element* list = new xmlout_element("HorizontalAlignmentPIs");
    list->separated = true;
    for (int32_t i = 0; i < count; ++i) {
        const RoadElement* e = RoadElementArray::At(i);
        if (xmlout_element* child = e ? e->WriteXml() : nullptr) list->AddChild(child);
    }
    return list;
}
