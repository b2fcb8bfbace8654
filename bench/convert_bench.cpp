// Converts a synthetic export of about 100 MiB into a job file through ImportQZXMLFile,
// the whole conversion as a host runs it: reading, every record handler, the journal
// writes, the second pass and the close. Reports MB/s of export, records/s and the
// process's peak memory.
//
// The export is $QZ_BENCH_CONVERT_EXPORT when set, else generated once into the temp
// folder. Compare with: xmllint --stream --noout FILE (see convert_compare.sh).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "export_generator.h"
#include "qzxmli.h"

namespace {

std::string ExportPath(int64_t* records) {
    if (const char* given = std::getenv("QZ_BENCH_CONVERT_EXPORT")) return given;
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
    for (auto _ : state) {
        std::remove(job.c_str());
        if (ImportQZXMLFile(path.c_str(), job.c_str(), nullptr) != 0) {
            state.SkipWithError("conversion failed");
            return;
        }
        state.PauseTiming();
        jobBytes = BenchFileSize(job);
        std::remove(job.c_str());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * size);
    if (records) state.counters["records/s"] = benchmark::Counter(double(records) * double(state.iterations()),
                                                                  benchmark::Counter::kIsRate);
    state.counters["export_MB"] = double(size) / 1e6;
    state.counters["job_MB"] = double(jobBytes) / 1e6;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MiB"] = double(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

}  // namespace

BENCHMARK(BM_ConvertExport)->Unit(benchmark::kMillisecond)->Iterations(3);
