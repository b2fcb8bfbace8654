#include "foundation/environment.h"

namespace {

// Constant-initialised, so a report made before any dynamic initialiser has run is safe.
constinit Environment builtIn;
constinit Environment* current = &builtIn;

}  // namespace

bool Environment::IsThreadSafe() { return true; }
int32_t Environment::GetCurrentThread() { return 0; }
int32_t Environment::QueryInteger() { return 0; }
void Environment::Yield() {}
void Environment::Warning(const char*) {}
void Environment::FeaturesAdded(const dbRecord_Class*) {}
void Environment::SystemError(const char*, int32_t, uint32_t, const char*) {}
void Environment::AssertionFailed(const char*, const char*, int32_t) {}

Environment* Environment::Get() { return current; }

void Environment::Set(Environment* environment) {
    if (environment) current = environment;
}
