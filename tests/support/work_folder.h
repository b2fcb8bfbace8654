// A test with its own temp folder behind the path macro "$(Work)"; the macro table is
// emptied before and after, so no test sees another's macros.
#pragma once

#include <gtest/gtest.h>

#include "foundation/files/path.h"
#include "support/temp_folder.h"

class WorkFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        PathMacroNames().Clear();
        PathMacroValues().Clear();
        path_DefineMacro("Work", tmp.Path().c_str());
    }
    void TearDown() override {
        PathMacroNames().Clear();
        PathMacroValues().Clear();
    }

    TempFolder tmp;
};
