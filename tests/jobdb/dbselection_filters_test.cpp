#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "foundation/kernel/maths.h"
#include "jobdb/dbJobIndex.h"
#include "jobdb/selection_fixture.h"

namespace {

using Reports = std::vector<std::string>;
using Subs = std::vector<int>;

// The registry number no test index takes.
const dbObjectRef kGone(9, 0);

// ---------------------------------------------------------------- filters

class FilterTest : public SelectionTest {
protected:
    dbObjectRef PointWith(const char* name, uint32_t kind, uint32_t category, uint32_t status, uint16_t flags = 0) {
        const dbObjectRef ref = Point(name, status, category);
        dbObject* object = index.GetObject(ref.GetSubscript());
        dbFilterTriple triple;
        triple.Set(kind, category, status);
        object->SetFilter(triple);
        object->SetFlags(flags);
        return ref;
    }
    dbObjectRef CodedPoint(const char* code) {
        const dbObjectRef ref = Point("P");
        static_cast<CSVPointObject*>(index.GetObject(ref.GetSubscript()))->SetCode(code);
        return ref;
    }
};

TEST_F(FilterTest, ItemAndObjectFlags) {
    dbSelection selection;
    for (uint8_t flag : {0x80, 0x01, 0x81, 0x00}) selection.AddItem(dbSelectionItem(Point("P"), flag));
    EXPECT_EQ(&selection.FilterByItemFlag(0x80, 0), &selection);
    EXPECT_EQ(Subscripts(selection), (Subs{1, 3}));

    dbSelection objects = Of({PointWith("A", 1, 1, 1, 0x20), PointWith("B", 1, 1, 1), PointWith("C", 1, 1, 1, 0x22),
                              PointWith("D", 1, 1, 1, 0x02), kGone});
    EXPECT_EQ(objects.FilterByObjectFlags(0x20, 0), 5);
    EXPECT_EQ(Subscripts(objects), (Subs{5, 7})) << "not removed; the gone item is dropped";
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(FilterTest, Triple) {
    dbSelection selection = Of({PointWith("A", 1, 1, 1), PointWith("B", 2, 1, 1), PointWith("C", 1, 2, 1),
                                PointWith("D", 1, 1, 2), PointWith("E", 3, 3, 3), kGone});
    selection.SortByName();
    dbFilterTriple ones;
    EXPECT_EQ(selection.FilterByTriple(ones), 6);
    EXPECT_EQ(Subscripts(selection), (Subs{0, 4}));
    EXPECT_TRUE(selection.IsSortedByName()) << "a kept subsequence stays in name order";
    dbFilterTriple wide;
    wide.Set(0xFF, 0xFF, 0x2);
    selection.FilterByTriple(wide);
    EXPECT_EQ(selection.GetLastFilter(), wide);
    EXPECT_EQ(Subscripts(selection), (Subs{4}));
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(FilterTest, CodeFoldsAsciiLettersOnly) {
    const std::vector<dbObjectRef> refs = {CodedPoint("fence"), CodedPoint("FENCE"), CodedPoint("Fence2"),
                                           CodedPoint(""), CodedPoint("f\xc3\xa9nce"), kGone};
    const struct {
        const char* code;
        Subs kept;
    } cases[] = {
        {"fence", {0, 1}},
        {"F\xc3\x89NCE", {}},
        {"F\xc3\xa9NCE", {4}},
        {"", {3}},
    };
    for (const auto& c : cases) {
        dbSelection selection = Of(refs);
        selection.FilterByCode(c.code);
        EXPECT_EQ(Subscripts(selection), c.kept) << c.code;
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(FilterTest, NameSpans) {
    const struct {
        std::vector<const char*> names;
        const char* first;
        const char* last;
        Subs kept;  // positions in names
    } cases[] = {
        {{"A", "B", "C", "D"}, "B", "C", {1, 2}},
        {{"A", "B", "x", "C", "y", "B", "C", "z"}, "B", "C", {1, 2, 3, 5, 6}},
        // An item that opens and closes a span stays once.
        {{"A", "B", "C", "B"}, "B", "B", {1, 3}},
        {{"A", "B", "x"}, "B", "C", {1, 2}},
        {{"C", "A"}, "B", "C", {}},
    };
    for (const auto& c : cases) {
        index.Clear();
        index.Register();
        dbSelection selection;
        for (const char* name : c.names) selection.AddItem(dbSelectionItem(Group(name)));
        EXPECT_EQ(&selection.FilterByNameSpan(c.first, c.last), &selection);
        EXPECT_EQ(Subscripts(selection), c.kept) << c.names.size() << " names, " << c.first << " to " << c.last;
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(FilterTest, NaturalNameRangeOfPointsIsSortedNaturally) {
    dbSelection selection =
        Of({Point("pt1"), Point("PT3"), Point("pt10"), Point("pt11"), Point("pt2"), Group("pt5"), kGone});
    selection.SortByName();
    selection.FilterNameRange("pt2", "pt10");
    EXPECT_EQ(Subscripts(selection), (Subs{4, 1, 2}));
    EXPECT_FALSE(selection.IsSortedByName());
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(FilterTest, CoordinatesDeletedAndRemoved) {
    const dbObjectRef horizontal = PointAt("H", 1, 2);
    const dbObjectRef vertical = Point("V");
    static_cast<ObservationObject*>(index.GetObject(vertical.GetSubscript()))
        ->SetCoordinates(coord_CorrectedGrid(MATHS_Null, MATHS_Null, 5), true);
    const dbObjectRef none = Point("N");
    const dbObjectRef group = Group("G");
    const std::vector<dbObjectRef> refs = {horizontal, vertical, none, group, kGone};

    dbSelection selection = Of(refs);
    EXPECT_EQ(selection.FilterHasHorizontal(), 5);
    EXPECT_EQ(Subscripts(selection), (Subs{0}));
    selection = Of(refs);
    EXPECT_EQ(&selection.FilterHasCoordinates(), &selection);
    EXPECT_EQ(Subscripts(selection), (Subs{0, 1}));

    // Valid references only: an unknown subscript and a gone index go.
    selection = Of({horizontal, dbObjectRef(1, 99), kGone, vertical});
    EXPECT_EQ(selection.DropInvalid(), 2);
    EXPECT_EQ(Subscripts(selection), (Subs{0, 1}));

    const dbObjectRef deleted = PointWith("D", 1, 0x2, 1);
    const dbObjectRef removed = PointWith("R", 1, 1, 1, DBOBJECT_Removed);
    selection = Of({deleted, horizontal, removed, kGone});
    EXPECT_EQ(selection.DropDeleted(), 2);
    EXPECT_EQ(Subscripts(selection), (Subs{0, 5}));
    selection = Of({deleted, horizontal, removed, kGone});
    EXPECT_EQ(selection.DropRemoved(), 4);
    EXPECT_EQ(Subscripts(selection), (Subs{4, 0}));
    EXPECT_TRUE(env.assertions.empty());
}

// A point of a file that answers like a job's mean-turned-angle point.
class MeanTurnedAnglePoint : public CSVPointObject {
public:
    explicit MeanTurnedAnglePoint(int32_t method) : _Method(method) { SetName("M"); }
    db_PointClassification GetClassification() const override {
        return db_PointClassification(dbentity_Classification(db_PointClassification::MTA));
    }
    int32_t GetMethod() const override { return _Method; }

private:
    int32_t _Method;
};

TEST_F(FilterTest, HiddenMeanTurnedAngles) {
    dbSelection selection = Of({index.AddObject(new MeanTurnedAnglePoint(DBENTITY_MeanTurnedAngleHidden)),
                                index.AddObject(new MeanTurnedAnglePoint(DBENTITY_MeanTurnedAngle)), Point("P"),
                                Group("G"), kGone});
    EXPECT_EQ(selection.DropHiddenMeanTurnedAngles(), 5);
    EXPECT_EQ(Subscripts(selection), (Subs{1, 2, 3}));
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(FilterTest, MergeAddsWhatIsNotThereYet) {
    const dbObjectRef a = Group("A"), b = Group("B"), c = Group("C"), d = Group("D");
    const dbSelection other = Of({b, c, d, c});
    const struct {
        int itemNum;
        Subs merged;
    } cases[] = {
        {1, {0, 2, 3, 1}},   // at 1, 2, ...
        {0, {2, 3, 0, 1}},
        {-1, {0, 1, 2, 3}},  // outside the list: appended
        {2, {0, 1, 2, 3}},
    };
    for (const auto& c : cases) {
        dbSelection selection = Of({a, b});
        EXPECT_EQ(selection.Merge(c.itemNum, other), 4);
        EXPECT_EQ(Subscripts(selection), c.merged) << "at " << c.itemNum;
    }
    // A sorted selection takes the new items at their name positions, then is unsorted.
    dbSelection sorted = Of({d, a});
    sorted.SortByName();
    sorted.Merge(-1, other);
    EXPECT_EQ(Subscripts(sorted), (Subs{0, 1, 2, 3}));
    EXPECT_FALSE(sorted.IsSortedByName());
    EXPECT_EQ(sorted.Merge(0, sorted), 4);
    EXPECT_EQ(sorted.GetItemCount(), 4);
    EXPECT_TRUE(env.assertions.empty());
}

// ---------------------------------------------------------------- positions

// A transform as the tests' stand-in for the coordinate geometry sees it.
struct FakeTransform {
    int code = 0;
    bool south = false;
};

const FakeTransform& Fake(const transfrm_Class* transform) { return *reinterpret_cast<const FakeTransform*>(transform); }

// Turned by half a turn for codes 1 and 3 and again for south azimuths.
double OrientAzimuth(int code, bool south, double azimuth) {
    if (code == 1 || code == 3) azimuth += CONSTANT_Pi;
    if (south) azimuth += CONSTANT_Pi;
    return coord_NormalisedAzimuth(&azimuth);
}

class PositionTest : public SelectionTest {
protected:
    void SetUp() override {
        SelectionTest::SetUp();
        dbJobIndex_CoordinateGeometry geometry;
        geometry.GridOrientation = [](const transfrm_Class* t) { return Fake(t).code; };
        geometry.SouthAzimuths = [](const transfrm_Class* t) { return Fake(t).south; };
        geometry.OrientAzimuth = &OrientAzimuth;
        dbJobIndex_SetCoordinateGeometry(&geometry);
        owner.Transform = reinterpret_cast<transfrm_Class*>(&transform);
        index.SetOwner(&owner);
    }
    void TearDown() override {
        owner.Transform = nullptr;
        dbJobIndex_SetCoordinateGeometry(nullptr);
        SelectionTest::TearDown();
    }

    static LineObject* Line(double se, double sn, double ee, double en) {
        LineObject* line = new LineObject;
        line->_Start = coord_CorrectedGrid(sn, se, MATHS_Null);
        line->_End = coord_CorrectedGrid(en, ee, MATHS_Null);
        Loaded(line);
        return line;
    }
    static coord_CorrectedGrid At(double east, double north) { return coord_CorrectedGrid(north, east, MATHS_Null); }
    bool Hit(dbObject* object, const coord_CorrectedGrid& p, double t) {
        int hits = 0;
        return dbSelection::HitTest(object, p, &owner, t, hits);
    }

    FakeTransform transform;
    dbJobIndex owner;
};

TEST_F(PositionTest, PointHitAtTheToleranceDistance) {
    CSVPointObject point;
    point.SetCoordinates(coord_CorrectedGrid(3, 4, MATHS_Null), false);
    int hits = 0;
    EXPECT_TRUE(dbSelection::HitTest(&point, At(0, 0), &owner, 5, hits)) << "3-4-5: exactly at t";
    EXPECT_EQ(hits, 1);
    EXPECT_FALSE(dbSelection::HitTest(&point, At(0, 0), &owner, 4.999999999, hits));
    EXPECT_EQ(hits, 1);
    CSVPointObject nowhere;
    EXPECT_FALSE(dbSelection::HitTest(&nowhere, At(0, 0), &owner, 1e9, hits));
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(PositionTest, LineHitsAtTheFootOfThePerpendicular) {
    // Distances from P to the foot and the near-start answers from Python's math. A
    // tolerance 1e-9 above the distance hits, 1e-9 below misses.
    const struct {
        double se, sn, ee, en, pe, pn;
        double distance;
        bool nearStart;
    } cases[] = {
        {0, 0, 10, 0, 5, 0.5, 0.5, false},  // foot (5, 0): 5 / 10 is not below one half
        {2, 0, 2, 10, 2.3, 3, 0.2999999999999998, true},
        {2, 0, 2, 10, 2.3, 7, 0.2999999999999998, false},
        {0, 0, 10, 5, 4.2, 2.5, 0.3577708763999667, true},  // foot (4.36, 2.18)
        {0, 0, 10, 5, 8, 3, 0.8944271909999166, false},     // foot (7.6, 3.8)
        {10, 5, 0, 0, 8, 3, 0.8944271909999166, true},
        {0, 0, 3, 8, 2, 4, 0.46816458878452216, false},     // foot (1.56164, 4.16438)
    };
    for (const auto& c : cases) {
        std::unique_ptr<LineObject> line(Line(c.se, c.sn, c.ee, c.en));
        line->_NearStart = !c.nearStart;
        EXPECT_TRUE(Hit(line.get(), At(c.pe, c.pn), c.distance + 1e-9)) << c.pe << ", " << c.pn;
        EXPECT_EQ(line->_NearStart, c.nearStart) << c.pe << ", " << c.pn;
        EXPECT_FALSE(Hit(line.get(), At(c.pe, c.pn), c.distance - 1e-9)) << c.pe << ", " << c.pn;
    }
    // Beyond the end, inside the window widened by t; then outside it.
    std::unique_ptr<LineObject> line(Line(0, 0, 10, 0));
    EXPECT_TRUE(Hit(line.get(), At(10.5, 0.2), 1));
    EXPECT_FALSE(line->_NearStart);
    EXPECT_FALSE(Hit(line.get(), At(11.5, 0.2), 1));
    // Held end flag: hit, the near-start flag stays.
    line->SetFlags(DBOBJECT_EndFlagHeld);
    line->_NearStart = 0;
    EXPECT_TRUE(Hit(line.get(), At(1, 0.2), 1));
    EXPECT_FALSE(line->_NearStart);
    line->_End = coord_CorrectedGrid();
    EXPECT_FALSE(Hit(line.get(), At(1, 0.2), 1));
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(PositionTest, ArcHitsUnderEveryGridOrientation) {
    // Centre (north 100, east 200), radius 10; P 10.3 from the centre at a chosen
    // azimuth, its coordinates from Python's math; tolerance 0.5.
    const struct {
        int code;
        bool south;
        double start, delta;
        bool reversed;
        double pn, pe;
        bool hit, nearStart;
    } cases[] = {
        // azimuth of P from the centre, the arc's oriented start and end
        {0, false, 0.5, 1.0, false, 107.87787452903024, 206.63544217854823, true, true},    // 0.7 on 0.5..1.5
        {0, false, 0.5, 1.0, false, 103.73228487110974, 209.60000258546242, true, false},   // 1.2
        {0, false, 0.5, 1.0, false, 99.69924492029672, 210.2956081113275, false, false},    // 1.6
        {0, false, 0.5, 1.0, false, 109.48692823822972, 204.0110089257791, false, false},   // 0.4
        {1, false, 0.5, 1.0, false, 91.8530325672815, 193.69786372329, true, true},         // 3.8 on 3.64..4.64
        {1, false, 0.5, 1.0, false, 97.82880326586297, 189.9314397880495, true, false},     // 4.5
        {1, false, 0.5, 1.0, false, 107.87787452903024, 206.63544217854823, false, false},  // 0.7
        {2, false, 0.5, 1.0, false, 107.87787452903024, 193.36455782145177, true, true},    // mirrored 0.7
        {2, false, 0.5, 1.0, false, 107.87787452903024, 206.63544217854823, false, false},  // mirrored 5.58
        {3, false, 0.5, 1.0, false, 91.8530325672815, 206.30213627671, true, true},         // mirrored 3.8
        {0, true, 0.5, 1.0, false, 91.8530325672815, 193.69786372329, true, true},          // 3.8 on 3.64..4.64
        {0, true, 0.5, 1.0, false, 107.87787452903024, 206.63544217854823, false, false},   // 0.7
        {1, true, 0.5, 1.0, false, 107.87787452903024, 206.63544217854823, true, true},     // 0.7 on 0.5..1.5
        {2, true, 0.5, 1.0, false, 91.8530325672815, 206.30213627671, true, true},          // mirrored 3.8
        {3, true, 0.5, 1.0, false, 107.87787452903024, 193.36455782145177, true, true},     // mirrored 0.7
        // Across azimuth 0: 6.0 to 0.7168.
        {0, false, 6.0, 1.0, false, 110.26438359933914, 199.1441791509798, true, true},     // 6.2
        {0, false, 6.0, 1.0, false, 109.03910038747084, 204.93808304762328, true, false},   // 0.5
        {0, false, 6.0, 1.0, false, 110.24854290236367, 201.02828419146232, true, true},    // 0.1
        {0, false, 6.0, 1.0, false, 89.8030772850154, 201.45353608301664, false, false},    // 3.0
        // Reversed arcs answer the other end.
        {0, false, 0.5, 1.0, true, 107.87787452903024, 206.63544217854823, true, false},
        {0, false, 0.5, 1.0, true, 103.73228487110974, 209.60000258546242, true, true},
    };
    for (const auto& c : cases) {
        transform.code = c.code;
        transform.south = c.south;
        ArcObject arc;
        arc._Centre = coord_CorrectedGrid(100, 200, MATHS_Null);
        arc._Radius = 10;
        arc._StartAzimuth = c.start;
        arc._DeltaAngle = c.delta;
        arc._Reversed = c.reversed;
        arc._NearStart = !c.nearStart;
        EXPECT_EQ(Hit(&arc, At(c.pe, c.pn), 0.5), c.hit) << c.code << c.south << " at " << c.pn << ", " << c.pe;
        if (c.hit) {
            EXPECT_EQ(arc._NearStart, c.nearStart) << c.code << c.south << " at " << c.pn << ", " << c.pe;
        }
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(PositionTest, ArcWithoutSpanOrOrientationIsNotHit) {
    ArcObject arc;
    arc._Centre = coord_CorrectedGrid(100, 200, MATHS_Null);
    arc._Radius = 10;
    arc._StartAzimuth = 0.5;
    arc._DeltaAngle = 1.0;
    const coord_CorrectedGrid p = At(206.63544217854823, 107.87787452903024);  // 10.3 out at 0.7
    EXPECT_TRUE(Hit(&arc, p, 0.3 + 1e-9));
    EXPECT_FALSE(Hit(&arc, p, 0.3 - 1e-9));
    arc.SetFlags(DBOBJECT_EndFlagHeld);
    arc._NearStart = 0;
    EXPECT_TRUE(Hit(&arc, p, 0.5));
    EXPECT_FALSE(arc._NearStart) << "held";

    // A null end of the span would put every azimuth past the start on it.
    arc._DeltaAngle = MATHS_Null;
    EXPECT_FALSE(Hit(&arc, p, 0.5));
    arc._DeltaAngle = 1.0;
    arc._StartAzimuth = MATHS_Null;
    EXPECT_FALSE(Hit(&arc, p, 0.5));
    arc._StartAzimuth = 0.5;
    arc._Radius = MATHS_Null;
    EXPECT_FALSE(Hit(&arc, p, 0.5));
    arc._Radius = 10;
    EXPECT_FALSE(Hit(&arc, At(200, 100), 20)) << "at the centre: no azimuth";
    EXPECT_TRUE(env.assertions.empty());

    transform.code = 4;
    EXPECT_FALSE(Hit(&arc, p, 0.5));
    EXPECT_EQ(env.Expressions(), Reports{"0"});
}

TEST_F(PositionTest, WithoutRegisteredGeometryAzimuthsAreOnlyNormalised) {
    EXPECT_EQ(dbJobIndex_GridOrientation(&owner), 0);
    transform = {3, true};
    EXPECT_EQ(dbJobIndex_GridOrientation(&owner), 3);
    EXPECT_TRUE(dbJobIndex_SouthAzimuths(&owner));
    EXPECT_EQ(dbJobIndex_GridOrientation(nullptr), 0);
    EXPECT_FALSE(dbJobIndex_SouthAzimuths(nullptr));
    dbJobIndex bare;
    EXPECT_EQ(dbJobIndex_GridOrientation(&bare), 0) << "no transform";
    EXPECT_FALSE(dbJobIndex_SouthAzimuths(&bare));

    dbJobIndex_SetCoordinateGeometry(nullptr);
    EXPECT_EQ(dbJobIndex_GridOrientation(&owner), 0);
    EXPECT_FALSE(dbJobIndex_SouthAzimuths(&owner));
    EXPECT_DOUBLE_EQ(dbJobIndex_OrientAzimuth(3, true, -0.5), CONSTANT_TwoPi - 0.5);
    // Start 6 - 2 pi, normalised to 6.0: across azimuth 0, P at 6.2.
    ArcObject arc;
    arc._Centre = coord_CorrectedGrid(100, 200, MATHS_Null);
    arc._Radius = 10;
    arc._StartAzimuth = 6.0 - CONSTANT_TwoPi;
    arc._DeltaAngle = 1.0;
    arc._NearStart = 0;
    EXPECT_TRUE(Hit(&arc, At(199.1441791509798, 110.26438359933914), 0.5));
    EXPECT_TRUE(arc._NearStart);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(PositionTest, GroupSetsNearStartOnEveryDescendant) {
    // Four children 100 apart along east: lines of length 10, the last a group of one line.
    auto makeGroup = [] {
        GroupObject* group = new GroupObject("G", "", "", "");
        for (int k = 0; k < 3; ++k) group->AddChild(Line(100 * k, 0, 100 * k + 10, 0));
        GroupObject* nested = new GroupObject("N", "", "", "");
        nested->AddChild(Line(300, 0, 310, 0));
        group->AddChild(nested);
        return std::unique_ptr<GroupObject>(group);
    };
    auto flags = [](GroupObject* group) {
        GroupObject* nested = static_cast<GroupObject*>(group->GetChild(3));
        std::vector<int> values = {group->_NearStart, nested->_NearStart,
                                   static_cast<LineObject*>(nested->GetChild(0))->_NearStart};
        for (int k = 0; k < 3; ++k) values.push_back(static_cast<LineObject*>(group->GetChild(k))->_NearStart);
        return values;
    };
    std::unique_ptr<GroupObject> group = makeGroup();
    dbSelection::SetNearStart(group.get(), false);
    EXPECT_EQ(flags(group.get()), (std::vector<int>{0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(Hit(group.get(), At(108, 0.1), 0.5)) << "in the second child";
    EXPECT_EQ(flags(group.get()), (std::vector<int>{1, 1, 1, 1, 1, 1}));
    EXPECT_TRUE(Hit(group.get(), At(202, 0.1), 0.5)) << "in the third child";
    EXPECT_EQ(flags(group.get()), (std::vector<int>{0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(Hit(group.get(), At(150, 0.1), 0.5));

    // A held group leaves its children as they answered.
    group->SetFlags(DBOBJECT_EndFlagHeld);
    EXPECT_TRUE(Hit(group.get(), At(102, 0.1), 0.5));
    EXPECT_EQ(flags(group.get()), (std::vector<int>{0, 0, 0, 0, 1, 0}));

    // Points inside groups count.
    GroupObject points("P", "", "", "");
    CSVPointObject* point = new CSVPointObject;
    point->SetCoordinates(coord_CorrectedGrid(0, 0, MATHS_Null), false);
    points.AddChild(point);
    int hits = 0;
    EXPECT_TRUE(dbSelection::HitTest(&points, At(0, 0), &owner, 1, hits));
    EXPECT_EQ(hits, 1);
    EXPECT_EQ(points._NearStart, 0) << "one child: nothing to choose";
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(PositionTest, SelectNearKeepsOnlyThePointWhenOnePointIsHit) {
    const dbObjectRef point = PointAt("P", 0.2, 5);
    const dbObjectRef line = index.AddObject(Line(0, 0, 10, 0));
    const dbObjectRef far = PointAt("F", 50, 50);
    const dbObjectRef second = PointAt("Q", -0.2, 5);
    const struct {
        std::vector<dbObjectRef> refs;
        bool pointsIfOne;
        Subs kept;
    } cases[] = {
        {{line, far, point, kGone}, true, {0}},
        {{line, far, point}, false, {1, 0}},
        {{line, point, second}, true, {1, 0, 3}},
        {{line, far}, true, {1}},
    };
    for (const auto& c : cases) {
        dbSelection selection = Of(c.refs);
        selection.SelectNear(At(5, 0), 1, c.pointsIfOne);
        EXPECT_EQ(Subscripts(selection), c.kept);
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(PositionTest, NearestPointFirstOfEquals) {
    const dbObjectRef east = PointAt("E", 0, 1);
    const dbObjectRef north = PointAt("N", 1, 0);
    const dbObjectRef near = PointAt("C", 0.5, 0.5);
    const dbObjectRef nowhere = Point("X");
    const dbObjectRef group = Group("G");
    EXPECT_EQ(Of({east, north}).NearestItem(At(0, 0)), 0);
    EXPECT_EQ(Of({north, east}).NearestItem(At(0, 0)), 0);
    EXPECT_EQ(Of({nowhere, group, east, near}).NearestItem(At(0, 0)), 3);
    EXPECT_EQ(Of({nowhere, group, kGone}).NearestItem(At(0, 0)), -1);
    EXPECT_EQ(Of({east}).NearestItem(coord_CorrectedGrid()), -1);
    EXPECT_TRUE(env.assertions.empty());
}

// A road that records what it is asked.
class RecordingRoad : public dbIndexRoad {
public:
    const Str& GetCode() const override { return text; }
    const Str& GetDescription() const override { return text; }
    const Str& GetName() const override { return text; }
    bool HitTest(const coord_CorrectedGrid& position, double tolerance) override {
        hitAt = position;
        hitTolerance = tolerance;
        return true;
    }
    bool IsInside(double maxNorth, double minNorth, double maxEast, double minEast) const override {
        return maxNorth == 4 && minNorth == 3 && maxEast == 2 && minEast == 1;
    }
    void SetEndFlagHeld(bool) override {}

    Str text;
    coord_CorrectedGrid hitAt;
    double hitTolerance = 0;
};

TEST_F(PositionTest, RoadsAnswerForThemselves) {
    RecordingRoad road;
    RoadObject object(&road);
    EXPECT_TRUE(Hit(&object, At(7, 8), 0.25));
    EXPECT_EQ(road.hitAt, At(7, 8));
    EXPECT_EQ(road.hitTolerance, 0.25);
    EXPECT_TRUE(dbSelection::IsInRectangle(&object, 4, 3, 2, 1, false, 0));
    EXPECT_FALSE(dbSelection::IsInRectangle(&object, 4, 3, 2, 0, false, 0));
    RoadObject without(nullptr);
    EXPECT_FALSE(Hit(&without, At(7, 8), 0.25));
    EXPECT_FALSE(dbSelection::IsInRectangle(&without, 4, 3, 2, 1, false, 0));
}

TEST_F(PositionTest, ArcInsideRectangleUnderEveryOrientation) {
    // Centre (0, 0), radius 10; the span's ends and the quadrant directions it passes
    // must lie inside. Corner values from Python: 10 sin 0.3 = 2.9552020666133956,
    // 10 cos 0.1 = 9.950041652780259.
    const double e03 = 2.9552020666133956;
    const struct {
        int code;
        bool south;
        double start, delta;
        double maxNorth, minNorth, maxEast, minEast;
        bool inside;
    } cases[] = {
        {0, false, 0.1, 0.2, 10, 9, 3, 0, true},            // ends (9.95, 1.00), (9.55, 2.96)
        {0, false, 0.1, 0.2, 10, 9, e03 + 1e-9, 0, true},
        {0, false, 0.1, 0.2, 10, 9, e03 - 1e-9, 0, false},
        {0, false, 0.1, 0.2, 10, 9, 2.9, 0, false},
        {0, false, 0.1, 1.6, 10, -1.5, 10, 0, true},        // passes east: (0, 10)
        {0, false, 0.1, 1.6, 10, -1.5, 9.99, 0, false},
        {2, false, 0.1, 0.2, 10, 9, 0, -3, true},           // mirrored to the west
        {0, true, 0.1, 0.2, -9, -10, 0, -3, true},          // turned half round
        {1, false, 0.1, 0.2, -9, -10, 0, -3, true},
        {1, true, 0.1, 0.2, 10, 9, 3, 0, true},
        {3, false, 0.1, 0.2, -9, -10, 3, 0, true},
        {2, true, 0.1, 0.2, -9, -10, 3, 0, true},
        {3, true, 0.1, 0.2, 10, 9, 0, -3, true},
        {3, true, 0.1, 0.2, 10, 9, 3, 0, false},
        {0, false, -0.1, 0.2, 10, 9, 1, -1, true},          // across north: (10, 0)
        {0, false, -0.1, 0.2, 9.999, 9, 1, -1, false},
        {0, false, -0.1, 0.2, 9.950041652780259 + 1e-9, 9, 1, -1, false},
    };
    for (const auto& c : cases) {
        ArcObject arc;
        arc._Centre = coord_CorrectedGrid(0, 0, MATHS_Null);
        arc._Radius = 10;
        arc._StartAzimuth = c.start;
        arc._DeltaAngle = c.delta;
        EXPECT_EQ(dbSelection::IsInRectangle(&arc, c.maxNorth, c.minNorth, c.maxEast, c.minEast, c.south, c.code),
                  c.inside)
            << c.code << c.south << " " << c.start << " " << c.delta << " " << c.maxNorth << " " << c.maxEast;
    }
    ArcObject open;
    open._Centre = coord_CorrectedGrid(0, 0, MATHS_Null);
    open._Radius = 10;
    open._StartAzimuth = 0.1;
    EXPECT_FALSE(dbSelection::IsInRectangle(&open, 100, -100, 100, -100, false, 0)) << "no sweep";
    EXPECT_TRUE(env.assertions.empty());
    open._DeltaAngle = 0.2;
    EXPECT_FALSE(dbSelection::IsInRectangle(&open, 100, -100, 100, -100, false, 5));
    EXPECT_EQ(env.Expressions(), Reports{"0"});
}

TEST_F(PositionTest, SelectInRectangle) {
    const dbObjectRef inside = PointAt("I", 1, 1);
    const dbObjectRef corner = PointAt("C", 2, 0);
    const dbObjectRef outside = PointAt("O", 3, 1);
    const dbObjectRef halfNull = PointAt("H", MATHS_Null, 1);
    const dbObjectRef line = index.AddObject(Line(0, 0, 2, 2));
    const dbObjectRef longLine = index.AddObject(Line(0, 0, 2, 3));
    GroupObject* group = new GroupObject("G", "", "", "");
    group->AddChild(Line(0, 0, 1, 1));
    const dbObjectRef inGroup = index.AddObject(Loaded(group));
    const dbObjectRef empty = Group("E");
    GroupObject* mixed = new GroupObject("M", "", "", "");
    mixed->AddChild(Line(0, 0, 1, 1));
    mixed->AddChild(Line(0, 0, 5, 1));
    const dbObjectRef partly = index.AddObject(Loaded(mixed));
    const std::vector<dbObjectRef> refs = {inside, corner, outside, halfNull, line, longLine, inGroup, empty, partly, kGone};
    // Corners in either order: north 0..2, east 0..2.
    for (const auto& [a, b] : {std::pair(At(0, 0), At(2, 2)), std::pair(At(2, 0), At(0, 2))}) {
        dbSelection selection = Of(refs);
        selection.SelectInRectangle(a, b, false, 0);
        EXPECT_EQ(Subscripts(selection), (Subs{0, 1, 4, 6, 7}));
    }
    EXPECT_TRUE(env.assertions.empty());
}

}  // namespace
