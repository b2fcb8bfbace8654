// The stakeout readers on element trees built in place: the older road design texts,
// the equated station's defaults, and a side's nodes counted before they are made.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/kernel/maths.h"
#include "foundation/xml/element.h"
#include "import/element_tree.h"
#include "import/writejob_stakeout.h"
#include "records/roadstakeout.h"
#include "records/stakeoutdesign.h"
#include "support/thrown.h"

namespace {

using import_test::Node;
using import_test::Record;

TEST(WriteJobStakeout, OlderRoadDesignTextsMatchExactly) {
    struct Case {
        const char* text;  // null: the child is absent
        bool stakeToGrade;
        bool horzOffset;
        int genio;
    };
    const Case cases[] = {
        {"DBENTITY_StakeGradeSlope", true, false, 0},
        {"DBENTITY_StakeGradeHorizontal", false, false, 0},
        {"dbentity_stakegradeslope", false, false, 0},
        {"DBENTITY_TangentialToSubstring", false, true, 0},
        {"DBENTITY_TangentialToMaster", false, false, 0},
        {"true", false, false, 1},
        {"True", false, false, 0},
        {" true", false, false, 0},
        {"", false, false, 0},
        {nullptr, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(absent)");
        auto record = c.text ? Record({{"A", c.text}}) : Record({{"B", "true"}});
        EXPECT_EQ(writejob_ReadStakeToGrade(record.get(), "A"), c.stakeToGrade);
        EXPECT_EQ(writejob_ReadHorzOffsetMethod(record.get(), "A"), c.horzOffset);
        EXPECT_EQ(writejob_ReadGenioStakeout(record.get(), "A"), c.genio);
    }
}

TEST(WriteJobStakeout, EquatedStationTakesItsDefaults) {
    auto record = Record({{"Full", "", {{"Zone", "4"}, {"Chainage", "1200.5"}}},
                          {"NoChainage", "", {{"Zone", "2"}}},
                          {"EmptyChainage", "", {{"Chainage", ""}}}});
    EquatedStation value(1.0, 1);
    writejob_ReadEquatedStation(record.get(), "Full", value, 7.0);
    EXPECT_EQ(value, EquatedStation(1200.5, 4));
    writejob_ReadEquatedStation(record.get(), "NoChainage", value, 7.0);
    EXPECT_EQ(value, EquatedStation(7.0, 2));
    writejob_ReadEquatedStation(record.get(), "EmptyChainage", value, 7.0);
    EXPECT_TRUE(maths_IsNull(value.Chainage));
    EXPECT_EQ(value.Zone, -1);
    writejob_ReadEquatedStation(record.get(), "Absent", value, 7.0);
    EXPECT_EQ(value, EquatedStation(7.0, -1));
}

TEST(WriteJobStakeout, SideNodesAreTheFirstNodeAndTheSiblingsAfterIt) {
    auto side = Record({{"Batter", "", {{"Code", "B"}, {"DitchWidth", "2"}}},
                        {"Node", "", {{"Code", "N0"}, {"Offset", "1"}}},
                        {"NumberOfNodes", "3"},
                        {"Extra", "", {{"Code", "N2"}, {"Elevation", "5"}}}});
    db_CrossSectionSide value;
    writejob_ReadCrossSectionSide(side.get(), value);
    ASSERT_EQ(value.GetNumberOfNodes(), 3);
    EXPECT_EQ(value.Nodes[0].Code, "N0");
    EXPECT_EQ(value.Nodes[0].Offset, 1.0);
    EXPECT_TRUE(maths_IsNull(value.Nodes[0].Elevation));
    EXPECT_EQ(value.Nodes[1].Code, "");  // the count element itself
    EXPECT_EQ(value.Nodes[2].Code, "N2");
    ASSERT_TRUE(value.Batter);
    EXPECT_EQ(value.Batter->DitchWidth, 2.0);
    EXPECT_TRUE(maths_IsNull(value.Batter->CutGrade));

    // One element short: refused, and the side keeps no nodes.
    auto shortSide = Record({{"Node", ""}, {"NumberOfNodes", "0x3"}});
    db_CrossSectionSide refused;
    EXPECT_EQ(Thrown([&] { writejob_ReadCrossSectionSide(shortSide.get(), refused); }),
              "NumberOfNodes exceeds the nodes present");
    EXPECT_EQ(refused.GetNumberOfNodes(), 0);
}

}  // namespace
