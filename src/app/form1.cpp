#include "app/form1.h"

#include "app/main_texts.h"
#include "devices/device_table.h"
#include "product/audit_messages.h"

#include <iterator>

namespace app {
namespace {

constexpr std::uint16_t kEventSettingsWritten = EVENT_DEVICE_MODES_SET;
constexpr std::uint16_t kEventExecuteRefused = EVENT_DEVICE_MODES_REFUSED;
constexpr std::uint16_t kEventWriteFailed = EVENT_DEVICE_MODE_NOT_WRITTEN;
constexpr std::uint16_t kEventReadFailed = EVENT_STARTUP_READ_FAILED;

const char *stateWord(bool allowed) { return allowed ? texts::kAllowed : texts::kProhibited; }

} // namespace

void Form1::Form_Load() {
  for (const devices::Device &device : devices::kDevices) {
    const std::int32_t mode = fncGetReg(device.service);
    if (mode == devices::kUnreadable) {
      events_.report(kEventReadFailed, platform::EventType::Error,
                     {std::to_string(startModes_.lastError())});
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
    events_.report(kEventExecuteRefused, platform::EventType::Warning,
                   {stored ? texts::kEventPasswordDiffers : texts::kEventPasswordUnreadable});
    showError(texts::kWrongPassword);
    return;
  }
  static_assert(std::size(texts::kWriteFailed) == devices::kDevices.size());
  DeviceStates states{};
  for (std::size_t i = 0; i < devices::kDevices.size(); ++i) {
    const devices::Device &device = devices::kDevices[i];
    const bool allowed = controls_.isOptionSelected(device.allowedOption);
    states[i] = stateWord(allowed);
    if (!fncSaveReg(device.service, allowed ? devices::kStartOnDemand : devices::kStartDisabled)) {
      reportWriteFailed(i, states);
      showError(texts::kWriteFailed[i]);
      return;
    }
  }
  static_assert(std::tuple_size_v<DeviceStates> == 2, "the event's text names floppy and USB");
  events_.report(kEventSettingsWritten, platform::EventType::Information, {states[0], states[1]});
  window_.messageBox(texts::kDonePrompt, texts::kDoneTitle, platform::MessageIcon::Information);
  window_.unload();
}

void Form1::Command2_Click() { window_.unload(); }

void Form1::showError(const char *prompt) {
  window_.messageBox(prompt, texts::kErrorTitle, platform::MessageIcon::Exclamation);
}

// Names the device, the registry's error and what the devices before it
// were set to, which stays written.
void Form1::reportWriteFailed(std::size_t device, const DeviceStates &states) {
  std::string written;
  for (std::size_t i = 0; i < device; ++i)
    written += std::string(i ? "、" : "") + texts::kDeviceNames[i] + ": " + states[i];
  events_.report(kEventWriteFailed, platform::EventType::Error,
                 {texts::kDeviceNames[device], std::to_string(startModes_.lastError()),
                  device ? written : texts::kEventNothingWritten});
}

} // namespace app
