// The coordinate transform without a projection to convert through: ids, copies and
// component bits, the grid orientations between the grid and the cogo grid, azimuths,
// the adjustment definitions in cogo-grid terms, the scale-only factors and the
// corrections-only transform of a conversion. Values are worked by hand.
#include "cogo/transfrm.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cogo/localtransformation.h"
#include "csib/csibplatform.h"
#include "csib/glue.h"
#include "jobdb/dbJobIndex.h"
#include "support/recording_environment.h"

namespace {

constexpr double kNull = MATHS_Null;
constexpr double kPi = CONSTANT_Pi;

std::unique_ptr<transfrm_Class> Create(uint16_t components, const coordsys_Corrections& corrections,
                                       int32_t* error) {
    const coordsys_Ellipsoid ellipsoid = coordsys_WGS84Ellipsoid;
    const coordsys_Projection projection;
    const coordsys_Datum datum;
    const coordsys_Plane plane;
    const coordsys_Height height;
    return std::unique_ptr<transfrm_Class>(transfrm_Create(components, &ellipsoid, &projection, &datum, &plane,
                                                           &height, &corrections,
                                                           TRANSFRM_ConversionLoadFlags, error));
}

coordsys_Corrections Orientation(int32_t orientation, bool south = false) {
    coordsys_Corrections c;
    c.GridOrientation = orientation;
    c.SouthAzimuth = south;
    return c;
}

class Transform : public ::testing::Test {
protected:
    void SetUp() override { live = csib_LiveAllocations(); }
    void TearDown() override { EXPECT_EQ(live, csib_LiveAllocations()) << "engine blocks left behind"; }

    RecordingEnvironment env;
    int64_t live = 0;
};

TEST_F(Transform, IdsAreHandedOutInTurnAndSkipMinusOne) {
    int32_t error = -1;
    auto first = Create(TRANSFRM_Corrections, coordsys_Corrections(), &error);
    auto second = Create(TRANSFRM_Corrections, coordsys_Corrections(), &error);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->GetId() + 1, second->GetId());

    struct Case { int32_t counter, first, second; };
    const Case cases[] = {{-2, -2, 0}, {INT32_MAX, INT32_MAX, INT32_MIN}, {-1, 0, 1}, {41, 41, 42}};
    const coordsys_Corrections kDefaults;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.counter);
        transfrm_SetNextId(c.counter);
        transfrm_Class t;
        EXPECT_EQ(-1, t.GetId()) << "a default transform has none";
        t.Initialise(TRANSFRM_Corrections, nullptr, nullptr, nullptr, nullptr, nullptr, &kDefaults, 0, &error);
        EXPECT_EQ(c.first, t.GetId());
        t.Initialise(TRANSFRM_Corrections, nullptr, nullptr, nullptr, nullptr, nullptr, &kDefaults, 0, &error);
        EXPECT_EQ(c.second, t.GetId());
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(Transform, CopiesKeepTheIdAndCloneTheBlock) {
    int32_t error = -1;
    auto source = Create(TRANSFRM_Corrections, Orientation(1, true), &error);
    ASSERT_TRUE(source);

    transfrm_Class assigned;
    assigned = *source;
    EXPECT_EQ(source->GetId(), assigned.GetId());
    EXPECT_EQ(TRANSFRM_Corrections, assigned.Components);
    EXPECT_EQ(1, assigned.GridOrientation);
    ASSERT_NE(nullptr, assigned.Block);
    EXPECT_NE(source->Block, assigned.Block) << "a block of its own";
    EXPECT_EQ(2, assigned.Block->options.northAxis);

    std::unique_ptr<transfrm_Class> clone(source->Clone());
    EXPECT_EQ(source->GetId(), clone->GetId());
    ASSERT_NE(nullptr, clone->Block);
    EXPECT_NE(source->Block, clone->Block);

    const coordsys_Ellipsoid wgs84 = coordsys_WGS84Ellipsoid;
    std::unique_ptr<transfrm_Class> with(source->CloneWith(TRANSFRM_Ellipsoid, &wgs84, nullptr, nullptr, nullptr,
                                                           nullptr, nullptr, 0, &error));
    ASSERT_TRUE(with);
    EXPECT_EQ(COORDSYS_NoError, error);
    EXPECT_NE(source->GetId(), with->GetId());
    EXPECT_EQ(TRANSFRM_Corrections | TRANSFRM_Ellipsoid, with->Components);
    EXPECT_EQ(1, with->GridOrientation) << "the clone's corrections stay";

    // Assigning a transform to itself changes nothing (it would free, then clone, its
    // own block).
    csib_Block* block = assigned.Block;
    const int32_t id = assigned.GetId();
    transfrm_Class& same = assigned;
    assigned = same;
    EXPECT_EQ(block, assigned.Block);
    EXPECT_EQ(id, assigned.GetId());

    assigned.Reset();
    EXPECT_EQ(-1, assigned.GetId());
    EXPECT_EQ(nullptr, assigned.Block);
    EXPECT_EQ(0, assigned.Components);
    EXPECT_EQ(0, assigned.GridOrientation);
    EXPECT_EQ(0.0, assigned.AzimuthOffset);
    EXPECT_TRUE(maths_IsNull(assigned.Ellipsoid.EarthRadius));
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(Transform, ComponentsAccumulateOverInitialisations) {
    transfrm_Class t;
    int32_t error = -1;
    const coordsys_Corrections corrections = Orientation(2, true);
    ASSERT_TRUE(t.Initialise(TRANSFRM_Corrections, nullptr, nullptr, nullptr, nullptr, nullptr, &corrections,
                             TRANSFRM_ConversionLoadFlags, &error));
    const coordsys_Ellipsoid ellipsoid(6377397.155, 1.0 / 299.1528128);
    ASSERT_TRUE(t.Initialise(TRANSFRM_Ellipsoid, &ellipsoid, nullptr, nullptr, nullptr, nullptr, nullptr,
                             TRANSFRM_ConversionLoadFlags, &error));
    EXPECT_EQ(0x21, t.Components);
    EXPECT_EQ(2, t.GridOrientation);
    EXPECT_EQ(kPi, t.AzimuthOffset);
    EXPECT_TRUE(t.Corrections.SouthAzimuth);
    EXPECT_EQ(ellipsoid, t.Ellipsoid);
    const transfrm_CogoOrientation o = t.GetCogoOrientation();
    EXPECT_EQ(kPi, o.AzimuthOffset);
    EXPECT_EQ(2, o.GridOrientation);
    EXPECT_EQ(6377397.155, t.Block->semiMajorAxis) << "rebuilt from every component in force";
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(Transform, ASelectedComponentWithoutItsDefinitionIsSkipped) {
    struct Case { uint16_t bit; const char* text; };
    const Case cases[] = {
        {TRANSFRM_Ellipsoid, "ellipsoid != NULL"}, {TRANSFRM_Corrections, "corrections != NULL"},
        {TRANSFRM_Datum, "datum != NULL"},         {TRANSFRM_Height, "height != NULL"},
        {TRANSFRM_HorizontalAdjustment, "plane != NULL"}, {TRANSFRM_Projection, "projection != NULL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        env.Clear();
        transfrm_Class t;
        int32_t error = -1;
        EXPECT_TRUE(t.Initialise(c.bit, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                 TRANSFRM_ConversionLoadFlags, &error));
        EXPECT_EQ(std::vector<std::string>{c.text}, env.Expressions());
        EXPECT_EQ(0, t.Components);
        EXPECT_EQ(COORDSYS_NoError, error);
    }
    // The others are still taken.
    env.Clear();
    transfrm_Class t;
    int32_t error = -1;
    const coordsys_Corrections corrections = Orientation(3);
    t.Initialise(TRANSFRM_Datum | TRANSFRM_Corrections, nullptr, nullptr, nullptr, nullptr, nullptr, &corrections,
                 TRANSFRM_ConversionLoadFlags, &error);
    EXPECT_EQ(TRANSFRM_Corrections, t.Components);
    EXPECT_EQ(3, t.GridOrientation);
    EXPECT_EQ(std::vector<std::string>{"datum != NULL"}, env.Expressions());
}

TEST_F(Transform, CorrectionsOnlyTransformOfAConversion) {
    for (const coordsys_Corrections& corrections : {coordsys_Corrections(), Orientation(1, true)}) {
        SCOPED_TRACE(corrections.GridOrientation);
        int32_t error = -1;
        auto t = Create(TRANSFRM_Corrections, corrections, &error);
        ASSERT_TRUE(t);
        EXPECT_EQ(COORDSYS_NoError, error);
        ASSERT_NE(nullptr, t->Block);
        EXPECT_EQ(TRANSFRM_ConversionLoadFlags, t->LoadFlags);
        EXPECT_EQ(corrections.SouthAzimuth ? kPi : 0.0, t->AzimuthOffset);
        EXPECT_EQ(corrections.GridOrientation == 1 ? 2 : 1, t->Block->options.northAxis);
        // No projection: nothing reaches the grid.
        coord_CogoGrid cogo(1, 2, 3);
        t->LocalToCogoGrid(coord_Local(0.8, 0.15, 10.0), &cogo);
        EXPECT_TRUE(cogo.IsNull());
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(Transform, BuildsTheGlueRefusesGiveNullAndTheirCode) {
    coordsys_Height constantWithoutValue;
    constantWithoutValue.HeightType = COORDSYS_ConstantAdjustment;
    // An inclined plane is re-expressed about the false origin as stored: without a
    // projection there is none, so its origin is null.
    coordsys_Height plane;
    plane.HeightType = COORDSYS_InclinedPlane;
    plane.OriginNorth = 10.0;
    plane.OriginEast = 20.0;
    plane.NorthAdjustment = plane.EastAdjustment = 0.0;
    plane.ElevAdjustment = 1.0;
    for (const coordsys_Height& height : {constantWithoutValue, plane}) {
        SCOPED_TRACE(height.HeightType);
        int32_t error = -1;
        const coordsys_Corrections corrections;
        transfrm_Class* t = transfrm_Create(TRANSFRM_Height | TRANSFRM_Corrections, nullptr, nullptr, nullptr,
                                            nullptr, &height, &corrections, TRANSFRM_ConversionLoadFlags, &error);
        EXPECT_EQ(nullptr, t);
        EXPECT_EQ(CSIBGLUE_EngineError, error);

        // The initialising constructor keeps the object, without a block.
        env.Clear();
        transfrm_Class kept(TRANSFRM_Height | TRANSFRM_Corrections, nullptr, nullptr, nullptr, nullptr, &height,
                            &corrections, TRANSFRM_ConversionLoadFlags);
        EXPECT_EQ(nullptr, kept.Block);
        EXPECT_EQ(TRANSFRM_Height | TRANSFRM_Corrections, kept.Components);
        EXPECT_NE(-1, kept.GetId());
        EXPECT_EQ(std::vector<std::string>{"error == COORDSYS_NoError"}, env.Expressions());
    }
}

TEST_F(Transform, ConversionsWithoutABlockGiveNullCoordinates) {
    transfrm_Class t;
    coord_Local local(1, 2, 3);
    t.WGS84ToLocal(coord_WGS84(0.8, 0.15, 100.0), &local);
    EXPECT_TRUE(local.IsNull());
    coord_WGS84 wgs84(1, 2, 3);
    t.LocalToWGS84(coord_Local(0.8, 0.15, 100.0), &wgs84);
    EXPECT_TRUE(wgs84.IsNull());
    for (auto convert : {&transfrm_Class::LocalToCogoGrid, &transfrm_Class::LocalToCogoGridAdjusted}) {
        coord_CogoGrid cogo(1, 2, 3);
        (t.*convert)(coord_Local(0.8, 0.15, 100.0), &cogo);
        EXPECT_TRUE(cogo.IsNull());
    }
    for (auto convert : {&transfrm_Class::CogoGridToLocal, &transfrm_Class::CogoGridAdjustedToLocal}) {
        local = coord_Local(1, 2, 3);
        (t.*convert)(coord_CogoGrid(100.0, 200.0, 3.0), &local);
        EXPECT_TRUE(local.IsNull());
    }
    double separation = 1.0;
    t.GeoidSeparation(coord_WGS84(0.8, 0.15, 100.0), &separation);
    EXPECT_TRUE(maths_IsNull(separation));
    for (auto adjust : {&transfrm_Class::ApplyHorizontalAdjustment, &transfrm_Class::ApplyVerticalAdjustment}) {
        coord_CogoGrid cogo(1, 2, 3);
        (t.*adjust)(&cogo);
        EXPECT_TRUE(cogo.IsNull());
    }
    EXPECT_TRUE(maths_IsNull(t.GridScaleFactor(coord_Local(0.8, 0.15, 0.0))));
    EXPECT_TRUE(maths_IsNull(t.CombinedScaleFactor(coord_Local(0.8, 0.15, 0.0), 0.0)));
}

// --- Grid and cogo grid -------------------------------------------------------------

struct GridCase {
    const char* what;
    int32_t orientation;
    bool projection;            // component 4 and a projection kind
    double originNorth, originEast;  // the false origin
    double offsetNorth, offsetEast;  // the ground offsets
    coord_CorrectedGrid grid;
    coord_CogoGrid cogo;
};

transfrm_Class GridTransform(const GridCase& c) {
    transfrm_Class t;
    t.GridOrientation = c.orientation;
    if (c.projection) {
        t.Components = TRANSFRM_Projection | TRANSFRM_Corrections;
        t.Projection.ProjectionType = COORDSYS_TransverseMercator;
    }
    t.Projection.OriginGrid = coord_CorrectedGrid(c.originNorth, c.originEast, 0.0);
    t.Projection.GroundScale.NorthingOffset = c.offsetNorth;
    t.Projection.GroundScale.EastingOffset = c.offsetEast;
    return t;
}

TEST_F(Transform, GridAndCogoGridThroughEachOrientation) {
    const GridCase cases[] = {
        {"orientation 1, no projection", 1, false, 1000, 500, 0, 0, {10, 20, 5}, {-10, -20, 5}},
        {"orientation 2 about the false origin", 2, true, 1000, 500, 0, 0, {300, 600, 5}, {300, 400, 5}},
        {"orientation 3 about the false origin", 3, true, 1000, 500, 0, 0, {300, 600, 5}, {1700, 600, 5}},
        {"orientation 1 about the false origin", 1, true, 1000, 500, 0, 0, {300, 600, 5}, {1700, 400, 5}},
        {"orientation 0", 0, true, 1000, 500, 0, 0, {300, 600, 5}, {300, 600, 5}},
        {"a null false origin counts as (0, 0)", 1, true, kNull, kNull, 0, 0, {10, 20, 5}, {-10, -20, 5}},
        {"a half-given false origin turns about 0", 1, true, 1000, kNull, 0, 0, {300, 20, 5}, {1700, -20, 5}},
        {"a projection of kind 0 has no false origin", 1, false, 1000, 500, 0, 0, {10, 20, 5}, {-10, -20, 5}},
        {"ground offsets", 0, true, 1000, 500, 100, 200, {0, 0, 5}, {100, 200, 5}},
        {"ground offsets, then the flip", 1, true, 1000, 500, 100, 200, {0, 0, 5}, {1900, 800, 5}},
        {"null ground offsets move nothing", 0, true, 0, 0, kNull, kNull, {1, 2, 5}, {1, 2, 5}},
        {"null components stay null", 1, true, 1000, 500, 0, 0, {kNull, 600, kNull}, {kNull, 400, kNull}},
    };
    for (const GridCase& c : cases) {
        SCOPED_TRACE(c.what);
        const transfrm_Class t = GridTransform(c);
        const coord_CogoGrid cogo = t.GridToCogoGrid(c.grid);
        EXPECT_EQ(c.cogo.North, cogo.North);
        EXPECT_EQ(c.cogo.East, cogo.East);
        EXPECT_EQ(c.cogo.Elev, cogo.Elev);
        const coord_CorrectedGrid grid = t.CogoGridToGrid(c.cogo);
        EXPECT_EQ(c.grid, grid);
    }
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(Transform, AnUnknownOrientationIsReportedAndFlipsBothAxes) {
    const GridCase c{"orientation 5", 5, false, 0, 0, 0, 0, {10, 20, 5}, {-10, -20, 5}};
    const transfrm_Class t = GridTransform(c);
    const coord_CogoGrid cogo = t.GridToCogoGrid(c.grid);
    EXPECT_EQ(-10.0, cogo.North);
    EXPECT_EQ(-20.0, cogo.East);
    EXPECT_EQ(std::vector<std::string>({"", ""}), env.Expressions());
    EXPECT_EQ("QZ/transfrm", env.assertions[0].module);
    EXPECT_FALSE(transfrm_IsNorthIncreasing(-1));
    EXPECT_FALSE(transfrm_IsEastIncreasing(4));
}

TEST_F(Transform, AzimuthsTurnedToTheOrientationAndSouth) {
    struct Case { int32_t orientation; bool south; double azimuth, expected; };
    const Case cases[] = {
        {0, false, 0.5, 0.5},       {1, false, 0.5, 0.5 + kPi}, {2, false, 0.5, 0.5},
        {3, false, 0.5, 0.5 + kPi}, {0, true, 0.5, 0.5 + kPi},  {1, true, 0.5, 0.5},
        {2, true, 0.5, 0.5 + kPi},  {3, true, 0.5, 0.5},        {1, false, 4.0, 4.0 - kPi},
        {0, false, -0.5, 2.0 * kPi - 0.5}, {1, true, kNull, kNull},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.orientation << (c.south ? " south" : " north") << " " << c.azimuth);
        EXPECT_NEAR(c.expected, transfrm_OrientAzimuth(c.orientation, c.south, c.azimuth), 1e-15);
    }
}

// --- Adjustment definitions ---------------------------------------------------------

TEST_F(Transform, AdjustmentDefinitionsReExpressedInTheCogoGridAndBack) {
    coordsys_Projection projection;
    projection.OriginGrid = coord_CorrectedGrid(1000.0, 500.0, 0.0);
    projection.GroundScale.NorthingOffset = 100.0;
    projection.GroundScale.EastingOffset = 200.0;

    coordsys_Height height;
    height.HeightType = COORDSYS_InclinedPlane;
    height.OriginNorth = 1200.0;
    height.OriginEast = 800.0;
    height.NorthAdjustment = 1e-4;
    height.EastAdjustment = -2e-4;
    height.ElevAdjustment = 0.5;
    coordsys_Plane plane;
    plane.PlaneType = COORDSYS_ValidHorizontal;
    plane.OriginNorth = 1200.0;
    plane.OriginEast = 800.0;
    plane.TranslationNorth = 1.5;
    plane.TranslationEast = -2.5;
    plane.Rotation = 0.01;
    plane.ScaleFactor = 1.0001;

    struct Case { int32_t orientation; double north, east, signNorth, signEast; };
    // Origin (1200, 800) + offsets (100, 200) = (1300, 1000), flipped about (1000, 500).
    const Case cases[] = {{0, 1300, 1000, 1, 1}, {1, 700, 0, -1, -1}, {2, 1300, 0, 1, -1}, {3, 700, 1000, -1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.orientation);
        coordsys_Height h = height;
        transfrm_VerticalAdjustmentToCogoGrid(projection, c.orientation, h);
        EXPECT_EQ(c.north, h.OriginNorth);
        EXPECT_EQ(c.east, h.OriginEast);
        EXPECT_EQ(c.signNorth * 1e-4, h.NorthAdjustment);
        EXPECT_EQ(c.signEast * -2e-4, h.EastAdjustment);
        EXPECT_EQ(0.5, h.ElevAdjustment);
        transfrm_VerticalAdjustmentFromCogoGrid(projection, c.orientation, h);
        EXPECT_EQ(1200.0, h.OriginNorth);
        EXPECT_EQ(800.0, h.OriginEast);
        EXPECT_EQ(1e-4, h.NorthAdjustment);
        EXPECT_EQ(-2e-4, h.EastAdjustment);

        coordsys_Plane p = plane;
        transfrm_HorizontalAdjustmentToCogoGrid(projection, c.orientation, p);
        EXPECT_EQ(c.north, p.OriginNorth);
        EXPECT_EQ(c.east, p.OriginEast);
        EXPECT_EQ(c.signNorth * 1.5, p.TranslationNorth);
        EXPECT_EQ(c.signEast * -2.5, p.TranslationEast);
        EXPECT_EQ(0.01, p.Rotation);
        EXPECT_EQ(1.0001, p.ScaleFactor);
        transfrm_HorizontalAdjustmentFromCogoGrid(projection, c.orientation, p);
        EXPECT_EQ(1200.0, p.OriginNorth);
        EXPECT_EQ(800.0, p.OriginEast);
        EXPECT_EQ(1.5, p.TranslationNorth);
        EXPECT_EQ(-2.5, p.TranslationEast);
    }
    // Here the false origin counts exactly as stored: a null one gives a null origin.
    projection.OriginGrid = coord_CorrectedGrid();
    coordsys_Height h = height;
    transfrm_VerticalAdjustmentToCogoGrid(projection, 1, h);
    EXPECT_TRUE(maths_IsNull(h.OriginNorth));
    EXPECT_TRUE(maths_IsNull(h.OriginEast));
    EXPECT_TRUE(env.assertions.empty());
}

// --- Scale-only factors and registration --------------------------------------------

TEST_F(Transform, ScaleOnlyCombinedScaleFactor) {
    transfrm_Class t;
    t.Projection.ProjectionType = COORDSYS_ScaleOnly;
    t.Projection.Scale = 1.0002;
    t.Corrections.ApplySeaLevelCorrectionOnScaleOnlyProjection = true;
    const coord_Local point(0.8, 0.15, 50.0);
    struct Case { const char* what; bool seaLevel; double groundHeight, height, expected; };
    const Case cases[] = {
        {"height 0", true, kNull, 0.0, 1.0002},
        {"no height and no ground height", true, kNull, kNull, 1.0002},
        // 1.0002 x 6378137 / 6378237 and / 6378387.
        {"height 100", true, kNull, 100.0, 1.0001843185507218},
        {"the ground height stands in", true, 250.0, kNull, 1.0001607972987527},
        {"the height given wins", true, 250.0, 100.0, 1.0001843185507218},
        {"without the sea-level correction", false, 250.0, 100.0, 1.0002},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        t.Corrections.ApplySeaLevelCorrectionOnScaleOnlyProjection = c.seaLevel;
        t.Projection.GroundScale.ProjectLocation.Height = c.groundHeight;
        EXPECT_NEAR(c.expected, t.CombinedScaleFactor(point, c.height), 1e-15);
        EXPECT_EQ(c.groundHeight, t.GetGroundOriginHeight());
    }
    EXPECT_TRUE(maths_IsNull(t.GridScaleFactor(point)));
    EXPECT_EQ(1.0002, t.GetProjectionScale());
}

TEST_F(Transform, LocalTransformedGridOnlyThroughADefinedTransformation) {
    transfrm_Class t;
    LocalHelmertTransformation helmert;
    coord_LocalTransformedGrid local(1, 2, 3);
    t.CogoGridToLocalTransformedGrid(coord_CogoGrid(10, 20, 30), &helmert, &local);
    EXPECT_TRUE(local.IsNull()) << "not defined yet";
    t.CogoGridToLocalTransformedGrid(coord_CogoGrid(10, 20, 30), nullptr, &local);
    EXPECT_TRUE(local.IsNull());

    dbrecord_HelmertParameters h;
    h.Apply = true;
    h.TranslationNorth = 10.0;
    h.TranslationEast = 20.0;
    ASSERT_TRUE(helmert.Set("site", &h, nullptr));
    t.CogoGridToLocalTransformedGrid(coord_CogoGrid(10, 20, 30), &helmert, &local);
    EXPECT_EQ(coord_LocalTransformedGrid(0, 0, 30), local);
    coord_CogoGrid cogo;
    t.LocalTransformedGridToCogoGrid(coord_LocalTransformedGrid(0, 0, 30), &helmert, &cogo);
    EXPECT_EQ(10.0, cogo.North);
    EXPECT_EQ(20.0, cogo.East);
    t.LocalTransformedGridToCogoGrid(coord_LocalTransformedGrid(0, 0, 30), nullptr, &cogo);
    EXPECT_TRUE(cogo.IsNull());
}

TEST_F(Transform, RegistersItsAnswersWithTheJobIndex) {
    transfrm_Register();
    EXPECT_NEAR(0.5 + kPi, dbJobIndex_OrientAzimuth(3, false, 0.5), 1e-15);
    EXPECT_NEAR(0.5, dbJobIndex_OrientAzimuth(3, true, 0.5), 1e-15);

    int32_t error = -1;
    dbJobIndex index;
    index.Transform = Create(TRANSFRM_Corrections, Orientation(2, true), &error).release();
    EXPECT_EQ(2, dbJobIndex_GridOrientation(&index));
    EXPECT_TRUE(dbJobIndex_SouthAzimuths(&index));
    index.Reset();  // deletes the transform through the registered deleter
    EXPECT_EQ(nullptr, index.Transform);
    EXPECT_TRUE(env.assertions.empty());
    dbJobIndex_SetCoordinateGeometry(nullptr);
    dbJobIndex_SetTransformDeleter(nullptr);
}

// Not under the fixture: the transform stays to the end of the process.
TEST(TransformWGS84, IsMadeOnce) {
    transfrm_Class* wgs84 = transfrm_GetWGS84Transform();
    EXPECT_EQ(wgs84, transfrm_GetWGS84Transform());
    EXPECT_EQ(TRANSFRM_Ellipsoid, wgs84->Components);
    EXPECT_EQ(coordsys_WGS84Ellipsoid, wgs84->Ellipsoid);
    EXPECT_EQ(0, wgs84->LoadFlags);
    EXPECT_NE(nullptr, wgs84->Block);
}

}  // namespace
