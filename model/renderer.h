// The document renderer: the drawing device of one document root. It adds
// the drawing offset that each object moves while it draws, the display
// colours and their exchange with document colours, the control marks,
// the document's default font and the list of fonts in use over the
// renderer's font table, which it stores in and restores from the
// document stream.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "model/draw_device.h"
#include "model/font_use_list.h"
#include "model/page_format.h"
#include "platform/archive.h"
#include "platform/windef.h"

// How the document is shown (20 bytes). Black on white is the screen's
// business, not the document's: the defaults draw white text on black.
struct DisplaySettings {
  platform::COLORREF background = 0x000000;
  platform::COLORREF text = 0xFFFFFF;
  platform::COLORREF third = 0x7F7F7F;
  uint8_t zoom = 1;
  uint8_t further = 0;
  uint8_t flag = 1;
  uint8_t minchoAsGothic = 1;
  uint8_t marks = 1;
  uint8_t spare[3] = {};
};
static_assert(sizeof(DisplaySettings) == 20);

struct SelectionState {
  int32_t active = 0;
  int32_t a = 0;
  int32_t b = 0;
};

struct ChildAnnouncement {
  int32_t kind = 0;
  int32_t placeMark = 0;
};

// Control codes the marks stand for.
inline constexpr uint8_t kMarkParagraphEnd = 0x0D;
inline constexpr uint8_t kMarkPageBreak = 0x0C;
inline constexpr uint8_t kMarkEndOfText = 0xFF;
inline constexpr uint8_t kMarkTab = 0x09;

// Pointer types of DrawPointer.
inline constexpr int32_t kPointerLeft = 1;
inline constexpr int32_t kPointerRight = 2;
inline constexpr int32_t kPointerCursor = 3;

// The renderer block: saved records, default id, then reserved bytes.
inline constexpr size_t kRendererReservedBytes = 128;

class CDocRenderer : public CDrawDevice {
 public:
  CDocRenderer();
  // Over another font table than the process's renderer table.
  explicit CDocRenderer(CFontTable& table);
  ~CDocRenderer() override;

  void SetDisplaySettings(const DisplaySettings& settings);
  const DisplaySettings& GetDisplaySettings() const { return display_; }
  void SetPageFormat(const PageFormat& format);
  void RefreshDefaultFont(const PageFormat& format);

  void SetSelectionState(int32_t active, int32_t a, int32_t b);
  const SelectionState& GetSelectionState() const { return selection_; }
  void SetUndoReplay(int32_t flag) { undoReplay_ = flag; }
  int32_t GetUndoReplay() const { return undoReplay_; }
  void SetPrinting() { printing_ = 1; }
  void ClearPrinting() { printing_ = 0; }
  bool IsPrinting() const { return printing_ != 0; }

  void BeginPage(platform::HDC dc, int32_t printer);
  void EndDraw() override;
  // Each answers the previous offset.
  platform::POINT SetOffset(int32_t x, int32_t y);
  platform::POINT AdvanceOffset(int32_t dx, int32_t dy);
  platform::POINT GetOffset() const { return offset_; }
  void SetEndMarkKinds(int32_t paragraphEnd, int32_t endOfText);

  // While a page is printed, a container tells the renderer about each
  // child before it draws: its kind (2 a table, 1 otherwise) and a place
  // mark (3 for the last child, else the kind). The renderer keeps the
  // last announcement.
  void AnnounceChild(int32_t kind, int32_t placeMark) {
    announced_ = ChildAnnouncement{kind, placeMark};
  }
  const ChildAnnouncement& GetAnnouncedChild() const { return announced_; }
  // Two switches a table reads when it moves its caret: with both 1 its
  // cells wrap. Nothing sets them yet; both start at 0.
  void SetWrapSwitches(int32_t first, int32_t second) { wrapSwitches_ = {first, second}; }
  bool WrapSwitchesBothOn() const { return wrapSwitches_[0] == 1 && wrapSwitches_[1] == 1; }

  void ShadeRect(int32_t x, int32_t y, int32_t width, int32_t height, int32_t pattern,
                 platform::COLORREF colour) override;
  // Levels above 0 are patterns; 0 and below lighten (or darken) the
  // colour and fill solid.
  void ShadeLevel(int32_t x, int32_t y, int32_t width, int32_t height, int32_t level,
                  platform::COLORREF colour);
  void DrawTextRun(const TextRun& run) override;
  void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t kind, int32_t width,
                platform::COLORREF colour) override;
  void DrawFrame(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t kind,
                 int32_t width, platform::COLORREF colour) override;
  // The renderer draws control marks where the device draws a character.
  void DrawChar(int32_t x, int32_t y, uint8_t code, platform::COLORREF colour) override;
  void DrawMark(int32_t x, int32_t y, uint8_t code, platform::COLORREF colour);
  void InvertRegions(const platform::RECT* rects, int32_t count) override;
  void DrawTextRunGrey(const TextRun& run);
  void DrawMarkGrey(int32_t x, int32_t y, uint8_t code);
  void DrawPointer(int32_t x, int32_t y, int32_t type);

  CFontUseList& FontUseList() { return fonts_; }
  int32_t GetDefaultFontId() const { return defaultFontId_; }
  int32_t GetPreviousDefaultFontId() const { return previousDefaultFontId_; }
  int32_t GetStoredDefaultFontId() const { return storedDefaultFontId_; }
  // Forgets the default font id a stream brought, once it has been used.
  void ForgetStoredDefaultFontId() { storedDefaultFontId_ = -1; }

  // The saved font list exists while a stream is read or written.
  void NewFontList();
  void DeleteFontList();
  const SavedFontList* GetSavedFontList() const { return saved_.get(); }
  // 1 on success, 0 without a list or when the archive fails.
  int SerializeFontList(platform::CArchive& archive);
  // Turns an id read from a stream into one of this process.
  void MapSavedFont(platform::HDC dc, int32_t* id);

 private:
  int32_t ChooseDefaultFont(const PageFormat& format);
  void UpdateSymbolSize(const PageFormat& format);
  platform::COLORREF Substitute(platform::COLORREF colour, bool textRun) const;
  void DrawMarkIn(int32_t x, int32_t y, uint8_t code, platform::COLORREF colour);

  CFontUseList fonts_;
  platform::HDC drawingDC_ = nullptr;
  platform::POINT offset_;
  SelectionState selection_;
  DisplaySettings display_;
  FontRecord symbol_;
  int32_t paragraphEndKind_ = 1;
  int32_t endOfTextKind_ = 1;
  int32_t undoReplay_ = 0;
  int32_t printing_ = 0;
  int32_t defaultFontId_ = -1;
  int32_t previousDefaultFontId_ = -1;
  int32_t storedDefaultFontId_ = -1;
  std::unique_ptr<SavedFontList> saved_;
  ChildAnnouncement announced_;
  std::array<int32_t, 2> wrapSwitches_{};
};
