#include "model/text_transfer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <map>

#include "model/line_composer.h"
#include "model/renderer.h"
#include "model/texts.h"
#include "platform/sjis.h"

namespace {

// Markers of the range data.
constexpr uint16_t kBlockParagraphHeader = 0x1001;
constexpr uint16_t kBlockCellCountHeader = 0x1002;
constexpr uint16_t kBlockCellsMarker = 0x1003;
constexpr uint16_t kBlockEnd = 0xFFFF;
constexpr size_t kBlockTagSize = 16;

// Paragraph flags: which fields follow the flag word.
constexpr uint16_t kParaHasLineGap = 0x01;
constexpr uint16_t kParaHasParagraphGap = 0x02;
constexpr uint16_t kParaHasReserved = 0x04;
constexpr uint16_t kParaHasFirstIndent = 0x08;
constexpr uint16_t kParaHasLeftIndent = 0x10;
constexpr uint16_t kParaHasRightIndent = 0x20;
constexpr uint16_t kParaHasVertical = 0x40;
constexpr uint16_t kParaHasAlignment = 0x80;

// Cell flags: which fields follow the code and the flag word.
constexpr uint16_t kCellHasFont = 0x01;
constexpr uint16_t kCellHasColor = 0x02;
constexpr uint16_t kCellHasPlacement = 0x04;
constexpr uint16_t kCellHasDecoration = 0x08;
constexpr uint16_t kCellHasDesign = 0x10;
constexpr uint16_t kCellHasWidth = 0x20;

using BlockTag = std::array<uint8_t, kBlockTagSize>;

constexpr size_t kGrowBytes = platform::CMemFile::kDefaultGrowBytes;
// The smallest cell record: a code and a flag word.
constexpr size_t kMinCellBytes = 4;
// Decoration and design take eight bytes each in a cell record; the
// design's last four are not kept by a cell and are written as zero.
constexpr size_t kDesignSpareBytes = 4;
constexpr uint8_t kPlacementLimit = 4;
// Line heights and their gaps are added up in twips over a whole document;
// a stored gap beyond any page (over a metre either way) is damage.
constexpr int32_t kLargestGap = 1 << 16;

constexpr uint8_t kFirstPrintable = 0x20;
constexpr uint8_t kMiddleDot = 0xA5;  // half-width middle dot

BlockTag MakeBlockTag() {
  BlockTag tag{};
  std::memcpy(tag.data(), kTextBlockTag, sizeof kTextBlockTag - 1);
  return tag;
}

// The tag and the length that open a block.
std::array<uint8_t, kBlockTagSize + sizeof(int32_t)> BlockHeader(int32_t length) {
  std::array<uint8_t, kBlockTagSize + sizeof(int32_t)> header{};
  const BlockTag tag = MakeBlockTag();
  std::copy(tag.begin(), tag.end(), header.begin());
  const auto v = static_cast<uint32_t>(length);
  for (size_t i = 0; i < sizeof v; ++i)
    header[kBlockTagSize + i] = static_cast<uint8_t>(v >> (8 * i));
  return header;
}

bool IsTrailByte(uint8_t byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

bool IsBreakCode(uint16_t code) { return code == kCodeParagraphEnd || code == kCodePageBreak; }

// A stored code a cell may carry: text, a break or the end mark.
bool IsStorableCode(uint16_t code) {
  if (IsControlCode(code)) return IsBreakCode(code) || code == kCodeEndOfText;
  if (code <= 0xFF) return true;
  return platform::IsLeadByte(static_cast<uint8_t>(code >> 8)) &&
         IsTrailByte(static_cast<uint8_t>(code & 0xFF));
}

// The range data collected in a memory file, or none when it cannot be
// written.
bool CollectRangeData(CTextTransfer& transfer, const CVedTextPos* from, const CVedTextPos* to,
                      platform::CMemFile* data) {
  if (transfer.WriteRangeData(from, to, *data) == 0) return false;
  return data->GetLength() <= static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
}

}  // namespace

// Little-endian reads that never pass the end of the data.
class CTextTransfer::ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> data) : data_(data) {}

  size_t Remaining() const { return data_.size() - position_; }
  bool Skip(size_t count) {
    if (Remaining() < count) return false;
    position_ += count;
    return true;
  }
  bool Byte(uint8_t* out) { return Read(out); }
  bool Word(uint16_t* out) { return Read(out); }
  bool Int(int32_t* out) {
    uint32_t value = 0;
    if (!Read(&value)) return false;
    *out = static_cast<int32_t>(value);
    return true;
  }
  bool Colour(platform::COLORREF* out) { return Read(out); }

 private:
  template <typename T>
  bool Read(T* out) {
    if (Remaining() < sizeof(T)) return false;
    T value = 0;
    for (size_t i = 0; i < sizeof(T); ++i) {
      value |= static_cast<T>(static_cast<T>(data_[position_ + i]) << (8 * i));
    }
    position_ += sizeof(T);
    *out = value;
    return true;
  }

  std::span<const uint8_t> data_;
  size_t position_ = 0;
};

CTextTransfer::CTextTransfer(CTextEditor& editor, CTextNavigator& navigator, CTextFormats& formats,
                             CDocRenderer* renderer, const PageFormat& pageFormat,
                             const DocObjOptions& options)
    : editor_(editor),
      navigator_(navigator),
      formats_(formats),
      renderer_(renderer),
      pageFormat_(pageFormat),
      options_(options) {}

// Writing.

int CTextTransfer::WriteBlock(int tag, const CVedTextPos* from, const CVedTextPos* to,
                              platform::CArchive& archive) {
  if (tag != kFormatOwnBlock) return WritePlainText(from, to, archive);
  platform::CMemFile data(kGrowBytes);
  // A range that cannot be written leaves no block behind: an empty block
  // would load as an empty text and hide the failure.
  if (!CollectRangeData(*this, from, to, &data)) return 0;
  const auto header = BlockHeader(static_cast<int32_t>(data.GetLength()));
  // Written as it is rather than copied behind the header first: the data
  // of a long document is megabytes.
  try {
    archive.Write(header.data(), header.size());
    archive.Write(data.Data(), data.GetLength());
  } catch (const platform::CArchiveException&) {
    return 0;
  } catch (const platform::CFileException&) {
    return 0;
  }
  return 1;
}

int CTextTransfer::StreamOutBlock(const CVedTextPos* from, const CVedTextPos* to,
                                  platform::CFile& stream) {
  platform::CMemFile data(kGrowBytes);
  if (!CollectRangeData(*this, from, to, &data)) return 0;
  const auto header = BlockHeader(static_cast<int32_t>(data.GetLength()));
  try {
    stream.Write(header.data(), kBlockTagSize);
    stream.Write(header.data() + kBlockTagSize, header.size() - kBlockTagSize);
    stream.Write(data.Data(), data.GetLength());
  } catch (const platform::CFileException&) {
    return 0;
  }
  return 1;
}

int CTextTransfer::WriteRangeData(const CVedTextPos* from, const CVedTextPos* to,
                                  platform::CFile& stream) {
  TextNodes a;
  TextNodes b;
  if (navigator_.MapPosition(from, &a) == 0 || navigator_.MapPosition(to, &b) == 0) return 0;
  const int32_t paragraphs =
      navigator_.CountSteps(kLevelParagraph, a.paragraph, kNoNode, b.paragraph);
  if (paragraphs == 0) return 0;
  try {
    platform::CArchive out(&stream, platform::CArchive::kStore);
    out << paragraphs;
    // Both delta bases start all zero in every block.
    ParagraphInfo previousParagraph;
    CharCell previousCell;
    NodeHandle paragraph = a.paragraph;
    for (int32_t i = 0; i < paragraphs; ++i) {
      ParagraphInfo info;
      if (navigator_.GetInfo(paragraph, info) == 0) return 0;
      const NodeHandle paragraphEnd = navigator_.GetChild(kLevelCell, true, info.lastLine);
      const NodeHandle first =
          i == 0 ? a.cell : navigator_.GetChild(kLevelCell, false, info.firstLine);
      const NodeHandle last = i == paragraphs - 1 ? b.cell : paragraphEnd;
      const int32_t cells = navigator_.CountSteps(kLevelCell, first, paragraphEnd, last);
      if (cells == 0) return 0;
      WriteParagraph(out, info, &previousParagraph);
      out << kBlockCellCountHeader << uint16_t{0} << cells << kBlockCellsMarker;
      NodeHandle node = first;
      for (int32_t k = 0; k < cells; ++k, node = navigator_.Navigate(kLevelCell, kNavNext, node)) {
        CharCell cell;
        if (navigator_.GetInfo(node, cell) == 0) return 0;
        WriteCell(out, cell, &previousCell);
      }
      paragraph = navigator_.Navigate(kLevelParagraph, kNavNext, paragraph);
    }
    out << kBlockEnd;
    out.Close();
  } catch (const platform::CArchiveException&) {
    return 0;
  } catch (const platform::CFileException&) {
    return 0;
  }
  return 1;
}

void CTextTransfer::WriteParagraph(platform::CArchive& out, const ParagraphInfo& paragraph,
                                   ParagraphInfo* previous) const {
  uint16_t flags = 0;
  // The gaps are stored only where they leave the page's line gap, so that
  // the others follow the page the text is read into.
  if (paragraph.lineGap != pageFormat_.lineGap) flags |= kParaHasLineGap;
  if (paragraph.paragraphGap != pageFormat_.lineGap) flags |= kParaHasParagraphGap;
  if (paragraph.reserved2 != previous->reserved2) flags |= kParaHasReserved;
  if (paragraph.firstIndent != previous->firstIndent) flags |= kParaHasFirstIndent;
  if (paragraph.leftIndent != previous->leftIndent) flags |= kParaHasLeftIndent;
  if (paragraph.rightIndent != previous->rightIndent) flags |= kParaHasRightIndent;
  if (paragraph.vertical != previous->vertical) flags |= kParaHasVertical;
  if (paragraph.alignment != previous->alignment) flags |= kParaHasAlignment;
  out << kBlockParagraphHeader << flags;
  if ((flags & kParaHasLineGap) != 0) out << paragraph.lineGap;
  if ((flags & kParaHasParagraphGap) != 0) out << paragraph.paragraphGap;
  if ((flags & kParaHasReserved) != 0) out << paragraph.reserved2;
  if ((flags & kParaHasFirstIndent) != 0) out << paragraph.firstIndent;
  if ((flags & kParaHasLeftIndent) != 0) out << paragraph.leftIndent;
  if ((flags & kParaHasRightIndent) != 0) out << paragraph.rightIndent;
  if ((flags & kParaHasVertical) != 0) out << paragraph.vertical;
  if ((flags & kParaHasAlignment) != 0) out << paragraph.alignment;
  *previous = paragraph;
}

void CTextTransfer::WriteCell(platform::CArchive& out, const CharCell& cell,
                              CharCell* previous) const {
  uint16_t flags = 0;
  if (cell.fontId != previous->fontId) flags |= kCellHasFont;
  if (cell.color != previous->color) flags |= kCellHasColor;
  if (cell.placement != previous->placement) flags |= kCellHasPlacement;
  if (!(cell.decoration == previous->decoration)) flags |= kCellHasDecoration;
  if (!(cell.design == previous->design)) flags |= kCellHasDesign;
  if (cell.cellWidth != 0 || pageFormat_.charGap != 0) flags |= kCellHasWidth;
  out << cell.code << flags;
  if ((flags & kCellHasFont) != 0) out << cell.fontId;
  if ((flags & kCellHasColor) != 0) out << cell.color;
  if ((flags & kCellHasPlacement) != 0) out << cell.placement;
  if ((flags & kCellHasDecoration) != 0) {
    const CellDecoration& d = cell.decoration;
    out << d.underline << d.strikeOut << d.enclosure << d.shading << d.color;
  }
  if ((flags & kCellHasDesign) != 0) {
    const CellDesign& d = cell.design;
    out << d.shadow << d.hollow << d.reverse << d.spare;
    const std::array<uint8_t, kDesignSpareBytes> spare{};
    out.Write(spare.data(), spare.size());
  }
  if ((flags & kCellHasWidth) != 0) out << cell.cellWidth;
  *previous = cell;
}

int CTextTransfer::WritePlainText(const CVedTextPos* from, const CVedTextPos* to,
                                  platform::CArchive& archive) {
  TextNodes a;
  TextNodes b;
  CharCell start;
  if (navigator_.MapPosition(from, &a) == 0 || navigator_.MapPosition(to, &b) == 0 ||
      navigator_.GetInfo(a.cell, start) == 0) {
    return 0;
  }
  if (start.code == kCodeEndOfText) return 1;
  const std::string text = navigator_.ExtractText(kExtractPlain, a.cell, b.cell);
  if (text.empty()) return 0;
  try {
    archive.Write(text.data(), text.size());
  } catch (const platform::CArchiveException&) {
    return 0;
  } catch (const platform::CFileException&) {
    return 0;
  }
  return 1;
}

// Reading.

int CTextTransfer::ReadBlock(platform::CArchive& archive, const CVedTextPos* pos, int* inserted,
                             EditResult* out) {
  *inserted = 0;
  std::vector<uint8_t> data;
  try {
    BlockTag tag{};
    if (archive.Read(tag.data(), tag.size()) != tag.size() || tag != MakeBlockTag()) return 0;
    int32_t length = 0;
    archive >> length;
    // A block that carries no range data (a writer that failed stores 0)
    // is an empty block, not a damaged one.
    if (length <= 0) {
      if (pos != nullptr) CTextEditor::NoChangeResult(*pos, out);
      return 1;
    }
    // A length is believed only as far as the archive can back it.
    if (static_cast<uint64_t>(length) > archive.RemainingBytes()) return 0;
    data.resize(static_cast<size_t>(length));
    archive.ReadExact(data.data(), data.size());
  } catch (const platform::CArchiveException&) {
    return 0;
  } catch (const platform::CFileException&) {
    return 0;
  }
  if (InsertRangeData(pos, data, out) == 0) return 0;
  *inserted = 1;
  return 1;
}

// Reads the groups of a block one at a time, each record over the
// previous one, as the writer wrote them.
class CTextTransfer::GroupDecoder {
 public:
  GroupDecoder(const CTextTransfer& transfer, std::span<const uint8_t> data)
      : transfer_(transfer),
        in_(data),
        kinsoku_(transfer.pageFormat_.lineStartChars, transfer.pageFormat_.lineEndChars) {
    // Indents, the vertical flag and the spare value start from the same
    // all zero base the writer starts from, so that a stored 0 comes back
    // as 0.
    previousParagraph_.alignment = kAlignJustify;
  }

  // The number of groups the block holds; 0 for a block that names none.
  int32_t ReadCount() {
    int32_t groups = 0;
    return in_.Int(&groups) && groups > 0 ? groups : 0;
  }

  // Reads one group in place of `group`'s contents and checks it.
  int ReadGroup(bool last, Group* group) {
    if (transfer_.ReadParagraph(in_, &previousParagraph_) == 0) return 0;
    group->record = previousParagraph_;
    uint16_t header = 0;
    uint16_t spare = 0;
    int32_t cells = 0;
    uint16_t marker = 0;
    if (!in_.Word(&header) || header != kBlockCellCountHeader || !in_.Word(&spare) ||
        !in_.Int(&cells) || !in_.Word(&marker) || marker != kBlockCellsMarker || cells <= 0 ||
        static_cast<size_t>(cells) > in_.Remaining() / kMinCellBytes) {
      return 0;
    }
    group->cells.clear();
    group->cells.reserve(static_cast<size_t>(cells));
    for (int32_t k = 0; k < cells; ++k) {
      if (transfer_.ReadCell(in_, kinsoku_, &previousCell_) == 0) return 0;
      group->cells.push_back(previousCell_);
    }
    group->endsText = group->cells.back().code == kCodeEndOfText;
    return CheckGroup(*group, last);
  }

  bool ReadEnd() {
    uint16_t end = 0;
    return in_.Word(&end) && end == kBlockEnd;
  }

 private:
  const CTextTransfer& transfer_;
  ByteReader in_;
  const CKinsokuClassifier kinsoku_;
  ParagraphInfo previousParagraph_;
  CharCell previousCell_;
};

int CTextTransfer::CheckRangeData(std::span<const uint8_t> data) const {
  GroupDecoder decoder(*this, data);
  const int32_t count = decoder.ReadCount();
  if (count == 0) return 0;
  Group group;
  for (int32_t i = 0; i < count; ++i) {
    if (decoder.ReadGroup(i + 1 == count, &group) == 0) return 0;
  }
  return decoder.ReadEnd() ? 1 : 0;
}

int CTextTransfer::ReadParagraph(ByteReader& in, ParagraphInfo* previous) const {
  uint16_t header = 0;
  uint16_t flags = 0;
  if (!in.Word(&header) || header != kBlockParagraphHeader || !in.Word(&flags)) return 0;
  ParagraphInfo p = *previous;
  // Size and gaps follow the page the text is read into.
  p.textWidth = pageFormat_.textWidth;
  p.textHeight = pageFormat_.textHeight;
  p.lineGap = pageFormat_.lineGap;
  p.paragraphGap = pageFormat_.lineGap;
  const bool read = ((flags & kParaHasLineGap) == 0 || in.Int(&p.lineGap)) &&
                    ((flags & kParaHasParagraphGap) == 0 || in.Int(&p.paragraphGap)) &&
                    ((flags & kParaHasReserved) == 0 || in.Int(&p.reserved2)) &&
                    ((flags & kParaHasFirstIndent) == 0 || in.Int(&p.firstIndent)) &&
                    ((flags & kParaHasLeftIndent) == 0 || in.Int(&p.leftIndent)) &&
                    ((flags & kParaHasRightIndent) == 0 || in.Int(&p.rightIndent)) &&
                    ((flags & kParaHasVertical) == 0 || in.Byte(&p.vertical)) &&
                    ((flags & kParaHasAlignment) == 0 || in.Byte(&p.alignment));
  const auto gapFits = [](int32_t gap) { return gap >= -kLargestGap && gap <= kLargestGap; };
  if (!read || p.vertical > 1 || p.alignment < kAlignJustify || p.alignment > kAlignRight ||
      p.firstIndent < 0 || p.leftIndent < 0 || p.rightIndent < 0 || !gapFits(p.lineGap) ||
      !gapFits(p.paragraphGap)) {
    return 0;
  }
  p.lineCount = 0;
  p.firstLine = p.lastLine = kNoNode;
  *previous = p;
  return 1;
}

int CTextTransfer::ReadCell(ByteReader& in, const CKinsokuClassifier& kinsoku,
                            CharCell* previous) const {
  uint16_t code = 0;
  uint16_t flags = 0;
  if (!in.Word(&code) || !in.Word(&flags) || code == 0) return 0;
  CharCell cell = *previous;
  CellDecoration& d = cell.decoration;
  CellDesign& g = cell.design;
  const bool read = ((flags & kCellHasFont) == 0 || in.Int(&cell.fontId)) &&
                    ((flags & kCellHasColor) == 0 || in.Colour(&cell.color)) &&
                    ((flags & kCellHasPlacement) == 0 || in.Byte(&cell.placement)) &&
                    ((flags & kCellHasDecoration) == 0 ||
                     (in.Byte(&d.underline) && in.Byte(&d.strikeOut) && in.Byte(&d.enclosure) &&
                      in.Byte(&d.shading) && in.Colour(&d.color))) &&
                    ((flags & kCellHasDesign) == 0 ||
                     (in.Byte(&g.shadow) && in.Byte(&g.hollow) && in.Byte(&g.reverse) &&
                      in.Byte(&g.spare) && in.Skip(kDesignSpareBytes)));
  if (!read) return 0;
  cell.cellWidth = 2 * pageFormat_.charGap;
  if ((flags & kCellHasWidth) != 0 && !in.Int(&cell.cellWidth)) return 0;

  if (code == kCodeCrLf) code = kCodeParagraphEnd;
  if (code == kCodePageBreak && options_.formFeedAllowed == 0) code = kCodeParagraphEnd;
  if (!IsStorableCode(code) || cell.placement >= kPlacementLimit ||
      CTextFormats::ValidateDecoration(d, kMaskEveryField) == 0 ||
      CTextFormats::ValidateDesign(g, kMaskEveryField) == 0) {
    return 0;
  }
  cell.code = code;
  cell.glyphWidth = 0;
  cell.adjustment = 0;
  cell.anchor = nullptr;
  if (IsControlCode(code)) {
    CTextEditor::SetDisplayTag(&cell);
    cell.breakClass = kBreakAny;
    cell.squeeze = 0;
  } else {
    CLineComposer::FoldChar(code, cell.tag);
    cell.breakClass = kinsoku.ClassOf(code);
    cell.squeeze = CLineComposer::IsSqueezable(code) ? 1 : 0;
  }
  // Absent fields of the next record come from this one.
  *previous = cell;
  return 1;
}

int CTextTransfer::CheckGroup(const Group& group, bool last) {
  const std::vector<CharCell>& cells = group.cells;
  for (size_t k = 0; k + 1 < cells.size(); ++k) {
    if (IsBreakCode(cells[k].code) || cells[k].code == kCodeEndOfText) return 0;
  }
  return last || IsBreakCode(cells.back().code) ? 1 : 0;
}

void CTextTransfer::PrepareCells(Group* group, FontMapping* fonts) const {
  for (CharCell& cell : group->cells) {
    auto found = fonts->mapped.find(cell.fontId);
    if (found == fonts->mapped.end()) {
      int32_t id = cell.fontId;
      MapFontId(&id);
      CharFontState state;
      // A font the stream does not name in a way this process can
      // realise is replaced by the page's base font.
      if (formats_.GetFontState(id, &state) == 0) {
        if (!fonts->baseResolved) {
          CharCell special;
          if (editor_.MakeSpecialCell(kCodeParagraphEnd, &special) != 0)
            fonts->baseFont = special.fontId;
          fonts->baseResolved = true;
        }
        if (fonts->baseFont >= 0) id = fonts->baseFont;
      }
      found = fonts->mapped.emplace(cell.fontId, id).first;
    }
    cell.fontId = found->second;
    cell.glyphWidth = IsControlCode(cell.code) ? 0 : formats_.GetCodeWidth(cell.fontId, cell.code);
  }
}

void CTextTransfer::PlaceEndMark(Group* last, bool onlyGroup, const CharCell& insertionCell) {
  const bool alone = onlyGroup && last->cells.size() == 1;
  if (!last->endsText || insertionCell.code == kCodeEndOfText || alone) return;
  // Taken in front of other text, a whole text keeps its last paragraph
  // apart, as the paragraph end that separates texts taken in at the end.
  CharCell& end = last->cells.back();
  end.code = kCodeParagraphEnd;
  CTextEditor::SetDisplayTag(&end);
}

// Inserting.

int CTextTransfer::InsertRangeData(const CVedTextPos* pos, std::span<const uint8_t> data,
                                   EditResult* out) {
  TextNodes at;
  // The position must name a cell of a line of a paragraph of this text
  // before anything is linked there.
  if (navigator_.MapPosition(pos, &at) == 0 ||
      navigator_.IndexInParent(kLevelLine, at.paragraph, at.line) == 0 ||
      navigator_.IndexInParent(kLevelCell, at.line, at.cell) == 0) {
    return 0;
  }
  CharCell insertionCell;
  if (CheckRangeData(data) == 0 || navigator_.GetInfo(at.cell, insertionCell) == 0) return 0;

  const NodeHandle before = navigator_.Navigate(kLevelParagraph, kNavPrevious, at.paragraph);
  const int32_t heightBefore = ParagraphHeight(at.paragraph);
  InsertedRange range;
  GroupDecoder decoder(*this, data);
  const int32_t count = decoder.ReadCount();
  FontMapping fonts;
  Group group;
  bool pageBreak = false;
  for (int32_t i = 0; i < count; ++i) {
    const bool last = i + 1 == count;
    if (decoder.ReadGroup(last, &group) == 0) return 0;
    PrepareCells(&group, &fonts);
    if (last) PlaceEndMark(&group, count == 1, insertionCell);
    pageBreak = pageBreak || group.cells.back().code == kCodePageBreak;
    const bool own = count > 1 && ((i == 0 && IsParagraphStart(at)) || (i > 0 && !last));
    const int done =
        own ? ReadAsNewParagraph(group, &at, &range) : ReadIntoParagraph(group, &at, &range);
    if (done == 0) return 0;
  }

  const NodeHandle firstParagraph = before != kNoNode
                                        ? navigator_.Navigate(kLevelParagraph, kNavNext, before)
                                        : navigator_.Navigate(kLevelParagraph, kNavFirst, kNoNode);
  int32_t heightAfter = 0;
  for (NodeHandle p = firstParagraph; p != kNoNode;
       p = navigator_.Navigate(kLevelParagraph, kNavNext, p)) {
    heightAfter += ParagraphHeight(p);
    if (p == at.paragraph) break;
  }
  // The first cell read in lies in the first paragraph touched and the
  // last one just before the insertion point: their lines are searched
  // from there rather than from the start of the text.
  const NodeHandle beforeInsertion =
      navigator_.Navigate(kLevelParagraph, kNavPrevious, at.paragraph);
  const NodeHandle lastParagraph = beforeInsertion != kNoNode ? beforeInsertion : at.paragraph;
  CVedTextPos cursor;
  CTextNavigator::MakePosition(at, &cursor);
  out->changed = 1;
  out->rangeStart = cursor;
  out->rangeEnd = cursor;
  if (range.first != kNoNode && (navigator_.PositionOfCell(kNavNext, firstParagraph, kNoNode,
                                                           range.first, &out->rangeStart) == 0 ||
                                 navigator_.PositionOfCell(kNavNext, lastParagraph, kNoNode,
                                                           range.last, &out->rangeEnd) == 0)) {
    return 0;
  }
  out->newCursor = cursor;
  out->startAux = CVedTextPos();
  out->endAux = CVedTextPos();
  out->heightDelta = heightAfter - heightBefore;
  out->pageBreakChanged = pageBreak ? 1 : 0;
  return 1;
}

int CTextTransfer::ReadAsNewParagraph(const Group& group, TextNodes* at, InsertedRange* range) {
  ParagraphInfo current;
  if (navigator_.GetInfo(at->paragraph, current) == 0 ||
      SetParagraphRecord(at->paragraph, group.record) == 0) {
    return 0;
  }
  return FinishGroup(group, at, range, &current);
}

int CTextTransfer::ReadIntoParagraph(const Group& group, TextNodes* at, InsertedRange* range) {
  ParagraphInfo current;
  if (navigator_.GetInfo(at->paragraph, current) == 0) return 0;
  const bool atStart = IsParagraphStart(*at);
  if ((atStart || group.endsText) && SetParagraphRecord(at->paragraph, group.record) == 0) {
    return 0;
  }
  // Inserted at a paragraph's start, the group's break leaves the old text
  // after it with its own record.
  return FinishGroup(group, at, range, atStart ? &current : nullptr);
}

int CTextTransfer::FinishGroup(const Group& group, TextNodes* at, InsertedRange* range,
                               const ParagraphInfo* tail) {
  const CharCell& end = group.cells.back();
  const bool endsWithMark = IsBreakCode(end.code) || end.code == kCodeEndOfText;
  const size_t linked = endsWithMark ? group.cells.size() - 1 : group.cells.size();
  NodeHandle first = kNoNode;
  NodeHandle last = kNoNode;
  if (editor_.LinkCellsBefore(*at, std::span(group.cells).first(linked), &first, &last) == 0) {
    return 0;
  }
  if (first != kNoNode) {
    if (range->first == kNoNode) range->first = first;
    range->last = last;
  }
  int32_t ignored = 0;
  if (IsBreakCode(end.code)) {
    NodeHandle breakNode = kNoNode;
    if (InsertParagraphBreak(at, end, tail, &ignored, &breakNode) == 0) return 0;
    if (range->first == kNoNode) range->first = breakNode;
    range->last = breakNode;
    return 1;
  }
  return editor_.ReflowParagraph(at->paragraph, at->line, &ignored) != 0 ? Refresh(at) : 0;
}

int CTextTransfer::InsertParagraphBreak(TextNodes* at, const CharCell& breakCell,
                                        const ParagraphInfo* record, int32_t* heightDelta,
                                        NodeHandle* breakNode) {
  if (!IsBreakCode(breakCell.code)) return 0;
  ParagraphInfo current;
  if (navigator_.GetInfo(at->paragraph, current) == 0) return 0;
  ParagraphInfo tail;
  if (record != nullptr) {
    tail = *record;
  } else if (options_.followNeighbours == 1) {
    tail = current;
  } else {
    tail = editor_.MakeDefaultParagraph();
  }
  return editor_.SplitParagraph(at, breakCell, current, tail, heightDelta, breakNode);
}

int CTextTransfer::SetParagraphRecord(NodeHandle paragraph, ParagraphInfo record) {
  ParagraphInfo current;
  if (navigator_.GetInfo(paragraph, current) == 0) return 0;
  ClampIndents(&record);
  record.lineCount = current.lineCount;
  record.firstLine = current.firstLine;
  record.lastLine = current.lastLine;
  return editor_.SetInfo(paragraph, record);
}

bool CTextTransfer::IsParagraphStart(const TextNodes& at) const {
  ParagraphInfo paragraph;
  return navigator_.GetInfo(at.paragraph, paragraph) != 0 && paragraph.firstLine == at.line &&
         navigator_.GetChild(kLevelCell, false, at.line) == at.cell;
}

int CTextTransfer::Refresh(TextNodes* at) const {
  CVedTextPos pos;
  if (navigator_.PositionOfCell(kNavNext, at->paragraph, kNoNode, at->cell, &pos) == 0) return 0;
  return navigator_.MapPosition(&pos, at);
}

int32_t CTextTransfer::ParagraphHeight(NodeHandle paragraph) const {
  int32_t widest = 0;
  int32_t height = 0;
  navigator_.MeasureParagraph(true, paragraph, &widest, &height);
  return height;
}

// Helpers.

int CTextTransfer::CheckPlainText(std::string* text) {
  const size_t nul = text->find('\0');
  if (nul != std::string::npos) text->resize(nul);
  for (size_t i = 0; i < text->size(); ++i) {
    const auto byte = static_cast<uint8_t>((*text)[i]);
    if (platform::IsLeadByte(byte)) {
      if (i + 1 >= text->size() || !IsTrailByte(static_cast<uint8_t>((*text)[i + 1]))) return 0;
      ++i;
    } else if (byte < kFirstPrintable && byte != '\t' && byte != '\n' && byte != '\f' &&
               byte != '\r') {
      (*text)[i] = static_cast<char>(kMiddleDot);
    }
  }
  return 1;
}

void CTextTransfer::MapFontId(int32_t* id) const {
  if (renderer_ != nullptr) renderer_->MapSavedFont(pageFormat_.referenceDC, id);
}

void CTextTransfer::ClampIndents(ParagraphInfo* paragraph) const {
  // Stored indents may be anything up to the int32 range: the rooms are
  // worked out wide, and whole pitches are taken at once.
  const int64_t pitch = pageFormat_.charPitch;
  if (pitch <= 0) return;
  int32_t& first = paragraph->firstIndent;
  int32_t& left = paragraph->leftIndent;
  int32_t& right = paragraph->rightIndent;
  const int64_t width = paragraph->textWidth;
  auto firstLineRoom = [&] { return width - right - first; };
  auto lineRoom = [&] { return width - right - left; };
  auto pitchesShort = [pitch](int64_t room) {
    return room >= pitch ? int64_t{0} : (2 * pitch - room - 1) / pitch;
  };
  auto takePitches = [pitch](int32_t& indent, int64_t count) {
    indent = static_cast<int32_t>(std::max<int64_t>(0, indent - count * pitch));
  };
  takePitches(right, std::max(pitchesShort(firstLineRoom()), pitchesShort(lineRoom())));
  const int64_t firstLineShort = pitchesShort(firstLineRoom());
  takePitches(first, firstLineShort);
  takePitches(left, firstLineShort);
  takePitches(left, pitchesShort(lineRoom()));
}
