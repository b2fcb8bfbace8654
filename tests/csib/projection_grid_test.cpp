// Projection kind 19 and the projection shift grid on synthetic containers of affine
// fields: the inverse reproduces them exactly, the forward search finds the grid
// position, longitudes past pi wrap, reversed axes, saved parts of each layout, and
// shifts applied and removed.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "csib/csibplatform.h"
#include "csib/image.h"
#include "csib/kinds.h"
#include "csib/pipeline.h"
#include "csib/projection_grid.h"
#include "csib_fixtures.h"
#include "foundation/kernel/maths.h"
#include "support/grid_writer.h"
#include "support/temp_folder.h"

namespace {

using gridtest::AsString;
using gridtest::Embedded;
using gridtest::GridLayout;

constexpr double kDeg = 3.141592653589793 / 180.0;

struct Block {
    csib_Block* block = nullptr;
    explicit Block(uint8_t gridMode) { EXPECT_EQ(CSIB_Ok, csib_Create(&block, gridMode, 6378137.0, 6356752.3142)); }
    ~Block() { csib_Free(&block); }
};

const uint8_t* Bytes(const std::string& text) { return reinterpret_cast<const uint8_t*>(text.data()); }

// North 0..100 km, east 0..80 km, nodes every 10 km; positions are plane metres.
GridLayout Plane(bool swap = false) {
    GridLayout s;
    s.rows = 11;
    s.columns = 9;
    s.south = 0.0;
    s.west = 0.0;
    s.rowSpacing = 10000.0;
    s.columnSpacing = 10000.0;
    s.plane = true;
    s.swap = swap;
    return s;
}

using PlaneField = double (*)(double north, double east);
std::vector<uint8_t> FieldGrid(const GridLayout& s, PlaneField f) {
    return gridtest::GridImage(s, [&](int32_t r, int32_t c) {
        return f(s.south + r * s.rowSpacing, s.west + c * s.columnSpacing);
    });
}

double Latitude(double n, double e) { return 0.8 + 1.5e-7 * n + 1e-8 * e; }
double Longitude(double n, double e) { return 0.1 + 2e-8 * n + 2.2e-7 * e; }
// Across the antimeridian: 178 degrees at the west edge, 182.58 at the east one.
double LatitudeNearPi(double n, double) { return 0.5 + 1e-7 * n; }
double LongitudeNearPi(double, double e) { return 178.0 * kDeg + 1e-6 * e; }

std::string Container(const TempFolder& folder, const std::string& name, PlaneField lat, PlaneField lon,
                      bool swap = false) {
    const GridLayout s = Plane(swap);
    return folder.Write(name, AsString(gridtest::PairContainer(gridtest::kProjectionGridTitle, FieldGrid(s, lat),
                                                               FieldGrid(s, lon), swap)));
}

std::string ContainerPart(const std::string& path) { return std::string(1, '\0') + path + '\0'; }

// Position (north, east) and its latitude and longitude (closed form of the fields).
struct Node {
    double north, east, latitude, longitude;
};
const Node kNodes[] = {
    {12345.6, 23456.7, 0.80208640700000011, 0.10540738600000001},
    {95000.0, 1000.0, 0.81425999999999998, 0.10212},
    {50000.0, 79000.0, 0.80828999999999995, 0.11838000000000001},
    {0.0, 0.0, 0.80000000000000004, 0.10000000000000001},
};

csib_GridPoint Grid(double north, double east) {
    csib_GridPoint g{};
    g.north = north;
    g.east = east;
    g.elevation = 12.5;
    g.hasElevation = 1;
    return g;
}

csib_GeodeticPoint Geodetic(double latitude, double longitude) {
    csib_GeodeticPoint p{};
    p.latitude = latitude;
    p.longitude = longitude;
    p.ellipsoidHeight = 40.0;
    p.hasEllipsoidHeight = 1;
    p.orthometricHeight = 7.5;
    p.hasOrthometricHeight = 1;
    return p;
}

// Inverse within 1e-15 rad (exact up to rounding); the forward search stops once both
// angles match within 1e-12 rad, which is 1e-5 m on these fields.
void ExpectNodes(csib_Block* block, double northSign = 1.0) {
    for (const Node& node : kNodes) {
        SCOPED_TRACE(node.north);
        csib_GridPoint g = Grid(northSign * node.north, node.east);
        csib_GeodeticPoint p{};
        ASSERT_EQ(CSIB_Ok, block->projection.Inverse(block, &g, &p));
        EXPECT_NEAR(node.latitude, p.latitude, 1e-15);
        EXPECT_NEAR(node.longitude, p.longitude, 1e-15);
        EXPECT_EQ(12.5, p.orthometricHeight);
        EXPECT_EQ(1, p.hasOrthometricHeight);
        const csib_GeodeticPoint in = Geodetic(node.latitude, node.longitude);
        csib_GridPoint out{};
        ASSERT_EQ(CSIB_Ok, block->projection.Forward(block, &in, &out));
        EXPECT_NEAR(northSign * node.north, out.north, 1e-5);
        EXPECT_NEAR(node.east, out.east, 1e-5);
        EXPECT_EQ(40.0, out.ellipsoidHeight);
        EXPECT_EQ(7.5, out.elevation);
        EXPECT_EQ(1, out.hasElevation);
    }
}

TEST(ProjectionGrid, AffineFieldFromAContainerInEitherByteOrder) {
    TempFolder folder;
    for (bool swap : {false, true}) {
        SCOPED_TRACE(swap);
        Block b(1);
        const std::string path = Container(folder, swap ? "swapped.pjg" : "site.pjg", Latitude, Longitude, swap);
        ASSERT_EQ(CSIB_Ok, csib_SetProjection(b.block, 19, Bytes(ContainerPart(path))));
        ExpectNodes(b.block);
        const auto* record = static_cast<const csib_ProjectionGrid*>(b.block->projectionParameters);
        EXPECT_NEAR(Latitude(100000.0, 80000.0) - Latitude(0.0, 0.0), record->latitudeRange, 1e-15);
        EXPECT_NEAR(Longitude(100000.0, 80000.0) - Longitude(0.0, 0.0), record->longitudeRange, 1e-15);
        EXPECT_EQ(0, record->longitudeFrom0To2Pi);
        EXPECT_FALSE(csib_IsConformal(b.block));

        // Outside the grids: -16 for the inverse, -29 where the search ends at the border.
        for (const auto& [n, e] : {std::pair{100000.5, 100.0}, std::pair{-0.5, 100.0}, std::pair{50.0, 80000.5}}) {
            csib_GridPoint g = Grid(n, e);
            csib_GeodeticPoint p{};
            EXPECT_EQ(CSIB_OutsideArea, b.block->projection.Inverse(b.block, &g, &p));
        }
        // A null grid point stays null.
        csib_GridPoint null = Grid(MATHS_Null, 100.0);
        csib_GeodeticPoint none{};
        EXPECT_EQ(CSIB_Ok, b.block->projection.Inverse(b.block, &null, &none));
        EXPECT_TRUE(maths_IsNull(none.latitude) && maths_IsNull(none.longitude));
        const csib_GeodeticPoint far = Geodetic(0.9, 0.1);
        csib_GridPoint g{};
        EXPECT_EQ(CSIB_IterationLimit, b.block->projection.Forward(b.block, &far, &g));
        double k = 0.0;
        EXPECT_EQ(CSIB_NoScaleFactor, b.block->projection.ScaleFactor(b.block, &far, &k));
        EXPECT_EQ(CSIB_NoConvergence, b.block->projection.Convergence(b.block, &far, &k));

        int32_t size = 0;
        ASSERT_EQ(CSIB_Ok, b.block->projection.GetSavedSize(b.block, 0, &size));
        EXPECT_EQ(static_cast<int32_t>(path.size()) + 2, size);
        void* parameter = nullptr;
        ASSERT_EQ(CSIB_Ok, b.block->projection.GetParameters(b.block, 2, &parameter));
        EXPECT_EQ(path, static_cast<const char*>(parameter));
        ASSERT_EQ(CSIB_Ok, b.block->projection.GetParameters(b.block, 5, &parameter));
        EXPECT_EQ(&record->longitudeRange, parameter);
        ASSERT_EQ(CSIB_Ok, b.block->projection.GetParameters(b.block, 6, &parameter));
        EXPECT_EQ(nullptr, parameter);
        EXPECT_EQ(CSIB_MissingOutput, b.block->projection.GetParameters(b.block, 0, nullptr));
    }
}

// A grid has no scale or convergence of its own: they come from its forward's
// derivatives, one-sided where a step (about 64 m) would leave the grid, so a point by
// an edge answers as one 600 m inside it does.
TEST(ProjectionGrid, ScaleAndConvergenceUpToItsEdges) {
    TempFolder folder;
    Block b(1);
    const std::string path = Container(folder, "site.pjg", Latitude, Longitude);
    ASSERT_EQ(CSIB_Ok, csib_SetProjection(b.block, 19, Bytes(ContainerPart(path))));
    auto factors = [&](double north, double east, double* k, double* gamma) {
        const csib_GeodeticPoint at = Geodetic(Latitude(north, east), Longitude(north, east));
        ASSERT_EQ(CSIB_Ok, csib_GetGridScaleFactor(b.block, &at, k));
        ASSERT_EQ(CSIB_Ok, csib_GetConvergence(b.block, &at, gamma));
    };
    struct Case {
        double north, east, inwardNorth, inwardEast;
    };
    const Case cases[] = {
        {10.0, 40000.0, 600.0, 0.0}, {99990.0, 40000.0, -600.0, 0.0},
        {50000.0, 10.0, 0.0, 600.0}, {50000.0, 79990.0, 0.0, -600.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.north + c.east);
        double k = 0.0, gamma = 0.0, inK = 0.0, inGamma = 0.0;
        factors(c.north, c.east, &k, &gamma);
        factors(c.north + c.inwardNorth, c.east + c.inwardEast, &inK, &inGamma);
        // The field is affine, so the derivatives are the same everywhere; only the
        // ellipsoid's radii change over 600 m, by about 1e-4 of themselves.
        EXPECT_NEAR(inK, k, 2e-4 * inK);
        EXPECT_NEAR(inGamma, gamma, 2e-5);
    }
}

TEST(ProjectionGrid, LongitudesPastPiAndAReversedNorthAxis) {
    TempFolder folder;
    Block b(1);
    const std::string path = Container(folder, "pi.pjg", LatitudeNearPi, LongitudeNearPi);
    ASSERT_EQ(CSIB_Ok, csib_SetProjection(b.block, 19, Bytes(ContainerPart(path))));
    EXPECT_EQ(1, static_cast<const csib_ProjectionGrid*>(b.block->projectionParameters)->longitudeFrom0To2Pi);
    // East of each longitude: (L mod 2pi - 178 degrees) / 1e-6.
    const struct {
        double longitudeDegrees, east;
    } cases[] = {{-179.0, 52359.877559829736}, {179.5, 26179.938779915094}, {-178.2, 66322.51157578484}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.longitudeDegrees);
        const csib_GeodeticPoint in = Geodetic(0.502, c.longitudeDegrees * kDeg);
        csib_GridPoint g{};
        ASSERT_EQ(CSIB_Ok, b.block->projection.Forward(b.block, &in, &g));
        EXPECT_NEAR(20000.0, g.north, 1e-5);
        EXPECT_NEAR(c.east, g.east, 1e-5);
        csib_GeodeticPoint back{};
        ASSERT_EQ(CSIB_Ok, b.block->projection.Inverse(b.block, &g, &back));
        EXPECT_NEAR(c.longitudeDegrees * kDeg, back.longitude, 1e-12);
        EXPECT_NEAR(0.502, back.latitude, 1e-12);
    }

    // North axis reversed: forward negates north, inverse takes the negated value.
    Block reversed(1);
    reversed.block->options.northAxis = 2;
    ASSERT_EQ(CSIB_Ok, csib_SetProjection(reversed.block, 19,
                                          Bytes(ContainerPart(Container(folder, "a.pjg", Latitude, Longitude)))));
    ExpectNodes(reversed.block, -1.0);
}

TEST(ProjectionGrid, ContainerFaults) {
    TempFolder folder;
    const GridLayout s = Plane();
    const std::vector<uint8_t> lat = FieldGrid(s, Latitude), lon = FieldGrid(s, Longitude);
    std::vector<uint8_t> format = gridtest::PairContainer(gridtest::kProjectionGridTitle, lat, lon);
    format[0] = 2;
    const struct {
        const char* what;
        std::string bytes;
        csib_Status status;
    } cases[] = {
        {"shift grid title", AsString(gridtest::PairContainer(gridtest::kShiftGridTitle, lat, lon)),
         CSIB_FileContentInvalid},
        {"format 2", AsString(format), CSIB_FileContentInvalid},
        {"short", "\x01\0\0\0Quorvel", CSIB_FileContentInvalid},
    };
    const int64_t live = csib_LiveAllocations();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Block b(1);
        EXPECT_EQ(c.status, csib_SetProjection(b.block, 19, Bytes(ContainerPart(folder.Write("bad.pjg", c.bytes)))));
    }
    Block missing(1);
    EXPECT_EQ(CSIB_FileOpenFailed, csib_SetProjection(missing.block, 19, Bytes(ContainerPart(folder / "none.pjg"))));
    csib_Free(&missing.block);
    EXPECT_EQ(live, csib_LiveAllocations());
}

// A part of a version 10.2 image (no leading byte), one of 10.3 (byte 1) and a
// container part, each written as a current image and read back.
TEST(ProjectionGrid, SavedPartsOfEachLayoutRoundTrip) {
    TempFolder folder;
    const GridLayout s = Plane();
    const std::string lat = AsString(Embedded("lat.grd", FieldGrid(s, Latitude)));
    const std::string lon = AsString(Embedded("lon.grd", FieldGrid(s, Longitude)));
    const std::string container = Container(folder, "site.pjg", Latitude, Longitude);
    const struct {
        const char* what;
        uint8_t gridMode;
        double version;
        std::string part;
    } cases[] = {
        {"10.2", 0, 10.2, lat + lon},
        {"10.3", 0, 10.3, std::string(1, '\1') + lat + lon},
        {"container", 1, 10.5, ContainerPart(container)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Block b(c.gridMode);
        b.block->version = c.version;
        ASSERT_EQ(CSIB_Ok, csib_SetProjection(b.block, 19, Bytes(c.part)));
        b.block->version = CSIB_BlockVersion;
        int32_t size = 0;
        ASSERT_EQ(CSIB_Ok, csib_GetSize(b.block, c.gridMode, &size));
        std::vector<uint8_t> image(static_cast<std::size_t>(size));
        ASSERT_EQ(CSIB_Ok, csib_Write(b.block, image.data(), c.gridMode));
        csib_Block* read = nullptr;
        ASSERT_EQ(CSIB_Ok, csib_Read(&read, image.data()));
        EXPECT_EQ(19, read->projectionKind);
        ExpectNodes(read);
        int32_t part = 0;
        ASSERT_EQ(CSIB_Ok, read->projection.GetSavedSize(read, c.gridMode, &part));
        EXPECT_EQ(c.gridMode == 0 ? static_cast<int32_t>(lat.size() + lon.size()) + 1
                                  : static_cast<int32_t>(container.size()) + 2,
                  part);
        csib_Free(&read);
    }
}

// Separate grid files named by a version 10.2 part: closed by one file's name and
// reopened from the part the model keeps.
TEST(ProjectionGrid, ClosingAndReopeningAnOlderPart) {
    TempFolder folder;
    const GridLayout s = Plane();
    const std::string lat = folder.Write("lat.grd", AsString(FieldGrid(s, Latitude)));
    const std::string lon = folder.Write("lon.grd", AsString(FieldGrid(s, Longitude)));
    Block b(1);
    b.block->version = 10.2;
    ASSERT_EQ(CSIB_Ok, csib_SetProjection(b.block, 19, Bytes(lat + '\0' + lon + '\0')));
    b.block->version = CSIB_BlockVersion;
    ASSERT_EQ(CSIB_Ok, csib_CloseFile(b.block, lon.c_str()));
    EXPECT_EQ(CSIB_AlreadyClosed, b.block->projection.Close(b.block));
    const csib_GeodeticPoint in = Geodetic(kNodes[0].latitude, kNodes[0].longitude);
    csib_GridPoint g = Grid(1.0, 1.0);
    csib_GeodeticPoint p{};
    int32_t size = 0;
    void* parameter = nullptr;
    EXPECT_EQ(CSIB_ModelClosed, b.block->projection.Forward(b.block, &in, &g));
    EXPECT_EQ(CSIB_ModelClosed, b.block->projection.Inverse(b.block, &g, &p));
    EXPECT_EQ(CSIB_ModelClosed, b.block->projection.GetSavedSize(b.block, 1, &size));
    EXPECT_EQ(CSIB_ModelClosed, b.block->projection.GetParameters(b.block, 0, &parameter));
    EXPECT_EQ(CSIB_ModelClosed, b.block->projection.Save(b.block, nullptr, 1));
    ASSERT_EQ(CSIB_Ok, csib_ReopenFiles(b.block));
    ExpectNodes(b.block);
    ASSERT_EQ(CSIB_Ok, b.block->projection.GetSavedSize(b.block, 1, &size));
    EXPECT_EQ(static_cast<int32_t>(lat.size() + lon.size()) + 3, size);
}

// --- Shift grid -----------------------------------------------------------------------

// Over north -100 .. 600 km and east 0 .. 700 km, shifts of decimetres.
GridLayout ShiftPlane(bool targetIndexed = false) {
    GridLayout s = Plane();
    s.rows = 8;
    s.columns = 8;
    s.south = -100000.0;
    s.rowSpacing = 100000.0;
    s.columnSpacing = 100000.0;
    s.targetIndexed = targetIndexed;
    return s;
}
double NorthShift(double n, double e) { return 0.1 + 1e-6 * n + 2e-6 * e; }
double EastShift(double n, double e) { return -0.2 + 3e-7 * n - 1e-6 * e; }

std::string ShiftContainer(const TempFolder& folder, const std::string& name, bool targetIndexed = false) {
    const GridLayout s = ShiftPlane(targetIndexed);
    return folder.Write(name, AsString(gridtest::PairContainer(gridtest::kShiftGridTitle, FieldGrid(s, NorthShift),
                                                               FieldGrid(s, EastShift))));
}

TEST(ShiftGrid, AppliedAtTheTruePositionAndRemoved) {
    TempFolder folder;
    Block b(1);
    b.block->falseNorthing = -100000.0;
    b.block->falseEasting = 400000.0;
    const std::string path = ShiftContainer(folder, "site.sgf");
    ASSERT_EQ(CSIB_Ok, csib_SetShiftGrid(b.block, path.c_str()));
    EXPECT_EQ(1, b.block->hasShiftGrid);
    const std::pair<double, double> points[] = {{350000.0, -150000.0}, {12345.0, 67890.0}, {550000.0, 250000.0}};
    for (const auto& [n, e] : points) {
        SCOPED_TRACE(n);
        csib_GridPoint g = Grid(n, e);
        ASSERT_EQ(CSIB_Ok, csib_ApplyShiftGrid(b.block, &g));
        const double tn = n - 100000.0, te = e + 400000.0;
        EXPECT_NEAR(n + NorthShift(tn, te), g.north, 1e-9);
        EXPECT_NEAR(e + EastShift(tn, te), g.east, 1e-9);
        ASSERT_EQ(CSIB_Ok, csib_RemoveShiftGrid(b.block, &g));
        EXPECT_NEAR(n, g.north, 1e-9);
        EXPECT_NEAR(e, g.east, 1e-9);
    }
    csib_GridPoint outside = Grid(800000.0, 0.0);
    EXPECT_EQ(CSIB_OutsideGrid, csib_ApplyShiftGrid(b.block, &outside));

    // Through an image: the part is the file name; the read-back opens it. The 8-bit
    // texts of T12 travel only with a shift grid.
    b.block->shiftGridText.a = csibtest::Copy("shift grid a");
    b.block->shiftGridText.b = csibtest::Copy("shift grid b");
    int32_t size = 0;
    ASSERT_EQ(CSIB_Ok, csib_GetShiftGridSavedSize(b.block, &size));
    EXPECT_EQ(static_cast<int32_t>(path.size()) + 1, size);
    EXPECT_EQ(CSIB_MissingOutput, csib_GetShiftGridSavedSize(b.block, nullptr));
    ASSERT_EQ(CSIB_Ok, csib_GetSize(b.block, 1, &size));
    std::vector<uint8_t> image(static_cast<std::size_t>(size));
    ASSERT_EQ(CSIB_Ok, csib_Write(b.block, image.data(), 1));
    csib_Block* read = nullptr;
    ASSERT_EQ(CSIB_Ok, csib_Read(&read, image.data()));
    EXPECT_EQ(1, read->hasShiftGrid);
    EXPECT_STREQ("shift grid a", read->shiftGridText.a);
    EXPECT_STREQ("shift grid b", read->shiftGridText.b);
    // Without a projection the image carries no false origin.
    const double shiftedNorth = 12345.0 + NorthShift(12345.0, 67890.0);
    csib_GridPoint a = Grid(12345.0, 67890.0);
    ASSERT_EQ(CSIB_Ok, csib_ApplyShiftGrid(read, &a));
    EXPECT_NEAR(shiftedNorth, a.north, 1e-9);
    EXPECT_NEAR(67890.0 + EastShift(12345.0, 67890.0), a.east, 1e-9);

    // Closed by its file's name, reopened by csib_ReopenFiles.
    ASSERT_EQ(CSIB_Ok, csib_CloseFile(read, path.c_str()));
    EXPECT_EQ(CSIB_AlreadyClosed, csib_CloseShiftGrid(read));
    EXPECT_EQ(CSIB_ModelClosed, csib_ApplyShiftGrid(read, &a));
    EXPECT_EQ(CSIB_ModelClosed, csib_RemoveShiftGrid(read, &a));
    EXPECT_EQ(CSIB_ModelClosed, csib_GetShiftGridSavedSize(read, &size));
    ASSERT_EQ(CSIB_Ok, csib_ReopenFiles(read));
    a = Grid(12345.0, 67890.0);
    ASSERT_EQ(CSIB_Ok, csib_ApplyShiftGrid(read, &a));
    EXPECT_NEAR(shiftedNorth, a.north, 1e-9);
    csib_Free(&read);

    ASSERT_EQ(CSIB_Ok, csib_SetShiftGrid(b.block, nullptr));
    EXPECT_EQ(0, b.block->hasShiftGrid);
    EXPECT_EQ(nullptr, b.block->shiftGrid);
}

TEST(ShiftGrid, RefusedContainersAndTargetIndexedGrids) {
    TempFolder folder;
    const int64_t live = csib_LiveAllocations();
    {
        Block b(1);
        ASSERT_EQ(CSIB_Ok, csib_SetShiftGrid(b.block, ShiftContainer(folder, "indexed.sgf", true).c_str()));
        csib_GridPoint g = Grid(1000.0, 1000.0);
        EXPECT_EQ(CSIB_FileContentInvalid, csib_ApplyShiftGrid(b.block, &g));
        EXPECT_EQ(1000.0, g.north);
    }
    const GridLayout s = Plane();
    const std::string wrongTitle = folder.Write(
        "title.sgf", AsString(gridtest::PairContainer(gridtest::kProjectionGridTitle, FieldGrid(s, NorthShift),
                                                      FieldGrid(s, EastShift))));
    for (const auto& [path, status] : {std::pair{wrongTitle, CSIB_FileContentInvalid},
                                       std::pair{folder / "none.sgf", CSIB_FileOpenFailed}}) {
        Block b(1);
        EXPECT_EQ(status, csib_SetShiftGrid(b.block, path.c_str()));
        EXPECT_EQ(0, b.block->hasShiftGrid);
    }
    EXPECT_EQ(live, csib_LiveAllocations());
}

}  // namespace
