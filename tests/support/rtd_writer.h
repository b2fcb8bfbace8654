// Synthetic "RTCM Trafo Data File"s for the engine's tests, laid out byte by byte at
// the header's offsets (little-endian), independently of the reader.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace rtdtest {

struct Row {
    double layer, first, last, row;  // as stored: whole numbers + 0.5
    std::vector<double> values;
};

struct RtdLayout {
    std::string title = "RTCM Trafo Data File";
    uint8_t version = 1;
    std::string source = "World Geodetic System 1984";
    std::string target = "Bessel local";
    uint8_t systemId = 7;
    uint8_t messageFlags = 1;
    uint8_t computationMode = 1;
    uint8_t heightMode = 1;
    double centreLatitude = 0.82030474843733492;  // 47 degrees
    double centreLongitude = 0.14835298641951802;  // 8.5 degrees
    double latitudeExtent = 0.034906585039886591;   // 2 degrees
    double longitudeExtent = 0.052359877559829883;  // 3 degrees
    double translation[3] = {601.905, 72.1, 411.2};
    double rotation[3] = {1e-5, -2e-5, 3e-5};
    double scale = 1.000005;
    double rotationPoint[3] = {4300000.0, 650000.0, 4700000.0};
    double sourceA = 6378137.0, sourceB = 6356752.3142;
    double targetA = 6377397.155, targetB = 6356078.962818;
    uint8_t indicators[2] = {1, 2};
    uint8_t hasHorizontal = 1, hasHeight = 1;
    double latitudeSpacing = 0.0087266462599716477;  // 0.5 degrees
    double longitudeSpacing = 0.0087266462599716477;
    uint8_t horizontalMethod = 0, heightMethod = 0;
    int32_t gridId = 0x1A2B;
    std::vector<Row> layers[3];
};

inline void Put(std::vector<uint8_t>& out, std::size_t at, const void* data, std::size_t size) {
    std::memcpy(out.data() + at, data, size);
}
inline void PutDouble(std::vector<uint8_t>& out, std::size_t at, double value) { Put(out, at, &value, 8); }

// The header at its offsets; the areas not interpreted hold 0x11.
inline std::vector<uint8_t> Header(const RtdLayout& s) {
    std::vector<uint8_t> out(300, 0x11);
    char text[32];
    std::memset(text, 0, sizeof text);
    std::memcpy(text, s.title.data(), std::min<std::size_t>(21, s.title.size()));
    Put(out, 0, text, 21);
    out[21] = s.version;
    std::memset(text, 0, sizeof text);
    std::memcpy(text, s.source.data(), std::min<std::size_t>(32, s.source.size()));
    Put(out, 32, text, 32);
    std::memset(text, 0, sizeof text);
    std::memcpy(text, s.target.data(), std::min<std::size_t>(32, s.target.size()));
    Put(out, 64, text, 32);
    out[100] = s.systemId;
    out[101] = s.messageFlags;
    out[103] = s.computationMode;
    out[104] = s.heightMode;
    PutDouble(out, 105, s.centreLatitude);
    PutDouble(out, 113, s.centreLongitude);
    PutDouble(out, 121, s.latitudeExtent);
    PutDouble(out, 129, s.longitudeExtent);
    for (int k = 0; k < 3; ++k) {
        PutDouble(out, 137 + 8 * k, s.translation[k]);
        PutDouble(out, 161 + 8 * k, s.rotation[k]);
        PutDouble(out, 193 + 8 * k, s.rotationPoint[k]);
    }
    PutDouble(out, 185, s.scale);
    PutDouble(out, 217, s.sourceA);
    PutDouble(out, 225, s.sourceB);
    PutDouble(out, 233, s.targetA);
    PutDouble(out, 241, s.targetB);
    out[249] = s.indicators[0];
    out[250] = s.indicators[1];
    out[251] = s.hasHorizontal;
    out[252] = s.hasHeight;
    PutDouble(out, 253, s.latitudeSpacing);
    PutDouble(out, 261, s.longitudeSpacing);
    out[269] = s.horizontalMethod;
    out[270] = s.heightMethod;
    Put(out, 273, &s.gridId, 4);
    return out;
}

inline std::string File(const RtdLayout& s) {
    std::vector<uint8_t> out = Header(s);
    const auto put = [&out](double value) {
        const std::size_t at = out.size();
        out.resize(at + 8);
        PutDouble(out, at, value);
    };
    if (s.messageFlags & 1) {
        for (const auto& layer : s.layers) {
            for (const Row& row : layer) {
                for (double v : {row.layer, row.first, row.last, row.row}) put(v);
                for (double v : row.values) put(v);
            }
            for (int k = 0; k < 4; ++k) put(0.0);
        }
    }
    return std::string(out.begin(), out.end());
}

}  // namespace rtdtest
