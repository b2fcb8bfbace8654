// Reads a synthetic export of about 100 MiB element by element, as the import does:
// Descend to the root, ReadElement with a progress query after each element, the tree
// handed back through Recycle, Ascend, Close. Reports MB/s of export, elements/s and the
// process's peak memory.
//
// The export is $QZ_BENCH_EXPORT when set, else generated once into the temp folder.
// Compare with: xmllint --stream --noout FILE (see xml_reader_compare.sh).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "export_generator.h"
#include "foundation/xml/element.h"
#include "foundation/xml/reader.h"

namespace {

std::string ExportPath(bool oneLine) {
    if (const char* given = std::getenv(oneLine ? "QZ_BENCH_EXPORT_ONELINE" : "QZ_BENCH_EXPORT")) return given;
    std::string path = BenchTempFolder() +
                       (oneLine ? "/qz_bench_export_100mb_oneline.xml" : "/qz_bench_export_100mb.xml");
    if (std::FILE* existing = std::fopen(path.c_str(), "rb")) {
        std::fclose(existing);
        return path;
    }
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return path;
    ExportOptions options;
    options.oneLine = oneLine;
    GenerateExport(out, options);
    std::fclose(out);
    return path;
}

void ReadExport(benchmark::State& state, bool oneLine) {
    const std::string path = ExportPath(oneLine);
    const int64_t size = BenchFileSize(path);
    if (size == 0) {
        state.SkipWithError("no export to read");
        return;
    }
    int64_t elements = 0;
    for (auto _ : state) {
        xml_ElementReader reader;
        if (!reader.Open(Str(path.c_str()))) {
            state.SkipWithError("export not opened");
            return;
        }
        int percent = 0;
        try {
            reader.Descend(1);
            while (xml_Element* e = reader.ReadElement()) {
                ++elements;
                reader.Recycle(e);
                percent = reader.GetPercent();
            }
            reader.Ascend(1);
        } catch (const Str& message) {
            state.SkipWithError(message.Data());
            return;
        }
        benchmark::DoNotOptimize(percent);
        if (!reader.Close()) state.SkipWithError("end of file not reached");
    }
    state.SetBytesProcessed(size * state.iterations());
    state.counters["elements/s"] = benchmark::Counter(static_cast<double>(elements), benchmark::Counter::kIsRate);
    state.counters["file_MiB"] = static_cast<double>(size) / (1 << 20);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_RSS_MiB"] = usage.ru_maxrss / 1024.0;
}

void BM_ReadExportByElement(benchmark::State& state) { ReadExport(state, false); }
void BM_ReadOneLineExportByElement(benchmark::State& state) { ReadExport(state, true); }

}  // namespace

BENCHMARK(BM_ReadExportByElement)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadOneLineExportByElement)->Unit(benchmark::kMillisecond)->MinTime(2.0);
