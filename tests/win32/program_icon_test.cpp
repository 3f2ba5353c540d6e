// The program's icon holds an image drawn for every size Windows asks for, so
// none is scaled (and blurred) from another, and the 16-colour one for
// displays with no more colours.
#include <windows.h>

#include <cstring>
#include <gtest/gtest.h>

namespace {

constexpr int kIconId = 1; // window_icon.rc

struct Resource {
  const BYTE *bytes = nullptr;
  DWORD size = 0;
};

Resource findResource(int id, LPCWSTR type) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (!found)
    return {};
  return {static_cast<const BYTE *>(LockResource(LoadResource(module, found))),
          SizeofResource(module, found)};
}

// The image Windows picks from the icon for SIZE pixels.
Resource imageFor(int size) {
  Resource group = findResource(kIconId, RT_GROUP_ICON);
  if (!group.bytes)
    return {};
  return findResource(LookupIconIdFromDirectoryEx(const_cast<BYTE *>(group.bytes), TRUE, size, size,
                                                  LR_DEFAULTCOLOR),
                      RT_ICON);
}

DWORD bigEndian(const BYTE *at) {
  return DWORD{at[0]} << 24 | DWORD{at[1]} << 16 | DWORD{at[2]} << 8 | at[3];
}

TEST(ProgramIcon, EverySizeIsDrawnAtThatSizeInColourWithAlphaAndLoads) {
  for (int size : {16, 20, 24, 32, 40, 48}) {
    SCOPED_TRACE(size);
    Resource image = imageFor(size);
    ASSERT_GE(image.size, 26u);
    ASSERT_EQ(std::memcmp(image.bytes, "\x89PNG\r\n\x1a\n", 8), 0);
    EXPECT_EQ(bigEndian(image.bytes + 16), static_cast<DWORD>(size)); // IHDR width
    EXPECT_EQ(bigEndian(image.bytes + 20), static_cast<DWORD>(size)); // and height
    EXPECT_EQ(image.bytes[24], 8);                                    // bits per channel
    EXPECT_EQ(image.bytes[25], 6);                                    // RGBA
    HICON icon = CreateIconFromResourceEx(const_cast<BYTE *>(image.bytes), image.size, TRUE,
                                          0x00030000, size, size, LR_DEFAULTCOLOR);
    EXPECT_NE(icon, nullptr);
    DestroyIcon(icon);
  }
}

TEST(ProgramIcon, HoldsThe16Colour32PixelBitmap) {
  Resource group = findResource(kIconId, RT_GROUP_ICON);
  ASSERT_GE(group.size, 6u);
  WORD count = 0;
  std::memcpy(&count, group.bytes + 4, sizeof count);
  ASSERT_EQ(group.size, 6u + 14u * count);
  int found = 0;
  for (WORD entry = 0; entry < count; ++entry) {
    const BYTE *at = group.bytes + 6 + 14 * entry; // width, height, colours, 0, planes, bits
    WORD bits = 0, id = 0;
    std::memcpy(&bits, at + 6, sizeof bits);
    std::memcpy(&id, at + 12, sizeof id);
    if (at[0] != 32 || bits != 4)
      continue;
    Resource image = findResource(id, RT_ICON);
    BITMAPINFOHEADER header{};
    ASSERT_GE(image.size, sizeof header);
    std::memcpy(&header, image.bytes, sizeof header);
    EXPECT_EQ(header.biWidth, 32);
    EXPECT_EQ(header.biHeight, 64); // the colours and the mask
    EXPECT_EQ(header.biBitCount, 4);
    ++found;
  }
  EXPECT_EQ(found, 1);
}

} // namespace
