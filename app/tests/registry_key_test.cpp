// The application's registry key: one open key at a time, numbers
// narrowed to their field, strings that must fit, and whole subtrees
// deleted.
#include "app/registry_key.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app_fixture.h"

namespace {

using namespace apptest;
using namespace platform;

constexpr char kKey[] = "Software\\ZNT\\Lexora3\\Settings";

class RegistryKeyTest : public AppWorld {};

TEST_F(RegistryKeyTest, OneKeyAtATimeAndCloseWhenNothingIsOpen) {
  CRegistryKey key(HKEY_CURRENT_USER);
  LONG status = 0;
  EXPECT_EQ(key.Close(), CRegistryKey::kNothingOpen);
  EXPECT_FALSE(key.Open(kKey, &status, KEY_READ)) << "missing";
  EXPECT_EQ(status, ERROR_FILE_NOT_FOUND);
  ASSERT_TRUE(key.Create(kKey, &status, KEY_ALL_ACCESS));
  EXPECT_EQ(status, static_cast<LONG>(REG_CREATED_NEW_KEY));
  EXPECT_FALSE(key.Open(kKey, &status, KEY_READ));
  EXPECT_EQ(status, CRegistryKey::kAlreadyOpen);
  EXPECT_FALSE(key.Create(kKey, &status, KEY_READ));
  EXPECT_EQ(status, CRegistryKey::kAlreadyOpen);
  EXPECT_TRUE(key.IsOpen()) << "a refusal leaves the key open";
  EXPECT_EQ(key.Close(), ERROR_SUCCESS);
  ASSERT_TRUE(key.Create(kKey, &status, KEY_ALL_ACCESS));
  EXPECT_EQ(status, static_cast<LONG>(REG_OPENED_EXISTING_KEY));
}

TEST_F(RegistryKeyTest, NumbersAreNarrowedToTheirFieldAndWidenedWithoutSign) {
  Registry().WriteDword(kUser, kKey, "wide", 0x10002);
  Registry().WriteDword(kUser, kKey, "byte", 0x102);
  Registry().WriteString(kUser, kKey, "text", "abc");
  CRegistryKey key(HKEY_CURRENT_USER);
  ASSERT_TRUE(key.Open(kKey, nullptr, KEY_READ));
  int16_t shortField = -1;
  EXPECT_EQ(key.QueryValue("wide", &shortField, 2, kRegistryNumber), 2);
  EXPECT_EQ(shortField, 2);
  uint8_t byteField = 0;
  EXPECT_EQ(key.QueryValue("byte", &byteField, 1, kRegistryNumber), 1);
  EXPECT_EQ(byteField, 2);
  int32_t longField = 0;
  EXPECT_EQ(key.QueryValue("wide", &longField, 3, kRegistryNumber), 0) << "no 3-byte field";
  EXPECT_EQ(key.QueryValue("text", &longField, 4, kRegistryNumber), 0) << "another type";
  EXPECT_EQ(key.QueryValue("none", &longField, 4, kRegistryNumber), 0);
  key.Close();

  ASSERT_TRUE(key.Create(kKey, nullptr, KEY_ALL_ACCESS));
  const int16_t negative = -1;
  EXPECT_EQ(key.SetValue("short", &negative, 2, kRegistryNumber), ERROR_SUCCESS);
  EXPECT_EQ(Registry().ReadDword(kUser, kKey, "short"), 0xFFFFu) << "widened without sign";
}

TEST_F(RegistryKeyTest, AStringThatDoesNotFitCountsAsMissing) {
  Registry().WriteString(kUser, kKey, "folder", "C:\\Docs");
  CRegistryKey key(HKEY_CURRENT_USER);
  ASSERT_TRUE(key.Open(kKey, nullptr, KEY_READ));
  char buffer[8] = "xxxxxxx";
  EXPECT_EQ(key.QueryString("folder", buffer, 8), 8);
  EXPECT_STREQ(buffer, "C:\\Docs");
  char small[7] = "keep";
  EXPECT_EQ(key.QueryString("folder", small, 7), 0);
  framework::CString text("old");
  EXPECT_EQ(key.QueryCString("folder", text, 7), 0);
  EXPECT_EQ(text, "old") << "kept on failure";
  EXPECT_EQ(key.QueryCString("folder", text, 260), 8);
  EXPECT_EQ(text, "C:\\Docs");
}

TEST_F(RegistryKeyTest, TheMachineHiveIsOpenedForReadingWhateverIsAsked) {
  Registry().WriteDword(kMachine, kKey, "value", 7);
  Registry().SetMachineReadOnly(true);
  CRegistryKey key(HKEY_LOCAL_MACHINE);
  LONG status = -1;
  ASSERT_TRUE(key.Open(kKey, &status, KEY_ALL_ACCESS)) << "read access only was asked";
  EXPECT_EQ(status, ERROR_SUCCESS);
  int32_t value = 0;
  EXPECT_EQ(key.QueryValue("value", &value, 4, kRegistryNumber), 4);
  EXPECT_EQ(value, 7);
  EXPECT_NE(key.SetNumber("value", 8), ERROR_SUCCESS);
  EXPECT_EQ(Registry().ReadDword(kMachine, kKey, "value"), 7u);
}

TEST_F(RegistryKeyTest, RefusedAccessIsReportedThroughTheStatus) {
  ScopedRegistryRefusal refusal(HKEY_CURRENT_USER, "Software\\ZNT", KEY_SET_VALUE);
  CRegistryKey key(HKEY_CURRENT_USER);
  LONG status = 0;
  EXPECT_FALSE(key.Create(kKey, &status, KEY_ALL_ACCESS));
  EXPECT_EQ(status, ERROR_ACCESS_DENIED);
  EXPECT_FALSE(key.IsOpen());
}

TEST_F(RegistryKeyTest, ASubtreeGoesWholeAndTheKeyIsClosedAfterwards) {
  Registry().WriteDword(kUser, "Software\\ZNT\\Lexora3\\Settings\\A\\B", "x", 1);
  Registry().WriteDword(kUser, "Software\\ZNT\\Lexora3\\Settings\\C", "y", 2);
  Registry().WriteDword(kUser, "Software\\ZNT\\Lexora3\\Other", "z", 3);
  CRegistryKey key(HKEY_CURRENT_USER);
  EXPECT_EQ(key.DeleteSubtree(kKey), ERROR_SUCCESS);
  EXPECT_FALSE(Registry().OpenKey(kUser, kKey, false));
  EXPECT_TRUE(Registry().OpenKey(kUser, "Software\\ZNT\\Lexora3\\Other", false));
  EXPECT_EQ(key.DeleteSubtree(kKey), ERROR_FILE_NOT_FOUND);

  Registry().WriteDword(kUser, "Software\\ZNT\\Lexora3\\Other\\Deep", "z", 3);
  ASSERT_TRUE(key.Open("Software\\ZNT\\Lexora3", nullptr, KEY_ALL_ACCESS));
  EXPECT_EQ(key.DeleteKey("Other", true), ERROR_SUCCESS) << "relative to the open key";
  EXPECT_FALSE(key.IsOpen());
  EXPECT_FALSE(Registry().OpenKey(kUser, "Software\\ZNT\\Lexora3\\Other", false));
  EXPECT_TRUE(Registry().OpenKey(kUser, "Software\\ZNT\\Lexora3", false));
  EXPECT_EQ(key.DeleteKey("Software\\ZNT\\Lexora3", false), ERROR_SUCCESS) << "from the root";
  EXPECT_FALSE(Registry().OpenKey(kUser, "Software\\ZNT\\Lexora3", false));
}

TEST_F(RegistryKeyTest, ValuesAreDeletedFromTheOpenKeyOnly) {
  Registry().WriteDword(kUser, kKey, "x", 1);
  CRegistryKey key(HKEY_CURRENT_USER);
  EXPECT_EQ(key.DeleteValue("x"), CRegistryKey::kNothingOpen);
  ASSERT_TRUE(key.Open(kKey, nullptr, KEY_ALL_ACCESS));
  EXPECT_EQ(key.DeleteValue("x"), ERROR_SUCCESS);
  EXPECT_FALSE(Registry().ReadDword(kUser, kKey, "x"));
  EXPECT_EQ(key.SetString("s", "\x95\x5C"), ERROR_SUCCESS);
  EXPECT_EQ(Registry().ReadString(kUser, kKey, "s"), "\x95\x5C");
  const uint8_t bytes[] = {1, 2, 3};
  EXPECT_EQ(key.SetValue("b", bytes, 3, kRegistryBinary), ERROR_SUCCESS);
  uint8_t read[3] = {};
  EXPECT_EQ(key.QueryValue("b", read, 3, kRegistryBinary), 3);
  EXPECT_EQ(std::memcmp(read, bytes, 3), 0);
}

}  // namespace
