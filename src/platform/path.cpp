#include "platform/path.h"

std::string platform_HostPath(const char* path) {
    std::string host = path ? path : "";
    for (char& c : host)
        if (c == '\\') c = '/';
    return host;
}
