// Vertical kind 3, constant separation: one N everywhere. Saved part: N (one double).
#include "csib/csibplatform.h"
#include "csib/image.h"
#include "csib/kinds.h"

namespace {

double* Record(csib_Block* block) { return static_cast<double*>(block->verticalParameters); }

csib_Status csib_LoadConstantSeparation(csib_Block* block, const uint8_t* saved) {
    auto* n = static_cast<double*>(csib_MemAlloc(sizeof(double)));
    if (!n) return CSIB_OutOfMemory;
    block->verticalParameters = n;
    *n = csib_GetDouble(saved, block->swapBytes);
    return CSIB_Ok;
}

csib_Status csib_SaveConstantSeparation(csib_Block* block, uint8_t* out, uint8_t) {
    csib_PutDouble(out, *Record(block));
    return CSIB_Ok;
}

csib_Status csib_ConstantSeparation(csib_Block* block, const csib_GeodeticPoint*, double* n) {
    *n = *Record(block);
    return CSIB_Ok;
}

csib_Status csib_GetConstantSeparationParameters(csib_Block* block, int16_t, void** parameter) {
    if (!parameter) return CSIB_MissingOutput;
    *parameter = Record(block);
    return CSIB_Ok;
}

csib_Status csib_FreeConstantSeparation(csib_Block* block) { return csib_FreeVerticalRecord(block); }

csib_Status csib_GetConstantSeparationSavedSize(csib_Block* block, uint8_t gridMode, int32_t* size) {
    return csib_FixedSavedSize<8>(block, gridMode, size);
}

}  // namespace

const csib_VerticalFunctions csib_ConstantSeparationFunctions = {
    csib_LoadConstantSeparation, csib_NoFileWork, csib_NoFileWork, csib_FreeConstantSeparation,
    csib_SaveConstantSeparation, csib_ConstantSeparation, csib_GetConstantSeparationParameters,
    csib_GetConstantSeparationSavedSize,
};
