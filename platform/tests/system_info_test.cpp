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
  }
  ASSERT_TRUE(GetVersionExA(&info));
  EXPECT_GT(info.dwMajorVersion, 5u) << "the default takes the newer branches";
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
