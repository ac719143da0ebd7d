// The one way the application reaches the registry: a root key and at
// most one open key below it, typed reads that narrow numbers to their
// field, and the deletion of whole subtrees.
#pragma once

#include <cstdint>

#include "framework/cstring.h"
#include "platform/registry_api.h"

// How a value is read and written.
enum RegistryValueKind : int {
  kRegistryNumber = 1,  // REG_DWORD, narrowed to a 1-, 2- or 4-byte field
  kRegistryString = 2,  // REG_SZ into a buffer of the width given
  kRegistryBinary = 3,  // REG_BINARY of the width given
};

class CRegistryKey {
 public:
  // The statuses of the wrapper's own refusals.
  static constexpr platform::LONG kAlreadyOpen = static_cast<platform::LONG>(0x8FFFFFF1u);
  static constexpr platform::LONG kNothingOpen = static_cast<platform::LONG>(0x8FFFFFF2u);
  // The longest child name DeleteSubtree reads, with its NUL.
  static constexpr platform::DWORD kChildNameSize = 257;

  explicit CRegistryKey(platform::HKEY root);
  ~CRegistryKey();
  CRegistryKey(const CRegistryKey&) = delete;
  CRegistryKey& operator=(const CRegistryKey&) = delete;

  // Nonzero when the key is open; `status` (when given) gets the call's
  // result, or kAlreadyOpen. The machine hive is always opened for
  // reading, whatever `access` asks.
  int Open(const char* subKey, platform::LONG* status, platform::REGSAM access);
  // As Open, making the key when missing; `status` gets the error, or
  // the disposition on success.
  int Create(const char* subKey, platform::LONG* status, platform::REGSAM access);
  platform::LONG Close();
  bool IsOpen() const { return key_ != nullptr; }

  // The bytes read (the width for a number); 0 on any failure, when the
  // stored value has another type, or when it does not fit.
  int QueryValue(const char* name, void* buffer, int width, int kind);
  int QueryString(const char* name, char* buffer, int size);
  int QueryCString(const char* name, framework::CString& text, int size);

  // The RegSetValueEx result; a number is widened without sign.
  platform::LONG SetValue(const char* name, const void* data, int width, int kind);
  platform::LONG SetNumber(const char* name, uint32_t value);
  platform::LONG SetString(const char* name, const char* text);
  platform::LONG DeleteValue(const char* name);

  // Deletes `subKey` of the open key (or of the root when none is open);
  // recursively, its subtree goes first and a failed plain delete is
  // tried again after it. The wrapper's key is closed afterwards.
  platform::LONG DeleteKey(const char* subKey, bool recursive);
  // Deletes the children of `subKey` first child first, stopping at the
  // first error, then `subKey` itself; answers the first error.
  platform::LONG DeleteSubtree(const char* subKey);

 private:
  platform::HKEY Base() const { return key_ != nullptr ? key_ : root_; }
  platform::REGSAM AccessFor(platform::REGSAM asked) const;

  platform::HKEY root_;
  platform::HKEY key_ = nullptr;
};
