#include <gtest/gtest.h>

#include <string>

#include "foundation/files/path.h"
#include "platform/folders.h"
#include "support/recording_environment.h"
#include "support/str_print.h"

namespace {

// Each case runs twice: as written, and with every '\' turned into '/', because every
// split and search accepts both separators.
std::string Slashed(std::string text) {
    for (char& c : text)
        if (c == '\\') c = '/';
    return text;
}

struct SplitCase {
    const char* path;
    int lastSeparator;
    const char* directory;
    const char* fileName;
    const char* baseName;
    const char* extension;
};

const SplitCase kSplitCases[] = {
    {"", -1, "", "", "", ""},
    {"a", -1, "", "a", "a", ""},
    {"\\", 0, "", "\\", "\\", ""},
    {"\\a.txt", 0, "", "a.txt", "\\a", ".txt"},
    {"C:\\jobs\\site.a.job", 7, "C:\\jobs", "site.a.job", "site.a", ".job"},
    {"dir.x\\name", 5, "dir.x", "name", "name", ""},
    {"dir\\name.", 3, "dir", "name.", "name", "."},
    {"dir\\.profile", 3, "dir", ".profile", "", ".profile"},
    {"a\\b/c", 3, "a\\b", "c", "c", ""},
    {"a/b\\c.d", 3, "a/b", "c.d", "c", ".d"},
};

TEST(Path, SplittingTable) {
    for (const SplitCase& c : kSplitCases) {
        for (bool slashes : {false, true}) {
            std::string p = slashes ? Slashed(c.path) : c.path;
            SCOPED_TRACE(p);
            Str path(p.c_str());
            EXPECT_EQ(path_LastSeparator(path), c.lastSeparator);
            EXPECT_EQ(std::string(path_GetDirectory(path).Data()), slashes ? Slashed(c.directory) : c.directory);
            EXPECT_EQ(std::string(path_GetFileName(path).Data()), slashes ? Slashed(c.fileName) : c.fileName);
            EXPECT_EQ(std::string(path_GetBaseName(path).Data()), slashes ? Slashed(c.baseName) : c.baseName);
            EXPECT_EQ(path_GetExtension(path), c.extension);
        }
    }
}

TEST(Path, OnlyLeadingSeparatorGivesThePathBack) {
    Str path("\\a.txt");
    EXPECT_EQ(path_GetDirectory(path) + path_GetBaseName(path) + path_GetExtension(path), path);
}

TEST(Path, AbsoluteAndSeparators) {
    const struct { const char* path; bool absolute; } cases[] = {
        {"", false}, {"\\", true}, {"/tmp/x", true}, {"C:\\x", true}, {"C:/x", true},
        {"C:", false}, {"C:x", false}, {"x\\y", false}, {"ab\\", false},
    };
    for (const auto& c : cases) EXPECT_EQ(path_IsAbsolute(c.path), c.absolute) << c.path;
    EXPECT_TRUE(path_IsSeparator('\\'));
    EXPECT_TRUE(path_IsSeparator('/'));
    EXPECT_FALSE(path_IsSeparator(':'));
}

TEST(Path, CombineTable) {
    const struct { const char* directory; const char* name; const char* result; } cases[] = {
        {"", "x.job", "x.job"},
        {"C:\\jobs", "x.job", "C:\\jobs\\x.job"},
        {"C:\\jobs\\", "x.job", "C:\\jobs\\x.job"},
        {"/tmp/jobs/", "x.job", "/tmp/jobs/x.job"},
        {"/tmp/jobs", "x.job", "/tmp/jobs\\x.job"},
        {"C:\\jobs", "\\abs\\x.job", "\\abs\\x.job"},
        {"C:\\jobs", "/abs/x.job", "/abs/x.job"},
        {"C:\\jobs", "D:\\x.job", "D:\\x.job"},
    };
    for (const auto& c : cases) EXPECT_EQ(path_Combine(c.directory, c.name), c.result) << c.directory << " + " << c.name;
}

TEST(Path, ChangeExtensionAndSameExtension) {
    EXPECT_EQ(path_ChangeExtension("a\\b.txt", "job"), "a\\b.job");
    EXPECT_EQ(path_ChangeExtension("a\\b.txt", ".job"), "a\\b.job");
    EXPECT_EQ(path_ChangeExtension("a\\b.txt", ""), "a\\b");
    EXPECT_EQ(path_ChangeExtension("a.d/b", "job"), "a.d/b.job");
    EXPECT_TRUE(path_IsSameExtension("x.JOB", "y/z.job"));
    EXPECT_FALSE(path_IsSameExtension("x.job", "x.jobs"));
}

TEST(Path, SamePathAndRelative) {
    EXPECT_TRUE(path_IsSamePath("C:/Jobs/A.job", "c:\\jobs\\a.JOB"));
    EXPECT_TRUE(path_IsSamePath("/tmp/jobs/", "\\tmp\\jobs"));
    EXPECT_TRUE(path_IsSamePath("/tmp/jobs/.", "/tmp/jobs"));
    EXPECT_FALSE(path_IsSamePath("/tmp/jobs", "/tmp/job"));
    EXPECT_EQ(path_MakeRelative("/tmp/jobs/a/b.job", "\\TMP\\jobs"), "a/b.job");
    EXPECT_EQ(path_MakeRelative("/tmp/other/b.job", "/tmp/jobs"), "/tmp/other/b.job");
}

TEST(Path, SplitPatterns) {
    StrArray patterns = path_SplitPatterns(" *.job ; *.txt;\"a;b\";");
    ASSERT_EQ(patterns.Count(), 4);
    EXPECT_EQ(patterns[0], "*.job");
    EXPECT_EQ(patterns[1], "*.txt");
    EXPECT_EQ(patterns[2], "\"a");
    EXPECT_EQ(patterns[3], "b\"");
}

// The macro table is process-wide; each test starts from an empty one.
class PathMacros : public ::testing::Test {
protected:
    void SetUp() override {
        PathMacroNames().Clear();
        PathMacroValues().Clear();
    }
    void TearDown() override { SetUp(); }
    RecordingEnvironment env;
};

TEST_F(PathMacros, DefineStripsTrailingSeparatorsAndRedefinesInPlace) {
    path_DefineMacro("A", "x\\y\\\\");
    path_DefineMacro("B", "\\");
    path_DefineMacro("C", "/data/");
    path_DefineMacro("A", "z");
    ASSERT_EQ(PathMacroNames().Count(), 3);
    EXPECT_EQ(PathMacroNames()[0], "$(A)");
    EXPECT_EQ(PathMacroValues()[0], "z");
    EXPECT_EQ(PathMacroValues()[1], "\\");
    EXPECT_EQ(PathMacroValues()[2], "/data");
    path_DefineMacro("a", "lower");  // names are case-sensitive
    EXPECT_EQ(PathMacroNames().Count(), 4);
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(PathMacros, DefineReportsDecoratedNamesAndMacroValues) {
    path_DefineMacro("$(X)", "v");
    path_DefineMacro("Y", "$(X)\\v");
    ASSERT_EQ(env.assertions.size(), 2u);
    EXPECT_EQ(env.assertions[0].expression, "name[0] != '$'");
    EXPECT_EQ(env.assertions[0].module, "Path");
    EXPECT_EQ(env.assertions[1].expression, "value.PastTheEnd (value.FindSubString (\"$(\"))");
    EXPECT_EQ(PathMacroNames().Count(), 2);  // both definitions go on
}

TEST_F(PathMacros, ExpandTable) {
    path_DefineMacro("ProjectRootDir", "\\Disk\\Quorvel Data\\");
    path_DefineMacro("Project", "");
    path_DefineMacro("TempDir", "/tmp/");
    const struct { const char* path; const char* result; } cases[] = {
        {"$(ProjectRootDir)\\$(Project)\\x.rxl", "\\Disk\\Quorvel Data\\x.rxl"},
        {"$(ProjectRootDir)/$(Project)/x.rxl", "\\Disk\\Quorvel Data/x.rxl"},
        {"a\\$(Project)", "a"},
        {"a/$(Project)", "a"},
        {"a\\$(Project)\\", "a"},
        {"$(Project)\\x", "\\x"},
        {"$(Project)", ""},
        {"a$(Project)b", "ab"},
        {"$(Project)\\$(Project)\\x", "\\x"},
        {"$(TempDir)\\_QZ001.tmp", "/tmp\\_QZ001.tmp"},
        {"plain\\path", "plain\\path"},
        {"$(TempDir)$(TempDir)", "/tmp/tmp"},
    };
    for (const auto& c : cases) EXPECT_EQ(path_Expand(c.path), c.result) << c.path;
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(PathMacros, UndefinedMacroStaysAndIsReported) {
    path_DefineMacro("TempDir", "/tmp");
    EXPECT_EQ(path_Expand("$(TempDir)\\$(Nope)\\x"), "/tmp\\$(Nope)\\x");
    ASSERT_EQ(env.assertions.size(), 1u);
    EXPECT_EQ(env.assertions[0].expression, "expand.PastTheEnd (expand.FindSubString (\"$(\"))");
    EXPECT_EQ(env.assertions[0].module, "Path");
}

TEST_F(PathMacros, MakeFileNameTable) {
    path_DefineMacro("SharedDir", "/shared");
    const struct { const char* directory; const char* name; const char* extension; const char* result; } cases[] = {
        {"$(SharedDir)", "road", "rxl", "/shared\\road.rxl"},
        {"$(SharedDir)", "road", ".rxl", "/shared\\road.rxl"},
        {"$(SharedDir)", "road.RXL", "rxl", "/shared\\road.RXL"},
        {"$(SharedDir)", "road.txt", "rxl", "/shared\\road.txt.rxl"},
        {"$(SharedDir)", ".rxl", "rxl", "/shared\\rxl.rxl"},
        {"$(SharedDir)", ".RXL", ".rxl", "/shared\\rxl.rxl"},
        {"d", "road", "", "d\\road"},
        {"", "road", "rxl", "road.rxl"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(path_MakeFileName(c.directory, c.name, c.extension), c.result)
            << c.directory << " | " << c.name << " | " << c.extension;
}

Str StripTrailing(const std::string& text) {
    Str value(text.c_str());
    if (value.Length() > 1) {
        value.StripTrailing('\\');
        value.StripTrailing('/');
    }
    return value;
}

TEST_F(PathMacros, RegisteredFolderValues) {
    dirs_RegisterPathMacros();
    dirs_RegisterPathMacros();  // a second conversion redefines in place
    const char* order[] = {"Project", "Export", "Language", "ProjectRootDir", "LocaleRootDir",
                           "ThrashDataDir", "TempDir", "SystemDir", "EmailDir", "MyDocuments",
                           "SharedDir", "ROMDir", "FileSystemRootDir"};
    ASSERT_EQ(PathMacroNames().Count(), 13);
    for (int i = 0; i < 13; ++i) EXPECT_EQ(PathMacroNames()[i], Str("$(") + order[i] + ")");

    auto value = [](const char* name) { return path_Expand(Str("$(") + name + ")"); };
    std::string cwd, exe, docs;
    ASSERT_TRUE(platform_GetCurrentDirectory(&cwd));
    ASSERT_TRUE(platform_GetModuleFileName(&exe));
    std::string temp = platform_GetTempPath();
    std::string device = temp + "qz-device/";

    EXPECT_EQ(value("Export"), "Export");
    EXPECT_EQ(path_Expand("a\\$(Project)\\$(Language)\\b"), "a\\b");
    EXPECT_EQ(value("ProjectRootDir"), StripTrailing(device + "Disk/Quorvel Data/"));
    EXPECT_EQ(value("SharedDir"), value("ProjectRootDir"));
    EXPECT_EQ(value("ThrashDataDir"), StripTrailing(device + "Disk/Quorvel Data/ThrashData"));
    EXPECT_EQ(value("EmailDir"), StripTrailing(device + "Disk/Quorvel Data/Email/"));
    EXPECT_EQ(value("ROMDir"), StripTrailing(device + "ROM/"));
    EXPECT_EQ(value("TempDir"), StripTrailing(temp));
    EXPECT_EQ(value("LocaleRootDir"), StripTrailing(cwd + "\\Languages"));
    EXPECT_EQ(value("SystemDir"), StripTrailing(exe.substr(0, exe.rfind('/') + 1)));
    if (platform_GetDocumentsFolder(&docs)) {
        EXPECT_EQ(value("MyDocuments"), Str(docs.c_str()));
    }
    EXPECT_EQ(value("FileSystemRootDir"), "\\");
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(PathMacros, FolderValuesAreAbsoluteAndKeepTheirFirstResult) {
    dirs_RegisterPathMacros();
    Str before = path_Expand("$(TempDir)");
    const char* old = std::getenv("TMPDIR");
    std::string saved = old ? old : "";
    setenv("TMPDIR", "/elsewhere", 1);
    dirs_RegisterPathMacros();
    if (old) setenv("TMPDIR", saved.c_str(), 1);
    else unsetenv("TMPDIR");
    EXPECT_EQ(path_Expand("$(TempDir)"), before);
    for (const char* name : {"ProjectRootDir", "LocaleRootDir", "TempDir", "SystemDir", "EmailDir", "ROMDir"})
        EXPECT_TRUE(path_IsAbsolute(path_Expand(Str("$(") + name + ")"))) << name;
}

}  // namespace
