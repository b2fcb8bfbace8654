// Memory, colour, text and code-map helpers of the feature code library.
#include <cstdlib>
#include <cstring>

#include "foundation/files/file.h"
#include "foundation/text/codepage.h"
#include "foundation/text/unistr.h"
#include "jobdb/fclfile.h"

void* mem_Alloc(int size) { return size < 0 ? nullptr : std::malloc(static_cast<size_t>(size)); }

void* mem_Realloc(void* block, int size) {
    return size < 0 ? nullptr : std::realloc(block, static_cast<size_t>(size));
}

void mem_Free(void* block) { std::free(block); }

namespace {

// Colour numbers 1..15; RGB values with red in the low byte.
constexpr int kColours[15] = {0x000000, 0xFFFFFF, 0x0000FF, 0x008000, 0xFF0000,
                              0x00FFFF, 0xFF00FF, 0xFFFF00, 0x800080, 0x808080,
                              0xD4FF7F, 0x2A2AA5, 0x00A5FF, 0xA9A9A9, 0xD3D3D3};
constexpr int kNoColour = 16;

constexpr const char* kMiddleDot = "\xC2\xB7";

}  // namespace

int fclfile_ColourToRGB(int number) {
    return number >= 1 && number <= 15 ? kColours[number - 1] : kNoColour;
}

int fclfile_RGBToColour(int rgb) {
    for (int i = 0; i < 15; ++i)
        if (kColours[i] == rgb) return i + 1;
    return kNoColour;
}

Str fclfile_UTF8ToCodePage(const Str& text) {
    return UniString(text).ToCodePage();
}

Str fclfile_CodePageToUTF8(const char* text) { return unistr_CodePageToUTF8(Str(text)); }

void fclfile_BlanksToMiddleDots(Str& code) {
    code.Replace(" ", kMiddleDot);
    code.Replace("\x1F", kMiddleDot);
}

void fclfile_MiddleDotsToBlanks(Str& code) { code.Replace(kMiddleDot, " "); }

int fclfile_UnitsFromFile(int code) {
    if (code >= 0 && code <= 38) return code;
    if (code >= 39 && code <= 45) return code + 1;
    return FCLFILE_UnitsNone;
}

int fclfile_UnitsToFile(int units) {
    if (units >= 0 && units <= 38) return units;
    if (units == 39) return 38;  // square US feet are kept as square feet
    if (units >= 40 && units <= 46) return units - 1;
    return 46;
}

bool fclfile_ReadAttributeType(file_Class& file, int& type) {
    unsigned char bytes[2];
    uint32_t count = 0;
    if (!file.Read(bytes, 2, &count) || count != 2) return false;
    type = bytes[0] | (bytes[1] << 8);
    return true;
}

int fclfile_CompareCodes(const char* a, const char* b) {
    for (;; ++a, ++b) {
        const signed char x = static_cast<signed char>(*a), y = static_cast<signed char>(*b);
        if (x != y) return x - y;
        if (x == 0) return 0;
    }
}

int fclfile_CompareFeatures(const fclfile_Feature& a, const fclfile_Feature& b) {
    Str x = a.Code, y = b.Code;
    x.MakeUpper();
    y.MakeUpper();
    return std::strcmp(x.Data(), y.Data());
}

fclfile_IndexList::~fclfile_IndexList() { mem_Free(_Items); }

bool fclfile_IndexList::Add(int value) {
    void* grown = mem_Realloc(_Items, (_Count + 1) * static_cast<int>(sizeof(int)));
    if (!grown) return false;
    _Items = static_cast<int*>(grown);
    _Items[_Count++] = value;
    return true;
}

bool fclfile_IndexList::Get(int index, int* out) const {
    if (!out || index < 0 || index >= _Count) return false;
    *out = _Items[index];
    return true;
}
