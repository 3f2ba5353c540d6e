// e2e_tests.exe [gtest flags] PATH\TO\vantorel.exe
#include "driver.h"
#include "event_trace.h"

#include <gtest/gtest.h>

int wmain(int argc, wchar_t **argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc != 2) {
    fwprintf(stderr, L"usage: e2e_tests [gtest flags] vantorel.exe\n");
    return 2;
  }
  e2e::setProgramPath(argv[1]);
  // The programs the tests start print the events they report.
  SetEnvironmentVariableW(L"WINEDEBUG", e2e::kEventLogDebugChannels);
  return RUN_ALL_TESTS();
}
