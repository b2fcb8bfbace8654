#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "records/editactions.h"
#include "records/lists.h"
#include "record_bytes.h"
#include "support/allocation_watch.h"
#include "support/recording_environment.h"

namespace {

using namespace recbytes;

dbrecord_AttachedFile* File(const char* name, int coordType, const char* transform) {
    auto* file = new dbrecord_AttachedFile(name);
    file->CoordType = coordType;
    file->LocalReferenceTransform = transform;
    return file;
}

TEST(FileLists, AttachedFilesWriteOnlyOccupiedSlotsInOrder) {
    db_AttachedFilesList r;
    FixHeader(r);
    r.Files.Set(200, File("b.dxf", -3, "T"));
    r.Files.Set(3, File("a.csv", 4, ""));
    r.FileCount = 2;
    const Bytes expected = Builder()
                               .Header(117, 7, 1000.5)
                               .U32(2)
                               .I32(3).Text("a.csv").I16(4).Text("")
                               .I32(200).Text("b.dxf").I16(-3).Text("T")
                               .b;
    EXPECT_EQ(Written(r), expected);

    db_AttachedFilesList back;
    back.Files.Set(9, File("old", 4, ""));
    ASSERT_TRUE(ReadWhole(back, expected));
    EXPECT_EQ(back.FileCount, 2u);
    EXPECT_EQ(back.Files.Occupied(), 2);
    ASSERT_NE(back.Files.Get(200), nullptr);
    EXPECT_EQ(back.Files.Get(200)->CoordType, -3);  // i16 sign-extended
    EXPECT_EQ(back.Files.Get(9), nullptr);
    EXPECT_TRUE(back.IsEqual(r));

    // The same file in another slot is another list; no report for another type.
    RecordingEnvironment env;
    db_AttachedFilesList moved;
    moved.Files.Set(4, File("a.csv", 4, ""));
    moved.Files.Set(200, File("b.dxf", -3, "T"));
    moved.FileCount = 2;
    EXPECT_FALSE(moved.IsEqual(r));
    db_BackgroundFileList other;
    EXPECT_FALSE(r.IsEqual(other));
    EXPECT_TRUE(env.Expressions().empty());

    // An empty list: the header and a zero count.
    db_AttachedFilesList empty;
    FixHeader(empty);
    EXPECT_EQ(Written(empty), Builder().Header(117, 7, 1000.5).U32(0).b);
}

TEST(FileLists, CountDisagreeingWithTheSlotsIsReportedAndWrittenAsHeld) {
    RecordingEnvironment env;
    db_AttachedFilesList files;
    FixHeader(files);
    files.Files.Set(0, File("x", 4, ""));
    files.FileCount = 3;
    EXPECT_EQ(Written(files), Builder().Header(117, 7, 1000.5).U32(3).I32(0).Text("x").I16(4).Text("").b);
    db_BackgroundFileList names;
    FixHeader(names);
    names.Filenames.Set(5, new Str("bg.tif"));
    EXPECT_EQ(Written(names), Builder().Header(119, 7, 1000.5).U32(0).I32(5).Text("bg.tif").b);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"NumberOfStringsWrittenOut == FileCount", "fileCount == 0"}));
}

TEST(FileLists, BackgroundFilesRoundTripAndCopyWithTheHeader) {
    db_BackgroundFileList r;
    FixHeader(r, 12, 55.5);
    r.SetNotes("n");
    r.Filenames.Set(0, new Str("a.tif"));
    r.Filenames.Set(255, new Str("z.tif"));
    r.FilenameCount = 2;
    const Bytes bytes = Written(r);
    EXPECT_EQ(bytes, Builder().Header(119, 12, 55.5, "n").U32(2).I32(0).Text("a.tif").I32(255).Text("z.tif").b);

    db_BackgroundFileList copy(r);
    EXPECT_EQ(copy.GetRecordId(), DBID(12));
    EXPECT_EQ(copy.GetTimeStamp(), 55.5);
    EXPECT_EQ(copy.GetNotes(), "n");
    EXPECT_EQ(Written(copy), bytes);
    EXPECT_NE(copy.Filenames.Get(0), r.Filenames.Get(0));  // deep

    // Compares nothing: reports and answers true.
    RecordingEnvironment env;
    db_BackgroundFileList other;
    EXPECT_TRUE(other.IsEqual(r));
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"0"});
}

// A duplicate slot keeps the later entry; an index outside the table or a count the
// bytes cannot hold makes the record damaged, and nothing is sized from the count.
TEST(FileLists, DamagedSlotTablesReadAsDamaged) {
    const Bytes duplicate =
        Builder().Header(119, 7, 1000.5).U32(2).I32(4).Text("first").I32(4).Text("second").b;
    db_BackgroundFileList dup;
    ASSERT_TRUE(ReadWhole(dup, duplicate));
    EXPECT_EQ(*dup.Filenames.Get(4), "second");
    EXPECT_EQ(dup.FilenameCount, 1u);  // the occupied slots'

    RecordingEnvironment env;
    AllocationWatch watch;
    const std::vector<Bytes> damaged = {
        Builder().Header(117, 7, 1000.5).U32(1).I32(256).Text("x").I16(4).Text("").b,
        Builder().Header(117, 7, 1000.5).U32(2).I32(1).Text("x").I16(4).Text("").I32(-1).Text("y").I16(4).Text("").b,
        Builder().Header(117, 7, 1000.5).U32(0xFFFFFFFFu).I32(1).Text("x").I16(4).Text("").b,
        Builder().Header(119, 7, 1000.5).U32(1).I32(256).Text("x").b,
        Builder().Header(119, 7, 1000.5).U32(0x40000000u).I32(0).Text("x").b,
        Builder().Header(118, 7, 1000.5).U32(0xFFFFFFFFu).U32(1).U32(2).b,
        Builder().Header(118, 7, 1000.5).U32(3).U32(1).U32(2).b,
    };
    for (const Bytes& bytes : damaged) {
        std::unique_ptr<dbRecord_Class> r(dbRecord_GetTypeInfo(bytes[0]).create());
        EXPECT_FALSE(ReadInto(*r, bytes)) << int(bytes[0]);
        if (auto* files = db_AttachedFilesList::Cast(r.get())) {
            EXPECT_EQ(files->FileCount, static_cast<uint32_t>(files->Files.Occupied()));
        }
    }
    if (AllocationWatch::Available()) {
        EXPECT_LT(watch.LargestBlock(), 4096u);
    }
}

TEST(StakeoutList, ThreeIdsTakeSixteenBytesAndListsAlwaysCompareEqual) {
    db_StakeoutList r;
    FixHeader(r);
    r.Uniques = {DBID(5), DBID(0x01020304), DBID(9)};
    const Bytes header = Builder().Header(118, 7, 1000.5).b;
    const Bytes bytes = Written(r);
    ASSERT_EQ(bytes.size(), header.size() + 16);
    EXPECT_EQ(bytes, Builder().Header(118, 7, 1000.5).U32(3).U32(5).U32(0x01020304).U32(9).b);

    db_StakeoutList back;
    ASSERT_TRUE(ReadWhole(back, bytes));
    EXPECT_EQ(back.Uniques, r.Uniques);
    db_StakeoutList copy(back);
    EXPECT_EQ(copy.Uniques, r.Uniques);

    RecordingEnvironment env;
    db_StakeoutList empty;
    EXPECT_TRUE(empty.IsEqual(r));
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"0"});
}

db_TunnelPointDelta Delta(uint32_t id, double delta) {
    db_TunnelPointDelta p;
    FixHeader(p, id, 20.0 + id);
    p.SetNotes("p");
    p.Observation = DBID(100 + id);
    p.Delta = delta;
    return p;
}

TEST(TunnelLists, WriteOnlyNameAndStationAndGrowTo20ThenDouble) {
    db_TunnelXSPoints list;
    FixHeader(list);
    list.TunnelName = "T1";
    list.Station = 12.5;
    const Bytes bare = Written(list);
    EXPECT_EQ(bare, Builder().Header(139, 7, 1000.5).Text("T1").F64(12.5).b);

    std::vector<int> capacities;
    for (int i = 1; i <= 40; ++i) {
        ASSERT_TRUE(list.Append(Delta(static_cast<uint32_t>(i), i * 0.5)));
        capacities.push_back(list.GetCapacity());
    }
    EXPECT_EQ(capacities[0], 20);
    EXPECT_EQ(capacities[18], 20);  // 19 points
    EXPECT_EQ(capacities[19], 40);  // the 20th Append
    EXPECT_EQ(capacities[38], 40);  // 39 points
    EXPECT_EQ(capacities[39], 80);
    EXPECT_EQ(list.GetCount(), 40);
    EXPECT_EQ(Written(list), bare);

    // The list owns clones carrying the points' ids, timestamps and notes.
    const auto* third = db_TunnelPointDelta::Cast(list.GetPoint(2));
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->GetRecordId(), DBID(3));
    EXPECT_EQ(third->GetTimeStamp(), 23.0);
    EXPECT_EQ(third->GetNotes(), "p");
    EXPECT_EQ(third->Delta, 1.5);

    // Copies clone every point in order; assignment releases the old points first.
    db_TunnelXSPoints copy(list);
    EXPECT_EQ(copy.GetCount(), 40);
    EXPECT_NE(copy.GetPoint(0), list.GetPoint(0));
    EXPECT_EQ(Written(*copy.GetPoint(39)), Written(*list.GetPoint(39)));
    db_TunnelXSPoints small;
    small.Append(Delta(1, 1.0));
    copy = small;
    EXPECT_EQ(copy.GetCount(), 1);
    EXPECT_EQ(copy.GetCapacity(), 20);
    std::unique_ptr<dbRecord_Class> clone(list.Clone());
    EXPECT_EQ(db_TunnelList::Cast(clone.get())->GetCount(), 40);
}

TEST(TunnelLists, ComparedByTypeNameAndStationOnly) {
    RecordingEnvironment env;
    db_TunnelXSSetoutPoints a, b;
    a.TunnelName = b.TunnelName = "T";
    a.Station = b.Station = 3.0;
    db_TunnelSetoutPoint point;
    a.Append(point);
    EXPECT_TRUE(a.IsEqual(b));
    b.Station = 3.5;
    EXPECT_FALSE(a.IsEqual(b));
    db_TunnelXSPoints measured;
    measured.TunnelName = "T";
    measured.Station = 3.0;
    EXPECT_FALSE(measured.IsEqual(a));
    EXPECT_FALSE(a.IsEqual(measured));

    // A point of the other kind is refused; an index outside the points is reported.
    EXPECT_FALSE(a.Append(Delta(1, 1.0)));
    EXPECT_EQ(a.GetCount(), 1);
    EXPECT_EQ(a.GetPoint(1), nullptr);
    EXPECT_EQ(a.GetPoint(-1), nullptr);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"point.GetType() == GetPointType()", "index < this->Count",
                                                           "index >= 0"}));
}

TEST(TunnelPoints, LayoutsEqualityAndTheIdEdit) {
    db_TunnelPointDelta d = Delta(7, -2.0);
    d.SetNotes("");
    d.SetTimeStamp(1000.5);
    d.HorizontalOffset = 1.0;
    EXPECT_EQ(Written(d), Builder().Header(141, 7, 1000.5).U32(107).F64(-2.0).F64(1.0).F64(Null).F64(Null).b);

    db_TunnelSetoutPoint s;
    FixHeader(s);
    s.Observation = DBID(0xFFFFFFFFu);
    s.DeltaStation = 4.0;
    const Bytes sb = Written(s);
    EXPECT_EQ(sb, Builder().Header(153, 7, 1000.5).I32(-1).F64(Null).F64(Null).F64(4.0).b);
    db_TunnelSetoutPoint back;
    ASSERT_TRUE(ReadWhole(back, sb));
    EXPECT_TRUE(back.IsEqual(s));

    // The id edit changes only Observation.
    db_TunnelPointDelta edited = d;
    edited.ApplyDBIDAction(db_DBID(DBID(42)));
    EXPECT_EQ(edited.Observation, DBID(42));
    edited.Observation = d.Observation;
    EXPECT_EQ(Written(edited), Written(d));

    RecordingEnvironment env;
    EXPECT_FALSE(d.IsEqual(s));
    EXPECT_TRUE(env.Expressions().empty());
}

TEST(TunnelSettings, DiskOrderDefaultsAndEquality) {
    db_TunnelSettings r;
    FixHeader(r, 3, 2.0);
    r.ScanInterval = 1.0;
    r.ScanEDMTimeout = 2.0;
    r.ScanStationTolerance = 3.0;
    r.ScanOverbreakTolerance = 4.0;
    r.ScanUnderbreakTolerance = 5.0;
    r.TunnelName = "Main";
    r.ScanIterations = 6;
    r.SetoutIterations = 7;
    r.SetoutEDMTimeout = 8.0;
    const Bytes bytes = Written(r);
    EXPECT_EQ(bytes, Builder()
                         .Header(142, 3, 2.0)
                         .F64(3.0).F64(4.0).F64(5.0).F64(1.0).F64(2.0).Text("Main")
                         .F64(0.1).I32(7).I32(6).F64(8.0)
                         .b);
    db_TunnelSettings back;
    ASSERT_TRUE(ReadWhole(back, bytes));
    EXPECT_TRUE(back.IsEqual(r));
    db_TunnelSettings copy(r);
    EXPECT_EQ(copy.GetRecordId(), DBID(3));
    EXPECT_EQ(Written(copy), bytes);

    RecordingEnvironment env;
    EXPECT_TRUE(db_TunnelSettings().IsEqual(db_TunnelSettings()));
    back.TunnelName = "main";
    EXPECT_FALSE(back.IsEqual(r));
    EXPECT_FALSE(r.IsEqual(db_TunnelXSPoints()));
    EXPECT_TRUE(env.Expressions().empty());
}

}  // namespace
