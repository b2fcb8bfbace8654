#include "foundation/xml/xmlindex.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/files/file.h"
#include "foundation/xml/element.h"
#include "foundation/xml/xmlout.h"
#include "support/recording_environment.h"
#include "support/str_print.h"
#include "support/temp_folder.h"

namespace {

using IndexPtr = std::unique_ptr<xml_IndexNode>;
using NodePtr = std::unique_ptr<xml_Node>;

class XmlIndex : public testing::Test {
protected:
    Str Write(const std::string& name, const std::string& bytes) { return Str(tmp.Write(name, bytes).c_str()); }

    // The bytes of the child's range, read straight from the file.
    std::string RangeOf(const xml_IndexNode* node) {
        std::string bytes = TempFolder::Read(node->path.Data());
        return bytes.substr(static_cast<size_t>(node->startOffset),
                            static_cast<size_t>(node->endOffset - node->startOffset + 1));
    }

    std::vector<const xml_IndexNode*> Children(const xml_IndexNode* root) {
        std::vector<const xml_IndexNode*> out;
        for (const xml_IndexNode* c = root->FirstChild; c; c = c->NextSibling) out.push_back(c);
        return out;
    }

    RecordingEnvironment env;
    TempFolder tmp;
};

const char* const kRoad =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<!-- written by hand -->\r\n"
    "<QuorvelRoad version=\"5.2\"\r\n    product=\"Quorvel Zentrovane\">\r\n"
    "    <Name>Main St</Name>\r\n"
    "    <Code/>\r\n"
    "    <!-- <Skipped>not a child</Skipped> -->\r\n"
    "    <HorizontalAlignment>\r\n"
    "        <StartStation>0</StartStation>\r\n"
    "        <Arc kind=\"left\">\r\n"
    "            <Radius>-250.5</Radius>\r\n"
    "            <Large>TRUE</Large>\r\n"
    "        </Arc>\r\n"
    "        <Arc><Radius>100</Radius></Arc>\r\n"
    "    </HorizontalAlignment>\r\n"
    "    <TemplateRecord id=\"1\"\r\n        side=\"L\" >\r\n"
    "        <Name>T1</Name>\r\n"
    "    </TemplateRecord >\r\n"
    "    <Empty a=\"1\" />\r\n"
    "</QuorvelRoad>\r\n";

TEST_F(XmlIndex, ChildrenAndTheirByteRanges) {
    Str path = Write("road.rxl", kRoad);
    IndexPtr root(xml_BuildIndex(path, "quorvelroad"));  // the root is found ignoring case
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetName(), "QuorvelRoad");
    EXPECT_EQ(root->GetAttributeText("version"), "5.2");
    EXPECT_EQ(root->GetAttributeText("product"), "Quorvel Zentrovane");
    EXPECT_EQ(root->GetAttributeText("Version"), "");
    EXPECT_EQ(root->startOffset, 0);
    EXPECT_EQ(root->endOffset, 0);
    EXPECT_TRUE(root->utf8);

    auto children = Children(root.get());
    ASSERT_EQ(children.size(), 5u);
    const char* names[] = {"Name", "Code", "HorizontalAlignment", "TemplateRecord", "Empty"};
    const char* ranges[] = {
        "<Name>Main St</Name>",
        "<Code/>",
        "<HorizontalAlignment>\r\n"
        "        <StartStation>0</StartStation>\r\n"
        "        <Arc kind=\"left\">\r\n"
        "            <Radius>-250.5</Radius>\r\n"
        "            <Large>TRUE</Large>\r\n"
        "        </Arc>\r\n"
        "        <Arc><Radius>100</Radius></Arc>\r\n"
        "    </HorizontalAlignment>",
        "<TemplateRecord id=\"1\"\r\n        side=\"L\" >\r\n        <Name>T1</Name>\r\n    </TemplateRecord >",
        "<Empty a=\"1\" />",
    };
    for (size_t i = 0; i < children.size(); ++i) {
        EXPECT_EQ(children[i]->GetName(), names[i]);
        EXPECT_EQ(RangeOf(children[i]), ranges[i]);
        EXPECT_EQ(children[i]->path, path);
    }
    EXPECT_EQ(children[3]->GetAttributeText("side"), "L");
    EXPECT_EQ(children[4]->GetAttributeText("a"), "1");
    EXPECT_EQ(root->CountChildren("Name"), 1);
    EXPECT_EQ(root->CountChildren("Skipped"), 0);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(XmlIndex, LoadedChildrenParseInPlace) {
    IndexPtr root(xml_BuildIndex(Write("road.rxl", kRoad), "QuorvelRoad"));
    ASSERT_NE(root, nullptr);

    NodePtr name(root->LoadChild("Name"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->GetName(), "Name");
    EXPECT_EQ(name->GetValue(), "Main St");
    EXPECT_EQ(name->GetChildCount(), 0);

    NodePtr code(root->LoadChild("Code"));
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->GetValue(), "");
    EXPECT_EQ(code->value, nullptr);

    NodePtr h(root->LoadChild("HorizontalAlignment"));
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->GetValue(), "");
    EXPECT_EQ(h->GetChildCount(), 3);
    EXPECT_EQ(h->CountChildren("Arc"), 2);
    EXPECT_EQ(h->GetChild(1, "Arc")->GetValueByPath("Radius"), "100");
    EXPECT_EQ(h->GetChild(2, "Arc"), nullptr);
    EXPECT_EQ(h->GetChild(1)->GetAttribute("kind"), "left");
    EXPECT_EQ(h->GetChild(1)->GetAttribute("Kind"), "");
    EXPECT_EQ(h->GetChild(3), nullptr);
    EXPECT_EQ(h->GetValueByPath("Arc/Radius"), "-250.5");  // the first Arc only
    EXPECT_EQ(h->GetValueByPath("Arc/Radius/"), "-250.5");
    EXPECT_EQ(h->FindPath("/Arc"), nullptr);
    EXPECT_EQ(h->FindPath("Arc/Missing"), nullptr);
    EXPECT_DOUBLE_EQ(h->GetDoubleByPath("Arc/Radius", 7), -250.5);
    EXPECT_DOUBLE_EQ(h->GetDoubleByPath("Arc/Missing", 7), 7);
    EXPECT_EQ(h->GetIntByPath("StartStation"), 0);
    EXPECT_EQ(h->GetIntByPath("Arc/Radius"), -250);
    EXPECT_EQ(h->GetIntByPath("Missing"), -1);
    EXPECT_TRUE(h->GetBoolByPath("Arc/Large"));
    EXPECT_FALSE(h->GetBoolByPath("StartStation"));

    NodePtr t(root->LoadChild("TemplateRecord"));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetName(), "TemplateRecord");
    EXPECT_EQ(t->GetAttribute("id"), "1");
    EXPECT_EQ(t->GetAttribute("side"), "L");
    EXPECT_EQ(t->GetValueByPath("Name"), "T1");

    NodePtr empty(root->LoadChild("Empty"));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->GetName(), "Empty");
    EXPECT_EQ(empty->GetAttribute("a"), "1");

    EXPECT_EQ(root->LoadChild("Skipped"), nullptr);
    EXPECT_EQ(root->LoadChild(1, "Name"), nullptr);

    // Two loads of one child are two trees.
    NodePtr again(root->LoadChild(0, "HorizontalAlignment"));
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again->buffer, h->buffer);
    h.reset();
    EXPECT_EQ(again->GetValueByPath("Arc/Radius"), "-250.5");
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(XmlIndex, RangesAcrossChunkBoundaries) {
    const int64_t chunk = xml_IndexReader::kChunkSize;
    std::string file = "<?xml version=\"1.0\"?>\n<Root>\n";
    std::vector<std::string> expected;
    auto pad = [&](int64_t offset) { file.append(static_cast<size_t>(offset - static_cast<int64_t>(file.size())), ' '); };
    auto child = [&](const std::string& text) {
        file += text;
        expected.push_back(text);
    };
    pad(chunk - 1);  // "<" is the chunk's last byte: the next byte comes from the file
    child("<A n=\"1\">first</A>");
    pad(2 * chunk - 1);
    file += "<!-- a comment at the boundary -->";
    pad(3 * chunk - 5);
    child("<B>\n  <C>across</C>\n</B>");  // crosses into the fourth chunk
    pad(4 * chunk - 1);
    child("<D/>");
    for (int i = 0; i < 2000; ++i) child("<E i=\"" + std::to_string(i) + "\">" + std::string(i % 97, 'x') + "</E>");
    file += "\n</Root>\n";
    ASSERT_GT(file.size(), static_cast<size_t>(5 * chunk));
    Str path = Write("big.xml", file);

    IndexPtr root(xml_BuildIndex(path, ""));
    ASSERT_NE(root, nullptr);
    auto children = Children(root.get());
    ASSERT_EQ(children.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const xml_IndexNode* c = children[i];
        ASSERT_EQ(file.substr(static_cast<size_t>(c->startOffset), static_cast<size_t>(c->endOffset - c->startOffset + 1)),
                  expected[i])
            << i;
    }
    EXPECT_EQ(children[0]->startOffset, chunk - 1);

    NodePtr b(root->LoadChild("B"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetValueByPath("C"), "across");
    NodePtr last(root->LoadChild(1999, "E"));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->GetAttribute("i"), "1999");
}

TEST_F(XmlIndex, FailuresGiveNullAndTheirMessage) {
    struct Case {
        const char* name;
        std::string bytes;
        const char* message;
    };
    const Case cases[] = {
        {"case_of_end_tag", "<?xml version=\"1.0\"?><R><a><b/></A></R>", "unexpected end tag"},
        {"crossed_end_tags", "<R><a><b></a></b></R>", "unexpected end tag"},
        {"unquoted_value", "<R><a x=1/></R>", "invalid attribute syntax"},
        {"single_quotes", "<R><a x='1'/></R>", "invalid attribute syntax"},
        {"no_equals", "<R flag><a/></R>", "invalid attribute syntax"},
        {"no_closing_quote", "<R><a x=\"1/></R>", "invalid attribute syntax"},
        {"nothing_between_attributes", "<R a=\"1\"b=\"2\"><a/></R>", "invalid attribute syntax"},
        {"truncated_child", "<R><a><b>1</b>", "unexpected eof"},
        {"unclosed_tag", "<R><a x=\"1\"", "unexpected eof"},
        {"ends_in_open_angle", "<R><a/><", "unexpected eof"},
        {"no_such_root", "<?xml version=\"1.0\"?><Other/>", "unexpected eof"},
        {"empty_file", "", "unexpected eof"},
        {"zero_byte", std::string("<R><a>\0</a></R>", 15), "unexpected zero byte in XML text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        xml_IndexReader reader(Write("bad.xml", c.bytes));
        IndexPtr root(reader.BuildIndex("R"));
        EXPECT_EQ(root, nullptr);
        EXPECT_EQ(reader.GetError(), c.message);
    }
    xml_IndexReader missing(Str((tmp / "missing.xml").c_str()));
    EXPECT_EQ(missing.BuildIndex("R"), nullptr);
    EXPECT_EQ(missing.GetError(), "unable to open file");
    EXPECT_EQ(xml_BuildIndex(Str((tmp / "missing.xml").c_str()), "R"), nullptr);
}

TEST_F(XmlIndex, MarkupTheIndexStepsOver) {
    // Processing instructions, comments holding tags, end tags with blanks and an empty root.
    IndexPtr root(xml_BuildIndex(Write("pi.xml", "<?xml version=\"1.0\"?>\n<?style x?>\n<R>\n"
                                                 "<a><?pi inside?><!-- </a> --><b/></a >\n"
                                                 "<c\ta=\"1\"\tb=\"2\">x</c>\n</R>\n"),
                                 ""));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetName(), "R");
    auto children = Children(root.get());
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(RangeOf(children[0]), "<a><?pi inside?><!-- </a> --><b/></a >");
    EXPECT_EQ(children[1]->GetName(), "c");
    EXPECT_EQ(children[1]->GetAttributeText("b"), "2");
    NodePtr a(root->LoadChild("a"));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetChildCount(), 1);
    EXPECT_EQ(a->GetChild(0)->GetName(), "b");

    IndexPtr empty(xml_BuildIndex(Write("empty.xml", "<R a=\"1\"/>\n<S><t/></S>"), "R"));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->GetAttributeText("a"), "1");
    EXPECT_EQ(empty->FirstChild, nullptr);
}

TEST_F(XmlIndex, EncodingDecidesConversion) {
    const std::string body = "<R name=\"Caf\xE9\"><Caf\xE9 v=\"\xE9t\xE9\">na\xEFve</Caf\xE9></R>";
    IndexPtr latin(xml_BuildIndex(Write("latin.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + body), "R"));
    ASSERT_NE(latin, nullptr);
    EXPECT_FALSE(latin->utf8);
    EXPECT_EQ(latin->GetAttributeText("name"), "Caf\xC3\xA9");
    EXPECT_EQ(latin->CountChildren("Caf\xC3\xA9"), 1);
    NodePtr cafe(latin->LoadChild("Caf\xC3\xA9"));
    ASSERT_NE(cafe, nullptr);
    EXPECT_EQ(cafe->utf8, 0);
    EXPECT_EQ(cafe->GetName(), "Caf\xC3\xA9");
    EXPECT_EQ(cafe->GetValue(), "na\xC3\xAFve");
    EXPECT_EQ(cafe->GetAttribute("v"), "\xC3\xA9t\xC3\xA9");

    const std::string utf8Body = "<R><N>caf\xC3\xA9</N></R>";
    for (const char* declaration : {"<?xml version=\"1.0\" encoding=\"utf-8\"?>", "<?xml version=\"1.0\"?>", ""}) {
        SCOPED_TRACE(declaration);
        IndexPtr root(xml_BuildIndex(Write("utf8.xml", declaration + utf8Body), "R"));
        ASSERT_NE(root, nullptr);
        EXPECT_TRUE(root->utf8);
        NodePtr n(root->LoadChild("N"));
        ASSERT_NE(n, nullptr);
        EXPECT_EQ(n->GetValue(), "caf\xC3\xA9");
    }
}

TEST_F(XmlIndex, ScannerMessages) {
    struct Case {
        const char* name;
        std::string bytes;
        const char* message;
    };
    const std::string decl = "<?xml version=\"1.0\"?>";
    const Case cases[] = {
        {"no_declaration", "<a/>", "not an xml file"},
        {"no_tag", decl + "  \r\n", "couldn't find tag start"},
        {"unclosed_comment", decl + "<!-- ", "couldn't find tag start"},
        {"unclosed_tag", decl + "<a x=\"1\"", "couldn't find tag end"},
        {"nothing_after_start_tag", decl + "<a>  \r\n", "couldn't find element value"},
        {"value_without_end_tag", decl + "<a>text", "couldn't find start of end tag"},
        {"unclosed_end_tag", decl + "<a>text</a", "couldn't find end of end tag"},
        {"unclosed_end_tag_after_children", decl + "<a><b/></a", "couldn't find end of end tag"},
        {"no_end_tag_after_children", decl + "<a><b/> ", "couldn't find start of next tag"},
        {"bad_attribute", decl + "<a><b x=1/></a>", "invalid attribute syntax"},
        {"attribute_without_quote", decl + "<a x=\"1/>", "invalid attribute syntax"},
        {"attributes_run_together", decl + "<a x=\"1\"y=\"2\"/>", "invalid attribute syntax"},
        {"zero_byte", decl + std::string("<a>\0</a>", 8), "unexpected zero byte in XML text"},
        {"too_deep", decl + [] {
             std::string s;
             for (int i = 0; i < 257; ++i) s += "<a>";
             for (int i = 0; i < 257; ++i) s += "</a>";
             return s;
         }(),
         "elements nested deeper than 256 levels"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        xml_FragmentScanner scanner;
        NodePtr node(scanner.ScanFile(Write("scan.xml", c.bytes), true));
        EXPECT_EQ(node, nullptr);
        EXPECT_EQ(scanner.GetError(), c.message);
    }
    xml_FragmentScanner scanner;
    EXPECT_EQ(scanner.ScanFile(Str((tmp / "missing.xml").c_str()), true), nullptr);
    EXPECT_EQ(scanner.GetError(), "");
    EXPECT_EQ(xml_ScanFile(Str((tmp / "missing.xml").c_str()), true), nullptr);

    std::string deep;
    for (int i = 0; i < 256; ++i) deep += "<a>";
    deep += "x";
    for (int i = 0; i < 256; ++i) deep += "</a>";
    NodePtr ok(xml_ScanFile(Write("deep.xml", decl + deep), true));
    ASSERT_NE(ok, nullptr);
}

TEST_F(XmlIndex, ScannedFileTextAndMixedContent) {
    NodePtr root(xml_ScanFile(Write("mixed.xml", "<?xml version=\"1.0\"?>\r\n<R k=\"v\">\r\n"
                                                 "  <a>text\r\nmore<b>1</b> tail <!-- c --><d/></a>\r\n"
                                                 "  <e>  lead and trail  </e>\r\n"
                                                 "  <!-- between -->\r\n"
                                                 "  <f a=\"1\" />\r\n"
                                                 "</R>\r\n"),
                              true));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetName(), "R");
    EXPECT_EQ(root->GetAttribute("k"), "v");
    ASSERT_EQ(root->GetChildCount(), 3);  // nothing after the mixed element is lost
    xml_Node* a = root->GetChild(0);
    EXPECT_EQ(a->GetValue(), "text  more");  // each line break reads as a blank
    ASSERT_EQ(a->GetChildCount(), 2);
    EXPECT_EQ(a->GetValueByPath("b"), "1");
    EXPECT_EQ(a->GetChild(1)->GetName(), "d");
    // Leading white space is skipped; the rest of a value stays as it is.
    EXPECT_EQ(root->GetValueByPath("e"), "lead and trail  ");
    EXPECT_EQ(root->GetChild(2)->GetName(), "f");
    EXPECT_EQ(root->GetChild(2)->GetAttribute("a"), "1");
}

TEST_F(XmlIndex, ScannedTextsResolveReferences) {
    NodePtr root(xml_ScanFile(Write("refs.xml", "<?xml version=\"1.0\"?>\r\n<R k=\"&quot;q&quot; &amp;\">"
                                                "<a>A &amp; B &lt;x&gt; &apos;&#x41;&#66;&#xE9;</a>"
                                                "<b>&bogus; &#; & alone &amp</b></R>"),
                              true));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetAttribute("k"), "\"q\" &");
    EXPECT_EQ(root->GetValueByPath("a"), "A & B <x> 'AB\xC3\xA9");
    // Text that is no known reference stays as it stands, without a report.
    EXPECT_EQ(root->GetValueByPath("b"), "&bogus; &#; & alone &amp");
    EXPECT_TRUE(env.assertions.empty());

    // What the writer escapes reads back as the text it was given.
    xmlout_element written("R");
    const Str text("Lane & <Verge> \"1\" 'a'");
    written.AddChild(new xmlout_element("T", text));
    std::string buffer = "<?xml version=\"1.0\"?>\r\n";
    xmlout_WriteElement(&written, nullptr, true, 0, buffer);
    NodePtr back(xml_ScanFile(Write("escaped.xml", buffer), true));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetValueByPath("T"), text);
}

TEST_F(XmlIndex, WrittenRoadFileIndexesAndReadsBack) {
    xmlout_element road("QuorvelRoad");
    road.AddAttribute("version", "5.2");
    road.AddChild(new xmlout_element("Name", Str("Ring \xC3\xA9st")));
    auto* h = new xmlout_element("HorizontalAlignment");
    for (int i = 0; i < 5000; ++i) {
        auto* arc = new xmlout_element("Arc");
        arc->AddAttribute("n", Str(std::to_string(i).c_str()));
        arc->AddChild(new xmlout_element("Radius", Str(std::to_string(100 + i).c_str())));
        arc->AddChild(new xmlout_element("Note"));
        h->AddChild(arc);
    }
    road.AddChild(h);
    road.AddChild(new xmlout_element("StationInterval", Str("20")));
    std::string path = tmp / "road.rxl";
    {
        file_Class file;
        ASSERT_TRUE(file.Create(Str(path.c_str())));
        std::string buffer = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
        xmlout_WriteElement(&road, &file, true, 0, buffer);
        xmlout_FlushBuffer(&file, buffer);
        ASSERT_TRUE(file.Close());
    }
    IndexPtr root(xml_BuildIndex(Str(path.c_str()), "QuorvelRoad"));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetAttributeText("version"), "5.2");
    NodePtr name(root->LoadChild("Name"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->GetValue(), "Ring \xC3\xA9st");
    NodePtr alignment(root->LoadChild("HorizontalAlignment"));
    ASSERT_NE(alignment, nullptr);
    ASSERT_EQ(alignment->CountChildren("Arc"), 5000);
    EXPECT_EQ(alignment->GetChild(4321)->GetAttribute("n"), "4321");
    EXPECT_EQ(alignment->GetChild(4321)->GetIntByPath("Radius"), 4421);
    NodePtr interval(root->LoadChild("StationInterval"));
    ASSERT_NE(interval, nullptr);
    EXPECT_DOUBLE_EQ(interval->GetDoubleByPath("", 0), 0);  // an empty path finds nothing
    EXPECT_EQ(interval->GetValue(), "20");

    std::unique_ptr<xml_Element> whole(xml_ParseFile(Str(path.c_str())));
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(whole->FindChild("HorizontalAlignment")->GetChildCount(), 5000);
}

TEST_F(XmlIndex, RangesBeyondFourGiB) {
    const int64_t offset = (int64_t{4} << 30) + 123;
    const std::string fragment = "<Far x=\"1\"><Near>2</Near></Far>";
    std::string path = tmp.Write("sparse.xml", "");
    ASSERT_EQ(truncate(path.c_str(), offset), 0);  // sparse
    {
        std::FILE* f = std::fopen(path.c_str(), "r+b");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(fseeko(f, offset, SEEK_SET), 0);
        ASSERT_EQ(std::fwrite(fragment.data(), 1, fragment.size(), f), fragment.size());
        std::fclose(f);
    }
    xml_IndexNode node;
    node.path = path.c_str();
    node.startOffset = offset;
    node.endOffset = offset + static_cast<int64_t>(fragment.size()) - 1;
    NodePtr far(xml_ScanIndexNode(&node, true));
    ASSERT_NE(far, nullptr);
    EXPECT_EQ(far->GetAttribute("x"), "1");
    EXPECT_EQ(far->GetIntByPath("Near"), 2);

    // A range that runs past the end of the file reads what is there.
    node.endOffset += 1000;
    NodePtr again(xml_ScanIndexNode(&node, true));
    ASSERT_NE(again, nullptr);
    node.startOffset = -1;
    EXPECT_EQ(xml_ScanIndexNode(&node, true), nullptr);
}

TEST_F(XmlIndex, WholeFileParse) {
    std::unique_ptr<xml_Element> root(xml_ParseFile(Write("ok.xml", "<?xml version=\"1.0\"?><R a=\"1\"><b>2</b></R>")));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetChildText("b"), "2");

    const std::string missing = tmp / "missing.xml";
    struct Case {
        Str path;
        std::string message;
    };
    const Case cases[] = {
        {Str(missing.c_str()), "bad XML; " + missing + " does not exist or is not an XML file"},
        {Write("two.xml", "<?xml version=\"1.0\"?><R/><S/>"), "bad XML; end of file was not processed"},
        {Write("bad.xml", "<?xml version=\"1.0\"?><R><b></c></R>"), "bad XML; closing tag mismatch: b vs c"},
    };
    for (const Case& c : cases) {
        try {
            delete xml_ParseFile(c.path);
            ADD_FAILURE() << c.message;
        } catch (const Str& message) {
            EXPECT_EQ(message, c.message.c_str());
        }
    }
}

TEST_F(XmlIndex, NodesAppendInOrder) {
    xml_IndexNode index;
    index.AddChild(new xml_IndexNode);
    index.AddChild(new xml_IndexNode);
    index.AddAttribute(new xml_Attribute("a", "1"));
    index.AddAttribute(new xml_Attribute("a", "2"));
    EXPECT_EQ(index.GetAttributeText("a"), "1");
    ASSERT_NE(index.FirstChild->NextSibling, nullptr);

    char text[] = "n\0v\0";
    xml_Node node;
    EXPECT_TRUE(node.SetBuffer(new char[1]));
    EXPECT_FALSE(node.SetBuffer(text));
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"buffer == NULL"});
    EXPECT_EQ(env.assertions[0].module, "Library/xml");
    for (int i = 0; i < 3; ++i) {
        auto* child = new xml_Node;
        child->name = text;
        node.AddChild(child);
        auto* attribute = new xml_NodeAttribute;
        attribute->name = text;
        attribute->value = text + 2;
        node.AddAttribute(attribute);
    }
    EXPECT_EQ(node.CountChildren("n"), 3);
    EXPECT_EQ(node.GetAttribute("n"), "v");
    EXPECT_EQ(env.assertions.size(), 1u);
}

}  // namespace
