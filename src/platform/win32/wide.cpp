#include "platform/win32/wide.h"

#include <windows.h>

namespace platform::win32 {

namespace {

std::wstring widenFrom(UINT codePage, const std::string &bytes) {
  if (bytes.empty())
    return {};
  const int length =
      MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring result(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), result.data(),
                      length);
  return result;
}

} // namespace

std::wstring widen(const std::string &utf8) { return widenFrom(CP_UTF8, utf8); }

std::string narrow(const std::wstring &utf16) {
  if (utf16.empty())
    return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), result.data(),
                      length, nullptr, nullptr);
  return result;
}

} // namespace platform::win32
