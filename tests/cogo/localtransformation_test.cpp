// Local site transformations: the line transformation's three scale methods, the
// Helmert blocks both ways, the null transformation, and the definitions refused
// because they would divide by zero. Values are worked by hand or, for the general
// cases, computed beforehand in Python as complex similarities (north + i east for
// the Helmert, east + i north for the line) and pinned here.
#include "cogo/localtransformation.h"

#include <cmath>
#include <limits>
#include <memory>

#include <gtest/gtest.h>

#include "foundation/kernel/maths.h"

namespace {

constexpr double kNull = MATHS_Null;

using Cogo = coord_CogoGrid;
using Local = coord_LocalTransformedGrid;

Local ToLocal(LocalTransformation& t, const Cogo& c) {
    Local out(1.0, 2.0, 3.0);
    t.ToLocalTransformedGrid(c, &out);
    return out;
}

Cogo ToCogo(LocalTransformation& t, const Local& l) {
    Cogo out(1.0, 2.0, 3.0);
    t.ToCogoGrid(l, &out);
    return out;
}

TEST(LocalNullTransformation, EveryPointMapsToANullPointAndItsTypeIsTwo) {
    std::unique_ptr<LocalTransformation> t = std::make_unique<LocalNullTransformation>();
    EXPECT_EQ(LOCALTRANSFORMATION_Null, t->GetType());
    EXPECT_EQ(0, t->Defined);
    EXPECT_TRUE(t->Name.IsEmpty());
    for (const Cogo& c : {Cogo(10.0, 20.0, 30.0), Cogo()}) EXPECT_TRUE(ToLocal(*t, c).IsNull());
    for (const Local& l : {Local(10.0, 20.0, 30.0), Local()}) EXPECT_TRUE(ToCogo(*t, l).IsNull());
    t->Name = "site";
    t->Defined = 1;
    t->Clear();
    EXPECT_EQ(0, t->Defined);
    EXPECT_TRUE(t->Name.IsEmpty());
}

TEST(LocalLineTransformation, WorkedExamplesForEachScaleMethod) {
    struct Case {
        Local target2;  // target 1 is (1000, 2000) or (0, 0) as given
        Local target1;
        Cogo point;
        int32_t method;
        double north, east;
    };
    const Case cases[] = {
        // The same length in both grids: every method maps alike.
        {Local(1000, 2100, 0), Local(1000, 2000, 0), Cogo(0, 50, 7), 0, 1000, 2050},
        {Local(1000, 2100, 0), Local(1000, 2000, 0), Cogo(0, 50, 7), 1, 1000, 2050},
        {Local(1000, 2100, 0), Local(1000, 2000, 0), Cogo(0, 50, 7), 2, 1000, 2050},
        {Local(1000, 2100, 0), Local(1000, 2000, 0), Cogo(10, 0, 7), 0, 1010, 2000},
        {Local(1000, 2100, 0), Local(1000, 2000, 0), Cogo(10, 0, 7), 1, 1010, 2000},
        {Local(1000, 2100, 0), Local(1000, 2000, 0), Cogo(10, 0, 7), 2, 1010, 2000},
        // Twice the length: free scale, fixed to 1, along the line only.
        {Local(0, 200, 0), Local(0, 0, 0), Cogo(10, 50, 7), 0, 20, 100},
        {Local(0, 200, 0), Local(0, 0, 0), Cogo(10, 50, 7), 1, 10, 50},
        {Local(0, 200, 0), Local(0, 0, 0), Cogo(10, 50, 7), 2, 20, 50},
        // Any other method acts as 0.
        {Local(0, 200, 0), Local(0, 0, 0), Cogo(10, 50, 7), 9, 20, 100},
        {Local(0, 200, 0), Local(0, 0, 0), Cogo(10, 50, 7), -1, 20, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "method " << c.method << " point " << c.point.North);
        LocalLineTransformation t;
        ASSERT_TRUE(t.Set("line", Cogo(0, 0, 0), Cogo(0, 100, 0), c.target1, c.target2, c.method));
        EXPECT_EQ(1, t.Defined);
        EXPECT_EQ(LOCALTRANSFORMATION_Line, t.GetType());
        const Local l = ToLocal(t, c.point);
        EXPECT_DOUBLE_EQ(c.north, l.North);
        EXPECT_DOUBLE_EQ(c.east, l.East);
        EXPECT_EQ(7.0, l.Elev) << "the elevation passes unchanged";
    }
}

TEST(LocalLineTransformation, WorkedExamplesTowardTheCogoGrid) {
    // Source (0, 0) -> (0, 100), target (0, 0) -> (0, 200): toward the cogo grid
    // a = 0.5, b = 0, so a / k = 1. Local (20, 50).
    struct Case { int32_t method; double north, east; };
    const Case cases[] = {{0, 10, 25}, {1, 20, 50}, {2, 10, 50}, {5, 10, 25}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        LocalLineTransformation t;
        ASSERT_TRUE(t.Set("line", Cogo(0, 0, 0), Cogo(0, 100, 0), Local(0, 0, 0), Local(0, 200, 0), c.method));
        const Cogo cogo = ToCogo(t, Local(20, 50, -4));
        EXPECT_DOUBLE_EQ(c.north, cogo.North);
        EXPECT_DOUBLE_EQ(c.east, cogo.East);
        EXPECT_EQ(-4.0, cogo.Elev);
    }
}

TEST(LocalLineTransformation, RotatedAndScaledLineThereAndBack) {
    // Source (100, 200) -> (350, 620), target (5000, 1000) -> (5100.5, 1490.2), north
    // and east. Local values: method 0 T1 + m (C - S1) with m = (T2 - T1) / (S2 - S1),
    // method 1 with m / |m|; tolerance 1e-9 m.
    struct Case { double north, east, north0, east0, north1, east1; };
    const Case cases[] = {
        {350.0, 620.0, 5100.5000000000, 1490.2000000000, 5098.1657958174, 1478.8146578077},
        {0.0, 0.0, 4970.5613227292, 772.9769778150, 4971.2450628647, 778.2497946104},
        {-250.5, 1234.25, 4313.2678966095, 1882.2180336961, 4329.2178761923, 1861.7277150470},
        {1000.0, -300.0, 6038.4181665969, 819.1774801172, 6014.2999573652, 823.3772480995},
    };
    for (int32_t method : {0, 1}) {
        LocalLineTransformation t;
        ASSERT_TRUE(t.Set("L", Cogo(100, 200, 1), Cogo(350, 620, 2), Local(5000, 1000, 3), Local(5100.5, 1490.2, 4),
                          method));
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "method " << method << " at " << c.north << ", " << c.east);
            const Cogo cogo(c.north, c.east, 55.5);
            const Local l = ToLocal(t, cogo);
            EXPECT_NEAR(method == 0 ? c.north0 : c.north1, l.North, 1e-9);
            EXPECT_NEAR(method == 0 ? c.east0 : c.east1, l.East, 1e-9);
            // Asking for the other direction recomputes the coefficients.
            const Cogo back = ToCogo(t, l);
            EXPECT_NEAR(c.north, back.North, 1e-9);
            EXPECT_NEAR(c.east, back.East, 1e-9);
            EXPECT_EQ(55.5, back.Elev);
        }
    }
}

TEST(LocalLineTransformation, DefinitionsWithoutALineAreRefused) {
    const Cogo s1(0, 0, 0), s2(0, 100, 0);
    const Local t1(1000, 2000, 0), t2(1000, 2100, 0);
    struct Case { const char* what; Cogo s1, s2; Local t1, t2; bool defined; };
    const Case cases[] = {
        {"null source 1", Cogo(), s2, t1, t2, false},
        {"null source 2", s1, Cogo(kNull, kNull, 5), t1, t2, false},
        {"null target 1", s1, s2, Local(), t2, false},
        {"null target 2", s1, s2, t1, Local(), false},
        {"coincident sources", s1, Cogo(0, 0, 9), t1, t2, false},
        {"sources 0.4 mm apart", s1, Cogo(0.0004, 0, 0), t1, t2, false},
        {"coincident targets", s1, s2, t1, Local(1000, 2000, 9), false},
        {"targets 0.3 mm apart", s1, s2, t1, Local(1000.0003, 2000, 0), false},
        {"sources 1 mm apart", s1, Cogo(0.001, 0, 0), t1, t2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LocalLineTransformation t;
        // An earlier definition does not survive a refused one.
        ASSERT_TRUE(t.Set("old", s1, s2, t1, t2, 0));
        EXPECT_EQ(c.defined, t.Set("new", c.s1, c.s2, c.t1, c.t2, 0));
        EXPECT_EQ(c.defined ? 1 : 0, t.Defined);
        EXPECT_EQ(Str("new"), t.Name);
        if (!c.defined) {
            EXPECT_TRUE(ToLocal(t, Cogo(5, 5, 5)).IsNull());
            EXPECT_TRUE(ToCogo(t, Local(5, 5, 5)).IsNull());
        } else {
            const Local l = ToLocal(t, Cogo(5, 5, 5));
            EXPECT_TRUE(std::isfinite(l.North) && std::isfinite(l.East));
        }
    }
}

TEST(LocalLineTransformation, NullPointsAndClear) {
    LocalLineTransformation t;
    ASSERT_TRUE(t.Set("L", Cogo(0, 0, 0), Cogo(0, 100, 0), Local(0, 0, 0), Local(0, 200, 0), 0));
    EXPECT_TRUE(ToLocal(t, Cogo(kNull, kNull, 4)).IsNull());
    EXPECT_TRUE(ToCogo(t, Local(kNull, kNull, 4)).IsNull());
    t.Clear();
    EXPECT_EQ(0, t.Defined);
    EXPECT_TRUE(t.Name.IsEmpty());

    // A copy carries the definition and its derived values.
    LocalLineTransformation u;
    ASSERT_TRUE(u.Set("L", Cogo(0, 0, 0), Cogo(0, 100, 0), Local(0, 0, 0), Local(0, 200, 0), 0));
    ToLocal(u, Cogo(1, 1, 1));
    const LocalLineTransformation copy(u);
    LocalLineTransformation copied = copy;
    const Local l = ToLocal(copied, Cogo(10, 50, 0));
    EXPECT_EQ(20.0, l.North);
    EXPECT_EQ(100.0, l.East);
    EXPECT_EQ(10000.0, copy.SourceLengthSquared);
    EXPECT_EQ(40000.0, copy.TargetLengthSquared);
}

dbrecord_HelmertParameters Horizontal(double on, double oe, double scale, double rotation, double tn, double te) {
    dbrecord_HelmertParameters h;
    h.Apply = true;
    h.OriginNorth = on;
    h.OriginEast = oe;
    h.Scale = scale;
    h.Rotation = rotation;
    h.TranslationNorth = tn;
    h.TranslationEast = te;
    return h;
}

TEST(LocalHelmertTransformation, TranslationAndConstantElevation) {
    LocalHelmertTransformation t;
    EXPECT_EQ(LOCALTRANSFORMATION_Helmert, t.GetType());
    EXPECT_EQ(0, t.Defined);
    const dbrecord_HelmertParameters h = Horizontal(0, 0, 1.0, 0.0, 10.0, 20.0);
    dbrecord_HelmertSolution v;
    v.Apply = true;
    v.ElevationAdjustment = 1.5;
    ASSERT_TRUE(t.Set("H", &h, &v));
    EXPECT_EQ(1, t.Defined);

    const Cogo c = ToCogo(t, Local(0, 0, 100));
    EXPECT_EQ(10.0, c.North);
    EXPECT_EQ(20.0, c.East);
    EXPECT_EQ(101.5, c.Elev);
    const Local l = ToLocal(t, c);
    EXPECT_EQ(0.0, l.North);
    EXPECT_EQ(0.0, l.East);
    EXPECT_EQ(100.0, l.Elev);

    // A null elevation stays null; a horizontally null point stays null but keeps its
    // adjusted elevation under a constant adjustment.
    EXPECT_TRUE(maths_IsNull(ToCogo(t, Local(0, 0, kNull)).Elev));
    const Cogo n = ToCogo(t, Local(kNull, kNull, 100));
    EXPECT_TRUE(n.IsHorizontalNull());
    EXPECT_EQ(101.5, n.Elev);

    // Null blocks reset to the defaults: nothing applied.
    ASSERT_TRUE(t.Set("H", nullptr, nullptr));
    EXPECT_FALSE(t.HorizontalParameters.Apply);
    EXPECT_EQ(1.0, t.HorizontalParameters.Scale);
    EXPECT_TRUE(t.VerticalParameters.ConstantAdjustmentOnly);
    const Cogo same = ToCogo(t, Local(3, 4, 5));
    EXPECT_EQ(3.0, same.North);
    EXPECT_EQ(4.0, same.East);
    EXPECT_EQ(5.0, same.Elev);
}

TEST(LocalHelmertTransformation, RotationScaleAndInclinedPlaneThereAndBack) {
    // Origin (1000, 2000), translation (10, -20), rotation 30 degrees, scale 1.0001;
    // the vertical plane through (1100, 2100) with slopes 1e-4 north, -2e-4 east and
    // constant 0.75, taken at the cogo position. Python: O + T + S e^{iR} (P - O) in
    // north + i east; tolerance 1e-9 m.
    const dbrecord_HelmertParameters h = Horizontal(1000.0, 2000.0, 1.0001, 30.0 * CONSTANT_Pi / 180.0, 10.0, -20.0);
    dbrecord_HelmertSolution v;
    v.Apply = true;
    v.ConstantAdjustmentOnly = false;
    v.OriginNorth = 1100.0;
    v.OriginEast = 2100.0;
    v.NorthAdjustment = 1e-4;
    v.EastAdjustment = -2e-4;
    v.ElevationAdjustment = 0.75;
    LocalHelmertTransformation t;
    ASSERT_TRUE(t.Set("H", &h, &v));

    struct Case { double n, e, z, cn, ce, cz; };
    const Case cases[] = {
        {0.0, 0.0, 50.0, 1143.9879936752, -252.2740126496, 51.2248536019},
        {1234.567, 2345.678, 101.25, 1040.3050110876, 2396.6910944723, 101.9346922822},
        {-500.0, 4000.0, 0.0, -1289.2680094872, 2962.1490126496, 0.3386433965},
        {1000.0, 2000.0, 12.0, 1010.0000000000, 1980.0000000000, 12.7650000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.n << ", " << c.e);
        const Cogo cogo = ToCogo(t, Local(c.n, c.e, c.z));
        EXPECT_NEAR(c.cn, cogo.North, 1e-9);
        EXPECT_NEAR(c.ce, cogo.East, 1e-9);
        EXPECT_NEAR(c.cz, cogo.Elev, 1e-9);
        const Local back = ToLocal(t, cogo);
        EXPECT_NEAR(c.n, back.North, 1e-9);
        EXPECT_NEAR(c.e, back.East, 1e-9);
        EXPECT_NEAR(c.z, back.Elev, 1e-9);
    }
    // The inclined plane needs a position.
    EXPECT_TRUE(maths_IsNull(ToCogo(t, Local(kNull, kNull, 10.0)).Elev));
    EXPECT_TRUE(maths_IsNull(ToLocal(t, Cogo(kNull, kNull, 10.0)).Elev));

    // A copy converts alike.
    LocalHelmertTransformation copy(t);
    EXPECT_NEAR(cases[1].cn, ToCogo(copy, Local(cases[1].n, cases[1].e, cases[1].z)).North, 1e-9);
}

TEST(LocalHelmertTransformation, UnusableScalesAreRefused) {
    const double scales[] = {0.0, -0.0, kNull, std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
    for (double scale : scales) {
        SCOPED_TRACE(scale);
        LocalHelmertTransformation t;
        const dbrecord_HelmertParameters good = Horizontal(0, 0, 1.0, 0.0, 1.0, 1.0);
        ASSERT_TRUE(t.Set("H", &good, nullptr));
        const dbrecord_HelmertParameters h = Horizontal(0, 0, scale, 0.0, 1.0, 1.0);
        EXPECT_FALSE(t.Set("H", &h, nullptr));
        EXPECT_EQ(0, t.Defined);
        EXPECT_TRUE(ToCogo(t, Local(5, 5, 5)).IsNull());
        EXPECT_TRUE(ToLocal(t, Cogo(5, 5, 5)).IsNull());
    }
    // A scale that is not applied does not matter: the vertical block still works.
    dbrecord_HelmertParameters unused = Horizontal(0, 0, 0.0, 0.0, 1.0, 1.0);
    unused.Apply = false;
    dbrecord_HelmertSolution v;
    v.Apply = true;
    v.ElevationAdjustment = -2.0;
    LocalHelmertTransformation t;
    ASSERT_TRUE(t.Set("H", &unused, &v));
    const Cogo c = ToCogo(t, Local(5, 6, 7));
    EXPECT_EQ(5.0, c.North);
    EXPECT_EQ(6.0, c.East);
    EXPECT_EQ(5.0, c.Elev);
}

}  // namespace
