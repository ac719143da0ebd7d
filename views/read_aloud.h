// Reading a document aloud. The framework view owns one CReadAloudThread
// and hands it every key while reading runs. Reading either asks the
// engine to speak one unit (paragraph, line, part of a line, selection)
// and waits for the screen reader to fall silent, or walks the caret
// through the document unit by unit: it selects each unit, fetches its
// text, hands it to the screen reader and waits. Keys pause the walk and
// may move the caret; the walk then goes on from where the caret stands.
//
// Threads. A worker thread paces the reading (it waits 30, 50 and 100 ms
// on the process clock) and polls the screen reader's voice status, and
// that is all it does itself: every engine command and every window call
// runs on the window thread, in steps the worker hands over by a
// synchronous cross-thread send to a message window of this object. So
// the engine and the windows are only ever touched by the thread that
// owns them, and a key (handled on the window thread too) can never
// meet a step half done. The flags the two threads share (running,
// paused, moving) are atomics. A key that arrives while the worker is
// between moving to a unit and fetching its text waits its turn and is
// handled once the text is fetched. Stop and the destructor wait for the
// worker while answering its sends, then join it.
//
// The host is the framework view. It must give the reading:
//   ReadingEngine()       the document's engine; it must outlive this
//                         object (the document outlives its views);
//   ReadingViewWindow()   the view's window: it takes the focus and is
//                         activated while reading, and is sent
//                         WM_WPC_CARETMOVED (0, 0) when reading ends;
//   ReadingSurface()      the editing surface (or null): its caret is hidden
//                         and shown, its mouse input blocked and its window
//                         disabled while reading; afterwards it is posted
//                         WM_SURFACE_TAKE_FOCUS with the view's window;
//   SurfaceHasInput() and SetSurfaceHasInput()
//                         the view's "edit surface has input" flag, cleared
//                         while reading;
//   OnReadingFinished()   told how reading ended (ReadingStopped), on the
//                         window thread, before input goes back.
// Every host call is made on the window thread. The view calls Stop in its
// WM_DESTROY, while its windows still exist; the destructor stops too,
// but by then only the engine is used, never the host. The reading must
// not be destroyed from inside OnReadingFinished, whose step is still
// running.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "model/position.h"
#include "platform/window_message.h"

class CVedEdView;
class CVedWpCtrl;

enum ReadingMode : int {
  kReadFromCaret = 1,  // from the caret to the end, unit by unit
  kReadDocument = 2,   // the whole document, unit by unit, from the top
  kReadParagraph = 3,
  kReadLine = 4,
  kReadLineToCaret = 5,
  kReadLineFromCaret = 6,
  kReadSelection = 7,  // also any value not listed here
  kReadCell = 8,       // the caret's table cell, unit by unit
};

// What OnReadingFinished is told.
enum ReadingStopped : int {
  kReadNothing = -1,      // cancelled before the start, or nothing to read
  kReadToTheEnd = 0,      // speech finished, end of the document or cell
  kReadingCancelled = 1,  // stopped by the user
};

class CReadAloudHost {
 public:
  virtual ~CReadAloudHost() = default;
  virtual CVedWpCtrl* ReadingEngine() = 0;
  virtual platform::HWND ReadingViewWindow() = 0;
  virtual CVedEdView* ReadingSurface() = 0;
  virtual int SurfaceHasInput() = 0;
  virtual void SetSurfaceHasInput(int hasInput) = 0;
  virtual void OnReadingFinished(int stopped, int mode) = 0;
};

class CReadAloudThread {
 public:
  explicit CReadAloudThread(CReadAloudHost& host);
  ~CReadAloudThread();
  CReadAloudThread(const CReadAloudThread&) = delete;
  CReadAloudThread& operator=(const CReadAloudThread&) = delete;

  // Window thread. While reading runs, asks it to stop and answers -1
  // (the thread ends by itself). Mode 8 needs the caret in a table cell.
  // 0 when reading started, -1 when it did not.
  int StartReading(int mode, int returnToStart);
  // Window thread: a WM_KEYDOWN or WM_SYSKEYDOWN while reading runs.
  void OnReadingKey(int key);
  // Window thread: stops the speech and puts the caret back at the start
  // of the unit being read.
  void RestartReadingUnit();
  // Window thread: ends reading and waits until the thread has finished
  // its last step (speech restored, the host told, input given back). The
  // view calls it in its WM_DESTROY.
  void Stop();

  bool IsRunning() const { return running_.load(); }

 private:
  // ---- The worker thread
  void ReadingThreadProc();
  // Hands a step to the window thread and waits until it ran; false when
  // it could not run (reading then stops).
  bool OnWindowThread(const std::function<void()>& step);
  void ReadSingleUnit(int& stopped);
  void ReadUnits(int& stopped);
  // Waits while the reader speaks; true when running was cleared meanwhile
  // (the speech is then stopped).
  bool WaitWhileSpeaking();
  void WaitWhilePaused(uint32_t milliseconds) const;

  // ---- Steps, on the window thread
  platform::LRESULT RunStep(platform::UINT message, platform::LPARAM lParam);
  bool CreateStepWindow();
  void TakeInput();
  void GiveInputBack(CVedEdView* surface, platform::HWND view);
  // The engine's answer: nonzero when it started speaking.
  int SpeakSingleUnit(int& stopped);
  void PrepareUnits();
  // Moves over the next unit and selects it; false when nothing is left
  // to read in the cell of mode 8.
  bool SelectNextUnit();
  // The last place, stepping by characters from the unit's start, that
  // lies in the same cell (0: outside any) of the same top object.
  CVedTextRange EdgeOf(const CVedTextRange& from, int cell, int top);
  // Fetches the selected unit's text and hands it to the reader; true
  // when there was text to speak. Keys that waited are handled after it.
  bool SpeakSelectedUnit();
  // Puts the caret on the next unit unless the user moved it; true at the
  // end of the document.
  bool AdvanceToNextUnit();
  void FinishUnits();
  void FinishReading(int stopped);

  // ---- Keys, on the window thread
  void HandleKey(int key);
  // False for a key the reading is not steered by.
  bool MoveForKey(int key);

  // ---- Engine commands, on the window thread
  int Edit(int code, intptr_t arg, intptr_t value);
  void Move(int code);
  int CellPosition();
  CVedTextRange Selection();
  void SelectRange(const CVedTextRange& range);
  void SelectQuietly(const CVedTextRange& range);
  void FetchUnitText();

  CReadAloudHost& host_;
  CVedWpCtrl* engine_ = nullptr;
  platform::HWND stepWindow_ = platform::kNoWindow;
  std::thread thread_;

  std::atomic<bool> running_{false};
  std::atomic<bool> paused_{false};
  std::atomic<bool> moving_{false};
  // Set by the worker as its last act.
  std::atomic<bool> threadDone_{false};

  // Set when reading starts, read by both threads afterwards.
  int mode_ = 0;
  int returnToStart_ = 0;

  // Window thread only (the steps and the keys).
  bool detached_ = false;  // the host is going: only the engine is used
  bool inStep_ = false;
  bool finished_ = false;  // the last step ran
  int speechBefore_ = 0;
  int hadInput_ = 0;
  CVedTextRange startRange_;
  CVedTextRange unitRange_;  // the unit as selected, read back from the engine
  CVedTextPos unitStart_;
  CVedTextRange nextRange_;
  bool lastUnit_ = false;
  std::vector<char> text_;
  std::vector<int> waitingKeys_;
  int keyCell_ = 0;
};
