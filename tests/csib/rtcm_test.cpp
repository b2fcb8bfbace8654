// RTCM transformation data: files laid out byte by byte read and written back, file
// names, the transformation modes against PROJ values, the residual interpolations,
// merging received blocks, the model's conversions and refused files.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "csib/csibplatform.h"
#include "csib/glue.h"
#include "csib/rtcm.h"
#include "support/rtd_writer.h"
#include "support/temp_folder.h"

namespace {

using rtdtest::Row;
using rtdtest::RtdLayout;

constexpr double kDeg = 3.141592653589793 / 180.0;

// The record is large: one per test on the heap.
struct Record {
    rtcm_Transformation* r = static_cast<rtcm_Transformation*>(csib_MemAlloc(sizeof(rtcm_Transformation)));
    Record() { rtcm_Init(r); }
    ~Record() {
        rtcm_Reset(r);
        csib_MemFree(r);
    }
    rtcm_Transformation* operator->() const { return r; }
    void Name(const std::string& path) { std::strncpy(r->fileName, path.c_str(), RTCM_FileNameSize - 1); }
};

struct Block {
    csib_Block* block = nullptr;
    Block() { EXPECT_EQ(CSIB_Ok, csib_Create(&block, 1, 6378137.0, 6356752.3142)); }
    ~Block() { csib_Free(&block); }
};

const uint8_t* Bytes(const std::string& text) { return reinterpret_cast<const uint8_t*>(text.c_str()); }

double Residual(const Record& record, int layer, int32_t row, int32_t column) {
    double value = 0.0;
    EXPECT_EQ(CSIB_Ok, rtcm_GetResidual(record.r, layer, row, column, &value));
    return value;
}

// Grids of 5 rows (46..48 N) and 7 columns (7..10 E) every half degree.
RtdLayout WithRows() {
    RtdLayout s;
    s.layers[0] = {{1.5, 1.5, 3.5, 0.5, {1e-7, 2e-7, 3e-7}}, {1.5, 0.5, 0.5, 4.5, {-4e-7}}};
    s.layers[1] = {{2.5, 2.5, 4.5, 2.5, {5e-7, -9999.0, 6e-7}}};
    return s;
}

TEST(RtcmFile, ReadAndWrittenBackByteForByte) {
    TempFolder folder;
    const RtdLayout layout = WithRows();
    const std::string original = rtdtest::File(layout);
    const RtdLayout foreign = [&layout] {
        RtdLayout f = layout;
        f.source = "Another source";
        f.sourceA = 6378388.0;
        f.sourceB = 6356911.946;
        return f;
    }();
    for (const RtdLayout* s : {&layout, &foreign}) {
        Record r;
        r.Name(folder.Write("in.RTD", rtdtest::File(*s)));
        ASSERT_EQ(CSIB_Ok, rtcm_ReadFile(r.r));
        EXPECT_STREQ("World Geodetic System 1984", r->header.sourceName);
        EXPECT_EQ(6378137.0, r->header.sourceA);
        EXPECT_EQ(6356752.3142, r->header.sourceB);
        EXPECT_STREQ("Bessel local", r->header.targetName);
        EXPECT_EQ(0x1A2B, r->header.gridId);
        EXPECT_EQ(5, r->rows);
        EXPECT_EQ(7, r->columns);
        EXPECT_NEAR(46.0 * kDeg, r->south, 1e-15);
        EXPECT_NEAR(10.0 * kDeg, r->east, 1e-15);
        EXPECT_EQ(2e-7, Residual(r, 0, 0, 2));
        EXPECT_EQ(-4e-7, Residual(r, 0, 4, 0));
        EXPECT_EQ(RTCM_Empty, Residual(r, 0, 0, 0));
        EXPECT_EQ(RTCM_Empty, Residual(r, 1, 2, 3));
        EXPECT_EQ(6e-7, Residual(r, 1, 2, 4));
        EXPECT_EQ(nullptr, r->residuals[2][0]);
        EXPECT_EQ(nullptr, r->residuals[0][1]);
        // A row holding no value is not written.
        ASSERT_EQ(CSIB_Ok, rtcm_SetResidual(r.r, 2, 3, 3, RTCM_Empty));
        r.Name(folder / "out.RTD");
        ASSERT_EQ(CSIB_Ok, rtcm_WriteFile(r.r));
        EXPECT_EQ(original, TempFolder::Read(folder / "out.RTD"));

        Record back;
        back.Name(folder / "out.RTD");
        ASSERT_EQ(CSIB_Ok, rtcm_ReadFile(back.r));
        EXPECT_EQ(CSIB_Ok, rtcm_HeadersEqual(r.r, back.r));
        EXPECT_EQ(CSIB_Ok, csibglue_RtcmHeadersEqual(r.r, back.r));
    }
    Record other;
    EXPECT_EQ(CSIB_MissingOutput, rtcm_HeadersEqual(other.r, nullptr));
    EXPECT_EQ(CSIB_MissingOutput, rtcm_HeadersEqual(nullptr, other.r));
}

TEST(RtcmFile, RefusedFiles) {
    TempFolder folder;
    const auto damaged = [](void (*change)(RtdLayout&)) {
        RtdLayout s = WithRows();
        change(s);
        return rtdtest::File(s);
    };
    const std::string good = rtdtest::File(WithRows());
    const struct {
        const char* what;
        std::string bytes;
        csib_Status status;
    } cases[] = {
        {"short header", good.substr(0, 299), CSIB_FileReadFailed},
        {"title", damaged([](RtdLayout& s) { s.title = "RTCM Trafo Data Fila"; }), CSIB_FileContentInvalid},
        {"version 2", damaged([](RtdLayout& s) { s.version = 2; }), CSIB_FileContentInvalid},
        {"latitude spacing 0", damaged([](RtdLayout& s) { s.latitudeSpacing = 0.0; }), CSIB_FileContentInvalid},
        {"longitude spacing -1", damaged([](RtdLayout& s) { s.longitudeSpacing = -1.0; }), CSIB_FileContentInvalid},
        {"spacing NaN", damaged([](RtdLayout& s) { s.latitudeSpacing = NAN; }), CSIB_FileContentInvalid},
        {"scale 0", damaged([](RtdLayout& s) { s.scale = 0.0; }), CSIB_FileContentInvalid},
        {"1001 rows", damaged([](RtdLayout& s) { s.latitudeSpacing = s.latitudeExtent / 1000.0; }), CSIB_TooLarge},
        {"negative extent", damaged([](RtdLayout& s) { s.longitudeExtent = -1.0; }), CSIB_BadGridDimensions},
        {"row record of layer 2 in layer 1",
         damaged([](RtdLayout& s) { s.layers[0][0].layer = 2.5; }), CSIB_FileContentInvalid},
        {"last column below the first",
         damaged([](RtdLayout& s) { s.layers[0][1] = {1.5, 3.5, 2.5, 1.5, {}}; }), CSIB_FileContentInvalid},
        {"row 1001", damaged([](RtdLayout& s) { s.layers[0][1].row = 1001.5; }), CSIB_FileContentInvalid},
        {"row beyond the grid", damaged([](RtdLayout& s) { s.layers[0][1].row = 5.5; }), CSIB_OutsideGrid},
        {"residual not finite", damaged([](RtdLayout& s) { s.layers[1][0].values[0] = INFINITY; }),
         CSIB_FileContentInvalid},
        {"layers cut short", good.substr(0, good.size() - 8), CSIB_FileContentInvalid},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Record r;
        r.Name(folder.Write("bad.RTD", c.bytes));
        const int64_t live = csib_LiveAllocations();
        EXPECT_EQ(c.status, rtcm_ReadFile(r.r));
        EXPECT_EQ(live, csib_LiveAllocations());
        EXPECT_EQ(0, r->rows) << "a failed read leaves the record reset";
        EXPECT_EQ(nullptr, r->residuals[0][0]);
    }
    // Scale 0 means nothing to a translation.
    Record translation;
    translation.Name(folder.Write("t.RTD", damaged([](RtdLayout& s) { s.scale = 0.0, s.computationMode = 2; })));
    EXPECT_EQ(CSIB_Ok, rtcm_ReadFile(translation.r));
    Record missing, unnamed;
    missing.Name(folder / "none.RTD");
    EXPECT_EQ(CSIB_FileOpenFailed, rtcm_ReadFile(missing.r));
    EXPECT_EQ(CSIB_NoFileName, rtcm_ReadFile(unnamed.r));
    EXPECT_EQ(CSIB_NoFileName, rtcm_ReadHeader(unnamed.r, ""));
    EXPECT_EQ(CSIB_FileOpenFailed, rtcm_ReadHeader(unnamed.r, (folder / "none.RTD").c_str()));
    EXPECT_EQ(CSIB_NoFileName, rtcm_WriteFile(unnamed.r));
    EXPECT_FALSE(csibglue_RtcmReadHeader(unnamed.r, (folder / "none.RTD").c_str()));
    EXPECT_TRUE(csibglue_RtcmReadHeader(unnamed.r, folder.Write("h.RTD", good.substr(0, 300)).c_str()));
    EXPECT_EQ(0x1A2B, unnamed->header.gridId);
}

TEST(RtcmFile, GridSizeAndResidualBounds) {
    Record r;
    EXPECT_EQ(CSIB_TooLarge, rtcm_SetGridSize(r.r, 1001, 5));
    EXPECT_EQ(0, r->rows);
    EXPECT_EQ(CSIB_BadGridDimensions, rtcm_SetGridSize(r.r, 5, -1));
    ASSERT_EQ(CSIB_Ok, rtcm_SetGridSize(r.r, 1000, 3));
    double value = 0.0;
    EXPECT_EQ(CSIB_OutsideGrid, rtcm_GetResidual(r.r, 0, 1000, 0, &value));
    EXPECT_EQ(RTCM_Empty, value);
    EXPECT_EQ(CSIB_OutsideGrid, rtcm_SetResidual(r.r, 0, 0, 3, 1.0));
    EXPECT_EQ(CSIB_OutsideGrid, rtcm_SetResidual(r.r, 0, -1, 0, 1.0));
    ASSERT_EQ(CSIB_Ok, rtcm_SetResidual(r.r, 2, 999, 2, 1.5));
    EXPECT_EQ(RTCM_Empty, Residual(r, 2, 999, 1));
    EXPECT_EQ(1.5, Residual(r, 2, 999, 2));
    const int64_t live = csib_LiveAllocations();
    csib_FailAllocation(1);
    EXPECT_EQ(CSIB_OutOfMemory, rtcm_SetResidual(r.r, 1, 0, 0, 1.0));
    csib_FailAllocation(0);
    EXPECT_EQ(live, csib_LiveAllocations());
}

TEST(RtcmFile, FileNames) {
    const struct {
        double degrees;
        const char* letters;
        const char* text;
    } bounds[] = {
        {47.46, "NS", "047N5"}, {-12.34, "EW", "012W2"}, {12.34, "EW", "012E3"}, {0.0, "NS", "000N0"},
        {-47.46, "NS", "047S4"}, {179.99, "EW", "180E0"},
    };
    for (const auto& b : bounds) {
        char text[16];
        rtcm_FormatBound(b.degrees * kDeg, b.letters, text);
        EXPECT_STREQ(b.text, text) << b.degrees;
    }
    Record r;
    std::strcpy(r->header.targetName, "ETRS89 local");
    r->header.systemId = 12;
    r->header.computationMode = 1;
    r->header.heightMode = 2;
    r->header.indicators[0] = 3;
    r->header.indicators[1] = 0;
    r->header.gridId = 0xBEEF;
    r->south = 47.46 * kDeg;
    r->north = 48.04 * kDeg;
    r->west = -12.34 * kDeg;
    r->east = 12.34 * kDeg;
    char name[RTCM_FileNameSize];
    ASSERT_EQ(CSIB_Ok, rtcm_GetFileName(r.r, name, sizeof name));
    EXPECT_STREQ("ETRS89 local-12-047N5-048N0-012W2-012E3-BCDA.RTD", name);
    r->header.messageFlags = 1;
    EXPECT_EQ(Str("ETRS89 local-12-047N5-048N0-012W2-012E3-BCDA-BEEF.RTD"), csibglue_RtcmFileName(r.r));
    EXPECT_EQ(CSIB_MissingOutput, rtcm_GetFileName(r.r, name, 259));
    EXPECT_EQ(CSIB_MissingOutput, rtcm_GetFileName(r.r, nullptr, 300));
    // A target name filling all 32 bytes has no NUL: it ends there.
    std::memset(r->header.targetName, 'T', sizeof r->header.targetName);
    ASSERT_EQ(CSIB_Ok, rtcm_GetFileName(r.r, name, sizeof name));
    EXPECT_EQ(std::string(32, 'T') + "-12-047N5-048N0-012W2-012E3-BCDA-BEEF.RTD", name);
}

// --- Transformation -------------------------------------------------------------------

csib_GeodeticPoint Point(double latDeg, double lonDeg, double h) {
    csib_GeodeticPoint p{};
    p.latitude = latDeg * kDeg;
    p.longitude = lonDeg * kDeg;
    p.ellipsoidHeight = h;
    p.hasEllipsoidHeight = 1;
    return p;
}

// WGS84 (b 6356752.3142) to a = 6377397.155, b = 6356078.962818 with these
// parameters (rotations 1e-5, -2e-5, 3e-5 rad, s 5 ppm). cct -d 12 through cart with
//   1: helmert +exact +convention=coordinate_frame
//   3: molobadekas +px=4300000 +py=650000 +pz=4700000 +convention=coordinate_frame
//   0: helmert +convention=coordinate_frame
//   2: helmert with the translation alone
struct Transformed {
    double lat, lon, h;
};
// Back to WGS84 by the transpose of R: the inputs again for the exact rotation and
// the translation, cct -I of the same pipelines for the small-angle matrices.
struct ModeCase {
    uint8_t mode;
    Transformed out[3];
    Transformed back[3];
};
const double kInputs[3][3] = {{47.5, 8.5, 500.0}, {46.0, 10.0, 1000.0}, {48.2, 7.1, 0.0}};
const ModeCase kModes[] = {
    {1,
     {{47.496666691774, 8.498477635460, 1947.689457288012},
      {45.996826703310, 9.998224497733, 2453.139708666131},
      {48.196598605985, 7.098717267630, 1444.931860551238}},
     {{47.5, 8.5, 500.0}, {46.0, 10.0, 1000.0}, {48.2, 7.1, 0.0}}},
    {3,
     {{47.497893944002, 8.499775928451, 1916.217277945019},
      {45.998029512345, 9.999527903698, 2419.914222204126},
      {48.197844948772, 7.099992812775, 1413.560235260986}},
     {{47.500000000213, 8.499999999677, 499.999967253767},
      {45.999999998836, 10.000000000342, 1000.000102856196},
      {48.200000000745, 7.099999998625, -0.000122642145}}},
    {0,
     {{47.496666685989, 8.498477673558, 1947.691633763723},
      {45.996826696573, 9.998224533806, 2453.142019051127},
      {48.196598600973, 7.098717306654, 1444.933945824392}},
     {{47.499999976515, 8.500000048056, 500.004348503426},
      {45.999999975566, 10.000000045723, 1000.004616702907},
      {48.199999977175, 7.100000049260, 0.004165752791}}},
    {2,
     {{47.497884828198, 8.499765669178, 1916.302021869458},
      {45.998055250219, 9.999567469312, 2421.752202630974},
      {48.197806478209, 7.099961676832, 1413.543489949778}},
     {{47.5, 8.5, 500.0}, {46.0, 10.0, 1000.0}, {48.2, 7.1, 0.0}}},
};

TEST(RtcmDatum, ModesAgainstPROJWithinANanodegreeAndAMillimetre) {
    TempFolder folder;
    for (const ModeCase& m : kModes) {
        SCOPED_TRACE(int(m.mode));
        RtdLayout s;
        s.messageFlags = 0;
        s.computationMode = m.mode;
        s.centreLatitude = 47.0 * kDeg;
        s.latitudeExtent = 4.0 * kDeg;
        s.longitudeExtent = 4.0 * kDeg;
        Block b;
        const std::string path = folder.Write("mode" + std::to_string(m.mode) + ".RTD", rtdtest::File(s));
        ASSERT_EQ(CSIB_Ok, csib_SetDatum(b.block, 6, Bytes(path)));
        for (int i = 0; i < 3; ++i) {
            const csib_GeodeticPoint wgs = Point(kInputs[i][0], kInputs[i][1], kInputs[i][2]);
            csib_GeodeticPoint local{};
            local.hasOrthometricHeight = 1;
            ASSERT_EQ(CSIB_Ok, b.block->datum.FromWGS84(b.block, &wgs, &local));
            EXPECT_NEAR(m.out[i].lat, local.latitude / kDeg, 1e-9);
            EXPECT_NEAR(m.out[i].lon, local.longitude / kDeg, 1e-9);
            EXPECT_NEAR(m.out[i].h, local.ellipsoidHeight, 1e-3);
            EXPECT_EQ(1, local.hasEllipsoidHeight);
            EXPECT_EQ(0, local.hasOrthometricHeight) << "the output's orthometric flag is cleared";
            const csib_GeodeticPoint pinned = Point(m.out[i].lat, m.out[i].lon, m.out[i].h);
            csib_GeodeticPoint back{};
            ASSERT_EQ(CSIB_Ok, b.block->datum.ToWGS84(b.block, &pinned, &back));
            EXPECT_NEAR(m.back[i].lat, back.latitude / kDeg, 1e-9);
            EXPECT_NEAR(m.back[i].lon, back.longitude / kDeg, 1e-9);
            EXPECT_NEAR(m.back[i].h, back.ellipsoidHeight, 1e-3);
        }
        csib_GeodeticPoint flat = Point(47.0, 8.0, 0.0), out{};
        flat.hasEllipsoidHeight = 0;
        EXPECT_EQ(CSIB_RTCMNoHeight, b.block->datum.FromWGS84(b.block, &flat, &out));
        EXPECT_EQ(CSIB_RTCMNoHeight, b.block->datum.ToWGS84(b.block, &flat, &out));
        void* parameter = nullptr;
        ASSERT_EQ(CSIB_Ok, b.block->datum.GetParameters(b.block, 0, &parameter));
        EXPECT_EQ(path, static_cast<const char*>(parameter));
        int32_t size = 0;
        ASSERT_EQ(CSIB_Ok, b.block->datum.GetSavedSize(b.block, 1, &size));
        EXPECT_EQ(static_cast<int32_t>(path.size()) + 1, size);
    }
}

TEST(RtcmDatum, WithoutAFileNameTheModelLoadsAndDoesNotConvert) {
    Block b;
    ASSERT_EQ(CSIB_Ok, csib_SetDatum(b.block, 6, Bytes("")));
    const csib_GeodeticPoint wgs = Point(47.0, 8.0, 400.0);
    csib_GeodeticPoint out{};
    EXPECT_EQ(CSIB_NoFileName, b.block->datum.FromWGS84(b.block, &wgs, &out));
    EXPECT_EQ(CSIB_NoFileName, b.block->datum.ToWGS84(b.block, &wgs, &out));
    EXPECT_EQ(CSIB_Ok, b.block->datum.Close(b.block));
    EXPECT_EQ(CSIB_Ok, b.block->datum.Reopen(b.block));
    Block missing;
    EXPECT_EQ(CSIB_FileOpenFailed, csib_SetDatum(missing.block, 6, Bytes("no such file.RTD")));
}

// --- Residual interpolation ---------------------------------------------------------

// A grid of unit spacing from (0, 0) radians; the file name only has to be there.
void UnitGrid(Record& r, int32_t rows, int32_t columns, double (*field)(int32_t, int32_t)) {
    ASSERT_EQ(CSIB_Ok, rtcm_SetGridSize(r.r, rows, columns));
    r.Name("grid.RTD");
    r->header.latitudeSpacing = 1.0;
    r->header.longitudeSpacing = 1.0;
    r->north = rows - 1.0;
    r->east = columns - 1.0;
    for (int32_t row = 0; row < rows; ++row)
        for (int32_t column = 0; column < columns; ++column)
            ASSERT_EQ(CSIB_Ok, rtcm_SetResidual(r.r, 1, row, column, field(row, column)));
}

TEST(RtcmResiduals, LinearFieldsAndTheCubicKernel) {
    Record r;
    UnitGrid(r, 6, 6, [](int32_t row, int32_t column) { return 2.0 + 3.0 * row - 0.5 * column; });
    const double points[][2] = {{2.3, 1.7}, {1.0, 1.0}, {3.9, 2.05}, {1.5, 3.5}};
    for (const auto& p : points) {
        for (int method : {0, 1}) {
            double value = 0.0;
            ASSERT_EQ(CSIB_Ok, rtcm_InterpolateResidual(r.r, p[0], p[1], 1, method, &value));
            EXPECT_NEAR(2.0 + 3.0 * p[0] - 0.5 * p[1], value, 1e-12) << method << " at " << p[0] << ", " << p[1];
        }
    }
    // The cubic kernel passes the nodes but not a line.
    Record cubic;
    UnitGrid(cubic, 5, 5, [](int32_t, int32_t column) { return 1.0 * column; });
    double value = 0.0;
    ASSERT_EQ(CSIB_Ok, rtcm_InterpolateResidual(cubic.r, 1.0, 1.25, 1, 2, &value));
    EXPECT_DOUBLE_EQ(1.34375, value);
    EXPECT_EQ(1.34375, rtcm_Cubic(0.0, 1.0, 2.0, 3.0, 0.25));
    ASSERT_EQ(CSIB_Ok, rtcm_InterpolateResidual(cubic.r, 2.0, 2.0, 1, 2, &value));
    EXPECT_EQ(2.0, value);

    const struct {
        const char* what;
        double lat, lon;
        int method;
        csib_Status status;
    } refused[] = {
        {"bilinear at the last row", 5.0, 1.5, 0, CSIB_OutsideGrid},
        {"bilinear at the last column", 1.5, 5.0, 0, CSIB_OutsideGrid},
        {"biquadratic in the first row", 0.5, 2.5, 1, CSIB_OutsideGrid},
        {"bicubic in the last cell", 4.5, 2.5, 2, CSIB_OutsideGrid},
        {"outside the area", -0.1, 1.0, 0, CSIB_OutsideGrid},
        {"method 3", 2.5, 2.5, 3, CSIB_InterpolationNotSupported},
    };
    for (const auto& c : refused) {
        ASSERT_EQ(c.status, rtcm_InterpolateResidual(r.r, c.lat, c.lon, 1, c.method, &value)) << c.what;
        EXPECT_EQ(RTCM_Empty, value);
    }
    ASSERT_EQ(CSIB_Ok, rtcm_SetResidual(r.r, 1, 3, 3, RTCM_Empty));
    for (int method : {0, 1, 2})
        EXPECT_EQ(CSIB_NullCell, rtcm_InterpolateResidual(r.r, 2.5, 2.5, 1, method, &value)) << method;
    EXPECT_EQ(CSIB_NullCell, rtcm_InterpolateResidual(r.r, 2.5, 2.5, 0, 0, &value)) << "an empty layer";
    r->fileName[0] = 0;
    EXPECT_EQ(CSIB_NoFileName, rtcm_InterpolateResidual(r.r, 1.5, 1.5, 1, 0, &value));
}

// --- Received blocks ------------------------------------------------------------------

// A block centred at (lat, lon) whose residual k of set `set` is base + 100 set + k.
std::vector<uint8_t> ReceivedBlock(uint8_t systemId, double lat, double lon, double base) {
    std::vector<double> doubles(61, 0.0);
    doubles[8] = lat;
    doubles[9] = lon;
    for (int set = 0; set < 3; ++set)
        for (int k = 0; k < 16; ++k) doubles[13 + 16 * set + k] = base + 100.0 * set + k;
    std::vector<uint8_t> bytes(RTCM_ResidualBlockBytes);
    std::memcpy(bytes.data(), doubles.data(), bytes.size());
    bytes[4] = systemId;
    return bytes;
}

TEST(RtcmResiduals, MergingReceivedBlocks) {
    TempFolder folder;
    RtdLayout s;
    s.layers[0] = {{1.5, 0.5, 0.5, 0.5, {1e-7}}};
    const std::string path = folder.Write("merge.RTD", rtdtest::File(s));
    Record r;
    r.Name(path);
    ASSERT_EQ(CSIB_Ok, rtcm_ReadFile(r.r));
    const double spacing = s.latitudeSpacing;
    // Centred 1.5 spacings inside the south-west corner: nodes (0..3, 0..3).
    const std::vector<uint8_t> corner = ReceivedBlock(7, r->south + 1.5 * spacing, r->west + 1.5 * spacing, 1.0);
    EXPECT_EQ(CSIB_MissingOutput, rtcm_StoreResidualBlock(r.r, ReceivedBlock(8, 0.0, 0.0, 1.0).data()));
    ASSERT_EQ(CSIB_Ok, csibglue_RtcmStoreResidualBlock(r.r, corner.data()));
    // Residual 4 (3 - s) + t at row s, column t: the first set lists north first.
    EXPECT_EQ(1.0 + 12, Residual(r, 0, 0, 0));
    EXPECT_EQ(1.0 + 3, Residual(r, 0, 3, 3));
    EXPECT_EQ(101.0 + 9, Residual(r, 1, 1, 1));
    EXPECT_EQ(201.0 + 6, Residual(r, 2, 2, 2));
    Record reread;
    reread.Name(path);
    ASSERT_EQ(CSIB_Ok, rtcm_ReadFile(reread.r));
    EXPECT_EQ(1.0 + 12, Residual(reread, 0, 0, 0));
    EXPECT_EQ(201.0 + 6, Residual(reread, 2, 2, 2));

    // An equal block changes nothing and does not touch the file.
    folder.Write("merge.RTD", "left alone");
    ASSERT_EQ(CSIB_Ok, rtcm_StoreResidualBlock(r.r, corner.data()));
    EXPECT_EQ("left alone", TempFolder::Read(path));

    // A block over the north-east corner: only its inside nodes (rows 3, 4, columns
    // 5, 6) are stored.
    const std::vector<uint8_t> northEast = ReceivedBlock(7, r->north, r->east, 1000.0);
    ASSERT_EQ(CSIB_Ok, rtcm_StoreResidualBlock(r.r, northEast.data()));
    EXPECT_EQ(1000.0 + 4 * 3 + 0, Residual(r, 0, 3, 5));
    EXPECT_EQ(1000.0 + 4 * 2 + 1, Residual(r, 0, 4, 6));
    EXPECT_EQ(RTCM_Empty, Residual(r, 0, 2, 5));

    // A block whose corner lies one spacing south-west of the grid: its second row and
    // column land on the grid's first (truncating would store it one node off).
    Record shifted;
    shifted.Name(folder.Write("corner.RTD", rtdtest::File(RtdLayout())));
    ASSERT_EQ(CSIB_Ok, rtcm_ReadFile(shifted.r));
    const std::vector<uint8_t> below =
        ReceivedBlock(7, shifted->south + 0.5 * spacing, shifted->west + 0.5 * spacing, 1.0);
    ASSERT_EQ(CSIB_Ok, rtcm_StoreResidualBlock(shifted.r, below.data()));
    EXPECT_EQ(1.0 + 4 * 2 + 1, Residual(shifted, 0, 0, 0));
    EXPECT_EQ(1.0 + 4 * 0 + 3, Residual(shifted, 0, 2, 2));
    EXPECT_EQ(RTCM_Empty, Residual(shifted, 0, 3, 0));
    EXPECT_EQ(RTCM_Empty, Residual(shifted, 0, 0, 3));
}

// A local system with residual grids of linear fields over the area: the model adds
// them to the transformation, and ToWGS84 iterates back to the WGS84 point.
TEST(RtcmDatum, ResidualsAddedAndTheRoundTrip) {
    TempFolder folder;
    RtdLayout s;
    s.heightMode = 1;
    for (int layer = 0; layer < 3; ++layer) {
        for (int row = 0; row < 5; ++row) {
            Row record{layer + 1.5, 0.5, 6.5, row + 0.5, {}};
            for (int column = 0; column < 7; ++column)
                record.values.push_back(layer == 2 ? 0.05 + 0.01 * row - 0.02 * column
                                                    : (1.0 + 0.5 * row + 0.25 * column) * 1e-7 * (layer + 1));
            s.layers[layer].push_back(record);
        }
    }
    RtdLayout plain = s;
    plain.messageFlags = 0;
    Block withGrids, without;
    ASSERT_EQ(CSIB_Ok, csib_SetDatum(withGrids.block, 6, Bytes(folder.Write("grids.RTD", rtdtest::File(s)))));
    ASSERT_EQ(CSIB_Ok, csib_SetDatum(without.block, 6, Bytes(folder.Write("plain.RTD", rtdtest::File(plain)))));
    for (const auto& [lat, lon] : {std::pair{47.2, 8.3}, std::pair{46.6, 9.7}, std::pair{47.9, 7.2}}) {
        SCOPED_TRACE(lat);
        const csib_GeodeticPoint wgs = Point(lat, lon, 600.0);
        csib_GeodeticPoint a{}, b{};
        ASSERT_EQ(CSIB_Ok, without.block->datum.FromWGS84(without.block, &wgs, &a));
        ASSERT_EQ(CSIB_Ok, withGrids.block->datum.FromWGS84(withGrids.block, &wgs, &b));
        const auto* record = static_cast<const rtcm_Transformation*>(withGrids.block->datumParameters);
        const double row = (a.latitude - record->south) / s.latitudeSpacing;
        const double column = (a.longitude - record->west) / s.longitudeSpacing;
        EXPECT_NEAR(a.latitude + (1.0 + 0.5 * row + 0.25 * column) * 1e-7, b.latitude, 1e-15);
        EXPECT_NEAR(a.longitude + (1.0 + 0.5 * row + 0.25 * column) * 2e-7, b.longitude, 1e-15);
        EXPECT_NEAR(a.ellipsoidHeight - (0.05 + 0.01 * row - 0.02 * column), b.ellipsoidHeight, 1e-9);
        csib_GeodeticPoint back{};
        ASSERT_EQ(CSIB_Ok, withGrids.block->datum.ToWGS84(withGrids.block, &b, &back));
        EXPECT_NEAR(wgs.latitude, back.latitude, 1e-14);
        EXPECT_NEAR(wgs.longitude, back.longitude, 1e-14);
        EXPECT_NEAR(wgs.ellipsoidHeight, back.ellipsoidHeight, 1e-4);
    }
    // Outside the residual grids: the interpolation's status.
    const csib_GeodeticPoint far = Point(50.0, 8.5, 0.0);
    csib_GeodeticPoint out{};
    EXPECT_EQ(CSIB_OutsideGrid, withGrids.block->datum.FromWGS84(withGrids.block, &far, &out));
    EXPECT_EQ(CSIB_Ok, without.block->datum.FromWGS84(without.block, &far, &out));
}

}  // namespace
