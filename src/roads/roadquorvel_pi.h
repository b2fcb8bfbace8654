// Horizontal alignments keyed by intersection points: a start point of kind 1
// ("StartPI") followed by PIs (type code 6, "PI"), each the meeting point of two
// tangents with an optional curve: 0 "PI" (none), 1 "Circular", 2 "SpiralArcSpiral" or
// 3 "SpiralSpiral". A PI is solved from its neighbours into tangent points, stations and
// azimuths; a solved list turns into an ordinary element list of straights, spirals and
// arcs. PIs are keyed as 0 "UserDefinedCoordinates" or 1 "ExistingPoint".
//
// Of the base fields, PICoordinate is the keyed point, StartCoordinate/StartStation the
// start of the whole curve on the back tangent, EndCoordinate/EndStation its end on the
// ahead tangent, StartAzimuth and EndAzimuth the back and ahead tangents.
#pragma once

#include <cstdint>

#include "roads/roadquorvel_horizontal.h"
#include "roads/roadquorvel_horizontal_alignment.h"

// Why the last solve of a PI failed; 0 also when input was missing.
enum road_PISolveStatus : int32_t {
    PI_CloseToPrevious = 1,
    PI_NoCoordinate = 2,
    PI_SpiralsTooLong = 3,
    PI_NoDeflection = 4,
    PI_OverlapsPrevious = 5,
    PI_OverlapsNext = 6,
};

class HorizontalPI : public HorizontalBase {
public:
    static constexpr int32_t TypeCode = 6;

    HorizontalPI() : HorizontalBase(TypeCode) {}
    HorizontalPI(const HorizontalPI& other) = default;

    // The keyed values only; the solution is never read or written.
    void ReadXml(const xml_Node* node) override;
    xmlout_element* WriteXml() const override;
    // Keying, stations, azimuths, coordinates, curve type, radius and lengths exactly;
    // not the solve flags, the overlap, the deflection nor the tangency.
    bool operator==(const RoadElement& other) const override;
    bool operator==(const HorizontalPI& other) const { return *this == static_cast<const RoadElement&>(other); }
    RoadElement* Clone() const override { return new HorizontalPI(*this); }
    using HorizontalBase::operator=;

    // A PI is solved, never computed: reported, false.
    bool Compute() override;
    void ComputeEndCoordinate() override;
    // Reported; a default point.
    AlignmentPoint PointAtStation(double station) const override;
    bool IsEndFromExistingPoint() const override { return KeyinMethod == 1; }
    bool IsEndFromKeyedCoordinates() const override { return KeyinMethod == 0; }
    virtual HorizontalPI& operator=(const HorizontalPI& other);
    // Solves the curve between the previous entry and the next (null for the last
    // entry, which then solves only without a curve). True when solved; otherwise
    // SolveStatus and Overlap say why.
    virtual bool SolveCurve(const HorizontalBase* previous, const HorizontalBase* next);

    // Nulls every solved coordinate, station and azimuth.
    void ClearSolution();
    // Circular: the radius from the arc length and deflection. Spiral-arc-spiral: both
    // spiral lengths from what the arc leaves of the deflection. A zero deflection or
    // radius changes nothing.
    void DeriveFromArcLength();
    // The radius of a spiral-spiral curve whose two spirals, each that long, meet with
    // no arc: length / |Deflection|; nothing for a null or non-positive length or
    // without deflection.
    void SetRadiusFromSpiralLength(double length);
    // Spiral-spiral PIs only.
    void SetRadiusFromSpiralIn();
    void SetRadiusFromSpiralOut();

    static HorizontalPI* Cast(RoadElement* element) { return road_CastByCode<HorizontalPI>(element); }
    static const HorizontalPI* Cast(const RoadElement* element) { return road_CastByCode<HorizontalPI>(element); }

    int32_t CurveType = -1;
    coord_CorrectedGrid CurveStart;
    double CurveStartAzimuth = MATHS_Null;
    double CurveStartStation = MATHS_Null;
    coord_CorrectedGrid CurveEnd;
    double CurveEndAzimuth = MATHS_Null;
    double CurveEndStation = MATHS_Null;
    // EndAzimuth - StartAzimuth; positive turns right.
    double Deflection = MATHS_Null;
    double ArcRadius = MATHS_Null;
    double ArcLength = MATHS_Null;
    double SpiralInLength = MATHS_Null;
    double SpiralOutLength = MATHS_Null;
    bool Solved = false;
    int32_t SolveStatus = 0;
    // Tangent length beyond the distance available, for the overlap statuses.
    double Overlap = MATHS_Null;

private:
    // The overlap test that ends every solve of a curve.
    bool CheckOverlap(double tangentIn, double back, double tangentOut, double ahead);
};

// A start point of kind 1 followed by PIs ("HorizontalAlignmentPIs").
class HorizontalPIArray : public RoadElementArray {
public:
    HorizontalPIArray() = default;
    HorizontalPIArray(const HorizontalPIArray& other) : RoadElementArray(other), Selected(other.Selected) {}
    HorizontalPIArray& operator=(const HorizontalPIArray& other);
    HorizontalPIArray* Clone() const override { return new HorizontalPIArray(*this); }

    HorizontalBase* At(int32_t i) { return HorizontalBase::Cast(RoadElementArray::At(i)); }
    const HorizontalBase* At(int32_t i) const { return HorizontalBase::Cast(RoadElementArray::At(i)); }

    // A start point of kind 1 for an empty list, else a PI; the caller's.
    HorizontalBase* ProposeNextElement() const;
    // Unsolves every PI, then solves each from its neighbours in order. Returns the count.
    int32_t SolveAll();
    // The element list of the PIs as they stand (unsolved ones give null values):
    // straights between curves more than 0.0001 apart, then the spirals and arcs of
    // each curve, with tangency updated.
    bool ToElements(HorizontalElementArray& elements) const;
    // Null for an empty list.
    xmlout_element* WriteXml() const;

    int32_t Selected = 0;
};
