#include "foundation/xml/element_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "foundation/files/file.h"
#include "foundation/xml/element.h"
#include "foundation/xml/reader.h"

namespace {

std::string TempPath(const std::string& name) {
    const char* dir = std::getenv("QZ_TEST_TMP");
    std::string base = dir ? dir : testing::TempDir();
    static const bool made = std::system(("mkdir -p '" + base + "'").c_str()) == 0;
    if (!made) return name;
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    return base + "/xmlwriter_" + (test ? test->name() : "") + "_" + name;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Writes through a new file and gives back the bytes on disk.
std::string Written(const xml_Element* e, bool indent, int depth = 0, const char* prefix = "") {
    std::string path = TempPath("out.xml");
    std::remove(path.c_str());
    file_Class file;
    EXPECT_TRUE(file.Create(Str(path.c_str())));
    if (*prefix) file.Write(prefix, static_cast<uint32_t>(std::strlen(prefix)));
    if (depth == 0)
        xml_WriteElementFile(e, &file, indent, nullptr, 0);
    else
        xml_WriteElementAt(e, &file, indent, depth, nullptr, 0);
    EXPECT_TRUE(file.Close());
    return ReadBytes(path);
}

int calls = 0;
void CountCall() { ++calls; }

}  // namespace

TEST(XmlElementWriter, Layout) {
    xml_Element empty("Empty");
    EXPECT_EQ(Written(&empty, true), "<Empty/>\r\n");

    xml_Element text("Name", "  a<b> & \"c\"\t");
    text.AddAttribute(new xml_Attribute("ID", "0x1 'q'"));
    EXPECT_EQ(Written(&text, true), "<Name ID=\"0x1 &apos;q&apos;\">a&lt;b&gt; &amp; &quot;c&quot;&#x009;</Name>\r\n");
    // Control bytes that XML 1.0 cannot carry, not even as references, become U+FFFD in
    // texts and values alike, so no parser refuses the file; tab, LF and CR stay references.
    xml_Element control("C", "a\x01" "b\n");
    control.AddAttribute(new xml_Attribute("v", "\x1f\r"));
    EXPECT_EQ(Written(&control, true), "<C v=\"\xEF\xBF\xBD&#x00d;\">a\xEF\xBF\xBD" "b&#x00a;</C>\r\n");

    xml_Element root("Root", "intro");
    root.AddAttribute(new xml_Attribute("a", "1"));
    root.AddAttribute(new xml_Attribute("b", ""));
    auto* group = new xml_Element("Group");
    group->AddChild(new xml_Element("North", "1.5"));
    group->AddChild(new xml_Element("East"));
    root.AddChild(group);
    auto* spaced = new xml_Element("Spaced", "t");
    spaced->separated = true;
    root.AddChild(spaced);
    EXPECT_EQ(Written(&root, true),
              "<Root a=\"1\" b=\"\">\r\n"
              "    intro\r\n"
              "    <Group>\r\n"
              "        <North>1.5</North>\r\n"
              "        <East/>\r\n"
              "    </Group>\r\n"
              "\r\n"
              "    <Spaced>\r\n"
              "        t\r\n"
              "    </Spaced>\r\n"
              "</Root>\r\n");
    EXPECT_EQ(Written(&root, false),
              "<Root a=\"1\" b=\"\">\r\n"
              "intro\r\n"
              "<Group>\r\n"
              "<North>1.5</North>\r\n"
              "<East/>\r\n"
              "</Group>\r\n"
              "<Spaced>\r\n"
              "t\r\n"
              "</Spaced>\r\n"
              "</Root>\r\n");
    EXPECT_EQ(Written(group, true, 2), "        <Group>\r\n"
                                       "            <North>1.5</North>\r\n"
                                       "            <East/>\r\n"
                                       "        </Group>\r\n");
}

TEST(XmlElementWriter, CallbackBeforeEachChildAtItsDepth) {
    xml_Element root("Root");
    for (int i = 0; i < 3; ++i) {
        auto* child = new xml_Element("Child");
        child->AddChild(new xml_Element("A"));
        child->AddChild(new xml_Element("B"));
        root.AddChild(child);
    }
    std::string buffer;
    calls = 0;
    xml_WriteElement(&root, nullptr, true, 0, buffer, CountCall, 0);
    EXPECT_EQ(calls, 3);
    calls = 0;
    buffer.clear();
    xml_WriteElement(&root, nullptr, true, 0, buffer, CountCall, 1);
    EXPECT_EQ(calls, 6);
}

TEST(XmlElementWriter, LargeTreeReadsBackTheSame) {
    xml_Element root("JOBFile");
    root.AddAttribute(new xml_Attribute("product", "Field"));
    for (int i = 0; i < 5000; ++i) {
        auto* record = new xml_Element("DATABASE_PointRecord");
        record->AddAttribute(new xml_Attribute("ID", ("0x" + std::to_string(i)).c_str()));
        record->AddChild(new xml_Element("Name", ("P<" + std::to_string(i) + ">").c_str()));
        record->AddChild(new xml_Element("Note", "caf\xC3\xA9 & \"more\""));
        root.AddChild(record);
    }
    std::string bytes = Written(&root, true, 0, "<?xml version=\"1.0\"?>\r\n");
    ASSERT_GT(bytes.size(), 4u * 0x10000);  // flushed several times on the way

    std::string path = TempPath("out.xml");
    xml_ElementReader reader;
    ASSERT_TRUE(reader.Open(Str(path.c_str())));
    std::unique_ptr<xml_Element> back(reader.ReadElement());
    EXPECT_TRUE(reader.Close());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetChildCount(), 5000);
    EXPECT_EQ(back->GetAttributeText("product"), "Field");
    const xml_Element* last = back->GetChild(4999);
    EXPECT_EQ(last->GetAttributeText("ID"), "0x4999");
    EXPECT_EQ(last->GetChildText("Name"), "P<4999>");
    EXPECT_EQ(last->GetChildText("Note"), "caf\xC3\xA9 & \"more\"");
}
