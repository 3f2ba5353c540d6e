#pragma once
// Every text the main window shows, exactly as the administrator sees it.
// The menu captions are macros because the resource script uses them too.

#define TEXT_MENU_FILE "ﾌｧｲﾙ(&F)"
#define TEXT_MENU_ACTION "実行(&A)"
#define TEXT_MENU_FILE_EXIT "終了(&X)"
#define TEXT_MENU_PASSWD "パスワード変更(&P)"
#define TEXT_MENU_HELP "ﾍﾙﾌﾟ(&H)"
#define TEXT_MENU_HELP_HELP "操作説明"
#define TEXT_MENU_HELP_ABOUT "ﾊﾞｰｼﾞｮﾝ情報(&A)"

#ifndef RC_INVOKED
#include "devices/device_table.h"
#include "password/lock_texts.h"

namespace app::texts {

constexpr char kWindowCaption[] = "Kestrova";
// The frames are named as the device table names the devices.
constexpr const char *kFloppyFrame = devices::kDevices[0].name;
constexpr const char *kUsbFrame = devices::kDevices[1].name;
constexpr char kAllowed[] = "使用可";
constexpr char kProhibited[] = "使用禁止";
constexpr char kPasswordLabel[] = "パスワード：";
constexpr char kExecute[] = "実行";
constexpr char kExit[] = "終了";
constexpr char kCancel[] = "キャンセル";

constexpr char kErrorTitle[] = "エラー";
constexpr char kReadFailed[] = "設定状況の取得に失敗しました。(001)";
constexpr char kWrongPassword[] = "パスワードが異なります";
constexpr char kDoneTitle[] = "設定完了";
constexpr char kDonePrompt[] =
    "設定を行いました。\r\n設定を有効にするにはWindowsを再起動してください。";

// Strings of the audit trail's events, for the message texts in
// audit_messages.mc. Never a password.
constexpr char kEventPasswordDiffers[] = "入力されたパスワードが一致しません";
constexpr char kEventPasswordUnreadable[] = "パスワードファイルを読み込めません";
constexpr char kEventPasswordUnusable[] = "パスワードファイルの内容が正しくありません";
constexpr char kEventPasswordNoRights[] = "パスワードファイルを開く権限がありません";
constexpr char kEventPasswordIsFolder[] =
    "パスワードファイルの場所に同じ名前のフォルダーがあります";
constexpr char kEventNothingWritten[] = "なし";
// After the denied device ID, in the parts a USB change wrote.
constexpr char kEventInstallDenied[] = " のインストール禁止";
constexpr char kEventInstallDenialLifted[] = " のインストール禁止を解除";
// After the parts an allowing USB change wrote: the program's own parts of
// the restriction that someone else has written since, left on, and new
// drives still refused by someone else's entry.
constexpr char kEventLeftOn[] =
    " のインストール禁止のうち、その後ほかで書き換えられた部分は残しました: ";
constexpr char kEventLeftEntry[] = "一覧の項目";
constexpr char kEventLeftSwitch[] = "DenyDeviceIDs の値";
constexpr char kEventRefusedByOthers[] =
    "新しい USB ストレージは本ツール以外の設定によりインストール禁止のままです";
// What the start found missing of the restriction while USB shows 使用禁止.
constexpr char kEventSwitchMissing[] = "DenyDeviceIDs（REG_DWORD 1）";
constexpr char kEventEntryMissing[] = " の項目";
constexpr char kEventRestrictionUnreadable[] = "インストール禁止を読み取れません";
// Why Execute did not have the change lock.
constexpr char kEventLockHeld[] = TEXT_LOCK_HELD;
constexpr char kEventLockNotOurs[] = TEXT_LOCK_NOT_OURS;
constexpr char kEventLockNoRights[] = TEXT_LOCK_NO_RIGHTS;
constexpr char kEventLockUnavailable[] = "変更ロックを取得できません";

} // namespace app::texts
#endif
