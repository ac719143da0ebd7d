#include "model/text_engine.h"

#include <algorithm>
#include <cstring>

#include "model/renderer.h"

namespace {

constexpr uint8_t kAsciiLimit = 126;
constexpr int kDeleteAtCaret = 1;
constexpr int kDeleteBeforeCaret = 2;

bool IsRecordBreak(uint16_t code) {
  return code == kCodeParagraphEnd || code == kCodePageBreak || code == kCodeEndOfText;
}

}  // namespace

CTextEngine::CTextEngine() { typingFont_ = CTextFormatDefaults::DefaultFontState(); }

CTextEngine::~CTextEngine() = default;

int CTextEngine::Initialize(CDocRenderer* renderer, CEditFeedback* feedback) {
  if (store_.IsBound()) return 1;
  renderer_ = renderer;
  feedback_ = feedback;
  fontUse_ = renderer != nullptr ? &renderer->FontUseList() : nullptr;
  paragraphs_ = std::make_unique<ParagraphList>();
  lines_ = std::make_unique<LineList>();
  cells_ = std::make_unique<CellList>();
  spare_ = std::make_unique<SpareList>();
  store_.Bind(paragraphs_.get(), lines_.get(), cells_.get(), spare_.get());
  typingFont_ = CTextFormatDefaults::DefaultFontState();
  typingDecoration_ = CellDecoration{};
  typingDesign_ = CellDesign{};
  if (formats_.Init(&typingFont_, &typingDecoration_, &typingDesign_, &pageFormat_, fontUse_) ==
      0) {
    return 0;
  }
  navigator_.CopyFrom(store_);
  if (navigator_.Init(&formats_, fontUse_, &options_) == 0) return 0;
  editor_.CopyFrom(store_);
  if (editor_.Init(renderer_, &pageFormat_, &options_, &navigator_, &formats_) == 0) return 0;
  layout_.CopyFrom(store_);
  if (layout_.Init(renderer_, &navigator_, &formats_) == 0) return 0;
  built_ = 1;
  return 1;
}

int CTextEngine::Clear() {
  if (!store_.IsBound() || !Built()) return 0;
  store_.ClearAll();
  CTextStore unbound;
  for (CTextStore* part :
       std::initializer_list<CTextStore*>{&store_, &navigator_, &editor_, &layout_}) {
    part->CopyFrom(unbound);
  }
  paragraphs_.reset();
  lines_.reset();
  cells_.reset();
  spare_.reset();
  return 1;
}

int CTextEngine::SetPageFormat(const PageFormat* format) {
  if (format == nullptr || !store_.IsBound() || !Built()) return 0;
  if (formats_.CheckPageFormat(*format) == 0) return 0;
  const CharFontState savedFont = typingFont_;
  if (formats_.ResetTypingFont(*format) == 0) return 0;
  const PageFormat savedFormat = pageFormat_;
  pageFormat_ = *format;
  CharCell cellTemplate;
  if (formats_.MakeCellTemplate(nullptr, nullptr, nullptr, &cellTemplate) == 0 ||
      editor_.NewDocument(cellTemplate) == 0) {
    // A format the fonts cannot serve leaves the old one.
    pageFormat_ = savedFormat;
    typingFont_ = savedFont;
    return 0;
  }
  CVedTextPos end;
  navigator_.GetEndPosition(&end);
  SetCaret(end);
  return 1;
}

int CTextEngine::Reset() {
  if (!Built()) return 0;
  CharCell cellTemplate;
  if (formats_.MakeCellTemplate(nullptr, nullptr, nullptr, &cellTemplate) == 0 ||
      editor_.NewDocument(cellTemplate) == 0) {
    return 0;
  }
  endContinuesInNext_ = false;
  CVedTextPos end;
  navigator_.GetEndPosition(&end);
  return SetCaret(end);
}

int CTextEngine::CheckPageFormat(const PageFormat*) { return kFormatFits; }

int CTextEngine::ApplyPageFormat(const PageFormat*) { return 1; }

int CTextEngine::GetPageFormat(PageFormat* out) {
  if (out == nullptr) return 0;
  *out = pageFormat_;
  return 1;
}

int CTextEngine::SetOptions(const DocObjOptions* options) {
  if (options == nullptr) return 0;
  options_ = *options;
  if (options_.freeCursor > 1) options_.freeCursor = 0;
  if (options_.followNeighbours > 1) options_.followNeighbours = 0;
  if (options_.insertMode > 1) options_.insertMode = 1;
  return 1;
}

DocObjOptions* CTextEngine::GetOptions(DocObjOptions* out) {
  if (out != nullptr) *out = options_;
  return out;
}

CVedTextPos CTextEngine::CaretPosition() const {
  CVedTextPos pos;
  CTextNavigator::MakePosition({store_.CurrentNode(kLevelParagraph), store_.CurrentNode(kLevelLine),
                                store_.CurrentNode(kLevelCell)},
                               &pos);
  return pos;
}

CVedTextPos CTextEngine::OrCaret(const CVedTextPos* pos) const {
  return pos != nullptr ? *pos : CaretPosition();
}

CVedTextPos CTextEngine::OrStart(const CVedTextPos* pos) const {
  if (pos != nullptr) return *pos;
  CVedTextPos start;
  navigator_.GetStartPosition(&start);
  return start;
}

CVedTextPos CTextEngine::OrEnd(const CVedTextPos* pos) const {
  if (pos != nullptr) return *pos;
  CVedTextPos end;
  navigator_.GetEndPosition(&end);
  return end;
}

bool CTextEngine::MapNodes(const CVedTextPos& pos, TextNodes* out) const {
  return navigator_.MapPosition(&pos, out) != 0;
}

void CTextEngine::SetCurrentNodes(NodeHandle paragraph, NodeHandle line, NodeHandle cell) {
  for (CTextStore* part :
       std::initializer_list<CTextStore*>{&store_, &navigator_, &editor_, &layout_}) {
    if (paragraph != kNoNode) part->SetCurrentNode(kLevelParagraph, paragraph);
    if (line != kNoNode) part->SetCurrentNode(kLevelLine, line);
    if (cell != kNoNode) part->SetCurrentNode(kLevelCell, cell);
  }
}

int CTextEngine::SetCaret(const CVedTextPos& pos) {
  TextNodes nodes;
  if (!MapNodes(pos, &nodes)) return 0;
  SetCurrentNodes(nodes.paragraph, nodes.line, nodes.cell);
  return 1;
}

void CTextEngine::OrderPositions(CVedTextPos& a, CVedTextPos& b) { ::OrderPositions(*this, a, b); }

int CTextEngine::IsPlainAscii(std::string_view text) {
  if (text.empty()) return 0;
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<uint8_t>(c) <= kAsciiLimit; })
             ? 1
             : 0;
}

int CTextEngine::GetKindAt(const CVedTextPos* pos, ObjectDescription* out) {
  if (out == nullptr) return 0;
  (*out)[0] = kObjectText;
  TextNodes nodes;
  CharCell cell;
  if (!Built() || !MapNodes(OrCaret(pos), &nodes) || navigator_.GetInfo(nodes.cell, cell) == 0) {
    return 0;
  }
  (*out)[1] = cell.code == kCodeEndOfText ? kSubKindEndOfText : kSubKindText;
  return 1;
}

int32_t CTextEngine::HeightBetween(const TextNodes& from, const TextNodes& to) const {
  int32_t widest = 0;
  int32_t height = 0;
  navigator_.MeasureBetween(from, to, true, &widest, &height);
  return height;
}

platform::RECT* CTextEngine::GetPositionRect(platform::RECT* out, int mode, const CVedTextPos* pos,
                                             const CVedTextPos* base) {
  *out = platform::RECT{};
  TextNodes at;
  TextNodes from;
  if (!Built() || !MapNodes(OrCaret(pos), &at) || !MapNodes(OrStart(base), &from)) return out;
  if (navigator_.GetCellRect(at.paragraph, at.line, at.cell, mode, out) == 0) {
    *out = platform::RECT{};
    return out;
  }
  const CVedTextPos basePos = OrStart(base);
  const CVedTextPos atPos = OrCaret(pos);
  if (from.line != at.line && ComparePositions(&basePos, &atPos) < 0) {
    TextNodes before = at;
    if (navigator_.IsFirst(kLevelLine, at.line) == 0) {
      before.line = navigator_.Navigate(kLevelLine, kNavPrevious, at.line);
      before.paragraph = navigator_.ParagraphOfNeighbourLine(at, before.line, false);
    }
    const int32_t above = HeightBetween(from, before);
    out->top += above;
    out->bottom += above;
  }
  return out;
}

platform::RECT* CTextEngine::GetFrameRect(platform::RECT* out, const CVedTextPos*) {
  *out = platform::RECT{-1, -1, -1, -1};
  return out;
}

int CTextEngine::GetLineColumn(int32_t* line, int32_t* column, const CVedTextPos* pos,
                               const CVedTextPos* base) {
  *line = 0;
  *column = 0;
  if (!Built()) return 0;
  CVedTextPos target = OrCaret(pos);
  if (pos != nullptr && pos->depth == 0) target = OrEnd(nullptr);
  TextNodes at;
  TextNodes from;
  if (!MapNodes(target, &at) || !MapNodes(OrStart(base), &from)) return 0;
  const int32_t lines = navigator_.CountSteps(kLevelLine, from.line, kNoNode, at.line);
  const int32_t place = navigator_.IndexInParent(kLevelCell, at.line, at.cell);
  if (lines == 0 || place == 0) return 0;
  *line = lines;
  *column = place;
  return 1;
}

int CTextEngine::PositionFromLineColumn(int32_t line, int32_t column, const CVedTextPos* base,
                                        CVedTextPos* out) {
  if (!Built()) return -1;
  const CVedTextPos from = OrStart(base);
  if (navigator_.PositionFromLineColumn(&from, &line, &column, out) == 0) return -1;
  return line;
}

int32_t CTextEngine::CountLines(const CVedTextPos* from, const CVedTextPos* to) {
  if (!Built()) return 0;
  CVedTextPos a = OrStart(from);
  CVedTextPos b = OrEnd(to);
  OrderPositions(a, b);
  if (a == b) return 1;
  TextNodes na;
  TextNodes nb;
  if (!MapNodes(a, &na) || !MapNodes(b, &nb)) return 0;
  return navigator_.CountLinesBetween(na, nb);
}

int32_t CTextEngine::GetHeight(const CVedTextPos* from, const CVedTextPos* to) {
  if (!Built()) return 0;
  CVedTextPos a = OrStart(from);
  CVedTextPos b = OrEnd(to);
  OrderPositions(a, b);
  TextNodes na;
  TextNodes nb;
  if (!MapNodes(a, &na) || !MapNodes(b, &nb)) return 0;
  return HeightBetween(na, nb);
}

LineMetrics* CTextEngine::GetLineMetrics(LineMetrics* out, const CVedTextPos* pos) {
  *out = LineMetrics{};
  TextNodes nodes;
  if (Built() && MapNodes(OrCaret(pos), &nodes)) navigator_.GetLineMetrics(nodes, out);
  return out;
}

LineMetrics* CTextEngine::GetPageLineMetrics(LineMetrics* out, const CVedTextPos* pos) {
  // The engine's own answer: a derived object has already put its
  // positions into the engine's form.
  return CTextEngine::GetLineMetrics(out, pos);
}

int CTextEngine::StepLine(const CVedTextPos* pos, int direction, CVedTextPos* out) {
  return Built() ? navigator_.StepLine(pos, direction, out) : 0;
}

int CTextEngine::StepPageLine(const CVedTextPos* pos, int direction, CVedTextPos* out) {
  return CTextEngine::StepLine(pos, direction, out);
}

int CTextEngine::IsFirstLine(const CVedTextPos* pos) {
  TextNodes nodes;
  if (!Built() || !MapNodes(OrCaret(pos), &nodes)) return 0;
  return navigator_.IsFirst(kLevelLine, nodes.line);
}

int CTextEngine::IsLastLine(const CVedTextPos* pos) {
  TextNodes nodes;
  if (!Built() || !MapNodes(OrCaret(pos), &nodes)) return 0;
  return navigator_.IsLast(kLevelLine, nodes.line);
}

int CTextEngine::IsEmpty() { return store_.IsEmptyDocument(); }

int CTextEngine::SetReferenceDC(platform::HDC dc) {
  pageFormat_.referenceDC = dc;
  return 1;
}

int32_t CTextEngine::CountChars() { return store_.Count(kLevelCell); }

int32_t CTextEngine::CountAux() { return 0; }

int CTextEngine::GetCursor(CVedTextPos* out) {
  if (!Built() || out == nullptr) return 0;
  *out = CaretPosition();
  return 1;
}

int CTextEngine::SetCursor(const CVedTextPos* pos) {
  TextNodes nodes;
  CharCell cell;
  if (!Built() || pos == nullptr || !MapNodes(*pos, &nodes) ||
      navigator_.GetInfo(nodes.cell, cell) == 0) {
    return 0;
  }
  SetCurrentNodes(nodes.paragraph, nodes.line, nodes.cell);
  return 1;
}

int CTextEngine::MoveCursor(int command, const MoveParams* params, const CVedTextPos* from,
                            CVedTextPos* out) {
  if (!Built()) return kMoveFailed;
  const MoveParams p = params != nullptr ? *params : MoveParams{};
  const CVedTextPos start = OrCaret(from);
  CVedTextPos moved;
  int result = kMoveDone;
  if (navigator_.MoveCaret(command, p, &start, &moved, &result) == 0) return kMoveFailed;
  if (result != kMoveDone) return result;
  if (p.setCursor != 0) SetCaret(moved);
  if (out != nullptr && out != &moved) *out = moved;
  return kMoveDone;
}

int32_t CTextEngine::PositionFromPoint(int setCursor, const CVedTextPos* base, int32_t x, int32_t y,
                                       CVedTextPos* out) {
  if (!Built()) return -1;
  CVedTextPos found;
  const int32_t hit = navigator_.PositionFromPoint(base, x, y, &found);
  if (hit == kHitInLine || hit == kHitLeftOfLine || hit == kHitPastLine) {
    if (setCursor == 1) SetCaret(found);
    if (out != nullptr) *out = found;
    return 0;
  }
  return hit;
}

bool CTextEngine::InsertTemplate(std::string_view text, CharCell* out) const {
  CharCell first;
  CharCell second;
  CharFontState firstFont;
  CharFontState secondFont;
  if (navigator_.GetInsertFormat(&first, &firstFont, &second, &secondFont) == 0) return false;
  *out = first.fontId != second.fontId && IsPlainAscii(text) != 0 ? second : first;
  return true;
}

void CTextEngine::EndRangeAtParagraphEnd(EditResult* out) {
  CVedTextPos end;
  int result = 0;
  if (navigator_.MoveCaret(kMoveParagraphEnd, MoveParams{0, 0, 1}, &out->newCursor, &end,
                           &result) != 0) {
    out->rangeEnd = end;
  }
}

int CTextEngine::InsertText(std::string_view text, EditResult* out) {
  if (!Built() || typingFont_.fontId < 0) return 0;
  const CVedTextPos caret = CaretPosition();
  CTextEditor::NoChangeResult(caret, out);
  CharCell cellTemplate;
  CharCell cell;
  TextNodes nodes;
  if (!InsertTemplate(text, &cellTemplate) || !MapNodes(caret, &nodes) ||
      navigator_.GetInfo(nodes.cell, cell) == 0) {
    return 0;
  }
  const bool insert = IsRecordBreak(cell.code) || (!IsControlCode(cell.code) && text[0] == '\t') ||
                      options_.insertMode == 1;
  const int done = insert ? editor_.InsertText(&caret, text, cellTemplate, out)
                          : editor_.OverwriteText(&caret, text, cellTemplate, out);
  if (done == 1) {
    SetCaret(out->newCursor);
    EndRangeAtParagraphEnd(out);
  }
  return out->changed;
}

int CTextEngine::DeleteChar(int kind, EditResult* out) {
  if (!Built()) return 0;
  const CVedTextPos caret = CaretPosition();
  CVedTextPos at = caret;
  if (kind == kDeleteBeforeCaret) {
    if (navigator_.IsFirst(kLevelCell, store_.CurrentNode(kLevelCell)) != 0) {
      CTextEditor::NoChangeResult(caret, out);
      return 0;
    }
    int result = 0;
    if (navigator_.MoveCaret(kMovePrevChar, MoveParams{0, 0, 1}, &caret, &at, &result) == 0 ||
        result != kMoveDone) {
      return 0;
    }
  } else if (kind != kDeleteAtCaret) {
    return kind;
  }
  const int done = editor_.DeleteChar(&at, out);
  if (done == 1) SetCaret(out->newCursor);
  return done;
}

int CTextEngine::DeleteRange(const CVedTextPos* from, const CVedTextPos* to, EditResult* out) {
  if (!Built()) return 0;
  CVedTextPos a = OrStart(from);
  CVedTextPos b = OrEnd(to);
  OrderPositions(a, b);
  const int done = editor_.DeleteRange(&a, &b, out);
  if (done == 1) SetCaret(out->newCursor);
  return done;
}

int CTextEngine::AdjustRange(const CVedTextRange* in, CVedTextRange* out) {
  if (in == nullptr || out == nullptr) return 0;
  *out = *in;
  if (!Built() || in->end.IsEmpty()) return 1;
  const CVedTextPos docEnd = OrEnd(nullptr);
  const CVedTextPos docStart = OrStart(nullptr);
  if (!(in->start.IsEmpty() || in->start == docEnd) || in->end == docStart) return 1;
  TextNodes end;
  ParagraphInfo paragraph;
  LineInfo line;
  if (!MapNodes(in->end, &end) || navigator_.GetInfo(end.paragraph, paragraph) == 0 ||
      paragraph.lastLine != end.line || navigator_.GetInfo(end.line, line) == 0 ||
      line.lastCell != end.cell) {
    return 1;
  }
  CVedTextPos before = in->end;
  CharCell cell;
  TextNodes prev;
  if (navigator_.StepBack(&before) != 0 && MapNodes(before, &prev) &&
      navigator_.GetInfo(prev.cell, cell) != 0 && cell.code == kCodeParagraphEnd) {
    out->end = before;
  }
  return 1;
}

int CTextEngine::FindText(int options, int direction, std::string_view text, CVedTextRange* out) {
  if (!Built() || out == nullptr) return 0;
  return navigator_.SearchText(options, direction, text, &out->start, &out->end);
}

int CTextEngine::Draw(const CVedTextPos* from, int flags, int32_t skipHeight, int flags2,
                      int32_t bandHeight, DrawResult* out) {
  *out = DrawResult{};
  if (!Built() || !layout_.IsReady()) return 0;
  const CVedTextPos start = OrStart(from);
  CVedTextPos first;
  CVedTextPos last;
  int32_t before = 0;
  int32_t through = 0;
  // The band ends before bandHeight: a line that starts there belongs to
  // what follows (the next page, when a whole page is drawn).
  if (navigator_.PositionAtHeight(&start, skipHeight, kNavFirst, &first, &before) == 0 ||
      navigator_.PositionAtHeight(&start, bandHeight - 1, kNavLast, &last, &through) == 0) {
    return 0;
  }
  TextNodes a;
  TextNodes b;
  if (skipHeight < bandHeight && through >= skipHeight && MapNodes(first, &a) &&
      MapNodes(last, &b)) {
    return layout_.DrawRange(a, b, flags2 - flags, before, out);
  }
  TextNodes s;
  TextNodes e;
  if (MapNodes(start, &s) && MapNodes(OrEnd(nullptr), &e)) out->height = HeightBetween(s, e);
  return 0;
}

int CTextEngine::SetCharFormat(const CharFormat* format) {
  if (format == nullptr || pageFormat_.referenceDC == nullptr) return 0;
  CharFormat current;
  formats_.GetTypingFormat(&current);
  CharFormat probe = *format;
  // The page's base font is only named until a format realises it; the
  // same format must still realise it then, or nothing could be typed.
  const CharFontState* typing = formats_.TypingFont();
  const bool realised = typing != nullptr && typing->fontId >= 0;
  if (realised && CTextFormats::IsSameCharFormat(probe, current) != 0) return 1;
  return formats_.SetTypingFormat(*format);
}

int CTextEngine::GetCharFormat(CharFormat* out) { return formats_.GetTypingFormat(out); }

template <typename Read>
int CTextEngine::ReadRange(const CVedTextPos* from, const CVedTextPos* to, Read read) {
  if (!Built()) return 0;
  CVedTextPos a = OrStart(from);
  CVedTextPos b = OrEnd(to);
  OrderPositions(a, b);
  TextNodes na;
  TextNodes nb;
  if (!MapNodes(a, &na) || !MapNodes(b, &nb)) return 0;
  return read(na, nb);
}

// The character attribute setters: the caret stays, and the result says
// how many cells were visited.
template <typename Change>
int CTextEngine::ChangeCells(const CVedTextPos* from, const CVedTextPos* to, EditResult* out,
                             Change change) {
  if (!Built()) return 0;
  CTextEditor::NoChangeResult(CaretPosition(), out);
  CVedTextPos a = OrStart(from);
  CVedTextPos b = OrEnd(to);
  OrderPositions(a, b);
  change(a, b);
  return out->changed;
}

int CTextEngine::ApplyFontValue(int32_t, const CVedTextPos*, const CVedTextPos*) { return 0; }

int CTextEngine::SetCharFont(const CharFormat* format, const CVedTextPos* from,
                             const CVedTextPos* to, EditResult* out) {
  if (format == nullptr) return 0;
  return ChangeCells(from, to, out, [&](const CVedTextPos& a, const CVedTextPos& b) {
    editor_.ApplyCharFont(*format, &a, &b, out);
  });
}

int CTextEngine::SetCharDecoration(const CharDecoration* decoration, const CVedTextPos* from,
                                   const CVedTextPos* to, EditResult* out) {
  if (decoration == nullptr) return 0;
  return ChangeCells(from, to, out, [&](const CVedTextPos& a, const CVedTextPos& b) {
    editor_.ApplyDecoration(*decoration, &a, &b, out);
  });
}

int CTextEngine::SetCharDesign(const CharDesign* design, const CVedTextPos* from,
                               const CVedTextPos* to, EditResult* out) {
  if (design == nullptr) return 0;
  return ChangeCells(from, to, out, [&](const CVedTextPos& a, const CVedTextPos& b) {
    editor_.ApplyDesign(*design, &a, &b, out);
  });
}

int CTextEngine::SetParaFormat(const ParaFormat* format, const CVedTextPos* from,
                               const CVedTextPos* to, EditResult* out) {
  if (!Built() || format == nullptr) return 0;
  CTextEditor::NoChangeResult(CaretPosition(), out);
  CVedTextPos a = OrStart(from);
  CVedTextPos b = OrEnd(to);
  OrderPositions(a, b);
  if (editor_.ApplyParaFormat(&a, &b, *format, out) == 0) return 0;
  // The caret's cell survives a paragraph change; its line may not.
  CVedTextPos caret;
  if (navigator_.LocateCell(
          store_.CurrentNode(kLevelCell),
          TextNodes{store_.CurrentNode(kLevelParagraph), store_.CurrentNode(kLevelLine),
                    store_.CurrentNode(kLevelCell)},
          &caret) != 0) {
    out->newCursor = caret;
    SetCursor(&out->newCursor);
  }
  return out->changed;
}

int CTextEngine::GetCharFont(CharFormat* out, const CVedTextPos* from, const CVedTextPos* to) {
  return ReadRange(from, to, [&](const TextNodes& a, const TextNodes& b) {
    return out != nullptr ? navigator_.GetRangeFont(a, b, out) : 0;
  });
}

int CTextEngine::GetCharDecoration(CharDecoration* out, const CVedTextPos* from,
                                   const CVedTextPos* to) {
  return ReadRange(from, to, [&](const TextNodes& a, const TextNodes& b) {
    return out != nullptr ? navigator_.GetRangeDecoration(a, b, out) : 0;
  });
}

int CTextEngine::GetCharDesign(CharDesign* out, const CVedTextPos* from, const CVedTextPos* to) {
  return ReadRange(from, to, [&](const TextNodes& a, const TextNodes& b) {
    return out != nullptr ? navigator_.GetRangeDesign(a, b, out) : 0;
  });
}

int CTextEngine::GetParaFormat(ParaFormat* out, const CVedTextPos* from, const CVedTextPos* to) {
  return ReadRange(from, to, [&](const TextNodes& a, const TextNodes& b) {
    return out != nullptr ? navigator_.GetRangeParaFormat(a, b, out) : 0;
  });
}

int CTextEngine::GetCursorFormat(int flag, CharFormat* out) {
  if (!Built() || out == nullptr) return 0;
  CharCell first;
  CharCell second;
  CharFontState firstFont;
  CharFontState secondFont;
  if (navigator_.GetInsertFormat(&first, &firstFont, &second, &secondFont) == 0) {
    return formats_.GetTypingFormat(out);
  }
  const CharCell& cell = flag == 0 ? second : first;
  const CharFontState& font = flag == 0 ? secondFont : firstFont;
  formats_.FontStateToCharFormat(font, out);
  out->color = cell.color;
  out->placement = cell.placement;
  out->mask = kMaskEveryField;
  return 1;
}

int CTextEngine::SetAnchor(int kind, CVedAnchor* anchor, const CVedTextPos* pos) {
  TextNodes nodes;
  if (!Built() || !MapNodes(OrCaret(pos), &nodes)) return 0;
  if (kind == kAnchorLine) return store_.SetLineAnchor(nodes.line, anchor);
  CharCell cell;
  if (store_.GetInfo(nodes.cell, cell) == 0) return 0;
  cell.anchor = anchor;
  return store_.SetInfo(nodes.cell, cell);
}

CVedAnchor* CTextEngine::FindAnchor(int kind, const CVedTextPos* from, int next) {
  if (!Built()) return nullptr;
  TextNodes nodes;
  if (kind == kAnchorLine) {
    NodeHandle line = store_.Navigate(kLevelLine, kNavLast, kNoNode);
    if (from != nullptr) {
      if (!MapNodes(*from, &nodes)) return nullptr;
      line = next != 0 ? nodes.line : store_.Navigate(kLevelLine, kNavPrevious, nodes.line);
    }
    for (; line != kNoNode; line = store_.Navigate(kLevelLine, kNavPrevious, line)) {
      LineInfo info;
      if (store_.GetInfo(line, info) != 0 && info.anchor != nullptr) return info.anchor;
    }
    return nullptr;
  }
  NodeHandle cell = store_.Navigate(kLevelCell, kNavFirst, kNoNode);
  if (from != nullptr) {
    if (!MapNodes(*from, &nodes)) return nullptr;
    cell = next != 0 ? store_.Navigate(kLevelCell, kNavNext, nodes.cell) : nodes.cell;
  }
  for (; cell != kNoNode; cell = store_.Navigate(kLevelCell, kNavNext, cell)) {
    CharCell info;
    if (store_.GetInfo(cell, info) != 0 && info.anchor != nullptr) {
      // The anchor lies at or after the search's start: its line and
      // paragraph are found from there, not from the text's start. A start
      // given as the path an anchor had before an edit broke its lines anew
      // may name a line that no longer holds its cell: the cell may have
      // gone back to an earlier line.
      if (navigator_.PositionOfCell(kNavNext, from != nullptr ? nodes.paragraph : kNoNode,
                                    from != nullptr ? nodes.line : kNoNode, cell,
                                    &info.anchor->position) == 0 &&
          from != nullptr) {
        navigator_.LocateCell(cell, nodes, &info.anchor->position);
      }
      return info.anchor;
    }
  }
  return nullptr;
}

int CTextEngine::ComparePositions(const CVedTextPos* a, const CVedTextPos* b) {
  TextNodes na;
  TextNodes nb;
  if (a == nullptr || b == nullptr || !MapNodes(*a, &na) || !MapNodes(*b, &nb)) {
    return kCompareIncomparable;
  }
  if (na.paragraph != nb.paragraph) {
    const NodeHandle first = store_.Earlier(kLevelParagraph, na.paragraph, nb.paragraph);
    if (first == kNoNode) return kCompareIncomparable;
    return first == na.paragraph ? kCompareBefore : kCompareAfter;
  }
  ParagraphInfo paragraph;
  if (store_.GetInfo(na.paragraph, paragraph) == 0) return kCompareIncomparable;
  if (na.line != nb.line) {
    return navigator_.FollowsWithin(kLevelLine, na.line, paragraph.firstLine, paragraph.lastLine,
                                    nb.line)
               ? kCompareBefore
               : kCompareAfter;
  }
  if (na.cell == nb.cell) return kCompareEqual;
  LineInfo line;
  if (store_.GetInfo(na.line, line) == 0) return kCompareIncomparable;
  return navigator_.FollowsWithin(kLevelCell, na.cell, line.firstCell, line.lastCell, nb.cell)
             ? kCompareBefore
             : kCompareAfter;
}

int CTextEngine::DescribePosition(const CVedTextPos* pos, PositionDescription* out) {
  TextNodes nodes;
  LineDescription line;
  if (!Built() || !MapNodes(OrCaret(pos), &nodes) ||
      navigator_.DescribeLine(nodes.paragraph, nodes.line, &line) == 0) {
    return 0;
  }
  *out = PositionDescription{line.height, line.left,   line.right,
                             line.width,  line.length, line.endMarkColumns};
  return 1;
}

CTextTransfer CTextEngine::Transfer() {
  return CTextTransfer(editor_, navigator_, formats_, renderer_, pageFormat_, options_);
}

int CTextEngine::WriteTextBlock(const CVedTextPos* from, const CVedTextPos* to,
                                platform::CMemFile& file) {
  if (!Built() || from == nullptr || to == nullptr) return 0;
  return Transfer().StreamOutBlock(from, to, file);
}

int CTextEngine::ReadTextBlock(platform::CMemFile& file, const CVedTextPos* pos, EditResult* out) {
  if (!Built() || pos == nullptr) return 0;
  try {
    file.Seek(0, platform::CFile::kBegin);
    platform::CArchive archive(&file, platform::CArchive::kLoad);
    int inserted = 0;
    return Transfer().ReadBlock(archive, pos, &inserted, out) != 0 && inserted != 0 ? 1 : 0;
  } catch (const std::exception&) {
    return 0;
  }
}

int CTextEngine::LoadPlainText(platform::CArchive& archive, EditResult* out) {
  platform::CFile* file = archive.GetFile();
  const uint64_t length = file->GetLength() - file->GetPosition();
  if (length < 1) return 0;
  std::string text(length, '\0');
  text.resize(archive.Read(text.data(), text.size()));
  if (CTextTransfer::CheckPlainText(&text) == 0 || text.empty()) return -1;
  CharCell cellTemplate;
  if (!InsertTemplate(text, &cellTemplate)) return -1;
  const CVedTextPos caret = CaretPosition();
  return editor_.InsertText(&caret, text, cellTemplate, out) == 1 ? 1 : -1;
}

int CTextEngine::SerializeRange(platform::CArchive& archive, int tag, int /*mode*/,
                                const CVedTextPos* from, const CVedTextPos* to, EditResult* out) {
  if (!Built()) return archive.IsStoring() ? 0 : -1;
  try {
    if (archive.IsStoring()) {
      CVedTextPos a = OrStart(from);
      CVedTextPos b = OrEnd(to);
      OrderPositions(a, b);
      // A write that failed must not pass for a stored range.
      return Transfer().WriteBlock(tag, &a, &b, archive) != 0 ? 0 : -1;
    }
    CTextEditor::NoChangeResult(CaretPosition(), out);
    int result = -1;
    if (tag == kFormatPlainText) {
      result = LoadPlainText(archive, out);
    } else {
      int inserted = 0;
      const CVedTextPos caret = CaretPosition();
      if (Transfer().ReadBlock(archive, &caret, &inserted, out) != 0) result = out->changed;
    }
    if (result == 1 || (tag != kFormatPlainText && result > 0)) {
      SetCaret(out->newCursor);
      EndRangeAtParagraphEnd(out);
    }
    return result;
  } catch (const std::exception&) {
    return archive.IsStoring() ? 0 : -1;
  }
}

NodeHandle CTextEngine::CellBefore(const CVedTextPos& pos) const {
  TextNodes at;
  return MapNodes(pos, &at) ? store_.Navigate(kLevelCell, kNavPrevious, at.cell) : kNoNode;
}

NodeHandle CTextEngine::CellAfter(NodeHandle cell) const {
  return cell == kNoNode ? store_.Navigate(kLevelCell, kNavFirst, kNoNode)
                         : store_.Navigate(kLevelCell, kNavNext, cell);
}

std::vector<CVedAnchor*> CTextEngine::TakeAnchors(const CVedTextPos& from, const CVedTextPos& to) {
  std::vector<CVedAnchor*> anchors;
  TextNodes first;
  TextNodes last;
  if (!MapNodes(from, &first) || !MapNodes(to, &last)) return anchors;
  bool any = false;
  for (NodeHandle cell = first.cell; cell != kNoNode && cell != last.cell;
       cell = store_.Navigate(kLevelCell, kNavNext, cell)) {
    CharCell info;
    CVedAnchor* anchor = nullptr;
    if (store_.GetInfo(cell, info) != 0 && info.anchor != nullptr) {
      anchor = info.anchor;
      info.anchor = nullptr;
      store_.SetInfo(cell, info);
      any = true;
    }
    anchors.push_back(anchor);
  }
  if (!any) anchors.clear();
  return anchors;
}

void CTextEngine::GiveAnchors(NodeHandle first, const std::vector<CVedAnchor*>& anchors) {
  NodeHandle cell = first;
  for (CVedAnchor* anchor : anchors) {
    if (cell == kNoNode) return;
    CharCell info;
    if (anchor != nullptr && store_.GetInfo(cell, info) != 0) {
      info.anchor = anchor;
      store_.SetInfo(cell, info);
    }
    cell = store_.Navigate(kLevelCell, kNavNext, cell);
  }
}

int CTextEngine::MergeFrom(CDocObject* other, int flag, EditResult* out) {
  auto* source = dynamic_cast<CTextEngine*>(other);
  if (!Built() || source == nullptr) return 0;
  EditResult result;
  CTextEditor::NoChangeResult(CaretPosition(), &result);
  if (out != nullptr) *out = result;
  const MoveParams still{0, 0, 0};
  CVedTextPos otherStart;
  CVedTextPos otherEnd;
  if (source->CTextEngine::MoveCursor(kMoveDocumentStart, &still, nullptr, &otherStart) !=
          kMoveDone ||
      source->CTextEngine::MoveCursor(kMoveDocumentEnd, &still, nullptr, &otherEnd) != kMoveDone) {
    return 0;
  }
  const bool otherEmpty = otherStart == otherEnd;
  platform::CMemFile block;
  if (!otherEmpty && source->WriteTextBlock(&otherStart, &otherEnd, block) == 0) return 0;
  const bool atEnd = flag == 1;
  // A paragraph a split cut in two is joined again without a break, also
  // when one of its halves has since been emptied.
  const bool continues = atEnd ? endContinuesInNext_ : source->endContinuesInNext_;
  const bool separator = (atEnd || otherEmpty) && !continues;

  const CVedTextPos target = atEnd ? OrEnd(nullptr) : OrStart(nullptr);
  SetCaret(target);
  const NodeHandle firstBefore = store_.Navigate(kLevelCell, kNavFirst, kNoNode);
  EditResult step;
  if (separator) {
    CharCell cellTemplate;
    if (!InsertTemplate("\r", &cellTemplate) ||
        editor_.InsertText(&target, "\r", cellTemplate, &step) == 0) {
      return 0;
    }
  } else {
    CTextEditor::NoChangeResult(target, &step);
    // An emptied half joins by adding nothing: the merge is done all the
    // same.
    if (otherEmpty) step.changed = 1;
  }
  result = step;
  if (!otherEmpty) {
    const CVedTextPos readAt = atEnd ? step.newCursor : step.rangeStart;
    const NodeHandle before = CellBefore(readAt);
    EditResult read;
    if (ReadTextBlock(block, &readAt, &read) == 0) return 0;
    GiveAnchors(CellAfter(before), source->TakeAnchors(otherStart, otherEnd));
    const NodeHandle first = atEnd ? store_.Navigate(kLevelCell, kNavNext, before) : firstBefore;
    if (navigator_.PositionOfCell(kNavNext, kNoNode, kNoNode, first, &result.newCursor) == 0) {
      return 0;
    }
    result.rangeStart = atEnd ? step.rangeStart : read.rangeStart;
    result.heightDelta = step.heightDelta + read.heightDelta;
    result.changed = read.changed;
    if (!atEnd && source->endContinuesInNext_ && JoinBefore(read.newCursor, &result) == 0) {
      return 0;
    }
  }
  EndRangeAtParagraphEnd(&result);
  if (result.changed != 0) {
    if (out != nullptr) *out = result;
    SetCaret(result.newCursor);
    if (atEnd) endContinuesInNext_ = source->endContinuesInNext_;
  }
  return result.changed;
}

// The paragraph end that a read block put before `at` is taken away,
// joining the block's last paragraph with the one that begins at `at`.
int CTextEngine::JoinBefore(const CVedTextPos& at, EditResult* result) {
  CVedTextPos before = at;
  TextNodes prev;
  CharCell info;
  if (navigator_.StepBack(&before) == 0 || !MapNodes(before, &prev) ||
      navigator_.GetInfo(prev.cell, info) == 0 || info.code != kCodeParagraphEnd) {
    return 1;
  }
  EditResult joined;
  if (editor_.DeleteRange(&before, &before, &joined) == 0) return 0;
  result->heightDelta += joined.heightDelta;
  result->newCursor = joined.newCursor;
  return 1;
}

int CTextEngine::SplitInto(const CVedTextPos* pos, CDocObject* other, EditResult* out) {
  auto* target = dynamic_cast<CTextEngine*>(other);
  if (!Built() || target == nullptr || out == nullptr) return 0;
  const CVedTextPos split = OrCaret(pos);
  const CVedTextPos end = OrEnd(nullptr);
  CVedTextPos deleteFrom = split;
  CVedTextPos before = split;
  TextNodes prev;
  CharCell cell;
  if (navigator_.StepBack(&before) != 0 && MapNodes(before, &prev) &&
      navigator_.GetInfo(prev.cell, cell) != 0 && cell.code == kCodeParagraphEnd) {
    deleteFrom = before;
  }
  if (!(split == end)) {
    platform::CMemFile block;
    CVedTextPos otherCaret;
    EditResult read;
    if (WriteTextBlock(&split, &end, block) == 0 ||
        target->CTextEngine::GetCursor(&otherCaret) == 0) {
      return 0;
    }
    const NodeHandle readAfter = target->CellBefore(otherCaret);
    if (target->ReadTextBlock(block, &otherCaret, &read) == 0) return 0;
    target->GiveAnchors(target->CellAfter(readAfter), TakeAnchors(split, end));
  }
  const int result = editor_.DeleteRange(&deleteFrom, &end, out);
  if (result == 0) return 0;
  const CVedTextPos newEnd = OrEnd(nullptr);
  out->rangeStart = out->rangeEnd = out->newCursor = newEnd;
  out->changed = result;
  SetCaret(newEnd);
  target->endContinuesInNext_ = endContinuesInNext_;
  endContinuesInNext_ = deleteFrom == split;
  return result;
}
