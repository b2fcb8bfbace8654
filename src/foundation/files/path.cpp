#include "foundation/files/path.h"

#include <string>

#include "foundation/environment.h"
#include "platform/folders.h"

namespace {

constexpr const char* kModule = "Path";

Str FromHost(const std::string& text) { return Str(text.data(), static_cast<int>(text.size())); }

// The current folder followed by '\', read once per process: later conversions keep
// it even when the host changes its folder. Names are case-sensitive here, so it is
// not lower-cased.
const Str& CurrentDirectory() {
    static const Str value = [] {
        std::string folder;
        platform_GetCurrentDirectory(&folder);
        return FromHost(folder) + "\\";
    }();
    return value;
}

Str MakeAbsolute(const Str& value) { return path_IsAbsolute(value) ? value : CurrentDirectory() + value; }

const Str& ProjectRootDirectory() {
    static const Str value = MakeAbsolute(FromHost(platform_GetDeviceFolder(PLATFORM_DeviceDataFolder)));
    return value;
}

const Str& LocaleRootDirectory() {
    static const Str value = MakeAbsolute("Languages\\");
    return value;
}

const Str& TempDirectory() {
    static const Str value = MakeAbsolute(FromHost(platform_GetTempPath()));
    return value;
}

const Str& EmailDirectory() {
    static const Str value = MakeAbsolute(FromHost(platform_GetDeviceFolder(PLATFORM_DeviceMailFolder)));
    return value;
}

const Str& RomDirectory() {
    static const Str value = MakeAbsolute(FromHost(platform_GetDeviceFolder(PLATFORM_DeviceRomFolder)));
    return value;
}

// Host paths carry no drive, so the root of the current folder's file system is "\".
const Str& FileSystemRootDirectory() {
    static const Str value("\\");
    return value;
}

Str SystemDirectory() {
    std::string exe;
    if (!platform_GetModuleFileName(&exe)) return Str();
    Str path = FromHost(exe);
    return path.Left(path_LastSeparator(path) + 1);
}

Str DocumentsDirectory() {
    std::string folder;
    if (!platform_GetDocumentsFolder(&folder)) return Str();
    Str value = FromHost(folder);
    if (value.Length() >= 2 && value[1] == ':' &&
        ((value[0] >= 'A' && value[0] <= 'Z') || (value[0] >= 'a' && value[0] <= 'z')))
        value.Delete(0, 2);
    return value;
}

}  // namespace

StrArray& PathMacroNames() {
    static StrArray names;
    return names;
}

StrArray& PathMacroValues() {
    static StrArray values;
    return values;
}

bool path_IsSeparator(char c) { return c == '\\' || c == '/'; }

bool path_IsAbsolute(const Str& path) {
    if (path.IsEmpty()) return false;
    if (path_IsSeparator(path.Data()[0])) return true;
    return path.Length() >= 3 && path.Data()[1] == ':' && path_IsSeparator(path.Data()[2]);
}

bool path_IsPlainName(const Str& name) {
    return name.PastTheEnd(name.FindFirstOf("\\/")) && !name.ContainsSubString("..") &&
           !name.ContainsSubString("$(");
}

int path_LastSeparator(const Str& path) {
    for (int i = path.Length() - 1; i >= 0; --i)
        if (path_IsSeparator(path.Data()[i])) return i;
    return -1;
}

Str path_GetDirectory(const Str& path) {
    int last = path_LastSeparator(path);
    if (last <= 0) return Str();
    return path.Left(last);
}

Str path_GetFileName(const Str& path) {
    int last = path_LastSeparator(path);
    if (last < 0 || path.Length() < 2) return path;
    return path.MidToEnd(last + 1);
}

Str path_GetBaseName(const Str& path) {
    int last = path_LastSeparator(path);
    Str name = last <= 0 ? path : path.MidToEnd(last + 1);
    int dot = name.FindLastChar('.');
    if (!name.PastTheEnd(dot)) name.Truncate(dot);
    return name;
}

Str path_GetExtension(const Str& path) {
    int dot = path.FindLastChar('.');
    if (path.PastTheEnd(dot) || dot < path_LastSeparator(path)) return Str();
    return path.MidToEnd(dot);
}

Str path_Combine(const Str& directory, const Str& name) {
    if (directory.IsEmpty() || path_IsAbsolute(name)) return name;
    if (path_IsSeparator(directory.Data()[directory.Length() - 1])) return directory + name;
    return directory + "\\" + name;
}

Str path_ChangeExtension(const Str& path, const Str& extension) {
    Str result = path.Left(path.Length() - path_GetExtension(path).Length());
    if (extension.IsEmpty()) return result;
    if (extension.Data()[0] != '.') result += '.';
    return result + extension;
}

bool path_IsSamePath(const Str& a, const Str& b) {
    auto canonical = [](const Str& path) {
        Str copy(path);
        for (int i = 0; i < copy.Length(); ++i)
            if (copy.Data()[i] == '/') copy.SetAt(i, '\\');
        copy.StripTrailing('.');
        copy.StripTrailing('/');
        copy.StripTrailing('\\');
        return copy;
    };
    return canonical(a).EqualInsensitive(canonical(b));
}

bool path_IsSameExtension(const Str& a, const Str& b) {
    return path_GetExtension(a).EqualInsensitive(path_GetExtension(b));
}

Str path_MakeRelative(const Str& path, const Str& base) {
    if (!path_IsSamePath(path.Left(base.Length()), base)) return path;
    Str rest = path.MidToEnd(base.Length());
    if (!rest.IsEmpty() && path_IsSeparator(rest.Data()[0])) rest.Delete(0, 1);
    return rest;
}

StrArray path_SplitPatterns(const Str& text) {
    StrArray patterns;
    StrArray* fields = string_Split(text, ';', false);
    for (int i = 0; i < fields->Count(); ++i) {
        Str pattern = (*fields)[i];
        pattern.Strip(' ');
        patterns.Add(pattern);
    }
    delete fields;
    return patterns;
}

void path_DefineMacro(const Str& name, const Str& value) {
    QZ_ASSERT_TEXT(name.Data()[0] != '$', "name[0] != '$'");
    QZ_ASSERT(value.PastTheEnd (value.FindSubString ("$(")));
    Str stored(value);
    if (stored.Length() > 1) {
        stored.StripTrailing('\\');
        stored.StripTrailing('/');
    }
    Str key = Str("$(") + name + ")";
    StrArray& names = PathMacroNames();
    StrArray& values = PathMacroValues();
    for (int i = 0; i < names.Count(); ++i) {
        if (names[i] == key) {
            values[i] = stored;
            return;
        }
    }
    names.Add(key);
    values.Add(stored);
}

Str path_Expand(const Str& path) {
    if (path.PastTheEnd(path.FindSubString("$("))) return path;
    Str expand(path);
    const StrArray& names = PathMacroNames();
    const StrArray& values = PathMacroValues();
    for (int i = 0; i < names.Count(); ++i) {
        const Str& key = names[i];
        const Str& value = values[i];
        if (!value.IsEmpty()) {
            expand.Replace(key.Data(), value.Data());
            continue;
        }
        // An empty value takes one separator with it, so no doubled or dangling
        // separator is left behind.
        for (int p = expand.FindSubString(key.Data()); !expand.PastTheEnd(p); p = expand.FindSubString(key.Data())) {
            int start = p;
            int n = key.Length();
            const char* text = expand.Data();
            if (p > 0 && p + n < expand.Length() && path_IsSeparator(text[p - 1]) && path_IsSeparator(text[p + n]))
                ++n;
            if (p > 0 && p + n == expand.Length() && path_IsSeparator(text[p - 1])) {
                --start;
                ++n;
            }
            expand.Delete(start, n);
        }
    }
    QZ_ASSERT(expand.PastTheEnd (expand.FindSubString ("$(")));
    return expand;
}

Str path_CombineAndExpand(const Str& directory, const Str& name) { return path_Expand(path_Combine(directory, name)); }

Str path_MakeFileName(const Str& directory, const Str& name, const Str& extension) {
    if (extension.IsEmpty()) return path_CombineAndExpand(directory, name);
    Str dotted = extension.Data()[0] == '.' ? extension : Str(".") + extension;
    Str bare(extension);
    bare.StripLeading('.');
    // A name made only of the extension becomes the extension twice, as in rxl.rxl.
    if (name.EqualInsensitive(dotted)) return path_Expand(path_Combine(directory, bare) + dotted);
    Str joined = path_Combine(directory, name);
    if (!path_GetExtension(joined).EqualInsensitive(dotted)) joined += dotted;
    return path_Expand(joined);
}

void dirs_RegisterPathMacros() {
    path_DefineMacro("Project", "");
    path_DefineMacro("Export", "Export");
    path_DefineMacro("Language", "");
    path_DefineMacro("ProjectRootDir", ProjectRootDirectory());
    path_DefineMacro("LocaleRootDir", LocaleRootDirectory());
    path_DefineMacro("ThrashDataDir", ProjectRootDirectory() + "ThrashData\\");
    path_DefineMacro("TempDir", TempDirectory());
    Str systemDir = SystemDirectory();
    path_DefineMacro("SystemDir", systemDir);
    path_DefineMacro("EmailDir", EmailDirectory());
    path_DefineMacro("SystemDir", systemDir);
    path_DefineMacro("MyDocuments", DocumentsDirectory());
    path_DefineMacro("SharedDir", ProjectRootDirectory());
    path_DefineMacro("ROMDir", RomDirectory());
    path_DefineMacro("FileSystemRootDir", FileSystemRootDirectory());
}
