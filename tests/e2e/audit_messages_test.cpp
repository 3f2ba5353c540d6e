// The texts Event Viewer shows for the program's events: the message table
// in vantorel.exe, formatted as Event Viewer does with the event's strings.
#include "driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

constexpr LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

std::wstring formatted(HMODULE module, DWORD id, const std::vector<const wchar_t *> &inserts,
                       LANGID language = kJapanese) {
  std::vector<DWORD_PTR> arguments(inserts.size());
  std::transform(inserts.begin(), inserts.end(), arguments.begin(),
                 [](const wchar_t *insert) { return reinterpret_cast<DWORD_PTR>(insert); });
  wchar_t *text = nullptr;
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                          FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                      module, id, language, reinterpret_cast<LPWSTR>(&text), 0,
                                      reinterpret_cast<va_list *>(arguments.data()));
  std::wstring result = length ? std::wstring(text, length) : L"<none>";
  LocalFree(text);
  return result;
}

TEST(AuditMessages, EachEventHasItsJapaneseTextWithTheStringsInPlace) {
  HMODULE exe = LoadLibraryExW(e2e::programPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(exe, nullptr);
  const wchar_t *user = L"PC01\\tanaka";
  EXPECT_EQ(formatted(exe, 1, {L"使用禁止", L"使用可", user}),
            L"フロッピー: 使用禁止、ＵＳＢ: 使用可 に設定しました（ユーザー: PC01\\tanaka）");
  EXPECT_EQ(formatted(exe, 2, {L"入力されたパスワードが一致しません", user}),
            L"パスワードを確認できなかったため、設定を変更しませんでした。"
            L"理由: 入力されたパスワードが一致しません（ユーザー: PC01\\tanaka）");
  EXPECT_EQ(formatted(exe, 3, {L"ＵＳＢ", L"5", L"フロッピー: 使用可", user}),
            L"ＵＳＢ の設定を書き込めませんでした。エラーコード: 5、"
            L"書き込み済みの設定: フロッピー: 使用可（ユーザー: PC01\\tanaka）");
  EXPECT_EQ(formatted(exe, 4, {user}), L"パスワードを変更しました（ユーザー: PC01\\tanaka）");
  EXPECT_EQ(formatted(exe, 5, {L"(011) 新パスワードと新パスワード確認が一致しません", user}),
            L"パスワードを変更できませんでした。"
            L"理由: (011) 新パスワードと新パスワード確認が一致しません（ユーザー: PC01\\tanaka）");
  EXPECT_EQ(formatted(exe, 6, {L"2", user}), L"設定状況を取得できなかったため、起動を中止しました。"
                                             L"エラーコード: 2（ユーザー: PC01\\tanaka）");
  EXPECT_EQ(formatted(exe, 7, {L"1336", user}),
            L"パスワードファイルのアクセス許可を Administrators と SYSTEM だけに変更できません"
            L"でした。一般の利用者も読める状態のままの可能性があります。"
            L"エラーコード: 1336（ユーザー: PC01\\tanaka）");
  EXPECT_EQ(formatted(exe, 8, {L"USB\\Class_08 の項目", user}),
            L"ＵＳＢ は使用禁止と表示していますが、新しい USB ストレージのインストール禁止が"
            L"有効ではありません。不足: USB\\Class_08 の項目。次に使用禁止のまま「実行」すると"
            L"設定し直します（ユーザー: PC01\\tanaka）");
  EXPECT_EQ(formatted(exe, 9, {L"他のコピーが変更ロックを保持しています", user}),
            L"変更ロックを取得できなかったため、設定を変更しませんでした。"
            L"理由: 他のコピーが変更ロックを保持しています（ユーザー: PC01\\tanaka）");
  EXPECT_EQ(formatted(exe, 10, {L"x", L"x", L"x", L"x"}), L"<none>") << "nine events, no more";
  FreeLibrary(exe);
}

BOOL CALLBACK addLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR languages) {
  reinterpret_cast<std::vector<LANGID> *>(languages)->push_back(language);
  return TRUE;
}

// A reader whose display language is not Japanese still sees the texts:
// the table is there for no language in particular too.
TEST(AuditMessages, TheTextsAreAlsoThereForAnyOtherLanguage) {
  HMODULE exe = LoadLibraryExW(e2e::programPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(exe, nullptr);
  std::vector<LANGID> languages;
  EnumResourceLanguagesW(exe, RT_MESSAGETABLE, MAKEINTRESOURCEW(1), addLanguage,
                         reinterpret_cast<LONG_PTR>(&languages));
  std::sort(languages.begin(), languages.end());
  EXPECT_EQ(languages, (std::vector<LANGID>{MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), kJapanese}));
  for (const LANGID language :
       {MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)}) {
    for (DWORD id = 1; id <= 9; ++id) {
      const std::vector<const wchar_t *> inserts(4, L"x");
      EXPECT_EQ(formatted(exe, id, inserts, language), formatted(exe, id, inserts))
          << "event " << id << ", language " << language;
    }
    EXPECT_EQ(formatted(exe, 4, {L"PC01\\tanaka"}, language),
              L"パスワードを変更しました（ユーザー: PC01\\tanaka）");
  }
  FreeLibrary(exe);
}

} // namespace
