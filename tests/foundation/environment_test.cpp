#include <gtest/gtest.h>

#include <thread>

#include "foundation/environment.h"
#include "support/recording_environment.h"

namespace {

constexpr const char* kModule = "Library/test";

TEST(Environment, BuiltInAnswersAndIgnoresReports) {
    Environment* env = Environment::Get();
    ASSERT_NE(env, nullptr);
    EXPECT_TRUE(env->IsThreadSafe());
    EXPECT_EQ(env->GetCurrentThread(), 0);
    EXPECT_EQ(env->QueryInteger(), 0);
    int other = -1;
    std::thread([&] { other = Environment::Get()->GetCurrentThread(); }).join();
    EXPECT_EQ(other, 0);
    // A failed check returns and the next statement runs.
    bool ran = false;
    EXPECT_FALSE(QZ_ASSERT(1 == 2));
    ran = true;
    EXPECT_TRUE(ran);
}

TEST(Environment, RecordingEnvironmentCapturesAndRestores) {
    Environment* before = Environment::Get();
    {
        RecordingEnvironment rec;
        EXPECT_EQ(Environment::Get(), &rec);
        int i = 5, _Length = 3;
        EXPECT_FALSE(QZ_ASSERT(i < _Length));
        EXPECT_TRUE(QZ_ASSERT(i > _Length));
        QZ_ASSERT_TEXT(false, "Environment::Get()->IsThreadSafe ()");
        QZ_FAIL("!\"Bad action\"");
        Environment::Get()->Warning("journal damaged 0x30");
        Environment::Get()->SystemError("QZ/file", 12, 5, "/tmp/a.job");
        EXPECT_EQ(rec.Expressions(),
                  (std::vector<std::string>{"i < _Length", "Environment::Get()->IsThreadSafe ()", "!\"Bad action\""}));
        EXPECT_EQ(rec.assertions[0].module, "Library/test");
        EXPECT_EQ(rec.warnings, std::vector<std::string>{"journal damaged 0x30"});
        ASSERT_EQ(rec.systemErrors.size(), 1u);
        EXPECT_EQ(rec.systemErrors[0].code, 5u);
        EXPECT_EQ(rec.systemErrors[0].name, "/tmp/a.job");
    }
    EXPECT_EQ(Environment::Get(), before);
}

TEST(Environment, SetIgnoresNull) {
    Environment* before = Environment::Get();
    Environment::Set(nullptr);
    EXPECT_EQ(Environment::Get(), before);
}

}  // namespace
