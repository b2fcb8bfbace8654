#include "csib/kinds.h"

namespace {

// Projection and vertical kind 0: every slot null.
constexpr csib_ProjectionFunctions noProjection{};
constexpr csib_VerticalFunctions noVertical{};

}  // namespace

const csib_DatumKind csib_DatumKinds[CSIB_DatumKindCount] = {
    {"none", &csib_DatumNone, nullptr},
    {"three-parameter Molodensky", nullptr, nullptr},
    {"multiple regression equations", nullptr, nullptr},
    {"seven-parameter Helmert", nullptr, nullptr},
    {"datum grid held in the image", &csib_DatumGridFunctions, csib_DatumGridUsesFile},
    {"combined datum grid file", &csib_DatumGridFileFunctions, csib_DatumGridUsesFile},
    {"RTCM transformation data", nullptr, nullptr},
};

const csib_ProjectionKind csib_ProjectionKinds[CSIB_ProjectionKindCount] = {
    {"none", false, &noProjection, nullptr},
    {"Albers equal-area conic", false, nullptr, nullptr},
    {"Cassini-Soldner", false, nullptr, nullptr},
    {"Krovak", true, nullptr, nullptr},
    {"Lambert conformal conic", true, nullptr, nullptr},
    {"Mercator", true, nullptr, nullptr},
    {"New Zealand map grid", true, nullptr, nullptr},
    {"oblique conformal cylindrical", true, nullptr, nullptr},
    {"oblique Mercator", true, nullptr, nullptr},
    {"oblique stereographic", true, nullptr, nullptr},
    {"plane through earth-centred coordinates", false, nullptr, nullptr},
    {"polar stereographic", true, nullptr, nullptr},
    {"RD stereographic", true, nullptr, nullptr},
    {"oblique plane through earth-centred coordinates", false, nullptr, nullptr},
    {"transverse Mercator", true, &csib_TransverseMercatorFunctions, nullptr},
    {"United Kingdom national grid", true, &csib_UKGridFunctions, csib_UKGridUsesFile},
    {"Denmark", true, nullptr, nullptr},
    {"EOV", true, nullptr, nullptr},
    {"double stereographic", true, nullptr, nullptr},
    {"projection grid file", false, nullptr, nullptr},
};

const csib_VerticalKind csib_VerticalKinds[CSIB_VerticalKindCount] = {
    {"none", &noVertical, nullptr},
    {"geoid grid file", &csib_GeoidGridFunctions, csib_GeoidGridUsesFile},
    {"inclined plane", &csib_InclinedPlaneFunctions, nullptr},
    {"constant separation", &csib_ConstantSeparationFunctions, nullptr},
};

const csib_ShiftGridModel* const csib_ShiftGridSupport = nullptr;

csib_Status csib_NoFileWork(csib_Block*) { return CSIB_Ok; }
