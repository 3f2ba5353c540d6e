#include "app/main_handlers.h"

#include "app/main_texts.h"
#include "devices/device_table.h"
#include "password/password_store.h"
#include "product/audit_messages.h"

#include <algorithm>
#include <vector>

namespace app {
namespace {

const char *stateWord(bool allowed) { return allowed ? texts::kAllowed : texts::kProhibited; }

const char *refusalReason(const password::StoredPassword &stored) {
  if (stored.unreadable && stored.status == platform::kFolderInPlace)
    return texts::kEventPasswordIsFolder;
  if (stored.unreadable)
    return stored.status == platform::kAccessDenied ? texts::kEventPasswordNoRights
                                                    : texts::kEventPasswordUnreadable;
  return stored.status == platform::kDone ? texts::kEventPasswordDiffers
                                          : texts::kEventPasswordUnusable;
}

// Adds an item to a list the audit trail shows, "、" between items.
void append(std::string &list, const std::string &item) {
  list += (list.empty() ? "" : "、") + item;
}

// "使用禁止（USB\\Class_08 のインストール禁止、USBSTOR、UASPStor）": the state
// and the parts that hold it, services by name and the install restriction
// by the ID it denies (the store hands back the table's own pointers), then
// what the write left of others' and of its own restriction.
std::string setting(const char *state, const devices::Device &device,
                    const std::vector<const char *> &parts, bool lifted,
                    const std::string &notes = {}) {
  std::string items;
  for (const char *part : parts)
    append(items, part == device.services.deniedDeviceId
                      ? part + std::string(lifted ? texts::kEventInstallDenialLifted
                                                  : texts::kEventInstallDenied)
                      : std::string(part));
  return std::string(state) + "（" + items + notes + "）";
}

std::string restrictionNotes(const devices::Device &device, const platform::ModeWrite &write) {
  std::string notes;
  if (write.leftOn) {
    std::string parts;
    if (write.leftOn & platform::kEntryPart)
      append(parts, texts::kEventLeftEntry);
    if (write.leftOn & platform::kSwitchPart)
      append(parts, texts::kEventLeftSwitch);
    notes += std::string("。") + device.services.deniedDeviceId + texts::kEventLeftOn + parts;
  }
  if (write.refusedByOthers)
    notes += std::string("。") + texts::kEventRefusedByOthers;
  return notes;
}

std::string lockReason(const platform::PasswordFile::ChangeLock &lock) {
  switch (password::lockTrouble(lock)) {
  case password::LockTrouble::HeldByAnotherCopy:
    return texts::kEventLockHeld;
  case password::LockTrouble::NotTheProgramsFile:
    return texts::kEventLockNotOurs;
  case password::LockTrouble::NoRights:
    return password::auditReason(texts::kEventLockNoRights, lock.status());
  case password::LockTrouble::Other:
    break;
  }
  return password::auditReason(texts::kEventLockUnavailable, lock.status());
}

} // namespace

void MainHandlers::onLoad() {
  for (const devices::Device &device : devices::kDevices) {
    platform::DeviceMode mode{};
    if (const platform::Status status = deviceModes_.readMode(device.services, &mode);
        status != platform::kDone) {
      events_.report(EVENT_STARTUP_READ_FAILED, platform::EventType::Error,
                     {std::to_string(status)});
      showError(texts::kReadFailed);
      window_.unload();
      return;
    }
    controls_.selectOption(mode == platform::DeviceMode::Allowed ? device.allowedOption
                                                                 : device.prohibitedOption);
    if (mode == platform::DeviceMode::Prohibited && device.services.deniedDeviceId)
      reportMissingRestriction(device);
  }
}

// Shown prohibited, yet a new drive would install: a power cut between the
// two hives, a policy refresh, a PC prohibited by other means. The window
// stays on the safe side; the next Execute that keeps it prohibited puts
// the restriction in force.
void MainHandlers::reportMissingRestriction(const devices::Device &device) {
  unsigned missing = 0;
  const platform::Status status = deviceModes_.readMissingRestriction(device.services, &missing);
  if (status == platform::kDone && !missing)
    return;
  std::string parts;
  if (status != platform::kDone)
    append(parts, password::auditReason(texts::kEventRestrictionUnreadable, status));
  if (missing & platform::kSwitchPart)
    append(parts, texts::kEventSwitchMissing);
  if (missing & platform::kEntryPart)
    append(parts, device.services.deniedDeviceId + std::string(texts::kEventEntryMissing));
  events_.report(EVENT_INSTALL_RESTRICTION_MISSING, platform::EventType::Warning, {parts});
}

void MainHandlers::onActivate() { controls_.setExitCaption(texts::kExit); }

void MainHandlers::onOptionClicked(int /*index*/) { controls_.setExitCaption(texts::kCancel); }

// A password file that can't be read (an administrator without elevation,
// another program holding it) says nothing about the password: the user is
// told that the settings can't be made, as when the registry refuses them,
// never that a right password is wrong.
bool MainHandlers::passwordAccepted() {
  const password::StoredPassword stored = password::readPassword(passwordFile_, codec_);
  if (stored.status == platform::kDone && stored.password == controls_.passwordText())
    return true;
  events_.report(EVENT_DEVICE_MODES_REFUSED, platform::EventType::Warning,
                 {password::auditReason(refusalReason(stored), stored.status)});
  // (003): the first setting Execute would write can't be made either.
  showError(stored.unreadable ? devices::kDevices[0].writeFailed : texts::kWrongPassword);
  return false;
}

void MainHandlers::onExecute() {
  if (!passwordAccepted())
    return;
  if (const char *error = applySettings()) {
    showError(error);
    return;
  }
  window_.messageBox(texts::kDonePrompt, texts::kDoneTitle, platform::MessageIcon::Information);
  window_.unload();
}

// One copy at a time, as for a password change: two copies writing both
// devices in opposite directions at once could leave USB's Start values and
// its install restriction each from another copy. The lock is let go before
// any box is shown.
const char *MainHandlers::applySettings() {
  const platform::PasswordFile::ChangeLock lock = passwordFile_.lockChanges();
  if (lock.status() != platform::kDone) {
    events_.report(EVENT_CHANGE_LOCK_REFUSED, platform::EventType::Warning, {lockReason(lock)});
    return devices::kDevices[0].writeFailed; // (003): nothing could be set
  }
  password::restrictPasswordFile(passwordFile_, events_);
  Settings settings;
  for (std::size_t i = 0; i < devices::kDevices.size(); ++i) {
    const devices::Device &device = devices::kDevices[i];
    const bool allowed = controls_.isOptionSelected(device.allowedOption);
    const platform::ModeWrite write =
        deviceModes_.writeMode(device.services, allowed ? platform::DeviceMode::Allowed
                                                        : platform::DeviceMode::Prohibited);
    settings[i] = setting(stateWord(allowed), device, write.written, allowed,
                          restrictionNotes(device, write));
    if (write.status != platform::kDone) {
      reportWriteFailed(i, write, settings);
      return device.writeFailed;
    }
  }
  static_assert(std::tuple_size_v<Settings> == 2, "the event's text names floppy and USB");
  events_.report(EVENT_DEVICE_MODES_SET, platform::EventType::Information,
                 {settings[0], settings[1]});
  return nullptr;
}

void MainHandlers::onExit() { window_.unload(); }

void MainHandlers::showError(const char *prompt) {
  window_.messageBox(prompt, texts::kErrorTitle, platform::MessageIcon::Exclamation);
}

// Names the device and the service that failed, the registry's error and
// what stays written: the devices before it, and any of its own services
// that could not be put back.
void MainHandlers::reportWriteFailed(std::size_t device, const platform::ModeWrite &write,
                                     const Settings &settings) {
  std::string written;
  for (std::size_t i = 0; i <= device; ++i)
    if (i < device || !write.written.empty())
      written +=
          std::string(written.empty() ? "" : "、") + devices::kDevices[i].name + ": " + settings[i];
  events_.report(EVENT_DEVICE_MODE_NOT_WRITTEN, platform::EventType::Error,
                 {setting(devices::kDevices[device].name, devices::kDevices[device],
                          {write.failedPart}, false),
                  std::to_string(write.status),
                  written.empty() ? texts::kEventNothingWritten : written});
}

} // namespace app
