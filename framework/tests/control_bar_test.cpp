#include "framework/control_bar.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "framework/cmd_ui.h"
#include "framework/frame_wnd.h"
#include "framework/menu.h"
#include "framework/status_bar.h"
#include "framework/tool_bar.h"
#include "framework_test_support.h"
#include "platform/control_notify.h"
#include "platform/font_service.h"
#include "platform/input.h"
#include "platform/synthetic_fonts.h"
#include "platform/system_info.h"

namespace framework {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace platform;

constexpr UINT kBold = 100;
constexpr UINT kItalic = 101;
// A command without any handler.
constexpr UINT kUnderline = 102;
constexpr UINT kToolbarIds[] = {kBold, ID_SEPARATOR, kItalic, kUnderline};

constexpr int32_t kFrameWidth = 300;
constexpr int32_t kFrameHeight = 200;

// The frame the bars ask and tell: bold is checked, italic enabled as
// the test says.
class CBarFrame : public CWnd {
  DECLARE_MESSAGE_MAP()

 public:
  bool italicEnabled = true;
  // Who sent the last WM_COMMAND, and with which code.
  HWND commandFrom = kNoWindow;
  UINT commandCode = kNoCode;
  static constexpr UINT kNoCode = 0xFFFF'FFFF;

 protected:
  bool OnCommand(WPARAM wParam, LPARAM lParam) override {
    commandFrom = ControlOf(lParam);
    commandCode = NotifyCodeOf(wParam);
    return CWnd::OnCommand(wParam, lParam);
  }
  void OnBold() { Seen().push_back("bold"); }
  void OnItalic() { Seen().push_back("italic"); }
  void OnUpdateBold(CCmdUI* ui) { ui->SetCheck(1); }
  void OnUpdateItalic(CCmdUI* ui) { ui->Enable(italicEnabled); }
};

BEGIN_MESSAGE_MAP(CBarFrame, CWnd)
OnCommandId(kBold, &CBarFrame::OnBold), OnCommandId(kItalic, &CBarFrame::OnItalic),
    OnUpdateUI(kBold, &CBarFrame::OnUpdateBold), OnUpdateUI(kItalic, &CBarFrame::OnUpdateItalic),
    END_MESSAGE_MAP()

    // Shows the KANA indicator on, whatever the key says.
    class CKanaFrame : public CBarFrame {
  DECLARE_MESSAGE_MAP()

 protected:
  void OnUpdateKana(CCmdUI* ui) { ui->Enable(true); }
};

BEGIN_MESSAGE_MAP(CKanaFrame, CBarFrame)
OnUpdateUI(ID_INDICATOR_KANA, &CKanaFrame::OnUpdateKana),
    END_MESSAGE_MAP()

        class MemoryProfile : public ProfileStore {
 public:
  CString GetProfileString(const char* section, const char* entry,
                           const char* defaultValue) override {
    const auto it = values.find({section, entry});
    return it != values.end() ? CString(it->second) : CString(defaultValue);
  }
  bool WriteProfileString(const char* section, const char* entry, const char* value) override {
    values[{section, entry}] = value;
    return true;
  }

  std::map<std::pair<std::string, std::string>, std::string> values;
};

class ControlBarTest : public WindowTest {
 protected:
  ControlBarTest() : fonts_(synthetic_) {
    LOGFONTA lf;
    lf.lfHeight = -kEm;
    std::strcpy(lf.lfFaceName, kSyntheticFixedFace);
    font_ = CreateFontIndirectA(lf);
  }
  ~ControlBarTest() override {
    toolBar_.DestroyWindow();
    statusBar_.DestroyWindow();
    frame_.DestroyWindow();
  }

  void CreateFrame() {
    ASSERT_TRUE(frame_.CreateEx(0, nullptr, "", WS_VISIBLE, RECT{0, 0, kFrameWidth, kFrameHeight},
                                nullptr, 0));
  }
  void CreateToolBar() {
    ASSERT_TRUE(toolBar_.CreateEx(&frame_, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    ASSERT_TRUE(toolBar_.SetButtons(kToolbarIds, 4));
  }
  void CreateStatusBar() {
    ASSERT_TRUE(statusBar_.Create(&frame_));
    statusBar_.SetFont(font_.get());
    constexpr UINT kIndicators[] = {ID_SEPARATOR, ID_INDICATOR_KANA, ID_INDICATOR_CAPS,
                                    ID_INDICATOR_NUM};
    ASSERT_TRUE(statusBar_.SetIndicators(kIndicators, 4));
  }
  void CreateAll() {
    CreateFrame();
    CreateToolBar();
    CreateStatusBar();
    RepositionBars(&frame_);
  }
  static void Pump() {
    MSG msg;
    while (PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
  }
  void Click(const RECT& on, const RECT& off) {
    const POINT down{(on.left + on.right) / 2, (on.top + on.bottom) / 2};
    const POINT up{(off.left + off.right) / 2, (off.top + off.bottom) / 2};
    toolBar_.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(down.x, down.y));
    toolBar_.SendMessage(WM_LBUTTONUP, 0, MakeLParam(up.x, up.y));
  }
  RECT ItemRect(int index) const {
    RECT r;
    toolBar_.GetItemRect(index, &r);
    return r;
  }
  RECT PaneRect(int index) const {
    RECT r;
    statusBar_.GetItemRect(index, &r);
    return r;
  }
  static RECT WindowRectIn(HWND parent, HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    POINT corner{r.left, r.top};
    ScreenToClient(parent, &corner);
    return RECT{corner.x, corner.y, corner.x + r.Width(), corner.y + r.Height()};
  }
  COLORREF Pixel(int32_t x, int32_t y) const {
    return GetPixel(GetWindowSurface(frame_.m_hWnd), x, y);
  }
  bool Disabled(int pane) const { return (statusBar_.GetPaneStyle(pane) & SBPS_DISABLED) != 0; }

  static constexpr int32_t kEm = 16;
  SyntheticFontService synthetic_;
  ScopedFontService fonts_;
  UniqueFont font_;
  CBarFrame frame_;
  CToolBar toolBar_;
  CStatusBar statusBar_;
};

TEST_F(ControlBarTest, BarsTakeTheEdgesInTheOrderMadeAndThePaneGetsTheRest) {
  CreateFrame();
  CreateToolBar();
  CToolBar second;
  ASSERT_TRUE(second.CreateEx(&frame_, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP, 7));
  CreateStatusBar();
  CWnd pane;
  ASSERT_TRUE(pane.Create(nullptr, "", WS_VISIBLE, RECT{}, &frame_, AFX_IDW_PANE_FIRST));
  constexpr int32_t kToolHeight = CToolBar::kButtonHeight + 2 * CToolBar::kBorder;
  // The synthetic em, the text margins, the pane edges and the bar border.
  constexpr int32_t kStatusHeight = kEm + 2 * (2 + 1 + 2);
  EXPECT_EQ(RepositionBars(&frame_),
            (RECT{0, 2 * kToolHeight, kFrameWidth, kFrameHeight - kStatusHeight}));
  EXPECT_EQ(WindowRectIn(frame_.m_hWnd, toolBar_.m_hWnd), (RECT{0, 0, kFrameWidth, kToolHeight}));
  EXPECT_EQ(WindowRectIn(frame_.m_hWnd, second.m_hWnd),
            (RECT{0, kToolHeight, kFrameWidth, 2 * kToolHeight}));
  EXPECT_EQ(WindowRectIn(frame_.m_hWnd, statusBar_.m_hWnd),
            (RECT{0, kFrameHeight - kStatusHeight, kFrameWidth, kFrameHeight}));
  EXPECT_EQ(WindowRectIn(frame_.m_hWnd, pane.m_hWnd),
            (RECT{0, 2 * kToolHeight, kFrameWidth, kFrameHeight - kStatusHeight}));

  ShowControlBar(&toolBar_, false);
  EXPECT_FALSE(IsWindowVisible(toolBar_.m_hWnd));
  EXPECT_EQ(WindowRectIn(frame_.m_hWnd, second.m_hWnd), (RECT{0, 0, kFrameWidth, kToolHeight}))
      << "a hidden bar takes no room";
  EXPECT_EQ(WindowRectIn(frame_.m_hWnd, pane.m_hWnd),
            (RECT{0, kToolHeight, kFrameWidth, kFrameHeight - kStatusHeight}));
  ShowControlBar(&toolBar_, true);
  EXPECT_EQ(WindowRectIn(frame_.m_hWnd, pane.m_hWnd).top, 2 * kToolHeight);
  second.DestroyWindow();
  pane.DestroyWindow();
}

TEST_F(ControlBarTest, ButtonsAndSeparatorsLineUpAndASeparatorCanHoldAControl) {
  CreateAll();
  constexpr int32_t b = CToolBar::kBorder;
  constexpr int32_t w = CToolBar::kButtonWidth;
  constexpr int32_t h = CToolBar::kButtonHeight;
  constexpr int32_t s = CToolBar::kSeparatorWidth;
  EXPECT_EQ(ItemRect(0), (RECT{b, b, b + w, b + h}));
  EXPECT_EQ(ItemRect(1), (RECT{b + w, b, b + w + s, b + h}));
  EXPECT_EQ(ItemRect(2), (RECT{b + w + s, b, b + 2 * w + s, b + h}));
  EXPECT_EQ(ItemRect(4), (RECT{})) << "no such item";
  EXPECT_EQ(toolBar_.CommandToIndex(kUnderline), 3);
  EXPECT_TRUE(toolBar_.IsFlat());

  constexpr int32_t kComboWidth = 150;
  toolBar_.SetButtonInfo(2, ID_SEPARATOR, TBBS_SEPARATOR, kComboWidth);
  RECT slot = ItemRect(2);
  EXPECT_EQ(slot, (RECT{b + w + s, b, b + w + s + kComboWidth, b + h}));
  EXPECT_EQ(ItemRect(3).left, slot.right) << "the buttons after it move along";
  UINT id = 0;
  UINT style = 0;
  int image = 0;
  toolBar_.GetButtonInfo(2, &id, &style, &image);
  EXPECT_EQ(id, ID_SEPARATOR);
  EXPECT_EQ(style, TBBS_SEPARATOR);
  EXPECT_EQ(image, kComboWidth);
  CWnd control;
  slot.bottom = slot.top + 16;
  ASSERT_TRUE(control.Create(nullptr, "", WS_VISIBLE, slot, &toolBar_, kItalic));
  EXPECT_EQ(WindowRectIn(toolBar_.m_hWnd, control.m_hWnd), slot);
  Click(slot, slot);
  EXPECT_THAT(Seen(), IsEmpty()) << "a separator is no button";
  control.DestroyWindow();
}

TEST_F(ControlBarTest, AClickSendsTheCommandToTheFrameOnlyWhenEnabledAndReleasedOnIt) {
  CreateAll();
  Click(ItemRect(0), ItemRect(0));
  EXPECT_THAT(Seen(), ElementsAre("bold"));
  EXPECT_EQ(frame_.commandFrom, toolBar_.m_hWnd);
  EXPECT_EQ(frame_.commandCode, CN_COMMAND);
  Seen().clear();
  Click(ItemRect(0), ItemRect(2));
  EXPECT_THAT(Seen(), IsEmpty()) << "let go over another button";
  EXPECT_EQ(toolBar_.GetButtonStyle(0) & TBBS_PRESSED, 0u);
  EXPECT_EQ(GetCapture(), kNoWindow);

  frame_.italicEnabled = false;
  toolBar_.SendMessage(WM_IDLEUPDATECMDUI, 1);
  EXPECT_NE(toolBar_.GetButtonStyle(2) & TBBS_DISABLED, 0u);
  frame_.commandFrom = kNoWindow;
  Click(ItemRect(2), ItemRect(2));
  EXPECT_THAT(Seen(), IsEmpty()) << "a disabled button sends nothing";
  EXPECT_EQ(frame_.commandFrom, kNoWindow);
  frame_.italicEnabled = true;
  toolBar_.SendMessage(WM_IDLEUPDATECMDUI, 1);
  Click(ItemRect(2), ItemRect(2));
  EXPECT_THAT(Seen(), ElementsAre("italic"));
}

TEST_F(ControlBarTest, AClickOfTheMouseThroughTheInputQueueSendsTheCommand) {
  CreateAll();
  Pump();
  const RECT bold = ItemRect(0);
  POINT at{(bold.left + bold.right) / 2, (bold.top + bold.bottom) / 2};
  ClientToScreen(toolBar_.m_hWnd, &at);
  mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN, at.x, at.y, 0, 0);
  Pump();
  EXPECT_EQ(GetCapture(), toolBar_.m_hWnd) << "held while the button is down";
  EXPECT_NE(toolBar_.GetButtonStyle(0) & TBBS_PRESSED, 0u);
  mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP, at.x, at.y, 0, 0);
  Pump();
  EXPECT_THAT(Seen(), ElementsAre("bold"));
  EXPECT_EQ(GetCapture(), kNoWindow);
}

TEST_F(ControlBarTest, AButtonLetsGoWhenAnotherWindowTakesTheMouse) {
  CreateAll();
  const RECT bold = ItemRect(0);
  const LPARAM at = MakeLParam((bold.left + bold.right) / 2, (bold.top + bold.bottom) / 2);
  toolBar_.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
  SetCapture(statusBar_.m_hWnd);
  EXPECT_EQ(toolBar_.GetButtonStyle(0) & TBBS_PRESSED, 0u);
  ReleaseCapture();
  toolBar_.SendMessage(WM_LBUTTONUP, 0, at);
  EXPECT_THAT(Seen(), IsEmpty());
}

TEST_F(ControlBarTest, TheIdleUpdateReachesEveryBarOfTheFrame) {
  CreateAll();
  KeyboardState keys{};
  keys[VK_NUMLOCK] = 1;
  SetKeyboardState(keys);
  frame_.italicEnabled = false;
  UpdateBarsWhenIdle(&frame_);
  EXPECT_NE(toolBar_.GetButtonStyle(2) & TBBS_DISABLED, 0u);
  EXPECT_NE(toolBar_.GetButtonStyle(3) & TBBS_DISABLED, 0u) << "no handler: disabled";
  EXPECT_FALSE(Disabled(3));
  EXPECT_TRUE(Disabled(2));
}

TEST_F(ControlBarTest, TheIdleUpdateSetsEachButtonAsItsHandlerSays) {
  CreateAll();
  struct Case {
    bool disableIfNoHandler;
    int index;
    UINT state;
  };
  for (const Case& c :
       {Case{false, 0, TBBS_CHECKED}, Case{false, 2, 0u}, Case{false, 3, 0u},
        Case{true, 0, TBBS_CHECKED}, Case{true, 2, 0u}, Case{true, 3, TBBS_DISABLED}}) {
    toolBar_.SendMessage(WM_IDLEUPDATECMDUI, c.disableIfNoHandler ? 1 : 0);
    EXPECT_EQ(toolBar_.GetButtonStyle(c.index) & (TBBS_CHECKED | TBBS_DISABLED), c.state)
        << c.index << (c.disableIfNoHandler ? " disabling" : "");
  }
  toolBar_.ShowWindow(SW_HIDE);
  frame_.italicEnabled = false;
  toolBar_.SendMessage(WM_IDLEUPDATECMDUI, 1);
  EXPECT_EQ(toolBar_.GetButtonStyle(2) & TBBS_DISABLED, 0u) << "a hidden bar is not updated";
}

TEST_F(ControlBarTest, ButtonsAreDrawnFlatPressedCheckedAndDisabled) {
  CreateAll();
  frame_.italicEnabled = false;
  toolBar_.SendMessage(WM_IDLEUPDATECMDUI, 0);
  Pump();
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  const auto centre = [](const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
  const RECT bold = ItemRect(0);
  const RECT italic = ItemRect(2);
  const RECT underline = ItemRect(3);
  EXPECT_EQ(Pixel(bold.left, bold.top), shadow) << "checked: sunken";
  EXPECT_EQ(Pixel(bold.left + 1, bold.top + 1), highlight) << "checked: the light face";
  EXPECT_EQ(Pixel(centre(bold).x, centre(bold).y), GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(Pixel(centre(italic).x, centre(italic).y), GetSysColor(COLOR_GRAYTEXT));
  EXPECT_EQ(Pixel(underline.left, underline.top), face) << "flat: no edge at rest";
  EXPECT_EQ(Pixel(underline.left + 1, underline.top + 1), face);

  const POINT at = centre(underline);
  toolBar_.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(at.x, at.y));
  Pump();
  EXPECT_EQ(Pixel(underline.left, underline.top), shadow) << "pressed: sunken";
  EXPECT_EQ(Pixel(underline.right - 1, underline.bottom - 1), highlight);
  EXPECT_EQ(Pixel(underline.left + 1, underline.top + 1), face);
  toolBar_.SendMessage(WM_LBUTTONUP, 0, MakeLParam(at.x, at.y));
  Pump();
  EXPECT_EQ(Pixel(underline.left, underline.top), face);
  const RECT gap = ItemRect(1);
  const int32_t middle = (gap.left + gap.right) / 2;
  EXPECT_EQ(Pixel(middle - 1, gap.top), shadow) << "an etched separator line";
  EXPECT_EQ(Pixel(middle, gap.top), highlight);
}

TEST_F(ControlBarTest, PanesAreAsWideAsTheirIndicatorsAndTheFirstStretches) {
  CreateAll();
  ASSERT_EQ(statusBar_.GetCount(), 4);
  // In the synthetic fixed face a byte is half an em wide: "CAP" is 24
  // pixels, the two double-byte characters of the KANA text 32.
  constexpr int32_t kMargins = 2 * (2 + 1);
  constexpr int32_t kKana = 2 * kEm + kMargins;
  constexpr int32_t kCaps = 3 * kEm / 2 + kMargins;
  const int32_t top = CStatusBar::kBorder;
  const int32_t bottom = kEm + 2 * (2 + 1 + 2) - CStatusBar::kBorder;
  const int32_t right = kFrameWidth - CStatusBar::kBorder;
  EXPECT_EQ(PaneRect(3), (RECT{right - kCaps, top, right, bottom}));
  EXPECT_EQ(PaneRect(2), (RECT{right - 2 * kCaps - 2, top, right - kCaps - 2, bottom}));
  EXPECT_EQ(PaneRect(1), (RECT{right - 2 * kCaps - kKana - 4, top, right - 2 * kCaps - 4, bottom}));
  EXPECT_EQ(PaneRect(0), (RECT{CStatusBar::kBorder, top, right - 2 * kCaps - kKana - 6, bottom}));
  UINT id = 0;
  UINT style = 0;
  int32_t width = 0;
  statusBar_.GetPaneInfo(0, &id, &style, &width);
  EXPECT_EQ(id, ID_SEPARATOR);
  EXPECT_EQ(style, SBPS_NOBORDERS | SBPS_STRETCH);
  EXPECT_EQ(statusBar_.GetPaneText(2), CString("CAP"));
  EXPECT_EQ(statusBar_.GetPaneText(1), CString("\x83\x4A\x83\x69"));

  constexpr int32_t kWider = 50;
  statusBar_.SetPaneInfo(3, 1, SBPS_NORMAL, kWider);
  EXPECT_EQ(PaneRect(3), (RECT{right - kWider - kMargins, top, right, bottom}));
  EXPECT_EQ(statusBar_.CommandToIndex(1), 3);
  EXPECT_TRUE(statusBar_.SetPaneText(3, "555"));
  EXPECT_EQ(statusBar_.GetPaneText(3), CString("555"));
  EXPECT_FALSE(statusBar_.SetPaneText(4, "none"));

  constexpr UINT kUnknown[] = {ID_SEPARATOR, 12345};
  EXPECT_FALSE(statusBar_.SetIndicators(kUnknown, 2)) << "an id that is no indicator";
  EXPECT_EQ(statusBar_.GetCount(), 4) << "the panes are kept";
}

TEST_F(ControlBarTest, KeyIndicatorsFollowTheKeysTogglesUnlessAHandlerAnswers) {
  CreateAll();
  KeyboardState keys{};
  keys[VK_CAPITAL] = 1;
  SetKeyboardState(keys);
  statusBar_.SendMessage(WM_IDLEUPDATECMDUI, 1);
  EXPECT_TRUE(Disabled(1)) << "KANA is off";
  EXPECT_FALSE(Disabled(2)) << "CAPS is toggled on";
  EXPECT_TRUE(Disabled(3));

  keybd_event(VK_NUMLOCK, 0, 0, 0);
  keybd_event(VK_NUMLOCK, 0, KEYEVENTF_KEYUP, 0);
  Pump();
  statusBar_.SendMessage(WM_IDLEUPDATECMDUI, 1);
  EXPECT_FALSE(Disabled(3)) << "NUM pressed once";

  CKanaFrame kanaFrame;
  ASSERT_TRUE(kanaFrame.CreateEx(0, nullptr, "", WS_VISIBLE, RECT{0, 0, kFrameWidth, kFrameHeight},
                                 nullptr, 0));
  CStatusBar bar;
  ASSERT_TRUE(bar.Create(&kanaFrame));
  constexpr UINT kKana[] = {ID_SEPARATOR, ID_INDICATOR_KANA};
  ASSERT_TRUE(bar.SetIndicators(kKana, 2));
  bar.SendMessage(WM_IDLEUPDATECMDUI, 1);
  EXPECT_EQ(bar.GetPaneStyle(1) & SBPS_DISABLED, 0u) << "the frame's handler decides";
  bar.DestroyWindow();
  kanaFrame.DestroyWindow();
}

TEST_F(ControlBarTest, PaneTextIsDrawnWhileTheIndicatorIsOn) {
  CreateAll();
  KeyboardState keys{};
  keys[VK_CAPITAL] = 1;
  SetKeyboardState(keys);
  statusBar_.SendMessage(WM_IDLEUPDATECMDUI, 1);
  statusBar_.SetPaneText(0, "A");
  Pump();
  RECT bar;
  GetWindowRect(statusBar_.m_hWnd, &bar);
  // Inside the first glyph of a pane: past the edge and the margin, a
  // pixel into the block, below three quarters of the ascent.
  const auto glyph = [this, &bar](int pane) {
    const RECT r = PaneRect(pane);
    constexpr int32_t kInto = 3;
    constexpr int32_t kBelow = 12;
    return Pixel(r.left + 1 + 2 + kInto, bar.top + r.top + 1 + 2 + kBelow);
  };
  const COLORREF text = GetSysColor(COLOR_BTNTEXT);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(glyph(2), text) << "CAP shown";
  EXPECT_EQ(glyph(3), face) << "NUM hidden";
  EXPECT_EQ(glyph(0), text) << "the program's text";
  const RECT caps = PaneRect(2);
  EXPECT_EQ(Pixel(caps.left, bar.top + caps.top), GetSysColor(COLOR_BTNSHADOW)) << "sunken pane";
  EXPECT_EQ(Pixel(caps.right - 1, bar.top + caps.bottom - 1), GetSysColor(COLOR_BTNHIGHLIGHT));
}

TEST_F(ControlBarTest, BarStateIsSavedAndLoadedInItsOwnFormat) {
  CreateAll();
  constexpr char kProfile[] = "Settings\\CtrlBar\\State";
  MemoryProfile profile;
  toolBar_.ShowWindow(SW_HIDE);
  ASSERT_TRUE(SaveBarState(&frame_, profile, kProfile));
  EXPECT_EQ(profile.values,
            (std::map<std::pair<std::string, std::string>, std::string>{
                {{kProfile, "Bar59392"}, "hidden,top"}, {{kProfile, "Bar59393"}, "shown,bottom"}}));

  profile.values[{kProfile, "Bar59392"}] = "shown,bottom";
  profile.values[{kProfile, "Bar59393"}] = "shown";
  LoadBarState(&frame_, profile, kProfile);
  EXPECT_TRUE(IsWindowVisible(toolBar_.m_hWnd));
  EXPECT_TRUE(toolBar_.IsAtBottom());
  EXPECT_TRUE(IsWindowVisible(statusBar_.m_hWnd)) << "a value that does not read changes nothing";
  EXPECT_TRUE(statusBar_.IsAtBottom());
  const RECT tool = WindowRectIn(frame_.m_hWnd, toolBar_.m_hWnd);
  EXPECT_EQ(tool.bottom, kFrameHeight) << "made first, placed first: along the edge itself";
  EXPECT_EQ(WindowRectIn(frame_.m_hWnd, statusBar_.m_hWnd).bottom, tool.top);

  for (const char* unreadable : {"", "hidden", "hidden,middle", "gone,top", "hidden,top,x"}) {
    profile.values[{kProfile, "Bar59392"}] = unreadable;
    LoadBarState(&frame_, profile, kProfile);
    EXPECT_TRUE(IsWindowVisible(toolBar_.m_hWnd)) << unreadable;
  }

  profile.values[{kProfile, "Bar59393"}] = "shown,left";
  LoadBarState(&frame_, profile, kProfile);
  EXPECT_TRUE(statusBar_.IsAtBottom()) << "a status bar keeps off the sides";
}

// A CFrameWnd with the fixture's bars, docked through the frame.
class DockingTest : public ControlBarTest {
 protected:
  ~DockingTest() override {
    toolBar_.DestroyWindow();
    statusBar_.DestroyWindow();
    if (dockFrame_ != nullptr) dockFrame_->DestroyWindow();
  }

  void CreateDockFrame(HMENU menu = kNoMenu) {
    dockFrame_ = new CFrameWnd;
    ASSERT_TRUE(
        dockFrame_->LoadFrame(FrameResources{menu, kNoAccelerators, "dock"}, WS_VISIBLE, nullptr));
    dockFrame_->EnableDocking(CBRS_ALIGN_ANY);
    ASSERT_TRUE(toolBar_.CreateEx(dockFrame_, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    ASSERT_TRUE(toolBar_.SetButtons(kToolbarIds, 4));
    toolBar_.EnableDocking(CBRS_ALIGN_ANY);
    ASSERT_TRUE(pane_.Create(nullptr, "", WS_VISIBLE, RECT{}, dockFrame_, AFX_IDW_PANE_FIRST));
  }
  RECT Client() const {
    RECT r;
    dockFrame_->GetClientRect(&r);
    return r;
  }
  RECT In(const CWnd& child) const { return WindowRectIn(dockFrame_->m_hWnd, child.m_hWnd); }
  // A pixel of the toolbar, at a point of its client area.
  COLORREF ToolBarPixel(int32_t x, int32_t y) const {
    const RECT bar = In(toolBar_);
    return GetPixel(GetWindowSurface(dockFrame_->m_hWnd), bar.left + x, bar.top + y);
  }

  static constexpr int32_t kToolHeight = CToolBar::kButtonHeight + 2 * CToolBar::kBorder;
  static constexpr int32_t kToolWidth = CToolBar::kButtonWidth + 2 * CToolBar::kBorder;
  CFrameWnd* dockFrame_ = nullptr;
  CWnd pane_;
};

TEST_F(DockingTest, ABarDockedAtEachEdgeTakesItsRoomFromThatEdge) {
  CreateDockFrame();
  const RECT c = Client();
  struct Case {
    DWORD edge;
    const char* name;
    RECT bar;
    RECT pane;
  };
  const Case cases[] = {
      {CBRS_ALIGN_TOP, "top", {0, 0, c.right, kToolHeight}, {0, kToolHeight, c.right, c.bottom}},
      {CBRS_ALIGN_BOTTOM,
       "bottom",
       {0, c.bottom - kToolHeight, c.right, c.bottom},
       {0, 0, c.right, c.bottom - kToolHeight}},
      {CBRS_ALIGN_LEFT, "left", {0, 0, kToolWidth, c.bottom}, {kToolWidth, 0, c.right, c.bottom}},
      {CBRS_ALIGN_RIGHT,
       "right",
       {c.right - kToolWidth, 0, c.right, c.bottom},
       {0, 0, c.right - kToolWidth, c.bottom}},
  };
  for (const Case& k : cases) {
    ASSERT_TRUE(dockFrame_->DockControlBar(&toolBar_, k.edge)) << k.name;
    EXPECT_EQ(toolBar_.GetEdge(), k.edge) << k.name;
    EXPECT_EQ(In(toolBar_), k.bar) << k.name;
    EXPECT_EQ(In(pane_), k.pane) << k.name;
  }
}

TEST_F(DockingTest, ASideBarLaysItsButtonsOutTopToBottom) {
  CreateDockFrame();
  ASSERT_TRUE(dockFrame_->DockControlBar(&toolBar_, CBRS_ALIGN_LEFT));
  constexpr int32_t kB = CToolBar::kBorder;
  constexpr int32_t kW = CToolBar::kButtonWidth;
  constexpr int32_t kH = CToolBar::kButtonHeight;
  constexpr int32_t kSep = CToolBar::kSeparatorWidth;
  EXPECT_EQ(ItemRect(0), (RECT{kB, kB, kB + kW, kB + kH}));
  EXPECT_EQ(ItemRect(1), (RECT{kB, kB + kH, kB + kW, kB + kH + kSep})) << "a level gap";
  EXPECT_EQ(ItemRect(2), (RECT{kB, kB + kH + kSep, kB + kW, kB + 2 * kH + kSep}));
  EXPECT_EQ(ItemRect(3), (RECT{kB, kB + 2 * kH + kSep, kB + kW, kB + 3 * kH + kSep}));

  Pump();
  const RECT gap = ItemRect(1);
  const int32_t middle = (gap.top + gap.bottom) / 2;
  const int32_t x = (gap.left + gap.right) / 2;
  EXPECT_EQ(ToolBarPixel(x, middle - 1), GetSysColor(COLOR_BTNSHADOW)) << "the groove runs across";
  EXPECT_EQ(ToolBarPixel(x, middle), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(ToolBarPixel(x, gap.top), GetSysColor(COLOR_BTNFACE));

  const RECT italic = ItemRect(2);
  toolBar_.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(italic.left + 1, italic.top + 1));
  toolBar_.SendMessage(WM_LBUTTONUP, 0, MakeLParam(italic.left + 1, italic.top + 1));
  EXPECT_EQ(toolBar_.GetButtonStyle(2) & TBBS_PRESSED, 0u);

  ASSERT_TRUE(dockFrame_->DockControlBar(&toolBar_, CBRS_ALIGN_TOP));
  EXPECT_EQ(ItemRect(1), (RECT{kB + kW, kB, kB + kW + kSep, kB + kH})) << "a row again";
}

TEST_F(DockingTest, BarsAtTheSidesAndEdgesShareTheRoomInTheOrderMade) {
  CreateDockFrame();
  CToolBar right;
  ASSERT_TRUE(right.CreateEx(dockFrame_, 0, WS_CHILD | WS_VISIBLE | CBRS_TOP, 7));
  right.EnableDocking(CBRS_ALIGN_ANY);
  ASSERT_TRUE(statusBar_.Create(dockFrame_));
  statusBar_.SetFont(font_.get());
  ASSERT_TRUE(dockFrame_->DockControlBar(&toolBar_, CBRS_ALIGN_LEFT));
  ASSERT_TRUE(dockFrame_->DockControlBar(&right, CBRS_ALIGN_RIGHT));
  const RECT c = Client();
  const int32_t statusTop = In(statusBar_).top;
  EXPECT_EQ(In(toolBar_), (RECT{0, 0, kToolWidth, c.bottom})) << "made first: the full height";
  EXPECT_EQ(In(right), (RECT{c.right - kToolWidth, 0, c.right, c.bottom}));
  EXPECT_EQ(In(statusBar_), (RECT{kToolWidth, statusTop, c.right - kToolWidth, c.bottom}))
      << "made last: between the side bars";
  EXPECT_EQ(In(pane_), (RECT{kToolWidth, 0, c.right - kToolWidth, statusTop}));
  right.DestroyWindow();
}

TEST_F(DockingTest, AnEdgeTheFrameOrTheBarDoesNotAllowIsRefused) {
  CreateDockFrame();
  ASSERT_TRUE(statusBar_.Create(dockFrame_));
  statusBar_.EnableDocking(CBRS_ALIGN_ANY);
  EXPECT_FALSE(dockFrame_->DockControlBar(&statusBar_, CBRS_ALIGN_LEFT)) << "panes go across";
  EXPECT_TRUE(statusBar_.IsAtBottom());
  statusBar_.SetBarStyle(CBRS_RIGHT);
  EXPECT_TRUE(statusBar_.IsAtBottom()) << "nor through its style";

  toolBar_.EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_RIGHT);
  EXPECT_FALSE(dockFrame_->DockControlBar(&toolBar_, CBRS_ALIGN_LEFT)) << "not the bar's";
  EXPECT_EQ(toolBar_.GetEdge(), CBRS_ALIGN_TOP);
  dockFrame_->EnableDocking(CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT | CBRS_ALIGN_BOTTOM);
  EXPECT_TRUE(dockFrame_->DockControlBar(&toolBar_)) << "the first edge both allow";
  EXPECT_EQ(toolBar_.GetEdge(), CBRS_ALIGN_RIGHT);
  EXPECT_EQ(toolBar_.GetBarStyle() & CBRS_BORDER_ANY, CBRS_BORDER_LEFT) << "the inner side";
  EXPECT_TRUE(dockFrame_->DockControlBar(&statusBar_)) << "past the sides it cannot take";
  EXPECT_TRUE(statusBar_.IsAtBottom());

  dockFrame_->EnableDocking(0);
  EXPECT_FALSE(dockFrame_->DockControlBar(&toolBar_, CBRS_ALIGN_TOP)) << "not the frame's";
  EXPECT_EQ(toolBar_.GetEdge(), CBRS_ALIGN_RIGHT);
}

TEST_F(DockingTest, SideEdgesAreSavedAndLoaded) {
  CreateDockFrame();
  ASSERT_TRUE(statusBar_.Create(dockFrame_));
  constexpr char kProfile[] = "Bars";
  MemoryProfile profile;
  ASSERT_TRUE(dockFrame_->DockControlBar(&toolBar_, CBRS_ALIGN_LEFT));
  ASSERT_TRUE(SaveBarState(dockFrame_, profile, kProfile));
  EXPECT_EQ(profile.values[std::make_pair(std::string(kProfile), std::string("Bar59392"))],
            "shown,left");

  ASSERT_TRUE(dockFrame_->DockControlBar(&toolBar_, CBRS_ALIGN_TOP));
  LoadBarState(dockFrame_, profile, kProfile);
  EXPECT_EQ(toolBar_.GetEdge(), CBRS_ALIGN_LEFT);
  EXPECT_EQ(In(toolBar_).Width(), kToolWidth) << "placed again";

  profile.values[{kProfile, "Bar59392"}] = "hidden,right";
  LoadBarState(dockFrame_, profile, kProfile);
  EXPECT_EQ(toolBar_.GetEdge(), CBRS_ALIGN_RIGHT);
  EXPECT_FALSE(IsWindowVisible(toolBar_.m_hWnd));
  ASSERT_TRUE(SaveBarState(dockFrame_, profile, kProfile));
  EXPECT_EQ(profile.values[std::make_pair(std::string(kProfile), std::string("Bar59392"))],
            "hidden,right");
}

TEST_F(DockingTest, TheViewGetsWhatTheMenuStripAndTheBarsLeaveAndFollowsAResize) {
  CMenu menu;
  ASSERT_TRUE(menu.CreateMenu());
  ASSERT_TRUE(menu.AppendMenu(MF_STRING, kBold, "&Bold"));
  CreateDockFrame(menu.m_hMenu);
  ASSERT_TRUE(statusBar_.Create(dockFrame_));
  statusBar_.SetFont(font_.get());
  ASSERT_TRUE(dockFrame_->DockControlBar(&toolBar_, CBRS_ALIGN_LEFT));
  const int32_t strip = MenuBarHeight(dockFrame_->m_hWnd);
  ASSERT_GT(strip, 0);
  // The synthetic em, the text margins, the pane edges and the bar border.
  constexpr int32_t kStatusHeight = kEm + 2 * (2 + 1 + 2);

  const auto expectLayout = [&](const char* when) {
    const RECT c = Client();
    EXPECT_EQ(In(toolBar_), (RECT{0, strip, kToolWidth, c.bottom})) << when;
    EXPECT_EQ(In(statusBar_), (RECT{kToolWidth, c.bottom - kStatusHeight, c.right, c.bottom}))
        << when;
    EXPECT_EQ(In(pane_), (RECT{kToolWidth, strip, c.right, c.bottom - kStatusHeight})) << when;
  };
  expectLayout("as docked");
  constexpr int32_t kSmaller = 200;
  RECT outer;
  GetWindowRect(dockFrame_->m_hWnd, &outer);
  ASSERT_TRUE(MoveWindow(dockFrame_->m_hWnd, outer.left, outer.top, outer.Width() - kSmaller,
                         outer.Height() - kSmaller, true));
  expectLayout("after a resize");
  EXPECT_EQ(In(pane_).right, Client().right);
}

TEST_F(ControlBarTest, AToolBarIsLoadedFromItsResource) {
  constexpr UINT kResourceId = 300;
  ResetToolBarResources();
  ASSERT_TRUE(RegisterToolBar(kResourceId, ToolBarResource{{kItalic, ID_SEPARATOR, kBold}}));
  CreateFrame();
  CreateToolBar();
  ASSERT_TRUE(toolBar_.LoadToolBar(kResourceId));
  ASSERT_EQ(toolBar_.GetCount(), 3);
  EXPECT_EQ(toolBar_.GetItemID(0), kItalic);
  EXPECT_EQ(toolBar_.GetButtonStyle(1), TBBS_SEPARATOR);
  EXPECT_EQ(toolBar_.CommandToIndex(kBold), 2);
  UINT id = 0;
  UINT style = 0;
  int image = 0;
  toolBar_.GetButtonInfo(2, &id, &style, &image);
  EXPECT_EQ(image, 1) << "images count the buttons";

  EXPECT_FALSE(toolBar_.LoadToolBar(kResourceId + 1));
  EXPECT_EQ(toolBar_.GetCount(), 3) << "the buttons stay";
  ResetToolBarResources();
}

}  // namespace
}  // namespace framework
