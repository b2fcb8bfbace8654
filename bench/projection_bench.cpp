// Inverses per second of the projection kinds whose inverse is a series, a fitted
// polynomial or an earth-centred conversion, over grid points spread across each
// system's area of use (north and east relative to the false origin).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "csib/csib.h"
#include "csib/geodesy.h"
#include "csib/image.h"
#include "csib/projection_national.h"

namespace {

constexpr double kDeg = 3.141592653589793 / 180.0;

struct GridValue {
    double north, east;
};

struct System {
    uint8_t kind;
    double a, b;
    double originLatitude, originLongitude, scale;  // degrees; the national kinds load their own
    std::vector<GridValue> points;
};

const System kTM{14, 6378137.0, 6356752.314245179, 0, 9, 0.9996,
                 {{-8883085, -58132}, {-4321059, 259800}, {221366, -333776}, {4765183, 244533}, {9329005, 34995},
                  {-4333938, -519749}, {222286, 668474}, {4778314, -489113}}};
const System kCassini{2, 6378137.0, 6356752.314245179, 52, 0, 1,
                      {{-437167, -298367}, {-220579, 143374}, {1889, -137339}, {224425, 131134},
                       {452444, -249432}, {-442980, 149234}, {7560, 274573}, {447025, -124768}}};
const System kRD{12, 6377397.155, 6356078.962818189, 0, 0, 1,
                 {{-154115, -154365}, {-156075, -59817}, {-47808, -58560}, {-48034, 34015}, {62371, -147855},
                  {60246, 33280}, {168773, -56020}, {169987, 121093}}};
const System kKrovak{3, 6377397.155, 6356078.962818189, 0, 0, 1,
                     {{-1276319, -951556}, {-1339618, -431858}, {-1191448, -677461}, {-1229974, -166823},
                      {-1068928, -662529}, {-1106579, -163170}, {-946369, -647598}, {-983088, -159524}}};
const System kNZMG{6, 6378388.0, 6356911.946127946, 0, 0, 1,
                   {{-759023, -498237}, {-740632, 115874}, {-240106, -206886}, {-252051, 458214},
                    {261741, -221614}, {249133, 490099}, {764032, -233597}, {749948, 521036}}};
const System kEOV{17, 6378160.0, 6356774.516090714, 0, 0, 1,
                  {{-151817, -228693}, {-154861, 123614}, {-50659, -51653}, {-43626, 294502}, {54576, -50744},
                   {61486, 289320}, {159843, -49834}, {166631, 284136}}};
const System kPlane{10, 6378137.0, 6356752.314245179, 52, 5, 1,
                    {{-20000, -15000}, {-8000, 12000}, {0, 0}, {5000, -24000}, {12000, 9000}, {20000, 20000},
                     {-15000, 3000}, {24000, -6000}}};

// `base` gives what each grid point holds besides its north and east.
void Inverses(benchmark::State& state, csib_Block* block, const std::vector<GridValue>& points,
              const csib_GridPoint& base = {0.0, 0.0, 0.0, 0.0, 0, 0, 0, 0}) {
    double sum = 0.0;
    std::size_t i = 0;
    for (auto _ : state) {
        const GridValue& p = points[i++ % points.size()];
        csib_GridPoint grid = base;
        grid.north = p.north;
        grid.east = p.east;
        csib_GeodeticPoint out{};
        block->projection.Inverse(block, &grid, &out);
        sum += out.latitude;
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

void Kind(benchmark::State& state, const System& s) {
    csib_Block* block = nullptr;
    csib_Create(&block, 1, s.a, s.b);
    block->originLatitude = s.originLatitude * kDeg;
    block->originLongitude = s.originLongitude * kDeg;
    block->scaleFactor = s.scale;
    csib_SetProjection(block, s.kind, nullptr);
    Inverses(state, block, s.points);
    csib_Free(&block);
}

// The oblique earth-centred plane about 52 N 5 E, turned a little on each axis.
void EcefPlane(benchmark::State& state) {
    csib_Block* block = nullptr;
    csib_Create(&block, 1, 6378137.0, 6356752.3142);
    const csib_GeodeticPoint origin{52.0 * kDeg, 5.0 * kDeg, 40.0, 0.0, 1, 0};
    double saved[10] = {0.0, 0.0, 0.0, 1000.0, 2000.0, 40.0, 1e-5, -2e-5, 0.3, 1.0000123};
    csib_GeodeticToECEF(6378137.0, 6356752.3142, &origin, &saved[0], &saved[1], &saved[2]);
    uint8_t image[80];
    for (int i = 0; i < 10; ++i) csib_PutDouble(image + 8 * i, saved[i]);
    csib_SetProjection(block, 13, image);
    std::vector<GridValue> points;
    for (const GridValue& p : kPlane.points) points.push_back({p.north + 2000.0, p.east + 1000.0});
    Inverses(state, block, points, {0.0, 0.0, 0.0, 45.0, 0, 0, 0, 1});
    csib_Free(&block);
}

// Jutland's area with degree-2 tables about its centres (back within 8 mm).
void Denmark(benchmark::State& state) {
    const double toArea[] = {2, 179608.367287, 1, 3e-9, 0, 1e-9, 0, 6211357.565339,
                             259884.1271, -1, -1e-9, 0, 0, 0, 535887.734971};
    const double toUtm[] = {2, 6211357.565339, 1, -3e-9, 0, 1e-9, 0, 179608.367287,
                            535887.734971, -1, -1e-9, 0, 0, 0, 259884.1271};
    denmark_SetAreaTables(1, toArea, toUtm);
    csib_Block* block = nullptr;
    csib_Create(&block, 1, 6378137.0, 6356752.3142);
    const uint8_t area = 1;
    csib_SetProjection(block, 16, &area);
    const std::vector<GridValue> points{{192431.9458, 279436.6795}, {116218.0710, 170062.8643},
                                        {150000.0, 250000.0},       {230000.0, 200000.0}};
    Inverses(state, block, points);
    csib_Free(&block);
    denmark_SetAreaTables(1, nullptr, nullptr);
}

// The kinds whose inverse is a closed form, about 47 N 8 E, with the saved part each needs.
void ClosedForm(benchmark::State& state, uint8_t kind) {
    csib_Block* block = nullptr;
    csib_Create(&block, 1, 6378137.0, 6356752.3142);
    block->originLatitude = 47.0 * kDeg;
    block->originLongitude = 8.0 * kDeg;
    block->scaleFactor = 0.9999;
    std::vector<uint8_t> saved(16);
    const double parallels[2] = {45.0 * kDeg, 49.0 * kDeg};
    for (int i = 0; i < 2; ++i) csib_PutDouble(saved.data() + 8 * i, parallels[i]);
    if (kind == 4) saved = {1};
    if (kind == 8) {
        saved = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        csib_PutDouble(saved.data() + 3, 0.5);
    }
    csib_SetProjection(block, kind, saved.data());
    std::vector<GridValue> points;
    for (const GridValue& p : kPlane.points) points.push_back({p.north * 10.0, p.east * 10.0});
    if (kind == 5) {  // Mercator's northing counts from the equator
        for (GridValue& p : points) p.north += 5900000.0;
    }
    Inverses(state, block, points);
    csib_Free(&block);
}

}  // namespace

BENCHMARK_CAPTURE(Kind, TransverseMercator, kTM);
BENCHMARK_CAPTURE(Kind, CassiniSoldner, kCassini);
BENCHMARK_CAPTURE(Kind, RDStereographic, kRD);
BENCHMARK_CAPTURE(Kind, Krovak, kKrovak);
BENCHMARK_CAPTURE(Kind, NewZealandMapGrid, kNZMG);
BENCHMARK_CAPTURE(Kind, HungarianEOV, kEOV);
BENCHMARK_CAPTURE(Kind, Plane, kPlane);
BENCHMARK(EcefPlane);
BENCHMARK(Denmark);
BENCHMARK_CAPTURE(ClosedForm, Albers, 1);
BENCHMARK_CAPTURE(ClosedForm, Lambert, 4);
BENCHMARK_CAPTURE(ClosedForm, Mercator, 5);
BENCHMARK_CAPTURE(ClosedForm, ObliqueCylindrical, 7);
BENCHMARK_CAPTURE(ClosedForm, ObliqueMercator, 8);
BENCHMARK_CAPTURE(ClosedForm, ObliqueStereographic, 9);
BENCHMARK_CAPTURE(ClosedForm, PolarStereographic, 11);
BENCHMARK_CAPTURE(ClosedForm, DoubleStereographic, 18);
