// The division of a document into pages. Every page is a record anchored at
// the line where the page starts, so that page starts travel with the text
// when text before them changes; after each edit the table re-paginates from
// the page that holds the change and marks the changed bands for repaint.
// The table measures lines and attaches its anchors through the document
// object interface of the document root, which it does not own.
#pragma once

#include <cstdint>
#include <list>
#include <vector>

#include "engine/change_record.h"
#include "engine/doc_style.h"
#include "model/doc_object.h"
#include "model/position.h"
#include "platform/windef.h"

// Repaint states of a page.
inline constexpr int32_t kRepaintClean = 0;
inline constexpr int32_t kRepaintWhole = 1;
inline constexpr int32_t kRepaintRects = 2;

// Lines of one height and gap, as a page record remembers them.
struct LineRun {
  int32_t height = 0;  // twips, gap included; 0 for none
  int32_t gap = 0;
  bool operator==(const LineRun&) const = default;
};

// One page: a line anchor at the page's first line. value2 of -1 marks a
// record whose line is gone.
class CVedPageRecord : public CVedAnchor {
 public:
  CVedPageRecord();
  ~CVedPageRecord() override = default;

  bool IsValid() const { return GetValue2() != kUnset; }

  int32_t usedHeight = 0;  // twips: the sum of the heights of the page's lines
  int32_t lineCount = 0;   // the lines of the page when it was paginated
  // When every line of the page had this height and gap (twips) and none
  // ended with a page break, a later pagination can place the page's lines
  // without measuring them again; a height of 0 when that is not known.
  LineRun uniformLines;
  int32_t repaintState = kRepaintClean;
  std::vector<platform::RECT> dirtyRects;  // twips, page coordinates
  // Whether the document took the anchor (a grid area line takes none);
  // only such records can be checked against their line.
  bool attached = false;
};

// The page geometry the table needs: the first 56 bytes of the document
// style and the character pitch.
struct PageMetrics {
  int32_t paperWidth = 0;  // tenths of a millimetre
  int32_t paperHeight = 0;
  platform::RECT textAreaTenthMm;
  platform::RECT textAreaTwips;
  int32_t textWidth = 0;  // twips
  int32_t textHeight = 0;
  int32_t resolutionX = 0;
  int32_t resolutionY = 0;
  int32_t charPitch = 0;  // twips
};

class CVedPageTable {
 public:
  CVedPageTable() = default;
  // Forgets the records without touching the document: the engine clears
  // and deletes the document root before it deletes the table.
  virtual ~CVedPageTable() = default;
  CVedPageTable(const CVedPageTable&) = delete;
  CVedPageTable& operator=(const CVedPageTable&) = delete;

  // Drops all records and keeps the document root.
  void Attach(CDocObject* root);
  // Drops all records and forgets the document root.
  void Detach();
  void SetPageMetrics(const DocStyle& style, int32_t charPitch);
  const PageMetrics& Metrics() const { return metrics_; }

  int32_t GetCount() const { return static_cast<int32_t>(records_.size()); }
  // Start of page n (below 1: page 1); null past the last page.
  const CVedTextPos* GetPageStart(int32_t n);
  // Record of page n; null below 1 and past the last page.
  CVedPageRecord* GetPageNode(int32_t n);
  // Used height of page n; 0 past the last page.
  int32_t GetPageHeight(int32_t n);
  // Start of the page that holds `position` and its 1-based number; null and
  // 0 when no page can be found even after a full rebuild.
  const CVedTextPos* FindPage(const CVedTextPos* position, int32_t* number);
  // The first page, building the table when it is empty.
  CVedPageRecord* FirstPage();
  // Re-paginates after an edit and marks the changed area for repaint; 0
  // when nothing was given or nothing changed, else 1.
  int Repaginate(const ChangeRecord* change);
  void MarkAllDirty();
  void ResetRepaintState();
  // 0 when page n does not exist or is clean; 1 for a whole page; else the
  // number of dirty rectangles. `rects` receives the array (may be null).
  int32_t GetRepaintState(int32_t n, const platform::RECT** rects);

  // A full rebuild started while one runs (in any table) does nothing.
  static bool IsRebuilding();
  static void ResetRebuildGuard();

 private:
  using PageList = std::list<CVedPageRecord>;
  using Node = PageList::iterator;

  void Rebuild();
  Node FindPageNode(const CVedTextPos* position, int32_t* number);
  Node NodeOf(const CVedAnchor* anchor, int32_t* number);
  Node FirstNode();
  // Checks the attached records the change can have reached against their
  // lines: a record whose line no longer carries it is marked invalid; the
  // others take their line's current start. True when any record is
  // invalid. `lastMoved` gets the last record that took a new start (the
  // end of the list when none did).
  // `unchangedFrom` gets the first record past the change that kept its
  // start: the lines from there on are the lines the records were paginated
  // from (the end of the list when no record is known to be so).
  bool RefreshRecords(const ChangeRecord& change, Node* lastMoved, Node* unchangedFrom);
  // True when the record was marked invalid or took a new start.
  bool RefreshRecord(CVedPageRecord& record);
  Node FirstTouchedNode(const ChangeRecord& change);
  // An edit that keeps the height may still have put a line in between the
  // lines of a page and taken one out further on: the records then stay on
  // their lines, one line off. True when every page from `from` to `to`
  // still holds as many lines as it was given.
  bool LineCountsHold(Node from, Node to);
  bool LineCountHolds(Node page);
  // The lines of a page whose start line was lost belong to no page until
  // they are paginated again: pagination starts no later than the page
  // before the first invalid record.
  Node EarliestStart(Node start);
  // Lays the lines out on pages from the page `start` on: to the end of
  // the document, or up to the first page start after `stopMark` that
  // still has its valid record. The records from `unchangedFrom` on
  // describe lines the edit left alone: where their lines all have one
  // height, they are placed page by page rather than line by line.
  void Paginate(Node start, const CVedTextPos* stopMark, Node unchangedFrom);
  // The layout of one pass of Paginate, fed one line at a time.
  class Pagination;
  bool FitsOnPage(int32_t used, const LineMetrics& line) const;
  void SetRecord(Node& current, const CVedTextPos& start, int32_t height, int32_t lines,
                 LineRun run);
  // Steps `count` lines from `position` in `direction`; false when a step
  // fails or stays on its line.
  bool StepLines(CVedTextPos* position, int direction, int32_t count);
  bool StopsAt(Node& current, const CVedTextPos& newStart, const CVedTextPos* stopMark);
  void Anchor(CVedPageRecord& record);
  void ReanchorAtFirstLine(CVedPageRecord& record);

  void MarkChange(const ChangeRecord& change);
  // Height of the lines of a page above `line`; -1 when the line is not on
  // the page.
  int32_t HeightAbove(const CVedPageRecord& page, const CVedTextPos& line);
  void MarkBand(Node page, platform::RECT band);
  void MarkWhole(CVedPageRecord& page) const;
  platform::RECT WholePageRect() const;

  // Forgets the page last found by number; every change of the list does.
  void ForgetLookup() { lookedUp_ = 0; }

  PageList records_;
  // Counts full rebuilds, so a caller holding nodes knows when they went.
  uint32_t rebuilds_ = 0;
  // The page last found by number and its record, so that the views, which
  // go through the pages in order, do not walk the list from its start for
  // each page; 0 when none is known.
  int32_t lookedUp_ = 0;
  Node lookedUpNode_;
  CDocObject* root_ = nullptr;
  PageMetrics metrics_;
};
