#include "platform/win32/win32_ansi_codec.h"

#include <windows.h>

namespace platform::win32 {
namespace {

struct ConversionFlags {
  DWORD toWide;
  DWORD toBytes;
  bool reportsDefaultChar;
};

// Most code pages take WC_NO_BEST_FIT_CHARS and report a default character.
// UTF-8 and GB18030 take only the strict flags and no used-default pointer;
// the stateful ISO-2022 pages, ISCII, UTF-7 and Symbol take no flags at all.
// Either way the round trip below still refuses what is not kept exactly.
ConversionFlags conversionFlags(UINT codePage) {
  constexpr ConversionFlags strict{MB_ERR_INVALID_CHARS, WC_ERR_INVALID_CHARS, false};
  constexpr ConversionFlags none{0, 0, false};
  switch (codePage) {
  case CP_UTF8:
  case 54936:
    return strict;
  case 42:
  case 50220:
  case 50221:
  case 50222:
  case 50225:
  case 50227:
  case 50229:
  case CP_UTF7:
    return none;
  default:
    if (codePage >= 57002 && codePage <= 57011)
      return none;
    return {MB_ERR_INVALID_CHARS, WC_NO_BEST_FIT_CHARS, true};
  }
}

std::optional<std::wstring> decode(UINT codePage, const std::string &bytes) {
  if (bytes.empty())
    return std::wstring();
  const DWORD flags = conversionFlags(codePage).toWide;
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
  if (length <= 0)
    return std::nullopt;
  std::wstring result(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, flags, bytes.data(), size, result.data(), length);
  return result;
}

std::optional<std::string> encode(UINT codePage, const std::wstring &wide) {
  if (wide.empty())
    return std::string();
  const ConversionFlags flags = conversionFlags(codePage);
  const int size = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  BOOL *reportUsedDefault = flags.reportsDefaultChar ? &usedDefault : nullptr;
  const int length = WideCharToMultiByte(codePage, flags.toBytes, wide.data(), size, nullptr, 0,
                                         nullptr, reportUsedDefault);
  if (length <= 0 || usedDefault)
    return std::nullopt;
  // The same characters again, now written: the measuring call has told
  // whether any was missing.
  std::string result(static_cast<std::size_t>(length), '\0');
  if (WideCharToMultiByte(codePage, flags.toBytes, wide.data(), size, result.data(), length,
                          nullptr, nullptr) != length)
    return std::nullopt;
  return result;
}

} // namespace

std::optional<std::string> Win32AnsiCodec::toAnsi(const std::string &utf8) const {
  const auto wide = decode(CP_UTF8, utf8);
  if (!wide)
    return std::nullopt;
  auto result = encode(codePage_, *wide);
  // A best-fit-free round trip must give the same characters back.
  if (!result || decode(codePage_, *result) != wide)
    return std::nullopt;
  return result;
}

std::optional<std::string> Win32AnsiCodec::fromAnsi(const std::string &ansi) const {
  const auto wide = decode(codePage_, ansi);
  if (!wide)
    return std::nullopt;
  // Pages decoded without MB_ERR_INVALID_CHARS replace what they can't read;
  // only bytes that come back the same were read exactly.
  if (conversionFlags(codePage_).toWide == 0 && encode(codePage_, *wide) != ansi)
    return std::nullopt;
  return encode(CP_UTF8, *wide); // strict: an unpaired surrogate is refused
}

} // namespace platform::win32
