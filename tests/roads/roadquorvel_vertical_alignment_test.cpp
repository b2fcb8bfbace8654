#include "roads/roadquorvel_vertical_alignment.h"

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "road_xml_test.h"
#include "vertical_testing.h"
#include "support/recording_environment.h"

namespace {

constexpr double N = MATHS_Null;
using Reports = std::vector<std::string>;

constexpr double kTol = kVerticalTolerance;

// A new element keyed by VPI.
template <class Element>
Element* AtVpi(double station, double elevation) {
    Element* e = new Element;
    e->KeyinMethod = 0;
    e->IntersectionPoint = {station, elevation};
    return e;
}

VerticalPoint* Point(double station, double elevation, int32_t method = 0) {
    VerticalPoint* p = AtVpi<VerticalPoint>(station, elevation);
    p->KeyinMethod = method;
    // As the import and the road file reader build it.
    p->StartPoint = p->EndPoint = p->IntersectionPoint;
    return p;
}

VerticalArc* Arc(double station, double elevation, double radius) {
    VerticalArc* a = AtVpi<VerticalArc>(station, elevation);
    a->Radius = radius;
    return a;
}

VerticalParabola* Parabola(double station, double elevation, double length) {
    VerticalParabola* p = AtVpi<VerticalParabola>(station, elevation);
    p->Length = length;
    return p;
}

template <class Curve>
Curve* ByStartAndEnd(Curve* curve, StationElevation start, StationElevation end) {
    curve->KeyinMethod = 1;
    curve->IntersectionPoint.SetNull();
    curve->StartPoint = start;
    curve->EndPoint = end;
    return curve;
}

VerticalElementArray List(std::initializer_list<VerticalBase*> elements) {
    VerticalElementArray list;
    for (VerticalBase* e : elements) list.Add(e);
    return list;
}

// The worked parabola between two points: VPIs (0, 8), (100, 10), (200, 8), Length 40.
VerticalElementArray Worked() {
    VerticalElementArray list = List({Point(0, 8), Parabola(100, 10, 40), Point(200, 8)});
    list.Recompute();
    return list;
}

// A point, a summit arc of Radius 5000, a sag parabola of Length 200 and a closing point.
VerticalElementArray FourVpis() {
    return List({Point(0, 100), Arc(300, 106, 5000), Parabola(600, 97, 200), Point(900, 103)});
}

constexpr double kRise = 0.019997333973150533;  // atan(0.02)
constexpr double kFall = -0.0299910048568779;   // atan(-0.03)

TEST(VerticalElementArray, RecomputeByVpiRebuildsEverythingFromTheVpisAndLengths) {
    VerticalElementArray list = FourVpis();
    // Stale values everywhere but in the VPIs, lengths and radius; the first point is
    // keyed by start and end points, which does not count.
    for (int32_t i = 0; i < list.Count(); ++i) {
        VerticalBase* e = list.GetElement(i);
        for (StationElevation* p : {&e->EndPoint, &e->StartPoint, &e->NextIntersectionPoint, &e->NextStartPoint,
                                    &e->PreviousIntersectionPoint, &e->PreviousEndPoint})
            *p = {-7, -7};
        if (VerticalCurve* c = VerticalCurve::Cast(e)) {
            c->GradeIn = c->GradeOut = c->KFactor = 0.3;
            c->SagSummitPoint = {-7, -7};
        }
    }
    VerticalPoint* first = VerticalPoint::Cast(list.GetElement(0));
    first->KeyinMethod = 1;
    first->GradeIn = 0.5;
    first->GradeOut = 0.25;
    VerticalArc* arc = VerticalArc::Cast(list.GetElement(1));
    arc->CentrePoint = {-7, -7};
    arc->Length = 1;
    VerticalPoint* last = VerticalPoint::Cast(list.GetElement(3));
    last->GradeIn = 0.25;
    EXPECT_EQ(list.GetKeyinMethod(), 0);

    list.Recompute();

    EXPECT_EQ(first->KeyinMethod, 0);
    EXPECT_EQ(first->GradeIn, 0.5);  // the first grade in has nothing to come from
    EXPECT_NEAR(first->GradeOut, kRise, 1e-15);
    EXPECT_POINT(first->StartPoint, 0, 100);
    EXPECT_POINT(first->EndPoint, 0, 100);
    EXPECT_POINT(first->PreviousEndPoint, 0, 100);

    EXPECT_NEAR(arc->GradeIn, kRise, 1e-15);
    EXPECT_NEAR(arc->GradeOut, kFall, 1e-15);
    EXPECT_POINT(arc->StartPoint, 175.02811484821061, 103.50056229696421);
    EXPECT_POINT(arc->EndPoint, 424.94066637456632, 102.25178000876301);
    EXPECT_POINT(arc->CentrePoint, 275.00812084621131, -4895.4997376030708);
    EXPECT_NEAR(arc->Length, 249.91255152635571, kTol);
    EXPECT_NEAR(arc->KFactor, 49.982510305271143, kTol);
    EXPECT_POINT(arc->SagSummitPoint, 275.00812084621131, 104.50026239692922);
    EXPECT_POINT(arc->PreviousEndPoint, 0, 100);
    EXPECT_POINT(arc->NextStartPoint, 500, 100);

    const VerticalParabola* parabola = VerticalParabola::Cast(list.GetElement(2));
    EXPECT_NEAR(parabola->GradeIn, kFall, 1e-15);
    EXPECT_NEAR(parabola->GradeOut, kRise, 1e-15);
    EXPECT_POINT(parabola->StartPoint, 500, 100);
    EXPECT_POINT(parabola->EndPoint, 700, 99);
    EXPECT_NEAR(parabola->KFactor, 40, kTol);
    EXPECT_POINT(parabola->SagSummitPoint, 620, 98.2);
    EXPECT_POINT(parabola->PreviousEndPoint, 424.94066637456632, 102.25178000876301);
    EXPECT_POINT(parabola->PreviousIntersectionPoint, 300, 106);
    EXPECT_POINT(parabola->NextIntersectionPoint, 900, 103);
    EXPECT_POINT(parabola->NextStartPoint, 900, 103);

    EXPECT_NEAR(last->GradeIn, kRise, 1e-15);
    EXPECT_POINT(last->PreviousEndPoint, 700, 99);
    EXPECT_TRUE(last->NextStartPoint.HasNull());
    EXPECT_TRUE(last->NextIntersectionPoint.HasNull());

    // Nothing stale survives: the same as a list recomputed from scratch.
    VerticalElementArray fresh = FourVpis();
    VerticalPoint::Cast(fresh.GetElement(0))->GradeIn = 0.5;
    fresh.Recompute();
    for (int32_t i = 0; i < list.Count(); ++i) EXPECT_TRUE(*list.GetElement(i) == *fresh.GetElement(i)) << i;
    EXPECT_TRUE(list.IsValid());
    EXPECT_EQ(list.StartStation(), 0);
    EXPECT_EQ(list.EndStation(), 900);
}

TEST(VerticalElementArray, RecomputeByStartAndEndPointsDerivesTheVpis) {
    // The worked parabola keyed by its start, end and K-factor.
    VerticalParabola* keyed = ByStartAndEnd(new VerticalParabola, {80, 9.6}, {120, 9.6});
    keyed->KFactor = 10;
    VerticalElementArray list = List({Point(0, 8), keyed, Point(200, 8, 1)});
    EXPECT_TRUE(list.AllKeyedByStartAndEndPoints());
    EXPECT_FALSE(list.AllKeyedByVPI());
    EXPECT_EQ(list.GetKeyinMethod(), 1);
    list.Recompute();
    EXPECT_EQ(list.GetElement(0)->KeyinMethod, 1);
    EXPECT_POINT(keyed->IntersectionPoint, 100, 10);
    EXPECT_NEAR(keyed->GradeIn, std::atan(0.02), 1e-15);
    EXPECT_NEAR(keyed->GradeOut, std::atan(-0.02), 1e-15);
    EXPECT_POINT(keyed->SagSummitPoint, 100, 9.8);
    EXPECT_POINT(keyed->PreviousEndPoint, 0, 8);
    EXPECT_POINT(keyed->NextStartPoint, 200, 8);
    EXPECT_POINT(list.GetElement(0)->NextIntersectionPoint, 100, 10);
    const VerticalPoint* last = VerticalPoint::Cast(list.GetElement(2));
    EXPECT_NEAR(last->GradeIn, std::atan(-0.02), 1e-15);
    EXPECT_POINT(last->PreviousIntersectionPoint, 100, 10);
    EXPECT_TRUE(list.IsValid());
    // The same curve as the one keyed by VPIs.
    const VerticalElementArray worked = Worked();
    const VerticalParabola* byVpi = VerticalParabola::Cast(worked.GetElement(1));
    EXPECT_NEAR(keyed->KFactor, byVpi->KFactor, kTol);
    EXPECT_NEAR(keyed->ElevationAt(90), byVpi->ElevationAt(90), kTol);

    // An arc keyed by start and end points after a point: its VPI and centre.
    VerticalArc* arc = ByStartAndEnd(new VerticalArc, {100, 12}, {200, 11});
    arc->Radius = 3000;
    VerticalElementArray arcs = List({Point(0, 10, 0), arc, Point(300, 10, 1)});
    arcs.Recompute();
    EXPECT_POINT(arc->IntersectionPoint, 150.01500300060012, 13.000300060012002);
    EXPECT_POINT(arc->CentrePoint, 120.00566705193963, -2987.9332948060373);
    EXPECT_POINT(arc->SagSummitPoint, 120.00566705193963, 12.066705193962661);
    EXPECT_TRUE(arcs.IsValid());

    // A Radius below half the chord computes no centre and makes the list invalid.
    VerticalArc* tight = ByStartAndEnd(new VerticalArc, {100, 12}, {200, 11});
    tight->Radius = 50;
    VerticalElementArray tights = List({Point(0, 10, 1), tight, Point(300, 10, 1)});
    tights.Recompute();
    EXPECT_TRUE(tight->CentrePoint.HasNull());
    EXPECT_FALSE(tights.IsValid());
}

TEST(VerticalElementArray, ShortOrMixedListsAreLeftAlone) {
    VerticalElementArray empty;
    empty.Recompute();
    EXPECT_EQ(empty.GetKeyinMethod(), 2);
    EXPECT_TRUE(maths_IsNull(empty.StartStation()));
    EXPECT_TRUE(maths_IsNull(empty.EndStation()));
    EXPECT_FALSE(empty.HasElevations());

    VerticalParabola* alone = Parabola(100, 10, 40);
    alone->StartPoint = {1, 2};
    alone->EndPoint = {3, 4};
    VerticalElementArray one = List({alone});
    one.Recompute();
    EXPECT_FALSE(one.AllKeyedByVPI());
    EXPECT_FALSE(one.AllKeyedByStartAndEndPoints());
    EXPECT_POINT(alone->StartPoint, 1, 2);
    EXPECT_TRUE(alone->PreviousEndPoint.HasNull());
    EXPECT_EQ(one.StartStation(), 1);
    EXPECT_EQ(one.EndStation(), 3);

    VerticalElementArray mixed = List({Point(0, 8), Parabola(100, 10, 40), Point(200, 8, 1)});
    const std::unique_ptr<RoadElementArray> before(mixed.Clone());
    EXPECT_EQ(mixed.GetKeyinMethod(), 2);
    mixed.Recompute();
    for (int32_t i = 0; i < mixed.Count(); ++i) EXPECT_TRUE(*mixed.At(i) == *before->At(i)) << i;
    EXPECT_TRUE(mixed.GetElement(1)->StartPoint.HasNull());
    EXPECT_TRUE(mixed.HasElevations());  // its points start at their VPIs
    EXPECT_FALSE(List({Parabola(100, 10, 40), Parabola(200, 8, 40)}).HasElevations());
}

TEST(VerticalElementArray, ElevationAt) {
    const VerticalElementArray list = Worked();
    EXPECT_TRUE(list.HasElevations());
    struct Case {
        double station, elevation;
    };
    for (const Case& c : {Case{-0.0004, 8}, Case{-0.001, N}, Case{0, 8}, Case{40, 8.8}, Case{90, 9.75},
                          Case{100, 9.8}, Case{110, 9.75}, Case{150, 9.0}, Case{200, 8}, Case{200.0004, 8},
                          Case{200.001, N}, Case{N, N}}) {
        const double z = list.ElevationAt(c.station);
        if (maths_IsNull(c.elevation))
            EXPECT_TRUE(maths_IsNull(z)) << c.station;
        else
            EXPECT_NEAR(z, c.elevation, kTol) << c.station;
    }
    EXPECT_TRUE(maths_IsNull(VerticalElementArray().ElevationAt(0)));

    // Where one element ends and the next starts, the earlier answers, up to 0.0005
    // past its end. The links here disagree on purpose so the answers differ.
    VerticalPoint* a = Point(100, 10);
    a->PreviousEndPoint = {0, 0};
    VerticalPoint* b = Point(200, 50);
    b->PreviousEndPoint = {100, 20};
    VerticalElementArray junction = List({a, b});
    EXPECT_NEAR(junction.ElevationAt(100), 10, kTol);
    EXPECT_NEAR(junction.ElevationAt(100.0004), 10, kTol);
    EXPECT_NEAR(junction.ElevationAt(100.001), 20.0003, kTol);
    EXPECT_TRUE(maths_IsNull(junction.ElevationAt(50)));  // before the first VPI, the list's start
}

TEST(VerticalElementArray, IsValid) {
    struct Case {
        const char* name;
        std::vector<VerticalBase*> elements;
        bool valid;
    };
    const auto parabolas = [](double secondVpi) {
        return std::vector<VerticalBase*>{Point(0, 8), Parabola(100, 10, 40), Parabola(secondVpi, 9.2, 40),
                                          Point(300, 12)};
    };
    std::vector<Case> cases;
    cases.push_back({"ends in a point", {Point(0, 8), Parabola(100, 10, 40), Point(200, 8)}, true});
    cases.push_back({"ends in a curve", {Point(0, 8), Parabola(100, 10, 40)}, false});
    cases.push_back({"ends in an arc", {Point(0, 8), Arc(100, 10, 1000)}, false});
    cases.push_back({"overlap of 0.0005", parabolas(139.9995), true});
    cases.push_back({"overlap of 0.0015", parabolas(139.9985), false});
    cases.push_back({"equal grades on a parabola", {Point(0, 8), Parabola(100, 10, 40), Point(200, 12)}, false});
    cases.push_back({"equal grades on an arc", {Point(0, 8), Arc(100, 10, 1000), Point(200, 12)}, false});
    cases.push_back({"arc without a radius", {Point(0, 8), Arc(100, 10, N), Point(200, 8)}, false});
    cases.push_back({"points only", {Point(0, 8), Point(100, 10)}, true});
    for (Case& c : cases) {
        VerticalElementArray list;
        for (VerticalBase* e : c.elements) list.Add(e);
        list.Recompute();
        EXPECT_EQ(list.IsValid(), c.valid) << c.name;
    }
    EXPECT_TRUE(VerticalElementArray().IsValid());
}

TEST(VerticalElementArray, LinksFromTheElementsAsStored) {
    VerticalElementArray list = Worked();
    for (int32_t i = 0; i < list.Count(); ++i)
        for (StationElevation* p : {&list.GetElement(i)->NextIntersectionPoint, &list.GetElement(i)->NextStartPoint,
                                    &list.GetElement(i)->PreviousIntersectionPoint,
                                    &list.GetElement(i)->PreviousEndPoint})
            p->SetNull();
    list.LinkPrevious();
    list.LinkNext();
    const VerticalBase* first = list.GetElement(0);
    const VerticalBase* parabola = list.GetElement(1);
    const VerticalBase* last = list.GetElement(2);
    EXPECT_POINT(first->PreviousEndPoint, 0, 8);
    EXPECT_TRUE(first->PreviousIntersectionPoint.HasNull());
    EXPECT_POINT(first->NextIntersectionPoint, 100, 10);
    EXPECT_POINT(first->NextStartPoint, 80, 9.6);
    EXPECT_POINT(parabola->PreviousIntersectionPoint, 0, 8);
    EXPECT_POINT(parabola->PreviousEndPoint, 0, 8);
    EXPECT_POINT(parabola->NextIntersectionPoint, 200, 8);
    EXPECT_POINT(parabola->NextStartPoint, 200, 8);
    EXPECT_POINT(last->PreviousIntersectionPoint, 100, 10);
    EXPECT_POINT(last->PreviousEndPoint, 120, 9.6);
    EXPECT_TRUE(last->NextStartPoint.HasNull());
    EXPECT_NEAR(list.ElevationAt(150), 9.0, kTol);
}

TEST(VerticalElementArray, KeyStations) {
    const VerticalElementArray empty;
    ChainageElementArray untouched;
    untouched.SetStartStation(-50);
    untouched.SetEndStation(900);
    untouched.AddStation(-50, KEY_AlignmentStart);
    empty.AddKeyStations(untouched);
    EXPECT_EQ(untouched.At(0)->Flags, KEY_AlignmentStart);

    VerticalElementArray list = FourVpis();
    list.Recompute();
    ChainageElementArray keys;
    keys.SetStartStation(-50);
    keys.SetEndStation(900);
    keys.AddStation(-50, KEY_AlignmentStart);
    list.AddKeyStations(keys);
    struct Key {
        double station;
        int32_t flags;
    };
    const Key expected[] = {
        {-50, KEY_AlignmentStart | KEY_VerticalPI},
        {0, KEY_VerticalPI},
        {175.02811484821061, KEY_VerticalStart},
        {275.00812084621131, KEY_Summit},
        {300, KEY_VerticalPI},
        {424.94066637456632, KEY_VerticalEnd},
        {500, KEY_VerticalStart},
        {600, KEY_VerticalPI},
        {620, KEY_Sag},
        {700, KEY_VerticalEnd},
        {900, KEY_VerticalPI},
    };
    ASSERT_EQ(keys.Count(), static_cast<int32_t>(std::size(expected)));
    for (int32_t i = 0; i < keys.Count(); ++i) {
        EXPECT_NEAR(keys.At(i)->Station, expected[i].station, kTol) << i;
        EXPECT_EQ(keys.At(i)->Flags, expected[i].flags) << i;
    }
}

TEST(VerticalElementArray, WritesItsXml) {
    EXPECT_EQ(VerticalElementArray().WriteXml(), nullptr);
    const VerticalElementArray list = Worked();
    std::unique_ptr<xmlout_element> tree(list.WriteXml());
    EXPECT_EQ(road_test::Text(tree.get()),
              "\r\n"
              "<VerticalAlignment>\r\n"
              "    <StartStation>0</StartStation>\r\n"
              "    <EndStation>200</EndStation>\r\n"
              "    <VerticalPoint>\r\n"
              "        <KeyinMethod>VPI</KeyinMethod>\r\n"
              "        <IntersectionPoint>\r\n"
              "            <Station>0</Station>\r\n"
              "            <Elevation>8</Elevation>\r\n"
              "        </IntersectionPoint>\r\n"
              "        <GradeIn/>\r\n"
              "        <GradeOut>2</GradeOut>\r\n"
              "    </VerticalPoint>\r\n"
              "    <VerticalParabola>\r\n"
              "        <KeyinMethod>VPI</KeyinMethod>\r\n"
              "        <IntersectionPoint>\r\n"
              "            <Station>100</Station>\r\n"
              "            <Elevation>10</Elevation>\r\n"
              "        </IntersectionPoint>\r\n"
              "        <Length>40</Length>\r\n"
              "        <StartPoint>\r\n"
              "            <Station>80</Station>\r\n"
              "            <Elevation>9.6</Elevation>\r\n"
              "        </StartPoint>\r\n"
              "        <EndPoint>\r\n"
              "            <Station>120</Station>\r\n"
              "            <Elevation>9.6</Elevation>\r\n"
              "        </EndPoint>\r\n"
              "        <SagSummitPoint>\r\n"
              "            <Station>100</Station>\r\n"
              "            <Elevation>9.8</Elevation>\r\n"
              "        </SagSummitPoint>\r\n"
              "        <GradeIn>2</GradeIn>\r\n"
              "        <GradeOut>-2</GradeOut>\r\n"
              "        <KFactor>10</KFactor>\r\n"
              "    </VerticalParabola>\r\n"
              "    <VerticalPoint>\r\n"
              "        <KeyinMethod>VPI</KeyinMethod>\r\n"
              "        <IntersectionPoint>\r\n"
              "            <Station>200</Station>\r\n"
              "            <Elevation>8</Elevation>\r\n"
              "        </IntersectionPoint>\r\n"
              "        <GradeIn>-2</GradeIn>\r\n"
              "        <GradeOut/>\r\n"
              "    </VerticalPoint>\r\n"
              "</VerticalAlignment>\r\n");
}

TEST(VerticalElementArray, NewElementsCopiesAndForeignElements) {
    RecordingEnvironment env;
    VerticalElementArray empty;
    std::unique_ptr<VerticalBase> made(empty.NewElementLike(3));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetType(), VerticalPoint::TypeCode);

    VerticalAsymmetricParabola* asymmetric = new VerticalAsymmetricParabola;
    asymmetric->LengthIn = 30;
    VerticalElementArray list = List({Point(0, 8), Arc(100, 10, 500), Parabola(200, 9, 40), asymmetric});
    for (int32_t i = 0; i < list.Count(); ++i) {
        std::unique_ptr<VerticalBase> like(list.NewElementLike(i));
        ASSERT_NE(like, nullptr) << i;
        EXPECT_EQ(like->GetType(), list.At(i)->GetType());
        EXPECT_TRUE(like->IntersectionPoint.HasNull());  // defaults, nothing copied
    }
    EXPECT_TRUE(env.Expressions().empty());
    EXPECT_EQ(list.NewElementLike(4), nullptr);
    EXPECT_EQ(env.Expressions(), Reports({"ndx < Count()"}));

    // Copies are vertical lists with cloned elements.
    std::unique_ptr<RoadElementArray> clone(list.Clone());
    auto* typed = dynamic_cast<VerticalElementArray*>(clone.get());
    ASSERT_NE(typed, nullptr);
    ASSERT_EQ(typed->Count(), 4);
    EXPECT_NE(typed->At(1), list.At(1));
    EXPECT_TRUE(*typed->At(1) == *list.At(1));
    VerticalElementArray assigned;
    assigned = list;
    EXPECT_TRUE(*assigned.GetElement(3) == *asymmetric);

    // An element that is not vertical is no vertical element: skipped by every walk.
    env.Clear();
    VerticalElementArray foreign = List({Point(0, 8)});
    foreign.Add(new ChainageElement(5, KEY_Interval));
    foreign.Add(Point(200, 8));
    EXPECT_EQ(foreign.GetElement(1), nullptr);
    foreign.Recompute();
    EXPECT_TRUE(foreign.IsValid());
    EXPECT_NEAR(foreign.ElevationAt(200), 8, kTol);
    std::unique_ptr<xmlout_element> tree(foreign.WriteXml());
    EXPECT_EQ(road_test::Text(tree.get()).find("Chainage"), std::string::npos);
    EXPECT_EQ(foreign.NewElementLike(1), nullptr);
    EXPECT_TRUE(env.Expressions().empty());
}

}  // namespace
