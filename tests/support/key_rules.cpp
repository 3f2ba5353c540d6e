#include "support/key_rules.h"

#include <sddl.h>

namespace testsupport {

bool setKeyRules(const std::wstring &path, const wchar_t *sddl, REGSAM view) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor,
                                                            nullptr))
    return false;
  HKEY key = nullptr;
  bool set =
      RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, WRITE_DAC | view, &key) == ERROR_SUCCESS;
  set = set && RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
  if (key)
    RegCloseKey(key);
  LocalFree(descriptor);
  return set;
}

bool setRulesThatRefuse(const std::wstring &path, const wchar_t *sddl, REGSAM refused,
                        REGSAM view) {
  if (!setKeyRules(path, sddl, view))
    return false;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, refused | view, &key) != ERROR_SUCCESS)
    return true;
  RegCloseKey(key);
  setKeyRules(path, kOpenToAll, view);
  return false;
}

} // namespace testsupport
