#include <gtest/gtest.h>

#include "records/editactions.h"
#include "records/entities.h"
#include "records/jobheader.h"
#include "record_bytes.h"
#include "support/recording_environment.h"

namespace {

using recbytes::Builder;
using recbytes::ReadWhole;
using recbytes::Written;

TEST(EditRecords, StrWritesItsCodeFirstAndComparesTheTextOnly) {
    db_Str a("T1", 1);
    a.SetRecordId(2);
    a.SetTimeStamp(1.0);
    EXPECT_EQ(Written(a), Builder().Header(159, 2, 1.0).U8(1).Text("T1").b);
    db_Str b("T1", 0);
    EXPECT_TRUE(a.IsEqual(b));
    db_Str c("t1", 1);
    EXPECT_FALSE(a.IsEqual(c));

    // The code is one byte, read back without sign.
    db_Str wide("x", 511);
    db_Str back;
    ASSERT_TRUE(ReadWhole(back, Written(wide)));
    EXPECT_EQ(back.Code, 255);
    EXPECT_EQ(back.Text, "x");
}

TEST(EditRecords, BoolActionKeepsTheLowByte) {
    db_BoolAction a(257);
    a.SetRecordId(2);
    a.SetTimeStamp(1.0);
    EXPECT_EQ(Written(a), Builder().Header(157, 2, 1.0).U8(1).b);
    db_BoolAction back;
    ASSERT_TRUE(ReadWhole(back, Written(a)));
    EXPECT_EQ(back.Action, 1);
    EXPECT_TRUE(back.InvalidatesPositions());
    EXPECT_FALSE(back.IsEqual(db_BoolAction(0)));
}

TEST(EditRecords, DBIDAndDescriptions) {
    db_DBID a(DBID(0x01020304));
    a.SetRecordId(2);
    a.SetTimeStamp(1.0);
    EXPECT_EQ(Written(a), Builder().Header(158, 2, 1.0).U32(0x01020304).b);
    EXPECT_TRUE(a.IsEqual(db_DBID(DBID(0x01020304))));
    EXPECT_FALSE(a.IsEqual(db_DBID()));

    db_Descriptions d;
    d.SetRecordId(2);
    d.SetTimeStamp(1.0);
    d.Descriptions.Description1 = "one";
    d.Descriptions.Description2 = "two";
    EXPECT_EQ(Written(d), Builder().Header(161, 2, 1.0).Text("one").Text("two").b);
    db_Descriptions e;
    EXPECT_TRUE(e.IsNotEqual(d));
    ASSERT_TRUE(ReadWhole(e, Written(d)));
    EXPECT_FALSE(e.IsNotEqual(d));
}

TEST(EditRecords, FeaturesCopyAndCompare) {
    db_Features a;
    a.Features.ParseCodeString("TREE FENCE", false);
    a.SetRecordId(4);
    db_Features b;
    b = a;
    EXPECT_EQ(b.GetRecordId(), 4);
    EXPECT_TRUE(b.IsEqual(a));
    EXPECT_FALSE(b.IsNotEqual(a));
    db_Features c(a);
    EXPECT_EQ(c.Features.Count(), 2);
    c.Features.ParseCodeString("TREE", false);
    EXPECT_TRUE(c.IsNotEqual(a));

    db_Features back;
    ASSERT_TRUE(ReadWhole(back, Written(a)));
    EXPECT_EQ(back.Features.GetCodeString(), "TREE FENCE");

    RecordingEnvironment env;
    db_Note note;
    EXPECT_FALSE(a.IsEqual(note));
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"this->GetType() == rhs.GetType ()"});
}

TEST(EditRecords, JobHeaderTakesTheRenameWhateverTheCode) {
    db_JobHeader header;
    header.JobName = "Old";
    header.ApplyStrAction(db_Str("New", 1));
    EXPECT_EQ(header.JobName, "New");
    header.ApplyStrAction(db_Str("Newer", 0));
    EXPECT_EQ(header.GetName(), "Newer");
}

}  // namespace
