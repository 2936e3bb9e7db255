// Every test of the application shell starts from a fresh layer and g_app.
#pragma once

#include <gtest/gtest.h>

#include "tests/support/AppHarness.h"

class AppTest : public ::testing::Test {
  protected:
    void SetUp() override { apptest::ResetProgram(); }
    void TearDown() override { apptest::ResetProgram(); }
};
