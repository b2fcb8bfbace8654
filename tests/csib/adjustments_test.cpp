#include "csib/adjustments.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "csib_fixtures.h"

namespace {

using namespace csibtest;

struct Adjusted {
    BlockHolder held;
    explicit Adjusted(const double horizontal[6], const double vertical[5], double falseNorthing = 0.0,
                      double falseEasting = 0.0) {
        EXPECT_EQ(CSIB_Ok, csib_Create(&held.block, 1, 6378137.0, 6356752.3142));
        held.block->falseNorthing = falseNorthing;
        held.block->falseEasting = falseEasting;
        std::vector<uint8_t> h = Saved(horizontal, 6), v = Saved(vertical, 5);
        EXPECT_EQ(CSIB_Ok, csib_SetHorizontalAdjustment(held.block, h.data()));
        EXPECT_EQ(CSIB_Ok, csib_SetVerticalAdjustment(held.block, v.data()));
    }
};

TEST(CsibAdjustments, ApplyThenRemoveRestoresThePoint) {
    Contents contents;
    Adjusted adjusted(contents.horizontal, contents.vertical, contents.falseNorthing, contents.falseEasting);
    const csib_Block* block = adjusted.held.block;
    const csib_GridPoint points[] = {
        {0.0, 0.0, 0.0, 0.0, 0, 0, 0, 1},
        {1000.0, 2000.0, 0.0, 123.25, 0, 0, 0, 1},
        {-250000.0, 750000.0, 0.0, -40.0, 0, 0, 0, 1},
        {5432109.87, 654321.09, 0.0, 2999.5, 0, 0, 0, 1},
    };
    for (const csib_GridPoint& original : points) {
        csib_GridPoint p = original;
        csib_ApplyHorizontalAdjustment(block, &p);
        csib_ApplyVerticalAdjustment(block, &p);
        EXPECT_GT(std::fabs(p.north - original.north) + std::fabs(p.elevation - original.elevation), 1e-3);
        csib_RemoveVerticalAdjustment(block, &p);
        csib_RemoveHorizontalAdjustment(block, &p);
        EXPECT_NEAR(original.north, p.north, 1e-9);
        EXPECT_NEAR(original.east, p.east, 1e-9);
        EXPECT_NEAR(original.elevation, p.elevation, 1e-9);
    }
}

TEST(CsibAdjustments, ClosedFormValues) {
    // A quarter turn, no scale, no translation: one unit north of the origin goes
    // one unit east of it.
    const double quarterTurn[6] = {100.0, 200.0, 0.0, 0.0, 1.5707963267948966, 1.0};
    // elevation + 0.5 + (north - 10) 0.001 + (east - 20) (-0.002)
    const double slopes[5] = {10.0, 20.0, 0.5, 0.001, -0.002};
    Adjusted adjusted(quarterTurn, slopes);
    csib_GridPoint p{101.0, 200.0, 0.0, 7.0, 0, 0, 0, 1};
    csib_ApplyHorizontalAdjustment(adjusted.held.block, &p);
    EXPECT_NEAR(100.0, p.north, 1e-12);
    EXPECT_NEAR(201.0, p.east, 1e-12);

    csib_GridPoint q{1010.0, 520.0, 0.0, 7.0, 0, 0, 0, 1};
    csib_ApplyVerticalAdjustment(adjusted.held.block, &q);
    EXPECT_NEAR(7.0 + 0.5 + 1.0 - 1.0, q.elevation, 1e-12);

    // Translation and scale: k (dN, dE) rotated, then shifted.
    const double shifted[6] = {0.0, 0.0, 5.0, -3.0, 0.0, 2.0};
    Adjusted scaled(shifted, slopes);
    csib_GridPoint r{10.0, 4.0, 0, 0, 0, 0, 0, 0};
    csib_ApplyHorizontalAdjustment(scaled.held.block, &r);
    EXPECT_EQ(25.0, r.north);
    EXPECT_EQ(5.0, r.east);
}

TEST(CsibAdjustments, SavedPartsAndSizes) {
    int32_t size = 0;
    EXPECT_EQ(CSIB_Ok, csib_GetHorizontalAdjustmentSavedSize(&size));
    EXPECT_EQ(48, size);
    EXPECT_EQ(CSIB_Ok, csib_GetVerticalAdjustmentSavedSize(&size));
    EXPECT_EQ(40, size);
    EXPECT_EQ(CSIB_MissingOutput, csib_GetHorizontalAdjustmentSavedSize(nullptr));
    EXPECT_EQ(CSIB_MissingOutput, csib_GetVerticalAdjustmentSavedSize(nullptr));

    // Held without the false origin, saved with it.
    Contents contents;
    Adjusted adjusted(contents.horizontal, contents.vertical, contents.falseNorthing, contents.falseEasting);
    csib_Block* block = adjusted.held.block;
    const auto* h = static_cast<const csib_HorizontalAdjustment*>(block->horizontalAdjustment);
    const auto* v = static_cast<const csib_VerticalAdjustment*>(block->verticalAdjustment);
    EXPECT_EQ(contents.horizontal[0] - contents.falseNorthing, h->originNorth);
    EXPECT_EQ(contents.horizontal[1] - contents.falseEasting, h->originEast);
    EXPECT_EQ(contents.vertical[0] - contents.falseNorthing, v->originNorth);
    EXPECT_EQ(contents.vertical[1] - contents.falseEasting, v->originEast);
    std::vector<uint8_t> part(48);
    EXPECT_EQ(CSIB_Ok, csib_SaveHorizontalAdjustment(block, part.data()));
    EXPECT_EQ(Saved(contents.horizontal, 6), part);
    part.assign(40, 0);
    EXPECT_EQ(CSIB_Ok, csib_SaveVerticalAdjustment(block, part.data()));
    EXPECT_EQ(Saved(contents.vertical, 5), part);

    // Dropping them.
    EXPECT_EQ(CSIB_Ok, csib_SetHorizontalAdjustment(block, nullptr));
    EXPECT_EQ(CSIB_Ok, csib_SetVerticalAdjustment(block, nullptr));
    EXPECT_EQ(0, block->hasHorizontalAdjustment);
    EXPECT_EQ(nullptr, block->verticalAdjustment);
}

bool Contains(const std::vector<uint8_t>& image, double value) {
    uint8_t raw[8];
    std::memcpy(raw, &value, 8);
    return std::search(image.begin(), image.end(), raw, raw + 8) != image.end();
}

// A version 1.0 image stores the origins without the false origin; the block takes
// them as stored and a new image saves them with it.
TEST(CsibAdjustments, OldImageOriginsGainTheFalseOrigin) {
    Contents contents;
    BlockHolder held;
    ASSERT_EQ(CSIB_Ok, csib_Read(&held.block, BuildImage(contents, ImageShape().Version(1.0)).data()));
    const auto* h = static_cast<const csib_HorizontalAdjustment*>(held.block->horizontalAdjustment);
    const auto* v = static_cast<const csib_VerticalAdjustment*>(held.block->verticalAdjustment);
    EXPECT_EQ(contents.horizontal[0], h->originNorth);
    EXPECT_EQ(contents.horizontal[1], h->originEast);
    EXPECT_EQ(contents.vertical[0], v->originNorth);
    EXPECT_EQ(contents.vertical[1], v->originEast);

    std::vector<uint8_t> image = WriteImage(held.block);
    EXPECT_TRUE(Contains(image, contents.horizontal[0] + contents.falseNorthing));
    EXPECT_TRUE(Contains(image, contents.horizontal[1] + contents.falseEasting));
    EXPECT_TRUE(Contains(image, contents.vertical[0] + contents.falseNorthing));
    EXPECT_TRUE(Contains(image, contents.vertical[1] + contents.falseEasting));
    BlockHolder again;
    ASSERT_EQ(CSIB_Ok, csib_Read(&again.block, image.data()));
    EXPECT_EQ(0, std::memcmp(h, again.block->horizontalAdjustment, sizeof *h));
    EXPECT_EQ(0, std::memcmp(v, again.block->verticalAdjustment, sizeof *v));
}

}  // namespace
