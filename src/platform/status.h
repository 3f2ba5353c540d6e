#pragma once
// How every port of the program answers: the Win32 error code of the call
// that failed, or kDone. One convention from the registry and the files up
// to the audit trail, so a failure carries its code wherever it is reported.
#include <cstdint>

namespace platform {

using Status = std::uint32_t;

constexpr Status kDone = 0;                    // ERROR_SUCCESS
constexpr Status kFileNotFound = 2;            // ERROR_FILE_NOT_FOUND
constexpr Status kAccessDenied = 5;            // ERROR_ACCESS_DENIED
constexpr Status kNoUnicodeTranslation = 1113; // a text the code page can't hold

} // namespace platform
