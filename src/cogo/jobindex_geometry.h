// What the coordinate geometry does for the job index, which cannot link it: building
// the job's transform, the grid of a point, the end of a bearing-distance line, the
// solution of an arc and the job's local transformations.
#pragma once

struct dbJobIndex_CoordinateGeometry;

// Fills those members of the index's coordinate-geometry answers.
void jobindexgeometry_Fill(dbJobIndex_CoordinateGeometry* geometry);
