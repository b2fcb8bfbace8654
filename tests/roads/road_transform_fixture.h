// A converter transformation for road geometry tests, made from corrections with the
// given grid orientation and azimuth reckoning, and gone again after each test.
#pragma once

#include <gtest/gtest.h>

#include "records/coordsysdefs.h"
#include "roads/roadquorvel.h"

class RoadTransformTest : public ::testing::Test {
protected:
    void SetUp() override { Use(COORDSYS_IncreasingNorthEast, false); }
    void TearDown() override { road_DeleteConverterTransformation(); }

    static void Use(int32_t orientation, bool southAzimuths) {
        db_Corrections record;
        record.Corrections.GridOrientation = orientation;
        record.Corrections.SouthAzimuth = southAzimuths;
        road_CreateConverterTransformation(record);
    }
};
