// Injected failures of file calls, for tests that walk a failing disk through every call
// of an operation. Nothing in the library arms them; while none is armed each call costs
// one load. Calls may be counted on several threads at once.
//
// A fault is armed for one kind of call: the n-th call of that kind counted from arming
// fails with the given Windows error number (112 disk full, 5 access denied, 29 write
// fault, 30 read fault) before it touches anything, and later calls succeed again.
#pragma once

#include <cstdint>

enum platform_FaultCall : int {
    PLATFORM_FaultWrite,
    PLATFORM_FaultFlush,
    PLATFORM_FaultSeek,
    PLATFORM_FaultTruncate,
    PLATFORM_FaultCreate,
    PLATFORM_FaultRename,
    PLATFORM_FaultCallKinds,
};

// Starts counting calls of that kind; the n-th fails with `code` (n = 0 only counts).
void platform_ArmFault(platform_FaultCall call, int n, uint32_t code);
// Stops counting and failing.
void platform_DisarmFaults();
// Calls of that kind since it was armed.
int platform_FaultCallCount(platform_FaultCall call);
// Whether the armed fault has fired.
bool platform_FaultFired();

// For the file layer: counts the call and answers true when it must fail (the last
// error is then set).
bool platform_InjectFault(platform_FaultCall call);
