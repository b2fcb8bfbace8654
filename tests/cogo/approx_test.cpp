#include "cogo/approx.h"

#include <gtest/gtest.h>

#include "foundation/kernel/maths.h"
#include "support/recording_environment.h"

namespace {

TEST(Approx, RelationsAroundTheTolerance) {
    // d = a - b at and beyond the edges of delta = 0.25 (exact binary values).
    struct Case { double d; bool eq, ne, lt, gt, le, ge; };
    const Case cases[] = {
        {-0.5, false, true, true, false, true, false},
        {-0.25, true, false, false, false, true, true},
        {0.0, true, false, false, false, true, true},
        {0.25, true, false, false, false, true, true},
        {0.5, false, true, false, true, false, true},
    };
    RecordingEnvironment env;
    for (const Case& c : cases) {
        const double a = 3.0 + c.d, b = 3.0;
        EXPECT_EQ(approx_Compare(a, APPROX_EqualTo, b, 0.25), c.eq) << c.d;
        EXPECT_EQ(approx_Compare(a, APPROX_NotEqualTo, b, 0.25), c.ne) << c.d;
        EXPECT_EQ(approx_Compare(a, APPROX_LessThan, b, 0.25), c.lt) << c.d;
        EXPECT_EQ(approx_Compare(a, APPROX_GreaterThan, b, 0.25), c.gt) << c.d;
        EXPECT_EQ(approx_Compare(a, APPROX_LessOrEqual, b, 0.25), c.le) << c.d;
        EXPECT_EQ(approx_Compare(a, APPROX_GreaterOrEqual, b, 0.25), c.ge) << c.d;
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST(Approx, HalfMillimetreAndDecimalTolerances) {
    EXPECT_TRUE(approx_Compare(1.0, APPROX_EqualTo, 1.0004, 0.0005));
    EXPECT_FALSE(approx_Compare(1.0, APPROX_LessThan, 1.0004, 0.0005));
    EXPECT_TRUE(approx_Compare(1.0, APPROX_LessThan, 1.001, 0.0005));
    EXPECT_TRUE(approx_Equal(1.0, APPROX_EqualTo, 1.0004));
    EXPECT_FALSE(approx_Equal(1.0, APPROX_EqualTo, 1.0006));
    EXPECT_TRUE(approx_Equal(1.0, APPROX_GreaterOrEqual, 1.0004));
    EXPECT_TRUE(approx_EqualDecimals(1.0, APPROX_EqualTo, 1.0009, 3));
    EXPECT_FALSE(approx_EqualDecimals(1.0, APPROX_EqualTo, 1.0011, 3));
    EXPECT_FALSE(approx_EqualDecimals(1.0, APPROX_EqualTo, 1.0009, 4));
}

TEST(Approx, NullOperandsCompareExactlyOrNotAtAll) {
    const double n = MATHS_Null;
    struct Case { double a, b; int relation; bool result; };
    const Case cases[] = {
        {n, n, APPROX_EqualTo, true},        {n, 1.0, APPROX_EqualTo, false},
        {1.0, n, APPROX_EqualTo, false},     {n, n, APPROX_NotEqualTo, false},
        {n, 1.0, APPROX_NotEqualTo, true},   {1.0, n, APPROX_NotEqualTo, true},
        {n, 1.0, APPROX_LessThan, false},    {1.0, n, APPROX_LessThan, false},
        {n, 1.0, APPROX_GreaterThan, false}, {1.0, n, APPROX_GreaterThan, false},
        {n, n, APPROX_LessOrEqual, false},   {n, n, APPROX_GreaterOrEqual, false},
        {n, 1.0, 6, false},
    };
    RecordingEnvironment env;
    for (const Case& c : cases)
        EXPECT_EQ(approx_Compare(c.a, c.relation, c.b, 0.0005), c.result) << c.relation;
    EXPECT_TRUE(env.assertions.empty());
}

TEST(Approx, BadDeltaAndRelationAreReported) {
    RecordingEnvironment env;
    EXPECT_FALSE(approx_Compare(1.0, 6, 1.0, 0.0005));
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"0"});
    EXPECT_EQ(env.assertions[0].module, "QZ/approx");
    env.Clear();
    // Still compared after the report: tolerance 0 is exact.
    EXPECT_TRUE(approx_Compare(2.0, APPROX_EqualTo, 2.0, 0.0));
    EXPECT_FALSE(approx_Compare(2.0, APPROX_EqualTo, 2.0000001, 0.0));
    EXPECT_TRUE(approx_Compare(2.0, APPROX_EqualTo, 2.5, 1.0));
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"delta > 0.0", "delta > 0.0", "delta < 1"}));
}

}  // namespace
