// Denmark, kind 16: transverse Mercator on the area's UTM zone (9 E for Jutland and
// Zealand, 15 E for Bornholm), then a bivariate polynomial from UTM to the area's
// system. Record: csib_DenmarkParameters; saved part: the area byte. Scale and
// convergence are the transverse Mercator's.
#include <cmath>

#include "csib/csibplatform.h"
#include "csib/kinds.h"
#include "csib/projection_national.h"
#include "csib/projection_tm.h"

namespace {

constexpr uint8_t kAreaCount = 3;
constexpr double kCloseEnough = 0.06;

struct Bounds {
    double northMin, northMax, eastMin, eastMax;  // UTM, open
    double areaMin, areaMax;                      // both area coordinates, open
};
constexpr Bounds kBounds[kAreaCount] = {
    {5900000.0, 6500000.0, 300000.0, 900000.0, -100000.0, 500000.0},
    {5900000.0, 6400000.0, 400000.0, 1000000.0, -100000.0, 400000.0},
    {6000000.0, 6200000.0, 400000.0, 600000.0, -50000.0, 150000.0},
};

// One slot per area: UTM to the area system, and back.
struct AreaTables {
    const double* toArea;
    const double* toUtm;
};
AreaTables tables[kAreaCount] = {};

csib_DenmarkParameters* Record(csib_Block* block) {
    return static_cast<csib_DenmarkParameters*>(block->projectionParameters);
}

bool Inside(double x, double low, double high) { return x > low && x < high; }

// Both outputs of one table at (p, q), each coefficient run read from its end.
void Evaluate(const double* table, double p, double q, double* first, double* second) {
    const int degree = static_cast<int>(table[0]);
    const int count = (degree + 1) * (degree + 2) / 2;
    const double* c = table + 1;  // c[0..count-1], then x0
    const double* d = c + count + 1;  // d[0..count-1], then y0
    const double x = p - c[count];
    const double y = q - d[count];
    int at = count - 1;
    double u = c[at];
    double v = d[at];
    for (int j = degree; j >= 1; --j) {
        --at;
        double n = c[at];
        double o = d[at];
        for (int k = degree; k >= j; --k) {
            --at;
            n = n * x + c[at];
            o = o * y + d[at];
        }
        u = n + y * u;
        v = o + x * v;
    }
    *first = u;
    *second = v;
}

csib_Status Load(csib_Block* block, const uint8_t* saved) {
    auto* record = static_cast<csib_DenmarkParameters*>(csib_MemAlloc(sizeof(csib_DenmarkParameters)));
    if (!record) return CSIB_OutOfMemory;
    record->area = saved ? saved[0] : 0;
    block->projectionParameters = record;
    block->projectionKind = 16;
    block->originLatitude = 0.0;
    block->originLongitude = record->area == 3 ? 0.2617993877991494 : 0.15707963267948966;
    block->falseNorthing = 0.0;
    block->falseEasting = 500000.0;
    block->scaleFactor = 0.9996;
    csib_FillTMParameters(block, &record->tm);
    return CSIB_Ok;
}

csib_Status Save(csib_Block* block, uint8_t* out, uint8_t) {
    out[0] = Record(block)->area;
    return CSIB_Ok;
}

csib_Status GetParameters(csib_Block* block, int16_t index, void** parameter) {
    if (!parameter) return CSIB_MissingOutput;
    *parameter = index == 0 ? &Record(block)->area : nullptr;
    return CSIB_Ok;
}

// A point outside the area gets no coordinates; one whose way back misses keeps them
// with the status.
csib_Status Forward(csib_Block* block, const csib_GeodeticPoint* in, csib_GridPoint* out) {
    csib_GridPoint utm = *out;
    csib_Status status = tm_Forward(block, in, &utm);
    if (status < 0) return status;
    double x = 0.0, y = 0.0;
    status = denmark_Polynomial(utm.north + block->falseNorthing, utm.east + block->falseEasting, &x, &y,
                                Record(block)->area, 1);
    if (status != CSIB_Ok && status != CSIB_NotConverged) return status;
    *out = utm;
    out->north = x - block->falseNorthing;
    out->east = -(y - block->falseEasting);
    return status;
}

csib_Status Inverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    if (csib_NullInverse(in, out)) return CSIB_Ok;
    const double gridNorth = in->north, gridEast = in->east;
    double north = 0.0, east = 0.0;
    const csib_Status status = denmark_Polynomial(in->north + block->falseNorthing, -in->east + block->falseEasting,
                                                  &north, &east, Record(block)->area, -1);
    if (status != CSIB_Ok && status != CSIB_NotConverged) return status;
    in->north = north - block->falseNorthing;
    in->east = east - block->falseEasting;
    const csib_Status tm = tm_Inverse(block, in, out);
    if (tm < 0 || status != CSIB_Ok) return tm < 0 ? tm : status;
    // The two polynomials invert each other only to millimetres: the point gives way to
    // this kind's own forward.
    return csib_RefineInverse(block, Forward, gridNorth, gridEast, out, CSIB_NotConverged);
}

}  // namespace

void denmark_SetAreaTables(uint8_t area, const double* toArea, const double* toUtm) {
    if (area >= 1 && area <= kAreaCount) tables[area - 1] = {toArea, toUtm};
}

csib_Status denmark_Polynomial(double north, double east, double* outNorth, double* outEast, uint8_t area,
                               int direction) {
    if (!outNorth || !outEast) return CSIB_MissingOutput;
    if (direction == 0) return CSIB_MissingOutput;
    if (area < 1 || area > kAreaCount) return CSIB_OutsideArea;
    const Bounds& b = kBounds[area - 1];
    const AreaTables& t = tables[area - 1];
    if (!t.toArea || !t.toUtm) return CSIB_OutsideArea;
    const bool fromUtm = direction >= 1;
    const bool inside = fromUtm ? Inside(north, b.northMin, b.northMax) && Inside(east, b.eastMin, b.eastMax)
                                : Inside(north, b.areaMin, b.areaMax) && Inside(east, b.areaMin, b.areaMax);
    if (!inside) return CSIB_OutsideArea;
    Evaluate(fromUtm ? t.toArea : t.toUtm, north, east, outNorth, outEast);
    double checkNorth = 0.0, checkEast = 0.0;
    Evaluate(fromUtm ? t.toUtm : t.toArea, *outNorth, *outEast, &checkNorth, &checkEast);
    if (std::fabs(checkNorth - north) < kCloseEnough && std::fabs(checkEast - east) < kCloseEnough) return CSIB_Ok;
    return CSIB_NotConverged;
}

const csib_ProjectionFunctions csib_DenmarkFunctions = {
    Load,    csib_NoFileWork, csib_NoFileWork, csib_FreeProjectionRecord, Save,        Forward,
    Inverse, tm_ScaleFactor,  tm_Convergence,  GetParameters,             csib_FixedSavedSize<1>,
};
