// Horizontal alignments built element by element as a conversion builds them, for the
// tests of the alignment and of what stands on it.
#pragma once

#include "foundation/kernel/maths.h"
#include "roads/roadquorvel_horizontal_alignment.h"
#include "roads/roadquorvel_spiral.h"

namespace road_test {

// A start point at station 0 and the given grid point.
inline void StartAt(HorizontalElementArray& list, double north, double east) {
    HorizontalStartPoint* start = new HorizontalStartPoint(0);
    start->KeyinMethod = 0;
    start->StartStation = start->EndStation = 0;
    start->StartCoordinate = start->EndCoordinate = coord_CorrectedGrid(north, east, MATHS_Null);
    list.Add(start);
}

// Appends an element that starts where the last one ends (in its direction, unless the
// element has an azimuth of its own) and computes its end, as the import does (spirals
// at its resolution 0.0001).
inline void Append(HorizontalElementArray& list, HorizontalBase* e, double length) {
    const HorizontalBase* previous = list.At(list.Count() - 1);
    e->KeyinMethod = 0;
    e->StartStation = previous->EndStation;
    e->StartCoordinate = previous->EndCoordinate;
    if (maths_IsNull(e->StartAzimuth)) e->StartAzimuth = previous->EndAzimuth;
    e->Length = length;
    e->EndStation = e->StartStation + length;
    if (e->IsSpiral())
        static_cast<HorizontalSpiral*>(e)->ComputeEndCoordinate(1e-04);
    else
        e->ComputeEndCoordinate();
    list.Add(e);
}

}  // namespace road_test
