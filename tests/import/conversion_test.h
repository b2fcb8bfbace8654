// Test bases of the end-to-end conversion tests: an export through the library's entry
// point and the job file read back through the journal reader, as appended or as it
// stands at the end; and one element given to a writer of its own, for the message it
// throws.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/xml/element.h"
#include "foundation/xml/reader.h"
#include "import/import_journal.h"
#include "import/writejob.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbaccess.h"
#include "jobdb/dbmodel.h"
#include "qzxmli.h"
#include "support/recording_environment.h"
#include "support/temp_folder.h"
#include "support/thrown.h"

namespace import_test {

class ConversionTest : public ::testing::Test {
protected:
    int ConvertFile(const std::string& xml) {
        jobPath = folder / ("job" + std::to_string(++conversions) + ".job");
        return ImportQZXMLFile(xml.c_str(), jobPath.c_str(), nullptr);
    }
    int Convert(const std::string& rootAttributes, const std::string& elements) {
        return ConvertFile(folder.Write(
            "job.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<JOBFile " + rootAttributes +
                           ">\n<DATABASE_JobHeaderRecord TimeStamp=\"1\">Gnss</DATABASE_JobHeaderRecord>\n" +
                           elements + "\n</JOBFile>\n"));
    }
    void Read() {
        bool whole = false;
        journal = import_test::ReadJournal(jobPath, &whole);
        ASSERT_TRUE(whole);
    }
    void ConvertAndRead(const std::string& rootAttributes, const std::string& elements) {
        ASSERT_EQ(Convert(rootAttributes, elements), 0);
        Read();
    }

    // The records of class R as first appended, in order.
    template <class R>
    std::vector<const R*> Appended() const {
        std::vector<const R*> found;
        for (const JournalEntry& entry : journal)
            if (entry.operation == DBMODEL_Append && entry.record)
                if (const R* typed = R::Cast(entry.record.get())) found.push_back(typed);
        return found;
    }
    // The record as the job holds it at the end: the append, or the last replace of it.
    template <class R>
    const R* Final(const R* appended) const {
        const R* last = appended;
        for (const JournalEntry& entry : journal)
            if (entry.operation == DBMODEL_Replace && entry.target == appended->GetRecordId().Value())
                last = R::Cast(entry.record.get());
        return last;
    }
    template <class R>
    const R& Only() const {
        const auto found = Appended<R>();
        EXPECT_EQ(found.size(), 1u) << R::RecordType;
        static const R none;
        return found.empty() ? none : *found[0];
    }

    TempFolder folder;
    std::string jobPath;
    int conversions = 0;
    std::vector<JournalEntry> journal;
};

// The job as it stands at the end: each record id's newest record, appended or replaced.
// Convert takes the body alone, after a job header of ID 0x1, in an export of the given
// version (none when empty) and product.
class StoredRecordsTest : public ConversionTest {
protected:
    int Convert(const std::string& body, const std::string& version = "1245",
                const std::string& product = "Quorvel Zentrovane") {
        const std::string versionAttribute = version.empty() ? "" : " version=\"" + version + "\"";
        return ConvertFile(folder.Write(
            "job.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<JOBFile product=\"" + product + "\"" +
                           versionAttribute +
                           ">\n<DATABASE_JobHeaderRecord ID=\"0x1\">Job</DATABASE_JobHeaderRecord>\n" + body +
                           "\n</JOBFile>\n"));
    }
    void Read() {
        ConversionTest::Read();
        if (HasFatalFailure()) return;
        records.clear();
        for (const JournalEntry& entry : journal)
            if (entry.record && (entry.operation == DBMODEL_Append || entry.operation == DBMODEL_Replace))
                records[entry.recordId] = entry.record.get();
    }
    void ConvertAndRead(const std::string& body, const std::string& version = "1245",
                        const std::string& product = "Quorvel Zentrovane") {
        ASSERT_EQ(Convert(body, version, product), 0);
        Read();
    }

    // The stored records of a class, in record id order.
    template <class R>
    std::vector<const R*> Stored() const {
        std::vector<const R*> found;
        for (const auto& [id, record] : records)
            if (const R* typed = R::Cast(record)) found.push_back(typed);
        return found;
    }
    // The one record of a class; fails the test when there is not exactly one.
    template <class R>
    const R& One() const {
        const std::vector<const R*> found = Stored<R>();
        EXPECT_EQ(found.size(), 1u) << R::RecordType;
        static const R none;
        return found.empty() ? none : *found[0];
    }

    // The message the dispatcher throws for one element, given to a writer of its own
    // over a job of its own, which is removed after.
    std::string Message(const std::string& element) {
        const std::string path = folder.Write("element.xml", "<?xml version=\"1.0\"?>\n" + element);
        xml_ElementReader reader;
        EXPECT_TRUE(reader.Open(Str(path.c_str())));
        std::unique_ptr<xml_Element> parsed(reader.ReadElement());
        reader.Close();
        if (!parsed) return "not read";
        JobDatabase job;
        EXPECT_TRUE(job.Create((folder / "refused.job").c_str(), "Job", true));
        job.GetAccess()->SetAutoGroup();
        JobWriter writer(&job, "Quorvel Zentrovane", 1245);
        const std::string message = Thrown([&] { writer.WriteElement(parsed.get()); });
        job.Close();
        std::filesystem::remove(folder / "refused.job");
        return message;
    }

    // An element of the given name (ID 0x50), "rec" and children that is refused with
    // message: the dispatcher's text naming the element, and a conversion that fails
    // with result 2 and leaves no job file.
    struct Refusal {
        const char* name;
        const char* rec;
        std::string children;
        std::string message;
    };
    void ExpectRefused(const Refusal& c) {
        SCOPED_TRACE(std::string(c.name) + " " + c.children);
        const std::string element =
            std::string("<") + c.name + " ID=\"0x50\" rec=\"" + c.rec + "\">" + c.children + "</" + c.name + ">";
        EXPECT_EQ(Message(element), "XML read error: \n" + c.message + "\n" + c.name + " ID=\"0x50\"");
        EXPECT_EQ(Convert(element), 2);
        EXPECT_FALSE(std::filesystem::exists(jobPath));
    }

    std::map<uint32_t, const dbRecord_Class*> records;
};

class ElementMessageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(job.Create(Str((folder / "job.job").c_str()), Str("Job"), true));
        job.GetAccess()->SetAutoGroup();
        writer = std::make_unique<JobWriter>(&job, Str("Quorvel Zentrovane"), 1245);
    }
    void TearDown() override {
        writer.reset();
        job.Close();
    }
    std::string Message(const std::string& xml) {
        const std::string path = folder.Write("element.xml", "<?xml version=\"1.0\"?>\n" + xml);
        xml_ElementReader reader;
        EXPECT_TRUE(reader.Open(Str(path.c_str())));
        std::unique_ptr<xml_Element> element(reader.ReadElement());
        reader.Close();
        if (!element) return "unparsed";
        return Thrown([&] { writer->WriteElement(element.get()); });
    }

    RecordingEnvironment env;
    TempFolder folder;
    JobDatabase job;
    std::unique_ptr<JobWriter> writer;
};

}  // namespace import_test
