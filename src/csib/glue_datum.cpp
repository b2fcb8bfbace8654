// The glue's datum records and its entry into the Helmert estimator. The job's datum
// parameters take WGS84 to the local datum; the engine's records take the local datum
// to WGS84, so both builders store the inverse.
#include <cmath>
#include <cstring>

#include "csib/csibplatform.h"
#include "csib/datum.h"
#include "csib/glue.h"
#include "csib/matrix.h"
#include "foundation/kernel/maths.h"

namespace {

template <typename Record>
Record* NewDatumRecord(csib_Block* block) {
    auto* record = static_cast<Record*>(csib_MemAlloc(sizeof(Record)));
    if (record) {
        std::memset(record, 0, sizeof(Record));
        block->datumParameters = record;
    }
    return record;
}

}  // namespace

csib_Status csibglue_SetThreeParameter(csib_Block* block, const coordsys_Datum& datum) {
    auto* record = NewDatumRecord<csib_MolodenskyParameters>(block);
    if (!record) return CSIB_OutOfMemory;
    record->dX = -datum.TranslationX;
    record->dY = -datum.TranslationY;
    record->dZ = -datum.TranslationZ;
    return CSIB_Ok;
}

csib_Status csibglue_SetSevenParameter(csib_Block* block, const coordsys_Datum& datum) {
    auto* record = NewDatumRecord<csib_HelmertParameters>(block);
    if (!record) return CSIB_OutOfMemory;
    const double values[7] = {datum.TranslationX, datum.TranslationY, datum.TranslationZ, datum.RotationX,
                              datum.RotationY,    datum.RotationZ,    datum.Scale};
    std::memcpy(record->values, values, sizeof values);
    const csib_Status status = csibglue_InvertRotation(record->values);
    csib_HelmertRotation(record);
    return status;
}

csib_Status csibglue_InvertRotation(double parameters[7]) {
    csib_HelmertParameters forward{};
    std::memcpy(forward.values, parameters, sizeof forward.values);
    csib_HelmertRotation(&forward);
    double r[9];
    if (!matrix_Invert3x3(forward.r, r)) return CSIB_Singular;
    const double ry = maths_ASin(r[6]);
    const double cosRy = std::cos(ry);
    csib_HelmertParameters inverse{};
    double* v = inverse.values;
    v[CSIB_HelmertRx] = maths_ASin(maths_Divide(-r[7], cosRy));
    v[CSIB_HelmertRy] = ry;
    v[CSIB_HelmertRz] = maths_ASin(maths_Divide(-r[3], cosRy));
    v[CSIB_HelmertScale] = 1.0 / parameters[CSIB_HelmertScale];
    csib_HelmertRotation(&inverse);
    // d' = -s' R' d: the forward transformation of -d with no translation.
    const double d[3] = {-parameters[CSIB_HelmertTx], -parameters[CSIB_HelmertTy], -parameters[CSIB_HelmertTz]};
    csib_HelmertForward(&inverse, d, v);
    std::memcpy(parameters, v, sizeof inverse.values);
    return CSIB_Ok;
}

bool csibglue_EstimateHelmert(const double (*source)[3], const double (*target)[3], uint16_t count,
                              double parameters[7], double (*residuals)[3], double tolerance, int limit) {
    auto* from = static_cast<matrix_Vector*>(csib_MemAlloc(sizeof(matrix_Vector) * (count ? count : 1u)));
    auto* to = static_cast<matrix_Vector*>(csib_MemAlloc(sizeof(matrix_Vector) * (count ? count : 1u)));
    bool made = from && to;
    uint16_t built = 0;
    // A point's second, first and third value.
    constexpr int kOrder[3] = {1, 0, 2};
    for (; made && built < count; ++built) {
        if (!matrix_NewVector(&from[built], 3)) {
            made = false;
            break;
        }
        if (!matrix_NewVector(&to[built], 3)) {
            matrix_FreeVector(&from[built]);
            made = false;
            break;
        }
        for (int e = 0; e < 3; ++e) {
            from[built].data[e] = source[built][kOrder[e]];
            to[built].data[e] = target[built][kOrder[e]];
        }
    }
    matrix_Vector p{};
    matrix_Matrix v{};
    csib_Status status = CSIB_OutOfMemory;
    if (made && matrix_NewVector(&p, 7) && matrix_NewMatrix(&v, count, 3)) {
        // The datum order is rotations, translations, scale.
        constexpr int kDatumIndex[7] = {3, 4, 5, 0, 1, 2, 6};
        for (int k = 0; k < 7; ++k) p.data[k] = parameters[kDatumIndex[k]];
        const int16_t steps = static_cast<int16_t>(limit < 0 ? 0 : limit > INT16_MAX ? INT16_MAX : limit);
        status = csib_SolveHelmert(from, to, count, 0, nullptr, &p, &v, tolerance, steps, 1);
        for (int k = 0; k < 7; ++k) parameters[kDatumIndex[k]] = p.data[k];
        for (uint16_t i = 0; i < count; ++i)
            for (int e = 0; e < 3; ++e) residuals[i][kOrder[e]] = v.data[i][e];
    }
    if (p.data) matrix_FreeVector(&p);
    if (v.data) matrix_FreeMatrix(&v);
    for (uint16_t i = 0; i < built; ++i) {
        matrix_FreeVector(&from[i]);
        matrix_FreeVector(&to[i]);
    }
    csib_MemFree(from);
    csib_MemFree(to);
    return status == CSIB_Ok;
}
