#include "cogo/position_circle.h"

#include <cmath>

#include "cogo/position_angles.h"
#include "cogo/reduce.h"
#include "foundation/kernel/maths.h"

namespace {

constexpr double kKelvin = 273.15;

// The zenith-dependent prisms: a quadratic in the zenith for the along-sight term and,
// for type 1, a linear vertical term; type 0 also tilts the sight by an eccentricity.
constexpr double kType1G2 = -0.00544364081387558, kType1G1 = 0.0171017019896531, kType1G0 = 0.013424821050095;
constexpr double kType1F1 = -0.0182449143622567, kType1F0 = 0.0286590444629203;
struct Type0Coefficients {
    double a2, a1, a0, eccentricity;
};
constexpr Type0Coefficients kType0Standard = {-0.0154818768605492, 0.0486568492020542, 0.038228, 0.022};
constexpr Type0Coefficients kType0Checked = {-0.0120774850901667, 0.0379298060376605, 0.029799, 0.015};

double Azimuth(double angle) { return coord_NormalisedAzimuth(&angle); }

// A missing prism constant adds nothing rather than a null's worth of metres.
double ConstantOf(const total_Prism& prism) { return maths_IsNull(prism.PrismConstant) ? 0.0 : prism.PrismConstant; }

// The zenith as a face-1 zenith, and whether it was on face 2.
double Face1Zenith(const coord_Circle& circle, bool* face2) {
    *face2 = position_IsFace2(circle.VertCircle, circle.Face);
    return *face2 ? CONSTANT_TwoPi - circle.VertCircle : circle.VertCircle;
}

// The true vertical heights of the instrument and target; with null heights taken as 0
// when the environment says so.
void Heights(const position_ReductionRecords& e, double* hi, double* ht) {
    *hi = e.Station.TheodoliteHeight.TrueVerticalHeight();
    *ht = e.Target.Target.TargetHeightData.TrueVerticalHeight();
    if (!e.DefaultNullHeights) return;
    if (maths_IsNull(*hi)) *hi = 0.0;
    if (maths_IsNull(*ht)) *ht = 0.0;
}

// The station's scale factor, null when it cannot scale (missing or zero).
double ScaleOf(const position_ReductionRecords& e) {
    const double scale = e.Station.ScaleFactor;
    return maths_IsNull(scale) || scale == 0.0 ? MATHS_Null : scale;
}

}  // namespace

// ---------------------------------------------------------------- single steps

void position_ApplyPrismCorrection(coord_Circle* circle, const total_Target& target, int r) {
    if (maths_IsNull(circle->EDMDistance)) {
        circle->EDMDistanceStdErr = MATHS_Null;
        return;
    }
    if (circle->EDMDistance < 0.0) {
        circle->EDMDistance = circle->EDMDistanceStdErr = MATHS_Null;
        return;
    }
    const total_Prism& prism = target.Prism;
    if (prism.IsZenithDependent()) {
        if (maths_IsNull(circle->VertCircle)) return;
        if (prism.PrismType == 1) position_PrismCorrectionType1(circle, prism, r);
        else position_PrismCorrectionType0(circle, target, r);
        return;
    }
    if (maths_IsNull(prism.PrismConstant)) return;
    circle->EDMDistance += r == 0 ? prism.PrismConstant : -prism.PrismConstant;
}

void position_PrismCorrectionType1(coord_Circle* circle, const total_Prism& prism, int r) {
    bool face2 = false;
    const double z = Face1Zenith(*circle, &face2);
    const double s = circle->EDMDistance;
    double h = std::sin(z) * s, v = std::cos(z) * s;
    const double g = kType1G2 * z * z + kType1G1 * z - kType1G0 - ConstantOf(prism);
    const double f = kType1F1 * z + kType1F0;
    if (r == 0) {
        h -= g;
        v -= f;
    } else {
        h += g;
        v += f;
    }
    const double e = maths_ATan2(v, h);
    if (!maths_IsNull(e)) {
        const double zenith = CONSTANT_PiOverTwo - e;
        circle->VertCircle = Azimuth(face2 ? CONSTANT_TwoPi - zenith : zenith);
    }
    circle->EDMDistance = std::sqrt(h * h + v * v);
}

void position_PrismCorrectionType0(coord_Circle* circle, const total_Target& target, int r) {
    const Type0Coefficients& c =
        target.CorvaneCheckTargetID == 0 || target.CorvaneCheckTargetID == 4 || target.RMTID == 0 ? kType0Standard
                                                                                                  : kType0Checked;
    bool face2 = false;
    double z = Face1Zenith(*circle, &face2);
    double s = circle->EDMDistance;
    const double d = c.a2 * z * z + c.a1 * z - c.a0;
    const double sign = r == 0 ? 1.0 : -1.0;
    s += sign * (d + ConstantOf(target.Prism));
    if (s != 0.0) z += sign * std::cos(z) * c.eccentricity / s;
    circle->EDMDistance = s;
    circle->VertCircle = Azimuth(face2 ? CONSTANT_TwoPi - z : z);
}

void position_ComputePPM(db_TotalAtmosphere* atmosphere, const db_TotalInstrument& instrument) {
    if (!maths_IsNull(atmosphere->PPM)) return;
    const double A = instrument.RefractiveIndex, B = instrument.CarrierWavelength;
    const double P = atmosphere->Pressure, T = atmosphere->Temperature;
    if (maths_IsNull(A) || maths_IsNull(B) || maths_IsNull(P) || maths_IsNull(T)) return;
    atmosphere->PPM = maths_Subtract(A, maths_Divide(B * P, T + kKelvin));
}

void position_ApplyAtmosphere(coord_Circle* circle, const db_TotalAtmosphere& atmosphere,
                              const db_TotalInstrument& instrument, int r) {
    double ppm = atmosphere.PPM;
    if (maths_IsNull(ppm)) {
        db_TotalAtmosphere computed = atmosphere;
        position_ComputePPM(&computed, instrument);
        ppm = computed.PPM;
    }
    double& s = circle->EDMDistance;
    if (maths_IsNull(ppm) || maths_IsNull(s)) return;
    const double x = ppm * 1e-6;
    if (r == 0) s = s + s * x;
    else s = s / (1.0 + x);
}

void position_ApplyCurvatureRefraction(coord_Circle* circle, double earthRadius, bool applyCurvature,
                                       bool applyRefraction, double coefficient, int r) {
    if (!applyCurvature && !applyRefraction) return;
    const double s = circle->EDMDistance;
    if (maths_IsNull(earthRadius) || maths_IsNull(s) || maths_IsNull(circle->VertCircle)) return;
    if (applyRefraction && maths_IsNull(coefficient)) return;
    double o = s * ((applyCurvature ? 1.0 : 0.0) - (applyRefraction ? coefficient : 0.0));
    if (position_IsFace2(circle->VertCircle, circle->Face)) o = -o;
    const double angle = o / (2.0 * earthRadius);
    circle->VertCircle += r == 0 ? -angle : angle;
}

void position_ApplyHeightsToZenith(double* slopeDistance, double* zenith, double hi, double ht, int r) {
    double& s = *slopeDistance;
    double& z = *zenith;
    if (maths_IsNull(s) || maths_IsNull(z) || maths_IsNull(hi) || maths_IsNull(ht)) {
        s = z = MATHS_Null;
        return;
    }
    if (r == 1) {
        hi = -hi;
        ht = -ht;
    }
    const double m = std::sin(z) * s;
    const double o = std::cos(z) * s + (hi - ht);
    if (m == 0.0 && o == 0.0) return;
    z = maths_ATan2(m, o);
    s = std::sqrt(o * o + m * m);
}

void position_ApplyHeights(coord_Corrected* corrected, double hi, double ht, int r) {
    position_ApplyHeightsToZenith(&corrected->SlopeDist, &corrected->VertCircle, hi, ht, r);
}

void position_NormaliseFace(coord_Corrected* k) {
    if (maths_IsNull(k->VertCircle) && k->Face != COORD_Face1 && k->Face != COORD_Face2) {
        k->HorzCircle = MATHS_Null;
        return;
    }
    if (!position_IsFace2(k->VertCircle, k->Face)) return;
    if (!maths_IsNull(k->HorzCircle)) k->HorzCircle = Azimuth(k->HorzCircle + CONSTANT_Pi);
    if (!maths_IsNull(k->VertCircle)) k->VertCircle = CONSTANT_TwoPi - k->VertCircle;
}

// ---------------------------------------------------------------- whole chain

void position_CircleToCorrected(const coord_Circle& circle, coord_Corrected* corrected,
                                const position_ReductionRecords& e) {
    coord_Circle c = circle;
    position_ApplyPrismCorrection(&c, e.Target.Target, 0);
    position_ApplyAtmosphere(&c, e.Atmosphere, e.Instrument, 0);
    position_ApplyCurvatureRefraction(&c, e.EarthRadius, e.Atmosphere.ApplyCurvature, e.Atmosphere.ApplyRefraction,
                                      e.Atmosphere.RefractionCoefficient, 0);
    *corrected = coord_Corrected(c.HorzCircle, c.VertCircle, c.EDMDistance, c.Face);
}

void position_CorrectedToCircle(const coord_Corrected& corrected, coord_Circle* circle,
                                const position_ReductionRecords& e) {
    coord_Circle c;
    c.Face = corrected.Face;
    c.VertCircle = corrected.VertCircle;
    c.HorzCircle = corrected.HorzCircle;
    c.EDMDistance = corrected.SlopeDist;
    position_ApplyCurvatureRefraction(&c, e.EarthRadius, e.Atmosphere.ApplyCurvature, e.Atmosphere.ApplyRefraction,
                                      e.Atmosphere.RefractionCoefficient, 1);
    position_ApplyAtmosphere(&c, e.Atmosphere, e.Instrument, 1);
    position_ApplyPrismCorrection(&c, e.Target.Target, 1);
    c.HorzCircleStdErr = c.VertCircleStdErr = c.EDMDistanceStdErr = MATHS_Null;
    c.EDMMeasurementMode = coord_Circle().EDMMeasurementMode;
    *circle = c;
}

void position_CorrectedToUnturned(const coord_Corrected& corrected, coord_Unturned* unturned,
                                  const position_ReductionRecords& e) {
    coord_Corrected k = corrected;
    position_NormaliseFace(&k);
    double hi = e.Station.TheodoliteHeight.TrueVerticalHeight();
    double ht = e.Target.Target.TargetHeightData.TrueVerticalHeight();
    bool verticalKnown = false;
    if (!maths_IsNull(hi) && !maths_IsNull(ht)) {
        verticalKnown = true;
    } else if (e.DefaultNullHeights) {
        Heights(e, &hi, &ht);
        verticalKnown = true;
    }
    if (verticalKnown) position_ApplyHeights(&k, hi, ht, 0);
    *unturned = coord_Unturned(k.HorzCircle, MATHS_Null, MATHS_Null);
    const double z = k.VertCircle, s = k.SlopeDist;
    if (maths_IsNull(z) || maths_IsNull(s)) return;
    const double scale = ScaleOf(e);
    if (!maths_IsNull(scale)) unturned->HDist = std::sin(z) * scale * s;
    if (verticalKnown) unturned->VDist = std::cos(z) * s;
}

void position_UnturnedToCorrected(const coord_Unturned& unturned, coord_Corrected* corrected,
                                  const position_ReductionRecords& e) {
    *corrected = coord_Corrected(unturned.HorzCircle, MATHS_Null, MATHS_Null, COORD_FaceNull);
    const double v = unturned.VDist;
    if (maths_IsNull(unturned.HDist) || maths_IsNull(v)) return;
    const double h = maths_Divide(unturned.HDist, ScaleOf(e));
    if (maths_IsNull(h)) return;
    double z = maths_ATan2(h, v);
    if (maths_IsNull(z)) return;  // no sight between coincident marks
    if (z < 0.0) z += CONSTANT_Pi;
    corrected->VertCircle = z;
    // A plumb sight (up or down) has no horizontal part to divide by.
    corrected->SlopeDist = h == 0.0 ? std::fabs(v) : h / std::sin(z);
    double hi = 0.0, ht = 0.0;
    Heights(e, &hi, &ht);
    position_ApplyHeights(corrected, hi, ht, 1);
}

void position_CircleToUnturned(const coord_Circle& circle, coord_Unturned* unturned,
                               const position_ReductionRecords& environment) {
    coord_Corrected corrected;
    position_CircleToCorrected(circle, &corrected, environment);
    position_CorrectedToUnturned(corrected, unturned, environment);
}

void position_UnturnedToCircle(const coord_Unturned& unturned, coord_Circle* circle,
                               const position_ReductionRecords& environment) {
    coord_Corrected corrected;
    position_UnturnedToCorrected(unturned, &corrected, environment);
    position_CorrectedToCircle(corrected, circle, environment);
}
