// Interpolations per second on a file-backed grid of 1000 x 1000 single-precision cells:
// along a line (the cache serves most calls) and at random positions (nearly every call
// reads the file), bilinear and with a 4-node spline.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "csib/csib.h"
#include "csib/gridfile.h"
#include "support/grid_writer.h"

namespace {

constexpr int32_t kNodes = 1000;

std::string WriteGrid(uint8_t methodBits, int16_t window) {
    gridtest::GridLayout s;
    s.rows = kNodes;
    s.columns = kNodes;
    s.south = 0.0;
    s.west = 0.0;
    s.rowSpacing = 0.01;
    s.columnSpacing = 0.01;
    s.cellType = 3;
    s.methodBits = methodBits;
    s.window = window;
    const auto image = gridtest::GridImage(s, [](int32_t r, int32_t c) { return 0.001 * r - 0.002 * c; });
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("gridfile_bench_" + std::to_string(methodBits) + ".grd")).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(image.data()),
                                                static_cast<std::streamsize>(image.size()));
    return path;
}

struct OpenGrid {
    csib_Block* block = nullptr;
    csib_GridFile* grid = nullptr;
    std::string path;
    OpenGrid(uint8_t methodBits, int16_t window) : path(WriteGrid(methodBits, window)) {
        csib_Create(&block, 1, 6378137.0, 6356752.3142);
        gridfile_Open(&grid, block, reinterpret_cast<const uint8_t*>(path.c_str()), 0);
    }
    ~OpenGrid() {
        gridfile_Close(&grid);
        csib_Free(&block);
        std::remove(path.c_str());
    }
};

void Along(benchmark::State& state, uint8_t methodBits, int16_t window) {
    OpenGrid g(methodBits, window);
    double lon = 0.0, sum = 0.0;
    for (auto _ : state) {
        double value = 0.0;
        gridfile_Interpolate(g.grid, 4.321, lon, &value);
        sum += value;
        lon += 0.0007;  // about 14 calls per node
        if (lon > 9.9) lon = 0.0;
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations());
}

void Random(benchmark::State& state, uint8_t methodBits, int16_t window) {
    OpenGrid g(methodBits, window);
    std::mt19937 random(42);
    std::uniform_real_distribution<double> position(0.0, 9.99);
    double sum = 0.0;
    for (auto _ : state) {
        double value = 0.0;
        gridfile_Interpolate(g.grid, position(random), position(random), &value);
        sum += value;
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations());
}

void BilinearAlongALine(benchmark::State& state) { Along(state, 0x02, 2); }
void BilinearAtRandom(benchmark::State& state) { Random(state, 0x02, 2); }
void SplineAlongALine(benchmark::State& state) { Along(state, 0x04, 4); }
void SplineAtRandom(benchmark::State& state) { Random(state, 0x04, 4); }

BENCHMARK(BilinearAlongALine);
BENCHMARK(BilinearAtRandom);
BENCHMARK(SplineAlongALine);
BENCHMARK(SplineAtRandom);

}  // namespace
