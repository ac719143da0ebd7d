// The framework view's window: construction, creation of its children,
// the attachment at the first background erase, the engine's
// notifications and the focus.
#include "views/wp_view.h"

#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "framework/framework_ids.h"
#include "platform/input.h"
#include "platform/paint.h"
#include "views/ed_view.h"
#include "views/wp_doc.h"

namespace {

// The notification mask until the first paint: only completed loads.
constexpr intptr_t kNotifyOnlyContentLoaded = 0x1000;
constexpr intptr_t kNotifyEverything = -1;
// The top-left box is drawn sunken once the view is attached.
constexpr int32_t kTopLeftBoxBevel = 2;

CaretPoint CaretPointOf(const CaretDisplayRecord& record) {
  return CaretPoint{{record.left, record.top, record.right, record.bottom}, record.page};
}

CaretDisplayRecord DisplayRecordOf(const CaretPoint& point) {
  return CaretDisplayRecord{point.rect.left,   point.rect.top, point.rect.right,
                            point.rect.bottom, point.page,     point.page};
}

}  // namespace

using framework::CView;

IMPLEMENT_DYNCREATE(CVedWpView, CView)

// clang-format off
BEGIN_MESSAGE_MAP(CVedWpView, framework::CView)
  framework::OnMessage<platform::WM_CREATE>(&CVedWpView::OnCreate),
  framework::OnMessage<platform::WM_DESTROY>(&CVedWpView::OnDestroy),
  framework::OnMessage<platform::WM_SIZE>(&CVedWpView::OnSize),
  framework::OnMessage<platform::WM_ERASEBKGND>(&CVedWpView::OnEraseBkgnd),
  framework::OnMessage<platform::WM_SETFOCUS>(&CVedWpView::OnSetFocus),
  framework::OnMessage<platform::WM_KILLFOCUS>(&CVedWpView::OnKillFocus),
  framework::OnMessage<platform::WM_VSCROLL>(&CVedWpView::OnVScroll),
  framework::OnMessage<platform::WM_HSCROLL>(&CVedWpView::OnHScroll),
  framework::OnMessage<platform::WM_CONTEXTMENU>(&CVedWpView::OnContextMenu),
  framework::OnProgramMessage(WM_WPC_CARETMOVED, &CVedWpView::OnCaretChanged),
  framework::OnProgramMessage(WM_WPC_CONTENTCHANGED, &CVedWpView::OnTextChanged),
  framework::OnProgramMessage(WM_WPC_CONTENTLOADED, &CVedWpView::OnContentLoaded),
  framework::OnProgramMessage(WM_WPC_RECONVERT, &CVedWpView::OnReconvertRequest),
  framework::OnCommandId(framework::ID_EDIT_COPY, &CVedWpView::OnEditCopy),
  framework::OnCommandId(framework::ID_EDIT_CUT, &CVedWpView::OnEditCut),
  framework::OnCommandId(framework::ID_EDIT_PASTE, &CVedWpView::OnEditPaste),
END_MESSAGE_MAP()
    // clang-format on

    CVedWpView::CVedWpView()
    : surface_(new CVedEdView),
      vbar_(std::make_unique<CVertScrollBar>()),
      hbar_(std::make_unique<CHorzScrollBar>()) {
  for (std::unique_ptr<CBoxWnd>& box : boxes_) box = std::make_unique<CBoxWnd>();
}

CVedWpView::~CVedWpView() {
  if (!surfaceCreated_) delete surface_;
}

void CVedWpView::OnContextMenuAt(int, int, int, const ObjectDescription&) {}

void CVedWpView::OnReadingFinished(int, int) {}

int CVedWpView::StartReading(int mode, int returnToStart) {
  if (engine_ == nullptr) return -1;
  return reading_.StartReading(mode, returnToStart);
}

void CVedWpView::OnReadingKey(int key) { reading_.OnReadingKey(key); }

CVedEdView* CVedWpView::ReadingSurface() {
  return surface_->m_hWnd != platform::kNoWindow ? surface_ : nullptr;
}

void CVedWpView::OnDestroy() {
  reading_.Stop();
  CView::OnDestroy();
}

void CVedWpView::OnDraw(framework::CDC*) {}

int CVedWpView::EngineEdit(int code, intptr_t arg, intptr_t value) const {
  return engine_ == nullptr ? 0 : engine_->EditCommand(code, arg, value);
}

CaretPoint CVedWpView::FetchCaretRecord() const {
  CaretPoint caret;
  caret.page = 0;
  EngineEdit(WPC_GET_CARET_RECT, 0, reinterpret_cast<intptr_t>(&caret));
  return caret;
}

// ---- Creation and attachment

int CVedWpView::OnCreate(const platform::CREATESTRUCT* cs) {
  if (CView::OnCreate(cs) == -1 || CreateChildren() == 0) return -1;
  LayoutChildren();
  ShowCornerBoxes();
  auto* document = dynamic_cast<CVedWpDoc*>(GetDocument());
  if (document != nullptr) {
    document->SetView(this);
    engine_ = document->GetEngine();
  }
  if (engine_ != nullptr) {
    engine_->NotifyCommand(WPC_SET_NOTIFY_MASK, kNotifyOnlyContentLoaded);
    engine_->EditCommand(WPC_SET_DISPLAY_OPTIONS, 0, reinterpret_cast<intptr_t>(&displayOptions_));
    engine_->DisplayCommand(WPC_SET_COLOURS, 0, &colours_);
    engine_->FeedbackCommand(WPC_SET_SPEECH_OPTIONS, 0, &speech_);
  }
  return 0;
}

void CVedWpView::OnInitialUpdate() {
  if (engine_ != nullptr) engine_->NotifyCommand(WPC_SET_NOTIFY_WINDOW, m_hWnd);
}

bool CVedWpView::OnEraseBkgnd(framework::CDC*) {
  if (surface_->Engine() == nullptr && engine_ != nullptr) {
    surface_->AttachEngine(engine_, GetDocument());
    vbar_->AttachSurface(surface_);
    hbar_->AttachSurface(surface_);
    boxes_[kBoxTopLeft]->SetBevelInset(kTopLeftBoxBevel);
    engine_->NotifyCommand(WPC_SET_NOTIFY_MASK, kNotifyEverything);
    CaretDisplayRecord record = DisplayRecordOf(FetchCaretRecord());
    SendMessage(WM_WPC_CARETMOVED, 0, reinterpret_cast<platform::LPARAM>(&record));
  } else if (tipPlaced_ != 0) {
    tipPlaced_ = 0;
  } else {
    HideTip();
  }
  return true;
}

// ---- The engine's notifications

void CVedWpView::CaretChanged(int moveCode, const CaretPoint* record) {
  HideTip();
  const CaretPoint caret = record != nullptr ? *record : FetchCaretRecord();
  surface_->OnCaretMoved(moveCode, &caret);
  UpdateScrollBars();
}

platform::LRESULT CVedWpView::OnCaretChanged(platform::WPARAM moveCode, platform::LPARAM record) {
  const auto* display = reinterpret_cast<const CaretDisplayRecord*>(record);
  if (display == nullptr) {
    CaretChanged(static_cast<int>(moveCode), nullptr);
  } else {
    const CaretPoint caret = CaretPointOf(*display);
    CaretChanged(static_cast<int>(moveCode), &caret);
  }
  return 0;
}

platform::LRESULT CVedWpView::OnTextChanged(platform::WPARAM, platform::LPARAM record) {
  const auto* display = reinterpret_cast<const CaretDisplayRecord*>(record);
  const CaretPoint caret = display != nullptr ? CaretPointOf(*display) : FetchCaretRecord();
  surface_->OnContentChanged(&caret);
  UpdateScrollBars();
  return 0;
}

platform::LRESULT CVedWpView::OnContentLoaded(platform::WPARAM, platform::LPARAM) {
  if (surface_->m_hWnd == platform::kNoWindow) return 0;
  platform::ShowWindow(surface_->m_hWnd, platform::SW_HIDE);
  surface_->RefreshAfterLoad();
  CaretChanged(0, nullptr);
  platform::ShowWindow(surface_->m_hWnd, platform::SW_SHOW);
  return 0;
}

// Reconversion goes through the surface's input-method handling, which
// this program does not have yet: every request is refused.
platform::LRESULT CVedWpView::OnReconvertRequest(platform::WPARAM, platform::LPARAM) { return 0; }

// ---- Focus

void CVedWpView::OnSetFocus(framework::CWnd*) {
  if (surfaceHasInput_ != 0) {
    platform::SetFocus(surface_->m_hWnd);
    return;
  }
  surface_->ShowCaretIfAttached();
  if (TipShown()) PlaceTipAtCaret(0);
}

void CVedWpView::OnKillFocus(framework::CWnd*) {
  if (surfaceHasInput_ == 0) surface_->HideCaretAll();
  HideTip();
}
