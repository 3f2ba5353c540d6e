#pragma once
// UTF-8 <-> UTF-16 at the boundary of the W functions.
#include <string>

namespace platform::win32 {

std::wstring widen(const std::string &utf8);
std::string narrow(const std::wstring &utf16);

} // namespace platform::win32
