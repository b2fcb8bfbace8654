#include "foundation/xml/element.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/memcheck.h"
#include "support/recording_environment.h"

namespace {

// <record ID="0x1" rec="db_Point" ID="dup">
//   <Name>P1</Name> <Code/> <Obs>1</Obs> <Obs>2</Obs>
//   <Deltas><North>1.5</North><Deep><Leaf>x</Leaf></Deep></Deltas> <Deltas><North>9</North></Deltas>
// </record>
xml_Element* Sample() {
    auto* root = new xml_Element("record");
    root->AddAttribute(new xml_Attribute("ID", "0x1"));
    root->AddAttribute(new xml_Attribute("rec", "db_Point"));
    root->AddAttribute(new xml_Attribute("ID", "dup"));
    root->AddChild(new xml_Element("Name", "P1"));
    root->AddChild(new xml_Element("Code"));
    root->AddChild(new xml_Element("Obs", "1"));
    root->AddChild(new xml_Element("Obs", "2"));
    auto* deltas = new xml_Element("Deltas");
    deltas->AddChild(new xml_Element("North", "1.5"));
    auto* deep = new xml_Element("Deep");
    deep->AddChild(new xml_Element("Leaf", "x"));
    deltas->AddChild(deep);
    root->AddChild(deltas);
    auto* second = new xml_Element("Deltas");
    second->AddChild(new xml_Element("North", "9"));
    root->AddChild(second);
    return root;
}

const char* NameOf(const xml_Element* e) { return e ? e->name.Data() : "(null)"; }
std::string TextOf(const xml_Element* e) { return e ? e->text.Data() : "(null)"; }

}  // namespace

TEST(XmlElement, ChildLookups) {
    std::unique_ptr<xml_Element> root(Sample());
    EXPECT_EQ(root->GetChildCount(), 6);
    EXPECT_EQ(root->CountChildren("Obs"), 2);
    EXPECT_EQ(root->CountChildren("None"), 0);

    // Missing child and empty child read alike; FindChild tells them apart.
    EXPECT_EQ(root->GetChildText("Code"), "");
    EXPECT_EQ(root->GetChildText("Missing"), "");
    EXPECT_NE(root->FindChild("Code"), nullptr);
    EXPECT_EQ(root->FindChild("Missing"), nullptr);
    EXPECT_EQ(root->GetChildText("Obs"), "1");
    EXPECT_EQ(root->FindChild("name"), nullptr);  // case-sensitive

    struct {
        int n;
        const char* expected;
    } byIndex[] = {{-1, "(null)"}, {0, "Name"}, {1, "Code"}, {5, "Deltas"}, {6, "(null)"}};
    for (const auto& c : byIndex) EXPECT_STREQ(NameOf(root->GetChild(c.n)), c.expected) << c.n;

    // Counted from 1; anything of 1 or less is the first child.
    struct {
        int n;
        const char* expected;
    } at[] = {{-5, "Name"}, {0, "Name"}, {1, "Name"}, {2, "Code"}, {6, "Deltas"}, {7, "(null)"}};
    for (const auto& c : at) EXPECT_STREQ(NameOf(root->GetChildAt(c.n)), c.expected) << c.n;

    EXPECT_EQ(TextOf(root->GetChild(0, "Obs")), "1");
    EXPECT_EQ(TextOf(root->GetChild(1, "Obs")), "2");
    EXPECT_EQ(root->GetChild(2, "Obs"), nullptr);
    EXPECT_EQ(root->GetChild(-1, "Obs"), nullptr);
}

TEST(XmlElement, Attributes) {
    RecordingEnvironment env;
    std::unique_ptr<xml_Element> root(Sample());
    EXPECT_EQ(root->GetAttributeText("ID"), "0x1");  // the first of duplicates
    EXPECT_EQ(xml_GetAttributeText(root.get(), "rec"), "db_Point");
    EXPECT_EQ(root->GetAttributeText("TimeStamp"), "");
    EXPECT_EQ(root->FindAttribute("TimeStamp"), nullptr);

    EXPECT_TRUE(root->SetAttributeText("rec", "db_Line"));
    EXPECT_EQ(root->GetAttributeText("rec"), "db_Line");
    EXPECT_FALSE(root->SetAttributeText("new", "v"));
    EXPECT_EQ(root->FindAttribute("new"), nullptr);

    int count = 0;
    for (xml_Attribute* a = root->firstAttribute; a; a = a->next) ++count;
    EXPECT_EQ(count, 3);
    EXPECT_EQ(root->lastAttribute->value, "dup");
    EXPECT_TRUE(env.assertions.empty());
}

TEST(XmlElement, PathsAndValues) {
    std::unique_ptr<xml_Element> root(Sample());
    struct {
        const char* path;
        const char* expected;
    } paths[] = {
        {"Name", "P1"},          {"Deltas/North", "1.5"},  // only the first Deltas is followed
        {"Deltas/Deep/Leaf", "x"}, {"Deltas/", ""},         {"Deltas//North", "(null)"},
        {"/Name", "(null)"},       {"", "(null)"},           {"Deltas/Missing", "(null)"},
        {"Name/Sub", "(null)"},
    };
    for (const auto& c : paths) {
        const xml_Element* e = root->FindPath(c.path);
        EXPECT_EQ(TextOf(e), c.expected) << c.path;
    }
    EXPECT_STREQ(NameOf(root->FindPath("Deltas/")), "Deltas");
    EXPECT_EQ(root->GetText("Deltas/Deep/Leaf"), "x");
    EXPECT_EQ(root->GetText("Nowhere/Leaf"), "");
    EXPECT_TRUE(root->SetText("Deltas/North", "2.25"));
    EXPECT_EQ(root->GetDouble("Deltas/North", -1), 2.25);
    EXPECT_FALSE(root->SetText("Deltas/South", "1"));

    struct {
        const char* text;
        bool expected;
    } bools[] = {{"true", true}, {"TRUE", true}, {"True", true}, {"1", false},
                 {"false", false}, {"true ", false}, {"", false}};
    for (const auto& c : bools) {
        root->SetText("Name", c.text);
        EXPECT_EQ(root->GetBool("Name"), c.expected) << c.text;
    }
    EXPECT_FALSE(root->GetBool("Missing"));

    struct {
        const char* text;
        double expected;
    } doubles[] = {{"", 7.0},       {"1.5", 1.5},   {"  -2e3xyz", -2000.0}, {"+.5", 0.5},
                   {"abc", 0.0},    {"1,5", 1.0},   {"0x10", 16.0},          {"-0x1p-1", -0.5}};
    for (const auto& c : doubles) {
        root->SetText("Name", c.text);
        EXPECT_EQ(root->GetDouble("Name", 7.0), c.expected) << c.text;
    }
    EXPECT_EQ(root->GetDouble("Missing", 7.0), 7.0);
}

TEST(XmlElement, CountAtLevel) {
    std::unique_ptr<xml_Element> root(Sample());
    EXPECT_EQ(xml_CountAtLevel(root.get(), 0), 6);
    EXPECT_EQ(xml_CountAtLevel(root.get(), 1), 3);  // North, Deep, North
    EXPECT_EQ(xml_CountAtLevel(root.get(), 2), 1);
    EXPECT_EQ(xml_CountAtLevel(root.get(), 3), 0);
    EXPECT_EQ(xml_CountAtLevel(root.get(), -1), 0);
}

TEST(XmlElement, RemoveChildKeepsListEnds) {
    std::unique_ptr<xml_Element> root(Sample());
    xml_Element* last = root->lastChild;
    EXPECT_TRUE(root->RemoveChild(last));
    EXPECT_STREQ(NameOf(root->lastChild), "Deltas");
    EXPECT_EQ(root->lastChild->nextSibling, nullptr);
    EXPECT_TRUE(root->RemoveChild(root->firstChild));
    EXPECT_STREQ(NameOf(root->firstChild), "Code");
    xml_Element stranger("x");
    EXPECT_FALSE(root->RemoveChild(&stranger));
    while (root->firstChild) EXPECT_TRUE(root->RemoveChild(root->firstChild));
    EXPECT_EQ(root->lastChild, nullptr);
    root->AddChild(new xml_Element("again"));
    EXPECT_EQ(root->firstChild, root->lastChild);
    root->AddChild(nullptr);
    EXPECT_EQ(root->GetChildCount(), 1);
}

TEST(XmlElement, AppendingWithLostTailIsReported) {
    RecordingEnvironment env;
    xml_Element e("e");
    e.AddChild(new xml_Element("a"));
    e.AddAttribute(new xml_Attribute("n", "v"));
    e.lastChild = nullptr;
    e.lastAttribute = nullptr;
    e.AddChild(new xml_Element("b"));
    e.AddAttribute(new xml_Attribute("m", "w"));
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"this->lastChild", "this->lastAttribute"}));
    EXPECT_EQ(e.GetChildCount(), 2);  // still appended, nothing lost
    EXPECT_EQ(e.GetAttributeText("m"), "w");
}

TEST(XmlElement, DeletingADeepTreeNeedsNoDeepStack) {
    auto* root = new xml_Element("root");
    xml_Element* at = root;
    for (int i = 0; i < 200000; ++i) {
        auto* child = new xml_Element("d");
        at->AddChild(child);
        at->AddChild(new xml_Element("leaf"));
        at = child;
    }
    delete root;  // a recursive destructor would overflow the stack here
}

// Nodes are reused between trees and threads; a tree freed on another thread, one
// larger than what is kept, and nodes kept by a thread that ends all come back whole
// (the sanitizer build reports any node lost or freed twice).
TEST(XmlElement, NodesSurviveReuseAcrossTreesAndThreads) {
    auto build = [](int count) {
        auto* root = new xml_Element("root");
        for (int i = 0; i < count; ++i) {
            auto* child = new xml_Element("item", Str("text"));
            child->AddAttribute(new xml_Attribute(Str("index"), string_FromInt(i)));
            root->AddChild(child);
        }
        return root;
    };
    xml_Element* big = build(10000);
    delete big;
    xml_Element* tree = build(50);
    xml_Element* other = nullptr;
    std::thread([&] {
        delete tree;  // built here, freed there
        other = build(50);
    }).join();
    EXPECT_EQ(other->GetChildCount(), 50);
    EXPECT_EQ(other->GetChild(49)->GetAttributeText("index"), "49");
    EXPECT_EQ(other->GetChild(0)->text, "text");
    delete other;
    xml_Element* again = build(20000);
    EXPECT_EQ(again->GetChildCount(), 20000);
    delete again;
}

// A pooled node keeps only its free-list link open to the memory checker, so a use
// after free is still caught; taken again it is usable whole. A fresh thread starts
// with an empty pool, so the freed nodes are pooled and come back first.
TEST(XmlElement, PooledNodesArePoisonedForTheMemoryChecker) {
    if (!platform_MemoryChecksActive()) GTEST_SKIP() << "no memory checker in this build";
    std::thread([] {
        auto* element = new xml_Element("gone");
        auto* attribute = new xml_Attribute("ID", "1");
        // Kept as plain addresses: the compiler may not see them as the freed pointers.
        const char* volatile e = reinterpret_cast<const char*>(element);
        const char* volatile a = reinterpret_cast<const char*>(attribute);
        delete attribute;
        delete element;
        struct Case {
            const char* node;
            std::size_t size;
        };
        for (const Case& c : {Case{e, sizeof(xml_Element)}, Case{a, sizeof(xml_Attribute)}}) {
            EXPECT_FALSE(platform_IsMemoryPoisoned(c.node));
            EXPECT_TRUE(platform_IsMemoryPoisoned(c.node + sizeof(void*)));
            EXPECT_TRUE(platform_IsMemoryPoisoned(c.node + c.size - 1));
        }
        auto* element2 = new xml_Element("back", "text");
        auto* attribute2 = new xml_Attribute("rec", "db_Point");
        ASSERT_EQ(reinterpret_cast<const char*>(element2), e);
        ASSERT_EQ(reinterpret_cast<const char*>(attribute2), a);
        for (const Case& c : {Case{e, sizeof(xml_Element)}, Case{a, sizeof(xml_Attribute)}})
            for (std::size_t i = 0; i < c.size; ++i) EXPECT_FALSE(platform_IsMemoryPoisoned(c.node + i)) << i;
        EXPECT_EQ(TextOf(element2), "text");
        EXPECT_STREQ(attribute2->value.Data(), "db_Point");
        delete attribute2;
        delete element2;
    }).join();
}

TEST(XmlElementDeathTest, ReadingAPooledNodeIsCaught) {
    if (!platform_MemoryChecksActive()) GTEST_SKIP() << "no memory checker in this build";
    EXPECT_DEATH(std::thread([] {
                     auto* element = new xml_Element("gone", "text");
                     const char* volatile raw = reinterpret_cast<const char*>(element);
                     delete element;
                     volatile char byte = raw[sizeof(xml_Element) - 1];
                     (void)byte;
                 }).join(),
                 "use-after-poison");
}
