// The "QVX GRID FILE" reader every grid-based model uses: a lattice of rows x columns
// nodes read from a file at an offset (kept open, never loaded whole) or from an image
// embedded in a block, with a cache of at most 5 x 5 nodes around the last position and
// bilinear, natural cubic spline or biquadratic interpolation.
//
// Positions are (row coordinate, column coordinate): latitude and longitude in degrees
// for geographic grids, north and east for plane grids.
#pragma once

#include <cstdint>
#include <cstdio>

#include "csib/csib.h"

struct csib_Lock;

inline constexpr int32_t GRIDFILE_HeaderBytes = 146;
inline constexpr int32_t GRIDFILE_TrailerBytes = 16;

struct csib_GridFile {
    uint8_t swapped;   // the image's byte order is not the host's
    uint8_t fromFile;  // 1: read from fileName, 0: from the embedded image
    uint8_t* image;    // embedded: the owned copy, header, cells and trailer
    int32_t imagePos;
    std::FILE* file;
    int32_t fileOffset;
    char* fileName;  // null for an embedded grid of an image older than 1.1
    char* gridName;
    const csib_Block* block;  // the owner, whose version says whether a name leads the saved form
    uint16_t byteOrderMark;
    uint8_t columnMajor;
    uint8_t planeGrid;
    int32_t columnsReversed;
    int32_t rowsReversed;
    int32_t method;  // 0 bilinear, 1 spline, 2 biquadratic
    int16_t interpolationWindow;
    int32_t cellType;
    uint8_t cellSize;
    uint8_t hasScale;
    double scaleDivisor;
    double west, east, columnSpacing;
    int32_t columns;
    double south, north, rowSpacing;
    int32_t rows;
    uint8_t hasNullValue;
    double nullValue;
    uint8_t hasAuxiliaryValue1;
    double auxiliaryValue1;
    uint8_t hasAuxiliaryValue2;
    double auxiliaryValue2;
    uint8_t targetIndexed;
    uint8_t* lineBuffer;
    int32_t lineBufferSize;
    csib_Lock* lock;
    double** cacheRows;  // [R][C]: natural row cacheFirstRow + R, column cacheFirstColumn + C
    uint16_t cacheSize;
    uint16_t cacheHalf;
    int16_t cacheFirstColumn, cacheLastColumn, cacheFirstRow, cacheLastRow;
    double* work;
    double* secondDerivatives;
    double* splineFactors;
};

// source: a file name in grid mode 1, else the grid's saved form inside an image.
// On failure the out pointer is null.
csib_Status gridfile_Open(csib_GridFile** grid, const csib_Block* block, const uint8_t* source, int32_t offset);
// Always from the named file, whatever the block's grid mode (the grids of a container).
csib_Status gridfile_OpenFromFile(csib_GridFile** grid, const csib_Block* block, const char* fileName,
                                  int32_t offset);
void gridfile_Close(csib_GridFile** grid);
csib_Status gridfile_Interpolate(csib_GridFile* grid, double row, double column, double* value);
// Both grids at one position; the first failure is returned.
csib_Status gridfile_InterpolatePair(csib_GridFile* first, csib_GridFile* second, double row, double column,
                                     double* firstValue, double* secondValue);
// Takes north and east shifts, interpolated at the unshifted position, off a shifted
// (north, east): iterated until both shifts settle within 1e-12, at most 100 rounds
// (-29). The position changes only on success.
csib_Status gridfile_RemoveShifts(csib_GridFile* northGrid, csib_GridFile* eastGrid, double* north, double* east);
csib_Status gridfile_GetSavedSize(const csib_GridFile* grid, uint8_t gridMode, int32_t* size);
csib_Status gridfile_Save(const csib_GridFile* grid, uint8_t* out, uint8_t gridMode);
// Two grids saved one after the other, the first's saved form and then the second's.
// Opening reads both from saved in the block's grid mode; with total, it also gives the
// size of both saved forms.
csib_Status gridfile_OpenPair(csib_GridFile** first, csib_GridFile** second, const csib_Block* block,
                              const uint8_t* saved, int32_t* total);
csib_Status gridfile_GetPairSavedSize(const csib_GridFile* first, const csib_GridFile* second, uint8_t gridMode,
                                      int32_t* size);
csib_Status gridfile_SavePair(const csib_GridFile* first, const csib_GridFile* second, uint8_t* out,
                              uint8_t gridMode);
// 0 the file name, 1 the embedded image, others null.
csib_Status gridfile_GetParameters(const csib_GridFile* grid, int16_t index, void** parameter);

// A file-backed reader that only names its file, opened later from a saved form.
csib_Status gridfile_Name(csib_GridFile** grid, const csib_Block* block, const char* fileName);

// True when the grid is file-backed under that name, letter case aside.
bool csib_IsGridFileNamed(const csib_GridFile* grid, const char* fileName);
