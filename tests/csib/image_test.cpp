#include "csib/image.h"

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "csib/adjustments.h"
#include "csib/csibplatform.h"
#include "csib_fixtures.h"

namespace {

using namespace csibtest;

constexpr uint8_t DB = 0xDB;

TEST(CsibImage, DefaultBlockIsTheLiteralImage) {
    const std::vector<uint8_t> expected = {
        'Q', 'V', 'X', ' ', 'C', 'S', 'I', 'B',          // magic
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x25, 0x40,  // 10.5
        0, 0, 0, 0, 0, 0,                                // T2, T3, T1
        DB, DB, DB, DB, DB, DB, DB, DB, DB, DB, DB, DB,  // reserved, not written
        DB, DB, DB, DB, DB, DB, DB, DB, DB, DB, DB, DB,
        1, 0,                                            // grid mode, datum kind
        0, 0, 0, 0, 0, 0,                                // T5, T6, T4
        0x00, 0x00, 0x00, 0x40, 0xA6, 0x54, 0x58, 0x41,  // a
        0x51, 0xDA, 0x1B, 0x14, 0xC4, 0x3F, 0x58, 0x41,  // b
        0, 0, 0, 0,                                      // projection, vertical, both adjustments
        0, 0,                                            // reserved byte, shift grid
        DB, DB, DB, DB, DB, DB, DB, DB, DB, DB, DB, DB, DB, DB, DB, DB,  // reserved, not written
        DB, DB, DB, DB, DB, DB, DB, DB, DB, DB, DB, DB, DB, DB, DB, DB,
        1, 1, 1, 1, 1, 1, 2,                             // options
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // eleven wide texts
        0, 0, 0, 0,                                      // spare, T12.w
    };
    BlockHolder held;
    ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, 6378137.0, 6356752.3142));
    std::vector<uint8_t> image = WriteImage(held.block);
    EXPECT_EQ(141u, image.size());
    EXPECT_EQ(expected, image);

    BlockHolder back;
    ASSERT_EQ(CSIB_Ok, csib_Read(&back.block, image.data()));
    EXPECT_EQ(2, back.block->origin);
    EXPECT_EQ(0, back.block->swapBytes);
    ExpectEqualBlocks(held.block, back.block);
}

TEST(CsibImage, TransverseMercatorSizesAndTheGroundOrigin) {
    BlockHolder held;
    ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, 6378137.0, 6356752.3142));
    ASSERT_EQ(CSIB_Ok, csib_SetProjection(held.block, CSIB_TransverseMercator, nullptr));
    EXPECT_EQ(218u, WriteImage(held.block).size());
    held.block->hasGroundOrigin = 1;
    EXPECT_EQ(243u, WriteImage(held.block).size());
    EXPECT_EQ(243u, WriteImage(held.block, 0).size());  // no part depends on the grid mode
    int32_t size = 0;
    EXPECT_EQ(CSIB_MissingOutput, csib_GetSize(held.block, 1, nullptr));
    EXPECT_EQ(CSIB_Ok, csib_GetSize(held.block, 1, &size));
}

// The writer and the field-by-field builder agree byte for byte, and the twin in the
// other byte order reads to the same block.
TEST(CsibImage, FullBlockRoundTripsInBothByteOrders) {
    Contents contents;
    BlockHolder made;
    ASSERT_EQ(CSIB_Ok, MakeBlock(contents, &made.block));
    std::vector<uint8_t> written = WriteImage(made.block);
    EXPECT_EQ(BuildImage(contents), written);

    BlockHolder back;
    ASSERT_EQ(CSIB_Ok, csib_Read(&back.block, written.data()));
    ExpectEqualBlocks(made.block, back.block);
    ExpectTexts(contents, back.block);

    std::vector<uint8_t> swapped = BuildImage(contents, ImageShape().Swapped());
    BlockHolder twin;
    ASSERT_EQ(CSIB_Ok, csib_Read(&twin.block, swapped.data()));
    EXPECT_EQ(1, twin.block->swapBytes);
    ExpectEqualBlocks(back.block, twin.block);
    // A block read from the other order writes in host order again.
    EXPECT_EQ(written, WriteImage(twin.block));
}

TEST(CsibImage, RejectedImages) {
    Contents contents;
    std::vector<uint8_t> wrongMagic = BuildImage(contents);
    wrongMagic[3] = '_';
    struct Case {
        const char* name;
        std::vector<uint8_t> image;
        csib_Status status;
    };
    const Case cases[] = {
        {"wrong magic", wrongMagic, CSIB_NotAnImage},
        {"version 0.5", BuildImage(contents, ImageShape().Version(0.5)), CSIB_BadVersion},
        {"version 21", BuildImage(contents, ImageShape().Version(21.0)), CSIB_BadVersion},
        {"version 21 swapped", BuildImage(contents, ImageShape().Version(21.0).Swapped()), CSIB_BadVersion},
        {"reserved byte", BuildImage(contents, ImageShape().ReservedByte(1)), CSIB_BadReservedByte},
        {"datum kind 7", BuildImage(contents, ImageShape().Kinds(7, 14, 0)), CSIB_BadDatumKind},
        {"projection kind 20", BuildImage(contents, ImageShape().Kinds(0, 20, 0)), CSIB_BadProjectionKind},
        {"vertical kind 4", BuildImage(contents, ImageShape().Kinds(0, 14, 4)), CSIB_BadVerticalKind},
    };
    const int64_t live = csib_LiveAllocations();
    csib_Block untouched{};
    for (const Case& c : cases) {
        csib_Block* block = &untouched;
        EXPECT_EQ(c.status, csib_Read(&block, c.image.data())) << c.name;
        EXPECT_EQ(&untouched, block) << c.name;
        EXPECT_EQ(live, csib_LiveAllocations()) << c.name;
    }
}

TEST(CsibImage, VersionGates) {
    Contents contents;
    // Version 1.0 ends after the adjustments: default options, no wide texts.
    {
        BlockHolder held;
        ASSERT_EQ(CSIB_Ok, csib_Read(&held.block, BuildImage(contents, ImageShape().Version(1.0)).data()));
        EXPECT_EQ(0, std::memcmp(&CSIB_DefaultOptions, &held.block->options, sizeof(csib_Options)));
        for (int n = 1; n <= 12; ++n) EXPECT_EQ(nullptr, csib_TextAt(held.block, n)->w) << "T" << n;
        EXPECT_EQ("T1a", Text8(held.block->texts1to4[0].a));
        EXPECT_EQ(1, held.block->hasVerticalAdjustment);
        EXPECT_EQ(CSIB_BlockVersion, held.block->version);
    }
    // Before 1.4 there are no ground items: ground scale 1, no ground origin.
    {
        BlockHolder held;
        ASSERT_EQ(CSIB_Ok, csib_Read(&held.block, BuildImage(contents, ImageShape().Version(1.3).Swapped()).data()));
        EXPECT_EQ(1.0, held.block->groundScaleFactor);
        EXPECT_EQ(0.0, held.block->groundOffsetNorth);
        EXPECT_EQ(0, held.block->hasGroundOrigin);
        EXPECT_EQ(contents.fixedRadius, held.block->fixedRadius);
        Contents expected = contents;
        expected.w[12].clear();
        ExpectTexts(expected, held.block);
    }
    // 1.4 has them; 10.2 has neither the shift grid flag nor T12.w, 10.3 both.
    for (double version : {1.4, 10.2, 10.3}) {
        BlockHolder held;
        ASSERT_EQ(CSIB_Ok, csib_Read(&held.block, BuildImage(contents, ImageShape().Version(version)).data())) << version;
        EXPECT_EQ(contents.groundScaleFactor, held.block->groundScaleFactor) << version;
        EXPECT_EQ(contents.groundOriginHeight, held.block->groundOriginHeight) << version;
        EXPECT_EQ(0, std::memcmp(&contents.options, &held.block->options, sizeof(csib_Options))) << version;
        Contents expected = contents;
        if (version <= 10.2) expected.w[12].clear();
        ExpectTexts(expected, held.block);
    }
}

TEST(CsibImage, SpareWideTextIsSteppedOver) {
    Contents contents;
    contents.w[3].clear();  // an empty wide text reads back null
    BlockHolder held;
    ASSERT_EQ(CSIB_Ok, csib_Read(&held.block, BuildImage(contents, ImageShape().Swapped().Spare(u"spare text")).data()));
    ExpectTexts(contents, held.block);
}

TEST(CsibImage, ProjectionKindZeroRoundTrips) {
    Contents contents;
    BlockHolder held;
    ASSERT_EQ(CSIB_Ok, csib_Read(&held.block, BuildImage(contents, ImageShape().NoProjection()).data()));
    EXPECT_EQ(0, held.block->projectionKind);
    EXPECT_EQ(nullptr, held.block->projection.Forward);
    EXPECT_EQ(0.0, held.block->groundScaleFactor);
    EXPECT_EQ(BuildImage(contents, ImageShape().NoProjection()), WriteImage(held.block));
}

// Every allocation of making, writing and reading a full block fails in turn: the
// failure surfaces as -26 and whatever was allocated is released.
TEST(CsibImage, EachFailedAllocationIsReportedAndLeaksNothing) {
    Contents contents;
    const int64_t live = csib_LiveAllocations();
    int failures = 0;
    for (int32_t n = 1; n < 1000; ++n) {
        csib_FailAllocation(n);
        csib_Block* made = nullptr;
        csib_Block* back = nullptr;
        csib_Status status = MakeBlock(contents, &made);
        std::vector<uint8_t> image;
        if (status == CSIB_Ok) {
            int32_t size = 0;
            ASSERT_EQ(CSIB_Ok, csib_GetSize(made, 1, &size));
            image.assign(static_cast<std::size_t>(size), DB);
            ASSERT_EQ(CSIB_Ok, csib_Write(made, image.data(), 1));
            status = csib_Read(&back, image.data());
            if (status != CSIB_Ok) {
            EXPECT_EQ(nullptr, back);
        }
        }
        csib_FailAllocation(0);
        if (status == CSIB_Ok) ExpectEqualBlocks(made, back);
        csib_Free(&made);
        csib_Free(&back);
        EXPECT_EQ(live, csib_LiveAllocations()) << "allocation " << n;
        if (status == CSIB_Ok) break;
        EXPECT_EQ(CSIB_OutOfMemory, status) << "allocation " << n;
        ++failures;
    }
    // Block, record, two adjustments and the texts on each side.
    EXPECT_GT(failures, 40);
}

TEST(CsibImage, BytePrimitives) {
    uint8_t buffer[32];
    std::memset(buffer, 0xDB, sizeof buffer);
    EXPECT_EQ(1, csib_PutString(buffer, nullptr));
    EXPECT_EQ(0, buffer[0]);
    EXPECT_EQ(4, csib_PutString(buffer + 1, "abc"));
    EXPECT_EQ(2, csib_PutWideString(buffer, nullptr));
    EXPECT_EQ(0, buffer[0] | buffer[1]);
    EXPECT_EQ(6, csib_PutWideString(buffer + 1, u"\u1234x"));  // unaligned
    EXPECT_EQ(4, csib_WideStringBytes(buffer + 1));
    char16_t copy[4];
    EXPECT_EQ(4, csib_GetWideString(copy, buffer + 1, 1));
    EXPECT_TRUE(std::u16string(u"\u3412\u7800") == copy);
    EXPECT_EQ(0x1234, csib_GetU16(buffer + 1));

    csib_PutDouble(buffer + 3, -2.5);
    EXPECT_EQ(-2.5, csib_GetDouble(buffer + 3, 0));
    uint8_t swapped[8];
    std::memcpy(swapped, buffer + 3, 8);
    csib_Swap64(swapped);
    EXPECT_EQ(-2.5, csib_GetDouble(swapped, 1));

    uint8_t bytes[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    csib_Swap80(bytes);
    EXPECT_EQ((std::vector<uint8_t>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1}), std::vector<uint8_t>(bytes, bytes + 10));
    csib_Swap32(bytes);
    EXPECT_EQ((std::vector<uint8_t>{7, 8, 9, 10}), std::vector<uint8_t>(bytes, bytes + 4));
    csib_Swap16(bytes + 8);
    EXPECT_EQ(1, bytes[8]);
    EXPECT_EQ(2, bytes[9]);
}

}  // namespace
