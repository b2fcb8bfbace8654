#include "foundation/xml/reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "foundation/xml/element.h"
#include "support/recording_environment.h"
#include "support/repeated_file.h"

namespace {

std::string TempPath(const std::string& name) {
    const char* dir = std::getenv("QZ_TEST_TMP");
    std::string base = dir ? dir : testing::TempDir();
    static const bool made = std::system(("mkdir -p '" + base + "'").c_str()) == 0;
    if (!made) return name;
    // CTest runs tests in parallel: every test gets files of its own.
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    return base + "/xmlreader_" + (test ? test->name() : "") + "_" + name;
}

Str WriteFile(const std::string& name, const std::string& bytes) {
    std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return Str(path.c_str());
}

Str WriteRepeated(const std::string& name, const std::string& head, const std::string& unit, int64_t bytes,
                  const std::string& tail) {
    std::string path = TempPath(name);
    WriteRepeatedFile(path, head, unit, bytes, tail);
    return Str(path.c_str());
}

// name[attr=value,...]{text}(children) - enough to compare trees exactly.
std::string Dump(const xml_Element* e) {
    if (!e) return "null";
    std::string s = e->name.Data();
    if (e->firstAttribute) {
        s += "[";
        for (const xml_Attribute* a = e->firstAttribute; a; a = a->next)
            s += std::string(a->name.Data()) + "=" + a->value.Data() + (a->next ? "," : "");
        s += "]";
    }
    if (!e->text.IsEmpty()) s += std::string("{") + e->text.Data() + "}";
    if (e->firstChild) {
        s += "(";
        for (const xml_Element* c = e->firstChild; c; c = c->nextSibling) s += Dump(c) + (c->nextSibling ? " " : "");
        s += ")";
    }
    return s;
}

// Reads the whole document as one element; the dump, or "error: " + the message thrown.
std::string Parse(const std::string& body) {
    Str path = WriteFile("parse.xml", "<?xml version=\"1.0\"?>\n" + body);
    xml_ElementReader reader;
    if (!reader.Open(path)) return "not opened";
    try {
        std::unique_ptr<xml_Element> root(reader.ReadElement());
        std::string dump = Dump(root.get());
        if (!reader.Close()) dump += " (not closed)";
        return dump;
    } catch (const Str& message) {
        return std::string("error: ") + message.Data();
    }
}

}  // namespace

TEST(XmlReader, OpenChecksTheDeclaration) {
    struct {
        const char* name;
        std::string bytes;
        bool opens;
    } cases[] = {
        {"plain", "<?xml version=\"1.0\"?><a/>", true},
        {"bom", "\xEF\xBB\xBF<?xml version=\"1.0\"?><a/>", false},
        {"blank", " <?xml version=\"1.0\"?><a/>", false},
        {"emptyline", "\n<?xml version=\"1.0\"?><a/>", false},
        {"upper", "<?XML version=\"1.0\"?><a/>", false},
        {"empty", "", false},
        {"short", "<?xm", false},
        {"notxml", "hello world", false},
    };
    for (const auto& c : cases) {
        xml_ElementReader reader;
        EXPECT_EQ(reader.Open(WriteFile(c.name, c.bytes)), c.opens) << c.name;
    }
    xml_ElementReader missing;
    EXPECT_FALSE(missing.Open(Str(TempPath("no/such/file.xml").c_str())));
    EXPECT_FALSE(missing.Close());
}

TEST(XmlReader, AcceptedSubset) {
    struct {
        std::string body;
        std::string expected;
    } cases[] = {
        {"<a x=\"1\" y=\"two\"><b>t</b><c/></a>", "a[x=1,y=two](b{t} c)"},
        {"<a></a>", "a"},
        {"<a/>", "a"},
        {"<a  x = \"1\"  />", "a[x=1]"},
        {"<a x=\"1\" x=\"2\"/>", "a[x=1,x=2]"},
        {"<a>  one \n\t  two  </a>", "a{one two}"},
        {"<a> w1 <b/> w2 </a>", "a{w1  w2}(b)"},
        {"<a v=\"  one\n   two\r\n three  \"/>", "a[v=one two three]"},
        {"<a v=\"<>=/!?\"/>", "a[v=<>=/!?]"},
        {"<a v=\"\" w=\"x\"/>", "a[v=,w=x]"},
        {"<a v=\"a'b:c;#%\"/>", "a[v=a'b:c;#%]"},
        {"<a xml:lang=\"en\"/>", "a[xml:lang=en]"},
        {"<a>caf\xC3\xA9 \xE2\x82\xAC</a>", "a{caf\xC3\xA9 \xE2\x82\xAC}"},
        {"<a v=\"\xC3\xA9t\xC3\xA9\"/>", "a[v=\xC3\xA9t\xC3\xA9]"},
        {"<a>1.0 -- x_y</a>", "a{1.0 -- x_y}"},
        {"<a>&lt;b/&gt; &amp; &apos;&quot;</a>", "a{<b/> & '\"}"},
        {"<a v=\"&lt;&amp;&gt;\"/>", "a[v=<&>]"},
        {"<!-- c --><?pi x?><!DOCTYPE a><a>w<!-- c --></a>", "a{w}"},
        {"<a><![CDATA[x]]></a>", "a"},
        {"<a>\n<!-- before end -->\n</a>", "a"},
        {"<a><b><c><d>deep</d></c></b></a>", "a(b(c(d{deep})))"},
        {"<a>x</a>\n\n", "a{x}"},
        {"<a>x</a>", "a{x}"},
    };
    for (const auto& c : cases) EXPECT_EQ(Parse(c.body), c.expected) << c.body;
}

TEST(XmlReader, CharacterReferencesGiveUtf8) {
    struct {
        const char* reference;
        std::string bytes;
    } cases[] = {
        {"&#65;", "A"},
        {"&#x41;", "A"},
        {"&#X41;", "A"},
        {"&#x0000000041;", "A"},
        {"&#00000000000000000065;", "A"},
        {"&#233;", "\xC3\xA9"},
        {"&#xE9;", "\xC3\xA9"},
        {"&#xe9;", "\xC3\xA9"},
        {"&#256;", "\xC4\x80"},
        {"&#321;", "\xC5\x81"},
        {"&#8364;", "\xE2\x82\xAC"},
        {"&#x1F600;", "\xF0\x9F\x98\x80"},
        {"&#0;", ""},
        {"&#x0;", ""},
        {"&#x;", ""},
        {"&#xD800;", "\xEF\xBF\xBD"},
        {"&#xDFFF;", "\xEF\xBF\xBD"},
        {"&#x110000;", "\xEF\xBF\xBD"},
        {"&#99999999999999999999999;", "\xEF\xBF\xBD"},
        {"&#xFFFFFFFFFFFFFFFFFFFF;", "\xEF\xBF\xBD"},
        {"&#-65;", "\xEF\xBF\xBD"},
        {"&#65abc;", "A"},  // digits up to the first other byte, as atoi reads them
        {"&# 66;", "B"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Parse(std::string("<a>[") + c.reference + "]</a>"), "a{[" + c.bytes + "]}") << c.reference;
    }
    // A reference to 0 leaves nothing, not even a blank: the blanks on both sides stay.
    EXPECT_EQ(Parse("<a>x &#0; y</a>"), "a{x  y}");

    RecordingEnvironment env;
    EXPECT_EQ(Parse("<a>[&#;]</a>"), "a{[]}");
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"reference.Length() > 3"});
    EXPECT_EQ(env.assertions[0].module, "Library/xml");
}

TEST(XmlReader, ErrorMessages) {
    struct {
        std::string body;
        std::string message;
    } cases[] = {
        {"<a v='1'/>", "unexpected a literal"},
        {"<a v>", "unexpected >"},
        {"<a v=\"1\" w/>", "unexpected /"},
        {"<x:a/>", "unexpected syntax"},
        {"<na\xC3\xAFve/>", "unexpected syntax"},
        {"<a =\"1\"/>", "unexpected syntax"},
        {"<a x:=\"1\"/>", "unexpected syntax"},
        {"<a>x & y</a>\n<!-- rest -->", "ampersand sequence needs semicolon: & y</a>\n"},
        {"<a>x &amp</a>", "ampersand sequence needs semicolon: &amp</a>"},
        {"<a>&nbsp;</a>", "unrecognised ampersand sequence: &nbsp;"},
        {"<a>&AMP;</a>", "unrecognised ampersand sequence: &AMP;"},
        {"<a>& b ;</a>", "unrecognised ampersand sequence: & b ;"},
        {"<a>&#x4G;</a>", "badly formed hex reference: &#x4G;"},
        {"<a><!-- c -->w</a>", "unexpected an identifier"},
        {"<a><!-- x > y --></a>", "unexpected an identifier"},
        {"<a></b>", "closing tag mismatch: a vs b"},
        {"<a><b></a></b>", "closing tag mismatch: b vs a"},
        {"<a>text", "unexpected end-of-file"},
        {"<a>text\n", "unexpected end-of-file"},
        {"<a v=\"abc", "unexpected end-of-file"},
        {"<a v=\"abc\n", "unexpected end-of-file"},
        {"<a><!-- never closed", "unexpected end-of-file"},
        {"<a><b/>", "unexpected end-of-file"},
        {"<a></a", "unexpected end-of-file"},
        {"<a", "unexpected syntax"},
        {std::string("<a>x\0y</a>", 10), "unexpected zero byte in XML text"},
        {std::string("<a v=\"\0\"/>", 10), "unexpected zero byte in XML text"},
        {std::string("<a>&am\0p;</a>", 13), "unexpected zero byte in XML text"},
    };
    for (const auto& c : cases) EXPECT_EQ(Parse(c.body), "error: " + c.message) << c.body;
}

TEST(XmlReader, NestingIsLimited) {
    auto nested = [](int levels) {
        std::string s;
        for (int i = 0; i < levels; ++i) s += "<e>";
        s += "x";
        for (int i = 0; i < levels; ++i) s += "</e>";
        return s;
    };
    std::string deepest = Parse(nested(256));
    EXPECT_EQ(deepest.substr(deepest.size() - 259), "e{x}" + std::string(255, ')'));
    EXPECT_EQ(Parse(nested(257)), "error: elements nested deeper than 256 levels");
    EXPECT_EQ(Parse(nested(100000)), "error: elements nested deeper than 256 levels");
}

TEST(XmlReader, PullReadingOfAnExport) {
    Str path = WriteFile("pull.xml",
                                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<!-- exported -->\n"
                                 "<JOBFile product=\"Field\" version=\"1245\">\n"
                                 "  <DATABASE_JobRecord ID=\"0x1\"><Name>Job</Name></DATABASE_JobRecord>\n"
                                 "  <!-- between -->\n"
                                 "  <DATABASE_PointRecord ID=\"0x2\" rec=\"db_Point\">\n"
                                 "    <Name>P1</Name><Grid><North>1.5</North></Grid>\n"
                                 "  </DATABASE_PointRecord>\n"
                                 "  <Empty/>\n"
                                 "</JOBFile>\n");
    xml_ElementReader reader;
    ASSERT_TRUE(reader.Open(path));
    xml_Element* root = reader.Descend(1);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Dump(root), "JOBFile[product=Field,version=1245]");
    std::vector<std::string> read;
    while (xml_Element* e = reader.ReadElement()) {
        read.push_back(Dump(e));
        delete e;
    }
    EXPECT_EQ(read, (std::vector<std::string>{
                        "DATABASE_JobRecord[ID=0x1](Name{Job})",
                        "DATABASE_PointRecord[ID=0x2,rec=db_Point](Name{P1} Grid(North{1.5}))",
                        "Empty",
                    }));
    EXPECT_EQ(reader.Ascend(1), nullptr);
    EXPECT_EQ(reader.GetPercent(), 100);
    EXPECT_TRUE(reader.Close());
}

TEST(XmlReader, RecycledTreesReadAsNewOnes) {
    // Longer names, texts and values first, then shorter, empty and absent ones, so
    // reused nodes must drop every trace of what they held.
    Str path = WriteFile("recycle.xml",
                         "<?xml?>\n<root>"
                         "<LongElementName a=\"a long value\" b:c=\"2\">long text<x>1</x><y z=\"3\"/></LongElementName>"
                         "<S a=\"v\">t</S>"
                         "<E/>"
                         "<F><G>g</G></F>"
                         "</root>");
    xml_ElementReader reader;
    ASSERT_TRUE(reader.Open(path));
    ASSERT_NE(reader.Descend(1), nullptr);
    std::vector<std::string> read;
    while (xml_Element* e = reader.ReadElement()) {
        read.push_back(Dump(e));
        reader.Recycle(e);
    }
    EXPECT_EQ(read, (std::vector<std::string>{
                        "LongElementName[a=a long value,b:c=2]{long text}(x{1} y[z=3])",
                        "S[a=v]{t}",
                        "E",
                        "F(G{g})",
                    }));
    reader.Ascend(1);
    EXPECT_TRUE(reader.Close());
    reader.Recycle(new xml_Element("after"));  // with nothing open, simply deleted
}

TEST(XmlReader, DescendTwoLevels) {
    Str path = WriteFile("two.xml", "<?xml?>\n<root r=\"1\"><group g=\"2\">text<a/><b>t</b></group><c/></root>");
    xml_ElementReader reader;
    ASSERT_TRUE(reader.Open(path));
    xml_Element* group = reader.Descend(2);
    EXPECT_EQ(Dump(group), "group[g=2]");  // held open, its text so far dropped
    std::unique_ptr<xml_Element> a(reader.ReadElement()), b(reader.ReadElement());
    EXPECT_EQ(Dump(a.get()) + " " + Dump(b.get()), "a b{t}");
    EXPECT_EQ(reader.ReadElement(), nullptr);
    EXPECT_EQ(Dump(reader.Ascend(1)), "root[r=1]");
    std::unique_ptr<xml_Element> c(reader.ReadElement());
    EXPECT_EQ(Dump(c.get()), "c");
    EXPECT_EQ(reader.ReadElement(), nullptr);
    EXPECT_EQ(reader.Ascend(1), nullptr);
    EXPECT_TRUE(reader.Close());
}

TEST(XmlReader, PullEdgeCases) {
    struct Outcome {
        std::string trace;
    };
    // Descend(1), ReadElement until null, Ascend(1), Close - the import's order.
    auto run = [](const std::string& body) {
        Str path = WriteFile("edge.xml", "<?xml version=\"1.0\"?>\n" + body);
        xml_ElementReader reader;
        if (!reader.Open(path)) return std::string("not opened");
        std::string trace;
        try {
            trace += "D:" + Dump(reader.Descend(1));
            while (xml_Element* e = reader.ReadElement()) {
                trace += " R:" + Dump(e);
                delete e;
            }
            trace += " A:" + Dump(reader.Ascend(1));
        } catch (const Str& message) {
            trace += std::string(" error: ") + message.Data();
        }
        trace += reader.Close() ? " closed" : " not closed";
        return trace;
    };
    struct {
        std::string body;
        std::string trace;
    } cases[] = {
        {"<root a=\"1\"/>", "D:null A:null closed"},
        {"<root>only text</root>\n", "D:null A:null closed"},
        {"<root><a/>", "D:root R:a error: unexpected end-of-file not closed"},
        {"<root><a/>junk<b/></root>", "D:root R:a error: unexpected an identifier not closed"},
        {"<root><a/>&amp;<b/></root>", "D:root R:a error: unexpected a literal not closed"},
        {"<root><a/></root>\n<!-- trailing -->\n", "D:root R:a A:null not closed"},
        {"<root><a/></root>\n<?pi?>", "D:root R:a A:null not closed"},
        {"<root><a/></root> junk", "D:root R:a A:null not closed"},
        {"<root><a/></root> &bad;", "D:root R:a A:null not closed"},
        {"<root><a/></roo>", "D:root R:a error: closing tag mismatch: root vs roo not closed"},
        {"</a>", " error: unexpected closing tag: a not closed"},
        {"<root><a/><!-- c --></root>", "D:root R:a A:null closed"},
    };
    for (const auto& c : cases) EXPECT_EQ(run(c.body), c.trace) << c.body;
}

TEST(XmlReader, AscendRefusesUnreadChildren) {
    Str path = WriteFile("unread.xml", "<?xml?>\n<root><a/><b/></root>");
    xml_ElementReader reader;
    ASSERT_TRUE(reader.Open(path));
    ASSERT_NE(reader.Descend(1), nullptr);
    try {
        reader.Ascend(1);
        FAIL() << "no error";
    } catch (const Str& message) {
        EXPECT_EQ(message, "unread element before the end tag of root");
    }
}

TEST(XmlReader, MisuseIsReported) {
    RecordingEnvironment env;
    Str path = WriteFile("misuse.xml", "<?xml?>\n<root><a/></root>");
    xml_ElementReader reader;
    ASSERT_TRUE(reader.Open(path));
    EXPECT_EQ(reader.Descend(0), nullptr);
    EXPECT_EQ(reader.Descend(4), nullptr);
    EXPECT_EQ(reader.Ascend(1), nullptr);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"count > 0", "count <= maxParsingReturnLevels",
                                                           "count <= heldCount"}));
}

namespace {

// An export whose names, words and references fall across the reader's piece
// boundaries at many offsets.
std::vector<std::string> SampleElements() {
    std::vector<std::string> elements;
    for (int i = 0; i < 700; ++i) {
        std::string pad(i % 37, 'p');
        std::string longWord(i * 13 % 200, 'w');
        elements.push_back("<DATABASE_PointRecord" + pad + " ID=\"0x" + std::to_string(i) + "\" rec=\"db_Point\">" +
                           "<Name>Point" + std::to_string(i) + "</Name>" +
                           "<Description>caf&#233; &amp; r&#xE9;sum&#xe9; " + longWord + " &lt;" +
                           std::to_string(i * 7) + "&gt;</Description>" +
                           "<Grid><North>" + std::to_string(i * 1.25) + "</North><East>-" + std::to_string(i) +
                           ".5</East></Grid>" + "<Note v=\"a &quot;quoted&quot; " + pad + "\"/>" +
                           "</DATABASE_PointRecord" + pad + ">");
    }
    return elements;
}

std::vector<std::string> ReadAll(const Str& path, std::vector<int>* percents) {
    xml_ElementReader reader;
    EXPECT_TRUE(reader.Open(path));
    std::vector<std::string> dumps;
    xml_Element* root = reader.Descend(1);
    EXPECT_NE(root, nullptr);
    if (root) dumps.push_back(Dump(root));
    while (xml_Element* e = reader.ReadElement()) {
        dumps.push_back(Dump(e));
        delete e;
        if (percents) percents->push_back(reader.GetPercent());
    }
    reader.Ascend(1);
    EXPECT_TRUE(reader.Close());
    return dumps;
}

}  // namespace

TEST(XmlReader, LineBreaksChangeNothing) {
    std::vector<std::string> elements = SampleElements();
    std::string oneLine = "<?xml version=\"1.0\"?><JOBFile product=\"x\" version=\"1\">";
    std::string lines = "<?xml version=\"1.0\"?>\n<JOBFile product=\"x\" version=\"1\">\n";
    for (const auto& e : elements) {
        oneLine += e;
        lines += "  " + e + "\r\n";
    }
    oneLine += "</JOBFile>";
    lines += "</JOBFile>\n";
    ASSERT_GT(oneLine.size(), 15u * xml_Tokenizer::kPieceSize);

    std::vector<int> percents;
    std::vector<std::string> fromOneLine = ReadAll(WriteFile("oneline.xml", oneLine), &percents);
    std::vector<std::string> fromLines = ReadAll(WriteFile("lines.xml", lines), nullptr);
    ASSERT_EQ(fromOneLine.size(), elements.size() + 1);
    EXPECT_EQ(fromOneLine, fromLines);
    EXPECT_EQ(fromOneLine[1].substr(0, 87),
              "DATABASE_PointRecord[ID=0x0,rec=db_Point](Name{Point0} Description{caf\xC3\xA9 & r\xC3\xA9sum\xC3\xA9 <0>");

    // The percentage never falls, stays ahead of the parser by at most one piece, and
    // reaches 100 once the last piece has been read.
    ASSERT_FALSE(percents.empty());
    for (size_t i = 1; i < percents.size(); ++i) EXPECT_GE(percents[i], percents[i - 1]);
    EXPECT_LT(percents.front(), 10);
    EXPECT_EQ(percents.back(), 100);
}

// A text leaves the buffer whole and the kept bytes stay, whether it is copied or, when
// long, leaves with the buffer's block: also when it fills that block to the last byte.
TEST(XmlReader, TextLeavesItsBufferWhole) {
    const struct {
        size_t keep, length;
    } cases[] = {{0, 100}, {3, 100}, {0, 1 << 17}, {3, (1 << 17) - 3}, {5, 1 << 18}};
    for (const auto& c : cases) {
        xml_TextBuffer buffer;
        std::string expected;
        for (size_t i = 0; i < c.keep + c.length; ++i) expected.push_back(static_cast<char>('a' + i % 26));
        buffer.append(expected.data(), expected.size());
        Str text;
        buffer.MoveOut(c.keep, c.keep + c.length, c.keep, text);
        EXPECT_EQ(std::string(text.Data(), static_cast<size_t>(text.Length())), expected.substr(c.keep)) << c.length;
        EXPECT_EQ(text.Data()[text.Length()], 0) << c.length;
        ASSERT_EQ(buffer.size(), c.keep);
        EXPECT_EQ(std::string(buffer.data(), buffer.size()), expected.substr(0, c.keep));
        buffer.append("zz", 2);
        EXPECT_EQ(std::string(buffer.data(), buffer.size()), expected.substr(0, c.keep) + "zz");
    }
}

TEST(XmlReader, LongTokensStayWhole) {
    std::string word(3 * xml_Tokenizer::kPieceSize + 123, 'x');
    std::string name(xml_Tokenizer::kPieceSize + 7, 'n');
    std::string body = "<a><" + name + " v=\"" + word + "\">" + word + " " + word + "</" + name + "></a>";
    std::string expected = "a(" + name + "[v=" + word + "]{" + word + " " + word + "})";
    EXPECT_EQ(Parse(body), expected);
}

// A tree past the bound ends the reading with a message: the text gathered, the nodes
// made or the one token or value lexed never grow much beyond it.
TEST(XmlReader, OneElementsTreeIsBounded) {
    const int64_t past = xml_MaxTreeBytes + (1 << 20);
    const std::string tooLarge = " is larger than 64 MiB, far more than a job record can hold";
    struct Case {
        const char* shape;
        std::string head, unit;
        int64_t bytes;
        std::string tail, message;
    } const cases[] = {
        {"text of many words", "<Note>", "word ", past, "</Note>", "element Note" + tooLarge},
        {"text in a child", "<Wrap><Note>", "word ", past, "</Note></Wrap>", "element Wrap" + tooLarge},
        // Each node counts its own size too: 8 bytes of file cost about 80 bytes of tree.
        {"many small children", "<Wrap>", "<r>x</r>", xml_MaxTreeBytes / 8, "</Wrap>", "element Wrap" + tooLarge},
        {"text of one word", "<Note>", "x", past, "</Note>", "XML token longer than 64 MiB"},
        {"value of many words", "<Note v=\"", "word ", past, "\"/>", "element Note" + tooLarge},
    };
    for (const Case& c : cases) {
        Str path = WriteRepeated("bounded.xml", "<?xml version=\"1.0\"?>\n<JOBFile>" + c.head, c.unit, c.bytes,
                                 c.tail + "</JOBFile>\n");
        xml_ElementReader reader;
        ASSERT_TRUE(reader.Open(path));
        ASSERT_NE(reader.Descend(1), nullptr);
        std::string message;
        try {
            delete reader.ReadElement();
        } catch (const Str& thrown) {
            message = thrown.Data();
        }
        EXPECT_EQ(message, c.message) << c.shape;
        reader.Close();
        std::remove(path.Data());
    }
    // Just below the bound an element still reads whole.
    const int64_t below = xml_MaxTreeBytes - (2 << 20);
    Str path = WriteRepeated("bounded.xml", "<?xml version=\"1.0\"?>\n<JOBFile><Note>", "word ", below,
                             "</Note></JOBFile>\n");
    xml_ElementReader reader;
    ASSERT_TRUE(reader.Open(path));
    ASSERT_NE(reader.Descend(1), nullptr);
    std::unique_ptr<xml_Element> note(reader.ReadElement());
    ASSERT_NE(note, nullptr);
    EXPECT_GE(note->text.Length(), below - 1);
    EXPECT_EQ(reader.ReadElement(), nullptr);
    EXPECT_EQ(reader.Ascend(1), nullptr);
    EXPECT_TRUE(reader.Close());
    std::remove(path.Data());
}

TEST(XmlReader, ReferenceNeedsItsSemicolonWithinAPiece) {
    // A reference is looked for at most one piece from its "&".
    std::string far(xml_Tokenizer::kPieceSize, 'z');
    std::string result = Parse("<a>&" + far + ";</a>");
    std::string prefix = "error: ampersand sequence needs semicolon: &zzz";
    EXPECT_EQ(result.substr(0, prefix.size()), prefix);
    EXPECT_EQ(result.size(), std::string("error: ampersand sequence needs semicolon: ").size() +
                                 xml_Tokenizer::kPieceSize - 1);
}

TEST(XmlReader, DamagedInputEndsInAResultOrAMessage) {
    // Every damaged copy of a small export either reads or fails with a message: the
    // reader never hangs, crashes or reads outside its data (the sanitizer build checks).
    const std::string valid =
        "<?xml version=\"1.0\"?>\n<JOBFile product=\"x\" version=\"1\">\n"
        "<DATABASE_PointRecord ID=\"0x1\" rec=\"db_Point\"><!-- c --><Name>caf&#233; &amp; &lt;1&gt;</Name>"
        "<Grid><North>1.5</North><East/></Grid><?pi x?></DATABASE_PointRecord>\n"
        "<DATABASE_NoteRecord xml:id=\"n\">word &#x41; more</DATABASE_NoteRecord>\n</JOBFile>\n";
    const char alphabet[] = "<>/=!?\"&#;: \n\tax0\x80\xC3";
    uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    };
    int read = 0, failed = 0;
    for (int round = 0; round < 800; ++round) {
        std::string doc = valid;
        for (int edits = 1 + next() % 4; edits > 0 && doc.size() > 7; --edits) {
            size_t at = 6 + next() % (doc.size() - 6);  // keep the declaration's start
            switch (next() % 3) {
            case 0: doc.erase(at, 1 + next() % 8); break;
            case 1: doc.insert(at, 1, alphabet[next() % (sizeof alphabet - 1)]); break;
            default: doc.resize(at); break;
            }
        }
        // A new name each round: replacing a file's contents makes the file system flush.
        Str path = WriteFile("damaged" + std::to_string(round) + ".xml", doc);
        xml_ElementReader reader;
        ASSERT_TRUE(reader.Open(path));
        std::remove(path.Data());
        try {
            reader.Descend(1);
            for (int n = 0; n < 100; ++n) {
                xml_Element* e = reader.ReadElement();
                if (!e) break;
                delete e;
            }
            reader.Ascend(1);
            reader.Close() ? ++read : ++failed;
        } catch (const Str& message) {
            EXPECT_FALSE(message.IsEmpty());
            ++failed;
        }
    }
    EXPECT_GT(read, 0);
    EXPECT_GT(failed, 0);
}

TEST(XmlReader, AValueThatBeginsWithABrokenReferenceReadsOrFails) {
    // Its first piece adds no byte to a text buffer that has no block yet.
    const std::string doc = "<?xml version=\"1.0\"?>\n<JobGxt ID=\"&##-F&\xB4-#7\x06;\"UTF&C8";
    Str path = WriteFile("broken_reference.xml", doc);
    xml_ElementReader reader;
    ASSERT_TRUE(reader.Open(path));
    std::remove(path.Data());
    try {
        reader.Descend(1);
        while (xml_Element* e = reader.ReadElement()) delete e;
        reader.Close();
    } catch (const Str& message) {
        EXPECT_FALSE(message.IsEmpty());
    }
}

TEST(XmlReader, TagsReadTheSameAtEveryOffsetToAPieceEnd) {
    // Each element starts at every offset from a piece's end to just past it: where the
    // bytes read end inside a tag, or a tag is not of the plainest form, the tokens read it,
    // and the tree or message must come out the same either way.
    std::string many;
    for (int i = 0; i < 17; ++i) many += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    struct {
        std::string element;
        std::string expected;
    } cases[] = {
        {"<Record ID=\"0x1\" rec=\"db_Point\">text</Record>", "Record[ID=0x1,rec=db_Point]{text}"},
        {"<Note a = \"v\"b=\"\"/>", "Note[a=v,b=]"},
        {"<Note a=\"&lt;x\" b:c=\"2\" d=\" e f \"></Note>", "Note[a=<x,b:c=2,d=e f]"},
        {"<Many" + many + "/>", "Many[a0=0,a1=1,a2=2,a3=3,a4=4,a5=5,a6=6,a7=7,a8=8,a9=9,a10=10,a11=11,a12=12,"
                                "a13=13,a14=14,a15=15,a16=16]"},
        {"<a>t</a >", "a{t}"},
        {"<T a=\"1\">x\"y>z=/</T>", "T[a=1]{x\"y>z=/}"},
        {"<T>  a  b &amp; c </T>", "T{a b & c}"},
        {"<E></E>", "E"},
        {"<Grid><North>1.5</North></Grid>", "Grid(North{1.5})"},
        {"<Name>t</Names>", "error: closing tag mismatch: Name vs Names"},
        {"<Name>t</Nam>", "error: closing tag mismatch: Name vs Nam"},
        {"<&#233;>x</\xC3\xA9>", "error: closing tag mismatch: \xC3\xA9 vs \xC3"},
        {"<&#0;>x</>", "error: closing tag mismatch:  vs >"},
        {"<a/ >", "a"},
        {"<a x=\"1/>", "error: unexpected end-of-file"},
    };
    const std::string head = "<?xml version=\"1.0\"?>\n<r>";
    for (const auto& c : cases) {
        for (size_t before = 0; before <= c.element.size() + 1; ++before) {
            std::string doc = head + std::string(xml_Tokenizer::kPieceSize - head.size() - before, ' ');
            doc += c.element + "</r>";
            xml_ElementReader reader;
            ASSERT_TRUE(reader.Open(WriteFile("offset.xml", doc)));
            std::string result;
            try {
                reader.Descend(1);
                std::unique_ptr<xml_Element> e(reader.ReadElement());
                result = Dump(e.get());
                EXPECT_EQ(reader.ReadElement(), nullptr);
                reader.Ascend(1);
                EXPECT_TRUE(reader.Close());
            } catch (const Str& message) {
                result = std::string("error: ") + message.Data();
            }
            EXPECT_EQ(result, c.expected) << c.element << " from " << before << " bytes before the end";
        }
    }
}
