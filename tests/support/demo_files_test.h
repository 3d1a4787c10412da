// The fixture of the tools' end-to-end tests on the demo files: a temporary
// folder that holds them (tools/demo_files.h), and the path of the demo image
// of the game that is the test's parameter (its member image).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/support/test_util.h"
#include "tools/demo_files.h"

template <typename Game>
class DemoFilesTest : public ::testing::TestWithParam<Game> {
protected:
    void SetUp() override {
        demo::write_demo_files(dir_.path());
        image_ = dir_.file(this->GetParam().image);
    }

    TempDir dir_;
    std::string image_;
};
