#include "app/form1.h"

#include "app/main_texts.h"
#include "devices/device_table.h"

#include <iterator>

namespace app {

void Form1::Form_Load() {
  for (const devices::Device &device : devices::kDevices) {
    const std::int32_t mode = fncGetReg(device.service);
    if (mode == devices::kUnreadable) {
      showError(texts::kReadFailed);
      window_.unload();
      return;
    }
    controls_.selectOption(mode == devices::kStartOnDemand ? device.allowedOption
                                                           : device.prohibitedOption);
  }
}

void Form1::Form_Activate() { controls_.setExitCaption(texts::kExit); }

void Form1::Option1_Click(int /*index*/) { controls_.setExitCaption(texts::kCancel); }

void Form1::Command1_Click() {
  const auto stored = getPasswd();
  if (!stored || *stored != controls_.passwordText()) {
    showError(texts::kWrongPassword);
    return;
  }
  static_assert(std::size(texts::kWriteFailed) == devices::kDevices.size());
  for (std::size_t i = 0; i < devices::kDevices.size(); ++i) {
    const devices::Device &device = devices::kDevices[i];
    const std::int32_t mode = controls_.isOptionSelected(device.allowedOption)
                                  ? devices::kStartOnDemand
                                  : devices::kStartDisabled;
    if (!fncSaveReg(device.service, mode)) {
      showError(texts::kWriteFailed[i]);
      return;
    }
  }
  window_.messageBox(texts::kDonePrompt, texts::kDoneTitle, platform::MessageIcon::Information);
  window_.unload();
}

void Form1::Command2_Click() { window_.unload(); }

void Form1::showError(const char *prompt) {
  window_.messageBox(prompt, texts::kErrorTitle, platform::MessageIcon::Exclamation);
}

} // namespace app
