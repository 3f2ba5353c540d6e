#pragma once
// Every text the change-password dialog shows, exactly as the administrator sees it.

#include "password/lock_texts.h"

namespace password::texts {

constexpr char kCaption[] = "パスワード変更";
constexpr char kOldPasswordLabel[] = "元のパスワード：";
constexpr char kNewPasswordLabel[] = "新パスワード：";
constexpr char kConfirmLabel[] = "新パスワード確認：";
constexpr char kOk[] = "OK";
constexpr char kCancel[] = "ｷｬﾝｾﾙ";

constexpr char kErrorTitle[] = "エラー";
constexpr char kOldPasswordWrong[] = "パスワードが登録できませんでした。(010)";
constexpr char kConfirmationDiffers[] = "パスワードが登録できませんでした。(011)";
constexpr char kNotStored[] = "パスワードが登録できませんでした。(012)";

// Reasons in the audit trail's events, for the message texts in
// audit_messages.mc. Never a password.
constexpr char kEventOldPasswordWrong[] = "(010) 元のパスワードが一致しません";
constexpr char kEventConfirmationDiffers[] = "(011) 新パスワードと新パスワード確認が一致しません";
constexpr char kEventUnusable[] = "(010) パスワードファイルの内容が正しくありません";
constexpr char kEventUnreadable[] = "(012) パスワードファイルを読み込めません";
constexpr char kEventNotStored[] = "(012) 新パスワードを保存できませんでした";
constexpr char kEventNoRights[] = "(012) パスワードファイルを開く権限がありません";
constexpr char kEventIsFolder[] = "(012) パスワードファイルの場所に同じ名前のフォルダーがあります";
constexpr char kEventLockNoRights[] = "(012) " TEXT_LOCK_NO_RIGHTS;
constexpr char kEventLockHeld[] = "(012) " TEXT_LOCK_HELD;
constexpr char kEventLockNotOurs[] = "(012) " TEXT_LOCK_NOT_OURS;
constexpr char kEventFileHeld[] =
    "(012) 他のプログラムがパスワードファイルを開いているため置き換えられません";

} // namespace password::texts
