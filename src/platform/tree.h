// Folder listings that never follow symbolic links, for removing folder trees: a link
// is an entry of its own (removed as such), never the folder or file it points to.
#pragma once

#include <string>
#include <vector>

#include "platform/error.h"

struct platform_TreeEntry {
    std::string name;          // without its folder
    bool isDirectory = false;  // a real folder; never true for a link
    bool isLink = false;
};

// Every entry of the folder but "." and "..", sorted by name. The folder itself must be
// a real folder, not a link to one: a link gives 267, a missing folder 2
// (3 when its parent is missing too), as removing it would.
bool platform_ListFolderEntries(const char* folder, std::vector<platform_TreeEntry>* entries);

// Whether the path itself (not what it points to) is a symbolic link.
bool platform_IsSymbolicLink(const char* path);
