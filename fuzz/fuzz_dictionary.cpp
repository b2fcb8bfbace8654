// Writes a libFuzzer dictionary of what an export is made of: the record element names
// with their "rec" values, and every enumeration name. Child names come from the
// handlers' sources (scripts/fuzz.sh adds them).
#include <cstdio>
#include <set>
#include <string>

#include "import/writejob.h"
#include "vocabulary/dbField.h"

int main() {
    std::set<std::string> words;
    for (const writejob_ElementHandler& entry : writejob_ElementTable()) {
        words.insert(std::string("<") + entry.name);
        words.insert(std::string("</") + entry.name + ">");
        if (entry.rec) words.insert(std::string("rec=\"") + entry.rec + "\"");
    }
    for (const dbField_CatalogueEntry& entry : dbField_Catalogue)
        for (const dbField_Name& name : entry.type->names) words.insert(name.name);
    for (const std::string& word : words) {
        std::printf("\"");
        for (char c : word) {
            if (c == '"' || c == '\\') std::printf("\\%c", c);
            else std::printf("%c", c);
        }
        std::printf("\"\n");
    }
    return 0;
}
