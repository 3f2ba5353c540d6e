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
namespace app::texts {

constexpr char kAppTitle[] = "vantorel"; // the title of boxes that name none
constexpr char kWindowCaption[] = "Kestrova";
constexpr char kFloppyFrame[] = "フロッピー";
constexpr char kUsbFrame[] = "ＵＳＢ";
constexpr char kAllowed[] = "使用可";
constexpr char kProhibited[] = "使用禁止";
constexpr char kPasswordLabel[] = "パスワード：";
constexpr char kExecute[] = "実行";
constexpr char kExit[] = "終了";
constexpr char kCancel[] = "キャンセル";

constexpr char kErrorTitle[] = "エラー";
constexpr char kReadFailed[] = "設定状況の取得に失敗しました。(001)";

} // namespace app::texts
#endif
