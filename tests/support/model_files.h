// One small model file of every kind a job can name, each one the engine loads: "ggf"
// geoid, "CDG" datum grids, "RTD" RTCM data, "pgf" national grid shifts, "pjg"
// projection grid and "sgf" shift grid. Written into a folder under one base name, so
// that a build which reaches a file succeeds and one which is refused shows it.
#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "support/grid_writer.h"
#include "support/rtd_writer.h"

namespace modeltest {

inline void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
}

// A national grid shift file: one shift in metres over 0..800 km east and
// -200..1,000 km north of the grid.
inline void WriteNationalGrid(const std::string& path, double shift) {
    gridtest::GridLayout national;
    national.plane = true;
    national.south = -200000.0;
    national.west = 0.0;
    national.rows = 3;
    national.columns = 3;
    national.rowSpacing = 600000.0;
    national.columnSpacing = 400000.0;
    Write(path, gridtest::GridImage(national, [shift](int32_t, int32_t) { return shift; }));
}

// folder/base.ggf and the rest; `folder` is a full path.
inline void WriteAll(const std::string& folder, const std::string& base) {
    const std::string stem = folder + "/" + base + ".";
    const auto constant = [](double v) { return [v](int32_t, int32_t) { return v; }; };
    gridtest::GridLayout geographic;  // 45..53 N, 5..13 E
    geographic.south = 45.0;
    geographic.west = 5.0;
    geographic.rows = 9;
    geographic.columns = 9;
    geographic.rowSpacing = 1.0;
    geographic.columnSpacing = 1.0;
    const std::vector<uint8_t> zero = gridtest::GridImage(geographic, constant(0.0));
    Write(stem + "ggf", gridtest::GridImage(geographic, constant(47.5)));
    Write(stem + "CDG", gridtest::Container({zero, zero}, false));

    WriteNationalGrid(stem + "pgf", 0.5);

    gridtest::GridLayout plane;
    plane.plane = true;
    plane.south = 0.0;
    plane.west = 0.0;
    plane.rows = 3;
    plane.columns = 3;
    plane.rowSpacing = 50000.0;
    plane.columnSpacing = 50000.0;
    const std::vector<uint8_t> lat = gridtest::GridImage(plane, [](int32_t r, int32_t) { return 0.8 + 0.0075 * r; });
    const std::vector<uint8_t> lon = gridtest::GridImage(plane, [](int32_t, int32_t c) { return 0.1 + 0.011 * c; });
    const std::vector<uint8_t> shift = gridtest::GridImage(plane, constant(0.125));
    Write(stem + "pjg", gridtest::PairContainer(gridtest::kProjectionGridTitle, lat, lon));
    Write(stem + "sgf", gridtest::PairContainer(gridtest::kShiftGridTitle, shift, shift));

    rtdtest::RtdLayout rtd;
    rtd.messageFlags = 0;
    std::ofstream(stem + "RTD", std::ios::binary) << rtdtest::File(rtd);
}

// Every file below a folder with its bytes: equal snapshots show that nothing there
// was created, removed or written.
inline std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().string()] =
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

}  // namespace modeltest
