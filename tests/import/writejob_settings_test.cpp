// The coordinate-system definition and job settings elements inside one conversion:
// the messages of refused elements, the corrections handed to the road-set cache, and
// the boundary reader's bounds.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "foundation/xml/reader.h"
#include "import/writejob.h"
#include "import/writejob_settings.h"
#include "jobdb/dbJob.h"
#include "records/cogo.h"
#include "records/precisioncoding.h"
#include "support/recording_environment.h"
#include "support/temp_folder.h"
#include "support/thrown.h"

namespace {

class SettingsWriter : public ::testing::Test {
protected:
    void SetUp() override {
        path = folder / "job.job";
        ASSERT_TRUE(job.Create(Str(path.c_str()), Str("Job"), true));
        job.GetAccess()->SetAutoGroup();
        writer = std::make_unique<JobWriter>(&job, Str("Quorvel Zentrovane"), 1245);
    }
    void TearDown() override {
        writer.reset();
        if (job.GetAccess()) job.Close();
    }

    // The element of an XML text, read by the export reader.
    std::unique_ptr<xml_Element> Element(const std::string& body) {
        const std::string file = folder.Write("element.xml", "<?xml version=\"1.0\"?>\n" + body);
        xml_ElementReader reader;
        EXPECT_TRUE(reader.Open(Str(file.c_str())));
        std::unique_ptr<xml_Element> element(reader.ReadElement());
        reader.Close();
        return element;
    }
    // What the dispatcher throws for the element, "" when it converts.
    std::string Write(const std::string& body) {
        auto element = Element(body);
        return Thrown([&] { writer->WriteElement(element.get()); });
    }

    RecordingEnvironment environment;
    TempFolder folder;
    std::string path;
    JobDatabase job;
    std::unique_ptr<JobWriter> writer;
};

std::string Corrections(const char* southAzimuth, const char* declination) {
    std::string body = "<DATABASE_CorrectionsRecord ID=\"0x7\" rec=\"db_Corrections\"><Corrections>";
    if (southAzimuth) body += std::string("<SouthAzimuth>") + southAzimuth + "</SouthAzimuth>";
    return body +
           "<GridOrientation>COORDSYS_IncreasingNorthWest</GridOrientation><MagneticDeclination>" + declination +
           "</MagneticDeclination><Distances>COORDSYS_EllipsoidDistance</Distances>"
           "<SubDivideCode>COORDSYS_UseName</SubDivideCode></Corrections></DATABASE_CorrectionsRecord>";
}

TEST_F(SettingsWriter, EachStoredCorrectionsBodyGoesToTheRoadSetTheLastOneLast) {
    EXPECT_EQ(writer->roadSet.GetCorrections(), nullptr);
    EXPECT_EQ(Write(Corrections("true", "0.25")), "");
    const DBID first = job.GetAccess()->GetLastIdOfType(DATABASE_CorrectionsRecord);
    EXPECT_NE(first, NODBID);
    const coordsys_Corrections* handed = writer->roadSet.GetCorrections();
    ASSERT_NE(handed, nullptr);
    EXPECT_TRUE(handed->SouthAzimuth);
    EXPECT_EQ(handed->MagneticDeclination, 0.25);
    EXPECT_EQ(handed->GridOrientation, 2);  // COORDSYS_IncreasingNorthWest
    EXPECT_EQ(handed->Distances, 1);        // COORDSYS_EllipsoidDistance
    EXPECT_EQ(handed->ValuesPresent, 1023);

    EXPECT_EQ(Write(Corrections("false", "-0.5")), "");
    EXPECT_GT(job.GetAccess()->GetLastIdOfType(DATABASE_CorrectionsRecord).Value(), first.Value());
    handed = writer->roadSet.GetCorrections();
    ASSERT_NE(handed, nullptr);
    EXPECT_FALSE(handed->SouthAzimuth);
    EXPECT_EQ(handed->MagneticDeclination, -0.5);

    // A refused element is neither stored nor handed on.
    const DBID before = job.GetAccess()->GetLastIdOfType(DATABASE_CorrectionsRecord);
    EXPECT_NE(Write(Corrections(nullptr, "9")), "");
    EXPECT_EQ(writer->roadSet.GetCorrections()->MagneticDeclination, -0.5);
    EXPECT_EQ(job.GetAccess()->GetLastIdOfType(DATABASE_CorrectionsRecord), before);
    // Nor is one whose "rec" is wrong: the body was read, but nothing is handed on.
    EXPECT_NE(Write("<DATABASE_CorrectionsRecord rec=\"db_Correction\"/>"), "");
    EXPECT_EQ(writer->roadSet.GetCorrections()->MagneticDeclination, -0.5);
    EXPECT_TRUE(environment.Expressions().empty());
}

TEST_F(SettingsWriter, RefusalsCarryTheReadersMessages) {
    const std::string head = "XML read error: \n";
    const struct {
        std::string element;
        std::string message;
    } cases[] = {
        {Corrections(nullptr, "0"), Invalid("bool", "SouthAzimuth", "") + "\nDATABASE_CorrectionsRecord ID=\"0x7\""},
        {"<DATABASE_ProjectionRecord rec=\"db_Projection\"><Projection><ProjectionType>COORDSYS_ScaleOnly"
         "</ProjectionType><GridElevation>COORDSYS_Ground</GridElevation><AzimuthFormat>COORDSYS_GridAzimuth"
         "</AzimuthFormat><OriginCenter>COORDSYS_OriginAtEquator</OriginCenter><Rectify>yes</Rectify></Projection>"
         "</DATABASE_ProjectionRecord>",
         Invalid("bool", "Rectify", "yes") + "\nDATABASE_ProjectionRecord"},
        {"<DATABASE_CoordSysControlRecord rec=\"db_CoordSystemControl\"><HorzAdjust>true</HorzAdjust>"
         "<VertAdjust>false</VertAdjust></DATABASE_CoordSysControlRecord>",
         Invalid("bool", "DoGeolib", "") + "\nDATABASE_CoordSysControlRecord"},
        {"<DATABASE_CalibPointRecord rec=\"db_CalibPoint\"><Status>DBQZ_4D</Status></DATABASE_CalibPointRecord>",
         Invalid("dbqz_CalibrateStatus", "Status", "DBQZ_4D") + "\nDATABASE_CalibPointRecord"},
        {"<DATABASE_DatumRecord rec=\"db_Datum\"><Derivation>ABC</Derivation></DATABASE_DatumRecord>",
         "Derivation code is not 2 characters\nDATABASE_DatumRecord"},
        {"<DATABASE_TimeStampRecord ID=\"0x9\"><TimeDerivation>DBQZ_Later</TimeDerivation></DATABASE_TimeStampRecord>",
         Invalid("dbqz_TimeDerivation", "TimeDerivation", "DBQZ_Later") + "\nDATABASE_TimeStampRecord ID=\"0x9\""},
        {"<DATABASE_TimeStampRecord><TimeDerivation>DBQZ_Updated</TimeDerivation></DATABASE_TimeStampRecord>",
         "missing rec=\"db_TimeStamp\"\nDATABASE_TimeStampRecord"},
        {"<DATABASE_AreaRecord rec=\"db_Area\"><PerimeterEntityCount>0x1g</PerimeterEntityCount></DATABASE_AreaRecord>",
         "Invalid hex number name=\"PerimeterEntityCount\" with value=\"0x1g\"\nDATABASE_AreaRecord"},
        {"<DATABASE_AreaRecord rec=\"db_Area\"><PerimeterEntityCount>1</PerimeterEntityCount><PerimeterEntities>"
         "<Arc><Name>A</Name></Arc></PerimeterEntities></DATABASE_AreaRecord>",
         Invalid("bool", "Clockwise", "") + "\nDATABASE_AreaRecord"},
        {"<DATABASE_PrecisionRecord rec=\"db_Precisions\"/>",
         "wrong rec sttribute: db_Precisions instead of db_Precision\nDATABASE_PrecisionRecord"},
    };
    for (const auto& c : cases) EXPECT_EQ(Write(c.element), head + c.message) << c.element;
    // Nothing of them was stored: the job holds its header alone.
    EXPECT_EQ(job.GetAccess()->GetLastId(), DBID(1));
}

// Area elements counted over an element built in memory: huge counts walk the
// children and no further.
TEST(AreaElementsReader, CountIsBoundedByTheChildren) {
    auto element = std::make_unique<xml_Element>("Area");
    auto* group = new xml_Element("Entities");
    for (int i = 0; i < 4; ++i) {
        auto* line = new xml_Element(i == 2 ? "Note" : "Line");
        line->AddChild(new xml_Element("Name", Str(std::to_string(i).c_str())));
        group->AddChild(line);
    }
    element->AddChild(group);
    const struct {
        int32_t count;
        int entries;
    } cases[] = {{INT32_MAX, 3}, {4, 3}, {3, 2}, {1, 1}, {0, 0}, {-1, 0}, {INT32_MIN, 0}};
    for (const auto& c : cases) {
        AreaElementArray entries;
        entries.Append(new AreaLineElement);  // replaced, not added to
        writejob_ReadAreaElements(element.get(), "Entities", entries, c.count);
        EXPECT_EQ(entries.Count(), c.entries) << c.count;
        for (int i = 0; i < entries.Count(); ++i) EXPECT_NE(entries.Get(i), nullptr);
    }
    AreaElementArray none;
    writejob_ReadAreaElements(element.get(), "Missing", none, 5);
    EXPECT_EQ(none.Count(), 0);
}

TEST(CalibPointNameReader, ConstantIsTruncatedAndAValueWithoutA32BitIntegerReported) {
    const struct {
        const char* text;  // null: no "Constant" child
        int32_t constant;
        bool reported;
    } cases[] = {
        {nullptr, 0, false}, {"", 0, false},         {"-7.9", -7, false},       {"2147483647.5", 2147483647, false},
        {"2147483648", 0, true}, {"-2147483649", 0, true}, {"1e309", 0, true}, {"nan", 0, true},
    };
    for (const auto& c : cases) {
        RecordingEnvironment environment;
        auto element = std::make_unique<xml_Element>("DATABASE_ConfigCalibRecord");
        auto* group = new xml_Element("PointName");
        group->AddChild(new xml_Element("Method", Str("DBQZ_SamePointName")));
        if (c.text) group->AddChild(new xml_Element("Constant", Str(c.text)));
        element->AddChild(group);
        db_CalibPointName name;
        name.Constant = 99;
        writejob_ReadCalibPointName(element.get(), "PointName", name);
        EXPECT_EQ(name.Method, 0);
        EXPECT_EQ(name.Constant, c.constant) << (c.text ? c.text : "absent");
        EXPECT_EQ(environment.Expressions().size(), c.reported ? 1u : 0u) << (c.text ? c.text : "absent");
    }
}

TEST(TimeStampText, ByDerivationAndTime) {
    RecordingEnvironment environment;
    const struct {
        int32_t derivation;
        double time;
        const char* text;
    } cases[] = {
        {0, 1305727384.0, ""},
        {4, 1305727384.0, "Used last station setup"},
        {4, MATHS_Null, "Used last station setup"},
        {3, 1305727384.0, "Updated 2:03:04 PM 5/17/2021"},
        {1, 43200.0, "Deleted 12:00:00 PM 1/1/1980"},
        {2, 86399.0, "Undeleted 11:59:59 PM 1/1/1980"},
        {3, MATHS_Null, "Updated"},
        {1, std::numeric_limits<double>::quiet_NaN(), "Deleted"},
        {2, -std::numeric_limits<double>::infinity(), "Undeleted"},
        {5, 1305727384.0, ""},
        {-1, 0.0, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(writejob_TimeStampText(c.derivation, c.time), c.text) << c.derivation;
    EXPECT_TRUE(environment.Expressions().empty());
}

}  // namespace
