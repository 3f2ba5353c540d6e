#pragma once
// The two operations the event handlers need from the window system.
#include <optional>
#include <string>

namespace platform {

enum class MessageIcon { Exclamation, Information };

class WindowOps {
public:
  virtual ~WindowOps() = default;
  // Shows a modal box with one OK button, owned by the handler's window, and
  // returns when it is dismissed. Without a title the box shows the
  // application's title.
  virtual void messageBox(const std::string &prompt, const std::optional<std::string> &title,
                          MessageIcon icon) = 0;
  // Closes the handler's window; for the main window that ends the program.
  virtual void unload() = 0;
};

} // namespace platform
