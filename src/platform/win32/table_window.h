#pragma once
// A top-level window made from its control table: it creates the controls,
// lays them out and sets their fonts at the window's DPI and again on the
// DPI messages, and turns the rest of its messages into calls of the
// window's own handlers.
#include "platform/win32/control_table.h"
#include "platform/win32/widgets.h"
#include "platform/window_ops.h"

#include <windows.h>

namespace platform::win32 {

class TableWindow : public platform::WindowOps {
public:
  TableWindow(const TableWindow &) = delete;
  TableWindow &operator=(const TableWindow &) = delete;

  HWND handle() const { return window_; }

  // A box owned by the window.
  void messageBox(const std::string &prompt, const std::optional<std::string> &title,
                  platform::MessageIcon icon) override;

protected:
  TableWindow(HINSTANCE instance, const wchar_t *className, const ControlTable &table);
  ~TableWindow() override;

  // The outer size whose client area is the table's at the DPI.
  PixelSize outerSize(bool hasMenu, UINT dpi) const;
  // Creates the window hidden, at place and size, then its controls at the
  // DPI it got; false when there is no window.
  bool create(HWND owner, HMENU menu, POINT place, PixelSize size);
  HWND control(int id) const { return GetDlgItem(window_, id); }
  HINSTANCE instance() const { return instance_; }

  // Runs one of the window's handlers, unless one is running already (its
  // box or dialog is up, and whatever another program posts reaches the
  // window): a handler never runs inside another. A close that comes
  // meanwhile is carried out when the handler ends.
  template <typename Handler> void runHandler(const Handler &handler);
  // A command from a control, the menu, Enter or Esc.
  virtual void onCommand(int id, int notification) = 0;
  virtual void onClose() { DestroyWindow(window_); }
  virtual void onDestroy() {}
  // Any message the helper doesn't answer itself.
  virtual LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void onCloseMessage();
  void onDpiChanged(UINT dpi, LPARAM suggestedRect);

  HINSTANCE instance_;
  const wchar_t *className_;
  const ControlTable &table_;
  HWND window_ = nullptr;
  bool busy_ = false;
  bool closeAsked_ = false; // while busy_
  WindowFonts fonts_;
  WindowIcons icons_;
};

template <typename Handler> void TableWindow::runHandler(const Handler &handler) {
  if (busy_)
    return;
  busy_ = true;
  handler();
  if (closeAsked_ && window_) // unless the handler closed the window itself
    onClose();
  closeAsked_ = false;
  busy_ = false;
}

} // namespace platform::win32
