#include "cogo/localtransformation.h"

#include <cmath>

#include "cogo/approx.h"
#include "foundation/kernel/maths.h"

namespace {

// A pair of points closer than this defines no line.
bool TooShort(double lengthSquared) { return approx_Equal(std::sqrt(lengthSquared), APPROX_EqualTo, 0.0); }

bool UsableScale(double scale) { return !maths_IsNull(scale) && std::isfinite(scale) && scale != 0.0; }

// Z + (N - origin north) x slope north + (E - origin east) x slope east, times sign;
// null when the point is horizontally null.
double InclinedPlane(double z, double north, double east, const dbrecord_HelmertSolution& v, double sign) {
    if (coord_AllNull(north, east)) return MATHS_Null;
    const double dn = maths_Multiply(maths_Subtract(north, v.OriginNorth), v.NorthAdjustment);
    const double de = maths_Multiply(maths_Subtract(east, v.OriginEast), v.EastAdjustment);
    return maths_Add(z, maths_Multiply(sign, maths_Add(dn, de)));
}

}  // namespace

void LocalTransformation::Clear() {
    Defined = 0;
    Name = Str();
}

// --- Line -------------------------------------------------------------------------

void LocalLineTransformation::Clear() {
    LocalTransformation::Clear();
    _Coefficients = None;
}

bool LocalLineTransformation::Set(const Str& name, const coord_CogoGrid& source1, const coord_CogoGrid& source2,
                                  const coord_LocalTransformedGrid& target1,
                                  const coord_LocalTransformedGrid& target2, int32_t method) {
    Name = name;
    Source1 = source1;
    Source2 = source2;
    Target1 = target1;
    Target2 = target2;
    ScaleApplicationMethod = method;
    _Coefficients = None;
    // A failed definition must not leave an earlier one in force over the new points.
    Defined = 0;
    if (source1.IsHorizontalNull() || source2.IsHorizontalNull() || target1.IsHorizontalNull() ||
        target2.IsHorizontalNull())
        return false;
    _SourceDeltaNorth = maths_Subtract(source2.North, source1.North);
    _SourceDeltaEast = maths_Subtract(source2.East, source1.East);
    _TargetDeltaNorth = maths_Subtract(target2.North, target1.North);
    _TargetDeltaEast = maths_Subtract(target2.East, target1.East);
    if (maths_IsNull(_SourceDeltaNorth) || maths_IsNull(_SourceDeltaEast) || maths_IsNull(_TargetDeltaNorth) ||
        maths_IsNull(_TargetDeltaEast))
        return false;
    SourceLengthSquared = _SourceDeltaEast * _SourceDeltaEast + _SourceDeltaNorth * _SourceDeltaNorth;
    TargetLengthSquared = _TargetDeltaEast * _TargetDeltaEast + _TargetDeltaNorth * _TargetDeltaNorth;
    // Coincident points would divide by a zero length.
    if (TooShort(SourceLengthSquared) || TooShort(TargetLengthSquared)) return false;
    Defined = 1;
    return true;
}

void LocalLineTransformation::ComputeCoefficients(Coefficients direction) {
    if (_Coefficients == direction) return;
    const double dot = _TargetDeltaEast * _SourceDeltaEast + _TargetDeltaNorth * _SourceDeltaNorth;
    if (direction == TowardCogoGrid) {
        _A = dot / TargetLengthSquared;
        _B = (_TargetDeltaNorth * _SourceDeltaEast - _TargetDeltaEast * _SourceDeltaNorth) / TargetLengthSquared;
    } else {
        _A = dot / SourceLengthSquared;
        _B = (_SourceDeltaNorth * _TargetDeltaEast - _SourceDeltaEast * _TargetDeltaNorth) / SourceLengthSquared;
    }
    _K = std::sqrt(_A * _A + _B * _B);
    _UnitA = _A / _K;
    _UnitB = _B / _K;
    _Coefficients = direction;
}

LocalLineTransformation::Mapping LocalLineTransformation::MappingToward(Coefficients direction) {
    ComputeCoefficients(direction);
    switch (ScaleApplicationMethod) {
        case LINETRANSFORMATION_ScaleFixedTo1: return {_UnitA, _UnitB, _UnitA, _UnitB};
        // Along the line only: the two directions mix the scaled and unit values apart.
        case LINETRANSFORMATION_ScaleAlongLineOnly:
            return direction == TowardCogoGrid ? Mapping{_UnitA, _B, _A, _UnitB} : Mapping{_UnitA, _UnitB, _A, _B};
        default: return {_A, _B, _A, _B};
    }
}

bool LocalLineTransformation::Map(Coefficients direction, double north, double east, double fromNorth,
                                  double fromEast, double toNorth, double toEast, double* outNorth,
                                  double* outEast) {
    const double dn = maths_Subtract(north, fromNorth);
    const double de = maths_Subtract(east, fromEast);
    if (maths_IsNull(dn) || maths_IsNull(de)) return false;
    const Mapping m = MappingToward(direction);
    *outEast = toEast + m.EastA * de + m.EastB * dn;
    *outNorth = toNorth + m.NorthA * dn - m.NorthB * de;
    return true;
}

void LocalLineTransformation::ToCogoGrid(const coord_LocalTransformedGrid& local, coord_CogoGrid* cogo) {
    cogo->SetNull();
    if (!Defined || local.IsHorizontalNull()) return;
    double north = 0.0, east = 0.0;
    if (!Map(TowardCogoGrid, local.North, local.East, Target1.North, Target1.East, Source1.North, Source1.East,
             &north, &east))
        return;
    *cogo = coord_CogoGrid(north, east, local.Elev);
}

void LocalLineTransformation::ToLocalTransformedGrid(const coord_CogoGrid& cogo, coord_LocalTransformedGrid* local) {
    local->SetNull();
    if (!Defined || cogo.IsHorizontalNull()) return;
    double north = 0.0, east = 0.0;
    if (!Map(TowardLocalGrid, cogo.North, cogo.East, Source1.North, Source1.East, Target1.North, Target1.East,
             &north, &east))
        return;
    *local = coord_LocalTransformedGrid(north, east, cogo.Elev);
}

// --- Helmert ----------------------------------------------------------------------

bool LocalHelmertTransformation::Set(const Str& name, const dbrecord_HelmertParameters* horizontal,
                                     const dbrecord_HelmertSolution* vertical) {
    Name = name;
    if (horizontal)
        HorizontalParameters = *horizontal;
    else
        HorizontalParameters.Clear();
    if (vertical)
        VerticalParameters = *vertical;
    else
        VerticalParameters.Clear();
    Derive();
    Defined = !HorizontalParameters.Apply || UsableScale(HorizontalParameters.Scale) ? 1 : 0;
    return Defined == 1;
}

void LocalHelmertTransformation::Derive() {
    const dbrecord_HelmertParameters& h = HorizontalParameters;
    _SinMinusRotation = std::sin(-h.Rotation);
    _CosMinusRotation = std::cos(-h.Rotation);
    _SinRotation = std::sin(h.Rotation);
    _CosRotation = std::cos(h.Rotation);
    _InverseScale = UsableScale(h.Scale) ? 1.0 / h.Scale : MATHS_Null;
    _InverseTranslationEast =
        maths_Multiply(-_InverseScale, h.TranslationEast * _CosMinusRotation + h.TranslationNorth * _SinMinusRotation);
    _InverseTranslationNorth =
        maths_Multiply(-_InverseScale, h.TranslationNorth * _CosMinusRotation - h.TranslationEast * _SinMinusRotation);
}

void LocalHelmertTransformation::ToCogoGrid(const coord_LocalTransformedGrid& local, coord_CogoGrid* cogo) {
    const dbrecord_HelmertParameters& h = HorizontalParameters;
    const dbrecord_HelmertSolution& v = VerticalParameters;
    double north = local.North, east = local.East, z = local.Elev;
    cogo->SetNull();
    if (!Defined) return;
    if (h.Apply && !local.IsHorizontalNull()) {
        const double u = maths_Subtract(north, h.OriginNorth);
        const double w = maths_Subtract(east, h.OriginEast);
        north = h.OriginNorth + h.TranslationNorth + h.Scale * (u * _CosMinusRotation + w * _SinMinusRotation);
        east = h.OriginEast + h.TranslationEast + h.Scale * (w * _CosMinusRotation - u * _SinMinusRotation);
        if (maths_IsNull(u) || maths_IsNull(w)) north = east = MATHS_Null;
    }
    if (v.Apply && !maths_IsNull(z)) {
        z = maths_Add(z, v.ElevationAdjustment);
        if (!v.ConstantAdjustmentOnly) z = InclinedPlane(z, north, east, v, 1.0);
    }
    *cogo = coord_CogoGrid(north, east, z);
}

void LocalHelmertTransformation::ToLocalTransformedGrid(const coord_CogoGrid& cogo, coord_LocalTransformedGrid* local) {
    const dbrecord_HelmertParameters& h = HorizontalParameters;
    const dbrecord_HelmertSolution& v = VerticalParameters;
    double north = cogo.North, east = cogo.East, z = cogo.Elev;
    local->SetNull();
    if (!Defined) return;
    if (v.Apply && !maths_IsNull(z)) {
        z = maths_Subtract(z, v.ElevationAdjustment);
        if (!v.ConstantAdjustmentOnly) z = InclinedPlane(z, north, east, v, -1.0);
    }
    if (h.Apply && !cogo.IsHorizontalNull()) {
        const double u = maths_Subtract(north, h.OriginNorth);
        const double w = maths_Subtract(east, h.OriginEast);
        north = h.OriginNorth + _InverseTranslationNorth + _InverseScale * (u * _CosRotation + w * _SinRotation);
        east = h.OriginEast + _InverseTranslationEast + _InverseScale * (w * _CosRotation - u * _SinRotation);
        if (maths_IsNull(u) || maths_IsNull(w)) north = east = MATHS_Null;
    }
    *local = coord_LocalTransformedGrid(north, east, z);
}
