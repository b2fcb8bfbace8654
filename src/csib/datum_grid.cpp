// Datum kinds 4 and 5: WGS84 <-> local datum by latitude, longitude and (optionally)
// ellipsoid-height shifts read from grids. WGS84 latitude = local + shift, longitude =
// local - shift (positive west), height = local - shift; shifts in arc-seconds and
// metres. The latitude grid's target-indexed flag says whether the grids are indexed
// by WGS84 positions (set) or local ones; the other direction iterates.
//
// Kind 4 saved part: the latitude and longitude grids' saved forms, then (from 1.2)
// a marker byte, 0x0F for no height grid, else the height grid's saved form.
// Kind 5 saved part: the name of a combined container file whose first grid set names
// the grids' offsets:
//   0 u16 61 (the container's byte order), 2 format, 3 -, 4 signature[24], 28 model[32],
//   60 set count, 61 set: u16 length, u16 type (2: with a height grid), u32 offsets.
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "csib/csibplatform.h"
#include "csib/grid_model.h"
#include "csib/gridfile.h"
#include "csib/image.h"
#include "csib/kinds.h"

namespace {

constexpr double kDegrees = 57.29577951308232;
constexpr double kArcSecond = 4.84813681109536e-06;
constexpr int kRounds = 100;
constexpr double kSettled = 1e-12;
constexpr uint8_t kNoHeightGrid = 0x0F;
constexpr uint8_t kHeightGrid = 0xF0;
constexpr uint16_t kFirstSet = 61;

struct csib_DatumGrid {
    csib_GridFile* latitudeGrid;
    csib_GridFile* longitudeGrid;
    csib_GridFile* heightGrid;
    uint8_t* savedForm;
    uint8_t closed;
};

csib_DatumGrid* Record(const csib_Block* block) { return static_cast<csib_DatumGrid*>(block->datumParameters); }

void CloseGrids(csib_DatumGrid* record) {
    gridfile_Close(&record->latitudeGrid);
    gridfile_Close(&record->longitudeGrid);
    gridfile_Close(&record->heightGrid);
}

bool HasMarker(double version) { return version > 1.1; }
bool ReadsMarker(double version) { return version >= 1.2; }

// `both` receives the size of the two saved forms ahead of the marker.
csib_Status csib_OpenDatumGridImages(csib_Block* block, const uint8_t* saved, int32_t* both) {
    csib_DatumGrid* record = Record(block);
    csib_Status status = gridfile_OpenPair(&record->latitudeGrid, &record->longitudeGrid, block, saved, both);
    if (status != CSIB_Ok) return status;
    const uint8_t* marker = saved + *both;
    if (ReadsMarker(block->version) && *marker != kNoHeightGrid)
        status = gridfile_Open(&record->heightGrid, block, marker + 1, 0);
    return status;
}

template <typename T>
T Value(const uint8_t* at, bool swap) {
    T value;
    std::memcpy(&value, at, sizeof value);
    if (swap && sizeof value == 2) csib_Swap16(&value);
    if (swap && sizeof value == 4) csib_Swap32(&value);
    return value;
}

csib_Status csib_OpenDatumGridContainer(csib_Block* block, const char* fileName) {
    std::FILE* file = csib_OpenFile(fileName, "rb");
    if (!file) return CSIB_FileOpenFailed;
    uint8_t head[kFirstSet + 16];
    const bool read = csib_FileRead(head, 1, sizeof head, file) == sizeof head;
    csib_FileClose(file);
    if (!read) return CSIB_FileReadFailed;
    const uint16_t first = Value<uint16_t>(head, false);
    if (first != kFirstSet && Value<uint16_t>(head, true) != kFirstSet) return CSIB_FileContentInvalid;
    const bool swap = first != kFirstSet;
    const uint8_t* set = head + kFirstSet;
    const uint16_t type = Value<uint16_t>(set + 2, swap);
    const uint32_t offsets[3] = {Value<uint32_t>(set + 4, swap), Value<uint32_t>(set + 8, swap),
                                 Value<uint32_t>(set + 12, swap)};
    for (uint32_t offset : offsets)
        if (offset > 0x7FFFFFFFu) return CSIB_FileContentInvalid;
    csib_DatumGrid* record = Record(block);
    csib_Status status =
        gridfile_OpenFromFile(&record->latitudeGrid, block, fileName, static_cast<int32_t>(offsets[0]));
    if (status == CSIB_Ok)
        status = gridfile_OpenFromFile(&record->longitudeGrid, block, fileName, static_cast<int32_t>(offsets[1]));
    if (status == CSIB_Ok && type == 2)
        status = gridfile_OpenFromFile(&record->heightGrid, block, fileName, static_cast<int32_t>(offsets[2]));
    return status;
}

csib_Status Attach(csib_Block* block) {
    auto* record = static_cast<csib_DatumGrid*>(csib_MemAlloc(sizeof(csib_DatumGrid)));
    if (!record) return CSIB_OutOfMemory;
    std::memset(record, 0, sizeof *record);
    block->datumParameters = record;
    return CSIB_Ok;
}

// The first `copied` bytes of the part, then 0x0F up to `size`.
csib_Status KeepSavedForm(csib_DatumGrid* record, const uint8_t* saved, int32_t copied, int32_t size) {
    if (!(record->savedForm = static_cast<uint8_t*>(csib_MemAlloc(static_cast<std::size_t>(size)))))
        return CSIB_OutOfMemory;
    std::memcpy(record->savedForm, saved, static_cast<std::size_t>(copied));
    std::memset(record->savedForm + copied, kNoHeightGrid, static_cast<std::size_t>(size - copied));
    return CSIB_Ok;
}

csib_Status csib_GetDatumGridSavedSize(csib_Block* block, uint8_t gridMode, int32_t* size);

// The model keeps its part in the current layout: a part read without a marker (an
// image older than 1.2) gains 0x0F, so that the reopen, which runs under the current
// version, finds the marker inside the kept form and opens no height grid.
csib_Status csib_LoadDatumGrid(csib_Block* block, const uint8_t* saved) {
    csib_Status status = Attach(block);
    int32_t both = 0, size = 0;
    if (status == CSIB_Ok) status = csib_OpenDatumGridImages(block, saved, &both);
    if (status == CSIB_Ok) status = csib_GetDatumGridSavedSize(block, block->gridMode, &size);
    if (status != CSIB_Ok) return status;
    return ReadsMarker(block->version) ? KeepSavedForm(Record(block), saved, size, size)
                                       : KeepSavedForm(Record(block), saved, both, both + 1);
}

csib_Status csib_LoadDatumGridFile(csib_Block* block, const uint8_t* saved) {
    csib_Status status = Attach(block);
    const char* name = reinterpret_cast<const char*>(saved);
    const int32_t size = static_cast<int32_t>(std::strlen(name)) + 1;
    if (status == CSIB_Ok) status = csib_OpenDatumGridContainer(block, name);
    return status == CSIB_Ok ? KeepSavedForm(Record(block), saved, size, size) : status;
}

csib_Status csib_CloseDatumGrid(csib_Block* block) { return csib_CloseGridModel(Record(block), CloseGrids); }

csib_Status csib_ReopenDatumGrid(csib_Block* block) {
    csib_DatumGrid* record = Record(block);
    int32_t both = 0;
    return csib_ReopenGridModel(record, CloseGrids,
                                [&] { return csib_OpenDatumGridImages(block, record->savedForm, &both); });
}

csib_Status csib_ReopenDatumGridFile(csib_Block* block) {
    csib_DatumGrid* record = Record(block);
    return csib_ReopenGridModel(record, CloseGrids, [&] {
        return csib_OpenDatumGridContainer(block, reinterpret_cast<const char*>(record->savedForm));
    });
}

csib_Status csib_FreeDatumGrid(csib_Block* block) { return csib_FreeGridModel(block->datumParameters, CloseGrids); }

csib_Status csib_SaveDatumGrid(csib_Block* block, uint8_t* out, uint8_t gridMode) {
    const csib_DatumGrid* record = Record(block);
    if (record->closed) return CSIB_ModelClosed;
    int32_t both = 0;
    csib_Status status = gridfile_SavePair(record->latitudeGrid, record->longitudeGrid, out, gridMode);
    if (status == CSIB_Ok)
        status = gridfile_GetPairSavedSize(record->latitudeGrid, record->longitudeGrid, gridMode, &both);
    if (status != CSIB_Ok) return status;
    out += both;
    if (!ReadsMarker(block->version)) return CSIB_Ok;
    if (!record->heightGrid) {
        *out = kNoHeightGrid;
        return CSIB_Ok;
    }
    *out = kHeightGrid;
    return gridfile_Save(record->heightGrid, out + 1, gridMode);
}

csib_Status csib_SaveDatumGridFile(csib_Block* block, uint8_t* out, uint8_t) {
    const csib_DatumGrid* record = Record(block);
    if (record->closed) return CSIB_ModelClosed;
    csib_PutString(out, record->latitudeGrid->fileName);
    return CSIB_Ok;
}

csib_Status csib_GetDatumGridSavedSize(csib_Block* block, uint8_t gridMode, int32_t* size) {
    if (!size) return CSIB_MissingOutput;
    const csib_DatumGrid* record = Record(block);
    if (record->closed) return CSIB_ModelClosed;
    int32_t total = HasMarker(block->version) ? 1 : 0;
    for (const csib_GridFile* grid : {record->latitudeGrid, record->longitudeGrid, record->heightGrid}) {
        int32_t part = 0;
        if (!grid) continue;
        const csib_Status status = gridfile_GetSavedSize(grid, gridMode, &part);
        if (status != CSIB_Ok) return status;
        total += part;
    }
    *size = total;
    return CSIB_Ok;
}

csib_Status csib_GetDatumGridFileSavedSize(csib_Block* block, uint8_t, int32_t* size) {
    if (!size) return CSIB_MissingOutput;
    const csib_DatumGrid* record = Record(block);
    if (record->closed) return CSIB_ModelClosed;
    *size = static_cast<int32_t>(std::strlen(reinterpret_cast<const char*>(record->savedForm))) + 1;
    return CSIB_Ok;
}

struct Shifts {
    double latitude, longitude, height;
};

csib_Status ShiftsAt(const csib_DatumGrid* record, const csib_GeodeticPoint& at, Shifts* s) {
    const double lat = at.latitude * kDegrees, lon = at.longitude * kDegrees;
    csib_Status status = gridfile_Interpolate(record->latitudeGrid, lat, lon, &s->latitude);
    if (status == CSIB_Ok) status = gridfile_Interpolate(record->longitudeGrid, lat, lon, &s->longitude);
    s->height = 0.0;
    if (status == CSIB_Ok && record->heightGrid)
        status = gridfile_Interpolate(record->heightGrid, lat, lon, &s->height);
    return status;
}

// sign +1: local to WGS84, -1: WGS84 to local.
void Shift(const csib_DatumGrid* record, const csib_GeodeticPoint& in, const Shifts& s, double sign,
           csib_GeodeticPoint* out) {
    out->latitude = in.latitude + sign * s.latitude * kArcSecond;
    out->longitude = in.longitude - sign * s.longitude * kArcSecond;
    if (record->heightGrid) {
        out->ellipsoidHeight = in.ellipsoidHeight - sign * s.height;
        out->hasEllipsoidHeight = 1;
    }
}

// Direct when the grids are indexed by the input's side, else iterated at the output.
// A failure leaves the output as the copied input.
csib_Status Convert(csib_Block* block, const csib_GeodeticPoint* in, csib_GeodeticPoint* out, double sign,
                    bool inputIndexed) {
    const csib_DatumGrid* record = Record(block);
    if (record->closed) return CSIB_ModelClosed;
    csib_GeodeticPoint result = *in;
    *out = *in;
    Shifts s{};
    csib_Status status = CSIB_Ok;
    if (inputIndexed) {
        if ((status = ShiftsAt(record, *in, &s)) != CSIB_Ok) return status;
        Shift(record, *in, s, sign, &result);
    } else {
        Shifts previous{1.7976931348623157e308, 1.7976931348623157e308, 1.7976931348623157e308};
        for (int round = 0;; ++round) {
            if (round == kRounds) return CSIB_IterationLimit;
            if ((status = ShiftsAt(record, result, &s)) != CSIB_Ok) return status;
            Shift(record, *in, s, sign, &result);
            if (std::fabs(s.latitude - previous.latitude) < kSettled &&
                std::fabs(s.longitude - previous.longitude) < kSettled &&
                (!record->heightGrid || std::fabs(s.height - previous.height) < kSettled))
                break;
            previous = s;
        }
    }
    *out = result;
    return CSIB_Ok;
}

csib_Status csib_DatumGridFromWGS84(csib_Block* block, const csib_GeodeticPoint* in, csib_GeodeticPoint* out) {
    const csib_DatumGrid* record = Record(block);
    if (record->closed) return CSIB_ModelClosed;
    return Convert(block, in, out, -1.0, record->latitudeGrid->targetIndexed != 0);
}

csib_Status csib_DatumGridToWGS84(csib_Block* block, const csib_GeodeticPoint* in, csib_GeodeticPoint* out) {
    const csib_DatumGrid* record = Record(block);
    if (record->closed) return CSIB_ModelClosed;
    return Convert(block, in, out, 1.0, record->latitudeGrid->targetIndexed == 0);
}

csib_Status csib_GetDatumGridParameters(csib_Block* block, int16_t index, void** parameter) {
    if (!parameter) return CSIB_MissingOutput;
    const csib_DatumGrid* record = Record(block);
    if (record->closed) return CSIB_ModelClosed;
    const csib_GridFile* grids[3] = {record->latitudeGrid, record->longitudeGrid, record->heightGrid};
    *parameter = nullptr;
    if (index < 0 || index > 5 || !grids[index / 2]) return CSIB_Ok;
    return gridfile_GetParameters(grids[index / 2], static_cast<int16_t>(index % 2), parameter);
}

}  // namespace

bool csib_DatumGridUsesFile(const csib_Block* block, const char* fileName) {
    const csib_DatumGrid* record = Record(block);
    return csib_IsGridFileNamed(record->latitudeGrid, fileName) ||
           csib_IsGridFileNamed(record->longitudeGrid, fileName) ||
           csib_IsGridFileNamed(record->heightGrid, fileName);
}

const csib_DatumFunctions csib_DatumGridFunctions = {
    csib_LoadDatumGrid, csib_CloseDatumGrid, csib_ReopenDatumGrid, csib_FreeDatumGrid, csib_SaveDatumGrid,
    csib_DatumGridFromWGS84, csib_DatumGridToWGS84, csib_GetDatumGridParameters, csib_GetDatumGridSavedSize,
};

const csib_DatumFunctions csib_DatumGridFileFunctions = {
    csib_LoadDatumGridFile, csib_CloseDatumGrid, csib_ReopenDatumGridFile, csib_FreeDatumGrid, csib_SaveDatumGridFile,
    csib_DatumGridFromWGS84, csib_DatumGridToWGS84, csib_GetDatumGridParameters, csib_GetDatumGridFileSavedSize,
};
