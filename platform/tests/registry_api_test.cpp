#include "platform/registry_api.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace platform {
namespace {

using ::testing::ElementsAre;

constexpr RegistryHive kUser = RegistryHive::kCurrentUser;
constexpr RegistryHive kMachine = RegistryHive::kLocalMachine;
constexpr char kSettings[] = "Software\\ZNT\\Lexora3\\Settings";

const BYTE* Bytes(const char* text) { return reinterpret_cast<const BYTE*>(text); }

class RegistryApiTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(OpenRegistryKeyCount(), 0u) << "a handle was left open"; }

  HKEY Create(HKEY root, const char* path, REGSAM access = KEY_ALL_ACCESS) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    EXPECT_EQ(RegCreateKeyEx(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                             &disposition),
              ERROR_SUCCESS);
    return key;
  }

  MemoryRegistry registry_;
  ScopedRegistry scope_{registry_};
};

TEST_F(RegistryApiTest, CreateTellsANewKeyFromAnOpenedOneAndOpenFindsOnlyWhatExists) {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, nullptr);
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, kSettings, 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "software\\znt\\lexora3\\settings", 0, nullptr,
                           REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);

  // A key opened below another open key.
  HKEY parent = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\ZNT", 0, KEY_READ, &parent), ERROR_SUCCESS);
  HKEY child = nullptr;
  EXPECT_EQ(RegOpenKeyEx(parent, "Lexora3\\Settings", 0, KEY_READ, &child), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(child), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(parent), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE) << "closed twice";
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
}

TEST_F(RegistryApiTest, QueriesAnswerTypeAndSizeAndAShortBufferAsksForMore) {
  HKEY key = Create(HKEY_CURRENT_USER, kSettings);
  ASSERT_EQ(RegSetValueEx(key, "TemplateDir", 0, REG_SZ, Bytes("C:\\A\\"), 6), ERROR_SUCCESS);
  const BYTE number[] = {0x02, 0x00, 0x01, 0x00};  // 0x10002
  ASSERT_EQ(RegSetValueEx(key, "wppMargin", 0, REG_DWORD, number, sizeof number), ERROR_SUCCESS);
  const BYTE history[] = {0x01, 0x00, 0x00};
  ASSERT_EQ(RegSetValueEx(key, "i_RecentFile", 0, REG_BINARY, history, sizeof history),
            ERROR_SUCCESS);

  struct Case {
    const char* name;
    DWORD type;
    DWORD size;
  };
  for (const Case& expected : {Case{"TemplateDir", REG_SZ, 6}, Case{"WPPMARGIN", REG_DWORD, 4},
                               Case{"i_RecentFile", REG_BINARY, 3}}) {
    SCOPED_TRACE(expected.name);
    DWORD type = REG_NONE;
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueEx(key, expected.name, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, expected.type);
    EXPECT_EQ(size, expected.size);
    BYTE small[2] = {};
    size = sizeof small;
    type = REG_NONE;
    EXPECT_EQ(RegQueryValueEx(key, expected.name, nullptr, &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, expected.size);
    EXPECT_EQ(type, expected.type);
  }

  DWORD read = 0;
  DWORD size = sizeof read;
  EXPECT_EQ(
      RegQueryValueEx(key, "wppMargin", nullptr, nullptr, reinterpret_cast<BYTE*>(&read), &size),
      ERROR_SUCCESS);
  EXPECT_EQ(read, 0x10002u);
  char text[16] = {};
  size = sizeof text;
  EXPECT_EQ(
      RegQueryValueEx(key, "TemplateDir", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
      ERROR_SUCCESS);
  EXPECT_STREQ(text, "C:\\A\\");
  EXPECT_EQ(size, 6u);
  EXPECT_EQ(RegQueryValueEx(key, "Missing", nullptr, nullptr, nullptr, &size),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(
      RegQueryValueEx(key, "TemplateDir", nullptr, nullptr, reinterpret_cast<BYTE*>(text), nullptr),
      ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryApiTest, SetValueTakesAStringToItsFirstZeroAndRefusesMisshapenData) {
  HKEY key = Create(HKEY_CURRENT_USER, kSettings);
  EXPECT_EQ(RegSetValueEx(key, "s", 0, REG_SZ, Bytes("ab\0cd"), 5), ERROR_SUCCESS);
  EXPECT_EQ(registry_.ReadString(kUser, kSettings, "s"), "ab");
  EXPECT_EQ(RegSetValueEx(key, "n", 0, REG_DWORD, Bytes("\1\0"), 2), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegSetValueEx(key, "m", 0, 7 /* a multi-string */, Bytes("a\0\0"), 3),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegSetValueEx(key, "b", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
  EXPECT_EQ(registry_.ReadBinary(kUser, kSettings, "b"), RegistryBinary{});
  EXPECT_THAT(registry_.EnumValues(kUser, kSettings), ElementsAre("s", "b"));
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryApiTest, AKeyOpenedForReadingRefusesWrites) {
  registry_.WriteDword(kUser, kSettings, "v", 1);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, &key), ERROR_SUCCESS);
  const DWORD two = 2;
  EXPECT_EQ(RegSetValueEx(key, "v", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&two), 4),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValue(key, "v"), ERROR_ACCESS_DENIED);
  HKEY child = nullptr;
  EXPECT_EQ(RegCreateKeyEx(key, "Child", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                           nullptr, &child, nullptr),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, kSettings), ERROR_SUCCESS) << "from a writable key";
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "", 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  char name[8];
  EXPECT_EQ(RegEnumKey(key, 0, name, sizeof name), ERROR_ACCESS_DENIED) << "may not enumerate";
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueEx(key, "v", nullptr, nullptr, nullptr, &size), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryApiTest, AReadOnlyMachineHiveOpensOnlyForReading) {
  registry_.WriteString(kMachine, kSettings, "Default", "x");
  registry_.SetMachineReadOnly(true);
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kSettings, 0, KEY_ALL_ACCESS, &key),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "Software\\New", 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_READ, nullptr, &key, nullptr),
            ERROR_ACCESS_DENIED);
  EXPECT_FALSE(registry_.OpenKey(kMachine, "Software\\New", false));
  EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, kSettings), ERROR_ACCESS_DENIED);
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kSettings, 0, KEY_READ, &key), ERROR_SUCCESS);
  char text[4] = {};
  DWORD size = sizeof text;
  EXPECT_EQ(RegQueryValueEx(key, "Default", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(text, "x");
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryApiTest, ARefusalDeniesTheAccessItNamesAtAndBelowItsKey) {
  registry_.OpenKey(kUser, kSettings, true);
  registry_.OpenKey(kUser, "Software\\Other", true);
  HKEY key = nullptr;
  {
    ScopedRegistryRefusal refusal(HKEY_CURRENT_USER, "software\\znt", KEY_ALL_ACCESS);
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\ZNT", 0, KEY_READ, &key),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "", 0, KEY_READ, &key), ERROR_SUCCESS)
        << "another hive";
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Other", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\ZNTX", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND)
        << "a prefix of a name is not the key";
  }
  {
    ScopedRegistryRefusal refusal(HKEY_CURRENT_USER, kSettings, KEY_SET_VALUE);
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kSettings, 0, KEY_ALL_ACCESS, &key),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  }
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kSettings, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryApiTest, DeletingAKeyTakesItsSubtreeAndLeavesItsHandlesWithNothing) {
  registry_.WriteDword(kUser, "Software\\ZNT\\A\\B\\C", "v", 1);
  registry_.WriteDword(kUser, "Software\\ZNT\\Keep", "v", 1);
  HKEY inner = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\ZNT\\A\\B", 0, KEY_ALL_ACCESS, &inner),
            ERROR_SUCCESS);
  HKEY key = Create(HKEY_CURRENT_USER, "Software\\ZNT");
  EXPECT_EQ(RegDeleteKey(key, "a"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKey(key, "A"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKey(key, ""), ERROR_INVALID_PARAMETER);
  EXPECT_THAT(registry_.EnumKeys(kUser, "Software\\ZNT"), ElementsAre("Keep"));
  const DWORD one = 1;
  EXPECT_EQ(RegSetValueEx(inner, "v", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4),
            ERROR_KEY_DELETED);
  EXPECT_FALSE(registry_.OpenKey(kUser, "Software\\ZNT\\A", false)) << "not made again";
  EXPECT_EQ(RegDeleteValue(key, "none"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCloseKey(inner), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryApiTest, EnumerationWalksKeysAndValuesInOrderAndAsksForRoomForLongNames) {
  registry_.OpenKey(kUser, "R\\First", true);
  registry_.OpenKey(kUser, "R\\Second", true);
  registry_.WriteString(kUser, "R", "Name", "text");
  registry_.WriteDword(kUser, "R", "Count", 7);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "R", 0, KEY_READ, &key), ERROR_SUCCESS);
  std::vector<std::string> keys;
  char name[256];
  DWORD index = 0;
  while (RegEnumKey(key, index++, name, sizeof name) == ERROR_SUCCESS) keys.push_back(name);
  EXPECT_THAT(keys, ElementsAre("First", "Second"));
  EXPECT_EQ(RegEnumKey(key, 2, name, sizeof name), ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(RegEnumKey(key, 1, name, 6), ERROR_MORE_DATA) << "\"Second\" needs 7";

  DWORD nameSize = sizeof name;
  DWORD type = REG_NONE;
  BYTE data[8] = {};
  DWORD dataSize = sizeof data;
  ASSERT_EQ(RegEnumValue(key, 0, name, &nameSize, nullptr, &type, data, &dataSize), ERROR_SUCCESS);
  EXPECT_STREQ(name, "Name");
  EXPECT_EQ(nameSize, 4u);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(dataSize, 5u);
  EXPECT_STREQ(reinterpret_cast<char*>(data), "text");
  nameSize = sizeof name;
  ASSERT_EQ(RegEnumValue(key, 1, name, &nameSize, nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_STREQ(name, "Count");
  EXPECT_EQ(type, REG_DWORD);
  nameSize = 5;
  EXPECT_EQ(RegEnumValue(key, 1, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
            ERROR_MORE_DATA);
  nameSize = sizeof name;
  EXPECT_EQ(RegEnumValue(key, 2, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
            ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

// Counts the flushes, so that a test sees a written key made lasting on
// close and a key only read not.
class CountingRegistry final : public Registry {
 public:
  bool OpenKey(RegistryHive hive, std::string_view path, bool create) override {
    return inner.OpenKey(hive, path, create);
  }
  std::optional<RegistryValue> ReadValue(RegistryHive hive, std::string_view path,
                                         std::string_view name) const override {
    return inner.ReadValue(hive, path, name);
  }
  bool WriteValue(RegistryHive hive, std::string_view path, std::string_view name,
                  RegistryValue value) override {
    return inner.WriteValue(hive, path, name, std::move(value));
  }
  bool DeleteValue(RegistryHive hive, std::string_view path, std::string_view name) override {
    return inner.DeleteValue(hive, path, name);
  }
  bool DeleteKey(RegistryHive hive, std::string_view path) override {
    return inner.DeleteKey(hive, path);
  }
  std::vector<std::string> EnumKeys(RegistryHive hive, std::string_view path) const override {
    return inner.EnumKeys(hive, path);
  }
  std::vector<std::string> EnumValues(RegistryHive hive, std::string_view path) const override {
    return inner.EnumValues(hive, path);
  }
  bool IsWritable(RegistryHive hive) const override { return inner.IsWritable(hive); }
  bool Flush() override {
    ++flushes;
    return true;
  }

  MemoryRegistry inner;
  int flushes = 0;
};

TEST(RegistryApiFlushTest, ClosingAKeyThatWroteMakesTheChangesLast) {
  CountingRegistry registry;
  ScopedRegistry scope(registry);
  registry.inner.WriteDword(kUser, kSettings, "v", 1);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kSettings, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  DWORD size = 0;
  RegQueryValueEx(key, "v", nullptr, nullptr, nullptr, &size);
  ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(registry.flushes, 0) << "only read";
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kSettings, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteValue(key, "v"), ERROR_SUCCESS);
  ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(registry.flushes, 1);
}

}  // namespace
}  // namespace platform
