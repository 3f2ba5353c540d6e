#pragma once
// Sets up and inspects the two service keys in the test prefix's registry,
// with the plain Win32 API rather than the code under test.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

inline constexpr char kServices[] = "SYSTEM\\CurrentControlSet\\Services\\";

bool keyExists(const std::string &service);
void deleteKey(const std::string &service);
void putValue(const std::string &service, DWORD type, const std::vector<BYTE> &data);
void putStart(const std::string &service, DWORD value);
// The Start value when it is a 4-byte REG_DWORD.
std::optional<DWORD> startValue(const std::string &service);
// The Start value when it is a REG_SZ.
std::optional<std::string> stringStart(const std::string &service);
// Gives the service's key rules that refuse setting values to everyone;
// false (and the key left as it was) where the registry doesn't enforce them.
bool denySetValue(const std::string &service);
void allowSetValue(const std::string &service);
// Gives the key rules that let everyone read and set its values but make no
// subkey, as some hardening tools leave service keys; false (and the key
// left as it was) where the registry doesn't enforce them.
bool grantValuesOnly(const std::string &service);
// Both services present with the given start modes.
void seedServices(DWORD floppy, DWORD usb);

} // namespace testsupport
