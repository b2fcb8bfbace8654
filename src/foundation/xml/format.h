// Values written as XML text: numbers, angles in degrees, grades in percent, flags and
// times, and text escaped for element content and attribute values. The null value
// MATHS_Null gives an empty text. Formatting never depends on the host's locale.
#pragma once

#include "foundation/text/str.h"

// Below 1 in magnitude: fixed with 14 decimals, trailing zeros and point dropped
// (0.5 -> "0.5", 1e-20 -> "0"); otherwise 14 significant digits ("%.14G": 1e14 -> "1E+14").
Str xml_FormatDouble(double x);
// Empty for the integer null -2147483647.
Str xml_FormatInt(int n);
// Radians written as degrees; with wrap, a full turn is written as 0.
Str xml_FormatAngle(double radians, bool wrap);
// A slope angle written as a percentage; vertical is +-99999999.
Str xml_FormatGrade(double angle, bool negate);
Str xml_FormatBool(bool b);
// A local time (seconds since 1980-01-01 00:00) as "yyyy-mm-ddThh:mm:ss".
Str xml_FormatDateTime(double time);

// The text made safe for XML: markup characters as entities, control bytes as "&#x..;"
// references, leading and trailing blanks removed; bytes from 127 up unchanged.
Str xml_Escape(const char* text);
