// These operations answer failure and change nothing until the table's
// caret moves, editing and transfer are built.
#include "model/table_object.h"

int CTableObject::PasteTableData(platform::CArchive&, int, EditResult* out) {
  if (out != nullptr) *out = EditResult{};
  return 0;
}
