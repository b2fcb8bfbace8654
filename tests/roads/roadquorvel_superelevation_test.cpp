#include "roads/roadquorvel_superelevation.h"

#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "road_xml_test.h"
#include "support/recording_environment.h"
#include "support/str_print.h"

namespace {

using road_test::Owned;
using road_test::Scan;
using road_test::Written;
using Reports = std::vector<std::string>;

constexpr double N = MATHS_Null;

SuperElevationWidening* Entry(double station, double left, double right, double leftWidening = 0,
                              double rightWidening = 0, int32_t pivot = SuperElevationWidening::PivotCrown) {
    auto* e = new SuperElevationWidening;
    e->Station = station;
    e->Pivot = pivot;
    e->Superelevation[DBROAD_SideLeft] = left;
    e->Superelevation[DBROAD_SideRight] = right;
    e->Widening[DBROAD_SideLeft] = leftWidening;
    e->Widening[DBROAD_SideRight] = rightWidening;
    return e;
}

// The key stations as station -> flags.
std::map<double, int32_t> Keys(const SuperElevationArray& supers, double start = 0, double end = 1000) {
    ChainageElementArray keys;
    keys.SetStartStation(start);
    keys.SetEndStation(end);
    supers.AddKeyStations(keys);
    std::map<double, int32_t> flags;
    for (int32_t i = 0; i < keys.Count(); ++i) flags[keys.At(i)->Station] = keys.At(i)->Flags;
    return flags;
}

void ExpectValues(const SuperElevationWidening& e, double left, double right, double leftWidening,
                  double rightWidening, const char* what) {
    EXPECT_NEAR(e.Superelevation[DBROAD_SideLeft], left, 1e-15) << what;
    EXPECT_NEAR(e.Superelevation[DBROAD_SideRight], right, 1e-15) << what;
    EXPECT_NEAR(e.Widening[DBROAD_SideLeft], leftWidening, 1e-15) << what;
    EXPECT_NEAR(e.Widening[DBROAD_SideRight], rightWidening, 1e-15) << what;
}

TEST(SuperElevationWidening, WritesItsEntryAndReadsItBack) {
    TempFolder tmp;
    SuperElevationWidening e;
    EXPECT_EQ(e.Pivot, SuperElevationWidening::PivotCrown);
    EXPECT_FALSE(e.Superelevation[0] != N || e.Superelevation[1] != N);
    EXPECT_TRUE(e.HasWidening());  // 0 and 0 at construction

    std::unique_ptr<SuperElevationWidening> entry(
        Entry(50, std::atan(-0.02), std::atan(0.03), 0.5, N, SuperElevationWidening::PivotLeft));
    const std::string text = Written(*entry);
    EXPECT_EQ(text,
              "<ApplySuperelevation>\r\n"
              "    <Station>50</Station>\r\n"
              "    <Pivot>Left</Pivot>\r\n"
              "    <LeftSide>\r\n"
              "        <Superelevation>-2</Superelevation>\r\n"
              "        <Widening>0.5</Widening>\r\n"
              "    </LeftSide>\r\n"
              "    <RightSide>\r\n"
              "        <Superelevation>3</Superelevation>\r\n"
              "        <Widening/>\r\n"
              "    </RightSide>\r\n"
              "</ApplySuperelevation>\r\n");
    SuperElevationWidening read;
    read.ReadXml(Scan(tmp, text).get());
    EXPECT_EQ(read.Pivot, SuperElevationWidening::PivotLeft);
    EXPECT_EQ(read.Station, 50);
    ExpectValues(read, std::atan(-0.02), std::atan(0.03), 0.5, N, "read");
    EXPECT_FALSE(read.HasWidening());
    EXPECT_EQ(Written(read), text);

    // Absent children read null, widenings too; an unknown pivot keeps the pivot.
    SuperElevationWidening bare;
    bare.Pivot = SuperElevationWidening::PivotRight;
    bare.ReadXml(Scan(tmp, "<ApplySuperelevation><Pivot>right</Pivot></ApplySuperelevation>").get());
    EXPECT_EQ(bare.Pivot, SuperElevationWidening::PivotRight);
    EXPECT_EQ(bare.Station, N);
    for (int32_t side : {DBROAD_SideLeft, DBROAD_SideRight}) {
        EXPECT_EQ(bare.Superelevation[side], N);
        EXPECT_EQ(bare.Widening[side], N);
    }
    EXPECT_FALSE(bare.HasWidening());

    const char* pivots[] = {"Left", "Crown", "Right"};
    for (int32_t pivot = 0; pivot < 3; ++pivot) {
        bare.SetPivotFromText(pivots[pivot]);
        EXPECT_EQ(bare.Pivot, pivot);
        EXPECT_EQ(bare.PivotText(), pivots[pivot]);
    }
    bare.Pivot = 7;
    EXPECT_EQ(bare.PivotText(), "");
}

TEST(SuperElevationWidening, CopiesCompareEveryValue) {
    std::unique_ptr<SuperElevationWidening> e(Entry(10, 0.01, -0.02, 1, 2));
    std::unique_ptr<RoadElement> clone(e->Clone());
    EXPECT_TRUE(*clone == *e);
    SuperElevationWidening assigned;
    assigned = *e;
    assigned = *&assigned;  // self-assignment keeps everything
    EXPECT_TRUE(assigned == *e);
    for (int field = 0; field < 6; ++field) {
        SuperElevationWidening changed(*e);
        switch (field) {
            case 0: changed.Pivot = SuperElevationWidening::PivotRight; break;
            case 1: changed.Station = 10.0000001; break;
            case 2: changed.Superelevation[0] = 0.0100001; break;
            case 3: changed.Superelevation[1] = N; break;
            case 4: changed.Widening[0] = N; break;
            default: changed.Widening[1] = 2.0000001; break;
        }
        EXPECT_FALSE(changed == *e) << field;
    }
    EXPECT_EQ(SuperElevationWidening::Cast(clone.get()), clone.get());
}

TEST(SuperElevationArray, ValueAtInterpolatesBetweenEntries) {
    SuperElevationArray supers;
    SuperElevationWidening empty = supers.ValueAt(10);
    EXPECT_TRUE(empty == SuperElevationWidening());

    supers.Add(Entry(0, -0.02, -0.02, 0, 0, SuperElevationWidening::PivotLeft));
    supers.Add(Entry(100, 0.04, -0.02, 1, 0, SuperElevationWidening::PivotRight));
    supers.Add(Entry(200, 0.04, N, 1, 0));

    SuperElevationWidening at = supers.ValueAt(50);
    EXPECT_EQ(at.Pivot, SuperElevationWidening::PivotLeft);
    EXPECT_EQ(at.Station, 50);
    ExpectValues(at, 0.01, -0.02, 0.5, 0, "halfway");

    // At an entry (within 0.0005) the entry itself, its station kept.
    at = supers.ValueAt(100.0004);
    EXPECT_EQ(at.Station, 100);
    EXPECT_EQ(at.Pivot, SuperElevationWidening::PivotRight);
    // A null value at either end interpolates to null.
    at = supers.ValueAt(150);
    ExpectValues(at, 0.04, N, 1, 0, "towards a null superelevation");
    // Before the first entry the default entry, past the last the last one.
    EXPECT_TRUE(supers.ValueAt(-1) == SuperElevationWidening());
    at = supers.ValueAt(500);
    EXPECT_EQ(at.Station, 200);
    ExpectValues(at, 0.04, N, 1, 0, "past the end");
}

TEST(SuperElevationArray, AnEntryWithoutWideningNeverEndsAnInterpolation) {
    SuperElevationArray supers;
    supers.Add(Entry(0, -0.02, -0.02, 0, 0));
    supers.Add(Entry(100, 0.04, -0.02, N, 0));
    // The next entry has a null widening: the earlier entry comes back unchanged.
    SuperElevationWidening at = supers.ValueAt(50);
    EXPECT_EQ(at.Station, 0);
    ExpectValues(at, -0.02, -0.02, 0, 0, "earlier entry");
    // At the entry itself it is not taken either: the last entry at or before wins.
    at = supers.ValueAt(100);
    EXPECT_EQ(at.Station, 100);
    EXPECT_EQ(at.Widening[DBROAD_SideLeft], N);

    // With a later entry that has its widenings, the walk interpolates past the null one.
    supers.Add(Entry(200, 0.06, 0.02, 2, 0));
    at = supers.ValueAt(50);
    EXPECT_EQ(at.Station, 50);
    ExpectValues(at, 0, -0.01, 0.5, 0, "across the null entry");
}

TEST(SuperElevationArray, SuperelevationKeyStations) {
    SuperElevationArray supers;
    EXPECT_TRUE(Keys(supers).empty());

    // A single entry starts, and ends when its sides are equal.
    supers.Add(Entry(10, 0.02, -0.02));
    EXPECT_EQ(Keys(supers), (std::map<double, int32_t>{{10, KEY_SuperelevationStart}}));
    supers.At(0)->Superelevation[DBROAD_SideRight] = 0.02;
    EXPECT_EQ(Keys(supers), (std::map<double, int32_t>{{10, KEY_SuperelevationStart | KEY_SuperelevationEnd}}));

    // From level crossfall to full superelevation and back, no widening.
    supers.Clear();
    const double rows[][3] = {{0, -0.02, -0.02}, {50, 0, -0.02},    {100, 0.02, -0.02},
                              {150, 0.06, -0.06}, {250, 0.06, -0.06}, {300, -0.02, -0.02}};
    for (const auto& row : rows) supers.Add(Entry(row[0], row[1], row[2]));
    EXPECT_EQ(Keys(supers), (std::map<double, int32_t>{{0, KEY_SuperelevationStart},
                                                        {100, KEY_SuperelevationBreak},
                                                        {150, KEY_FullSuperelevation},
                                                        {250, KEY_FullSuperelevation},
                                                        {300, KEY_SuperelevationEnd}}));
    EXPECT_FALSE(supers.RateChanges(1));
    EXPECT_TRUE(supers.SidesMirrored(2));
    EXPECT_FALSE(supers.IsFullSuperelevation(2));
    EXPECT_TRUE(supers.IsExtremum(DBROAD_SideLeft, 3));
    EXPECT_TRUE(supers.IsExtremum(DBROAD_SideRight, 4));
    EXPECT_TRUE(supers.IsConstantAfter(3));
    EXPECT_TRUE(supers.IsConstantBefore(4));
}

TEST(SuperElevationArray, KeyRulesForEqualSides) {
    // Each row: values at stations 0, 100, 200 (left/right) and the flags of the middle
    // entry. Rates per 100 m, so 0.01 is a rate of 0.0001.
    const struct {
        const char* what;
        double values[3][2];
        int32_t middle;
    } cases[] = {
        {"equal sides, then constant", {{-0.03, -0.01}, {-0.02, -0.02}, {-0.02, -0.02}}, KEY_SuperelevationEnd},
        {"constant, then equal sides move", {{-0.02, -0.02}, {-0.02, -0.02}, {-0.01, -0.03}}, KEY_SuperelevationStart},
        {"level crossing", {{-0.02, 0.02}, {0, 0}, {0.02, -0.02}},
         KEY_SuperelevationEnd | KEY_SuperelevationStart},
        {"equal sides, rate changes", {{-0.04, -0.04}, {-0.02, -0.02}, {-0.01, -0.01}}, KEY_SuperelevationRateChange},
        {"equal sides, even rates", {{-0.04, -0.04}, {-0.02, -0.02}, {0, 0}}, 0},
        {"unequal sides, rate changes", {{-0.02, -0.02}, {0, -0.02}, {0, -0.03}}, KEY_SuperelevationRateChange},
        {"mirrored turn", {{0.02, -0.02}, {0.06, -0.06}, {0.02, -0.02}}, KEY_FullSuperelevation},
    };
    for (const auto& c : cases) {
        SuperElevationArray supers;
        for (int i = 0; i < 3; ++i) supers.Add(Entry(100 * i, c.values[i][0], c.values[i][1]));
        const std::map<double, int32_t> keys = Keys(supers);
        const auto middle = keys.find(100);
        EXPECT_EQ(middle == keys.end() ? 0 : middle->second, c.middle) << c.what;
    }
}

TEST(SuperElevationArray, WideningKeyStations) {
    // Totals 0, 0, 1, 1, 0.5, 0, spread over both sides in different ways.
    const double widenings[][2] = {{0, 0}, {0, 0}, {1, 0}, {0.5, 0.5}, {0, 0.5}, {0, 0}};
    const std::map<double, int32_t> expected = {{0, KEY_SuperelevationStart},
                                                {10, KEY_WideningStart},
                                                {20, KEY_MaximumWidening},
                                                {30, KEY_MaximumWidening},
                                                {50, KEY_WideningEnd | KEY_SuperelevationEnd}};
    SuperElevationArray supers;
    for (int i = 0; i < 6; ++i) supers.Add(Entry(10 * i, 0.02, 0.02, widenings[i][0], widenings[i][1]));
    EXPECT_EQ(Keys(supers), expected);

    // A widening unknown in an entry counts as none, as the cross section takes it, not
    // as a vast width.
    SuperElevationArray withNull;
    for (int i = 0; i < 6; ++i) withNull.Add(Entry(10 * i, 0.02, 0.02, widenings[i][0], widenings[i][1]));
    withNull.At(0)->Widening[DBROAD_SideLeft] = N;
    withNull.At(2)->Widening[DBROAD_SideRight] = N;
    withNull.At(5)->Widening[DBROAD_SideRight] = N;
    EXPECT_EQ(Keys(withNull), expected);

    // A maximum reached and left at once is flagged once; a rise right after an end starts there.
    SuperElevationArray partial;
    const double totals[] = {0, 2, 1, 1, 0, 3, 3};
    for (int i = 0; i < 7; ++i) partial.Add(Entry(10 * i, 0.01, 0.02, totals[i], 0));
    EXPECT_EQ(Keys(partial), (std::map<double, int32_t>{{0, KEY_SuperelevationStart | KEY_WideningStart},
                                                         {10, KEY_MaximumWidening},
                                                         {40, KEY_WideningEnd | KEY_WideningStart}}));
}

TEST(SuperElevationArray, IsValid) {
    const struct {
        const char* what;
        std::vector<double> stations;
        bool valid;
    } cases[] = {
        {"none", {}, true},
        {"in order", {0, 50, 300}, true},
        {"equal neighbours", {0, 50, 50}, false},
        {"neighbours 0.0001 apart", {0, 50, 50.0001}, true},
        {"start 0.0005 early", {-0.0005}, true},
        {"start 0.0006 early", {-0.0006, 10}, false},
        {"end 0.0004 late", {0, 300.0004}, true},
        {"end 0.0006 late", {0, 300.0006}, false},
    };
    for (const auto& c : cases) {
        SuperElevationArray supers;
        for (double station : c.stations) supers.Add(Entry(station, 0, 0));
        EXPECT_EQ(supers.IsValid(0, 300), c.valid) << c.what;
    }
}

TEST(SuperElevationArray, RatesAndTheirChecks) {
    RecordingEnvironment env;
    SuperElevationArray supers;
    supers.Add(Entry(0, -0.02, 0.02));
    supers.Add(Entry(50, 0.03, N));
    supers.Add(Entry(50, 0.04, 0.04));
    EXPECT_NEAR(supers.Rate(DBROAD_SideLeft, 0), 0.001, 1e-15);
    EXPECT_EQ(supers.Rate(DBROAD_SideRight, 0), N);
    EXPECT_TRUE(env.assertions.empty());

    const struct {
        const char* what;
        std::function<void()> call;
        Reports reports;
    } cases[] = {
        {"same station", [&] { EXPECT_EQ(supers.Rate(DBROAD_SideLeft, 1), N); }, {"DeltaChainage != 0.0"}},
        {"rate before the first", [&] { EXPECT_EQ(supers.Rate(DBROAD_SideLeft, -1), N); }, {"ndx >= 0"}},
        {"rate past the end", [&] { EXPECT_EQ(supers.Rate(DBROAD_SideLeft, 3), N); }, {"ndx < Supers.Count()"}},
        {"rate from the last", [&] { EXPECT_EQ(supers.Rate(DBROAD_SideLeft, 2), N); }, {}},
        {"sides equal past the end", [&] { EXPECT_FALSE(supers.SidesEqual(3)); }, {"ndx < Supers.Count()"}},
        {"sides mirrored before the first", [&] { EXPECT_FALSE(supers.SidesMirrored(-1)); }, {"ndx >= 0"}},
    };
    for (const auto& c : cases) {
        env.Clear();
        c.call();
        EXPECT_EQ(env.Expressions(), c.reports) << c.what;
    }
    for (const auto& report : env.assertions) EXPECT_EQ(report.module, "RoadQuorvel");

    EXPECT_TRUE(SuperElevationArray::RatesEqual(0.001, 0.0010099));
    EXPECT_FALSE(SuperElevationArray::RatesEqual(0.001, 0.0010101));
    EXPECT_TRUE(SuperElevationArray::RatesEqual(N, N));
    EXPECT_FALSE(SuperElevationArray::RatesEqual(N, 0));
    EXPECT_EQ(SuperElevationArray::OtherSide(DBROAD_SideLeft), DBROAD_SideRight);
    EXPECT_EQ(SuperElevationArray::OtherSide(DBROAD_SideRight), DBROAD_SideLeft);

    // Sides compare within 0.00001; a null side is never equal, zero sides are mirrored.
    EXPECT_FALSE(supers.SidesEqual(1));
    EXPECT_TRUE(supers.SidesEqual(2));
    supers.At(2)->Superelevation[DBROAD_SideRight] = 0.040011;
    EXPECT_FALSE(supers.SidesEqual(2));
    supers.At(2)->Superelevation[DBROAD_SideRight] = -0.040009;
    EXPECT_TRUE(supers.SidesMirrored(2));
    supers.At(2)->Superelevation[DBROAD_SideLeft] = 0;
    supers.At(2)->Superelevation[DBROAD_SideRight] = 0;
    EXPECT_TRUE(supers.SidesMirrored(2));
    EXPECT_TRUE(supers.SidesEqual(2));
}

TEST(SuperElevationArray, WritesItsListAndReadsItBack) {
    TempFolder tmp;
    EXPECT_EQ(SuperElevationArray().WriteXml(), nullptr);
    SuperElevationArray supers;
    supers.Add(Entry(0, std::atan(-0.02), std::atan(-0.02)));
    supers.Add(Entry(80.5, std::atan(0.04), std::atan(-0.04), 1.25, N, SuperElevationWidening::PivotRight));
    const std::string text = Owned(supers.WriteXml());
    EXPECT_EQ(text,
              "\r\n"
              "<SuperelevationAndWidening>\r\n"
              "    <ApplySuperelevation>\r\n"
              "        <Station>0</Station>\r\n"
              "        <Pivot>Crown</Pivot>\r\n"
              "        <LeftSide>\r\n"
              "            <Superelevation>-2</Superelevation>\r\n"
              "            <Widening>0</Widening>\r\n"
              "        </LeftSide>\r\n"
              "        <RightSide>\r\n"
              "            <Superelevation>-2</Superelevation>\r\n"
              "            <Widening>0</Widening>\r\n"
              "        </RightSide>\r\n"
              "    </ApplySuperelevation>\r\n"
              "    <ApplySuperelevation>\r\n"
              "        <Station>80.5</Station>\r\n"
              "        <Pivot>Right</Pivot>\r\n"
              "        <LeftSide>\r\n"
              "            <Superelevation>4</Superelevation>\r\n"
              "            <Widening>1.25</Widening>\r\n"
              "        </LeftSide>\r\n"
              "        <RightSide>\r\n"
              "            <Superelevation>-4</Superelevation>\r\n"
              "            <Widening/>\r\n"
              "        </RightSide>\r\n"
              "    </ApplySuperelevation>\r\n"
              "</SuperelevationAndWidening>\r\n");

    SuperElevationArray read;
    road_test::ReadElements(Scan(tmp, text).get(), read, [](const Str& name) -> RoadElement* {
        return name == "ApplySuperelevation" ? new SuperElevationWidening : nullptr;
    });
    ASSERT_EQ(read.Count(), 2);
    EXPECT_EQ(Owned(read.WriteXml()), text);
    EXPECT_EQ(read.At(1)->Widening[DBROAD_SideRight], N);
    std::unique_ptr<SuperElevationArray> clone(read.Clone());
    ASSERT_EQ(clone->Count(), 2);
    EXPECT_TRUE(*clone->At(1) == *read.At(1));
}

}  // namespace
