// Stands in for a browser in the help tests: registered for .htm in the test
// prefix, it appends the document it was asked to open to C:\help-handler.log.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t **argv) {
  HANDLE log = CreateFileW(L"C:\\help-handler.log", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE)
    return 1;
  const wchar_t *document = argc > 1 ? argv[1] : L"";
  DWORD written = 0;
  WriteFile(log, document, static_cast<DWORD>(wcslen(document) * sizeof(wchar_t)), &written,
            nullptr);
  WriteFile(log, L"\n", sizeof(wchar_t), &written, nullptr);
  CloseHandle(log);
  return 0;
}
