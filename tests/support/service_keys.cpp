#include "support/service_keys.h"

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

void seedServices(DWORD floppy, DWORD usb) {
  putStart("Flpydisk", floppy);
  putStart("USBSTOR", usb);
}

} // namespace testsupport
