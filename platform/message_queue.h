// One thread's queue: the messages posted to it, the messages other
// threads sent to its windows and wait on, and the descriptor that wakes
// the thread when either arrives. Internal to the window system.
#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/window_message.h"

namespace platform {

// A message sent from one thread to a window of another. The sender waits
// until `done`; the receiver fills `result` and wakes the sender's queue.
struct SentMessage {
  MSG msg;
  class ThreadMessageQueue* senderQueue = nullptr;
  LRESULT result = 0;
  bool done = false;
};

class ThreadMessageQueue {
 public:
  explicit ThreadMessageQueue(DWORD threadId);
  ~ThreadMessageQueue();
  ThreadMessageQueue(const ThreadMessageQueue&) = delete;
  ThreadMessageQueue& operator=(const ThreadMessageQueue&) = delete;

  DWORD threadId() const { return threadId_; }

  void Post(const MSG& msg);
  // Queues messages to be taken before everything posted so far.
  void PostFirst(const std::vector<MSG>& messages);
  void PostQuit(int exitCode);
  // Takes (or only reads) the first posted message that passes the filter,
  // then a pending quit.
  bool TakePosted(MSG* msg, HWND window, UINT first, UINT last, bool remove);
  bool HasPosted(UINT first, UINT last);

  // A queue whose thread has ended answers what is sent to it with 0.
  void PushSent(const std::shared_ptr<SentMessage>& sent);
  // The thread ends: senders waiting on it are released with 0.
  void Close();
  std::shared_ptr<SentMessage> TakeSent();
  // Releases every sender waiting on a message to the window, answering 0.
  void CancelSentTo(HWND window);
  static void Complete(SentMessage& sent, LRESULT result);
  bool IsDone(const SentMessage& sent);

  // Waits until something arrives, the other descriptor becomes readable
  // or the timeout passes (negative: no limit).
  void Wait(int otherDescriptor, int timeoutMs);
  void Wake();
  void Clear();

 private:
  static bool Passes(const MSG& msg, HWND window, UINT first, UINT last);

  const DWORD threadId_;
  const int wakeDescriptor_;
  std::mutex mutex_;
  std::deque<MSG> posted_;
  std::deque<std::shared_ptr<SentMessage>> sent_;
  bool quitPending_ = false;
  bool closed_ = false;
  int quitCode_ = 0;
};

// The calling thread's queue, made on first use.
const std::shared_ptr<ThreadMessageQueue>& CurrentQueue();
// Wakes every thread's queue: input is for whichever thread owns its
// window when it is taken.
void WakeAllQueues();
// The queue of a thread that has one, or null.
std::shared_ptr<ThreadMessageQueue> QueueOfThread(DWORD threadId);

}  // namespace platform
