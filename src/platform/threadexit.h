// A cleanup that runs for each thread that asked for it when that thread ends.
//
// A thread_local object with a destructor would do the same, but the C++ runtime then
// keeps the library loaded until every thread that touched the object has ended, so a
// host's unload would leave the library, and all its process-wide state, in place.
// Here nothing holds the library: destroying the cleanup at unload runs it for the
// unloading thread and drops it for every other.
#pragma once

#include <pthread.h>

class platform_ThreadCleanup {
public:
    explicit platform_ThreadCleanup(void (*cleanup)());
    ~platform_ThreadCleanup();
    platform_ThreadCleanup(const platform_ThreadCleanup&) = delete;
    platform_ThreadCleanup& operator=(const platform_ThreadCleanup&) = delete;

    // The calling thread's cleanup runs when it ends; asking again changes nothing.
    void Arm();

private:
    static void Run(void* self);

    void (*_Cleanup)();
    pthread_key_t _Key{};
    bool _HasKey = false;
};
