// These operations answer failure and change nothing until the table's
// caret moves, editing and transfer are built.
#include "model/table_object.h"

int CTableObject::CheckPageFormat(const PageFormat*) { return kFormatTooWide; }

int CTableObject::ApplyPageFormat(const PageFormat*) { return 0; }

int CTableObject::GetKindAt(const CVedTextPos*, ObjectDescription*) { return 0; }

platform::RECT* CTableObject::GetPositionRect(platform::RECT* out, int, const CVedTextPos*,
                                              const CVedTextPos*) {
  if (out != nullptr) *out = platform::RECT{};
  return out;
}

platform::RECT* CTableObject::GetFrameRect(platform::RECT* out, const CVedTextPos*) {
  if (out != nullptr) *out = platform::RECT{};
  return out;
}

int CTableObject::GetLineColumn(int32_t*, int32_t*, const CVedTextPos*, const CVedTextPos*) {
  return 0;
}

int CTableObject::PositionFromLineColumn(int32_t, int32_t, const CVedTextPos*, CVedTextPos*) {
  return 0;
}

int32_t CTableObject::CountLines(const CVedTextPos*, const CVedTextPos*) { return 0; }

int32_t CTableObject::GetHeight(const CVedTextPos*, const CVedTextPos*) { return 0; }

LineMetrics* CTableObject::GetLineMetrics(LineMetrics* out, const CVedTextPos*) {
  if (out != nullptr) *out = LineMetrics{};
  return out;
}

LineMetrics* CTableObject::GetPageLineMetrics(LineMetrics* out, const CVedTextPos*) {
  if (out != nullptr) *out = LineMetrics{};
  return out;
}

int CTableObject::StepLine(const CVedTextPos*, int, CVedTextPos*) { return 0; }

int CTableObject::StepPageLine(const CVedTextPos*, int, CVedTextPos*) { return 0; }

int CTableObject::IsFirstLine(const CVedTextPos*) { return 0; }

int CTableObject::IsLastLine(const CVedTextPos*) { return 0; }

int CTableObject::GetCursor(CVedTextPos*) { return 0; }

int CTableObject::SetCursor(const CVedTextPos*) { return 0; }

int CTableObject::InsertText(std::string_view, EditResult*) { return 0; }

int CTableObject::DeleteChar(int, EditResult*) { return 0; }

int CTableObject::DeleteRange(const CVedTextPos*, const CVedTextPos*, EditResult*) { return 0; }

int CTableObject::AdjustRange(const CVedTextRange*, CVedTextRange*) { return 0; }

int CTableObject::FindText(int, int, std::string_view, CVedTextRange*) { return 0; }

int CTableObject::Draw(const CVedTextPos*, int, int32_t, int, int32_t, DrawResult* out) {
  if (out != nullptr) *out = DrawResult{};
  return 0;
}

int CTableObject::ApplyFontValue(int32_t, const CVedTextPos*, const CVedTextPos*) { return 0; }

int CTableObject::SetCharFont(const CharFormat*, const CVedTextPos*, const CVedTextPos*,
                              EditResult*) {
  return 0;
}

int CTableObject::GetCharFont(CharFormat*, const CVedTextPos*, const CVedTextPos*) { return 0; }

int CTableObject::SetCharDecoration(const CharDecoration*, const CVedTextPos*, const CVedTextPos*,
                                    EditResult*) {
  return 0;
}

int CTableObject::GetCharDecoration(CharDecoration*, const CVedTextPos*, const CVedTextPos*) {
  return 0;
}

int CTableObject::SetCharDesign(const CharDesign*, const CVedTextPos*, const CVedTextPos*,
                                EditResult*) {
  return 0;
}

int CTableObject::GetCharDesign(CharDesign*, const CVedTextPos*, const CVedTextPos*) { return 0; }

int CTableObject::SetParaFormat(const ParaFormat*, const CVedTextPos*, const CVedTextPos*,
                                EditResult*) {
  return 0;
}

int CTableObject::GetParaFormat(ParaFormat*, const CVedTextPos*, const CVedTextPos*) { return 0; }

int CTableObject::GetCursorFormat(int, CharFormat*) { return 0; }

int CTableObject::SetAnchor(int, CVedAnchor*, const CVedTextPos*) { return 0; }

CVedAnchor* CTableObject::FindAnchor(int, const CVedTextPos*, int) { return nullptr; }

int CTableObject::SerializeRange(platform::CArchive&, int, int, const CVedTextPos*,
                                 const CVedTextPos*, EditResult*) {
  return -1;
}

int CTableObject::MergeFrom(CDocObject*, int, EditResult*) { return 0; }

int CTableObject::SplitInto(const CVedTextPos*, CDocObject*, EditResult*) { return 0; }

int CTableObject::ComparePositions(const CVedTextPos*, const CVedTextPos*) {
  return kCompareIncomparable;
}
