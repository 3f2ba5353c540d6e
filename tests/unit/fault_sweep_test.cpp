// Every platform call that Execute, the change-password OK and the help
// command make is failed in turn, one per run: the administrator always sees
// a defined message (or the success), nothing crashes, and what was stored
// before is kept unless the outcome says it was replaced.
#include "password/dialog.h"
#include "sim_world.h"

#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <set>

namespace {

using namespace testing_world;

int g_faultsInjected = 0;

class FaultCount : public ::testing::Environment {
public:
  void TearDown() override {
    if (g_faultsInjected > 0) // each sweep may run in a process of its own
      std::cout << "faults injected: " << g_faultsInjected << "\n";
  }
};
const auto *const g_faultCount = ::testing::AddGlobalTestEnvironment(new FaultCount);

constexpr char kDone[] = "設定を行いました。\r\n設定を有効にするにはWindowsを再起動してください。";

// Runs prepare then act in a fresh world for every platform call act makes,
// failing that call; check judges each outcome. Returns the number of runs.
int sweep(const std::function<void(SimWorld &)> &prepare,
          const std::function<void(SimWorld &)> &act,
          const std::function<void(SimWorld &, std::size_t)> &check) {
  std::size_t calls = 0;
  {
    SimWorld clean;
    prepare(clean);
    const std::size_t before = clean.faults.calls().size();
    act(clean);
    calls = clean.faults.calls().size() - before;
  }
  for (std::size_t n = 1; n <= calls; ++n) {
    SimWorld world;
    prepare(world);
    world.faults.failNthCall(static_cast<int>(world.faults.calls().size() + n), 5);
    act(world);
    check(world, n);
    ++g_faultsInjected;
  }
  return static_cast<int>(calls);
}

class FakeDialogFields : public password::DialogControls {
public:
  std::string fieldText(int index) const override {
    return fields[static_cast<std::size_t>(index)];
  }
  std::array<std::string, 3> fields;
};

TEST(FaultSweep, Execute) {
  const std::set<std::string> defined = {"パスワードが異なります", "設定が出来ませんでした。(003)",
                                         "設定が出来ませんでした。(004)", kDone};
  const int runs = sweep(
      [](SimWorld &w) {
        w.writePasswordFile("pw\r\n");
        w.seed(3, 3);
        w.form.Form_Load();
        w.controls.password = "pw";
        w.controls.selectOption(1);
        w.controls.selectOption(3);
      },
      [](SimWorld &w) { w.form.Command1_Click(); },
      [&](SimWorld &w, std::size_t n) {
        ASSERT_EQ(w.window.messages.size(), 1u) << "fault at call " << n;
        const std::string &prompt = w.window.messages[0].prompt;
        EXPECT_TRUE(defined.count(prompt)) << "fault at call " << n;
        const bool done = prompt == kDone;
        EXPECT_EQ(w.window.unloads, done ? 1 : 0);
        const bool floppyWritten = done || prompt == "設定が出来ませんでした。(004)";
        EXPECT_EQ(w.registry.dword(kFloppyKey, "Start"), floppyWritten ? 4u : 3u) << n;
        EXPECT_EQ(w.registry.dword(kUsbKey, "Start"), done ? 4u : 3u) << "fault at call " << n;
        EXPECT_EQ(w.passwordFileBytes(), "pw\r\n");
      });
  EXPECT_GT(runs, 5);
}

TEST(FaultSweep, ChangePasswordOk) {
  const std::set<std::string> defined = {"パスワードが登録できませんでした。(010)",
                                         "パスワードが登録できませんでした。(012)"};
  const int runs = sweep([](const SimWorld &w) { w.writePasswordFile("pw\r\n"); },
                         [](SimWorld &w) {
                           FakeDialogFields fields;
                           fields.fields = {"pw", "new", "new"};
                           password::Dialog dialog(fields, w.window, w.form);
                           dialog.OKButton_Click();
                         },
                         [&](SimWorld &w, std::size_t n) {
                           EXPECT_EQ(w.window.unloads, 1) << "fault at call " << n;
                           ASSERT_LE(w.window.messages.size(), 1u) << "fault at call " << n;
                           const bool stored = w.window.messages.empty();
                           if (!stored) {
                             EXPECT_TRUE(defined.count(w.window.messages[0].prompt)) << n;
                           }
                           EXPECT_EQ(w.passwordFileBytes(), stored ? "new\r\n" : "pw\r\n") << n;
                           EXPECT_EQ(w.filesInWindowsDirectory(), 1u) << "no temporary left, " << n;
                           EXPECT_FALSE(w.files.changesLocked()) << "fault at call " << n;
                         });
  EXPECT_GT(runs, 5);
}

TEST(FaultSweep, HelpCommand) {
  TempDir programDir("kestrova");
  std::ofstream(programDir.path() / "help.htm") << "<!DOCTYPE html>";
  const std::string missing = programDir.path().string() + "\\help.htmがありません。";
  const int runs =
      sweep([&](SimWorld &w) { w.paths.setExecutableDirectory(programDir.path().string()); },
            [](SimWorld &w) { w.form.mnuHelpHelp_Click(); },
            [&](SimWorld &w, std::size_t n) {
              ASSERT_LE(w.window.messages.size(), 1u) << "fault at call " << n;
              EXPECT_LE(w.shell.requests.size(), 2u);
              if (!w.window.messages.empty()) {
                const std::string &prompt = w.window.messages[0].prompt;
                EXPECT_TRUE(prompt == missing || prompt.rfind("ヘルプを表示するには", 0) == 0) << n;
              }
            });
  EXPECT_GE(runs, 2);
}

} // namespace
