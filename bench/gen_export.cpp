// gen_export [--mb N] [--seed S] [--one-line] [--mix default|observations] OUTPUT.xml
// Writes a synthetic XML job export of about N MiB (default 100).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "export_generator.h"

int main(int argc, char** argv) {
    ExportOptions options;
    const char* output = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--mb") == 0 && i + 1 < argc) {
            options.bytes = std::atoll(argv[++i]) << 20;
        } else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
            options.seed = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (std::strcmp(argv[i], "--one-line") == 0) {
            options.oneLine = true;
        } else if (std::strcmp(argv[i], "--mix") == 0 && i + 1 < argc &&
                   (std::strcmp(argv[i + 1], "default") == 0 || std::strcmp(argv[i + 1], "observations") == 0)) {
            options.mix = std::strcmp(argv[++i], "default") == 0 ? ExportMix::Default : ExportMix::Observations;
        } else if (argv[i][0] != '-' && !output) {
            output = argv[i];
        } else {
            output = nullptr;
            break;
        }
    }
    if (!output) {
        std::fprintf(stderr, "usage: gen_export [--mb N] [--seed S] [--one-line] [--mix default|observations] OUTPUT.xml\n");
        return 2;
    }
    std::FILE* out = std::fopen(output, "wb");
    if (!out) {
        std::perror(output);
        return 1;
    }
    ExportSummary summary = GenerateExport(out, options);
    if (std::fclose(out) != 0) {
        std::perror(output);
        return 1;
    }
    std::printf("%s: %lld bytes, %lld records\n", output, static_cast<long long>(summary.bytes),
                static_cast<long long>(summary.records));
    return 0;
}
