#pragma once
// What names the program in each of its windows: the icon, shared with the
// resource script, and the title of message boxes that name none.
#define IDI_APP 1

#ifndef RC_INVOKED
namespace platform {

constexpr char kProgramTitle[] = "vantorel";

} // namespace platform
#endif
