// The descriptions and the feature list of points, lines and arcs, which a record
// holds only while it has any.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/memcheck.h"
#include "records/entities.h"
#include "records/recordheap.h"
#include "record_bytes.h"

namespace {

using recbytes::Bytes;
using recbytes::ReadWhole;
using recbytes::Written;

std::unique_ptr<dbRecordWithFeatures_Class> NewEntity(database_RecordType type) {
    dbRecordWithFeatures_Class* record = nullptr;
    if (type == DATABASE_ObservationRecord) {
        auto* obs = new db_Observation;
        obs->PointName = "P";
        record = obs;
    } else if (type == DATABASE_LineRecord) {
        auto* line = new db_Line;
        line->LineId = "L";
        record = line;
    } else {
        auto* arc = new db_Arc;
        arc->ArcName = "A";
        record = arc;
    }
    record->SetRecordId(5);
    record->SetTimeStamp(0.0);
    return std::unique_ptr<dbRecordWithFeatures_Class>(record);
}

// The parts of a record as they stand, to compare after a copy, an assignment or a
// read. Descriptions are kept as their lengths and bytes, zero bytes included.
std::string Parts(const dbRecordWithFeatures_Class& record) {
    const dbrecord_Descriptions& d = record.GetDescriptions();
    std::string parts(d.Description1.Data(), static_cast<size_t>(d.Description1.Length()));
    parts += '|';
    parts.append(d.Description2.Data(), static_cast<size_t>(d.Description2.Length()));
    parts += '|';
    parts += record.GetFeatureCodes().Data();
    for (int i = 0; i < record.GetFeatureCount(); ++i)
        parts += "|" + std::to_string(record.GetFeatures().GetAt(i).GetAttributes().Count());
    return parts;
}

struct PartsCase {
    const char* what;
    dbrecord_Descriptions descriptions;
    const char* codes;
};

const PartsCase kParts[] = {
    {"none", {"", ""}, ""},
    {"first description", {"kerb", ""}, ""},
    {"second description, long", {"", "a description too long to sit inside the text"}, ""},
    {"features", {"", ""}, "TREE12 POLE"},
    {"both", {"d1", "d2"}, "FENCE"},
};

const database_RecordType kEntityTypes[] = {DATABASE_ObservationRecord, DATABASE_LineRecord,
                                            DATABASE_ArcRecord};

void Give(dbRecordWithFeatures_Class& record, const PartsCase& c) {
    record.SetDescriptions(c.descriptions);
    record.SetFeatureCodes(c.codes, true);
    if (record.GetFeatureCount() > 0) record.GetFeatures().GetAt(0).GetAttributes().AddText("Kind", "Wood");
}

// A record that already holds parts other than any case's, so that an assignment has
// to replace or drop them.
void GiveOthers(dbRecordWithFeatures_Class& record) {
    record.SetDescriptions({"old one", "old two"});
    record.SetFeatureCodes("OLD1 OLD2 OLD3", false);
}

TEST(EntityParts, ReadCopyAndAssignmentKeepThemApart) {
    for (database_RecordType type : kEntityTypes) {
        for (const PartsCase& c : kParts) {
            SCOPED_TRACE(std::string(c.what) + ", type " + std::to_string(type));
            auto record = NewEntity(type);
            Give(*record, c);
            const std::string parts = Parts(*record);
            const Bytes bytes = Written(*record);

            auto back = NewEntity(type);
            GiveOthers(*back);
            ASSERT_TRUE(ReadWhole(*back, bytes));
            EXPECT_EQ(Parts(*back), parts);
            EXPECT_EQ(Written(*back), bytes);

            std::unique_ptr<dbRecord_Class> copy(record->Clone());
            auto fresh = NewEntity(type);
            auto replaced = NewEntity(type);
            GiveOthers(*replaced);
            ASSERT_TRUE(fresh->AssignFrom(*record));
            ASSERT_TRUE(replaced->AssignFrom(*record));

            // Changing or destroying the source leaves every copy as it was.
            GiveOthers(*record);
            record.reset();
            for (const dbRecord_Class* each : {copy.get(), static_cast<dbRecord_Class*>(fresh.get()),
                                               static_cast<dbRecord_Class*>(replaced.get())}) {
                EXPECT_EQ(Parts(*dbRecordWithFeatures_Class::Cast(each)), parts);
                EXPECT_EQ(Written(*each), bytes);
            }

            // An update takes the descriptions and keeps the features.
            auto updated = NewEntity(type);
            GiveOthers(*updated);
            updated->UpdateFrom(*back);
            EXPECT_EQ(updated->GetDescriptions().Description1, back->GetDescriptions().Description1);
            EXPECT_EQ(updated->GetDescriptions().Description2, back->GetDescriptions().Description2);
            EXPECT_EQ(updated->GetFeatureCodes(), "OLD1 OLD2 OLD3");
        }
    }
}

// Length, not the first byte, tells whether a description is there: a text that
// starts with a zero byte is kept and copied as it is.
TEST(EntityParts, ADescriptionStartingWithAZeroByteIsKept) {
    Str zeroLed;
    zeroLed.AssignBytes("\0x", 2);
    db_Line line;
    line.LineId = "L";
    line.SetDescriptions({"", zeroLed});
    ASSERT_EQ(line.GetDescriptions().Description2.Length(), 2);

    db_Line copy(line);
    db_Line assigned;
    assigned = line;
    db_Line updated;
    updated.LineId = "L";
    updated.UpdateFrom(line);
    for (const db_Line* each : {&copy, &assigned, &updated}) {
        const Str& kept = each->GetDescriptions().Description2;
        ASSERT_EQ(kept.Length(), 2);
        EXPECT_EQ(std::string(kept.Data(), 2), std::string("\0x", 2));
        EXPECT_TRUE(each->IsEqual(line));
    }
}

// Nothing is made for empty parts, and what was made goes back when they empty.
TEST(EntityParts, EmptyPartsTakeNoSpace) {
    if (platform_MemoryChecksActive()) GTEST_SKIP() << "the memory checker's heap counts no space";
    db_Arc arc;
    arc.ArcName = "A";
    db_Arc other;
    other.ArcName = "B";
    const std::size_t before = dbRecord_Heap::LiveCount();
    arc.SetDescriptions({"", ""});
    arc.SetFeatureCodes("", false);
    arc.UpdateFrom(other);
    db_Arc copy(arc);
    ASSERT_TRUE(copy.AssignFrom(other));
    ASSERT_TRUE(ReadWhole(copy, Written(arc)));
    EXPECT_EQ(dbRecord_Heap::LiveCount(), before);

    arc.SetDescriptions({"d", ""});
    arc.SetFeatureCodes("TREE", false);
    EXPECT_GT(dbRecord_Heap::LiveCount(), before);
    arc.SetDescriptions(dbrecord_Descriptions());
    arc.ClearFeatures();
    EXPECT_EQ(dbRecord_Heap::LiveCount(), before);

    arc.SetFeatureCodes("TREE", false);
    arc.GetFeatures().Remove(arc.GetFeatures().GetAt(0));
    EXPECT_EQ(dbRecord_Heap::LiveCount(), before);

    arc.SetDescriptions({"d", "e"});
    arc.SetFeatureCodes("TREE", false);
    ASSERT_TRUE(arc.AssignFrom(other));
    EXPECT_EQ(dbRecord_Heap::LiveCount(), before);
}

}  // namespace
