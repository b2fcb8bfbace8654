// The circular arc of a horizontal alignment (type code 1, "Arc"), keyed in one of
// nine ways: by radius with a length, an end station or an angle; by deflection angle
// with a length or an end station; by its end point (typed in or an existing point)
// tangent to the previous element; or by its end and centre points.
#pragma once

#include "roads/roadquorvel_horizontal.h"

class position_Class;
class HorizontalEntrySpiral;
class HorizontalExitSpiral;

class HorizontalArc : public HorizontalBase {
public:
    static constexpr int32_t TypeCode = 1;

    HorizontalArc() : HorizontalBase(TypeCode) {}
    HorizontalArc(const HorizontalArc& other) = default;
    // The spiral's start, end and length with the mean of its radii (null when it
    // touches a straight) and the angle that radius and length subtend.
    explicit HorizontalArc(const HorizontalEntrySpiral& spiral);
    explicit HorizontalArc(const HorizontalExitSpiral& spiral);

    void ReadXml(const xml_Node* node) override;
    xmlout_element* WriteXml() const override;
    // Every field exactly except EndPointRadius and the PI coordinate.
    bool operator==(const RoadElement& other) const override;
    bool operator==(const HorizontalArc& other) const { return *this == static_cast<const RoadElement&>(other); }
    RoadElement* Clone() const override { return new HorizontalArc(*this); }
    using HorizontalBase::operator=;
    virtual HorizontalArc& operator=(const HorizontalArc& other);

    // Between the radii through the start and the end, on them included; any point of a
    // full circle.
    bool IsAbeam(const coord_CorrectedGrid& point, double* distance) const override;
    // Keyed by radius or angle: the length from an end station, then the end point.
    // Keyed by end point: radius, angle, length, turn, end station and end azimuth; false
    // for an end on the start tangent, radii through start and end that differ, or an
    // arc longer than 100000 (Length null).
    bool Compute() override;
    // The end point and azimuth from the start, Radius, Angle and Length.
    void ComputeEndCoordinate() override;
    bool HasRadius() const override { return true; }
    bool IsLengthKeyed() const override { return KeyinMethod == 0 || KeyinMethod == 2 || KeyinMethod == 3; }
    bool IsEndStationKeyed() const override { return KeyinMethod == 1 || KeyinMethod == 4; }
    bool IsEndPointKeyed() const override { return KeyinMethod >= 5 && KeyinMethod <= 8; }
    bool IsStartAzimuthFromPrevious() const override { return IsEndPointWithoutCentre(); }
    // Also takes the radius and turn of a previous arc or spiral.
    void TakeStartFromPrevious(const HorizontalBase* previous) override;
    // Any station, also beyond the arc (around the circle).
    AlignmentPoint PointAtStation(double station) const override;
    coord_StationOffset StationOffsetOfPoint(const coord_CorrectedGrid& point) const override;
    bool IsEndFromExistingPoint() const override { return KeyinMethod == 6 || KeyinMethod == 8; }
    bool IsEndFromKeyedCoordinates() const override { return KeyinMethod == 5 || KeyinMethod == 7; }
    bool* DirectionPtr() override { return &Direction; }
    double* EndRadiusPtr() override { return &Radius; }
    double* StartRadiusPtr() override { return &Radius; }
    virtual bool IsEndPointWithoutCentre() const { return KeyinMethod == 5 || KeyinMethod == 6; }
    virtual bool IsCentrePointKeyed() const { return KeyinMethod == 7 || KeyinMethod == 8; }
    // StartAzimuth turned by Angle, in [0, 2pi).
    virtual void ComputeEndAzimuth();

    // The centre, Radius off the start square to the start tangent, and the azimuth from
    // it back to the start. False without a converter transformation.
    bool ComputeCentre(double* centreToStart, position_Class* centre) const;
    // Centre-keyed only: whether the radii through start and end differ by more than
    // 0.01 (the difference handed out when they do).
    bool RadiiDiffer(double* difference = nullptr) const;

    Str KeyinMethodName() const;
    void SetKeyinMethodFromName(const Str& name);
    const char* DirectionName() const;
    void SetDirectionFromName(const Str& name);

    static HorizontalArc* Cast(RoadElement* element) { return road_CastByCode<HorizontalArc>(element); }
    static const HorizontalArc* Cast(const RoadElement* element) { return road_CastByCode<HorizontalArc>(element); }

    bool Direction = true;  // true: turns right (clockwise)
    double Angle = MATHS_Null;
    double Radius = MATHS_Null;
    double EndPointRadius = MATHS_Null;
    bool LargeArc = false;
    Str CentreCoordinatesFromPoint;
    coord_CorrectedGrid CentrePointCoordinate;

private:
    void FromSpiral(const HorizontalBase& spiral, double startRadius, double endRadius, bool right);
    bool ComputeFromCentre();
    bool ComputeFromEndPoint();
};
