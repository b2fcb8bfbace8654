#include "records/editactions.h"

bool db_Features::IsEqual(const dbRecord_Class& record) const {
    if (!IsSameType(record, "this->GetType() == rhs.GetType ()")) return false;
    return Features.IsEqual(static_cast<const db_Features&>(record).Features);
}
