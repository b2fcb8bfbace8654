#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/laserecho.h"
#include "record_bytes.h"
#include "support/recording_environment.h"

namespace {

using namespace recbytes;

TEST(EchoSounderRecords, ConfigDefaultsAndThePortByte) {
    db_EchoSounderConfig r;
    FixHeader(r);
    EXPECT_EQ(Written(r), Builder().Header(155, 7, 1000.5).I16(0).U8(0).U32(9600).I32(8).I32(1).I16(0).U8(1).F64(0).b);
    r.EchoSounderType = -2;
    r.Port = 11;
    r.Parity = 2;
    r.UseEchoSounder = false;
    r.EchoLatency = 0.125;
    const Bytes bytes = Written(r);
    EXPECT_EQ(bytes, Builder().Header(155, 7, 1000.5).I16(-2).U8(11).U32(9600).I32(8).I32(1).I16(2).U8(0).F64(0.125).b);
    db_EchoSounderConfig back;
    ASSERT_TRUE(ReadWhole(back, bytes));
    EXPECT_TRUE(back.IsEqual(r));
    EXPECT_EQ(back.EchoSounderType, -2);

    db_EchoSounding depth;
    FixHeader(depth);
    EXPECT_EQ(Written(depth), Builder().Header(154, 7, 1000.5).F64(Null).b);

    RecordingEnvironment env;
    EXPECT_FALSE(r.IsEqual(depth));
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"this->GetType () == record.GetType ()"});
}

TEST(EchoSounderRecords, AxesWriteEachGridNorthFirst) {
    db_3DAxes r;
    FixHeader(r);
    r.P1Name = "A";
    r.P1Grid = coord_CorrectedGrid(2000.0, 1000.0, 50.0);
    r.P2Code = "c";
    r.OrthogRadialOffset = 0.5;
    r.VertIntersectionPoint = coord_CorrectedGrid(1.0, 2.0, 3.0);
    const Bytes bytes = Written(r);
    EXPECT_EQ(bytes, Builder()
                         .Header(156, 7, 1000.5)
                         .Text("A").Text("").F64(2000.0).F64(1000.0).F64(50.0)
                         .Text("").Text("c").F64(Null).F64(Null).F64(Null)
                         .F64(Null).F64(Null).F64(0.5).F64(Null).F64(Null)
                         .F64(Null).F64(Null).F64(Null)
                         .F64(Null).F64(Null).F64(Null).F64(Null).F64(Null)
                         .F64(1.0).F64(2.0).F64(3.0)
                         .b);
    db_3DAxes back;
    ASSERT_TRUE(ReadWhole(back, bytes));
    EXPECT_EQ(back.P1Grid.North, 2000.0);
    EXPECT_EQ(back.P1Grid.East, 1000.0);
    EXPECT_EQ(back.P1Grid.Elev, 50.0);
    EXPECT_TRUE(back.IsEqual(r));
    back.VertIntersectionPoint.Elev = 4.0;
    EXPECT_FALSE(back.IsEqual(r));

    RecordingEnvironment env;
    EXPECT_FALSE(r.IsEqual(db_EchoSounding()));
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"this->GetType () == record.GetType ()"});
}

}  // namespace
