// The program's entry: the main window, and the message loop until it closes.
#include "app/main_window.h"
#include "platform/win32/win32_ansi_codec.h"
#include "platform/win32/win32_device_modes.h"
#include "platform/win32/win32_event_log.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_password_file.h"
#include "platform/win32/win32_shell.h"

#include <commctrl.h>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  platform::win32::Win32DeviceModes deviceModes;
  platform::win32::Win32AnsiCodec codec(GetACP());
  platform::win32::Win32Files files;
  platform::win32::Win32SystemPaths paths;
  platform::win32::Win32Shell shell;
  platform::win32::Win32PasswordFile passwordFile;
  help::HelpLauncher help(shell, files, paths);
  platform::win32::Win32EventLog events;
  app::MainWindow mainWindow(instance, deviceModes, passwordFile, codec, help, events);
  if (!mainWindow.load())
    return 0;
  mainWindow.show(showCommand);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    HWND main = mainWindow.handle();
    if (main && IsDialogMessageW(main, &message))
      continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
