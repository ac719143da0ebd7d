#include "platform/registry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace platform {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr RegistryHive kUser = RegistryHive::kCurrentUser;
constexpr RegistryHive kMachine = RegistryHive::kLocalMachine;
constexpr char kSettings[] = "Software\\ZNT\\Lexora3\\Settings";
// "表" ends in the byte of a backslash: 95 5C.
constexpr char kTableKey[] = "Software\\\x95\x5C";

TEST(RegistryTest, AKeyIsMadeWithItsParentsOnlyWhenAskedTo) {
  MemoryRegistry registry;
  EXPECT_FALSE(registry.OpenKey(kUser, kSettings, false));
  EXPECT_TRUE(registry.OpenKey(kUser, kSettings, true));
  EXPECT_TRUE(registry.OpenKey(kUser, "software\\znt", false));
  EXPECT_TRUE(registry.OpenKey(kUser, "", false)) << "the root of the hive";
  EXPECT_FALSE(registry.OpenKey(kMachine, kSettings, false)) << "each hive is its own";
  EXPECT_THAT(registry.EnumKeys(kUser, "SOFTWARE\\ZNT"), ElementsAre("Lexora3"));
}

TEST(RegistryTest, ValuesAreFoundIgnoringCaseAndOnlyAsTheTypeTheyHave) {
  MemoryRegistry registry;
  ASSERT_TRUE(registry.WriteString(kUser, kSettings, "TemplateDir", "C:\\Lexora\\"));
  ASSERT_TRUE(registry.WriteDword(kUser, kSettings, "i_RecentFileMax", 16));
  EXPECT_EQ(registry.ReadString(kUser, "software\\znt\\lexora3\\settings", "templatedir"),
            "C:\\Lexora\\");
  EXPECT_EQ(registry.ReadDword(kUser, kSettings, "I_RECENTFILEMAX"), 16u);
  EXPECT_EQ(registry.ReadDword(kUser, kSettings, "TemplateDir"), std::nullopt);
  EXPECT_EQ(registry.ReadString(kUser, kSettings, "i_RecentFileMax"), std::nullopt);
  EXPECT_EQ(registry.ReadString(kUser, kSettings, "Missing"), std::nullopt);
  EXPECT_EQ(registry.ReadString(kUser, "Software\\Missing", "TemplateDir"), std::nullopt);

  // A value written again under another spelling keeps its first name and
  // may change its type.
  ASSERT_TRUE(registry.WriteDword(kUser, kSettings, "TEMPLATEDIR", 3));
  EXPECT_EQ(registry.ReadDword(kUser, kSettings, "TemplateDir"), 3u);
  EXPECT_THAT(registry.EnumValues(kUser, kSettings), ElementsAre("TemplateDir", "i_RecentFileMax"));
}

TEST(RegistryTest, NamesAreSplitAndFoldedOnlyAtCharacterBoundaries) {
  MemoryRegistry registry;
  ASSERT_TRUE(registry.WriteString(kUser, kTableKey, "\x83\x5C", "x"));  // "ソ"
  EXPECT_THAT(registry.EnumKeys(kUser, "Software"), ElementsAre("\x95\x5C"));
  EXPECT_EQ(registry.ReadString(kUser, kTableKey, "\x83\x5C"), "x");
  // 83 41 and 83 61 are two different katakana; folding their trail
  // bytes as ASCII letters would make them one.
  ASSERT_TRUE(registry.WriteDword(kUser, kTableKey, "\x83\x41", 1));
  EXPECT_EQ(registry.ReadDword(kUser, kTableKey, "\x83\x61"), std::nullopt);
  EXPECT_EQ(registry.ReadDword(kUser, kTableKey, "\x83\x41"), 1u);
  EXPECT_THAT(registry.EnumKeys(kUser, kTableKey), IsEmpty()) << "95 5C did not split the path";
}

TEST(RegistryTest, EmptyPartsOfAPathNameNothing) {
  MemoryRegistry registry;
  ASSERT_TRUE(registry.WriteDword(kUser, "\\Software\\\\ZNT\\", "v", 1));
  EXPECT_EQ(registry.ReadDword(kUser, "Software\\ZNT", "v"), 1u);
  EXPECT_THAT(registry.EnumKeys(kUser, ""), ElementsAre("Software"));
}

TEST(RegistryTest, KeysAndValuesAreListedInTheOrderMade) {
  MemoryRegistry registry;
  for (const char* name : {"Zeta", "Alpha", "Mid"})
    registry.OpenKey(kUser, std::string("A\\") + name, true);
  for (const char* name : {"z", "a"}) registry.WriteString(kUser, "A", name, "");
  EXPECT_THAT(registry.EnumKeys(kUser, "A"), ElementsAre("Zeta", "Alpha", "Mid"));
  EXPECT_THAT(registry.EnumValues(kUser, "A"), ElementsAre("z", "a"));
  EXPECT_THAT(registry.EnumKeys(kUser, "Missing"), IsEmpty());
  EXPECT_THAT(registry.EnumValues(kUser, "Missing"), IsEmpty());
}

TEST(RegistryTest, TheProcessRegistryIsReplacedForAScope) {
  MemoryRegistry mine;
  {
    ScopedRegistry scope(mine);
    EXPECT_EQ(&CurrentRegistry(), &mine);
    CurrentRegistry().WriteDword(kUser, "Scoped", "v", 1);
  }
  EXPECT_NE(&CurrentRegistry(), &mine);
  EXPECT_EQ(CurrentRegistry().ReadDword(kUser, "Scoped", "v"), std::nullopt);
  EXPECT_EQ(mine.ReadDword(kUser, "Scoped", "v"), 1u);
}

TEST(RegistryTest, BinaryValuesKeepEveryByteAndDeletionsTakeTheirSubtree) {
  MemoryRegistry registry;
  const RegistryBinary bytes{0x00, 0xFF, 0x2C, 0x01, 0x00};
  ASSERT_TRUE(registry.WriteBinary(kUser, kSettings, "i_RecentFile", bytes));
  EXPECT_EQ(registry.ReadBinary(kUser, kSettings, "I_RECENTFILE"), bytes);
  EXPECT_EQ(registry.ReadString(kUser, kSettings, "i_RecentFile"), std::nullopt);

  EXPECT_TRUE(registry.DeleteValue(kUser, kSettings, "i_recentfile"));
  EXPECT_FALSE(registry.DeleteValue(kUser, kSettings, "i_RecentFile")) << "already gone";
  ASSERT_TRUE(registry.WriteDword(kUser, kSettings, "v", 1));
  EXPECT_TRUE(registry.DeleteKey(kUser, "software\\ZNT"));
  EXPECT_FALSE(registry.OpenKey(kUser, kSettings, false));
  EXPECT_TRUE(registry.OpenKey(kUser, "Software", false)) << "the parent stays";
  EXPECT_FALSE(registry.DeleteKey(kUser, "Software\\ZNT"));
  EXPECT_FALSE(registry.DeleteKey(kUser, "")) << "the root of a hive stays";
}

TEST(RegistryTest, AReadOnlyMachineHiveChangesNothing) {
  MemoryRegistry registry;
  ASSERT_TRUE(registry.WriteDword(kMachine, kSettings, "v", 1));
  registry.SetMachineReadOnly(true);
  EXPECT_FALSE(registry.IsWritable(kMachine));
  EXPECT_TRUE(registry.IsWritable(kUser));
  EXPECT_FALSE(registry.WriteDword(kMachine, kSettings, "v", 2));
  EXPECT_FALSE(registry.OpenKey(kMachine, "Software\\New", true));
  EXPECT_FALSE(registry.DeleteValue(kMachine, kSettings, "v"));
  EXPECT_FALSE(registry.DeleteKey(kMachine, kSettings));
  EXPECT_EQ(registry.ReadDword(kMachine, kSettings, "v"), 1u);
}

}  // namespace
}  // namespace platform
