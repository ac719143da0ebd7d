// The format part of a text engine: the typing format (the font state
// that newly typed characters get), validation and masked application of
// the four attribute records, and font lookups through the renderer's
// font-use list.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "model/attribute_records.h"
#include "model/page_format.h"
#include "model/text_records.h"
#include "platform/gdi.h"

class CFontUseList;

// A character font as the text engine keeps it: the six font fields, the
// realised font, its id in the font-use list and the two metrics the list
// reports for it (ascent and descent in twips), the colour and placement.
struct CharFontState {
  char face[kFaceNameSize] = {};
  int32_t size = 0;
  uint8_t heightScale = 0;
  uint8_t widthScale = 0;
  uint8_t bold = 0;
  uint8_t italic = 0;
  platform::HFONT font = nullptr;
  int32_t fontId = -1;
  int32_t metric1 = 0;
  int32_t metric2 = 0;
  platform::COLORREF color = 0;
  int16_t placement = 0;
};

// Binds the format part to the engine's typing records and gives them
// their initial values.
class CTextFormatDefaults {
 public:
  static constexpr int32_t kDefaultSize = 105;

  static CharFontState DefaultFontState();

 protected:
  void BindTypingRecords(CharFontState* font, CellDecoration* decoration, CellDesign* design);

  CharFontState* typingFont_ = nullptr;
  CellDecoration* typingDecoration_ = nullptr;
  CellDesign* typingDesign_ = nullptr;
};

class CTextFormats : public CTextFormatDefaults {
 public:
  // Binds once; a second call changes nothing and answers 1.
  int Init(CharFontState* font, CellDecoration* decoration, CellDesign* design,
           PageFormat* pageFormat, CFontUseList* fontUse);
  static void ClearPageFormat(PageFormat& format);
  int CheckPageFormat(const PageFormat& format) const;
  int ResetTypingFont(const PageFormat& format);
  // 1 valid (the font may still be unresolved: see SetTypingFormat), 0 refused.
  int SetTypingFormat(const CharFormat& format);
  int GetTypingFormat(CharFormat* out) const;
  static int IsSameCharFormat(const CharFormat& a, const CharFormat& b);

  int ApplyCharFormat(CharFontState& target, const CharFormat& source) const;
  int ApplyDecoration(CellDecoration& target, const CharDecoration& source) const;
  int ApplyDesign(CellDesign& target, const CharDesign& source) const;
  int ApplyParaFormat(ParagraphInfo& target, const ParaFormat& source) const;

  static int ValidateFontState(const CharFontState& state, int32_t mask, bool requireFont);
  static int ValidateDecoration(const CellDecoration& decoration, int32_t mask);
  static int ValidateDesign(const CellDesign& design, int32_t mask);
  static int ValidateParaFormat(const ParagraphInfo& paragraph, int32_t mask);

  static void ClearDifferingFontBits(const CharFontState& first, const CharFontState& other,
                                     int32_t& mask);
  static void ClearDifferingDecorationBits(const CellDecoration& first, const CellDecoration& other,
                                           int32_t& mask);
  static void ClearDifferingDesignBits(const CellDesign& first, const CellDesign& other,
                                       int32_t& mask);
  static void ClearDifferingParaBits(const ParagraphInfo& first, const ParagraphInfo& other,
                                     int32_t& mask);

  // A getter's start record from the first cell of a range.
  void FontStateToCharFormat(const CharFontState& state, CharFormat* out) const;
  static void DecorationToRecord(const CellDecoration& decoration, CharDecoration* out);
  static void DesignToRecord(const CellDesign& design, CharDesign* out);
  static ParaFormat ParagraphToRecord(const ParagraphInfo& paragraph);

  platform::HFONT ResolveFont(platform::HDC dc, CharFontState& state) const;
  int GetFontState(int32_t fontId, CharFontState* out) const;
  int GetFontFormat(int32_t fontId, CharFormat* out) const;
  // Glyph widths in twips, one per character; false without a reference
  // device context or with a negative font id.
  bool GetCharWidths(int32_t fontId, std::string_view text, std::vector<int32_t>* out) const;
  int32_t GetCodeWidth(int32_t fontId, uint16_t code) const;
  // Null records mean the typing records.
  int MakeCellTemplate(const CharFontState* font, const CellDecoration* decoration,
                       const CellDesign* design, CharCell* out) const;

  // The two metrics (ascent and descent, twips) of a font in use; 0 for an
  // id the font-use list does not hold.
  int GetFontMetrics(int32_t fontId, int32_t* metric1, int32_t* metric2) const;
  // The blank that may be squeezed from a punctuation mark: positive
  // trailing, negative leading, 0 none.
  int32_t GetPunctuationSpace(int32_t fontId, uint16_t code) const;
  // The character set of an installed face.
  uint8_t FaceCharSet(const char* face) const;

  const CharFontState* TypingFont() const { return typingFont_; }
  CFontUseList* fontUse() const { return fontUse_; }
  const PageFormat* pageFormat() const { return pageFormat_; }

 private:
  PageFormat* pageFormat_ = nullptr;
  CFontUseList* fontUse_ = nullptr;
};
