#include "engine/wp_ctrl.h"

#include "platform/system_info.h"

namespace {

// The codes of each group that set the running flag on entry.
bool SetsRunningFlag(int group, int code) {
  constexpr int kTextEditGroup = 1;
  constexpr int kTableEditGroup = 2;
  switch (group) {
    case kTextEditGroup:
      return (code > 3200 && code <= 3220) || (code > 3500 && code <= 3514);
    case kTableEditGroup:
      return code > 7000 && code <= 7007;
    default:
      return false;
  }
}

PageNumberDevice DefaultPageNumberDevice() {
  PageNumberDevice device;
  device.textColour = platform::GetSysColor(platform::COLOR_WINDOWTEXT);
  device.backgroundColour = platform::GetSysColor(platform::COLOR_WINDOW);
  device.zoom = 1;
  return device;
}

// Sets the running flag for one dispatcher call and gives back on every
// way out what it was before: a query sent from a notification handler in
// the middle of an edit must not switch off the edit's guard.
class RunningScope {
 public:
  RunningScope(CVedWpCtrl& engine, int group, int code)
      : engine_(engine), previous_(engine.MarkEditRunning(group, code)) {}
  ~RunningScope() { engine_.EndEditRunning(previous_); }
  RunningScope(const RunningScope&) = delete;
  RunningScope& operator=(const RunningScope&) = delete;

 private:
  CVedWpCtrl& engine_;
  int previous_;
};

constexpr int kTextEditGroup = 1;
constexpr int kTableEditGroup = 2;

}  // namespace

CVedWpCtrl::CVedWpCtrl() : pageNumberDevice_(DefaultPageNumberDevice()) { undo_.Bind(this); }

CVedWpCtrl::~CVedWpCtrl() {
  if (started_ != 0) Stop();
}

platform::HDC CVedWpCtrl::ReferenceDC() const {
  return ownReferenceDC_ != nullptr ? ownReferenceDC_.get() : givenReferenceDC_;
}

void CVedWpCtrl::SetReferenceDC(int mode, platform::HDC dc) {
  constexpr int kForget = 0;
  constexpr int kOwn = 1;
  ownReferenceDC_.reset();
  givenReferenceDC_ = nullptr;
  if (mode == kForget) return;
  if (mode != kOwn && dc != nullptr) {
    givenReferenceDC_ = dc;
    return;
  }
  // The display's measuring DC: a small image at the screen resolution.
  ownReferenceDC_ = platform::CreateImageDC(1, 1);
}

int CVedWpCtrl::Start() {
  if (started_ != 0) return 1;
  SetReferenceDC(1, nullptr);
  root_ = std::make_unique<CDocBunsObj>();
  if (root_->StartUp() == 0) return 0;
  root_->SetNotifyWindow(notifier_.GetWindow());
  root_->SetNotifyMask(notifier_.GetMask() & ~kEngineOnlyMask);
  pageTable_ = std::make_unique<CVedPageTable>();
  pageTable_->Attach(root_.get());
  pageNumber_ = std::make_unique<CVedPageNumber>();
  started_ = 1;
  return 1;
}

int CVedWpCtrl::Stop() {
  int result = 1;
  if (root_ != nullptr) {
    if (root_->Clear() == 0) result = 0;
    root_.reset();
  }
  if (pageTable_ != nullptr) {
    pageTable_->Detach();
    pageTable_.reset();
  }
  pageNumber_.reset();
  SetReferenceDC(0, nullptr);
  started_ = 0;
  Notify(WM_WPC_STOPPED, 0, 0);
  return result;
}

int CVedWpCtrl::MarkEditRunning(int group, int code) {
  const int previous = editRunning_;
  if (SetsRunningFlag(group, code)) editRunning_ = 1;
  return previous;
}

void CVedWpCtrl::EndEditRunning(int previous) { editRunning_ = previous; }

platform::LRESULT CVedWpCtrl::Notify(platform::UINT message, platform::WPARAM wParam,
                                     platform::LPARAM lParam) {
  return notifier_.Notify(message, wParam, lParam);
}

int CVedWpCtrl::EditCommand(int code, intptr_t arg, intptr_t value) {
  std::lock_guard lock(commandLock_);
  RunningScope running(*this, kTextEditGroup, code);
  return HandleEditCommand(code, arg, value);
}

intptr_t CVedWpCtrl::TableCommand(int code, int arg, intptr_t value) {
  std::lock_guard lock(commandLock_);
  RunningScope running(*this, kTableEditGroup, code);
  return HandleTableCommand(code, arg, value);
}

int CVedWpCtrl::NotifyCommand(int code, intptr_t arg) {
  std::lock_guard lock(commandLock_);
  switch (code) {
    case WPC_SET_NOTIFY_WINDOW: {
      const auto window = static_cast<platform::HWND>(arg);
      notifier_.SetWindow(window);
      return root_ != nullptr ? static_cast<int>(root_->SetNotifyWindow(window)) : 0;
    }
    case WPC_GET_NOTIFY_WINDOW:
      return static_cast<int>(notifier_.GetWindow());
    case WPC_SET_NOTIFY_MASK: {
      const auto mask = static_cast<uint32_t>(arg);
      if (root_ != nullptr) root_->SetNotifyMask(mask & ~kEngineOnlyMask);
      return static_cast<int>(notifier_.SetMask(mask));
    }
    case WPC_GET_NOTIFY_MASK:
      return static_cast<int>(notifier_.GetMask());
    default:
      return 0;
  }
}
