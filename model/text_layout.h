// The drawing part of a text engine: turns composed lines into background
// runs, text runs with per-character spacing and decoration runs, and
// hands them to the renderer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/doc_object.h"
#include "model/draw_device.h"
#include "model/text_formats.h"
#include "model/text_navigator.h"
#include "model/text_store.h"

class CDocRenderer;

// Drawing modes of a text run.
inline constexpr int kRunNormal = 0;
inline constexpr int kRunShadowPass = 1;
inline constexpr int kRunHollow = 2;

// Indent marks drawn after a line's runs.
inline constexpr int kMarkFirstLineIndent = 1;
inline constexpr int kMarkRightIndent = 2;
inline constexpr int kMarkAlignment = 3;

class CTextLayout : public CTextStore {
 public:
  int Init(CDocRenderer* renderer, CTextNavigator* navigator, CTextFormats* formats);
  bool IsReady() const { return renderer_ != nullptr && navigator_ != nullptr; }

  // Draws every line from the line of `from` to the line of `to` with its
  // top at y; answers the height used.
  int DrawRange(const TextNodes& from, const TextNodes& to, int32_t x, int32_t y, DrawResult* out);
  void DrawBackgrounds(const TextNodes& line, int32_t x, int32_t y);
  void DrawTextRuns(const TextNodes& line, int32_t x, int32_t y);
  void DrawDecorations(const TextNodes& line, int32_t x, int32_t y);
  // The vertical offset of a run in its line for a placement code.
  static int32_t RunBaseline(const LineInfo& line, int placement, int32_t metric1, int32_t metric2);

 private:
  // A font's metrics as drawing needs them, looked up once per font id.
  struct RunFont {
    int32_t id = -2;
    int32_t metric1 = 0;
    int32_t metric2 = 0;
    int32_t size = 0;    // tenths of a point
    int32_t height = 0;  // line height, twips
  };

  // A cell with the x it is drawn at.
  struct PlacedCell {
    NodeHandle node = kNoNode;
    CharCell cell;
    int32_t x = 0;
    int32_t width = 0;  // glyph width plus cell width
  };

  // Background runs: cells with the reverse byte set, and cells with the
  // same shading kind and colour; control cells end both.
  struct ShadeRun {
    bool open = false;
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    uint8_t kind = 0;
    platform::COLORREF colour = 0;
  };
  struct ShadeRuns {
    std::vector<ShadeRun> reverses;
    std::vector<ShadeRun> shadings;
  };

  // A text run with the bytes and advances its TextRun points into.
  struct BuiltTextRun {
    TextRun run;
    std::string text;
    std::vector<int32_t> widths;
    bool shadowed = false;  // drawn first in grey as a shadow
  };

  // An underline, strike-through or enclosure (kind: its kMask* bit) kept
  // open while the cells keep the same value and colour.
  struct DecorationRun {
    int kind = 0;
    bool open = false;
    uint8_t value = 0;
    platform::COLORREF colour = 0;
    int32_t left = 0, right = 0, top = 0, bottom = 0, thickness = 0;
  };

  std::vector<PlacedCell> PlaceCells(const LineInfo& line, int32_t x) const;
  ShadeRuns BuildShadeRuns(const LineInfo& line, const std::vector<PlacedCell>& cells, int32_t y);
  // Gathers the run starting at cells[first]; answers the index after it.
  size_t BuildTextRun(const LineInfo& line, const std::vector<PlacedCell>& cells, size_t first,
                      int32_t y, BuiltTextRun* out);
  // The decoration runs in the order they close.
  std::vector<DecorationRun> BuildDecorationRuns(const LineInfo& line,
                                                 const std::vector<PlacedCell>& cells, int32_t y);
  const RunFont& FontOf(int32_t id);
  void DrawIndentMarks(const TextNodes& nodes, const LineInfo& line, int32_t x, int32_t y);

  CDocRenderer* renderer_ = nullptr;
  CTextNavigator* navigator_ = nullptr;
  CTextFormats* formats_ = nullptr;
  RunFont lastFont_;
};
