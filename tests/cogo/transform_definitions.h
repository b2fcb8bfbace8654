// The coordinate-system definitions the cogo tests build transforms from: WGS-84 by
// default, with a transverse Mercator or International 1924 with a three-parameter
// datum on request.
#pragma once

#include <memory>

#include <gtest/gtest.h>

#include "cogo/position.h"
#include "cogo/transfrm.h"
#include "csib/csibplatform.h"
#include "support/recording_environment.h"

struct TransformDefinitions {
    static constexpr double kDeg = CONSTANT_Pi / 180.0;

    coordsys_Ellipsoid ellipsoid = coordsys_WGS84Ellipsoid;
    coordsys_Projection projection;
    coordsys_Datum datum;
    coordsys_Plane plane;
    coordsys_Height height;
    coordsys_Corrections corrections;

    // Transverse Mercator, lon0 9, k0 0.9996, false easting 500,000.
    TransformDefinitions& TransverseMercator() {
        projection.ProjectionType = COORDSYS_TransverseMercator;
        projection.OriginLocal = coord_Local(0.0, 9.0 * kDeg, 0.0);
        projection.OriginGrid = coord_CorrectedGrid(0.0, 500000.0, 0.0);
        projection.Scale = 0.9996;
        return *this;
    }
    // International 1924 with a three-parameter datum (WGS84 to local 87, 98, 121 m).
    TransformDefinitions& International() {
        ellipsoid = coordsys_Ellipsoid(6378388.0, 1.0 / 297.0);
        datum.DatumType = COORDSYS_ThreeParameter;
        datum.TranslationX = 87.0;
        datum.TranslationY = 98.0;
        datum.TranslationZ = 121.0;
        return *this;
    }
    std::unique_ptr<transfrm_Class> Create(uint16_t components) const {
        int32_t error = -1;
        transfrm_Class* t = transfrm_Create(components, &ellipsoid, &projection, &datum, &plane, &height,
                                            &corrections, TRANSFRM_ConversionLoadFlags, &error);
        EXPECT_NE(nullptr, t) << "error " << error;
        return std::unique_ptr<transfrm_Class>(t);
    }
};

// Positions in the cogo grid of a plain transform (north azimuths, no projection), and a
// check that no engine block outlives the test.
class CogoGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        live = csib_LiveAllocations();
        transform = TransformDefinitions().Create(TRANSFRM_Ellipsoid | TRANSFRM_Corrections);
        ASSERT_TRUE(transform);
    }
    void TearDown() override {
        transform.reset();
        EXPECT_EQ(live, csib_LiveAllocations()) << "engine blocks left behind";
    }

    position_Class At(double n, double e, double h, const char* name = "P") {
        position_Class p;
        p.Name = name;
        p.SetCogoGrid(coord_CogoGrid(n, e, h), transform.get());
        return p;
    }
    void ExpectAt(double n, double e, double h, position_Class& p, double tolerance = 1e-9) {
        ASSERT_TRUE(p.IsDefined());
        const coord_CogoGrid c = p.GetCogoGrid(transform.get());
        EXPECT_NEAR(n, c.North, tolerance);
        EXPECT_NEAR(e, c.East, tolerance);
        if (maths_IsNull(h))
            EXPECT_TRUE(maths_IsNull(c.Elev)) << c.Elev;
        else
            EXPECT_NEAR(h, c.Elev, tolerance);
    }

    RecordingEnvironment env;
    int64_t live = 0;
    std::unique_ptr<transfrm_Class> transform;
};
