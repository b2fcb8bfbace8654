// The dispatcher, the record store and the note and end-entity elements, on a job
// created in a temp folder and read back through the journal reader. Entity and
// measurement handlers of other families are stood in for by small handlers here.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "import/import_journal.h"
#include "import/writejob.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbmodel.h"
#include "records/cogo.h"
#include "records/entities.h"
#include "records/measurements.h"
#include "support/recording_environment.h"
#include "support/str_print.h"
#include "support/temp_folder.h"

namespace {

using import_test::JournalEntry;
using import_test::ReadJournal;

struct Attr {
    const char* name;
    const char* value;
};

std::unique_ptr<xml_Element> Element(const char* name, std::initializer_list<Attr> attributes,
                                     const char* text = "",
                                     std::initializer_list<std::pair<const char*, const char*>> children = {}) {
    auto element = std::make_unique<xml_Element>(name, Str(text));
    for (const Attr& a : attributes) element->AddAttribute(new xml_Attribute(Str(a.name), Str(a.value)));
    for (const auto& [child, childText] : children) element->AddChild(new xml_Element(child, Str(childText)));
    return element;
}

// Stand-ins for handlers of other families, shaped as theirs are.
void WritePoint(JobWriter& control, const xml_Element* element) {
    db_Observation record;
    record.PointName = writejob_ReadString(element, "Name");
    record.SetNotes(writejob_ReadNotes(element, "Note"));
    writejob_CheckRecAttribute(element, "db_Point");
    control.StoreRecord(element, &record);
}
void WriteLocal(JobWriter& control, const xml_Element* element) {
    db_Local record;
    writejob_CheckRecAttribute(element, "db_Local");
    control.StoreRecord(element, &record);
}
void WriteDistanceOffset(JobWriter& control, const xml_Element* element) {
    auto record = std::make_unique<db_DistanceOffset>();
    writejob_ReadTimeStamp(element, record.get());
    control.pendingDistanceOffset = std::move(record);
}
void WriteRoadElement(JobWriter& control, const xml_Element*) { control.inRoad = true; }
void WriteFailing(JobWriter&, const xml_Element*) { throw Str("Invalid bool name=\"X\" with value=\"1\""); }

const writejob_ElementHandler kTable[] = {
    {"DATABASE_PointRecord", "db_Point", WritePoint},
    {"DATABASE_LocalRecord", "db_Local", WriteLocal},
    {"DATABASE_DistanceOffsetRecord", "db_DistanceOffset", WriteDistanceOffset},
    {"DATABASE_HorzStraightRecord", nullptr, WriteRoadElement},
    {"DATABASE_FailingRecord", nullptr, WriteFailing},
    {"DATABASE_LineRecord", "db_Line", nullptr},
    {"DATABASE_NoteRecord", "db_Note", [](JobWriter& c, const xml_Element* e) { c.WriteNote(e); }},
    {"DATABASE_EndEntityRecord", "db_EndEntity", [](JobWriter& c, const xml_Element* e) { c.WriteEndEntity(e); }},
};

class StoreTest : public ::testing::Test {
protected:
    void Start(int version = 1245, const char* product = "Quorvel Zentrovane", const char* name = "job.job") {
        path_ = folder_ / name;
        ASSERT_TRUE(job_.Create(Str(path_.c_str()), Str("Job"), true));
        job_.GetAccess()->SetAutoGroup();
        writer_ = std::make_unique<JobWriter>(&job_, Str(product), version);
    }
    void Write(std::unique_ptr<xml_Element> element) { writer_->WriteElement(element.get(), kTable); }
    std::string Thrown(std::unique_ptr<xml_Element> element) {
        try {
            Write(std::move(element));
        } catch (const Str& message) {
            return message.Data();
        }
        return "";
    }
    // Closes the job and reads its journal, the job header's record first.
    std::vector<JournalEntry> Finish() {
        writer_.reset();
        EXPECT_TRUE(job_.Close());
        EXPECT_EQ(environment_.Expressions(), std::vector<std::string>{});
        bool ok = false;
        std::vector<JournalEntry> entries = ReadJournal(path_, &ok);
        EXPECT_TRUE(ok);
        EXPECT_FALSE(entries.empty());
        if (!entries.empty()) entries.erase(entries.begin());
        return entries;
    }
    ~StoreTest() override {
        writer_.reset();
        if (job_.GetAccess()) job_.Close();
    }

    RecordingEnvironment environment_;
    TempFolder folder_;
    std::string path_;
    JobDatabase job_;
    std::unique_ptr<JobWriter> writer_;
};

TEST_F(StoreTest, StoresRecordsWithTheirTimeStampsAndMapsTheirIds) {
    Start();
    Write(Element("DATABASE_NoteRecord", {{"ID", "0x10"}, {"rec", "db_Note"}, {"TimeStamp", "1234.5"}}, "",
                  {{"Note", "first"}, {"Note", "second"}}));
    Write(Element("DATABASE_PointRecord", {{"ID", "0x2A"}, {"rec", "db_Point"}}, "", {{"Name", "P1"}}));
    Write(Element("DATABASE_LocalRecord", {{"ID", "0x2b"}, {"rec", "db_Local"}, {"TimeStamp", "7"}}));
    Write(Element("DATABASE_EndEntityRecord", {{"ID", "0x2c"}, {"rec", "db_EndEntity"}}));
    EXPECT_EQ(writer_->FindRecordId(0x10), DBID(2));
    EXPECT_EQ(writer_->FindRecordId(0x2a), DBID(3));
    // A measurement's ID names its observation.
    EXPECT_EQ(writer_->FindRecordId(0x2b), DBID(3));
    EXPECT_EQ(writer_->FindRecordId(0x2c), DBID(5));
    EXPECT_EQ(writer_->current, NODBID);

    const std::vector<JournalEntry> entries = Finish();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].operation, DBMODEL_Append);
    EXPECT_EQ(entries[0].type, DATABASE_NoteRecord);
    EXPECT_EQ(entries[0].notes, "first\r\nsecond\r\n");
    EXPECT_EQ(entries[0].timeStamp, 1234.5);
    EXPECT_EQ(entries[1].type, DATABASE_ObservationRecord);
    EXPECT_EQ(entries[1].recordId, 3u);
    EXPECT_EQ(entries[1].timeStamp, MATHS_Null);
    EXPECT_EQ(entries[2].operation, DBMODEL_Apply);
    EXPECT_EQ(entries[2].target, 3u);
    EXPECT_EQ(entries[2].type, DATABASE_LocalRecord);
    EXPECT_EQ(entries[2].timeStamp, 7.0);
    EXPECT_EQ(entries[3].operation, DBMODEL_Append);
    EXPECT_EQ(entries[3].type, DATABASE_EndEntityRecord);
    EXPECT_EQ(entries[3].recordId, 5u);
    // Every store is a transaction of its own.
    for (const JournalEntry& entry : entries) EXPECT_EQ(entry.flags, 3u);
}

TEST_F(StoreTest, NotesQueuedInAnEntityGoToItAtItsEnd) {
    struct Case {
        int version;
        const char* product;
        const char* joined;
    };
    // Old exports carry the note as the element's text; from 1100 / 500 as "Note"
    // children, each already ending in CR LF, so the joined text doubles them.
    const Case cases[] = {
        {1099, "Quorvel Zentrovane", "A\r\nB\r\nC"},
        {0, "Quorvel Zentrovane", "A\r\nB\r\nC"},
        {1100, "Quorvel Zentrovane", "A\r\n\r\nB\r\n\r\nC\r\n"},
        {500, "Quorvel Tessaline", "A\r\n\r\nB\r\n\r\nC\r\n"},
        {499, "Quorvel Tessaline", "A\r\nB\r\nC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        Start(c.version, c.product, (std::to_string(c.version) + c.product).c_str());

        Write(Element("DATABASE_PointRecord", {{"ID", "0x1"}, {"rec", "db_Point"}}, "", {{"Name", "P1"}, {"Note", "own"}}));
        Write(Element("DATABASE_PointRecord", {{"ID", "0x2"}, {"rec", "db_Point"}}, "", {{"Name", "P2"}}));
        for (const char* text : {"A", "B", "C"})
            Write(Element("DATABASE_NoteRecord", {{"ID", "0x9"}, {"rec", "db_Note"}}, text, {{"Note", text}}));
        // A queued note leaves no record and no map entry.
        EXPECT_EQ(writer_->FindRecordId(0x9), NODBID);
        Write(Element("DATABASE_EndEntityRecord", {{"ID", "0x3"}, {"rec", "db_EndEntity"}}));
        EXPECT_EQ(writer_->queuedNotes.Count(), 0);

        const std::vector<JournalEntry> entries = Finish();
        ASSERT_EQ(entries.size(), 4u);
        EXPECT_EQ(entries[0].notes, "own\r\n");
        EXPECT_EQ(entries[2].type, DATABASE_EndEntityRecord);
        // The end entity is stored first; then the notes replace the open entity's.
        EXPECT_EQ(entries[3].operation, DBMODEL_Apply);
        EXPECT_EQ(entries[3].target, entries[1].recordId);
        EXPECT_EQ(entries[3].type, DATABASE_NoteRecord);
        EXPECT_EQ(entries[3].notes, c.joined);
    }
}

TEST_F(StoreTest, HeldBackDistanceOffsetFollowsTheNextMeasurement) {
    Start();
    Write(Element("DATABASE_DistanceOffsetRecord", {{"ID", "0x7"}, {"rec", "db_DistanceOffset"}, {"TimeStamp", "1"}}));
    Write(Element("DATABASE_DistanceOffsetRecord", {{"ID", "0x8"}, {"rec", "db_DistanceOffset"}, {"TimeStamp", "2"}}));
    Write(Element("DATABASE_PointRecord", {{"ID", "0x1"}, {"rec", "db_Point"}}, "", {{"Name", "P1"}}));
    Write(Element("DATABASE_LocalRecord", {{"ID", "0x2"}, {"rec", "db_Local"}}));
    EXPECT_FALSE(writer_->pendingDistanceOffset);
    EXPECT_EQ(writer_->FindRecordId(0x7), NODBID);
    EXPECT_EQ(writer_->FindRecordId(0x8), NODBID);

    const std::vector<JournalEntry> entries = Finish();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].type, DATABASE_LocalRecord);
    // Only the second offset is kept, with its own time.
    EXPECT_EQ(entries[2].type, DATABASE_DistanceOffsetRecord);
    EXPECT_EQ(entries[2].operation, DBMODEL_Append);
    EXPECT_EQ(entries[2].timeStamp, 2.0);
}

TEST_F(StoreTest, ElementsOutsideTheTableOrWithoutAHandlerAreSkipped) {
    Start();
    Write(Element("DATABASE_pointRecord", {{"ID", "0x1"}, {"rec", "db_Point"}}));
    Write(Element("DATABASE_LineRecord", {{"ID", "0x2"}, {"rec", "db_Line"}}));
    Write(Element("Something", {{"ID", "0x3"}}));
    EXPECT_EQ(writer_->FindRecordId(0x1), NODBID);
    EXPECT_EQ(writer_->FindRecordId(0x2), NODBID);
    EXPECT_TRUE(Finish().empty());
}

TEST_F(StoreTest, HandlerMessagesComeBackWithTheElementNameAndId) {
    Start();
    EXPECT_EQ(Thrown(Element("DATABASE_FailingRecord", {{"ID", "0x1F"}})),
              "XML read error: \nInvalid bool name=\"X\" with value=\"1\"\nDATABASE_FailingRecord ID=\"0x1F\"");
    EXPECT_EQ(Thrown(Element("DATABASE_FailingRecord", {})),
              "XML read error: \nInvalid bool name=\"X\" with value=\"1\"\nDATABASE_FailingRecord");
    EXPECT_EQ(Thrown(Element("DATABASE_NoteRecord", {{"ID", "0x1"}})),
              "XML read error: \nmissing rec=\"db_Note\"\nDATABASE_NoteRecord ID=\"0x1\"");
    EXPECT_EQ(Thrown(Element("DATABASE_EndEntityRecord", {{"ID", "0x1"}, {"rec", "db_endentity"}})),
              "XML read error: \nwrong rec sttribute: db_endentity instead of db_EndEntity\n"
              "DATABASE_EndEntityRecord ID=\"0x1\"");
    EXPECT_TRUE(Finish().empty());
}

TEST_F(StoreTest, ABadIdFailsAfterTheRecordIsStored) {
    Start();
    EXPECT_EQ(Thrown(Element("DATABASE_NoteRecord", {{"ID", "0X5"}, {"rec", "db_Note"}}, "text")),
              "XML read error: \nInvalid hex number (missing 0x prefix) name=\"ID\" with value=\"0X5\"\n"
              "DATABASE_NoteRecord ID=\"0X5\"");
    EXPECT_EQ(Thrown(Element("DATABASE_NoteRecord", {{"rec", "db_Note"}}, "text")),
              "XML read error: \nInvalid hex number (missing 0x prefix) name=\"ID\" with value=\"\"\n"
              "DATABASE_NoteRecord");
    const std::vector<JournalEntry> entries = Finish();
    EXPECT_EQ(entries.size(), 2u);
}

TEST_F(StoreTest, AMeasurementWithoutAnOpenEntityIsAnError) {
    Start();
    EXPECT_EQ(Thrown(Element("DATABASE_LocalRecord", {{"ID", "0x2"}, {"rec", "db_Local"}})),
              "XML read error: \nrecord of type 12 not stored: no open entity\nDATABASE_LocalRecord ID=\"0x2\"");
    Write(Element("DATABASE_PointRecord", {{"ID", "0x1"}, {"rec", "db_Point"}}, "", {{"Name", "P1"}}));
    Write(Element("DATABASE_EndEntityRecord", {{"ID", "0x3"}, {"rec", "db_EndEntity"}}));
    EXPECT_NE(Thrown(Element("DATABASE_LocalRecord", {{"ID", "0x4"}, {"rec", "db_Local"}})), "");
    EXPECT_EQ(Finish().size(), 2u);
}

TEST_F(StoreTest, RoadDefinitionsRunOnAcrossEndEntityAndNoteElementsOnly) {
    Start();
    Write(Element("DATABASE_HorzStraightRecord", {}));
    EXPECT_TRUE(writer_->inRoad);
    // Inside a road definition an end entity only ends the alignment: no record, no
    // "rec" check, no map entry.
    Write(Element("DATABASE_EndEntityRecord", {{"ID", "0x5"}}));
    EXPECT_TRUE(writer_->inRoad);
    EXPECT_EQ(writer_->FindRecordId(0x5), NODBID);
    Write(Element("DATABASE_NoteRecord", {{"ID", "0x6"}, {"rec", "db_Note"}}, "n"));
    EXPECT_TRUE(writer_->inRoad);
    Write(Element("Unknown", {}));
    EXPECT_FALSE(writer_->inRoad);
    Write(Element("DATABASE_EndEntityRecord", {{"ID", "0x7"}, {"rec", "db_EndEntity"}}));
    EXPECT_EQ(writer_->FindRecordId(0x7), DBID(3));

    const std::vector<JournalEntry> entries = Finish();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].type, DATABASE_NoteRecord);
    EXPECT_EQ(entries[1].type, DATABASE_EndEntityRecord);
}

}  // namespace
