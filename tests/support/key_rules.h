#pragma once
// Access rules on registry keys under HKEY_LOCAL_MACHINE, for tests that need
// a key to refuse something, with the plain Win32 API.
#include <windows.h>

#include <string>

namespace testsupport {

// Full access for everyone: how a test gives a key back.
inline constexpr wchar_t kOpenToAll[] = L"D:(A;;KA;;;WD)";

// Gives the key at path (in the registry view given, 0 for the default)
// the rules sddl writes.
bool setKeyRules(const std::wstring &path, const wchar_t *sddl, REGSAM view = 0);
// The same, and proves that they refuse an open for refused, as Wine may not
// keep every rule; the key is open to all again and false if they don't.
bool setRulesThatRefuse(const std::wstring &path, const wchar_t *sddl, REGSAM refused,
                        REGSAM view = 0);

} // namespace testsupport
