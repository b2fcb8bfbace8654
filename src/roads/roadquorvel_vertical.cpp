#include "roads/roadquorvel_vertical.h"

#include <cmath>

#include "cogo/approx.h"
#include "foundation/environment.h"
#include "foundation/xml/format.h"
#include "foundation/xml/xmlindex.h"
#include "foundation/xml/xmlout.h"
#include "roads/roadcogo.h"

namespace {

constexpr const char* kModule = "RoadQuorvel";

constexpr const char* kKeyinMethods[] = {"VPI", "StartAndEndPoints"};

// A half deflection whose cosine is below this leaves the tangents parallel to within
// rounding: they never meet.
constexpr double kParallel = 1e-12;

bool IsSet(double x) { return !maths_IsNull(x); }

// An overflow or a division by zero leaves null, never an infinity or NaN.
double Finite(double x) { return std::isfinite(x) ? x : MATHS_Null; }

// The grade angle from p to q; null when either has a null or they coincide.
double GradeAngle(const StationElevation& p, const StationElevation& q) {
    return Finite(maths_ATan2(maths_Subtract(q.Elevation, p.Elevation), maths_Subtract(q.Station, p.Station)));
}

double Distance(const StationElevation& p, const StationElevation& q) {
    return roadcogo_Hypotenuse(Finite(maths_Subtract(q.Station, p.Station)),
                               Finite(maths_Subtract(q.Elevation, p.Elevation)));
}

// The point at a distance from the origin in a direction measured from the elevation
// axis towards increasing station (a grade angle g has direction pi/2 - g).
StationElevation PointTowards(const StationElevation& origin, double distance, double direction) {
    return StationElevation(Finite(maths_Add(origin.Station, maths_Multiply(distance, maths_Sin(direction)))),
                            Finite(maths_Add(origin.Elevation, maths_Multiply(distance, maths_Cos(direction)))));
}

// The point a horizontal run from the origin on the line of that grade.
StationElevation PointOnGrade(const StationElevation& origin, double run, double grade) {
    return StationElevation(Finite(maths_Add(origin.Station, run)),
                            Finite(maths_Add(origin.Elevation, maths_Multiply(run, maths_Tan(grade)))));
}

// The grade change as a ratio; null when a grade is missing.
double GradeChange(double gradeIn, double gradeOut) {
    return Finite(maths_Subtract(maths_Tan(gradeOut), maths_Tan(gradeIn)));
}

// Length per percent of grade change; null for no change.
double KFactorOf(double length, double gradeIn, double gradeOut) {
    return Finite(maths_Divide(length, maths_Abs(maths_Multiply(GradeChange(gradeIn, gradeOut), 100))));
}

double Normalised(double direction) { return coord_NormalisedAzimuth(&direction); }

// A key station without a station has no place in the list.
void AddKey(ChainageElementArray& list, double station, int32_t flags) {
    if (IsSet(station)) list.AddStation(station, flags);
}

xmlout_element* Number(const char* name, double x) { return new xmlout_element(name, xml_FormatDouble(x)); }
xmlout_element* Grade(const char* name, double angle) { return new xmlout_element(name, xml_FormatGrade(angle, false)); }

double ReadNumber(const xml_Node* node, const char* path) { return Finite(node->GetDoubleByPath(path, MATHS_Null)); }
double ReadGrade(const xml_Node* node, const char* path) {
    return Finite(road_GradeFromPercent(ReadNumber(node, path)));
}

}  // namespace

// Point.

StationElevation& StationElevation::operator=(const StationElevation& other) {
    if (this == &other) return *this;
    Station = other.Station;
    Elevation = other.Elevation;
    return *this;
}

const double* StationElevation::AsPair() const {
    pair[0] = Station;
    pair[1] = Elevation;
    return pair;
}

xmlout_element* StationElevation::WriteXml(const char* name) const {
    xmlout_element* element = new xmlout_element(name);
    element->AddChild(Number("Station", Station));
    element->AddChild(Number("Elevation", Elevation));
    return element;
}

void StationElevation::ReadXml(const xml_Node* node, const char* name) {
    const Str path(name);
    Station = ReadNumber(node, (path + "/Station").Data());
    Elevation = ReadNumber(node, (path + "/Elevation").Data());
}

// Base.

VerticalBase& VerticalBase::operator=(const VerticalBase& other) {
    if (this == &other) return *this;
    Type = other.Type;
    EndPoint = other.EndPoint;
    StartPoint = other.StartPoint;
    NextIntersectionPoint = other.NextIntersectionPoint;
    NextStartPoint = other.NextStartPoint;
    PreviousIntersectionPoint = other.PreviousIntersectionPoint;
    PreviousEndPoint = other.PreviousEndPoint;
    IntersectionPoint = other.IntersectionPoint;
    KeyinMethod = other.KeyinMethod;
    return *this;
}

VerticalBase* VerticalBase::Cast(RoadElement* element) {
    return element && element->GetType() >= 7 && element->GetType() <= 10 ? static_cast<VerticalBase*>(element)
                                                                          : nullptr;
}

const VerticalBase* VerticalBase::Cast(const RoadElement* element) { return Cast(const_cast<RoadElement*>(element)); }

Str VerticalBase::KeyinMethodName() const {
    return KeyinMethod == 0 || KeyinMethod == 1 ? Str(kKeyinMethods[KeyinMethod]) : Str();
}

void VerticalBase::SetKeyinMethodFromName(const Str& name) {
    for (int32_t i = 0; i < 2; ++i)
        if (name == kKeyinMethods[i]) KeyinMethod = i;
}

bool VerticalBase::ContainsStation(double station) const {
    return approx_Compare(station, APPROX_LessOrEqual, EndPoint.Station, APPROX_Delta);
}

bool VerticalBase::OverlapsNext() const {
    return IsSet(EndPoint.Station) && IsSet(NextStartPoint.Station) &&
           NextStartPoint.Station + Tolerance < EndPoint.Station;
}

bool VerticalBase::OverlapsPrevious() const {
    return IsSet(StartPoint.Station) && IsSet(PreviousEndPoint.Station) &&
           PreviousEndPoint.Station - Tolerance > StartPoint.Station;
}

bool VerticalBase::SameKeyAndPoints(const VerticalBase& other) const {
    return KeyinMethod == other.KeyinMethod && EndPoint == other.EndPoint && StartPoint == other.StartPoint &&
           IntersectionPoint == other.IntersectionPoint;
}

// Vertical point.

void VerticalPoint::ReadXml(const xml_Node* node) {
    GradeIn = ReadGrade(node, "GradeIn");
    GradeOut = ReadGrade(node, "GradeOut");
    IntersectionPoint.ReadXml(node, "IntersectionPoint");
    StartPoint = IntersectionPoint;
    EndPoint = IntersectionPoint;
    SetKeyinMethodFromName(node->GetValueByPath("KeyinMethod"));
}

xmlout_element* VerticalPoint::WriteXml() const {
    xmlout_element* element = new xmlout_element("VerticalPoint");
    element->AddChild(new xmlout_element("KeyinMethod", KeyinMethodName()));
    element->AddChild(IntersectionPoint.WriteXml("IntersectionPoint"));
    element->AddChild(Grade("GradeIn", GradeIn));
    element->AddChild(Grade("GradeOut", GradeOut));
    return element;
}

bool VerticalPoint::operator==(const RoadElement& other) const {
    const VerticalPoint* o = Cast(&other);
    return o && o->GradeIn == GradeIn && o->GradeOut == GradeOut && o->KeyinMethod == KeyinMethod &&
           o->IntersectionPoint == IntersectionPoint;
}

VerticalPoint& VerticalPoint::operator=(const VerticalPoint& other) {
    if (this == &other) return *this;
    VerticalBase::operator=(other);
    GradeIn = other.GradeIn;
    GradeOut = other.GradeOut;
    return *this;
}

void VerticalPoint::Compute() {
    StartPoint = IntersectionPoint;
    EndPoint = IntersectionPoint;
    if (IntersectionPoint.HasNull()) return;
    // A grade whose neighbour is missing keeps its value (the first point's GradeIn).
    const StationElevation* before = KeyinMethod == 0 ? &PreviousIntersectionPoint
                                     : KeyinMethod == 1 ? &PreviousEndPoint
                                                        : nullptr;
    const StationElevation* after = KeyinMethod == 0 ? &NextIntersectionPoint
                                    : KeyinMethod == 1 ? &NextStartPoint
                                                       : nullptr;
    if (before && !before->HasNull()) GradeIn = GradeAngle(*before, IntersectionPoint);
    if (after && !after->HasNull()) GradeOut = GradeAngle(IntersectionPoint, *after);
}

void VerticalPoint::AddKeyStations(ChainageElementArray& list) const {
    AddKey(list, StartPoint.Station, KEY_VerticalPI);
}

double VerticalPoint::ElevationAt(double station) const {
    if (!IsSet(station)) return MATHS_Null;
    if (approx_Equal(station, APPROX_EqualTo, IntersectionPoint.Station)) return IntersectionPoint.Elevation;
    if (approx_Compare(station, APPROX_LessOrEqual, IntersectionPoint.Station, APPROX_Delta))
        return roadcogo_Interpolate(PreviousEndPoint.Elevation, IntersectionPoint.Elevation, PreviousEndPoint.Station,
                                    IntersectionPoint.Station, station);
    return MATHS_Null;
}

// What the curves share.

void VerticalCurve::AddKeyStations(ChainageElementArray& list) const {
    AddKey(list, StartPoint.Station, KEY_VerticalStart);
    AddKey(list, EndPoint.Station, KEY_VerticalEnd);
    AddKey(list, IntersectionPoint.Station, KEY_VerticalPI);
    if (!IsSet(SagSummitPoint.Station)) return;
    const double rise = maths_Subtract(IntersectionPoint.Elevation, StartPoint.Elevation);
    const double fall = maths_Subtract(EndPoint.Elevation, IntersectionPoint.Elevation);
    if (!IsSet(rise) || !IsSet(fall)) return;
    if (rise > 0 && fall < 0) AddKey(list, SagSummitPoint.Station, KEY_Summit);
    if (rise < 0 && fall > 0) AddKey(list, SagSummitPoint.Station, KEY_Sag);
}

bool VerticalCurve::GradesEqual() const { return IsSet(GradeIn) && IsSet(GradeOut) && GradeIn == GradeOut; }

bool VerticalCurve::GradesDiffer() const { return IsSet(GradeIn) && IsSet(GradeOut) && GradeIn != GradeOut; }

VerticalCurve* VerticalCurve::Cast(RoadElement* element) {
    const int32_t type = element ? element->GetType() : 0;
    return type == VerticalArc::TypeCode || type == VerticalParabola::TypeCode ||
                   type == VerticalAsymmetricParabola::TypeCode
               ? static_cast<VerticalCurve*>(element)
               : nullptr;
}

const VerticalCurve* VerticalCurve::Cast(const RoadElement* element) {
    return Cast(const_cast<RoadElement*>(element));
}

void VerticalCurve::AssignCurve(const VerticalCurve& other) {
    VerticalBase::operator=(other);
    KFactor = other.KFactor;
    GradeIn = other.GradeIn;
    GradeOut = other.GradeOut;
    SagSummitPoint = other.SagSummitPoint;
}

bool VerticalCurve::SameCurve(const VerticalCurve& other) const {
    return KFactor == other.KFactor && GradeIn == other.GradeIn && GradeOut == other.GradeOut &&
           SagSummitPoint == other.SagSummitPoint && SameKeyAndPoints(other);
}

xmlout_element* VerticalCurve::StartXml(const char* name) const {
    xmlout_element* element = new xmlout_element(name);
    element->AddChild(new xmlout_element("KeyinMethod", KeyinMethodName()));
    element->AddChild(IntersectionPoint.WriteXml("IntersectionPoint"));
    return element;
}

void VerticalCurve::FinishXml(xmlout_element* element, const StationElevation* centre) const {
    element->AddChild(StartPoint.WriteXml("StartPoint"));
    element->AddChild(EndPoint.WriteXml("EndPoint"));
    if (centre) element->AddChild(centre->WriteXml("CentrePoint"));
    element->AddChild(SagSummitPoint.WriteXml("SagSummitPoint"));
    element->AddChild(Grade("GradeIn", GradeIn));
    element->AddChild(Grade("GradeOut", GradeOut));
    element->AddChild(Number("KFactor", KFactor));
}

void VerticalCurve::ReadCurveXml(const xml_Node* node) {
    KFactor = ReadNumber(node, "KFactor");
    GradeIn = ReadGrade(node, "GradeIn");
    GradeOut = ReadGrade(node, "GradeOut");
    EndPoint.ReadXml(node, "EndPoint");
    StartPoint.ReadXml(node, "StartPoint");
    SagSummitPoint.ReadXml(node, "SagSummitPoint");
    IntersectionPoint.ReadXml(node, "IntersectionPoint");
    SetKeyinMethodFromName(node->GetValueByPath("KeyinMethod"));
}

double VerticalCurve::ElevationBeforeCurve(double station) const {
    return roadcogo_Interpolate(PreviousEndPoint.Elevation, StartPoint.Elevation, PreviousEndPoint.Station,
                                StartPoint.Station, station);
}

void VerticalCurve::PlaceSagSummitOnParabola(double x, double lengthIn, double lengthOut) {
    if (!IsSet(x) || !IsSet(StartPoint.Station) || !IsSet(EndPoint.Station) || x > EndPoint.Station ||
        x < StartPoint.Station) {
        SagSummitPoint.SetNull();
        return;
    }
    double elevation = MATHS_Null;
    roadcogo_ParabolaElevation(StartPoint.AsPair(), IntersectionPoint.AsPair(), EndPoint.AsPair(), lengthIn,
                               lengthOut, x, &elevation);
    SagSummitPoint = StationElevation(x, elevation);
}

double VerticalCurve::ParabolaElevationAt(double station, double lengthIn, double lengthOut) const {
    if (!IsSet(station)) return MATHS_Null;
    if (!IsSet(StartPoint.Station) || station <= StartPoint.Station) return ElevationBeforeCurve(station);
    double elevation = MATHS_Null;
    roadcogo_ParabolaElevation(StartPoint.AsPair(), IntersectionPoint.AsPair(), EndPoint.AsPair(), lengthIn,
                               lengthOut, station, &elevation);
    return elevation;
}

// Arc.

void VerticalArc::ReadXml(const xml_Node* node) {
    Radius = maths_Abs(ReadNumber(node, "Radius"));
    Length = ReadNumber(node, "Length");
    CentrePoint.ReadXml(node, "CentrePoint");
    ReadCurveXml(node);
}

xmlout_element* VerticalArc::WriteXml() const {
    xmlout_element* element = StartXml("VerticalArc");
    element->AddChild(Number("Radius", Radius));
    element->AddChild(Number("Length", Length));
    FinishXml(element, &CentrePoint);
    return element;
}

bool VerticalArc::operator==(const RoadElement& other) const {
    const VerticalArc* o = Cast(&other);
    return o && o->Radius == Radius && o->Length == Length && o->CentrePoint == CentrePoint && SameCurve(*o);
}

VerticalArc& VerticalArc::operator=(const VerticalArc& other) {
    if (this == &other) return *this;
    AssignCurve(other);
    CentrePoint = other.CentrePoint;
    Radius = other.Radius;
    Length = other.Length;
    return *this;
}

bool VerticalArc::IsRadiusValid() const {
    if (!IsSet(Radius)) return false;
    if (KeyinMethod == 0) return true;
    const double chord = Distance(StartPoint, EndPoint);
    return IsSet(chord) && chord / 2 <= Radius;
}

double VerticalArc::InteriorAngle() const {
    QZ_ASSERT_TEXT(!maths_IsNull(GradeIn), "!maths_IsNull ( GradeIn )");
    QZ_ASSERT_TEXT(!maths_IsNull(GradeOut), "!maths_IsNull ( GradeOut )");
    const double x = maths_Subtract(CONSTANT_Pi, maths_Subtract(GradeIn, GradeOut));
    return IsSet(x) && x > CONSTANT_Pi ? CONSTANT_TwoPi - x : x;
}

void VerticalArc::Compute() {
    if (KeyinMethod == 0) {
        if (!PreviousIntersectionPoint.HasNull() && !IntersectionPoint.HasNull())
            GradeIn = GradeAngle(PreviousIntersectionPoint, IntersectionPoint);
        if (!NextIntersectionPoint.HasNull() && !IntersectionPoint.HasNull())
            GradeOut = GradeAngle(IntersectionPoint, NextIntersectionPoint);
        if (GradesDiffer() && IsSet(Radius)) {
            ComputeTangentPoints();
            ComputeCurve();
        }
    }
    if (KeyinMethod == 1 && !EndPoint.HasNull() && !StartPoint.HasNull() && !PreviousEndPoint.HasNull()) {
        ComputeFromStartAndEndPoints();
        if (GradesDiffer() && IsRadiusValid()) ComputeCurve();
    }
}

void VerticalArc::ComputeTangentPoints() {
    // The tangent length from the VPI along each grade line.
    const double tangent = Finite(maths_Abs(maths_Divide(Radius, maths_Tan(maths_Divide(InteriorAngle(), 2)))));
    StartPoint = PointTowards(IntersectionPoint, maths_Negate(tangent), maths_Subtract(CONSTANT_PiOverTwo, GradeIn));
    EndPoint = PointTowards(IntersectionPoint, tangent, maths_Subtract(CONSTANT_PiOverTwo, GradeOut));
}

void VerticalArc::ComputeFromStartAndEndPoints() {
    GradeIn = GradeAngle(PreviousEndPoint, StartPoint);
    const double chord = Distance(StartPoint, EndPoint);
    const double chordDirection = Finite(maths_Subtract(CONSTANT_PiOverTwo, GradeAngle(StartPoint, EndPoint)));
    const double tangentDirection = Normalised(maths_Subtract(CONSTANT_PiOverTwo, GradeIn));
    const double halfDeflection = Normalised(maths_Abs(maths_Subtract(chordDirection, tangentDirection)));
    const double cosine = maths_Cos(halfDeflection);
    const double tangent = IsSet(cosine) && std::fabs(cosine) >= kParallel
                               ? Finite(maths_Divide(maths_Divide(chord, 2), cosine))
                               : MATHS_Null;
    IntersectionPoint = PointTowards(StartPoint, tangent, tangentDirection);
    GradeOut = GradeAngle(IntersectionPoint, EndPoint);
}

void VerticalArc::ComputeCurve() {
    // The centre lies on the bisector at the VPI, beyond the chord's midpoint.
    const double halfChord = maths_Divide(Distance(StartPoint, EndPoint), 2);
    const double toVpi = Distance(StartPoint, IntersectionPoint);
    const double halfChordSquared = maths_Square(halfChord);
    const double distance = Finite(maths_Add(maths_Sqrt(maths_Subtract(maths_Square(toVpi), halfChordSquared)),
                                             maths_Sqrt(maths_Subtract(maths_Square(Radius), halfChordSquared))));
    const double halfInterior = maths_Divide(InteriorAngle(), 2);
    const double gradeOutDirection = Normalised(maths_Subtract(CONSTANT_PiOverTwo, GradeOut));
    const double direction = Normalised(IsSag() ? maths_Subtract(gradeOutDirection, halfInterior)
                                                : maths_Add(gradeOutDirection, halfInterior));
    CentrePoint = PointTowards(IntersectionPoint, distance, direction);

    Length = Finite(maths_Subtract(EndPoint.Station, StartPoint.Station));
    KFactor = KFactorOf(Length, GradeIn, GradeOut);

    const double centre = CentrePoint.Station;
    if (IsSet(centre) && IsSet(StartPoint.Station) && IsSet(EndPoint.Station) && centre >= StartPoint.Station &&
        centre <= EndPoint.Station) {
        double elevation = MATHS_Null;
        roadcogo_VerticalArcElevation(CentrePoint.AsPair(), IntersectionPoint.AsPair(), Radius, centre, &elevation);
        SagSummitPoint = StationElevation(centre, elevation);
    } else {
        SagSummitPoint.SetNull();
    }
}

double VerticalArc::ElevationAt(double station) const {
    if (!IsSet(station)) return MATHS_Null;
    if (!IsSet(StartPoint.Station) || station <= StartPoint.Station) return ElevationBeforeCurve(station);
    double elevation = MATHS_Null;
    roadcogo_VerticalArcElevation(CentrePoint.AsPair(), IntersectionPoint.AsPair(), Radius, station, &elevation);
    return elevation;
}

// Symmetric parabola.

void VerticalParabola::ReadXml(const xml_Node* node) {
    Length = ReadNumber(node, "Length");
    ReadCurveXml(node);
}

xmlout_element* VerticalParabola::WriteXml() const {
    xmlout_element* element = StartXml("VerticalParabola");
    element->AddChild(Number("Length", Length));
    FinishXml(element, nullptr);
    return element;
}

bool VerticalParabola::operator==(const RoadElement& other) const {
    const VerticalParabola* o = Cast(&other);
    return o && o->Length == Length && SameCurve(*o);
}

VerticalParabola& VerticalParabola::operator=(const VerticalParabola& other) {
    if (this == &other) return *this;
    AssignCurve(other);
    Length = other.Length;
    return *this;
}

void VerticalParabola::Compute() {
    const double half = maths_Divide(Length, 2);
    if (KeyinMethod == 1) {
        if (EndPoint.HasNull() || StartPoint.HasNull()) return;
        Length = Finite(maths_Subtract(EndPoint.Station, StartPoint.Station));
        if (!IsSet(KFactor)) return;
        const double newHalf = maths_Divide(Length, 2);
        IntersectionPoint.Station = Finite(maths_Add(StartPoint.Station, newHalf));
        const double before = GradeAngle(PreviousIntersectionPoint, StartPoint);
        const double chord = GradeAngle(StartPoint, EndPoint);
        // Half the grade change, as a ratio.
        const double halfChange = maths_Divide(maths_Divide(maths_Divide(Length, KFactor), 100), 2);
        // With no grade before the curve, null (the largest double) counts as steeper than
        // the chord.
        const double slope = chord < before ? maths_Add(maths_Tan(chord), halfChange)
                                            : maths_Subtract(maths_Tan(chord), halfChange);
        GradeIn = Finite(maths_ATan(slope));
        IntersectionPoint.Elevation =
            Finite(maths_Add(StartPoint.Elevation, maths_Multiply(newHalf, maths_Tan(GradeIn))));
        GradeOut = GradeAngle(IntersectionPoint, EndPoint);
        ComputeSagSummitPoint();
        return;
    }
    if (!PreviousIntersectionPoint.HasNull() && !IntersectionPoint.HasNull() && IsSet(Length)) {
        GradeIn = GradeAngle(PreviousIntersectionPoint, IntersectionPoint);
        StartPoint = PointOnGrade(IntersectionPoint, maths_Negate(half), GradeIn);
    }
    if (!NextIntersectionPoint.HasNull() && !IntersectionPoint.HasNull() && IsSet(Length)) {
        GradeOut = GradeAngle(IntersectionPoint, NextIntersectionPoint);
        EndPoint = PointOnGrade(IntersectionPoint, half, GradeOut);
    }
    if (!EndPoint.HasNull() && !StartPoint.HasNull() && GradesDiffer()) {
        KFactor = KFactorOf(Length, GradeIn, GradeOut);
        ComputeSagSummitPoint();
    }
}

void VerticalParabola::ComputeSagSummitPoint() {
    // Equal grades have no point of zero grade: the division gives null.
    const double fraction = maths_Divide(maths_Tan(GradeIn), GradeChange(GradeIn, GradeOut));
    const double x = Finite(maths_Subtract(StartPoint.Station, maths_Multiply(fraction, Length)));
    const double half = maths_Divide(Length, 2);
    PlaceSagSummitOnParabola(x, half, half);
}

double VerticalParabola::ElevationAt(double station) const {
    const double half = maths_Divide(Length, 2);
    return ParabolaElevationAt(station, half, half);
}

// Asymmetric parabola.

void VerticalAsymmetricParabola::ReadXml(const xml_Node* node) {
    LengthOut = ReadNumber(node, "LengthOut");
    LengthIn = ReadNumber(node, "LengthIn");
    ReadCurveXml(node);
}

xmlout_element* VerticalAsymmetricParabola::WriteXml() const {
    xmlout_element* element = StartXml("VerticalAsymmetricParabola");
    element->AddChild(Number("LengthIn", LengthIn));
    element->AddChild(Number("LengthOut", LengthOut));
    FinishXml(element, nullptr);
    return element;
}

bool VerticalAsymmetricParabola::operator==(const RoadElement& other) const {
    const VerticalAsymmetricParabola* o = Cast(&other);
    return o && o->LengthOut == LengthOut && o->LengthIn == LengthIn && SameCurve(*o);
}

VerticalAsymmetricParabola& VerticalAsymmetricParabola::operator=(const VerticalAsymmetricParabola& other) {
    if (this == &other) return *this;
    AssignCurve(other);
    LengthOut = other.LengthOut;
    LengthIn = other.LengthIn;
    return *this;
}

void VerticalAsymmetricParabola::Compute() {
    const StationElevation& vpi = IntersectionPoint;
    if (!PreviousIntersectionPoint.HasNull() && !vpi.HasNull() && IsSet(LengthIn)) {
        const StationElevation& previous = PreviousIntersectionPoint;
        StartPoint.Station = Finite(maths_Subtract(vpi.Station, LengthIn));
        StartPoint.Elevation = roadcogo_Interpolate(previous.Elevation, vpi.Elevation, previous.Station, vpi.Station,
                                                    StartPoint.Station);
        GradeIn = GradeAngle(previous, vpi);
    }
    if (!NextIntersectionPoint.HasNull() && !vpi.HasNull() && IsSet(LengthOut)) {
        const StationElevation& next = NextIntersectionPoint;
        EndPoint.Station = Finite(maths_Add(vpi.Station, LengthOut));
        EndPoint.Elevation =
            roadcogo_Interpolate(vpi.Elevation, next.Elevation, vpi.Station, next.Station, EndPoint.Station);
        GradeOut = GradeAngle(vpi, next);
    }
    if (!EndPoint.HasNull() && !StartPoint.HasNull() && GradesDiffer()) {
        KFactor = KFactorOf(maths_Add(LengthIn, LengthOut), GradeIn, GradeOut);
        ComputeSagSummitPoint();
    }
}

void VerticalAsymmetricParabola::ComputeSagSummitPoint() {
    const double change = GradeChange(GradeIn, GradeOut);
    const double total = maths_Add(LengthIn, LengthOut);
    // The station of zero grade on one half, from the end of the curve that half holds.
    // A half within 0.0005 of nothing has no curve (as the parabola's elevation treats
    // it) and so no such station; neither has one whose rate needs a division by zero.
    auto zeroGrade = [&](double end, double grade, double own, double other) {
        if (!IsSet(own) || approx_Equal(own, APPROX_EqualTo, 0.0)) return MATHS_Null;
        const double fraction = maths_Divide(maths_Tan(grade), change);
        return Finite(maths_Subtract(end, maths_Multiply(maths_Multiply(fraction, total), maths_Divide(own, other))));
    };
    double x = zeroGrade(StartPoint.Station, GradeIn, LengthIn, LengthOut);
    if (!IsSet(x) || (IsSet(IntersectionPoint.Station) && x > IntersectionPoint.Station))
        x = zeroGrade(EndPoint.Station, GradeOut, LengthOut, LengthIn);
    PlaceSagSummitOnParabola(x, LengthIn, LengthOut);
}

double VerticalAsymmetricParabola::ElevationAt(double station) const {
    return ParabolaElevationAt(station, LengthIn, LengthOut);
}
