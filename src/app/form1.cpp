#include "app/form1.h"

#include "app/main_texts.h"
#include "devices/device_table.h"

namespace app {

void Form1::Form_Load() {
  for (const devices::Device &device : devices::kDevices) {
    const std::int32_t mode = fncGetReg(device.service);
    if (mode == devices::kUnreadable) {
      window_.messageBox(texts::kReadFailed, texts::kErrorTitle, platform::MessageIcon::Exclamation);
      window_.unload();
      return;
    }
    controls_.selectOption(mode == devices::kStartOnDemand ? device.allowedOption
                                                           : device.prohibitedOption);
  }
}

void Form1::Form_Activate() { controls_.setExitCaption(texts::kExit); }

void Form1::Option1_Click(int /*index*/) { controls_.setExitCaption(texts::kCancel); }

void Form1::Command2_Click() { window_.unload(); }

} // namespace app
