#pragma once
// The state of the main window's controls, as the event handlers see it.
#include "platform/shell.h"

#include <string>

namespace app {

class MainControls {
public:
  virtual ~MainControls() = default;
  // Selects the option button at index; its group deselects the other one.
  virtual void selectOption(int index) = 0;
  virtual bool isOptionSelected(int index) const = 0;
  virtual void setExitCaption(const std::string &caption) = 0;
  virtual std::string passwordText() const = 0;
  // Shows the change-password dialog modally; returns when it is closed,
  // after which the window is active again.
  virtual void showPasswordDialog() = 0;
  // The window's handle, for the shell to own what it opens.
  virtual platform::WindowHandle windowHandle() const = 0;
};

} // namespace app
