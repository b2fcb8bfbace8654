// Synthetic "QVX GRID FILE" grids and "QVX COMBINED GRID FILE" containers for the
// engine's tests: a lattice of known values (a plane, a quadratic) written in any cell
// type, byte order, storage order and direction, so that interpolation can be checked
// exactly. Built field by field, independently of the reader.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace gridtest {

struct GridLayout {
    int32_t rows = 5;
    int32_t columns = 6;
    double south = 10.0;
    double west = 20.0;
    double rowSpacing = 0.5;
    double columnSpacing = 0.25;
    int cellType = 4;           // 0 i8, 1 i16, 2 i32, 3 f32, 4 f64, 5 f64 in a 10-byte cell
    double scale = 0.0;         // a divisor, 0: none
    bool hasNull = false;
    double nullValue = -9999.0;
    uint8_t methodBits = 0x02;  // bilinear
    int16_t window = 2;
    bool columnMajor = false;
    bool linesAscending = true;
    bool cellsAscending = true;
    bool swap = false;  // the other byte order
    bool plane = false;
    bool targetIndexed = false;
    std::string name = "synthetic";
    // Overrides of header fields, for damaged grids.
    double north = NAN;  // NAN: south + (rows - 1) * rowSpacing
    double east = NAN;
    int32_t storedRows = -1;  // -1: rows
    uint8_t typeBits = 0;     // 0: from cellType
};

// The value of natural node (row, column).
using Field = std::function<double(int32_t row, int32_t column)>;

class Bytes {
public:
    explicit Bytes(bool swap) : swap_(swap) {}
    std::vector<uint8_t> out;
    template <typename T>
    void Put(T value) {
        uint8_t raw[sizeof(T)];
        std::memcpy(raw, &value, sizeof(T));
        if (swap_) std::reverse(raw, raw + sizeof(T));
        Raw(raw, sizeof(T));
    }
    void Raw(const void* data, std::size_t size) {
        const std::size_t at = out.size();
        out.resize(at + size);
        std::memcpy(out.data() + at, data, size);
    }
    void Fill(std::size_t count, uint8_t value) { out.resize(out.size() + count, value); }

private:
    bool swap_;
};

inline void PutCell(Bytes& b, const GridLayout& s, double value) {
    const double stored = s.scale != 0.0 ? value * s.scale : value;
    switch (s.cellType) {
        case 0: b.Put(static_cast<int8_t>(std::lround(stored))); break;
        case 1: b.Put(static_cast<int16_t>(std::lround(stored))); break;
        case 2: b.Put(static_cast<int32_t>(std::lround(stored))); break;
        case 3: b.Put(static_cast<float>(stored)); break;
        case 4: b.Put(stored); break;
        default: {
            // The double in the first eight bytes; the whole cell reverses with the order.
            uint8_t raw[10] = {};
            std::memcpy(raw, &stored, 8);
            raw[8] = 0x5A;
            raw[9] = 0xA5;
            if (s.swap) std::reverse(raw, raw + 10);
            b.Raw(raw, 10);
            break;
        }
    }
}

// One grid image: header, cells and the 16 bytes an embedded image carries.
inline std::vector<uint8_t> GridImage(const GridLayout& s, const Field& field) {
    Bytes b(s.swap);
    b.Put<uint16_t>(0xFEFF);
    b.Raw("QVX GRID FILE", 14);
    char name[32] = {};
    std::memcpy(name, s.name.data(), std::min<std::size_t>(32, s.name.size()));
    b.Raw(name, 32);
    b.Put(s.south);
    b.Put(std::isnan(s.north) ? s.south + (s.rows - 1) * s.rowSpacing : s.north);
    b.Put(s.west);
    b.Put(std::isnan(s.east) ? s.west + (s.columns - 1) * s.columnSpacing : s.east);
    b.Put(s.rowSpacing);
    b.Put(s.columnSpacing);
    b.Put<int32_t>(s.storedRows >= 0 ? s.storedRows : s.rows);
    b.Put<int32_t>(s.columns);
    b.Put(1.5);   // auxiliary values, not interpreted
    b.Put(2.5);
    b.Put(s.nullValue);
    b.Put(s.scale != 0.0 ? s.scale : 1.0);
    b.Put<int16_t>(s.window);
    uint8_t flags = 0x18;
    if (s.scale != 0.0) flags |= 0x02;
    if (s.hasNull) flags |= 0x04;
    if (s.plane) flags |= 0x20;
    if (s.columnMajor) flags |= 0x40;
    if (s.targetIndexed) flags |= 0x80;
    b.Put(flags);
    b.Put<uint8_t>(0);
    b.Put(s.methodBits);
    b.Put<uint8_t>(s.typeBits ? s.typeBits : static_cast<uint8_t>(1u << s.cellType));
    const bool rowsAscending = s.columnMajor ? s.cellsAscending : s.linesAscending;
    const bool columnsAscending = s.columnMajor ? s.linesAscending : s.cellsAscending;
    b.Put<uint8_t>(s.linesAscending ? 1 : 0);
    b.Put<uint8_t>(s.cellsAscending ? 1 : 0);
    b.Put<uint16_t>(0);
    const int32_t lines = s.columnMajor ? s.columns : s.rows;
    const int32_t length = s.columnMajor ? s.rows : s.columns;
    for (int32_t line = 0; line < lines; ++line) {
        for (int32_t cell = 0; cell < length; ++cell) {
            int32_t r = s.columnMajor ? cell : line;
            int32_t c = s.columnMajor ? line : cell;
            if (!rowsAscending) r = s.rows - 1 - r;
            if (!columnsAscending) c = s.columns - 1 - c;
            PutCell(b, s, field(r, c));
        }
    }
    b.Fill(16, 0x77);
    return b.out;
}

// A grid's saved form in a block image: the name, its NUL and the grid image.
inline std::vector<uint8_t> Embedded(const std::string& name, const std::vector<uint8_t>& image) {
    std::vector<uint8_t> out(name.begin(), name.end());
    out.push_back(0);
    out.insert(out.end(), image.begin(), image.end());
    return out;
}

inline std::string AsString(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The fractional node positions of a point, for writing expected values.
inline double NodeX(const GridLayout& s, double column) { return (column - s.west) / s.columnSpacing; }
inline double NodeY(const GridLayout& s, double row) { return (row - s.south) / s.rowSpacing; }

// A combined container: identification, one grid set of type 1 (two grids) or 2
// (three), then the grids at their offsets; `lead` padding bytes sit before the grids.
inline std::vector<uint8_t> Container(const std::vector<std::vector<uint8_t>>& grids, bool swap,
                                      std::size_t lead = 3) {
    Bytes b(swap);
    const uint16_t setType = grids.size() == 3 ? 2 : 1;
    const uint16_t setLength = static_cast<uint16_t>(4 + 4 * grids.size() + 64 * grids.size() + 16);
    b.Put<uint16_t>(61);
    b.Put<uint8_t>(1);
    b.Put<uint8_t>(0);
    char signature[24] = "QVX COMBINED GRID FILE";
    b.Raw(signature, 24);
    char model[32] = "synthetic model";
    b.Raw(model, 32);
    b.Put<uint8_t>(1);
    b.Put(setLength);
    b.Put(setType);
    uint32_t offset = static_cast<uint32_t>(61 + setLength + lead);
    for (const auto& grid : grids) {
        b.Put(offset);
        offset += static_cast<uint32_t>(grid.size());
    }
    for (std::size_t i = 0; i < grids.size(); ++i) {
        char source[64] = {};
        std::snprintf(source, sizeof source, "source%zu.grd", i);
        b.Raw(source, 64);
    }
    b.Put(6378137.0);
    b.Put(298.257223563);
    b.Fill(lead, 0xEE);
    for (const auto& grid : grids) b.Raw(grid.data(), grid.size());
    return b.out;
}

// A two-grid container of the projection grid or the shift grid: i32 format number 1,
// the title and its NUL, the two grids' offsets, then the grids.
inline std::vector<uint8_t> PairContainer(const std::string& title, const std::vector<uint8_t>& first,
                                          const std::vector<uint8_t>& second, bool swap = false) {
    Bytes b(swap);
    b.Put<int32_t>(1);
    b.Raw(title.c_str(), title.size() + 1);
    const int32_t at = static_cast<int32_t>(4 + title.size() + 1 + 8 + 5);
    b.Put<int32_t>(at);
    b.Put<int32_t>(at + static_cast<int32_t>(first.size()));
    b.Fill(5, 0xEE);
    b.Raw(first.data(), first.size());
    b.Raw(second.data(), second.size());
    return b.out;
}
inline constexpr const char* kProjectionGridTitle = "Quorvel Combined Projection Grid";
inline constexpr const char* kShiftGridTitle = "Quorvel Projection Shift Grid";

}  // namespace gridtest
