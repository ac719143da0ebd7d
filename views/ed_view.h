// The editing surface: the child window of the framework view in which a
// document's pages become visible. It keeps the visible pages in its
// display lines, paints them off screen through the engine's page
// painting with the selection inverted, follows the caret, scrolls by
// scroll-bar codes and maps client points to page points in twips. It
// never edits text itself: every change is an engine command.
//
// Before an engine is attached, painting, the caret and the mouse do
// nothing.
#pragma once

#include <cstdint>

#include "engine/caret_point.h"
#include "framework/view.h"
#include "model/doc_object.h"
#include "platform/cursor.h"
#include "platform/gdi.h"
#include "platform/region.h"
#include "views/display_lines.h"
#include "views/edit_surface_records.h"
#include "views/selection_regions.h"
#include "views/surface_geometry.h"

class CVedWpCtrl;

inline constexpr char kEditSurfaceClass[] = "VEDEDIT";

// What HitTestPoint answers.
enum SurfaceHit : int {
  kHitBelowLastPage = 0,  // the record names the last page, the point below it
  kHitOnPage = 1,
  kHitLeftOfPage = 2,
  kHitRightOfPage = 3,
};

// What GetHitInfo answers.
enum SurfaceHitInfo : int {
  kHitInfoNoSelection = 0,
  kHitInfoInSelection = 1,
  kHitInfoOutsideSelection = 2,
};

// The custom cursor: the arrow mirrored, pointing to the upper right.
inline constexpr int32_t kMarginCursorSize = 32;
inline constexpr int32_t kMarginCursorHotX = 31;
inline constexpr int32_t kMarginCursorHotY = 0;
inline constexpr size_t kMarginCursorMaskBytes = 128;
const uint8_t* MarginCursorAndMask();
const uint8_t* MarginCursorXorMask();

class CVedEdView : public framework::CView {
  DECLARE_DYNCREATE(CVedEdView)
  DECLARE_MESSAGE_MAP()

 public:
  CVedEdView();
  ~CVedEdView() override;

  // Registers the class and makes the child window of `parent`, the
  // custom cursor and the private clipboard format. 0 when the class or
  // the window cannot be made, else 1.
  int CreateEditSurfaceWindow(framework::CWnd* parent);
  // Joins the document's views and shows the engine's document with the
  // caret; input is enabled afterwards.
  void AttachEngine(CVedWpCtrl* engine, framework::CDocument* document);
  void SetDisplayRecord(const EditSurfaceDisplayRecord& record);
  void SetStyleBlock(const EditSurfaceStyleBlock& block);
  // After the engine loaded a document: metrics, bitmap, lines and caret.
  void RefreshAfterLoad();
  void EnableInput();
  void DisableInput();
  // The move code of a caret key with the modifiers held now; 0 for none.
  int GetKeyMoveCode(int key) const;

  // ---- Caret tracking, scrolling and hit testing
  void OnCaretMoved(int moveCode, const CaretPoint* record);
  void OnContentChanged(const CaretPoint* record);
  int ScrollVert(int code, int32_t position);
  int ScrollHorz(int code, int32_t position);
  void ShowCaretIfAttached();
  void HideCaretAll();
  // The caret's rectangle in the window; 0 when no caret shows.
  int GetCaretWindowRect(platform::RECT* rect) const;
  // Unzoomed pixels for the vertical scroll bar.
  int32_t GetDocumentHeight() const;
  int32_t GetScrollTop() const;
  // SurfaceHitInfo; the record is filled by the engine's hit test.
  int GetHitInfo(int32_t x, int32_t y, ObjectDescription* out);
  // SurfaceHit. With `out` the page point (twips) is copied out; without
  // one a point on or beside a page moves the caret there.
  int HitTestPoint(int32_t x, int32_t y, CaretPoint* out);
  // The point in twips after the nearer-side adjustment: a point on the
  // right half of a character names the place after it.
  CaretPoint AdjustPoint(const CaretPoint& point) const;

  // ---- State
  CVedWpCtrl* Engine() const { return geometry_.engine; }
  const SurfaceGeometry& Geometry() const { return geometry_; }
  const CDisplayLineList& DisplayLines() const { return lines_; }
  const SelectionRegionSet& Selection() const { return selection_; }
  const EditSurfaceDisplayRecord& DisplayRecord() const { return display_; }
  const EditSurfaceStyleBlock& StyleBlock() const { return style_; }
  platform::HCURSOR MarginCursor() const { return marginCursor_; }
  uint16_t ClipboardFormat() const { return clipboardFormat_; }
  int IsInputBlocked() const { return inputBlocked_; }
  int IsPainting() const { return painting_; }
  // The page bitmap's DC (null without one) and its size.
  platform::HDC PageBitmapDC() const { return pageBitmapDC_.get(); }
  const platform::RECT& PageBitmapRect() const { return pageBitmapRect_; }

  // The off-screen paint onto `dc`, within its clip; with `useSavedRect`
  // and no clip of its own, only the pending update rectangle.
  void PaintOffscreen(platform::HDC dc, bool useSavedRect);
  // Paints the region (window pixels) and every page's dirty rectangles.
  void RepaintRegion(const platform::Region& region);

 protected:
  void OnDraw(framework::CDC* dc) override;
  platform::LRESULT WindowProc(platform::UINT message, platform::WPARAM wParam,
                               platform::LPARAM lParam) override;

 private:
  bool OnEraseBkgnd(framework::CDC* dc);
  void OnSize(platform::UINT type, int cx, int cy);
  void OnSetFocus(framework::CWnd* previous);
  void OnKillFocus(framework::CWnd* next);
  platform::LRESULT OnMouseActivate();
  bool OnSetCursor(int hitCode);

  void DropOwnQueuedKeys();
  void ComputeMetrics();
  void BuildPageBitmap();
  void TakeClientSize();
  void RelayOut();
  void RebuildSelection();
  // The engine's caret record.
  CaretPoint CaretRecord() const;
  platform::HDC SurfaceDC() const;
  int32_t PixelsToTwips(int32_t pixels, int32_t dpi) const;
  platform::RECT ClientRect() const;
  // Every visible page's dirty rectangles in window pixels, widened.
  void AddDirtyRects(platform::Region& into) const;
  // The strip a scroll by (dx, dy) uncovers, each offset made larger by the zoom.
  platform::Region ExposedStrip(const ScrollOffset& offset) const;
  void RedrawAll();
  void PlaceAndShowCaret(bool show);
  // The cursor for a client point (WM_SETCURSOR).
  platform::HCURSOR CursorAt(platform::POINT point);
  bool InSelection(platform::POINT point) const;

  // The display lines read the geometry; both are set up before painting.
  SurfaceGeometry geometry_;
  CDisplayLineList lines_{&geometry_};
  framework::CDocument* document_ = nullptr;
  uint16_t clipboardFormat_ = 0;
  EditSurfaceDisplayRecord display_;
  EditSurfaceStyleBlock style_;
  platform::UniqueDC pageBitmapDC_;
  platform::UniqueBitmap pageBitmap_;
  platform::RECT pageBitmapRect_{};
  platform::HCURSOR marginCursor_ = 0;
  SelectionRegionSet selection_;
  platform::RECT pendingUpdate_{};
  int relayoutPending_ = 0;
  int painting_ = 0;
  int inputBlocked_ = 0;
};
