// Execute killed part way, as a power cut or a forced end does it, with the
// UAS driver installed: whatever the registry holds afterwards, the next
// start shows it. USB may read 使用禁止 only when USBSTOR and UASPStor both
// hold a value other than 3.
#include "driver.h"
#include "support/password_file.h"
#include "support/service_keys.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>

namespace {

using namespace e2e;
using namespace testsupport;

// More runs for a longer look: KESTROVA_KILL_RUNS=60.
int runs() {
  const char *runs = std::getenv("KESTROVA_KILL_RUNS");
  const int count = runs ? std::atoi(runs) : 0;
  return count > 0 ? count : 8;
}

std::string registryState() {
  auto text = [](const char *service) {
    const auto value = startValue(service);
    return value ? std::to_string(*value) : std::string("-");
  };
  return text("Flpydisk") + "/" + text("USBSTOR") + "/" + text("UASPStor");
}

void spinFor(LONGLONG microseconds) {
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  do
    QueryPerformanceCounter(&now);
  while ((now.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart < microseconds);
}

class KilledExecuteTest : public ::testing::Test {
protected:
  void SetUp() override { removePasswordFile(); }
  void TearDown() override { deleteKey("UASPStor"); }

  // Starts Execute with both devices to 使用禁止 and ends the program at a
  // moment drawn at random.
  void killDuringExecute(std::mt19937 &random) {
    seedServices(3, 3);
    putStart("UASPStor", 3);
    auto program = std::make_unique<Program>();
    HWND window = program->waitForMainWindow();
    ASSERT_NE(window, nullptr);
    click(optionButtons(window)[1]);
    click(optionButtons(window)[3]);
    ASSERT_TRUE(waitUntil([&] { return isChecked(optionButtons(window)[3]); }));
    click(findChild(window, L"Button", L"実行"));
    // Under Wine the USB writes come about 1 ms after the floppy's, the two
    // of USB about 0.3 ms apart: the kill lands anywhere from the first
    // write to after the last.
    const DWORD start = GetTickCount();
    while (startValue("Flpydisk") != std::optional<DWORD>(4) && GetTickCount() - start < 5000) {
    }
    spinFor(std::uniform_int_distribution<LONGLONG>(0, 2000)(random));
    program.reset(); // TerminateProcess, as a forced end does
  }
};

TEST_F(KilledExecuteTest, TheNextStartShowsWhatTheRegistryHolds) {
  std::mt19937 random(23);
  std::map<std::string, int> seen; // registry state and what was shown, by count
  for (int run = 0; run < runs(); ++run) {
    killDuringExecute(random);
    if (HasFatalFailure())
      return;
    const auto floppy = startValue("Flpydisk");
    const auto usb = startValue("USBSTOR");
    const auto uas = startValue("UASPStor");
    Program next;
    HWND window = next.waitForMainWindow();
    ASSERT_NE(window, nullptr) << "run " << run << ", " << registryState();
    const bool usbAllowed = usb == std::optional<DWORD>(3) || uas == std::optional<DWORD>(3);
    EXPECT_EQ(isChecked(optionButtons(window)[0]), floppy == std::optional<DWORD>(3))
        << "run " << run << ", " << registryState();
    EXPECT_EQ(isChecked(optionButtons(window)[2]), usbAllowed)
        << "run " << run << ", " << registryState();
    ++seen[registryState() + " -> USB " +
           (isChecked(optionButtons(window)[2]) ? "allowed" : "prohibited")];
  }
  for (const auto &[outcome, count] : seen)
    std::printf("Flpydisk/USBSTOR/UASPStor %s: %d\n", outcome.c_str(), count);
}

} // namespace
