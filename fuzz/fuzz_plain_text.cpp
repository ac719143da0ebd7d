// Plain Shift-JIS text read from a file or another program: a whole
// document opened from a text file, text inserted at the caret, text
// taken into a table's cell, and the check that cleans it.
//
// Byte 0 chooses the reader; the rest is the text.
//   bits 0-1  0 a document opened from a text file
//             1 inserted at the caret over a selection
//             2 inserted at the caret in a table's cell
//             3 the check alone, then into a running text at its caret
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fuzz_support.h"
#include "model/text_object.h"
#include "model/text_transfer.h"

namespace {

void IntoText(std::span<const uint8_t> bytes) {
  std::string text(bytes.begin(), bytes.end());
  CTextTransfer::CheckPlainText(&text);
  lexora_fuzz::ModelWorld world;
  CTextObject object;
  DocObjOptions options = DocObjOptions::ContainerDefaults();
  options.freeCursor = 0;
  world.Prepare(object, options);
  EditResult typed;
  object.InsertText("ABC\rDEF", &typed);
  const MoveParams set{1, 0, 1};
  object.MoveCursor(kMoveLineUp, &set, nullptr, nullptr);
  lexora_fuzz::InputArchive archive(bytes);
  EditResult loaded;
  if (object.SerializeRange(*archive, kFormatPlainText, 0, nullptr, nullptr, &loaded) > 0) {
    lexora_fuzz::StoreObject(object, kFormatOwnBlock, 0);
    object.CountLines(nullptr, nullptr);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t choice = data[0];
  const std::span<const uint8_t> text(data + 1, size - 1);

  lexora_fuzz::Process process;
  if ((choice & 3) == 3) {
    IntoText(text);
    return 0;
  }
  lexora_fuzz::Engine engine;
  int code = WPC_LOAD_DOCUMENT;
  auto flags = static_cast<int>(CDocBunsObj::kStreamPlainText);
  if ((choice & 3) != 0) {
    engine.Type("ABC\r\x82\xA0\x82\xA2\rDEF");
    engine.Move(kMoveLineUp);
    if ((choice & 3) == 1) {
      engine.MoveExtend(kMovePrevChar, 2);
    } else {
      engine.CreateTable(2, 2);
    }
    code = WPC_INSERT_CONTENT;
    flags |= static_cast<int>(CDocBunsObj::kStreamAtCaret);
  }
  lexora_fuzz::InputArchive archive(text);
  if (engine->DocumentCommand(code, flags, &*archive) == kWpcOk) engine.Exercise();
  return 0;
}
