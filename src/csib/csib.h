// The coordinate-system block: one ellipsoid and three stages chosen by kind (datum,
// projection, vertical), each a table of operation functions installed from the kind
// tables (kinds.cpp), plus an optional horizontal adjustment, vertical adjustment and
// projection shift grid. Every operation takes the block by pointer, returns a 16-bit
// status (0 or negative) and writes its results through pointers.
//
// Angles are radians, lengths metres. Grid points are relative to the false origin:
// projections neither add nor remove falseNorthing / falseEasting.
#pragma once

#include <cstdint>

using csib_Status = int16_t;

// Statuses. A caller passes a negative status up unchanged.
inline constexpr csib_Status CSIB_Ok = 0;
inline constexpr csib_Status CSIB_NoProjection = -2;
inline constexpr csib_Status CSIB_NotAnImage = -5;  // also: outside the transverse Mercator domain
inline constexpr csib_Status CSIB_OutsideDomain = -5;
inline constexpr csib_Status CSIB_BadVersion = -6;
inline constexpr csib_Status CSIB_BadDatumKind = -8;
inline constexpr csib_Status CSIB_BadProjectionKind = -10;
inline constexpr csib_Status CSIB_BadVerticalKind = -12;
inline constexpr csib_Status CSIB_BadReservedByte = -15;
inline constexpr csib_Status CSIB_OutsideArea = -16;
inline constexpr csib_Status CSIB_MissingOutput = -18;
inline constexpr csib_Status CSIB_NoScaleFactor = -19;
inline constexpr csib_Status CSIB_CassiniNoScaleFactor = -20;
inline constexpr csib_Status CSIB_NoConvergence = -21;
inline constexpr csib_Status CSIB_CassiniNoConvergence = -22;
inline constexpr csib_Status CSIB_CombinedScaleNoHeight = -24;
inline constexpr csib_Status CSIB_LocalToWGS84NoHeight = -25;
inline constexpr csib_Status CSIB_OutOfMemory = -26;
inline constexpr csib_Status CSIB_NotConverged = -27;
inline constexpr csib_Status CSIB_LatitudeBeyondPole = -28;
inline constexpr csib_Status CSIB_IterationLimit = -29;
inline constexpr csib_Status CSIB_Singular = -30;
inline constexpr csib_Status CSIB_NoConvergenceSlot = -31;
inline constexpr csib_Status CSIB_NoScaleFactorSlot = -32;
inline constexpr csib_Status CSIB_NoGeoidSeparationSlot = -33;
inline constexpr csib_Status CSIB_AlbersIterationLimit = -34;
inline constexpr csib_Status CSIB_AlreadyClosed = -36;
inline constexpr csib_Status CSIB_ModelClosed = -37;
inline constexpr csib_Status CSIB_FileOpenFailed = -101;
inline constexpr csib_Status CSIB_FileReadFailed = -102;
inline constexpr csib_Status CSIB_NotAGridFile = -104;
inline constexpr csib_Status CSIB_InterpolationNotSupported = -105;
inline constexpr csib_Status CSIB_FileContentInvalid = -106;
inline constexpr csib_Status CSIB_GridOutOfMemory = -107;
inline constexpr csib_Status CSIB_OutsideGrid = -108;
inline constexpr csib_Status CSIB_NullCell = -109;
inline constexpr csib_Status CSIB_TooLarge = -111;
inline constexpr csib_Status CSIB_NoFileName = -112;
inline constexpr csib_Status CSIB_BadGridDimensions = -113;
inline constexpr csib_Status CSIB_FileWriteFailed = -114;
inline constexpr csib_Status CSIB_RegressionFileInvalid = -203;
inline constexpr csib_Status CSIB_HelmertNoHeight = -301;
inline constexpr csib_Status CSIB_ECEFNoHeight = -501;
inline constexpr csib_Status CSIB_ECEFNotConverged = -502;
inline constexpr csib_Status CSIB_RTCMNoHeight = -600;

inline constexpr double CSIB_BlockVersion = 10.5;

// Kinds of the three stages; their tables are in kinds.cpp.
inline constexpr uint8_t CSIB_DatumKindCount = 7;        // 0..6
inline constexpr uint8_t CSIB_ProjectionKindCount = 20;  // 0..19
inline constexpr uint8_t CSIB_VerticalKindCount = 4;     // 0..3
inline constexpr uint8_t CSIB_TransverseMercator = 14;

struct csib_GeodeticPoint {
    double latitude;
    double longitude;
    double ellipsoidHeight;
    double orthometricHeight;
    uint8_t hasEllipsoidHeight;
    uint8_t hasOrthometricHeight;
};

struct csib_GridPoint {
    double north;
    double east;
    double ellipsoidHeight;
    double elevation;
    uint8_t applyFalseNorthing;  // set by the glue, read by no engine operation
    uint8_t applyFalseEasting;
    uint8_t hasEllipsoidHeight;
    uint8_t hasElevation;
};

// Two 8-bit strings and one UTF-16 string, each from csib_MemAlloc or null. The engine
// only stores, serialises and frees them.
struct csib_Text {
    char* a;
    char* b;
    char16_t* w;
};

struct csib_Block;

using csib_LoadSlot = csib_Status (*)(csib_Block*, const uint8_t* saved);
using csib_BlockSlot = csib_Status (*)(csib_Block*);
using csib_SaveSlot = csib_Status (*)(csib_Block*, uint8_t* out, uint8_t gridMode);
using csib_GetParametersSlot = csib_Status (*)(csib_Block*, int16_t selector, void** parameter);
using csib_GetSavedSizeSlot = csib_Status (*)(csib_Block*, uint8_t gridMode, int32_t* size);
using csib_GeodeticSlot = csib_Status (*)(csib_Block*, const csib_GeodeticPoint*, csib_GeodeticPoint*);

struct csib_DatumFunctions {
    csib_LoadSlot Load;
    csib_BlockSlot Close;
    csib_BlockSlot Reopen;
    csib_BlockSlot Free;
    csib_SaveSlot Save;
    csib_GeodeticSlot FromWGS84;
    csib_GeodeticSlot ToWGS84;
    csib_GetParametersSlot GetParameters;
    csib_GetSavedSizeSlot GetSavedSize;
};

struct csib_ProjectionFunctions {
    csib_LoadSlot Load;
    csib_BlockSlot Close;
    csib_BlockSlot Reopen;
    csib_BlockSlot Free;
    csib_SaveSlot Save;
    csib_Status (*Forward)(csib_Block*, const csib_GeodeticPoint*, csib_GridPoint*);
    csib_Status (*Inverse)(csib_Block*, csib_GridPoint*, csib_GeodeticPoint*);  // may use the grid point as scratch
    csib_Status (*ScaleFactor)(csib_Block*, const csib_GeodeticPoint*, double*);
    csib_Status (*Convergence)(csib_Block*, const csib_GeodeticPoint*, double*);
    csib_GetParametersSlot GetParameters;
    csib_GetSavedSizeSlot GetSavedSize;
};

struct csib_VerticalFunctions {
    csib_LoadSlot Load;
    csib_BlockSlot Close;
    csib_BlockSlot Reopen;
    csib_BlockSlot Free;
    csib_SaveSlot Save;
    csib_Status (*GeoidSeparation)(csib_Block*, const csib_GeodeticPoint*, double*);
    csib_GetParametersSlot GetParameters;
    csib_GetSavedSizeSlot GetSavedSize;
};

struct csib_Options {
    uint8_t first;
    uint8_t second;
    uint8_t third;
    uint8_t northAxis;  // 1: the grid axis increases north, 2: reversed
    uint8_t eastAxis;   // 1: the grid axis increases east, 2: reversed
    uint8_t sixth;
    uint8_t seventh;
};
inline constexpr csib_Options CSIB_DefaultOptions{1, 1, 1, 1, 1, 1, 2};

struct csib_Block {
    double version;    // 10.5 in memory; the image's version while csib_Read runs
    uint8_t swapBytes;  // 1: the image being read has the other byte order
    uint8_t origin;     // 0 csib_Create, 2 csib_Read
    double semiMajorAxis;
    double semiMinorAxis;
    double flattening;
    double eccentricity;
    double eccentricitySquared;
    uint8_t gridMode;  // 1: models referred to by file name, 0: embedded
    csib_Text texts1to4[4];
    uint8_t datumKind;
    csib_Text texts5to6[2];
    void* datumParameters;
    csib_DatumFunctions datum;
    uint8_t projectionKind;
    csib_Text projectionText;  // T7
    void* projectionParameters;
    double originLatitude;
    double originLongitude;
    double falseNorthing;
    double falseEasting;
    double scaleFactor;
    double groundScaleFactor;  // 1 = none
    double groundOffsetNorth;
    double groundOffsetEast;
    uint8_t groundOriginByte;  // stored and serialised only
    uint8_t hasGroundOrigin;
    double groundOriginLatitude;
    double groundOriginLongitude;
    double groundOriginHeight;
    uint8_t radiusByte;  // stored and serialised only
    uint8_t useFixedRadius;
    double fixedRadius;
    csib_ProjectionFunctions projection;
    uint8_t verticalKind;
    csib_Text verticalTexts[2];  // T8, T9
    void* verticalParameters;
    csib_VerticalFunctions vertical;
    csib_Text horizontalAdjustmentText;  // T10
    void* horizontalAdjustment;
    uint8_t hasHorizontalAdjustment;
    csib_Text verticalAdjustmentText;  // T11
    void* verticalAdjustment;
    uint8_t hasVerticalAdjustment;
    csib_Text shiftGridText;  // T12
    void* shiftGrid;
    uint8_t hasShiftGrid;
    csib_Options options;
};

// T1..T12 in field order, 1-based.
csib_Text* csib_TextAt(csib_Block* block, int number);

csib_Status csib_Create(csib_Block** block, uint8_t gridMode, double a, double b);
// Sets a and b and derives f = (a - b) / a, e = sqrt(1 - b^2 / a^2) and e^2.
void csib_SetAxes(csib_Block* block, double a, double b);
void csib_Free(csib_Block** block);

// Install the slot table of the stage's current kind. A kind outside the range, or
// one whose model is not part of this build, leaves the table as it was.
csib_Status csib_SetDatumFunctions(csib_Block* block);
csib_Status csib_SetProjectionFunctions(csib_Block* block);
csib_Status csib_SetVerticalFunctions(csib_Block* block);

// Replace a stage and load its model from a saved part. A kind that cannot be
// installed leaves the stage as it was.
csib_Status csib_SetDatum(csib_Block* block, uint8_t kind, const uint8_t* saved);
csib_Status csib_SetProjection(csib_Block* block, uint8_t kind, const uint8_t* saved);
csib_Status csib_SetVertical(csib_Block* block, uint8_t kind, const uint8_t* saved);

// Replace or drop (null) an adjustment or the shift grid.
csib_Status csib_SetHorizontalAdjustment(csib_Block* block, const uint8_t* saved);
csib_Status csib_SetVerticalAdjustment(csib_Block* block, const uint8_t* saved);
csib_Status csib_SetShiftGrid(csib_Block* block, const char* fileName);

bool csib_IsConformal(const csib_Block* block);

// Close the models that read the named file; reopen every closed model.
csib_Status csib_CloseFile(csib_Block* block, const char* fileName);
csib_Status csib_ReopenFiles(csib_Block* block);
