// Mouse cursors: the system's standard shapes, shapes made from masks,
// and the one cursor the display shows, handed to the display back end
// whenever it changes.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/module.h"
#include "platform/window.h"

namespace platform {

// The standard shapes; each one's handle is its id.
inline constexpr HCURSOR IDC_ARROW = 32512;
inline constexpr HCURSOR IDC_IBEAM = 32513;
inline constexpr HCURSOR IDC_WAIT = 32514;
inline constexpr HCURSOR IDC_CROSS = 32515;
inline constexpr HCURSOR IDC_UPARROW = 32516;
inline constexpr HCURSOR IDC_SIZENWSE = 32642;
inline constexpr HCURSOR IDC_SIZENESW = 32643;
inline constexpr HCURSOR IDC_SIZEWE = 32644;
inline constexpr HCURSOR IDC_SIZENS = 32645;
inline constexpr HCURSOR IDC_SIZEALL = 32646;
inline constexpr HCURSOR IDC_NO = 32648;
inline constexpr HCURSOR IDC_HAND = 32649;
inline constexpr HCURSOR IDC_APPSTARTING = 32650;

// A standard shape needs no instance; there are no cursor resources, so
// any other request answers 0.
HCURSOR LoadCursor(HMODULE instance, HCURSOR id);

// A monochrome shape: rows of WORD-aligned bits, leftmost pixel in the
// high bit, the AND mask then the XOR mask. 0 for a size that is not
// positive, a hot spot outside it or a missing mask.
HCURSOR CreateCursor(HMODULE instance, int32_t hotX, int32_t hotY, int32_t width, int32_t height,
                     const void* andMask, const void* xorMask);
// False for a standard shape or one not made.
bool DestroyCursor(HCURSOR cursor);

struct CursorShape {
  POINT hotSpot{};
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> andMask;
  std::vector<uint8_t> xorMask;
};
// The masks of a made cursor; nullopt for a standard shape or none.
std::optional<CursorShape> GetCursorShape(HCURSOR cursor);

// Shows the cursor (0 hides it) and answers the one shown before.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();

// Forgets made cursors and shows none; for tests.
void ResetCursors();

}  // namespace platform
