// One cell of a ruled table: a container that holds the cell's text and,
// at its end, a grid area that pads the cell down to the row's height. It
// stores itself behind a 16-byte signature.
#pragma once

#include <cstdint>

#include "model/container.h"
#include "platform/archive.h"

class CTableCellObj : public CDocObjContainer {
 public:
  // The answer of a load whose signature is missing or wrong.
  static constexpr int kBadSignature = -1;

  CTableCellObj();
  ~CTableCellObj() override;

  // Both hand the container a copy of the format whose cell flag follows
  // the filler flag, so that the container keeps the trailing grid area.
  int SetPageFormat(const PageFormat* format) override;
  int ApplyPageFormat(const PageFormat* format) override;
  // Both ends null: the row height the table gave the cell (its format's
  // text height). A null end reaches down to the cell's bottom.
  int32_t GetHeight(const CVedTextPos* from, const CVedTextPos* to) override;
  // A point below the content but inside the cell lands on the last line.
  int32_t PositionFromPoint(int setCursor, const CVedTextPos* base, int32_t x, int32_t y,
                            CVedTextPos* out) override;
  // The own block format (tag 0xC000, mode 2) is the signature and then
  // the container's data. Storing answers 1, or -1 when the archive
  // failed; loading answers kBadSignature for a missing or wrong
  // signature, else the container's answer.
  int SerializeRange(platform::CArchive& archive, int tag, int mode, const CVedTextPos* from,
                     const CVedTextPos* to, EditResult* out) override;

  // The height of the children without the trailing filler.
  int32_t GetContentHeight() const;
  // The cell's text.
  CDocObject* GetFirstChild() const;

 private:
  PageFormat WithCellFlag(const PageFormat& format) const;
  int StoreBlock(platform::CArchive& archive, int tag, int mode, const CVedTextPos* from,
                 const CVedTextPos* to, EditResult* out);
  int LoadBlock(platform::CArchive& archive, int tag, int mode, const CVedTextPos* from,
                EditResult* out);

  uint8_t filler_ = 1;
  platform::Signature signature_;
};
