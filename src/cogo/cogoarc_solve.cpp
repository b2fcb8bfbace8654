// The solution of a job's arc record by its construction method. Methods 0, 4 and 5
// find a centre and an end and share one tail that derives the delta, length, tangents,
// grade, chord and the tangents' intersection; methods 1 and 2 run from the start along
// the backward tangent; method 3 fits the arc between two tangents through an
// intersection point. In the cogo grid the results are closed forms, exact to rounding.
#include <cmath>

#include "cogo/cogo_intersect.h"
#include "cogo/cogoarc.h"
#include "cogo/position_angles.h"
#include "cogo/transfrm.h"
#include "foundation/environment.h"
#include "foundation/kernel/maths.h"
#include "jobdb/dbJobIndex.h"
#include "records/entities.h"

namespace {

constexpr const char* kModule = "QZ/cogoarc";

enum : int32_t {
    kTwoPointsAndRadius = 0,
    kCurveLengthAndRadius = 1,
    kDeltaAngleAndRadius = 2,
    kIPAndTangents = 3,
    kTwoPointsAndCentrePoint = 4,
    kThreePoints = 5,
};

// A centre-point arc whose two radii differ by more than this has no one radius.
constexpr double kRadiusTolerance = 0.001;

double Normalised(double azimuth) {
    if (maths_IsNull(azimuth)) return azimuth;
    coord_NormaliseAzimuth(&azimuth);
    return azimuth;
}

class ArcSolver {
public:
    ArcSolver(dbJobIndex* index, db_Arc* arc, coordsys_CogoSettings* mask, const coordsys_Corrections* corrections,
              bool searchAll)
        : _Index(index), _Arc(arc), _T(index->Transform), _Mask(mask), _Corrections(corrections),
          _SearchAll(searchAll) {}

    bool Find(const Str& name, position_Class* position) {
        Str spelt = name;
        return _SearchAll ? dbJobIndex_PositionOfNameAnyIndex(_Index, spelt, *position)
                          : dbJobIndex_PositionOfName(_Index, spelt, *position);
    }
    void MaskOfPair(position_Class& p1, position_Class& p2) {
        if (_Mask->IsNull()) *_Mask = cogo_GetSystem(p1, p2, _T, _Corrections);
    }
    void MaskOfStart(position_Class& start) {
        if (_Mask->IsNull()) *_Mask = cogo_GetSystemForPosition(start, _T, _Corrections);
    }
    bool LeftHand() const { return _Arc->Direction == COGOARC_LeftHand; }

    cogo_Result TwoPointsAndRadius(position_Class* start, position_Class* end, position_Class* centre,
                                   position_Class* ip, double* azimuth, double* dv);
    cogo_Result AlongTangent(position_Class* start, position_Class* end, position_Class* centre, position_Class* ip,
                             double* azimuth, double* dv, bool deltaGiven);
    cogo_Result IPAndTangents(position_Class* start, position_Class* end, position_Class* centre,
                              position_Class* ip, double* azimuth, double* dv);
    cogo_Result CentrePoint(position_Class* start, position_Class* end, position_Class* centre, position_Class* ip,
                            double* azimuth, double* dv);
    cogo_Result ThreePoints(position_Class* start, position_Class* end, position_Class* centre, position_Class* ip,
                            double* azimuth, double* dv);

private:
    // The tail of the methods that know a centre and an end; the large-arc flag is set
    // from the delta when asked.
    cogo_Result Tail(position_Class& start, position_Class& end, position_Class& centre, position_Class* ip,
                     double* azimuth, double* dv, bool setLargeArc);
    // The tangents' intersection (its height the ends' mean) and its distance from the
    // start; a failed intersection leaves it cleared and the tangent length null.
    cogo_Result Intersection(position_Class& start, position_Class& end, position_Class* ip);
    void Chord(position_Class& start, position_Class& end) {
        cogo_InverseDistance(start, end, _T, &_Arc->Chord, *_Mask);
    }
    void VerticalDifference(position_Class& start, position_Class& end, double* dv) {
        double az = MATHS_Null, hd = MATHS_Null, sd = MATHS_Null;
        cogo_Inverse(start, end, _T, &az, &hd, dv, &sd, *_Mask);
    }

    dbJobIndex* _Index;
    db_Arc* _Arc;
    const transfrm_Class* _T;
    coordsys_CogoSettings* _Mask;
    const coordsys_Corrections* _Corrections;
    bool _SearchAll;
};

cogo_Result ArcSolver::Intersection(position_Class& start, position_Class& end, position_Class* ip) {
    if (maths_IsNull(_Arc->TangentAtStart)) return COGO_Degenerate;
    const double back = Normalised(_Arc->TangentAtStart + CONSTANT_Pi);
    if (cogo_IntersectBearingBearing(start, &_Arc->BackwardTangent, end, _T, &back, ip, *_Mask) == COGO_Ok)
        cogoarc_SetIPHeight(start, end, ip, _T, *_Mask);
    else
        ip->Clear();
    _Arc->Tangent = MATHS_Null;
    cogo_InverseDistance(start, *ip, _T, &_Arc->Tangent, *_Mask);
    return COGO_Ok;
}

cogo_Result ArcSolver::Tail(position_Class& start, position_Class& end, position_Class& centre, position_Class* ip,
                            double* azimuth, double* dv, bool setLargeArc) {
    double toEnd = MATHS_Null;
    cogo_InverseAzimuth(centre, start, _T, azimuth, *_Mask);
    cogo_InverseAzimuth(centre, end, _T, &toEnd, *_Mask);
    if (maths_IsNull(*azimuth) || maths_IsNull(toEnd)) return COGO_Degenerate;

    const bool left = LeftHand();
    double delta = position_AngleDifference(*azimuth, toEnd);
    if (left) delta = CONSTANT_TwoPi - delta;
    _Arc->ScribedAngle = delta;
    _Arc->Length = maths_Multiply(_Arc->Radius, delta);
    if (setLargeArc) _Arc->LargeArc = cogoarc_IsMajorArc(_Arc->Direction, delta);
    const double quarter = left ? -CONSTANT_PiOverTwo : CONSTANT_PiOverTwo;
    _Arc->BackwardTangent = Normalised(*azimuth + quarter);
    _Arc->TangentAtStart = Normalised(toEnd + quarter);

    VerticalDifference(start, end, dv);
    const bool flat = !maths_IsNull(*dv) && !maths_IsNull(_Arc->Length) && *dv == 0.0 && _Arc->Length == 0.0;
    _Arc->Grade = maths_IsNull(*dv) || maths_IsNull(_Arc->Length) || flat ? MATHS_Null
                                                                         : std::atan2(*dv, _Arc->Length);
    Chord(start, end);
    return Intersection(start, end, ip);
}

cogo_Result ArcSolver::TwoPointsAndRadius(position_Class* start, position_Class* end, position_Class* centre,
                                          position_Class* ip, double* azimuth, double* dv) {
    if (maths_IsNull(_Arc->Radius)) return COGO_NotFound;
    if (!Find(_Arc->Point2, end)) return COGO_NotFound;
    MaskOfPair(*start, *end);
    position_Class first, second;
    const cogo_Result found =
        cogo_IntersectDistanceDistance(*start, &_Arc->Radius, *end, &_Arc->Radius, _T, &first, &second, *_Mask);
    if (found != COGO_Ok) return found;
    if (second.IsDefined()) {
        // Of the two centres the first lies right of the chord from start to end.
        const bool left = LeftHand();
        *centre = _Arc->LargeArc == left ? first : second;
    } else {
        *centre = first;
        _Arc->LargeArc = LeftHand();
    }
    return Tail(*start, *end, *centre, ip, azimuth, dv, false);
}

cogo_Result ArcSolver::AlongTangent(position_Class* start, position_Class* end, position_Class* centre,
                                    position_Class* ip, double* azimuth, double* dv, bool deltaGiven) {
    if (maths_IsNull(_Arc->BackwardTangent) || maths_IsNull(_Arc->Radius) || maths_IsNull(_Arc->Length))
        return COGO_NotFound;
    MaskOfStart(*start);
    if (!deltaGiven) {
        cogoarc_DeltaAngle(_Arc->Radius, _Arc->Length, &_Arc->ScribedAngle);
        if (maths_IsNull(_Arc->ScribedAngle)) return COGO_NotFound;
    }
    const bool left = LeftHand();
    const double delta = _Arc->ScribedAngle;
    _Arc->TangentAtStart = Normalised(left ? _Arc->BackwardTangent - delta : _Arc->BackwardTangent + delta);
    _Arc->LargeArc = cogoarc_IsMajorArc(_Arc->Direction, delta);
    *azimuth = Normalised(_Arc->BackwardTangent + (left ? CONSTANT_PiOverTwo : -CONSTANT_PiOverTwo));
    const double towardCentre = -_Arc->Radius;
    const double level = 0.0;
    cogo_ComputePoint(*start, _T, azimuth, &towardCentre, &level, centre, *_Mask);
    cogoarc_ComputeArcPoint(_Arc->Direction, *start, *centre, _T, _Arc->Radius, *azimuth, _Arc->Grade, _Arc->Length,
                            end, *_Mask);
    Chord(*start, *end);
    Intersection(*start, *end, ip);
    VerticalDifference(*start, *end, dv);
    return COGO_Ok;
}

cogo_Result ArcSolver::IPAndTangents(position_Class* start, position_Class* end, position_Class* centre,
                                     position_Class* ip, double* azimuth, double* dv) {
    if (maths_IsNull(_Arc->BackwardTangent) || maths_IsNull(_Arc->TangentAtStart) || maths_IsNull(_Arc->Radius))
        return COGO_NotFound;
    MaskOfStart(*start);
    *ip = *start;
    int direction = _Arc->Direction;
    const cogo_Result solved =
        cogoarc_SolveIPAndTangents(*ip, _T, Normalised(_Arc->BackwardTangent + CONSTANT_Pi), _Arc->TangentAtStart,
                                   _Arc->Radius, &_Arc->ScribedAngle, centre, start, end, &direction, _Mask,
                                   _Corrections);
    _Arc->Direction = direction;
    if (solved != COGO_Ok) return solved;
    _Arc->Length = maths_Multiply(_Arc->Radius, _Arc->ScribedAngle);
    _Arc->LargeArc = cogoarc_IsMajorArc(_Arc->Direction, _Arc->ScribedAngle);
    cogo_InverseAzimuth(*centre, *start, _T, azimuth, *_Mask);
    Chord(*start, *end);
    _Arc->Tangent = MATHS_Null;
    cogo_InverseDistance(*start, *ip, _T, &_Arc->Tangent, *_Mask);
    VerticalDifference(*start, *end, dv);
    return COGO_Ok;
}

cogo_Result ArcSolver::CentrePoint(position_Class* start, position_Class* end, position_Class* centre,
                                   position_Class* ip, double* azimuth, double* dv) {
    if (!Find(_Arc->Point2, end) || !Find(_Arc->Point3, centre)) return COGO_NotFound;
    MaskOfPair(*start, *end);
    double r2 = MATHS_Null;
    cogo_InverseDistance(*centre, *start, _T, &_Arc->Radius, *_Mask);
    cogo_InverseDistance(*centre, *end, _T, &r2, *_Mask);
    const double difference = maths_Subtract(_Arc->Radius, r2);
    if (maths_IsNull(difference)) return COGO_Degenerate;
    if (std::fabs(difference) > kRadiusTolerance) return COGO_UnequalRadii;
    return Tail(*start, *end, *centre, ip, azimuth, dv, true);
}

cogo_Result ArcSolver::ThreePoints(position_Class* start, position_Class* end, position_Class* centre,
                                   position_Class* ip, double* azimuth, double* dv) {
    position_Class third;
    if (!Find(_Arc->Point2, end) || !Find(_Arc->Point3, &third)) return COGO_NotFound;
    MaskOfPair(*start, third);
    coord_Polar toThird1, toThird2;
    double slope = MATHS_Null;
    cogo_InversePolar(*start, third, _T, &toThird1, &slope, *_Mask);
    cogo_InversePolar(*end, third, _T, &toThird2, &slope, *_Mask);
    auto degenerate = [](const coord_Polar& polar) {
        return polar.IsNull() || maths_IsNull(polar.HDist) || std::fabs(polar.HDist) < COGO_DistanceTolerance;
    };
    if (degenerate(toThird1) || degenerate(toThird2)) return COGO_Degenerate;

    // The perpendicular bisectors of the two chords meet at the centre.
    auto halved = [](coord_Polar polar) {
        polar.HDist /= 2.0;
        if (!maths_IsNull(polar.VDist)) polar.VDist /= 2.0;
        return polar;
    };
    position_Class middle1, middle2;
    cogo_ComputePointFromPolar(*start, _T, halved(toThird1), &middle1, *_Mask);
    cogo_ComputePointFromPolar(*end, _T, halved(toThird2), &middle2, *_Mask);
    double chordAzimuth = MATHS_Null;
    cogo_InverseAzimuth(*start, *end, _T, &chordAzimuth, *_Mask);
    double perpendicular1, perpendicular2;
    if (position_AngleDifference(toThird1.Azimuth, chordAzimuth) < CONSTANT_Pi) {
        perpendicular1 = maths_Add(toThird1.Azimuth, CONSTANT_PiOverTwo);
        perpendicular2 = maths_Subtract(toThird2.Azimuth, CONSTANT_PiOverTwo);
        _Arc->Direction = COGOARC_RightHand;
    } else {
        perpendicular1 = maths_Subtract(toThird1.Azimuth, CONSTANT_PiOverTwo);
        perpendicular2 = maths_Add(toThird2.Azimuth, CONSTANT_PiOverTwo);
        _Arc->Direction = COGOARC_LeftHand;
    }
    perpendicular1 = Normalised(perpendicular1);
    perpendicular2 = Normalised(perpendicular2);
    const cogo_Result met =
        cogo_IntersectBearingBearing(middle1, &perpendicular1, middle2, _T, &perpendicular2, centre, *_Mask);
    if (met != COGO_Ok) {
        centre->Clear();
        return met;
    }
    cogo_InverseDistance(*centre, *start, _T, &_Arc->Radius, *_Mask);
    return Tail(*start, *end, *centre, ip, azimuth, dv, true);
}

}  // namespace

cogo_Result cogoarc_ComputeArc(dbJobIndex* jobIndex, db_Arc* arc, position_Class* start, position_Class* end,
                               position_Class* centre, position_Class* intersection, double* azimuth,
                               double* verticalDifference, coordsys_CogoSettings* mask,
                               const coordsys_Corrections* corrections, bool searchAllIndexes) {
    *azimuth = MATHS_Null;
    *verticalDifference = MATHS_Null;
    start->Clear();
    end->Clear();
    centre->Clear();
    intersection->Clear();
    if (!QZ_ASSERT_TEXT(jobIndex != nullptr, "jobfile") || !QZ_ASSERT_TEXT(arc != nullptr, "arc"))
        return COGO_NotFound;
    ArcSolver solver(jobIndex, arc, mask, corrections, searchAllIndexes);
    cogo_Result result = COGO_NotFound;
    if (solver.Find(arc->Point1, start)) {
        switch (arc->Method) {
            case kTwoPointsAndRadius:
                result = solver.TwoPointsAndRadius(start, end, centre, intersection, azimuth, verticalDifference);
                break;
            case kDeltaAngleAndRadius:
                if (maths_IsNull(arc->ScribedAngle)) break;
                arc->Length = maths_Multiply(arc->Radius, arc->ScribedAngle);
                result = solver.AlongTangent(start, end, centre, intersection, azimuth, verticalDifference, true);
                break;
            case kCurveLengthAndRadius:
                result = solver.AlongTangent(start, end, centre, intersection, azimuth, verticalDifference, false);
                break;
            case kIPAndTangents:
                result = solver.IPAndTangents(start, end, centre, intersection, azimuth, verticalDifference);
                break;
            case kTwoPointsAndCentrePoint:
                result = solver.CentrePoint(start, end, centre, intersection, azimuth, verticalDifference);
                break;
            case kThreePoints:
                result = solver.ThreePoints(start, end, centre, intersection, azimuth, verticalDifference);
                break;
            default:
                QZ_FAIL("Invalid method");
                break;
        }
    }
    // A failed solution leaves no positions behind, only the record fields it wrote.
    if (result != COGO_Ok) {
        start->Clear();
        end->Clear();
        centre->Clear();
        intersection->Clear();
    }
    return result;
}
