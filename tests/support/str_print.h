// Lets GoogleTest print a Str as its text in failure messages.
#pragma once

#include <ostream>

#include "foundation/text/str.h"

inline void PrintTo(const Str& s, std::ostream* os) { *os << '"' << s.Data() << '"'; }
