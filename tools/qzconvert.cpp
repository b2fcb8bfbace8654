// qzconvert: converts a job export (XML) into a job file from the command line.
//
//   qzconvert <export.xml> <job file>
//
// Shows the conversion's progress, prints its result in words and the road files
// written beside the job file, and exits with 0 only when the job was converted. It
// knows the library through its three exports alone.
#include <cstdio>
#include <string>

#include "qzxmli.h"

namespace {

constexpr int kNameUnits = 260;
constexpr int kBarWidth = 40;

int lastShown = -1;

bool ShowProgress(int percent) {
    if (percent == lastShown) return true;
    lastShown = percent;
    const int filled = percent * kBarWidth / 100;
    std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
                 std::string(kBarWidth - filled, ' ').c_str(), percent);
    std::fflush(stderr);
    return true;
}

const char* ResultInWords(int result) {
    switch (result) {
    case 0: return "converted";
    case 1: return "cancelled";
    case 2: return "conversion error: the export could not be converted";
    case 4: return "the export is missing, is not XML, is incomplete or has no job header";
    case 5: return "the job file could not be created (does it exist already?)";
    default: return "unknown result";
    }
}

// UTF-16 from the library to UTF-8 for the terminal; a lone surrogate becomes U+FFFD.
std::string ToUtf8(const char16_t* text) {
    std::string out;
    for (int i = 0; text[i]; ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <export.xml> <job file>\n", argc > 0 ? argv[0] : "qzconvert");
        return 64;
    }
    const int result = ImportQZXMLFile(argv[1], argv[2], ShowProgress);
    if (lastShown >= 0) std::fputc('\n', stderr);
    std::printf("%s: %s (result %d)\n", argv[1], ResultInWords(result), result);

    // The names are fetched in order: fetching the last one empties the library's list.
    const int count = qzxmli_ExtraOutputFileCount();
    if (count > 0) std::printf("road files:\n");
    for (int i = 0; i < count; ++i) {
        char16_t name[kNameUnits];
        qzxmli_GetExtraOutputFileName(name, i);
        std::printf("  %s\n", name[0] ? ToUtf8(name).c_str() : "(name too long to return)");
    }
    if (result == 0) std::printf("job file: %s\n", argv[2]);
    return result == 0 ? 0 : 1;
}
