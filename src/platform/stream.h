// C runtime streams opened by UTF-8 path name. Paths may use "\" or "/" as separator;
// "\" becomes "/" before the system sees the name.
#pragma once

#include <cstdio>

// Null when the file cannot be opened. Read modes share the file with other openers and
// open regular files only, without blocking on a FIFO.
std::FILE* platform_OpenStream(const char* path, const char* mode);
