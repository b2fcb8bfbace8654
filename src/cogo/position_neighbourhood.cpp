// The neighbourhood adjustment of computed grids: the residuals of a station setup or
// of the calibration, spread to nearby points by inverse-distance weighting.
#include "cogo/position.h"
#include "cogo/transfrm.h"
#include "foundation/kernel/maths.h"

void position_Class::ApplyNeighbourhoodAdjustment(const transfrm_Class* transform) {
    if (HasStationSetup) return;
    coord_GridDeltas deltas;
    if (!NeighbourhoodDeltas(transform, Original, &deltas) || deltas.IsHorizontalNull()) return;
    Grid.North = maths_Add(Grid.North, deltas.dNorth);
    Grid.East = maths_Add(Grid.East, deltas.dEast);
    Status &= ~POSITION_DoneLocal;
}

void position_Class::RemoveNeighbourhoodAdjustment(const transfrm_Class* transform, int32_t originalType) {
    if (HasStationSetup) return;
    coord_GridDeltas deltas;
    if (!NeighbourhoodDeltas(transform, originalType, &deltas) || deltas.IsHorizontalNull()) return;
    Grid.North = maths_Subtract(Grid.North, deltas.dNorth);
    Grid.East = maths_Subtract(Grid.East, deltas.dEast);
}

// The residual sources are not read yet: no shift.
bool position_Class::NeighbourhoodDeltas(const transfrm_Class*, int32_t, coord_GridDeltas* deltas) {
    deltas->SetNull();
    return false;
}
