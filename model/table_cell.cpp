#include "model/table_cell.h"

#include <algorithm>
#include <exception>

#include "model/text_navigator.h"
#include "model/texts.h"

namespace {

// The mode of the own block tag under which a cell writes its signature.
constexpr int kCellBlockMode = 2;

constexpr int kStoreDone = 1;
constexpr int kStoreFailed = -1;

}  // namespace

CTableCellObj::CTableCellObj() : signature_(platform::MakeSignature(kTableCellSignature)) {}

CTableCellObj::~CTableCellObj() = default;

PageFormat CTableCellObj::WithCellFlag(const PageFormat& format) const {
  PageFormat copy = format;
  copy.cellFlag = filler_ != 0 ? 1 : 0;
  return copy;
}

int CTableCellObj::SetPageFormat(const PageFormat* format) {
  if (format == nullptr) return 0;
  const PageFormat copy = WithCellFlag(*format);
  return CDocObjContainer::SetPageFormat(&copy);
}

int CTableCellObj::ApplyPageFormat(const PageFormat* format) {
  if (format == nullptr) return 0;
  const PageFormat copy = WithCellFlag(*format);
  return CDocObjContainer::ApplyPageFormat(&copy);
}

// The row may be shorter than a content that has not been re-measured
// yet; the height down to the cell's bottom then never goes below 0.
int32_t CTableCellObj::GetHeight(const CVedTextPos* from, const CVedTextPos* to) {
  const int32_t rowHeight = Format().textHeight;
  if (from == nullptr && to == nullptr) return rowHeight;
  const int32_t height = CDocObjContainer::GetHeight(from, to);
  if (to != nullptr) return height;
  const int32_t below = rowHeight - CDocObjContainer::GetHeight(nullptr, nullptr);
  return std::max(0, height + below);
}

int32_t CTableCellObj::PositionFromPoint(int setCursor, const CVedTextPos* base, int32_t x,
                                         int32_t y, CVedTextPos* out) {
  const int32_t answer = CDocObjContainer::PositionFromPoint(setCursor, base, x, y, out);
  if (answer <= 0) return answer;
  const int32_t rowHeight = Format().textHeight;
  if (rowHeight < y) return rowHeight;
  const MoveParams lastLine{setCursor != 0 ? 1 : 0, x, 0};
  MoveCursor(kMoveLastLineAtX, &lastLine, nullptr, out);
  return 0;
}

int CTableCellObj::SerializeRange(platform::CArchive& archive, int tag, int mode,
                                  const CVedTextPos* from, const CVedTextPos* to, EditResult* out) {
  if (tag != kFormatOwnBlock || mode != kCellBlockMode) {
    return CDocObjContainer::SerializeRange(archive, tag, mode, from, to, out);
  }
  return archive.IsStoring() ? StoreBlock(archive, tag, mode, from, to, out)
                             : LoadBlock(archive, tag, mode, from, out);
}

int CTableCellObj::StoreBlock(platform::CArchive& archive, int tag, int mode,
                              const CVedTextPos* from, const CVedTextPos* to, EditResult* out) {
  try {
    archive.WriteSignature(signature_);
  } catch (const std::exception&) {
    return kStoreFailed;
  }
  const int answer = CDocObjContainer::SerializeRange(archive, tag, mode, from, to, out);
  return answer < 0 ? kStoreFailed : kStoreDone;
}

// A wrong signature ends the load before anything else is read, and the
// caller learns of it as of any failed load.
int CTableCellObj::LoadBlock(platform::CArchive& archive, int tag, int mode,
                             const CVedTextPos* from, EditResult* out) {
  bool signatureFound = false;
  try {
    signatureFound = archive.CheckSignature(signature_);
  } catch (const std::exception&) {
    signatureFound = false;
  }
  if (!signatureFound) {
    if (out != nullptr) *out = EditResult{};
    return kBadSignature;
  }
  return CDocObjContainer::SerializeRange(archive, tag, mode, from, nullptr, out);
}

int32_t CTableCellObj::GetContentHeight() const {
  const CDocChildList& list = Children();
  const int32_t counted = filler_ != 0 ? list.GetCount() - 1 : list.GetCount();
  int32_t sum = 0;
  for (int32_t i = 0; i < counted; ++i) sum += list.GetHeightAt(i);
  return sum;
}

CDocObject* CTableCellObj::GetFirstChild() const { return Children().GetAt(0); }
