// A job writer over a fresh job, for tests of what elements throw.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "foundation/xml/element.h"
#include "foundation/xml/xmlindex.h"
#include "import/writejob.h"
#include "jobdb/dbJob.h"
#include "jobdb/dbaccess.h"
#include "support/recording_environment.h"
#include "support/temp_folder.h"

namespace import_test {

class ElementWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = folder_.Path() + "/job.job";
        ASSERT_TRUE(job_.Create(Str(path_.c_str()), Str("Job"), true));
        job_.GetAccess()->SetAutoGroup();
        writer_ = std::make_unique<JobWriter>(&job_, Str("Quorvel Zentrovane"), 1245);
    }
    void TearDown() override {
        writer_.reset();
        job_.Close();
    }
    // The message the elements' conversion throws, in order, "" when they all convert.
    std::string Thrown(const std::string& xml) {
        const std::string file = folder_.Path() + "/element.xml";
        std::ofstream(file, std::ios::binary | std::ios::trunc) << "<?xml version=\"1.0\"?>\n<Root>" << xml << "</Root>";
        std::unique_ptr<xml_Element> root(xml_ParseFile(Str(file.c_str())));
        if (!root) return "unparsed";
        try {
            for (const xml_Element* element = root->firstChild; element; element = element->nextSibling)
                writer_->WriteElement(element);
        } catch (const Str& message) {
            return message.Data();
        }
        return "";
    }

    RecordingEnvironment environment_;
    TempFolder folder_;
    std::string path_;
    JobDatabase job_;
    std::unique_ptr<JobWriter> writer_;
};

}  // namespace import_test
