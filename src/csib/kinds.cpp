#include "csib/kinds.h"

#include "csib/csibplatform.h"

namespace {

// Projection and vertical kind 0: every slot null.
constexpr csib_ProjectionFunctions noProjection{};
constexpr csib_VerticalFunctions noVertical{};

}  // namespace

const csib_DatumKind csib_DatumKinds[CSIB_DatumKindCount] = {
    {"none", &csib_DatumNone, nullptr},
    {"three-parameter Molodensky", &csib_MolodenskyFunctions, nullptr},
    {"multiple regression equations", &csib_RegressionFunctions, nullptr},
    {"seven-parameter Helmert", &csib_HelmertFunctions, nullptr},
    {"datum grid held in the image", &csib_DatumGridFunctions, csib_DatumGridUsesFile},
    {"combined datum grid file", &csib_DatumGridFileFunctions, csib_DatumGridUsesFile},
    {"RTCM transformation data", &csib_RtcmFunctions, nullptr},
};

const csib_ProjectionKind csib_ProjectionKinds[CSIB_ProjectionKindCount] = {
    {"none", false, &noProjection, nullptr},
    {"Albers equal-area conic", false, &csib_AlbersFunctions, nullptr},
    {"Cassini-Soldner", false, &csib_CassiniFunctions, nullptr},
    {"Krovak", true, &csib_KrovakFunctions, nullptr},
    {"Lambert conformal conic", true, &csib_LambertFunctions, nullptr},
    {"Mercator", true, &csib_MercatorFunctions, nullptr},
    {"New Zealand map grid", true, &csib_NewZealandMapGridFunctions, nullptr},
    {"oblique conformal cylindrical", true, &csib_ObliqueCylindricalFunctions, nullptr},
    {"oblique Mercator", true, &csib_ObliqueMercatorFunctions, nullptr},
    {"oblique stereographic", true, &csib_ObliqueStereoFunctions, nullptr},
    {"plane through earth-centred coordinates", false, &csib_PlaneFunctions, nullptr},
    {"polar stereographic", true, &csib_PolarStereoFunctions, nullptr},
    {"RD stereographic", true, &csib_RDStereographicFunctions, nullptr},
    {"oblique plane through earth-centred coordinates", false, &csib_EcefPlaneFunctions, nullptr},
    {"transverse Mercator", true, &csib_TransverseMercatorFunctions, nullptr},
    {"United Kingdom national grid", true, &csib_UKGridFunctions, csib_UKGridUsesFile},
    {"Denmark", true, &csib_DenmarkFunctions, nullptr},
    {"EOV", true, &csib_HungarianEOVFunctions, nullptr},
    {"double stereographic", true, &csib_DoubleStereoFunctions, nullptr},
    {"projection grid file", false, &csib_ProjectionGridFunctions, csib_ProjectionGridUsesFile},
};

const csib_VerticalKind csib_VerticalKinds[CSIB_VerticalKindCount] = {
    {"none", &noVertical, nullptr},
    {"geoid grid file", &csib_GeoidGridFunctions, csib_GeoidGridUsesFile},
    {"inclined plane", &csib_InclinedPlaneFunctions, nullptr},
    {"constant separation", &csib_ConstantSeparationFunctions, nullptr},
};

const csib_ShiftGridModel* const csib_ShiftGridSupport = &csib_ShiftGridFunctions;

csib_Status csib_NoFileWork(csib_Block*) { return CSIB_Ok; }

csib_Status csib_FreeDatumRecord(csib_Block* block) {
    csib_MemFree(block->datumParameters);
    block->datumParameters = nullptr;
    return CSIB_Ok;
}

csib_Status csib_FreeVerticalRecord(csib_Block* block) {
    csib_MemFree(block->verticalParameters);
    block->verticalParameters = nullptr;
    return CSIB_Ok;
}
