// The system code page of 8-bit text (paths handed to the exports, text of older
// files): UTF-8 when the bytes are valid UTF-8, otherwise Windows-1252. The choice is
// made per conversion, from the bytes being converted.
#pragma once

#include <cstdint>

// The code page number that means "the system code page" (the only one accepted).
constexpr uint32_t PLATFORM_CodePageSystem = 0;

// Stand-in for MultiByteToWideChar: converts `length` bytes of text (-1: up to and
// including the terminator) into UTF-16. With capacity 0 it only returns the number of
// code units needed. Returns the number of code units written, or 0 on failure with
// the last error set: 87 for bad arguments or an unknown code page, 122 when the
// output does not fit (nothing useful is left in it then).
int platform_MultiByteToWideChar(uint32_t codePage, const char* text, int length, char16_t* out,
                                 int capacity);

// The UTF-16 unit of one Windows-1252 byte; the five bytes that code page leaves
// undefined keep their own value, as the Windows conversion does.
char16_t platform_Windows1252ToUnicode(unsigned char byte);
