#pragma once
// The main window's event handlers, free of any window system.
#include "app/main_controls.h"
#include "devices/start_mode_store.h"
#include "platform/window_ops.h"

#include <cstdint>
#include <string>

namespace app {

class Form1 {
public:
  Form1(MainControls &controls, platform::WindowOps &window, devices::StartModeStore &startModes)
      : controls_(controls), window_(window), startModes_(startModes) {}

  // Runs once before the window is shown; on failure the window is unloaded.
  void Form_Load();
  // Runs when the window is first shown and when it is active again after
  // one of the program's own windows closed.
  void Form_Activate();
  void Option1_Click(int index);
  // Exit, or Cancel once a choice was made: ends the program, writing nothing.
  void Command2_Click();
  void mnuFileExit_Click() { Command2_Click(); }

  std::int32_t fncGetReg(const std::string &strKind) { return startModes_.fncGetReg(strKind); }
  bool fncSaveReg(const std::string &strKind, std::int32_t longValue) {
    return startModes_.fncSaveReg(strKind, longValue);
  }

private:
  MainControls &controls_;
  platform::WindowOps &window_;
  devices::StartModeStore &startModes_;
};

} // namespace app
