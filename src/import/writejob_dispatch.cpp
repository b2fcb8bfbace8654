// The dispatcher: every element after the job header goes to WriteElement, which picks
// the handler of its name; and the "rec" check every record handler makes.
#include <string_view>

#include "foundation/environment.h"
#include "foundation/xml/element.h"
#include "import/writejob.h"

namespace {

constexpr const char* kModule = "converter/writejob";

}  // namespace

void writejob_CheckRecAttribute(const xml_Element* element, const char* recName) {
    const xml_Attribute* rec = element->FindAttribute("rec");
    if (!rec) {
        Str message("missing rec=\"");
        message += recName;
        message += "\"";
        throw message;
    }
    if (rec->value == recName) return;
    Str message("wrong rec sttribute: ");
    message += rec->value;
    message += " instead of ";
    message += recName;
    throw message;
}

void JobWriter::WriteElement(const xml_Element* element) { WriteElement(element, writejob_ElementTable()); }

void JobWriter::WriteElement(const xml_Element* element, std::span<const writejob_ElementHandler> table) {
    if (!QZ_ASSERT_TEXT(database && element, "control.database && element")) return;
    // Road definitions run on across end-entity and note elements only.
    const std::string_view name(element->name.Data(), static_cast<size_t>(element->name.Length()));
    if (name != "DATABASE_EndEntityRecord" && name != "DATABASE_NoteRecord") inRoad = false;
    const writejob_ElementHandler* entry = writejob_FindElement(element->name, table);
    if (!entry || !entry->handler) return;
    try {
        entry->handler(*this, element);
    } catch (const Str& caught) {
        Str message("XML read error: \n");
        message += caught;
        message += "\n";
        message += element->name;
        if (const xml_Attribute* id = element->FindAttribute("ID")) {
            message += " ID=\"";
            message += id->value;
            message += "\"";
        }
        throw message;
    }
}

