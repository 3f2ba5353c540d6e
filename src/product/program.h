#pragma once
// What names the program in each of its windows: the icon, shared with the
// resource scripts, and the title of message boxes that name none.
#define IDI_APP 1

#ifndef RC_INVOKED
namespace product {

constexpr char kProgramTitle[] = "vantorel";

} // namespace product
#endif
