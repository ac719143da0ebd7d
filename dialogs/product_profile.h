// Readers of the maker's registry tree and of INI files: a key object
// addressed by product and key name under "Software\ZNT" that also reads
// a profile section, the finder of another of the maker's programs
// through its Directories key, and a string reader that opens its key on
// first use.
#pragma once

#include "framework/cstring.h"
#include "platform/registry_api.h"

// Holds what FindProductPath answers: a folder, a backslash and a file.
inline constexpr int kProductPathSize = 517;

class CProductProfile {
 public:
  CProductProfile() = default;
  ~CProductProfile();
  CProductProfile(const CProductProfile&) = delete;
  CProductProfile& operator=(const CProductProfile&) = delete;

  // RegCloseKey's result, 0 when no key is open.
  platform::LONG Close();
  // "Software\ZNT", then the product and the key name when not empty;
  // answers the path's length.
  int BuildPath(framework::CString& path, const char* keyName) const;
  void SetProduct(const char* product);
  // Closes any open key and opens the product's `keyName` (never making
  // it): for reading in the machine hive, with full access elsewhere.
  // Answers the call's error code.
  platform::LONG Open(const char* keyName);
  platform::LONG SetDword(const char* name, platform::DWORD value);
  platform::LONG SetString(const char* name, const char* text);
  // `size` goes in as the buffer's size and comes back as the bytes stored.
  platform::LONG QueryValue(const char* name, void* buffer, platform::DWORD* size);

  void SetIniFile(const char* path) { iniFile_ = path; }
  void SetIniSection(const char* section) { iniSection_ = section; }
  int GetIniInt(const char* key, int defaultValue) const;
  platform::DWORD GetIniString(const char* key, char* buffer, platform::DWORD size) const;
  platform::DWORD GetIniStringDef(const char* key, const char* defaultValue, char* buffer,
                                  platform::DWORD size) const;

  const framework::CString& FullPath() const { return fullPath_; }

  // Callers choose the machine hive by setting it here.
  platform::HKEY root = platform::HKEY_CURRENT_USER;

 private:
  platform::HKEY key_ = nullptr;
  framework::CString product_;
  framework::CString fullPath_;
  framework::CString iniFile_;
  framework::CString iniSection_;
};

// The program of the maker's `product`: ProductDir and ProductFile of its
// Directories key, from the machine hive, else (the whole lookup again)
// from the user's. `path` (kProductPathSize bytes, may be null) gets the
// folder, a "\" unless the folder ends in one, and the file; empty when
// not found. Nonzero when found.
int FindProductPath(const char* product, char* path);

class CProductPathFinder {
 public:
  virtual ~CProductPathFinder() = default;
  // The voice-input program's path.
  int FindSpeechServerPath(char* path);
};

class CRegValueReader {
 public:
  CRegValueReader() = default;
  ~CRegValueReader();
  CRegValueReader(const CRegValueReader&) = delete;
  CRegValueReader& operator=(const CRegValueReader&) = delete;

  // Resets, then keeps the root and the paths; reads only in the machine
  // hive, with full access elsewhere.
  void SetKey(platform::HKEY root, const char* keyPath, const char* subkeyPath = nullptr);
  void Reset();
  // Opens the key once; later calls reuse it. Answers whether it is open.
  int Open();
  // The key path and the subkey path, each without one leading "\",
  // with exactly one "\" between them.
  void BuildPath(framework::CString& path) const;
  // The value's size in bytes; 0 when it is missing or the key does not open.
  platform::DWORD GetValueSize(const char* name);
  // The value up to its first NUL, else `defaultValue` (empty when null).
  const framework::CString& GetString(const char* name, framework::CString& text,
                                      const char* defaultValue);

 private:
  platform::HKEY root_ = nullptr;
  platform::HKEY key_ = nullptr;
  int open_ = 0;
  framework::CString keyPath_;
  framework::CString subkeyPath_;
  platform::REGSAM chosenAccess_ = 0;
  platform::REGSAM usedAccess_ = 0;
};
