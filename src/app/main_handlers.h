#pragma once
// The main window's event handlers, free of any window system.
#include "app/main_controls.h"
#include "devices/device_table.h"
#include "help/help_launcher.h"
#include "platform/ansi_codec.h"
#include "platform/device_modes.h"
#include "platform/event_log.h"
#include "platform/password_file.h"
#include "platform/window_ops.h"

#include <array>
#include <cstdint>
#include <string>

namespace app {

class MainHandlers {
public:
  MainHandlers(MainControls &controls, platform::WindowOps &window,
               platform::DeviceModes &deviceModes, platform::PasswordFile &passwordFile,
               const platform::AnsiCodec &codec, help::HelpLauncher &help,
               platform::EventLog &events)
      : controls_(controls), window_(window), deviceModes_(deviceModes),
        passwordFile_(passwordFile), codec_(codec), help_(help), events_(events) {}

  // Runs once before the window is shown; on failure the window is unloaded.
  void onLoad();
  // Runs when the window is first shown and when it is active again after
  // one of the program's own windows closed.
  void onActivate();
  void onOptionClicked(int index);
  // Execute: checks the password, writes both start modes and ends.
  void onExecute();
  // Exit, or Cancel once a choice was made: ends the program, writing nothing.
  void onExit();
  // Opens the change-password dialog and waits until it is closed.
  void onChangePassword() { controls_.showPasswordDialog(); }
  void onHelp() { help_.showHelpDocument(controls_.windowHandle(), window_); }
  void onAbout() { help::HelpLauncher::showVersion(window_); }

private:
  // True when the typed password is the stored one; otherwise says why not.
  bool passwordAccepted();
  void reportMissingRestriction(const devices::Device &device);
  // Writes both devices as chosen; the prompt of the error to show, or
  // nullptr when all is written.
  const char *applySettings();
  void showError(const char *prompt);
  // For each device in the table's order, its new state as the audit trail
  // gives it: the window's word and the services that hold it.
  using Settings = std::array<std::string, devices::kDevices.size()>;
  void reportWriteFailed(std::size_t device, const platform::ModeWrite &write,
                         const Settings &settings);

  MainControls &controls_;
  platform::WindowOps &window_;
  platform::DeviceModes &deviceModes_;
  platform::PasswordFile &passwordFile_;
  const platform::AnsiCodec &codec_;
  help::HelpLauncher &help_;
  platform::EventLog &events_;
};

} // namespace app
