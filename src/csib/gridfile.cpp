// The "QVX GRID FILE" reader. Header (offsets from the grid's start, writer's order):
//   0 u16 mark, 2 magic "QVX GRID FILE\0", 16 name[32], 48 f64 south, north, west,
//   east, rowSpacing, columnSpacing, 96 i32 rows, columns, 104 f64 aux1, aux2, null
//   value, scale divisor, 136 i16 window, 138 flags, 139 -, 140 method bits,
//   141 cell type bits, 142 line direction, 143 cell direction, 144 -, 146 cells;
//   an embedded image carries 16 more bytes after the cells.
// The byte order is the other one when rows and columns both read outside 0..32768.
#include "csib/gridfile.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "csib/csibplatform.h"
#include "csib/image.h"

namespace {

constexpr char kMagic[14] = "QVX GRID FILE";
constexpr int32_t kMaxCount = 32767;
constexpr int32_t kMaxCache = 5;
constexpr int32_t kMaxEmbedded = 65534;
constexpr double kSnap = 1e-10;
constexpr double kNullTolerance = 1e-5;
constexpr uint8_t kCellSizes[6] = {1, 2, 4, 4, 8, 10};

enum Flag : uint8_t {
    kHasScale = 0x02,
    kHasNull = 0x04,
    kHasAux1 = 0x08,
    kHasAux2 = 0x10,
    kPlane = 0x20,
    kColumnMajor = 0x40,
    kTargetIndexed = 0x80,
};

bool HasName(const csib_GridFile* g) { return g->fromFile || g->block->version >= 1.1; }

int64_t CellBytes(const csib_GridFile* g) {
    return static_cast<int64_t>(g->rows) * g->columns * g->cellSize;
}

char* CopyString(const char* text, std::size_t length) {
    auto* copy = static_cast<char*>(csib_MemAlloc(length + 1));
    if (!copy) return nullptr;
    std::memcpy(copy, text, length);
    copy[length] = 0;
    return copy;
}

// What the header is read from: the grid's file, or the image source bytes.
struct Source {
    csib_GridFile* g;
    const uint8_t* bytes;  // image source, after the name
};

// Moves the read position to `at` bytes from the grid's start.
bool gridfile_Seek(csib_GridFile* g, int64_t at) {
    if (g->fromFile) return csib_FileSeek(g->file, static_cast<long>(g->fileOffset + at), SEEK_SET) == 0;
    g->imagePos = static_cast<int32_t>(at);
    return true;
}

// Reads from the file (at its current position) or from the source bytes.
bool gridfile_ReadBytes(Source& in, void* out, std::size_t size) {
    csib_GridFile* g = in.g;
    if (g->fromFile) return csib_FileRead(out, 1, size, g->file) == size;
    std::memcpy(out, in.bytes + g->imagePos, size);
    g->imagePos += static_cast<int32_t>(size);
    return true;
}

// A file-backed grid opens its file at the grid's offset; an image grid reads from 0.
csib_Status gridfile_OpenSource(csib_GridFile* g) {
    if (g->fromFile) {
        g->file = csib_OpenFile(g->fileName, "rb");
        if (!g->file) return CSIB_FileOpenFailed;
        if (g->fileOffset < 0) return CSIB_FileReadFailed;
    }
    return gridfile_Seek(g, 0) ? CSIB_Ok : CSIB_FileReadFailed;
}

void gridfile_CloseSource(csib_GridFile* g) {
    if (g->file) csib_FileClose(g->file);
    g->file = nullptr;
}

template <typename T>
void SwapValue(T& value) {
    if constexpr (sizeof(T) == 2) csib_Swap16(&value);
    if constexpr (sizeof(T) == 4) csib_Swap32(&value);
    if constexpr (sizeof(T) == 8) csib_Swap64(&value);
}

void SwapCell(uint8_t* cell, int32_t type) {
    switch (type) {
        case 1: csib_Swap16(cell); break;
        case 2: case 3: csib_Swap32(cell); break;
        case 4: csib_Swap64(cell); break;
        case 5: csib_Swap80(cell); break;
        default: break;
    }
}

double CellValue(const uint8_t* cell, int32_t type) {
    switch (type) {
        case 0: return static_cast<int8_t>(cell[0]);
        case 1: { int16_t v; std::memcpy(&v, cell, 2); return v; }
        case 2: { int32_t v; std::memcpy(&v, cell, 4); return v; }
        case 3: { float v; std::memcpy(&v, cell, 4); return v; }
        default: { double v; std::memcpy(&v, cell, 8); return v; }
    }
}

// The numeric header fields of an image copy, in place.
void SwapImageHeader(uint8_t* image) {
    csib_Swap16(image);
    for (int offset = 48; offset < 96; offset += 8) csib_Swap64(image + offset);
    csib_Swap32(image + 96);
    csib_Swap32(image + 100);
    for (int offset = 104; offset < 136; offset += 8) csib_Swap64(image + offset);
    csib_Swap16(image + 136);
}

struct Header {
    uint16_t mark;
    char magic[14];
    char name[33];
    double south, north, west, east, rowSpacing, columnSpacing;
    int32_t rows, columns;
    double aux1, aux2, nullValue, scaleDivisor;
    int16_t window;
    uint8_t flags, skipped, methodBits, typeBits, lineDirection, cellDirection;
};

csib_Status ReadHeader(Source& in, Header& h) {
    bool ok = gridfile_ReadBytes(in, &h.mark, 2) && gridfile_ReadBytes(in, h.magic, 14);
    if (!ok) return CSIB_FileReadFailed;
    if (std::memcmp(h.magic, kMagic, sizeof kMagic) != 0) return CSIB_NotAGridFile;
    h.name[32] = 0;
    ok = gridfile_ReadBytes(in, h.name, 32);
    for (double* d : {&h.south, &h.north, &h.west, &h.east, &h.rowSpacing, &h.columnSpacing})
        ok = ok && gridfile_ReadBytes(in, d, 8);
    ok = ok && gridfile_ReadBytes(in, &h.rows, 4) && gridfile_ReadBytes(in, &h.columns, 4);
    for (double* d : {&h.aux1, &h.aux2, &h.nullValue, &h.scaleDivisor}) ok = ok && gridfile_ReadBytes(in, d, 8);
    ok = ok && gridfile_ReadBytes(in, &h.window, 2);
    for (uint8_t* b : {&h.flags, &h.skipped, &h.methodBits, &h.typeBits, &h.lineDirection, &h.cellDirection})
        ok = ok && gridfile_ReadBytes(in, b, 1);
    if (!ok) return CSIB_FileReadFailed;
    if ((h.typeBits & 0x3F) == 0) return CSIB_FileContentInvalid;
    return CSIB_Ok;
}

bool OutsideCountRange(int32_t n) { return n < 0 || n > 32768; }

void gridfile_SwapHeader(Header& h) {
    SwapValue(h.mark);
    for (double* d : {&h.south, &h.north, &h.west, &h.east, &h.rowSpacing, &h.columnSpacing, &h.aux1, &h.aux2,
                      &h.nullValue, &h.scaleDivisor})
        SwapValue(*d);
    SwapValue(h.rows);
    SwapValue(h.columns);
    SwapValue(h.window);
}

int FirstBit(uint8_t bits, int from, int to) {
    for (int bit = from; bit <= to; ++bit)
        if (bits & (1u << bit)) return bit;
    return -1;
}

// A header the interpolation cannot run on: counts the 16-bit cache indices cannot
// hold, spacings that are not positive and finite, extents that do not match them.
csib_Status CheckShape(const csib_GridFile* g) {
    if (g->rows <= 0 || g->rows > kMaxCount || g->columns <= 0 || g->columns > kMaxCount)
        return CSIB_BadGridDimensions;
    for (double spacing : {g->rowSpacing, g->columnSpacing})
        if (!std::isfinite(spacing) || spacing <= 0.0) return CSIB_FileContentInvalid;
    const double rowSpan = g->north - g->south - (g->rows - 1) * g->rowSpacing;
    const double columnSpan = g->east - g->west - (g->columns - 1) * g->columnSpacing;
    if (!(std::fabs(rowSpan) <= 1e-6 * g->rowSpacing) || !(std::fabs(columnSpan) <= 1e-6 * g->columnSpacing))
        return CSIB_BadGridDimensions;
    const int32_t w = g->interpolationWindow;
    if ((g->method == 1 && (w < 2 || w > 5)) || (g->method == 2 && (w < 3 || w > 5))) return CSIB_BadGridDimensions;
    if (w > g->columns || w > g->rows) return CSIB_BadGridDimensions;
    return CSIB_Ok;
}

double* AllocDoubles(int32_t count) {
    return static_cast<double*>(csib_MemAlloc(static_cast<std::size_t>(count) * sizeof(double)));
}

csib_Status AllocateCache(csib_GridFile* g) {
    int32_t size = kMaxCache;
    if (g->columns < size) size = g->columns;
    if (g->rows < size) size = g->rows;
    if (size % 2 == 0 && size > g->interpolationWindow) --size;
    g->cacheSize = static_cast<uint16_t>(size);
    g->cacheHalf = static_cast<uint16_t>(size / 2);
    g->lock = csib_CreateLock();
    g->cacheRows = static_cast<double**>(csib_MemAlloc(static_cast<std::size_t>(size) * sizeof(double*)));
    if (g->cacheRows)
        for (int32_t r = 0; r < size; ++r) g->cacheRows[r] = nullptr;
    if (!g->lock || !g->cacheRows) return CSIB_GridOutOfMemory;
    for (int32_t r = 0; r < size; ++r)
        if (!(g->cacheRows[r] = AllocDoubles(size))) return CSIB_GridOutOfMemory;
    g->lineBufferSize = size * g->cellSize;
    g->lineBuffer = static_cast<uint8_t*>(csib_MemAlloc(static_cast<std::size_t>(g->lineBufferSize)));
    if (!g->lineBuffer) return CSIB_GridOutOfMemory;
    const int32_t n = g->interpolationWindow;
    if (g->method != 0 && !(g->work = AllocDoubles(n))) return CSIB_GridOutOfMemory;
    if (g->method == 1 && (!(g->secondDerivatives = AllocDoubles(n)) || !(g->splineFactors = AllocDoubles(n))))
        return CSIB_GridOutOfMemory;
    return CSIB_Ok;
}

// The image copy's numeric header fields and cells, into the host's order.
void gridfile_SwapImage(csib_GridFile* g) {
    SwapImageHeader(g->image);
    const int64_t cells = CellBytes(g);
    for (int64_t at = GRIDFILE_HeaderBytes; at < GRIDFILE_HeaderBytes + cells; at += g->cellSize)
        SwapCell(g->image + at, g->cellType);
}

csib_Status CopyImage(csib_GridFile* g, const uint8_t* source) {
    const int64_t cells = CellBytes(g);
    const std::size_t bytes = static_cast<std::size_t>(GRIDFILE_HeaderBytes + GRIDFILE_TrailerBytes + cells);
    g->image = static_cast<uint8_t*>(csib_MemAlloc(bytes));
    if (!g->image) return CSIB_OutOfMemory;
    std::memcpy(g->image, source, bytes);
    if (g->swapped) gridfile_SwapImage(g);
    return CSIB_Ok;
}

csib_Status Build(csib_GridFile* g, const uint8_t* source) {
    const uint8_t* imageStart = source;
    if (HasName(g)) {
        const char* name = reinterpret_cast<const char*>(source);
        const std::size_t length = std::strlen(name);
        if (!(g->fileName = CopyString(name, length))) return CSIB_OutOfMemory;
        imageStart = source + length + 1;
    }
    csib_Status status = gridfile_OpenSource(g);
    if (status != CSIB_Ok) return status;
    Source in{g, imageStart};
    Header h{};
    if ((status = ReadHeader(in, h)) != CSIB_Ok) return status;
    if (!(g->gridName = CopyString(h.name, std::strlen(h.name)))) return CSIB_OutOfMemory;
    if (OutsideCountRange(h.rows) && OutsideCountRange(h.columns)) {
        g->swapped = 1;
        gridfile_SwapHeader(h);
    }
    g->byteOrderMark = h.mark;
    g->south = h.south;
    g->north = h.north;
    g->west = h.west;
    g->east = h.east;
    g->rowSpacing = h.rowSpacing;
    g->columnSpacing = h.columnSpacing;
    g->rows = h.rows;
    g->columns = h.columns;
    g->auxiliaryValue1 = h.aux1;
    g->auxiliaryValue2 = h.aux2;
    g->nullValue = h.nullValue;
    g->scaleDivisor = h.scaleDivisor;
    g->hasScale = (h.flags & kHasScale) ? 1 : 0;
    g->hasNullValue = (h.flags & kHasNull) ? 1 : 0;
    g->hasAuxiliaryValue1 = (h.flags & kHasAux1) ? 1 : 0;
    g->hasAuxiliaryValue2 = (h.flags & kHasAux2) ? 1 : 0;
    g->planeGrid = (h.flags & kPlane) ? 1 : 0;
    g->columnMajor = (h.flags & kColumnMajor) ? 1 : 0;
    g->targetIndexed = (h.flags & kTargetIndexed) ? 1 : 0;
    const int methodBit = FirstBit(h.methodBits, 1, 4);
    g->method = methodBit == 2 ? 1 : methodBit >= 3 ? 2 : 0;
    g->interpolationWindow = g->method == 0 ? int16_t{2} : h.window;
    g->cellType = FirstBit(h.typeBits, 0, 5);
    g->cellSize = kCellSizes[g->cellType];
    const bool linesAscending = h.lineDirection & 1;
    const bool cellsAscending = h.cellDirection & 1;
    g->rowsReversed = g->columnMajor ? !cellsAscending : !linesAscending;
    g->columnsReversed = g->columnMajor ? !linesAscending : !cellsAscending;
    if ((status = CheckShape(g)) != CSIB_Ok) return status;
    if ((status = AllocateCache(g)) != CSIB_Ok) return status;
    if (!g->fromFile) return CopyImage(g, imageStart);
    return CSIB_Ok;
}

int32_t gridfile_Round(double x) { return static_cast<int32_t>(std::floor(x + 0.5)); }

// First node of an n-node window about fractional node x, kept inside 0..count - 1.
int32_t WindowStart(double x, int32_t n, int32_t count) {
    const int32_t h = n / 2;
    int32_t first = n % 2 ? gridfile_Round(x) - h : static_cast<int32_t>(x) - h + 1;
    if (first < 0) first = 0;
    if (first + n - 1 > count - 1) first = count - n;
    return first;
}

csib_Status gridfile_FillCache(csib_GridFile* g, double y, double x) {
    const int32_t w = g->cacheSize;
    const int32_t firstRow = WindowStart(y, w, g->rows);
    const int32_t firstColumn = WindowStart(x, w, g->columns);
    // No window is held while the refill runs; a failed read leaves it so.
    g->cacheFirstRow = g->cacheLastRow = g->cacheFirstColumn = g->cacheLastColumn = 0;
    const int32_t lineLength = g->columnMajor ? g->rows : g->columns;
    for (int32_t k = 0; k < w; ++k) {
        int32_t line, cell;  // natural indices: the k-th line of the block and its first cell
        bool lineReversed, cellReversed;
        if (g->columnMajor) {
            line = firstColumn + k;
            cell = firstRow;
            lineReversed = g->columnsReversed;
            cellReversed = g->rowsReversed;
        } else {
            line = firstRow + k;
            cell = firstColumn;
            lineReversed = g->rowsReversed;
            cellReversed = g->columnsReversed;
        }
        const int32_t lineCount = g->columnMajor ? g->columns : g->rows;
        const int32_t storedLine = lineReversed ? lineCount - 1 - line : line;
        // Reversed cells run downwards: the block's stored run starts at its last cell.
        const int32_t storedCell = cellReversed ? lineLength - 1 - (cell + w - 1) : cell;
        const int64_t at = GRIDFILE_HeaderBytes +
                           (static_cast<int64_t>(storedLine) * lineLength + storedCell) * g->cellSize;
        const std::size_t bytes = static_cast<std::size_t>(w) * g->cellSize;
        const uint8_t* raw;
        if (g->fromFile) {
            if (!gridfile_Seek(g, at) || csib_FileRead(g->lineBuffer, 1, bytes, g->file) != bytes)
                return CSIB_FileReadFailed;
            if (g->swapped)
                for (int32_t c = 0; c < w; ++c) SwapCell(g->lineBuffer + c * g->cellSize, g->cellType);
            raw = g->lineBuffer;
        } else {
            raw = g->image + at;
        }
        for (int32_t c = 0; c < w; ++c) {
            double value = CellValue(raw + c * g->cellSize, g->cellType);
            if (g->hasScale) value /= g->scaleDivisor;
            const int32_t along = cellReversed ? w - 1 - c : c;  // offset from the block's first natural cell
            if (g->columnMajor) g->cacheRows[along][k] = value;
            else g->cacheRows[k][along] = value;
        }
    }
    g->cacheFirstRow = static_cast<int16_t>(firstRow);
    g->cacheLastRow = static_cast<int16_t>(firstRow + w - 1);
    g->cacheFirstColumn = static_cast<int16_t>(firstColumn);
    g->cacheLastColumn = static_cast<int16_t>(firstColumn + w - 1);
    return CSIB_Ok;
}

double gridfile_Bilinear(const csib_GridFile* g, double y, double x) {
    const int32_t w = g->cacheSize;
    const double u = x - g->cacheFirstColumn;
    const double v = y - g->cacheFirstRow;
    int32_t i = static_cast<int32_t>(std::floor(u));
    int32_t j = static_cast<int32_t>(std::floor(v));
    // Clamped so that i + 1 and j + 1 stay inside the cache.
    if (i < 0) i = 0;
    if (j < 0) j = 0;
    if (i > w - 2) i = w - 2;
    if (j > w - 2) j = w - 2;
    const double fu = u - i;
    const double fv = v - j;
    double* const* c = g->cacheRows;
    return (1 - fu) * (1 - fv) * c[j][i] + fu * (1 - fv) * c[j][i + 1] + (1 - fu) * fv * c[j + 1][i] +
           fu * fv * c[j + 1][i + 1];
}

void gridfile_SplineSetup(const double* v, int32_t n, double* s, double* g) {
    s[0] = g[0] = 0.0;
    for (int32_t k = 1; k < n - 1; ++k) {
        const double p = g[k - 1] / 2.0 + 2.0;
        g[k] = -0.5 / p;
        s[k] = (3.0 * (v[k + 1] - 2.0 * v[k] + v[k - 1]) - s[k - 1] / 2.0) / p;
    }
    s[n - 1] = 0.0;
    for (int32_t k = n - 2; k >= 1; --k) s[k] = g[k] * s[k + 1] + s[k];
}

// t counts nodes from 1.
double gridfile_SplineValue(const double* v, const double* s, int32_t n, double t) {
    if (t < 1.0) return v[0] + (t - 1.0) * (v[1] - v[0] - s[1] / 6.0);
    if (t > n) return v[n - 1] + (t - n) * (v[n - 1] - v[n - 2] + s[n - 2] / 6.0);
    if (t == n) return v[n - 1];
    const int32_t k = static_cast<int32_t>(std::floor(t));
    const double d = t - k;
    const double vk = v[k - 1], vk1 = v[k], sk = s[k - 1], sk1 = s[k];
    return vk + d * ((vk1 - vk) - sk / 3.0 - sk1 / 6.0 + d * (sk / 2.0 + d * (sk1 - sk) / 6.0));
}

double gridfile_Spline(csib_GridFile* g, int32_t firstRow, int32_t firstColumn, double y, double x) {
    const int32_t n = g->interpolationWindow;
    for (int32_t r = 0; r < n; ++r) {
        const double* v = g->cacheRows[firstRow + r - g->cacheFirstRow] + (firstColumn - g->cacheFirstColumn);
        gridfile_SplineSetup(v, n, g->secondDerivatives, g->splineFactors);
        g->work[r] = gridfile_SplineValue(v, g->secondDerivatives, n, x - firstColumn + 1.0);
    }
    gridfile_SplineSetup(g->work, n, g->secondDerivatives, g->splineFactors);
    return gridfile_SplineValue(g->work, g->secondDerivatives, n, y - firstRow + 1.0);
}

double gridfile_Quadratic(const double* f, double t) {
    return f[0] + t * (f[1] - f[0]) + t * (t - 1.0) / 2.0 * ((f[2] - f[1]) - (f[1] - f[0]));
}

double gridfile_Biquadratic(csib_GridFile* g, int32_t firstRow, int32_t firstColumn, double y, double x) {
    for (int32_t r = 0; r < 3; ++r) {
        const double* f = g->cacheRows[firstRow + r - g->cacheFirstRow] + (firstColumn - g->cacheFirstColumn);
        g->work[r] = gridfile_Quadratic(f, x - firstColumn);
    }
    return gridfile_Quadratic(g->work, y - firstRow);
}

void FreeGrid(csib_GridFile* g) {
    gridfile_CloseSource(g);
    csib_MemFree(g->image);
    csib_MemFree(g->fileName);
    csib_MemFree(g->gridName);
    csib_MemFree(g->lineBuffer);
    if (g->cacheRows)
        for (int32_t r = 0; r < g->cacheSize; ++r) csib_MemFree(g->cacheRows[r]);
    csib_MemFree(g->cacheRows);
    csib_FreeLock(g->lock);
    csib_MemFree(g->work);
    csib_MemFree(g->secondDerivatives);
    csib_MemFree(g->splineFactors);
    csib_MemFree(g);
}

csib_GridFile* NewGrid(const csib_Block* block, uint8_t fromFile, int32_t offset) {
    auto* g = static_cast<csib_GridFile*>(csib_MemAlloc(sizeof(csib_GridFile)));
    if (!g) return nullptr;
    std::memset(g, 0, sizeof *g);
    g->block = block;
    g->fromFile = fromFile;
    g->fileOffset = offset;
    return g;
}

csib_Status Open(csib_GridFile** out, const csib_Block* block, uint8_t fromFile, const uint8_t* source,
                 int32_t offset) {
    *out = nullptr;
    csib_GridFile* g = NewGrid(block, fromFile, offset);
    if (!g) return CSIB_OutOfMemory;
    const csib_Status status = Build(g, source);
    if (status != CSIB_Ok) {
        FreeGrid(g);
        return status;
    }
    *out = g;
    return CSIB_Ok;
}

}  // namespace

csib_Status gridfile_Open(csib_GridFile** out, const csib_Block* block, const uint8_t* source, int32_t offset) {
    return Open(out, block, block->gridMode == 1 ? 1 : 0, source, offset);
}

csib_Status gridfile_OpenFromFile(csib_GridFile** out, const csib_Block* block, const char* fileName,
                                  int32_t offset) {
    return Open(out, block, 1, reinterpret_cast<const uint8_t*>(fileName), offset);
}

csib_Status gridfile_Name(csib_GridFile** out, const csib_Block* block, const char* fileName) {
    *out = nullptr;
    csib_GridFile* g = NewGrid(block, 1, 0);
    if (!g) return CSIB_OutOfMemory;
    if (!(g->fileName = CopyString(fileName, std::strlen(fileName)))) {
        FreeGrid(g);
        return CSIB_OutOfMemory;
    }
    *out = g;
    return CSIB_Ok;
}

void gridfile_Close(csib_GridFile** grid) {
    if (!grid || !*grid) return;
    FreeGrid(*grid);
    *grid = nullptr;
}

csib_Status gridfile_Interpolate(csib_GridFile* g, double lat, double lon, double* value) {
    if (!g->cacheRows) return CSIB_ModelClosed;  // named only, never opened
    if (std::isnan(lat) || std::isnan(lon)) return CSIB_OutsideGrid;
    if (std::fabs(lon - g->west) < kSnap) lon = g->west;
    if (std::fabs(lon - g->east) < kSnap) lon = g->east;
    if (std::fabs(lat - g->south) < kSnap) lat = g->south;
    if (std::fabs(lat - g->north) < kSnap) lat = g->north;
    if (!g->planeGrid) {
        if (g->east > 180.0 && lon < 0.0) lon += 360.0;
        if (lon < g->west) lon += 360.0;
        else if (lon > g->east) lon -= 360.0;
    }
    if (lon < g->west || lon > g->east || lat < g->south || lat > g->north) return CSIB_OutsideGrid;
    const double x = (lon - g->west) / g->columnSpacing;
    const double y = (lat - g->south) / g->rowSpacing;
    const int32_t n = g->interpolationWindow;
    const int32_t firstColumn = WindowStart(x, n, g->columns);
    const int32_t firstRow = WindowStart(y, n, g->rows);

    csib_EnterLock(g->lock);
    if (firstColumn < g->cacheFirstColumn || firstColumn + n - 1 > g->cacheLastColumn ||
        firstRow < g->cacheFirstRow || firstRow + n - 1 > g->cacheLastRow) {
        if (gridfile_FillCache(g, y, x) != CSIB_Ok) {
            csib_LeaveLock(g->lock);
            return CSIB_FileReadFailed;
        }
    }
    if (g->hasNullValue) {
        for (int32_t r = 0; r < n; ++r) {
            const double* row = g->cacheRows[firstRow + r - g->cacheFirstRow] + (firstColumn - g->cacheFirstColumn);
            for (int32_t c = 0; c < n; ++c) {
                if (std::fabs(row[c] - g->nullValue) < kNullTolerance) {
                    *value = g->nullValue;
                    csib_LeaveLock(g->lock);
                    return CSIB_NullCell;
                }
            }
        }
    }
    csib_Status status = CSIB_Ok;
    switch (g->method) {
        case 0: *value = gridfile_Bilinear(g, y, x); break;
        case 1: *value = gridfile_Spline(g, firstRow, firstColumn, y, x); break;
        case 2: *value = gridfile_Biquadratic(g, firstRow, firstColumn, y, x); break;
        default: status = CSIB_InterpolationNotSupported; break;
    }
    csib_LeaveLock(g->lock);
    return status;
}

csib_Status gridfile_InterpolatePair(csib_GridFile* first, csib_GridFile* second, double row, double column,
                                     double* firstValue, double* secondValue) {
    const csib_Status status = gridfile_Interpolate(first, row, column, firstValue);
    return status == CSIB_Ok ? gridfile_Interpolate(second, row, column, secondValue) : status;
}

csib_Status gridfile_OpenPair(csib_GridFile** first, csib_GridFile** second, const csib_Block* block,
                              const uint8_t* saved, int32_t* total) {
    int32_t firstSize = 0, secondSize = 0;
    csib_Status status = gridfile_Open(first, block, saved, 0);
    if (status == CSIB_Ok) status = gridfile_GetSavedSize(*first, block->gridMode, &firstSize);
    if (status == CSIB_Ok) status = gridfile_Open(second, block, saved + firstSize, 0);
    if (!total) return status;
    if (status == CSIB_Ok) status = gridfile_GetSavedSize(*second, block->gridMode, &secondSize);
    *total = firstSize + secondSize;
    return status;
}

csib_Status gridfile_GetPairSavedSize(const csib_GridFile* first, const csib_GridFile* second, uint8_t gridMode,
                                      int32_t* size) {
    int32_t firstSize = 0, secondSize = 0;
    csib_Status status = gridfile_GetSavedSize(first, gridMode, &firstSize);
    if (status == CSIB_Ok) status = gridfile_GetSavedSize(second, gridMode, &secondSize);
    if (status == CSIB_Ok) *size = firstSize + secondSize;
    return status;
}

csib_Status gridfile_SavePair(const csib_GridFile* first, const csib_GridFile* second, uint8_t* out,
                              uint8_t gridMode) {
    int32_t firstSize = 0;
    csib_Status status = gridfile_Save(first, out, gridMode);
    if (status == CSIB_Ok) status = gridfile_GetSavedSize(first, gridMode, &firstSize);
    return status == CSIB_Ok ? gridfile_Save(second, out + firstSize, gridMode) : status;
}

csib_Status gridfile_RemoveShifts(csib_GridFile* northGrid, csib_GridFile* eastGrid, double* north, double* east) {
    constexpr int kRounds = 100;
    constexpr double kSettled = 1e-12;
    const double n0 = *north, e0 = *east;
    double n = n0, e = e0;
    double previousN = 1.7976931348623157e308, previousE = 1.7976931348623157e308;
    for (int round = 0; round < kRounds; ++round) {
        double sN = 0.0, sE = 0.0;
        const csib_Status status = gridfile_InterpolatePair(northGrid, eastGrid, n, e, &sN, &sE);
        if (status != CSIB_Ok) return status;
        n = n0 - sN;
        e = e0 - sE;
        if (std::fabs(sN - previousN) < kSettled && std::fabs(sE - previousE) < kSettled) {
            *north = n;
            *east = e;
            return CSIB_Ok;
        }
        previousN = sN;
        previousE = sE;
    }
    return CSIB_IterationLimit;
}

csib_Status gridfile_GetSavedSize(const csib_GridFile* g, uint8_t gridMode, int32_t* size) {
    if (!size) return CSIB_MissingOutput;
    const int32_t name = g->fileName ? static_cast<int32_t>(std::strlen(g->fileName)) + 1 : 1;
    if (gridMode == 1) {
        *size = name;
        return CSIB_Ok;
    }
    const int64_t total = (HasName(g) ? name : 0) + GRIDFILE_HeaderBytes + GRIDFILE_TrailerBytes + CellBytes(g);
    // A file-backed grid too large to embed: Save refuses it, and the size must not wrap.
    if (g->fromFile && total > kMaxEmbedded) return CSIB_TooLarge;
    *size = static_cast<int32_t>(total);
    return CSIB_Ok;
}

csib_Status gridfile_Save(const csib_GridFile* g, uint8_t* out, uint8_t gridMode) {
    if (gridMode == 1 && !g->fileName) return CSIB_NoFileName;
    if (gridMode == 1 || HasName(g)) out += csib_PutString(out, g->fileName);
    if (gridMode == 1) return CSIB_Ok;
    const int64_t bytes = GRIDFILE_HeaderBytes + CellBytes(g);
    if (!g->fromFile) {
        std::memcpy(out, g->image, static_cast<std::size_t>(bytes));
        return CSIB_Ok;
    }
    // Exactly this grid's bytes, wherever it starts in its file.
    const int32_t name = static_cast<int32_t>(std::strlen(g->fileName)) + 1;
    if (name + bytes + GRIDFILE_TrailerBytes > kMaxEmbedded) return CSIB_TooLarge;
    std::FILE* file = csib_OpenFile(g->fileName, "rb");
    if (!file) return CSIB_FileOpenFailed;
    const bool ok = csib_FileSeek(file, g->fileOffset, SEEK_SET) == 0 &&
                    csib_FileRead(out, 1, static_cast<std::size_t>(bytes), file) == static_cast<std::size_t>(bytes);
    csib_FileClose(file);
    return ok ? CSIB_Ok : CSIB_FileReadFailed;
}

csib_Status gridfile_GetParameters(const csib_GridFile* g, int16_t index, void** parameter) {
    if (!parameter) return CSIB_MissingOutput;
    *parameter = index == 0 ? static_cast<void*>(g->fileName) : index == 1 ? static_cast<void*>(g->image) : nullptr;
    return CSIB_Ok;
}

bool csib_IsGridFileNamed(const csib_GridFile* g, const char* fileName) {
    if (!g || g->fromFile != 1 || !g->fileName || !fileName) return false;
    const std::size_t length = std::strlen(g->fileName);
    if (std::strlen(fileName) != length) return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(g->fileName[i])) !=
            std::tolower(static_cast<unsigned char>(fileName[i])))
            return false;
    }
    return true;
}
