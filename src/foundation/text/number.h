// The one scanner of numbers in text. It reads numbers as the C runtime's strtod,
// strtol, strtoul, atof, atoi and sscanf read them in the "C" locale, whatever locale
// the host has set: the decimal point is always ".", and a comma ends a number.
//
// Every scan skips leading white space (blank, tab, line feed, vertical tab, form
// feed, carriage return), takes one optional "+" or "-", then the longest prefix that
// forms a number, and ignores what follows ("12abc" is 12, "1,5" is 1). It returns the
// count of bytes read, white space and sign included; 0 when no number was read, and
// the value is then 0.
//
// Doubles: decimal numbers with an optional exponent, hexadecimal numbers ("0x1.8p3";
// "0x" with no hexadecimal digit after it reads as the number 0), "inf", "infinity"
// and "nan" in any letter case. Too large a magnitude gives an infinity, too small
// a zero (or a subnormal number), with the sign kept.
//
// Integers: decimal digits only. The 32-bit signed scan clamps to INT32_MIN and
// INT32_MAX, as a 32-bit long does. The unsigned scan negates in unsigned arithmetic,
// so "-1" reads as 4294967295, and clamps a magnitude above 4294967295 to that value.
// The 64-bit signed scan clamps to INT64_MIN and INT64_MAX.
#pragma once

#include <cstdint>

int number_ScanDouble(const char* text, double* value);
int number_ScanInt(const char* text, int32_t* value);
int number_ScanUnsigned(const char* text, uint32_t* value);
int number_ScanInt64(const char* text, int64_t* value);

// atof and atoi: the scans above without the count; 0 when no number is read.
double number_Atof(const char* text);
int32_t number_Atoi(const char* text);
