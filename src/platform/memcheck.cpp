#include "platform/memcheck.h"

// The address sanitizer's interface, bound only when its runtime is in the process:
// weak references stay null otherwise, so one build serves with and without it.
extern "C" {
void __asan_poison_memory_region(void const volatile* addr, std::size_t size) __attribute__((weak));
void __asan_unpoison_memory_region(void const volatile* addr, std::size_t size) __attribute__((weak));
int __asan_address_is_poisoned(void const volatile* addr) __attribute__((weak));
}

void platform_PoisonMemory(const void* ptr, std::size_t size) {
    if (__asan_poison_memory_region) __asan_poison_memory_region(ptr, size);
}

void platform_UnpoisonMemory(const void* ptr, std::size_t size) {
    if (__asan_unpoison_memory_region) __asan_unpoison_memory_region(ptr, size);
}

bool platform_MemoryChecksActive() {
    return __asan_poison_memory_region && __asan_unpoison_memory_region && __asan_address_is_poisoned;
}

bool platform_IsMemoryPoisoned(const void* ptr) {
    return __asan_address_is_poisoned && __asan_address_is_poisoned(ptr) != 0;
}
