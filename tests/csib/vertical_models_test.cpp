// Vertical kinds 2 (inclined plane) and 3 (constant separation). Reference numbers:
// earth-centred coordinates from cct +proj=cart on WGS84, the local east, north and up
// components and the tilted plane evaluated by hand in Python.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "csib/csib.h"
#include "csib/csibplatform.h"
#include "csib/image.h"
#include "csib/pipeline.h"
#include "csib_fixtures.h"

namespace {

constexpr double kDeg = 3.141592653589793 / 180.0;
constexpr uint8_t kInclinedPlane = 2;
constexpr uint8_t kConstant = 3;

// (47 N, 8 E, 0 m) and (47.01 N, 8.02 E, 0 m) on WGS84.
constexpr double kOrigin[3] = {4315278.992066, 606472.911519, 4641764.788772};

std::vector<uint8_t> PlanePart(double c, double alpha, double beta, double s) {
    const double values[7] = {kOrigin[0], kOrigin[1], kOrigin[2], c, alpha, beta, s};
    return csibtest::Saved(values, 7);
}

double Separation(csib_Block* block, double latDeg, double lonDeg) {
    const csib_GeodeticPoint p{latDeg * kDeg, lonDeg * kDeg, 0.0, 0.0, 0, 0};
    double n = 1e9;
    EXPECT_EQ(CSIB_Ok, block->vertical.GeoidSeparation(block, &p, &n));
    return n;
}

TEST(InclinedPlane, SeparationOfAFlatAndATiltedPlane) {
    struct Case {
        double c, alpha, beta, s;
        double atOrigin, atPoint;  // N at the origin and at (47.01, 8.02)
    };
    const Case cases[] = {
        // Flat, no offset: N = -u, the point's height above the origin's tangent plane.
        {0.0, 0.0, 0.0, 1.0, 0.0, 0.27804229524804214},
        {0.5, 1e-5, -2e-5, 1.00001, -0.5, -0.1804187518565138},
    };
    for (const Case& c : cases) {
        csibtest::BlockHolder holder;
        ASSERT_EQ(CSIB_Ok, csib_Create(&holder.block, 1, 6378137.0, 6356752.3142));
        const std::vector<uint8_t> part = PlanePart(c.c, c.alpha, c.beta, c.s);
        ASSERT_EQ(CSIB_Ok, csib_SetVertical(holder.block, kInclinedPlane, part.data()));
        EXPECT_NEAR(c.atOrigin, Separation(holder.block, 47.0, 8.0), 1e-5);
        EXPECT_NEAR(c.atPoint, Separation(holder.block, 47.01, 8.02), 1e-5);
    }
}

TEST(VerticalModels, SavedPartsSurviveAnImageInBothKinds) {
    for (uint8_t kind : {kInclinedPlane, kConstant}) {
        SCOPED_TRACE(static_cast<int>(kind));
        csibtest::BlockHolder holder;
        ASSERT_EQ(CSIB_Ok, csib_Create(&holder.block, 1, 6378137.0, 6356752.3142));
        const double constant = -42.125;
        const std::vector<uint8_t> part =
            kind == kConstant ? csibtest::Saved(&constant, 1) : PlanePart(0.5, 1e-5, -2e-5, 1.00001);
        ASSERT_EQ(CSIB_Ok, csib_SetVertical(holder.block, kind, part.data()));
        int32_t size = 0;
        ASSERT_EQ(CSIB_Ok, holder.block->vertical.GetSavedSize(holder.block, 1, &size));
        EXPECT_EQ(static_cast<int32_t>(part.size()), size);
        EXPECT_EQ(CSIB_MissingOutput, holder.block->vertical.GetSavedSize(holder.block, 1, nullptr));

        const std::vector<uint8_t> image = csibtest::WriteImage(holder.block);
        csibtest::BlockHolder copy;
        ASSERT_EQ(CSIB_Ok, csib_Read(&copy.block, image.data()));
        EXPECT_EQ(kind, copy.block->verticalKind);
        EXPECT_EQ(Separation(holder.block, 47.01, 8.02), Separation(copy.block, 47.01, 8.02));
        if (kind == kConstant) {
            EXPECT_EQ(constant, Separation(copy.block, 47.01, 8.02));
        }

        // Parameters: the saved values by index.
        void* parameter = nullptr;
        ASSERT_EQ(CSIB_Ok, copy.block->vertical.GetParameters(copy.block, 0, &parameter));
        ASSERT_NE(nullptr, parameter);
        EXPECT_EQ(kind == kConstant ? constant : kOrigin[0], *static_cast<double*>(parameter));
        EXPECT_EQ(CSIB_MissingOutput, copy.block->vertical.GetParameters(copy.block, 0, nullptr));
    }
}

TEST(InclinedPlane, ParametersOutsideTheSevenSavedValuesAreNull) {
    csibtest::BlockHolder holder;
    ASSERT_EQ(CSIB_Ok, csib_Create(&holder.block, 1, 6378137.0, 6356752.3142));
    const std::vector<uint8_t> part = PlanePart(0.5, 1e-5, -2e-5, 1.00001);
    ASSERT_EQ(CSIB_Ok, csib_SetVertical(holder.block, kInclinedPlane, part.data()));
    void* parameter = &holder;
    ASSERT_EQ(CSIB_Ok, holder.block->vertical.GetParameters(holder.block, 6, &parameter));
    EXPECT_EQ(1.00001, *static_cast<double*>(parameter));
    ASSERT_EQ(CSIB_Ok, holder.block->vertical.GetParameters(holder.block, 7, &parameter));
    EXPECT_EQ(nullptr, parameter);
}

TEST(VerticalModels, FailingAllocationIsReportedAndLeavesNothing) {
    for (uint8_t kind : {kInclinedPlane, kConstant}) {
        const int64_t live = csib_LiveAllocations();
        {
            csibtest::BlockHolder holder;
            ASSERT_EQ(CSIB_Ok, csib_Create(&holder.block, 1, 6378137.0, 6356752.3142));
            const std::vector<uint8_t> part = PlanePart(0.0, 0.0, 0.0, 1.0);
            csib_FailAllocation(1);
            EXPECT_EQ(CSIB_OutOfMemory, csib_SetVertical(holder.block, kind, part.data()));
            csib_FailAllocation(0);
        }
        EXPECT_EQ(live, csib_LiveAllocations());
    }
}

}  // namespace
