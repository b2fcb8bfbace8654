// Datum kinds 1 (Molodensky), 2 (multiple regression) and 3 (Helmert). Reference
// numbers: PROJ 9 cct (+proj=molodensky; a pipeline of cart, helmert +exact
// +convention=coordinate_frame and cart +inv) and the regression formula evaluated
// in Python.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "csib/csib.h"
#include "csib/csibplatform.h"
#include "csib/datum.h"
#include "csib/image.h"
#include "csib_fixtures.h"
#include "support/temp_folder.h"

namespace {

constexpr double kDeg = 3.141592653589793 / 180.0;
constexpr double kArcSecond = kDeg / 3600.0;
constexpr uint8_t kMolodensky = 1, kRegression = 2, kHelmert = 3;

// International 1924 and Bessel 1841.
constexpr double kIntlA = 6378388.0;
const double kIntlB = kIntlA * (1.0 - 1.0 / 297.0);
constexpr double kBesselA = 6377397.155;
const double kBesselB = kBesselA * (1.0 - 1.0 / 299.1528128);

csib_Block* NewBlock(csibtest::BlockHolder& held, double a, double b, uint8_t kind, const std::vector<uint8_t>& part,
                     uint8_t gridMode = 0) {
    EXPECT_EQ(CSIB_Ok, csib_Create(&held.block, gridMode, a, b));
    EXPECT_EQ(CSIB_Ok, csib_SetDatum(held.block, kind, part.data()));
    return held.block;
}

csib_GeodeticPoint Point(double latDeg, double lonDeg, double h, bool hasHeight = true) {
    return {latDeg * kDeg, lonDeg * kDeg, h, 12.5, static_cast<uint8_t>(hasHeight), 1};
}

// --- Molodensky ---------------------------------------------------------------------

TEST(Molodensky, ToWGS84MatchesTheStandardAndAbridgedFormulas) {
    // ED50-like shifts on the International ellipsoid; cct +proj=molodensky with
    // +da=-251 +df=0.003352810664747-1/297 [+abridged].
    struct Case {
        double lat, lon, h;
        double standard[3];  // lat, lon (degrees), h
        double abridged[2];
    };
    const Case cases[] = {
        {48.5, 2.3, 120, {48.499075120348, 2.298722306616, 168.990916419876}, {48.499075433555, 2.298722282623}},
        {40.0, -3.7, 650, {39.998821411758, -3.701210799556, 723.882166428958}, {39.998820815406, -3.701210922773}},
        {60.2, 24.9, 30, {60.199687725387, 24.899057795831, 47.529615211916}, {60.199688925811, 24.899057791411}},
        {-33.9, 151.2, 0, {-33.899997756750, 151.201381565811, 314.221640177786}, {-33.899996786684, 151.201381565811}},
    };
    constexpr double kAngle = 1e-9;  // degrees
    constexpr double kHeight = 1e-3;
    csibtest::BlockHolder held;
    const double shifts[3] = {-87.0, -98.0, -121.0};
    csib_Block* block = NewBlock(held, kIntlA, kIntlB, kMolodensky, csibtest::Saved(shifts, 3));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lat);
        csib_GeodeticPoint out{};
        const csib_GeodeticPoint in = Point(c.lat, c.lon, c.h);
        ASSERT_EQ(CSIB_Ok, block->datum.ToWGS84(block, &in, &out));
        EXPECT_NEAR(c.standard[0], out.latitude / kDeg, kAngle);
        EXPECT_NEAR(c.standard[1], out.longitude / kDeg, kAngle);
        EXPECT_NEAR(c.standard[2], out.ellipsoidHeight, kHeight);
        EXPECT_EQ(1, out.hasEllipsoidHeight);
        EXPECT_EQ(12.5, out.orthometricHeight);
        EXPECT_EQ(1, out.hasOrthometricHeight);

        // Without a height: the abridged formulas, and no height comes out.
        const csib_GeodeticPoint flat = Point(c.lat, c.lon, 0.0, false);
        ASSERT_EQ(CSIB_Ok, block->datum.ToWGS84(block, &flat, &out));
        EXPECT_NEAR(c.abridged[0], out.latitude / kDeg, kAngle);
        EXPECT_NEAR(c.abridged[1], out.longitude / kDeg, kAngle);
        EXPECT_EQ(0, out.hasEllipsoidHeight);

        // FromWGS84 undoes ToWGS84, with and without the height.
        for (const csib_GeodeticPoint& local : {in, flat}) {
            csib_GeodeticPoint wgs84{}, back{};
            ASSERT_EQ(CSIB_Ok, block->datum.ToWGS84(block, &local, &wgs84));
            ASSERT_EQ(CSIB_Ok, block->datum.FromWGS84(block, &wgs84, &back));
            EXPECT_NEAR(local.latitude, back.latitude, 1e-12);
            EXPECT_NEAR(local.longitude, back.longitude, 1e-12);
            if (local.hasEllipsoidHeight) {
                EXPECT_NEAR(local.ellipsoidHeight, back.ellipsoidHeight, 1e-6);
            }
            EXPECT_EQ(local.hasEllipsoidHeight, back.hasEllipsoidHeight);
        }
    }
}

TEST(Molodensky, ZeroShiftsOnWGS84AlmostKeepThePointAndSaveTheShifts) {
    csibtest::BlockHolder held;
    const double shifts[3] = {0.0, 0.0, 0.0};
    // df is -7e-12 here (b 6356752.3142), so the point moves by less than 1e-10 rad.
    csib_Block* block = NewBlock(held, 6378137.0, 6356752.3142, kMolodensky, csibtest::Saved(shifts, 3));
    const csib_GeodeticPoint in = Point(51.0, -1.5, 80.0);
    csib_GeodeticPoint to{}, from{};
    ASSERT_EQ(CSIB_Ok, block->datum.ToWGS84(block, &in, &to));
    ASSERT_EQ(CSIB_Ok, block->datum.FromWGS84(block, &in, &from));
    for (const csib_GeodeticPoint& out : {to, from}) {
        EXPECT_NEAR(in.latitude, out.latitude, 1e-10);
        EXPECT_NEAR(in.longitude, out.longitude, 1e-10);
        EXPECT_NEAR(in.ellipsoidHeight, out.ellipsoidHeight, 1e-3);
    }
    int32_t size = 0;
    ASSERT_EQ(CSIB_Ok, block->datum.GetSavedSize(block, 1, &size));
    EXPECT_EQ(24, size);
    EXPECT_EQ(CSIB_MissingOutput, block->datum.GetSavedSize(block, 1, nullptr));
    void* p = nullptr;
    EXPECT_EQ(CSIB_MissingOutput, block->datum.GetParameters(block, 0, nullptr));
    ASSERT_EQ(CSIB_Ok, block->datum.GetParameters(block, 2, &p));
    EXPECT_EQ(&static_cast<csib_MolodenskyParameters*>(block->datumParameters)->dZ, p);
    ASSERT_EQ(CSIB_Ok, block->datum.GetParameters(block, 3, &p));
    EXPECT_EQ(nullptr, p);
}

// --- Helmert ------------------------------------------------------------------------

// Bessel to WGS84: 598.1, 73.7, 418.2 m; 0.202", 0.045", -2.455"; 6.7 ppm.
std::vector<uint8_t> BesselToWGS84() {
    const double values[7] = {598.1, 73.7, 418.2, 0.202 * kArcSecond, 0.045 * kArcSecond, -2.455 * kArcSecond,
                              1.0 + 6.7e-6};
    return csibtest::Saved(values, 7);
}

TEST(Helmert, BothDirectionsMatchTheEarthCentredPipeline) {
    struct Case {
        double lat, lon, h;     // Bessel
        double wgs84[3];        // the pipeline
        double fromWGS84[3];    // the inverse pipeline applied to (lat, lon, h) as WGS84
    };
    const Case cases[] = {
        {47.0, 8.0, 500.0, {46.999201806319, 8.000608040215, 555.105246509425},
         {47.000798291553, 7.999391877230, 444.896291648969}},
        {46.2, 6.1, 372.5, {46.199294557106, 6.100867014995, 428.786735792644},
         {46.200705527480, 6.099132862789, 316.214717263356}},
        {52.5, 13.4, 40.0, {52.498593596963, 13.399770939372, 80.961819302291},
         {52.501406571173, 13.400229129881, -0.957542438060}},
    };
    constexpr double kAngle = 1e-9;   // degrees
    constexpr double kHeight = 1e-4;  // metres
    csibtest::BlockHolder held;
    csib_Block* block = NewBlock(held, kBesselA, kBesselB, kHelmert, BesselToWGS84());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lat);
        const csib_GeodeticPoint in = Point(c.lat, c.lon, c.h);
        csib_GeodeticPoint out{};
        ASSERT_EQ(CSIB_Ok, block->datum.ToWGS84(block, &in, &out));
        EXPECT_NEAR(c.wgs84[0], out.latitude / kDeg, kAngle);
        EXPECT_NEAR(c.wgs84[1], out.longitude / kDeg, kAngle);
        EXPECT_NEAR(c.wgs84[2], out.ellipsoidHeight, kHeight);
        EXPECT_EQ(12.5, out.orthometricHeight);
        ASSERT_EQ(CSIB_Ok, block->datum.FromWGS84(block, &in, &out));
        EXPECT_NEAR(c.fromWGS84[0], out.latitude / kDeg, kAngle);
        EXPECT_NEAR(c.fromWGS84[1], out.longitude / kDeg, kAngle);
        EXPECT_NEAR(c.fromWGS84[2], out.ellipsoidHeight, kHeight);
    }
    // No ellipsoid height: neither direction converts.
    const csib_GeodeticPoint flat = Point(47.0, 8.0, 0.0, false);
    csib_GeodeticPoint out{};
    EXPECT_EQ(CSIB_HelmertNoHeight, block->datum.ToWGS84(block, &flat, &out));
    EXPECT_EQ(CSIB_HelmertNoHeight, block->datum.FromWGS84(block, &flat, &out));
}

TEST(Helmert, ForwardAndReverseAreInversesAndTheRecordSurvivesAnImage) {
    csibtest::BlockHolder held, copy;
    csib_Block* block = NewBlock(held, kBesselA, kBesselB, kHelmert, BesselToWGS84());
    const auto* record = static_cast<const csib_HelmertParameters*>(block->datumParameters);
    const double x[3] = {4321000.5, 612345.25, 4634567.75};
    double y[3], back[3];
    csib_HelmertForward(record, x, y);
    csib_HelmertReverse(record, y, back);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(x[i], back[i], 1e-8);

    int32_t size = 0;
    ASSERT_EQ(CSIB_Ok, csib_GetSize(block, 1, &size));
    std::vector<uint8_t> image(static_cast<std::size_t>(size));
    ASSERT_EQ(CSIB_Ok, csib_Write(block, image.data(), 1));
    ASSERT_EQ(CSIB_Ok, csib_Read(&copy.block, image.data()));
    const auto* read = static_cast<const csib_HelmertParameters*>(copy.block->datumParameters);
    EXPECT_EQ(0, std::memcmp(record, read, sizeof *record));
}

// --- Multiple regression ------------------------------------------------------------

struct Term {
    double c;
    int16_t p, q;
};
struct Model {
    double k, meanLat, meanLon;
    std::vector<Term> series[3];
};

// k 1 about (52, 5): the latitude series reaches U^9, the longitude series' first
// term has powers that must not be used.
Model TestModel() {
    return {1.0,
            52.0,
            5.0,
            {{{1.25, 0, 0}, {0.5, 1, 0}, {-0.3, 0, 1}, {0.02, 2, 1}, {1e-4, 9, 3}},
             {{-2.5, 5, 5}, {0.7, 0, 1}, {0.05, 1, 1}},
             {{40.0, 0, 0}, {-1.5, 1, 0}, {0.25, 0, 2}}}};
}

void Put(std::vector<uint8_t>& out, const void* bytes, std::size_t n, bool swap) {
    const auto* b = static_cast<const uint8_t*>(bytes);
    for (std::size_t i = 0; i < n; ++i) out.push_back(b[swap ? n - 1 - i : i]);
}

// The embedded saved part, in host or the other byte order.
std::vector<uint8_t> EmbeddedPart(const Model& m, bool swap = false, const std::string& name = "model.txt") {
    std::vector<uint8_t> part(name.begin(), name.end());
    part.push_back(0);
    for (double x : {m.k, m.meanLat, m.meanLon}) Put(part, &x, 8, swap);
    for (const auto& s : m.series) {
        const int16_t n = static_cast<int16_t>(s.size());
        Put(part, &n, 2, swap);
        for (const Term& t : s) {
            Put(part, &t.c, 8, swap);
            Put(part, &t.p, 2, swap);
            Put(part, &t.q, 2, swap);
        }
    }
    return part;
}

std::string ModelText(const Model& m, const char* eol = "\n") {
    char line[128];
    std::snprintf(line, sizeof line, "%.17g %.17g %.17g%s", m.k, m.meanLat, m.meanLon, eol);
    std::string text = line;
    for (const auto& s : m.series) {
        text += "  " + std::to_string(s.size()) + eol;
        for (const Term& t : s) {
            std::snprintf(line, sizeof line, " %.17g  %d %d%s", t.c, t.p, t.q, eol);
            text += line;
        }
    }
    return text;
}

// (lat, lon) in radians, h, and the WGS84 values from the formula.
constexpr double kRegressionTable[][6] = {
    {0.9128071987930343, 0.08028514559173916, 10.0, 0.912814564470328, 0.08027163868258345, 49.59},
    {0.8918632477691024, 0.12042771838760874, 80.5, 0.8918645107779163, 0.1204216315518424, 122.7525},
    {0.9320058205649719, 0.05585053606381855, -5.0, 0.9320174919233647, 0.05583169620417063, 33.71},
};

void ExpectModel(csib_Block* block) {
    for (const auto& row : kRegressionTable) {
        const csib_GeodeticPoint in{row[0], row[1], row[2], 3.0, 1, 1};
        csib_GeodeticPoint out{}, back{};
        ASSERT_EQ(CSIB_Ok, block->datum.ToWGS84(block, &in, &out));
        EXPECT_NEAR(row[3], out.latitude, 1e-12);
        EXPECT_NEAR(row[4], out.longitude, 1e-12);
        EXPECT_NEAR(row[5], out.ellipsoidHeight, 1e-9);
        EXPECT_EQ(3.0, out.orthometricHeight);
        ASSERT_EQ(CSIB_Ok, block->datum.FromWGS84(block, &out, &back));
        EXPECT_NEAR(in.latitude, back.latitude, 1e-12);
        EXPECT_NEAR(in.longitude, back.longitude, 1e-12);
        EXPECT_NEAR(in.ellipsoidHeight, back.ellipsoidHeight, 1e-9);
    }
}

TEST(Regression, EmbeddedModelMatchesTheFormulaInEitherByteOrderAndThroughAnImage) {
    csibtest::BlockHolder held, swapped, copy;
    csib_Block* block = NewBlock(held, kIntlA, kIntlB, kRegression, EmbeddedPart(TestModel()));
    ExpectModel(block);
    int32_t size = 0;
    ASSERT_EQ(CSIB_Ok, block->datum.GetSavedSize(block, 0, &size));
    EXPECT_EQ(9 + 31 + 12 * 11, size);
    ASSERT_EQ(CSIB_Ok, block->datum.GetSavedSize(block, 1, &size));
    EXPECT_EQ(10, size);
    void* p = nullptr;
    ASSERT_EQ(CSIB_Ok, block->datum.GetParameters(block, 15, &p));
    EXPECT_STREQ("model.txt", static_cast<const char*>(p));
    ASSERT_EQ(CSIB_Ok, block->datum.GetParameters(block, 8, &p));
    EXPECT_EQ(-2.5, static_cast<const double*>(p)[0]);

    // A part from an image of the other byte order reads the same model.
    ASSERT_EQ(CSIB_Ok, csib_Create(&swapped.block, 0, kIntlA, kIntlB));
    swapped.block->swapBytes = 1;
    ASSERT_EQ(CSIB_Ok, csib_SetDatum(swapped.block, kRegression, EmbeddedPart(TestModel(), true).data()));
    ExpectModel(swapped.block);

    // Written embedded and read back.
    ASSERT_EQ(CSIB_Ok, csib_GetSize(block, 0, &size));
    std::vector<uint8_t> image(static_cast<std::size_t>(size));
    ASSERT_EQ(CSIB_Ok, csib_Write(block, image.data(), 0));
    ASSERT_EQ(CSIB_Ok, csib_Read(&copy.block, image.data()));
    ExpectModel(copy.block);
}

TEST(Regression, EachFailedAllocationFailsTheLoadAndLeaksNothing) {
    const std::vector<uint8_t> part = EmbeddedPart(TestModel());
    const int64_t live = csib_LiveAllocations();
    for (int n = 1;; ++n) {
        SCOPED_TRACE(n);
        csibtest::BlockHolder held;
        ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 0, kIntlA, kIntlB));
        csib_FailAllocation(n);
        const csib_Status status = csib_SetDatum(held.block, kRegression, part.data());
        csib_FailAllocation(0);
        csib_Free(&held.block);
        EXPECT_EQ(live, csib_LiveAllocations());
        if (status == CSIB_Ok) break;
        // The record and the name fail for memory; a series' arrays make the model unusable.
        EXPECT_TRUE(status == CSIB_OutOfMemory || status == CSIB_RegressionFileInvalid) << status;
        ASSERT_LT(n, 20);
    }
}

TEST(Regression, EmptyLatitudeSeriesAndMeanLongitudeBeyond180) {
    Model m = TestModel();
    m.series[0].clear();
    csibtest::BlockHolder held;
    csib_Block* block = NewBlock(held, kIntlA, kIntlB, kRegression, EmbeddedPart(m));
    const csib_GeodeticPoint in{0.9, 0.1, 10.0, 0.0, 1, 0};
    csib_GeodeticPoint out{};
    for (auto slot : {block->datum.ToWGS84, block->datum.FromWGS84}) {
        ASSERT_EQ(CSIB_Ok, slot(block, &in, &out));
        EXPECT_EQ(0, std::memcmp(&in, &out, sizeof in));
    }

    // dLat = V arc-seconds: -170 degrees counts as 190 about a mean of 190, so V = 0.
    const Model wrap{1.0, 0.0, 190.0, {{{0.0, 0, 0}, {1.0, 0, 1}}, {}, {}}};
    csibtest::BlockHolder wrapped;
    block = NewBlock(wrapped, kIntlA, kIntlB, kRegression, EmbeddedPart(wrap));
    const csib_GeodeticPoint east{0.2, -170.0 * kDeg, 0.0, 0.0, 1, 0};
    ASSERT_EQ(CSIB_Ok, block->datum.ToWGS84(block, &east, &out));
    EXPECT_NEAR(0.2, out.latitude, 1e-15);
    EXPECT_NEAR(-170.0 * kDeg, out.longitude, 1e-15);
    const csib_GeodeticPoint near{0.2, -169.0 * kDeg, 0.0, 0.0, 1, 0};
    ASSERT_EQ(CSIB_Ok, block->datum.ToWGS84(block, &near, &out));
    EXPECT_NEAR(0.2 + kArcSecond, out.latitude, 1e-15);
}

TEST(Regression, TextParameterFile) {
    TempFolder tmp;
    const std::string good = ModelText(TestModel());
    // Counts and powers that index past the power tables are malformed.
    Model power10 = TestModel();
    power10.series[2][1].p = 10;
    Model negativePower = TestModel();
    negativePower.series[1][2].q = -1;
    std::string missingTerm = good.substr(0, good.rfind(" 0.25"));
    // The first line padded to a length.
    auto padded = [&good](std::size_t length) {
        const std::size_t end = good.find('\n');
        return good.substr(0, end) + std::string(length - end, ' ') + good.substr(end);
    };
    std::string shortLine = good;
    shortLine.replace(shortLine.find(" -0.29"), std::string(" -0.29999999999999999  0 1").size(), " -0.3 0");
    struct Case {
        const char* what;
        std::string text;
        csib_Status status;
    };
    const Case cases[] = {
        {"good", good, CSIB_Ok},
        {"CR LF", ModelText(TestModel(), "\r\n"), CSIB_Ok},
        {"a line ending before its last field", shortLine, CSIB_RegressionFileInvalid},
        {"a missing term line", missingTerm, CSIB_RegressionFileInvalid},
        {"power 10", ModelText(power10), CSIB_RegressionFileInvalid},
        {"power -1", ModelText(negativePower), CSIB_RegressionFileInvalid},
        {"negative count", "1 52 5\n-1\n0\n0\n", CSIB_RegressionFileInvalid},
        {"a line of 80 characters", padded(80), CSIB_RegressionFileInvalid},
        {"a line of 79 characters", padded(79), CSIB_Ok},
        {"empty", "", CSIB_RegressionFileInvalid},
    };
    const int64_t live = csib_LiveAllocations();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = tmp.Write("model.txt", c.text);
        std::vector<uint8_t> part(name.begin(), name.end());
        part.push_back(0);
        csibtest::BlockHolder held;
        ASSERT_EQ(CSIB_Ok, csib_Create(&held.block, 1, kIntlA, kIntlB));
        EXPECT_EQ(c.status, csib_SetDatum(held.block, kRegression, part.data()));
        if (c.status == CSIB_Ok) ExpectModel(held.block);
    }
    EXPECT_EQ(live, csib_LiveAllocations());

    // A missing file, and a saved part whose power indexes past the tables.
    csibtest::BlockHolder missing, embedded;
    ASSERT_EQ(CSIB_Ok, csib_Create(&missing.block, 1, kIntlA, kIntlB));
    const std::string absent = tmp / "absent.txt";
    EXPECT_EQ(CSIB_RegressionFileInvalid,
              csib_SetDatum(missing.block, kRegression, reinterpret_cast<const uint8_t*>(absent.c_str())));
    ASSERT_EQ(CSIB_Ok, csib_Create(&embedded.block, 0, kIntlA, kIntlB));
    EXPECT_EQ(CSIB_RegressionFileInvalid, csib_SetDatum(embedded.block, kRegression, EmbeddedPart(power10).data()));
}

}  // namespace
