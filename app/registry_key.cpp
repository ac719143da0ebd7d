#include "app/registry_key.h"

#include <cstring>
#include <vector>

using namespace platform;

namespace {

constexpr int kByteWidth = 1;
constexpr int kShortWidth = 2;
constexpr int kLongWidth = 4;

// What DeleteSubtree opens a key with: enough to list and delete below it.
constexpr REGSAM kSubtreeAccess = KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;

bool IsNumberWidth(int width) {
  return width == kByteWidth || width == kShortWidth || width == kLongWidth;
}

// Children of `parent`'s `subKey`, first child first, then the key itself.
LONG DeleteTree(HKEY parent, const char* subKey) {
  HKEY key = nullptr;
  LONG first = RegOpenKeyEx(parent, subKey, 0, kSubtreeAccess, &key);
  if (first != ERROR_SUCCESS) return first;
  char child[CRegistryKey::kChildNameSize];
  while (RegEnumKey(key, 0, child, sizeof child) == ERROR_SUCCESS) {
    first = DeleteTree(key, child);
    if (first != ERROR_SUCCESS) break;
  }
  RegCloseKey(key);
  const LONG deleted = RegDeleteKey(parent, subKey);
  return first != ERROR_SUCCESS ? first : deleted;
}

}  // namespace

CRegistryKey::CRegistryKey(HKEY root) : root_(root) {}

CRegistryKey::~CRegistryKey() { Close(); }

REGSAM CRegistryKey::AccessFor(REGSAM asked) const {
  return root_ == HKEY_LOCAL_MACHINE ? KEY_READ : asked;
}

int CRegistryKey::Open(const char* subKey, LONG* status, REGSAM access) {
  LONG result = kAlreadyOpen;
  if (key_ == nullptr) result = RegOpenKeyEx(root_, subKey, 0, AccessFor(access), &key_);
  if (result != ERROR_SUCCESS && result != kAlreadyOpen) key_ = nullptr;
  if (status != nullptr) *status = result;
  return result == ERROR_SUCCESS ? 1 : 0;
}

int CRegistryKey::Create(const char* subKey, LONG* status, REGSAM access) {
  if (key_ != nullptr) {
    if (status != nullptr) *status = kAlreadyOpen;
    return 0;
  }
  DWORD disposition = 0;
  const LONG result = RegCreateKeyEx(root_, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     AccessFor(access), nullptr, &key_, &disposition);
  if (result != ERROR_SUCCESS) key_ = nullptr;
  if (status != nullptr)
    *status = result == ERROR_SUCCESS ? static_cast<LONG>(disposition) : result;
  return result == ERROR_SUCCESS ? 1 : 0;
}

LONG CRegistryKey::Close() {
  if (key_ == nullptr) return kNothingOpen;
  const LONG result = RegCloseKey(key_);
  key_ = nullptr;
  return result;
}

int CRegistryKey::QueryValue(const char* name, void* buffer, int width, int kind) {
  if (key_ == nullptr || buffer == nullptr || width <= 0) return 0;
  DWORD type = REG_NONE;
  if (kind == kRegistryNumber) {
    if (!IsNumberWidth(width)) return 0;
    uint32_t number = 0;
    DWORD size = sizeof number;
    if (RegQueryValueEx(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
      return 0;
    // Truncation to the field: the low bytes, little-endian.
    std::memcpy(buffer, &number, static_cast<size_t>(width));
    return width;
  }
  const DWORD wanted = kind == kRegistryString ? REG_SZ : REG_BINARY;
  if (kind != kRegistryString && kind != kRegistryBinary) return 0;
  DWORD size = static_cast<DWORD>(width);
  if (RegQueryValueEx(key_, name, nullptr, &type, static_cast<BYTE*>(buffer), &size) !=
          ERROR_SUCCESS ||
      type != wanted)
    return 0;
  return static_cast<int>(size);
}

int CRegistryKey::QueryString(const char* name, char* buffer, int size) {
  return QueryValue(name, buffer, size, kRegistryString);
}

int CRegistryKey::QueryCString(const char* name, framework::CString& text, int size) {
  if (size <= 0) return 0;
  std::vector<char> buffer(static_cast<size_t>(size), '\0');
  const int read = QueryString(name, buffer.data(), size);
  if (read > 0) text = framework::CString(buffer.data());
  return read;
}

LONG CRegistryKey::SetValue(const char* name, const void* data, int width, int kind) {
  if (key_ == nullptr) return kNothingOpen;
  if (data == nullptr || width < 0) return ERROR_INVALID_PARAMETER;
  switch (kind) {
    case kRegistryNumber: {
      if (!IsNumberWidth(width)) return ERROR_INVALID_PARAMETER;
      uint32_t number = 0;
      std::memcpy(&number, data, static_cast<size_t>(width));
      return RegSetValueEx(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                           sizeof number);
    }
    case kRegistryString:
      return RegSetValueEx(key_, name, 0, REG_SZ, static_cast<const BYTE*>(data),
                           static_cast<DWORD>(width));
    case kRegistryBinary:
      return RegSetValueEx(key_, name, 0, REG_BINARY, static_cast<const BYTE*>(data),
                           static_cast<DWORD>(width));
    default:
      return ERROR_INVALID_PARAMETER;
  }
}

LONG CRegistryKey::SetNumber(const char* name, uint32_t value) {
  return SetValue(name, &value, sizeof value, kRegistryNumber);
}

LONG CRegistryKey::SetString(const char* name, const char* text) {
  if (text == nullptr) return ERROR_INVALID_PARAMETER;
  return SetValue(name, text, static_cast<int>(std::strlen(text) + 1), kRegistryString);
}

LONG CRegistryKey::DeleteValue(const char* name) {
  if (key_ == nullptr) return kNothingOpen;
  return RegDeleteValue(key_, name);
}

LONG CRegistryKey::DeleteKey(const char* subKey, bool recursive) {
  LONG result = ERROR_SUCCESS;
  if (recursive) {
    result = DeleteSubtree(subKey);
    if (result != ERROR_SUCCESS) result = RegDeleteKey(Base(), subKey);
  } else {
    result = RegDeleteKey(Base(), subKey);
  }
  Close();
  return result;
}

LONG CRegistryKey::DeleteSubtree(const char* subKey) { return DeleteTree(Base(), subKey); }
