#include "records/localtransform.h"

#include <utility>

#include "foundation/environment.h"
#include "records/editactions.h"

namespace {
constexpr const char* kModule = dbRecord_Module;
}  // namespace

// ---------------------------------------------------------------- dbrecord_AverageResidualList

void dbrecord_AverageResidualList::SetCount(int32_t count) {
    _Count = count;
    _Residuals.clear();
    if (count > 0) _Residuals.resize(static_cast<size_t>(count));
}

const db_AverageResidual* dbrecord_AverageResidualList::GetAt(int index) const {
    if (!QZ_ASSERT_TEXT(index >= 0 && index < static_cast<int>(_Residuals.size()),
                        "index >= 0 && index < NumberOfResiduals"))
        return nullptr;
    return &_Residuals[static_cast<size_t>(index)];
}

db_AverageResidual* dbrecord_AverageResidualList::GetAt(int index) {
    return const_cast<db_AverageResidual*>(std::as_const(*this).GetAt(index));
}

void dbrecord_AverageResidualList::Write(WriteBuffer& buffer) const {
    buffer.PutInt32(_Count);
    for (const db_AverageResidual& residual : _Residuals) residual.Write(buffer);
}

void dbrecord_AverageResidualList::Read(ReadBuffer& buffer, int& byteOffset) {
    SetCount(0);
    const int32_t count = buffer.GetInt32(byteOffset);
    if (!dbRecord_CountFits(buffer, byteOffset, count, db_AverageResidual::MinBytes)) return;
    SetCount(count);
    for (db_AverageResidual& residual : _Residuals) {
        if (dbRecord_IsDamaged(buffer, byteOffset)) break;
        residual.Read(buffer, byteOffset);
    }
}

bool dbrecord_AverageResidualList::IsEqual(const dbrecord_AverageResidualList& other) const {
    if (this == &other) return true;
    if (_Count != other._Count) return false;
    for (size_t i = 0; i < _Residuals.size(); ++i)
        if (!_Residuals[i].IsEqual(other._Residuals[i])) return false;
    return true;
}

// ---------------------------------------------------------------- db_LocalTransformation

void db_LocalTransformation::ApplyBoolAction(const db_BoolAction& action) {
    if (action.Action == db_BoolAction::Delete) Deleted = true;
    else if (action.Action == db_BoolAction::Undelete) Deleted = false;
}

// ---------------------------------------------------------------- Helmert blocks

void dbrecord_HelmertParameters::Clear() {
    Apply = false;
    OriginNorth = 0.0;
    OriginEast = 0.0;
    Scale = 1.0;
    Rotation = 0.0;
    TranslationNorth = 0.0;
    TranslationEast = 0.0;
    ScaleStdError = MATHS_Null;
    RotationStdError = MATHS_Null;
    TranslationNorthStdError = MATHS_Null;
    TranslationEastStdError = MATHS_Null;
}

void dbrecord_HelmertSolution::Clear() {
    Apply = false;
    ConstantAdjustmentOnly = true;
    OriginNorth = 0.0;
    OriginEast = 0.0;
    NorthAdjustment = 0.0;
    EastAdjustment = 0.0;
    ElevationAdjustment = 0.0;
    NorthAdjustmentStdError = MATHS_Null;
    EastAdjustmentStdError = MATHS_Null;
    ElevationAdjustmentStdError = MATHS_Null;
}
