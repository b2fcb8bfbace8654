// Projection kind 15, the United Kingdom national grid. Load sets the national origin,
// false origin and scale in the block; the transverse Mercator record comes from the
// block's own axes, but the projection runs on the fixed semi-axes below, passed on a
// copy of the block so that the caller's block is never changed. Saved part: the
// north-shift grid's saved form, then the east-shift grid's.
#include "csib/projection_ukgrid.h"

#include <cmath>
#include <cstring>

#include "csib/csibplatform.h"
#include "csib/grid_model.h"
#include "csib/kinds.h"
#include "csib/projection.h"
#include "csib/projection_tm.h"

namespace {

constexpr double kOriginLatitude = 0.8552113334772214;     // 49 N
constexpr double kOriginLongitude = -0.03490658503988659;  // 2 W
constexpr double kFalseNorthing = -100000.0;
constexpr double kFalseEasting = 400000.0;
constexpr double kScaleFactor = 0.9996012717;
constexpr double kSemiMajorAxis = 6378137.0;
constexpr double kSemiMinorAxis = 6356752.3141;

csib_UKGridParameters* Record(const csib_Block* block) {
    return static_cast<csib_UKGridParameters*>(block->projectionParameters);
}

// The block as the transverse Mercator routines see it: fixed a and b, the block's e^2.
csib_Block OnFixedAxes(const csib_Block* block) {
    csib_Block copy = *block;
    copy.semiMajorAxis = kSemiMajorAxis;
    copy.semiMinorAxis = kSemiMinorAxis;
    return copy;
}

void CloseGrids(csib_UKGridParameters* record) {
    gridfile_Close(&record->northShiftGrid);
    gridfile_Close(&record->eastShiftGrid);
}

csib_Status Load(csib_Block* block, const uint8_t* saved) {
    auto* record = static_cast<csib_UKGridParameters*>(csib_MemAlloc(sizeof(csib_UKGridParameters)));
    if (!record) return CSIB_OutOfMemory;
    std::memset(record, 0, sizeof *record);
    block->projectionParameters = record;
    block->originLatitude = kOriginLatitude;
    block->originLongitude = kOriginLongitude;
    block->falseNorthing = kFalseNorthing;
    block->falseEasting = kFalseEasting;
    block->scaleFactor = kScaleFactor;
    block->projectionKind = 15;
    csib_FillTMParameters(block, &record->tm);
    int32_t size = 0;
    const csib_Status status = gridfile_OpenPair(&record->northShiftGrid, &record->eastShiftGrid, block, saved, &size);
    if (status != CSIB_Ok) return status;
    if (!(record->savedForm = static_cast<uint8_t*>(csib_MemAlloc(static_cast<std::size_t>(size)))))
        return CSIB_OutOfMemory;
    std::memcpy(record->savedForm, saved, static_cast<std::size_t>(size));
    return CSIB_Ok;
}

csib_Status Close(csib_Block* block) { return csib_CloseGridModel(Record(block), CloseGrids); }

csib_Status Reopen(csib_Block* block) {
    csib_UKGridParameters* record = Record(block);
    return csib_ReopenGridModel(record, CloseGrids, [&] {
        int32_t size = 0;
        return gridfile_OpenPair(&record->northShiftGrid, &record->eastShiftGrid, block, record->savedForm, &size);
    });
}

csib_Status Free(csib_Block* block) { return csib_FreeGridModel(block->projectionParameters, CloseGrids); }

csib_Status GetSavedSize(csib_Block* block, uint8_t gridMode, int32_t* size) {
    if (!size) return CSIB_MissingOutput;
    const csib_UKGridParameters* record = Record(block);
    if (record->closed) return CSIB_ModelClosed;
    return gridfile_GetPairSavedSize(record->northShiftGrid, record->eastShiftGrid, gridMode, size);
}

csib_Status Save(csib_Block* block, uint8_t* out, uint8_t gridMode) {
    const csib_UKGridParameters* record = Record(block);
    if (record->closed) return CSIB_ModelClosed;
    return gridfile_SavePair(record->northShiftGrid, record->eastShiftGrid, out, gridMode);
}

// Adds the shifts at the true national-grid position.
csib_Status ukgrid_ApplyShifts(const csib_Block* block, csib_GridPoint* out) {
    const csib_UKGridParameters* record = Record(block);
    if (record->closed) return CSIB_ModelClosed;
    double sN = 0.0, sE = 0.0;
    const csib_Status status =
        gridfile_InterpolatePair(record->northShiftGrid, record->eastShiftGrid, out->north + block->falseNorthing,
                                 out->east + block->falseEasting, &sN, &sE);
    if (status != CSIB_Ok) return status;
    out->north += sN;
    out->east += sE;
    return CSIB_Ok;
}

csib_Status Forward(csib_Block* block, const csib_GeodeticPoint* in, csib_GridPoint* out) {
    csib_Block fixed = OnFixedAxes(block);
    const csib_Status status = tm_Forward(&fixed, in, out);
    if (status < 0) return status;
    return ukgrid_ApplyShifts(block, out);
}

csib_Status ukgrid_RemoveShifts(const csib_Block* block, csib_GridPoint* point) {
    const csib_UKGridParameters* record = Record(block);
    if (record->closed) return CSIB_ModelClosed;
    double n = point->north + block->falseNorthing;
    double e = point->east + block->falseEasting;
    const csib_Status status = gridfile_RemoveShifts(record->northShiftGrid, record->eastShiftGrid, &n, &e);
    if (status != CSIB_Ok) return status;
    point->north = n - block->falseNorthing;
    point->east = e - block->falseEasting;
    return CSIB_Ok;
}

csib_Status Inverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    if (csib_NullInverse(in, out)) return CSIB_Ok;
    csib_GridPoint point = *in;
    const csib_Status status = ukgrid_RemoveShifts(block, &point);
    if (status != CSIB_Ok) return status;
    csib_Block fixed = OnFixedAxes(block);
    return tm_Inverse(&fixed, &point, out);
}

csib_Status ScaleFactor(csib_Block* block, const csib_GeodeticPoint* in, double* k) {
    csib_Block fixed = OnFixedAxes(block);
    return tm_ScaleFactor(&fixed, in, k);
}

csib_Status Convergence(csib_Block* block, const csib_GeodeticPoint* in, double* gamma) {
    csib_Block fixed = OnFixedAxes(block);
    return tm_Convergence(&fixed, in, gamma);
}

csib_Status GetParameters(csib_Block* block, int16_t index, void** parameter) {
    if (!parameter) return CSIB_MissingOutput;
    const csib_UKGridParameters* record = Record(block);
    if (record->closed) return CSIB_ModelClosed;
    *parameter = nullptr;
    if (index < 0 || index > 3) return CSIB_Ok;
    return gridfile_GetParameters(index < 2 ? record->northShiftGrid : record->eastShiftGrid,
                                  static_cast<int16_t>(index % 2), parameter);
}

}  // namespace

bool csib_UKGridUsesFile(const csib_Block* block, const char* fileName) {
    const csib_UKGridParameters* record = Record(block);
    return csib_IsGridFileNamed(record->northShiftGrid, fileName) ||
           csib_IsGridFileNamed(record->eastShiftGrid, fileName);
}

const csib_ProjectionFunctions csib_UKGridFunctions = {
    Load, Close, Reopen, Free, Save, Forward, Inverse, ScaleFactor, Convergence, GetParameters, GetSavedSize,
};
