// What the harnesses share: a broken contract aborts with its reason, and each run
// works in a folder of its own.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fuzz {

[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "contract broken: %s\n", what);
    std::abort();
}

// "<name>-<pid>" on tmpfs when there is one (a job's device flush is then cheap), made
// on first use.
inline std::filesystem::path MakeFolder(const char* name) {
    namespace fs = std::filesystem;
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path made = base / (std::string(name) + "-" + std::to_string(getpid()));
    fs::create_directories(made);
    return made;
}

}  // namespace fuzz
