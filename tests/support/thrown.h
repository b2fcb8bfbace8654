// What a call throws, for tests of the Str messages the library throws.
#pragma once

#include <functional>
#include <string>

#include "foundation/text/str.h"

// The message a call throws, or "" when it returns.
inline std::string Thrown(const std::function<void()>& call) {
    try {
        call();
    } catch (const Str& message) {
        return message.Data();
    }
    return "";
}

// The text of a refused vocabulary or reader value.
inline std::string Invalid(const char* label, const char* name, const char* text) {
    return std::string("Invalid ") + label + " name=\"" + name + "\" with value=\"" + text + "\"";
}
