// The maker's registry tree and INI files as the dialogs read them.
#include "dialogs/product_profile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/registry.h"

namespace {

using namespace platform;

constexpr RegistryHive kUser = RegistryHive::kCurrentUser;
constexpr RegistryHive kMachine = RegistryHive::kLocalMachine;
constexpr char kOrvo[] = "Software\\ZNT\\Orvo\\Directories";

class ProductProfileTest : public ::testing::Test {
 protected:
  MemoryRegistry registry_;
  ScopedRegistry scoped_{registry_};
};

TEST_F(ProductProfileTest, PathsAreBuiltUnderTheMakersKey) {
  CProductProfile profile;
  framework::CString path;
  EXPECT_EQ(profile.BuildPath(path, "Settings"), 21);
  EXPECT_EQ(path, "Software\\ZNT\\Settings");
  profile.SetProduct("Orvo");
  EXPECT_EQ(profile.FullPath(), "Software\\ZNT\\Orvo");
  profile.BuildPath(path, nullptr);
  EXPECT_EQ(path, "Software\\ZNT\\Orvo");
  profile.BuildPath(path, "");
  EXPECT_EQ(path, "Software\\ZNT\\Orvo");
  profile.BuildPath(path, "Directories");
  EXPECT_EQ(path, kOrvo);
}

TEST_F(ProductProfileTest, TheMachineHiveIsReadWithoutWriteRightsTheUsersNeedsFullAccess) {
  registry_.WriteString(kMachine, kOrvo, "ProductDir", "C:\\Orvo");
  registry_.WriteString(kUser, kOrvo, "ProductDir", "C:\\Mine");
  registry_.SetMachineReadOnly(true);
  CProductProfile machine;
  machine.root = HKEY_LOCAL_MACHINE;
  machine.SetProduct("Orvo");
  ASSERT_EQ(machine.Open("Directories"), ERROR_SUCCESS);
  char buffer[32];
  DWORD size = sizeof buffer;
  EXPECT_EQ(machine.QueryValue("ProductDir", buffer, &size), ERROR_SUCCESS);
  EXPECT_STREQ(buffer, "C:\\Orvo");
  EXPECT_EQ(size, 8u);
  EXPECT_NE(machine.SetDword("x", 1), ERROR_SUCCESS) << "opened for reading";
  EXPECT_EQ(machine.Close(), ERROR_SUCCESS);
  EXPECT_EQ(machine.Close(), ERROR_SUCCESS) << "nothing open";

  CProductProfile user;
  user.SetProduct("Orvo");
  {
    ScopedRegistryRefusal refusal(HKEY_CURRENT_USER, "Software\\ZNT", KEY_SET_VALUE);
    EXPECT_EQ(user.Open("Directories"), ERROR_ACCESS_DENIED);
  }
  EXPECT_EQ(user.Open("Missing"), ERROR_FILE_NOT_FOUND) << "never made";
  EXPECT_FALSE(registry_.OpenKey(kUser, "Software\\ZNT\\Orvo\\Missing", false));
  ASSERT_EQ(user.Open("Directories"), ERROR_SUCCESS);
  EXPECT_EQ(user.SetDword("Flag", 0x12345678), ERROR_SUCCESS);
  EXPECT_EQ(user.SetString("Name", "\x95\x5C"), ERROR_SUCCESS);
  EXPECT_EQ(registry_.ReadDword(kUser, kOrvo, "Flag"), 0x12345678u);
  EXPECT_EQ(registry_.ReadString(kUser, kOrvo, "Name"), "\x95\x5C");
}

TEST_F(ProductProfileTest, FindProductPathFallsBackFromTheMachineToTheUser) {
  struct Case {
    const char* name;
    std::vector<std::tuple<RegistryHive, const char*, const char*>> values;
    const char* path;  // null: not found
  };
  const Case cases[] = {
      {"machine",
       {{kMachine, "ProductDir", "C:\\Orvo"}, {kMachine, "ProductFile", "orvo.exe"}},
       "C:\\Orvo\\orvo.exe"},
      {"ends in a backslash",
       {{kMachine, "ProductDir", "C:\\Orvo\\"}, {kMachine, "ProductFile", "orvo.exe"}},
       "C:\\Orvo\\orvo.exe"},
      {"ends in 表",
       {{kMachine, "ProductDir", "C:\\\x95\x5C"}, {kMachine, "ProductFile", "orvo.exe"}},
       "C:\\\x95\x5C\\orvo.exe"},
      {"user only",
       {{kUser, "ProductDir", "C:\\U"}, {kUser, "ProductFile", "u.exe"}},
       "C:\\U\\u.exe"},
      {"machine lacks the file",
       {{kMachine, "ProductDir", "C:\\M"},
        {kUser, "ProductDir", "C:\\U"},
        {kUser, "ProductFile", "u.exe"}},
       "C:\\U\\u.exe"},
      {"neither whole",
       {{kMachine, "ProductDir", "C:\\M"}, {kUser, "ProductFile", "u.exe"}},
       nullptr},
  };
  for (const Case& c : cases) {
    MemoryRegistry registry;
    ScopedRegistry scoped(registry);
    for (const auto& [hive, name, value] : c.values) registry.WriteString(hive, kOrvo, name, value);
    registry.SetMachineReadOnly(true);
    char path[kProductPathSize] = "stale";
    EXPECT_EQ(FindProductPath("Orvo", path), c.path != nullptr ? 1 : 0) << c.name;
    EXPECT_STREQ(path, c.path != nullptr ? c.path : "") << c.name;
    EXPECT_EQ(FindProductPath("Orvo", nullptr), c.path != nullptr ? 1 : 0) << c.name;
    CProductPathFinder finder;
    char speech[kProductPathSize];
    EXPECT_EQ(finder.FindSpeechServerPath(speech), c.path != nullptr ? 1 : 0) << c.name;
    EXPECT_EQ(OpenRegistryKeyCount(), 0u) << c.name;
  }
}

TEST_F(ProductProfileTest, TheProfileSectionIsReadWithASign) {
  char pattern[] = "/tmp/lexora-dialogs-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::filesystem::path folder = pattern;
  std::ofstream(folder / "p.ini") << "[Manual]\r\nLevel=-1\r\nEditor=ed.exe\r\n";
  CProductProfile profile;
  profile.SetIniFile((folder / "p.ini").c_str());
  profile.SetIniSection("manual");
  EXPECT_EQ(profile.GetIniInt("LEVEL", 5), -1);
  EXPECT_EQ(profile.GetIniInt("Missing", 5), 5);
  char buffer[32];
  EXPECT_EQ(profile.GetIniString("Editor", buffer, sizeof buffer), 6u);
  EXPECT_STREQ(buffer, "ed.exe");
  EXPECT_EQ(profile.GetIniString("Missing", buffer, sizeof buffer), 0u);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(profile.GetIniStringDef("Missing", "dflt", buffer, sizeof buffer), 4u);
  EXPECT_STREQ(buffer, "dflt");
  std::filesystem::remove_all(folder);
}

TEST_F(ProductProfileTest, TheValueReaderBuildsItsPathWithOneBackslashBetweenParts) {
  struct Case {
    const char* key;
    const char* subkey;
    const char* path;
  };
  for (const Case& c : {Case{"\\Software\\ZNT", "\\Editor", "Software\\ZNT\\Editor"},
                        Case{"Software\\ZNT\\", "Editor", "Software\\ZNT\\Editor"},
                        Case{"Software\\ZNT", nullptr, "Software\\ZNT"},
                        Case{nullptr, "\\Editor", "Editor"}, Case{"\\\\Two", "x", "\\Two\\x"}}) {
    CRegValueReader reader;
    reader.SetKey(HKEY_CURRENT_USER, c.key, c.subkey);
    framework::CString path;
    reader.BuildPath(path);
    EXPECT_EQ(path, c.path) << (c.key != nullptr ? c.key : "(none)");
  }
}

TEST_F(ProductProfileTest, TheValueReaderOpensOnceAndFallsBackToTheDefault) {
  registry_.WriteString(kMachine, "Software\\ZNT\\Editor", "Path", std::string("C:\\ed.exe"));
  registry_.WriteString(kMachine, "Software\\ZNT\\Editor", "Empty", "");
  registry_.SetMachineReadOnly(true);
  CRegValueReader reader;
  reader.SetKey(HKEY_LOCAL_MACHINE, "Software\\ZNT", "Editor");
  EXPECT_EQ(reader.Open(), 1);
  EXPECT_EQ(reader.Open(), 1);
  EXPECT_EQ(OpenRegistryKeyCount(), 1u) << "the key is reused";
  EXPECT_EQ(reader.GetValueSize("Path"), 10u);
  EXPECT_EQ(reader.GetValueSize("Missing"), 0u);
  framework::CString text;
  EXPECT_EQ(reader.GetString("Path", text, "dflt"), "C:\\ed.exe");
  EXPECT_EQ(reader.GetString("Missing", text, "dflt"), "dflt");
  EXPECT_EQ(reader.GetString("Missing", text, nullptr), "");
  EXPECT_EQ(reader.GetString("Empty", text, "dflt"), "") << "an empty string has its NUL";
  reader.Reset();
  EXPECT_EQ(OpenRegistryKeyCount(), 0u);

  reader.SetKey(HKEY_CURRENT_USER, "Software\\ZNT", "Editor");
  EXPECT_EQ(reader.Open(), 0) << "no such user key";
  EXPECT_EQ(reader.GetString("Path", text, "dflt"), "dflt");
}

}  // namespace
