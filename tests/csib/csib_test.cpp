#include "csib/csib.h"

#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "csib/kinds.h"
#include "csib_fixtures.h"

namespace {

using csibtest::BlockHolder;

template <typename Table>
bool AllNull(const Table& table) {
    static const Table none{};
    return std::memcmp(&table, &none, sizeof(Table)) == 0;
}

template <typename Table>
bool Same(const Table& x, const Table& y) {
    return std::memcmp(&x, &y, sizeof(Table)) == 0;
}

TEST(CsibBlock, CreateFillsTheEllipsoidAndEmptyStages) {
    BlockHolder held;
    ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, 6378137.0, 6356752.3142));
    const csib_Block& b = *held.block;
    EXPECT_EQ(10.5, b.version);
    EXPECT_EQ(0, b.origin);
    EXPECT_EQ(1, b.gridMode);
    EXPECT_EQ((6378137.0 - 6356752.3142) / 6378137.0, b.flattening);
    EXPECT_NEAR(0.0818191909289062, b.eccentricity, 1e-15);  // sqrt(1 - b^2 / a^2)
    EXPECT_EQ(b.eccentricity * b.eccentricity, b.eccentricitySquared);
    EXPECT_EQ(0, b.datumKind);
    EXPECT_EQ(0, b.projectionKind);
    EXPECT_EQ(0, b.verticalKind);
    EXPECT_TRUE(Same(csib_DatumNone, b.datum));
    EXPECT_TRUE(AllNull(b.projection));
    EXPECT_TRUE(AllNull(b.vertical));
    EXPECT_EQ(0, std::memcmp(&CSIB_DefaultOptions, &b.options, sizeof(csib_Options)));
    EXPECT_EQ(1, b.options.northAxis);
    EXPECT_EQ(2, b.options.seventh);
}

TEST(CsibBlock, FreeReleasesEverythingAndNullsThePointer) {
    csib_Block* block = nullptr;
    csib_Free(&block);  // nothing to do
    csib_Free(nullptr);
    const int64_t live = csib_LiveAllocations();
    csibtest::Contents contents;
    ASSERT_EQ(CSIB_Ok, csibtest::MakeBlock(contents, &block));
    EXPECT_GT(csib_LiveAllocations(), live + 20);
    csib_Free(&block);
    EXPECT_EQ(nullptr, block);
    EXPECT_EQ(live, csib_LiveAllocations());
}

// A kind outside the range, or one whose model is not built in, installs nothing.
TEST(CsibBlock, KindsThatCannotBeInstalledLeaveTheTable) {
    struct Case {
        const char* stage;
        uint8_t kind;
        csib_Status status;
    };
    const Case cases[] = {
        {"projection", 20, CSIB_BadProjectionKind}, {"datum", 7, CSIB_BadDatumKind},
        {"vertical", 4, CSIB_BadVerticalKind},      {"projection", 255, CSIB_BadProjectionKind},
        {"vertical", 250, CSIB_BadVerticalKind},
    };
    for (const Case& c : cases) {
        BlockHolder held;
        ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, 6378137.0, 6356752.3142));
        ASSERT_EQ(CSIB_Ok, csib_SetProjection(held.block, CSIB_TransverseMercator, nullptr));
        const csib_Block before = *held.block;
        csib_Block* b = held.block;
        csib_Status status;
        if (std::string(c.stage) == "projection") {
            b->projectionKind = c.kind;
            status = csib_SetProjectionFunctions(b);
            EXPECT_TRUE(Same(before.projection, b->projection)) << c.stage << " " << int(c.kind);
            b->projectionKind = before.projectionKind;
        } else if (std::string(c.stage) == "datum") {
            b->datumKind = c.kind;
            status = csib_SetDatumFunctions(b);
            EXPECT_TRUE(Same(before.datum, b->datum)) << c.stage << " " << int(c.kind);
            b->datumKind = before.datumKind;
        } else {
            b->verticalKind = c.kind;
            status = csib_SetVerticalFunctions(b);
            EXPECT_TRUE(Same(before.vertical, b->vertical)) << c.stage << " " << int(c.kind);
            b->verticalKind = before.verticalKind;
        }
        EXPECT_EQ(c.status, status) << c.stage << " " << int(c.kind);
    }
}

// Replacing a stage by a kind that cannot be installed keeps the old model working
// (it used to be released first, leaving the slots over a freed record).
TEST(CsibBlock, SettingABadKindKeepsTheStage) {
    BlockHolder held;
    ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, 6378137.0, 6356752.3142));
    csib_Block* block = held.block;
    block->scaleFactor = 1.0;
    ASSERT_EQ(CSIB_Ok, csib_SetProjection(block, CSIB_TransverseMercator, nullptr));
    void* record = block->projectionParameters;
    const int64_t live = csib_LiveAllocations();

    EXPECT_EQ(CSIB_BadProjectionKind, csib_SetProjection(block, 20, nullptr));
    EXPECT_EQ(CSIB_BadDatumKind, csib_SetDatum(block, 7, nullptr));
    EXPECT_EQ(CSIB_BadVerticalKind, csib_SetVertical(block, 4, nullptr));
    EXPECT_EQ(CSIB_TransverseMercator, block->projectionKind);
    EXPECT_EQ(0, block->datumKind);
    EXPECT_EQ(0, block->verticalKind);
    EXPECT_EQ(record, block->projectionParameters);
    EXPECT_EQ(live, csib_LiveAllocations());

    csib_GeodeticPoint point{0.1, 0.01, 0, 0, 0, 0};
    csib_GridPoint grid{};
    EXPECT_EQ(CSIB_Ok, block->projection.Forward(block, &point, &grid));
    csib_GeodeticPoint local{};
    EXPECT_EQ(CSIB_Ok, block->datum.FromWGS84(block, &point, &local));
    int32_t size = 0;
    EXPECT_EQ(CSIB_Ok, csib_GetSize(block, 1, &size));
    EXPECT_EQ(218, size);

    // Kind 0 releases the projection and clears its slots.
    EXPECT_EQ(CSIB_Ok, csib_SetProjection(block, 0, nullptr));
    EXPECT_EQ(nullptr, block->projectionParameters);
    EXPECT_TRUE(AllNull(block->projection));
    EXPECT_EQ(live - 1, csib_LiveAllocations());
    EXPECT_EQ(CSIB_Ok, csib_SetDatum(block, 0, nullptr));
    EXPECT_EQ(CSIB_Ok, csib_SetVertical(block, 0, nullptr));
}

TEST(CsibBlock, IsConformalByKind) {
    EXPECT_FALSE(csib_IsConformal(nullptr));
    BlockHolder held;
    ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, 6378137.0, 6356752.3142));
    const bool conformal[] = {false, false, false, true, true, true, true, true, true, true,
                              false, true,  true,  false, true, true, true, true, true, false};
    for (uint8_t kind = 0; kind < 20; ++kind) {
        held.block->projectionKind = kind;
        EXPECT_EQ(conformal[kind], csib_IsConformal(held.block)) << int(kind);
    }
    held.block->projectionKind = 20;
    EXPECT_FALSE(csib_IsConformal(held.block));
    held.block->projectionKind = 0;
}

TEST(CsibBlock, DatumNonePassesPointsUnchanged) {
    BlockHolder held;
    ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 0, 6378137.0, 6356752.3142));
    csib_Block* block = held.block;
    const csib_GeodeticPoint wgs{0.7, -1.2, 45.5, 3.5, 1, 0};
    csib_GeodeticPoint out{};
    ASSERT_EQ(CSIB_Ok, block->datum.FromWGS84(block, &wgs, &out));
    EXPECT_EQ(0, std::memcmp(&wgs, &out, sizeof out));
    out = {};
    ASSERT_EQ(CSIB_Ok, block->datum.ToWGS84(block, &wgs, &out));
    EXPECT_EQ(0, std::memcmp(&wgs, &out, sizeof out));
    for (uint8_t mode : {0, 1}) {
        int32_t size = -1;
        EXPECT_EQ(CSIB_Ok, block->datum.GetSavedSize(block, mode, &size));
        EXPECT_EQ(0, size);
    }
    void* parameter = block;
    EXPECT_EQ(CSIB_Ok, block->datum.GetParameters(block, 0, &parameter));
    EXPECT_EQ(nullptr, parameter);
    EXPECT_EQ(CSIB_MissingOutput, block->datum.GetParameters(block, 0, nullptr));
    EXPECT_EQ(CSIB_MissingOutput, block->datum.GetSavedSize(block, 0, nullptr));
}

TEST(CsibBlock, FilesAndShiftGridWithoutFileModels) {
    BlockHolder held;
    csibtest::Contents contents;
    ASSERT_EQ(CSIB_Ok, csibtest::MakeBlock(contents, &held.block));
    EXPECT_EQ(CSIB_Ok, csib_CloseFile(held.block, "geoid.ggf"));
    EXPECT_EQ(CSIB_Ok, csib_ReopenFiles(held.block));
    // A shift grid whose file is missing cannot be read.
    EXPECT_EQ(CSIB_FileOpenFailed, csib_SetShiftGrid(held.block, "shift.sgf"));
    EXPECT_EQ(0, held.block->hasShiftGrid);
    EXPECT_EQ(CSIB_Ok, csib_SetShiftGrid(held.block, nullptr));
}

}  // namespace
