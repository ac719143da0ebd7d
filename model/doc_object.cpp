#include "model/doc_object.h"

#include <algorithm>
#include <utility>

DocObjOptions DocObjOptions::Normalized() const {
  DocObjOptions o = *this;
  o.freeCursor = freeCursor != 0 ? 1 : 0;
  o.followNeighbours = followNeighbours != 0 ? 1 : 0;
  o.insertMode = std::min<uint8_t>(insertMode, 1);
  return o;
}

void EditResult::PrefixChildren(int32_t startChild, int32_t endChild) {
  rangeStart.PrependChild(startChild);
  startAux.PrependChild(startChild);
  rangeEnd.PrependChild(endChild);
  newCursor.PrependChild(endChild);
  endAux.PrependChild(endChild);
}

void OrderPositions(CDocObject& object, CVedTextPos& a, CVedTextPos& b) {
  if (object.ComparePositions(&a, &b) > 0) std::swap(a, b);
}
