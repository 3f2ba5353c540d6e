#pragma once
// The change-password dialog: a modal window made from its table, owned by
// the main window, forwarding its events to Dialog.
#include "password/dialog.h"
#include "platform/win32/table_window.h"

#include <windows.h>

namespace password {

class PasswordDialogWindow final : public DialogControls, public platform::win32::TableWindow {
public:
  // Shows a new dialog with empty fields; the owner is disabled until it closes.
  static void showModal(HINSTANCE instance, HWND owner, PasswordOwner &passwords,
                        platform::EventLog &events);

  std::string fieldText(int index) const override;
  void unload() override;

private:
  PasswordDialogWindow(HINSTANCE instance, HWND owner, PasswordOwner &passwords,
                       platform::EventLog &events);
  bool create();
  // The top left corner for a window of the size, centred on the owner and
  // kept on its monitor.
  POINT centredOnOwner(const platform::PixelSize &size) const;
  void runModalLoop();
  void onCommand(int id, int notification) override;
  void onClose() override { dialog_.CancelButton_Click(); }

  HWND owner_;
  Dialog dialog_;
};

} // namespace password
