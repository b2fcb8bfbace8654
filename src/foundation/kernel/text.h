// Bounded copies, comparisons, case changes and searches on zero-terminated 8-bit
// text. "size" and "width" count bytes including the terminator. Case changes act on
// ASCII letters only.
#pragma once

#include <cstdint>

class Str;

// Copies src into dst, which must hold strlen(src) + 1 bytes; a longer text is
// reported and cut to size - 1 bytes.
void text_Copy(char* dst, const char* src, uint16_t size);
// Size 0 does nothing; otherwise dst[size - 1] is 0 and at most size - 1 bytes of src
// are copied, the rest of them zero-filled.
void text_CopyBounded(char* dst, const char* src, int size);
void text_AppendBounded(char* buffer, const char* src, int bufferSize);
int text_Length(const char* text);
int text_Compare(const char* a, const char* b);
bool text_IsEqual(const char* a, const char* b);
bool text_IsEqualN(const char* a, const char* b, int n);
int text_CompareInsensitive(const char* s1, const char* s2);
bool text_IsEqualInsensitive(const char* a, const char* b);
char text_ToUpper(char c);
char text_ToLower(char c);
void text_MakeUpper(char* text);
void text_MakeLower(char* text);
// Cuts or pads the text with blanks to exactly width - 1 characters.
void text_PadToWidth(char* buffer, int width);
void text_StripTrailingBlanks(char* text);
// The last c, or NULL when absent or when the text is NULL or empty.
const char* text_FindLastChar(const char* text, char c);
const char* text_FindSubString(const char* a, const char* b);
char* text_Append(char* a, const char* b);
char* text_CopyUnchecked(char* dst, const char* src);
// Assigns the text and keeps at most its first n characters.
void text_AssignTruncated(Str& target, const char* text, int n);
void text_AppendToStr(Str& target, const char* text);
