#pragma once
// A window described once: its frame, its client area and one row per
// control, in twips. The window helper creates, places and sets the fonts
// of the controls from it; the start-up bench reads it too.
#include "platform/twips.h"

#include <cstddef>
#include <cwchar>
#include <windows.h>

namespace platform::win32 {

// The system's message font at the window's DPI; for a label, the same face
// a little smaller where that is what shows its caption whole on one line.
enum class ControlFont { Message, FitCaption };

struct ControlRow {
  const wchar_t *className;
  DWORD style; // besides WS_CHILD | WS_VISIBLE
  DWORD exStyle;
  const char *caption;
  int id;
  TwipsRect place;
  ControlFont font;
};

// An edit with ES_PASSWORD shows "*" for every character and has no length
// limit beyond the control's own.
inline bool isPasswordField(const ControlRow &row) {
  return (row.style & ES_PASSWORD) && std::wcscmp(row.className, L"Edit") == 0;
}

// The rows in creation order, which is the tab order.
struct ControlTable {
  const char *caption;
  DWORD style;
  DWORD exStyle;
  int clientWidth, clientHeight;
  const ControlRow *first, *last;

  const ControlRow *begin() const { return first; }
  const ControlRow *end() const { return last; }
};

template <std::size_t N>
constexpr ControlTable controlTable(const char *caption, DWORD style, DWORD exStyle,
                                    int clientWidth, int clientHeight,
                                    const ControlRow (&rows)[N]) {
  return {caption, style, exStyle, clientWidth, clientHeight, rows, rows + N};
}

} // namespace platform::win32
