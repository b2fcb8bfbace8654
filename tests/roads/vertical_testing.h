// Checks shared by the tests of the vertical elements and the vertical alignment.
#pragma once

#include <gtest/gtest.h>

#include "roads/roadquorvel_vertical.h"

// Geometry is checked against closed-form values (circles solved from their distances
// to both grade lines, parabolas y = y0 + g1 t + (g2 - g1) t^2 / 2L), computed
// beforehand to 40 digits and pinned to this tolerance.
inline constexpr double kVerticalTolerance = 1e-9;

#define EXPECT_POINT(p, s, e)                                      \
    do {                                                           \
        EXPECT_NEAR((p).Station, (s), kVerticalTolerance) << #p;   \
        EXPECT_NEAR((p).Elevation, (e), kVerticalTolerance) << #p; \
    } while (0)
