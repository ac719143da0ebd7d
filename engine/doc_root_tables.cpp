// The table commands of the document root: creating a table at the caret,
// changing the rows, columns and widths of the caret's table, deleting it,
// its attributes, the document-wide table line setting and the queries
// about the caret's cell. Each edit runs in the common frame: snapshot,
// undo recording, the container's table operation, the logged step, the
// after-edit update and the spoken confirmation.
#include <string>

#include "engine/doc_root.h"
#include "model/table_object.h"

namespace {

// Edit types that tell undo recording what to save and how to undo.
constexpr int kEditDeleteSelection = 3;
constexpr int kEditCreateTable = 51;
constexpr int kEditDeleteTable = 58;
constexpr int kEditTableAttributes = 56;
// By EditTableLayout operation, 1 to 5: column width, insert column,
// insert row, delete column, delete row.
constexpr int kLayoutEditTypes[] = {57, 53, 52, 55, 54};

// The phrases of SpeakTableChange for a whole table.
constexpr int kPhraseTableCreated = -1;
constexpr int kPhraseTableDeleted = -2;

// Highlight flags of the after-edit update.
constexpr int kHighlightNone = 0;
constexpr int kHighlightEdited = 1;
constexpr int kHighlightHeightChanged = 3;
constexpr int kHighlightWholeObject = 11;

// The selection is deleted with its own undo recording, whatever the
// command's direction: the recording only runs while the command opened it.
constexpr int kRecordDeletion = 1;

static_assert(sizeof(CDocBunsObj::TableAttributes) == 33 * sizeof(int32_t),
              "the table attribute record is thirty-three 32-bit words");

CTableObject* CaretTable(CDocObjContainer& root) {
  if (root.Children().GetCurrentType() != kObjectTable) return nullptr;
  return dynamic_cast<CTableObject*>(root.Children().GetCurrent());
}

// Remembers the caret's cell, so that the next move does not announce the
// cell the caret already stands in.
void RefreshAnnouncedCell(CDocBunsObj& root) {
  std::string unused;
  root.GetCellPositionText(unused, 0);
}

bool IsLayoutOperation(int operation) {
  return operation >= CDocBunsObj::kTableColumnWidth && operation <= CDocBunsObj::kTableDeleteRow;
}

}  // namespace

int CDocBunsObj::CreateTable(int direction, int32_t rows, int32_t columns, ChangeRecord* out,
                             int speak) {
  if (out != nullptr) *out = ChangeRecord{};
  if (CheckReadOnly() != 0) return 0;
  if (SelectionSpansChildren() || Children().GetCurrentType() != kObjectText) {
    feedback_.Cue(kCueRefused, kCueInterrupt, kCueAsync);
    return 0;
  }
  RememberCaretState();
  BeginUndoRecording(direction);
  EditResult deleted;
  const int deletedAny =
      HasSelection() ? ApplyEditWithUndo(kRecordDeletion, &deleted, 0, kEditDeleteSelection) : 0;
  SaveBeforeEdit(direction, kEditCreateTable, 1);
  EditResult created;
  const int changed = InsertTable(rows, columns, &created);
  CVedTextPos cursor;
  if (changed == 0) {
    if (deletedAny == 0) {
      CancelUndoRecording(direction);
    } else {
      // The selection went though no table came: the caret must still
      // follow the deletion, which stays recorded on its own.
      GetCursor(&cursor);
      UpdateAfterChange({.edited = true,
                         .caret = &cursor,
                         .result = &deleted,
                         .change = out,
                         .changeFlags = kHighlightWholeObject});
    }
    feedback_.Cue(kCueWarning, kCueInterrupt, kCueAsync);
    EndUndoRecording(direction);
    return 0;
  }
  if (CTableObject* table = CaretTable(*this)) table->SetTableFlags(tableLineKind_);
  LogAfterEdit(direction, kEditCreateTable, &created);
  GetCursor(&cursor);
  UpdateAfterChange({.edited = true,
                     .caret = &cursor,
                     .result = &created,
                     .change = out,
                     .changeFlags = kHighlightWholeObject});
  if (speak != 0) SpeakTableChange(kPhraseTableCreated, &created);
  RefreshAnnouncedCell(*this);
  EndUndoRecording(direction);
  return changed;
}

int CDocBunsObj::EditTableLayout(int direction, int operation, ChangeRecord* out, int32_t value,
                                 int speak) {
  if (out != nullptr) *out = ChangeRecord{};
  if (!IsLayoutOperation(operation) || CaretTable(*this) == nullptr) return 0;
  if (CheckReadOnly() != 0) return 0;
  RememberCaretState();
  BeginUndoRecording(direction);
  ResetSelection(0);
  const int editType = kLayoutEditTypes[operation - 1];
  SaveBeforeEdit(direction, editType, 0);
  EditResult result;
  const int changed =
      EditTableRowsColumns(operation, &result, operation == kTableColumnWidth ? value : 0);
  if (changed != 0) {
    LogAfterEdit(direction, editType, &result);
    if (speak != 0) SpeakTableChange(operation, &result);
    int flags = kHighlightNone;
    if (operation == kTableInsertColumn || operation == kTableDeleteColumn) {
      flags = result.heightDelta != 0 ? kHighlightHeightChanged : kHighlightEdited;
    }
    CVedTextPos cursor;
    GetCursor(&cursor);
    UpdateAfterChange(
        {.edited = true, .caret = &cursor, .result = &result, .change = out, .changeFlags = flags});
    RefreshAnnouncedCell(*this);
  } else {
    feedback_.Cue(kCueWarning, kCueInterrupt, kCueAsync);
    // A width or a column that could not change leaves the undo lists as
    // they are; a failed row operation or column deletion drops them.
    if (operation >= kTableInsertRow) CancelUndoRecording(direction);
  }
  EndUndoRecording(direction);
  return changed;
}

int CDocBunsObj::DeleteTable(int direction, ChangeRecord* out, int speak) {
  if (out != nullptr) *out = ChangeRecord{};
  if (CaretTable(*this) == nullptr || CheckReadOnly() != 0) return 0;
  RememberCaretState();
  BeginUndoRecording(direction);
  SaveBeforeEdit(direction, kEditDeleteTable, 0);
  ResetSelection(0);
  EditResult result;
  const int changed = CDocObjContainer::DeleteTable(&result);
  if (changed != 0) {
    LogAfterEdit(direction, kEditDeleteTable, &result);
    CVedTextPos cursor;
    GetCursor(&cursor);
    UpdateAfterChange({.edited = true,
                       .caret = &cursor,
                       .result = &result,
                       .change = out,
                       .changeFlags = kHighlightWholeObject});
    if (speak != 0) SpeakTableChange(kPhraseTableDeleted, &result);
    RefreshAnnouncedCell(*this);
  } else {
    CancelUndoRecording(direction);
    feedback_.Cue(kCueWarning, kCueInterrupt, kCueAsync);
  }
  EndUndoRecording(direction);
  return changed;
}

void CDocBunsObj::SetTableLineKind(uint16_t value) {
  tableLineKind_ = value;
  const CDocChildList& list = Children();
  for (int32_t i = 0; i < list.GetCount(); ++i) {
    if (list.GetTypeAt(i) != kObjectTable) continue;
    if (auto* table = dynamic_cast<CTableObject*>(list.GetAt(i))) table->SetTableFlags(value);
  }
}

int CDocBunsObj::SetTableAttributes(int direction, const TableAttributes* record,
                                    ChangeRecord* out) {
  if (out != nullptr) *out = ChangeRecord{};
  if (record == nullptr || CaretTable(*this) == nullptr || CheckReadOnly() != 0) return 0;
  RememberCaretState();
  BeginUndoRecording(direction);
  SaveBeforeEdit(direction, kEditTableAttributes, 0);
  ResetSelection(0);
  EditResult result;
  const int changed = SetColumnWidth(&record->layout, &result);
  if (changed != 0) {
    LogAfterEdit(direction, kEditTableAttributes, &result);
    CVedTextPos cursor;
    GetCursor(&cursor);
    UpdateAfterChange({.edited = true,
                       .caret = &cursor,
                       .result = &result,
                       .change = out,
                       .changeFlags = kHighlightHeightChanged});
  } else {
    CancelUndoRecording(direction);
    feedback_.Cue(kCueWarning, kCueInterrupt, kCueAsync);
  }
  EndUndoRecording(direction);
  return changed;
}

int CDocBunsObj::GetTableAttributes(TableAttributes* out) {
  CTableObject* table = CaretTable(*this);
  if (table == nullptr || out == nullptr) return 0;
  *out = TableAttributes{};
  table->GetTableLayout(&out->layout);
  return 1;
}

int32_t CDocBunsObj::GetColumnWidth() {
  const CTableObject* table = CaretTable(*this);
  return table != nullptr ? table->GetColumnWidthAt(nullptr) : 0;
}

int32_t CDocBunsObj::GetTableColumnCount() {
  const CTableObject* table = CaretTable(*this);
  return table != nullptr ? table->Columns() : 0;
}

int32_t CDocBunsObj::GetTableRowCount() {
  const CTableObject* table = CaretTable(*this);
  return table != nullptr ? table->Rows() : 0;
}

int CDocBunsObj::GetCellPosition(uint16_t out[2]) {
  CTableObject* table = CaretTable(*this);
  if (table == nullptr || out == nullptr) return 0;
  int32_t row = 0;
  int32_t column = 0;
  table->GetCellAt(nullptr, &row, &column);
  out[0] = static_cast<uint16_t>(row + 1);
  out[1] = static_cast<uint16_t>(column + 1);
  return 1;
}
