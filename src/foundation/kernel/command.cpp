#include "foundation/kernel/command.h"

#include "foundation/environment.h"
#include "foundation/text/str.h"

namespace {

constexpr const char* kModule = "Kernel/command";

bool IsEscapable(char c) { return c == ',' || c == ';' || c == '%'; }

}  // namespace

bool command_IsAlphanumeric(const Str& text) {
    for (int i = 0; i < text.Length(); ++i) {
        const char c = text.Data()[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

bool command_IsPrintable(const Str& text) {
    for (int i = 0; i < text.Length(); ++i) {
        const auto c = static_cast<unsigned char>(text.Data()[i]);
        if (c != '\r' && c != '\n' && (c < 0x20 || c > 0x7F)) return false;
    }
    return true;
}

bool command_SkipComma(Str& rest) {
    if (rest.Length() == 0 || rest.Data()[0] != ',') return false;
    rest.Delete(0, 1);
    return true;
}

bool command_FindTerminator(const Str& text, int& position, char terminator) {
    position = 0;
    bool inQuotes = false;
    bool escape = false;
    bool good = true;
    const char* p = text.Data();
    for (int i = 0; i < text.Length(); ++i) {
        const char c = p[i];
        if (c == '"') {
            if (!inQuotes) {
                inQuotes = true;
                continue;
            }
            inQuotes = false;  // the closing quote goes on as an ordinary character
        }
        if (c == '\r' || c == '\n') {
            position = i;
            return escape ? false : good;
        }
        if (escape) {
            // Anything but an escapable character breaks the escape, which stays open.
            if (IsEscapable(c))
                escape = false;
            else
                good = false;
            continue;
        }
        if (c == '%') {
            escape = true;
            continue;
        }
        if (c == terminator && !inQuotes) {
            position = i;
            return good;
        }
    }
    position = text.Length();
    return good;
}

bool command_ValidateLine(Str& line) {
    line.Strip(' ');
    if (line.Length() == 0) return true;
    if (!command_IsPrintable(line)) return false;
    int comment;
    if (!command_FindTerminator(line, comment, ';')) return false;
    line.Truncate(comment);
    line.StripTrailing(' ');
    return true;
}

bool command_TakeCommandWord(StrArray& fields, Str& line) {
    if (line.Length() == 0) {
        fields.Add(Str());
        return true;
    }
    line.StripLeading(' ');
    const int blank = line.FindChar(' ');
    if (line.FindChar(',') < blank) return false;
    const Str word = line.Left(blank);
    line.Delete(0, blank);
    fields.Add(word);
    return command_IsAlphanumeric(word);
}

bool command_DecodeEscapes(Str& field) {
    bool good = true;
    bool escape = false;
    for (int i = 0; i < field.Length();) {
        const char c = field.Data()[i];
        if (escape) {
            escape = false;
            if (IsEscapable(c)) {
                field.Delete(i - 1, 1);  // reading goes on after the escaped character
                continue;
            }
            good = false;
        } else if (c == '%') {
            escape = true;
        } else if (c == ',' || c == ';') {
            good = false;  // unescaped, even inside quotes
        }
        ++i;
    }
    return good && !escape;
}

bool command_TakeField(StrArray& fields, Str& rest) {
    rest.StripLeading(' ');
    int end;
    const bool found = command_FindTerminator(rest, end, ',');
    Str field = rest.Left(end);
    rest.Delete(0, end);  // the comma stays at the front of the rest
    field.StripTrailing(' ');
    bool decoded = true;
    if (field.Length() > 0) {
        decoded = command_DecodeEscapes(field);
        field.Strip('"');
        if (field.Length() > 0 && field.Data()[0] == '?') field = Str();
    }
    fields.Add(field);
    return found && decoded;
}

bool command_Parse(StrArray& fields, const char* line) {
    Str text(line);
    if (!command_ValidateLine(text)) return false;
    if (!command_TakeCommandWord(fields, text)) return false;
    while (text.Length() > 0) {
        if (!command_TakeField(fields, text)) return false;
        // A trailing comma announces an empty last parameter.
        if (command_SkipComma(text) && text.Length() == 0) fields.Add(Str());
    }
    return true;
}

bool command_Parse(StrArray& fields, const Str& line) { return command_Parse(fields, line.Data()); }

Str command_EscapeField(const char* text) {
    Str out;
    if (!text) return out;
    for (; *text; ++text) {
        if (IsEscapable(*text)) out += '%';
        out += *text;
    }
    return out;
}

bool command_ValidateField(Str& field, bool isCommandWord) {
    if (isCommandWord) return command_IsAlphanumeric(field);
    field = command_EscapeField(field.Data());
    return true;
}

Str command_Join(const StrArray& fields) {
    Str line;
    const int count = fields.Count();
    for (int n = 0; n < count; ++n) {
        Str tmp = fields[n];
        tmp.Strip(' ');
        QZ_ASSERT_TEXT(command_ValidateField(tmp, n == 0), "command_ValidateField (tmp, n == 0)");
        line += tmp;
        if (n + 1 < count) line += n == 0 ? " " : ", ";
    }
    return line;
}

bool command_SplitList(StrArray& fields, const char* line) {
    char field[COMMAND_MaxListField + 1];
    int length = 0;
    int mark = 0;  // trailing blanks before it belong to the field (they were quoted)
    bool inQuotes = false;
    for (const char* p = line ? line : "";; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c == 0 || c == '\r' || c == '\n') {
            if (length > 0) fields.Add(Str(field, length));
            return true;
        }
        if (c == '"') {
            inQuotes = !inQuotes;
            mark = length;
            continue;
        }
        if (c == ',' && !inQuotes) {
            while (length > mark && (field[length - 1] == ' ' || field[length - 1] == '\t')) --length;
            fields.Add(Str(field, length));
            length = 0;
            mark = 0;
            continue;
        }
        if (c == ' ' || c == '\t') {
            if (!inQuotes && length == 0) continue;  // leading blanks are dropped
        } else if (c < 0x20) {
            return false;
        }
        if (length == COMMAND_MaxListField) return false;
        field[length++] = static_cast<char>(c);
    }
}
