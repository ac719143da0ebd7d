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
#include "model/text_buffer.h"
#include "platform/cursor.h"
#include "platform/gdi.h"
#include "platform/region.h"
#include "views/display_lines.h"
#include "views/edit_surface_records.h"
#include "views/selection_regions.h"
#include "views/surface_geometry.h"

class CVedWpCtrl;
namespace views_test {
class EdViewInputAccess;
}

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

// The surface's private messages, always posted: restore an input-method
// composition that was put aside, and take the focus again.
inline constexpr platform::UINT WM_SURFACE_RESTORE_COMPOSITION = platform::WM_USER + 800;
inline constexpr platform::UINT WM_SURFACE_TAKE_FOCUS = platform::WM_USER + 801;

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

  // ---- Keys, typed characters and the mouse (ed_view_input.cpp)
  bool PreTranslateMessage(platform::MSG* msg) override;
  platform::LRESULT DefWindowProc(platform::UINT message, platform::WPARAM wParam,
                                  platform::LPARAM lParam) override;
  // 1 when the key became a command or was swallowed, 0 when it goes on
  // to be translated into a character.
  int TranslateEditKey(int key, platform::LPARAM lParam);
  void OnChar(platform::UINT ch, platform::UINT repeat, platform::UINT flags);
  void OnLButtonDown(platform::UINT flags, platform::POINT point);
  void OnMouseMove(platform::UINT flags, platform::POINT point);
  void OnLButtonUp(platform::UINT flags, platform::POINT point);
  void OnRButtonDown(platform::UINT flags, platform::POINT point);
  platform::LRESULT OnMouseWheel(platform::UINT flags, int delta);
  // Inserts the characters gathered so far as one typed insert. Whoever
  // moves the caret or edits through the engine outside the surface's own
  // handlers calls it first, so that typed text lands where it was typed.
  void InsertGatheredText();
  const CGlobalTextBuffer& GatheredText() const { return typed_; }
  int IsDragScrolling() const { return dragScroll_.running; }

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

  void OnDestroy();
  void OnTimer(platform::UINT_PTR id);
  void OnTakeFocus(platform::WPARAM wParam);

  // ---- Input helpers (ed_view_input.cpp)
  bool MouseIgnored() const;
  void SendDeleteKey(int command, platform::LPARAM lParam);
  int TranslateEnterKey(uint8_t modifiers);
  void SelectUnitAt(const CaretPoint& point);
  void ExtendSelectionTo(platform::POINT point);
  void StartDragScroll();
  void StopDragScroll();
  void DragScrollStep();
  // Until the input method is handled here there is never a composition:
  // nothing to cancel, nothing asks for a message, nothing is restored.
  void CancelComposition() {}
  static int ImePreTranslate(const platform::MSG*) { return 0; }
  static int ImeWindowProc(platform::UINT, platform::WPARAM, platform::LPARAM, platform::LRESULT*) {
    return 0;
  }
  // The own drag of the selection; false when no drag ran.
  static bool TryOwnDrag(platform::POINT) { return false; }

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

  // Typed characters gathered while more of them wait in the queue; each
  // surface has its own, so that none can land in another document.
  CGlobalTextBuffer typed_;
  // Where the left button went down, (-1, -1) when that is not known.
  platform::POINT lastDown_{-1, -1};
  // Set when the own drag of the selection ended; the moves of that press
  // then select nothing.
  int dragFinished_ = 0;
  // The selection follows the pointer while it is held outside: a timer
  // on this thread steps it.
  struct DragScrollState {
    int running = 0;
    platform::RECT client{};
    int32_t pitch = 0;  // twips a sideways step
  } dragScroll_;

  // The tests hold the painting flag, which a key cannot meet on this
  // thread otherwise.
  friend class views_test::EdViewInputAccess;
};
