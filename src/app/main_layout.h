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

constexpr TwipsRect kFrame1{120, 120, 1455, 975};
constexpr TwipsRect kFrame2{1800, 120, 1455, 975};
constexpr TwipsRect kAllowedInFrame{240, 240, 975, 255};
constexpr TwipsRect kProhibitedInFrame{240, 600, 1095, 255};

constexpr TwipsRect kLabel1{120, 1200, 975, 255};
constexpr TwipsRect kText1{1200, 1200, 1815, 270};
constexpr TwipsRect kCommand1{120, 1560, 975, 495};
constexpr TwipsRect kCommand2{1200, 1560, 975, 495};

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
    {WC_BUTTONW, kGroupBox, 0, texts::kFloppyFrame, IDC_FRAME1, kFrame1, kMessage},
    {WC_BUTTONW, kFirstOption, 0, texts::kAllowed, IDC_OPTION1_FIRST,
     inFrame(kFrame1, kAllowedInFrame), kMessage},
    {WC_BUTTONW, kOption, 0, texts::kProhibited, IDC_OPTION1_FIRST + 1,
     inFrame(kFrame1, kProhibitedInFrame), kMessage},
    {WC_BUTTONW, kGroupBox, 0, texts::kUsbFrame, IDC_FRAME2, kFrame2, kMessage},
    {WC_BUTTONW, kFirstOption, 0, texts::kAllowed, IDC_OPTION1_FIRST + 2,
     inFrame(kFrame2, kAllowedInFrame), kMessage},
    {WC_BUTTONW, kOption, 0, texts::kProhibited, IDC_OPTION1_FIRST + 3,
     inFrame(kFrame2, kProhibitedInFrame), kMessage},
    {WC_STATICW, kLabel, 0, texts::kPasswordLabel, IDC_LABEL1, kLabel1, kFit},
    {WC_EDITW, kField, WS_EX_CLIENTEDGE, "", IDC_TEXT1, kText1, kMessage},
    {WC_BUTTONW, kButton, 0, texts::kExecute, IDC_COMMAND1, kCommand1, kMessage},
    {WC_BUTTONW, kButton, 0, texts::kExit, IDC_COMMAND2, kCommand2, kMessage},
};

inline constexpr platform::win32::ControlTable kWindow = platform::win32::controlTable(
    texts::kWindowCaption, WS_OVERLAPPEDWINDOW, 0, 3465, 2115, kControls);

} // namespace app::layout
