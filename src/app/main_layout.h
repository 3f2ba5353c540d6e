#pragma once
// The main window: its frame, client area and controls, in twips.
#include "app/main_texts.h"
#include "app/resource_ids.h"
#include "platform/win32/control_table.h"

#include <commctrl.h>

namespace app::layout {

using platform::inFrame;
using platform::TwipsRect;
using platform::win32::ControlFont;
using platform::win32::ControlRow;

constexpr TwipsRect kFloppyGroup{120, 120, 1455, 975};
constexpr TwipsRect kUsbGroup{1800, 120, 1455, 975};
constexpr TwipsRect kAllowedInFrame{240, 240, 975, 255};
constexpr TwipsRect kProhibitedInFrame{240, 600, 1095, 255};

constexpr TwipsRect kLabelPlace{120, 1200, 975, 255};
constexpr TwipsRect kFieldPlace{1200, 1200, 1815, 270};
constexpr TwipsRect kExecutePlace{120, 1560, 975, 495};
constexpr TwipsRect kExitPlace{1200, 1560, 975, 495};

constexpr DWORD kGroupBox = BS_GROUPBOX | WS_GROUP;
constexpr DWORD kFirstOption = BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP;
constexpr DWORD kOption = BS_AUTORADIOBUTTON;
constexpr DWORD kLabel = SS_LEFTNOWORDWRAP | SS_NOPREFIX | WS_GROUP;
constexpr DWORD kField = ES_PASSWORD | ES_AUTOHSCROLL | WS_GROUP | WS_TABSTOP;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP;
constexpr ControlFont kMessage = ControlFont::Message;
constexpr ControlFont kFit = ControlFont::FitCaption;

// Group boxes come before their options, as in dialog templates; the
// focusable controls follow the window's tab order.
inline constexpr ControlRow kControls[] = {
    {WC_BUTTONW, kGroupBox, 0, texts::kFloppyFrame, IDC_FLOPPY_GROUP, kFloppyGroup, kMessage},
    {WC_BUTTONW, kFirstOption, 0, texts::kAllowed, IDC_FIRST_OPTION,
     inFrame(kFloppyGroup, kAllowedInFrame), kMessage},
    {WC_BUTTONW, kOption, 0, texts::kProhibited, IDC_FIRST_OPTION + 1,
     inFrame(kFloppyGroup, kProhibitedInFrame), kMessage},
    {WC_BUTTONW, kGroupBox, 0, texts::kUsbFrame, IDC_USB_GROUP, kUsbGroup, kMessage},
    {WC_BUTTONW, kFirstOption, 0, texts::kAllowed, IDC_FIRST_OPTION + 2,
     inFrame(kUsbGroup, kAllowedInFrame), kMessage},
    {WC_BUTTONW, kOption, 0, texts::kProhibited, IDC_FIRST_OPTION + 3,
     inFrame(kUsbGroup, kProhibitedInFrame), kMessage},
    {WC_STATICW, kLabel, 0, texts::kPasswordLabel, IDC_PASSWORD_LABEL, kLabelPlace, kFit},
    {WC_EDITW, kField, WS_EX_CLIENTEDGE, "", IDC_PASSWORD_FIELD, kFieldPlace, kMessage},
    {WC_BUTTONW, kButton, 0, texts::kExecute, IDC_EXECUTE, kExecutePlace, kMessage},
    {WC_BUTTONW, kButton, 0, texts::kExit, IDC_EXIT, kExitPlace, kMessage},
};

inline constexpr platform::win32::ControlTable kWindow = platform::win32::controlTable(
    texts::kWindowCaption, WS_OVERLAPPEDWINDOW, 0, 3465, 2115, kControls);

} // namespace app::layout
