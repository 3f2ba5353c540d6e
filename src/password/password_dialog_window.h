#pragma once
// The change-password dialog: a modal window made from its table, owned by
// the main window, forwarding its events to PasswordDialogHandlers.
#include "password/password_dialog_handlers.h"
#include "platform/win32/table_window.h"

#include <windows.h>

namespace password {

class PasswordDialogWindow final : public DialogControls, public platform::win32::TableWindow {
public:
  // Shows a new dialog with empty fields; the owner is disabled until it closes.
  static void showModal(HINSTANCE instance, HWND owner, platform::PasswordFile &file,
                        const platform::AnsiCodec &codec, platform::EventLog &events);

  std::string fieldText(int index) const override;
  void unload() override;

private:
  PasswordDialogWindow(HINSTANCE instance, HWND owner, platform::PasswordFile &file,
                       const platform::AnsiCodec &codec, platform::EventLog &events);
  bool create();
  // The top left corner for a window of the size, centred on the owner and
  // kept on its monitor.
  POINT centredOnOwner(const platform::PixelSize &size) const;
  void runModalLoop();
  void onCommand(int id, int notification) override;
  void onClose() override { handlers_.onCancel(); }

  HWND owner_;
  PasswordDialogHandlers handlers_;
};

} // namespace password
