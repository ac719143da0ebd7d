// The container's range stream (CDocObjContainer::SerializeRange
// loading): a count and a header per child, each child's own block; or a
// single text block; or plain text. Where each block goes depends on the
// stored type, the block's place and the kind of child at the cursor.
//
// Byte 0 chooses the load; the rest is the stream.
//   bits 0-1  0 headed blocks (own format, mode 2)
//             1 one bare block (own format, mode 0)
//             2 plain text
//             3 headed blocks into a cell-like container (bounded height,
//               trailing grid area)
//   bit 2     with the cursor as the load position, as an undo replay
//   bits 3-4  the children before: one empty text; text with the cursor
//             in its middle; text, table, text with the cursor in the
//             table; the same with the cursor at the end of the text
//             before the table
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz_support.h"
#include "model/container.h"

namespace {

constexpr char kText[] = "ABC\r\x82\xA0\x82\xA2\x82\xA4\rDEF";

void Populate(CDocObjContainer& container, int kind) {
  if (kind == 0) return;
  EditResult result;
  container.InsertText(kText, &result);
  const MoveParams set{1, 0, 1};
  container.MoveCursor(kMoveLineUp, &set, nullptr, nullptr);
  if (kind == 1) return;
  container.InsertTable(2, 2, &result);
  container.InsertText("\x82\xA9", &result);
  if (kind == 3) container.MoveCursor(kMoveDocumentStart, &set, nullptr, nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t choice = data[0];
  const std::span<const uint8_t> stream(data + 1, size - 1);
  const int form = choice & 3;
  const bool cellLike = form == 3;

  lexora_fuzz::Process process;
  lexora_fuzz::ModelWorld world(10, cellLike ? 3 * lexora_fuzz::kLinePitch : -1, cellLike ? 1 : 0);
  CDocObjContainer container;
  DocObjOptions options = DocObjOptions::ContainerDefaults();
  options.freeCursor = 0;
  world.Prepare(container, options);
  Populate(container, (choice >> 3) & 3);

  const int tag = form == 2 ? kFormatPlainText : kFormatOwnBlock;
  const int mode = form == 1 || form == 2 ? 0 : 2;
  CVedTextPos cursor;
  container.GetCursor(&cursor);
  const CVedTextPos* at = (choice & 4) != 0 ? &cursor : nullptr;

  lexora_fuzz::InputArchive archive(stream);
  EditResult loaded;
  if (container.SerializeRange(*archive, tag, mode, at, nullptr, &loaded) < 0) return 0;
  container.ApplyPageFormat(&world.format);
  lexora_fuzz::StoreObject(container, kFormatOwnBlock, 2);
  lexora_fuzz::StoreObject(container, kFormatPlainText, 0);
  const MoveParams set{1, 0, 1};
  container.MoveCursor(kMoveDocumentEnd, &set, nullptr, nullptr);
  container.MoveCursor(kMoveLineUp, &set, nullptr, nullptr);
  EditResult typed;
  container.InsertText("x", &typed);
  container.GetHeight(nullptr, nullptr);
  return 0;
}
