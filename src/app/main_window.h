#pragma once
// The main window: real Win32 controls made from its table, forwarding their
// events to MainHandlers and letting it read and set their state.
#include "app/main_controls.h"
#include "app/main_handlers.h"
#include "platform/win32/table_window.h"

#include <windows.h>

namespace app {

class MainWindow final : public MainControls, public platform::win32::TableWindow {
public:
  MainWindow(HINSTANCE instance, platform::DeviceModes &deviceModes,
             platform::PasswordFile &passwordFile, const platform::AnsiCodec &codec,
             help::HelpLauncher &help, platform::EventLog &events);

  // Creates the window and its controls and runs onLoad; false when the
  // window unloaded itself on the way.
  bool load();
  void show(int showCommand);

  void selectOption(int index) override;
  bool isOptionSelected(int index) const override;
  void setExitCaption(const std::string &caption) override;
  std::string passwordText() const override;
  void showPasswordDialog() override;
  platform::WindowHandle windowHandle() const override {
    return reinterpret_cast<platform::WindowHandle>(handle());
  }
  void unload() override;

private:
  HWND option(int index) const;
  void onCommand(int id, int notification) override;
  void onClose() override { handlers_.onExit(); }
  void onDestroy() override;
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void onActivate(bool active);

  platform::PasswordFile &passwordFile_;
  const platform::AnsiCodec &codec_;
  platform::EventLog &events_;
  MainHandlers handlers_;
  HWND lastFocus_ = nullptr;
};

} // namespace app
