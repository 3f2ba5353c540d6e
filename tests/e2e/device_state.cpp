#include "device_state.h"

#include "support/service_keys.h"

namespace e2e {
namespace {

constexpr const wchar_t *kMarks[] = {L"RestrictionsWritten", L"DenyListWritten"};

std::string startText(const std::optional<DWORD> &value) {
  return value ? std::to_string(*value) : std::string("-");
}

} // namespace

testsupport::KeyValues readRecordWithoutTimes() {
  testsupport::KeyValues record = testsupport::readRecord();
  if (!record)
    return record;
  for (const wchar_t *mark : kMarks) {
    auto found = record->find(mark);
    if (found != record->end() && found->second.type == REG_QWORD && found->second.data.size() == 8)
      found->second = kWrittenMark;
  }
  return record;
}

testsupport::KeyValues finishedRecord(std::map<std::wstring, testsupport::StoredValue> claims) {
  for (const wchar_t *mark : kMarks)
    claims[mark] = kWrittenMark;
  return claims;
}

testsupport::KeyValues claimsOf(testsupport::KeyValues record) {
  if (record)
    for (const wchar_t *mark : kMarks)
      record->erase(mark);
  return record;
}

DeviceState readDeviceState() {
  DeviceState state{testsupport::startValue("Flpydisk"), testsupport::startValue("USBSTOR"),
                    testsupport::startValue("UASPStor"), testsupport::readRestrictionKeys(),
                    readRecordWithoutTimes()};
  if (state.keys.restrictions && state.keys.restrictions->empty() && !state.keys.denyList)
    state.keys.restrictions.reset();
  return state;
}

std::string describe(const DeviceState &state) {
  return "Start " + startText(state.floppy) + "/" + startText(state.usb) + "/" +
         startText(state.uas) +
         ", Restrictions: " + testsupport::describe(state.keys.restrictions) +
         ", DenyDeviceIDs: " + testsupport::describe(state.keys.denyList) +
         ", record: " + testsupport::describe(state.record);
}

} // namespace e2e
