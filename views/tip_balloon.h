// The balloon tip: a small borderless popup shaped like a speech balloon
// whose pointer points left, showing a text of one or more lines. The
// framework view shows it below the caret, moves it with the caret and
// hides it on focus loss and before scrolling. It never takes the focus
// or the activation, and it stays wholly on the screen.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "framework/cstring.h"
#include "framework/font.h"
#include "framework/wnd.h"
#include "platform/gdi.h"
#include "platform/texts.h"

inline constexpr size_t kTipFaceBytes = 32;
using TipFace = std::array<char, kTipFaceBytes>;

// The name's bytes, cut to leave room for the NUL.
constexpr TipFace TipFaceOf(const char* name) {
  TipFace face{};
  for (size_t i = 0; i + 1 < face.size() && name != nullptr && name[i] != '\0'; ++i) {
    face[i] = name[i];
  }
  return face;
}

struct TipStyle {
  platform::COLORREF textColour = 0x000000;
  platform::COLORREF backColour = 0x80FFFF;  // light yellow
  platform::COLORREF borderColour = 0x000000;
  TipFace face = TipFaceOf(platform::kFaceMsGothic);
  int32_t pointTenths = 90;
};

class CTipBalloonWnd : public framework::CWnd {
  DECLARE_DYNAMIC(CTipBalloonWnd)
  DECLARE_MESSAGE_MAP()

 public:
  CTipBalloonWnd() = default;
  ~CTipBalloonWnd() override;

  // Takes the style, builds the font, measures the text (lines split at
  // line feeds) and makes the hidden popup, owned by `parent`'s window and
  // sized to the text with room for the pointer and the rim. 1 on success;
  // 0 with the style back at its defaults when the text measures nothing
  // or the window cannot be made. A tip shown already is replaced.
  int Create(framework::CWnd* parent, const char* text, platform::COLORREF textColour,
             platform::COLORREF backColour, platform::COLORREF borderColour, const char* face,
             int32_t pointTenths);
  // Moves the tip to a screen point, pulled back onto the screen, and
  // shows it when hidden; neither activates it nor resizes it.
  void ShowAt(int32_t x, int32_t y);
  void Hide();
  // The style back to its defaults and the window destroyed.
  void Reset();

  const TipStyle& Style() const { return style_; }
  const framework::CString& Text() const { return text_; }

 protected:
  platform::LRESULT WindowProc(platform::UINT message, platform::WPARAM wParam,
                               platform::LPARAM lParam) override;

 private:
  int OnCreate(const platform::CREATESTRUCT* cs);
  void OnPaint();
  // The widest line and the sum of the lines' heights.
  platform::SIZE MeasureText();
  // The body and the pointer for the client rectangle, and their union;
  // false when a region cannot be made.
  bool BuildShape(const platform::RECT& client);
  void ResetStyle();
  void DropShape();

  TipStyle style_;
  framework::CFont font_;
  framework::CString text_;
  platform::UniqueRegion body_;
  platform::UniqueRegion pointer_;
  platform::UniqueRegion shape_;
};
