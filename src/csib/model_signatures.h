// Readers that identify a model file and take its descriptive values without loading
// the model: a combined datum grid file's identification and first grid set, the
// target ellipsoid of an RTCM data file, a grid's header, a job file's header, and
// the newest RTCM datum of a job whose data file is present. They read through
// file_Class, every value little-endian.
#pragma once

#include <cstdint>

#include "foundation/coords/coordsys.h"
#include "foundation/files/file.h"
#include "foundation/text/str.h"

class dbJobIndex;

inline constexpr int DATUM_CDGSignatureSize = 24;
inline constexpr int DATUM_CDGModelSize = 32;
inline constexpr int DATUM_CDGSourceFileSize = 64;

// Texts are the bytes before the field's first NUL, cut one short of the field when
// it has none.
struct datum_CdgHeader {
    uint16_t firstSetOffset;
    uint8_t format;
    uint8_t secondByte;
    char signature[DATUM_CDGSignatureSize];
    char modelName[DATUM_CDGModelSize];
    uint8_t setCount;
    uint16_t setLength;
    uint16_t setType;  // 1 latitude and longitude grids, 2 with a height grid
    uint32_t latitudeOffset;
    uint32_t longitudeOffset;
    uint32_t heightOffset;
    char latitudeSource[DATUM_CDGSourceFileSize];
    char longitudeSource[DATUM_CDGSourceFileSize];
    char heightSource[DATUM_CDGSourceFileSize];  // empty for type 1
    double semiMajorAxis;
    double flattening;
};

struct gridfile_Header {
    uint16_t byteOrderMark;
    char magic[14];
    char name[32];
    double south, north, west, east;
    double rowSpacing, columnSpacing;
    int32_t rows, columns;
    double auxiliaryValue1, auxiliaryValue2;
    double nullValue;
    double scaleDivisor;
    int16_t interpolationWindow;
    uint8_t flags;
    uint8_t unused;
    uint8_t method;
    uint8_t cellType;
    uint8_t lineDirection;
    uint8_t cellDirection;
    uint8_t spare[2];
};

bool datum_ReadCdgHeader(datum_CdgHeader& header, const Str& fileName);
bool datum_GetCdgEllipsoid(const Str& fileName, coordsys_Ellipsoid& ellipsoid);
bool datum_GetRtdEllipsoid(const Str& fileName, coordsys_Ellipsoid& ellipsoid);
// The 146 header bytes at the offset; true when the magic is "QVX GRID FILE". The
// file stays open only with keepOpen and a header read.
bool gridfile_ReadHeader(file_Class& file, int64_t offset, bool keepOpen, gridfile_Header& header);
bool gridfile_IsGridFile(const file_Class& file);
// True for a journal of major version 4..20 whose byte after the file type is 0 or
// 1, or 2 at version 6.0 or 6.5; the three version bytes then go out.
bool jobfile_CheckHeader(const Str& fileName, uint8_t version[3]);
// The newest datum record naming an RTCM file that exists in the shared folder.
bool datum_FindLatestRtcmDatum(const dbJobIndex* index, coordsys_Datum* datum);
