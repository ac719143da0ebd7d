#include "framework/cstring.h"

#include <gtest/gtest.h>

#include "framework/cstring_list.h"

namespace framework {
namespace {

// "表" and "ソ" end in 0x5C, the backslash; "ポ" ends in 0x7C, the bar.
constexpr char kHyou[] = "\x95\x5C";
constexpr char kSo[] = "\x83\x5C";
constexpr char kPo[] = "\x83\x7C";

TEST(CStringTest, SearchesNeverMatchATrailByte) {
  const CString folder = CString("C:\\") + kHyou;  // a folder that ends in "表"
  EXPECT_EQ(folder.ReverseFind('\\'), 2);
  EXPECT_EQ(folder.Find('\\', 3), CString::kNotFound);

  const CString filter = CString(kPo) + "|*.txt|" + kSo + "||";
  EXPECT_EQ(filter.Find('|'), 2);
  EXPECT_EQ(filter.FindOneOf("|\\"), 2);
  EXPECT_EQ(filter.Find("\x5C|"), CString::kNotFound);
  EXPECT_EQ(filter.Find(kSo), 9);
  EXPECT_EQ(filter.Find('|', 3), 8);
}

TEST(CStringTest, CaseChangesTouchOnlySingleByteLetters) {
  // "ａ" is 82 81; its trail byte must not be folded, nor 0x5C's neighbours.
  CString text = CString("ab\x82\x81") + kSo + "z";
  text.MakeUpper();
  EXPECT_EQ(text.Bytes(), std::string("AB\x82\x81") + kSo + "Z");
  // 0x61 ('a') as a trail byte: "ヂ" is 83 61.
  CString trail(
      "\x83\x61"
      "a");
  trail.MakeUpper();
  EXPECT_EQ(trail.Bytes(),
            "\x83\x61"
            "A");
  trail.MakeLower();
  EXPECT_EQ(trail.Bytes(),
            "\x83\x61"
            "a");
  EXPECT_EQ(CString(".LXC").CompareNoCase(".lxc"), 0);
  EXPECT_LT(CString("abc").Compare("abd"), 0);
}

TEST(CStringTest, CutsAndTrimsClampToTheText) {
  const CString text("abcdef");
  struct Cut {
    CString got;
    const char* want;
  };
  for (const Cut& cut :
       {Cut{text.Left(2), "ab"}, Cut{text.Left(99), "abcdef"}, Cut{text.Left(-1), ""},
        Cut{text.Mid(4), "ef"}, Cut{text.Mid(1, 3), "bcd"}, Cut{text.Mid(9, 2), ""},
        Cut{text.Right(2), "ef"}, Cut{text.Right(9), "abcdef"}}) {
    EXPECT_EQ(cut.got, cut.want);
  }
  CString padded(" \t x y \r\n");
  EXPECT_EQ(padded.Trim(), "x y");
}

TEST(CStringTest, ReplaceMatchesAtCharacterBoundariesOnly) {
  CString path = CString(kHyou) + "\\a\\";
  EXPECT_EQ(path.Replace("\\", "/"), 2);
  EXPECT_EQ(path.Bytes(), std::string(kHyou) + "/a/");
}

TEST(CStringTest, FormatTakesCp932Arguments) {
  CString text;
  text.Format("%s %d", kHyou, 42);
  EXPECT_EQ(text.Bytes(), std::string(kHyou) + " 42");
}

TEST(CStringTest, FormatMessageInsertsByNumberAndSpec) {
  struct Case {
    const char* format;
    std::initializer_list<CString::MessageArg> args;
    std::string want;
  };
  const std::string name = std::string("a") + kSo + ".lxc";
  const Case cases[] = {
      {"%1!s! x", {std::string_view(name)}, name + " x"},
      {"(%1!d!)", {int64_t{-12}}, "(-12)"},
      {"V %1!d!.%2!d!%3!d!", {int64_t{3}, int64_t{0}, int64_t{5}}, "V 3.05"},
      {"%2 %1", {std::string_view("b"), std::string_view("a")}, "a b"},
      {"100%% %n.", {}, "100% \r\n."},
      {"end%0ignored", {}, "end"},
      {"%3!s!", {std::string_view("x")}, "%3!s!"},  // missing argument stays as written
      {"%1!d!", {std::string_view("x")}, "%1!d!"},  // a text cannot fill a number
      {"%1!5s!|", {std::string_view("ab")}, "   ab|"},
  };
  for (const Case& c : cases) {
    CString text;
    text.FormatMessage(c.format, c.args);
    EXPECT_EQ(text.Bytes(), c.want) << c.format;
  }
  // A percent sign as the trail byte of a double-byte character is not an insert:
  // "%" is 0x25, never a trail byte, but 0x81 0x93 ("％") must pass whole.
  CString wide;
  wide.FormatMessage(
      "\x81\x93"
      "1",
      {std::string_view("x")});
  EXPECT_EQ(wide.Bytes(),
            "\x81\x93"
            "1");
}

TEST(CStringListTest, KeepsOrderAndWalksByPosition) {
  CStringList list;
  list.AddTail("b");
  list.AddHead("a");
  const POSITION c = list.AddTail("c");
  list.InsertBefore(c, "bb");
  std::string walked;
  for (POSITION at = list.GetHeadPosition(); at != nullptr;) walked += list.GetNext(at).Bytes();
  EXPECT_EQ(walked, "abbbc");
  EXPECT_EQ(list.GetCount(), 4);
  EXPECT_EQ(list.Find("bb"), list.FindIndex(2));
  EXPECT_EQ(list.Find("a", list.GetHeadPosition()), nullptr);
  list.RemoveAt(list.FindIndex(1));
  EXPECT_EQ(list.RemoveHead(), "a");
  EXPECT_EQ(list.RemoveTail(), "c");
  EXPECT_EQ(list.GetHead(), "bb");
  list.RemoveAll();
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.GetHeadPosition(), nullptr);
  EXPECT_EQ(list.FindIndex(0), nullptr);
}

}  // namespace
}  // namespace framework
