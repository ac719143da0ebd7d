// The text block ("TextObject Data": tag, length, paragraph groups of
// delta-coded records) read into a running text at its caret, as a
// transfer, a merge or an undo step reads it.
//
// Byte 0 chooses the text and the way in; the rest is the block.
//   bits 0-1  the text before: empty; one line with the caret at its end;
//             three paragraphs with the caret inside the first; the same
//             with the caret at the start of the second
//   bit 2     page breaks may stand in the text
//   bit 3     inserted text follows its neighbours' format
//   bit 4     read from a memory file (ReadTextBlock) rather than through
//             the object's range stream
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz_support.h"
#include "model/text_object.h"

namespace {

void Populate(CTextObject& text, int kind) {
  if (kind == 0) return;
  EditResult result;
  const MoveParams set{1, 0, 1};
  if (kind == 1) {
    text.InsertText("ABC", &result);
    return;
  }
  text.InsertText("ABC\x82\xA0\x82\xA2\r\x82\xA4\x81\x41GH\rIJ", &result);
  text.MoveCursor(kMoveDocumentStart, &set, nullptr, nullptr);
  if (kind == 2) {
    text.MoveCursor(kMoveNextChar, &set, nullptr, nullptr);
    text.MoveCursor(kMoveNextChar, &set, nullptr, nullptr);
  } else {
    text.MoveCursor(kMoveNextParagraph, &set, nullptr, nullptr);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t choice = data[0];
  const std::span<const uint8_t> block(data + 1, size - 1);

  lexora_fuzz::Process process;
  lexora_fuzz::ModelWorld world;
  CTextObject text;
  DocObjOptions options = DocObjOptions::ContainerDefaults();
  options.freeCursor = 0;
  options.formFeedAllowed = (choice & 4) != 0 ? 1 : 0;
  options.followNeighbours = (choice & 8) != 0 ? 1 : 0;
  world.Prepare(text, options);
  Populate(text, choice & 3);

  EditResult loaded;
  int answer = 0;
  if ((choice & 0x10) != 0) {
    std::vector<uint8_t> bytes(block.begin(), block.end());
    platform::CMemFile file(bytes.data(), bytes.size());
    CVedTextPos caret;
    text.CTextEngine::GetCursor(&caret);
    answer = text.ReadTextBlock(file, &caret, &loaded);
  } else {
    lexora_fuzz::InputArchive archive(block);
    answer = text.SerializeRange(*archive, kFormatOwnBlock, 0, nullptr, nullptr, &loaded) > 0;
  }
  if (answer == 0) return 0;
  lexora_fuzz::StoreObject(text, kFormatOwnBlock, 0);
  lexora_fuzz::StoreObject(text, kFormatPlainText, 0);
  const MoveParams set{1, 0, 1};
  text.MoveCursor(kMoveDocumentEnd, &set, nullptr, nullptr);
  text.MoveCursor(kMoveLineUp, &set, nullptr, nullptr);
  EditResult edited;
  text.InsertText("x\r", &edited);
  text.DeleteChar(2, &edited);
  text.CountLines(nullptr, nullptr);
  text.GetHeight(nullptr, nullptr);
  return 0;
}
