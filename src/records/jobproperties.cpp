#include "records/jobproperties.h"

bool db_JobProperties::IsEqual(const dbRecord_Class& record) const {
    const db_JobProperties* other = Cast(&record);
    return other && Fields::Equal(*this, *other);
}
