// The generic loader and writer over the vocabulary tables, the flag sets, the
// derivation code and the two small helpers that stand beside the tables.
#include "vocabulary/dbField.h"

#include <cstring>
#include <string>

#include "foundation/environment.h"
#include "foundation/xml/element.h"

namespace {
constexpr const char* kModule = "Library/dbField";

// Names compare over the whole text, byte for byte and case-sensitive.
bool IsName(const Str& text, const char* name) { return text == name; }
} // namespace

#define DBFIELD_WRITTEN_ENTRY(type) {&dbField_##type, true},
#define DBFIELD_READ_ONLY_ENTRY(type) {&dbField_##type, false},
namespace {
constexpr dbField_CatalogueEntry kCatalogue[] = {
    DBFIELD_WRITTEN_ENUMERATIONS(DBFIELD_WRITTEN_ENTRY)
    DBFIELD_READ_ONLY_ENUMERATIONS(DBFIELD_READ_ONLY_ENTRY)};
constexpr const dbField_FlagSet* kFlagSets[] = {
    &dbField_dblaser_Features, &dbField_coordsys_ValuesPresent, &dbField_coordsys_CogoSettings};
} // namespace
#undef DBFIELD_WRITTEN_ENTRY
#undef DBFIELD_READ_ONLY_ENTRY

constinit const std::span<const dbField_CatalogueEntry> dbField_Catalogue{kCatalogue};
constinit const std::span<const dbField_FlagSet* const> dbField_FlagSets{kFlagSets};

bool dbField_Enum::Find(const Str& text, int32_t& value) const {
    // A Str holds no zero byte, so comparing lengths first answers as strcmp would.
    const size_t length = static_cast<size_t>(text.Length());
    for (const dbField_Name& entry : names) {
        if (entry.length == length && std::memcmp(entry.name, text.Data(), length) == 0) {
            value = entry.value;
            return true;
        }
    }
    return false;
}

const char* dbField_Enum::PrimaryName(int32_t value) const {
    for (const dbField_Name& entry : names)
        if (entry.value == value) return entry.name;
    return nullptr;
}

Str dbField_InvalidValueMessage(const Str& label, const Str& name, const Str& text) {
    Str message("Invalid ");
    message += label;
    message += " name=\"";
    message += name;
    message += "\" with value=\"";
    message += text;
    message += "\"";
    return message;
}

int32_t dbField_LoadText(const dbField_Enum& type, dbField_ChildName childName, const Str& text) {
    if (type.HasEmptyDefault() && text.Length() == 0) return type.emptyDefault;
    int32_t value;
    if (type.Find(text, value)) return value;
    throw dbField_InvalidValueMessage(type.label, childName.name, text);
}

Str dbField_Save(const dbField_Enum& type, int32_t value) {
    if (const char* name = type.PrimaryName(value)) return Str(name);
    std::string expression = std::string("!\"improper ") + type.label + "\"";
    QZ_FAIL(expression.c_str());
    return Str();
}

Str dbField_CutFirstToken(Str& text) {
    QZ_ASSERT(!text.IsEmpty());
    QZ_ASSERT_TEXT(text.Length() == 0 || text.Data()[0] != ' ', "text[0] != ' '");
    Str token;
    int blank = text.FindChar(' ');
    if (blank >= text.Length()) {
        token = text;
        text = "";
    } else {
        token = text.CutLeft(blank);
        text = text.MidToEnd(1);
    }
    token.Strip(' ');
    text.Strip(' ');
    return token;
}

uint32_t dbField_LoadFlagsText(const dbField_FlagSet& set, const Str& text) {
    uint32_t mask = 0;
    const auto take = [&](const char* token, size_t length) {
        for (const dbField_Flag& flag : set.flags) {
            if (flag.length == length && std::memcmp(flag.name, token, length) == 0) {
                mask |= flag.bit;
                return;
            }
        }
    };
    if (text.Length() > 0 && text.Data()[0] == ' ') {
        // Not a text the reader gives (it strips blanks): cut as ever, with its report.
        Str rest = text;
        while (!rest.IsEmpty()) {
            const Str token = dbField_CutFirstToken(rest);
            take(token.Data(), static_cast<size_t>(token.Length()));
        }
        return mask;
    }
    // The tokens dbField_CutFirstToken would cut, found in place: read once per
    // measurement, so no copies.
    const char* p = text.Data();
    const char* const end = p + text.Length();
    while (p < end) {
        const char* blank = static_cast<const char*>(std::memchr(p, ' ', static_cast<size_t>(end - p)));
        if (!blank) blank = end;
        take(p, static_cast<size_t>(blank - p));
        p = blank;
        while (p < end && *p == ' ') ++p;
    }
    return mask;
}

Str dbField_SaveFlags(const dbField_FlagSet& set, uint32_t mask) {
    Str names;
    for (const dbField_Flag& flag : set.flags) {
        if (flag.bit != 0 && (mask & flag.bit) != 0) {
            names += flag.name;
            names += ' ';
        }
    }
    names.Strip(' ');
    return names;
}

DerivationCode dbField_DerivationFromText(const Str& text) {
    if (text.Length() == 0) return dbField_BlankDerivation;
    if (text.Length() != 2) throw Str("Derivation code is not 2 characters");
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.Data());
    return static_cast<DerivationCode>(bytes[0] | (bytes[1] << 8));
}

Str save_DerivationCode(DerivationCode code) {
    char text[3] = {static_cast<char>(code & 0xFF), static_cast<char>(code >> 8), 0};
    return Str(text);
}

int32_t dbField_ParseTemplateChoice(const Str& text) {
    static constexpr dbField_Name kChoices[] = {
        {"DBROAD_UserDefinedTemplate", 0},
        {"DBROAD_NoTemplate", 1},
        {"DBROAD_InterpolateTemplate", 2},
    };
    for (const dbField_Name& choice : kChoices)
        if (IsName(text, choice.name)) return choice.value;
    return 1;
}

int32_t dbField_CoordOrderPosition(int32_t order, int32_t component) {
    // The place of north and of east for each order; elevation is always last.
    static constexpr int32_t kPlace[4][2] = {
        {0, 1}, // DBCONFIG_NEElev
        {1, 0}, // DBCONFIG_ENElev
        {1, 0}, // DBCONFIG_ENElev_YXZ
        {0, 1}, // DBCONFIG_NEElev_XYZ
    };
    if (component == 3) return 2;
    if ((component == 1 || component == 2) && order >= 0 && order <= 3)
        return kPlace[order][component - 1];
    QZ_FAIL("0");
    return 2;
}

const Str& dbField_ChildText(const xml_Element* element, dbField_ChildName childName,
                             const Str& absent) {
    // A missing parent is a caller's fault; read it as a missing child.
    if (!QZ_ASSERT(element != nullptr)) return absent;
    const xml_Element* child = element->FindChild(childName.View());
    return child ? child->text : absent;
}

int32_t dbField_Load(const dbField_Enum& type, const xml_Element* element, dbField_ChildName childName) {
    return dbField_LoadText(type, childName, dbField_ChildText(element, childName, Str()));
}

int32_t load_dblaser_Features(const xml_Element* element, dbField_ChildName childName) {
    return static_cast<int32_t>(dbField_LoadFlagsText(
        dbField_dblaser_Features, dbField_ChildText(element, childName, Str())));
}

int32_t load_coordsys_ValuesPresent(const xml_Element* element, dbField_ChildName childName) {
    return static_cast<int32_t>(dbField_LoadFlagsText(
        dbField_coordsys_ValuesPresent, dbField_ChildText(element, childName, Str())));
}

coordsys_CogoSettings load_coordsys_CogoSettings(const xml_Element* element, dbField_ChildName childName) {
    return coordsys_CogoSettings(static_cast<int32_t>(dbField_LoadFlagsText(
        dbField_coordsys_CogoSettings, dbField_ChildText(element, childName, Str()))));
}

DerivationCode load_DerivationCode(const xml_Element* element, dbField_ChildName childName) {
    return dbField_DerivationFromText(dbField_ChildText(element, childName, Str()));
}
