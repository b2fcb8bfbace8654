// Whole conversions through the exports: result codes, progress calls, which files
// stand afterwards, and the job read back through the journal reader. The last tests
// load the shared library itself, as a host does.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "import/import_journal.h"
#include "import/road_file_list.h"
#include "import/writejob.h"
#include "jobdb/dbindex.h"
#include "jobdb/dbmodel.h"
#include "qzxmli.h"
#include "records/jobheader.h"
#include "support/str_print.h"
#include "support/temp_folder.h"

namespace {

using import_test::JournalEntry;
using import_test::ReadJournal;

std::string Fixture(const char* name) { return std::string(QZ_FIXTURES_DIR) + "/import/" + name; }

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// The callback is a plain function: it records into globals and cancels at call n.
std::vector<int> progressCalls;
int cancelAtCall = 0;
bool RecordProgress(int percent) {
    progressCalls.push_back(percent);
    return static_cast<int>(progressCalls.size()) != cancelAtCall;
}

// The job's index leaves the registry of open indexes however the conversion ends.
bool NoIndexRegistered() {
    for (int number = 0; number < DBINDEX_IndexCount; ++number)
        if (dbObjectRef(number, 0).GetIndex()) return false;
    return true;
}

int Convert(const std::string& xml, const std::string& job, int cancelAt = 0) {
    progressCalls.clear();
    cancelAtCall = cancelAt;
    return ImportQZXMLFile(xml.c_str(), job.c_str(), RecordProgress);
}

TEST(ConvertTest, AJobHeaderAloneGivesTheExpectedBytes) {
    TempFolder folder;
    const std::string job = folder / "header.job";
    EXPECT_EQ(Convert(Fixture("header_only.xml"), job), 0);
    // One call for the header element, then the final 100.
    ASSERT_EQ(progressCalls.size(), 2u);
    EXPECT_EQ(progressCalls.back(), 100);
    EXPECT_EQ(TempFolder::Read(job), TempFolder::Read(Fixture("header_only.job")));
    EXPECT_EQ(qzxmli_ExtraOutputFileCount(), 0);
    EXPECT_TRUE(NoIndexRegistered());
}

TEST(ConvertTest, ConvertsRecordsAfterTheJobHeader) {
    TempFolder folder;
    const std::string job = folder / "notes.job";
    EXPECT_EQ(Convert(Fixture("notes.xml"), job), 0);
    // Every element, skipped or not, reports once; then 100.
    ASSERT_EQ(progressCalls.size(), 8u);
    EXPECT_EQ(progressCalls.back(), 100);
    for (size_t i = 1; i < progressCalls.size(); ++i) EXPECT_GE(progressCalls[i], progressCalls[i - 1]);

    bool ok = false;
    const std::vector<JournalEntry> entries = ReadJournal(job, &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].type, DATABASE_JobHeaderRecord);
    EXPECT_EQ(static_cast<const db_JobHeader&>(*entries[0].record).JobName, "Survey 7");
    EXPECT_EQ(entries[0].notes, "first line\r\nsecond line\r\n");
    EXPECT_EQ(entries[0].timeStamp, 1291900000.0);
    // The note before the header, the unknown element and the second header element
    // leave nothing.
    const int types[] = {DATABASE_JobHeaderRecord, DATABASE_NoteRecord, DATABASE_EndEntityRecord,
                         DATABASE_NoteRecord};
    const double times[] = {1291900000.0, 1291900010.0, 1291900020.0, 1291900030.0};
    for (size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i].operation, DBMODEL_Append);
        EXPECT_EQ(entries[i].type, types[i]);
        EXPECT_EQ(entries[i].recordId, i + 1);
        EXPECT_EQ(entries[i].timeStamp, times[i]);
        EXPECT_EQ(entries[i].flags, 3u);
    }
    EXPECT_EQ(entries[1].notes, "benchmark found\r\n");
    EXPECT_EQ(entries[3].notes, "rain\r\nwind\r\n");
}

TEST(ConvertTest, NotesQueuedInAnEntityGoToItAtItsEnd) {
    TempFolder folder;
    const std::string job = folder / "entity.job";
    EXPECT_EQ(Convert(Fixture("entity_notes.xml"), job), 0);
    EXPECT_EQ(progressCalls.size(), 8u);
    const std::vector<JournalEntry> entries = ReadJournal(job);
    ASSERT_EQ(entries.size(), 6u);
    // Header, P1, P2, end entity; the queued notes (each text already ending in CR LF)
    // then replace the notes of the entity open at its end, P2; a later note stands alone.
    const int types[] = {DATABASE_JobHeaderRecord, DATABASE_ObservationRecord, DATABASE_ObservationRecord,
                         DATABASE_EndEntityRecord,  DATABASE_NoteRecord,        DATABASE_NoteRecord};
    const int operations[] = {DBMODEL_Append, DBMODEL_Append, DBMODEL_Append,
                              DBMODEL_Append, DBMODEL_Apply,  DBMODEL_Append};
    for (size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i].type, types[i]);
        EXPECT_EQ(entries[i].operation, operations[i]);
        EXPECT_EQ(entries[i].recordId, i + 1);
    }
    EXPECT_EQ(entries[4].target, 3u);
    EXPECT_EQ(entries[4].notes, "pin found\r\n\r\nbent\r\n");
    EXPECT_EQ(entries[5].notes, "after the entity\r\n");
    EXPECT_EQ(entries[5].timeStamp, 1291900040.0);
}

TEST(ConvertTest, WorksWithoutACallback) {
    TempFolder folder;
    const std::string job = folder / "quiet.job";
    EXPECT_EQ(ImportQZXMLFile(Fixture("notes.xml").c_str(), job.c_str(), nullptr), 0);
    bool whole = false;
    EXPECT_FALSE(ReadJournal(job, &whole).empty());
    EXPECT_TRUE(whole);
}

TEST(ConvertTest, FailuresGiveTheirResultAndLeaveNoJobFile) {
    struct Case {
        const char* fixture;
        int cancelAt;
        int result;
        size_t progressCalls;
    };
    const Case cases[] = {
        {"notes.xml", 1, 1, 1},          // cancelled before the job header
        {"notes.xml", 3, 1, 3},          // cancelled after it: the job file goes
        {"missing.xml", 0, 4, 0},        // no such file
        {"not_xml.csv", 0, 4, 0},        // not XML
        {"no_header.xml", 0, 4, 2},      // no job header element
        {"bad_rec.xml", 0, 2, 2},        // a handler refuses; its element reports nothing
        {"truncated.xml", 0, 2, 1},      // the reader throws at the cut
        {"after_root.xml", 0, 4, 2},     // content after the root's end tag
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.fixture) + " cancel at " + std::to_string(c.cancelAt));
        TempFolder folder;
        const std::string job = folder / "job.job";
        EXPECT_EQ(Convert(Fixture(c.fixture), job, c.cancelAt), c.result);
        EXPECT_EQ(progressCalls.size(), c.progressCalls);
        EXPECT_FALSE(Exists(job));
        EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
        EXPECT_TRUE(NoIndexRegistered());
    }
}

// Everything below the folder, as paths relative to it, sorted.
std::vector<std::string> Tree(const std::string& folder) {
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        paths.push_back(std::filesystem::relative(entry.path(), folder).string());
    std::sort(paths.begin(), paths.end());
    return paths;
}

// A file that a user puts into the job's folder while the conversion runs, just
// before the callback cancels it.
std::string userFileAtCancel;
bool DropUserFileAndCancel(int percent) {
    const bool go = RecordProgress(percent);
    if (!go) std::ofstream(userFileAtCancel) << "the user's";
    return go;
}

// The missing folders of the job path are made by the conversion; whatever way it fails,
// it takes away again those it made that are still empty, and never one that stood
// before the call.
TEST(ConvertTest, AConversionThatFailsTakesAwayTheEmptyFoldersItMade) {
    TempFolder exports;
    const std::string roadsThenFailure =
        exports.Write("after.xml", TempFolder::Read(Fixture("road_files.xml")) + "<after/>\n");
    const std::string tooLong(300, 'n');  // longer than any name a folder can hold
    const std::vector<std::string> madeWithJob = {"a", "a/b", "a/b/c", "a/b/c/job.job"};
    struct Case {
        const char* what;
        std::string xml;
        std::string job;
        int cancelAt;
        const char* before;  // a folder that stands before the call
        bool userFile;
        int result;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {"a broken export", Fixture("bad_rec.xml"), "a/b/c/job.job", 0, "", false, 2, {}},
        {"a cancel", Fixture("notes.xml"), "a/b/c/job.job", 3, "", false, 1, {}},
        {"a folder that stood before", Fixture("bad_rec.xml"), "a/b/c/job.job", 0, "a", false, 2, {"a"}},
        {"a path through \"..\"", Fixture("bad_rec.xml"), "a/../b/job.job", 0, "", false, 2, {}},
        {"a cancel with one that stood", Fixture("notes.xml"), "a/b/c/job.job", 3, "a/b", false, 1, {"a", "a/b"}},
        {"a job file that cannot be created", Fixture("notes.xml"), "a/b/c/" + tooLong + ".job", 0, "", false, 5, {}},
        {"a folder that cannot be made", Fixture("notes.xml"), "a/b/" + tooLong + "/job.job", 0, "", false, 5, {}},
        {"a user's file put in meanwhile", Fixture("notes.xml"), "a/b/c/job.job", 3, "", true, 1,
         {"a", "a/b", "a/b/c", "a/b/c/user.txt"}},
        {"road files written before the end failed", roadsThenFailure, "a/b/c/job.job", 0, "", false, 4,
         {"a", "a/b", "a/b/c", "a/b/c/Bare(S).rxl", "a/b/c/Main(S).rxl", "a/b/c/road(S).rxl"}},
        {"a finished conversion", Fixture("notes.xml"), "a/b/c/job.job", 0, "", false, 0, madeWithJob},
        {"a finished conversion with one that stood", Fixture("notes.xml"), "a/b/c/job.job", 0, "a", false, 0,
         madeWithJob},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        if (*c.before) std::filesystem::create_directories(folder / c.before);
        progressCalls.clear();
        cancelAtCall = c.cancelAt;
        userFileAtCancel = folder / "a/b/c/user.txt";
        const std::string job = folder / c.job;
        EXPECT_EQ(ImportQZXMLFile(c.xml.c_str(), job.c_str(), c.userFile ? DropUserFileAndCancel : RecordProgress),
                  c.result);
        EXPECT_EQ(Tree(folder.Path()), c.after);
        EXPECT_TRUE(NoIndexRegistered());
        import_test::TakeRoadFileNames();
    }
}

TEST(ConvertTest, AFileAlreadyAtTheJobPathIsNeverTouched) {
    TempFolder folder;
    const std::string job = folder.Write("taken.job", "someone else's file");
    // Creation is exclusive: result 5 at once; only the note before the header
    // reported progress.
    EXPECT_EQ(Convert(Fixture("notes.xml"), job), 5);
    EXPECT_EQ(progressCalls.size(), 1u);
    EXPECT_EQ(TempFolder::Read(job), "someone else's file");
    // Failures before this conversion could create the file leave it too.
    EXPECT_EQ(Convert(Fixture("missing.xml"), job), 4);
    EXPECT_EQ(Convert(Fixture("no_header.xml"), job), 4);
    EXPECT_EQ(Convert(Fixture("notes.xml"), job, 1), 1);
    EXPECT_EQ(TempFolder::Read(job), "someone else's file");
}

TEST(ConvertTest, PathsThatAreNotUtf8AreTheBytesTheHostGave) {
    // Windows-1252 bytes, not UTF-8: a folder "Töne", an export "Straße.xml" and a job
    // "Straße.job" in it.
    TempFolder folder;
    const std::string dir = folder.Path() + "/T\xF6ne";
    const std::string dirUtf8 = folder.Path() + "/T\xC3\xB6ne";
    ASSERT_TRUE(std::filesystem::create_directory(dir));
    const std::string xml = dir + "/Stra\xDF" "e.xml";
    std::filesystem::copy_file(Fixture("road_files.xml"), xml);
    const std::string job = dir + "/Stra\xDF" "e.job";
    import_test::TakeRoadFileNames();
    ASSERT_EQ(Convert(xml, job), 0);
    // Created where the host said, and nowhere else.
    EXPECT_EQ(import_test::FolderListing(dir), (std::vector<std::string>{"Bare(S).rxl", "Main(S).rxl", "Stra\xDF" "e.job",
                                                                         "Stra\xDF" "e.xml", "road(S).rxl"}));
    EXPECT_EQ(import_test::FolderListing(folder.Path()), std::vector<std::string>{"T\xF6ne"});
    bool whole = false;
    EXPECT_FALSE(ReadJournal(job, &whole).empty());
    EXPECT_TRUE(whole);
    // The host gets the names as text: the folder's bytes read in the system code page.
    EXPECT_EQ(import_test::TakeRoadFileNames(),
              (std::vector<std::string>{dirUtf8 + "/Main(S).rxl", dirUtf8 + "/road(S).rxl", dirUtf8 + "/Bare(S).rxl"}));

    // An export only at the UTF-8 spelling of the host's bytes is not the host's export.
    std::filesystem::copy_file(Fixture("header_only.xml"), folder.Path() + "/\xC3\xA9t\xC3\xA9.xml");
    EXPECT_EQ(Convert(folder.Path() + "/\xE9t\xE9.xml", folder / "other.job"), 4);
    EXPECT_FALSE(Exists(folder / "other.job"));
}

// The job path goes through the path rules before it reaches the system: its "$(...)"
// macros are expanded and '\' separates folders, so the job stands at the rewritten
// spelling and nothing at the one given. The export path only takes '\' as a separator.
TEST(ConvertTest, TheJobPathGoesThroughThePathRulesTheExportPathOnlyItsSeparator) {
    TempFolder folder;
    // $(TempDir) is the temp folder without its trailing separator.
    const char* tmp = std::getenv("TMPDIR");
    std::string tempDir = tmp && *tmp ? tmp : "/tmp/";
    while (tempDir.size() > 1 && tempDir.back() == '/') tempDir.pop_back();
    struct Case {
        const char* given;
        std::string rewritten;
    };
    const Case cases[] = {
        {"x$(TempDir)y.job", "x" + tempDir + "y.job"},
        {"back\\slash.job", "back/slash.job"},
        {"dot.", "dot"},
        {"p/$(Project)/q.job", "p/q.job"},  // empty
        {"u/$(Undefined)/j.job", "u/$(Undefined)/j.job"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        EXPECT_EQ(Convert(Fixture("header_only.xml"), folder / c.given), 0);
        EXPECT_EQ(TempFolder::Read(folder / c.rewritten), TempFolder::Read(Fixture("header_only.job")));
        if (c.given != c.rewritten) {
            EXPECT_FALSE(Exists(folder / c.given));
        }
    }

    std::filesystem::create_directory(folder / "in");
    std::filesystem::copy_file(Fixture("header_only.xml"), folder / "in/$(TempDir).xml");
    EXPECT_EQ(Convert(folder.Path() + "/in\\$(TempDir).xml", folder / "in.job"), 0);
    EXPECT_TRUE(Exists(folder / "in.job"));
}

// An export with the given root attributes and elements after the XML declaration.
std::string Export(const std::string& rootAttributes, const std::string& elements) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<JobExport" + rootAttributes + ">\n" + elements +
           "</JobExport>\n";
}

TEST(ConvertTest, TheRootChoosesTheLayoutOfOlderExports) {
    // A note element carries its text as its own text before 1100 / 500 and as "Note"
    // children from then on; a missing version counts as the oldest.
    struct Case {
        const char* root;
        const char* notes;
    };
    const Case cases[] = {
        {"", "own"},
        {" version=\"1245\"", "child\r\n"},
        {" product=\"Quorvel Zentrovane\" version=\"1099\"", "own"},
        {" product=\"Quorvel Zentrovane\" version=\"1100\"", "child\r\n"},
        {" product=\"Quorvel Zentrovane\" version=\"12.45\"", "own"},
        {" product=\"Quorvel Zentrovane\" version=\"\"", "own"},
        {" product=\"Quorvel Tessaline\" version=\"500\"", "child\r\n"},
        {" product=\"Quorvel Tessaline\" version=\"499\"", "own"},
        // Another spelling of the second product is the main product, at version 500.
        {" product=\"quorvel tessaline\" version=\"500\"", "own"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.root);
        TempFolder folder;
        const std::string xml = folder.Write(
            "export.xml", Export(c.root, "<DATABASE_JobRecord ID=\"0x1\" rec=\"db_JobHeader\">J</DATABASE_JobRecord>\n"
                                         "<DATABASE_NoteRecord ID=\"0x2\" rec=\"db_Note\">own<Note>child</Note>"
                                         "</DATABASE_NoteRecord>\n"));
        const std::string job = folder / "job.job";
        ASSERT_EQ(Convert(xml, job), 0);
        const std::vector<JournalEntry> entries = ReadJournal(job);
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_EQ(static_cast<const db_JobHeader&>(*entries[0].record).JobName, "J");
        EXPECT_EQ(entries[1].notes, c.notes);
    }
}

// Inside an open entity a note's "ID" is not read, so a note without one is queued like
// any other; outside an entity the same note fails the conversion on its missing "ID".
TEST(ConvertTest, ANoteInsideAnEntityNeedsNoId) {
    const std::string header =
        "<DATABASE_JobHeaderRecord ID=\"0x1\" rec=\"db_JobHeader\">J</DATABASE_JobHeaderRecord>\n";
    const std::string point =
        "<DATABASE_PointRecord ID=\"0x2\" rec=\"db_Point\"><PointName>P1</PointName>"
        "<Method>DBENTITY_Coordinates</Method><SurveyMethod>DBENTITY_Fix</SurveyMethod>"
        "<Classification>Normal</Classification><Deleted>false</Deleted></DATABASE_PointRecord>\n";
    const std::string note = "<DATABASE_NoteRecord rec=\"db_Note\"><Note>no id</Note></DATABASE_NoteRecord>\n";
    const std::string end = "<DATABASE_EndEntityRecord ID=\"0x3\" rec=\"db_EndEntity\"/>\n";
    TempFolder folder;
    const std::string inside = folder / "inside.job";
    ASSERT_EQ(Convert(folder.Write("inside.xml", Export(" version=\"1245\"", header + point + note + end)), inside), 0);
    const std::vector<JournalEntry> entries = ReadJournal(inside);
    ASSERT_EQ(entries.size(), 4u);  // header, point, end entity, then the note applied to the point
    EXPECT_EQ(entries[3].operation, DBMODEL_Apply);
    EXPECT_EQ(entries[3].type, DATABASE_NoteRecord);
    EXPECT_EQ(entries[3].target, 2u);
    EXPECT_EQ(entries[3].notes, "no id\r\n");

    const std::string outside = folder / "outside.job";
    EXPECT_EQ(Convert(folder.Write("outside.xml", Export(" version=\"1245\"", header + point + end + note)), outside), 2);
    EXPECT_FALSE(Exists(outside));
}

TEST(ConvertTest, AJournalThatCannotBeWrittenFailsTheConversion) {
    TempFolder folder;
    // A note longer than the largest journal record the job file can hold.
    const std::string xml = folder.Write(
        "export.xml", Export(" version=\"1245\"",
                             "<DATABASE_JobHeaderRecord ID=\"0x1\" rec=\"db_JobHeader\">J</DATABASE_JobHeaderRecord>\n"
                             "<DATABASE_NoteRecord ID=\"0x2\" rec=\"db_Note\"><Note>" +
                                 std::string(600000, 'n') + "</Note></DATABASE_NoteRecord>\n"));
    const std::string job = folder / "job.job";
    EXPECT_EQ(Convert(xml, job), 2);
    // The conversion ends at the element whose record was lost: only the header
    // reported, and the final 100 never came.
    EXPECT_EQ(progressCalls.size(), 1u);
    EXPECT_FALSE(Exists(job));
}

TEST(ConvertTest, RoadFilesGoNextToTheJobWhicheverSeparatorTheHostUses) {
    struct Case {
        const char* path;
        const char* directory;
    };
    const Case cases[] = {
        {"/tmp/jobs/a.job", "/tmp/jobs/"},
        {"C:\\Jobs\\a.job", "C:\\Jobs\\"},
        {"jobs\\sub/a.job", "jobs\\sub/"},
        {"jobs/sub\\a.job", "jobs/sub\\"},
        {"/a.job", "/"},
        {"a.job", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(writejob_RoadFileDirectory(Str(c.path)), c.directory);
    }
}

// ------------------------------------------------------------ the shared library

#ifdef QZ_LIBRARY_FILE
TEST(SharedLibraryTest, ExportsExactlyTheThreeFunctions) {
    const std::string command = std::string("nm -D --defined-only '") + QZ_LIBRARY_FILE + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> names;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        const size_t blank = text.find_last_of(' ');
        names.insert(text.substr(blank + 1));
    }
    const int status = pclose(pipe);
    if (status != 0) GTEST_SKIP() << "nm is not available";
    EXPECT_EQ(names, (std::set<std::string>{"ImportQZXMLFile", "qzxmli_ExtraOutputFileCount",
                                            "qzxmli_GetExtraOutputFileName"}));
}

TEST(SharedLibraryTest, AHostConvertsThroughTheLoadedLibrary) {
    void* library = dlopen(QZ_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    using Import = int (*)(const char*, const char*, qzxmli_Progress);
    using Count = int (*)();
    using Name = void (*)(char16_t*, int);
    auto import = reinterpret_cast<Import>(dlsym(library, "ImportQZXMLFile"));
    auto count = reinterpret_cast<Count>(dlsym(library, "qzxmli_ExtraOutputFileCount"));
    auto name = reinterpret_cast<Name>(dlsym(library, "qzxmli_GetExtraOutputFileName"));
    ASSERT_TRUE(import && count && name);
    EXPECT_EQ(dlsym(library, "writejob_AddExtraOutputFile"), nullptr);

    TempFolder folder;
    const std::string job = folder / "hosted.job";
    progressCalls.clear();
    cancelAtCall = 0;
    EXPECT_EQ(import(Fixture("header_only.xml").c_str(), job.c_str(), RecordProgress), 0);
    EXPECT_EQ(progressCalls.back(), 100);
    EXPECT_EQ(TempFolder::Read(job), TempFolder::Read(Fixture("header_only.job")));
    EXPECT_EQ(import(Fixture("header_only.xml").c_str(), job.c_str(), RecordProgress), 5);
    EXPECT_EQ(count(), 0);
    char16_t buffer[260] = {u'x'};
    name(buffer, 0);
    EXPECT_EQ(buffer[0], 0);
    dlclose(library);
}
#endif

#ifdef QZ_CONVERTER_FILE
// The command-line converter: its output and exit status.
struct ToolRun {
    int status;
    std::string output;
};
ToolRun RunConverter(const std::string& arguments) {
    const std::string command = std::string("'") + QZ_CONVERTER_FILE + "' " + arguments + " 2>&1";
    ToolRun run{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(ConverterToolTest, ReportsTheResultInWordsAndFailsWithAStatus) {
    TempFolder folder;
    const std::string job = folder / "tool.job";
    const std::string arguments = "'" + Fixture("header_only.xml") + "' '" + job + "'";
    ToolRun run = RunConverter(arguments);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("converted (result 0)"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("100%"), std::string::npos) << run.output;
    EXPECT_EQ(TempFolder::Read(job), TempFolder::Read(Fixture("header_only.job")));

    run = RunConverter(arguments);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("could not be created"), std::string::npos) << run.output;

    run = RunConverter("'" + Fixture("truncated.xml") + "' '" + (folder / "cut.job") + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("(result 2)"), std::string::npos) << run.output;

    EXPECT_NE(RunConverter("").status, 0);
}
#endif

}  // namespace
