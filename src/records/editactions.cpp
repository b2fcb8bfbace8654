#include "records/editactions.h"

#include "foundation/environment.h"

namespace {
constexpr const char* kModule = dbRecord_Module;
}  // namespace

bool db_Features::IsEqual(const dbRecord_Class& record) const {
    const db_Features* other = Cast(&record);
    if (!QZ_ASSERT_TEXT(other, "this->GetType() == rhs.GetType ()")) return false;
    return Features.IsEqual(other->Features);
}
