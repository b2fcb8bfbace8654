#include <gtest/gtest.h>

#include <memory>

#include "records/cogo.h"
#include "record_bytes.h"
#include "support/recording_environment.h"

namespace {

using namespace recbytes;

AreaPointElement Point(const char* name, double n, double e, double z) {
    AreaPointElement p;
    p.Name = name;
    p.North = n;
    p.East = e;
    p.Elev = z;
    return p;
}

AreaLineElement* Line(const char* name) {
    auto* line = new AreaLineElement;
    line->Name = name;
    line->Start = Point("s", 1, 2, 3);
    line->End = Point("e", 4, 5, 6);
    return line;
}

AreaArcElement* Arc(const char* name) {
    auto* arc = new AreaArcElement;
    arc->Name = name;
    arc->Start = Point("a", 1, 1, 1);
    arc->End = Point("b", 2, 2, 2);
    arc->Centre = Point("c", 3, 3, 3);
    arc->ScribedAngle = 0.5;
    arc->Clockwise = false;
    return arc;
}

void PointBytes(Builder& b, const char* name, double n, double e, double z) { b.Text(name).F64(n).F64(e).F64(z); }

// The bytes of Line(name) and Arc(name), kind first.
void LineBytes(Builder& b, const char* name) {
    b.U16(0).Text(name);
    PointBytes(b, "s", 1, 2, 3);
    PointBytes(b, "e", 4, 5, 6);
}
void ArcBytes(Builder& b, const char* name) {
    b.U16(1).Text(name);
    PointBytes(b, "a", 1, 1, 1);
    PointBytes(b, "b", 2, 2, 2);
    PointBytes(b, "c", 3, 3, 3);
    b.F64(0.5).U8(0);
}

TEST(CogoRecords, DefaultInverseIsNullAndRoundTrips) {
    db_Inverse r;
    FixHeader(r);
    const Bytes bytes = Written(r);
    EXPECT_EQ(bytes, Builder().Header(5, 7, 1000.5).Text("").Text("").F64(Null).F64(Null).F64(Null).U16(0).F64(Null).F64(Null).b);
    db_Inverse back;
    back.SlopeDistance = 1.0;
    ASSERT_TRUE(ReadInto(back, bytes));
    EXPECT_TRUE(back.Result.Polar.IsNull());
    EXPECT_EQ(back.SlopeDistance, Null);
    EXPECT_EQ(back.Grade, Null);
    EXPECT_TRUE(back.IsEqual(r));
}

TEST(CogoRecords, InverseResultLayout) {
    db_Inverse r;
    FixHeader(r);
    r.TargetPoint = "T";
    r.Result.SourcePoint = "S";
    r.Result.Polar = coord_Polar(1.5, 10.0, -1.0);
    r.Result.CreatedView = coordsys_CogoSettings(COORDSYS_CogoAzimuthGrid | COORDSYS_CogoDistanceGrid | 0x10000);
    r.SlopeDistance = 10.05;
    EXPECT_EQ(Written(r), Builder().Header(5, 7, 1000.5).Text("T").Text("S").F64(1.5).F64(10.0).F64(-1.0).U16(0x24).F64(10.05).F64(Null).b);
    db_Inverse back;
    ASSERT_TRUE(ReadInto(back, Written(r)));
    EXPECT_EQ(back.Result.CreatedView.Value(), 0x24);  // 16 bits kept
}

TEST(CogoRecords, ComputeAzimuthAndDistanceLayouts) {
    db_ComputeAzimuth a;
    FixHeader(a);
    a.AzimuthMethod = 4;
    a.ReferenceLineDefinedByTwoPoints = true;
    a.ReferenceLinePoint2Name = "R2";
    a.CreatedView = coordsys_CogoSettings(0xFFFF);
    EXPECT_EQ(Written(a), Builder()
                              .Header(6, 7, 1000.5)
                              .I16(4).Text("").Text("").Text("")
                              .F64(Null).F64(Null).F64(Null)
                              .Text("").U8(1).Text("").Text("R2")
                              .F64(Null).F64(Null).F64(Null).U16(0xFFFF)
                              .b);
    db_ComputeAzimuth aback;
    ASSERT_TRUE(ReadInto(aback, Written(a)));
    EXPECT_EQ(aback.CreatedView.Value(), 0xFFFF);  // zero-extended
    EXPECT_TRUE(aback.IsEqual(a));

    db_ComputeDistance d;
    FixHeader(d);
    d.DistanceMethod = -1;
    d.Point1 = "P";
    EXPECT_EQ(Written(d), Builder()
                              .Header(7, 7, 1000.5)
                              .I16(-1).Text("P").Text("").Text("").U8(0).Text("").Text("")
                              .F64(Null).F64(Null).U16(0)
                              .b);
    db_ComputeDistance dback;
    ASSERT_TRUE(ReadInto(dback, Written(d)));
    EXPECT_EQ(dback.DistanceMethod, -1);
    dback.Point2 = "Q";
    EXPECT_FALSE(dback.IsEqual(d));
}

TEST(CogoRecords, AreaWithALineAndAnArc) {
    db_Area area;
    FixHeader(area);
    area.Name = "Lot";
    area.Method = coordsys_CogoSettings(COORDSYS_CogoDistanceGrid);
    area.Area = 100.0;
    area.Perimeter = 40.0;
    area.PerimeterEntities.Append(Line("L"));
    area.PerimeterEntities.Append(Arc("C"));
    Builder expected;
    expected.Header(77, 7, 1000.5).Text("Lot").U16(0x20).F64(100.0).F64(40.0).U32(2);
    LineBytes(expected, "L");
    ArcBytes(expected, "C");
    EXPECT_EQ(Written(area), expected.b);

    db_Area back;
    back.PerimeterEntities.Append(Line("old1"));
    back.PerimeterEntities.Append(Line("old2"));
    back.PerimeterEntities.Append(Line("old3"));
    int end = 0;
    ASSERT_TRUE(ReadInto(back, expected.b, &end));
    EXPECT_EQ(end, static_cast<int>(expected.b.size()));
    ASSERT_EQ(back.PerimeterEntities.Count(), 2);
    EXPECT_EQ(back.PerimeterEntities.Get(0)->GetKind(), AREA_LineElement);
    ASSERT_EQ(back.PerimeterEntities.Get(1)->GetKind(), AREA_ArcElement);
    const auto* arc = static_cast<const AreaArcElement*>(back.PerimeterEntities.Get(1));
    EXPECT_EQ(arc->Centre.Name, "c");
    EXPECT_FALSE(arc->Clockwise);
    EXPECT_EQ(Written(back), expected.b);
}

TEST(CogoRecords, AreasNeverCompareEqual) {
    RecordingEnvironment env;
    db_Area area;
    db_Area copy = area;
    EXPECT_FALSE(area.IsEqual(copy));
    EXPECT_FALSE(area.IsEqual(area));
    db_SubdividedArea sub;
    EXPECT_FALSE(sub.IsEqual(sub));
    EXPECT_FALSE(area.IsEqual(sub));
    EXPECT_TRUE(env.Expressions().empty());
}

TEST(CogoRecords, AreaCopiesCloneTheElements) {
    db_Area area;
    area.Name = "A";
    area.PerimeterEntities.Append(Arc("C"));
    db_Area copy = area;
    ASSERT_EQ(copy.PerimeterEntities.Count(), 1);
    EXPECT_NE(copy.PerimeterEntities.Get(0), area.PerimeterEntities.Get(0));
    copy.PerimeterEntities.Get(0)->Name = "changed";
    EXPECT_EQ(area.PerimeterEntities.Get(0)->Name, "C");
    EXPECT_EQ(copy.PerimeterEntities.Get(0)->GetKind(), AREA_ArcElement);

    db_Area target;
    target.PerimeterEntities.Append(Line("x"));
    target.PerimeterEntities.Append(Line("y"));
    EXPECT_TRUE(target.AssignFrom(area));
    EXPECT_EQ(target.Name, "A");
    ASSERT_EQ(target.PerimeterEntities.Count(), 1);
    EXPECT_EQ(target.PerimeterEntities.Get(0)->Name, "C");
    EXPECT_TRUE(target.AssignFrom(target));
    EXPECT_EQ(target.PerimeterEntities.Count(), 1);

    std::unique_ptr<dbRecord_Class> clone(area.Clone());
    ASSERT_NE(db_Area::Cast(clone.get()), nullptr);
    EXPECT_EQ(Written(*clone), Written(area));
}

TEST(CogoRecords, EmptySlotsAreNotWritten) {
    db_Area area;
    FixHeader(area);
    area.PerimeterEntities.Resize(3);
    area.PerimeterEntities.Set(1, Line("L"));
    Builder expected;
    expected.Header(77, 7, 1000.5).Text("").U16(0).F64(0).F64(0).U32(1);
    LineBytes(expected, "L");
    EXPECT_EQ(Written(area), expected.b);
    db_Area copy = area;
    EXPECT_EQ(copy.PerimeterEntities.Count(), 3);
    EXPECT_EQ(copy.PerimeterEntities.Get(0), nullptr);
}

TEST(CogoRecords, SlotOutsideTheArrayIsReported) {
    RecordingEnvironment env;
    AreaElementArray elements;
    elements.Resize(1);
    elements.Set(1, Line("lost"));  // destroyed, not leaked
    EXPECT_EQ(elements.Get(5), nullptr);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"index >= 0 && index < Count()",
                                                          "index >= 0 && index < Count()"}));
}

TEST(CogoRecords, UnknownElementKindEndsTheReadAsDamage) {
    Builder bytes;
    bytes.Header(77, 1, 0.0).Text("A").U16(0).F64(1).F64(2).U32(2);
    LineBytes(bytes, "L");
    bytes.U16(7);
    ArcBytes(bytes, "C");
    RecordingEnvironment env;
    db_Area back;
    EXPECT_FALSE(ReadInto(back, bytes.b));
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"false"});
    ASSERT_EQ(back.PerimeterEntities.Count(), 1);
    EXPECT_EQ(back.PerimeterEntities.Get(0)->Name, "L");
}

TEST(CogoRecords, ElementCountBeyondTheBytesReadsNone) {
    Builder bytes;
    bytes.Header(77, 1, 0.0).Text("A").U16(0).F64(1).F64(2).U32(0xFFFFFFFF);
    LineBytes(bytes, "L");
    db_Area back;
    back.PerimeterEntities.Append(Line("old"));
    EXPECT_FALSE(ReadInto(back, bytes.b));
    EXPECT_EQ(back.PerimeterEntities.Count(), 0);
}

TEST(CogoRecords, SubdividedAreaLayoutAndRoundTrip) {
    db_SubdividedArea sub;
    FixHeader(sub);
    sub.Name = "S";
    sub.PerimeterEntities.Append(Line("L"));
    sub.SubArea = 5.0;
    sub.SubPerimeter = 9.0;
    sub.SubPerimeterEntities.Append(Arc("C"));
    sub.SubdivisionCreatedPoints.Add("N1");
    sub.SubdivisionCreatedPoints.Add("N2");
    Builder expected;
    expected.Header(78, 7, 1000.5).Text("S").U16(0).F64(0).F64(0).U32(1);
    LineBytes(expected, "L");
    expected.F64(5.0).F64(9.0).U32(1);
    ArcBytes(expected, "C");
    expected.U32(2).Text("N1").Text("N2");
    EXPECT_EQ(Written(sub), expected.b);

    db_SubdividedArea back;
    back.SubdivisionCreatedPoints.Add("old");
    ASSERT_TRUE(ReadInto(back, expected.b));
    ASSERT_EQ(back.SubdivisionCreatedPoints.Count(), 2);
    EXPECT_EQ(back.SubdivisionCreatedPoints[0], "N1");
    EXPECT_EQ(Written(back), expected.b);
    EXPECT_EQ(back.GetType(), DATABASE_SubdividedAreaRecord);
    EXPECT_EQ(db_Area::Cast(&back), nullptr);  // casts test the code alone
    EXPECT_NE(db_SubdividedArea::Cast(&back), nullptr);

    std::unique_ptr<dbRecord_Class> clone(sub.Clone());
    EXPECT_EQ(Written(*clone), expected.b);
    db_SubdividedArea target;
    EXPECT_TRUE(target.AssignFrom(sub));
    EXPECT_EQ(Written(target), expected.b);
    db_Area plain;
    EXPECT_FALSE(target.AssignFrom(plain));
}

TEST(CogoRecords, CreatedPointCountBeyondTheBytesReadsNone) {
    Builder bytes;
    bytes.Header(78, 1, 0.0).Text("S").U16(0).F64(0).F64(0).U32(0).F64(0).F64(0).U32(0).U32(1000).Text("N");
    db_SubdividedArea back;
    EXPECT_FALSE(ReadInto(back, bytes.b));
    EXPECT_EQ(back.SubdivisionCreatedPoints.Count(), 0);
}

TEST(CogoRecords, DeltaLayouts) {
    db_GridDeltas g;
    FixHeader(g);
    EXPECT_EQ(Written(g), Builder().Header(88, 7, 1000.5).F64(0).F64(0).F64(0).b);
    db_LinearDeltas l;
    FixHeader(l);
    l.GradeToLine = 0.5;
    EXPECT_EQ(Written(l), Builder().Header(89, 7, 1000.5).F64(0).F64(0).F64(0).F64(0.5).b);
}

TEST(CogoRecords, DistanceOffsetDefaultsAndLayout) {
    db_DistanceOffset d;
    FixHeader(d);
    EXPECT_EQ(d.DisplayOffsetPerspective, 1);
    EXPECT_EQ(d.RawObservation.EDMMeasurementMode, 7);
    EXPECT_EQ(Written(d), Builder()
                              .Header(116, 7, 1000.5)
                              .Circle(0, 0, 0, 0, Null, Null, Null, 7)
                              .F64(0).F64(0).F64(0).I16(1)
                              .b);
}

TEST(CogoRecords, CircleFlagIsNeitherWrittenNorRead) {
    db_DistanceOffset a;
    a.RawObservation.Flag = true;
    a.RawObservation.Face = COORD_Face2;
    a.LeftRightOffset = 1.25;
    db_DistanceOffset b;
    ASSERT_TRUE(ReadInto(b, Written(a)));
    EXPECT_FALSE(b.RawObservation.Flag);
    EXPECT_EQ(b.RawObservation.Face, COORD_Face2);
    EXPECT_TRUE(b.IsEqual(a));  // the flag is not compared
    b.RawObservation.EDMDistanceStdErr = 0.001;
    EXPECT_FALSE(b.IsEqual(a));
}

}  // namespace
