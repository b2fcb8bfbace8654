#include <gtest/gtest.h>

#include "records/precisioncoding.h"
#include "record_bytes.h"

namespace {

using namespace recbytes;

TEST(CalibrationRecords, DefaultConfigCalibLayout) {
    db_ConfigCalib c;
    FixHeader(c);
    Builder e;
    e.Header(76, 7, 1000.5).U8(0).U8(0).I16(1).U8(0).I16(2);
    e.F64(0.01).F64(0.02).F64(1.00001).F64(0.99999).F64(1e-05).I16(2).I32(0).Text("").Text("_GNSS");
    EXPECT_EQ(Written(c), e.b);
    EXPECT_TRUE(c.IsPersisted());
    EXPECT_FALSE(c.IsDefaultRequired());
}

TEST(CalibrationRecords, ConstantReadsBackSigned) {
    db_ConfigCalib c;
    c.PointName.Constant = -100000;
    c.PointName.Prefix = "P";
    db_ConfigCalib back;
    ASSERT_TRUE(ReadWhole(back, Written(c)));
    EXPECT_EQ(back.PointName.Constant, -100000);
    EXPECT_EQ(back.PointName.Prefix, "P");
    EXPECT_TRUE(back.IsEqual(c));
    back.PointName.Suffix = "_gnss";
    EXPECT_FALSE(back.IsEqual(c));
}

TEST(CalibrationRecords, DefaultCalibPointLayout) {
    db_CalibPoint p;
    FixHeader(p);
    const uint8_t nullBytes[8] = {0xA0, 0xC8, 0xEB, 0x85, 0xF3, 0xCC, 0xE1, 0x7F};
    Builder e;
    e.Header(40, 7, 1000.5).Text("").Text("").I16(0).F64(0).F64(0).F64(0);
    for (int i = 0; i < 6; ++i) e.b.insert(e.b.end(), nullBytes, nullBytes + 8);
    EXPECT_EQ(Written(p), e.b);
}

TEST(SettingsRecords, PrecisionMeteorologicalAndDescriptionsLayouts) {
    db_Precision precision;
    FixHeader(precision);
    precision.Vertical = 0.02;
    EXPECT_EQ(Written(precision), Builder().Header(31, 7, 1000.5).F64(0.0).F64(0.02).b);

    db_Meterological met;
    FixHeader(met);
    met.Pressure = 1013.25;
    met.RelativeHumidity = 55.0;
    EXPECT_EQ(Written(met), Builder().Header(62, 7, 1000.5).F64(1013.25).F64(0).F64(0).F64(55.0).b);
    EXPECT_TRUE(met.InvalidatesPositions());
    EXPECT_FALSE(met.IsPersisted());

    db_DescriptionsDefinition d;
    FixHeader(d);
    d.UseDescriptions = true;
    d.Description2Label = "Two";
    EXPECT_EQ(Written(d), Builder().Header(51, 7, 1000.5).U8(1).Text("").Text("Two").b);
    EXPECT_TRUE(d.IsPersisted());
    EXPECT_TRUE(d.IsDefaultRequired());
}

TEST(SettingsRecords, LabelsCompareWithCaseAndGetLabelKnowsOnlyOneAndTwo) {
    db_DescriptionsDefinition a, b;
    a.Description1Label = "Height";
    b.Description1Label = "HEIGHT";
    EXPECT_FALSE(a.IsEqual(b));
    b.Description1Label = "Height";
    EXPECT_TRUE(a.IsEqual(b));

    a.Description2Label = "Colour";
    const struct {
        int which;
        const char* label;
    } cases[] = {{1, "Height"}, {2, "Colour"}, {0, ""}, {3, ""}, {-1, ""}};
    for (const auto& c : cases) EXPECT_EQ(a.GetLabel(c.which), c.label) << c.which;
}

}  // namespace
