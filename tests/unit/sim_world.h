#pragma once
// A PC made of substitutes: registry, the password file, files, the codec,
// a recording window layer, and the main window's controls as plain state.
#include "app/main_controls.h"
#include "app/main_handlers.h"
#include "platform/sim/cp932_codec.h"
#include "platform/sim/recording_window.h"
#include "platform/sim/sim_device_modes.h"
#include "platform/sim/sim_event_log.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_password_file.h"
#include "platform/sim/sim_shell.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace testing_world {

class FakeControls : public app::MainControls {
public:
  void selectOption(int index) override {
    selected[static_cast<std::size_t>(index ^ 1)] = false;
    selected[static_cast<std::size_t>(index)] = true;
  }
  bool isOptionSelected(int index) const override {
    return selected[static_cast<std::size_t>(index)];
  }
  void setExitCaption(const std::string &caption) override { exitCaption = caption; }
  std::string passwordText() const override { return password; }
  void showPasswordDialog() override { ++dialogsShown; }
  platform::WindowHandle windowHandle() const override { return 0x1234; }

  std::array<bool, 4> selected{};
  int dialogsShown = 0;
  std::string exitCaption = "終了";
  std::string password;
};

// A directory of its own, removed with everything in it.
class TempDir {
public:
  explicit TempDir(const std::string &prefix = "kestrova.") {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  const std::filesystem::path &path() const { return path_; }

private:
  std::filesystem::path path_;
};

// Notes whether the change lock was held while a box was up: another copy
// would wait for it as long as the box stays.
class LockWatchingWindow : public sim::RecordingWindow {
public:
  explicit LockWatchingWindow(const sim::SimPasswordFile &file) : file_(file) {}
  void messageBox(const std::string &prompt, const std::optional<std::string> &title,
                  platform::MessageIcon icon) override {
    lockedDuringABox = lockedDuringABox || file_.locked();
    RecordingWindow::messageBox(prompt, title, icon);
  }
  bool lockedDuringABox = false;

private:
  const sim::SimPasswordFile &file_;
};

struct SimWorld {
  sim::FaultPlan faults;
  sim::SimDeviceModes deviceModes{faults};
  sim::Cp932Codec codec;
  sim::SimFiles files{faults};
  sim::SimSystemPaths paths;
  sim::SimShell shell{faults};
  sim::SimPasswordFile passwordFile{faults};
  help::HelpLauncher help{shell, files, paths};
  FakeControls controls;
  sim::RecordingWindow window;
  sim::SimEventLog events{faults};
  app::MainHandlers handlers{controls, window, deviceModes, passwordFile, codec, help, events};

  void writePasswordFile(const std::string &bytes) { passwordFile.content = bytes; }
  std::string passwordFileBytes() const { return passwordFile.content.value_or("<missing>"); }
  // USB not at 3 is prohibited as the program leaves it: new drives refused
  // too.
  void seed(std::uint32_t floppy, std::uint32_t usb) {
    deviceModes.putStart("Flpydisk", floppy);
    deviceModes.putStart("USBSTOR", usb);
    if (usb != 3)
      deviceModes.restriction = {platform::RegistryValue::dword(1),
                                 true,
                                 {{L"1", platform::RegistryValue::string("USB\\Class_08")}},
                                 {}};
  }
};

} // namespace testing_world
