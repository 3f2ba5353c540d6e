#pragma once
// The stand-in browser (help_handler.exe, built beside the test programs)
// registered for .htm in the test prefix, and what it was asked to open.
#include <string>

namespace testsupport {

// .htm opens with the stand-in, for this user and the machine alike.
void registerHtmHandler();
// No program is associated with .htm any more.
void removeHtmAssociation();
// Every document the stand-in was asked to open, one a line; empty before
// the first, and emptied by forgetHtmHandlerLog.
std::wstring htmHandlerLog();
void forgetHtmHandlerLog();

} // namespace testsupport
