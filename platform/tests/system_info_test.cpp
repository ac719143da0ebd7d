#include "platform/system_info.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace platform;

TEST(SystemInfoTest, VersionNeedsItsSizeFieldAndFollowsTheGuard) {
  OSVERSIONINFOA info;
  EXPECT_FALSE(GetVersionExA(&info)) << "size field not set";
  info.dwOSVersionInfoSize = sizeof info;
  {
    ScopedWindowsVersion windows2000(5, 0);
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwMajorVersion, 5u);
    EXPECT_EQ(info.dwMinorVersion, 0u);
    EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
  }
  {
    ScopedWindowsVersion windows98(4, 10, VER_PLATFORM_WIN32_WINDOWS);
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwMajorVersion, 4u);
    EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_WINDOWS);
  }
  ASSERT_TRUE(GetVersionExA(&info));
  EXPECT_GT(info.dwMajorVersion, 5u) << "the default takes the newer branches";
  EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
}

TEST(SystemInfoTest, WindowsDirectoryIsTheProgramFolderUnlessChosen) {
  char buffer[260];
  const uint32_t length = GetWindowsDirectoryA(buffer, sizeof buffer);
  ASSERT_LT(length, sizeof buffer);
  EXPECT_EQ(HostPath(std::string(buffer, length)), ProgramFolder());

  ScopedWindowsDirectory chosen("C:\\\x95\x5C");  // C:\表
  EXPECT_EQ(GetWindowsDirectoryA(buffer, sizeof buffer), 5u);
  EXPECT_STREQ(buffer, "C:\\\x95\x5C");
  char small[5] = "xxxx";
  EXPECT_EQ(GetWindowsDirectoryA(small, sizeof small), 6u) << "the size needed";
  EXPECT_STREQ(small, "xxxx") << "nothing copied";
}

TEST(SystemInfoTest, HostPathsUseSlashesAndUtf8) {
  EXPECT_EQ(HostPath("dir\\\x95\x5C\\file.wav"), "dir/\xE8\xA1\xA8/file.wav")
      << "the trail byte 0x5C of 表 is no separator";
  EXPECT_EQ(HostPath("/already/host"), "/already/host");
  EXPECT_FALSE(HostPath("\x81"));
}

}  // namespace

TEST(SystemInfoTest, SchemeColoursAreTheClassicDefaults) {
  struct Case {
    int element;
    uint32_t colour;
  };
  const Case cases[] = {
      {COLOR_WINDOW, 0xFFFFFF},    {COLOR_WINDOWTEXT, 0x000000},    {COLOR_BTNFACE, 0xC0C0C0},
      {COLOR_BTNSHADOW, 0x808080}, {COLOR_BTNHIGHLIGHT, 0xFFFFFF},  {COLOR_3DDKSHADOW, 0x000000},
      {COLOR_HIGHLIGHT, 0x800000}, {COLOR_HIGHLIGHTTEXT, 0xFFFFFF}, {COLOR_APPWORKSPACE, 0x808080},
      {COLOR_INFOBK, 0xE1FFFF},    {COLOR_3DFACE, 0xC0C0C0},
  };
  for (const Case& c : cases) EXPECT_EQ(GetSysColor(c.element), c.colour) << c.element;
  EXPECT_EQ(GetSysColor(-1), 0u);
  EXPECT_EQ(GetSysColor(COLOR_INFOBK + 1), 0u);
}

TEST(SystemInfoTest, SchemeBrushesAreLastingAndPaintTheirColour) {
  EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), GetSysColorBrush(COLOR_3DFACE)) << "one brush each";
  EXPECT_EQ(GetSysColorBrush(COLOR_INFOBK + 1), nullptr);

  constexpr int32_t kSide = 4;
  UniqueDC dc = CreateImageDC(kSide, kSide);
  ASSERT_TRUE(FillRect(dc.get(), RECT{0, 0, kSide, kSide}, GetSysColorBrush(COLOR_HIGHLIGHT)));
  EXPECT_EQ(GetPixel(dc.get(), 1, 1), GetSysColor(COLOR_HIGHLIGHT));
}

TEST(SystemInfoTest, MetricsAreTheClassicDefaultsAndZeroWhenUnknown) {
  struct Case {
    int index;
    int value;
  };
  const Case cases[] = {
      {SM_CXSCREEN, kScreenWidth},
      {SM_CYSCREEN, kScreenHeight},
      {SM_CXVSCROLL, 16},
      {SM_CYHSCROLL, 16},
      {SM_CXDOUBLECLK, 4},
      {SM_CYDOUBLECLK, 4},
      {SM_CYICON, 32},
      {SM_CYSMICON, 16},
      {SM_CXBORDER, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(GetSystemMetrics(c.index), c.value) << c.index;
  EXPECT_EQ(GetSystemMetrics(-1), 0);
  EXPECT_EQ(GetSystemMetrics(1000), 0);
}

TEST(SystemMetricsTest, ATestMayChooseTheScreenSizeForItsScope) {
  {
    ScopedScreenSize small(320, 240);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 320);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 240);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
  }
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), kScreenWidth);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), kScreenHeight);
}
