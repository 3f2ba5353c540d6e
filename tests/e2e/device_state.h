#pragma once
// What an Execute leaves of both devices, read after it for comparing one
// run with another: the three Start values, the install restriction and the
// program's record of it.
#include "support/restriction_keys.h"

#include <map>
#include <optional>
#include <string>

namespace e2e {

struct DeviceState {
  std::optional<DWORD> floppy, usb, uas;
  testsupport::RestrictionKeys keys;
  testsupport::KeyValues record;
  bool operator==(const DeviceState &) const = default;
};

// An empty Restrictions key reads as none (the program makes it on its way
// to the list and leaves it), and the record's two last-write times as
// kWrittenMark, so that two runs compare equal.
DeviceState readDeviceState();
std::string describe(const DeviceState &state);
inline void PrintTo(const DeviceState &state, std::ostream *out) { *out << describe(state); }

// A last-write time in the record, its data blanked.
inline const testsupport::StoredValue kWrittenMark{REG_QWORD, {}};
// The record the program leaves after a write it finished: these claims and
// both last-write times.
testsupport::KeyValues finishedRecord(std::map<std::wstring, testsupport::StoredValue> claims);
// The record with its last-write times blanked.
testsupport::KeyValues readRecordWithoutTimes();
// The record's claims, its last-write times left out.
testsupport::KeyValues claimsOf(testsupport::KeyValues record);

} // namespace e2e
