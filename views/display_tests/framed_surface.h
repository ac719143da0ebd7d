// An editing surface filling a top-level frame of its own over an engine
// document, as the program shows one: the frame hands the engine's caret
// and content reports to the surface, passes the focus on to it and keeps
// it the size of its client area. On a real display the frame is a real
// window; the program's loop (Run) lets the surface see its keys first.
#pragma once

#include <cstdint>

#include "engine/notifier.h"
#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "framework/wnd.h"
#include "platform/input.h"
#include "platform/window.h"
#include "platform/window_message.h"
#include "views/ed_view.h"

namespace views_display {

inline constexpr char kFrameClass[] = "LexoraSurfaceFrame";
inline constexpr platform::COLORREF kPaper = 0xFFFFFF;
inline constexpr platform::COLORREF kInk = 0x000000;
// The display record's view mode with the pages as sheets.
inline constexpr int32_t kPageView = 1;

class FramedSurface {
 public:
  // The engine reports to the frame from now on; the frame is `rect` on
  // the screen, titled `title`.
  FramedSurface(CVedWpCtrl& engine, const platform::RECT& rect, const char* title) {
    platform::WNDCLASS frameClass;
    frameClass.lpfnWndProc = FrameProc;
    frameClass.lpszClassName = kFrameClass;
    platform::RegisterClass(frameClass);
    ColourRecord colours;
    engine.DisplayCommand(WPC_GET_COLOURS, 0, &colours);
    colours.display.background = kPaper;
    colours.display.text = kInk;
    colours.display.zoom = 1;
    engine.DisplayCommand(WPC_SET_COLOURS, 0, &colours);
    frame_ = platform::CreateWindowEx(
        0, kFrameClass, title, platform::WS_VISIBLE | platform::WS_CLIPCHILDREN, rect.left,
        rect.top, rect.Width(), rect.Height(), platform::kNoWindow, 0, nullptr);
    // The surface goes with its window.
    auto* view = new CVedEdView;
    view->CreateEditSurfaceWindow(framework::CWnd::FromHandle(frame_));
    EditSurfaceDisplayRecord display = DefaultDisplayRecord();
    display.pageView = kPageView;
    display.paperColour = kPaper;
    view->SetDisplayRecord(display);
    platform::MoveWindow(view->m_hWnd, 0, 0, rect.Width(), rect.Height(), false);
    Current() = view;
    engine.NotifyCommand(WPC_SET_NOTIFY_WINDOW, frame_);
    engine.NotifyCommand(WPC_SET_NOTIFY_MASK, -1);
    view->AttachEngine(&engine, nullptr);
  }
  ~FramedSurface() {
    if (platform::IsWindow(frame_)) platform::DestroyWindow(frame_);
    Current() = nullptr;
    framework::CWnd::DeleteTempMap();
  }
  FramedSurface(const FramedSurface&) = delete;
  FramedSurface& operator=(const FramedSurface&) = delete;

  platform::HWND frame() const { return frame_; }
  // Null once the frame is closed.
  CVedEdView* view() const { return Current(); }

  // Handles what waits as the program's loop does: the surface sees its
  // keys before they are translated.
  static void Run() {
    platform::MSG msg;
    while (platform::PeekMessage(&msg, platform::kNoWindow, 0, 0, platform::PM_REMOVE)) {
      if (!framework::WalkPreTranslateTree(platform::kNoWindow, &msg)) {
        platform::TranslateMessage(&msg);
        platform::DispatchMessage(&msg);
      }
    }
  }

 private:
  // One framed surface at a time; the frame's procedure reaches it here.
  static CVedEdView*& Current() {
    static CVedEdView* current = nullptr;
    return current;
  }

  static platform::LRESULT FrameProc(platform::HWND window, platform::UINT message,
                                     platform::WPARAM wParam, platform::LPARAM lParam) {
    CVedEdView* view = Current();
    if (view != nullptr) {
      switch (message) {
        case WM_WPC_CARETMOVED:
          view->OnCaretMoved(static_cast<int>(wParam), reinterpret_cast<const CaretPoint*>(lParam));
          return 0;
        case WM_WPC_CONTENTCHANGED:
          view->OnContentChanged(reinterpret_cast<const CaretPoint*>(lParam));
          return 0;
        case platform::WM_SETFOCUS:
          platform::SetFocus(view->m_hWnd);
          return 0;
        case platform::WM_SIZE:
          platform::MoveWindow(view->m_hWnd, 0, 0, platform::LowWord(lParam),
                               platform::HighWord(lParam), true);
          return 0;
        case platform::WM_DESTROY:
          // The surface goes with its window, a child of this one.
          Current() = nullptr;
          break;
        default:
          break;
      }
    }
    return platform::DefWindowProc(window, message, wParam, lParam);
  }

  platform::HWND frame_ = platform::kNoWindow;
};

}  // namespace views_display
