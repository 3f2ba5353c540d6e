#include "platform/win32/win32_event_log.h"

#include "platform/win32/process_user.h"
#include "platform/win32/wide.h"

#include <windows.h>

#include <lmcons.h>
#define SECURITY_WIN32 // the user side of the security headers
#include <secext.h>

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

// secur32 is needed only when an event is reported, which most runs never
// do: load it then, not at every start. It is no known DLL, so only the
// system folder may supply it, never the folder the exe was started from.
using GetUserNameExWFn = decltype(&::GetUserNameExW);

GetUserNameExWFn getUserNameEx() {
  static const GetUserNameExWFn function = [] {
    HMODULE module = LoadLibraryExW(L"secur32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module ? reinterpret_cast<GetUserNameExWFn>(
                        reinterpret_cast<void (*)()>(GetProcAddress(module, "GetUserNameExW")))
                  : nullptr;
  }();
  return function;
}

// DOMAIN\user of the logon session: unlike a SID lookup, this never asks a
// domain controller, so a laptop away from its network does not stall.
// Falls back to the SID as S-1-...; empty when neither is known.
std::wstring accountName(PSID sid) {
  std::wstring name(DNLEN + 1 + UNLEN + 1, L'\0');
  auto length = static_cast<ULONG>(name.size());
  if (const auto userNameEx = getUserNameEx();
      userNameEx && userNameEx(NameSamCompatible, name.data(), &length)) {
    name.resize(length);
    return name;
  }
  return sidText(sid);
}

} // namespace

void Win32EventLog::report(std::uint16_t id, EventType type,
                           std::initializer_list<std::string_view> strings) {
  std::vector<BYTE> userBuffer;
  const PSID user = processUserSid(userBuffer);
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
