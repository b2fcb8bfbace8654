#include "roads/roadquorvel_horizontal.h"

#include <cmath>

#include "cogo/approx.h"
#include "cogo/cogo.h"
#include "cogo/position.h"
#include "cogo/position_angles.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"
#include "foundation/xml/format.h"
#include "foundation/xml/xmlindex.h"
#include "foundation/xml/xmlout.h"
#include "roads/roadcogo.h"
#include "roads/roadquorvel_horizontal_io.h"

using road_io::Child;
using road_io::ReadMethod;
using road_io::ReadPoint;

namespace {

constexpr const char* kModule = "RoadQuorvel";

// Azimuths read within this of a full turn are 0.
constexpr double kFullTurnTolerance = 5e-13;
// Two tangents this close (radians) are one direction.
constexpr double kTangencyTolerance = 2e-06;

// The names of the keying methods, by value.
constexpr const char* kStartPointMethods[] = {"UserDefinedCoordinates", "ExistingPoint"};
constexpr const char* kStraightMethods[] = {"AzimuthAndLength", "AzimuthAndEndStation", "UserDefinedCoordinates",
                                            "ExistingPoint"};

bool SameGrid(const coord_CorrectedGrid& a, const coord_CorrectedGrid& b) {
    return a.East == b.East && a.Elev == b.Elev && a.North == b.North;
}

// Moves a corner component outwards to take in a value; a null value is left out.
void Widen(double* corner, double value, bool larger) {
    if (maths_IsNull(value)) return;
    if (maths_IsNull(*corner) || (larger ? value > *corner : value < *corner)) *corner = value;
}

}  // namespace

double road_RadiansFromDegrees(double degrees) {
    return maths_IsNull(degrees) ? MATHS_Null : degrees * CONSTANT_Pi / 180;
}

double road_AzimuthFromDegrees(double degrees) {
    const double radians = road_RadiansFromDegrees(degrees);
    return std::fabs(radians - CONSTANT_TwoPi) < kFullTurnTolerance ? 0.0 : radians;
}

HorizontalBase& HorizontalBase::operator=(const HorizontalBase& other) {
    if (this == &other) return *this;
    Type = other.Type;
    KeyinMethod = other.KeyinMethod;
    PointName = other.PointName;
    Length = other.Length;
    EndStation = other.EndStation;
    StartStation = other.StartStation;
    EndAzimuth = other.EndAzimuth;
    StartAzimuth = other.StartAzimuth;
    EndCoordinate = other.EndCoordinate;
    StartCoordinate = other.StartCoordinate;
    PICoordinate = other.PICoordinate;
    TangentialToPrevious = other.TangentialToPrevious;
    return *this;
}

bool HorizontalBase::IsAbeam(const coord_CorrectedGrid& point, double* distance) const {
    if (Type == HorizontalStartPoint::TypeCode) return false;
    const transfrm_Class* transform = road_GetConverterTransformation();
    double toEndAzimuth = MATHS_Null, toEnd = MATHS_Null, toStartAzimuth = MATHS_Null, toStart = MATHS_Null;
    roadcogo_InverseAzimuthDistance(transform, ROAD_CogoMask, EndCoordinate, point, &toEndAzimuth, &toEnd);
    roadcogo_InverseAzimuthDistance(transform, ROAD_CogoMask, StartCoordinate, point, &toStartAzimuth, &toStart);
    *distance = toEnd < toStart ? toEnd : toStart;
    if (maths_IsNull(*distance)) return false;
    if (*distance == 0.0) return true;
    // Ahead of the perpendicular at the start and behind the one at the end.
    const double fromStart = AngleBetween(toStartAzimuth, StartAzimuth);
    const double fromEnd = AngleBetween(toEndAzimuth, EndAzimuth);
    if (maths_IsNull(fromStart) || maths_IsNull(fromEnd)) return false;
    return fromStart <= CONSTANT_PiOverTwo + AbeamTolerance && fromEnd >= CONSTANT_PiOverTwo - AbeamTolerance;
}

void HorizontalBase::TakeStartFromPrevious(const HorizontalBase* previous) {
    if (!QZ_ASSERT_TEXT(previous != nullptr, "element != NULL")) return;
    StartAzimuth = previous->EndAzimuth;
    StartStation = previous->EndStation;
    StartCoordinate = previous->EndCoordinate;
    if (Type == HorizontalStraight::TypeCode && previous->Type == HorizontalStraight::TypeCode) {
        StartAzimuth = MATHS_Null;
        TangentialToPrevious = false;
    }
}

void HorizontalBase::TakeStartAndCurveFromPrevious(const HorizontalBase* previous, double& radius, bool& direction) {
    if (!QZ_ASSERT_TEXT(previous != nullptr, "element != NULL")) return;
    HorizontalBase::TakeStartFromPrevious(previous);
    if (!previous->HasRadius()) return;
    // The radius and turn are read, never written, through the previous element.
    HorizontalBase* source = const_cast<HorizontalBase*>(previous);
    if (const double* endRadius = source->EndRadiusPtr()) radius = *endRadius;
    if (const bool* right = source->DirectionPtr()) direction = *right;
}

AlignmentPoint HorizontalBase::PointAtStation(double station) const {
    AlignmentPoint point;
    point.Azimuth = 0;
    point.Station = station;
    return point;
}

coord_StationOffset HorizontalBase::StationOffsetOfPoint(const coord_CorrectedGrid&) const {
    return coord_StationOffset();
}

void HorizontalBase::SetTangency(double previousEndAzimuth) {
    TangentialToPrevious = !maths_IsNull(previousEndAzimuth) && !maths_IsNull(StartAzimuth) &&
                           position_AngleDifferenceAbs(previousEndAzimuth, StartAzimuth) <= kTangencyTolerance;
}

HorizontalBase* HorizontalBase::Cast(RoadElement* element) {
    return element && element->GetType() >= 1 && element->GetType() <= 6 ? static_cast<HorizontalBase*>(element)
                                                                         : nullptr;
}

const HorizontalBase* HorizontalBase::Cast(const RoadElement* element) {
    return Cast(const_cast<RoadElement*>(element));
}

void HorizontalBase::CopyStartFrom(const HorizontalBase* element) {
    if (!QZ_ASSERT_TEXT(element != nullptr, "element != NULL")) return;
    StartAzimuth = element->StartAzimuth;
    StartStation = element->StartStation;
    StartCoordinate = element->StartCoordinate;
    TangentialToPrevious = element->TangentialToPrevious;
}

bool HorizontalBase::ContainsStation(double station) const {
    const double d = maths_Subtract(station, StartStation);
    if (maths_IsNull(d) || maths_IsNull(Length)) return false;
    return d >= 0 && approx_Compare(d, APPROX_LessOrEqual, Length, APPROX_Delta);
}

void HorizontalBase::GrowExtents(coord_CorrectedGrid* northWest, coord_CorrectedGrid* southEast) const {
    QZ_ASSERT_TEXT(!EndCoordinate.IsHorizontalNull(), "!EndCoordinate.NullHorizontal()");
    QZ_ASSERT_TEXT(!StartCoordinate.IsHorizontalNull(), "!StartCoordinate.NullHorizontal()");
    for (const coord_CorrectedGrid* p : {&StartCoordinate, &EndCoordinate}) {
        Widen(&northWest->North, p->North, true);
        Widen(&northWest->East, p->East, false);
        Widen(&southEast->North, p->North, false);
        Widen(&southEast->East, p->East, true);
    }
}

double HorizontalBase::AngleBetween(double a, double b) {
    double d = maths_Subtract(a, b);
    coord_NormalisePlusMinusPi(&d);
    return maths_Abs(d);
}

void HorizontalBase::SquaredDistanceAndAzimuth(const coord_CorrectedGrid& from, const coord_CorrectedGrid& to,
                                               double* squaredDistance, double* azimuth) {
    const double dN = maths_Subtract(to.North, from.North);
    const double dE = maths_Subtract(to.East, from.East);
    *squaredDistance = maths_Add(maths_Square(dN), maths_Square(dE));
    if (dN == 0.0 && dE == 0.0) {
        *azimuth = CONSTANT_PiOverTwo;
        return;
    }
    *azimuth = maths_ATan2(dE, dN);
    coord_NormaliseAzimuth(azimuth);
}

xmlout_element* HorizontalBase::WritePointXml(const char* name, const coord_CorrectedGrid& point) {
    xmlout_element* element = new xmlout_element(name);
    element->separated = true;
    element->AddChild(Child("North", xml_FormatDouble(point.North)));
    element->AddChild(Child("East", xml_FormatDouble(point.East)));
    return element;
}

// Start point.

void HorizontalStartPoint::ReadXml(const xml_Node* node) {
    if (Kind != 0 && Kind != 1) {
        QZ_FAIL("0");
        return;
    }
    StartStation = node->GetDoubleByPath("StartStation", MATHS_Null);
    EndStation = StartStation;
    coord_CorrectedGrid& keyed = Kind == 0 ? StartCoordinate : PICoordinate;
    ReadPoint(node, Kind == 0 ? "StartCoordinate" : "PICoordinate", &keyed);
    for (coord_CorrectedGrid* p : {&StartCoordinate, &EndCoordinate, &PICoordinate}) {
        p->East = keyed.East;
        p->North = keyed.North;
    }
    ReadMethod(kStartPointMethods, node, &KeyinMethod);
    PointName = node->GetValueByPath(Kind == 0 ? "StartCoordinatesFromPoint" : "PICoordinatesFromPoint");
}

xmlout_element* HorizontalStartPoint::WriteXml() const {
    if (Kind != 0 && Kind != 1) {
        QZ_FAIL("0");
        return nullptr;
    }
    xmlout_element* element = new xmlout_element(Kind == 0 ? "StartPoint" : "StartPI");
    element->AddChild(Child("KeyinMethod", road_io::Name(kStartPointMethods, KeyinMethod)));
    element->AddChild(Child("StartStation", xml_FormatDouble(StartStation)));
    if (KeyinMethod == 1)
        element->AddChild(Child(Kind == 0 ? "StartCoordinatesFromPoint" : "PICoordinatesFromPoint", PointName));
    element->AddChild(Kind == 0 ? WritePointXml("StartCoordinate", StartCoordinate)
                                : WritePointXml("PICoordinate", PICoordinate));
    return element;
}

bool HorizontalStartPoint::operator==(const RoadElement& other) const {
    const HorizontalStartPoint* o = Cast(&other);
    return o && o->KeyinMethod == KeyinMethod && o->PointName == PointName && o->StartStation == StartStation &&
           SameGrid(o->StartCoordinate, StartCoordinate) && o->TangentialToPrevious == TangentialToPrevious;
}

bool HorizontalStartPoint::Compute() {
    EndCoordinate = StartCoordinate;
    return true;
}

void HorizontalStartPoint::ComputeEndCoordinate() {
    EndCoordinate = StartCoordinate;
    EndAzimuth = StartAzimuth;
}

AlignmentPoint HorizontalStartPoint::PointAtStation(double) const {
    AlignmentPoint point;
    point.Azimuth = 0;
    point.Station = StartStation;
    point.Point = StartCoordinate;
    return point;
}

HorizontalStartPoint& HorizontalStartPoint::operator=(const HorizontalStartPoint& other) {
    if (this == &other) return *this;
    HorizontalBase::operator=(other);
    Kind = other.Kind;
    return *this;
}

// Straight.

void HorizontalStraight::ReadXml(const xml_Node* node) {
    Length = node->GetDoubleByPath("Length", MATHS_Null);
    StartAzimuth = road_AzimuthFromDegrees(node->GetDoubleByPath("StartAzimuth", MATHS_Null));
    // A straight ends in the direction it starts; a stored end azimuth is not trusted.
    EndAzimuth = StartAzimuth;
    EndStation = node->GetDoubleByPath("EndStation", MATHS_Null);
    StartStation = node->GetDoubleByPath("StartStation", MATHS_Null);
    ReadPoint(node, "EndCoordinate", &EndCoordinate);
    ReadPoint(node, "StartCoordinate", &StartCoordinate);
    ReadMethod(kStraightMethods, node, &KeyinMethod);
    PointName = node->GetValueByPath("EndCoordinatesFromPoint");
}

xmlout_element* HorizontalStraight::WriteXml() const {
    xmlout_element* element = new xmlout_element("Straight");
    if (!TangentialToPrevious) element->AddChild(Child("TangentialToPrevious", xml_FormatBool(false)));
    element->AddChild(Child("KeyinMethod", road_io::Name(kStraightMethods, KeyinMethod)));
    element->AddChild(Child("StartStation", xml_FormatDouble(StartStation)));
    element->AddChild(Child("StartAzimuth", xml_FormatAngle(StartAzimuth, true)));
    element->AddChild(WritePointXml("StartCoordinate", StartCoordinate));
    element->AddChild(Child("Length", xml_FormatDouble(Length)));
    element->AddChild(Child("EndStation", xml_FormatDouble(EndStation)));
    element->AddChild(Child("EndAzimuth", xml_FormatAngle(EndAzimuth, true)));
    if (KeyinMethod == 3) element->AddChild(Child("EndCoordinatesFromPoint", PointName));
    element->AddChild(WritePointXml("EndCoordinate", EndCoordinate));
    return element;
}

bool HorizontalStraight::operator==(const RoadElement& other) const {
    const HorizontalStraight* o = Cast(&other);
    return o && o->Length == Length && o->EndAzimuth == EndAzimuth && o->StartAzimuth == StartAzimuth &&
           o->KeyinMethod == KeyinMethod && o->EndStation == EndStation && o->StartStation == StartStation &&
           o->PointName == PointName && SameGrid(o->EndCoordinate, EndCoordinate) &&
           SameGrid(o->StartCoordinate, StartCoordinate) && o->TangentialToPrevious == TangentialToPrevious;
}

HorizontalStraight& HorizontalStraight::operator=(const HorizontalStraight& other) {
    HorizontalBase::operator=(other);
    return *this;
}

bool HorizontalStraight::Compute() {
    if (!IsEndPointKeyed()) {
        if (KeyinMethod == 1) Length = maths_Subtract(EndStation, StartStation);
        ComputeEndCoordinate();
        return true;
    }
    QZ_ASSERT_TEXT(!EndCoordinate.IsHorizontalNull(), "!EndCoordinate.NullHorizontal()");
    roadcogo_InverseAzimuthDistance(road_GetConverterTransformation(), ROAD_CogoMask, StartCoordinate, EndCoordinate,
                                    &StartAzimuth, &Length);
    EndAzimuth = StartAzimuth;
    return true;
}

void HorizontalStraight::ComputeEndCoordinate() {
    QZ_ASSERT_TEXT(!maths_IsNull(Length), "!maths_IsNull ( Length )");
    QZ_ASSERT_TEXT(!maths_IsNull(StartAzimuth), "!maths_IsNull ( StartAzimuth )");
    roadcogo_PointAtAzimuthDistance(road_GetConverterTransformation(), ROAD_CogoMask, StartCoordinate, StartAzimuth,
                                    Length, &EndCoordinate);
    EndAzimuth = StartAzimuth;
}

AlignmentPoint HorizontalStraight::PointAtStation(double station) const {
    AlignmentPoint point;
    point.Station = station;
    point.Azimuth = StartAzimuth;
    roadcogo_StraightPointAtDistance(road_GetConverterTransformation(), ROAD_CogoMask, StartCoordinate, StartAzimuth,
                                     maths_Subtract(station, StartStation), &point.Point);
    return point;
}

coord_StationOffset HorizontalStraight::StationOffsetOfPoint(const coord_CorrectedGrid& point) const {
    const transfrm_Class* transform = road_GetConverterTransformation();
    if (transform == nullptr) return coord_StationOffset();
    position_Class start, target, foot;
    start.SetGrid(StartCoordinate, transform);
    target.SetGrid(point, transform);
    const double level = 0.0, noOffset = 0.0;
    double footAzimuth = MATHS_Null, along = MATHS_Null, offset = MATHS_Null, rise = MATHS_Null;
    if (cogo_PointToLineWithOffsets(start, transform, &StartAzimuth, &noOffset, &noOffset, &level, target, &foot,
                                    &footAzimuth, &along, &offset, &rise, ROAD_CogoMask) != COGO_Ok)
        return coord_StationOffset();
    return coord_StationOffset(maths_Add(StartStation, along), offset, MATHS_Null);
}
