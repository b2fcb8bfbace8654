// The flag sets: a laser's abilities, the parts a corrections record defines, and
// the cogo mask. Each name stands for one bit; the export writes the names of the
// set bits separated by blanks.
#include "vocabulary/dbField.h"

namespace {

constexpr dbField_Flag kLaserFeatures[] = {
    {"DBLASER_HasFireCommand", 0x1},
    {"DBLASER_HasEDM", 0x2},
    {"DBLASER_HasCompass", 0x4},
    {"DBLASER_HasInclinometer", 0x8},
    {"DBLASER_SupportsSerial", 0x10},
    {"DBLASER_SupportsBluetooth", 0x20},
    {"DBLASER_HasDualQuality", 0x40},
};

constexpr dbField_Flag kValuesPresent[] = {
    {"COORDSYS_SouthAzimuthPresent", 0x1},
    {"COORDSYS_GridOrientationPresent", 0x2},
    {"COORDSYS_MagDeclinationPresent", 0x4},
    {"COORDSYS_DistancesPresent", 0x8},
    {"COORDSYS_SubDivideCodePresent", 0x10},
    {"COORDSYS_NeighbourhoodAdjustmentPresent", 0x20},
    {"COORDSYS_WeightExponentPresent", 0x40},
    {"COORDSYS_CrossSectionInterpolationMethodPresent", 0x80},
    {"COORDSYS_ApplySeaLevelCorrectionOnStandardProjectionPresent", 0x100},
    {"COORDSYS_ApplySeaLevelCorrectionOnScaleOnlyProjectionPresent", 0x200},
};

// 0x100 and 0x200 have no name. The last three names are still accepted in older
// exports but stand for no bit.
constexpr dbField_Flag kCogoSettings[] = {
    {"COORDSYS_CogoAzimuthWGS84", 0x1},
    {"COORDSYS_CogoAzimuthLocal", 0x2},
    {"COORDSYS_CogoAzimuthGrid", 0x4},
    {"COORDSYS_CogoDistanceWGS84", 0x8},
    {"COORDSYS_CogoDistanceLocal", 0x10},
    {"COORDSYS_CogoDistanceGrid", 0x20},
    {"COORDSYS_CogoGroundDistances", 0x40},
    {"COORDSYS_CogoEllipsoidDistances", 0x80},
    {"COORDSYS_CogoEllipsoidHeights", 0x400},
    {"COORDSYS_CogoOrthoHeights", 0x800},
    {"COORDSYS_CogoSystemSet", 0},
    {"COORDSYS_CogoCurveDistances", 0},
    {"COORDSYS_CogoChordDistances", 0},
};

} // namespace

constinit const dbField_FlagSet dbField_dblaser_Features{"dblaser_Features", kLaserFeatures};
constinit const dbField_FlagSet dbField_coordsys_ValuesPresent{"coordsys_ValuesPresent",
                                                               kValuesPresent};
constinit const dbField_FlagSet dbField_coordsys_CogoSettings{"coordsys_CogoSettings",
                                                              kCogoSettings};
