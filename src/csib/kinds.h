// The kind tables of the three stages and the shift grid: one row per kind, in kind
// order. A row names the kind and points to its slot table; a kind whose model is not
// part of this build has a null table and cannot be installed. Adding a kind is one
// file defining its slot table and its row here.
#pragma once

#include "csib/csib.h"

// True when one of the model's grids is file-backed under that name; null for
// models that read no file. Only asked while the stage has a model.
using csib_UsesFile = bool (*)(const csib_Block* block, const char* fileName);

struct csib_DatumKind {
    const char* name;
    const csib_DatumFunctions* slots;
    csib_UsesFile usesFile;
};

struct csib_ProjectionKind {
    const char* name;
    bool conformal;
    const csib_ProjectionFunctions* slots;
    csib_UsesFile usesFile;
};

struct csib_VerticalKind {
    const char* name;
    const csib_VerticalFunctions* slots;
    csib_UsesFile usesFile;
};

// The projection shift grid, always stored by file name.
struct csib_ShiftGridModel {
    csib_Status (*Load)(csib_Block*, const char* fileName);
    csib_BlockSlot Close;
    csib_BlockSlot Reopen;
    csib_BlockSlot Free;
    csib_Status (*Save)(csib_Block*, uint8_t* out);
    csib_Status (*GetSavedSize)(csib_Block*, int32_t* size);
    csib_UsesFile usesFile;
    csib_Status (*Apply)(csib_Block*, csib_GridPoint*);
    csib_Status (*Remove)(csib_Block*, csib_GridPoint*);
};

extern const csib_DatumKind csib_DatumKinds[CSIB_DatumKindCount];
extern const csib_ProjectionKind csib_ProjectionKinds[CSIB_ProjectionKindCount];
extern const csib_VerticalKind csib_VerticalKinds[CSIB_VerticalKindCount];
extern const csib_ShiftGridModel* const csib_ShiftGridSupport;

// The slot tables, one per kind file.
extern const csib_DatumFunctions csib_DatumNone;
extern const csib_DatumFunctions csib_MolodenskyFunctions;
extern const csib_DatumFunctions csib_RegressionFunctions;
extern const csib_DatumFunctions csib_HelmertFunctions;
extern const csib_ProjectionFunctions csib_TransverseMercatorFunctions;
extern const csib_ProjectionFunctions csib_AlbersFunctions;
extern const csib_ProjectionFunctions csib_CassiniFunctions;
extern const csib_ProjectionFunctions csib_LambertFunctions;
extern const csib_ProjectionFunctions csib_MercatorFunctions;
extern const csib_ProjectionFunctions csib_ObliqueCylindricalFunctions;
extern const csib_ProjectionFunctions csib_ObliqueMercatorFunctions;
extern const csib_ProjectionFunctions csib_ObliqueStereoFunctions;
extern const csib_ProjectionFunctions csib_PolarStereoFunctions;
extern const csib_ProjectionFunctions csib_RDStereographicFunctions;
extern const csib_ProjectionFunctions csib_DoubleStereoFunctions;
extern const csib_ProjectionFunctions csib_KrovakFunctions;
extern const csib_ProjectionFunctions csib_HungarianEOVFunctions;
extern const csib_ProjectionFunctions csib_NewZealandMapGridFunctions;
extern const csib_ProjectionFunctions csib_PlaneFunctions;
extern const csib_ProjectionFunctions csib_DenmarkFunctions;
extern const csib_ProjectionFunctions csib_EcefPlaneFunctions;
extern const csib_VerticalFunctions csib_InclinedPlaneFunctions;
extern const csib_VerticalFunctions csib_ConstantSeparationFunctions;
extern const csib_DatumFunctions csib_DatumGridFunctions;      // kind 4
extern const csib_DatumFunctions csib_DatumGridFileFunctions;  // kind 5
extern const csib_DatumFunctions csib_RtcmFunctions;           // kind 6
extern const csib_VerticalFunctions csib_GeoidGridFunctions;
extern const csib_ProjectionFunctions csib_UKGridFunctions;
bool csib_DatumGridUsesFile(const csib_Block* block, const char* fileName);
bool csib_GeoidGridUsesFile(const csib_Block* block, const char* fileName);
bool csib_UKGridUsesFile(const csib_Block* block, const char* fileName);
extern const csib_ProjectionFunctions csib_ProjectionGridFunctions;
bool csib_ProjectionGridUsesFile(const csib_Block* block, const char* fileName);
extern const csib_ShiftGridModel csib_ShiftGridFunctions;

// Close and Reopen of every model that reads no file: nothing to do.
csib_Status csib_NoFileWork(csib_Block* block);
// Free of every datum or vertical model whose record is one allocation.
csib_Status csib_FreeDatumRecord(csib_Block* block);
csib_Status csib_FreeVerticalRecord(csib_Block* block);

// The saved-size slot of every model whose saved part is always Bytes long.
template <int32_t Bytes>
csib_Status csib_FixedSavedSize(csib_Block*, uint8_t, int32_t* size) {
    if (!size) return CSIB_MissingOutput;
    *size = Bytes;
    return CSIB_Ok;
}
