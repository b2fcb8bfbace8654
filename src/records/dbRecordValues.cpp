#include "records/dbRecordValues.h"

#include "foundation/environment.h"

namespace {
constexpr const char* kModule = dbRecord_Module;
}  // namespace

void dbRecord_ReportNotCompared() { QZ_FAIL("0"); }

void dbRecord_Report(const char* text) { QZ_FAIL(text); }
