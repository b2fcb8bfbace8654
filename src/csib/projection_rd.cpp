// RD stereographic, kind 12: fixed polynomials about the Amersfoort origin, which its
// Load stores into the block with the false origin and scale. No record, no saved
// part, neither scale nor convergence. The inverse polynomials (0.2 mm off the
// forward's) are refined on the forward.
#include "csib/kinds.h"
#include "csib/projection.h"
#include "csib/projection_conformal.h"

namespace {

constexpr double kDegree = 57.29577951308232;  // degrees per radian
constexpr double kArcSecond = 4.84813681109536e-6;

// coefficient * p^i * q^j
struct Term {
    double coefficient;
    int i, j;
};

constexpr Term kEast[] = {
    {190066.98903, 0, 1}, {-11830.85831, 1, 1}, {-114.19754, 2, 1}, {-32.3836, 0, 3},  {-2.34078, 3, 1},
    {-0.60639, 1, 3},     {0.15774, 2, 3},      {-0.04158, 4, 1},   {-0.00661, 0, 5},
};
constexpr Term kNorth[] = {
    {309020.3181, 1, 0}, {72.97141, 2, 0}, {3638.36193, 0, 2}, {-157.95222, 1, 2}, {59.79734, 3, 0},
    {-6.43481, 2, 2},    {-0.03444, 4, 0}, {0.09351, 0, 4},    {-0.07379, 3, 2},   {-0.05419, 1, 4},
};
// In y = north / 100000 and x = east / 100000; seconds of arc.
constexpr Term kLatitude[] = {
    {3236.0331637, 1, 0}, {-32.5915821, 0, 2}, {-0.2472814, 2, 0}, {-0.8501341, 1, 2},
    {-0.0655238, 3, 0},   {-0.0171137, 2, 2},  {0.0052771, 0, 4},  {-0.0003859, 3, 2},
    {0.0003314, 1, 4},    {0.0000371, 4, 0},   {0.0000143, 2, 4},  {-0.000009, 4, 2},
};
constexpr Term kLongitude[] = {
    {5261.3028966, 0, 1}, {105.9780241, 1, 1}, {2.4576469, 2, 1},  {-0.8192156, 0, 3},
    {-0.0560092, 1, 3},   {0.0560089, 3, 1},   {-0.0025614, 2, 3}, {0.001277, 4, 1},
    {0.0002574, 0, 5},    {-0.0000973, 3, 3},  {0.0000293, 1, 5},  {0.0000291, 5, 1},
};

double Power(double x, int n) {
    double r = 1.0;
    for (int i = 0; i < n; ++i) r *= x;
    return r;
}

template <std::size_t Count>
double Sum(const Term (&terms)[Count], double p, double q) {
    double sum = 0.0;
    for (const Term& t : terms) sum += t.coefficient * Power(p, t.i) * Power(q, t.j);
    return sum;
}

csib_Status Load(csib_Block* block, const uint8_t*) {
    block->originLatitude = 0.9102967268932393;   // 52.15616055555555 degrees
    block->originLongitude = 0.09403203751960007;  // 5.38763888888889 degrees
    block->falseNorthing = 463000.0;
    block->falseEasting = 155000.0;
    block->scaleFactor = 0.9999079;
    return CSIB_Ok;
}

csib_Status Forward(csib_Block* block, const csib_GeodeticPoint* in, csib_GridPoint* out) {
    const double p = 0.36 * (in->latitude - block->originLatitude) * kDegree;
    const double q = 0.36 * (in->longitude - block->originLongitude) * kDegree;
    out->east = Sum(kEast, p, q);
    out->north = Sum(kNorth, p, q);
    csib_HeightsToGrid(in, out);
    return CSIB_Ok;
}

csib_Status Inverse(csib_Block* block, csib_GridPoint* in, csib_GeodeticPoint* out) {
    if (csib_NullInverse(in, out)) return CSIB_Ok;
    const double y = in->north / 100000.0;
    const double x = in->east / 100000.0;
    out->latitude = block->originLatitude + Sum(kLatitude, y, x) * kArcSecond;
    out->longitude = block->originLongitude + Sum(kLongitude, y, x) * kArcSecond;
    csib_HeightsToGeodetic(in, out);
    return csib_RefineInverse(block, Forward, in->north, in->east, out, CSIB_OutsideArea);
}

csib_Status ScaleFactor(csib_Block*, const csib_GeodeticPoint*, double*) { return CSIB_NoScaleFactor; }
}  // namespace

const csib_ProjectionFunctions csib_RDStereographicFunctions = {
    Load,    csib_NoFileWork, csib_NoFileWork, csib_FreeProjectionRecord,   csib_SaveNothing, Forward,
    Inverse, ScaleFactor,     csib_ConvergenceUnavailable, csib_NoProjectionParameters, csib_NothingSaved,
};
