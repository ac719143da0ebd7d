// The editing surface's keys, typed characters and mouse, over an engine
// that records every move and edit it is sent: the two key tables case by
// case, the gathered characters inserted before anything else happens to
// the surface, clicks and drags with the jitter rule and the unit margin,
// the wheel, and the drag scroll stepped on the test's clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ed_view_fixture.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/scroll_bar.h"
#include "platform/window.h"
#include "speech/edit_feedback.h"

namespace views_test {

// Holds the surface's painting flag for the keys that meet a repaint.
class EdViewInputAccess {
 public:
  static void SetPainting(CVedEdView& view, int painting) { view.painting_ = painting; }
};

namespace {

using platform::LPARAM;
using platform::POINT;

// One command as the engine was sent it: a point record or a text the
// value names is copied, since it does not outlive the call.
struct Call {
  int code = 0;
  intptr_t arg = 0;
  intptr_t value = 0;
  CaretPoint point{};
  std::string text;
  bool operator==(const Call&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Call& call) {
  return out << "(" << call.code << ", " << call.arg << ", " << call.value << " \"" << call.text
             << "\")";
}

// The moves, edits, option and mask changes a surface sends; the queries
// it asks are left out.
bool IsRecorded(int code) {
  switch (code) {
    case WPC_MOVE:
    case WPC_MOVE_EXTEND:
    case WPC_CLEAR_SELECTION:
    case WPC_INSERT_TEXT:
    case WPC_DELETE:
    case WPC_BACKSPACE:
    case WPC_SET_SPEECH_OPTIONS:
    case WPC_SET_NOTIFY_MASK:
      return true;
    default:
      return false;
  }
}

class RecordingEngine : public CVedWpCtrl {
 public:
  int EditCommand(int code, intptr_t arg, intptr_t value) override {
    if (recording && IsRecorded(code)) {
      Call call{code, arg, value, {}, {}};
      if ((code == WPC_MOVE || code == WPC_MOVE_EXTEND) && arg == kMoveToPoint) {
        call.point = *reinterpret_cast<const CaretPoint*>(value);
        call.value = 0;
      }
      if (code == WPC_INSERT_TEXT) {
        call.text = reinterpret_cast<const char*>(value);
        call.value = 0;
      }
      calls.push_back(call);
    }
    return CVedWpCtrl::EditCommand(code, arg, value);
  }
  int FeedbackCommand(int code, int arg, void* record) override {
    if (recording && IsRecorded(code)) {
      const auto* options = static_cast<const SpeechOptions*>(record);
      // The speech and sound switches ride in the value.
      calls.push_back({code, arg, options->speechOn * 10 + options->soundOn, {}, {}});
    }
    return CVedWpCtrl::FeedbackCommand(code, arg, record);
  }
  int NotifyCommand(int code, intptr_t arg) override {
    if (recording && IsRecorded(code)) calls.push_back({code, arg, 0, {}, {}});
    return CVedWpCtrl::NotifyCommand(code, arg);
  }

  std::vector<Call> Take() {
    std::vector<Call> taken = std::move(calls);
    calls.clear();
    return taken;
  }

  bool recording = false;
  std::vector<Call> calls;
};

Call Command(int code, intptr_t arg, intptr_t value = 0) { return {code, arg, value, {}, {}}; }
Call Insert(const std::string& text) { return {WPC_INSERT_TEXT, 1, 0, {}, text}; }
Call ToPoint(int code, const CaretPoint& point) { return {code, kMoveToPoint, 0, point, {}}; }

constexpr LPARAM kFirstPress = 1;
constexpr LPARAM kRepeated = 3;
constexpr int kFoundMask = 0x1000;

class EdViewInputTest : public EdViewTest {
 protected:
  EdViewInputTest() {
    EXPECT_EQ(recorder.Start(), 1);
    DocStyle style = doc_root_test::TestStyle();
    recorder.StyleCommand(WPC_SET_DOCSTYLE, nullptr, &style);
    EXPECT_EQ(recorder.DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr), kWpcOk);
    recorder.EditCommand(WPC_INSERT_TEXT, 1, Text(Filler().c_str()));
    recorder.EditCommand(WPC_MOVE, kMoveDocumentStart, 0);
  }
  ~EdViewInputTest() override { platform::SetKeyboardState(platform::KeyboardState{}); }

  // The fixture's document: twenty-five lines of あ.
  static std::string Filler() {
    std::string text;
    const int lines = doc_root_test::kStyleLinesPerPage + kSecondPageLines;
    for (int i = 0; i < lines * doc_root_test::kStyleCharsPerLine; ++i) text += "\x82\xA0";
    return text;
  }

  // A surface over the recording engine, recording from now on.
  CVedEdView& Recorded(int32_t width = 600, int32_t height = 400) {
    CVedEdView& view = Surface(1, 1, width, height);
    view.AttachEngine(&recorder, nullptr);
    PaintAll();
    recorder.recording = true;
    return view;
  }

  static void Hold(bool shift, bool ctrl, bool alt) {
    platform::KeyboardState keys{};
    keys[platform::VK_SHIFT] = shift ? 0x80 : 0;
    keys[platform::VK_CONTROL] = ctrl ? 0x80 : 0;
    keys[platform::VK_MENU] = alt ? 0x80 : 0;
    platform::SetKeyboardState(keys);
  }

  // Takes one queued message and handles it as the program's loop does.
  static bool HandleNext() {
    platform::MSG msg;
    if (!platform::PeekMessage(&msg, platform::kNoWindow, 0, 0, platform::PM_REMOVE)) return false;
    if (!framework::WalkPreTranslateTree(platform::kNoWindow, &msg)) {
      platform::TranslateMessage(&msg);
      platform::DispatchMessage(&msg);
    }
    return true;
  }
  static void HandleAll() {
    while (HandleNext()) {
    }
  }
  void PostChars(CVedEdView& view, const std::string& bytes) {
    for (const char c : bytes) {
      platform::PostMessage(view.m_hWnd, platform::WM_CHAR, static_cast<uint8_t>(c), kFirstPress);
    }
  }

  // The page point a click at a client point names, after the adjustment.
  static CaretPoint ClickPoint(CVedEdView& view, POINT at) {
    CaretPoint page;
    view.HitTestPoint(at.x, at.y, &page);
    return view.AdjustPoint(page);
  }

  RecordingEngine recorder;
};

// ---- The key tables

TEST_F(EdViewInputTest, CaretAndDeleteKeysBecomeTheirCommandsByTheModifierByte) {
  CVedEdView& view = Recorded();
  struct Case {
    int key;
    bool shift, ctrl, alt;
    LPARAM lParam;
    bool painting;
    int result;
    std::vector<Call> calls;
  };
  const std::vector<Case> cases = {
      {platform::VK_LEFT, false, false, false, kFirstPress, false, 1, {Command(WPC_MOVE, 1)}},
      {platform::VK_LEFT,
       true,
       false,
       false,
       kFirstPress,
       false,
       1,
       {Command(WPC_MOVE_EXTEND, 1, 1)}},
      {platform::VK_LEFT, false, true, false, kFirstPress, false, 1, {Command(WPC_MOVE, 1027)}},
      {platform::VK_LEFT,
       true,
       true,
       false,
       kFirstPress,
       false,
       1,
       {Command(WPC_MOVE_EXTEND, 1027, 1)}},
      {platform::VK_LEFT, false, false, true, kFirstPress, false, 0, {}},
      {platform::VK_LEFT, false, true, true, kFirstPress, false, 0, {}},
      {platform::VK_RIGHT, false, true, false, kFirstPress, false, 1, {Command(WPC_MOVE, 1026)}},
      {platform::VK_UP, false, true, false, kFirstPress, false, 1, {Command(WPC_MOVE, 36)}},
      {platform::VK_DOWN, false, false, false, kFirstPress, false, 1, {Command(WPC_MOVE, 4)}},
      {platform::VK_HOME,
       true,
       true,
       false,
       kFirstPress,
       false,
       1,
       {Command(WPC_MOVE_EXTEND, 65, 1)}},
      {platform::VK_END, false, false, false, kFirstPress, false, 1, {Command(WPC_MOVE, 18)}},
      {platform::VK_PRIOR, false, true, false, kFirstPress, false, 1, {Command(WPC_MOVE, 274)}},
      {platform::VK_NEXT, false, false, false, kFirstPress, false, 1, {Command(WPC_MOVE, 257)}},
      // Auto-repeat that meets a repaint is dropped; a first press never is.
      {platform::VK_DOWN, false, false, false, kRepeated, true, 1, {}},
      {platform::VK_DOWN, false, false, false, kFirstPress, true, 1, {Command(WPC_MOVE, 4)}},
      {platform::VK_DOWN, false, false, false, kRepeated, false, 1, {Command(WPC_MOVE, 4)}},
      {platform::VK_DELETE, false, false, false, kFirstPress, false, 1, {Command(WPC_DELETE, 1)}},
      {platform::VK_DELETE, false, true, false, kFirstPress, false, 0, {}},
      {platform::VK_DELETE, true, false, false, kFirstPress, false, 0, {}},
      {platform::VK_BACK, false, false, false, kFirstPress, false, 1, {Command(WPC_BACKSPACE, 1)}},
      {platform::VK_BACK, true, false, false, kFirstPress, false, 0, {}},
      {platform::VK_BACK, true, false, true, kFirstPress, false, 0, {}},
      {'A', false, false, false, kFirstPress, false, 0, {}},
  };
  for (const Case& c : cases) {
    recorder.EditCommand(WPC_MOVE, kMoveDocumentEnd, 0);
    recorder.EditCommand(WPC_MOVE, kMoveLineUp, 0);
    recorder.Take();
    Hold(c.shift, c.ctrl, c.alt);
    EdViewInputAccess::SetPainting(view, c.painting ? 1 : 0);
    EXPECT_EQ(view.TranslateEditKey(c.key, c.lParam), c.result)
        << c.key << c.shift << c.ctrl << c.alt << c.painting;
    EXPECT_EQ(recorder.Take(), c.calls) << c.key << c.shift << c.ctrl << c.alt << c.painting;
  }
  EdViewInputAccess::SetPainting(view, 0);
}

TEST_F(EdViewInputTest, TheSilentBackspaceSpeaksNothingAndPutsBackWhatItFound) {
  CVedEdView& view = Recorded();
  recorder.NotifyCommand(WPC_SET_NOTIFY_MASK, kFoundMask);
  SpeechOptions found{1, 0, 0x7F, 0x3F};
  recorder.FeedbackCommand(WPC_SET_SPEECH_OPTIONS, 0, &found);
  recorder.EditCommand(WPC_MOVE, kMoveNextChar, 0);
  recorder.Take();
  EXPECT_EQ(view.TranslateEditKey(platform::VK_BACK, kFirstPress | platform::kKeyExtended), 1);
  const std::vector<Call> expected = {
      Command(WPC_SET_SPEECH_OPTIONS, 0, 0),  // speech and sound off
      Command(WPC_SET_NOTIFY_MASK, 0),
      Command(WPC_BACKSPACE, 1),
      Command(WPC_SET_NOTIFY_MASK, kFoundMask),
      Command(WPC_SET_SPEECH_OPTIONS, 0, 10),  // as found: speech on, sound off
  };
  EXPECT_EQ(recorder.Take(), expected);
  SpeechOptions after;
  recorder.FeedbackCommand(WPC_GET_SPEECH_OPTIONS, 0, &after);
  EXPECT_EQ(after, found);
  EXPECT_EQ(recorder.NotifyCommand(WPC_GET_NOTIFY_MASK, 0), kFoundMask);
}

TEST_F(EdViewInputTest, TheEnterOptionChoosesWhichEnterMovesToTheNextLine) {
  CVedEdView& view = Recorded();
  struct Case {
    uint8_t option;
    bool shift, ctrl;
    bool onLastLine;
    int result;
    std::vector<Call> calls;
  };
  const std::vector<Case> cases = {
      {0, false, false, false, 0, {}},  // an ordinary line break
      {0, false, true, false, 1, {Command(WPC_MOVE, 19)}},
      {0, true, true, false, 0, {}},  // the modifier byte must be exactly Ctrl
      {0,
       false,
       true,
       true,
       0,
       {Command(WPC_SET_NOTIFY_MASK, 0), Command(WPC_MOVE, 18),
        Command(WPC_SET_NOTIFY_MASK, kFoundMask)}},
      {1, false, false, false, 1, {Command(WPC_MOVE, 19)}},
      {1,
       false,
       false,
       true,
       0,
       {Command(WPC_SET_NOTIFY_MASK, 0), Command(WPC_MOVE, 18),
        Command(WPC_SET_NOTIFY_MASK, kFoundMask)}},
      {1, false, true, false, 0, {}},
  };
  recorder.NotifyCommand(WPC_SET_NOTIFY_MASK, kFoundMask);
  for (const Case& c : cases) {
    EditSurfaceStyleBlock block;
    block.enterOption = c.option;
    view.SetStyleBlock(block);
    recorder.EditCommand(WPC_MOVE, c.onLastLine ? kMoveDocumentEnd : kMoveDocumentStart, 0);
    recorder.EditCommand(WPC_MOVE, kMoveLineStart, 0);
    recorder.Take();
    Hold(c.shift, c.ctrl, false);
    EXPECT_EQ(view.TranslateEditKey(platform::VK_RETURN, kFirstPress), c.result)
        << int{c.option} << c.shift << c.ctrl << c.onLastLine;
    EXPECT_EQ(recorder.Take(), c.calls) << int{c.option} << c.shift << c.ctrl << c.onLastLine;
    EXPECT_EQ(recorder.NotifyCommand(WPC_GET_NOTIFY_MASK, 0), kFoundMask);
  }
}

// ---- Typed characters

TEST_F(EdViewInputTest, CharactersWaitingInTheQueueBecomeOneInsert) {
  CVedEdView& view = Recorded();
  PostChars(view, "ab\n");
  PostChars(view, "\x93\xFA");  // 日, as its two bytes
  HandleAll();
  EXPECT_EQ(recorder.Take(), std::vector<Call>{Insert("ab\r\x93\xFA")})
      << "a line feed goes in as a carriage return";
  PostChars(view, "\x96\x7B");  // 本
  HandleNext();
  EXPECT_TRUE(recorder.Take().empty()) << "the first byte waits for the second";
  HandleAll();
  EXPECT_EQ(recorder.Take(), std::vector<Call>{Insert("\x96\x7B")});
}

TEST_F(EdViewInputTest, GatheredCharactersGoInBeforeAKeyMovesTheCaret) {
  CVedEdView& view = Recorded();
  platform::PostMessage(view.m_hWnd, platform::WM_CHAR, 'a', kFirstPress);
  platform::PostMessage(view.m_hWnd, platform::WM_KEYDOWN, platform::VK_LEFT, kFirstPress);
  platform::PostMessage(view.m_hWnd, platform::WM_CHAR, 'b', kFirstPress);
  HandleAll();
  const std::vector<Call> expected = {Insert("a"), Command(WPC_MOVE, kMovePrevChar), Insert("b")};
  EXPECT_EQ(recorder.Take(), expected);
}

TEST_F(EdViewInputTest, GatheredCharactersGoInBeforeTheSurfaceLosesThemToAnythingElse) {
  struct Case {
    const char* what;
    void (*interrupt)(CVedEdView&);
  };
  for (const Case& c : {
           Case{"focus loss",
                [](CVedEdView& view) {
                  platform::SendMessage(view.m_hWnd, platform::WM_KILLFOCUS, 0, 0);
                }},
           Case{"input blocked", [](CVedEdView& view) { view.DisableInput(); }},
           Case{"a click",
                [](CVedEdView& view) {
                  view.OnLButtonDown(0, {200, 200});
                }},
           Case{"a right click",
                [](CVedEdView& view) {
                  view.OnRButtonDown(0, {200, 200});
                }},
       }) {
    CVedEdView& view = Recorded();
    PostChars(view, "ab");
    HandleNext();
    EXPECT_EQ(view.GatheredText().GetLength(), 1u) << c.what;
    c.interrupt(view);
    const std::vector<Call> calls = recorder.Take();
    ASSERT_FALSE(calls.empty()) << c.what;
    EXPECT_EQ(calls.front(), Insert("a")) << c.what;
    EXPECT_EQ(view.GatheredText().GetLength(), 0u) << c.what;
    view.EnableInput();
    platform::DestroyWindow(view.m_hWnd);
    recorder.Take();
    HandleAll();
    recorder.recording = false;
  }
}

TEST_F(EdViewInputTest, GatheredCharactersGoInWhenTheSurfaceIsDestroyed) {
  CVedEdView& view = Recorded();
  PostChars(view, "ab");
  HandleNext();
  platform::DestroyWindow(view.m_hWnd);
  EXPECT_EQ(recorder.Take(), std::vector<Call>{Insert("a")});
}

TEST_F(EdViewInputTest, EachSurfaceGathersForItsOwnDocument) {
  CVedEdView& first = Recorded();
  CVedEdView* second = new CVedEdView;
  ASSERT_EQ(second->CreateEditSurfaceWindow(framework::CWnd::FromHandle(host_)), 1);
  platform::MoveWindow(second->m_hWnd, 0, 0, 300, 200, false);
  second->AttachEngine(&engine, nullptr);
  PostChars(first, "ab");
  HandleNext();  // "a" waits in the first surface for "b"
  platform::SendMessage(second->m_hWnd, platform::WM_CHAR, 'x', kFirstPress);
  EXPECT_EQ(DocumentText().substr(0, 1), "x") << "only what was typed into the second";
  HandleAll();
  EXPECT_EQ(recorder.Take(), std::vector<Call>{Insert("ab")});
}

TEST_F(EdViewInputTest, ALeadByteWaitsForItsSecondByte) {
  CVedEdView& view = Recorded();
  platform::PostMessage(view.m_hWnd, platform::WM_CHAR, 0x93, kFirstPress);
  HandleAll();
  EXPECT_TRUE(recorder.Take().empty());
  platform::PostMessage(view.m_hWnd, platform::WM_CHAR, 0xFA, kFirstPress);
  HandleAll();
  EXPECT_EQ(recorder.Take(), std::vector<Call>{Insert("\x93\xFA")});
}

TEST_F(EdViewInputTest, ALeadByteWithoutItsSecondByteIsNotInserted) {
  CVedEdView& view = Recorded();
  platform::PostMessage(view.m_hWnd, platform::WM_CHAR, 'a', kFirstPress);
  platform::PostMessage(view.m_hWnd, platform::WM_CHAR, 0x93, kFirstPress);
  platform::PostMessage(view.m_hWnd, platform::WM_KEYDOWN, platform::VK_RIGHT, kFirstPress);
  HandleAll();
  const std::vector<Call> expected = {Insert("a"), Command(WPC_MOVE, kMoveNextChar)};
  EXPECT_EQ(recorder.Take(), expected);
}

TEST_F(EdViewInputTest, NothingIsTypedWhileInputIsBlocked) {
  CVedEdView& view = Recorded();
  view.DisableInput();
  PostChars(view, "ab");
  HandleAll();
  platform::PostMessage(view.m_hWnd, platform::WM_KEYDOWN, platform::VK_LEFT, kFirstPress);
  HandleAll();
  EXPECT_TRUE(recorder.Take().empty());
}

// ---- The mouse

TEST_F(EdViewInputTest, AClickMovesTheCaretToTheNearerSideOfTheCharacter) {
  CVedEdView& view = Recorded();
  const POINT at{kGap + kTextLeft + 30, kGap + kTextTop + 5};
  const CaretPoint expected = ClickPoint(view, at);
  view.OnLButtonDown(platform::MK_LBUTTON, at);
  EXPECT_EQ(recorder.Take(), std::vector<Call>{ToPoint(WPC_MOVE, expected)});
  EXPECT_EQ(platform::GetCapture(), view.m_hWnd);
  view.OnLButtonUp(0, at);
  EXPECT_EQ(platform::GetCapture(), platform::kNoWindow);
}

TEST_F(EdViewInputTest, ADragSelectsOnlyOnceThePointerMovedFourPixels) {
  CVedEdView& view = Recorded();
  const POINT down{kGap + kTextLeft + 30, kGap + kTextTop + 5};
  view.OnLButtonDown(platform::MK_LBUTTON, down);
  recorder.Take();
  struct Step {
    int32_t dx, dy;
    platform::UINT flags;
    bool extends;
  };
  for (const Step& s : {
           Step{3, 3, platform::MK_LBUTTON, false},
           Step{-3, 2, platform::MK_LBUTTON, false},  // still measured from the press
           Step{4, 0, platform::MK_LBUTTON, true},
           Step{5, 0, platform::MK_LBUTTON, true},  // the press is forgotten now
           Step{6, 0, 0, false},                    // the button is up
       }) {
    const POINT at{down.x + s.dx, down.y + s.dy};
    const std::vector<Call> expected =
        s.extends ? std::vector<Call>{ToPoint(WPC_MOVE_EXTEND, ClickPoint(view, at))}
                  : std::vector<Call>{};
    view.OnMouseMove(s.flags, at);
    EXPECT_EQ(recorder.Take(), expected) << s.dx << "," << s.dy;
  }
}

TEST_F(EdViewInputTest, AClickInTheUnitMarginSelectsTheUnit) {
  CVedEdView& view = Recorded();
  recorder.NotifyCommand(WPC_SET_NOTIFY_MASK, kFoundMask);
  recorder.Take();
  const POINT at{kGap + 30, kGap + kTextTop + 5};
  CaretPoint page;
  ASSERT_EQ(view.HitTestPoint(at.x, at.y, &page), kHitOnPage);
  view.OnLButtonDown(platform::MK_LBUTTON, at);
  const std::vector<Call> expected = {
      Command(WPC_SET_NOTIFY_MASK, 0),
      Command(WPC_CLEAR_SELECTION, 0),
      ToPoint(WPC_MOVE, page),
      Command(WPC_SET_NOTIFY_MASK, kFoundMask),
      Command(WPC_MOVE_EXTEND, kMoveWholeUnit, 2),
      ToPoint(WPC_MOVE_EXTEND, page),
  };
  EXPECT_EQ(recorder.Take(), expected);
  EXPECT_NE(recorder.EditCommand(WPC_HAS_SELECTION, 0, 0), 0);
}

TEST_F(EdViewInputTest, TheRightButtonMovesTheCaretOnlyOutsideTheSelectionAndOverText) {
  CVedEdView& view = Recorded();
  const POINT text{kGap + kTextLeft + 30, kGap + kTextTop + 5};
  const CaretPoint expected = ClickPoint(view, text);
  view.OnRButtonDown(0, text);
  EXPECT_EQ(recorder.Take(), std::vector<Call>{ToPoint(WPC_MOVE, expected)});
  view.OnRButtonDown(platform::MK_LBUTTON, text);
  EXPECT_TRUE(recorder.Take().empty()) << "with the left button down";
  view.OnRButtonDown(0, {kGap + 30, kGap + kTextTop + 5});
  EXPECT_TRUE(recorder.Take().empty()) << "in the unit margin";
}

TEST_F(EdViewInputTest, TheWheelScrollsThreeLinesANotchAndTellsTheParent) {
  CVedEdView& view = Recorded(600, 300);
  int parentScrolls = 0;
  static int* counter = nullptr;
  counter = &parentScrolls;
  static platform::LONG_PTR previous = 0;
  previous = platform::SetWindowLongPtr(
      host_, platform::GWLP_WNDPROC,
      reinterpret_cast<platform::LONG_PTR>(+[](platform::HWND window, platform::UINT message,
                                               platform::WPARAM wParam, platform::LPARAM lParam) {
        if (message == platform::WM_VSCROLL && wParam == 0 && lParam == 0) ++*counter;
        return platform::CallWindowProc(reinterpret_cast<platform::WNDPROC>(previous), window,
                                        message, wParam, lParam);
      }));
  struct Case {
    int delta;
    int linesDown;
  };
  for (const Case& c :
       {Case{-120, 3}, Case{-240, 6}, Case{30, 0}, Case{-30, 0}, Case{120, -3}, Case{-80, 2}}) {
    view.ScrollVert(kScrollThumbPosition, 500);
    const int32_t start = view.DisplayLines().Lines().front().yOrigin;
    for (int i = 0; i < std::abs(c.linesDown); ++i) {
      view.ScrollVert(c.linesDown > 0 ? kScrollLineForward : kScrollLineBack, 0);
    }
    const int32_t expected = view.DisplayLines().Lines().front().yOrigin;
    view.ScrollVert(kScrollThumbPosition, 500);
    ASSERT_EQ(view.DisplayLines().Lines().front().yOrigin, start);
    parentScrolls = 0;
    EXPECT_EQ(view.OnMouseWheel(0, c.delta), 0);
    EXPECT_EQ(view.DisplayLines().Lines().front().yOrigin, expected) << c.delta;
    EXPECT_EQ(parentScrolls, 1) << c.delta;
  }
  platform::SetWindowLongPtr(host_, platform::GWLP_WNDPROC, previous);
}

TEST_F(EdViewInputTest, TheWheelComesAsAMessage) {
  CVedEdView& view = Recorded(600, 300);
  const int32_t start = view.DisplayLines().Lines().front().yOrigin;
  const platform::WPARAM down = static_cast<platform::WPARAM>(static_cast<uint16_t>(-120)) << 16;
  platform::SendMessage(view.m_hWnd, platform::WM_MOUSEWHEEL, down, 0);
  EXPECT_GT(view.DisplayLines().Lines().front().yOrigin, start);
}

TEST_F(EdViewInputTest, ThePressesComeAsMessagesWithTheirButtons) {
  CVedEdView& view = Recorded();
  const POINT at{kGap + kTextLeft + 30, kGap + kTextTop + 5};
  const CaretPoint expected = ClickPoint(view, at);
  platform::mouse_event(platform::MOUSEEVENTF_ABSOLUTE | platform::MOUSEEVENTF_MOVE, at.x, at.y, 0,
                        0);
  platform::mouse_event(platform::MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  HandleAll();
  EXPECT_EQ(recorder.Take(), std::vector<Call>{ToPoint(WPC_MOVE, expected)});
  const POINT further{at.x + 30, at.y};
  const CaretPoint extended = ClickPoint(view, further);
  platform::mouse_event(platform::MOUSEEVENTF_ABSOLUTE | platform::MOUSEEVENTF_MOVE, further.x,
                        further.y, 0, 0);
  platform::mouse_event(platform::MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
  HandleAll();
  EXPECT_EQ(recorder.Take(), std::vector<Call>{ToPoint(WPC_MOVE_EXTEND, extended)});
  EXPECT_EQ(platform::GetCapture(), platform::kNoWindow);
}

TEST_F(EdViewInputTest, ThePostedFocusMessageShowsTheCaretAgain) {
  CVedEdView& view = Recorded();
  view.HideCaretAll();
  ASSERT_FALSE(view.DisplayLines().IsCaretShown());
  platform::PostMessage(view.m_hWnd, WM_SURFACE_TAKE_FOCUS, 0, 0);
  HandleAll();
  EXPECT_TRUE(view.DisplayLines().IsCaretShown());
}

// ---- The drag scroll

class EdViewDragScrollTest : public EdViewInputTest {
 protected:
  EdViewDragScrollTest() : scoped_(clock_) {}

  // Lets `milliseconds` pass and handles what fell due.
  void Wait(uint32_t milliseconds) {
    clock_.Advance(milliseconds);
    HandleAll();
  }
  // The pointer held at a client point of the surface (its window sits at
  // the screen's corner).
  void PointerAt(CVedEdView& view, POINT at) {
    platform::SetCursorPos(at.x, at.y);
    view.OnMouseMove(platform::MK_LBUTTON, at);
  }

  platform::FakeClock clock_;
  platform::ScopedClock scoped_;
};

TEST_F(EdViewDragScrollTest, AboveTheWindowTheSelectionGrowsALineUpEvery30Milliseconds) {
  CVedEdView& view = Recorded(600, 300);
  recorder.EditCommand(WPC_MOVE, kMoveDocumentEnd, 0);
  const POINT down{kGap + kTextLeft + 30, kGap + kTextTop + 5};
  view.OnLButtonDown(platform::MK_LBUTTON, down);
  recorder.Take();
  const Call lineUp = Command(WPC_MOVE_EXTEND, kMoveLineUp, 1);
  PointerAt(view, {down.x, -20});
  EXPECT_EQ(recorder.Take(), std::vector<Call>{lineUp}) << "a first step at once";
  EXPECT_EQ(view.IsDragScrolling(), 1);
  PointerAt(view, {down.x + 10, -30});
  EXPECT_TRUE(recorder.Take().empty()) << "moves outside start nothing more";
  Wait(29);
  EXPECT_TRUE(recorder.Take().empty());
  Wait(1);
  EXPECT_EQ(recorder.Take(), std::vector<Call>{lineUp});
  Wait(30);
  EXPECT_EQ(recorder.Take(), std::vector<Call>{lineUp});
  platform::SetCursorPos(down.x, 400);
  Wait(30);
  EXPECT_EQ(recorder.Take(), std::vector<Call>{Command(WPC_MOVE_EXTEND, kMoveLineDown, 1)})
      << "below the window a line down";
  const POINT back{down.x + 40, down.y + 40};
  PointerAt(view, back);
  EXPECT_EQ(view.IsDragScrolling(), 0) << "back inside";
  EXPECT_EQ(recorder.Take(), std::vector<Call>{ToPoint(WPC_MOVE_EXTEND, ClickPoint(view, back))});
  Wait(100);
  EXPECT_TRUE(recorder.Take().empty());
}

TEST_F(EdViewDragScrollTest, BesideTheWindowTheSelectionGrowsACharacterPitchSideways) {
  CVedEdView& view = Recorded(300, 300);
  const POINT down{kGap + kTextLeft + 30, kGap + kTextTop + 5};
  view.OnLButtonDown(platform::MK_LBUTTON, down);
  recorder.Take();
  const int32_t pitch = view.Geometry().page.charPitch;
  ASSERT_GT(pitch, 0);
  platform::RECT client;
  platform::GetClientRect(view.m_hWnd, &client);
  CaretPoint edge;
  view.HitTestPoint(client.right, down.y, &edge);
  CaretPoint right = edge;
  right.rect.left += pitch;
  right.rect.right += pitch;
  PointerAt(view, {client.right + 20, down.y});
  EXPECT_EQ(recorder.Take(), std::vector<Call>{ToPoint(WPC_MOVE_EXTEND, right)});
  view.HitTestPoint(0, down.y, &edge);
  CaretPoint left = edge;
  left.rect.left -= pitch;
  left.rect.right -= pitch;
  platform::SetCursorPos(-20, down.y);
  Wait(30);
  EXPECT_EQ(recorder.Take(), std::vector<Call>{ToPoint(WPC_MOVE_EXTEND, left)});
  // Back within the width at the window's height: the scroll ends by itself.
  platform::SetCursorPos(client.right / 2, down.y);
  Wait(30);
  EXPECT_EQ(view.IsDragScrolling(), 0);
  EXPECT_TRUE(recorder.Take().empty());
}

TEST_F(EdViewDragScrollTest, ReleasingTheButtonOrDestroyingTheSurfaceEndsTheScroll) {
  CVedEdView& view = Recorded(600, 300);
  const POINT down{kGap + kTextLeft + 30, kGap + kTextTop + 5};
  view.OnLButtonDown(platform::MK_LBUTTON, down);
  PointerAt(view, {down.x, -20});
  view.OnLButtonUp(0, {down.x, -20});
  EXPECT_EQ(view.IsDragScrolling(), 0);
  recorder.Take();
  Wait(100);
  EXPECT_TRUE(recorder.Take().empty());
  view.OnLButtonDown(platform::MK_LBUTTON, down);
  PointerAt(view, {down.x, -20});
  platform::DestroyWindow(view.m_hWnd);
  recorder.Take();
  Wait(100);
  EXPECT_TRUE(recorder.Take().empty());
}

// ---- Typing into a real document

TEST_F(EdViewTest, JapaneseTypedWithEnterAndBackspaceEndsUpInTheDocument) {
  CVedEdView& view = Surface(1, 1, 600, 400);
  platform::SetFocus(view.m_hWnd);
  auto handleAll = [] {
    platform::MSG msg;
    while (platform::PeekMessage(&msg, platform::kNoWindow, 0, 0, platform::PM_REMOVE)) {
      if (!framework::WalkPreTranslateTree(platform::kNoWindow, &msg)) {
        platform::TranslateMessage(&msg);
        platform::DispatchMessage(&msg);
      }
    }
  };
  // 日本語の文章です。 typed as whole characters: each becomes its two CP932
  // bytes, two WM_CHARs.
  for (const uint16_t unit :
       {0x65E5, 0x672C, 0x8A9E, 0x306E, 0x6587, 0x7AE0, 0x3067, 0x3059, 0x3002}) {
    platform::TypeCharacter(unit);
  }
  handleAll();
  const std::string typed =
      "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x95\xB6\x8F\xCD\x82\xC5\x82\xB7\x81\x42";
  const std::string filler = DocumentText().substr(typed.size());
  EXPECT_EQ(DocumentText().substr(0, typed.size()), typed);
  platform::keybd_event(platform::VK_RETURN, 0, 0, 0);
  platform::keybd_event(platform::VK_RETURN, 0, platform::KEYEVENTF_KEYUP, 0);
  handleAll();
  EXPECT_EQ(DocumentText(), typed + "\r\n" + filler);
  platform::keybd_event(platform::VK_BACK, 0, 0, 0);
  platform::keybd_event(platform::VK_BACK, 0, platform::KEYEVENTF_KEYUP, 0);
  handleAll();
  EXPECT_EQ(DocumentText(), typed + filler);
}

}  // namespace
}  // namespace views_test
