#include "cogo/grade.h"

#include <cmath>

#include "foundation/environment.h"

namespace {
constexpr const char* kModule = "QZ/grade";

// Below this |cos| or |tan| the tangent would blow a vertical difference up, or a
// horizontal distance, beyond any use.
constexpr double kSteepLimit = 0.0001;
}  // namespace

bool grade_IsUp(double grade) { return std::fabs(GRADE_Up - grade) <= GRADE_Tolerance; }

bool grade_IsDown(double grade) { return std::fabs(-grade - GRADE_Up) <= GRADE_Tolerance; }

bool grade_IsValid(double grade) {
    return -(GRADE_Tolerance + GRADE_Up) <= grade && grade <= GRADE_Tolerance + GRADE_Up;
}

void grade_ComputeVerticalDifference(const double* grade, const double* distance, double* out) {
    if (maths_IsNull(*grade) || maths_IsNull(*distance)) return;
    QZ_ASSERT_TEXT(!(*grade > GRADE_Up) && !(*grade < GRADE_Down),
                   "(!(*grade > GRADE_Up)) && (!(*grade < GRADE_Down))");
    // A grade just past the vertical still counts as vertical; one beyond the
    // tolerance (or NaN) has no meaningful vertical difference.
    if (!grade_IsValid(*grade)) return;
    if (grade_IsUp(*grade)) {
        *out = *distance;
    } else if (grade_IsDown(*grade)) {
        *out = -*distance;
    } else if (std::fabs(std::cos(*grade)) >= kSteepLimit) {
        *out = std::tan(*grade) * *distance;
    } else {
        // Steeper than the tangent can serve but not vertical within the tolerance:
        // taken as vertical, as the grade's direction says.
        *out = *grade > 0.0 ? *distance : -*distance;
    }
}

double grade_VerticalDifference(double grade, double distance) {
    double out = MATHS_Null;
    grade_ComputeVerticalDifference(&grade, &distance, &out);
    return out;
}

double grade_HorizontalDistance(double grade, double verticalDifference) {
    if (maths_IsNull(grade) || maths_IsNull(verticalDifference)) return MATHS_Null;
    QZ_ASSERT_TEXT(!(grade > GRADE_Up) && !(grade < GRADE_Down), "(!(grade > GRADE_Up)) && (!(grade < GRADE_Down))");
    if (!grade_IsValid(grade)) return MATHS_Null;
    if (grade_IsUp(grade) || grade_IsDown(grade)) return 0.0;
    const double t = std::tan(grade);
    if (std::fabs(t) >= kSteepLimit) return verticalDifference / t;
    return MATHS_Null;
}
