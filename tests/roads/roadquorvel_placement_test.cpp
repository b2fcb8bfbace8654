#include "roads/roadquorvel_placement.h"

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

constexpr double N = MATHS_Null;
constexpr int32_t User = SidePlacement::UserDefinedTemplate;
constexpr int32_t None = SidePlacement::NoTemplate;
constexpr int32_t Interpolate = SidePlacement::InterpolateTemplate;

SidePlacement Side(int32_t type, const char* name, double station) {
    SidePlacement side;
    side.Type = type;
    side.Name = name;
    side.Station = station;
    return side;
}

// A placement at one station; a side named "~" interpolates, "" has no template.
SidedTemplatePlacement* Placement(double station, const char* left, const char* right) {
    auto* p = new SidedTemplatePlacement;
    int32_t side = DBROAD_SideLeft;
    for (const char* name : {left, right}) {
        const std::string n(name);
        p->Sides[side++] = Side(n == "~" ? Interpolate : n.empty() ? None : User, n == "~" ? "" : name, station);
    }
    return p;
}

// Placements at 0 (T1, T1), 100 (interpolate, T2) and 200 (T3, T3).
TemplatePlacementArray ThreePlacements() {
    TemplatePlacementArray placements;
    placements.Add(Placement(0, "T1", "T1"));
    placements.Add(Placement(100, "~", "T2"));
    placements.Add(Placement(200, "T3", "T3"));
    return placements;
}

void ExpectSide(const SidePlacement& side, int32_t type, const char* name, double station, const char* what) {
    EXPECT_EQ(side.Type, type) << what;
    EXPECT_EQ(side.Name, name) << what;
    EXPECT_EQ(side.Station, station) << what;
}

TEST(SidedTemplatePlacement, WritesANameOnlyForANamedTemplate) {
    TempFolder tmp;
    auto node = Scan(tmp,
                     "<ApplyTemplates><Station>12.5</Station>"
                     "<LeftSide><Type>None</Type><Name>Ignored</Name></LeftSide>"
                     "<RightSide><Type>UserDefined</Type><Name>T1</Name></RightSide></ApplyTemplates>");
    ASSERT_NE(node, nullptr);
    SidedTemplatePlacement p;
    p.ReadXml(node.get());
    ExpectSide(p.Sides[DBROAD_SideLeft], None, "", 12.5, "left");
    ExpectSide(p.Sides[DBROAD_SideRight], User, "T1", 12.5, "right");
    const std::string text = Written(p);
    EXPECT_EQ(text,
              "<ApplyTemplates>\r\n"
              "    <Station>12.5</Station>\r\n"
              "    <LeftSide>\r\n"
              "        <Type>None</Type>\r\n"
              "    </LeftSide>\r\n"
              "    <RightSide>\r\n"
              "        <Type>UserDefined</Type>\r\n"
              "        <Name>T1</Name>\r\n"
              "    </RightSide>\r\n"
              "</ApplyTemplates>\r\n");
    SidedTemplatePlacement again;
    again.ReadXml(Scan(tmp, text).get());
    EXPECT_TRUE(again == p);
    EXPECT_EQ(Written(again), text);

    // Type texts match exactly; anything else keeps no template, and no station is null.
    node = Scan(tmp,
                "<ApplyTemplates><LeftSide><Type>userdefined</Type><Name>T9</Name></LeftSide>"
                "<RightSide><Type>Interpolate</Type></RightSide></ApplyTemplates>");
    SidedTemplatePlacement odd;
    odd.ReadXml(node.get());
    ExpectSide(odd.Sides[DBROAD_SideLeft], None, "", N, "odd left");
    ExpectSide(odd.Sides[DBROAD_SideRight], Interpolate, "", N, "odd right");
    EXPECT_NE(Written(odd).find("<Station/>"), std::string::npos);
}

TEST(SidePlacement, TypeTextsAndEquality) {
    SidePlacement side;
    EXPECT_EQ(side.Type, None);
    EXPECT_EQ(side.Station, N);
    const char* texts[] = {"UserDefined", "None", "Interpolate"};
    for (int32_t type = 0; type < 3; ++type) {
        side.Type = type;
        EXPECT_EQ(side.TypeText(), texts[type]);
    }
    side.Type = 3;
    EXPECT_EQ(side.TypeText(), "");
    side.SetTypeFromText("Interpolate");
    EXPECT_EQ(side.Type, Interpolate);
    side.SetTypeFromText("NONE");
    EXPECT_EQ(side.Type, Interpolate);
    EXPECT_EQ(Owned(side.WriteXml("Side")), "<Side>\r\n    <Type>Interpolate</Type>\r\n</Side>\r\n");

    const SidePlacement a = Side(User, "T1", 5);
    EXPECT_TRUE(a == Side(User, "T1", 5));
    EXPECT_FALSE(a == Side(None, "T1", 5));
    EXPECT_FALSE(a == Side(User, "t1", 5));
    EXPECT_FALSE(a == Side(User, "T1", 5.0000001));

    std::unique_ptr<SidedTemplatePlacement> p(Placement(5, "T1", "~"));
    std::unique_ptr<RoadElement> clone(p->Clone());
    EXPECT_TRUE(*clone == *p);
    SidedTemplatePlacement assigned;
    assigned = *p;
    assigned = *&assigned;  // self-assignment keeps everything
    EXPECT_TRUE(assigned == *p);
    assigned.Sides[DBROAD_SideRight].Station = 6;
    EXPECT_FALSE(assigned == *p);
    EXPECT_EQ(SidedTemplatePlacement::Cast(clone.get()), clone.get());
}

TEST(TemplatePlacementArray, BeforeAndAfterAStationSkipInterpolatingSides) {
    const TemplatePlacementArray placements = ThreePlacements();
    SidedTemplatePlacement before = placements.PlacementBefore(150);
    ExpectSide(before.Sides[DBROAD_SideLeft], User, "T1", 0, "before 150 left");
    ExpectSide(before.Sides[DBROAD_SideRight], User, "T2", 100, "before 150 right");
    SidedTemplatePlacement after = placements.PlacementAfter(150);
    ExpectSide(after.Sides[DBROAD_SideLeft], User, "T3", 200, "after 150 left");
    ExpectSide(after.Sides[DBROAD_SideRight], User, "T3", 200, "after 150 right");

    // Within 0.0005 of a placement counts as at it: in for Before, out for After.
    before = placements.PlacementBefore(99.9996);
    ExpectSide(before.Sides[DBROAD_SideRight], User, "T2", 100, "before 99.9996");
    after = placements.PlacementAfter(99.9996);
    ExpectSide(after.Sides[DBROAD_SideLeft], User, "T3", 200, "after 99.9996 left");
    ExpectSide(after.Sides[DBROAD_SideRight], User, "T3", 200, "after 99.9996 right");
    before = placements.PlacementBefore(99.9994);
    ExpectSide(before.Sides[DBROAD_SideRight], User, "T1", 0, "before 99.9994");
    after = placements.PlacementAfter(99.9994);
    ExpectSide(after.Sides[DBROAD_SideLeft], User, "T3", 200, "after 99.9994 left");
    ExpectSide(after.Sides[DBROAD_SideRight], User, "T2", 100, "after 99.9994 right");

    // Outside the placements, and for no placements, the sides have no template.
    before = placements.PlacementBefore(-1);
    after = placements.PlacementAfter(200);
    for (const SidedTemplatePlacement* p : {&before, &after})
        for (const SidePlacement& side : p->Sides) ExpectSide(side, None, "", N, "outside");
    const TemplatePlacementArray empty;
    EXPECT_TRUE(empty.PlacementBefore(0) == SidedTemplatePlacement());
    EXPECT_TRUE(empty.PlacementAfter(0) == SidedTemplatePlacement());
}

TEST(TemplatePlacementArray, IsValid) {
    const struct {
        const char* what;
        std::vector<double> stations;
        double rightShift;  // of the right side's station, first placement
        bool valid;
    } cases[] = {
        {"none", {}, 0, true},
        {"in order", {0, 100, 200}, 0, true},
        {"equal neighbours", {0, 100, 100}, 0, false},
        {"neighbours 0.0001 apart", {0, 100, 99.9999}, 0, true},
        {"equal but not neighbours", {100, 50, 100}, 0, true},
        {"right side 0.0005 off", {0, 100}, 0.0005, true},
        {"right side 0.0006 off", {0, 100}, 0.0006, false},
        {"start 0.0005 early", {-0.0005, 100}, 0, true},
        {"start 0.0006 early", {-0.0006, 100}, 0, false},
        {"end 0.0004 late", {0, 300.0004}, 0, true},
        {"end 0.0006 late", {0, 300.0006}, 0, false},
        {"null station", {N}, 0, false},
    };
    for (const auto& c : cases) {
        TemplatePlacementArray placements;
        for (double station : c.stations) placements.Add(Placement(station, "T1", "T2"));
        if (placements.Count() > 0) placements.At(0)->Sides[DBROAD_SideRight].Station += c.rightShift;
        EXPECT_EQ(placements.IsValid(0, 300), c.valid) << c.what;
    }
}

TEST(TemplatePlacementArray, NamesRenamesAndKeyStations) {
    TemplatePlacementArray placements;
    EXPECT_FALSE(placements.HasUserDefinedTemplates());
    EXPECT_EQ(placements.GetTemplateNames().Count(), 0);
    placements.Add(Placement(0, "", "~"));
    EXPECT_FALSE(placements.HasUserDefinedTemplates());
    placements.Add(Placement(50, "B", "A"));
    placements.Add(Placement(150, "A", "C"));
    placements.Add(Placement(250, "C", "b"));
    EXPECT_TRUE(placements.HasUserDefinedTemplates());
    EXPECT_EQ(placements.GetTemplateNames(), StrArray() + "B" + "A" + "C" + "b");

    EXPECT_EQ(placements.RenameTemplate("A", "Z"), 4);
    EXPECT_EQ(placements.GetTemplateNames(), StrArray() + "B" + "Z" + "C" + "b");
    // Only named sides are renamed: a side without a template keeps its stale name.
    placements.At(1)->Sides[DBROAD_SideLeft].Type = None;
    placements.RenameTemplate("B", "Y");
    EXPECT_EQ(placements.At(1)->Sides[DBROAD_SideLeft].Name, "B");
    EXPECT_EQ(placements.GetTemplateNames(), StrArray() + "Z" + "C" + "b");

    ChainageElementArray keys;
    keys.SetStartStation(0);
    keys.SetEndStation(200);
    keys.AddStation(150.0004, KEY_ArcStart);
    EXPECT_EQ(placements.AddKeyStations(keys), 4);
    ASSERT_EQ(keys.Count(), 3);  // 250 lies past the end
    const struct {
        double station;
        int32_t flags;
    } expected[] = {
        {0, KEY_TemplatePlacement}, {50, KEY_TemplatePlacement}, {150.0004, KEY_ArcStart | KEY_TemplatePlacement}};
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(keys.At(i)->Station, expected[i].station);
        EXPECT_EQ(keys.At(i)->Flags, expected[i].flags);
    }
}

TEST(TemplatePlacementArray, WritesItsListAndReadsItBack) {
    TempFolder tmp;
    EXPECT_EQ(TemplatePlacementArray().WriteXml(), nullptr);

    TemplatePlacementArray placements;
    placements.Add(Placement(0, "T1", ""));
    placements.Add(Placement(120.25, "~", "T2"));
    const std::string text = Owned(placements.WriteXml());
    EXPECT_EQ(text,
              "\r\n"
              "<TemplatePositioning>\r\n"
              "    <ApplyTemplates>\r\n"
              "        <Station>0</Station>\r\n"
              "        <LeftSide>\r\n"
              "            <Type>UserDefined</Type>\r\n"
              "            <Name>T1</Name>\r\n"
              "        </LeftSide>\r\n"
              "        <RightSide>\r\n"
              "            <Type>None</Type>\r\n"
              "        </RightSide>\r\n"
              "    </ApplyTemplates>\r\n"
              "    <ApplyTemplates>\r\n"
              "        <Station>120.25</Station>\r\n"
              "        <LeftSide>\r\n"
              "            <Type>Interpolate</Type>\r\n"
              "        </LeftSide>\r\n"
              "        <RightSide>\r\n"
              "            <Type>UserDefined</Type>\r\n"
              "            <Name>T2</Name>\r\n"
              "        </RightSide>\r\n"
              "    </ApplyTemplates>\r\n"
              "</TemplatePositioning>\r\n");

    auto node = Scan(tmp, text);
    ASSERT_NE(node, nullptr);
    TemplatePlacementArray read;
    road_test::ReadElements(node.get(), read, [](const Str& name) -> RoadElement* {
        return name == "ApplyTemplates" ? new SidedTemplatePlacement : nullptr;
    });
    ASSERT_EQ(read.Count(), 2);
    EXPECT_TRUE(*read.At(0) == *placements.At(0));
    EXPECT_TRUE(*read.At(1) == *placements.At(1));
    EXPECT_EQ(Owned(read.WriteXml()), text);

    std::unique_ptr<TemplatePlacementArray> clone(read.Clone());
    ASSERT_EQ(clone->Count(), 2);
    EXPECT_NE(clone->At(1), read.At(1));
    EXPECT_TRUE(*clone->At(1) == *read.At(1));
}

}  // namespace
