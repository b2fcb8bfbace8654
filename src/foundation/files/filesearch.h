// File searches and listings: wildcard matching of file names, listings of files and
// sub-folders by pattern, finding one file among variants in the shared data folder,
// and deleting, moving and removing files and trees with Windows error numbers.
//
// Paths may hold path macros and are expanded first. Listings come back sorted by name,
// so results never depend on the file system's order. Nothing here reports itself; the
// file operations used report their own platform failures.
#pragma once

#include <cstdint>

#include "foundation/text/str.h"

class file_Array;
class file_Class;

// The name against the pattern, ASCII case ignored, a drive prefix "X:" of the pattern
// dropped. '?' is any one character and '*' any run; the character after a '*' is taken
// literally, so "*.*" needs a dot (unlike the listings, where "*.*" is every name).
bool filesys_WildcardMatch(const Str& name, const Str& pattern);
bool filesys_MatchesAny(const Str& name, const StrArray& patterns);

// The files (not folders) found for a wildcard path, each joined to the path's folder.
StrArray filesys_ListFiles(const Str& wildcardPath);
StrArray filesys_ListFilesOfPatterns(const StrArray& wildcardPaths);
// The sub-folders of a folder, each joined to it.
StrArray filesys_ListSubdirectories(const Str& directory);
// Adds the files of the folder that match one of the patterns (their date and size
// taken from the listing) and every sub-folder, then sorts both lists; nothing at all
// for an empty pattern list.
void filesys_ListDirectory(const Str& directory, const StrArray& patterns, file_Array& files, StrArray& subdirectories);

// The first file found for a wildcard path; empty when there is none.
Str filesys_FindFirstFile(const Str& wildcardPath);
Str filesys_FindFirstOfPatterns(const StrArray& wildcardPaths);
// The files "directory\*.extension" whose name equals `name`, ASCII case ignored.
file_Array filesys_FindNamedFiles(const Str& directory, const Str& name, const Str& extension);
// The file of "$(SharedDir)" that best fits a name: "name.ext" itself when it exists,
// else the largest file whose name (ignoring case and trailing blanks) equals the
// requested name, else the largest whose name occurs inside it; an empty file when none.
file_Class filesys_FindSharedFile(const Str& name, const Str& pattern);
file_Array filesys_MakeFileArray(const StrArray& paths);

// 0, or the Windows error number (2 when the file did not exist).
uint32_t filesys_DeleteFile(const Str& path);
uint32_t filesys_MoveFile(const Str& source, const Str& target);
// Removes the folder with everything in it: 0, or the first error met, at which point
// nothing further is removed. Symbolic links are removed as links, never followed.
uint32_t filesys_RemoveTree(const Str& directory);

bool fileio_ReadLine(file_Class& file, char* buffer, int size);
// Removes every occurrence of each character of the set; true when one was removed.
bool filesys_RemoveChars(Str& text, const char* set);
bool filesys_ContainsText(const Str& text, const char* sought);
