// A road's horizontal alignment: a start point followed by straights, arcs and
// spirals, each starting where its predecessor ends ("HorizontalAlignment"). The list
// answers its station range, turns stations and offsets into grid points and back,
// finds its key stations, checks and recomputes the chain and proposes the next
// element to key in. Offsets are positive to the right of increasing stations.
#pragma once

#include <cstdint>

#include "roads/roadquorvel.h"
#include "roads/roadquorvel_horizontal.h"

class HorizontalElementArray : public RoadElementArray {
public:
    HorizontalElementArray() = default;
    // Clones of the elements; the copy is not the selected list.
    HorizontalElementArray(const HorizontalElementArray& other) : RoadElementArray(other) {}
    HorizontalElementArray& operator=(const HorizontalElementArray& other);
    HorizontalElementArray* Clone() const override { return new HorizontalElementArray(*this); }

    // Null out of range and for entries that are not horizontal elements.
    HorizontalBase* At(int32_t i) { return HorizontalBase::Cast(RoadElementArray::At(i)); }
    const HorizontalBase* At(int32_t i) const { return HorizontalBase::Cast(RoadElementArray::At(i)); }

    // The first entry's start and the last entry's end; null for an empty list.
    double StartStation() const;
    double EndStation() const;

    // Tangency of every entry from the third on to its predecessor's end azimuth; the
    // first element after the start point keeps its flag. Returns the count.
    int32_t UpdateTangency();
    // Recomputes every element from its predecessor's end, in order. Returns the count.
    int32_t RecomputeChain();

    // The point within 0.0005 of the alignment's stations, from the first element that
    // holds the station from its own start on; false when none does.
    bool PointAtStation(double station, AlignmentPoint* point) const;
    // The grid point at the station and offset; null when the station has no point.
    coord_CorrectedGrid PointAtStationOffset(const coord_StationOffset& stationOffset) const;
    coord_CorrectedGrid GridAtStation(double station) const;
    // The smallest offset among the elements that hold the point abeam, unless an
    // element end that is not abeam lies nearer: then station and offset are null.
    coord_StationOffset StationOffsetOfPoint(const coord_CorrectedGrid& point) const;

    // The alignment's start and end and the joins between its elements.
    void AddKeyStations(ChainageElementArray& list) const;
    // A new element (the caller's) of the kind that usually follows entry ndx; a start
    // point for an empty list; null when nothing follows or ndx is out of range.
    HorizontalBase* ProposeNextElement(int32_t ndx) const;

    // The box of the elements' start and end points; an empty list leaves the corners
    // alone. Returns the count.
    int32_t GetExtents(coord_CorrectedGrid* northWest, coord_CorrectedGrid* southEast) const;
    // Every element starts within 0.001 of its predecessor's end.
    bool IsContinuous() const;
    // Every element's stored end lies within 0.001 and 5e-6 rad of the one it computes.
    bool IsConsistent() const;
    bool HasSpiralAfterStart() const;
    // Some element ends within 0.0005 of the station.
    bool HasElementEndingAt(double station) const;
    // 3 for fewer than two entries, 1 when the first element is keyed by its end
    // station, else 0.
    int32_t FirstElementKeying() const;
    // Null for an empty list.
    xmlout_element* WriteXml() const;

    // Set on the list that the road's switch between elements and PIs fills.
    int32_t Selected = 0;
};
