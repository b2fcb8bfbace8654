#include "records/precisioncoding.h"

Str db_DescriptionsDefinition::GetLabel(int which) const {
    if (which == 1) return Description1Label;
    if (which == 2) return Description2Label;
    return Str();
}
