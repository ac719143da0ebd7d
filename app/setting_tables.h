// Internal to the settings: the stored values of each group, with the
// field each one fills, its width and its built-in default.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "app/registry_key.h"
#include "app/settings.h"

enum SettingAccess : bool { kWritable = false, kReadOnly = true };

struct SettingEntry {
  const char* name;
  size_t offset;  // within the group's record
  int width;      // a number's field width, or a string's buffer size
  int kind;       // kRegistryNumber or kRegistryString
  SettingAccess access;
  int64_t number;    // the default of a number
  const char* text;  // the default of a string
};

// The groups that live in the settings object.
std::span<const SettingEntry> ProgramValueTable();  // over ProgramValues
std::span<const SettingEntry> DisplayValueTable();  // over DisplayDefaults
std::span<const SettingEntry> EditingValueTable();  // over EditingDefaults
std::span<const SettingEntry> VoiceValueTable();    // over SpeechOptions

// The page group: each entry names the block of the record it fills.
enum PageBlock : int { kPaperBlock, kFontBlock, kLayoutBlock, kPageNumberBlock };
struct PageSettingEntry {
  PageBlock block;
  SettingEntry entry;
};
std::span<const PageSettingEntry> PageValueTable();
// Stored as rectangle text, kept in the page-number block as a RECT.
inline constexpr char kPageNumberAreaValue[] = "wppPagAreaRectStr";

// Writes each entry's default into the record at `base`.
void ApplyDefaults(std::span<const SettingEntry> table, void* base);
