// The registry calls by handle, over the process's `Registry`: keys are
// opened relative to a hive or to another open key with an access mask,
// and a handle refuses what its mask does not allow. A hive that cannot
// be written refuses every open that asks to write, as the machine hive
// does to a user without administrator rights. Closing a handle that has
// written makes the changes last.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "platform/win_error.h"
#include "platform/window_message.h"

namespace platform {

using BYTE = uint8_t;
using REGSAM = DWORD;
using HKEY = struct RegistryKeyHandle*;

inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(uintptr_t{0x80000001});
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(uintptr_t{0x80000002});

enum : REGSAM {
  KEY_QUERY_VALUE = 0x0001,
  KEY_SET_VALUE = 0x0002,
  KEY_CREATE_SUB_KEY = 0x0004,
  KEY_ENUMERATE_SUB_KEYS = 0x0008,
  KEY_NOTIFY = 0x0010,
  KEY_CREATE_LINK = 0x0020,
  KEY_DELETE = 0x00010000,
  KEY_READ_CONTROL = 0x00020000,
  KEY_WRITE_DAC = 0x00040000,
  KEY_WRITE_OWNER = 0x00080000,
  KEY_READ = KEY_READ_CONTROL | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY,
  KEY_WRITE = KEY_READ_CONTROL | KEY_SET_VALUE | KEY_CREATE_SUB_KEY,
  KEY_ALL_ACCESS = 0x000F003F,
};

enum : DWORD { REG_NONE = 0, REG_SZ = 1, REG_BINARY = 3, REG_DWORD = 4 };
enum : DWORD { REG_OPTION_NON_VOLATILE = 0 };
enum : DWORD { REG_CREATED_NEW_KEY = 1, REG_OPENED_EXISTING_KEY = 2 };

// `options` must be 0. A null or empty `subKey` opens `key` itself again.
LONG RegOpenKeyEx(HKEY key, const char* subKey, DWORD options, REGSAM access, HKEY* result);
// Only non-volatile keys are made; `keyClass` and `security` are not kept.
LONG RegCreateKeyEx(HKEY key, const char* subKey, DWORD reserved, char* keyClass, DWORD options,
                    REGSAM access, const void* security, HKEY* result, DWORD* disposition);
// With `data` null, answers only the type and the size; a buffer too
// small answers ERROR_MORE_DATA with the size needed. A string's size
// counts its terminating zero.
LONG RegQueryValueEx(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data,
                     DWORD* size);
// REG_SZ (up to the first zero within `size`), REG_DWORD (4 bytes) or
// REG_BINARY; another type is refused.
LONG RegSetValueEx(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data,
                   DWORD size);
LONG RegDeleteValue(HKEY key, const char* name);
// Deletes the subkey with everything under it; `key` must have been
// opened with some writing access.
LONG RegDeleteKey(HKEY key, const char* subKey);
// `size` counts characters with the terminating zero.
LONG RegEnumKey(HKEY key, DWORD index, char* name, DWORD size);
// `nameSize` goes in as the buffer's size and comes back as the name's
// length without its zero; the data as for RegQueryValueEx.
LONG RegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved, DWORD* type,
                  BYTE* data, DWORD* dataSize);
LONG RegCloseKey(HKEY key);

// While it lasts, opening a key at or under `path` of the hive `root`
// (HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE) with any of the `refused` access bits answers
// ERROR_ACCESS_DENIED.
class ScopedRegistryRefusal {
 public:
  ScopedRegistryRefusal(HKEY root, std::string_view path, REGSAM refused);
  ~ScopedRegistryRefusal();
  ScopedRegistryRefusal(const ScopedRegistryRefusal&) = delete;
  ScopedRegistryRefusal& operator=(const ScopedRegistryRefusal&) = delete;

 private:
  int id_;
};

// The handles not yet closed, for tests that look for leaks.
size_t OpenRegistryKeyCount();

}  // namespace platform
