// The cogo mask chosen for a pair of positions from the transform's components, the
// job's distance setting and the coordinates the positions can be reckoned in.
#include <gtest/gtest.h>

#include "cogo/cogo.h"
#include "csib/csibplatform.h"
#include "support/recording_environment.h"
#include "transform_definitions.h"

namespace {

constexpr double kDeg = CONSTANT_Pi / 180.0;

enum Kind { Job, ScaleOnly, EllipsoidOnly, EllipsoidAndDatum, ProjectionWithoutDatum, ProjectionAndHeight };
enum Given { WGS84, CogoGrid, PastThePole, Nothing };

std::unique_ptr<transfrm_Class> Make(Kind kind, int distances) {
    TransformDefinitions d;
    d.corrections.Distances = distances;
    uint16_t components = TRANSFRM_Ellipsoid | TRANSFRM_Corrections;
    switch (kind) {
        case Job: d.TransverseMercator().International(); components |= TRANSFRM_Datum | TRANSFRM_Projection; break;
        case ScaleOnly:
            d.projection.ProjectionType = COORDSYS_ScaleOnly;
            d.projection.Scale = 1.0;
            components |= TRANSFRM_Projection;
            break;
        case EllipsoidOnly: break;
        case EllipsoidAndDatum: d.International(); components |= TRANSFRM_Datum; break;
        case ProjectionWithoutDatum: d.TransverseMercator(); components |= TRANSFRM_Projection; break;
        case ProjectionAndHeight:
            d.TransverseMercator();
            components |= TRANSFRM_Projection | TRANSFRM_Height;
            break;
    }
    return d.Create(components);
}

position_Class Given(Given given, const transfrm_Class* t) {
    position_Class p;
    switch (given) {
        case WGS84: p.SetWGS84(coord_WGS84(46.0 * kDeg, 10.0 * kDeg, 100.0), t); break;
        case CogoGrid: p.SetCogoGrid(coord_CogoGrid(5000000.0, 500000.0, 100.0), t); break;
        // The projection refuses it: no geodetic coordinates, but a cogo grid.
        case PastThePole: p.SetCogoGrid(coord_CogoGrid(30000000.0, 500000.0, 100.0), t); break;
        case Nothing: break;
    }
    return p;
}

TEST(CogoSystem, SevenRules) {
    RecordingEnvironment env;
    const int64_t live = csib_LiveAllocations();
    struct Case {
        const char* rule;
        Kind kind;
        int distances;
        enum Given p1, p2;
        int32_t mask;
    };
    const Case cases[] = {
        {"datum and projection: the default", Job, COORDSYS_GroundDistance, WGS84, CogoGrid, 0x454},
        {"scale only: the default", ScaleOnly, COORDSYS_GridDistance, WGS84, WGS84, 0x8A4},
        {"no datum, WGS84 known: grid becomes ground", EllipsoidOnly, COORDSYS_GridDistance, WGS84, WGS84, 0x449},
        {"no datum, WGS84 known", EllipsoidOnly, COORDSYS_EllipsoidDistance, WGS84, WGS84, 0x489},
        {"no projection, cogo grids", EllipsoidAndDatum, COORDSYS_GridDistance, CogoGrid, CogoGrid, 0x8A4},
        {"no projection, cogo grids, ground", EllipsoidAndDatum, COORDSYS_GroundDistance, CogoGrid, CogoGrid, 0x854},
        {"projection without datum or height model", ProjectionWithoutDatum, COORDSYS_GridDistance, PastThePole,
         PastThePole, 0x4A4},
        {"projection with a height model", ProjectionAndHeight, COORDSYS_GridDistance, PastThePole, PastThePole,
         0x8A4},
        {"no projection, local known: grid becomes local ground", EllipsoidAndDatum, COORDSYS_GridDistance, WGS84,
         WGS84, 0x452},
        {"no projection, local known", EllipsoidAndDatum, COORDSYS_EllipsoidDistance, WGS84, WGS84, 0x492},
        {"nothing known: the default", EllipsoidOnly, COORDSYS_EllipsoidDistance, WGS84, Nothing, 0x894},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        auto t = Make(c.kind, c.distances);
        ASSERT_TRUE(t);
        position_Class p1 = Given(c.p1, t.get());
        position_Class p2 = Given(c.p2, t.get());
        EXPECT_EQ(c.mask, cogo_GetSystem(p1, p2, t.get(), &t->Corrections).Value());
        if (c.p1 == c.p2) {
            EXPECT_EQ(c.mask, cogo_GetSystemForPosition(p1, t.get(), &t->Corrections).Value());
        }
    }
    EXPECT_TRUE(env.assertions.empty());

    position_Class p;
    coordsys_Corrections corrections;
    EXPECT_EQ(0x854, cogo_GetSystem(p, p, nullptr, &corrections).Value());
    EXPECT_EQ(std::vector<std::string>{"transform != 0"}, env.Expressions());
    EXPECT_EQ(live, csib_LiveAllocations());
}

}  // namespace
