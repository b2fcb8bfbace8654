// Blocks built from the job's definitions: the corrections-only road of a conversion,
// a UTM system against PROJ and GeographicLib values, the ground scale, model files
// that are missing or skipped, kinds and values the build cannot use, and failing
// allocations.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "csib/adjustments.h"
#include "csib/csibplatform.h"
#include "csib/glue.h"
#include "csib/image.h"
#include "csib/pipeline.h"
#include "csib_fixtures.h"
#include "model_folders.h"
#include "support/grid_writer.h"
#include "support/model_files.h"
#include "support/recording_environment.h"
#include "support/rtd_writer.h"

namespace {

constexpr double kDeg = 3.141592653589793 / 180.0;
constexpr int32_t kAll = 0x3F;
constexpr int32_t kConversionOptions = 2474;  // every model file skipped

// Re-expression in the cogo grid as the transform registers it, here for the
// north-east orientation: nothing changes.
void KeepHeight(const coordsys_Projection&, int32_t, coordsys_Height&) {}
void KeepPlane(const coordsys_Projection&, int32_t, coordsys_Plane&) {}

struct Definitions {
    coordsys_Ellipsoid ellipsoid = coordsys_WGS84Ellipsoid;
    coordsys_Projection projection;
    coordsys_Datum datum;
    coordsys_Plane plane;
    coordsys_Height height;
    coordsys_Corrections corrections;

    // UTM zone 32 north on WGS84.
    static Definitions UTM32() {
        Definitions d;
        d.projection.ProjectionType = COORDSYS_UniversalTransverseMercator;
        d.projection.OriginLocal = coord_Local(0.0, 9.0 * kDeg, 0.0);
        d.projection.OriginGrid = coord_CorrectedGrid(0.0, 500000.0, 0.0);
        d.projection.Scale = 0.9996;
        return d;
    }
    void WithAdjustments() {
        plane = coordsys_Plane();
        plane.PlaneType = COORDSYS_ValidHorizontal;
        plane.OriginNorth = 5261000.0;
        plane.OriginEast = 590000.0;
        plane.TranslationNorth = 1.5;
        plane.TranslationEast = -2.5;
        plane.Rotation = 1e-4;
        plane.ScaleFactor = 1.00002;
        height.HeightType = COORDSYS_InclinedPlane;
        height.OriginNorth = 5262000.0;
        height.OriginEast = 591000.0;
        height.NorthAdjustment = 1e-5;
        height.EastAdjustment = -2e-5;
        height.ElevAdjustment = 0.25;
    }

    bool Build(csib_Block** block, int32_t components, int32_t options, int32_t* error) const {
        return csibglue_BuildCsib(block, components, ellipsoid, projection, datum, plane, height, corrections,
                                  options, error);
    }
};

class GlueBuild : public ModelFoldersTest {
protected:
    void SetUp() override {
        ModelFoldersTest::SetUp();
        csibglue_SetAdjustmentConverters(KeepHeight, KeepPlane);
        live = csib_LiveAllocations();
    }
    void TearDown() override {
        csib_Free(&held.block);
        EXPECT_EQ(live, csib_LiveAllocations()) << "allocations left behind";
        csibglue_SetAdjustmentConverters(nullptr, nullptr);
        ModelFoldersTest::TearDown();
    }
    void SharedFile(const std::string& name) { tmp.Write("shared/" + name, "not a model"); }

    // Builds into `held`; the block of a failed build must be null.
    bool Build(const Definitions& d, int32_t components, int32_t options, int32_t* error) {
        csib_Free(&held.block);
        const bool built = d.Build(&held.block, components, options, error);
        if (!built) {
            EXPECT_EQ(nullptr, held.block);
        }
        return built;
    }

    csibtest::BlockHolder held;
    int64_t live = 0;
};

TEST_F(GlueBuild, CorrectionsAloneGiveTheWGS84EllipsoidAndAxisDirections) {
    // Definitions that would need model files: not read without their component bits.
    Definitions d = Definitions::UTM32();
    d.projection.ProjectionType = COORDSYS_UnitedKingdomNationalGrid;
    d.height.HeightType = COORDSYS_GeoidModel;
    d.datum.DatumType = COORDSYS_GridDatum;
    const uint8_t axes[4][2] = {{1, 1}, {2, 2}, {1, 2}, {2, 1}};
    for (int32_t orientation = 0; orientation < 4; ++orientation) {
        SCOPED_TRACE(orientation);
        d.corrections.GridOrientation = orientation;
        int32_t error = -1;
        ASSERT_TRUE(Build(d, CSIBGLUE_Corrections, kConversionOptions, &error));
        csib_Block* block = held.block;
        EXPECT_EQ(COORDSYS_NoError, error);
        EXPECT_EQ(6378137.0, block->semiMajorAxis);
        EXPECT_EQ(6356752.3142, block->semiMinorAxis);
        EXPECT_EQ(2, block->origin) << "the read-back block";
        EXPECT_EQ(0, block->datumKind);
        EXPECT_EQ(0, block->projectionKind);
        EXPECT_EQ(0, block->verticalKind);
        EXPECT_EQ(axes[orientation][0], block->options.northAxis);
        EXPECT_EQ(axes[orientation][1], block->options.eastAxis);
        EXPECT_EQ(nullptr, block->datumParameters);
        EXPECT_EQ(nullptr, block->verticalParameters);
        EXPECT_EQ(0, block->hasShiftGrid);
        EXPECT_EQ(0, block->hasHorizontalAdjustment);
        EXPECT_EQ(0, block->hasVerticalAdjustment);

        csibtest::BlockHolder clone;
        ASSERT_TRUE(csibglue_CloneCsib(&clone.block, block));
        EXPECT_EQ(csibtest::WriteImage(block), csibtest::WriteImage(clone.block));

        const csib_GeodeticPoint p{0.8, 0.15, 0.0, 0.0, 0, 0};
        csib_GridPoint g{};
        EXPECT_EQ(CSIB_NoProjection, csib_GeodeticToGrid(block, &p, &g));
        double factor = 0.0;
        EXPECT_FALSE(csibglue_GridScaleFactor(block, coord_Local(0.8, 0.15, 0.0), &factor));
        EXPECT_TRUE(maths_IsNull(factor));
    }
}

struct UTMCase {
    double lat, lon;      // degrees
    double east, north;   // proj +proj=utm +zone=32 +a=6378137 +b=6356752.3142
};
constexpr UTMCase kUTMCases[] = {
    {48.0, 11.5, 686482.635149, 5319324.563681},  {0.5, 9.0, 500000.000000, 55265.037142},
    {60.2, 7.1, 394672.484808, 6675200.744444},   {-33.9, 10.4, 629443.175024, -3751950.415604},
    {47.3, 6.2, 288329.510949, 5242305.400950},   {-0.1, 12.0, 833978.050709, -11068.275680},
};

TEST_F(GlueBuild, UTMSystemTakesWGS84PointsToTheGridAndBack) {
    const Definitions d = Definitions::UTM32();
    int32_t error = -1;
    ASSERT_TRUE(Build(d, kAll, 0, &error));
    EXPECT_EQ(COORDSYS_NoError, error);
    csib_Block* block = held.block;
    EXPECT_EQ(CSIB_TransverseMercator, block->projectionKind);
    EXPECT_EQ(1.0, block->groundScaleFactor);
    for (const UTMCase& c : kUTMCases) {
        SCOPED_TRACE(testing::Message() << c.lat << ", " << c.lon);
        csib_GeodeticPoint w{}, l{};
        ASSERT_TRUE(csibglue_WGS84ToGeodeticPoint(coord_WGS84(c.lat * kDeg, c.lon * kDeg, 100.0), &w));
        ASSERT_EQ(CSIB_Ok, csib_WGS84ToLocal(block, &w, &l));
        csib_GridPoint g{};
        ASSERT_EQ(CSIB_Ok, csib_GeodeticToGrid(block, &l, &g));
        coord_CogoGrid grid;
        csibglue_GridPointToGrid(&g, &grid, block);
        EXPECT_NEAR(c.north, grid.North, 1e-3);
        EXPECT_NEAR(c.east, grid.East, 1e-3);
        EXPECT_EQ(100.0, grid.Elev);

        csib_GridPoint back{};
        csibglue_GridToGridPoint(coord_CogoGrid(c.north, c.east, 100.0), &back, block);
        csib_GeodeticPoint local{}, wgs{};
        ASSERT_EQ(CSIB_Ok, csib_GridToGeodetic(block, &back, &local));
        ASSERT_EQ(CSIB_Ok, csib_LocalToWGS84(block, &local, &wgs));
        EXPECT_NEAR(c.lat, wgs.latitude / kDeg, 1e-9);
        EXPECT_NEAR(c.lon, wgs.longitude / kDeg, 1e-9);
    }
}

TEST_F(GlueBuild, CalculatedGroundScaleAtTheProjectLocation) {
    Definitions d = Definitions::UTM32();
    d.projection.GroundScale.Type = COORDSYS_CalculatedGroundScaleFactor;
    d.projection.GroundScale.ProjectLocation = coord_Local(47.5 * kDeg, 10.2 * kDeg, 650.0);
    double factor = 0, north = 0, east = 0;
    ASSERT_TRUE(csibglue_ComputeGroundScale(d.ellipsoid, d.projection, &factor, &north, &east));
    // 1 / (k R / (R + h)): k = 0.9997003726298420 (TransverseMercatorProj -l 9 -k 0.9996),
    // R the prime-vertical radius at 47.5 degrees.
    EXPECT_NEAR(1.0004014727075008, factor, 1e-9);
    // The project location's grid image (5261427.5491069388, 90375.5488330913 without
    // the false easting) times factor - 1.
    EXPECT_NEAR(5261427.5491069388 * (factor - 1.0), north, 1e-6);
    EXPECT_NEAR(90375.5488330913 * (factor - 1.0), east, 1e-6);

    // Without a height the factor is null; without a location there are no offsets.
    d.projection.GroundScale.ProjectLocation.Height = MATHS_Null;
    ASSERT_TRUE(csibglue_ComputeGroundScale(d.ellipsoid, d.projection, &factor, &north, &east));
    EXPECT_TRUE(maths_IsNull(factor));
    d.projection.GroundScale.ProjectLocation = coord_Local();
    d.projection.GroundScale.Factor = 1.0004;
    ASSERT_TRUE(csibglue_ComputeGroundScale(d.ellipsoid, d.projection, &factor, &north, &east));
    EXPECT_EQ(0.0, north);
    EXPECT_EQ(0.0, east);

    // A projection the engine cannot build changes nothing.
    d.projection.ProjectionType = COORDSYS_ProjectionGrid;
    d.projection.ProjectionGridFile = "missing";
    factor = north = east = 7.0;
    EXPECT_FALSE(csibglue_ComputeGroundScale(d.ellipsoid, d.projection, &factor, &north, &east));
    EXPECT_EQ(7.0, factor);
    EXPECT_EQ(7.0, north);
}

TEST_F(GlueBuild, AGroundOriginMovesBothAdjustmentOrigins) {
    Definitions d = Definitions::UTM32();
    d.WithAdjustments();
    int32_t error = -1;
    for (bool groundOrigin : {false, true}) {
        SCOPED_TRACE(groundOrigin);
        d.projection.GroundScale.Factor = 1.0004;
        d.projection.GroundScale.ProjectLocation =
            groundOrigin ? coord_Local(47.5 * kDeg, 10.2 * kDeg, 650.0) : coord_Local();
        ASSERT_TRUE(Build(d, kAll, 0, &error));
        csib_Block* block = held.block;
        EXPECT_EQ(groundOrigin ? 1 : 0, block->hasGroundOrigin);
        EXPECT_EQ(1.0004, block->groundScaleFactor);
        double gn = 0, ge = 0;
        ASSERT_EQ(CSIB_Ok, csib_GetGroundOffset(block, &gn, &ge));
        if (groundOrigin) {
            EXPECT_NEAR(5261427.5491069388 * 1.0004 * (1.0 - 1.0 / 1.0004), gn, 1e-6);
        } else {
            EXPECT_EQ(0.0, gn);
        }
        const auto* horizontal = static_cast<const csib_HorizontalAdjustment*>(block->horizontalAdjustment);
        const auto* vertical = static_cast<const csib_VerticalAdjustment*>(block->verticalAdjustment);
        ASSERT_NE(nullptr, horizontal);
        ASSERT_NE(nullptr, vertical);
        EXPECT_NEAR(5261000.0 - 0.0 + gn, horizontal->originNorth, 1e-6);
        EXPECT_NEAR(590000.0 - 500000.0 + ge, horizontal->originEast, 1e-6);
        EXPECT_EQ(1.00002, horizontal->scale);
        EXPECT_NEAR(5262000.0 + gn, vertical->originNorth, 1e-6);
        EXPECT_NEAR(591000.0 - 500000.0 + ge, vertical->originEast, 1e-6);
        EXPECT_EQ(0.25, vertical->constant);
        EXPECT_EQ(-2e-5, vertical->slopeEast);
    }
}

TEST_F(GlueBuild, EngineStatusesMapToBuildErrors) {
    struct Case {
        csib_Status status;
        int32_t error;
    };
    const Case cases[] = {
        {0, 0},     {-2, 7},    {-5, 7},    {-6, 7},    {-8, 7},    {-10, 7},   {-12, 7},   {-15, 7},
        {-16, 7},   {-18, 7},   {-19, 7},   {-20, 7},   {-21, 7},   {-22, 7},   {-24, 7},   {-25, 7},
        {-26, 1},   {-27, 7},   {-28, 7},   {-29, 7},   {-30, 7},   {-31, 7},   {-32, 7},   {-33, 7},
        {-34, 7},   {-36, 5},   {-37, 5},   {-101, 5},  {-102, 5},  {-103, 5},  {-104, 5},  {-105, 5},
        {-106, 5},  {-107, 1},  {-108, 7},  {-109, 7},  {-111, 7},  {-112, 5},  {-113, 5},  {-114, 5},
        {-203, 7},  {-301, 7},  {-501, 7},  {-502, 7},  {-600, 7},
    };
    for (const Case& c : cases) EXPECT_EQ(c.error, csibglue_ErrorFromEngine(c.status)) << c.status;
}

TEST_F(GlueBuild, MissingOrSkippedModelFiles) {
    Definitions uk = Definitions::UTM32();
    uk.projection.ProjectionType = COORDSYS_UnitedKingdomNationalGrid;
    uk.projection.UKNorthGridFile = "north";
    uk.projection.UKEastGridFile = "east";
    Definitions grid = Definitions::UTM32();
    grid.projection.ProjectionType = COORDSYS_ProjectionGrid;
    grid.projection.ProjectionGridFile = "site";
    Definitions longName = uk;
    longName.projection.UKEastGridFile = Str(std::string(300, 'x').c_str());
    struct Case {
        const char* what;
        const Definitions& d;
        int32_t options;
        bool built;
        int32_t error;
    };
    const Case cases[] = {
        {"UK grid files missing", uk, 0, false, CSIBGLUE_UKGridMissing},
        {"UK grid files missing, keep going", uk, CSIBGLUE_KeepGoing, true, CSIBGLUE_ModelDropped},
        {"UK grid files skipped", uk, CSIBGLUE_SkipUKGrid, true, COORDSYS_NoError},
        {"a UK path too long to open", longName, 0, false, CSIBGLUE_UKGridMissing},
        {"projection grid missing", grid, 0, false, CSIBGLUE_ProjectionGridFile},
        {"projection grid missing, keep going", grid, CSIBGLUE_KeepGoing, true, CSIBGLUE_ModelDropped},
        {"projection grid skipped", grid, CSIBGLUE_SkipProjectionGrid, true, COORDSYS_NoError},
    };
    SharedFile("north.pgf");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int32_t error = -1;
        EXPECT_EQ(c.built, Build(c.d, kAll, c.options, &error));
        EXPECT_EQ(c.error, error);
        if (c.built) {
            EXPECT_EQ(0, held.block->projectionKind);
            if (&c.d == &grid) {
                EXPECT_EQ(0.0, held.block->falseEasting);
            }
        }
    }
    // Present files that hold no model: the UK grids are read at the read-back, the
    // projection grid's container by the fill, which may drop it.
    SharedFile("east.pgf");
    SharedFile("site.pjg");
    int32_t error = -1;
    EXPECT_FALSE(Build(uk, kAll, CSIBGLUE_KeepGoing, &error));
    EXPECT_EQ(CSIBGLUE_ModelFile, error);
    EXPECT_FALSE(Build(grid, kAll, 0, &error));
    EXPECT_EQ(CSIBGLUE_ProjectionGridFile, error);
    EXPECT_TRUE(Build(grid, kAll, CSIBGLUE_KeepGoing, &error));
    EXPECT_EQ(CSIBGLUE_ModelDropped, error);
    EXPECT_EQ(0, held.block->projectionKind);
}

// A projection grid and a shift grid from their containers in the shared folder; a
// shift grid missing or refused fails with its own code or is dropped.
TEST_F(GlueBuild, ProjectionGridAndShiftGridFiles) {
    // site.pjg and site.sgf: a plane grid, and a shift of 0.125 m north and east.
    modeltest::WriteAll(tmp / "shared", "site");
    Definitions d = Definitions::UTM32();
    d.projection.ProjectionType = COORDSYS_ProjectionGrid;
    d.projection.ProjectionGridFile = "site";
    d.projection.ShiftGridFile = "shift";
    const struct {
        const char* what;
        int32_t options;
        bool built;
        int32_t error;
    } missing[] = {
        {"shift grid missing", 0, false, CSIBGLUE_ShiftGridFile},
        {"shift grid missing, keep going", CSIBGLUE_KeepGoing, true, CSIBGLUE_ModelDropped},
        {"shift grid skipped", CSIBGLUE_SkipShiftGrid, true, COORDSYS_NoError},
    };
    for (const auto& c : missing) {
        SCOPED_TRACE(c.what);
        int32_t error = -1;
        EXPECT_EQ(c.built, Build(d, kAll, c.options, &error));
        EXPECT_EQ(c.error, error);
        if (c.built) {
            EXPECT_EQ(0, held.block->hasShiftGrid);
            EXPECT_EQ(19, held.block->projectionKind);
        }
    }
    SharedFile("shift.sgf");
    int32_t error = -1;
    EXPECT_FALSE(Build(d, kAll, 0, &error));
    EXPECT_EQ(CSIBGLUE_ShiftGridFile, error);

    std::filesystem::copy_file(tmp / "shared/site.sgf", tmp / "shared/shift.sgf",
                               std::filesystem::copy_options::overwrite_existing);
    ASSERT_TRUE(Build(d, kAll, 0, &error));
    EXPECT_EQ(COORDSYS_NoError, error);
    EXPECT_EQ(19, held.block->projectionKind);
    EXPECT_EQ(1, held.block->hasShiftGrid);
    EXPECT_EQ(0.0, held.block->falseNorthing);
    EXPECT_EQ(0.0, held.block->falseEasting);
    csib_GeodeticPoint p{};
    p.latitude = 0.8075;
    p.longitude = 0.111;
    csib_GridPoint g{};
    ASSERT_EQ(CSIB_Ok, held.block->projection.Forward(held.block, &p, &g));
    ASSERT_EQ(CSIB_Ok, csibglue_ApplyShiftGrid(held.block, &g));
    EXPECT_NEAR(50000.125, g.north, 1e-5);
    EXPECT_NEAR(50000.125, g.east, 1e-5);
}

// The grid models' files: missing ones fail with their own codes or are dropped under
// KeepGoing; present ones give their kinds, opened by name at the read-back.
TEST_F(GlueBuild, GridModelFiles) {
    Definitions d = Definitions::UTM32();
    d.datum.DatumType = COORDSYS_GridDatum;
    d.datum.GridName = "grids";
    d.height.HeightType = COORDSYS_GeoidModel;
    d.height.GeoidFilename = "geoid";
    struct Case {
        const char* what;
        int32_t options;
        bool built;
        int32_t error;
    };
    const Case missing[] = {
        {"datum grid missing", CSIBGLUE_SkipGeoid, false, CSIBGLUE_DatumGridFile},
        {"geoid missing", CSIBGLUE_SkipDatumGrid, false, CSIBGLUE_GeoidFile},
        {"both missing, keep going", CSIBGLUE_KeepGoing, true, CSIBGLUE_ModelDropped},
    };
    for (const Case& c : missing) {
        SCOPED_TRACE(c.what);
        int32_t error = -1;
        EXPECT_EQ(c.built, Build(d, kAll, c.options, &error));
        EXPECT_EQ(c.error, error);
        if (c.built) {
            EXPECT_EQ(0, held.block->datumKind);
            EXPECT_EQ(0, held.block->verticalKind);
        }
    }
    gridtest::GridLayout s;
    s.south = 45.0;
    s.west = 5.0;
    s.rows = 9;
    s.columns = 9;
    s.rowSpacing = 1.0;
    s.columnSpacing = 1.0;
    const auto constant = [](double v) { return [v](int32_t, int32_t) { return v; }; };
    const std::vector<uint8_t> grid = gridtest::GridImage(s, constant(0.0));
    const std::vector<uint8_t> container = gridtest::Container({grid, grid}, false);
    tmp.Write("shared/grids.CDG", std::string(container.begin(), container.end()));
    const std::vector<uint8_t> geoid = gridtest::GridImage(s, constant(47.5));
    tmp.Write("shared/geoid.ggf", std::string(geoid.begin(), geoid.end()));
    int32_t error = -1;
    ASSERT_TRUE(Build(d, kAll, 0, &error));
    EXPECT_EQ(COORDSYS_NoError, error);
    EXPECT_EQ(5, held.block->datumKind);
    EXPECT_EQ(1, held.block->verticalKind);
    csib_GeodeticPoint local{};
    local.latitude = 48.0 * kDeg;
    local.longitude = 9.0 * kDeg;
    local.orthometricHeight = 100.0;
    local.hasOrthometricHeight = 1;
    csib_GeodeticPoint wgs{};
    ASSERT_EQ(CSIB_Ok, csib_LocalToWGS84(held.block, &local, &wgs));
    EXPECT_NEAR(147.5, wgs.ellipsoidHeight, 1e-9);

    // The United Kingdom grid pair.
    Definitions uk = Definitions::UTM32();
    uk.projection.ProjectionType = COORDSYS_UnitedKingdomNationalGrid;
    uk.projection.UKNorthGridFile = "north";
    uk.projection.UKEastGridFile = "east";
    modeltest::WriteNationalGrid(tmp / "shared/north.pgf", 0.5);
    modeltest::WriteNationalGrid(tmp / "shared/east.pgf", -0.25);
    ASSERT_TRUE(Build(uk, kAll, 0, &error));
    EXPECT_EQ(15, held.block->projectionKind);
    EXPECT_EQ(-100000.0, held.block->falseNorthing);
    EXPECT_EQ(400000.0, held.block->falseEasting);
    csib_GeodeticPoint origin{};
    origin.latitude = 49.0 * kDeg;
    origin.longitude = -2.0 * kDeg;
    csib_GridPoint g{};
    ASSERT_EQ(CSIB_Ok, held.block->projection.Forward(held.block, &origin, &g));
    // The arc to the origin comes from the block's WGS84 axes, the projection runs on
    // the fixed ones: 0.07 mm apart.
    EXPECT_NEAR(0.5, g.north, 1e-4);
    EXPECT_NEAR(-0.25, g.east, 1e-9);
}

// The RTCM datum: without a name it loads and converts nothing; a named file is
// looked up in the project and shared folders, and one missing or refused fails with
// its own code or is dropped.
TEST_F(GlueBuild, RTCMDatumFiles) {
    Definitions d = Definitions::UTM32();
    d.datum.DatumType = COORDSYS_RTCMGrid;
    int32_t error = -1;
    ASSERT_TRUE(Build(d, kAll, 0, &error));
    EXPECT_EQ(COORDSYS_NoError, error);
    EXPECT_EQ(6, held.block->datumKind);
    csib_GeodeticPoint wgs{};
    wgs.latitude = 47.5 * kDeg;
    wgs.longitude = 8.5 * kDeg;
    wgs.ellipsoidHeight = 500.0;
    wgs.hasEllipsoidHeight = 1;
    csib_GeodeticPoint local{};
    EXPECT_EQ(CSIB_NoFileName, held.block->datum.FromWGS84(held.block, &wgs, &local));

    d.datum.GridName = "net";
    const struct {
        const char* what;
        int32_t options;
        bool built;
        int32_t error;
    } missing[] = {
        {"missing", 0, false, CSIBGLUE_RTCMFile},
        {"missing, keep going", CSIBGLUE_KeepGoing, true, CSIBGLUE_ModelDropped},
    };
    for (const auto& c : missing) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.built, Build(d, kAll, c.options, &error));
        EXPECT_EQ(c.error, error);
        if (c.built) {
            EXPECT_EQ(0, held.block->datumKind);
        }
    }
    SharedFile("net.RTD");
    EXPECT_FALSE(Build(d, kAll, 0, &error));
    EXPECT_EQ(CSIBGLUE_RTCMFile, error);

    // The exact rotation's first case of the RTCM tests.
    rtdtest::RtdLayout layout;
    layout.messageFlags = 0;
    tmp.Write("project/net.RTD", rtdtest::File(layout));
    ASSERT_TRUE(Build(d, kAll, 0, &error));
    EXPECT_EQ(COORDSYS_NoError, error);
    EXPECT_EQ(6, held.block->datumKind);
    ASSERT_EQ(CSIB_Ok, held.block->datum.FromWGS84(held.block, &wgs, &local));
    EXPECT_NEAR(47.496666691774, local.latitude / kDeg, 1e-9);
    EXPECT_NEAR(8.498477635460, local.longitude / kDeg, 1e-9);
    EXPECT_NEAR(1947.689457288012, local.ellipsoidHeight, 1e-3);
}

// Model file names come from the job. A name that could lead out of the shared or
// project folder (a separator, "..", a macro) names no file: each model fails with its
// own code, or is dropped under KeepGoing, although a loadable file of every kind waits
// where the name leads; nothing in the folders is created or written. The same name
// without the detour builds.
TEST_F(GlueBuild, ModelFileNamesNeverLeaveTheirFolder) {
    modeltest::WriteAll(tmp / "shared", "site");
    std::filesystem::create_directories(tmp / "outside");
    modeltest::WriteAll(tmp / "outside", "site");
    path_DefineMacro("Outside", "..\\outside\\");
    const std::string names[] = {"..\\outside\\site", "../outside/site", "$(Outside)site", tmp / "outside/site"};
    using Setter = void (*)(Definitions&, const Str&);
    const struct {
        const char* what;
        Setter set;
        int32_t error;
    } models[] = {
        {"geoid",
         [](Definitions& d, const Str& n) {
             d.height.HeightType = COORDSYS_GeoidModel;
             d.height.GeoidFilename = n;
         },
         CSIBGLUE_GeoidFile},
        {"datum grid",
         [](Definitions& d, const Str& n) {
             d.datum.DatumType = COORDSYS_GridDatum;
             d.datum.GridName = n;
         },
         CSIBGLUE_DatumGridFile},
        {"RTCM data",
         [](Definitions& d, const Str& n) {
             d.datum.DatumType = COORDSYS_RTCMGrid;
             d.datum.GridName = n;
         },
         CSIBGLUE_RTCMFile},
        {"national grid, north",
         [](Definitions& d, const Str& n) {
             d.projection.ProjectionType = COORDSYS_UnitedKingdomNationalGrid;
             d.projection.UKNorthGridFile = n;
             d.projection.UKEastGridFile = "site";
         },
         CSIBGLUE_UKGridMissing},
        {"national grid, east",
         [](Definitions& d, const Str& n) {
             d.projection.ProjectionType = COORDSYS_UnitedKingdomNationalGrid;
             d.projection.UKNorthGridFile = "site";
             d.projection.UKEastGridFile = n;
         },
         CSIBGLUE_UKGridMissing},
        {"projection grid",
         [](Definitions& d, const Str& n) {
             d.projection.ProjectionType = COORDSYS_ProjectionGrid;
             d.projection.ProjectionGridFile = n;
         },
         CSIBGLUE_ProjectionGridFile},
        {"shift grid", [](Definitions& d, const Str& n) { d.projection.ShiftGridFile = n; }, CSIBGLUE_ShiftGridFile},
    };
    int32_t error = -1;
    for (const auto& m : models) {
        Definitions d = Definitions::UTM32();
        m.set(d, "site");
        EXPECT_TRUE(Build(d, kAll, 0, &error)) << m.what << ": the plain name";
        EXPECT_EQ(COORDSYS_NoError, error) << m.what;
    }
    const auto before = modeltest::Snapshot(tmp.Path());
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const Str n(name.c_str());
        EXPECT_TRUE(csibglue_FindModelFile(n, "RTD").IsEmpty());
        EXPECT_TRUE(csibglue_ModelFileName(n, "ggf").IsEmpty());
        char path[CSIBGLUE_MaxPath + 2] = "x";
        EXPECT_FALSE(csibglue_ModelFilePath(n, "ggf", path));
        EXPECT_STREQ("", path);
        for (const auto& m : models) {
            SCOPED_TRACE(m.what);
            Definitions d = Definitions::UTM32();
            m.set(d, n);
            EXPECT_FALSE(Build(d, kAll, 0, &error));
            EXPECT_EQ(m.error, error);
            ASSERT_TRUE(Build(d, kAll, CSIBGLUE_KeepGoing, &error));
            EXPECT_EQ(CSIBGLUE_ModelDropped, error);
            EXPECT_EQ(0, held.block->datumKind);
            EXPECT_EQ(0, held.block->verticalKind);
            EXPECT_EQ(0, held.block->hasShiftGrid);
        }
    }
    EXPECT_EQ(before, modeltest::Snapshot(tmp.Path()));
    EXPECT_FALSE(csibglue_FindModelFile("site", "RTD").IsEmpty());
}

TEST_F(GlueBuild, SkippedModelFilesBuild) {
    // Every model file skipped: the definitions build without them.
    Definitions d = Definitions::UTM32();
    d.datum.DatumType = COORDSYS_GridDatum;
    d.height.HeightType = COORDSYS_GeoidModel;
    d.projection.ShiftGridFile = "shift";
    int32_t error = -1;
    ASSERT_TRUE(Build(d, kAll, CSIBGLUE_SkipDatumGrid | CSIBGLUE_SkipGeoid | CSIBGLUE_SkipShiftGrid, &error));
    EXPECT_EQ(COORDSYS_NoError, error);
    EXPECT_EQ(0, held.block->datumKind);
    EXPECT_EQ(0, held.block->verticalKind);
    EXPECT_EQ(0, held.block->hasShiftGrid);
}

TEST_F(GlueBuild, ValuesAModelComputesWithMustNotBeNull) {
    struct Case {
        const char* what;
        void (*change)(Definitions&);
        bool built;
    };
    const Case cases[] = {
        {"three-parameter shift null",
         [](Definitions& d) {
             d.datum.DatumType = COORDSYS_ThreeParameter;
             d.datum.TranslationY = MATHS_Null;
         },
         false},
        {"seven-parameter scale 0",
         [](Definitions& d) {
             d.datum.DatumType = COORDSYS_SevenParameter;
             d.datum.Scale = 0.0;
         },
         false},
        {"seven-parameter rotation null",
         [](Definitions& d) {
             d.datum.DatumType = COORDSYS_SevenParameter;
             d.datum.RotationZ = MATHS_Null;
         },
         false},
        {"plane scale null", [](Definitions& d) { d.plane.ScaleFactor = MATHS_Null; }, false},
        {"plane scale negative", [](Definitions& d) { d.plane.ScaleFactor = -1.0; }, false},
        {"plane rotation null", [](Definitions& d) { d.plane.Rotation = MATHS_Null; }, false},
        {"height constant null", [](Definitions& d) { d.height.ElevAdjustment = MATHS_Null; }, false},
        {"inclined height origin null", [](Definitions& d) { d.height.OriginEast = MATHS_Null; }, false},
        {"inclined height slope null", [](Definitions& d) { d.height.NorthAdjustment = MATHS_Null; }, false},
        {"constant height, origin and slopes null",
         [](Definitions& d) {
             d.height.HeightType = COORDSYS_ConstantAdjustment;
             d.height.OriginNorth = d.height.NorthAdjustment = d.height.EastAdjustment = MATHS_Null;
         },
         true},
        {"ground factor 0", [](Definitions& d) { d.projection.GroundScale.Factor = 0.0; }, false},
        {"ground factor infinite",
         [](Definitions& d) { d.projection.GroundScale.Factor = std::numeric_limits<double>::infinity(); }, false},
        {"ground factor null", [](Definitions& d) { d.projection.GroundScale.Factor = MATHS_Null; }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Definitions d = Definitions::UTM32();
        d.WithAdjustments();
        c.change(d);
        int32_t error = -1;
        EXPECT_EQ(c.built, Build(d, kAll, 0, &error));
        EXPECT_EQ(c.built ? COORDSYS_NoError : CSIBGLUE_EngineError, error);
    }
    // The constant-only adjustment took the null origin and slopes as 0; a null factor
    // means no ground scale.
    Definitions d = Definitions::UTM32();
    d.WithAdjustments();
    d.height.HeightType = COORDSYS_ConstantAdjustment;
    d.height.NorthAdjustment = MATHS_Null;
    d.projection.GroundScale.Factor = MATHS_Null;
    int32_t error = -1;
    ASSERT_TRUE(Build(d, kAll, 0, &error));
    EXPECT_EQ(0.0, static_cast<const csib_VerticalAdjustment*>(held.block->verticalAdjustment)->slopeNorth);
    EXPECT_EQ(1.0, held.block->groundScaleFactor);
}

TEST_F(GlueBuild, AdjustmentsNeedTheTransformsConverters) {
    Definitions d = Definitions::UTM32();
    d.WithAdjustments();
    for (int32_t component : {CSIBGLUE_Height, CSIBGLUE_HorizontalAdjustment}) {
        csibglue_SetAdjustmentConverters(nullptr, nullptr);
        int32_t error = -1;
        EXPECT_FALSE(Build(d, CSIBGLUE_Projection | component, 0, &error));
        EXPECT_EQ(CSIBGLUE_EngineError, error);
        csibglue_SetAdjustmentConverters(KeepHeight, KeepPlane);
        EXPECT_TRUE(Build(d, CSIBGLUE_Projection | component, 0, &error));
    }
}

TEST_F(GlueBuild, KindValuesOutsideTheirRangeAreReportedAndLeaveTheComponent) {
    RecordingEnvironment environment;
    Definitions d = Definitions::UTM32();
    d.datum.DatumType = 5;
    d.corrections.GridOrientation = 4;
    d.height.HeightType = 6;
    d.plane.PlaneType = 2;
    int32_t error = -1;
    ASSERT_TRUE(Build(d, kAll, 0, &error));
    EXPECT_EQ(COORDSYS_NoError, error);
    EXPECT_EQ(4u, environment.assertions.size());
    EXPECT_EQ(0, held.block->datumKind);
    EXPECT_EQ(1, held.block->options.northAxis);
    EXPECT_EQ(1, held.block->options.eastAxis);
    EXPECT_EQ(0, held.block->hasVerticalAdjustment);
    EXPECT_EQ(0, held.block->hasHorizontalAdjustment);
    EXPECT_EQ(CSIB_TransverseMercator, held.block->projectionKind);

    d.projection.ProjectionType = 25;
    environment.Clear();
    ASSERT_TRUE(Build(d, CSIBGLUE_Projection, 0, &error));
    EXPECT_EQ(1u, environment.assertions.size());
    EXPECT_EQ(0, held.block->projectionKind);
}

TEST_F(GlueBuild, EveryFailingAllocationGivesOutOfMemoryAndLeavesNothing) {
    Definitions d = Definitions::UTM32();
    d.WithAdjustments();
    d.projection.GroundScale.Factor = 1.0004;
    d.projection.GroundScale.ProjectLocation = coord_Local(47.5 * kDeg, 10.2 * kDeg, 650.0);
    int failures = 0;
    for (int n = 1; n < 100; ++n) {
        const int64_t before = csib_LiveAllocations();
        csib_FailAllocation(n);
        int32_t error = -1;
        const bool built = Build(d, kAll, 0, &error);
        csib_FailAllocation(0);
        if (built) {
            // Past the build's last allocation.
            EXPECT_EQ(COORDSYS_NoError, error);
            break;
        }
        ++failures;
        EXPECT_EQ(CSIBGLUE_OutOfMemory, error) << "allocation " << n;
        EXPECT_EQ(before, csib_LiveAllocations()) << "allocation " << n;
    }
    // Fill: block, record, two adjustments; image buffer; read-back: block, record, two
    // adjustments; the two rebuilt adjustments.
    EXPECT_EQ(11, failures);
}

}  // namespace
