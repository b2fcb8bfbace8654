// The road module's one converter transform: made from the job's corrections alone,
// replaced by a later create, gone after delete, and a failed build leaving none.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cogo/transfrm.h"
#include "csib/csibplatform.h"
#include "records/coordsysdefs.h"
#include "roads/roadquorvel.h"
#include "support/recording_environment.h"

namespace {

db_Corrections SouthWestWithSouthAzimuths() {
    db_Corrections record;
    record.Corrections.GridOrientation = COORDSYS_IncreasingSouthWest;
    record.Corrections.SouthAzimuth = true;
    return record;
}

class ConverterTransformation : public ::testing::Test {
protected:
    void SetUp() override {
        road_DeleteConverterTransformation();
        liveBefore = csib_LiveAllocations();
    }
    void TearDown() override {
        csib_FailAllocation(0);
        road_DeleteConverterTransformation();
        // Every transform made here, replaced ones included, gave its block back.
        EXPECT_EQ(liveBefore, csib_LiveAllocations());
    }
    int64_t liveBefore = 0;
};

TEST_F(ConverterTransformation, CreateReplaceAndDelete) {
    RecordingEnvironment env;
    EXPECT_EQ(nullptr, road_GetConverterTransformation());
    EXPECT_EQ(std::vector<std::string>{"CurrentTransform != NULL"}, env.Expressions());
    env.Clear();

    road_CreateConverterTransformation(db_Corrections());
    const transfrm_Class* first = road_GetConverterTransformation();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(TRANSFRM_Corrections, first->Components);
    EXPECT_EQ(0x20, first->Components);
    EXPECT_EQ(2474, first->LoadFlags);
    EXPECT_NE(nullptr, first->Block);
    const int32_t firstId = first->GetId();

    // The later create replaces it, with the corrections it is given.
    road_CreateConverterTransformation(SouthWestWithSouthAzimuths());
    const transfrm_Class* second = road_GetConverterTransformation();
    ASSERT_NE(nullptr, second);
    EXPECT_NE(firstId, second->GetId());
    EXPECT_EQ(0x20, second->Components);
    EXPECT_DOUBLE_EQ(CONSTANT_Pi, second->GetCogoOrientation().AzimuthOffset);
    EXPECT_EQ(COORDSYS_IncreasingSouthWest, second->GetCogoOrientation().GridOrientation);
    // No projection, so the south-west grid turns about 0.
    const coord_CogoGrid cogo = second->GridToCogoGrid(coord_CorrectedGrid(1000.0, 2000.0, 30.0));
    EXPECT_EQ(-1000.0, cogo.North);
    EXPECT_EQ(-2000.0, cogo.East);
    EXPECT_EQ(30.0, cogo.Elev);
    EXPECT_TRUE(env.Expressions().empty());

    road_DeleteConverterTransformation();
    EXPECT_EQ(nullptr, road_GetConverterTransformation());
    road_DeleteConverterTransformation();  // none left: nothing happens
    EXPECT_EQ(std::vector<std::string>{"CurrentTransform != NULL"}, env.Expressions());
}

TEST_F(ConverterTransformation, FailedBuildLeavesNoneAndDropsTheOldOne) {
    RecordingEnvironment env;
    road_CreateConverterTransformation(db_Corrections());
    ASSERT_NE(nullptr, road_GetConverterTransformation());

    csib_FailAllocation(1);
    road_CreateConverterTransformation(SouthWestWithSouthAzimuths());
    csib_FailAllocation(0);
    EXPECT_EQ(nullptr, road_GetConverterTransformation());
    EXPECT_EQ((std::vector<std::string>{"CurrentConverterTransformation != NULL", "CurrentTransform != NULL"}),
              env.Expressions());

    // A later create works again.
    road_CreateConverterTransformation(db_Corrections());
    EXPECT_NE(nullptr, road_GetConverterTransformation());
}

}  // namespace
