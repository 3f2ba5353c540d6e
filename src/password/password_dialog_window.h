#pragma once
// The change-password dialog's widgets: a modal window owned by the main
// window, forwarding its events to PasswordDialogHandlers.
#include "password/password_dialog_handlers.h"
#include "platform/win32/widgets.h"

#include <array>
#include <windows.h>

namespace password {

class PasswordDialogWindow final : public DialogControls, public platform::WindowOps {
public:
  // Shows a new dialog with empty fields; the owner is disabled until it closes.
  static void showModal(HINSTANCE instance, HWND owner, platform::PasswordFile &file,
                        const platform::AnsiCodec &codec, platform::EventLog &events);

  std::string fieldText(int index) const override;
  void messageBox(const std::string &prompt, const std::optional<std::string> &title,
                  platform::MessageIcon icon) override;
  void unload() override;

  // For the window procedure.
  void attach(HWND window) { window_ = window; }
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
  PasswordDialogWindow(HINSTANCE instance, HWND owner, platform::PasswordFile &file,
                       const platform::AnsiCodec &codec, platform::EventLog &events);
  bool create();
  void createControls();
  void layout(UINT dpi);
  // The top left corner for a window of the size, centred on the owner and
  // kept on its monitor.
  POINT centredOnOwner(const platform::PixelSize &size) const;
  void runModalLoop();

  HINSTANCE instance_;
  HWND owner_;
  PasswordDialogHandlers handlers_;
  HWND window_ = nullptr;
  std::array<HWND, 3> fields_{};
  std::array<HWND, 3> labels_{};
  HWND okButton_ = nullptr;
  HWND cancelButton_ = nullptr;
  platform::win32::WindowFonts fonts_;
  platform::win32::WindowIcons icons_;
};

} // namespace password
