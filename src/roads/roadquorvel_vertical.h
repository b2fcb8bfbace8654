// Vertical alignment elements. Each is built around one vertical intersection point
// (VPI), where the grade line before it meets the grade line after it, and covers the
// stretch from the previous element's end point to its own end point: the grade line
// up to its start point, then its curve. Type codes:
//
//    7 VerticalArc                 circle tangent to both grade lines, by Radius
//    8 VerticalPoint               a bare grade break, no curve
//    9 VerticalParabola            parabola with halves of Length / 2 each
//   10 VerticalAsymmetricParabola  parabola with halves LengthIn and LengthOut
//
// Values live in the plane of station and elevation. Grades are angles (the arctangent
// of rise over run); road files hold them in percent. Every element keeps copies of
// four points of its neighbours, which only the vertical alignment sets.
//
// No element holds NaN or an infinity: a computation that would divide by zero or
// overflow leaves null instead, and so does a non-finite number read from a file.
#pragma once

#include <cstdint>

#include "foundation/kernel/maths.h"
#include "foundation/text/str.h"
#include "roads/roadquorvel.h"

// A point of the vertical plane. The working pair is scratch for the geometry
// primitives, not part of the value: a copy starts it at 0, assignment leaves it alone.
class StationElevation {
public:
    StationElevation() = default;
    StationElevation(double station, double elevation) : Station(station), Elevation(elevation) {}
    StationElevation(const StationElevation& other)
        : Station(other.Station), Elevation(other.Elevation), pair{0.0, 0.0} {}
    StationElevation& operator=(const StationElevation& other);
    // Station and elevation exactly.
    bool operator==(const StationElevation& other) const {
        return Station == other.Station && Elevation == other.Elevation;
    }

    // The working pair {Station, Elevation}, refreshed by each call.
    const double* AsPair() const;
    const double* WorkingPair() const { return pair; }
    bool HasNull() const { return maths_IsNull(Station) || maths_IsNull(Elevation); }
    void SetNull() { Station = Elevation = MATHS_Null; }
    // An element of that name holding "Station" and "Elevation".
    xmlout_element* WriteXml(const char* name) const;
    // Station and elevation from the children of the named child; null where absent.
    void ReadXml(const xml_Node* node, const char* name);

    double Station = MATHS_Null;
    double Elevation = MATHS_Null;

private:
    mutable double pair[2] = {MATHS_Null, MATHS_Null};
};

class VerticalBase : public RoadElement {
public:
    // How far neighbouring elements may overlap.
    static constexpr double Tolerance = 0.001;

    ~VerticalBase() override = default;

    using RoadElement::operator=;
    // Fills the derived members from the keyed ones and the neighbour links. Inputs that
    // are missing skip the steps that need them.
    virtual void Compute() {}
    virtual void AddKeyStations(ChainageElementArray& list) const { (void)list; }
    // The element does not check that the station lies within it; the alignment picks.
    virtual double ElevationAt(double station) const {
        (void)station;
        return MATHS_Null;
    }
    // The type code, KeyinMethod and the seven points.
    virtual VerticalBase& operator=(const VerticalBase& other);

    static VerticalBase* Cast(RoadElement* element);
    static const VerticalBase* Cast(const RoadElement* element);

    // "VPI" (0), "StartAndEndPoints" (1), else empty; an unknown name leaves the method.
    Str KeyinMethodName() const;
    void SetKeyinMethodFromName(const Str& name);
    // The station is at most 0.0005 past EndPoint.
    bool ContainsStation(double station) const;
    // EndPoint lies more than Tolerance past the next element's start.
    bool OverlapsNext() const;
    // StartPoint lies more than Tolerance before the previous element's end.
    bool OverlapsPrevious() const;

    // -1 until set; 0 "VPI": the curve follows from the VPIs and its own lengths or
    // radius; 1 "StartAndEndPoints": the curve follows from its start and end points.
    int32_t KeyinMethod = -1;
    StationElevation EndPoint;
    StationElevation StartPoint;
    StationElevation NextIntersectionPoint;
    StationElevation NextStartPoint;
    StationElevation PreviousIntersectionPoint;
    // For the first element of a list its own VPI.
    StationElevation PreviousEndPoint;
    StationElevation IntersectionPoint;

protected:
    explicit VerticalBase(int32_t type) : RoadElement(type) {}
    VerticalBase(const VerticalBase& other) = default;

    // KeyinMethod, EndPoint, StartPoint and IntersectionPoint exactly; never the links.
    bool SameKeyAndPoints(const VerticalBase& other) const;
};

// A grade break without a curve: StartPoint and EndPoint are the VPI.
class VerticalPoint : public VerticalBase {
public:
    static constexpr int32_t TypeCode = 8;

    VerticalPoint() : VerticalBase(TypeCode) {}
    VerticalPoint(const VerticalPoint& other) = default;

    void ReadXml(const xml_Node* node) override;
    xmlout_element* WriteXml() const override;
    // Type, grades, KeyinMethod and VPI, exactly.
    bool operator==(const RoadElement& other) const override;
    bool operator==(const VerticalPoint& other) const { return *this == static_cast<const RoadElement&>(other); }
    RoadElement* Clone() const override { return new VerticalPoint(*this); }
    using VerticalBase::operator=;
    void Compute() override;
    void AddKeyStations(ChainageElementArray& list) const override;
    // The VPI's elevation within 0.0005 of it, the grade line before it up to 0.0005
    // past it, null after that.
    double ElevationAt(double station) const override;
    virtual VerticalPoint& operator=(const VerticalPoint& other);

    static VerticalPoint* Cast(RoadElement* element) { return road_CastByCode<VerticalPoint>(element); }
    static const VerticalPoint* Cast(const RoadElement* element) { return road_CastByCode<VerticalPoint>(element); }

    double GradeIn = MATHS_Null;
    double GradeOut = MATHS_Null;
};

// What the three curves share: the grades either side, the K-factor (length per
// percent of grade change) and the point of zero grade when it lies on the curve.
class VerticalCurve : public VerticalBase {
public:
    using VerticalBase::operator=;
    // Start, end and VPI, then the sag or summit point when the curve has one.
    void AddKeyStations(ChainageElementArray& list) const override;

    // Both grades set and exactly equal / different.
    bool GradesEqual() const;
    bool GradesDiffer() const;

    // The element when it is an arc or a parabola (type codes 7, 9, 10), else null.
    static VerticalCurve* Cast(RoadElement* element);
    static const VerticalCurve* Cast(const RoadElement* element);

    double KFactor = MATHS_Null;
    double GradeIn = MATHS_Null;
    double GradeOut = MATHS_Null;
    StationElevation SagSummitPoint;

protected:
    explicit VerticalCurve(int32_t type) : VerticalBase(type) {}
    VerticalCurve(const VerticalCurve& other) = default;
    // The base part and the shared members.
    void AssignCurve(const VerticalCurve& other);
    // The shared members, the keying and the points, exactly.
    bool SameCurve(const VerticalCurve& other) const;
    // Writes KeyinMethod and IntersectionPoint, which every curve writes first.
    xmlout_element* StartXml(const char* name) const;
    // Writes StartPoint, EndPoint, the centre when there is one, SagSummitPoint, the
    // grades and KFactor.
    void FinishXml(xmlout_element* element, const StationElevation* centre) const;
    // Reads the shared members and the points.
    void ReadCurveXml(const xml_Node* node);
    // The grade line from the previous element's end through StartPoint.
    double ElevationBeforeCurve(double station) const;
    // SagSummitPoint at station x on the parabola with these halves; null when x is
    // missing or off the curve.
    void PlaceSagSummitOnParabola(double x, double lengthIn, double lengthOut);
    // The parabola's elevation after StartPoint, the grade line's at and before it.
    double ParabolaElevationAt(double station, double lengthIn, double lengthOut) const;
};

class VerticalArc : public VerticalCurve {
public:
    static constexpr int32_t TypeCode = 7;

    VerticalArc() : VerticalCurve(TypeCode) {}
    VerticalArc(const VerticalArc& other) = default;

    void ReadXml(const xml_Node* node) override;
    xmlout_element* WriteXml() const override;
    bool operator==(const RoadElement& other) const override;
    bool operator==(const VerticalArc& other) const { return *this == static_cast<const RoadElement&>(other); }
    RoadElement* Clone() const override { return new VerticalArc(*this); }
    using VerticalBase::operator=;
    void Compute() override;
    // On the circle after StartPoint, on the grade line before it.
    double ElevationAt(double station) const override;
    virtual VerticalArc& operator=(const VerticalArc& other);

    bool IsSag() const { return GradeIn < GradeOut; }
    bool IsGradeOutFlatter() const { return maths_Abs(GradeOut) < maths_Abs(GradeIn); }
    // A Radius is needed; keyed by start and end points it must reach half the chord.
    bool IsRadiusValid() const;

    static VerticalArc* Cast(RoadElement* element) { return road_CastByCode<VerticalArc>(element); }
    static const VerticalArc* Cast(const RoadElement* element) { return road_CastByCode<VerticalArc>(element); }

    double Radius = MATHS_Null;
    // EndPoint station - StartPoint station.
    double Length = MATHS_Null;
    StationElevation CentrePoint;

private:
    // pi minus the grade change.
    double InteriorAngle() const;
    void ComputeTangentPoints();
    void ComputeFromStartAndEndPoints();
    void ComputeCurve();
};

class VerticalParabola : public VerticalCurve {
public:
    static constexpr int32_t TypeCode = 9;

    VerticalParabola() : VerticalCurve(TypeCode) {}
    VerticalParabola(const VerticalParabola& other) = default;

    void ReadXml(const xml_Node* node) override;
    xmlout_element* WriteXml() const override;
    bool operator==(const RoadElement& other) const override;
    bool operator==(const VerticalParabola& other) const { return *this == static_cast<const RoadElement&>(other); }
    RoadElement* Clone() const override { return new VerticalParabola(*this); }
    using VerticalBase::operator=;
    void Compute() override;
    // On the parabola after StartPoint, on the grade line before it.
    double ElevationAt(double station) const override;
    virtual VerticalParabola& operator=(const VerticalParabola& other);

    static VerticalParabola* Cast(RoadElement* element) { return road_CastByCode<VerticalParabola>(element); }
    static const VerticalParabola* Cast(const RoadElement* element) {
        return road_CastByCode<VerticalParabola>(element);
    }

    // The whole horizontal length.
    double Length = MATHS_Null;

private:
    void ComputeSagSummitPoint();
};

class VerticalAsymmetricParabola : public VerticalCurve {
public:
    static constexpr int32_t TypeCode = 10;

    VerticalAsymmetricParabola() : VerticalCurve(TypeCode) {}
    VerticalAsymmetricParabola(const VerticalAsymmetricParabola& other) = default;

    void ReadXml(const xml_Node* node) override;
    xmlout_element* WriteXml() const override;
    bool operator==(const RoadElement& other) const override;
    bool operator==(const VerticalAsymmetricParabola& other) const {
        return *this == static_cast<const RoadElement&>(other);
    }
    RoadElement* Clone() const override { return new VerticalAsymmetricParabola(*this); }
    using VerticalBase::operator=;
    // Does not look at KeyinMethod.
    void Compute() override;
    double ElevationAt(double station) const override;
    virtual VerticalAsymmetricParabola& operator=(const VerticalAsymmetricParabola& other);

    static VerticalAsymmetricParabola* Cast(RoadElement* element) {
        return road_CastByCode<VerticalAsymmetricParabola>(element);
    }
    static const VerticalAsymmetricParabola* Cast(const RoadElement* element) {
        return road_CastByCode<VerticalAsymmetricParabola>(element);
    }

    // From the VPI to EndPoint.
    double LengthOut = MATHS_Null;
    // From StartPoint to the VPI.
    double LengthIn = MATHS_Null;

private:
    void ComputeSagSummitPoint();
};
