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

// The types whose classes are built so far. Extend the set as families register.
const std::set<int> kBuilt = {0,   1,   2,   3,   4,   8,   9,   10,  11,  12,  13,  14,  15,  16,
                              17,  18,  19,  120, 121, 122, 123, 124, 125, 126, 130, 157, 158, 159,
                              160, 161};

// The classes whose IsEqual does not follow the common rule.
bool NeverEqual(int type) { return type == DATABASE_ObservationRecord; }

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
        const auto first = WrittenBytes(*record);
        std::unique_ptr<dbRecord_Class> back(dbRecord_Create(t));
        ASSERT_TRUE(ReadBytes(*back, first));
        EXPECT_EQ(WrittenBytes(*back), first);
        EXPECT_EQ(back->GetRecordId(), 7);
        EXPECT_EQ(back->GetTimeStamp(), 123.5);

        std::unique_ptr<dbRecord_Class> clone(record->Clone());
        ASSERT_NE(clone, nullptr);
        EXPECT_EQ(clone->GetType(), t);
        EXPECT_EQ(clone->GetRecordId(), 7);
        EXPECT_EQ(clone->GetTimeStamp(), 123.5);
        EXPECT_EQ(clone->IsEqual(*record), !NeverEqual(t));
        EXPECT_EQ(WrittenBytes(*clone), first);

        // An empty name is reported on every write of a point, line or arc.
        const char* nameCheck = t == 2   ? "this->PointName.Length() > 0"
                                : t == 3 ? "this->LineId.Length() > 0"
                                : t == 4 ? "this->ArcName.Length() > 0"
                                         : nullptr;
        for (const AssertionReport& r : env.assertions) {
            EXPECT_EQ(r.module, "Library/dbRecord");
            if (nameCheck && r.expression == nameCheck) continue;
            // The classes that compare nothing report "0"; an observation reports
            // that comparing it is meaningless.
            EXPECT_TRUE(r.expression == "0" || (t == 2 && r.expression == "!\"Meaningless\""))
                << r.expression;
        }
        if (nameCheck) {
            EXPECT_EQ(std::count_if(env.assertions.begin(), env.assertions.end(),
                                    [&](const AssertionReport& r) { return r.expression == nameCheck; }),
                      3);
        }
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
    EXPECT_EQ(WrittenBytes(b), WrittenBytes(a));

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
    const auto before = WrittenBytes(dest);
    EXPECT_EQ(&dbRecord_CopyFields(grid, dest), &dest);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"Source.GetType () == Dest.GetType()"});
    EXPECT_EQ(WrittenBytes(dest), before);
}

// A class that poses as a type with no factory entry: cloning it gives null.
class Unregistered : public dbRecord_Body<Unregistered> {
public:
    static constexpr database_RecordType RecordType = DATABASE_PrecisionRecord;
    using Fields = dbfield_List<>;
};

TEST(RecordFactory, CloneOfATypeTheFactoryCannotMakeIsNull) {
    ASSERT_FALSE(dbRecord_CanCreate(DATABASE_PrecisionRecord));
    Unregistered record;
    EXPECT_EQ(record.Clone(), nullptr);
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
