// Projection kind 19, the projection grid, and the projection shift grid: two grids
// over grid (north, east) each, holding latitude and longitude in radians, or the
// north and east shifts that the glue adds to grid coordinates. Both read their grids
// from a container file: an i32 format number 1 (its byte order the container's), a
// title with its NUL and two i32 grid offsets.
#pragma once

#include <cstdint>

#include "csib/csib.h"
#include "csib/gridfile.h"

struct csib_ProjectionGrid {
    csib_GridFile* latitudeGrid;
    csib_GridFile* longitudeGrid;
    double latitudeRange;   // (north, east) corner minus (south, west) corner
    double longitudeRange;
    int32_t longitudeFrom0To2Pi;  // a corner's longitude exceeds pi
    uint8_t separateGrids;        // 0: the saved part names one container
    uint8_t* savedForm;           // always in the current layout (with the leading byte)
    uint8_t closed;
};

struct csib_ShiftGrid {
    csib_GridFile* northGrid;
    csib_GridFile* eastGrid;
    char* savedForm;  // the container's file name
    uint8_t closed;
};

csib_Status csib_ProjectionGridInverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out);

csib_Status csib_LoadShiftGridFile(csib_Block* block, const char* fileName);
csib_Status csib_CloseShiftGrid(csib_Block* block);
csib_Status csib_ReopenShiftGrid(csib_Block* block);
csib_Status csib_FreeShiftGrid(csib_Block* block);
csib_Status csib_SaveShiftGrid(csib_Block* block, uint8_t* out);
csib_Status csib_GetShiftGridSavedSize(csib_Block* block, int32_t* size);
