// The start-mode store against the real registry of the test prefix.
#include "devices/start_mode_store.h"
#include "platform/win32/win32_ansi_codec.h"
#include "platform/win32/win32_registry.h"
#include "support/service_keys.h"

#include <gtest/gtest.h>

namespace {

using namespace testsupport;

constexpr char kService[] = "KestrovaProbe";

class StartModeStoreWin32 : public ::testing::Test {
protected:
  void SetUp() override { deleteKey(kService); }
  void TearDown() override { deleteKey(kService); }

  platform::win32::Win32Registry registry;
  platform::win32::Win32AnsiCodec codec{GetACP()};
  devices::StartModeStore store{registry, codec};
};

TEST_F(StartModeStoreWin32, ReadsStoredStartModes) {
  for (DWORD mode : {2u, 3u, 4u}) {
    putStart(kService, mode);
    EXPECT_EQ(store.fncGetReg(kService), static_cast<std::int32_t>(mode));
  }
}

TEST_F(StartModeStoreWin32, ValuesThatAreNoStartModeReadAs255) {
  putStart(kService, 259);
  EXPECT_EQ(store.fncGetReg(kService), 255);
  putValue(kService, REG_SZ, {'3', 0});
  EXPECT_EQ(store.fncGetReg(kService), 255);
  putValue(kService, REG_BINARY, std::vector<BYTE>(300, 3));
  EXPECT_EQ(store.fncGetReg(kService), 255);
}

TEST_F(StartModeStoreWin32, MissingKeyIsUnreadableAndNotCreated) {
  EXPECT_EQ(store.fncGetReg(kService), -1);
  EXPECT_FALSE(keyExists(kService));
}

TEST_F(StartModeStoreWin32, KeyWithoutStartValueIsUnreadable) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kServices) + kService).c_str(), 0, nullptr, 0,
                  KEY_ALL_ACCESS, nullptr, &key, nullptr);
  RegCloseKey(key);
  EXPECT_EQ(store.fncGetReg(kService), -1);
}

TEST_F(StartModeStoreWin32, WriteCreatesTheKeyWithADword) {
  ASSERT_TRUE(store.fncSaveReg(kService, 4));
  EXPECT_EQ(startValue(kService), std::optional<DWORD>(4));
  ASSERT_TRUE(store.fncSaveReg(kService, 3));
  EXPECT_EQ(store.fncGetReg(kService), 3);
}

} // namespace
