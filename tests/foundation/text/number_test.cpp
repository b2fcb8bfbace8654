// The number scanner: what it reads of each kind of text, pinned case by case.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "foundation/text/number.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct DoubleCase {
    const char* text;
    double value;  // NaN stands for "a NaN"
    int count;     // bytes read; 0 when no number
};

const DoubleCase kDoubles[] = {
    {"12", 12.0, 2},
    {"  \t\n\v\f\r12", 12.0, 9},
    {"+12", 12.0, 3},
    {"-12.5", -12.5, 5},
    {"12abc", 12.0, 2},
    {"1,5", 1.0, 1},
    {".5", 0.5, 2},
    {"5.", 5.0, 2},
    {"-.5e1", -5.0, 5},
    {"1e", 1.0, 1},
    {"1e+", 1.0, 1},
    {"1E3", 1000.0, 3},
    {"0x10", 16.0, 4},
    {"0X1p-1", 0.5, 6},
    {"-0x.8", -0.5, 5},
    {"0x", 0.0, 1},
    {"0xg", 0.0, 1},
    {"0xinf", 0.0, 1},
    {"inf", kInf, 3},
    {"-Infinity", -kInf, 9},
    {"INFx", kInf, 3},
    {"nan", NAN, 3},
    {"NaN(12)", NAN, 7},
    {"1e400", kInf, 5},
    {"-1e400", -kInf, 6},
    {"1000e306", kInf, 8},
    {"0.001e-306", 1e-309, 10},
    {"1e-400", 0.0, 6},
    {"0x1p2000", kInf, 8},
    {"0x1p-2000", 0.0, 9},
    {"", 0.0, 0},
    {"   ", 0.0, 0},
    {"abc", 0.0, 0},
    {"+", 0.0, 0},
    {"-", 0.0, 0},
    {".", 0.0, 0},
    {"e5", 0.0, 0},
    {"+-1", 0.0, 0},
    {"--1", 0.0, 0},
    {"- 1", 0.0, 0},
};

TEST(NumberScan, DoublesAsTheCRuntimeReadsThemInTheCLocale) {
    for (const auto& c : kDoubles) {
        double value = -7.0;
        EXPECT_EQ(number_ScanDouble(c.text, &value), c.count) << '"' << c.text << '"';
        if (std::isnan(c.value)) {
            EXPECT_TRUE(std::isnan(value)) << c.text;
            continue;
        }
        EXPECT_EQ(value, c.value) << '"' << c.text << '"';
        EXPECT_EQ(std::signbit(value), std::signbit(c.value)) << c.text;
        EXPECT_EQ(number_Atof(c.text), c.value) << c.text;
    }
    double value = 1.0;
    EXPECT_EQ(number_ScanDouble(nullptr, &value), 0);
    EXPECT_EQ(value, 0.0);
    EXPECT_TRUE(std::signbit(number_Atof("-0")));
}

struct IntCase {
    const char* text;
    int32_t value;
    uint32_t unsignedValue;
    int count;
};

const IntCase kIntegers[] = {
    {"42", 42, 42u, 2},
    {" \t+42", 42, 42u, 5},
    {"-42", -42, 4294967254u, 3},
    {"-1", -1, 4294967295u, 2},
    {"12abc", 12, 12u, 2},
    {"1,5", 1, 1u, 1},
    {"12.9", 12, 12u, 2},
    {"0x1A", 0, 0u, 1},
    {"1e3", 1, 1u, 1},
    {"2147483647", 2147483647, 2147483647u, 10},
    {"2147483648", INT32_MAX, 2147483648u, 10},
    {"-2147483648", INT32_MIN, 2147483648u, 11},
    {"-2147483649", INT32_MIN, 2147483647u, 11},
    {"4294967295", INT32_MAX, 4294967295u, 10},
    {"4294967296", INT32_MAX, 4294967295u, 10},
    {"-4294967296", INT32_MIN, 4294967295u, 11},
    {"99999999999999999999999", INT32_MAX, 4294967295u, 23},
    {"000000000000000000000007", 7, 7u, 24},
    {"", 0, 0u, 0},
    {"abc", 0, 0u, 0},
    {"+", 0, 0u, 0},
    {"- 1", 0, 0u, 0},
    {"inf", 0, 0u, 0},
};

TEST(NumberScan, IntegersAsTheCRuntimeReadsThem) {
    for (const auto& c : kIntegers) {
        int32_t value = -7;
        uint32_t unsignedValue = 7;
        EXPECT_EQ(number_ScanInt(c.text, &value), c.count) << '"' << c.text << '"';
        EXPECT_EQ(value, c.value) << '"' << c.text << '"';
        EXPECT_EQ(number_ScanUnsigned(c.text, &unsignedValue), c.count) << '"' << c.text << '"';
        EXPECT_EQ(unsignedValue, c.unsignedValue) << '"' << c.text << '"';
        EXPECT_EQ(number_Atoi(c.text), c.value) << '"' << c.text << '"';
    }
    int32_t value = 1;
    EXPECT_EQ(number_ScanInt(nullptr, &value), 0);
    EXPECT_EQ(value, 0);
}

// The 64-bit scan reads as strtoll does: clamped at both ends, never wrapped.
TEST(NumberScan, SixtyFourBitIntegersClamp) {
    const struct {
        const char* text;
        int64_t value;
        int count;
    } cases[] = {
        {"4294967297", 4294967297LL, 10},
        {"-1", -1, 2},
        {" +12abc", 12, 4},
        {"9223372036854775807", INT64_MAX, 19},
        {"9223372036854775808", INT64_MAX, 19},
        {"-9223372036854775808", INT64_MIN, 20},
        {"-9223372036854775809", INT64_MIN, 20},
        {"18446744073709551616", INT64_MAX, 20},
        {"-99999999999999999999999999", INT64_MIN, 27},
        {"", 0, 0},
        {"x1", 0, 0},
    };
    for (const auto& c : cases) {
        int64_t value = 7;
        EXPECT_EQ(number_ScanInt64(c.text, &value), c.count) << '"' << c.text << '"';
        EXPECT_EQ(value, c.value) << '"' << c.text << '"';
    }
    int64_t value = 1;
    EXPECT_EQ(number_ScanInt64(nullptr, &value), 0);
    EXPECT_EQ(value, 0);
}

TEST(NumberScan, IgnoresTheHostLocale) {
    std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not installed";
    double comma = number_Atof("1,5");
    double point = number_Atof("1.5");
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(comma, 1.0);
    EXPECT_EQ(point, 1.5);
}

}  // namespace
