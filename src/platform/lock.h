// Critical sections: a lock that the thread holding it may enter again, as the
// original platform's critical sections allow. Enter and Leave must pair up.
#pragma once

#include <mutex>

class platform_CriticalSection {
public:
    platform_CriticalSection() = default;
    platform_CriticalSection(const platform_CriticalSection&) = delete;
    platform_CriticalSection& operator=(const platform_CriticalSection&) = delete;

    void Enter() { _Mutex.lock(); }
    void Leave() { _Mutex.unlock(); }

private:
    std::recursive_mutex _Mutex;
};

// Holds a critical section for one scope.
class platform_Hold {
public:
    explicit platform_Hold(platform_CriticalSection& section) : _Section(section) { _Section.Enter(); }
    ~platform_Hold() { _Section.Leave(); }
    platform_Hold(const platform_Hold&) = delete;
    platform_Hold& operator=(const platform_Hold&) = delete;

private:
    platform_CriticalSection& _Section;
};
