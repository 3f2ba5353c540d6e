// The program's record of what it added to the install restriction, as
// registry values: read back as written, nothing claimed by a value not as
// the program writes it, and an order of writes that a kill anywhere leaves
// sound.
#include "platform/restriction_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::RecordValues;
using platform::RegistryValue;
using platform::RestrictionRecord;

RecordValues applied(const RestrictionRecord &record, RecordValues values = {}) {
  for (const platform::RecordWrite &write : platform::recordWrites(record))
    values[write.which] = write.value;
  return values;
}

// "-DenyListEntry" for a delete, "+DenyListEntry" for a set.
std::vector<std::string> order(const RestrictionRecord &record) {
  std::vector<std::string> writes;
  for (const platform::RecordWrite &write : platform::recordWrites(record)) {
    const std::wstring name = platform::kRecordValueNames[write.which];
    writes.push_back((write.value.present ? "+" : "-") + std::string(name.begin(), name.end()));
  }
  return writes;
}

const RestrictionRecord kFull{L"12",
                              true,
                              true,
                              {true, 1, std::string("1\0\0\0", 4)},
                              platform::WriteMarks{0x01D9A1B2C3D4E5F6, 7}};

TEST(RestrictionRecord, ReadsBackAsWritten) {
  EXPECT_EQ(platform::recordFrom(applied(kFull)), kFull);
  RestrictionRecord fromNone = kFull;
  fromNone.formerSwitch = {};
  EXPECT_EQ(platform::recordFrom(applied(fromNone, applied(kFull))), fromNone)
      << "a switch that was not there";
  EXPECT_EQ(platform::recordFrom(applied(RestrictionRecord{}, applied(kFull))),
            RestrictionRecord{});
}

TEST(RestrictionRecord, AValueNotAsTheProgramWritesItClaimsNothing) {
  RecordValues values = applied(kFull);
  values[platform::kOwnEntry] = RegistryValue::string("1a");
  values[platform::kCreatedList] = RegistryValue::dword(2);
  values[platform::kListMark] = RegistryValue::dword(7); // a mark must be a REG_QWORD
  const RestrictionRecord read = platform::recordFrom(values);
  EXPECT_TRUE(read.entry.empty());
  EXPECT_FALSE(read.createdList);
  EXPECT_FALSE(read.marks.has_value()) << "one mark alone is none";
  EXPECT_TRUE(read.changedSwitch);
  values[platform::kSwitchChanged] = {};
  EXPECT_EQ(platform::recordFrom(values).formerSwitch, RegistryValue{})
      << "a former value without its claim";
}

// Growing (a prohibiting write): the marks go before any claim is added, and
// a former switch value is there before the claim that names it. Shrinking
// (a take-back): dropped claims go while the old marks still stand.
TEST(RestrictionRecord, WritesInAnOrderAKillLeavesSound) {
  RestrictionRecord growing = kFull;
  growing.marks.reset();
  EXPECT_EQ(order(growing), (std::vector<std::string>{"-RestrictionsWritten", "-DenyListWritten",
                                                      "+FormerDenySwitch", "+DenySwitchChanged",
                                                      "+CreatedDenyList", "+DenyListEntry"}));
  RestrictionRecord shrinking;
  shrinking.createdList = true;
  EXPECT_EQ(order(shrinking), (std::vector<std::string>{"-DenySwitchChanged", "-FormerDenySwitch",
                                                        "-DenyListEntry", "-RestrictionsWritten",
                                                        "-DenyListWritten", "+CreatedDenyList"}));
  EXPECT_EQ(order(kFull).back(), "+DenyListWritten") << "marks last";
}

} // namespace
