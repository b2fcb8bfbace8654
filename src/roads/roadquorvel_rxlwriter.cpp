#include "roads/roadquorvel_rxlwriter.h"

#include <string>

#include "foundation/environment.h"
#include "foundation/files/file.h"
#include "foundation/xml/format.h"
#include "foundation/xml/xmlout.h"
#include "platform/file.h"
#include "roads/roadquorvel_road.h"

namespace {
constexpr const char* kModule = "RoadQuorvel";
constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
constexpr const char* kTemporarySuffix = ".tmp";
// How many names "<file>.tmp", "<file>.1.tmp", ... a write tries for its temporary.
constexpr int kTemporaryNames = 100;
}  // namespace

const Str& RXL_XsiNamespace() {
    static const Str text("http://www.w3.org/2001/XMLSchema-instance");
    return text;
}

const Str& RXL_SchemaLocation() {
    static const Str text(
        "https://schemas.quorvel.invalid/road/5.2 https://schemas.quorvel.invalid/road/5.2/QuorvelRoad.xsd");
    return text;
}

RxlWriter::~RxlWriter() {
    Discard();
    delete tree;
}

bool RxlWriter::Open(const Str& path) {
    Discard();
    target = file_Class(path).GetFullPath();
    platform_FileInfo info;
    if (platform_GetFileInfo(target.Data(), &info) && info.readOnly) return false;
    // The temporary takes a name that nothing has yet, created exclusively: a file of
    // that name, whoever left it, is never ours to replace or delete.
    for (int n = 0; n < kTemporaryNames; ++n) {
        temporary = target;
        if (n > 0) {
            temporary += '.';
            temporary += string_FromInt(n);
        }
        temporary += kTemporarySuffix;
        if (platform_GetFileInfo(temporary.Data(), &info)) continue;
        file = new file_Class;
        if (file->Create(temporary)) return true;
        const uint32_t error = file->GetLastSystemError();
        delete file;
        file = nullptr;
        // Only a name taken meanwhile (or a link to nothing) is worth another try.
        if (error != PLATFORM_ErrorFileExists) break;
    }
    return false;
}

void RxlWriter::BuildTree() {
    delete tree;
    tree = new xmlout_element("QuorvelRoad");
    tree->AddAttribute("version", GetVersion());
    tree->AddAttribute("product", GetProduct());
    tree->AddAttribute("productVersion", GetProductVersion());
    tree->AddAttribute("xmlns:xsi", RXL_XsiNamespace());
    tree->AddAttribute("xsi:schemaLocation", RXL_SchemaLocation());
    tree->AddChild(new xmlout_element("Name", road.GetName()));
    const Str code = road.GetCode();
    if (!code.IsEmpty()) tree->AddChild(new xmlout_element("Code", code));
    tree->AddChild(new xmlout_element("StationInterval", xml_FormatDouble(road.StationInterval)));
    tree->AddChild(road.HorizontalAlignment.WriteXml());
    tree->AddChild(road.HorizontalAlignmentPIs.WriteXml());
    tree->AddChild(road.VerticalAlignment.WriteXml());
    tree->AddChild(road.TemplatePositioning.WriteXml());
    tree->AddChild(road.Supers.WriteXml());
    tree->AddChild(road.StationEquations.WriteXml());
    for (int32_t i = 0; i < road.Templates.Count(); ++i) tree->AddChild(road.Templates.At(i)->WriteXml());
}

bool RxlWriter::Write() {
    if (!tree || !file) return false;
    std::string buffer(kDeclaration);
    xmlout_WriteElement(tree, file, true, 0, buffer);
    xmlout_FlushBuffer(file, buffer);
    // The file layer keeps the error of any write that failed, and reports it.
    return file->GetLastSystemError() == 0;
}

bool RxlWriter::WriteFile(const Str& path) {
    if (!Open(path)) return false;
    BuildTree();
    bool written = Write();
    written = file->Close() && written;
    if (written && !platform_ReplaceFile(temporary.Data(), target.Data())) {
        Environment::Get()->SystemError(kModule, __LINE__, platform_GetLastError(), target.Data());
        written = false;
    }
    if (written) {
        delete file;
        file = nullptr;
        return true;
    }
    Discard();
    return false;
}

void RxlWriter::Discard() {
    if (!file) return;
    file->Close();
    delete file;
    file = nullptr;
    platform_DeleteFile(temporary.Data());
}
