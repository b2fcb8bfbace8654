#include "roads/roadxs_builder.h"

#include <algorithm>
#include <cmath>

#include "cogo/approx.h"
#include "cogo/grade.h"
#include "foundation/environment.h"
#include "roads/roadcogo.h"

namespace {

constexpr const char* kModule = "roadxs";

// Two nodes never share an offset: an element without width still moves this far out.
constexpr double kZeroWidthStep = 0.00005;
// A height-difference element narrower than this is a step, not a slope.
constexpr double kStepWidth = 0.0005;
// |cos| of a grade below this: a vertical face.
constexpr double kVerticalCosine = 0.0001;

}  // namespace

// Template state.

void TemplateState::SetPlacement(const SidedTemplatePlacement& placement) {
    for (int32_t side : {DBROAD_SideLeft, DBROAD_SideRight}) {
        placements[side] = placement.Sides[side];
        if (placements[side].Type == SidePlacement::NoTemplate)
            templates[side] = &CrossSectionTemplate::Empty();
        else
            templates[side] = road->Templates ? road->Templates->FindByName(placements[side].Name) : nullptr;
    }
}

void TemplateState::SetSuperelevation(const SuperElevationWidening& entry) {
    superelevation = entry;
    for (double& widening : superelevation.Widening)
        if (maths_IsNull(widening)) widening = 0;
}

void TemplateState::BuildSection(roadxs_Section& section) {
    SetCentreNode(section);
    BuildSide(section, DBROAD_SideLeft);
    BuildSide(section, DBROAD_SideRight);
}

void TemplateState::SetCentreNode(roadxs_Section& section) const {
    section.Centre = roadxs_Node(0, maths_Add(section.Point.Elev, PivotAdjustment()), Str());
}

double TemplateState::AddSlopes(double a, double b) { return maths_ATan(maths_Add(maths_Tan(a), maths_Tan(b))); }

double TemplateState::SubtractSlopes(double a, double b) {
    return maths_ATan(maths_Subtract(maths_Tan(a), maths_Tan(b)));
}

double TemplateState::SuperelevationDelta(int32_t side) const {
    const double crossfall = superelevation.Superelevation[side];
    const double reference = templates[side] ? templates[side]->GetSuperelevationReferenceGrade() : MATHS_Null;
    if (maths_IsNull(crossfall) || maths_IsNull(reference)) return 0;
    const double delta = AddSlopes(crossfall, -reference);
    return grade_IsValid(delta) ? delta : 0;
}

double TemplateState::PivotRise(int32_t side) const {
    if (!templates[side]) return 0;
    const double delta = SuperelevationDelta(side);
    const CrossSectionTemplate& t = *templates[side];
    return maths_Subtract(grade_VerticalDifference(-delta, t.GetSuperelevatedWidth()),
                          grade_VerticalDifference(delta, t.CountWidenedElements() * superelevation.Widening[side]));
}

double TemplateState::PivotAdjustment() const {
    switch (superelevation.Pivot) {
    case SuperElevationWidening::PivotLeft:
        return PivotRise(DBROAD_SideLeft);
    case SuperElevationWidening::PivotRight:
        return PivotRise(DBROAD_SideRight);
    default:
        return 0;
    }
}

double TemplateState::Rollover(const TemplateDistanceElement& element, double grade) const {
    if (!element.ApplyRollover || !previousSupered) return grade;
    const double previous = previousSuperedGrade;
    if (previousTemplateGrade < previous) {  // the previous element was raised
        if (SubtractSlopes(previous, grade) > element.RolloverGrade)
            return SubtractSlopes(previous, element.RolloverGrade);
        return grade;
    }
    return previous < grade ? previous : grade;
}

double TemplateState::Superelevate(double grade, int32_t side) {
    previousTemplateGrade = grade;
    grade = AddSlopes(grade, SuperelevationDelta(side));
    previousSuperedGrade = grade;
    return grade;
}

void TemplateState::BuildSide(roadxs_Section& section, int32_t side) {
    roadxs_Side& s = section.Sides[side];
    s = roadxs_Side();
    s.CutGrade = s.FillGrade = MATHS_Null;
    const SidePlacement& placement = placements[side];
    QZ_ASSERT_TEXT(placement.Type != SidePlacement::InterpolateTemplate,
                   "TemplatePlacements[Side].Type != SidePlacement::InterpolateTemplate");
    if (placement.Type != SidePlacement::NoTemplate) s.TemplateName = placement.Name;
    // Rollover looks back along this side only, never at the other side's last element.
    previousSuperedGrade = previousTemplateGrade = MATHS_Null;
    previousSupered = false;

    const CrossSectionTemplate* t = templates[side];
    if (section.IsDesignElevationNull() || !t) return;
    s.Allocate(t->Count());
    const double widening = superelevation.Widening[side];
    double d = 0;
    double e = section.Centre.Elevation;
    for (int32_t i = 0; i < t->Count(); ++i) {
        const RoadElement* element = t->At(i);
        if (const TemplateSideSlope* slope = TemplateSideSlope::Cast(element)) {
            s.HasBatter = true;
            s.BatterCode = slope->Code;
            s.CutGrade = slope->CutGrade;
            s.FillGrade = slope->FillGrade;
            s.CutDitchWidth = slope->CutDitchWidth;
            continue;
        }
        const TemplateDistanceElement* width = TemplateDistanceElement::Cast(element);
        if (!width) continue;
        double u = width->HorizontalDistance;
        if (width->ApplyWidening) u = maths_Add(u, widening);
        if (const TemplateDistanceGrade* g = TemplateDistanceGrade::Cast(element)) {
            double o = Rollover(*g, g->Grade);
            if (g->ApplySuperelevation) o = Superelevate(o, side);
            d = maths_Add(d, u);
            if (u == 0) d += kZeroWidthStep;
            e = maths_Add(e, grade_VerticalDifference(o, u));
        } else {
            const TemplateDistanceDelta* v = TemplateDistanceDelta::Cast(element);
            d = maths_Add(d, u);
            if (u < kStepWidth) {
                if (u == 0) d += kZeroWidthStep;
                e = maths_Add(e, v->VerticalDistance);
            } else {
                double o = Rollover(*v, v->GetGrade());
                if (std::fabs(std::cos(o)) < kVerticalCosine) {
                    e = maths_Add(e, v->VerticalDistance);
                } else {
                    if (v->ApplySuperelevation) o = Superelevate(o, side);
                    e = maths_Add(e, grade_VerticalDifference(o, u));
                }
            }
        }
        previousSupered = width->ApplySuperelevation;
        // Nodes follow one another even when a side slope is not the last element.
        s.Append(roadxs_Node(d, e, width->Code));
    }
    if (side == DBROAD_SideLeft) {
        s.Width = maths_Negate(s.Width);
        for (int32_t i = 0; i < s.Count; ++i) s.Nodes[i].Offset = maths_Negate(s.Nodes[i].Offset);
    }
}

// Builder.

CrossSectionBuilder::CrossSectionBuilder(const CrossSectionRoad& road, double station, int32_t mode)
    : station(station), road(road), mode(mode), beforeState(&this->road), afterState(&this->road) {}

bool CrossSectionBuilder::ComputeHeader() {
    result.Station = MATHS_Null;
    AlignmentPoint point;
    if (!road.Horizontal || !road.Horizontal->PointAtStation(station, &point)) return false;
    const StationEquationManager* equations =
        road.Equations ? road.Equations : road_GetNullStationEquationManager();
    result.Station = station;
    result.EquatedStation = equations->ToDisplayStation(station);
    result.RoadName = road.Name;
    result.Point = point.Point;
    result.Direction = maths_Add(point.Azimuth, CONSTANT_PiOverTwo);
    coord_NormaliseAzimuth(&result.Direction);
    result.Point.Elev = road.Vertical ? road.Vertical->ElevationAt(station) : MATHS_Null;
    return true;
}

roadxs_Section CrossSectionBuilder::ComputeCentreLineOnly() {
    ComputeHeader();
    return result;
}

roadxs_Section CrossSectionBuilder::Compute() {
    if (!ComputeHeader()) return result;
    const TemplatePlacementArray none;
    const TemplatePlacementArray& placements = road.Placements ? *road.Placements : none;
    beforeState.SetPlacement(placements.PlacementBefore(station));
    afterState.SetPlacement(placements.PlacementAfter(station));
    const SuperElevationWidening entry = road.Supers ? road.Supers->ValueAt(station) : SuperElevationWidening();
    beforeState.SetSuperelevation(entry);
    afterState.SetSuperelevation(entry);

    beforeState.BuildSection(result);
    if (!NeedsInterpolation(DBROAD_SideLeft) && !NeedsInterpolation(DBROAD_SideRight)) return result;

    before = result;
    after.RoadName = result.RoadName;
    after.Station = result.Station;
    after.Direction = result.Direction;
    after.Point = result.Point;
    afterState.BuildSection(after);
    for (int32_t side : {DBROAD_SideLeft, DBROAD_SideRight})
        if (NeedsInterpolation(side)) InterpolateSide(side);
    // Both states hold the same entry, so they share the pivot.
    const int32_t pivotSide =
        entry.Pivot == SuperElevationWidening::PivotLeft ? DBROAD_SideLeft : DBROAD_SideRight;
    const double change = maths_Subtract(afterState.PivotAdjustment(), beforeState.PivotAdjustment());
    result.Centre.Elevation = maths_Add(result.Centre.Elevation, InterpolateValue(0, change, pivotSide));
    return result;
}

bool CrossSectionBuilder::NeedsInterpolation(int32_t side) const {
    const SidePlacement& b = beforeState.Placement(side);
    const SidePlacement& a = afterState.Placement(side);
    if (a.Type == SidePlacement::NoTemplate || b.Type == SidePlacement::NoTemplate) return false;
    if (approx_Equal(station, APPROX_EqualTo, b.Station)) return false;
    return !(a.Name == b.Name);
}

double CrossSectionBuilder::InterpolateValue(double y1, double y2, int32_t side) const {
    return roadcogo_Interpolate(y1, y2, beforeState.Placement(side).Station, afterState.Placement(side).Station,
                                station);
}

double CrossSectionBuilder::InterpolateGrade(double g1, double g2, int32_t side) const {
    if (maths_IsNull(g1) || maths_IsNull(g2)) return MATHS_Null;
    return maths_ATan(InterpolateValue(grade_VerticalDifference(g1, 1.0), grade_VerticalDifference(g2, 1.0), side));
}

namespace {

// Rise, run and grade of one segment of a side.
struct Segment {
    Segment(const roadxs_Node& previous, const roadxs_Node& node) {
        rise = maths_Subtract(node.Elevation, previous.Elevation);
        run = maths_Abs(maths_Subtract(node.Offset, previous.Offset));
        const bool noRun = approx_Equal(run, APPROX_EqualTo, 0);
        if (noRun && approx_Equal(rise, APPROX_EqualTo, 0))
            grade = 0;
        else if (!noRun)
            grade = maths_ATan(maths_Divide(rise, run));
    }
    double rise;
    double run;
    double grade = MATHS_Null;
};

}  // namespace

void CrossSectionBuilder::InterpolateNodeByGrade(const roadxs_Node& aPrevious, const roadxs_Node& aNode,
                                                 const roadxs_Node& bPrevious, const roadxs_Node& bNode,
                                                 const roadxs_Node& rPrevious, roadxs_Node& rNode,
                                                 int32_t side) const {
    const Segment a(aPrevious, aNode);
    const Segment b(bPrevious, bNode);
    const double run = InterpolateValue(a.run, b.run, side);
    const double rise = maths_IsNull(a.grade) || maths_IsNull(b.grade)
                            ? InterpolateValue(a.rise, b.rise, side)
                            : grade_VerticalDifference(InterpolateGrade(a.grade, b.grade, side), run);
    rNode.Elevation = maths_Add(rPrevious.Elevation, rise);
    rNode.Offset = side == DBROAD_SideLeft ? maths_Subtract(rPrevious.Offset, run) : maths_Add(rPrevious.Offset, run);
}

void CrossSectionBuilder::InterpolateNode(const roadxs_Node& aPrevious, const roadxs_Node& aNode,
                                          const roadxs_Node& bPrevious, const roadxs_Node& bNode, int32_t j,
                                          int32_t side) {
    roadxs_Side& r = result.Sides[side];
    roadxs_Node& node = r.Nodes[j];
    if (mode == 0) {
        node.Elevation = InterpolateValue(aNode.Elevation, bNode.Elevation, side);
        node.Offset = InterpolateValue(aNode.Offset, bNode.Offset, side);
    } else {
        InterpolateNodeByGrade(aPrevious, aNode, bPrevious, bNode, j == 0 ? result.Centre : r.Nodes[j - 1], node,
                               side);
    }
    r.Width = node.Offset;
}

void CrossSectionBuilder::InterpolateSide(int32_t side) {
    const roadxs_Side& a = before.Sides[side];
    const roadxs_Side& b = after.Sides[side];
    roadxs_Side& r = result.Sides[side];
    const int32_t n = std::min(a.Count, b.Count);
    // A side's node j, or its centre for j = -1.
    auto at = [](const roadxs_Section& section, int32_t side, int32_t j) -> const roadxs_Node& {
        return j < 0 ? section.Centre : section.Sides[side].Nodes[j];
    };

    for (int32_t j = 0; j < n; ++j)
        InterpolateNode(at(before, side, j - 1), a.Nodes[j], at(after, side, j - 1), b.Nodes[j], j, side);

    // The shorter list goes on as if its last common node (or centre) repeated.
    if (b.Count > n) {
        const roadxs_Node& aLast = at(before, side, n - 1);
        r.Reserve(b.Count);
        for (int32_t j = n; j < b.Count; ++j) {
            r.Nodes[j] = roadxs_Node();
            r.Nodes[j].Code = b.Nodes[j].Code;
            r.Count = j + 1;
            InterpolateNode(aLast, aLast, at(after, side, j - 1), b.Nodes[j], j, side);
        }
    } else {
        const roadxs_Node& bLast = at(after, side, n - 1);
        for (int32_t j = n; j < a.Count; ++j)
            InterpolateNode(at(before, side, j - 1), a.Nodes[j], bLast, bLast, j, side);
    }

    if (a.HasBatter && b.HasBatter) {
        r.CutGrade = InterpolateGrade(a.CutGrade, b.CutGrade, side);
        r.FillGrade = InterpolateGrade(a.FillGrade, b.FillGrade, side);
        if (!maths_IsNull(a.CutDitchWidth) && !maths_IsNull(b.CutDitchWidth))
            r.CutDitchWidth = InterpolateValue(a.CutDitchWidth, b.CutDitchWidth, side);
    }
}
