// db_PointClassification: how far a point observation is to be trusted, -1 (None)
// to 9 (Control). Stored in a record as i16. Its precedence decides the best of
// several observations of one point name.
#pragma once

#include <cstdint>

#include "foundation/text/str.h"

class ReadBuffer;
class WriteBuffer;

// The vocabulary's classification value, taken without a range check.
enum dbentity_Classification : int32_t {};

class db_PointClassification {
public:
    enum {
        None = -1,
        Check = 0,
        BackSight = 1,
        Stakeout = 2,
        Construction = 3,
        Normal = 4,
        MTA = 5,
        Adjusted = 6,
        Averaged = 7,
        NetworkAdjusted = 8,
        Control = 9,
        MinValue = -1,
        MaxValue = 9,
    };

    db_PointClassification() : value(None) {}
    // Reports a value outside MinValue..MaxValue and keeps it all the same.
    explicit db_PointClassification(int i);
    explicit db_PointClassification(dbentity_Classification c) : value(c) {}
    db_PointClassification(const db_PointClassification&) = default;
    db_PointClassification& operator=(const db_PointClassification&) = default;

    // From a class code 0..15: the low three bits choose one of eight classifications.
    static db_PointClassification FromClassCode(int code);

    // Always false. Not virtual: nothing derives from the value type, and a table
    // pointer would make every point observation 8 bytes larger.
    bool IsSet() const { return false; }

    void Write(WriteBuffer& buffer) const;
    void Read(ReadBuffer& buffer, int& byteOffset);

    bool IsEqual(const db_PointClassification& other) const { return value == other.value; }
    bool IsNotEqual(const db_PointClassification& other) const { return value != other.value; }
    bool RanksAtLeast(const db_PointClassification& other) const;

    Str GetName() const;
    void SetFromName(const Str& name);
    int ToClassCode(bool flag) const;
    int ToBasicClassCode(bool flag) const;

    bool IsCheck() const { return value == Check; }
    bool IsBackSight() const { return value == BackSight; }
    bool IsStakeout() const { return value == Stakeout; }
    bool IsConstruction() const { return value == Construction; }
    bool IsNormal() const { return value == Normal; }
    bool IsMTA() const { return value == MTA; }
    bool IsAdjusted() const { return value == Adjusted; }
    bool IsAveraged() const { return value == Averaged; }
    bool IsNetworkAdjustedOrControl() const { return value == NetworkAdjusted || value == Control; }

    int32_t value;
};
