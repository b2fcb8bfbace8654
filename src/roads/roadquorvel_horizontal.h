// Horizontal alignment elements: the common base through which the alignments chain,
// test and query elements of every kind (type codes 1 to 6), the start point (3) and
// the straight (2).
//
// Coordinates are grid coordinates of the converter transformation; only north and
// east take part, elevations are neither read nor written. Stations are the road's
// continuous internal stations, azimuths radians clockwise from grid north.
#pragma once

#include <cstdint>

#include "foundation/coords/coord.h"
#include "foundation/text/str.h"
#include "roads/roadquorvel.h"

// A point of an alignment at a station, with the tangent there and the element's turn.
struct AlignmentPoint {
    bool Right = true;
    double Azimuth = MATHS_Null;
    double Station = MATHS_Null;
    coord_CorrectedGrid Point;
};

// Degrees to radians; a full turn (within 5e-13) reads as 0 and null stays null.
double road_AzimuthFromDegrees(double degrees);
// Degrees to radians (x pi / 180); null stays null, no rule at 2pi.
double road_RadiansFromDegrees(double degrees);

class HorizontalBase : public RoadElement {
public:
    ~HorizontalBase() override = default;

    // Whether the point lies between the perpendiculars through the start and the end
    // (on them included), with its distance to the nearer end. A start point is never
    // abeam and leaves the distance alone; without a converter transformation the
    // answer is false and the distance null.
    virtual bool IsAbeam(const coord_CorrectedGrid& point, double* distance) const;
    using RoadElement::operator=;
    // The type code and every field.
    virtual HorizontalBase& operator=(const HorizontalBase& other);
    // Solves the element from its keyed values; true when it could.
    virtual bool Compute() = 0;
    // Fills the end from the start and the keyed values; nothing in the base.
    virtual void ComputeEndCoordinate() {}
    virtual bool IsSpiral() const { return false; }
    virtual bool HasRadius() const { return false; }
    virtual bool IsLengthKeyed() const { return false; }
    virtual bool IsEndStationKeyed() const { return false; }
    virtual bool IsEndPointKeyed() const { return false; }
    virtual bool IsStartAzimuthFromPrevious() const { return false; }
    // Starts where the previous element ends. Two straights in a row carry no tangent
    // between them: the later one's start azimuth is null and it is not tangential.
    virtual void TakeStartFromPrevious(const HorizontalBase* previous);
    // The base answers the station with no point and azimuth 0.
    virtual AlignmentPoint PointAtStation(double station) const;
    // The base answers null station, offset and elevation.
    virtual coord_StationOffset StationOffsetOfPoint(const coord_CorrectedGrid& point) const;
    virtual bool IsEndFromExistingPoint() const { return false; }
    virtual bool IsEndFromKeyedCoordinates() const { return false; }
    virtual bool* DirectionPtr() { return nullptr; }
    virtual double* EndRadiusPtr() { return nullptr; }
    virtual double* StartRadiusPtr() { return nullptr; }
    // Tangential when the start azimuth lies within 2e-6 rad of the previous end azimuth;
    // a null on either side is not.
    virtual void SetTangency(double previousEndAzimuth);

    static HorizontalBase* Cast(RoadElement* element);
    static const HorizontalBase* Cast(const RoadElement* element);

    void CopyStartFrom(const HorizontalBase* element);
    // StartStation <= station <= StartStation + Length + 0.0005; false when either is null.
    bool ContainsStation(double station) const;
    // Widens the box (north-west and south-east corners) to take in the start and end
    // points. Null coordinates are left out; a null corner takes the point's value.
    void GrowExtents(coord_CorrectedGrid* northWest, coord_CorrectedGrid* southEast) const;
    // |a - b| folded into [0, pi].
    static double AngleBetween(double a, double b);
    // Slack on the perpendiculars at an element's ends, so that rounding cannot leave a
    // point abeam of a join held by neither element.
    static constexpr double AbeamTolerance = 1e-10;

protected:
    // The base's start taking, then the radius and turn the previous element ends with,
    // when it has them (arcs and spirals start on the curve they follow).
    void TakeStartAndCurveFromPrevious(const HorizontalBase* previous, double& radius, bool& direction);
public:
    // dN^2 + dE^2 and the grid azimuth from one point to the other (pi/2 between
    // coincident points).
    static void SquaredDistanceAndAzimuth(const coord_CorrectedGrid& from, const coord_CorrectedGrid& to,
                                          double* squaredDistance, double* azimuth);
    // An element of that name, after an empty line, holding "North" and "East".
    static xmlout_element* WritePointXml(const char* name, const coord_CorrectedGrid& point);

    int32_t KeyinMethod = -1;
    Str PointName;
    double Length = MATHS_Null;
    double EndStation = MATHS_Null;
    double StartStation = MATHS_Null;
    double EndAzimuth = MATHS_Null;
    double StartAzimuth = MATHS_Null;
    coord_CorrectedGrid EndCoordinate;
    coord_CorrectedGrid StartCoordinate;
    coord_CorrectedGrid PICoordinate;
    bool TangentialToPrevious = true;

protected:
    explicit HorizontalBase(int32_t type) : RoadElement(type) {}
    HorizontalBase(const HorizontalBase& other) = default;
};

// The first entry of a horizontal list: kind 0 starts an element list ("StartPoint"),
// kind 1 a PI list ("StartPI"). Keyed as 0 "UserDefinedCoordinates" or 1 "ExistingPoint".
class HorizontalStartPoint : public HorizontalBase {
public:
    static constexpr int32_t TypeCode = 3;

    explicit HorizontalStartPoint(int32_t kind) : HorizontalBase(TypeCode), Kind(kind) {}
    HorizontalStartPoint(const HorizontalStartPoint& other) = default;

    void ReadXml(const xml_Node* node) override;
    xmlout_element* WriteXml() const override;
    // Type, keying, point name, start station, start coordinate and tangency; exact.
    bool operator==(const RoadElement& other) const override;
    bool operator==(const HorizontalStartPoint& other) const { return *this == static_cast<const RoadElement&>(other); }
    RoadElement* Clone() const override { return new HorizontalStartPoint(*this); }
    using HorizontalBase::operator=;

    // The start is also the end.
    bool Compute() override;
    void ComputeEndCoordinate() override;
    bool IsEndPointKeyed() const override { return true; }
    // The start point's own station and coordinate, azimuth 0, whatever the station.
    AlignmentPoint PointAtStation(double station) const override;
    bool IsEndFromExistingPoint() const override { return KeyinMethod == 1; }
    bool IsEndFromKeyedCoordinates() const override { return KeyinMethod == 0; }
    virtual HorizontalStartPoint& operator=(const HorizontalStartPoint& other);

    void SetKind(int32_t kind) { Kind = kind; }
    int32_t GetKind() const { return Kind; }
    static HorizontalStartPoint* Cast(RoadElement* element) { return road_CastByCode<HorizontalStartPoint>(element); }
    static const HorizontalStartPoint* Cast(const RoadElement* element) {
        return road_CastByCode<HorizontalStartPoint>(element);
    }

private:
    int32_t Kind;
};

// A straight from StartCoordinate along StartAzimuth for Length. Keyed as 0
// "AzimuthAndLength", 1 "AzimuthAndEndStation", 2 "UserDefinedCoordinates" (end point
// typed in) or 3 "ExistingPoint" (end point from the job point PointName).
class HorizontalStraight : public HorizontalBase {
public:
    static constexpr int32_t TypeCode = 2;

    HorizontalStraight() : HorizontalBase(TypeCode) {}
    HorizontalStraight(const HorizontalStraight& other) = default;

    void ReadXml(const xml_Node* node) override;
    xmlout_element* WriteXml() const override;
    // Every field exactly, coordinates component by component.
    bool operator==(const RoadElement& other) const override;
    bool operator==(const HorizontalStraight& other) const { return *this == static_cast<const RoadElement&>(other); }
    RoadElement* Clone() const override { return new HorizontalStraight(*this); }
    using HorizontalBase::operator=;

    // Keyed by azimuth: the length (from the end station for method 1) and the end point.
    // Keyed by end point: the azimuth and the length; the end station is left to the
    // alignment's chain.
    bool Compute() override;
    // The end point Length along StartAzimuth; the end azimuth is the start's.
    void ComputeEndCoordinate() override;
    bool IsLengthKeyed() const override { return KeyinMethod == 0; }
    bool IsEndStationKeyed() const override { return KeyinMethod == 1; }
    bool IsEndPointKeyed() const override { return KeyinMethod == 2 || KeyinMethod == 3; }
    // The point on the line (or its extension either way) at the station.
    AlignmentPoint PointAtStation(double station) const override;
    // Station along the line (before the start too) and offset, positive to the right.
    coord_StationOffset StationOffsetOfPoint(const coord_CorrectedGrid& point) const override;
    bool IsEndFromExistingPoint() const override { return KeyinMethod == 3; }
    bool IsEndFromKeyedCoordinates() const override { return KeyinMethod == 2; }
    virtual HorizontalStraight& operator=(const HorizontalStraight& other);

    static HorizontalStraight* Cast(RoadElement* element) { return road_CastByCode<HorizontalStraight>(element); }
    static const HorizontalStraight* Cast(const RoadElement* element) {
        return road_CastByCode<HorizontalStraight>(element);
    }
};
