#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "records/dbRecordFactory.h"
#include "records/imaging.h"
#include "records/jobheader.h"
#include "record_bytes.h"
#include "support/recording_environment.h"

namespace {

using recbytes::Builder;
using recbytes::Bytes;
using recbytes::FixHeader;
using recbytes::Null;
using recbytes::ReadInto;
using recbytes::ReadWhole;
using recbytes::Written;

Bytes BlockOf(const db_Foreign& r) {
    return r.GetData() ? Bytes(r.GetData(), r.GetData() + r.GetLength()) : Bytes();
}

TEST(ForeignRecord, LayoutIsNameLengthAndBytes) {
    db_Foreign empty;
    FixHeader(empty);
    EXPECT_EQ(Written(empty), Builder().Header(137, 7, 1000.5).Text("").U32(0).b);

    const uint8_t three[] = {0x00, 0xFF, 0x41};
    db_Foreign r;
    FixHeader(r);
    r.SetNotes("n");
    r.Name = "blob";
    r.SetData(three, 3);
    const Bytes expected = Builder().Header(137, 7, 1000.5, "n").Text("blob").U32(3).U8(0x00).U8(0xFF).U8(0x41).b;
    EXPECT_EQ(Written(r), expected);

    // Read back: the same bytes in a block of its own.
    db_Foreign back;
    ASSERT_TRUE(ReadWhole(back, expected));
    EXPECT_EQ(back.Name, "blob");
    EXPECT_EQ(back.GetNotes(), "n");
    EXPECT_EQ(back.GetLength(), 3u);
    EXPECT_EQ(BlockOf(back), Bytes(three, three + 3));
    EXPECT_NE(back.GetData(), r.GetData());
    EXPECT_FALSE(back.IsLent());
    EXPECT_EQ(Written(back), expected);

    // An empty block reads back as none.
    db_Foreign none;
    ASSERT_TRUE(ReadWhole(none, Written(empty)));
    EXPECT_EQ(none.GetLength(), 0u);
    EXPECT_EQ(none.GetData(), nullptr);
}

// A length beyond the record's bytes is a short read caught by the buffer: nothing is
// allocated for it and the record holds no block.
TEST(ForeignRecord, LengthBeyondTheBytesIsDamage) {
    for (uint32_t length : {4u, 1000u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        SCOPED_TRACE(length);
        RecordingEnvironment env;
        const Bytes bytes = Builder().Header(137, 7, 1000.5).Text("x").U32(length).U8(1).U8(2).U8(3).b;
        db_Foreign r;
        r.SetData("old", 3);
        EXPECT_FALSE(ReadInto(r, bytes));
        EXPECT_EQ(r.GetLength(), 0u);
        EXPECT_EQ(r.GetData(), nullptr);
        EXPECT_EQ(env.Expressions(), std::vector<std::string>{"Offset + n <= _DataLength"});
    }
    // Cut inside the length field.
    RecordingEnvironment env;
    Bytes cut = Builder().Header(137, 7, 1000.5).Text("x").U32(3).b;
    cut.resize(cut.size() - 2);
    db_Foreign r;
    EXPECT_FALSE(ReadInto(r, cut));
    EXPECT_EQ(r.GetData(), nullptr);
}

TEST(ForeignRecord, CompareAlwaysReportsAndAnswersFalse) {
    RecordingEnvironment env;
    db_Foreign r;
    db_Note note;
    EXPECT_FALSE(r.IsEqual(r));
    EXPECT_FALSE(r.IsEqual(note));
    ASSERT_EQ(env.assertions.size(), 2u);
    for (const AssertionReport& report : env.assertions) {
        EXPECT_EQ(report.expression, "0");
        EXPECT_EQ(report.module, "Library/dbRecord");
    }
}

// Every way of copying gives a record that owns bytes of its own: destroying or
// changing the source leaves the copy whole.
TEST(ForeignRecord, CopiesAreDeep) {
    const Bytes bytes = {1, 2, 3, 4, 5};
    auto source = std::make_unique<db_Foreign>();
    FixHeader(*source);
    source->Name = "src";
    source->SetData(bytes.data(), 5);

    db_Foreign constructed(*source);
    db_Foreign assigned;
    assigned.SetData("zz", 2);
    assigned = *source;
    std::unique_ptr<dbRecord_Class> clone(source->Clone());
    db_Foreign copied;
    dbRecord_CopyFields(*source, copied);

    std::vector<const db_Foreign*> copies = {&constructed, &assigned, db_Foreign::Cast(clone.get()), &copied};
    for (const db_Foreign* copy : copies) {
        ASSERT_NE(copy, nullptr);
        EXPECT_NE(copy->GetData(), source->GetData());
        EXPECT_FALSE(copy->IsLent());
    }
    const Bytes expected = Written(*source);
    source->SetData("other", 5);
    source.reset();
    for (const db_Foreign* copy : copies) {
        EXPECT_EQ(BlockOf(*copy), bytes);
        EXPECT_EQ(copy->Name, "src");
        EXPECT_EQ(Written(*copy), expected);
    }

    // Self-assignment keeps the block.
    assigned = *&assigned;
    EXPECT_EQ(BlockOf(assigned), bytes);
}

// A lent block is written like an owned one but never freed by the record, whatever
// happens to it: taken back, copied, cloned, assigned over, read over, or destroyed
// still lent. Under AddressSanitizer a free of the lender's bytes fails this test.
TEST(ForeignRecord, LentBlockStaysTheLenders) {
    std::vector<uint8_t> lender = {9, 8, 7};
    auto* heapLender = new uint8_t[2]{5, 6};

    {
        db_Foreign r;
        FixHeader(r);
        r.Lend(lender.data(), 3);
        EXPECT_TRUE(r.IsLent());
        EXPECT_EQ(r.GetData(), lender.data());
        EXPECT_EQ(Written(r), Builder().Header(137, 7, 1000.5).Text("").U32(3).U8(9).U8(8).U8(7).b);

        // A clone of a lending record owns a copy.
        std::unique_ptr<dbRecord_Class> clone(r.Clone());
        const db_Foreign* c = db_Foreign::Cast(clone.get());
        ASSERT_NE(c, nullptr);
        EXPECT_NE(c->GetData(), lender.data());
        EXPECT_FALSE(c->IsLent());
        EXPECT_EQ(BlockOf(*c), lender);

        r.TakeBack();
        EXPECT_FALSE(r.IsLent());
        EXPECT_EQ(r.GetLength(), 0u);
        EXPECT_EQ(r.GetData(), nullptr);
    }
    {
        // Replaced by assignment, by reading and by new data: the lender's bytes stay.
        db_Foreign owner;
        owner.SetData("abc", 3);
        db_Foreign a, b, c;
        a.Lend(heapLender, 2);
        a = owner;
        EXPECT_FALSE(a.IsLent());
        b.Lend(heapLender, 2);
        ASSERT_TRUE(ReadWhole(b, Written(owner)));
        c.Lend(heapLender, 2);
        c.SetData("d", 1);
        // Destroyed while still lent.
        db_Foreign forgotten;
        forgotten.Lend(heapLender, 2);
    }
    EXPECT_EQ(heapLender[0], 5);
    EXPECT_EQ(heapLender[1], 6);
    delete[] heapLender;

    // Taking back an owned block changes nothing; lending no bytes leaves none.
    db_Foreign owned;
    owned.SetData("xy", 2);
    owned.TakeBack();
    EXPECT_EQ(owned.GetLength(), 2u);
    owned.Lend(nullptr, 4);
    EXPECT_EQ(owned.GetLength(), 0u);
    EXPECT_FALSE(owned.IsLent());
}

TEST(ImagingRecords, DefaultImageLayoutAndEqualityWithoutTheSourceRectangle) {
    db_Image r;
    FixHeader(r);
    const Bytes bytes = Written(r);
    EXPECT_EQ(bytes, Builder()
                         .Header(132, 7, 1000.5)
                         .U32(0).U32(0).U32(0).U32(0).Text("")
                         .F64(Null).F64(Null)
                         .I32(0).I32(0).I32(0).I32(0).I32(0).I32(0)
                         .b);
    db_Image other = r;
    other.SourceX = 1;
    other.SourceY = -2;
    other.SourceWidth = 640;
    other.SourceHeight = 480;
    EXPECT_TRUE(other.IsEqual(r));
    other.Height = 1;
    EXPECT_FALSE(other.IsEqual(r));

    // Every field in its place.
    db_Image full;
    FixHeader(full);
    full.StationID = DBID(1);
    full.BackBearingID = DBID(2);
    full.CameraID = DBID(3);
    full.PointRecordID = DBID(4);
    full.FileName = "img.jpg";
    full.HorizontalAngle = 0.25;
    full.VerticalAngle = 1.5;
    full.Width = 2048;
    full.Height = 1536;
    full.SourceX = 5;
    full.SourceY = 6;
    full.SourceWidth = 7;
    full.SourceHeight = -8;
    const Bytes fb = Written(full);
    EXPECT_EQ(fb, Builder()
                      .Header(132, 7, 1000.5)
                      .U32(1).U32(2).U32(3).U32(4).Text("img.jpg")
                      .F64(0.25).F64(1.5)
                      .I32(2048).I32(1536).I32(5).I32(6).I32(7).I32(-8)
                      .b);
    db_Image back;
    ASSERT_TRUE(ReadWhole(back, fb));
    EXPECT_EQ(back.SourceHeight, -8);
    EXPECT_EQ(Written(back), fb);
}

TEST(ImagingRecords, FlatLayouts) {
    db_Scanning scan;
    FixHeader(scan);
    scan.StationID = DBID(0x10);
    scan.ScanType = -1;
    scan.ScanMode = 2;
    scan.FileName = "s.pts";
    scan.NumberOfPoints = 0xFFFFFFFFu;
    scan.AtDistance = 3.0;
    EXPECT_EQ(Written(scan), Builder()
                                 .Header(131, 7, 1000.5)
                                 .U32(0x10).U32(0).I16(-1).I16(2).Text("s.pts").U32(0xFFFFFFFFu)
                                 .F64(Null).F64(3.0).F64(Null).F64(Null).F64(Null).F64(Null)
                                 .b);

    db_Panorama pano;
    FixHeader(pano);
    pano.Method = 1;
    pano.Right = 2.0;
    EXPECT_EQ(Written(pano), Builder().Header(134, 7, 1000.5).I16(1).F64(Null).F64(Null).F64(Null).F64(2.0).F64(Null).F64(Null).b);

    // Zeros, not nulls; written north first.
    db_GridStdDeviations sd;
    FixHeader(sd);
    EXPECT_EQ(Written(sd), Builder().Header(136, 7, 1000.5).F64(0).F64(0).F64(0).b);
    sd.StdDev.North = 0.01;
    sd.StdDev.East = 0.02;
    sd.StdDev.Elev = 0.03;
    EXPECT_EQ(Written(sd), Builder().Header(136, 7, 1000.5).F64(0.01).F64(0.02).F64(0.03).b);

    db_TimeZone zone;
    FixHeader(zone);
    const Bytes zb = Written(zone);
    EXPECT_EQ(zb, Builder().Header(138, 7, 1000.5).Text("").F64(Null).b);
    db_TimeZone zback;
    ASSERT_TRUE(ReadWhole(zback, zb));
    EXPECT_TRUE(zback.IsEqual(zone));

    db_ImportDataBegin begin;
    FixHeader(begin);
    begin.Source = "survey.csv";
    EXPECT_EQ(Written(begin), Builder().Header(144, 7, 1000.5).Text("survey.csv").b);
    db_ImportDataEnd end;
    FixHeader(end);
    end.EntitiesImported = 70000;  // the low 16 bits, read back signed
    const Bytes eb = Written(end);
    EXPECT_EQ(eb, Builder().Header(145, 7, 1000.5).I16(70000 - 65536).b);
    db_ImportDataEnd eback;
    ASSERT_TRUE(ReadWhole(eback, eb));
    EXPECT_EQ(eback.EntitiesImported, 70000 - 65536);

    // Another type is reported under the common text.
    RecordingEnvironment env;
    EXPECT_FALSE(zone.IsEqual(begin));
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"this->GetType() == record.GetType ()"});
}

}  // namespace
