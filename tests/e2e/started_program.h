#pragma once
// For tests that work one copy of the program: no password file, both
// services at 3, the events traced from before it starts, and the program
// started only then, so that what it reads at load is what the test set up.
#include "driver.h"
#include "event_trace.h"
#include "support/password_file.h"
#include "support/service_keys.h"

#include <gtest/gtest.h>

#include <memory>

namespace e2e {

class StartedProgramTest : public ::testing::Test {
protected:
  void SetUp() override {
    testsupport::removePasswordFile();
    testsupport::seedServices(3, 3);
    program = std::make_unique<Program>();
    window = program->waitForMainWindow();
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override {
    program.reset();
    testsupport::removePasswordFile();
  }

  EventTrace trace; // from before the program starts
  std::unique_ptr<Program> program;
  HWND window = nullptr;
};

} // namespace e2e
