#include "model/table_object.h"

namespace {

constexpr DocObjOptions kTableDefaultOptions{1, 0, 1, 0, 0};

}  // namespace

CTableObject::CTableObject() : options_(kTableDefaultOptions) {
  pageFormat_.referenceDC = nullptr;
  pageFormat_.textWidth = 0;
  pageFormat_.textHeight = kUnboundedTextHeight;
}

CTableObject::~CTableObject() = default;

int CTableObject::Initialize(CDocRenderer* renderer, CEditFeedback* feedback) {
  renderer_ = renderer;
  feedback_ = feedback;
  return 1;
}

int CTableObject::Clear() {
  const int freed = FreeContent();
  ResetMembers();
  return freed;
}

int CTableObject::SetPageFormat(const PageFormat* format) {
  const int freed = FreeContent();
  ResetMembers();
  if (format != nullptr) pageFormat_ = *format;
  return freed;
}

int CTableObject::Reset() {
  FreeContent();
  ResetMembers();
  return 1;
}

int CTableObject::GetPageFormat(PageFormat* out) {
  if (out == nullptr) return 0;
  *out = pageFormat_;
  return 1;
}

int CTableObject::SetOptions(const DocObjOptions* options) {
  if (options == nullptr) return 0;
  options_ = *options;
  options_.freeCursor = 1;
  options_.formFeedAllowed = 0;
  int answer = 1;
  for (auto& cell : cells_) answer = cell->SetOptions(&options_);
  return answer;
}

DocObjOptions* CTableObject::GetOptions(DocObjOptions* out) {
  if (out != nullptr) *out = options_;
  return out;
}

int CTableObject::IsEmpty() { return rows_ == 0 || columns_ == 0 ? 1 : 0; }

int CTableObject::SetReferenceDC(platform::HDC dc) {
  pageFormat_.referenceDC = dc;
  int answer = 1;
  for (auto& cell : cells_) answer = cell->SetReferenceDC(dc);
  return answer;
}

int32_t CTableObject::CountChars() {
  int32_t sum = 0;
  for (auto& cell : cells_) sum += cell->CountChars();
  return sum;
}

int32_t CTableObject::CountAux() {
  int32_t sum = 0;
  for (auto& cell : cells_) sum += cell->CountAux();
  return sum;
}

int CTableObject::SetCharFormat(const CharFormat* format) {
  if (format == nullptr) return 0;
  cellFormat_ = *format;
  int answer = 1;
  for (auto& cell : cells_) answer = cell->SetCharFormat(format);
  return answer;
}

int CTableObject::GetCharFormat(CharFormat* out) {
  if (out == nullptr) return 0;
  if (cells_.empty()) {
    *out = cellFormat_;
    return 1;
  }
  return cells_.front()->GetCharFormat(out);
}

void CTableObject::SetTableFlags(uint16_t flags) {
  ruleGrid_ = static_cast<uint8_t>(flags & 0xFF);
  secondLineSetting_ = static_cast<uint8_t>(flags >> 8);
}

void CTableObject::ResetMembers() {
  caret_ = TableCaret{};
  leftOffset_ = 0;
  rows_ = 0;
  columns_ = 0;
}

void CTableObject::ReleaseLineAnchors() {
  for (TableRowRecord& record : rowRecords_) {
    if (record.anchor != nullptr) record.anchor->ResetValue2();
    record.anchor = nullptr;
  }
}

int CTableObject::FreeContent() {
  int answer = 1;
  for (auto& cell : cells_) {
    cell->Reset();
    if (cell->Clear() == 0) answer = 0;
  }
  cells_.clear();
  records_.clear();
  ReleaseLineAnchors();
  rowRecords_.clear();
  horizontal_.clear();
  vertical_.clear();
  columnWidths_.clear();
  rowHeights_.clear();
  return answer;
}

int32_t CTableObject::TableHeight() const {
  if (rows_ == 0) return 0;
  int32_t height = ruleHeight_;
  for (int32_t h : rowHeights_) height += ruleHeight_ + h;
  return height;
}

CTableCellObj* CTableObject::CellAt(int32_t index) const {
  if (index < 0 || index >= CellCount()) return nullptr;
  return cells_[static_cast<size_t>(index)].get();
}

CTableCellObj* CTableObject::CellOf(int32_t column, int32_t row) const {
  if (!IsInGrid(column, row)) return nullptr;
  const size_t index =
      static_cast<size_t>(row) * static_cast<size_t>(columns_) + static_cast<size_t>(column);
  if (index >= records_.size()) return nullptr;
  return CellAt(records_[index].objectIndex);
}

CLineStyle* CTableObject::HorizontalRule(int32_t index) const {
  if (index < 0 || index >= HorizontalRuleCount()) return nullptr;
  return horizontal_[static_cast<size_t>(index)].get();
}

CLineStyle* CTableObject::VerticalRule(int32_t index) const {
  if (index < 0 || index >= VerticalRuleCount()) return nullptr;
  return vertical_[static_cast<size_t>(index)].get();
}

bool CTableObject::IsInGrid(int32_t column, int32_t row) const {
  return column >= 0 && column < columns_ && row >= 0 && row < rows_;
}
