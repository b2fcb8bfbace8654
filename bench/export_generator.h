// Synthetic XML job exports of any size, for benchmarks: a root element, the job header,
// then a repeating mix of point observations (each closed by an end entity) with feature
// codes, notes and a nested measurement (polar, circle reading, WGS-84, earth-centred
// deltas, mean turned angle with its residuals, laser offset with a distance offset),
// keyed-in points with a grid measurement, and note records, as the field software
// exports them; the export converts. The same options give the same bytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

enum class ExportMix {
    Default,       // the mix above
    Observations,  // point observations only, each with descriptions or features and a measurement
    Dense,         // many small records: keyed-in points with grid coordinates, and GNSS
                   // observations with a WGS-84 position, without features or notes
};

struct ExportOptions {
    int64_t bytes = 100 << 20;  // stops at the first record boundary past this size
    uint32_t seed = 1;
    bool oneLine = false;  // the whole export on one line, without line breaks
    ExportMix mix = ExportMix::Default;
};

struct ExportSummary {
    int64_t bytes = 0;
    int64_t records = 0;  // top-level elements inside the root
};

ExportSummary GenerateExport(std::FILE* out, const ExportOptions& options);

// The folder benchmarks keep their files in: $TMPDIR, else /tmp.
std::string BenchTempFolder();

// A file's size in bytes; 0 when it cannot be opened.
int64_t BenchFileSize(const std::string& path);
