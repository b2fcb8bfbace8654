// Vertical kind 1, geoid grid: N interpolated from one grid over latitude and longitude
// in degrees. Saved part: the grid's saved form, kept so that the grid can be opened
// again after its file was released.
#include <cstring>

#include "csib/csibplatform.h"
#include "csib/grid_model.h"
#include "csib/gridfile.h"
#include "csib/kinds.h"

namespace {

constexpr double kDegrees = 57.29577951308232;

struct csib_GeoidGrid {
    csib_GridFile* grid;
    uint8_t* savedForm;
    uint8_t closed;
};

csib_GeoidGrid* Record(const csib_Block* block) { return static_cast<csib_GeoidGrid*>(block->verticalParameters); }

csib_Status csib_LoadGeoidGridFile(csib_Block* block, const uint8_t* saved) {
    auto* record = static_cast<csib_GeoidGrid*>(csib_MemAlloc(sizeof(csib_GeoidGrid)));
    if (!record) return CSIB_OutOfMemory;
    std::memset(record, 0, sizeof *record);
    block->verticalParameters = record;
    csib_Status status = gridfile_Open(&record->grid, block, saved, 0);
    int32_t size = 0;
    if (status == CSIB_Ok) status = gridfile_GetSavedSize(record->grid, block->gridMode, &size);
    if (status != CSIB_Ok) return status;
    if (!(record->savedForm = static_cast<uint8_t*>(csib_MemAlloc(static_cast<std::size_t>(size)))))
        return CSIB_OutOfMemory;
    std::memcpy(record->savedForm, saved, static_cast<std::size_t>(size));
    return CSIB_Ok;
}

void CloseGrid(csib_GeoidGrid* record) { gridfile_Close(&record->grid); }

csib_Status csib_CloseGeoidGrid(csib_Block* block) { return csib_CloseGridModel(Record(block), CloseGrid); }

// A failed open leaves no grid behind, so the close after it finds nothing to close.
csib_Status csib_ReopenGeoidGrid(csib_Block* block) {
    csib_GeoidGrid* record = Record(block);
    return csib_ReopenGridModel(record, CloseGrid,
                                [&] { return gridfile_Open(&record->grid, block, record->savedForm, 0); });
}

csib_Status csib_FreeGeoidGrid(csib_Block* block) { return csib_FreeGridModel(block->verticalParameters, CloseGrid); }

csib_Status csib_SaveGeoidGrid(csib_Block* block, uint8_t* out, uint8_t gridMode) {
    const csib_GeoidGrid* record = Record(block);
    return record->closed ? CSIB_ModelClosed : gridfile_Save(record->grid, out, gridMode);
}

csib_Status csib_GeoidGridSeparation(csib_Block* block, const csib_GeodeticPoint* point, double* n) {
    const csib_GeoidGrid* record = Record(block);
    if (record->closed) return CSIB_ModelClosed;
    return gridfile_Interpolate(record->grid, point->latitude * kDegrees, point->longitude * kDegrees, n);
}

csib_Status csib_GetGeoidGridParameters(csib_Block* block, int16_t index, void** parameter) {
    if (!parameter) return CSIB_MissingOutput;
    const csib_GeoidGrid* record = Record(block);
    return record->closed ? CSIB_ModelClosed : gridfile_GetParameters(record->grid, index, parameter);
}

csib_Status csib_GetGeoidGridSavedSize(csib_Block* block, uint8_t gridMode, int32_t* size) {
    if (!size) return CSIB_MissingOutput;
    const csib_GeoidGrid* record = Record(block);
    return record->closed ? CSIB_ModelClosed : gridfile_GetSavedSize(record->grid, gridMode, size);
}

}  // namespace

bool csib_GeoidGridUsesFile(const csib_Block* block, const char* fileName) {
    return csib_IsGridFileNamed(Record(block)->grid, fileName);
}

const csib_VerticalFunctions csib_GeoidGridFunctions = {
    csib_LoadGeoidGridFile, csib_CloseGeoidGrid, csib_ReopenGeoidGrid, csib_FreeGeoidGrid, csib_SaveGeoidGrid,
    csib_GeoidGridSeparation, csib_GetGeoidGridParameters, csib_GetGeoidGridSavedSize,
};
