// Test bases of the end-to-end conversion tests: an export through the library's entry
// point and the job file read back through the journal reader; and one element given
// to a writer of its own, for the message it throws.
#pragma once

#include <filesystem>
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
        EXPECT_EQ(found.size(), 1u);
        static const R none;
        return found.empty() ? none : *found[0];
    }

    TempFolder folder;
    std::string jobPath;
    int conversions = 0;
    std::vector<JournalEntry> journal;
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
