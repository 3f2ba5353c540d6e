// The MSI from dist/ as Windows sees it, in the steps tests/package/msi-e2e
// takes with msiexec: installed, upgraded by a newer version, and removed.
//
//   msi_e2e_tests.exe [gtest flags] installed VERSION [without-starting]
//                                                      after msiexec /i; without
//                                                      starting the installed exe
//   msi_e2e_tests.exe [gtest flags] upgraded VERSION    after a newer one went on top
//   msi_e2e_tests.exe [gtest flags] removed             after msiexec /x
#include "driver.h"
#include "support/htm_handler.h"
#include "support/password_file.h"
#include "support/service_keys.h"

#include <gtest/gtest.h>
#include <msi.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace e2e;

// The package is for x86: on 64-bit Windows it goes to the 32-bit folder.
#ifdef _WIN64
const std::wstring kInstallDir = L"C:\\Program Files (x86)\\Kestrova";
#else
const std::wstring kInstallDir = L"C:\\Program Files\\Kestrova";
#endif
const std::wstring kExe = kInstallDir + L"\\vantorel.exe";
const std::wstring kHelp = kInstallDir + L"\\help.htm";
constexpr wchar_t kUpgradeCode[] = L"{B57D45F0-161E-4209-922E-D7363168DE8F}";
// msi-e2e writes it before the first install.
constexpr char kPassword[] = "msi-e2e\r\n";

std::wstring g_expectedVersion;

constexpr wchar_t kEventSourceKey[] =
    L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Kestrova";

bool exists(const std::wstring &path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// For gtest's messages: UTF-8.
std::string narrow(const std::wstring &text) {
  std::string bytes(text.size() * 3 + 1, '\0');
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                          static_cast<int>(bytes.size()), nullptr, nullptr);
  bytes.resize(size > 0 ? size : 0);
  return bytes;
}

// Windows' comparison of paths: case-blind, a trailing backslash or not.
bool samePath(std::wstring a, std::wstring b) {
  for (std::wstring *path : {&a, &b})
    if (path->size() > 3 && path->back() == L'\\')
      path->pop_back();
  return lstrcmpiW(a.c_str(), b.c_str()) == 0;
}

std::wstring folder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

// Kestrova.lnk wherever the Start menu has it. A per-machine install puts it
// in the all-users Programs folder; Wine's msi takes the user's one even with
// ALLUSERS=1, so both count, but not both at once.
std::vector<std::wstring> startMenuShortcuts() {
  std::vector<std::wstring> found;
  for (int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) {
    const std::wstring link = folder(csidl) + L"\\Kestrova.lnk";
    if (exists(link))
      found.push_back(link);
  }
  return found;
}

struct Shortcut {
  std::wstring target, workingDirectory, description, iconFile;
  int iconIndex = -1;
};

Shortcut readShortcut(const std::wstring &path) {
  Shortcut shortcut;
  IShellLinkW *link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void **>(&link))))
    return shortcut;
  IPersistFile *file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)))) {
    if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
      wchar_t text[MAX_PATH] = {};
      if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, 0)))
        shortcut.target = text;
      if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH)))
        shortcut.workingDirectory = text;
      if (SUCCEEDED(link->GetDescription(text, MAX_PATH)))
        shortcut.description = text;
      if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH, &shortcut.iconIndex)))
        shortcut.iconFile = text;
    }
    file->Release();
  }
  link->Release();
  return shortcut;
}

// The installed products with Kestrova's UpgradeCode.
std::vector<std::wstring> kestrovaProducts() {
  std::vector<std::wstring> products;
  wchar_t product[39] = {};
  for (DWORD i = 0; MsiEnumRelatedProductsW(kUpgradeCode, 0, i, product) == ERROR_SUCCESS; ++i)
    products.push_back(product);
  return products;
}

std::wstring productVersion(const std::wstring &product) {
  wchar_t version[64] = {};
  DWORD size = 64;
  MsiGetProductInfoW(product.c_str(), INSTALLPROPERTY_VERSIONSTRING, version, &size);
  return version;
}

void expectOneProductAt(const std::wstring &version) {
  const std::vector<std::wstring> products = kestrovaProducts();
  ASSERT_EQ(products.size(), 1u) << "one Kestrova, not one beside the other";
  EXPECT_EQ(productVersion(products[0]), version);
}

bool eventSourceExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kEventSourceKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

// Event Viewer finds the texts of the program's events in the installed exe.
void expectEventSourceOfTheInstalledExe() {
  wchar_t file[MAX_PATH] = {};
  DWORD type = 0, size = sizeof file;
  ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, kEventSourceKey, L"EventMessageFile",
                         RRF_RT_ANY | RRF_NOEXPAND, &type, file, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
  EXPECT_TRUE(samePath(file, kExe)) << narrow(file);
  DWORD types = 0;
  size = sizeof types;
  ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, kEventSourceKey, L"TypesSupported", RRF_RT_REG_DWORD,
                         nullptr, &types, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(types, 7u) << "errors, warnings and information";
}

TEST(Installed, PutsBothFilesInProgramFilesKestrova) {
  EXPECT_TRUE(exists(kExe));
  EXPECT_TRUE(exists(kHelp));
}

TEST(Installed, RegistersOneProductWithTheUpgradeCode) { expectOneProductAt(g_expectedVersion); }

TEST(Installed, RegistersTheEventSource) { expectEventSourceOfTheInstalledExe(); }

TEST(Installed, TheStartMenuShortcutOpensTheInstalledProgram) {
  const std::vector<std::wstring> links = startMenuShortcuts();
  ASSERT_EQ(links.size(), 1u);
  const Shortcut shortcut = readShortcut(links[0]);
  EXPECT_TRUE(samePath(shortcut.target, kExe)) << narrow(shortcut.target);
  EXPECT_TRUE(samePath(shortcut.workingDirectory, kInstallDir))
      << narrow(shortcut.workingDirectory);
  EXPECT_EQ(shortcut.description, L"USB メモリとフロッピーの使用を切り替えます");
  EXPECT_NE(shortcut.iconFile.find(L"vantorel.ico"), std::wstring::npos)
      << narrow(shortcut.iconFile);
  EXPECT_TRUE(exists(shortcut.iconFile)) << narrow(shortcut.iconFile);
}

TEST(Installed, TheProgramStartsAndOpensTheInstalledHelp) {
  testsupport::seedServices(3, 3);
  testsupport::forgetHtmHandlerLog();
  testsupport::registerHtmHandler();
  setProgramPath(kExe); // the menu's command IDs come from the installed program
  Program program;
  HWND window = program.waitForMainWindow();
  ASSERT_NE(window, nullptr) << "no window \"Kestrova\" from " << narrow(kExe);
  chooseMenuItem(window, L"操作説明");
  // The browser is started, and no box says "help.htmがありません。" or anything else.
  waitUntil([&] { return !testsupport::htmHandlerLog().empty() || program.messageBox(); });
  if (HWND box = program.messageBox())
    FAIL() << "a message box: " << narrow(readMessageBox(box).prompt);
  EXPECT_EQ(testsupport::htmHandlerLog(), kInstallDir + L"\\help.HTM\n");
  Sleep(500);
  EXPECT_EQ(program.messageBox(), nullptr);
}

TEST(Upgraded, TheNewerVersionReplacedTheOlderOne) {
  expectOneProductAt(g_expectedVersion);
  EXPECT_TRUE(exists(kExe));
  EXPECT_TRUE(exists(kHelp));
  EXPECT_EQ(startMenuShortcuts().size(), 1u);
  expectEventSourceOfTheInstalledExe();
}

TEST(Removed, TheInstallFolderIsGone) {
  EXPECT_FALSE(exists(kExe));
  EXPECT_FALSE(exists(kHelp));
  EXPECT_FALSE(exists(kInstallDir));
}

TEST(Removed, TheShortcutIsGone) { EXPECT_TRUE(startMenuShortcuts().empty()); }

TEST(Removed, TheEventSourceIsGone) { EXPECT_FALSE(eventSourceExists()); }

TEST(Removed, NoProductCarriesTheUpgradeCode) { EXPECT_TRUE(kestrovaProducts().empty()); }

TEST(Removed, ThePasswordFileStays) { EXPECT_EQ(testsupport::readPasswordFile(), kPassword); }

} // namespace

int wmain(int argc, wchar_t **argv) {
  testing::InitGoogleTest(&argc, argv);
  const std::wstring phase = argc > 1 ? argv[1] : L"";
  const bool withVersion = phase == L"installed" || phase == L"upgraded";
  const bool withoutStarting =
      phase == L"installed" && argc == 4 && std::wstring(argv[3]) == L"without-starting";
  if ((withVersion && argc != 3 && !withoutStarting) ||
      (!withVersion && (phase != L"removed" || argc != 2))) {
    fwprintf(stderr, L"usage: msi_e2e_tests [gtest flags] installed VERSION [without-starting] | "
                     L"upgraded VERSION | removed\n");
    return 2;
  }
  if (withVersion)
    g_expectedVersion = argv[2];
  testing::GTEST_FLAG(filter) =
      withoutStarting         ? "Installed.*:-Installed.TheProgramStartsAndOpensTheInstalledHelp"
      : phase == L"installed" ? "Installed.*"
      : phase == L"upgraded"  ? "Upgraded.*"
                              : "Removed.*";
  CoInitialize(nullptr);
  const int status = RUN_ALL_TESTS();
  CoUninitialize();
  return status;
}
