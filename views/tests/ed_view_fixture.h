// An editing surface in a host window showing a real engine document of
// two pages (a full page of twenty lines and a second of five) over the
// synthetic fixed-pitch face on the 96-dpi screen, with the colours told
// apart: white paper, black text, and a colour of its own for each part
// of the page frame.
//
// The numbers the tests expect, at zoom 1: the paper is 794 by 1123
// pixels, the page gap 19 (a slot of 1142), the shadow 2 and the corner
// marks 23 pixels, the text area's top-left corner (76, 113); a full page
// uses 467 pixels of continuous view, the second 117.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/tests/wp_ctrl_fixture.h"
#include "framework/wnd.h"
#include "platform/gdi.h"
#include "platform/paint.h"
#include "platform/window.h"
#include "views/ed_view.h"

namespace views_test {

using platform::COLORREF;
using platform::RECT;

inline constexpr int32_t kDpi = 96;
inline constexpr int32_t kTwipsPerPixel = 15;
inline constexpr int32_t kSurfacePages = 2;
inline constexpr int32_t kSecondPageLines = 5;

inline constexpr COLORREF kPaper = 0xFFFFFF;
inline constexpr COLORREF kText = 0x000000;
inline constexpr COLORREF kBorder = 0x0000C0;
inline constexpr COLORREF kMarks = 0x00C000;
inline constexpr COLORREF kShadow = 0x404040;
inline constexpr COLORREF kDesk = 0xC08080;

inline constexpr int32_t kPaperWidth = 794;
inline constexpr int32_t kPaperHeight = 1123;
inline constexpr int32_t kGap = 19;
inline constexpr int32_t kShadowSize = 2;
inline constexpr int32_t kMarkLength = 23;
inline constexpr int32_t kTextLeft = 76;
inline constexpr int32_t kTextTop = 113;
inline constexpr int32_t kFullPageUsed = 467;
// At zoom 2 the text area's corner, each rounded on its own.
inline constexpr int32_t kTextLeftZoom2 = 151;
inline constexpr int32_t kTextTopZoom2 = 227;

inline constexpr char kHostClass[] = "EdViewTestHost";

inline platform::LRESULT HostProc(platform::HWND window, platform::UINT message,
                                  platform::WPARAM wParam, platform::LPARAM lParam) {
  return platform::DefWindowProc(window, message, wParam, lParam);
}

class EdViewTest : public doc_root_test::WpCtrlFixture {
 public:
  COLORREF PixelAt(int32_t x, int32_t y) const { return Pixel(x, y); }

 protected:
  EdViewTest() {
    const std::string wide = "\x82\xA0";  // あ
    std::string text;
    const int lines = doc_root_test::kStyleLinesPerPage + kSecondPageLines;
    for (int i = 0; i < lines * doc_root_test::kStyleCharsPerLine; ++i) text += wide;
    Type(text.c_str());
    engine.EditCommand(WPC_MOVE, kMoveDocumentStart, 0);
    EXPECT_EQ(engine.EditCommand(WPC_GET_PAGE_COUNT, 0, 0), kSurfacePages);
    platform::WNDCLASS host;
    host.lpfnWndProc = HostProc;
    host.lpszClassName = kHostClass;
    platform::RegisterClass(host);
    host_ = platform::CreateWindowEx(0, kHostClass, "",
                                     platform::WS_VISIBLE | platform::WS_CLIPCHILDREN, 0, 0, 1000,
                                     1400, platform::kNoWindow, 0, nullptr);
    SetEngineZoom(1);
  }
  ~EdViewTest() override {
    platform::DestroyWindow(host_);
    framework::CWnd::DeleteTempMap();
  }

  // The engine draws black on white at the zoom (the framework view's
  // colour record).
  void SetEngineZoom(int32_t zoom) {
    ColourRecord colours;
    engine.DisplayCommand(WPC_GET_COLOURS, 0, &colours);
    colours.display.background = kPaper;
    colours.display.text = kText;
    colours.display.zoom = static_cast<uint8_t>(zoom);
    engine.DisplayCommand(WPC_SET_COLOURS, 0, &colours);
  }

  static EditSurfaceDisplayRecord Display(int32_t pageView, int32_t zoom) {
    return {pageView, zoom, kPaper, kBorder, kMarks, kShadow, kDesk};
  }

  // A surface of the client size, attached, painted.
  CVedEdView& Surface(int32_t pageView, int32_t zoom, int32_t width, int32_t height) {
    SetEngineZoom(zoom);
    view_ = new CVedEdView;
    EXPECT_EQ(view_->CreateEditSurfaceWindow(framework::CWnd::FromHandle(host_)), 1);
    view_->SetDisplayRecord(Display(pageView, zoom));
    platform::MoveWindow(view_->m_hWnd, 0, 0, width, height, false);
    view_->AttachEngine(&engine, nullptr);
    PaintAll();
    return *view_;
  }

  static void Pump() {
    platform::MSG msg;
    while (platform::PeekMessage(&msg, platform::kNoWindow, 0, 0, platform::PM_REMOVE)) {
      platform::DispatchMessage(&msg);
    }
  }
  void PaintAll() {
    platform::InvalidateRect(view_->m_hWnd, nullptr, false);
    Pump();
  }

  COLORREF Pixel(int32_t x, int32_t y) const {
    return platform::GetPixel(platform::GetWindowSurface(host_), x, y);
  }

  // The engine's own painting of a whole page, on paper of its own.
  platform::UniqueDC ReferencePage(int32_t page, int32_t zoom) {
    SetEngineZoom(zoom);
    platform::UniqueDC dc =
        platform::CreateImageDC(kPaperWidth * zoom + 1, kPaperHeight * zoom + 1, kDpi, kDpi);
    CaretPoint whole{{0, 0, 2100 * 1440 / 254, 2970 * 1440 / 254}, page};
    engine.DisplayCommand(WPC_PAINT_PAGE, reinterpret_cast<intptr_t>(dc.get()), &whole);
    engine.DisplayCommand(WPC_RESET_REPAINT_STATE, 0, nullptr);
    return dc;
  }

  // Every seventh pixel of the surface, row by row.
  std::vector<COLORREF> Samples() const {
    std::vector<COLORREF> samples;
    RECT client;
    platform::GetClientRect(view_->m_hWnd, &client);
    for (int32_t y = 0; y < client.bottom; y += 7) {
      for (int32_t x = 0; x < client.right; x += 7) samples.push_back(Pixel(x, y));
    }
    return samples;
  }

  CaretPoint Caret() {
    CaretPoint caret;
    engine.EditCommand(WPC_GET_CARET_RECT, 0, reinterpret_cast<intptr_t>(&caret));
    return caret;
  }

  platform::HWND host_ = platform::kNoWindow;
  CVedEdView* view_ = nullptr;  // deletes itself with its window
};

}  // namespace views_test
