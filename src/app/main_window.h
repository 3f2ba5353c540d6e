#pragma once
// The main window's widgets: real Win32 controls that forward their events
// to Form1 and let it read and set their state.
#include "app/form1.h"
#include "app/main_controls.h"
#include "platform/win32/widgets.h"
#include "platform/window_ops.h"

#include <array>
#include <windows.h>

namespace app {

class MainWindow final : public MainControls, public platform::WindowOps {
public:
  MainWindow(HINSTANCE instance, devices::StartModeStore &startModes,
             platform::PasswordFile &passwordFile, const platform::AnsiCodec &codec,
             help::HelpLauncher &help, platform::EventLog &events);
  ~MainWindow() override;
  MainWindow(const MainWindow &) = delete;
  MainWindow &operator=(const MainWindow &) = delete;

  // Creates the window and its controls and runs Form_Load; false when the
  // window unloaded itself on the way.
  bool load();
  void show(int showCommand);
  HWND handle() const { return window_; }

  void selectOption(int index) override;
  bool isOptionSelected(int index) const override;
  void setExitCaption(const std::string &caption) override;
  std::string passwordText() const override;
  void showPasswordDialog() override;
  platform::WindowHandle windowHandle() const override {
    return reinterpret_cast<platform::WindowHandle>(window_);
  }

  void messageBox(const std::string &prompt, const std::optional<std::string> &title,
                  platform::MessageIcon icon) override;
  void unload() override;

  // For the window procedure.
  void attach(HWND window) { window_ = window; }
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
  void createControls(UINT dpi);
  void layout(UINT dpi);
  void applyFonts(UINT dpi);
  void onCommand(int id, int notification);
  void onActivate(bool active);

  HINSTANCE instance_;
  platform::PasswordFile &passwordFile_;
  const platform::AnsiCodec &codec_;
  platform::EventLog &events_;
  Form1 form_;
  HWND window_ = nullptr;
  std::array<HWND, 2> frames_{};
  std::array<HWND, 4> options_{};
  HWND label_ = nullptr;
  HWND text_ = nullptr;
  HWND command1_ = nullptr;
  HWND command2_ = nullptr;
  HWND lastFocus_ = nullptr;
  platform::win32::WindowFonts fonts_;
  platform::win32::WindowIcons icons_;
};

} // namespace app
