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

namespace {

// A line reached by stepping: a position at hand.
class SteppedPageLine final : public CPageLine {
 public:
  SteppedPageLine(CDocObject& object, const CVedTextPos& position)
      : object_(object), position_(position) {}
  void GetMetrics(LineMetrics* out) const override { object_.GetPageLineMetrics(out, &position_); }
  void GetPosition(CVedTextPos* out) const override { *out = position_; }

 private:
  CDocObject& object_;
  const CVedTextPos& position_;
};

}  // namespace

PageLineWalk CDocObject::WalkPageLines(const CVedTextPos* from, CPageLineVisitor& visitor) {
  CVedTextPos line;
  if (from != nullptr) {
    line = *from;
  } else if (StepPageLine(nullptr, kLinePrevious, &line) == 0) {
    return PageLineWalk::kLinesEnded;
  }
  while (true) {
    if (!visitor.VisitLine(SteppedPageLine(*this, line))) return PageLineWalk::kStopped;
    CVedTextPos next;
    if (StepPageLine(&line, kLineNext, &next) == 0) return PageLineWalk::kLinesEnded;
    // A step that stays on its line ends the walk rather than never ending.
    if (next == line) return PageLineWalk::kStopped;
    line = next;
  }
}
