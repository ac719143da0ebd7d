// The two records the framework view hands its editing surface: how the
// pages are shown (view mode, zoom, colours) and how the input method's
// clauses look. Both are copied byte for byte, so their layouts are fixed.
#pragma once

#include <cstdint>

#include "platform/windef.h"

// Seven 32-bit ints (28 bytes).
struct EditSurfaceDisplayRecord {
  int32_t pageView = 1;  // nonzero: pages as sheets with a gap; 0: continuous
  int32_t zoom = 1;      // at least 1
  platform::COLORREF paperColour = 0;
  platform::COLORREF borderColour = 0;
  platform::COLORREF markColour = 0;  // corner marks and the page-boundary line
  platform::COLORREF shadowColour = 0;
  platform::COLORREF deskColour = 0;
};
static_assert(sizeof(EditSurfaceDisplayRecord) == 28);

// The record with the system's colours: window paper, dark border and
// shadow, light marks, the application workspace as the desk.
EditSurfaceDisplayRecord DefaultDisplayRecord();

// How the input method shows one kind of clause.
struct ImeClauseStyle {
  platform::COLORREF text = 0;
  platform::COLORREF background = 0;
  int32_t underline = 0;
};
static_assert(sizeof(ImeClauseStyle) == 12);

// The input method's attributes, in the order of the clause styles.
enum ImeClauseAttribute : int {
  kClauseInput = 0,
  kClauseTargetConverted = 1,
  kClauseConverted = 2,
  kClauseTargetNotConverted = 3,
  kClauseAttributeCount = 4,
};

inline constexpr platform::COLORREF kClauseBlue = 0xFF0000;
inline constexpr platform::COLORREF kClauseWhite = 0xFFFFFF;
inline constexpr platform::COLORREF kClauseBlack = 0x000000;
inline constexpr platform::COLORREF kClauseCyan = 0xFFFF00;

// 56 bytes: the close-after-composition option, the four clause styles,
// the Enter option and three spare bytes.
struct EditSurfaceStyleBlock {
  int32_t closeImeAfterComposition = 0;
  ImeClauseStyle clauses[kClauseAttributeCount] = {
      {kClauseBlue, kClauseWhite, 0},
      {kClauseBlack, kClauseCyan, 0},
      {kClauseBlue, kClauseWhite, 0},
      {kClauseWhite, kClauseBlue, 0},
  };
  uint8_t enterOption = 0;
  uint8_t spare[3] = {};
};
static_assert(sizeof(EditSurfaceStyleBlock) == 56);
