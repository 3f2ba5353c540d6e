// How long the password store takes to judge the longest first lines: one at
// the limit (read), one just over it (refused) and 100 MB without a line end
// (refused). Prints one line per file with the median of its runs in ms.
#include "password/password_format.h"
#include "password/password_store.h"
#include "platform/win32/win32_ansi_codec.h"
#include "platform/win32/win32_password_file.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string passwordFilePath() {
  char buffer[MAX_PATH] = {};
  GetWindowsDirectoryA(buffer, MAX_PATH);
  return std::string(buffer) + "\\vantorel.P01";
}

void writeFile(const std::string &path, std::size_t lineBytes, const char *end) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  const std::string chunk(1 << 20, 'k');
  DWORD written = 0;
  for (std::size_t left = lineBytes; left > 0;) {
    const DWORD part = static_cast<DWORD>(std::min(left, chunk.size()));
    WriteFile(file, chunk.data(), part, &written, nullptr);
    left -= part;
  }
  WriteFile(file, end, static_cast<DWORD>(std::char_traits<char>::length(end)), &written, nullptr);
  CloseHandle(file);
}

double medianMs(platform::PasswordFile &file, const platform::AnsiCodec &codec, bool *readable) {
  LARGE_INTEGER frequency, start, stop;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> runs;
  for (int run = 0; run < 7; ++run) {
    QueryPerformanceCounter(&start);
    *readable = password::readPassword(file, codec).status == platform::kDone;
    QueryPerformanceCounter(&stop);
    runs.push_back(1000.0 * static_cast<double>(stop.QuadPart - start.QuadPart) /
                   static_cast<double>(frequency.QuadPart));
  }
  std::sort(runs.begin(), runs.end());
  return runs[runs.size() / 2];
}

} // namespace

int main() {
  platform::win32::Win32PasswordFile file;
  platform::win32::Win32AnsiCodec codec(GetACP());
  const std::size_t limit = password::kMaxLineBytes;
  struct Case {
    const char *name;
    std::size_t bytes;
    const char *end;
  } cases[] = {{"first line at the limit", limit, "\r\n"},
               {"first line one byte over", limit + 1, "\r\n"},
               {"100 MB, no line end", 100u << 20, ""}};
  for (const Case &c : cases) {
    writeFile(passwordFilePath(), c.bytes, c.end);
    bool readable = false;
    const double ms = medianMs(file, codec, &readable);
    std::printf("password_read: %-26s %10zu bytes  %s  median %.1f ms\n", c.name, c.bytes,
                readable ? "read   " : "refused", ms);
  }
  DeleteFileA(passwordFilePath().c_str());
  return 0;
}
