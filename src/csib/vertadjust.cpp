// Vertical adjustment: elevation' = elevation + constant + (north - oN) slopeNorth
// + (east - oE) slopeEast. Saved part: origin north, origin east, constant, slope
// north, slope east (five doubles).
#include "csib/adjustments.h"
#include "csib/csibplatform.h"
#include "csib/image.h"

namespace {

bool SavesFalseOrigin(const csib_Block* block) { return block->version > 1.0; }

}  // namespace

csib_Status csib_LoadVerticalAdjustment(csib_Block* block, const uint8_t* saved) {
    double values[5];
    for (int i = 0; i < 5; ++i) values[i] = csib_GetDouble(saved + 8 * i, block->swapBytes);
    if (SavesFalseOrigin(block)) {
        values[0] -= block->falseNorthing;
        values[1] -= block->falseEasting;
    }
    return csib_InstallVerticalAdjustment(block, values);
}

csib_Status csib_InstallVerticalAdjustment(csib_Block* block, const double values[5]) {
    auto* adjustment = static_cast<csib_VerticalAdjustment*>(csib_MemAlloc(sizeof(csib_VerticalAdjustment)));
    if (!adjustment) return CSIB_OutOfMemory;
    block->verticalAdjustment = adjustment;
    adjustment->originNorth = values[0];
    adjustment->originEast = values[1];
    adjustment->constant = values[2];
    adjustment->slopeNorth = values[3];
    adjustment->slopeEast = values[4];
    block->hasVerticalAdjustment = 1;
    return CSIB_Ok;
}

void csib_FreeVerticalAdjustment(csib_Block* block) {
    csib_MemFree(block->verticalAdjustment);
    block->verticalAdjustment = nullptr;
    block->hasVerticalAdjustment = 0;
}

csib_Status csib_SaveVerticalAdjustment(csib_Block* block, uint8_t* out) {
    const auto* adjustment = static_cast<const csib_VerticalAdjustment*>(block->verticalAdjustment);
    const bool withFalseOrigin = SavesFalseOrigin(block);
    csib_PutDouble(out, adjustment->originNorth + (withFalseOrigin ? block->falseNorthing : 0.0));
    csib_PutDouble(out + 8, adjustment->originEast + (withFalseOrigin ? block->falseEasting : 0.0));
    csib_PutDouble(out + 16, adjustment->constant);
    csib_PutDouble(out + 24, adjustment->slopeNorth);
    csib_PutDouble(out + 32, adjustment->slopeEast);
    return CSIB_Ok;
}

csib_Status csib_GetVerticalAdjustmentSavedSize(int32_t* size) {
    if (!size) return CSIB_MissingOutput;
    *size = CSIB_VerticalAdjustmentSavedSize;
    return CSIB_Ok;
}

void csib_ApplyVerticalAdjustment(const csib_Block* block, csib_GridPoint* point) {
    const auto* adj = static_cast<const csib_VerticalAdjustment*>(block->verticalAdjustment);
    point->elevation = point->elevation + adj->constant + (point->north - adj->originNorth) * adj->slopeNorth +
                       (point->east - adj->originEast) * adj->slopeEast;
}

void csib_RemoveVerticalAdjustment(const csib_Block* block, csib_GridPoint* point) {
    const auto* adj = static_cast<const csib_VerticalAdjustment*>(block->verticalAdjustment);
    point->elevation = point->elevation - adj->constant - (point->north - adj->originNorth) * adj->slopeNorth -
                       (point->east - adj->originEast) * adj->slopeEast;
}
