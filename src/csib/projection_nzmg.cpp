// New Zealand map grid, kind 6: a complex polynomial of the isometric latitude and
// longitude differences from 41 S 173 E, on the block's semi-major axis. No record and
// no saved part. Forward and inverse (two Newton steps) within 0.2 mm of the
// published series, the inverse then refined on the forward; convergence from the
// series' derivative.
#include <cmath>

#include "csib/kinds.h"
#include "csib/projection_national.h"

namespace {

// The published coefficient sets.
constexpr double kA[10] = {0.6399175073, -0.1358797613, 0.063294409, -0.02526853, 0.0117879,
                           -0.0055161,   0.0026906,     -0.001333,   0.00067,     -0.00034};
constexpr csib_Complex kB[6] = {{0.7557853228, 0.0},         {0.249204646, 0.003371507},
                                {-0.001541739, 0.041058560}, {-0.10162907, 0.01727609},
                                {-0.26623489, -0.36249218},  {-0.6870983, -1.1651967}};
constexpr csib_Complex kC[6] = {{1.3231270439, 0.0},         {-0.577245789, -0.007809598},
                                {0.508307513, -0.112208952}, {-0.15094762, 0.18200602},
                                {1.01418179, 1.64497696},    {1.9660549, 2.5127645}};
constexpr double kD[9] = {1.5627014243, 0.5185406398, -0.03333098, -0.1052906, -0.0368594,
                          0.007317,     0.01220,      0.00394,     -0.0013};
constexpr int kNewtonSteps = 2;
constexpr double kToDegrees = 57.29577951308232;
constexpr double kSecondsUnit = 0.484813681;  // 10^5 seconds of arc in radians

csib_Status Load(csib_Block* block, const uint8_t*) {
    block->originLatitude = -0.7155849933176751;
    block->originLongitude = 3.01941960595019;
    block->falseNorthing = 6023150.0;
    block->falseEasting = 2510000.0;
    block->scaleFactor = 1.0;
    return CSIB_Ok;
}

// Isometric latitude difference (in 10^5 seconds) and longitude difference.
csib_Complex Zeta(const csib_Block* block, const csib_GeodeticPoint* in) {
    const double dPhi = (in->latitude - block->originLatitude) * kToDegrees * 0.036;
    double dPsi = 0.0;
    double power = 1.0;
    for (double a : kA) {
        power *= dPhi;
        dPsi += a * power;
    }
    return {dPsi, in->longitude - block->originLongitude};
}

// sum of k B_k zeta^(k-1).
csib_Complex Derivative(csib_Complex zeta) {
    csib_Complex sum{0.0, 0.0};
    csib_Complex power{1.0, 0.0};
    for (int k = 0; k < 6; ++k) {
        sum = complex_Add(sum, complex_Scale(complex_Multiply(kB[k], power), k + 1.0));
        power = complex_Multiply(power, zeta);
    }
    return sum;
}

csib_Status Forward(csib_Block* block, const csib_GeodeticPoint* in, csib_GridPoint* out) {
    const csib_Complex z = nzmg_ComplexPolynomial(Zeta(block, in), kB, 6);
    out->north = block->semiMajorAxis * z.re;
    out->east = block->semiMajorAxis * z.im;
    csib_HeightsToGrid(in, out);
    return CSIB_Ok;
}

csib_Status Inverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    if (csib_NullInverse(in, out)) return CSIB_Ok;
    const csib_Complex z{in->north / block->semiMajorAxis, in->east / block->semiMajorAxis};
    csib_Complex zeta = nzmg_ComplexPolynomial(z, kC, 6);
    for (int i = 0; i < kNewtonSteps; ++i) zeta = nzmg_NewtonStep(z, zeta);
    double sum = 0.0;
    double power = 1.0;
    for (double d : kD) {
        power *= zeta.re;
        sum += d * power;
    }
    out->latitude = block->originLatitude + kSecondsUnit * sum;
    out->longitude = block->originLongitude + zeta.im;
    csib_HeightsToGeodetic(in, out);
    return csib_RefineInverse(block, Forward, in->north, in->east, out, CSIB_OutsideArea);
}

csib_Status Convergence(csib_Block* block, const csib_GeodeticPoint* in, double* gamma) {
    if (!gamma) return CSIB_MissingOutput;
    const csib_Complex w = Derivative(Zeta(block, in));
    *gamma = -std::atan(w.im / w.re);
    return CSIB_Ok;
}

}  // namespace

csib_Complex nzmg_ComplexPolynomial(csib_Complex z, const csib_Complex* c, int count) {
    csib_Complex sum{0.0, 0.0};
    csib_Complex power{1.0, 0.0};
    for (int k = 0; k < count; ++k) {
        power = complex_Multiply(power, z);
        sum = complex_Add(sum, complex_Multiply(c[k], power));
    }
    return sum;
}

csib_Complex nzmg_NewtonStep(csib_Complex z, csib_Complex zeta) {
    csib_Complex numerator = z;
    csib_Complex power = zeta;
    for (int k = 1; k < 6; ++k) {
        power = complex_Multiply(power, zeta);
        numerator = complex_Add(numerator, complex_Scale(complex_Multiply(kB[k], power), static_cast<double>(k)));
    }
    return complex_Divide(numerator, Derivative(zeta));
}

const csib_ProjectionFunctions csib_NewZealandMapGridFunctions = {
    Load,    csib_NoFileWork,             csib_NoFileWork, csib_FreeProjectionRecord,   csib_SaveNothing, Forward,
    Inverse, csib_ScaleFactorUnavailable, Convergence,     csib_NoProjectionParameters, csib_NoSavedPart,
};
