#include "foundation/coords/coord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "foundation/coords/coordsys.h"

namespace {

constexpr double kDeg = CONSTANT_Pi / 180.0;

bool In(std::initializer_list<int> set, int i) {
    for (int x : set)
        if (x == i) return true;
    return false;
}

// Walks every choice of set components (value 1, the rest null) of a three-double
// class and checks the four questions against the class's horizontal and vertical
// component sets.
template <class C>
void CheckNullRules(bool position, double C::*m1, double C::*m2, double C::*m3, std::initializer_list<int> horizontal,
                    std::initializer_list<int> vertical) {
    double C::*members[3] = {m1, m2, m3};
    for (int mask = 0; mask < 8; ++mask) {
        SCOPED_TRACE(::testing::Message() << "set components mask " << mask);
        C c;
        for (int i = 0; i < 3; ++i)
            if (mask & (1 << i)) c.*members[i] = 1.0;
        auto noneSet = [&](std::initializer_list<int> set) {
            for (int i = 0; i < 3; ++i)
                if ((mask & (1 << i)) && In(set, i + 1)) return false;
            return true;
        };
        const coord_BaseClass& base = c;
        EXPECT_EQ(base.IsPosition(), position);
        EXPECT_EQ(base.IsNull(), mask == 0);
        EXPECT_EQ(base.HasNull(), mask != 7);
        EXPECT_EQ(base.IsHorizontalNull(), noneSet(horizontal));
        EXPECT_EQ(base.IsVerticalNull(), noneSet(vertical));
        C copy(c);
        c.SetNull();
        EXPECT_TRUE(c.IsNull());
        C assigned;
        assigned = copy;
        for (int i = 0; i < 3; ++i) EXPECT_EQ(assigned.*members[i], copy.*members[i]);
    }
}

TEST(CoordNullRules, EveryThreeValueClass) {
    CheckNullRules<coord_WGS84>(true, &coord_WGS84::Lat, &coord_WGS84::Long, &coord_WGS84::Height, {1, 2}, {3});
    CheckNullRules<coord_Local>(true, &coord_Local::Lat, &coord_Local::Long, &coord_Local::Height, {1, 2}, {3});
    CheckNullRules<coord_CogoGrid>(true, &coord_CogoGrid::North, &coord_CogoGrid::East, &coord_CogoGrid::Elev, {1, 2},
                                   {3});
    CheckNullRules<coord_CorrectedGrid>(true, &coord_CorrectedGrid::North, &coord_CorrectedGrid::East,
                                        &coord_CorrectedGrid::Elev, {1, 2}, {3});
    CheckNullRules<coord_LocalTransformedGrid>(true, &coord_LocalTransformedGrid::North,
                                               &coord_LocalTransformedGrid::East, &coord_LocalTransformedGrid::Elev,
                                               {1, 2}, {3});
    CheckNullRules<coord_GridDeltas>(false, &coord_GridDeltas::dNorth, &coord_GridDeltas::dEast,
                                     &coord_GridDeltas::dElev, {1, 2}, {3});
    CheckNullRules<coord_ECEF>(true, &coord_ECEF::X, &coord_ECEF::Y, &coord_ECEF::Z, {1, 2}, {3});
    CheckNullRules<coord_ECEFGround>(true, &coord_ECEFGround::X, &coord_ECEFGround::Y, &coord_ECEFGround::Z, {1, 2},
                                     {3});
    CheckNullRules<coord_ECEFDeltas>(false, &coord_ECEFDeltas::dX, &coord_ECEFDeltas::dY, &coord_ECEFDeltas::dZ,
                                     {1, 2}, {3});
    CheckNullRules<coord_Polar>(false, &coord_Polar::Azimuth, &coord_Polar::HDist, &coord_Polar::VDist, {1, 2},
                                {1, 3});
    CheckNullRules<coord_F2Polar>(false, &coord_F2Polar::Azimuth, &coord_F2Polar::HDist, &coord_F2Polar::VDist,
                                  {1, 2}, {1, 3});
    CheckNullRules<coord_Unturned>(false, &coord_Unturned::HorzCircle, &coord_Unturned::HDist, &coord_Unturned::VDist,
                                   {1, 2}, {1, 3});
    CheckNullRules<coord_Ground>(false, &coord_Ground::Azimuth, &coord_Ground::VertAngle, &coord_Ground::HDist, {1, 3},
                                 {2, 3});
    CheckNullRules<coord_LaserOffset>(false, &coord_LaserOffset::Azimuth, &coord_LaserOffset::VertAngle,
                                      &coord_LaserOffset::SlopeDist, {1, 3}, {2, 3});
    CheckNullRules<coord_Oriented>(false, &coord_Oriented::HorzAngle, &coord_Oriented::VertAngle,
                                   &coord_Oriented::Distance, {1, 3}, {2, 3});
    CheckNullRules<coord_StationOffset>(false, &coord_StationOffset::Station, &coord_StationOffset::Offset,
                                        &coord_StationOffset::Elevation, {1, 2}, {3});
    CheckNullRules<coord_Circle>(false, &coord_Circle::HorzCircle, &coord_Circle::VertCircle,
                                 &coord_Circle::EDMDistance, {1, 3}, {2, 3});
    CheckNullRules<coord_MTA>(false, &coord_MTA::HorzCircle, &coord_MTA::VertCircle, &coord_MTA::EDMDistance, {1, 3},
                              {2, 3});
}

TEST(CoordNullRules, CircleAndMTAOnlyLookAtTheirReadings) {
    coord_Circle circle;
    EXPECT_EQ(circle.Face, COORD_FaceNull);
    EXPECT_FALSE(circle.Flag);
    EXPECT_EQ(circle.EDMMeasurementMode, 7);
    EXPECT_TRUE(maths_IsNull(circle.HorzCircleStdErr));
    circle.HorzCircleStdErr = circle.VertCircleStdErr = circle.EDMDistanceStdErr = 0.001;
    circle.Face = COORD_Face2;
    circle.Flag = true;
    circle.EDMMeasurementMode = 2;
    EXPECT_TRUE(circle.IsNull());  // the standard errors and the rest do not count
    coord_Circle copy(circle);
    EXPECT_TRUE(copy.Flag);
    EXPECT_EQ(copy.EDMDistanceStdErr, 0.001);
    circle.SetNull();
    EXPECT_FALSE(circle.Flag);
    EXPECT_EQ(circle.Face, 0);
    EXPECT_EQ(circle.EDMMeasurementMode, 7);
    EXPECT_TRUE(maths_IsNull(circle.EDMDistanceStdErr));

    coord_MTA mta;
    EXPECT_EQ(mta.NumberOfHAngles + mta.NumberOfVAngles + mta.NumberOfDistances, 0);
    mta.HorzCircleStdErr = 1;
    mta.NumberOfDistances = 3;
    EXPECT_TRUE(mta.IsNull());
    mta.SetNull();
    EXPECT_EQ(mta.NumberOfDistances, 0);
    EXPECT_TRUE(maths_IsNull(mta.HorzCircleStdErr));
}

TEST(CoordNullRules, CorrectedCountsFaceZeroAsNull) {
    coord_Corrected c(1.0, 2.0, 3.0, COORD_FaceNull);
    EXPECT_TRUE(c.HasNull());
    EXPECT_FALSE(c.IsNull());
    c.Face = COORD_Face1;
    EXPECT_FALSE(c.HasNull());
    coord_Corrected nullReadings(MATHS_Null, MATHS_Null, MATHS_Null, COORD_Face1);
    EXPECT_FALSE(nullReadings.IsNull());  // a face is still there
    EXPECT_TRUE(nullReadings.IsHorizontalNull());
    EXPECT_TRUE(nullReadings.IsVerticalNull());
    coord_Corrected h(1.0, MATHS_Null, MATHS_Null, COORD_Face1);
    EXPECT_FALSE(h.IsHorizontalNull());
    EXPECT_TRUE(h.IsVerticalNull());
    c.SetNull();
    EXPECT_TRUE(c.IsNull());
    EXPECT_EQ(c.Face, 0);
    EXPECT_TRUE(coord_Corrected().IsNull());
}

TEST(CoordNullRules, StationSetupData) {
    coord_StationSetupData s;
    EXPECT_TRUE(s.IsNull());
    EXPECT_TRUE(s.IsHorizontalNull());
    s.Station = coord_CorrectedGrid(100, 200, 5);
    EXPECT_TRUE(s.HasNull());
    EXPECT_FALSE(s.IsNull());
    EXPECT_FALSE(s.IsHorizontalNull());
    EXPECT_FALSE(s.IsVerticalNull());
    s.Station.SetHorizontalNull();
    EXPECT_TRUE(s.IsHorizontalNull());
    s.Orientation = 1.0;
    EXPECT_FALSE(s.IsHorizontalNull());  // the orientation alone is a horizontal part
    s.Station.SetVerticalNull();
    EXPECT_TRUE(s.IsVerticalNull());
    s.SetNull();
    EXPECT_TRUE(s.IsNull());
}

TEST(CoordGrid, HeldEastElevationNorth) {
    coord_CorrectedGrid g(100, 200, 5);
    EXPECT_EQ(g.North, 100);
    EXPECT_EQ(g.East, 200);
    EXPECT_EQ(g.Elev, 5);
    // The storage order is part of the value's layout.
    EXPECT_LT(reinterpret_cast<const char*>(&g.East), reinterpret_cast<const char*>(&g.Elev));
    EXPECT_LT(reinterpret_cast<const char*>(&g.Elev), reinterpret_cast<const char*>(&g.North));
    g.SetHorizontalNull();
    EXPECT_EQ(g.Elev, 5);
    EXPECT_TRUE(g.IsHorizontalNull());
    EXPECT_FALSE(g.IsVerticalNull());
    coord_LocalTransformedGrid l(1, 2, 3);
    EXPECT_EQ(l.North, 1);
    EXPECT_EQ(l.East, 2);
    EXPECT_EQ(l.Elev, 3);
}

TEST(CoordGrid, DifferencesAndSumsMatchComponentsByMeaning) {
    const coord_CorrectedGrid a(1000, 2000, 50), b(990, 2010, MATHS_Null);
    const coord_GridDeltas d = a.Subtract(b);
    EXPECT_EQ(d.dNorth, 10);
    EXPECT_EQ(d.dEast, -10);
    EXPECT_TRUE(maths_IsNull(d.dElev));  // only the affected component is null
    const coord_CorrectedGrid back = b.Add(coord_GridDeltas(10, -10, 1));
    EXPECT_EQ(back.North, 1000);
    EXPECT_EQ(back.East, 2000);
    EXPECT_TRUE(maths_IsNull(back.Elev));

    const coord_LocalTransformedGrid la(1, 2, 3), lb(0.5, 1, 1);
    const coord_GridDeltas ld = la.Subtract(lb);
    EXPECT_EQ(ld.dNorth, 0.5);
    EXPECT_EQ(ld.dEast, 1);
    EXPECT_EQ(ld.dElev, 2);
    EXPECT_EQ(lb.Add(ld), la);

    const coord_CogoGrid ca(5, 6, 7), cb(1, 1, MATHS_Null);
    const coord_GridDeltas cd = ca.Subtract(cb);
    EXPECT_EQ(cd.dNorth, 4);
    EXPECT_EQ(cd.dEast, 5);
    EXPECT_TRUE(maths_IsNull(cd.dElev));
    const coord_CogoGrid cs = cb.Add(cd);
    EXPECT_EQ(cs.North, 5);
    EXPECT_EQ(cs.East, 6);
}

TEST(CoordGrid, IsWithinAndEquality) {
    const coord_CorrectedGrid a(0, 0, 0), b(4, 3, 100);
    struct Case {
        coord_CorrectedGrid p, q;
        double tolerance;
        bool within;
    };
    const Case cases[] = {
        {a, b, 5.0, true},
        {a, b, 4.999, false},
        {a, b, MATHS_Null, true},  // a null tolerance takes every point
        {coord_CorrectedGrid(MATHS_Null, 0, 0), b, 1e6, false},
        {a, coord_CorrectedGrid(MATHS_Null, 3, 0), 1e6, false},
        // Differences are null-aware: two null points are not within a finite tolerance.
        {coord_CorrectedGrid(), coord_CorrectedGrid(), 1.0, false},
        {coord_CorrectedGrid(), coord_CorrectedGrid(), MATHS_Null, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.p.IsWithin(c.q, c.tolerance), c.within) << c.tolerance;
        const coord_LocalTransformedGrid lp(c.p.North, c.p.East, c.p.Elev), lq(c.q.North, c.q.East, c.q.Elev);
        EXPECT_EQ(lp.IsWithin(lq, c.tolerance), c.within) << c.tolerance;
    }
    EXPECT_TRUE(coord_CorrectedGrid() == coord_CorrectedGrid());
    EXPECT_TRUE(a != coord_CorrectedGrid(0, 0, 1e-12));
    EXPECT_TRUE(b == coord_CorrectedGrid(4, 3, 100));
}

TEST(CoordDeltas, AzimuthsDistancesAndAngles) {
    const coord_GridDeltas east(0, 10, 0), southWest(-1, -1, 0), down(3, 4, -5);
    EXPECT_DOUBLE_EQ(east.Azimuth(), CONSTANT_PiOverTwo);
    EXPECT_DOUBLE_EQ(southWest.Azimuth(), 225 * kDeg);
    EXPECT_DOUBLE_EQ(down.HorizontalDistance(), 5);
    EXPECT_DOUBLE_EQ(down.SlopeDistance(), std::sqrt(50.0));
    EXPECT_DOUBLE_EQ(down.VerticalAngle(), 2 * CONSTANT_Pi - 45 * kDeg);  // below the horizontal
    EXPECT_DOUBLE_EQ(coord_GridDeltas(3, 4, 5).VerticalAngle(), 45 * kDeg);

    const coord_GridDeltas noElev(3, 4, MATHS_Null);
    EXPECT_DOUBLE_EQ(noElev.HorizontalDistance(), 5);
    EXPECT_FALSE(maths_IsNull(noElev.Azimuth()));
    EXPECT_TRUE(maths_IsNull(noElev.SlopeDistance()));
    EXPECT_TRUE(maths_IsNull(noElev.VerticalAngle()));
    EXPECT_TRUE(maths_IsNull(coord_GridDeltas(MATHS_Null, 1, 1).Azimuth()));
    EXPECT_TRUE(maths_IsNull(coord_GridDeltas(1, MATHS_Null, 1).HorizontalDistance()));
    EXPECT_TRUE(maths_IsNull(coord_GridDeltas(0, 0, 1).Azimuth()));  // no direction

    coord_GridDeltas z;
    z.SetZero();
    EXPECT_FALSE(z.HasNull());
    EXPECT_EQ(z.dNorth + z.dEast + z.dElev, 0.0);

    // Measured from the Y axis towards X.
    const coord_ECEFDeltas e(1, 0, 0), f(0, -2, 7);
    EXPECT_DOUBLE_EQ(e.Azimuth(), CONSTANT_PiOverTwo);
    EXPECT_DOUBLE_EQ(f.Azimuth(), CONSTANT_Pi);
    EXPECT_DOUBLE_EQ(f.HorizontalDistance(), 2);
    EXPECT_DOUBLE_EQ(coord_ECEFDeltas(2, 3, 6).SlopeDistance(), 7);
    EXPECT_TRUE(maths_IsNull(coord_ECEFDeltas(1, 1, MATHS_Null).SlopeDistance()));
    EXPECT_FALSE(maths_IsNull(coord_ECEFDeltas(1, 1, MATHS_Null).HorizontalDistance()));
}

TEST(CoordECEF, SubtractAddAndGroundAreWholeValueOperations) {
    const coord_ECEF a(10, 20, 30), b(1, 2, 3);
    const coord_ECEFDeltas d = a.Subtract(b);
    EXPECT_EQ(d.dX, 9);
    EXPECT_EQ(d.dY, 18);
    EXPECT_EQ(d.dZ, 27);
    const coord_ECEF sum = b.Add(d);
    EXPECT_EQ(sum.X, 10);
    EXPECT_EQ(sum.Z, 30);
    EXPECT_TRUE(a.Subtract(coord_ECEF(1, 2, MATHS_Null)).IsNull());  // wholly null, unlike the grids
    EXPECT_TRUE(coord_ECEF(1, 2, MATHS_Null).Add(d).IsNull());
    EXPECT_TRUE(a.Add(coord_ECEFDeltas(1, MATHS_Null, 1)).IsNull());
    const coord_ECEFGround g = a.ToECEFGround();
    EXPECT_EQ(g.Y, 20);
    EXPECT_EQ(g.ToECEF().Z, 30);
}

TEST(CoordKinds, PositionTypesAndLocalRange) {
    for (int t = -1; t <= 21; ++t)
        EXPECT_EQ(coord_IsPositionType(t), t == 1 || t == 2 || t == 3 || t == 4 || t == 6 || t == 7 || t == 19) << t;
    struct Case {
        double lat, lon;
        bool inRange;
    };
    const Case cases[] = {
        {-CONSTANT_PiOverTwo, 0, true}, {CONSTANT_PiOverTwo, 0, false}, {0, -CONSTANT_Pi, true},
        {0, CONSTANT_Pi, false},        {MATHS_Null, MATHS_Null, true}, {MATHS_Null, 4, false},
        {-2, MATHS_Null, false},
    };
    for (const Case& c : cases) EXPECT_EQ(coord_Local(c.lat, c.lon, 1e9).IsInRange(), c.inRange) << c.lat << " " << c.lon;
}

// Reference values from GeographicLib's CartConvert with the same ellipsoid:
// CartConvert -e 6378137 0.0033528106718309905 -p 9 (and -r for the inverse).
struct GeodeticCase {
    double lat, lon, h;  // degrees, metres
    double x, y, z;
};
const GeodeticCase kGeodetic[] = {
    {45, 10, 100, 4449028.158867451, 784483.702340038, 4487419.119496145},
    {0, 0, 0, 6378137.000000000, 0.0, 0.0},
    {-33.8688, 151.2093, 58.2, -4646093.622833766, 2553229.615800604, -3534404.822326504},
    {89.9999, -120.5, 1234.5, -5.669991501, -9.625735458, 6357986.814190251},
    {-89.5, 45, -50, 39488.965301181, 39488.965301181, -6356458.639281824},
    {60.1234567, -179.9999, 8848.86, -3189593.154736622, -5.566890235, 5515014.509621882},
    {12.5, 179.99, -420, -6227516.179770748, 1086.906626618, 1371364.202360157},
    {-45, -90, 0.001, 0.0, -4517590.879572039, -4487348.409525133},
    {30, 0, 10000, 5536916.893340454, 0.0, 3175373.735344176},
    {0.0001, 0.0001, 5, 6378141.999980636, 11.131957806, 11.057436309},
};

TEST(CoordECEF, GeodeticToEarthCentredMatchesReference) {
    for (const GeodeticCase& c : kGeodetic) {
        SCOPED_TRACE(::testing::Message() << c.lat << " " << c.lon << " " << c.h);
        const coord_ECEF e = coord_WGS84(c.lat * kDeg, c.lon * kDeg, c.h).ToECEF(coordsys_WGS84Ellipsoid);
        EXPECT_NEAR(e.X, c.x, 1e-4);
        EXPECT_NEAR(e.Y, c.y, 1e-4);
        EXPECT_NEAR(e.Z, c.z, 1e-4);
    }
}

TEST(CoordECEF, EarthCentredToGeodeticMatchesReference) {
    for (const GeodeticCase& c : kGeodetic) {
        SCOPED_TRACE(::testing::Message() << c.lat << " " << c.lon << " " << c.h);
        const coord_WGS84 g = coord_ECEF(c.x, c.y, c.z).ToWGS84(coordsys_WGS84Ellipsoid);
        EXPECT_NEAR(g.Lat / kDeg, c.lat, 1e-9);
        EXPECT_NEAR(g.Long / kDeg, c.lon, 1e-9);
        EXPECT_NEAR(g.Height, c.h, 1e-4);
        // And the full round trip from the geodetic side.
        const coord_WGS84 r = coord_WGS84(c.lat * kDeg, c.lon * kDeg, c.h)
                                  .ToECEF(coordsys_WGS84Ellipsoid)
                                  .ToWGS84(coordsys_WGS84Ellipsoid);
        EXPECT_NEAR(r.Lat / kDeg, c.lat, 1e-9);
        EXPECT_NEAR(r.Long / kDeg, c.lon, 1e-9);
        EXPECT_NEAR(r.Height, c.h, 1e-4);
    }
    // Points off the surface (CartConvert -r).
    struct Inverse {
        double x, y, z, lat, lon, h;
    };
    const Inverse far[] = {
        {-1000, 2000, 6400000, 89.980114789962002, 116.565051177077990, 43248.0738275509},
        {4000000, -3000000, -3500000, -35.180989932565140, -36.869897645844020, -267801.4496039912},
    };
    for (const Inverse& c : far) {
        const coord_WGS84 g = coord_ECEF(c.x, c.y, c.z).ToWGS84(coordsys_WGS84Ellipsoid);
        EXPECT_NEAR(g.Lat / kDeg, c.lat, 1e-9);
        EXPECT_NEAR(g.Long / kDeg, c.lon, 1e-9);
        EXPECT_NEAR(g.Height, c.h, 1e-4);
    }
}

TEST(CoordECEF, PolarAxisAndNulls) {
    const double b = coordsys_WGS84Ellipsoid.EarthRadius * (1 - coordsys_WGS84Ellipsoid.Flattening);
    EXPECT_NEAR(b, 6356752.3142, 5e-5);
    const coord_WGS84 north = coord_ECEF(0, 0, b + 10).ToWGS84(coordsys_WGS84Ellipsoid);
    EXPECT_EQ(north.Lat, CONSTANT_PiOverTwo);
    EXPECT_EQ(north.Long, 0.0);
    EXPECT_NEAR(north.Height, 10, 1e-6);
    const coord_WGS84 south = coord_ECEF(0, 0, -(b + 10)).ToWGS84(coordsys_WGS84Ellipsoid);
    EXPECT_EQ(south.Lat, -CONSTANT_PiOverTwo);
    EXPECT_NEAR(south.Height, 10, 1e-6);

    EXPECT_TRUE(coord_WGS84(0, 0, MATHS_Null).ToECEF(coordsys_WGS84Ellipsoid).IsNull());
    EXPECT_TRUE(coord_ECEF(MATHS_Null, 1, 1).ToWGS84(coordsys_WGS84Ellipsoid).IsNull());
    // A null ellipsoid gives null results rather than numbers built on 1e308.
    coordsys_Ellipsoid none;
    EXPECT_TRUE(coord_WGS84(0.5, 0.5, 10).ToECEF(none).IsNull());
    EXPECT_TRUE(coord_ECEF(6378137, 0, 0).ToWGS84(none).IsNull());
    EXPECT_TRUE(coord_WGS84(0.5, 0.5, 10).ToECEF(coordsys_Ellipsoid(6378137.0, MATHS_Null)).IsNull());
}

}  // namespace
