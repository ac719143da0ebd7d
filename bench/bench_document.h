// Japanese text for the benchmarks: Shift-JIS paragraphs of mixed length
// (empty lines, short headings, middling and long paragraphs) made of
// kanji, hiragana and katakana in sentences with 、 and 。 and quotations
// in 「」. Punctuation that may not start a line is put where a line of
// the page would start, and 「 where one would end, so that the
// line-breaking rules have work to do. The same seed gives the same text.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace bench {

inline constexpr int32_t kCharsPerLine = 40;
inline constexpr int32_t kLinesPerPage = 40;

inline constexpr char kComma[] = "\x81\x41";       // 、
inline constexpr char kFullStop[] = "\x81\x42";    // 。
inline constexpr char kOpenQuote[] = "\x81\x75";   // 「
inline constexpr char kCloseQuote[] = "\x81\x76";  // 」
// Line-start-forbidden: 、。，．）」ー ゃ; line-end-forbidden: （「.
inline constexpr char kLineStartForbidden[] =
    "\x81\x41\x81\x42\x81\x43\x81\x44\x81\x6A\x81\x76\x81\x5B\x82\xE1";
inline constexpr char kLineEndForbidden[] = "\x81\x69\x81\x75";

struct BenchDocument {
  std::vector<std::string> paragraphs;  // each without its end
  int64_t characters = 0;               // paragraph ends included
  int64_t bytes = 0;                    // Shift-JIS, paragraph ends as one byte
};

class JapaneseTextMaker {
 public:
  explicit JapaneseTextMaker(uint32_t seed) : random_(seed) {}

  // Paragraphs until about `pages` pages of 40 lines of 40 characters.
  BenchDocument Make(int32_t pages) {
    BenchDocument document;
    const int64_t lines = static_cast<int64_t>(pages) * kLinesPerPage;
    int64_t used = 0;
    while (used < lines) {
      std::string paragraph = Paragraph(Pick(kLengths));
      const int64_t length = static_cast<int64_t>(paragraph.size() / 2);
      used += length == 0 ? 1 : (length + kCharsPerLine - 1) / kCharsPerLine;
      document.characters += length + 1;
      document.bytes += static_cast<int64_t>(paragraph.size()) + 1;
      document.paragraphs.push_back(std::move(paragraph));
    }
    return document;
  }

 private:
  struct LengthBand {
    int32_t weight;
    int32_t shortest;
    int32_t longest;
  };
  static constexpr LengthBand kLengths[] = {
      {1, 0, 0}, {3, 6, 20}, {6, 40, 160}, {4, 200, 520}, {1, 600, 1200},
  };

  template <size_t N>
  int32_t Pick(const LengthBand (&bands)[N]) {
    int32_t total = 0;
    for (const LengthBand& band : bands) total += band.weight;
    int32_t roll = Uniform(0, total - 1);
    for (const LengthBand& band : bands) {
      if (roll < band.weight) return Uniform(band.shortest, band.longest);
      roll -= band.weight;
    }
    return 0;
  }

  int32_t Uniform(int32_t low, int32_t high) {
    return std::uniform_int_distribution<int32_t>(low, high)(random_);
  }

  static void Put(std::string& text, uint8_t lead, uint8_t trail) {
    text.push_back(static_cast<char>(lead));
    text.push_back(static_cast<char>(trail));
  }

  // One double-byte letter: mostly kanji and hiragana, some katakana.
  void Letter(std::string& text) {
    const int32_t kind = Uniform(0, 9);
    if (kind < 4) {
      // Level-1 kanji rows 0x89-0x97 are full in both trail ranges.
      int32_t trail = Uniform(0x40, 0xFB);
      if (trail >= 0x7F) ++trail;
      Put(text, static_cast<uint8_t>(Uniform(0x89, 0x97)), static_cast<uint8_t>(trail));
    } else if (kind < 8) {
      Put(text, 0x82, static_cast<uint8_t>(Uniform(0x9F, 0xF1)));
    } else {
      int32_t trail = Uniform(0x40, 0x95);
      if (trail >= 0x7F) ++trail;
      Put(text, 0x83, static_cast<uint8_t>(trail));
    }
  }

  std::string Paragraph(int32_t length) {
    std::string text;
    int32_t sentenceLeft = Uniform(12, 48);
    int32_t sinceComma = 0;
    bool quoted = false;
    for (int32_t at = 0; at < length; ++at) {
      const int32_t column = at % kCharsPerLine;
      const bool last = at + 1 == length;
      if (last) {
        text += quoted ? kCloseQuote : kFullStop;
        break;
      }
      // A line of the page starts here: often a mark that may not.
      if (column == 0 && at > 0 && Uniform(0, 2) == 0) {
        const int32_t which = Uniform(0, 2);
        if (which == 2 && quoted) {
          text += kCloseQuote;
          quoted = false;
        } else {
          text += which == 0 ? kComma : kFullStop;
        }
        sinceComma = 0;
        continue;
      }
      // The last column: sometimes an opening quote that may not end a line.
      if (column == kCharsPerLine - 1 && !quoted && Uniform(0, 3) == 0) {
        text += kOpenQuote;
        quoted = true;
        continue;
      }
      if (--sentenceLeft <= 0) {
        text += quoted ? kCloseQuote : kFullStop;
        quoted = false;
        sentenceLeft = Uniform(12, 48);
        sinceComma = 0;
        continue;
      }
      if (sinceComma > 8 && Uniform(0, 11) == 0) {
        text += kComma;
        sinceComma = 0;
        continue;
      }
      if (!quoted && sentenceLeft > 10 && Uniform(0, 40) == 0) {
        text += kOpenQuote;
        quoted = true;
        continue;
      }
      Letter(text);
      ++sinceComma;
    }
    return text;
  }

  std::mt19937 random_;
};

}  // namespace bench
