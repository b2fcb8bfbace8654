#include "csib/projection_conformal.h"

#include <cmath>
#include <cstring>

#include "csib/csibplatform.h"

namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kLatitudeRounds = 100;
constexpr double kLatitudeStep = 1e-15;

}  // namespace

double csib_ParallelFactor(double e2, double phi) {
    const double s = std::sin(phi);
    return std::cos(phi) / std::sqrt(1.0 - e2 * s * s);
}

double csib_ConformalT(double e, double phi) {
    const double s = e * std::sin(phi);
    return std::tan(kPi / 4.0 - phi / 2.0) / std::pow((1.0 - s) / (1.0 + s), e / 2.0);
}

csib_Status csib_LatitudeFromT(double e, double t, double* phi) {
    double f = kPi / 2.0 - 2.0 * std::atan(t);
    for (int i = 0; i < kLatitudeRounds; ++i) {
        const double s = e * std::sin(f);
        const double next = kPi / 2.0 - 2.0 * std::atan(t * std::pow((1.0 - s) / (1.0 + s), e / 2.0));
        if (std::fabs(next - f) < kLatitudeStep) {
            *phi = next;
            return CSIB_Ok;
        }
        f = next;
    }
    return CSIB_IterationLimit;
}

double csib_SphereExponent(double e2, double phi) {
    const double c = std::cos(phi);
    return std::sqrt(1.0 + e2 * c * c * c * c / (1.0 - e2));
}

double csib_SphereRadius(double a, double e2, double phi) {
    const double s = std::sin(phi);
    const double w = 1.0 - e2 * s * s;
    return a * std::sqrt(1.0 - e2) / w;
}

csib_Status csib_NewProjectionRecord(csib_Block* block, std::size_t size, void** record) {
    void* made = csib_MemAlloc(size);
    if (!made) return CSIB_OutOfMemory;
    std::memset(made, 0, size);
    block->projectionParameters = made;
    *record = made;
    return CSIB_Ok;
}

csib_Status csib_NothingSaved(csib_Block*, uint8_t, int32_t* size) {
    if (!size) return CSIB_MissingOutput;
    *size = 0;
    return CSIB_Ok;
}
