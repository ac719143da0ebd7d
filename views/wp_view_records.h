// The records the framework view keeps and hands on: the engine's colour
// record (24 bytes) and display options, the speech options, and what the
// application view gives and takes back when it changes the view's
// colours or options. The engine and the editing surface copy them byte
// for byte, so their layouts are fixed.
#pragma once

#include <cstdint>

#include "engine/wp_ctrl.h"
#include "platform/windef.h"
#include "speech/edit_feedback.h"
#include "views/edit_surface_records.h"

static_assert(sizeof(ColourRecord) == 24);
static_assert(sizeof(SpeechOptions) == 12);

// The view's colour record before any settings: the system's window and
// text colours, the light 3-D colour, zoom 1, the display bytes 0, 0, 1
// and layout flag 0.
ColourRecord DefaultViewColours();
// Option bytes 1, 0, 1, 0, 0 and a page-jump step of 5.
DisplayOptionsRecord DefaultViewDisplayOptions();

// The layout flag of the colour record (the engine's screen suppression
// of page numbers): 0 only for page view at zoom 1 or less.
int32_t LayoutFlagFor(int32_t pageView, int32_t zoom);

// What ApplyColours takes and SaveDisplayState gives: the colour record
// followed by the editing surface's four frame colours.
struct ViewColourSet {
  ColourRecord colours;
  platform::COLORREF pageBorder = 0;
  platform::COLORREF marks = 0;  // corner marks and the page boundary
  platform::COLORREF shadow = 0;
  platform::COLORREF desk = 0;
};
static_assert(sizeof(ViewColourSet) == 40);

// The rulers' text and background colours.
struct RulerColourPair {
  platform::COLORREF text = 0;
  platform::COLORREF background = 0;
};
static_assert(sizeof(RulerColourPair) == 8);

// What ApplyDisplayOptions takes: the engine's display options followed by
// the editing surface's Enter option and the reconversion option.
struct ViewDisplayOptions {
  DisplayOptionsRecord options;
  uint8_t enterOption = 0;
  uint8_t reconversion = 1;  // 0: the engine's reconversion requests are refused
};
static_assert(sizeof(ViewDisplayOptions) == 10);
