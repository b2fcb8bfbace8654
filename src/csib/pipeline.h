// The operations that carry one point through a block: WGS84 to the local datum and
// back with heights kept consistent through the geoid separation, local geodetic to
// grid and back with the ground scale factor k (engine grid values are projection
// values times k), the adjustments and shift grid, scale factors and convergence with
// numeric fallbacks, and the false-origin offsets of a ground-scaled system.
//
// The geoid separation N is always taken at the WGS84 position of a point, and
// h = H + N holds between the WGS84 ellipsoid height and the orthometric height.
#pragma once

#include "csib/csib.h"

// The WGS84 point may be completed in place (its missing ellipsoid height filled).
csib_Status csib_WGS84ToLocal(csib_Block* block, csib_GeodeticPoint* wgs84, csib_GeodeticPoint* local);
csib_Status csib_LocalToWGS84(csib_Block* block, const csib_GeodeticPoint* local, csib_GeodeticPoint* wgs84);
csib_Status csib_GeodeticToGrid(csib_Block* block, const csib_GeodeticPoint* local, csib_GridPoint* grid);
// Divides the grid point's north and east by k in place.
csib_Status csib_GridToGeodetic(csib_Block* block, csib_GridPoint* grid, csib_GeodeticPoint* local);

csib_Status csib_AddGeoidSeparation(csib_Block* block, csib_GeodeticPoint* wgs84);
csib_Status csib_EllipsoidToOrthometric(csib_Block* block, csib_GeodeticPoint* wgs84);
csib_Status csib_OrthometricToEllipsoid(csib_Block* block, csib_GeodeticPoint* local);

// Only on a block that has the model installed.
csib_Status csib_ApplyShiftGrid(csib_Block* block, csib_GridPoint* point);
csib_Status csib_RemoveShiftGrid(csib_Block* block, csib_GridPoint* point);

csib_Status csib_GetConvergence(csib_Block* block, const csib_GeodeticPoint* point, double* convergence);
csib_Status csib_GetGridScaleFactor(csib_Block* block, const csib_GeodeticPoint* point, double* factor);
csib_Status csib_GetCombinedScaleFactor(csib_Block* block, const csib_GeodeticPoint* point, double* factor);
// The scale of a step up grid north, from the forward's derivatives (the azimuth of
// that step is the convergence csib_GetConvergence falls back to).
csib_Status csib_NumericScaleFactor(csib_Block* block, const csib_GeodeticPoint* point, double* factor);

csib_Status csib_GetGroundOffset(csib_Block* block, double* north, double* east);
// Engine grid to displayed grid and back; always 0.
csib_Status csib_AddFalseOrigin(csib_Block* block, double* north, double* east);
csib_Status csib_RemoveFalseOrigin(csib_Block* block, double* north, double* east);
