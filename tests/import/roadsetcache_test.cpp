// The road-set cache as the conversion sees it before road files can be built.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "import/roadsetcache.h"
#include "support/str_print.h"
#include "support/temp_folder.h"

namespace {

TEST(RoadSetCacheHooks, CollectsRoadHeadersAndWritesNothingYet) {
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

    cache.WriteRoadFiles();
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

}  // namespace
