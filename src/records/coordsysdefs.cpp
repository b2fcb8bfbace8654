#include "records/coordsysdefs.h"

#include "foundation/environment.h"

namespace {
constexpr const char* kModule = dbRecord_Module;

// The ten parts of a corrections record in disk order, each with its bit and the
// copy of its value.
struct CorrectionsPart {
    int32_t bit;
    void (*take)(coordsys_Corrections& to, const coordsys_Corrections& from);
};

constexpr CorrectionsPart kCorrectionsParts[] = {
    {COORDSYS_SouthAzimuthPresent,
     [](coordsys_Corrections& t, const coordsys_Corrections& f) { t.SouthAzimuth = f.SouthAzimuth; }},
    {COORDSYS_GridOrientationPresent,
     [](coordsys_Corrections& t, const coordsys_Corrections& f) { t.GridOrientation = f.GridOrientation; }},
    {COORDSYS_MagDeclinationPresent,
     [](coordsys_Corrections& t, const coordsys_Corrections& f) { t.MagneticDeclination = f.MagneticDeclination; }},
    {COORDSYS_DistancesPresent,
     [](coordsys_Corrections& t, const coordsys_Corrections& f) { t.Distances = f.Distances; }},
    {COORDSYS_SubDivideCodePresent,
     [](coordsys_Corrections& t, const coordsys_Corrections& f) { t.SubDivideCode = f.SubDivideCode; }},
    {COORDSYS_NeighbourhoodAdjustmentPresent,
     [](coordsys_Corrections& t, const coordsys_Corrections& f) {
         t.NeighbourhoodAdjustment = f.NeighbourhoodAdjustment;
     }},
    {COORDSYS_WeightExponentPresent,
     [](coordsys_Corrections& t, const coordsys_Corrections& f) { t.WeightExponent = f.WeightExponent; }},
    {COORDSYS_CrossSectionInterpolationMethodPresent,
     [](coordsys_Corrections& t, const coordsys_Corrections& f) {
         t.CrossSectionInterpolationMethod = f.CrossSectionInterpolationMethod;
     }},
    {COORDSYS_ApplySeaLevelCorrectionOnStandardProjectionPresent,
     [](coordsys_Corrections& t, const coordsys_Corrections& f) {
         t.ApplySeaLevelCorrectionOnStandardProjection = f.ApplySeaLevelCorrectionOnStandardProjection;
     }},
    {COORDSYS_ApplySeaLevelCorrectionOnScaleOnlyProjectionPresent,
     [](coordsys_Corrections& t, const coordsys_Corrections& f) {
         t.ApplySeaLevelCorrectionOnScaleOnlyProjection = f.ApplySeaLevelCorrectionOnScaleOnlyProjection;
     }},
};
}  // namespace

db_Projection::db_Projection() {
    Projection.ProjectionType = COORDSYS_ScaleOnly;
    Projection.Scale = 1.0;
    Projection.Area = COORDSYS_AreaNone;
}

db_Projection& db_Projection::operator=(const db_Projection& other) {
    if (this == &other) return *this;
    dbRecord_Class::operator=(other);
    Derivation = other.Derivation;
    Projection = other.Projection;
    return *this;
}

dbRecord_Class* db_Corrections::FillUnsetFrom(const dbRecord_Class& from) const {
    const db_Corrections* fromCorrns = Cast(&from);
    if (!QZ_ASSERT(fromCorrns)) return nullptr;
    db_Corrections* filled = new db_Corrections(*this);
    coordsys_Corrections& values = filled->Corrections;
    for (const CorrectionsPart& part : kCorrectionsParts) {
        if (values.ValuesPresent & part.bit) continue;
        part.take(values, fromCorrns->Corrections);
        values.ValuesPresent |= part.bit;
    }
    if (filled->IsEqual(*this)) {
        delete filled;
        return nullptr;
    }
    return filled;
}
