#include "platform/message_queue.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <unordered_map>

namespace platform {

namespace {

// Every thread's queue by thread id, so that PostThreadMessage finds it.
class QueueDirectory {
 public:
  void Add(const std::shared_ptr<ThreadMessageQueue>& queue) {
    std::lock_guard lock(mutex_);
    queues_[queue->threadId()] = queue;
  }
  void Remove(DWORD threadId) {
    std::lock_guard lock(mutex_);
    queues_.erase(threadId);
  }
  void WakeAll() {
    std::lock_guard lock(mutex_);
    for (const auto& [id, weak] : queues_) {
      if (const std::shared_ptr<ThreadMessageQueue> queue = weak.lock()) queue->Wake();
    }
  }
  std::shared_ptr<ThreadMessageQueue> Find(DWORD threadId) {
    std::lock_guard lock(mutex_);
    const auto it = queues_.find(threadId);
    return it == queues_.end() ? nullptr : it->second.lock();
  }

 private:
  std::mutex mutex_;
  std::unordered_map<DWORD, std::weak_ptr<ThreadMessageQueue>> queues_;
};

QueueDirectory& Directory() {
  static QueueDirectory directory;
  return directory;
}

DWORD NextThreadId() {
  static std::atomic<DWORD> next{1};
  return next++;
}

// Forgets the thread's queue in the directory when the thread ends.
struct ThreadQueueHolder {
  std::shared_ptr<ThreadMessageQueue> queue = std::make_shared<ThreadMessageQueue>(NextThreadId());
  ThreadQueueHolder() { Directory().Add(queue); }
  ~ThreadQueueHolder() {
    Directory().Remove(queue->threadId());
    queue->Close();
  }
};

}  // namespace

ThreadMessageQueue::ThreadMessageQueue(DWORD threadId)
    : threadId_(threadId), wakeDescriptor_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

ThreadMessageQueue::~ThreadMessageQueue() {
  if (wakeDescriptor_ >= 0) close(wakeDescriptor_);
}

bool ThreadMessageQueue::Passes(const MSG& msg, HWND window, UINT first, UINT last) {
  if (window == kThreadMessagesOnly) {
    if (msg.hwnd != kNoWindow) return false;
  } else if (window != kNoWindow && msg.hwnd != window) {
    return false;
  }
  if (first == 0 && last == 0) return true;
  return msg.message >= first && msg.message <= last;
}

void ThreadMessageQueue::Post(const MSG& msg) {
  {
    std::lock_guard lock(mutex_);
    posted_.push_back(msg);
  }
  Wake();
}

void ThreadMessageQueue::PostFirst(const std::vector<MSG>& messages) {
  {
    std::lock_guard lock(mutex_);
    posted_.insert(posted_.begin(), messages.begin(), messages.end());
  }
  Wake();
}

void ThreadMessageQueue::PostQuit(int exitCode) {
  {
    std::lock_guard lock(mutex_);
    quitPending_ = true;
    quitCode_ = exitCode;
  }
  Wake();
}

bool ThreadMessageQueue::TakePosted(MSG* msg, HWND window, UINT first, UINT last, bool remove) {
  std::lock_guard lock(mutex_);
  for (auto it = posted_.begin(); it != posted_.end(); ++it) {
    if (!Passes(*it, window, first, last)) continue;
    if (msg != nullptr) *msg = *it;
    if (remove) posted_.erase(it);
    return true;
  }
  const MSG quit{kNoWindow, WM_QUIT, static_cast<WPARAM>(quitCode_), 0};
  if (!quitPending_ || !Passes(quit, kNoWindow, first, last)) return false;
  if (msg != nullptr) *msg = quit;
  if (remove) quitPending_ = false;
  return true;
}

bool ThreadMessageQueue::HasPosted(UINT first, UINT last) {
  return TakePosted(nullptr, kNoWindow, first, last, false);
}

void ThreadMessageQueue::PushSent(const std::shared_ptr<SentMessage>& sent) {
  {
    std::lock_guard lock(mutex_);
    if (!closed_) {
      sent_.push_back(sent);
      Wake();
      return;
    }
  }
  Complete(*sent, 0);
}

void ThreadMessageQueue::Close() {
  std::deque<std::shared_ptr<SentMessage>> waiting;
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    waiting.swap(sent_);
  }
  for (const auto& sent : waiting) Complete(*sent, 0);
}

std::shared_ptr<SentMessage> ThreadMessageQueue::TakeSent() {
  std::lock_guard lock(mutex_);
  if (sent_.empty()) return nullptr;
  std::shared_ptr<SentMessage> sent = sent_.front();
  sent_.pop_front();
  return sent;
}

void ThreadMessageQueue::CancelSentTo(HWND window) {
  std::vector<std::shared_ptr<SentMessage>> cancelled;
  {
    std::lock_guard lock(mutex_);
    const auto target = [window](const std::shared_ptr<SentMessage>& s) {
      return s->msg.hwnd == window;
    };
    std::copy_if(sent_.begin(), sent_.end(), std::back_inserter(cancelled), target);
    sent_.erase(std::remove_if(sent_.begin(), sent_.end(), target), sent_.end());
  }
  for (const auto& sent : cancelled) Complete(*sent, 0);
}

void ThreadMessageQueue::Complete(SentMessage& sent, LRESULT result) {
  ThreadMessageQueue* sender = sent.senderQueue;
  {
    std::lock_guard lock(sender->mutex_);
    if (sent.done) return;
    sent.result = result;
    sent.done = true;
  }
  sender->Wake();
}

bool ThreadMessageQueue::IsDone(const SentMessage& sent) {
  std::lock_guard lock(mutex_);
  return sent.done;
}

void ThreadMessageQueue::Wait(int otherDescriptor, int timeoutMs) {
  pollfd descriptors[] = {{wakeDescriptor_, POLLIN, 0}, {otherDescriptor, POLLIN, 0}};
  const nfds_t count = otherDescriptor >= 0 ? 2 : 1;
  if (poll(descriptors, count, timeoutMs) > 0 && (descriptors[0].revents & POLLIN) != 0) {
    eventfd_t drained = 0;
    eventfd_read(wakeDescriptor_, &drained);
  }
}

void ThreadMessageQueue::Wake() { eventfd_write(wakeDescriptor_, 1); }

void ThreadMessageQueue::Clear() {
  std::lock_guard lock(mutex_);
  posted_.clear();
  quitPending_ = false;
}

const std::shared_ptr<ThreadMessageQueue>& CurrentQueue() {
  thread_local ThreadQueueHolder holder;
  return holder.queue;
}

void WakeAllQueues() { Directory().WakeAll(); }

std::shared_ptr<ThreadMessageQueue> QueueOfThread(DWORD threadId) {
  return Directory().Find(threadId);
}

}  // namespace platform
