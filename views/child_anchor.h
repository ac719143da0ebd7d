// Where a child window of the framework view sits: a fixed size or a
// stretch in each direction, one of nine places along the view's edges
// and corners, and insets that keep the stretched children clear of
// their neighbours. On every size change the view places each child by
// its record.
#pragma once

#include <cstdint>

#include "platform/windef.h"
#include "platform/window_message.h"

// The places a child can take in its view.
enum AnchorType : int {
  kAnchorFill = 0,         // the inset corner, stretched: the editing surface
  kAnchorLeftStrip = 1,    // the left edge below the inset top: the vertical ruler
  kAnchorRightStrip = 2,   // the right edge below the inset top: the vertical scroll bar
  kAnchorTopStrip = 3,     // the top edge right of the inset left: the horizontal ruler
  kAnchorBottomStrip = 4,  // the bottom edge right of the inset left: the horizontal scroll bar
  kAnchorTopLeft = 5,      // the corner boxes
  kAnchorBottomLeft = 6,
  kAnchorTopRight = 7,
  kAnchorBottomRight = 8,
};

// A width or height of 0 stretches the child to the inset edge.
inline constexpr int32_t kAnchorStretch = 0;
inline constexpr int32_t kAnchorSizeUnset = -1;

struct ChildAnchor {
  int32_t width = kAnchorSizeUnset;
  int32_t height = kAnchorSizeUnset;
  int type = kAnchorFill;
  // Left and top from the view's left and top edges; right and bottom 0
  // or negative, from its right and bottom edges.
  platform::RECT inset{};
  // Where the child was last put, in the view's client coordinates.
  platform::RECT placed{};
  platform::HWND window = platform::kNoWindow;
  platform::HWND parent = platform::kNoWindow;

  // Moves the child to its place in a view of the size; nothing without a
  // window or parent, or for a view with no width or no height.
  void ApplyAnchor(int32_t viewWidth, int32_t viewHeight);
  void SetAnchor(int anchorType, const platform::RECT& anchorInset);
  void GetAnchorSize(int32_t* outWidth, int32_t* outHeight) const;
  // A view point inside the child becomes a point of the child's own;
  // nonzero when it was inside (a point outside is left as it was).
  int PointToChild(platform::POINT* point) const;
};
