// The largest single heap block asked for while a watch is active. The sanitizer build
// reports every allocation through its hooks; in a build without them nothing is seen
// and Available() is false, so a bound is checked wherever the test command runs it.
#pragma once

#include <atomic>
#include <cstddef>

extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*, size_t),
                                                          void (*freeHook)(const volatile void*))
    __attribute__((weak));

class AllocationWatch {
public:
    AllocationWatch() {
        Install();
        Largest().store(0);
        Active().store(true);
    }
    ~AllocationWatch() { Active().store(false); }
    AllocationWatch(const AllocationWatch&) = delete;
    AllocationWatch& operator=(const AllocationWatch&) = delete;

    static bool Available() { return Install(); }
    // The largest block since the watch began (or since the last Reset).
    size_t LargestBlock() const { return Largest().load(); }
    void Reset() { Largest().store(0); }

private:
    static std::atomic<size_t>& Largest() {
        static std::atomic<size_t> largest{0};
        return largest;
    }
    static std::atomic<bool>& Active() {
        static std::atomic<bool> active{false};
        return active;
    }
    static void OnMalloc(const volatile void*, size_t size) {
        if (!Active().load(std::memory_order_relaxed)) return;
        size_t seen = Largest().load(std::memory_order_relaxed);
        while (size > seen && !Largest().compare_exchange_weak(seen, size)) {
        }
    }
    static void OnFree(const volatile void*) {}
    static bool Install() {
        static const bool installed =
            __sanitizer_install_malloc_and_free_hooks && __sanitizer_install_malloc_and_free_hooks(&OnMalloc, &OnFree);
        return installed;
    }
};
