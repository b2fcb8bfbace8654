#include "roads/roadquorvel_spiral.h"

#include "cogo/cogo.h"
#include "cogo/cogospiral.h"
#include "cogo/position.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"
#include "foundation/xml/format.h"
#include "roads/roadcogo.h"
#include "roads/roadquorvel_horizontal_io.h"

using road_io::Child;
using road_io::ReadPoint;

namespace {

constexpr const char* kModule = "RoadQuorvel";

constexpr const char* kSpiralMethods[] = {"RadiusAndLength", "RadiusAndEndStation"};

// Points are projected onto a spiral with the series taken this far.
constexpr double kProjectionResolution = 1e-07;

// a < b, a null radius (a straight) being the largest.
bool RadiusBelow(double a, double b) {
    if (maths_IsNull(a)) return false;
    return maths_IsNull(b) || a < b;
}

}  // namespace

HorizontalSpiral::HorizontalSpiral(int32_t type, const HorizontalSpiral& twin) : HorizontalBase(twin) {
    Type = type;
    EndRadius = twin.StartRadius;
    StartRadius = twin.EndRadius;
    Direction = twin.Direction;
    if (IsExit())
        QZ_ASSERT_TEXT(RadiusBelow(StartRadius, EndRadius), "EndRadius > StartRadius");
    else
        QZ_ASSERT_TEXT(RadiusBelow(EndRadius, StartRadius), "EndRadius < StartRadius");
    ComputeEndCoordinate();
}

HorizontalExitSpiral::HorizontalExitSpiral(const HorizontalEntrySpiral& entry) : HorizontalSpiral(TypeCode, entry) {}
HorizontalEntrySpiral::HorizontalEntrySpiral(const HorizontalExitSpiral& exit) : HorizontalSpiral(TypeCode, exit) {}

HorizontalExitSpiral& HorizontalExitSpiral::operator=(const HorizontalExitSpiral& other) {
    AssignSpiral(other);
    return *this;
}

HorizontalEntrySpiral& HorizontalEntrySpiral::operator=(const HorizontalEntrySpiral& other) {
    AssignSpiral(other);
    return *this;
}

void HorizontalSpiral::AssignSpiral(const HorizontalSpiral& other) {
    if (this == &other) return;
    HorizontalBase::operator=(other);
    EndRadius = other.EndRadius;
    StartRadius = other.StartRadius;
    Direction = other.Direction;
}

bool HorizontalSpiral::IsExit() const { return Type == HorizontalExitSpiral::TypeCode; }

int HorizontalSpiral::SpiralType() const {
    if (IsExit()) return Direction ? 0 : 3;
    return Direction ? 1 : 2;
}

bool HorizontalSpiral::operator==(const RoadElement& other) const {
    if (other.GetType() != Type) return false;
    const HorizontalSpiral& o = static_cast<const HorizontalSpiral&>(other);
    return o.Length == Length && o.EndRadius == EndRadius && o.EndAzimuth == EndAzimuth &&
           o.StartRadius == StartRadius && o.EndStation == EndStation && o.KeyinMethod == KeyinMethod &&
           o.StartAzimuth == StartAzimuth && o.StartStation == StartStation && o.Direction == Direction &&
           o.EndCoordinate == EndCoordinate && o.StartCoordinate == StartCoordinate &&
           o.TangentialToPrevious == TangentialToPrevious;
}

Str HorizontalSpiral::KeyinMethodName() const { return road_io::Name(kSpiralMethods, KeyinMethod); }
void HorizontalSpiral::SetKeyinMethodFromName(const Str& name) {
    road_io::SetFromName(kSpiralMethods, name, &KeyinMethod);
}
const char* HorizontalSpiral::DirectionName() const { return road_io::DirectionName(Direction); }
void HorizontalSpiral::SetDirectionFromName(const Str& name) { road_io::SetDirectionFromName(name, &Direction); }

void HorizontalSpiral::ReadXml(const xml_Node* node) {
    Length = node->GetDoubleByPath("Length", MATHS_Null);
    EndRadius = node->GetDoubleByPath("EndRadius", MATHS_Null);
    StartRadius = node->GetDoubleByPath("StartRadius", MATHS_Null);
    EndStation = node->GetDoubleByPath("EndStation", MATHS_Null);
    StartStation = node->GetDoubleByPath("StartStation", MATHS_Null);
    EndAzimuth = road_AzimuthFromDegrees(node->GetDoubleByPath("EndAzimuth", MATHS_Null));
    StartAzimuth = road_AzimuthFromDegrees(node->GetDoubleByPath("StartAzimuth", MATHS_Null));
    ReadPoint(node, "EndCoordinate", &EndCoordinate);
    ReadPoint(node, "StartCoordinate", &StartCoordinate);
    SetKeyinMethodFromName(node->GetValueByPath("KeyinMethod"));
    SetDirectionFromName(node->GetValueByPath("Direction"));
}

xmlout_element* HorizontalSpiral::WriteXml() const {
    xmlout_element* element = new xmlout_element(IsExit() ? "ExitSpiral" : "EntrySpiral");
    if (!TangentialToPrevious) element->AddChild(Child("TangentialToPrevious", xml_FormatBool(false)));
    element->AddChild(Child("KeyinMethod", KeyinMethodName()));
    element->AddChild(Child("StartStation", xml_FormatDouble(StartStation)));
    element->AddChild(Child("StartAzimuth", xml_FormatAngle(StartAzimuth, true)));
    element->AddChild(WritePointXml("StartCoordinate", StartCoordinate));
    element->AddChild(Child("Direction", DirectionName()));
    element->AddChild(Child("Length", xml_FormatDouble(Length)));
    element->AddChild(Child("StartRadius", xml_FormatDouble(StartRadius)));
    element->AddChild(Child("EndRadius", xml_FormatDouble(EndRadius)));
    element->AddChild(Child("EndStation", xml_FormatDouble(EndStation)));
    element->AddChild(Child("EndAzimuth", xml_FormatAngle(EndAzimuth, true)));
    element->AddChild(WritePointXml("EndCoordinate", EndCoordinate));
    return element;
}

bool HorizontalSpiral::Compute() {
    if (KeyinMethod == 1) Length = maths_Subtract(EndStation, StartStation);
    ComputeEndCoordinate();
    return true;
}

void HorizontalSpiral::ComputeEndCoordinate(double resolution) {
    QZ_ASSERT_TEXT(!maths_IsNull(Length), "!maths_IsNull ( Length )");
    QZ_ASSERT_TEXT(!maths_IsNull(StartAzimuth), "!maths_IsNull ( StartAzimuth )");
    if (IsExit())
        QZ_ASSERT_TEXT(!maths_IsNull(StartRadius), "!maths_IsNull ( StartRadius )");
    else
        QZ_ASSERT_TEXT(!maths_IsNull(EndRadius), "!maths_IsNull ( EndRadius )");
    const transfrm_Class* transform = road_GetConverterTransformation();
    if (transform == nullptr) {
        EndCoordinate = coord_CorrectedGrid();
        EndAzimuth = MATHS_Null;
        return;
    }
    double deflection = MATHS_Null, x = MATHS_Null, y = MATHS_Null;
    cogospiral_ComputeOffsets(SmallRadius(), LargeRadius(), Length, Length, resolution, &deflection, &x, &y);
    position_Class start, end;
    start.SetGrid(StartCoordinate, transform);
    cogospiral_ComputePoint(SpiralType(), start, transform, StartAzimuth, SmallRadius(), LargeRadius(), Length, 0.0,
                            resolution, Length, deflection, x, y, &end, &EndAzimuth, ROAD_CogoMask);
    EndCoordinate = end.GetGrid(transform);
}

void HorizontalSpiral::TakeStartFromPrevious(const HorizontalBase* previous) {
    TakeStartAndCurveFromPrevious(previous, StartRadius, Direction);
}

AlignmentPoint HorizontalSpiral::PointAtStation(double station) const {
    AlignmentPoint point;
    point.Right = Direction;
    point.Station = station;
    const double distance = maths_Subtract(station, StartStation);
    const transfrm_Class* transform = road_GetConverterTransformation();
    if (IsExit()) {
        // Measured from the straight's end: back from the stored end.
        double back = maths_Subtract(EndAzimuth, CONSTANT_Pi);
        if (!maths_IsNull(back)) coord_NormaliseAzimuth(&back);
        roadcogo_SpiralPointAtDistance(transform, ROAD_CogoMask, EndCoordinate, back, StartRadius, EndRadius, Length,
                                       Direction, false, distance, &point.Point, &point.Azimuth);
    } else {
        roadcogo_SpiralPointAtDistance(transform, ROAD_CogoMask, StartCoordinate, StartAzimuth, EndRadius,
                                       StartRadius, Length, Direction, true, distance, &point.Point, &point.Azimuth);
    }
    return point;
}

coord_StationOffset HorizontalSpiral::StationOffsetOfPoint(const coord_CorrectedGrid& point) const {
    const transfrm_Class* transform = road_GetConverterTransformation();
    if (transform == nullptr) return coord_StationOffset();
    double deflection = MATHS_Null, x = MATHS_Null, y = MATHS_Null;
    cogospiral_ComputeOffsets(SmallRadius(), LargeRadius(), Length, Length, kProjectionResolution, &deflection, &x,
                              &y);
    position_Class start, target, foot;
    start.SetGrid(StartCoordinate, transform);
    target.SetGrid(point, transform);
    double footAzimuth = MATHS_Null, along = MATHS_Null, offset = MATHS_Null, rise = MATHS_Null;
    if (cogospiral_PointToSpiral(SpiralType(), start, transform, StartAzimuth, SmallRadius(), LargeRadius(), Length,
                                 0.0, kProjectionResolution, deflection, x, y, target, &foot, &footAzimuth, &along,
                                 &offset, &rise, ROAD_CogoMask) != COGO_Ok)
        return coord_StationOffset();
    return coord_StationOffset(maths_Add(StartStation, along), offset, MATHS_Null);
}
