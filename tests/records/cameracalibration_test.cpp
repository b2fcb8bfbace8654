#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "records/cameracalibration.h"
#include "records/imaging.h"
#include "record_bytes.h"
#include "support/recording_environment.h"
#include "support/temp_folder.h"

namespace {

using namespace recbytes;

CameraCalibration Sample() {
    return CameraCalibration(1, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, 10.0, -1, 2, -3, 0.004, 0.005, 2048,
                             1536, 0.25, 0xABCD);
}

TEST(CameraRecord, CalibrationIs125BytesWithTheDateAfterErrMeas) {
    db_Camera camera(Sample());
    FixHeader(camera);
    const Bytes header = Builder().Header(133, 7, 1000.5).b;
    const Bytes bytes = Written(camera);
    ASSERT_EQ(bytes.size(), header.size() + 125);
    Builder expected;
    expected.Header(133, 7, 1000.5);
    for (int i = 1; i <= 10; ++i) expected.F64(i);
    expected.I16(-1).I16(2).I16(-3).F64(0.004).F64(0.005).U16(2048).U16(1536).F64(0.25);
    expected.U32(1).U32(0);  // CalibDate64 1 as eight bytes
    expected.U16(0xABCD).U8(1);
    EXPECT_EQ(bytes, expected.b);

    db_Camera back;
    ASSERT_TRUE(ReadWhole(back, bytes));
    EXPECT_TRUE(back.IsEqual(camera));
    EXPECT_EQ(back.Calibration.K1, -1);
    EXPECT_EQ(back.Calibration.CalibType, 0xABCD);
    EXPECT_EQ(Written(back), bytes);

    // A default camera: all zero and not calibrated.
    db_Camera empty;
    FixHeader(empty);
    Builder zero;
    zero.Header(133, 7, 1000.5);
    for (int i = 0; i < 10; ++i) zero.F64(0);
    zero.I16(0).I16(0).I16(0).F64(0).F64(0).U16(0).U16(0).F64(0).U32(0).U32(0).U16(0).U8(0);
    EXPECT_EQ(Written(empty), zero.b);
    EXPECT_FALSE(CameraCalibration::Default().IsCalibrated());
    EXPECT_EQ(&CameraCalibration::Default(), &CameraCalibration::Default());
}

TEST(CameraRecord, EqualityIncludesTheFlagButNotTheDerivedValue) {
    CameraCalibration a = Sample();
    CameraCalibration b = a;
    b.isCalibrated = false;
    EXPECT_NE(a, b);
    b = a;
    b.CalibDate64 = a.CalibDate64 + (int64_t{1} << 32);
    EXPECT_NE(a, b);

    // The derived value: the sensor's diagonal over three, in memory only.
    b = a;
    b.UpdateDerived();
    EXPECT_NEAR(b.GetDerived(), std::hypot(2048 * 0.004, 1536 * 0.005) / 3.0, 1e-15);
    EXPECT_EQ(a, b);
    db_Camera withDerived(b), without(a);
    EXPECT_EQ(Written(withDerived), Written(without));

    CameraCalibration c;
    c.AssignIfChanged(a);
    EXPECT_EQ(c, a);
}

class CalibrationFiles : public ::testing::Test {
protected:
    Str Path(const std::string& name, const std::string& text) { return Str(folder.Write(name, text).c_str()); }
    TempFolder folder;
};

TEST_F(CalibrationFiles, ReadsTwentyRowsIntoTheCalibration) {
    std::string text;
    for (int row = 0; row < 25; ++row) text += std::to_string(row + 0.5) + " " + std::to_string(-row) + "\n";
    CameraCalibrationFile file;
    file.PixelCountX = 7;
    file.ErrMeas = 9.0;
    ASSERT_TRUE(file.Load(Path("cal.txt", text)));
    EXPECT_EQ(file.GetEntryCount(), 20);
    EXPECT_EQ(file.X0, 0.5);
    EXPECT_EQ(file.I, 9.5);
    EXPECT_EQ(file.K1, 10);
    EXPECT_EQ(file.P1, 13);
    EXPECT_EQ(file.P2, 14);
    EXPECT_EQ(file.PixelSizeX, 17.5);
    EXPECT_EQ(file.PixelSizeY, 18.5);
    EXPECT_EQ(file.PixelCountX, 2048);
    EXPECT_EQ(file.PixelCountY, 1536);
    EXPECT_EQ(file.ErrMeas, 9.0);  // not in the file
    EXPECT_TRUE(file.IsCalibrated());
    EXPECT_EQ(file.GetEntry(19, 1), -19.0);

    RecordingEnvironment env;
    EXPECT_EQ(file.GetEntry(20, 0), 0.0);
    EXPECT_EQ(file.GetEntry(0, 2), 0.0);
    EXPECT_EQ(file.GetEntry(-1, 0), 0.0);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"(row < iEntryNo) && (col < MAX_COL)",
                                                           "(row < iEntryNo) && (col < MAX_COL)",
                                                           "(row >= 0) && (col >= 0)"}));
}

TEST_F(CalibrationFiles, CoefficientsTruncateAndBadRowsLeaveThemAlone) {
    const struct {
        const char* k1;
        int16_t expected;
        bool reported;
    } cases[] = {{"-2.7", -2, false}, {"2.7", 2, false}, {"70000", 70000 - 65536, false},
                 {"nan", 5, true},    {"inf", 5, true},  {"1e12", 5, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.k1);
        std::string text;
        for (int row = 0; row < 10; ++row) text += "1 0\n";
        text += std::string(c.k1) + " 0\n";
        RecordingEnvironment env;
        CameraCalibrationFile file;
        file.K1 = 5;
        ASSERT_TRUE(file.Load(Path("k.txt", text)));
        EXPECT_EQ(file.K1, c.expected);
        EXPECT_EQ(file.P1, 0);  // rows the file lacks read as zero
        EXPECT_EQ(env.Expressions(), c.reported ? std::vector<std::string>{"row value fits an integer"}
                                                : std::vector<std::string>{});
    }
}

TEST_F(CalibrationFiles, EmptyAndMissingFiles) {
    CameraCalibrationFile file;
    file.X0 = 3.0;
    ASSERT_TRUE(file.Load(Path("one.txt", "1 2\n2 3\n")));
    EXPECT_EQ(file.Y0, 2.0);
    ASSERT_TRUE(file.Load(Path("empty.txt", "")));
    EXPECT_EQ(file.GetEntryCount(), 0);
    EXPECT_TRUE(file.IsCalibrated());  // an empty file does not clear the flag
    EXPECT_EQ(file.X0, 0.0);
    EXPECT_EQ(file.Y0, 0.0);  // the earlier file's rows are gone
    CameraCalibrationFile fresh;
    ASSERT_TRUE(fresh.Load(Path("empty.txt", "")));
    EXPECT_FALSE(fresh.IsCalibrated());
    EXPECT_EQ(file.PixelCountX, 2048);

    RecordingEnvironment env;
    CameraCalibrationFile missing;
    missing.X0 = 3.0;
    EXPECT_FALSE(missing.Load(Str((folder / "none.txt").c_str())));
    EXPECT_EQ(missing.X0, 3.0);
    EXPECT_EQ(missing.PixelCountX, 0);
    CalibrationRowFile row;
    EXPECT_FALSE(row.Load(Str((folder / "none.txt").c_str())));
    EXPECT_FALSE(row.IsValid());
}

TEST_F(CalibrationFiles, RowFileReadsOnlyTheFirstLine) {
    CalibrationRowFile row;
    ASSERT_TRUE(row.Load(Path("row.txt", "1 2.5 -3 4e1 5\n6 7 8 9 10\n11 12 13 14 15\n")));
    EXPECT_TRUE(row.IsValid());
    EXPECT_TRUE(row == true);
    EXPECT_EQ(row.GetEntryCount(), 1);
    EXPECT_EQ(row.GetEntry(0, 1), 2.5);
    EXPECT_EQ(row.GetEntry(0, 3), 40.0);
    EXPECT_EQ(row.GetEntry(0, 4), 5.0);
    RecordingEnvironment env;
    EXPECT_EQ(row.GetEntry(1, 0), 0.0);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"(row < iEntryNo) && (col < MAX_COL)"});
}

}  // namespace
