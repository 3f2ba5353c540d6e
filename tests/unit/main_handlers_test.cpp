#include "sim_world.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using namespace testing_world;

class MainHandlersTest : public ::testing::Test, protected SimWorld {
protected:
  std::array<bool, 4> selectedAfterLoad(std::uint32_t floppy, std::uint32_t usb) {
    seed(floppy, usb);
    controls.selected = {};
    handlers.onLoad();
    return controls.selected;
  }
};

TEST_F(MainHandlersTest, LoadShowsEachDeviceAsAllowedOnlyForStartMode3) {
  using S = std::array<bool, 4>;
  EXPECT_EQ(selectedAfterLoad(3, 3), (S{true, false, true, false}));
  EXPECT_EQ(selectedAfterLoad(4, 3), (S{false, true, true, false}));
  EXPECT_EQ(selectedAfterLoad(3, 4), (S{true, false, false, true}));
  EXPECT_EQ(selectedAfterLoad(2, 0), (S{false, true, false, true}));
  EXPECT_EQ(selectedAfterLoad(259, 1), (S{false, true, false, true}));
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(window.unloads, 0);
}

TEST_F(MainHandlersTest, LoadShowsUsbProhibitedOnlyWhenTheUasDriverIsToo) {
  using S = std::array<bool, 4>;
  deviceModes.putStart("UASPStor", 3);
  EXPECT_EQ(selectedAfterLoad(3, 4), (S{true, false, true, false}));
  deviceModes.putStart("UASPStor", 4);
  EXPECT_EQ(selectedAfterLoad(3, 4), (S{true, false, false, true}));
  faults.failNext("readStart(UASPStor)", 5);
  EXPECT_EQ(selectedAfterLoad(3, 4), (S{true, false, true, false}));
  EXPECT_TRUE(window.messages.empty()) << "(001) is about USBSTOR and Flpydisk only";
  EXPECT_TRUE(events.events.empty());
  EXPECT_EQ(window.unloads, 0);
}

TEST_F(MainHandlersTest, UnreadableFloppyReportsOnceUnloadsAndNeverReadsUsb) {
  deviceModes.putStart("USBSTOR", 3);
  handlers.onLoad();
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].prompt, "設定状況の取得に失敗しました。(001)");
  EXPECT_EQ(window.messages[0].title, std::optional<std::string>("エラー"));
  EXPECT_EQ(window.messages[0].icon, platform::MessageIcon::Exclamation);
  EXPECT_EQ(window.unloads, 1);
  EXPECT_EQ(faults.calls().size(), 3u) << "one read, and the event";
  EXPECT_EQ(controls.selected, (std::array<bool, 4>{}));
  EXPECT_FALSE(deviceModes.installed("Flpydisk")) << "a read creates no key";
}

TEST_F(MainHandlersTest, UnreadableUsbReportsOnceAfterFloppyWasShown) {
  deviceModes.putStart("Flpydisk", 4);
  deviceModes.install("USBSTOR"); // the service key without its Start value
  handlers.onLoad();
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0].prompt, "設定状況の取得に失敗しました。(001)");
  EXPECT_EQ(window.unloads, 1);
  EXPECT_TRUE(controls.selected[1]);
}

TEST_F(MainHandlersTest, RegistryRefusingAccessIsReportedAsUnreadable) {
  seed(3, 3);
  faults.failNext("readStart(USBSTOR)", platform::kAccessDenied);
  handlers.onLoad();
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.unloads, 1);
}

TEST_F(MainHandlersTest, ExitCaptionFollowsChoiceAndActivation) {
  seed(3, 3);
  handlers.onLoad();
  handlers.onOptionClicked(0); // selections by the program may raise clicks too
  handlers.onActivate();
  EXPECT_EQ(controls.exitCaption, "終了");
  for (int index = 0; index < 4; ++index) {
    handlers.onActivate();
    controls.selectOption(index); // what a click does to the buttons
    handlers.onOptionClicked(index);
    EXPECT_EQ(controls.exitCaption, "キャンセル") << index;
  }
  handlers.onActivate();
  EXPECT_EQ(controls.exitCaption, "終了");
  EXPECT_TRUE(controls.selected[3]) << "activation keeps the choice";
}

TEST_F(MainHandlersTest, ExitAndItsMenuItemUnloadWithoutWriting) {
  seed(3, 3);
  handlers.onLoad();
  handlers.onOptionClicked(1);
  handlers.onExit();
  handlers.onExit();
  EXPECT_EQ(window.unloads, 2);
  EXPECT_EQ(faults.count("writeStart(Flpydisk)") + faults.count("writeStart(USBSTOR)"), 0);
  EXPECT_TRUE(window.messages.empty());
}

} // namespace
