#include "platform/window_message.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>

#include "platform/caret.h"
#include "platform/clock.h"
#include "platform/cursor.h"
#include "platform/display_backend.h"
#include "platform/input_queue.h"
#include "platform/message_queue.h"
#include "platform/paint_queue.h"
#include "platform/timers.h"
#include "platform/window_tree.h"

namespace platform {

namespace {

constexpr int kWaitWithoutLimit = -1;

// The cross-thread send this thread is handling, for InSendMessage and
// ReplyMessage; null while it handles its own messages.
thread_local SentMessage* handlingSend = nullptr;

class SendScope {
 public:
  explicit SendScope(SentMessage* sent) : previous_(handlingSend) { handlingSend = sent; }
  ~SendScope() { handlingSend = previous_; }
  SendScope(const SendScope&) = delete;
  SendScope& operator=(const SendScope&) = delete;

 private:
  SentMessage* previous_;
};

LRESULT CallOnThisThread(WNDPROC proc, const MSG& msg) {
  const SendScope scope(nullptr);
  return CallWindowProc(proc, msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

void HandleSent(const std::shared_ptr<SentMessage>& sent) {
  const std::optional<WindowTarget> target = TargetOf(sent->msg.hwnd);
  LRESULT result = 0;
  if (target) {
    const SendScope scope(sent.get());
    const MSG& msg = sent->msg;
    result = CallWindowProc(target->proc, msg.hwnd, msg.message, msg.wParam, msg.lParam);
  }
  ThreadMessageQueue::Complete(*sent, result);
}

void DeliverSentMessages() {
  while (const std::shared_ptr<SentMessage> sent = CurrentQueue()->TakeSent()) HandleSent(sent);
}

LRESULT SendToOtherThread(const WindowTarget& target, const MSG& msg) {
  ThreadMessageQueue& own = *CurrentQueue();
  const auto sent = std::make_shared<SentMessage>();
  sent->msg = msg;
  sent->senderQueue = &own;
  target.queue->PushSent(sent);
  // The window may have gone between looking it up and queueing.
  if (!IsWindow(msg.hwnd)) target.queue->CancelSentTo(msg.hwnd);
  while (!own.IsDone(*sent)) {
    DeliverSentMessages();
    if (own.IsDone(*sent)) break;
    own.Wait(CurrentDisplay().EventDescriptor(), kWaitWithoutLimit);
  }
  return sent->result;
}

class RegisteredMessages {
 public:
  UINT Register(const char* name) {
    if (name == nullptr || *name == '\0') return 0;
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::lock_guard lock(mutex_);
    const auto it = numbers_.find(folded);
    if (it != numbers_.end()) return it->second;
    if (next_ > kLastRegisteredMessage) return 0;
    numbers_[folded] = next_;
    return next_++;
  }

 private:
  std::mutex mutex_;
  std::map<std::string, UINT> numbers_;
  UINT next_ = kFirstRegisteredMessage;
};

}  // namespace

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const std::optional<WindowTarget> target = TargetOf(window);
  if (!target) return 0;
  const MSG msg{window, message, wParam, lParam};
  if (target->queue == CurrentQueue()) return CallOnThisThread(target->proc, msg);
  return SendToOtherThread(*target, msg);
}

bool InSendMessage() { return handlingSend != nullptr; }

bool ReplyMessage(LRESULT result) {
  if (handlingSend == nullptr) return false;
  ThreadMessageQueue::Complete(*handlingSend, result);
  return true;
}

bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window == kNoWindow) {
    PostThreadMessage(message, wParam, lParam);
    return true;
  }
  const std::optional<WindowTarget> target = TargetOf(window);
  if (!target) return false;
  target->queue->Post(MSG{window, message, wParam, lParam});
  return true;
}

void PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  CurrentQueue()->Post(MSG{kNoWindow, message, wParam, lParam});
}

bool PostThreadMessage(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
  const std::shared_ptr<ThreadMessageQueue> queue = QueueOfThread(threadId);
  if (!queue) return false;
  queue->Post(MSG{kNoWindow, message, wParam, lParam});
  return true;
}

void PostQuitMessage(int exitCode) { CurrentQueue()->PostQuit(exitCode); }

DWORD GetCurrentThreadId() { return CurrentQueue()->threadId(); }

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
  const std::optional<WindowTarget> target = TargetOf(window);
  if (!target) return 0;
  if (processId != nullptr) *processId = static_cast<DWORD>(getpid());
  return target->queue->threadId();
}

UINT RegisterWindowMessage(const char* name) {
  static RegisteredMessages registered;
  return registered.Register(name);
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  if (window != kNoWindow) {
    const std::optional<WindowTarget> target = TargetOf(window);
    if (!target || target->queue != CurrentQueue()) return 0;
  }
  return CurrentTimers().Set(window, id, elapse, proc);
}

bool KillTimer(HWND window, UINT_PTR id) { return CurrentTimers().Kill(window, id); }

bool PeekMessage(MSG* msg, HWND window, UINT first, UINT last, UINT remove) {
  DeliverSentMessages();
  const bool removing = (remove & PM_REMOVE) != 0;
  return CurrentQueue()->TakePosted(msg, window, first, last, removing) ||
         TakeInput(msg, window, first, last, removing) || TakePaint(msg, window, first, last) ||
         CurrentTimers().TakeDue(msg, window, first, last, removing);
}

namespace {

void WaitWithLimit(std::optional<uint32_t> limit) {
  DisplayBackend& display = CurrentDisplay();
  const auto wait = [&display](int timeoutMs) {
    CurrentQueue()->Wait(display.EventDescriptor(), timeoutMs);
    display.HandleEvents();
  };
  const std::optional<uint32_t> untilTimer = CurrentTimers().UntilNext();
  if (untilTimer && (!limit || *untilTimer < *limit)) limit = untilTimer;
  if (limit) {
    ProcessClock().WaitForEvents(*limit, wait);
  } else {
    wait(kWaitWithoutLimit);
  }
}

}  // namespace

bool WaitMessage() {
  WaitWithLimit(std::nullopt);
  return true;
}

void WaitMessageFor(uint32_t milliseconds) { WaitWithLimit(milliseconds); }

int GetMessage(MSG* msg, HWND window, UINT first, UINT last) {
  MSG taken;
  while (!PeekMessage(&taken, window, first, last, PM_REMOVE)) WaitMessage();
  if (msg != nullptr) *msg = taken;
  return taken.message == WM_QUIT ? 0 : 1;
}

bool TranslateMessage(const MSG* msg) { return msg != nullptr && TranslateKey(*msg); }

LRESULT DispatchMessage(const MSG* msg) {
  if (msg == nullptr) return 0;
  if (msg->message == WM_TIMER && msg->lParam != 0) {
    reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
    return 0;
  }
  if (msg->hwnd == kNoWindow) return 0;
  const std::optional<WindowTarget> target = TargetOf(msg->hwnd);
  if (!target) return 0;
  return CallOnThisThread(target->proc, *msg);
}

void ResetWindowMessages() {
  ResetInput();
  DestroyCaret();
  ResetCursors();
  CurrentQueue()->Clear();
  CurrentTimers().Clear();
  std::lock_guard lock(Tree().mutex());
  Tree().Clear();
}

}  // namespace platform
