// Projection kind 19 and the projection shift grid (see projection_grid.h).
//
// Kind 19 saved part: from 10.3 a byte, 0 followed by the container's name and its
// NUL, else (and always before 10.3) the latitude grid's saved form and then the
// longitude grid's. The model keeps its part in the current layout, so that a model
// read from an older image reopens from it under the current version's rules.
#include "csib/projection_grid.h"

#include <cmath>
#include <cstring>

#include "csib/csibplatform.h"
#include "csib/grid_model.h"
#include "csib/image.h"
#include "csib/kinds.h"
#include "csib/projection.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kLargest = 1.7976931348623157e308;
constexpr int kRounds = 100;
constexpr int kFailures = 5;
constexpr double kMatched = 1e-12;
constexpr double kAccepted = 1e-9;

constexpr char kProjectionTitle[] = "Quorvel Combined Projection Grid";  // 33 bytes with the NUL
constexpr char kShiftTitle[] = "Quorvel Projection Shift Grid";      // 30 bytes

bool HasSeparationByte(double version) { return version >= 10.3; }

// The container's two grid offsets, in its byte order.
csib_Status ReadContainer(const char* fileName, const char* title, std::size_t titleSize, int32_t offsets[2]) {
    std::FILE* file = csib_OpenFile(fileName, "rb");
    if (!file) return CSIB_FileOpenFailed;
    uint8_t head[4 + sizeof kProjectionTitle + 8];
    const std::size_t size = 4 + titleSize + 8;
    const bool read = csib_FileRead(head, 1, size, file) == size;
    csib_FileClose(file);
    if (!read) return CSIB_FileContentInvalid;
    int32_t number;
    std::memcpy(&number, head, 4);
    const bool swap = number != 1;
    if (swap) csib_Swap32(&number);
    if (number != 1) return CSIB_FileContentInvalid;
    if (std::memcmp(head + 4, title, titleSize) != 0) return CSIB_FileContentInvalid;
    for (int i = 0; i < 2; ++i) {
        std::memcpy(&offsets[i], head + 4 + titleSize + 4 * i, 4);
        if (swap) csib_Swap32(&offsets[i]);
    }
    return CSIB_Ok;
}

// --- Projection grid ----------------------------------------------------------------

csib_ProjectionGrid* Record(const csib_Block* block) {
    return static_cast<csib_ProjectionGrid*>(block->projectionParameters);
}

void CloseGrids(csib_ProjectionGrid* record) {
    gridfile_Close(&record->latitudeGrid);
    gridfile_Close(&record->longitudeGrid);
}

csib_Status Evaluate(const csib_ProjectionGrid* record, double north, double east, double* latitude,
                     double* longitude) {
    return gridfile_InterpolatePair(record->latitudeGrid, record->longitudeGrid, north, east, latitude, longitude);
}

// Opens the grids from a part in the layout of `withByte`.
csib_Status csib_OpenProjectionGrid(csib_Block* block, const uint8_t* part, bool withByte) {
    csib_ProjectionGrid* record = Record(block);
    record->separateGrids = 1;
    if (withByte) record->separateGrids = *part++;
    csib_Status status;
    if (record->separateGrids == 0) {
        const char* name = reinterpret_cast<const char*>(part);
        int32_t offsets[2];
        status = ReadContainer(name, kProjectionTitle, sizeof kProjectionTitle, offsets);
        if (status == CSIB_Ok) status = gridfile_OpenFromFile(&record->latitudeGrid, block, name, offsets[0]);
        if (status == CSIB_Ok) status = gridfile_OpenFromFile(&record->longitudeGrid, block, name, offsets[1]);
    } else {
        status = gridfile_OpenPair(&record->latitudeGrid, &record->longitudeGrid, block, part, nullptr);
    }
    if (status != CSIB_Ok) return status;
    const csib_GridFile* lat = record->latitudeGrid;
    const csib_GridFile* lon = record->longitudeGrid;
    double lat0 = 0.0, lon0 = 0.0, lat1 = 0.0, lon1 = 0.0;
    status = Evaluate(record, lat->south, lon->west, &lat0, &lon0);
    if (status == CSIB_Ok) status = Evaluate(record, lat->north, lon->east, &lat1, &lon1);
    if (status != CSIB_Ok) return status;
    record->latitudeRange = lat1 - lat0;
    record->longitudeRange = lon1 - lon0;
    record->longitudeFrom0To2Pi = lon0 > kPi || lon1 > kPi ? 1 : 0;
    return CSIB_Ok;
}

csib_Status csib_GetProjectionGridSavedSize(csib_Block* block, uint8_t gridMode, int32_t* size);

csib_Status csib_LoadProjectionGridFile(csib_Block* block, const uint8_t* saved) {
    auto* record = static_cast<csib_ProjectionGrid*>(csib_MemAlloc(sizeof(csib_ProjectionGrid)));
    if (!record) return CSIB_OutOfMemory;
    std::memset(record, 0, sizeof *record);
    block->projectionParameters = record;
    const bool withByte = HasSeparationByte(block->version);
    csib_Status status = csib_OpenProjectionGrid(block, saved, withByte);
    int32_t size = 0;
    if (status == CSIB_Ok) status = csib_GetProjectionGridSavedSize(block, block->gridMode, &size);
    if (status != CSIB_Ok) return status;
    // An older part gains the leading byte: GetSavedSize counted it only from 10.3.
    const int32_t lead = withByte ? 0 : 1;
    if (!(record->savedForm = static_cast<uint8_t*>(csib_MemAlloc(static_cast<std::size_t>(size + lead)))))
        return CSIB_OutOfMemory;
    record->savedForm[0] = 1;
    std::memcpy(record->savedForm + lead, saved, static_cast<std::size_t>(size));
    return CSIB_Ok;
}

csib_Status csib_CloseProjectionGrid(csib_Block* block) { return csib_CloseGridModel(Record(block), CloseGrids); }

csib_Status csib_ReopenProjectionGrid(csib_Block* block) {
    csib_ProjectionGrid* record = Record(block);
    return csib_ReopenGridModel(record, CloseGrids,
                                [&] { return csib_OpenProjectionGrid(block, record->savedForm, true); });
}

csib_Status csib_FreeProjectionGrid(csib_Block* block) {
    return csib_FreeGridModel(block->projectionParameters, CloseGrids);
}

csib_Status csib_GetProjectionGridSavedSize(csib_Block* block, uint8_t gridMode, int32_t* size) {
    if (!size) return CSIB_MissingOutput;
    const csib_ProjectionGrid* record = Record(block);
    if (record->closed) return CSIB_ModelClosed;
    if (record->separateGrids == 0) {
        *size = static_cast<int32_t>(std::strlen(record->latitudeGrid->fileName)) + 2;
        return CSIB_Ok;
    }
    const csib_Status status = gridfile_GetPairSavedSize(record->latitudeGrid, record->longitudeGrid, gridMode, size);
    if (status == CSIB_Ok && HasSeparationByte(block->version)) *size += 1;
    return status;
}

csib_Status csib_SaveProjectionGrid(csib_Block* block, uint8_t* out, uint8_t gridMode) {
    const csib_ProjectionGrid* record = Record(block);
    if (record->closed) return CSIB_ModelClosed;
    if (record->separateGrids == 0) {
        *out++ = 0;
        csib_PutString(out, record->latitudeGrid->fileName);
        return CSIB_Ok;
    }
    if (HasSeparationByte(block->version)) *out++ = 1;
    return gridfile_SavePair(record->latitudeGrid, record->longitudeGrid, out, gridMode);
}

double Oriented(double value, uint8_t axis) { return axis == 2 ? -value : value; }

csib_Status csib_ProjectionGridForward(csib_Block* block, const csib_GeodeticPoint* in, csib_GridPoint* out) {
    const csib_ProjectionGrid* record = Record(block);
    if (record->closed) return CSIB_ModelClosed;
    const double targetLatitude = in->latitude;
    double targetLongitude = in->longitude;
    if (record->longitudeFrom0To2Pi && targetLongitude < 0.0) targetLongitude += kTwoPi;
    const csib_GridFile* lat = record->latitudeGrid;
    const csib_GridFile* lon = record->longitudeGrid;
    const double dN = lat->north - lat->south;
    const double dE = lon->east - lon->west;
    double n = lat->south + dN / 2.0, e = lon->west + dE / 2.0;
    double bestSum = kLargest, bestN = n, bestE = e, bestLat = kLargest, bestLon = kLargest;
    int failures = 0;
    for (int round = 0; round < kRounds; ++round) {
        double latitude = 0.0, longitude = 0.0;
        if (Evaluate(record, n, e, &latitude, &longitude) != CSIB_Ok) break;
        const double eLat = targetLatitude - latitude;
        const double eLon = targetLongitude - longitude;
        if (std::fabs(eLat) < kMatched && std::fabs(eLon) < kMatched) {
            bestN = n, bestE = e, bestLat = eLat, bestLon = eLon;
            break;
        }
        const double sum = std::fabs(eLat) + std::fabs(eLon);
        if (sum < bestSum) {
            bestN = n, bestE = e, bestLat = eLat, bestLon = eLon;
            bestSum = sum;
            failures = 0;
        } else if (++failures > kFailures) {
            break;
        }
        n += 0.5 * eLat / record->latitudeRange * dN;
        e += 0.5 * eLon / record->longitudeRange * dE;
        n = std::fmin(std::fmax(n, lat->south), lat->north);
        e = std::fmin(std::fmax(e, lon->west), lon->east);
    }
    if (!(std::fabs(bestLat) <= kAccepted && std::fabs(bestLon) <= kAccepted)) return CSIB_IterationLimit;
    out->north = Oriented(bestN, block->options.northAxis);
    out->east = Oriented(bestE, block->options.eastAxis);
    out->ellipsoidHeight = in->ellipsoidHeight;
    out->hasEllipsoidHeight = in->hasEllipsoidHeight;
    out->elevation = in->orthometricHeight;
    out->hasElevation = in->hasOrthometricHeight;
    return CSIB_Ok;
}

csib_Status csib_ProjectionGridInverseSlot(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    return Record(block)->closed ? CSIB_ModelClosed : csib_ProjectionGridInverse(block, in, out);
}

csib_Status NoScaleFactor(csib_Block*, const csib_GeodeticPoint*, double*) { return CSIB_NoScaleFactor; }
csib_Status NoConvergence(csib_Block*, const csib_GeodeticPoint*, double*) { return CSIB_NoConvergence; }

csib_Status csib_GetProjectionGridParameters(csib_Block* block, int16_t index, void** parameter) {
    if (!parameter) return CSIB_MissingOutput;
    csib_ProjectionGrid* record = Record(block);
    if (record->closed) return CSIB_ModelClosed;
    *parameter = nullptr;
    if (index == 4) *parameter = &record->latitudeRange;
    if (index == 5) *parameter = &record->longitudeRange;
    if (index < 0 || index > 3) return CSIB_Ok;
    return gridfile_GetParameters(index < 2 ? record->latitudeGrid : record->longitudeGrid,
                                  static_cast<int16_t>(index % 2), parameter);
}

// --- Shift grid ---------------------------------------------------------------------

csib_ShiftGrid* Shift(const csib_Block* block) { return static_cast<csib_ShiftGrid*>(block->shiftGrid); }

void CloseShiftGrids(csib_ShiftGrid* record) {
    gridfile_Close(&record->northGrid);
    gridfile_Close(&record->eastGrid);
}

csib_Status csib_OpenShiftGrid(csib_Block* block, const char* fileName) {
    csib_ShiftGrid* record = Shift(block);
    int32_t offsets[2];
    csib_Status status = ReadContainer(fileName, kShiftTitle, sizeof kShiftTitle, offsets);
    if (status == CSIB_Ok) status = gridfile_OpenFromFile(&record->northGrid, block, fileName, offsets[0]);
    if (status == CSIB_Ok) status = gridfile_OpenFromFile(&record->eastGrid, block, fileName, offsets[1]);
    return status;
}

csib_Status ApplyShiftGrid(csib_Block* block, csib_GridPoint* point) {
    const csib_ShiftGrid* record = Shift(block);
    if (record->closed) return CSIB_ModelClosed;
    const double n = point->north + block->falseNorthing;
    const double e = point->east + block->falseEasting;
    if (record->northGrid->targetIndexed) return CSIB_FileContentInvalid;
    double sN = 0.0, sE = 0.0;
    const csib_Status status = gridfile_InterpolatePair(record->northGrid, record->eastGrid, n, e, &sN, &sE);
    if (status != CSIB_Ok) return status;
    point->north = n + sN - block->falseNorthing;
    point->east = e + sE - block->falseEasting;
    return CSIB_Ok;
}

csib_Status RemoveShiftGrid(csib_Block* block, csib_GridPoint* point) {
    const csib_ShiftGrid* record = Shift(block);
    if (record->closed) return CSIB_ModelClosed;
    double n = point->north + block->falseNorthing;
    double e = point->east + block->falseEasting;
    const csib_Status status = gridfile_RemoveShifts(record->northGrid, record->eastGrid, &n, &e);
    if (status != CSIB_Ok) return status;
    point->north = n - block->falseNorthing;
    point->east = e - block->falseEasting;
    return CSIB_Ok;
}

bool ShiftGridUsesFile(const csib_Block* block, const char* fileName) {
    const csib_ShiftGrid* record = Shift(block);
    return csib_IsGridFileNamed(record->northGrid, fileName) || csib_IsGridFileNamed(record->eastGrid, fileName);
}

}  // namespace

csib_Status csib_ProjectionGridInverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    if (csib_NullInverse(in, out)) return CSIB_Ok;
    const csib_ProjectionGrid* record = Record(block);
    const double north = Oriented(in->north, block->options.northAxis);
    const double east = Oriented(in->east, block->options.eastAxis);
    const csib_GridFile* lat = record->latitudeGrid;
    const csib_GridFile* lon = record->longitudeGrid;
    if (!(east >= lon->west && east <= lon->east) || !(north >= lat->south && north <= lat->north))
        return CSIB_OutsideArea;
    double latitude = 0.0, longitude = 0.0;
    const csib_Status status = Evaluate(record, north, east, &latitude, &longitude);
    if (status != CSIB_Ok) return status;
    out->ellipsoidHeight = in->ellipsoidHeight;
    out->hasEllipsoidHeight = in->hasEllipsoidHeight;
    out->orthometricHeight = in->elevation;
    out->hasOrthometricHeight = in->hasElevation;
    if (record->longitudeFrom0To2Pi && longitude > kPi) longitude -= kTwoPi;
    out->latitude = latitude;
    out->longitude = longitude;
    return CSIB_Ok;
}

csib_Status csib_LoadShiftGridFile(csib_Block* block, const char* fileName) {
    auto* record = static_cast<csib_ShiftGrid*>(csib_MemAlloc(sizeof(csib_ShiftGrid)));
    if (!record) return CSIB_OutOfMemory;
    std::memset(record, 0, sizeof *record);
    block->shiftGrid = record;
    const csib_Status status = csib_OpenShiftGrid(block, fileName);
    if (status != CSIB_Ok) return status;
    const std::size_t size = std::strlen(fileName) + 1;
    if (!(record->savedForm = static_cast<char*>(csib_MemAlloc(size)))) return CSIB_OutOfMemory;
    std::memcpy(record->savedForm, fileName, size);
    block->hasShiftGrid = 1;
    return CSIB_Ok;
}

csib_Status csib_CloseShiftGrid(csib_Block* block) { return csib_CloseGridModel(Shift(block), CloseShiftGrids); }

csib_Status csib_ReopenShiftGrid(csib_Block* block) {
    csib_ShiftGrid* record = Shift(block);
    return csib_ReopenGridModel(record, CloseShiftGrids,
                                [&] { return csib_OpenShiftGrid(block, record->savedForm); });
}

csib_Status csib_FreeShiftGrid(csib_Block* block) {
    if (!block->shiftGrid) return CSIB_Ok;
    block->hasShiftGrid = 0;
    return csib_FreeGridModel(block->shiftGrid, CloseShiftGrids);
}

csib_Status csib_SaveShiftGrid(csib_Block* block, uint8_t* out) {
    const csib_ShiftGrid* record = Shift(block);
    if (record->closed) return CSIB_ModelClosed;
    csib_PutString(out, record->northGrid->fileName);
    return CSIB_Ok;
}

csib_Status csib_GetShiftGridSavedSize(csib_Block* block, int32_t* size) {
    if (!size) return CSIB_MissingOutput;
    const csib_ShiftGrid* record = Shift(block);
    if (record->closed) return CSIB_ModelClosed;
    *size = static_cast<int32_t>(std::strlen(record->northGrid->fileName)) + 1;
    return CSIB_Ok;
}

const csib_ProjectionFunctions csib_ProjectionGridFunctions = {
    csib_LoadProjectionGridFile, csib_CloseProjectionGrid, csib_ReopenProjectionGrid, csib_FreeProjectionGrid,
    csib_SaveProjectionGrid, csib_ProjectionGridForward, csib_ProjectionGridInverseSlot, NoScaleFactor,
    NoConvergence, csib_GetProjectionGridParameters, csib_GetProjectionGridSavedSize,
};
bool csib_ProjectionGridUsesFile(const csib_Block* block, const char* fileName) {
    const csib_ProjectionGrid* record = Record(block);
    return csib_IsGridFileNamed(record->latitudeGrid, fileName) ||
           csib_IsGridFileNamed(record->longitudeGrid, fileName);
}

const csib_ShiftGridModel csib_ShiftGridFunctions = {
    csib_LoadShiftGridFile, csib_CloseShiftGrid, csib_ReopenShiftGrid,
    csib_FreeShiftGrid,     csib_SaveShiftGrid,  csib_GetShiftGridSavedSize,
    ShiftGridUsesFile,      ApplyShiftGrid,      RemoveShiftGrid,
};
