// The grid-based models on synthetic grids of linear fields: the geoid grid through the
// pipeline, both datum grid kinds in each direction and saved form, the United Kingdom
// national grid against PROJ values, and releasing and reopening their files.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "csib/csibplatform.h"
#include "csib/gridfile.h"
#include "csib/image.h"
#include "csib/pipeline.h"
#include "csib/projection_ukgrid.h"
#include "foundation/kernel/maths.h"
#include "support/grid_writer.h"
#include "support/temp_folder.h"

namespace {

using gridtest::AsString;
using gridtest::Embedded;
using gridtest::GridLayout;

constexpr double kDeg = 3.141592653589793 / 180.0;
constexpr double kArcSecond = 4.84813681109536e-06;


const uint8_t* Bytes(const std::string& text) { return reinterpret_cast<const uint8_t*>(text.c_str()); }

struct Block {
    csib_Block* block = nullptr;
    explicit Block(uint8_t gridMode, double b = 6356752.3142) {
        EXPECT_EQ(CSIB_Ok, csib_Create(&block, gridMode, 6378137.0, b));
    }
    ~Block() { csib_Free(&block); }
};

// Geographic grids over 10..12 N, 20..21.25 E; fields linear in degrees.
GridLayout Geographic(bool targetIndexed = false) {
    GridLayout s;
    s.targetIndexed = targetIndexed;
    return s;
}
double LatitudeShift(double lat, double lon) { return 1.5 + 0.1 * lat + 0.05 * lon; }     // arc-seconds
double LongitudeShift(double lat, double lon) { return -2.0 + 0.02 * lat - 0.03 * lon; }  // positive west
double HeightShift(double lat, double lon) { return 3.0 + 0.1 * lat - 0.2 * lon; }
double Separation(double lat, double lon) { return 40.0 + 0.5 * lat - 0.25 * lon; }

using DegreeField = double (*)(double, double);
std::vector<uint8_t> FieldGrid(const GridLayout& s, DegreeField f) {
    return gridtest::GridImage(s, [&](int32_t r, int32_t c) {
        return f(s.south + r * s.rowSpacing, s.west + c * s.columnSpacing);
    });
}

csib_GeodeticPoint Point(double latDeg, double lonDeg, double h = 0.0, bool hasH = false) {
    csib_GeodeticPoint p{};
    p.latitude = latDeg * kDeg;
    p.longitude = lonDeg * kDeg;
    p.ellipsoidHeight = h;
    p.hasEllipsoidHeight = hasH ? 1 : 0;
    return p;
}

// The saved part of datum kind 4 at a version: latitude, longitude, marker, height.
std::vector<uint8_t> DatumPart(bool targetIndexed, bool height, bool marker, uint8_t markerValue = 0xF0) {
    const GridLayout s = Geographic(targetIndexed);
    std::vector<uint8_t> part = Embedded("lat.grd", FieldGrid(s, LatitudeShift));
    const std::vector<uint8_t> lon = Embedded("lon.grd", FieldGrid(s, LongitudeShift));
    part.insert(part.end(), lon.begin(), lon.end());
    if (marker) part.push_back(height ? markerValue : 0x0F);
    if (height) {
        const std::vector<uint8_t> h = Embedded("h.grd", FieldGrid(s, HeightShift));
        part.insert(part.end(), h.begin(), h.end());
    }
    return part;
}

TEST(DatumGrid, DirectOnTheIndexedSideAndIteratedOnTheOther) {
    for (bool targetIndexed : {false, true}) {
        SCOPED_TRACE(targetIndexed);
        Block b(0);
        const std::vector<uint8_t> part = DatumPart(targetIndexed, true, true);
        ASSERT_EQ(CSIB_Ok, csib_SetDatum(b.block, 4, part.data()));
        const csib_GeodeticPoint in = Point(11.1, 20.7, 250.0, true);
        const double sLat = LatitudeShift(11.1, 20.7), sLon = LongitudeShift(11.1, 20.7), sH = HeightShift(11.1, 20.7);
        csib_GeodeticPoint out{}, back{};
        if (targetIndexed) {
            ASSERT_EQ(CSIB_Ok, b.block->datum.FromWGS84(b.block, &in, &out));
            EXPECT_NEAR(in.latitude - sLat * kArcSecond, out.latitude, 1e-15);
            EXPECT_NEAR(in.longitude + sLon * kArcSecond, out.longitude, 1e-15);
            EXPECT_NEAR(250.0 + sH, out.ellipsoidHeight, 1e-12);
            ASSERT_EQ(CSIB_Ok, b.block->datum.ToWGS84(b.block, &out, &back));
        } else {
            ASSERT_EQ(CSIB_Ok, b.block->datum.ToWGS84(b.block, &in, &out));
            EXPECT_NEAR(in.latitude + sLat * kArcSecond, out.latitude, 1e-15);
            EXPECT_NEAR(in.longitude - sLon * kArcSecond, out.longitude, 1e-15);
            EXPECT_NEAR(250.0 - sH, out.ellipsoidHeight, 1e-12);
            ASSERT_EQ(CSIB_Ok, b.block->datum.FromWGS84(b.block, &out, &back));
        }
        EXPECT_EQ(1, out.hasEllipsoidHeight);
        EXPECT_NEAR(in.latitude, back.latitude, 1e-12);
        EXPECT_NEAR(in.longitude, back.longitude, 1e-12);
        EXPECT_NEAR(in.ellipsoidHeight, back.ellipsoidHeight, 1e-9);

        // Outside the grids: -108 and the output is the copied input.
        const csib_GeodeticPoint far = Point(30.0, 20.5, 1.0, false);
        for (auto slot : {b.block->datum.FromWGS84, b.block->datum.ToWGS84}) {
            csib_GeodeticPoint o = Point(1, 1);
            EXPECT_EQ(CSIB_OutsideGrid, slot(b.block, &far, &o));
            EXPECT_EQ(0, std::memcmp(&far, &o, sizeof o));
        }
    }
}

TEST(DatumGrid, SavedPartsOfEachVersion) {
    struct Case {
        double version;
        bool height;
        bool marker;
        int32_t extra;  // the marker byte in the size
    };
    const Case cases[] = {{1.1, false, false, 0}, {1.2, false, true, 1}, {1.2, true, true, 1}, {10.5, true, true, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        Block b(0);
        b.block->version = c.version;
        std::vector<uint8_t> part = DatumPart(false, c.height, c.marker, 0x33);
        ASSERT_EQ(CSIB_Ok, csib_SetDatum(b.block, 4, part.data()));
        int32_t size = 0;
        ASSERT_EQ(CSIB_Ok, b.block->datum.GetSavedSize(b.block, 0, &size));
        EXPECT_EQ(static_cast<int32_t>(part.size()), size);
        const csib_GeodeticPoint in = Point(10.6, 21.0, 10.0, true);
        csib_GeodeticPoint out{};
        ASSERT_EQ(CSIB_Ok, b.block->datum.ToWGS84(b.block, &in, &out));
        EXPECT_NEAR(c.height ? 10.0 - HeightShift(10.6, 21.0) : 10.0, out.ellipsoidHeight, 1e-12);
        void* parameter = nullptr;
        ASSERT_EQ(CSIB_Ok, b.block->datum.GetParameters(b.block, 2, &parameter));
        EXPECT_STREQ("lon.grd", static_cast<const char*>(parameter));
        ASSERT_EQ(CSIB_Ok, b.block->datum.GetParameters(b.block, 5, &parameter));
        EXPECT_EQ(c.height, parameter != nullptr);

        // Written at the current version, always with a marker, and read back the same.
        b.block->version = CSIB_BlockVersion;
        ASSERT_EQ(CSIB_Ok, b.block->datum.GetSavedSize(b.block, 0, &size));
        std::vector<uint8_t> saved(static_cast<std::size_t>(size));
        ASSERT_EQ(CSIB_Ok, b.block->datum.Save(b.block, saved.data(), 0));
        Block again(0);
        ASSERT_EQ(CSIB_Ok, csib_SetDatum(again.block, 4, saved.data()));
        csib_GeodeticPoint out2{};
        ASSERT_EQ(CSIB_Ok, again.block->datum.ToWGS84(again.block, &in, &out2));
        EXPECT_EQ(0, std::memcmp(&out, &out2, sizeof out));
    }
}

// Parts of an image older than 1.2 (no marker byte) and of later ones, loaded under
// their version and then, as every read-back block is, raised to the current one:
// closed and reopened, the model opens the same grids again and no height grid it
// did not have; written as a current image, the block read back does the same.
TEST(DatumGrid, ClosingAndReopeningPartsOfOlderAndCurrentImages) {
    TempFolder folder;
    const GridLayout s = Geographic();
    const std::string lat = folder.Write("lat.grd", AsString(FieldGrid(s, LatitudeShift)));
    const std::string lon = folder.Write("lon.grd", AsString(FieldGrid(s, LongitudeShift)));
    const std::string h = folder.Write("h.grd", AsString(FieldGrid(s, HeightShift)));
    const std::string names = lat + '\0' + lon + '\0';
    const std::vector<uint8_t> embedded = DatumPart(false, false, false);
    const struct {
        const char* what;
        uint8_t gridMode;
        double version;
        std::string part;
        bool height;
    } cases[] = {
        {"1.1, grid files", 1, 1.1, names, false},
        {"1.1, embedded grids", 0, 1.1, AsString(embedded), false},
        {"1.15, grid files", 1, 1.15, names + '\x0F', false},
        {"1.2 without a height grid", 1, 1.2, names + '\x0F', false},
        {"current, with a height grid", 1, CSIB_BlockVersion, names + '\xF0' + h + '\0', true},
    };
    const csib_GeodeticPoint in = Point(11.1, 20.7, 250.0, true);
    const auto closeAndReopen = [&](csib_Block* block, const csib_GeodeticPoint& expected) {
        if (block->gridMode == 1) ASSERT_EQ(CSIB_Ok, csib_CloseFile(block, lon.c_str()));
        else ASSERT_EQ(CSIB_Ok, block->datum.Close(block));
        csib_GeodeticPoint out{};
        EXPECT_EQ(CSIB_ModelClosed, block->datum.ToWGS84(block, &in, &out));
        ASSERT_EQ(CSIB_Ok, csib_ReopenFiles(block));
        ASSERT_EQ(CSIB_Ok, block->datum.ToWGS84(block, &in, &out));
        EXPECT_EQ(0, std::memcmp(&expected, &out, sizeof out));
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Block b(c.gridMode);
        b.block->version = c.version;
        // Exactly the part: a read past it shows in the sanitizer build.
        const std::vector<uint8_t> part(c.part.begin(), c.part.end());
        ASSERT_EQ(CSIB_Ok, csib_SetDatum(b.block, 4, part.data()));
        b.block->version = CSIB_BlockVersion;
        csib_GeodeticPoint expected{};
        ASSERT_EQ(CSIB_Ok, b.block->datum.ToWGS84(b.block, &in, &expected));
        EXPECT_NEAR(c.height ? 250.0 - HeightShift(11.1, 20.7) : 250.0, expected.ellipsoidHeight, 1e-12);
        closeAndReopen(b.block, expected);
        void* parameter = nullptr;
        ASSERT_EQ(CSIB_Ok, b.block->datum.GetParameters(b.block, 4, &parameter));
        EXPECT_EQ(c.height, parameter != nullptr);

        int32_t size = 0;
        ASSERT_EQ(CSIB_Ok, csib_GetSize(b.block, c.gridMode, &size));
        std::vector<uint8_t> image(static_cast<std::size_t>(size));
        ASSERT_EQ(CSIB_Ok, csib_Write(b.block, image.data(), c.gridMode));
        csib_Block* read = nullptr;
        ASSERT_EQ(CSIB_Ok, csib_Read(&read, image.data()));
        closeAndReopen(read, expected);
        csib_Free(&read);
    }
}

TEST(DatumGrid, CombinedFileInEitherByteOrderAndReleasingIt) {
    TempFolder folder;
    for (bool swap : {false, true}) {
        SCOPED_TRACE(swap);
        GridLayout s = Geographic();
        s.swap = swap;
        const std::string path = folder.Write(
            swap ? "Swapped.CDG" : "plain.CDG",
            AsString(gridtest::Container({FieldGrid(s, LatitudeShift), FieldGrid(s, LongitudeShift),
                                          FieldGrid(s, HeightShift)},
                                         swap)));
        Block b(1);
        ASSERT_EQ(CSIB_Ok, csib_SetDatum(b.block, 5, Bytes(path)));
        const csib_GeodeticPoint in = Point(11.5, 20.3, 0.0, true);
        csib_GeodeticPoint out{};
        ASSERT_EQ(CSIB_Ok, b.block->datum.ToWGS84(b.block, &in, &out));
        EXPECT_NEAR(-HeightShift(11.5, 20.3), out.ellipsoidHeight, 1e-12);
        int32_t size = 0;
        ASSERT_EQ(CSIB_Ok, b.block->datum.GetSavedSize(b.block, 0, &size));
        EXPECT_EQ(static_cast<int32_t>(path.size()) + 1, size);

        // Closing by name: another length closes nothing, letter case does not matter.
        EXPECT_EQ(CSIB_Ok, csib_CloseFile(b.block, (path + "x").c_str()));
        ASSERT_EQ(CSIB_Ok, b.block->datum.ToWGS84(b.block, &in, &out));
        std::string upper = path;
        for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        EXPECT_EQ(CSIB_Ok, csib_CloseFile(b.block, upper.c_str()));
        EXPECT_EQ(CSIB_ModelClosed, b.block->datum.ToWGS84(b.block, &in, &out));
        EXPECT_EQ(CSIB_ModelClosed, b.block->datum.GetSavedSize(b.block, 0, &size));
        EXPECT_EQ(CSIB_Ok, csib_CloseFile(b.block, path.c_str())) << "a closed model has no open grid";
        EXPECT_EQ(CSIB_AlreadyClosed, b.block->datum.Close(b.block));
        ASSERT_EQ(CSIB_Ok, csib_ReopenFiles(b.block));
        csib_GeodeticPoint again{};
        ASSERT_EQ(CSIB_Ok, b.block->datum.ToWGS84(b.block, &in, &again));
        EXPECT_EQ(0, std::memcmp(&out, &again, sizeof out));
    }
    Block b(1);
    EXPECT_EQ(CSIB_FileOpenFailed, csib_SetDatum(b.block, 5, Bytes(folder / "absent.CDG")));
    EXPECT_EQ(CSIB_FileContentInvalid, csib_SetDatum(b.block, 5, Bytes(folder.Write("bad.CDG", std::string(80, 'x')))));
}

TEST(GeoidGrid, SeparationAtTheWGS84PositionThroughThePipeline) {
    TempFolder folder;
    const std::string path = folder.Write("geoid.ggf", AsString(FieldGrid(Geographic(), Separation)));
    Block b(1);
    const std::vector<uint8_t> part = DatumPart(false, false, true);
    b.block->gridMode = 0;
    ASSERT_EQ(CSIB_Ok, csib_SetDatum(b.block, 4, part.data()));
    b.block->gridMode = 1;
    ASSERT_EQ(CSIB_Ok, csib_SetVertical(b.block, 1, Bytes(path)));

    csib_GeodeticPoint local = Point(11.2, 20.4);
    local.orthometricHeight = 100.0;
    local.hasOrthometricHeight = 1;
    csib_GeodeticPoint wgs{};
    ASSERT_EQ(CSIB_Ok, csib_LocalToWGS84(b.block, &local, &wgs));
    const double lat = 11.2 + LatitudeShift(11.2, 20.4) / 3600.0, lon = 20.4 - LongitudeShift(11.2, 20.4) / 3600.0;
    EXPECT_NEAR(100.0 + Separation(lat, lon), wgs.ellipsoidHeight, 1e-9);
    EXPECT_GT(std::fabs(Separation(lat, lon) - Separation(11.2, 20.4)), 1e-5) << "the positions must differ";

    double n = 0.0;
    const csib_GeodeticPoint outside = Point(9.0, 20.4);
    EXPECT_EQ(CSIB_OutsideGrid, b.block->vertical.GeoidSeparation(b.block, &outside, &n));
    int32_t size = 0;
    ASSERT_EQ(CSIB_Ok, b.block->vertical.GetSavedSize(b.block, 1, &size));
    EXPECT_EQ(static_cast<int32_t>(path.size()) + 1, size);

    ASSERT_EQ(CSIB_Ok, csib_CloseFile(b.block, path.c_str()));
    EXPECT_EQ(CSIB_ModelClosed, csib_LocalToWGS84(b.block, &local, &wgs));
    EXPECT_EQ(CSIB_AlreadyClosed, b.block->vertical.Close(b.block));
    ASSERT_EQ(CSIB_Ok, csib_ReopenFiles(b.block));
    ASSERT_EQ(CSIB_Ok, csib_LocalToWGS84(b.block, &local, &wgs));
    EXPECT_NEAR(100.0 + Separation(lat, lon), wgs.ellipsoidHeight, 1e-9);

    Block missing(1);
    EXPECT_EQ(CSIB_FileOpenFailed, csib_SetVertical(missing.block, 1, Bytes(folder / "none.ggf")));
}

// Planar shift grids over the true national-grid position: south -100 km to 1000 km,
// west 0 to 700 km, both with 100 km spacing.
GridLayout ShiftLayout() {
    GridLayout s;
    s.plane = true;
    s.rows = 12;
    s.columns = 8;
    s.south = -100000.0;
    s.west = 0.0;
    s.rowSpacing = 100000.0;
    s.columnSpacing = 100000.0;
    return s;
}
double NorthShift(double n, double e) { return 0.1 + 1e-6 * n + 2e-6 * e; }
double EastShift(double n, double e) { return -0.2 + 3e-7 * n - 1e-6 * e; }
double NoShift(double, double) { return 0.0; }

struct UKFiles {
    std::string north, east;
};
UKFiles WriteShifts(const TempFolder& folder, const std::string& tag, DegreeField n, DegreeField e,
                    const GridLayout& s = ShiftLayout()) {
    return {folder.Write(tag + "N.pgf", AsString(FieldGrid(s, n))),
            folder.Write(tag + "E.pgf", AsString(FieldGrid(s, e)))};
}

csib_Status LoadUK(csib_Block* block, const UKFiles& files) {
    std::string part = files.north;
    part.push_back('\0');
    part += files.east;
    return csib_SetProjection(block, 15, Bytes(part));
}

TEST(UKNationalGrid, TransverseMercatorOnFixedAxesAgainstPROJ) {
    TempFolder folder;
    Block b(1, 6356752.314140347);  // GRS80
    ASSERT_EQ(CSIB_Ok, LoadUK(b.block, WriteShifts(folder, "zero", NoShift, NoShift)));
    EXPECT_EQ(-100000.0, b.block->falseNorthing);
    EXPECT_EQ(400000.0, b.block->falseEasting);
    EXPECT_EQ(0.9996012717, b.block->scaleFactor);
    // proj +proj=tmerc +lat_0=49 +lon_0=-2 +k_0=0.9996012717 +a=6378137 +b=6356752.3141 +x_0=0 +y_0=0
    struct Case {
        double lon, lat, east, north;
    };
    const Case cases[] = {
        {-1.5, 52.0, 34325.211124, 333700.879035}, {1.0, 50.5, 212744.972630, 171069.289596},
        {-4.5, 55.0, -159904.199358, 670194.910963}, {-5.0, 58.0, -177292.345500, 1005193.277227},
        {0.5, 51.2, 174657.110160, 247581.011630},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lat);
        const csib_GeodeticPoint p = Point(c.lat, c.lon);
        csib_GridPoint g{};
        ASSERT_EQ(CSIB_Ok, b.block->projection.Forward(b.block, &p, &g));
        EXPECT_NEAR(c.north, g.north, 1e-3);
        EXPECT_NEAR(c.east, g.east, 1e-3);
        csib_GridPoint in{};
        in.north = c.north;
        in.east = c.east;
        csib_GeodeticPoint q{};
        ASSERT_EQ(CSIB_Ok, b.block->projection.Inverse(b.block, &in, &q));
        EXPECT_NEAR(c.lat, q.latitude / kDeg, 1e-9);
        EXPECT_NEAR(c.lon, q.longitude / kDeg, 1e-9);
    }
    EXPECT_EQ(6378137.0, b.block->semiMajorAxis);
    EXPECT_EQ(6356752.314140347, b.block->semiMinorAxis);
}

TEST(UKNationalGrid, ShiftsAddedAtTheTrueGridPositionAndRemoved) {
    TempFolder folder;
    Block zero(1), shifted(1);
    ASSERT_EQ(CSIB_Ok, LoadUK(zero.block, WriteShifts(folder, "zero", NoShift, NoShift)));
    const UKFiles files = WriteShifts(folder, "lin", NorthShift, EastShift);
    ASSERT_EQ(CSIB_Ok, LoadUK(shifted.block, files));
    for (const auto& [lat, lon] : {std::pair{52.0, -1.5}, std::pair{55.0, -4.5}, std::pair{50.5, 1.0}}) {
        const csib_GeodeticPoint p = Point(lat, lon);
        csib_GridPoint tm{}, g{};
        ASSERT_EQ(CSIB_Ok, zero.block->projection.Forward(zero.block, &p, &tm));
        ASSERT_EQ(CSIB_Ok, shifted.block->projection.Forward(shifted.block, &p, &g));
        const double n = tm.north - 100000.0, e = tm.east + 400000.0;
        EXPECT_NEAR(tm.north + NorthShift(n, e), g.north, 1e-9);
        EXPECT_NEAR(tm.east + EastShift(n, e), g.east, 1e-9);
        csib_GeodeticPoint q{}, r{};
        ASSERT_EQ(CSIB_Ok, shifted.block->projection.Inverse(shifted.block, &g, &q));
        ASSERT_EQ(CSIB_Ok, zero.block->projection.Inverse(zero.block, &tm, &r));
        EXPECT_NEAR(r.latitude, q.latitude, 1e-9 / 6.4e6);
        EXPECT_NEAR(r.longitude, q.longitude, 1e-9 / 4e6);
    }
    // Outside a shift grid: its status, the block's axes as they were.
    const csib_GeodeticPoint far = Point(62.0, -2.0);
    csib_GridPoint g{};
    EXPECT_EQ(CSIB_OutsideGrid, shifted.block->projection.Forward(shifted.block, &far, &g));
    EXPECT_EQ(6378137.0, shifted.block->semiMajorAxis);
    EXPECT_EQ(6356752.3142, shifted.block->semiMinorAxis);

    int32_t size = 0;
    ASSERT_EQ(CSIB_Ok, shifted.block->projection.GetSavedSize(shifted.block, 1, &size));
    EXPECT_EQ(static_cast<int32_t>(files.north.size() + files.east.size()) + 2, size);
    ASSERT_EQ(CSIB_Ok, shifted.block->projection.GetSavedSize(shifted.block, 0, &size));
    EXPECT_EQ(static_cast<int32_t>(files.north.size() + files.east.size()) + 2 + 2 * (162 + 12 * 8 * 8), size);
    void* parameter = nullptr;
    ASSERT_EQ(CSIB_Ok, shifted.block->projection.GetParameters(shifted.block, 2, &parameter));
    EXPECT_EQ(files.east, static_cast<const char*>(parameter));

    // Embedded, the image carries both grids and converts without the files.
    std::vector<uint8_t> image(static_cast<std::size_t>(0));
    int32_t imageSize = 0;
    ASSERT_EQ(CSIB_Ok, csib_GetSize(shifted.block, 0, &imageSize));
    image.resize(static_cast<std::size_t>(imageSize));
    ASSERT_EQ(CSIB_Ok, csib_Write(shifted.block, image.data(), 0));
    csib_Block* read = nullptr;
    ASSERT_EQ(CSIB_Ok, csib_Read(&read, image.data()));
    const csib_GeodeticPoint p = Point(52.0, -1.5);
    csib_GridPoint a{}, c{};
    EXPECT_EQ(CSIB_Ok, read->projection.Forward(read, &p, &a));
    EXPECT_EQ(CSIB_Ok, shifted.block->projection.Forward(shifted.block, &p, &c));
    EXPECT_EQ(a.north, c.north);
    EXPECT_EQ(a.east, c.east);
    EXPECT_EQ(CSIB_Ok, csib_CloseFile(read, files.north.c_str())) << "embedded grids have no file";
    csib_Free(&read);
}

// Grid points through the shifted inverse: status 0 only where the forward gives the
// point back within 0.1 mm; outside the shift grids their status; a null stays null.
TEST(UKNationalGrid, InverseAnswersOnlyPointsItsForwardGivesBack) {
    TempFolder folder;
    Block b(1);
    ASSERT_EQ(CSIB_Ok, LoadUK(b.block, WriteShifts(folder, "lin", NorthShift, EastShift)));
    struct Case {
        const char* where;
        double north, east;  // relative to the false origin (-100 km, 400 km)
        csib_Status status;
    };
    const Case cases[] = {
        {"inside", 333700.879035, 34325.211124, CSIB_Ok},
        {"the grids' south-west corner", 10000.0, -390000.0, CSIB_Ok},
        {"the grids' north-east corner", 1090000.0, 290000.0, CSIB_Ok},
        {"far north, beyond the grids", 2000000.0, 0.0, CSIB_OutsideGrid},
        {"null east", 333700.879035, MATHS_Null, CSIB_Ok},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        csib_GridPoint in{c.north, c.east, 0, 0, 0, 0, 0, 0};
        csib_GeodeticPoint q{};
        ASSERT_EQ(c.status, b.block->projection.Inverse(b.block, &in, &q));
        if (c.status != CSIB_Ok) continue;
        if (maths_IsNull(c.east)) {
            EXPECT_TRUE(maths_IsNull(q.latitude) && maths_IsNull(q.longitude));
            continue;
        }
        csib_GridPoint back{};
        ASSERT_EQ(CSIB_Ok, b.block->projection.Forward(b.block, &q, &back));
        EXPECT_NEAR(c.north, back.north, 1e-4);
        EXPECT_NEAR(c.east, back.east, 1e-4);
    }
}

TEST(UKNationalGrid, ClosingAndReopening) {
    TempFolder folder;
    Block b(1);
    const UKFiles files = WriteShifts(folder, "lin", NorthShift, EastShift);
    ASSERT_EQ(CSIB_Ok, LoadUK(b.block, files));
    const csib_GeodeticPoint p = Point(52.0, -1.5);
    csib_GridPoint before{}, g{};
    ASSERT_EQ(CSIB_Ok, b.block->projection.Forward(b.block, &p, &before));
    EXPECT_EQ(CSIB_Ok, b.block->projection.Reopen(b.block)) << "an open model";
    ASSERT_EQ(CSIB_Ok, csib_CloseFile(b.block, files.east.c_str()));
    EXPECT_EQ(CSIB_AlreadyClosed, b.block->projection.Close(b.block));
    EXPECT_EQ(CSIB_ModelClosed, b.block->projection.Forward(b.block, &p, &g));
    EXPECT_EQ(CSIB_ModelClosed, b.block->projection.Inverse(b.block, &before, nullptr));
    int32_t size = 0;
    EXPECT_EQ(CSIB_ModelClosed, b.block->projection.GetSavedSize(b.block, 1, &size));
    double k = 0.0;
    EXPECT_EQ(CSIB_Ok, b.block->projection.ScaleFactor(b.block, &p, &k));
    ASSERT_EQ(CSIB_Ok, csib_ReopenFiles(b.block));
    ASSERT_EQ(CSIB_Ok, b.block->projection.Forward(b.block, &p, &g));
    EXPECT_EQ(before.north, g.north);
    EXPECT_EQ(before.east, g.east);
    Block missing(1);
    EXPECT_EQ(CSIB_FileOpenFailed, LoadUK(missing.block, {folder / "a.pgf", files.east}));
}

}  // namespace
