// A reader of RTF documents into runs of CP932 text with their character
// formats and the page style the document states. Code pages follow
// \ansicpg and each font's \fcharset; \'hh bytes of a CP932 font are kept
// as they are, \uN characters are converted to CP932.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace converters::rtf {

inline constexpr int kDefaultHalfPoints = 24;  // RTF's default font size, 12 pt

struct CharFormat {
  std::string face;  // empty: the document's body font
  int halfPoints = kDefaultHalfPoints;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  std::optional<uint32_t> color;  // COLORREF; none: the automatic colour
  bool operator==(const CharFormat&) const = default;
};

struct Run {
  std::string text;  // CP932; paragraphs end in "\r\n", pages in "\f"
  CharFormat format;
};

// Page sizes in twips, as RTF states them; none when not stated.
struct PageStyle {
  std::optional<int> paperWidth;
  std::optional<int> paperHeight;
  std::optional<int> marginLeft;
  std::optional<int> marginRight;
  std::optional<int> marginTop;
  std::optional<int> marginBottom;
  bool landscape = false;
};

struct Document {
  std::vector<Run> runs;
  PageStyle page;
};

inline constexpr char kParagraphEnd[] = "\r\n";
inline constexpr char kPageBreak = '\f';

// None when the bytes are not an RTF document or are damaged (unbalanced
// groups, nesting beyond any real document's).
std::optional<Document> Read(std::string_view bytes);

}  // namespace converters::rtf
