// The cross section of a road at a station: the design point and direction from the
// horizontal alignment, the design elevation from the vertical alignment, and on each
// side the chain of nodes built from the template in force, rotated by the
// superelevation, widened and limited by rollover. Between two placements of different
// templates each side is interpolated by station between the section of the placement
// before and that of the placement after.
#pragma once

#include <cstdint>

#include "foundation/text/str.h"
#include "roads/roadquorvel_horizontal_alignment.h"
#include "roads/roadquorvel_placement.h"
#include "roads/roadquorvel_superelevation.h"
#include "roads/roadquorvel_template.h"
#include "roads/roadquorvel_vertical_alignment.h"
#include "roads/roadstationequations.h"
#include "roads/roadxs.h"

// The parts of a road that a cross section reads; the road keeps them. An absent list
// counts as an empty one, absent equations as none.
struct CrossSectionRoad {
    Str Name;
    const HorizontalElementArray* Horizontal = nullptr;
    const VerticalElementArray* Vertical = nullptr;
    const TemplateArray* Templates = nullptr;
    const TemplatePlacementArray* Placements = nullptr;
    const SuperElevationArray* Supers = nullptr;
    const StationEquationManager* Equations = nullptr;
};

// The templates of one placement (before or after the station) and the running state
// of the side computation.
class TemplateState {
public:
    explicit TemplateState(const CrossSectionRoad* road) : road(road) {}

    // Looks up each named side's template; an unknown name leaves the side without one.
    void SetPlacement(const SidedTemplatePlacement& placement);
    // A null widening counts as none.
    void SetSuperelevation(const SuperElevationWidening& entry);

    void BuildSection(roadxs_Section& section);
    void SetCentreNode(roadxs_Section& section) const;
    void BuildSide(roadxs_Section& section, int32_t side);

    // atan(tan a + tan b) and atan(tan a - tan b), null-aware.
    static double AddSlopes(double a, double b);
    static double SubtractSlopes(double a, double b);
    // The slope that superelevation adds to every superelevated element of the side.
    double SuperelevationDelta(int32_t side) const;
    // How far the centre rises when the section turns about the side's outer edge of
    // the superelevated width.
    double PivotRise(int32_t side) const;
    // The centre's rise for the pivot in force: 0 about the crown.
    double PivotAdjustment() const;

    const SidePlacement& Placement(int32_t side) const { return placements[side]; }
    const SuperElevationWidening& Superelevation() const { return superelevation; }
    // Null for a side whose named template is unknown.
    const CrossSectionTemplate* Template(int32_t side) const { return templates[side]; }

private:
    // Rollover keeps an element from breaking over the previous superelevated one by
    // more than its rollover grade.
    double Rollover(const TemplateDistanceElement& element, double grade) const;
    // Turns the grade by the side's superelevation and remembers it for rollover.
    double Superelevate(double grade, int32_t side);

    double previousSuperedGrade = MATHS_Null;
    double previousTemplateGrade = MATHS_Null;
    bool previousSupered = false;
    const CrossSectionRoad* road;
    SuperElevationWidening superelevation;
    SidePlacement placements[2];
    const CrossSectionTemplate* templates[2] = {&CrossSectionTemplate::Empty(), &CrossSectionTemplate::Empty()};
};

class CrossSectionBuilder {
public:
    // Mode 0 interpolates node offsets and elevations linearly; any other interpolates
    // the segments' grades and runs.
    CrossSectionBuilder(const CrossSectionRoad& road, double station, int32_t mode = 0);
    // The states point at the builder's own copy of the road.
    CrossSectionBuilder(const CrossSectionBuilder&) = delete;
    CrossSectionBuilder& operator=(const CrossSectionBuilder&) = delete;

    // A null Station in the answer: the station lies off the horizontal alignment.
    roadxs_Section Compute();
    // The header only: both sides empty, the centre without elevation.
    roadxs_Section ComputeCentreLineOnly();

    bool NeedsInterpolation(int32_t side) const;
    // Linear in the station between the side's placements before and after.
    double InterpolateValue(double y1, double y2, int32_t side) const;
    double InterpolateGrade(double g1, double g2, int32_t side) const;
    void InterpolateNodeByGrade(const roadxs_Node& aPrevious, const roadxs_Node& aNode, const roadxs_Node& bPrevious,
                                const roadxs_Node& bNode, const roadxs_Node& rPrevious, roadxs_Node& rNode,
                                int32_t side) const;
    void InterpolateSide(int32_t side);

    const TemplateState& Before() const { return beforeState; }
    const TemplateState& After() const { return afterState; }

private:
    // Station, name, design point and direction; false off the alignment.
    bool ComputeHeader();
    // Node j of the result side from the nodes of both sections standing for it.
    void InterpolateNode(const roadxs_Node& aPrevious, const roadxs_Node& aNode, const roadxs_Node& bPrevious,
                         const roadxs_Node& bNode, int32_t j, int32_t side);

    double station;
    CrossSectionRoad road;
    int32_t mode;
    roadxs_Section before;
    roadxs_Section result;
    roadxs_Section after;
    TemplateState beforeState;
    TemplateState afterState;
};
