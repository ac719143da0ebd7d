// Long generated Japanese text for the series that edit real-sized
// documents: Shift-JIS paragraphs, most of them many lines long, of
// kanji, hiragana and katakana with dense punctuation (、。「」（）), so
// that the line-breaking rules act on most lines. The same seed gives the
// same text anywhere: it draws from the series' own generator.
#pragma once

#include <cstdint>
#include <string>

#include "series_generator.h"

namespace doc_root_test {

inline constexpr char kComma[] = "\x81\x41";       // 、
inline constexpr char kFullStop[] = "\x81\x42";    // 。
inline constexpr char kOpenQuote[] = "\x81\x75";   // 「
inline constexpr char kCloseQuote[] = "\x81\x76";  // 」
inline constexpr char kOpenParen[] = "\x81\x69";   // （
inline constexpr char kCloseParen[] = "\x81\x6A";  // ）

class LongJapaneseText {
 public:
  explicit LongJapaneseText(uint32_t seed) : series_(seed) {}

  // Paragraphs ended by CR, as typed, about `characters` double-byte
  // characters in all.
  std::string Make(uint32_t characters) {
    std::string text;
    uint32_t made = 0;
    while (made < characters) {
      const uint32_t length = ParagraphLength();
      Paragraph(text, length);
      text += '\r';
      made += length + 1;
    }
    return text;
  }

 private:
  static constexpr uint32_t kShortParagraph = 30;
  static constexpr uint32_t kLongParagraph = 1200;
  static constexpr uint32_t kLongOdds = 4;  // one short paragraph in four

  uint32_t ParagraphLength() {
    if (series_.Next(kLongOdds) == 0) return series_.Next(kShortParagraph);
    return kShortParagraph + series_.Next(kLongParagraph - kShortParagraph);
  }

  static void Put(std::string& text, uint32_t lead, uint32_t trail) {
    text.push_back(static_cast<char>(lead));
    text.push_back(static_cast<char>(trail));
  }

  // One double-byte letter: kanji and hiragana, some katakana.
  void Letter(std::string& text) {
    static constexpr uint32_t kKanjiRows = 0x97 - 0x89 + 1;
    static constexpr uint32_t kTrails = 0xFC - 0x40 - 1;  // 0x7F is no trail byte
    static constexpr uint32_t kHiragana = 0xF1 - 0x9F + 1;
    static constexpr uint32_t kKatakana = 0x96 - 0x40 - 1;
    const auto skipDelete = [](uint32_t trail) { return trail >= 0x7F ? trail + 1 : trail; };
    switch (series_.Next(5)) {
      case 0:
      case 1:
        Put(text, 0x89 + series_.Next(kKanjiRows), skipDelete(0x40 + series_.Next(kTrails)));
        break;
      case 2:
      case 3:
        Put(text, 0x82, 0x9F + series_.Next(kHiragana));
        break;
      default:
        Put(text, 0x83, skipDelete(0x40 + series_.Next(kKatakana)));
        break;
    }
  }

  // A mark every few letters: a comma or full stop most often, a pair of
  // quotes or brackets opened, and closed again a few letters later.
  void Paragraph(std::string& text, uint32_t length) {
    const char* closing = nullptr;
    for (uint32_t at = 0; at < length; ++at) {
      if (series_.Next(3) != 0) {
        Letter(text);
        continue;
      }
      switch (series_.Next(6)) {
        case 0:
        case 1:
          text += kComma;
          break;
        case 2:
          text += kFullStop;
          break;
        case 3:
          if (closing != nullptr) {
            text += closing;
            closing = nullptr;
          } else {
            Letter(text);
          }
          break;
        case 4:
          text += closing == nullptr ? kOpenQuote : kComma;
          if (closing == nullptr) closing = kCloseQuote;
          break;
        default:
          text += closing == nullptr ? kOpenParen : kFullStop;
          if (closing == nullptr) closing = kCloseParen;
          break;
      }
    }
  }

  Series series_;
};

}  // namespace doc_root_test
