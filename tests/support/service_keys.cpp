#include "support/service_keys.h"

#include <sddl.h>

namespace testsupport {
namespace {

std::string path(const std::string &service) { return kServices + service; }

} // namespace

bool keyExists(const std::string &service) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path(service).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

void deleteKey(const std::string &service) {
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, path(service).c_str());
}

void putValue(const std::string &service, DWORD type, const std::vector<BYTE> &data) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, path(service).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                  &key, nullptr);
  RegSetValueExA(key, "Start", 0, type, data.data(), static_cast<DWORD>(data.size()));
  RegCloseKey(key);
}

void putStart(const std::string &service, DWORD value) {
  putValue(service, REG_DWORD,
           {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
            static_cast<BYTE>(value >> 24)});
}

std::optional<DWORD> startValue(const std::string &service) {
  DWORD type = 0, value = 0, size = sizeof value;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, path(service).c_str(), "Start", RRF_RT_ANY, &type, &value,
                   &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value)
    return std::nullopt;
  return value;
}

std::optional<std::string> stringStart(const std::string &service) {
  char text[64] = {};
  DWORD size = sizeof text;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, path(service).c_str(), "Start", RRF_RT_REG_SZ, nullptr, text,
                   &size) != ERROR_SUCCESS)
    return std::nullopt;
  return std::string(text);
}

namespace {

bool setKeyRules(const std::string &service, const char *sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor,
                                                            nullptr))
    return false;
  HKEY key = nullptr;
  bool set =
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, path(service).c_str(), 0, WRITE_DAC, &key) == ERROR_SUCCESS;
  set = set && RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
  if (key)
    RegCloseKey(key);
  LocalFree(descriptor);
  return set;
}

// Gives the key the rules sddl writes, and proves that they refuse an open
// for refused, as Wine may not keep every rule; back to full access if not.
bool setRulesThatRefuse(const std::string &service, const char *sddl, REGSAM refused) {
  if (!setKeyRules(service, sddl))
    return false;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path(service).c_str(), 0, refused, &key) != ERROR_SUCCESS)
    return true;
  RegCloseKey(key);
  setKeyRules(service, "D:(A;;KA;;;WD)");
  return false;
}

} // namespace

bool denySetValue(const std::string &service) {
  return setRulesThatRefuse(service, "D:(D;;0x2;;;WD)(A;;KA;;;WD)", KEY_SET_VALUE);
}

void allowSetValue(const std::string &service) { setKeyRules(service, "D:(A;;KA;;;WD)"); }

bool grantValuesOnly(const std::string &service) {
  // KEY_QUERY_VALUE, KEY_SET_VALUE, DELETE, READ_CONTROL and WRITE_DAC
  return setRulesThatRefuse(service, "D:(A;;0x70003;;;WD)", KEY_CREATE_SUB_KEY);
}

void seedServices(DWORD floppy, DWORD usb) {
  putStart("Flpydisk", floppy);
  putStart("USBSTOR", usb);
}

} // namespace testsupport
