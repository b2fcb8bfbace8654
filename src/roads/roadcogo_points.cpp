// Points along the horizontal road elements: every point goes through the coordinate
// geometry under the road's transform and mask, so grid orientation and south azimuths
// apply as they do to any other cogo computation.
#include <cmath>

#include "cogo/cogo.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"
#include "roads/roadcogo.h"

namespace {

constexpr const char* kModule = "QZ/roadcogo";

bool Usable(double x) { return !maths_IsNull(x) && std::isfinite(x); }

double Normalised(double azimuth) {
    if (!Usable(azimuth)) return MATHS_Null;
    coord_NormaliseAzimuth(&azimuth);
    return azimuth;
}

}  // namespace

roadcogo_Scratch& roadcogo_ScratchPositions() {
    static roadcogo_Scratch scratch;
    return scratch;
}

void roadcogo_PointAtAzimuthDistance(const transfrm_Class* transform, coordsys_CogoSettings mask,
                                     const coord_CorrectedGrid& start, double azimuth, double distance,
                                     coord_CorrectedGrid* point) {
    if (transform == nullptr || !Usable(azimuth) || !Usable(distance)) {
        *point = coord_CorrectedGrid();
        return;
    }
    roadcogo_Scratch& scratch = roadcogo_ScratchPositions();
    scratch.A = position_Class();
    scratch.A.SetGrid(start, transform);
    cogo_ComputePointFromPolar(scratch.A, transform, coord_Polar(azimuth, distance, 0.0), &scratch.B, mask);
    *point = scratch.B.GetGrid(transform);
}

void roadcogo_InverseAzimuthDistance(const transfrm_Class* transform, coordsys_CogoSettings mask,
                                     const coord_CorrectedGrid& first, const coord_CorrectedGrid& second,
                                     double* azimuth, double* distance) {
    *azimuth = *distance = MATHS_Null;
    if (transform == nullptr) return;
    roadcogo_Scratch& scratch = roadcogo_ScratchPositions();
    scratch.A = position_Class();
    scratch.B = position_Class();
    scratch.A.SetGrid(first, transform);
    scratch.B.SetGrid(second, transform);
    cogo_InverseAzimuthDistance(scratch.A, scratch.B, transform, azimuth, distance, mask);
}

void roadcogo_StraightPointAtDistance(const transfrm_Class* transform, coordsys_CogoSettings mask,
                                      const coord_CorrectedGrid& start, double azimuth, double distance,
                                      coord_CorrectedGrid* point) {
    roadcogo_PointAtAzimuthDistance(transform, mask, start, azimuth, distance, point);
}

void roadcogo_ArcPointAtDistance(const transfrm_Class* transform, coordsys_CogoSettings mask,
                                 const coord_CorrectedGrid& start, double startAzimuth, double angle, double radius,
                                 double length, bool right, double distance, coord_CorrectedGrid* point,
                                 double* tangentAzimuth) {
    double deflection = 0.0;
    if (!Usable(distance)) {
        deflection = MATHS_Null;
    } else if (length != 0.0) {
        deflection = maths_Multiply(maths_Divide(distance, length), angle);
    } else if (length < distance) {
        QZ_ASSERT_TEXT(false, "DistanceAlong <= Length");
    }
    if (!Usable(deflection) || !Usable(startAzimuth)) {
        *point = coord_CorrectedGrid();
        *tangentAzimuth = MATHS_Null;
        return;
    }
    const double turn = right ? 1.0 : -1.0;
    *tangentAzimuth = Normalised(startAzimuth + turn * deflection);
    const double chordAzimuth = Normalised(startAzimuth + turn * deflection / 2);
    const double chord = maths_Multiply(2 * std::sin(deflection / 2), radius);
    roadcogo_PointAtAzimuthDistance(transform, mask, start, chordAzimuth, chord, point);
}

void roadcogo_SpiralPointAtDistance(const transfrm_Class* transform, coordsys_CogoSettings mask,
                                    const coord_CorrectedGrid& base, double baseAzimuth, double smallRadius,
                                    double largeRadius, double length, bool right, bool fromBase, double distance,
                                    coord_CorrectedGrid* point, double* tangentAzimuth) {
    const double s = fromBase ? distance : maths_Subtract(length, distance);
    double deflection = MATHS_Null, offset = MATHS_Null, along = MATHS_Null;
    roadcogo_SpiralOffsets(smallRadius, largeRadius, length, s, &deflection, &offset, &along);
    if (!Usable(deflection) || !Usable(baseAzimuth)) {
        *point = coord_CorrectedGrid();
        *tangentAzimuth = MATHS_Null;
        return;
    }
    double chordDeflection = maths_ATan2(offset, along);
    if (maths_IsNull(chordDeflection)) chordDeflection = 0.0;
    const double chord = roadcogo_Hypotenuse(offset, along);

    // Measured from the far end the base azimuth runs backwards: the chord turns the
    // other way and the tangent is turned round to point forwards.
    const double turn = right == fromBase ? 1.0 : -1.0;
    const double tangent = baseAzimuth + turn * deflection + (fromBase ? 0.0 : CONSTANT_Pi);
    *tangentAzimuth = Normalised(tangent);
    roadcogo_PointAtAzimuthDistance(transform, mask, base, Normalised(baseAzimuth + turn * chordDeflection), chord,
                                    point);
}
