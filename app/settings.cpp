#include "app/settings.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/registry_key.h"
#include "app/setting_tables.h"
#include "app/texts.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/system_info.h"

using framework::CString;
using platform::HKEY;
using platform::LONG;

namespace {

constexpr int kProductValueSize = 2048;
constexpr int kColorValueSize = 126;
constexpr uint32_t kVoiceMaskDetailed = 0xFFFFFF3E;
constexpr uint8_t kInsertModeOn = 1;
constexpr size_t kInsertModeByte = 2;
constexpr char kSeparator[] = "\\";

// Indexes of the input method's clause styles that show the pattern as
// it is (text = second colour); the others show it reversed.
constexpr bool IsPlainClause(size_t clause) { return clause % 2 == 0; }

void CopyText(char* field, size_t size, std::string_view text) {
  const size_t length = std::min(text.size(), size - 1);
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

// A folder ends in "\" unless it is empty.
void EndFolder(char* folder, size_t size) {
  const std::string_view text = folder;
  if (!text.empty() && !platform::EndsWithSeparator(text) && text.size() + 1 < size)
    CopyText(folder, size, std::string(text) + kSeparator);
}

template <typename Block>
uint8_t* BlockBytes(Block* block) {
  return reinterpret_cast<uint8_t*>(block);
}

uint8_t* PageBlockBase(const PageSetupRecord& record, PageBlock block) {
  switch (block) {
    case kPaperBlock:
      return BlockBytes(record.paper);
    case kFontBlock:
      return BlockBytes(record.font);
    case kLayoutBlock:
      return BlockBytes(record.layout);
    case kPageNumberBlock:
      return BlockBytes(record.pageNumber);
  }
  return nullptr;
}

bool Exists(const CString& path) {
  return platform::GetFileAttributes(path) != platform::INVALID_FILE_ATTRIBUTES;
}

}  // namespace

CLxrSettings::CLxrSettings()
    : viewPatterns(BuiltInViewPatterns()), imePatterns(BuiltInImePatterns()) {
  char path[platform::MAX_PATH] = {};
  platform::GetModuleFileName(nullptr, path, sizeof path);
  programPath = path;
  // The program folder is the executable's own, whatever its file is called.
  CopyText(programFolder, sizeof programFolder,
           std::string_view(path, platform::FileNameStart(path)));
  display.view.colours = DefaultViewColours();
  editing.options.options = DefaultViewDisplayOptions();
}

int CLxrSettings::LoadAll() {
  ReadProgramFolder();
  ReadProgramValues();
  ReadColorPatterns();
  ReadViewDefaults();
  ReadCompanionPaths();
  return 0;
}

void CLxrSettings::ReadProgramFolder() {
  CRegistryKey key(platform::HKEY_LOCAL_MACHINE);
  char folder[kFolderSize] = {};
  if (key.Open(kProgramDirectoriesKey, nullptr, platform::KEY_READ) &&
      key.QueryString(kProductDirValue, folder, sizeof folder) > 0 && folder[0] != '\0') {
    CopyText(programFolder, sizeof programFolder, folder);
    EndFolder(programFolder, sizeof programFolder);
  }
}

void CLxrSettings::ReadProgramValues() {
  const auto table = ProgramValueTable();
  ApplyDefaults(table, &values);
  // The documents folder unless a source names another.
  CString documents(kSeparator);
  platform::LPITEMIDLIST list = nullptr;
  char personal[platform::MAX_PATH] = {};
  if (platform::SHGetSpecialFolderLocation(0, platform::CSIDL_PERSONAL, &list) == platform::S_OK &&
      platform::SHGetPathFromIDList(list, personal) && personal[0] != '\0')
    documents = personal;
  CopyText(values.i_DocumentDir, sizeof values.i_DocumentDir, documents.View());

  auto* base = reinterpret_cast<uint8_t*>(&values);
  for (const SettingEntry& entry : table)
    ReadSetting(entry.name, base + entry.offset, entry.width, entry.kind, kBothSources);
  EndFolder(values.i_DocumentDir, sizeof values.i_DocumentDir);
  EndFolder(values.i_TemplateDir, sizeof values.i_TemplateDir);
  // A pattern number outside its table takes the first row.
  if (values.i_GTB_ViewColorNumber < 0 || values.i_GTB_ViewColorNumber >= kViewPatternCount)
    values.i_GTB_ViewColorNumber = 0;
  if (values.i_GTB_ImeColorNumber < 0 || values.i_GTB_ImeColorNumber >= kImePatternCount)
    values.i_GTB_ImeColorNumber = 0;
}

void CLxrSettings::ReadColorPatterns() {
  const CString file = CString(programFolder) + kConfigurationFile;
  auto readRow = [&](const char* keyForm, int number, ColorPattern& row) {
    CString key;
    key.Format(keyForm, number);
    char value[kColorValueSize] = {};
    platform::GetPrivateProfileString(kColorSection, key, "", value, sizeof value, file);
    // A value that does not parse keeps the built-in row.
    ParseColorPattern(value, row);
  };
  for (int row = 0; row < kViewPatternCount; ++row)
    readRow(kViewColorPatternKey, row + 1, viewPatterns[static_cast<size_t>(row)]);
  for (int row = 0; row < kImePatternCount; ++row)
    readRow(kImeColorPatternKey, row + 1, imePatterns[static_cast<size_t>(row)]);
}

const ColorPattern& CLxrSettings::ViewPattern() const {
  return viewPatterns[static_cast<size_t>(values.i_GTB_ViewColorNumber)];
}

const ColorPattern& CLxrSettings::ImePattern() const {
  return imePatterns[static_cast<size_t>(values.i_GTB_ImeColorNumber)];
}

void CLxrSettings::ReadViewDefaults() {
  ApplyDefaults(DisplayValueTable(), &display);
  const ColorPattern& view = ViewPattern();
  display.view.colours.display.background = view.first;
  display.view.colours.display.text = view.second;
  display.view.desk = platform::GetSysColor(platform::COLOR_APPWORKSPACE);
  display.view.pageBorder = platform::GetSysColor(platform::COLOR_3DDKSHADOW);
  display.view.marks = platform::GetSysColor(platform::COLOR_3DLIGHT);
  display.view.shadow = platform::GetSysColor(platform::COLOR_3DDKSHADOW);
  display.ruler.text = view.second;
  display.ruler.background = view.first;

  ApplyDefaults(EditingValueTable(), &editing);
  editing.options.options.options[kInsertModeByte] = kInsertModeOn;
  const ColorPattern& ime = ImePattern();
  for (size_t clause = 0; clause < std::size(editing.ime.clauses); ++clause) {
    ImeClauseStyle& style = editing.ime.clauses[clause];
    style.text = IsPlainClause(clause) ? ime.second : ime.first;
    style.background = IsPlainClause(clause) ? ime.first : ime.second;
  }

  ApplyDefaults(VoiceValueTable(), &voice);
  if (values.i_YomiDetail != 0) voice.voiceMask = static_cast<int32_t>(kVoiceMaskDetailed);

  struct Group {
    std::span<const SettingEntry> table;
    uint8_t* base;
  };
  for (const Group& group : {Group{DisplayValueTable(), reinterpret_cast<uint8_t*>(&display)},
                             Group{EditingValueTable(), reinterpret_cast<uint8_t*>(&editing)},
                             Group{VoiceValueTable(), reinterpret_cast<uint8_t*>(&voice)}}) {
    for (const SettingEntry& entry : group.table)
      ReadSetting(entry.name, group.base + entry.offset, entry.width, entry.kind, kBothSources);
  }
}

void CLxrSettings::ReadCompanionPaths() {
  systemManagementPath = GetProductPath(kAdmoraDirectoriesKey);
  dictionaryPath = GetProductPath(kGlossanDirectoriesKey);
  voiceInputPath = GetProductPath(kOrvoDirectoriesKey);
  dictionaryCompilerPath.Empty();
  const CString compilerFolder = ReadProductDirectory(kVoxteraDirectoriesKey, kProductDirectory);
  if (!compilerFolder.IsEmpty()) {
    const CString compiler = compilerFolder + kDictionaryCompilerFile;
    if (Exists(compiler)) dictionaryCompilerPath = compiler;
  }
}

void CLxrSettings::SaveAll() {
  CRegistryKey key(platform::HKEY_CURRENT_USER);
  if (!key.Create(kSettingsKey, nullptr, platform::KEY_ALL_ACCESS)) return;
  struct Group {
    std::span<const SettingEntry> table;
    const uint8_t* base;
  };
  for (const Group& group : {Group{ProgramValueTable(), reinterpret_cast<const uint8_t*>(&values)},
                             Group{DisplayValueTable(), reinterpret_cast<const uint8_t*>(&display)},
                             Group{EditingValueTable(), reinterpret_cast<const uint8_t*>(&editing)},
                             Group{VoiceValueTable(), reinterpret_cast<const uint8_t*>(&voice)}}) {
    for (const SettingEntry& entry : group.table) {
      if (entry.access == kReadOnly) continue;
      const uint8_t* field = group.base + entry.offset;
      if (entry.kind == kRegistryString) {
        key.SetString(entry.name, reinterpret_cast<const char*>(field));
      } else {
        key.SetValue(entry.name, field, entry.width, entry.kind);
      }
    }
  }
}

void CLxrSettings::ReadPageDefaults(PageSetupRecord& record, int sources) {
  for (const PageSettingEntry& page : PageValueTable()) {
    uint8_t* base = PageBlockBase(record, page.block);
    if (base == nullptr) continue;
    ApplyDefaults(std::span(&page.entry, 1), base);
    ReadSetting(page.entry.name, base + page.entry.offset, page.entry.width, page.entry.kind,
                sources);
  }
  if (record.pageNumber != nullptr) {
    ParseRectText(record.pageNumber->AreaRectStr, kPageNumberAreaDefault);
    char area[kFolderSize] = {};
    if (ReadSetting(kPageNumberAreaValue, area, sizeof area, kRegistryString, sources) == 0)
      ParseRectText(record.pageNumber->AreaRectStr, area);
  }
  constexpr uint16_t kCallerChooses = 0xFFFF;
  record.paperId = kCallerChooses;
  record.paperSource = -1;
  record.orientation = -1;
}

void CLxrSettings::WritePageDefaults(const PageSetupRecord& record) {
  CRegistryKey key(platform::HKEY_CURRENT_USER);
  if (!key.Create(kSettingsKey, nullptr, platform::KEY_ALL_ACCESS)) return;
  for (const PageSettingEntry& page : PageValueTable()) {
    const uint8_t* base = PageBlockBase(record, page.block);
    if (base == nullptr) continue;
    const uint8_t* field = base + page.entry.offset;
    if (page.entry.kind == kRegistryString) {
      key.SetString(page.entry.name, reinterpret_cast<const char*>(field));
    } else {
      key.SetValue(page.entry.name, field, page.entry.width, page.entry.kind);
    }
  }
  if (record.pageNumber != nullptr)
    key.SetString(kPageNumberAreaValue, FormatRectText(record.pageNumber->AreaRectStr));
}

int CLxrSettings::PageDefaultsCallback(PageSetupRecord& record, int answer) {
  constexpr int kKeepAsDefault = 1;
  if (answer == kKeepAsDefault) {
    WritePageDefaults(record);
  } else {
    ReadPageDefaults(record, kMachineSource);
  }
  return 1;
}

int CLxrSettings::ReadSetting(const char* name, void* buffer, int width, int kind, int sources) {
  struct Source {
    int bit;
    HKEY root;
    const char* key;
  };
  const Source kSources[] = {
      {kPerUserSource, platform::HKEY_CURRENT_USER, kSettingsKey},
      {kMachineSource, platform::HKEY_LOCAL_MACHINE, kMachineDefaultsKey},
  };
  if (buffer == nullptr || width <= 0) return kSettingMissing;
  std::vector<uint8_t> read(static_cast<size_t>(width), 0);
  for (const Source& source : kSources) {
    if ((sources & source.bit) == 0) continue;
    CRegistryKey key(source.root);
    if (!key.Open(source.key, nullptr, platform::KEY_READ)) continue;
    if (key.QueryValue(name, read.data(), width, kind) > 0) {
      std::memcpy(buffer, read.data(), read.size());
      return 0;
    }
  }
  return kSettingMissing;
}

LONG CLxrSettings::WriteNumberSetting(const char* name, uint32_t value) {
  CRegistryKey key(platform::HKEY_CURRENT_USER);
  if (!key.Create(kSettingsKey, nullptr, platform::KEY_ALL_ACCESS)) return kSettingMissing;
  return key.SetNumber(name, value);
}

LONG CLxrSettings::WriteStringSetting(const char* name, const char* text) {
  CRegistryKey key(platform::HKEY_CURRENT_USER);
  if (!key.Create(kSettingsKey, nullptr, platform::KEY_ALL_ACCESS)) return kSettingMissing;
  return key.SetString(name, text);
}

CString CLxrSettings::GetProductPath(const char* directoriesKey) {
  const CString folder = ReadProductDirectory(directoriesKey, kProductDirectory);
  if (folder.IsEmpty()) return {};
  return folder + ReadProductDirectory(directoriesKey, kProductFile).View();
}

CString CLxrSettings::ReadProductDirectory(const char* directoriesKey, int which) {
  CRegistryKey machine(platform::HKEY_LOCAL_MACHINE);
  CRegistryKey user(platform::HKEY_CURRENT_USER);
  CRegistryKey* key = &machine;
  if (!machine.Open(directoriesKey, nullptr, platform::KEY_READ)) {
    if (!user.Open(directoriesKey, nullptr, platform::KEY_READ)) return {};
    key = &user;
  }
  CString value;
  key->QueryCString(which == kProductDirectory ? kProductDirValue : kProductFileValue, value,
                    kProductValueSize);
  // An empty folder stays empty rather than becoming the root "\".
  if (which == kProductDirectory && !value.IsEmpty() && !platform::EndsWithSeparator(value.View()))
    value += kSeparator;
  return value;
}
