#include "roads/roadquorvel_template.h"

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "road_xml_test.h"
#include "support/recording_environment.h"
#include "support/str_print.h"

namespace {

using road_test::Scan;
using road_test::Written;
using Reports = std::vector<std::string>;

constexpr double N = MATHS_Null;
// atan(0.5), from python3's math.atan; grades read from percent are exact to 1e-15.
constexpr double kAtanHalf = 0.4636476090008061;

RoadElement* MakeTemplateElement(const Str& name) {
    if (name == "DistanceAndGrade") return new TemplateDistanceGrade;
    if (name == "DistanceAndVerticalDistance") return new TemplateDistanceDelta;
    if (name == "SideSlope") return new TemplateSideSlope;
    return nullptr;
}

// A template read back as the road file reader builds one.
CrossSectionTemplate ReadTemplate(const xml_Node* node) {
    CrossSectionTemplate t;
    t.Name = node->GetValueByPath("Name");
    road_test::ReadElements(node, t, MakeTemplateElement);
    return t;
}

TemplateDistanceGrade* Grade(double width, double grade, bool super = false, bool widen = false) {
    auto* e = new TemplateDistanceGrade;
    e->HorizontalDistance = width;
    e->Grade = grade;
    e->ApplySuperelevation = super;
    e->ApplyWidening = widen;
    return e;
}

TemplateDistanceDelta* Delta(double width, double rise, bool super = false, bool widen = false) {
    auto* e = new TemplateDistanceDelta;
    e->HorizontalDistance = width;
    e->VerticalDistance = rise;
    e->ApplySuperelevation = super;
    e->ApplyWidening = widen;
    return e;
}

CrossSectionTemplate Named(const char* name, double width = 3.5) {
    CrossSectionTemplate t;
    t.Name = name;
    t.Add(Grade(width, -0.02));
    return t;
}

// A carriageway, a kerb given by its height and a batter; each grade's percentage is exact.
CrossSectionTemplate Carriageway() {
    CrossSectionTemplate t;
    t.Name = "Main 2";
    TemplateDistanceGrade* lane = Grade(3.5, std::atan(-0.02), true, true);
    lane->Code = "EL";
    lane->ApplyRollover = true;
    lane->RolloverGrade = std::atan(0.08);
    t.Add(lane);
    TemplateDistanceDelta* kerb = Delta(0.25, -0.15);
    kerb->Code = "K";
    t.Add(kerb);
    auto* batter = new TemplateSideSlope;
    batter->Code = "B";
    batter->CutGrade = std::atan(0.5);
    batter->FillGrade = std::atan(0.25);  // written as -25
    t.Add(batter);
    return t;
}

const char* const kCarriagewayText =
    "\r\n"
    "<TemplateRecord>\r\n"
    "    <Name>Main 2</Name>\r\n"
    "    <DistanceAndGrade>\r\n"
    "        <Code>EL</Code>\r\n"
    "        <ApplySuperelevation>true</ApplySuperelevation>\r\n"
    "        <ApplyWidening>true</ApplyWidening>\r\n"
    "        <HorizontalDistance>3.5</HorizontalDistance>\r\n"
    "        <Grade>-2</Grade>\r\n"
    "        <ApplyRollover>true</ApplyRollover>\r\n"
    "        <RolloverGrade>8</RolloverGrade>\r\n"
    "    </DistanceAndGrade>\r\n"
    "    <DistanceAndVerticalDistance>\r\n"
    "        <Code>K</Code>\r\n"
    "        <ApplySuperelevation>false</ApplySuperelevation>\r\n"
    "        <ApplyWidening>false</ApplyWidening>\r\n"
    "        <HorizontalDistance>0.25</HorizontalDistance>\r\n"
    "        <VerticalDistance>-0.15</VerticalDistance>\r\n"
    "        <ApplyRollover>false</ApplyRollover>\r\n"
    "        <RolloverGrade/>\r\n"
    "    </DistanceAndVerticalDistance>\r\n"
    "    <SideSlope>\r\n"
    "        <Code>B</Code>\r\n"
    "        <CutGrade>50</CutGrade>\r\n"
    "        <FillGrade>-25</FillGrade>\r\n"
    "        <CutDitchWidth>0</CutDitchWidth>\r\n"
    "    </SideSlope>\r\n"
    "</TemplateRecord>\r\n";

TEST(CrossSectionTemplate, WritesItsRecordAndReadsItBack) {
    TempFolder tmp;
    const CrossSectionTemplate t = Carriageway();
    const std::string text = road_test::Owned(t.WriteXml());
    EXPECT_EQ(text, kCarriagewayText);

    auto node = Scan(tmp, text);
    ASSERT_NE(node, nullptr);
    const CrossSectionTemplate read = ReadTemplate(node.get());
    EXPECT_EQ(read.Name, "Main 2");
    ASSERT_EQ(read.Count(), 3);
    for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(read.At(i)->GetType(), t.At(i)->GetType()) << i;
    const auto* lane = TemplateDistanceGrade::Cast(read.At(0));
    EXPECT_NEAR(lane->Grade, std::atan(-0.02), 1e-15);
    EXPECT_NEAR(lane->RolloverGrade, std::atan(0.08), 1e-15);
    const auto* batter = TemplateSideSlope::Cast(read.At(2));
    EXPECT_NEAR(batter->FillGrade, std::atan(0.25), 1e-15);
    EXPECT_EQ(batter->CutDitchWidth, 0);
    EXPECT_EQ(road_test::Owned(read.WriteXml()), kCarriagewayText);

    EXPECT_EQ(road_test::Owned(CrossSectionTemplate().WriteXml()),
              "\r\n<TemplateRecord>\r\n    <Name/>\r\n</TemplateRecord>\r\n");
}

TEST(TemplateDistanceGrade, AVerticalElementReadsWithoutSuperelevation) {
    TempFolder tmp;
    // Grade text, whether the flag survives: within 0.0005 rad of vertical it is cleared.
    const struct {
        const char* grade;
        bool super;
    } cases[] = {
        {"99999999", false},  // the file's vertical grade
        {"-99999999", false},
        {"250000", false},  // atan 2500: 0.00040 rad short of vertical
        {"150000", true},   // atan 1500: 0.00067 rad short
        {"-5000", true},
        {"", true},  // no grade: null, not vertical
    };
    for (const auto& c : cases) {
        auto node = Scan(tmp, std::string("<DistanceAndGrade><ApplySuperelevation>true</ApplySuperelevation><Grade>") +
                                  c.grade + "</Grade></DistanceAndGrade>");
        ASSERT_NE(node, nullptr);
        TemplateDistanceGrade e;
        e.ReadXml(node.get());
        EXPECT_EQ(e.ApplySuperelevation, c.super) << c.grade;
    }
    // The vertical-distance element keeps its flag whatever its shape.
    auto node = Scan(tmp,
                     "<DistanceAndVerticalDistance><ApplySuperelevation>true</ApplySuperelevation>"
                     "<HorizontalDistance>0</HorizontalDistance><VerticalDistance>1</VerticalDistance>"
                     "</DistanceAndVerticalDistance>");
    TemplateDistanceDelta d;
    d.ReadXml(node.get());
    EXPECT_TRUE(d.ApplySuperelevation);
}

TEST(TemplateSideSlope, FillGradeIsHeldNegated) {
    TempFolder tmp;
    auto node = Scan(tmp,
                     "<SideSlope><Code>BT</Code><CutGrade>50</CutGrade><FillGrade>-50</FillGrade>"
                     "<CutDitchWidth>1.5</CutDitchWidth></SideSlope>");
    ASSERT_NE(node, nullptr);
    TemplateSideSlope s;
    s.ReadXml(node.get());
    EXPECT_EQ(s.Code, "BT");
    EXPECT_NEAR(s.FillGrade, kAtanHalf, 1e-15);
    EXPECT_NEAR(s.CutGrade, kAtanHalf, 1e-15);
    EXPECT_EQ(s.CutDitchWidth, 1.5);
    EXPECT_EQ(Written(s),
              "<SideSlope>\r\n"
              "    <Code>BT</Code>\r\n"
              "    <CutGrade>50</CutGrade>\r\n"
              "    <FillGrade>-50</FillGrade>\r\n"
              "    <CutDitchWidth>1.5</CutDitchWidth>\r\n"
              "</SideSlope>\r\n");
    // Vertical fills keep their file sign too.
    s.FillGrade = -CONSTANT_PiOverTwo;
    EXPECT_NE(Written(s).find("<FillGrade>99999999</FillGrade>"), std::string::npos);
}

TEST(TemplateElements, ChildlessElementsReadEmptyFalseAndNull) {
    TempFolder tmp;
    TemplateDistanceGrade g;
    TemplateDistanceDelta d;
    TemplateSideSlope s;
    EXPECT_EQ(s.CutDitchWidth, 0);  // the constructor's default, not the reader's
    for (RoadElement* e : std::initializer_list<RoadElement*>{&g, &d, &s}) {
        // Start from filled fields, so that reading visibly resets them.
        if (auto* w = TemplateDistanceElement::Cast(e)) {
            w->Code = "X";
            w->ApplySuperelevation = w->ApplyWidening = w->ApplyRollover = true;
            w->HorizontalDistance = w->RolloverGrade = 1;
        }
        auto node = Scan(tmp, "<Element/>");
        ASSERT_NE(node, nullptr);
        e->ReadXml(node.get());
    }
    for (const TemplateDistanceElement* w : {TemplateDistanceElement::Cast(&g), TemplateDistanceElement::Cast(&d)}) {
        EXPECT_TRUE(w->Code.IsEmpty());
        EXPECT_FALSE(w->ApplySuperelevation || w->ApplyWidening || w->ApplyRollover);
        EXPECT_EQ(w->HorizontalDistance, N);
        EXPECT_EQ(w->RolloverGrade, N);
    }
    EXPECT_EQ(g.Grade, N);
    EXPECT_EQ(d.VerticalDistance, N);
    EXPECT_TRUE(s.Code.IsEmpty());
    EXPECT_EQ(s.CutGrade, N);
    EXPECT_EQ(s.FillGrade, N);
    EXPECT_EQ(s.CutDitchWidth, N);
    EXPECT_EQ(Written(s),
              "<SideSlope>\r\n    <Code/>\r\n    <CutGrade/>\r\n    <FillGrade/>\r\n"
              "    <CutDitchWidth/>\r\n</SideSlope>\r\n");
}

TEST(TemplateElements, CopiesCompareFieldByField) {
    TemplateDistanceGrade g;
    g.Code = "C";
    g.Grade = 0.1;
    g.HorizontalDistance = 2;
    TemplateDistanceDelta d;
    d.VerticalDistance = 0.1;
    d.HorizontalDistance = 2;
    TemplateSideSlope s;
    s.FillGrade = 0.3;

    // Each change of one field makes the copy differ.
    const std::vector<std::function<void(RoadElement*)>> changes = {
        [](RoadElement* e) {
            if (auto* w = TemplateDistanceElement::Cast(e)) w->Code = "c";
            if (auto* x = TemplateSideSlope::Cast(e)) x->Code = "c";
        },
        [](RoadElement* e) {
            if (auto* w = TemplateDistanceElement::Cast(e)) w->ApplyRollover = true;
            if (auto* x = TemplateSideSlope::Cast(e)) x->CutDitchWidth = 0.5;
        },
        [](RoadElement* e) {
            if (auto* w = TemplateDistanceElement::Cast(e)) w->RolloverGrade = 0.2;
            if (auto* x = TemplateSideSlope::Cast(e)) x->FillGrade = -0.3;
        },
        [](RoadElement* e) {
            if (auto* x = TemplateDistanceGrade::Cast(e)) x->Grade = 0.1000000001;
            if (auto* x = TemplateDistanceDelta::Cast(e)) x->VerticalDistance = 0.1000000001;
            if (auto* x = TemplateSideSlope::Cast(e)) x->CutGrade = 0;
        },
    };
    for (const RoadElement* original : std::initializer_list<const RoadElement*>{&g, &d, &s}) {
        std::unique_ptr<RoadElement> clone(original->Clone());
        EXPECT_TRUE(*clone == *original);
        for (size_t i = 0; i < changes.size(); ++i) {
            std::unique_ptr<RoadElement> changed(original->Clone());
            changes[i](changed.get());
            EXPECT_FALSE(*changed == *original) << original->GetType() << " change " << i;
        }
    }
    // The same fields under another type code are another element.
    TemplateDistanceDelta likeGrade;
    likeGrade.Code = "C";
    likeGrade.HorizontalDistance = 2;
    likeGrade.VerticalDistance = 0.1;
    EXPECT_FALSE(likeGrade == static_cast<const RoadElement&>(g));

    TemplateDistanceGrade assigned;
    assigned = g;
    assigned = *&assigned;  // self-assignment keeps everything
    EXPECT_TRUE(assigned == g);
    TemplateSideSlope slope;
    slope = s;
    EXPECT_TRUE(slope == s);

    EXPECT_EQ(TemplateDistanceGrade::Cast(static_cast<RoadElement*>(&d)), nullptr);
    EXPECT_EQ(TemplateDistanceDelta::Cast(static_cast<RoadElement*>(&d)), &d);
    EXPECT_EQ(TemplateSideSlope::Cast(static_cast<RoadElement*>(nullptr)), nullptr);
    EXPECT_EQ(TemplateDistanceElement::Cast(static_cast<RoadElement*>(&s)), nullptr);
}

TEST(TemplateDistanceDelta, GradeIsTheSlopeOfItsOwnWidth) {
    // (rise, width, grade): atan2 from python3; no grade without both values.
    const struct {
        double rise, width, grade;
    } cases[] = {
        {1, 2, kAtanHalf}, {-1, 2, -kAtanHalf}, {1, 0, CONSTANT_PiOverTwo}, {0, 0, 0}, {N, 2, 0}, {1, N, 0},
    };
    for (const auto& c : cases) {
        TemplateDistanceDelta d;
        d.VerticalDistance = c.rise;
        d.HorizontalDistance = c.width;
        EXPECT_NEAR(d.GetGrade(), c.grade, 1e-15) << c.rise << " " << c.width;
    }
}

TEST(CrossSectionTemplate, SummaryQueries) {
    CrossSectionTemplate t;
    EXPECT_EQ(t.GetSuperelevationReferenceGrade(), N);
    EXPECT_EQ(t.GetSuperelevatedWidth(), 0);
    EXPECT_EQ(t.CountWidenedElements(), 0);
    EXPECT_FALSE(t.HasNegativeDistance());

    t.Add(Grade(1, 0.03));                            // not superelevated
    t.Add(Delta(0.0004, 0.2, true, true));            // too narrow to give a grade
    t.Add(Grade(2, CONSTANT_PiOverTwo, true));        // vertical
    t.Add(Grade(3, -0.04, true, true));               // the reference
    t.Add(Delta(2, 1, true));
    t.Add(new TemplateSideSlope);
    EXPECT_EQ(t.GetSuperelevationReferenceGrade(), -0.04);
    EXPECT_EQ(t.CountWidenedElements(), 2);
    EXPECT_NEAR(t.GetSuperelevatedWidth(), 7.0004, 1e-12);
    EXPECT_FALSE(t.HasNegativeDistance());

    CrossSectionTemplate deltaFirst;
    deltaFirst.Add(Delta(0.0006, 0.0003, true));
    deltaFirst.Add(Grade(3, -0.04, true));
    EXPECT_NEAR(deltaFirst.GetSuperelevationReferenceGrade(), kAtanHalf, 1e-15);

    // Widths unknown on two superelevated elements give an unknown total, not infinity.
    CrossSectionTemplate unknown;
    unknown.Add(Grade(N, 0.02, true));
    unknown.Add(Grade(N, 0.02, true));
    EXPECT_EQ(unknown.GetSuperelevatedWidth(), N);

    t.Add(Delta(-0.5, 0));
    EXPECT_TRUE(t.HasNegativeDistance());
}

TEST(CrossSectionTemplate, CopiesCarryTheNameButCloneDoesNot) {
    CrossSectionTemplate t = Carriageway();
    CrossSectionTemplate copy(t);
    EXPECT_EQ(copy.Name, t.Name);
    ASSERT_EQ(copy.Count(), 3);
    EXPECT_NE(copy.At(0), t.At(0));
    EXPECT_TRUE(*copy.At(0) == *t.At(0));
    CrossSectionTemplate assigned;
    assigned = t;
    assigned = *&assigned;  // self-assignment keeps everything
    EXPECT_EQ(assigned.Name, "Main 2");
    EXPECT_EQ(assigned.Count(), 3);

    std::unique_ptr<RoadElementArray> clone(t.Clone());
    EXPECT_EQ(clone->Count(), 3);
    EXPECT_EQ(dynamic_cast<CrossSectionTemplate*>(clone.get()), nullptr);  // a plain list

    EXPECT_EQ(CrossSectionTemplate::Empty().Count(), 0);
    EXPECT_TRUE(CrossSectionTemplate::Empty().Name.IsEmpty());
    EXPECT_EQ(&CrossSectionTemplate::Empty(), &CrossSectionTemplate::Empty());
}

TEST(TemplateArray, GrowsByFourFromTwentyAndAtPointsIntoTheTable) {
    RecordingEnvironment env;
    TemplateArray templates;
    for (int i = 0; i < 20; ++i) templates.Add(Named(("T" + std::to_string(i)).c_str()));
    EXPECT_EQ(templates.Size(), 20);
    templates.Add(Named("T20"));
    EXPECT_EQ(templates.Size(), 80);
    EXPECT_EQ(templates.Count(), 21);

    // The conversion appends elements through the stored copy.
    CrossSectionTemplate* current = templates.At(templates.Count() - 1);
    ASSERT_NE(current, nullptr);
    current->Add(Grade(0.5, 0.04));
    current->Add(new TemplateSideSlope);
    EXPECT_EQ(templates.FindByName("T20"), current);
    EXPECT_EQ(templates.At(20)->Count(), 3);
    EXPECT_EQ(templates.At(19)->Count(), 1);
    for (int i = 21; i < 80; ++i) templates.Add(Named("More"));
    EXPECT_EQ(templates.Size(), 80);
    templates.Add(Named("Last"));
    EXPECT_EQ(templates.Size(), 320);
    EXPECT_EQ(templates.At(20)->Count(), 3);
    EXPECT_TRUE(env.assertions.empty());
}

TEST(TemplateArray, TakesDeepCopies) {
    TemplateArray templates;
    CrossSectionTemplate t = Named("A");
    templates.Add(t);
    t.Name = "B";
    TemplateDistanceGrade::Cast(t.At(0))->HorizontalDistance = 9;
    EXPECT_EQ(templates.At(0)->Name, "A");
    EXPECT_EQ(TemplateDistanceGrade::Cast(templates.At(0)->At(0))->HorizontalDistance, 3.5);

    // A template of the array itself survives the table moving under it.
    for (int i = 1; i < 20; ++i) templates.Add(Named("Filler"));
    ASSERT_EQ(templates.Size(), 20);
    templates.Add(*templates.At(0));
    EXPECT_EQ(templates.Size(), 80);
    EXPECT_EQ(templates.At(20)->Name, "A");
    EXPECT_EQ(templates.At(20)->Count(), 1);
    templates.InsertAt(1, *templates.At(20));
    EXPECT_EQ(templates.At(1)->Name, "A");
    EXPECT_EQ(templates.At(21)->Name, "A");
    templates.SetAt(2, *templates.At(2));
    EXPECT_EQ(templates.At(2)->Name, "Filler");

    // Copies reserve exactly what they hold.
    TemplateArray copy(templates);
    EXPECT_EQ(copy.Count(), 22);
    EXPECT_EQ(copy.Size(), 22);
    EXPECT_NE(copy.At(0), templates.At(0));
    EXPECT_EQ(copy.At(21)->Name, "A");
    TemplateArray assigned;
    assigned.Add(Named("Gone"));
    assigned = templates;
    assigned = *&assigned;  // self-assignment keeps everything
    EXPECT_EQ(assigned.Count(), 22);
    EXPECT_EQ(assigned.Size(), 22);
    EXPECT_EQ(assigned.FindByName("Gone"), nullptr);
    std::unique_ptr<TemplateArray> clone(templates.Clone());
    EXPECT_EQ(clone->Count(), 22);
    EXPECT_EQ(clone->At(1)->At(0)->GetType(), TemplateDistanceGrade::TypeCode);
}

TEST(TemplateArray, IndexedChangesKeepOrder) {
    TemplateArray templates;
    for (const char* name : {"A", "B", "C"}) templates.Add(Named(name));
    templates.InsertAt(0, Named("Z"));
    templates.InsertAt(4, Named("E"));
    EXPECT_EQ(templates.GetNames(), StrArray() + "Z" + "A" + "B" + "C" + "E");
    templates.RemoveAt(1);
    templates.SetAt(2, Named("Y"));
    EXPECT_EQ(templates.GetNames(), StrArray() + "Z" + "B" + "Y" + "E");
    templates.RemoveAt(3);
    EXPECT_EQ(templates.Count(), 3);
    templates.Clear();
    EXPECT_EQ(templates.Count(), 0);
    EXPECT_EQ(templates.Size(), 0);

    TemplateArray reserved;
    reserved.Reserve(0);
    EXPECT_EQ(reserved.Size(), 0);
    reserved.Reserve(3);
    EXPECT_EQ(reserved.Size(), 3);
    EXPECT_EQ(reserved.Count(), 0);
}

TEST(TemplateArray, OutOfRangeCallsAreReportedAndChangeNothing) {
    RecordingEnvironment env;
    TemplateArray templates;
    templates.Add(Named("A"));
    const struct {
        const char* what;
        std::function<void()> call;
        Reports reports;
    } cases[] = {
        {"At(1)", [&] { EXPECT_EQ(templates.At(1), nullptr); }, {"i < count"}},
        {"At(-1)", [&] { EXPECT_EQ(templates.At(-1), nullptr); }, {"i >= 0"}},
        {"InsertAt(2)", [&] { templates.InsertAt(2, Named("X")); }, {"ndx <= count"}},
        {"InsertAt(-1)", [&] { templates.InsertAt(-1, Named("X")); }, {"ndx >= 0"}},
        {"RemoveAt(1)", [&] { templates.RemoveAt(1); }, {"ndx < count"}},
        {"SetAt(-1)", [&] { templates.SetAt(-1, Named("X")); }, {"ndx >= 0"}},
        {"Reserve over a table", [&] { templates.Reserve(5); }, {"size == 0", "templates == NULL"}},
    };
    for (const auto& c : cases) {
        env.Clear();
        c.call();
        EXPECT_EQ(env.Expressions(), c.reports) << c.what;
        EXPECT_EQ(templates.GetNames(), StrArray() + "A") << c.what;
        EXPECT_EQ(templates.Size(), 20) << c.what;
    }
    for (const auto& report : env.assertions) EXPECT_EQ(report.module, "RoadQuorvel");
}

TEST(TemplateArray, NamesAreCaseSensitive) {
    TemplateArray templates;
    EXPECT_TRUE(templates.HasUniqueNames());
    EXPECT_TRUE(templates.ContainsAllNames(StrArray()));
    EXPECT_FALSE(templates.ContainsAllNames(StrArray() + "A"));
    EXPECT_EQ(templates.FindByName("A"), nullptr);

    templates.Add(Named("Road"));
    templates.Add(Named("ROAD"));
    EXPECT_TRUE(templates.HasUniqueNames());
    EXPECT_EQ(templates.FindByName("road"), nullptr);
    EXPECT_EQ(templates.FindByName("ROAD"), templates.At(1));
    EXPECT_TRUE(templates.ContainsAllNames(StrArray() + "ROAD" + "Road" + "Road"));
    EXPECT_FALSE(templates.ContainsAllNames(StrArray() + "Road" + "road"));

    // The first of equal names is found.
    templates.Add(Named("Road", 7));
    EXPECT_FALSE(templates.HasUniqueNames());
    EXPECT_EQ(templates.FindByName("Road"), templates.At(0));
    EXPECT_EQ(templates.GetNames(), StrArray() + "Road" + "ROAD" + "Road");

    EXPECT_FALSE(templates.HasNegativeDistance());
    templates.Add(Named("Back", -1));
    EXPECT_TRUE(templates.HasNegativeDistance());
}

}  // namespace
