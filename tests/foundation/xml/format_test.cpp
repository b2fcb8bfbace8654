#include "foundation/xml/format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace {
constexpr double kPi = 3.141592653589793;
}

TEST(XmlFormat, Doubles) {
    struct {
        double x;
        const char* text;
    } cases[] = {
        {0.5, "0.5"},        {1.0 / 3, "0.33333333333333"}, {-1.0 / 3, "-0.33333333333333"},
        {1e-20, "0"},        {-1e-20, "0"},                 {0.0, "0"},
        {-0.0, "0"},         {2.5, "2.5"},                  {100, "100"},
        {1, "1"},            {-1, "-1"},                    {1e14, "1E+14"},
        {99999999999999.0, "99999999999999"},               {123456789.123456789, "123456789.12346"},
        {1e308, ""},         {-1e308, "-1E+308"},           {4.0 / 3, "1.3333333333333"},
        {0.999999999999999, "1"},                           {1e-5, "0.00001"},
        {-2.5e20, "-2.5E+20"},
        // Nothing a reader could take back is written: such values read as null.
        {std::nan(""), ""}, {HUGE_VAL, ""}, {-HUGE_VAL, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(xml_FormatDouble(c.x), c.text) << c.x;
}

TEST(XmlFormat, DoublesMatchTheCRuntimeInTheCLocale) {
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-20, 30);
    for (int i = 0; i < 20000; ++i) {
        double x = mantissa(random) * std::pow(10.0, exponent(random));
        char expected[512];
        if (std::fabs(x) < 1) {
            std::snprintf(expected, sizeof expected, "%.14f", x);
            std::string s = expected;
            while (s.back() == '0') s.pop_back();
            if (s.back() == '.') s.pop_back();
            if (s == "-0") s = "0";
            ASSERT_EQ(xml_FormatDouble(x), s.c_str()) << x;
        } else {
            std::snprintf(expected, sizeof expected, "%.14G", x);
            ASSERT_EQ(xml_FormatDouble(x), expected) << x;
        }
    }
}

TEST(XmlFormat, DecimalCommaLocaleChangesNothing) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not installed";
    EXPECT_EQ(xml_FormatDouble(0.5), "0.5");
    EXPECT_EQ(xml_FormatDouble(1234.25), "1234.25");
    EXPECT_EQ(xml_FormatAngle(kPi, false), "180");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(XmlFormat, IntsAnglesGradesFlags) {
    EXPECT_EQ(xml_FormatInt(0), "0");
    EXPECT_EQ(xml_FormatInt(-42), "-42");
    EXPECT_EQ(xml_FormatInt(2147483647), "2147483647");
    EXPECT_EQ(xml_FormatInt(-2147483647), "");
    EXPECT_EQ(xml_FormatInt(-2147483647 - 1), "-2147483648");

    EXPECT_EQ(xml_FormatAngle(2 * kPi, true), "0");
    EXPECT_EQ(xml_FormatAngle(2 * kPi, false), "360");
    EXPECT_EQ(xml_FormatAngle(2 * kPi - 1e-13, true), "0");
    EXPECT_EQ(xml_FormatAngle(kPi / 2, true), "90");
    EXPECT_EQ(xml_FormatAngle(kPi / 4, false), "45");
    EXPECT_EQ(xml_FormatAngle(1e308, true), "");

    EXPECT_EQ(xml_FormatGrade(kPi / 2, false), "99999999");
    EXPECT_EQ(xml_FormatGrade(-kPi / 2, false), "-99999999");
    EXPECT_EQ(xml_FormatGrade(kPi / 2, true), "-99999999");
    EXPECT_EQ(xml_FormatGrade(kPi / 2 - 5e-7, false), "99999999");
    EXPECT_EQ(xml_FormatGrade(0.1, false), "10.033467208545");  // 100 tan 0.1 to 14 digits
    EXPECT_EQ(xml_FormatGrade(0.1, true), "-10.033467208545");
    EXPECT_EQ(xml_FormatGrade(0.0, false), "0");
    EXPECT_EQ(xml_FormatGrade(1e308, false), "");

    EXPECT_EQ(xml_FormatBool(true), "true");
    EXPECT_EQ(xml_FormatBool(false), "false");
}

TEST(XmlFormat, DateTimes) {
    struct {
        double time;
        const char* text;
    } cases[] = {
        {0, "1980-01-01T00:00:00"},
        {-1, "1979-12-31T23:59:59"},
        {1399034096.0, "2024-05-01T12:34:56"},
        {636335999.0, "2000-02-29T23:59:59"},
        {636335999.4, "2000-02-29T23:59:59"},
        {86399.6, "1980-01-01T24:00:00"},  // the split rounds; the date is not carried
        {1e308, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(xml_FormatDateTime(c.time), c.text) << c.time;
}

TEST(XmlFormat, Escape) {
    struct {
        const char* text;
        const char* escaped;
    } cases[] = {
        {"", ""},
        {"   ", ""},
        {"  a  b  ", "a  b"},
        {"a\tb", "a&#x009;b"},
        {"line\nend\r", "line&#x00a;end&#x00d;"},
        {"\x1f", "\xEF\xBF\xBD"},  // not allowed in XML 1.0, even as a reference
        {"<a href=\"x\">&'</a>", "&lt;a href=&quot;x&quot;&gt;&amp;&apos;&lt;/a&gt;"},
        {"caf\xC3\xA9 \x7f", "caf\xC3\xA9 \x7f"},
        {"\t lead", "&#x009; lead"},
    };
    for (const auto& c : cases) EXPECT_EQ(xml_Escape(c.text), c.escaped) << c.text;

    // No fixed buffer: a text far beyond the old limit comes out whole.
    std::string big;
    for (int i = 0; i < 10000; ++i) big += "<&>";
    Str escaped = xml_Escape(big.c_str());
    EXPECT_EQ(escaped.Length(), 10000 * 13);
    EXPECT_EQ(std::string(escaped.Data(), 13), "&lt;&amp;&gt;");
}
