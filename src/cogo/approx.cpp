#include "cogo/approx.h"

#include <cmath>

#include "foundation/environment.h"
#include "foundation/kernel/maths.h"

namespace {
constexpr const char* kModule = "QZ/approx";
}

bool approx_Compare(double a, int relation, double b, double delta) {
    QZ_ASSERT(delta > 0.0);
    QZ_ASSERT(delta < 1);
    if (maths_IsNull(a) || maths_IsNull(b)) {
        if (relation == APPROX_EqualTo) return a == b;
        if (relation == APPROX_NotEqualTo) return a != b;
        return false;
    }
    const double d = a - b;
    switch (relation) {
        case APPROX_EqualTo: return std::fabs(d) <= delta;
        case APPROX_NotEqualTo: return std::fabs(d) > delta;
        case APPROX_LessThan: return d < -delta;
        case APPROX_GreaterThan: return d > delta;
        case APPROX_LessOrEqual: return d <= delta;
        case APPROX_GreaterOrEqual: return d >= -delta;
        default: QZ_FAIL("0"); return false;
    }
}

bool approx_Equal(double a, int relation, double b) { return approx_Compare(a, relation, b, APPROX_Delta); }

bool approx_EqualDecimals(double a, int relation, double b, int decimals) {
    return approx_Compare(a, relation, b, std::pow(10.0, -decimals));
}
