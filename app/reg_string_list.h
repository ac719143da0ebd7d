// A list of strings kept whole as one binary registry value: the recent
// files and the search and replace histories. Callers load it, change
// it, trim it and save it at once.
#pragma once

#include "framework/cstring.h"
#include "framework/cstring_list.h"
#include "platform/archive.h"
#include "platform/registry_api.h"

class CRegStringList : public framework::CStringList {
 public:
  static constexpr int kBlockSize = 10;
  static constexpr size_t kMemFileGrowth = 1024;
  static constexpr size_t kArchiveBuffer = 4096;

  CRegStringList(const char* valueName, const char* subkey, platform::HKEY root);

  // 0 when the value was read and decoded whole, -1 otherwise; entries
  // are appended, and those decoded before a fault stay.
  int Load();
  // 0 when the value was written, -1 otherwise.
  int Save();

  // Removes the first entry equal without regard to case, then puts
  // `text` as given at the head; an empty text does nothing.
  void AddUniqueHead(const char* text);
  // Removes the first entry exactly equal; an empty or null text does nothing.
  void RemoveEntry(const char* text);
  // Drops entries from the tail until at most `count` remain.
  void TrimToCount(int count);
  using framework::CStringList::GetAt;
  // The entry at a 0-based index; empty when out of range.
  framework::CString GetAt(int index) const;

  // The archive image: a count, then each entry head first as a length
  // and its bytes. Decoding raises the archive's exceptions at a fault.
  void Serialize(platform::CArchive& archive);

 private:
  framework::CString valueName_;
  framework::CString subkey_;
  platform::HKEY root_;
};
