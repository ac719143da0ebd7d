// Device-context objects over platform HDCs: CDC wraps a DC it may or may
// not own, CPaintDC pairs BeginPaint with EndPaint for its lifetime,
// CClientDC pairs GetDC with ReleaseDC.
#pragma once

#include <cstdint>

#include "platform/gdi.h"
#include "platform/paint.h"

namespace framework {

using platform::COLORREF;
using platform::HDC;
using platform::POINT;
using platform::RECT;

class CFont;
class CWnd;

class CDC {
 public:
  CDC() = default;
  // Wraps a DC without taking it over.
  explicit CDC(HDC dc) : m_hDC(dc) {}
  virtual ~CDC() = default;
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  // False when this object already holds a DC or `dc` is none.
  bool Attach(HDC dc);
  HDC Detach();
  HDC GetSafeHdc() const { return m_hDC; }
  operator HDC() const { return m_hDC; }  // NOLINT: implicit by design

  // Answers the font selected before.
  platform::HFONT SelectObject(CFont* font);
  platform::HFONT SelectObject(platform::HFONT font);
  COLORREF SetTextColor(COLORREF colour);
  COLORREF SetBkColor(COLORREF colour);
  int SetBkMode(int mode);
  uint32_t SetTextAlign(uint32_t align);

  // `count` bytes of CP932 text; -1: up to the NUL.
  bool TextOut(int32_t x, int32_t y, const char* text, int32_t count = -1);
  bool ExtTextOut(int32_t x, int32_t y, uint32_t options, const RECT* clip, const char* text,
                  int32_t count, const int32_t* dx);
  bool GetTextMetrics(platform::TEXTMETRICA* metrics) const;
  // The width and height of `count` bytes (-1: up to the NUL); 0 by 0
  // without a font.
  platform::SIZE GetTextExtent(const char* text, int32_t count = -1) const;
  // Answers the height of the lines drawn.
  int DrawText(const char* text, int32_t count, const RECT* rect, uint32_t format);
  // Answers the previous extra.
  int SetTextCharacterExtra(int extra);

  void FillSolidRect(const RECT& rect, COLORREF colour);
  bool FillRect(const RECT& rect, platform::HBRUSH brush);
  bool FrameRect(const RECT& rect, platform::HBRUSH brush);
  bool InvertRect(const RECT& rect);
  bool MoveTo(int32_t x, int32_t y);
  bool LineTo(int32_t x, int32_t y);
  bool BitBlt(int32_t x, int32_t y, int32_t width, int32_t height, CDC* source, int32_t sourceX,
              int32_t sourceY, uint32_t rop);

  int SaveDC();
  bool RestoreDC(int saved);
  POINT SetWindowOrg(int32_t x, int32_t y);
  POINT SetViewportOrg(int32_t x, int32_t y);
  int IntersectClipRect(const RECT& rect);
  int GetClipBox(RECT* box) const;
  int32_t GetDeviceCaps(int index) const;

  HDC m_hDC = nullptr;
};

class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* window);
  ~CPaintDC() override;

  platform::PAINTSTRUCT m_ps;

 private:
  platform::HWND m_hWnd;
};

class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* window);
  ~CClientDC() override;

 private:
  platform::HWND m_hWnd;
};

}  // namespace framework
