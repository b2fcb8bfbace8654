#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "records/dbRecordFactory.h"
#include "records/dbRecordFields.h"
#include "records/entities.h"
#include "records/jobheader.h"
#include "records/measurements.h"
#include "record_bytes.h"
#include "support/recording_environment.h"

namespace {

using recbytes::Builder;
using recbytes::ReadWhole;
using recbytes::Written;

// Every type code, 0 to 161, has its class.
const std::set<int> kBuilt = {0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,
                               14,  15,  16,  17,  18,  19,  20,  22,  23,  24,  25,  26,  27,  28,  29,  30,  31,  32,  33,
                               34,  35,  36,  37,  38,  39,  40,  41,  42,  43,  44,  45,  46,  47,
                               48,  49,  50,  51,  52,  53,  54,  55,  56,  57,  58,  59,  60,  61,
                               62,  63,  64,  65,  68,  76,  77,  78,  79,  80,  81,  82,  83,  84,
                               85,  87,  88,  89,  90,  91,  92,  93,  94,  95,  96,  97,  98,  99,
                              100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 111, 112, 113, 114, 115, 116, 117, 118,
                              119, 120, 121, 122, 123, 124, 125, 126, 127, 128, 129, 130, 131, 132, 133, 134, 135, 136,
                              137, 138, 139, 140, 141, 142, 143, 144, 145, 146, 147, 148, 149, 150,
                              151, 152, 153, 154, 155, 156, 157, 158, 159, 160, 161,
                              21,  66,  67,  69,  70,  71,  72,  73,  74,  75,  86,  110};

// The classes whose IsEqual answers false even for a record and its clone.
bool NeverEqual(int type) {
    return type == DATABASE_ObservationRecord || type == DATABASE_AreaRecord ||
           type == DATABASE_SubdividedAreaRecord || type == DATABASE_TraverseHeaderRecord ||
           type == DATABASE_ForeignRecord;
}

// The report a default record of the type gives on every write: its empty name.
const char* NameCheck(int type) {
    switch (type) {
        case DATABASE_ObservationRecord: return "this->PointName.Length() > 0";
        case DATABASE_LineRecord: return "this->LineId.Length() > 0";
        case DATABASE_ArcRecord: return "this->ArcName.Length() > 0";
        case DATABASE_TraverseHeaderRecord: return "this->TraverseName.Length() > 0";
        case DATABASE_StationRecord: return "this->StationName.Length() > 0";
        default: return nullptr;
    }
}

TEST(RecordFactory, MakesExactlyTheRegisteredTypesEachAnsweringItsCode) {
    std::set<int> made;
    for (int t = 0; t <= DATABASE_AllRecords - 1; ++t) {
        std::unique_ptr<dbRecord_Class> record(dbRecord_Create(t));
        EXPECT_EQ(record != nullptr, dbRecord_CanCreate(t)) << t;
        if (!record) continue;
        made.insert(t);
        EXPECT_EQ(record->GetType(), t) << "registered class answers another code";
    }
    EXPECT_EQ(made, kBuilt);
    EXPECT_EQ(made.size(), static_cast<size_t>(DATABASE_AllRecords));
    for (int t : {162, 163, -1, 1000, 65536}) {
        EXPECT_EQ(dbRecord_Create(t), nullptr) << t;
        EXPECT_FALSE(dbRecord_CanCreate(t));
    }
}

// Create, write the defaults, read them back, write again: the same bytes. A clone
// carries the id and timestamp and compares equal where the class compares fields.
TEST(RecordFactory, EveryBuiltTypeRoundTripsAndClones) {
    for (int t : kBuilt) {
        SCOPED_TRACE(t);
        RecordingEnvironment env;
        std::unique_ptr<dbRecord_Class> record(dbRecord_Create(t));
        ASSERT_NE(record, nullptr);
        record->SetRecordId(7);
        record->SetTimeStamp(123.5);
        const auto first = Written(*record);
        std::unique_ptr<dbRecord_Class> back(dbRecord_Create(t));
        ASSERT_TRUE(ReadWhole(*back, first));
        EXPECT_EQ(Written(*back), first);
        EXPECT_EQ(back->GetRecordId(), 7);
        EXPECT_EQ(back->GetTimeStamp(), 123.5);

        std::unique_ptr<dbRecord_Class> clone(record->Clone());
        ASSERT_NE(clone, nullptr);
        EXPECT_EQ(clone->GetType(), t);
        EXPECT_EQ(clone->GetRecordId(), 7);
        EXPECT_EQ(clone->GetTimeStamp(), 123.5);
        EXPECT_EQ(clone->IsEqual(*record), !NeverEqual(t));
        EXPECT_EQ(Written(*clone), first);

        // Besides the empty name, only comparing may report: "0" for the classes
        // that compare nothing, "!\"Meaningless\"" for an observation.
        const char* nameCheck = NameCheck(t);
        int nameReports = 0;
        for (const AssertionReport& r : env.assertions) {
            EXPECT_EQ(r.module, "Library/dbRecord");
            if (nameCheck && r.expression == nameCheck) {
                ++nameReports;
                continue;
            }
            EXPECT_TRUE(r.expression == "0" || (t == 2 && r.expression == "!\"Meaningless\""))
                << r.expression;
        }
        EXPECT_EQ(nameReports, nameCheck ? 3 : 0);
    }
}

TEST(RecordFactory, CopyFieldsCopiesHeaderAndFields) {
    db_Grid a;
    a.SetRecordId(5);
    a.SetTimeStamp(9.0);
    a.SetNotes("n");
    a.Grid = coord_CorrectedGrid(1, 2, 3);
    db_Grid b;
    EXPECT_EQ(&dbRecord_CopyFields(a, b), &b);
    EXPECT_EQ(Written(b), Written(a));

    RecordingEnvironment env;
    EXPECT_EQ(&dbRecord_CopyFields(a, a), &a);
    EXPECT_EQ(a.Grid.North, 1.0);
    EXPECT_TRUE(env.assertions.empty());
}

TEST(RecordFactory, CopyFieldsAcrossTypesReportsAndLeavesDestUnchanged) {
    RecordingEnvironment env;
    db_Grid grid;
    grid.SetRecordId(5);
    db_WGS84 dest;
    dest.SetRecordId(8);
    dest.WGS84.Lat = 0.5;
    const auto before = Written(dest);
    EXPECT_EQ(&dbRecord_CopyFields(grid, dest), &dest);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"Source.GetType () == Dest.GetType()"});
    EXPECT_EQ(Written(dest), before);
}

// A record that answers a code the factory makes nothing for (as the radio and
// survey bases do before their derived part is built): cloning it gives null.
template <database_RecordType Code>
class NoType : public dbRecord_Body<NoType<Code>> {
public:
    static constexpr database_RecordType RecordType = Code;
    using Fields = dbfield_List<>;
};

TEST(RecordFactory, CloneOfATypeTheFactoryCannotMakeIsNull) {
    NoType<DATABASE_NoRecordType> none;
    NoType<DATABASE_AllRecords> all;
    EXPECT_EQ(none.Clone(), nullptr);
    EXPECT_EQ(all.Clone(), nullptr);
}

// An observation's linked measurement survives as a clone in the copy.
TEST(RecordFactory, CloneOfAnObservationCarriesItsOwnMeasurement) {
    db_Observation obs;
    obs.PointName = "P1";
    db_WGS84 m;
    m.WGS84.Lat = 0.25;
    obs.AttachMeasurement(&m);
    std::unique_ptr<dbRecord_Class> clone(obs.Clone());
    db_Observation* copy = db_Observation::Cast(clone.get());
    ASSERT_NE(copy, nullptr);
    ASSERT_NE(copy->GetMeasurement(), nullptr);
    EXPECT_NE(copy->GetMeasurement(), obs.GetMeasurement());
    EXPECT_EQ(db_WGS84::Cast(copy->GetMeasurement())->WGS84.Lat, 0.25);
}

}  // namespace
