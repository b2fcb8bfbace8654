#include "roads/roadquorvel_vertical.h"

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

bool AllNull(const StationElevation& p) { return maths_IsNull(p.Station) && maths_IsNull(p.Elevation); }

// Every double an element holds is finite (null counts as finite).
bool Finite(const VerticalBase& e) {
    std::vector<double> values;
    for (const StationElevation* p : {&e.EndPoint, &e.StartPoint, &e.NextIntersectionPoint, &e.NextStartPoint,
                                      &e.PreviousIntersectionPoint, &e.PreviousEndPoint, &e.IntersectionPoint}) {
        values.push_back(p->Station);
        values.push_back(p->Elevation);
    }
    if (const VerticalCurve* c = VerticalCurve::Cast(&e))
        values.insert(values.end(), {c->KFactor, c->GradeIn, c->GradeOut, c->SagSummitPoint.Station,
                                     c->SagSummitPoint.Elevation});
    if (const VerticalArc* a = VerticalArc::Cast(&e))
        values.insert(values.end(), {a->Radius, a->Length, a->CentrePoint.Station, a->CentrePoint.Elevation});
    if (const VerticalParabola* p = VerticalParabola::Cast(&e)) values.push_back(p->Length);
    if (const VerticalAsymmetricParabola* p = VerticalAsymmetricParabola::Cast(&e))
        values.insert(values.end(), {p->LengthIn, p->LengthOut});
    if (const VerticalPoint* p = VerticalPoint::Cast(&e)) values.insert(values.end(), {p->GradeIn, p->GradeOut});
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

// A curve keyed by VPI between the two neighbouring VPIs, computed.
// An arc keyed by its start and end points after the previous element's end, computed.
VerticalArc KeyedArc(double radius, StationElevation previousEnd, StationElevation start, StationElevation end) {
    VerticalArc arc;
    arc.KeyinMethod = 1;
    arc.Radius = radius;
    arc.PreviousEndPoint = previousEnd;
    arc.StartPoint = start;
    arc.EndPoint = end;
    arc.Compute();
    return arc;
}

template <class Curve>
void Place(Curve& curve, StationElevation previous, StationElevation vpi, StationElevation next) {
    curve.KeyinMethod = 0;
    curve.PreviousIntersectionPoint = previous;
    curve.IntersectionPoint = vpi;
    curve.NextIntersectionPoint = next;
    curve.Compute();
}

struct Key {
    double station;
    int32_t flags;
};

void ExpectKeys(const ChainageElementArray& list, const std::vector<Key>& expected) {
    ASSERT_EQ(list.Count(), static_cast<int32_t>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(list.At(static_cast<int32_t>(i))->Station, expected[i].station, kTol) << i;
        EXPECT_EQ(list.At(static_cast<int32_t>(i))->Flags, expected[i].flags) << i;
    }
}

ChainageElementArray KeyList(double start, double end) {
    ChainageElementArray list;
    list.SetStartStation(start);
    list.SetEndStation(end);
    return list;
}

TEST(StationElevation, TheWorkingPairIsNotPartOfTheValue) {
    StationElevation fresh;
    EXPECT_TRUE(AllNull(fresh));
    EXPECT_TRUE(fresh.HasNull());
    EXPECT_TRUE(maths_IsNull(fresh.WorkingPair()[0]));
    EXPECT_TRUE(maths_IsNull(fresh.WorkingPair()[1]));

    const StationElevation a(100, 10);
    EXPECT_FALSE(a.HasNull());
    EXPECT_TRUE(StationElevation(100, N).HasNull());
    const StationElevation copy(a);
    EXPECT_EQ(copy.WorkingPair()[0], 0.0);
    EXPECT_EQ(copy.WorkingPair()[1], 0.0);

    StationElevation b(5, 6);
    b.AsPair();
    b = a;  // copies the value, keeps the pair
    EXPECT_TRUE(b == a);
    EXPECT_EQ(b.WorkingPair()[0], 5.0);
    EXPECT_EQ(b.WorkingPair()[1], 6.0);
    const double* pair = b.AsPair();
    EXPECT_EQ(pair, b.WorkingPair());
    EXPECT_EQ(pair[0], 100.0);
    EXPECT_EQ(pair[1], 10.0);
    b = b;
    EXPECT_TRUE(b == a);

    std::unique_ptr<xmlout_element> tree(StationElevation(12.5, N).WriteXml("EndPoint"));
    EXPECT_EQ(road_test::Text(tree.get()),
              "<EndPoint>\r\n"
              "    <Station>12.5</Station>\r\n"
              "    <Elevation/>\r\n"
              "</EndPoint>\r\n");
}

TEST(VerticalBase, CastsMethodNamesAndOverlaps) {
    VerticalArc arc;
    VerticalPoint point;
    VerticalParabola parabola;
    VerticalAsymmetricParabola asymmetric;
    ChainageElement key;
    EXPECT_EQ(arc.GetType(), 7);
    EXPECT_EQ(point.GetType(), 8);
    EXPECT_EQ(parabola.GetType(), 9);
    EXPECT_EQ(asymmetric.GetType(), 10);
    for (RoadElement* e : std::vector<RoadElement*>{&arc, &point, &parabola, &asymmetric})
        EXPECT_EQ(VerticalBase::Cast(e), e);
    EXPECT_EQ(VerticalBase::Cast(&key), nullptr);
    EXPECT_EQ(VerticalBase::Cast(static_cast<RoadElement*>(nullptr)), nullptr);
    EXPECT_EQ(VerticalArc::Cast(&arc), &arc);
    EXPECT_EQ(VerticalArc::Cast(&point), nullptr);
    EXPECT_EQ(VerticalPoint::Cast(&point), &point);
    EXPECT_EQ(VerticalPoint::Cast(&parabola), nullptr);
    EXPECT_EQ(VerticalParabola::Cast(&parabola), &parabola);
    EXPECT_EQ(VerticalParabola::Cast(&asymmetric), nullptr);
    EXPECT_EQ(VerticalAsymmetricParabola::Cast(&asymmetric), &asymmetric);
    EXPECT_EQ(VerticalAsymmetricParabola::Cast(&arc), nullptr);
    EXPECT_EQ(VerticalCurve::Cast(&point), nullptr);
    EXPECT_EQ(VerticalCurve::Cast(&asymmetric), &asymmetric);

    EXPECT_EQ(point.KeyinMethod, -1);
    EXPECT_EQ(point.KeyinMethodName(), "");
    EXPECT_TRUE(AllNull(point.IntersectionPoint));
    EXPECT_EQ(VerticalBase::Tolerance, 0.001);
    point.SetKeyinMethodFromName("StartAndEndPoints");
    EXPECT_EQ(point.KeyinMethod, 1);
    EXPECT_EQ(point.KeyinMethodName(), "StartAndEndPoints");
    point.SetKeyinMethodFromName("vpi");  // names are exact
    EXPECT_EQ(point.KeyinMethod, 1);
    point.SetKeyinMethodFromName("VPI");
    EXPECT_EQ(point.KeyinMethodName(), "VPI");

    // Overlaps count only beyond the tolerance and only with both stations set.
    parabola.EndPoint = {120, 9.6};
    parabola.StartPoint = {80, 9.6};
    EXPECT_FALSE(parabola.OverlapsNext());
    EXPECT_FALSE(parabola.OverlapsPrevious());
    parabola.NextStartPoint = {119.9991, 9.6};
    parabola.PreviousEndPoint = {80.0009, 9.6};
    EXPECT_FALSE(parabola.OverlapsNext());
    EXPECT_FALSE(parabola.OverlapsPrevious());
    parabola.NextStartPoint.Station = 119.9985;
    parabola.PreviousEndPoint.Station = 80.0015;
    EXPECT_TRUE(parabola.OverlapsNext());
    EXPECT_TRUE(parabola.OverlapsPrevious());
    parabola.EndPoint.Station = N;
    parabola.StartPoint.Station = N;
    EXPECT_FALSE(parabola.OverlapsNext());
    EXPECT_FALSE(parabola.OverlapsPrevious());

    point.EndPoint = {100, 1};
    EXPECT_TRUE(point.ContainsStation(100.0004));
    EXPECT_FALSE(point.ContainsStation(100.0006));
    EXPECT_TRUE(point.ContainsStation(-1e6));
}

TEST(VerticalPoint, ComputesGradesFromItsNeighbours) {
    VerticalPoint p;
    p.GradeIn = 0.25;
    p.GradeOut = 0.5;
    p.IntersectionPoint = {100, N};  // no elevation: only the points are copied
    p.PreviousIntersectionPoint = {0, 8};
    p.NextIntersectionPoint = {200, 8};
    p.KeyinMethod = 0;
    p.Compute();
    EXPECT_EQ(p.StartPoint.Station, 100);
    EXPECT_TRUE(maths_IsNull(p.EndPoint.Elevation));
    EXPECT_EQ(p.GradeIn, 0.25);
    EXPECT_EQ(p.GradeOut, 0.5);

    p.IntersectionPoint.Elevation = 10;
    p.Compute();
    EXPECT_TRUE(p.StartPoint == p.IntersectionPoint);
    EXPECT_TRUE(p.EndPoint == p.IntersectionPoint);
    EXPECT_NEAR(p.GradeIn, std::atan(0.02), 1e-15);
    EXPECT_NEAR(p.GradeOut, std::atan(-0.02), 1e-15);

    // The first point has no previous VPI and keeps the grade it was given.
    p.GradeIn = 0.25;
    p.PreviousIntersectionPoint.SetNull();
    p.Compute();
    EXPECT_EQ(p.GradeIn, 0.25);

    // Keyed by start and end points the neighbours' end and start count.
    p.KeyinMethod = 1;
    p.PreviousEndPoint = {50, 9};
    p.NextStartPoint = {150, 11};
    p.Compute();
    EXPECT_NEAR(p.GradeIn, std::atan(0.02), 1e-15);
    EXPECT_NEAR(p.GradeOut, std::atan(0.02), 1e-15);

    // Any other method leaves the grades.
    p.KeyinMethod = -1;
    p.GradeIn = p.GradeOut = 0.125;
    p.Compute();
    EXPECT_EQ(p.GradeIn, 0.125);
    EXPECT_EQ(p.GradeOut, 0.125);
}

TEST(VerticalPoint, ElevationKeyStationsAndCopies) {
    VerticalPoint p;
    p.KeyinMethod = 0;
    p.IntersectionPoint = {100, 10};
    p.PreviousEndPoint = {0, 8};
    p.Compute();
    struct Case {
        double station, elevation;
    };
    for (const Case& c : {Case{100, 10}, Case{100.0004, 10}, Case{99.9996, 10}, Case{50, 9}, Case{-50, 7},
                          Case{100.001, N}, Case{N, N}}) {
        const double z = p.ElevationAt(c.station);
        if (maths_IsNull(c.elevation))
            EXPECT_TRUE(maths_IsNull(z)) << c.station;
        else
            EXPECT_NEAR(z, c.elevation, 1e-12) << c.station;
    }

    ChainageElementArray keys = KeyList(0, 200);
    p.AddKeyStations(keys);
    ExpectKeys(keys, {{100, KEY_VerticalPI}});

    // Copies, clones and equality: the neighbour links never count.
    p.GradeIn = 0.01;
    VerticalPoint copy(p);
    EXPECT_TRUE(copy == p);
    copy.PreviousEndPoint.SetNull();
    copy.NextStartPoint = {1, 2};
    EXPECT_TRUE(copy == p);
    copy.GradeOut = 0.3;
    EXPECT_FALSE(copy == p);
    copy = p;
    EXPECT_TRUE(copy == p);
    EXPECT_TRUE(copy.PreviousEndPoint == p.PreviousEndPoint);
    std::unique_ptr<RoadElement> clone(p.Clone());
    EXPECT_TRUE(*clone == p);
    VerticalParabola other;
    EXPECT_FALSE(p == static_cast<const RoadElement&>(other));
}

TEST(VerticalArc, SagAndSummitMatchTheTangentCircle) {
    // -2 % / +2 % with Radius 1000 at the VPI (500, 50).
    VerticalArc sag;
    sag.Radius = 1000;
    Place(sag, {0, 60}, {500, 50}, {1000, 60});
    EXPECT_NEAR(sag.GradeIn, std::atan(-0.02), 1e-15);
    EXPECT_NEAR(sag.GradeOut, std::atan(0.02), 1e-15);
    EXPECT_TRUE(sag.IsSag());
    EXPECT_POINT(sag.CentrePoint, 500.0, 1050.199980003999);
    EXPECT_POINT(sag.StartPoint, 480.00399880039986, 50.399920023992003);
    EXPECT_POINT(sag.EndPoint, 519.99600119960014, 50.399920023992003);
    EXPECT_NEAR(sag.Length, 39.992002399200281, kTol);
    EXPECT_NEAR(sag.KFactor, 9.99800059980007, kTol);
    EXPECT_POINT(sag.SagSummitPoint, 500.0, 50.199980003999);
    EXPECT_NEAR(sag.CentrePoint.Elevation - sag.SagSummitPoint.Elevation, 1000, kTol);
    EXPECT_NEAR(sag.ElevationAt(500), 50.199980003999, kTol);
    // Before the curve, the grade line from the previous element's end.
    sag.PreviousEndPoint = {0, 60};
    EXPECT_NEAR(sag.ElevationAt(sag.StartPoint.Station), sag.StartPoint.Elevation, kTol);
    EXPECT_NEAR(sag.ElevationAt(250), 55, kTol);

    ChainageElementArray keys = KeyList(0, 1000);
    sag.AddKeyStations(keys);
    ExpectKeys(keys, {{480.00399880039986, KEY_VerticalStart},
                      {500.0, KEY_VerticalPI | KEY_Sag},
                      {519.99600119960014, KEY_VerticalEnd}});

    // +3 % / -1 % with Radius 2000 at the VPI (1000, 80).
    VerticalArc summit;
    summit.Radius = 2000;
    Place(summit, {0, 50}, {1000, 80}, {2000, 70});
    EXPECT_FALSE(summit.IsSag());
    EXPECT_TRUE(summit.IsGradeOutFlatter());
    EXPECT_POINT(summit.CentrePoint, 1019.9950022737196, -1920.2999475228622);
    EXPECT_POINT(summit.StartPoint, 960.02198406237755, 78.800659521871327);
    EXPECT_POINT(summit.EndPoint, 1039.9940023487133, 79.600059976512867);
    EXPECT_NEAR(summit.Length, 79.972018286335756, kTol);
    EXPECT_NEAR(summit.KFactor, 19.993004571583939, kTol);
    EXPECT_POINT(summit.SagSummitPoint, 1019.9950022737196, 79.700052477137812);
    EXPECT_NEAR(summit.ElevationAt(1000), 79.600099950529393, kTol);
    ChainageElementArray summitKeys = KeyList(0, 2000);
    summit.AddKeyStations(summitKeys);
    ExpectKeys(summitKeys, {{960.02198406237755, KEY_VerticalStart},
                            {1000, KEY_VerticalPI},
                            {1019.9950022737196, KEY_Summit},
                            {1039.9940023487133, KEY_VerticalEnd}});
}

TEST(VerticalArc, EqualGradesOrNoRadiusComputeNoCurve) {
    VerticalArc level;
    level.Radius = 1000;
    Place(level, {0, 8}, {100, 10}, {200, 12});
    EXPECT_TRUE(level.GradesEqual());
    EXPECT_FALSE(level.GradesDiffer());
    EXPECT_TRUE(AllNull(level.StartPoint));
    EXPECT_TRUE(AllNull(level.EndPoint));
    EXPECT_TRUE(AllNull(level.CentrePoint));
    EXPECT_TRUE(maths_IsNull(level.KFactor));

    VerticalArc noRadius;
    Place(noRadius, {0, 8}, {100, 10}, {200, 8});
    EXPECT_TRUE(noRadius.GradesDiffer());
    EXPECT_FALSE(noRadius.IsRadiusValid());
    EXPECT_TRUE(AllNull(noRadius.StartPoint));
}

TEST(VerticalArc, KeyedByStartAndEndPoints) {
    // The start's grade comes from the previous end (0, 10); the VPI lies on it, as far
    // from the start as from the end; Radius 3000 places the centre on the bisector.
    VerticalArc arc = KeyedArc(3000, {0, 10}, {100, 12}, {200, 11});
    EXPECT_TRUE(arc.IsRadiusValid());
    EXPECT_NEAR(arc.GradeIn, 0.019997333973150533, 1e-15);
    EXPECT_NEAR(arc.GradeOut, -0.039996667346481009, 1e-12);
    EXPECT_POINT(arc.IntersectionPoint, 150.01500300060012, 13.000300060012002);
    EXPECT_POINT(arc.CentrePoint, 120.00566705193963, -2987.9332948060373);
    EXPECT_NEAR(arc.Length, 100, kTol);
    EXPECT_NEAR(arc.KFactor, 16.661665666466627, kTol);
    EXPECT_POINT(arc.SagSummitPoint, 120.00566705193963, 12.066705193962661);
    EXPECT_NEAR(std::hypot(arc.StartPoint.Station - arc.CentrePoint.Station,
                           arc.StartPoint.Elevation - arc.CentrePoint.Elevation),
                3000, kTol);

    // A Radius below half the chord is invalid: no centre, length or K-factor.
    VerticalArc tight = KeyedArc(50, {0, 10}, {100, 12}, {200, 11});
    EXPECT_FALSE(tight.IsRadiusValid());
    EXPECT_TRUE(tight.GradesDiffer());
    EXPECT_TRUE(AllNull(tight.CentrePoint));
    EXPECT_TRUE(maths_IsNull(tight.Length));
    EXPECT_TRUE(maths_IsNull(tight.KFactor));
    EXPECT_TRUE(AllNull(tight.SagSummitPoint));
    tight.Radius = 50.0125;  // half the chord, sqrt(100^2 + 1^2) / 2 = 50.00249...
    EXPECT_TRUE(tight.IsRadiusValid());

    // The end straight above the start: the start's tangent is parallel to the other
    // side of the triangle and meets it nowhere. No VPI, nothing infinite.
    const VerticalArc upright = KeyedArc(3000, {0, 10}, {100, 10}, {100, 20});
    EXPECT_EQ(upright.GradeIn, 0.0);
    EXPECT_TRUE(AllNull(upright.IntersectionPoint));
    EXPECT_TRUE(maths_IsNull(upright.GradeOut));
    EXPECT_TRUE(AllNull(upright.CentrePoint));
    EXPECT_TRUE(Finite(upright));
}

TEST(VerticalParabola, WorkedValues) {
    VerticalParabola p;
    p.Length = 40;
    Place(p, {0, 8}, {100, 10}, {200, 8});
    EXPECT_NEAR(p.GradeIn, std::atan(0.02), 1e-15);
    EXPECT_NEAR(p.GradeOut, std::atan(-0.02), 1e-15);
    EXPECT_POINT(p.StartPoint, 80, 9.6);
    EXPECT_POINT(p.EndPoint, 120, 9.6);
    EXPECT_NEAR(p.KFactor, 10, kTol);
    EXPECT_POINT(p.SagSummitPoint, 100, 9.8);
    p.PreviousEndPoint = {0, 8};
    struct Case {
        double station, elevation;
    };
    for (const Case& c : {Case{80, 9.6}, Case{40, 8.8}, Case{90, 9.75}, Case{100, 9.8}, Case{110, 9.75},
                          Case{120, 9.6}})
        EXPECT_NEAR(p.ElevationAt(c.station), c.elevation, kTol) << c.station;

    ChainageElementArray keys = KeyList(0, 200);
    p.AddKeyStations(keys);
    ExpectKeys(keys, {{80, KEY_VerticalStart}, {100, KEY_VerticalPI | KEY_Summit}, {120, KEY_VerticalEnd}});

    // Grades of one sign: no point of zero grade on the curve, no sag or summit key.
    VerticalParabola climbing;
    climbing.Length = 40;
    Place(climbing, {0, 8}, {100, 10}, {200, 15});
    EXPECT_NEAR(climbing.KFactor, 40.0 / 3, kTol);
    EXPECT_TRUE(AllNull(climbing.SagSummitPoint));
    ChainageElementArray climbingKeys = KeyList(0, 200);
    climbing.AddKeyStations(climbingKeys);
    ExpectKeys(climbingKeys, {{80, KEY_VerticalStart}, {100, KEY_VerticalPI}, {120, KEY_VerticalEnd}});

    // A sag gets KEY_Sag; a level grade on one side gets neither key.
    VerticalParabola sag;
    sag.Length = 40;
    Place(sag, {0, 12}, {100, 10}, {200, 12});
    EXPECT_POINT(sag.SagSummitPoint, 100, 10.2);
    ChainageElementArray sagKeys = KeyList(0, 200);
    sag.AddKeyStations(sagKeys);
    EXPECT_EQ(sagKeys.At(1)->Flags, KEY_VerticalPI | KEY_Sag);
    VerticalParabola flat;
    flat.Length = 40;
    Place(flat, {0, 10}, {100, 10}, {200, 8});
    EXPECT_POINT(flat.SagSummitPoint, 80, 10);
    ChainageElementArray flatKeys = KeyList(0, 200);
    flat.AddKeyStations(flatKeys);
    ExpectKeys(flatKeys, {{80, KEY_VerticalStart}, {100, KEY_VerticalPI}, {120, KEY_VerticalEnd}});
}

TEST(VerticalParabola, KeyedByStartAndEndPoints) {
    // The start and end of the worked parabola and its K-factor give back its VPI.
    VerticalParabola p;
    p.KeyinMethod = 1;
    p.KFactor = 10;
    p.PreviousIntersectionPoint = {0, 8};
    p.StartPoint = {80, 9.6};
    p.EndPoint = {120, 9.6};
    p.Compute();
    EXPECT_NEAR(p.Length, 40, kTol);
    EXPECT_POINT(p.IntersectionPoint, 100, 10);
    EXPECT_NEAR(p.GradeIn, std::atan(0.02), 1e-15);
    EXPECT_NEAR(p.GradeOut, std::atan(-0.02), 1e-15);
    EXPECT_POINT(p.SagSummitPoint, 100, 9.8);

    // First in its list, no previous VPI: the missing grade counts as the steeper, so
    // GradeIn = atan(tan(chord) + half the change).
    VerticalParabola first;
    first.KeyinMethod = 1;
    first.KFactor = 10;
    first.StartPoint = {80, 9.0};
    first.EndPoint = {120, 9.4};
    first.Compute();
    EXPECT_NEAR(first.GradeIn, std::atan(0.01 + 0.02), 1e-15);
    EXPECT_POINT(first.IntersectionPoint, 100, 9.6);
    EXPECT_NEAR(first.GradeOut, std::atan(-0.01), 1e-15);

    // A K-factor of 0 has no grade change to give: null grades, nothing infinite.
    VerticalParabola zeroK = p;
    zeroK.KFactor = 0;
    zeroK.Compute();
    EXPECT_TRUE(maths_IsNull(zeroK.GradeIn));
    EXPECT_TRUE(maths_IsNull(zeroK.IntersectionPoint.Elevation));
    EXPECT_TRUE(Finite(zeroK));

    // A K-factor so large that the grades come out equal: no zero-grade station (the
    // division by the grade change would be by zero).
    VerticalParabola straight;
    straight.KeyinMethod = 1;
    straight.KFactor = 1e300;
    straight.StartPoint = {0, 0};
    straight.EndPoint = {100, 1};
    straight.SagSummitPoint = {50, 0.5};
    straight.Compute();
    EXPECT_EQ(straight.GradeIn, straight.GradeOut);
    EXPECT_TRUE(AllNull(straight.SagSummitPoint));
    EXPECT_TRUE(Finite(straight));
}

TEST(VerticalAsymmetricParabola, WorkedValues) {
    VerticalAsymmetricParabola p;
    p.LengthIn = 30;
    p.LengthOut = 10;
    Place(p, {0, 8}, {100, 10}, {200, 8});
    EXPECT_POINT(p.StartPoint, 70, 9.4);
    EXPECT_POINT(p.EndPoint, 110, 9.8);
    EXPECT_NEAR(p.KFactor, 10, kTol);
    // The first half's zero grade would lie at 130, past the VPI; the second half's holds.
    EXPECT_POINT(p.SagSummitPoint, 103.3333333333333, 9.866666666666667);
    p.PreviousEndPoint = {0, 8};
    // Offset at the VPI: LengthIn LengthOut (g2 - g1) / 2 (LengthIn + LengthOut) = -0.15.
    struct Case {
        double station, elevation;
    };
    for (const Case& c : {Case{70, 9.4}, Case{85, 9.6625}, Case{100, 9.85}, Case{105, 9.8625}, Case{110, 9.8}})
        EXPECT_NEAR(p.ElevationAt(c.station), c.elevation, kTol) << c.station;
    ChainageElementArray keys = KeyList(0, 200);
    p.AddKeyStations(keys);
    ExpectKeys(keys, {{70, KEY_VerticalStart},
                      {100, KEY_VerticalPI},
                      {103.3333333333333, KEY_Summit},
                      {110, KEY_VerticalEnd}});

    // The first half holds the point when it comes before the VPI: 10/30 the other way round.
    VerticalAsymmetricParabola q;
    q.LengthIn = 10;
    q.LengthOut = 30;
    Place(q, {0, 8}, {100, 10}, {200, 8});
    EXPECT_POINT(q.SagSummitPoint, 96.66666666666667, 9.866666666666667);
}

TEST(VerticalAsymmetricParabola, AHalfOfNoLengthHasNoZeroGradeStation) {
    struct Case {
        const char* name;
        double lengthIn, lengthOut;
        StationElevation previous, next;
    };
    const Case cases[] = {
        {"level in, no length out", 30, 0, {0, 10}, {200, 8}},
        {"rising then rising less, no length out", 30, 0, {0, 5}, {200, 12}},
        {"falling then rising, no length out", 30, 0, {0, 12}, {200, 12}},
        {"no length in", 0, 30, {0, 8}, {200, 8}},
        {"a length in under half a millimetre", 0.0004, 30, {0, 8}, {200, 8}},
    };
    for (const Case& c : cases) {
        VerticalAsymmetricParabola p;
        p.LengthIn = c.lengthIn;
        p.LengthOut = c.lengthOut;
        p.SagSummitPoint = {1, 1};
        Place(p, c.previous, {100, 10}, c.next);
        EXPECT_FALSE(AllNull(p.StartPoint)) << c.name;
        EXPECT_FALSE(maths_IsNull(p.KFactor)) << c.name;
        EXPECT_TRUE(AllNull(p.SagSummitPoint)) << c.name;
        EXPECT_TRUE(Finite(p)) << c.name;
        EXPECT_EQ(road_test::Written(p).find("NAN"), std::string::npos) << c.name;
        ChainageElementArray keys = KeyList(0, 200);
        p.AddKeyStations(keys);
        for (int32_t i = 0; i < keys.Count(); ++i)
            EXPECT_EQ(keys.At(i)->Flags & (KEY_Sag | KEY_Summit), 0) << c.name;
    }
}

TEST(VerticalElements, WriteTheirXml) {
    // The point's own text is pinned with the alignment's.
    VerticalArc arc;
    arc.KeyinMethod = 1;
    arc.IntersectionPoint = {100, 10};
    arc.Radius = 500;
    arc.Length = 20;
    arc.StartPoint = {90, 9.5};
    arc.EndPoint = {110, 9.5};
    arc.CentrePoint = {100, -490};
    arc.GradeIn = std::atan(0.05);
    arc.GradeOut = std::atan(-0.05);
    arc.KFactor = 2;
    EXPECT_EQ(road_test::Written(arc),
              "<VerticalArc>\r\n"
              "    <KeyinMethod>StartAndEndPoints</KeyinMethod>\r\n"
              "    <IntersectionPoint>\r\n"
              "        <Station>100</Station>\r\n"
              "        <Elevation>10</Elevation>\r\n"
              "    </IntersectionPoint>\r\n"
              "    <Radius>500</Radius>\r\n"
              "    <Length>20</Length>\r\n"
              "    <StartPoint>\r\n"
              "        <Station>90</Station>\r\n"
              "        <Elevation>9.5</Elevation>\r\n"
              "    </StartPoint>\r\n"
              "    <EndPoint>\r\n"
              "        <Station>110</Station>\r\n"
              "        <Elevation>9.5</Elevation>\r\n"
              "    </EndPoint>\r\n"
              "    <CentrePoint>\r\n"
              "        <Station>100</Station>\r\n"
              "        <Elevation>-490</Elevation>\r\n"
              "    </CentrePoint>\r\n"
              "    <SagSummitPoint>\r\n"
              "        <Station/>\r\n"
              "        <Elevation/>\r\n"
              "    </SagSummitPoint>\r\n"
              "    <GradeIn>5</GradeIn>\r\n"
              "    <GradeOut>-5</GradeOut>\r\n"
              "    <KFactor>2</KFactor>\r\n"
              "</VerticalArc>\r\n");

    VerticalAsymmetricParabola asymmetric;
    asymmetric.LengthIn = 30;
    asymmetric.LengthOut = 10;
    const std::string text = road_test::Written(asymmetric);
    const char* order[] = {"<VerticalAsymmetricParabola>", "<KeyinMethod/>", "<IntersectionPoint>",
                           "<LengthIn>30</LengthIn>",       "<LengthOut>10</LengthOut>", "<StartPoint>",
                           "<EndPoint>",                    "<SagSummitPoint>",          "<GradeIn/>",
                           "<GradeOut/>",                   "<KFactor/>"};
    size_t at = 0;
    for (const char* tag : order) {
        const size_t found = text.find(tag, at);
        ASSERT_NE(found, std::string::npos) << tag;
        at = found;
    }
    EXPECT_EQ(text.find("CentrePoint"), std::string::npos);
    VerticalParabola parabola;
    parabola.Length = 40;
    EXPECT_NE(road_test::Written(parabola).find("<IntersectionPoint>\r\n        <Station/>\r\n        <Elevation/>\r\n"
                                              "    </IntersectionPoint>\r\n    <Length>40</Length>\r\n    <StartPoint>"),
              std::string::npos);
}

// Writes the element, reads the text into a fresh element of its class and compares.
template <class Element>
void ExpectRoundTrip(const TempFolder& tmp, const Element& written) {
    auto node = road_test::Scan(tmp, road_test::Written(written));
    ASSERT_NE(node, nullptr);
    Element read;
    read.ReadXml(node.get());
    EXPECT_EQ(road_test::Written(read), road_test::Written(written));
    for (double* v : {&read.IntersectionPoint.Station, &read.StartPoint.Elevation, &read.EndPoint.Station})
        EXPECT_TRUE(std::isfinite(*v));
}

TEST(VerticalElements, ReadWhatTheyWrite) {
    TempFolder tmp;
    VerticalParabola parabola;
    parabola.Length = 40;
    Place(parabola, {0, 8}, {100, 10}, {200, 8});
    ExpectRoundTrip(tmp, parabola);
    VerticalAsymmetricParabola asymmetric;
    asymmetric.LengthIn = 30;
    asymmetric.LengthOut = 10;
    Place(asymmetric, {0, 8}, {100, 10}, {200, 8});
    ExpectRoundTrip(tmp, asymmetric);
    VerticalArc arc;
    arc.Radius = 1000;
    Place(arc, {0, 60}, {500, 50}, {1000, 60});
    ExpectRoundTrip(tmp, arc);
    VerticalPoint point;
    point.KeyinMethod = 1;
    point.IntersectionPoint = {0, 8};
    point.GradeIn = std::atan(-0.035);
    ExpectRoundTrip(tmp, point);

    // Read grades are angles; a point's start and end take its VPI.
    auto node = road_test::Scan(tmp, road_test::Written(point));
    ASSERT_NE(node, nullptr);
    VerticalPoint readPoint;
    readPoint.ReadXml(node.get());
    EXPECT_NEAR(readPoint.GradeIn, std::atan(-0.035), 1e-15);
    EXPECT_TRUE(maths_IsNull(readPoint.GradeOut));
    EXPECT_TRUE(readPoint.StartPoint == readPoint.IntersectionPoint);
    EXPECT_TRUE(readPoint.EndPoint == readPoint.IntersectionPoint);
    EXPECT_EQ(readPoint.KeyinMethod, 1);

    // A negative radius reads as its size; an unknown method leaves the value; absent
    // numbers and numbers beyond a double read null.
    node = road_test::Scan(tmp,
                         "<VerticalArc><KeyinMethod>Sideways</KeyinMethod><Radius>-500</Radius>"
                         "<Length>1e999</Length><GradeIn>1e999</GradeIn><GradeOut>99999999</GradeOut>"
                         "<StartPoint><Station>-1e400</Station><Elevation>3</Elevation></StartPoint></VerticalArc>");
    ASSERT_NE(node, nullptr);
    VerticalArc readArc;
    readArc.KeyinMethod = 0;
    readArc.KFactor = 5;
    readArc.ReadXml(node.get());
    EXPECT_EQ(readArc.Radius, 500);
    EXPECT_EQ(readArc.KeyinMethod, 0);
    EXPECT_TRUE(maths_IsNull(readArc.Length));
    EXPECT_TRUE(maths_IsNull(readArc.GradeIn));
    EXPECT_NEAR(readArc.GradeOut, CONSTANT_PiOverTwo, 1.1e-6);
    EXPECT_TRUE(maths_IsNull(readArc.StartPoint.Station));
    EXPECT_EQ(readArc.StartPoint.Elevation, 3);
    EXPECT_TRUE(maths_IsNull(readArc.KFactor));
    EXPECT_TRUE(Finite(readArc));
}

TEST(VerticalElements, EqualityCopiesAndAssignment) {
    VerticalArc arc;
    arc.Radius = 1000;
    Place(arc, {0, 60}, {500, 50}, {1000, 60});
    VerticalArc copy(arc);
    EXPECT_TRUE(copy == arc);
    EXPECT_EQ(copy.IntersectionPoint.WorkingPair()[0], 0.0);  // a copied point starts its pair at 0
    copy.NextIntersectionPoint.SetNull();
    EXPECT_TRUE(copy == arc);
    copy.CentrePoint.Elevation += 1e-9;
    EXPECT_FALSE(copy == arc);
    copy = arc;
    EXPECT_TRUE(copy == arc);
    EXPECT_TRUE(copy.NextIntersectionPoint == arc.NextIntersectionPoint);

    VerticalAsymmetricParabola a;
    a.LengthIn = 30;
    a.LengthOut = 10;
    Place(a, {0, 8}, {100, 10}, {200, 8});
    std::unique_ptr<RoadElement> clone(a.Clone());
    EXPECT_TRUE(*clone == a);
    VerticalAsymmetricParabola b;
    b = a;
    EXPECT_TRUE(b == a);
    b.LengthIn = 31;
    EXPECT_FALSE(b == a);
    VerticalParabola p;
    EXPECT_FALSE(p == static_cast<const RoadElement&>(b));
    p.Length = 40;
    Place(p, {0, 8}, {100, 10}, {200, 8});
    VerticalParabola q;
    q = p;
    EXPECT_TRUE(q == p);
    q.SagSummitPoint.Station = 99;
    EXPECT_FALSE(q == p);

    // Assignment through the base copies the type code, KeyinMethod and all seven points.
    VerticalPoint point;
    VerticalBase& base = point;
    VerticalPoint source;
    source.KeyinMethod = 1;
    source.PreviousEndPoint = {1, 2};
    source.IntersectionPoint = {3, 4};
    source.GradeIn = 0.5;
    base = static_cast<const VerticalBase&>(source);
    EXPECT_EQ(point.KeyinMethod, 1);
    EXPECT_TRUE(point.PreviousEndPoint == source.PreviousEndPoint);
    EXPECT_TRUE(point.IntersectionPoint == source.IntersectionPoint);
    EXPECT_TRUE(maths_IsNull(point.GradeIn));
}

TEST(VerticalArc, AStartOnThePreviousEndHasNoGradeAndComputesNothing) {
    RecordingEnvironment env;
    // The previous end coincides with the start: no grade in.
    const VerticalArc arc = KeyedArc(100, {100, 10}, {100, 10}, {140, 10});
    EXPECT_TRUE(maths_IsNull(arc.GradeIn));
    EXPECT_TRUE(AllNull(arc.CentrePoint));
    EXPECT_TRUE(env.Expressions().empty());  // nothing computed, nothing reported
    EXPECT_TRUE(Finite(arc));
}

}  // namespace
