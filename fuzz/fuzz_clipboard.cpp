// The clipboard's data as a paste reads it: the program's own format (the
// document-root header and the content, checked in a scratch container
// first) or Shift-JIS text, put on the clipboard by another program.
//
// Byte 0 chooses the format and the place; the rest is the block.
//   bit 0     the program's own format, else text
//   bits 1-2  the document before: text with the caret in it; text with
//             a selection; the caret in a table's cell; a selection that
//             ends in a table
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz_support.h"
#include "platform/clipboard.h"

namespace {

void Populate(lexora_fuzz::Engine& engine, int kind) {
  engine.Type("ABC\r\x82\xA0\x82\xA2\x82\xA4\rDEF");
  engine.Move(kMoveLineUp);
  switch (kind) {
    case 1:
      engine.MoveExtend(kMoveLineStart);
      engine.MoveExtend(kMoveLineUp);
      break;
    case 2:
      engine.CreateTable(2, 2);
      engine.Type("\x82\xA9");
      break;
    case 3:
      engine.CreateTable(2, 2);
      engine.Move(kMoveDocumentStart);
      engine.MoveExtend(kMoveLineDown, 2);
      break;
    default:
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t choice = data[0];
  const std::span<const uint8_t> block(data + 1, size - 1);

  lexora_fuzz::Process process;
  lexora_fuzz::Engine engine;
  Populate(engine, (choice >> 1) & 3);
  const uint32_t format = (choice & 1) != 0 ? lexora_fuzz::OwnClipboardFormat() : platform::CF_TEXT;
  lexora_fuzz::PutOnClipboard(format, block);

  engine->EditCommand(WPC_CAN_PASTE, 0, 0);
  engine->EditCommand(WPC_PASTE, 1, 0);
  engine.Exercise();
  return 0;
}
