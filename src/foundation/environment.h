// The process-wide service object through which portable code reaches its host:
// two questions about threads, and the sink for warnings, failed system calls and
// failed consistency checks. A failed check is reported and execution goes on.
#pragma once

#include <cstdint>

class dbRecord_Class;

class Environment {
public:
    constexpr Environment() = default;

    // The order of these operations is part of the interface.
    virtual bool IsThreadSafe();
    virtual int32_t GetCurrentThread();
    virtual int32_t QueryInteger();
    virtual void Yield();
    virtual void Warning(const char* message);
    // Told of the target record (db_Target) that the job has just stored because it changed.
    virtual void FeaturesAdded(const dbRecord_Class* record);
    virtual void SystemError(const char* file, int32_t line, uint32_t code, const char* name);
    virtual void AssertionFailed(const char* expression, const char* file, int32_t line);

    // Never null; the built-in instance until a host installs another.
    static Environment* Get();
    // The previous instance is neither deleted nor returned.
    static void Set(Environment* environment);

    // Trivial: the built-in instance has no destructor to run at unload.
    ~Environment() = default;
};

// Reports a failed check and tells the caller whether the condition held, so a guarded
// operation can bail out after the report: `if (!QZ_ASSERT(i >= 0)) return;`.
inline bool qz_Check(bool held, const char* expression, const char* module, int line) {
    if (!held) Environment::Get()->AssertionFailed(expression, module, line);
    return held;
}

// Every source file that checks names its module once: `constexpr const char* kModule = "str";`
// Reports carry that name, not the file's path in this tree.
#define QZ_ASSERT(cond) qz_Check(static_cast<bool>(cond), #cond, kModule, __LINE__)
// For a check whose reported text differs from the code that evaluates it.
#define QZ_ASSERT_TEXT(cond, text) qz_Check(static_cast<bool>(cond), text, kModule, __LINE__)
// An unconditional report, such as "!\"Bad action\"".
#define QZ_FAIL(text) qz_Check(false, text, kModule, __LINE__)
