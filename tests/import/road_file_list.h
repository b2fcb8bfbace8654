// The road file names a conversion listed for the host, fetched as a host does.
#pragma once

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "foundation/text/str.h"
#include "qzxmli.h"

namespace import_test {

// Every listed name, in order; the list is empty after.
inline std::vector<std::string> TakeRoadFileNames() {
    std::vector<std::string> names;
    for (int i = 0, count = qzxmli_ExtraOutputFileCount(); i < count; ++i) {
        char16_t buffer[260];
        qzxmli_GetExtraOutputFileName(buffer, i);
        names.push_back(Str(buffer).Data());
    }
    return names;
}

// The listed names as names inside the folder, each once, sorted; a listed file
// outside the folder keeps its whole path, so that it shows. The list is empty after.
inline std::vector<std::string> TakeListedRoadFiles(const std::string& folder) {
    std::set<std::string> names;
    for (const std::string& path : TakeRoadFileNames()) {
        const std::string prefix = folder + "/";
        const bool inside = path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0 &&
                            path.find('/', prefix.size()) == std::string::npos;
        names.insert(inside ? path.substr(prefix.size()) : path);
    }
    return std::vector<std::string>(names.begin(), names.end());
}

// The names in the folder, sorted.
inline std::vector<std::string> FolderListing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace import_test
