#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "foundation/files/path.h"
#include "foundation/text/codepage.h"
#include "support/recording_environment.h"
#include "support/temp_folder.h"

namespace {

class CodePageLoad : public ::testing::Test {
protected:
    void SetUp() override {
        PathMacroNames().Clear();
        PathMacroValues().Clear();
        path_DefineMacro("LocaleRootDir", tmp.Path().c_str());
        path_DefineMacro("Language", "English");
        std::filesystem::create_directories(tmp / "English");
    }
    void TearDown() override {
        PathMacroNames().Clear();
        PathMacroValues().Clear();
    }
    TempFolder tmp;
    RecordingEnvironment env;
    std::unique_ptr<codepage_Table> table = std::make_unique<codepage_Table>();
};

TEST_F(CodePageLoad, MapsBothWaysUpToTheFirstBadLine) {
    tmp.Write("English/cp9.txt", "0x41,0x0041\r\n");  // sorts after cp1252.txt: not read
    tmp.Write("English/readme.txt", "0x41,0x0042\n");
    tmp.Write("English/cp1252.txt",
              "0x80,0x20AC\r\n"
              "\r\n"
              "0X8140 , 0x3000\n"   // a double-byte code under lead byte 0x81
              "0x99,0x0000\n"       // no value: ignored
              "0x82,0x20ac,extra\n" // the same value again: the later code wins that way
              "0xE9,0x00E9\n"
              "not a mapping\n"
              "0x42,0x1234\n");
    ASSERT_TRUE(table->Load());

    EXPECT_EQ(table->CodeToUnicode(0x80), 0x20AC);
    EXPECT_EQ(table->CodeToUnicode(0x82), 0x20AC);
    EXPECT_EQ(table->UnicodeToCode(0x20AC), 0x82);
    EXPECT_EQ(table->CodeToUnicode(0x8140), 0x3000);
    EXPECT_EQ(table->UnicodeToCode(0x3000), 0x8140);
    EXPECT_EQ(table->CodeToUnicode(0x99), 0x99);  // left as reset
    EXPECT_EQ(table->CodeToUnicode(0x42), 0x42);  // after the bad line: not read
    EXPECT_EQ(table->UnicodeToCode(0x1234), '?');
    EXPECT_TRUE(table->IsLeadByte(0x81));
    EXPECT_FALSE(table->IsLeadByte(0x80));
    EXPECT_FALSE(table->IsLeadByte(0x00));

    const char16_t text[] = {u'A', 0x20AC, 0x3000, 0x00E9, 0x4E00, 0};
    char out[16] = {};
    int n = table->FromWide(text, 5, out, sizeof out);
    EXPECT_EQ(std::string(out, n), std::string("A\x82\x81\x40\xE9?"));
    EXPECT_TRUE(env.systemErrors.empty());
}

TEST_F(CodePageLoad, WithoutAFileTheTableStaysReset) {
    tmp.Write("English/cp1.txt", "0x80,0x20AC\n");
    ASSERT_TRUE(table->Load());
    ASSERT_EQ(table->UnicodeToCode(0x20AC), 0x80);

    std::filesystem::remove(tmp / "English/cp1.txt");
    EXPECT_FALSE(table->Load());
    EXPECT_EQ(table->UnicodeToCode(0x20AC), '?');
    EXPECT_EQ(table->CodeToUnicode(0x80), 0x80);

    // An empty mapping file loads nothing and flags no lead byte.
    tmp.Write("English/cp2.txt", "");
    EXPECT_TRUE(table->Load());
    for (int b = 0; b < 256; ++b) EXPECT_FALSE(table->IsLeadByte(static_cast<unsigned char>(b)));
}

}  // namespace
