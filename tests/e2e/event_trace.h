#pragma once
// The events programs reported under Wine, read from Wine's debug output:
// Wine's ReportEventW only prints them, and scripts/lib/run-in-wine keeps
// that output in a file named by KESTROVA_WINE_LOG.
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// The channels that show events: set before starting a program.
constexpr wchar_t kEventLogDebugChannels[] = L"-all,+eventlog,fixme+advapi";

struct TracedEvent {
  DWORD id = 0;
  WORD type = 0; // EVENTLOG_INFORMATION_TYPE, _WARNING_ or _ERROR_
  bool hasUserSid = false;
  std::string severity; // the debug class of its strings: trace, warn or err
  std::vector<std::wstring> strings;
  // By string: Wine's trace showed only its start (about 60 Japanese
  // characters), and strings holds that start.
  std::vector<bool> cut;
};

// Whether the event's string at index is text, or its start where the trace
// showed only that.
bool reads(const TracedEvent &event, std::size_t index, const std::wstring &text);

class EventTrace {
public:
  // Takes what is written from now on.
  EventTrace();
  // The Wine log lines written since, for searching and for failure messages.
  std::vector<std::string> lines() const;
  std::vector<TracedEvent> events() const;
  // Whether ASCII text shows in any line; Wine prints it as it is.
  bool mentions(const std::string &ascii) const;

private:
  std::wstring path_;
  LONGLONG start_ = 0;
};

// Checks the one event in events: its ID, type, the debug class of its
// strings, and its strings, which end with the account running the tests;
// the user's SID must be attached too.
void expectOnlyEvent(const std::vector<TracedEvent> &events, DWORD id, WORD type,
                     const std::string &severity, const std::vector<std::wstring> &strings);

} // namespace e2e
