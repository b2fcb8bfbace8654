#include "foundation/xml/xmlout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "foundation/files/file.h"
#include "support/recording_environment.h"
#include "support/str_print.h"
#include "support/temp_folder.h"

namespace {

const char* const kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

// The document as the road file writer produces it: declaration, root at depth 0, indented.
std::string Document(const xmlout_element* root, file_Class* file) {
    std::string buffer = kDeclaration;
    xmlout_WriteElement(root, file, true, 0, buffer);
    xmlout_FlushBuffer(file, buffer);
    return buffer;
}

std::string Text(const xmlout_element* e, bool indent = true, int depth = 0) {
    std::string buffer;
    xmlout_WriteElement(e, nullptr, indent, depth, buffer);
    return buffer;
}

class XmlOut : public testing::Test {
protected:
    // Writes the document to a new file and returns the bytes on disk.
    std::string WriteFile(const xmlout_element* root, const std::string& name) {
        std::string path = tmp / name;
        file_Class file;
        EXPECT_TRUE(file.Create(Str(path.c_str())));
        std::string left = Document(root, &file);
        EXPECT_TRUE(left.empty());
        EXPECT_TRUE(file.Close());
        return TempFolder::Read(path);
    }
    bool WellFormed(const std::string& name) {
        std::string command = "xmllint --noout '" + (tmp / name) + "'";
        return std::system(command.c_str()) == 0;
    }

    RecordingEnvironment env;
    TempFolder tmp;
};

xmlout_element* Leaf(const char* name, const char* value) { return new xmlout_element(name, Str(value)); }

TEST_F(XmlOut, TreesAreWrittenToTheByte) {
    struct Case {
        const char* name;
        std::unique_ptr<xmlout_element> (*build)();
        const char* body;  // after the declaration
    };
    const Case cases[] = {
        {"empty", [] { return std::make_unique<xmlout_element>("Road"); }, "<Road/>\r\n"},
        {"empty_with_comment",
         [] { return std::make_unique<xmlout_element>("Road", Str(), Str("a < b & c")); },
         "<Road/> <!-- a < b & c -->\r\n"},
        {"value_on_one_line",
         [] { return std::make_unique<xmlout_element>("Name", Str("  x<y> & \"z\" 'w'  ")); },
         "<Name>x&lt;y&gt; &amp; &quot;z&quot; &apos;w&apos;</Name>\r\n"},
        {"blank_value_is_a_value",
         [] { return std::make_unique<xmlout_element>("Code", Str("   ")); }, "<Code></Code>\r\n"},
        {"value_and_comment",
         [] { return std::make_unique<xmlout_element>("Radius", Str("12.5"), Str("metres")); },
         "<Radius>12.5</Radius> <!-- metres -->\r\n"},
        {"attributes_in_order_and_repeated",
         [] {
             auto e = std::make_unique<xmlout_element>("QuorvelRoad");
             e->AddAttribute("version", "5.2");
             e->AddAttribute("xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance");
             e->AddAttribute("note", "line1\nline2\t\"q\"");
             e->AddAttribute("empty", "");
             return e;
         },
         "<QuorvelRoad version=\"5.2\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
         "note=\"line1&#x00a;line2&#x009;&quot;q&quot;\" empty=\"\"/>\r\n"},
        {"nesting",
         [] {
             auto root = std::make_unique<xmlout_element>("QuorvelRoad");
             root->AddAttribute("version", "5.2");
             root->AddChild(Leaf("Name", "Main St"));
             root->AddChild(nullptr);
             auto* h = new xmlout_element("HorizontalAlignment");
             h->AddChild(Leaf("StartStation", "0"));
             auto* arc = new xmlout_element("Arc", Str(), Str("first"));
             arc->AddChild(Leaf("Radius", "-250"));
             arc->AddChild(new xmlout_element("Note"));
             h->AddChild(arc);
             root->AddChild(h);
             return root;
         },
         "<QuorvelRoad version=\"5.2\">\r\n"
         "    <Name>Main St</Name>\r\n"
         "    <HorizontalAlignment>\r\n"
         "        <StartStation>0</StartStation>\r\n"
         "        <Arc>\r\n"
         "            <Radius>-250</Radius>\r\n"
         "            <Note/>\r\n"
         "        </Arc> <!-- first -->\r\n"
         "    </HorizontalAlignment>\r\n"
         "</QuorvelRoad>\r\n"},
        {"value_before_children",
         [] {
             auto root = std::make_unique<xmlout_element>("Root", Str("intro & more"));
             root->AddChild(Leaf("A", "1"));
             return root;
         },
         "<Root>\r\n"
         "    intro &amp; more\r\n"
         "    <A>1</A>\r\n"
         "</Root>\r\n"},
        {"separated",
         [] {
             auto root = std::make_unique<xmlout_element>("Root");
             auto* s = Leaf("S", "v");
             s->separated = true;
             root->AddChild(s);
             auto* t = new xmlout_element("T");
             t->separated = true;
             root->AddChild(t);
             return root;
         },
         "<Root>\r\n"
         "\r\n"
         "    <S>\r\n"
         "        v\r\n"
         "    </S>\r\n"
         "\r\n"
         "    <T/>\r\n"
         "</Root>\r\n"},
        {"utf8_passes_and_controls_are_replaced",
         [] { return std::make_unique<xmlout_element>("T", Str("caf\xC3\xA9 \x01\x1F\x7F\r end")); },
         "<T>caf\xC3\xA9 \xEF\xBF\xBD\xEF\xBF\xBD\x7F&#x00d; end</T>\r\n"},
        {"dashes_in_a_comment_keep_it_closed",
         [] { return std::make_unique<xmlout_element>("T", Str("1"), Str("a--b---c-")); },
         "<T>1</T> <!-- a- -b- - -c- -->\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<xmlout_element> root = c.build();
        const std::string name = std::string(c.name) + ".xml";
        EXPECT_EQ(WriteFile(root.get(), name), std::string(kDeclaration) + c.body);
        EXPECT_TRUE(WellFormed(name));
    }
    EXPECT_TRUE(env.assertions.empty());
    EXPECT_TRUE(env.systemErrors.empty());
}

TEST_F(XmlOut, IndentationFollowsTheDepthOrIsOff) {
    xmlout_element group("Group");
    group.AddChild(Leaf("North", "1.5"));
    group.AddChild(new xmlout_element("East"));
    EXPECT_EQ(Text(&group, true, 2), "        <Group>\r\n"
                                     "            <North>1.5</North>\r\n"
                                     "            <East/>\r\n"
                                     "        </Group>\r\n");
    group.separated = true;
    group.value = "v";
    EXPECT_EQ(Text(&group, false, 2), "<Group>\r\n"
                                      "v\r\n"
                                      "<North>1.5</North>\r\n"
                                      "<East/>\r\n"
                                      "</Group>\r\n");
}

TEST_F(XmlOut, EscapingHasNoLengthLimit) {
    std::string big(20000, 'a');
    big[10000] = '&';
    Str escaped = xmlout_Escape(big.c_str());
    EXPECT_EQ(escaped.Length(), 20004);
    EXPECT_TRUE(env.assertions.empty());
    // Tab, LF and CR stay references; other control bytes cannot appear in XML 1.0.
    EXPECT_EQ(xmlout_Escape("\t\n\r\x02\x1b"), "&#x009;&#x00a;&#x00d;\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(xmlout_Escape("&#x001;"), "&amp;#x001;");
    EXPECT_EQ(xmlout_Escape(" \x01 "), "\xEF\xBF\xBD");
}

TEST_F(XmlOut, LargeOutputIsFlushedInPiecesThatJoinToTheWhole) {
    xmlout_element root("QuorvelRoad");
    for (int i = 0; i < 3000; ++i) {
        auto* pi = new xmlout_element("PI");
        pi->AddAttribute("n", Str(std::to_string(i).c_str()));
        pi->AddChild(Leaf("Station", std::to_string(i * 20.5).c_str()));
        pi->AddChild(Leaf("Name", ("P<" + std::to_string(i) + ">").c_str()));
        root.AddChild(pi);
    }
    std::string whole = Document(&root, nullptr);  // no file: the text stays in the buffer
    ASSERT_GT(whole.size(), 3u * 0x10000);

    std::string path = tmp / "large.xml";
    file_Class file;
    ASSERT_TRUE(file.Create(Str(path.c_str())));
    std::string buffer = kDeclaration;
    xmlout_WriteElement(&root, &file, true, 0, buffer);
    // Already on disk but for the last batch, which never exceeds the threshold by more
    // than the last element.
    EXPECT_LE(buffer.size(), 0x10000u + 200);
    EXPECT_EQ(file.GetSize() + buffer.size(), whole.size());
    xmlout_FlushBuffer(&file, buffer);
    EXPECT_TRUE(buffer.empty());
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(TempFolder::Read(path), whole);
    EXPECT_TRUE(WellFormed("large.xml"));
}

TEST_F(XmlOut, FlushOnlyAboveTheThreshold) {
    std::string path = tmp / "flush.xml";
    file_Class file;
    ASSERT_TRUE(file.Create(Str(path.c_str())));
    std::string buffer(0x10000, 'x');
    xmlout_FlushIfLarge(&file, buffer);
    EXPECT_EQ(buffer.size(), 0x10000u);
    buffer += 'y';
    xmlout_FlushIfLarge(&file, buffer);
    EXPECT_TRUE(buffer.empty());
    EXPECT_EQ(file.GetSize(), 0x10001u);
    file.Close();
}

TEST_F(XmlOut, WriteFailureIsReportedAndTheBufferEmptied) {
    file_Class full("/dev/full");
    ASSERT_TRUE(full.Open(file_Class::ModeWrite));
    std::string buffer = "<a/>\r\n";
    xmlout_FlushBuffer(&full, buffer);
    EXPECT_TRUE(buffer.empty());
    ASSERT_EQ(env.systemErrors.size(), 1u);
    EXPECT_EQ(env.systemErrors[0].code, 112u);
    full.Close();
}

TEST_F(XmlOut, ChildrenAreAppendedInOrderAndOwned) {
    auto root = std::make_unique<xmlout_element>("Root");
    // A long sibling list and a deep chain are deleted without recursion.
    for (int i = 0; i < 100000; ++i) root->AddChild(new xmlout_element("C"));
    xmlout_element* chain = root->lastChild;
    for (int i = 0; i < 100000; ++i) {
        chain->AddChild(new xmlout_element("D"));
        chain = chain->firstChild;
    }
    root.reset();

    xmlout_element parent("P");
    parent.AddChild(new xmlout_element("A"));
    parent.AddChild(new xmlout_element("B"));
    parent.lastChild = nullptr;  // a damaged list: reported, and the child still goes last
    parent.AddChild(new xmlout_element("C"));
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"this->lastChild"});
    EXPECT_EQ(env.assertions[0].module, "Library/xmlout");
    EXPECT_EQ(Text(&parent), "<P>\r\n    <A/>\r\n    <B/>\r\n    <C/>\r\n</P>\r\n");
}

}  // namespace
