#include "platform/win32/table_window.h"

#include "platform/win32/dpi.h"
#include "platform/win32/message_box.h"
#include "platform/win32/wide.h"
#include "product/program.h"

namespace platform::win32 {

TableWindow::TableWindow(HINSTANCE instance, const wchar_t *className, const ControlTable &table)
    : instance_(instance), className_(className), table_(table) {}

// Quietly: the derived window's handlers are gone by now.
TableWindow::~TableWindow() {
  if (!window_)
    return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
}

void TableWindow::messageBox(const std::string &prompt, const std::optional<std::string> &title,
                             platform::MessageIcon icon) {
  showMessageBox(window_, prompt, title.value_or(product::kProgramTitle), icon);
}

PixelSize TableWindow::outerSize(bool hasMenu, UINT dpi) const {
  return windowSizeForClientTwips(table_.clientWidth, table_.clientHeight, table_.style,
                                  table_.exStyle, hasMenu, dpi);
}

// Each control is born in its final place and the window at its final size
// for the DPI it most likely opens at, so that nothing moves before it is
// first shown; only a window that opened at another DPI, or whose menu bar
// wraps, is resized.
bool TableWindow::create(HWND owner, HMENU menu, POINT place, PixelSize size) {
  registerWindowClass(instance_, className_, &TableWindow::windowProc, IDI_APP);
  if (!CreateWindowExW(table_.exStyle, className_, widen(table_.caption).c_str(), table_.style,
                       place.x, place.y, size.width, size.height, owner, menu, instance_, this))
    return false;
  const UINT dpi = dpiForWindow(window_);
  icons_.apply(window_, instance_, IDI_APP, dpi);
  for (const ControlRow &row : table_)
    createControl(window_, instance_, row, dpi);
  sizeClientInTwips(window_, table_.clientWidth, table_.clientHeight, dpi);
  fonts_.apply(window_, table_, dpi);
  return true;
}

// The object travels in CreateWindowEx's last parameter, learns its handle
// on WM_NCCREATE and is kept in GWLP_USERDATA until WM_DESTROY.
LRESULT CALLBACK TableWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto *self =
        static_cast<TableWindow *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto *self = reinterpret_cast<TableWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_DESTROY)
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  if (!self)
    return DefWindowProcW(window, message, wParam, lParam);
  return self->handleMessage(message, wParam, lParam);
}

LRESULT TableWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_COMMAND:
    runHandler([&] { onCommand(LOWORD(wParam), HIWORD(wParam)); });
    return 0;
  case WM_CLOSE:
    onCloseMessage();
    return 0;
  case WM_GETDPISCALEDSIZE:
    return answerDpiScaledSize(window_, table_.clientWidth, table_.clientHeight, wParam, lParam);
  case WM_DPICHANGED:
    onDpiChanged(HIWORD(wParam), lParam);
    return 0;
  case WM_DESTROY:
    window_ = nullptr;
    onDestroy();
    return 0;
  default:
    return onMessage(message, wParam, lParam);
  }
}

LRESULT TableWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window_, message, wParam, lParam);
}

// The close box, Alt+F4, or another program's WM_CLOSE (taskkill without
// /f, the task manager) must never be lost: a person or a shutdown waits
// for it.
void TableWindow::onCloseMessage() {
  if (busy_)
    closeAsked_ = true;
  else
    runHandler([&] { onClose(); });
}

// Every control to its place for the new DPI, with fonts to match.
void TableWindow::onDpiChanged(UINT dpi, LPARAM suggestedRect) {
  moveToSuggestedRect(window_, suggestedRect);
  icons_.apply(window_, instance_, IDI_APP, dpi);
  for (const ControlRow &row : table_)
    placeInTwips(control(row.id), row.place, dpi);
  fonts_.apply(window_, table_, dpi);
}

} // namespace platform::win32
