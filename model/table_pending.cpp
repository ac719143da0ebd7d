// These operations answer failure and change nothing until the table's
// caret moves, editing and transfer are built.
#include "model/table_object.h"

int CTableObject::DeleteRange(const CVedTextPos*, const CVedTextPos*, EditResult*) { return 0; }

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

int CTableObject::PasteTableData(platform::CArchive&, int, EditResult* out) {
  if (out != nullptr) *out = EditResult{};
  return 0;
}
