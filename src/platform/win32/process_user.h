#pragma once
// The user the process runs as: for the audit trail, and to tell a file
// this user made from another user's.
#include <windows.h>

#include <string>
#include <vector>

namespace platform::win32 {

// The user of the process token, kept in buffer; nullptr when unknown.
PSID processUserSid(std::vector<BYTE> &buffer);

// Whether the process may act as an administrator now: Administrators is
// enabled in its token (elevated, or UAC off).
bool processIsElevatedAdministrator();

// The SID as "S-1-5-21-..."; empty for nullptr or when it can't be written.
std::wstring sidText(PSID sid);

} // namespace platform::win32
