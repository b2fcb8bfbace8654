// A test whose "$(SharedDir)" and "$(ProjectRootDir)" are two folders of its own temp
// folder ("shared", "project"); the macro table is emptied before and after.
#pragma once

#include <filesystem>

#include <gtest/gtest.h>

#include "foundation/files/path.h"
#include "support/temp_folder.h"

class ModelFoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        PathMacroNames().Clear();
        PathMacroValues().Clear();
        std::filesystem::create_directories(tmp / "shared");
        std::filesystem::create_directories(tmp / "project");
        path_DefineMacro("SharedDir", (tmp / "shared").c_str());
        path_DefineMacro("ProjectRootDir", (tmp / "project").c_str());
    }
    void TearDown() override {
        PathMacroNames().Clear();
        PathMacroValues().Clear();
    }

    TempFolder tmp;
};
