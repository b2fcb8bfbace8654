// Shared pieces of the engine tests: an independent builder of block images, a block
// comparison and text setters. The builder lays the image out field by field, so the
// same contents can be produced in either byte order and at any format version.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "csib/adjustments.h"
#include "csib/csib.h"
#include "csib/csibplatform.h"
#include "csib/image.h"

namespace csibtest {

// Strings owned by csib_MemAlloc, as the block requires.
inline char* Copy(const std::string& text) {
    auto* copy = static_cast<char*>(csib_MemAlloc(text.size() + 1));
    if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}
inline char16_t* Copy(const std::u16string& text) {
    auto* copy = static_cast<char16_t*>(csib_MemAlloc(2 * (text.size() + 1)));
    if (copy) std::memcpy(copy, text.c_str(), 2 * (text.size() + 1));
    return copy;
}

// Contents of a transverse Mercator block with both adjustments and all twelve texts.
struct Contents {
    double a = 6378137.0;
    double b = 6356752.3142;
    uint8_t gridMode = 1;
    double originLatitude = 0.85521133347722145;  // 49 degrees
    double originLongitude = -0.034906585039886591;
    double falseNorthing = -100000.0;
    double falseEasting = 400000.0;
    double scaleFactor = 0.9996012717;
    double groundScaleFactor = 1.000125;
    double groundOffsetNorth = 12.5;
    double groundOffsetEast = -7.25;
    bool groundOrigin = true;
    uint8_t groundOriginByte = 3;
    double groundOriginLatitude = 0.86;
    double groundOriginLongitude = -0.03;
    double groundOriginHeight = 152.5;
    uint8_t radiusByte = 4;
    uint8_t useFixedRadius = 1;
    double fixedRadius = 6381000.0;
    // Saved parts: origins include the false origin.
    double horizontal[6] = {-99000.0, 401000.0, 1.5, -2.5, 0.0001, 1.00002};
    double vertical[5] = {-98000.0, 402000.0, 0.25, 1e-5, -2e-5};
    csib_Options options{3, 4, 5, 2, 2, 6, 7};
    std::string a8[13], b8[13];
    std::u16string w[13];

    Contents() {
        for (int n = 1; n <= 12; ++n) {
            // The 8-bit parts of T8, T9 and T12 travel only with a vertical model and a
            // shift grid.
            if (n == 8 || n == 9 || n == 12) continue;
            a8[n] = "T" + std::to_string(n) + "a";
            b8[n] = n % 3 == 0 ? "" : "text " + std::to_string(n) + " b";
        }
        for (int n = 1; n <= 12; ++n) {
            w[n] = u"wide \u00e9\u20ac " + std::u16string(1, char16_t(u'0' + n % 10));
        }
    }
};

// An image built field by field; `swap` writes every multi-byte value in the other
// byte order.
class ImageBuilder {
public:
    explicit ImageBuilder(bool swap) : swap_(swap) {}
    std::vector<uint8_t> bytes;

    void Raw(const void* data, std::size_t size) {
        auto* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + size);
    }
    void Fill(std::size_t count, uint8_t value = 0xDB) { bytes.insert(bytes.end(), count, value); }
    void Byte(uint8_t value) { bytes.push_back(value); }
    void Double(double value) {
        uint8_t raw[8];
        std::memcpy(raw, &value, 8);
        if (swap_) std::reverse(raw, raw + 8);
        Raw(raw, 8);
    }
    void String(const std::string& text) { Raw(text.c_str(), text.size() + 1); }
    void Wide(const std::u16string& text) {
        for (char16_t unit : text) Unit(unit);
        Unit(0);
    }
    void Unit(char16_t unit) {
        uint8_t raw[2];
        std::memcpy(raw, &unit, 2);
        if (swap_) std::swap(raw[0], raw[1]);
        Raw(raw, 2);
    }

private:
    bool swap_;
};

struct ImageShape {
    double version = 10.5;
    bool swap = false;
    bool projection = true;
    uint8_t reservedByte = 0;
    std::u16string spare;  // written empty by default
    uint8_t datumKind = 0, projectionKind = CSIB_TransverseMercator, verticalKind = 0;

    ImageShape& Version(double v) { version = v; return *this; }
    ImageShape& Swapped() { swap = true; return *this; }
    ImageShape& NoProjection() { projection = false; return *this; }
    ImageShape& ReservedByte(uint8_t value) { reservedByte = value; return *this; }
    ImageShape& Spare(const std::u16string& text) { spare = text; return *this; }
    // Kind bytes the reader should refuse; the parts after them are left as they are.
    ImageShape& Kinds(uint8_t datum, uint8_t projection, uint8_t vertical) {
        datumKind = datum;
        projectionKind = projection;
        verticalKind = vertical;
        return *this;
    }
};

// The image of `c` laid out for the shape's version.
inline std::vector<uint8_t> BuildImage(const Contents& c, const ImageShape& shape = {}) {
    ImageBuilder out(shape.swap);
    const double v = shape.version;
    auto strings = [&](int n) {
        out.String(c.a8[n]);
        out.String(c.b8[n]);
    };
    out.Raw("QVX CSIB", 8);
    out.Double(v);
    for (int n : {2, 3, 1}) strings(n);
    out.Fill(24);
    out.Byte(c.gridMode);
    out.Byte(shape.datumKind);
    for (int n : {5, 6, 4}) strings(n);
    out.Double(c.a);
    out.Double(c.b);
    if (!shape.projection) {
        out.Byte(0);
    } else {
        out.Byte(shape.projectionKind);
        strings(7);
        for (double d : {c.originLatitude, c.originLongitude, c.falseNorthing, c.falseEasting, c.scaleFactor})
            out.Double(d);
        if (v >= 1.4) {
            for (double d : {c.groundScaleFactor, c.groundOffsetNorth, c.groundOffsetEast}) out.Double(d);
            out.Byte(c.groundOrigin ? 1 : 0);
            if (c.groundOrigin) {
                out.Byte(c.groundOriginByte);
                for (double d : {c.groundOriginLatitude, c.groundOriginLongitude, c.groundOriginHeight})
                    out.Double(d);
            }
        }
        out.Byte(c.radiusByte);
        out.Byte(c.useFixedRadius);
        out.Double(c.fixedRadius);
    }
    out.Byte(shape.verticalKind);
    out.Byte(1);
    strings(10);
    for (double d : c.horizontal) out.Double(d);
    out.Byte(1);
    strings(11);
    for (double d : c.vertical) out.Double(d);
    if (v == 1.0) return out.bytes;
    out.Byte(shape.reservedByte);
    if (v > 10.2) out.Byte(0);  // no shift grid
    out.Fill(32);
    out.Raw(&c.options, 7);
    for (int n : {2, 3, 1, 5, 6, 4, 7, 8, 9, 10, 11}) out.Wide(c.w[n]);
    out.Wide(shape.spare);
    if (v > 10.2) out.Wide(c.w[12]);
    return out.bytes;
}

inline std::string Text8(const char* text) { return text ? std::string(text) : std::string("<null>"); }
inline std::u16string Text16(const char16_t* text) { return text ? std::u16string(text) : std::u16string(u"<null>"); }

// The block holds the contents' texts; an empty one is null.
inline void ExpectTexts(const Contents& c, csib_Block* block) {
    for (int n = 1; n <= 12; ++n) {
        const csib_Text* text = csib_TextAt(block, n);
        EXPECT_EQ(c.a8[n].empty() ? Text8(nullptr) : c.a8[n], Text8(text->a)) << "T" << n;
        EXPECT_EQ(c.b8[n].empty() ? Text8(nullptr) : c.b8[n], Text8(text->b)) << "T" << n;
        EXPECT_TRUE((c.w[n].empty() ? Text16(nullptr) : c.w[n]) == Text16(text->w)) << "T" << n;
    }
}

template <typename Record>
void ExpectEqualRecords(const void* x, const void* y) {
    ASSERT_EQ(x == nullptr, y == nullptr);
    if (x) {
        EXPECT_EQ(0, std::memcmp(x, y, sizeof(Record)));
    }
}

// Every field an image carries, compared; pointers to records by their contents.
inline void ExpectEqualBlocks(csib_Block* x, csib_Block* y) {
    EXPECT_EQ(x->version, y->version);
    EXPECT_EQ(x->gridMode, y->gridMode);
    for (double csib_Block::*field :
         {&csib_Block::semiMajorAxis, &csib_Block::semiMinorAxis, &csib_Block::flattening, &csib_Block::eccentricity,
          &csib_Block::eccentricitySquared, &csib_Block::originLatitude, &csib_Block::originLongitude,
          &csib_Block::falseNorthing, &csib_Block::falseEasting, &csib_Block::scaleFactor,
          &csib_Block::groundScaleFactor, &csib_Block::groundOffsetNorth, &csib_Block::groundOffsetEast,
          &csib_Block::groundOriginLatitude, &csib_Block::groundOriginLongitude, &csib_Block::groundOriginHeight,
          &csib_Block::fixedRadius})
        EXPECT_EQ(x->*field, y->*field);
    for (uint8_t csib_Block::*field :
         {&csib_Block::datumKind, &csib_Block::projectionKind, &csib_Block::verticalKind,
          &csib_Block::groundOriginByte, &csib_Block::hasGroundOrigin, &csib_Block::radiusByte,
          &csib_Block::useFixedRadius, &csib_Block::hasHorizontalAdjustment, &csib_Block::hasVerticalAdjustment,
          &csib_Block::hasShiftGrid})
        EXPECT_EQ(x->*field, y->*field);
    EXPECT_EQ(0, std::memcmp(&x->options, &y->options, sizeof(csib_Options)));
    for (int n = 1; n <= 12; ++n) {
        EXPECT_EQ(Text8(csib_TextAt(x, n)->a), Text8(csib_TextAt(y, n)->a)) << "T" << n;
        EXPECT_EQ(Text8(csib_TextAt(x, n)->b), Text8(csib_TextAt(y, n)->b)) << "T" << n;
        EXPECT_TRUE(Text16(csib_TextAt(x, n)->w) == Text16(csib_TextAt(y, n)->w)) << "T" << n;
    }
    ExpectEqualRecords<csib_HorizontalAdjustment>(x->horizontalAdjustment, y->horizontalAdjustment);
    ExpectEqualRecords<csib_VerticalAdjustment>(x->verticalAdjustment, y->verticalAdjustment);
}

// The saved parts of the contents' adjustments in host order.
inline std::vector<uint8_t> Saved(const double* values, int count) {
    std::vector<uint8_t> part(8 * count);
    std::memcpy(part.data(), values, part.size());
    return part;
}

// A block made by hand from the contents, as the glue fills one.
inline csib_Status MakeBlock(const Contents& c, csib_Block** out) {
    csib_Block* block = nullptr;
    csib_Status status = csib_Create(&block, c.gridMode, c.a, c.b);
    if (status != CSIB_Ok) return status;
    block->originLatitude = c.originLatitude;
    block->originLongitude = c.originLongitude;
    block->falseNorthing = c.falseNorthing;
    block->falseEasting = c.falseEasting;
    block->scaleFactor = c.scaleFactor;
    block->groundScaleFactor = c.groundScaleFactor;
    block->groundOffsetNorth = c.groundOffsetNorth;
    block->groundOffsetEast = c.groundOffsetEast;
    block->hasGroundOrigin = c.groundOrigin ? 1 : 0;
    block->groundOriginByte = c.groundOriginByte;
    block->groundOriginLatitude = c.groundOriginLatitude;
    block->groundOriginLongitude = c.groundOriginLongitude;
    block->groundOriginHeight = c.groundOriginHeight;
    block->radiusByte = c.radiusByte;
    block->useFixedRadius = c.useFixedRadius;
    block->fixedRadius = c.fixedRadius;
    block->options = c.options;
    *out = block;
    if ((status = csib_SetProjection(block, CSIB_TransverseMercator, nullptr)) != CSIB_Ok) return status;
    std::vector<uint8_t> horizontal = Saved(c.horizontal, 6), vertical = Saved(c.vertical, 5);
    if ((status = csib_SetHorizontalAdjustment(block, horizontal.data())) != CSIB_Ok) return status;
    if ((status = csib_SetVerticalAdjustment(block, vertical.data())) != CSIB_Ok) return status;
    for (int n = 1; n <= 12; ++n) {
        csib_Text* text = csib_TextAt(block, n);
        // Empty texts stay null, as an image gives them back.
        if (!c.a8[n].empty() && !(text->a = Copy(c.a8[n]))) return CSIB_OutOfMemory;
        if (!c.b8[n].empty() && !(text->b = Copy(c.b8[n]))) return CSIB_OutOfMemory;
        if (!c.w[n].empty() && !(text->w = Copy(c.w[n]))) return CSIB_OutOfMemory;
    }
    return CSIB_Ok;
}

// An image written by csib_Write into a 0xDB-filled buffer one byte longer than its
// size; the test checks that the last byte stays.
inline std::vector<uint8_t> WriteImage(csib_Block* block, uint8_t gridMode = 1) {
    int32_t size = 0;
    EXPECT_EQ(CSIB_Ok, csib_GetSize(block, gridMode, &size));
    std::vector<uint8_t> buffer(static_cast<std::size_t>(size) + 1, 0xDB);
    buffer.back() = 0x5A;
    EXPECT_EQ(CSIB_Ok, csib_Write(block, buffer.data(), gridMode));
    EXPECT_EQ(0x5A, buffer.back()) << "csib_Write wrote past csib_GetSize";
    buffer.pop_back();
    return buffer;
}

// Frees a block at the end of a scope.
struct BlockHolder {
    csib_Block* block = nullptr;
    ~BlockHolder() { csib_Free(&block); }
};

}  // namespace csibtest
