#pragma once
// The change-password dialog: its frame, client area and controls, in twips.
#include "password/dialog_texts.h"
#include "platform/win32/control_table.h"

#include <commctrl.h>

namespace password::layout {

using platform::win32::ControlFont;
using platform::win32::ControlRow;

// Clear of IDOK and IDCANCEL, which Enter and Esc send and which must press
// nothing.
constexpr int kFieldIds[3] = {401, 402, 403};
constexpr int kOkId = 407;
constexpr int kCancelId = 408;

constexpr DWORD kField = ES_PASSWORD | ES_AUTOHSCROLL | WS_GROUP | WS_TABSTOP;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP;
constexpr DWORD kLabel = SS_LEFTNOWORDWRAP | SS_NOPREFIX | WS_GROUP;
constexpr ControlFont kMessage = ControlFont::Message;
constexpr ControlFont kFit = ControlFont::FitCaption;

// In the tab order: the three fields, OK, Cancel; the labels take no focus.
inline constexpr ControlRow kControls[] = {
    {WC_EDITW, kField, WS_EX_CLIENTEDGE, "", kFieldIds[0], {1800, 120, 2175, 375}, kMessage},
    {WC_EDITW, kField, WS_EX_CLIENTEDGE, "", kFieldIds[1], {1800, 600, 2175, 375}, kMessage},
    {WC_EDITW, kField, WS_EX_CLIENTEDGE, "", kFieldIds[2], {1800, 1080, 2175, 375}, kMessage},
    {WC_BUTTONW, kButton, 0, texts::kOk, kOkId, {4080, 120, 1215, 375}, kMessage},
    {WC_BUTTONW, kButton, 0, texts::kCancel, kCancelId, {4080, 600, 1215, 375}, kMessage},
    {WC_STATICW, kLabel, 0, texts::kOldPasswordLabel, 404, {120, 240, 1575, 255}, kFit},
    {WC_STATICW, kLabel, 0, texts::kNewPasswordLabel, 405, {120, 720, 1575, 255}, kFit},
    {WC_STATICW, kLabel, 0, texts::kConfirmLabel, 406, {120, 1200, 1575, 255}, kFit},
};

// A fixed dialog frame without minimize and maximize.
inline constexpr platform::win32::ControlTable kWindow = platform::win32::controlTable(
    texts::kCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, WS_EX_DLGMODALFRAME,
    5460, 1650, kControls);

} // namespace password::layout
