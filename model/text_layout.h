// The drawing part of a text engine: turns composed lines into background
// runs, text runs with per-character spacing and decoration runs, and
// hands them to the renderer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/doc_object.h"
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

  std::vector<PlacedCell> PlaceCells(const LineInfo& line, int32_t x) const;
  const RunFont& FontOf(int32_t id);
  void DrawIndentMarks(const TextNodes& nodes, const LineInfo& line, int32_t x, int32_t y);

  CDocRenderer* renderer_ = nullptr;
  CTextNavigator* navigator_ = nullptr;
  CTextFormats* formats_ = nullptr;
  RunFont lastFont_;
};
