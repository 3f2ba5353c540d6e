#include "platform/win32/win32_ansi_codec.h"

#include "platform/win32/wide.h"

#include <windows.h>

namespace platform::win32 {
namespace {

std::optional<std::wstring> decode(UINT codePage, const std::string &bytes) {
  if (bytes.empty())
    return std::wstring();
  const int size = static_cast<int>(bytes.size());
  const int length =
      MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length <= 0)
    return std::nullopt;
  std::wstring result(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, result.data(), length);
  return result;
}

} // namespace

std::optional<std::string> Win32AnsiCodec::toAnsi(const std::string &utf8) const {
  const auto wide = decode(CP_UTF8, utf8);
  if (!wide)
    return std::nullopt;
  if (wide->empty())
    return std::string();
  const int size = static_cast<int>(wide->size());
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide->data(), size, nullptr,
                                         0, nullptr, &usedDefault);
  if (length <= 0 || usedDefault)
    return std::nullopt;
  std::string result(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide->data(), size, result.data(), length,
                      nullptr, &usedDefault);
  if (usedDefault)
    return std::nullopt;
  // A best-fit-free round trip must give the same characters back.
  const auto back = decode(CP_ACP, result);
  if (!back || *back != *wide)
    return std::nullopt;
  return result;
}

std::optional<std::string> Win32AnsiCodec::fromAnsi(const std::string &ansi) const {
  const auto wide = decode(CP_ACP, ansi);
  if (!wide)
    return std::nullopt;
  return narrow(*wide);
}

} // namespace platform::win32
