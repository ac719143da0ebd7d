// The framework view of one word-processor document: the window inside a
// document frame that holds the editing surface with its scroll bars,
// corner boxes and the rulers' places, binds them to the document's
// engine, answers the engine's notifications, and offers the application
// view its editing, selection, display, zoom and tip operations.
//
// The engine is reached only by its numbered commands. Until the first
// background erase of the paint cycle the engine tells the view only of
// completed loads; that erase attaches the surface and opens every
// notification.
//
// Input belongs to the editing surface, or, while a keyboard prompt mode
// runs, to the view, which then turns the caret keys into engine moves
// itself, or, while the document is read aloud, to the reading, which
// gets every key.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "engine/caret_point.h"
#include "engine/notifier.h"
#include "framework/cstring.h"
#include "framework/view.h"
#include "model/doc_object.h"
#include "views/box_wnd.h"
#include "views/child_anchor.h"
#include "views/read_aloud.h"
#include "views/scroll_bars.h"
#include "views/tip_balloon.h"
#include "views/wp_view_records.h"

class CVedEdView;
class CVedWpCtrl;

// The corner boxes, in the order of their anchor types.
enum CornerBox : int {
  kBoxTopLeft = 0,
  kBoxBottomLeft = 1,
  kBoxTopRight = 2,
  kBoxBottomRight = 3,
  kCornerBoxCount = 4,
};

// The move code of a selection made unit by unit (BeginRangeSelection).
inline constexpr int kMoveExtendUnit = 2305;

// What the editing wrappers answer.
enum EditWrapperResult : int {
  kEditDone = 0,
  kEditNothingToDo = 1,
  kEditFailed = -1,
};

class CVedWpView : public framework::CView, public CReadAloudHost {
  DECLARE_DYNCREATE(CVedWpView)
  DECLARE_MESSAGE_MAP()

 public:
  CVedWpView();
  ~CVedWpView() override;

  // The application view's hooks; empty here. Reading tells how it ended
  // (ReadingStopped) on the window thread.
  void OnReadingFinished(int stopped, int mode) override;
  virtual void OnContextMenuAt(int x, int y, int where, const ObjectDescription& info);

  // ---- Reading aloud (ReadingMode)
  // A second start while reading runs stops it; 0 when reading started.
  int StartReading(int mode, int returnToStart);
  // A key while reading runs.
  void OnReadingKey(int key);
  bool IsReading() const { return reading_.IsRunning(); }

  // ---- What the reading asks of its host
  CVedWpCtrl* ReadingEngine() override { return engine_; }
  platform::HWND ReadingViewWindow() override { return m_hWnd; }
  CVedEdView* ReadingSurface() override;
  int SurfaceHasInput() override { return surfaceHasInput_; }
  void SetSurfaceHasInput(int hasInput) override { surfaceHasInput_ = hasInput; }

  // ---- Editing (EditWrapperResult)
  int Copy();
  int Cut();
  int Paste();
  int Undo();
  int Redo();

  // ---- The input method's composition (none yet: nothing composes)
  int GetImeCompositionState();
  int SuspendImeComposition();
  void ResumeImeComposition();
  int GetImeCompositionText(framework::CString& text);

  // ---- Keyboard prompt modes: the view takes the keys from the surface
  void SuspendEditInput();
  void ResumeEditInput();
  void EnableViewCaretKeys(int flag);
  // The engine's answer to the first extension.
  int BeginRangeSelection(int mode);
  void ExtendRangeSelection(int mode);
  void CancelSelection(int refresh);
  void StartRangeMarking();
  // keep 0 cancels the marking and puts the caret back.
  void StopRangeMarking(int keep);

  bool PreTranslateMessage(platform::MSG* msg) override;

  // ---- Display records
  void ApplyColours(const ViewColourSet& colours, const RulerColourPair& rulers);
  void ApplyDisplayOptions(const ViewDisplayOptions& options, const EditSurfaceStyleBlock& block);
  void ApplySpeechOptions(const SpeechOptions& options);
  // Either pointer may be null.
  void SaveDisplayState(ViewColourSet* colours, RulerColourPair* rulers);

  // ---- View mode, zoom and rulers
  void SetViewScale(int mode, int zoom, int hruler, int vruler);
  void SetViewMode(int mode, int zoom, int hruler, int vruler);
  // On Windows 9x a page may not be wider or taller than the system draws.
  int LimitZoomForPlatform(int zoom);
  void SetRulerVisibility(int h, int v);

  // ---- The balloon tip, in colours that stand out against the paper
  void CreateTipWindow();
  void DestroyTipWindow();
  // 1 when the tip shows the text below the caret; 0 without a tip.
  int ShowTip(const char* text);
  // skip 1 leaves the tip where it is.
  void PlaceTipAtCaret(int skip);
  void HideTip();

  // ---- State the application view and the tests read
  CVedWpCtrl* Engine() const { return engine_; }
  CVedEdView* Surface() const { return surface_; }
  const ChildAnchor& SurfaceAnchor() const { return surfaceAnchor_; }
  CVertScrollBar& VertScrollBar() const { return *vbar_; }
  CHorzScrollBar& HorzScrollBar() const { return *hbar_; }
  CBoxWnd& Box(CornerBox box) const { return *boxes_[box]; }
  CTipBalloonWnd* Tip() const { return tip_.get(); }
  int TipPlaced() const { return tipPlaced_; }
  const ColourRecord& Colours() const { return colours_; }
  const DisplayOptionsRecord& DisplayOptions() const { return displayOptions_; }
  const SpeechOptions& Speech() const { return speech_; }
  int ReconversionOption() const { return reconversion_; }
  int ViewDrivesCaretKeys() const { return viewDrivesCaretKeys_; }
  int AnchorSet() const { return anchorSet_; }
  int SelectionMode() const { return selectionMode_; }
  int RangeMarking() const { return rangeMarking_; }
  int HorzRulerVisible() const { return hrulerVisible_; }
  int VertRulerVisible() const { return vrulerVisible_; }

 protected:
  void OnDraw(framework::CDC* dc) override;
  void OnInitialUpdate() override;

  int OnCreate(const platform::CREATESTRUCT* cs);
  void OnSize(platform::UINT type, int cx, int cy);
  bool OnEraseBkgnd(framework::CDC* dc);
  platform::LRESULT OnCaretChanged(platform::WPARAM moveCode, platform::LPARAM record);
  platform::LRESULT OnTextChanged(platform::WPARAM, platform::LPARAM record);
  platform::LRESULT OnContentLoaded(platform::WPARAM, platform::LPARAM);
  platform::LRESULT OnReconvertRequest(platform::WPARAM, platform::LPARAM text);
  void OnSetFocus(framework::CWnd* previous);
  void OnKillFocus(framework::CWnd* next);
  // Reading stops and its thread is joined before anything of the view goes.
  void OnDestroy();
  void OnVScroll(platform::UINT code, platform::UINT position, framework::CWnd* bar);
  void OnHScroll(platform::UINT code, platform::UINT position, framework::CWnd* bar);
  void OnContextMenu(framework::CWnd* window, platform::POINT point);
  void OnEditCopy();
  void OnEditCut();
  void OnEditPaste();

 private:
  // 0 when a child could not be made.
  int CreateChildren();
  // The anchors by the rulers' visibility; the boxes shown where both
  // their neighbours are.
  void LayoutChildren();
  void ShowCornerBoxes();
  void PlaceChildren(int32_t width, int32_t height);
  // The rulers' breadths where they show; their places stay empty until
  // the view has rulers, so both are 0.
  int32_t HorzRulerHeight() const;
  int32_t VertRulerWidth() const;
  void UpdateScrollBars();
  // The scroll bar's track position, by SB_CTL and SIF_ALL.
  static int32_t TrackPosition(const framework::CScrollBar& bar);
  bool TipShown() const;
  // The caret record by 3306, its page field 0 first.
  CaretPoint FetchCaretRecord() const;
  // OnCaretChanged with a record in hand (null fetches one).
  void CaretChanged(int moveCode, const CaretPoint* record);
  int EngineEdit(int code, intptr_t arg = 0, intptr_t value = 0) const;
  // A caret key while the view drives them: eaten when it has a move.
  bool MoveByCaretKey(int key);
  // The surface's display record with this view's zoom, mode and colours.
  void ApplyZoomAndMode(int mode, int zoom);

  CVedWpCtrl* engine_ = nullptr;
  int hrulerVisible_ = 1;
  int vrulerVisible_ = 1;
  int surfaceHasInput_ = 1;
  int viewDrivesCaretKeys_ = 1;
  int anchorSet_ = 0;
  int selectionMode_ = 1;
  int rangeMarking_ = 0;
  ColourRecord colours_ = DefaultViewColours();
  DisplayOptionsRecord displayOptions_ = DefaultViewDisplayOptions();
  SpeechOptions speech_;
  int reconversion_ = 1;
  // The surface deletes itself with its window; the view deletes it only
  // when that window was never made.
  CVedEdView* surface_;
  bool surfaceCreated_ = false;
  ChildAnchor surfaceAnchor_;
  std::unique_ptr<CVertScrollBar> vbar_;
  std::unique_ptr<CHorzScrollBar> hbar_;
  std::array<std::unique_ptr<CBoxWnd>, kCornerBoxCount> boxes_;
  std::unique_ptr<CTipBalloonWnd> tip_;
  // Set when the tip was just put at the caret: the next erase leaves it.
  int tipPlaced_ = 0;
  platform::COLORREF tipTextColour_ = 0;
  platform::COLORREF tipBackColour_ = 0;
  platform::COLORREF tipBorderColour_ = 0;
  TipFace tipFace_{};
  int32_t tipPointTenths_ = 0;
  // Last, so that it goes first: its thread is joined before the rest.
  CReadAloudThread reading_{*this};
};
