// EquatedStation: a road station as displayed, with the station-equation zone it
// lies in. Written inside records as f64 Chainage, then i32 Zone (12 bytes).
// Its null value, which is also its default, is station 1e308 with zone -1.
#pragma once

#include <cstdint>

#include "foundation/buffer.h"
#include "foundation/kernel/maths.h"

class EquatedStation {
public:
    EquatedStation() = default;
    EquatedStation(double chainage, int32_t zone) : Chainage(chainage), Zone(zone) {}

    void SetNull() {
        Chainage = MATHS_Null;
        Zone = -1;
    }
    bool IsNull() const { return maths_IsNull(Chainage); }

    // Both members exactly equal.
    bool IsEqual(const EquatedStation& other) const {
        return Chainage == other.Chainage && Zone == other.Zone;
    }
    bool operator==(const EquatedStation& other) const { return IsEqual(other); }

    void Write(WriteBuffer& buffer) const {
        buffer.PutDouble(Chainage);
        buffer.PutInt32(Zone);
    }
    void Read(ReadBuffer& buffer, int& byteOffset) {
        Chainage = buffer.GetDouble(byteOffset);
        Zone = buffer.GetInt32(byteOffset);
    }

    double Chainage = MATHS_Null;
    int32_t Zone = -1;
};
