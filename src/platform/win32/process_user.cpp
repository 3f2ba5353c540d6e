#include "platform/win32/process_user.h"

#include "platform/win32/unique_handle.h"

#include <sddl.h>

namespace platform::win32 {

PSID processUserSid(std::vector<BYTE> &buffer) {
  HANDLE opened = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened))
    return nullptr;
  const UniqueHandle token(opened);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  buffer.resize(size);
  const bool read =
      size > 0 && GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size);
  return read ? reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid : nullptr;
}

bool processIsElevatedAdministrator() {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                0, 0, 0, 0, &administrators))
    return false;
  BOOL member = FALSE;
  const bool asked = CheckTokenMembership(nullptr, administrators, &member);
  FreeSid(administrators);
  return asked && member;
}

std::wstring sidText(PSID sid) {
  wchar_t *text = nullptr;
  if (!sid || !ConvertSidToStringSidW(sid, &text))
    return {};
  const LocalMemory owned(text);
  return text;
}

} // namespace platform::win32
