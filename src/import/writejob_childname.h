// A child name as given, a literal or a Str, taken without a copy: readers run for
// every field of every record.
#pragma once

#include <cstddef>
#include <string_view>

#include "foundation/text/str.h"

struct writejob_ChildName {
    // Measured inline, so that a literal name costs no strlen per lookup.
    writejob_ChildName(const char* childName) : name(childName), length(std::char_traits<char>::length(childName)) {}
    writejob_ChildName(const Str& childName) : name(childName.Data()), length(static_cast<size_t>(childName.Length())) {}
    const char* name;
    std::size_t length;
    std::string_view View() const { return {name, length}; }
};
