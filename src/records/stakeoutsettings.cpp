#include "records/stakeoutsettings.h"

#include "foundation/environment.h"

namespace {
constexpr const char* kModule = dbRecord_Module;
}  // namespace

void dbRecord_MarkerReportEqual() { QZ_FAIL("0"); }
