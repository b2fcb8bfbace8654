// Command lines: a command word, a blank, comma-separated parameters and an optional
// comment after ';'. Double quotes keep ',' and ';' from splitting the line and are
// removed from both ends of a parameter; '%' escapes the next character, which must
// be ',', ';' or '%'; a parameter that begins with '?' is empty. A line may hold only
// CR, LF and 0x20-0x7F.
//
//     WORD a, b ,,c;note   ->   WORD | a | b | "" | c
//
// Also the splitter of plain comma lists (command_SplitList), which knows quotes but
// no escapes.
#pragma once

class Str;
class StrArray;

// Appends the command word and the parameters; true when the line is well formed.
// Fields already added stay when it is not.
bool command_Parse(StrArray& fields, const char* line);
bool command_Parse(StrArray& fields, const Str& line);
// The command line of the fields: "WORD a, b"; "" for no fields.
Str command_Join(const StrArray& fields);
// The command word must be alphanumeric; a parameter is escaped in place.
bool command_ValidateField(Str& field, bool isCommandWord);
// '%' before every ';', ',' and '%'.
Str command_EscapeField(const char* text);
// Comma-separated fields of one line; false when it holds a control character other
// than tab, CR and LF, or a field longer than COMMAND_MaxListField.
bool command_SplitList(StrArray& fields, const char* line);
constexpr int COMMAND_MaxListField = 259;

// The steps of command_Parse.
bool command_IsAlphanumeric(const Str& text);
bool command_IsPrintable(const Str& text);
// Removes one leading ','; true when there was one.
bool command_SkipComma(Str& rest);
bool command_TakeCommandWord(StrArray& fields, Str& line);
bool command_ValidateLine(Str& line);
// The index of the first terminator that is neither quoted nor escaped (or of the line
// end or the text end); false when an escape is broken.
bool command_FindTerminator(const Str& text, int& position, char terminator);
bool command_TakeField(StrArray& fields, Str& rest);
bool command_DecodeEscapes(Str& field);
