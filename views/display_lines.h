// The display lines of an editing surface: one record for each page (or
// page piece) that shows in the surface's client area, top to bottom, and
// what follows from them: the screen caret, scrolling by scroll-bar codes,
// keeping the caret in view and finding the page under a window row.
//
// Coordinates. A record's visible rectangle and the caret rectangle are in
// page pixels at the zoom (origin at the paper's top-left corner). A
// record's origin is the page pixel that shows at the window's top-left
// corner, so a page point p shows at window point p - origin.
//
// Two geometries. Page view draws the pages as sheets one slot (page height
// plus gap) apart. Continuous view stacks the pages' used heights from the
// top of their text area, without gaps.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "engine/caret_point.h"
#include "platform/archive.h"
#include "platform/gdi.h"
#include "platform/module.h"
#include "platform/windef.h"
#include "platform/window_message.h"
#include "views/page_height_sums.h"
#include "views/surface_geometry.h"

struct DisplayLine {
  platform::RECT visible{};  // the part of the page that shows, page pixels
  int32_t page = 0;          // 1-based
  int32_t xOrigin = 0;
  int32_t yOrigin = 0;
  int32_t height = 0;  // the vertical extent the page adds: its slot or used height
  bool operator==(const DisplayLine&) const = default;
};

// Pixels the window's content moves by when the view scrolls; (0, 0) asks
// for a full repaint.
struct ScrollOffset {
  int32_t dx = 0;
  int32_t dy = 0;
  bool operator==(const ScrollOffset&) const = default;
};

// The page and the offset into its used height (unzoomed pixels) of a
// continuous-view position.
struct PagePosition {
  int32_t page = 0;
  int32_t offset = 0;
  bool operator==(const PagePosition&) const = default;
};

// Kinds of UpdateForCaret.
enum CaretUpdateKind : int {
  kCaretMoved = 0,
  kCaretPageMoved = 1,  // the move codes of whole pages and page jumps
  kCaretContentChanged = 2,
};

// GetCaretVisibility: which corners of the caret show.
inline constexpr int kCaretTopLeftShown = 1;
inline constexpr int kCaretBottomRightShown = 2;
inline constexpr int kCaretFullyShown = kCaretTopLeftShown | kCaretBottomRightShown;

// The scroll-bar codes the scrolling operations take.
enum ScrollCode : int {
  kScrollLineBack = 0,
  kScrollLineForward = 1,
  kScrollPageBack = 2,
  kScrollPageForward = 3,
  kScrollThumbPosition = 4,
  kScrollThumbTrack = 5,
};

// Horizontal positions are thousandths of the page's width.
inline constexpr int32_t kHorzScrollRange = 1000;
// Page-view vertical positions are thousandths of a page slot a page.
inline constexpr int32_t kSlotPositions = 1000;

// The input method's reconversion entry points of the IME-control module.
using ZNCanIMEReconvertFn = int (*)(platform::HWND window, int* answer);
using ZNIMEReconvertFn = int (*)(platform::HWND window, const char* text);

inline constexpr char kImeControlModule[] = "DADOVADU.DLL";

class CDisplayLineList {
 public:
  explicit CDisplayLineList(const SurfaceGeometry* surface);
  ~CDisplayLineList();
  CDisplayLineList(const CDisplayLineList&) = delete;
  CDisplayLineList& operator=(const CDisplayLineList&) = delete;

  // ---- The caret (display_caret.cpp)
  int CreateCaret(int32_t width, int32_t height);
  int ShowCaret();
  int HideCaret();
  int DestroyCaret();
  // With a record, keeps its rectangle (page twips) in pixels with its
  // page; then puts the caret there when that shows. 1 when placed.
  int PlaceCaret(platform::HDC dc, const CaretPoint* record);
  // 0 when the caret's page shows in no record.
  int GetCaretLine(DisplayLine* out) const;
  // kCaretTopLeftShown and kCaretBottomRightShown as they show; 0 when
  // the caret's page shows in no record.
  int GetCaretVisibility() const;
  // Kinds 0 caret move, 1 page move, 2 content change; 1 when the origin
  // moved, with the offset to scroll the window by.
  int UpdateForCaret(platform::HDC dc, int kind, const CaretPoint& record, ScrollOffset* offset);

  // ---- Visible pages (display_lines.cpp)
  void Rebuild(platform::HDC dc, int32_t xOrigin, int32_t yOrigin, int32_t page);
  void ResetOrigin(platform::HDC dc);
  // The page under a window row: the out record's rectangle has the page
  // point (x and y in page pixels) as its top-left corner. 1 when a
  // record holds the row; 0 below the last record, whose page it names
  // with the row's offset below it.
  int HitTestY(int32_t x, int32_t y, CaretPoint* out) const;
  std::pair<int32_t, int32_t> GetDpiPair(platform::HDC dc) const;
  // The records as a count and 32 bytes each. False when a load finds too
  // few bytes for its count; the list is then unchanged.
  bool Serialize(platform::CArchive& archive);

  // ---- Scrolling (display_scroll.cpp); 1 when the view moved.
  int ScrollVertByCode(platform::HDC dc, int code, int32_t position, ScrollOffset* offset);
  int ScrollHorzByCode(platform::HDC dc, int code, int32_t position, ScrollOffset* offset);
  int KeepCaretVisible(platform::HDC dc, ScrollOffset* offset);
  int ShowCaretPage(platform::HDC dc);
  // The distance the content moved from `oldLines` to the records now; 0
  // with (0, 0) when no page shows in both.
  int GetScrollOffset(platform::HDC dc, const DisplayLine* oldLines, size_t count,
                      ScrollOffset* offset) const;
  // Unzoomed pixels: the whole document, and the part above the origin.
  int32_t GetDocumentHeight(platform::HDC dc) const;
  int32_t GetHeightAbove(platform::HDC dc) const;
  // Unzoomed pixels of the pages before `page`.
  int32_t GetHeightAbovePage(platform::HDC dc, int32_t page) const;
  PagePosition PositionToPage(platform::HDC dc, int32_t position) const;
  // Carries a continuous-view origin that lies above or below its page's
  // used height into the page that holds it.
  std::pair<int32_t, int32_t> FindContinuousOrigin(platform::HDC dc, int32_t page,
                                                   int32_t yOrigin) const;

  // ---- State
  const std::vector<DisplayLine>& Lines() const { return lines_; }
  const platform::RECT& CaretRect() const { return caretRect_; }
  int32_t CaretPage() const { return caretPage_; }
  bool IsCaretShown() const { return caretShown_ != 0; }
  bool IsCaretCreated() const { return caretCreated_ != 0; }
  void SetHideRequest(int request) { hideRequest_ = request; }
  void SetCaretShape(int shape) { caretShape_ = shape; }
  void SetCaretSuppressed(int suppressed) { caretSuppressed_ = suppressed; }

  // ---- Reconversion resources
  platform::UINT ImeReconvertMessage() const { return msImeReconvert_; }
  platform::UINT AtokReconvertMessage() const { return atokReconvert_; }
  ZNIMEReconvertFn ImeReconvert() const { return imeReconvert_; }
  ZNCanIMEReconvertFn CanImeReconvert() const { return canImeReconvert_; }

 private:
  // Conversions with the DPI pair and the zoom.
  platform::RECT CaretPixels(platform::HDC dc, const platform::RECT& twips) const;
  int32_t UsedHeight(platform::HDC dc, int32_t page) const;  // zoomed pixels
  int32_t PageCount() const;
  int32_t LinePitchPixels(platform::HDC dc, int32_t zoom) const;
  int32_t CharStepPixels(platform::HDC dc) const;
  const DisplayLine* FindLine(int32_t page) const;
  // The page pixel row where the page's content ends and the rows of the
  // next record begin (page view: its gap belongs to the next page).
  int32_t ContentBottom(const DisplayLine& line) const;
  platform::POINT WindowPoint(const DisplayLine& line, int32_t x, int32_t y) const;

  void RebuildPages(int32_t xOrigin, int32_t yOrigin, int32_t page, int32_t count);
  void RebuildContinuous(platform::HDC dc, int32_t xOrigin, int32_t yOrigin, int32_t page,
                         int32_t count);
  DisplayLine& NextLine(size_t index);

  // The x origin that shows the caret, in steps of ten character pitches.
  int32_t FollowCaretX(platform::HDC dc, int32_t xOrigin) const;
  // A page-view origin carried into the slot that holds it.
  std::pair<int32_t, int32_t> CarrySlotOrigin(int32_t page, int32_t yOrigin) const;
  std::pair<int32_t, int32_t> KeepCaretVisibleY(platform::HDC dc) const;
  // Rebuilds and tells whether the first record moved, with the offset.
  int MoveTo(platform::HDC dc, int32_t xOrigin, int32_t yOrigin, int32_t page,
             ScrollOffset* offset);

  const SurfaceGeometry* surface_;
  std::vector<DisplayLine> lines_;
  // The records before a move, kept to measure it by; reused, so that a
  // scroll step allocates nothing. One for a move, one for a caret update
  // that makes moves.
  std::vector<DisplayLine> linesBeforeMove_;
  std::vector<DisplayLine> linesBeforeUpdate_;
  int hideRequest_ = 0;
  int caretShape_ = 0;
  int caretShown_ = 0;
  int caretCreated_ = 0;
  int caretSuppressed_ = 0;
  int32_t previousPageCount_ = 0;
  // Read again after every change the engine reports; the const sums
  // above fill it on demand.
  mutable PageHeightSums heightSums_;
  platform::RECT caretRect_{};
  int32_t caretPage_ = 0;
  platform::UINT msImeReconvert_ = 0;
  platform::UINT atokReconvert_ = 0;
  platform::Module imeControl_;
  ZNIMEReconvertFn imeReconvert_ = nullptr;
  ZNCanIMEReconvertFn canImeReconvert_ = nullptr;
};
