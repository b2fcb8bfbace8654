// The engine's glue to the rest of the system: a working block built from the job's
// coordinate-system definitions, the program's coordinate values converted to and
// from engine points, guarded model operations, scale factors that fail to null,
// block copies and model file look-up. The coordinate transform goes only through
// here; it owns the blocks it gets.
#pragma once

#include <cstdint>

#include "csib/csib.h"
#include "foundation/coords/coordsys.h"

// Which definitions a build applies.
inline constexpr int32_t CSIBGLUE_Ellipsoid = 0x1;
inline constexpr int32_t CSIBGLUE_Datum = 0x2;
inline constexpr int32_t CSIBGLUE_Projection = 0x4;
inline constexpr int32_t CSIBGLUE_HorizontalAdjustment = COORDSYS_SetHorzAdjustment;
inline constexpr int32_t CSIBGLUE_Height = 0x10;
inline constexpr int32_t CSIBGLUE_Corrections = 0x20;

// Model files a build skips; 0x40 keeps going when a model file fails (the model is
// dropped and the error is CSIBGLUE_ModelDropped).
inline constexpr int32_t CSIBGLUE_SkipGeoid = 0x2;
inline constexpr int32_t CSIBGLUE_SkipDatumGrid = 0x8;
inline constexpr int32_t CSIBGLUE_SkipUKGrid = 0x20;
inline constexpr int32_t CSIBGLUE_KeepGoing = 0x40;
inline constexpr int32_t CSIBGLUE_SkipProjectionGrid = 0x80;
inline constexpr int32_t CSIBGLUE_SkipShiftGrid = 0x100;

// Build error codes.
inline constexpr int32_t COORDSYS_NoError = 0;
inline constexpr int32_t CSIBGLUE_OutOfMemory = 1;
inline constexpr int32_t CSIBGLUE_GeoidFile = 2;         // "ggf" not usable
inline constexpr int32_t CSIBGLUE_DatumGridFile = 3;     // "CDG" not usable
inline constexpr int32_t CSIBGLUE_RTCMFile = 4;          // "RTD" not usable
inline constexpr int32_t CSIBGLUE_ModelFile = 5;         // other model file error
inline constexpr int32_t CSIBGLUE_UKGridMissing = 6;     // a "pgf" file is missing
inline constexpr int32_t CSIBGLUE_EngineError = 7;       // any other engine error
inline constexpr int32_t CSIBGLUE_ModelDropped = 8;      // the build succeeded without a model
inline constexpr int32_t CSIBGLUE_ProjectionGridFile = 9;  // "pjg" missing or not usable
inline constexpr int32_t CSIBGLUE_ShiftGridFile = 10;    // "sgf" not usable

// Model file paths longer than this (in the code page) count as files that cannot
// be opened.
inline constexpr int CSIBGLUE_MaxPath = 259;

// A model file named in a definition: "$(SharedDir)", the name and the extension as
// a full path in the system code page, into a buffer of CSIBGLUE_MaxPath + 2 bytes.
// False, with an empty buffer, when the path does not fit or the name is not plain
// (path_IsPlainName): such a name is a file that cannot be opened.
bool csibglue_ModelFilePath(const Str& name, const char* extension, char* buffer);
// The same path, as the file system names it (UTF-8); empty when it does not fit or
// the name is not plain.
Str csibglue_ModelFileName(const Str& name, const char* extension);

// The transform's re-expression of the adjustments in the cogo grid. The transform
// lies above the engine and registers them; until then a build that needs one fails
// with CSIBGLUE_EngineError.
using csibglue_HeightConverter = void (*)(const coordsys_Projection& projection, int32_t gridOrientation,
                                          coordsys_Height& height);
using csibglue_PlaneConverter = void (*)(const coordsys_Projection& projection, int32_t gridOrientation,
                                         coordsys_Plane& plane);
void csibglue_SetAdjustmentConverters(csibglue_HeightConverter height, csibglue_PlaneConverter plane);

// Fills a block from the definitions whose component bit is set, writes it as an
// image and hands out the block read back from it. False with *error set otherwise,
// and *block left null. The height and horizontal adjustment components also read
// the corrections' GridOrientation.
bool csibglue_BuildCsib(csib_Block** block, int32_t components, const coordsys_Ellipsoid& ellipsoid,
                        const coordsys_Projection& projection, const coordsys_Datum& datum,
                        const coordsys_Plane& plane, const coordsys_Height& height,
                        const coordsys_Corrections& corrections, int32_t options, int32_t* error);
// The first stage alone: a block that holds the definitions but has had no Load.
// On failure nothing is handed out.
bool csibglue_FillCsib(csib_Block** block, int32_t components, const coordsys_Ellipsoid& ellipsoid,
                       const coordsys_Projection& projection, const coordsys_Datum& datum,
                       const coordsys_Plane& plane, const coordsys_Height& height,
                       const coordsys_Corrections& corrections, int32_t options, int32_t* error);
int32_t csibglue_ErrorFromEngine(csib_Status status);

// The ground scale factor (for a calculated one) and the ground offsets of a
// projection on an ellipsoid; false, with nothing changed, when no block can be built.
bool csibglue_ComputeGroundScale(const coordsys_Ellipsoid& ellipsoid, const coordsys_Projection& projection,
                                 double* factor, double* northOffset, double* eastOffset);

// Builders; each returns the engine status (-26 when memory fails).
csib_Status csibglue_AllocProjectionParams(csib_Block* block, int32_t size);
// The datum records hold the inverse of the job's WGS84-to-local parameters: the
// three-parameter shifts negated, the seven parameters inverted.
csib_Status csibglue_SetThreeParameter(csib_Block* block, const coordsys_Datum& datum);
csib_Status csibglue_SetSevenParameter(csib_Block* block, const coordsys_Datum& datum);
// In place on tx, ty, tz, rx, ry, rz, s: the parameters of the inverse transformation.
csib_Status csibglue_InvertRotation(double parameters[7]);
// Orientation1 as the Ferro offset, 17 degrees 40 minutes when it is null.
csib_Status csibglue_SetKrovakParams(csib_Block* block, const coordsys_Projection& projection);
// The origin's ellipsoid height, the elevation given to it and Orientation1 as the
// rotation.
csib_Status csibglue_SetPlaneParams(csib_Block* block, const coordsys_Projection& projection);
// The engine area of the definition's Area: Zealand 2, Jutland 1, Bornholm 3; another
// value is reported and leaves no area, so the system covers no point.
csib_Status csibglue_SetDenmarkArea(csib_Block* block, const coordsys_Projection& projection);
// The United Kingdom record naming both "pgf" grid readers, opened by the kind's Load
// at the read-back.
csib_Status csibglue_LoadUKGridFiles(csib_Block* block, const coordsys_Projection& projection);
csib_Status csibglue_SetHorizontalAdjustment(csib_Block* block, const coordsys_Plane& plane);
csib_Status csibglue_SetVerticalAdjustment(csib_Block* block, const coordsys_Height& height);
csib_Status csibglue_SetProjectionOrigin(csib_Block* block, int32_t components, const coordsys_Projection& projection);
// The projection records: the standard parallels (scale 1), the count of parallels
// (two also set scale 1), the oblique Mercator's flags and angle; Mercator makes a null
// origin latitude 0; UPS replaces the origin, false origin and scale.
csib_Status csibglue_SetAlbersParams(csib_Block* block, const coordsys_Projection& projection);
csib_Status csibglue_SetLambertParams(csib_Block* block, uint8_t parallels, const coordsys_Projection& projection);
csib_Status csibglue_SetMercatorParams(csib_Block* block);
csib_Status csibglue_SetObliqueMercatorParams(csib_Block* block, const coordsys_Projection& projection);
csib_Status csibglue_SetUPSNorth(csib_Block* block);
csib_Status csibglue_SetUPSSouth(csib_Block* block);

// Point conversions. The geodetic ones are true when latitude and longitude are both
// not null; the point is filled either way.
bool csibglue_WGS84ToGeodeticPoint(const coord_WGS84& value, csib_GeodeticPoint* point);
bool csibglue_LocalToGeodeticPoint(const coord_Local& value, csib_GeodeticPoint* point);
void csibglue_GeodeticPointToWGS84(const csib_GeodeticPoint* point, coord_WGS84* value);
void csibglue_GeodeticPointToLocal(const csib_GeodeticPoint* point, coord_Local* value);
// Grid values enter relative to the false origin and without the ground offsets.
void csibglue_GridToGridPoint(const coord_CogoGrid& value, csib_GridPoint* point, csib_Block* block);
void csibglue_GridPointToGrid(const csib_GridPoint* point, coord_CogoGrid* value, csib_Block* block);

// Only when the block has the model.
void csibglue_ApplyHorizontalAdjustment(csib_Block* block, csib_GridPoint* point);
void csibglue_RemoveHorizontalAdjustment(csib_Block* block, csib_GridPoint* point);
void csibglue_ApplyVerticalAdjustment(csib_Block* block, csib_GridPoint* point);
void csibglue_RemoveVerticalAdjustment(csib_Block* block, csib_GridPoint* point);
csib_Status csibglue_ApplyShiftGrid(csib_Block* block, csib_GridPoint* point);
csib_Status csibglue_RemoveShiftGrid(csib_Block* block, csib_GridPoint* point);

// Null with false on any failure.
bool csibglue_GridScaleFactor(csib_Block* block, const coord_Local& point, double* factor);
bool csibglue_CombinedScaleFactor(csib_Block* block, const coord_Local& point, double ellipsoidHeight,
                                  double* factor);

// A copy through an image; it opens the source's model files again.
bool csibglue_CloneCsib(csib_Block** copy, csib_Block* block);
// A null block gives 0.
csib_Status csibglue_CloseFile(csib_Block* block, const Str& fileName);
csib_Status csibglue_ReopenFiles(csib_Block* block);
// Seven parameters (rotations X, Y, Z, translations X, Y, Z, scale; the starting
// values in, the estimate out) that take the source points to the target points, each
// point three doubles (second, first, third as x, y, z), with the residuals in the
// same arrangement. The limit is clamped to 0..32767 steps. True when it converged.
bool csibglue_EstimateHelmert(const double (*source)[3], const double (*target)[3], uint16_t count,
                              double parameters[7], double (*residuals)[3], double tolerance, int limit);
// "$(ProjectRootDir)" before "$(SharedDir)"; empty when neither holds the file, and
// for a name that is not plain (path_IsPlainName).
Str csibglue_FindModelFile(const Str& name, const Str& extension);

// RTCM transformation data records (rtcm.h). The file name is empty on failure; the
// header read is true when the file's header was read into the record.
struct rtcm_Transformation;
csib_Status csibglue_RtcmInit(rtcm_Transformation* record);
csib_Status csibglue_RtcmReset(rtcm_Transformation* record);
Str csibglue_RtcmFileName(const rtcm_Transformation* record);
bool csibglue_RtcmReadHeader(rtcm_Transformation* header, const char* fileName);
csib_Status csibglue_RtcmWriteFile(const rtcm_Transformation* record);
csib_Status csibglue_RtcmStoreResidualBlock(rtcm_Transformation* record, const uint8_t* block);
csib_Status csibglue_RtcmHeadersEqual(const rtcm_Transformation* a, const rtcm_Transformation* b);
csib_Status csibglue_RtcmReadFile(rtcm_Transformation* record);
