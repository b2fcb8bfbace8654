#include <gtest/gtest.h>

#include "foundation/files/resource.h"
#include "support/recording_environment.h"

namespace {

TEST(Resources, NamesAndIds) {
    const struct { const char* name; int id; } cases[] = {
        {"English.LNG", 255}, {"antenna.dat", 251}, {"STDQBPROFILE.EPRF", 2068},
        {"newstubfxl._fxl", 956}, {"english.lng.bak", 0}, {"other.txt", 0}, {"", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(resource_GetID(c.name), c.id) << c.name;
    StrArray names = resource_GetNames();
    ASSERT_EQ(names.Count(), 17);
    EXPECT_EQ(names[0], "antenna.dat");
    EXPECT_EQ(names[16], "newstubfxl._fxl");
    for (int i = 0; i < names.Count(); ++i) EXPECT_NE(resource_GetID(names[i]), 0) << names[i].Data();
}

TEST(Resources, StreamNeverOpensHere) {
    RecordingEnvironment env;
    resource_Stream stream(resource_GetID("english.lng"));
    EXPECT_FALSE(stream.Open());
    EXPECT_FALSE(stream.IsOpen());
    char buffer[4];
    EXPECT_FALSE(stream.Seek(0));
    EXPECT_EQ(stream.Read(buffer, 4), 0);
    EXPECT_EQ(stream.Tell(), 0);
    EXPECT_EQ(env.Expressions(), (std::vector<std::string>{"_startOfData", "_startOfData", "_startOfData"}));
    EXPECT_EQ(env.assertions[0].module, "Library/qzres");
}

}  // namespace
