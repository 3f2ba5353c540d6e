// Execute killed part way, as a power cut or a forced end does it, with the
// UAS driver installed, both ways in turn: whatever the registry holds
// afterwards, the next start shows it. USB may read 使用禁止 only when
// USBSTOR and UASPStor both hold a value other than 3, and only while
// Windows is told to install no new USB drive.
#include "driver.h"
#include "support/password_file.h"
#include "support/restriction_keys.h"
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
  return count > 0 ? count : 12;
}

std::string registryState() {
  auto text = [](const char *service) {
    const auto value = startValue(service);
    return value ? std::to_string(*value) : std::string("-");
  };
  return text("Flpydisk") + "/" + text("USBSTOR") + "/" + text("UASPStor") + "/" +
         restrictionState();
}

class KilledExecuteTest : public ::testing::Test {
protected:
  void SetUp() override {
    removePasswordFile();
    removeRestrictionKeys();
  }
  void TearDown() override {
    deleteKey("UASPStor");
    removeRestrictionKeys();
  }

  // Starts Execute that turns both devices from allowed to 使用禁止, or
  // back, and ends the program at a moment drawn at random.
  void killDuringExecute(std::mt19937 &random, bool prohibit) {
    const DWORD from = prohibit ? 3 : 4, to = prohibit ? 4 : 3;
    seedServices(from, from);
    putStart("UASPStor", from);
    removeRestrictionKeys();
    if (!prohibit)
      writeRestrictionKeys({std::map<std::wstring, StoredValue>{{L"DenyDeviceIDs", dword(1)}},
                            std::map<std::wstring, StoredValue>{{L"1", sz(L"USB\\Class_08")}}});
    auto program = std::make_unique<Program>();
    HWND window = program->waitForMainWindow();
    ASSERT_NE(window, nullptr);
    const int floppy = prohibit ? 1 : 0, usb = prohibit ? 3 : 2;
    click(optionButtons(window)[floppy]);
    click(optionButtons(window)[usb]);
    ASSERT_TRUE(waitUntil([&] { return isChecked(optionButtons(window)[usb]); }));
    click(findChild(window, L"Button", L"実行"));
    // Under Wine, prohibiting, the USB part starts a few milliseconds after
    // the floppy's write and takes a fraction of one: the kill is drawn from
    // the restriction's first write on. Allowing, its writes spread over a
    // few milliseconds after the floppy's. Either way the kill lands
    // anywhere from the first write to after the last.
    const DWORD start = GetTickCount();
    auto begun = [&] {
      return prohibit ? denyListExists() : startValue("Flpydisk") == std::optional<DWORD>(to);
    };
    while (!begun() && GetTickCount() - start < 5000) {
    }
    spinFor(std::uniform_int_distribution<LONGLONG>(0, prohibit ? 3000 : 4000)(random));
    program.reset(); // TerminateProcess, as a forced end does
  }
};

TEST_F(KilledExecuteTest, TheNextStartShowsWhatTheRegistryHolds) {
  std::mt19937 random(23);
  std::map<std::string, int> seen; // registry state and what was shown, by count
  for (int run = 0; run < runs(); ++run) {
    killDuringExecute(random, run % 2 == 0);
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
    EXPECT_TRUE(usbAllowed || usbInstallDenied())
        << "run " << run << ": 使用禁止 shown while a new drive would install, " << registryState();
    ++seen[std::string(run % 2 == 0 ? "prohibiting: " : "allowing:    ") + registryState() +
           " -> USB " + (isChecked(optionButtons(window)[2]) ? "allowed" : "prohibited")];
  }
  for (const auto &[outcome, count] : seen)
    std::printf("%s: %d\n", outcome.c_str(), count);
  std::printf("(Flpydisk/USBSTOR/UASPStor/restriction after the kill)\n");
}

} // namespace
