#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "foundation/buffer.h"
#include "foundation/kernel/clock.h"
#include "platform/time.h"
#include "records/classification.h"
#include "records/damage.h"
#include "records/dbRecordFields.h"
#include "records/jobheader.h"
#include "support/recording_environment.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Written(const dbRecord_Class& r) {
    WriteBuffer out(ENDIAN_Little);
    r.Write(out);
    return Bytes(out.Data(), out.Data() + out.Length());
}

// Reads bytes into record; returns whether the read found them whole.
bool ReadInto(dbRecord_Class& record, const Bytes& bytes, int* end = nullptr) {
    ReadBuffer in(static_cast<int>(bytes.size()), ENDIAN_Little, bytes.data());
    int offset = 0;
    const bool whole = record.ReadChecked(in, offset);
    if (end) *end = offset;
    return whole;
}

void Append(Bytes& out, std::initializer_list<uint8_t> raw) { out.insert(out.end(), raw); }
void AppendDouble(Bytes& out, double d) {
    uint8_t b[8];
    std::memcpy(b, &d, 8);
    out.insert(out.end(), b, b + 8);
}
void AppendText(Bytes& out, const std::string& s) {
    out.insert(out.end(), s.begin(), s.end());
    out.push_back(0);
}
// The common header: type, id, timestamp, notes.
Bytes Header(int type, uint32_t id, double time, const std::string& notes) {
    Bytes out = {static_cast<uint8_t>(type), static_cast<uint8_t>(type >> 8),
                 static_cast<uint8_t>(id), static_cast<uint8_t>(id >> 8),
                 static_cast<uint8_t>(id >> 16), static_cast<uint8_t>(id >> 24)};
    AppendDouble(out, time);
    AppendText(out, notes);
    return out;
}

// A record class with one field of every codec, used to check the field lists.
struct Point2 {
    double North = 0.0;
    double East = 0.0;
};

constexpr double kSampleTolerance = 1e-5;

class SampleRecord : public dbRecord_Body<SampleRecord> {
public:
    static constexpr database_RecordType RecordType = DATABASE_PrecisionRecord;

    int Mode = -2;
    int Mask = 0xFFFF;
    int Small = 200;
    int Signed8 = -3;
    bool Flag = true;
    int Count = -70000;
    uint32_t Word = 0x89ABCDEF;
    int64_t Big = -1;
    float Single = 1.0f;
    double Value = 1e308;
    Str Text = "ab";
    DBID Ref = 7;
    Str Code = "abcdef";
    Point2 Grid = {1.0, 2.0};  // written east first
    double Ignored = 0.0;
    double Prism = 0.0;
    Str Name = "Name";
    db_PointClassification Classification{db_PointClassification::Control};

    using Fields = dbfield_List<
        dbfield_I16<&SampleRecord::Mode>, dbfield_U16<&SampleRecord::Mask>,
        dbfield_Byte<&SampleRecord::Small>, dbfield_I8<&SampleRecord::Signed8>,
        dbfield_Bool<&SampleRecord::Flag>, dbfield_I32<&SampleRecord::Count>,
        dbfield_U32<&SampleRecord::Word>, dbfield_I64<&SampleRecord::Big>,
        dbfield_F32<&SampleRecord::Single>, dbfield_F64<&SampleRecord::Value>,
        dbfield_String<&SampleRecord::Text>, dbfield_Id<&SampleRecord::Ref>,
        dbfield_Fixed<4, &SampleRecord::Code>, dbfield_F64<&SampleRecord::Grid, &Point2::East>,
        dbfield_F64<&SampleRecord::Grid, &Point2::North>,
        dbfield_NotCompared<dbfield_F64<&SampleRecord::Ignored>>,
        dbfield_Tolerance<dbfield_F64<&SampleRecord::Prism>, kSampleTolerance>,
        dbfield_TextNoCase<dbfield_String<&SampleRecord::Name>>,
        dbfield_Value<&SampleRecord::Classification>>;
};

class SampleLine : public dbRecord_Body<SampleLine, dbRecordWithFeatures_Class> {
public:
    static constexpr database_RecordType RecordType = DATABASE_LineRecord;
    void UpdateFrom(const dbRecordWithFeatures_Class&) override {}

    double Length = 2.0;
    using Fields = dbfield_List<dbfield_F64<&SampleLine::Length>>;
};

class SampleMeasurement : public dbRecord_Body<SampleMeasurement, db_Measurement> {
public:
    static constexpr database_RecordType RecordType = DATABASE_GridRecord;
    coord_Type GetCoordType() const override { return static_cast<coord_Type>(4); }
    using Fields = dbfield_List<>;
};

// A class that spells its type check its own way.
class SampleSpelled : public dbRecord_Body<SampleSpelled> {
public:
    static constexpr database_RecordType RecordType = DATABASE_EchoSounderConfigRecord;
    static constexpr const char* TypeCheckText = "this->GetType () == record.GetType ()";
    using Fields = dbfield_List<>;
};

TEST(RecordFrame, NewRecordIsStampedWithTheCurrentTime) {
    platform_FixTime(1700000000);
    clock_ForgetCachedTime();
    db_Note note;
    EXPECT_EQ(note.GetTimeStamp(), clock_GetTime());
    EXPECT_GT(note.GetTimeStamp(), 1.3e9);  // 2023 is some 43 years after 1980
    EXPECT_EQ(note.GetRecordId(), NODBID);
    EXPECT_EQ(note.GetNotes(), "");
    platform_ReleaseTime();
    clock_ForgetCachedTime();
}

TEST(RecordFrame, NoteWritesTheHeaderAlone) {
    db_Note note;
    note.SetRecordId(5);
    note.SetTimeStamp(1234.5);
    note.SetNotes("abc");
    const Bytes expected = Header(1, 5, 1234.5, "abc");
    ASSERT_EQ(expected.size(), 18u);
    EXPECT_EQ(Written(note), expected);

    db_Note back;
    int end = 0;
    EXPECT_TRUE(ReadInto(back, expected, &end));
    EXPECT_EQ(end, 18);
    EXPECT_EQ(back.GetRecordId(), 5);
    EXPECT_EQ(back.GetTimeStamp(), 1234.5);
    EXPECT_EQ(back.GetNotes(), "abc");
}

TEST(RecordFrame, NullTimestampIsStoredAsItsBits) {
    db_Note note;
    note.SetTimeStamp(1e308);
    const Bytes bytes = Written(note);
    const Bytes nullBits = {0xA0, 0xC8, 0xEB, 0x85, 0xF3, 0xCC, 0xE1, 0x7F};
    EXPECT_EQ(Bytes(bytes.begin() + 6, bytes.begin() + 14), nullBits);
    db_Note back;
    EXPECT_TRUE(ReadInto(back, bytes));
    EXPECT_EQ(back.GetTimeStamp(), 1e308);
}

TEST(RecordFrame, HeaderOfAnotherTypeIsReportedOnceAndStillRead) {
    RecordingEnvironment env;
    db_JobHeader header;
    Bytes bytes = Header(1, 9, 77.0, "n");
    bytes.resize(bytes.size() + 33, 0);
    EXPECT_TRUE(ReadInto(header, bytes));
    EXPECT_EQ(env.Expressions(),
              (std::vector<std::string>{
                  "this->GetType() == (database_RecordType) buffer.GetUInt16 (byteOffset)"}));
    EXPECT_EQ(env.assertions[0].module, "Library/dbRecord");
    EXPECT_EQ(header.GetRecordId(), 9);
    EXPECT_EQ(header.GetTimeStamp(), 77.0);
    EXPECT_EQ(header.GetNotes(), "n");
}

TEST(RecordFrame, FieldListWritesEveryWidthInOrder) {
    SampleRecord r;
    r.SetRecordId(1);
    r.SetTimeStamp(0.0);
    Bytes expected = Header(31, 1, 0.0, "");
    Append(expected, {0xFE, 0xFF, 0xFF, 0xFF, 200, 0xFD, 0x01});
    Append(expected, {0x90, 0xEE, 0xFE, 0xFF, 0xEF, 0xCD, 0xAB, 0x89});
    Append(expected, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x3F});
    Append(expected, {0xA0, 0xC8, 0xEB, 0x85, 0xF3, 0xCC, 0xE1, 0x7F});
    AppendText(expected, "ab");
    Append(expected, {7, 0, 0, 0, 'a', 'b', 'c', 'd'});
    AppendDouble(expected, 2.0);
    AppendDouble(expected, 1.0);
    AppendDouble(expected, 0.0);
    AppendDouble(expected, 0.0);
    AppendText(expected, "Name");
    Append(expected, {0x09, 0x00});
    EXPECT_EQ(Written(r), expected);

    SampleRecord back;
    back.Mode = back.Mask = back.Small = back.Signed8 = back.Count = 0;
    back.Flag = false;
    back.Grid = {};
    int end = 0;
    EXPECT_TRUE(ReadInto(back, expected, &end));
    EXPECT_EQ(end, static_cast<int>(expected.size()));
    EXPECT_EQ(back.Mode, -2);       // i16 sign-extended
    EXPECT_EQ(back.Mask, 0xFFFF);   // u16 zero-extended
    EXPECT_EQ(back.Small, 200);
    EXPECT_EQ(back.Signed8, -3);
    EXPECT_TRUE(back.Flag);
    EXPECT_EQ(back.Count, -70000);
    EXPECT_EQ(back.Code, "abcd");   // cut at its width
    EXPECT_EQ(back.Grid.North, 1.0);
    EXPECT_EQ(back.Grid.East, 2.0);
    EXPECT_EQ(back.Classification.value, 9);
    EXPECT_EQ(Written(back), expected);
}

TEST(RecordFrame, EqualityFollowsTheListWithItsExceptions) {
    SampleRecord a, b;
    b.SetRecordId(3);
    b.SetTimeStamp(5.0);
    b.SetNotes("other");
    b.Ignored = 99.0;          // not compared
    b.Prism = a.Prism + 9e-6;  // within the bound
    b.Name = "NAME";           // case ignored
    EXPECT_TRUE(a.IsEqual(b));

    struct Change {
        const char* what;
        void (*apply)(SampleRecord&);
    } changes[] = {
        {"i16", [](SampleRecord& r) { r.Mode = 1; }},
        {"bool", [](SampleRecord& r) { r.Flag = false; }},
        {"double", [](SampleRecord& r) { r.Value = 0.0; }},
        {"text case", [](SampleRecord& r) { r.Text = "AB"; }},
        {"id", [](SampleRecord& r) { r.Ref = 8; }},
        {"nested component", [](SampleRecord& r) { r.Grid.North = 3.0; }},
        {"tolerance", [](SampleRecord& r) { r.Prism = 1e-5; }},
        {"nested value", [](SampleRecord& r) { r.Classification.value = 0; }},
    };
    for (const Change& c : changes) {
        SampleRecord changed;
        c.apply(changed);
        EXPECT_FALSE(a.IsEqual(changed)) << c.what;
    }
}

TEST(RecordFrame, EqualityAcrossTypesIsReportedAndFalse) {
    RecordingEnvironment env;
    db_Note note;
    db_JobHeader header;
    EXPECT_FALSE(note.IsEqual(header));
    EXPECT_FALSE(header.IsEqual(note));
    SampleRecord sample;
    EXPECT_FALSE(sample.IsEqual(note));
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>(3, "this->GetType() == record.GetType ()")));
    env.Clear();
    SampleSpelled spelled;
    EXPECT_FALSE(spelled.IsEqual(note));
    EXPECT_TRUE(spelled.IsEqual(SampleSpelled()));
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"this->GetType () == record.GetType ()"}));
}

TEST(RecordFrame, CopiesCarryTheHeaderAndEveryField) {
    SampleRecord a;
    a.SetRecordId(11);
    a.SetTimeStamp(42.0);
    a.SetNotes("note");
    a.Text = "changed";
    std::unique_ptr<dbRecord_Class> clone(a.Clone());
    ASSERT_EQ(clone->GetType(), DATABASE_PrecisionRecord);
    EXPECT_EQ(clone->GetRecordId(), 11);
    EXPECT_EQ(clone->GetTimeStamp(), 42.0);
    EXPECT_EQ(clone->GetNotes(), "note");
    EXPECT_TRUE(clone->IsEqual(a));
    EXPECT_EQ(Written(*clone), Written(a));

    SampleRecord target;
    EXPECT_TRUE(target.AssignFrom(a));
    EXPECT_EQ(Written(target), Written(a));

    RecordingEnvironment env;
    db_Note note;
    note.SetNotes("keep");
    EXPECT_FALSE(note.AssignFrom(a));
    EXPECT_EQ(note.GetNotes(), "keep");
    EXPECT_TRUE(env.assertions.empty());
}

TEST(RecordFrame, CastsTestTheTypeCode) {
    db_Note note;
    db_JobHeader header;
    SampleLine line;
    EXPECT_EQ(db_Note::Cast(&header), nullptr);
    EXPECT_EQ(db_Note::Cast(static_cast<dbRecord_Class*>(nullptr)), nullptr);
    EXPECT_EQ(db_Note::Cast(&note), &note);
    EXPECT_EQ(db_JobHeader::Cast(&header), &header);
    EXPECT_EQ(dbRecordWithFeatures_Class::Cast(&line), &line);
    EXPECT_EQ(dbRecordWithFeatures_Class::Cast(&note), nullptr);
    EXPECT_EQ(dbRecordWithFeatures_Class::Cast(static_cast<dbRecord_Class*>(nullptr)), nullptr);

    SampleMeasurement measurement;
    EXPECT_TRUE(measurement.IsMeasurement());
    EXPECT_EQ(db_Measurement::Cast(&measurement), &measurement);
    EXPECT_EQ(db_Measurement::Cast(&note), nullptr);
    EXPECT_EQ(db_Measurement::Cast(static_cast<dbRecord_Class*>(nullptr)), nullptr);
}

TEST(RecordFrame, BaseAnswersAndEditsItDoesNotTake) {
    RecordingEnvironment env;
    db_Note note;
    EXPECT_EQ(note.GetName(), "");
    EXPECT_FALSE(note.IsMeasurement());
    EXPECT_FALSE(note.IsDeleted());
    EXPECT_FALSE(note.IsPersisted());
    EXPECT_FALSE(note.IsDefaultRequired());
    EXPECT_FALSE(note.InvalidatesPositions());
    EXPECT_EQ(note.FillUnsetFrom(note), nullptr);
    EXPECT_TRUE(env.assertions.empty());
}

TEST(RecordFrame, NoteLines) {
    struct Case {
        std::string notes;
        std::vector<std::string> lines;
    } cases[] = {
        {"a\r\nb", {"a", "b"}},
        {"a\n\rb\n", {"a", "b"}},
        {"a\r\rb", {"a", "", "b"}},
        {"", {}},
        {"\r", {""}},
        {"a", {"a"}},
        {"a\n\n", {"a", ""}},
        {"one\ntwo\rthree", {"one", "two", "three"}},
    };
    for (const Case& c : cases) {
        db_Note note;
        note.SetNotes(c.notes.c_str());
        StrArray lines = note.GetNoteLines();
        std::vector<std::string> got;
        for (int i = 0; i < lines.Count(); ++i) got.push_back(lines[i].Data());
        EXPECT_EQ(got, c.lines) << c.notes;
    }
}

TEST(RecordFrame, Descriptions) {
    RecordingEnvironment env;
    dbrecord_Descriptions d;
    EXPECT_FALSE(d.IsSet());
    d.Description2 = "two";
    EXPECT_TRUE(d.IsSet());
    EXPECT_EQ(d.Get(2), "two");
    EXPECT_EQ(d.Get(3), "");
    EXPECT_EQ(d.GetPtr(1), &d.Description1);
    EXPECT_EQ(d.GetPtr(0), nullptr);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"false"}));
    d.Description1 = Str("\0x", 2);  // a first zero byte counts as empty
    d.Description2 = "";
    EXPECT_FALSE(d.IsSet());
}

TEST(FeatureCodedRecord, WritesTheFeaturePartFirst) {
    SampleLine line;
    line.SetRecordId(2);
    line.SetTimeStamp(0.0);
    Bytes expected = Header(3, 2, 0.0, "");
    Append(expected, {0, 0, 0, 0, 0, 0});  // no features, two empty descriptions
    AppendDouble(expected, 2.0);
    EXPECT_EQ(Written(line), expected);

    line.SetFeatureCodes("TREE12 POLE", true);
    line.GetFeatures().GetAt(1).GetAttributes().AddText("Kind", "Wood");
    line.SetDescriptions({"d1", "d2"});
    line.Length = 5.0;
    SampleLine back;
    int end = 0;
    const Bytes bytes = Written(line);
    EXPECT_TRUE(ReadInto(back, bytes, &end));
    EXPECT_EQ(end, static_cast<int>(bytes.size()));
    EXPECT_EQ(back.GetFeatureCodes(), "TREE12 POLE");
    EXPECT_EQ(back.GetFeatureCount(), 2);
    EXPECT_TRUE(back.GetFeatures().IsEqual(line.GetFeatures()));
    EXPECT_TRUE(back.GetDescriptions().IsEqual(line.GetDescriptions()));
    EXPECT_EQ(back.Length, 5.0);
    EXPECT_EQ(Written(back), bytes);

    // The descriptions come after the features on disk.
    const std::string tail(bytes.end() - 14, bytes.end() - 8);
    EXPECT_EQ(tail, std::string("d1\0d2\0", 6));
}

TEST(FeatureCodedRecord, FeatureOperations) {
    SampleLine line;
    line.SetFeatureCodes("TREE POLE", false);
    line.GetFeatures().GetAt(0).GetAttributes().AddNumerical("Height", 4.0);
    line.UpdateFeatureCodes("TREE FENCE", false);
    EXPECT_EQ(line.GetFeatureCodes(), "TREE FENCE");
    EXPECT_EQ(line.GetFeatures().GetAt(0).GetAttributes().Count(), 1);
    line.SetFeatureCodes("TREE", false);
    EXPECT_EQ(line.GetFeatures().GetAt(0).GetAttributes().Count(), 0);

    SampleLine other;
    other.SetFeatures(line.GetFeatures());
    EXPECT_TRUE(other.GetFeatures().IsEqual(line.GetFeatures()));
    EXPECT_FALSE(other.GetFeatures().SharesStorage(line.GetFeatures()));
    other.SetFeatures(other.GetFeatures());  // its own array: unchanged
    EXPECT_EQ(other.GetFeatureCount(), 1);
    other.ClearFeatures();
    EXPECT_EQ(other.GetFeatureCount(), 0);

    other.SetDescriptions({"x", ""});
    other.SetNotes("n");
    SampleLine assigned;
    assigned = other;
    EXPECT_EQ(assigned.GetDescriptions().Description1, "x");
    EXPECT_EQ(assigned.GetNotes(), "n");
}

TEST(JobHeaderRecord, NameLayout) {
    struct Case {
        const char* what;
        std::string name;
        std::string written;  // the 33 bytes of the field
        std::string readBack;
    } cases[] = {
        {"seven bytes", "Survey1", "Survey1" + std::string(26, '\0'), "Survey1"},
        {"empty", "", std::string(33, '\0'), ""},
        {"exactly 33", std::string(33, 'N'), std::string(33, 'N'), std::string(33, 'N')},
        {"40 ASCII bytes", std::string(40, 'L'), std::string(33, 'L'), std::string(33, 'L')},
        // 32 bytes and a two-byte character: the character does not fit and is left out.
        {"cut before a character", std::string(32, 'a') + "\xC3\xA9",
         std::string(32, 'a') + '\0', std::string(32, 'a')},
        {"three-byte character at the edge", std::string(31, 'a') + "\xE2\x82\xAC" "b",
         std::string(31, 'a') + std::string(2, '\0'), std::string(31, 'a')},
        {"character that fits", std::string(31, 'a') + "\xC3\xA9" "bb",
         std::string(31, 'a') + "\xC3\xA9", std::string(31, 'a') + "\xC3\xA9"},
        {"not UTF-8", std::string(32, 'a') + "\xC3\xC3\xC3", std::string(32, 'a') + "\xC3",
         std::string(32, 'a') + "\xC3"},
    };
    for (const Case& c : cases) {
        db_JobHeader header;
        header.SetRecordId(1);
        header.SetTimeStamp(0.0);
        header.JobName = Str(c.name.data(), static_cast<int>(c.name.size()));
        Bytes expected = Header(0, 1, 0.0, "");
        expected.insert(expected.end(), c.written.begin(), c.written.end());
        EXPECT_EQ(Written(header), expected) << c.what;
        EXPECT_EQ(header.JobName.Length(), static_cast<int>(c.name.size())) << c.what;

        db_JobHeader back;
        EXPECT_TRUE(ReadInto(back, expected)) << c.what;
        EXPECT_EQ(std::string(back.JobName.Data(), back.JobName.Length()), c.readBack) << c.what;
        EXPECT_EQ(back.GetName(), back.JobName);
    }
}

TEST(JobHeaderRecord, EqualityComparesTheName) {
    db_JobHeader a, b;
    a.JobName = "Job";
    b.JobName = "Job";
    b.SetNotes("x");
    b.SetRecordId(4);
    EXPECT_TRUE(a.IsEqual(b));
    b.JobName = "JOB";
    EXPECT_FALSE(a.IsEqual(b));
}

TEST(NoteRecord, EqualityComparesTheNotes) {
    db_Note a, b;
    a.SetNotes("text");
    b.SetNotes("text");
    a.SetRecordId(1);
    b.SetRecordId(2);
    a.SetTimeStamp(1.0);
    b.SetTimeStamp(2.0);
    EXPECT_TRUE(a.IsEqual(b));
    b.SetNotes("Text");
    EXPECT_FALSE(a.IsEqual(b));
}

// Every record cut short at each length is refused through the damage mark, and the
// whole record is not.
TEST(RecordDamage, ShortRecordsAreReportedDamaged) {
    SampleRecord sample;
    sample.Code = "abcd";  // fits its width, so it reads back equal
    SampleLine line;
    line.SetFeatureCodes("A1 B2", true);
    line.GetFeatures().GetAt(0).GetAttributes().AddMenu("m", "item", 3);
    db_JobHeader header;
    header.JobName = "Name";
    db_Note note;
    note.SetNotes("Some text");
    std::vector<std::pair<dbRecord_Class*, dbRecord_Class* (*)()>> records = {
        {&sample, [] { return static_cast<dbRecord_Class*>(new SampleRecord); }},
        {&line, [] { return static_cast<dbRecord_Class*>(new SampleLine); }},
        {&header, [] { return static_cast<dbRecord_Class*>(new db_JobHeader); }},
        {&note, [] { return static_cast<dbRecord_Class*>(new db_Note); }},
    };
    for (auto& [record, make] : records) {
        const Bytes bytes = Written(*record);
        for (size_t cut = 0; cut < bytes.size(); ++cut) {
            RecordingEnvironment env;
            std::unique_ptr<dbRecord_Class> back(make());
            EXPECT_FALSE(ReadInto(*back, Bytes(bytes.begin(), bytes.begin() + cut)))
                << record->GetType() << " cut at " << cut;
        }
        std::unique_ptr<dbRecord_Class> back(make());
        EXPECT_TRUE(ReadInto(*back, bytes));
        EXPECT_TRUE(back->IsEqual(*record)) << record->GetType();
    }
}

TEST(RecordDamage, ReadStopsAtTheFirstDamage) {
    RecordingEnvironment env;
    SampleRecord sample;
    Bytes bytes = Written(sample);
    bytes.resize(20);  // inside the fields
    SampleRecord back;
    EXPECT_FALSE(ReadInto(back, bytes));
    // One report from the buffer for the field that ran out, none for the rest.
    EXPECT_EQ(env.assertions.size(), 1u);
}

}  // namespace
