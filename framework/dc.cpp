#include "framework/dc.h"

#include <cstring>

#include "framework/font.h"
#include "framework/wnd.h"

namespace framework {

bool CDC::Attach(HDC dc) {
  if (m_hDC != nullptr || dc == nullptr) return false;
  m_hDC = dc;
  return true;
}

HDC CDC::Detach() {
  HDC dc = m_hDC;
  m_hDC = nullptr;
  return dc;
}

platform::HFONT CDC::SelectObject(CFont* font) {
  return platform::SelectObject(m_hDC, font != nullptr ? font->GetSafeHandle() : nullptr);
}

platform::HFONT CDC::SelectObject(platform::HFONT font) {
  return platform::SelectObject(m_hDC, font);
}

COLORREF CDC::SetTextColor(COLORREF colour) { return platform::SetTextColor(m_hDC, colour); }
COLORREF CDC::SetBkColor(COLORREF colour) { return platform::SetBkColor(m_hDC, colour); }
int CDC::SetBkMode(int mode) { return platform::SetBkMode(m_hDC, mode); }
uint32_t CDC::SetTextAlign(uint32_t align) { return platform::SetTextAlign(m_hDC, align); }

bool CDC::TextOut(int32_t x, int32_t y, const char* text, int32_t count) {
  if (count < 0) count = static_cast<int32_t>(std::strlen(text));
  return platform::ExtTextOutA(m_hDC, x, y, 0, nullptr, text, count, nullptr);
}

bool CDC::ExtTextOut(int32_t x, int32_t y, uint32_t options, const RECT* clip, const char* text,
                     int32_t count, const int32_t* dx) {
  return platform::ExtTextOutA(m_hDC, x, y, options, clip, text, count, dx);
}

bool CDC::GetTextMetrics(platform::TEXTMETRICA* metrics) const {
  return platform::GetTextMetricsA(m_hDC, metrics);
}

platform::SIZE CDC::GetTextExtent(const char* text, int32_t count) const {
  if (count < 0) count = static_cast<int32_t>(std::strlen(text));
  platform::SIZE size;
  if (!platform::GetTextExtentPoint32A(m_hDC, text, count, &size)) return platform::SIZE{};
  return size;
}

int CDC::DrawText(const char* text, int32_t count, const RECT* rect, uint32_t format) {
  return platform::DrawTextA(m_hDC, text, count, rect, format);
}

int CDC::SetTextCharacterExtra(int extra) { return platform::SetTextCharacterExtra(m_hDC, extra); }

void CDC::FillSolidRect(const RECT& rect, COLORREF colour) {
  const platform::UniqueBrush brush = platform::CreateSolidBrush(colour);
  platform::FillRect(m_hDC, rect, brush.get());
}

bool CDC::FillRect(const RECT& rect, platform::HBRUSH brush) {
  return platform::FillRect(m_hDC, rect, brush);
}
bool CDC::FrameRect(const RECT& rect, platform::HBRUSH brush) {
  return platform::FrameRect(m_hDC, rect, brush);
}
bool CDC::InvertRect(const RECT& rect) { return platform::InvertRect(m_hDC, rect); }
bool CDC::MoveTo(int32_t x, int32_t y) { return platform::MoveToEx(m_hDC, x, y, nullptr); }
bool CDC::LineTo(int32_t x, int32_t y) { return platform::LineTo(m_hDC, x, y); }

bool CDC::BitBlt(int32_t x, int32_t y, int32_t width, int32_t height, CDC* source, int32_t sourceX,
                 int32_t sourceY, uint32_t rop) {
  return platform::BitBlt(m_hDC, x, y, width, height, source != nullptr ? source->m_hDC : nullptr,
                          sourceX, sourceY, rop);
}

int CDC::SaveDC() { return platform::SaveDC(m_hDC); }
bool CDC::RestoreDC(int saved) { return platform::RestoreDC(m_hDC, saved); }

POINT CDC::SetWindowOrg(int32_t x, int32_t y) {
  POINT previous;
  platform::SetWindowOrgEx(m_hDC, x, y, &previous);
  return previous;
}

POINT CDC::SetViewportOrg(int32_t x, int32_t y) {
  POINT previous;
  platform::SetViewportOrgEx(m_hDC, x, y, &previous);
  return previous;
}

int CDC::IntersectClipRect(const RECT& rect) {
  return platform::IntersectClipRect(m_hDC, rect.left, rect.top, rect.right, rect.bottom);
}
int CDC::GetClipBox(RECT* box) const { return platform::GetClipBox(m_hDC, box); }
int32_t CDC::GetDeviceCaps(int index) const { return platform::GetDeviceCaps(m_hDC, index); }

CPaintDC::CPaintDC(CWnd* window) : m_hWnd(window->GetSafeHwnd()) {
  Attach(platform::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC() {
  platform::EndPaint(m_hWnd, &m_ps);
  Detach();
}

CClientDC::CClientDC(CWnd* window) : m_hWnd(window->GetSafeHwnd()) {
  Attach(platform::GetDC(m_hWnd));
}

CClientDC::~CClientDC() { platform::ReleaseDC(m_hWnd, Detach()); }

}  // namespace framework
