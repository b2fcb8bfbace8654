// gen_export [--mb N] [--seed S] [--one-line] [--mix default|observations|dense] OUTPUT.xml
// Writes a synthetic XML job export of about N MiB (default 100).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "export_generator.h"

namespace {

bool ParseMix(const char* name, ExportMix* mix) {
    static const struct {
        const char* name;
        ExportMix mix;
    } mixes[] = {{"default", ExportMix::Default}, {"observations", ExportMix::Observations}, {"dense", ExportMix::Dense}};
    for (const auto& m : mixes) {
        if (std::strcmp(name, m.name) == 0) {
            *mix = m.mix;
            return true;
        }
    }
    return false;
}

}  // namespace

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
        } else if (std::strcmp(argv[i], "--mix") == 0 && i + 1 < argc && ParseMix(argv[i + 1], &options.mix)) {
            ++i;
        } else if (argv[i][0] != '-' && !output) {
            output = argv[i];
        } else {
            output = nullptr;
            break;
        }
    }
    if (!output) {
        std::fprintf(stderr, "usage: gen_export [--mb N] [--seed S] [--one-line] [--mix default|observations|dense] OUTPUT.xml\n");
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
