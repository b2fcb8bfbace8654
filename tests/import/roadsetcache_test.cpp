// The road-set cache on its own: road headers, alignments and the road file names.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "import/roadsetcache.h"
#include "import/writejob.h"
#include "support/recording_environment.h"
#include "support/str_print.h"
#include "support/temp_folder.h"

namespace {

TEST(RoadSetCacheHooks, CollectsRoadHeadersAndWritesOneFilePerHeader) {
    TempFolder folder;
    RoadSetCache cache(nullptr);
    cache.SetDirectory(Str((folder.Path() + "/").c_str()));
    cache.WriteRoadFiles();  // no road header: nothing
    cache.CloseAlignment();  // none being collected: nothing

    xml_Element header("DATABASE_RoadHeaderRecord");
    header.AddChild(new xml_Element("RoadName", Str("Main St")));
    header.AddChild(new xml_Element("HorzAlignment", Str("0x10")));
    header.AddChild(new xml_Element("SectionInterval", Str("12.5")));
    cache.AddRoadHeader(&header);
    ASSERT_EQ(cache.GetDefinitions().size(), 1u);
    const RoadDefinition& road = cache.GetDefinitions()[0];
    EXPECT_EQ(road.RoadName, Str("Main St"));
    EXPECT_EQ(road.HorzAlignment, Str("0x10"));
    EXPECT_EQ(road.VertAlignment, Str());
    EXPECT_EQ(road.SectionInterval, 12.5);

    xml_Element bare("DATABASE_RoadHeaderRecord");
    cache.AddRoadHeader(&bare);
    EXPECT_EQ(cache.GetDefinitions()[1].SectionInterval, MATHS_Null);

    // Without a job there is no job name; the roads are gone once written.
    cache.WriteRoadFiles();
    EXPECT_TRUE(std::filesystem::exists(folder / "Main St().rxl"));
    EXPECT_TRUE(std::filesystem::exists(folder / "().rxl"));
    EXPECT_EQ(cache.GetRoads().Count(), 0);
    EXPECT_EQ(writejob_ExtraOutputFileCount(), 2);
    EXPECT_EQ(writejob_TakeExtraOutputFile(0), Str((folder.Path() + "/Main St().rxl").c_str()));
    EXPECT_EQ(writejob_TakeExtraOutputFile(1), Str((folder.Path() + "/().rxl").c_str()));
    EXPECT_EQ(writejob_ExtraOutputFileCount(), 0);
}

TEST(RoadSetCacheArrays, GrowToTwentyThenFourTimesKeepingTheEntries) {
    RoadSetArray<RoadDefinition> definitions;
    EXPECT_EQ(definitions.Size(), 0);
    const int32_t sizes[][2] = {{1, 20}, {20, 20}, {21, 80}, {80, 80}, {81, 320}};
    int32_t added = 0;
    for (const auto& step : sizes) {
        while (added < step[0]) {
            RoadDefinition definition;
            definition.RoadName = Str(std::to_string(added).c_str());
            ASSERT_TRUE(definitions.Add(definition));
            ++added;
        }
        EXPECT_EQ(definitions.Count(), step[0]);
        EXPECT_EQ(definitions.Size(), step[1]);
    }
    for (int32_t i : {0, 19, 20, 79, 80})
        EXPECT_EQ(definitions[static_cast<size_t>(i)].RoadName, Str(std::to_string(i).c_str()));
}

TEST(RoadSetCacheArrays, ReserveOnlyWhileTheArrayHasNoStorage) {
    RecordingEnvironment env;
    RoadSetArray<RoadDefinition> definitions;
    EXPECT_TRUE(definitions.Reserve(0));  // nothing to reserve: the first Add still gives 20
    EXPECT_EQ(definitions.Size(), 0);
    EXPECT_TRUE(definitions.Reserve(3));
    EXPECT_EQ(definitions.Size(), 3);
    EXPECT_EQ(definitions.Count(), 0);
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(definitions.Add(RoadDefinition()));
    EXPECT_EQ(definitions.Size(), 12);  // growth goes on from the size reserved
    EXPECT_TRUE(env.assertions.empty());

    EXPECT_FALSE(definitions.Reserve(100));
    EXPECT_EQ(definitions.Size(), 12);
    EXPECT_EQ(definitions.Count(), 4);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"size == 0", "Definitions == NULL"}));

    env.Clear();
    AlignmentCache alignments;
    EXPECT_FALSE(alignments.Reserve(-1));
    EXPECT_EQ(alignments.Size(), 0);
    ASSERT_TRUE(alignments.Add(CachedAlignment()));
    EXPECT_FALSE(alignments.Reserve(5));
    EXPECT_EQ(alignments.Size(), 20);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"size == 0", "Alignments == NULL"}));
}

TEST(RoadSetCacheArrays, CloseFindAndCopyAlignments) {
    RoadSetCache cache(nullptr);
    xml_Element header("DATABASE_VertHeaderRecord");
    header.AddAttribute(new xml_Attribute(Str("ID"), Str("0x7")));
    cache.CloseAlignment();  // empty: nothing
    EXPECT_EQ(cache.GetAlignments().Count(), 0);
    cache.AddVertHeader(&header);
    cache.CloseAlignment();
    ASSERT_EQ(cache.GetAlignments().Count(), 1);
    EXPECT_EQ(cache.GetCurrentCache().Count(), 0);
    EXPECT_EQ(cache.GetCurrentCache().CacheType, Str());
    EXPECT_EQ(cache.GetCurrentCache().AlignmentID, Str());

    RoadElementArray target;
    cache.CopyAlignment(target, Str("0x7"));
    EXPECT_EQ(target.Count(), 1);
    cache.CopyAlignment(target, Str("0X7"));  // IDs compare byte-wise
    EXPECT_EQ(target.Count(), 1);
    RoadElementArray untouched;
    cache.CopyAlignment(untouched, Str("0X7"));
    EXPECT_EQ(untouched.Count(), 0);
    EXPECT_EQ(cache.FindAlignment(Str("0X7")), nullptr);
}

}  // namespace

namespace {

TEST(RoadFileNames, RefuseTheNineCharactersAndPathMacros) {
    for (const char* valid : {"", "Main", "Main St", "a.b", "..", "$", "$x(", "(1)", "Ost\xC3\xBC"})
        EXPECT_TRUE(RoadSetCache::IsValidFileName(Str(valid))) << valid;
    for (const char* invalid : {"a\"b", "a*", "a/b", "C:", "<a", "a>", "?", "a\\b", "a|b", "$(TempDir)", "x$(y"})
        EXPECT_FALSE(RoadSetCache::IsValidFileName(Str(invalid))) << invalid;
}

TEST(RoadFileNames, ComposeDirectoryRoadAndJobName) {
    RoadSetCache cache(nullptr);
    cache.SetDirectory(Str("D\\"));
    struct Case {
        const char* road;
        const char* job;
        const char* file;
    };
    const Case cases[] = {
        {"Main", "S", "D\\Main(S).rxl"},
        {"a/b", "S", "D\\road(S).rxl"},
        {"$(TempDir)", "S", "D\\road(S).rxl"},
        {"", "S", "D\\(S).rxl"},
        {"Main", "", "D\\Main().rxl"},
        // The job name never leads out of the folder nor expands.
        {"Main", "..\\x/$(TempDir)", "D\\Main(.._x__(TempDir)).rxl"},
        {"Main", "a\"*:<>?|b", "D\\Main(a_______b).rxl"},
        {"Main", "$($$(", "D\\Main(_($_().rxl"},
    };
    for (const Case& c : cases) EXPECT_EQ(cache.RoadFileName(Str(c.road), Str(c.job)), Str(c.file)) << c.road << " " << c.job;
    cache.SetDirectory(Str());
    EXPECT_EQ(cache.RoadFileName(Str("Main"), Str("S")), Str("Main(S).rxl"));
}

}  // namespace
