// The "QVX CSIB" image: a block stored as one run of bytes. Multi-byte values are in
// the writer's byte order; a reader of the other order knows it from the version and
// swaps every later double, UTF-16 unit and saved part. Strings are 8-bit with a NUL
// (a null string is the NUL alone, an empty one reads back null); wide strings are
// UTF-16 ending in a 0x0000 unit. Tn.a, Tn.b, Tn.w are the parts of text Tn.
//
//   magic "QVX CSIB"                   8 bytes, no terminator
//   version                            double: written 10.5, read 1..20
//   T2.a T2.b T3.a T3.b T1.a T1.b      strings
//   reserved                           24 bytes, never written, ignored
//   grid mode, datum kind              2 bytes
//   T5.a T5.b T6.a T6.b T4.a T4.b      strings
//   a, b                               2 doubles
//   datum part                         the datum kind's saved size
//   projection kind                    byte; 0: the projection items are absent
//     T7.a T7.b                        strings
//     origin latitude, origin longitude, false northing, false easting, scale factor
//     ground scale factor, ground offset north, ground offset east   (from 1.4)
//     has ground origin                byte (from 1.4)
//       ground origin byte, latitude, longitude, height   (when it is 1)
//     radius byte, use fixed radius, fixed radius
//     projection part                  the projection kind's saved size
//   vertical kind                      byte; 0: the vertical items are absent
//     T8.a T8.b T9.a T9.b, vertical part
//   has horizontal adjustment          byte; 1: T10.a T10.b and its 48-byte part
//   has vertical adjustment            byte; 1: T11.a T11.b and its 40-byte part
//   --- an image of version 1.0 ends here ---
//   reserved                           byte, 0
//   has shift grid                     byte (after 10.2); 1: T12.a T12.b, its part
//   reserved                           32 bytes, never written, ignored
//   options                            7 bytes
//   T2.w T3.w T1.w T5.w T6.w T4.w T7.w T8.w T9.w T10.w T11.w   wide strings
//   spare                              wide string, written empty, stepped over
//   T12.w                              wide string (after 10.2)
#include "csib/image.h"

#include <algorithm>
#include <cstring>

#include "csib/adjustments.h"
#include "csib/csibplatform.h"
#include "csib/kinds.h"

namespace {

constexpr char kMagic[8] = {'Q', 'V', 'X', ' ', 'C', 'S', 'I', 'B'};
constexpr int32_t kReservedHead = 24;
constexpr int32_t kReservedTail = 32;
constexpr int32_t kProjectionFields = 75;  // 8 doubles, 3 bytes, 1 double
constexpr int32_t kGroundOriginFields = 25;
constexpr int32_t kSpareLimit = 0xFFFF;

// Texts in the order the image stores them.
constexpr int kHeadTexts[] = {2, 3, 1};
constexpr int kDatumTexts[] = {5, 6, 4};
constexpr int kWideTexts[] = {2, 3, 1, 5, 6, 4, 7, 8, 9, 10, 11};

// Version gates.
bool HasGroundItems(double version) { return version >= 1.4; }
bool EndsAfterAdjustments(double version) { return version == 1.0; }
bool HasShiftGridItems(double version) { return version > 10.2; }
bool IsKnownVersion(double version) { return version >= 1.0 && version <= 20.0; }

bool HasProjection(const csib_Block* block) { return block->projection.Load != nullptr; }
bool HasVertical(const csib_Block* block) { return block->verticalKind != 0 && block->vertical.Load != nullptr; }

int32_t StringBytes(const char* text) { return text ? static_cast<int32_t>(std::strlen(text)) + 1 : 1; }

int32_t WideBytes(const char16_t* text) {
    int32_t units = 0;
    if (text)
        while (text[units]) ++units;
    return 2 * units + 2;
}

int32_t TextStrings(const csib_Text& text) { return StringBytes(text.a) + StringBytes(text.b); }

struct Writer {
    csib_Block* block;
    uint8_t* at;
    void Byte(uint8_t value) { *at++ = value; }
    void Double(double value) {
        csib_PutDouble(at, value);
        at += 8;
    }
    void Strings(const csib_Text& text) {
        at += csib_PutString(at, text.a);
        at += csib_PutString(at, text.b);
    }
    void Wide(const char16_t* text) { at += csib_PutWideString(at, text); }
    // A model's saved part, as long as the model says.
    csib_Status SavedPart(csib_SaveSlot save, csib_GetSavedSizeSlot size, uint8_t gridMode) {
        int32_t bytes = 0;
        csib_Status status = save(block, at, gridMode);
        if (status >= 0) status = size(block, gridMode, &bytes);
        if (status < 0) return status;
        at += bytes;
        return CSIB_Ok;
    }
};

struct Reader {
    csib_Block* block;
    const uint8_t* at;
    uint8_t Byte() { return *at++; }
    double Double() {
        double value = csib_GetDouble(at, block->swapBytes);
        at += 8;
        return value;
    }
    // An empty string leaves the pointer null.
    csib_Status String(char** out) {
        std::size_t length = std::strlen(reinterpret_cast<const char*>(at));
        if (length > 0) {
            auto* copy = static_cast<char*>(csib_MemAlloc(length + 1));
            if (!copy) return CSIB_OutOfMemory;
            std::memcpy(copy, at, length + 1);
            *out = copy;
        }
        at += length + 1;
        return CSIB_Ok;
    }
    csib_Status Strings(csib_Text& text) {
        csib_Status status = String(&text.a);
        return status != CSIB_Ok ? status : String(&text.b);
    }
    csib_Status Wide(char16_t** out) {
        int32_t bytes = csib_WideStringBytes(at);
        if (bytes > 0) {
            auto* copy = static_cast<char16_t*>(csib_MemAlloc(static_cast<std::size_t>(bytes) + 2));
            if (!copy) return CSIB_OutOfMemory;
            csib_GetWideString(copy, at, block->swapBytes);
            *out = copy;
        }
        at += bytes + 2;
        return CSIB_Ok;
    }
    // Loads a model from its saved part and steps over it.
    csib_Status SavedPart(csib_LoadSlot load, csib_GetSavedSizeSlot size) {
        int32_t bytes = 0;
        csib_Status status = load(block, at);
        if (status >= 0) status = size(block, block->gridMode, &bytes);
        if (status < 0) return status;
        at += bytes;
        return CSIB_Ok;
    }
};

csib_Status ReadBody(Reader& in, csib_Block* block);

}  // namespace

csib_Status csib_GetSize(csib_Block* block, uint8_t gridMode, int32_t* size) {
    if (!size) return CSIB_MissingOutput;
    int32_t total = 16;
    for (int n : kHeadTexts) total += TextStrings(*csib_TextAt(block, n));
    total += kReservedHead + 2;
    for (int n : kDatumTexts) total += TextStrings(*csib_TextAt(block, n));
    total += 16;
    int32_t part = 0;
    csib_Status status = block->datum.GetSavedSize(block, gridMode, &part);
    if (status < 0) return status;
    total += part + 1;
    if (HasProjection(block)) {
        total += TextStrings(block->projectionText) + kProjectionFields;
        if (block->hasGroundOrigin) total += kGroundOriginFields;
        status = block->projection.GetSavedSize(block, gridMode, &part);
        if (status < 0) return status;
        total += part;
    }
    total += 1;
    if (HasVertical(block)) {
        for (const csib_Text& text : block->verticalTexts) total += TextStrings(text);
        status = block->vertical.GetSavedSize(block, gridMode, &part);
        if (status < 0) return status;
        total += part;
    }
    total += 1;
    if (block->hasHorizontalAdjustment)
        total += TextStrings(block->horizontalAdjustmentText) + CSIB_HorizontalAdjustmentSavedSize;
    total += 1;
    if (block->hasVerticalAdjustment)
        total += TextStrings(block->verticalAdjustmentText) + CSIB_VerticalAdjustmentSavedSize;
    total += 2;
    if (block->hasShiftGrid && csib_ShiftGridSupport) {
        status = csib_ShiftGridSupport->GetSavedSize(block, &part);
        if (status < 0) return status;
        total += TextStrings(block->shiftGridText) + part;
    }
    total += kReservedTail + static_cast<int32_t>(sizeof(csib_Options));
    for (int n : kWideTexts) total += WideBytes(csib_TextAt(block, n)->w);
    total += 2 + WideBytes(block->shiftGridText.w);
    *size = total;
    return CSIB_Ok;
}

csib_Status csib_Write(csib_Block* block, uint8_t* buffer, uint8_t gridMode) {
    Writer out{block, buffer};
    std::memcpy(out.at, kMagic, sizeof kMagic);
    out.at += sizeof kMagic;
    out.Double(CSIB_BlockVersion);
    for (int n : kHeadTexts) out.Strings(*csib_TextAt(block, n));
    out.at += kReservedHead;
    out.Byte(gridMode);
    out.Byte(block->datumKind);
    for (int n : kDatumTexts) out.Strings(*csib_TextAt(block, n));
    out.Double(block->semiMajorAxis);
    out.Double(block->semiMinorAxis);
    csib_Status status = out.SavedPart(block->datum.Save, block->datum.GetSavedSize, gridMode);
    if (status < 0) return status;
    if (!HasProjection(block)) {
        out.Byte(0);
    } else {
        out.Byte(block->projectionKind);
        out.Strings(block->projectionText);
        for (double value : {block->originLatitude, block->originLongitude, block->falseNorthing, block->falseEasting,
                             block->scaleFactor, block->groundScaleFactor, block->groundOffsetNorth,
                             block->groundOffsetEast})
            out.Double(value);
        out.Byte(block->hasGroundOrigin);
        if (block->hasGroundOrigin) {
            out.Byte(block->groundOriginByte);
            out.Double(block->groundOriginLatitude);
            out.Double(block->groundOriginLongitude);
            out.Double(block->groundOriginHeight);
        }
        out.Byte(block->radiusByte);
        out.Byte(block->useFixedRadius);
        out.Double(block->fixedRadius);
        status = out.SavedPart(block->projection.Save, block->projection.GetSavedSize, gridMode);
        if (status < 0) return status;
    }
    if (!HasVertical(block)) {
        out.Byte(0);
    } else {
        out.Byte(block->verticalKind);
        for (const csib_Text& text : block->verticalTexts) out.Strings(text);
        status = out.SavedPart(block->vertical.Save, block->vertical.GetSavedSize, gridMode);
        if (status < 0) return status;
    }
    out.Byte(block->hasHorizontalAdjustment ? 1 : 0);
    if (block->hasHorizontalAdjustment) {
        out.Strings(block->horizontalAdjustmentText);
        csib_SaveHorizontalAdjustment(block, out.at);
        out.at += CSIB_HorizontalAdjustmentSavedSize;
    }
    out.Byte(block->hasVerticalAdjustment ? 1 : 0);
    if (block->hasVerticalAdjustment) {
        out.Strings(block->verticalAdjustmentText);
        csib_SaveVerticalAdjustment(block, out.at);
        out.at += CSIB_VerticalAdjustmentSavedSize;
    }
    out.Byte(0);
    const bool withShiftGrid = block->hasShiftGrid && csib_ShiftGridSupport;
    out.Byte(withShiftGrid ? 1 : 0);
    if (withShiftGrid) {
        out.Strings(block->shiftGridText);
        int32_t part = 0;
        status = csib_ShiftGridSupport->Save(block, out.at);
        if (status >= 0) status = csib_ShiftGridSupport->GetSavedSize(block, &part);
        if (status < 0) return status;
        out.at += part;
    }
    out.at += kReservedTail;
    std::memcpy(out.at, &block->options, sizeof(csib_Options));
    out.at += sizeof(csib_Options);
    for (int n : kWideTexts) out.Wide(csib_TextAt(block, n)->w);
    out.Wide(nullptr);  // spare
    out.Wide(block->shiftGridText.w);
    return CSIB_Ok;
}

csib_Status csib_Read(csib_Block** out, const uint8_t* image) {
    auto* block = static_cast<csib_Block*>(csib_MemAlloc(sizeof(csib_Block)));
    if (!block) return CSIB_OutOfMemory;
    std::memset(block, 0, sizeof(csib_Block));
    block->options = CSIB_DefaultOptions;
    block->origin = 2;
    Reader in{block, image};
    csib_Status status = ReadBody(in, block);
    if (status != CSIB_Ok) {
        csib_Free(&block);
        return status;
    }
    block->version = CSIB_BlockVersion;
    *out = block;
    return CSIB_Ok;
}

namespace {

// Reads everything after the block's allocation; the caller releases a partly built
// block on failure.
csib_Status ReadBody(Reader& in, csib_Block* block) {
    if (std::memcmp(in.at, kMagic, sizeof kMagic) != 0) return CSIB_NotAnImage;
    in.at += sizeof kMagic;
    double version = csib_GetDouble(in.at, 0);
    if (!IsKnownVersion(version)) {
        version = csib_GetDouble(in.at, 1);
        if (!IsKnownVersion(version)) return CSIB_BadVersion;
        block->swapBytes = 1;
    }
    in.at += 8;
    // Loaders read the image's version while the read runs.
    block->version = version;

    csib_Status status = CSIB_Ok;
    for (int n : kHeadTexts)
        if ((status = in.Strings(*csib_TextAt(block, n))) != CSIB_Ok) return status;
    in.at += kReservedHead;
    block->gridMode = in.Byte();
    block->datumKind = in.Byte();
    for (int n : kDatumTexts)
        if ((status = in.Strings(*csib_TextAt(block, n))) != CSIB_Ok) return status;
    if ((status = csib_SetDatumFunctions(block)) != CSIB_Ok) return status;
    const double a = in.Double();
    csib_SetAxes(block, a, in.Double());

    if ((status = in.SavedPart(block->datum.Load, block->datum.GetSavedSize)) < 0) return status;

    block->projectionKind = in.Byte();
    if (block->projectionKind != 0) {
        if ((status = csib_SetProjectionFunctions(block)) != CSIB_Ok) return status;
        if ((status = in.Strings(block->projectionText)) != CSIB_Ok) return status;
        block->originLatitude = in.Double();
        block->originLongitude = in.Double();
        block->falseNorthing = in.Double();
        block->falseEasting = in.Double();
        block->scaleFactor = in.Double();
        block->groundScaleFactor = 1.0;
        if (HasGroundItems(version)) {
            block->groundScaleFactor = in.Double();
            block->groundOffsetNorth = in.Double();
            block->groundOffsetEast = in.Double();
            block->hasGroundOrigin = in.Byte();
            if (block->hasGroundOrigin == 1) {
                block->groundOriginByte = in.Byte();
                block->groundOriginLatitude = in.Double();
                block->groundOriginLongitude = in.Double();
                block->groundOriginHeight = in.Double();
            }
        }
        block->radiusByte = in.Byte();
        block->useFixedRadius = in.Byte();
        block->fixedRadius = in.Double();
        if ((status = in.SavedPart(block->projection.Load, block->projection.GetSavedSize)) < 0) return status;
    }

    block->verticalKind = in.Byte();
    if ((status = csib_SetVerticalFunctions(block)) != CSIB_Ok) return status;
    if (block->verticalKind != 0) {
        for (csib_Text& text : block->verticalTexts)
            if ((status = in.Strings(text)) != CSIB_Ok) return status;
        if ((status = in.SavedPart(block->vertical.Load, block->vertical.GetSavedSize)) < 0) return status;
    }

    if (in.Byte() == 1) {
        if ((status = in.Strings(block->horizontalAdjustmentText)) != CSIB_Ok) return status;
        if ((status = csib_LoadHorizontalAdjustment(block, in.at)) < 0) return status;
        in.at += CSIB_HorizontalAdjustmentSavedSize;
    }
    if (in.Byte() == 1) {
        if ((status = in.Strings(block->verticalAdjustmentText)) != CSIB_Ok) return status;
        if ((status = csib_LoadVerticalAdjustment(block, in.at)) < 0) return status;
        in.at += CSIB_VerticalAdjustmentSavedSize;
    }
    if (EndsAfterAdjustments(version)) return CSIB_Ok;

    if (in.Byte() != 0) return CSIB_BadReservedByte;
    if (HasShiftGridItems(version) && in.Byte() == 1) {
        if ((status = in.Strings(block->shiftGridText)) != CSIB_Ok) return status;
        // The shift grid's part is its file name; loading it opens the file.
        if (!csib_ShiftGridSupport) return CSIB_FileOpenFailed;
        int32_t part = 0;
        if ((status = csib_ShiftGridSupport->Load(block, reinterpret_cast<const char*>(in.at))) < 0) return status;
        if ((status = csib_ShiftGridSupport->GetSavedSize(block, &part)) < 0) return status;
        in.at += part;
    }

    in.at += kReservedTail;
    std::memcpy(&block->options, in.at, sizeof(csib_Options));
    in.at += sizeof(csib_Options);
    for (int n : kWideTexts)
        if ((status = in.Wide(&csib_TextAt(block, n)->w)) != CSIB_Ok) return status;
    // The spare string is stepped over unit by unit, at most 0xFFFF bytes of it.
    const uint8_t* spare = in.at;
    while (in.at - spare < kSpareLimit && csib_GetU16(in.at) != 0) in.at += 2;
    in.at += 2;
    if (HasShiftGridItems(version))
        if ((status = in.Wide(&block->shiftGridText.w)) != CSIB_Ok) return status;
    return CSIB_Ok;
}

}  // namespace

double csib_GetDouble(const uint8_t* bytes, uint8_t swap) {
    double value;
    std::memcpy(&value, bytes, sizeof value);
    if (swap) csib_Swap64(&value);
    return value;
}

void csib_PutDouble(uint8_t* bytes, double value) { std::memcpy(bytes, &value, sizeof value); }

uint16_t csib_GetU16(const uint8_t* bytes) {
    uint16_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

int32_t csib_PutString(uint8_t* out, const char* text) {
    if (!text) {
        *out = 0;
        return 1;
    }
    std::size_t bytes = std::strlen(text) + 1;
    std::memcpy(out, text, bytes);
    return static_cast<int32_t>(bytes);
}

int32_t csib_PutWideString(uint8_t* out, const char16_t* text) {
    int32_t bytes = WideBytes(text);
    if (text)
        std::memcpy(out, text, static_cast<std::size_t>(bytes));
    else
        out[0] = out[1] = 0;
    return bytes;
}

int32_t csib_WideStringBytes(const uint8_t* text) {
    int32_t bytes = 0;
    while (csib_GetU16(text + bytes) != 0) bytes += 2;
    return bytes;
}

int32_t csib_GetWideString(char16_t* destination, const uint8_t* source, uint8_t swap) {
    int32_t bytes = 0;
    for (;; bytes += 2) {
        uint16_t unit = csib_GetU16(source + bytes);
        if (unit == 0) break;
        if (swap) csib_Swap16(&unit);
        destination[bytes / 2] = static_cast<char16_t>(unit);
    }
    destination[bytes / 2] = 0;
    return bytes;
}

namespace {

void Reverse(void* value, std::size_t bytes) {
    auto* p = static_cast<uint8_t*>(value);
    std::reverse(p, p + bytes);
}

}  // namespace

void csib_Swap16(void* value) { Reverse(value, 2); }
void csib_Swap32(void* value) { Reverse(value, 4); }
void csib_Swap64(void* value) { Reverse(value, 8); }
void csib_Swap80(void* value) { Reverse(value, 10); }
