#include "event_trace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

namespace e2e {
namespace {

constexpr char kReportLine[] = ":fixme:advapi:ReportEventW (";
constexpr char kStringLine[] = ":eventlog:ReportEventW L\"";

std::wstring logPath() {
  const wchar_t *path = _wgetenv(L"KESTROVA_WINE_LOG");
  return path ? path : L"";
}

LONGLONG fileSize(const std::wstring &path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
    return 0;
  return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string readFrom(const std::wstring &path, LONGLONG offset) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return {};
  LARGE_INTEGER position{};
  position.QuadPart = offset;
  SetFilePointerEx(file, position, nullptr, FILE_BEGIN);
  std::string text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
    text.append(buffer, read);
  CloseHandle(file);
  return text;
}

// "0024:fixme:advapi:ReportEventW (CAFE4242,0x0002,0x0000,0x00000002,
// 0063FD88,0x0004,0x00000000,0063F758,00000000): stub": handle, type,
// category, ID, SID, number of strings, ...
std::vector<unsigned long> reportFields(const std::string &line) {
  std::vector<unsigned long> fields;
  std::istringstream list(line.substr(line.find(kReportLine) + sizeof kReportLine - 1));
  std::string field;
  while (std::getline(list, field, ','))
    fields.push_back(std::strtoul(field.c_str(), nullptr, 16));
  return fields;
}

std::string threadOf(const std::string &line) { return line.substr(0, line.find(':')); }

std::string utf8(const std::wstring &text) {
  std::string bytes(text.size() * 3, '\0');
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                          static_cast<int>(bytes.size()), nullptr, nullptr);
  bytes.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
  return bytes;
}

std::wstring userName() {
  wchar_t name[256] = {};
  DWORD size = 256;
  GetUserNameW(name, &size);
  return name;
}

// The text of a debugstr_w rendering, L"..." with Wine's escapes.
std::wstring decodeDebugString(const std::string &rendered) {
  std::wstring text;
  std::size_t i = rendered.find('"') + 1;
  while (i < rendered.size() && rendered[i] != '"') {
    if (rendered[i] != '\\') {
      text += static_cast<wchar_t>(rendered[i++]);
      continue;
    }
    const char escaped = rendered[i + 1];
    if (std::isxdigit(static_cast<unsigned char>(escaped))) {
      text += static_cast<wchar_t>(std::strtoul(rendered.substr(i + 1, 4).c_str(), nullptr, 16));
      i += 5;
      continue;
    }
    text += escaped == 'n' ? L'\n' : escaped == 'r' ? L'\r' : escaped == 't' ? L'\t' : escaped;
    i += 2;
  }
  return text;
}

} // namespace

EventTrace::EventTrace() : path_(logPath()), start_(fileSize(path_)) {}

std::vector<std::string> EventTrace::lines() const {
  std::vector<std::string> result;
  std::istringstream text(readFrom(path_, start_));
  std::string line;
  while (std::getline(text, line))
    result.push_back(line);
  return result;
}

std::vector<TracedEvent> EventTrace::events() const {
  const std::vector<std::string> all = lines();
  std::vector<TracedEvent> result;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i].find(kReportLine) == std::string::npos)
      continue;
    const std::vector<unsigned long> fields = reportFields(all[i]);
    if (fields.size() < 6)
      continue;
    TracedEvent event;
    event.type = static_cast<WORD>(fields[1]);
    event.id = fields[3];
    event.hasUserSid = fields[4] != 0;
    // The strings follow on lines of the same thread.
    for (std::size_t j = i + 1; j < all.size() && event.strings.size() < fields[5]; ++j) {
      const std::string &line = all[j];
      const std::size_t at = line.find(kStringLine);
      if (threadOf(line) != threadOf(all[i]) || at == std::string::npos)
        continue;
      const std::size_t classStart = line.find(':') + 1;
      event.severity = line.substr(classStart, line.find(':', classStart) - classStart);
      const std::string rendered = line.substr(at + sizeof kStringLine - 3);
      event.strings.push_back(decodeDebugString(rendered));
      event.cut.push_back(rendered.size() >= 4 &&
                          rendered.compare(rendered.size() - 4, 4, "\"...") == 0);
    }
    result.push_back(event);
  }
  return result;
}

bool reads(const TracedEvent &event, std::size_t index, const std::wstring &text) {
  if (index >= event.strings.size())
    return false;
  const std::wstring &shown = event.strings[index];
  return shown == text || (event.cut[index] && text.starts_with(shown));
}

bool EventTrace::mentions(const std::string &ascii) const {
  const std::vector<std::string> all = lines();
  return std::any_of(all.begin(), all.end(), [&](const std::string &line) {
    return line.find(ascii) != std::string::npos;
  });
}

void expectOnlyEvent(const std::vector<TracedEvent> &events, DWORD id, WORD type,
                     const std::string &severity, const std::vector<std::wstring> &strings) {
  ASSERT_EQ(events.size(), 1u);
  const TracedEvent &event = events[0];
  EXPECT_EQ(event.id, id);
  EXPECT_EQ(event.type, type);
  EXPECT_EQ(event.severity, severity);
  EXPECT_TRUE(event.hasUserSid);
  ASSERT_EQ(event.strings.size(), strings.size() + 1);
  EXPECT_EQ(std::vector<std::wstring>(event.strings.begin(), event.strings.end() - 1), strings);
  const std::wstring &account = event.strings.back();
  const std::wstring user = L"\\" + userName();
  EXPECT_TRUE(account.size() > user.size() &&
              account.compare(account.size() - user.size(), user.size(), user) == 0)
      << utf8(account) << " is not DOMAIN" << utf8(user);
}

} // namespace e2e
