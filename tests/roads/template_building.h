// Template elements, templates and placements made in one line each, for the tests of
// cross sections. Slopes are given as rise over run and held as angles.
#pragma once

#include <cmath>
#include <initializer_list>

#include "foundation/kernel/maths.h"
#include "roads/roadquorvel_placement.h"
#include "roads/roadquorvel_template.h"

namespace road_test {

// A rollover grade other than null turns rollover on.
inline TemplateDistanceGrade* Grade(double width, double slope, bool supered = false, double rollover = MATHS_Null,
                                    bool widened = false, const char* code = "") {
    auto* e = new TemplateDistanceGrade;
    e->HorizontalDistance = width;
    e->Grade = std::atan(slope);
    e->ApplySuperelevation = supered;
    e->ApplyRollover = rollover != MATHS_Null;
    e->RolloverGrade = rollover == MATHS_Null ? MATHS_Null : std::atan(rollover);
    e->ApplyWidening = widened;
    e->Code = code;
    return e;
}

inline TemplateDistanceDelta* Delta(double width, double rise, bool supered = false) {
    auto* e = new TemplateDistanceDelta;
    e->HorizontalDistance = width;
    e->VerticalDistance = rise;
    e->ApplySuperelevation = supered;
    return e;
}

inline TemplateSideSlope* Slope(double cut, double fill, double ditch) {
    auto* e = new TemplateSideSlope;
    e->Code = "BAT";
    e->CutGrade = std::atan(cut);
    e->FillGrade = std::atan(fill);
    e->CutDitchWidth = ditch;
    return e;
}

inline CrossSectionTemplate Template(const char* name, std::initializer_list<RoadElement*> elements) {
    CrossSectionTemplate t;
    t.Name = name;
    for (RoadElement* e : elements) t.Add(e);
    return t;
}

// Both sides from the station on; a null name places no template on that side.
inline SidedTemplatePlacement* Place(double station, const char* left, const char* right) {
    auto* p = new SidedTemplatePlacement;
    const char* names[2] = {left, right};
    for (int32_t side : {DBROAD_SideLeft, DBROAD_SideRight}) {
        p->Sides[side].Station = station;
        p->Sides[side].Type = names[side] ? SidePlacement::UserDefinedTemplate : SidePlacement::NoTemplate;
        if (names[side]) p->Sides[side].Name = names[side];
    }
    return p;
}

}  // namespace road_test
