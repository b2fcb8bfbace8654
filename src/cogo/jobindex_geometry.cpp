#include "cogo/jobindex_geometry.h"

#include "cogo/cogo.h"
#include "cogo/cogoarc.h"
#include "cogo/localtransformation.h"
#include "cogo/position.h"
#include "cogo/transfrm.h"
#include "jobdb/dbJobIndex.h"
#include "records/entities.h"
#include "records/localtransform.h"

namespace {

// The corrections positions are computed with: the transform's, when it has them.
const coordsys_Corrections* CorrectionsOf(const transfrm_Class* transform) {
    return transform && (transform->Components & TRANSFRM_Corrections) ? &transform->Corrections : nullptr;
}

bool GridOfMeasurement(dbJobIndex* index, const dbRecord_Class* measurement, coord_CorrectedGrid* grid) {
    grid->SetNull();
    if (!index->Transform) return false;
    position_Class position(index, measurement);
    *grid = position.GetGrid(index->Transform);
    return !grid->IsNull();
}

void BearingDistanceEnd(dbJobIndex* index, const dbObjectRef& start, double azimuth, double grade, double length,
                        coord_CorrectedGrid* end) {
    end->SetNull();
    const transfrm_Class* transform = index->Transform;
    position_Class first, second;
    if (!transform || !first.FillFromIndexLocation(start)) return;
    const coordsys_CogoSettings mask = cogo_GetSystemForPosition(first, transform, CorrectionsOf(transform));
    cogo_ComputePointFromGround(first, transform, coord_Ground(azimuth, grade, length), &second, mask);
    *end = second.GetGrid(transform);
}

int SolveArc(dbJobIndex* index, db_Arc* arc, dbJobIndex_ArcSolution* solution) {
    const transfrm_Class* transform = index->Transform;
    // Without a transform no point has a grid: nothing to solve.
    if (!transform) return COGO_NullInput;
    position_Class start, end, centre, intersection;
    // The mask of the still empty start: the job's default for this transform.
    const coordsys_CogoSettings settings = cogo_GetSystemForPosition(start, transform, CorrectionsOf(transform));
    coordsys_CogoSettings mask = settings;
    double verticalDifference = MATHS_Null;
    const int result = cogoarc_ComputeArc(index, arc, &start, &end, &centre, &intersection, &solution->StartAzimuth,
                                          &verticalDifference, &mask, CorrectionsOf(transform), false);
    solution->Start = start.GetGrid(transform);
    solution->Centre = centre.GetGrid(transform);
    solution->StartName = start.GetName();
    solution->EndName = end.GetName();
    return result;
}

LocalTransformation* MakeLocalTransformation(dbJobIndex* index, const Str& name, const dbRecord_Class* definition) {
    if (const auto* line = db_LineTransformationDefinition::Cast(definition)) {
        const transfrm_Class* transform = index->Transform;
        position_Class start(index), end(index);
        start.SetGrid(line->StartPointGrid, transform);
        end.SetGrid(line->EndPointGrid, transform);
        auto* made = new LocalLineTransformation;
        made->Set(name, start.GetCogoGrid(transform), end.GetCogoGrid(transform), line->StartPointLocalGrid,
                  line->EndPointLocalGrid, line->ScaleApplicationMethod);
        return made;
    }
    if (const auto* helmert = db_LocalTransformationHelmertParameters::Cast(definition)) {
        auto* made = new LocalHelmertTransformation;
        made->Set(name, &helmert->HorizontalParameters, &helmert->VerticalParameters);
        return made;
    }
    return new LocalNullTransformation;
}

LocalTransformation* CopyLocalTransformation(const LocalTransformation* transformation) {
    if (!transformation) return nullptr;
    switch (transformation->GetType()) {
        case LOCALTRANSFORMATION_Line:
            return new LocalLineTransformation(static_cast<const LocalLineTransformation&>(*transformation));
        case LOCALTRANSFORMATION_Helmert:
            return new LocalHelmertTransformation(static_cast<const LocalHelmertTransformation&>(*transformation));
        default:
            return new LocalNullTransformation(static_cast<const LocalNullTransformation&>(*transformation));
    }
}

}  // namespace

void jobindexgeometry_Fill(dbJobIndex_CoordinateGeometry* geometry) {
    geometry->CreateTransform = transfrm_Create;
    geometry->TransformComponents = [](const transfrm_Class* transform) { return transform->Components; };
    geometry->GridOfMeasurement = GridOfMeasurement;
    geometry->BearingDistanceEnd = BearingDistanceEnd;
    geometry->SolveArc = SolveArc;
    geometry->MakeLocalTransformation = MakeLocalTransformation;
    geometry->CopyLocalTransformation = CopyLocalTransformation;
    geometry->DeleteLocalTransformation = [](LocalTransformation* transformation) { delete transformation; };
}
