#include "platform/stream.h"

#include <string>

std::FILE* platform_OpenStream(const char* path, const char* mode) {
    if (!path || !mode) return nullptr;
    std::string name(path);
    for (char& c : name)
        if (c == '\\') c = '/';
    return std::fopen(name.c_str(), mode);
}
