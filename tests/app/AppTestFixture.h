// Every test of the application shell starts from a fresh layer and g_app,
// in a folder of its own that holds an empty DATA, as a program started
// where its notes are.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/AppHarness.h"

class AppTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char szTemplate[] = "/tmp/sorahiki-app-XXXXXX";
        ASSERT_NE(mkdtemp(szTemplate), nullptr);
        m_dir = szTemplate;
        m_oldDir = std::filesystem::current_path();
        std::filesystem::current_path(m_dir);
        std::filesystem::create_directory("DATA");
        apptest::ResetProgram();
    }
    void TearDown() override {
        apptest::ResetProgram();
        std::filesystem::current_path(m_oldDir);
        std::filesystem::remove_all(m_dir);
    }

  private:
    std::filesystem::path m_dir;
    std::filesystem::path m_oldDir;
};
