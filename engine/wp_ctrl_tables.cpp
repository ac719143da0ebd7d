// The 7000s: ruled tables at the caret. The editing ones follow the
// editing pattern; the document root owns the rules.
#include <string>

#include "engine/command_param.h"
#include "engine/wp_ctrl.h"

namespace {

int LayoutOperation(int code) {
  switch (code) {
    case WPC_INSERT_COLUMN:
      return CDocBunsObj::kTableInsertColumn;
    case WPC_INSERT_ROW:
      return CDocBunsObj::kTableInsertRow;
    case WPC_DELETE_COLUMN:
      return CDocBunsObj::kTableDeleteColumn;
    case WPC_DELETE_ROW:
      return CDocBunsObj::kTableDeleteRow;
    default:
      return 0;
  }
}

}  // namespace

void CVedWpCtrl::FinishEdit(ChangeRecord& change, int changed, int direction) {
  if (changed != 0 && change.changed != 0) AfterEdit(&change, 0, direction, 1, 1, 1);
}

intptr_t CVedWpCtrl::HandleTableCommand(int code, int direction, intptr_t value) {
  constexpr int kSpeak = 1;
  ChangeRecord change;
  switch (code) {
    case WPC_CREATE_TABLE: {
      const auto rows = static_cast<int32_t>((value >> 16) & 0xFFFF);
      const auto columns = static_cast<int32_t>(value & 0xFFFF);
      const int changed = root_->CreateTable(direction, rows, columns, &change, kSpeak);
      FinishEdit(change, changed, direction);
      return changed;
    }
    case WPC_SET_COLUMN_WIDTH: {
      // The width in characters comes as the value itself.
      const int changed = root_->EditTableLayout(direction, CDocBunsObj::kTableColumnWidth, &change,
                                                 static_cast<int32_t>(value), kSpeak);
      FinishEdit(change, changed, direction);
      return changed;
    }
    case WPC_INSERT_COLUMN:
    case WPC_INSERT_ROW:
    case WPC_DELETE_COLUMN:
    case WPC_DELETE_ROW: {
      const int changed =
          root_->EditTableLayout(direction, LayoutOperation(code), &change, 0, kSpeak);
      FinishEdit(change, changed, direction);
      return changed;
    }
    case WPC_DELETE_TABLE: {
      const int changed = root_->DeleteTable(direction, &change, kSpeak);
      FinishEdit(change, changed, direction);
      return changed;
    }
    case WPC_SET_TABLE_LINE_KIND:
      if (const auto* setting = As<const uint16_t>(value)) root_->SetTableLineKind(*setting);
      return 0;
    case WPC_GET_TABLE_LINE_KIND:
      if (auto* setting = As<uint16_t>(value)) *setting = root_->GetTableLineKind();
      return 0;
    case WPC_SET_TABLE_ATTRIBUTES: {
      const int changed = root_->SetTableAttributes(
          direction, As<const CDocBunsObj::TableAttributes>(value), &change);
      FinishEdit(change, changed, direction);
      if (changed != 0) {
        Notify(WM_WPC_CARETMOVED, 0, reinterpret_cast<platform::LPARAM>(&caretDisplay_));
      }
      return changed;
    }
    case WPC_GET_TABLE_ATTRIBUTES:
      return root_->GetTableAttributes(As<CDocBunsObj::TableAttributes>(value));
    case WPC_GET_COLUMN_WIDTH:
      return root_->GetColumnWidth();
    case WPC_GET_TABLE_COLUMNS:
      return root_->GetTableColumnCount();
    case WPC_GET_TABLE_ROWS:
      return root_->GetTableRowCount();
    case WPC_GET_CELL_POSITION: {
      uint16_t cell[2] = {0, 0};
      const int found = root_->GetCellPosition(cell);
      if (auto* packed = As<int32_t>(value); found != 0 && packed != nullptr) {
        *packed = static_cast<int32_t>((uint32_t{cell[0]} << 16) | cell[1]);
      }
      return found;
    }
    case WPC_GET_CELL_TEXT: {
      auto* phrase = As<std::string>(value);
      return phrase != nullptr ? root_->GetCellPositionText(*phrase, 0) : 0;
    }
    default:
      return 0;
  }
}
