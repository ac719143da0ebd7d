// The engine's document stream: the engine header (magic, version, page
// style and caret place), the document-root header (magic, fonts in use,
// range kind) and the root's content, read by the load and insert
// commands as opening a file, inserting one or replaying an undo
// fragment would.
//
// Byte 0 chooses the command; the rest is the stream.
//   bits 0-1  0 load a document with the engine header
//             1 load a document without it
//             2 load a document with the header into the caret's place
//             3 insert content at the caret (bit 5: bare, as undo keeps it)
//   bit 2     go to the stored caret place after a header load
//   bits 3-4  the document before: empty, text, text with a table after
//             the caret, the caret in a table's cell
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz_support.h"

namespace {

void Populate(lexora_fuzz::Engine& engine, int kind) {
  if (kind == 0) return;
  engine.Type("ABC\r\x82\xA0\x82\xA2\x82\xA4\rDEF");
  engine.Move(kMoveLineUp);
  if (kind == 1) return;
  engine.CreateTable(2, 2);
  if (kind == 3) {
    engine.Type("\x82\xA9");
    return;
  }
  engine.Move(kMoveDocumentStart);
  engine.Move(kMoveNextChar);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t choice = data[0];
  const std::span<const uint8_t> stream(data + 1, size - 1);

  lexora_fuzz::Process process;
  lexora_fuzz::Engine engine;
  Populate(engine, (choice >> 3) & 3);

  int code = WPC_LOAD_DOCUMENT;
  int flags = 0;
  switch (choice & 3) {
    case 0:
      flags = kLoadHeader;
      break;
    case 1:
      flags = static_cast<int>(CDocBunsObj::kStreamOwnFormat);
      break;
    case 2:
      flags = kLoadHeader | kLoadInsert;
      break;
    default:
      code = (choice & 0x20) != 0 ? WPC_INSERT_BARE_CONTENT : WPC_INSERT_CONTENT;
      flags = static_cast<int>(CDocBunsObj::kStreamOwnFormat | CDocBunsObj::kStreamAtCaret);
      break;
  }
  if ((choice & 4) != 0 && (flags & kLoadHeader) != 0 && code == WPC_LOAD_DOCUMENT) {
    flags |= kLoadRestoreCaret;
  }

  lexora_fuzz::InputArchive archive(stream);
  if (engine->DocumentCommand(code, flags, &*archive) == kWpcOk) engine.Exercise();
  return 0;
}
