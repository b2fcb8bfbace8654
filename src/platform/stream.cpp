#include "platform/stream.h"

#include "platform/path.h"

std::FILE* platform_OpenStream(const char* path, const char* mode) {
    if (!path || !mode) return nullptr;
    return std::fopen(platform_HostPath(path).c_str(), mode);
}
