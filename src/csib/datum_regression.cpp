// Datum kind 2, multiple regression equations: latitude, longitude (arc-seconds) and
// height (metres) shifts as polynomials in the scaled latitude and longitude
// differences from a mean point. The model comes from a text parameter file (grid
// mode 1) or from the saved part.
//
// Saved part: the file name and its NUL (images from 1.1 on); in embedded mode then
// k, mean latitude, mean longitude (doubles) and per series its count and per term the
// coefficient (double) and the two powers (2-byte fields in the image's byte order).
//
// Text file, lines of at most 79 characters (a CR before the line end is ignored):
// k, mean latitude and mean longitude; then per series a line with its term count and
// one line per term: coefficient, latitude power, longitude power.
#include <cmath>
#include <cstring>

#include "csib/csibplatform.h"
#include "csib/datum.h"
#include "csib/image.h"
#include "csib/kinds.h"

namespace {

constexpr int kSeries = 3;
constexpr int kRounds = 100;
constexpr double kAngleSettled = 1e-15;
constexpr double kHeightSettled = 1e-12;
constexpr double kPi = 3.141592653589793;
constexpr double kDegree = kPi / 180.0;
constexpr double kArcSecond = kPi / (180.0 * 3600.0);
constexpr int kMaxLine = 79;
constexpr int32_t kTermBytes = 12;

csib_RegressionDatum* Record(const csib_Block* block) {
    return static_cast<csib_RegressionDatum*>(block->datumParameters);
}

bool HasFileName(const csib_Block* block) { return block->version >= 1.1; }

// Powers index the tables of U^0..U^9; the first term is the constant and indexes none.
bool ValidTerm(const csib_RegressionSeries& s, int term) {
    if (term == 0) return true;
    return s.latitudePowers[term] >= 0 && s.latitudePowers[term] <= CSIB_RegressionMaxPower &&
           s.longitudePowers[term] >= 0 && s.longitudePowers[term] <= CSIB_RegressionMaxPower;
}

csib_Status AllocateSeries(csib_RegressionSeries& s, int32_t count) {
    if (count < 0 || count > INT16_MAX) return CSIB_RegressionFileInvalid;
    s.count = static_cast<int16_t>(count);
    if (count == 0) return CSIB_Ok;
    s.coefficients = static_cast<double*>(csib_MemAlloc(sizeof(double) * static_cast<std::size_t>(count)));
    s.latitudePowers = static_cast<int16_t*>(csib_MemAlloc(sizeof(int16_t) * static_cast<std::size_t>(count)));
    s.longitudePowers = static_cast<int16_t*>(csib_MemAlloc(sizeof(int16_t) * static_cast<std::size_t>(count)));
    if (!s.coefficients || !s.latitudePowers || !s.longitudePowers) return CSIB_RegressionFileInvalid;
    return CSIB_Ok;
}

// --- The text parameter file ------------------------------------------------------

struct TextFile {
    std::FILE* file;
    char line[kMaxLine + 4];  // the characters, CR, LF and the terminator
    char* at = line;

    // False at the end of the file or for a line that is too long.
    bool NextLine() {
        if (!csib_FileGets(line, sizeof line, file)) return false;
        std::size_t length = std::strlen(line);
        if (length > 0 && line[length - 1] == '\n') line[--length] = 0;
        if (length > 0 && line[length - 1] == '\r') line[--length] = 0;
        at = line;
        return length <= static_cast<std::size_t>(kMaxLine);
    }
    // The next space-separated field; false when the line has ended.
    bool Field(double* value) {
        while (*at == ' ' || *at == '\t') ++at;
        if (*at == 0) return false;
        *value = csib_ParseDouble(at);
        while (*at != 0 && *at != ' ' && *at != '\t') ++at;
        return true;
    }
};

csib_Status ReadSeries(TextFile& in, csib_RegressionSeries& s) {
    double count = 0.0;
    if (!in.NextLine() || !in.Field(&count) || !(count >= 0.0 && count <= INT16_MAX))
        return CSIB_RegressionFileInvalid;
    csib_Status status = AllocateSeries(s, static_cast<int32_t>(count));
    if (status < 0) return status;
    for (int i = 0; i < s.count; ++i) {
        double c = 0.0, lat = 0.0, lon = 0.0;
        if (!in.NextLine() || !in.Field(&c) || !in.Field(&lat) || !in.Field(&lon)) return CSIB_RegressionFileInvalid;
        if (!(std::fabs(lat) <= INT16_MAX && std::fabs(lon) <= INT16_MAX)) return CSIB_RegressionFileInvalid;
        s.coefficients[i] = c;
        s.latitudePowers[i] = static_cast<int16_t>(lat);
        s.longitudePowers[i] = static_cast<int16_t>(lon);
        if (!ValidTerm(s, i)) return CSIB_RegressionFileInvalid;
    }
    return CSIB_Ok;
}

csib_Status ReadFile(csib_RegressionDatum* record) {
    std::FILE* file = record->fileName ? csib_OpenFile(record->fileName, "r") : nullptr;
    if (!file) return CSIB_RegressionFileInvalid;
    TextFile in{file, {}};
    csib_Status status = CSIB_RegressionFileInvalid;
    if (in.NextLine() && in.Field(&record->scale) && in.Field(&record->meanLatitude) &&
        in.Field(&record->meanLongitude)) {
        status = CSIB_Ok;
        for (int k = 0; k < kSeries && status == CSIB_Ok; ++k) status = ReadSeries(in, record->series[k]);
    }
    csib_FileClose(file);
    return status;
}

// --- The saved part ---------------------------------------------------------------

int16_t GetI16(const uint8_t* bytes, uint8_t swap) {
    int16_t value = 0;
    std::memcpy(&value, bytes, sizeof value);
    if (swap) csib_Swap16(&value);
    return value;
}

void PutI16(uint8_t* bytes, int16_t value) { std::memcpy(bytes, &value, sizeof value); }

csib_Status ReadEmbedded(csib_Block* block, csib_RegressionDatum* record, const uint8_t* at) {
    const uint8_t swap = block->swapBytes;
    record->scale = csib_GetDouble(at, swap);
    record->meanLatitude = csib_GetDouble(at + 8, swap);
    record->meanLongitude = csib_GetDouble(at + 16, swap);
    at += 24;
    for (csib_RegressionSeries& s : record->series) {
        csib_Status status = AllocateSeries(s, GetI16(at, swap));
        if (status < 0) return status;
        at += 2;
        for (int i = 0; i < s.count; ++i, at += kTermBytes) {
            s.coefficients[i] = csib_GetDouble(at, swap);
            s.latitudePowers[i] = GetI16(at + 8, swap);
            s.longitudePowers[i] = GetI16(at + 10, swap);
            if (!ValidTerm(s, i)) return CSIB_RegressionFileInvalid;
        }
    }
    return CSIB_Ok;
}

csib_Status csib_LoadRegressionDatum(csib_Block* block, const uint8_t* saved) {
    auto* record = static_cast<csib_RegressionDatum*>(csib_MemAlloc(sizeof(csib_RegressionDatum)));
    if (!record) return CSIB_OutOfMemory;
    std::memset(record, 0, sizeof *record);
    block->datumParameters = record;
    const uint8_t* at = saved;
    if (HasFileName(block)) {
        const std::size_t length = std::strlen(reinterpret_cast<const char*>(at));
        if (length > 0) {
            record->fileName = static_cast<char*>(csib_MemAlloc(length + 1));
            if (!record->fileName) return CSIB_OutOfMemory;
            std::memcpy(record->fileName, at, length + 1);
        }
        at += length + 1;
    }
    return block->gridMode == 1 ? ReadFile(record) : ReadEmbedded(block, record, at);
}

csib_Status csib_FreeRegressionDatum(csib_Block* block) {
    csib_RegressionDatum* record = Record(block);
    if (record) {
        for (csib_RegressionSeries& s : record->series) {
            csib_MemFree(s.coefficients);
            csib_MemFree(s.latitudePowers);
            csib_MemFree(s.longitudePowers);
        }
        csib_MemFree(record->fileName);
        csib_MemFree(record);
    }
    block->datumParameters = nullptr;
    return CSIB_Ok;
}

csib_Status csib_SaveRegressionDatum(csib_Block* block, uint8_t* out, uint8_t gridMode) {
    const csib_RegressionDatum* record = Record(block);
    out += csib_PutString(out, record->fileName);
    if (gridMode == 1) return CSIB_Ok;
    csib_PutDouble(out, record->scale);
    csib_PutDouble(out + 8, record->meanLatitude);
    csib_PutDouble(out + 16, record->meanLongitude);
    out += 24;
    for (const csib_RegressionSeries& s : record->series) {
        PutI16(out, s.count);
        out += 2;
        for (int i = 0; i < s.count; ++i, out += kTermBytes) {
            csib_PutDouble(out, s.coefficients[i]);
            PutI16(out + 8, s.latitudePowers[i]);
            PutI16(out + 10, s.longitudePowers[i]);
        }
    }
    return CSIB_Ok;
}

csib_Status csib_GetRegressionSavedSize(csib_Block* block, uint8_t gridMode, int32_t* size) {
    if (!size) return CSIB_MissingOutput;
    const csib_RegressionDatum* record = Record(block);
    int32_t bytes = 0;
    if (HasFileName(block))
        bytes += (record->fileName ? static_cast<int32_t>(std::strlen(record->fileName)) : 0) + 1;
    if (gridMode != 1) {
        bytes += 24;
        for (const csib_RegressionSeries& s : record->series) bytes += 2 + kTermBytes * s.count;
    }
    *size = bytes;
    return CSIB_Ok;
}

// --- The shifts -------------------------------------------------------------------

double Series(const csib_RegressionSeries& s, const double* u, const double* v) {
    if (s.count == 0) return 0.0;
    double value = s.coefficients[0];
    for (int i = 1; i < s.count; ++i) value += s.coefficients[i] * u[s.latitudePowers[i]] * v[s.longitudePowers[i]];
    return value;
}

// dLat and dLon in radians, dH in metres.
void Shifts(const csib_RegressionDatum* r, const csib_GeodeticPoint* point, double* dLat, double* dLon, double* dH) {
    double longitude = point->longitude;
    if (r->meanLongitude != 0.0 && longitude < 0.0 && r->meanLongitude > 180.0) longitude += 2.0 * kPi;
    double u[CSIB_RegressionMaxPower + 1], v[CSIB_RegressionMaxPower + 1];
    u[0] = v[0] = 1.0;
    const double u1 = r->scale * (point->latitude / kDegree - r->meanLatitude);
    const double v1 = r->scale * (longitude / kDegree - r->meanLongitude);
    for (int i = 1; i <= CSIB_RegressionMaxPower; ++i) {
        u[i] = u[i - 1] * u1;
        v[i] = v[i - 1] * v1;
    }
    *dLat = Series(r->series[0], u, v) * kArcSecond;
    *dLon = Series(r->series[1], u, v) * kArcSecond;
    *dH = Series(r->series[2], u, v);
}

csib_Status csib_RegressionToWGS84(csib_Block* block, const csib_GeodeticPoint* in, csib_GeodeticPoint* out) {
    const csib_RegressionDatum* r = Record(block);
    *out = *in;
    if (r->series[0].count == 0) return CSIB_Ok;
    double dLat = 0.0, dLon = 0.0, dH = 0.0;
    Shifts(r, in, &dLat, &dLon, &dH);
    out->latitude += dLat;
    out->longitude += dLon;
    out->ellipsoidHeight += dH;
    return CSIB_Ok;
}

csib_Status csib_RegressionFromWGS84(csib_Block* block, const csib_GeodeticPoint* in, csib_GeodeticPoint* out) {
    const csib_RegressionDatum* r = Record(block);
    if (r->series[0].count == 0) {
        *out = *in;
        return CSIB_Ok;
    }
    csib_GeodeticPoint estimate = *in;
    double lastLat = 0.0, lastLon = 0.0, lastH = 0.0;
    for (int round = 0; round < kRounds; ++round) {
        double dLat = 0.0, dLon = 0.0, dH = 0.0;
        Shifts(r, &estimate, &dLat, &dLon, &dH);
        estimate.latitude = in->latitude - dLat;
        estimate.longitude = in->longitude - dLon;
        estimate.ellipsoidHeight = in->ellipsoidHeight - dH;
        if (std::fabs(dLat - lastLat) < kAngleSettled && std::fabs(dLon - lastLon) < kAngleSettled &&
            std::fabs(dH - lastH) < kHeightSettled) {
            *out = estimate;
            return CSIB_Ok;
        }
        lastLat = dLat;
        lastLon = dLon;
        lastH = dH;
    }
    return CSIB_IterationLimit;
}

// Arrays and the file name are given as their storage.
csib_Status csib_GetRegressionParameters(csib_Block* block, int16_t index, void** parameter) {
    if (!parameter) return CSIB_MissingOutput;
    csib_RegressionDatum* r = Record(block);
    *parameter = nullptr;
    if (index == 0) *parameter = &r->scale;
    else if (index == 1) *parameter = &r->meanLatitude;
    else if (index == 2) *parameter = &r->meanLongitude;
    else if (index == 15) *parameter = r->fileName;
    else if (index >= 3 && index < 15) {
        csib_RegressionSeries& s = r->series[(index - 3) / 4];
        void* fields[4] = {&s.count, s.coefficients, s.latitudePowers, s.longitudePowers};
        *parameter = fields[(index - 3) % 4];
    }
    return CSIB_Ok;
}

}  // namespace

const csib_DatumFunctions csib_RegressionFunctions = {
    csib_LoadRegressionDatum, csib_NoFileWork, csib_NoFileWork, csib_FreeRegressionDatum, csib_SaveRegressionDatum,
    csib_RegressionFromWGS84, csib_RegressionToWGS84, csib_GetRegressionParameters, csib_GetRegressionSavedSize,
};
