// Reading aloud over a real engine document with the recording screen
// reader, on the fake clock.
#include "views/read_aloud.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/notifier.h"
#include "engine/tests/wp_ctrl_fixture.h"
#include "framework/wnd.h"
#include "platform/input.h"
#include "platform/window.h"
#include "speech/reader_bridge.h"
#include "speech/tests/speech_test_support.h"
#include "views/ed_view.h"

namespace {

constexpr char kViewClass[] = "ReadAloudTestView";

// Seven reading units over three paragraphs.
constexpr char kWords[] = "one two three\r\nfour five. six\r\nseven";
const PageLineColumn kLineTwoMiddle{1, 2, 6};
// The reader keeps speaking until it is stopped.
constexpr int kForever = 1 << 30;
constexpr int kAtDocumentEnd = 0x2;

const std::vector<std::string> kAllUnits{"one ",   "two ",    "three\r\n", "four ",
                                         "five. ", "six\r\n", "seven"};

struct Finished {
  int stopped;
  int mode;
};

class ReadAloudTest : public doc_root_test::WpCtrlFixture, public CReadAloudHost {
 protected:
  ReadAloudTest() {
    EXPECT_EQ(LoadReaderModules(), 0);
    platform::WNDCLASS viewClass;
    viewClass.lpfnWndProc = ViewProc;
    viewClass.lpszClassName = kViewClass;
    platform::RegisterClass(viewClass);
    view_ = platform::CreateWindowEx(0, kViewClass, "", platform::WS_VISIBLE, 0, 0, 900, 700,
                                     platform::kNoWindow, 0, nullptr);
    surface_ = new CVedEdView;
    EXPECT_EQ(surface_->CreateEditSurfaceWindow(framework::CWnd::FromHandle(view_)), 1);
    platform::MoveWindow(surface_->m_hWnd, 0, 0, 900, 700, false);
    surface_->AttachEngine(&engine, nullptr);
    reading_ = std::make_unique<CReadAloudThread>(*this);
    current_ = this;
  }
  ~ReadAloudTest() override {
    reading_.reset();
    current_ = nullptr;
    platform::DestroyWindow(view_);
    framework::CWnd::DeleteTempMap();
  }

  // ---- The host
  CVedWpCtrl* ReadingEngine() override { return &engine; }
  platform::HWND ReadingViewWindow() override { return view_; }
  CVedEdView* ReadingSurface() override { return surface_; }
  int SurfaceHasInput() override { return hasInput_; }
  void SetSurfaceHasInput(int hasInput) override { hasInput_ = hasInput; }
  void OnReadingFinished(int stopped, int mode) override {
    finished_.push_back({stopped, mode});
    finishedAt_ = platform::GetTickCount() - startedAt_;
  }

  static platform::LRESULT ViewProc(platform::HWND window, platform::UINT message,
                                    platform::WPARAM wParam, platform::LPARAM lParam) {
    if (message == WM_WPC_CARETMOVED && wParam == 0 && lParam == 0 && current_ != nullptr) {
      ++current_->viewCaretReports_;
    }
    return platform::DefWindowProc(window, message, wParam, lParam);
  }

  void MakeTable();

  // Asks the engine without changing it.
  bool SpeechIsOn() {
    const int on = engine.FeedbackCommand(WPC_SET_SPEECH, 1, nullptr);
    engine.FeedbackCommand(WPC_SET_SPEECH, on, nullptr);
    return on == 1;
  }

  // The answers to the voice-status polls, in order.
  std::vector<int> VoicePolls() const {
    std::vector<int> polls;
    for (const std::string& line : reader_.Lines()) {
      if (line.rfind("VXTRGetVStatus ", 0) == 0) polls.push_back(std::stoi(line.substr(15)));
    }
    return polls;
  }
  size_t Stops() const {
    const std::vector<std::string> calls = reader_.Calls();
    return static_cast<size_t>(std::count(calls.begin(), calls.end(), "VXTRVReset"));
  }
  size_t Utterances() const {
    size_t count = 0;
    for (const std::string& line : reader_.Calls()) count += line.rfind("VXTRPRead", 0) == 0;
    return count;
  }

  // Answers the reading's steps until it finished, running `each` after
  // every look; then the thread is joined.
  void PumpUntilFinished(const std::function<void()>& each = {}) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (finished_.empty()) {
      platform::MSG msg;
      platform::PeekMessage(&msg, platform::kNoWindow, 0, 0, platform::PM_NOREMOVE);
      if (each) each();
      if (std::chrono::steady_clock::now() > deadline) {
        ADD_FAILURE() << "reading never finished";
        break;
      }
      std::this_thread::yield();
    }
    reading_->Stop();
  }

  int Read(int mode, int returnToStart = 0) {
    startedAt_ = platform::GetTickCount();
    const int started = reading_->StartReading(mode, returnToStart);
    if (started == 0) PumpUntilFinished();
    return started;
  }

  // The texts handed to the reader in the given speech mode, as CP932.
  std::vector<std::string> SpokenIn(const std::string& mode) const {
    std::vector<std::string> texts;
    for (const std::string& line : reader_.Calls()) {
      if (line.rfind("VXTRPRead [", 0) != 0) continue;
      const size_t close = line.find(']');
      if (line.substr(close + 1) != " " + mode + " 1") continue;
      std::string text;
      for (size_t i = 11; i + 1 < close; i += 2) {
        text += static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16));
      }
      texts.push_back(text);
    }
    return texts;
  }
  std::vector<std::string> Units() const { return SpokenIn("4"); }

  speech_test::RecordingReader reader_;
  platform::HWND view_ = platform::kNoWindow;
  CVedEdView* surface_ = nullptr;  // deletes itself with its window
  int hasInput_ = 1;
  std::vector<Finished> finished_;
  uint32_t startedAt_ = 0;
  uint32_t finishedAt_ = 0;
  int viewCaretReports_ = 0;
  bool pressed_ = false;
  inline static ReadAloudTest* current_ = nullptr;
  std::unique_ptr<CReadAloudThread> reading_;
};

// ---- Single units

struct SingleUnitCase {
  int mode;
  const char* spoken;
};

class SingleUnitTest : public ReadAloudTest,
                       public ::testing::WithParamInterface<SingleUnitCase> {};

// The caret after "four " in the second paragraph, which runs over two lines.
TEST_P(SingleUnitTest, TheEngineSpeaksTheUnitAndTheReaderIsWaitedFor) {
  Type("one two three\r\nfour five. six seven eight nine\r\nten");
  engine.EditCommand(WPC_GOTO, 0, Pointer(&kLineTwoMiddle));
  reader_.SetSpeaking(0, 3);
  ASSERT_EQ(Read(GetParam().mode), 0);
  EXPECT_EQ(SpokenIn("3"), std::vector<std::string>{GetParam().spoken});
  EXPECT_TRUE(Units().empty()) << "the engine speaks a single unit itself";
  ASSERT_EQ(finished_.size(), 1u);
  EXPECT_EQ(finished_[0].stopped, kReadToTheEnd);
  EXPECT_EQ(finished_[0].mode, GetParam().mode);
  // The engine looked once before it spoke; then three polls answered
  // "speaking", each waited for 100 ms, and the first "silent" one ended
  // the wait.
  EXPECT_EQ(VoicePolls(), (std::vector<int>{0, 1, 1, 1, 0}));
  EXPECT_EQ(finishedAt_, 300u);
  EXPECT_TRUE(SpeechIsOn());
  EXPECT_EQ(Location().caret, kLineTwoMiddle) << "a single unit leaves the caret alone";
}

INSTANTIATE_TEST_SUITE_P(Modes, SingleUnitTest,
                         ::testing::Values(SingleUnitCase{kReadParagraph,
                                                          "four five. six seven eight nine\r\n"},
                                           SingleUnitCase{kReadLine, "four five. six seven"},
                                           SingleUnitCase{kReadLineToCaret, "four "},
                                           SingleUnitCase{kReadLineFromCaret, "five. six seven"}));

TEST_F(ReadAloudTest, TheSelectionIsReadInModeSevenAndInAnyModeNotListed) {
  Type(kWords);
  engine.EditCommand(WPC_MOVE, kMoveDocumentStart, 0);
  engine.EditCommand(WPC_MOVE_EXTEND, kMoveNextWord, kCharacterWise);
  const size_t before = SpokenIn("3").size();
  for (const int mode : {int{kReadSelection}, 9, 0}) {
    finished_.clear();
    ASSERT_EQ(Read(mode), 0);
    ASSERT_EQ(finished_.size(), 1u);
    EXPECT_EQ(finished_[0].stopped, kReadToTheEnd) << mode;
  }
  const std::vector<std::string> spoken = SpokenIn("3");
  EXPECT_EQ(std::vector<std::string>(spoken.begin() + before, spoken.end()),
            std::vector<std::string>(3, "one "));
  EXPECT_EQ(engine.EditCommand(WPC_HAS_SELECTION, 0, 0), 1) << "the selection stays";
}

TEST_F(ReadAloudTest, WithoutASelectionModeSevenReadsNothing) {
  Type(kWords);
  const size_t said = SpokenIn("3").size();
  const size_t polls = VoicePolls().size();
  ASSERT_EQ(Read(kReadSelection), 0);
  ASSERT_EQ(finished_.size(), 1u);
  EXPECT_EQ(finished_[0].stopped, kReadNothing);
  EXPECT_EQ(finished_[0].mode, kReadSelection);
  EXPECT_EQ(SpokenIn("3").size(), said);
  EXPECT_EQ(VoicePolls().size(), polls) << "nothing was said, nothing is waited for";
  EXPECT_TRUE(SpeechIsOn());
}

// ---- The unit loop

TEST_F(ReadAloudTest, TheWholeDocumentIsReadUnitByUnitFromTheTop) {
  Type(kWords);
  engine.EditCommand(WPC_GOTO, 0, Pointer(&kLineTwoMiddle));
  reader_.SetSpeaking(0, 2);
  ASSERT_EQ(Read(kReadDocument), 0);
  EXPECT_EQ(Units(), kAllUnits);
  ASSERT_EQ(finished_.size(), 1u);
  EXPECT_EQ(finished_[0].stopped, kReadToTheEnd);
  EXPECT_EQ(finished_[0].mode, kReadDocument);
  // Each unit: 50 ms before its text is fetched, then two polls of 100 ms.
  EXPECT_EQ(finishedAt_, kAllUnits.size() * (50u + 2 * 100u));
  EXPECT_TRUE(SpeechIsOn());
  EXPECT_EQ(engine.EditCommand(WPC_HAS_SELECTION, 0, 0), 0);
  EXPECT_NE(engine.EditCommand(WPC_GET_CARET_FLAGS, 0, 0) & kAtDocumentEnd, 0)
      << "without the return to the start the caret stays at the end";
}

TEST_F(ReadAloudTest, ReadingFromTheCaretGoesToTheEndAndMayReturnToTheStart) {
  Type(kWords);
  const PageLineColumn lineTwo{1, 2, 1};
  for (const int returnToStart : {0, 1}) {
    engine.EditCommand(WPC_GOTO, 0, Pointer(&lineTwo));
    const size_t before = Units().size();
    finished_.clear();
    ASSERT_EQ(Read(kReadFromCaret, returnToStart), 0);
    const std::vector<std::string> units = Units();
    EXPECT_EQ(std::vector<std::string>(units.begin() + before, units.end()),
              std::vector<std::string>(kAllUnits.begin() + 3, kAllUnits.end()));
    ASSERT_EQ(finished_.size(), 1u);
    EXPECT_EQ(finished_[0].stopped, kReadToTheEnd);
    EXPECT_EQ(Location().caret == lineTwo, returnToStart == 1) << returnToStart;
  }
}

TEST_F(ReadAloudTest, WithoutAReaderTheDocumentIsWalkedWithoutWaiting) {
  Type(kWords);
  ResetReaderModules();
  ASSERT_EQ(Read(kReadDocument), 0);
  ASSERT_EQ(finished_.size(), 1u);
  EXPECT_EQ(finished_[0].stopped, kReadToTheEnd);
  EXPECT_EQ(finishedAt_, kAllUnits.size() * 50u) << "only the pacing before each fetch";
  EXPECT_TRUE(SpeechIsOn());
}

TEST_F(ReadAloudTest, ALongUnitIsFetchedWhole) {
  std::string word(700, 'x');
  Type((word + " end").c_str());
  ASSERT_EQ(Read(kReadDocument), 0);
  EXPECT_EQ(Units(), (std::vector<std::string>{word + " ", "end"}));
}

// ---- Tables

// "intro", then a table of two rows and two columns.
void ReadAloudTest::MakeTable() {
  Type("intro\r\n");
  ASSERT_NE(engine.TableCommand(WPC_CREATE_TABLE, 1, (2 << 16) | 2), 0);
  for (const char* cell : {"ab cd", "ef", "gh ij", "kl"}) {
    Type(cell);
    engine.EditCommand(WPC_MOVE, kMoveNextCellOrLine, 0);
  }
  engine.EditCommand(WPC_MOVE, kMoveDocumentStart, 0);
}

TEST_F(ReadAloudTest, UnitsEndAtTheEdgesOfTablesAndCells) {
  MakeTable();
  ASSERT_EQ(Read(kReadDocument), 0);
  const std::vector<std::string> units = Units();
  ASSERT_GE(units.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(units.begin(), units.begin() + 4),
            (std::vector<std::string>{"intro", "ab ", "cd", "ef"}));
  ASSERT_EQ(finished_.size(), 1u);
  EXPECT_EQ(finished_[0].stopped, kReadToTheEnd);
}

TEST_F(ReadAloudTest, ACellIsReadToItsEdgeAndTheCaretGoesBack) {
  MakeTable();
  engine.EditCommand(WPC_MOVE, kMoveNextWord, 0);
  engine.EditCommand(WPC_MOVE, kMoveNextWord, 0);  // on "cd" in the first cell
  const LocationRecord start = Location();
  ASSERT_EQ(Read(kReadCell), 0);
  EXPECT_EQ(Units(), (std::vector<std::string>{"ab ", "cd"}));
  ASSERT_EQ(finished_.size(), 1u);
  EXPECT_EQ(finished_[0].stopped, kReadToTheEnd);
  EXPECT_EQ(finished_[0].mode, kReadCell);
  EXPECT_EQ(Location(), start);
  EXPECT_TRUE(SpeechIsOn());
}

TEST_F(ReadAloudTest, ACellIsReadOnlyFromInsideOne) {
  Type(kWords);
  EXPECT_EQ(reading_->StartReading(kReadCell, 0), -1);
  EXPECT_FALSE(reading_->IsRunning());
  EXPECT_TRUE(finished_.empty());
}

// ---- Keys

struct KeyCase {
  int key;
  std::vector<std::string> units;
  bool stopsSpeech;
};

class ReadingKeyTest : public ReadAloudTest, public ::testing::WithParamInterface<KeyCase> {};

// The key comes while "two " is spoken; the reader speaks until it is
// stopped, so the worker surely waits on it then.
TEST_P(ReadingKeyTest, AKeyPausesReadingWhichGoesOnFromWhereTheCaretIs) {
  Type(kWords);
  const size_t stops = Stops();
  reader_.SetSpeaking(0, kForever);
  ASSERT_EQ(reading_->StartReading(kReadDocument, 0), 0);
  bool pressed = false;
  bool skipped = false;
  PumpUntilFinished([&] {
    const size_t spoken = Units().size();
    if (!skipped && spoken == 1) {
      skipped = true;
      reader_.SetSpeaking(0, kForever);  // "one " is over
    }
    if (!pressed && spoken == 2) {
      pressed = true;
      reading_->OnReadingKey(GetParam().key);
      EXPECT_TRUE(reading_->IsRunning());
      reader_.SetSpeaking(0, 0);
    }
  });
  EXPECT_EQ(Units(), GetParam().units);
  EXPECT_EQ(Stops() - stops, GetParam().stopsSpeech ? 1u : 0u);
  ASSERT_EQ(finished_.size(), 1u);
  EXPECT_EQ(finished_[0].stopped, kReadToTheEnd);
  EXPECT_TRUE(SpeechIsOn());
}

const std::vector<std::string> kFromTwo{"one ",  "two ",   "two ",    "three\r\n",
                                        "four ", "five. ", "six\r\n", "seven"};
const std::vector<std::string> kFromOne{"one ",  "two ",   "one ",    "two ", "three\r\n",
                                        "four ", "five. ", "six\r\n", "seven"};
const std::vector<std::string> kFromFour{"one ", "two ", "four ", "five. ", "six\r\n", "seven"};

INSTANTIATE_TEST_SUITE_P(
    Keys, ReadingKeyTest,
    ::testing::Values(
        // Only the rest of the unit is skipped.
        KeyCase{platform::VK_RIGHT, kAllUnits, true},
        // The caret moves: reading goes on from there.
        KeyCase{platform::VK_DOWN, kFromFour, true}, KeyCase{platform::VK_UP, kFromOne, true},
        KeyCase{platform::VK_LEFT, kFromOne, true}, KeyCase{platform::VK_RETURN, kFromFour, true},
        KeyCase{platform::VK_HOME, kFromOne, true}, KeyCase{platform::VK_PRIOR, kFromOne, true},
        KeyCase{platform::VK_NEXT, {"one ", "two ", "seven"}, true},
        // No line before: the unit is read again from its start.
        KeyCase{platform::VK_BACK, kFromTwo, true},
        // Not a key that steers the reading.
        KeyCase{'A', kAllUnits, false}));

struct CellKeyCase {
  int key;
  std::vector<std::string> units;
  size_t stops;
};

class CellKeyTest : public ReadAloudTest, public ::testing::WithParamInterface<CellKeyCase> {};

// The key comes while "ab " is spoken.
TEST_P(CellKeyTest, InACellAKeyMayNotTakeTheReadingOutOfIt) {
  MakeTable();
  engine.EditCommand(WPC_MOVE, kMoveNextWord, 0);
  const LocationRecord start = Location();
  const size_t stops = Stops();
  reader_.SetSpeaking(0, kForever);
  ASSERT_EQ(reading_->StartReading(kReadCell, 0), 0);
  bool pressed = false;
  PumpUntilFinished([&] {
    if (!pressed && Units().size() == 1) {
      pressed = true;
      reading_->OnReadingKey(GetParam().key);
      reader_.SetSpeaking(0, 0);
    }
  });
  EXPECT_EQ(Units(), GetParam().units);
  EXPECT_EQ(Stops() - stops, GetParam().stops);
  ASSERT_EQ(finished_.size(), 1u);
  EXPECT_EQ(finished_[0].stopped, kReadToTheEnd);
  EXPECT_EQ(Location(), start);
}

INSTANTIATE_TEST_SUITE_P(Keys, CellKeyTest,
                         ::testing::Values(
                             // Into the next cell and back: the unit is read again.
                             CellKeyCase{platform::VK_RETURN, {"ab ", "ab ", "cd"}, 2},
                             CellKeyCase{platform::VK_RIGHT, {"ab ", "cd"}, 1},
                             // Pages are not turned inside a cell.
                             CellKeyCase{platform::VK_NEXT, {"ab ", "cd"}, 0}));

TEST_F(ReadAloudTest, AKeyWhileAUnitIsBeingMovedWaitsUntilItsTextIsFetched) {
  Type(kWords);
  // The key comes while the second unit is being selected: after the
  // fetch it stops that unit's speech and goes on to the next paragraph.
  window.onMessage = [this](platform::UINT message) {
    if (message == WM_WPC_CARETMOVED && !pressed_ &&
        engine.EditCommand(WPC_HAS_SELECTION, 0, 0) != 0 && Units().size() == 1) {
      pressed_ = true;
      reading_->OnReadingKey(platform::VK_DOWN);
    }
  };
  ASSERT_EQ(Read(kReadDocument), 0);
  EXPECT_TRUE(pressed_);
  EXPECT_EQ(Units(),
            (std::vector<std::string>{"one ", "two ", "four ", "five. ", "six\r\n", "seven"}));
  const std::vector<std::string> calls = reader_.Calls();
  const auto two =
      std::find(calls.begin(), calls.end(), "VXTRPRead " + speech_test::Hex("two ") + " 4 1");
  const auto stop = std::find(calls.begin(), calls.end(), "VXTRVReset");
  EXPECT_LT(two, stop) << "the key was handled after the text went to the reader";
}

TEST_F(ReadAloudTest, EscStopsTheSpeechAndReportsACancel) {
  Type(kWords);
  reader_.SetSpeaking(0, kForever);
  for (const int mode : {int{kReadDocument}, int{kReadLine}}) {
    finished_.clear();
    const size_t before = Stops();
    const size_t said = Utterances();
    ASSERT_EQ(reading_->StartReading(mode, 0), 0);
    bool pressed = false;
    PumpUntilFinished([&] {
      if (!pressed && Utterances() > said) {
        pressed = true;
        reading_->OnReadingKey(platform::VK_ESCAPE);
        EXPECT_FALSE(reading_->IsRunning());
      }
    });
    ASSERT_EQ(finished_.size(), 1u);
    EXPECT_EQ(finished_[0].stopped, kReadingCancelled) << mode;
    EXPECT_GT(Stops(), before) << "the worker stops the speech it waited on";
    EXPECT_TRUE(SpeechIsOn());
    EXPECT_EQ(engine.EditCommand(WPC_HAS_SELECTION, 0, 0), 0);
  }
}

TEST_F(ReadAloudTest, ReadingASingleUnitHearsOnlyEsc) {
  Type(kWords);
  engine.EditCommand(WPC_GOTO, 0, Pointer(&kLineTwoMiddle));
  reader_.SetSpeaking(0, kForever);
  ASSERT_EQ(reading_->StartReading(kReadLine, 0), 0);
  bool pressed = false;
  PumpUntilFinished([&] {
    if (!pressed && Utterances() > 0) {
      pressed = true;
      const size_t stops = Stops();
      for (const int key : {platform::VK_DOWN, platform::VK_RIGHT, platform::VK_HOME}) {
        reading_->OnReadingKey(key);
      }
      EXPECT_EQ(Stops(), stops) << "the keys that steer the unit loop do nothing here";
      EXPECT_EQ(Location().caret, kLineTwoMiddle);
      reading_->OnReadingKey(platform::VK_ESCAPE);
    }
  });
  ASSERT_EQ(finished_.size(), 1u);
  EXPECT_EQ(finished_[0].stopped, kReadingCancelled);
}

TEST_F(ReadAloudTest, StartingAgainWhileReadingStopsIt) {
  Type(kWords);
  reader_.SetSpeaking(0, kForever);
  ASSERT_EQ(reading_->StartReading(kReadDocument, 0), 0);
  bool again = false;
  PumpUntilFinished([&] {
    if (!again && Units().size() == 1) {
      again = true;
      EXPECT_EQ(reading_->StartReading(kReadDocument, 0), -1);
    }
  });
  ASSERT_EQ(finished_.size(), 1u);
  EXPECT_EQ(finished_[0].stopped, kReadingCancelled);
  EXPECT_EQ(Units().size(), 1u);
  // Once it ended, reading starts again.
  reader_.SetSpeaking(0, 0);
  finished_.clear();
  ASSERT_EQ(Read(kReadDocument), 0);
  EXPECT_EQ(Units().size(), 1u + kAllUnits.size());
}

TEST_F(ReadAloudTest, AnEscBeforeTheFirstStepReadsNothing) {
  Type(kWords);
  ASSERT_EQ(reading_->StartReading(kReadDocument, 0), 0);
  reading_->OnReadingKey(platform::VK_ESCAPE);
  PumpUntilFinished();
  ASSERT_EQ(finished_.size(), 1u);
  EXPECT_EQ(finished_[0].stopped, kReadNothing);
  EXPECT_TRUE(Units().empty());
  EXPECT_TRUE(SpeechIsOn());
}

// ---- Input ownership and the end

TEST_F(ReadAloudTest, TheViewTakesTheInputWhileReadingAndGivesItBack) {
  Type(kWords);
  platform::SetFocus(surface_->m_hWnd);
  window.onMessage = [this](platform::UINT message) {
    if (message != WM_WPC_CARETMOVED || pressed_) return;
    pressed_ = true;
    EXPECT_EQ(hasInput_, 0);
    EXPECT_EQ(surface_->IsInputBlocked(), 1);
    EXPECT_FALSE(platform::IsWindowEnabled(surface_->m_hWnd));
    EXPECT_EQ(platform::GetFocus(), view_);
  };
  ASSERT_EQ(Read(kReadDocument), 0);
  EXPECT_TRUE(pressed_);
  EXPECT_EQ(hasInput_, 1);
  EXPECT_EQ(surface_->IsInputBlocked(), 0);
  EXPECT_TRUE(platform::IsWindowEnabled(surface_->m_hWnd));
  EXPECT_EQ(viewCaretReports_, 1) << "the view hears once that the caret may have moved";
  platform::MSG posted;
  ASSERT_TRUE(platform::PeekMessage(&posted, surface_->m_hWnd, WM_SURFACE_TAKE_FOCUS,
                                    WM_SURFACE_TAKE_FOCUS, platform::PM_REMOVE));
  EXPECT_EQ(posted.wParam, view_);
}

TEST_F(ReadAloudTest, SurfaceInputTakenBeforeStaysTaken) {
  Type(kWords);
  hasInput_ = 0;
  ASSERT_EQ(Read(kReadDocument), 0);
  EXPECT_EQ(hasInput_, 0);
  platform::MSG posted;
  EXPECT_FALSE(platform::PeekMessage(&posted, surface_->m_hWnd, WM_SURFACE_TAKE_FOCUS,
                                     WM_SURFACE_TAKE_FOCUS, platform::PM_REMOVE));
}

TEST_F(ReadAloudTest, TheEnginesSpeechIsGivenBackAsItWas) {
  Type(kWords);
  engine.FeedbackCommand(WPC_SET_SPEECH, 0, nullptr);
  ASSERT_EQ(Read(kReadDocument), 0);
  EXPECT_EQ(engine.FeedbackCommand(WPC_SET_SPEECH, 0, nullptr), 0);
}

TEST_F(ReadAloudTest, DestroyingTheOwnerWhileReadingStopsAndJoinsTheThread) {
  Type(kWords);
  reader_.SetSpeaking(0, kForever);
  ASSERT_EQ(reading_->StartReading(kReadDocument, 0), 0);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (Units().empty() && std::chrono::steady_clock::now() < deadline) {
    platform::MSG msg;
    platform::PeekMessage(&msg, platform::kNoWindow, 0, 0, platform::PM_NOREMOVE);
    std::this_thread::yield();
  }
  reading_.reset();
  EXPECT_TRUE(finished_.empty()) << "a host that goes is not called any more";
  EXPECT_TRUE(SpeechIsOn());
  EXPECT_EQ(engine.EditCommand(WPC_HAS_SELECTION, 0, 0), 0);
  EXPECT_EQ(Units().size(), 1u);
}

}  // namespace
