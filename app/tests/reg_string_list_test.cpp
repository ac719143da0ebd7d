// History lists stored whole as one binary value, against bytes written
// by hand.
#include "app/reg_string_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app_fixture.h"

namespace {

using namespace apptest;
using namespace platform;

constexpr char kSettings[] = "Software\\ZNT\\Lexora3\\Settings";
using Bytes = std::vector<uint8_t>;

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

class RegStringListTest : public AppWorld {
 protected:
  CRegStringList List() { return CRegStringList("i_RecentFile", kSettings, HKEY_CURRENT_USER); }
  std::optional<RegistryBinary> Stored() {
    return Registry().ReadBinary(kUser, kSettings, "i_RecentFile");
  }
  void Store(const Bytes& image) {
    Registry().WriteBinary(kUser, kSettings, "i_RecentFile", image);
  }
  std::vector<std::string> Entries(const CRegStringList& list) {
    std::vector<std::string> entries;
    for (int i = 0; i < list.GetCount(); ++i) entries.push_back(list.GetAt(i).Bytes());
    return entries;
  }
};

TEST_F(RegStringListTest, AnEmptyListIsTwoZeroBytes) {
  CRegStringList list = List();
  EXPECT_EQ(list.Save(), 0);
  EXPECT_EQ(Stored(), (Bytes{0x00, 0x00}));
}

TEST_F(RegStringListTest, EntriesAreStoredHeadFirstWithTheirLengths) {
  CRegStringList list = List();
  list.AddTail("C:\\a.lxc");
  list.AddTail("\x95\x5C");  // 表
  list.AddTail("");
  ASSERT_EQ(list.Save(), 0);
  EXPECT_EQ(Stored(),
            Concat({{0x03, 0x00}, {0x08}, Text("C:\\a.lxc"), {0x02, 0x95, 0x5C}, {0x00}}));
}

TEST_F(RegStringListTest, LengthsFromTwoHundredAndFiftyFiveOnTakeThreeBytes) {
  struct Case {
    size_t length;
    Bytes prefix;
  };
  for (const Case& c : {Case{254, {0xFE}}, Case{255, {0xFF, 0xFF, 0x00}},
                        Case{300, {0xFF, 0x2C, 0x01}}, Case{0xFFFD, {0xFF, 0xFD, 0xFF}},
                        Case{0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}}}) {
    CRegStringList list = List();
    const std::string entry(c.length, 'x');
    list.AddTail(entry.c_str());
    ASSERT_EQ(list.Save(), 0);
    EXPECT_EQ(Stored(), Concat({{0x01, 0x00}, c.prefix, Text(entry)})) << c.length;
    CRegStringList loaded = List();
    EXPECT_EQ(loaded.Load(), 0) << c.length;
    EXPECT_EQ(Entries(loaded), (std::vector<std::string>{entry})) << c.length;
  }
}

TEST_F(RegStringListTest, LoadingAppendsAndKeepsWhatWasReadBeforeAFault) {
  Store(Concat({{0x02, 0x00}, {0x01}, Text("a"), {0x02}, Text("bc")}));
  CRegStringList list = List();
  list.AddTail("old");
  EXPECT_EQ(list.Load(), 0);
  EXPECT_EQ(Entries(list), (std::vector<std::string>{"old", "a", "bc"}));

  Store(Concat({{0x03, 0x00}, {0x01}, Text("a"), {0x05}, Text("bc")}));
  CRegStringList truncated = List();
  EXPECT_EQ(truncated.Load(), -1);
  EXPECT_EQ(Entries(truncated), (std::vector<std::string>{"a"}));

  Store(Concat({{0x02, 0x00}, {0x01}, Text("a"), {0xFF, 0xFE, 0xFF}, Text("bc")}));
  CRegStringList damaged = List();
  EXPECT_EQ(damaged.Load(), -1) << "a 16-bit length of 0xFFFE is damage";
  EXPECT_EQ(Entries(damaged), (std::vector<std::string>{"a"}));

  Store(Bytes{0x05});
  CRegStringList cut = List();
  EXPECT_EQ(cut.Load(), -1) << "no whole count";
  EXPECT_EQ(cut.GetCount(), 0);
}

TEST_F(RegStringListTest, AValueOfAnotherTypeOrNoneCountsAsMissing) {
  CRegStringList absent = List();
  EXPECT_EQ(absent.Load(), -1) << "no key";
  EXPECT_TRUE(absent.IsEmpty());
  Registry().WriteString(kUser, kSettings, "i_RecentFile", "a");
  CRegStringList text = List();
  text.AddTail("kept");
  EXPECT_EQ(text.Load(), -1);
  EXPECT_EQ(Entries(text), (std::vector<std::string>{"kept"}));
  Store(Bytes{});
  CRegStringList empty = List();
  EXPECT_EQ(empty.Load(), -1) << "zero length";
}

TEST_F(RegStringListTest, AddingPutsTheTextAtTheHeadOnceWhateverItsCase) {
  CRegStringList list = List();
  list.AddTail("x");
  list.AddTail("c:\\doc\\A.LXC");
  list.AddTail("C:\\DOC\\a.lxc");
  list.AddUniqueHead("C:\\Doc\\a.lxc");
  EXPECT_EQ(Entries(list), (std::vector<std::string>{"C:\\Doc\\a.lxc", "x", "C:\\DOC\\a.lxc"}))
      << "only the first equal entry goes";
  list.AddUniqueHead("");
  list.AddUniqueHead(nullptr);
  EXPECT_EQ(list.GetCount(), 3);
  // Full-width letters are no ASCII letters: "Ａ" (82 60) and "ａ" (82 81) differ.
  list.AddUniqueHead("\x82\x60");
  list.AddUniqueHead("\x82\x81");
  EXPECT_EQ(list.GetCount(), 5);
}

TEST_F(RegStringListTest, RemovingMatchesCaseAndTrimmingDropsTheTail) {
  CRegStringList list = List();
  for (int i = 0; i < 20; ++i) list.AddTail(std::to_string(i).c_str());
  list.TrimToCount(16);
  EXPECT_EQ(list.GetCount(), 16);
  EXPECT_EQ(list.GetAt(0), "0");
  EXPECT_EQ(list.GetAt(15), "15");
  EXPECT_EQ(list.GetAt(16), "") << "out of range";
  EXPECT_EQ(list.GetAt(-1), "");
  list.TrimToCount(-3);
  EXPECT_TRUE(list.IsEmpty());

  list.AddTail("Abc");
  list.RemoveEntry("abc");
  EXPECT_EQ(list.GetCount(), 1) << "case-sensitive";
  list.RemoveEntry("");
  list.RemoveEntry(nullptr);
  list.RemoveEntry("Abc");
  EXPECT_TRUE(list.IsEmpty());
}

TEST_F(RegStringListTest, TheTypicalUseAddsTrimsAndSavesAtOnce) {
  for (int i = 0; i < 18; ++i) {
    CRegStringList list = List();
    list.Load();
    list.AddUniqueHead(("C:\\f" + std::to_string(i) + ".lxc").c_str());
    list.TrimToCount(16);
    ASSERT_EQ(list.Save(), 0);
  }
  CRegStringList list = List();
  ASSERT_EQ(list.Load(), 0);
  EXPECT_EQ(list.GetCount(), 16);
  EXPECT_EQ(list.GetAt(0), "C:\\f17.lxc");
  EXPECT_EQ(list.GetAt(15), "C:\\f2.lxc");
}

TEST_F(RegStringListTest, ARefusedKeyIsReportedAndNothingIsStored) {
  ScopedRegistryRefusal refusal(HKEY_CURRENT_USER, "Software", KEY_SET_VALUE);
  CRegStringList list = List();
  list.AddTail("a");
  EXPECT_EQ(list.Save(), -1);
  EXPECT_FALSE(Stored());
}

}  // namespace
