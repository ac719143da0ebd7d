#include "model/line_composer.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "model/page_format.h"
#include "model/text_formats.h"
#include "model/text_store.h"
#include "platform/sjis.h"

namespace {

constexpr uint16_t kCodeLineFeed = 10;
// A last cell that is a form feed, CR or end mark keeps only its low byte.
constexpr uint16_t kFoldedEndOfText = 0xFF;
// Cells read past twice the line width: the cell that would begin the next
// line and a line-end mark after it.
constexpr int kCellsPastEnough = 2;
// Lead bytes of the character lists, which accept 0xE0-0xFF.
constexpr platform::LeadByteRange kListLeadBytes{0xE0, 0xFF};

bool IsLineEndMarkCode(uint16_t code) {
  return code == kCodeLineFeed || code == kCodePageBreak || code == kCodeParagraphEnd ||
         code == kFoldedEndOfText || code == kCodeCrLf;
}

bool TakesNoBaseWidth(uint16_t code) {
  return code == kCodePageBreak || code == kCodeParagraphEnd || code == kCodeEndOfText ||
         code == kCodeLineFeed;
}

struct FoldEntry {
  uint16_t code;
  const char* folded;
};

// Double-byte characters and their folded forms.
constexpr FoldEntry kDoubleByteFolds[] = {
    // Hiragana to half-width katakana (voiced ones with the sound mark).
    {0x829F, "\xA7"},
    {0x82A0, "\xB1"},
    {0x82A1, "\xA8"},
    {0x82A2, "\xB2"},
    {0x82A3, "\xA9"},
    {0x82A4, "\xB3"},
    {0x82A5, "\xAA"},
    {0x82A6, "\xB4"},
    {0x82A7, "\xAB"},
    {0x82A8, "\xB5"},
    {0x82A9, "\xB6"},
    {0x82AA, "\xB6\xDE"},
    {0x82AB, "\xB7"},
    {0x82AC, "\xB7\xDE"},
    {0x82AD, "\xB8"},
    {0x82AE, "\xB8\xDE"},
    {0x82AF, "\xB9"},
    {0x82B0, "\xB9\xDE"},
    {0x82B1, "\xBA"},
    {0x82B2, "\xBA\xDE"},
    {0x82B3, "\xBB"},
    {0x82B4, "\xBB\xDE"},
    {0x82B5, "\xBC"},
    {0x82B6, "\xBC\xDE"},
    {0x82B7, "\xBD"},
    {0x82B8, "\xBD\xDE"},
    {0x82B9, "\xBE"},
    {0x82BA, "\xBE\xDE"},
    {0x82BB, "\xBF"},
    {0x82BC, "\xBF\xDE"},
    {0x82BD, "\xC0"},
    {0x82BE, "\xC0\xDE"},
    {0x82BF, "\xC1"},
    {0x82C0, "\xC1\xDE"},
    {0x82C1, "\xAF"},
    {0x82C2, "\xC2"},
    {0x82C3, "\xC2\xDE"},
    {0x82C4, "\xC3"},
    {0x82C5, "\xC3\xDE"},
    {0x82C6, "\xC4"},
    {0x82C7, "\xC4\xDE"},
    {0x82C8, "\xC5"},
    {0x82C9, "\xC6"},
    {0x82CA, "\xC7"},
    {0x82CB, "\xC8"},
    {0x82CC, "\xC9"},
    {0x82CD, "\xCA"},
    {0x82CE, "\xCA\xDE"},
    {0x82CF, "\xCA\xDF"},
    {0x82D0, "\xCB"},
    {0x82D1, "\xCB\xDE"},
    {0x82D2, "\xCB\xDF"},
    {0x82D3, "\xCC"},
    {0x82D4, "\xCC\xDE"},
    {0x82D5, "\xCC\xDF"},
    {0x82D6, "\xCD"},
    {0x82D7, "\xCD\xDE"},
    {0x82D8, "\xCD\xDF"},
    {0x82D9, "\xCE"},
    {0x82DA, "\xCE\xDE"},
    {0x82DB, "\xCE\xDF"},
    {0x82DC, "\xCF"},
    {0x82DD, "\xD0"},
    {0x82DE, "\xD1"},
    {0x82DF, "\xD2"},
    {0x82E0, "\xD3"},
    {0x82E1, "\xAC"},
    {0x82E2, "\xD4"},
    {0x82E3, "\xAD"},
    {0x82E4, "\xD5"},
    {0x82E5, "\xAE"},
    {0x82E6, "\xD6"},
    {0x82E7, "\xD7"},
    {0x82E8, "\xD8"},
    {0x82E9, "\xD9"},
    {0x82EA, "\xDA"},
    {0x82EB, "\xDB"},
    {0x82EC, "\xDC"},
    {0x82ED, "\xDC"},
    {0x82EE, "\xB2"},
    {0x82EF, "\xB4"},
    {0x82F0, "\xA6"},
    {0x82F1, "\xDD"},
    // Katakana the hiragana block does not cover.
    {0x8394, "\xB3\xDE"},
    {0x8395, "\xB6"},
    {0x8396, "\xB9"},
    // Full-width digits and small letters.
    {0x824F, "0"},
    {0x8250, "1"},
    {0x8251, "2"},
    {0x8252, "3"},
    {0x8253, "4"},
    {0x8254, "5"},
    {0x8255, "6"},
    {0x8256, "7"},
    {0x8257, "8"},
    {0x8258, "9"},
    {0x8281, "a"},
    {0x8282, "b"},
    {0x8283, "c"},
    {0x8284, "d"},
    {0x8285, "e"},
    {0x8286, "f"},
    {0x8287, "g"},
    {0x8288, "h"},
    {0x8289, "i"},
    {0x828A, "j"},
    {0x828B, "k"},
    {0x828C, "l"},
    {0x828D, "m"},
    {0x828E, "n"},
    {0x828F, "o"},
    {0x8290, "p"},
    {0x8291, "q"},
    {0x8292, "r"},
    {0x8293, "s"},
    {0x8294, "t"},
    {0x8295, "u"},
    {0x8296, "v"},
    {0x8297, "w"},
    {0x8298, "x"},
    {0x8299, "y"},
    {0x829A, "z"},
    // Space and punctuation.
    {0x8140, " "},
    {0x8141, "\xA4"},
    {0x8142, "\xA1"},
    {0x8143, ","},
    {0x8144, "."},
    {0x8145, "\xA5"},
    {0x8146, ":"},
    {0x8147, ":"},
    {0x8148, "?"},
    {0x8149, "!"},
    {0x814A, "\xDE"},
    {0x814B, "\xDF"},
    {0x814F, "^"},
    {0x8150, "~"},
    {0x8151, "_"},
    {0x815B, "-"},
    {0x815C, "-"},
    {0x815D, "-"},
    {0x815E, "/"},
    {0x8160, "-"},
    {0x8161, "|"},
    {0x8162, "|"},
    {0x8165, "\""},
    {0x8166, "\""},
    {0x8167, "\""},
    {0x8168, "\""},
    {0x8169, "("},
    {0x816A, ")"},
    {0x816B, "("},
    {0x816C, ")"},
    {0x816D, "("},
    {0x816E, ")"},
    {0x816F, "("},
    {0x8170, ")"},
    {0x8171, "("},
    {0x8172, ")"},
    {0x8173, "("},
    {0x8174, ")"},
    {0x8175, "("},
    {0x8176, ")"},
    {0x8177, "("},
    {0x8178, ")"},
    {0x8179, "("},
    {0x817A, ")"},
    {0x817B, "+"},
    {0x817C, "-"},
    {0x8181, "="},
    {0x8183, "<"},
    {0x8184, ">"},
    {0x818F, "\\"},
    {0x8190, "$"},
    {0x8193, "%"},
    {0x8194, "#"},
    {0x8195, "&"},
    {0x8196, "*"},
    {0x8197, "@"},
};
static_assert(std::size(kDoubleByteFolds) == 178);

constexpr uint16_t kFullWidthUpperFirst = 0x8260;
constexpr uint16_t kFullWidthUpperLast = 0x8279;
constexpr uint16_t kFullWidthCaseStep = 33;
constexpr uint16_t kKatakanaFirst = 0x8340;
constexpr uint16_t kKatakanaBeforeGap = 0x837F;
constexpr uint16_t kKatakanaAfterGap = 0x8380;
constexpr uint16_t kKatakanaLast = 0x8393;
constexpr uint16_t kKatakanaToHiraganaLow = 161;
constexpr uint16_t kKatakanaToHiraganaHigh = 162;
constexpr uint16_t kLastFoldedDoubleByte = 0x8396;
constexpr uint16_t kFirstFoldedDoubleByte = 0x8140;

// The fold entry of a double-byte code, found through an index built
// once: kana, the bulk of Japanese text, sit far down the table.
const FoldEntry* FindDoubleByteFold(uint16_t code) {
  using Index = std::array<int16_t, kLastFoldedDoubleByte - kFirstFoldedDoubleByte + 1>;
  static const Index index = [] {
    Index built;
    built.fill(-1);
    for (size_t i = std::size(kDoubleByteFolds); i-- > 0;) {
      built[kDoubleByteFolds[i].code - kFirstFoldedDoubleByte] = static_cast<int16_t>(i);
    }
    return built;
  }();
  if (code < kFirstFoldedDoubleByte || code > kLastFoldedDoubleByte) return nullptr;
  const int16_t at = index[code - kFirstFoldedDoubleByte];
  return at < 0 ? nullptr : &kDoubleByteFolds[at];
}

char FoldSingleByte(char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
  switch (static_cast<unsigned char>(c)) {
    case ';':
      return ':';
    case 0xB0:
      return '-';
    case '\'':
      return '"';
    case '[':
    case '{':
    case 0xA2:
      return '(';
    case ']':
    case '}':
    case 0xA3:
      return ')';
    default:
      return c;
  }
}

void WriteCode(uint16_t code, char out[2]) {
  if (code > 0xFF) {
    out[0] = static_cast<char>(code >> 8);
    out[1] = static_cast<char>(code & 0xFF);
  } else {
    out[0] = static_cast<char>(code);
    out[1] = '\0';
  }
}

// Calls `visit` with the code of each character of a list until it
// answers true; answers whether one did.
template <typename Visit>
bool AnyListCode(const char* list, Visit visit) {
  if (list == nullptr) return false;
  for (const char* at = list; *at != '\0';) {
    const auto lead = static_cast<uint8_t>(at[0]);
    if (at[1] != '\0' && platform::IsLeadByte(lead, kListLeadBytes)) {
      if (visit(platform::CharCode(lead, static_cast<uint8_t>(at[1])))) return true;
      at += 2;
    } else {
      if (visit(uint16_t{lead})) return true;
      ++at;
    }
  }
  return false;
}

std::vector<uint16_t> ListCodes(const char* list) {
  std::vector<uint16_t> codes;
  AnyListCode(list, [&codes](uint16_t code) {
    codes.push_back(code);
    return false;
  });
  return codes;
}

bool Contains(const std::vector<uint16_t>& codes, uint16_t code) {
  return std::find(codes.begin(), codes.end(), code) != codes.end();
}

}  // namespace

CKinsokuClassifier::CKinsokuClassifier(const char* startList, const char* endList)
    : startCodes_(ListCodes(startList)), endCodes_(ListCodes(endList)) {}

uint8_t CKinsokuClassifier::ClassOf(uint16_t code) const {
  if (Contains(startCodes_, code)) return kBreakNotAtLineStart;
  if (Contains(endCodes_, code)) return kBreakNotAtLineEnd;
  return kBreakAny;
}

int CLineComposer::IsInCharList(uint16_t code, const char* list) {
  return AnyListCode(list, [code](uint16_t listed) { return listed == code; }) ? 1 : 0;
}

uint8_t CLineComposer::KinsokuClass(uint16_t code, const char* startList, const char* endList) {
  if (IsInCharList(code, startList) != 0) return kBreakNotAtLineStart;
  if (IsInCharList(code, endList) != 0) return kBreakNotAtLineEnd;
  return kBreakAny;
}

int CLineComposer::FoldChar(uint16_t code, char out[2]) {
  if (code <= 0xFF) {
    const char folded = FoldSingleByte(static_cast<char>(code));
    out[0] = folded;
    out[1] = '\0';
    return folded != static_cast<char>(code) ? 1 : 0;
  }
  uint16_t c = code;
  if (c > kLastFoldedDoubleByte) {
    WriteCode(code, out);
    return 0;
  }
  if (c >= kFullWidthUpperFirst && c <= kFullWidthUpperLast) c += kFullWidthCaseStep;
  if (c >= kKatakanaFirst && c <= kKatakanaBeforeGap) c -= kKatakanaToHiraganaLow;
  if (c >= kKatakanaAfterGap && c <= kKatakanaLast) c -= kKatakanaToHiraganaHigh;
  if (const FoldEntry* entry = FindDoubleByteFold(c); entry != nullptr) {
    const std::string_view folded(entry->folded);
    out[0] = folded[0];
    out[1] = folded.size() > 1 ? folded[1] : '\0';
    return static_cast<int>(folded.size());
  }
  WriteCode(c, out);
  return c != code ? 2 : 0;
}

bool CLineComposer::IsSqueezable(uint16_t code) {
  return (code >= 0x8141 && code <= 0x8144) || (code >= 0x8165 && code <= 0x817A);
}

bool CLineComposer::Fill(CTextStore& store, const CTextFormats& formats, NodeHandle first,
                         NodeHandle last, int32_t available) {
  const PageFormat* format = formats.pageFormat();
  if (format == nullptr) return false;
  work_.clear();
  // Only the cells around the break matter: past twice the line's width no
  // push-in can reach, so a long paragraph is not read whole for each line.
  // Within that window cells are read only as far as the fitting looks,
  // mostly a cell or two past the line's end.
  reading_ = Reading{&store,
                     &formats,
                     format,
                     format->lineStartRule != 0 || format->lineEndRule != 0,
                     first,
                     last,
                     2 * static_cast<int64_t>(std::max(available, 0))};
  return HasCell(0);
}

bool CLineComposer::HasCell(int32_t index) {
  while (index >= static_cast<int32_t>(work_.size())) {
    if (!ReadNextCell()) return false;
  }
  return true;
}

bool CLineComposer::ReadNextCell() {
  Reading& r = reading_;
  const NodeHandle node = r.next;
  if (node == kNoNode || r.beyond > kCellsPastEnough) return false;
  StoredCell* cell = r.store->LinkedCell(node);
  if (cell == nullptr) {
    r.failed = true;
    r.next = kNoNode;
    return false;
  }
  const bool isLast = node == r.last;
  const bool first = work_.empty();
  WorkCell& w = work_.emplace_back();
  w.node = node;
  w.code = cell->code;
  w.breakClass = cell->breakClass;
  int32_t base = r.format->charGap * ((cell->code >> 8) != 0 ? 2 : 1);
  if (isLast && TakesNoBaseWidth(cell->code)) base = 0;
  w.advance = base + cell->glyphWidth;
  if (r.anySwitch && cell->squeeze != 0) {
    w.squeeze = r.formats->GetPunctuationSpace(cell->fontId, cell->code);
    if (first && w.squeeze < 0) w.squeeze = 0;
  }
  if (isLast && (TakesNoBaseWidth(cell->code) || cell->code == kCodeCrLf)) {
    if (cell->code != kCodeCrLf && cell->code != kCodeLineFeed) w.code = cell->code & 0xFF;
    cell->squeeze = 0;
  }
  if (isLast) {
    r.next = kNoNode;
    return true;
  }
  r.total += w.advance;
  if (r.total > r.enough) ++r.beyond;
  r.next = r.store->NextCell(node);
  return true;
}

bool CLineComposer::IsEndMarkAt(int32_t index) {
  return HasCell(index) && IsLineEndMarkCode(work_[index].code);
}

void CLineComposer::CountFit(LineState& line) {
  line.count = 0;
  line.used = 0;
  line.squeezeTotal = 0;
  for (int32_t i = 0; HasCell(i); ++i) {
    const int32_t widened = line.used + work_[i].advance;
    if (i > 0 && widened > line.available && !IsEndMarkAt(i)) break;
    line.used = widened;
    line.squeezeTotal += std::abs(work_[i].squeeze);
    ++line.count;
  }
}

int CLineComposer::TryPushIn(LineState& line) {
  WorkCell& x = work_[line.count];
  const int32_t free = line.available - line.used;
  const int32_t need = x.advance - std::abs(x.squeeze);
  if (free < need) {
    int32_t shortage = need - free;
    if (line.squeezeTotal <= 0 || line.squeezeTotal < shortage) return 0;
    if (x.squeeze > 0) x.trailing = -x.squeeze;
    if (x.squeeze < 0) x.leading = x.squeeze;
    line.squeezeTotal -= shortage;
    for (int32_t i = line.count - 1; i >= 0 && shortage > 0; --i) {
      WorkCell& c = work_[i];
      int32_t& adjustment = c.squeeze > 0 ? c.trailing : c.leading;
      const int32_t left = std::abs(c.squeeze) - std::abs(adjustment);
      const int32_t take = std::min(left, shortage);
      if (take <= 0) continue;
      adjustment -= take;
      shortage -= take;
    }
  } else {
    int32_t& adjustment = x.squeeze < 0 ? x.leading : x.trailing;
    adjustment = free - x.advance;
    line.squeezeTotal += free - need;
  }
  ++line.count;
  line.used = line.available;
  if (IsEndMarkAt(line.count)) {
    line.used += work_[line.count].advance;
    ++line.count;
    return 2;
  }
  return 1;
}

void CLineComposer::PushOutFrom(LineState& line, int32_t firstMoved) {
  line.count = firstMoved;
  line.used = 0;
  line.squeezeTotal = 0;
  for (size_t i = 0; i < work_.size(); ++i) {
    work_[i].trailing = work_[i].leading = 0;
    if (static_cast<int32_t>(i) < firstMoved) {
      line.used += work_[i].advance;
      line.squeezeTotal += std::abs(work_[i].squeeze);
    }
  }
}

bool CLineComposer::ApplyLineEndRule(LineState& line, bool /*lineStartRuleOn*/) {
  const int32_t last = line.count - 1;
  if (work_[last].breakClass != kBreakNotAtLineEnd || work_[line.count].code == kFoldedEndOfText) {
    return false;
  }
  if (TryPushIn(line) != 0) return true;
  int32_t runStart = last;
  while (runStart > 0 && work_[runStart - 1].breakClass == kBreakNotAtLineEnd) --runStart;
  if (runStart > 0) PushOutFrom(line, runStart);
  return false;
}

bool CLineComposer::ApplyLineStartRule(LineState& line, bool lineEndRuleOn) {
  if (work_[line.count].breakClass != kBreakNotAtLineStart) return false;
  if (TryPushIn(line) != 0) return true;
  int32_t i = line.count - 1;
  while (i > 0 && (work_[i].breakClass == kBreakNotAtLineStart ||
                   (lineEndRuleOn && work_[i - 1].breakClass == kBreakNotAtLineEnd))) {
    --i;
  }
  if (i > 0) PushOutFrom(line, i);
  return false;
}

NodeHandle CLineComposer::FitLine(CTextStore& store, const CTextFormats& formats, NodeHandle first,
                                  NodeHandle last, int32_t available, FitResult* out) {
  *out = FitResult{};
  if (!Fill(store, formats, first, last, available)) return kNoNode;
  const PageFormat& format = *formats.pageFormat();
  const bool endRule = format.lineEndRule != 0;
  const bool startRule = format.lineStartRule != 0;

  LineState line;
  line.available = available;
  CountFit(line);
  const int32_t counted = line.count;
  if (endRule) {
    while (HasCell(line.count) && ApplyLineEndRule(line, startRule)) {
    }
  }
  if (startRule) {
    while (HasCell(line.count) && ApplyLineStartRule(line, endRule)) {
    }
  }
  if (line.count == 0 || reading_.failed) return kNoNode;
  WriteBack(store, formats, line, out);
  out->kinsokuShift = counted - line.count;
  return out->lastCell;
}

void CLineComposer::WriteBack(CTextStore& store, const CTextFormats& formats, const LineState& line,
                              FitResult* out) const {
  int32_t metric1 = 0;
  int32_t metric2 = 0;
  int32_t markMetric1 = 0;
  int32_t markMetric2 = 0;
  bool gotMetric = false;
  // A line's cells mostly share one font: its metrics are looked up once
  // per run of it.
  bool lookedUp = false;
  int32_t metricsFont = 0;
  int metricsFound = 0;
  int32_t m1 = 0;
  int32_t m2 = 0;
  for (int32_t i = 0; i < line.count; ++i) {
    const WorkCell& w = work_[i];
    StoredCell* cell = store.LinkedCell(w.node);
    if (cell == nullptr) continue;
    cell->cellWidth = w.advance + w.trailing - cell->glyphWidth;
    if (i + 1 < line.count) cell->cellWidth += work_[i + 1].leading;
    cell->adjustment = w.trailing != 0 ? -std::abs(w.trailing) : std::abs(w.leading);

    if (!lookedUp || cell->fontId != metricsFont) {
      lookedUp = true;
      metricsFont = cell->fontId;
      metricsFound = formats.GetFontMetrics(metricsFont, &m1, &m2);
    }
    if (metricsFound == 0) continue;
    const bool lastMark =
        i == line.count - 1 &&
        (w.code == kCodePageBreak || w.code == kCodeParagraphEnd || w.code == kFoldedEndOfText);
    if (lastMark) {
      markMetric1 = m1;
      markMetric2 = m2;
      continue;
    }
    metric1 = std::max(metric1, m1);
    metric2 = std::max(metric2, m2);
    gotMetric = true;
  }
  if (!gotMetric) {
    metric1 = markMetric1;
    metric2 = markMetric2;
  }
  out->cellCount = line.count;
  out->usedWidth = line.used;
  out->lineHeight = metric1 + 4 * metric2;
  out->baseline = metric1 + metric2;
  out->lastCell = work_[line.count - 1].node;
}
