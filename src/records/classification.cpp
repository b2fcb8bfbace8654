#include "records/classification.h"

#include "foundation/buffer.h"
#include "foundation/environment.h"

namespace {
constexpr const char* kModule = "Library/dbRecord";

struct ClassificationRow {
    const char* name;
    int rank;             // best-point precedence, 1 lowest
    int classCode;        // with flag true
    int basicClassCode;   // with flag true
};

// Indexed by value + 1, for the values -1..9.
constexpr ClassificationRow kRows[] = {
    {"None", 1, -1, -1},
    {"Check", 2, 0, 0},
    {"BackSight", 4, 1, 1},
    {"Stakeout", 4, 2, 2},
    {"Construction", 3, 3, 4},
    {"Normal", 4, 4, 4},
    {"MTA", 4, 4, 4},
    {"Adjusted", 5, 5, 4},
    {"Averaged", 6, 6, 4},
    {"NetworkAdjusted", 7, 7, 7},
    {"Control", 7, 7, 7},
};

bool InRange(int v) {
    return v >= db_PointClassification::MinValue && v <= db_PointClassification::MaxValue;
}

const ClassificationRow& Row(int v) { return kRows[v + 1]; }

// Class codes carry one of eight classifications in their low three bits.
constexpr int kFromClassCode[8] = {
    db_PointClassification::Check,     db_PointClassification::BackSight,
    db_PointClassification::Stakeout,  db_PointClassification::Construction,
    db_PointClassification::Normal,    db_PointClassification::Adjusted,
    db_PointClassification::Averaged,  db_PointClassification::Control,
};
}  // namespace

db_PointClassification::db_PointClassification(int i) : value(i) {
    QZ_ASSERT_TEXT(InRange(i), "i >= MinValue && i <= MaxValue");
}

db_PointClassification db_PointClassification::FromClassCode(int code) {
    if (code < 0 || code > 15) {
        QZ_FAIL("0");
        return db_PointClassification(dbentity_Classification(Control));
    }
    return db_PointClassification(dbentity_Classification(kFromClassCode[code & 7]));
}

void db_PointClassification::Write(WriteBuffer& buffer) const { buffer.PutInt16(value); }

void db_PointClassification::Read(ReadBuffer& buffer, int& byteOffset) {
    value = buffer.GetInt16(byteOffset);
}

bool db_PointClassification::RanksAtLeast(const db_PointClassification& other) const {
    if (!InRange(other.value)) {
        QZ_FAIL("0");
        return false;
    }
    // A value of our own outside the range ranks like None.
    const int mine = InRange(value) ? Row(value).rank : Row(None).rank;
    return mine >= Row(other.value).rank;
}

Str db_PointClassification::GetName() const {
    if (!InRange(value)) {
        QZ_FAIL("0");
        return Str();
    }
    return Str(Row(value).name);
}

void db_PointClassification::SetFromName(const Str& name) {
    if (name.IsEmpty()) return;
    for (int v = MinValue; v <= MaxValue; ++v) {
        if (name == Row(v).name) {
            value = v;
            return;
        }
    }
    value = None;
}

int db_PointClassification::ToClassCode(bool flag) const {
    QZ_ASSERT_TEXT(value != None, "this->value != None");
    if (value == None || !InRange(value)) {
        QZ_FAIL("0");
        return flag ? 0 : 8;
    }
    return Row(value).classCode + (flag ? 0 : 8);
}

int db_PointClassification::ToBasicClassCode(bool flag) const {
    QZ_ASSERT_TEXT(value != None, "this->value != None");
    if (value == None || !InRange(value)) {
        QZ_FAIL("0");
        return flag ? 0 : 8;
    }
    return Row(value).basicClassCode + (flag ? 0 : 8);
}
