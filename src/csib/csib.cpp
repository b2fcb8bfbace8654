#include "csib/csib.h"

#include <cmath>
#include <cstring>

#include "csib/adjustments.h"
#include "csib/csibplatform.h"
#include "csib/kinds.h"

namespace {

void FreeText(csib_Text& text) {
    csib_MemFree(text.a);
    csib_MemFree(text.b);
    csib_MemFree(text.w);
    text = {};
}

const csib_DatumFunctions* DatumRow(uint8_t kind) {
    return kind < CSIB_DatumKindCount ? csib_DatumKinds[kind].slots : nullptr;
}
const csib_ProjectionFunctions* ProjectionRow(uint8_t kind) {
    return kind < CSIB_ProjectionKindCount ? csib_ProjectionKinds[kind].slots : nullptr;
}
const csib_VerticalFunctions* VerticalRow(uint8_t kind) {
    return kind < CSIB_VerticalKindCount ? csib_VerticalKinds[kind].slots : nullptr;
}

}  // namespace

csib_Text* csib_TextAt(csib_Block* block, int number) {
    switch (number) {
        case 1: case 2: case 3: case 4: return &block->texts1to4[number - 1];
        case 5: case 6: return &block->texts5to6[number - 5];
        case 7: return &block->projectionText;
        case 8: case 9: return &block->verticalTexts[number - 8];
        case 10: return &block->horizontalAdjustmentText;
        case 11: return &block->verticalAdjustmentText;
        case 12: return &block->shiftGridText;
        default: return nullptr;
    }
}

csib_Status csib_Create(csib_Block** out, uint8_t gridMode, double a, double b) {
    auto* block = static_cast<csib_Block*>(csib_MemAlloc(sizeof(csib_Block)));
    if (!block) return CSIB_OutOfMemory;
    std::memset(block, 0, sizeof(csib_Block));
    block->origin = 0;
    block->version = CSIB_BlockVersion;
    block->gridMode = gridMode;
    csib_SetAxes(block, a, b);
    csib_Status status = csib_SetDatumFunctions(block);
    if (status == CSIB_Ok) status = csib_SetProjectionFunctions(block);
    if (status == CSIB_Ok) status = csib_SetVerticalFunctions(block);
    if (status != CSIB_Ok) {
        csib_MemFree(block);
        return status;
    }
    block->options = CSIB_DefaultOptions;
    *out = block;
    return CSIB_Ok;
}

void csib_SetAxes(csib_Block* block, double a, double b) {
    block->semiMajorAxis = a;
    block->semiMinorAxis = b;
    block->eccentricity = std::sqrt(1.0 - b * b / (a * a));
    block->eccentricitySquared = block->eccentricity * block->eccentricity;
    block->flattening = (a - b) / a;
}

void csib_Free(csib_Block** pointer) {
    if (!pointer || !*pointer) return;
    csib_Block* block = *pointer;
    for (csib_Text& text : block->texts1to4) FreeText(text);
    for (csib_Text& text : block->texts5to6) FreeText(text);
    if (block->datum.Free) block->datum.Free(block);
    FreeText(block->projectionText);
    if (block->projection.Free) block->projection.Free(block);
    for (csib_Text& text : block->verticalTexts) FreeText(text);
    if (block->vertical.Free) block->vertical.Free(block);
    FreeText(block->horizontalAdjustmentText);
    csib_FreeHorizontalAdjustment(block);
    FreeText(block->verticalAdjustmentText);
    csib_FreeVerticalAdjustment(block);
    FreeText(block->shiftGridText);
    if (block->shiftGrid && csib_ShiftGridSupport) csib_ShiftGridSupport->Free(block);
    csib_MemFree(block);
    *pointer = nullptr;
}

csib_Status csib_SetDatumFunctions(csib_Block* block) {
    const csib_DatumFunctions* row = DatumRow(block->datumKind);
    if (!row) return CSIB_BadDatumKind;
    block->datum = *row;
    return CSIB_Ok;
}

csib_Status csib_SetProjectionFunctions(csib_Block* block) {
    const csib_ProjectionFunctions* row = ProjectionRow(block->projectionKind);
    if (!row) return CSIB_BadProjectionKind;
    block->projection = *row;
    return CSIB_Ok;
}

csib_Status csib_SetVerticalFunctions(csib_Block* block) {
    const csib_VerticalFunctions* row = VerticalRow(block->verticalKind);
    if (!row) return CSIB_BadVerticalKind;
    block->vertical = *row;
    return CSIB_Ok;
}

// The kind is checked before the old model goes: a kind that cannot be installed
// must not leave the stage's slots over a released record.
csib_Status csib_SetDatum(csib_Block* block, uint8_t kind, const uint8_t* saved) {
    if (!DatumRow(kind)) return CSIB_BadDatumKind;
    if (block->datum.Free) block->datum.Free(block);
    block->datumKind = kind;
    csib_Status status = csib_SetDatumFunctions(block);
    if (status != CSIB_Ok) return status;
    return block->datum.Load(block, saved);
}

csib_Status csib_SetProjection(csib_Block* block, uint8_t kind, const uint8_t* saved) {
    if (!ProjectionRow(kind)) return CSIB_BadProjectionKind;
    if (block->projection.Free) block->projection.Free(block);
    block->projectionKind = kind;
    csib_Status status = csib_SetProjectionFunctions(block);
    if (status != CSIB_Ok) return status;
    if (kind != 0) {
        status = block->projection.Load(block, saved);
        if (status < 0) return status;
    }
    return CSIB_Ok;
}

csib_Status csib_SetVertical(csib_Block* block, uint8_t kind, const uint8_t* saved) {
    if (!VerticalRow(kind)) return CSIB_BadVerticalKind;
    if (block->verticalKind != 0 && block->vertical.Free) block->vertical.Free(block);
    block->verticalKind = kind;
    csib_Status status = csib_SetVerticalFunctions(block);
    if (status != CSIB_Ok) return status;
    return kind != 0 ? block->vertical.Load(block, saved) : CSIB_Ok;
}

csib_Status csib_SetHorizontalAdjustment(csib_Block* block, const uint8_t* saved) {
    csib_FreeHorizontalAdjustment(block);
    return saved ? csib_LoadHorizontalAdjustment(block, saved) : CSIB_Ok;
}

csib_Status csib_SetVerticalAdjustment(csib_Block* block, const uint8_t* saved) {
    csib_FreeVerticalAdjustment(block);
    return saved ? csib_LoadVerticalAdjustment(block, saved) : CSIB_Ok;
}

csib_Status csib_SetShiftGrid(csib_Block* block, const char* fileName) {
    if (block->shiftGrid && csib_ShiftGridSupport) csib_ShiftGridSupport->Free(block);
    if (!fileName) return CSIB_Ok;
    // Without shift grid support the file cannot be read.
    if (!csib_ShiftGridSupport) return CSIB_FileOpenFailed;
    return csib_ShiftGridSupport->Load(block, fileName);
}

bool csib_IsConformal(const csib_Block* block) {
    if (!block || block->projectionKind >= CSIB_ProjectionKindCount) return false;
    return csib_ProjectionKinds[block->projectionKind].conformal;
}

csib_Status csib_CloseFile(csib_Block* block, const char* fileName) {
    const csib_ShiftGridModel* shift = csib_ShiftGridSupport;
    struct Visit {
        bool hasModel;
        csib_UsesFile usesFile;
        csib_BlockSlot close;
    };
    const Visit visits[] = {
        {block->datumParameters != nullptr,
         block->datumKind < CSIB_DatumKindCount ? csib_DatumKinds[block->datumKind].usesFile : nullptr,
         block->datum.Close},
        {block->verticalParameters != nullptr,
         block->verticalKind < CSIB_VerticalKindCount ? csib_VerticalKinds[block->verticalKind].usesFile : nullptr,
         block->vertical.Close},
        {block->projectionParameters != nullptr,
         block->projectionKind < CSIB_ProjectionKindCount ? csib_ProjectionKinds[block->projectionKind].usesFile
                                                          : nullptr,
         block->projection.Close},
        {block->shiftGrid != nullptr, shift ? shift->usesFile : nullptr, shift ? shift->Close : nullptr},
    };
    csib_Status result = CSIB_Ok;
    for (const Visit& visit : visits) {
        if (!visit.hasModel || !visit.usesFile || !visit.close || !visit.usesFile(block, fileName)) continue;
        result = visit.close(block);
        if (result < 0) return result;
    }
    return result;
}

csib_Status csib_ReopenFiles(csib_Block* block) {
    const csib_BlockSlot reopens[] = {
        block->shiftGrid && csib_ShiftGridSupport ? csib_ShiftGridSupport->Reopen : nullptr,
        block->projectionParameters ? block->projection.Reopen : nullptr,
        block->datumParameters ? block->datum.Reopen : nullptr,
        block->verticalParameters ? block->vertical.Reopen : nullptr,
    };
    csib_Status result = CSIB_Ok;
    for (csib_BlockSlot reopen : reopens) {
        if (!reopen) continue;
        result = reopen(block);
        if (result < 0) return result;
    }
    return result;
}
