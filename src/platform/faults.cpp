#include "platform/faults.h"

#include <atomic>

#include "platform/error.h"

namespace {

struct Armed {
    platform_FaultCall call = PLATFORM_FaultWrite;
    int n = 0;
    uint32_t code = 0;
};

// Set before the calls it counts start; the counting may run on several threads at once.
std::atomic<bool> armed{false};
Armed fault;
std::atomic<int> calls{0};
std::atomic<bool> fired{false};

}  // namespace

void platform_ArmFault(platform_FaultCall call, int n, uint32_t code) {
    fault = Armed{call, n, code};
    calls.store(0);
    fired.store(false);
    armed.store(true, std::memory_order_release);
}

void platform_DisarmFaults() { armed.store(false); }

int platform_FaultCallCount(platform_FaultCall call) { return fault.call == call ? calls.load() : 0; }

bool platform_FaultFired() { return fired.load(); }

bool platform_InjectFault(platform_FaultCall call) {
    if (!armed.load(std::memory_order_acquire) || call != fault.call) return false;
    if (calls.fetch_add(1, std::memory_order_relaxed) + 1 != fault.n) return false;
    fired.store(true);
    platform_Fail(fault.code);
    return true;
}
