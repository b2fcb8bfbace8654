// Reading and writing the fields the horizontal elements share in a road file: keying
// methods and directions by name, points as "North" and "East".
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/coords/coord.h"
#include "foundation/text/str.h"
#include "foundation/xml/xmlindex.h"
#include "foundation/xml/xmlout.h"

namespace road_io {

// The name of a value in a table of names; empty outside it.
template <size_t N>
Str Name(const char* const (&names)[N], int32_t value) {
    return value >= 0 && static_cast<size_t>(value) < N ? Str(names[value]) : Str();
}

// The exact name sets the value; any other text leaves it as it was.
template <size_t N>
void SetFromName(const char* const (&names)[N], const Str& text, int32_t* value) {
    for (size_t i = 0; i < N; ++i)
        if (text == names[i]) *value = static_cast<int32_t>(i);
}

template <size_t N>
void ReadMethod(const char* const (&names)[N], const xml_Node* node, int32_t* method) {
    SetFromName(names, node->GetValueByPath("KeyinMethod"), method);
}

inline xmlout_element* Child(const char* name, const Str& value) { return new xmlout_element(name, value); }

inline void ReadPoint(const xml_Node* node, const char* name, coord_CorrectedGrid* point) {
    const Str path(name);
    point->East = node->GetDoubleByPath((path + "/East").Data(), MATHS_Null);
    point->North = node->GetDoubleByPath((path + "/North").Data(), MATHS_Null);
}

// "Right" turns clockwise; other texts change nothing.
inline const char* DirectionName(bool right) { return right ? "Right" : "Left"; }
inline void SetDirectionFromName(const Str& text, bool* right) {
    if (text == "Right") *right = true;
    if (text == "Left") *right = false;
}

}  // namespace road_io
