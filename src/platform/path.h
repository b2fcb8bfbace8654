// Paths reach the platform as UTF-8 bytes in the system's own form, which separates
// with '\'; the host separates with '/'. Every platform call converts here.
#pragma once

#include <string>

// The path with every '\' turned into '/'; a null path gives "".
std::string platform_HostPath(const char* path);
