#include "cogo/total_target.h"

#include <gtest/gtest.h>

namespace {

// sqrt(1.5^2 - 0.091^2) + 0.158, computed with Python.
constexpr double kNotchHeight = 1.6552371221686963;

TEST(TargetHeight, TrueVerticalHeightByMethod) {
    struct Case {
        int32_t method;
        double height;
        double expected;
    } cases[] = {
        {1, 1.5, kNotchHeight},
        {1, 0.05, MATHS_Null},  // below the notch offset
        {1, 0.091, 0.158},      // exactly at it
        {1, MATHS_Null, MATHS_Null},
        {0, 1.5, 1.5},
        {0, MATHS_Null, MATHS_Null},
        {7, 1.5, 1.5},  // an unknown method measures to the true vertical
    };
    for (const Case& c : cases) {
        total_TargetHeightData data;
        data.SetMeasurementMethod(c.method);
        data.Height = c.height;
        if (maths_IsNull(c.expected))
            EXPECT_TRUE(maths_IsNull(data.TrueVerticalHeight())) << c.method << " " << c.height;
        else
            EXPECT_NEAR(data.TrueVerticalHeight(), c.expected, 1e-12) << c.method << " " << c.height;
    }
    total_TargetHeightData data;
    data.MeasurementMethod = 1;  // offsets left null
    data.Height = 1.5;
    data.HorizontalOffset = MATHS_Null;
    EXPECT_TRUE(maths_IsNull(data.TrueVerticalHeight()));
}

TEST(TargetHeight, MethodsOffsetsAndMinimum) {
    total_TargetHeightData data;
    EXPECT_TRUE(maths_IsNull(data.Height));
    EXPECT_EQ(data.MinimumHeight(), -1000.0);
    data.SetMeasurementMethod(1);
    EXPECT_EQ(data.MeasurementMethod, 1);
    EXPECT_EQ(data.HorizontalOffset, 0.091);
    EXPECT_EQ(data.VerticalOffset, 0.158);
    EXPECT_EQ(data.MinimumHeight(), 0.3);
    data.HorizontalOffset = 0.5;
    EXPECT_EQ(data.MinimumHeight(), 0.5);

    data.Height = 2.0;
    data.SetMeasurementMethod(1);
    data.Clear();
    EXPECT_EQ(data.Height, 0.0);
    EXPECT_EQ(data.MeasurementMethod, 0);
    EXPECT_EQ(data.HorizontalOffset, 0.0);
    EXPECT_EQ(data.VerticalOffset, 0.0);
    data.SetMeasurementMethod(1);
    data.SetNull();
    EXPECT_TRUE(maths_IsNull(data.Height));
    EXPECT_EQ(data.MeasurementMethod, 0);
    EXPECT_EQ(data.HorizontalOffset, 0.0);
}

TEST(TargetHeight, EqualityIsExactOnAllFour) {
    total_TargetHeightData a;
    a.Height = 1.5;
    total_TargetHeightData b = a;
    EXPECT_TRUE(a.IsEqual(b));
    EXPECT_FALSE(a.IsNotEqual(b));
    b.Height = 1.5000001;
    EXPECT_FALSE(a.IsEqual(b));
    EXPECT_TRUE(a.IsNotEqual(b));
    b = a;
    b.VerticalOffset = 0.001;
    EXPECT_FALSE(a.IsEqual(b));
    b = a;
    b.MeasurementMethod = 1;
    EXPECT_FALSE(a.IsEqual(b));
}

TEST(Prism, ConstantsWithinTheToleranceAndTypes) {
    struct Case {
        int32_t typeA;
        double constantA;
        int32_t typeB;
        double constantB;
        bool equal;
    } cases[] = {
        {0, -0.0300, 0, -0.030005, true},
        {0, -0.0300, 1, -0.0300, false},
        {-1, 0.0, 0, 0.0, false},
        {2, 0.0, 2, 0.000009, true},
        {2, 0.0, 2, 0.00002, false},
        {2, MATHS_Null, 2, MATHS_Null, true},
        {2, MATHS_Null, 2, 0.0, false},
    };
    for (const Case& c : cases) {
        total_Prism a;
        a.PrismType = c.typeA;
        a.PrismConstant = c.constantA;
        total_Prism b;
        b.PrismType = c.typeB;
        b.PrismConstant = c.constantB;
        EXPECT_EQ(a.IsEqual(b), c.equal) << c.typeA << " " << c.constantA << " " << c.typeB << " " << c.constantB;
        EXPECT_EQ(a.IsNotEqual(b), !c.equal);
    }
    total_Prism prism;
    EXPECT_TRUE(maths_IsNull(prism.PrismConstant));
    EXPECT_EQ(prism.PrismType, -1);
    for (int32_t type = -1; type <= 7; ++type) {
        prism.PrismType = type;
        EXPECT_EQ(prism.IsZenithDependent(), type == 0 || type == 1) << type;
    }
}

TEST(Target, EqualityCoversEveryPart) {
    total_Target a;
    EXPECT_TRUE(maths_IsNull(a.TargetHeightData.Height));
    EXPECT_EQ(a.RMTID, 0);
    EXPECT_EQ(a.CorvaneCheckTargetID, 0);
    a.Prism.PrismConstant = -0.03;
    total_Target b = a;
    b.Prism.PrismConstant = -0.030005;
    EXPECT_TRUE(a.IsEqual(b));
    b = a;
    b.RMTID = 3;
    EXPECT_FALSE(a.IsEqual(b));
    b = a;
    b.CorvaneCheckTargetID = 1;
    EXPECT_FALSE(a.IsEqual(b));
    b = a;
    b.TargetHeightData.SetMeasurementMethod(1);
    EXPECT_FALSE(a.IsEqual(b));
    b = a;
    b.Prism.PrismType = 0;
    EXPECT_FALSE(a.IsEqual(b));
}

}  // namespace
