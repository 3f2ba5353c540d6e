#include "platform/win32/win32_event_log.h"

#include "platform/win32/wide.h"

#include <windows.h>

#include <sddl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace platform::win32 {
namespace {

constexpr wchar_t kSourceName[] = L"Kestrova";

WORD eventType(EventType type) {
  switch (type) {
  case EventType::Warning:
    return EVENTLOG_WARNING_TYPE;
  case EventType::Error:
    return EVENTLOG_ERROR_TYPE;
  case EventType::Information:
    break;
  }
  return EVENTLOG_INFORMATION_TYPE;
}

// The user of the process token, kept in buffer; nullptr when unknown.
PSID currentUserSid(std::vector<BYTE> &buffer) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
    return nullptr;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  buffer.resize(size);
  const bool read = size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
  CloseHandle(token);
  return read ? reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid : nullptr;
}

// DOMAIN\user, or the SID as S-1-... when it has no name; empty when unknown.
std::wstring accountName(PSID sid) {
  if (!sid)
    return {};
  wchar_t name[256], domain[256];
  DWORD nameLength = 256, domainLength = 256;
  SID_NAME_USE use;
  if (LookupAccountSidW(nullptr, sid, name, &nameLength, domain, &domainLength, &use))
    return domainLength ? std::wstring(domain) + L"\\" + name : std::wstring(name);
  wchar_t *text = nullptr;
  if (!ConvertSidToStringSidW(sid, &text))
    return {};
  std::wstring result(text);
  LocalFree(text);
  return result;
}

} // namespace

void Win32EventLog::report(std::uint16_t id, EventType type,
                           std::initializer_list<std::string_view> strings) {
  std::vector<BYTE> userBuffer;
  const PSID user = currentUserSid(userBuffer);
  std::vector<std::wstring> texts(strings.size() + 1);
  std::transform(strings.begin(), strings.end(), texts.begin(),
                 [](std::string_view text) { return widen(std::string(text)); });
  texts.back() = accountName(user);
  std::vector<LPCWSTR> pointers(texts.size());
  std::transform(texts.begin(), texts.end(), pointers.begin(),
                 [](const std::wstring &text) { return text.c_str(); });

  // Registering the source needs no key of its own: Event Viewer shows the
  // strings even where the installer registered no message file.
  HANDLE source = RegisterEventSourceW(nullptr, kSourceName);
  if (!source)
    return;
  ReportEventW(source, eventType(type), 0, id, user, static_cast<WORD>(pointers.size()), 0,
               pointers.data(), nullptr);
  DeregisterEventSource(source);
}

} // namespace platform::win32
