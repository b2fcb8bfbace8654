// The glue's conversions of coordinate values, its guarded operations and scale
// factors, block copies and model file look-up.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "csib/adjustments.h"
#include "csib/csibplatform.h"
#include "csib/glue.h"
#include "csib/image.h"
#include "csib/pipeline.h"
#include "csib/projection_tm.h"
#include "csib_fixtures.h"
#include "model_folders.h"

namespace {

constexpr double kDeg = 3.141592653589793 / 180.0;

csib_Block* PlainBlock(csibtest::BlockHolder& holder) {
    EXPECT_EQ(CSIB_Ok, csib_Create(&holder.block, 1, 6378137.0, 6356752.3142));
    holder.block->groundScaleFactor = 1.0;
    return holder.block;
}

TEST(GlueValues, GeodeticValuesCarryNulls) {
    csib_GeodeticPoint p{};
    EXPECT_TRUE(csibglue_WGS84ToGeodeticPoint(coord_WGS84(0.8, 0.15, MATHS_Null), &p));
    EXPECT_EQ(0, p.hasEllipsoidHeight);
    EXPECT_EQ(0, p.hasOrthometricHeight);
    coord_WGS84 w(1, 1, 1);
    csibglue_GeodeticPointToWGS84(&p, &w);
    EXPECT_EQ(0.8, w.Lat);
    EXPECT_TRUE(maths_IsNull(w.Height));

    EXPECT_TRUE(csibglue_LocalToGeodeticPoint(coord_Local(0.8, 0.15, 321.5), &p));
    EXPECT_EQ(1, p.hasEllipsoidHeight);
    EXPECT_EQ(321.5, p.ellipsoidHeight);
    coord_Local l;
    csibglue_GeodeticPointToLocal(&p, &l);
    EXPECT_EQ(321.5, l.Height);

    // Filled even when answering false.
    EXPECT_FALSE(csibglue_LocalToGeodeticPoint(coord_Local(MATHS_Null, 0.15, 5.0), &p));
    EXPECT_EQ(0.15, p.longitude);
    EXPECT_FALSE(csibglue_WGS84ToGeodeticPoint(coord_WGS84(0.8, MATHS_Null, 5.0), &p));
}

TEST(GlueValues, GridValuesEnterAndLeaveThroughTheFalseOrigin) {
    csibtest::BlockHolder holder;
    csib_Block* block = PlainBlock(holder);
    block->falseNorthing = 1000.0;
    block->falseEasting = 2000.0;

    csib_GridPoint g{};
    csibglue_GridToGridPoint(coord_CogoGrid(5000.0, 7000.0, 12.5), &g, block);
    EXPECT_EQ(4000.0, g.north);
    EXPECT_EQ(5000.0, g.east);
    EXPECT_EQ(12.5, g.elevation);
    EXPECT_EQ(1, g.hasElevation);
    EXPECT_EQ(0, g.hasEllipsoidHeight);
    coord_CogoGrid out;
    csibglue_GridPointToGrid(&g, &out, block);
    EXPECT_EQ(5000.0, out.North);
    EXPECT_EQ(7000.0, out.East);
    EXPECT_EQ(12.5, out.Elev);

    // A null east keeps its false easting off; a null elevation stays null.
    csibglue_GridToGridPoint(coord_CogoGrid(5000.0, MATHS_Null, MATHS_Null), &g, block);
    EXPECT_EQ(1, g.applyFalseNorthing);
    EXPECT_EQ(0, g.applyFalseEasting);
    EXPECT_EQ(MATHS_Null, g.east);
    EXPECT_EQ(0, g.hasElevation);
    csibglue_GridPointToGrid(&g, &out, block);
    EXPECT_TRUE(maths_IsNull(out.Elev));

    // A null false northing is not taken off either.
    block->falseNorthing = MATHS_Null;
    csibglue_GridToGridPoint(coord_CogoGrid(5000.0, 7000.0, 0.0), &g, block);
    EXPECT_EQ(0, g.applyFalseNorthing);
    EXPECT_EQ(5000.0, g.north);
}

TEST(GlueValues, GridValuesTakeTheGroundOffsets) {
    csibtest::BlockHolder holder;
    csib_Block* block = PlainBlock(holder);
    block->originLongitude = 9.0 * kDeg;
    block->scaleFactor = 0.9996;
    block->falseEasting = 500000.0;
    ASSERT_EQ(CSIB_Ok, csib_SetProjection(block, CSIB_TransverseMercator, nullptr));
    block->groundScaleFactor = 1.0004;
    block->hasGroundOrigin = 1;
    block->groundOriginLatitude = 47.5 * kDeg;
    block->groundOriginLongitude = 10.2 * kDeg;
    block->groundOffsetNorth = 2.0;
    block->groundOffsetEast = -3.0;
    double gn = 0, ge = 0;
    ASSERT_EQ(CSIB_Ok, csib_GetGroundOffset(block, &gn, &ge));
    ASSERT_NE(0.0, gn);

    csib_GridPoint g{};
    csibglue_GridToGridPoint(coord_CogoGrid(5261000.0, 590000.0, 0.0), &g, block);
    EXPECT_DOUBLE_EQ(5261000.0 + 2.0 + gn, g.north);
    EXPECT_DOUBLE_EQ(590000.0 - 3.0 + ge - 500000.0, g.east);
    coord_CogoGrid out;
    csibglue_GridPointToGrid(&g, &out, block);
    EXPECT_NEAR(5261000.0, out.North, 1e-8);
    EXPECT_NEAR(590000.0, out.East, 1e-8);
}

TEST(GlueValues, GuardedOperationsActOnlyOnInstalledModels) {
    csibtest::BlockHolder holder;
    csib_Block* block = PlainBlock(holder);
    const csib_GridPoint start{100.0, 200.0, 0.0, 10.0, 1, 1, 0, 1};
    csib_GridPoint g = start;
    csibglue_ApplyHorizontalAdjustment(block, &g);
    csibglue_ApplyVerticalAdjustment(block, &g);
    EXPECT_EQ(CSIB_Ok, csibglue_ApplyShiftGrid(block, &g));
    EXPECT_EQ(CSIB_Ok, csibglue_RemoveShiftGrid(block, &g));
    csibglue_RemoveVerticalAdjustment(block, &g);
    csibglue_RemoveHorizontalAdjustment(block, &g);
    EXPECT_EQ(start.north, g.north);
    EXPECT_EQ(start.east, g.east);
    EXPECT_EQ(start.elevation, g.elevation);

    coordsys_Plane plane;
    plane.OriginNorth = 90.0;
    plane.OriginEast = 190.0;
    plane.TranslationNorth = 1.0;
    plane.TranslationEast = 2.0;
    plane.Rotation = 0.0;
    plane.ScaleFactor = 1.0;
    coordsys_Height height;
    height.OriginNorth = height.OriginEast = height.NorthAdjustment = height.EastAdjustment = 0.0;
    height.ElevAdjustment = 0.5;
    ASSERT_EQ(CSIB_Ok, csibglue_SetHorizontalAdjustment(block, plane));
    ASSERT_EQ(CSIB_Ok, csibglue_SetVerticalAdjustment(block, height));
    csibglue_ApplyHorizontalAdjustment(block, &g);
    csibglue_ApplyVerticalAdjustment(block, &g);
    EXPECT_EQ(101.0, g.north);
    EXPECT_EQ(202.0, g.east);
    EXPECT_EQ(10.5, g.elevation);
    csibglue_RemoveVerticalAdjustment(block, &g);
    csibglue_RemoveHorizontalAdjustment(block, &g);
    EXPECT_EQ(100.0, g.north);
    EXPECT_EQ(200.0, g.east);
    EXPECT_EQ(10.0, g.elevation);
}

TEST(GlueValues, ScaleFactorsFailToNull) {
    csibtest::BlockHolder holder;
    csib_Block* block = PlainBlock(holder);
    double factor = 0.0;
    EXPECT_FALSE(csibglue_GridScaleFactor(block, coord_Local(0.8, 0.15, 0.0), &factor));
    EXPECT_TRUE(maths_IsNull(factor));
    EXPECT_FALSE(csibglue_CombinedScaleFactor(block, coord_Local(0.8, 0.15, 0.0), 100.0, &factor));
    EXPECT_TRUE(maths_IsNull(factor));

    block->originLongitude = 9.0 * kDeg;
    block->scaleFactor = 0.9996;
    ASSERT_EQ(CSIB_Ok, csib_SetProjection(block, CSIB_TransverseMercator, nullptr));
    const csib_GeodeticPoint p{48.0 * kDeg, 11.5 * kDeg, 0.0, 0.0, 0, 0};
    double k = 0.0;
    ASSERT_EQ(CSIB_Ok, tm_ScaleFactor(block, &p, &k));
    EXPECT_TRUE(csibglue_GridScaleFactor(block, coord_Local(p.latitude, p.longitude, 999.0), &factor));
    EXPECT_EQ(k, factor);
    EXPECT_TRUE(csibglue_CombinedScaleFactor(block, coord_Local(p.latitude, p.longitude, MATHS_Null), 0.0, &factor));
    EXPECT_EQ(k, factor);
    // A scale of exactly 0 counts as a failure.
    block->groundScaleFactor = 0.0;
    EXPECT_FALSE(csibglue_GridScaleFactor(block, coord_Local(p.latitude, p.longitude, 0.0), &factor));
    EXPECT_TRUE(maths_IsNull(factor));
}

TEST(GlueValues, ClonesWriteTheSameImageAndFailWithoutMemory) {
    csibtest::Contents contents;
    csibtest::BlockHolder source;
    ASSERT_EQ(CSIB_Ok, csibtest::MakeBlock(contents, &source.block));
    csibtest::BlockHolder copy;
    ASSERT_TRUE(csibglue_CloneCsib(&copy.block, source.block));
    EXPECT_EQ(csibtest::WriteImage(source.block), csibtest::WriteImage(copy.block));
    csibtest::ExpectEqualBlocks(source.block, copy.block);

    for (int n = 1;; ++n) {
        const int64_t live = csib_LiveAllocations();
        csibtest::BlockHolder failed;
        csib_FailAllocation(n);
        const bool cloned = csibglue_CloneCsib(&failed.block, source.block);
        csib_FailAllocation(0);
        if (cloned) break;
        EXPECT_EQ(nullptr, failed.block);
        EXPECT_EQ(live, csib_LiveAllocations()) << "allocation " << n;
    }
}

TEST(GlueValues, CloseAndReopenOnANullBlock) {
    EXPECT_EQ(CSIB_Ok, csibglue_CloseFile(nullptr, Str("x.ggf")));
    EXPECT_EQ(CSIB_Ok, csibglue_ReopenFiles(nullptr));
    csibtest::BlockHolder holder;
    EXPECT_EQ(CSIB_Ok, csibglue_CloseFile(PlainBlock(holder), Str("x.ggf")));
    EXPECT_EQ(CSIB_Ok, csibglue_ReopenFiles(holder.block));
}

class GlueModelFiles : public ModelFoldersTest {
protected:
    static bool Names(const Str& path, const std::string& folder, const std::string& file) {
        const std::string text = path.Data();
        return text.find(folder) != std::string::npos && text.size() >= file.size() &&
               text.compare(text.size() - file.size(), file.size(), file) == 0;
    }
};

TEST_F(GlueModelFiles, FindModelFilePrefersTheProjectFolder) {
    EXPECT_TRUE(csibglue_FindModelFile("net", "RTD").IsEmpty());
    tmp.Write("shared/net.RTD", "x");
    EXPECT_TRUE(Names(csibglue_FindModelFile("net", "RTD"), "shared", "net.RTD"));
    tmp.Write("project/net.RTD", "x");
    EXPECT_TRUE(Names(csibglue_FindModelFile("net", "RTD"), "project", "net.RTD"));
}

TEST_F(GlueModelFiles, ModelPathsThatDoNotFitAreRefusedNotCut) {
    char buffer[CSIBGLUE_MaxPath + 2];
    ASSERT_TRUE(csibglue_ModelFilePath("geoid", "ggf", buffer));
    EXPECT_TRUE(Names(Str(buffer), "shared", "geoid.ggf"));
    EXPECT_FALSE(Str(buffer).IsEmpty());
    EXPECT_FALSE(csibglue_ModelFileName("geoid", "ggf").IsEmpty());

    const std::string longName(CSIBGLUE_MaxPath, 'g');
    EXPECT_FALSE(csibglue_ModelFilePath(longName.c_str(), "ggf", buffer));
    EXPECT_EQ(0, buffer[0]);
    EXPECT_TRUE(csibglue_ModelFileName(longName.c_str(), "ggf").IsEmpty());
}

}  // namespace
