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

} // namespace app::texts
#endif
