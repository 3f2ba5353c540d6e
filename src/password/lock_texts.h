#pragma once
// Why the change lock was not had, as the audit trail says it: the change
// dialog after its code, Execute as it stands. Macros, so that each window's
// texts stay whole literals.
#define TEXT_LOCK_HELD "他のコピーが変更ロックを保持しています"
#define TEXT_LOCK_NOT_OURS                                                                         \
  "変更ロックのファイル vantorel.lock "                                                  \
  "は本ツールのものではありません。管理者が削除してかまいません"
#define TEXT_LOCK_NO_RIGHTS "変更ロックのファイルを開く権限がありません"
