#include "app/form1.h"

#include "app/main_texts.h"
#include "devices/device_table.h"
#include "password/password_store.h"

#include <iterator>

namespace app {
namespace {

// Event IDs of the message table in audit_messages.mc.
constexpr std::uint16_t kEventSettingsWritten = 1;
constexpr std::uint16_t kEventExecuteRefused = 2;
constexpr std::uint16_t kEventWriteFailed = 3;
constexpr std::uint16_t kEventReadFailed = 6;

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

// A user who may not read the password file (an administrator without
// elevation) is told that the settings can't be made, as when the registry
// refuses them, never that a right password is wrong.
bool Form1::passwordAccepted() {
  const password::StoredPassword stored = password::readPassword(passwordFile_, codec_);
  if (stored.status == platform::kDone && stored.password == controls_.passwordText())
    return true;
  const bool noRights = stored.status == platform::kAccessDenied;
  const char *reason = noRights                           ? texts::kEventPasswordNoRights
                       : stored.status == platform::kDone ? texts::kEventPasswordDiffers
                                                          : texts::kEventPasswordUnreadable;
  events_.report(kEventExecuteRefused, platform::EventType::Warning,
                 {password::auditReason(reason, stored.status)});
  showError(noRights ? texts::kFloppyWriteFailed : texts::kWrongPassword);
  return false;
}

void Form1::Command1_Click() {
  if (!passwordAccepted())
    return;
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
