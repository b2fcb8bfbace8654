// The United Kingdom national grid (projection kind 15): transverse Mercator with the
// national constants on fixed semi-axes, then north and east shifts from two grids
// over the true national-grid position.
#pragma once

#include "csib/csib.h"
#include "csib/gridfile.h"
#include "csib/projection.h"

struct csib_UKGridParameters {
    csib_TMParameters tm;  // leads, so the transverse Mercator routines read it
    csib_GridFile* northShiftGrid;
    csib_GridFile* eastShiftGrid;
    uint8_t* savedForm;  // both grids' saved forms, for Reopen
    uint8_t closed;
};
