#include "foundation/kernel/stamped.h"

#include <cstdint>

#include "foundation/kernel/clock.h"
#include "foundation/kernel/maths.h"

namespace {

constexpr double kRecentSeconds = 5.0;

// Plain values, constant-initialised: nothing to build at load or destroy at unload.
constinit int32_t value = 0;
constinit double stamp = MATHS_Null;

}  // namespace

void stamped_Set(int newValue) {
    value = newValue;
    stamp = clock_GetMonotonicSeconds();
}

int stamped_Get() { return value; }

int stamped_GetRecent(bool force) {
    if (force || clock_TimerElapsed(stamp) <= kRecentSeconds) return value;
    return 0;
}
