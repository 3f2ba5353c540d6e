// Every platform call that loading, Execute, the change-password OK and the
// help command make is failed in turn, one per run: the administrator always
// sees a defined message (or the success), nothing crashes, and what was
// stored before is kept unless the outcome says it was replaced. A failing
// event log changes nothing at all, a failed restriction of the password
// file's rules nothing but a note, and no event ever carries a password.
#include "password/password_dialog_handlers.h"
#include "sim_world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <ostream>
#include <set>
#include <tuple>

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

struct Fault {
  std::size_t call; // 1-based among the calls act made
  std::string operation;
  bool inEventLog() const {
    return operation == "RegisterEventSource" || operation == "ReportEvent";
  }
  bool inRestriction() const { return operation == "RestrictPasswordFile"; }
};
std::ostream &operator<<(std::ostream &out, const Fault &fault) {
  return out << "fault at call " << fault.call << " (" << fault.operation << ")";
}

// What the administrator and the next run can see of a world.
auto outcomeOf(const SimWorld &w) {
  std::vector<std::string> prompts(w.window.messages.size());
  std::transform(w.window.messages.begin(), w.window.messages.end(), prompts.begin(),
                 [](const sim::ShownMessage &message) { return message.prompt; });
  return std::make_tuple(prompts, w.window.unloads, w.deviceModes.dword("Flpydisk"),
                         w.deviceModes.dword("USBSTOR"), w.deviceModes.dword("UASPStor"),
                         w.passwordFileBytes(), w.shell.requests.size());
}

void expectNoSecretInEvents(const SimWorld &w, const std::vector<std::string> &secrets,
                            const Fault &fault) {
  for (const sim::LoggedEvent &event : w.events.events)
    for (const std::string &text : event.strings)
      for (const std::string &secret : secrets)
        EXPECT_EQ(text.find(secret), std::string::npos) << text << ", " << fault;
}

// Runs prepare then act in a fresh world for every platform call act makes,
// failing that call; check judges each outcome. A failed event-log call must
// leave the outcome of the run without faults. Returns the number of runs.
int sweep(const std::function<void(SimWorld &)> &prepare,
          const std::function<void(SimWorld &)> &act,
          const std::function<void(SimWorld &, const Fault &)> &check,
          const std::vector<std::string> &secrets = {}) {
  SimWorld clean;
  prepare(clean);
  const std::size_t before = clean.faults.calls().size();
  act(clean);
  const std::vector<std::string> calls(clean.faults.calls().begin() + before,
                                       clean.faults.calls().end());
  for (std::size_t n = 1; n <= calls.size(); ++n) {
    const Fault fault{n, calls[n - 1]};
    SimWorld world;
    prepare(world);
    world.faults.failNthCall(static_cast<int>(world.faults.calls().size() + n), 5);
    act(world);
    check(world, fault);
    expectNoSecretInEvents(world, secrets, fault);
    if (fault.inEventLog() || fault.inRestriction()) {
      EXPECT_EQ(outcomeOf(world), outcomeOf(clean)) << fault;
    }
    if (fault.inEventLog()) {
      EXPECT_TRUE(world.events.events.empty()) << fault;
    }
    ++g_faultsInjected;
  }
  return static_cast<int>(calls.size());
}

// The one event an outcome reports, unless the fault hit the event log;
// a failed restriction is noted before it.
void expectOneEvent(const SimWorld &w, std::uint16_t id, const Fault &fault) {
  if (fault.inEventLog())
    return;
  const std::size_t notes = fault.inRestriction() ? 1 : 0;
  ASSERT_EQ(w.events.events.size(), notes + 1) << fault;
  if (notes > 0) {
    EXPECT_EQ(w.events.events[0].id, 7) << fault;
    EXPECT_EQ(w.events.events[0].strings[0], "5") << fault;
  }
  EXPECT_EQ(w.events.events[notes].id, id) << fault;
}

class FakeDialogFields : public password::DialogControls {
public:
  std::string fieldText(int index) const override {
    return fields[static_cast<std::size_t>(index)];
  }
  std::array<std::string, 3> fields;
};

TEST(FaultSweep, Load) {
  const int runs =
      sweep([](SimWorld &w) { w.seed(3, 4); }, [](SimWorld &w) { w.handlers.onLoad(); },
            [](SimWorld &w, const Fault &fault) {
              ASSERT_LE(w.window.messages.size(), 1u) << fault;
              if (w.window.messages.empty()) {
                // USB shows 使用禁止; whether new drives are refused is unknown
                const bool warned = fault.operation == "readRestriction";
                if (warned)
                  expectOneEvent(w, 8, fault);
                else
                  EXPECT_TRUE(w.events.events.empty()) << fault;
                return;
              }
              EXPECT_EQ(w.window.messages[0].prompt, "設定状況の取得に失敗しました。(001)")
                  << fault;
              expectOneEvent(w, 6, fault);
              if (!w.events.events.empty()) {
                EXPECT_EQ(w.events.events[0].strings[0], "5") << fault;
              }
            });
  EXPECT_EQ(runs, 4) << "one read per device, the UAS driver's while USBSTOR reads 4, and "
                        "the install restriction's while USB shows 使用禁止";
}

TEST(FaultSweep, Execute) {
  const std::set<std::string> defined = {"パスワードが異なります", "設定が出来ませんでした。(003)",
                                         "設定が出来ませんでした。(004)", kDone};
  // The fault is access denied: a failed read of the password file says
  // (003) then, with nothing written.
  const int runs = sweep(
      [](SimWorld &w) {
        w.writePasswordFile("Exec-Secret-7\r\n");
        w.seed(3, 3);
        w.deviceModes.putStart("UASPStor", 3);
        w.handlers.onLoad();
        w.controls.password = "Exec-Secret-7";
        w.controls.selectOption(1);
        w.controls.selectOption(3);
      },
      [](SimWorld &w) { w.handlers.onExecute(); },
      [&](SimWorld &w, const Fault &fault) {
        ASSERT_EQ(w.window.messages.size(), 1u) << fault;
        const std::string &prompt = w.window.messages[0].prompt;
        EXPECT_TRUE(defined.count(prompt)) << fault;
        const bool done = prompt == kDone;
        EXPECT_EQ(w.window.unloads, done ? 1 : 0);
        const bool floppyWritten = done || prompt == "設定が出来ませんでした。(004)";
        const bool passwordRefused =
            prompt == "パスワードが異なります" || fault.operation == "ReadPasswordFile";
        const bool lockRefused = fault.operation == "LockPasswordChanges";
        EXPECT_EQ(w.deviceModes.dword("Flpydisk"), floppyWritten ? 4u : 3u) << fault;
        EXPECT_EQ(w.deviceModes.dword("USBSTOR"), done ? 4u : 3u) << fault;
        EXPECT_EQ(w.deviceModes.dword("UASPStor"), done ? 4u : 3u) << fault;
        const platform::InstallRestriction &restriction = w.deviceModes.restriction;
        EXPECT_EQ(restriction.listPresent, done) << fault;
        EXPECT_EQ(restriction.policySwitch.present, done) << fault;
        EXPECT_EQ(restriction.entries.size(), done ? 1u : 0u) << fault;
        EXPECT_EQ(w.deviceModes.record.entry, done ? L"1" : L"") << fault;
        EXPECT_EQ(w.passwordFileBytes(), "Exec-Secret-7\r\n");
        EXPECT_FALSE(w.passwordFile.locked()) << fault;
        expectOneEvent(w, done ? 1 : passwordRefused ? 2 : lockRefused ? 9 : 3, fault);
      },
      {"Exec-Secret-7"});
  EXPECT_GT(runs, 9) << "the restriction's read and writes are swept too";
}

TEST(FaultSweep, ChangePasswordOk) {
  const std::set<std::string> defined = {"パスワードが登録できませんでした。(010)",
                                         "パスワードが登録できませんでした。(012)"};
  const int runs =
      sweep([](SimWorld &w) { w.writePasswordFile("Old-Secret-7\r\n"); },
            [](SimWorld &w) {
              FakeDialogFields fields;
              fields.fields = {"Old-Secret-7", "New-Secret-8", "New-Secret-8"};
              password::PasswordDialogHandlers(fields, w.window, w.passwordFile, w.codec, w.events)
                  .onOk();
            },
            [&](SimWorld &w, const Fault &fault) {
              EXPECT_EQ(w.window.unloads, 1) << fault;
              ASSERT_LE(w.window.messages.size(), 1u) << fault;
              const bool stored = w.window.messages.empty();
              if (!stored) {
                EXPECT_TRUE(defined.count(w.window.messages[0].prompt)) << fault;
              }
              EXPECT_EQ(w.passwordFileBytes(), stored ? "New-Secret-8\r\n" : "Old-Secret-7\r\n")
                  << fault;
              EXPECT_FALSE(w.passwordFile.locked()) << fault;
              expectOneEvent(w, stored ? 4 : 5, fault);
            },
            {"Old-Secret-7", "New-Secret-8"});
  EXPECT_GE(runs, 5);
}

TEST(FaultSweep, HelpCommand) {
  TempDir programDir("kestrova");
  std::ofstream(programDir.path() / "help.htm") << "<!DOCTYPE html>";
  const std::string missing = programDir.path().string() + "\\help.htmがありません。";
  const int runs =
      sweep([&](SimWorld &w) { w.paths.setExecutableDirectory(programDir.path().string()); },
            [](SimWorld &w) { w.handlers.onHelp(); },
            [&](SimWorld &w, const Fault &fault) {
              ASSERT_LE(w.window.messages.size(), 1u) << fault;
              EXPECT_LE(w.shell.requests.size(), 2u);
              if (!w.window.messages.empty()) {
                const std::string &prompt = w.window.messages[0].prompt;
                EXPECT_TRUE(prompt == missing || prompt.rfind("ヘルプを表示するには", 0) == 0)
                    << fault;
              }
            });
  EXPECT_GE(runs, 2);
}

} // namespace
