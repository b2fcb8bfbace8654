// The program's coordinate values to and from engine points, guarded model
// operations, scale factors that fail to null, block copies and model file look-up.
#include <cstring>

#include "csib/adjustments.h"
#include "csib/csibplatform.h"
#include "csib/glue.h"
#include "csib/image.h"
#include "csib/pipeline.h"
#include "foundation/files/filesearch.h"
#include "foundation/files/path.h"

namespace {

// Projection kind 10 works on heights above its origin; with no vertical model the
// elevation is taken relative to the origin's own height and false elevation.
constexpr uint8_t kPlaneProjection = 10;

double PlaneElevationOffset(const csib_Block* block) {
    if (block->projectionKind != kPlaneProjection || block->verticalKind != 0 || !block->projectionParameters)
        return 0.0;
    const auto* values = static_cast<const double*>(block->projectionParameters);
    return values[0] - values[1];
}

bool FillGeodetic(double latitude, double longitude, double height, csib_GeodeticPoint* point) {
    point->latitude = latitude;
    point->longitude = longitude;
    point->ellipsoidHeight = height;
    point->orthometricHeight = MATHS_Null;
    point->hasEllipsoidHeight = maths_IsNull(height) ? 0 : 1;
    point->hasOrthometricHeight = 0;
    return !maths_IsNull(latitude) && !maths_IsNull(longitude);
}

double HeightOf(const csib_GeodeticPoint* point) {
    return point->hasEllipsoidHeight ? point->ellipsoidHeight : MATHS_Null;
}

}  // namespace

bool csibglue_WGS84ToGeodeticPoint(const coord_WGS84& value, csib_GeodeticPoint* point) {
    return FillGeodetic(value.Lat, value.Long, value.Height, point);
}

bool csibglue_LocalToGeodeticPoint(const coord_Local& value, csib_GeodeticPoint* point) {
    return FillGeodetic(value.Lat, value.Long, value.Height, point);
}

void csibglue_GeodeticPointToWGS84(const csib_GeodeticPoint* point, coord_WGS84* value) {
    value->Lat = point->latitude;
    value->Long = point->longitude;
    value->Height = HeightOf(point);
}

void csibglue_GeodeticPointToLocal(const csib_GeodeticPoint* point, coord_Local* value) {
    value->Lat = point->latitude;
    value->Long = point->longitude;
    value->Height = HeightOf(point);
}

void csibglue_GridToGridPoint(const coord_CogoGrid& value, csib_GridPoint* point, csib_Block* block) {
    point->north = value.North;
    point->east = value.East;
    point->elevation = value.Elev;
    point->ellipsoidHeight = MATHS_Null;
    point->applyFalseNorthing = !maths_IsNull(value.North) && !maths_IsNull(block->falseNorthing) ? 1 : 0;
    point->applyFalseEasting = !maths_IsNull(value.East) && !maths_IsNull(block->falseEasting) ? 1 : 0;
    point->hasElevation = maths_IsNull(value.Elev) ? 0 : 1;
    point->hasEllipsoidHeight = 0;
    point->elevation += PlaneElevationOffset(block);
    double gn = 0.0, ge = 0.0;
    if (csib_GetGroundOffset(block, &gn, &ge) == CSIB_Ok) {
        point->north += block->groundOffsetNorth + gn;
        point->east += block->groundOffsetEast + ge;
    }
    if (point->applyFalseNorthing) point->north -= block->falseNorthing;
    if (point->applyFalseEasting) point->east -= block->falseEasting;
}

void csibglue_GridPointToGrid(const csib_GridPoint* point, coord_CogoGrid* value, csib_Block* block) {
    value->North = point->north + block->falseNorthing;
    value->East = point->east + block->falseEasting;
    double gn = 0.0, ge = 0.0;
    if (csib_GetGroundOffset(block, &gn, &ge) == CSIB_Ok) {
        value->North -= block->groundOffsetNorth + gn;
        value->East -= block->groundOffsetEast + ge;
    }
    value->Elev = point->hasElevation ? point->elevation - PlaneElevationOffset(block) : MATHS_Null;
}

void csibglue_ApplyHorizontalAdjustment(csib_Block* block, csib_GridPoint* point) {
    if (block->hasHorizontalAdjustment) csib_ApplyHorizontalAdjustment(block, point);
}

void csibglue_RemoveHorizontalAdjustment(csib_Block* block, csib_GridPoint* point) {
    if (block->hasHorizontalAdjustment) csib_RemoveHorizontalAdjustment(block, point);
}

void csibglue_ApplyVerticalAdjustment(csib_Block* block, csib_GridPoint* point) {
    if (block->hasVerticalAdjustment) csib_ApplyVerticalAdjustment(block, point);
}

void csibglue_RemoveVerticalAdjustment(csib_Block* block, csib_GridPoint* point) {
    if (block->hasVerticalAdjustment) csib_RemoveVerticalAdjustment(block, point);
}

csib_Status csibglue_ApplyShiftGrid(csib_Block* block, csib_GridPoint* point) {
    return block->hasShiftGrid ? csib_ApplyShiftGrid(block, point) : CSIB_Ok;
}

csib_Status csibglue_RemoveShiftGrid(csib_Block* block, csib_GridPoint* point) {
    return block->hasShiftGrid ? csib_RemoveShiftGrid(block, point) : CSIB_Ok;
}

bool csibglue_GridScaleFactor(csib_Block* block, const coord_Local& value, double* factor) {
    const csib_GeodeticPoint point{value.Lat, value.Long, MATHS_Null, MATHS_Null, 0, 0};
    if (csib_GetGridScaleFactor(block, &point, factor) != CSIB_Ok || *factor == 0.0) *factor = MATHS_Null;
    return !maths_IsNull(*factor);
}

bool csibglue_CombinedScaleFactor(csib_Block* block, const coord_Local& value, double ellipsoidHeight,
                                  double* factor) {
    const csib_GeodeticPoint point{value.Lat, value.Long, ellipsoidHeight, MATHS_Null, 1, 0};
    if (csib_GetCombinedScaleFactor(block, &point, factor) != CSIB_Ok || *factor == 0.0) *factor = MATHS_Null;
    return !maths_IsNull(*factor);
}

bool csibglue_CloneCsib(csib_Block** copy, csib_Block* block) {
    int32_t size = 0;
    if (csib_GetSize(block, 1, &size) != CSIB_Ok) return false;
    auto* buffer = static_cast<uint8_t*>(csib_MemAlloc(static_cast<std::size_t>(size)));
    if (!buffer) return false;
    std::memset(buffer, 0xDB, static_cast<std::size_t>(size));
    csib_Status status = csib_Write(block, buffer, 1);
    if (status == CSIB_Ok) status = csib_Read(copy, buffer);
    csib_MemFree(buffer);
    return status == CSIB_Ok;
}

csib_Status csibglue_CloseFile(csib_Block* block, const Str& fileName) {
    return block ? csib_CloseFile(block, fileName.Data()) : CSIB_Ok;
}

csib_Status csibglue_ReopenFiles(csib_Block* block) { return block ? csib_ReopenFiles(block) : CSIB_Ok; }

Str csibglue_FindModelFile(const Str& name, const Str& extension) {
    if (!path_IsPlainName(name)) return Str();
    StrArray candidates;
    candidates.Add(path_MakeFileName("$(ProjectRootDir)", name, extension));
    candidates.Add(path_MakeFileName("$(SharedDir)", name, extension));
    return filesys_FindFirstOfPatterns(candidates);
}
