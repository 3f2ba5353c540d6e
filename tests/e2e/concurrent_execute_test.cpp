// Execute under the change lock: a copy that can't have it writes nothing,
// and two copies pressing 実行 together in opposite directions end each
// round as one of them alone would have left it.
#include "device_state.h"
#include "executing_program.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>

namespace {

using namespace e2e;
using namespace testsupport;

constexpr wchar_t kCantWrite[] = L"設定が出来ませんでした。(003)";
constexpr wchar_t kLockHeld[] = L"他のコピーが変更ロックを保持しています";

// More rounds for a longer look: KESTROVA_RACE_ROUNDS=100.
int rounds() {
  const char *rounds = std::getenv("KESTROVA_RACE_ROUNDS");
  const int count = rounds ? std::atoi(rounds) : 0;
  return count > 0 ? count : 30;
}

// A copy started with its two choices made, for 実行 to be pressed.
struct Copy {
  std::unique_ptr<Program> program = std::make_unique<Program>();
  HWND window = program->waitForMainWindow();

  bool choose(int floppy, int usb) const {
    if (!window)
      return false;
    click(optionButtons(window)[floppy]);
    click(optionButtons(window)[usb]);
    return waitUntil([&] {
      return isChecked(optionButtons(window)[floppy]) && isChecked(optionButtons(window)[usb]);
    });
  }
  HWND executeButton() const { return findChild(window, L"Button", L"実行"); }
  // The box that answered 実行, pressed away.
  MessageBoxText answer() const {
    HWND box = program->waitForMessageBox();
    if (!box)
      return {};
    const MessageBoxText text = readMessageBox(box);
    pressOk(box);
    return text;
  }
};

bool done(const MessageBoxText &answer) { return answer.title == L"設定完了"; }
bool refused(const MessageBoxText &answer) {
  return answer.title == L"エラー" && answer.prompt == kCantWrite;
}

std::size_t lockRefusals(const std::vector<TracedEvent> &events) {
  return static_cast<std::size_t>(
      std::count_if(events.begin(), events.end(), [](const auto &event) {
        return event.id == 9 && !event.strings.empty() && event.strings[0] == kLockHeld;
      }));
}

class ConcurrentExecuteTest : public ExecutingProgramTest {
protected:
  void SetUp() override {
    ExecutingProgramTest::SetUp();
    putStart("UASPStor", 3);
  }
};

// The lock held as another copy holds it while its Execute runs: after the
// second the program waits, it answers (003), writes nothing and says why;
// once the lock is let go the same 実行 goes through.
TEST_F(ConcurrentExecuteTest, AnExecuteThatCantHaveTheChangeLockWritesNothing) {
  ASSERT_TRUE(start());
  click(optionButtons(window)[kFloppyProhibited]);
  click(optionButtons(window)[kUsbProhibited]);
  const DeviceState before = readDeviceState();
  HANDLE lock = CreateFileA((windowsDirectory() + "\\vantorel.lock").c_str(), GENERIC_READ, 0,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  const MessageBoxText text = execute();
  CloseHandle(lock);
  EXPECT_EQ(text.title, L"エラー");
  EXPECT_EQ(text.prompt, kCantWrite);
  EXPECT_TRUE(program->running());
  EXPECT_EQ(readDeviceState(), before);
  expectOnlyEvent(trace.events(), 9, EVENTLOG_WARNING_TYPE, "warn", {kLockHeld});

  EXPECT_EQ(execute().title, L"設定完了");
  EXPECT_TRUE(program->waitForExit());
  EXPECT_TRUE(usbInstallDenied());
  EXPECT_EQ(startValue("Flpydisk"), std::optional<DWORD>(4));
}

// Each round starts from what one copy alone leaves, allowed or prohibited
// in turn, with the floppy at 2, which neither copy writes: the prohibiting
// copy sets both devices 使用禁止, the allowing one both 使用可, and the two
// presses come in either order, up to 10 ms apart.
TEST_F(ConcurrentExecuteTest, TwoCopiesExecutingTogetherEndAsOneOfThemAlone) {
  ASSERT_TRUE(executeWith(kFloppyProhibited, kUsbProhibited));
  const DeviceState prohibited = readDeviceState();
  ASSERT_TRUE(usbInstallDenied()) << describe(prohibited);
  ASSERT_TRUE(executeWith(kFloppyAllowed, kUsbAllowed));
  const DeviceState allowed = readDeviceState();
  ASSERT_EQ(allowed.record, std::nullopt) << describe(allowed);

  std::mt19937 random(30);
  std::map<std::string, int> counts;
  for (int round = 0; round < rounds(); ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const bool fromProhibited = round % 2 == 1;
    ASSERT_TRUE(fromProhibited ? executeWith(kFloppyProhibited, kUsbProhibited)
                               : executeWith(kFloppyAllowed, kUsbAllowed));
    putStart("Flpydisk", 2);
    const EventTrace roundTrace;
    const Copy prohibiting, allowing;
    ASSERT_TRUE(prohibiting.choose(kFloppyProhibited, kUsbProhibited));
    ASSERT_TRUE(allowing.choose(kFloppyAllowed, kUsbAllowed));
    const bool allowingFirst = round / 2 % 2 == 1;
    click((allowingFirst ? allowing : prohibiting).executeButton());
    spinFor(std::uniform_int_distribution<LONGLONG>(0, 10000)(random));
    click((allowingFirst ? prohibiting : allowing).executeButton());
    const MessageBoxText prohibitAnswer = prohibiting.answer(), allowAnswer = allowing.answer();
    EXPECT_TRUE(prohibiting.program->waitForExit() || refused(prohibitAnswer));
    EXPECT_TRUE(allowing.program->waitForExit() || refused(allowAnswer));

    const DeviceState end = readDeviceState();
    const bool prohibitStands = end == prohibited, allowStands = end == allowed;
    EXPECT_TRUE(prohibitStands || allowStands) << "neither copy alone leaves " << describe(end)
                                               << "\nprohibiting alone: " << describe(prohibited)
                                               << "\nallowing alone: " << describe(allowed);
    EXPECT_TRUE(done(prohibitAnswer) || refused(prohibitAnswer)) << readable(prohibitAnswer.prompt);
    EXPECT_TRUE(done(allowAnswer) || refused(allowAnswer)) << readable(allowAnswer.prompt);
    EXPECT_FALSE(refused(prohibitAnswer) && !allowStands) << "the refused copy wrote";
    EXPECT_FALSE(refused(allowAnswer) && !prohibitStands) << "the refused copy wrote";
    EXPECT_EQ(lockRefusals(roundTrace.events()),
              std::size_t{refused(prohibitAnswer)} + std::size_t{refused(allowAnswer)});
    ++counts[std::string(fromProhibited ? "from prohibited: " : "from allowed:    ") +
             (prohibitStands ? "prohibiting copy's state"
              : allowStands  ? "allowing copy's state   "
                             : "neither copy's state    ") +
             (refused(prohibitAnswer) ? ", prohibiting copy found the lock held" : "") +
             (refused(allowAnswer) ? ", allowing copy found the lock held" : "")];
  }
  for (const auto &[outcome, count] : counts)
    std::printf("%s: %d\n", outcome.c_str(), count);
}

} // namespace
