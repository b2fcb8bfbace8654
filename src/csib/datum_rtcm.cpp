// Datum kind 6, RTCM transformation data (see rtcm.h). The model's saved part is the
// data file's name; the record reads the file at load and rewrites it whole when a
// received residual block changes the grids.
//
// File: the 300-byte header, then (message flag bit 0) the latitude, longitude and
// height layers, each a run of row records ended by four zero doubles. A row record is
// four doubles (layer number 1..3, first column, last column, row, each stored as the
// whole number + 0.5) and the row's residuals from the first to the last column.
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "csib/csibplatform.h"
#include "csib/datum.h"
#include "csib/geodesy.h"
#include "csib/image.h"
#include "csib/kinds.h"
#include "csib/rtcm.h"

namespace {

constexpr double kWGS84A = 6378137.0;
constexpr double kWGS84B = 6356752.3142;
constexpr char kWGS84Name[] = "World Geodetic System 1984";
constexpr double kPi = 3.141592653589793;
constexpr double kLargest = 1.7976931348623157e308;
constexpr int kRounds = 100;
constexpr double kAngleSettled = 1e-15;
constexpr double kHeightSettled = 1e-4;
constexpr bool kSwap = std::endian::native == std::endian::big;

// --- Little-endian fields ---------------------------------------------------------

struct Writer {
    uint8_t* at;
    void Raw(const void* data, std::size_t size) {
        std::memcpy(at, data, size);
        at += size;
    }
    void Double(double value) {
        if (kSwap) csib_Swap64(&value);
        Raw(&value, 8);
    }
    void Doubles(const double* values, int count) {
        for (int i = 0; i < count; ++i) Double(values[i]);
    }
    void Int(int32_t value) {
        if (kSwap) csib_Swap32(&value);
        Raw(&value, 4);
    }
};

struct Reader {
    const uint8_t* at;
    void Raw(void* data, std::size_t size) {
        std::memcpy(data, at, size);
        at += size;
    }
    double Double() {
        double value;
        Raw(&value, 8);
        if (kSwap) csib_Swap64(&value);
        return value;
    }
    void Doubles(double* values, int count) {
        for (int i = 0; i < count; ++i) values[i] = Double();
    }
    int32_t Int() {
        int32_t value;
        Raw(&value, 4);
        if (kSwap) csib_Swap32(&value);
        return value;
    }
};

// The header's fields in file order; one list serves both directions.
template <typename Stream, typename H>
void HeaderFields(Stream& s, H& h) {
    s.Raw(h.title, sizeof h.title);
    s.Raw(&h.version, 1);
    s.Raw(h.spare1, sizeof h.spare1);
    s.Raw(h.sourceName, sizeof h.sourceName);
    s.Raw(h.targetName, sizeof h.targetName);
    s.Raw(h.spare2, sizeof h.spare2);
    s.Raw(&h.systemId, 1);
    s.Raw(&h.messageFlags, 1);
    s.Raw(&h.spare3, 1);
    s.Raw(&h.computationMode, 1);
    s.Raw(&h.heightMode, 1);
}

template <typename Stream, typename H>
void HeaderTail(Stream& s, H& h) {
    s.Raw(h.indicators, 2);
    s.Raw(&h.hasHorizontalResiduals, 1);
    s.Raw(&h.hasHeightResiduals, 1);
}

bool HasGrids(const rtcm_Header& h) { return (h.messageFlags & 1) != 0; }

csib_Status ReadHeaderBytes(const char* fileName, rtcm_Header* header) {
    if (!fileName || !*fileName) return CSIB_NoFileName;
    std::FILE* file = csib_OpenFile(fileName, "rb");
    if (!file) return CSIB_FileOpenFailed;
    uint8_t bytes[RTCM_HeaderBytes];
    const bool read = csib_FileRead(bytes, 1, sizeof bytes, file) == sizeof bytes;
    csib_FileClose(file);
    if (!read) return CSIB_FileReadFailed;
    rtcm_DecodeHeader(bytes, header);
    return CSIB_Ok;
}

bool ExpectedTitle(const rtcm_Header& h) {
    return std::memcmp(h.title, RTCM_Title, sizeof RTCM_Title) == 0 && h.version == RTCM_Version;
}

// --- Reading and writing the file ------------------------------------------------

// A whole number stored + 0.5 and read by truncation, within 0..limit.
bool Index(double stored, int32_t limit, int32_t* index) {
    if (!(stored >= 0.0 && stored < limit + 1.0)) return false;
    *index = static_cast<int32_t>(stored);
    return true;
}

csib_Status ReadLayers(rtcm_Transformation* record, std::FILE* file) {
    for (int layer = 0; layer < 3; ++layer) {
        for (;;) {
            uint8_t bytes[32];
            if (csib_FileRead(bytes, 1, sizeof bytes, file) != sizeof bytes) return CSIB_FileContentInvalid;
            Reader in{bytes};
            double fields[4];
            in.Doubles(fields, 4);
            if (fields[0] == 0.0) break;
            int32_t number = 0, first = 0, last = 0, row = 0;
            if (!Index(fields[0], 3, &number) || number != layer + 1 || !Index(fields[1], RTCM_MaxNodes, &first) ||
                !Index(fields[2], RTCM_MaxNodes, &last) || !Index(fields[3], RTCM_MaxNodes, &row) || last < first)
                return CSIB_FileContentInvalid;
            for (int32_t column = first; column <= last; ++column) {
                uint8_t raw[8];
                if (csib_FileRead(raw, 1, 8, file) != 8) return CSIB_FileContentInvalid;
                const double value = Reader{raw}.Double();
                if (!std::isfinite(value)) return CSIB_FileContentInvalid;
                const csib_Status status = rtcm_SetResidual(record, layer, row, column, value);
                if (status != CSIB_Ok) return status;
            }
        }
    }
    return CSIB_Ok;
}

// Values the model divides by or counts with.
csib_Status CheckValues(const rtcm_Header& h) {
    if (h.computationMode != 2 && (h.scale == 0.0 || !std::isfinite(h.scale))) return CSIB_FileContentInvalid;
    if (!HasGrids(h)) return CSIB_Ok;
    for (double spacing : {h.latitudeSpacing, h.longitudeSpacing})
        if (!(spacing > 0.0) || !std::isfinite(spacing)) return CSIB_FileContentInvalid;
    return CSIB_Ok;
}

// Rows or columns from an extent and a spacing: the integer part of extent / spacing + 1.5.
csib_Status NodeCount(double extent, double spacing, int32_t* count) {
    const double n = extent / spacing + 1.5;
    if (std::isnan(n)) return CSIB_FileContentInvalid;
    if (n >= RTCM_MaxNodes + 1.0) return CSIB_TooLarge;
    if (n <= -1.0) return CSIB_BadGridDimensions;
    *count = static_cast<int32_t>(n);
    return CSIB_Ok;
}

csib_Status ReadOpenFile(rtcm_Transformation* record, std::FILE* file) {
    uint8_t bytes[RTCM_HeaderBytes];
    if (csib_FileRead(bytes, 1, sizeof bytes, file) != sizeof bytes) return CSIB_FileReadFailed;
    rtcm_Header& h = record->header;
    rtcm_DecodeHeader(bytes, &h);
    if (!ExpectedTitle(h)) return CSIB_FileContentInvalid;
    std::memset(h.sourceName, 0, sizeof h.sourceName);
    std::memcpy(h.sourceName, kWGS84Name, sizeof kWGS84Name);
    h.sourceA = kWGS84A;
    h.sourceB = kWGS84B;
    record->rows = record->columns = 0;
    csib_Status status = CheckValues(h);
    if (status != CSIB_Ok) return status;
    rtcm_BuildRotation(record);
    rtcm_SetArea(record);
    if (!HasGrids(h)) return CSIB_Ok;
    int32_t rows = 0, columns = 0;
    if ((status = NodeCount(h.latitudeExtent, h.latitudeSpacing, &rows)) != CSIB_Ok) return status;
    if ((status = NodeCount(h.longitudeExtent, h.longitudeSpacing, &columns)) != CSIB_Ok) return status;
    if (rows < 0 || columns < 0) return CSIB_BadGridDimensions;
    record->rows = rows;
    record->columns = columns;
    return ReadLayers(record, file);
}

bool Put(std::FILE* file, const uint8_t* bytes, std::size_t size) {
    return csib_FileWrite(bytes, 1, size, file) == size;
}

bool PutDoubles(std::FILE* file, const double* values, int count) {
    uint8_t bytes[8];
    for (int i = 0; i < count; ++i) {
        Writer{bytes}.Double(values[i]);
        if (!Put(file, bytes, 8)) return false;
    }
    return true;
}

bool WriteLayers(const rtcm_Transformation* record, std::FILE* file) {
    for (int layer = 0; layer < 3; ++layer) {
        for (int32_t row = 0; row < record->rows; ++row) {
            const double* values = record->residuals[layer][row];
            if (!values) continue;
            int32_t first = 0, last = record->columns - 1;
            while (first <= last && values[first] == RTCM_Empty) ++first;
            while (last >= first && values[last] == RTCM_Empty) --last;
            if (first > last) continue;
            const double fields[4] = {layer + 1.5, first + 0.5, last + 0.5, row + 0.5};
            if (!PutDoubles(file, fields, 4) || !PutDoubles(file, values + first, last - first + 1)) return false;
        }
        const double end[4] = {0.0, 0.0, 0.0, 0.0};
        if (!PutDoubles(file, end, 4)) return false;
    }
    return true;
}

// --- Interpolation -----------------------------------------------------------------

bool IsEmpty(double value) { return value == RTCM_Empty; }

double Value(const rtcm_Transformation* record, int layer, int32_t row, int32_t column) {
    double value = RTCM_Empty;
    rtcm_GetResidual(record, layer, row, column, &value);
    return value;
}

// --- Kind 6 slots ------------------------------------------------------------------

rtcm_Transformation* Record(const csib_Block* block) {
    return static_cast<rtcm_Transformation*>(block->datumParameters);
}

void SetOutput(const csib_GeodeticPoint& result, csib_GeodeticPoint* out) {
    out->latitude = result.latitude;
    out->longitude = result.longitude;
    out->ellipsoidHeight = result.ellipsoidHeight;
    out->hasEllipsoidHeight = 1;
    out->hasOrthometricHeight = 0;
}

csib_Status rtcm_Load(csib_Block* block, const uint8_t* saved) {
    auto* record = static_cast<rtcm_Transformation*>(csib_MemAlloc(sizeof(rtcm_Transformation)));
    if (!record) return CSIB_OutOfMemory;
    rtcm_Init(record);
    block->datumParameters = record;
    std::strncpy(record->fileName, reinterpret_cast<const char*>(saved), RTCM_FileNameSize - 1);
    const csib_Status status = rtcm_ReadFile(record);
    return status == CSIB_NoFileName ? CSIB_Ok : status;
}

csib_Status rtcm_Free(csib_Block* block) {
    rtcm_Transformation* record = Record(block);
    if (!record) return CSIB_Ok;
    rtcm_SetGridSize(record, 0, 0);
    csib_MemFree(record);
    block->datumParameters = nullptr;
    return CSIB_Ok;
}

csib_Status rtcm_Save(csib_Block* block, uint8_t* out, uint8_t) {
    csib_PutString(out, Record(block)->fileName);
    return CSIB_Ok;
}

csib_Status FromWGS84Record(const rtcm_Transformation* record, const csib_GeodeticPoint* in,
                            csib_GeodeticPoint* out) {
    if (!record->fileName[0]) return CSIB_NoFileName;
    if (!in->hasEllipsoidHeight) return CSIB_RTCMNoHeight;
    csib_GeodeticPoint result{};
    csib_Status status = rtcm_TransformForward(record, in, &result);
    if (status < 0) return status;
    const rtcm_Header& h = record->header;
    if (HasGrids(h)) {
        const double latitude = result.latitude, longitude = result.longitude;
        double value = RTCM_Empty;
        if (h.hasHorizontalResiduals) {
            for (int layer = 0; layer < 2; ++layer) {
                status = rtcm_InterpolateResidual(record, latitude, longitude, layer, h.horizontalMethod, &value);
                if (status < 0) return status;
                if (!IsEmpty(value)) (layer == 0 ? result.latitude : result.longitude) += value;
            }
        }
        if (h.hasHeightResiduals) {
            status = rtcm_InterpolateResidual(record, latitude, longitude, 2, h.heightMethod, &value);
            if (status < 0) return status;
            if (!IsEmpty(value) && h.heightMode == 1) result.ellipsoidHeight -= value;
            if (!IsEmpty(value) && h.heightMode == 2) result.ellipsoidHeight = in->ellipsoidHeight - value;
        }
    }
    SetOutput(result, out);
    return CSIB_Ok;
}

csib_Status rtcm_FromWGS84(csib_Block* block, const csib_GeodeticPoint* in, csib_GeodeticPoint* out) {
    return FromWGS84Record(Record(block), in, out);
}

csib_Status rtcm_ToWGS84(csib_Block* block, const csib_GeodeticPoint* in, csib_GeodeticPoint* out) {
    const rtcm_Transformation* record = Record(block);
    if (!record->fileName[0]) return CSIB_NoFileName;
    if (!in->hasEllipsoidHeight) return CSIB_RTCMNoHeight;
    csib_GeodeticPoint w{};
    csib_Status status = rtcm_TransformReverse(record, in, &w);
    if (status < 0) return status;
    w.hasEllipsoidHeight = 1;
    if (HasGrids(record->header)) {
        double misclosure[3] = {0.0, 0.0, 0.0};
        double previous[3] = {kLargest, kLargest, kLargest};
        int round = 0;
        for (; round < kRounds; ++round) {
            w.latitude -= misclosure[0];
            w.longitude -= misclosure[1];
            w.ellipsoidHeight -= misclosure[2];
            csib_GeodeticPoint forward{};
            if ((status = FromWGS84Record(record, &w, &forward)) < 0) return status;
            misclosure[0] = forward.latitude - in->latitude;
            misclosure[1] = forward.longitude - in->longitude;
            misclosure[2] = forward.ellipsoidHeight - in->ellipsoidHeight;
            const bool settled = std::fabs(misclosure[0] - previous[0]) < kAngleSettled &&
                                 std::fabs(misclosure[1] - previous[1]) < kAngleSettled &&
                                 std::fabs(misclosure[2] - previous[2]) < kHeightSettled;
            if (settled) break;
            std::memcpy(previous, misclosure, sizeof previous);
        }
        if (round == kRounds) return CSIB_IterationLimit;
    }
    SetOutput(w, out);
    return CSIB_Ok;
}

csib_Status rtcm_GetParameters(csib_Block* block, int16_t index, void** parameter) {
    if (!parameter) return CSIB_MissingOutput;
    *parameter = index == 0 ? Record(block)->fileName : nullptr;
    return CSIB_Ok;
}

csib_Status rtcm_GetSavedSize(csib_Block* block, uint8_t, int32_t* size) {
    if (!size) return CSIB_MissingOutput;
    *size = static_cast<int32_t>(std::strlen(Record(block)->fileName)) + 1;
    return CSIB_Ok;
}

}  // namespace

void rtcm_EncodeHeader(const rtcm_Header* header, uint8_t out[RTCM_HeaderBytes]) {
    const rtcm_Header& h = *header;
    Writer w{out};
    HeaderFields(w, h);
    w.Double(h.centreLatitude);
    w.Double(h.centreLongitude);
    w.Double(h.latitudeExtent);
    w.Double(h.longitudeExtent);
    w.Doubles(h.translation, 3);
    w.Doubles(h.rotation, 3);
    w.Double(h.scale);
    w.Doubles(h.rotationPoint, 3);
    w.Double(h.sourceA);
    w.Double(h.sourceB);
    w.Double(h.targetA);
    w.Double(h.targetB);
    HeaderTail(w, h);
    w.Double(h.latitudeSpacing);
    w.Double(h.longitudeSpacing);
    w.Raw(&h.horizontalMethod, 1);
    w.Raw(&h.heightMethod, 1);
    w.Raw(h.spare4, sizeof h.spare4);
    w.Int(h.gridId);
    w.Raw(h.spare5, sizeof h.spare5);
}

void rtcm_DecodeHeader(const uint8_t in[RTCM_HeaderBytes], rtcm_Header* header) {
    rtcm_Header& h = *header;
    Reader r{in};
    HeaderFields(r, h);
    h.centreLatitude = r.Double();
    h.centreLongitude = r.Double();
    h.latitudeExtent = r.Double();
    h.longitudeExtent = r.Double();
    r.Doubles(h.translation, 3);
    r.Doubles(h.rotation, 3);
    h.scale = r.Double();
    r.Doubles(h.rotationPoint, 3);
    h.sourceA = r.Double();
    h.sourceB = r.Double();
    h.targetA = r.Double();
    h.targetB = r.Double();
    HeaderTail(r, h);
    h.latitudeSpacing = r.Double();
    h.longitudeSpacing = r.Double();
    r.Raw(&h.horizontalMethod, 1);
    r.Raw(&h.heightMethod, 1);
    r.Raw(h.spare4, sizeof h.spare4);
    h.gridId = r.Int();
    r.Raw(h.spare5, sizeof h.spare5);
}

csib_Status rtcm_Init(rtcm_Transformation* record) {
    std::memset(record, 0, sizeof *record);
    return rtcm_SetGridSize(record, 0, 0);
}

csib_Status rtcm_Reset(rtcm_Transformation* record) { return rtcm_SetGridSize(record, 0, 0); }

csib_Status rtcm_SetGridSize(rtcm_Transformation* record, int32_t rows, int32_t columns) {
    std::memcpy(record->header.title, RTCM_Title, sizeof RTCM_Title);
    record->header.version = RTCM_Version;
    for (auto& layer : record->residuals) {
        for (double*& row : layer) {
            csib_MemFree(row);
            row = nullptr;
        }
    }
    record->south = record->west = record->north = record->east = 0.0;
    record->rows = record->columns = 0;
    if (rows > RTCM_MaxNodes || columns > RTCM_MaxNodes) return CSIB_TooLarge;
    if (rows < 0 || columns < 0) return CSIB_BadGridDimensions;
    record->rows = rows;
    record->columns = columns;
    return CSIB_Ok;
}

csib_Status rtcm_GetResidual(const rtcm_Transformation* record, int layer, int32_t row, int32_t column,
                             double* value) {
    *value = RTCM_Empty;
    if (layer < 0 || layer > 2 || row < 0 || row >= record->rows || column < 0 || column >= record->columns)
        return CSIB_OutsideGrid;
    if (const double* values = record->residuals[layer][row]) *value = values[column];
    return CSIB_Ok;
}

csib_Status rtcm_SetResidual(rtcm_Transformation* record, int layer, int32_t row, int32_t column, double value) {
    if (layer < 0 || layer > 2 || row < 0 || row >= record->rows || column < 0 || column >= record->columns)
        return CSIB_OutsideGrid;
    double*& values = record->residuals[layer][row];
    if (!values) {
        values = static_cast<double*>(csib_MemAlloc(sizeof(double) * static_cast<std::size_t>(record->columns)));
        if (!values) return CSIB_OutOfMemory;
        for (int32_t c = 0; c < record->columns; ++c) values[c] = RTCM_Empty;
    }
    values[column] = value;
    return CSIB_Ok;
}

csib_Status rtcm_SetArea(rtcm_Transformation* record) {
    const rtcm_Header& h = record->header;
    record->south = h.centreLatitude - h.latitudeExtent / 2.0;
    record->north = h.centreLatitude + h.latitudeExtent / 2.0;
    record->west = h.centreLongitude - h.longitudeExtent / 2.0;
    record->east = h.centreLongitude + h.longitudeExtent / 2.0;
    return CSIB_Ok;
}

csib_Status rtcm_BuildRotation(rtcm_Transformation* record) {
    const rtcm_Header& h = record->header;
    double* r = record->rotation;
    if (h.computationMode == 1) {
        csib_HelmertParameters exact{};
        exact.values[CSIB_HelmertRx] = h.rotation[0];
        exact.values[CSIB_HelmertRy] = h.rotation[1];
        exact.values[CSIB_HelmertRz] = h.rotation[2];
        csib_HelmertRotation(&exact);
        std::memcpy(r, exact.r, sizeof exact.r);
    } else if (h.computationMode == 2) {
        const double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        std::memcpy(r, identity, sizeof identity);
    } else {
        const double rx = h.rotation[0], ry = h.rotation[1], rz = h.rotation[2];
        const double small[9] = {1.0, rz, -ry, -rz, 1.0, rx, ry, -rx, 1.0};
        std::memcpy(r, small, sizeof small);
    }
    return CSIB_Ok;
}

double rtcm_Quadratic(double a, double b, double c, double t) {
    if (IsEmpty(a) || IsEmpty(b) || IsEmpty(c)) return RTCM_Empty;
    return a + (b - a) * (t + 1.0) + t * (t + 1.0) / 2.0 * ((c - b) - (b - a));
}

double rtcm_Cubic(double a, double b, double c, double d, double t) {
    if (IsEmpty(a) || IsEmpty(b) || IsEmpty(c) || IsEmpty(d)) return RTCM_Empty;
    return b + t * (c - a) + t * t * (2.0 * a - 2.0 * b + c - d) + t * t * t * (b - a - c + d);
}

csib_Status rtcm_InterpolateResidual(const rtcm_Transformation* record, double latitude, double longitude, int layer,
                                     int method, double* value) {
    *value = RTCM_Empty;
    if (!(latitude >= record->south && latitude <= record->north) ||
        !(longitude >= record->west && longitude <= record->east))
        return CSIB_OutsideGrid;
    if (!record->fileName[0]) return CSIB_NoFileName;
    const double x = (latitude - record->south) / record->header.latitudeSpacing;
    const double y = (longitude - record->west) / record->header.longitudeSpacing;
    const int32_t i = static_cast<int32_t>(x), j = static_cast<int32_t>(y);
    const double fx = x - i, fy = y - j;
    const int32_t rows = record->rows, columns = record->columns;
    double result = RTCM_Empty;
    switch (method) {
        case 0: {
            if (!(i >= 0 && i + 1 < rows && j >= 0 && j + 1 < columns)) return CSIB_OutsideGrid;
            const double v00 = Value(record, layer, i, j), v10 = Value(record, layer, i + 1, j);
            const double v11 = Value(record, layer, i + 1, j + 1), v01 = Value(record, layer, i, j + 1);
            if (IsEmpty(v00) || IsEmpty(v10) || IsEmpty(v11) || IsEmpty(v01)) return CSIB_NullCell;
            result = v00 * (1 - fx) * (1 - fy) + v10 * fx * (1 - fy) + v11 * fx * fy + v01 * (1 - fx) * fy;
            break;
        }
        case 1: {
            if (!(i >= 1 && i + 1 < rows && j >= 1 && j + 1 < columns)) return CSIB_OutsideGrid;
            double across[3];
            for (int k = 0; k < 3; ++k) {
                const int32_t row = i - 1 + k;
                across[k] = rtcm_Quadratic(Value(record, layer, row, j - 1), Value(record, layer, row, j),
                                           Value(record, layer, row, j + 1), fy);
            }
            result = rtcm_Quadratic(across[0], across[1], across[2], fx);
            break;
        }
        case 2: {
            if (!(i >= 1 && i + 2 < rows && j >= 1 && j + 2 < columns)) return CSIB_OutsideGrid;
            double across[4];
            for (int k = 0; k < 4; ++k) {
                const int32_t row = i - 1 + k;
                across[k] = rtcm_Cubic(Value(record, layer, row, j - 1), Value(record, layer, row, j),
                                       Value(record, layer, row, j + 1), Value(record, layer, row, j + 2), fy);
            }
            result = rtcm_Cubic(across[0], across[1], across[2], across[3], fx);
            break;
        }
        default: return CSIB_InterpolationNotSupported;
    }
    if (IsEmpty(result)) return CSIB_NullCell;
    *value = result;
    return CSIB_Ok;
}

csib_Status rtcm_ReadHeader(rtcm_Transformation* record, const char* fileName) {
    return ReadHeaderBytes(fileName, &record->header);
}

csib_Status rtcm_ReadFile(rtcm_Transformation* record) {
    if (!record->fileName[0]) {
        rtcm_Reset(record);
        return CSIB_NoFileName;
    }
    std::FILE* file = csib_OpenFile(record->fileName, "rb");
    if (!file) return CSIB_FileOpenFailed;
    rtcm_Reset(record);
    const csib_Status status = ReadOpenFile(record, file);
    csib_FileClose(file);
    if (status != CSIB_Ok) rtcm_Reset(record);
    return status;
}

csib_Status rtcm_WriteFile(const rtcm_Transformation* record) {
    if (!record->fileName[0]) return CSIB_NoFileName;
    if (!ExpectedTitle(record->header)) return CSIB_FileContentInvalid;
    std::FILE* file = csib_OpenFile(record->fileName, "wb");
    if (!file) return CSIB_FileOpenFailed;
    uint8_t bytes[RTCM_HeaderBytes];
    rtcm_EncodeHeader(&record->header, bytes);
    bool written = Put(file, bytes, sizeof bytes);
    if (written && HasGrids(record->header)) written = WriteLayers(record, file);
    if (csib_FileClose(file) != 0) written = false;
    return written ? CSIB_Ok : CSIB_FileWriteFailed;
}

csib_Status rtcm_StoreResidualBlock(rtcm_Transformation* record, const uint8_t* block) {
    if (block[4] != record->header.systemId) return CSIB_MissingOutput;
    const auto at = [block](int index) {
        double value;
        std::memcpy(&value, block + 8 * index, 8);
        return value;
    };
    const double latitudeSpacing = record->header.latitudeSpacing;
    const double longitudeSpacing = record->header.longitudeSpacing;
    const double cornerLatitude = at(8) - 1.5 * latitudeSpacing;
    const double cornerLongitude = at(9) - 1.5 * longitudeSpacing;
    // Rounded to the nearest node on either side of the grid's edge.
    const double firstRow = std::floor((cornerLatitude - record->south) / latitudeSpacing + 0.5);
    const double firstColumn = std::floor((cornerLongitude - record->west) / longitudeSpacing + 0.5);
    if (!(std::fabs(firstRow) < 1e9 && std::fabs(firstColumn) < 1e9)) return CSIB_OutsideGrid;
    bool changed = false;
    for (int s = 0; s < 4; ++s) {
        const int32_t row = static_cast<int32_t>(firstRow) + s;
        for (int t = 0; t < 4; ++t) {
            const int32_t column = static_cast<int32_t>(firstColumn) + t;
            if (row < 0 || row >= record->rows || column < 0 || column >= record->columns) continue;
            for (int layer = 0; layer < 3; ++layer) {
                const double value = at(13 + 16 * layer + 4 * (3 - s) + t);
                double stored = RTCM_Empty;
                csib_Status status = rtcm_GetResidual(record, layer, row, column, &stored);
                if (status == CSIB_Ok && value != stored) {
                    status = rtcm_SetResidual(record, layer, row, column, value);
                    changed = true;
                }
                if (status != CSIB_Ok) return status;
            }
        }
    }
    return changed ? rtcm_WriteFile(record) : CSIB_Ok;
}

csib_Status rtcm_HeadersEqual(const rtcm_Transformation* a, const rtcm_Transformation* b) {
    if (!a || !b) return CSIB_MissingOutput;
    uint8_t x[RTCM_HeaderBytes], y[RTCM_HeaderBytes];
    rtcm_EncodeHeader(&a->header, x);
    rtcm_EncodeHeader(&b->header, y);
    return std::memcmp(x, y, sizeof x) == 0 ? CSIB_Ok : CSIB_MissingOutput;
}

void rtcm_FormatBound(double value, const char* letters, char out[16]) {
    double tenths = std::trunc(value * 1800.0 / kPi + 0.5);
    // A bound no area has: kept to eight digits.
    if (!(std::fabs(tenths) < 1e8)) tenths = std::isnan(tenths) ? 0.0 : 99999999.0;
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d", static_cast<int>(std::fabs(tenths)));
    const std::size_t length = std::strlen(digits);
    std::memcpy(out, digits, length - 1);
    out[length - 1] = value < 0.0 ? letters[1] : letters[0];
    out[length] = digits[length - 1];
    out[length + 1] = 0;
}

csib_Status rtcm_GetFileName(const rtcm_Transformation* record, char* buffer, int32_t size) {
    if (!buffer || size < RTCM_FileNameSize) return CSIB_MissingOutput;
    const rtcm_Header& h = record->header;
    char south[16], north[16], west[16], east[16];
    rtcm_FormatBound(record->south, "NS", south);
    rtcm_FormatBound(record->north, "NS", north);
    rtcm_FormatBound(record->west, "EW", west);
    rtcm_FormatBound(record->east, "EW", east);
    int used = std::snprintf(buffer, static_cast<std::size_t>(size), "%.32s-%d-%s-%s-%s-%s-%c%c%c%c", h.targetName,
                             h.systemId, south, north, west, east, 'A' + h.computationMode, 'A' + h.heightMode,
                             'A' + h.indicators[0], 'A' + h.indicators[1]);
    if (HasGrids(h) && used >= 0 && used < size)
        used += std::snprintf(buffer + used, static_cast<std::size_t>(size - used), "-%04X",
                              static_cast<unsigned>(h.gridId));
    if (used >= 0 && used < size) std::snprintf(buffer + used, static_cast<std::size_t>(size - used), ".RTD");
    return CSIB_Ok;
}

csib_Status rtcm_TransformForward(const rtcm_Transformation* record, const csib_GeodeticPoint* in,
                                  csib_GeodeticPoint* out) {
    const rtcm_Header& h = record->header;
    double x[3];
    csib_Status status = csib_GeodeticToECEF(kWGS84A, kWGS84B, in, &x[0], &x[1], &x[2]);
    if (status < 0) return status;
    double y[3];
    if (h.computationMode == 2) {
        for (int k = 0; k < 3; ++k) y[k] = x[k] + h.translation[k];
    } else {
        const double* p = h.computationMode == 3 ? h.rotationPoint : nullptr;
        double d[3];
        for (int k = 0; k < 3; ++k) d[k] = x[k] - (p ? p[k] : 0.0);
        const double* r = record->rotation;
        for (int k = 0; k < 3; ++k) {
            const double rotated = r[3 * k] * d[0] + r[3 * k + 1] * d[1] + r[3 * k + 2] * d[2];
            y[k] = (p ? p[k] : 0.0) + h.translation[k] + h.scale * rotated;
        }
    }
    return csib_ECEFToGeodetic(h.targetA, h.targetB, y[0], y[1], y[2], out);
}

csib_Status rtcm_TransformReverse(const rtcm_Transformation* record, const csib_GeodeticPoint* in,
                                  csib_GeodeticPoint* out) {
    const rtcm_Header& h = record->header;
    double y[3];
    csib_Status status = csib_GeodeticToECEF(h.targetA, h.targetB, in, &y[0], &y[1], &y[2]);
    if (status < 0) return status;
    double x[3];
    if (h.computationMode == 2) {
        for (int k = 0; k < 3; ++k) x[k] = y[k] - h.translation[k];
    } else {
        const double* p = h.computationMode == 3 ? h.rotationPoint : nullptr;
        double d[3];
        for (int k = 0; k < 3; ++k) d[k] = (y[k] - h.translation[k] - (p ? p[k] : 0.0)) / h.scale;
        const double* r = record->rotation;
        for (int k = 0; k < 3; ++k) x[k] = (p ? p[k] : 0.0) + r[k] * d[0] + r[3 + k] * d[1] + r[6 + k] * d[2];
    }
    return csib_ECEFToGeodetic(kWGS84A, kWGS84B, x[0], x[1], x[2], out);
}

const csib_DatumFunctions csib_RtcmFunctions = {
    rtcm_Load, csib_NoFileWork, csib_NoFileWork, rtcm_Free, rtcm_Save, rtcm_FromWGS84, rtcm_ToWGS84,
    rtcm_GetParameters, rtcm_GetSavedSize,
};
