// Reading aloud through the framework view: the keys go to the reading
// while it runs, it reads a document to the end with the recording
// screen reader, and closing the view while it reads stops and joins it.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "speech/reader_bridge.h"
#include "speech/tests/speech_test_support.h"
#include "wp_view_fixture.h"

namespace views_test {
namespace {

// The reader keeps speaking until it is stopped.
constexpr int kForever = 1 << 30;

// A view that keeps how its readings ended.
class CReadingView : public CVedWpView {
  DECLARE_DYNCREATE(CReadingView)

 public:
  struct Ending {
    int stopped, mode;
  };
  static std::vector<Ending>& endings() {
    static std::vector<Ending> seen;
    return seen;
  }
  void OnReadingFinished(int stopped, int mode) override { endings().push_back({stopped, mode}); }
};

IMPLEMENT_DYNCREATE(CReadingView, CVedWpView)

class WpViewReadingTest : public WpViewTest {
 protected:
  WpViewReadingTest() {
    CReadingView::endings().clear();
    EXPECT_EQ(LoadReaderModules(), 0);
    template_ = std::make_unique<framework::CMultiDocTemplate>(
        kDocStrings, framework::FrameResources{}, RUNTIME_CLASS(CTestWpDoc),
        RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CReadingView));
    OpenShown();
  }

  // Answers the reading's steps, running `each` after every look, while
  // `going` holds.
  void PumpWhile(const std::function<bool()>& going, const std::function<void()>& each = {}) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (going()) {
      platform::MSG msg;
      platform::PeekMessage(&msg, platform::kNoWindow, 0, 0, platform::PM_NOREMOVE);
      if (each) each();
      if (std::chrono::steady_clock::now() > deadline) {
        ADD_FAILURE() << "reading never finished";
        return;
      }
      std::this_thread::yield();
    }
  }
  void PumpUntilFinished(const std::function<void()>& each = {}) {
    PumpWhile([] { return CReadingView::endings().empty(); }, each);
  }

  bool SpeechIsOn() {
    const int on = engine().FeedbackCommand(WPC_SET_SPEECH, 1, nullptr);
    engine().FeedbackCommand(WPC_SET_SPEECH, on, nullptr);
    return on == 1;
  }

  // The texts handed to the reader unit by unit.
  std::vector<std::string> Units() const {
    std::vector<std::string> texts;
    for (const std::string& line : reader_.Calls()) {
      if (line.rfind("VXTRPRead [", 0) != 0) continue;
      const size_t close = line.find(']');
      if (line.substr(close + 1) != " 4 1") continue;
      std::string text;
      for (size_t i = 11; i + 1 < close; i += 2) {
        text += static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16));
      }
      texts.push_back(text);
    }
    return texts;
  }

  speech_test::RecordingReader reader_;
};

TEST_F(WpViewReadingTest, TheWholeDocumentIsReadToTheEndAndInputGoesBack) {
  engine().EditCommand(WPC_INSERT_TEXT, 1, reinterpret_cast<intptr_t>("one two\r\nthree"));
  reader_.SetSpeaking(0, 2);
  ASSERT_EQ(view_->StartReading(kReadDocument, 0), 0);
  EXPECT_TRUE(view_->IsReading());
  PumpUntilFinished();
  Pump();
  ASSERT_EQ(CReadingView::endings().size(), 1u);
  EXPECT_EQ(CReadingView::endings()[0].stopped, kReadToTheEnd);
  EXPECT_EQ(CReadingView::endings()[0].mode, kReadDocument);
  EXPECT_EQ(Units(), (std::vector<std::string>{"one ", "two\r\n", "three"}));
  EXPECT_FALSE(view_->IsReading());
  EXPECT_TRUE(SpeechIsOn());
  EXPECT_EQ(view_->SurfaceHasInput(), 1);
  EXPECT_TRUE(platform::IsWindowEnabled(view_->Surface()->m_hWnd));
  EXPECT_EQ(view_->Surface()->IsInputBlocked(), 0);
  EXPECT_EQ(platform::GetFocus(), view_->Surface()->m_hWnd) << "the keys reach the surface again";
}

TEST_F(WpViewReadingTest, WhileReadingEveryKeyGoesToTheReadingAndEscStopsIt) {
  engine().EditCommand(WPC_INSERT_TEXT, 1, reinterpret_cast<intptr_t>("one two three"));
  engine().EditCommand(WPC_MOVE, kMoveDocumentStart, 0);
  reader_.SetSpeaking(0, kForever);
  ASSERT_EQ(view_->StartReading(kReadFromCaret, 0), 0);
  PumpWhile([&] { return Units().empty(); });
  EXPECT_TRUE(view_->IsReading());
  EXPECT_EQ(view_->SurfaceHasInput(), 0);
  platform::MSG ime;
  ime.message = platform::WM_IME_CHAR;
  ime.wParam = 0x8140;
  EXPECT_TRUE(view_->PreTranslateMessage(&ime)) << "eaten while reading";
  EXPECT_EQ(ime.message, platform::WM_IME_CHAR);
  platform::MSG key;
  key.message = platform::WM_SYSKEYDOWN;
  key.wParam = 'F';
  EXPECT_TRUE(view_->PreTranslateMessage(&key));
  key.message = platform::WM_KEYDOWN;
  key.wParam = platform::VK_ESCAPE;
  EXPECT_TRUE(view_->PreTranslateMessage(&key));
  PumpUntilFinished();
  ASSERT_EQ(CReadingView::endings().size(), 1u);
  EXPECT_EQ(CReadingView::endings()[0].stopped, kReadingCancelled);
  EXPECT_TRUE(SpeechIsOn());
}

TEST_F(WpViewReadingTest, ASecondStartStopsTheReading) {
  engine().EditCommand(WPC_INSERT_TEXT, 1, reinterpret_cast<intptr_t>("one two three"));
  engine().EditCommand(WPC_MOVE, kMoveDocumentStart, 0);
  reader_.SetSpeaking(0, kForever);
  ASSERT_EQ(view_->StartReading(kReadFromCaret, 0), 0);
  PumpWhile([&] { return Units().empty(); });
  EXPECT_EQ(view_->StartReading(kReadFromCaret, 0), -1);
  PumpUntilFinished();
  EXPECT_EQ(CReadingView::endings()[0].stopped, kReadingCancelled);
}

TEST_F(WpViewReadingTest, ClosingTheViewWhileItReadsStopsAndJoinsTheReadingFirst) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "word ";
  engine().EditCommand(WPC_INSERT_TEXT, 1, reinterpret_cast<intptr_t>(text.c_str()));
  reader_.SetSpeaking(0, kForever);
  ASSERT_EQ(view_->StartReading(kReadDocument, 0), 0);
  PumpWhile([&] { return Units().empty(); });
  view_->GetParentFrame()->DestroyWindow();
  EXPECT_TRUE(template_->GetDocuments().empty()) << "view, surface and document are gone";
  EXPECT_EQ(CReadingView::endings().size(), 1u) << "told once, while the view was still there";
}

}  // namespace
}  // namespace views_test
