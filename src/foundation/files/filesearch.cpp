#include "foundation/files/filesearch.h"

#include <cstring>
#include <vector>

#include "foundation/environment.h"
#include "foundation/files/file.h"
#include "foundation/files/filelist.h"
#include "foundation/files/filesys.h"
#include "foundation/files/path.h"
#include "platform/dir.h"
#include "platform/file.h"
#include "platform/tree.h"

namespace {
constexpr const char* kModule = "QZ/file";

std::vector<platform_FindData> Find(const Str& expandedPattern) {
    std::vector<platform_FindData> found;
    platform_FindFiles(expandedPattern.Data(), &found);  // nothing found is no failure
    return found;
}

Str ExtensionOfPattern(const Str& pattern) {
    int dot = pattern.FindLastChar('.');
    return dot < pattern.Length() ? pattern.MidToEnd(dot + 1) : Str();
}

file_Class LargestOrOnly(const file_Array& files) {
    return files.Count() == 1 ? files.GetCopy(0) : fileio_FindLargest(files);
}

// Paths here are already expanded and joined with names exactly as the folder lists
// them, so nothing is expanded twice (a name holding "$(" stays a name).
uint32_t RemoveTreeAt(const Str& directory) {
    std::vector<platform_TreeEntry> entries;
    if (!platform_ListFolderEntries(directory.Data(), &entries)) return platform_GetLastError();
    // Files first, so that a file that cannot go leaves every sub-folder in place.
    for (const platform_TreeEntry& entry : entries) {
        if (entry.isDirectory) continue;
        Str path = path_Combine(directory, entry.name.c_str());
        if (platform_DeleteFile(path.Data())) continue;
        uint32_t error = platform_GetLastError();
        if (error != PLATFORM_ErrorFileNotFound) Environment::Get()->SystemError(kModule, __LINE__, error, path.Data());
        return error;
    }
    for (const platform_TreeEntry& entry : entries) {
        if (!entry.isDirectory) continue;
        uint32_t error = RemoveTreeAt(path_Combine(directory, entry.name.c_str()));
        if (error != 0) return error;
    }
    return platform_RemoveDirectory(directory.Data()) ? 0 : platform_GetLastError();
}

}  // namespace

bool filesys_WildcardMatch(const Str& name, const Str& pattern) {
    Str n(name);
    Str p(pattern);
    n.MakeUpper();
    p.MakeUpper();
    int colon = p.FindChar(':');
    if (colon < p.Length()) p = p.MidToEnd(colon + 1);

    // match(i, j): name from i against pattern from j. A '*' followed by c matches when
    // some later name character equals c literally and match(k, j + 1) holds there.
    // Filled from the ends backwards, two rows at a time: time |name| x |pattern|, no
    // recursion, whatever the pattern holds.
    const char* s = n.Data();
    const char* q = p.Data();
    int ln = n.Length();
    int lp = p.Length();
    std::vector<char> next(static_cast<size_t>(lp) + 1), row(static_cast<size_t>(lp) + 1);
    std::vector<char> anyNext(static_cast<size_t>(lp) + 1, 0), anyRow(static_cast<size_t>(lp) + 1);
    for (int i = ln; i >= 0; --i) {
        for (int j = lp; j >= 0; --j) {
            char m;
            if (j < lp && q[j] == '*') {
                char c = q[j + 1];
                if (j + 1 == lp) {
                    m = 1;
                } else {
                    // Some k >= i with s[k] == c and match(k, j + 1).
                    bool here = i < ln && s[i] == c && row[static_cast<size_t>(j) + 1];
                    anyRow[static_cast<size_t>(j)] = here || (i < ln && anyNext[static_cast<size_t>(j)]);
                    m = anyRow[static_cast<size_t>(j)];
                }
            } else if (i == ln) {
                m = j == lp;
            } else if (j == lp) {
                m = 0;
            } else if (q[j] == '?' || q[j] == s[i]) {
                m = next[static_cast<size_t>(j) + 1];
            } else {
                m = 0;
            }
            row[static_cast<size_t>(j)] = m;
        }
        std::swap(row, next);
        std::swap(anyRow, anyNext);
    }
    return next[0] != 0;
}

bool filesys_MatchesAny(const Str& name, const StrArray& patterns) {
    for (int i = 0; i < patterns.Count(); ++i)
        if (filesys_WildcardMatch(name, patterns[i])) return true;
    return false;
}

StrArray filesys_ListFiles(const Str& wildcardPath) {
    Str expanded = path_Expand(wildcardPath);
    Str directory = path_GetDirectory(expanded);
    StrArray files;
    for (const platform_FindData& entry : Find(expanded))
        if (!entry.isDirectory) files.Add(path_Combine(directory, entry.name.c_str()));
    files.Sort();
    return files;
}

StrArray filesys_ListFilesOfPatterns(const StrArray& wildcardPaths) {
    StrArray files;
    for (int i = 0; i < wildcardPaths.Count(); ++i) files.Append(filesys_ListFiles(wildcardPaths[i]));
    files.Sort();
    return files;
}

StrArray filesys_ListSubdirectories(const Str& directory) {
    StrArray folders;
    if (filesys_IsResourcePath(directory)) return folders;
    Str expanded = path_Expand(directory);
    for (const platform_FindData& entry : Find(path_Combine(expanded, "*")))
        if (entry.isDirectory) folders.Add(path_Combine(expanded, entry.name.c_str()));
    folders.Sort();
    return folders;
}

void filesys_ListDirectory(const Str& directory, const StrArray& patterns, file_Array& files, StrArray& subdirectories) {
    if (patterns.Count() == 0) return;
    Str expanded = path_Expand(directory);
    // Files take the folder of the first pattern: the listed folder itself unless that
    // pattern names a sub-folder.
    Str fileFolder = path_GetDirectory(path_Expand(path_Combine(expanded, patterns[0])));
    for (const platform_FindData& entry : Find(path_Combine(expanded, "*"))) {
        Str name(entry.name.c_str());
        if (entry.isDirectory) {
            subdirectories.Add(path_Combine(expanded, name));
        } else if (filesys_MatchesAny(name, patterns)) {
            file_Class file(path_Combine(fileFolder, name));
            file.SetModificationTime(filesys_FindDataTime(entry));
            file.SetQueriedSize(static_cast<int64_t>(entry.size));  // all 64 bits
            files.Add(file);
        }
    }
    files.SortByName(true);
    subdirectories.Sort();
}

Str filesys_FindFirstFile(const Str& wildcardPath) {
    Str expanded = path_Expand(wildcardPath);
    for (const platform_FindData& entry : Find(expanded))
        if (!entry.isDirectory) return path_Combine(path_GetDirectory(expanded), entry.name.c_str());
    return Str();
}

Str filesys_FindFirstOfPatterns(const StrArray& wildcardPaths) {
    for (int i = 0; i < wildcardPaths.Count(); ++i) {
        Str found = filesys_FindFirstFile(wildcardPaths[i]);
        if (!found.IsEmpty()) return found;
    }
    return Str();
}

file_Array filesys_FindNamedFiles(const Str& directory, const Str& name, const Str& extension) {
    file_Array files;
    StrArray listed = filesys_ListFiles(path_MakeFileName(directory, "*", extension));
    for (int i = 0; i < listed.Count(); ++i) {
        file_Class file(listed[i]);
        if (file.Name.EqualInsensitive(name)) files.Add(file);
    }
    return files;
}

file_Class filesys_FindSharedFile(const Str& name, const Str& pattern) {
    // Lookups in the shared folder are by plain name: nothing that could lead elsewhere.
    if (!path_IsPlainName(name)) return file_Class();
    Str extension = ExtensionOfPattern(pattern);
    file_Class candidate(path_MakeFileName("$(SharedDir)", name, extension));
    if (candidate.Exists()) return candidate;

    Str wanted(name);
    wanted.MakeLower();
    Str wantedExtension(extension);
    wantedExtension.MakeLower();
    file_Array exact, partial;
    StrArray listed = filesys_ListFiles(path_Combine("$(SharedDir)", pattern));
    for (int i = 0; i < listed.Count(); ++i) {
        file_Class file(listed[i]);
        Str fileExtension(file.Extension);
        fileExtension.MakeLower();
        if (fileExtension != wantedExtension) continue;
        Str fileName(file.Name);
        fileName.StripTrailing(' ');
        fileName.MakeLower();
        // A file called ".ext" has no name, which would "occur" inside every name.
        if (fileName.IsEmpty()) continue;
        if (fileName == wanted) exact.Add(file);
        if (wanted.ContainsSubString(fileName.Data())) partial.Add(file);
    }
    if (exact.Count() > 0) return LargestOrOnly(exact);
    if (partial.Count() > 0) return LargestOrOnly(partial);
    return file_Class();
}

file_Array filesys_MakeFileArray(const StrArray& paths) {
    file_Array files;
    for (int i = 0; i < paths.Count(); ++i) files.Add(file_Class(paths[i]));
    return files;
}

uint32_t filesys_DeleteFile(const Str& path) {
    if (filesys_IsResourcePath(path)) return PLATFORM_ErrorWriteProtect;
    file_Class file(path);
    return file.Delete() ? 0 : file.GetLastSystemError();
}

uint32_t filesys_MoveFile(const Str& source, const Str& target) {
    if (filesys_IsResourcePath(source) || filesys_IsResourcePath(target)) return PLATFORM_ErrorWriteProtect;
    file_Class from(source);
    file_Class to(target);
    return from.MoveTo(to) ? 0 : from.GetLastSystemError();
}

uint32_t filesys_RemoveTree(const Str& directory) {
    if (filesys_IsResourcePath(directory)) return PLATFORM_ErrorWriteProtect;
    Str expanded = path_Expand(directory);
    // A link given as the tree goes itself; what it points to stays.
    if (platform_IsSymbolicLink(expanded.Data()))
        return platform_DeleteFile(expanded.Data()) ? 0 : platform_GetLastError();
    return RemoveTreeAt(expanded);
}

bool fileio_ReadLine(file_Class& file, char* buffer, int size) { return file.ReadLine(buffer, size); }

bool filesys_RemoveChars(Str& text, const char* set) {
    if (!set || !*set) return false;
    Str kept;
    for (int i = 0; i < text.Length(); ++i)
        if (!std::strchr(set, text.Data()[i]) || text.Data()[i] == 0) kept += text.Data()[i];
    if (kept.Length() == text.Length()) return false;
    text = kept;
    return true;
}

bool filesys_ContainsText(const Str& text, const char* sought) {
    return sought && std::strstr(text.Data(), sought) != nullptr;
}
