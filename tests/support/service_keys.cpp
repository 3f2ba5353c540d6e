#include "support/service_keys.h"

#include "support/key_rules.h"

namespace testsupport {
namespace {

std::string path(const std::string &service) { return kServices + service; }

std::wstring widePath(const std::string &service) {
  const std::string ascii = path(service);
  return {ascii.begin(), ascii.end()};
}

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

bool denySetValue(const std::string &service) {
  return setRulesThatRefuse(widePath(service), L"D:(D;;0x2;;;WD)(A;;KA;;;WD)", KEY_SET_VALUE);
}

void allowSetValue(const std::string &service) { setKeyRules(widePath(service), kOpenToAll); }

bool grantValuesOnly(const std::string &service) {
  // KEY_QUERY_VALUE, KEY_SET_VALUE, DELETE, READ_CONTROL and WRITE_DAC
  return setRulesThatRefuse(widePath(service), L"D:(A;;0x70003;;;WD)", KEY_CREATE_SUB_KEY);
}

void seedServices(DWORD floppy, DWORD usb) {
  putStart("Flpydisk", floppy);
  putStart("USBSTOR", usb);
}

} // namespace testsupport
