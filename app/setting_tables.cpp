#include "app/setting_tables.h"

#include <array>
#include <cstring>

#include "app/texts.h"

namespace {

// A default that LoadAll works out from other values (the colours from
// the pattern numbers, the voice mask from the detailed reading).
constexpr int64_t kDerived = 0;

constexpr uint32_t kVoiceMaskDefault = 0xFFFFFFFE;
constexpr uint32_t kBeepMaskDefault = 0xFFFFFFFF;
constexpr int kNoText = 0;

}  // namespace

// The field's offset and width come from the record, so a table row can
// never disagree with the field it fills.
#define LXR_NUMBER(Record, name, field, access, value)                                       \
  SettingEntry {                                                                             \
    name, offsetof(Record, field), static_cast<int>(sizeof(Record::field)), kRegistryNumber, \
        access, static_cast<int64_t>(value), nullptr                                         \
  }
#define LXR_STRING(Record, name, field, access, value)                                       \
  SettingEntry {                                                                             \
    name, offsetof(Record, field), static_cast<int>(sizeof(Record::field)), kRegistryString, \
        access, kNoText, value                                                               \
  }

std::span<const SettingEntry> ProgramValueTable() {
  using R = ProgramValues;
  static const std::array table = {
      LXR_NUMBER(R, "i_MultiBoot", i_MultiBoot, kWritable, 0),
      LXR_NUMBER(R, "i_BootShowMaximized", i_BootShowMaximized, kWritable, 1),
      LXR_NUMBER(R, "i_BootupDevuve", i_BootupDevuve, kWritable, 1),
      LXR_NUMBER(R, "i_BootupOrvo", i_BootupOrvo, kWritable, 1),
      LXR_NUMBER(R, "i_BootImeEnable", i_BootImeEnable, kWritable, 1),
      LXR_NUMBER(R, "i_BackupFile", i_BackupFile, kWritable, 1),
      LXR_NUMBER(R, "i_TBFreeCaret", i_TBFreeCaret, kWritable, 1),
      LXR_NUMBER(R, "i_TBCellGuide", i_TBCellGuide, kWritable, 1),
      LXR_NUMBER(R, "i_YomiDetail", i_YomiDetail, kWritable, 0),
      LXR_NUMBER(R, "i_YomiDetailDiff", i_YomiDetailDiff, kWritable, 1),
      LXR_NUMBER(R, "i_YomiDetailFont", i_YomiDetailFont, kWritable, 0),
      LXR_NUMBER(R, "i_YomiLinePara", i_YomiLinePara, kWritable, 0),
      LXR_NUMBER(R, "i_ScreenZoom", i_ScreenZoom, kWritable, 0),
      LXR_NUMBER(R, "i_ScreenZoomSize", i_ScreenZoomSize, kWritable, 0),
      LXR_NUMBER(R, "i_ScreenStyle", i_ScreenStyle, kWritable, 0),
      LXR_NUMBER(R, "i_ScreenRuler", i_ScreenRuler, kWritable, 1),
      LXR_NUMBER(R, "i_FlagSearch", i_FlagSearch, kWritable, 0),
      LXR_NUMBER(R, "i_RecentSearchMax", i_RecentSearchMax, kWritable, 32),
      LXR_NUMBER(R, "i_FlagReplace", i_FlagReplace, kWritable, 0),
      LXR_NUMBER(R, "i_RecentReplaceMax", i_RecentReplaceMax, kWritable, 32),
      LXR_NUMBER(R, "i_RecentFileMax", i_RecentFileMax, kWritable, 16),
      LXR_STRING(R, "i_DocumentDir", i_DocumentDir, kWritable, nullptr),  // derived
      LXR_NUMBER(R, "i_GTB_ViewColorNumber", i_GTB_ViewColorNumber, kWritable, 2),
      LXR_NUMBER(R, "i_GTB_ImeColorNumber", i_GTB_ImeColorNumber, kWritable, 3),
      LXR_STRING(R, "i_TemplateDir", i_TemplateDir, kReadOnly, ""),
      LXR_STRING(R, "s_ExLoadFilter", s_ExLoadFilter, kReadOnly, ""),
      LXR_NUMBER(R, "s_DefKesenColumn", s_DefKesenColumn, kReadOnly, 3),
      LXR_NUMBER(R, "s_DefKesenLines", s_DefKesenLines, kReadOnly, 4),
      LXR_NUMBER(R, "s_DefKsenSize1", s_DefKsenSize1, kReadOnly, 5),
      LXR_NUMBER(R, "s_DefKsenSize2", s_DefKsenSize2, kReadOnly, 10),
      LXR_NUMBER(R, "s_DefKsenSize3", s_DefKsenSize3, kReadOnly, 15),
      LXR_NUMBER(R, "s_NewWindowTemplate", s_NewWindowTemplate, kReadOnly, 0),
      LXR_STRING(R, "s_TemplateFilter", s_TemplateFilter, kReadOnly, kTemplateFilterDefault),
      LXR_NUMBER(R, "s_BootMouseMove", s_BootMouseMove, kReadOnly, 1),
  };
  return table;
}

std::span<const SettingEntry> DisplayValueTable() {
  using R = DisplayDefaults;
  static const std::array table = {
      LXR_NUMBER(R, "wpdDocFontConv", view.colours.display.minchoAsGothic, kWritable, 1),
      LXR_NUMBER(R, "wpdDocEditMark", view.colours.display.marks, kWritable, 1),
      LXR_NUMBER(R, "s_wpdDocColPaper", view.colours.display.background, kReadOnly, kDerived),
      LXR_NUMBER(R, "s_wpdDocColText", view.colours.display.text, kReadOnly, kDerived),
      LXR_NUMBER(R, "s_wpdDocColBackView", view.desk, kReadOnly, kDerived),
      LXR_NUMBER(R, "s_wpdDocColOutLine", view.pageBorder, kReadOnly, kDerived),
      LXR_NUMBER(R, "s_wpdDocColMargin", view.marks, kReadOnly, kDerived),
      LXR_NUMBER(R, "s_wpdDocColShadow", view.shadow, kReadOnly, kDerived),
      LXR_NUMBER(R, "s_wpdRulColText", ruler.text, kReadOnly, kDerived),
      LXR_NUMBER(R, "s_wpdRulColBack", ruler.background, kReadOnly, kDerived),
  };
  return table;
}

std::span<const SettingEntry> EditingValueTable() {
  using R = EditingDefaults;
  static const std::array table = {
      LXR_NUMBER(R, "wpeDocDivLine", options.enterOption, kWritable, 0),
      LXR_NUMBER(R, "wpeDocFreeCaret", options.options.options[0], kWritable, 1),
      LXR_NUMBER(R, "wpeDocTakeForm", options.options.options[1], kWritable, 0),
      LXR_NUMBER(R, "wpeDocAutoIndent", options.options.options[4], kWritable, 0),
      LXR_NUMBER(R, "wpeDocTabPages", options.options.pageJumpStep, kWritable, 5),
      LXR_NUMBER(R, "wpeDocUndoSaihenkan", options.reconversion, kWritable, 1),
      LXR_NUMBER(R, "wpeImeAutoOff", ime.closeImeAfterComposition, kWritable, 0),
      LXR_NUMBER(R, "s_wpeImeColText1", ime.clauses[0].text, kReadOnly, kDerived),
      LXR_NUMBER(R, "s_wpeImeColText2", ime.clauses[1].text, kReadOnly, kDerived),
      LXR_NUMBER(R, "s_wpeImeColText3", ime.clauses[2].text, kReadOnly, kDerived),
      LXR_NUMBER(R, "s_wpeImeColText4", ime.clauses[3].text, kReadOnly, kDerived),
      LXR_NUMBER(R, "s_wpeImeColBack1", ime.clauses[0].background, kReadOnly, kDerived),
      LXR_NUMBER(R, "s_wpeImeColBack2", ime.clauses[1].background, kReadOnly, kDerived),
      LXR_NUMBER(R, "s_wpeImeColBack3", ime.clauses[2].background, kReadOnly, kDerived),
      LXR_NUMBER(R, "s_wpeImeColBack4", ime.clauses[3].background, kReadOnly, kDerived),
      LXR_NUMBER(R, "s_wpeImeUnder1", ime.clauses[0].underline, kReadOnly, 1),
      LXR_NUMBER(R, "s_wpeImeUnder2", ime.clauses[1].underline, kReadOnly, 0),
      LXR_NUMBER(R, "s_wpeImeUnder3", ime.clauses[2].underline, kReadOnly, 1),
      LXR_NUMBER(R, "s_wpeImeUnder4", ime.clauses[3].underline, kReadOnly, 0),
  };
  return table;
}

std::span<const SettingEntry> VoiceValueTable() {
  using R = SpeechOptions;
  static const std::array table = {
      LXR_NUMBER(R, "wpvDocVoiceOut", speechOn, kWritable, 1),
      LXR_NUMBER(R, "wpvDocBeepOut", soundOn, kWritable, 1),
      LXR_NUMBER(R, "wpvDocVoiceMask", voiceMask, kWritable, kVoiceMaskDefault),  // see LoadAll
      LXR_NUMBER(R, "wpvDocBeepMask", beepMask, kWritable, kBeepMaskDefault),
  };
  return table;
}

std::span<const PageSettingEntry> PageValueTable() {
  using P = PageSetupPaper;
  using F = PageSetupFont;
  using L = PageSetupLayout;
  using N = PageSetupPageNumber;
  static const std::array table = {
      PageSettingEntry{kPaperBlock, LXR_NUMBER(P, "wppPapPaperWidth", PaperWidth, kWritable, 2100)},
      PageSettingEntry{kPaperBlock,
                       LXR_NUMBER(P, "wppPapPaperHeight", PaperHeight, kWritable, 2970)},
      PageSettingEntry{kPaperBlock, LXR_NUMBER(P, "wppPapMarginTop", MarginTop, kWritable, 300)},
      PageSettingEntry{kPaperBlock,
                       LXR_NUMBER(P, "wppPapMarginBottom", MarginBottom, kWritable, 300)},
      PageSettingEntry{kPaperBlock, LXR_NUMBER(P, "wppPapMarginLeft", MarginLeft, kWritable, 300)},
      PageSettingEntry{kPaperBlock,
                       LXR_NUMBER(P, "wppPapMarginRight", MarginRight, kWritable, 300)},
      PageSettingEntry{kFontBlock, LXR_NUMBER(F, "wppFonDirection", Direction, kWritable, 0)},
      PageSettingEntry{kFontBlock,
                       LXR_STRING(F, "wppFonName", FontName, kWritable, kDefaultFaceName)},
      PageSettingEntry{kFontBlock, LXR_NUMBER(F, "wppFonSize", FontSize, kWritable, 105)},
      PageSettingEntry{kFontBlock, LXR_NUMBER(F, "wppFonVexpan", Vexpan, kWritable, 100)},
      PageSettingEntry{kFontBlock, LXR_NUMBER(F, "wppFonHexpan", Hexpan, kWritable, 100)},
      PageSettingEntry{kFontBlock, LXR_NUMBER(F, "wppFonBold", Bold, kWritable, 0)},
      PageSettingEntry{kFontBlock, LXR_NUMBER(F, "wppFonItalic", Italic, kWritable, 0)},
      PageSettingEntry{kLayoutBlock, LXR_NUMBER(L, "wppBunChars", Chars, kWritable, 80)},
      PageSettingEntry{kLayoutBlock, LXR_NUMBER(L, "wppBunLines", Lines, kWritable, 40)},
      PageSettingEntry{kLayoutBlock, LXR_NUMBER(L, "wppBunKinsokuTop", KinsokuTop, kWritable, -1)},
      PageSettingEntry{kLayoutBlock, LXR_STRING(L, "wppBunKinsokuTopChars", KinsokuTopChars,
                                                kWritable, kKinsokuTopDefault)},
      PageSettingEntry{kLayoutBlock, LXR_NUMBER(L, "wppBunKinsokuEnd", KinsokuEnd, kWritable, -1)},
      PageSettingEntry{kLayoutBlock, LXR_STRING(L, "wppBunKinsokuEndChars", KinsokuEndChars,
                                                kWritable, kKinsokuEndDefault)},
      PageSettingEntry{kLayoutBlock, LXR_NUMBER(L, "wppBunTabSpace", TabSpace, kWritable, 4)},
      PageSettingEntry{kLayoutBlock, LXR_NUMBER(L, "wppBunIndent1", Indent1, kWritable, 0)},
      PageSettingEntry{kLayoutBlock, LXR_NUMBER(L, "wppBunIndent2", Indent2, kWritable, 0)},
      PageSettingEntry{kLayoutBlock, LXR_NUMBER(L, "wppBunIndentEnd", IndentEnd, kWritable, 0)},
      PageSettingEntry{kPageNumberBlock,
                       LXR_STRING(N, "wppPagName", NFontName, kWritable, kDefaultFaceName)},
      PageSettingEntry{kPageNumberBlock, LXR_NUMBER(N, "wppPagSize", NFontSize, kWritable, 105)},
      PageSettingEntry{kPageNumberBlock, LXR_NUMBER(N, "wppPagVexpan", NVexpan, kWritable, 100)},
      PageSettingEntry{kPageNumberBlock, LXR_NUMBER(N, "wppPagHexpan", NHexpan, kWritable, 100)},
      PageSettingEntry{kPageNumberBlock, LXR_NUMBER(N, "wppPagBold", NBold, kWritable, 0)},
      PageSettingEntry{kPageNumberBlock, LXR_NUMBER(N, "wppPagItalic", NItalic, kWritable, 0)},
      PageSettingEntry{kPageNumberBlock, LXR_NUMBER(N, "wppPagPosition", Position, kWritable, 0)},
      PageSettingEntry{kPageNumberBlock, LXR_NUMBER(N, "wppPagPrintOut", PrintOut, kWritable, 0)},
      PageSettingEntry{kPageNumberBlock, LXR_NUMBER(N, "wppPagStart", Start, kWritable, 1)},
      PageSettingEntry{kPageNumberBlock,
                       LXR_NUMBER(N, "wppPagParaArrange", ParaArrange, kWritable, 2)},
      PageSettingEntry{kPageNumberBlock, LXR_NUMBER(N, "wppPagOutForm", OutForm, kWritable, 1)},
  };
  return table;
}

#undef LXR_NUMBER
#undef LXR_STRING

void ApplyDefaults(std::span<const SettingEntry> table, void* base) {
  auto* bytes = static_cast<uint8_t*>(base);
  for (const SettingEntry& entry : table) {
    uint8_t* field = bytes + entry.offset;
    if (entry.kind == kRegistryNumber) {
      // The default's low bytes, as a stored number is narrowed.
      const auto value = static_cast<uint64_t>(entry.number);
      std::memcpy(field, &value, static_cast<size_t>(entry.width));
    } else if (entry.text != nullptr) {
      const size_t length = std::min(std::strlen(entry.text), static_cast<size_t>(entry.width - 1));
      std::memcpy(field, entry.text, length);
      field[length] = '\0';
    }
  }
}
