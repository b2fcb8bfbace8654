// The child readers, the XML ID parser and the scanners of the job writer.
#include <cstdio>

#include "foundation/environment.h"
#include "foundation/kernel/maths.h"
#include "foundation/text/number.h"
#include "foundation/xml/element.h"
#include "import/writejob.h"
#include "records/dbRecord.h"
#include "vocabulary/dbField.h"

namespace {

constexpr const char* kModule = "converter/writejob";

// The first child of that name, or null; names compare byte for byte.
const xml_Element* Child(const xml_Element* element, writejob_ChildName childName) {
    return element->FindChild(childName.View());
}

const Str emptyText;

// The child's text in place: an absent child reads as the empty text.
const Str& ChildText(const xml_Element* element, writejob_ChildName childName) {
    const xml_Element* child = Child(element, childName);
    return child ? child->text : emptyText;
}

// Equality as strcmp gives it, inline: notes are looked for among every record's children.
bool SameText(const Str& text, const char* other) {
    for (const char* a = text.Data(); *a == *other; ++a, ++other)
        if (*a == 0) return true;
    return false;
}

bool StartsWithHexPrefix(const Str& text) { return text.Length() >= 2 && text[0] == '0' && text[1] == 'x'; }

bool ParseBool(const Str& text, writejob_ChildName childName) {
    // Compared in place; the lower-cased copy is only wanted for the refusal.
    if (string_CompareInsensitive(text.Data(), "true") == 0) return true;
    if (string_CompareInsensitive(text.Data(), "false") == 0) return false;
    Str lower = text;
    lower.MakeLower();
    if (lower == "true") return true;
    if (lower == "false") return false;
    throw dbField_InvalidValueMessage("bool", Str(childName.name), lower);
}

uint32_t ParseRecordId(const Str& text, const char* name) {
    if (!StartsWithHexPrefix(text))
        throw dbField_InvalidValueMessage("hex number (missing 0x prefix)", name, text);
    uint32_t value = 0;
    for (int i = 2; i < text.Length(); ++i) {
        int digit = writejob_HexDigitValue(text.Data()[i]);
        if (digit < 0) throw dbField_InvalidValueMessage("hex number", name, text);
        value = value * 16u + static_cast<uint32_t>(digit);  // wraps above eight digits
    }
    return value;
}

}  // namespace

void writejob_ReadTimeStamp(const xml_Element* element, dbRecord_Class* record) {
    const xml_Attribute* stamp = element->FindAttribute("TimeStamp");
    record->SetTimeStamp(writejob_TextToDouble(stamp ? stamp->value : emptyText));
}

void writejob_ThrowTextTooLong(const char* what, int64_t length) {
    throw Str(what) + " of " + writejob_Format("%u", static_cast<uint32_t>(length)) +
        " bytes, more than a job record can hold";
}

void writejob_CheckNotesLength(int64_t length) { writejob_CheckTextLength("notes", length); }

Str writejob_ReadNotes(const xml_Element* element, const char* tagName) {
    Str notes;
    if (!QZ_ASSERT(tagName)) return notes;
    // Measured first, from the first note on: most records have none.
    const xml_Element* first = element->firstChild;
    while (first && !SameText(first->name, tagName)) first = first->nextSibling;
    if (!first) return notes;
    int64_t length = 0;
    for (const xml_Element* child = first; child; child = child->nextSibling)
        if (SameText(child->name, tagName)) length += child->text.Length() + 2;
    writejob_CheckNotesLength(length);
    for (const xml_Element* child = first; child; child = child->nextSibling) {
        if (!SameText(child->name, tagName)) continue;
        notes += child->text;
        notes += "\r\n";
    }
    return notes;
}

double writejob_ReadDouble(const xml_Element* element, writejob_ChildName childName) {
    return writejob_TextToDouble(ChildText(element, childName));
}

double writejob_ReadOptionalDouble(const xml_Element* element, writejob_ChildName childName,
                                   double defaultValue) {
    const xml_Element* child = Child(element, childName);
    return child ? writejob_TextToDouble(child->text) : defaultValue;
}

int32_t writejob_ReadInt(const xml_Element* element, writejob_ChildName childName) {
    return number_Atoi(ChildText(element, childName).Data());
}

int32_t writejob_ReadOptionalInt(const xml_Element* element, writejob_ChildName childName,
                                 int32_t defaultValue) {
    const xml_Element* child = Child(element, childName);
    return child ? number_Atoi(child->text.Data()) : defaultValue;
}

namespace {

int32_t HexOrDecimal(const Str& text, writejob_ChildName childName) {
    if (StartsWithHexPrefix(text)) return static_cast<int32_t>(ParseRecordId(text, childName.name));
    return number_Atoi(text.Data());
}

}  // namespace

int32_t writejob_ReadHexOrDecimal(const xml_Element* element, writejob_ChildName childName) {
    return HexOrDecimal(ChildText(element, childName), childName);
}

int32_t writejob_ReadOptionalHexOrDecimal(const xml_Element* element, writejob_ChildName childName,
                                          int32_t defaultValue) {
    const xml_Element* child = Child(element, childName);
    return child ? HexOrDecimal(child->text, childName) : defaultValue;
}

bool writejob_ReadBool(const xml_Element* element, writejob_ChildName childName) {
    return ParseBool(ChildText(element, childName), childName);
}

bool writejob_ReadOptionalBool(const xml_Element* element, writejob_ChildName childName, bool defaultValue) {
    const xml_Element* child = Child(element, childName);
    return child ? ParseBool(child->text, childName) : defaultValue;
}

namespace {

// The child's text in place, refused before anything copies it when no record could
// hold it.
const Str& StorableText(const xml_Element* element, writejob_ChildName childName) {
    const Str& text = ChildText(element, childName);
    writejob_CheckTextLength(childName.name, text.Length());
    return text;
}

}  // namespace

Str writejob_ReadString(const xml_Element* element, writejob_ChildName childName) {
    return StorableText(element, childName);
}

Str writejob_ReadText(const xml_Element* element, writejob_ChildName childName) {
    return writejob_ReplaceUnitSeparators(StorableText(element, childName));
}

void writejob_ReadDescriptions(const xml_Element* element, writejob_ChildName childName,
                               dbRecordWithFeatures_Class& record) {
    const xml_Element* child = Child(element, childName);
    if (!child) return;
    record.SetDescriptions({writejob_ReadString(child, "Description1"), writejob_ReadString(child, "Description2")});
}

DBID writejob_ReadReference(const xml_Element* element, writejob_ChildName childName) {
    const Str& text = ChildText(element, childName);
    if (text.IsEmpty()) return NODBID;
    return DBID(ParseRecordId(text, childName.name));
}

void writejob_ReadStringList(const xml_Element* element, writejob_ChildName childName, StrArray& texts,
                             StrArray* indexes) {
    const xml_Element* list = Child(element, childName);
    if (!list) return;
    const xml_Element* first = list->FindChild("item");
    // Each text is stored with its zero byte.
    int64_t length = 0;
    int count = 0;
    for (const xml_Element* item = first; item && item->name == "item"; item = item->nextSibling, ++count)
        length += item->text.Length() + 1;
    writejob_CheckTextLength(childName.name, length);
    // Room made once: added one at a time, a long list would be copied over and over.
    texts.Reserve(texts.Count() + count);
    if (indexes) indexes->Reserve(indexes->Count() + count);
    for (const xml_Element* item = first; item && item->name == "item"; item = item->nextSibling) {
        texts.Add(item->text);
        if (indexes) indexes->Add(item->GetAttributeText("index"));
    }
}

int writejob_HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

uint32_t writejob_ParseRecordId(const Str& text, const Str& name) { return ParseRecordId(text, name.Data()); }

uint32_t writejob_ParseRecordId(const Str& text, const char* name) { return ParseRecordId(text, name); }

double writejob_TextToDouble(const Str& text) {
    if (text.IsEmpty()) return MATHS_Null;
    return number_Atof(text.Data());
}

double writejob_ScanDouble(const Str& text) {
    double value;
    if (text.IsEmpty() || number_ScanDouble(text.Data(), &value) == 0) return MATHS_Null;
    return value;
}

uint32_t writejob_ScanUnsigned(const Str& text) {
    uint32_t value;
    return number_ScanUnsigned(text.Data(), &value) ? value : 0u;
}

int32_t writejob_ScanInt(const Str& text) {
    int32_t value;
    return number_ScanInt(text.Data(), &value) ? value : 0;
}

Str writejob_ReplaceUnitSeparators(const Str& text) {
    Str copy = text;
    if (copy.Contains('\x1F')) copy.Replace("\x1F", "\xC2\xB7");
    return copy;
}

namespace {

template <class T>
Str Format(const char* format, T value) {
    char buffer[1000];
    int length = std::snprintf(buffer, sizeof buffer, format, value);
    if (length < 0) return Str();
    QZ_ASSERT(length < 1000);
    return Str(buffer);
}

}  // namespace

Str writejob_Format(const char* format, int value) { return Format(format, value); }
Str writejob_Format(const char* format, uint32_t value) { return Format(format, value); }

int32_t writejob_LoadOptional(const dbField_Enum& type, const xml_Element* element,
                              writejob_ChildName childName, int32_t defaultValue) {
    return Child(element, childName) ? dbField_Load(type, element, childName.name) : defaultValue;
}

#define WRITEJOB_DEFINE_OPTIONAL_LOADER(type)                                                \
    int32_t load_optional_##type(const xml_Element* element, writejob_ChildName childName,           \
                                 int32_t defaultValue) {                                     \
        return writejob_LoadOptional(dbField_##type, element, childName, defaultValue);     \
    }
WRITEJOB_OPTIONAL_ENUMERATIONS(WRITEJOB_DEFINE_OPTIONAL_LOADER)
#undef WRITEJOB_DEFINE_OPTIONAL_LOADER
