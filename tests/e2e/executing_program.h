#pragma once
// For tests that press Execute: no password file (the empty field passes),
// both services at 3, no UAS driver, neither the install restriction nor
// the program's record of it; each copy is started once the test has set up
// what it reads, and the events are traced from before the first.
#include "driver.h"
#include "event_trace.h"
#include "support/password_file.h"
#include "support/restriction_keys.h"
#include "support/service_keys.h"

#include <gtest/gtest.h>

#include <memory>

namespace e2e {

// The main window's option buttons, in optionButtons' order.
enum Option { kFloppyAllowed, kFloppyProhibited, kUsbAllowed, kUsbProhibited };

class ExecutingProgramTest : public ::testing::Test {
protected:
  void SetUp() override {
    testsupport::removePasswordFile();
    testsupport::seedServices(3, 3);
    testsupport::deleteKey("UASPStor");
    testsupport::removeRestrictionKeys();
    testsupport::removeRecord();
  }
  void TearDown() override {
    program.reset();
    testsupport::removePasswordFile();
    testsupport::allowSetValue("UASPStor");
    testsupport::deleteKey("UASPStor");
    testsupport::allowRestrictionWrites();
    testsupport::removeRestrictionKeys();
    testsupport::removeRecord();
  }
  // Starts the program, sets the two devices and presses Execute; true when
  // it answered 設定完了 and ended.
  bool executeWith(int floppyOption, int usbOption) {
    if (!start())
      return false;
    click(optionButtons(window)[floppyOption]);
    click(optionButtons(window)[usbOption]);
    return execute().title == L"設定完了" && program->waitForExit();
  }
  // Starts the program; false when its window didn't come.
  bool start() {
    program = std::make_unique<Program>();
    window = program->waitForMainWindow();
    return window != nullptr;
  }
  HWND field() const { return findChildOfClass(window, L"Edit"); }
  HWND button(const wchar_t *caption) const { return findChild(window, L"Button", caption); }
  // Presses Execute and returns the box that answers it.
  MessageBoxText execute() {
    click(button(L"実行"));
    HWND box = program->waitForMessageBox();
    if (!box)
      return {};
    const MessageBoxText text = readMessageBox(box);
    pressOk(box);
    waitUntil([&] { return program->messageBox() == nullptr; });
    return text;
  }

  EventTrace trace; // from before the program starts
  std::unique_ptr<Program> program;
  HWND window = nullptr;
};

} // namespace e2e
