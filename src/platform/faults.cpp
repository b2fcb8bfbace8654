#include "platform/faults.h"

#include <atomic>

#include "platform/error.h"

namespace {

struct Armed {
    platform_FaultCall call = PLATFORM_FaultWrite;
    int n = 0;
    uint32_t code = 0;
    int calls = 0;
    bool fired = false;
};

std::atomic<bool> armed{false};
Armed fault;

}  // namespace

void platform_ArmFault(platform_FaultCall call, int n, uint32_t code) {
    fault = Armed{call, n, code, 0, false};
    armed.store(true);
}

void platform_DisarmFaults() { armed.store(false); }

int platform_FaultCallCount(platform_FaultCall call) { return fault.call == call ? fault.calls : 0; }

bool platform_FaultFired() { return fault.fired; }

bool platform_InjectFault(platform_FaultCall call) {
    if (!armed.load(std::memory_order_relaxed) || call != fault.call) return false;
    if (++fault.calls != fault.n) return false;
    fault.fired = true;
    platform_Fail(fault.code);
    return true;
}
