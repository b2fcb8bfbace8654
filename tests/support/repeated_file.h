// Large test files written a piece at a time, so a test never holds one whole.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

// head, then unit repeated until at least `bytes` of it are written, then tail.
inline void WriteRepeatedFile(const std::string& path, const std::string& head, const std::string& unit,
                              int64_t bytes, const std::string& tail) {
    std::string piece;
    while (piece.size() < (1u << 20)) piece += unit;
    std::ofstream out(path, std::ios::binary);
    out << head;
    for (int64_t written = 0; written < bytes; written += static_cast<int64_t>(piece.size())) out << piece;
    out << tail;
}
