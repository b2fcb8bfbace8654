// RTCM transformation data (datum kind 6): a transformation between WGS84 and a
// target ellipsoid, valid over a rectangular area, with optional grids of latitude,
// longitude and height residuals over that area, read from and rewritten to an
// "RTCM Trafo Data File" ("RTD"). Angles radians, lengths metres; -9999 is the empty
// residual.
#pragma once

#include <cstdint>

#include "csib/csib.h"

inline constexpr double RTCM_Empty = -9999.0;
inline constexpr int32_t RTCM_MaxNodes = 1000;
inline constexpr int32_t RTCM_HeaderBytes = 300;
inline constexpr int32_t RTCM_FileNameSize = 260;
inline constexpr char RTCM_Title[] = "RTCM Trafo Data File";
inline constexpr uint8_t RTCM_Version = 1;
// A received residual block: bytes of host-order doubles, the system id in byte 4,
// the centre latitude and longitude in doubles 8 and 9, the 16 latitude, longitude
// and height residuals from doubles 13, 29 and 45, each set row by row from north to
// south, each row from west to east.
inline constexpr int32_t RTCM_ResidualBlockBytes = 61 * 8;

// The file header's fields in file order (little-endian in the file, 300 bytes).
struct rtcm_Header {
    char title[21];
    uint8_t version;
    uint8_t spare1[10];
    char sourceName[32];
    char targetName[32];
    uint8_t spare2[4];
    uint8_t systemId;
    uint8_t messageFlags;  // bit 0: residual grids follow the header
    uint8_t spare3;
    uint8_t computationMode;  // 1 exact rotation, 2 translation, 3 about a point, else small angles
    uint8_t heightMode;       // 1 subtract the height residual, 2 input height less it
    double centreLatitude;
    double centreLongitude;
    double latitudeExtent;
    double longitudeExtent;
    double translation[3];
    double rotation[3];
    double scale;
    double rotationPoint[3];
    double sourceA, sourceB;
    double targetA, targetB;
    uint8_t indicators[2];
    uint8_t hasHorizontalResiduals;
    uint8_t hasHeightResiduals;
    double latitudeSpacing;
    double longitudeSpacing;
    uint8_t horizontalMethod;  // 0 bilinear, 1 biquadratic, 2 bicubic
    uint8_t heightMethod;
    uint8_t spare4[2];
    int32_t gridId;
    uint8_t spare5[23];
};

struct rtcm_Transformation {
    rtcm_Header header;
    double south, west, north, east;
    int32_t rows, columns;
    double* residuals[3][RTCM_MaxNodes];  // layers latitude, longitude, height; null rows are empty
    char fileName[RTCM_FileNameSize];
    double rotation[9];  // R row by row
};

void rtcm_EncodeHeader(const rtcm_Header* header, uint8_t out[RTCM_HeaderBytes]);
void rtcm_DecodeHeader(const uint8_t in[RTCM_HeaderBytes], rtcm_Header* header);

csib_Status rtcm_Init(rtcm_Transformation* record);
csib_Status rtcm_Reset(rtcm_Transformation* record);
csib_Status rtcm_SetGridSize(rtcm_Transformation* record, int32_t rows, int32_t columns);
csib_Status rtcm_GetResidual(const rtcm_Transformation* record, int layer, int32_t row, int32_t column, double* value);
csib_Status rtcm_SetResidual(rtcm_Transformation* record, int layer, int32_t row, int32_t column, double value);
csib_Status rtcm_SetArea(rtcm_Transformation* record);
csib_Status rtcm_BuildRotation(rtcm_Transformation* record);
csib_Status rtcm_InterpolateResidual(const rtcm_Transformation* record, double latitude, double longitude, int layer,
                                     int method, double* value);
// Reads only the header into the record.
csib_Status rtcm_ReadHeader(rtcm_Transformation* record, const char* fileName);
csib_Status rtcm_ReadFile(rtcm_Transformation* record);
csib_Status rtcm_WriteFile(const rtcm_Transformation* record);
csib_Status rtcm_StoreResidualBlock(rtcm_Transformation* record, const uint8_t* block);
// 0 when both exist and their headers are equal byte for byte, else -18.
csib_Status rtcm_HeadersEqual(const rtcm_Transformation* a, const rtcm_Transformation* b);
csib_Status rtcm_GetFileName(const rtcm_Transformation* record, char* buffer, int32_t size);
// A bound in tenths of a degree with its hemisphere letter before the last digit.
void rtcm_FormatBound(double value, const char* letters, char out[16]);
csib_Status rtcm_TransformForward(const rtcm_Transformation* record, const csib_GeodeticPoint* in,
                                  csib_GeodeticPoint* out);
csib_Status rtcm_TransformReverse(const rtcm_Transformation* record, const csib_GeodeticPoint* in,
                                  csib_GeodeticPoint* out);
double rtcm_Quadratic(double a, double b, double c, double t);
double rtcm_Cubic(double a, double b, double c, double d, double t);
