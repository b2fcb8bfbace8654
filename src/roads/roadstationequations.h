// Station equations: points where the stationing shown to the user jumps from a back
// station to an ahead station and may turn to run downwards.
//
// Geometry runs in one continuous internal station. The equations, numbered 1 .. n in
// list order, cut the road into zones: zone 1 lies before equation 1 and shows internal
// stations unchanged; zone k + 1 starts at equation k's ahead station and runs in its
// direction, up to equation k + 1's back station (without end after the last). Within
// zone k + 1, internal = equation k's internal station + |displayed - its ahead station|.
// A displayed station only means something together with its zone.
#pragma once

#include <cstdint>

#include "foundation/kernel/maths.h"
#include "records/equatedstation.h"
#include "roads/roadquorvel.h"

class StationEquation {
public:
    StationEquation() = default;
    StationEquation(const StationEquation& other) = default;
    virtual ~StationEquation() = default;
    // All four values.
    virtual StationEquation& operator=(const StationEquation& other);
    // All four values exactly equal.
    virtual bool operator==(const StationEquation& other) const;

    bool IsDecreasing() const { return Direction == 1; }

    double BackStation = MATHS_Null;
    double AheadStation = MATHS_Null;
    // 0 "Increasing", 1 "Decreasing": how displayed stations run ahead of the equation.
    int32_t Direction = 0;
    double InternalStation = MATHS_Null;
};

// Converts between internal stations and displayed stations with their zones. Every
// conversion answers null for a null input, for a zone out of range and for a station
// no zone holds.
class StationEquationManager {
public:
    virtual ~StationEquationManager() = default;
    virtual bool HasEquations() const { return Count() > 0; }
    virtual int32_t FirstZone() const { return 1; }
    virtual int32_t LastZone() const { return Count() + 1; }
    // The zone's first and last displayed station (+-1e308 where it has no end) and
    // direction; false for a zone outside FirstZone .. LastZone.
    virtual bool GetZoneRange(int32_t zone, double* start, double* end, int32_t* direction) const;
    // With a zone (>= 1) the station is taken in that zone. Without one the zones are
    // searched in order, the lowest that holds the station wins and is stored.
    virtual double ToInternalStation(EquatedStation* station) const;
    // A station at an equation belongs to the zone ahead of it. Without equations the
    // zone is -1.
    virtual EquatedStation ToDisplayStation(double internal) const;
    virtual int32_t Count() const = 0;
    // Equation ndx, 1-based. Outside 1 .. Count() the failure is reported and a default
    // equation (all null, increasing) is the answer.
    virtual StationEquation Get(int32_t ndx) const = 0;
};

// The manager of a road without equations.
class NullStationEquationManagerClass : public StationEquationManager {
public:
    int32_t Count() const override { return 0; }
    StationEquation Get(int32_t ndx) const override;
};

// The one null manager, alive from library load to unload.
StationEquationManager* road_GetNullStationEquationManager();

// One equation of a road file ("ApplyStationEquation").
class StationEquationElement : public RoadElement, public StationEquation {
public:
    static constexpr int32_t TypeCode = 17;

    StationEquationElement() : RoadElement(TypeCode) {}
    StationEquationElement(const StationEquationElement& other) = default;

    void ReadXml(const xml_Node* node) override;
    xmlout_element* WriteXml() const override;
    // Same type code and the four values exactly equal.
    bool operator==(const RoadElement& other) const override;
    bool operator==(const StationEquation& other) const override { return StationEquation::operator==(other); }
    bool operator==(const StationEquationElement& other) const {
        return *this == static_cast<const RoadElement&>(other);
    }
    RoadElement& operator=(const RoadElement& other) override { return RoadElement::operator=(other); }
    StationEquation& operator=(const StationEquation& other) override { return StationEquation::operator=(other); }
    RoadElement* Clone() const override { return new StationEquationElement(*this); }
    // The type code and the four values.
    virtual StationEquationElement& operator=(const StationEquationElement& other);

    static StationEquationElement* Cast(RoadElement* element) {
        return road_CastByCode<StationEquationElement>(element);
    }
    static const StationEquationElement* Cast(const RoadElement* element) {
        return road_CastByCode<StationEquationElement>(element);
    }
};

// A road's equations ("StationEquations"), which are also its manager.
class StationEquationArray : public RoadElementArray, public StationEquationManager {
public:
    StationEquationArray() = default;
    StationEquationArray(const StationEquationArray& other) : RoadElementArray(other) {}
    StationEquationArray& operator=(const StationEquationArray& other);
    StationEquationArray* Clone() const override { return new StationEquationArray(*this); }

    // Null out of range and for entries of another kind.
    StationEquationElement* At(int32_t i) { return StationEquationElement::Cast(RoadElementArray::At(i)); }
    const StationEquationElement* At(int32_t i) const {
        return StationEquationElement::Cast(RoadElementArray::At(i));
    }

    int32_t Count() const override { return count; }
    // The equation part of element ndx - 1; an entry of another kind answers a default
    // equation.
    StationEquation Get(int32_t ndx) const override;

    // The internal stations from the back and ahead stations: equation 1 sits at its
    // back station, each later one as far on as the displayed stations run between
    // them. The run also sets each equation's direction; the last keeps its own.
    void ComputeInternalStations();
    // Each zone runs the way its direction says, every ahead station maps back to its
    // equation, and the equations lie within the road's internal start and end
    // (0.0005 either way). An empty list is valid.
    bool IsValid(double start, double end) const;
    // Every equation with an internal station, as KEY_StationEquation.
    void AddKeyStations(ChainageElementArray& list) const;
    // Null for an empty list.
    xmlout_element* WriteXml() const;
};
