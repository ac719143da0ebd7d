// Draws a message box in the system colours: the face, the icon as a
// simple mark (a disc or a triangle with a sign on it), the text lines and
// the push buttons, the current one framed as the default. The DC has the
// box's font selected. Internal to the message box.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/gdi.h"
#include "platform/message_box_layout.h"

namespace platform {

// Whether the type's icon bits name an icon the box draws.
bool HasIconMark(UINT type);

class MessageBoxPainter {
 public:
  MessageBoxPainter(HDC dc, const MessageBoxLayout& layout,
                    const std::vector<MessageBoxButton>& buttons, UINT type, size_t current)
      : dc_(dc), layout_(layout), buttons_(buttons), type_(type), current_(current) {}

  void Paint() const;

 private:
  void PaintIcon() const;
  void PaintText() const;
  void PaintButton(size_t index) const;
  void PaintButtonText(const RECT& rect, const char* text) const;
  void PaintSides(const RECT& rect, int topLeft, int bottomRight) const;
  void Fill(const RECT& rect, int colour) const;

  HDC dc_;
  const MessageBoxLayout& layout_;
  const std::vector<MessageBoxButton>& buttons_;
  UINT type_;
  size_t current_;
};

}  // namespace platform
