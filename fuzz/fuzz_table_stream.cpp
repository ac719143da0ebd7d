// The table stream: the "TABLE_OBJECT" signature, header, flag bytes and
// column widths, then per grid position a cell block and two line-style
// records, then the border records; read into an empty table, or pasted
// over a table at its caret; and the blocks and text a cell takes in.
//
// Byte 0 chooses the load; the rest is the stream.
//   bits 0-1  0 a whole table into an empty one
//             1 a block into the cell under the caret of a 2 x 3 table
//             2 a table pasted over a 2 x 3 table at its caret
//             3 plain text into the cell under the caret
//   bit 2     the caret in the second row rather than the first
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fuzz_support.h"
#include "model/table_object.h"

namespace {

bool Build(CTableObject& table, bool lastRow) {
  TableLayout layout;
  layout.verticalRuleWidth = lexora_fuzz::kPitch;
  layout.horizontalRuleHeight = lexora_fuzz::kLinePitch / 2;
  EditResult built;
  if (!table.Create(2, 3, 13 * lexora_fuzz::kPitch, layout, &built)) return false;
  for (int32_t i = 0; i < 6; ++i) {
    EditResult typed;
    table.CellAt(i)->InsertText(std::string(1 + i % 2, static_cast<char>('a' + i)), &typed);
  }
  const MoveParams set{1, 0, 1};
  table.MoveCursor(kMoveDocumentStart, &set, nullptr, nullptr);
  table.MoveCursor(kMoveNextChar, &set, nullptr, nullptr);
  table.MoveCursor(kMoveLineDown, &set, nullptr, nullptr);
  if (lastRow) {
    for (const int move : {kMoveLineDown, kMoveLineDown, kMoveNextChar, kMoveNextChar}) {
      table.MoveCursor(move, &set, nullptr, nullptr);
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t choice = data[0];
  const std::span<const uint8_t> stream(data + 1, size - 1);
  const int form = choice & 3;

  lexora_fuzz::Process process;
  lexora_fuzz::ModelWorld world(20);
  CTableObject table;
  world.Prepare(table, DocObjOptions::ContainerDefaults());
  if (form != 0 && !Build(table, (choice & 4) != 0)) return 0;

  lexora_fuzz::InputArchive archive(stream);
  EditResult loaded;
  int answer = 0;
  switch (form) {
    case 0:
      answer = table.LoadTable(*archive, 0, &loaded);
      break;
    case 1:
      answer = table.LoadTable(*archive, 1, &loaded);
      break;
    case 2:
      answer = table.SerializeRange(*archive, kFormatOwnBlock, 0, nullptr, nullptr, &loaded);
      break;
    default:
      answer = table.SerializeRange(*archive, kFormatPlainText, 0, nullptr, nullptr, &loaded);
      break;
  }
  if (answer <= 0 || table.IsEmpty() != 0) return 0;
  lexora_fuzz::StoreObject(table, kFormatOwnBlock, 0);
  lexora_fuzz::StoreObject(table, kFormatPlainText, 0);
  const MoveParams set{1, 0, 1};
  table.MoveCursor(kMoveDocumentEnd, &set, nullptr, nullptr);
  table.MoveCursor(kMoveLineUp, &set, nullptr, nullptr);
  EditResult typed;
  table.InsertText("x", &typed);
  table.GetHeight(nullptr, nullptr);
  return 0;
}
