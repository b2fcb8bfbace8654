// Path names and path macros.
//
// Paths are Str (UTF-8). Both '\' and '/' separate; paths built here use '\' and the
// platform layer turns them into the host's form at each system call. None of the
// path-name functions touches the file system.
//
// Path macros are references "$(" name ")" inside paths, standing for folders of the
// installation. They live in one process-wide table filled by dirs_RegisterPathMacros
// (at the start of every conversion) and are replaced by path_Expand. No value holds
// "$(", so one pass over the table expands a path completely.
#pragma once

#include "foundation/text/str.h"

bool path_IsSeparator(char c);
bool path_IsAbsolute(const Str& path);
// A name from outside that may be joined to a folder: no separator, no ".." and no
// macro reference, so the joined path cannot leave the folder.
bool path_IsPlainName(const Str& name);
// Position of the last separator of either kind; -1 when there is none.
int path_LastSeparator(const Str& path);
Str path_GetDirectory(const Str& path);
Str path_GetFileName(const Str& path);
Str path_GetBaseName(const Str& path);
// From the last '.' after the last separator to the end, the '.' included; else empty.
Str path_GetExtension(const Str& path);
Str path_Combine(const Str& directory, const Str& name);
Str path_ChangeExtension(const Str& path, const Str& extension);
// Equal ignoring ASCII case, the kind of separator and trailing dots and separators.
bool path_IsSamePath(const Str& a, const Str& b);
bool path_IsSameExtension(const Str& a, const Str& b);
Str path_MakeRelative(const Str& path, const Str& base);
// A ';'-separated pattern list, each entry stripped of blanks at both ends.
StrArray path_SplitPatterns(const Str& text);

// The macro table: names stored decorated as "$(" name ")", values at the same
// positions, in the order of first definition. Both are built when the library loads,
// or on first use.
StrArray& PathMacroNames();
StrArray& PathMacroValues();

// Defines or redefines "$(" name ")"; the name comes without decoration.
void path_DefineMacro(const Str& name, const Str& value);
// The path with every defined macro replaced; an undefined macro stays (and is reported).
Str path_Expand(const Str& path);
Str path_CombineAndExpand(const Str& directory, const Str& name);
// Directory, name and extension (with or without its '.') joined and expanded; the
// extension is added only when the name does not already end in it.
Str path_MakeFileName(const Str& directory, const Str& name, const Str& extension);

// Defines the folder macros of the running process (thirteen entries, in a fixed order).
void dirs_RegisterPathMacros();
