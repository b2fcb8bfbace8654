// Feature code library: the library in memory, its file read and written byte for byte
// against fixtures laid out independently (tests/fixtures/jobdb/make_feature_libraries.py),
// damaged files, and the colour, text and code maps.
#include "jobdb/fclfile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "support/allocation_watch.h"
#include "support/recording_environment.h"
#include "support/temp_folder.h"

namespace {

std::string Fixture(const char* name) { return TempFolder::Read(std::string(QZ_FIXTURES_DIR) + "/jobdb/" + name); }

void PutU16At(std::string& bytes, size_t at, uint32_t v) {
    bytes[at] = static_cast<char>(v & 0xFF);
    bytes[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void PutU32At(std::string& bytes, size_t at, uint32_t v) {
    PutU16At(bytes, at, v);
    PutU16At(bytes, at + 2, v >> 16);
}

template <class T>
T* Add(fclfile_Feature& feature, const char* name, int options = 0) {
    T* attribute = new T;
    attribute->Name = name;
    attribute->Options = options;
    feature.AddAttribute(attribute);
    return attribute;
}

// The library of features_all.fal, built through the interface.
void BuildAll(falFormat_Library& library) {
    library.SetVersion(4);
    library.SetHeaderByte(7);
    library.SetName("Site codes");
    library.SetHeaderWord(0x1234);
    library.SetText("Every attribute type and kind");
    std::vector<std::unique_ptr<fclfile_Feature>> features;
    auto feature = [&](int kind, int option, int subtype, const char* code, const char* description) {
        features.push_back(std::make_unique<fclfile_Feature>());
        fclfile_Feature& f = *features.back();
        f.Kind = kind;
        f.KindOption = option;
        f.Subtype = subtype;
        f.Code = code;
        f.Description = description;
        return &f;
    };
    fclfile_Feature* cl = feature(1, 0, 1, "CL", "Centre line");
    auto* height = Add<fclfile_NumericalAttribute>(*cl, "Height", 1);
    height->Double1 = 0.0;
    height->Double2 = 100.5;
    height->Double3 = 1.25;
    height->Byte = 2;
    height->Units = 41;
    Add<fclfile_TextAttribute>(*cl, "Comment")->Number = 30;
    auto* material = Add<fclfile_MenuAttribute>(*cl, "Material", 2);
    material->AddItem("Wood");
    material->AddItem("Steel");
    material->AddItem("Concrete");
    material->HasDefault = 1;
    material->DefaultIndex = 2;
    auto* installed = Add<fclfile_DateAttribute>(*cl, "Installed");
    installed->Number = 1;
    installed->Flag = 1;
    Add<fclfile_TimeAttribute>(*cl, "Checked")->Flag1 = 1;
    Add<fclfile_FileAttribute>(*cl, "Drawing")->Number = 12;
    Add<fclfile_SeparatorAttribute>(*cl, "----");
    Add<fclfile_PhotoAttribute>(*cl, "Picture")->Number = 3;
    feature(1, 1, 1, "FE\xC2\xB7NC", "Cl\xC3\xB4ture \xC2\xBD m\xC3\xA9tal 90\xC2\xB0");
    for (int s = 1; s <= 9; ++s) {
        const std::string code = "S" + std::to_string(s), text = "Subtype " + std::to_string(s);
        feature(2, 0, s, code.c_str(), text.c_str());
    }
    auto* species = Add<fclfile_MenuAttribute>(*feature(0, 0, 1, "TREE", "Tree"), "Species");
    species->AddItem("Oak");
    species->AddItem("Pine");
    species->DefaultIndex = 0xFFFF;
    // Inserting keeps signed code order, which for these codes is the file's order.
    for (auto& f : features) {
        int index = -1;
        ASSERT_TRUE(library.InsertFeature(*f, index));
    }
}

class FeatureLibraryFile : public ::testing::Test {
protected:
    RecordingEnvironment environment;
    TempFolder folder;
};

TEST_F(FeatureLibraryFile, LoadsEveryAttributeTypeAndKind) {
    falFormat_Library library;
    ASSERT_EQ(library.Load((folder.Write("a.fal", Fixture("features_all.fal"))).c_str()), 0);
    EXPECT_EQ(library.GetVersion(), 4);
    EXPECT_EQ(library.GetHeaderByte(), 7);
    EXPECT_EQ(library.GetName(), "Site codes");
    EXPECT_EQ(library.GetHeaderWord(), 0x1234);
    EXPECT_EQ(library.GetText(), "Every attribute type and kind");
    EXPECT_EQ(library.GetFormatCode(), 4);
    ASSERT_EQ(library.GetNumberFeatures(), 12);

    const fclfile_Feature& cl = *library.GetFeature(0);
    EXPECT_EQ(cl.Code, "CL");
    EXPECT_EQ(cl.Description, "Centre line");
    EXPECT_EQ(cl.Kind, 1);
    EXPECT_EQ(cl.KindOption, 0);
    ASSERT_EQ(cl.AttributeCount(), 8);
    const int types[] = {0, 1, 2, 3, 4, 5, 6, 8};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(cl.GetAttribute(k)->GetType(), types[k]) << k;
    const auto& height = static_cast<const fclfile_NumericalAttribute&>(*cl.GetAttribute(0));
    EXPECT_EQ(height.Name, "Height");
    EXPECT_EQ(height.Options, 1);
    EXPECT_EQ(height.Double2, 100.5);
    EXPECT_EQ(height.Double3, 1.25);
    EXPECT_EQ(height.Byte, 2);
    EXPECT_EQ(height.Units, 41);
    const auto& material = static_cast<const fclfile_MenuAttribute&>(*cl.GetAttribute(2));
    EXPECT_EQ(material.ItemCount, 3);
    EXPECT_EQ(material.Items[1], "Steel");
    EXPECT_EQ(material.DefaultText, "Concrete");
    EXPECT_EQ(static_cast<const fclfile_TimeAttribute&>(*cl.GetAttribute(4)).Flag1, 1);
    EXPECT_EQ(static_cast<const fclfile_PhotoAttribute&>(*cl.GetAttribute(7)).Number, 3);

    // Blanks of a code are middle dots in memory; cp1252 text arrives as UTF-8, once.
    const fclfile_Feature& fence = *library.GetFeature(1);
    EXPECT_EQ(fence.Code, "FE\xC2\xB7NC");
    EXPECT_EQ(fence.Description, "Cl\xC3\xB4ture \xC2\xBD m\xC3\xA9tal 90\xC2\xB0");
    EXPECT_EQ(fence.KindOption, 1);
    const fclfile_Feature& tree = *library.GetFeature(11);
    EXPECT_EQ(tree.Kind, 0);
    const auto& species = static_cast<const fclfile_MenuAttribute&>(*tree.GetAttribute(0));
    EXPECT_EQ(species.DefaultIndex, 0xFFFF);
    EXPECT_EQ(species.DefaultText, "?");
    for (int s = 1; s <= 9; ++s) {
        EXPECT_EQ(library.GetFeature(1 + s)->Kind, 2);
        EXPECT_EQ(library.GetFeature(1 + s)->Subtype, s);
    }

    falFormat_Library built;
    BuildAll(built);
    EXPECT_TRUE(library.IsEqual(built));
    EXPECT_TRUE(environment.assertions.empty());
}

TEST_F(FeatureLibraryFile, SavesTheFixtureBytesAndLoadsBackEqual) {
    falFormat_Library built;
    BuildAll(built);
    const std::string path = folder / "built.fal";
    ASSERT_EQ(built.Save(path.c_str()), 0);
    EXPECT_EQ(TempFolder::Read(path), Fixture("features_all.fal"));

    falFormat_Library again;
    ASSERT_EQ(again.Load(path.c_str()), 0);
    EXPECT_TRUE(again.IsEqual(built));
    const std::string second = folder / "again.fal";
    ASSERT_EQ(again.Save(second.c_str()), 0);
    EXPECT_EQ(TempFolder::Read(second), TempFolder::Read(path));
}

TEST_F(FeatureLibraryFile, EmptyLibrary) {
    falFormat_Library empty;
    empty.SetVersion(3);
    const std::string path = folder / "empty.fal";
    ASSERT_EQ(empty.Save(path.c_str()), 0);
    EXPECT_EQ(TempFolder::Read(path), Fixture("features_empty.fal"));
    EXPECT_EQ(TempFolder::Read(path).substr(94), std::string(4, '\xFF'));
    falFormat_Library loaded;
    ASSERT_EQ(loaded.Load(path.c_str()), 0);
    EXPECT_EQ(loaded.GetNumberFeatures(), 0);
    EXPECT_EQ(loaded.GetVersion(), 3);
}

TEST_F(FeatureLibraryFile, NewLibraryDefaults) {
    falFormat_Library library;
    EXPECT_EQ(library.GetVersion(), 4);
    EXPECT_EQ(library.GetFormatCode(), 4);
    EXPECT_EQ(library.GetName(), "");
    EXPECT_EQ(library.GetText(), "");
    EXPECT_EQ(library.GetHeaderByte(), 0);
    EXPECT_EQ(library.GetHeaderWord(), 0);
    EXPECT_EQ(library.GetNumberFeatures(), 0);
    featureCode_Library base;
    EXPECT_EQ(base.Load("x"), 2);
    EXPECT_EQ(base.Save("x"), 4);
    EXPECT_EQ(environment.Expressions(), (std::vector<std::string>{"0", "0"}));
}

TEST_F(FeatureLibraryFile, NameOfTwentyFiveBytesHasNoTerminator) {
    falFormat_Library library;
    library.SetName("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");
    const std::string path = folder / "name.fal";
    ASSERT_EQ(library.Save(path.c_str()), 0);
    const std::string bytes = TempFolder::Read(path);
    EXPECT_EQ(bytes.substr(4, 25), "ABCDEFGHIJKLMNOPQRSTUVWXY");
    EXPECT_EQ(bytes[29], '\0');  // the header word follows at once
    falFormat_Library loaded;
    ASSERT_EQ(loaded.Load(path.c_str()), 0);
    EXPECT_EQ(loaded.GetName(), "ABCDEFGHIJKLMNOPQRSTUVWXY");
}

TEST_F(FeatureLibraryFile, SquareUSFeetComeBackAsSquareFeet) {
    falFormat_Library library;
    fclfile_Feature feature;
    feature.Code = "A";
    Add<fclfile_NumericalAttribute>(feature, "Area")->Units = 39;
    int index = 0;
    library.InsertFeature(feature, index);
    const std::string path = folder / "units.fal";
    ASSERT_EQ(library.Save(path.c_str()), 0);
    falFormat_Library loaded;
    ASSERT_EQ(loaded.Load(path.c_str()), 0);
    EXPECT_EQ(static_cast<fclfile_NumericalAttribute*>(loaded.GetFeature(0)->GetAttribute(0))->Units, 38);
}

TEST_F(FeatureLibraryFile, SaveRefusals) {
    falFormat_Library library;
    const std::string existing = folder.Write("there.fal", "keep");
    EXPECT_EQ(library.Save(existing.c_str()), 1);
    EXPECT_EQ(TempFolder::Read(existing), "keep");

    fclfile_Feature feature;
    feature.Code = "INT";
    Add<fclfile_IntegerAttribute>(feature, "Count");
    int index = 0;
    library.InsertFeature(feature, index);
    const std::string path = folder / "integer.fal";
    EXPECT_EQ(library.Save(path.c_str()), 4);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(FeatureLibraryFile, MenuDefaultPastItsItemsReadsAsUnknownAndSavesBack) {
    std::string bytes = Fixture("features_all.fal");
    // First feature's third attribute: the menu, at 98 + 78 + 56 + 31; default index at +33.
    const size_t menu = 98 + 78 + 56 + 31;
    ASSERT_EQ(bytes[menu], 2);
    PutU16At(bytes, menu + 33, 7);
    const std::string path = folder.Write("menu.fal", bytes);
    falFormat_Library library;
    ASSERT_EQ(library.Load(path.c_str()), 0);
    const auto& material = static_cast<const fclfile_MenuAttribute&>(*library.GetFeature(0)->GetAttribute(2));
    EXPECT_EQ(material.HasDefault, 1);
    EXPECT_EQ(material.DefaultIndex, 7);
    EXPECT_EQ(material.DefaultText, "?");
    const std::string saved = folder / "menu-saved.fal";
    ASSERT_EQ(library.Save(saved.c_str()), 0);
    EXPECT_EQ(TempFolder::Read(saved), bytes);
}

struct Damage {
    const char* what;
    void (*change)(std::string& bytes);
    int result;
};

TEST_F(FeatureLibraryFile, DamagedFiles) {
    const Damage cases[] = {
        {"short header", [](std::string& b) { b.resize(50); }, 3},
        {"format code 5", [](std::string& b) { PutU16At(b, 92, 5); }, 9},
        {"version 5", [](std::string& b) { b[0] = 5; }, 9},
        {"version 2", [](std::string& b) { b[0] = 2; }, 9},
        {"integer attribute", [](std::string& b) { PutU16At(b, 176, 7); }, 6},
        {"type 9 attribute", [](std::string& b) { PutU16At(b, 176, 9); }, 6},
        {"cut feature record", [](std::string& b) { b.resize(98 + 40); }, 3},
        {"cut attribute record", [](std::string& b) { b.resize(176 + 20); }, 3},
        {"cut menu items", [](std::string& b) { b.resize(98 + 78 + 56 + 31 + 35 + 30); }, 3},
        {"menu of 65535 items", [](std::string& b) { PutU16At(b, 98 + 78 + 56 + 31 + 29, 0xFFFF); }, 3},
        {"huge feature count", [](std::string& b) { PutU16At(b, 2, 0xFFFF); }, 3},
        {"huge attribute count", [](std::string& b) { PutU16At(b, 98, 0xFFFF); }, 3},
        {"no next feature", [](std::string& b) { PutU32At(b, 98 + 74, 0xFFFFFFFF); }, 3},
        {"no next attribute", [](std::string& b) { PutU32At(b, 176 + 25, 0xFFFFFFFF); }, 3},
    };
    const std::string good = Fixture("features_all.fal");
    for (const Damage& c : cases) {
        std::string bytes = good;
        c.change(bytes);
        const std::string path = folder.Write("damaged.fal", bytes);
        falFormat_Library library;
        AllocationWatch watch;
        EXPECT_EQ(library.Load(path.c_str()), c.result) << c.what;
        if (AllocationWatch::Available()) {
            EXPECT_LT(watch.LargestBlock(), 64u * 1024) << c.what;
        }
    }
    falFormat_Library library;
    EXPECT_EQ(library.Load((folder / "missing.fal").c_str()), 2);
}

TEST(FeatureLibrary, InsertFindRemoveSort) {
    RecordingEnvironment environment;
    falFormat_Library library;
    fclfile_Feature feature;
    int index = -1;
    for (const char* code : {"B", "A", "C"}) {
        feature.Code = code;
        feature.Description = Str("about ") + code;
        ASSERT_TRUE(library.InsertFeature(feature, index));
    }
    // An equal code, ignoring case, goes before the existing one.
    feature.Code = "b";
    ASSERT_TRUE(library.InsertFeature(feature, index));
    EXPECT_EQ(index, 1);
    EXPECT_EQ(library.GetFeature(2)->Code, "B");
    // Signed bytes put a code starting at 0x80 or above first; Sort's strcmp puts it last.
    feature.Code = "\xC3\x89T";
    ASSERT_TRUE(library.InsertFeature(feature, index));
    EXPECT_EQ(index, 0);
    library.Sort();
    EXPECT_EQ(library.GetFeature(4)->Code, "\xC3\x89T");
    EXPECT_EQ(library.GetFeature(0)->Code, "A");

    EXPECT_TRUE(library.FindFeatureByCode("c", index));
    EXPECT_EQ(index, 3);
    EXPECT_TRUE(library.FindFeatureByDescription("ABOUT A", index));
    EXPECT_EQ(index, 0);
    EXPECT_FALSE(library.FindFeatureByCode("Z", index));
    EXPECT_FALSE(library.HasAttributes());

    EXPECT_EQ(library.RemoveFeature(0), 4);
    EXPECT_TRUE(library.GetFeature(0)->Code.EqualInsensitive("B"));
    EXPECT_EQ(library.RemoveFeature(4), 4);
    EXPECT_EQ(library.GetFeature(-1), nullptr);
    fclfile_Feature* out = nullptr;
    EXPECT_FALSE(library.GetFeature(4, &out));
    EXPECT_FALSE(library.GetFeature(0, nullptr));
    EXPECT_TRUE(library.GetFeature(3, &out));
    EXPECT_EQ(environment.Expressions(), (std::vector<std::string>{"n < this->NumberFeatures", "i > -1"}));
}

TEST(FeatureLibrary, FeatureCopyAndEquality) {
    fclfile_Feature a;
    a.Code = "X";
    Add<fclfile_MenuAttribute>(a, "M")->AddItem("one");
    Add<fclfile_IntegerAttribute>(a, "I")->Int2 = 5;
    a.Extra1 = 9;
    fclfile_Feature b;
    ASSERT_TRUE(b.Assign(a));
    EXPECT_TRUE(b.IsEqual(a));
    EXPECT_NE(b.GetAttribute(0), a.GetAttribute(0));
    // Values are not compared; definitions and the kind values are.
    static_cast<fclfile_IntegerAttribute*>(b.GetAttribute(1))->SetValue(3);
    EXPECT_TRUE(b.IsEqual(a));
    EXPECT_EQ(b.GetAttribute(1)->ValueSet, 1);
    static_cast<fclfile_MenuAttribute*>(b.GetAttribute(0))->AddItem("two");
    EXPECT_FALSE(b.IsEqual(a));
    ASSERT_TRUE(b.Assign(a));
    b.Extra2 = 1;
    EXPECT_FALSE(b.IsEqual(a));
    // A text and a file attribute with the same record are not equal.
    fclfile_TextAttribute text;
    fclfile_FileAttribute file;
    EXPECT_TRUE(text.IsNotEqual(file));
}

TEST(FeatureLibrary, KindFlags) {
    struct Case {
        int kind, option, subtype;
        uint32_t flags;
    };
    const Case cases[] = {{0, 0, 1, 0x0},    {1, 0, 1, 0x4},    {1, 1, 1, 0x104},  {2, 0, 1, 0x9},
                          {2, 0, 2, 0x11},   {2, 0, 3, 0x21},   {2, 0, 4, 0x201},  {2, 0, 5, 0x41},
                          {2, 0, 6, 0x401},  {2, 0, 7, 0x801},  {2, 0, 8, 0x1001}, {2, 0, 9, 0x2001},
                          {2, 0, 0, 0x1}};
    for (const Case& c : cases) {
        EXPECT_EQ(fclfile_EncodeKind(c.kind, c.option, c.subtype), c.flags) << c.flags;
        int kind = -1, option = 0, subtype = 1;
        fclfile_DecodeKind(c.flags, kind, option, subtype);
        EXPECT_EQ(kind, c.kind);
        if (c.kind == 1) {
            EXPECT_EQ(option, c.option);
        }
        if (c.kind == 2) {
            EXPECT_EQ(subtype, c.subtype);
        }
    }
    // Reading tests 0x20 before 0x10, writing never sets both.
    int kind = 0, option = 0, subtype = 0;
    fclfile_DecodeKind(0x31, kind, option, subtype);
    EXPECT_EQ(subtype, 3);
    fclfile_DecodeKind(0x1 | 0x4 | 0x100, kind, option, subtype);
    EXPECT_EQ(kind, 2);
}

TEST(FeatureLibrarySupport, Colours) {
    // CSS green, aquamarine, brown and orange, red in the low byte.
    EXPECT_EQ(fclfile_ColourToRGB(4), 0x008000);
    EXPECT_EQ(fclfile_ColourToRGB(11), 0x7F | 0xFF << 8 | 0xD4 << 16);
    EXPECT_EQ(fclfile_ColourToRGB(12), 0xA5 | 0x2A << 8 | 0x2A << 16);
    EXPECT_EQ(fclfile_ColourToRGB(13), 0xFF | 0xA5 << 8 | 0x00 << 16);
    EXPECT_EQ(fclfile_ColourToRGB(0), 16);
    EXPECT_EQ(fclfile_ColourToRGB(16), 16);
    EXPECT_EQ(fclfile_RGBToColour(0), 1);
    EXPECT_EQ(fclfile_RGBToColour(0x123456), 16);
    for (int n = 1; n <= 15; ++n) EXPECT_EQ(fclfile_RGBToColour(fclfile_ColourToRGB(n)), n);
}

TEST(FeatureLibrarySupport, UnitsMaps) {
    for (int code = 0; code <= 50; ++code) {
        const int expected = code <= 38 ? code : code <= 45 ? code + 1 : 47;
        EXPECT_EQ(fclfile_UnitsFromFile(code), expected) << code;
    }
    for (int units = 0; units <= 50; ++units) {
        const int expected = units <= 38 ? units : units == 39 ? 38 : units <= 46 ? units - 1 : 46;
        EXPECT_EQ(fclfile_UnitsToFile(units), expected) << units;
    }
    EXPECT_EQ(fclfile_UnitsFromFile(-1), 47);
    EXPECT_EQ(fclfile_UnitsToFile(-1), 46);
}

TEST(FeatureLibrarySupport, TextAndCodes) {
    Str plain = "ABC";
    fclfile_BlanksToMiddleDots(plain);
    EXPECT_EQ(plain, "ABC");
    Str blanks = "  \x1F";
    fclfile_BlanksToMiddleDots(blanks);
    EXPECT_EQ(blanks, "\xC2\xB7\xC2\xB7\xC2\xB7");
    fclfile_MiddleDotsToBlanks(blanks);
    EXPECT_EQ(blanks, "   ");
    EXPECT_EQ(fclfile_UTF8ToCodePage("caf\xC3\xA9"), "caf\xE9");
    EXPECT_EQ(fclfile_CodePageToUTF8("caf\xE9"), "caf\xC3\xA9");

    EXPECT_LT(fclfile_CompareCodes("\x80X", "A"), 0);
    EXPECT_GT(std::strcmp("\x80X", "A"), 0);
    EXPECT_EQ(fclfile_CompareCodes("AB", "AB"), 0);
    EXPECT_LT(fclfile_CompareCodes("A", "AB"), 0);

    fclfile_IndexList list;
    int out = 0;
    EXPECT_FALSE(list.Get(0, &out));
    EXPECT_TRUE(list.Add(5));
    EXPECT_TRUE(list.Add(7));
    EXPECT_TRUE(list.Get(1, &out));
    EXPECT_EQ(out, 7);
    EXPECT_FALSE(list.Get(1, nullptr));
    EXPECT_FALSE(list.Get(2, &out));
    EXPECT_FALSE(list.Get(-1, &out));

    void* block = mem_Alloc(16);
    ASSERT_NE(block, nullptr);
    block = mem_Realloc(block, 32);
    ASSERT_NE(block, nullptr);
    mem_Free(block);
    mem_Free(nullptr);
    EXPECT_EQ(mem_Alloc(-1), nullptr);
}

}  // namespace
