// Converts a synthetic export of about 100 MiB into a job file through ImportQZXMLFile,
// the whole conversion as a host runs it: reading, every record handler, the journal
// writes, the second pass and the close. Reports MB/s of export, records/s, heap
// allocations per record (every malloc, calloc and realloc of the process during the
// conversions, operator new included) and the process's peak memory.
//
// The export is $QZ_BENCH_CONVERT_EXPORT when set (its record count from
// $QZ_BENCH_CONVERT_RECORDS), else generated once into the temp folder. Compare with:
// xmllint --stream --noout FILE (see convert_compare.sh).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "export_generator.h"
#include "qzxmli.h"

// The C library's allocator under its own names: this program's malloc family counts
// each call and hands it on.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);

std::atomic<int64_t> benchAllocations{0};

void* malloc(size_t size) {
    benchAllocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
    benchAllocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}
void* realloc(void* block, size_t size) {
    benchAllocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(block, size);
}
}

namespace {

std::string ExportPath(int64_t* records) {
    if (const char* given = std::getenv("QZ_BENCH_CONVERT_EXPORT")) {
        if (const char* count = std::getenv("QZ_BENCH_CONVERT_RECORDS")) *records = std::atoll(count);
        return given;
    }
    const std::string path = BenchTempFolder() + "/qz_bench_convert_100mb.xml";
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return path;
    *records = GenerateExport(out, ExportOptions{}).records;
    std::fclose(out);
    return path;
}

void BM_ConvertExport(benchmark::State& state) {
    int64_t records = 0;
    const std::string path = ExportPath(&records);
    const int64_t size = BenchFileSize(path);
    if (size == 0) {
        state.SkipWithError("no export to convert");
        return;
    }
    const std::string job = BenchTempFolder() + "/qz_bench_convert.job";
    int64_t jobBytes = 0;
    int64_t allocations = 0;
    for (auto _ : state) {
        std::remove(job.c_str());
        const int64_t mark = benchAllocations.load();
        if (ImportQZXMLFile(path.c_str(), job.c_str(), nullptr) != 0) {
            state.SkipWithError("conversion failed");
            return;
        }
        state.PauseTiming();
        allocations += benchAllocations.load() - mark;
        jobBytes = BenchFileSize(job);
        std::remove(job.c_str());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * size);
    if (records) state.counters["records/s"] = benchmark::Counter(double(records) * double(state.iterations()),
                                                                  benchmark::Counter::kIsRate);
    if (records) state.counters["allocs/record"] = double(allocations) / (double(records) * double(state.iterations()));
    state.counters["export_MB"] = double(size) / 1e6;
    state.counters["job_MB"] = double(jobBytes) / 1e6;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MiB"] = double(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

}  // namespace

// Wall time: the device flushes on their own thread count, as a host waits for them.
BENCHMARK(BM_ConvertExport)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
