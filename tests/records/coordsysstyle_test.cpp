#include <gtest/gtest.h>

#include "records/coordsysstyle.h"
#include "records/precisioncoding.h"
#include "record_bytes.h"
#include "support/recording_environment.h"

namespace {

using namespace recbytes;

TEST(CoordSystemRecords, DefaultCoordSystemLayout) {
    db_CoordSystem c;
    FixHeader(c);
    Builder e;
    e.Header(81, 7, 1000.5).Text("").Text("").Text("").U8(0).U8(0).Text("").U16(0).U16(0).U16(65534);
    e.I16(0).F64(1.0).F64(Null).F64(Null).F64(Null).F64(0).F64(0).F64(0).F64(0);
    EXPECT_EQ(Written(c), e.b);
    EXPECT_EQ(e.b.size() - 15, 3 + 2 + 1 + 6 + 66u);  // after the header and its empty notes
}

TEST(CoordSystemRecords, EveryFieldRoundTrips) {
    db_CoordSystem c;
    FixHeader(c);
    c.SetNotes("n");
    c.SystemName = "System";
    c.ZoneName = "Zone 3";
    c.DatumName = "Datum";
    c.UseGeoid = true;
    c.GeoidFilename = "g.ggf";
    c.Word1 = 1;
    c.Word2 = 0xFFFF;
    c.Word3 = 0;
    c.GroundScale.Type = 2;
    c.GroundScale.Factor = 1.0001;
    c.GroundScale.ProjectLocation = coord_Local(0.5, -1.5, 210.0);
    c.GroundScale.NorthingOffset = 10.0;
    c.GroundScale.EastingOffset = -20.0;
    c.GroundScale.NorthingDelta = 0.25;
    c.GroundScale.EastingDelta = -0.75;
    const Bytes bytes = Written(c);
    Builder e;
    e.Header(81, 7, 1000.5, "n").Text("System").Text("Zone 3").Text("Datum").U8(1).U8(0).Text("g.ggf");
    e.U16(1).U16(0xFFFF).U16(0).I16(2).F64(1.0001).F64(0.5).F64(-1.5).F64(210.0).F64(10.0).F64(-20.0);
    e.F64(0.25).F64(-0.75);
    EXPECT_EQ(bytes, e.b);
    db_CoordSystem back;
    ASSERT_TRUE(ReadWhole(back, bytes));
    EXPECT_EQ(Written(back), bytes);
    EXPECT_EQ(back.Word2, 0xFFFF);
    EXPECT_TRUE(back.IsEqual(c));
}

TEST(CoordSystemRecords, EqualityLeavesOutTheThreeWordsButNotTheDeltas) {
    struct Case {
        const char* change;
        void (*apply)(db_CoordSystem&);
        bool equal;
    };
    const Case cases[] = {
        {"Word1", [](db_CoordSystem& c) { c.Word1 = 9; }, true},
        {"Word2", [](db_CoordSystem& c) { c.Word2 = 9; }, true},
        {"Word3", [](db_CoordSystem& c) { c.Word3 = 0; }, true},
        {"NorthingDelta", [](db_CoordSystem& c) { c.GroundScale.NorthingDelta = 1e-9; }, false},
        {"EastingDelta", [](db_CoordSystem& c) { c.GroundScale.EastingDelta = -1.0; }, false},
        {"ProjectLocation", [](db_CoordSystem& c) { c.GroundScale.ProjectLocation.Height = 0.0; }, false},
        {"ZoneName case", [](db_CoordSystem& c) { c.ZoneName = "ZONE"; }, false},
        {"UseDatumGrid", [](db_CoordSystem& c) { c.UseDatumGrid = true; }, false},
        {"GeoidFilename", [](db_CoordSystem& c) { c.GeoidFilename = "x"; }, false},
    };
    for (const Case& c : cases) {
        db_CoordSystem a, b;
        a.ZoneName = b.ZoneName = "Zone";
        c.apply(b);
        EXPECT_EQ(a.IsEqual(b), c.equal) << c.change;
        EXPECT_EQ(b.IsEqual(a), c.equal) << c.change;
    }
}

TEST(CoordSystemRecords, StyleLayouts) {
    db_SurveyStyle style;
    FixHeader(style);
    style.ConfigName = "ABCDE";
    style.Device = 1;
    EXPECT_EQ(Written(style), Builder().Header(82, 7, 1000.5).Text("ABCDE").I16(1).b);

    db_IntegratedStyle integrated;
    FixHeader(integrated);
    integrated.IntegratedStyle = true;
    integrated.TSStyleName = "TS";
    EXPECT_EQ(Written(integrated), Builder().Header(83, 7, 1000.5).U8(1).Text("").Text("TS").b);

    db_IntegratedTarget target;
    FixHeader(target);
    EXPECT_EQ(Written(target), Builder().Header(84, 7, 1000.5).F64(Null).b);

    db_CoordSystemControl control;
    FixHeader(control);
    control.VertAdjust = true;
    EXPECT_EQ(Written(control), Builder().Header(79, 7, 1000.5).U8(0).U8(1).U8(0).b);
}

TEST(CoordSystemRecords, DeviceSignExtendsAndFlagsReadAsOne) {
    db_SurveyStyle style;
    ASSERT_TRUE(ReadWhole(style, Builder().Header(82, 1, 0.0).Text("S").I16(-2).b));
    EXPECT_EQ(style.Device, -2);
    db_CoordSystemControl control;
    ASSERT_TRUE(ReadWhole(control, Builder().Header(79, 1, 0.0).U8(0).U8(7).U8(0x80).b));
    EXPECT_FALSE(control.HorzAdjust);
    EXPECT_TRUE(control.VertAdjust);
    EXPECT_TRUE(control.DoGeolib);
    EXPECT_EQ(Written(control), Builder().Header(79, 1, 0.0).U8(0).U8(1).U8(1).b);
}

TEST(CoordSystemRecords, QueriesAndCasts) {
    db_CoordSystem system;
    db_CoordSystemControl control;
    db_SurveyStyle style;
    db_IntegratedStyle integrated;
    db_IntegratedTarget target;
    for (const dbRecord_Class* r : {static_cast<const dbRecord_Class*>(&system),
                                    static_cast<const dbRecord_Class*>(&control)}) {
        EXPECT_TRUE(r->IsPersisted());
        EXPECT_TRUE(r->IsDefaultRequired());
        EXPECT_TRUE(r->InvalidatesPositions());
    }
    for (const dbRecord_Class* r : {static_cast<const dbRecord_Class*>(&style),
                                    static_cast<const dbRecord_Class*>(&integrated),
                                    static_cast<const dbRecord_Class*>(&target)}) {
        EXPECT_FALSE(r->IsPersisted());
        EXPECT_FALSE(r->IsDefaultRequired());
        EXPECT_FALSE(r->InvalidatesPositions());
        EXPECT_EQ(r->GetName(), "");
    }
    EXPECT_EQ(db_CoordSystem::Cast(&system), &system);
    EXPECT_EQ(db_CoordSystem::Cast(&control), nullptr);
    EXPECT_EQ(db_IntegratedTarget::Cast(&style), nullptr);
}

TEST(CoordSystemRecords, EqualityWithAnotherTypeIsReported) {
    RecordingEnvironment env;
    db_CoordSystem system;
    db_Coding coding;
    EXPECT_FALSE(system.IsEqual(coding));
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"this->GetType() == record.GetType ()"});
}

}  // namespace
