#include "roads/roadquorvel_arc.h"

#include <cmath>

#include "cogo/cogo.h"
#include "cogo/cogoarc.h"
#include "cogo/position.h"
#include "cogo/position_angles.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"
#include "foundation/xml/format.h"
#include "roads/roadcogo.h"
#include "roads/roadquorvel_horizontal_io.h"
#include "roads/roadquorvel_spiral.h"

using road_io::Child;
using road_io::ReadPoint;

namespace {

constexpr const char* kModule = "RoadQuorvel";

constexpr const char* kArcMethods[] = {"RadiusAndLength",
                                       "RadiusAndEndStation",
                                       "DeltaAngleAndRadius",
                                       "DeflectionAngleAndLength",
                                       "DeflectionAngleAndEndStation",
                                       "EndCoordinates",
                                       "ExistingPoint",
                                       "EndCoordinatesAndCentrePointCoordinates",
                                       "ExistingPointAndCentrePoint"};

// Radii through the start and the end of a centre-keyed arc may differ this much.
constexpr double kRadiusTolerance = 0.01;
// An end this close (radians) to the start tangent's line has no arc.
constexpr double kOnTangent = 5e-06;
constexpr double kLongestArc = 100000;

double Normalised(double azimuth) {
    if (maths_IsNull(azimuth)) return MATHS_Null;
    coord_NormaliseAzimuth(&azimuth);
    return azimuth;
}

// The azimuth turned by the angle the way the arc turns.
double Turned(double azimuth, double angle, bool right) {
    return Normalised(right ? maths_Add(azimuth, angle) : maths_Subtract(azimuth, angle));
}

int CogoDirection(bool right) { return right ? COGOARC_RightHand : COGOARC_LeftHand; }

}  // namespace

HorizontalArc::HorizontalArc(const HorizontalEntrySpiral& spiral) : HorizontalBase(TypeCode) {
    FromSpiral(spiral, spiral.StartRadius, spiral.EndRadius, spiral.Direction);
}

HorizontalArc::HorizontalArc(const HorizontalExitSpiral& spiral) : HorizontalBase(TypeCode) {
    FromSpiral(spiral, spiral.StartRadius, spiral.EndRadius, spiral.Direction);
}

void HorizontalArc::FromSpiral(const HorizontalBase& spiral, double startRadius, double endRadius, bool right) {
    HorizontalBase::operator=(spiral);
    Type = TypeCode;
    Direction = right;
    Radius = maths_Divide(maths_Add(startRadius, endRadius), 2.0);
    cogoarc_DeltaAngle(Radius, Length, &Angle);
}

HorizontalArc& HorizontalArc::operator=(const HorizontalArc& other) {
    if (this == &other) return *this;
    HorizontalBase::operator=(other);
    Angle = other.Angle;
    Radius = other.Radius;
    EndPointRadius = other.EndPointRadius;
    Direction = other.Direction;
    LargeArc = other.LargeArc;
    CentreCoordinatesFromPoint = other.CentreCoordinatesFromPoint;
    CentrePointCoordinate = other.CentrePointCoordinate;
    return *this;
}

bool HorizontalArc::operator==(const RoadElement& other) const {
    const HorizontalArc* o = Cast(&other);
    return o && o->Angle == Angle && o->Length == Length && o->Radius == Radius && o->Direction == Direction &&
           o->LargeArc == LargeArc && o->EndAzimuth == EndAzimuth && o->KeyinMethod == KeyinMethod &&
           o->EndStation == EndStation && o->StartAzimuth == StartAzimuth && o->StartStation == StartStation &&
           o->PointName == PointName && o->EndCoordinate == EndCoordinate && o->StartCoordinate == StartCoordinate &&
           o->CentreCoordinatesFromPoint == CentreCoordinatesFromPoint &&
           o->CentrePointCoordinate == CentrePointCoordinate && o->TangentialToPrevious == TangentialToPrevious;
}

Str HorizontalArc::KeyinMethodName() const { return road_io::Name(kArcMethods, KeyinMethod); }
void HorizontalArc::SetKeyinMethodFromName(const Str& name) { road_io::SetFromName(kArcMethods, name, &KeyinMethod); }
const char* HorizontalArc::DirectionName() const { return road_io::DirectionName(Direction); }
void HorizontalArc::SetDirectionFromName(const Str& name) { road_io::SetDirectionFromName(name, &Direction); }

void HorizontalArc::ReadXml(const xml_Node* node) {
    Angle = road_RadiansFromDegrees(node->GetDoubleByPath("Angle", MATHS_Null));
    Length = node->GetDoubleByPath("Length", MATHS_Null);
    Radius = node->GetDoubleByPath("Radius", MATHS_Null);
    EndStation = node->GetDoubleByPath("EndStation", MATHS_Null);
    StartStation = node->GetDoubleByPath("StartStation", MATHS_Null);
    EndAzimuth = road_AzimuthFromDegrees(node->GetDoubleByPath("EndAzimuth", MATHS_Null));
    StartAzimuth = road_AzimuthFromDegrees(node->GetDoubleByPath("StartAzimuth", MATHS_Null));
    ReadPoint(node, "EndCoordinate", &EndCoordinate);
    ReadPoint(node, "StartCoordinate", &StartCoordinate);
    SetKeyinMethodFromName(node->GetValueByPath("KeyinMethod"));
    SetDirectionFromName(node->GetValueByPath("Direction"));
    LargeArc = node->GetValueByPath("LargeArc") == "true";
    PointName = node->GetValueByPath("EndCoordinatesFromPoint");
    CentreCoordinatesFromPoint = node->GetValueByPath("CentreCoordinatesFromPoint");
    ReadPoint(node, "CentrePointCoordinate", &CentrePointCoordinate);
}

xmlout_element* HorizontalArc::WriteXml() const {
    xmlout_element* element = new xmlout_element("Arc");
    if (!TangentialToPrevious) element->AddChild(Child("TangentialToPrevious", xml_FormatBool(false)));
    element->AddChild(Child("KeyinMethod", KeyinMethodName()));
    if (IsEndFromExistingPoint()) element->AddChild(Child("EndCoordinatesFromPoint", PointName));
    if (KeyinMethod == 8) element->AddChild(Child("CentreCoordinatesFromPoint", CentreCoordinatesFromPoint));
    if (IsCentrePointKeyed()) {
        element->AddChild(WritePointXml("CentrePointCoordinate", CentrePointCoordinate));
        element->AddChild(Child("LargeArc", xml_FormatBool(LargeArc)));
    }
    element->AddChild(Child("StartStation", xml_FormatDouble(StartStation)));
    element->AddChild(Child("StartAzimuth", xml_FormatAngle(StartAzimuth, true)));
    element->AddChild(WritePointXml("StartCoordinate", StartCoordinate));
    element->AddChild(Child("Direction", DirectionName()));
    element->AddChild(Child("Length", xml_FormatDouble(Length)));
    element->AddChild(Child("Radius", xml_FormatDouble(Radius)));
    element->AddChild(Child("Angle", xml_FormatAngle(Angle, false)));
    element->AddChild(Child("EndStation", xml_FormatDouble(EndStation)));
    element->AddChild(Child("EndAzimuth", xml_FormatAngle(EndAzimuth, true)));
    element->AddChild(WritePointXml("EndCoordinate", EndCoordinate));
    return element;
}

bool HorizontalArc::Compute() {
    if (!IsEndPointKeyed()) {
        if (IsEndStationKeyed()) Length = maths_Subtract(EndStation, StartStation);
        ComputeEndCoordinate();
        return true;
    }
    Radius = Angle = Length = EndPointRadius = MATHS_Null;
    if (!(IsCentrePointKeyed() ? ComputeFromCentre() : ComputeFromEndPoint())) return false;
    // The end point is keyed: it stays as it is.
    EndStation = maths_Add(StartStation, Length);
    ComputeEndAzimuth();
    return true;
}

bool HorizontalArc::ComputeFromCentre() {
    const transfrm_Class* transform = road_GetConverterTransformation();
    StartAzimuth = MATHS_Null;
    double centreToStart = MATHS_Null, centreToEnd = MATHS_Null;
    roadcogo_InverseAzimuthDistance(transform, ROAD_CogoMask, CentrePointCoordinate, StartCoordinate, &centreToStart,
                                    &Radius);
    if (maths_IsNull(Radius) || Radius == 0.0) return false;
    roadcogo_InverseAzimuthDistance(transform, ROAD_CogoMask, CentrePointCoordinate, EndCoordinate, &centreToEnd,
                                    &EndPointRadius);
    if (RadiiDiffer()) return false;
    Angle = position_AngleDifference(centreToStart, centreToEnd);
    if (maths_IsNull(Angle)) return false;
    Direction = true;
    if (LargeArc ? Angle <= CONSTANT_Pi : Angle > CONSTANT_Pi) {
        Angle = CONSTANT_TwoPi - Angle;
        Direction = false;
    }
    cogoarc_ArcLength(Radius, Angle, &Length);
    StartAzimuth = Turned(centreToStart, CONSTANT_PiOverTwo, Direction);
    return true;
}

bool HorizontalArc::ComputeFromEndPoint() {
    double chordAzimuth = MATHS_Null, chord = MATHS_Null;
    roadcogo_InverseAzimuthDistance(road_GetConverterTransformation(), ROAD_CogoMask, StartCoordinate, EndCoordinate,
                                    &chordAzimuth, &chord);
    const double s = position_AngleDifferenceSigned(chordAzimuth, StartAzimuth);
    if (maths_IsNull(s) || std::fabs(s) < kOnTangent || std::fabs(std::fabs(s) - CONSTANT_Pi) < kOnTangent)
        return false;
    Direction = s > 0;
    const double radial = Turned(StartAzimuth, CONSTANT_PiOverTwo, Direction);
    const double e = position_AngleDifferenceSigned(radial, chordAzimuth);
    Angle = CONSTANT_Pi - 2 * std::fabs(e);
    // The chord leaves on the far side of the radial: more than half a circle.
    if ((!Direction && e > 0) || (Direction && e < 0)) Angle = CONSTANT_TwoPi - Angle;
    QZ_ASSERT_TEXT(maths_IsNull(Angle) || (Angle > 0.0 && Angle < CONSTANT_TwoPi),
                   "maths_IsNull ( Angle ) || ( ( Angle > 0.0 ) && ( Angle < CONSTANT_TwoPi ) )");
    Radius = maths_Divide(chord, maths_Multiply(2.0, maths_Sin(Angle / 2)));
    cogoarc_ArcLength(Radius, Angle, &Length);
    if (!maths_IsNull(Length) && Length > kLongestArc) {
        Length = MATHS_Null;
        return false;
    }
    return true;
}

void HorizontalArc::ComputeEndAzimuth() { EndAzimuth = Turned(StartAzimuth, Angle, Direction); }

bool HorizontalArc::ComputeCentre(double* centreToStart, position_Class* centre) const {
    const transfrm_Class* transform = road_GetConverterTransformation();
    *centreToStart = Turned(StartAzimuth, CONSTANT_PiOverTwo, !Direction);
    *centre = position_Class();
    if (transform == nullptr) return false;
    const double toCentre = Turned(StartAzimuth, CONSTANT_PiOverTwo, Direction);
    const double level = 0.0;
    position_Class start;
    start.SetGrid(StartCoordinate, transform);
    cogo_ComputePoint(start, transform, &toCentre, &Radius, &level, centre, ROAD_CogoMask);
    return true;
}

bool HorizontalArc::RadiiDiffer(double* difference) const {
    if (!IsCentrePointKeyed()) return false;
    const double x = maths_Abs(maths_Subtract(Radius, EndPointRadius));
    if (!maths_IsNull(x) && x <= kRadiusTolerance) return false;
    if (difference) *difference = x;
    return true;
}

void HorizontalArc::ComputeEndCoordinate() {
    QZ_ASSERT_TEXT(!maths_IsNull(Angle), "!maths_IsNull ( Angle )");
    QZ_ASSERT_TEXT(!maths_IsNull(Radius), "!maths_IsNull ( Radius )");
    QZ_ASSERT_TEXT(!maths_IsNull(Length), "!maths_IsNull ( Length )");
    const transfrm_Class* transform = road_GetConverterTransformation();
    double centreToStart = MATHS_Null;
    position_Class centre, start, end;
    if (ComputeCentre(&centreToStart, &centre)) {
        start.SetGrid(StartCoordinate, transform);
        cogoarc_ComputeArcPoint(CogoDirection(Direction), start, centre, transform, Radius, centreToStart, 0.0,
                                Length, &end, ROAD_CogoMask);
        EndCoordinate = end.GetGrid(transform);
        EndCoordinate.Elev = StartCoordinate.Elev;
    } else {
        EndCoordinate = coord_CorrectedGrid();
    }
    ComputeEndAzimuth();
}

void HorizontalArc::TakeStartFromPrevious(const HorizontalBase* previous) {
    TakeStartAndCurveFromPrevious(previous, Radius, Direction);
}

AlignmentPoint HorizontalArc::PointAtStation(double station) const {
    AlignmentPoint point;
    point.Right = Direction;
    point.Station = station;
    roadcogo_ArcPointAtDistance(road_GetConverterTransformation(), ROAD_CogoMask, StartCoordinate, StartAzimuth, Angle,
                                Radius, Length, Direction, maths_Subtract(station, StartStation), &point.Point,
                                &point.Azimuth);
    return point;
}

coord_StationOffset HorizontalArc::StationOffsetOfPoint(const coord_CorrectedGrid& point) const {
    const transfrm_Class* transform = road_GetConverterTransformation();
    double centreToStart = MATHS_Null;
    position_Class centre, start, target, foot;
    if (!ComputeCentre(&centreToStart, &centre)) return coord_StationOffset();
    start.SetGrid(StartCoordinate, transform);
    target.SetGrid(point, transform);
    double delta = MATHS_Null;
    cogoarc_DeltaAngle(Radius, Length, &delta);
    double toPoint = MATHS_Null, along = MATHS_Null, offset = MATHS_Null, rise = MATHS_Null;
    if (cogoarc_PointToArc(CogoDirection(Direction), start, transform, centre, centreToStart, delta, Radius, 0.0, 0.0,
                           0.0, target, &foot, &toPoint, &along, &offset, &rise, ROAD_CogoMask) != COGO_Ok)
        return coord_StationOffset();
    return coord_StationOffset(maths_Add(StartStation, along), offset, MATHS_Null);
}

bool HorizontalArc::IsAbeam(const coord_CorrectedGrid& point, double* distance) const {
    const transfrm_Class* transform = road_GetConverterTransformation();
    double azimuth = MATHS_Null, toEnd = MATHS_Null, toStart = MATHS_Null;
    roadcogo_InverseAzimuthDistance(transform, ROAD_CogoMask, point, EndCoordinate, &azimuth, &toEnd);
    roadcogo_InverseAzimuthDistance(transform, ROAD_CogoMask, point, StartCoordinate, &azimuth, &toStart);
    *distance = toEnd < toStart ? toEnd : toStart;
    if (maths_IsNull(*distance)) return false;
    if (*distance == 0.0) return true;
    if (cogoarc_AnglesEqual(Angle, CONSTANT_TwoPi)) return true;
    double centreToStart = MATHS_Null, centreToPoint = MATHS_Null, unused = MATHS_Null;
    position_Class centre;
    if (!ComputeCentre(&centreToStart, &centre)) return false;
    roadcogo_InverseAzimuthDistance(transform, ROAD_CogoMask, centre.GetGrid(transform), point, &centreToPoint,
                                    &unused);
    const double centreToEnd = Turned(centreToStart, Angle, Direction);
    if (maths_IsNull(centreToPoint) || maths_IsNull(centreToEnd)) return false;
    // Swept clockwise from the first radius to the point, within the arc's own sweep; a
    // point just short of the first radius (a sweep near 2 pi) counts as on it.
    const double from = Direction ? centreToStart : centreToEnd;
    const double swept = position_AngleDifference(from, centreToPoint);
    return swept <= position_AngleDifference(from, Direction ? centreToEnd : centreToStart) + AbeamTolerance ||
           swept >= CONSTANT_TwoPi - AbeamTolerance;
}
