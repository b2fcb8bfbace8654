// The transition spirals of a horizontal alignment: clothoids between a straight (or a
// larger radius) and a curve. An entry spiral (type code 5, "EntrySpiral") runs from
// its StartRadius down to the curve's EndRadius, an exit spiral (type code 4,
// "ExitSpiral") from the curve's StartRadius out to EndRadius; a null radius is a
// straight. Keyed as 0 "RadiusAndLength" or 1 "RadiusAndEndStation".
#pragma once

#include "roads/roadquorvel_horizontal.h"

// What the twins share; they differ only in which end holds the small radius.
class HorizontalSpiral : public HorizontalBase {
public:
    void ReadXml(const xml_Node* node) override;
    xmlout_element* WriteXml() const override;
    // Every field exactly except PointName and the PI coordinate.
    bool operator==(const RoadElement& other) const override;
    using HorizontalBase::operator=;

    // The end station (keyed by it), then the end point.
    bool Compute() override;
    void ComputeEndCoordinate() override { ComputeEndCoordinate(1e-07); }
    // The end point and azimuth with the clothoid series taken to the resolution.
    void ComputeEndCoordinate(double resolution);
    bool IsSpiral() const override { return true; }
    bool HasRadius() const override { return true; }
    bool IsLengthKeyed() const override { return KeyinMethod == 0; }
    bool IsEndStationKeyed() const override { return KeyinMethod == 1; }
    // Also starts at the radius and turn of a previous arc or spiral.
    void TakeStartFromPrevious(const HorizontalBase* previous) override;
    // Any station, also beyond the spiral. An exit spiral is measured back from its end.
    AlignmentPoint PointAtStation(double station) const override;
    coord_StationOffset StationOffsetOfPoint(const coord_CorrectedGrid& point) const override;
    bool* DirectionPtr() override { return &Direction; }
    double* EndRadiusPtr() override { return &EndRadius; }
    double* StartRadiusPtr() override { return &StartRadius; }

    Str KeyinMethodName() const;
    void SetKeyinMethodFromName(const Str& name);
    const char* DirectionName() const;
    void SetDirectionFromName(const Str& name);

    // The radius at the curve's end and the one at the straight's end.
    double SmallRadius() const { return IsExit() ? StartRadius : EndRadius; }
    double LargeRadius() const { return IsExit() ? EndRadius : StartRadius; }
    // The clothoid routines' spiral type: exit 0 right, 3 left; entry 1 right, 2 left.
    int SpiralType() const;

    double EndRadius = MATHS_Null;
    double StartRadius = MATHS_Null;
    bool Direction = true;  // true: turns right (clockwise)

protected:
    explicit HorizontalSpiral(int32_t type) : HorizontalBase(type) {}
    HorizontalSpiral(const HorizontalSpiral& other) = default;
    // The other twin's start, stations and length with its radii swapped; the end anew.
    HorizontalSpiral(int32_t type, const HorizontalSpiral& twin);
    void AssignSpiral(const HorizontalSpiral& other);
    bool IsExit() const;
};

class HorizontalExitSpiral : public HorizontalSpiral {
public:
    static constexpr int32_t TypeCode = 4;

    HorizontalExitSpiral() : HorizontalSpiral(TypeCode) {}
    HorizontalExitSpiral(const HorizontalExitSpiral& other) = default;
    // Asserts that the radius grows along the new spiral.
    explicit HorizontalExitSpiral(const class HorizontalEntrySpiral& entry);
    RoadElement* Clone() const override { return new HorizontalExitSpiral(*this); }
    using HorizontalBase::operator=;
    virtual HorizontalExitSpiral& operator=(const HorizontalExitSpiral& other);
    bool operator==(const RoadElement& other) const override { return HorizontalSpiral::operator==(other); }
    bool operator==(const HorizontalExitSpiral& other) const {
        return *this == static_cast<const RoadElement&>(other);
    }

    static HorizontalExitSpiral* Cast(RoadElement* element) { return road_CastByCode<HorizontalExitSpiral>(element); }
    static const HorizontalExitSpiral* Cast(const RoadElement* element) {
        return road_CastByCode<HorizontalExitSpiral>(element);
    }
};

class HorizontalEntrySpiral : public HorizontalSpiral {
public:
    static constexpr int32_t TypeCode = 5;

    HorizontalEntrySpiral() : HorizontalSpiral(TypeCode) {}
    HorizontalEntrySpiral(const HorizontalEntrySpiral& other) = default;
    // Asserts that the radius shrinks along the new spiral.
    explicit HorizontalEntrySpiral(const HorizontalExitSpiral& exit);
    RoadElement* Clone() const override { return new HorizontalEntrySpiral(*this); }
    using HorizontalBase::operator=;
    virtual HorizontalEntrySpiral& operator=(const HorizontalEntrySpiral& other);
    bool operator==(const RoadElement& other) const override { return HorizontalSpiral::operator==(other); }
    bool operator==(const HorizontalEntrySpiral& other) const {
        return *this == static_cast<const RoadElement&>(other);
    }

    static HorizontalEntrySpiral* Cast(RoadElement* element) { return road_CastByCode<HorizontalEntrySpiral>(element); }
    static const HorizontalEntrySpiral* Cast(const RoadElement* element) {
        return road_CastByCode<HorizontalEntrySpiral>(element);
    }
};
