// Functions of latitude shared by the conic, cylindrical, oblique and stereographic
// kinds, on an ellipsoid of first eccentricity e.
#pragma once

#include <cstddef>

#include "csib/csib.h"
#include "csib/projection.h"

// cos(phi) / sqrt(1 - e^2 sin^2(phi)).
double csib_ParallelFactor(double e2, double phi);
// tan(pi/4 - phi/2) / ((1 - e sin phi) / (1 + e sin phi))^(e/2).
double csib_ConformalT(double e, double phi);
// The latitude whose t is the given one: at most 100 rounds, -29 without settling.
csib_Status csib_LatitudeFromT(double e, double t, double* phi);
// A record of the given size, zeroed, as the block's projection record; -26 without
// memory.
csib_Status csib_NewProjectionRecord(csib_Block* block, std::size_t size, void** record);
template <typename Record>
csib_Status csib_NewProjectionRecord(csib_Block* block, Record** record) {
    void* made = nullptr;
    const csib_Status status = csib_NewProjectionRecord(block, sizeof(Record), &made);
    *record = static_cast<Record*>(made);
    return status;
}
// The block's record as the kind's type.
template <typename Record>
const Record* csib_Record(const csib_Block* block) {
    return static_cast<const Record*>(block->projectionParameters);
}
// The conformal (Gauss) sphere about a latitude: its exponent sqrt(1 + e^2 cos^4 phi /
// (1 - e^2)) and its radius sqrt(M N) at unit scale.
double csib_SphereExponent(double e2, double phi);
double csib_SphereRadius(double a, double e2, double phi);
// Save and GetSavedSize of a kind without a saved part.
csib_Status csib_NothingSaved(csib_Block* block, uint8_t gridMode, int32_t* size);
