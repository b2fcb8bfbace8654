// Superelevation and widening (type code 12, "ApplySuperelevation"): at a station, the
// crossfall of each side as a grade, the pivot about which the section rotates, and the
// width added on each side. A road keeps the entries in station order in a
// SuperElevationArray ("SuperelevationAndWidening"); between entries values run
// linearly with the station. Sides are indexed by DBROAD_SideLeft and DBROAD_SideRight.
#pragma once

#include <cstdint>

#include "foundation/kernel/maths.h"
#include "foundation/text/str.h"
#include "roads/roadquorvel.h"
#include "roads/roadquorvel_placement.h"

class SuperElevationWidening : public RoadElement {
public:
    static constexpr int32_t TypeCode = 12;

    static constexpr int32_t PivotLeft = 0;   // "Left"
    static constexpr int32_t PivotCrown = 1;  // "Crown"
    static constexpr int32_t PivotRight = 2;  // "Right"

    SuperElevationWidening() : RoadElement(TypeCode) {}
    SuperElevationWidening(const SuperElevationWidening& other) = default;

    // Absent or empty children read null, widenings too; an unknown pivot keeps the pivot.
    void ReadXml(const xml_Node* node) override;
    xmlout_element* WriteXml() const override;
    // Same type code, pivot and all five values exactly.
    bool operator==(const RoadElement& other) const override;
    bool operator==(const SuperElevationWidening& other) const {
        return *this == static_cast<const RoadElement&>(other);
    }
    RoadElement* Clone() const override { return new SuperElevationWidening(*this); }
    using RoadElement::operator=;
    virtual SuperElevationWidening& operator=(const SuperElevationWidening& other);

    // Empty for an unknown pivot.
    Str PivotText() const;
    // An exact match of a pivot text; any other text leaves the pivot as it is.
    void SetPivotFromText(const Str& text);
    // Both widenings are known.
    bool HasWidening() const;

    static SuperElevationWidening* Cast(RoadElement* element) {
        return road_CastByCode<SuperElevationWidening>(element);
    }
    static const SuperElevationWidening* Cast(const RoadElement* element) {
        return road_CastByCode<SuperElevationWidening>(element);
    }

    int32_t Pivot = PivotCrown;
    double Station = MATHS_Null;
    // Crossfall of each side as a grade, positive rising away from the centre line.
    double Superelevation[2] = {MATHS_Null, MATHS_Null};
    // Width added on each side.
    double Widening[2] = {0, 0};
};

class SuperElevationArray : public RoadElementArray {
public:
    SuperElevationArray() = default;
    SuperElevationArray(const SuperElevationArray& other) = default;
    SuperElevationArray& operator=(const SuperElevationArray& other) = default;
    SuperElevationArray* Clone() const override { return new SuperElevationArray(*this); }

    SuperElevationWidening* At(int32_t i) { return SuperElevationWidening::Cast(RoadElementArray::At(i)); }
    const SuperElevationWidening* At(int32_t i) const { return SuperElevationWidening::Cast(RoadElementArray::At(i)); }

    // The entry in force at the station: an entry there (within 0.0005) that has both
    // widenings, else the interpolation between the last entry at or before the station
    // and the first one after it that has both widenings, else the last entry at or
    // before the station. Before the first entry, and for an empty array, a default entry.
    SuperElevationWidening ValueAt(double station) const;
    // Values between two entries at the station, linear in the station; a value null at
    // either end is null. The pivot is the earlier entry's.
    static SuperElevationWidening Interpolate(const SuperElevationWidening& before, const SuperElevationWidening& after,
                                              double station);
    // No two neighbours at exactly one station, and all entries within
    // [start - 0.0005, end + 0.0005].
    bool IsValid(double startStation, double endStation) const;
    // The superelevation key stations, then the widening key stations.
    void AddKeyStations(ChainageElementArray& chainages) const;
    // "SuperelevationAndWidening", after an empty line; null for an empty array.
    xmlout_element* WriteXml() const { return road_WriteListXml(*this, "SuperelevationAndWidening"); }

    // How the entries change: the rate of a side from entry ndx to the next, per unit of
    // station; null when a value is null or the two share a station.
    double Rate(int32_t side, int32_t ndx) const;
    // Rates within 0.00001 of each other.
    static bool RatesEqual(double a, double b);
    // At entry ndx (an inner one: rates before and after it), with the side's rates:
    bool KeepsDirection(int32_t side, int32_t ndx) const;  // both rising or both falling
    bool SidesOpposed(int32_t ndx) const;                  // the sides' later rates have opposite signs
    bool IsExtremum(int32_t side, int32_t ndx) const;      // the side turns away from the other side
    bool IsFullSuperelevation(int32_t ndx) const;          // both sides turn
    bool RateChanges(int32_t ndx) const;
    bool IsConstantAfter(int32_t ndx) const;
    bool IsConstantBefore(int32_t ndx) const;
    bool IsLevelCrossing(int32_t ndx) const;  // both sides level, moving on in opposite senses
    // The values at entry ndx:
    bool SidesEqual(int32_t ndx) const;     // both known and within 0.00001
    bool SidesMirrored(int32_t ndx) const;  // equal in size, opposite in sign (or both 0)
    static int32_t OtherSide(int32_t side) { return side == DBROAD_SideLeft ? DBROAD_SideRight : DBROAD_SideLeft; }

private:
    void AddSuperelevationKeys(ChainageElementArray& chainages) const;
    void AddWideningKeys(ChainageElementArray& chainages) const;
    // The entry ndx after the assertions on its index; null out of range.
    const SuperElevationWidening* Entry(int32_t ndx) const;
};
