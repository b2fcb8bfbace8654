// Horizontal adjustment: north' = oN + tN + k (dN cos r - dE sin r),
// east' = oE + tE + k (dE cos r + dN sin r), about the origin (oN, oE); removal is the
// exact inverse. Saved part: origin north, origin east, translation north, translation
// east, rotation, scale (six doubles).
#include <cmath>

#include "csib/adjustments.h"
#include "csib/csibplatform.h"
#include "csib/image.h"

namespace {

// Images of version 1.0 store the origin without the false origin.
bool SavesFalseOrigin(const csib_Block* block) { return block->version > 1.0; }

}  // namespace

csib_Status csib_LoadHorizontalAdjustment(csib_Block* block, const uint8_t* saved) {
    double values[6];
    for (int i = 0; i < 6; ++i) values[i] = csib_GetDouble(saved + 8 * i, block->swapBytes);
    if (SavesFalseOrigin(block)) {
        values[0] -= block->falseNorthing;
        values[1] -= block->falseEasting;
    }
    return csib_InstallHorizontalAdjustment(block, values);
}

csib_Status csib_InstallHorizontalAdjustment(csib_Block* block, const double values[6]) {
    auto* adjustment = static_cast<csib_HorizontalAdjustment*>(csib_MemAlloc(sizeof(csib_HorizontalAdjustment)));
    if (!adjustment) return CSIB_OutOfMemory;
    adjustment->originNorth = values[0];
    adjustment->originEast = values[1];
    const double tN = adjustment->translationNorth = values[2];
    const double tE = adjustment->translationEast = values[3];
    const double rotation = adjustment->rotation = values[4];
    adjustment->scale = values[5];
    adjustment->sinMinusRotation = std::sin(-rotation);
    adjustment->cosMinusRotation = std::cos(-rotation);
    adjustment->sinRotation = std::sin(rotation);
    adjustment->cosRotation = std::cos(rotation);
    adjustment->inverseScale = 1.0 / adjustment->scale;
    adjustment->reverseEast =
        -adjustment->inverseScale * (tE * adjustment->cosMinusRotation + tN * adjustment->sinMinusRotation);
    adjustment->reverseNorth =
        -adjustment->inverseScale * (tN * adjustment->cosMinusRotation - tE * adjustment->sinMinusRotation);
    block->horizontalAdjustment = adjustment;
    block->hasHorizontalAdjustment = 1;
    return CSIB_Ok;
}

void csib_FreeHorizontalAdjustment(csib_Block* block) {
    csib_MemFree(block->horizontalAdjustment);
    block->horizontalAdjustment = nullptr;
    block->hasHorizontalAdjustment = 0;
}

csib_Status csib_SaveHorizontalAdjustment(csib_Block* block, uint8_t* out) {
    const auto* adjustment = static_cast<const csib_HorizontalAdjustment*>(block->horizontalAdjustment);
    const bool withFalseOrigin = SavesFalseOrigin(block);
    csib_PutDouble(out, adjustment->originNorth + (withFalseOrigin ? block->falseNorthing : 0.0));
    csib_PutDouble(out + 8, adjustment->originEast + (withFalseOrigin ? block->falseEasting : 0.0));
    csib_PutDouble(out + 16, adjustment->translationNorth);
    csib_PutDouble(out + 24, adjustment->translationEast);
    csib_PutDouble(out + 32, adjustment->rotation);
    csib_PutDouble(out + 40, adjustment->scale);
    return CSIB_Ok;
}

csib_Status csib_GetHorizontalAdjustmentSavedSize(int32_t* size) {
    if (!size) return CSIB_MissingOutput;
    *size = CSIB_HorizontalAdjustmentSavedSize;
    return CSIB_Ok;
}

void csib_ApplyHorizontalAdjustment(const csib_Block* block, csib_GridPoint* point) {
    const auto* adj = static_cast<const csib_HorizontalAdjustment*>(block->horizontalAdjustment);
    const double dN = point->north - adj->originNorth;
    const double dE = point->east - adj->originEast;
    const double c = adj->cosRotation;
    const double s = adj->sinRotation;
    point->north = adj->originNorth + adj->translationNorth + adj->scale * (dN * c - dE * s);
    point->east = adj->originEast + adj->translationEast + adj->scale * (dE * c + dN * s);
}

void csib_RemoveHorizontalAdjustment(const csib_Block* block, csib_GridPoint* point) {
    const auto* adj = static_cast<const csib_HorizontalAdjustment*>(block->horizontalAdjustment);
    const double dN = point->north - adj->originNorth;
    const double dE = point->east - adj->originEast;
    const double c = adj->cosRotation;
    const double s = adj->sinRotation;
    point->north = adj->originNorth + adj->reverseNorth + (dN * c + dE * s) * adj->inverseScale;
    point->east = adj->originEast + adj->reverseEast + (dE * c - dN * s) * adj->inverseScale;
}
