#include <gtest/gtest.h>

#include "foundation/files/file.h"
#include "foundation/kernel/pccard.h"
#include "support/recording_environment.h"
#include "support/str_print.h"

namespace {

class PCCard : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        OpenFilesOnPCCard = 0;
        pccard_OpenFileNames().Clear();
    }
    static pccard_Status Status() {
        pccard_Status status;
        pccard_GetStatus(status);
        return status;
    }
    RecordingEnvironment env;
};

TEST_F(PCCard, CountsOpenFilesAndNamesTheLastOneStillOpen) {
    file_Class a(Str("\\Card\\data\\a.txt"));
    file_Class b(Str("b.txt"));
    pccard_FileOpened(a);
    pccard_FileOpened(b);
    EXPECT_EQ(Status().lastOpened, "b.txt");
    pccard_FileClosed(a);
    EXPECT_EQ(OpenFilesOnPCCard, 1);
    pccard_Status status = Status();
    EXPECT_EQ(status.openFiles, 1);
    EXPECT_EQ(status.lastOpened, "b.txt");  // no folder in the name
    EXPECT_EQ(status.counter1, 0);
    EXPECT_EQ(status.counter2, 0);
    EXPECT_TRUE(pccard_HasOpenFiles());

    pccard_FileClosed(b);
    EXPECT_EQ(Status().lastOpened, "");
    EXPECT_FALSE(pccard_HasOpenFiles());
    EXPECT_TRUE(env.assertions.empty());
}

TEST_F(PCCard, ClosingAnUnknownOrUnopenedFile) {
    file_Class a(Str("a.txt"));
    file_Class other(Str("A.TXT"));  // names compare case-sensitively
    pccard_FileOpened(a);
    pccard_FileClosed(other);
    EXPECT_EQ(OpenFilesOnPCCard, 0);
    ASSERT_EQ(pccard_OpenFileNames().Count(), 1);
    EXPECT_EQ(pccard_OpenFileNames()[0], "a.txt");
    EXPECT_TRUE(env.assertions.empty());

    // Counter at 0: this close drives it negative without a report; the next one reports.
    pccard_FileClosed(a);
    EXPECT_TRUE(env.assertions.empty());
    EXPECT_EQ(OpenFilesOnPCCard, -1);
    pccard_FileClosed(a);
    EXPECT_EQ(env.Expressions(), std::vector<std::string>{"OpenFilesOnPCCard >= 0"});
    EXPECT_EQ(env.assertions[0].module, "Kernel/pccard");
    EXPECT_EQ(OpenFilesOnPCCard, -2);
    // A counter below 1 names nothing, whatever the list holds.
    pccard_FileOpened(a);
    EXPECT_EQ(Status().lastOpened, "");
}

TEST_F(PCCard, StateFlagAndErrorMode) {
    EXPECT_FALSE(pccard_GetState());
    pccard_SetFlag();
    EXPECT_FALSE(pccard_GetState());
    pccard_ClearFlag();
    EXPECT_TRUE(pccard_InitErrorMode());
}

}  // namespace
