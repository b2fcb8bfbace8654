// The two optional adjustments of a block, both on grid coordinates relative to the
// false origin: the horizontal one a similarity transformation about an origin, the
// vertical one a constant and two slopes of elevation. Their origins are held without
// the false origin and saved with it (images of version 1.0 store them without).
#pragma once

#include "csib/csib.h"

struct csib_HorizontalAdjustment {
    double originNorth;
    double originEast;
    double translationNorth;
    double translationEast;
    double rotation;
    double scale;
    // Derived at load.
    double sinMinusRotation;
    double cosMinusRotation;
    double sinRotation;
    double cosRotation;
    double inverseScale;
    double reverseEast;
    double reverseNorth;
};

struct csib_VerticalAdjustment {
    double originNorth;
    double originEast;
    double constant;
    double slopeNorth;
    double slopeEast;
};

inline constexpr int32_t CSIB_HorizontalAdjustmentSavedSize = 48;
inline constexpr int32_t CSIB_VerticalAdjustmentSavedSize = 40;

csib_Status csib_LoadHorizontalAdjustment(csib_Block* block, const uint8_t* saved);
// Installs a record made from values as held in memory (origin without the false
// origin): origin north, origin east, translation north, translation east, rotation,
// scale. The block must have none installed.
csib_Status csib_InstallHorizontalAdjustment(csib_Block* block, const double values[6]);
void csib_FreeHorizontalAdjustment(csib_Block* block);  // none installed: nothing
csib_Status csib_SaveHorizontalAdjustment(csib_Block* block, uint8_t* out);
csib_Status csib_GetHorizontalAdjustmentSavedSize(int32_t* size);
void csib_ApplyHorizontalAdjustment(const csib_Block* block, csib_GridPoint* point);
void csib_RemoveHorizontalAdjustment(const csib_Block* block, csib_GridPoint* point);

csib_Status csib_LoadVerticalAdjustment(csib_Block* block, const uint8_t* saved);
// Origin north, origin east (without the false origin), constant, slope north, slope
// east. The block must have none installed.
csib_Status csib_InstallVerticalAdjustment(csib_Block* block, const double values[5]);
void csib_FreeVerticalAdjustment(csib_Block* block);
csib_Status csib_SaveVerticalAdjustment(csib_Block* block, uint8_t* out);
csib_Status csib_GetVerticalAdjustmentSavedSize(int32_t* size);
void csib_ApplyVerticalAdjustment(const csib_Block* block, csib_GridPoint* point);
void csib_RemoveVerticalAdjustment(const csib_Block* block, csib_GridPoint* point);
