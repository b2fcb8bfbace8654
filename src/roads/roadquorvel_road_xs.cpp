// The road document's cross-section queries: a section at a station, and the design
// elevation, grid point and station-offset-height that a section answers.
#include "roads/roadquorvel_road.h"

#include "roads/roadxs.h"
#include "roads/roadxs_builder.h"

void QuorvelRoad::CrossSectionAt(double station, roadxs_Section& section) const {
    CrossSectionRoad parts;
    parts.Name = Name;
    parts.Horizontal = &HorizontalAlignment;
    parts.Vertical = &VerticalAlignment;
    parts.Templates = &Templates;
    parts.Placements = &TemplatePositioning;
    parts.Supers = &Supers;
    parts.Equations = &StationEquations;
    CrossSectionBuilder builder(parts, station, 0);
    section = CentreLineOnly ? builder.ComputeCentreLineOnly() : builder.Compute();
}

double QuorvelRoad::ElevationAt(double station, double offset) const {
    roadxs_Section section;
    CrossSectionAt(station, section);
    if (maths_IsNull(section.Station)) return MATHS_Null;
    return section.ElevationAt(roadxs_Position(offset));
}

coord_CorrectedGrid QuorvelRoad::PointAtStationOffset(double station, double offset, double height) const {
    coord_CorrectedGrid point = HorizontalAlignment.PointAtStationOffset(coord_StationOffset(station, offset, MATHS_Null));
    if (point.IsNull()) return point;
    roadxs_Section section;
    CrossSectionAt(station, section);
    const double design = maths_IsNull(section.Station)
                              ? MATHS_Null
                              : section.ElevationAt(roadxs_Position(CentreLineOnly ? 0.0 : offset));
    point.Elev = maths_Add(design, height);
    return point;
}

coord_StationOffset QuorvelRoad::StationOffsetElevationOfPoint(const coord_CorrectedGrid& point) const {
    coord_StationOffset found = HorizontalAlignment.StationOffsetOfPoint(point);
    if (!maths_IsNull(found.Station))
        found.Elevation = maths_Subtract(point.Elev, ElevationAt(found.Station, CentreLineOnly ? 0.0 : found.Offset));
    return found;
}
