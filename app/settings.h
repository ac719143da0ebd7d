// Every setting of the program in memory, read once at start-up from the
// per-user key, the machine-wide defaults key and the built-in defaults
// (in that order of precedence), and written back once at shutdown to
// the per-user key. The default page format is read and written on demand.
#pragma once

#include <array>
#include <cstdint>

#include "framework/cstring.h"
#include "framework/mdi_wnd.h"
#include "platform/registry_api.h"
#include "platform/windef.h"
#include "speech/edit_feedback.h"
#include "views/edit_surface_records.h"
#include "views/page_setup.h"
#include "views/wp_view_records.h"

// ---- Colour patterns.

inline constexpr int kColorPatternNameSize = 64;
inline constexpr int kViewPatternCount = 9;
inline constexpr int kImePatternCount = 4;

struct ColorPattern {
  char name[kColorPatternNameSize] = {};
  platform::COLORREF first = 0;   // background
  platform::COLORREF second = 0;  // text
};

using ViewColorPatterns = std::array<ColorPattern, kViewPatternCount>;
using ImeColorPatterns = std::array<ColorPattern, kImePatternCount>;

// The built-in tables; view row 0 takes the system's window colours.
ViewColorPatterns BuiltInViewPatterns();
ImeColorPatterns BuiltInImePatterns();

// Reads "(r,g,b)(r,g,b)name" over `pattern`; false, leaving it as it
// was, when the value does not have that form or a component lies
// outside 0-255. The name keeps at most 63 bytes, cut at a character.
bool ParseColorPattern(const char* value, ColorPattern& pattern);

// ---- Character sizes.

inline constexpr int kCharSizeNameSize = 31;
inline constexpr int kCharSizeSpokenSize = 33;

enum CharSizeKind : int16_t {
  kCharSizeNormal = 0,
  kCharSizeSuperscript = 1,
  kCharSizeSubscript = 3,
};

struct CharSizeRow {
  const char* name;
  const char* spoken;
  int id;
  int16_t sizeKind;
  uint8_t vertical;  // percent
  uint8_t horizontal;
};

inline constexpr int kCharSizeRowCount = 7;
extern const std::array<CharSizeRow, kCharSizeRowCount> kCharSizeTable;

// The first row of that size kind and those expansions (0 counting as
// 100); -1 when none.
int FindCharSizeRow(int sizeKind, int vertical, int horizontal);

// ---- Small text operations.

// 1 drive, 2 folder, 3 drive and folder, 4 file stem, 5 stem and
// extension, 6 extension with its dot; empty for a null path or another part.
framework::CString SplitPathPart(const char* path, int part);
// Reads four ints "l,t,r,b"; false, leaving `rect` as it was, when the
// text does not hold four.
bool ParseRectText(platform::RECT& rect, const char* text);
framework::CString FormatRectText(const platform::RECT& rect);

// One open document in the document-switch list.
struct OpenDocumentEntry {
  framework::CString path;  // empty for a document never saved
  framework::CMDIChildWnd* frame = nullptr;
};

// ---- The settings.

inline constexpr int kFolderSize = 260;

// Where ReadSetting looks.
enum SettingSources : int {
  kPerUserSource = 1,
  kMachineSource = 2,
  kBothSources = kPerUserSource | kMachineSource,
};

// ReadSetting's answer when neither source has the value.
inline constexpr int kSettingMissing = -0xFFFF;

// The values read at start-up and written at shutdown, named as stored.
// Several carry the prefix of another type: the width is the field's.
struct ProgramValues {
  int32_t i_MultiBoot;
  int32_t i_BootShowMaximized;
  int32_t i_BootupDevuve;
  int32_t i_BootupOrvo;
  int32_t i_BootImeEnable;
  int32_t i_BackupFile;
  uint8_t i_TBFreeCaret;
  uint8_t i_TBCellGuide;
  int32_t i_YomiDetail;
  int32_t i_YomiDetailDiff;
  int32_t i_YomiDetailFont;
  int32_t i_YomiLinePara;
  int32_t i_ScreenZoom;
  int32_t i_ScreenZoomSize;
  int32_t i_ScreenStyle;
  int32_t i_ScreenRuler;
  int32_t i_FlagSearch;
  int32_t i_RecentSearchMax;
  int32_t i_FlagReplace;
  int32_t i_RecentReplaceMax;
  int32_t i_RecentFileMax;
  char i_DocumentDir[kFolderSize];
  int16_t i_GTB_ViewColorNumber;
  int16_t i_GTB_ImeColorNumber;
  char i_TemplateDir[kFolderSize];  // read-only from here on
  char s_ExLoadFilter[kFolderSize];
  int32_t s_DefKesenColumn;
  int32_t s_DefKesenLines;
  int32_t s_DefKsenSize1;
  int32_t s_DefKsenSize2;
  int32_t s_DefKsenSize3;
  int32_t s_NewWindowTemplate;
  char s_TemplateFilter[kFolderSize];
  int32_t s_BootMouseMove;
};

// What the view's ApplyColours takes, with the rulers' pair.
struct DisplayDefaults {
  ViewColourSet view;
  RulerColourPair ruler;
};

// What the view's ApplyDisplayOptions takes: the options and the editing
// surface's style block with the input method's clause colours.
struct EditingDefaults {
  ViewDisplayOptions options;
  EditSurfaceStyleBlock ime;
};

class CLxrSettings {
 public:
  CLxrSettings();

  // Program folder, program-wide values, colour patterns, display,
  // editing and voice defaults, companion paths. Answers 0.
  int LoadAll();
  // Every value not read-only, to the per-user key.
  void SaveAll();

  // The default page format into the record's blocks (a null block is
  // skipped); paper id, source and orientation become -1 for the caller
  // to choose.
  void ReadPageDefaults(PageSetupRecord& record, int sources);
  void WritePageDefaults(const PageSetupRecord& record);
  // The page setup dialog's answer: 1 keeps the record as the new
  // default, anything else refills it from the machine-wide key. Answers 1.
  int PageDefaultsCallback(PageSetupRecord& record, int answer);

  // 0 when found (the buffer filled), kSettingMissing otherwise.
  int ReadSetting(const char* name, void* buffer, int width, int kind, int sources);
  // The write's result; kSettingMissing when the per-user key cannot be made.
  platform::LONG WriteNumberSetting(const char* name, uint32_t value);
  platform::LONG WriteStringSetting(const char* name, const char* text);

  // The companion's program: its folder and file, or the folder alone,
  // or empty.
  framework::CString GetProductPath(const char* directoriesKey);
  // `which` 1: ProductDir with a trailing "\"; 2: ProductFile. From the
  // machine hive, else the user's; empty when neither has the key.
  framework::CString ReadProductDirectory(const char* directoriesKey, int which);

  static constexpr int kProductDirectory = 1;
  static constexpr int kProductFile = 2;

  int inputCharSizeIndex = 0;
  framework::CString fontDialogText;
  int fontDialogValue = 0;
  framework::CString lastSearchText;
  framework::CString programPath;
  framework::CString systemManagementPath;
  framework::CString dictionaryPath;
  framework::CString voiceInputPath;
  framework::CString dictionaryCompilerPath;
  int openContinues = 0;
  char programFolder[kFolderSize] = {};
  ProgramValues values{};
  framework::CString printerName;
  framework::CString printerPort;
  DisplayDefaults display;
  EditingDefaults editing;
  SpeechOptions voice;

  ViewColorPatterns viewPatterns;
  ImeColorPatterns imePatterns;

 private:
  void ReadProgramFolder();
  void ReadProgramValues();
  void ReadColorPatterns();
  void ReadViewDefaults();
  void ReadCompanionPaths();
  const ColorPattern& ViewPattern() const;
  const ColorPattern& ImePattern() const;
};
