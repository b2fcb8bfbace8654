// A road's vertical alignment: its vertical elements, one per VPI, in station order.
// The list is the only writer of the neighbour links each element keeps, recomputes the
// whole chain, answers the elevation at a station and writes "VerticalAlignment".
#pragma once

#include <cstdint>

#include "roads/roadquorvel.h"
#include "roads/roadquorvel_vertical.h"

class VerticalElementArray : public RoadElementArray {
public:
    VerticalElementArray() = default;
    VerticalElementArray(const VerticalElementArray& other) = default;
    VerticalElementArray& operator=(const VerticalElementArray& other) = default;
    VerticalElementArray* Clone() const override { return new VerticalElementArray(*this); }

    // Null for an element that is not vertical; the index is checked as At checks it.
    VerticalBase* GetElement(int32_t index);
    const VerticalBase* GetElement(int32_t index) const;
    // The first element's StartPoint station and the last one's EndPoint station; null
    // for an empty list.
    double StartStation() const;
    double EndStation() const;
    // Some element has a start elevation: the road has a vertical alignment.
    bool HasElevations() const;
    // No overlaps of more than Tolerance, no curve with equal grades or a radius too small
    // for its chord, and a list keyed by VPIs ends in a point. The links must be set.
    bool IsValid() const;

    // Set the links from the elements as they stand (after a road file was read).
    void LinkPrevious();
    void LinkNext();

    // At least two elements and every one after the first keyed so; the first is not
    // looked at.
    bool AllKeyedByVPI() const;
    bool AllKeyedByStartAndEndPoints() const;
    // 0 all by VPI, 1 all by start and end points, else 2.
    int32_t GetKeyinMethod() const;
    // Rebuilds everything from the VPIs and the elements' own lengths and radii.
    void RecomputeByVPI();
    // Derives the VPIs from the start and end points.
    void RecomputeByStartAndEndPoints();
    // Whichever of the two the keying asks for; a list of fewer than two elements or
    // with mixed methods after the first is left alone.
    void Recompute();

    // Null outside StartStation - 0.0005 .. EndStation + 0.0005; else the first element
    // that reaches the station answers.
    double ElevationAt(double station) const;
    // Marks the list's first key station as a VPI, then adds every element's stations.
    void AddKeyStations(ChainageElementArray& list) const;
    // Null for an empty list.
    xmlout_element* WriteXml() const;
    // A new default element of the class of the one at the index (a point for an empty
    // list), owned by the caller; null for an index past the end.
    VerticalBase* NewElementLike(int32_t index) const;

private:
    bool AllKeyedBy(int32_t method) const;
};
