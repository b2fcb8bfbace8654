#include <gtest/gtest.h>

#include <memory>

#include "records/entities.h"
#include "records/measurements.h"
#include "record_bytes.h"
#include "support/recording_environment.h"

namespace {

using recbytes::Builder;
using recbytes::ReadWhole;
using recbytes::Written;

TEST(EntityRecords, ObservationBytes) {
    db_Observation obs;
    obs.SetRecordId(0x10);
    obs.SetTimeStamp(2.0);
    obs.SetNotes("n");
    obs.SetDescriptions({"d1", ""});
    obs.PointName = "P1";
    obs.Derivation = 0x494B;  // "KI"
    obs.Method = 3;
    obs.SurveyMethod = -1;
    obs.Classification = db_PointClassification(db_PointClassification::Control);
    obs.Deleted = true;
    obs.Source = "S";
    const auto expected = Builder()
                              .Header(2, 0x10, 2.0, "n")
                              .I32(0)
                              .Text("d1")
                              .Text("")
                              .Text("P1")
                              .U8('K')
                              .U8('I')
                              .U16(3)
                              .U16(0xFFFF)
                              .U16(9)
                              .U8(1)
                              .Text("S")
                              .b;
    EXPECT_EQ(Written(obs), expected);

    db_Observation back;
    ASSERT_TRUE(ReadWhole(back, expected));
    EXPECT_EQ(back.GetName(), "P1");
    EXPECT_EQ(back.SurveyMethod, -1);
    EXPECT_EQ(back.Classification.value, 9);
    EXPECT_TRUE(back.IsDeleted());
    EXPECT_EQ(back.GetDescriptions().Description1, "d1");
    EXPECT_EQ(Written(back), expected);
}

TEST(EntityRecords, DefaultLineWritesItsEmptyNameAndReadsBack) {
    RecordingEnvironment env;
    db_Line line;
    line.SetRecordId(1);
    line.SetTimeStamp(0.0);
    const auto bytes = Written(line);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"this->LineId.Length() > 0"});
    EXPECT_EQ(bytes, Builder()
                         .Header(3, 1, 0.0).I32(0).Text("").Text("")
                         .Text("")
                         .U16(0x2020)
                         .U16(0)
                         .Text("")
                         .Text("")
                         .F64(0)
                         .F64(0)
                         .F64(0)
                         .U8(0)
                         .b);
    db_Line back;
    back.Derivation = 0;
    back.BearingGrade = 5;
    ASSERT_TRUE(ReadWhole(back, bytes));
    EXPECT_EQ(back.Derivation, 0x2020);
    EXPECT_EQ(back.BearingGrade, 0.0);
    EXPECT_TRUE(back.IsEqual(line));
}

TEST(EntityRecords, ArcLayoutAndDeletedByte) {
    db_Arc arc;
    arc.SetRecordId(1);
    arc.SetTimeStamp(0.0);
    arc.ArcName = "A";
    arc.Point1 = "1";
    arc.Point3 = "3";
    arc.Direction = db_Arc::LeftHand;
    arc.LargeArc = true;
    arc.Radius = 10;
    arc.Grade = -0.5;
    Builder expected;
    expected.Header(4, 1, 0.0).I32(0).Text("").Text("").Text("A").U16(0x2020).U16(0).Text("1").Text("").Text("3");
    expected.U16(1).U8(1).F64(10).F64(0).F64(0).F64(0).F64(0).F64(0).F64(0).F64(-0.5).U8(0);
    EXPECT_EQ(Written(arc), expected.b);

    // Any non-zero byte reads back as true.
    expected.b.back() = 0x7F;
    expected.b[expected.b.size() - 1 - 64 - 1] = 2;  // LargeArc
    db_Arc back;
    ASSERT_TRUE(ReadWhole(back, expected.b));
    EXPECT_TRUE(back.Deleted);
    EXPECT_TRUE(back.LargeArc);
    EXPECT_EQ(Written(back).back(), 1);
}

// A derivation code whose second character is 0x80 or above equals its round trip.
TEST(EntityRecords, HighDerivationCodeRoundTripsEqual) {
    db_Line line;
    line.LineId = "L";
    line.Derivation = static_cast<uint16_t>('K' | (0xC9 << 8));
    db_Line back;
    ASSERT_TRUE(ReadWhole(back, Written(line)));
    EXPECT_EQ(back.Derivation, line.Derivation);
    EXPECT_TRUE(back.IsEqual(line));
}

TEST(EntityRecords, LineEqualityLooksAtFieldsDescriptionsAndFeatures) {
    db_Line a;
    a.LineId = "L1";
    a.OriginPoint = "1";
    a.SetFeatureCodes("FENCE", false);
    db_Line b = a;
    b.SetNotes("other");
    b.SetTimeStamp(a.GetTimeStamp() + 5);
    b.SetRecordId(99);
    EXPECT_TRUE(a.IsEqual(b));

    db_Line c = a;
    c.SetFeatureCodes("WALL", false);
    EXPECT_FALSE(a.IsEqual(c));
    db_Line d = a;
    d.SetDescriptions({"", "x"});
    EXPECT_FALSE(a.IsEqual(d));
    db_Line e = a;
    e.OriginPoint = "1a";
    EXPECT_FALSE(a.IsEqual(e));

    RecordingEnvironment env;
    db_Arc arc;
    EXPECT_FALSE(a.IsEqual(arc));
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"this->GetType() == record.GetType ()"});
}

TEST(EntityRecords, ObservationNeverComparesEqual) {
    RecordingEnvironment env;
    db_Observation obs;
    db_Line line;
    EXPECT_FALSE(obs.IsEqual(obs));
    EXPECT_FALSE(obs.IsEqual(line));
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"!\"Meaningless\"", "!\"Meaningless\""}));
}

TEST(EntityRecords, BoolActionsSetTheDeletedFlag) {
    struct Case {
        bool before;
        int action;
        bool after;
    } cases[] = {{false, 0, true}, {true, 1, false}, {true, 0, true},
                 {false, 2, false}, {true, 2, true},  {true, -1, true}};
    for (const Case& c : cases) {
        db_Observation obs;
        db_Line line;
        db_Arc arc;
        obs.Deleted = line.Deleted = arc.Deleted = c.before;
        obs.ApplyBoolAction(db_BoolAction(c.action));
        line.ApplyBoolAction(db_BoolAction(c.action));
        arc.ApplyBoolAction(db_BoolAction(c.action));
        EXPECT_EQ(obs.IsDeleted(), c.after) << c.action;
        EXPECT_EQ(line.IsDeleted(), c.after) << c.action;
        EXPECT_EQ(arc.IsDeleted(), c.after) << c.action;
    }
}

TEST(EntityRecords, ObservationStrActions) {
    db_Observation obs;
    obs.PointName = "P1";
    obs.ApplyStrAction(db_Str("P2", 0));
    EXPECT_EQ(obs.PointName, "P2");
    obs.ApplyStrAction(db_Str("T", 1));  // no measurement: nothing
    obs.ApplyStrAction(db_Str("P3", 2));
    EXPECT_EQ(obs.PointName, "P2");

    db_Grid grid;
    obs.AttachMeasurement(&grid);
    obs.ApplyStrAction(db_Str("T", 1));  // not type 14: nothing
    EXPECT_EQ(obs.PointName, "P2");

    db_LocalTransformedGrid ltg;
    ltg.ReferenceTransformation = "old";
    obs.SetMeasurement(&ltg);
    obs.ApplyStrAction(db_Str("new", 1));
    EXPECT_EQ(db_LocalTransformedGrid::Cast(obs.GetMeasurement())->ReferenceTransformation, "new");
    EXPECT_EQ(ltg.ReferenceTransformation, "old");
    EXPECT_EQ(obs.PointName, "P2");

    // Lines and arcs take no rename.
    RecordingEnvironment env;
    db_Line line;
    line.ApplyStrAction(db_Str("x", 0));
    line.ApplyDBIDAction(db_DBID(DBID(3)));
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"0", "0"}));
}

TEST(EntityRecords, MeasurementLinkOwnership) {
    db_Observation obs;
    EXPECT_EQ(obs.GetMeasurementType(), DATABASE_NoRecordType);
    EXPECT_EQ(obs.GetCoordType(), COORD_NullType);

    db_Circle circle;
    circle.Target = 4;
    obs.AttachMeasurement(&circle);
    ASSERT_NE(obs.GetMeasurement(), nullptr);
    EXPECT_NE(obs.GetMeasurement(), &circle);
    EXPECT_EQ(obs.GetMeasurementType(), DATABASE_CircleRecord);
    EXPECT_EQ(obs.GetCoordType(), COORD_CircleType);

    // Attaching does not free the old link: its holder takes it first.
    std::unique_ptr<db_Measurement> old(obs.GetMeasurement());
    db_WGS84 wgs;
    obs.AttachMeasurement(&wgs);
    EXPECT_EQ(obs.GetMeasurementType(), DATABASE_WGS84Record);

    // Copies own their own clone; destroying the source leaves the copy intact.
    auto source = std::make_unique<db_Observation>(obs);
    db_Observation assigned;
    assigned = *source;
    db_Observation copy(*source);
    source.reset();
    EXPECT_EQ(copy.GetMeasurementType(), DATABASE_WGS84Record);
    EXPECT_EQ(assigned.GetMeasurementType(), DATABASE_WGS84Record);
    EXPECT_NE(copy.GetMeasurement(), assigned.GetMeasurement());

    // Setting a link to itself keeps a valid clone.
    copy.SetMeasurement(copy.GetMeasurement());
    EXPECT_EQ(copy.GetMeasurementType(), DATABASE_WGS84Record);
    copy.SetMeasurement(nullptr);
    EXPECT_EQ(copy.GetMeasurement(), nullptr);

    std::unique_ptr<db_Measurement> released(assigned.ReleaseMeasurement());
    EXPECT_EQ(assigned.GetMeasurement(), nullptr);
    EXPECT_EQ(released->GetType(), DATABASE_WGS84Record);
}

TEST(EntityRecords, UpdateFromKeepsIdFeaturesAndMeasurement) {
    db_Arc stored;
    stored.SetRecordId(7);
    stored.SetTimeStamp(1.0);
    stored.ArcName = "A";
    stored.SetFeatureCodes("CURB", false);
    db_Arc edit;
    edit.SetRecordId(9);
    edit.SetTimeStamp(2.0);
    edit.SetNotes("edited");
    edit.ArcName = "B";
    edit.Radius = 25;
    edit.SetDescriptions({"new", ""});
    edit.SetFeatureCodes("KERB", false);
    stored.UpdateFrom(edit);
    EXPECT_EQ(stored.GetRecordId(), 7);
    EXPECT_EQ(stored.GetTimeStamp(), 2.0);
    EXPECT_EQ(stored.GetNotes(), "edited");
    EXPECT_EQ(stored.ArcName, "B");
    EXPECT_EQ(stored.Radius, 25.0);
    EXPECT_EQ(stored.GetDescriptions().Description1, "new");
    EXPECT_EQ(stored.GetFeatureCodes(), "CURB");

    db_Observation obs;
    obs.SetRecordId(3);
    obs.PointName = "P";
    db_Grid grid;
    obs.AttachMeasurement(&grid);
    db_Observation newer;
    newer.PointName = "Q";
    newer.Classification = db_PointClassification(db_PointClassification::Check);
    obs.UpdateFrom(newer);
    EXPECT_EQ(obs.PointName, "Q");
    EXPECT_EQ(obs.Classification.value, 0);
    EXPECT_EQ(obs.GetRecordId(), 3);
    EXPECT_EQ(obs.GetMeasurementType(), DATABASE_GridRecord);
}

TEST(EntityRecords, UpdateFromAnotherClassReportsAndChangesNothing) {
    db_Observation obs;
    db_Line line;
    db_Arc arc;
    obs.PointName = "P";
    line.LineId = "L";
    arc.ArcName = "A";
    db_Line otherLine;
    otherLine.LineId = "X";
    otherLine.SetNotes("x");
    db_Arc otherArc;
    otherArc.ArcName = "Y";
    struct Case {
        dbRecordWithFeatures_Class* target;
        const dbRecordWithFeatures_Class* source;
        const char* text;
    } cases[] = {{&obs, &otherLine, "obs"}, {&line, &otherArc, "line"}, {&arc, &otherLine, "arc"}};
    for (const Case& c : cases) {
        RecordingEnvironment env;
        const auto before = Written(*c.target);
        const std::string notes = c.target->GetNotes().Data();
        env.Clear();
        c.target->UpdateFrom(*c.source);
        EXPECT_EQ(env.Expressions(), std::vector<std::string>{c.text});
        env.Clear();
        EXPECT_EQ(Written(*c.target), before);
        EXPECT_EQ(c.target->GetNotes(), notes.c_str());
    }
}

TEST(EntityRecords, CastsAndNames) {
    db_Observation obs;
    obs.PointName = "P";
    db_Line line;
    line.LineId = "L";
    db_Arc arc;
    arc.ArcName = "A";
    EXPECT_EQ(obs.GetName(), "P");
    EXPECT_EQ(line.GetName(), "L");
    EXPECT_EQ(arc.GetName(), "A");
    EXPECT_EQ(dbRecordWithFeatures_Class::Cast(&line), &line);
    EXPECT_EQ(db_Line::Cast(&arc), nullptr);
    EXPECT_EQ(db_Observation::Cast(static_cast<dbRecord_Class*>(nullptr)), nullptr);
    EXPECT_FALSE(obs.IsMeasurement());
    EXPECT_FALSE(obs.InvalidatesPositions());
    EXPECT_EQ(obs.FillUnsetFrom(obs), nullptr);
}

}  // namespace
