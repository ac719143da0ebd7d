// A corner box of the framework view: a disabled child in the button-face
// colour that fills a square where a ruler and a scroll bar meet, plain
// or with a sunken bevel.
#pragma once

#include <cstdint>

#include "framework/wnd.h"
#include "views/child_anchor.h"

inline constexpr char kBoxWindowClass[] = "EdwB";

class CBoxWnd : public framework::CWnd {
  DECLARE_DYNAMIC(CBoxWnd)
  DECLARE_MESSAGE_MAP()

 public:
  // Registers the class and makes the box in `parent` with its anchor's
  // size; 0 when the class or the window cannot be made, else 1.
  int CreateBoxWindow(framework::CWnd* parent, int32_t width, int32_t height);

  ChildAnchor& Anchor() { return anchor_; }
  const ChildAnchor& Anchor() const { return anchor_; }
  // Pixels between the edge and the bevel; 0 paints the box plain.
  void SetBevelInset(int32_t inset) { bevelInset_ = inset; }
  int32_t BevelInset() const { return bevelInset_; }

 private:
  bool OnEraseBkgnd(framework::CDC* dc);
  void DrawBevel(framework::CDC& dc) const;

  ChildAnchor anchor_;
  int32_t bevelInset_ = 0;
};
