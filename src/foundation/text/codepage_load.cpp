// Loading a code-page mapping file. Each non-empty line holds at least two
// comma-separated hexadecimal fields, "0x" first: the code, then its UTF-16 value,
//
//     0x80,0x20AC
//     0x8140,0x3000
//
// Reading stops at the first line that is not such a mapping (or at the end); the
// mappings before it stay. A later line for the same code or value wins.
#include "foundation/files/file.h"
#include "foundation/files/filesearch.h"
#include "foundation/files/path.h"
#include "foundation/kernel/command.h"
#include "foundation/text/codepage.h"

namespace {

constexpr int kLineSize = 256;

bool ReadMapping(file_Class& file, uint16_t& code, uint16_t& unicode) {
    char line[kLineSize];
    do {
        if (!file.ReadLine(line, kLineSize)) return false;
    } while (line[0] == 0);
    StrArray fields;
    if (!command_SplitList(fields, line) || fields.Count() < 2) return false;
    code = codepage_ParseHex(fields[0].Data());
    unicode = codepage_ParseHex(fields[1].Data());
    return true;
}

}  // namespace

bool codepage_Table::Load() {
    Reset();
    Str folder = path_CombineAndExpand("$(LocaleRootDir)", "$(Language)");
    Str found = filesys_FindFirstFile(path_Combine(folder, "cp*.txt"));
    if (found.IsEmpty()) return false;
    file_Class file(found);
    if (!file.Open(file_Class::ModeRead)) return false;
    uint16_t code = 0;
    uint16_t unicode = 0;
    while (ReadMapping(file, code, unicode)) AddMapping(code, unicode);
    ComputeLeadBytes();
    file.Close();
    return true;
}
