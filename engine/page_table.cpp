#include "engine/page_table.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace {

constexpr int32_t kRecordValue = 1;
constexpr int32_t kRecordValid = 0;
// The whole-page rectangle reaches this many character pitches right of the
// text area, where characters hanging over the line end are drawn.
constexpr int32_t kHangingPitches = 2;

// One flag for every table: the document root is shared by the engine's
// whole life, and a rebuild must not start a second one through it.
bool g_rebuilding = false;

class RebuildScope {
 public:
  RebuildScope() { g_rebuilding = true; }
  ~RebuildScope() { g_rebuilding = false; }
  RebuildScope(const RebuildScope&) = delete;
  RebuildScope& operator=(const RebuildScope&) = delete;
};

}  // namespace

CVedPageRecord::CVedPageRecord() {
  SetValue(kRecordValue);
  SetValue2(kRecordValid);
}

bool CVedPageTable::IsRebuilding() { return g_rebuilding; }

void CVedPageTable::ResetRebuildGuard() { g_rebuilding = false; }

void CVedPageTable::Attach(CDocObject* root) {
  ForgetLookup();
  records_.clear();
  root_ = root;
}

void CVedPageTable::Detach() {
  ForgetLookup();
  records_.clear();
  root_ = nullptr;
}

void CVedPageTable::SetPageMetrics(const DocStyle& style, int32_t charPitch) {
  metrics_ = PageMetrics{style.paperWidth,    style.paperHeight, style.textAreaTenthMm,
                         style.textAreaTwips, style.textWidth,   style.textHeight,
                         style.resolutionX,   style.resolutionY, charPitch};
}

// --- Page access -------------------------------------------------------------

CVedPageRecord* CVedPageTable::GetPageNode(int32_t n) {
  const int32_t count = GetCount();
  if (n < 1 || n > count) return nullptr;
  // Walks from the nearest of the first record, the last and the one
  // found before.
  Node node = records_.begin();
  int32_t at = 1;
  if (count - n < n - 1) {
    node = std::prev(records_.end());
    at = count;
  }
  if (lookedUp_ > 0 && std::abs(n - lookedUp_) < std::abs(n - at)) {
    node = lookedUpNode_;
    at = lookedUp_;
  }
  std::advance(node, n - at);
  lookedUp_ = n;
  lookedUpNode_ = node;
  return &*node;
}

const CVedTextPos* CVedPageTable::GetPageStart(int32_t n) {
  const CVedPageRecord* record = GetPageNode(std::max(n, 1));
  return record != nullptr ? &record->position : nullptr;
}

int32_t CVedPageTable::GetPageHeight(int32_t n) {
  const CVedPageRecord* record = GetPageNode(n);
  return record != nullptr ? record->usedHeight : 0;
}

const CVedTextPos* CVedPageTable::FindPage(const CVedTextPos* position, int32_t* number) {
  int32_t found = 0;
  const Node node = FindPageNode(position, &found);
  if (number != nullptr) *number = found;
  return node != records_.end() ? &node->position : nullptr;
}

CVedPageRecord* CVedPageTable::FirstPage() {
  const Node node = FirstNode();
  return node != records_.end() ? &*node : nullptr;
}

CVedPageTable::Node CVedPageTable::FirstNode() {
  if (records_.empty()) Rebuild();
  if (records_.empty()) return records_.end();
  if (!records_.front().IsValid()) ReanchorAtFirstLine(records_.front());
  return records_.begin();
}

CVedPageTable::Node CVedPageTable::NodeOf(const CVedAnchor* anchor, int32_t* number) {
  int32_t index = 1;
  for (Node node = records_.begin(); node != records_.end(); ++node, ++index) {
    if (&*node == anchor) {
      *number = index;
      return node;
    }
  }
  return records_.end();
}

CVedPageTable::Node CVedPageTable::FindPageNode(const CVedTextPos* position, int32_t* number) {
  *number = 0;
  if (root_ == nullptr) return records_.end();
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (records_.empty()) Rebuild();
    // Only an anchor found in this table is ever looked into: the document
    // may still carry anchors of records dropped since.
    const CVedAnchor* anchor = root_->FindAnchor(kAnchorLine, position, 1);
    if (anchor == nullptr) {
      // The position lies before every anchored line: the first page, which
      // always begins at the document's first line.
      const Node first = FirstNode();
      if (first == records_.end()) return first;
      ReanchorAtFirstLine(*first);
      *number = 1;
      return first;
    }
    const Node node = NodeOf(anchor, number);
    if (node != records_.end() && node->IsValid()) return node;
    *number = 0;
    if (attempt == 0) Rebuild();
  }
  return records_.end();
}

// --- Pagination --------------------------------------------------------------

void CVedPageTable::Anchor(CVedPageRecord& record) {
  // An empty path would name the caret's line, not the page's.
  record.attached =
      !record.position.IsEmpty() && root_->SetAnchor(kAnchorLine, &record, &record.position) != 0;
}

void CVedPageTable::ReanchorAtFirstLine(CVedPageRecord& record) {
  CVedTextPos first;
  root_->StepPageLine(nullptr, kLinePrevious, &first);
  record.position = first;
  record.SetValue2(kRecordValid);
  Anchor(record);
}

void CVedPageTable::Rebuild() {
  if (root_ == nullptr || g_rebuilding) return;
  const RebuildScope scope;
  // Lines may still point at the dropped records; the pass below measures
  // every line and takes each such pointer off before anything reads it.
  ForgetLookup();
  records_.clear();
  ++rebuilds_;
  ReanchorAtFirstLine(records_.emplace_back());
  Paginate(records_.begin(), nullptr, records_.end());
}

bool CVedPageTable::RefreshRecord(CVedPageRecord& record) {
  if (!record.IsValid() || !record.attached) return false;
  LineMetrics line;
  root_->GetLineMetrics(&line, &record.position);
  CVedTextPos start;
  if (line.anchor != &record || root_->StepPageLine(&record.position, kLineThis, &start) == 0) {
    record.ResetValue2();
    return true;
  }
  if (start == record.position) return false;
  record.position = start;
  return true;
}

CVedPageTable::Node CVedPageTable::FirstTouchedNode(const ChangeRecord& change) {
  // Lines before the one holding the change keep their nodes and their
  // first cells, so the nearest page start at or before that line is the
  // first one the edit can have moved. Pagination may start a page
  // earlier, so that page's record is checked as well.
  const CVedAnchor* anchor = root_->FindAnchor(kAnchorLine, &change.lineStart, 1);
  if (anchor == nullptr) return records_.begin();
  int32_t number = 0;
  const Node node = NodeOf(anchor, &number);
  if (node == records_.end()) return records_.begin();
  return node == records_.begin() ? node : std::prev(node);
}

bool CVedPageTable::RefreshRecords(const ChangeRecord& change, Node* lastMoved,
                                   Node* unchangedFrom) {
  const Node first = FirstTouchedNode(change);
  *lastMoved = records_.end();
  *unchangedFrom = records_.end();
  bool anyInvalid = false;
  bool refreshing = false;
  for (Node node = records_.begin(); node != records_.end(); ++node) {
    refreshing = refreshing || node == first;
    if (refreshing) {
      const bool moved = RefreshRecord(*node);
      if (moved && node->IsValid()) *lastMoved = node;
      // Past the change, the first page start the edit left where it was
      // ends the edit's reach: the pages after it hold none of its lines.
      if (!moved && node->IsValid() && node->attached &&
          root_->ComparePositions(&node->position, &change.changeEnd) == kCompareAfter) {
        refreshing = false;
        *unchangedFrom = node;
      } else {
        // The page may hold lines the edit changed.
        node->uniformLines = LineRun{};
      }
    }
    anyInvalid = anyInvalid || !node->IsValid();
  }
  return anyInvalid;
}

bool CVedPageTable::LineCountHolds(Node page) {
  if (page->lineCount <= 0 || !page->IsValid()) return false;
  CVedTextPos line = page->position;
  for (int32_t i = 1; i < page->lineCount; ++i) {
    CVedTextPos next;
    if (root_->StepPageLine(&line, kLineNext, &next) == 0 || next == line) return false;
    line = next;
  }
  CVedTextPos following;
  const bool more = root_->StepPageLine(&line, kLineNext, &following) != 0 && !(following == line);
  const Node nextPage = std::next(page);
  if (nextPage == records_.end() || !more) return nextPage == records_.end() && !more;
  // The records checked have just taken their lines' starts.
  return following == nextPage->position;
}

bool CVedPageTable::LineCountsHold(Node from, Node to) {
  for (Node node = from; node != records_.end(); ++node) {
    if (!LineCountHolds(node)) return false;
    if (node == to) return true;
  }
  return true;
}

bool CVedPageTable::FitsOnPage(int32_t used, const LineMetrics& line) const {
  // A line too tall for any page stays on the page it begins rather than
  // leaving an empty page before it.
  return used == 0 || used + (line.height - line.gap) <= metrics_.textHeight;
}

void CVedPageTable::SetRecord(Node& current, const CVedTextPos& start, int32_t height,
                              int32_t lines, LineRun run) {
  if (current == records_.end()) {
    ForgetLookup();
    current = records_.emplace(records_.end());
  }
  CVedPageRecord& record = *current;
  if (&record.position != &start) record.position = start;
  record.SetValue(kRecordValue);
  record.SetValue2(kRecordValid);
  record.usedHeight = height;
  record.lineCount = lines;
  record.uniformLines = run;
  record.repaintState = kRepaintClean;
  record.dirtyRects.clear();
  Anchor(record);
  ++current;
}

bool CVedPageTable::StopsAt(Node& current, const CVedTextPos& newStart,
                            const CVedTextPos* stopMark) {
  if (current == records_.end() || stopMark == nullptr || stopMark->IsEmpty()) return false;
  if (!current->IsValid() || !(current->position == newStart)) return false;
  if (root_->ComparePositions(&newStart, stopMark) != kCompareAfter) return false;
  SetRecord(current, current->position, current->usedHeight, current->lineCount,
            current->uniformLines);
  return true;
}

bool CVedPageTable::StepLines(CVedTextPos* position, int direction, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    CVedTextPos next;
    if (root_->StepPageLine(position, direction, &next) == 0 || next == *position) return false;
    *position = next;
  }
  return true;
}

CVedPageTable::Node CVedPageTable::EarliestStart(Node start) {
  for (Node node = records_.begin(); node != start; ++node) {
    if (!node->IsValid()) return node == records_.begin() ? FirstNode() : std::prev(node);
  }
  return start;
}

class CVedPageTable::Pagination final : public CPageLineVisitor {
 public:
  Pagination(CVedPageTable& table, Node start, const CVedTextPos* stopMark, Node unchangedFrom)
      : table_(table),
        current_(start),
        currentIndex_(IndexOf(start)),
        stopMark_(stopMark),
        pageStart_(start->position),
        ahead_(unchangedFrom),
        aheadIndex_(IndexOf(unchangedFrom)) {}

  bool VisitLine(const CPageLine& line) override {
    LineMetrics metrics;
    line.GetMetrics(&metrics);
    // The walk hands over to the records where their lines can be placed
    // without being measured.
    if (!breakBefore_ && metrics.anchor != nullptr && AtPlaceableRecord(metrics.anchor)) {
      atPlaceable_ = true;
      return false;
    }
    CVedTextPos position;
    if (breakBefore_) {
      // The line after a page break starts the next page.
      breakBefore_ = false;
      line.GetPosition(&position);
      if (StopsAt(position)) return false;
      pageStart_ = position;
    }
    if (metrics.anchor != nullptr) {
      if (position.IsEmpty()) line.GetPosition(&position);
      table_.root_->SetAnchor(kAnchorLine, nullptr, &position);
    }
    if (!table_.FitsOnPage(used_, metrics)) {
      ClosePage(used_);
      if (position.IsEmpty()) line.GetPosition(&position);
      if (StopsAt(position)) return false;
      pageStart_ = position;
    }
    const bool pageBreak = metrics.endKind == kLineEndPageBreak;
    NoteLines(LineRun{metrics.height, metrics.gap}, 1, pageBreak);
    if (pageBreak) {
      ClosePage(used_ + metrics.height);
      breakBefore_ = true;
    } else {
      used_ += metrics.height;
    }
    return true;
  }

  // Whether the walk ended at a record whose lines PlaceRecords can place.
  bool AtPlaceable() const { return atPlaceable_; }
  bool Failed() const { return failed_; }

  // Places the lines of the unchanged records from the one the walk ended
  // at, one record at a time, while their lines all have one height. The
  // answer is the line the walk goes on from, empty when the lines ended
  // or pagination stopped.
  CVedTextPos PlaceRecords() {
    atPlaceable_ = false;
    while (true) {
      if (!PlaceRecordLines(ahead_) || stopped_) return {};
      ++ahead_;
      ++aheadIndex_;
      if (ahead_ == table_.records_.end()) return {};
      // A page placed here is at most one ahead of the records placed, so
      // the next record still holds what it held.
      if (!ahead_->IsValid() || aheadIndex_ < currentIndex_) {
        failed_ = true;
        return {};
      }
      if (!Placeable(*ahead_)) return ahead_->position;
    }
  }

  // After the last line: the last page, unless it would be empty, and no
  // records after it.
  void Finish() {
    if (stopped_ || failed_) return;
    if (used_ > 0 || current_ == table_.records_.begin()) ClosePage(used_);
    table_.ForgetLookup();
    table_.records_.erase(current_, table_.records_.end());
  }

 private:
  int32_t IndexOf(Node node) const {
    return static_cast<int32_t>(std::distance(table_.records_.begin(), node));
  }

  static bool Placeable(const CVedPageRecord& record) {
    return record.IsValid() && record.attached && record.lineCount > 0 &&
           record.uniformLines.height > 0;
  }

  // True when `anchor` is the next unchanged record, its lines all have
  // one height and pagination has not yet written over it.
  bool AtPlaceableRecord(const CVedAnchor* anchor) {
    if (ahead_ == table_.records_.end()) return false;
    if (aheadIndex_ < currentIndex_) {
      // The records up to the current one hold new pages now.
      ahead_ = current_;
      aheadIndex_ = currentIndex_;
      if (ahead_ == table_.records_.end()) return false;
    }
    if (anchor != &*ahead_) return false;
    if (Placeable(*ahead_)) return true;
    ++ahead_;
    ++aheadIndex_;
    return false;
  }

  // How many of `available` lines of the run fit on the page below
  // `used`, by the rule of FitsOnPage.
  int32_t LinesThatFit(int32_t used, const LineRun& run, int32_t available) const {
    const int32_t room = table_.metrics_.textHeight - used + run.gap;
    int32_t fit = room >= run.height ? room / run.height : 0;
    if (used == 0) fit = std::max(fit, 1);
    return std::min(fit, available);
  }

  // The start of line `index` (0-based) of the page `old`, stepped to from
  // the nearer of its start and `nextStart`, the next page's start (empty
  // when there is none).
  bool LineOfPage(const CVedPageRecord& old, const CVedTextPos& nextStart, int32_t index,
                  CVedTextPos* out) {
    const int32_t back = old.lineCount - index;
    if (!nextStart.IsEmpty() && back < index) {
      *out = nextStart;
      return table_.StepLines(out, kLinePrevious, back);
    }
    *out = old.position;
    return table_.StepLines(out, kLineNext, index);
  }

  bool PlaceRecordLines(Node record) {
    // What the record and the next one say, kept before a new page is
    // written over them.
    const CVedPageRecord old = *record;
    const Node next = std::next(record);
    const CVedTextPos nextStart = next != table_.records_.end() && next->IsValid() && next->attached
                                      ? next->position
                                      : CVedTextPos{};
    const LineRun& run = old.uniformLines;
    // The old page start stays one only where a page begins there.
    if (used_ > 0 && LinesThatFit(used_, run, old.lineCount) > 0) {
      table_.root_->SetAnchor(kAnchorLine, nullptr, &old.position);
    }
    int32_t placed = 0;
    while (placed < old.lineCount) {
      const int32_t fit = LinesThatFit(used_, run, old.lineCount - placed);
      if (fit > 0) {
        NoteLines(run, fit, false);
        used_ += fit * run.height;
        placed += fit;
        continue;
      }
      ClosePage(used_);
      CVedTextPos start = old.position;
      if (placed > 0 && !LineOfPage(old, nextStart, placed, &start)) {
        failed_ = true;
        return false;
      }
      if (placed == 0 && currentIndex_ == aheadIndex_) {
        // The page begins where it began before, and the lines from
        // there on are those the later records were made from.
        table_.SetRecord(current_, current_->position, current_->usedHeight, current_->lineCount,
                         current_->uniformLines);
        stopped_ = true;
        return true;
      }
      pageStart_ = start;
    }
    return true;
  }

  // Lines joining the page: `count` lines of `run`.
  void NoteLines(const LineRun& run, int32_t count, bool pageBreak) {
    if (lines_ == 0) {
      pageRun_ = run;
      uniform_ = true;
    } else if (!(run == pageRun_)) {
      uniform_ = false;
    }
    if (pageBreak) uniform_ = false;
    lines_ += count;
  }

  void ClosePage(int32_t height) {
    table_.SetRecord(current_, pageStart_, height, lines_, uniform_ ? pageRun_ : LineRun{});
    ++currentIndex_;
    used_ = 0;
    lines_ = 0;
  }

  bool StopsAt(const CVedTextPos& newStart) {
    stopped_ = table_.StopsAt(current_, newStart, stopMark_);
    return stopped_;
  }

  CVedPageTable& table_;
  Node current_;
  int32_t currentIndex_;
  const CVedTextPos* stopMark_;
  CVedTextPos pageStart_;
  int32_t used_ = 0;
  int32_t lines_ = 0;
  LineRun pageRun_;           // the height of the page's lines, while they share one
  bool uniform_ = true;       // whether they do
  bool breakBefore_ = false;  // the line before ended with a page break
  bool stopped_ = false;
  bool failed_ = false;
  bool atPlaceable_ = false;
  // The next record the edit left alone.
  Node ahead_;
  int32_t aheadIndex_;
};

void CVedPageTable::Paginate(Node start, const CVedTextPos* stopMark, Node unchangedFrom) {
  Pagination pagination(*this, start, stopMark, unchangedFrom);
  CVedTextPos from = start->position;
  while (!from.IsEmpty()) {
    root_->WalkPageLines(&from, pagination);
    if (!pagination.AtPlaceable()) break;
    from = pagination.PlaceRecords();
  }
  if (pagination.Failed()) {
    // The records did not describe their lines after all.
    Rebuild();
    return;
  }
  pagination.Finish();
}

int CVedPageTable::Repaginate(const ChangeRecord* change) {
  if (change == nullptr || change->changed == 0 || root_ == nullptr) return 0;
  if (change->lineStart.IsEmpty()) {
    Rebuild();
    MarkAllDirty();
    return 1;
  }
  Node lastMoved = records_.end();
  Node unchangedFrom = records_.end();
  const bool anyInvalid = RefreshRecords(*change, &lastMoved, &unchangedFrom);
  const bool linesShifted =
      lastMoved != records_.end() && !LineCountsHold(FirstTouchedNode(*change), lastMoved);
  // A page break that went in or came out moves the page starts after it
  // even where the height stays.
  if (change->heightChanged != 0 || change->pageBreakChanged != 0 || anyInvalid || linesShifted) {
    int32_t number = 0;
    const uint32_t rebuildsBefore = rebuilds_;
    Node start = FindPageNode(&change->lineStart, &number);
    // A lookup that had to rebuild the table laid every page out anew, and
    // the nodes found before it are gone.
    if (rebuilds_ != rebuildsBefore) {
      MarkChange(*change);
      return 1;
    }
    start = start == records_.end() ? FirstNode() : EarliestStart(start);
    // A page's first line that became shorter may now fit on the page
    // before, so that page is laid out again too.
    if (change->heightChanged != 0 && start != records_.begin() && start != records_.end() &&
        start->position == change->lineStart) {
      --start;
    }
    if (start != records_.end()) {
      Paginate(start, change->heightChanged != 0 ? nullptr : &change->changeEnd, unchangedFrom);
    }
  }
  MarkChange(*change);
  return 1;
}

// --- Repaint marking ---------------------------------------------------------

platform::RECT CVedPageTable::WholePageRect() const {
  const platform::RECT& area = metrics_.textAreaTwips;
  return {area.left, area.top, area.right + kHangingPitches * metrics_.charPitch, area.bottom};
}

void CVedPageTable::MarkWhole(CVedPageRecord& page) const {
  page.repaintState = kRepaintWhole;
  page.dirtyRects.assign(1, WholePageRect());
}

void CVedPageTable::MarkAllDirty() {
  for (CVedPageRecord& page : records_) MarkWhole(page);
}

void CVedPageTable::ResetRepaintState() {
  for (CVedPageRecord& page : records_) {
    page.repaintState = kRepaintClean;
    page.dirtyRects.clear();
  }
}

int32_t CVedPageTable::GetRepaintState(int32_t n, const platform::RECT** rects) {
  const CVedPageRecord* page = GetPageNode(n);
  if (page == nullptr || page->repaintState == kRepaintClean) return 0;
  if (rects != nullptr) *rects = page->dirtyRects.data();
  return page->repaintState == kRepaintWhole ? 1 : static_cast<int32_t>(page->dirtyRects.size());
}

int32_t CVedPageTable::HeightAbove(const CVedPageRecord& page, const CVedTextPos& target) {
  CVedTextPos line = page.position;
  int32_t height = 0;
  while (!(line == target)) {
    LineMetrics metrics;
    root_->GetPageLineMetrics(&metrics, &line);
    height += metrics.height;
    CVedTextPos next;
    if (height >= page.usedHeight || root_->StepPageLine(&line, kLineNext, &next) == 0) return -1;
    line = next;
  }
  return height;
}

void CVedPageTable::MarkChange(const ChangeRecord& change) {
  if (change.area[0].IsEmpty()) return;
  int32_t number = 0;
  const Node page = FindPageNode(&change.lineStart, &number);
  const int32_t above = page != records_.end() ? HeightAbove(*page, change.lineStart) : -1;
  if (above < 0) {
    MarkAllDirty();
    return;
  }
  if (change.heightChanged != 0 || change.pageBreakChanged != 0) {
    MarkBand(page, change.area[0].Offset(0, above));
    for (Node later = std::next(page); later != records_.end(); ++later) MarkWhole(*later);
    return;
  }
  for (const platform::RECT& rect : change.area) {
    if (!rect.IsEmpty()) MarkBand(page, rect.Offset(0, above));
  }
}

void CVedPageTable::MarkBand(Node page, platform::RECT band) {
  const platform::RECT& area = metrics_.textAreaTwips;
  while (page != records_.end()) {
    const int32_t used = page->usedHeight;
    if (band.top >= used) {
      band = band.Offset(0, -used);
      ++page;
      continue;
    }
    if (page->repaintState != kRepaintWhole) {
      const platform::RECT piece{band.left, band.top, band.right, std::min(band.bottom, used)};
      if (piece.Height() < metrics_.textHeight || piece.Width() < metrics_.textWidth) {
        page->repaintState = kRepaintRects;
        page->dirtyRects.push_back(piece.Offset(area.left, area.top));
      } else {
        MarkWhole(*page);
      }
    }
    if (band.bottom <= used) return;
    band.top = 0;
    band.bottom -= used;
    ++page;
  }
  // The band reaches below the last page.
  MarkAllDirty();
}
